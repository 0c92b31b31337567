#pragma once
// The two framework scroll bars (TEVQScrollBar) of a scrolling widget, as the widgets outside the containers
// reach them: the text edit gets its pair from detail::createScrollBarPair and styles its bars through it, so it
// needs no header of the scroll bar's room. The containers' TEVQScrollBarPair is the implementation.
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

#include <memory>

class QAbstractScrollArea;
class TEVQScrollBar;

namespace TEVQtLib {

class TEV_EXPORT ITEVQScrollBarPair
{
public:
    virtual ~ITEVQScrollBarPair() = default;

    // In every operation hor true chooses the horizontal bar, false the vertical one. None repaints.
    virtual void setScrollbarBackgroundStyle(bool hor, const FillStyle& style) = 0;
    virtual void setScrollbarButtonStyle(bool hor, bool up, CtrlState state, const FillStyle& style) = 0;
    virtual void setScrollbarThumbStyle(bool hor, CtrlState state, const FillStyle& style) = 0;
    virtual void setScrollbarButtonIcon(bool hor, bool up, const QString& path) = 0;
    virtual void setScrollbarThumb(bool hor, const QString& path) = 0;
    virtual void setScrollbarButtonIconStyle(bool hor, bool up, const IconStyleDesc& style) = 0;
    virtual void setScrollbarBtnSize(bool hor, int size) = 0;
    virtual void setScrollbarSize(bool hor, int size) = 0;

    // Null once the host put another bar in its place.
    virtual TEVQScrollBar* horizontalBar() const = 0;
    virtual TEVQScrollBar* verticalBar() const = 0;

    // Styles the bars from the scroll-bar entries of element's "child" array, in array order.
    virtual void readScrollBarChildren(const Json::Value& element) = 0;
};

namespace detail {
// Defined with the containers' pair (TEVQScrollBarPair.cpp): two new framework scroll bars, children of host,
// installed as its horizontal and vertical bar, and the pair that styles them (null for a null host).
// hasButtonSize: whether setScrollbarBtnSize sizes the arrow buttons (the text edit's does nothing).
std::unique_ptr<ITEVQScrollBarPair> createScrollBarPair(QAbstractScrollArea* host, bool hasButtonSize);
} // namespace detail

} // namespace TEVQtLib
