#include "TEVQECGChart.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

// ---- shared trace --------------------------------------------------------------------------------------------

void TEVSweepTrace::popBack()
{
    if (!points.isEmpty())
        points.removeLast();
}

void TEVSweepTrace::popFront()
{
    if (!points.isEmpty())
        points.removeFirst();
}

QPen TEVSweepTrace::pen(const QRect& rect) const
{
    QLinearGradient gradient(0, 0, 0, rect.height());
    gradient.setColorAt(0.0, lineColorTop);
    gradient.setColorAt(1.0, lineColorBottom);
    return QPen(QBrush(gradient), qreal(lineWeight), Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

QVector<QPointF> TEVSweepTrace::drawablePoints() const
{
    for (const QPointF& p : points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
            QVector<QPointF> out;
            out.reserve(points.size());
            for (const QPointF& q : points) {
                if (std::isfinite(q.x()) && std::isfinite(q.y()))
                    out.append(q);
            }
            return out;
        }
    }
    return points;
}

QRect TEVSweepTrace::sweepClip(const QSize& size, bool& show) const
{
    show = !sweepImage.isNull();
    if (!show || points.isEmpty())
        return QRect();
    // The newest x, bounded before it becomes an int (a point that is not a number counts as x 0). When the
    // gap reaches the right edge nothing of the old picture shows: a clip of no width would be turned round.
    const double x = points.last().x();
    const int last = std::isnan(x) ? 0 : int(qBound(-1e6, x, 1e6));
    const int width = size.width() - 40 - last;
    if (width <= 0) {
        show = false;
        return QRect();
    }
    return QRect(last + 40, 0, width, size.height());
}

void TEVSweepTrace::drawSweepImage(QPainter* painter, const QSize& size) const
{
    bool show = false;
    const QRect clip = sweepClip(size, show);
    if (!show)
        return;
    if (clip.isValid())
        painter->setClipRect(clip, Qt::ReplaceClip);
    painter->drawImage(QPointF(0, 0), sweepImage);
}

// ---- painter object ------------------------------------------------------------------------------------------

TEVQECGChartImpl::TEVQECGChartImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, TEVQECGChart::typeName()) {}

TEVQECGChartImpl::~TEVQECGChartImpl() = default;

void TEVQECGChartImpl::draw(QPainter* p, const QRect& rect)
{
    p->setRenderHint(QPainter::Antialiasing, true);
    const QVector<QPointF> pts = trace.drawablePoints();
    p->setPen(trace.pen(rect));
    p->drawPolyline(pts.constData(), pts.size());
    if ((fillBelow || fillAbove) && pts.size() >= 3) {
        const int h = owner ? owner->height() : rect.height();
        const auto fillPath = [&](double edgeY, const QColor& top, const QColor& bottom) {
            QPainterPath path(QPointF(0, edgeY));
            for (const QPointF& pt : pts)
                path.lineTo(pt);
            path.lineTo(pts.last().x(), edgeY);
            QLinearGradient gradient(0, 0, 0, rect.height());
            gradient.setColorAt(0.0, top);
            gradient.setColorAt(1.0, bottom);
            p->fillPath(path, gradient);
        };
        if (fillBelow)
            fillPath(h, belowColorTop, belowColorBottom);
        if (fillAbove)
            fillPath(0, aboveColorTop, aboveColorBottom);
    }
    trace.drawSweepImage(p, rect.size());
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVSweepTraceWidget::TEVSweepTraceWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setBackgroundRole(QPalette::NoRole);
    setAutoFillBackground(false);
}

void TEVSweepTraceWidget::addData(float x, float y)
{
    sweepTrace().points.append(QPointF(qreal(x), qreal(y)));
    update();
}

void TEVSweepTraceWidget::clearData() { sweepTrace().points.clear(); }
int TEVSweepTraceWidget::dataSize() const { return sweepTrace().points.size(); }
QPointF TEVSweepTraceWidget::getAt(int i) const { return sweepTrace().at(i); }
void TEVSweepTraceWidget::popBack() { sweepTrace().popBack(); }
void TEVSweepTraceWidget::popFront() { sweepTrace().popFront(); }
void TEVSweepTraceWidget::swapData() { sweepTrace().sweepImage = grab(rect()).toImage(); }

void TEVSweepTraceWidget::setLineColor(QColor top, QColor bottom)
{
    sweepTrace().lineColorTop = top;
    sweepTrace().lineColorBottom = bottom;
}

void TEVSweepTraceWidget::setLineWeight(float weight) { sweepTrace().lineWeight = weight; }
float TEVSweepTraceWidget::getLineWeight() const { return sweepTrace().lineWeight; }

TEVQECGChart::TEVQECGChart(QWidget* parent) : TEVSweepTraceWidget(parent)
{
    tevSetImpl(new TEVQECGChartImpl(this), true);
}

TEVQECGChart::~TEVQECGChart() = default;

void TEVQECGChart::setBelowFillColor(QColor top, QColor bottom)
{
    painter()->belowColorTop = top;
    painter()->belowColorBottom = bottom;
}

void TEVQECGChart::setAboveFillColor(QColor top, QColor bottom)
{
    painter()->aboveColorTop = top;
    painter()->aboveColorBottom = bottom;
}

void TEVQECGChart::enableFillColor(bool below, bool above)
{
    painter()->fillBelow = below;
    painter()->fillAbove = above;
}
