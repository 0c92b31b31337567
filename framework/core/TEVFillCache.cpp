#include "TEVFillCache.h"

#include "TEVQWidgetBaseImpl.h"

#include <QPaintDevice>
#include <QPainter>
#include <QtMath>

namespace TEVQtLib {

namespace {
// Larger fills are drawn directly: their image would cost more memory than the path costs time.
constexpr qint64 kMaxCachedPixels = 1024 * 1024;
} // namespace

void TEVFillCache::draw(QPainter* painter, const FillStyle& style, const QRect& rect)
{
    if (!painter || !style.valid)
        return;
    const FillRes& res = style.fillRes;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const bool worthKeeping = style.useFillStyle && (res.radius != 0 || res.gradient) && rect.width() > 0 &&
                              rect.height() > 0 &&
                              qint64(rect.width()) * rect.height() * ratio * ratio <= kMaxCachedPixels;
    if (!worthKeeping) {
        TEVQWidgetBaseImpl::drawFillStyleAt(painter, style, rect.x(), rect.y(), rect.width(), rect.height());
        return;
    }
    if (m_image.isNull() || m_size != rect.size() || m_ratio != ratio || !(m_res == res)) {
        m_res = res;
        m_size = rect.size();
        m_ratio = ratio;
        m_image = QImage(qCeil(rect.width() * ratio), qCeil(rect.height() * ratio),
                         QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(ratio);
        m_image.fill(Qt::transparent);
        QPainter p(&m_image);
        TEVQWidgetBaseImpl::drawFillRes(&p, res, 0, 0, rect.width(), rect.height());
    }
    painter->drawImage(rect.topLeft(), m_image);
}

} // namespace TEVQtLib
