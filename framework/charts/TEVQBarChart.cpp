#include "TEVQBarChart.h"

#include "TEVQControlInfo.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace TEVQtLib;

// ---- painter object ------------------------------------------------------------------------------------------

TEVQBarChartImpl::TEVQBarChartImpl(TEVQBarChart* owner) : TEVQChartBaseImpl(owner, TEVQBarChart::typeName()) {}

TEVQBarChartImpl::~TEVQBarChartImpl() = default;

TEVQBarChart* TEVQBarChartImpl::chart() const { return static_cast<TEVQBarChart*>(owner); }

int TEVQBarChartImpl::categoryCount() const { return TEVChart::categoryCount(categories, series); }
bool TEVQBarChartImpl::hasVisibleValues() const { return TEVChart::hasVisibleValues(series); }
bool TEVQBarChartImpl::hasValueAt(int category) const { return TEVChart::hasValueAt(series, category); }

void TEVQBarChartImpl::valueRange(double& min, double& max) const
{
    double lo, hi;
    if (!TEVChart::finiteRange(series, lo, hi)) {
        min = 0;
        max = 1;
        return;
    }
    // Zero is kept inside the range at both ends, so that all-negative bars hang from a baseline inside the
    // plot instead of from one above it.
    min = qMin(0.0, lo);
    max = qMax(0.0, hi);
    if (TEVChart::fuzzyEqual(min, max))
        max = max + 1;
    const double span = qMax(max - min, 1.0);
    max += 0.08 * span;
    if (min < 0)
        min -= 0.05 * span;
    TEVChart::keepFinite(min, max);
}

QRectF TEVQBarChartImpl::plotRect(const QSize& size, int legendPosition, double* labelOverflow) const
{
    double min, max;
    valueRange(min, max);
    return plotRect(size, legendPosition, min, max, labelOverflow);
}

QRectF TEVQBarChartImpl::plotRect(const QSize& size, int legendPosition, double min, double max,
                                  double* labelOverflow) const
{
    const QRectF plot = TEVChart::plotRect(size, {marginLeft, marginTop, marginRight, marginBottom},
                                           !series.isEmpty(), legendPosition, 42, marginBottom);
    const double over = m_labelRoom.overflow(owner ? owner->font() : QFont(), chart()->theme(), min, max, marginLeft,
                                             plot.width() / 2, &m_texts);
    if (labelOverflow)
        *labelOverflow = over;
    return plot.adjusted(over, 0, 0, 0);
}

QVector<BarItem> TEVQBarChartImpl::barItems(const QRectF& plot, double min, double max, double progress,
                                            const ChartTheme& theme) const
{
    QVector<BarItem> items;
    const int count = categoryCount();
    const double band = plot.width() / count;
    const double pad = qMin(band * 0.16, 18.0);
    const double gap = qMin(band * 0.08, 12.0);
    const double usable = qMax(band - 2 * pad, 12.0);
    int visibleCount = 0;
    for (const BarSeries& s : series)
        visibleCount += s.visible ? 1 : 0;
    const int n = qMax(visibleCount, 1);
    const double barWidth = qMax((usable - (n - 1) * gap) / n, 8.0);
    const double baseline = TEVChart::valueToY(plot, 0.0, min, max);
    for (int c = 0; c < count; ++c) {
        int k = 0;
        for (int s = 0; s < series.size(); ++s) {
            const BarSeries& bs = series.at(s);
            if (!bs.visible || c >= bs.values.size() || !std::isfinite(bs.values.at(c)))
                continue;
            const double x = plot.left() + c * band + pad + k * (barWidth + gap);
            const double y = TEVChart::valueToY(plot, progress * bs.values.at(c), min, max);
            const double top = qMin(baseline, y);
            const double height = qMax(qMax(y, baseline) - top, 1.0);
            items.append({s, c, QRectF(x, top, barWidth, height), TEVChart::autoColor(bs.color, theme, s)});
            ++k;
        }
    }
    return items;
}

bool TEVQBarChartImpl::clearHover()
{
    const bool wasSet = hovering || hoveredCategory != -1 || hoveredSeries != -1;
    hovering = false;
    hoveredCategory = -1;
    hoveredSeries = -1;
    if (TEVQBarChart* c = chart())
        c->hideTooltip();
    return wasSet;
}

bool TEVQBarChartImpl::updateHover(const QPoint& pos)
{
    TEVQBarChart* c = chart();
    if (!hoverEnabled || tooltipTrigger == ChartTooltipNone || !hasVisibleValues())
        return clearHover();
    double min, max;
    valueRange(min, max);
    const QRectF plot = plotRect(c->size(), c->legendPosition(), min, max, nullptr);
    if (!plot.contains(pos))
        return clearHover();
    const ChartTheme& theme = c->theme();
    if (tooltipTrigger != ChartTooltipAxis) {
        const QVector<BarItem> bars = barItems(plot, min, max, c->animationProgress(), theme);
        const BarItem* hit = nullptr;
        for (const BarItem& bar : bars) {
            if (bar.rect.adjusted(-2, -2, 2, 2).contains(pos)) {
                hit = &bar;
                break;
            }
        }
        if (!hit)
            return clearHover();
        const bool changed = !(hovering && hoveredCategory == hit->category && hoveredSeries == hit->series &&
                               lastMousePos == pos);
        hovering = true;
        hoveredCategory = hit->category;
        hoveredSeries = hit->series;
        lastMousePos = pos;
        c->showTooltipIf(tooltipEnabled, pos, TEVChart::itemTooltip(categories, series.at(hit->series), hit->category));
        return changed;
    }
    const int count = categoryCount();
    int index = 0;
    if (count != 1) {
        const double f = std::floor(count * (pos.x() - plot.left()) / qMax(plot.width(), 1.0));
        index = int(qBound(0.0, f, double(count - 1)));
    }
    if (!hasValueAt(index))
        return clearHover();
    const bool changed = !(hovering && hoveredCategory == index && lastMousePos == pos);
    hovering = true;
    hoveredCategory = index;
    hoveredSeries = -1;
    lastMousePos = pos;
    c->showTooltipIf(tooltipEnabled, pos, TEVChart::axisTooltip(categories, series, index));
    return changed;
}

int TEVQBarChartImpl::labelStep(double band, double widest)
{
    const double needed = qMin(widest, 68.0) + 6;
    if (!(band > 0) || needed <= band)
        return 1;
    return int(qBound(1.0, std::ceil(needed / band), 1e6));
}

double TEVQBarChartImpl::widestLabel(const QFont& font, int count)
{
    // Compared as fonts: QFont::key leaves out the letter spacing and the capitalization, which change widths.
    if (count != m_measuredCount || font != m_measuredFont || categories != m_measuredLabels) {
        const QFontMetricsF metrics(font);
        m_widest = 0;
        for (int i = 0; i < count; ++i)
            m_widest = qMax(m_widest, metrics.horizontalAdvance(TEVChart::categoryLabel(categories, i)));
        m_measuredFont = font;
        m_measuredCount = count;
    }
    // Shared, an equal list given again compares as one pointer next time.
    m_measuredLabels = categories;
    return m_widest;
}

QVector<ChartLegendItem> TEVQBarChartImpl::legendItems(const QRectF& plot, const QSize& size) const
{
    const TEVQBarChart* c = chart();
    return TEVChart::seriesLegend(series, c->theme(), c->legendPosition(), plot, size, c->font(), &m_legendWidths);
}

void TEVQBarChartImpl::paint(QPainter& p, const QSize& size)
{
    TEVQBarChart* c = chart();
    const ChartTheme& theme = c->theme();
    double min, max;
    valueRange(min, max);
    double labelOverflow = 0;
    const QRectF plot = plotRect(size, c->legendPosition(), min, max, &labelOverflow);
    const QVector<BarItem> bars = barItems(plot, min, max, c->animationProgress(), theme);
    const int count = categoryCount();
    const double band = plot.width() / count;

    TEVChart::drawGrid(p, plot, theme);
    p.setPen(QPen(theme.axisLineColor, 1.0));
    const double baseline = TEVChart::valueToY(plot, 0.0, min, max);
    p.drawLine(QPointF(plot.left(), plot.top()), QPointF(plot.left(), plot.bottom()));
    p.drawLine(QPointF(plot.left(), baseline), QPointF(plot.right(), baseline));

    if (hoverEnabled && hovering && hoveredCategory >= 0 && hasValueAt(hoveredCategory)) {
        p.setPen(QPen(theme.crosshairColor, 1.0, Qt::DashLine));
        const double x = plot.left() + (hoveredCategory + 0.5) * band;
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }

    // Bars stay inside the plot even while the animation or a tiny widget squeezes them.
    p.save();
    p.setClipRect(plot);
    for (const BarItem& bar : bars) {
        if (bar.rect.width() <= 0 || bar.rect.height() <= 0)
            continue;
        const bool itemHighlight = tooltipTrigger == ChartTooltipItem && bar.series == hoveredSeries &&
                                   bar.category == hoveredCategory;
        const bool axisHighlight = tooltipTrigger == ChartTooltipAxis && bar.category == hoveredCategory;
        const bool highlighted = hovering && (itemHighlight || axisHighlight);
        const BarSeries& s = series.at(bar.series);
        const QColor border = s.borderColor.isValid() ? s.borderColor : bar.color.darker(120);
        m_bars.draw(p, bar.rect, theme.barCornerRadius, border, hovering && itemHighlight ? 2.0 : 1.0,
                    highlighted ? bar.color.lighter(115) : bar.color);
    }
    p.restore();

    TEVChart::drawTitleAndValueLabels(p, title, size.width(), plot, marginLeft, min, max, theme, &m_texts,
                                      labelOverflow, &m_labelRoom);
    const int step = labelStep(band, widestLabel(p.font(), count));
    for (int i = 0; i < count; i += step) {
        const double x = plot.left() + i * band + band / 2;
        m_texts.drawElided(p, QRectF(x - 34, plot.bottom() + 8, 68, 18), Qt::AlignCenter,
                     TEVChart::categoryLabel(categories, i));
    }

    const QVector<ChartLegendItem> legend = legendItems(plot, size);
    p.setPen(Qt::NoPen);
    for (const ChartLegendItem& item : legend) {
        if (!legendItemShown(item, size))
            continue;
        p.setPen(Qt::NoPen);
        p.setBrush(item.visible ? item.color : item.color.lighter(160));
        p.drawRoundedRect(QRectF(item.rect.left(), item.rect.top() + 3, 12, 12), 3, 3);
        drawLegendText(p, item, theme, item.text, item.rect.height(), size);
    }
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQBarChart::TEVQBarChart(QWidget* parent) : TEVQChartBase(parent)
{
    tevSetImpl(new TEVQBarChartImpl(this));
    setMinimumSize(420, 260);
    setMouseTracking(true);
    loadDemoData();
}

TEVQBarChart::~TEVQBarChart() { releasePainter(); }

ControlInfo TEVQBarChart::getProps()
{
    return tevControlInfo("qtbarchart", "BarChart", "OpenGL Bar Chart", "TEVQBarChart", "columnChart");
}

void TEVQBarChart::loadDemoData()
{
    TEVChart::loadWeekDemo(*this, {120, 200, 150, 80, 70, 110, 130});
}

void TEVQBarChart::setTitle(const QString& title)
{
    painter()->title = title;
    update();
}

void TEVQBarChart::setCategories(const QStringList& categories)
{
    setCategoriesOf(painter(), categories);
}

void TEVQBarChart::setSeries(const QVector<BarSeries>& series)
{
    painter()->series = series;
    dataReplaced();
}

void TEVQBarChart::setData(const QString& name, const QVector<double>& values, const QColor& color)
{
    BarSeries s;
    s.name = name;
    s.values = values;
    s.color = color;
    painter()->series = QVector<BarSeries>{s};
    dataReplaced();
}

void TEVQBarChart::dataReplaced()
{
    hoverAgain(painter());
    startAnimation();
}

void TEVQBarChart::setHoverEnabled(bool on) { setHoverEnabledOf(painter(), on); }
void TEVQBarChart::setTooltipTrigger(int trigger) { setTooltipTriggerOf(painter(), trigger); }
void TEVQBarChart::setTooltipEnabled(bool on) { setTooltipEnabledOf(painter(), on); }

void TEVQBarChart::mousePressEvent(QMouseEvent* event)
{
    TEVQBarChartImpl* d = painter();
    if (event->button() == Qt::LeftButton) {
        const QRectF plot = d->plotRect(size(), legendPosition());
        if (toggleFromLegend(d, d->series, d->legendItems(plot, size()), event))
            return;
    }
    TEVQChartBase::mousePressEvent(event);
}

void TEVQBarChart::mouseMoveEvent(QMouseEvent* event) { hoverMove(painter(), event); }

void TEVQBarChart::leaveEvent(QEvent* event) { hoverLeave(painter(), event); }
