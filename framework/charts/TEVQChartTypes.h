#pragma once
// The chart look and the series records the charts draw: `ChartTheme` with its four built-in themes,
// `BarSeries`, `LineSeries`, the computed legend entry `ChartLegendItem`, and the small helpers every chart
// shares (number format, automatic series colour, the fuzzy equality of a value range, category labels).
#include "TEVGlobal.h"

#include <QColor>
#include <QFont>
#include <QSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cmath>
#include <climits>

class QPainter;

// Position of a chart's legend; any other value behaves as bottom.
enum ChartLegendPosition : int {
    ChartLegendTop = 0,
    ChartLegendRight = 1,
    ChartLegendBottom = 2,
    ChartLegendLeft = 3,
};

// What the mouse hovers in the bar and line charts: nothing, the item under it, or its whole category column.
enum ChartTooltipTrigger : int {
    ChartTooltipNone = 0,
    ChartTooltipItem = 1,
    ChartTooltipAxis = 2,
};

struct TEV_EXPORT ChartTheme {
    QString name;
    QColor backgroundColor{255, 255, 255, 255};
    QColor plotBackgroundColor{255, 255, 255, 255};
    QColor titleColor{67, 76, 94, 255};
    QColor axisLineColor{145, 154, 170, 255};
    QColor axisLabelColor{101, 111, 128, 255};
    QColor gridColor{229, 233, 242, 255};
    QColor crosshairColor{171, 179, 191, 180};
    QVector<QColor> palette;
    int titleFontPx = 16;
    int labelFontPx = 11;
    int tooltipFontPx = 12;
    double lineWidth = 2.0;
    double symbolRadius = 4.0;
    double hoverSymbolRadius = 5.5;
    double barCornerRadius = 6.0;
};

// 1 "Macarons", 2 "Shine", 3 "Dark", any other id "Default".
TEV_EXPORT ChartTheme chartThemeById(int id);

struct TEV_EXPORT BarSeries {
    QString name;
    QVector<double> values;    // one per category
    QColor color;              // invalid: automatic
    QColor borderColor;        // invalid: the fill colour darkened
    bool visible = true;

    BarSeries() = default;
    BarSeries(const BarSeries& other) = default;
    BarSeries& operator=(const BarSeries& other) = default;
    ~BarSeries() = default;
};

struct TEV_EXPORT LineSeries {
    QString name;
    QVector<double> values;
    QColor color;              // invalid: automatic
    QColor areaColor;          // invalid: the line colour
    bool showSymbols = true;
    bool smooth = false;
    bool area = false;
    bool visible = true;
    double width = 2.0;        // 0 or less: the theme's line width
    double areaOpacity = 0.22; // clamped to 0..1 when painting

    LineSeries() = default;
    LineSeries(const LineSeries& other) = default;
    LineSeries& operator=(const LineSeries& other) = default;
    // Leaves the source's value list empty.
    LineSeries(LineSeries&& other) noexcept;
    LineSeries& operator=(LineSeries&& other) noexcept = default;
    ~LineSeries() = default;
};

struct TEV_EXPORT ChartLegendItem {
    int index = 0;     // series or slice index
    QRectF rect;       // the whole entry
    QColor color;      // automatic series colour
    QString text;      // the series name, or "Series N"
    bool visible = true;
};

namespace TEVChart {

// Two decimals in fixed notation, then trailing zeros and a trailing point removed (120.00 -> "120").
TEV_EXPORT QString formatNumber(double value);
// The series' own colour when valid, else the theme palette at index modulo its size, else (84, 112, 198).
TEV_EXPORT QColor autoColor(const QColor& own, const ChartTheme& theme, int index);
// |a - b| * 1e12 <= min(|a|, |b|), as Qt's qFuzzyCompare.
TEV_EXPORT bool fuzzyEqual(double a, double b);
// categories[i] when it exists, else "Item N" with N = i + 1.
TEV_EXPORT QString categoryLabel(const QStringList& categories, int index);
// The widths of a legend's texts in its font (QFontMetrics::horizontalAdvance, whole pixels), kept between
// paints and mouse presses: measured again only when the texts or the font change.
class TEV_EXPORT LegendWidths
{
public:
    const QVector<int>& widths(const QStringList& texts, const QFont& font);
    void clear()
    {
        m_texts.clear();
        m_widths.clear();
        m_valid = false;
    }
    // How many times texts were measured since the object was made: a repaint with nothing changed measures none.
    int measureCount() const { return m_measures; }

private:
    bool m_valid = false;
    QStringList m_texts;
    QFont m_font;
    QVector<int> m_widths;
    int m_measures = 0;
};
// The area beside a plot (in a widget of the size) that holds the legend of the position; vertical tells whether
// its entries stand in a column (right and left) rather than in rows.
TEV_EXPORT QRectF legendArea(int legendPosition, const QRectF& plot, const QSize& widgetSize,
                             bool* vertical = nullptr);
// The legend entries' rectangles of the bar and line charts, laid out in the legend area of the position. With
// widths, the texts are measured through it.
TEV_EXPORT QVector<ChartLegendItem> legendLayout(const QStringList& names, const QVector<QColor>& colors,
                                                 const QVector<bool>& visible, int legendPosition,
                                                 const QRectF& plot, const QSize& widgetSize, int labelFontPx,
                                                 const QFont& widgetFont, LegendWidths* widths = nullptr);
// The legend entry under pos (each rectangle grown by 2 on every side), or -1.
TEV_EXPORT int legendHit(const QVector<ChartLegendItem>& items, const QPointF& pos);
// The plot rectangle of the bar and line charts for the widget size; bottomMargin is used when the series list
// is empty or the legend is at the bottom (or any other value).
struct PlotMargins {
    int left = 56, top = 48, right = 40, bottom = 76;
};
TEV_EXPORT QRectF plotRect(const QSize& size, const PlotMargins& margins, bool hasSeries, int legendPosition,
                           int defaultBottom, int legendBottom);
// Where a value lies on a plot's y axis for the range [min, max]; a fuzzy-equal range divides by 1.
TEV_EXPORT double valueToY(const QRectF& plot, double value, double min, double max);
// Ranges reaching the ends of the double range. keepFinite stops a range's ends, after its headroom is added,
// at the largest double. A wide range has finite ends but a span (max - min) too large for a double: wideShare
// gives (value - min) / (max - min) for it from halved values, and weigh the value a fraction t of the way
// from `from` to `to` as from * (1 - t) + to * t; neither overflows.
TEV_EXPORT void keepFinite(double& min, double& max);
TEV_EXPORT bool isWideRange(double min, double max);
TEV_EXPORT double wideShare(double value, double min, double max);
TEV_EXPORT double weigh(double from, double to, double t);
// An axis step v, computed directly as the value a fraction t of the way from `from` to `to`; where that
// overflowed between finite ends, the same value weighed from the two ends.
TEV_EXPORT double stepValue(double v, double from, double to, double t);
// Opens a range whose ends are fuzzy-equal: each end moves 1 away. Far from zero, where a step of 1 is lost to
// rounding or leaves the ends fuzzy-equal still, they move by a step relative to their size instead, so that
// the values map inside the plot (equal ones to its middle) and not by a span of 1 far past its edge.
TEV_EXPORT void widenEqual(double& min, double& max);
// A polyline far denser than the pixels, reduced per pixel column to its first, lowest, highest and last point
// in order: the same visible line. Returned unchanged when there are fewer than two points per column.
TEV_EXPORT QVector<QPointF> reduceToColumns(const QVector<QPointF>& points);
// A step of an axis running from `from` to `to`, formatted; a step that lands on zero but for rounding (a
// tiny fraction of the axis' span off) reads "0", not "-0".
TEV_EXPORT QString axisNumber(double value, double from, double to);
// Value label i (0 at the top, 5 at the bottom) of the range: max - i * (max - min) / 5, formatted.
TEV_EXPORT QString valueLabel(int i, double min, double max);
// Title, six value labels and the plot's grid of the bar and line charts.
TEV_EXPORT void drawGrid(QPainter& p, const QRectF& plot, const ChartTheme& theme);
// With a text cache, the labels are drawn through it.
class ChartTextCache;
// The value-label rows (0 the top, 5 the bottom) drawn beside a plot: all six while a fifth of the plot holds a
// line of text, else the top and the bottom one, else the top one alone.
TEV_EXPORT QVector<int> valueLabelRows(double plotHeight, double lineHeight);
class ValueLabelRoom;
// The value labels' boxes are marginLeft - 10 wide, widened by labelOverflow. With a room, the labels' texts are
// the ones it keeps for the range.
TEV_EXPORT void drawTitleAndValueLabels(QPainter& p, const QString& title, int width, const QRectF& plot,
                                        int marginLeft, double min, double max, const ChartTheme& theme,
                                        ChartTextCache* texts = nullptr, double labelOverflow = 0,
                                        ValueLabelRoom* room = nullptr);
// How much wider than the margin leaves them (marginLeft - 10) the widest value label of a range is, in the
// widget's font at the theme's label size; 0 when all fit, never more than limit. The plot moves right by it,
// so that large values (a total that grows for days) keep their leading digits. The widest label is kept until
// the range, the font or the label size changes: hover and paint ask at every event.
class TEV_EXPORT ValueLabelRoom
{
public:
    double overflow(const QFont& widgetFont, const ChartTheme& theme, double min, double max, int marginLeft,
                    double limit, ChartTextCache* texts = nullptr);
    // valueLabel(i, min, max), formatted once per range: a repaint of an unchanged range formats none.
    const QString& label(int i, double min, double max);

private:
    // The six labels and the range they were formatted for.
    bool m_labelsValid = false;
    double m_labelsMin = 0;
    double m_labelsMax = 0;
    QString m_labels[6];

    bool m_valid = false;
    double m_min = 0;
    double m_max = 0;
    int m_pixelSize = 0;
    QFont m_font;
    double m_widest = 0;
};

// The lowest and highest of the finite values added (both 0 while there is none).
struct FiniteSpan {
    bool any = false;
    double lo = 0, hi = 0;
    void add(double v)
    {
        if (!std::isfinite(v))
            return;
        if (!any) {
            lo = hi = v;
            any = true;
        } else {
            lo = qMin(lo, v);
            hi = qMax(hi, v);
        }
    }
};

// Helpers of the charts over a list of series records with a name, a list of values (one per category) and a
// visible flag: the bar and the line series.
// "Series" for a series without a name.
template <class Series> QString seriesName(const Series& s)
{
    return s.name.isEmpty() ? QStringLiteral("Series") : s.name;
}
// max(categories, the longest visible series), at least 1.
template <class Series> int categoryCount(const QStringList& categories, const QVector<Series>& series)
{
    int count = categories.size();
    for (const Series& s : series) {
        if (s.visible)
            count = qMax(count, s.values.size());
    }
    return qMax(count, 1);
}
// Whether a visible series has any value.
template <class Series> bool hasVisibleValues(const QVector<Series>& series)
{
    for (const Series& s : series) {
        if (s.visible && !s.values.isEmpty())
            return true;
    }
    return false;
}
// Whether a visible series has a finite value at the index.
template <class Series> bool hasValueAt(const QVector<Series>& series, int index)
{
    if (index < 0)
        return false;
    for (const Series& s : series) {
        if (s.visible && index < s.values.size() && std::isfinite(s.values.at(index)))
            return true;
    }
    return false;
}
// The lowest and highest finite value of the visible series at the indexes first..last; false when there is none.
template <class Series>
bool finiteRange(const QVector<Series>& series, double& lo, double& hi, int first = 0, int last = INT_MAX)
{
    FiniteSpan span;
    for (const Series& s : series) {
        if (!s.visible)
            continue;
        const int end = qMin(last, s.values.size() - 1);
        for (int i = first; i <= end; ++i)
            span.add(s.values.at(i));
    }
    lo = span.lo;
    hi = span.hi;
    return span.any;
}
// The tooltip of one value: the series' name, then "category: value".
template <class Series> QString itemTooltip(const QStringList& categories, const Series& s, int index)
{
    return QStringLiteral("%1\n%2: %3")
        .arg(seriesName(s), categoryLabel(categories, index), formatNumber(s.values.at(index)));
}
// The tooltip of a category: its label, then "name: value" for every visible series with a finite value there.
template <class Series> QString axisTooltip(const QStringList& categories, const QVector<Series>& series, int index)
{
    QStringList lines{categoryLabel(categories, index)};
    for (const Series& s : series) {
        if (s.visible && index < s.values.size() && std::isfinite(s.values.at(index)))
            lines << QStringLiteral("%1: %2").arg(seriesName(s), formatNumber(s.values.at(index)));
    }
    return lines.join(QLatin1Char('\n'));
}
// The legend entries of the series (legendLayout with their names, automatic colours and visible flags).
template <class Series>
QVector<ChartLegendItem> seriesLegend(const QVector<Series>& series, const ChartTheme& theme, int legendPosition,
                                      const QRectF& plot, const QSize& size, const QFont& font,
                                      LegendWidths* widths)
{
    QStringList names;
    QVector<QColor> colors;
    QVector<bool> visible;
    for (int i = 0; i < series.size(); ++i) {
        names << series.at(i).name;
        colors << autoColor(series.at(i).color, theme, i);
        visible << series.at(i).visible;
    }
    return legendLayout(names, colors, visible, legendPosition, plot, size, theme.labelFontPx, font, widths);
}

} // namespace TEVChart
