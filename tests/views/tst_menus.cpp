// Menus and the menu bar: the menu document (styles, items, submenus, refused documents), painting per state,
// hover and keyboard navigation, pop-ups and submenus driven through QTest, and the menu bar's style array
// with its round trip, its pointer states and its catalogue rows.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQControlRegistry.h"
#include "TEVQMenu.h"
#include "TEVQMenuBar.h"
#include "TEVQPageLoader.h"
#include "TEVQResourceManager.h"
#include "TEVQtLib.h"

#include <QAction>
#include <QPainter>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <limits>
#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kBg(0x20, 0x20, 0x20), kItem(0x30, 0x50, 0x70), kHot(0xE0, 0x60, 0x10), kPress(0x10, 0xA0, 0x40);
const QColor kPop(0x60, 0x10, 0x60);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "mBg", "clr": "FF202020"}, {"type": 1, "name": "mItem", "clr": "FF305070"},
    {"type": 1, "name": "mHot", "clr": "FFE06010"}, {"type": 1, "name": "mPress", "clr": "FF10A040"},
    {"type": 1, "name": "mPop", "clr": "FF601060"},
    {"type": 2, "name": "mText", "clr": "FFFFFFFF", "size": 13}, {"type": 2, "name": "mTextHot", "clr": "FF000000", "size": 12},
    {"type": 2, "name": "mHuge", "clr": "FF000000", "size": 2147483647}]})";

using tevtest::parse;

QImage grab(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

QColor px(const QImage& img, const QPoint& p) { return QColor::fromRgb(img.pixel(p)); }

// A 300 x 30 menu bar in host with the theme's item, hot and pressed backgrounds.
TEVQMenuBar* themedBar(QWidget& host)
{
    host.resize(300, 30);
    auto* bar = new TEVQMenuBar(&host);
    bar->setGeometry(0, 0, 300, 30);
    FillStyle item, hot, press;
    rm()->getFillStyle(QStringLiteral("mItem"), item);
    rm()->getFillStyle(QStringLiteral("mHot"), hot);
    rm()->getFillStyle(QStringLiteral("mPress"), press);
    bar->setItemBackground(CtrlState(4), item);
    bar->setItemBackground(CtrlStateHot, hot);
    bar->setItemBackground(CtrlStatePressed, press);
    return bar;
}

// The look of each item of the bar, in order: "hot", "pressed" or "-".
QString barLooks(TEVQMenuBar* bar)
{
    const QImage img = grab(bar);
    QStringList l;
    for (QAction* a : bar->actions()) {
        const QColor c = px(img, QPoint(bar->actionGeometry(a).left() + 2, 28));
        l << (c == kHot ? QStringLiteral("hot") : c == kPress ? QStringLiteral("pressed") : QStringLiteral("-"));
    }
    return l.join(QLatin1Char(' '));
}

void moveTo(QWidget* w, const QPoint& pos)
{
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

const char* const kMenuDoc = R"({"background": "mBg", "item0": "mItem", "item1": "mHot", "text0": "mText",
    "items": [{"text": "Open", "icon": "red.png"}, {"text": "Vector", "icon": "x.SVG"}, {"text": "Plain"},
              {"text": "More", "icon": "sub.svg", "items": [{"text": "Deeper", "items": [{"text": "Deepest",
               "items": [{"text": "Leaf"}]}]}]}]})";

// A menu of texts, the icon path set on those with one, in the test theme's text style of the given size.
struct MenuLook {
    QStringList texts{QStringLiteral("Open"), QStringLiteral("Export the report"), QStringLiteral("Close")};
    QStringList icons{QStringLiteral("red.png"), QString(), QString()};
    int pixelSize = 13;
    QSize size{220, 0};
};

void styleMenu(TEVQMenu& menu, const MenuLook& look)
{
    TextStyleDesc text;
    rm()->getTextStyle(QStringLiteral("mText"), text);
    text.pixelSize = look.pixelSize;
    FillStyle item;
    rm()->getFillStyle(QStringLiteral("mItem"), item);
    item.valid = false; // the icons show through
    menu.setIconOffset(20);
    for (int s = 0; s < 4; ++s) {
        menu.setItemTextStyle(CtrlState(s), text);
        menu.setItemStyle(CtrlState(s), item);
    }
}

std::unique_ptr<TEVQMenu> freshMenu(const MenuLook& look)
{
    auto menu = std::make_unique<TEVQMenu>();
    styleMenu(*menu, look);
    for (int i = 0; i < look.texts.size(); ++i)
        menu->addIconAction(look.icons.value(i), look.texts[i]);
    menu->resize(look.size.width(), static_cast<QWidget*>(menu.get())->sizeHint().height());
    return menu;
}

} // namespace

class TestMenus : public QObject
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

    // ---- the menu document -----------------------------------------------------------------------------------

    void menuDocumentStylesAndItems()
    {
        TEVQMenu menu;
        Json::Value doc = parse(kMenuDoc);
        QVERIFY(menu.readJsonValue(&doc));
        QCOMPARE(menu.getBackground().name, QStringLiteral("mBg"));
        // item0 fills all four states, item1 then replaces the hot one only.
        QCOMPARE(menu.getItemStyle(CtrlStateNormal).name, QStringLiteral("mItem"));
        QCOMPARE(menu.getItemStyle(CtrlStateHot).name, QStringLiteral("mHot"));
        QCOMPARE(menu.getItemStyle(CtrlStateDisable).name, QStringLiteral("mItem"));

        const QList<QAction*> items = menu.actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0]->property("tev_menu_icon_path").toString(), QStringLiteral("red.png"));
        QVERIFY(!items[0]->icon().isNull());
        // An SVG path in any letter case is kept as the path alone.
        QCOMPARE(items[1]->property("tev_menu_icon_path").toString(), QStringLiteral("x.SVG"));
        QVERIFY(items[1]->icon().isNull());
        QVERIFY(!items[2]->property("tev_menu_icon_path").isValid());

        // Three levels of submenus, each with the top menu's styles and no icon column.
        auto* sub = dynamic_cast<TEVQMenu*>(items[3]->menu());
        QVERIFY(sub);
        QCOMPARE(sub->title(), QStringLiteral("More"));
        QCOMPARE(items[3]->property("tev_menu_icon_path").toString(), QStringLiteral("sub.svg"));
        QVERIFY(items[3]->icon().isNull());
        TEVQMenu* level = sub;
        for (const char* title : {"Deeper", "Deepest"}) {
            QCOMPARE(level->actions().size(), 1);
            level = dynamic_cast<TEVQMenu*>(level->actions()[0]->menu());
            QVERIFY(level);
            QCOMPARE(level->title(), QString::fromLatin1(title));
            QCOMPARE(level->getItemStyle(CtrlStateHot).name, QStringLiteral("mHot"));
            QCOMPARE(level->getBackground().name, QStringLiteral("mBg"));
            QCOMPARE(level->getIconOffset(), 0);
        }
        QCOMPARE(level->actions()[0]->text(), QStringLiteral("Leaf"));

        // Reading again appends; style keys without "background", and unknown names, change nothing.
        Json::Value more = parse(R"({"item0": "mPop", "text0": "mTextHot", "items": [{"text": "Again"}]})");
        menu.readJsonValue(&more);
        Json::Value unknown = parse(R"({"background": "nope", "item1": "nope"})");
        menu.readJsonValue(&unknown);
        QCOMPARE(menu.actions().size(), 5);
        QCOMPARE(menu.getItemStyle(CtrlStateNormal).name, QStringLiteral("mItem"));
        QCOMPARE(menu.getItemStyle(CtrlStateHot).name, QStringLiteral("mHot"));
        QCOMPARE(menu.getBackground().name, QStringLiteral("mBg"));

    }


    void submenusFollowTheirMenuAtAThemeChange()
    {
        // Submenus made from "items" keep taking their menu's styles when a theme restyles the menu, at every
        // depth, and not those of a theme element of their own type.
        QTemporaryDir other;
        QVERIFY(tevtest::writeFile(other.filePath("style.json"), kStyleJson));
        QVERIFY(tevtest::writeFile(other.filePath("theme.json"), R"({"elements": [{"child": [
            {"name": "qtmenu", "background": "mItem"}, {"name": "TMenu", "background": "mPop", "item0": "mHot"}]}]})"));
        QVERIFY(rm()->loadThemeDir(other.path()));
        QWidget window;
        auto* menu = new TEVQMenu(&window);
        Json::Value doc = parse(kMenuDoc);
        QVERIFY(menu->readJsonValue(&doc));
        TEVQMenu* sub = qobject_cast<TEVQMenu*>(menu->actions()[3]->menu());
        TEVQMenu* deeper = sub ? qobject_cast<TEVQMenu*>(sub->actions()[0]->menu()) : nullptr;
        QVERIFY(deeper && deeper->getBackground().name == QStringLiteral("mBg"));
        menu->setThemeName(QStringLiteral("TMenu"));
        QVERIFY(rm()->registerWindowWidget(&window));
        QVERIFY(rm()->themeChange());
        rm()->unregisterWindowWidget(&window);
        const QString names = sub->getBackground().name + deeper->getBackground().name + deeper->getItemStyle(CtrlStatePressed).name;
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QCOMPARE(names, QStringLiteral("mPopmPopmHot"));
    }
    void malformedEntriesAndSetterStates()
    {
        TEVQMenu menu;
        Json::Value doc = parse(R"({"background": 5, "item0": [1], "items": [3, "x", null, {"text": 7},
            {"text": "ok", "icon": 4}, {"text": "sub", "items": {"a": 1}}, {"items": [[], {"text": "in"}]}]})");
        QVERIFY(menu.readJsonValue(&doc));
        const QList<QAction*> items = menu.actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[1]->text(), QStringLiteral("ok"));
        QVERIFY(!items[1]->property("tev_menu_icon_path").isValid());
        QVERIFY(items[2]->menu() && items[2]->menu()->actions().isEmpty());
        QCOMPARE(items[3]->menu()->actions().size(), 1);

        // States outside 0..3 are ignored.
        FillStyle f;
        f.name = QStringLiteral("x");
        menu.setItemStyle(CtrlState(4), f);
        menu.setItemStyle(CtrlState(-1), f);
        menu.setItemTextStyle(CtrlState(9), TextStyleDesc());
        for (int s = 0; s < 4; ++s)
            QVERIFY(menu.getItemStyle(CtrlState(s)).name.isEmpty());

        // An icon column of any width: the menu still sizes and paints itself.
        for (int offset : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
            menu.setIconOffset(offset);
            menu.popup(QPoint(20, 20));
            QVERIFY(!menu.grab().isNull());
            menu.hide();
            QVERIFY(menu.getIconOffset() >= 0 && menu.getIconOffset() <= QWIDGETSIZE_MAX);
        }
        QCOMPARE(menu.getIconOffset(), 0);
    }

    void menuDocumentFiles()
    {
        QTemporaryDir dir;
        QVERIFY(tevtest::writeFile(dir.filePath("menu.json"), kMenuDoc));
        QVERIFY(tevtest::writeFile(dir.filePath("bad.json"), "{\"items\": ["));
        QVERIFY(tevtest::writeFile(dir.filePath("array.json"), "[{\"text\": \"a\"}]"));
        QVERIFY(tevtest::writeFile(dir.filePath("number.json"), "12"));
        QWidget parent;
        // ".json" is added when missing.
        std::unique_ptr<TEVQMenu> menu(tevCreateMenuByFileName(&parent, dir.filePath("menu")));
        QVERIFY(menu);
        QCOMPARE(menu->parentWidget(), &parent);
        QCOMPARE(menu->actions().size(), 4);
        QVERIFY(menu->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(menu->testAttribute(Qt::WA_TranslucentBackground));
        for (const char* refused : {"missing.json", "bad.json", "array.json", "number.json"})
            QVERIFY2(!tevCreateMenuByFileName(&parent, dir.filePath(refused)), refused);
        QCOMPARE(parent.findChildren<TEVQMenu*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);

        // "qtmenu" is no control type; the title constructor gives a plain pop-up.
        QVERIFY(!createControlByType("qtmenu", nullptr));
        TEVQMenu plain(QStringLiteral("T"));
        QVERIFY(!(plain.windowFlags() & Qt::FramelessWindowHint));
        QVERIFY(!plain.testAttribute(Qt::WA_TranslucentBackground));
    }

    // ---- painting, hover and keys -------------------------------------------------------------------------

    void paintingHotItemAndIcons()
    {
        TEVQMenu menu;
        Json::Value doc = parse(kMenuDoc);
        menu.readJsonValue(&doc);
        menu.addSeparator();
        menu.addAction(QStringLiteral("Off"))->setEnabled(false);
        menu.popup(QPoint(40, 40));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        const QList<QAction*> items = menu.actions();
        const QRect open = menu.actionGeometry(items[0]);
        const QRect more = menu.actionGeometry(items[3]);
        auto itemPx = [&](const QImage& img, const QRect& r) { return px(img, QPoint(r.right() - 12, r.center().y())); };

        QImage img = grab(&menu);
        // The menu's own background shows where no item is.
        QPoint outside(-1, -1);
        for (int y = 0; y < menu.height() && outside.x() < 0; ++y)
            for (int x = 0; x < menu.width() && outside.x() < 0; ++x) {
                bool inItem = false;
                for (QAction* a : items)
                    inItem = inItem || menu.actionGeometry(a).contains(x, y);
                if (!inItem)
                    outside = QPoint(x, y);
            }
        if (outside.x() >= 0)
            QCOMPARE(px(img, outside), kBg);
        QCOMPARE(itemPx(img, open), kItem);
        // Without an icon column no icon is drawn.
        int red = 0;
        for (int y = open.top(); y <= open.bottom(); ++y)
            for (int x = open.left(); x <= open.right(); ++x)
                red += px(img, QPoint(x, y)) == QColor(Qt::red);
        QCOMPARE(red, 0);
        // The submenu triangle, in light grey, near the item's right edge.
        QCOMPARE(px(img, QPoint(more.left() + more.width() - 1 - 5, more.top() + more.height() / 2)),
                 QColor(0xCC, 0xCC, 0xCC));

        // The pointer makes an item hot; the margin keeps it; hiding clears it.
        moveTo(&menu, open.center());
        QCOMPARE(menu.getHoverIndex(), 0);
        img = grab(&menu);
        QCOMPARE(itemPx(img, open), kHot);
        if (outside.x() >= 0) {
            moveTo(&menu, outside);
            QCOMPARE(menu.getHoverIndex(), 0);
        }
        // A disabled action is painted like an enabled one.
        const QRect off = menu.actionGeometry(items.last());
        moveTo(&menu, off.center());
        QCOMPARE(itemPx(grab(&menu), off), kHot);
        // A separator under the pointer is painted normal.
        const QRect sep = menu.actionGeometry(items[4]);
        moveTo(&menu, sep.center());
        QCOMPARE(menu.getHoverIndex(), 4);
        if (sep.height() > 2)
            QCOMPARE(px(grab(&menu), QPoint(sep.right() - 12, sep.center().y())), kItem);
        menu.hide();
        QCOMPARE(menu.getHoverIndex(), -1);

        // With an icon column the opaque item background is painted over the icon.
        menu.setIconOffset(20);
        FillStyle clear;
        clear.valid = false;
        menu.setItemStyle(CtrlStateNormal, clear);
        menu.popup(QPoint(40, 40));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        img = grab(&menu);
        const QRect first = menu.actionGeometry(menu.actions()[0]);
        QCOMPARE(px(img, QPoint(first.left() + 10, first.center().y())), QColor(Qt::red));
        menu.setItemStyle(CtrlStateNormal, menu.getItemStyle(CtrlStatePressed));
        img = grab(&menu);
        QCOMPARE(px(img, QPoint(first.left() + 10, first.center().y())), kItem);
        QVERIFY(tevtest::keepRender(img, QStringLiteral("views_menu_icons.png")));
        menu.hide();
    }

    // What a menu and a menu bar keep between paints follows every input: after each change the picture is
    // that of a widget made afresh in the new state.
    void keptTextsAndIconsFollowEveryChange()
    {
        MenuLook look;
        std::unique_ptr<TEVQMenu> menu = freshMenu(look);
        auto same = [&](const char* step) {
            // QMenu may size itself to a changed item: both menus take the size of the look.
            menu->resize(look.size.width(), static_cast<QWidget*>(menu.get())->sizeHint().height());
            const QImage kept = grab(menu.get());
            const QImage fresh = grab(freshMenu(look).get());
            if (kept != fresh)
                QTest::qFail(qPrintable(QStringLiteral("stale picture after: %1").arg(QLatin1String(step))), __FILE__,
                             __LINE__);
            return kept == fresh;
        };
        QVERIFY(same("first paint"));
        QVERIFY(same("a second paint"));
        look.texts[1] = QStringLiteral("Export the whole plant report");
        menu->actions()[1]->setText(look.texts[1]);
        QVERIFY(same("a text"));
        look.pixelSize = 17;
        styleMenu(*menu, look);
        QVERIFY(same("a text style"));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Serif"));
        const bool fontSame = same("the global font family");
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        QVERIFY(fontSame);
        look.size.setWidth(140); // the long text is elided now
        QVERIFY(same("the size"));
        look.icons = QStringList{QString(), QString(), QStringLiteral("red.png")};
        menu->actions()[0]->setProperty(TEVQMenu::iconPathProperty(), QString());
        menu->actions()[2]->setProperty(TEVQMenu::iconPathProperty(), QStringLiteral("red.png"));
        QVERIFY(same("the icon paths"));
        // Another picture under the same name, from another theme.
        QTemporaryDir other;
        QVERIFY(tevtest::writeFile(other.filePath("style.json"), kStyleJson));
        QImage blue(16, 16, QImage::Format_ARGB32);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(other.filePath("red.png")));
        QVERIFY(rm()->loadThemeDir(other.path()));
        const bool pictureSame = same("the picture behind the icon path");
        const QRect third = menu->actionGeometry(menu->actions()[2]);
        const QColor iconPx = px(grab(menu.get()), QPoint(third.left() + 10, third.center().y()));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QVERIFY(pictureSame);
        QCOMPARE(iconPx, QColor(Qt::blue));
        // Items added and removed.
        look.texts << QStringLiteral("Quit");
        look.icons << QStringLiteral("red.png");
        menu->addIconAction(QStringLiteral("red.png"), QStringLiteral("Quit"));
        QVERIFY(same("an item added"));
        look.texts.removeAt(0);
        look.icons.removeAt(0);
        menu->removeAction(menu->actions()[0]);
        QVERIFY(same("an item removed"));

        // The menu bar: titles, text style, font family and size.
        QStringList titles{QStringLiteral("File"), QStringLiteral("Plant"), QStringLiteral("Help")};
        TextStyleDesc text;
        rm()->getTextStyle(QStringLiteral("mText"), text);
        QSize barSize(300, 28);
        auto makeBar = [&](TEVQMenuBar& bar) {
            for (int s = 0; s < 4; ++s)
                bar.setTextStyle(CtrlState(s), text);
            for (const QString& t : titles)
                bar.addMenu(new QMenu(t, &bar));
            bar.resize(barSize);
        };
        TEVQMenuBar bar;
        makeBar(bar);
        auto sameBar = [&](const char* step) {
            TEVQMenuBar fresh;
            makeBar(fresh);
            const bool equal = grab(&bar) == grab(&fresh);
            if (!equal)
                QTest::qFail(qPrintable(QStringLiteral("stale menu bar after: %1").arg(QLatin1String(step))),
                             __FILE__, __LINE__);
            return equal;
        };
        QVERIFY(sameBar("first paint"));
        titles[1] = QStringLiteral("Inverters");
        bar.actions()[1]->setText(titles[1]);
        QVERIFY(sameBar("a title"));
        text.pixelSize = 18;
        for (int s = 0; s < 4; ++s)
            bar.setTextStyle(CtrlState(s), text);
        QVERIFY(sameBar("a text style"));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Serif"));
        const bool barFontSame = sameBar("the global font family");
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        QVERIFY(barFontSame);
        barSize = QSize(200, 34);
        bar.resize(barSize);
        QVERIFY(sameBar("the size"));
    }

    void keyboardNavigationMovesTheHotItem()
    {
        TEVQMenu menu;
        Json::Value doc = parse(kMenuDoc);
        menu.readJsonValue(&doc);
        menu.popup(QPoint(60, 60));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QTest::keyClick(&menu, Qt::Key_Down);
        const int first = menu.getHoverIndex();
        QVERIFY(first >= 0);
        QTest::keyClick(&menu, Qt::Key_Down);
        QCOMPARE(menu.getHoverIndex(), first + 1);
        const QRect r = menu.actionGeometry(menu.actions()[first + 1]);
        QCOMPARE(px(grab(&menu), QPoint(r.right() - 12, r.center().y())), kHot);
        QCOMPARE(menu.activeAction(), menu.actions()[first + 1]);
        menu.hide();
    }

    // Items inserted, removed or deleted while the menu is open: the hot item stays the action it was (the one
    // Return triggers), and no item is hot once that action is gone.
    void hotItemFollowsItsActionWhileItemsChange()
    {
        TEVQMenu menu;
        Json::Value doc = parse(kMenuDoc);
        menu.readJsonValue(&doc); // Open, Vector, Plain, More
        menu.popup(QPoint(40, 40));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QAction* plain = menu.actions()[2];
        moveTo(&menu, menu.actionGeometry(plain).center());
        QCOMPARE(menu.getHoverIndex(), 2);
        auto hotItems = [&] {
            const QImage img = grab(&menu);
            QList<QAction*> hot;
            for (QAction* a : menu.actions()) {
                const QRect r = menu.actionGeometry(a);
                if (px(img, QPoint(r.right() - 12, r.center().y())) == kHot)
                    hot << a;
            }
            return hot;
        };
        menu.removeAction(menu.actions()[0]);
        QCOMPARE(menu.getHoverIndex(), 1);
        QCOMPARE(hotItems(), QList<QAction*>{plain});
        menu.insertAction(menu.actions()[0], new QAction(QStringLiteral("First"), &menu));
        QCOMPARE(menu.getHoverIndex(), 2);
        QCOMPARE(hotItems(), QList<QAction*>{plain});
        QCOMPARE(menu.activeAction(), plain);
        delete plain;
        QCOMPARE(menu.getHoverIndex(), -1);
        QVERIFY(hotItems().isEmpty());
        // A submenu deleted while it is open under its hot item.
        QAction* more = menu.actions().last();
        moveTo(&menu, menu.actionGeometry(more).center());
        QTRY_VERIFY(more->menu()->isVisible());
        delete more->menu();
        QCOMPARE(menu.getHoverIndex(), -1);
        QVERIFY(hotItems().isEmpty());
        menu.hide();
    }

    void submenuOpensUnderThePointer()
    {
        TEVQMenu menu;
        Json::Value doc = parse(kMenuDoc);
        menu.readJsonValue(&doc);
        menu.popup(QPoint(80, 80));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QAction* more = menu.actions()[3];
        auto* sub = static_cast<TEVQMenu*>(more->menu());
        moveTo(&menu, menu.actionGeometry(more).center() - QPoint(0, 1));
        moveTo(&menu, menu.actionGeometry(more).center());
        QTRY_VERIFY(sub->isVisible());
        QCOMPARE(menu.getHoverIndex(), 3);
        // Keys reach the submenu: Down makes its first item hot.
        QTest::keyClick(sub, Qt::Key_Down);
        QTRY_COMPARE(sub->getHoverIndex(), 0);

        // The open menu and its submenu, side by side as on screen.
        const QRect both = menu.geometry().united(sub->geometry());
        QImage img(both.size(), QImage::Format_ARGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            p.drawImage(menu.geometry().topLeft() - both.topLeft(), grab(&menu));
            p.drawImage(sub->geometry().topLeft() - both.topLeft(), grab(sub));
        }
        QVERIFY(tevtest::keepRender(img, QStringLiteral("views_menu_submenu.png")));
        QTest::keyClick(sub, Qt::Key_Escape);
        QTRY_VERIFY(!sub->isVisible());
        menu.hide();
    }

    // ---- the menu bar ------------------------------------------------------------------------------------

    void menuBarStyleArray()
    {
        TEVQMenuBar bar;
        // A lone slot-1 entry styles every item state; slot 5 gives the bar's font one more pixel.
        Json::Value in = parse(R"({"style": [["mItem", 1, 1], ["mText", 2, 5], ["nope", 1, 0], ["mBg", 1, 99],
            [1, 1, 0], ["mBg"], "x"]})");
        QVERIFY(bar.readJsonValue(&in));
        for (int s = 0; s < 4; ++s) {
            QCOMPARE(bar.getItemBackground(CtrlState(s)).name, QStringLiteral("mItem"));
            QCOMPARE(bar.getTextStyle(CtrlState(s)).name, QStringLiteral("mText"));
        }
        QVERIFY(bar.getBackground(CommonCtrlStateNormal).name.isEmpty());
        QCOMPARE(bar.font().pixelSize(), 14);

        // Equal item states write one slot-1 entry; a differing named hot state writes every named state.
        Json::Value out;
        bar.serializeJsonValue(&out, false);
        QCOMPARE(QString::fromStdString(json::writeStyled(out["style"])).simplified(),
                 QStringLiteral(R"([ [ "mItem", 1, 1 ], [ "mText", 2, 5 ] ])"));
        FillStyle hot;
        QVERIFY(rm()->getFillStyle(QStringLiteral("mHot"), hot));
        bar.setItemBackground(CtrlStateHot, hot);
        out = Json::Value();
        bar.serializeJsonValue(&out, false);
        QCOMPARE(json::size(out["style"]), 5u);
        QCOMPARE(out["style"][1][2].asInt(), 2);
        QCOMPARE(out["style"][3][2].asInt(), 4);

        // The largest size a theme can give keeps that size (no pixel more).
        TEVQMenuBar huge;
        Json::Value hugeText = parse(R"({"style": [["mHuge", 2, 5]]})");
        QVERIFY(huge.readJsonValue(&hugeText));
        QCOMPARE(huge.getTextStyle(CtrlStateNormal).name, QStringLiteral("mHuge"));
        QCOMPARE(huge.font().pixelSize(), std::numeric_limits<int>::max());

        // Nothing named: "style" is null.
        TEVQMenuBar empty;
        Json::Value none;
        empty.serializeJsonValue(&none, false);
        QVERIFY(json::has(none, "style") && none["style"].isNull());
    }

    void menuBarPopupStylesRoundTrip()
    {
        // A pop-up background and a different pop-up item background share slot 9; both come back.
        TEVQMenuBar bar;
        FillStyle bg, item, hot;
        QVERIFY(rm()->getFillStyle(QStringLiteral("mPop"), bg));
        QVERIFY(rm()->getFillStyle(QStringLiteral("mItem"), item));
        QVERIFY(rm()->getFillStyle(QStringLiteral("mHot"), hot));
        bar.setPopupBackground(CommonCtrlStateDisable, bg);
        for (int s = 0; s < 4; ++s)
            bar.setPopupItemBackground(CtrlState(s), s == 1 ? hot : item);
        Json::Value out;
        bar.serializeJsonValue(&out, false);
        TEVQMenuBar back;
        back.readJsonValue(&out);
        QCOMPARE(back.getPopupBackground(CommonCtrlStateNormal).name, QStringLiteral("mPop"));
        for (int s = 0; s < 4; ++s)
            QCOMPARE(back.getPopupItemBackground(CtrlState(s)).name, s == 1 ? QStringLiteral("mHot") : QStringLiteral("mItem"));

        // A stored file with one slot-9 entry still styles the background and all four pop-up items.
        TEVQMenuBar old;
        Json::Value file = parse(R"({"style": [["mPop", 1, 9], ["mHot", 1, 10]]})");
        old.readJsonValue(&file);
        QCOMPARE(old.getPopupBackground(CommonCtrlStateNormal).name, QStringLiteral("mPop"));
        QCOMPARE(old.getPopupItemBackground(CtrlStateNormal).name, QStringLiteral("mPop"));
        QCOMPARE(old.getPopupItemBackground(CtrlStateHot).name, QStringLiteral("mHot"));
        QCOMPARE(old.getPopupItemBackground(CtrlStateDisable).name, QStringLiteral("mPop"));

        // The pop-up state setters take 0..3 only; 4 means all for the bar's own items.
        FillStyle x;
        x.name = QStringLiteral("x");
        old.setPopupItemBackground(CtrlState(4), x);
        old.setPopupTextStyle(CtrlState(-2), TextStyleDesc());
        QCOMPARE(old.getPopupItemBackground(CtrlStateNormal).name, QStringLiteral("mPop"));
        old.setItemBackground(CtrlState(4), x);
        for (int s = 0; s < 4; ++s)
            QCOMPARE(old.getItemBackground(CtrlState(s)).name, QStringLiteral("x"));
    }

    void menuBarPointerStatesAndPixels()
    {
        QWidget host;
        host.resize(300, 60);
        auto* bar = new TEVQMenuBar(&host);
        bar->setGeometry(0, 0, 300, 30);
        FillStyle bg, item, hot, press;
        rm()->getFillStyle(QStringLiteral("mBg"), bg);
        rm()->getFillStyle(QStringLiteral("mItem"), item);
        rm()->getFillStyle(QStringLiteral("mHot"), hot);
        rm()->getFillStyle(QStringLiteral("mPress"), press);
        bar->setBackground(CommonCtrlStateNormal, bg);
        bar->setItemBackground(CtrlState(4), item);
        bar->setItemBackground(CtrlStateHot, hot);
        bar->setItemBackground(CtrlStatePressed, press);
        bar->addAction(QStringLiteral("File"));
        bar->addAction(QStringLiteral("Edit"));
        bar->addMenu(new TEVQMenu(QStringLiteral("View"), bar));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        const QList<QAction*> items = bar->actions();
        const QRect file = bar->actionGeometry(items[0]);
        const QRect edit = bar->actionGeometry(items[1]);
        QVERIFY(!bar->actionGeometry(nullptr).isValid());
        auto at = [&](const QRect& r) { return px(grab(bar), QPoint(r.left() + 2, 28)); };
        QCOMPARE(px(grab(bar), QPoint(299, 29)), kBg);
        QCOMPARE(at(file), kItem);

        moveTo(bar, edit.center());
        QCOMPARE(bar->getHoverIndex(), 1);
        QCOMPARE(at(edit), kHot);
        QCOMPARE(at(file), kItem);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, edit.center());
        QCOMPARE(bar->getPressIndex(), 1);
        QCOMPARE(at(edit), kPress);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, edit.center());
        QCOMPARE(bar->getPressIndex(), -1);
        QCOMPARE(at(edit), kHot);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(bar, &leave);
        QCOMPARE(bar->getHoverIndex(), -1);
        QCOMPARE(at(edit), kItem);

        // Pressing an item that opens a menu: pressed while the menu is open, normal once it closes.
        const QRect view = bar->actionGeometry(items[2]);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, view.center());
        QCOMPARE(bar->getPressIndex(), 2);
        QTRY_VERIFY(items[2]->menu()->isVisible());
        items[2]->menu()->hide();
        QTRY_COMPARE(bar->getPressIndex(), -1);
        // Or once it is deleted while open.
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, view.center());
        QTRY_VERIFY(items[2]->menu()->isVisible());
        delete items[2]->menu();
        QCOMPARE(bar->getPressIndex(), -1);
        // A bar deleted with its own menu open.
        auto* other = new TEVQMenuBar(&host);
        other->setGeometry(0, 30, 300, 30);
        other->addMenu(new TEVQMenu(QStringLiteral("Open"), other));
        other->show();
        QTest::mousePress(other, Qt::LeftButton, Qt::NoModifier, other->actionGeometry(other->actions()[0]).center());
        QTRY_VERIFY(other->actions()[0]->menu()->isVisible());
        delete other;

        moveTo(bar, file.center());
        QVERIFY(tevtest::keepRender(grab(bar), QStringLiteral("views_menubar.png")));
    }

    // Items inserted or removed under the pointer or while an item's menu is open: the hot and pressed looks
    // stay on the items they were on, and leave with an item that goes.
    void menuBarStatesFollowTheirItems()
    {
        QWidget host;
        TEVQMenuBar* bar = themedBar(host);
        QAction* file = bar->addAction(QStringLiteral("File"));
        QAction* edit = bar->addAction(QStringLiteral("Edit"));
        QAction* view = bar->addMenu(new TEVQMenu(QStringLiteral("View"), bar));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        auto looks = [bar] { return barLooks(bar); };
        moveTo(bar, bar->actionGeometry(edit).center());
        bar->removeAction(file);
        QCOMPARE(bar->getHoverIndex(), 0);
        QCOMPARE(looks(), QStringLiteral("hot -"));
        bar->insertAction(edit, file);
        QCOMPARE(looks(), QStringLiteral("- hot -"));
        bar->removeAction(edit);
        QCOMPARE(bar->getHoverIndex(), -1);
        QCOMPARE(looks(), QStringLiteral("- -"));

        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(view).center());
        QTRY_VERIFY(view->menu()->isVisible());
        bar->insertAction(file, edit);
        QCOMPARE(bar->getPressIndex(), 2);
        QCOMPARE(looks().section(QLatin1Char(' '), 2), QStringLiteral("pressed"));
        bar->removeAction(view);
        QCOMPARE(bar->getPressIndex(), -1);
        view->menu()->hide();
    }

    // Keys move the bar's active item (Left and Right in an open menu, Escape back to the bar, Right there): the
    // hot item goes with them, one at a time, and once the keys are done it is the pointer's again (here none).
    void menuBarHotItemFollowsTheKeys()
    {
        QWidget host;
        TEVQMenuBar* bar = themedBar(host);
        QAction* file = bar->addMenu(new TEVQMenu(QStringLiteral("File"), bar));
        file->menu()->addAction(QStringLiteral("Open"));
        QAction* view = bar->addMenu(new TEVQMenu(QStringLiteral("View"), bar));
        view->menu()->addAction(QStringLiteral("Zoom"));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        auto looks = [bar] { return barLooks(bar); };
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(file).center());
        QTRY_VERIFY(file->menu()->isVisible());
        QTest::keyClick(file->menu(), Qt::Key_Right);
        QTRY_VERIFY(view->menu()->isVisible());
        QCOMPARE(bar->getHoverIndex(), 1);
        QCOMPARE(looks(), QStringLiteral("- hot"));
        QTest::keyClick(view->menu(), Qt::Key_Left);
        QTRY_VERIFY(file->menu()->isVisible());
        QCOMPARE(looks(), QStringLiteral("hot -"));
        QTest::keyClick(file->menu(), Qt::Key_Escape);
        QTRY_VERIFY(!file->menu()->isVisible());
        if (bar->activeAction()) { // the style's keyboard mode: the bar keeps the item
            QCOMPARE(looks(), QStringLiteral("hot -"));
            QTest::keyClick(bar, Qt::Key_Right);
            QCOMPARE(looks(), QStringLiteral("- hot"));
            QTest::keyClick(bar, Qt::Key_Escape);
        }
        QVERIFY(!bar->activeAction());
        QCOMPARE(looks(), QStringLiteral("- -"));
        QCOMPARE(bar->getHoverIndex(), -1);

        // The pointer's own: a press that opened a menu, the menu closed, a move past the last item keeps the
        // pressed item hot, as any move there does.
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(view).center());
        QTRY_VERIFY(view->menu()->isVisible());
        view->menu()->hide();
        moveTo(bar, QPoint(290, 15));
        QCOMPARE(looks(), QStringLiteral("- hot"));
    }

    void menuBarCatalogueBackgroundRow()
    {
        // The "Disable" state of the one background edits the same style as "Normal".
        ControlInfo* info = tevGetControlInfo(QStringLiteral("qtmenubar"));
        QVERIFY(info);
        std::unique_ptr<QWidget> bar(createControlByType("menubar", nullptr));
        QVERIFY(qobject_cast<TEVQMenuBar*>(bar.get()));
        const auto row = std::find_if(info->props.begin(), info->props.end(),
                                      [](const PropertyDef& d) { return d.name == QLatin1String("Background"); });
        QVERIFY(row != info->props.end());
        FillStyle f;
        f.name = QStringLiteral("edited");
        row->setFillStyle(bar.get(), 1, f);
        QCOMPARE(row->getFillStyle(bar.get(), 0).name, QStringLiteral("edited"));
    }
};

TEV_TEST_MAIN(TestMenus)
#include "tst_menus.moc"
