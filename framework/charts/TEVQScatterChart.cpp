#include "TEVQScatterChart.h"

#include "TEVQControlInfo.h"

#include <QMouseEvent>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>
#include <vector>

using namespace TEVQtLib;

namespace {

// Above this many points a series draws its resting symbols from a sprite.
constexpr int kSpriteThreshold = 1000;

bool finitePoint(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

QString seriesText(const ScatterSeries& s, int index)
{
    return s.name.isEmpty() ? QStringLiteral("Series %1").arg(index + 1) : s.name;
}

} // namespace

// ---- painter object ------------------------------------------------------------------------------------------

TEVQScatterChartImpl::TEVQScatterChartImpl(TEVQScatterChart* owner)
    : TEVQChartBaseImpl(owner, TEVQScatterChart::typeName())
{
}

TEVQScatterChartImpl::~TEVQScatterChartImpl() = default;

TEVQScatterChart* TEVQScatterChartImpl::chart() const { return static_cast<TEVQScatterChart*>(owner); }

QRectF TEVQScatterChartImpl::plotRect(const QSize& size, int legendPosition) const
{
    return TEVChart::plotRect(size, {marginLeft, marginTop, marginRight, marginBottom}, !series.isEmpty(),
                              legendPosition, 42, marginBottom);
}

const QVector<int>& TEVQScatterChartImpl::legendTextWidths() const
{
    QFont font = chart()->font();
    font.setPixelSize(11);
    QStringList texts;
    texts.reserve(series.size());
    for (int i = 0; i < series.size(); ++i)
        texts << seriesText(series.at(i), i);
    return m_legendWidths.widths(texts, font);
}

QVector<ChartLegendItem> TEVQScatterChartImpl::legendItems(const QRectF& q, const QSize& size,
                                                           int legendPosition) const
{
    QVector<ChartLegendItem> items;
    if (series.isEmpty())
        return items;
    bool vertical = false;
    const QRectF r = TEVChart::legendArea(legendPosition, q, size, &vertical);
    if (r.isEmpty())
        return items;
    const QVector<int>& widths = legendTextWidths();
    const int left = qRound(r.left());
    const int edge = qRound(r.right());
    int x = left;
    int y = qRound(r.top());
    const ChartTheme& theme = chart()->theme();
    items.reserve(series.size());
    for (int i = 0; i < series.size(); ++i) {
        ChartLegendItem item;
        item.index = i;
        item.color = TEVChart::autoColor(series.at(i).colour, theme, i);
        item.text = seriesText(series.at(i), i);
        item.visible = series.at(i).visible;
        int width;
        if (vertical) {
            width = qRound(r.width()) - 6;
        } else {
            width = widths.value(i) + 36;
            if (x + width > edge && x > r.left()) {
                x = left;
                y += 24;
            }
        }
        item.rect = QRectF(x, y, width, 18);
        items.append(item);
        if (vertical)
            y += 26;
        else
            x += 10 + width;
    }
    return items;
}

ScatterBounds TEVQScatterChartImpl::dataBounds() const
{
    // A point counts only with both coordinates finite.
    TEVChart::FiniteSpan x, y;
    for (const ScatterSeries& s : series) {
        if (!s.visible)
            continue;
        for (const QPointF& p : s.points) {
            if (finitePoint(p)) {
                x.add(p.x());
                y.add(p.y());
            }
        }
    }
    if (!x.any)
        return ScatterBounds();
    ScatterBounds b;
    b.minX = x.lo;
    b.maxX = x.hi;
    b.minY = y.lo;
    b.maxY = y.hi;
    if (TEVChart::fuzzyEqual(b.minX, b.maxX))
        TEVChart::widenEqual(b.minX, b.maxX);
    if (TEVChart::fuzzyEqual(b.minY, b.maxY))
        TEVChart::widenEqual(b.minY, b.maxY);
    const double padX = qMax(b.maxX - b.minX, 1.0) * 0.08;
    const double padY = qMax(b.maxY - b.minY, 1.0) * 0.08;
    b.minX -= padX;
    b.maxX += padX;
    b.minY -= padY;
    b.maxY += padY;
    TEVChart::keepFinite(b.minX, b.maxX);
    TEVChart::keepFinite(b.minY, b.maxY);
    return b;
}

QPointF TEVQScatterChartImpl::symbolPos(const QPointF& point, const QRectF& plot, const ScatterBounds& b,
                                        double progress)
{
    const double dx = TEVChart::fuzzyEqual(b.minX, b.maxX) ? 1.0 : b.maxX - b.minX;
    const double dy = TEVChart::fuzzyEqual(b.minY, b.maxY) ? 1.0 : b.maxY - b.minY;
    // Bounds wider than a double holds are measured from halved values.
    const double fx = TEVChart::isWideRange(b.minX, b.maxX) ? TEVChart::wideShare(point.x(), b.minX, b.maxX)
                                                             : (point.x() - b.minX) / dx;
    const double fy = TEVChart::isWideRange(b.minY, b.maxY) ? TEVChart::wideShare(point.y(), b.minY, b.maxY)
                                                             : (point.y() - b.minY) / dy;
    return QPointF(plot.left() + plot.width() * fx, plot.bottom() - plot.height() * fy * progress);
}

ScatterHit TEVQScatterChartImpl::nearestPoint(const QPointF& pos, const QRectF& plot, const ScatterBounds& b,
                                              double progress) const
{
    ScatterHit best;
    for (int i = 0; i < series.size(); ++i) {
        const ScatterSeries& s = series.at(i);
        if (!s.visible)
            continue;
        const double reach = s.symbolSize + 6;
        for (int j = 0; j < s.points.size(); ++j) {
            if (!finitePoint(s.points.at(j)))
                continue;
            const QPointF c = symbolPos(s.points.at(j), plot, b, progress);
            const double d = std::hypot(c.x() - pos.x(), c.y() - pos.y());
            if (d <= reach && d < best.distance) {
                best.found = true;
                best.series = i;
                best.point = j;
                best.x = c.x();
                best.y = c.y();
                best.distance = d;
            }
        }
    }
    return best;
}

QString TEVQScatterChartImpl::tooltipText(int s, int j) const
{
    if (s < 0 || s >= series.size() || j < 0 || j >= series.at(s).points.size())
        return QString();
    const ScatterSeries& ss = series.at(s);
    const QPointF& p = ss.points.at(j);
    return QStringLiteral("%1\nx: %2\ny: %3")
        .arg(TEVChart::seriesName(ss), TEVChart::formatNumber(p.x()),
             TEVChart::formatNumber(p.y()));
}

bool TEVQScatterChartImpl::clearHover()
{
    const bool was = hoverActive || hoveredSeries != -1 || hoveredPoint != -1;
    hoverActive = false;
    hoveredSeries = -1;
    hoveredPoint = -1;
    if (TEVQScatterChart* c = chart())
        c->hideTooltip();
    return was;
}

bool TEVQScatterChartImpl::updateHover(const QPoint& pos)
{
    TEVQScatterChart* c = chart();
    bool anyPoints = false;
    for (const ScatterSeries& s : series)
        anyPoints = anyPoints || (s.visible && !s.points.isEmpty());
    const QRectF plot = plotRect(c->size(), c->legendPosition());
    // The plot's edges count as inside.
    const bool inside = pos.x() >= plot.left() && pos.x() <= plot.right() && pos.y() >= plot.top() &&
                        pos.y() <= plot.bottom();
    if (!hoverEnabled || tooltipTrigger == ChartTooltipNone || !anyPoints || !inside)
        return clearHover();
    const ScatterHit hit = nearestPoint(pos, plot, dataBounds(), c->animationProgress());
    if (!hit.found)
        return clearHover();
    const bool changed =
        !(hoverActive && hoveredSeries == hit.series && hoveredPoint == hit.point && lastMousePos == pos);
    hoverActive = true;
    hoveredSeries = hit.series;
    hoveredPoint = hit.point;
    lastMousePos = pos;
    if (tooltipEnabled)
        c->showTooltip(pos, tooltipText(hit.series, hit.point));
    else
        c->hideTooltip();
    return changed;
}

void TEVQScatterChartImpl::drawPoints(QPainter& p, const QRectF& plot, const ScatterBounds& b,
                                      double progress) const
{
    const ChartTheme& theme = chart()->theme();
    const double scale = progress * 0.45 + 0.55;
    const qreal dpr = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    m_sprites.resize(series.size());
    std::vector<unsigned char> taken;
    for (int i = 0; i < series.size(); ++i) {
        const ScatterSeries& s = series.at(i);
        if (!s.visible || s.points.isEmpty())
            continue;
        const QColor colour = TEVChart::autoColor(s.colour, theme, i);
        const double size = std::isfinite(s.symbolSize) ? qBound(0.0, s.symbolSize, 1000.0) : 0.0;
        const double radius = scale * size * 0.5;
        const bool sprite = s.points.size() > kSpriteThreshold;
        Sprite& sp = m_sprites[i];
        const int half = int(std::ceil(radius + 0.7)) + 1;
        if (sprite && (sp.radius != radius || sp.colour != colour || sp.fill != theme.plotBackgroundColor ||
                       sp.dpr != dpr || sp.image.isNull())) {
            sp.image = QImage(QSize(2 * half, 2 * half) * dpr, QImage::Format_ARGB32_Premultiplied);
            sp.image.setDevicePixelRatio(dpr);
            sp.image.fill(Qt::transparent);
            QPainter sprite(&sp.image);
            sprite.setRenderHint(QPainter::Antialiasing);
            sprite.setPen(QPen(colour, 1.4));
            sprite.setBrush(theme.plotBackgroundColor);
            sprite.drawEllipse(QPointF(half, half), radius, radius);
            sprite.end();
            sp.radius = radius;
            sp.colour = colour;
            sp.fill = theme.plotBackgroundColor;
            sp.dpr = dpr;
        }
        // One ring per device pixel: a second ring on the same spot changes nothing.
        const int gw = int(std::ceil((plot.width() + 2) * dpr)) + 1;
        const int gh = int(std::ceil((plot.height() + 2) * dpr)) + 1;
        if (sprite)
            taken.assign(size_t(gw) * size_t(gh), 0);
        p.setPen(QPen(colour, 1.4));
        p.setBrush(theme.plotBackgroundColor);
        for (int j = 0; j < s.points.size(); ++j) {
            if (!finitePoint(s.points.at(j)))
                continue;
            const bool hovered = hoverActive && hoveredSeries == i && hoveredPoint == j;
            const QPointF c = symbolPos(s.points.at(j), plot, b, progress);
            if (!finitePoint(c))
                continue; // bounds too wide for a double place nothing
            if (hovered) {
                const double r = scale * (size + 2.5) * 0.5;
                p.setPen(QPen(colour, 2.2));
                p.setBrush(colour);
                p.drawEllipse(c, r, r);
                p.setPen(QPen(colour, 1.4));
                p.setBrush(theme.plotBackgroundColor);
                continue;
            }
            if (!sprite) {
                p.drawEllipse(c, radius, radius);
                continue;
            }
            const double gx = std::floor((c.x() - plot.left() + 1) * dpr + 0.5);
            const double gy = std::floor((c.y() - plot.top() + 1) * dpr + 0.5);
            if (gx < 0 || gy < 0 || gx >= gw || gy >= gh)
                continue;
            unsigned char& cell = taken[size_t(gy) * size_t(gw) + size_t(gx)];
            if (cell)
                continue;
            cell = 1;
            p.drawImage(QPointF((gx / dpr) + plot.left() - 1 - half, (gy / dpr) + plot.top() - 1 - half),
                        sp.image);
        }
    }
}

QString TEVQScatterChartImpl::axisLabelX(int k, const ScatterBounds& b)
{
    return TEVChart::axisNumber(TEVChart::stepValue(b.minX + (b.maxX - b.minX) * k / 5, b.minX, b.maxX, k / 5.0),
                                b.minX, b.maxX);
}

QString TEVQScatterChartImpl::axisLabelY(int k, const ScatterBounds& b)
{
    return TEVChart::axisNumber(TEVChart::stepValue(b.maxY - k * (b.maxY - b.minY) / 5, b.maxY, b.minY, k / 5.0),
                                b.minY, b.maxY);
}

void TEVQScatterChartImpl::drawAxes(QPainter& p, const QRectF& q, const ScatterBounds& b, const QSize& size) const
{
    const ChartTheme& theme = chart()->theme();
    p.save();
    QFont font = p.font();
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    p.setFont(font);
    p.setPen(theme.titleColor);
    m_texts.draw(p, QRectF(0, 10, size.width(), 24), Qt::AlignHCenter | Qt::AlignTop, title);
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    p.setFont(font);
    p.setPen(theme.axisLabelColor);
    for (int k = 0; k <= 5; ++k) {
        m_texts.draw(p, QRectF(4, q.top() + q.height() * k / 5 - 8, marginLeft - 10, 16),
                     Qt::AlignRight | Qt::AlignVCenter, axisLabelY(k, b));
        m_texts.draw(p, QRectF(q.left() + q.width() * k / 5 - 28, q.bottom() + 8, 56, 18), Qt::AlignCenter,
                     axisLabelX(k, b));
    }
    p.restore();
}

void TEVQScatterChartImpl::drawLegend(QPainter& p, const QRectF& plot, const QSize& size, int lp) const
{
    const ChartTheme& theme = chart()->theme();
    p.save();
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    for (const ChartLegendItem& item : legendItems(plot, size, lp)) {
        if (!legendItemShown(item, size))
            continue;
        const QColor marker = item.visible ? item.color : item.color.lighter(160);
        p.setPen(QPen(marker, 1.4));
        p.setBrush(item.visible ? marker : theme.plotBackgroundColor);
        p.drawEllipse(QRectF(item.rect.left(), item.rect.top() + 3, 12, 12));
        drawLegendText(p, item, theme, item.text, item.rect.height(), size);
    }
    p.restore();
}

void TEVQScatterChartImpl::paint(QPainter& p, const QSize& size)
{
    TEVQScatterChart* c = chart();
    const ChartTheme& theme = c->theme();
    const int lp = c->legendPosition();
    const QRectF q = plotRect(size, lp);
    const ScatterBounds b = dataBounds();
    p.fillRect(QRect(QPoint(0, 0), size), c->backgroundColor());
    p.setPen(Qt::NoPen);
    p.setBrush(theme.plotBackgroundColor);
    p.drawRect(q);
    p.setPen(QPen(theme.gridColor, 1.0));
    for (int k = 0; k <= 5; ++k) {
        const double y = q.top() + q.height() * k / 5;
        const double x = q.left() + q.width() * k / 5;
        p.drawLine(QPointF(q.left(), y), QPointF(q.right(), y));
        p.drawLine(QPointF(x, q.bottom()), QPointF(x, q.top()));
    }
    p.setPen(QPen(theme.axisLineColor, 1.0));
    p.drawLine(q.topLeft(), q.bottomLeft());
    p.drawLine(q.bottomLeft(), q.bottomRight());
    drawPoints(p, q, b, c->animationProgress());
    drawAxes(p, q, b, size);
    drawLegend(p, q, size, lp);
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQScatterChart::TEVQScatterChart(QWidget* parent) : TEVQChartBase(parent)
{
    tevSetImpl(new TEVQScatterChartImpl(this));
    setMinimumSize(420, 260);
    setMouseTracking(true);
    loadDemoData();
}

TEVQScatterChart::~TEVQScatterChart() { releasePainter(); }

ControlInfo TEVQScatterChart::getProps()
{
    return tevControlInfo("qtscatterchart", "ScatterChart", "OpenGL Scatter Chart", "TEVQScatterChart",
                          "columnChart");
}

void TEVQScatterChart::loadDemoData()
{
    ScatterSeries a;
    a.name = QStringLiteral("Series A");
    a.symbolSize = 8;
    a.points = {{8, 15}, {12, 24}, {18, 31}, {25, 40}, {32, 28}};
    ScatterSeries b;
    b.name = QStringLiteral("Series B");
    b.symbolSize = 10;
    b.points = {{10, 8}, {16, 14}, {22, 19}, {30, 26}, {36, 21}};
    setTheme(0);
    setBackgroundColor(QColor());
    setSeries({a, b});
}

void TEVQScatterChart::setSeries(const QVector<ScatterSeries>& series)
{
    replaceData(painter(), painter()->series, series);
}

void TEVQScatterChart::mousePressEvent(QMouseEvent* event)
{
    TEVQScatterChartImpl* d = painter();
    if (event->button() == Qt::LeftButton) {
        const QRectF plot = d->plotRect(size(), legendPosition());
        if (toggleFromLegend(d, d->series, d->legendItems(plot, size(), legendPosition()), event))
            return;
    }
    TEVQChartBase::mousePressEvent(event);
}

void TEVQScatterChart::mouseMoveEvent(QMouseEvent* event) { hoverMove(painter(), event); }
void TEVQScatterChart::leaveEvent(QEvent* event) { hoverLeave(painter(), event); }
