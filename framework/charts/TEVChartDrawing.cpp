#include "TEVChartDrawing.h"

#include "TEVTextCache.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <cmath>

namespace TEVChart {

namespace {
constexpr int kMaxLooks = 32;
constexpr int kMaxTexts = 512;
constexpr int kMaxFonts = 16;
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

// ---- bars ----------------------------------------------------------------------------------------------------

namespace {
constexpr double kMaxBarSpriteWidth = 96.0;

// The bar's outline as the path draws it, with the radii already clamped (no further clamping happens).
void paintBar(QPainter& p, const QRectF& rect, double rx, double ry, const QColor& border, double borderWidth,
              const QColor& fill)
{
    QPainterPath path;
    path.addRoundedRect(rect, rx, ry);
    p.setPen(borderWidth > 0 ? QPen(border, borderWidth) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawPath(path);
}
} // namespace

BarSprites::Look& BarSprites::look(double width, double rx, double ry, const QColor& border, double borderWidth,
                                   const QColor& fill, int offsetX)
{
    for (Look& l : m_looks) {
        if (l.width == width && l.rx == rx && l.ry == ry && l.borderWidth == borderWidth && l.offsetX == offsetX &&
            l.border == border && l.fill == fill)
            return l;
    }
    if (m_looks.size() >= kMaxLooks)
        m_looks.clear();
    Look l;
    l.width = width;
    l.rx = rx;
    l.ry = ry;
    l.border = border;
    l.borderWidth = borderWidth;
    l.fill = fill;
    l.offsetX = offsetX;
    l.margin = int(std::ceil(borderWidth / 2)) + 2;
    l.capRows = int(std::ceil(ry + borderWidth / 2)) + 2;
    // The straight middle: one row well inside a tall bar.
    const int imageWidth = int(std::ceil(width + offsetX / 4.0)) + 2 * l.margin;
    const double tall = 2 * ry + 8;
    QImage strip(imageWidth, int(tall) + 2 * l.margin, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    {
        QPainter sp(&strip);
        sp.setRenderHint(QPainter::Antialiasing);
        paintBar(sp, QRectF(l.margin + offsetX / 4.0, l.margin, width, tall), rx, ry, border, borderWidth, fill);
    }
    l.middle = strip.copy(0, l.margin + int(tall / 2), imageWidth, 1);
    m_looks.append(l);
    return m_looks.last();
}

void BarSprites::draw(QPainter& p, const QRectF& rect, double radius, const QColor& border, double borderWidth,
                      const QColor& fill)
{
    const double rx = qBound(0.0, std::isfinite(radius) ? radius : 0.0, rect.width() / 2);
    const double ry = qBound(0.0, std::isfinite(radius) ? radius : 0.0, rect.height() / 2);
    const double bw = borderWidth > 0 && border.alpha() > 0 ? borderWidth : 0.0;
    const bool finite = std::isfinite(rect.left()) && std::isfinite(rect.top()) && std::isfinite(rect.width()) &&
                        std::isfinite(rect.height()) && std::abs(rect.left()) < 1e6 && std::abs(rect.top()) < 1e6 &&
                        std::abs(rect.bottom()) < 1e6;
    if (!finite || !(rect.width() > 0) || rect.width() > kMaxBarSpriteWidth || bw > 8 || !CircleSprites::usable(p)) {
        p.save();
        paintBar(p, rect, rx, ry, border, bw, fill);
        p.restore();
        return;
    }
    const QTransform t = p.deviceTransform();
    const long long qx = std::llround((rect.left() + t.dx()) * 4);
    const long long qt = std::llround((rect.top() + t.dy()) * 4);
    const long long qb = std::llround((rect.bottom() + t.dy()) * 4);
    const int ox = int(qx & 3), oyTop = int(qt & 3), oyBottom = int(qb & 3);
    const long long column = (qx - ox) / 4, rowTop = (qt - oyTop) / 4, rowBottom = (qb - oyBottom) / 4;
    Look& l = look(rect.width(), rx, ry, border, bw, fill, ox);
    const long long middleRows = (rowBottom - l.capRows) - (rowTop + l.capRows);
    if (middleRows < 0) {
        p.save();
        paintBar(p, rect, rx, ry, border, bw, fill);
        p.restore();
        return;
    }
    const int imageWidth = l.middle.width();
    const double tall = 2 * ry + 8;
    QImage& top = l.top[oyTop];
    if (top.isNull()) {
        top = QImage(imageWidth, l.margin + l.capRows, QImage::Format_ARGB32_Premultiplied);
        top.fill(Qt::transparent);
        QPainter ip(&top);
        ip.setRenderHint(QPainter::Antialiasing);
        paintBar(ip, QRectF(l.margin + ox / 4.0, l.margin + oyTop / 4.0, l.width, tall), rx, ry, border, bw, fill);
    }
    QImage& bottom = l.bottom[oyBottom];
    if (bottom.isNull()) {
        bottom = QImage(imageWidth, l.capRows + 1 + l.margin, QImage::Format_ARGB32_Premultiplied);
        bottom.fill(Qt::transparent);
        QPainter ip(&bottom);
        ip.setRenderHint(QPainter::Antialiasing);
        const double edge = l.capRows + oyBottom / 4.0;
        paintBar(ip, QRectF(l.margin + ox / 4.0, edge - tall, l.width, tall), rx, ry, border, bw, fill);
    }
    // Whole device pixels back into the painter's coordinates: the translation is integral.
    const double x = double(column - l.margin) - t.dx();
    const double topY = double(rowTop - l.margin) - t.dy();
    const double middleY = double(rowTop + l.capRows) - t.dy();
    const double bottomY = double(rowBottom - l.capRows) - t.dy();
    p.drawImage(QPointF(x, topY), top);
    if (middleRows > 0) {
        const bool smooth = p.testRenderHint(QPainter::SmoothPixmapTransform);
        if (smooth)
            p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRectF(x, middleY, imageWidth, double(middleRows)), l.middle, QRectF(0, 0, imageWidth, 1));
        if (smooth)
            p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    }
    p.drawImage(QPointF(x, bottomY), bottom);
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

void drawRoundCurve(QPainter& p, const QPen& pen, const QPainterPath& path, CircleSprites* sprites)
{
    if (!sprites) {
        QPen round(pen);
        round.setCapStyle(Qt::RoundCap);
        round.setJoinStyle(Qt::RoundJoin);
        p.setPen(round);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        return;
    }
    // Flattened at twice the size, Qt's half-pixel flattening tolerance becomes a quarter pixel.
    const QTransform twice = QTransform::fromScale(2, 2);
    for (const QPolygonF& part : path.toSubpathPolygons(twice)) {
        QVector<QPointF> flat(part.size());
        for (int i = 0; i < part.size(); ++i)
            flat[i] = part.at(i) / 2;
        drawRoundLine(p, pen, flat, sprites);
    }
}

// ---- texts ---------------------------------------------------------------------------------------------------

QHash<QString, ChartTextCache::Entry>::iterator ChartTextCache::entry(const QFont& font, const QString& text)
{
    const QString key = fontKey(font) + QLatin1Char('\x1f') + text;
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        if (m_entries.size() >= kMaxTexts)
            m_entries.clear();
        Entry e;
        // Laid out as drawText lays out one line: a glyph that a fallback font supplies brings that font's
        // ascent and descent into the line, which makes it taller than the font says.
        TEVQtLib::TEVTextCache::LineMetrics metrics;
        if (const auto line = TEVQtLib::TEVTextCache::layOutLine(text, font, metrics)) {
            e.glyphs = line->glyphRuns();
            e.size = QSizeF(metrics.advance, metrics.ascent + metrics.descent);
        } else {
            e.size = QSizeF(0, QFontMetricsF(font).height());
        }
        it = m_entries.insert(key, e);
        ++m_layouts;
    }
    return it;
}

const QString& ChartTextCache::fontKey(const QFont& font)
{
    // Labels come in runs of one font: the one found last is looked at first.
    if (m_lastFont >= 0 && m_lastFont < m_fontKeys.size() && m_fontKeys.at(m_lastFont).font == font)
        return m_fontKeys.at(m_lastFont).key;
    for (int i = 0; i < m_fontKeys.size(); ++i) {
        if (m_fontKeys.at(i).font == font) {
            m_lastFont = i;
            return m_fontKeys.at(i).key;
        }
    }
    if (m_fontKeys.size() >= kMaxFonts)
        m_fontKeys.clear();
    // QFont::key leaves out the spacings, the capitalization, kerning, overline, stretch, the style strategy and
    // the hinting preference; a font that differs only in them lays its texts out differently.
    FontKey k;
    k.font = font;
    k.key = font.key() + QStringLiteral("|%1|%2|%3|%4|%5|%6|%7|%8|%9")
                             .arg(font.letterSpacing())
                             .arg(int(font.letterSpacingType()))
                             .arg(font.wordSpacing())
                             .arg(int(font.capitalization()))
                             .arg(int(font.kerning()))
                             .arg(int(font.overline()))
                             .arg(font.stretch())
                             .arg(int(font.styleStrategy()))
                             .arg(int(font.hintingPreference()));
    m_fontKeys.append(k);
    m_lastFont = m_fontKeys.size() - 1;
    return m_fontKeys.last().key;
}

QSizeF ChartTextCache::size(const QFont& font, const QString& text) { return entry(font, text)->size; }

void ChartTextCache::draw(QPainter& p, const QRectF& box, int alignment, const QString& text)
{
    if (text.isEmpty())
        return;
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\t'))) {
        p.drawText(box, alignment, text);
        return;
    }
    drawEntry(p, box, alignment, text, entry(p.font(), text));
}

void ChartTextCache::drawEntry(QPainter& p, const QRectF& box, int alignment, const QString& text,
                               QHash<QString, Entry>::iterator it)
{
    const QSizeF size = it->size;
    if (size.width() > box.width() || size.height() > box.height()) {
        p.drawText(box, alignment, text);
        return;
    }
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
    // Decorations are drawn along the whole line, which glyph runs drawn one by one would not do.
    const QFont& font = p.font();
    if (font.underline() || font.strikeOut() || font.overline()) {
        p.drawText(box, alignment, text);
        return;
    }
    for (const QGlyphRun& run : it->glyphs)
        p.drawGlyphRun(QPointF(x, y), run);
}

void ChartTextCache::drawElided(QPainter& p, const QRectF& box, int alignment, const QString& text)
{
    if (text.isEmpty() || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\t'))) {
        draw(p, box, alignment, text);
        return;
    }
    const auto it = entry(p.font(), text);
    if (!(it->size.width() > box.width())) {
        drawEntry(p, box, alignment, text, it);
        return;
    }
    if (it->elidedWidth != box.width()) {
        it->elided = QFontMetricsF(p.font()).elidedText(text, Qt::ElideRight, box.width());
        it->elidedWidth = box.width();
    }
    // A copy: laying the shortened text out may empty the hash the entry lives in.
    const QString shortened = it->elided;
    draw(p, box, alignment, shortened);
}

} // namespace TEVChart
