#pragma once
// A fill style drawn from a cached pixmap. Antialiased rounded corners and borders cost far more than the
// pixmap they produce, and they change only with the style and the size: a painter object keeps one
// TEVFillCache per surface and draws through it on every paint. Pixmaps live in QPixmapCache under a key made
// of the colour part of the style, the size and the device pixel ratio, so equal controls share one pixmap.
// Plain rectangles and image fills are drawn directly (they are as cheap as the pixmap).
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QRect>
#include <QString>

class QPainter;

namespace TEVQtLib {

class TEV_EXPORT TEVFillCache
{
public:
    // Draws style over rect as TEVQWidgetBaseImpl::drawFillStyle does.
    void draw(QPainter* painter, const FillStyle& style, const QRect& rect);

private:
    FillRes m_res;
    QSize m_size;
    qreal m_ratio = 0;
    QString m_key; // empty until a pixmap was made
};

} // namespace TEVQtLib
