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

TEVQICDChart::TEVQICDChart(QWidget* parent) : TEVSweepTraceWidget(parent)
{
    tevSetImpl(new TEVQICDChartImpl(this), false);
}

TEVQICDChart::~TEVQICDChart() = default;

void TEVQICDChart::setICDType(TEVQtICDType type) { painter()->icdType = type; }
void TEVQICDChart::addMarker(float, bool) {}
void TEVQICDChart::addMarkerValue(float, int, int, int) {}
