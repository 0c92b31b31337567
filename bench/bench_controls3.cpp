// Painting 500 themed check boxes, radio buttons and combo boxes into an image, each against the same number of
// the Qt widgets they derive from (QCheckBox, QRadioButton, QComboBox) painted by the Fusion style; and 500 radio
// buttons on rounded gradient backgrounds against the same plain radio buttons.
#include "BenchCommon.h"
#include "CScrollBarStyle.h"
#include "TEVQCheckBox.h"
#include "TEVQComboBox.h"
#include "TEVQRadioButton.h"
#include "TEVQResourceManager.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QRadioButton>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kCount = 500; // of each kind
constexpr int kColumns = 20;
constexpr int kCellW = 110;
constexpr int kCellH = 26;
constexpr int kPasses = 15;

const char* const kStyle = R"({"style": [
    {"type": 1, "name": "hot", "clr": "FFD0E4F8", "round": 4, "drawImg": false},
    {"type": 1, "name": "box", "clr": "FFFFFFFF", "border": true, "borderSize": 1, "borderclr": "FF8899AA",
     "drawImg": false},
    {"type": 1, "name": "drop", "clr": "FFE8EEF4", "drawImg": false},
    {"type": 2, "name": "txt", "clr": "FF203040", "size": 13, "hor": 0}]})";

const char* const kTheme = R"({"elements": [{"child": [
    {"name": "qtcheckbox", "attr": {}, "style": [["hot", 1, 1], ["hot", 1, 5], ["txt", 2, 8], ["txt", 2, 9]]},
    {"name": "qtradiobox", "attr": {"iconX": 2}, "style": [["hot", 1, 1], ["txt", 2, 8]]},
    {"name": "qtcombobox", "attr": {"btnIcon": "IDB_CHECKED"},
     "style": [["box", 1, 0], ["drop", 1, 4], ["txt", 2, 8]]}]}]})";


QRect cell(int i) { return benchsupport::gridCell(i, kColumns, kCellW, kCellH, 4); }

// Median processor milliseconds of painting the host and every child into an image of its size.
double paintMs(QWidget* host) { return benchsupport::paintMs(host, kPasses); }

template <class Make> void build(QWidget& host, Make make)
{
    for (int i = 0; i < kCount; ++i) {
        QWidget* w = make(i);
        w->setParent(&host);
        w->setGeometry(cell(i));
    }
}

QString text(const char* what, int i) { return QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(i); }

// The radio button of row i: the framework's radio icons, its text, checked every other row.
TEVQRadioButton* choice(TEVQRadioButton* r, int i)
{
    r->setIcon(RadioIconUnchecked, QStringLiteral("IDB_UNSELECT"));
    r->setIcon(RadioIconChecked, QStringLiteral("IDB_SELECTED"));
    r->setText(text("Choice", i));
    r->setAutoExclusive(false);
    r->setChecked(i % 2);
    return r;
}

void report(const char* themed, double tev, const char* plain, double qt)
{
    std::printf("  %d %-16s %8.3f ms (%6.2f us each)   %d %-13s %8.3f ms   ratio %.2f\n", kCount, themed, tev,
                tev * 1000 / kCount, kCount, plain, qt, qt > 0 ? tev / qt : 0.0);
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
    rm->initDefaultImageRes();
    if (!rm->loadThemeDir(dir.path())) {
        std::fprintf(stderr, "cannot load the benchmark theme\n");
        return 1;
    }
    rm->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
    const QSize size(kColumns * kCellW, (kCount + kColumns - 1) / kColumns * kCellH);
    auto host = [&size] {
        auto* w = new QWidget;
        w->resize(size);
        return w;
    };

    QWidget* boxes = host();
    build(*boxes, [](int i) {
        auto* b = new TEVQCheckBox;
        b->setText(text("Option", i));
        b->setChecked(i % 2);
        return b;
    });
    QWidget* plainBoxes = host();
    build(*plainBoxes, [](int i) {
        auto* b = new QCheckBox(text("Option", i));
        b->setChecked(i % 2);
        return b;
    });
    QWidget* radios = host();
    build(*radios, [](int i) {
        auto* r = new TEVQRadioButton;
        return choice(r, i);
    });
    QWidget* plainRadios = host();
    build(*plainRadios, [](int i) {
        auto* r = new QRadioButton(text("Choice", i));
        r->setAutoExclusive(false);
        r->setChecked(i % 2);
        return r;
    });
    QWidget* roundRadios = host();
    build(*roundRadios, [](int i) {
        auto* r = new TEVQRadioButton;
        FillStyle back;
        back.fillRes.fillColor = QColor(232, 240, 250);
        back.fillRes.gradientEndColor = QColor(200, 220, 244);
        back.fillRes.gradient = true;
        back.fillRes.radius = 6;
        back.fillRes.drawBorder = true;
        back.fillRes.borderSize = 1;
        back.fillRes.borderColor = QColor(136, 153, 170);
        r->setBackground(CtrlState(4), back);
        back.fillRes.fillColor = QColor(200, 228, 250);
        for (int s = 0; s < 4; ++s)
            r->setSelectedBackground(CtrlState(s), back);
        return choice(r, i);
    });
    QWidget* combos = host();
    build(*combos, [](int i) {
        auto* c = new TEVQComboBox;
        c->addItems({text("Plant", i), QStringLiteral("Group"), QStringLiteral("Skid")});
        return c;
    });
    QWidget* plainCombos = host();
    build(*plainCombos, [](int i) {
        auto* c = new QComboBox;
        c->addItems({text("Plant", i), QStringLiteral("Group"), QStringLiteral("Skid")});
        return c;
    });

    const double tevBoxes = paintMs(boxes), qtBoxes = paintMs(plainBoxes);
    const double tevRadios = paintMs(radios), qtRadios = paintMs(plainRadios);
    const double tevRoundRadios = paintMs(roundRadios);
    const double tevCombos = paintMs(combos), qtCombos = paintMs(plainCombos);

    std::printf("themed controls painted into a %dx%d image, median of %d passes\n", size.width(), size.height(),
                kPasses);
    report("TEVQCheckBox:", tevBoxes, "QCheckBox:", qtBoxes);
    report("TEVQRadioButton:", tevRadios, "QRadioButton:", qtRadios);
    report("TEVQComboBox:", tevCombos, "QComboBox:", qtCombos);
    report("rounded radios:", tevRoundRadios, "QRadioButton:", qtRadios);
    for (QWidget* w : {boxes, plainBoxes, radios, plainRadios, roundRadios, combos, plainCombos})
        delete w;
    return 0;
}
