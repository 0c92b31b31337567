#pragma once
// One ring of slices whose angles follow their share of the total, with an optional hole (a donut), optional
// outside labels with leader lines, a legend whose entries switch slices on and off, a hover highlight with a
// tooltip, and the opening animation in which every slice grows clockwise from its start angle. Angles are in
// degrees, 0 at twelve o'clock, growing clockwise. The chart fills itself with five demonstration slices.
#include "TEVChartDrawing.h"
#include "TEVQChartBase.h"
#include "TEVQWidgetMacros.h"

#include <QOpenGLFunctions>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQOpenGLPieChart;

struct TEV_EXPORT PieSlice {
    QString label;
    double value = 0;   // <= 0 takes no angle
    QColor colour;      // invalid: the palette colour of the slice's index
    bool visible = true; // hidden slices take no angle and add nothing to the total
};

struct TEV_EXPORT PieSliceGeometry {
    int index = 0;
    double value = 0;
    double startAngle = 0;
    double spanAngle = 0;
    double midAngle = 0;
    QColor colour;
};

class TEV_EXPORT TEVQOpenGLPieChartImpl : public TEVQChartBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQOpenGLPieChartImpl(TEVQOpenGLPieChart* owner);
    ~TEVQOpenGLPieChartImpl() override;

    static QRectF pieRect(const QSize& size, int legendPosition);
    QRectF legendRect(const QRectF& pie, const QSize& size, int legendPosition) const;
    QVector<ChartLegendItem> legendItems(const QRectF& legend, int legendPosition) const;
    QVector<PieSliceGeometry> sliceGeometry(double progress) const;
    // The slice under pos for the pie square, or -1.
    int sliceAt(const QPointF& pos, const QRectF& pie, double progress) const;
    // Whether the slice from start spanning span degrees contains the angle (all in degrees).
    static bool sliceContains(double start, double span, double angle);
    double total() const;
    QString tooltipText(int index) const;
    // Hover at pos: true when a repaint is due.
    bool updateHover(const QPoint& pos, const QRectF& pie);
    // Clears the hover state and hides the tooltip; true when a slice was hovered.
    bool clearHover();
    void paint(QPainter& painter, const QSize& size);

    QString title = QStringLiteral("Basic Pie Chart");
    QVector<PieSlice> slices;
    bool tooltipEnabled = true;
    bool hoverEnabled = true;
    int tooltipTrigger = ChartTooltipItem;
    double innerRadiusRatio = 0.0;
    double startAngle = 0.0;
    double sweepAngle = 360.0;
    bool showLabels = false;
    bool hoverActive = false;
    int hoveredSlice = -1;
    QPoint lastMousePos;

private:
    TEVQOpenGLPieChart* chart() const;
    // The visible slices' total; where the plain sum overflows, the sum of the values scaled down by a power of
    // two (given in scale), so that values near the largest double still share the pie.
    double scaledTotal(double& scale) const;
    void drawLabels(QPainter& p, const QRectF& pie, const QVector<PieSliceGeometry>& geometry) const;
    // The legend's text widths for the slice labels, measured once per label font.
    const QVector<int>& legendTextWidths(const QFont& font) const;
};

class TEV_EXPORT TEVQOpenGLPieChart : public TEVQChartBase, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQOpenGLPieChart, "qtopenglpiechart")
    TEV_CHART_GL(QPainter::Antialiasing | QPainter::TextAntialiasing)
public:
    explicit TEVQOpenGLPieChart(QWidget* parent = nullptr);
    ~TEVQOpenGLPieChart() override;

    static TEVQtLib::ControlInfo getProps();

    void loadDemoData();
    // Replaces the slices and restarts the opening animation.
    void setSlices(const QVector<PieSlice>& slices);

    TEVQOpenGLPieChartImpl* painter() const { return tevImpl<TEVQOpenGLPieChartImpl>(); }


protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
