// The ribbon on screen: its geometry rules as tables (sizes derived from the fonts in use), the bar's rows in
// both modes with tab and page scrolling and the minimized pop-up, the press, release and click rules of each
// popup mode driven through QTest, the pixels of button states, tabs, separators and menus, and pictures of
// the whole bar in both modes, minimized and in two languages.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQRibbonBar.h"
#include "TEVQRibbonLayout.h"
#include "LanguageManager.h"
#include "TEVQPushButton.h"
#include "TEVQWindow.h"
#include "TEVQtLib.h"

#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <limits>

using namespace TEVQtLib;
namespace rl = TEVQtLib::ribbonlayout;

namespace {

QImage grab(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img);
    return img;
}

QColor px(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
           && qAbs(a.blue() - b.blue()) <= tolerance;
}

const char* const kDocument = R"({"schemaVersion": 1, "layoutMode": "%1", "currentPage": "home",
  "application": {"text": "%2", "menu": [{"id": "open", "text": "%3"}]},
  "quickAccess": [{"id": "save", "text": "S"}, {"id": "undo", "text": "U"}],
  "topRight": [{"control": "lineEdit", "id": "find", "placeholder": "%4", "width": 120}],
  "pages": [{"id": "home", "text": "%5", "groups": [
      {"id": "clip", "text": "%6", "items": [
        {"id": "paste", "text": "%7", "popup": "split", "menu": [{"id": "ps", "text": "%8"}]},
        {"type": "separator"},
        {"id": "cut", "text": "%9", "size": "small"}, {"id": "copy", "text": "%10", "size": "small"},
        {"id": "fmt", "text": "%11", "size": "small", "checkable": true, "checked": true}]},
      {"id": "styles", "text": "%12", "expanding": true, "items": [
        {"type": "gallery", "columns": 3, "rows": 2, "items": [{"id": "s1", "text": "H1"}, {"id": "s2", "text": "H2"},
          {"id": "s3", "text": "H3"}, {"id": "s4", "text": "B"}, {"id": "s5", "text": "I"}, {"id": "s6", "text": "U"},
          {"id": "s7", "text": "Q"}]},
        {"type": "widget", "control": "comboBox", "id": "font", "items": ["Sans"], "size": "medium"},
        {"type": "widget", "control": "spinBox", "id": "size", "value": 11, "size": "medium"}]}]},
    {"id": "view", "text": "%13"}],
  "contextGroups": [{"id": "pic", "text": "Picture", "color": "#ffe07020", "visible": true,
                     "pages": [{"id": "format", "text": "%14"}]}]})";

QString document(const QString& mode, bool chinese)
{
    const QStringList en{"File", "Open", "Search", "Home", "Clipboard", "Paste", "Paste special", "Cut", "Copy",
                         "Format", "Styles", "View", "Format picture"};
    const QStringList zh{QStringLiteral("文件"), QStringLiteral("打开"), QStringLiteral("搜索"), QStringLiteral("开始"),
                         QStringLiteral("剪贴板"), QStringLiteral("粘贴"), QStringLiteral("选择性粘贴"),
                         QStringLiteral("剪切"), QStringLiteral("复制"), QStringLiteral("格式刷"),
                         QStringLiteral("样式"), QStringLiteral("视图"), QStringLiteral("图片格式")};
    const QStringList& t = chinese ? zh : en;
    QString text = QString::fromUtf8(kDocument).arg(mode);
    for (const QString& s : t)
        text = text.arg(s);
    return text;
}

// A bar with one group, shown.
struct Shown
{
    TEVQRibbonBar bar;
    TEVQRibbonGroup* group = nullptr;
    Shown()
    {
        group = bar.addPage(QStringLiteral("p"), QStringLiteral("Page"))->addGroup(QStringLiteral("g"), QStringLiteral("G"));
        bar.resize(700, 130);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
    }
};

// A widget that asks for a size and takes any.
class Hinted : public QWidget
{
public:
    explicit Hinted(QSize hint) : m_hint(hint) {}
    QSize sizeHint() const override { return m_hint; }

private:
    QSize m_hint;
};

QAction* command(QObject* parent, const QString& id)
{
    auto* a = new QAction(id, parent);
    a->setObjectName(id);
    return a;
}

} // namespace

class TestRibbonView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tevInitQtControl(); }

    // ---- geometry tables ----

    void header_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("compact");
        QTest::addColumn<int>("header");
        QTest::newRow("office") << 30 << 31 << false << 61;
        QTest::newRow("compact") << 30 << 31 << true << 31;
        QTest::newRow("low top") << 10 << 31 << false << 55;
        QTest::newRow("low both compact") << 3 << 5 << true << 24;
    }
    void header()
    {
        QFETCH(int, top);
        QFETCH(int, tab);
        QFETCH(bool, compact);
        QFETCH(int, header);
        QCOMPARE(rl::header(top, tab, compact).header, header);
    }

    void buttonAndTabSizesFollowTheFont()
    {
        TEVQRibbonButton probe;
        const QFontMetrics fm(probe.font());
        struct Row { const char* text; int size; };
        for (const Row& r : {Row{"Paste", 0}, Row{"A much longer command", 0}, Row{"Cut", 1}, Row{"Copy it", 2},
                             Row{"", 2}}) {
            TEVQRibbonButton b(nullptr, nullptr, TEV_RIBBON_ITEM_SIZE(r.size));
            b.setText(QString::fromLatin1(r.text));
            const int w = fm.horizontalAdvance(b.text());
            const QSize expected = r.size == 0 ? QSize(qMax(w + 20, 64), 68)
                                   : r.size == 1 ? QSize(qMax(w + 34, 74), 30) : QSize(qMax(w + 30, 54), 24);
            QCOMPARE(b.sizeHint(), expected);
        }
        QCOMPARE(rl::tabWidth(200), 150);
        QCOMPARE(rl::tabWidth(0), 68);
        QCOMPARE(rl::tabWidth(100), 128);
    }

    // Tabs follow every change to the pages made one at a time: the tab row then looks as that of a bar made
    // at once with the outcome, also after a font change, and a page's tab outlives changes to other pages.
    void tabsBuiltPageByPageMatchAFreshBar()
    {
        QFont big;
        big.setPixelSize(19);
        TEVQRibbonBar bar;
        bar.resize(900, 130);
        bar.show();
        QSignalSpy current(&bar, &TEVQRibbonBar::currentPageChanged);
        for (int i = 0; i < 5; ++i)
            bar.addPage(QStringLiteral("p%1").arg(i), QStringLiteral("Page %1").arg(i));
        QCOMPARE(current.count(), 1); // the first page became current, once
        QPointer<TEVQRibbonButton> firstTab = bar.tabButtons()[0];
        bar.insertPage(2, QStringLiteral("x"), QStringLiteral("Inserted"));
        QVERIFY(bar.removePage(bar.pageAt(4)));
        bar.pageAt(1)->setTitle(QStringLiteral("A much longer title"));
        TEVQRibbonContextGroup* ctx = bar.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), Qt::red);
        ctx->addPage(QStringLiteral("cp"), QStringLiteral("Context"));
        bar.showContextGroup(QStringLiteral("c"));
        bar.hideContextGroup(QStringLiteral("c"));
        bar.showContextGroup(QStringLiteral("c"));
        QVERIFY(bar.setCurrentPage(QStringLiteral("x")));
        bar.setFont(big);
        bar.updateLayout();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(firstTab); // still the first page's tab
        QCOMPARE(bar.tabButtons()[0], firstTab.data());

        TEVQRibbonBar fresh;
        fresh.setFont(big);
        fresh.resize(900, 130);
        fresh.show();
        for (const char* id : {"p0", "p1", "x", "p2", "p4"})
            fresh.addPage(QString::fromLatin1(id), QString());
        fresh.pageAt(0)->setTitle(QStringLiteral("Page 0"));
        fresh.pageAt(1)->setTitle(QStringLiteral("A much longer title"));
        fresh.pageAt(2)->setTitle(QStringLiteral("Inserted"));
        fresh.pageAt(3)->setTitle(QStringLiteral("Page 2"));
        fresh.pageAt(4)->setTitle(QStringLiteral("Page 4"));
        TEVQRibbonContextGroup* freshCtx = fresh.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), Qt::red);
        freshCtx->addPage(QStringLiteral("cp"), QStringLiteral("Context"));
        fresh.showContextGroup(QStringLiteral("c"));
        QVERIFY(fresh.setCurrentPage(QStringLiteral("x")));
        fresh.updateLayout();

        QCOMPARE(bar.tabButtons().size(), fresh.tabButtons().size());
        for (size_t i = 0; i < fresh.tabButtons().size(); ++i) {
            const TEVQRibbonButton* a = bar.tabButtons()[i];
            const TEVQRibbonButton* b = fresh.tabButtons()[i];
            QCOMPARE(a->objectName(), b->objectName());
            QCOMPARE(a->text(), b->text());
            QCOMPARE(a->geometry(), b->geometry());
            QCOMPARE(a->isChecked(), b->isChecked());
            QCOMPARE(a->isVisible(), b->isVisible());
            QCOMPARE(a->property("tevRibbonContextColor"), b->property("tevRibbonContextColor"));
        }
        QCOMPARE(grab(bar.tabRowWidget()), grab(fresh.tabRowWidget()));
        // The Tab key follows the tabs as shown, past the tab made for the inserted page as well.
        for (size_t i = 1; i < bar.tabButtons().size(); ++i) {
            QWidget* next = bar.tabButtons()[i - 1]->nextInFocusChain();
            while (next && !bar.tabButtons()[i]->isAncestorOf(next) && next != bar.tabButtons()[i] &&
                   std::find(bar.tabButtons().begin(), bar.tabButtons().end(), next) == bar.tabButtons().end())
                next = next->nextInFocusChain();
            QCOMPARE(next, static_cast<QWidget*>(bar.tabButtons()[i]));
        }
    }

    void groupColumns()
    {
        using GI = rl::GroupItem;
        // Five small items in three rows: a column of three, then one of two.
        const std::vector<GI> five(5, GI{2, 60});
        QCOMPARE(rl::groupHintWidth(five, 3), 8 + 64 + 64);
        std::vector<QRect> r = rl::groupItems(five, 3, 88);
        QCOMPARE(r[0], QRect(4, 4, 60, 18)); // content 61, rows of 20
        QCOMPARE(r[2], QRect(4, 44, 60, 18));
        QCOMPARE(r[3], QRect(68, 4, 60, 18));
        // A large item between small ones closes the open column.
        const std::vector<GI> mixed{{2, 50}, {0, 70}, {1, 80}, {2, 40}};
        QCOMPARE(rl::groupHintWidth(mixed, 3), 8 + 54 + 74 + 84);
        r = rl::groupItems(mixed, 3, 88);
        QCOMPARE(r[0], QRect(4, 4, 50, 18));
        QCOMPARE(r[1], QRect(58, 4, 70, 61));
        QCOMPARE(r[2], QRect(132, 4, 80, 18));
        QCOMPARE(r[3], QRect(132, 24, 80, 18));
        // Never below 80; rows never below 20 pixels.
        QCOMPARE(rl::groupHintWidth({}, 3), 80);
        QCOMPARE(rl::groupItems({GI{2, 10}}, 3, 30)[0], QRect(4, 4, 10, 18));
    }

    void tabRow()
    {
        rl::TabInput in;
        in.textWidths = {40, 200, 0};
        in.rowWidth = 500;
        in.rowHeight = 31;
        rl::TabResult r = rl::tabs(in);
        QVERIFY(!r.overflow);
        QCOMPARE(r.tabs[0], QRect(4, 1, 68, 29));
        QCOMPARE(r.tabs[1], QRect(74, 1, 150, 29));
        QCOMPARE(r.contentWidth, 70 + 152 + 70);
        // Too narrow: scroll buttons, the offset clamped, tabs cut off at either end hidden.
        in.rowWidth = 200;
        in.offset = 1000;
        r = rl::tabs(in);
        QVERIFY(r.overflow);
        QCOMPARE(r.offset, 292 - 152);
        QCOMPARE(r.scrollLeft, QRect(0, 0, 20, 31));
        QCOMPARE(r.scrollRight, QRect(180, 0, 20, 31));
        QVERIFY(r.leftEnabled);
        QVERIFY(!r.rightEnabled);
        QCOMPARE(r.visible, (std::vector<bool>{false, true, true}));
        // Compact: between the top-row pieces; the left scroll button sits just left of the tabs.
        in.compact = true;
        in.contentLeft = 100;
        in.contentRight = 250;
        in.offset = 0;
        r = rl::tabs(in);
        QCOMPARE(r.scrollLeft, QRect(100, 0, 20, 31));
        QCOMPARE(r.tabs[0].x(), 120);
    }

    void pageGroups()
    {
        // Two expanding groups share the spare width; the remainder stays at the right.
        rl::PageResult r = rl::page({100, 100, 100}, {true, false, true}, 500, 96, 50);
        QVERIFY(!r.overflow);
        QCOMPARE(r.offset, 0);
        QCOMPARE(r.contentWidth, 320);
        QCOMPARE(r.groups[0], QRect(4, 4, 190, 88));
        QCOMPARE(r.groups[1], QRect(198, 4, 100, 88));
        QCOMPARE(r.groups[2], QRect(302, 4, 190, 88));
        // Overflow: scroll buttons and an offset clamped to the content less the view.
        r = rl::page({300, 300}, {true, true}, 400, 96, 1000);
        QVERIFY(r.overflow);
        QCOMPARE(r.offset, 616 - 360);
        QCOMPARE(r.groups[0].x(), 20 - 256 + 4);
        QCOMPARE(r.groups[0].width(), 300);
        QCOMPARE(rl::scrolledPageOffset(616, 400, 0, -120), 0);
        QCOMPARE(rl::scrolledPageOffset(616, 400, 200, 120), 256);
    }

    void galleryPaging()
    {
        rl::GalleryResult r = rl::gallery(7, 3, 2, 0, 218, 60);
        QCOMPARE(r.pageUp, QRect(198, 0, 20, 20));
        QCOMPARE(r.more, QRect(198, 40, 20, 20));
        QCOMPARE(r.cells[0], QRect(0, 0, 64, 29));
        QCOMPARE(r.cells[5], QRect(130, 30, 64, 29)); // cells of (198 - 2) / 3 = 65
        QVERIFY(r.cells[6].isNull());
        QVERIFY(!r.upEnabled);
        QVERIFY(r.downEnabled);
        const int first = rl::galleryPaged(7, 3, 2, 0, true);
        QCOMPARE(first, 1);
        r = rl::gallery(7, 3, 2, first, 218, 60);
        QVERIFY(r.cells[0].isNull());
        QCOMPARE(r.cells[6], QRect(130, 30, 64, 29));
        QCOMPARE(rl::galleryPaged(7, 3, 2, first, false), 0);

        // The widget: "v" pages, "..." lists every item.
        TEVQRibbonGallery g;
        for (int i = 0; i < 7; ++i)
            g.addItem(QStringLiteral("i%1").arg(i), QStringLiteral("Item %1").arg(i));
        g.resize(g.sizeHint());
        g.show();
        QVERIFY(!g.itemButtons()[6]->isVisibleTo(&g));
        QTest::mouseClick(g.pageDownButton(), Qt::LeftButton);
        QCOMPARE(g.firstVisible(), 1);
        QVERIFY(g.itemButtons()[6]->isVisibleTo(&g));
        QVERIFY(!g.itemButtons()[0]->isVisibleTo(&g));
        QTest::mouseClick(g.moreButton(), Qt::LeftButton);
        auto* more = g.findChild<TEVQRibbonMenu*>();
        QVERIFY(more);
        QCOMPARE(more->actions().size(), 7);
        more->close();
    }

    // What changes a size hint after the layout lays out again: an action's new text (also while its page is
    // hidden), items taken out, a group made expanding, the rows of an element read, a document of the other
    // mode for a bar held by a layout.
    void layoutFollowsHintChanges()
    {
        Shown s;
        TEVQRibbonPage* page = s.bar.pageAt(0);
        TEVQRibbonGroup* second = page->addGroup(QStringLiteral("g2"), QString());
        QAction* a = command(&s.bar, QStringLiteral("Cut"));
        TEVQRibbonButton* b = s.group->addLargeAction(a);
        a->setText(QStringLiteral("Cut the selection to the clipboard"));
        QCoreApplication::processEvents();
        QCOMPARE(b->width(), b->sizeHint().width());
        QCOMPARE(second->x(), 4 + s.group->width() + 4);
        s.group->clearItems();
        QCOMPARE(second->x(), 4 + 80 + 4);
        second->setExpanding(true);
        QCoreApplication::processEvents();
        QCOMPARE(second->width(), 80 + page->width() - (4 + 84 + 84 + 4));

        QAction* other = command(&s.bar, QStringLiteral("Copy"));
        TEVQRibbonButton* hidden = s.bar.addPage(QStringLiteral("q"), QString())->addGroup(QStringLiteral("h"), QString())
                                       ->addLargeAction(other);
        other->setText(QStringLiteral("Copy the selection to the clipboard"));
        QCoreApplication::processEvents();
        QVERIFY(s.bar.setCurrentPage(1));
        QCOMPARE(hidden->width(), hidden->sizeHint().width());

        Json::Value e;
        QVERIFY(json::parse(QByteArray(R"({"attr": {"groupRows": 2, "ribbon": {"schemaVersion": 1, "pages": [{"id": "p",
            "groups": [{"id": "g", "items": [{"id": "a", "size": "small"}, {"id": "b", "size": "small"},
            {"id": "c", "size": "small"}]}]}]}}})"), e));
        QVERIFY(s.bar.readJsonValue(&e));
        const TEVQRibbonGroup* g = s.bar.pageAt(0)->groupAt(0);
        QCOMPARE(g->itemAt(2)->widget->y(), g->itemAt(0)->widget->y());
        QVERIFY(g->itemAt(2)->widget->x() > g->itemAt(0)->widget->x());

        QWidget host;
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        auto* held = new TEVQRibbonBar;
        column->addWidget(held);
        column->addStretch();
        host.resize(700, 300);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(held->height(), 61 + 96);
        QVERIFY(held->loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "layoutMode": "compact"})")));
        QCoreApplication::processEvents();
        QCOMPARE(held->height(), 31 + 96);
    }

    // ---- the bar's rows ----

    void topRowPieces()
    {
        Shown s;
        TEVQRibbonBar& bar = s.bar;
        TEVQRibbonButton* quick = bar.addQuickAction(command(&bar, QStringLiteral("q")));
        QCOMPARE(quick->width(), 28);
        QCOMPARE(quick->geometry(), QRect(4, 3, 28, 24));
        auto* wide = new Hinted(QSize(300, 10));
        auto* narrow = new Hinted(QSize(20, 10));
        bar.addTopRightWidget(wide);
        bar.addTopRightWidget(narrow);
        QCOMPARE(narrow->geometry(), QRect(700 - 4 - 40, 3, 40, 24));
        QCOMPARE(wide->geometry(), QRect(700 - 48 - 180, 3, 180, 24));
        QCOMPARE(bar.tabRowWidget()->geometry(), QRect(0, 30, 700, 31));
        QCOMPARE(bar.pageAreaWidget()->geometry(), QRect(0, 61, 700, 69));

        bar.setLayoutMode(TEV_RIBBON_LAYOUT_COMPACT);
        QCOMPARE(quick->parentWidget(), bar.tabRowWidget());
        QCOMPARE(quick->geometry(), QRect(4, 3, 28, 24)); // the top row's height also in the tab row
        QVERIFY(!bar.topRowWidget()->isVisible());
        QCOMPARE(bar.pageAreaWidget()->geometry(), QRect(0, 31, 700, 99));
        QCOMPARE(bar.groupRows(), 2);
        QCOMPARE(bar.sizeHint(), QSize(720, 31 + 96));
        QCOMPARE(bar.tabButtons()[0]->x(), 4 + 30 + 4);
    }

    void tabScrolling()
    {
        Shown s;
        TEVQRibbonBar& bar = s.bar;
        for (int i = 0; i < 8; ++i)
            bar.addPage(QStringLiteral("page%1").arg(i), QStringLiteral("A long tab title %1").arg(i));
        QVERIFY(bar.isTabOverflowing());
        QVERIFY(bar.tabScrollRightButton()->isVisible());
        QVERIFY(!bar.tabScrollLeftButton()->isEnabled());
        QVERIFY(!bar.tabButtons().back()->isVisible());
        QTest::mouseClick(bar.tabScrollRightButton(), Qt::LeftButton);
        QCOMPARE(bar.tabScrollOffset(), 100);
        for (int i = 0; i < 30; ++i)
            QTest::mouseClick(bar.tabScrollRightButton(), Qt::LeftButton);
        QVERIFY(bar.tabButtons().back()->isVisible());
        QVERIFY(!bar.tabScrollRightButton()->isEnabled());
        bar.resize(3000, 130);
        QVERIFY(!bar.isTabOverflowing());
        QCOMPARE(bar.tabScrollOffset(), 0);
    }

    void pageScrollingAndWheel()
    {
        Shown s;
        TEVQRibbonPage* page = s.group->page();
        for (int i = 0; i < 12; ++i)
            s.group->addLargeAction(command(&s.bar, QStringLiteral("cmd%1").arg(i)));
        QVERIFY(page->isOverflowing());
        QVERIFY(page->scrollRightButton()->isVisible());
        QWheelEvent down(QPointF(50, 30), page->mapToGlobal(QPoint(50, 30)), QPoint(), QPoint(0, -1), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(page, &down);
        QVERIFY(down.isAccepted());
        QCOMPARE(page->scrollOffset(), 80);
        // Any distance stops at either end.
        const int end = page->contentWidth() - (page->width() - 40);
        page->scrollBy(std::numeric_limits<int>::max());
        QCOMPARE(page->scrollOffset(), end);
        page->scrollBy(std::numeric_limits<int>::min());
        QCOMPARE(page->scrollOffset(), 0);
        page->scrollBy(80);
        QTest::mouseClick(page->scrollLeftButton(), Qt::LeftButton);
        QCOMPARE(page->scrollOffset(), 0);
        page->clearGroups();
        QCOMPARE(page->scrollOffset(), 0);
        QVERIFY(!page->isOverflowing());
        QVERIFY(!page->scrollRightButton()->isVisible());
        // A page that fits leaves the wheel to the container: no scrolling.
        QWheelEvent again(QPointF(50, 30), page->mapToGlobal(QPoint(50, 30)), QPoint(), QPoint(0, -1200),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(page, &again);
        QCOMPARE(page->scrollOffset(), 0);
    }

    void minimizedPopupOpensBelowTheHeader()
    {
        Shown s;
        TEVQRibbonBar& bar = s.bar;
        bar.setRowHeights(10, 31, 96);
        bar.updateLayout();
        bar.setMinimized(true);
        QCOMPARE(bar.sizeHint().height(), 24 + 31);
        QVERIFY(!bar.pageAreaWidget()->isVisible());
        QVERIFY(bar.setCurrentPage(0));
        QVERIFY(bar.minimizedPopupWidget()->isVisible());
        QCOMPARE(bar.minimizedPopupWidget()->geometry(),
                 QRect(bar.mapToGlobal(QPoint(0, 55)), QSize(bar.width(), 96)));
        QCOMPARE(bar.pageAreaWidget()->parentWidget(), bar.minimizedPopupWidget());
        QVERIFY(bar.currentPageWidget()->isVisible());
        // Hidden by itself (a click elsewhere): the page area comes home, hidden.
        bar.minimizedPopupWidget()->hide();
        QCOMPARE(bar.pageAreaWidget()->parentWidget(), &bar);
        QVERIFY(!bar.pageAreaWidget()->isVisible());

        // The pop-up goes with the bar when the bar is hidden; a minimized bar not on screen (not shown yet, or
        // hidden) opens none when a page is chosen.
        QVERIFY(bar.setCurrentPage(0));
        QVERIFY(bar.minimizedPopupWidget()->isVisible());
        bar.hide();
        QVERIFY(!bar.minimizedPopupWidget()->isVisible());
        QVERIFY(bar.setCurrentPage(0));
        QVERIFY(!bar.minimizedPopupWidget()->isVisible());
        QCOMPARE(bar.pageAreaWidget()->parentWidget(), &bar);
        bar.show();

        // Heights of any size: the rows as large as a widget may be, never a sum past what an int holds.
        const int big = std::numeric_limits<int>::max();
        bar.setRowHeights(big, big, big);
        bar.setMinimized(false);
        QVERIFY(bar.sizeHint().height() > 0);
        QVERIFY(bar.headerHeight() > 0);
    }

    // ---- press, release and click ----

    void popupModes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("onIndicator");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("triggers");
        QTest::newRow("large instant") << 0 << 1 << false << true << 0;
        QTest::newRow("large instant indicator") << 0 << 1 << true << true << 0;
        QTest::newRow("large split body") << 0 << 2 << false << false << 1;
        QTest::newRow("large split indicator") << 0 << 2 << true << true << 0;
        QTest::newRow("small split body") << 2 << 2 << false << false << 1;
        QTest::newRow("small split indicator") << 2 << 2 << true << true << 0;
        QTest::newRow("medium none") << 1 << 0 << true << false << 1;
    }

    void popupModes()
    {
        QFETCH(int, size);
        QFETCH(int, mode);
        QFETCH(bool, onIndicator);
        QFETCH(bool, opens);
        QFETCH(int, triggers);
        Shown s;
        auto* menu = new TEVQRibbonMenu;
        menu->addCommand(QStringLiteral("m1"), QStringLiteral("One"));
        QAction* action = command(&s.bar, QStringLiteral("act"));
        TEVQRibbonButton* b = s.group->addAction(action, TEV_RIBBON_ITEM_SIZE(size), TEV_RIBBON_POPUP_MODE(mode), menu);
        QCOMPARE(menu->parent(), b);
        QCOMPARE(b->popupIndicatorRect().isValid(), mode != 0);
        const QRect ind = mode != 0 ? b->popupIndicatorRect()
                          : (size == 0 ? QRect(0, b->height() - 20, b->width(), 20) : QRect(b->width() - 17, 0, 17, b->height()));
        const QPoint at = onIndicator ? ind.center() : QPoint(6, 6);
        QSignalSpy triggered(action, &QAction::triggered);
        QSignalSpy clicked(b, &QPushButton::clicked);
        QSignalSpy shows(b, &TEVQRibbonButton::menuAboutToShow);
        QTest::mousePress(b, Qt::LeftButton, {}, at);
        QCOMPARE(menu->isVisible(), opens);
        QCOMPARE(shows.count(), opens ? 1 : 0);
        menu->close();
        QTest::mouseRelease(b, Qt::LeftButton, {}, at);
        QCOMPARE(triggered.count(), triggers);
        QCOMPARE(clicked.count(), opens ? 0 : 1);

        // Space on the focused button: an instant menu opens as on a press (the action still never triggers,
        // and a checkable button keeps showing its action's state); any other button clicks its action.
        triggered.clear();
        shows.clear();
        action->setCheckable(true);
        QTest::keyClick(b, Qt::Key_Space);
        const bool instant = mode == TEV_RIBBON_POPUP_INSTANT;
        QCOMPARE(menu->isVisible(), instant);
        QCOMPARE(shows.count(), instant ? 1 : 0);
        QCOMPARE(triggered.count(), instant ? 0 : 1);
        QCOMPARE(b->isChecked(), action->isChecked());
        menu->close();
    }

    void narrowIndicator()
    {
        TEVQRibbonButton b(nullptr, nullptr, TEV_RIBBON_ITEM_SMALL);
        b.setPopupMenu(new TEVQRibbonMenu);
        b.setPopupMode(TEV_RIBBON_POPUP_SPLIT);
        b.resize(10, 24);
        QCOMPARE(b.popupIndicatorRect(), QRect(0, 0, 10, 24));
        b.resize(100, 68);
        b.setItemSize(TEV_RIBBON_ITEM_LARGE);
        QCOMPARE(b.popupIndicatorRect(), QRect(0, 48, 100, 20));
        delete b.popupMenu();
        QVERIFY(b.popupIndicatorRect().isNull());

        // A listener of the menu's announcement may delete the button, and its menu with it.
        auto* doomed = new TEVQRibbonButton(nullptr, nullptr, TEV_RIBBON_ITEM_SMALL);
        doomed->setPopupMenu(new TEVQRibbonMenu);
        doomed->setPopupMode(TEV_RIBBON_POPUP_INSTANT);
        doomed->resize(60, 24);
        const QPointer<TEVQRibbonButton> alive(doomed);
        connect(doomed, &TEVQRibbonButton::menuAboutToShow, doomed, [doomed] { delete doomed; });
        QTest::mousePress(doomed, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!alive);
    }

    // ---- pixels ----

    void buttonStatePixels()
    {
        Shown s;
        TEVQRibbonBarImpl* impl = s.bar.ribbonImpl();
        QAction* action = command(&s.bar, QStringLiteral("state"));
        TEVQRibbonButton* b = s.group->addLargeAction(action);
        s.bar.ribbonImpl()->applyRibbonStyle();
        const QPoint inside(4, 4);
        QCOMPARE(px(grab(b), inside.x(), inside.y()), impl->buttonBackgrounds[0].fillRes.fillColor);
        // Hover as Qt's enter dispatch marks it (a moved pointer reaches the widget only when the X server has
        // delivered the crossing, which a busy virtual server may not have done yet).
        b->setAttribute(Qt::WA_UnderMouse, true);
        QCOMPARE(px(grab(b), inside.x(), inside.y()), impl->buttonBackgrounds[1].fillRes.fillColor);
        QTest::mousePress(b, Qt::LeftButton, {}, b->rect().center());
        QCOMPARE(px(grab(b), inside.x(), inside.y()), impl->buttonBackgrounds[2].fillRes.fillColor);
        QTest::mouseRelease(b, Qt::LeftButton, {}, b->rect().center());
        action->setEnabled(false);
        QCOMPARE(px(grab(b), inside.x(), inside.y()), impl->buttonBackgrounds[3].fillRes.fillColor);
        // The border of the normal state is at the edge.
        action->setEnabled(true);
        b->setAttribute(Qt::WA_UnderMouse, false);
        QCOMPARE(px(grab(b), b->width() / 2, 0), impl->buttonBackgrounds[0].fillRes.borderColor);
    }

    void tabsSeparatorAndMenuPixels()
    {
        Shown s;
        TEVQRibbonBar& bar = s.bar;
        TEVQRibbonContextGroup* ctx = bar.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), QColor(200, 30, 40));
        ctx->addPage(QStringLiteral("cp"), QStringLiteral("Ctx"));
        bar.showContextGroup(QStringLiteral("c"));
        TEVQRibbonButton* normal = bar.tabButtons()[0];
        TEVQRibbonButton* context = bar.tabButtons()[1];
        const QImage ci = grab(context);
        QCOMPARE(px(ci, context->width() / 2, 1), QColor(200, 30, 40));
        QCOMPARE(px(ci, context->width() / 2, 4), bar.ribbonImpl()->tabBackgrounds[0].fillRes.fillColor);
        // The current tab is checked: the pressed entry; the other one the normal entry.
        const QImage ni = grab(normal);
        QCOMPARE(px(ni, 4, 1), bar.ribbonImpl()->tabBackgrounds[2].fillRes.fillColor);
        QCOMPARE(px(ci, 4, ci.height() - 3), bar.ribbonImpl()->tabBackgrounds[0].fillRes.fillColor);

        s.group->addSeparator();
        QWidget* sep = s.group->itemAt(0)->widget;
        QCOMPARE(sep->size().width(), 7);
        const QImage si = grab(sep);
        QCOMPARE(px(si, 3, sep->height() / 2), QColor(180, 188, 200));
        QVERIFY(px(si, 3, 2) != QColor(180, 188, 200)); // the line stops 5 pixels from the ends

        TEVQRibbonMenu menu;
        QAction* on = menu.addCommand(QStringLiteral("on"), QStringLiteral("Checked"), QString(), true);
        on->setChecked(true);
        menu.addSeparator();
        QAction* off = menu.addCommand(QStringLiteral("off"), QStringLiteral("Unchecked"), QString(), true);
        menu.popup(QPoint(100, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        const QImage mi = grab(&menu);
        const QRect onRect = menu.actionGeometry(on), offRect = menu.actionGeometry(off);
        const QPoint mark(onRect.left() + 7, onRect.center().y() + 2);
        QVERIFY(near(px(mi, mark.x(), mark.y()), QColor(62, 111, 210), 40));
        QVERIFY(!near(px(mi, offRect.left() + 7, offRect.center().y() + 2), QColor(62, 111, 210), 40));
        tevtest::keepRender(mi, QStringLiteral("ribbon_menu.png"));
        menu.close();
    }

    // ---- pictures ----

    void pictures_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<bool>("minimized");
        QTest::newRow("office en") << "office" << false << false;
        QTest::newRow("compact en") << "compact" << false << false;
        QTest::newRow("office zh") << "office" << true << false;
        QTest::newRow("compact zh") << "compact" << true << false;
        QTest::newRow("minimized en") << "office" << false << true;
        QTest::newRow("minimized zh") << "compact" << true << true;
    }

    void pictures()
    {
        QFETCH(QString, mode);
        QFETCH(bool, chinese);
        QFETCH(bool, minimized);
        TEVQRibbonBar bar;
        bar.resize(900, 130);
        bar.move(20, 20);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QVERIFY(bar.loadConfigJson(document(mode, chinese)));
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("home"));
        QImage img;
        if (!minimized) {
            bar.resize(900, bar.sizeHint().height());
            img = grab(&bar);
            // The bar's background at the page area's edge, a group's background, the selected tab.
            const TEVQRibbonBarImpl* impl = bar.ribbonImpl();
            const QPoint groupAt = bar.currentPageWidget()->groupAt(0)->mapTo(&bar, QPoint(3, 3));
            QCOMPARE(px(img, groupAt.x(), groupAt.y()), impl->groupBackground.fillRes.fillColor);
        } else {
            bar.setMinimized(true);
            bar.resize(900, bar.sizeHint().height());
            QVERIFY(bar.setCurrentPage(QStringLiteral("home")));
            QWidget* popup = bar.minimizedPopupWidget();
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            QCOMPARE(popup->geometry().topLeft(), bar.mapToGlobal(QPoint(0, bar.headerHeight())));
            img = QImage(900, bar.height() + popup->height(), QImage::Format_ARGB32);
            img.fill(Qt::transparent);
            QPainter p(&img);
            p.drawImage(0, 0, grab(&bar));
            p.drawImage(0, bar.headerHeight(), grab(popup));
        }
        const QString name = QStringLiteral("ribbon_%1_%2%3.png")
                                 .arg(mode, chinese ? QStringLiteral("zh") : QStringLiteral("en"),
                                      minimized ? QStringLiteral("_minimized") : QString());
        QVERIFY(tevtest::keepRender(img, name));
    }

    // ---- language ----

    // The walk of a language change reaches the bar before its pieces: a keyed piece of the top row takes the
    // width of its new text all the same (a longer one is not cut at the old width).
    void topRowFollowsALanguageChange()
    {
        QVERIFY(LanguageManager::instance()->loadFromJson(QByteArray(R"({"defaultLanguage": "en-US", "languages": {
            "en-US": {"help": "Help"}, "zh-CN": {"help": "帮助与技术支持"}}})")));
        TEVQWindow window;
        window.resize(700, 200);
        auto* bar = new TEVQRibbonBar(&window);
        bar->setGeometry(0, 0, 700, 130);
        auto* help = new TEVQPushButton;
        Json::Value e;
        QVERIFY(json::parse(QByteArray(R"({"attr": {"text": "|->help"}})"), e));
        QVERIFY(help->readJsonValue(&e));
        bar->addTopRightWidget(help);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect english = help->geometry();
        for (const char* language : {"zh-CN", "en-US", "zh-CN"}) {
            QVERIFY(tevSetLanguage(QString::fromLatin1(language)));
            QCoreApplication::processEvents();
            QCOMPARE(help->text(), LanguageManager::instance()->text(QStringLiteral("help")));
            const int width = qBound(40, help->sizeHint().width(), 180);
            QCOMPARE(help->geometry(), QRect(700 - 4 - width, 3, width, 24));
        }
        QVERIFY(help->width() > english.width());
        // Hidden at the change: placed for the new text when shown again.
        window.hide();
        QVERIFY(tevSetLanguage(QStringLiteral("en-US")));
        QCoreApplication::processEvents();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        QCOMPARE(help->geometry(), english);
    }
};

TEV_TEST_MAIN(TestRibbonView)
#include "tst_ribbonview.moc"
