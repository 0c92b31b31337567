// Painting 500 switches, images, progress bars, LCD numbers and spin boxes into an image, each beside 500 of the
// Qt widget it derives from. The switch and the image derive from QWidget, which paints nothing: they are also
// shown beside the Qt control closest to them (a check box with its text; a label showing the same pixmap).
#include "BenchCommon.h"
#include "TEVQImage.h"
#include "TEVQLCDNumber.h"
#include "TEVQProgressBar.h"
#include "TEVQResourceManager.h"
#include "TEVQSpinBox.h"
#include "TEVQSwitch.h"
#include "CScrollBarStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLCDNumber>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QSpinBox>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kCount = 500; // of each kind
constexpr int kColumns = 20;
constexpr int kCellW = 110;
constexpr int kCellH = 34;
constexpr int kPasses = 15;

const char* const kStyle = R"({"style": [
    {"type": 1, "name": "track", "clr": "FFC8D0D8", "border": true, "borderSize": 1, "borderclr": "FF8899AA",
     "round": 12, "drawImg": false},
    {"type": 1, "name": "thumb", "clr": "FFFFFFFF", "border": true, "borderSize": 1, "borderclr": "FF5577AA",
     "round": 10, "drawImg": false},
    {"type": 1, "name": "bar", "clr": "FF3C8CDC", "round": 4, "drawImg": false},
    {"type": 1, "name": "back", "clr": "FFE8EEF4", "round": 4, "drawImg": false},
    {"type": 1, "name": "lcd", "clr": "FF142028", "drawImg": false},
    {"type": 2, "name": "txt", "clr": "FF203040", "size": 12, "hor": 1}]})";

const char* const kTheme = R"({"elements": [{"child": [
    {"name": "qtswitch", "attr": {"speed": 200}, "style": [["track", 1, 0], ["thumb", 1, 2], ["txt", 2, 6], ["txt", 2, 7]]},
    {"name": "qtprogressbar", "attr": {"showText": 1}, "style": [["back", 1, 0], ["bar", 1, 2], ["txt", 2, 4]]},
    {"name": "qtlcdnumber", "attr": {"color": "FF50DC78"}, "style": [["lcd", 1, 0]]}]}]})";


QRect cell(int i) { return benchsupport::gridCell(i, kColumns, kCellW, kCellH, 6); }

// Median processor milliseconds of painting the host and every child into an image of its size.
double paintMs(QWidget* host) { return benchsupport::paintMs(host, kPasses); }

// A host with kCount widgets made by make, each in its cell.
double hostPaintMs(const QSize& size, const std::function<QWidget*(int)>& make)
{
    QWidget host;
    host.resize(size);
    for (int i = 0; i < kCount; ++i) {
        QWidget* w = make(i);
        w->setParent(&host);
        w->setGeometry(cell(i));
    }
    return paintMs(&host);
}

void row(const char* ours, double a, const char* theirs, double b)
{
    std::printf("  %d %-15s %8.3f ms (%6.2f us each)   %d %-12s %8.3f ms   ratio %.2f\n", kCount, ours, a,
                a * 1000 / kCount, kCount, theirs, b, b > 0 ? a / b : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QTemporaryDir dir;
    QImage picture(24, 24, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(230, 140, 30));
    if (!dir.isValid() || !benchsupport::writeText(dir.filePath("style.json"), kStyle) ||
        !benchsupport::writeText(dir.filePath("theme.json"), kTheme) || !picture.save(dir.filePath("panel.png"))) {
        std::fprintf(stderr, "cannot write the benchmark theme\n");
        return 1;
    }
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    if (!rm->loadThemeDir(dir.path())) {
        std::fprintf(stderr, "cannot load the benchmark theme\n");
        return 1;
    }
    rm->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
    const QSize size(kColumns * kCellW, (kCount + kColumns - 1) / kColumns * kCellH);
    const QPixmap pixmap = QPixmap::fromImage(picture);

    const double switches = hostPaintMs(size, [](int i) {
        auto* s = new TEVQSwitch;
        s->setThumbSize(22, 22);
        s->setSwitchToLeft(i % 2 == 0);
        return s;
    });
    const double plainWidgets = hostPaintMs(size, [](int) { return new QWidget; });
    const double checkBoxes = hostPaintMs(size, [](int i) {
        auto* c = new QCheckBox(QStringLiteral("On"));
        c->setChecked(i % 2 == 0);
        return c;
    });
    const double images = hostPaintMs(size, [](int i) {
        auto* w = new TEVQImage;
        w->setImagePath(QStringLiteral("panel.png"));
        w->setStretchDraw(i % 2 == 0);
        return w;
    });
    const double pixmapLabels = hostPaintMs(size, [&pixmap](int i) {
        auto* l = new QLabel;
        l->setPixmap(pixmap);
        l->setScaledContents(i % 2 == 0);
        l->setAlignment(Qt::AlignCenter);
        return l;
    });
    const double bars = hostPaintMs(size, [](int i) {
        auto* b = new TEVQProgressBar;
        b->setValue(i % 101);
        return b;
    });
    const double plainBars = hostPaintMs(size, [](int i) {
        auto* b = new QProgressBar;
        b->setValue(i % 101);
        return b;
    });
    const double lcds = hostPaintMs(size, [](int i) {
        auto* l = new TEVQLCDNumber;
        l->display(i * 7);
        return l;
    });
    const double plainLcds = hostPaintMs(size, [](int i) {
        auto* l = new QLCDNumber;
        l->setFrameStyle(0);
        l->display(i * 7);
        return l;
    });
    const double spins = hostPaintMs(size, [](int i) {
        auto* s = new TEVQSpinBox;
        s->setValue(i % 100);
        return s;
    });
    const double plainSpins = hostPaintMs(size, [](int i) {
        auto* s = new QSpinBox;
        s->setValue(i % 100);
        return s;
    });

    std::printf("themed controls painted into a %dx%d image, median of %d passes\n", size.width(), size.height(),
                kPasses);
    row("TEVQSwitch:", switches, "QWidget:", plainWidgets);
    row("TEVQSwitch:", switches, "QCheckBox:", checkBoxes);
    row("TEVQImage:", images, "QWidget:", plainWidgets);
    row("TEVQImage:", images, "QLabel+pixmap:", pixmapLabels);
    row("TEVQProgressBar:", bars, "QProgressBar:", plainBars);
    row("TEVQLCDNumber:", lcds, "QLCDNumber:", plainLcds);
    row("TEVQSpinBox:", spins, "QSpinBox:", plainSpins);
    return 0;
}
