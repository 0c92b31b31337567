// The painter base's drawing helpers, rendered into images: pixels are checked only where the geometry is
// decided (inside a corner radius, on a border, a tiled strip, a tint), texts only by where their ink lies.
#include "TevTest.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

#include <QIcon>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>

using namespace TEVQtLib;
using Impl = TEVQWidgetBaseImpl;

namespace {

const QRgb kBackground = qRgb(0, 255, 0);

QImage canvas(int w, int h, QRgb background = kBackground)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

template <class Fn>
QImage paint(int w, int h, Fn fn, QRgb background = kBackground)
{
    QImage image = canvas(w, h, background);
    QPainter painter(&image);
    fn(&painter);
    painter.end();
    return image;
}

bool near(QRgb a, QRgb b, int tolerance = 8)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance && qAbs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

#define PIXEL_IS(image, x, y, colour)                                                                          \
    QVERIFY2(near((image).pixel((x), (y)), (colour)),                                                          \
             qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")                                    \
                            .arg(x)                                                                            \
                            .arg(y)                                                                            \
                            .arg((image).pixel((x), (y)), 8, 16, QLatin1Char('0'))                             \
                            .arg(QRgb(colour), 8, 16, QLatin1Char('0'))))

// The bounding box of every pixel that differs from the background.
QRect inkBounds(const QImage& image, QRgb background = kBackground)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

FillStyle colourStyle(QColor fill)
{
    FillStyle style;
    style.fillRes.fillColor = fill;
    return style;
}

FillStyle bordered(QColor fill, QColor border, int width)
{
    FillStyle style = colourStyle(fill);
    style.fillRes.drawBorder = true;
    style.fillRes.borderSize = width;
    style.fillRes.borderColor = border;
    return style;
}

TextStyleDesc textStyle(int mode = 1, int horAlign = 0, int verAlign = 0)
{
    TextStyleDesc style;
    style.family = QStringLiteral("DejaVu Sans");
    style.pixelSize = 14;
    style.color = Qt::black;
    style.textMode = mode;
    style.horAlign = horAlign;
    style.verAlign = verAlign;
    return style;
}

const QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255),
           kBlack = qRgb(0, 0, 0);

} // namespace

class TestDrawing : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Files the resource manager finds by their full path.
    QString writeImage(const QString& name, const QImage& image)
    {
        const QString path = m_dir.filePath(name);
        image.save(path, "PNG");
        return path;
    }
    QString writeSvg(const QString& name, const QByteArray& svg)
    {
        const QString path = m_dir.filePath(name);
        tevtest::writeFile(path, svg);
        return path;
    }

    // A 9 x 9 image of nine 3 x 3 blocks of distinct colours: the slices of a nine-slice fill.
    static QRgb blockColour(int col, int row)
    {
        static const QRgb colours[9] = {qRgb(200, 0, 0),   qRgb(0, 200, 0),   qRgb(0, 0, 200),
                                        qRgb(200, 200, 0), qRgb(200, 0, 200), qRgb(0, 200, 200),
                                        qRgb(90, 90, 90),  qRgb(20, 20, 20),  qRgb(250, 250, 250)};
        return colours[row * 3 + col];
    }
    static QImage nineBlocks()
    {
        QImage image(9, 9, QImage::Format_ARGB32);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x)
                image.setPixel(x, y, blockColour(x / 3, y / 3));
        return image;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // ---- colour fills ----

    void invalidStylePaintsNothing()
    {
        FillStyle style = colourStyle(Qt::red);
        style.valid = false;
        const QImage image = paint(40, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 0, 0, 40, 40); });
        QVERIFY(inkBounds(image).isNull());
    }

    void solidFillCoversExactlyTheRectangle()
    {
        const QImage image = paint(60, 50, [&](QPainter* p) {
            Impl::drawFillStyle(p, colourStyle(Qt::red), QRect(10, 10, 40, 30));
        });
        QCOMPARE(inkBounds(image), QRect(10, 10, 40, 30));
        PIXEL_IS(image, 10, 10, kRed);
        PIXEL_IS(image, 49, 39, kRed);
    }

    void roundedCornersFollowTheirFlags()
    {
        FillStyle style = colourStyle(Qt::red);
        style.fillRes.radius = 10;
        style.fillRes.roundTopLeft = false;
        const QImage image = paint(60, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 0, 0, 60, 40); });
        PIXEL_IS(image, 0, 0, kRed);           // square corner
        PIXEL_IS(image, 1, 38, kBackground);   // inside the bottom-left radius
        PIXEL_IS(image, 58, 1, kBackground);   // top-right
        PIXEL_IS(image, 58, 38, kBackground);  // bottom-right
        PIXEL_IS(image, 30, 0, kRed);          // straight edge
        PIXEL_IS(image, 5, 36, kRed);          // on the inner side of the arc
    }

    void radiusIsClampedToHalfTheShorterSide()
    {
        FillStyle style = colourStyle(Qt::red);
        style.fillRes.radius = 500;
        const QImage image = paint(80, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 0, 0, 80, 40); });
        // A radius of 20: a stadium whose straight top edge runs from x 20 to 60.
        PIXEL_IS(image, 40, 0, kRed);
        PIXEL_IS(image, 40, 39, kRed);
        PIXEL_IS(image, 1, 20, kRed);
        PIXEL_IS(image, 78, 20, kRed);
        PIXEL_IS(image, 3, 3, kBackground);
        PIXEL_IS(image, 76, 36, kBackground);
    }

    void zeroRadiusGivesSquareCornersWhateverTheFlags()
    {
        const QImage image = paint(30, 30, [&](QPainter* p) {
            Impl::drawFillStyleAt(p, colourStyle(Qt::red), 0, 0, 30, 30);
        });
        PIXEL_IS(image, 0, 0, kRed);
        PIXEL_IS(image, 29, 29, kRed);
    }

    void roundedPathEdgeCases()
    {
        QVERIFY(Impl::roundedRectPath(QRectF(0, 0, 0, 10), 3, true, true, true, true).isEmpty());
        QVERIFY(Impl::roundedRectPath(QRectF(0, 0, 10, -1), 3, true, true, true, true).isEmpty());
        // A negative radius is no rounding: the plain rectangle.
        const QPainterPath square = Impl::roundedRectPath(QRectF(0, 0, 10, 10), -4, true, true, true, true);
        QVERIFY(square.contains(QPointF(0.1, 0.1)));
        const QPainterPath round = Impl::roundedRectPath(QRectF(0, 0, 10, 10), 4, true, false, true, false);
        QVERIFY(!round.contains(QPointF(0.3, 0.3)));
        QVERIFY(round.contains(QPointF(9.9, 0.1)));
        QVERIFY(!round.contains(QPointF(9.7, 9.7)));
        QVERIFY(round.contains(QPointF(0.1, 9.9)));
    }

    void gradientRunsLeftToRight()
    {
        for (int radius : {0, 4}) {
            FillStyle style = colourStyle(Qt::red);
            style.fillRes.gradient = true;
            style.fillRes.gradientEndColor = Qt::blue;
            style.fillRes.radius = radius;
            const QImage image = paint(120, 20, [&](QPainter* p) {
                Impl::drawFillStyleAt(p, style, 10, 0, 100, 20);
            });
            const QRgb start = image.pixel(11, 10), middle = image.pixel(60, 10), end = image.pixel(108, 10);
            QVERIFY2(qRed(start) > 240 && qBlue(start) < 15, qPrintable(QString::number(radius)));
            QVERIFY2(qBlue(end) > 240 && qRed(end) < 15, qPrintable(QString::number(radius)));
            QVERIFY(qAbs(qRed(middle) - 127) < 12 && qAbs(qBlue(middle) - 127) < 12);
        }
    }

    // ---- borders ----

    void squareBorderOnAllSidesLiesInsideTheRectangle()
    {
        for (int width : {1, 2, 3}) {
            const QImage image = paint(60, 50, [&](QPainter* p) {
                Impl::drawFillStyleAt(p, bordered(Qt::white, Qt::black, width), 10, 10, 40, 30);
            });
            const QString what = QStringLiteral("width %1").arg(width);
            QVERIFY2(inkBounds(image) == QRect(10, 10, 40, 30), qPrintable(what));
            for (int i = 0; i < width; ++i) {
                PIXEL_IS(image, 10 + i, 25, kBlack);   // left
                PIXEL_IS(image, 49 - i, 25, kBlack);   // right
                PIXEL_IS(image, 30, 10 + i, kBlack);   // top
                PIXEL_IS(image, 30, 39 - i, kBlack);   // bottom
            }
            PIXEL_IS(image, 10 + width, 25, kWhite);
            PIXEL_IS(image, 49 - width, 25, kWhite);
        }
    }

    void squareBorderOnThreeSidesLeavesTheFourthOut()
    {
        FillStyle style = bordered(Qt::white, Qt::black, 1);
        style.fillRes.leftBorder = false;
        const QImage image = paint(60, 50, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 10, 10, 40, 30); });
        PIXEL_IS(image, 10, 25, kWhite);
        PIXEL_IS(image, 49, 25, kBlack);
        PIXEL_IS(image, 30, 10, kBlack);
        PIXEL_IS(image, 30, 39, kBlack);
        PIXEL_IS(image, 11, 10, kBlack); // the top line still reaches the left end
    }

    void borderNeedsTheFlagAndAWidth()
    {
        FillStyle noWidth = bordered(Qt::white, Qt::black, 0);
        FillStyle negative = bordered(Qt::white, Qt::black, -3);
        FillStyle noFlag = bordered(Qt::white, Qt::black, 2);
        noFlag.fillRes.drawBorder = false;
        for (const FillStyle& style : {noWidth, negative, noFlag}) {
            for (int radius : {0, 5}) {
                FillStyle s = style;
                s.fillRes.radius = radius;
                const QImage image = paint(40, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, s, 0, 0, 40, 40); });
                PIXEL_IS(image, 20, 0, kWhite);
                PIXEL_IS(image, 0, 20, kWhite);
            }
        }
    }

    void roundedBorderStrokesInsideTheRectangle()
    {
        FillStyle style = bordered(Qt::white, Qt::red, 2);
        style.fillRes.radius = 8;
        const QImage image = paint(60, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 0, 0, 60, 40); });
        PIXEL_IS(image, 30, 0, kRed);
        PIXEL_IS(image, 30, 1, kRed);
        PIXEL_IS(image, 30, 2, kWhite);
        PIXEL_IS(image, 59, 20, kRed);
        PIXEL_IS(image, 0, 20, kRed);
        PIXEL_IS(image, 30, 20, kWhite);
        PIXEL_IS(image, 0, 0, kBackground);
        PIXEL_IS(image, 59, 39, kBackground);
    }

    void roundedBorderOnSomeSidesStopsBeforeRoundedCorners()
    {
        FillStyle style = bordered(Qt::white, Qt::red, 2);
        style.fillRes.radius = 10;
        style.fillRes.topBorder = false;
        style.fillRes.roundBottomRight = false;
        const QImage image = paint(60, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 0, 0, 60, 40); });
        // No top line; the fill is inset by half the pen.
        PIXEL_IS(image, 30, 0, kBackground);
        PIXEL_IS(image, 30, 1, kWhite);
        PIXEL_IS(image, 30, 39, kRed);
        PIXEL_IS(image, 0, 20, kRed);
        PIXEL_IS(image, 59, 20, kRed);
        // The bottom line reaches the square bottom-right corner, but stops short of the rounded bottom-left.
        PIXEL_IS(image, 58, 39, kRed);
        PIXEL_IS(image, 3, 39, kBackground);

        // A radius beyond half the side: the lines stop where the clamped outline turns.
        style.fillRes.radius = 100;
        style.fillRes.roundBottomRight = true;
        const QImage clamped = paint(60, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 0, 0, 60, 40); });
        PIXEL_IS(clamped, 30, 39, kRed);
        PIXEL_IS(clamped, 2, 39, kBackground);
        PIXEL_IS(clamped, 57, 39, kBackground);
        PIXEL_IS(clamped, 0, 20, kRed);
    }

    // ---- nine-slice images ----

    void nineSliceDrawsEverySlice()
    {
        const QString name = writeImage(QStringLiteral("blocks.png"), nineBlocks());
        ImageDesc desc;
        desc.left = desc.right = desc.top = desc.bottom = 3;
        const QImage image = paint(40, 40, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 5, 5, 30, 30); });
        QCOMPARE(inkBounds(image), QRect(5, 5, 30, 30));
        const int at[3] = {6, 20, 33};
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                PIXEL_IS(image, at[col], at[row], blockColour(col, row));
    }

    void nineSliceThroughAFillStyle()
    {
        FillStyle style;
        style.useFillStyle = false;
        style.imageName = writeImage(QStringLiteral("blocks2.png"), nineBlocks());
        const QImage image = paint(18, 18, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, 0, 0, 18, 18); });
        // No margins: the whole image stretched over the centre.
        PIXEL_IS(image, 0, 0, blockColour(0, 0));
        PIXEL_IS(image, 9, 9, blockColour(1, 1));
        PIXEL_IS(image, 17, 17, blockColour(2, 2));
    }

    void tiledCentreRepeatsFromItsTopLeft()
    {
        // A 10 x 10 image with 2-pixel margins whose 6 x 6 centre has one marker pixel at its top-left.
        QImage source(10, 10, QImage::Format_ARGB32);
        source.fill(kWhite);
        for (int y = 2; y < 8; ++y)
            for (int x = 2; x < 8; ++x)
                source.setPixel(x, y, kBlue);
        source.setPixel(2, 2, kRed);
        const QString name = writeImage(QStringLiteral("tile.png"), source);
        ImageDesc desc;
        desc.left = desc.right = desc.top = desc.bottom = 2;
        desc.repeatCenter = true;
        const QImage tiled = paint(44, 44, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 0, 0, 42, 42); });
        for (int k = 0; k < 6; ++k) {
            PIXEL_IS(tiled, 2 + 6 * k, 2, kRed);
            PIXEL_IS(tiled, 3 + 6 * k, 2, kBlue);
            PIXEL_IS(tiled, 2, 2 + 6 * k, kRed);
        }
        PIXEL_IS(tiled, 32, 32, kRed);
        PIXEL_IS(tiled, 39, 39, kBlue); // the last, cut tile
        PIXEL_IS(tiled, 40, 39, kWhite); // right edge strip
        PIXEL_IS(tiled, 42, 20, kBackground);

        desc.repeatCenter = false;
        const QImage stretched = paint(44, 44, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 0, 0, 42, 42); });
        PIXEL_IS(stretched, 7, 7, kRed);
        PIXEL_IS(stretched, 8, 2, kBlue);
    }

    void tiledWithoutMarginsCoversTheTarget()
    {
        QImage source(4, 1, QImage::Format_ARGB32);
        source.fill(kBlue);
        source.setPixel(0, 0, kRed);
        ImageDesc desc;
        desc.repeatCenter = true;
        const QString name = writeImage(QStringLiteral("strip.png"), source);
        const QImage image = paint(120, 40, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 3, 5, 110, 30); });
        QCOMPARE(inkBounds(image), QRect(3, 5, 110, 30));
        PIXEL_IS(image, 3, 34, kRed);
        PIXEL_IS(image, 107, 20, kRed);
        PIXEL_IS(image, 108, 20, kBlue);
    }

    void narrowTargetKeepsTheLeftEdgeVisible()
    {
        QImage source(10, 4, QImage::Format_ARGB32);
        for (int x = 0; x < 10; ++x)
            for (int y = 0; y < 4; ++y)
                source.setPixel(x, y, x < 4 ? kRed : x >= 6 ? kBlue : kWhite);
        const QString name = writeImage(QStringLiteral("sides.png"), source);
        ImageDesc desc;
        desc.left = desc.right = 4;
        const QImage image = paint(20, 10, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 0, 0, 6, 10); });
        PIXEL_IS(image, 0, 5, kRed);
        PIXEL_IS(image, 3, 5, kRed);
        PIXEL_IS(image, 4, 5, kBlue);
        PIXEL_IS(image, 5, 5, kBlue);
        PIXEL_IS(image, 6, 5, kBackground);
    }

    void nineSliceRejectsWhatItCannotDraw()
    {
        ImageDesc desc;
        desc.left = desc.right = desc.top = desc.bottom = 50; // margins beyond the image and the target
        const QString name = writeImage(QStringLiteral("blocks3.png"), nineBlocks());
        const QImage huge = paint(30, 30, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 0, 0, 30, 30); });
        Q_UNUSED(huge); // any result, as long as it does not crash
        const QImage missing = paint(30, 30, [&](QPainter* p) {
            Impl::drawImageFill(p, m_dir.filePath(QStringLiteral("none.png")), ImageDesc(), 0, 0, 30, 30);
        });
        QVERIFY(inkBounds(missing).isNull());
        const QImage empty = paint(30, 30, [&](QPainter* p) { Impl::drawImageFill(p, name, ImageDesc(), 0, 0, 0, 30); });
        QVERIFY(inkBounds(empty).isNull());
        ImageDesc corners;
        corners.left = corners.right = corners.top = corners.bottom = 3;
        const QImage negative = paint(30, 30, [&](QPainter* p) { Impl::drawImageFill(p, name, corners, 20, 20, -10, 8); });
        QVERIFY(inkBounds(negative).isNull());
    }

    // ---- texts ----

    void emptyTextDrawsNothing()
    {
        const QImage image = paint(80, 30, [&](QPainter* p) {
            Impl::drawTextAt(p, QString(), textStyle(), 0, 0, 80, 30, true);
            Impl::drawTextAt(p, QString(), textStyle(), 0, 0, 80, 30, false);
        });
        QVERIFY(inkBounds(image).isNull());
    }

    void longTextIsElidedWithinTheWidth()
    {
        const QString text = QStringLiteral("The plant feeds the grid all day long without a break");
        const QImage image = paint(200, 30, [&](QPainter* p) {
            Impl::drawTextAt(p, text, textStyle(0), 10, 0, 100, 30, true);
        });
        const QRect ink = inkBounds(image);
        QVERIFY(!ink.isNull());
        QVERIFY2(ink.left() >= 9 && ink.right() < 10 + 100 - 2, qPrintable(QStringLiteral("%1..%2")
                                                                           .arg(ink.left())
                                                                           .arg(ink.right())));
        // Elided to one line.
        QVERIFY(ink.height() <= QFontMetrics(QFont(QStringLiteral("DejaVu Sans"))).height() * 2);
    }

    void wrappingModeBreaksIntoSeveralLines()
    {
        const QString text = QStringLiteral("The plant feeds the grid all day long without a break");
        const QImage single = paint(120, 120, [&](QPainter* p) {
            Impl::drawTextAt(p, text, textStyle(1), 0, 0, 110, 120, true);
        });
        const QImage wrapped = paint(120, 120, [&](QPainter* p) {
            Impl::drawTextAt(p, text, textStyle(3), 0, 0, 110, 120, true);
        });
        const int lineHeight = Impl::getTextSize(textStyle(), text).height();
        QVERIFY(inkBounds(single).height() < lineHeight + 2);
        QVERIFY(inkBounds(wrapped).height() > 2 * lineHeight);
        QVERIFY(inkBounds(wrapped).right() < 110);
    }

    void alignmentPlacesTextInItsBox()
    {
        const QString text = QStringLiteral("Hg");
        auto inkFor = [&](int hor, int ver) {
            return inkBounds(paint(200, 100, [&](QPainter* p) {
                Impl::drawTextAt(p, text, textStyle(1, hor, ver), 0, 0, 200, 100, true);
            }));
        };
        const QRect topLeft = inkFor(0, 0), centred = inkFor(1, 1), bottomRight = inkFor(2, 2);
        QVERIFY(topLeft.left() < 5 && topLeft.top() < 10);
        QVERIFY(qAbs(centred.center().x() - 100) <= 3 && qAbs(centred.center().y() - 50) <= 4);
        QVERIFY(bottomRight.right() > 190 && bottomRight.bottom() > 90);
    }

    void offsetsMoveTheText()
    {
        const QString text = QStringLiteral("Hg");
        auto inkFor = [&](int ver, int offsetX, int offsetY) {
            TextStyleDesc style = textStyle(1, 0, ver);
            style.offsetX = offsetX;
            style.offsetY = offsetY;
            return inkBounds(paint(200, 100, [&](QPainter* p) {
                Impl::drawTextAt(p, text, style, 10, 10, 150, 60, true);
            }));
        };
        // Bottom-aligned text with offset y 4 sits 4 pixels lower than without it.
        QCOMPARE(inkFor(2, 0, 4).bottom() - inkFor(2, 0, 0).bottom(), 4);
        QCOMPARE(inkFor(0, 0, 4).top() - inkFor(0, 0, 0).top(), 4);
        QCOMPARE(inkFor(0, 6, 0).left() - inkFor(0, 0, 0).left(), 6);
    }

    void verticalTextStaysInsideItsRectangle()
    {
        const QString text = QStringLiteral("Output");
        TextStyleDesc style = textStyle(1, 1, 1);
        style.isHor = false;
        for (int x : {0, 50}) {
            const QImage image = paint(140, 120, [&](QPainter* p) {
                Impl::drawText(p, text, style, QRect(x, 10, 24, 90));
            });
            const QRect ink = inkBounds(image);
            QVERIFY2(!ink.isNull(), qPrintable(QString::number(x)));
            QVERIFY2(QRect(x, 10, 24, 90).contains(ink), qPrintable(QStringLiteral("x %1: ink %2,%3 %4x%5")
                                                                        .arg(x)
                                                                        .arg(ink.x())
                                                                        .arg(ink.y())
                                                                        .arg(ink.width())
                                                                        .arg(ink.height())));
            // Runs downwards: taller than wide.
            QVERIFY(ink.height() > 2 * ink.width());
        }
    }

    void verticalTextUsesTheSameFont()
    {
        const QString text = QStringLiteral("Output");
        TextStyleDesc style = textStyle(1, 1, 1);
        style.bold = true;
        style.pixelSize = 18;
        const QRect horizontal = inkBounds(paint(200, 200, [&](QPainter* p) {
            Impl::drawTextAt(p, text, style, 0, 0, 200, 40, true);
        }));
        const QRect vertical = inkBounds(paint(200, 200, [&](QPainter* p) {
            Impl::drawTextAt(p, text, style, 0, 0, 40, 200, false);
        }));
        QVERIFY(qAbs(horizontal.width() - vertical.height()) <= 2);
        QVERIFY(qAbs(horizontal.height() - vertical.width()) <= 2);
    }

    void textSizeFollowsTheStyleAndTheGlobalFamily()
    {
        const QString text = QStringLiteral("Power 1200 kW");
        TextStyleDesc style = textStyle();
        const QSize normal = Impl::getTextSize(style, text);
        QCOMPARE(normal.height(), QFontMetrics([&] {
                                      QFont f(QStringLiteral("DejaVu Sans"));
                                      f.setPixelSize(14);
                                      return f;
                                  }())
                                      .height());
        style.bold = true;
        QVERIFY(Impl::getTextSize(style, text).width() > normal.width());
        style.bold = false;
        style.pixelSize = 28;
        QVERIFY(Impl::getTextSize(style, text).height() > normal.height());
        QCOMPARE(Impl::getTextSize(textStyle(), QString()).width(), 0);

        // A global family replaces the style's own: a style naming a font that does not exist measures like
        // the global family.
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        const TEVGlobalConfig saved = rm->getGlobalConfig();
        TEVGlobalConfig config = saved;
        config.fontFamily = QStringLiteral("DejaVu Sans Mono");
        rm->setGlobalConfig(config);
        TextStyleDesc other = textStyle();
        other.family = QStringLiteral("No Such Family");
        TextStyleDesc mono = textStyle();
        mono.family = QStringLiteral("DejaVu Sans Mono");
        const QSize viaGlobal = Impl::getTextSize(other, QStringLiteral("iiii"));
        rm->setGlobalConfig(saved);
        QCOMPARE(viaGlobal, Impl::getTextSize(mono, QStringLiteral("iiii")));
    }

    // ---- icons, images and SVGs ----

    void iconIsPlacedByItsRequestedSize()
    {
        QPixmap red(10, 10);
        red.fill(Qt::red);
        const QIcon icon(red);
        IconStyleDesc style; // centred
        const QImage centred = paint(60, 60, [&](QPainter* p) {
            Impl::drawIcon(p, icon, QSize(10, 10), style, QRect(10, 10, 40, 40));
        });
        QCOMPARE(inkBounds(centred), QRect(25, 25, 10, 10));
        style.horAlign = 2;
        style.verAlign = 0;
        style.offsetX = -1;
        style.offsetY = 3;
        const QImage corner = paint(60, 60, [&](QPainter* p) {
            Impl::drawIcon(p, icon, QSize(10, 10), style, QRect(10, 10, 40, 40));
        });
        QCOMPARE(inkBounds(corner), QRect(39, 13, 10, 10));
        // An alignment outside 0..2 puts the icon at coordinate 0 of that axis.
        style = IconStyleDesc();
        style.horAlign = 7;
        const QImage outside = paint(60, 60, [&](QPainter* p) {
            Impl::drawIcon(p, icon, QSize(10, 10), style, QRect(10, 10, 40, 40));
        });
        QCOMPARE(inkBounds(outside), QRect(0, 25, 10, 10));
        const QImage none = paint(60, 60, [&](QPainter* p) {
            Impl::drawIcon(p, QIcon(), QSize(10, 10), IconStyleDesc(), QRect(10, 10, 40, 40));
        });
        QVERIFY(inkBounds(none).isNull());
    }

    void rasterImageIsDrawnUnscaledAtItsPlace()
    {
        QImage red(8, 6, QImage::Format_ARGB32);
        red.fill(kRed);
        const QString name = writeImage(QStringLiteral("red.png"), red);
        IconStyleDesc style;
        style.horAlign = 0;
        style.verAlign = 2;
        style.offsetX = 3;
        style.offsetY = -2;
        const QImage image = paint(60, 60, [&](QPainter* p) {
            Impl::drawImage(p, name, style, QRect(10, 10, 40, 40), false);
        });
        QCOMPARE(inkBounds(image), QRect(13, 42, 8, 6));
        QCOMPARE(Impl::getImageSize(name, false), QSize(8, 6));
        QVERIFY(!Impl::getImageSize(QString(), false).isValid());
        QVERIFY(!Impl::getImageSize(m_dir.filePath(QStringLiteral("none.png")), false).isValid());
        const QImage missing = paint(60, 60, [&](QPainter* p) {
            Impl::drawImage(p, m_dir.filePath(QStringLiteral("none.png")), style, QRect(10, 10, 40, 40), false);
        });
        QVERIFY(inkBounds(missing).isNull());
    }

    void svgPlainTintedAndGray()
    {
        // A 10 x 10 SVG: a red square with a transparent frame of 2 pixels.
        const QString name = writeSvg(QStringLiteral("square.svg"),
                                      "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
                                      "<rect x='2' y='2' width='6' height='6' fill='#ff0000'/></svg>");
        QCOMPARE(Impl::getImageSize(name, false), QSize(10, 10));
        IconStyleDesc style; // centred: the SVG covers (15, 15) .. (24, 24)
        const QImage plain = paint(40, 40, [&](QPainter* p) { Impl::drawImage(p, name, style, QRect(0, 0, 40, 40), false); });
        QCOMPARE(inkBounds(plain), QRect(17, 17, 6, 6));
        PIXEL_IS(plain, 20, 20, kRed);

        style.useColor = true;
        style.color = QColor(0, 0, 255);
        const QImage tinted = paint(40, 40, [&](QPainter* p) { Impl::drawImage(p, name, style, QRect(0, 0, 40, 40), false); });
        PIXEL_IS(tinted, 20, 20, kBlue);
        PIXEL_IS(tinted, 16, 16, kBackground); // the SVG's transparent frame stays transparent
        QCOMPARE(inkBounds(tinted), QRect(17, 17, 6, 6));

        style.useColor = false;
        const QImage gray = paint(40, 40, [&](QPainter* p) { Impl::drawImage(p, name, style, QRect(0, 0, 40, 40), true); });
        const QRgb g = gray.pixel(20, 20);
        QVERIFY(g != kRed);
        QVERIFY2(qAbs(qRed(g) - qGreen(g)) < 40 && qAbs(qGreen(g) - qBlue(g)) < 40,
                 qPrintable(QString::number(g, 16)));
        PIXEL_IS(gray, 16, 16, kBackground);
    }

    void svgWithoutDefaultSizeTakesTheShorterSide()
    {
        const QString name = writeSvg(QStringLiteral("empty.svg"), "<svg xmlns='http://www.w3.org/2000/svg'></svg>");
        QCOMPARE(Impl::getImageSize(name, false), QSize(16, 16));
        // The tinted path draws one image of the target's size: its bounds are the target.
        IconStyleDesc style;
        style.useColor = true;
        QPicture picture;
        QPainter p(&picture);
        Impl::drawImageAt(&p, name, style, 0, 0, 30, 20, false);
        p.end();
        QCOMPARE(picture.boundingRect(), QRect(5, 0, 20, 20));
        QVERIFY(!Impl::getImageSize(writeSvg(QStringLiteral("broken.svg"), "<svg"), false).isValid());
    }

    void scaleFactorShrinksButNeverGrows()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        const float saved = rm->getScaleFactor();
        rm->setScaleFactor(0.5f);
        QCOMPARE(Impl::scaleSize(QSize(3, 3)), QSize(2, 2));
        QCOMPARE(Impl::scaleSize(QSize(1, 1)), QSize(1, 1));
        QCOMPARE(Impl::scaleSize(QSize(20, 9)), QSize(10, 5));
        QVERIFY(!Impl::scaleSize(QSize()).isValid());
        const QString three = writeSvg(QStringLiteral("three.svg"),
                                       "<svg xmlns='http://www.w3.org/2000/svg' width='3' height='3'>"
                                       "<rect width='3' height='3' fill='#0000ff'/></svg>");
        QCOMPARE(Impl::getImageSize(three, false), QSize(2, 2));
        IconStyleDesc corner;
        corner.horAlign = corner.verAlign = 0;
        const QImage small = paint(10, 10, [&](QPainter* p) { Impl::drawImageAt(p, three, corner, 0, 0, 10, 10, false); });
        QCOMPARE(inkBounds(small), QRect(0, 0, 2, 2));
        rm->setScaleFactor(1.5f);
        QCOMPARE(Impl::scaleSize(QSize(3, 3)), QSize(3, 3));
        QCOMPARE(Impl::getImageSize(three, false), QSize(3, 3));
        rm->setScaleFactor(saved);
    }
};

TEV_TEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
