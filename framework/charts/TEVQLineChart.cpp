#include "TEVQLineChart.h"

#include "TEVQControlInfo.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

using namespace TEVQtLib;

namespace {
constexpr double kSmoothing = 0.14166666666666666; // 0.85 / 6
constexpr double kHitDistance = 14.0;
// A category label's box width, and the room kept between two drawn label texts.
constexpr double kLabelBox = 68.0;
constexpr double kLabelGap = 6.0;
} // namespace

// ---- painter object ------------------------------------------------------------------------------------------

TEVQLineChartImpl::TEVQLineChartImpl(TEVQLineChart* owner) : TEVQChartBaseImpl(owner, TEVQLineChart::typeName()) {}

TEVQLineChartImpl::~TEVQLineChartImpl() = default;

TEVQLineChart* TEVQLineChartImpl::chart() const { return static_cast<TEVQLineChart*>(owner); }

int TEVQLineChartImpl::categoryCount() const { return TEVChart::categoryCount(categories, series); }

void TEVQLineChartImpl::visibleWindow(int& start, int& end) const
{
    const int count = categoryCount();
    start = 0;
    end = count - 1;
    if (zoom.isEnabled() && count >= 2) {
        start = qMax(qMin(count - 1, int(std::floor(zoom.start() * (count - 1)))), 0);
        end = qMax(start, qMin(count - 1, int(std::ceil(zoom.end() * (count - 1)))));
    }
}

void TEVQLineChartImpl::valueRange(int start, int end, double& min, double& max) const
{
    double lo, hi;
    if (!TEVChart::finiteRange(series, lo, hi, start, end)) {
        min = 0;
        max = 1;
        return;
    }
    if (TEVChart::fuzzyEqual(lo, hi))
        TEVChart::widenEqual(lo, hi);
    const double span = qMax(hi - lo, 1.0);
    if (lo > 0) {
        lo = 0;
    } else {
        lo -= 0.05 * span;
    }
    hi += 0.08 * span;
    TEVChart::keepFinite(lo, hi);
    min = lo;
    max = hi;
}

QRectF TEVQLineChartImpl::plotRect(const QSize& size, int legendPosition, double* labelOverflow) const
{
    int start, end;
    visibleWindow(start, end);
    double min, max;
    valueRange(start, end, min, max);
    return plotRect(size, legendPosition, min, max, labelOverflow);
}

QRectF TEVQLineChartImpl::plotRect(const QSize& size, int legendPosition, double min, double max,
                                   double* labelOverflow) const
{
    const bool z = zoom.isEnabled();
    const QRectF plot = TEVChart::plotRect(size, {marginLeft, marginTop, marginRight, marginBottom},
                                           !series.isEmpty(), legendPosition, z ? 92 : 42,
                                           z ? marginBottom + 44 : marginBottom);
    const double over = m_labelRoom.overflow(owner ? owner->font() : QFont(), chart()->theme(), min, max, marginLeft,
                                             plot.width() / 2, &m_texts);
    if (labelOverflow)
        *labelOverflow = over;
    return plot.adjusted(over, 0, 0, 0);
}

QRectF TEVQLineChartImpl::sliderRect(const QRectF& plot, int legendPosition) const
{
    const bool bottom = legendPosition != ChartLegendTop && legendPosition != ChartLegendRight &&
                        legendPosition != ChartLegendLeft;
    return zoom.sliderRect(plot, bottom ? 76 : 40);
}

double TEVQLineChartImpl::animatedValue(const QVector<double>& values, int i, double p, double base)
{
    const int n = values.size();
    if (i < 0 || i >= n)
        return base;
    double t = p;
    if (n > 1) {
        const double w = 1.0 / ((n - 1) * 0.5 + 1);
        t = (p - i * w * 0.5) / w;
    }
    const double s = qBound(0.0, t, 1.0);
    const double e = s * s * (3 - 2 * s);
    if (TEVChart::isWideRange(base, values.at(i)) || TEVChart::isWideRange(values.at(i), base))
        return TEVChart::weigh(base, values.at(i), e);
    return base + (values.at(i) - base) * e;
}

void TEVQLineChartImpl::seriesPoints(int s, const QRectF& plot, int start, int end, double min, double max,
                                     double progress, QVector<QPointF>& points, QVector<int>* indices) const
{
    points.clear();
    if (indices)
        indices->clear();
    if (s < 0 || s >= series.size() || !series.at(s).visible)
        return;
    const QVector<double>& values = series.at(s).values;
    const int last = qMin(end, values.size() - 1);
    if (last < start)
        return;
    points.reserve(last - start + 1);
    if (indices)
        indices->reserve(last - start + 1);
    const double xScale = plot.width() / qMax(end - start, 1);
    const double ySpan = TEVChart::fuzzyEqual(min, max) ? 1.0 : max - min;
    const double yScale = plot.height() / ySpan;
    const bool wide = TEVChart::isWideRange(min, max);
    const bool settled = progress >= 1.0;
    for (int i = start; i <= last; ++i) {
        const double raw = values.at(i);
        if (!std::isfinite(raw))
            continue;
        const double v = settled ? raw : animatedValue(values, i, progress, min);
        const double y = wide ? TEVChart::valueToY(plot, v, min, max) : plot.bottom() - yScale * (v - min);
        points.append(QPointF(plot.left() + xScale * (i - start), y));
        if (indices)
            indices->append(i);
    }
}

QPainterPath TEVQLineChartImpl::linePath(const QVector<QPointF>& pts, bool smooth)
{
    QPainterPath path;
    if (pts.isEmpty())
        return path;
    path.moveTo(pts.first());
    const int n = pts.size();
    if (smooth && n >= 3) {
        for (int i = 0; i <= n - 2; ++i) {
            const QPointF p0 = pts.at(qMax(i - 1, 0));
            const QPointF p1 = pts.at(i);
            const QPointF p2 = pts.at(i + 1);
            const QPointF p3 = i + 2 < n ? pts.at(i + 2) : p2;
            path.cubicTo(p1 + (p2 - p0) * kSmoothing, p2 - (p3 - p1) * kSmoothing, p2);
        }
    } else {
        for (int i = 1; i < n; ++i)
            path.lineTo(pts.at(i));
    }
    return path;
}

QVector<QPointF> TEVQLineChartImpl::reduceToColumns(const QVector<QPointF>& pts)
{
    return TEVChart::reduceToColumns(pts);
}

bool TEVQLineChartImpl::hasVisibleValues() const { return TEVChart::hasVisibleValues(series); }
bool TEVQLineChartImpl::hasValueAt(int index) const { return TEVChart::hasValueAt(series, index); }

LineHit TEVQLineChartImpl::nearestPoint(const QPoint& pos, const QRectF& plot, int start, int end, double min,
                                        double max, double progress) const
{
    LineHit best;
    // x grows with the index, so only indexes within the hit distance of the pointer's x can count.
    const double xScale = plot.width() / qMax(end - start, 1);
    const double from = start + (pos.x() - kHitDistance - plot.left()) / xScale;
    const double to = start + (pos.x() + kHitDistance - plot.left()) / xScale;
    const int lo = qMax(start, int(std::floor(qBound(-1e9, from, 1e9))));
    const int hi = qMin(end, int(std::ceil(qBound(-1e9, to, 1e9))));
    for (int s = 0; s < series.size(); ++s) {
        const LineSeries& ls = series.at(s);
        if (!ls.visible)
            continue;
        const int last = qMin(hi, ls.values.size() - 1);
        for (int i = lo; i <= last; ++i) {
            if (!std::isfinite(ls.values.at(i)))
                continue;
            const double v = animatedValue(ls.values, i, progress, min);
            const QPointF pt(plot.left() + xScale * (i - start), TEVChart::valueToY(plot, v, min, max));
            const double d = std::hypot(pt.x() - pos.x(), pt.y() - pos.y());
            if (d <= kHitDistance && d < best.distance) {
                best.found = true;
                best.series = s;
                best.index = i;
                best.distance = d;
                best.point = pt;
            }
        }
    }
    return best;
}

bool TEVQLineChartImpl::clearHover()
{
    const bool wasSet = hovering || hoveredIndex != -1 || hoveredSeries != -1;
    hovering = false;
    hoveredIndex = -1;
    hoveredSeries = -1;
    hoveredPoint = QPointF();
    if (TEVQLineChart* c = chart())
        c->hideTooltip();
    return wasSet;
}

bool TEVQLineChartImpl::updateHover(const QPoint& pos)
{
    TEVQLineChart* c = chart();
    if (!hoverEnabled || tooltipTrigger == ChartTooltipNone || !hasVisibleValues())
        return clearHover();
    int start, end;
    visibleWindow(start, end);
    double min, max;
    valueRange(start, end, min, max);
    const QRectF plot = plotRect(c->size(), c->legendPosition(), min, max, nullptr);
    if (!plot.contains(pos))
        return clearHover();
    QString text;
    bool changed;
    if (tooltipTrigger != ChartTooltipAxis) {
        const LineHit hit = nearestPoint(pos, plot, start, end, min, max, c->animationProgress());
        if (!hit.found)
            return clearHover();
        changed = !(hovering && hoveredIndex == hit.index && hoveredSeries == hit.series && lastMousePos == pos);
        hovering = true;
        hoveredIndex = hit.index;
        hoveredSeries = hit.series;
        hoveredPoint = hit.point;
        lastMousePos = pos;
        text = TEVChart::itemTooltip(categories, series.at(hit.series), hit.index);
    } else {
        int index = start;
        if (end > start) {
            const double f = (end - start) * (pos.x() - plot.left()) / qMax(plot.width(), 1.0);
            index = start + int(std::lround(qBound(-1e9, f, 1e9)));
            index = qBound(start, index, end);
        }
        if (index < 0 || !hasValueAt(index))
            return clearHover();
        changed = !(hovering && hoveredIndex == index && lastMousePos == pos);
        hovering = true;
        hoveredIndex = index;
        hoveredSeries = -1;
        lastMousePos = pos;
        text = TEVChart::axisTooltip(categories, series, index);
    }
    c->showTooltipIf(tooltipEnabled, pos, text);
    return changed;
}

QVector<ChartLegendItem> TEVQLineChartImpl::legendItems(const QRectF& plot, const QSize& size) const
{
    const TEVQLineChart* c = chart();
    return TEVChart::seriesLegend(series, c->theme(), c->legendPosition(), plot, size, c->font(), &m_legendWidths);
}

QVector<int> TEVQLineChartImpl::labelIndexes(int start, int end, double plotWidth,
                                             const std::function<double(int)>& drawnWidth)
{
    QVector<int> out;
    const int count = end - start + 1;
    int step = 1;
    if (count > 1) {
        const int fit = qMax(int(std::floor(plotWidth / 76)) + 1, 2);
        step = qMax(1, int(std::ceil(double(count) / fit)));
    }
    int last = -1;
    for (int i = start; i <= end; i += step) {
        out.append(i);
        last = i;
        if (i + step > end && end > start && last != end) {
            // The last category's label takes the place of the one before it when their texts, centred on
            // their points, would run into each other.
            if (drawnWidth && out.size() > 1) {
                const double apart = (end - last) * plotWidth / (end - start);
                if (apart < (drawnWidth(last) + drawnWidth(end)) / 2 + kLabelGap)
                    out.removeLast();
            }
            out.append(end);
        }
    }
    return out;
}

const QVector<int>& TEVQLineChartImpl::drawnLabelIndexes(int start, int end, double plotWidth, const QFont& font)
{
    LabelPlacement& kept = m_labelPlacement;
    // Compared as fonts: QFont::key leaves out the letter spacing and the capitalization, which change widths.
    if (!kept.valid || kept.start != start || kept.end != end || kept.plotWidth != plotWidth || kept.font != font ||
        kept.categories != categories) {
        kept.indexes = labelIndexes(start, end, plotWidth, [this, &font](int i) {
            // Measured as drawn; a text wider than its box is shortened to the box.
            return qMin(m_texts.size(font, TEVChart::categoryLabel(categories, i)).width(), kLabelBox);
        });
        kept.valid = true;
        kept.start = start;
        kept.end = end;
        kept.plotWidth = plotWidth;
        kept.font = font;
    }
    // Shared, an equal list given again compares as one pointer next time.
    kept.categories = categories;
    return kept.indexes;
}

void TEVQLineChartImpl::drawSeries(QPainter& p, int s, const QVector<QPointF>& points, const QVector<int>& indices,
                                   const QRectF& plot, const ChartTheme& theme) const
{
    const LineSeries& ls = series.at(s);
    const QColor color = TEVChart::autoColor(ls.color, theme, s);
    const QVector<QPointF> drawn = reduceToColumns(points);
    // A reduced series has several points per pixel: a curve through them looks like the polyline.
    const bool smoothing = (smooth || ls.smooth) && drawn.size() == points.size();
    const bool straight = !(smoothing && points.size() >= 3);
    QPainterPath path;
    if (!straight)
        path = linePath(drawn, true);

    if ((area || ls.area) && !drawn.isEmpty()) {
        QColor fill = ls.areaColor.isValid() ? ls.areaColor : color;
        fill.setAlphaF(qBound(0.0, std::isnan(ls.areaOpacity) ? 0.0 : ls.areaOpacity, 1.0));
        QPainterPath areaPath = straight ? linePath(drawn, false) : path;
        areaPath.lineTo(drawn.last().x(), plot.bottom());
        areaPath.lineTo(drawn.first().x(), plot.bottom());
        areaPath.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPath(areaPath);
    }

    QPen pen(color, qMax(ls.width > 0 ? ls.width : theme.lineWidth, 1.0), Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (straight) {
        TEVChart::drawRoundLine(p, pen, drawn, &m_sprites);
    } else {
        TEVChart::drawRoundCurve(p, pen, path, &m_sprites);
    }

    if (showSymbols && ls.showSymbols) {
        QPointF previous(-1e9, -1e9);
        for (int k = 0; k < points.size(); ++k) {
            const int c = indices.at(k);
            const bool highlighted =
                hovering && c == hoveredIndex && (tooltipTrigger == ChartTooltipAxis || s == hoveredSeries);
            const QPointF& pt = points.at(k);
            // Symbols that fall on the same spot as the one before it add nothing visible.
            if (!highlighted && std::abs(pt.x() - previous.x()) < 0.25 && std::abs(pt.y() - previous.y()) < 0.25)
                continue;
            previous = pt;
            if (highlighted)
                m_sprites.draw(p, pt, theme.hoverSymbolRadius, color, 2.4, color);
            else
                m_sprites.draw(p, pt, theme.symbolRadius, color, 1.8, theme.plotBackgroundColor);
        }
    }
}

void TEVQLineChartImpl::paint(QPainter& p, const QSize& size)
{
    TEVQLineChart* c = chart();
    const ChartTheme& theme = c->theme();
    const int legendPosition = c->legendPosition();
    int start, end;
    visibleWindow(start, end);
    double min, max;
    valueRange(start, end, min, max);
    double labelOverflow = 0;
    const QRectF plot = plotRect(size, legendPosition, min, max, &labelOverflow);
    const double progress = c->animationProgress();

    TEVChart::drawGrid(p, plot, theme);
    p.setPen(QPen(theme.axisLineColor, 1.0));
    p.drawLine(QPointF(plot.left(), plot.top()), QPointF(plot.left(), plot.bottom()));
    p.drawLine(QPointF(plot.left(), plot.bottom()), QPointF(plot.right(), plot.bottom()));

    const double xScale = plot.width() / qMax(end - start, 1);
    // The guide only for a category inside the visible window: after a zoom or a data change it may lie outside.
    if (hoverEnabled && hovering && hoveredIndex >= start && hoveredIndex <= end && hasValueAt(hoveredIndex)) {
        const double x = plot.left() + xScale * (hoveredIndex - start);
        p.setPen(QPen(theme.crosshairColor, 1.0, Qt::DashLine));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        for (int s = 0; s < series.size(); ++s) {
            const LineSeries& ls = series.at(s);
            if (!ls.visible || hoveredIndex >= ls.values.size() || !std::isfinite(ls.values.at(hoveredIndex)))
                continue;
            if (tooltipTrigger == ChartTooltipItem && s != hoveredSeries)
                continue;
            const QColor color = TEVChart::autoColor(ls.color, theme, s);
            const double v = animatedValue(ls.values, hoveredIndex, progress, min);
            p.setPen(QPen(color, 2.4));
            p.setBrush(color);
            p.drawEllipse(QPointF(x, TEVChart::valueToY(plot, v, min, max)), theme.hoverSymbolRadius,
                          theme.hoverSymbolRadius);
        }
    }

    QVector<QPointF> points;
    QVector<int> indices;
    for (int s = 0; s < series.size(); ++s) {
        if (!series.at(s).visible)
            continue;
        seriesPoints(s, plot, start, end, min, max, progress, points, &indices);
        drawSeries(p, s, points, indices, plot, theme);
    }

    TEVChart::drawTitleAndValueLabels(p, title, size.width(), plot, marginLeft, min, max, theme, &m_texts,
                                      labelOverflow, &m_labelRoom);
    for (int i : drawnLabelIndexes(start, end, plot.width(), p.font())) {
        const double x = plot.left() + xScale * (i - start);
        m_texts.drawElided(p, QRectF(x - kLabelBox / 2, plot.bottom() + 8, kLabelBox, 18), Qt::AlignCenter,
                           TEVChart::categoryLabel(categories, i));
    }

    for (const ChartLegendItem& item : legendItems(plot, size)) {
        if (!legendItemShown(item, size))
            continue;
        const double cy = item.rect.center().y();
        const QColor swatch = item.visible ? item.color : item.color.lighter(160);
        p.setPen(QPen(swatch, 2.0));
        p.drawLine(QPointF(item.rect.left(), cy), QPointF(item.rect.left() + 12, cy));
        p.setPen(Qt::NoPen);
        p.setBrush(item.visible ? item.color : theme.plotBackgroundColor);
        p.drawEllipse(QPointF(item.rect.left() + 6, cy), 3.5, 3.5);
        drawLegendText(p, item, theme, item.text, item.rect.height(), size);
    }

    zoom.setCount(categoryCount());
    const QStringList labels = categories;
    zoom.setLabelFormatter([labels](int i) { return TEVChart::categoryLabel(labels, i); });
    zoom.setLabelColor(theme.axisLabelColor);
    const QRectF slider = sliderRect(plot, legendPosition);
    if (!slider.isEmpty())
        zoom.paint(&p, slider, true, &m_texts);
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQLineChart::TEVQLineChart(QWidget* parent) : TEVQChartBase(parent)
{
    tevSetImpl(new TEVQLineChartImpl(this));
    setMinimumSize(420, 260);
    setMouseTracking(true);
    loadDemoData();
}

TEVQLineChart::~TEVQLineChart() { releasePainter(); }

ControlInfo TEVQLineChart::getProps()
{
    return tevControlInfo("qtlinechart", "LineChart", "OpenGL Line Chart", "TEVQLineChart", "columnChart");
}

void TEVQLineChart::loadDemoData()
{
    TEVQLineChartImpl* d = painter();
    d->smooth = false;
    d->area = false;
    TEVChart::loadWeekDemo(*this, {150, 230, 224, 218, 135, 147, 260});
}

void TEVQLineChart::setTitle(const QString& title)
{
    painter()->title = title;
    update();
}

void TEVQLineChart::setCategories(const QStringList& categories)
{
    setCategoriesOf(painter(), categories);
}

void TEVQLineChart::setSeries(const QVector<LineSeries>& series)
{
    painter()->series = series;
    dataReplaced();
}

void TEVQLineChart::setData(const QString& name, const QVector<double>& values, const QColor& color)
{
    TEVQLineChartImpl* d = painter();
    LineSeries s;
    s.name = name;
    s.values = values;
    s.color = color;
    s.showSymbols = true;
    s.smooth = d->smooth;
    s.area = d->area;
    d->series = QVector<LineSeries>{s};
    dataReplaced();
}

void TEVQLineChart::dataReplaced()
{
    hoverAgain(painter());
    startAnimation();
}

void TEVQLineChart::setHoverEnabled(bool on) { setHoverEnabledOf(painter(), on); }
void TEVQLineChart::setTooltipTrigger(int trigger) { setTooltipTriggerOf(painter(), trigger); }
void TEVQLineChart::setTooltipEnabled(bool on) { setTooltipEnabledOf(painter(), on); }

void TEVQLineChart::setZoomEnabled(bool on)
{
    painter()->zoom.setEnabled(on);
    clearHoverAndRepaint(painter());
}

DataZoomStyle TEVQLineChart::zoomStyle() const { return painter()->zoom.style(); }

void TEVQLineChart::setZoomStyle(const DataZoomStyle& style)
{
    painter()->zoom.setStyle(style);
    update();
}

QRectF TEVQLineChart::currentSliderRect() const
{
    TEVQLineChartImpl* d = painter();
    d->zoom.setCount(d->categoryCount());
    return d->sliderRect(d->plotRect(size(), legendPosition()), legendPosition());
}

void TEVQLineChart::mousePressEvent(QMouseEvent* event)
{
    TEVQLineChartImpl* d = painter();
    if (pressZoom(d, event, [this] { return currentSliderRect(); }))
        return;
    if (event->button() == Qt::LeftButton) {
        const QRectF plot = d->plotRect(size(), legendPosition());
        if (toggleFromLegend(d, d->series, d->legendItems(plot, size()), event))
            return;
    }
    TEVQChartBase::mousePressEvent(event);
}

void TEVQLineChart::mouseMoveEvent(QMouseEvent* event)
{
    moveZoomOrHover(painter(), event, [this] { return currentSliderRect(); });
}

void TEVQLineChart::mouseReleaseEvent(QMouseEvent* event)
{
    releaseZoom(painter(), event);
}

void TEVQLineChart::leaveEvent(QEvent* event) { hoverLeave(painter(), event); }
