// Painting 500 themed labels, 500 themed push buttons and 500 themed sliders into an image, against the same
// number of plain QLabel, QPushButton and QSlider widgets painted by the Fusion style. Also the cost of creating
// the themed controls (each one applies its theme element when it is built).
#include "BenchCommon.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQSlider.h"
#include "CScrollBarStyle.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSlider>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kCount = 500;  // of each kind
constexpr int kColumns = 20;
constexpr int kCellW = 110;
constexpr int kCellH = 26;
constexpr int kPasses = 15;

const char* const kStyle = R"({"style": [
    {"type": 1, "name": "btnN", "clr": "FFE8EEF4", "border": true, "borderSize": 1, "borderclr": "FF8899AA",
     "round": 4, "drawImg": false},
    {"type": 1, "name": "btnH", "clr": "FFD0E4F8", "border": true, "borderSize": 1, "borderclr": "FF5577AA",
     "round": 4, "drawImg": false},
    {"type": 2, "name": "txt", "clr": "FF203040", "size": 13, "hor": 0},
    {"type": 2, "name": "btnTxt", "clr": "FF102030", "size": 13, "hor": 1}]})";

const char* const kTheme = R"({"elements": [{"child": [
    {"name": "qtlabel", "attr": {}, "style": [["txt", 2, 0]]},
    {"name": "qtbutton", "attr": {}, "style": [["btnN", 1, 0], ["btnH", 1, 1], ["btnTxt", 2, 4]]}]}]})";


QRect cell(int i) { return benchsupport::gridCell(i, kColumns, kCellW, kCellH, 4); }

// Median processor milliseconds of painting the host and every child into an image of its size.
double paintMs(QWidget* host) { return benchsupport::paintMs(host, kPasses); }

template <class Make>
double buildMs(QWidget& host, Make make)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kCount; ++i) {
        QWidget* w = make(i);
        w->setParent(&host);
        w->setGeometry(cell(i));
    }
    return timer.nsecsElapsed() / 1e6;
}

// A few controls side by side, for looking at: labels (one elided), buttons in three states, sliders and a
// scroll bar.
QImage showcase()
{
    QWidget host;
    host.resize(460, 170);
    auto fill = [](const QColor& c, int radius = 0, const QColor& border = QColor()) {
        FillStyle f;
        f.fillRes.fillColor = c;
        f.fillRes.radius = radius;
        if (border.isValid()) {
            f.fillRes.drawBorder = true;
            f.fillRes.borderSize = 1;
            f.fillRes.borderColor = border;
        }
        return f;
    };
    auto* title = new TEVQLabel(&host);
    title->setGeometry(10, 8, 200, 22);
    title->setText(QStringLiteral("Inverter 1.01"));
    auto* cut = new TEVQLabel(&host);
    cut->setText(QStringLiteral("A long status text that is elided to the label"));
    cut->setGeometry(10, 32, 150, 22);
    QResizeEvent resize(cut->size(), QSize());
    QApplication::sendEvent(cut, &resize);
    const char* names[3] = {"Normal", "Hot", "Disabled"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new TEVQPushButton(&host);
        b->setText(QString::fromLatin1(names[i]));
        b->setGeometry(10 + i * 100, 62, 90, 28);
        if (i == 1) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(b, &enter);
        }
        if (i == 2) {
            b->setBackground(CtrlStateDisable, fill(QColor(225, 225, 225), 4, QColor(190, 190, 190)));
            b->setEnabled(false);
        }
    }
    auto* slider = new TEVQSlider(&host);
    slider->setGeometry(10, 105, 290, 30);
    slider->setBackgroundStyle(CommonCtrlStateNormal, fill(QColor(200, 208, 216), 5));
    slider->setForegroundStyle(CommonCtrlStateNormal, fill(QColor(40, 120, 220), 5));
    slider->setThumbStyle(CtrlStateNormal, fill(Qt::white, 10, QColor(40, 120, 220)));
    slider->setValue(60);
    auto* vertical = new TEVQSlider(&host, Qt::Vertical);
    vertical->setGeometry(320, 10, 30, 150);
    vertical->setBackgroundStyle(CommonCtrlStateNormal, fill(QColor(200, 208, 216), 5));
    vertical->setForegroundStyle(CommonCtrlStateNormal, fill(QColor(230, 140, 30), 5));
    vertical->setThumbStyle(CtrlStateNormal, fill(Qt::white, 10, QColor(230, 140, 30)));
    vertical->setValue(35);
    auto* bar = new TEVQScrollBar(Qt::Vertical, &host);
    bar->setGeometry(380, 10, 16, 150);
    bar->setRange(0, 100);
    bar->setPageStep(30);
    bar->setValue(40);
    bar->setScrollbarBackground(CommonCtrlStateNormal, fill(QColor(235, 238, 242)));
    bar->setScrollbarUpButton(CtrlState(4), fill(QColor(180, 190, 200)));
    bar->setScrollbarDownButton(CtrlState(4), fill(QColor(180, 190, 200)));
    bar->setScrollbarThumb(CtrlState(4), fill(QColor(120, 135, 150), 6));
    bar->show();
    QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(250, 251, 252));
    host.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QTemporaryDir dir;
    if (!dir.isValid() || !benchsupport::writeText(dir.filePath("style.json"), kStyle) ||
        !benchsupport::writeText(dir.filePath("theme.json"), kTheme)) {
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

    QWidget labels;
    labels.resize(size);
    const double buildLabels = buildMs(labels, [](int i) {
        auto* l = new TEVQLabel;
        l->setText(QStringLiteral("Label %1").arg(i));
        return l;
    });
    QWidget buttons;
    buttons.resize(size);
    const double buildButtons = buildMs(buttons, [](int i) {
        auto* b = new TEVQPushButton;
        b->setText(QStringLiteral("Button %1").arg(i));
        return b;
    });
    // Sliders with a rounded channel and thumb, as the showcase below paints them.
    auto roundFill = [](const QColor& c, int radius, const QColor& border = QColor()) {
        FillStyle f;
        f.fillRes.fillColor = c;
        f.fillRes.radius = radius;
        if (border.isValid()) {
            f.fillRes.drawBorder = true;
            f.fillRes.borderSize = 1;
            f.fillRes.borderColor = border;
        }
        return f;
    };
    QWidget sliders;
    sliders.resize(size);
    buildMs(sliders, [&](int i) {
        auto* s = new TEVQSlider;
        s->setBackgroundStyle(CommonCtrlStateNormal, roundFill(QColor(200, 208, 216), 5));
        s->setForegroundStyle(CommonCtrlStateNormal, roundFill(QColor(40, 120, 220), 5));
        s->setThumbStyle(CtrlStateNormal, roundFill(Qt::white, 10, QColor(40, 120, 220)));
        s->setThumbSize(18, 18);
        s->setValue(i % 100);
        return s;
    });
    QWidget plainSliders;
    plainSliders.resize(size);
    buildMs(plainSliders, [](int i) {
        auto* s = new QSlider(Qt::Horizontal);
        s->setRange(0, 100);
        s->setValue(i % 100);
        return s;
    });
    QWidget plainLabels;
    plainLabels.resize(size);
    buildMs(plainLabels, [](int i) { return new QLabel(QStringLiteral("Label %1").arg(i)); });
    QWidget plainButtons;
    plainButtons.resize(size);
    buildMs(plainButtons, [](int i) { return new QPushButton(QStringLiteral("Button %1").arg(i)); });

    const double tevLabels = paintMs(&labels);
    const double tevButtons = paintMs(&buttons);
    const double qtLabels = paintMs(&plainLabels);
    const double qtButtons = paintMs(&plainButtons);
    const double tevSliders = paintMs(&sliders);
    const double qtSliders = paintMs(&plainSliders);

    // bench_controls <file.png> also writes a picture of a few controls.
    if (argc > 1 && !showcase().save(QString::fromLocal8Bit(argv[1])))
        std::fprintf(stderr, "cannot write %s\n", argv[1]);

    std::printf("themed controls painted into a %dx%d image, median of %d passes\n", size.width(), size.height(),
                kPasses);
    std::printf("  %d TEVQLabel:       %8.3f ms (%6.2f us each)   plain QLabel:      %8.3f ms   ratio %.2f\n", kCount,
                tevLabels, tevLabels * 1000 / kCount, qtLabels, qtLabels > 0 ? tevLabels / qtLabels : 0.0);
    std::printf("  %d TEVQPushButton:  %8.3f ms (%6.2f us each)   plain QPushButton: %8.3f ms   ratio %.2f\n",
                kCount, tevButtons, tevButtons * 1000 / kCount, qtButtons,
                qtButtons > 0 ? tevButtons / qtButtons : 0.0);
    std::printf("  %d TEVQSlider:      %8.3f ms (%6.2f us each)   plain QSlider:     %8.3f ms   ratio %.2f\n", kCount,
                tevSliders, tevSliders * 1000 / kCount, qtSliders, qtSliders > 0 ? tevSliders / qtSliders : 0.0);
    std::printf("  labels and buttons together: %8.3f ms per frame\n", tevLabels + tevButtons);
    std::printf("creating the themed controls (theme element applied to each):\n");
    std::printf("  %d TEVQLabel:      %8.3f ms (%6.2f us each)\n", kCount, buildLabels, buildLabels * 1000 / kCount);
    std::printf("  %d TEVQPushButton: %8.3f ms (%6.2f us each)\n", kCount, buildButtons,
                buildButtons * 1000 / kCount);
    return 0;
}
