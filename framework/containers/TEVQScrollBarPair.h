#pragma once
// The pair of framework scroll bars of a scrolling widget (the scroll view, the text edit, the item views):
// forwarders that style either bar, the two style-sheet operations for their sizes, and the reader of the
// scroll-bar child elements of a page element. A "child" entry whose "type" contains "scrollbar" describes
// the host's own horizontal or vertical bar, not a child widget. A widget outside the containers gets a pair of
// its own through the core interface (ITEVQScrollBarPair.h).
#include "ITEVQScrollBarPair.h"
#include "TEVQScrollBar.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

#include <QPointer>
#include <QString>

class TEV_EXPORT TEVQScrollBarPair : public TEVQtLib::ITEVQScrollBarPair
{
public:
    // hasButtonSize: whether setScrollbarBtnSize sets the arrow buttons' size (the text edit's does nothing).
    explicit TEVQScrollBarPair(bool hasButtonSize) : m_hasButtonSize(hasButtonSize) {}
    ~TEVQScrollBarPair() override = default;
    TEVQScrollBarPair(const TEVQScrollBarPair&) = delete;
    TEVQScrollBarPair& operator=(const TEVQScrollBarPair&) = delete;

    // In every operation hor true chooses the horizontal bar, false the vertical one. None repaints.
    void setScrollbarBackgroundStyle(bool hor, const TEVQtLib::FillStyle& style) override;
    void setScrollbarButtonStyle(bool hor, bool up, TEVQtLib::CtrlState state,
                                 const TEVQtLib::FillStyle& style) override;
    void setScrollbarThumbStyle(bool hor, TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style) override;
    void setScrollbarButtonIcon(bool hor, bool up, const QString& path) override;
    void setScrollbarThumb(bool hor, const QString& path) override;
    void setScrollbarButtonIconStyle(bool hor, bool up, const TEVQtLib::IconStyleDesc& style) override;
    // The chosen bar's style sheet: the arrow buttons' size along the bar. A host that sizes its bars by other
    // sheets gives these two operations its own effect; the child-entry reader calls them.
    void setScrollbarBtnSize(bool hor, int size) override;
    // Both bars' style sheet: their thickness and the vertical arrow buttons' width (hor is not used).
    void setScrollbarSize(bool hor, int size) override;

    // Null once the host put another bar in its place (the host deletes the bar it replaces).
    TEVQScrollBar* horizontalBar() const override { return m_horizontal; }
    TEVQScrollBar* verticalBar() const override { return m_vertical; }

    // Styles the bars from the scroll-bar entries of element's "child" array, in array order.
    void readScrollBarChildren(const Json::Value& element) override;

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
