// The list, the template list view and the scroll-bar child entries of the views: JSON round trips and the
// cases their readers must refuse, row painting per state (pixels), keyboard navigation, hot template parts,
// presses on template parts, highlighting across rows, and deleting the model, the template or a row while
// the view lives.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlInfo.h"
#include "TEVQControlRegistry.h"
#include "TEVQLabel.h"
#include "TEVQLabelEx.h"
#include "TEVQList.h"
#include "TEVQListView.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQtLib.h"

#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QStyleFactory>
#include <QTextDocument>
#include <QTemporaryDir>

#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kBg(0x20, 0x20, 0x20), kRow(0x30, 0x50, 0x70), kHot(0xE0, 0x60, 0x10), kSel(0x10, 0xA0, 0x40);
const QColor kDis(0x90, 0x90, 0x90), kBtn(0x00, 0x00, 0xC0), kBtnHot(0xC0, 0xC0, 0x00);
const QColor kHighlight(155, 202, 239);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "lBg", "clr": "FF202020"}, {"type": 1, "name": "lRow", "clr": "FF305070"},
    {"type": 1, "name": "lHot", "clr": "FFE06010"}, {"type": 1, "name": "lSel", "clr": "FF10A040"},
    {"type": 1, "name": "lDis", "clr": "FF909090"}, {"type": 1, "name": "lBtn", "clr": "FF0000C0"},
    {"type": 1, "name": "lBtnHot", "clr": "FFC0C000"},
    {"type": 2, "name": "lText", "clr": "FFFFFFFF", "size": 12}, {"type": 2, "name": "lTextHot", "clr": "FF000000", "size": 12}]})";

using tevtest::parse;
using tevtest::fill;
using tevtest::text;

QString styleText(const Json::Value& v) { return QString::fromStdString(json::writeStyled(v)).simplified(); }

using tevtest::grabViewport;

QColor px(const QImage& img, int x, int y) { return QColor::fromRgb(img.pixel(x, y)); }

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A template row: a container with a label at the left and a button at the right.
struct RowTemplate {
    TEVQContainer* container;
    TEVQLabel* label;
    TEVQPushButton* button;
};

RowTemplate makeTemplate(QWidget* parent)
{
    RowTemplate t;
    t.container = new TEVQContainer(parent);
    t.container->setChildLayout(TEVQContainer::NoUse);
    t.label = new TEVQLabel(t.container);
    t.label->setGeometry(4, 2, 100, 20);
    t.label->setTextStyle(CtrlState(4), text("lText"));
    t.button = new TEVQPushButton(t.container);
    t.button->setGeometry(150, 4, 30, 16);
    t.button->setFadeEnabled(false);
    t.button->setBackground(CtrlState(4), fill("lBtn"));
    t.button->setBackground(CtrlStateHot, fill("lBtnHot"));
    t.button->setText(QString());
    return t;
}

// A list view of rows 24 px high with selection on, and its empty template row (nothing lays it out).
TEVQContainer* selectableRows(TEVQListView& view, QSize size)
{
    view.resize(size);
    view.setItemHeight(24);
    view.setSpacing(0);
    view.setEnableSelection(true);
    auto* container = new TEVQContainer(&view);
    container->setChildLayout(TEVQContainer::NoUse);
    return container;
}

int g_displayCalls = 0;
void showRow(const TEVQListView*, const QWidget* t, const QModelIndex& index)
{
    ++g_displayCalls;
    if (auto* label = t->findChild<TEVQLabel*>())
        label->setText(index.data().toString());
}

int g_sizeCalls = 0;
QSize rowSize(const TEVQListView*, const QStyleOptionViewItem& option, const QModelIndex&)
{
    ++g_sizeCalls;
    return QSize(option.rect.width(), 30);
}

QStringList rowTexts(int n)
{
    QStringList rows;
    for (int i = 0; i < n; ++i)
        rows << QStringLiteral("row %1").arg(i);
    return rows;
}

} // namespace

class TestLists : public QObject
{
    Q_OBJECT
    QTemporaryDir m_theme;

private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), kStyleJson));
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(m_theme.filePath("red.png")));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        tevInitQtControl();
    }

    void cleanup() { detail::setQtEmulator(false); }

    // ---- scroll-bar child entries ------------------------------------------------------------------------

    void scrollBarChildEntries()
    {
        TEVQList list;
        TEVQListView view;
        // No "child", or entries that are not scroll bars, change nothing.
        Json::Value none = parse(R"({"child": [{"type": "qtlabel", "w": 30}, {"w": 3}, 5, {"type": 7}]})");
        list.readJsonValue(&none);
        view.readJsonValue(&none);
        QVERIFY(list.verticalBar()->styleSheet().isEmpty() && view.verticalBar()->styleSheet().isEmpty());

        Json::Value in = parse(R"({"child": [
            {"type": "scrollbar", "attr": {"hor": false, "upicon": "up.png", "downicon": "down.png",
             "thumbicon": "thumb.png", "size": 9}, "w": 14,
             "style": [["lBg", 1, 0], ["lRow", 2, 2], ["lHot", 2, 3], ["lSel", 1, 10], ["lDis", 1, 1], ["lDis", 1, 14]]},
            {"type": "qtscrollbar", "attr": {"hor": true}, "style": [["lRow", 1, 6]]}]})");
        list.readJsonValue(&in);
        view.readJsonValue(&in);
        TEVQScrollBar* v = view.verticalBar();
        QCOMPARE(v->getScrollbarUpButton(CtrlStateNormal).name, QStringLiteral("lRow"));
        QCOMPARE(v->getScrollbarUpButton(CtrlStateHot).name, QStringLiteral("lHot"));
        QCOMPARE(v->getScrollbarUpButton(CtrlStateDisable).name, QStringLiteral("lRow"));
        QCOMPARE(v->getScrollbarThumb(CtrlStatePressed).name, QStringLiteral("lSel"));
        QCOMPARE(view.horizontalBar()->getScrollbarDownButton(CtrlStateHot).name, QStringLiteral("lRow"));
        QVERIFY(v->getScrollbarDownButton(CtrlStateNormal).name.isEmpty());

        // The list: one sheet on both bars from the last entry's size (the horizontal entry has no "h": 0).
        const QString listSheet = TEVQScrollBarPair::thicknessSheet(0);
        QCOMPARE(TEVQScrollBarPair::thicknessSheet(3),
                 QStringLiteral("QScrollBar::vertical{ width:3; } QScrollBar::horizontal{ height:3; } "
                                "QScrollBar::add-line:vertical{ width:3px;height:3px; subcontrol-origin: margin;} "
                                "QScrollBar::sub-line:vertical{ width:3px;height:3px;subcontrol-origin: margin; }"));
        QCOMPARE(list.verticalBar()->styleSheet(), listSheet);
        QCOMPARE(list.horizontalBar()->styleSheet(), listSheet);
        // The list view: the thickness sheet replaces the button-size sheet on both bars.
        QCOMPARE(v->styleSheet(), QStringLiteral("QScrollBar::vertical{ width:0; } QScrollBar::horizontal{ height:0; }"));
        view.setScrollbarBtnSize(false, 9);
        QCOMPARE(v->styleSheet(), QStringLiteral("QScrollBar::add-line:vertical{ height:9px;width:9px; }"
                                                 "QScrollBar::sub-line:vertical{ height:9px;width:9px; }"));
        QVERIFY(view.horizontalBar()->styleSheet().startsWith(QStringLiteral("QScrollBar::vertical")));
        view.setScrollbarBtnSize(true, 7);
        QCOMPARE(view.horizontalBar()->styleSheet(), QStringLiteral("QScrollBar::add-line{ width:7px;width:7px; }"
                                                                    "QScrollBar::sub-line{ width:7px;width:7px; }"));
        // The list ignores the button size; both flags give the same sheets.
        list.setScrollbarBtnSize(false, 5);
        list.setScrollbarSize(true, 8);
        const QString eight = list.verticalBar()->styleSheet();
        list.setScrollbarSize(false, 8);
        QCOMPARE(list.verticalBar()->styleSheet(), eight);
        QCOMPARE(list.horizontalBar()->styleSheet(), eight);
    }

    // ---- the list ---------------------------------------------------------------------------------------

    void listJson()
    {
        TEVQList list;
        Json::Value in = parse(R"({"style": [["lBg", 1, 0], ["lRow", 1, 2], ["lHot", 1, 3], ["lText", 2, 6],
            ["lRow", 1, 1], ["lDis", 1, 10], ["missing", 1, 4], ["lTextHot", 2, 7]],
            "attr": {"multiselect": true, "itemHeight": 30}})");
        QVERIFY(list.readJsonValue(&in));
        QCOMPARE(list.getBackground(CommonCtrlStateDisable).name, QStringLiteral("lBg"));
        QCOMPARE(list.getItemBackground(CtrlStatePressed).name, QStringLiteral("lRow"));
        QCOMPARE(list.getItemBackground(CtrlStateHot).name, QStringLiteral("lHot"));
        QCOMPARE(list.getItemTextStyle(CtrlStateDisable).name, QStringLiteral("lText"));
        QCOMPARE(list.getItemTextStyle(CtrlStateHot).name, QStringLiteral("lTextHot"));
        QCOMPARE(list.selectionMode(), QAbstractItemView::MultiSelection);
        QCOMPARE(list.getItemHeight(), 30);

        Json::Value out;
        list.serializeJsonValue(&out, false);
        QCOMPARE(styleText(out["style"]), QStringLiteral(R"([ [ "lBg", 1, 0 ], [ "lRow", 1, 2 ], [ "lHot", 1, 3 ], )"
                                                         R"([ "lRow", 1, 4 ], [ "lRow", 1, 5 ], [ "lText", 2, 6 ], )"
                                                         R"([ "lTextHot", 2, 7 ], [ "lText", 2, 8 ], [ "lText", 2, 9 ] ])"));
        QCOMPARE(out["attr"]["multiselect"].asInt(), 1);
        QCOMPARE(out["attr"]["itemHeight"].asInt(), 30);
        TEVQList back;
        back.readJsonValue(&out);
        QCOMPARE(back.getItemBackground(CtrlStateHot).name, QStringLiteral("lHot"));
        QCOMPARE(back.getItemTextStyle(CtrlStatePressed).name, QStringLiteral("lText"));

        // Extended selection counts as multiple but is not written; false gives single selection again.
        list.setSelectionMode(QAbstractItemView::ExtendedSelection);
        QVERIFY(list.getIsMultiSelected());
        out = Json::Value();
        list.setItemHeight(20);
        list.serializeJsonValue(&out, false);
        QVERIFY(!json::has(json::get(out, "attr"), "multiselect") && !json::has(json::get(out, "attr"), "itemHeight"));
        list.setIsMultiSelected(false);
        QCOMPARE(list.selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!list.getIsMultiSelected());

        // Wrong types are skipped.
        Json::Value bad = parse(R"({"style": {"a": 1}, "attr": {"multiselect": "yes", "itemHeight": "x"}, "child": 3})");
        QVERIFY(back.readJsonValue(&bad));
        QCOMPARE(back.getItemHeight(), 30);
    }

    void rowSizesReadAgainLayOutTheRows()
    {
        // A row size read again (as a theme change does) on lists whose rows are laid out already: the rows take
        // it at once.
        TEVQList list;
        TEVQListView view;
        QStandardItemModel model(3, 1);
        list.addItems(rowTexts(3));
        view.setModel(&model);
        for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(&list), static_cast<QAbstractItemView*>(&view)}) {
            v->resize(200, 200);
            v->doItemsLayout();
            const int second = v->visualRect(v->model()->index(1, 0)).top();
            Json::Value taller = parse(R"({"attr": {"itemHeight": 45}})");
            QVERIFY(tevWidgetInterface(v)->readJsonValue(&taller));
            QCOMPARE(v->visualRect(v->model()->index(1, 0)).top(), second + 25);
        }
    }

    void listRowsPerState()
    {
        TEVQList list;
        list.resize(200, 130);
        list.setBackground(CommonCtrlStateNormal, fill("lBg"));
        list.setItemBackground(CtrlStateNormal, fill("lRow"));
        list.setItemBackground(CtrlStateHot, fill("lHot"));
        list.setItemBackground(CtrlStatePressed, fill("lSel"));
        list.setItemBackground(CtrlStateDisable, fill("lDis"));
        for (int s = 0; s < 4; ++s)
            list.setItemTextStyle(CtrlState(s), text("lText"));
        list.setItemHeight(24);
        list.addItems(rowTexts(3));
        list.item(1)->setData(Qt::DecorationRole, QStringLiteral("red.png"));
        list.item(2)->setData(Qt::DecorationRole, 42); // no image, the text still moves
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.visualItemRect(list.item(1)).height(), 24);

        QImage img = grabViewport(&list);
        QCOMPARE(px(img, 190, 12), kRow);
        QCOMPARE(px(img, 190, 24 * 3 + 10), kBg);
        // A string decoration draws the image 16 wide in a 20-pixel column.
        QCOMPARE(px(img, 10, 24 + 12), QColor(Qt::red));
        QCOMPARE(px(img, 1, 24 + 12), kRow);

        // Keyboard: Down selects the next row, painted with the pressed style; hover wins over selection.
        list.setCurrentRow(0);
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.currentRow(), 1);
        QVERIFY(list.item(1)->isSelected());
        img = grabViewport(&list);
        QCOMPARE(px(img, 190, 24 + 12), kSel);
        QCOMPARE(px(img, 190, 12), kRow);
        sendMouse(list.viewport(), QEvent::MouseMove, QPoint(100, 24 + 12));
        QTRY_COMPARE(px(grabViewport(&list), 190, 24 + 12), kHot);
        sendMouse(list.viewport(), QEvent::MouseMove, QPoint(100, 12));
        QTRY_COMPARE(px(grabViewport(&list), 190, 12), kHot);
        QVERIFY(tevtest::keepRender(list.grab().toImage(), QStringLiteral("views_list.png")));

        QCOMPARE(TEVQListItemDelegate::iconSizeFor(25), 24);
        // Height 0 means 20, and so does a negative one (the designer's row takes any number): the rows stay.
        for (int height : {0, -7}) {
            list.setItemHeight(height);
            QCOMPARE(list.itemDelegate()->sizeHint(QStyleOptionViewItem(), list.model()->index(0, 0)).height(), 20);
        }
        QCOMPARE(list.getItemHeight(), -7);
        // The background also goes onto a viewport the application put in place.
        list.setViewport(new QWidget);
        QCOMPARE(px(grabViewport(&list), 190, 24 * 3 + 10), kBg);
    }

    // The row texts kept between paints follow every input: after each change the rows look as those of a
    // list made afresh in the new state, also where rows a slot count apart take turns in one slot.
    void keptRowTextsFollowEveryChange()
    {
        QStringList rows = rowTexts(300);
        rows[128] = rows[0]; // the same text in the same slot, from another row
        int pixelSize = 12;
        QSize size(200, 130);
        int top = 0;
        auto make = [&](TEVQList& list) {
            list.setItemBackground(CtrlStateNormal, fill("lRow"));
            TextStyleDesc style = text("lText");
            style.pixelSize = pixelSize;
            for (int s = 0; s < 4; ++s)
                list.setItemTextStyle(CtrlState(s), style);
            list.setItemHeight(24);
            list.setUniformItemSizes(true);
            if (list.count() == 0)
                list.addItems(rows);
            for (int i = 0; i < rows.size(); ++i)
                if (list.item(i)->text() != rows[i])
                    list.item(i)->setText(rows[i]);
            list.resize(size);
            list.show();
            list.verticalScrollBar()->setValue(top * 24);
        };
        TEVQList list;
        make(list);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto same = [&](const char* step) {
            TEVQList fresh;
            make(fresh);
            const bool equal = QTest::qWaitForWindowExposed(&fresh) && grabViewport(&list) == grabViewport(&fresh);
            if (!equal)
                QTest::qFail(qPrintable(QStringLiteral("stale rows after: %1").arg(QLatin1String(step))), __FILE__,
                             __LINE__);
            return equal;
        };
        QVERIFY(same("first paint"));
        QVERIFY(same("a second paint"));
        rows[1] = QStringLiteral("a much longer text in the second row");
        make(list);
        QVERIFY(same("a row text"));
        pixelSize = 16;
        make(list);
        QVERIFY(same("a text style"));
        QVERIFY(tevtest::withGlobalFontFamily(QStringLiteral("DejaVu Serif"),
                                              [&] { return same("the global font family"); }));
        size = QSize(120, 130); // the long row is elided now
        make(list);
        QVERIFY(same("the size"));
        for (int t : {1, 3, 126, 127, 128, 129, 0, 255, 256, 2}) {
            top = t;
            make(list);
            QVERIFY2(same("a scroll"), qPrintable(QString::number(t)));
        }
    }

    void listPreviewRowsAndCatalogue()
    {
        Json::Value element = parse(R"({"type": "list"})");
        QWidget host;
        std::unique_ptr<QWidget> plain(createControl("qtlist", element, &host));
        static_cast<TEVQList*>(plain.get())->createComplete();
        QCOMPARE(static_cast<TEVQList*>(plain.get())->count(), 0);
        detail::setQtEmulator(true);
        TEVQList preview;
        preview.createComplete();
        QCOMPARE(preview.count(), 20);
        QCOMPARE(preview.item(19)->text(), QStringLiteral("item 19"));

    }

    // ---- the template list view -------------------------------------------------------------------------

    void listViewJson()
    {
        TEVQListView view;
        Json::Value in = parse(R"({"style": [["lBg", 1, 0], ["lRow", 1, 2], ["lHot", 1, 3], ["lSel", 1, 1], ["lDis", 1, 5]],
            "attr": {"itemHeight": 0, "itemWidth": 40, "spacing": 0, "itemMode": 2}})");
        QVERIFY(view.readJsonValue(&in));
        QCOMPARE(view.getBackground(CommonCtrlStateNormal).name, QStringLiteral("lBg"));
        QCOMPARE(view.getItemBackground(CtrlStateNormal).name, QStringLiteral("lRow"));
        QCOMPARE(view.getItemBackground(CtrlStateHot).name, QStringLiteral("lHot"));
        QCOMPARE(view.getItemBackground(CtrlStatePressed).name, QStringLiteral("lRow"));
        // The disabled state, written as slot 5, reads back.
        QCOMPARE(view.getItemBackground(CtrlStateDisable).name, QStringLiteral("lDis"));
        QCOMPARE(view.getItemBackground(CtrlState(7)).name, QStringLiteral("lRow"));
        QCOMPARE(view.viewMode(), QListView::IconMode);
        QCOMPARE(view.spacing(), 0);

        Json::Value out;
        view.serializeJsonValue(&out, false);
        QCOMPARE(styleText(out["style"]), QStringLiteral(R"([ [ "lBg", 1, 0 ], [ "lRow", 1, 2 ], [ "lHot", 1, 3 ], )"
                                                         R"([ "lRow", 1, 4 ], [ "lDis", 1, 5 ] ])"));
        QCOMPARE(out["attr"]["itemMode"].asInt(), 1);
        QCOMPARE(out["attr"]["spacing"].asInt(), 0);
        QCOMPARE(out["attr"]["itemHeight"].asInt(), 0);
        QCOMPARE(out["attr"]["itemWidth"].asInt(), 40);
        TEVQListView back;
        back.readJsonValue(&out);
        QCOMPARE(back.spacing(), 0);
        QCOMPARE(back.getItemBackground(CtrlStateDisable).name, QStringLiteral("lDis"));

        // A fresh view writes "itemMode" 0 and no other key.
        TEVQListView fresh;
        Json::Value plain;
        fresh.serializeJsonValue(&plain, false);
        QCOMPARE(styleText(plain["attr"]), QStringLiteral(R"({ "itemMode" : 0 })"));
        QVERIFY(plain["style"].isNull());

        // The catalogue's mode row edits Qt's view mode.
        ControlInfo* info = tevGetControlInfo(QStringLiteral("qtlistview"));
        QVERIFY(info);
        for (const PropertyDef& d : info->props) {
            if (d.name == QLatin1String("ItemMode")) {
                d.setInt(&fresh, 1);
                QCOMPARE(fresh.viewMode(), QListView::IconMode);
            }
        }
    }

    void listViewWithoutTemplate()
    {
        TEVQListView view;
        view.resize(200, 100);
        view.setBackground(CommonCtrlStateNormal, fill("lBg"));
        view.setItemBackground(CtrlStateNormal, fill("lRow"));
        view.setItemForSizeCallBack(&rowSize);
        view.setItemHeight(0);
        QStringListModel model(rowTexts(3));
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        g_sizeCalls = 0;
        const QImage img = grabViewport(&view);
        QCOMPARE(px(img, 100, 10), kBg);
        QCOMPARE(g_sizeCalls, 0);
        QCOMPARE(view.visualRect(model.index(1, 0)).height(), 20);
        // So do negative sizes, in both modes.
        view.setItemHeight(-9);
        view.setItemWidth(-9);
        QCOMPARE(view.itemDelegate()->sizeHint(QStyleOptionViewItem(), model.index(1, 0)).height(), 20);
        view.setViewMode(QListView::IconMode);
        QCOMPARE(view.itemDelegate()->sizeHint(QStyleOptionViewItem(), model.index(1, 0)), QSize(20, 20));
        view.setViewMode(QListView::ListMode);
        // Anything but a container is no template.
        QLabel notContainer;
        view.setItemTemplate(&notContainer);
        view.setItemTemplate(nullptr);
        QVERIFY(!view.getitemTemplate());
        // The background also goes onto a viewport the application put in place.
        view.setViewport(new QWidget);
        QCOMPARE(px(grabViewport(&view), 100, 90), kBg);
    }

    void listViewDrawsRowsFromTheTemplate()
    {
        TEVQListView view;
        view.resize(220, 140);
        view.setBackground(CommonCtrlStateNormal, fill("lBg"));
        view.setItemBackground(CtrlStateNormal, fill("lRow"));
        view.setItemBackground(CtrlStateHot, fill("lHot"));
        view.setItemBackground(CtrlStatePressed, fill("lSel"));
        view.setItemHeight(24);
        view.setSpacing(0);
        RowTemplate t = makeTemplate(&view);
        view.setItemTemplate(t.container);
        QVERIFY(!t.container->isVisible());
        view.setItemDisplayCallBack(&showRow);
        QStringListModel model(rowTexts(40));
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        g_displayCalls = 0;
        QImage img = grabViewport(&view);
        // Once per visible row per paint.
        const int visible = (view.viewport()->height() + 23) / 24;
        QCOMPARE(g_displayCalls, visible);
        QCOMPARE(px(img, 120, 12), kRow);
        QCOMPARE(px(img, 160, 24 + 12), kBtn);
        // The selected row takes the pressed background; keyboard navigation moves it.
        view.setCurrentIndex(model.index(0, 0));
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.currentIndex().row(), 1);
        img = grabViewport(&view);
        QCOMPARE(px(img, 120, 24 + 12), kSel);
        QCOMPARE(px(img, 120, 12), kRow);

        // The part under the pointer is drawn hot, only in its own row.
        const QRect button0 = view.painter()->rowPartRects.value(0).value(2);
        QCOMPARE(button0, QRect(150, 4, 30, 16));
        QCursor::setPos(view.viewport()->mapToGlobal(button0.center()));
        QTRY_COMPARE(px(grabViewport(&view), 160, 12), kBtnHot);
        img = grabViewport(&view);
        QCOMPARE(px(img, 160, 24 + 12), kBtn);
        QCOMPARE(t.button->painter()->getState(), CtrlStateNormal);
        QVERIFY(tevtest::keepRender(view.grab().toImage(), QStringLiteral("views_listview.png")));
        QCursor::setPos(QPoint(2000, 1500));

        // Scrolled to the bottom, the last rows are drawn from the template too.
        view.scrollToBottom();
        img = grabViewport(&view);
        QCOMPARE(px(img, 160, view.visualRect(model.index(39, 0)).top() + 6), kBtn);
    }

    void pressesOnTemplateParts()
    {
        TEVQListView view;
        view.resize(220, 140);
        view.setItemHeight(24);
        view.setSpacing(0);
        RowTemplate t = makeTemplate(&view);
        // A plain widget in the template hides the framework controls below it.
        auto* plain = new QWidget(t.container);
        plain->setGeometry(190, 0, 20, 24);
        auto* hidden = new TEVQLabel(plain);
        Q_UNUSED(hidden);
        view.setItemTemplate(t.container);
        QCOMPARE(int(view.delegate()->templateParts.size()), 3);
        QStringListModel model(rowTexts(5));
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        grabViewport(&view);

        QSignalSpy spy(&view, &TEVQListView::pressCtrl);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 24 + 10));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].value<QWidget*>(), static_cast<QWidget*>(t.button));
        QCOMPARE(spy[0][1].toModelIndex().row(), 1);
        // Only the template's own background: nothing.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 24 + 10));
        QCOMPARE(spy.size(), 1);
        // A resize forgets where the parts were until the rows are painted again.
        view.resize(230, 140);
        QVERIFY(view.painter()->rowPartRects.isEmpty());
        QCOMPARE(view.delegate()->partAt(1, QPoint(160, 34)), -1);
        grabViewport(&view);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy[1][0].value<QWidget*>(), static_cast<QWidget*>(t.label));
        // A part hidden from the delegate is neither drawn nor hit.
        t.button->setDelegateItemVisible(false);
        grabViewport(&view);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 10));
        QCOMPARE(spy.size(), 2);

        // A slot may replace the model and delete the old one while the press is handled.
        auto* doomed = new QStandardItemModel;
        for (const QString& row : rowTexts(5))
            doomed->appendRow(new QStandardItem(row));
        view.setModel(doomed);
        grabViewport(&view);
        QStringListModel next(rowTexts(2));
        connect(&view, &TEVQListView::pressCtrl, this, [&] {
            view.setModel(&next);
            delete doomed;
            doomed = nullptr;
        });
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 24 + 10));
        QVERIFY(!doomed);
        QCOMPARE(view.model(), static_cast<QAbstractItemModel*>(&next));

        // Or clear it in place: QStandardItemModel::clear frees the items the pressed index points into.
        QStandardItemModel cleared;
        for (const QString& row : rowTexts(5))
            cleared.appendRow(new QStandardItem(row));
        view.setModel(&cleared);
        grabViewport(&view);
        disconnect(&view, &TEVQListView::pressCtrl, this, nullptr);
        connect(&view, &TEVQListView::pressCtrl, this, [&] { cleared.clear(); });
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 24 + 10));
        QCOMPARE(cleared.rowCount(), 0);
        grabViewport(&view);
    }

    void highlightAcrossRows()
    {
        TEVQListView view;
        TEVQContainer* container = selectableRows(view, QSize(260, 200));
        auto* label = new TEVQLabelEx(container);
        label->setGeometry(0, 0, 240, 24);
        label->setTextStyle(CtrlState(4), text("lTextHot"));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // A label that also takes keyboard selection takes no part.
        auto* other = new TEVQLabelEx(container);
        other->setGeometry(240, 0, 20, 24);
        other->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        view.setItemTemplate(container);
        view.setItemDisplayCallBack([](const TEVQListView*, const QWidget* t, const QModelIndex& index) {
            t->findChildren<TEVQLabelEx*>().first()->setText(QStringLiteral("highlighted text of ") + index.data().toString());
        });
        QStringListModel model(rowTexts(8));
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        grabViewport(&view);
        QVERIFY(view.painter()->rowHtml.contains(3));

        // Drag from the middle of row 3's text to the start of row 5.
        sendMouse(view.viewport(), QEvent::MouseButtonPress, QPoint(70, 3 * 24 + 10), Qt::LeftButton);
        QCOMPARE(view.delegate()->highlightStart.row, 3);
        QVERIFY(view.delegate()->selecting);
        sendMouse(view.viewport(), QEvent::MouseMove, QPoint(40, 5 * 24 + 10), Qt::LeftButton);
        QCOMPARE(view.delegate()->highlightEnd.row, 5);
        QCOMPARE(view.cursor().shape(), Qt::IBeamCursor);
        sendMouse(view.viewport(), QEvent::MouseButtonRelease, QPoint(40, 5 * 24 + 10));
        QVERIFY(!view.delegate()->selecting);

        const QImage img = grabViewport(&view);
        auto highlighted = [&](int row, int x0, int x1) {
            int n = 0;
            for (int x = x0; x < x1; ++x)
                for (int y = row * 24; y < row * 24 + 24; ++y)
                    n += px(img, x, y) == kHighlight;
            return n;
        };
        QCOMPARE(highlighted(2, 0, 240), 0);
        QCOMPARE(highlighted(3, 0, 40), 0);   // before the press point
        QVERIFY(highlighted(3, 80, 120) > 0); // after it
        QVERIFY(highlighted(4, 0, 40) > 0);   // a whole row
        QVERIFY(highlighted(5, 0, 20) > 0);   // from the start of the last row
        QCOMPARE(highlighted(5, 70, 240), 0); // to the pointer
        QCOMPARE(highlighted(6, 0, 240), 0);
        QCOMPARE(highlighted(4, 240, 260), 0);
        QVERIFY(!label->painter()->selectionStart.isValid()); // cleared after each row
        QVERIFY(tevtest::keepRender(view.grab().toImage(), QStringLiteral("views_listview_highlight.png")));

        // The highlight stays until the next press or clearHighLight.
        view.clearHighLight();
        QCOMPARE(view.delegate()->highlightStart.row, -1);

        // Sorted rows: a press finds the text the row shows now, as in a view that never saw the old order.
        QStringListModel sorted({QStringLiteral("z"), QStringLiteral("a fairly long text in this row")});
        view.setModel(&sorted);
        QCoreApplication::processEvents();
        grabViewport(&view);
        QVERIFY(view.painter()->rowHtml.value(0).value(1).contains(QStringLiteral("of z")));
        sorted.sort(0);
        grabViewport(&view);
        sendMouse(view.viewport(), QEvent::MouseButtonPress, QPoint(220, 10), Qt::LeftButton);
        sendMouse(view.viewport(), QEvent::MouseButtonRelease, QPoint(220, 10));
        const int afterSort = view.delegate()->highlightStart.column;
        view.setModel(&sorted);
        grabViewport(&view);
        sendMouse(view.viewport(), QEvent::MouseButtonPress, QPoint(220, 10), Qt::LeftButton);
        sendMouse(view.viewport(), QEvent::MouseButtonRelease, QPoint(220, 10));
        QVERIFY(view.delegate()->highlightStart.column > 21); // past "highlighted text of z"
        QCOMPARE(afterSort, view.delegate()->highlightStart.column);
        view.clearHighLight();
        // A new model drops the cached label HTML.
        QStringListModel other2(rowTexts(2));
        view.setModel(&other2);
        QVERIFY(view.painter()->rowHtml.isEmpty());
    }

    // The highlight stays on the rows it was made in while rows are inserted or removed elsewhere, and goes
    // with a row it ends in, a new model, a reset or a sort: it never lies over text it was not made in.
    void highlightFollowsRowsThatChange()
    {
        TEVQListView view;
        TEVQContainer* container = selectableRows(view, QSize(260, 240));
        auto* label = new TEVQLabelEx(container);
        label->setGeometry(0, 0, 240, 24);
        label->setTextStyle(CtrlState(4), text("lTextHot"));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        view.setItemTemplate(container);
        view.setItemDisplayCallBack([](const TEVQListView*, const QWidget* t, const QModelIndex& index) {
            t->findChild<TEVQLabelEx*>()->setText(QStringLiteral("highlighted text of ") + index.data().toString());
        });
        QStringListModel model(rowTexts(8));
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto drag = [&](int from, int to) {
            grabViewport(&view);
            sendMouse(view.viewport(), QEvent::MouseButtonPress, QPoint(70, from * 24 + 10), Qt::LeftButton);
            sendMouse(view.viewport(), QEvent::MouseMove, QPoint(40, to * 24 + 10), Qt::LeftButton);
            sendMouse(view.viewport(), QEvent::MouseButtonRelease, QPoint(40, to * 24 + 10));
        };
        auto highlightedRows = [&] {
            view.doItemsLayout();
            const QImage img = grabViewport(&view);
            QList<int> rows;
            for (int row = 0; row < 10; ++row)
                for (int x = 0; x < 240 && (rows.isEmpty() || rows.last() != row); ++x)
                    if (px(img, x, row * 24 + 12) == kHighlight)
                        rows << row;
            return rows;
        };
        drag(3, 5);
        QCOMPARE(highlightedRows(), (QList<int>{3, 4, 5}));
        model.insertRows(0, 2);
        QCOMPARE(highlightedRows(), (QList<int>{5, 6, 7}));
        model.removeRows(0, 1);
        model.removeRows(8, 1);
        QCOMPARE(highlightedRows(), (QList<int>{4, 5, 6}));
        model.removeRows(6, 1); // the row the highlight ends in
        QVERIFY(highlightedRows().isEmpty());
        drag(1, 2);
        model.setStringList(rowTexts(6)); // a reset
        QVERIFY(highlightedRows().isEmpty());
        drag(1, 2);
        model.sort(0, Qt::DescendingOrder);
        QVERIFY(highlightedRows().isEmpty());
        drag(1, 2);
        QStringListModel other(rowTexts(4));
        view.setModel(&other);
        QVERIFY(highlightedRows().isEmpty());
    }

    // The text cursor shown over a selectable label goes back to the arrow when the pointer moves past the last
    // row or leaves the view, not only over another row.
    void textCursorLeavesWithThePointer()
    {
        TEVQListView view;
        TEVQContainer* container = selectableRows(view, QSize(260, 200));
        auto* label = new TEVQLabelEx(container);
        label->setGeometry(0, 0, 240, 24);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        view.setItemTemplate(container);
        QStringListModel model(rowTexts(3));
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        grabViewport(&view);
        for (bool leave : {false, true}) {
            sendMouse(view.viewport(), QEvent::MouseMove, QPoint(40, 2 * 24 + 10));
            QCOMPARE(view.cursor().shape(), Qt::IBeamCursor);
            if (leave) {
                QEvent e(QEvent::Leave);
                QApplication::sendEvent(view.viewport(), &e);
            } else {
                sendMouse(view.viewport(), QEvent::MouseMove, QPoint(40, 150));
            }
            QCOMPARE(view.cursor().shape(), Qt::ArrowCursor);
        }
    }

    void highlightInTheSecondOfTwoLabels()
    {
        // A row with a rich text title and, beside it, the selectable text: a press in the text finds its
        // position in that text, not in the title's.
        TEVQListView view;
        TEVQContainer* container = selectableRows(view, QSize(260, 100));
        auto* title = new TEVQLabelEx(container);
        title->setGeometry(0, 0, 60, 24);
        auto* body = new TEVQLabelEx(container);
        body->setGeometry(60, 0, 200, 24);
        body->setTextStyle(CtrlState(4), text("lTextHot"));
        body->setTextInteractionFlags(Qt::TextSelectableByMouse);
        view.setItemTemplate(container);
        view.setItemDisplayCallBack([](const TEVQListView*, const QWidget* t, const QModelIndex& index) {
            const QList<TEVQLabelEx*> labels = t->findChildren<TEVQLabelEx*>();
            labels[0]->setText(QStringLiteral("T"));
            labels[1]->setText(QStringLiteral("a selectable message of ") + index.data().toString());
        });
        QStringListModel model(rowTexts(3));
        view.setModel(&model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        grabViewport(&view);
        sendMouse(view.viewport(), QEvent::MouseButtonPress, QPoint(60 + 120, 24 + 10), Qt::LeftButton);
        sendMouse(view.viewport(), QEvent::MouseButtonRelease, QPoint(60 + 120, 24 + 10));
        QCOMPARE(view.delegate()->highlightStart.row, 1);
        body->setText(QStringLiteral("a selectable message of row 1"));
        body->painter()->document->setPageSize(QSizeF(200 + 20, 24 + 10));
        QCOMPARE(view.delegate()->highlightStart.column, body->painter()->positionAt(QPoint(120, 10)).column);
        QVERIFY(view.delegate()->highlightStart.column > 1);
    }

    void newTemplateOrRootDropsTheRowsLabelText()
    {
        // A press finds its position in the text its row shows now, not in the one the row showed with the
        // former template or under the former root.
        QStandardItemModel tree;
        for (const QString& shown : {QStringLiteral("ab"), QStringLiteral("a much longer text of another folder")}) {
            auto* folder = new QStandardItem;
            folder->appendRows({new QStandardItem(shown), new QStandardItem(shown)});
            tree.appendRow(folder);
        }
        TEVQListView view;
        auto newTemplate = [&view] {
            TEVQContainer* c = selectableRows(view, QSize(260, 100));
            auto* label = new TEVQLabelEx(c);
            label->setGeometry(0, 0, 240, 24);
            label->setTextStyle(CtrlState(4), text("lTextHot"));
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            view.setItemTemplate(c);
        };
        auto pressedColumn = [&view] {
            view.doItemsLayout();
            grabViewport(&view);
            sendMouse(view.viewport(), QEvent::MouseButtonPress, QPoint(200, 24 + 10), Qt::LeftButton);
            sendMouse(view.viewport(), QEvent::MouseButtonRelease, QPoint(200, 24 + 10));
            return view.delegate()->highlightStart.column;
        };
        newTemplate();
        view.setItemDisplayCallBack([](const TEVQListView*, const QWidget* t, const QModelIndex& index) {
            t->findChild<TEVQLabelEx*>()->setText(index.data().toString());
        });
        view.setModel(&tree);
        view.setRootIndex(tree.index(0, 0));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(pressedColumn() <= 2);
        view.setRootIndex(tree.index(1, 0));
        QVERIFY(pressedColumn() > 2);

        view.setRootIndex(tree.index(0, 0));
        QVERIFY(pressedColumn() <= 2);
        newTemplate();
        view.setItemDisplayCallBack([](const TEVQListView*, const QWidget* t, const QModelIndex&) {
            t->findChild<TEVQLabelEx*>()->setText(QStringLiteral("a much longer text of the second template"));
        });
        QVERIFY(pressedColumn() > 2);
    }

    void deletingModelTemplateOrRows()
    {
        auto* view = new TEVQListView;
        view->resize(220, 140);
        view->setItemHeight(24);
        view->setEnableSelection(true);
        RowTemplate t = makeTemplate(view);
        view->setItemTemplate(t.container);
        view->setItemDisplayCallBack(&showRow);
        auto* model = new QStandardItemModel;
        for (const QString& row : rowTexts(10))
            model->appendRow(new QStandardItem(row));
        view->setModel(model);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        grabViewport(view);

        // A row removed and a part deleted: the next paint and press use neither.
        model->removeRows(2, 3);
        QVERIFY(view->painter()->rowPartRects.isEmpty());
        delete t.button;
        grabViewport(view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 10));
        sendMouse(view->viewport(), QEvent::MouseMove, QPoint(160, 30));

        // The template deleted: rows are empty, presses find nothing.
        delete t.container;
        QVERIFY(!view->getitemTemplate());
        QSignalSpy spy(view, &TEVQListView::pressCtrl);
        grabViewport(view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        QCOMPARE(spy.size(), 0);

        // The model deleted while shown.
        RowTemplate again = makeTemplate(view);
        view->setItemTemplate(again.container);
        grabViewport(view);
        delete model;
        grabViewport(view);
        QCoreApplication::processEvents();

        // A template that outlives the view.
        auto* keep = new TEVQContainer;
        view->setItemTemplate(keep);
        delete view;
        delete keep;

        // A display callback that deletes the template ends the row.
        TEVQListView other;
        other.resize(100, 60);
        RowTemplate u = makeTemplate(&other);
        other.setItemTemplate(u.container);
        other.setItemDisplayCallBack([](const TEVQListView*, const QWidget* t, const QModelIndex&) {
            const_cast<QWidget*>(t)->deleteLater();
            delete const_cast<QWidget*>(t);
        });
        QStringListModel rows(rowTexts(3));
        other.setModel(&rows);
        other.show();
        grabViewport(&other);
        QVERIFY(!other.getitemTemplate());
    }

    void templatePickedUpFromPageJson()
    {
        QWidget host;
        host.resize(300, 200);
        Json::Value element = parse(R"({"type": "templateList", "attr": {"itemHeight": 26},
            "child": [{"type": "qtcontainer", "child": [{"type": "qtlabel", "attr": {"text": "x"}}]},
                      {"type": "qtscrollbar", "attr": {"hor": false}, "w": 6}]})");
        QWidget* w = createChild(element, &host);
        auto* view = qobject_cast<TEVQListView*>(w);
        QVERIFY(view);
        QVERIFY(qobject_cast<TEVQContainer*>(view->getitemTemplate()));
        QCOMPARE(int(view->delegate()->templateParts.size()), 2);
        QCOMPARE(view->getItemHeight(), 26);
        QCOMPARE(view->verticalBar()->styleSheet(),
                 QStringLiteral("QScrollBar::vertical{ width:6; } QScrollBar::horizontal{ height:6; }"));
        view->initDemoData();
        QCOMPARE(view->model()->rowCount(), 20);
    }
};

TEV_TEST_MAIN(TestLists)
#include "tst_lists.moc"
