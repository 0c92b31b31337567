#pragma once
// The framework's themed menu bar: a QMenuBar painted with a bar background and, per item, a background and
// text style chosen by press and hover. It also keeps a set of pop-up styles (background, item backgrounds and
// item texts by state) that it reads, writes and offers through getters; menus added to it keep their own.
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <vector>

#include <QMenuBar>
#include <QPointer>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQMenuBar;

class TEV_EXPORT TEVQMenuBarImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQMenuBarImpl(TEVQMenuBar* owner);
    ~TEVQMenuBarImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    int hoverIndex = -1;
    int pressIndex = -1;
    // The hot and the pressed items' actions: items inserted or removed move the looks with them, and an item
    // removed (or being deleted) takes its look along.
    QPointer<QAction> hoverAction;
    QPointer<QAction> pressAction;
    // The hot item is Qt's active item as the keys made it, not the pointer's: it lasts while Qt
    // keeps an active item.
    bool hoverByKeys = false;
    bool inPointerEvent = false; // within QMenuBar's handling of a mouse move or press
    TEVQtLib::FillStyle background;
    TEVQtLib::TextStyleDesc itemTextStyle[4];
    TEVQtLib::FillStyle itemBackground[4];
    TEVQtLib::FillStyle popupBackground;
    TEVQtLib::TextStyleDesc popupTextStyle[4];
    TEVQtLib::FillStyle popupItemBackground[4];
    // The menu opened by the last press: its hiding, or its deletion while open, ends the press.
    QMetaObject::Connection pressMenuHide;
    QMetaObject::Connection pressMenuGone;

private:
    TEVQMenuBar* bar() const;

    std::vector<TEVQtLib::TEVTextCache> textCaches; // the items' titles between paints, by position
};

class TEV_EXPORT TEVQMenuBar : public QMenuBar, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQMenuBar, "qtmenubar")
public:
    explicit TEVQMenuBar(QWidget* parent = nullptr);
    ~TEVQMenuBar() override;

    static TEVQtLib::ControlInfo getProps();

    // The menu keeps its own styles.
    using QMenuBar::addMenu;
    QAction* addMenu(QMenu* menu);
    // An invalid rectangle for a null action.
    QRect actionGeometry(QAction* action) const;

    // None repaints. The single backgrounds ignore the state; the four-state setters take 4 as all states
    // where noted, and ignore other values outside 0..3.
    void setBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    void setItemBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style); // 4: all
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);  // 4: all
    void setPopupBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    void setPopupItemBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    void setPopupTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    // States outside 0..3 give state 0's style.
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CommonCtrlState state) const;
    const TEVQtLib::FillStyle& getItemBackground(TEVQtLib::CtrlState state) const;
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CtrlState state) const;
    const TEVQtLib::FillStyle& getPopupBackground(TEVQtLib::CommonCtrlState state) const;
    const TEVQtLib::FillStyle& getPopupItemBackground(TEVQtLib::CtrlState state) const;
    const TEVQtLib::TextStyleDesc& getPopupTextStyle(TEVQtLib::CtrlState state) const;

    int getHoverIndex() const;
    int getPressIndex() const;

    TEVQMenuBarImpl* painter() const { return tevImpl<TEVQMenuBarImpl>(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void actionEvent(QActionEvent* event) override;

private:
    int actionIndexAt(const QPoint& pos) const;
    // The hot item becomes the one at index (nothing for -1), repainted at once when it changes.
    void setHover(int index);
    // Keyboard navigation over (Qt's active item gone): the hot item is the pointer's again.
    void endKeyboardHover();
};
