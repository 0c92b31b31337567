#pragma once
// One or more series over shared categories as straight or smoothed lines with optional area fills and point
// symbols, a dashed hover guide with markers, tooltips per point or per category, a legend that toggles series,
// and an optional data-zoom slider under the plot selecting the visible category window. The opening animation
// raises the points from the bottom of the plot in a left-to-right wave.
//
// Series far denser than the plot's pixels are drawn from a per-pixel-column reduction (first, lowest,
// highest and last point of each column), which gives the same visible line at a fraction of the cost.
#include "TEVChartDrawing.h"
#include "TEVQChartBase.h"
#include "TEVQDataZoom.h"
#include "TEVQWidgetMacros.h"

#include <QOpenGLFunctions>
#include <QPainterPath>

#include <functional>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQLineChart;

struct TEV_EXPORT LineHit {
    bool found = false;
    int series = -1;
    int index = -1;
    double distance = 1e9;
    QPointF point;
};

class TEV_EXPORT TEVQLineChartImpl : public TEVQChartBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQLineChartImpl(TEVQLineChart* owner);
    ~TEVQLineChartImpl() override;

    int categoryCount() const;
    void visibleWindow(int& start, int& end) const;
    void valueRange(int start, int end, double& min, double& max) const;
    // Moved right by the value labels' overflow (TEVChart::ValueLabelRoom), given through labelOverflow; the
    // second form for the visible window's value range found already.
    QRectF plotRect(const QSize& size, int legendPosition, double* labelOverflow = nullptr) const;
    QRectF plotRect(const QSize& size, int legendPosition, double min, double max, double* labelOverflow) const;
    QRectF sliderRect(const QRectF& plot, int legendPosition) const;
    // The value of point i of a series with n values at progress p, growing from base.
    static double animatedValue(const QVector<double>& values, int i, double progress, double base);
    // The plotted points of series s (none when hidden or non-finite) and the category index of each.
    void seriesPoints(int s, const QRectF& plot, int start, int end, double min, double max, double progress,
                      QVector<QPointF>& points, QVector<int>* indices) const;
    static QPainterPath linePath(const QVector<QPointF>& points, bool smooth);
    // Per pixel column: the first, lowest, highest and last point, in order. Unchanged when points are sparse.
    static QVector<QPointF> reduceToColumns(const QVector<QPointF>& points);
    LineHit nearestPoint(const QPoint& pos, const QRectF& plot, int start, int end, double min, double max,
                         double progress) const;
    bool hasVisibleValues() const;
    bool hasValueAt(int index) const;
    bool updateHover(const QPoint& pos);
    bool clearHover();
    QVector<ChartLegendItem> legendItems(const QRectF& plot, const QSize& size) const;
    // The category indexes whose labels are drawn for the window and plot width: every step-th from start, and
    // end as well. With drawnWidth (how wide label i is drawn: its text, at most its 68 px box), the label
    // before end gives way to it when the two texts would come closer than 6 px.
    static QVector<int> labelIndexes(int start, int end, double plotWidth,
                                     const std::function<double(int)>& drawnWidth = {});
    // labelIndexes with the category labels measured in font; kept until the window, the plot width, the font
    // or the categories change, so that a repaint measures nothing.
    const QVector<int>& drawnLabelIndexes(int start, int end, double plotWidth, const QFont& font);
    void paint(QPainter& painter, const QSize& size);

    QString title = QStringLiteral("Basic Line Chart");
    QStringList categories;
    QVector<LineSeries> series;
    bool showSymbols = true;
    bool smooth = false;
    bool area = false;
    bool tooltipEnabled = false;
    bool hoverEnabled = true;
    int tooltipTrigger = ChartTooltipNone;
    int marginLeft = 56, marginTop = 48, marginRight = 40, marginBottom = 76;
    bool hovering = false;
    int hoveredIndex = -1;
    int hoveredSeries = -1;
    QPointF hoveredPoint;
    QPoint lastMousePos;
    DataZoom zoom;

private:
    TEVQLineChart* chart() const;
    // Prepared symbols and line dots, kept between paints.
    mutable TEVChart::CircleSprites m_sprites;
    mutable TEVChart::ValueLabelRoom m_labelRoom;
    // The category label indexes drawn last and what they were chosen for.
    struct LabelPlacement {
        bool valid = false;
        int start = 0;
        int end = 0;
        double plotWidth = 0;
        QFont font;
        QStringList categories;
        QVector<int> indexes;
    } m_labelPlacement;
    void drawSeries(QPainter& p, int s, const QVector<QPointF>& points, const QVector<int>& indices,
                    const QRectF& plot, const ChartTheme& theme) const;
};

class TEV_EXPORT TEVQLineChart : public TEVQChartBase, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQLineChart, "qtlinechart")
    TEV_CHART_GL(kChartHints)
public:
    explicit TEVQLineChart(QWidget* parent = nullptr);
    ~TEVQLineChart() override;

    static TEVQtLib::ControlInfo getProps();

    void loadDemoData();
    void setTitle(const QString& title);
    void setCategories(const QStringList& categories);
    void setSeries(const QVector<LineSeries>& series);
    void setData(const QString& name, const QVector<double>& values, const QColor& color);
    void setHoverEnabled(bool on);
    void setTooltipTrigger(int trigger);
    // Whether hovering shows tooltip text; nothing in the chart changes it.
    void setTooltipEnabled(bool on);
    void setZoomEnabled(bool on);
    DataZoomStyle zoomStyle() const;
    void setZoomStyle(const DataZoomStyle& style);

    const QString& title() const { return painter()->title; }
    const QStringList& categories() const { return painter()->categories; }
    const QVector<LineSeries>& series() const { return painter()->series; }
    const DataZoom& zoom() const { return painter()->zoom; }
    TEVQLineChartImpl* painter() const { return tevImpl<TEVQLineChartImpl>(); }


protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void dataReplaced();
    QRectF currentSliderRect() const;
};
