#pragma once
// The "style" arrays of the item views and the menu bar: entries [name, kind, slot], read and written by one
// table that a view fills once with its fields. Reading takes the entries in array order and gives each
// entry's style to every field bound to its slot; unknown slots, malformed entries and names the resource
// manager does not hold change nothing. Writing appends, field by field in the order they were bound, one
// entry per named single style and, per four-state group, either every named state at its own slot (when
// some neighbouring pair of states with both names set differs: fills by look, texts by name) or state 0
// alone at the group's first slot. The kind written is 2 for a style whose type field is non-zero, else 1.
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

#include <array>
#include <vector>

class TEV_EXPORT TEVViewStyleTable
{
public:
    // A single fill style at slot.
    void fill(int slot, TEVQtLib::FillStyle& style);
    // Four states at firstSlot .. firstSlot + 3. On reading, an entry of the first slot also gives its style
    // to states 1 .. spread - 1.
    void fillGroup(int firstSlot, TEVQtLib::FillStyle* states, int spread = 4);
    void textGroup(int firstSlot, TEVQtLib::TextStyleDesc* states, int spread = 4);
    // A single text style at slot.
    void text(int slot, TEVQtLib::TextStyleDesc& style);

    // Read-only bindings: an entry of slot also fills these states, every time or only for the first entry
    // of that slot in the array.
    void alsoFill(int slot, TEVQtLib::FillStyle* states, int count);
    void alsoText(int slot, TEVQtLib::TextStyleDesc* states, int count);
    // The field bound last (a single style) is read only from the first entry of its slot; later entries of
    // the same slot go to the other fields bound to it.
    void firstEntryOnly();

    // Reads element's "style"; returns the slots (0..63) whose entries were applied, one bit each.
    quint64 read(const Json::Value& element) const;
    // Replaces element's "style" by the entries of the bound fields (null when there are none). A group whose
    // first slot is shared with a single field read from the first entry only leaves out its state-0 entry when
    // that would repeat the single field's entry: the one entry styles both on reading.
    void write(Json::Value& element) const;

private:
    struct Field
    {
        std::array<int, 4> slotIds{{-1, -1, -1, -1}};
        int count = 1;  // 1 single style, 4 a group
        int spread = 1; // states the first slot's entry fills on reading
        TEVQtLib::FillStyle* fill = nullptr;
        TEVQtLib::TextStyleDesc* text = nullptr;
        bool firstOnly = false;
        bool readOnly = false;
    };
    std::vector<Field> m_fields;
};
