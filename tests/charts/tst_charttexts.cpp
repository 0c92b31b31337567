// The charts keep their laid-out titles, labels and legend text widths between paints. A chart changed in any
// input the texts depend on (title, data names, font, size, theme, legend position) must paint exactly what a
// chart made with those settings paints, and a repaint or a mouse press with nothing changed lays out nothing.
#include "TevTest.h"

#include "TEVQBarChart.h"
#include "TEVQFinancialChart.h"
#include "TEVQLineChart.h"
#include "TEVQOpenGLPieChart.h"
#include "TEVQScatterChart.h"
#include "TEVQtLib.h"

#include <QPainter>

#include <functional>
#include <memory>

namespace {

const QSize kSize(640, 400);

// One change of input, applied to a chart that has already painted and to a freshly made one.
template <class Chart>
struct Change {
    const char* what;
    std::function<void(Chart&)> apply;
};

template <class Chart>
std::unique_ptr<Chart> made(const std::function<void(Chart&)>& setUp)
{
    auto chart = std::make_unique<Chart>();
    chart->setAnimationEnabled(false);
    chart->resize(kSize);
    setUp(*chart);
    return chart;
}

// The inputs every chart's texts follow; each chart adds its own texts (titles, names, labels).
template <class Chart>
QVector<Change<Chart>> commonChanges()
{
    return {
        {"title", [](Chart& c) { c.painter()->title = QStringLiteral("电站 Plant 7 — yield"); }},
        {"font",
         [](Chart& c) {
             QFont f(QStringLiteral("DejaVu Serif"));
             f.setPointSize(12);
             c.setFont(f);
         }},
        // Font attributes QFont::key leaves out still change the laid-out texts.
        {"letter spacing and capitals",
         [](Chart& c) {
             QFont f = c.font();
             f.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
             f.setCapitalization(QFont::AllUppercase);
             c.setFont(f);
         }},
        {"size", [](Chart& c) { c.resize(kSize + QSize(137, 61)); }},
        {"theme", [](Chart& c) { c.setTheme(3); }},
        {"theme label size",
         [](Chart& c) {
             ChartTheme t = chartThemeById(1);
             t.labelFontPx = 15;
             t.titleFontPx = 21;
             c.setTheme(t);
         }},
        {"legend position", [](Chart& c) { c.setLegendPosition(ChartLegendTop); }},
    };
}

// Each change after a first paint: the picture equals that of a chart set up with every change so far from the
// start. With stale cached texts or widths the old title, names or placement would show.
template <class Chart>
void checkChanges(const std::function<void(Chart&)>& setUp, const QVector<Change<Chart>>& changes,
                  const char* name)
{
    auto chart = made<Chart>(setUp);
    chart->renderImage();
    QVector<Change<Chart>> applied;
    for (const Change<Chart>& change : changes) {
        change.apply(*chart);
        applied << change;
        const QImage changed = chart->renderImage();
        auto fresh = made<Chart>([&](Chart& c) {
            setUp(c);
            for (const Change<Chart>& a : applied)
                a.apply(c);
        });
        const QImage expected = fresh->renderImage();
        QVERIFY2(changed == expected, qPrintable(QStringLiteral("%1 after a change of %2").arg(name, change.what)));
        tevtest::keepRender(changed, QStringLiteral("charttexts-%1-%2.png").arg(name).arg(applied.size()));
    }
}

// A second paint and a press away from the legend lay out no text and measure no legend entry.
template <class Chart, class Counts>
void checkRepaint(Chart& chart, const Counts& counts)
{
    chart.renderImage();
    const auto before = counts();
    QVERIFY(before.first > 0);
    const QImage again = chart.renderImage();
    QCOMPARE(counts(), before);
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(counts(), before);
    QCOMPARE(chart.renderImage(), again);
}

// The chart's tooltip drawn over picture step by step as the tooltip painting goes, each line by drawText: what
// the tooltip looked like before its lines were kept.
void drawTooltipByText(QImage& picture, const TEVQChartBase& chart)
{
    QPainter p(&picture);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    QFont font = chart.font();
    font.setPixelSize(qMax(chart.theme().tooltipFontPx, 1));
    p.setFont(font);
    const QFontMetrics fm(font);
    const QStringList lines = chart.tooltipText().split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines)
        widest = qMax(widest, fm.horizontalAdvance(line));
    const int width = widest + 20;
    const int height = qMax(lines.size(), 1) * fm.lineSpacing() + 16;
    const QRect bounds = QRect(QPoint(0, 0), chart.size()).adjusted(8, 8, -8, -8);
    const QPoint at = chart.tooltipPos();
    int x = at.x() + 16;
    int y = at.y() + 20;
    if (x + width > bounds.right())
        x = bounds.right() - width;
    if (y + height > bounds.bottom())
        y = at.y() - height - 16;
    x = qMax(bounds.left(), x);
    y = qMax(bounds.top(), y);
    const bool dark = chart.theme().backgroundColor.lightness() < 140;
    p.setPen(QPen(dark ? QColor(58, 112, 112, 205) : QColor(198, 207, 222, 218), 1.0, Qt::SolidLine));
    p.setBrush(dark ? QColor(18, 38, 40, 210) : QColor(255, 255, 255, 218));
    p.drawRoundedRect(QRect(x, y, width, height), 8, 8);
    p.setPen(dark ? QColor(239, 243, 250, 255) : chart.theme().titleColor);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QPointF(x + 10, y + 8 + fm.ascent() + i * fm.lineSpacing()), lines.at(i));
}

} // namespace

class tst_charttexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TEVQtLib::init(); }

    void barChartFollowsEveryInput()
    {
        auto changes = commonChanges<TEVQBarChart>();
        changes << Change<TEVQBarChart>{"series names",
                                        [](TEVQBarChart& c) {
                                            QVector<BarSeries> s = c.series();
                                            s[0].name = QStringLiteral("A much longer series name");
                                            s[1].name.clear(); // "Series 2"
                                            c.setSeries(s);
                                        }}
                << Change<TEVQBarChart>{"categories",
                                        [](TEVQBarChart& c) { c.setCategories({"一月", "February", "Mar"}); }}
                << Change<TEVQBarChart>{"shown series", [](TEVQBarChart& c) {
                                            QVector<BarSeries> s = c.series();
                                            s[2].visible = false;
                                            c.setSeries(s);
                                        }};
        checkChanges<TEVQBarChart>(
            [](TEVQBarChart& c) {
                QVector<BarSeries> series;
                for (int i = 0; i < 3; ++i) {
                    BarSeries s;
                    s.name = QStringLiteral("Inverter %1").arg(i + 1);
                    s.values = {3, 7.5, 2.0 + i};
                    series << s;
                }
                c.setSeries(series);
            },
            changes, "bar");
    }

    void lineChartFollowsEveryInput()
    {
        auto changes = commonChanges<TEVQLineChart>();
        changes << Change<TEVQLineChart>{"series names",
                                         [](TEVQLineChart& c) {
                                             QVector<LineSeries> s = c.series();
                                             s[0].name = QStringLiteral("组串 String A, east roof");
                                             c.setSeries(s);
                                         }}
                << Change<TEVQLineChart>{"zoom window", [](TEVQLineChart& c) {
                                             c.setZoomEnabled(true);
                                             c.painter()->zoom.setRange(0.25, 0.6);
                                         }};
        checkChanges<TEVQLineChart>(
            [](TEVQLineChart& c) {
                QVector<LineSeries> series;
                for (int i = 0; i < 2; ++i) {
                    LineSeries s;
                    s.name = QStringLiteral("String %1").arg(i + 1);
                    for (int k = 0; k < 12; ++k)
                        s.values << (k * (i + 2)) % 9;
                    series << s;
                }
                c.setSeries(series);
            },
            changes, "line");
    }

    void financialChartFollowsEveryInput()
    {
        auto changes = commonChanges<TEVQFinancialChart>();
        changes << Change<TEVQFinancialChart>{"mode", [](TEVQFinancialChart& c) { c.setMode(FinancialIntraday); }}
                << Change<TEVQFinancialChart>{"zoom window", [](TEVQFinancialChart& c) {
                                                  c.setZoomRange(0.1, 0.45);
                                              }}
                << Change<TEVQFinancialChart>{"averages",
                                              [](TEVQFinancialChart& c) {
                                                  c.setMode(FinancialCandles);
                                                  c.painter()->maPeriods = {7, 60};
                                              }}
                << Change<TEVQFinancialChart>{"no data", [](TEVQFinancialChart& c) { c.setCandles({}); }};
        checkChanges<TEVQFinancialChart>([](TEVQFinancialChart& c) { c.setZoomEnabled(true); }, changes,
                                         "financial");
    }

    void pieChartFollowsEveryInput()
    {
        auto changes = commonChanges<TEVQOpenGLPieChart>();
        changes << Change<TEVQOpenGLPieChart>{"slices", [](TEVQOpenGLPieChart& c) {
                                                  QVector<PieSlice> s = c.painter()->slices;
                                                  s[0].label = QStringLiteral("Curtailed 限电");
                                                  s[1].value *= 3;
                                                  c.setSlices(s);
                                              }};
        checkChanges<TEVQOpenGLPieChart>([](TEVQOpenGLPieChart& c) { c.painter()->showLabels = true; }, changes,
                                         "pie");
    }

    void scatterChartFollowsEveryInput()
    {
        auto changes = commonChanges<TEVQScatterChart>();
        changes << Change<TEVQScatterChart>{"series", [](TEVQScatterChart& c) {
                                                QVector<ScatterSeries> s = c.painter()->series;
                                                s[0].name = QStringLiteral("Irradiance vs power, 2025");
                                                s[0].points << QPointF(-40, 900);
                                                c.setSeries(s);
                                            }};
        checkChanges<TEVQScatterChart>([](TEVQScatterChart&) {}, changes, "scatter");
    }

    // Nothing changed: the repaint and a press lay out and measure nothing.
    void repaintLaysOutNothing()
    {
        for (int position : {ChartLegendBottom, ChartLegendTop, ChartLegendRight}) {
            auto bar = made<TEVQBarChart>([position](TEVQBarChart& c) { c.setLegendPosition(position); });
            checkRepaint(*bar, [&bar] {
                return qMakePair(bar->painter()->textCache().layoutCount(),
                                 bar->painter()->legendWidths().measureCount());
            });
            auto line = made<TEVQLineChart>([position](TEVQLineChart& c) {
                c.setLegendPosition(position);
                c.setZoomEnabled(true);
            });
            checkRepaint(*line, [&line] {
                return qMakePair(line->painter()->textCache().layoutCount(),
                                 line->painter()->legendWidths().measureCount());
            });
        }
        auto financial = made<TEVQFinancialChart>([](TEVQFinancialChart& c) { c.setZoomEnabled(true); });
        checkRepaint(*financial, [&financial] { return qMakePair(financial->painter()->textCache().layoutCount(), 0); });
        auto pie = made<TEVQOpenGLPieChart>([](TEVQOpenGLPieChart& c) { c.painter()->showLabels = true; });
        checkRepaint(*pie, [&pie] { return qMakePair(pie->painter()->textCache().layoutCount(), 0); });
        auto scatter = made<TEVQScatterChart>([](TEVQScatterChart&) {});
        checkRepaint(*scatter, [&scatter] { return qMakePair(scatter->painter()->textCache().layoutCount(), 0); });
        // Legends far longer than the widget, with more texts than the cache keeps: the entries past its edges
        // prepare nothing, so a repaint lays out no text again.
        auto manySlices = made<TEVQOpenGLPieChart>([](TEVQOpenGLPieChart& c) {
            QVector<PieSlice> slices(1000);
            for (int i = 0; i < slices.size(); ++i)
                slices[i].value = i + 1;
            c.setSlices(slices);
        });
        checkRepaint(*manySlices,
                     [&manySlices] { return qMakePair(manySlices->painter()->textCache().layoutCount(), 0); });
        auto manySeries = made<TEVQBarChart>([](TEVQBarChart& c) {
            c.setSeries(QVector<BarSeries>(1000));
            c.setLegendPosition(ChartLegendRight);
        });
        checkRepaint(*manySeries,
                     [&manySeries] { return qMakePair(manySeries->painter()->textCache().layoutCount(), 0); });
    }

    // The legend texts are measured again exactly when a name or the font changes, and the entries follow.
    void legendWidthsFollowNamesAndFont()
    {
        auto chart = made<TEVQBarChart>([](TEVQBarChart& c) {
            BarSeries a, b;
            a.name = QStringLiteral("A");
            b.name = QStringLiteral("B");
            a.values = b.values = {1, 2};
            c.setSeries({a, b});
        });
        const TEVQBarChartImpl* d = chart->painter();
        const QRectF plot = d->plotRect(chart->size(), chart->legendPosition());
        const QVector<ChartLegendItem> first = d->legendItems(plot, chart->size());
        const int measured = d->legendWidths().measureCount();
        QCOMPARE(d->legendItems(plot, chart->size()).at(1).rect, first.at(1).rect);
        QCOMPARE(d->legendWidths().measureCount(), measured);

        QVector<BarSeries> s = chart->series();
        s[0].name = QStringLiteral("A far longer name");
        chart->setSeries(s);
        const QVector<ChartLegendItem> renamed = d->legendItems(plot, chart->size());
        QCOMPARE(d->legendWidths().measureCount(), measured + 1);
        QVERIFY(renamed.at(0).rect.width() > first.at(0).rect.width());
        QVERIFY(renamed.at(1).rect.left() > first.at(1).rect.left());

        QFont big = chart->font();
        big.setFamily(QStringLiteral("DejaVu Serif"));
        chart->setFont(big);
        ChartTheme t = chart->theme();
        t.labelFontPx = 20;
        chart->setTheme(t);
        const QVector<ChartLegendItem> larger = d->legendItems(plot, chart->size());
        QCOMPARE(d->legendWidths().measureCount(), measured + 2);
        QVERIFY(larger.at(0).rect.width() > renamed.at(0).rect.width());
        // The same layout as measuring afresh.
        const QVector<ChartLegendItem> plain = TEVChart::legendLayout(
            {s[0].name, s[1].name}, {larger.at(0).color, larger.at(1).color}, {true, true}, chart->legendPosition(),
            plot, chart->size(), 20, big);
        QCOMPARE(plain.size(), larger.size());
        for (int i = 0; i < plain.size(); ++i)
            QCOMPARE(plain.at(i).rect, larger.at(i).rect);
    }

    // The tooltip text is measured once per text and font. Mouse moves that keep the text move the box without
    // measuring; after a change of the text, the font or the theme the tooltip is painted as on a chart given
    // that tooltip afresh, and its box is the one measured afresh.
    void tooltipMeasuredOncePerTextAndFont()
    {
        auto hovered = made<TEVQBarChart>([](TEVQBarChart& c) {
            c.painter()->tooltipEnabled = true;
            c.setTooltipTrigger(ChartTooltipAxis);
        });
        auto move = [&hovered](const QPoint& pos) {
            QMouseEvent e(QEvent::MouseMove, pos, hovered->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
            QApplication::sendEvent(hovered.get(), &e);
        };
        const QRectF plot = hovered->painter()->plotRect(hovered->size(), hovered->legendPosition());
        const int y = int(plot.center().y());
        move(QPoint(int(plot.left()) + 4, y));
        const QString first = hovered->tooltipText();
        QVERIFY(!first.isEmpty());
        const QImage before = hovered->renderImage();
        const int measured = hovered->tooltipMeasureCount();
        QVERIFY(measured > 0);
        for (int dx = 8; dx < 24; dx += 4) {
            move(QPoint(int(plot.left()) + dx, y + dx));
            QCOMPARE(hovered->tooltipText(), first);
            QVERIFY(hovered->renderImage() != before); // the box follows the pointer
        }
        QCOMPARE(hovered->tooltipMeasureCount(), measured);
        move(QPoint(int(plot.right()) - 4, y)); // the last category: another text
        QVERIFY(hovered->tooltipText() != first);
        hovered->renderImage();
        hovered->renderImage();
        QCOMPARE(hovered->tooltipMeasureCount(), measured + 1);

        // A chart whose tooltip changes beside one made with the tooltip in its final state; each step measures
        // once at most (a new anchor alone measures nothing).
        using Step = std::function<void(TEVQBarChart&)>;
        struct TooltipStep {
            const char* what;
            Step apply;
            int measures;
        };
        const QPoint at(300, 150);
        const auto say = [at](const QString& text) { return [at, text](TEVQBarChart& c) { c.showTooltip(at, text); }; };
        const QVector<TooltipStep> steps = {
            {"text", say(QStringLiteral("Tue\nInverter 1: 7.5\nInverter 2: 12")), 1},
            {"longer line", say(QStringLiteral("Tue\nInverter 1 (东): 7.5 kW")), 1},
            {"one more line", say(QStringLiteral("Tue\nInverter 1 (东): 7.5 kW\n")), 1},
            {"font",
             [](TEVQBarChart& c) {
                 QFont f(QStringLiteral("DejaVu Serif"));
                 f.setPointSize(13);
                 c.setFont(f);
             },
             1},
            {"theme tooltip size",
             [](TEVQBarChart& c) {
                 ChartTheme t = c.theme();
                 t.tooltipFontPx = 19;
                 c.setTheme(t);
             },
             1},
            {"dark theme", [](TEVQBarChart& c) { c.setTheme(3); }, 1},
            {"a tab and a carriage return", say(QStringLiteral("Wed\tnight\nA: 1\r")), 1},
            {"anchor near the corner", [](TEVQBarChart& c) { c.showTooltip(QPoint(630, 390), c.tooltipText()); }, 0},
        };
        auto chart = made<TEVQBarChart>([](TEVQBarChart&) {});
        chart->showTooltip(at, QStringLiteral("Mon"));
        chart->renderImage();
        QVector<Step> applied;
        for (const TooltipStep& step : steps) {
            step.apply(*chart);
            applied << step.apply;
            const int count = chart->tooltipMeasureCount();
            const QImage changed = chart->renderImage();
            auto fresh = made<TEVQBarChart>([&](TEVQBarChart& c) {
                c.showTooltip(at, QStringLiteral("Mon"));
                for (const Step& a : applied)
                    a(c);
            });
            QVERIFY2(changed == fresh->renderImage(), step.what);
            // As drawn line by line with drawText over the chart without its tooltip.
            const QString shown = fresh->tooltipText();
            fresh->hideTooltip();
            QImage byText = fresh->renderImage();
            fresh->showTooltip(chart->tooltipPos(), shown);
            drawTooltipByText(byText, *fresh);
            QVERIFY2(changed == byText, step.what);
            tevtest::keepRender(changed, QStringLiteral("charttexts-tooltip-%1.png").arg(applied.size()));
            QFont font = chart->font();
            font.setPixelSize(qMax(chart->theme().tooltipFontPx, 1));
            const QFontMetrics fm(font);
            int widest = 0;
            const QStringList lines = chart->tooltipText().split(QLatin1Char('\n'));
            for (const QString& line : lines)
                widest = qMax(widest, fm.horizontalAdvance(line));
            const QRect box = chart->tooltipRect(font, chart->size());
            QCOMPARE(box.width(), widest + 20);
            QCOMPARE(box.height(), lines.size() * fm.lineSpacing() + 16);
            // Painted again, now with the lines laid out and kept: the same picture.
            QVERIFY2(chart->renderImage() == changed, step.what);
            QVERIFY2(chart->renderImage() == changed, step.what);
            QVERIFY2(chart->tooltipMeasureCount() == count + step.measures, step.what);
        }
    }
};

TEV_TEST_MAIN(tst_charttexts)
#include "tst_charttexts.moc"
