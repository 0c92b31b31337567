// Painting 500 themed line edits, text edits, rich text labels and scroll views into an image, each beside 500
// of the Qt widget it derives from painted by the Fusion style (same texts, same sizes), with the ratio.
#include "BenchCommon.h"
#include "CScrollBarStyle.h"
#include "TEVQContainer.h"
#include "TEVQLabelEx.h"
#include "TEVQLineEdit.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollView.h"
#include "TEVQTextEdit.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kCount = 500;
constexpr int kColumns = 20;
constexpr int kCellW = 130;
constexpr int kCellH = 56;
constexpr int kPasses = 21;

const char* const kStyle = R"({"style": [
    {"type": 1, "name": "editN", "clr": "FFFFFFFF", "border": true, "borderSize": 1, "borderclr": "FF8899AA",
     "round": 3, "drawImg": false},
    {"type": 1, "name": "editF", "clr": "FFFFFFFF", "border": true, "borderSize": 1, "borderclr": "FF3377CC",
     "round": 3, "drawImg": false},
    {"type": 1, "name": "viewBack", "clr": "FFF2F4F7", "drawImg": false},
    {"type": 2, "name": "editTxt", "clr": "FF203040", "size": 13},
    {"type": 2, "name": "tipTxt", "clr": "FF9AA4AE", "size": 13}]})";

const char* const kTheme = R"({"elements": [{"child": [
    {"name": "qtdedit", "attr": {"leftMargin": 6}, "style": [["editN", 1, 0], ["editF", 1, 2], ["editTxt", 2, 4], ["tipTxt", 2, 9]]},
    {"name": "qtlabelex", "attr": {}, "style": [["editTxt", 2, 0]]},
    {"name": "qtscrollview", "attr": {}, "style": [["viewBack", 1, 0]]}]}]})";


QRect cell(int i) { return benchsupport::gridCell(i, kColumns, kCellW, kCellH, 6); }

// Median milliseconds of painting each host with its children into an image; the passes of the two alternate,
// so that a busy machine slows both alike.
std::pair<double, double> paintMs(QWidget* a, QWidget* b)
{
    std::vector<double> times[2];
    QImage image(a->size(), QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < kPasses + 1; ++pass) {
        for (int k = 0; k < 2; ++k) {
            const double ms = benchsupport::paintOnceMs(k == 0 ? a : b, image);
            if (pass > 0) // the first pass warms caches
                times[k].push_back(ms);
        }
    }
    return {benchsupport::median(times[0]), benchsupport::median(times[1])};
}

void fill(QWidget& host, const std::function<QWidget*(int)>& make)
{
    host.resize(kColumns * kCellW, (kCount + kColumns - 1) / kColumns * kCellH);
    for (int i = 0; i < kCount; ++i) {
        QWidget* w = make(i);
        w->setParent(&host);
        w->setGeometry(cell(i));
    }
}

QString text(int i) { return i % 2 ? QStringLiteral("Inverter %1 online").arg(i) : QStringLiteral("逆变器 %1 在线").arg(i); }

QString html(int i)
{
    return QStringLiteral("<b>INV-%1</b> <span style='color:#2a7'>online</span><br>%2 kW").arg(i).arg(i * 1.5);
}

void report(const char* name, const char* qtName, QWidget* tevHost, QWidget* qtHost)
{
    const auto [tev, qt] = paintMs(tevHost, qtHost);
    std::printf("  %d %-14s %8.3f ms (%6.2f us each)   %-12s %8.3f ms   ratio %.2f\n", kCount, name, tev,
                tev * 1000 / kCount, qtName, qt, qt > 0 ? tev / qt : 0.0);
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
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    QApplication::setFont(font);

    QWidget edits, plainEdits, texts, plainTexts, labels, plainLabels, views, plainViews;
    fill(edits, [](int i) {
        auto* e = new TEVQLineEdit;
        if (i % 3)
            e->setText(text(i));
        else
            e->setPlaceholderText(QStringLiteral("Setpoint 设定值"));
        return e;
    });
    fill(plainEdits, [](int i) {
        auto* e = new QLineEdit;
        if (i % 3)
            e->setText(text(i));
        else
            e->setPlaceholderText(QStringLiteral("Setpoint 设定值"));
        return e;
    });
    auto makeText = [](QTextEdit* t, int i) {
        t->setPlainText(text(i) + QStringLiteral("\nline two\nline three\nline four"));
        return t;
    };
    fill(texts, [&](int i) {
        auto* t = new TEVQTextEdit;
        t->setThemeName(QStringLiteral("qtdedit"));
        return makeText(t, i);
    });
    fill(plainTexts, [&](int i) { return makeText(new QTextEdit, i); });
    fill(labels, [](int i) {
        auto* l = new TEVQLabelEx;
        l->setHtmlContent(html(i));
        return l;
    });
    fill(plainLabels, [](int i) { return new QLabel(html(i)); });
    fill(views, [](int) {
        auto* v = new TEVQScrollView;
        auto* content = new TEVQContainer(v);
        content->resize(200, 200);
        v->painter()->createComplete();
        return v;
    });
    fill(plainViews, [](int) {
        auto* v = new QScrollArea;
        auto* content = new QWidget;
        content->resize(200, 200);
        v->setWidget(content);
        return v;
    });
    // Shown (off screen), so that the scroll areas lay out their bars as on a screen.
    for (QWidget* host : {&edits, &plainEdits, &texts, &plainTexts, &labels, &plainLabels, &views, &plainViews}) {
        host->show();
        QApplication::processEvents();
    }

    std::printf("controls painted into a %dx%d image, median of %d passes\n", edits.width(), edits.height(), kPasses);
    report("TEVQLineEdit", "QLineEdit", &edits, &plainEdits);
    report("TEVQTextEdit", "QTextEdit", &texts, &plainTexts);
    report("TEVQLabelEx", "QLabel", &labels, &plainLabels);
    report("TEVQScrollView", "QScrollArea", &views, &plainViews);
    return 0;
}
