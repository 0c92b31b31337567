#pragma once
// One price series in three views: daily candles with moving averages, an intraday price line with its running
// average, and volume bars of the daily data. A data-zoom slider under the plot selects the visible part of the
// list; hovering an item shows a dashed crosshair and a tooltip. The chart fills itself with built-in
// demonstration data (62 trading days and one day of five-minute ticks) when it is made.
#include "TEVChartDrawing.h"
#include "TEVQChartBase.h"
#include "TEVQDataZoom.h"
#include "TEVQWidgetMacros.h"

#include <QOpenGLFunctions>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQFinancialChart;

// One trading day.
struct TEV_EXPORT CandleItem {
    QString label;
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    double volume = 0;
};

// One intraday sample; average is the mean price of this and every earlier tick of its list.
struct TEV_EXPORT IntradayTick {
    QString label;
    double price = 0;
    double average = 0;
    double volume = 0;
};

// Which view the chart shows; any other value shows the volume bars.
enum FinancialChartMode : int {
    FinancialCandles = 0,
    FinancialIntraday = 1,
    FinancialVolume = 2,
};

class TEV_EXPORT TEVQFinancialChartImpl : public TEVQChartBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQFinancialChartImpl(TEVQFinancialChart* owner);
    ~TEVQFinancialChartImpl() override;

    // Daily lines "date,open,close,high,low,volume" and intraday lines "time,price,volume"; short lines are
    // skipped, fields that do not convert count as 0.
    static QVector<CandleItem> parseDailyCsv(const QByteArray& text);
    static QVector<IntradayTick> parseIntradayCsv(const QByteArray& text);
    static QByteArray demoDailyCsv();
    static QByteArray demoIntradayCsv();

    // Size of the data list of the current mode (ticks in mode 1, candles otherwise).
    int count() const;
    int visibleStart() const;
    int visibleEnd() const;
    QRectF plotRect(const QSize& size) const;
    void valueRange(int start, int end, double& min, double& max) const;
    static QPointF mapToPlot(const QRectF& plot, int start, int end, double min, double max, int index,
                             double value);
    // Mean close of the candles index - period + 1 .. index; false when it does not exist.
    bool movingAverage(int index, int period, double& value) const;
    // The averages of one period for the indexes start..end (NaN where none exists), by running sums.
    QVector<double> movingAverages(int start, int end, int period) const;
    QColor maColor(int position) const;
    QString itemLabel(int index) const;
    QString tooltipText(int index) const;
    // Hover at pos: true when a repaint is due.
    bool updateHover(const QPoint& pos);
    // Clears the hover state and hides the tooltip; true when an item was hovered.
    bool clearHover();
    // The candle body width for the visible range and plot width.
    static double bodyWidth(double plotWidth, int start, int end);
    // How many of n visible candles the opening animation shows at progress p (the first one at once).
    static int shownCandles(int n, double progress);
    // Every how many items an index label is written under the x axis.
    static int labelStep(int start, int end);
    // Value label k (0 at the top, 4 at the bottom) of the range min..max.
    static QString axisLabel(int k, double min, double max);
    void paint(QPainter& painter, const QSize& size);

    QString title = QStringLiteral("Financial Chart");
    int mode = FinancialCandles;
    QVector<CandleItem> candles;
    QVector<IntradayTick> ticks;
    bool tooltipEnabled = false;
    bool hoverEnabled = true;
    int tooltipTrigger = ChartTooltipItem;
    int marginLeft = 66, marginTop = 48, marginRight = 28, marginBottom = 82;
    DataZoom zoom;
    bool hoverActive = false;
    int hoveredIndex = -1;
    QPoint lastMousePos;
    QColor upColor{230, 76, 69, 255};
    QColor downColor{34, 178, 115, 255};
    QColor priceColor{35, 128, 224, 255};
    QColor averageColor{232, 148, 54, 255};
    bool showMovingAverages = true;
    QVector<int> maPeriods{5, 10, 20, 30};
    QVector<QColor> maColors{{234, 179, 8, 255}, {59, 130, 246, 255}, {168, 85, 247, 255}, {20, 184, 166, 255}};

private:
    TEVQFinancialChart* chart() const;
    void drawAxes(QPainter& p, const QRectF& plot, int start, int end, double min, double max,
                  const ChartTheme& theme) const;
    void drawCandles(QPainter& p, const QRectF& plot, int start, int end, double min, double max,
                     double progress) const;
    void drawMaLines(QPainter& p, const QRectF& plot, int start, int end, double min, double max) const;
    void drawMaLegend(QPainter& p, const QRectF& plot) const;
    void drawIntraday(QPainter& p, const QRectF& plot, int start, int end, double min, double max,
                      const ChartTheme& theme) const;
    void drawVolume(QPainter& p, const QRectF& plot, int start, int end) const;
    void drawCrosshair(QPainter& p, const QRectF& plot, int start, int end, double min, double max,
                       const ChartTheme& theme) const;
};

class TEV_EXPORT TEVQFinancialChart : public TEVQChartBase, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQFinancialChart, "qtfinancialchart")
    TEV_CHART_GL(kChartHints)
public:
    explicit TEVQFinancialChart(QWidget* parent = nullptr);
    ~TEVQFinancialChart() override;

    static TEVQtLib::ControlInfo getProps();

    void loadDemoData();
    // Each replaces what the demonstration loader filled; every change clears the hover and the tooltip, a data
    // change also restarts the opening animation.
    void setCandles(const QVector<CandleItem>& candles);
    void setTicks(const QVector<IntradayTick>& ticks);
    void setMode(int mode);
    void setZoomEnabled(bool on);
    void setZoomRange(double start, double end);

    TEVQFinancialChartImpl* painter() const { return tevImpl<TEVQFinancialChartImpl>(); }


protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void optionChanged();
    QRectF currentSliderRect() const;
};
