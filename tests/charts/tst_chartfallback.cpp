// Chart texts whose glyphs come from more than one font. This executable runs with a font set of its own (DejaVu
// and Droid Sans Fallback, no other CJK font): a Chinese character in a DejaVu text is drawn by a fallback font
// with a larger ascent and descent. What the charts keep of their texts must draw what QPainter::drawText draws.
#include "TevTest.h"

#include "TEVChartDrawing.h"
#include "TEVQBarChart.h"

#include <QFontDatabase>
#include <QPainter>

class TestChartFallback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFontDatabase().families().contains(QStringLiteral("Droid Sans Fallback")),
                 "the test's own font set is not in force");
        QVERIFY(!QFontDatabase().families().contains(QStringLiteral("WenQuanYi Micro Hei")));
    }

    // The tooltip's first paint draws its lines directly, later paints draw them as kept: the text must not move
    // once it is shown, in either theme's tooltip and at any font.
    void tooltipTextStaysOnItsBaselines_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("theme");
        QTest::addColumn<QString>("text");
        QTest::newRow("serif 13 pt") << "DejaVu Serif" << 13 << 0 << "Tue\nInverter 1 (东): 7.5 kW";
        QTest::newRow("sans 9 pt, dark") << "DejaVu Sans" << 9 << 3 << "周二\nInverter 1 (东): 7.5 kW\n逆变器 2: 12";
        QTest::newRow("Latin only") << "DejaVu Serif" << 13 << 0 << "Tue\nInverter 1: 7.5 kW";
    }

    void tooltipTextStaysOnItsBaselines()
    {
        QFETCH(QString, family);
        QFETCH(int, points);
        QFETCH(int, theme);
        QFETCH(QString, text);
        TEVQBarChart chart;
        chart.setAnimationEnabled(false);
        chart.resize(640, 400);
        chart.setTheme(theme);
        QFont f(family);
        f.setPointSize(points);
        chart.setFont(f);
        chart.showTooltip(QPoint(300, 150), text);
        const QImage first = chart.renderImage();
        for (int paint = 2; paint <= 4; ++paint)
            QVERIFY2(chart.renderImage() == first, qPrintable(QStringLiteral("paint %1").arg(paint)));
    }

    // Chart labels drawn through the chart text cache stand where drawText puts them, in every alignment, and
    // measure as tall as the line drawText lays out.
    void cachedLabelsDrawAsDrawText()
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(13);
        const QRectF box(6.0, 5.0, 120.0, 30.0);
        const int alignments[] = {Qt::AlignLeft | Qt::AlignTop, Qt::AlignHCenter | Qt::AlignVCenter,
                                  Qt::AlignRight | Qt::AlignBottom, Qt::AlignLeft | Qt::AlignVCenter};
        for (const QString& text : {QStringLiteral("周二 Tue"), QStringLiteral("7.5 kW")}) {
            TEVChart::ChartTextCache texts;
            for (int alignment : alignments) {
                auto paint = [&](auto draw) {
                    return tevtest::paintedOnWhite(QSize(132, 40), [&](QPainter* p) {
                        p->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
                        p->setFont(f);
                        p->setPen(QColor(30, 30, 30));
                        draw(*p);
                    });
                };
                const QImage plain = paint([&](QPainter& p) { p.drawText(box, alignment, text); });
                for (int pass = 0; pass < 2; ++pass)
                    QVERIFY2(paint([&](QPainter& p) { texts.draw(p, box, alignment, text); }) == plain,
                             qPrintable(text + QStringLiteral(", alignment %1").arg(alignment)));
            }
            QImage probe(1, 1, QImage::Format_ARGB32);
            QPainter p(&probe);
            p.setFont(f);
            QCOMPARE(texts.size(f, text).height(), p.boundingRect(QRectF(0, 0, 500, 100), 0, text).height());
        }
    }
};

TEV_TEST_MAIN(TestChartFallback)
#include "tst_chartfallback.moc"
