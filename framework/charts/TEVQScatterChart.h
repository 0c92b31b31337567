#pragma once
// Series of (x, y) points drawn as round symbols over a grid with six value labels per axis, a legend whose
// entries switch series on and off, a nearest-symbol hover with an enlarged filled symbol and a tooltip, and the
// opening animation in which the symbols rise from the x axis and grow to their size. The chart fills itself
// with two demonstration series.
//
// Series of many points draw their resting symbols from one pre-rendered ring per series, placed on whole
// pixels and once per pixel: the same picture as symbol by symbol, many times faster.
#include "TEVChartDrawing.h"
#include "TEVQChartBase.h"
#include "TEVQWidgetMacros.h"

#include <QOpenGLFunctions>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQScatterChart;

struct TEV_EXPORT ScatterSeries {
    QString name;
    QVector<QPointF> points;  // data units
    QColor colour;            // invalid: the palette colour of the series' index
    bool visible = true;      // hidden series are not drawn, not hovered and not in the bounds
    double symbolSize = 8.0;  // diameter in pixels
};

struct TEV_EXPORT ScatterHit {
    bool found = false;
    int series = -1;
    int point = -1;
    double x = 0;
    double y = 0;
    double distance = 1e9;
};

struct TEV_EXPORT ScatterBounds {
    double minX = 0, maxX = 1, minY = 0, maxY = 1;
};

class TEV_EXPORT TEVQScatterChartImpl : public TEVQChartBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQScatterChartImpl(TEVQScatterChart* owner);
    ~TEVQScatterChartImpl() override;

    QRectF plotRect(const QSize& size, int legendPosition) const;
    QVector<ChartLegendItem> legendItems(const QRectF& plot, const QSize& size, int legendPosition) const;
    ScatterBounds dataBounds() const;
    // The symbol's centre of a point at animation progress p.
    static QPointF symbolPos(const QPointF& point, const QRectF& plot, const ScatterBounds& b, double progress);
    // Axis label k of six: x from the left (0) to the right (5), y from the top (0) to the bottom (5).
    static QString axisLabelX(int k, const ScatterBounds& b);
    static QString axisLabelY(int k, const ScatterBounds& b);
    ScatterHit nearestPoint(const QPointF& pos, const QRectF& plot, const ScatterBounds& b, double progress) const;
    QString tooltipText(int series, int point) const;
    // Hover at pos: true when a repaint is due.
    bool updateHover(const QPoint& pos);
    // Clears the hover state and hides the tooltip; true when a symbol was hovered.
    bool clearHover();
    void paint(QPainter& painter, const QSize& size);

    QString title = QStringLiteral("Basic Scatter Chart");
    QVector<ScatterSeries> series;
    bool tooltipEnabled = true;
    bool hoverEnabled = true;
    int tooltipTrigger = ChartTooltipItem;
    int marginLeft = 56, marginTop = 48, marginRight = 24, marginBottom = 76;
    bool hoverActive = false;
    int hoveredSeries = -1;
    int hoveredPoint = -1;
    QPoint lastMousePos;

private:
    TEVQScatterChart* chart() const;
    void drawPoints(QPainter& p, const QRectF& plot, const ScatterBounds& b, double progress) const;
    void drawAxes(QPainter& p, const QRectF& plot, const ScatterBounds& b, const QSize& size) const;
    void drawLegend(QPainter& p, const QRectF& plot, const QSize& size, int legendPosition) const;
    const QVector<int>& legendTextWidths() const;

    // The ring of the last series drawn from a sprite, kept while its look stays the same.
    struct Sprite {
        QImage image;
        QColor colour, fill;
        double radius = -1;
        qreal dpr = 0;
    };
    mutable QVector<Sprite> m_sprites;
};

class TEV_EXPORT TEVQScatterChart : public TEVQChartBase, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQScatterChart, "qtscatterchart")
    TEV_CHART_GL(QPainter::Antialiasing | QPainter::TextAntialiasing)
public:
    explicit TEVQScatterChart(QWidget* parent = nullptr);
    ~TEVQScatterChart() override;

    static TEVQtLib::ControlInfo getProps();

    void loadDemoData();
    // Replaces the series and restarts the opening animation.
    void setSeries(const QVector<ScatterSeries>& series);

    TEVQScatterChartImpl* painter() const { return tevImpl<TEVQScatterChartImpl>(); }


protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
