// The dashboard's charts drawn through OpenGL inside the window: the screenshot of the charts page shows the
// charts' data, not only their background.
#include "DashboardStartup.h"
#include "PhotovoltaicPlantWindow.h"
#include "SolarPlantSimulator.h"
#include "TEVQLineChart.h"
#include "TEVQtLib.h"
#include "TevTest.h"

#include <QSet>
#include <QTemporaryDir>

using namespace quenlark;

class tst_dashboardgl : public QObject
{
    Q_OBJECT

private slots:
    void chartsPagePicture()
    {
        TEVQtLib::init();
        initResources();
        QString message;
        QVERIFY2(loadDictionary(QString::fromLatin1(kDictionaryPath), &message), qPrintable(message));
        QVERIFY2(loadTheme(themeDirectory(), &message), qPrintable(message));
        PhotovoltaicPlantWindow w;
        w.simulator()->stop();
        w.resize(1440, 900);
        w.setCurrentSection(9);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::qWait(200);
        TEVQLineChart* chart = w.analysisPowerChart();
        const QImage gl = chart->grabFramebuffer();
        if (gl.isNull())
            QSKIP("no OpenGL context on this display");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("shot.png"));
        QCOMPARE(saveScreenshot(&w, path), 0);
        const QImage picture(path);
        QCOMPARE(picture.size(), w.size() * w.devicePixelRatioF());
        tevtest::keepRender(picture, QStringLiteral("dashboard-charts-gl.png"));
        tevtest::keepRender(gl, QStringLiteral("dashboard-chart-fb.png"));
        const QRect r(chart->mapTo(&w, QPoint(0, 0)), chart->size());
        QSet<QRgb> colours;
        for (int y = r.top(); y < r.bottom(); y += 3)
            for (int x = r.left(); x < r.right(); x += 3)
                colours.insert(picture.pixel(x, y));
        QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));

        // Only the charts shown hold OpenGL surfaces: the screenshot made none for the charts of the hidden pages
        // and of the closed drawer. A page shown makes its charts' surfaces.
        for (TEVQChartBase* hidden : QVector<TEVQChartBase*>{w.powerTrendChart(), w.inverterOutputChart(),
                                                             w.weatherTrendChart(), w.meterTrendChart(),
                                                             w.performanceTrendChart()})
            QVERIFY2(!hidden->context(), qPrintable(hidden->objectName()));
        w.setCurrentSection(3);
        QTRY_VERIFY(w.weatherTrendChart()->context());
        QVERIFY(!w.weatherTrendChart()->grabFramebuffer().isNull());
    }
};

TEV_TEST_MAIN(tst_dashboardgl)
#include "tst_dashboardgl.moc"
