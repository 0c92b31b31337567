#pragma once
// The pictures of a view's row icons (image names from the model), found through the resource manager once and
// kept between paints in a fixed number of slots: the caller gives each row a key, key modulo the slot count
// picks its slot, as TEVRowTextCache does for the texts. A slot remembers the name it was found for and the
// resource manager's resource serial at the time, so a row whose icon name changes, and every row after a
// theme, skin or project load, a folder change, a release of resources or a new scale factor, finds its picture
// again. A few names found last are kept beside the slots, so rows scrolled into view that show an icon seen
// before ask the manager for nothing. Names that find nothing are asked for again on the next paint (the
// manager remembers its misses for a while). The owner clears the cache when it re-reads its theme or the
// language changes.
//
// What is drawn is what TEVQWidgetBaseImpl::drawImageAt draws for the name, not grayed: a raster image at its
// own size, an SVG rendered at its (scaled) default size, or square in the rectangle when it has none, both
// placed by the icon style. size() gives what TEVQWidgetBaseImpl::getImageSize gives.
//
// An SVG is rendered once per renderer, size, device pixel ratio and tint into a picture of the device's pixels,
// which every later paint copies: the picture goes with its renderer (a theme load, a release of resources or a
// new scale factor brings another renderer or size) and with clear(). An untinted SVG is copied only where
// that lands on the same pixels as rendering it straight (the painter at full opacity, blending over what is
// there, without a rotation or a zoom of its own, and the place on whole device pixels); elsewhere, as on a
// place between device pixels at a fractional ratio, it is rendered straight as before. An animated SVG is
// rendered at every paint (it shows the frame of the moment).
#include "TEVGlobal.h"
#include "TEVPaintCache.h"
#include "TEVStyleDesc.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QSvgRenderer>

#include <vector>

class QPainter;

namespace TEVQtLib {

class TEV_EXPORT TEVRowIconCache
{
public:
    explicit TEVRowIconCache(int slotCount) : m_slotCount(slotCount > 0 ? slotCount : 1) {}

    // The size of the picture of name (invalid when there is none), as TEVQWidgetBaseImpl::getImageSize.
    QSize size(quint64 key, const QString& name);
    // As TEVQWidgetBaseImpl::drawImage(painter, name, style, rect, false).
    void draw(QPainter* painter, quint64 key, const QString& name, const IconStyleDesc& style, const QRect& rect);
    void clear();
    // How many times a name was asked of the resource manager since the cache was made: a repaint with nothing
    // changed asks for none.
    int lookupCount() const { return m_lookups; }
    // How many times an SVG was rendered into a kept picture since the cache was made.
    int renderCount() const { return m_renders; }

private:
    struct Picture : TEVFoundPicture {
        QString name;
        quint64 serial = 0;
        bool found = false;
    };
    const Picture* picture(quint64 key, const QString& name);
    bool current(const Picture& p, const QString& name, quint64 serial) const;
    void resolve(Picture& p, const QString& name, quint64 serial);

    // An SVG as rendered: the renderer and what it was rendered for, and the picture.
    struct Rendered {
        QPointer<QSvgRenderer> svg;
        QSvgRenderer* renderer = nullptr; // which one svg was (a released renderer's address may come back)
        quint64 serial = 0;
        QSize size;
        qreal ratio = 1.0;
        bool tinted = false;
        QRgb tint = 0;
        QImage image;
    };
    const QImage* rendered(const Picture& p, const QSize& size, qreal ratio, const IconStyleDesc& style);

    int m_slotCount;
    std::vector<Picture> m_slots;
    std::vector<Rendered> m_rendered;
    std::vector<Picture> m_recent; // the names found last, newest at the back
    int m_lookups = 0;
    int m_renders = 0;
};

} // namespace TEVQtLib
