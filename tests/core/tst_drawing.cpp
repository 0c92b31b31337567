// The painter base's drawing helpers, rendered into images: pixels are checked only where the geometry is
// decided (inside a corner radius, on a border, a tiled strip, a tint), texts only by where their ink lies.
#include "TevTest.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVPaintCache.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPicture>
#include <QtMath>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <iterator>

#include <climits>
#include <tuple>

#include <sys/resource.h>

using namespace TEVQtLib;
using Impl = TEVQWidgetBaseImpl;

namespace {

const QRgb kBackground = qRgb(0, 255, 0), kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255),
           kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0);

template <class Fn>
QImage paint(int w, int h, Fn fn)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(kBackground);
    QPainter painter(&image);
    fn(&painter);
    painter.end();
    return image;
}

// As paint, on an image of ratio device pixels per pixel (w x h pixels, w * ratio x h * ratio device pixels).
template <class Fn>
QImage paintAt(qreal ratio, int w, int h, Fn fn)
{
    QImage image(qRound(w * ratio), qRound(h * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(kBackground);
    QPainter painter(&image);
    fn(&painter);
    painter.end();
    return image;
}

// A widget that paints with fn; rendered through QWidget::render, its painter's device() is the widget while
// the pixels land on the target.
class PaintedWidget : public QWidget
{
public:
    std::function<void(QPainter*)> fn;
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        fn(&p);
    }
};

// The widget rendered into an image of ratio device pixels per pixel.
QImage rendered(PaintedWidget& widget, qreal ratio)
{
    QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(kBackground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// A fill style drawn at r on a w x h canvas (the whole canvas when r is empty).
QImage filled(const FillStyle& style, int w, int h, QRect r = QRect())
{
    if (r.isNull())
        r = QRect(0, 0, w, h);
    return paint(w, h, [&](QPainter* p) { Impl::drawFillStyleAt(p, style, r.x(), r.y(), r.width(), r.height()); });
}

bool near(QRgb a, QRgb b, int tolerance = 8)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance && qAbs(qAlpha(a) - qAlpha(b)) <= tolerance;
}

#define PIXEL_IS(image, x, y, colour)                                                                          \
    QVERIFY2(near((image).pixel((x), (y)), (colour)),                                                          \
             qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4").arg(x).arg(y)                      \
                            .arg((image).pixel((x), (y)), 8, 16, QLatin1Char('0')).arg(QRgb(colour), 8, 16, QLatin1Char('0'))))

struct Px {
    int x, y;
    QRgb colour;
};
#define PIXELS_ARE(image, ...)                                                                                 \
    for (const Px& px : std::initializer_list<Px>{__VA_ARGS__})                                                \
    PIXEL_IS(image, px.x, px.y, px.colour)

// The bounding box of every pixel that differs from the background.
// The highest resident set size of the process so far, in kilobytes.
long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

QRect inkBounds(const QImage& image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kBackground) {
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

FillStyle colourStyle(QColor fill, int radius = 0)
{
    FillStyle style;
    style.fillRes.fillColor = fill;
    style.fillRes.radius = radius;
    return style;
}

FillStyle bordered(QColor fill, QColor border, int width, int radius = 0)
{
    FillStyle style = colourStyle(fill, radius);
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
    std::tie(style.textMode, style.horAlign, style.verAlign) = std::make_tuple(mode, horAlign, verAlign);
    return style;
}

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

    void solidFillCoversExactlyTheRectangle()
    {
        const QImage image = paint(60, 50, [&](QPainter* p) {
            Impl::drawFillStyle(p, colourStyle(Qt::red), QRect(10, 10, 40, 30));
        });
        QCOMPARE(inkBounds(image), QRect(10, 10, 40, 30));
        PIXELS_ARE(image, {10, 10, kRed}, {49, 39, kRed});
        FillStyle invalid = colourStyle(Qt::red);
        invalid.valid = false;
        QVERIFY(inkBounds(filled(invalid, 40, 40)).isNull());
        // An empty or negative size paints nothing, border or not (not the rectangle turned round beside it).
        for (const FillStyle& s : {colourStyle(Qt::red), bordered(Qt::red, Qt::blue, 2)}) {
            for (const QRect& r : {QRect(30, 10, -10, 20), QRect(30, 10, 20, -10), QRect(30, 10, 0, 20)})
                QVERIFY(inkBounds(filled(s, 60, 50, r)).isNull());
        }
    }

    void roundedCornersFollowTheirFlags()
    {
        FillStyle style = colourStyle(Qt::red, 10);
        style.fillRes.roundTopLeft = false;
        // Square top-left, the other three inside their radius; straight edge and the inner side of an arc.
        PIXELS_ARE(filled(style, 60, 40), {0, 0, kRed}, {1, 38, kBackground}, {58, 1, kBackground},
                   {58, 38, kBackground}, {30, 0, kRed}, {5, 36, kRed});
        // A radius is clamped to half the shorter side: a stadium whose straight top runs from x 20 to 60.
        PIXELS_ARE(filled(colourStyle(Qt::red, 500), 80, 40), {40, 0, kRed}, {40, 39, kRed}, {1, 20, kRed},
                   {78, 20, kRed}, {3, 3, kBackground}, {76, 36, kBackground});
    }

    void roundedPathEdgeCases()
    {
        QVERIFY(Impl::roundedRectPath(QRectF(0, 0, 10, -1), 3, true, true, true, true).isEmpty());
        // A negative radius is no rounding: the plain rectangle.
        QVERIFY(Impl::roundedRectPath(QRectF(0, 0, 10, 10), -4, true, true, true, true).contains(QPointF(0.1, 0.1)));
    }

    void gradientRunsLeftToRight()
    {
        for (int radius : {0, 4}) {
            FillStyle style = colourStyle(Qt::red, radius);
            style.fillRes.gradient = true;
            style.fillRes.gradientEndColor = Qt::blue;
            const QImage image = filled(style, 120, 20, QRect(10, 0, 100, 20));
            const QRgb start = image.pixel(11, 10), middle = image.pixel(60, 10), end = image.pixel(108, 10);
            QVERIFY2(qRed(start) > 240 && qBlue(start) < 15, qPrintable(QString::number(radius)));
            QVERIFY2(qBlue(end) > 240 && qRed(end) < 15, qPrintable(QString::number(radius)));
            QVERIFY(qAbs(qRed(middle) - 127) < 12 && qAbs(qBlue(middle) - 127) < 12);
        }
    }

    // ---- borders ----

    void squareBorderLiesInsideTheRectangle()
    {
        for (int width : {1, 2, 3}) {
            const QImage image = filled(bordered(Qt::white, Qt::black, width), 60, 50, QRect(10, 10, 40, 30));
            QVERIFY2(inkBounds(image) == QRect(10, 10, 40, 30), qPrintable(QStringLiteral("width %1").arg(width)));
            for (int i = 0; i < width; ++i)
                PIXELS_ARE(image, {10 + i, 25, kBlack}, {49 - i, 25, kBlack}, {30, 10 + i, kBlack}, {30, 39 - i, kBlack});
            PIXELS_ARE(image, {10 + width, 25, kWhite}, {49 - width, 25, kWhite});
        }
        // Three sides: the left one is left out, the top line still reaches the left end.
        FillStyle style = bordered(Qt::white, Qt::black, 1);
        style.fillRes.leftBorder = false;
        PIXELS_ARE(filled(style, 60, 50, QRect(10, 10, 40, 30)), {10, 25, kWhite}, {49, 25, kBlack},
                   {30, 10, kBlack}, {30, 39, kBlack}, {11, 10, kBlack});
    }

    void onePixelBorderIsThePensOutline()
    {
        // The one-pixel square border is the outline a one-pixel pen draws, on every painter: moved, clipped, see-
        // through, at another pixel ratio, anti-aliased, in another composition mode. A see-through colour shows
        // how often a pixel is blended: once along a whole outline, twice where two single sides meet.
        const QColor border(200, 0, 0, 128);
        const FillStyle base = bordered(QColor(0, 0, 255, 100), border, 1);
        auto penOutline = [&](QPainter* p, const FillRes& res, const QRect& r) {
            p->save();
            p->fillRect(r, res.fillColor);
            p->setPen(QPen(QBrush(border), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            const double l = r.x() + 0.5, t = r.y() + 0.5, rr = r.x() + r.width() - 0.5, b = r.y() + r.height() - 0.5;
            if (res.leftBorder && res.topBorder && res.rightBorder && res.bottomBorder) {
                p->drawRect(QRectF(l, t, r.width() - 1, r.height() - 1));
            } else {
                if (res.topBorder)
                    p->drawLine(QPointF(l, t), QPointF(rr, t));
                if (res.bottomBorder)
                    p->drawLine(QPointF(l, b), QPointF(rr, b));
                if (res.leftBorder)
                    p->drawLine(QPointF(l, t), QPointF(l, b));
                if (res.rightBorder)
                    p->drawLine(QPointF(rr, t), QPointF(rr, b));
            }
            p->restore();
        };
        const std::function<void(QPainter*)> setups[] = {
            [](QPainter*) {},
            [](QPainter* p) { p->translate(3, 2); },
            [](QPainter* p) { p->setClipRect(QRect(6, 6, 30, 20)); },
            [](QPainter* p) { p->setOpacity(0.6); },
            [](QPainter* p) { p->setRenderHint(QPainter::Antialiasing); },
            [](QPainter* p) { p->setCompositionMode(QPainter::CompositionMode_Source); },
        };
        for (qreal ratio : {1.0, 2.0, 1.5}) {
            for (int setup = 0; setup < int(std::size(setups)); ++setup) {
                for (int sides : {15, 3, 1, 12}) {
                    for (const QRect& r : {QRect(5, 4, 3, 3), QRect(5, 4, 4, 7), QRect(5, 4, 40, 30)}) {
                        FillStyle style = base;
                        std::tie(style.fillRes.leftBorder, style.fillRes.topBorder, style.fillRes.rightBorder,
                                 style.fillRes.bottomBorder) =
                            std::make_tuple(bool(sides & 1), bool(sides & 2), bool(sides & 4), bool(sides & 8));
                        auto drawn = [&](bool helper) {
                            // Source composition into straight alpha: there the fills and the pen part ways.
                            QImage image(qRound(50 * ratio), qRound(40 * ratio),
                                         setup == 5 ? QImage::Format_ARGB32 : QImage::Format_ARGB32_Premultiplied);
                            image.setDevicePixelRatio(ratio);
                            image.fill(kBackground);
                            QPainter p(&image);
                            setups[setup](&p);
                            if (helper)
                                Impl::drawFillStyle(&p, style, r);
                            else
                                penOutline(&p, style.fillRes, r);
                            return image;
                        };
                        const QImage got = drawn(true), expected = drawn(false);
                        // The corners, their neighbours along both edges and inside, the middle of every edge
                        // and the pixel inside it; every device pixel of each.
                        const int x0 = r.left(), y0 = r.top(), x1 = r.right(), y1 = r.bottom();
                        const int mx = r.center().x(), my = r.center().y();
                        for (const QPoint& at : {QPoint(x0, y0), QPoint(x1, y0), QPoint(x0, y1), QPoint(x1, y1),
                                                 QPoint(x0 + 1, y0), QPoint(x0, y0 + 1), QPoint(x0 + 1, y0 + 1),
                                                 QPoint(x1 - 1, y1), QPoint(x1, y1 - 1), QPoint(x1 - 1, y1 - 1),
                                                 QPoint(mx, y0), QPoint(mx, y0 + 1), QPoint(mx, y1), QPoint(mx, y1 - 1),
                                                 QPoint(x0, my), QPoint(x0 + 1, my), QPoint(x1, my), QPoint(x1 - 1, my)}) {
                            for (const QPoint& d : {QPoint(qFloor(at.x() * ratio), qFloor(at.y() * ratio)),
                                                    QPoint(qCeil((at.x() + 1) * ratio) - 1, qCeil((at.y() + 1) * ratio) - 1)}) {
                                QVERIFY2(got.pixel(d) == expected.pixel(d),
                                         qPrintable(QStringLiteral("ratio %1, set-up %2, sides %3, %4 x %5: device "
                                                                   "pixel (%6, %7) is %8, the pen draws %9")
                                                        .arg(ratio).arg(setup).arg(sides).arg(r.width()).arg(r.height())
                                                        .arg(d.x()).arg(d.y()).arg(got.pixel(d), 8, 16)
                                                        .arg(expected.pixel(d), 8, 16)));
                            }
                        }
                    }
                }
            }
        }
    }

    void borderNeedsTheFlagAndAWidth()
    {
        FillStyle noFlag = bordered(Qt::white, Qt::black, 2);
        noFlag.fillRes.drawBorder = false;
        for (FillStyle s : {bordered(Qt::white, Qt::black, 0), bordered(Qt::white, Qt::black, -3), noFlag}) {
            for (int radius : {0, 5}) {
                s.fillRes.radius = radius;
                PIXELS_ARE(filled(s, 40, 40), {20, 0, kWhite}, {0, 20, kWhite});
            }
        }
    }

    void negativeSizeDrawsNothingWhateverTheBorder()
    {
        // A part whose rectangle came out negative (a bar squeezed below its buttons) with a style file's widest
        // border: nothing drawn, and the inset rectangle's size no longer overflows.
        for (int radius : {0, 3}) {
            const FillStyle wide = bordered(Qt::white, Qt::black, INT_MAX, radius);
            QVERIFY(inkBounds(paint(40, 40, [&](QPainter* p) {
                        Impl::drawFillStyleAt(p, wide, 10, 10, -2, 20);
                        Impl::drawFillStyleAt(p, wide, 10, 10, 20, -2);
                    })).isNull());
        }
    }

    void roundedBorderStrokesInsideTheRectangle()
    {
        PIXELS_ARE(filled(bordered(Qt::white, Qt::red, 2, 8), 60, 40), {30, 0, kRed}, {30, 1, kRed},
                   {30, 2, kWhite}, {59, 20, kRed}, {0, 20, kRed}, {30, 20, kWhite}, {0, 0, kBackground},
                   {59, 39, kBackground});
    }

    void roundedBorderOnSomeSidesStopsBeforeRoundedCorners()
    {
        FillStyle style = bordered(Qt::white, Qt::red, 2, 10);
        style.fillRes.topBorder = false;
        style.fillRes.roundBottomRight = false;
        // No top line, the fill inset by half the pen; the bottom line reaches the square bottom-right corner
        // but stops short of the rounded bottom-left.
        PIXELS_ARE(filled(style, 60, 40), {30, 0, kBackground}, {30, 1, kWhite}, {30, 39, kRed}, {0, 20, kRed},
                   {59, 20, kRed}, {58, 39, kRed}, {3, 39, kBackground});
        // A radius beyond half the side: the lines stop where the clamped outline turns.
        style.fillRes.radius = 100;
        style.fillRes.roundBottomRight = true;
        PIXELS_ARE(filled(style, 60, 40), {30, 39, kRed}, {2, 39, kBackground}, {57, 39, kBackground},
                   {0, 20, kRed});
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

        // Through a fill style with no margins: the whole image stretched over the centre.
        FillStyle style;
        style.useFillStyle = false;
        style.imageName = name;
        PIXELS_ARE(filled(style, 18, 18), {0, 0, blockColour(0, 0)}, {9, 9, blockColour(1, 1)},
                   {17, 17, blockColour(2, 2)});
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
        for (int k = 0; k < 6; ++k)
            PIXELS_ARE(tiled, {2 + 6 * k, 2, kRed}, {3 + 6 * k, 2, kBlue}, {2, 2 + 6 * k, kRed});
        // The last, cut tile, the right edge strip, outside.
        PIXELS_ARE(tiled, {32, 32, kRed}, {39, 39, kBlue}, {40, 39, kWhite}, {42, 20, kBackground});

        desc.repeatCenter = false;
        const QImage stretched = paint(44, 44, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 0, 0, 42, 42); });
        PIXELS_ARE(stretched, {7, 7, kRed}, {8, 2, kBlue});

        // Without margins the tiles cover the whole target.
        QImage strip(4, 1, QImage::Format_ARGB32);
        strip.fill(kBlue);
        strip.setPixel(0, 0, kRed);
        const QString stripName = writeImage(QStringLiteral("strip.png"), strip);
        ImageDesc plain;
        plain.repeatCenter = true;
        const QImage image = paint(120, 40, [&](QPainter* p) { Impl::drawImageFill(p, stripName, plain, 3, 5, 110, 30); });
        QCOMPARE(inkBounds(image), QRect(3, 5, 110, 30));
        PIXELS_ARE(image, {3, 34, kRed}, {107, 20, kRed}, {108, 20, kBlue});
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
        PIXELS_ARE(image, {0, 5, kRed}, {3, 5, kRed}, {4, 5, kBlue}, {5, 5, kBlue}, {6, 5, kBackground});
    }

    void nineSliceRejectsWhatItCannotDraw()
    {
        const QString name = writeImage(QStringLiteral("blocks3.png"), nineBlocks());
        ImageDesc huge;
        huge.left = huge.right = huge.top = huge.bottom = 50; // margins beyond the image and the target
        paint(30, 30, [&](QPainter* p) { Impl::drawImageFill(p, name, huge, 0, 0, 30, 30); }); // must not crash
        ImageDesc corners;
        corners.left = corners.right = corners.top = corners.bottom = 3;
        const QString missing = m_dir.filePath(QStringLiteral("none.png"));
        auto inkFor = [&](const QString& file, const ImageDesc& desc, int x, int y, int w, int h) {
            return inkBounds(paint(30, 30, [&](QPainter* p) { Impl::drawImageFill(p, file, desc, x, y, w, h); }));
        };
        QVERIFY(inkFor(missing, ImageDesc(), 0, 0, 30, 30).isNull());
        QVERIFY(inkFor(name, ImageDesc(), 0, 0, 0, 30).isNull());
        QVERIFY(inkFor(name, corners, 20, 20, -10, 8).isNull());
    }

    // ---- texts ----

    void textIsElidedOrWrappedWithinTheWidth()
    {
        const QString text = QStringLiteral("The plant feeds the grid all day long without a break");
        QVERIFY(inkBounds(paint(80, 30, [&](QPainter* p) { Impl::drawTextAt(p, QString(), textStyle(), 0, 0, 80, 30, true); })).isNull());

        const QRect elided = inkBounds(paint(200, 30, [&](QPainter* p) {
            Impl::drawTextAt(p, text, textStyle(0), 10, 0, 100, 30, true);
        }));
        QVERIFY2(!elided.isNull() && elided.left() >= 9 && elided.right() < 10 + 100 - 2,
                 qPrintable(QStringLiteral("%1..%2").arg(elided.left()).arg(elided.right())));
        QVERIFY(elided.height() <= QFontMetrics(QFont(QStringLiteral("DejaVu Sans"))).height() * 2); // one line

        auto inkFor = [&](int mode) {
            return inkBounds(paint(120, 120, [&](QPainter* p) {
                Impl::drawTextAt(p, text, textStyle(mode), 0, 0, 110, 120, true);
            }));
        };
        const int lineHeight = Impl::getTextSize(textStyle(), text).height();
        QVERIFY(inkFor(1).height() < lineHeight + 2);
        const QRect wrapped = inkFor(3);
        QVERIFY(wrapped.height() > 2 * lineHeight && wrapped.right() < 110);
    }

    void alignmentAndOffsetsPlaceTheText()
    {
        auto inkFor = [&](int hor, int ver, int offsetX = 0, int offsetY = 0, QRect box = QRect(0, 0, 200, 100)) {
            TextStyleDesc style = textStyle(1, hor, ver);
            std::tie(style.offsetX, style.offsetY) = std::make_tuple(offsetX, offsetY);
            return inkBounds(paint(200, 100, [&](QPainter* p) {
                Impl::drawTextAt(p, QStringLiteral("Hg"), style, box.x(), box.y(), box.width(), box.height(), true);
            }));
        };
        const QRect centred = inkFor(1, 1), bottomRight = inkFor(2, 2);
        QVERIFY(qAbs(centred.center().x() - 100) <= 3 && qAbs(centred.center().y() - 50) <= 4);
        QVERIFY(bottomRight.right() > 190 && bottomRight.bottom() > 90);
        const QRect box(10, 10, 150, 60);
        QCOMPARE(inkFor(0, 2, 0, 4, box).bottom() - inkFor(0, 2, 0, 0, box).bottom(), 4);
        QCOMPARE(inkFor(0, 0, 6, 0, box).left() - inkFor(0, 0, 0, 0, box).left(), 6);
    }

    void extremeOffsetsAndMarginsFromStyleJson()
    {
        // Offsets and margins are whatever ints a style file holds: the boxes they give stay within int, and
        // nothing is drawn where no part of the box is.
        const QString name = writeImage(QStringLiteral("blocks4.png"), nineBlocks());
        for (int extreme : {INT_MIN, INT_MAX}) {
            TextStyleDesc style = textStyle(0, 0, 0);
            style.offsetX = style.offsetY = extreme;
            for (bool horizontal : {true, false}) {
                const QImage text = paint(60, 30, [&](QPainter* p) {
                    Impl::drawTextAt(p, QStringLiteral("Hg"), style, 5, 5, 40, 20, horizontal);
                    TEVTextCache cache;
                    cache.draw(p, QStringLiteral("Hg"), style, 5, 5, 40, 20, horizontal);
                });
                QVERIFY(!horizontal || inkBounds(text).isNull()); // vertical text has no offsets
            }
            ImageDesc desc;
            desc.left = desc.right = desc.top = desc.bottom = extreme;
            paint(30, 30, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 2, 2, 20, 20); });
            desc.left = desc.top = 3;
            paint(30, 30, [&](QPainter* p) { Impl::drawImageFill(p, name, desc, 2, 2, 20, 20); });
        }
    }

    void verticalTextStaysInsideItsRectangle()
    {
        TextStyleDesc style = textStyle(1, 1, 1);
        style.isHor = false;
        for (int x : {0, 50}) {
            const QRect ink = inkBounds(paint(140, 120, [&](QPainter* p) {
                Impl::drawText(p, QStringLiteral("Output"), style, QRect(x, 10, 24, 90));
            }));
            QVERIFY2(!ink.isNull() && QRect(x, 10, 24, 90).contains(ink),
                     qPrintable(QStringLiteral("x %1: ink %2,%3 %4x%5")
                                    .arg(x).arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height())));
            QVERIFY(ink.height() > 2 * ink.width()); // runs downwards
        }
        // The same font as horizontal text: the ink is the horizontal ink turned.
        style = textStyle(1, 1, 1);
        style.bold = true;
        style.pixelSize = 18;
        const QRect horizontal = inkBounds(paint(200, 200, [&](QPainter* p) {
            Impl::drawTextAt(p, QStringLiteral("Output"), style, 0, 0, 200, 40, true);
        }));
        const QRect vertical = inkBounds(paint(200, 200, [&](QPainter* p) {
            Impl::drawTextAt(p, QStringLiteral("Output"), style, 0, 0, 40, 200, false);
        }));
        QVERIFY(qAbs(horizontal.width() - vertical.height()) <= 2 && qAbs(horizontal.height() - vertical.width()) <= 2);
    }

    void textSizeFollowsTheStyleAndTheGlobalFamily()
    {
        const QString text = QStringLiteral("Power 1200 kW");
        TextStyleDesc style = textStyle();
        const QSize normal = Impl::getTextSize(style, text);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(14);
        QCOMPARE(normal.height(), QFontMetrics(font).height());
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
        TextStyleDesc other = textStyle(), mono = textStyle();
        other.family = QStringLiteral("No Such Family");
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
        auto inkFor = [&](const QIcon& icon, int hor, int ver, int offsetX = 0, int offsetY = 0) {
            IconStyleDesc style;
            std::tie(style.horAlign, style.verAlign, style.offsetX, style.offsetY) = std::make_tuple(hor, ver, offsetX, offsetY);
            return inkBounds(paint(60, 60, [&](QPainter* p) {
                Impl::drawIcon(p, icon, QSize(10, 10), style, QRect(10, 10, 40, 40));
            }));
        };
        QCOMPARE(inkFor(QIcon(red), 1, 1), QRect(25, 25, 10, 10));
        QCOMPARE(inkFor(QIcon(red), 2, 0, -1, 3), QRect(39, 13, 10, 10));
        // An alignment outside 0..2 puts the icon at coordinate 0 of that axis.
        QCOMPARE(inkFor(QIcon(red), 7, 1), QRect(0, 25, 10, 10));
        QVERIFY(inkFor(QIcon(), 1, 1).isNull());
    }

    void rasterImageIsDrawnUnscaledAtItsPlace()
    {
        QImage red(8, 6, QImage::Format_ARGB32);
        red.fill(kRed);
        const QString name = writeImage(QStringLiteral("red.png"), red);
        const QString missing = m_dir.filePath(QStringLiteral("none.png"));
        IconStyleDesc style;
        std::tie(style.horAlign, style.verAlign, style.offsetX, style.offsetY) = std::make_tuple(0, 2, 3, -2);
        auto inkFor = [&](const QString& file) {
            return inkBounds(paint(60, 60, [&](QPainter* p) {
                Impl::drawImage(p, file, style, QRect(10, 10, 40, 40), false);
            }));
        };
        QCOMPARE(inkFor(name), QRect(13, 42, 8, 6));
        QVERIFY(inkFor(missing).isNull());
        QCOMPARE(Impl::getImageSize(name, false), QSize(8, 6));
        QVERIFY(!Impl::getImageSize(missing, false).isValid());
    }

    void svgPlainTintedAndGray()
    {
        // A 10 x 10 SVG: a red square with a transparent frame of 2 pixels.
        const QString name = writeSvg(QStringLiteral("square.svg"),
                                      "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
                                      "<rect x='2' y='2' width='6' height='6' fill='#ff0000'/></svg>");
        QCOMPARE(Impl::getImageSize(name, false), QSize(10, 10));
        IconStyleDesc style; // centred: the SVG covers (15, 15) .. (24, 24)
        auto draw = [&](bool gray) {
            return paint(40, 40, [&](QPainter* p) { Impl::drawImage(p, name, style, QRect(0, 0, 40, 40), gray); });
        };
        const QImage plain = draw(false);
        QCOMPARE(inkBounds(plain), QRect(17, 17, 6, 6));
        PIXEL_IS(plain, 20, 20, kRed);

        style.useColor = true;
        style.color = QColor(0, 0, 255);
        const QImage tinted = draw(false);
        PIXELS_ARE(tinted, {20, 20, kBlue}, {16, 16, kBackground}); // the transparent frame stays transparent
        QCOMPARE(inkBounds(tinted), QRect(17, 17, 6, 6));

        style.useColor = false;
        const QImage gray = draw(true);
        const QRgb g = gray.pixel(20, 20);
        QVERIFY2(g != kRed && qAbs(qRed(g) - qGreen(g)) < 40 && qAbs(qGreen(g) - qBlue(g)) < 40,
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

    // An SVG without a size of its own is rendered for a tint or the disabled look into a picture of the target's
    // size; for a huge target that picture stays within the resource manager's caps and is stretched over it.
    void svgRenderedForHugeTargetsStaysBounded()
    {
        QCOMPARE(tevBoundedImageSize(QSize(300, 200)), QSize(300, 200));
        QCOMPARE(tevBoundedImageSize(QSize(TEVMaxImageSide, 2048)), QSize(TEVMaxImageSide, 2048));
        QCOMPARE(tevBoundedImageSize(QSize(TEVMaxImageSide + 1, 1)), QSize(TEVMaxImageSide, 1));
        QCOMPARE(tevBoundedImageSize(QSize(100000, 10)), QSize(TEVMaxImageSide, 1));
        QCOMPARE(tevBoundedImageSize(QSize(0, 50000)), QSize(0, TEVMaxImageSide));
        for (const QSize& big : {QSize(20000, 20000), QSize(16777215, 16777215), QSize(9000, 16000)}) {
            const QSize bounded = tevBoundedImageSize(big);
            // Within the caps, and shrunk no further than they ask.
            QVERIFY2(tevImageSizeAllowed(bounded) && (qint64(bounded.width()) * bounded.height() > TEVMaxImagePixels * 0.99 ||
                                                      qMax(bounded.width(), bounded.height()) == TEVMaxImageSide),
                     qPrintable(QString("%1 x %2").arg(bounded.width()).arg(bounded.height())));
            QVERIFY(qAbs(double(bounded.width()) / bounded.height() - double(big.width()) / big.height()) < 0.01);
        }
        QVERIFY(tevImageSizeAllowed(QSize(7680, 4320)) && tevImageSizeAllowed(QSize(8192, 4096)));
        QVERIFY(!tevImageSizeAllowed(QSize(8192, 4097)) && !tevImageSizeAllowed(QSize(1, TEVMaxImageSide + 1)));

        // Only an SVG without content declares no size (Qt measures the content otherwise).
        const QString name = writeSvg(QStringLiteral("sizeless.svg"), "<svg xmlns='http://www.w3.org/2000/svg'></svg>");
        IconStyleDesc style;
        style.horAlign = style.verAlign = 0;
        style.color = QColor(0, 0, 255);
        auto grownKb = [peak = peakResidentKb()] { return peakResidentKb() - peak; };
        // Unbounded, the tinted picture alone would take 1.6 GB, the disabled look twice that.
        for (bool gray : {false, true}) {
            style.useColor = !gray;
            const QImage drawn =
                paint(40, 40, [&](QPainter* p) { Impl::drawImageAt(p, name, style, 0, 0, 20000, 20000, gray); });
            QCOMPARE(inkBounds(drawn), QRect());
            QVERIFY2(grownKb() < (gray ? 1280 : 640) * 1024, qPrintable(QString::number(grownKb())));
        }
    }

    void scaleFactorShrinksButNeverGrows()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        const float saved = rm->getScaleFactor();
        rm->setScaleFactor(0.5f);
        QCOMPARE(Impl::scaleSize(QSize(3, 3)), QSize(2, 2));
        QCOMPARE(Impl::scaleSize(QSize(1, 1)), QSize(1, 1));
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

    // ---- caches ----

    // A vertical text drawn through a text cache is the helper's picture, from the first paint on and after any
    // input changed (a stale turned picture would show the old one).
    void verticalTextFromACacheFollowsEveryInput()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        TextStyleDesc style = textStyle(1, 1, 1);
        style.isHor = false;
        QString text = QStringLiteral("Output");
        QSize size(24, 90);
        TEVTextCache viaDraw, viaHelper;
        QImage previous;
        auto check = [&](const char* what, bool changed = true) {
            const QImage expected = paint(60, 120, [&](QPainter* p) {
                Impl::drawTextAt(p, text, style, 5, 10, size.width(), size.height(), false);
            });
            if (changed) // the change shows, so a stale picture would fail
                QVERIFY2(expected != previous, what);
            for (int pass = 0; pass < 2; ++pass) {
                QVERIFY2(paint(60, 120, [&](QPainter* p) {
                             viaDraw.draw(p, text, style, 5, 10, size.width(), size.height(), false);
                         }) == expected, what);
                QVERIFY2(paint(60, 120, [&](QPainter* p) {
                             Impl::drawTextAt(p, text, style, 5, 10, size.width(), size.height(), false, &viaHelper);
                         }) == expected, what);
            }
            previous = expected;
        };
        check("first paint");
        text = QStringLiteral("Input");
        check("text");
        style.color = kBlue;
        check("colour");
        style.pixelSize = 18;
        check("pixel size");
        style.bold = true;
        check("weight");
        style.horAlign = 0;
        check("alignment");
        size = QSize(30, 70);
        check("size");
        const QString family = rm->getGlobalFontFamily();
        rm->setGlobalFontFamily(QStringLiteral("DejaVu Serif"));
        check("global family");
        rm->setGlobalFontFamily(family);
        check("global family back");
        // Nothing to draw leaves the painter untouched, and clearing starts over.
        QCOMPARE(paint(10, 10, [&](QPainter* p) { viaDraw.draw(p, text, style, 0, 0, 0, 10, false); }),
                 paint(10, 10, [](QPainter*) {}));
        viaDraw.clear();
        check("after clear", false);
    }

    // ---- device pixel ratio ----

    // Pictures made for painting (turned text, tinted and grayed SVGs, kept fills and icons) are made at the ratio
    // of what the painter paints on, also when a widget is rendered into another device, and made again when
    // that ratio changes: at ratio 2 they are as sharp as what is drawn straight.
    void turnedTextIsMadeAtThePaintersRatio()
    {
        TextStyleDesc style = textStyle(1, 1, 1);
        const QString text = QStringLiteral("Output");
        // The text drawn upright at ratio 2 and turned a quarter clockwise is what the turned text must show.
        const QImage upright = paintAt(2, 90, 24, [&](QPainter* p) { Impl::drawTextAt(p, text, style, 0, 0, 90, 24, true); });
        const QImage expected = upright.transformed(QTransform().rotate(90));
        style.isHor = false;
        auto same = [&](const QImage& image, const char* what) {
            QCOMPARE(image.size(), expected.size());
            int off = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    off += near(image.pixel(x, y), expected.pixel(x, y), 24) ? 0 : 1;
            QVERIFY2(off <= 4, qPrintable(QStringLiteral("%1: %2 pixels differ").arg(what).arg(off)));
        };
        same(paintAt(2, 24, 90, [&](QPainter* p) { Impl::drawTextAt(p, text, style, 0, 0, 24, 90, false); }), "helper");
        TEVTextCache cache;
        // Made at ratio 1 first: the ratio 2 paint makes it again.
        paintAt(1, 24, 90, [&](QPainter* p) { cache.draw(p, text, style, 0, 0, 24, 90, false); });
        same(paintAt(2, 24, 90, [&](QPainter* p) { cache.draw(p, text, style, 0, 0, 24, 90, false); }), "cache");
        PaintedWidget widget;
        widget.resize(24, 90);
        widget.fn = [&](QPainter* p) { cache.draw(p, text, style, 0, 0, 24, 90, false); };
        same(rendered(widget, 2), "widget rendered");
        tevtest::keepRender(rendered(widget, 2), QStringLiteral("drawing-turned-text-ratio2.png"));

        // A horizontal line kept from paints at ratio 1 draws at ratio 2 what the helper draws there.
        style.isHor = true;
        const QImage straight = paintAt(2, 90, 24, [&](QPainter* p) { Impl::drawTextAt(p, text, style, 0, 0, 90, 24, true); });
        TEVTextCache line;
        for (int pass = 0; pass < 2; ++pass)
            paintAt(1, 90, 24, [&](QPainter* p) { line.draw(p, text, style, 0, 0, 90, 24); });
        for (int pass = 0; pass < 2; ++pass)
            QCOMPARE(paintAt(2, 90, 24, [&](QPainter* p) { line.draw(p, text, style, 0, 0, 90, 24); }), straight);
    }

    void picturesForTheRatioTwoAreSharp()
    {
        // An SVG square with edges on half pixels: at ratio 2 the edges fall on whole device pixels (35 and 44 of
        // a 10 x 10 SVG centred at 15, 15), made at ratio 1 and stretched they would be half covered.
        const QString name = writeSvg(QStringLiteral("halfsquare.svg"),
                                      "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
                                      "<rect x='2.5' y='2.5' width='5' height='5' fill='#0000ff'/></svg>");
        IconStyleDesc tint;
        tint.useColor = true;
        tint.color = QColor(255, 0, 0);
        auto sharp = [&](const QImage& image, QRgb colour, const char* what) {
            for (const Px& px : {Px{35, 35, colour}, Px{44, 44, colour}, Px{34, 40, kBackground}, Px{45, 40, kBackground}})
                QVERIFY2(near(image.pixel(px.x, px.y), px.colour, 12),
                         qPrintable(QStringLiteral("%1: pixel (%2, %3) is %4").arg(what).arg(px.x).arg(px.y)
                                        .arg(image.pixel(px.x, px.y), 8, 16, QLatin1Char('0'))));
        };
        sharp(paintAt(2, 40, 40, [&](QPainter* p) { Impl::drawImageAt(p, name, tint, 0, 0, 40, 40, false); }), kRed,
              "tinted");
        const QImage gray = paintAt(2, 40, 40, [&](QPainter* p) { Impl::drawImageAt(p, name, IconStyleDesc(), 0, 0, 40, 40, true); });
        QCOMPARE(gray.pixel(35, 35), gray.pixel(40, 40));
        QVERIFY(gray.pixel(35, 35) != kBackground && gray.pixel(34, 40) == kBackground);
        // An icon asked for its device pixels, placed by the requested size; one without them keeps its own.
        const QIcon svgIcon(name);
        sharp(paintAt(2, 40, 40, [&](QPainter* p) { Impl::drawIcon(p, svgIcon, QSize(10, 10), IconStyleDesc(), QRect(0, 0, 40, 40)); }),
              kBlue, "icon");
        QImage small(4, 4, QImage::Format_ARGB32);
        small.fill(kRed);
        const QImage smallDrawn = paintAt(2, 40, 40, [&](QPainter* p) {
            Impl::drawIcon(p, QIcon(QPixmap::fromImage(small)), QSize(4, 4), IconStyleDesc(), QRect(0, 0, 40, 40));
        });
        QCOMPARE(inkBounds(smallDrawn), QRect(36, 36, 8, 8));

        // Through the caches of a control, painted by a widget rendered at ratio 2 after a paint at ratio 1.
        TEVIconCache icons;
        TEVFillCache fill;
        const FillStyle rounded = colourStyle(kBlue, 10);
        PaintedWidget widget;
        widget.resize(40, 40);
        widget.fn = [&](QPainter* p) { icons.draw(p, name, tint, QRect(0, 0, 40, 40), false); };
        paintAt(1, 40, 40, [&](QPainter* p) { widget.fn(p); });
        sharp(rendered(widget, 2), kRed, "icon cache");
        widget.fn = [&](QPainter* p) { fill.draw(p, rounded, 0, 0, 40, 40); };
        paintAt(1, 40, 40, [&](QPainter* p) { widget.fn(p); });
        QCOMPARE(rendered(widget, 2), paintAt(2, 40, 40, [&](QPainter* p) { Impl::drawFillStyleAt(p, rounded, 0, 0, 40, 40); }));

        // A nine-slice image at ratio 2 lands where it lands at ratio 1, each image pixel on 2 x 2 device pixels
        // (its stretched edges and its tiled centre alike).
        const QString blocks = writeImage(QStringLiteral("blocks2.png"), nineBlocks());
        ImageDesc desc;
        desc.left = desc.right = desc.top = desc.bottom = 3;
        desc.repeatCenter = true;
        auto nine = [&](QPainter* p) { Impl::drawImageFill(p, blocks, desc, 1, 1, 18, 21); };
        QImage doubled = paintAt(1, 20, 23, nine).scaled(40, 46);
        doubled.setDevicePixelRatio(2);
        QCOMPARE(paintAt(2, 20, 23, nine), doubled);
    }

    // Image fills keep their image and tile between paints (in the shared cache of the helper, or in a control's
    // fill cache) and find the image again once other resources are loaded under the same name.
    void imageFillsFollowTheLoadedResources()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QTemporaryDir first, second;
        // 8 x 8 images with 2-pixel margins: white frame, centre of one colour with a marker in its top-left.
        auto writeTheme = [](const QTemporaryDir& dir, QRgb centre, QRgb marker) {
            QImage image(8, 8, QImage::Format_ARGB32);
            image.fill(kWhite);
            for (int y = 2; y < 6; ++y)
                for (int x = 2; x < 6; ++x)
                    image.setPixel(x, y, centre);
            image.setPixel(2, 2, marker);
            return image.save(dir.filePath(QStringLiteral("fill.png")), "PNG") &&
                   tevtest::writeFile(dir.filePath(QStringLiteral("style.json")), R"({"style": []})") &&
                   tevtest::writeFile(dir.filePath(QStringLiteral("theme.json")), R"({"elements": []})");
        };
        QVERIFY(writeTheme(first, kRed, kBlack));
        QVERIFY(writeTheme(second, kBlue, kRed));
        FillStyle style;
        style.useFillStyle = false;
        style.imageName = QStringLiteral("fill.png");
        style.imageDesc.left = style.imageDesc.right = style.imageDesc.top = style.imageDesc.bottom = 2;
        style.imageDesc.repeatCenter = true;
        TEVFillCache kept;
        TEVImageFillCache own;
        auto viaHelper = [&] { return filled(style, 30, 30, QRect(3, 3, 24, 20)); };
        auto viaKept = [&](TEVFillCache& cache) {
            return paint(30, 30, [&](QPainter* p) { cache.draw(p, style, 3, 3, 24, 20); });
        };
        auto viaOwn = [&] {
            return paint(30, 30, [&](QPainter* p) {
                Impl::drawImageFill(p, style.imageName, style.imageDesc, 3, 3, 24, 20, &own);
            });
        };
        auto allAlike = [&](const QImage& expected) {
            for (int pass = 0; pass < 2; ++pass) {
                TEVFillCache fresh;
                if (viaHelper() != expected || viaKept(kept) != expected || viaOwn() != expected ||
                    viaKept(fresh) != expected)
                    return false;
            }
            return true;
        };

        QVERIFY(rm->loadThemeDir(first.path()));
        const QImage red = viaHelper();
        // Tiles of 4 x 4 from the centre's top-left at (5, 5).
        PIXELS_ARE(red, {3, 3, kWhite}, {5, 5, kBlack}, {6, 5, kRed}, {9, 9, kBlack}, {10, 10, kRed},
                   {1, 1, kBackground});
        QVERIFY(allAlike(red));

        QVERIFY(rm->loadThemeDir(second.path()));
        const QImage blue = viaHelper();
        PIXELS_ARE(blue, {5, 5, kRed}, {6, 5, kBlue}, {9, 9, kRed});
        QVERIFY(allAlike(blue));

        // Other margins cut another tile.
        style.imageDesc.left = style.imageDesc.top = 3;
        const QImage shifted = viaHelper();
        PIXELS_ARE(shifted, {6, 6, kBlue}, {3, 3, kWhite});
        QVERIFY(shifted != blue);
        QVERIFY(allAlike(shifted));

        // A name that finds nothing draws nothing, and is found once it exists.
        style.imageName = QStringLiteral("later.png");
        const QImage nothing = paint(30, 30, [](QPainter*) {});
        QVERIFY(allAlike(nothing));
        QVERIFY(QFile::copy(first.filePath(QStringLiteral("fill.png")), second.filePath(QStringLiteral("later.png"))));
        QVERIFY(rm->loadThemeDir(first.path()));
        QVERIFY(rm->loadThemeDir(second.path()));
        style.imageDesc.left = style.imageDesc.top = 2;
        QVERIFY(allAlike(red));
    }
};

TEV_TEST_MAIN(TestDrawing)
#include "tst_drawing.moc"
