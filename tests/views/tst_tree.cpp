// The tree view: JSON round trips and refused input, the sheet, size hints, row painting per state and with
// icons (pixels), expanding and collapsing, and a model deleted while shown.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQControlRegistry.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQTreeView.h"
#include "TEVQtLib.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTemporaryDir>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kBg(0x20, 0x20, 0x20), kRow(0x30, 0x50, 0x70), kHot(0xE0, 0x60, 0x10), kSel(0x10, 0xA0, 0x40);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "eBg", "clr": "FF202020"}, {"type": 1, "name": "eRow", "clr": "FF305070"},
    {"type": 1, "name": "eHot", "clr": "FFE06010"}, {"type": 1, "name": "eSel", "clr": "FF10A040"},
    {"type": 1, "name": "eHalf", "clr": "80FF0000"},
    {"type": 2, "name": "eText", "clr": "FFFFFFFF", "size": 12}, {"type": 2, "name": "eText2", "clr": "FF000000", "size": 14}]})";

using tevtest::parse;
using tevtest::fill;
using tevtest::text;
using tevtest::grabViewport;

QColor px(const QImage& img, int x, int y) { return QColor::fromRgb(img.pixel(x, y)); }

QPixmap solid(const QColor& c, int size = 32)
{
    QPixmap p(size, size);
    p.fill(c);
    return p;
}

// Five top-level rows "n0".."n4", each with two children.
QStandardItemModel* makeTree(QObject* parent)
{
    auto* model = new QStandardItemModel(parent);
    for (int i = 0; i < 5; ++i) {
        auto* item = new QStandardItem(QStringLiteral("n%1").arg(i));
        for (int k = 0; k < 2; ++k)
            item->appendRow(new QStandardItem(QStringLiteral("n%1.%2").arg(i).arg(k)));
        model->appendRow(item);
    }
    return model;
}

struct Tree {
    TEVQTreeView view;
    QStandardItemModel* model;
    Tree()
    {
        model = makeTree(&view);
        view.setModel(model);
        view.setBackground(CommonCtrlStateNormal, fill("eBg"));
        view.setItemBackground(CtrlState(4), fill("eRow"));
        view.setItemBackground(CtrlStateHot, fill("eHot"));
        view.setItemBackground(CtrlStatePressed, fill("eSel"));
        view.setItemTextStyle(CtrlState(4), text("eText"));
        view.resize(300, 300);
        view.show();
        const bool exposed = QTest::qWaitForWindowExposed(&view);
        Q_UNUSED(exposed);
    }
};

} // namespace

class TestTree : public QObject
{
    Q_OBJECT
    QTemporaryDir m_theme;

private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), kStyleJson));
        QImage blue(24, 24, QImage::Format_ARGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(m_theme.filePath("blue.png")));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        tevInitQtControl();
    }

    void cleanup() { detail::setQtEmulator(false); }

    void jsonAndSetters()
    {
        TEVQTreeView view;
        QCOMPARE(view.getTypeName(), QStringLiteral("qttree"));
        QVERIFY(view.header()->isHidden());
        QCOMPARE(view.getItemHeight(), 0);
        // A fresh tree writes its height of 0; a height of 20 is not written.
        Json::Value out(Json::objectValue);
        QVERIFY(view.serializeJsonValue(&out, false));
        QCOMPARE(json::getInt(json::get(out, "attr"), "itemHeight", -1), 0);
        view.setItemHeight(20);
        QVERIFY(view.serializeJsonValue(&out, false));
        QVERIFY(!json::find(json::get(out, "attr"), "itemHeight"));
        view.setItemHeight(-4); // ignored
        QCOMPARE(view.getItemHeight(), 20);

        Json::Value in = parse(R"({"style": [["eBg", 1, 0], ["eRow", 1, 2], ["eHot", 1, 3], ["eText", 2, 6],
            ["eText2", 2, 9], ["eSel", 1, 1], ["eSel", 1, 10], ["nope", 1, 4], 7, ["eSel"]],
            "attr": {"itemHeight": 30},
            "child": [{"type": "scrollbar", "attr": {"hor": true, "size": 4}, "h": 9}]})");
        QVERIFY(view.readJsonValue(&in));
        QCOMPARE(view.getBackground(CommonCtrlStateNormal).name, QStringLiteral("eBg"));
        QCOMPARE(view.getItemBackground(CtrlStateNormal).name, QStringLiteral("eRow"));
        QCOMPARE(view.getItemBackground(CtrlStateHot).name, QStringLiteral("eHot"));
        QCOMPARE(view.getItemBackground(CtrlStateDisable).name, QStringLiteral("eRow"));
        QCOMPARE(view.getItemTextStyle(CtrlStatePressed).name, QStringLiteral("eText"));
        QCOMPARE(view.getItemTextStyle(CtrlStateDisable).name, QStringLiteral("eText2"));
        QCOMPARE(view.getItemHeight(), 30);
        QCOMPARE(view.painter()->scrollbarBtnSize, 4);
        const QString sheet = QStringLiteral("QScrollBar::vertical{ width:9; } QScrollBar::horizontal{ height:9; } ");
        QCOMPARE(view.verticalBar()->styleSheet(), sheet);
        QCOMPARE(view.horizontalBar()->styleSheet(), sheet);

        QVERIFY(view.serializeJsonValue(&out, false));
        TEVQTreeView again;
        QVERIFY(again.readJsonValue(&out));
        for (int s = 0; s < 4; ++s) {
            QCOMPARE(again.getItemBackground(CtrlState(s)).name, view.getItemBackground(CtrlState(s)).name);
            QCOMPARE(again.getItemTextStyle(CtrlState(s)).name, view.getItemTextStyle(CtrlState(s)).name);
        }
        QCOMPARE(again.getItemHeight(), 30);
        Json::Value bad = parse(R"({"style": "x", "attr": {"itemHeight": "tall"}, "child": [3, {"type": 1}]})");
        again.readJsonValue(&bad);
        QCOMPARE(again.getItemHeight(), 30);

        // State 4 sets all four; the sheet ignores the flag and has no button rules.
        view.setItemBackground(CtrlState(4), fill("eSel"));
        for (int s = 0; s < 4; ++s)
            QCOMPARE(view.getItemBackground(CtrlState(s)).name, QStringLiteral("eSel"));
        view.setScrollbarSize(true, 8);
        QCOMPARE(view.verticalBar()->styleSheet(),
                 QStringLiteral("QScrollBar::vertical{ width:8; } QScrollBar::horizontal{ height:8; } "));
    }

    void catalogueAndPreview()
    {
        const ControlInfo info = TEVQTreeView::getProps();
        QStringList labels;
        for (const PropertyDef& d : info.props)
            labels << d.name;
        QCOMPARE(labels.mid(labels.size() - 4), (QStringList{"Background", "Background", "TextStyle", "ItemHeight"}));
        TEVQTreeView view;
        view.initDemoData();
        QVERIFY(!view.model());
        detail::setQtEmulator(true);
        view.createComplete();
        QVERIFY(view.model());
        QCOMPARE(view.model()->rowCount(), 100);
        const QModelIndex first = view.model()->index(0, 0);
        QCOMPARE(first.data().toString(), QStringLiteral("item1"));
        QVERIFY(view.model()->flags(first) & Qt::ItemIsUserCheckable);
        QCOMPARE(view.model()->rowCount(first), 1);
        QCOMPARE(view.model()->index(0, 1, first).data().toString(), QStringLiteral("item3"));
        view.expand(first);
        view.resize(240, 160);
        QVERIFY(tevtest::keepRender(view.grab().toImage(), QStringLiteral("views_tree_preview.png")));
        QWidget* made = createControlByType("tree", nullptr);
        QVERIFY(qobject_cast<TEVQTreeView*>(made));
        delete made;
    }

    void sizeHints()
    {
        TEVQTreeView view;
        view.setItemTextStyle(CtrlState(4), text("eText"));
        QStandardItemModel model;
        auto* both = new QStandardItem(QStringLiteral("display"));
        both->setToolTip(QStringLiteral("a longer tool tip"));
        auto* empty = new QStandardItem;
        auto* icon = new QStandardItem(QStringLiteral("x"));
        icon->setIcon(QIcon(solid(Qt::red)));
        model.appendRow({both});
        model.appendRow({empty});
        model.appendRow({icon});
        view.setModel(&model);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 100, 20);
        const QFontMetrics fm(TEVQWidgetBaseImpl::styleFont(text("eText")));
        auto hint = [&](int row) { return view.delegate()->sizeHint(option, model.index(row, 0)); };
        const int widths = TEVQWidgetBaseImpl::getTextSize(text("eText"), QStringLiteral("display")).width()
                           + TEVQWidgetBaseImpl::getTextSize(text("eText"), QStringLiteral("a longer tool tip")).width();
        QCOMPARE(hint(0), QSize(8 + widths, 20));
        QCOMPARE(hint(1).width(), view.delegate()->QItemDelegate::sizeHint(option, model.index(1, 0)).width());
        QCOMPARE(hint(2).width(), 4 + 16 + 4 + TEVQWidgetBaseImpl::getTextSize(text("eText"), "x").width());
        view.setItemHeight(40);
        QCOMPARE(hint(2), QSize(4 + 32 + 4 + TEVQWidgetBaseImpl::getTextSize(text("eText"), "x").width(), 40));
        QVERIFY(fm.height() > 0);
    }

    void rowHeightReadAgainLaysOutTheRows()
    {
        // A row height read again (as a theme change does) on a tree whose rows are laid out already.
        TEVQTreeView view;
        QStandardItemModel model(3, 1);
        view.setModel(&model);
        view.resize(200, 200);
        view.doItemsLayout();
        QCOMPARE(view.visualRect(model.index(1, 0)).top(), 20);
        Json::Value taller = parse(R"({"attr": {"itemHeight": 45}})");
        QVERIFY(view.readJsonValue(&taller));
        QCOMPARE(view.visualRect(model.index(1, 0)).top(), 45);
    }

    void rowsByStateAndIcons()
    {
        Tree t;
        t.view.setItemHeight(30);
        t.view.doItemsLayout();
        t.model->item(0)->setIcon(QIcon(solid(Qt::red)));
        t.model->item(1)->setData(QStringLiteral("blue.png"), Qt::DecorationRole);
        t.model->item(2)->setData(solid(Qt::yellow), Qt::DecorationRole); // a pixmap: no icon
        t.view.selectionModel()->select(t.model->index(3, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QImage img = grabViewport(&t.view);
        const QRect r0 = t.view.visualRect(t.model->index(0, 0));
        QCOMPARE(r0.height(), 30);
        // A 24 x 24 icon centred in the first 28 pixels of the row.
        QCOMPARE(px(img, r0.left() + 3, r0.center().y()), QColor(Qt::red));
        QCOMPARE(px(img, r0.left() + 25, r0.center().y()), QColor(Qt::red));
        QCOMPARE(px(img, r0.left() + 27, r0.center().y()), kRow);
        QCOMPARE(px(img, r0.left() + 1, r0.center().y()), kRow);
        QCOMPARE(px(img, r0.left() + 3, r0.top() + 1), kRow);
        const QRect r1 = t.view.visualRect(t.model->index(1, 0));
        QCOMPARE(px(img, r1.left() + 14, r1.center().y()), QColor(Qt::blue));
        const QRect r2 = t.view.visualRect(t.model->index(2, 0));
        QCOMPARE(px(img, r2.left() + 14, r2.center().y()), kRow);
        const QRect r3 = t.view.visualRect(t.model->index(3, 0));
        QCOMPARE(px(img, r3.left() + 40, r3.top() + 2), kSel);
        QCOMPARE(px(img, 100, 290), kBg);
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_tree.png")));

        // A translucent background is laid once under the rows, not once more over itself.
        t.view.setBackground(CommonCtrlStateNormal, fill("eHalf"));
        QCOMPARE(qAlpha(grabViewport(&t.view).pixel(100, 290)), 0x80);
        // Also on a viewport the application put in place.
        t.view.setBackground(CommonCtrlStateNormal, fill("eBg"));
        t.view.setViewport(new QWidget);
        QCOMPARE(px(grabViewport(&t.view), 100, 290), kBg);
    }

    // The row texts kept between paints follow expanding and collapsing (rows of one number under different
    // parents take turns on screen), a changed text and a changed text style: the rows then look as those of
    // a tree made afresh in the new state.
    void keptRowTextsFollowEveryChange()
    {
        QString childText = QStringLiteral("n1.0");
        int pixelSize = 12;
        QList<int> expanded;
        auto apply = [&](Tree& t) {
            t.model->item(1)->child(0)->setText(childText);
            TextStyleDesc style = text("eText");
            style.pixelSize = pixelSize;
            t.view.setItemTextStyle(CtrlState(4), style);
            for (int i = 0; i < 5; ++i)
                t.view.setExpanded(t.model->index(i, 0), expanded.contains(i));
        };
        Tree kept;
        apply(kept);
        auto same = [&](const char* step) {
            Tree fresh;
            apply(fresh);
            const bool equal = grabViewport(&kept.view) == grabViewport(&fresh.view);
            if (!equal)
                QTest::qFail(qPrintable(QStringLiteral("stale rows after: %1").arg(QLatin1String(step))), __FILE__,
                             __LINE__);
            return equal;
        };
        QVERIFY(same("first paint"));
        for (const QList<int>& open : {QList<int>{0}, QList<int>{1}, QList<int>{0, 2}, QList<int>{2}, QList<int>{}}) {
            expanded = open;
            apply(kept);
            QVERIFY(same("expanding and collapsing"));
        }
        expanded = {1};
        apply(kept);
        childText = QStringLiteral("a renamed child");
        apply(kept);
        QVERIFY(same("a text"));
        pixelSize = 16;
        apply(kept);
        QVERIFY(same("a text style"));
    }

    void expandAndCollapse()
    {
        Tree t;
        const QModelIndex n1 = t.model->index(1, 0);
        const QModelIndex child = t.model->index(0, 0, n1);
        QVERIFY(!t.view.isExpanded(n1));
        QVERIFY(t.view.visualRect(child).isEmpty());
        const QRect before = t.view.visualRect(t.model->index(2, 0));
        QCOMPARE(before.height(), 20);
        // A double click expands (and selects) the row; the children push the next row down.
        QTest::mouseClick(t.view.viewport(), Qt::LeftButton, Qt::NoModifier, t.view.visualRect(n1).center());
        QTest::mouseDClick(t.view.viewport(), Qt::LeftButton, Qt::NoModifier, t.view.visualRect(n1).center());
        QVERIFY(t.view.isExpanded(n1));
        QCOMPARE(t.view.visualRect(child).height(), 20);
        QCOMPARE(t.view.visualRect(t.model->index(2, 0)).top(), before.top() + 40);
        QImage img = grabViewport(&t.view);
        QCOMPARE(px(img, t.view.visualRect(child).center().x(), t.view.visualRect(child).top() + 2), kRow);
        QVERIFY(tevtest::keepRender(t.view.grab().toImage(), QStringLiteral("views_tree_expanded.png")));
        t.view.collapse(n1);
        QVERIFY(!t.view.isExpanded(n1));
        QVERIFY(t.view.visualRect(child).isEmpty());
        QCOMPARE(t.view.visualRect(t.model->index(2, 0)), before);
        t.view.expandAll();
        QCOMPARE(t.view.visualRect(t.model->index(1, 0, t.model->index(4, 0))).top(), 14 * 20);

        // Deleting the model while shown.
        delete t.model;
        img = grabViewport(&t.view);
        QCOMPARE(px(img, 100, 20), kBg);
    }
};

TEV_TEST_MAIN(TestTree)
#include "tst_tree.moc"
