#pragma once
// One fill a control paints again and again. A rounded or gradient fill (antialiased paths, a gradient brush)
// is drawn once into an image of the fill's size and then copied at every paint, until the style, the size
// or the device's pixel ratio change. Other fills (plain rectangles, images, invisible styles) are drawn as
// TEVQWidgetBaseImpl::drawFillStyleAt draws them, every time.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QImage>
#include <QRect>

class QPainter;

namespace TEVQtLib {

class TEV_EXPORT TEVFillCache
{
public:
    void draw(QPainter* painter, const FillStyle& style, const QRect& rect);
    void draw(QPainter* painter, const FillStyle& style, int x, int y, int w, int h)
    {
        draw(painter, style, QRect(x, y, w, h));
    }
    void clear() { m_image = QImage(); }

private:
    FillRes m_res;
    QSize m_size;
    qreal m_ratio = 1.0;
    QImage m_image;
};

} // namespace TEVQtLib
