// The tab strip, the group box and the splitter: hit testing, selection and hover, the selected index after
// tabs are removed, outline geometry, painting in their states, JSON both ways (colours with alpha, line sizes,
// the splitter's geometry), mouse handling, weakly held panes, catalogue and registry entries.
#include "TevTest.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQControlRegistry.h"
#include "TEVQGroupBox.h"
#include "TEVQResourceManager.h"
#include "TEVQSplitter.h"
#include "TEVQTabWidget.h"

#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <json/json.h>

using namespace TEVQtLib;

namespace {

// No OpenGL in these tests: keep xcb from loading GLX (see tst_layout.cpp). Runs before main.
[[maybe_unused]] const bool g_noGlx = qputenv("QT_XCB_GL_INTEGRATION", "none");

Json::Value parse(const QString& text)
{
    Json::Value v;
    if (!json::parse(text.toStdString(), v))
        qFatal("bad test JSON: %s", qPrintable(text));
    return v;
}

void read(ITEVQWidgetBase* w, const QString& text)
{
    Json::Value e = parse(text);
    w->readJsonValue(&e);
}

Json::Value write(ITEVQWidgetBase* w)
{
    Json::Value out(Json::objectValue);
    w->serializeJsonValue(&out, false);
    return out;
}

QString text(const Json::Value& v) { return QString::fromStdString(json::writeStyled(v)); }
QString member(ITEVQWidgetBase* w, const char* key) { return text(json::get(write(w), key)); }
QString canonical(const QString& jsonText) { return text(parse(jsonText)); }

FillStyle colour(const char* name, QColor c)
{
    FillStyle s;
    s.name = QString::fromLatin1(name);
    s.fillRes.fillColor = c;
    return s;
}

TextStyleDesc textStyle(const char* name, QColor c)
{
    TextStyleDesc s;
    s.name = QString::fromLatin1(name);
    s.color = c;
    s.pixelSize = 12;
    s.horAlign = 1;
    return s;
}

void send(QWidget* w, QEvent::Type type, QPoint pos)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void showHeadless(QWidget& w)
{
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QCoreApplication::processEvents();
}

// A strip of n tabs with distinct colours per state: normal grey, hot blue, pressed orange.
void styleTabs(TEVQTabWidget& t, int n)
{
    t.setItemBackground(CtrlState(4), colour("tabN", QColor(90, 90, 90)));
    t.setItemBackground(CtrlStateHot, colour("tabH", QColor(40, 110, 210)));
    t.setItemBackground(CtrlStatePressed, colour("tabP", QColor(230, 140, 30)));
    t.setItemTextStyle(CtrlState(4), textStyle("tabText", Qt::white));
    t.setBackground(colour("tabBg", QColor(20, 24, 30)));
    for (int i = 0; i < n; ++i)
        t.addTab(QStringLiteral("Tab %1").arg(i));
}

// The group box's outline pixels of a box of the given size with a title of title size.
QImage renderGroup(TEVQGroupBox& g, QSize size)
{
    g.resize(size);
    QImage img(size, QImage::Format_ARGB32);
    img.fill(Qt::white);
    g.render(&img);
    return img;
}

class PressRecorder : public QWidget
{
public:
    int presses = 0;
    int moves = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void mouseMoveEvent(QMouseEvent*) override { ++moves; }
};

} // namespace

class TestPanels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        auto* rm = TEVQResourceManager::getInstance();
        for (FillStyle s : {colour("fillA", QColor(200, 10, 10)), colour("fillB", QColor(10, 200, 10))})
            rm->setFillStyle(s.name, s);
        for (TextStyleDesc s : {textStyle("textA", Qt::red), textStyle("textB", Qt::blue)})
            rm->setTextStyle(s.name, s);
        tevInitQtControl();
    }

    // ---- tab strip -----------------------------------------------------------------------------------------

    void tabHitTest_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("hit");
        // Three tabs of 50 with gaps of 10, in a 300 x 40 (or 40 x 300) strip.
        QTest::newRow("first tab, far edge") << true << QPoint(49, 20) << 0;
        QTest::newRow("gap start") << true << QPoint(50, 20) << -1;
        QTest::newRow("gap end") << true << QPoint(59, 20) << -1;
        QTest::newRow("second tab") << true << QPoint(60, 0) << 1;
        QTest::newRow("third tab, last pixel") << true << QPoint(169, 39) << 2;
        QTest::newRow("past the last tab") << true << QPoint(200, 20) << -1;
        QTest::newRow("vertical second") << false << QPoint(5, 60) << 1;
        QTest::newRow("vertical gap") << false << QPoint(5, 55) << -1;
    }

    void tabHitTest()
    {
        QFETCH(bool, horizontal);
        QFETCH(QPoint, pos);
        TEVQTabWidget t;
        t.resize(horizontal ? QSize(300, 40) : QSize(40, 300));
        t.setIsHor(horizontal);
        t.setItemSpace(10);
        styleTabs(t, 3);
        t.setSelectedIndex(-1);
        QSignalSpy changed(&t, &TEVQTabWidget::currentChanged);
        send(&t, QEvent::MouseButtonPress, pos);
        QFETCH(int, hit);
        QCOMPARE(t.getSelectedIndex(), hit);
        QCOMPARE(changed.count(), hit < 0 ? 0 : 1);
        send(&t, QEvent::MouseMove, pos);
        QCOMPARE(t.painter()->hoverIndex, hit);
    }

    void tabSelection()
    {
        TEVQTabWidget t;
        t.resize(300, 40);
        styleTabs(t, 3);
        QCOMPARE(t.getSelectedIndex(), 0); // a new strip selects its first tab
        QSignalSpy changed(&t, &TEVQTabWidget::currentChanged);
        // Pressing the selected tab again reports it again; setting it again does not.
        send(&t, QEvent::MouseButtonPress, QPoint(10, 10));
        send(&t, QEvent::MouseButtonPress, QPoint(10, 10));
        t.setSelectedIndex(0);
        t.setSelectedIndex(3); // past the last
        QCOMPARE(changed.count(), 2);
        t.setSelectedIndex(-7); // any negative index selects none
        t.setSelectedIndex(-1);
        QCOMPARE(t.getSelectedIndex(), -1);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(2).at(0).toInt(), -1);
        QVERIFY(!t.setItemData(3, 1) && !t.getItemData(-1).isValid() && t.getTabText(5).isNull());
        // A tab without a selected icon shows its icon when selected too.
        t.addTab(QStringLiteral("icons"), QStringLiteral("plain.png"), QString());
        QCOMPARE(t.painter()->items[3].selectedIcon, QStringLiteral("plain.png"));
    }

    void tabIndicesAfterRemoval_data()
    {
        // Five tabs; the selected and hovered tab before, the tab removed, then the selected index, the index
        // reported (-2: nothing) and the hovered index: the tab now under the resting pointer.
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("hovered");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("nowSelected");
        QTest::addColumn<int>("reported");
        QTest::addColumn<int>("nowHovered");
        QTest::newRow("after the selected") << 1 << 1 << 3 << 1 << -2 << 1;
        QTest::newRow("before the selected, hover past the end") << 3 << 4 << 0 << 2 << 2 << -1;
        QTest::newRow("before the hovered") << 3 << 2 << 0 << 2 << 2 << 2;
        QTest::newRow("the selected, a neighbour follows") << 2 << 2 << 2 << 2 << 2 << 2;
        QTest::newRow("the selected last") << 4 << 0 << 4 << 3 << 3 << 0;
        QTest::newRow("the hovered last") << 1 << 4 << 4 << 1 << -2 << -1;
        QTest::newRow("none selected") << -1 << -1 << 2 << -1 << -2 << -1;
        QTest::newRow("out of range") << 2 << 1 << 5 << 2 << -2 << 1;
        QTest::newRow("negative index") << 2 << 1 << -1 << 2 << -2 << 1;
    }

    void tabIndicesAfterRemoval()
    {
        QFETCH(int, selected);
        QFETCH(int, hovered);
        QFETCH(int, removed);
        TEVQTabWidget t;
        t.resize(300, 40);
        styleTabs(t, 5);
        t.setSelectedIndex(selected);
        if (hovered >= 0)
            send(&t, QEvent::MouseMove, QPoint(hovered * 50 + 20, 20));
        QCOMPARE(t.painter()->hoverIndex, hovered);
        const QString wasSelected = t.getTabText(selected);
        QSignalSpy changed(&t, &TEVQTabWidget::currentChanged);
        t.removeTab(removed);
        QTEST(t.getSelectedIndex(), "nowSelected");
        QTEST(t.painter()->hoverIndex, "nowHovered");
        QFETCH(int, reported);
        QCOMPARE(changed.count(), reported == -2 ? 0 : 1);
        if (reported != -2)
            QCOMPARE(changed.at(0).at(0).toInt(), reported);
        // A tab that stays keeps its selection.
        if (selected >= 0 && selected != removed)
            QCOMPARE(t.getTabText(t.getSelectedIndex()), wasSelected);
    }

    void tabClearAndLastRemoval()
    {
        TEVQTabWidget t;
        styleTabs(t, 1);
        QSignalSpy changed(&t, &TEVQTabWidget::currentChanged);
        t.removeTab(0);
        QCOMPARE(t.getSelectedIndex(), -1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), -1);

        // Clearing reports the selection gone; the strip is then as a new one.
        styleTabs(t, 3);
        t.setSelectedIndex(2);
        changed.clear();
        t.clear();
        QCOMPARE(t.getTabCount(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), -1);
        t.removeAllTab(); // nothing selected: nothing reported
        QCOMPARE(changed.count(), 1);
        t.addTab(QStringLiteral("again"));
        QCOMPARE(t.getSelectedIndex(), 0);
    }

    void tabEmptiedStripSelectsItsNextTab_data()
    {
        QTest::addColumn<int>("road"); // 0 clear, 1 removeAllTab, 2 removeTab from the front, 3 from the back
        QTest::newRow("clear") << 0;
        QTest::newRow("removeAllTab") << 1;
        QTest::newRow("removeTab from the front") << 2;
        QTest::newRow("removeTab from the back") << 3;
    }

    void tabEmptiedStripSelectsItsNextTab()
    {
        // However the strip is emptied, it ends selecting none with nothing hovered, every report matches the
        // index stored, and the next tab added is selected, drawn so and reported, as a driven stack needs.
        QFETCH(int, road);
        TEVQTabWidget t;
        t.resize(300, 40);
        styleTabs(t, 3);
        t.setSelectedIndex(1);
        send(&t, QEvent::MouseMove, QPoint(120, 20));
        QCOMPARE(t.painter()->hoverIndex, 2);
        QList<int> reported, stored;
        connect(&t, &TEVQTabWidget::currentChanged, this, [&](int i) {
            reported.append(i);
            stored.append(t.getSelectedIndex());
        });
        if (road == 0)
            t.clear();
        else if (road == 1)
            t.removeAllTab();
        while (t.getTabCount() > 0)
            t.removeTab(road == 2 ? 0 : t.getTabCount() - 1);
        QCOMPARE(t.getSelectedIndex(), -1);
        QVERIFY(!reported.isEmpty());
        QCOMPARE(reported, stored);
        QCOMPARE(reported.last(), -1);
        QCOMPARE(t.painter()->hoverIndex, -1);

        reported.clear();
        t.addTab(QStringLiteral("again"));
        QCOMPARE(t.getSelectedIndex(), 0);
        QCOMPARE(reported, QList<int>{0});
        t.addTab(QStringLiteral("more")); // a strip with a selection keeps it
        QCOMPARE(reported.size(), 1);
        const QImage img = t.grab().toImage();
        QCOMPARE(img.pixelColor(5, 5), QColor(230, 140, 30)); // selected
        QCOMPARE(img.pixelColor(55, 5), QColor(90, 90, 90));  // normal
    }

    void tabHoverAndPainting()
    {
        // Normal, hot and pressed tabs; a tab both selected and hovered draws pressed. A gap keeps the hover;
        // leaving the widget clears it.
        QWidget host;
        host.resize(420, 200);
        auto* t = new TEVQTabWidget(&host);
        t->setGeometry(0, 0, 420, 36);
        t->setItemSize(100);
        t->setItemSpace(4);
        styleTabs(*t, 4);
        t->setSelectedIndex(1);
        auto* v = new TEVQTabWidget(&host);
        v->setGeometry(0, 44, 100, 156);
        v->setIsHor(false);
        v->setItemSize(36);
        v->setItemSpace(2);
        styleTabs(*v, 4);
        v->setSelectedIndex(3);
        v->setShowText(false);
        showHeadless(host);

        send(t, QEvent::MouseMove, QPoint(250, 10));
        QCOMPARE(t->painter()->hoverIndex, 2);
        send(t, QEvent::MouseMove, QPoint(101, 10)); // the gap between tabs 0 and 1
        QCOMPARE(t->painter()->hoverIndex, 2);
        send(v, QEvent::MouseMove, QPoint(10, 120));
        QCOMPARE(v->painter()->hoverIndex, 3);
        const QImage img = host.grab().toImage();
        QVERIFY(tevtest::keepRender(img, QStringLiteral("tev_tab_states.png")));
        QCOMPARE(img.pixelColor(5, 5), QColor(90, 90, 90));      // normal
        QCOMPARE(img.pixelColor(110, 5), QColor(230, 140, 30));  // selected
        QCOMPARE(img.pixelColor(215, 5), QColor(40, 110, 210));  // hovered
        QCOMPARE(img.pixelColor(102, 5), QColor(20, 24, 30));    // gap: the strip's background
        QCOMPARE(img.pixelColor(5, 44 + 3 * 38 + 5), QColor(230, 140, 30)); // selected and hovered: pressed

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(t, &leave);
        QCOMPARE(t->painter()->hoverIndex, -1);
        QCOMPARE(t->grab().toImage().pixelColor(215, 5), QColor(90, 90, 90));
    }

    void tabJson_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("attr");
        // The strip is vertical before: an element without "attr" keeps that.
        QTest::newRow("defaults") << "{}" << "null" << R"({"isHor": 0})";
        QTest::newRow("strip settings") << R"({"attr": {"itemSize": 40, "isHor": 0, "itemSpace": 3, "showText": 0, "hasIcon": false}})"
                                        << "null" << R"({"itemSize": 40, "isHor": 0, "itemSpace": 3, "showText": 0, "hasIcon": 0})";
        QTest::newRow("a missing isHor is horizontal") << R"({"attr": {"itemSize": 40}})" << "null" << R"({"itemSize": 40})";
        QTest::newRow("first slots fill all states")
            << R"({"style": [["fillA", 1, 0], ["fillB", 1, 1], ["textA", 2, 5]]})"
            << R"([["fillA", 1, 0], ["fillB", 1, 1], ["textA", 2, 5]])" << R"({"isHor": 0})";
        QTest::newRow("a later slot changes one state")
            << R"({"style": [["textA", 2, 5], ["textB", 2, 7], ["nope", 1, 2], ["fillB", 1, 9]]})"
            << R"([["textA", 2, 5], ["textA", 2, 6], ["textB", 2, 7], ["textA", 2, 8]])" << R"({"isHor": 0})";
        QTest::newRow("wrong types") << R"({"style": [[1, 2, 3], "x"], "attr": {"itemSize": "big", "showText": "no"}})"
                                     << "null" << "null";
    }

    void tabJson()
    {
        QFETCH(QString, input);
        TEVQTabWidget t;
        t.setIsHor(false); // a missing "isHor" in an "attr" makes the strip horizontal
        read(&t, input);
        QFETCH(QString, style);
        QCOMPARE(member(&t, "style"), canonical(style));
        QFETCH(QString, attr);
        QCOMPARE(member(&t, "attr"), canonical(attr));
        QVERIFY(json::has(write(&t), "attr"));

        // Read back into a new strip: the same element.
        TEVQTabWidget u;
        Json::Value out = write(&t);
        u.readJsonValue(&out);
        QCOMPARE(member(&u, "style"), member(&t, "style"));
        QCOMPARE(u.getIsHor(), t.getIsHor());
        QCOMPARE(u.getItemSize(), t.getItemSize());
        QCOMPARE(u.getShowIcon(), t.getShowIcon());
    }

    void tabThemeKeepsTheStripsDirection()
    {
        // A theme element without "isHor", read again at a theme change, leaves a vertical strip vertical.
        QTemporaryDir dir;
        QVERIFY(tevtest::writeFile(dir.filePath("style.json"), R"({"style": [{"type": 1, "name": "tabBg"}]})"));
        QVERIFY(tevtest::writeFile(dir.filePath("theme.json"),
                                   R"({"elements": [{"child": [{"name": "TTab", "attr": {"itemSize": 40}}]}]})"));
        QVERIFY(TEVQResourceManager::getInstance()->loadThemeDir(dir.path()));
        TEVQTabWidget t;
        t.setIsHor(false);
        t.setThemeName(QStringLiteral("TTab"));
        QCOMPARE(t.getItemSize(), 40);
        QVERIFY(!t.getIsHor());
    }

    void tabDemoTabsInTheEmulator()
    {
        TEVQTabWidget t;
        t.initDemoData();
        QCOMPARE(t.getTabCount(), 0);
        detail::setQtEmulator(true);
        t.initDemoData();
        t.initDemoData();
        detail::setQtEmulator(false);
        QCOMPARE(t.getTabCount(), 6);
        QCOMPARE(t.getTabText(5), QStringLiteral("item3"));
    }

    // ---- group box -----------------------------------------------------------------------------------------

    void groupOutline_data()
    {
        QTest::addColumn<bool>("showText");
        QTest::addColumn<int>("lineSize");
        QTest::newRow("with title") << true << 1;
        QTest::newRow("without title") << false << 1;
        QTest::newRow("line size 3") << true << 3;
    }

    void groupOutline()
    {
        // The top line runs at half the title height from the left edge to x = 5 and from 9 + title width to
        // the right side (x = w - 2); the sides at x = 0 and x = w - 2; the bottom at y = h - line size.
        QFETCH(bool, showText);
        QFETCH(int, lineSize);
        TEVQGroupBox g;
        g.setText(QStringLiteral("Inverters"));
        g.setTextStyle(CommonCtrlStateNormal, textStyle("groupText", Qt::red));
        g.setShowText(showText);
        g.setLineSize(lineSize);
        g.setLineColor(Qt::blue);
        const QSize title = TEVQWidgetBaseImpl::getTextSize(g.getTextStyle(CommonCtrlStateNormal), g.getText());
        const int tw = showText ? title.width() : 0;
        const int y0 = title.height() / 2;
        const QImage img = renderGroup(g, QSize(200, 100));
        const QColor line(Qt::blue);
        const QColor paper = img.pixelColor(100, 50);
        for (int x : {0, 5, 9 + tw, 198})
            QCOMPARE(img.pixelColor(x, y0), line);
        for (int x : {6, 8, 8 + tw})
            QVERIFY2(img.pixelColor(x, y0) != line, qPrintable(QString::number(x)));
        QCOMPARE(img.pixelColor(199, y0), paper);
        for (int y : {y0 + 1, 50, 100 - lineSize}) {
            QCOMPARE(img.pixelColor(0, y), line);
            QCOMPARE(img.pixelColor(198, y), line);
        }
        QCOMPARE(img.pixelColor(100, 100 - lineSize), line);
        if (lineSize > 1)
            QCOMPARE(img.pixelColor(100, 100 - lineSize + 1), paper); // still one pixel wide
        // The title in red inside (7, 0, tw + 5, th) only.
        bool red = false;
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < title.height(); ++y) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 100 && c.blue() < 100) {
                    red = true;
                    QVERIFY(x >= 7 && x < 7 + tw + 5);
                }
            }
        }
        QCOMPARE(red, showText);
    }

    void cachedTitlesFollowTheirInputs()
    {
        // Tab and group titles are laid out once and kept between paints: a new text, colour or size shows at
        // the next paint all the same.
        auto inked = [](QWidget& w, QRect area, auto isInk) {
            const QImage img = w.grab().toImage();
            int n = 0;
            for (int x = area.left(); x <= area.right(); ++x)
                for (int y = area.top(); y <= area.bottom(); ++y)
                    n += isInk(img.pixelColor(x, y)) ? 1 : 0;
            return n;
        };
        auto red = [](const QColor& c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
        auto blue = [](const QColor& c) { return c.blue() > 150 && c.red() < 90 && c.green() < 120; };

        TEVQTabWidget tabs;
        tabs.resize(300, 36);
        tabs.setItemSize(150);
        tabs.setItemBackground(CtrlState(4), colour("tabW", Qt::white));
        tabs.setItemTextStyle(CtrlState(4), textStyle("tabRed", QColor(220, 20, 20)));
        tabs.addTab(QStringLiteral("I"));
        tabs.addTab(QStringLiteral("WWWW"));
        const QRect first(0, 0, 150, 36);
        const int narrow = inked(tabs, first, red);
        QVERIFY(narrow > 0);
        tabs.painter()->items[0].text = QStringLiteral("WWWWWW");
        QVERIFY(inked(tabs, first, red) > 2 * narrow);
        tabs.setItemTextStyle(CtrlState(4), textStyle("tabBlue", QColor(20, 40, 220)));
        QCOMPARE(inked(tabs, first, red), 0);
        QVERIFY(inked(tabs, first, blue) > 2 * narrow);
        tabs.removeAllTab(); // fewer tabs than kept texts
        tabs.addTab(QStringLiteral("I"));
        QVERIFY(inked(tabs, first, blue) > 0 && inked(tabs, first, blue) < 2 * narrow);

        TEVQGroupBox group;
        group.resize(200, 80);
        TextStyleDesc title = textStyle("groupRed", QColor(220, 20, 20));
        title.horAlign = 0;
        group.setTextStyle(CommonCtrlStateNormal, title);
        group.setText(QStringLiteral("I"));
        const QRect top(0, 0, 200, 30);
        const int one = inked(group, top, red);
        QVERIFY(one > 0);
        group.setText(QStringLiteral("WWWW"));
        QVERIFY(inked(group, top, red) > 2 * one);
        title.color = QColor(20, 40, 220);
        group.setTextStyle(CommonCtrlStateNormal, title);
        QCOMPARE(inked(group, top, red), 0);
        QVERIFY(inked(group, top, blue) > 2 * one);
    }

    void groupRendersItsStates()
    {
        QWidget host;
        host.resize(500, 120);
        host.setAutoFillBackground(true);
        const char* titles[] = {"Inverter group", "", "Line size 4"};
        for (int i = 0; i < 3; ++i) {
            auto* g = new TEVQGroupBox(&host);
            g->setGeometry(10 + i * 160, 10, 150, 100);
            g->setText(QString::fromLatin1(titles[i]));
            TextStyleDesc title = textStyle("groupText", QColor(30, 60, 120));
            title.horAlign = 0;
            g->setTextStyle(CommonCtrlStateNormal, title);
            g->setLineColor(QColor(30, 60, 120));
            g->setShowText(i != 1);
            if (i == 2)
                g->setLineSize(4);
        }
        showHeadless(host);
        QVERIFY(tevtest::keepRender(host.grab().toImage(), QStringLiteral("tev_groupbox_states.png")));
    }

    void groupJson_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("lineSize");
        QTest::addColumn<QString>("attr"); // as written back
        QTest::newRow("defaults") << "{}" << QColor(0, 0, 0) << 1 << R"({"color": "FF000000"})";
        QTest::newRow("size and opaque green") << R"({"attr": {"size": 2, "color": "FF00FF00"}})" << QColor(0, 255, 0)
                                               << 2 << R"({"size": 2, "color": "FF00FF00"})";
        QTest::newRow("alpha kept") << R"({"attr": {"color": "8012AB34"}})" << QColor(0x12, 0xAB, 0x34, 0x80) << 1
                                    << R"({"color": "8012AB34"})";
        QTest::newRow("transparent black") << R"({"attr": {"color": "00000000"}})" << QColor(0, 0, 0, 0) << 1
                                           << R"({"color": "00000000"})";
        QTest::newRow("line size 0") << R"({"attr": {"size": 0}})" << QColor(0, 0, 0) << 0
                                     << R"({"size": 0, "color": "FF000000"})";
        QTest::newRow("six digits are opaque") << R"({"attr": {"color": "00FF00"}})" << QColor(0, 255, 0) << 1
                                               << R"({"color": "FF00FF00"})";
        QTest::newRow("number as RGB") << R"({"attr": {"color": 16711680}})" << QColor(255, 0, 0) << 1
                                       << R"({"color": "FFFF0000"})";
        QTest::newRow("text and no title") << R"({"attr": {"text": "Süd", "showText": false}})" << QColor(0, 0, 0) << 1
                                           << R"({"text": "Süd", "color": "FF000000", "showText": 0})";
        QTest::newRow("wrong types") << R"({"attr": {"size": "2", "color": [1], "text": 5}})" << QColor(0, 0, 0) << 1
                                     << R"({"color": "FF000000"})";
        QTest::newRow("styles") << R"({"style": [["fillA", 1, 0], ["textB", 2, 2], ["textA", 2, 1]], "attr": {}})"
                                << QColor(0, 0, 0) << 1 << R"({"color": "FF000000"})";
    }

    void groupJson()
    {
        QFETCH(QString, input);
        TEVQGroupBox g;
        read(&g, input);
        QTEST(g.getLineColor(), "colour");
        QTEST(g.getLineSize(), "lineSize");
        QFETCH(QString, attr);
        QCOMPARE(member(&g, "attr"), canonical(attr));
        QCOMPARE(member(&g, "style"), canonical(input.contains("style") ? R"([["fillA", 1, 0], ["textB", 2, 2]])" : "null"));
        QVERIFY(!json::has(write(&g), "style") || input.contains("style"));

        // Written and read back: the same colour (alpha included), size, text and flag.
        TEVQGroupBox h;
        h.setLineColor(Qt::red);
        Json::Value out = write(&g);
        h.readJsonValue(&out);
        QCOMPARE(h.getLineColor(), g.getLineColor());
        QCOMPARE(h.getLineColor().alpha(), g.getLineColor().alpha());
        QCOMPARE(h.getLineSize(), g.getLineSize());
        QCOMPARE(h.getText(), g.getText());
        QCOMPARE(h.getShowText(), g.getShowText());
    }

    // ---- splitter ------------------------------------------------------------------------------------------

    void splitterPaintsAndSwallowsTheMouse()
    {
        // A new splitter paints nothing until it has a valid style; the mouse stops at it and moves nothing;
        // the panes are only recorded, and a pane deleted reads as null.
        PressRecorder host;
        host.resize(60, 30);
        host.setAutoFillBackground(true);
        QPalette pal;
        pal.setColor(QPalette::Window, QColor(40, 40, 40));
        host.setPalette(pal);
        auto* s = new TEVQSplitter(&host);
        s->setGeometry(10, 0, 6, 30);
        auto* t = new TEVQSplitter(&host);
        t->setGeometry(30, 0, 6, 30);
        read(t, R"({"style": [["fillB", 1, 0]]})");
        showHeadless(host);
        const QImage img = host.grab().toImage();
        QVERIFY(tevtest::keepRender(img.scaled(240, 120), QStringLiteral("tev_splitter_states.png")));
        QCOMPARE(img.pixelColor(12, 15), QColor(40, 40, 40));
        QCOMPARE(img.pixelColor(32, 15), QColor(10, 200, 10));

        auto* left = new QWidget(&host);
        s->setUpLeftWidget(left);
        QCOMPARE(QVector<int>({s->getUpLeftLimit(), s->getDownRightLimit(), s->getIsHor()}), QVector<int>({-1, -1, 1}));
        send(s, QEvent::MouseButtonPress, QPoint(3, 10));
        send(s, QEvent::MouseMove, QPoint(40, 10));
        send(s, QEvent::MouseButtonRelease, QPoint(40, 10));
        QCOMPARE(host.presses + host.moves, 0);
        QCOMPARE(s->geometry(), QRect(10, 0, 6, 30));
        QCOMPARE(s->getUpLeftWidget(), left);
        delete left;
        QCOMPARE(s->getUpLeftWidget(), nullptr);
    }

    void splitterJson()
    {
        // No named background writes "style": null; a named one and the splitter's size and place survive.
        QWidget host;
        auto& s = *new TEVQSplitter(&host);
        QCOMPARE(member(&s, "style"), canonical("null"));
        read(&s, R"({"layout": {"type": 1}, "x": 120, "y": 4, "w": 6, "h": 300, "style": [["fillA", 1, 0], ["fillB", 1, 1]]})");
        QCOMPARE(s.geometry(), QRect(120, 4, 6, 300));
        const Json::Value out = write(&s);
        QCOMPARE(text(json::get(out, "style")), canonical(R"([["fillA", 1, 0]])"));
        auto& t = *new TEVQSplitter(&host);
        Json::Value copy = out;
        t.readJsonValue(&copy);
        void* data = nullptr;
        t.getLayoutData(data);
        QVERIFY(data);
        const auto* r = static_cast<const TEVLayoutRect*>(data);
        QCOMPARE(QRect(r->x, r->y, r->w, r->h), QRect(120, 4, 6, 300));
        t.resizeWidget();
        QCOMPARE(t.geometry(), s.geometry());
        QCOMPARE(t.getBackground().name, QStringLiteral("fillA"));
        QCOMPARE(text(write(&t)), text(out));
    }

    // ---- catalogue, registry -------------------------------------------------------------------------------

    void catalogueRowsReachTheWidgets()
    {
        // Every row past the common ones has both accessors, and they reach the widget.
        for (const ControlInfo& info : {TEVQTabWidget::getProps(), TEVQGroupBox::getProps()}) {
            for (int i = 7; i < info.props.size(); ++i)
                QVERIFY2(info.props[i].hasGetter() && info.props[i].hasSetter(), qPrintable(info.props[i].name));
        }
        const ControlInfo tab = TEVQTabWidget::getProps();
        QCOMPARE(tab.props.size(), 15);
        TEVQTabWidget t;
        tab.props[8].setFillStyle(&t, 2, colour("itemX", Qt::blue));
        QCOMPARE(t.getItemBackground(CtrlStatePressed).name, QStringLiteral("itemX"));
        tab.props[11].setInt(&t, 33);
        QCOMPARE(t.getItemSize(), 33);

        const ControlInfo group = TEVQGroupBox::getProps();
        QCOMPARE(group.props.size(), 13);
        TEVQGroupBox g;
        group.props[8].setTextStyle(&g, 0, textStyle("textY", Qt::blue));
        QCOMPARE(g.getTextStyle(CommonCtrlStateNormal).name, QStringLiteral("textY"));
        group.props[11].setText(&g, QStringLiteral("80FF0000"));
        QCOMPARE(g.getLineColor(), QColor(255, 0, 0, 128));
    }

    void registryEntries()
    {
        QWidget parent;
        struct Entry {
            const char* type;
            const char* typeName;
            bool catalogued;
        };
        for (const Entry& e : {Entry{"qttab", "qttab", true}, Entry{"tab", "qttab", false},
                               Entry{"qtgroupbox", "qtgroupbox", true}, Entry{"groupbox", "qtgroupbox", false},
                               Entry{"qtsplitter", "qtsplitter", false}, Entry{"splitter", "qtsplitter", false}}) {
            QWidget* w = createControlByType(e.type, &parent);
            QVERIFY2(w, e.type);
            QCOMPARE(tevWidgetInterface(w)->getTypeName(), QString::fromLatin1(e.typeName));
            QCOMPARE(tevGetControlInfo(QString::fromLatin1(e.type)) != nullptr, e.catalogued);
        }
    }
};

TEV_TEST_MAIN(TestPanels)
#include "tst_panels.moc"
