// Feeds bytes as element JSON to the item views that pages hold: the table ("qtdatagrid"), the tree ("qttree"),
// the list ("qtlist") and the template list view ("qtlistview"). Each view reads the element, gets rows made
// from the element's "rows" (and "n" generated rows), is painted, scrolled, hovered, pressed and dragged over,
// painted again and writes its element; the written element read into a fresh view must write the same element
// again. The element is then built by the page loader as each of the four types (its "child" entries become
// the view's children, a container among them the list view's template), given the same rows and painted.
//
// Members read here, beside the views' own: "rows" (array; a row is a text or an array of cells; a cell is a
// text or {"t": text, "i": decoration image, "img": cell image, "c": check state, "a": alignment, "tip": tool
// tip, "kids": child rows of a tree}), "n" (generated rows), "cols", "cw" and "ch" (the view's size), "sx" and
// "sy" (scroll positions), "mx", "my", "dx", "dy" (pointer at press and at drag end), "sel" (a selected row),
// "colw" (a table column given a column widget), "cut" (rows removed after the first press), "rw" and "rh" (a
// size the view is given before a second press), "off" (the view disabled for its last paints). Sizes and
// counts are capped so that each input stays quick.
// Named styles "vBg", "vRow", "vHot", "vSel", "vImg", "vRound" (fills) and "vText", "vBig", "vTiny", "vMid"
// (texts) are filed in the default store for the "style" entries to find.
#include "FuzzSupport.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQLabelEx.h"
#include "TEVQList.h"
#include "TEVQListView.h"
#include "TEVQPageLoader.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQTableView.h"
#include "TEVQTreeView.h"
#include "TEVQtLib.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QStandardItemModel>

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <type_traits>

using namespace TEVQtLib;

namespace {

void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

const char* const kStyles = R"([
  {"type": 1, "name": "vBg", "clr": "FF202020"}, {"type": 1, "name": "vRow", "clr": "FF305070"},
  {"type": 1, "name": "vHot", "clr": "FFE06010", "border": true, "borderSize": 2, "borderclr": "FF000000"},
  {"type": 1, "name": "vSel", "clr": "8010A040", "round": 6},
  {"type": 1, "name": "vImg", "drawImg": true, "img": "IDB_CHECKED", "margin": [3, 3, 3, 3]},
  {"type": 1, "name": "vRound", "clr": "FF405060", "roundTopLeft": 9, "roundBottomRight": 40},
  {"type": 2, "name": "vText", "clr": "FFFFFFFF", "size": 12},
  {"type": 2, "name": "vBig", "clr": "FF000000", "size": 40, "bold": true, "hor": 1},
  {"type": 2, "name": "vTiny", "clr": "FF00FF00", "size": 1, "singleline": false},
  {"type": 2, "name": "vMid", "clr": "FF0000FF", "size": 14, "hor": 2, "ver": 2, "italic": true}])";

QWidget* root()
{
    static QWidget* parent = [] {
        QWidget* w = fuzzsupport::root("fuzz_views");
        qInstallMessageHandler(&quiet);
        init();
        Json::Value styles;
        if (json::parse(std::string(kStyles), styles)) {
            TEVQResourceManager* rm = TEVQResourceManager::getInstance();
            rm->readStyle(rm->defaultStore(), styles);
        }
        return w;
    }();
    return parent;
}

constexpr int kMaxRows = 2000;       // generated rows ("n")
constexpr int kMaxCells = 2000;      // generated cells, all columns together
constexpr int kMaxGivenRows = 64;    // rows taken from "rows"
constexpr int kMaxCols = 8;
constexpr int kMaxTreeDepth = 4;
constexpr int kMaxTreeItems = 256;   // items of "kids" below the top rows, all levels together
constexpr int kMaxTextBytes = 512;

int bounded(const Json::Value& element, const char* key, int fallback, int low, int high)
{
    return qBound(low, json::getInt(element, key, fallback), high);
}

QString textOf(const Json::Value& v)
{
    const std::string text = json::toString(v).value_or(std::string());
    return json::toQString(text.substr(0, kMaxTextBytes));
}

// One cell of the input as an item (its kids as child rows, within the caps).
QStandardItem* makeItem(const Json::Value& cell, int depth, int& budget)
{
    auto* item = new QStandardItem;
    if (!json::isObject(cell)) {
        item->setText(textOf(cell));
        return item;
    }
    if (const Json::Value* t = json::find(cell, "t"))
        item->setText(textOf(*t));
    if (const Json::Value* i = json::find(cell, "i"))
        item->setData(textOf(*i), Qt::DecorationRole);
    if (const Json::Value* i = json::find(cell, "img"))
        item->setData(textOf(*i), Qt::UserRole + 100);
    if (const Json::Value* tip = json::find(cell, "tip"))
        item->setData(textOf(*tip), Qt::ToolTipRole);
    int value = 0;
    if (json::read(cell, "c", value))
        item->setData(value, Qt::CheckStateRole);
    if (json::read(cell, "a", value))
        item->setData(value, Qt::TextAlignmentRole);
    const Json::Value& kids = json::get(cell, "kids");
    for (Json::ArrayIndex k = 0; k < json::size(kids) && depth < kMaxTreeDepth && budget > 0; ++k, --budget)
        item->appendRow(makeItem(json::at(kids, k), depth + 1, budget));
    return item;
}

// The rows of the element: those given, then "n" generated ones of "cols" columns.
QStandardItemModel* makeModel(const Json::Value& element, QObject* parent)
{
    auto* model = new QStandardItemModel(parent);
    int budget = kMaxTreeItems;
    const Json::Value& rows = json::get(element, "rows");
    for (Json::ArrayIndex r = 0; r < json::size(rows) && r < Json::ArrayIndex(kMaxGivenRows); ++r) {
        const Json::Value& row = json::at(rows, r);
        QList<QStandardItem*> items;
        if (json::isArray(row)) {
            for (Json::ArrayIndex c = 0; c < json::size(row) && c < Json::ArrayIndex(kMaxCols); ++c)
                items << makeItem(json::at(row, c), 0, budget);
        } else {
            items << makeItem(row, 0, budget);
        }
        model->appendRow(items);
    }
    const int cols = bounded(element, "cols", 1, 1, kMaxCols);
    const int n = bounded(element, "n", 0, 0, qMin(kMaxRows, kMaxCells / cols));
    for (int r = 0; r < n; ++r) {
        QList<QStandardItem*> items;
        for (int c = 0; c < cols; ++c)
            items << new QStandardItem(QStringLiteral("r%1c%2").arg(r).arg(c));
        model->appendRow(items);
    }
    return model;
}

void render(QWidget* w)
{
    QImage image(w->size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
}

void mouse(QWidget* target, QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    // The views also ask where the pointer is (hot template parts and column-widget controls).
    QCursor::setPos(target->mapToGlobal(at));
    QMouseEvent e(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

// The list view's template when it has none: a container with a label and a selectable rich text label,
// filled from the row by the display callback.
void showRow(const TEVQListView*, const QWidget* t, const QModelIndex& index)
{
    const QString text = index.data().toString();
    // The rich text label has no meta-object of its own: it is told by its C++ type.
    for (QWidget* w : t->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<TEVQLabel*>(w))
            label->setText(text);
        else if (auto* rich = dynamic_cast<TEVQLabelEx*>(w))
            rich->setText(text);
    }
}

void giveTemplate(TEVQListView& view)
{
    view.setItemDisplayCallBack(&showRow);
    if (view.getitemTemplate())
        return;
    auto* t = new TEVQContainer(&view);
    t->setChildLayout(TEVQContainer::AutoChildLayout(0));
    new TEVQLabel(t);
    auto* rich = new TEVQLabelEx(t);
    rich->setTextInteractionFlags(Qt::TextSelectableByMouse);
    view.setItemTemplate(t);
    view.setEnableSelection(true);
}

// Rows, size, selection, scrolling, pointer moves, a press and a drag, each followed by a paint.
template <class View> void exercise(View& view, const Json::Value& element)
{
    if constexpr (std::is_same_v<View, TEVQList>) {
        QStandardItemModel* model = makeModel(element, nullptr);
        for (int r = 0; r < model->rowCount(); ++r) {
            auto* item = new QListWidgetItem(model->item(r)->text());
            item->setData(Qt::DecorationRole, model->item(r)->data(Qt::DecorationRole));
            view.addItem(item);
        }
        delete model;
    } else {
        view.setModel(makeModel(element, &view));
    }
    if constexpr (std::is_same_v<View, TEVQListView>)
        giveTemplate(view);
    if constexpr (std::is_same_v<View, TEVQTreeView>)
        view.expandAll();
    TEVQContainer* columnWidget = nullptr;
    if constexpr (std::is_same_v<View, TEVQTableView>) {
        if (const Json::Value* c = json::find(element, "colw")) {
            columnWidget = new TEVQContainer(&view);
            new TEVQPushButton(columnWidget);
            new TEVQLabel(columnWidget);
            view.setColumnWidget(qBound(-1, json::toInt(*c).value_or(0), kMaxCols), columnWidget);
        }
    }
    view.resize(bounded(element, "cw", 160, 0, 320), bounded(element, "ch", 120, 0, 240));
    if (QAbstractItemModel* model = view.model()) {
        const int sel = json::getInt(element, "sel", -1);
        if (view.selectionModel() && sel >= 0 && sel < model->rowCount())
            view.selectionModel()->select(model->index(sel, 0), QItemSelectionModel::Select);
    }
    render(&view);
    if (QScrollBar* h = view.horizontalScrollBar())
        h->setValue(json::getInt(element, "sx", 0));
    if (QScrollBar* v = view.verticalScrollBar())
        v->setValue(json::getInt(element, "sy", 0));
    QWidget* vp = view.viewport();
    const QPoint press(bounded(element, "mx", 10, -100000, 100000), bounded(element, "my", 10, -100000, 100000));
    const QPoint drag(bounded(element, "dx", press.x(), -100000, 100000),
                      bounded(element, "dy", press.y() + 25, -100000, 100000));
    mouse(vp, QEvent::MouseMove, press, Qt::NoButton);
    render(&view);
    mouse(vp, QEvent::MouseButtonPress, press, Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, drag, Qt::LeftButton);
    render(&view);
    mouse(vp, QEvent::MouseButtonRelease, drag, Qt::NoButton);
    // Rows taken away from the end after they were painted, hovered and pressed; then the view resized and
    // pressed again before its rows are painted anew.
    if (QAbstractItemModel* model = view.model()) {
        const int cut = bounded(element, "cut", 0, 0, model->rowCount());
        if (cut > 0)
            model->removeRows(model->rowCount() - cut, cut);
    }
    if (json::has(element, "rw")) {
        view.resize(bounded(element, "rw", 0, 0, 320), bounded(element, "rh", 0, 0, 240));
        mouse(vp, QEvent::MouseButtonPress, press, Qt::LeftButton);
        mouse(vp, QEvent::MouseMove, drag, Qt::LeftButton);
        mouse(vp, QEvent::MouseButtonRelease, drag, Qt::NoButton);
        render(&view);
    }
    if constexpr (std::is_same_v<View, TEVQTableView>) {
        // The header's check-all box (and its section, when the check column is off).
        if (TEVQTableHeader* header = view.tableHeader())
            mouse(header->viewport(), QEvent::MouseButtonPress, QPoint(press.x(), 2), Qt::LeftButton);
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    view.notifyChangeLanguage();
    view.setEnabled(!json::getBool(element, "off", false));
    render(&view);
    delete columnWidget;
    render(&view);
}

// What a fresh view makes of element, used with the rows and pointer of input, as written. The list view's
// template is written among its children as it was left by the last row painted (its texts, size and row
// background): the children are the page loader's to read back, so the view's own keys are compared.
template <class View> Json::Value readUseWrite(const Json::Value& element, const Json::Value& input)
{
    View view(root());
    Json::Value in = element;
    view.readJsonValue(&in);
    view.createComplete();
    exercise(view, input);
    Json::Value out(Json::objectValue);
    view.serializeJsonValue(&out, false);
    if constexpr (std::is_same_v<View, TEVQListView>)
        out.removeMember("child");
    // A tree writes its row height when it is not 20, and one never set is 0 (which also gives 20-pixel rows):
    // a tree read from an element with 20 writes no height, and read back it writes 0. Both are the same rows.
    if constexpr (std::is_same_v<View, TEVQTreeView>) {
        const Json::Value* attrs = json::find(out, "attr");
        if (attrs && json::getInt(*attrs, "itemHeight", -1) == 0) {
            out["attr"].removeMember("itemHeight");
            if (out["attr"].empty())
                out.removeMember("attr");
        }
    }
    return out;
}

// The element as a page would hold it: children of the types a view's template or scroll bars use, within
// bounds (others dropped).
Json::Value pageElement(const Json::Value& element, int depth)
{
    static const char* const kept[] = {"qtcontainer", "qtlabel", "qtlabelex", "qtbutton", "qtcheckbox",
                                       "qtpicture", "qtscrollbar", "qtlistview", "qtlist", "qttree", "qtdatagrid"};
    Json::Value out = json::isObject(element) ? element : Json::Value(Json::objectValue);
    out.removeMember("child");
    const Json::Value& children = json::get(element, "child");
    Json::Value kids(Json::arrayValue);
    for (Json::ArrayIndex i = 0; i < json::size(children) && i < 8 && depth < 4; ++i) {
        const Json::Value& c = json::at(children, i);
        const std::string type = json::getString(c, "type");
        for (const char* k : kept) {
            if (type == k) {
                kids.append(pageElement(c, depth + 1));
                break;
            }
        }
    }
    if (!kids.empty())
        out["child"] = kids;
    return out;
}

template <class View> void buildAsPage(const Json::Value& element)
{
    Json::Value page = pageElement(element, 0);
    page["type"] = View::typeName();
    QWidget* w = createChild(page, root());
    if (auto* view = qobject_cast<View*>(w))
        exercise(*view, element);
    delete w;
}

// The written element read into a fresh view must write that element again (both shown on a mismatch when
// TEV_FUZZ_SHOW is set).
template <class View> void checkRoundTrip(const Json::Value& element)
{
    fuzzsupport::checkRoundTrip(
        element, [&element](const Json::Value& in) { return readUseWrite<View>(in, element); },
        View::typeName());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    root();
    Json::Value element;
    if (!fuzzsupport::nextInput(data, size, element))
        return 0;
    checkRoundTrip<TEVQTableView>(element);
    checkRoundTrip<TEVQTreeView>(element);
    checkRoundTrip<TEVQList>(element);
    checkRoundTrip<TEVQListView>(element);
    buildAsPage<TEVQTableView>(element);
    buildAsPage<TEVQTreeView>(element);
    buildAsPage<TEVQList>(element);
    buildAsPage<TEVQListView>(element);
    return 0;
}
