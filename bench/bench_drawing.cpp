// Painting 1,000 fill styles with rounded corners and borders into an image through the drawing helper,
// against painting the same rectangles with plain QPainter calls (rounded rectangle, pen, brush). Then 1,000
// vertical texts drawn through their text caches (and through the helper without a cache, which turns a new
// picture each time), and 1,000 nine-slice image fills with a tiled centre (through the shared cache, their
// own caches, and their own caches dropped before each paint, which finds the image by name and copies the tile
// each time), each against plain QPainter calls drawing the same.
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kCount = 1000;
constexpr int kPasses = 15;

struct Item {
    FillStyle style;
    QRect rect;
};

std::vector<Item> makeItems()
{
    std::vector<Item> items;
    items.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        Item item;
        FillRes& res = item.style.fillRes;
        res.fillColor = QColor::fromHsv((i * 37) % 360, 160, 230);
        res.gradientEndColor = QColor::fromHsv((i * 37 + 90) % 360, 160, 200);
        res.gradient = i % 4 == 0;
        res.radius = 3 + i % 8;
        res.drawBorder = true;
        res.borderSize = 1 + i % 3;
        res.borderColor = QColor::fromHsv((i * 53) % 360, 200, 120);
        res.roundBottomLeft = i % 5 != 0;
        res.bottomBorder = i % 7 != 0; // a few styles draw single sides
        item.rect = QRect((i % 40) * 30, (i / 40) * 24, 28, 22);
        items.push_back(item);
    }
    return items;
}

void paintWithHelper(QPainter& p, const std::vector<Item>& items)
{
    for (const Item& item : items)
        TEVQWidgetBaseImpl::drawFillStyle(&p, item.style, item.rect);
}

void paintPlain(QPainter& p, const std::vector<Item>& items)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const Item& item : items) {
        const FillRes& res = item.style.fillRes;
        const double half = res.borderSize * 0.5;
        const QRectF r = QRectF(item.rect).adjusted(half, half, -half, -half);
        if (res.gradient) {
            QLinearGradient g(r.topLeft(), r.topRight());
            g.setColorAt(0, res.fillColor);
            g.setColorAt(1, res.gradientEndColor);
            p.setBrush(g);
        } else {
            p.setBrush(res.fillColor);
        }
        p.setPen(QPen(QBrush(res.borderColor), res.borderSize));
        p.drawRoundedRect(r, res.radius, res.radius);
    }
}

template <class Fn>
double medianMs(Fn fn)
{
    std::vector<double> times;
    QImage image(1200, 600, QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < kPasses; ++pass) {
        image.fill(Qt::white);
        QPainter p(&image);
        QElapsedTimer timer;
        timer.start();
        fn(p);
        p.end();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// ---- vertical texts ----

QRect textRect(int i) { return QRect((i % 60) * 20, (i / 60) * 36, 18, 34); }

QString vText(int i) { return QStringLiteral("PV %1").arg(i); }

TextStyleDesc verticalStyle()
{
    TextStyleDesc style;
    style.color = QColor(30, 40, 60);
    style.pixelSize = 12;
    style.family = QStringLiteral("DejaVu Sans");
    style.horAlign = 1;
    style.verAlign = 1;
    return style;
}

void paintVerticalCached(QPainter& p, std::vector<TEVTextCache>& caches, const TextStyleDesc& style)
{
    for (int i = 0; i < kCount; ++i) {
        const QRect r = textRect(i);
        caches[size_t(i)].draw(&p, vText(i), style, r.x(), r.y(), r.width(), r.height(), false);
    }
}

void paintVerticalPlain(QPainter& p, const QFont& font, const TextStyleDesc& style)
{
    p.setFont(font);
    p.setPen(style.color);
    for (int i = 0; i < kCount; ++i) {
        const QRect r = textRect(i);
        p.save();
        p.translate(r.x() + r.width(), r.y());
        p.rotate(90);
        p.drawText(QRect(0, 0, r.height(), r.width()), Qt::AlignCenter, vText(i));
        p.restore();
    }
}

// ---- image fills ----

QRect fillRect(int i) { return QRect((i % 40) * 30, (i / 40) * 24, 28, 22); }

void paintImageFills(QPainter& p, const FillStyle& style)
{
    for (int i = 0; i < kCount; ++i)
        TEVQWidgetBaseImpl::drawFillStyle(&p, style, fillRect(i));
}

// The same nine slices drawn straight from an image at hand.
void paintImageFillsCached(QPainter& p, std::vector<TEVFillCache>& caches, const FillStyle& style, bool drop)
{
    for (int i = 0; i < kCount; ++i) {
        if (drop)
            caches[size_t(i)].clear();
        caches[size_t(i)].draw(&p, style, fillRect(i));
    }
}

// The same nine slices drawn straight from an image at hand, the centre tiled by a brush made once.
void paintImagesPlain(QPainter& p, const QImage& image, const QBrush& centre, int border)
{
    const int iw = image.width(), ih = image.height(), b = border;
    QBrush tiles = centre;
    for (int i = 0; i < kCount; ++i) {
        const QRect r = fillRect(i);
        const int x = r.x(), y = r.y(), w = r.width(), h = r.height();
        p.drawImage(QRect(x + b, y, w - 2 * b, b), image, QRect(b, 0, iw - 2 * b, b));
        p.drawImage(QRect(x + b, y + h - b, w - 2 * b, b), image, QRect(b, ih - b, iw - 2 * b, b));
        p.drawImage(QRect(x, y + b, b, h - 2 * b), image, QRect(0, b, b, ih - 2 * b));
        p.drawImage(QRect(x + w - b, y + b, b, h - 2 * b), image, QRect(iw - b, b, b, ih - 2 * b));
        p.drawImage(QRect(x, y, b, b), image, QRect(0, 0, b, b));
        p.drawImage(QRect(x + w - b, y, b, b), image, QRect(iw - b, 0, b, b));
        p.drawImage(QRect(x, y + h - b, b, b), image, QRect(0, ih - b, b, b));
        p.drawImage(QRect(x + w - b, y + h - b, b, b), image, QRect(iw - b, ih - b, b, b));
        tiles.setTransform(QTransform::fromTranslate(x + b, y + b));
        p.fillRect(QRect(x + b, y + b, w - 2 * b, h - 2 * b), tiles);
    }
}

struct Row {
    const char* name;
    double ms;
};

// Each row beside the last one (the reference), with the ratio.
void printRows(const char* title, std::initializer_list<Row> rows)
{
    std::printf("%s, median of %d passes\n", title, kPasses);
    const double reference = (rows.end() - 1)->ms;
    for (const Row& r : rows)
        std::printf("  %-34s %8.3f ms per pass (%6.2f us each)  ratio %5.2f\n", r.name, r.ms, r.ms * 1000 / kCount,
                    reference > 0 ? r.ms / reference : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::vector<Item> items = makeItems();
    // One warm-up pass each.
    medianMs([&](QPainter& p) { paintWithHelper(p, items); });
    const double helper = medianMs([&](QPainter& p) { paintWithHelper(p, items); });
    const double plain = medianMs([&](QPainter& p) { paintPlain(p, items); });
    std::printf("fill styles: %d rounded, bordered rectangles into a 1200x600 image, median of %d passes\n", kCount,
                kPasses);
    std::printf("  drawFillStyle:       %8.3f ms per pass (%.2f us per fill)\n", helper, helper * 1000 / kCount);
    std::printf("  plain QPainter calls: %8.3f ms per pass (%.2f us per fill)\n", plain, plain * 1000 / kCount);
    std::printf("  ratio helper / plain: %8.2f\n", plain > 0 ? helper / plain : 0.0);

    {
        const TextStyleDesc style = verticalStyle();
        std::vector<TEVTextCache> caches(kCount);
        medianMs([&](QPainter& p) { paintVerticalCached(p, caches, style); });
        const double cached = medianMs([&](QPainter& p) { paintVerticalCached(p, caches, style); });
        const double uncached = medianMs([&](QPainter& p) {
            for (int i = 0; i < kCount; ++i) {
                const QRect r = textRect(i);
                TEVQWidgetBaseImpl::drawTextAt(&p, vText(i), style, r.x(), r.y(), r.width(), r.height(), false);
            }
        });
        const QFont font = TEVQWidgetBaseImpl::styleFont(style);
        const double qt = medianMs([&](QPainter& p) { paintVerticalPlain(p, font, style); });
        printRows("vertical texts: 1000 turned labels 18x34",
                  {{"TEVTextCache::draw", cached}, {"drawTextAt without a cache", uncached},
                   {"plain QPainter rotate + drawText", qt}});
    }

    {
        QTemporaryDir dir;
        QImage tile(24, 24, QImage::Format_ARGB32);
        tile.fill(QColor(200, 210, 230));
        for (int y = 4; y < 20; ++y)
            for (int x = 4; x < 20; ++x)
                tile.setPixelColor(x, y, QColor::fromHsv((x * 20 + y * 7) % 360, 120, 230));
        // Found by its full path.
        const QString path = dir.filePath(QStringLiteral("tile.png"));
        if (!dir.isValid() || !tile.save(path)) {
            std::fprintf(stderr, "cannot write the benchmark image\n");
            return 1;
        }
        FillStyle style;
        style.valid = true;
        style.useFillStyle = false;
        style.imageName = path;
        style.imageDesc.left = style.imageDesc.top = style.imageDesc.right = style.imageDesc.bottom = 4;
        style.imageDesc.repeatCenter = true;
        std::vector<TEVFillCache> caches(kCount);
        medianMs([&](QPainter& p) { paintImageFills(p, style); });
        const double shared = medianMs([&](QPainter& p) { paintImageFills(p, style); });
        const double own = medianMs([&](QPainter& p) { paintImageFillsCached(p, caches, style, false); });
        const double dropped = medianMs([&](QPainter& p) { paintImageFillsCached(p, caches, style, true); });
        const QBrush centre(tile.copy(4, 4, 16, 16));
        const double qt = medianMs([&](QPainter& p) { paintImagesPlain(p, tile, centre, 4); });
        printRows("image fills: 1000 nine-slice 28x22, tiled centre",
                  {{"drawFillStyle (shared cache)", shared}, {"TEVFillCache", own},
                   {"TEVFillCache dropped each paint", dropped}, {"plain QPainter drawImage", qt}});
    }
    return 0;
}
