#pragma once
// The pair of framework scroll bars of a scrolling widget (the scroll view, the text edit, the item views):
// forwarders that style either bar, the two style-sheet operations for their sizes, and the reader of the
// scroll-bar child elements of a page element. A "child" entry whose "type" contains "scrollbar" describes
// the host's own horizontal or vertical bar, not a child widget.
#include "TEVQScrollBar.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

#include <QPointer>
#include <QString>

class TEV_EXPORT TEVQScrollBarPair
{
public:
    // hasButtonSize: whether setScrollbarBtnSize sets the arrow buttons' size (the text edit's does nothing).
    explicit TEVQScrollBarPair(bool hasButtonSize) : m_hasButtonSize(hasButtonSize) {}
    virtual ~TEVQScrollBarPair() = default;
    TEVQScrollBarPair(const TEVQScrollBarPair&) = delete;
    TEVQScrollBarPair& operator=(const TEVQScrollBarPair&) = delete;

    // In every operation hor true chooses the horizontal bar, false the vertical one. None repaints.
    void setScrollbarBackgroundStyle(bool hor, const TEVQtLib::FillStyle& style);
    void setScrollbarButtonStyle(bool hor, bool up, TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    void setScrollbarThumbStyle(bool hor, TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    void setScrollbarButtonIcon(bool hor, bool up, const QString& path);
    void setScrollbarThumb(bool hor, const QString& path);
    void setScrollbarButtonIconStyle(bool hor, bool up, const TEVQtLib::IconStyleDesc& style);
    // The chosen bar's style sheet: the arrow buttons' size along the bar. A host that sizes its bars by other
    // sheets gives these two operations its own effect; the child-entry reader calls them.
    virtual void setScrollbarBtnSize(bool hor, int size);
    // Both bars' style sheet: their thickness and the vertical arrow buttons' width (hor is not used).
    virtual void setScrollbarSize(bool hor, int size);

    // Null once the host put another bar in its place (the host deletes the bar it replaces).
    TEVQScrollBar* horizontalBar() const { return m_horizontal; }
    TEVQScrollBar* verticalBar() const { return m_vertical; }

    // Styles the bars from the scroll-bar entries of element's "child" array, in array order.
    void readScrollBarChildren(const Json::Value& element);

    // The style sheets the two size operations set.
    static QString buttonSizeSheet(bool hor, int size);
    static QString thicknessSheet(int size);

protected:
    TEVQScrollBar* bar(bool hor) const { return hor ? m_horizontal : m_vertical; }
    void setBars(TEVQScrollBar* horizontal, TEVQScrollBar* vertical)
    {
        m_horizontal = horizontal;
        m_vertical = vertical;
    }

private:
    QPointer<TEVQScrollBar> m_horizontal;
    QPointer<TEVQScrollBar> m_vertical;
    bool m_hasButtonSize;
};

namespace TEVQtLib {
// Styles view's two bars from the scroll-bar entries of element's "child" array (only reads).
inline void readScrollbarChildJson(const Json::Value& element, TEVQScrollBarPair* view)
{
    if (view)
        view->readScrollBarChildren(element);
}
} // namespace TEVQtLib
