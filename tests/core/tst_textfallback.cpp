// Texts whose glyphs come from more than one font. This executable runs with a font set of its own (DejaVu and
// Droid Sans Fallback, no other CJK font), so the Chinese characters of a DejaVu text are drawn by a fallback font
// whose ascent and descent are larger than DejaVu's: the line is taller than its font says. The text cache's kept
// line, first laid out and later drawn from its glyphs, must stand exactly where the drawing helper puts it.
#include "TevTest.h"

#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVTextCache.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

using namespace TEVQtLib;

namespace {

using tevtest::paintedOnWhite;

TextStyleDesc dejaVu(int pixelSize)
{
    TextStyleDesc t;
    t.family = QStringLiteral("DejaVu Sans");
    t.color = QColor(20, 40, 60);
    t.pixelSize = pixelSize;
    return t;
}

} // namespace

class TestTextFallback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TEVQResourceManager::getInstance()->setGlobalFontFamily(QString());
        // What the cases stand on: the fallback font is there, and it makes a mixed line taller than its font.
        QVERIFY2(QFontDatabase().families().contains(QStringLiteral("Droid Sans Fallback")),
                 "the test's own font set is not in force");
        QVERIFY(!QFontDatabase().families().contains(QStringLiteral("WenQuanYi Micro Hei")));
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(12);
        QTextLayout layout(QStringLiteral("Grid 电网"), f);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        const QFontMetricsF fm(f);
        QVERIFY(line.isValid() && line.ascent() + line.descent() > fm.ascent() + fm.descent());
    }

    void cachedLineStandsWhereTheHelperDrawsIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("decorated");
        QTest::addColumn<QSize>("box");
        QTest::newRow("mixed, 12 px") << "Grid 电网" << 12 << false << QSize(90, 26);
        QTest::newRow("mixed, 17 px") << "电网 Grid 7.5 kW" << 17 << false << QSize(160, 30);
        QTest::newRow("Chinese only") << "电网电网" << 13 << false << QSize(90, 24);
        QTest::newRow("underlined, bold") << "Grid 电网" << 12 << true << QSize(90, 26);
        // Just as tall as the font, shorter than the line: the helper clips it, so must the cache.
        QTest::newRow("box as tall as the font") << "Grid 电网" << 12 << false << QSize(90, 15);
    }

    // Every alignment and both offsets' signs, laid out and then drawn from the kept glyphs.
    void cachedLineStandsWhereTheHelperDrawsIt()
    {
        QFETCH(QString, text);
        QFETCH(int, pixelSize);
        QFETCH(bool, decorated);
        QFETCH(QSize, box);
        TextStyleDesc style = dejaVu(pixelSize);
        style.underline = style.bold = decorated;
        for (int hor = 0; hor < 3; ++hor) {
            for (int ver = 0; ver < 3; ++ver) {
                for (int offset : {0, 3, -2}) {
                    style.horAlign = hor;
                    style.verAlign = ver;
                    style.offsetX = style.offsetY = offset;
                    auto paint = [&](auto draw) { return paintedOnWhite(box + QSize(8, 8), draw); };
                    const QImage helper = paint([&](QPainter* p) {
                        TEVQWidgetBaseImpl::drawTextAt(p, text, style, 4, 4, box.width(), box.height(), true);
                    });
                    TEVTextCache cache;
                    for (int pass = 0; pass < 3; ++pass) {
                        const QImage cached = paint(
                            [&](QPainter* p) { cache.draw(p, text, style, 4, 4, box.width(), box.height()); });
                        const QByteArray what = QStringLiteral("alignment %1 %2, offset %3, paint %4")
                                                    .arg(hor).arg(ver).arg(offset).arg(pass + 1).toUtf8();
                        QVERIFY2(cached == helper, what.constData());
                    }
                }
            }
        }
    }
};

TEV_TEST_MAIN(TestTextFallback)
#include "tst_textfallback.moc"
