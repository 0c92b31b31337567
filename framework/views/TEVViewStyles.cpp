#include "TEVViewStyles.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"

using namespace TEVQtLib;

void TEVViewStyleTable::fill(int slot, FillStyle& style)
{
    Field f;
    f.slotIds[0] = slot;
    f.fill = &style;
    m_fields.push_back(f);
}

void TEVViewStyleTable::fillGroup(int firstSlot, FillStyle* states, int spread)
{
    Field f;
    f.slotIds = {{firstSlot, firstSlot + 1, firstSlot + 2, firstSlot + 3}};
    f.count = 4;
    f.spread = qBound(1, spread, 4);
    f.fill = states;
    m_fields.push_back(f);
}

void TEVViewStyleTable::textGroup(int firstSlot, TextStyleDesc* states, int spread)
{
    Field f;
    f.slotIds = {{firstSlot, firstSlot + 1, firstSlot + 2, firstSlot + 3}};
    f.count = 4;
    f.spread = qBound(1, spread, 4);
    f.text = states;
    m_fields.push_back(f);
}

void TEVViewStyleTable::text(int slot, TextStyleDesc& style)
{
    Field f;
    f.slotIds[0] = slot;
    f.text = &style;
    m_fields.push_back(f);
}

void TEVViewStyleTable::alsoText(int slot, TextStyleDesc* states, int count)
{
    Field f;
    f.slotIds[0] = slot;
    f.spread = qBound(1, count, 4);
    f.text = states;
    f.readOnly = true;
    m_fields.push_back(f);
}

void TEVViewStyleTable::alsoFill(int slot, FillStyle* states, int count)
{
    Field f;
    f.slotIds[0] = slot;
    f.spread = qBound(1, count, 4);
    f.fill = states;
    f.readOnly = true;
    m_fields.push_back(f);
}

void TEVViewStyleTable::firstEntryOnly()
{
    if (!m_fields.empty())
        m_fields.back().firstOnly = true;
}

namespace {

bool lookUp(const std::string& name, FillStyle& out)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    // The byte form first (styles from style JSON), then the decoded text (styles filed from code).
    const QString key = TEVStyleEntries::styleNameFromJson(name);
    const QString decoded = json::toQString(name);
    return rm->getFillStyle(key, out) || (decoded != key && rm->getFillStyle(decoded, out));
}

bool lookUp(const std::string& name, TextStyleDesc& out)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    const QString key = TEVStyleEntries::styleNameFromJson(name);
    const QString decoded = json::toQString(name);
    return rm->getTextStyle(key, out) || (decoded != key && rm->getTextStyle(decoded, out));
}

template <class Style>
void apply(Style* states, int state, int spread, const Style& style)
{
    const int last = state == 0 ? spread - 1 : state;
    for (int s = state; s <= last; ++s)
        states[s] = style;
}

void appendEntry(Json::Value& styles, const QString& name, int type, int slot)
{
    Json::Value entry(Json::arrayValue);
    entry.append(TEVStyleEntries::styleNameToJson(name));
    entry.append(type != 0 ? 2 : 1);
    entry.append(slot);
    styles.append(std::move(entry));
}

bool differs(const FillStyle& a, const FillStyle& b) { return !tevSameFillLook(a, b); }
bool differs(const TextStyleDesc& a, const TextStyleDesc& b) { return a.name != b.name; }

// The entry [name, kind, slot] already written for the shared first slot, when the group's state 0 would
// write the same again: that entry gives state 0 (and, collapsed, every state) its style on reading already.
template <class Style>
bool sameAsWritten(const Style& style, const FillStyle* written)
{
    return written && !style.name.isEmpty() && style.name == written->name && (style.type != 0) == (written->type != 0);
}

template <class Style>
void writeGroup(Json::Value& styles, const std::array<int, 4>& slotIds, const Style* states, int spread,
                const FillStyle* sharedFirst = nullptr)
{
    // A single entry for the first slot reads back as state 0's style in the states it spreads to, and leaves
    // the others alone: a named state that it would not give back (one it does not spread to, one beside an
    // unnamed first state, or one that differs from the first) is written at its own slot, whatever the names
    // of its neighbours. Equal-looking fills under other names may give way to the first, as between neighbours.
    bool perState = false;
    for (int s = 1; s < 4 && !perState; ++s) {
        perState = !states[s].name.isEmpty() &&
                   (s >= spread || states[0].name.isEmpty() || differs(states[0], states[s]));
    }
    for (int s = 0; s < 3 && !perState; ++s) {
        perState = !states[s].name.isEmpty() && !states[s + 1].name.isEmpty() && differs(states[s], states[s + 1]);
    }
    if (perState) {
        for (int s = 0; s < 4; ++s) {
            if (!states[s].name.isEmpty() && !(s == 0 && sameAsWritten(states[0], sharedFirst)))
                appendEntry(styles, states[s].name, states[s].type, slotIds[size_t(s)]);
        }
    } else if (!states[0].name.isEmpty() && !sameAsWritten(states[0], sharedFirst)) {
        appendEntry(styles, states[0].name, states[0].type, slotIds[0]);
    }
}

} // namespace

quint64 TEVViewStyleTable::read(const Json::Value& element) const
{
    quint64 applied = 0;
    const Json::Value& styles = json::get(element, "style");
    const Json::ArrayIndex n = json::size(styles);
    for (Json::ArrayIndex i = 0; i < n; ++i) {
        const Json::Value& item = json::at(styles, i);
        const std::optional<std::string> name = json::toString(json::at(item, 0));
        const std::optional<int> slot = json::toInt(json::at(item, 2));
        if (!name || !slot || *slot < 0 || *slot > 63)
            continue;
        const quint64 bit = quint64(1) << *slot;
        // An earlier entry of this slot took effect (entries with unknown names do not count).
        const bool repeated = (applied & bit) != 0;
        FillStyle fillStyle;
        TextStyleDesc textStyle;
        bool fillLooked = false, fillFound = false, textLooked = false, textFound = false;
        for (const Field& f : m_fields) {
            int state = -1;
            for (int s = 0; s < f.count; ++s) {
                if (f.slotIds[size_t(s)] == *slot) {
                    state = s;
                    break;
                }
            }
            if (state < 0 || (f.firstOnly && repeated))
                continue;
            if (f.fill) {
                if (!fillLooked) {
                    fillLooked = true;
                    fillFound = lookUp(*name, fillStyle);
                }
                if (fillFound) {
                    apply(f.fill, state, f.spread, fillStyle);
                    applied |= bit;
                }
            } else if (f.text) {
                if (!textLooked) {
                    textLooked = true;
                    textFound = lookUp(*name, textStyle);
                }
                if (textFound) {
                    apply(f.text, state, f.spread, textStyle);
                    applied |= bit;
                }
            }
        }
    }
    return applied;
}

void TEVViewStyleTable::write(Json::Value& element) const
{
    Json::Value styles(Json::arrayValue);
    // A single fill read from the first entry of its slot only, written: its style, by slot.
    std::vector<std::pair<int, const FillStyle*>> firstOnlyWritten;
    for (const Field& f : m_fields) {
        if (f.readOnly)
            continue;
        if (f.count == 4) {
            const FillStyle* sharedFirst = nullptr;
            for (const auto& [slot, style] : firstOnlyWritten) {
                if (slot == f.slotIds[0])
                    sharedFirst = style;
            }
            if (f.fill)
                writeGroup(styles, f.slotIds, f.fill, f.spread, sharedFirst);
            else if (f.text)
                writeGroup(styles, f.slotIds, f.text, f.spread);
        } else if (f.fill && !f.fill->name.isEmpty()) {
            appendEntry(styles, f.fill->name, f.fill->type, f.slotIds[0]);
            if (f.firstOnly)
                firstOnlyWritten.emplace_back(f.slotIds[0], f.fill);
        } else if (f.text && !f.text->name.isEmpty()) {
            appendEntry(styles, f.text->name, f.text->type, f.slotIds[0]);
        }
    }
    if (!json::isObject(element))
        element = Json::Value(Json::objectValue);
    element["style"] = styles.empty() ? Json::Value(Json::nullValue) : styles;
}
