// The charts on their OpenGL surface under the virtual X server (Mesa's software driver): the framebuffer
// holds the cleared background and the painted bars.
#include "TevTest.h"

#include "TEVQBarChart.h"
#include "TEVQControlRegistry.h"
#include "TEVQFinancialChart.h"
#include "TEVQOpenGLPieChart.h"
#include "TEVQScatterChart.h"
#include "TEVQtLib.h"

namespace {
bool sameColor(const QColor& a, const QColor& b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
} // namespace

class tst_chartgl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TEVQtLib::init(); }

    void framebuffer()
    {
        TEVQBarChart chart;
        chart.setAnimationEnabled(false);
        chart.setBackgroundColor(QColor(250, 250, 240));
        chart.resize(600, 400);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        const QImage gl = chart.grabFramebuffer();
        if (gl.isNull()) {
            if (qEnvironmentVariable("CI") == QLatin1String("true"))
                QFAIL("no OpenGL context under the virtual X server");
            QSKIP("no OpenGL context on this display");
        }
        TEVQBarChartImpl* d = chart.painter();
        const QRectF plot = d->plotRect(chart.size(), chart.legendPosition());
        double lo, hi;
        d->valueRange(lo, hi);
        const BarItem first = d->barItems(plot, lo, hi, 1.0, chart.theme()).first();
        const qreal dpr = gl.devicePixelRatio();
        QVERIFY(sameColor(gl.pixelColor((first.rect.center() * dpr).toPoint()), QColor(84, 112, 198)));
        QVERIFY(sameColor(gl.pixelColor(QPoint(3, 3) * dpr), QColor(250, 250, 240)));
        tevtest::keepRender(gl, QStringLiteral("barchart-gl.png"));
    }

    // Qt's OpenGL paint engine keeps the glyphs it drew in a cache per font and context, keyed by the context's
    // address, and keeps it for the font's life: a chart made and deleted again and again (a page rebuilt) left
    // its glyph textures behind each time. They go with the chart's context now.
    void glyphsGoWithTheContext()
    {
        TEVQtLib::registerChartControls();
        for (const char* type : {"qtbarchart", "qtlinechart", "qtopenglpiechart", "qtscatterchart", "qtfinancialchart"}) {
            auto* chart = qobject_cast<TEVQChartBase*>(TEVQtLib::createControlByType(type, nullptr));
            QVERIFY2(chart, type);
            chart->setAnimationEnabled(false);
            chart->resize(600, 400);
            chart->show();
            QVERIFY(QTest::qWaitForWindowExposed(chart));
            if (chart->grabFramebuffer().isNull()) {
                delete chart;
                QSKIP("no OpenGL context on this display");
            }
            const void* context = chart->context();
            QVERIFY2(TEVQChartBase::glyphCacheCount(context) > 0, type); // the title and the labels were drawn
            delete chart;
            QVERIFY2(TEVQChartBase::glyphCacheCount(context) == 0, type);
        }
    }

    // A chart moved into another window is given a new context: the old one's glyphs go, and the chart paints
    // its texts again through the new one.
    void glyphsGoWhenTheChartMoves()
    {
        QWidget first, second;
        for (QWidget* window : {&first, &second})
            window->resize(640, 440);
        auto* chart = new TEVQBarChart(&first);
        chart->setAnimationEnabled(false);
        chart->setBackgroundColor(QColor(250, 250, 240));
        chart->resize(600, 400);
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        if (chart->grabFramebuffer().isNull())
            QSKIP("no OpenGL context on this display");
        const void* old = chart->context();
        QVERIFY(TEVQBarChart::glyphCacheCount(old) > 0);

        // The old context goes with the move, before the next one is made (which may take its address).
        chart->setParent(&second);
        QCOMPARE(TEVQBarChart::glyphCacheCount(old), 0);
        chart->show();
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        const QImage gl = chart->grabFramebuffer();
        QVERIFY(!gl.isNull());
        QVERIFY(TEVQBarChart::glyphCacheCount(chart->context()) > 0);
        // The title's text is drawn: some pixel of its band differs from the background.
        const qreal dpr = gl.devicePixelRatio();
        bool inked = false;
        for (int x = 0; x < 600 && !inked; x += 2)
            for (int y = 4; y < 40 && !inked; y += 2)
                inked = !sameColor(gl.pixelColor(QPoint(x, y) * dpr), QColor(250, 250, 240), 40);
        QVERIFY(inked);
    }

    // A chart makes its OpenGL surface when it is shown, not before: on a hidden page it makes none when it is
    // resized or its window is rendered (which sends the hidden widgets their sizes). Shown, it paints at the
    // size it was given meanwhile; its page hidden and shown again, it keeps the surface it had, at each size.
    void surfaceMadeWhenShown()
    {
        QWidget window;
        window.resize(640, 440);
        auto* page = new QWidget(&window);
        page->resize(640, 440);
        auto* chart = new TEVQBarChart(page);
        chart->setAnimationEnabled(false);
        chart->setBackgroundColor(QColor(250, 250, 240));
        chart->resize(600, 400);
        page->hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        chart->resize(560, 380);
        QVERIFY(!window.grab().isNull());
        QVERIFY(!chart->context());

        page->show();
        if (chart->grabFramebuffer().isNull())
            QSKIP("no OpenGL context on this display");
        const QOpenGLContext* made = chart->context();
        QVERIFY(made);
        for (int pass = 0; pass < 3; ++pass) {
            if (pass > 0) {
                page->hide();
                chart->resize(chart->size() - QSize(40, 30));
                QCoreApplication::processEvents();
                page->show();
            }
            QCOMPARE(chart->context(), made);
            const QImage gl = chart->grabFramebuffer();
            const qreal dpr = gl.devicePixelRatio();
            QCOMPARE(gl.size(), chart->size() * dpr);
            TEVQBarChartImpl* d = chart->painter();
            const QRectF plot = d->plotRect(chart->size(), chart->legendPosition());
            double lo, hi;
            d->valueRange(lo, hi);
            const BarItem first = d->barItems(plot, lo, hi, 1.0, chart->theme()).first();
            QVERIFY(sameColor(gl.pixelColor((first.rect.center() * dpr).toPoint()), QColor(84, 112, 198)));
            QVERIFY(sameColor(gl.pixelColor(QPoint(3, 3) * dpr), QColor(250, 250, 240)));
        }
    }

    // The pie, scatter and financial charts clear to their background and paint the same picture as in an image.
    void otherCharts()
    {
        TEVQOpenGLPieChart pie;
        TEVQScatterChart scatter;
        TEVQFinancialChart financial;
        for (TEVQChartBase* chart : QVector<TEVQChartBase*>{&pie, &scatter, &financial}) {
            chart->setAnimationEnabled(false);
            chart->setTheme(3);
            chart->resize(600, 400);
            chart->show();
            QVERIFY(QTest::qWaitForWindowExposed(chart));
            const QImage gl = chart->grabFramebuffer();
            if (gl.isNull())
                QSKIP("no OpenGL context on this display");
            const qreal dpr = gl.devicePixelRatio();
            QVERIFY(sameColor(gl.pixelColor(QPoint(3, 3) * dpr), QColor(16, 20, 28)));
            const QImage raster = chart->renderImage();
            const QPoint probe = chart == &pie ? QPoint(360, 120) : QPoint(300, 200);
            QVERIFY(sameColor(gl.pixelColor(probe * dpr), raster.pixelColor(probe), 12));
        }
    }
};

TEV_TEST_MAIN(tst_chartgl)
#include "tst_chartgl.moc"
