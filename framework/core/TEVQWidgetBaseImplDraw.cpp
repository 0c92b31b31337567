// The drawing helpers of the painter base: fills (colour, gradient, border, rounded corners), nine-slice
// images, texts, icons, images and SVGs, and the measuring of texts and images. Every control paints through
// these, so the same style looks the same everywhere.
#include "TEVQWidgetBaseImpl.h"

#include "TEVQResourceManager.h"
#include "TEVTextCache.h"

#include <QCache>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QLinearGradient>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>
#include <QThread>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace TEVQtLib {

namespace {

TEVQResourceManager* resources() { return TEVQResourceManager::getInstance(); }

QBrush fillBrush(const FillRes& res, const QPointF& from, const QPointF& to)
{
    if (!res.gradient)
        return QBrush(res.fillColor);
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0, res.fillColor);
    gradient.setColorAt(1, res.gradientEndColor);
    return QBrush(gradient);
}

// Whether a one-pixel pen's outline of a rectangle on whole pixels covers exactly the rectangle's outer rows
// and columns, so that filling those is the same picture: a raster device at its own pixels (moved by whole
// pixels, neither scaled nor at another pixel ratio), aliased, blended over.
bool outlineIsEdgeFills(const QPainter* painter)
{
    const QPaintEngine* engine = painter->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster)
        return false;
    const QTransform t = painter->deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) && t.dy() == std::floor(t.dy()) &&
           painter->compositionMode() == QPainter::CompositionMode_SourceOver &&
           !(painter->renderHints() & (QPainter::Antialiasing | QPainter::Qt4CompatiblePainting));
}

// The one-pixel border of the rectangle x, y, w, h (more than two pixels each way), side by side as the pen
// draws it: a whole outline blends each pixel once, single sides as lines that overlap at the corners where two
// meet. Qt strokes such an outline one pixel at a time (a blend call per pixel), which costs many times the
// four fills.
void fillOnePixelBorder(QPainter* painter, const FillRes& res, bool allSides, int x, int y, int w, int h)
{
    const QBrush edge(res.borderColor);
    if (allSides) {
        painter->fillRect(QRect(x, y, w, 1), edge);
        painter->fillRect(QRect(x, y + h - 1, w, 1), edge);
        painter->fillRect(QRect(x, y + 1, 1, h - 2), edge);
        painter->fillRect(QRect(x + w - 1, y + 1, 1, h - 2), edge);
        return;
    }
    if (res.topBorder)
        painter->fillRect(QRect(x, y, w, 1), edge);
    if (res.bottomBorder)
        painter->fillRect(QRect(x, y + h - 1, w, 1), edge);
    if (res.leftBorder)
        painter->fillRect(QRect(x, y, 1, h), edge);
    if (res.rightBorder)
        painter->fillRect(QRect(x + w - 1, y, 1, h), edge);
}

} // namespace

QFont TEVQWidgetBaseImpl::styleFont(const TextStyleDesc& style, const QString& globalFamily)
{
    QFont font;
    if (style.pixelSize > 0)
        font.setPixelSize(style.pixelSize);
    font.setFamily(globalFamily.isEmpty() ? style.family : globalFamily);
    font.setWeight(style.bold ? 75 : 50);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    return font;
}

QFont TEVQWidgetBaseImpl::styleFont(const TextStyleDesc& style)
{
    return styleFont(style, resources()->getGlobalFontFamily());
}

Qt::Alignment TEVQWidgetBaseImpl::styleAlignment(int hor, int ver)
{
    Qt::Alignment a;
    switch (hor) {
    case 0: a |= Qt::AlignLeft; break;
    case 1: a |= Qt::AlignHCenter; break;
    case 2: a |= Qt::AlignRight; break;
    default: break;
    }
    switch (ver) {
    case 0: a |= Qt::AlignTop; break;
    case 1: a |= Qt::AlignVCenter; break;
    case 2: a |= Qt::AlignBottom; break;
    default: break;
    }
    return a;
}

namespace {
// Start coordinate of an item of length size aligned inside [start, start + length); 0 for an unknown
// alignment.
int alignedStart(int align, int start, int length, int size)
{
    switch (align) {
    case 0: return start;
    case 1: return start + (length - size) / 2;
    case 2: return start + length - size;
    default: return 0;
    }
}
} // namespace

QRect TEVQWidgetBaseImpl::textBox(const TextStyleDesc& style, int x, int y, int w, int h)
{
    const int dx = boundedOffset(style.offsetX), dy = boundedOffset(style.offsetY);
    // Bottom-aligned text moves down by the offset like top-aligned text does.
    return QRect(x + dx, y + dy, w - dx, style.verAlign == 2 ? h : h - dy);
}

QPoint TEVQWidgetBaseImpl::iconPosition(const IconStyleDesc& style, const QRect& area, const QSize& size)
{
    return QPoint(alignedStart(style.horAlign, area.left(), area.width(), size.width()) + boundedOffset(style.offsetX),
                  alignedStart(style.verAlign, area.top(), area.height(), size.height()) + boundedOffset(style.offsetY));
}

// ---- geometry ---------------------------------------------------------------------------------------------

QSize TEVQWidgetBaseImpl::scaleSize(const QSize& size)
{
    if (!size.isValid())
        return size;
    const double factor = resources()->getScaleFactor();
    if (factor >= 1.0)
        return size;
    return QSize(std::max(1, int(std::lround(size.width() * factor))),
                 std::max(1, int(std::lround(size.height() * factor))));
}

QPainterPath TEVQWidgetBaseImpl::roundedRectPath(const QRectF& rect, double radius, bool topLeft, bool topRight,
                                                 bool bottomRight, bool bottomLeft)
{
    QPainterPath path;
    if (!rect.isValid())
        return path;
    const double r = std::max(0.0, std::min(radius, std::min(rect.width(), rect.height()) / 2.0));
    if (r == 0.0) {
        path.addRect(rect);
        return path;
    }
    const double d = 2 * r;
    const double left = rect.left(), top = rect.top(), right = rect.right(), bottom = rect.bottom();
    path.moveTo(topLeft ? left + r : left, top);
    if (topRight)
        path.arcTo(QRectF(right - d, top, d, d), 90, -90);
    else
        path.lineTo(right, top);
    if (bottomRight)
        path.arcTo(QRectF(right - d, bottom - d, d, d), 0, -90);
    else
        path.lineTo(right, bottom);
    if (bottomLeft)
        path.arcTo(QRectF(left, bottom - d, d, d), 270, -90);
    else
        path.lineTo(left, bottom);
    if (topLeft)
        path.arcTo(QRectF(left, top, d, d), 180, -90);
    else
        path.lineTo(left, top);
    path.closeSubpath();
    return path;
}

// ---- fills ------------------------------------------------------------------------------------------------

void TEVQWidgetBaseImpl::drawFillStyle(QPainter* painter, const FillStyle& style, const QRect& rect)
{
    drawFillStyleAt(painter, style, rect.x(), rect.y(), rect.width(), rect.height());
}

void TEVQWidgetBaseImpl::drawFillStyleAt(QPainter* painter, const FillStyle& style, int x, int y, int w, int h)
{
    if (!painter || !style.valid)
        return;
    if (style.useFillStyle)
        drawFillRes(painter, style.fillRes, x, y, w, h);
    else
        drawImageFill(painter, style.imageName, style.imageDesc, x, y, w, h);
}

void TEVQWidgetBaseImpl::drawFillRes(QPainter* painter, const FillRes& res, int x, int y, int w, int h)
{
    // An empty or negative size is nothing to fill: Qt would fill and stroke the rectangle turned the right way
    // round, beside the place given (and, less a border's width, a negative size could leave int).
    if (!painter || w <= 0 || h <= 0)
        return;
    painter->save();
    const int width = res.borderSize;
    painter->setPen(QPen(QBrush(res.borderColor), std::max(width, 0), Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(Qt::NoBrush);
    const double half = width >= 1 ? width * 0.5 : 0.0;
    // A negative width is as good as none: it draws no border.
    const bool border = res.drawBorder && width >= 1;
    const bool allSides = res.leftBorder && res.topBorder && res.rightBorder && res.bottomBorder;

    if (res.radius != 0) {
        QRectF fillRect(x, y, w, h);
        double fillRadius = res.radius;
        if (border) {
            fillRect = QRectF(x + half, y + half, std::max(w - width, 0), std::max(h - width, 0));
            fillRadius = std::max(res.radius - half, 0.0);
        }
        painter->setRenderHint(QPainter::Antialiasing, true);
        const QPainterPath fillPath = roundedRectPath(fillRect, fillRadius, res.roundTopLeft, res.roundTopRight,
                                                      res.roundBottomRight, res.roundBottomLeft);
        painter->fillPath(fillPath, fillBrush(res, fillRect.topLeft(), fillRect.topRight()));

        if (border) {
            const QRectF inset(x + half, y + half, std::max(w - width, 0), std::max(h - width, 0));
            if (allSides) {
                painter->drawPath(roundedRectPath(inset, res.radius, res.roundTopLeft, res.roundTopRight,
                                                  res.roundBottomRight, res.roundBottomLeft));
            } else {
                // Each side stops short of a rounded corner by the radius the outline would use there.
                const double r = std::max(0.0, std::min<double>(res.radius,
                                                                std::min(inset.width(), inset.height()) / 2.0));
                const double keep = std::max(r, half);
                const double tl = res.roundTopLeft ? keep : half;
                const double tr = res.roundTopRight ? keep : half;
                const double br = res.roundBottomRight ? keep : half;
                const double bl = res.roundBottomLeft ? keep : half;
                const double l = x + half, t = y + half, rr = x + w - half, b = y + h - half;
                if (res.topBorder)
                    painter->drawLine(QPointF(x + tl, t), QPointF(x + w - tr, t));
                if (res.bottomBorder)
                    painter->drawLine(QPointF(x + bl, b), QPointF(x + w - br, b));
                if (res.leftBorder)
                    painter->drawLine(QPointF(l, y + tl), QPointF(l, y + h - bl));
                if (res.rightBorder)
                    painter->drawLine(QPointF(rr, y + tr), QPointF(rr, y + h - br));
            }
        }
    } else {
        painter->fillRect(QRect(x, y, w, h), fillBrush(res, QPointF(x, 0), QPointF(x + w, 0)));
        if (border && width == 1 && w > 2 && h > 2 && outlineIsEdgeFills(painter)) {
            fillOnePixelBorder(painter, res, allSides, x, y, w, h);
        } else if (border) {
            if (allSides) {
                // Centred half a pen inside the rectangle, so that a wide pen covers exactly the rectangle's
                // outer columns and rows (as the single sides and the rounded outline do).
                painter->drawRect(QRectF(x + half, y + half, w - width, h - width));
            } else {
                const double l = x + half, t = y + half, r = x + w - half, b = y + h - half;
                if (res.topBorder)
                    painter->drawLine(QPointF(l, t), QPointF(r, t));
                if (res.bottomBorder)
                    painter->drawLine(QPointF(l, b), QPointF(r, b));
                if (res.leftBorder)
                    painter->drawLine(QPointF(l, t), QPointF(l, b));
                if (res.rightBorder)
                    painter->drawLine(QPointF(r, t), QPointF(r, b));
            }
        }
    }
    painter->restore();
}

// ---- image fills ------------------------------------------------------------------------------------------

namespace {
// The images of fills drawn without a cache of their own, shared by every painter on the GUI thread (a page
// has a handful of image fills, drawn again and again).
constexpr std::size_t kSharedImageFills = 16;

std::vector<std::unique_ptr<TEVImageFillCache>>& sharedImageFills()
{
    static std::vector<std::unique_ptr<TEVImageFillCache>> caches;
    return caches;
}

TEVImageFillCache* sharedImageFill(const QString& name)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return nullptr;
    auto& caches = sharedImageFills();
    for (const auto& c : caches) {
        if (c->name() == name)
            return c.get();
    }
    if (caches.size() >= kSharedImageFills)
        caches.erase(caches.begin());
    caches.push_back(std::make_unique<TEVImageFillCache>());
    return caches.back().get();
}
} // namespace

const QImage* TEVImageFillCache::image(const QString& name)
{
    const quint64 serial = resources()->resourceSerial();
    if (m_found && m_serial == serial && m_name == name)
        return &m_image;
    clear();
    m_name = name;
    const QImage* found = resources()->getImage(name, false);
    // Not found: asked again next time (the manager remembers its misses for a while).
    if (!found || found->width() == 0 || found->height() == 0)
        return nullptr;
    m_image = *found; // shared, not copied
    m_serial = serial;
    m_found = true;
    return &m_image;
}

const QImage& TEVImageFillCache::tile(const QRect& rect)
{
    if (m_tile.isNull() || m_tileRect != rect) {
        m_tileRect = rect;
        m_tile = m_image.copy(rect);
    }
    return m_tile;
}

void TEVImageFillCache::clear()
{
    m_found = false;
    m_name.clear();
    m_image = QImage();
    m_tile = QImage();
    m_tileRect = QRect();
}

void TEVQWidgetBaseImpl::drawImageFill(QPainter* painter, const QString& imageName, const ImageDesc& desc, int x,
                                       int y, int w, int h)
{
    if (!painter || w <= 0 || h <= 0)
        return;
    TEVImageFillCache* shared = sharedImageFill(imageName);
    TEVImageFillCache own;
    drawImageFill(painter, imageName, desc, x, y, w, h, shared ? shared : &own);
}

void TEVQWidgetBaseImpl::drawImageFill(QPainter* painter, const QString& imageName, const ImageDesc& desc, int x,
                                       int y, int w, int h, TEVImageFillCache* cache)
{
    // A negative size is nothing to fill either (the corner slices would otherwise still be drawn).
    if (!painter || !cache || w <= 0 || h <= 0)
        return;
    const QImage* image = cache->image(imageName);
    if (!image)
        return;
    const int iw = image->width(), ih = image->height();
    const int left = boundedOffset(desc.left), right = boundedOffset(desc.right), top = boundedOffset(desc.top),
              bottom = boundedOffset(desc.bottom);

    auto slice = [&](const QRect& dst, const QRect& src) {
        if (dst.isValid() && src.isValid())
            painter->drawImage(dst, *image, src);
    };

    if (top > 0)
        slice(QRect(x + left, y, w - left - right, top), QRect(left, 0, iw - left - right, top));
    if (bottom > 0 && y + h - bottom >= 0)
        slice(QRect(x + left, y + h - bottom, w - left - right, bottom),
              QRect(left, ih - bottom, iw - left - right, bottom));
    const QRect leftDst(x, y + top, left, h - top - bottom);
    if (left > 0)
        slice(leftDst, QRect(0, top, left, ih - top - bottom));
    if (right > 0 && x + w - right >= 0) {
        const QRect dst(x + w - right, y + top, right, h - top - bottom);
        const QRect src(iw - right, top, right, ih - top - bottom);
        if (left > 0 && x + left > x + w - right) {
            // The target is narrower than both side columns: the right column may not cover the left one.
            painter->save();
            painter->setClipRect(QRect(x + left, dst.top(), std::max(0, dst.right() + 1 - (x + left)),
                                       dst.height()),
                                 Qt::IntersectClip);
            slice(dst, src);
            painter->restore();
        } else {
            slice(dst, src);
        }
    }
    if (left > 0 && top > 0)
        slice(QRect(x, y, left, top), QRect(0, 0, left, top));
    if (right > 0 && top > 0)
        slice(QRect(x + w - right, y, right, top), QRect(iw - right, 0, right, top));
    if (left > 0 && bottom > 0)
        slice(QRect(x, y + h - bottom, left, bottom), QRect(0, ih - bottom, left, bottom));
    if (right > 0 && bottom > 0)
        slice(QRect(x + w - right, y + h - bottom, right, bottom), QRect(iw - right, ih - bottom, right, bottom));

    const QRect centerDst(x + left, y + top, w - left - right, h - top - bottom);
    const QRect centerSrc(left, top, iw - left - right, ih - top - bottom);
    if (!centerDst.isValid() || !centerSrc.isValid())
        return;
    if (!desc.repeatCenter) {
        painter->drawImage(centerDst, *image, centerSrc);
        return;
    }
    // Tiled centre: the source repeats unscaled from the destination's top-left corner, cut at its edges.
    const QRect tileRect = centerSrc.intersected(image->rect());
    if (tileRect.isEmpty())
        return;
    QBrush tiles(cache->tile(tileRect));
    tiles.setTransform(QTransform::fromTranslate(centerDst.x(), centerDst.y()));
    painter->fillRect(centerDst, tiles);
}

// ---- texts ------------------------------------------------------------------------------------------------

void TEVQWidgetBaseImpl::drawText(QPainter* painter, const QString& text, const TextStyleDesc& style,
                                  const QRect& rect)
{
    drawTextAt(painter, text, style, rect.x(), rect.y(), rect.width(), rect.height(), style.isHor);
}

// ---- fill cache -------------------------------------------------------------------------------------------

namespace {
// Larger fills are drawn directly: the image would cost more memory than the drawing saves.
constexpr qint64 kMaxCachedFillPixels = 512 * 512;
// Bytes of drawn fills shared between controls (the many buttons of one size and style share one image).
constexpr int kSharedFillBytes = 8 * 1024 * 1024;

struct FillKey
{
    FillRes res;
    QSize size;
    qreal ratio;
    bool operator==(const FillKey& o) const { return size == o.size && ratio == o.ratio && res == o.res; }
};

uint qHash(const FillKey& k, uint seed = 0)
{
    const FillRes& r = k.res;
    const int flags = (r.gradient ? 1 : 0) | (r.drawBorder ? 2 : 0) | (r.leftBorder ? 4 : 0) | (r.topBorder ? 8 : 0) |
                      (r.rightBorder ? 16 : 0) | (r.bottomBorder ? 32 : 0) | (r.roundTopLeft ? 64 : 0) |
                      (r.roundTopRight ? 128 : 0) | (r.roundBottomRight ? 256 : 0) | (r.roundBottomLeft ? 512 : 0);
    seed = ::qHash(r.fillColor.rgba64(), seed);
    seed = ::qHash(r.gradientEndColor.rgba64(), seed);
    seed = ::qHash(r.borderColor.rgba64(), seed);
    // Unsigned: a style file may give a negative radius, and shifting a negative value is undefined.
    seed = ::qHash(quint64(quint32(r.radius)) << 32 | quint32(r.borderSize), seed);
    seed = ::qHash(qint64(k.size.width()) << 32 | quint32(k.size.height()), seed);
    return ::qHash(qint64(flags) << 32 | quint32(qRound(k.ratio * 100)), seed);
}

QCache<FillKey, QImage>& sharedFills()
{
    static QCache<FillKey, QImage> cache(kSharedFillBytes);
    return cache;
}
} // namespace

void TEVFillCache::draw(QPainter* painter, const FillStyle& style, int x, int y, int w, int h)
{
    if (!painter || !style.valid)
        return;
    const FillRes& res = style.fillRes;
    const bool worthIt = style.useFillStyle && (res.radius != 0 || res.gradient) && w > 0 && h > 0 &&
                         qint64(w) * h <= kMaxCachedFillPixels;
    // Copied only where the copy is the same picture: a raster device, moved by whole pixels, blended over.
    const QTransform& t = painter->transform();
    const bool plain = painter->paintEngine() && painter->paintEngine()->type() == QPaintEngine::Raster &&
                       t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
                       t.dy() == std::floor(t.dy()) && painter->compositionMode() == QPainter::CompositionMode_SourceOver;
    if (!style.useFillStyle) {
        TEVQWidgetBaseImpl::drawImageFill(painter, style.imageName, style.imageDesc, x, y, w, h, &m_imageFill);
        return;
    }
    if (!worthIt || !plain) {
        TEVQWidgetBaseImpl::drawFillStyleAt(painter, style, x, y, w, h);
        return;
    }
    const qreal ratio = TEVQWidgetBaseImpl::paintRatio(painter);
    const QSize size(w, h);
    if (!m_valid || m_size != size || m_ratio != ratio || !(m_res == res)) {
        const FillKey key{res, size, ratio};
        if (const QImage* shared = sharedFills().object(key)) {
            m_image = *shared;
        } else {
            m_image = QImage(qCeil(w * ratio), qCeil(h * ratio), QImage::Format_ARGB32_Premultiplied);
            m_image.setDevicePixelRatio(ratio);
            m_image.fill(Qt::transparent);
            {
                QPainter p(&m_image);
                TEVQWidgetBaseImpl::drawFillRes(&p, res, 0, 0, w, h);
            }
            sharedFills().insert(key, new QImage(m_image), int(qMin<qint64>(m_image.sizeInBytes(), kSharedFillBytes)));
        }
        m_res = res;
        m_size = size;
        m_ratio = ratio;
        m_valid = true;
    }
    painter->drawImage(QPoint(x, y), m_image);
}

void TEVFillCache::clear()
{
    m_valid = false;
    m_image = QImage();
    m_imageFill.clear();
}

// ---- texts ------------------------------------------------------------------------------------------------

void TEVQWidgetBaseImpl::drawTextAt(QPainter* painter, const QString& text, const TextStyleDesc& style, int x,
                                    int y, int w, int h, bool horizontal)
{
    drawTextAt(painter, text, style, x, y, w, h, horizontal, nullptr);
}

void TEVQWidgetBaseImpl::drawTextAt(QPainter* painter, const QString& text, const TextStyleDesc& style, int x,
                                    int y, int w, int h, bool horizontal, TEVTextCache* cache)
{
    if (!painter || text.isEmpty())
        return;
    if (cache) {
        // Laid out once and drawn from its glyphs while nothing changes.
        cache->draw(painter, text, style, x, y, w, h, horizontal);
        return;
    }
    const Qt::Alignment align = styleAlignment(style.horAlign, style.verAlign);
    const QRect box = textBox(style, x, y, w, h);

    painter->setBrush(style.color);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    const QFont font = styleFont(style);

    if (horizontal) {
        painter->setPen(style.color);
        painter->setFont(font);
        if (style.textMode == 3) {
            painter->drawText(box, int(align) | Qt::TextWordWrap, text);
        } else {
            const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, w - 2);
            painter->drawText(box, int(align) | Qt::TextSingleLine, shown);
        }
        return;
    }

    if (w <= 0 || h <= 0)
        return;
    drawTurned(painter, uprightText(text, style, font, w, h, paintRatio(painter)), x, y, w);
}

qreal TEVQWidgetBaseImpl::paintRatio(const QPainter* painter)
{
    if (!painter)
        return 1.0;
    const QPaintEngine* engine = painter->paintEngine();
    const QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : painter->device();
    const qreal ratio = device ? device->devicePixelRatioF() : 1.0;
    return ratio > 1.0 && std::isfinite(ratio) ? ratio : 1.0;
}

QImage TEVQWidgetBaseImpl::uprightText(const QString& text, const TextStyleDesc& style, const QFont& font, int w,
                                       int h, qreal ratio)
{
    if (w <= 0 || h <= 0)
        return QImage();
    ratio = std::max<qreal>(1.0, ratio);
    QSize pixels(qCeil(h * ratio), qCeil(w * ratio));
    if (ratio > 1.0 && !tevImageSizeAllowed(pixels)) {
        // Beyond the caps at the device's ratio: as at ratio 1.
        ratio = 1.0;
        pixels = QSize(h, w);
    }
    QImage upright(pixels, QImage::Format_ARGB32_Premultiplied);
    upright.setDevicePixelRatio(ratio);
    upright.fill(Qt::transparent);
    QPainter p(&upright);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(style.color);
    p.setFont(font);
    p.drawText(QRect(0, 0, h, w), int(styleAlignment(style.horAlign, style.verAlign)), text);
    return upright;
}

QImage TEVQWidgetBaseImpl::svgPicture(QSvgRenderer* renderer, const QSize& pixels, const QColor* tint)
{
    QImage picture(pixels, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return picture;
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    renderer->render(&p, QRectF(QPointF(0, 0), QSizeF(pixels)));
    if (tint) {
        // A tint that keeps the SVG's own alpha.
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(picture.rect(), *tint);
    }
    return picture;
}

void TEVQWidgetBaseImpl::drawTurned(QPainter* painter, const QImage& upright, int x, int y, int w)
{
    painter->save();
    painter->translate(x + w, y);
    painter->rotate(90);
    painter->drawImage(QPoint(0, 0), upright);
    painter->restore();
}

QSize TEVQWidgetBaseImpl::getTextSize(const TextStyleDesc& style, const QString& text)
{
    const QFontMetrics metrics(styleFont(style));
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

// ---- icons, images and SVGs -------------------------------------------------------------------------------

void TEVQWidgetBaseImpl::drawIcon(QPainter* painter, const QIcon& icon, const QSize& size,
                                  const IconStyleDesc& style, const QRect& rect)
{
    if (!painter || icon.isNull())
        return;
    // Asked for the device pixels of the place (an icon that has them, an SVG one, is then sharp at any
    // ratio); what comes back counts as many device pixels per pixel as it covers of the requested size, never
    // fewer than one: an icon without them is drawn at its own size, as at ratio 1.
    const qreal ratio = paintRatio(painter);
    QPixmap pixmap = icon.pixmap(ratio > 1.0 ? QSize(qCeil(size.width() * ratio), qCeil(size.height() * ratio)) : size,
                                 QIcon::Normal, QIcon::Off);
    if (pixmap.isNull())
        return;
    if (ratio > 1.0 || pixmap.devicePixelRatioF() > 1.0) {
        const qreal covers = size.width() > 0 && size.height() > 0
                                 ? std::min(qreal(pixmap.width()) / size.width(), qreal(pixmap.height()) / size.height())
                                 : 1.0;
        pixmap.setDevicePixelRatio(std::max<qreal>(1.0, covers));
    }
    painter->drawPixmap(iconPosition(style, rect, size), pixmap);
}

void TEVQWidgetBaseImpl::drawImage(QPainter* painter, const QString& name, const IconStyleDesc& style,
                                   const QRect& rect, bool gray)
{
    drawImageAt(painter, name, style, rect.x(), rect.y(), rect.width(), rect.height(), gray);
}

void TEVQWidgetBaseImpl::drawImageAt(QPainter* painter, const QString& name, const IconStyleDesc& style, int x,
                                     int y, int w, int h, bool gray)
{
    if (!painter)
        return;
    const QRect area(x, y, w, h);
    if (isSvgPath(name)) {
        QSvgRenderer* renderer = resources()->getSvgRenderer(name);
        if (!renderer || !renderer->isValid())
            return;
        const QSize defaultSize = renderer->defaultSize();
        const QSize size = defaultSize.isEmpty() ? QSize(std::max(std::min(w, h), 1), std::max(std::min(w, h), 1))
                                                 : scaleSize(defaultSize);
        const QRect target(iconPosition(style, area, size), size);
        if (style.useColor || gray) {
            // An SVG without a size of its own takes the widget's, which may be huge: the picture it is
            // rendered into stays within the resource manager's caps and is stretched over the target.
            // Rendered at the painter's ratio, so that it is as sharp as the SVG rendered straight.
            const qreal ratio = paintRatio(painter);
            const QSize pictureSize = tevBoundedImageSize(
                QSize(qCeil(size.width() * ratio), qCeil(size.height() * ratio)));
            const QImage rendered = svgPicture(renderer, pictureSize, style.useColor ? &style.color : nullptr);
            if (style.useColor) {
                painter->drawImage(target, rendered);
            } else {
                const QIcon icon(QPixmap::fromImage(rendered));
                painter->drawPixmap(target, icon.pixmap(pictureSize, QIcon::Disabled, QIcon::Off));
            }
        } else {
            renderer->render(painter, QRectF(target));
        }
        return;
    }
    const QImage* image = resources()->getImage(name, gray);
    if (!image || image->width() == 0 || image->height() == 0)
        return;
    painter->drawImage(iconPosition(style, area, image->size()), *image);
}

QSize TEVQWidgetBaseImpl::getImageSize(const QString& name, bool gray)
{
    if (name.isEmpty())
        return QSize();
    if (isSvgPath(name)) {
        QSvgRenderer* renderer = resources()->getSvgRenderer(name);
        if (!renderer || !renderer->isValid())
            return QSize();
        const QSize defaultSize = renderer->defaultSize();
        return defaultSize.isEmpty() ? QSize(16, 16) : scaleSize(defaultSize);
    }
    const QImage* image = resources()->getImage(name, gray);
    if (!image || image->width() == 0 || image->height() == 0)
        return QSize();
    return image->size();
}

} // namespace TEVQtLib
