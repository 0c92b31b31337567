#pragma once
// The framework's themed scroll bar. Background, the two arrow buttons and the thumb are painted from fill
// styles per part state, with optional icons; the thickness can be fixed. A new bar is hidden: its owner (a
// container, a view, the text edit) shows it when it is needed.
#include "TEVPaintCache.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QScrollBar>
#include <QSize>

class QStyleOptionSlider;

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQScrollBar;

class TEV_EXPORT TEVQScrollBarImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    // The three parts that follow the pointer, in hit-test order.
    enum Part : int {
        PartThumb = 0,
        PartDown = 1, // the button after the track (right or bottom)
        PartUp = 2,   // the button before the track (left or top)
    };

    explicit TEVQScrollBarImpl(TEVQScrollBar* owner);
    ~TEVQScrollBarImpl() override;

    void paintEvent(QWidget* owner, QPaintEvent* event) override;
    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    // The rectangle of a part in the owner, as its current style places it.
    QRect partRect(Part part) const;
    // The part's current state (a CtrlState value).
    int partState(Part part) const { return m_parts[part].state; }
    // Every part back to normal: the pointer has no part of a hidden bar (its release may never come back).
    void resetPartStates()
    {
        for (PartState& p : m_parts)
            p.state = 0;
        m_pointerInside = false;
    }
    // The thumb moved or changed size (the wheel, keys, code, a new range) under the pointer's last place inside
    // the bar: hot exactly while it lies under it, unless it is held.
    void thumbMoved();

    TEVQtLib::FillStyle background;
    // Four styles (CtrlState order) per part.
    TEVQtLib::FillStyle upStyles[4];
    TEVQtLib::FillStyle downStyles[4];
    TEVQtLib::FillStyle thumbStyles[4];
    QString upIcon;
    QString downIcon;
    QString thumbIcon;
    bool horizontal = false; // the orientation as last read from or written to JSON
    TEVQtLib::IconStyleDesc upIconStyle;
    TEVQtLib::IconStyleDesc downIconStyle;
    int widthHeight = -1; // thickness; -1 keeps Qt's size hint

private:
    struct PartState
    {
        int state = 0;
    };
    TEVQScrollBar* bar() const;
    PartState m_parts[3];
    // Where the pointer last moved inside the bar; none once it has left.
    QPoint m_pointer;
    bool m_pointerInside = false;
    // The three icons as drawn: an SVG is rendered once for its size, not at every paint (a scroll repaints).
    TEVQtLib::TEVIconCache m_icons;
};

class TEV_EXPORT TEVQScrollBar : public QScrollBar, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQScrollBar, "qtscrollbar")
public:
    explicit TEVQScrollBar(QWidget* parent = nullptr);
    explicit TEVQScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);
    ~TEVQScrollBar() override;

    static TEVQtLib::ControlInfo getProps();

    // None of the setters repaints; the next paint uses the new values.
    void setScrollbarBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getScrollbarBackground(TEVQtLib::CommonCtrlState state) const;
    // state 4 sets all four states; other values outside 0..3 are ignored (getters then give the normal style).
    void setScrollbarUpButton(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getScrollbarUpButton(TEVQtLib::CtrlState state) const;
    void setScrollbarDownButton(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getScrollbarDownButton(TEVQtLib::CtrlState state) const;
    void setScrollbarThumb(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getScrollbarThumb(TEVQtLib::CtrlState state) const;
    // up: the button before the track (true) or after it (false).
    void setScrollbarBtnIcon(bool up, const QString& path);
    QString getScrollbarBtnIcon(bool up) const;
    void setScrollbarThumbIcon(const QString& path);
    QString getScrollbarThumbIcon() const;
    void setScrollbarIconStyle(bool up, const TEVQtLib::IconStyleDesc& style);
    const TEVQtLib::IconStyleDesc& getScrollbarIconStyle(bool up) const;
    void setWidthHeight(int thickness);
    int getWidthHeight() const;

    // QScrollBar's option initialisation, public; nothing for a null option.
    void initStyleOption(QStyleOptionSlider* option) const;
    // Qt's size hint with the thickness replaced by widthHeight when that is set.
    QSize sizeHint() const override;

    TEVQScrollBarImpl* painter() const { return tevImpl<TEVQScrollBarImpl>(); }

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void init();
};
