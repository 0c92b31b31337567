#pragma once
// A monitor-style trace: the caller appends points in widget coordinates and the widget draws them as one
// polyline with a vertical gradient pen. swapData freezes a picture of the widget; while a new pass runs, that
// picture stays visible to the right of the newest point (after a 40 px gap), so the new trace sweeps over the
// old one from left to right. The ECG chart can fill below and above the trace with vertical gradients.
// Made in code only; the control registry does not list it.
#include "TEVGlobal.h"
#include "TEVQWidgetMacros.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QVector>
#include <QWidget>

// The state and drawing both sweep trace widgets share.
struct TEV_EXPORT TEVSweepTrace {
    QVector<QPointF> points;
    QImage sweepImage;
    float lineWeight = 3.0f;
    QColor lineColorTop{0, 255, 0, 255};
    QColor lineColorBottom{0, 255, 0, 255};

    QPointF at(int i) const { return i >= 0 && i < points.size() ? points.at(i) : QPointF(0, 0); }
    void popBack();
    void popFront();
    QPen pen(const QRect& rect) const;
    // The points a painter can draw: those with finite coordinates.
    QVector<QPointF> drawablePoints() const;
    // Where the frozen picture shows: right of the newest point plus 40 px; null when nothing of it shows.
    // Without points the whole picture shows (an invalid rectangle: no clip).
    QRect sweepClip(const QSize& widgetSize, bool& show) const;
    void drawSweepImage(QPainter* painter, const QSize& widgetSize) const;
};

// The widget side both sweep trace charts share: the trace operations on the painter object's trace, and a
// translucent widget that paints no background of its own.
class TEV_EXPORT TEVSweepTraceWidget : public QWidget
{
    Q_OBJECT
public:
    void addData(float x, float y);
    void clearData();
    int dataSize() const;
    QPointF getAt(int i) const;
    void popBack();
    void popFront();
    // Freezes a picture of the whole widget as it looks now.
    void swapData();
    void setLineColor(QColor top, QColor bottom);
    void setLineWeight(float weight);
    float getLineWeight() const;

protected:
    explicit TEVSweepTraceWidget(QWidget* parent);
    // The trace of the chart's painter object.
    virtual TEVSweepTrace& sweepTrace() const = 0;
};

class TEVQECGChart;

class TEV_EXPORT TEVQECGChartImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQECGChartImpl(QWidget* owner);
    ~TEVQECGChartImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;

    TEVSweepTrace trace;
    bool fillBelow = false;
    bool fillAbove = false;
    QColor belowColorTop, belowColorBottom;
    QColor aboveColorTop, aboveColorBottom;
};

class TEV_EXPORT TEVQECGChart : public TEVSweepTraceWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TEVQECGChart, TEVSweepTraceWidget, "qtecgchart")
public:
    // createTEVQECGChart() (static, from the widget macro) makes one without a parent; typeName() is "qtecgchart".
    explicit TEVQECGChart(QWidget* parent = nullptr);
    ~TEVQECGChart() override;

    void setBelowFillColor(QColor top, QColor bottom);
    void setAboveFillColor(QColor top, QColor bottom);
    void enableFillColor(bool below, bool above);

    TEVQECGChartImpl* painter() const { return tevImpl<TEVQECGChartImpl>(); }

protected:
    TEVSweepTrace& sweepTrace() const override { return painter()->trace; }
};
