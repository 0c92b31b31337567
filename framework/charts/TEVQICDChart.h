#pragma once
// The sweep trace of TEVQECGChart without fills and without antialiasing, with a trace type that switches
// between the data polyline and a flat line 40 px below the top. Made in code only; shares the type name
// "qtecgchart" with the ECG chart.
#include "TEVQECGChart.h"

enum TEVQtICDType : int {
    ICDTrace = 0,
    ICDFlatLine = 1,
};

class TEV_EXPORT TEVQICDChartImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQICDChartImpl(QWidget* owner);
    ~TEVQICDChartImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;

    TEVSweepTrace trace;
    TEVQtICDType icdType = ICDTrace;
};

class TEV_EXPORT TEVQICDChart : public TEVSweepTraceWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TEVQICDChart, TEVSweepTraceWidget, "qtecgchart")
public:
    // createTEVQICDChart() (static, from the widget macro) makes one without a parent; typeName() is "qtecgchart".
    explicit TEVQICDChart(QWidget* parent = nullptr);
    ~TEVQICDChart() override;

    void setICDType(TEVQtICDType type);
    // Markers are not drawn by this chart.
    void addMarker(float x, bool on);
    void addMarkerValue(float x, int r, int g, int b);

    TEVQICDChartImpl* painter() const { return tevImpl<TEVQICDChartImpl>(); }

protected:
    TEVSweepTrace& sweepTrace() const override { return painter()->trace; }
};
