#pragma once
// The ribbon bar: a top row (application button, quick access, widgets at the right), a tab row with one tab
// per visible page, and a page area showing the current page of titled groups. Every command is a QAction;
// the bar keeps a registry of them and reports each triggered one by commandTriggered. The whole content is
// read from and written to a versioned JSON document.
//
// Files: this header (every ribbon class), TEVQRibbonBar.cpp (model and operations), TEVQRibbonConfig.cpp
// (configuration reader and writer), TEVQRibbonLayout.h/.cpp (geometry), TEVQRibbonPaint.cpp (palette,
// painting, button interaction) and TEVQRibbonJson.cpp (page element JSON and catalogue entry).
#include "TEVQContainer.h"
#include "TEVQMenu.h"
#include "TEVQPushButton.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QAction>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace TEVQtLib {
struct ControlInfo;

enum TEV_RIBBON_ITEM_SIZE { TEV_RIBBON_ITEM_LARGE = 0, TEV_RIBBON_ITEM_MEDIUM = 1, TEV_RIBBON_ITEM_SMALL = 2 };
enum TEV_RIBBON_LAYOUT_MODE { TEV_RIBBON_LAYOUT_OFFICE = 0, TEV_RIBBON_LAYOUT_COMPACT = 1 };
enum TEV_RIBBON_POPUP_MODE { TEV_RIBBON_POPUP_NONE = 0, TEV_RIBBON_POPUP_INSTANT = 1, TEV_RIBBON_POPUP_SPLIT = 2 };

// Configuration words, compared without letter case; any other word gives 0.
TEV_EXPORT TEV_RIBBON_ITEM_SIZE tevRibbonItemSize(const QString& word);
TEV_EXPORT TEV_RIBBON_LAYOUT_MODE tevRibbonLayoutMode(const QString& word);
TEV_EXPORT TEV_RIBBON_POPUP_MODE tevRibbonPopupMode(const QString& word);
TEV_EXPORT QString tevRibbonItemSizeWord(int size);
TEV_EXPORT QString tevRibbonPopupModeWord(int mode);
class TEVQRibbonBar;
namespace detail {
// Leaves a widget of the ribbon to the ribbon's palette: it takes no theme element of its own.
void ribbonOwnLook(QWidget* widget);
void retireRibbonWidget(TEVQRibbonBar* bar, QWidget* widget);
} // namespace detail

class TEVQRibbonPage;
class TEVQRibbonGroup;
class TEVQRibbonMenu;
class TEVQRibbonContextGroup;

// The ribbon's palette and the bar's page-element JSON.
class TEV_EXPORT TEVQRibbonBarImpl : public TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQRibbonBarImpl(TEVQRibbonBar* owner);
    ~TEVQRibbonBarImpl() override;

    bool serializeJsonValue(Json::Value*& json, bool load) override;
    void notifyChangeLanguage() override;
    // Gives the palette to the rows, buttons and galleries of the bar.
    void applyRibbonStyle();
    // The palette to one button: the tab look or the ordinary button look.
    void styleButton(TEVQPushButton* button, bool tab) const;

    FillStyle barBackground;
    FillStyle rowBackground;
    FillStyle pageAreaBackground;
    FillStyle groupBackground;
    FillStyle accentBackground;
    FillStyle galleryBackground;
    FillStyle tabBackgrounds[4];
    FillStyle buttonBackgrounds[4];
    TextStyleDesc tabTextStyle;
    TextStyleDesc groupTitleTextStyle;
    TextStyleDesc buttonTextStyle;

private:
    TEVQRibbonBar* bar() const;
};

// Every ribbon button: items, tabs, quick access, the application button and the scroll buttons.
class TEV_EXPORT TEVQRibbonButton : public TEVQPushButton
{
    Q_OBJECT
public:
    explicit TEVQRibbonButton(QWidget* parent = nullptr, QAction* action = nullptr,
                              TEV_RIBBON_ITEM_SIZE size = TEV_RIBBON_ITEM_LARGE);

    void setItemSize(TEV_RIBBON_ITEM_SIZE size);
    TEV_RIBBON_ITEM_SIZE itemSize() const { return m_itemSize; }
    void setPopupMode(TEV_RIBBON_POPUP_MODE mode);
    TEV_RIBBON_POPUP_MODE popupMode() const { return m_popupMode; }
    void setPopupMenu(TEVQRibbonMenu* menu);
    TEVQRibbonMenu* popupMenu() const;
    void setRibbonAction(QAction* action);
    QAction* ribbonAction() const { return m_action; }
    void setRibbonIcon(const QString& path);
    QString ribbonIcon() const { return m_ribbonIcon; }
    // The strip that opens the menu; null unless a popup mode is set and the menu is alive.
    QRect popupIndicatorRect() const;
    QSize sizeHint() const override;

signals:
    void menuAboutToShow();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void onClicked();
    void showPopupMenu();
    void syncFromAction();

    TEV_RIBBON_ITEM_SIZE m_itemSize = TEV_RIBBON_ITEM_LARGE;
    TEV_RIBBON_POPUP_MODE m_popupMode = TEV_RIBBON_POPUP_NONE;
    QPointer<QAction> m_action;
    QPointer<TEVQRibbonMenu> m_popupMenu;
    QString m_ribbonIcon;
    QIcon m_ribbonIconImage;
    // The "tevRibbonContextColor" property, kept when it is set.
    QColor m_contextColor;
    bool menuOpenedByPress = false;
    // Text advance, kept until the text or font changes.
    mutable QString m_hintText;
    mutable QFont m_hintFont;
    mutable int m_hintTextWidth = -1;
};

class TEV_EXPORT TEVQRibbonMenu : public TEVQMenu
{
    Q_OBJECT
public:
    explicit TEVQRibbonMenu(QWidget* parent = nullptr);
    explicit TEVQRibbonMenu(const QString& title, QWidget* parent = nullptr);
    // A command entry, not registered with any bar.
    QAction* addCommand(const QString& id, const QString& text, const QString& iconPath = QString(),
                        bool checkable = false);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A vertical line between group items.
class TEV_EXPORT RibbonSeparator : public QWidget
{
public:
    explicit RibbonSeparator(QWidget* parent = nullptr) : QWidget(parent) {}
    QSize sizeHint() const override { return QSize(7, 52); }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// One group item.
struct TEV_EXPORT RibbonItem
{
    QWidget* widget = nullptr;
    TEV_RIBBON_ITEM_SIZE size = TEV_RIBBON_ITEM_LARGE;
    QString type;
    QAction* action = nullptr;
};

class TEV_EXPORT TEVQRibbonGallery : public TEVQContainer
{
    Q_OBJECT
public:
    explicit TEVQRibbonGallery(QWidget* parent = nullptr);
    ~TEVQRibbonGallery() override;

    void addAction(QAction* action);
    QAction* addItem(const QString& id, const QString& text, const QString& iconPath = QString());
    void clearItems();
    int count() const { return int(m_actions.size()); }
    void setColumnCount(int columns);
    int columnCount() const { return m_columns; }
    void setVisibleRowCount(int rows);
    int visibleRowCount() const { return m_rows; }
    int firstVisible() const { return m_firstVisible; }
    const std::vector<QAction*>& actions() const { return m_actions; }
    const std::vector<TEVQRibbonButton*>& itemButtons() const { return m_itemButtons; }
    TEVQRibbonButton* pageUpButton() const { return m_pageUp; }
    TEVQRibbonButton* pageDownButton() const { return m_pageDown; }
    TEVQRibbonButton* moreButton() const { return m_more; }
    QSize sizeHint() const override;
    void updateGalleryLayout();

signals:
    void itemTriggered(const QString& id);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void page(bool down);
    void showMoreMenu();
    // An action deleted elsewhere leaves the gallery with its item button.
    void forgetAction(QObject* action);

    std::vector<QAction*> m_actions;
    std::vector<TEVQRibbonButton*> m_itemButtons;
    TEVQRibbonButton* m_pageUp = nullptr;
    TEVQRibbonButton* m_pageDown = nullptr;
    TEVQRibbonButton* m_more = nullptr;
    int m_columns = 3;
    int m_rows = 2;
    int m_firstVisible = 0;
};

class TEV_EXPORT TEVQRibbonGroup : public TEVQContainer
{
    Q_OBJECT
public:
    explicit TEVQRibbonGroup(const QString& id = QString(), const QString& title = QString(),
                             QWidget* parent = nullptr);
    ~TEVQRibbonGroup() override;

    QString groupId() const { return m_groupId; }
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    bool isExpanding() const { return m_expanding; }
    void setExpanding(bool on);
    int itemCount() const { return int(m_items.size()); }
    const RibbonItem* itemAt(int i) const;
    void clearItems();
    TEVQRibbonPage* page() const { return m_page; }

    TEVQRibbonButton* addAction(QAction* action, TEV_RIBBON_ITEM_SIZE size, TEV_RIBBON_POPUP_MODE popup,
                                TEVQRibbonMenu* menu);
    TEVQRibbonButton* addLargeAction(QAction* action);
    TEVQRibbonButton* addMediumAction(QAction* action);
    TEVQRibbonButton* addSmallAction(QAction* action);
    TEVQRibbonButton* addMenu(TEVQRibbonMenu* menu, TEV_RIBBON_ITEM_SIZE size, TEV_RIBBON_POPUP_MODE popup);
    TEVQRibbonGallery* addGallery(int columns, int rows);
    void addSeparator();
    QWidget* addWidget(QWidget* widget, TEV_RIBBON_ITEM_SIZE size);

    QSize sizeHint() const override;
    void updateItemLayout();
    // Rows of small and medium items for this group.
    int rows() const;

signals:
    void actionTriggered(QAction* action);

protected:
    // A layout request (an item's size hint changed: its text, size or columns) lays the items and the page out
    // again.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TEVQRibbonPage;
    friend class TEVQRibbonBar;
    void appendItem(QWidget* widget, TEV_RIBBON_ITEM_SIZE size, const QString& type, QAction* action);
    TEVQRibbonBar* ribbonBar() const;
    // An item's widget or command deleted elsewhere takes the item with it (a button without its command goes
    // too). Watching stops before the group's own children are deleted.
    void watchItems();
    void unwatchItems();
    void forgetObject(QObject* object);

    QString m_groupId;
    QString m_title;
    bool m_expanding = false;
    std::vector<RibbonItem*> m_items;
    TEVQRibbonPage* m_page = nullptr;
    TEVFillCache m_fillCache;
    TEVTextCache m_titleCache;
};

class TEV_EXPORT TEVQRibbonPage : public TEVQContainer
{
    Q_OBJECT
public:
    explicit TEVQRibbonPage(const QString& id = QString(), const QString& title = QString(),
                            QWidget* parent = nullptr);
    ~TEVQRibbonPage() override;

    QString pageId() const { return m_pageId; }
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    TEVQRibbonGroup* addGroup(const QString& id, const QString& title);
    TEVQRibbonGroup* insertGroup(int index, const QString& id, const QString& title);
    bool removeGroup(TEVQRibbonGroup* group);
    void clearGroups();
    TEVQRibbonGroup* groupAt(int index) const;
    TEVQRibbonGroup* groupById(const QString& id) const;
    int groupCount() const { return int(m_groups.size()); }
    void scrollBy(int dx);
    int scrollOffset() const { return m_scrollOffset; }
    int contentWidth() const { return m_contentWidth; }
    bool isOverflowing() const { return m_contentWidth > width(); }
    TEVQRibbonBar* bar() const { return m_bar; }
    TEVQRibbonContextGroup* contextGroup() const { return m_contextGroup; }
    TEVQRibbonButton* scrollLeftButton() const { return m_scrollLeft; }
    TEVQRibbonButton* scrollRightButton() const { return m_scrollRight; }

    QSize sizeHint() const override;
    void updateGroupLayout();
    // Lays out every group's items, then the groups.
    void relayout();

protected:
    // A layout request (a group's size hint changed) lays the groups out again; a page shown lays out what
    // changed while it was hidden.
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TEVQRibbonBar;
    friend class TEVQRibbonContextGroup;
    // A group deleted directly leaves the page as removeGroup would.
    void forgetGroup(QObject* group);
    QString m_pageId;
    QString m_title;
    std::vector<TEVQRibbonGroup*> m_groups;
    TEVQRibbonButton* m_scrollLeft = nullptr;
    TEVQRibbonButton* m_scrollRight = nullptr;
    int m_scrollOffset = 0;
    int m_contentWidth = 0;
    TEVQRibbonBar* m_bar = nullptr;
    TEVQRibbonContextGroup* m_contextGroup = nullptr;
};

class TEV_EXPORT TEVQRibbonContextGroup : public QObject
{
    Q_OBJECT
public:
    TEVQRibbonContextGroup(const QString& id, const QString& title, const QColor& color, TEVQRibbonBar* bar);

    QString contextId() const { return m_contextId; }
    QString title() const { return m_title; }
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    bool isVisible() const { return m_visible; }
    TEVQRibbonPage* addPage(const QString& id, const QString& title);
    TEVQRibbonPage* pageAt(int index) const;
    int pageCount() const { return int(m_pages.size()); }

private:
    friend class TEVQRibbonBar;
    QString m_contextId;
    QString m_title;
    QColor m_color;
    bool m_visible = false;
    std::vector<TEVQRibbonPage*> m_pages;
    TEVQRibbonBar* m_bar = nullptr;
};

class TEV_EXPORT TEVQRibbonBar : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQRibbonBar, "qtribbonbar")
public:
    using Page = TEVQtLib::TEVQRibbonPage;
    using Button = TEVQtLib::TEVQRibbonButton;

    explicit TEVQRibbonBar(QWidget* parent = nullptr);
    ~TEVQRibbonBar() override;

    static TEVQtLib::ControlInfo getProps();

    // Pages.
    Page* addPage(const QString& id, const QString& title);
    Page* insertPage(int index, const QString& id, const QString& title);
    bool removePage(Page* page);
    void clearPages();
    Page* pageAt(int index) const;
    Page* pageById(const QString& id) const;
    int pageCount() const { return int(m_pages.size()); }
    int currentPage() const;
    Page* currentPageWidget() const { return m_currentPage; }
    bool setCurrentPage(int index);
    bool setCurrentPage(const QString& id);
    const std::vector<Page*>& tabPages() const { return m_tabPages; }
    const std::vector<Button*>& tabButtons() const { return m_tabButtons; }

    // Context groups.
    TEVQtLib::TEVQRibbonContextGroup* addContextGroup(const QString& id, const QString& title, const QColor& color);
    TEVQtLib::TEVQRibbonContextGroup* contextGroupById(const QString& id) const;
    int contextGroupCount() const { return int(m_contextGroups.size()); }
    void showContextGroup(const QString& id);
    void hideContextGroup(const QString& id);

    // Top row.
    Button* addQuickAction(QAction* action);
    void addTopRightWidget(QWidget* widget);
    void setApplicationMenu(const QString& text, TEVQtLib::TEVQRibbonMenu* menu, const QString& iconPath);
    Button* applicationButton() const { return m_applicationButton; }
    const std::vector<Button*>& quickButtons() const { return m_quickButtons; }
    const std::vector<QWidget*>& topRightWidgets() const { return m_topRightWidgets; }
    Button* tabScrollLeftButton() const { return tabScrollLeft; }
    Button* tabScrollRightButton() const { return tabScrollRight; }
    TEVQContainer* topRowWidget() const { return topRow; }
    TEVQContainer* tabRowWidget() const { return tabRow; }
    TEVQContainer* pageAreaWidget() const { return pageArea; }
    TEVQContainer* minimizedPopupWidget() const { return minimizedPopup; }

    // Actions.
    void registerAction(QAction* action);
    QAction* findAction(const QString& id) const;
    int registeredActionCount() const { return int(registeredActions.size()); }

    // Mode and state.
    void setLayoutMode(TEVQtLib::TEV_RIBBON_LAYOUT_MODE mode);
    TEVQtLib::TEV_RIBBON_LAYOUT_MODE layoutMode() const { return m_layoutMode; }
    void setMinimized(bool on);
    bool isMinimized() const { return m_minimized; }
    bool isTabOverflowing() const;
    int tabScrollOffset() const { return m_tabScrollOffset; }
    int tabContentWidth() const { return m_tabContentWidth; }
    int topRowHeight() const { return m_topRowHeight; }
    int tabRowHeight() const { return m_tabRowHeight; }
    int pageHeight() const { return m_pageHeight; }
    int groupRows() const { return m_groupRows; }
    void setRowHeights(int top, int tab, int page);
    void setGroupRows(int rows);
    // The header's height: both rows in office mode, one in compact mode.
    int headerHeight() const;

    void updateLayout();
    void updateTabLayout();

    // Configuration.
    bool loadConfigFile(const QString& path);
    bool loadConfigJson(const QString& text);
    QString configJson() const;
    QString configFile() const { return m_configFile; }
    QString lastError() const { return m_lastError; }

    TEVQtLib::TEVQRibbonBarImpl* ribbonImpl() const { return tevImpl<TEVQtLib::TEVQRibbonBarImpl>(); }

    QSize sizeHint() const override;

signals:
    void commandTriggered(const QString& id, bool checked);
    void currentPageChanged(int index);
    void layoutModeChanged(TEVQtLib::TEV_RIBBON_LAYOUT_MODE mode);
    void minimizedChanged(bool minimized);
    void configLoadFailed(const QString& source, const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TEVQtLib::TEVQRibbonBarImpl;
    friend class TEVQtLib::TEVQRibbonContextGroup;
    friend class TEVQtLib::TEVQRibbonGroup;
    friend class TEVQtLib::TEVQRibbonPage;
    friend void detail::retireRibbonWidget(TEVQRibbonBar* bar, QWidget* widget);

    Page* appendContextPage(TEVQtLib::TEVQRibbonContextGroup* group, const QString& id, const QString& title);
    // Makes a tab for every visible page; when the current page lost its tab, the first tab's page becomes
    // current, announced last (unless quiet).
    void rebuildTabs();
    // rebuildTabs with the current page's move announced once the tabs stand; before is the page current
    // before the change that led here.
    void rebuildTabsAnnounced(Page* before);
    // A top-right widget or quick-access button deleted elsewhere leaves the row.
    void forgetTopRowPiece(QObject* widget);
    // A page deleted directly leaves the bar as removePage would.
    void forgetPage(QObject* page);
    // Takes page out of the page, tab and context-group lists; the first page becomes current in its place.
    void unlistPage(QObject* page);
    // A context group deleted directly leaves its pages to the bar as plain pages.
    void forgetContextGroup(QObject* group);
    Page* newPage(const QString& id, const QString& title);
    void tabClicked(Page* page);
    void registerMenuActions(QMenu* menu);
    void clearContent();
    void updatePageVisibility();
    void showMinimizedPopup();
    void hideMinimizedPopup();
    void returnPageArea();
    // Removes an object that may still be on the call stack: hidden, taken out of the bar and deleted once
    // control returns.
    void retire(QObject* object);

    bool loadConfigValue(const Json::Value& root, const QString& source);
    QAction* createActionItem(const Json::Value& value);
    TEVQtLib::TEVQRibbonMenu* createMenu(const Json::Value& value, QWidget* parent);
    QWidget* createWidgetItem(const Json::Value& value, QWidget* parent);
    Json::Value writeConfigValue() const;
    void readPages(const Json::Value& pages, TEVQtLib::TEVQRibbonContextGroup* group);
    void fail(const QString& source, const QString& message);

    TEVQContainer* topRow = nullptr;
    TEVQContainer* tabRow = nullptr;
    TEVQContainer* pageArea = nullptr;
    TEVQContainer* minimizedPopup = nullptr;
    QWidget* m_retired = nullptr; // no parent; holds what retire() took out until it is deleted
    Button* m_applicationButton = nullptr;
    Button* tabScrollLeft = nullptr;
    Button* tabScrollRight = nullptr;
    std::vector<Page*> m_pages;
    std::vector<TEVQtLib::TEVQRibbonContextGroup*> m_contextGroups;
    std::vector<Button*> m_tabButtons;
    std::vector<Button*> m_quickButtons;
    std::vector<QWidget*> m_topRightWidgets;
    std::vector<QAction*> registeredActions;
    std::vector<QPointer<QAction>> ownedActions;
    std::vector<Page*> m_tabPages;
    // What the tab of the same index was made for and last measured: rebuildTabs keeps the tab of a page that
    // keeps one, and the tab layout measures a title again only when it or the tab's font changed.
    struct TabRecord {
        QPointer<QObject> page; // a page may be mid-destruction when the tabs are rebuilt
        QString measuredText;
        QFont measuredFont;
        int textWidth = -1;
    };
    std::vector<TabRecord> m_tabRecords;
    // While set (a configuration load making its pages), rebuildTabs waits for the one call at the end.
    bool m_tabsDeferred = false;
    Page* m_currentPage = nullptr;
    TEVQtLib::TEV_RIBBON_LAYOUT_MODE m_layoutMode = TEVQtLib::TEV_RIBBON_LAYOUT_OFFICE;
    bool m_minimized = false;
    int m_tabScrollOffset = 0;
    int m_tabContentWidth = 0;
    int m_topRowHeight = 30;
    int m_tabRowHeight = 31;
    int m_pageHeight = 96;
    int m_groupRows = 3;
    QString m_configFile;
    QString m_lastError;
    // While set, current-page changes are not announced (destruction, or a load that announces at its end).
    bool m_quietCurrent = false;
    int m_tabContentLeft = 4;
    int m_tabContentRight = 0;
    TEVQtLib::TEVFillCache m_fillCache;
};

} // namespace TEVQtLib
