// The table view: JSON round trips and refused input, setters and sheets, cell painting per state (pixels),
// the check column and the check-all header box with real mouse presses, column-widget presses, and models,
// column widgets and the view itself deleted while in use.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQCheckBox.h"
#include "TEVQContainer.h"
#include "TEVQControlInfo.h"
#include "TEVQControlRegistry.h"
#include "TEVQLabel.h"
#include "TEVQList.h"
#include "TEVQListView.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQTableView.h"
#include "TEVQTreeView.h"
#include "TEVQWindow.h"
#include "TEVQPageLoader.h"
#include "TEVQtLib.h"

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTemporaryDir>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kBg(0x20, 0x20, 0x20), kRow(0x30, 0x50, 0x70), kHot(0xE0, 0x60, 0x10), kSel(0x10, 0xA0, 0x40);
const QColor kHead(0x50, 0x10, 0x50), kBtn(0x00, 0x00, 0xC0), kBtnHot(0xC0, 0xC0, 0x00);
const QColor kChecked(0x00, 0xFF, 0x00), kUnchecked(0xFF, 0x00, 0x00);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "tBg", "clr": "FF202020"}, {"type": 1, "name": "tRow", "clr": "FF305070"},
    {"type": 1, "name": "tHot", "clr": "FFE06010"}, {"type": 1, "name": "tSel", "clr": "FF10A040"},
    {"type": 1, "name": "tHalf", "clr": "80FF0000"},
    {"type": 1, "name": "tHead", "clr": "FF501050"}, {"type": 1, "name": "tBtn", "clr": "FF0000C0"},
    {"type": 1, "name": "tBtnHot", "clr": "FFC0C000"},
    {"type": 2, "name": "tText", "clr": "FFFFFFFF", "size": 12}, {"type": 2, "name": "tTextHot", "clr": "FF000000", "size": 12}]})";

using tevtest::parse;
using tevtest::fill;
using tevtest::text;
using tevtest::grabViewport;

QColor px(const QImage& img, int x, int y) { return QColor::fromRgb(img.pixel(x, y)); }
QColor px(const QImage& img, const QPoint& p) { return px(img, p.x(), p.y()); }

QStandardItemModel* makeModel(int rows, int columns, QObject* parent)
{
    auto* model = new QStandardItemModel(rows, columns, parent);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            model->setItem(r, c, new QStandardItem(QStringLiteral("r%1c%2").arg(r).arg(c)));
    return model;
}

// A styled table of 10 rows x 3 columns, 100 pixels per column, shown.
struct Table {
    TEVQTableView view;
    QStandardItemModel* model;
    Table()
    {
        model = makeModel(10, 3, &view);
        view.setModel(model);
        view.setBackground(CommonCtrlStateNormal, fill("tBg"));
        view.setItemBackground(CtrlState(4), fill("tRow"));
        view.setItemBackground(CtrlStateHot, fill("tHot"));
        view.setItemBackground(CtrlStatePressed, fill("tSel"));
        view.setItemTextStyle(CtrlState(4), text("tText"));
        view.setHeaderBackground(CtrlState(4), fill("tHead"));
        view.setHeaderTextStyle(CtrlState(4), text("tText"));
        view.setCheckBoxImage(true, QStringLiteral("chk.png"));
        view.setCheckBoxImage(false, QStringLiteral("unchk.png"));
        view.horizontalHeader()->setFixedHeight(24);
        for (int c = 0; c < 3; ++c)
            view.setColumnWidth(c, 100);
        view.resize(320, 300);
        view.show();
        const bool exposed = QTest::qWaitForWindowExposed(&view);
        Q_UNUSED(exposed);
    }
    QRect cell(int row, int column) const { return view.visualRect(model->index(row, column)); }
};

// A column widget: a container that places nothing itself, holding a 30 x 16 push button named name at (10, 2).
TEVQContainer* buttonColumn(QWidget* parent, const QString& name)
{
    auto* container = new TEVQContainer(parent);
    container->setChildLayout(TEVQContainer::NoUse);
    auto* button = new TEVQPushButton(container);
    button->setObjectName(name);
    button->setGeometry(10, 2, 30, 16);
    return container;
}

void press(QWidget* w, const QPoint& pos)
{
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, pos);
}

void moveTo(QWidget* w, const QPoint& pos)
{
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The style accessors the plain views share: state 4 sets every state of the tree and the table and
// nothing of the list; other states outside 0..3 set nothing and read as state 0.
template <class View>
void checkRowStyles(bool fourSetsAll)
{
    View view;
    const View fresh;
    view.setBackground(CommonCtrlStateDisable, fill("tBg"));
    QCOMPARE(view.getBackground(CommonCtrlStateNormal).name, QStringLiteral("tBg"));
    view.setItemBackground(CtrlStateHot, fill("tHot"));
    view.setItemBackground(CtrlState(4), fill("tRow"));
    view.setItemBackground(CtrlState(7), fill("tSel"));
    view.setItemTextStyle(CtrlState(4), text("tText"));
    view.setItemTextStyle(CtrlState(-1), text("tTextHot"));
    for (int s = 0; s < 4; ++s) {
        const CtrlState state = CtrlState(s);
        const QString row = fourSetsAll ? QStringLiteral("tRow")
                                        : (s == 1 ? QStringLiteral("tHot") : fresh.getItemBackground(state).name);
        QCOMPARE(view.getItemBackground(state).name, row);
        QCOMPARE(view.getItemTextStyle(state).name,
                 fourSetsAll ? QStringLiteral("tText") : fresh.getItemTextStyle(state).name);
    }
    QCOMPARE(view.getItemBackground(CtrlState(9)).name, view.getItemBackground(CtrlStateNormal).name);
}

// The three style rows that open a plain view's own catalogue rows, bound to its accessors.
template <class View>
void checkStyleRows(const QString& itemRow)
{
    const QVector<PropertyDef> props = View::getProps().props.mid(tevCommonPropertyRows().size(), 3);
    QCOMPARE(props.size(), 3);
    QCOMPARE(props[0].name, QStringLiteral("Background"));
    QCOMPARE(props[0].options, (QStringList{"Normal", "Disable"}));
    QCOMPARE(props[1].name, itemRow);
    QCOMPARE(props[2].name, QStringLiteral("TextStyle"));
    QCOMPARE(props[2].options, tevStateOptions());
    View view;
    props[1].setFillStyle(&view, 2, fill("tSel"));
    props[2].setTextStyle(&view, 3, text("tTextHot"));
    QCOMPARE(props[1].getFillStyle(&view, 2).name, QStringLiteral("tSel"));
    QCOMPARE(view.getItemTextStyle(CtrlStateDisable).name, QStringLiteral("tTextHot"));
}

} // namespace

class TestTable : public QObject
{
    Q_OBJECT
    QTemporaryDir m_theme;

private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), kStyleJson));
        // The theme's look of every check box.
        QVERIFY(tevtest::writeFile(m_theme.filePath("theme.json"),
                                   R"({"elements": [{"child": [{"name": "qtcheckbox", "style": [["tHot", 1, 0]]}]}]})"));
        QImage image(24, 24, QImage::Format_ARGB32);
        image.fill(kChecked);
        QVERIFY(image.save(m_theme.filePath("chk.png")));
        image.fill(kUnchecked);
        QVERIFY(image.save(m_theme.filePath("unchk.png")));
        QImage wide(30, 16, QImage::Format_ARGB32);
        wide.fill(Qt::blue);
        QVERIFY(wide.save(m_theme.filePath("wide.png")));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        tevInitQtControl();
    }

    void cleanup()
    {
        detail::setQtEmulator(false);
        QCursor::setPos(QPoint(2500, 1500));
    }

    // ---- JSON ------------------------------------------------------------------------------------------

    void defaultsAndSave()
    {
        TEVQTableView view;
        QCOMPARE(view.getTypeName(), QStringLiteral("qtdatagrid"));
        QCOMPARE(view.getItemHeight(), 20);
        QCOMPARE(view.verticalHeader()->defaultSectionSize(), 20);
        QVERIFY(view.verticalHeader()->isHidden());
        QCOMPARE(view.getCheckBoxImage(true), QStringLiteral("IDB_CHECKED"));
        QCOMPARE(view.getCheckBoxImage(false), QStringLiteral("IDB_UNCHECK"));
        QVERIFY(!view.getItemBackground(CtrlStateNormal).valid);
        QVERIFY(view.verticalBar()->styleSheet().isEmpty());
        QCOMPARE(view.selectionMode(), QAbstractItemView::SingleSelection);

        Json::Value out(Json::objectValue);
        QVERIFY(view.serializeJsonValue(&out, false));
        const Json::Value& attrs = json::get(out, "attr");
        QCOMPARE(json::getInt(attrs, "itemHeight", -1), 20);
        QCOMPARE(QString::fromStdString(json::getString(attrs, "checkedImg", "")), QStringLiteral("IDB_CHECKED"));
        QCOMPARE(QString::fromStdString(json::getString(attrs, "uncheckImg", "")), QStringLiteral("IDB_UNCHECK"));
        QVERIFY(!json::find(attrs, "multiselect") && !json::find(attrs, "checkstyle"));

        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.setCheckstyle(true);
        QVERIFY(view.serializeJsonValue(&out, false));
        QVERIFY(json::getBool(json::get(out, "attr"), "multiselect", false));
        QVERIFY(json::getBool(json::get(out, "attr"), "checkstyle", false));
        // With children written, the painter's check box is not among them; a column widget is.
        auto* column = new TEVQContainer(&view);
        view.setColumnWidget(1, column);
        tevEnableSerializeChild(true);
        Json::Value withChildren(Json::objectValue);
        view.serializeJsonValue(&withChildren, false);
        tevEnableSerializeChild(false);
        const Json::Value& children = json::get(withChildren, "child");
        QCOMPARE(int(json::size(children)), 1);
        QCOMPARE(json::getString(json::at(children, 0), "type"), std::string("qtcontainer"));
        // Multiple (not extended) selection is not "multiselect".
        view.setSelectionMode(QAbstractItemView::MultiSelection);
        QVERIFY(view.serializeJsonValue(&out, false));
        QVERIFY(!json::find(json::get(out, "attr"), "multiselect"));
    }

    void readAndRoundTrip()
    {
        TEVQTableView view;
        Json::Value in = parse(R"({"style": [["tBg", 1, 0], ["tRow", 1, 2], ["tHot", 1, 3], ["tText", 2, 6],
            ["tTextHot", 2, 7], ["tHead", 1, 10], ["tText", 2, 14], ["tSel", 1, 1], ["tSel", 1, 18],
            ["missing", 1, 4], "bad", [3, 1, 5], ["tSel", 1, "4"]],
            "attr": {"multiselect": true, "itemHeight": 32, "checkstyle": true, "checkedImg": "chk.png",
                     "uncheckImg": "wide.png"},
            "child": [{"type": "scrollbar", "attr": {"hor": false, "size": 10}, "w": 12}]})");
        QVERIFY(view.readJsonValue(&in));
        QCOMPARE(view.getBackground(CommonCtrlStateNormal).name, QStringLiteral("tBg"));
        QCOMPARE(view.getItemBackground(CtrlStateNormal).name, QStringLiteral("tRow"));
        QCOMPARE(view.getItemBackground(CtrlStateHot).name, QStringLiteral("tHot"));
        QCOMPARE(view.getItemBackground(CtrlStateDisable).name, QStringLiteral("tRow"));
        QCOMPARE(view.getItemTextStyle(CtrlStateHot).name, QStringLiteral("tTextHot"));
        QCOMPARE(view.getItemTextStyle(CtrlStatePressed).name, QStringLiteral("tText"));
        QCOMPARE(view.getHeaderBackground(CtrlStateDisable).name, QStringLiteral("tHead"));
        QCOMPARE(view.getHeaderTextStyle(CtrlStateNormal).name, QStringLiteral("tText"));
        QCOMPARE(view.selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(view.getItemHeight(), 32);
        QCOMPARE(view.verticalHeader()->defaultSectionSize(), 32);
        QCOMPARE(view.horizontalHeader()->height(), 32);
        QVERIFY(view.getCheckstyle());
        QCOMPARE(view.painter()->checkBox->getCheckedIcon(), QStringLiteral("chk.png"));
        QCOMPARE(view.painter()->checkBox->getUncheckIcon(), QStringLiteral("wide.png"));
        QCOMPARE(view.painter()->checkBoxImageSize, QSize(30, 16)); // the last image found
        // The scroll-bar entry: button size first, then the thickness on both bars.
        QVERIFY(view.verticalBar()->styleSheet().startsWith(QStringLiteral("QScrollBar::vertical{ width:12; }")));
        QVERIFY(view.verticalBar()->styleSheet().contains(QStringLiteral("width:10px;height:10px;")));
        QCOMPARE(view.horizontalBar()->styleSheet(), view.verticalBar()->styleSheet());

        // Written and read again by a fresh view: the same styles and keys.
        Json::Value out(Json::objectValue);
        QVERIFY(view.serializeJsonValue(&out, false));
        QVERIFY(json::get(out, "style").size() >= 6);
        TEVQTableView again;
        QVERIFY(again.readJsonValue(&out));
        QCOMPARE(again.getItemTextStyle(CtrlStateHot).name, QStringLiteral("tTextHot"));
        QCOMPARE(again.selectionMode(), QAbstractItemView::ExtendedSelection);
        Json::Value out2(Json::objectValue);
        QVERIFY(again.serializeJsonValue(&out2, false));
        QCOMPARE(json::get(out2, "style"), json::get(out, "style"));
        QCOMPARE(json::get(out2, "attr"), json::get(out, "attr"));

        // An image name cleared to nothing stays cleared through a save, instead of the built-in image.
        Json::Value cleared = parse(R"({"attr": {"checkedImg": "", "uncheckImg": ""}})");
        QVERIFY(again.readJsonValue(&cleared));
        QVERIFY(again.serializeJsonValue(&out2, false));
        TEVQTableView third;
        QVERIFY(third.readJsonValue(&out2));
        QCOMPARE(third.getCheckBoxImage(true), QString());
        QCOMPARE(third.getCheckBoxImage(false), QString());
    }

    void badInputAndHeights()
    {
        TEVQTableView view;
        const int headerHeight = view.horizontalHeader()->sizeHint().height();
        // Wrong types are skipped; a height of 0 or less changes neither the rows nor the header.
        Json::Value in = parse(R"({"style": {"a": 1}, "attr": {"itemHeight": 0, "multiselect": "yes",
            "checkstyle": 3, "checkedImg": 5}, "child": "none"})");
        view.readJsonValue(&in);
        QCOMPARE(view.getItemHeight(), 20);
        QCOMPARE(view.horizontalHeader()->sizeHint().height(), headerHeight);
        QCOMPARE(view.horizontalHeader()->maximumHeight(), QWIDGETSIZE_MAX);
        QCOMPARE(view.getCheckBoxImage(true), QStringLiteral("IDB_CHECKED"));
        Json::Value negative = parse(R"({"attr": {"itemHeight": -5}, "style": [[1, 2, 3], ["tRow"], []]})");
        view.readJsonValue(&negative);
        QCOMPARE(view.horizontalHeader()->maximumHeight(), QWIDGETSIZE_MAX);
        view.setItemHeight(0);
        QCOMPARE(view.getItemHeight(), 20);

        // Only the first text given to setJsonData is applied.
        view.setJsonData(QStringLiteral(R"({"attr": {"itemHeight": 40}})"));
        QCOMPARE(view.getItemHeight(), 40);
        view.setJsonData(QStringLiteral(R"({"attr": {"itemHeight": 50}})"));
        QCOMPARE(view.getItemHeight(), 40);
        QCOMPARE(view.jsonData(), QStringLiteral(R"({"attr": {"itemHeight": 50}})"));
    }

    void pageWithBadKeys()
    {
        // Tables and trees from a page whose keys have wrong types and values out of range: built, defaults kept.
        TEVQWindow win;
        QVERIFY(tevCreatePageByFileName(&win, tevtest::dataPath(QStringLiteral("corpus/page/tables_trees.json"))));
        auto* grid = win.findChild<TEVQTableView*>(QStringLiteral("grid"));
        auto* tree = win.findChild<TEVQTreeView*>(QStringLiteral("tree"));
        QVERIFY(grid && tree);
        QCOMPARE(grid->getItemHeight(), 20);
        QCOMPARE(grid->horizontalHeader()->maximumHeight(), QWIDGETSIZE_MAX);
        QVERIFY(!grid->getCheckstyle());
        QCOMPARE(tree->getItemHeight(), 0);
        QCOMPARE(win.findChildren<TEVQTableView*>().size(), 2);
        QCOMPARE(win.findChildren<TEVQTreeView*>().size(), 2);
        win.resize(400, 300);
        win.grab();
    }

    void settersSheetsAndSelection()
    {
        TEVQTableView view;
        view.setScrollbarBtnSize(true, 10);
        QVERIFY(view.verticalBar()->styleSheet().isEmpty());
        view.setScrollbarSize(false, 12);
        const QString sheet = QStringLiteral(
            "QScrollBar::vertical{ width:12; } QScrollBar::horizontal{ height:12; } "
            "QScrollBar::add-line:vertical{ width:10px;height:10px; subcontrol-origin: margin;} "
            "QScrollBar::sub-line:vertical{ width:10px;height:10px;subcontrol-origin: margin; }");
        QCOMPARE(view.verticalBar()->styleSheet(), sheet);
        QCOMPARE(view.horizontalBar()->styleSheet(), sheet);

        // State 4 sets all; states out of range change nothing.
        view.setItemBackground(CtrlState(4), fill("tRow"));
        view.setItemBackground(CtrlState(7), fill("tHot"));
        view.setItemBackground(CtrlState(-1), fill("tHot"));
        for (int s = 0; s < 4; ++s)
            QCOMPARE(view.getItemBackground(CtrlState(s)).name, QStringLiteral("tRow"));

        auto* model = makeModel(5, 3, &view);
        view.setModel(model);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.setSelectionBehavior(QAbstractItemView::SelectItems);
        QItemSelectionModel* sel = view.selectionModel();
        for (int c = 0; c < 3; ++c)
            sel->select(model->index(1, c), QItemSelectionModel::Select);
        sel->select(model->index(3, 2), QItemSelectionModel::Select);
        QList<int> rows = view.selectedRows();
        std::sort(rows.begin(), rows.end());
        QCOMPARE(rows, (QList<int>{1, 3}));

        // Column widgets: hidden, replaced, removed; the removed one stays hidden.
        TEVQContainer a, b;
        a.show();
        view.setColumnWidget(2, &a);
        QVERIFY(a.isHidden());
        QCOMPARE(view.getColumnWidget(2), &a);
        view.setColumnWidget(2, &b);
        QCOMPARE(view.getColumnWidget(2), &b);
        view.setColumnWidget(2, nullptr);
        QCOMPARE(view.getColumnWidget(2), nullptr);
        QVERIFY(b.isHidden());
        {
            TEVQContainer gone;
            view.setColumnWidget(1, &gone);
        }
        QCOMPARE(view.getColumnWidget(1), nullptr);

        // An image the resource manager lacks keeps the box size but stores the name.
        view.setCheckBoxImage(true, QStringLiteral("nothing.png"));
        QCOMPARE(view.painter()->checkBoxImageSize, QSize(24, 24));
        QCOMPARE(view.getCheckBoxImage(true), QStringLiteral("nothing.png"));
        // The name-only setters do not touch the painted box.
        view.setCheckedImage(QStringLiteral("chk.png"));
        QCOMPARE(view.getCheckedImage(), QStringLiteral("chk.png"));
        QCOMPARE(view.painter()->checkBox->getCheckedIcon(), QStringLiteral("nothing.png"));
    }

    void rowStylesOfEveryView()
    {
        checkRowStyles<TEVQList>(false);
        checkRowStyles<TEVQTreeView>(true);
        checkRowStyles<TEVQTableView>(true);
        checkStyleRows<TEVQList>(QStringLiteral("ItemBackground"));
        checkStyleRows<TEVQTreeView>(QStringLiteral("Background"));
        checkStyleRows<TEVQTableView>(QStringLiteral("ItemBg"));
    }

    // The list and the tree size a row's icon alike: 16 up to 24, 24 up to 32, else 32.
    void rowIconSizesOfListAndTree()
    {
        for (const auto& [height, size] : {std::pair{24, 16}, {25, 24}, {32, 24}, {33, 32}}) {
            QCOMPARE(TEVQListItemDelegate::iconSizeFor(height), size);
            QCOMPARE(TEVQTreeViewItemDelegate::iconSizeFor(height), size);
        }
    }

    void catalogueAndPreview()
    {
        const ControlInfo info = TEVQTableView::getProps();
        QCOMPARE(QString::fromStdString(info.typeName), QStringLiteral("qtdatagrid"));
        QStringList labels;
        for (const PropertyDef& d : info.props)
            labels << d.name;
        const QStringList own{"Background", "ItemBg",     "TextStyle",    "HeadItemBg",    "HeadTextStyle",
                              "ItemHeight", "CheckStyle", "CheckedImage", "UncheckedImage"};
        QCOMPARE(labels.mid(labels.size() - own.size()), own);
        TEVQTableView view;
        // The designer's image rows change the painted box as well as the saved name.
        for (const PropertyDef& d : info.props) {
            if (d.name == QLatin1String("CheckedImage")) {
                QCOMPARE(d.kind, int(PropImage));
                d.setText(&view, QStringLiteral("chk.png"));
                QCOMPARE(d.getText(&view), QStringLiteral("chk.png"));
            }
            if (d.name == QLatin1String("ItemHeight"))
                d.setInt(&view, 28);
        }
        QCOMPARE(view.painter()->checkBox->getCheckedIcon(), QStringLiteral("chk.png"));
        QCOMPARE(view.verticalHeader()->defaultSectionSize(), 28);

        // Preview data only in the designer host.
        view.initDemoData();
        view.createComplete();
        QVERIFY(!view.model());
        detail::setQtEmulator(true);
        view.initDemoData();
        QVERIFY(view.model());
        QCOMPARE(view.model()->rowCount(), 100);
        QCOMPARE(view.model()->columnCount(), 5);
        QCOMPARE(view.model()->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Col5"));
        QCOMPARE(view.model()->index(99, 4).data().toString(), QStringLiteral("item 99 4"));
        view.resize(420, 200);
        QVERIFY(tevtest::keepRender(view.grab().toImage(), QStringLiteral("views_table_preview.png")));
        QWidget* made = createControlByType("datagrid", nullptr);
        QVERIFY(qobject_cast<TEVQTableView*>(made));
        delete made;
    }

    // ---- painting ------------------------------------------------------------------------------------------

    void cellsByState()
    {
        Table t;
        QImage img = grabViewport(&t.view);
        // Normal rows over the background; below the last row only the background.
        QCOMPARE(px(img, t.cell(0, 1).topLeft() + QPoint(1, 1)), kRow);
        QCOMPARE(px(img, 50, t.cell(9, 0).bottom() + 5), kBg);
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_table.png")));

        // Moving over row 3 paints every cell of row 3 hot; leaving the view clears it.
        moveTo(t.view.viewport(), t.cell(3, 1).center());
        QCOMPARE(t.view.painter()->hoverRow, 3);
        img = grabViewport(&t.view);
        for (int c = 0; c < 3; ++c)
            QCOMPARE(px(img, t.cell(3, c).topLeft() + QPoint(1, 1)), kHot);
        QCOMPARE(px(img, t.cell(4, 0).topLeft() + QPoint(1, 1)), kRow);
        moveTo(t.view.viewport(), t.cell(4, 2).center());
        QCOMPARE(t.view.painter()->hoverRow, 4);
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_table_hover.png")));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&t.view, &leave);
        QCOMPARE(t.view.painter()->hoverRow, -1);

        // A selected row wins over hover.
        t.view.selectRow(5);
        t.view.painter()->hoverRow = 5;
        img = grabViewport(&t.view);
        QCOMPARE(px(img, t.cell(5, 2).topLeft() + QPoint(1, 1)), kSel);
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_table_selected.png")));

        // The header: its background behind each section.
        const QImage head = t.view.horizontalHeader()->grab().toImage();
        QCOMPARE(px(head, 150, 2), kHead);

        // A translucent background is laid once under the cells, not once more over itself.
        t.view.setBackground(CommonCtrlStateNormal, fill("tHalf"));
        QCOMPARE(qAlpha(grabViewport(&t.view).pixel(50, t.cell(9, 0).bottom() + 5)), 0x80);
        // Also on a viewport the application put in place.
        t.view.setBackground(CommonCtrlStateNormal, fill("tBg"));
        t.view.setViewport(new QWidget);
        QCOMPARE(px(grabViewport(&t.view), 50, t.cell(9, 0).bottom() + 5), kBg);
    }

    void iconAndAlignment()
    {
        Table t;
        t.view.setColumnWidth(1, 200);
        // Left-aligned: the icon in a box 10 wider than the image at the text's start.
        t.model->setData(t.model->index(0, 1), QStringLiteral("unchk.png"), Qt::UserRole + 100);
        // Centred, no text: the icon alone in the middle.
        t.model->setData(t.model->index(1, 1), QStringLiteral("chk.png"), Qt::UserRole + 100);
        t.model->setData(t.model->index(1, 1), QString(), Qt::DisplayRole);
        t.model->setData(t.model->index(1, 1), int(Qt::AlignCenter), Qt::TextAlignmentRole);
        const QImage img = grabViewport(&t.view);
        const QRect c0 = t.cell(0, 1), c1 = t.cell(1, 1);
        // Icon box from x + 2 to x + 2 + 34; the 24-wide image is centred in it, clipped to the row height.
        QCOMPARE(px(img, c0.x() + 2 + 17, c0.center().y()), kUnchecked);
        QCOMPARE(px(img, c0.x() + 2 + 3, c0.center().y()), kRow);
        QCOMPARE(px(img, c1.center()), kChecked);
        QCOMPARE(px(img, c1.x() + 2 + (196 - 24) / 2 - 2, c1.center().y()), kRow);
        QCOMPARE(px(img, c1.x() + 2 + (196 - 24) / 2 + 1, c1.center().y()), kChecked);
    }

    // The column titles kept between paints follow every input: after each change the header looks as that of
    // a table made afresh in the new state.
    void headerTitlesFollowEveryChange()
    {
        QStringList titles{QStringLiteral("Inverter"), QStringLiteral("Power"), QStringLiteral("State")};
        int pixelSize = 12;
        int width = 100;
        int alignment = int(Qt::AlignLeft | Qt::AlignVCenter);
        auto apply = [&](Table& t) {
            t.model->setColumnCount(titles.size());
            for (int c = 0; c < titles.size(); ++c) {
                t.model->setHeaderData(c, Qt::Horizontal, titles[c]);
                t.model->setHeaderData(c, Qt::Horizontal, c == 1 ? alignment : int(Qt::AlignLeft | Qt::AlignVCenter),
                                       Qt::TextAlignmentRole);
                t.view.setColumnWidth(c, width);
            }
            TextStyleDesc style = text("tText");
            style.pixelSize = pixelSize;
            t.view.setHeaderTextStyle(CtrlState(4), style);
        };
        Table kept;
        apply(kept);
        auto same = [&](const char* step) {
            Table fresh;
            apply(fresh);
            const bool equal = grabViewport(kept.view.horizontalHeader()) == grabViewport(fresh.view.horizontalHeader());
            if (!equal)
                QTest::qFail(qPrintable(QStringLiteral("stale header after: %1").arg(QLatin1String(step))), __FILE__,
                             __LINE__);
            return equal;
        };
        QVERIFY(same("first paint"));
        QVERIFY(same("a second paint"));
        titles[1] = QStringLiteral("Active power");
        kept.model->setHeaderData(1, Qt::Horizontal, titles[1]);
        QVERIFY(same("a title"));
        alignment = int(Qt::AlignRight | Qt::AlignVCenter);
        kept.model->setHeaderData(1, Qt::Horizontal, alignment, Qt::TextAlignmentRole);
        QVERIFY(same("an alignment"));
        pixelSize = 16;
        apply(kept);
        QVERIFY(same("a text style"));
        QVERIFY(tevtest::withGlobalFontFamily(QStringLiteral("DejaVu Serif"),
                                              [&] { return same("the global font family"); }));
        width = 60; // "Active power" is elided now
        apply(kept);
        QVERIFY(same("the column widths"));
        titles.insert(0, QStringLiteral("Site"));
        kept.model->insertColumn(0);
        apply(kept);
        QVERIFY(same("a column inserted"));
        titles.removeLast();
        titles.removeLast();
        apply(kept);
        QVERIFY(same("columns removed"));
    }

    // The cell texts kept between paints follow a changed text, text style, width and row order: the cells
    // then look as those of a table made afresh in the new state. So does the measured width that centres a
    // text beside its icon, which a repaint does not measure again.
    void keptCellTextsFollowEveryChange()
    {
        QString cellText = QStringLiteral("r1c1");
        int pixelSize = 12;
        int width = 100;
        bool sorted = false;
        auto apply = [&](Table& t) {
            t.model->setData(t.model->index(1, 1), cellText);
            const QModelIndex centred = t.model->index(2, 1);
            t.model->setData(centred, cellText);
            t.model->setData(centred, QStringLiteral("chk.png"), Qt::UserRole + 100);
            t.model->setData(centred, int(Qt::AlignCenter), Qt::TextAlignmentRole);
            TextStyleDesc style = text("tText");
            style.pixelSize = pixelSize;
            t.view.setItemTextStyle(CtrlState(4), style);
            t.view.setColumnWidth(1, width);
            if (sorted)
                t.model->sort(0, Qt::DescendingOrder);
        };
        Table kept;
        apply(kept);
        auto same = [&](const char* step) {
            Table fresh;
            apply(fresh);
            const bool equal = grabViewport(&kept.view) == grabViewport(&fresh.view);
            if (!equal)
                QTest::qFail(qPrintable(QStringLiteral("stale cells after: %1").arg(QLatin1String(step))), __FILE__,
                             __LINE__);
            return equal;
        };
        QVERIFY(same("first paint"));
        const int measures = kept.view.delegate()->textMeasureCount();
        QVERIFY(measures > 0);
        QVERIFY(same("a second paint"));
        QCOMPARE(kept.view.delegate()->textMeasureCount(), measures);
        cellText = QStringLiteral("a much longer cell text");
        apply(kept);
        QVERIFY(same("a cell text"));
        pixelSize = 15;
        apply(kept);
        QVERIFY(same("a text style"));
        QVERIFY(tevtest::withGlobalFontFamily(QStringLiteral("DejaVu Serif"),
                                              [&] { return same("the global font family"); }));
        width = 50;
        apply(kept);
        QVERIFY(same("a column width"));
        sorted = true;
        apply(kept);
        QVERIFY(same("the rows reordered"));
    }

    // ---- the check column and the check-all box ---------------------------------------------------------

    void checkColumn()
    {
        Table t;
        t.view.setCheckstyle(true);
        t.model->setData(t.model->index(1, 0), int(Qt::PartiallyChecked), Qt::CheckStateRole);
        t.model->setData(t.model->index(2, 0), int(Qt::Checked), Qt::CheckStateRole);
        QImage img = grabViewport(&t.view);
        auto boxPoint = [&](int row) { return t.cell(row, 0).topLeft() + QPoint(5 + 12, t.cell(row, 0).height() / 2); };
        QCOMPARE(px(img, boxPoint(0)), kUnchecked);
        QCOMPARE(px(img, boxPoint(1)), kChecked); // partially checked paints as checked
        QCOMPARE(px(img, boxPoint(2)), kChecked);
        QCOMPARE(px(img, t.cell(0, 1).topLeft() + QPoint(5 + 12, 10)), kRow); // only column 0
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_table_checks.png")));

        // A press in the box flips the row's state, stored as a check state; the next press flips it back.
        QStandardItem* item1 = t.model->item(1, 0);
        press(t.view.viewport(), boxPoint(1));
        QCOMPARE(item1->checkState(), Qt::Unchecked);
        press(t.view.viewport(), boxPoint(1));
        QCOMPARE(item1->checkState(), Qt::Checked);
        // Just right of the box: no change.
        press(t.view.viewport(), t.cell(1, 0).topLeft() + QPoint(5 + 24, 10));
        QCOMPARE(item1->checkState(), Qt::Checked);
        // A checkable item flips once per click anywhere in the box, its left part (where the item's own
        // check rectangle lies) included; just left of the box nothing flips.
        QStandardItem* item3 = t.model->item(3, 0);
        item3->setCheckable(true);
        for (int dx : {6, 10, 16, 22, 28}) {
            const Qt::CheckState before = item3->checkState();
            press(t.view.viewport(), t.cell(3, 0).topLeft() + QPoint(dx, t.cell(3, 0).height() / 2));
            QVERIFY2(item3->checkState() != before, qPrintable(QString::number(dx)));
        }
        const Qt::CheckState kept = item3->checkState();
        press(t.view.viewport(), t.cell(3, 0).topLeft() + QPoint(3, t.cell(3, 0).height() / 2));
        QCOMPARE(item3->checkState(), kept);
        // Space on a checkable row flips its box as a press does: a partly checked row becomes unchecked.
        item1->setCheckable(true);
        item1->setCheckState(Qt::PartiallyChecked);
        t.view.setCurrentIndex(item1->index());
        QTest::keyClick(&t.view, Qt::Key_Space);
        QCOMPARE(item1->checkState(), Qt::Unchecked);
        QTest::keyClick(&t.view, Qt::Key_Space);
        QCOMPARE(item1->checkState(), Qt::Checked);
        item1->setCheckable(false);
        // Check column off: boxes gone, presses change nothing.
        t.view.setCheckstyle(false);
        press(t.view.viewport(), boxPoint(1));
        QCOMPARE(item1->checkState(), Qt::Checked);
        img = grabViewport(&t.view);
        QCOMPARE(px(img, boxPoint(0)), kRow);
    }

    // A first column as narrow as the header lets it be, with a check box image wider than that: the box is cut
    // at the column's edge, in the cells and in the header, instead of lying over the next column, where a
    // press does not reach it.
    void checkBoxStaysInANarrowFirstColumn()
    {
        TEVQTableView view; // no cell or header backgrounds: nothing of the next column covers the box
        view.setModel(makeModel(3, 2, &view));
        view.setCheckBoxImage(false, QStringLiteral("wide.png")); // 30 wide
        view.setCheckstyle(true);
        view.horizontalHeader()->setFixedHeight(24);
        view.setColumnWidth(0, 1);
        view.resize(200, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int next = view.columnViewportPosition(1);
        QVERIFY(next < 5 + 30);
        for (const QImage& img : {grabViewport(&view), view.horizontalHeader()->grab().toImage()}) {
            QCOMPARE(px(img, next - 1, 10), QColor(Qt::blue));
            QVERIFY(px(img, next + 1, 10) != QColor(Qt::blue));
        }
    }

    void checkAllHeader()
    {
        Table t;
        t.view.setCheckstyle(true);
        t.model->setData(t.model->index(0, 0), int(Qt::Checked), Qt::CheckStateRole);
        QSignalSpy spy(&t.view, &TEVQTableView::headerCheckedChanged);
        QWidget* head = t.view.horizontalHeader()->viewport();
        const QPoint box(5 + 12, 12);
        QCOMPARE(px(t.view.horizontalHeader()->grab().toImage(), box), kUnchecked);
        QTest::mouseClick(head, Qt::LeftButton, Qt::NoModifier, box);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(px(t.view.horizontalHeader()->grab().toImage(), box), kChecked);
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_table_checkall.png")));
        QTest::mouseClick(head, Qt::LeftButton, Qt::NoModifier, box);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toBool(), false);
        // The rows are not touched by the check-all box.
        QCOMPARE(t.model->item(0, 0)->checkState(), Qt::Checked);
        QVERIFY(!t.model->index(1, 0).data(Qt::CheckStateRole).isValid());
        // Outside the box, in another section, or with the check column off: nothing.
        QTest::mouseClick(head, Qt::LeftButton, Qt::NoModifier, QPoint(5 + 30, 12));
        QTest::mouseClick(head, Qt::LeftButton, Qt::NoModifier, QPoint(150, 12));
        t.view.setCheckstyle(false);
        QTest::mouseClick(head, Qt::LeftButton, Qt::NoModifier, box);
        QCOMPARE(spy.count(), 2);
        // Nor where no box is painted: the first column hidden, or no columns at all.
        t.view.setCheckstyle(true);
        t.view.setColumnHidden(0, true);
        QTest::mouseClick(head, Qt::LeftButton, Qt::NoModifier, box);
        t.model->setColumnCount(0);
        QTest::mouseClick(head, Qt::LeftButton, Qt::NoModifier, box);
        QCOMPARE(spy.count(), 2);

        // A slot may delete the view.
        auto* doomed = new Table;
        doomed->view.setCheckstyle(true);
        connect(&doomed->view, &TEVQTableView::headerCheckedChanged, this, [&doomed] {
            delete doomed;
            doomed = nullptr;
        });
        QTest::mousePress(doomed->view.horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier, box);
        QVERIFY(!doomed);
    }

    // ---- column widgets ---------------------------------------------------------------------------------

    void columnWidgets()
    {
        Table t;
        auto* container = new TEVQContainer;
        container->setChildLayout(TEVQContainer::NoUse);
        container->setBackground(fill("tRow"));
        auto* button = new TEVQPushButton(container);
        button->setObjectName(QStringLiteral("go"));
        button->setGeometry(10, 2, 30, 16);
        button->setFadeEnabled(false);
        button->setText(QString());
        button->setBackground(CtrlState(4), fill("tBtn"));
        button->setBackground(CtrlStateHot, fill("tBtnHot"));
        t.view.setColumnWidget(2, container);
        t.view.setCheckstyle(true);
        t.view.setColumnWidth(2, 100);
        QSignalSpy spy(&t.view, &TEVQTableView::customControlClicked);

        QImage img = grabViewport(&t.view);
        const QRect c = t.cell(4, 2);
        QCOMPARE(px(img, c.topLeft() + QPoint(20, 10)), kBtn);
        QCOMPARE(px(img, c.topLeft() + QPoint(60, 10)), kRow);

        // The hovered control shows its hot state; a press on it is reported with the row and its name.
        QWidget* vp = t.view.viewport();
        const QPoint onButton = c.topLeft() + QPoint(20, 10);
        QCursor::setPos(vp->mapToGlobal(onButton));
        img = grabViewport(&t.view);
        QCOMPARE(px(img, onButton), kBtnHot);
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_table_columnwidget.png")));
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, onButton);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, onButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 4);
        QCOMPARE(spy.at(0).at(1).toString(), QStringLiteral("go"));
        // The container's own background is never reported.
        const QPoint offButton = c.topLeft() + QPoint(70, 10);
        QCursor::setPos(vp->mapToGlobal(offButton));
        press(vp, offButton);
        QCOMPARE(spy.count(), 1);

        // A column widget in column 0 hides the check box but keeps the text.
        auto* first = new TEVQContainer;
        first->setChildLayout(TEVQContainer::NoUse);
        first->setBackground(fill("tHot"));
        t.view.setColumnWidget(0, first);
        img = grabViewport(&t.view);
        QCOMPARE(px(img, t.cell(0, 0).topLeft() + QPoint(17, 10)), kHot);

        // Deleting a column widget, and a slot deleting the model, leave nothing dangling.
        delete container;
        img = grabViewport(&t.view);
        QCOMPARE(px(img, onButton), kSel); // the pressed row is selected
        delete first;
        t.view.setColumnWidget(1, buttonColumn(&t.view, QStringLiteral("other")));
        connect(&t.view, &TEVQTableView::customControlClicked, t.model, [&t] { delete t.model; });
        const QPoint onOther = t.cell(2, 1).topLeft() + QPoint(20, 10);
        QCursor::setPos(vp->mapToGlobal(onOther));
        press(vp, onOther);
        QCOMPARE(spy.count(), 2);
        QVERIFY(!t.view.model() || t.view.model()->rowCount() == 0);
        grabViewport(&t.view);
    }

    // A slot run by a press may clear the model in place (QStandardItemModel::clear frees the items the pressed
    // index points into): the rest of the press asks nothing of the old index.
    void pressSlotsThatClearTheModel()
    {
        Table t;
        t.view.setCheckstyle(true);
        t.view.setColumnWidget(2, buttonColumn(&t.view, QStringLiteral("go")));
        QWidget* vp = t.view.viewport();
        grabViewport(&t.view);

        const QMetaObject::Connection clearOnCheck =
            connect(t.model, &QAbstractItemModel::dataChanged, t.model, [&t] { t.model->clear(); });
        press(vp, t.view.painter()->checkBoxRect(t.cell(1, 0)).center());
        QCOMPARE(t.model->rowCount(), 0);
        disconnect(clearOnCheck);

        t.model->setRowCount(5);
        t.model->setColumnCount(3);
        for (int c = 0; c < 3; ++c)
            t.view.setColumnWidth(c, 100);
        grabViewport(&t.view);
        QSignalSpy spy(&t.view, &TEVQTableView::customControlClicked);
        connect(&t.view, &TEVQTableView::customControlClicked, t.model, [&t] { t.model->clear(); });
        const QPoint onButton = t.cell(3, 2).topLeft() + QPoint(20, 10);
        QCursor::setPos(vp->mapToGlobal(onButton));
        press(vp, onButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(t.model->rowCount(), 0);
        grabViewport(&t.view);
    }

    // A column widget's controls are collected as a template list view's parts: the container first, then depth
    // first in child order; a plain widget cuts off its subtree.
    void columnWidgetControlsAsTemplateParts()
    {
        TEVQContainer container;
        auto* inner = new TEVQContainer(&container);
        auto* label = new TEVQLabel(inner);
        auto* plain = new QWidget(&container);
        new TEVQLabel(plain);
        auto* button = new TEVQPushButton(&container);
        const QVector<QWidget*> expected{&container, inner, label, button};
        TEVQListView list;
        list.delegate()->collectParts(&container);
        const auto controls = TEVQTableViewitemDelegate::controlList(&container);
        for (const auto& found : {controls, list.delegate()->templateParts}) {
            QVector<QWidget*> widgets;
            for (const TEVViewPart& part : found)
                widgets.append(part.widget);
            QCOMPARE(widgets, expected);
        }
        QVERIFY(TEVQTableViewitemDelegate::controlList(nullptr).empty());
    }

    void modelSwappedOrDeleted()
    {
        Table t;
        t.view.setCheckstyle(true);
        moveTo(t.view.viewport(), t.cell(6, 1).center());
        QCOMPARE(t.view.painter()->hoverRow, 6);
        auto* next = makeModel(3, 2, &t.view);
        t.view.setModel(next);
        QCOMPARE(t.view.painter()->hoverRow, -1);
        delete t.model;
        QImage img = grabViewport(&t.view);
        QCOMPARE(px(img, t.view.visualRect(next->index(0, 1)).topLeft() + QPoint(1, 1)), kRow);
        delete next;
        img = grabViewport(&t.view);
        QCOMPARE(px(img, 50, 50), kBg);
        QTest::mouseClick(t.view.horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(17, 12));
        press(t.view.viewport(), QPoint(17, 10));
        t.view.horizontalHeader()->grab();
    }

    // The hot row is the row of the item the pointer last moved over, as Qt's own hover cell is: rows inserted,
    // sorted or removed under a resting pointer never leave two rows hot, nor one that is gone.
    void hoverFollowsItsRowWhenRowsChange()
    {
        Table t;
        auto hotRows = [&] {
            const QImage img = grabViewport(&t.view);
            QList<int> rows; // a row with any hot cell
            for (int r = 0; r < t.model->rowCount(); ++r)
                for (int c = 0; c < 3 && (rows.isEmpty() || rows.last() != r); ++c)
                    if (px(img, t.cell(r, c).topLeft() + QPoint(1, 1)) == kHot)
                        rows << r;
            return rows;
        };
        moveTo(t.view.viewport(), t.cell(3, 1).center());
        QCOMPARE(hotRows(), QList<int>{3});
        t.model->insertRow(0, new QStandardItem(QStringLiteral("new")));
        QCOMPARE(t.view.painter()->hoverRow, 4);
        QCOMPARE(hotRows(), QList<int>{4});
        t.model->sort(1, Qt::DescendingOrder);
        const int sorted = t.model->findItems(QStringLiteral("r3c1"), Qt::MatchExactly, 1).value(0)->row();
        QCOMPARE(hotRows(), QList<int>{sorted});
        t.model->removeRow(sorted);
        QCOMPARE(t.view.painter()->hoverRow, -1);
        QVERIFY(hotRows().isEmpty());
        moveTo(t.view.viewport(), t.cell(1, 1).center());
        t.model->removeColumn(1); // the hovered cell's: its row stays hot and follows its rows still
        t.model->insertRow(0);
        QCOMPARE(t.view.painter()->hoverRow, 2);
        t.model->clear();
        QCOMPARE(t.view.painter()->hoverRow, -1);
    }

    // Keys that scroll the rows under a resting pointer take the hot row along with Qt's hover cell: the whole
    // row now under the pointer is hot, and the row scrolled away is not.
    void hoverFollowsThePointerWhenKeysScroll()
    {
        Table t;
        t.model->setRowCount(60);
        QWidget* vp = t.view.viewport();
        const QPoint at = t.cell(3, 1).center();
        QCursor::setPos(vp->mapToGlobal(at));
        moveTo(vp, at);
        QCOMPARE(t.view.painter()->hoverRow, 3);
        t.view.setCurrentIndex(t.model->index(0, 0));
        // Home and End keep to the row; with Ctrl they go to the first and the last row.
        const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
            {Qt::Key_PageDown, Qt::NoModifier}, {Qt::Key_PageDown, Qt::NoModifier}, {Qt::Key_End, Qt::ControlModifier},
            {Qt::Key_Up, Qt::NoModifier}, {Qt::Key_Home, Qt::ControlModifier}};
        for (const auto& key : keys) {
            QTest::keyClick(&t.view, key.first, key.second);
            const int under = t.view.rowAt(at.y());
            QCOMPARE(t.view.painter()->hoverRow, under);
            const QImage img = grabViewport(&t.view);
            const QColor look = under == t.view.currentIndex().row() ? kSel : kHot;
            for (int c = 0; c < 3; ++c)
                QCOMPARE(px(img, t.cell(under, c).topLeft() + QPoint(1, 1)), look);
        }
        QCOMPARE(t.view.painter()->hoverRow, 3);
        // The hot row removed: the row the keys then scroll under the pointer is hot, whole.
        t.model->removeRow(3);
        QCOMPARE(t.view.painter()->hoverRow, -1);
        QTest::keyClick(&t.view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(t.view.painter()->hoverRow, t.view.rowAt(at.y()));
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_table_keys_scrolled.png")));
    }

    // A row hidden while the row height changes comes back as high as the others.
    void hiddenRowTakesTheNewHeight()
    {
        Table t;
        t.view.setRowHidden(2, true);
        t.view.setItemHeight(32);
        t.view.setRowHidden(2, false);
        QCOMPARE(t.view.rowHeight(1), 32);
        QCOMPARE(t.view.rowHeight(2), 32);
    }

    void headersReplacedOrCheckBoxDeleted()
    {
        // The painter check box is an ordinary child that others may delete; cells, header and the image
        // setter then draw and keep no box.
        auto* view = new TEVQTableView;
        view->setModel(makeModel(4, 2, view));
        view->setCheckstyle(true);
        delete view->findChild<TEVQCheckBox*>();
        view->setCheckBoxImage(true, QStringLiteral("wide.png"));
        QCOMPARE(view->getCheckBoxImage(true), QStringLiteral("wide.png"));
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        grabViewport(view);
        view->horizontalHeader()->grab();
        // Qt deletes the headers it replaces: the row height goes to the header in place.
        view->setHorizontalHeader(new QHeaderView(Qt::Horizontal));
        view->setVerticalHeader(new QHeaderView(Qt::Vertical));
        view->setItemHeight(30);
        QCOMPARE(view->verticalHeader()->defaultSectionSize(), 30);
        grabViewport(view);
        delete view;
    }

    void checkBoxKeepsItsLookOnThemeChange()
    {
        // A theme change re-reads the theme's check-box look into the application's check boxes, not into
        // the box the table paints its check column with.
        TEVQWindow window;
        window.resize(320, 200);
        auto* view = new TEVQTableView(&window);
        QStandardItemModel* model = makeModel(3, 2, view);
        view->setModel(model);
        view->setItemHeight(40);
        view->setCheckstyle(true);
        view->setGeometry(0, 0, 300, 180);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect cell = view->visualRect(model->index(0, 0));
        const QPoint inBox(cell.x() + 8, cell.top() + 3); // above the box's 24 px image
        const QColor before = px(grabViewport(view), inBox);
        QVERIFY(before != kHot);
        QVERIFY(rm()->themeChange());
        QCOMPARE(px(grabViewport(view), inBox), before);
    }

    void checkBoxFollowsAnotherThemesPicture()
    {
        // Another theme with a check-box picture of another size under the same name: the box, and the text
        // beside it, take the new picture's width.
        TEVQTableView view;
        view.setCheckBoxImage(true, QStringLiteral("wide.png"));
        const QRect cell(0, 0, 100, 20);
        QCOMPARE(view.painter()->checkBoxRect(cell).width(), 30);
        QTemporaryDir other;
        QImage narrow(12, 12, QImage::Format_ARGB32);
        narrow.fill(Qt::blue);
        QVERIFY(narrow.save(other.filePath("wide.png")));
        QVERIFY(tevtest::writeFile(other.filePath("style.json"), kStyleJson));
        QVERIFY(rm()->loadThemeDir(other.path()));
        const int width = view.painter()->checkBoxRect(cell).width();
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QCOMPARE(width, 12);
        QCOMPARE(view.painter()->checkBoxRect(cell).width(), 30);
    }

    void headerClickSorts()
    {
        // The header's presses go on to Qt's own handling: with sorting on, a click sorts by the section.
        Table t;
        t.model->setData(t.model->index(0, 1), QStringLiteral("zz"));
        t.view.setSortingEnabled(true);
        t.view.sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(t.model->index(9, 1).data().toString(), QStringLiteral("zz"));
        QTest::mouseClick(t.view.horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(150, 12));
        QCOMPARE(t.view.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(t.model->index(0, 1).data().toString(), QStringLiteral("zz"));
    }
};

TEV_TEST_MAIN(TestTable)
#include "tst_table.moc"
