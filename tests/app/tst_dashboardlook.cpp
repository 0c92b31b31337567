// What an operator sees, in English and Chinese: every chart series names its unit (so a chart can be read
// against the cards beside it), the icon on the green start button is light, the overview's card and diagram
// carry different titles, and the history period sits at the right end of its title bar.
#include "DashboardFixture.h"
#include "DashboardStartup.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantSimulator.h"
#include "TEVQBarChart.h"
#include "TEVQLabel.h"
#include "TEVQLineChart.h"
#include "TEVQPushButton.h"
#include "TEVQtLib.h"
#include "TevTest.h"

#include <QApplication>
#include <QFontMetrics>
#include <QRegularExpression>

#include <memory>

namespace {

// The unit in the trailing parentheses of a series name, or an empty text.
QString unitOf(const QString& name)
{
    static const QRegularExpression unit(QStringLiteral("\\(([^()]+)\\)$"));
    const QRegularExpressionMatch m = unit.match(name);
    return m.hasMatch() ? m.captured(1) : QString();
}

int luma(QRgb c)
{
    return (299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c)) / 1000;
}

} // namespace

class PhotovoltaicPlantWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PhotovoltaicPlantWindow> w;

    void setLanguage(const QString& language)
    {
        QVERIFY(TEVQtLib::tevSetLanguage(language));
        w->refreshSnapshot(w->currentSnapshot());
    }

private slots:
    void initTestCase()
    {
        QString message;
        QVERIFY2(openDashboard(w, &message), qPrintable(message));
    }

    void cleanupTestCase()
    {
        w.reset();
        TEVQtLib::tevSetLanguage(QStringLiteral("en-US"));
    }

    void seriesNamesCarryUnits_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("en-US") << QStringLiteral("en-US");
        QTest::newRow("zh-CN") << QStringLiteral("zh-CN");
    }

    void seriesNamesCarryUnits()
    {
        QFETCH(QString, language);
        setLanguage(language);
        w->refreshCharts(w->currentSnapshot());

        // Each line chart with the units of its series, in series order. The irradiance is plotted in tens of
        // W/m², and says so, so that its curve is not read against the card's W/m² as ten times too small.
        const QList<QPair<TEVQLineChart*, QStringList>> lines = {
            {w->powerTrendChart(), {"MW", "MW"}},
            {w->weatherTrendChart(), {QStringLiteral("×10 W/m²"), QStringLiteral("°C"), "m/s"}},
            {w->meterTrendChart(), {"MW", "MW"}},
            {w->performanceTrendChart(), {"%", "%"}},
            {w->analysisPowerChart(), {"MW", "MW"}},
        };
        for (const auto& entry : lines) {
            QVERIFY(entry.first);
            const QVector<LineSeries>& series = entry.first->series();
            QCOMPARE(series.size(), entry.second.size());
            for (int s = 0; s < series.size(); ++s)
                QVERIFY2(unitOf(series[s].name) == entry.second[s],
                         qPrintable(entry.first->objectName() + QStringLiteral(": \"") + series[s].name + '"'));
        }
        QVERIFY(w->inverterOutputChart() && w->analysisEnergyChart());
        QCOMPARE(unitOf(w->inverterOutputChart()->series().value(0).name), QStringLiteral("kW"));
        QCOMPARE(unitOf(w->analysisEnergyChart()->series().value(0).name), QStringLiteral("MWh"));

        // The irradiance curve really is the snapshot's W/m² over ten.
        const PlantSnapshot& s = w->currentSnapshot();
        const QVector<double>& plotted = w->weatherTrendChart()->series()[0].values;
        QCOMPARE(plotted.size(), s.irradianceHistory.size());
        for (int i = 0; i < plotted.size(); ++i)
            QVERIFY(qFuzzyCompare(1.0 + plotted[i] * 10.0, 1.0 + s.irradianceHistory[i]));
    }

    void overviewTitlesDiffer_data() { seriesNamesCarryUnits_data(); }

    // The overview card's title and the diagram's own title sit one above the other: the same words twice read
    // as a mistake.
    void overviewTitlesDiffer()
    {
        QFETCH(QString, language);
        setLanguage(language);
        const QString card = TEVQtLib::tevText(QStringLiteral("solar.overview.arrayHealth"), QString());
        const QString diagram = TEVQtLib::tevText(QStringLiteral("solar.diagram.arrayStatus"), QString());
        QVERIFY(!card.isEmpty() && !card.startsWith(QLatin1String("solar.")));
        QVERIFY(!diagram.isEmpty() && !diagram.startsWith(QLatin1String("solar.")));
        QVERIFY2(card != diagram, qPrintable(card));
    }

    void startButtonIconIsLight_data() { seriesNamesCarryUnits_data(); }

    // The start button is green: its check mark is drawn light, as its text.
    void startButtonIconIsLight()
    {
        QFETCH(QString, language);
        setLanguage(language);
        w->setCurrentSection(7);
        QApplication::processEvents();
        auto* start = w->findChild<TEVQPushButton*>(QStringLiteral("controllerStartButton"));
        auto* stop = w->findChild<TEVQPushButton*>(QStringLiteral("controllerStopButton"));
        QVERIFY(start && stop);

        // The icon lies left of the text, which is centred in the button past its text offset.
        const QImage img = start->grab().toImage();
        tevtest::keepRender(img, QStringLiteral("controller-start-%1.png").arg(language));
        TEVQtLib::TEVTextCache fonts;
        const int textWidth = QFontMetrics(fonts.font(start->painter()->textStyles[0])).horizontalAdvance(start->text());
        const int textLeft = (img.width() + start->getTextOffsetX() - textWidth) / 2;
        const QRgb background = img.pixel(4, img.height() / 2);
        int light = 0;
        // Away from the rounded corners, where the card's white shows through.
        for (int y = img.height() / 4; y < img.height() * 3 / 4; ++y)
            for (int x = 12; x < textLeft - 1; ++x)
                if (luma(img.pixel(x, y)) > luma(background) + 80)
                    ++light;
        QVERIFY2(light >= 12, qPrintable(QString::number(light)));
    }
};

TEV_TEST_MAIN(PhotovoltaicPlantWindowTest)
#include "tst_dashboardlook.moc"
