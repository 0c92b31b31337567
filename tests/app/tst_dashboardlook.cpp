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

    // The start button is green: its check mark is drawn light, as its text; the stop button, white, keeps the
    // icon's own dark colour.
    void startButtonIconIsLight()
    {
        QFETCH(QString, language);
        setLanguage(language);
        w->setCurrentSection(7);
        QApplication::processEvents();
        auto* start = w->findChild<TEVQPushButton*>(QStringLiteral("controllerStartButton"));
        auto* stop = w->findChild<TEVQPushButton*>(QStringLiteral("controllerStopButton"));
        QVERIFY(start && stop);
        QVERIFY(start->getIconStyle().useColor);
        QCOMPARE(start->getIconStyle().color, QColor(255, 255, 255));
        QVERIFY(!stop->getIconStyle().useColor);

        // The icon lies left of the centred text, in the button's left third; the text never reaches there.
        const QImage img = start->grab().toImage();
        tevtest::keepRender(img, QStringLiteral("controller-start-%1.png").arg(language));
        const QRgb background = img.pixel(4, img.height() / 2);
        int light = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width() / 3; ++x)
                if (luma(img.pixel(x, y)) > luma(background) + 80)
                    ++light;
        QVERIFY2(light >= 12, qPrintable(QString::number(light)));

        // A theme change keeps it.
        QVERIFY(TEVQtLib::tevNotifyThemeChange());
        QVERIFY(start->getIconStyle().useColor);
        QCOMPARE(start->getIconStyle().color, QColor(255, 255, 255));
    }

    // A row puts its children at its top: what is lower than the row is centred in a box of its own, so that
    // it lines up with the row's other parts, at the smallest and a large window.
    void smallPartsLevelWithTheirRow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1280x720") << QSize(1280, 720);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }

    void smallPartsLevelWithTheirRow()
    {
        QFETCH(QSize, size);
        setLanguage(QStringLiteral("en-US"));
        w->resize(size);
        w->setCurrentSection(2);
        QApplication::processEvents();
        auto centreY = [this](const QWidget* x) { return x->mapTo(w.get(), x->rect().center()).y(); };
        auto centreX = [this](const QWidget* x) { return x->mapTo(w.get(), x->rect().center()).x(); };

        for (const PhotovoltaicPlantWindow::AlarmRow& row : w->alarmRows()) {
            const QWidget* badge = row.countLabel->parentWidget();
            QCOMPARE(badge->size(), QSize(24, 20));
            QVERIFY2(qAbs(centreY(badge) - centreY(row.label)) <= 1, qPrintable(row.key));
            QVERIFY(badge->geometry().bottom() < row.row->height());
        }

        // The command switch beside its state text.
        QCOMPARE(w->commandSwitch()->size(), QSize(80, 24));
        QVERIFY(qAbs(centreY(w->commandSwitch()) - centreY(w->m_commandState)) <= 1);
        QVERIFY(w->commandSwitch()->mapTo(w.get(), QPoint(80, 0)).x() < w->m_commandState->mapTo(w.get(), QPoint()).x());

        // The page dots level with the page buttons, in order between them, 8 pixels apart.
        QVERIFY(w->m_previousPageButton && w->m_nextPageButton);
        const int buttons = centreY(w->m_previousPageButton);
        QCOMPARE(centreY(w->m_nextPageButton), buttons);
        QCOMPARE(w->m_pageDots.size(), 2);
        for (const auto& dot : w->m_pageDots) {
            QCOMPARE(dot->size(), QSize(8, 8));
            QVERIFY(qAbs(centreY(dot) - buttons) <= 1);
        }
        QVERIFY(centreX(w->m_previousPageButton) < centreX(w->m_pageDots[0]));
        QCOMPARE(centreX(w->m_pageDots[1]) - centreX(w->m_pageDots[0]), 16);
        QVERIFY(centreX(w->m_pageDots[1]) < centreX(w->m_nextPageButton));
        // The pair sits in the middle of the pager.
        const int mid = (centreX(w->m_previousPageButton) + centreX(w->m_nextPageButton)) / 2;
        QVERIFY(qAbs((centreX(w->m_pageDots[0]) + centreX(w->m_pageDots[1])) / 2 - mid) <= 1);

        // Pixels where it matters: the dot's colour at the buttons' middle line.
        const QImage img = w->grab().toImage();
        const QPoint dot0 = w->m_pageDots[0]->mapTo(w.get(), w->m_pageDots[0]->rect().center());
        const QColor c = img.pixelColor(dot0.x(), buttons);
        QVERIFY2(c.green() > c.red() + 30, qPrintable(c.name()));

        // The badges still let a click through to their row.
        QVERIFY(w->alarmRows()[1].countLabel->parentWidget()->parentWidget()->testAttribute(
            Qt::WA_TransparentForMouseEvents));
        w->resize(1440, 900);
        QApplication::processEvents();
    }

    void historyPeriodAtTheRight_data() { seriesNamesCarryUnits_data(); }

    void historyPeriodAtTheRight()
    {
        QFETCH(QString, language);
        setLanguage(language);
        w->setCurrentSection(10);
        QApplication::processEvents();
        auto* period = w->findChild<TEVQLabel*>(QStringLiteral("historyPeriod"));
        QVERIFY(period && period->isVisible());
        QCOMPARE(period->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        // The label's right edge is the bar's, and its text ends there: right above the table's right edge.
        const QWidget* bar = period->parentWidget();
        QVERIFY(qAbs(period->geometry().right() - bar->contentsRect().right()) <= 1);
        const QFontMetrics fm(period->font());
        const int textLeft = period->contentsRect().right() - fm.horizontalAdvance(period->text());
        QVERIFY(period->mapTo(bar, QPoint(textLeft, 0)).x() > bar->width() * 3 / 4);

        // A theme change gives the label its text style's alignment; the window sets its own again.
        QVERIFY(TEVQtLib::tevNotifyThemeChange());
        w->refreshSnapshot(w->currentSnapshot());
        QCOMPARE(period->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    }
};

TEV_TEST_MAIN(PhotovoltaicPlantWindowTest)
#include "tst_dashboardlook.moc"
