#include "TEVQOpenGLPieChart.h"

#include "TEVQControlInfo.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

using namespace TEVQtLib;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A value's share of the total: non-finite and negative values take none.
double usable(double value) { return std::isfinite(value) ? qMax(value, 0.0) : 0.0; }

double wrapDegrees(double a)
{
    a = std::fmod(a, 360.0);
    if (a < 0)
        a += 360.0;
    return a;
}

// Sixteenths of a degree for QPainter: halves round up; values that no int holds are bounded first.
int roundHalfUp(double v) { return int(std::floor(qBound(-1e8, v, 1e8) + 0.5)); }

} // namespace

// ---- painter object ------------------------------------------------------------------------------------------

TEVQOpenGLPieChartImpl::TEVQOpenGLPieChartImpl(TEVQOpenGLPieChart* owner)
    : TEVQChartBaseImpl(owner, TEVQOpenGLPieChart::typeName())
{
}

TEVQOpenGLPieChartImpl::~TEVQOpenGLPieChartImpl() = default;

TEVQOpenGLPieChart* TEVQOpenGLPieChartImpl::chart() const { return static_cast<TEVQOpenGLPieChart*>(owner); }

QRectF TEVQOpenGLPieChartImpl::pieRect(const QSize& size, int legendPosition)
{
    const int w = size.width();
    const int h = size.height();
    double a, b, x, y, side;
    switch (legendPosition) {
    case ChartLegendTop:
        a = h - 170;
        b = w - 96;
        side = qMin(420.0, qMin(a, b));
        x = (w - side) / 2;
        y = 132;
        break;
    case ChartLegendRight:
        a = (h - 92) - 24;
        b = w - 236 - 48;
        side = qMin(420.0, qMin(a, b));
        x = qMax(b - side, 0.0) / 2 + 24;
        y = 68;
        break;
    case ChartLegendLeft: {
        const int l = qMin(w / 3, 220) + 40;
        a = (h - 92) - 24;
        b = w - l - 28;
        side = qMin(420.0, qMin(a, b));
        x = qMax(w - l - side - 28, 0.0) / 2 + l;
        y = 68;
        break;
    }
    default:
        a = h - 188;
        b = w - 96;
        side = qMin(420.0, qMin(a, b));
        x = (w - side) / 2;
        y = 68;
        break;
    }
    // A widget too small for any pie gets an empty square rather than one turned inside out.
    return QRectF(x, y, qMax(side, 0.0), qMax(side, 0.0));
}

QRectF TEVQOpenGLPieChartImpl::legendRect(const QRectF& pie, const QSize& size, int legendPosition) const
{
    if (slices.isEmpty())
        return QRectF();
    const int w = size.width();
    const int h = size.height();
    switch (legendPosition) {
    case ChartLegendTop:
        return QRectF(48, 48, w - 96, 62);
    case ChartLegendRight:
        return QRectF(pie.right() + 20, 72, w - pie.right() - 36, h - 120);
    case ChartLegendLeft:
        return QRectF(24, 72, qMin(w / 3, 220), h - 120);
    default:
        return QRectF(48, pie.bottom() + 24, w - 96, 88);
    }
}

const QVector<int>& TEVQOpenGLPieChartImpl::legendTextWidths(const QFont& font) const
{
    QStringList texts;
    texts.reserve(slices.size());
    for (int i = 0; i < slices.size(); ++i)
        texts << (slices.at(i).label.isEmpty() ? QStringLiteral("Slice %1").arg(i + 1) : slices.at(i).label);
    return m_legendWidths.widths(texts, font);
}

QVector<ChartLegendItem> TEVQOpenGLPieChartImpl::legendItems(const QRectF& r, int legendPosition) const
{
    QVector<ChartLegendItem> items;
    if (r.isEmpty())
        return items;
    const bool vertical = legendPosition == ChartLegendRight || legendPosition == ChartLegendLeft;
    QFont font = chart()->font();
    font.setPixelSize(11);
    const QVector<int>& widths = legendTextWidths(font);
    int x = qRound(r.left());
    int y = qRound(r.top());
    const ChartTheme& theme = chart()->theme();
    items.reserve(slices.size());
    for (int i = 0; i < slices.size(); ++i) {
        ChartLegendItem item;
        item.index = i;
        item.color = TEVChart::autoColor(slices.at(i).colour, theme, i);
        item.text = slices.at(i).label.isEmpty() ? QStringLiteral("Slice %1").arg(i + 1) : slices.at(i).label;
        item.visible = slices.at(i).visible;
        const int width = vertical ? qRound(r.width()) - 6 : qMin(widths.value(i) + 84, 200);
        item.rect = QRectF(x, y, width, 18);
        items.append(item);
        if (vertical) {
            y += 24;
        } else {
            x += 10 + width;
            if (x + 140 > r.right()) {
                x = qRound(r.left());
                y += 22;
            }
        }
    }
    return items;
}

double TEVQOpenGLPieChartImpl::total() const
{
    double sum = 0;
    for (const PieSlice& s : slices) {
        if (s.visible)
            sum += usable(s.value);
    }
    return sum;
}

double TEVQOpenGLPieChartImpl::scaledTotal(double& scale) const
{
    scale = 1.0;
    double sum = total();
    if (!std::isinf(sum))
        return sum;
    // n values of at most the largest double, each scaled by 2^-(e + 1) with n <= 2^e, cannot overflow their sum.
    int n = 0;
    for (const PieSlice& s : slices)
        n += s.visible && usable(s.value) > 0 ? 1 : 0;
    int e = 0;
    std::frexp(double(n), &e);
    scale = std::ldexp(1.0, -(e + 1));
    sum = 0;
    for (const PieSlice& s : slices) {
        if (s.visible)
            sum += usable(s.value) * scale;
    }
    return sum;
}

QVector<PieSliceGeometry> TEVQOpenGLPieChartImpl::sliceGeometry(double progress) const
{
    QVector<PieSliceGeometry> out;
    double scale = 1.0;
    const double sum = scaledTotal(scale);
    if (!(sum > 0) || !std::isfinite(sum))
        return out;
    const ChartTheme& theme = chart()->theme();
    double a = startAngle;
    for (int i = 0; i < slices.size(); ++i) {
        const PieSlice& s = slices.at(i);
        if (!s.visible || !(usable(s.value) > 0))
            continue;
        PieSliceGeometry g;
        g.index = i;
        g.value = s.value;
        g.startAngle = a;
        const double part = s.value * scale / sum;
        g.spanAngle = part * sweepAngle * progress;
        g.midAngle = a + g.spanAngle / 2;
        g.colour = TEVChart::autoColor(s.colour, theme, i);
        out.append(g);
        a += part * sweepAngle;
    }
    return out;
}

bool TEVQOpenGLPieChartImpl::sliceContains(double start, double span, double angle)
{
    if (!(span > 0))
        return false;
    // A slice of a full turn (one visible slice) holds every angle; brought into [0, 360) its ends would meet.
    if (span >= 360.0)
        return true;
    const double s = wrapDegrees(start);
    const double e = wrapDegrees(start + span);
    if (e < s)
        return angle >= s || angle <= e;
    return s <= angle && angle <= e;
}

int TEVQOpenGLPieChartImpl::sliceAt(const QPointF& pos, const QRectF& pie, double progress) const
{
    const QPointF c = pie.center();
    const double dx = pos.x() - c.x();
    const double dy = pos.y() - c.y();
    const double d = std::sqrt(dx * dx + dy * dy);
    const double r = pie.width() / 2;
    if (d > r || r * innerRadiusRatio > d)
        return -1;
    const double angle = wrapDegrees(std::atan2(dx, -dy) * 180.0 / kPi);
    for (const PieSliceGeometry& g : sliceGeometry(progress)) {
        if (sliceContains(g.startAngle, g.spanAngle, angle))
            return g.index;
    }
    return -1;
}

QString TEVQOpenGLPieChartImpl::tooltipText(int index) const
{
    if (index < 0 || index >= slices.size())
        return QString();
    const PieSlice& s = slices.at(index);
    double scale = 1.0;
    const double sum = scaledTotal(scale);
    const double percent = sum > 0 && std::isfinite(sum) ? s.value * scale / sum * 100 : 0.0;
    return QStringLiteral("%1\n%2 (%3%)")
        .arg(s.label.isEmpty() ? QStringLiteral("Slice") : s.label, TEVChart::formatNumber(s.value),
             TEVChart::formatNumber(percent));
}

bool TEVQOpenGLPieChartImpl::clearHover()
{
    const bool was = hoverActive || hoveredSlice != -1;
    hoverActive = false;
    hoveredSlice = -1;
    if (TEVQOpenGLPieChart* c = chart())
        c->hideTooltip();
    return was;
}

bool TEVQOpenGLPieChartImpl::updateHover(const QPoint& pos, const QRectF& pie)
{
    if (!hoverEnabled || tooltipTrigger == ChartTooltipNone)
        return clearHover();
    TEVQOpenGLPieChart* c = chart();
    const int i = sliceAt(pos, pie, c->animationProgress());
    if (i < 0)
        return clearHover();
    const bool changed = !(hoverActive && hoveredSlice == i && lastMousePos == pos);
    hoverActive = true;
    hoveredSlice = i;
    lastMousePos = pos;
    if (tooltipEnabled)
        c->showTooltip(pos, tooltipText(i));
    else
        c->hideTooltip();
    return changed;
}

void TEVQOpenGLPieChartImpl::drawLabels(QPainter& p, const QRectF& pie,
                                        const QVector<PieSliceGeometry>& geometry) const
{
    if (!showLabels || geometry.isEmpty())
        return;
    double scale = 1.0;
    const double sum = scaledTotal(scale);
    const QPointF c = pie.center();
    const double r = pie.width() / 2;
    const ChartTheme& theme = chart()->theme();
    p.save();
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    for (const PieSliceGeometry& g : geometry) {
        const double m = g.midAngle * kPi / 180.0;
        const QPointF inner(c.x() + std::sin(m) * r * 0.88, c.y() - std::cos(m) * r * 0.88);
        const QPointF outer(c.x() + std::sin(m) * (r + 16), c.y() - std::cos(m) * (r + 16));
        const bool right = outer.x() >= c.x();
        const QRectF text = right ? QRectF(outer.x() + 18, outer.y() - 14, 120, 28)
                                  : QRectF(outer.x() - 18 - 120, outer.y() - 14, 120, 28);
        const double percent = sum > 0 ? g.value * scale / sum * 100 : 0.0;
        p.setPen(QPen(g.colour.darker(110), 1.2));
        p.drawLine(inner, outer);
        p.drawLine(outer, QPointF(right ? text.left() : text.right(), outer.y()));
        p.setPen(theme.axisLabelColor);
        m_texts.draw(p, text, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                     QStringLiteral("%1  %2%").arg(slices.at(g.index).label, TEVChart::formatNumber(percent)));
    }
    p.restore();
}

void TEVQOpenGLPieChartImpl::paint(QPainter& p, const QSize& size)
{
    TEVQOpenGLPieChart* c = chart();
    const ChartTheme& theme = c->theme();
    const int lp = c->legendPosition();
    p.fillRect(QRect(QPoint(0, 0), size), c->backgroundColor());

    p.save();
    QFont font = p.font();
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    p.setFont(font);
    p.setPen(theme.titleColor);
    m_texts.draw(p, QRectF(0, 10, size.width(), 24), Qt::AlignHCenter | Qt::AlignTop, title);
    p.restore();

    const QRectF pie = pieRect(size, lp);
    const QRectF legend = legendRect(pie, size, lp);
    const QVector<PieSliceGeometry> geometry = sliceGeometry(c->animationProgress());

    p.setPen(Qt::NoPen);
    if (!pie.isEmpty()) {
        for (const PieSliceGeometry& g : geometry) {
            if (!std::isfinite(g.startAngle) || !std::isfinite(g.spanAngle))
                continue;
            const bool hovered = hoverActive && hoveredSlice == g.index;
            p.setBrush(hovered ? g.colour.lighter(115) : g.colour);
            const int span = roundHalfUp(-g.spanAngle * 16);
            // Qt draws a span of 5760 or more as the whole circle, which is what a full turn means here too.
            p.drawPie(pie, roundHalfUp((90 - g.startAngle) * 16), span);
        }
        if (innerRadiusRatio > 0) {
            const double hole = pie.width() * qMin(innerRadiusRatio, 1.0);
            p.setBrush(theme.plotBackgroundColor);
            p.drawEllipse(pie.center(), hole / 2, hole / 2);
        }
        drawLabels(p, pie, geometry);
    }

    p.save();
    font = p.font();
    font.setPixelSize(11);
    font.setWeight(QFont::Normal);
    p.setFont(font);
    for (const ChartLegendItem& item : legendItems(legend, lp)) {
        if (!legendItemShown(item, size))
            continue;
        p.setPen(Qt::NoPen);
        p.setBrush(item.visible ? item.color : item.color.lighter(160));
        p.drawEllipse(QRectF(item.rect.left(), item.rect.top() + 3, 12, 12));
        drawLegendText(p, item, theme,
                       QStringLiteral("%1  %2").arg(item.text, TEVChart::formatNumber(slices.at(item.index).value)),
                       18, size);
    }
    p.restore();
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQOpenGLPieChart::TEVQOpenGLPieChart(QWidget* parent) : TEVQChartBase(parent)
{
    tevSetImpl(new TEVQOpenGLPieChartImpl(this));
    setMinimumSize(420, 260);
    setMouseTracking(true);
    loadDemoData();
}

TEVQOpenGLPieChart::~TEVQOpenGLPieChart() { releasePainter(); }

ControlInfo TEVQOpenGLPieChart::getProps()
{
    return tevControlInfo("qtopenglpiechart", "PieChart", "OpenGL Pie Chart", "TEVQOpenGLPieChart", "pieChart");
}

void TEVQOpenGLPieChart::loadDemoData()
{
    const auto slice = [](const char* label, double value) {
        PieSlice s;
        s.label = QString::fromLatin1(label);
        s.value = value;
        return s;
    };
    const QVector<PieSlice> demo{slice("Search Engine", 1048), slice("Direct", 735), slice("Email", 580),
                                 slice("Union Ads", 484), slice("Video Ads", 300)};
    setTheme(0);
    setBackgroundColor(QColor());
    setSlices(demo);
}

void TEVQOpenGLPieChart::setSlices(const QVector<PieSlice>& slices)
{
    replaceData(painter(), painter()->slices, slices);
}

void TEVQOpenGLPieChart::mousePressEvent(QMouseEvent* event)
{
    TEVQOpenGLPieChartImpl* d = painter();
    if (event->button() == Qt::LeftButton) {
        const QRectF pie = d->pieRect(size(), legendPosition());
        const QRectF legend = d->legendRect(pie, size(), legendPosition());
        if (toggleFromLegend(d, d->slices, d->legendItems(legend, legendPosition()), event))
            return;
    }
    TEVQChartBase::mousePressEvent(event);
}

void TEVQOpenGLPieChart::mouseMoveEvent(QMouseEvent* event)
{
    TEVQChartBase::mouseMoveEvent(event);
    if (painter()->updateHover(event->pos(), painter()->pieRect(size(), legendPosition())))
        update();
}

void TEVQOpenGLPieChart::leaveEvent(QEvent* event) { hoverLeave(painter(), event); }
