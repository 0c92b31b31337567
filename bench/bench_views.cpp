// Scrolling 10,000 rows from top to bottom, a viewport height at a time, painting every step into an image:
// the themed list (TEVQList) and the template list view (a container with a label and a button drawn for every
// row through the display callback), each beside a QListWidget of the same rows. Then repaints: of the list, a
// menu and a menu bar beside Qt's, and of a list whose rows show icons given by image name, with the pictures
// kept between paints beside the same paint finding every row's picture by name again.
#include "ScrollTimes.h"
#include "CScrollBarStyle.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQList.h"
#include "TEVQListView.h"
#include "TEVQMenu.h"
#include "TEVQMenuBar.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQtLib.h"
#include "TEVRowIconCache.h"
#include "TEVJson.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kRows = 10000;
constexpr int kRowHeight = 24;
constexpr int kPasses = 3;

const char* const kStyle = R"({"style": [
    {"type": 1, "name": "bg", "clr": "FFF4F6F8"}, {"type": 1, "name": "row", "clr": "FFFFFFFF"},
    {"type": 1, "name": "hot", "clr": "FFD0E4F8"}, {"type": 1, "name": "sel", "clr": "FF2878DC"},
    {"type": 1, "name": "btn", "clr": "FFE8EEF4", "border": true, "borderSize": 1, "borderclr": "FF8899AA", "round": 3},
    {"type": 2, "name": "txt", "clr": "FF203040", "size": 13}]})";

QStringList rows()
{
    QStringList list;
    list.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        list << QStringLiteral("Inverter %1 - %2 kW").arg(i).arg(i % 97 * 1.5);
    return list;
}

// Median milliseconds of one scroll from top to bottom, painting the view after every step.
double scrollMs(QAbstractItemView* view)
{
    std::vector<double> times = benchsupport::scrollPassesMs(view, kPasses);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void showRow(const TEVQListView*, const QWidget* t, const QModelIndex& index)
{
    static_cast<TEVQLabel*>(t->children().value(0))->setText(index.data().toString());
}

void report(const char* name, double ours, double reference)
{
    std::printf("%-34s %9.1f ms   QListWidget %9.1f ms   ratio %.2f\n", name, ours, reference, ours / reference);
}

void reportRepaint(const char* name, double ours, const char* refName, double reference)
{
    std::printf("%-34s %9.1f us   %-11s %9.1f us   ratio %.2f\n", name, ours, refName, reference,
                ours / reference);
}

// Median microseconds of one repaint of widget into an image, before each of which `before` runs.
template <class Before>
double repaintAfterUs(QWidget* widget, Before before, int paints = 400)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    widget->render(&image);
    std::vector<double> times;
    for (int pass = 0; pass < 5; ++pass) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < paints; ++i) {
            before();
            widget->render(&image);
        }
        times.push_back(timer.nsecsElapsed() / 1e3 / paints);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    init();
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    Json::Value styles;
    json::parse(std::string(kStyle), styles);
    rm->readStyle(rm->defaultStore(), json::get(styles, "style"));
    auto fill = [&](const char* name) {
        FillStyle f;
        rm->getFillStyle(QString::fromLatin1(name), f);
        return f;
    };
    TextStyleDesc text;
    rm->getTextStyle(QStringLiteral("txt"), text);
    const QStringList data = rows();
    const QSize size(360, 600);

    QListWidget reference;
    reference.resize(size);
    reference.setUniformItemSizes(true);
    reference.addItems(data);
    for (int i = 0; i < kRows; ++i)
        reference.item(i)->setSizeHint(QSize(0, kRowHeight));
    reference.show();

    TEVQList list;
    list.resize(size);
    list.setBackground(CommonCtrlStateNormal, fill("bg"));
    list.setItemBackground(CtrlStateNormal, fill("row"));
    list.setItemBackground(CtrlStateHot, fill("hot"));
    list.setItemBackground(CtrlStatePressed, fill("sel"));
    for (int s = 0; s < 4; ++s)
        list.setItemTextStyle(CtrlState(s), text);
    list.setItemHeight(kRowHeight);
    list.setUniformItemSizes(true);
    list.addItems(data);
    list.show();

    TEVQListView view;
    view.resize(size);
    view.setBackground(CommonCtrlStateNormal, fill("bg"));
    view.setItemBackground(CtrlStateNormal, fill("row"));
    view.setItemBackground(CtrlStateHot, fill("hot"));
    view.setItemBackground(CtrlStatePressed, fill("sel"));
    view.setItemHeight(kRowHeight);
    view.setSpacing(0);
    view.setUniformItemSizes(true);
    auto* row = new TEVQContainer(&view);
    row->setChildLayout(TEVQContainer::NoUse);
    auto* label = new TEVQLabel(row);
    label->setGeometry(6, 2, 240, 20);
    label->setTextStyle(CtrlState(4), text);
    auto* button = new TEVQPushButton(row);
    button->setGeometry(280, 3, 60, 18);
    button->setBackground(CtrlState(4), fill("btn"));
    button->setText(QStringLiteral("Open"));
    view.setItemTemplate(row);
    view.setItemDisplayCallBack(&showRow);
    QStringListModel model(data);
    view.setModel(&model);
    view.show();
    QApplication::processEvents();

    std::printf("Scrolling %d rows of %d px from top to bottom in a %dx%d view, painted every page "
                "(median of %d passes):\n", kRows, kRowHeight, size.width(), size.height(), kPasses);
    const double referenceMs = scrollMs(&reference);
    report("TEVQList", scrollMs(&list), referenceMs);
    report("TEVQListView (label + button)", scrollMs(&view), referenceMs);
    // Repainting a menu of 20 items (an icon column, the icon path set on every other item) and a menu bar
    // of 8 menus, beside a QMenu and a QMenuBar of the same items.
    TEVQMenu menu;
    QMenu menuRef;
    menu.setIconOffset(24);
    menu.setBackground(fill("bg"));
    menu.setItemStyle(CtrlStateNormal, fill("row"));
    menu.setItemStyle(CtrlStateHot, fill("hot"));
    for (int s = 0; s < 4; ++s)
        menu.setItemTextStyle(CtrlState(s), text);
    for (int i = 0; i < 20; ++i) {
        const QString itemText = QStringLiteral("Export inverter report %1").arg(i);
        if (i % 2)
            menu.addIconAction(QStringLiteral("menu_icon_%1.svg").arg(i), itemText);
        else
            menu.addAction(itemText);
        menuRef.addAction(itemText);
    }
    menu.resize(static_cast<QWidget&>(menu).sizeHint());
    menuRef.resize(menu.size());
    TEVQMenuBar menuBar;
    QMenuBar menuBarRef;
    for (int s = 0; s < 4; ++s)
        menuBar.setTextStyle(CtrlState(s), text);
    menuBar.setBackground(CommonCtrlStateNormal, fill("bg"));
    for (int i = 0; i < 8; ++i) {
        const QString title = QStringLiteral("Menu %1").arg(i);
        menuBar.addMenu(new QMenu(title, &menuBar));
        menuBarRef.addMenu(title);
    }
    menuBar.resize(720, 28);
    menuBarRef.resize(720, 28);
    menuBar.show();
    menuBarRef.show();
    QApplication::processEvents();
    std::printf("Scrolling a row at a time, per paint (median of 3 x 200 paints):\n");
    reportRepaint("TEVQList", benchsupport::rowStepUs(&list, kRowHeight), "QListWidget",
                  benchsupport::rowStepUs(&reference, kRowHeight));
    std::printf("Repainting with nothing changed (median of 5 x 400 paints):\n");
    using benchsupport::repaintUs;
    reportRepaint("TEVQList", repaintUs(&list, 50), "QListWidget", repaintUs(&reference, 50));
    reportRepaint("TEVQMenu, 20 items", repaintUs(&menu), "QMenu", repaintUs(&menuRef));
    reportRepaint("TEVQMenuBar, 8 menus", repaintUs(&menuBar), "QMenuBar", repaintUs(&menuBarRef));

    // A list whose rows show one of four icons given by image name (three pictures and an SVG from a theme
    // folder): the pictures kept per row, beside the same paint with them dropped before every paint, so that
    // every row finds its picture through the resource manager by name, as each paint did before.
    QTemporaryDir icons;
    for (int i = 0; i < 3; ++i) {
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(QColor::fromHsv(i * 100, 200, 220));
        picture.save(icons.filePath(QStringLiteral("row_icon_%1.png").arg(i)));
    }
    QFile theme(icons.filePath(QStringLiteral("style.json")));
    if (theme.open(QIODevice::WriteOnly))
        theme.write(kStyle);
    theme.close();
    QFile svg(icons.filePath(QStringLiteral("row_icon_3.svg")));
    if (svg.open(QIODevice::WriteOnly))
        svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
                  "<circle cx='8' cy='8' r='6' fill='#2878dc'/></svg>");
    svg.close();
    if (!rm->loadThemeDir(icons.path()))
        std::printf("the icons' theme folder did not load\n");
    rm->readStyle(rm->defaultStore(), json::get(styles, "style"));
    TEVQList iconList;
    iconList.resize(size);
    iconList.setBackground(CommonCtrlStateNormal, fill("bg"));
    iconList.setItemBackground(CtrlState(0), fill("row"));
    for (int s = 0; s < 4; ++s)
        iconList.setItemTextStyle(CtrlState(s), text);
    iconList.setItemHeight(kRowHeight);
    iconList.setUniformItemSizes(true);
    iconList.addItems(data);
    for (int i = 0; i < kRows; ++i)
        iconList.item(i)->setData(Qt::DecorationRole, i % 4 == 3 ? QStringLiteral("row_icon_3.svg")
                                                                 : QStringLiteral("row_icon_%1.png").arg(i % 4));
    iconList.show();
    QApplication::processEvents();
    // Taken in turns, the best of three each: the two differ by less than the machine's noise otherwise.
    double keptIcons = 1e9, foundIcons = 1e9;
    for (int round = 0; round < 3; ++round) {
        keptIcons = std::min(keptIcons, repaintAfterUs(&iconList, [] {}, 200));
        foundIcons = std::min(foundIcons,
                              repaintAfterUs(&iconList, [&iconList] { iconList.painter()->rowIcons.clear(); }, 200));
    }
    reportRepaint("TEVQList, 25 rows with icons", keptIcons, "by name", foundIcons);
    // The icon step alone, for 25 rows of the three pictures (an SVG is rendered at every paint either way, which
    // would hide the rest): drawn into their places through the kept pictures, beside
    // TEVQWidgetBaseImpl::drawImage finding each by name.
    {
        QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::white);
        TEVRowIconCache kept(128);
        const IconStyleDesc placement;
        QStringList names;
        for (int row = 0; row < 25; ++row)
            names << QStringLiteral("row_icon_%1.png").arg(row % 3);
        const auto drawIcons = [&](bool byName) {
            QPainter p(&canvas);
            for (int row = 0; row < 25; ++row) {
                const QString& name = names.at(row);
                const QRect place(0, row * kRowHeight, 20, kRowHeight);
                if (byName)
                    TEVQWidgetBaseImpl::drawImage(&p, name, placement, place, false);
                else
                    kept.draw(&p, quint64(row), name, placement, place);
            }
        };
        const auto bestUs = [&](bool byName) {
            double best = 1e9;
            for (int pass = 0; pass < 7; ++pass) {
                QElapsedTimer timer;
                timer.start();
                for (int i = 0; i < 400; ++i)
                    drawIcons(byName);
                best = std::min(best, timer.nsecsElapsed() / 1e3 / 400);
            }
            return best;
        };
        drawIcons(false);
        const double keptUs = bestUs(false);
        const double byNameUs = bestUs(true);
        reportRepaint("25 row pictures alone", keptUs, "by name", byNameUs);
        // The same for 25 rows of an SVG icon: the kept picture beside the SVG rendered into every row.
        for (int row = 0; row < 25; ++row)
            names[row] = QStringLiteral("row_icon_3.svg");
        drawIcons(false);
        const double keptSvgUs = bestUs(false);
        const double renderedSvgUs = bestUs(true);
        reportRepaint("25 row SVG icons alone", keptSvgUs, "rendered", renderedSvgUs);
    }
    return 0;
}
