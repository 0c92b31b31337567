#pragma once
// The texts of a list of items (a view's rows or cells, a popup's rows), kept between paints in a fixed number
// of slots (the caller gives each item a key; key modulo the slot count picks its slot). A text seen in its slot
// for the first time is drawn directly: a page scrolled into view would only pay for laying out what it never
// paints again. A text painted again from its slot (a repaint, a hover, a scroll by less than a slot count) is
// laid out once and then drawn as kept. Two items sharing a slot only cost a lay-out: what is drawn is always the
// item's text, as TEVQWidgetBaseImpl::drawText draws it.
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QRect>
#include <QString>

#include <vector>

namespace TEVQtLib {

class TEVRowTextCache
{
public:
    explicit TEVRowTextCache(int slotCount) : m_slotCount(slotCount > 0 ? slotCount : 1) {}

    void draw(QPainter* painter, quint64 key, const QString& text, const TextStyleDesc& style, const QRect& rect)
    {
        if (m_slots.empty())
            m_slots.resize(size_t(m_slotCount));
        Slot& slot = m_slots[size_t(key % quint64(m_slotCount))];
        if (slot.text == text) {
            slot.cache.draw(painter, text, style, rect, style.isHor);
            return;
        }
        slot.text = text;
        TEVQWidgetBaseImpl::drawText(painter, text, style, rect);
    }
    // The advance of an item's text in the font of style, kept in the item's slot until the text or font changes.
    int advance(quint64 key, const QString& text, const TextStyleDesc& style)
    {
        if (m_slots.empty())
            m_slots.resize(size_t(m_slotCount));
        bool measured = false;
        const int width = m_slots[size_t(key % quint64(m_slotCount))].cache.advance(text, style, &measured);
        m_measures += measured ? 1 : 0;
        return width;
    }
    // How many texts advance has measured so far.
    int measureCount() const { return m_measures; }
    void clear() { m_slots.clear(); }

private:
    struct Slot {
        QString text;
        TEVTextCache cache;
    };
    int m_slotCount;
    std::vector<Slot> m_slots;
    int m_measures = 0;
};

} // namespace TEVQtLib
