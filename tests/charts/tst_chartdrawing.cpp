// The charts' faster drawing against what plain QPainter calls draw: prepared circles, lines as segments and
// dots, bars from prepared pieces and cached labels must give the same picture, and fall back to the plain
// calls wherever the faster way would not.
#include "TevTest.h"

#include "TEVChartDrawing.h"
#include "TEVQLineChart.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <functional>

namespace {

struct Difference {
    int over48 = 0; // pixels whose largest channel difference exceeds 48
    int maximum = 0;
    int inked = 0; // pixels the reference changed from the background
};

QImage paint(const QSize& size, const std::function<void(QPainter&)>& fn, const QColor& background = Qt::white)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    fn(p);
    return image;
}

Difference compare(const QImage& reference, const QImage& other, const QColor& background = Qt::white)
{
    Difference d;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            const QRgb a = reference.pixel(x, y), b = other.pixel(x, y);
            const int diff = qMax(qMax(std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b))),
                                  std::abs(qBlue(a) - qBlue(b)));
            d.maximum = qMax(d.maximum, diff);
            d.over48 += diff > 48 ? 1 : 0;
            d.inked += a != background.rgb() ? 1 : 0;
        }
    }
    return d;
}

// Pixels of other that differ from reference by more than 48 while no pixel of reference within one pixel of
// them comes that close either: where the picture changed by more than a shift of at most one pixel.
int unmatched(const QImage& reference, const QImage& other)
{
    const auto diff = [](QRgb a, QRgb b) {
        return qMax(qMax(std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b))), std::abs(qBlue(a) - qBlue(b)));
    };
    int count = 0;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            const QRgb b = other.pixel(x, y);
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy)
                for (int dx = -1; dx <= 1 && !matched; ++dx)
                    matched = reference.valid(x + dx, y + dy) && diff(reference.pixel(x + dx, y + dy), b) <= 48;
            count += matched ? 0 : 1;
        }
    }
    return count;
}

// Noisy measurements across the image: many points per pixel column, sharp turns everywhere.
QVector<QPointF> noisyPoints(int n, double width, double height)
{
    QVector<QPointF> pts(n);
    quint32 state = 7u;
    for (int i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = (double(state >> 8) / double(1u << 24) - 0.5) * 18.0;
        pts[i] = QPointF(10 + (width - 20) * i / (n - 1),
                         height / 2 - (height / 3) * std::sin(6.28 * 2 * i / n) + noise);
    }
    return pts;
}

QString describe(const Difference& d)
{
    return QStringLiteral("%1 of %2 pixels differ by more than 48, largest %3").arg(d.over48).arg(d.inked).arg(d.maximum);
}

} // namespace

class tst_chartdrawing : public QObject
{
    Q_OBJECT

private slots:
    void linesAsSegmentsAndDots()
    {
        const QSize size(400, 200);
        const QPen pen(QColor(84, 112, 198), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        for (int n : {7, 300, 3000}) {
            const QVector<QPointF> pts = noisyPoints(n, size.width(), size.height());
            const QImage reference = paint(size, [&](QPainter& p) {
                p.setPen(pen);
                p.drawPolyline(pts.constData(), pts.size());
            });
            TEVChart::CircleSprites sprites;
            const QImage fast = paint(size, [&](QPainter& p) { TEVChart::drawRoundLine(p, pen, pts, &sprites); });
            const Difference d = compare(reference, fast);
            // Only the antialiased rim where two pieces overlap may differ, and by less than half the range.
            QVERIFY2(d.maximum < 128 && d.over48 * 50 < d.inked, qPrintable(describe(d)));
            QVERIFY(sprites.lookCount() == 1);
        }

        // A translucent colour, a scaled painter or no sprites: the polyline itself, pixel for pixel.
        const QVector<QPointF> pts = noisyPoints(500, size.width(), size.height());
        const auto same = [&](const QPen& linePen, const std::function<void(QPainter&)>& setUp) {
            const QImage reference = paint(size, [&](QPainter& p) {
                setUp(p);
                p.setPen(linePen);
                p.drawPolyline(pts.constData(), pts.size());
            });
            TEVChart::CircleSprites sprites;
            const QImage other = paint(size, [&](QPainter& p) {
                setUp(p);
                TEVChart::drawRoundLine(p, linePen, pts, &sprites);
            });
            return reference == other && sprites.lookCount() == 0;
        };
        QPen translucent(pen);
        translucent.setColor(QColor(84, 112, 198, 128));
        QVERIFY(same(translucent, [](QPainter&) {}));
        QVERIFY(same(pen, [](QPainter& p) { p.scale(0.5, 0.5); }));
        QVERIFY(same(pen, [](QPainter& p) { p.translate(0.5, 0); }));
        QVERIFY(same(pen, [](QPainter& p) { p.setOpacity(0.5); }));
        const QImage reference = paint(size, [&](QPainter& p) {
            p.setPen(pen);
            p.drawPolyline(pts.constData(), pts.size());
        });
        QCOMPARE(paint(size, [&](QPainter& p) { TEVChart::drawRoundLine(p, pen, pts, nullptr); }), reference);
        // One point or none draws nothing, as the polyline does.
        TEVChart::CircleSprites sprites;
        const QImage blank = paint(size, [](QPainter&) {});
        QCOMPARE(paint(size, [&](QPainter& p) { TEVChart::drawRoundLine(p, pen, {QPointF(20, 20)}, &sprites); }),
                 paint(size, [&](QPainter& p) {
                     const QPointF one(20, 20);
                     p.setPen(pen);
                     p.drawPolyline(&one, 1);
                 }));
        QCOMPARE(paint(size, [&](QPainter& p) { TEVChart::drawRoundLine(p, pen, {}, &sprites); }), blank);
    }

    void curvesAsFlattenedLines()
    {
        // The line chart's smoothed curves, sparse and dense, against the stroked path.
        const QSize size(400, 200);
        const QPen pen(QColor(250, 200, 88), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        for (int n : {5, 24, 400}) {
            const QPainterPath path = TEVQLineChartImpl::linePath(noisyPoints(n, size.width(), size.height()), true);
            const QImage reference = paint(size, [&](QPainter& p) {
                p.setPen(pen);
                p.drawPath(path);
            });
            TEVChart::CircleSprites sprites;
            const QImage fast = paint(size, [&](QPainter& p) { TEVChart::drawRoundCurve(p, pen, path, &sprites); });
            const Difference d = compare(reference, fast);
            if (n <= 24) {
                // Curves through a few points, as the dashboard draws them: only the rim, by a little.
                QVERIFY2(d.over48 == 0, qPrintable(describe(d)));
                QCOMPARE(unmatched(reference, fast), 0);
                QCOMPARE(unmatched(fast, reference), 0);
            } else {
                // Hundreds of tiny loops: where the curve crosses itself the two strokes' rims differ a little.
                QVERIFY2(d.maximum < 128 && d.over48 * 25 < d.inked, qPrintable(describe(d)));
                QVERIFY(unmatched(reference, fast) * 100 < d.inked);
                QVERIFY(unmatched(fast, reference) * 100 < d.inked);
            }
            QCOMPARE(paint(size, [&](QPainter& p) { TEVChart::drawRoundCurve(p, pen, path, nullptr); }), reference);
        }
    }

    void circlesAndBars()
    {
        const QSize size(120, 220);
        TEVChart::CircleSprites circles;
        TEVChart::BarSprites bars;
        const QColor fill(145, 204, 117), border = fill.darker(120);
        for (const QPointF& at : {QPointF(30, 30), QPointF(40.3, 50.62), QPointF(-0.4, 61.1), QPointF(77.77, 99.5)}) {
            const QImage reference = paint(size, [&](QPainter& p) {
                p.setPen(QPen(border, 1.8));
                p.setBrush(Qt::white);
                p.drawEllipse(at, 4.0, 4.0);
            });
            const QImage fast = paint(size, [&](QPainter& p) { circles.draw(p, at, 4.0, border, 1.8, Qt::white); });
            const Difference d = compare(reference, fast);
            QVERIFY2(d.maximum < 90 && d.over48 <= 6, qPrintable(describe(d)));
        }

        // Bars at fractional places, over a grid line, tall and short, thin and wide borders, under a translation.
        const QVector<QRectF> rects{{20.3, 20.6, 8, 180}, {41.75, 150.2, 12.5, 40.1}, {60, 30, 30, 9},
                                    {10.1, 100.9, 8, 1}, {80.45, 12.3, 14, 190.4}};
        for (double width : {1.0, 2.0}) {
            for (const QRectF& r : rects) {
                const auto grid = [](QPainter& p) {
                    p.setPen(QPen(QColor(229, 233, 242), 1.0));
                    p.drawLine(QPointF(0, 120), QPointF(120, 120));
                };
                const QImage reference = paint(size, [&](QPainter& p) {
                    p.translate(2, -3);
                    grid(p);
                    QPainterPath path;
                    path.addRoundedRect(r, 6, 6);
                    p.setPen(QPen(border, width));
                    p.setBrush(fill);
                    p.drawPath(path);
                });
                const QImage fast = paint(size, [&](QPainter& p) {
                    p.translate(2, -3);
                    grid(p);
                    bars.draw(p, r, 6, border, width, fill);
                });
                const Difference d = compare(reference, fast);
                QVERIFY2(d.maximum < 100 && d.over48 <= 12,
                         qPrintable(QStringLiteral("bar %1,%2 %3x%4: ").arg(r.x()).arg(r.y()).arg(r.width()).arg(
                                        r.height()) + describe(d)));
            }
        }
    }

    void cachedLabels()
    {
        const QSize size(300, 60);
        TEVChart::ChartTextCache texts;
        QFont font = QApplication::font();
        font.setPixelSize(11);
        const struct {
            QRectF box;
            int alignment;
            QString text;
        } cases[] = {
            {QRectF(4, 10, 46, 16), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("1234.57")},
            {QRectF(100.5, 30.25, 68, 18), Qt::AlignCenter, QStringLiteral("周一 Mon")},
            {QRectF(10, 30, 20, 18), Qt::AlignCenter, QStringLiteral("wider than its box")},
            {QRectF(150, 5, 140, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Inverter 3")},
            {QRectF(0, 0, 300, 60), Qt::AlignCenter, QStringLiteral("two\nlines")},
        };
        for (const auto& c : cases) {
            const QImage reference = paint(size, [&](QPainter& p) {
                p.setFont(font);
                p.setPen(Qt::black);
                p.drawText(c.box, c.alignment, c.text);
            });
            for (int pass = 0; pass < 2; ++pass) { // laid out, then from the cache
                const QImage cached = paint(size, [&](QPainter& p) {
                    p.setFont(font);
                    p.setPen(Qt::black);
                    texts.draw(p, c.box, c.alignment, c.text);
                });
                const Difference d = compare(reference, cached);
                QVERIFY2(d.over48 == 0, qPrintable(c.text + QStringLiteral(": ") + describe(d)));
            }
        }
        // Another font is another entry: the same text is not drawn in the old font.
        font.setPixelSize(20);
        const QImage big = paint(size, [&](QPainter& p) {
            p.setFont(font);
            texts.draw(p, QRectF(0, 0, 300, 60), Qt::AlignCenter, QStringLiteral("Inverter 3"));
        });
        const QImage reference = paint(size, [&](QPainter& p) {
            p.setFont(font);
            p.drawText(QRectF(0, 0, 300, 60), Qt::AlignCenter, QStringLiteral("Inverter 3"));
        });
        QCOMPARE(compare(reference, big).over48, 0);

        // A text wider than its box is drawn shortened with an ellipsis, as drawText draws the elided text,
        // instead of cut at the box's edges; one that fits is drawn whole; a repaint lays nothing out again.
        font.setPixelSize(11);
        const QRectF narrow(10, 20, 60, 18), wide(150, 20, 140, 18);
        const QString longText = QStringLiteral("Inverter north block 01");
        const QString shortened = QFontMetricsF(font).elidedText(longText, Qt::ElideRight, narrow.width());
        const auto drawn = [&](const QString& first, bool cached) {
            return paint(size, [&](QPainter& p) {
                p.setFont(font);
                if (cached) {
                    texts.drawElided(p, narrow, Qt::AlignCenter, first);
                    texts.drawElided(p, wide, Qt::AlignCenter, QStringLiteral("fits"));
                } else {
                    p.drawText(narrow, Qt::AlignCenter, first);
                    p.drawText(wide, Qt::AlignCenter, QStringLiteral("fits"));
                }
            });
        };
        const QImage expected = drawn(shortened, false);
        QVERIFY(compare(expected, drawn(longText, false)).over48 > 0);
        QCOMPARE(compare(expected, drawn(longText, true)).over48, 0);
        const int laidOut = texts.layoutCount();
        QCOMPARE(compare(expected, drawn(longText, true)).over48, 0);
        QCOMPARE(texts.layoutCount(), laidOut);
    }

    void reducedLineLooksLikeTheFullOne()
    {
        // 20,000 points over 380 pixel columns: the per-column reduction drawn fast against every point drawn.
        const QSize size(400, 200);
        const QVector<QPointF> pts = noisyPoints(20000, size.width(), size.height());
        const QPen pen(QColor(238, 102, 102), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        const QVector<QPointF> reduced = TEVQLineChartImpl::reduceToColumns(pts);
        QVERIFY(reduced.size() < pts.size() / 10);
        const QImage full = paint(size, [&](QPainter& p) {
            p.setPen(pen);
            p.drawPolyline(pts.constData(), pts.size());
        });
        TEVChart::CircleSprites sprites;
        const QImage fast = paint(size, [&](QPainter& p) { TEVChart::drawRoundLine(p, pen, reduced, &sprites); });
        tevtest::keepRender(full, QStringLiteral("line-20000-full.png"));
        tevtest::keepRender(fast, QStringLiteral("line-20000-reduced.png"));
        // The reduction keeps each column's extremes: its edges may move by a pixel; beyond that, only a few
        // pixels of the antialiased rim of a line this noisy (both ways).
        const int inked = compare(full, fast).inked;
        QVERIFY2(unmatched(full, fast) * 50 < inked, qPrintable(QString::number(unmatched(full, fast))));
        QVERIFY2(unmatched(fast, full) * 50 < inked, qPrintable(QString::number(unmatched(fast, full))));
        // The segments and dots themselves change next to nothing.
        const QImage plain = paint(size, [&](QPainter& p) {
            p.setPen(pen);
            p.drawPolyline(reduced.constData(), reduced.size());
        });
        const Difference d = compare(plain, fast);
        QVERIFY2(d.over48 * 200 < d.inked, qPrintable(describe(d)));
    }
};

TEV_TEST_MAIN(tst_chartdrawing)
#include "tst_chartdrawing.moc"
