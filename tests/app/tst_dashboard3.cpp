// The dashboard's section pages and charts: the page host and its eleven pages with their value labels, the
// seven charts' set-up and their data after a tick, after every simulator setter, filter and page change, the
// trend drawer with its charts, and the language switch on every page.
#include "DashboardBlocks.h"
#include "DashboardFixture.h"
#include "DashboardStartup.h"
#include "InverterCard.h"
#include "LanguageManager.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantDiagramWidget.h"
#include "SolarPlantSimulator.h"
#include "TEVQBarChart.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQLineChart.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQtLib.h"
#include "TevTest.h"

#include <QSignalSpy>

#include <cmath>
#include <memory>
#include <tuple>

using namespace quenlark;

namespace {

QString tx(const char* key)
{
    return TEVQtLib::tevText(QString::fromLatin1(key), QString());
}

const char* const kPageNames[11] = {"overviewPage", "singleLinePage", "inverterPage", "weatherPage",
                                    "trackerPage",  "meterPage",      "networkPage",  "controllerPage",
                                    "performancePage", "chartsPage",  "historyPage"};

QStringList valueLabelNames()
{
    QStringList names = {"overviewHealth", "overviewAlarms", "overviewWeather", "singleVoltage", "singleFrequency",
                         "singlePowerFactor", "singleBreaker", "networkNodes", "networkLatency", "networkTraffic",
                         "networkSecurity", "weatherIrradiance", "weatherModuleTemp", "weatherAmbientTemp",
                         "weatherWind", "weatherHumidity", "trackerTarget", "controllerActive",
                         "controllerReactive", "controllerFactor", "controllerRamp", "performancePr",
                         "performanceAvailability", "performanceCurtailment", "performanceCo2"};
    for (int i = 0; i < 12; ++i)
        names << QStringLiteral("trackerValue%1").arg(i);
    for (int i = 0; i < 4; ++i)
        names << QStringLiteral("meterValue%1").arg(i);
    return names;
}

bool sameZoomStyle(const DataZoomStyle& a, const DataZoomStyle& b)
{
    const auto fields = [](const DataZoomStyle& s) {
        return std::make_tuple(s.trackColor.rgba(), s.windowColor.rgba(), s.windowBorderColor.rgba(),
                               s.handleColor.rgba(), s.labelColor.rgba(), s.sliderHeight, s.cornerRadius,
                               s.handleWidth, s.handleOverhang, s.labelGap, s.labelHeight, s.labelFontPx);
    };
    return fields(a) == fields(b);
}

PlantSnapshot snapshotWith(const QVector<int>& statuses, double dailyEnergy)
{
    PlantSnapshot s;
    s.dailyEnergy = dailyEnergy;
    s.performanceRatio = 80.0;
    for (int h = 0; h < 24; ++h) {
        s.hourLabels << QStringLiteral("%1:00").arg(h, 2, 10, QLatin1Char('0'));
        s.actualPowerHistory << h;
        s.expectedPowerHistory << h + 1;
        s.irradianceHistory << 10.0 * h;
        s.temperatureHistory << 20.0;
        s.availabilityHistory << 99.0;
    }
    for (int i = 0; i < statuses.size(); ++i) {
        InverterRow r;
        r.index = i;
        r.name = QStringLiteral("INV 1.%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        r.status = statuses[i];
        r.activePower = 100.0 * (i + 1);
        r.voltages = {400, 400, 400};
        r.currents = {100, 100, 100};
        s.inverters.append(r);
    }
    return s;
}

bool fuzzy(double a, double b)
{
    return std::fabs(a - b) < 1e-9;
}

} // namespace

class PhotovoltaicPlantWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PhotovoltaicPlantWindow> w;

    QVector<TEVQChartBase*> charts() const
    {
        return {w->m_powerTrendChart,       w->m_inverterOutputChart, w->m_weatherTrendChart,
                w->m_meterTrendChart,       w->m_performanceTrendChart, w->m_analysisPowerChart,
                w->m_analysisEnergyChart};
    }

    // The charts hold the snapshot's data, checked against the formulas of each chart.
    void checkCharts(const PlantSnapshot& s)
    {
        const QStringList hours = s.hourLabels;
        auto* power = w->m_powerTrendChart.data();
        QCOMPARE(power->categories(), hours);
        QCOMPARE(power->series().size(), 2);
        const LineSeries& actual = power->series()[0];
        QCOMPARE(actual.name, tx("solar.chart.actualPower"));
        QCOMPARE(actual.values, s.actualPowerHistory);
        QCOMPARE(actual.color, QColor(105, 153, 120));
        QCOMPARE(actual.areaColor, QColor(154, 190, 164));
        QVERIFY(actual.smooth && actual.area && !actual.showSymbols);
        QCOMPARE(actual.width, 2.4);
        QCOMPARE(actual.areaOpacity, 0.24);
        const LineSeries& expected = power->series()[1];
        QCOMPARE(expected.name, tx("solar.chart.expectedPower"));
        QCOMPARE(expected.values, s.expectedPowerHistory);
        QCOMPARE(expected.color, QColor(173, 188, 178));
        QVERIFY(expected.smooth && !expected.area && !expected.showSymbols);
        QCOMPARE(expected.width, 1.7);

        auto* weather = w->m_weatherTrendChart.data();
        QCOMPARE(weather->categories(), hours);
        QCOMPARE(weather->series().size(), 3);
        QCOMPARE(weather->series()[0].name, tx("solar.chart.irradiance"));
        for (int i = 0; i < s.irradianceHistory.size(); ++i)
            QVERIFY(fuzzy(weather->series()[0].values[i], s.irradianceHistory[i] / 10.0));
        QCOMPARE(weather->series()[0].areaOpacity, 0.18);
        QCOMPARE(weather->series()[1].values, s.temperatureHistory);
        QVERIFY(!weather->series()[1].area);
        const LineSeries& wind = weather->series()[2];
        QCOMPARE(wind.values.size(), hours.size());
        QVERIFY(fuzzy(wind.values[0], 3.2 + 1.4 * std::sin(0.6)));
        QCOMPARE(wind.color, QColor(91, 156, 190));

        auto* meter = w->m_meterTrendChart.data();
        QCOMPARE(meter->series().size(), 2);
        QCOMPARE(meter->series()[0].name, tx("solar.chart.gridExport"));
        QCOMPARE(meter->series()[0].values, s.actualPowerHistory);
        QCOMPARE(meter->series()[0].width, 2.4);
        QCOMPARE(meter->series()[0].areaOpacity, 0.18);
        QCOMPARE(meter->series()[1].name, tx("solar.chart.grossGeneration"));
        QCOMPARE(meter->series()[1].width, 1.7);

        auto* performance = w->m_performanceTrendChart.data();
        QCOMPARE(performance->series().size(), 2);
        QCOMPARE(performance->series()[0].values, s.availabilityHistory);
        const LineSeries& pr = performance->series()[1];
        QCOMPARE(pr.values.size(), s.availabilityHistory.size());
        for (int i = 0; i < pr.values.size(); ++i)
            QVERIFY(fuzzy(pr.values[i], s.performanceRatio + 1.4 * std::sin(0.38 * i)));

        QCOMPARE(w->m_analysisPowerChart->categories(), hours);
        QCOMPARE(w->m_analysisPowerChart->series().size(), 2);
        QCOMPARE(w->m_analysisPowerChart->series()[0].values, s.actualPowerHistory);

        auto* energy = w->m_analysisEnergyChart.data();
        QCOMPARE(energy->categories(),
                 QStringList({tx("solar.week.mon"), tx("solar.week.tue"), tx("solar.week.wed"), tx("solar.week.thu"),
                              tx("solar.week.fri"), tx("solar.week.sat"), tx("solar.week.sun")}));
        QCOMPARE(energy->series().size(), 1);
        static const double week[7] = {0.91, 0.95, 0.87, 1.03, 0.98, 1.06, 1.0};
        for (int i = 0; i < 7; ++i)
            QVERIFY(fuzzy(energy->series()[0].values[i], s.dailyEnergy * week[i]));
        QCOMPARE(energy->series()[0].color, QColor(120, 165, 133));
        QCOMPARE(energy->series()[0].borderColor, QColor(92, 134, 104));

        // The bars are the visible cards' inverters.
        const QVector<int> idx = w->filteredInverterIndexes(s);
        QStringList names;
        QVector<double> values;
        for (int k = 5 * w->cardPage(); k < idx.size() && k < 5 * w->cardPage() + 5; ++k) {
            names << s.inverters[idx[k]].name;
            values << s.inverters[idx[k]].activePower;
        }
        QCOMPARE(w->m_inverterOutputChart->categories(), names);
        QCOMPARE(w->m_inverterOutputChart->series().size(), 1);
        QCOMPARE(w->m_inverterOutputChart->series()[0].name, tx("solar.chart.activePower"));
        QCOMPARE(w->m_inverterOutputChart->series()[0].values, values);
    }

private slots:
    void initTestCase()
    {
        QString message;
        QVERIFY2(openDashboard(w, &message), qPrintable(message));
    }

    void cleanupTestCase() { w.reset(); }

    // ---- pages ----

    void pagesAndValueLabels()
    {
        QCOMPARE(w->pages().size(), 11);
        for (int i = 0; i < 11; ++i) {
            QCOMPARE(w->pages()[i]->objectName(), QString::fromLatin1(kPageNames[i]));
            QCOMPARE(w->pages()[i]->parentWidget(), static_cast<QWidget*>(w->m_pageHost));
        }
        const QStringList names = valueLabelNames();
        QCOMPARE(names.size(), 41);
        QCOMPARE(w->m_pageLabels.size(), 41);
        for (const QString& name : names) {
            TEVQLabel* label = w->m_pageLabels.value(name);
            QVERIFY2(label, qPrintable(name));
            QCOMPARE(label->objectName(), name);
            QVERIFY2(!label->text().isEmpty(), qPrintable(name)); // written by the constructor's refresh
        }
        // Tracker names are filled from the pattern, not left with their placeholders.
        for (int i = 0; i < 12; ++i) {
            auto* name = w->findChild<TEVQLabel*>(QStringLiteral("trackerName%1").arg(i));
            QVERIFY(name);
            QVERIFY2(!name->text().contains(QLatin1Char('%')), qPrintable(name->text()));
        }
        // An unknown name changes nothing.
        const QString before = w->m_pageLabels.value(QStringLiteral("networkNodes"))->text();
        w->setPageLabelText(QStringLiteral("noSuchLabel"), QStringLiteral("x"));
        w->setPageLabelText(QStringLiteral("networkNodes"), QStringLiteral("3 / 3"));
        QCOMPARE(w->m_pageLabels.value(QStringLiteral("networkNodes"))->text(), QStringLiteral("3 / 3"));
        w->refreshSnapshot(w->currentSnapshot());
        QCOMPARE(w->m_pageLabels.value(QStringLiteral("networkNodes"))->text(), before);
    }

    void diagramPages_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("diagram");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("ratio");
        QTest::newRow("overview") << 0 << "overviewDiagram" << 0 << 3;
        QTest::newRow("single-line") << 1 << "singleLineDiagram" << 1 << 4;
        QTest::newRow("network") << 6 << "networkDiagram" << 2 << 4;
    }

    void diagramPages()
    {
        QFETCH(int, section);
        QFETCH(QString, diagram);
        QFETCH(int, mode);
        QFETCH(int, ratio);
        w->setCurrentSection(section);
        auto* d = w->pages()[section]->findChild<SolarPlantDiagramWidget*>(diagram);
        QVERIFY(d);
        QCOMPARE(d->mode(), mode);
        QVERIFY(w->m_diagrams.contains(d));
        QCOMPARE(d->snapshot().inverters.size(), w->currentSnapshot().inverters.size());
        // The diagram card against the side column: ratio to 1 of the row's free width.
        QWidget* card = d->parentWidget();
        QWidget* row = card->parentWidget();
        QWidget* side = row->findChild<QWidget*>(QString::fromLatin1(kPageNames[section]) + QStringLiteral("Side"));
        QVERIFY(side);
        QVERIFY(d->height() > 200);
        QVERIFY2(std::abs(card->width() - ratio * side->width()) <= ratio + 1,
                 qPrintable(QStringLiteral("%1 %2").arg(card->width()).arg(side->width())));
    }

    void tilePages()
    {
        w->setCurrentSection(3);
        QWidget* irr = w->m_pageLabels.value(QStringLiteral("weatherIrradiance"));
        QCOMPARE(irr->parentWidget()->parentWidget()->height(), 86);
        QCOMPARE(irr->parentWidget()->parentWidget()->findChildren<TEVQLabel*>().size(), 10);
        QVERIFY(w->m_weatherTrendChart->height() > 200);
        w->setCurrentSection(8);
        QCOMPARE(w->m_pageLabels.value(QStringLiteral("performancePr"))->parentWidget()->parentWidget()->height(), 82);
        w->setCurrentSection(5);
        for (int i = 0; i < 4; ++i) {
            TEVQLabel* v = w->m_pageLabels.value(QStringLiteral("meterValue%1").arg(i));
            QCOMPARE(v->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        }
        // Meter column two fifths, chart card three fifths.
        QWidget* column = w->m_pageLabels.value(QStringLiteral("meterValue0"))->parentWidget()->parentWidget();
        QWidget* chartCard = w->m_meterTrendChart->parentWidget();
        QVERIFY(std::abs(2 * chartCard->width() - 3 * column->width()) <= 6);
    }

    void trackerAndControllerPages()
    {
        w->setCurrentSection(4);
        int maintenance = 0;
        for (const auto& p : w->translatedLabels()) {
            if (p.second == QLatin1String("solar.tracker.maintenance")) {
                ++maintenance;
                QCOMPARE(p.first->getThemeName(), QStringLiteral("SolarLabelWarn"));
                QCOMPARE(p.first->parentWidget(), w->m_pageLabels.value("trackerValue7")->parentWidget());
            }
        }
        QCOMPARE(maintenance, 1);
        // Four tiles a row at any width.
        for (int width : {1280, 1920}) {
            w->resize(width, 900);
            QTRY_COMPARE(w->width(), width);
            QCOMPARE(w->m_pageLabels.value("trackerValue0")->parentWidget()->y(),
                     w->m_pageLabels.value("trackerValue3")->parentWidget()->y());
            QVERIFY(w->m_pageLabels.value("trackerValue4")->parentWidget()->parentWidget()->y() >
                    w->m_pageLabels.value("trackerValue3")->parentWidget()->parentWidget()->y());
        }
        w->resize(1440, 900);
        QTRY_COMPARE(w->width(), 1440);
        QCOMPARE(w->findChild<TEVQProgressBar*>(QStringLiteral("trackerProgress"))->value(), 72);

        w->setCurrentSection(7);
        QList<TEVQProgressBar*> bars = w->pages()[7]->findChildren<TEVQProgressBar*>();
        QCOMPARE(bars.size(), 4);
        auto* start = w->findChild<TEVQPushButton*>(QStringLiteral("controllerStartButton"));
        auto* stop = w->findChild<TEVQPushButton*>(QStringLiteral("controllerStopButton"));
        QVERIFY(start && stop);
        QSignalSpy spy(w->simulator(), &SolarPlantSimulator::snapshotChanged);
        QTest::mouseClick(stop, Qt::LeftButton);
        QVERIFY(!w->currentSnapshot().commandEnabled);
        QTest::mouseClick(start, Qt::LeftButton);
        QTest::mouseClick(start, Qt::LeftButton); // already on: still a command
        QCOMPARE(spy.count(), 3);
        QVERIFY(w->currentSnapshot().commandEnabled);
        // The bars are never written by the refresh.
        QList<int> values;
        for (TEVQProgressBar* b : bars)
            values << b->value();
        QCOMPARE(values, QList<int>({74, 74, 98, 74}));
    }

    void historyPage()
    {
        w->setCurrentSection(10);
        QWidget* table = w->findChild<QWidget*>(QStringLiteral("historyTable"));
        QVERIFY(table);
        QList<TEVQContainer*> rows = table->findChildren<TEVQContainer*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(rows.size(), 8); // header and seven events
        const QStringList severity = {"SolarLabelFault", "SolarLabelOk", "SolarLabelOk", "SolarLabelWarn",
                                      "SolarLabelOk",    "SolarLabelOk", "SolarLabelWarn"};
        for (int r = 0; r < 7; ++r) {
            QList<TEVQLabel*> cells = rows[r + 1]->findChildren<TEVQLabel*>();
            QCOMPARE(cells.size(), 5);
            QCOMPARE(cells[3]->getThemeName(), severity[r]);
            // Columns line up with the header.
            for (int c = 0; c < 5; ++c)
                QCOMPARE(cells[c]->x(), rows[0]->findChildren<TEVQLabel*>()[c]->x());
        }
        QCOMPARE(rows[1]->findChildren<TEVQLabel*>()[0]->text(), QStringLiteral("10:42:18"));
    }

    void sectionSwitchShowsOnePage()
    {
        for (int s = 0; s < 11; ++s) {
            w->setCurrentSection(s);
            for (int i = 0; i < 11; ++i)
                QCOMPARE(w->pages()[i]->isVisible(), i == s);
            QCOMPARE(w->pages()[s]->geometry(), w->m_pageHost->rect());
            tevtest::keepRender(w->grab().toImage(), QStringLiteral("dashboard_section_%1.png").arg(s));
        }
        w->setCurrentSection(2);
    }

    // ---- charts ----

    void chartSetUp()
    {
        const QStringList names = {"powerTrendChart",       "inverterOutputChart", "weatherTrendChart",
                                   "meterTrendChart",       "performanceTrendChart", "analysisPowerChart",
                                   "analysisEnergyChart"};
        const QVector<TEVQChartBase*> all = charts();
        const ChartTheme want = solarChartTheme();
        QCOMPARE(want.name, QStringLiteral("Quenlark"));
        QCOMPARE(want.palette.size(), 4);
        QCOMPARE(want.titleFontPx, 16);
        for (int i = 0; i < all.size(); ++i) {
            TEVQChartBase* c = all[i];
            QVERIFY(c);
            QCOMPARE(c->objectName(), names[i]);
            QCOMPARE(w->findChild<TEVQChartBase*>(names[i]), c);
            QCOMPARE(c->theme().name, want.name);
            QCOMPARE(c->theme().backgroundColor, QColor(248, 251, 249));
            QCOMPARE(c->theme().palette, want.palette);
            QCOMPARE(c->theme().labelFontPx, 12);
            QCOMPARE(c->legendPosition(), 0);
            QVERIFY(!c->animationEnabled());
            QCOMPARE(c->animationProgress(), 1.0);
        }
        for (TEVQLineChart* c : {w->m_powerTrendChart, w->m_weatherTrendChart, w->m_meterTrendChart,
                                 w->m_performanceTrendChart, w->m_analysisPowerChart}) {
            QCOMPARE(c->painter()->tooltipTrigger, 2);
            QVERIFY(c->painter()->hoverEnabled);
            QCOMPARE(c->title(), QString());
            QCOMPARE(c->zoom().isEnabled(), c == w->m_analysisPowerChart);
        }
        QCOMPARE(w->m_analysisPowerChart->zoomStyle().labelHeight, 18.0);
        QCOMPARE(w->m_analysisPowerChart->zoomStyle().labelFontPx, 12);
        // Only the label height and size differ from the slider's own look; the label colour is the chart
        // theme's once the chart has painted.
        w->m_analysisPowerChart->renderImage();
        DataZoomStyle slider;
        slider.labelHeight = 18.0;
        slider.labelFontPx = 12;
        slider.labelColor = w->m_analysisPowerChart->theme().axisLabelColor;
        QVERIFY(sameZoomStyle(w->m_analysisPowerChart->zoomStyle(), slider));
        QCOMPARE(w->m_inverterOutputChart->painter()->tooltipTrigger, 1);
        QCOMPARE(w->m_analysisEnergyChart->painter()->tooltipTrigger, 2);
        QCOMPARE(w->m_analysisEnergyChart->title(), QString());
        // The charts page paints its data: more than the background and a grid.
        w->setCurrentSection(9);
        for (TEVQChartBase* c : {static_cast<TEVQChartBase*>(w->m_analysisPowerChart),
                                 static_cast<TEVQChartBase*>(w->m_analysisEnergyChart)}) {
            const QImage img = c->renderImage();
            tevtest::keepRender(img, c->objectName() + QStringLiteral(".png"));
            QSet<QRgb> colours;
            for (int y = 0; y < img.height(); y += 3)
                for (int x = 0; x < img.width(); x += 3)
                    colours.insert(img.pixel(x, y));
            QVERIFY2(colours.size() > 20, qPrintable(c->objectName()));
        }
        w->setCurrentSection(2);
    }

    void chartsAfterATick()
    {
        QSignalSpy history(w->simulator(), &SolarPlantSimulator::chartHistoryChanged);
        for (int i = 0; i < 5; ++i) {
            w->simulator()->advance();
            checkCharts(w->currentSnapshot());
        }
        QVERIFY(history.count() >= 1);
        QCOMPARE(w->m_powerTrendChart->categories().size(), 24);
        QCOMPARE(w->m_inverterOutputChart->categories().size(), 5);
        // No refill starts an opening animation.
        for (TEVQChartBase* c : charts())
            QCOMPARE(c->animationProgress(), 1.0);
    }

    // A week of ticks grows the daily energy past 70,000 MWh: the energy chart's value labels keep every digit
    // (the plot makes room for them), as they keep the usual margin at the start.
    void energyLabelsAfterAWeek()
    {
        TEVQBarChart* chart = w->m_analysisEnergyChart;
        const auto labelsFit = [chart]() {
            double lo, hi;
            chart->painter()->valueRange(lo, hi);
            QFont font = chart->font();
            font.setPixelSize(chart->theme().labelFontPx);
            const QRectF plot = chart->painter()->plotRect(chart->size(), chart->legendPosition());
            for (int i = 0; i <= 5; ++i) {
                if (QFontMetricsF(font).horizontalAdvance(TEVChart::valueLabel(i, lo, hi)) > plot.left() - 10)
                    return false;
            }
            return true;
        };
        w->refreshSnapshot(snapshotWith({0, 2}, 612.0));
        QVERIFY(labelsFit());
        QCOMPARE(chart->painter()->plotRect(chart->size(), chart->legendPosition()).left(), 56.0);
        w->refreshSnapshot(snapshotWith({0, 2}, 612.0 + 0.12 * 7 * 86400));
        QVERIFY(labelsFit());
        w->refreshSnapshot(w->simulator()->snapshot());
    }

    // A series the operator hides through a chart's legend stays hidden through the refills, on every tick
    // and on the fifth; the others stay shown.
    void legendChoiceOutlastsRefills()
    {
        w->setCurrentSection(9);
        QTest::qWait(20);
        auto clickFirstEntry = [](auto* chart, bool shownAfter) {
            auto* d = chart->painter();
            const QRectF plot = d->plotRect(chart->size(), chart->legendPosition());
            const auto items = d->legendItems(plot, chart->size());
            QVERIFY(!items.isEmpty());
            QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, items[0].rect.center().toPoint());
            QCOMPARE(chart->series()[0].visible, shownAfter);
        };
        clickFirstEntry(w->m_analysisPowerChart.data(), false);
        clickFirstEntry(w->m_analysisEnergyChart.data(), false);
        for (int i = 0; i < 5; ++i) {
            w->simulator()->advance();
            QVERIFY(!w->m_analysisPowerChart->series()[0].visible);
            QVERIFY(w->m_analysisPowerChart->series()[1].visible);
            QVERIFY(!w->m_analysisEnergyChart->series()[0].visible);
        }
        clickFirstEntry(w->m_analysisPowerChart.data(), true); // shows it again
        w->simulator()->advance();
        QVERIFY(w->m_analysisPowerChart->series()[0].visible);
        clickFirstEntry(w->m_analysisEnergyChart.data(), true);
        w->setCurrentSection(2);
    }

    // A refill with the data a chart already shows leaves the chart alone (no repaint); a changed value, a
    // changed hour label or another language reaches it at once.
    void unchangedDataLeavesChartsAlone()
    {
        struct PaintCount : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                paints += e->type() == QEvent::Paint;
                return false;
            }
        };
        w->setCurrentSection(9);
        QTest::qWait(20);
        TEVQLineChart* chart = w->m_analysisPowerChart;
        PaintCount count;
        chart->installEventFilter(&count);
        PlantSnapshot s = snapshotWith({0, 2}, 612.0);
        // Only a look that expects no paint is repeatable (a repeated refill brings nothing new).
        const auto refillAndPaint = [&](const PlantSnapshot& next) {
            count.paints = 0;
            w->refreshCharts(next);
            QApplication::processEvents();
            return count.paints;
        };
        const auto refillPaints = [&](const PlantSnapshot& next) {
            return tevtest::paintsCausedBy(chart, [&] { w->refreshCharts(next); });
        };
        refillAndPaint(s);
        QCOMPARE(refillPaints(s), 0);
        QCOMPARE(chart->series()[0].values, s.actualPowerHistory);

        s.actualPowerHistory[3] = 42.5;
        QVERIFY(refillAndPaint(s) > 0);
        QCOMPARE(chart->series()[0].values, s.actualPowerHistory);
        QCOMPARE(refillPaints(s), 0);

        s.hourLabels[0] = QStringLiteral("24:00");
        QVERIFY(refillAndPaint(s) > 0);
        QCOMPARE(chart->categories(), s.hourLabels);

        QVERIFY(TEVQtLib::tevSetLanguage(QStringLiteral("zh-CN")));
        w->refreshCharts(s);
        QCOMPARE(chart->series()[0].name, tx("solar.chart.actualPower"));
        QCOMPARE(w->m_analysisEnergyChart->categories().first(), tx("solar.week.mon"));
        QVERIFY(TEVQtLib::tevSetLanguage(QStringLiteral("en-US")));
        w->refreshCharts(s);
        QCOMPARE(chart->series()[0].name, tx("solar.chart.actualPower"));
        chart->removeEventFilter(&count);
        w->refreshSnapshot(w->simulator()->snapshot());
        w->setCurrentSection(2);
    }

    void chartsAfterEachSetter()
    {
        SolarPlantSimulator* sim = w->simulator();
        sim->setPlantIndex(1);
        checkCharts(w->currentSnapshot());
        sim->setGroupIndex(2);
        checkCharts(w->currentSnapshot());
        sim->setSkidIndex(1);
        checkCharts(w->currentSnapshot());
        sim->setCommandEnabled(false);
        checkCharts(w->currentSnapshot());
        // Nine offline inverters: the notice filter shows five, then four on the second page.
        w->setAlarmFilter(0);
        checkCharts(w->currentSnapshot());
        w->showNextPage();
        QCOMPARE(w->cardPage(), 1);
        QCOMPARE(w->m_inverterOutputChart->categories().size(), w->filteredInverterIndexes(w->currentSnapshot()).size() - 5);
        checkCharts(w->currentSnapshot());
        w->setAlarmFilter(0);
        sim->setCommandEnabled(true);
        sim->setPlantIndex(0);
        sim->setGroupIndex(0);
        sim->setSkidIndex(0);
    }

    void chartsFromCraftedSnapshots()
    {
        // One warning inverter under the warnings filter: one bar.
        w->setAlarmFilter(1);
        w->refreshSnapshot(snapshotWith({0, 1, 0, 2, 3, 0, 0}, 100.0));
        QCOMPARE(w->m_inverterOutputChart->categories(), QStringList({"INV 1.02"}));
        QCOMPARE(w->m_inverterOutputChart->series()[0].values, QVector<double>({200.0}));
        // A daily energy of 100 MWh gives the weekly bars 91 .. 100.
        const QVector<double> bars = w->m_analysisEnergyChart->series()[0].values;
        const QVector<double> want = {91, 95, 87, 103, 98, 106, 100};
        for (int i = 0; i < 7; ++i)
            QVERIFY(fuzzy(bars[i], want[i]));
        // No match: empty categories and an empty series.
        w->setAlarmFilter(2);
        QCOMPARE(w->alarmFilter(), 2);
        w->refreshSnapshot(snapshotWith({0, 0}, 100.0));
        QVERIFY(w->m_inverterOutputChart->categories().isEmpty());
        QVERIFY(w->m_inverterOutputChart->series()[0].values.isEmpty());
        // Twelve rows, last page of the unfiltered list: two bars.
        w->setAlarmFilter(-1);
        w->refreshSnapshot(snapshotWith(QVector<int>(12, 0), 100.0));
        w->showNextPage();
        w->showNextPage();
        QCOMPARE(w->cardPage(), 2);
        QCOMPARE(w->m_inverterOutputChart->categories(), QStringList({"INV 1.11", "INV 1.12"}));
        // An empty history empties the line charts without harm.
        w->refreshCharts(PlantSnapshot());
        QVERIFY(w->m_weatherTrendChart->series()[2].values.isEmpty());
        QVERIFY(w->m_powerTrendChart->categories().isEmpty());
        w->setAlarmFilter(-1);
        w->simulator()->advance();
    }

    // What another owner deletes is skipped from then on: a chart, a value label, a key label, a diagram and
    // the simulator itself; the window still refreshes, switches language, takes clicks and closes.
    void deletedPartsAreSkipped()
    {
        auto* other = new PhotovoltaicPlantWindow;
        other->simulator()->stop();
        delete other->weatherTrendChart();
        delete other->findChild<TEVQLabel*>(QStringLiteral("overviewHealth"));
        delete other->translatedLabels().first().first;
        delete other->findChild<SolarPlantDiagramWidget*>(QStringLiteral("networkDiagram"));
        delete other->simulator();
        QVERIFY(!other->weatherTrendChart() && !other->simulator());
        other->refreshSnapshot(other->currentSnapshot());
        QVERIFY(TEVQtLib::tevSetLanguage(QStringLiteral("zh-CN")));
        QVERIFY(TEVQtLib::tevSetLanguage(QStringLiteral("en-US")));
        other->findChild<QAbstractButton*>(QStringLiteral("siteButton6"))->click();
        other->findChild<QAbstractButton*>(QStringLiteral("controllerStopButton"))->click();
        delete other;
    }

    // The same for every other part the window keeps: header and command card labels, the switch, the combo, a
    // radio, a card and a card's label, a dot, the pager, a navigation row, an alarm row, a tile, a page, the
    // drawer's body, and at last the root with all the rest.
    void everyKeptPartDeletedElsewhereIsSkipped()
    {
        auto* other = new PhotovoltaicPlantWindow;
        other->simulator()->stop();
        other->show();
        for (const char* name : {"commandSwitch", "skidCombo", "groupRadio1", "inverterRange", "inverterCard1",
                                 "nextPageButton", "chineseButton", "siteButton5", "trendDrawerBody"})
            delete other->findChild<QWidget*>(QString::fromLatin1(name));
        delete other->m_dateLabel;
        delete other->m_commandState;
        delete other->m_pageDots[1];
        delete other->navEntries()[3].row;
        delete other->alarmRows()[1].row;
        delete other->metricTiles()[0].progress;
        delete other->metricTiles()[2].value;
        delete other->pages()[4];
        delete other->inverterCards()[0]->metricValue(2);
        auto exercise = [other]() {
            other->refreshSnapshot(other->currentSnapshot());
            QVERIFY(TEVQtLib::tevSetLanguage(QStringLiteral("zh-CN")));
            QVERIFY(TEVQtLib::tevSetLanguage(QStringLiteral("en-US")));
            for (int section = 0; section < 11; ++section)
                other->setCurrentSection(section);
            for (int filter : {0, 1, 2, 2})
                other->setAlarmFilter(filter);
            other->showNextPage();
            other->showPreviousPage();
            other->setTrendDrawerExpanded(true);
            other->setTrendDrawerExpanded(false);
            other->resize(1300, 760);
            QTest::qWait(20);
            other->simulator()->setSkidIndex(1);
        };
        exercise();
        delete other->m_root;
        exercise();
        delete other;
    }

    // A theme change gives every label its text style's alignment; the next snapshot restores the builders' own.
    void alignmentsOutlastAThemeChange()
    {
        QVERIFY(TEVQtLib::tevNotifyThemeChange());
        w->refreshSnapshot(w->currentSnapshot());
        const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
        QCOMPARE(w->m_pageLabels.value("meterValue0")->alignment(), right);
        QCOMPARE(w->m_pageLabels.value("trackerValue3")->alignment(), Qt::AlignCenter);
        QCOMPARE(w->alarmRows()[0].countLabel->alignment(), Qt::AlignCenter);
        QCOMPARE(w->inverterCards()[0]->metricValue(0)->alignment(), right);
        QCOMPARE(w->inverterCards()[0]->statusText()->alignment(), right);
    }

    // ---- drawer ----

    void drawerWithCharts()
    {
        QVERIFY(!w->isTrendDrawerExpanded());
        QVERIFY(!w->m_powerTrendChart->isVisible());
        QVERIFY(!w->m_inverterOutputChart->isVisible());
        QCOMPARE(w->m_powerTrendChart->parentWidget(), static_cast<QWidget*>(w->m_trendDrawerBody));
        QTest::mouseClick(w->m_trendDrawerButton, Qt::LeftButton);
        QTRY_COMPARE(w->m_trendDrawer->width(), 440);
        QVERIFY(w->m_powerTrendChart->isVisible());
        QVERIFY(w->m_inverterOutputChart->isVisible());
        w->m_trendDrawerBody->forceResize();
        const int p = w->m_powerTrendChart->height(), q = w->m_inverterOutputChart->height();
        QVERIFY(p >= 230 && q >= 170);
        QVERIFY2(std::abs(2 * p - 3 * q) <= 6 || p == 230 || q == 170, qPrintable(QStringLiteral("%1 %2").arg(p).arg(q)));
        QCOMPARE(w->m_powerTrendChart->width(), 440 - 28);
        tevtest::keepRender(w->grab().toImage(), QStringLiteral("dashboard_drawer_open.png"));
        // Still refilled while open.
        w->simulator()->advance();
        checkCharts(w->currentSnapshot());
        QTest::mouseClick(w->m_trendDrawerButton, Qt::LeftButton);
        QVERIFY(!w->isTrendDrawerExpanded());
        QTRY_VERIFY(!w->m_powerTrendChart->isVisible());
        QTRY_COMPARE(w->m_trendDrawer->width(), 0);

        // A close during the opening slide is not lost: the drawer ends closed, its charts hidden; and a
        // reopening during the closing slide ends open.
        w->setTrendDrawerExpanded(true);
        QTest::qWait(30);
        w->setTrendDrawerExpanded(false);
        QTRY_VERIFY(!w->m_trendDrawer->isResizeAnimationRunning() && w->m_trendDrawer->width() == 0);
        QTRY_VERIFY(!w->m_inverterOutputChart->isVisible());
        QTest::qWait(300);
        QCOMPARE(w->m_trendDrawer->width(), 0);
        w->setTrendDrawerExpanded(true);
        QTRY_COMPARE(w->m_trendDrawer->width(), 440);
        w->setTrendDrawerExpanded(false);
        QTest::qWait(30);
        w->setTrendDrawerExpanded(true);
        // Both slides take their time on a loaded machine: the drawer comes to rest open.
        QTRY_VERIFY(!w->m_drawerAnimationPending && !w->m_trendDrawer->isResizeAnimationRunning() &&
                    w->m_trendDrawer->width() == 440);
        QVERIFY(w->m_powerTrendChart->isVisible());
        w->setTrendDrawerExpanded(false);
        QTRY_COMPARE(w->m_trendDrawer->width(), 0);
        QTRY_VERIFY(!w->m_trendDrawerBody->isVisible());
    }

    // ---- language ----

    void languageOnEveryPage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("zh-CN") << QStringLiteral("zh-CN");
        QTest::newRow("en-US") << QStringLiteral("en-US");
    }

    void languageOnEveryPage()
    {
        QFETCH(QString, language);
        QVERIFY(TEVQtLib::tevSetLanguage(language));
        for (int s = 0; s < 11; ++s) {
            w->setCurrentSection(s);
            int keyLabels = 0;
            for (const auto& p : w->translatedLabels()) {
                if (!w->pages()[s]->isAncestorOf(p.first))
                    continue;
                ++keyLabels;
                if (p.second == QLatin1String("solar.tracker.name"))
                    continue; // filled from the pattern
                const QString want = TEVQtLib::LanguageManager::instance()->text(p.second);
                QVERIFY2(!want.isEmpty() && !want.startsWith(QLatin1String("solar.")), qPrintable(p.second));
                QCOMPARE(p.first->text(), want);
            }
            QVERIFY2(keyLabels > 0, kPageNames[s]);
        }
        const QString pattern = tx("solar.tracker.name");
        QCOMPARE(w->findChild<TEVQLabel*>(QStringLiteral("trackerName0"))->text(),
                 pattern.arg(w->currentSnapshot().skidIndex + 1).arg(1, 2, 10, QLatin1Char('0')));
        // The two commands show their icon beside the new text, as buttons built in this language do.
        TEVQContainer scratch;
        scratch.resize(300, 40);
        for (const auto& b : {std::make_pair("controllerStartButton", "solar.command.enable"),
                              std::make_pair("controllerStopButton", "solar.command.limit")}) {
            auto* button = w->findChild<TEVQPushButton*>(QString::fromLatin1(b.first));
            QCOMPARE(button->text(), tx(b.second));
            TEVQPushButton* fresh = addButton(&scratch, button->getThemeName(), tx(b.second), 0, 40, button->getIcon());
            QCOMPARE(button->getIconStyle().offsetX, fresh->getIconStyle().offsetX);
            QCOMPARE(button->getTextOffsetX(), fresh->getTextOffsetX());
        }
        // The charts follow at once: series names and weekday labels.
        QCOMPARE(w->m_analysisEnergyChart->categories().first(), tx("solar.week.mon"));
        QCOMPARE(w->m_weatherTrendChart->series()[1].name, tx("solar.chart.ambientTemperature"));
        QCOMPARE(w->m_inverterOutputChart->series()[0].name, tx("solar.chart.activePower"));
        // The history times are the same in both languages.
        w->setCurrentSection(10);
        QVERIFY(w->pages()[10]->findChildren<TEVQLabel*>().size() > 40);
        bool found = false;
        for (TEVQLabel* l : w->pages()[10]->findChildren<TEVQLabel*>())
            found = found || l->text() == QLatin1String("08:15:19");
        QVERIFY(found);
        w->setCurrentSection(2);
    }
};

TEV_TEST_MAIN(PhotovoltaicPlantWindowTest)
#include "tst_dashboard3.moc"
