#pragma once
// The "style" arrays of the item views, the menu bar and the ribbon bar: entries [name, kind, slot], read and
// written by the painter base's shared slot table (TEVStyleEntries), which a view fills once with its fields.
// Two things are the views' own:
// - their fill groups are written per state only when named neighbours differ in look (tevSameFillLook), not
//   field by field: the views' stored files have always been written so;
// - write replaces the element's "style" (null when nothing is written) instead of appending to it: a view's
//   element holds no entries of another table, and a stored view without styles has "style": null.
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

    // Replaces element's "style" by the entries of the bound fields (null when there are none).
    void write(Json::Value& element) const;
};
