// Painting 1,000 fill styles with rounded corners and borders into an image through the drawing helper,
// against painting the same rectangles with plain QPainter calls (rounded rectangle, pen, brush).
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cstdio>
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
    return 0;
}
