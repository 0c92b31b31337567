#include "TEVQChartTypes.h"

#include "TEVChartDrawing.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

void setColors(ChartTheme& t, QColor bg, QColor plot, QColor title, QColor axis, QColor label, QColor grid,
               QColor cross)
{
    t.backgroundColor = bg;
    t.plotBackgroundColor = plot;
    t.titleColor = title;
    t.axisLineColor = axis;
    t.axisLabelColor = label;
    t.gridColor = grid;
    t.crosshairColor = cross;
}

} // namespace

LineSeries::LineSeries(LineSeries&& other) noexcept
    : name(std::move(other.name)), values(std::move(other.values)), color(other.color), areaColor(other.areaColor),
      showSymbols(other.showSymbols), smooth(other.smooth), area(other.area), visible(other.visible),
      width(other.width), areaOpacity(other.areaOpacity)
{
    other.values.clear();
}

ChartTheme chartThemeById(int id)
{
    ChartTheme t;
    switch (id) {
    case 1:
        t.name = QStringLiteral("Macarons");
        setColors(t, {248, 245, 250}, {255, 255, 255}, {90, 84, 116}, {185, 176, 205}, {122, 113, 145},
                  {232, 226, 240}, {179, 166, 209, 190});
        t.palette = {{45, 183, 245}, {239, 90, 161}, {250, 200, 88}, {114, 204, 104}, {251, 132, 53}, {155, 94, 230}};
        break;
    case 2:
        t.name = QStringLiteral("Shine");
        setColors(t, {255, 251, 245}, {255, 255, 255}, {111, 78, 55}, {204, 176, 148}, {138, 105, 77},
                  {243, 227, 210}, {221, 182, 140, 190});
        t.palette = {{193, 35, 43}, {39, 114, 123}, {252, 206, 16}, {232, 124, 37}, {39, 174, 96}, {142, 68, 173}};
        break;
    case 3:
        t.name = QStringLiteral("Dark");
        setColors(t, {16, 20, 28}, {24, 30, 42}, {233, 238, 247}, {96, 110, 132}, {169, 181, 201}, {58, 67, 84},
                  {132, 147, 173, 210});
        t.palette = {{73, 220, 187}, {114, 159, 255}, {255, 194, 92}, {255, 120, 134}, {172, 120, 255}, {102, 205, 249}};
        break;
    default:
        t.name = QStringLiteral("Default");
        t.palette = {{84, 112, 198}, {145, 204, 117}, {250, 200, 88}, {238, 102, 102}, {115, 192, 222}, {59, 162, 114}};
        break;
    }
    return t;
}

namespace TEVChart {

QString formatNumber(double value)
{
    QString s = QString::number(value, 'f', 2);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}

QColor autoColor(const QColor& own, const ChartTheme& theme, int index)
{
    if (own.isValid())
        return own;
    if (!theme.palette.isEmpty()) {
        const int n = theme.palette.size();
        return theme.palette.at(((index % n) + n) % n);
    }
    return QColor(84, 112, 198, 255);
}

bool fuzzyEqual(double a, double b) { return std::abs(a - b) * 1000000000000. <= qMin(std::abs(a), std::abs(b)); }

QString categoryLabel(const QStringList& categories, int index)
{
    if (index >= 0 && index < categories.size())
        return categories.at(index);
    return QStringLiteral("Item %1").arg(index + 1);
}

const QVector<int>& LegendWidths::widths(const QStringList& texts, const QFont& font)
{
    // An equal list given again compares as one pointer once it is shared with the kept one.
    if (!m_valid || texts != m_texts || font != m_font) {
        const QFontMetrics fm(font);
        m_widths.clear();
        m_widths.reserve(texts.size());
        for (const QString& t : texts)
            m_widths << fm.horizontalAdvance(t);
        m_font = font;
        m_valid = true;
        ++m_measures;
    }
    m_texts = texts;
    return m_widths;
}

QRectF legendArea(int legendPosition, const QRectF& plot, const QSize& widgetSize, bool* vertical)
{
    const bool column = legendPosition == ChartLegendRight || legendPosition == ChartLegendLeft;
    if (vertical)
        *vertical = column;
    switch (legendPosition) {
    case ChartLegendTop:
        return QRectF(plot.left(), 44, plot.width(), 28);
    case ChartLegendRight:
        return QRectF(plot.right() + 20, plot.top(), qMax(widgetSize.width() - plot.right() - 28, 96.0), plot.height());
    case ChartLegendLeft:
        return QRectF(14, plot.top(), qMax(plot.left() - 24, 96.0), plot.height());
    default:
        return QRectF(plot.left(), plot.bottom() + 34, plot.width(), 36);
    }
}

QVector<ChartLegendItem> legendLayout(const QStringList& names, const QVector<QColor>& colors,
                                      const QVector<bool>& visible, int legendPosition, const QRectF& plot,
                                      const QSize& widgetSize, int labelFontPx, const QFont& widgetFont, LegendWidths* widths)
{
    QVector<ChartLegendItem> items;
    if (names.isEmpty())
        return items;
    bool vertical = false;
    const QRectF area = legendArea(legendPosition, plot, widgetSize, &vertical);
    if (area.isEmpty())
        return items;
    QFont font(widgetFont);
    font.setPixelSize(qMax(labelFontPx, 1));
    QStringList texts;
    texts.reserve(names.size());
    for (int i = 0; i < names.size(); ++i)
        texts << (names.at(i).isEmpty() ? QStringLiteral("Series %1").arg(i + 1) : names.at(i));
    // Only a row of entries needs the texts' widths.
    QVector<int> measured;
    const QVector<int>* textWidths = &measured;
    if (!vertical) {
        if (widths) {
            textWidths = &widths->widths(texts, font);
        } else {
            const QFontMetrics fm(font);
            measured.reserve(texts.size());
            for (const QString& t : texts)
                measured << fm.horizontalAdvance(t);
        }
    }
    // Whole pixels, counted in doubles: a theme's font size of any int cannot overflow the rows.
    const double rowHeight = qMax(double(labelFontPx) + 7, 18.0);
    const double left = qRound(area.left());
    double x = left;
    double y = qRound(area.top());
    const double right = qRound(area.right());
    items.reserve(names.size());
    for (int i = 0; i < names.size(); ++i) {
        ChartLegendItem item;
        item.index = i;
        item.text = texts.at(i);
        item.color = i < colors.size() ? colors.at(i) : QColor();
        item.visible = i < visible.size() ? visible.at(i) : true;
        if (vertical) {
            const double width = qRound(area.width()) - 6;
            item.rect = QRectF(x, y, width, rowHeight);
            y += rowHeight + 8;
        } else {
            const double width = textWidths->at(i) + 38.0;
            if (x + width > right && x > left) {
                x = left;
                y += rowHeight + 6;
            }
            item.rect = QRectF(x, y, width, rowHeight);
            x += width + 10;
        }
        items.append(item);
    }
    return items;
}

int legendHit(const QVector<ChartLegendItem>& items, const QPointF& pos)
{
    for (const ChartLegendItem& item : items) {
        if (item.rect.adjusted(-2, -2, 2, 2).contains(pos))
            return item.index;
    }
    return -1;
}

QRectF plotRect(const QSize& size, const PlotMargins& m, bool hasSeries, int legendPosition, int defaultBottom,
                int legendBottom)
{
    double left = m.left, top = m.top, right = m.right, bottom = defaultBottom;
    if (hasSeries) {
        switch (legendPosition) {
        case ChartLegendTop:
            top += 40;
            break;
        case ChartLegendRight:
            right += 176;
            break;
        case ChartLegendLeft:
            left += 176;
            break;
        default:
            bottom = legendBottom;
            break;
        }
    }
    const double w = qMax(size.width() - right - left, 1.0);
    const double h = qMax(size.height() - bottom - top, 1.0);
    return QRectF(left, top, w, h);
}

double valueToY(const QRectF& plot, double value, double min, double max)
{
    if (isWideRange(min, max))
        return plot.bottom() - plot.height() * wideShare(value, min, max);
    const double s = fuzzyEqual(min, max) ? 1.0 : max - min;
    const double y = plot.bottom() - plot.height() * (value - min) / s;
    // Near the largest double the product overflows where the share does not.
    if (!std::isfinite(y) && std::isfinite(value) && std::isfinite(min) && std::isfinite(max))
        return plot.bottom() - plot.height() * ((value - min) / s);
    return y;
}

void keepFinite(double& min, double& max)
{
    min = qMax(min, -std::numeric_limits<double>::max());
    max = qMin(max, std::numeric_limits<double>::max());
}

void widenEqual(double& min, double& max)
{
    min -= 1;
    max += 1;
    if (fuzzyEqual(min, max)) {
        const double step = qMax(std::abs(min), std::abs(max)) * 1e-11;
        min -= step;
        max += step;
    }
    keepFinite(min, max);
}

bool isWideRange(double min, double max)
{
    return std::isfinite(min) && std::isfinite(max) && !std::isfinite(max - min);
}

double wideShare(double value, double min, double max)
{
    return (value * 0.5 - min * 0.5) / (max * 0.5 - min * 0.5);
}

double weigh(double from, double to, double t) { return from * (1 - t) + to * t; }

double stepValue(double v, double from, double to, double t)
{
    return !std::isfinite(v) && std::isfinite(from) && std::isfinite(to) ? weigh(from, to, t) : v;
}

void drawGrid(QPainter& p, const QRectF& plot, const ChartTheme& theme)
{
    p.setPen(Qt::NoPen);
    p.setBrush(theme.plotBackgroundColor);
    p.drawRect(plot);
    p.setPen(QPen(theme.gridColor, 1.0));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i <= 5; ++i) {
        const double y = plot.top() + plot.height() * i / 5.0;
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
}

QString valueLabel(int i, double min, double max)
{
    // Near the ends of the double range the step or the span overflows: the label is weighed from the ends.
    return axisNumber(stepValue(max - i * (max - min) / 5.0, max, min, i / 5.0), min, max);
}

QString axisNumber(double value, double from, double to)
{
    const double span = qMin(std::abs(to - from), std::numeric_limits<double>::max());
    // A step that lands on zero but for rounding would read "-0": it is zero.
    if (std::abs(value) <= span * 1e-9)
        value = 0;
    return formatNumber(value);
}

QVector<int> valueLabelRows(double plotHeight, double lineHeight)
{
    // The six rows are a fifth of the plot apart.
    if (!(lineHeight > 0) || plotHeight / 5.0 >= lineHeight)
        return {0, 1, 2, 3, 4, 5};
    if (plotHeight >= lineHeight)
        return {0, 5};
    return {0};
}

const QString& ValueLabelRoom::label(int i, double min, double max)
{
    // Compared bit for bit, as the room's range is.
    if (!m_labelsValid || std::memcmp(&m_labelsMin, &min, sizeof min) != 0 ||
        std::memcmp(&m_labelsMax, &max, sizeof max) != 0) {
        for (int k = 0; k <= 5; ++k)
            m_labels[k] = valueLabel(k, min, max);
        m_labelsMin = min;
        m_labelsMax = max;
        m_labelsValid = true;
    }
    return m_labels[qBound(0, i, 5)];
}

double ValueLabelRoom::overflow(const QFont& widgetFont, const ChartTheme& theme, double min, double max,
                                int marginLeft, double limit, ChartTextCache* texts)
{
    const int pixelSize = qMax(theme.labelFontPx, 1);
    // Compared bit for bit: a NaN range measures again instead of never matching.
    if (!m_valid || std::memcmp(&m_min, &min, sizeof min) != 0 || std::memcmp(&m_max, &max, sizeof max) != 0 ||
        m_pixelSize != pixelSize || m_font != widgetFont) {
        QFont font = widgetFont;
        font.setPixelSize(pixelSize);
        font.setBold(false);
        const QFontMetricsF metrics(font);
        double widest = 0;
        for (int i = 0; i <= 5; ++i) {
            const QString& label = this->label(i, min, max);
            widest = qMax(widest, texts ? texts->size(font, label).width() : metrics.horizontalAdvance(label));
        }
        m_valid = true;
        m_min = min;
        m_max = max;
        m_pixelSize = pixelSize;
        m_font = widgetFont;
        m_widest = widest;
    }
    return qBound(0.0, std::ceil(m_widest) - (marginLeft - 10), qMax(limit, 0.0));
}

void drawTitleAndValueLabels(QPainter& p, const QString& title, int width, const QRectF& plot, int marginLeft,
                             double min, double max, const ChartTheme& theme, ChartTextCache* texts,
                             double labelOverflow, ValueLabelRoom* room)
{
    const auto text = [&p, texts](const QRectF& box, int alignment, const QString& s) {
        if (texts)
            texts->draw(p, box, alignment, s);
        else
            p.drawText(box, alignment, s);
    };
    QFont font = p.font();
    font.setPixelSize(qMax(theme.titleFontPx, 1));
    font.setBold(true);
    p.setFont(font);
    p.setPen(theme.titleColor);
    text(QRectF(0, 10, width, 24), Qt::AlignHCenter | Qt::AlignVCenter, title);

    font.setPixelSize(qMax(theme.labelFontPx, 1));
    font.setBold(false);
    p.setFont(font);
    p.setPen(theme.axisLabelColor);
    // A short plot keeps the labels that do not run into each other.
    for (int i : valueLabelRows(plot.height(), QFontMetricsF(font).height())) {
        text(QRectF(4, plot.top() + plot.height() * i / 5.0 - 8, marginLeft - 10 + labelOverflow, 16),
             Qt::AlignRight | Qt::AlignVCenter, room ? room->label(i, min, max) : valueLabel(i, min, max));
    }
}

QVector<QPointF> reduceToColumns(const QVector<QPointF>& pts)
{
    const int n = pts.size();
    if (n < 4)
        return pts;
    const double spanX = pts.last().x() - pts.first().x();
    // Sparse enough to draw as it is: fewer than two points per pixel column.
    if (n < 2 * (spanX + 1))
        return pts;
    QVector<QPointF> out;
    out.reserve(int(4 * (spanX + 2)));
    int i = 0;
    while (i < n) {
        const double column = std::floor(pts.at(i).x());
        const QPointF first = pts.at(i);
        int minAt = i, maxAt = i;
        int j = i + 1;
        while (j < n && std::floor(pts.at(j).x()) == column) {
            if (pts.at(j).y() < pts.at(minAt).y())
                minAt = j;
            if (pts.at(j).y() > pts.at(maxAt).y())
                maxAt = j;
            ++j;
        }
        const int lastAt = j - 1;
        out.append(first);
        const int a = qMin(minAt, maxAt), b = qMax(minAt, maxAt);
        if (a != i && a != lastAt)
            out.append(pts.at(a));
        if (b != i && b != lastAt && b != a)
            out.append(pts.at(b));
        if (lastAt != i)
            out.append(pts.at(lastAt));
        i = j;
    }
    return out;
}

} // namespace TEVChart
