#pragma once
// What a control paints again and again while nothing about it changes: the font and the elided line of a
// text, and its icons as they are drawn (an image found by name, an SVG rendered, a picture scaled to fit).
// Both caches draw exactly what the painter base's drawTextAt and drawImage draw.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QStaticText>
#include <QSvgRenderer>
#include <QString>

#include <vector>

class QPainter;

namespace TEVQtLib {

// A picture found by name through the resource manager, as the painter base finds it: a raster image (shared
// with the manager's; its disabled variant when gray) or an SVG's renderer with its scaled default size.
struct TEV_EXPORT TEVFoundPicture {
    QImage image;               // a raster image
    QPointer<QSvgRenderer> svg; // an SVG's renderer, the manager's
    QSize svgSize;              // scaled default size of an SVG; empty when it has none

    // As TEVQWidgetBaseImpl::getImageSize: an SVG without a size of its own counts as 16 x 16.
    QSize size() const { return svg ? (svgSize.isEmpty() ? QSize(16, 16) : svgSize) : image.size(); }
};

// False when name finds no picture that can be drawn (none, an invalid SVG, an empty image).
TEV_EXPORT bool tevFindPicture(const QString& name, bool gray, TEVFoundPicture& out);

// The icons of one control, found through the resource manager once each. Entries stay until clear() (the
// control clears the cache whenever it re-reads its styles) or until a theme, skin or project is loaded or a
// folder set, which may bring other pictures under the same names. Names that find nothing are asked for again
// on the next draw (the resource manager remembers its misses for a while).
class TEV_EXPORT TEVIconCache
{
public:
    // As TEVQWidgetBaseImpl::getImageSize.
    QSize size(const QString& name, bool gray);
    // As TEVQWidgetBaseImpl::drawImage: the image at its own size, aligned in rect by style.
    void draw(QPainter* painter, const QString& name, const IconStyleDesc& style, const QRect& rect, bool gray);
    // The image (or SVG) drawn scaled into target; a grayed SVG is rendered and then shown in Qt's disabled
    // look, a grayed raster image is the manager's disabled variant.
    void drawScaled(QPainter* painter, const QString& name, const QRect& target, bool gray);
    void clear();

private:
    struct Source {
        QString name;
        bool gray = false;
        bool svg = false;
        QSize svgSize;   // scaled default size of an SVG; empty when it has none
        QImage image;    // a raster image
    };
    struct Rendered {
        QString name;
        bool gray = false;
        bool scaled = false;
        QSize size;
        bool tinted = false;
        QRgb tint = 0;
        qreal ratio = 1.0;
        QImage image;
    };
    const Source* source(const QString& name, bool gray);
    const QImage* rendered(const Source& src, const QSize& size, bool scaled, const IconStyleDesc* tint,
                           qreal ratio);

    std::vector<Source> m_sources;
    std::vector<Rendered> m_rendered;
    quint64 m_resourceSerial = 0; // the resource manager's resource serial the entries were found under
};

} // namespace TEVQtLib
