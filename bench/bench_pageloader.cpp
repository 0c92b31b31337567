// Loading a page: a generated page of 500 elements (containers, labels, buttons and sliders, nested five deep)
// read from its JSON file into a frameless window by the page loader, side by side with Qt's own .ui loader
// (QUiLoader) building the same tree of plain Qt widgets (QWidget with box layouts, QLabel, QPushButton, QSlider)
// from a .ui file into a plain window; once into windows already shown, once into windows shown after the load
// (off screen: the offscreen platform still paints into its backing store). Printed per side: the median time
// of the load call itself, and of the load plus what it takes until the tree is laid out and drawn once, with
// the show when the window was not shown yet; then Qt / ours. For that second figure both sides run event-loop
// turns until the tree's root widget has been drawn: the page's controls are shown and laid out by the load and
// drawn in the first turn, while Qt's layouts show the widgets they manage from the event loop and draw them
// some turns later; a fixed single turn would time Qt's tree without its drawing and ours with it.
// A fourth run builds the same tree of plain Qt widgets with hand-written code (no file at all, Qt's layouts
// place it): what any loader's page costs at the least, beside what the page loader adds.
// The four runs (the page reopened, the page parsed every time, Qt's, the code) take their rounds in turn, and each
// figure is the GUI thread's processor time: on a machine busy with other work, wall-clock rounds of one run
// would be slowed where another's are not, while all the work timed here is done on that one thread.
#include "BenchCommon.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQWindow.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QBoxLayout>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QUiLoader>
#include <QWidget>

#include <algorithm>
#include <ctime>
#include <functional>
#include <cstdio>
#include <vector>

using namespace TEVQtLib;
using benchsupport::median;
using benchsupport::threadMs;

namespace {

constexpr int kElements = 500;
constexpr int kRounds = 25;
constexpr int kWarmUp = 3;

double msSince(double start) { return threadMs() - start; }

// The tree: a column (level 1) of 9 rows (level 2), each with 3 columns (level 3), each with 2 rows (level 4),
// which share the remaining elements as leaves (level 5), cycling label, button, slider.
struct Shape {
    int level2 = 9;
    int level3 = 3;
    int level4 = 2;
    int containers() const { return 1 + level2 + level2 * level3 + level2 * level3 * level4; }
    int leaves() const { return kElements - containers(); }
    int lowest() const { return level2 * level3 * level4; }
};

// An element of the given name with ratio 1 in its parent and both size policies 0.
Json::Value elementJson(const std::string& name)
{
    Json::Value e(Json::objectValue);
    e["name"] = name;
    Json::Value layout(Json::objectValue);
    layout["type"] = 0;
    layout["ratio"] = 1;
    e["layout"] = layout;
    e["widthPolicy"] = 0;
    e["heightPolicy"] = 0;
    return e;
}

Json::Value leafJson(int i)
{
    Json::Value e = elementJson("leaf" + std::to_string(i));
    Json::Value attr(Json::objectValue);
    switch (i % 3) {
    case 0:
        e["type"] = "qtlabel";
        attr["text"] = "Label " + std::to_string(i);
        break;
    case 1:
        e["type"] = "qtbutton";
        attr["text"] = "Button " + std::to_string(i);
        break;
    default:
        e["type"] = "qtslider";
        attr["min"] = 0;
        attr["max"] = 100;
        attr["val"] = i % 100;
        break;
    }
    e["attr"] = attr;
    return e;
}

Json::Value containerJson(const std::string& name, int childLayout)
{
    Json::Value e = elementJson(name);
    e["type"] = "qtcontainer";
    Json::Value attr(Json::objectValue);
    attr["childLayout"] = childLayout;
    attr["space"] = 2;
    e["attr"] = attr;
    return e;
}

QByteArray pageJson(const Shape& s)
{
    Json::Value root = containerJson("root", 1);
    root.removeMember("layout");
    int leaf = 0;
    int lowest = 0;
    for (int a = 0; a < s.level2; ++a) {
        Json::Value c2 = containerJson("r" + std::to_string(a), 0);
        for (int b = 0; b < s.level3; ++b) {
            Json::Value c3 = containerJson("c" + std::to_string(a) + "_" + std::to_string(b), 1);
            for (int c = 0; c < s.level4; ++c, ++lowest) {
                Json::Value c4 = containerJson("r" + std::to_string(a) + "_" + std::to_string(b) + "_" + std::to_string(c), 0);
                // Leaves shared out as evenly as they go.
                const int count = s.leaves() / s.lowest() + (lowest < s.leaves() % s.lowest() ? 1 : 0);
                for (int k = 0; k < count; ++k)
                    c4["child"].append(leafJson(leaf++));
                c3["child"].append(c4);
            }
            c2["child"].append(c3);
        }
        root["child"].append(c2);
    }
    Json::Value doc(Json::objectValue);
    doc["w"] = 1200;
    doc["h"] = 900;
    doc["elements"].append(root);
    return QByteArray::fromStdString(json::writeStyled(doc));
}

QByteArray uiLeaf(int i)
{
    const QByteArray n = QByteArray::number(i);
    switch (i % 3) {
    case 0:
        return "<widget class=\"QLabel\" name=\"leaf" + n + "\"><property name=\"text\"><string>Label " + n +
               "</string></property></widget>";
    case 1:
        return "<widget class=\"QPushButton\" name=\"leaf" + n + "\"><property name=\"text\"><string>Button " + n +
               "</string></property></widget>";
    default:
        return "<widget class=\"QSlider\" name=\"leaf" + n +
               "\"><property name=\"orientation\"><enum>Qt::Horizontal</enum></property>"
               "<property name=\"maximum\"><number>100</number></property>"
               "<property name=\"value\"><number>" + QByteArray::number(i % 100) + "</number></property></widget>";
    }
}

QByteArray uiBox(bool horizontal, const QByteArray& name, const QList<QByteArray>& items)
{
    QByteArray out = "<widget class=\"QWidget\" name=\"" + name + "\"><layout class=\"" +
                     (horizontal ? "QHBoxLayout" : "QVBoxLayout") + "\" name=\"l_" + name +
                     "\"><property name=\"spacing\"><number>2</number></property>"
                     "<property name=\"leftMargin\"><number>0</number></property>"
                     "<property name=\"topMargin\"><number>0</number></property>"
                     "<property name=\"rightMargin\"><number>0</number></property>"
                     "<property name=\"bottomMargin\"><number>0</number></property>";
    for (const QByteArray& item : items)
        out += "<item>" + item + "</item>";
    return out + "</layout></widget>";
}

QByteArray pageUi(const Shape& s)
{
    int leaf = 0;
    int lowest = 0;
    QList<QByteArray> rows;
    for (int a = 0; a < s.level2; ++a) {
        QList<QByteArray> cols;
        for (int b = 0; b < s.level3; ++b) {
            QList<QByteArray> inner;
            for (int c = 0; c < s.level4; ++c, ++lowest) {
                const int count = s.leaves() / s.lowest() + (lowest < s.leaves() % s.lowest() ? 1 : 0);
                QList<QByteArray> leaves;
                for (int k = 0; k < count; ++k)
                    leaves << uiLeaf(leaf++);
                inner << uiBox(true, "r" + QByteArray::number(a) + "_" + QByteArray::number(b) + "_" + QByteArray::number(c), leaves);
            }
            cols << uiBox(false, "c" + QByteArray::number(a) + "_" + QByteArray::number(b), inner);
        }
        rows << uiBox(true, "r" + QByteArray::number(a), cols);
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ui version=\"4.0\"><class>Page</class>" +
           uiBox(false, "root", rows) + "<resources/><connections/></ui>";
}

// The tree of pageUi built by code: the same widgets, names, texts, values and box layouts.
QWidget* buildByCode(const Shape& s, QWidget* parent)
{
    auto box = [](bool horizontal, const QString& name, QWidget* parent) {
        auto* w = new QWidget(parent);
        w->setObjectName(name);
        QBoxLayout* l = horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(w)) : new QVBoxLayout(w);
        l->setSpacing(2);
        l->setContentsMargins(0, 0, 0, 0);
        return w;
    };
    QWidget* root = box(false, QStringLiteral("root"), parent);
    int leaf = 0;
    int lowest = 0;
    for (int a = 0; a < s.level2; ++a) {
        QWidget* row = box(true, QStringLiteral("r%1").arg(a), root);
        root->layout()->addWidget(row);
        for (int b = 0; b < s.level3; ++b) {
            QWidget* col = box(false, QStringLiteral("c%1_%2").arg(a).arg(b), row);
            row->layout()->addWidget(col);
            for (int c = 0; c < s.level4; ++c, ++lowest) {
                QWidget* inner = box(true, QStringLiteral("r%1_%2_%3").arg(a).arg(b).arg(c), col);
                col->layout()->addWidget(inner);
                const int count = s.leaves() / s.lowest() + (lowest < s.leaves() % s.lowest() ? 1 : 0);
                for (int k = 0; k < count; ++k, ++leaf) {
                    QWidget* w = nullptr;
                    switch (leaf % 3) {
                    case 0:
                        w = new QLabel(QStringLiteral("Label %1").arg(leaf), inner);
                        break;
                    case 1:
                        w = new QPushButton(QStringLiteral("Button %1").arg(leaf), inner);
                        break;
                    default: {
                        auto* slider = new QSlider(Qt::Horizontal, inner);
                        slider->setMaximum(100);
                        slider->setValue(leaf % 100);
                        w = slider;
                        break;
                    }
                    }
                    w->setObjectName(QStringLiteral("leaf%1").arg(leaf));
                    inner->layout()->addWidget(w);
                }
            }
        }
    }
    return root;
}

int countWidgets(QWidget* root)
{
    return root ? 1 + root->findChildren<QWidget*>().size() : 0;
}

// Notes the first paint event of the widget it watches.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget* w) : m_w(w)
    {
        if (m_w)
            m_w->installEventFilter(this);
    }
    ~PaintWatch() override
    {
        if (m_w)
            m_w->removeEventFilter(this);
    }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }

private:
    QPointer<QWidget> m_w;
};

// The event-loop turns after a load, until root has been drawn (see the top of the file); at most a few.
void settle(QWidget* root)
{
    PaintWatch watch(root);
    for (int turn = 0; turn < 8 && !watch.painted; ++turn)
        QCoreApplication::processEvents();
}

void showOffscreen(QWidget& w)
{
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QCoreApplication::processEvents();
}

struct Figures {
    double load = 0;
    double settled = 0;
    int widgets = 0;
};

// One run: a window and the load that builds a page into it (given the round, it gives the page's root).
struct Run {
    QWidget* window = nullptr;
    std::function<void()> prime; // untimed, before each timed load (may be empty)
    std::function<QWidget*(int)> load;
    std::vector<double> loaded, settled;
    int widgets = 0;
};

// kWarmUp + kRounds rounds, each loading a page with every run in turn: the load is timed, and the load until
// the page is drawn; then the page is deleted. A host not shown is shown after each load and hidden again
// (hostShown: it is on screen throughout).
std::vector<Figures> timeRounds(std::vector<Run>& runs, bool hostShown)
{
    if (hostShown) {
        for (Run& r : runs)
            showOffscreen(*r.window);
    }
    for (int round = 0; round < kRounds + kWarmUp; ++round) {
        for (Run& r : runs) {
            if (r.prime) {
                r.prime();
                QCoreApplication::processEvents();
            }
            const double start = threadMs();
            QWidget* root = r.load(round);
            const double l = msSince(start);
            if (!hostShown)
                r.window->show();
            settle(root);
            const double settled = msSince(start);
            r.widgets = countWidgets(root);
            delete root;
            if (!hostShown)
                r.window->hide();
            QCoreApplication::processEvents();
            if (round >= kWarmUp) {
                r.loaded.push_back(l);
                r.settled.push_back(settled);
            }
        }
    }
    std::vector<Figures> out;
    for (Run& r : runs)
        out.push_back(Figures{median(r.loaded), median(r.settled), r.widgets});
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    init();

    const Shape shape;
    QTemporaryDir dir;
    const QString pagePath = dir.filePath(QStringLiteral("page.json"));
    // The same page with other bytes (one and two more blanks at the end): loading the two in turn makes the
    // loader parse every time instead of reusing the tree of the document it read last.
    const QString otherPaths[2] = {dir.filePath(QStringLiteral("page2.json")), dir.filePath(QStringLiteral("page3.json"))};
    const QString uiPath = dir.filePath(QStringLiteral("page.ui"));
    {
        QFile f(pagePath);
        f.open(QIODevice::WriteOnly);
        f.write(pageJson(shape));
        for (int i = 0; i < 2; ++i) {
            QFile g(otherPaths[i]);
            g.open(QIODevice::WriteOnly);
            g.write(pageJson(shape) + QByteArray(i + 1, ' '));
        }
    }
    {
        QFile f(uiPath);
        f.open(QIODevice::WriteOnly);
        f.write(pageUi(shape));
    }

    // hostShown: the windows are on screen while the pages are loaded into them; otherwise a page is loaded
    // into a window not shown yet, which is shown afterwards (counted in the second figure).
    auto runAll = [&](bool hostShown) {
        TEVQWindow ours, cold;
        for (TEVQWindow* w : {&ours, &cold}) {
            w->setAttribute(Qt::WA_DontShowOnScreen);
            w->resize(1200, 900);
        }
        QUiLoader loader;
        QWidget qtWindow;
        qtWindow.setAttribute(Qt::WA_DontShowOnScreen);
        auto* layout = new QVBoxLayout(&qtWindow);
        layout->setContentsMargins(0, 0, 0, 0);
        qtWindow.resize(1200, 900);
        QWidget codeWindow;
        codeWindow.setAttribute(Qt::WA_DontShowOnScreen);
        auto* codeLayout = new QVBoxLayout(&codeWindow);
        codeLayout->setContentsMargins(0, 0, 0, 0);
        codeWindow.resize(1200, 900);
        std::vector<Run> runs(4);
        // The page opened again: the loader keeps the tree of the document it read last, which the other runs
        // replace, so it is read once untimed before each timed load.
        runs[0].window = &ours;
        runs[0].prime = [&] { delete tevCreatePageByFileName(&ours, pagePath); };
        runs[0].load = [&](int) -> QWidget* { return tevCreatePageByFileName(&ours, pagePath); };
        // The same page with other bytes every round: parsed every time.
        runs[1].window = &cold;
        runs[1].load = [&](int round) -> QWidget* { return tevCreatePageByFileName(&cold, otherPaths[round % 2]); };
        runs[2].window = &qtWindow;
        runs[2].load = [&](int) -> QWidget* {
            // Opened inside the timed part, as the page loader opens its file.
            QFile file(uiPath);
            file.open(QIODevice::ReadOnly);
            QWidget* root = loader.load(&file, &qtWindow);
            if (root)
                layout->addWidget(root);
            return root;
        };
        runs[3].window = &codeWindow;
        runs[3].load = [&](int) -> QWidget* {
            QWidget* root = buildByCode(shape, &codeWindow);
            codeLayout->addWidget(root);
            return root;
        };
        return timeRounds(runs, hostShown);
    };

    std::printf("Page of %d elements (%d containers, %d leaves), five levels deep; median of %d rounds (processor time, ms).\n",
                kElements, shape.containers(), shape.leaves(), kRounds);
    for (bool shown : {true, false}) {
        const std::vector<Figures> figures = runAll(shown);
        const Figures& ours = figures[0];
        const Figures& cold = figures[1];
        const Figures& qt = figures[2];
        const Figures& code = figures[3];
        std::printf("%s\n", shown ? "Into a window on screen:" : "Into a window not shown yet, then shown:");
        std::printf("  widgets built: page loader %d, QUiLoader %d, code %d\n", ours.widgets, qt.widgets, code.widgets);
        std::printf("  %-34s %10s %22s\n", "", "load (ms)", shown ? "load + layout + draw" : "+ show + layout + draw");
        std::printf("  %-34s %10.2f %22.2f\n", "page loader (JSON, TEVQWindow)", ours.load, ours.settled);
        std::printf("  %-34s %10.2f %22.2f\n", "page loader, parsing every time", cold.load, cold.settled);
        std::printf("  %-34s %10.2f %22.2f\n", "QUiLoader (.ui, plain widgets)", qt.load, qt.settled);
        std::printf("  %-34s %10.2f %22.2f\n", "plain Qt widgets built by code", code.load, code.settled);
        std::printf("  %-34s %10.2f %22.2f\n", "ratio QUiLoader / page loader", qt.load / ours.load,
                    qt.settled / ours.settled);
        std::printf("  %-34s %10.2f %22.2f\n", "ratio, parsing every time", qt.load / cold.load,
                    qt.settled / cold.settled);
        std::printf("  %-34s %10.2f %22.2f\n", "ratio QUiLoader / code", qt.load / code.load,
                    qt.settled / code.settled);
    }
    shutdown();
    return 0;
}
