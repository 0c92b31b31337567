#include "TEVQFinancialChart.h"

#include "TEVQControlInfo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace TEVQtLib;

namespace {

// Demonstration data: 62 trading days, 2026-03-26 to 2026-06-26 (date, open, close, high, low, volume).
const char kDailyCsv[] =
        "\n"
        "2026-03-26,2940.74,2911.21,2943.64,2901.49,43629201\n"
        "2026-03-27,2906.01,2932.24,2935.29,2903.82,73055202\n"
        "2026-03-30,2925.59,2944.12,2949.62,2922.26,75630957\n"
        "2026-03-31,2949.06,2944.56,2952.82,2940.45,53591060\n"
        "2026-04-01,2937.81,2932.36,2945.75,2926.25,59777785\n"
        "2026-04-02,2936.87,2957.52,2966.53,2927.20,64142070\n"
        "2026-04-07,2963.50,2964.55,2971.06,2960.12,42131218\n"
        "2026-04-08,2971.74,2984.85,2993.11,2964.31,38572951\n"
        "2026-04-09,2980.16,2987.91,2995.14,2975.18,73412994\n"
        "2026-04-10,2988.25,2978.71,3000.20,2972.42,40323666\n"
        "2026-04-13,2973.45,2989.97,3001.73,2962.59,55124820\n"
        "2026-04-14,2987.68,3018.07,3025.91,2979.43,46736107\n"
        "2026-04-15,3024.30,3005.26,3029.48,2998.05,51841165\n"
        "2026-04-16,3011.66,3033.08,3037.31,3001.10,40301218\n"
        "2026-04-17,3031.37,3016.29,3034.92,3009.32,59485116\n"
        "2026-04-20,3009.08,2997.53,3012.76,2991.82,60437770\n"
        "2026-04-21,2995.24,2998.14,3002.91,2991.96,38893870\n"
        "2026-04-22,2991.08,2991.43,2993.79,2979.10,41740561\n"
        "2026-04-23,2993.22,2980.48,3003.87,2968.96,44080722\n"
        "2026-04-24,2987.30,2988.55,2995.41,2976.75,44148833\n"
        "2026-04-27,2993.30,2981.86,2995.90,2979.76,77636474\n"
        "2026-04-28,2986.29,2994.86,2999.16,2977.66,78122146\n"
        "2026-04-29,2987.83,3013.49,3019.41,2976.21,69033786\n"
        "2026-04-30,3010.23,3023.44,3032.92,2999.28,59735024\n"
        "2026-05-05,3027.73,2992.19,3033.00,2989.35,45630690\n"
        "2026-05-06,2987.58,2985.46,2995.70,2974.05,59245177\n"
        "2026-05-07,2980.45,2980.29,2984.04,2975.27,78006937\n"
        "2026-05-08,2976.71,2974.94,2979.55,2966.34,48714491\n"
        "2026-05-11,2972.75,2971.46,2977.71,2964.23,76434755\n"
        "2026-05-12,2976.00,2957.80,2982.38,2951.33,55423429\n"
        "2026-05-13,2961.41,2966.96,2977.98,2955.64,80728753\n"
        "2026-05-14,2972.37,2966.84,2976.94,2962.48,44035305\n"
        "2026-05-15,2967.24,2925.81,2972.91,2923.79,50606676\n"
        "2026-05-18,2931.80,2894.42,2934.13,2888.37,66657166\n"
        "2026-05-19,2887.60,2881.34,2891.70,2876.12,56470605\n"
        "2026-05-20,2887.89,2869.80,2897.66,2859.60,40373082\n"
        "2026-05-21,2867.91,2883.47,2888.47,2860.87,58092744\n"
        "2026-05-22,2878.04,2855.47,2880.62,2846.81,49537186\n"
        "2026-05-25,2858.39,2844.96,2865.32,2836.34,67109740\n"
        "2026-05-26,2839.59,2851.92,2858.45,2837.57,78346783\n"
        "2026-05-27,2850.82,2860.56,2866.40,2844.57,37299999\n"
        "2026-05-28,2863.87,2860.91,2871.63,2851.43,39145809\n"
        "2026-05-29,2862.13,2856.21,2869.95,2853.78,78724145\n"
        "2026-06-01,2852.55,2845.69,2855.20,2837.56,63514308\n"
        "2026-06-02,2838.20,2847.55,2853.05,2828.37,76747286\n"
        "2026-06-03,2846.24,2830.10,2852.68,2820.75,79954959\n"
        "2026-06-04,2835.04,2864.63,2875.27,2827.61,52693072\n"
        "2026-06-05,2862.34,2853.83,2868.00,2844.12,65157502\n"
        "2026-06-08,2849.37,2870.11,2875.80,2841.01,43611799\n"
        "2026-06-09,2864.35,2867.57,2875.90,2859.62,50561886\n"
        "2026-06-10,2869.54,2852.47,2876.82,2849.39,39282194\n"
        "2026-06-11,2845.10,2847.55,2855.60,2839.56,54873043\n"
        "2026-06-12,2848.46,2843.77,2851.57,2839.62,50600499\n"
        "2026-06-15,2844.43,2870.70,2880.09,2841.29,55692853\n"
        "2026-06-16,2877.53,2903.54,2911.57,2873.23,38081889\n"
        "2026-06-17,2900.65,2884.29,2908.63,2874.25,66916181\n"
        "2026-06-18,2892.23,2885.69,2897.44,2874.13,37383091\n"
        "2026-06-22,2886.91,2911.44,2921.40,2883.86,78781409\n"
        "2026-06-23,2903.63,2911.34,2916.04,2896.21,56929181\n"
        "2026-06-24,2913.46,2952.01,2955.86,2901.91,65312092\n"
        "2026-06-25,2958.99,2965.70,2973.32,2953.56,76267998\n"
        "2026-06-26,2959.04,2952.49,2961.30,2949.47,75431062\n";

// The last of those days in five-minute samples (time, price, volume).
const char kIntradayCsv[] =
        "\n"
        "2026-06-26 09:31,2959.09,725228\n"
        "2026-06-26 09:36,2960.80,2035732\n"
        "2026-06-26 09:41,2959.05,307028\n"
        "2026-06-26 09:46,2959.82,2203267\n"
        "2026-06-26 09:51,2960.42,2261050\n"
        "2026-06-26 09:56,2960.80,677543\n"
        "2026-06-26 10:01,2960.80,536958\n"
        "2026-06-26 10:06,2960.80,1835486\n"
        "2026-06-26 10:11,2960.80,330969\n"
        "2026-06-26 10:16,2960.80,1223517\n"
        "2026-06-26 10:21,2960.80,1122261\n"
        "2026-06-26 10:26,2958.73,751627\n"
        "2026-06-26 10:31,2956.38,1924293\n"
        "2026-06-26 10:36,2957.28,2052521\n"
        "2026-06-26 10:41,2955.32,434142\n"
        "2026-06-26 10:46,2954.20,1037265\n"
        "2026-06-26 10:51,2954.33,2084328\n"
        "2026-06-26 10:56,2953.46,635388\n"
        "2026-06-26 11:01,2950.76,1037738\n"
        "2026-06-26 11:06,2951.63,1759275\n"
        "2026-06-26 11:11,2950.54,1047537\n"
        "2026-06-26 11:16,2953.71,1238998\n"
        "2026-06-26 11:21,2952.71,1988814\n"
        "2026-06-26 11:26,2955.40,1047837\n"
        "2026-06-26 13:01,2955.06,2315661\n"
        "2026-06-26 13:06,2956.37,1225528\n"
        "2026-06-26 13:11,2957.70,1694535\n"
        "2026-06-26 13:16,2957.55,2212645\n"
        "2026-06-26 13:21,2956.62,2165630\n"
        "2026-06-26 13:26,2958.53,1808967\n"
        "2026-06-26 13:31,2960.65,1530026\n"
        "2026-06-26 13:36,2957.02,1155813\n"
        "2026-06-26 13:41,2956.79,1382606\n"
        "2026-06-26 13:46,2959.40,898308\n"
        "2026-06-26 13:51,2958.78,1112824\n"
        "2026-06-26 13:56,2955.75,2287954\n"
        "2026-06-26 14:01,2957.25,1179646\n"
        "2026-06-26 14:06,2952.88,1654023\n"
        "2026-06-26 14:11,2953.29,1602023\n"
        "2026-06-26 14:16,2953.98,1710594\n"
        "2026-06-26 14:21,2952.28,2251347\n"
        "2026-06-26 14:26,2951.31,1056842\n"
        "2026-06-26 14:31,2951.43,1943189\n"
        "2026-06-26 14:36,2949.97,2016128\n"
        "2026-06-26 14:41,2950.85,597287\n"
        "2026-06-26 14:46,2949.97,2029086\n"
        "2026-06-26 14:51,2949.97,1245220\n"
        "2026-06-26 14:56,2950.11,1701601\n"
        "2026-06-26 15:00,2952.49,761434\n";

QStringList csvLines(const QByteArray& text)
{
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool isFiniteValue(double v) { return std::isfinite(v); }

bool finitePoint(const QPointF& p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

bool finiteCandle(const CandleItem& c)
{
    return isFiniteValue(c.open) && isFiniteValue(c.high) && isFiniteValue(c.low) && isFiniteValue(c.close);
}

} // namespace

// ---- painter object ------------------------------------------------------------------------------------------

TEVQFinancialChartImpl::TEVQFinancialChartImpl(TEVQFinancialChart* owner)
    : TEVQChartBaseImpl(owner, TEVQFinancialChart::typeName())
{
}

TEVQFinancialChartImpl::~TEVQFinancialChartImpl() = default;

TEVQFinancialChart* TEVQFinancialChartImpl::chart() const { return static_cast<TEVQFinancialChart*>(owner); }

QByteArray TEVQFinancialChartImpl::demoDailyCsv() { return QByteArray(kDailyCsv); }
QByteArray TEVQFinancialChartImpl::demoIntradayCsv() { return QByteArray(kIntradayCsv); }

QVector<CandleItem> TEVQFinancialChartImpl::parseDailyCsv(const QByteArray& text)
{
    const QStringList lines = csvLines(text);
    QVector<CandleItem> out;
    out.reserve(lines.size());
    for (const QString& line : lines) {
        const QStringList f = line.trimmed().split(QLatin1Char(','), Qt::KeepEmptyParts);
        if (f.size() < 6)
            continue;
        CandleItem c;
        c.label = f.at(0).mid(5);
        c.open = f.at(1).toDouble();
        c.close = f.at(2).toDouble();
        c.high = f.at(3).toDouble();
        c.low = f.at(4).toDouble();
        c.volume = f.at(5).toDouble();
        out.append(c);
    }
    return out;
}

QVector<IntradayTick> TEVQFinancialChartImpl::parseIntradayCsv(const QByteArray& text)
{
    const QStringList lines = csvLines(text);
    QVector<IntradayTick> out;
    out.reserve(lines.size());
    double sum = 0;
    // The same sum scaled by 2^-32: prices near the largest double overflow the plain sum, not this one.
    double scaledSum = 0;
    for (const QString& line : lines) {
        const QStringList f = line.trimmed().split(QLatin1Char(','), Qt::KeepEmptyParts);
        if (f.size() < 3)
            continue;
        IntradayTick t;
        t.label = f.at(0).mid(5);
        t.price = f.at(1).toDouble();
        t.volume = f.at(2).toDouble();
        sum += t.price;
        scaledSum += std::ldexp(t.price, -32);
        t.average = sum / (out.size() + 1);
        if (!std::isfinite(t.average)) {
            const double mean = std::ldexp(scaledSum / (out.size() + 1), 32);
            if (std::isfinite(mean))
                t.average = mean;
        }
        out.append(t);
    }
    return out;
}

int TEVQFinancialChartImpl::count() const { return mode == FinancialIntraday ? ticks.size() : candles.size(); }

int TEVQFinancialChartImpl::visibleStart() const
{
    const int n = count();
    if (!zoom.isEnabled() || n < 2)
        return 0;
    return qBound(0, int(std::floor(zoom.start() * (n - 1))), n - 1);
}

int TEVQFinancialChartImpl::visibleEnd() const
{
    const int n = count();
    if (!zoom.isEnabled() || n < 2)
        return n - 1;
    const int end = qMin(n - 1, int(std::ceil(zoom.end() * (n - 1))));
    return qMax(end, visibleStart());
}

QRectF TEVQFinancialChartImpl::plotRect(const QSize& size) const
{
    const int bottom = zoom.isEnabled() ? marginBottom + 44 : marginBottom;
    return QRectF(marginLeft, marginTop, qMax(size.width() - marginRight - marginLeft, 1),
                  qMax(size.height() - marginTop - bottom, 1));
}

void TEVQFinancialChartImpl::valueRange(int start, int end, double& min, double& max) const
{
    min = 0;
    max = 1;
    if (start > end || start < 0 || start >= count())
        return;
    TEVChart::FiniteSpan span;
    const auto fold = [&span](double v) { span.add(v); };
    if (mode == FinancialIntraday) {
        const int last = qMin(end, ticks.size() - 1);
        for (int i = start; i <= last; ++i) {
            fold(ticks.at(i).price);
            fold(ticks.at(i).average);
        }
    } else {
        const int last = qMin(end, candles.size() - 1);
        for (int i = start; i <= last; ++i) {
            fold(candles.at(i).low);
            fold(candles.at(i).high);
        }
        if (mode == FinancialCandles && showMovingAverages) {
            for (int period : maPeriods) {
                if (period < 1)
                    continue;
                for (double v : movingAverages(start, last, period))
                    fold(v);
            }
        }
    }
    if (!span.any)
        return;
    double lo = span.lo, hi = span.hi;
    if (!TEVChart::fuzzyEqual(lo, hi)) {
        const double pad = (hi - lo) * 0.08;
        lo -= pad;
        hi += pad;
    } else {
        TEVChart::widenEqual(lo, hi);
    }
    TEVChart::keepFinite(lo, hi);
    min = lo;
    max = hi;
}

QPointF TEVQFinancialChartImpl::mapToPlot(const QRectF& plot, int start, int end, double min, double max, int index,
                                          double value)
{
    return QPointF(plot.left() + plot.width() * (index - start) / qMax(end - start, 1),
                   TEVChart::valueToY(plot, value, min, max));
}

bool TEVQFinancialChartImpl::movingAverage(int index, int period, double& value) const
{
    if (period < 1 || index < period - 1 || index >= candles.size())
        return false;
    double sum = 0;
    for (int k = index - period + 1; k <= index; ++k)
        sum += candles.at(k).close;
    value = sum / period;
    // Finite closes near the largest double overflow their sum, not their mean: it is summed from the shares.
    if (!std::isfinite(value)) {
        double mean = 0;
        for (int k = index - period + 1; k <= index; ++k)
            mean += candles.at(k).close / period;
        if (std::isfinite(mean))
            value = mean;
    }
    return true;
}

QVector<double> TEVQFinancialChartImpl::movingAverages(int start, int end, int period) const
{
    QVector<double> out;
    end = qMin(end, candles.size() - 1);
    if (period < 1 || start < 0 || end < start)
        return out;
    out.fill(std::nan(""), end - start + 1);
    // A running sum over the window; a non-finite close is summed as it is, as the plain mean would do.
    const int first = qMax(start, period - 1);
    if (first > end)
        return out;
    double sum = 0;
    for (int k = first - period + 1; k <= first; ++k)
        sum += candles.at(k).close;
    for (int i = first; i <= end; ++i) {
        if (i > first)
            sum += candles.at(i).close - candles.at(i - period).close;
        out[i - start] = sum / period;
    }
    // Recompute the windows exactly after a non-finite close or an overflow: the running sum cannot recover.
    if (!std::isfinite(sum)) {
        for (int i = first; i <= end; ++i) {
            double v = 0;
            movingAverage(i, period, v);
            out[i - start] = v;
        }
    }
    return out;
}

QColor TEVQFinancialChartImpl::maColor(int position) const
{
    if (!maColors.isEmpty()) {
        const int n = maColors.size();
        return maColors.at(((position % n) + n) % n);
    }
    return TEVChart::autoColor(QColor(), chart()->theme(), position);
}

QString TEVQFinancialChartImpl::itemLabel(int index) const
{
    if (mode == FinancialIntraday) {
        if (index >= 0 && index < ticks.size())
            return ticks.at(index).label;
    } else if (index >= 0 && index < candles.size()) {
        return candles.at(index).label;
    }
    return QStringLiteral("Item %1").arg(index + 1);
}

QString TEVQFinancialChartImpl::tooltipText(int index) const
{
    if (index < 0 || index >= count())
        return QString();
    using TEVChart::formatNumber;
    if (mode == FinancialIntraday) {
        const IntradayTick& t = ticks.at(index);
        return QStringLiteral("%1\nPrice: %2\nAverage: %3\nVolume: %4")
            .arg(t.label, formatNumber(t.price), formatNumber(t.average), formatNumber(t.volume));
    }
    const CandleItem& c = candles.at(index);
    QString text = QStringLiteral("%1\nOpen: %2\nHigh: %3\nLow: %4\nClose: %5\nVolume: %6")
                       .arg(c.label, formatNumber(c.open), formatNumber(c.high), formatNumber(c.low),
                            formatNumber(c.close), formatNumber(c.volume));
    if (mode == FinancialCandles && showMovingAverages) {
        for (int period : maPeriods) {
            double v = 0;
            if (movingAverage(index, period, v))
                text += QStringLiteral("\nMA%1: %2").arg(period).arg(formatNumber(v));
        }
    }
    return text;
}

bool TEVQFinancialChartImpl::clearHover()
{
    const bool was = hoverActive;
    hoverActive = false;
    hoveredIndex = -1;
    if (TEVQFinancialChart* c = chart())
        c->hideTooltip();
    return was;
}

bool TEVQFinancialChartImpl::updateHover(const QPoint& pos)
{
    TEVQFinancialChart* c = chart();
    const QRectF plot = plotRect(c->size());
    if (!hoverEnabled || tooltipTrigger == ChartTooltipNone || !tooltipEnabled || count() <= 0 ||
        !plot.adjusted(-8, -8, 8, 8).contains(pos))
        return clearHover();
    const int start = visibleStart();
    const int end = visibleEnd();
    const double f = qMax(end - start, 1) * (pos.x() - plot.left()) / qMax(plot.width(), 1.0);
    const int idx = qBound(start, start + int(std::floor(f + 0.5)), end);
    const bool changed = !(hoverActive && hoveredIndex == idx && lastMousePos == pos);
    hoverActive = true;
    hoveredIndex = idx;
    lastMousePos = pos;
    c->showTooltip(pos, tooltipText(idx));
    return changed;
}

double TEVQFinancialChartImpl::bodyWidth(double plotWidth, int start, int end)
{
    const int n = qMax(end - start + 1, 1);
    return qBound(4.0, plotWidth / n * 0.58, 18.0);
}

int TEVQFinancialChartImpl::shownCandles(int n, double progress)
{
    n = qMax(n, 1);
    const double p = std::isnan(progress) ? 1.0 : qBound(0.0, progress, 1.0);
    return qMin(n, int(std::floor(n * p)) + 1);
}

int TEVQFinancialChartImpl::labelStep(int start, int end)
{
    return qMax(int(std::ceil((end - start + 1) * 0.25)), 1);
}

QString TEVQFinancialChartImpl::axisLabel(int k, double min, double max)
{
    return TEVChart::axisNumber(TEVChart::stepValue(max - (max - min) * k * 0.25, max, min, k * 0.25), min, max);
}

void TEVQFinancialChartImpl::drawAxes(QPainter& p, const QRectF& plot, int start, int end, double min, double max,
                                      const ChartTheme& theme) const
{
    p.setPen(QPen(theme.axisLineColor, 1.1));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.setPen(theme.axisLabelColor);
    for (int k = 0; k <= 4; ++k) {
        m_texts.draw(p, QRectF(4, plot.top() + plot.height() * k * 0.25 - 8, marginLeft - 10, 16),
                     Qt::AlignRight | Qt::AlignVCenter, axisLabel(k, min, max));
    }
    const int step = labelStep(start, end);
    for (int i = start; i <= end; i += step) {
        const double x = plot.left() + plot.width() * (i - start) / qMax(end - start, 1);
        m_texts.drawElided(p, QRectF(x - 42, plot.bottom() + 8, 84, 18), Qt::AlignCenter, itemLabel(i));
    }
}

void TEVQFinancialChartImpl::drawCandles(QPainter& p, const QRectF& plot, int start, int end, double min,
                                         double max, double progress) const
{
    if (candles.isEmpty())
        return;
    const int n = qMax(end - start + 1, 1);
    const double body = bodyWidth(plot.width(), start, end);
    const int shown = shownCandles(n, progress);
    const int last = qMin(end, candles.size() - 1);
    // Candles of one colour go out in one call each for the wicks and the bodies: in a plot where they do not
    // touch the picture is the same as candle by candle, and dense data paint many times faster.
    QVector<QLineF> wicks[2];
    QVector<QRectF> bodies[2];
    for (int s = 0; s < 2; ++s) {
        wicks[s].reserve(last - start + 1);
        bodies[s].reserve(last - start + 1);
    }
    const double d = TEVChart::fuzzyEqual(min, max) ? 1.0 : max - min;
    const double xScale = plot.width() / qMax(end - start, 1);
    const double yScale = plot.height() / d;
    // A range wider than a double holds, or one so narrow that its scale overflows, is mapped value by value.
    const bool wide = TEVChart::isWideRange(min, max) || !std::isfinite(yScale);
    const auto y = [&](double v) {
        return wide ? TEVChart::valueToY(plot, v, min, max) : plot.bottom() - yScale * (v - min);
    };
    for (int i = start; i <= last; ++i) {
        if (i - start >= shown)
            break;
        const CandleItem& c = candles.at(i);
        if (!finiteCandle(c))
            continue;
        const double x = plot.left() + xScale * (i - start);
        const double yh = y(c.high);
        const double yl = y(c.low);
        const double yo = y(c.open);
        const double yc = y(c.close);
        // A candle without a position (not a number) is left out.
        if (!std::isfinite(yh + yl + yo + yc))
            continue;
        const int s = c.close >= c.open ? 0 : 1;
        wicks[s].append(QLineF(x, yh, x, yl));
        bodies[s].append(QRectF(x - body / 2, qMin(yo, yc), body, qMax(std::abs(yo - yc), 1.0)));
    }
    for (int s = 0; s < 2; ++s) {
        const QColor color = s == 0 ? upColor : downColor;
        p.setPen(QPen(color, 1.3));
        p.setBrush(color);
        p.drawLines(wicks[s]);
        p.drawRects(bodies[s]);
    }
}

void TEVQFinancialChartImpl::drawMaLines(QPainter& p, const QRectF& plot, int start, int end, double min,
                                         double max) const
{
    if (mode != FinancialCandles || !showMovingAverages || candles.isEmpty())
        return;
    const int last = qMin(end, candles.size() - 1);
    p.setBrush(Qt::NoBrush);
    QVector<QPointF> points;
    for (int k = 0; k < maPeriods.size(); ++k) {
        const int period = maPeriods.at(k);
        if (period < 1)
            continue;
        const QVector<double> values = movingAverages(start, last, period);
        points.clear();
        points.reserve(values.size());
        for (int j = 0; j < values.size(); ++j) {
            const QPointF pt = mapToPlot(plot, start, end, min, max, start + j, values.at(j));
            if (finitePoint(pt))
                points.append(pt);
        }
        if (points.isEmpty())
            continue;
        p.setPen(QPen(maColor(k), 1.5));
        const QVector<QPointF> drawn = TEVChart::reduceToColumns(points);
        p.drawPolyline(drawn.constData(), drawn.size());
    }
}

void TEVQFinancialChartImpl::drawMaLegend(QPainter& p, const QRectF& plot) const
{
    if (mode != FinancialCandles || !showMovingAverages || maPeriods.isEmpty())
        return;
    p.save();
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    double x = plot.left() + 8;
    const double y = plot.top() + 8;
    for (int k = 0; k < maPeriods.size(); ++k) {
        p.setPen(maColor(k));
        m_texts.draw(p, QRectF(x, y, 46, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("MA%1").arg(maPeriods.at(k)));
        x += 50;
    }
    p.restore();
}

void TEVQFinancialChartImpl::drawIntraday(QPainter& p, const QRectF& plot, int start, int end, double min,
                                          double max, const ChartTheme& theme) const
{
    if (ticks.isEmpty())
        return;
    const int last = qMin(end, ticks.size() - 1);
    QVector<QPointF> price, average;
    price.reserve(last - start + 1);
    average.reserve(last - start + 1);
    for (int i = start; i <= last; ++i) {
        const IntradayTick& t = ticks.at(i);
        const QPointF pp = mapToPlot(plot, start, end, min, max, i, t.price);
        const QPointF pa = mapToPlot(plot, start, end, min, max, i, t.average);
        if (finitePoint(pp))
            price.append(pp);
        if (finitePoint(pa))
            average.append(pa);
    }
    price = TEVChart::reduceToColumns(price);
    average = TEVChart::reduceToColumns(average);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(priceColor, theme.lineWidth));
    p.drawPolyline(price.constData(), price.size());
    p.setPen(QPen(averageColor, 1.6, Qt::DashLine));
    p.drawPolyline(average.constData(), average.size());
}

void TEVQFinancialChartImpl::drawVolume(QPainter& p, const QRectF& plot, int start, int end) const
{
    if (count() < 1 || candles.isEmpty())
        return;
    const int last = qMin(end, candles.size() - 1);
    double vmax = 1.0;
    for (int i = start; i <= last; ++i) {
        if (isFiniteValue(candles.at(i).volume))
            vmax = qMax(vmax, candles.at(i).volume);
    }
    const double slot = plot.width() / qMax(end - start + 1, 1);
    const double width = qBound(3.0, slot * 0.58, 16.0);
    QVector<QRectF> bars[2];
    for (int i = start; i <= last; ++i) {
        const CandleItem& c = candles.at(i);
        if (!isFiniteValue(c.volume) || !std::isfinite(vmax))
            continue;
        // The share first: the height times a volume near the largest double would overflow.
        const double h = plot.height() * (qMax(c.volume, 0.0) / qMax(vmax, 1.0));
        bars[c.close >= c.open ? 0 : 1].append(
            QRectF(plot.left() + (i - start + 0.5) * slot - width / 2, plot.bottom() - h, width, qMax(h, 1.0)));
    }
    p.setPen(Qt::NoPen);
    for (int s = 0; s < 2; ++s) {
        QColor color = s == 0 ? upColor : downColor;
        color.setAlpha(190);
        p.setBrush(color);
        p.drawRects(bars[s]);
    }
}

void TEVQFinancialChartImpl::drawCrosshair(QPainter& p, const QRectF& plot, int start, int end, double min,
                                           double max, const ChartTheme& theme) const
{
    if (!hoverActive || hoveredIndex < start || hoveredIndex > end || hoveredIndex >= count())
        return;
    const double value = mode == FinancialIntraday ? ticks.at(hoveredIndex).price : candles.at(hoveredIndex).close;
    if (!isFiniteValue(value))
        return;
    const QPointF pt = mapToPlot(plot, start, end, min, max, hoveredIndex, value);
    if (!finitePoint(pt))
        return;
    p.setPen(QPen(theme.crosshairColor, 1.0, Qt::DashLine));
    p.drawLine(QPointF(pt.x(), plot.top()), QPointF(pt.x(), plot.bottom()));
    p.drawLine(QPointF(plot.left(), pt.y()), QPointF(plot.right(), pt.y()));
}

void TEVQFinancialChartImpl::paint(QPainter& p, const QSize& size)
{
    TEVQFinancialChart* c = chart();
    const ChartTheme& theme = c->theme();
    const QRectF plot = plotRect(size);
    const int start = visibleStart();
    const int end = visibleEnd();
    double min, max;
    valueRange(start, end, min, max);

    p.setPen(Qt::NoPen);
    p.setBrush(theme.plotBackgroundColor);
    p.drawRoundedRect(plot, 6, 6);
    p.setPen(QPen(theme.gridColor, 1.0));
    p.setBrush(Qt::NoBrush);
    for (int k = 0; k <= 4; ++k) {
        const double y = plot.top() + plot.height() * k * 0.25;
        const double x = plot.left() + plot.width() * k * 0.25;
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    drawAxes(p, plot, start, end, min, max, theme);

    if (count() < 1) {
        p.setPen(theme.axisLabelColor);
        m_texts.draw(p, plot, Qt::AlignCenter, QStringLiteral("No financial data"));
    } else {
        // The first and last candles sit on the plot's edges and keep their whole bodies; nothing else leaves it.
        const double overhang = mode == FinancialCandles ? bodyWidth(plot.width(), start, end) / 2 + 1 : 1;
        p.save();
        p.setClipRect(plot.adjusted(-overhang, -1, overhang, 1));
        if (mode == FinancialCandles) {
            drawCandles(p, plot, start, end, min, max, c->animationProgress());
            drawMaLines(p, plot, start, end, min, max);
        } else if (mode == FinancialIntraday) {
            drawIntraday(p, plot, start, end, min, max, theme);
        } else {
            drawVolume(p, plot, start, end);
        }
        p.restore();
        drawMaLegend(p, plot);
    }
    drawCrosshair(p, plot, start, end, min, max, theme);

    p.save();
    QFont font = p.font();
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    p.setFont(font);
    p.setPen(theme.titleColor);
    m_texts.draw(p, QRectF(0, 14, size.width(), 24), Qt::AlignCenter, title);
    p.restore();

    zoom.setCount(qMax(count(), 1));
    zoom.setLabelFormatter([this](int i) { return itemLabel(i); });
    zoom.setLabelColor(theme.axisLabelColor);
    const QRectF track = zoom.sliderRect(plot, 42);
    if (!track.isEmpty())
        zoom.paint(&p, track, true, &m_texts);
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQFinancialChart::TEVQFinancialChart(QWidget* parent) : TEVQChartBase(parent)
{
    tevSetImpl(new TEVQFinancialChartImpl(this));
    setMinimumSize(480, 300);
    setMouseTracking(true);
    loadDemoData();
}

TEVQFinancialChart::~TEVQFinancialChart() { releasePainter(); }

ControlInfo TEVQFinancialChart::getProps()
{
    return tevControlInfo("qtfinancialchart", "FinancialChart", "OpenGL Financial Chart", "TEVQFinancialChart",
                          "columnChart");
}

void TEVQFinancialChart::loadDemoData()
{
    TEVQFinancialChartImpl* d = painter();
    const QVector<CandleItem> daily = TEVQFinancialChartImpl::parseDailyCsv(TEVQFinancialChartImpl::demoDailyCsv());
    const QVector<IntradayTick> intraday =
        TEVQFinancialChartImpl::parseIntradayCsv(TEVQFinancialChartImpl::demoIntradayCsv());
    d->mode = FinancialCandles;
    d->tooltipEnabled = true;
    d->tooltipTrigger = ChartTooltipItem;
    setTheme(0);
    setBackgroundColor(QColor());
    setCandles(daily);
    setTicks(intraday);
    setZoomEnabled(true);
    setZoomRange(0.55, 1.0);
}

void TEVQFinancialChart::setCandles(const QVector<CandleItem>& candles)
{
    replaceData(painter(), painter()->candles, candles);
}

void TEVQFinancialChart::setTicks(const QVector<IntradayTick>& ticks)
{
    replaceData(painter(), painter()->ticks, ticks);
}

void TEVQFinancialChart::optionChanged() { clearHoverAndRepaint(painter()); }

void TEVQFinancialChart::setMode(int mode)
{
    painter()->mode = mode;
    optionChanged();
}

void TEVQFinancialChart::setZoomEnabled(bool on)
{
    painter()->zoom.setEnabled(on);
    optionChanged();
}

void TEVQFinancialChart::setZoomRange(double start, double end)
{
    painter()->zoom.setRange(start, end);
    optionChanged();
}

QRectF TEVQFinancialChart::currentSliderRect() const
{
    TEVQFinancialChartImpl* d = painter();
    d->zoom.setCount(qMax(d->count(), 1));
    return d->zoom.sliderRect(d->plotRect(size()), 42);
}

void TEVQFinancialChart::mousePressEvent(QMouseEvent* event)
{
    if (!pressZoom(painter(), event, [this] { return currentSliderRect(); }))
        TEVQChartBase::mousePressEvent(event);
}

void TEVQFinancialChart::mouseMoveEvent(QMouseEvent* event)
{
    moveZoomOrHover(painter(), event, [this] { return currentSliderRect(); });
}

void TEVQFinancialChart::mouseReleaseEvent(QMouseEvent* event)
{
    releaseZoom(painter(), event);
}

void TEVQFinancialChart::leaveEvent(QEvent* event) { hoverLeave(painter(), event); }
