#include "TEVRowIconCache.h"

#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QPainter>
#include <QTransform>
#include <QtMath>

#include <cmath>

#include <algorithm>

namespace TEVQtLib {

namespace {
// Names kept beside the slots: a view shows a handful of different icons.
constexpr size_t kRecentNames = 8;
// SVG pictures kept: a handful of icons at one or two sizes; past the bound the cache starts over.
constexpr size_t kRenderedPictures = 16;

// True when a picture of the device's pixels, copied to target, gives the pixels rendering into target gives:
// the painter at full opacity and blending over, mapping target by the device's ratio (no rotation or zoom of
// its own) onto whole device pixels.
bool copiesAsRendered(const QPainter* painter, const QRect& target, qreal ratio)
{
    if (painter->opacity() < 1.0 || painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        return false;
    const QTransform& t = painter->deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() != ratio || t.m22() != ratio)
        return false;
    const QPointF origin = t.map(QPointF(target.topLeft()));
    const QSizeF pixels = QSizeF(target.size()) * ratio;
    const auto whole = [](qreal v) { return qFuzzyIsNull(v - std::round(v)); };
    return whole(origin.x()) && whole(origin.y()) && whole(pixels.width()) && whole(pixels.height());
}
} // namespace

void TEVRowIconCache::clear()
{
    m_slots.clear();
    m_recent.clear();
    m_rendered.clear();
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
    const Picture* p = picture(key, name);
    if (!p)
        return;
    if (!p->svg) {
        painter->drawImage(TEVQWidgetBaseImpl::iconPosition(style, rect, p->image.size()), p->image);
        return;
    }
    const int side = std::max(std::min(rect.width(), rect.height()), 1);
    const QSize size = p->svgSize.isEmpty() ? QSize(side, side) : p->svgSize;
    const QRect target(TEVQWidgetBaseImpl::iconPosition(style, rect, size), size);
    if (p->svg->animated()) {
        // An animated SVG shows the frame of the moment: drawn as the painter base draws it, at every paint.
        if (style.useColor)
            TEVQWidgetBaseImpl::drawImage(painter, name, style, rect, false);
        else
            p->svg->render(painter, QRectF(target));
        return;
    }
    const qreal ratio = TEVQWidgetBaseImpl::paintRatio(painter);
    if (style.useColor) {
        // As the painter base: rendered into a picture of the device's pixels, tinted, stretched over target.
        if (const QImage* image = rendered(*p, size, ratio, style))
            painter->drawImage(target, *image);
        return;
    }
    if (copiesAsRendered(painter, target, ratio)) {
        if (const QImage* image = rendered(*p, size, ratio, style)) {
            painter->drawImage(target.topLeft(), *image);
            return;
        }
    }
    p->svg->render(painter, QRectF(target));
}

const QImage* TEVRowIconCache::rendered(const Picture& p, const QSize& size, qreal ratio,
                                        const IconStyleDesc& style)
{
    const bool tinted = style.useColor;
    const QRgb tint = tinted ? style.color.rgba() : 0;
    // Pictures of a renderer let go of, or of a resource serial gone by, are not asked for again.
    m_rendered.erase(std::remove_if(m_rendered.begin(), m_rendered.end(),
                                    [&](const Rendered& r) { return !r.svg || r.serial != p.serial; }),
                     m_rendered.end());
    for (const Rendered& r : m_rendered) {
        if (r.svg == p.svg && r.renderer == p.svg.data() && r.size == size && r.ratio == ratio
            && r.tinted == tinted && r.tint == tint)
            return &r.image;
    }
    // Tinted, as the painter base: the device's pixels rounded up, within the resource manager's caps. Untinted,
    // exactly the device's pixels of the place (whole, see copiesAsRendered), or none beyond the caps.
    const QSize exact(qRound(size.width() * ratio), qRound(size.height() * ratio));
    const QSize pixels = tinted ? tevBoundedImageSize(QSize(qCeil(size.width() * ratio), qCeil(size.height() * ratio)))
                                : exact;
    if (!tinted && !tevImageSizeAllowed(pixels))
        return nullptr;
    QImage image = TEVQWidgetBaseImpl::svgPicture(p.svg.data(), pixels, tinted ? &style.color : nullptr);
    if (image.isNull())
        return nullptr;
    if (!tinted)
        image.setDevicePixelRatio(ratio);
    ++m_renders;
    if (m_rendered.size() >= kRenderedPictures)
        m_rendered.clear();
    Rendered r;
    r.svg = p.svg;
    r.renderer = p.svg.data();
    r.serial = p.serial;
    r.size = size;
    r.ratio = ratio;
    r.tinted = tinted;
    r.tint = tint;
    r.image = std::move(image);
    m_rendered.push_back(std::move(r));
    return &m_rendered.back().image;
}

} // namespace TEVQtLib
