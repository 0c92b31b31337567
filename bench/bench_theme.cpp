// A theme change over a window of 2,000 mixed controls (labels, push buttons, check boxes, radio buttons,
// switches, progress bars, line edits, sliders): loading a theme directory walks every registered window and
// has each framework widget re-read its theme element. Beside it, Qt's own change of look for 2,000 of the Qt
// widgets the controls derive from: what QApplication::setStyle does per widget (unpolish, polish, a style
// change event, a repaint request).
#include "TEVQCheckBox.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQLineEdit.h"
#include "TEVQProgressBar.h"
#include "TEVQPushButton.h"
#include "TEVQRadioButton.h"
#include "TEVQSlider.h"
#include "TEVQSwitch.h"
#include "TEVQWindow.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCount = 2000;
constexpr int kRuns = 9;

const char* const kStyleA = R"({"style": [
    {"type": 1, "name": "bg", "clr": "FFF4F6F8", "border": true, "borderSize": 1, "borderclr": "FFC8D0D8", "round": 4},
    {"type": 1, "name": "bgHot", "clr": "FFE4ECF4", "round": 4},
    {"type": 1, "name": "fore", "clr": "FF2F6FB0", "round": 4},
    {"type": 2, "name": "txt", "clr": "FF203040", "size": 13},
    {"type": 2, "name": "txtC", "clr": "FF203040", "size": 13, "hor": 1}]})";

const char* const kStyleB = R"({"style": [
    {"type": 1, "name": "bg", "clr": "FFFFFFFF", "border": true, "borderSize": 1, "borderclr": "FFA0A8B0", "round": 2},
    {"type": 1, "name": "bgHot", "clr": "FFF0F0F0", "round": 2},
    {"type": 1, "name": "fore", "clr": "FF3A8A3A", "round": 2},
    {"type": 2, "name": "txt", "clr": "FF101010", "size": 12},
    {"type": 2, "name": "txtC", "clr": "FF101010", "size": 12, "hor": 1}]})";

const char* const kTheme = R"({"elements": [{"child": [
    {"name": "qtlabel", "style": [["txt", 2, 0]]},
    {"name": "qtbutton", "style": [["bg", 1, 0], ["bgHot", 1, 1], ["txtC", 2, 4]]},
    {"name": "qtcheckbox", "style": [["txt", 2, 8]]},
    {"name": "qtradiobox", "style": [["txt", 2, 8]]},
    {"name": "qtswitch", "style": [["bg", 1, 0], ["fore", 1, 1]]},
    {"name": "qtprogressbar", "style": [["bg", 1, 0], ["fore", 1, 1], ["txtC", 2, 2]]},
    {"name": "qtdedit", "style": [["bg", 1, 0], ["txt", 2, 4]]},
    {"name": "qtslider", "style": [["bg", 1, 0], ["fore", 1, 1]]}]}]})";

bool writeTheme(const QString& dir, const char* style)
{
    QDir().mkpath(dir + QStringLiteral("/images"));
    QFile s(dir + QStringLiteral("/style.json"));
    QFile t(dir + QStringLiteral("/theme.json"));
    return s.open(QIODevice::WriteOnly) && s.write(style) > 0 && t.open(QIODevice::WriteOnly) && t.write(kTheme) > 0;
}

double medianMs(const std::function<void()>& run)
{
    std::vector<double> times;
    run(); // warm up
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QWidget* makeFramework(int i, QWidget* parent)
{
    switch (i % 8) {
    case 0: { auto* w = new TEVQLabel(parent); w->setText(QStringLiteral("Label %1").arg(i)); return w; }
    case 1: { auto* w = new TEVQPushButton(parent); w->setText(QStringLiteral("Button")); return w; }
    case 2: { auto* w = new TEVQCheckBox(parent); w->setText(QStringLiteral("Check")); return w; }
    case 3: { auto* w = new TEVQRadioButton(parent); w->setText(QStringLiteral("Radio")); return w; }
    case 4: return new TEVQSwitch(parent);
    case 5: { auto* w = new TEVQProgressBar(parent); w->setValue(40); return w; }
    case 6: { auto* w = new TEVQLineEdit(parent); w->setText(QStringLiteral("edit")); return w; }
    default: return new TEVQSlider(parent);
    }
}

QWidget* makeQt(int i, QWidget* parent)
{
    switch (i % 8) {
    case 0: return new QLabel(QStringLiteral("Label %1").arg(i), parent);
    case 1: return new QPushButton(QStringLiteral("Button"), parent);
    case 2: return new QCheckBox(QStringLiteral("Check"), parent);
    case 3: return new QRadioButton(QStringLiteral("Radio"), parent);
    case 4: return new QCheckBox(parent);
    case 5: { auto* w = new QProgressBar(parent); w->setValue(40); return w; }
    case 6: return new QLineEdit(QStringLiteral("edit"), parent);
    default: return new QSlider(Qt::Horizontal, parent);
    }
}

void place(QWidget* w, int i)
{
    w->setGeometry((i % 40) * 60, (i / 40) * 24, 56, 22);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TEVQtLib::init();
    QTemporaryDir tmp;
    const QString a = tmp.filePath(QStringLiteral("a")), b = tmp.filePath(QStringLiteral("b"));
    if (!writeTheme(a, kStyleA) || !writeTheme(b, kStyleB)) {
        std::fprintf(stderr, "cannot write the themes\n");
        return 1;
    }
    const QByteArray pa = a.toUtf8(), pb = b.toUtf8();

    // Qt's own change of look first, with only the Qt widgets alive (setStyle re-polishes every widget).
    double qt = 0;
    {
        QWidget plain;
        plain.resize(2400, 1300);
        for (int i = 0; i < kCount; ++i)
            place(makeQt(i, &plain), i);
        plain.show(); // polished: setStyle re-polishes only polished widgets
        QApplication::processEvents();
        // What QApplication::setStyle does for each widget once the event loop runs: unpolish with the old
        // style, polish with the new one, and a palette and style-change event.
        QStyle* styles[2] = {QStyleFactory::create(QStringLiteral("Windows")), QStyleFactory::create(QStringLiteral("Fusion"))};
        const QList<QWidget*> widgets = plain.findChildren<QWidget*>();
        int f = 0;
        qt = medianMs([&] {
            QStyle* from = styles[f];
            f = 1 - f;
            QStyle* to = styles[f];
            for (QWidget* w : widgets) {
                from->unpolish(w);
                to->polish(w);
                QEvent change(QEvent::StyleChange);
                QApplication::sendEvent(w, &change);
                w->update();
            }
        });
        delete styles[0];
        delete styles[1];
    }

    TEVQtLib::TEVQWindow window;
    window.resize(2400, 1300);
    auto* root = new TEVQContainer(&window);
    root->setGeometry(0, 0, 2400, 1300);
    for (int i = 0; i < kCount; ++i)
        place(makeFramework(i, root), i);
    TEVQtLib::tevLoadThemeDir(pa.constData());
    window.show();
    QApplication::processEvents();

    bool flip = false;
    const double load = medianMs([&] {
        flip = !flip;
        TEVQtLib::tevLoadThemeDir(flip ? pb.constData() : pa.constData());
    });
    const double notify = medianMs([] { TEVQtLib::tevNotifyThemeChange(); });

    std::printf("theme change over %d mixed controls (median of %d runs)\n", kCount, kRuns);
    std::printf("  tevLoadThemeDir (read the theme, walk the window)  %8.2f ms\n", load);
    std::printf("  tevNotifyThemeChange (walk the window only)        %8.2f ms\n", notify);
    std::printf("  reference: re-polishing %d Qt widgets          %8.2f ms\n", kCount, qt);
    std::printf("  ratio load / reference %.2f, walk / reference %.2f\n", load / qt, notify / qt);
    return 0;
}
