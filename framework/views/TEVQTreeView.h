#pragma once
// The framework's themed tree: a QTreeView without a visible header whose background and rows are painted
// from fill and text styles (selection wins over hover), with a row icon from the model's decoration role (a
// QIcon, or an image name) and two framework scroll bars sized by one style sheet. In the designer it shows a
// hundred checkable rows with a child each.
#include "TEVQScrollBarPair.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVRowIconCache.h"
#include "TEVRowTextCache.h"
#include "TEVViewStyles.h"

#include <QItemDelegate>
#include <QPointer>
#include <QTreeView>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQTreeView;

class TEV_EXPORT TEVQTreeViewImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQTreeViewImpl(TEVQTreeView* owner);
    ~TEVQTreeViewImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    void createComplete() override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    // The rows' icons are found again.
    void notifyChangeLanguage() override;

    int scrollbarSize = 23;
    int scrollbarBtnSize = 23; // stored only
    int itemHeight = 0;        // 0 means 20
    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle itemBackground[4];
    TEVQtLib::TextStyleDesc itemTextStyle[4];
    TEVQtLib::FillStyle headerBackground[4];      // stored; the header is hidden
    TEVQtLib::TextStyleDesc headerTextStyle[4];   // stored; the header is hidden
    // The rows' icons given by image name, by row and parent; cleared when the styles are read again or the
    // language changes.
    TEVQtLib::TEVRowIconCache rowIcons{128};

private:
    TEVQTreeView* view() const;
};

// Paints the tree's background behind the scroll area's corner and viewport.
class TEV_EXPORT TEVQTreeConerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TEVQTreeConerWidget(QWidget* parent = nullptr) : QWidget(parent) {}
    QPointer<TEVQTreeViewImpl> viewImpl;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TEV_EXPORT TEVQTreeViewport : public TEVQTreeConerWidget
{
    Q_OBJECT
public:
    using TEVQTreeConerWidget::TEVQTreeConerWidget;
};

class TEV_EXPORT TEVQTreeViewItemDelegate : public QItemDelegate
{
public:
    explicit TEVQTreeViewItemDelegate(TEVQTreeViewImpl* viewImpl) : viewImpl(viewImpl) {}
    ~TEVQTreeViewItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The icon size of a row of height h: 16 up to 24, 24 up to 32, else 32.
    static int iconSizeFor(int h);

    TEVQTreeViewImpl* viewImpl;

private:
    mutable TEVQtLib::TEVRowTextCache m_rowTexts{128}; // the row texts between paints
};

// Styles (setBackground, setItemBackground, setItemTextStyle and their getters, the header setters); none
// repaints. A setter given state 4 sets all four states; other states outside 0..3 are ignored (getters then give
// state 0).
class TEV_EXPORT TEVQTreeView : public QTreeView,
                                public TEVQtLib::ITEVQWidgetBase,
                                public TEVQScrollBarPair,
                                public TEVViewItemStyles<TEVQTreeView, true>
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQTreeView, "qttree")
public:
    explicit TEVQTreeView(QWidget* parent = nullptr);
    ~TEVQTreeView() override;

    static TEVQtLib::ControlInfo getProps();

    void setHeaderBgStyle(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    void setHeaderTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);

    // Row height; 0 means 20, negative heights are ignored.
    void setItemHeight(int h);
    int getItemHeight() const;

    // Stored only.
    void setScrollbarBtnSize(bool hor, int size) override;
    // Both bars: "QScrollBar::vertical{ width:N; } QScrollBar::horizontal{ height:N; } ", whatever hor says.
    void setScrollbarSize(bool hor, int size) override;

    void initDemoData();

    TEVQTreeViewImpl* painter() const { return tevImpl<TEVQTreeViewImpl>(); }
    TEVQTreeViewItemDelegate* delegate() const { return m_delegate; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TEVQTreeViewItemDelegate* m_delegate = nullptr;
    TEVQTreeConerWidget* m_corner = nullptr;
    TEVQTreeViewport* m_viewport = nullptr;
};
