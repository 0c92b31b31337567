#pragma once
// The "style" arrays of the item views, the menu bar and the ribbon bar: entries [name, kind, slot], read and
// written by the painter base's shared slot table (TEVStyleEntries), which a view fills once with its fields.
// Two things are the views' own:
// - their fill groups are written per state only when named neighbours differ in look (tevSameFillLook), not
//   field by field: the views' stored files have always been written so;
// - write replaces the element's "style" (null when nothing is written) instead of appending to it: a view's
//   element holds no entries of another table, and a stored view without styles has "style": null.
// Beside the table, the style accessors the plain list, the tree and the table share (TEVViewItemStyles).
#include "TEVQControlInfo.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

class TEV_EXPORT TEVViewStyleTable : private TEVQtLib::TEVStyleEntries
{
public:
    using TEVStyleEntries::alsoFill;
    using TEVStyleEntries::alsoText;
    using TEVStyleEntries::fill;
    using TEVStyleEntries::firstEntryOnly;
    using TEVStyleEntries::read;
    using TEVStyleEntries::text;

    // Four states at firstSlot .. firstSlot + 3. On reading, an entry of the first slot also gives its style
    // to states 1 .. spread - 1.
    void fillGroup(int firstSlot, TEVQtLib::FillStyle* states, int spread = 4)
    {
        TEVStyleEntries::fillGroup(firstSlot, states, GroupRule::NamedNeighboursLookDifferent, spread);
    }
    void textGroup(int firstSlot, TEVQtLib::TextStyleDesc* states, int spread = 4)
    {
        TEVStyleEntries::textGroup(firstSlot, states, GroupRule::NamedNeighboursDiffer, spread);
    }

    // The slots of the plain list, the tree and the table: 0 the background, 2 .. 5 the row backgrounds and
    // 6 .. 9 the row texts (groups of four states).
    void rowStyles(TEVQtLib::FillStyle& background, TEVQtLib::FillStyle* itemBackground,
                   TEVQtLib::TextStyleDesc* itemTextStyle)
    {
        fill(0, background);
        fillGroup(2, itemBackground);
        textGroup(6, itemTextStyle);
    }

    // Replaces element's "style" by the entries of the bound fields (null when there are none).
    void write(Json::Value& element) const;
};

// The style accessors of an item view whose painter object (View::painter()) holds one `background` and the
// four-state `itemBackground` and `itemTextStyle`. None repaints. The background's state is not used; a getter
// given a state outside 0..3 gives state 0; a setter given one changes nothing, except that 4 sets all four
// states when fourSetsAll.
template <class View, bool fourSetsAll>
class TEVViewItemStyles
{
public:
    void setBackground(TEVQtLib::CommonCtrlState, const TEVQtLib::FillStyle& style)
    {
        viewPainter()->background = style;
    }
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CommonCtrlState) const { return viewPainter()->background; }
    void setItemBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style)
    {
        storeViewState(viewPainter()->itemBackground, state, style);
    }
    const TEVQtLib::FillStyle& getItemBackground(TEVQtLib::CtrlState state) const
    {
        return viewPainter()->itemBackground[TEVQtLib::tevSafeState(state)];
    }
    void setItemTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style)
    {
        storeViewState(viewPainter()->itemTextStyle, state, style);
    }
    const TEVQtLib::TextStyleDesc& getItemTextStyle(TEVQtLib::CtrlState state) const
    {
        return viewPainter()->itemTextStyle[TEVQtLib::tevSafeState(state)];
    }

    // The catalogue rows of these accessors, in this order: "Background" (states "Normal" and "Disable"),
    // itemBackgroundRow and "TextStyle" (the four states).
    static void appendStyleRows(TEVQtLib::ControlInfo& info, const QString& itemBackgroundRow)
    {
        const QStringList single{QStringLiteral("Normal"), QStringLiteral("Disable")};
        info.props.append(TEVQtLib::tevFillStyleRow<View>(QStringLiteral("Background"), &View::setBackground,
                                                          &View::getBackground, single));
        info.props.append(
            TEVQtLib::tevFillStyleRow<View>(itemBackgroundRow, &View::setItemBackground, &View::getItemBackground));
        info.props.append(TEVQtLib::tevTextStyleRow<View>(QStringLiteral("TextStyle"), &View::setItemTextStyle,
                                                          &View::getItemTextStyle));
    }

private:
    auto* viewPainter() const { return static_cast<const View*>(this)->painter(); }
    template <class T>
    static void storeViewState(T* states, int state, const T& value)
    {
        if (fourSetsAll || TEVQtLib::tevValidState(state))
            TEVQtLib::tevSetStates(states, state, value);
    }
};
