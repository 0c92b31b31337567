#include "TEVQICDChart.h"

#include <QPainter>

TEVQICDChartImpl::TEVQICDChartImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, TEVQICDChart::typeName())
{
    trace.lineWeight = 1.0f;
}

TEVQICDChartImpl::~TEVQICDChartImpl() = default;

void TEVQICDChartImpl::draw(QPainter* p, const QRect& rect)
{
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setPen(trace.pen(rect));
    if (icdType == ICDTrace) {
        const QVector<QPointF> pts = trace.drawablePoints();
        p->drawPolyline(pts.constData(), pts.size());
    } else if (icdType == ICDFlatLine) {
        p->drawLine(QPointF(0, 40), QPointF(rect.width(), 40));
    }
    trace.drawSweepImage(p, rect.size());
}

TEVQICDChart::TEVQICDChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setBackgroundRole(QPalette::NoRole);
    setAutoFillBackground(false);
    tevSetImpl(new TEVQICDChartImpl(this), false);
}

TEVQICDChart::~TEVQICDChart() = default;

void TEVQICDChart::addData(float x, float y)
{
    painter()->trace.points.append(QPointF(qreal(x), qreal(y)));
    update();
}

void TEVQICDChart::clearData() { painter()->trace.points.clear(); }
int TEVQICDChart::dataSize() const { return painter()->trace.points.size(); }
QPointF TEVQICDChart::getAt(int i) const { return painter()->trace.at(i); }
void TEVQICDChart::popBack() { painter()->trace.popBack(); }
void TEVQICDChart::popFront() { painter()->trace.popFront(); }
void TEVQICDChart::swapData() { painter()->trace.sweepImage = grab(rect()).toImage(); }

void TEVQICDChart::setLineColor(QColor top, QColor bottom)
{
    painter()->trace.lineColorTop = top;
    painter()->trace.lineColorBottom = bottom;
}

void TEVQICDChart::setLineWeight(float weight) { painter()->trace.lineWeight = weight; }
float TEVQICDChart::getLineWeight() const { return painter()->trace.lineWeight; }
void TEVQICDChart::setICDType(TEVQtICDType type) { painter()->icdType = type; }
void TEVQICDChart::addMarker(float, bool) {}
void TEVQICDChart::addMarkerValue(float, int, int, int) {}
