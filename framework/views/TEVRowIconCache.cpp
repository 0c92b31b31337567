#include "TEVRowIconCache.h"

#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QPainter>

#include <algorithm>

namespace TEVQtLib {

namespace {
// Names kept beside the slots: a view shows a handful of different icons.
constexpr size_t kRecentNames = 8;
} // namespace

void TEVRowIconCache::clear()
{
    m_slots.clear();
    m_recent.clear();
}

bool TEVRowIconCache::current(const Picture& p, const QString& name, quint64 serial) const
{
    // A renderer the manager let go of since is found again, even under the same serial.
    return p.found && p.serial == serial && (p.svg || !p.image.isNull()) && p.name == name;
}

void TEVRowIconCache::resolve(Picture& p, const QString& name, quint64 serial)
{
    p = Picture();
    p.name = name;
    p.serial = serial;
    ++m_lookups;
    p.found = tevFindPicture(name, false, p);
}

const TEVRowIconCache::Picture* TEVRowIconCache::picture(quint64 key, const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    if (m_slots.empty())
        m_slots.resize(size_t(m_slotCount));
    const quint64 serial = TEVQResourceManager::getInstance()->resourceSerial();
    Picture& slot = m_slots[size_t(key % quint64(m_slotCount))];
    if (current(slot, name, serial))
        return &slot;
    // Another row's name in this slot, or a stale one: a name found lately serves first.
    for (auto it = m_recent.rbegin(); it != m_recent.rend(); ++it) {
        if (current(*it, name, serial)) {
            slot = *it;
            return &slot;
        }
    }
    resolve(slot, name, serial);
    if (!slot.found)
        return nullptr;
    m_recent.erase(std::remove_if(m_recent.begin(), m_recent.end(),
                                  [&](const Picture& p) { return p.name == name || p.serial != serial; }),
                   m_recent.end());
    if (m_recent.size() >= kRecentNames)
        m_recent.erase(m_recent.begin());
    m_recent.push_back(slot);
    return &slot;
}

QSize TEVRowIconCache::size(quint64 key, const QString& name)
{
    const Picture* p = picture(key, name);
    return p ? p->size() : QSize();
}

void TEVRowIconCache::draw(QPainter* painter, quint64 key, const QString& name, const IconStyleDesc& style,
                           const QRect& rect)
{
    if (!painter)
        return;
    if (style.useColor && TEVQWidgetBaseImpl::isSvgPath(name)) {
        // A tinted SVG is rendered into a picture of its own each time; rows draw their icons untinted.
        TEVQWidgetBaseImpl::drawImage(painter, name, style, rect, false);
        return;
    }
    const Picture* p = picture(key, name);
    if (!p)
        return;
    if (!p->svg) {
        painter->drawImage(TEVQWidgetBaseImpl::iconPosition(style, rect, p->image.size()), p->image);
        return;
    }
    const int side = std::max(std::min(rect.width(), rect.height()), 1);
    const QSize size = p->svgSize.isEmpty() ? QSize(side, side) : p->svgSize;
    p->svg->render(painter, QRectF(QRect(TEVQWidgetBaseImpl::iconPosition(style, rect, size), size)));
}

} // namespace TEVQtLib
