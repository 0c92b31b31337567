#include "TEVChartDrawing.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>

#include <cmath>

namespace TEVChart {

namespace {
constexpr int kMaxLooks = 32;
constexpr int kMaxTexts = 512;
constexpr double kMaxSpriteRadius = 24.0;
} // namespace

// ---- circles -------------------------------------------------------------------------------------------------

bool CircleSprites::usable(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !painter.device())
        return false;
    if (painter.device()->devicePixelRatioF() != 1.0)
        return false;
    const QTransform t = painter.deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) && t.dy() == std::floor(t.dy());
}

CircleSprites::Look& CircleSprites::look(double radius, const QColor& penColor, double penWidth, const QColor& fill)
{
    for (Look& l : m_looks) {
        if (l.radius == radius && l.penWidth == penWidth && l.penColor == penColor && l.fill == fill)
            return l;
    }
    if (m_looks.size() >= kMaxLooks)
        m_looks.clear();
    Look l;
    l.radius = radius;
    l.penColor = penColor;
    l.penWidth = penWidth;
    l.fill = fill;
    // Room for the circle, half the pen, a quarter-pixel shift and the antialiased rim on each side.
    l.origin = int(std::ceil(radius + qMax(penWidth, 0.0) / 2)) + 2;
    l.size = 2 * l.origin + 1;
    m_looks.append(l);
    return m_looks.last();
}

void CircleSprites::draw(QPainter& p, const QPointF& centre, double radius, const QColor& penColor, double penWidth,
                         const QColor& fill)
{
    const bool outlined = penWidth > 0 && penColor.alpha() > 0;
    if (!usable(p) || !(radius > 0) || radius > kMaxSpriteRadius || penWidth > kMaxSpriteRadius ||
        !std::isfinite(centre.x()) || !std::isfinite(centre.y()) || std::abs(centre.x()) > 1e6 ||
        std::abs(centre.y()) > 1e6) {
        p.save();
        p.setPen(outlined ? QPen(penColor, penWidth) : QPen(Qt::NoPen));
        p.setBrush(fill);
        p.drawEllipse(centre, radius, radius);
        p.restore();
        return;
    }
    Look& l = look(radius, outlined ? penColor : QColor(), outlined ? penWidth : 0.0, fill);
    // The centre in quarter pixels of the device: the whole pixel and the offset within it.
    const QTransform t = p.deviceTransform();
    const long long qx = std::llround((centre.x() + t.dx()) * 4);
    const long long qy = std::llround((centre.y() + t.dy()) * 4);
    const int ox = int(qx & 3), oy = int(qy & 3);
    QImage& image = l.images[oy * 4 + ox];
    if (image.isNull()) {
        image = QImage(l.size, l.size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter ip(&image);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.setPen(outlined ? QPen(penColor, penWidth) : QPen(Qt::NoPen));
        ip.setBrush(fill);
        ip.drawEllipse(QPointF(l.origin + ox / 4.0, l.origin + oy / 4.0), radius, radius);
    }
    // Whole device pixels back into the painter's coordinates: the translation is integral.
    const double x = double((qx - ox) / 4) - l.origin - t.dx();
    const double y = double((qy - oy) / 4) - l.origin - t.dy();
    p.drawImage(QPointF(x, y), image);
}

// ---- lines ---------------------------------------------------------------------------------------------------

void drawRoundLine(QPainter& p, const QPen& pen, const QVector<QPointF>& points, CircleSprites* sprites)
{
    QPen round(pen);
    round.setCapStyle(Qt::RoundCap);
    round.setJoinStyle(Qt::RoundJoin);
    const QColor color = pen.color();
    const double width = pen.widthF();
    const bool fast = sprites && points.size() >= 2 && pen.style() == Qt::SolidLine &&
                      pen.brush().style() == Qt::SolidPattern && color.alpha() == 255 && width > 0 && width <= 16 &&
                      p.opacity() >= 1.0 && p.compositionMode() == QPainter::CompositionMode_SourceOver &&
                      CircleSprites::usable(p);
    if (!fast) {
        p.setPen(round);
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(points.constData(), points.size());
        return;
    }
    // A round-capped, round-joined stroke is every segment's flat-ended band plus a disc of the pen's width at
    // every point: the discs make the caps and fill the outer corner of each join.
    QVector<QLineF> lines;
    lines.reserve(points.size() - 1);
    for (int i = 1; i < points.size(); ++i)
        lines.append(QLineF(points.at(i - 1), points.at(i)));
    QPen flat(round);
    flat.setCapStyle(Qt::FlatCap);
    p.setPen(flat);
    p.setBrush(Qt::NoBrush);
    p.drawLines(lines);
    QPointF previous(qQNaN(), qQNaN());
    for (const QPointF& pt : points) {
        if (pt == previous)
            continue;
        sprites->draw(p, pt, width / 2, QColor(), 0.0, color);
        previous = pt;
    }
}

// ---- texts ---------------------------------------------------------------------------------------------------

void ChartTextCache::draw(QPainter& p, const QRectF& box, int alignment, const QString& text)
{
    if (text.isEmpty())
        return;
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\t'))) {
        p.drawText(box, alignment, text);
        return;
    }
    const QFont& font = p.font();
    const QString key = font.key() + QLatin1Char('\x1f') + text;
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        if (m_entries.size() >= kMaxTexts)
            m_entries.clear();
        Entry e;
        const QFontMetricsF metrics(font);
        e.size = QSizeF(metrics.horizontalAdvance(text), metrics.height());
        e.text = QStaticText(text);
        e.text.setTextFormat(Qt::PlainText);
        e.text.prepare(QTransform(), font);
        it = m_entries.insert(key, e);
    }
    const QSizeF size = it->size;
    double x = box.left();
    double y = box.top();
    if (alignment & Qt::AlignHCenter)
        x += (box.width() - size.width()) / 2;
    else if (alignment & Qt::AlignRight)
        x += box.width() - size.width();
    if (alignment & Qt::AlignVCenter)
        y += (box.height() - size.height()) / 2;
    else if (alignment & Qt::AlignBottom)
        y += box.height() - size.height();
    p.drawStaticText(QPointF(x, y), it->text);
}

} // namespace TEVChart
