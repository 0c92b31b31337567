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

TEVQECGChart::TEVQECGChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setBackgroundRole(QPalette::NoRole);
    setAutoFillBackground(false);
    tevSetImpl(new TEVQECGChartImpl(this), true);
}

TEVQECGChart::~TEVQECGChart() = default;

void TEVQECGChart::addData(float x, float y)
{
    painter()->trace.points.append(QPointF(qreal(x), qreal(y)));
    update();
}

void TEVQECGChart::clearData() { painter()->trace.points.clear(); }
int TEVQECGChart::dataSize() const { return painter()->trace.points.size(); }
QPointF TEVQECGChart::getAt(int i) const { return painter()->trace.at(i); }
void TEVQECGChart::popBack() { painter()->trace.popBack(); }
void TEVQECGChart::popFront() { painter()->trace.popFront(); }
void TEVQECGChart::swapData() { painter()->trace.sweepImage = grab(rect()).toImage(); }

void TEVQECGChart::setLineColor(QColor top, QColor bottom)
{
    painter()->trace.lineColorTop = top;
    painter()->trace.lineColorBottom = bottom;
}

void TEVQECGChart::setLineWeight(float weight) { painter()->trace.lineWeight = weight; }
float TEVQECGChart::getLineWeight() const { return painter()->trace.lineWeight; }

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
