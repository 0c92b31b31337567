#pragma once
// Drawing helpers that keep the charts' pictures while taking far less time in Qt's raster engine:
// - `CircleSprites`: antialiased circles of one look prepared once as small images at quarter-pixel offsets and
//   blended where they are needed, instead of stroking and filling each circle again;
// - `drawRoundLine`: a round-capped, round-joined polyline painted as its flat segments plus one round dot per
//   point (the same shape), because the raster engine fills one long antialiased wide stroke as a single outline,
//   and for a long or self-crossing outline its time grows far faster than the number of points;
// - `ChartTextCache`: single-line labels laid out once per text and font and drawn from their placed glyphs.
#include "TEVGlobal.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QGlyphRun>
#include <QList>
#include <QString>
#include <QVector>

class QPainter;
class QPainterPath;
class QPen;

namespace TEVChart {

class TEV_EXPORT CircleSprites
{
public:
    // Whether circles can be blended as images on this painter: the raster engine, a device transform that is
    // an integral translation and a device pixel ratio of 1. Elsewhere draw() falls back to drawEllipse.
    static bool usable(const QPainter& painter);
    // A circle of the radius centred at centre, outlined with penColor at penWidth (none when penWidth <= 0 or
    // the colour is transparent) and filled with fill; where drawEllipse would put it, to within 1/8 pixel.
    void draw(QPainter& painter, const QPointF& centre, double radius, const QColor& penColor, double penWidth,
              const QColor& fill);
    void clear() { m_looks.clear(); }
    int lookCount() const { return m_looks.size(); }

private:
    struct Look {
        double radius = 0;
        QColor penColor;
        double penWidth = 0;
        QColor fill;
        int size = 0;   // the square image's side
        int origin = 0; // the circle's centre in the image at offset 0
        QImage images[16];
    };
    Look& look(double radius, const QColor& penColor, double penWidth, const QColor& fill);
    QVector<Look> m_looks;
};

// Rounded, outlined bars drawn from prepared pieces: the top and the bottom end (corners and border) at
// quarter-pixel offsets, and one row of the straight middle stretched over the rest of the bar's height, all
// blended as images. Bars too short or too wide for that, or a painter where CircleSprites::usable fails, are
// drawn as the path.
class TEV_EXPORT BarSprites
{
public:
    // The bar as QPainter::drawPath draws rect rounded by radius (QPainterPath::addRoundedRect) with a pen of the
    // border colour and width and the fill as brush; to within 1/8 pixel.
    void draw(QPainter& painter, const QRectF& rect, double radius, const QColor& border, double borderWidth,
              const QColor& fill);
    void clear() { m_looks.clear(); }

private:
    struct Look {
        double width = 0, rx = 0, ry = 0, borderWidth = 0;
        QColor border, fill;
        int offsetX = 0;  // quarter pixels of the left edge within its pixel
        int margin = 0;   // pixels left of and above (below) the bar in the images
        int capRows = 0;  // rows of an end below the top edge's pixel row (above the bottom edge's)
        QImage top[4];    // by quarter-pixel offset of the top edge
        QImage bottom[4]; // by quarter-pixel offset of the bottom edge
        QImage middle;    // one row of the straight part
    };
    Look& look(double width, double rx, double ry, const QColor& border, double borderWidth, const QColor& fill,
               int offsetX);
    QVector<Look> m_looks;
};

// The polyline through points with the pen's colour and width, round caps and round joins, as
// QPainter::drawPolyline with such a pen draws it. The faster construction is used when sprites is given, the
// pen is a solid, opaque colour no wider than 16 px, the painter draws at full opacity with source-over and
// CircleSprites::usable holds (overlapping pieces would show through a translucent colour); otherwise the
// polyline is drawn as it is. The pen's cap and join styles are ignored: both are round.
TEV_EXPORT void drawRoundLine(QPainter& painter, const QPen& pen, const QVector<QPointF>& points,
                              CircleSprites* sprites);

// The path stroked with the pen's colour and width, round caps and round joins, as QPainter::drawPath draws it:
// with sprites, each subpath is flattened as finely as the stroker flattens curves (a quarter pixel) and drawn
// by drawRoundLine; without, the path itself is drawn.
TEV_EXPORT void drawRoundCurve(QPainter& painter, const QPen& pen, const QPainterPath& path, CircleSprites* sprites);

class TEV_EXPORT ChartTextCache
{
public:
    // Text in box with the alignment, as QPainter::drawText(box, alignment, text) with the painter's font and
    // pen draws a single line; texts with line breaks, or larger than the box (drawText clips them to it), are
    // handed to drawText.
    void draw(QPainter& painter, const QRectF& box, int alignment, const QString& text);
    // As draw, but a single-line text wider than the box is shortened at its end with an ellipsis to the box's
    // width, instead of being cut at the box's edges; the shortened text is kept with the text for that width.
    void drawElided(QPainter& painter, const QRectF& box, int alignment, const QString& text);
    // The width and height of text in font, laid out once like the drawn labels.
    QSizeF size(const QFont& font, const QString& text);
    void clear()
    {
        m_entries.clear();
        m_fontKeys.clear();
    }
    // How many texts the cache has laid out since it was made: a repaint of labels it holds lays out none.
    int layoutCount() const { return m_layouts; }

private:
    struct Entry {
        QList<QGlyphRun> glyphs; // placed about the line's top-left corner
        QSizeF size;             // the advance, and the height of the line (its fonts' ascent and descent)
        QString elided;          // the text shortened to elidedWidth
        double elidedWidth = -1; // the box width it was shortened to; -1: not yet
    };
    int m_layouts = 0;
    QHash<QString, Entry>::iterator entry(const QFont& font, const QString& text);
    void drawEntry(QPainter& painter, const QRectF& box, int alignment, const QString& text,
                   QHash<QString, Entry>::iterator it);
    QHash<QString, Entry> m_entries; // key: font key + text
    // The fonts drawn with lately and their keys: every attribute that changes how a text is laid out or drawn.
    struct FontKey {
        QFont font;
        QString key;
    };
    QVector<FontKey> m_fontKeys;
    int m_lastFont = -1;
    const QString& fontKey(const QFont& font);
};

} // namespace TEVChart
