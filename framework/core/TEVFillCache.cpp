#include "TEVFillCache.h"

#include "TEVQWidgetBaseImpl.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QtMath>

namespace TEVQtLib {

void TEVFillCache::draw(QPainter* painter, const FillStyle& style, const QRect& rect)
{
    if (!painter || !style.valid)
        return;
    const FillRes& res = style.fillRes;
    const bool costly = style.useFillStyle && (res.radius != 0 || (res.drawBorder && res.borderSize >= 1));
    if (!costly || rect.isEmpty() || rect.width() > 4096 || rect.height() > 4096) {
        TEVQWidgetBaseImpl::drawFillStyle(painter, style, rect);
        return;
    }
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    if (m_key.isEmpty() || m_size != rect.size() || m_ratio != ratio || m_res != res) {
        m_res = res;
        m_size = rect.size();
        m_ratio = ratio;
        auto flags = [&res] {
            return (res.gradient ? 1 : 0) | (res.drawBorder ? 2 : 0) | (res.leftBorder ? 4 : 0) | (res.topBorder ? 8 : 0)
                   | (res.rightBorder ? 16 : 0) | (res.bottomBorder ? 32 : 0) | (res.roundTopLeft ? 64 : 0)
                   | (res.roundTopRight ? 128 : 0) | (res.roundBottomRight ? 256 : 0) | (res.roundBottomLeft ? 512 : 0);
        };
        m_key = QString::asprintf("tevfill/%08x/%08x/%08x/%d/%d/%d/%dx%d@%g", res.fillColor.rgba(),
                                  res.gradientEndColor.rgba(), res.borderColor.rgba(), res.radius, res.borderSize,
                                  flags(), rect.width(), rect.height(), ratio);
    }
    QPixmap pixmap;
    if (!QPixmapCache::find(m_key, &pixmap)) {
        pixmap = QPixmap(QSize(qCeil(rect.width() * ratio), qCeil(rect.height() * ratio)));
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        TEVQWidgetBaseImpl::drawFillRes(&p, res, 0, 0, rect.width(), rect.height());
        p.end();
        QPixmapCache::insert(m_key, pixmap);
    }
    painter->drawPixmap(rect.topLeft(), pixmap);
}

} // namespace TEVQtLib
