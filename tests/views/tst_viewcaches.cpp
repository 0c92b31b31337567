// What the views keep between paints: the row and cell icons found by image name (list, tree, table) and the
// table's rows in view for its row-number header. After each change of an input (the icon name, the pictures
// behind the names, the scale factor, the styles, the language, the hidden rows, the rows themselves) a view
// paints exactly what a view made afresh in that state paints; a repaint with nothing changed asks the resource
// manager for nothing, and the row-number header looks only at the rows in view.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVQContainer.h"
#include "TEVQList.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQTableView.h"
#include "TEVQTreeView.h"
#include "TEVQtLib.h"
#include "TEVRowIconCache.h"

#include <QPainter>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QtMath>

#include <functional>
#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "cBg", "clr": "FF202020"}, {"type": 1, "name": "cRow", "clr": "FF305070"},
    {"type": 1, "name": "cHead", "clr": "FF501050"},
    {"type": 2, "name": "cText", "clr": "FFFFFFFF", "size": 12}]})";

const int kIconRole = Qt::UserRole + 100;

using tevtest::fill;
using tevtest::grabViewport;
using tevtest::parse;
using tevtest::text;

QColor px(const QImage& img, int x, int y) { return QColor::fromRgb(img.pixel(x, y)); }

bool writeImage(const QString& path, const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image.save(path);
}

// An SVG of its own size (16 x 16) with a translucent circle over a square: antialiased edges and blending.
const char* const kSvg =
    "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16' viewBox='0 0 16 16'>"
    "<rect x='1' y='1' width='14' height='14' fill='#3080f0'/>"
    "<circle cx='8' cy='8' r='6' fill='#f04020' fill-opacity='0.6'/></svg>";
const char* const kSvgNoSize = "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                               "<circle cx='5' cy='5' r='4' fill='#20c040'/></svg>";

// A theme folder holding a.png, b.png, c.svg and d.svg; `tint` colours a.png, so that two folders hold different
// pictures under the same name.
bool writeTheme(const QString& dir, const QColor& tint)
{
    return tevtest::writeFile(dir + QStringLiteral("/style.json"), kStyleJson)
           && writeImage(dir + QStringLiteral("/a.png"), QSize(16, 16), tint)
           && writeImage(dir + QStringLiteral("/b.png"), QSize(12, 14), QColor(0x20, 0x40, 0xF0))
           && tevtest::writeFile(dir + QStringLiteral("/c.svg"), kSvg)
           && tevtest::writeFile(dir + QStringLiteral("/d.svg"), kSvgNoSize);
}

// Fails the test, naming the step, unless the two pictures are the same.
bool samePicture(const QImage& kept, const QImage& fresh, const QString& step)
{
    if (kept == fresh)
        return true;
    QTest::qFail(qPrintable(QStringLiteral("stale picture after: %1").arg(step)), __FILE__, __LINE__);
    return false;
}

// ---- the three views, made in a given state ----------------------------------------------------------------

struct ListState {
    QStringList icons; // one row per entry; the row's decoration is the image name
    int rowHeight = 24;
};

void shape(TEVQList& list, const ListState& s)
{
    list.setBackground(CommonCtrlStateNormal, fill("cBg"));
    for (int st = 0; st < 4; ++st) {
        list.setItemBackground(CtrlState(st), fill("cRow"));
        list.setItemTextStyle(CtrlState(st), text("cText"));
    }
    list.setItemHeight(s.rowHeight);
    while (list.count() < s.icons.size())
        list.addItem(QStringLiteral("row %1").arg(list.count()));
    for (int i = 0; i < s.icons.size(); ++i)
        list.item(i)->setData(Qt::DecorationRole, s.icons[i]);
    list.resize(220, 200);
    list.show();
}

struct TreeState {
    QStringList tops;     // the top rows' icons
    QStringList children; // the icons of the first top row's children
};

void shape(TEVQTreeView& tree, QStandardItemModel& model, const TreeState& s)
{
    tree.setBackground(CommonCtrlStateNormal, fill("cBg"));
    tree.setItemBackground(CtrlState(4), fill("cRow"));
    tree.setItemTextStyle(CtrlState(4), text("cText"));
    tree.setItemHeight(24);
    if (model.rowCount() == 0) {
        for (int i = 0; i < s.tops.size(); ++i)
            model.appendRow(new QStandardItem(QStringLiteral("top %1").arg(i)));
        for (int i = 0; i < s.children.size(); ++i)
            model.item(0)->appendRow(new QStandardItem(QStringLiteral("child %1").arg(i)));
        tree.setModel(&model);
    }
    for (int i = 0; i < s.tops.size(); ++i)
        model.item(i)->setData(s.tops[i], Qt::DecorationRole);
    for (int i = 0; i < s.children.size(); ++i)
        model.item(0)->child(i)->setData(s.children[i], Qt::DecorationRole);
    tree.expandAll();
    tree.resize(220, 260);
    tree.show();
}

struct TableState {
    QStringList icons; // column 1's icon role, one row per entry
    bool centred = false;
};

void shape(TEVQTableView& table, QStandardItemModel& model, const TableState& s)
{
    table.setBackground(CommonCtrlStateNormal, fill("cBg"));
    table.setItemBackground(CtrlState(4), fill("cRow"));
    table.setItemTextStyle(CtrlState(4), text("cText"));
    if (model.rowCount() == 0) {
        model.setColumnCount(2);
        for (int r = 0; r < s.icons.size(); ++r)
            model.appendRow(
                {new QStandardItem(QStringLiteral("r%1").arg(r)), new QStandardItem(QStringLiteral("v%1").arg(r))});
        table.setModel(&model);
    }
    for (int r = 0; r < s.icons.size(); ++r) {
        model.setData(model.index(r, 1), s.icons[r], kIconRole);
        model.setData(model.index(r, 1), s.centred ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter),
                      Qt::TextAlignmentRole);
    }
    table.setColumnWidth(0, 60);
    table.setColumnWidth(1, 140);
    table.resize(220, 200);
    table.show();
}

// ---- the row-number header -------------------------------------------------------------------------------

QImage grabHeader(QHeaderView* header)
{
    QImage img(header->viewport()->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    header->viewport()->render(&img);
    return img;
}

// The row-number header as painted by walking every section: each one with a height, in view, gets its
// background and its number.
QImage headerByEverySection(TEVQTableView& table)
{
    QHeaderView* h = table.verticalHeader();
    QImage img(h->viewport()->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const FillStyle& background = table.getHeaderBackground(CtrlStateNormal);
    TEVQWidgetBaseImpl::drawFillStyle(&p, background, QRect(0, 0, h->width(), h->height()));
    for (int i = 0; i < h->count(); ++i) {
        const QRect r(0, h->sectionViewportPosition(i), h->width(), h->sectionSize(i));
        if (r.height() <= 0 || r.bottom() < 0 || r.top() > h->height())
            continue;
        TEVQWidgetBaseImpl::drawFillStyle(&p, background, r);
        QRect in = r.adjusted(2, 2, -2, -2);
        in.setWidth(qMax(in.width(), 0));
        in.setHeight(qMax(in.height(), 0));
        TEVQWidgetBaseImpl::drawText(&p, h->model()->headerData(i, Qt::Vertical).toString(),
                                     table.getHeaderTextStyle(CtrlStateNormal), in);
    }
    return img;
}

struct NumberedTable {
    TEVQTableView table;
    QStandardItemModel model;
    explicit NumberedTable(int rows)
    {
        model.setColumnCount(1);
        for (int r = 0; r < rows; ++r)
            model.appendRow(new QStandardItem(QStringLiteral("r%1").arg(r)));
        table.setModel(&model);
        table.setHeaderBackground(CtrlState(4), fill("cHead"));
        table.setHeaderTextStyle(CtrlState(4), text("cText"));
        table.verticalHeader()->show();
        table.verticalHeader()->setFixedWidth(48);
        table.resize(200, 240);
        table.show();
    }
};

} // namespace

class TestViewCaches : public QObject
{
    Q_OBJECT
    QTemporaryDir m_red;
    QTemporaryDir m_green;

private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(writeTheme(m_red.path(), Qt::red));
        QVERIFY(writeTheme(m_green.path(), Qt::green));
        QVERIFY(rm()->loadThemeDir(m_red.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        tevInitQtControl();
    }

    void cleanup()
    {
        rm()->setScaleFactor(100.0f);
        QVERIFY(rm()->loadThemeDir(m_red.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
    }

    // The kept pictures draw what the painter base draws from the name, for raster images and SVGs with and
    // without a size of their own, at every alignment, and give the same sizes.
    void keptIconsDrawAsThePainterBase()
    {
        TEVRowIconCache cache(4);
        const QRect rects[] = {QRect(3, 5, 28, 24), QRect(40, 2, 9, 9), QRect(0, 30, 60, 33)};
        for (const QString& name : {QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("c.svg"),
                                    QStringLiteral("d.svg"), QStringLiteral("missing.png"),
                                    QStringLiteral("missing.svg")}) {
            QCOMPARE(cache.size(7, name), TEVQWidgetBaseImpl::getImageSize(name, false));
            for (int align = 0; align < 3; ++align) {
                IconStyleDesc style;
                style.horAlign = align;
                style.verAlign = 2 - align;
                QImage direct(80, 70, QImage::Format_ARGB32_Premultiplied), kept(direct.size(), direct.format());
                direct.fill(QColor(0x40, 0x40, 0x40));
                kept.fill(QColor(0x40, 0x40, 0x40));
                QPainter pd(&direct), pk(&kept);
                for (const QRect& r : rects) {
                    TEVQWidgetBaseImpl::drawImage(&pd, name, style, r, false);
                    cache.draw(&pk, quint64(align), name, style, r);
                }
                pd.end();
                pk.end();
                QVERIFY2(direct == kept, qPrintable(name));
            }
        }
    }

    // An SVG is rendered once per picture, size, device pixel ratio and tint, and drawn as the painter base draws
    // it: a repaint renders nothing, and each input changed renders again. Where a copy would not land on the
    // pixels of rendering straight (an opacity, a place between device pixels), it is rendered straight.
    void keptSvgPicturesFollowTheirInputs()
    {
        TEVRowIconCache cache(4);
        int renders = 0;
        // Paints name at r on a painter of ratio, through the cache and straight; true when the two are the
        // same and the cache rendered `added` pictures for it.
        auto check = [&](const QString& name, const QRect& r, qreal ratio, const IconStyleDesc& style, int added,
                         qreal opacity = 1.0) {
            QImage kept(QSize(qCeil(70 * ratio), qCeil(60 * ratio)), QImage::Format_ARGB32_Premultiplied);
            kept.setDevicePixelRatio(ratio);
            kept.fill(QColor(0x40, 0x50, 0x60));
            QImage direct = kept.copy();
            QPainter pk(&kept), pd(&direct);
            pk.setOpacity(opacity);
            pd.setOpacity(opacity);
            cache.draw(&pk, 1, name, style, r);
            TEVQWidgetBaseImpl::drawImage(&pd, name, style, r, false);
            pk.end();
            pd.end();
            const bool ok = kept == direct && cache.renderCount() == renders + added;
            renders = cache.renderCount();
            return ok;
        };
        const QString svg = QStringLiteral("c.svg"), other = QStringLiteral("d.svg");
        IconStyleDesc plain, tinted;
        tinted.useColor = true;
        tinted.color = QColor(0x20, 0xC0, 0xF0);
        const QRect place(3, 5, 28, 24);
        QVERIFY(check(svg, place, 1.0, plain, 1));
        QVERIFY(check(svg, place.translated(7, 30), 1.0, plain, 0)); // another row, the same picture
        QVERIFY(check(svg, place, 2.0, plain, 1));
        QVERIFY(check(svg, place, 1.0, plain, 0));
        QVERIFY(check(svg, place, 1.5, plain, 0));       // centred at 9.5 device pixels: rendered straight
        QVERIFY(check(svg, place, 1.0, plain, 0, 0.5));  // a translucent painter: rendered straight
        QVERIFY(check(other, QRect(2, 2, 9, 9), 1.0, plain, 1)); // another picture
        QVERIFY(check(svg, place, 1.0, plain, 0));
        QVERIFY(check(svg, place, 1.0, tinted, 1));
        QVERIFY(check(svg, place, 1.5, tinted, 1));
        tinted.color = Qt::red;
        QVERIFY(check(svg, place, 1.0, tinted, 1));
        rm()->setScaleFactor(0.5f);
        QVERIFY(check(svg, place, 1.0, plain, 1));
        rm()->setScaleFactor(100.0f);
        QVERIFY(check(svg, place, 1.0, plain, 1));

        // Another picture under the same name (and an animated one).
        QTemporaryDir otherTheme;
        QVERIFY(tevtest::writeFile(otherTheme.path() + QStringLiteral("/style.json"), kStyleJson)
                && tevtest::writeFile(otherTheme.path() + QStringLiteral("/c.svg"),
                                      "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
                                      "<rect x='0' y='0' width='16' height='8' fill='#ffff00'/></svg>"));
        QVERIFY(tevtest::writeFile(otherTheme.path() + QStringLiteral("/e.svg"),
                                   "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
                                   "<rect width='16' height='16' fill='#ff0000'><animateColor attributeName='fill' "
                                   "from='#ff0000' to='#ff0000' dur='1s' repeatCount='indefinite'/></rect></svg>"));
        QVERIFY(rm()->loadThemeDir(otherTheme.path()));
        QVERIFY(check(svg, place, 1.0, plain, 1));
        cache.clear();
        QVERIFY(check(svg, place, 1.0, plain, 1));
        // An animated SVG is drawn at its frame of the moment, never kept.
        QCOMPARE(cache.size(1, QStringLiteral("e.svg")), QSize(16, 16));
        QVERIFY(check(QStringLiteral("e.svg"), place, 1.0, plain, 0));
        QVERIFY(check(QStringLiteral("e.svg"), place, 1.0, tinted, 0));
    }

    // A list's row icons follow the icon name, the pictures behind the names, the scale factor, a re-read of
    // the styles and the language; a repaint with nothing changed finds nothing again.
    void listIconsFollowEveryChange()
    {
        ListState state;
        state.icons = QStringList{QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("c.svg"),
                                  QStringLiteral("a.png"), QStringLiteral("d.svg"), QStringLiteral("nothing.png")};
        TEVQList list;
        shape(list, state);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto same = [&](const QString& step) {
            TEVQList fresh;
            shape(fresh, state);
            return QTest::qWaitForWindowExposed(&fresh) && samePicture(grabViewport(&list), grabViewport(&fresh), step);
        };
        QVERIFY(same(QStringLiteral("first paint")));
        QCOMPARE(px(grabViewport(&list), 10, 12), QColor(Qt::red));
        const TEVRowIconCache& icons = list.painter()->rowIcons;
        grabViewport(&list);
        const int found = icons.lookupCount();
        grabViewport(&list);
        // Only the name that finds nothing is asked for again (the manager remembers its misses for a while).
        QCOMPARE(icons.lookupCount() - found, 1);

        state.icons[0] = QStringLiteral("b.png");
        shape(list, state);
        QVERIFY(same(QStringLiteral("an icon name")));
        state.icons[0] = QStringLiteral("a.png");
        shape(list, state);
        QVERIFY(same(QStringLiteral("the icon name back")));

        // Another theme folder: other pictures under the same names.
        QVERIFY(rm()->loadThemeDir(m_green.path()));
        QVERIFY(same(QStringLiteral("a theme load")));
        QCOMPARE(px(grabViewport(&list), 10, 12), QColor(Qt::green));

        // A smaller scale factor gives the SVGs their smaller size.
        rm()->setScaleFactor(0.5f);
        QVERIFY(same(QStringLiteral("the scale factor")));
        rm()->setScaleFactor(100.0f);
        QVERIFY(same(QStringLiteral("the scale factor back")));

        // The styles read again, and a language change, find the pictures again.
        int before = icons.lookupCount();
        Json::Value element = parse(R"({"style": [["cRow", 1, 2]]})");
        QVERIFY(list.serializeJsonValue(&element, true));
        grabViewport(&list);
        QVERIFY(icons.lookupCount() >= before + 4);
        QVERIFY(same(QStringLiteral("the styles read again")));
        before = icons.lookupCount();
        list.notifyChangeLanguage();
        grabViewport(&list);
        QVERIFY(icons.lookupCount() >= before + 4);
        QVERIFY(same(QStringLiteral("a language change")));

        // A row height that makes the icons 24 wide (the list lays its rows out again only when asked).
        state.rowHeight = 30;
        shape(list, state);
        list.doItemsLayout();
        QVERIFY(same(QStringLiteral("the row height")));
    }

    // A tree's icons are kept per row and parent: a child and a top row of the same row number keep their own.
    void treeIconsFollowEveryChange()
    {
        TreeState state;
        state.tops = QStringList{QStringLiteral("a.png"), QStringLiteral("c.svg"), QStringLiteral("b.png")};
        state.children = QStringList{QStringLiteral("b.png"), QStringLiteral("a.png")};
        QStandardItemModel model;
        TEVQTreeView tree;
        shape(tree, model, state);
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        auto same = [&](const QString& step) {
            QStandardItemModel freshModel;
            TEVQTreeView fresh;
            shape(fresh, freshModel, state);
            return QTest::qWaitForWindowExposed(&fresh) && samePicture(grabViewport(&tree), grabViewport(&fresh), step);
        };
        QVERIFY(same(QStringLiteral("first paint")));
        const int found = tree.painter()->rowIcons.lookupCount();
        grabViewport(&tree);
        QCOMPARE(tree.painter()->rowIcons.lookupCount(), found);

        state.children[0] = QStringLiteral("c.svg");
        shape(tree, model, state);
        QVERIFY(same(QStringLiteral("a child's icon")));
        state.tops[1] = QStringLiteral("a.png");
        shape(tree, model, state);
        QVERIFY(same(QStringLiteral("a top row's icon")));
        QVERIFY(rm()->loadThemeDir(m_green.path()));
        QVERIFY(same(QStringLiteral("a theme load")));
        tree.notifyChangeLanguage();
        QVERIFY(same(QStringLiteral("a language change")));
    }

    // A table's cell icons place the cell text by their size: a kept size must follow the picture as well.
    void tableIconsFollowEveryChange()
    {
        TableState state;
        state.icons = QStringList{QStringLiteral("a.png"), QStringLiteral("b.png"), QString(),
                                  QStringLiteral("c.svg"), QStringLiteral("a.png")};
        QStandardItemModel model;
        TEVQTableView table;
        shape(table, model, state);
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        auto same = [&](const QString& step) {
            QStandardItemModel freshModel;
            TEVQTableView fresh;
            shape(fresh, freshModel, state);
            return QTest::qWaitForWindowExposed(&fresh)
                   && samePicture(grabViewport(&table), grabViewport(&fresh), step);
        };
        QVERIFY(same(QStringLiteral("first paint")));
        const int found = table.painter()->cellIcons.lookupCount();
        grabViewport(&table);
        QCOMPARE(table.painter()->cellIcons.lookupCount(), found);

        state.centred = true;
        shape(table, model, state);
        QVERIFY(same(QStringLiteral("centred cells")));
        state.icons[1] = QStringLiteral("a.png"); // wider: the text moves
        state.icons[2] = QStringLiteral("b.png");
        shape(table, model, state);
        QVERIFY(same(QStringLiteral("icon names")));
        QVERIFY(rm()->loadThemeDir(m_green.path()));
        QVERIFY(same(QStringLiteral("a theme load")));
        rm()->setScaleFactor(0.5f);
        QVERIFY(same(QStringLiteral("the scale factor")));
        rm()->setScaleFactor(100.0f);
        const int before = table.painter()->cellIcons.lookupCount();
        table.notifyChangeLanguage();
        grabViewport(&table);
        QVERIFY(table.painter()->cellIcons.lookupCount() > before);
        QVERIFY(same(QStringLiteral("a language change")));
    }

    // A column drawn through a container of controls: a paint gathers the container's controls once, not once
    // per row in view, and a control added to or taken from the container shows from the next paint on.
    void controlColumnGathersOncePerPaint()
    {
        QStandardItemModel model(30, 3);
        TEVQTableView table;
        table.setModel(&model);
        table.setItemBackground(CtrlState(4), fill("cRow"));
        auto* container = new TEVQContainer(&table);
        container->setChildLayout(TEVQContainer::NoUse);
        container->setBackground(fill("cBg"));
        auto addButton = [&](int x) {
            auto* button = new TEVQPushButton(container);
            button->setGeometry(x, 2, 20, 16);
            button->setFadeEnabled(false);
            button->setText(QString());
            button->setBackground(CtrlState(4), fill("cHead"));
            return button;
        };
        TEVQPushButton* first = addButton(4);
        table.setColumnWidget(2, container);
        table.setColumnWidth(2, 100);
        table.resize(360, 300);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        const TEVQTableViewitemDelegate* cells = table.delegate();
        const QPoint onFirst = table.visualRect(model.index(3, 2)).topLeft() + QPoint(12, 10);
        const QPoint onSecond = onFirst + QPoint(40, 0);
        const QColor head(0x50, 0x10, 0x50), background(0x20, 0x20, 0x20);
        int gathered = cells->controlGatherCount();
        QImage img = grabViewport(&table);
        QCOMPARE(cells->controlGatherCount() - gathered, 1);
        QCOMPARE(px(img, onFirst.x(), onFirst.y()), head);
        QCOMPARE(px(img, onSecond.x(), onSecond.y()), background);

        addButton(44)->show();
        img = grabViewport(&table);
        QCOMPARE(px(img, onSecond.x(), onSecond.y()), head);
        delete first;
        gathered = cells->controlGatherCount();
        img = grabViewport(&table);
        QCOMPARE(cells->controlGatherCount() - gathered, 1);
        QCOMPARE(px(img, onFirst.x(), onFirst.y()), background);
        QCOMPARE(px(img, onSecond.x(), onSecond.y()), head);
    }

    // The row-number header draws the numbers of the rows in view, skipping the hidden ones, as walking every
    // row does; it looks at no more rows than are in view, also with most rows hidden; and it follows rows
    // hidden, shown, inserted, removed, moved and a model reset.
    void rowNumbersFollowHiddenRows()
    {
        NumberedTable t(5000);
        QVERIFY(QTest::qWaitForWindowExposed(&t.table));
        QHeaderView* header = t.table.verticalHeader();
        auto* numbers = static_cast<TEVQTableHeader*>(header);
        const int inView = header->height() / 20 + 3;
        QImage last;
        // The header after a change: painted as by walking every row, looking at the rows in view alone, and
        // (unless told otherwise) other than before the change.
        auto check = [&](const QString& step, bool changes = true) {
            QApplication::processEvents(); // the view's scroll range follows the rows
            const QImage painted = grabHeader(header);
            if (!samePicture(painted, headerByEverySection(t.table), step))
                return false;
            if (changes && painted == last) {
                QTest::qFail(qPrintable(QStringLiteral("nothing to see after: %1").arg(step)), __FILE__, __LINE__);
                return false;
            }
            last = painted;
            if (numbers->sectionsLookedAt() > inView) {
                QTest::qFail(qPrintable(QStringLiteral("%1 rows looked at after: %2")
                                            .arg(numbers->sectionsLookedAt())
                                            .arg(step)),
                             __FILE__, __LINE__);
                return false;
            }
            return true;
        };
        QVERIFY(check(QStringLiteral("first paint")));
        QVERIFY(tevtest::keepRender(grabHeader(header), QStringLiteral("views_rownumbers.png")));

        // Every row but one in ten hidden, scrolled to the middle: the hidden rows are not walked.
        for (int r = 0; r < 5000; ++r)
            t.table.setRowHidden(r, r % 10 != 0);
        QVERIFY(check(QStringLiteral("hiding rows")));
        t.table.verticalScrollBar()->setValue(t.table.verticalScrollBar()->maximum() / 2);
        QVERIFY(check(QStringLiteral("a scroll")));
        // In view: a row hidden, and a hidden one further down shown, so that as many rows are hidden as before.
        const int hiddenNow = header->logicalIndexAt(30);
        const int shownNow = header->logicalIndex(header->visualIndexAt(90) - 1);
        QVERIFY(header->isSectionHidden(shownNow));
        t.table.setRowHidden(hiddenNow, true);
        t.table.setRowHidden(shownNow, false);
        QVERIFY(check(QStringLiteral("one row shown and one hidden")));
        t.model.insertRows(2400, 30);
        QVERIFY(check(QStringLiteral("rows inserted")));
        t.model.removeRows(100, 700);
        QVERIFY(check(QStringLiteral("rows removed")));
        t.model.sort(0, Qt::DescendingOrder);
        QVERIFY(check(QStringLiteral("rows sorted")));
        header->moveSection(header->visualIndexAt(50), 5);
        QVERIFY(check(QStringLiteral("a section moved")));
        header->resizeSection(header->logicalIndexAt(50), 0);
        header->resizeSection(header->logicalIndexAt(110), 45);
        QVERIFY(check(QStringLiteral("sections resized")));
        t.table.verticalScrollBar()->setValue(t.table.verticalScrollBar()->maximum());
        QVERIFY(check(QStringLiteral("scrolled to the end")));
        t.model.setHeaderData(header->logicalIndexAt(30), Qt::Vertical, QStringLiteral("Σ"));
        QVERIFY(check(QStringLiteral("a header text")));

        // Reset: every row shown again, numbered from the top.
        t.model.clear();
        t.model.setColumnCount(1);
        t.model.setRowCount(300);
        t.table.verticalScrollBar()->setValue(0);
        QVERIFY(check(QStringLiteral("a model reset")));
        QStandardItemModel other(40, 1);
        t.table.setModel(&other);
        t.table.setRowHidden(0, true);
        QVERIFY(check(QStringLiteral("another model")));
        t.table.setModel(nullptr);
        QVERIFY(check(QStringLiteral("no model")));
        QCOMPARE(numbers->sectionsLookedAt(), 0);
    }
};

TEV_TEST_MAIN(TestViewCaches)
#include "tst_viewcaches.moc"
