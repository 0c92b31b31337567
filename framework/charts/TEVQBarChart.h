#pragma once
// Grouped vertical bars: one group per category, one bar per visible series, with a title, six value labels,
// category labels, a legend that toggles series, a hover highlight with a dashed guide, optional tooltips and
// the opening animation that grows every bar from 0. The geometry (range, plot, bars, hover hit) is plain
// functions of the painter object over its fields, so it is tested without painting.
#include "TEVChartDrawing.h"
#include "TEVQChartBase.h"
#include "TEVQWidgetMacros.h"

#include <QOpenGLFunctions>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQBarChart;

struct TEV_EXPORT BarItem {
    int series = 0;
    int category = 0;
    QRectF rect;
    QColor color;
};

class TEV_EXPORT TEVQBarChartImpl : public TEVQChartBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQBarChartImpl(TEVQBarChart* owner);
    ~TEVQBarChartImpl() override;

    // max(categories, the longest visible series), at least 1.
    int categoryCount() const;
    // The value range of the visible series' finite values; 0..1 when there are none.
    void valueRange(double& min, double& max) const;
    // Moved right by the value labels' overflow (TEVChart::ValueLabelRoom), given through labelOverflow; the
    // second form for a value range found already.
    QRectF plotRect(const QSize& size, int legendPosition, double* labelOverflow = nullptr) const;
    QRectF plotRect(const QSize& size, int legendPosition, double min, double max, double* labelOverflow) const;
    QVector<BarItem> barItems(const QRectF& plot, double min, double max, double progress,
                              const ChartTheme& theme) const;
    bool hasVisibleValues() const;
    bool hasValueAt(int category) const;
    // Hover at pos: true when a repaint is due.
    bool updateHover(const QPoint& pos);
    // Clears the hover state and hides the tooltip; true when a state was set.
    bool clearHover();
    QVector<ChartLegendItem> legendItems(const QRectF& plot, const QSize& size) const;
    // Every category's label is drawn when the widest (at most its 68 px box) fits its band with 6 px to
    // spare; else every step-th, so that they do not run into each other.
    static int labelStep(double band, double widest);
    // The widest of the first count category labels in font; measured again only when the labels, their count
    // or the font change, not at every paint.
    double widestLabel(const QFont& font, int count);
    void paint(QPainter& painter, const QSize& size);

    QString title = QStringLiteral("Basic Bar Chart");
    QStringList categories;
    QVector<BarSeries> series;
    bool tooltipEnabled = false;
    bool hoverEnabled = true;
    int tooltipTrigger = ChartTooltipNone;
    int marginLeft = 56, marginTop = 48, marginRight = 40, marginBottom = 76;
    bool hovering = false;
    int hoveredCategory = -1;
    int hoveredSeries = -1;
    QPoint lastMousePos;

private:
    TEVQBarChart* chart() const;
    // Bar pieces prepared once, kept between paints.
    TEVChart::BarSprites m_bars;
    QStringList m_measuredLabels;
    QFont m_measuredFont;
    int m_measuredCount = -1;
    double m_widest = 0;
    mutable TEVChart::ValueLabelRoom m_labelRoom;
};

class TEV_EXPORT TEVQBarChart : public TEVQChartBase, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQBarChart, "qtbarchart")
    TEV_CHART_GL(kChartHints)
public:
    explicit TEVQBarChart(QWidget* parent = nullptr);
    ~TEVQBarChart() override;

    static TEVQtLib::ControlInfo getProps();

    void loadDemoData();
    void setTitle(const QString& title);
    void setCategories(const QStringList& categories);
    void setSeries(const QVector<BarSeries>& series);
    void setData(const QString& name, const QVector<double>& values, const QColor& color);
    void setHoverEnabled(bool on);
    void setTooltipTrigger(int trigger);
    // Whether hovering shows tooltip text; nothing in the chart changes it.
    void setTooltipEnabled(bool on);

    const QString& title() const { return painter()->title; }
    const QStringList& categories() const { return painter()->categories; }
    const QVector<BarSeries>& series() const { return painter()->series; }
    TEVQBarChartImpl* painter() const { return tevImpl<TEVQBarChartImpl>(); }


protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void dataReplaced();
};
