#include "TEVPaintCache.h"

#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QPaintDevice>
#include <QPixmap>
#include <QSvgRenderer>

#include <algorithm>

namespace TEVQtLib {

namespace {

TEVQResourceManager* resources() { return TEVQResourceManager::getInstance(); }


qreal pixelRatio(QPainter* painter) { return TEVQWidgetBaseImpl::paintRatio(painter); }

// Bound on the entries a control keeps; a control has a handful of icons, so this is only reached when icon
// names keep changing, and then the cache starts over.
constexpr size_t kMaxEntries = 16;

} // namespace

// ---- icons ----------------------------------------------------------------------------------------------------

bool tevFindPicture(const QString& name, bool gray, TEVFoundPicture& out)
{
    out = TEVFoundPicture();
    if (TEVQWidgetBaseImpl::isSvgPath(name)) {
        QSvgRenderer* renderer = resources()->getSvgRenderer(name);
        if (!renderer || !renderer->isValid())
            return false;
        out.svg = renderer;
        const QSize defaultSize = renderer->defaultSize();
        out.svgSize = defaultSize.isEmpty() ? QSize() : TEVQWidgetBaseImpl::scaleSize(defaultSize);
        return true;
    }
    const QImage* image = resources()->getImage(name, gray);
    if (!image || image->width() == 0 || image->height() == 0)
        return false;
    out.image = *image; // shared, not copied
    return true;
}

void TEVIconCache::clear()
{
    m_sources.clear();
    m_rendered.clear();
}

const TEVIconCache::Source* TEVIconCache::source(const QString& name, bool gray)
{
    if (name.isEmpty())
        return nullptr;
    const quint64 serial = resources()->resourceSerial();
    if (serial != m_resourceSerial) {
        clear();
        m_resourceSerial = serial;
    }
    for (const Source& s : m_sources) {
        if (s.gray == gray && s.name == name)
            return &s;
    }
    TEVFoundPicture found;
    if (!tevFindPicture(name, gray, found))
        return nullptr;
    Source src;
    src.name = name;
    src.gray = gray;
    src.svg = found.svg != nullptr;
    src.svgSize = found.svgSize;
    src.image = found.image;
    if (m_sources.size() >= kMaxEntries)
        clear();
    m_sources.push_back(std::move(src));
    return &m_sources.back();
}

const QImage* TEVIconCache::rendered(const Source& src, const QSize& size, bool scaled, const IconStyleDesc* tint,
                                     qreal ratio)
{
    if (size.width() <= 0 || size.height() <= 0)
        return nullptr;
    const bool tinted = tint && tint->useColor;
    const QRgb tintColor = tinted ? tint->color.rgba() : 0;
    for (const Rendered& r : m_rendered) {
        if (r.scaled == scaled && r.gray == src.gray && r.size == size && r.tinted == tinted && r.tint == tintColor
            && r.ratio == ratio && r.name == src.name)
            return &r.image;
    }
    QImage image;
    // An SVG without a size of its own takes the widget's, which may be huge: its picture stays within the
    // resource manager's caps and is stretched over its place.
    const QSize pixels = tevBoundedImageSize(
        QSize(std::max(1, qRound(size.width() * ratio)), std::max(1, qRound(size.height() * ratio))));
    if (src.svg) {
        QSvgRenderer* renderer = resources()->getSvgRenderer(src.name);
        if (!renderer || !renderer->isValid())
            return nullptr;
        image = TEVQWidgetBaseImpl::svgPicture(renderer, pixels, tinted ? &tint->color : nullptr);
        if (src.gray && !tinted) {
            const QIcon icon(QPixmap::fromImage(image));
            image = icon.pixmap(pixels, QIcon::Disabled, QIcon::Off).toImage();
        }
    } else {
        image = src.image.size() == pixels ? src.image
                                           : src.image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(ratio);
    if (m_rendered.size() >= kMaxEntries)
        m_rendered.clear();
    Rendered r;
    r.name = src.name;
    r.gray = src.gray;
    r.scaled = scaled;
    r.size = size;
    r.tinted = tinted;
    r.tint = tintColor;
    r.ratio = ratio;
    r.image = std::move(image);
    m_rendered.push_back(std::move(r));
    return &m_rendered.back().image;
}

QSize TEVIconCache::size(const QString& name, bool gray)
{
    const Source* src = source(name, gray);
    if (!src)
        return QSize();
    if (src->svg)
        return src->svgSize.isEmpty() ? QSize(16, 16) : src->svgSize;
    return src->image.size();
}

void TEVIconCache::draw(QPainter* painter, const QString& name, const IconStyleDesc& style, const QRect& rect,
                        bool gray)
{
    if (!painter)
        return;
    const Source* src = source(name, gray);
    if (!src)
        return;
    if (!src->svg) {
        painter->drawImage(TEVQWidgetBaseImpl::iconPosition(style, rect, src->image.size()), src->image);
        return;
    }
    const int side = std::max(std::min(rect.width(), rect.height()), 1);
    const QSize size = src->svgSize.isEmpty() ? QSize(side, side) : src->svgSize;
    const Source copy = *src; // rendered() may start the cache over
    if (const QImage* image = rendered(copy, size, false, &style, pixelRatio(painter)))
        painter->drawImage(QRect(TEVQWidgetBaseImpl::iconPosition(style, rect, size), size), *image);
}

void TEVIconCache::drawScaled(QPainter* painter, const QString& name, const QRect& target, bool gray)
{
    if (!painter || target.width() <= 0 || target.height() <= 0)
        return;
    const Source* src = source(name, gray);
    if (!src)
        return;
    const Source copy = *src;
    if (const QImage* image = rendered(copy, target.size(), true, nullptr, pixelRatio(painter)))
        painter->drawImage(target, *image);
}

} // namespace TEVQtLib
