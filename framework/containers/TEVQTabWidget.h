#pragma once
// A painted strip of equally sized tabs, side by side or stacked, each with a text and an optional icon. The
// tab under the mouse is highlighted, a press selects a tab and reports it by currentChanged. The strip holds
// no pages: callers connect currentChanged to what they switch (a stack container, for instance).
#include "TEVQControlInfo.h"
#include "TEVQWidgetMacros.h"
#include "TEVPaintCache.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <array>
#include <vector>

class TEVQTabWidget;

struct TabItem {
    QString icon;         // icon of the tab while not selected
    QString selectedIcon; // icon of the selected tab
    QString text;         // drawn as given
    QVariant data;        // the caller's, invalid until set
};

class TEV_EXPORT TEVQTabWidgetImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQTabWidgetImpl(TEVQTabWidget* owner);
    ~TEVQTabWidgetImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    // In the designer's emulator three demonstration tabs are appended; elsewhere nothing.
    void createComplete() override;

    // Tab i's rectangle in a widget of the given size (coordinates beyond the int range are clamped).
    QRect itemRect(int i, const QSize& size) const;
    // The first tab whose rectangle holds pos (edges included), or -1.
    int hitTest(const QPoint& pos, const QSize& size) const;

    bool showIcon = true;
    bool showText = true;
    int selectedIndex = 0; // a value that is no tab index selects none; -1 once the strip is emptied
    int hoverIndex = -1;
    QPoint pointerPos; // where the pointer last moved over the strip: the hover's place while hoverIndex is set
    int itemSpace = 0;
    bool isHor = true;
    int itemSize = 50;
    QList<TabItem> items;
    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle itemBackground[4]; // CtrlState order
    TEVQtLib::TextStyleDesc itemTextStyle[4];
    TEVQtLib::IconStyleDesc iconStyle;

private:
    // What painting a tab's text and icons needs between paints: per tab, one text cache for each look
    // (normal, hot, selected), and the icons of all tabs.
    std::vector<std::array<TEVQtLib::TEVTextCache, 3>> m_textCaches;
    TEVQtLib::TEVIconCache m_icons;
};

class TEV_EXPORT TEVQTabWidget : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQTabWidget, "qttab")
public:
    explicit TEVQTabWidget(QWidget* parent = nullptr);
    ~TEVQTabWidget() override;

    static TEVQtLib::ControlInfo getProps();

    // An empty selectedIcon makes the tab show icon also while selected. No repaint. The first tab of an emptied
    // strip becomes the selected one and is reported.
    void addTab(const QString& text, const QString& icon = QString(), const QString& selectedIcon = QString());
    // Removes tab i (ignored outside the list). The selected and hovered indices follow their tabs; when the
    // selected tab goes, the tab that takes its place (or the new last one, or none) is selected and reported.
    void removeTab(int i);
    // Remove every tab and repaint. As after removing the last tab: none is selected (-1, reported when the
    // index was another) or hovered, and the next tab added becomes the selected one.
    void clear();
    void removeAllTab();
    int getTabCount() const;
    QString getTabText(int i) const;
    QVariant getItemData(int i) const;
    bool setItemData(int i, const QVariant& v);
    // Any negative i selects none (-1). Nothing when i is past the last tab or already selected.
    void setSelectedIndex(int i);
    int getSelectedIndex() const;
    void setIsHor(bool hor);
    bool getIsHor() const;
    void setItemSize(int size);
    int getItemSize() const;
    void setItemSpace(int space);
    int getItemSpace() const;
    void setShowText(bool show);
    bool getShowText() const;
    void setShowIcon(bool show);
    bool getShowIcon() const;
    void setBackground(const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground() const;
    // States 0..3; 4 sets all four. The getters take 0..3 (anything else gives the normal state).
    void setItemBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getItemBackground(TEVQtLib::CtrlState state) const;
    void setItemTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getItemTextStyle(TEVQtLib::CtrlState state) const;
    void initDemoData();

    TEVQTabWidgetImpl* painter() const { return tevImpl<TEVQTabWidgetImpl>(); }

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};
