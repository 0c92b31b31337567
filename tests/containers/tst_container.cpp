// The container widget and the spacer: background states and painting, JSON both ways, the click signal,
// the resize animation, native window binding, deletion at any time, catalogue and registry entries.
#include "TevStyles.h"
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQResourceManager.h"
#include "TEVQLabel.h"
#include "TEVQScrollBar.h"
#include "TEVQSlider.h"
#include "TEVQSpacer.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWindow>

#include <json/json.h>

using namespace TEVQtLib;

namespace {

// No OpenGL in these tests: keep xcb from loading GLX (see tst_layout.cpp). Runs before main.
[[maybe_unused]] const bool g_noGlx = qputenv("QT_XCB_GL_INTEGRATION", "none");

constexpr int U = 16777215;

using tevtest::parse;

void read(ITEVQWidgetBase* w, const char* text)
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

QString styleText(ITEVQWidgetBase* w)
{
    return QString::fromStdString(json::writeStyled(json::get(write(w), "style")));
}
QString styleText(const char* text) { return QString::fromStdString(json::writeStyled(parse(text))); }

QVector<int> padding(const TEVQContainer& c)
{
    int l = -1, t = -1, r = -1, b = -1;
    c.getChildPadding(l, t, r, b);
    return {l, t, r, b};
}

FillStyle colour(const char* name, QColor c)
{
    FillStyle s;
    s.name = QString::fromLatin1(name);
    s.fillRes.fillColor = c;
    return s;
}

FillStyle stored(const char* name)
{
    FillStyle s;
    TEVQResourceManager::getInstance()->getFillStyle(QString::fromLatin1(name), s);
    return s;
}

QColor pixel(QWidget& w, int x, int y) { return w.grab().toImage().pixelColor(x, y); }

void showHeadless(QWidget& w)
{
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
}

// A child for a row or column: its size, policies and colour (an invalid colour paints nothing).
template <typename W = TEVQContainer>
W* child(QSize size, LayoutSizePolicy wPolicy, LayoutSizePolicy hPolicy, QColor c = QColor())
{
    auto* w = new W;
    w->setWidthPolicy(wPolicy);
    w->setHeightPolicy(hPolicy);
    if (size.isValid())
        w->resize(size);
    if constexpr (std::is_same_v<W, TEVQContainer>) {
        if (c.isValid())
            w->setColor(c);
        else
            w->setDrawBackground(false);
    }
    return w;
}

} // namespace

// A panel derived from the container, as the ribbon's pages and the dashboard's cards are.
class TestPanel : public TEVQContainer
{
    Q_OBJECT
    TEV_WIDGET_SUBCLASS(TestPanel, "testpanel")
public:
    explicit TestPanel(QWidget* parent = nullptr) : TEVQContainer(parent)
    {
        tevSetImpl(new TEVQContainerImpl(this, QStringLiteral("testpanel")));
    }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        TEVQContainer::paintEvent(e);
        ++paints;
    }
};

class TestContainer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (FillStyle s : {colour("bgA", QColor(200, 10, 10)), colour("bgB", QColor(10, 200, 10))})
            TEVQResourceManager::getInstance()->setFillStyle(s.name, s);
        tevInitQtControl();
    }

    void backgroundStatesAndPainting()
    {
        // Hot, pressed and disabled share the disabled slot; a colour switches the fill style back on.
        TEVQContainer c;
        c.resize(40, 30);
        c.setBackgroundState(CtrlStateNormal, colour("n", QColor(250, 0, 0)));
        c.setBackgroundState(CtrlStateHot, colour("d", QColor(0, 0, 250)));
        QCOMPARE(c.getDisableBackground().name, QStringLiteral("d"));
        QCOMPARE(c.getBackgroundState(CtrlStatePressed).name, QStringLiteral("d"));
        QCOMPARE(pixel(c, 39, 29), QColor(250, 0, 0));
        c.setEnabled(false);
        QCOMPARE(pixel(c, 20, 15), QColor(0, 0, 250));
        c.setEnabled(true);
        c.setUseFillStyle(false);
        c.setColor(QColor(1, 2, 3));
        QVERIFY(c.getUseFillStyle());
        QCOMPARE(pixel(c, 20, 15), QColor(1, 2, 3));
        c.setDrawBackground(false);
        QVERIFY(pixel(c, 20, 15) != QColor(1, 2, 3));
    }

    void painterDrawsIntoAnyRectangle()
    {
        // As a view paints a container into one of its cells.
        TEVQContainer c;
        c.setBackground(colour("cell", QColor(0, 160, 80)));
        QImage img(60, 40, QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        c.containerImpl()->draw(&p, QRect(10, 5, 20, 10));
        p.end();
        QCOMPARE(img.pixelColor(29, 14), QColor(0, 160, 80));
        QCOMPARE(img.pixelColor(30, 14), QColor(Qt::white));
        QCOMPARE(img.pixelColor(9, 5), QColor(Qt::white));
        c.containerImpl()->draw(nullptr, QRect(0, 0, 5, 5)); // nothing to paint on
    }

    void nestedFillsOnScreen()
    {
        // Containers of their parent's colour: what the screen shows is what every fill drawn in turn gives, also
        // where a lower sibling lies beneath one, under a parent whose colour lets the window through, under a
        // parent of another kind, and when a container is grabbed alone or disabled.
        const QColor grey(128, 128, 128), red(220, 30, 30), halfBlue(0, 0, 200, 128);
        QWidget window;
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(Qt::white));
        window.resize(220, 100);
        auto place = [](QWidget* parent, const QRect& r, const QColor& c) {
            auto* w = new TEVQContainer(parent);
            w->setGeometry(r);
            w->setColor(c);
            return w;
        };
        TEVQContainer* outer = place(&window, QRect(0, 0, 100, 100), grey);
        place(outer, QRect(0, 0, 40, 40), red);
        TEVQContainer* over = place(outer, QRect(20, 20, 40, 40), grey); // partly over the red one
        TEVQContainer* apart = place(outer, QRect(70, 10, 20, 20), grey);
        TEVQContainer* nested = place(apart, QRect(5, 5, 10, 10), grey);
        TEVQContainer* clear = place(&window, QRect(110, 0, 100, 100), halfBlue);
        place(clear, QRect(10, 10, 30, 30), halfBlue);
        TestPanel* panel = new TestPanel(&window);
        panel->setGeometry(110, 60, 40, 40);
        panel->setColor(red);
        place(panel, QRect(0, 0, 10, 10), red);
        // Tests running beside this one share the display, and their windows may come over this one: it is put
        // in a corner few windows reach, raised before each look, and each look is tried until it holds.
        const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
        window.move(avail.right() - 240, avail.bottom() - 120);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto screen = [&](int x, int y) {
            window.raise();
            QCoreApplication::processEvents();
            return window.screen()->grabWindow(window.winId()).toImage().pixelColor(x, y);
        };
        QTRY_COMPARE(screen(30, 30), grey);
        QTRY_COMPARE(screen(10, 10), red);
        QTRY_COMPARE(screen(80, 20), grey);
        QTRY_VERIFY(screen(150, 5) != screen(130, 30)); // half a blue over half a blue
        QTRY_COMPARE(screen(112, 62), red);

        // Repainted alone: the parent is drawn beneath again.
        over->update();
        nested->repaint();
        QTRY_COMPARE(screen(30, 30), grey);
        QTRY_COMPARE(screen(80, 20), grey);
        // Drawn alone, a container has no parent beneath: its own fill is there.
        QCOMPARE(over->grab().toImage().pixelColor(5, 5), grey);
        QCOMPARE(nested->grab().toImage().pixelColor(5, 5), grey);
        // A parent whose disabled background differs: its children fill their own again.
        outer->setDisableBackground(colour("off", QColor(10, 10, 10)));
        outer->setEnabled(false);
        const QColor apartOff = apart->getDisableBackground().fillRes.fillColor;
        QVERIFY(apartOff != QColor(10, 10, 10));
        QTRY_COMPARE(screen(5, 50), QColor(10, 10, 10));
        QTRY_COMPARE(screen(72, 12), apartOff);
        QTRY_COMPARE(screen(80, 20), nested->getDisableBackground().fillRes.fillColor);
    }

    void clickSignalOnEveryRelease()
    {
        TEVQContainer c;
        c.resize(50, 50);
        showHeadless(c);
        QSignalSpy spy(&c, &TEVQContainer::mouseClickEvent);
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(&c, b, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(spy.count(), 3);
    }

    void derivedPanelKeepsTheEngine()
    {
        TestPanel p;
        p.resize(100, 20);
        p.setColor(QColor(9, 99, 199));
        QCOMPARE(pixel(p, 50, 10), QColor(9, 99, 199));
        QVERIFY(p.paints > 0);
        p.setChildLayout(TEVQContainer::Horizontal);
        auto* b = new TEVQContainer;
        p.addChildWidget(new TEVQContainer, 1);
        p.addChildWidget(b, 3);
        QCOMPARE(b->geometry().x(), 25);
        QCOMPARE(json::getString(write(&p), "type"), std::string("testpanel"));

        // A container cannot take itself or a widget it lies inside as its child.
        QWidget outer;
        p.setParent(&outer);
        p.addChildWidget(&p, 1);
        p.addChildWidget(&outer, 1);
        QCOMPARE(p.parentWidget(), &outer);
        QCOMPARE(outer.parentWidget(), nullptr);
        p.setParent(nullptr);
    }

    // ---- JSON ----------------------------------------------------------------------------------------------

    void readsAttributes()
    {
        TEVQContainer c;
        c.resize(100, 100);
        auto* child = new QWidget(&c);
        child->setGeometry(5, 5, 10, 10);
        read(&c, R"({"type":"qtcontainer","name":"box","attr":{"childLayout":1,"space":3,
            "paddingLeft":1,"paddingTop":2,"paddingRight":4,"paddingBottom":5,"absoluteDockAutoSize":true}})");
        QCOMPARE(c.getChildLayout(), TEVQContainer::Vertical);
        QCOMPARE(c.getChildSpace(), 3);
        QCOMPARE(padding(c), QVector<int>({1, 2, 4, 5}));
        QVERIFY(c.getAbsoluteDockAutoSize());
        QCOMPARE(c.objectName(), QStringLiteral("box"));
        // Reading lays nothing out.
        QCOMPARE(child->geometry(), QRect(5, 5, 10, 10));
        // The same through the designer's property; bad JSON there is ignored.
        c.setProperty("jsonData", QStringLiteral(R"({"attr":{"childLayout":2,"space":5}})"));
        QCOMPARE(c.getChildLayout(), TEVQContainer::HorFloat);
        QCOMPARE(c.getChildSpace(), 5);
        c.setJsonData(QStringLiteral("{\"attr\": {"));
        QCOMPARE(c.getChildLayout(), TEVQContainer::HorFloat);
    }

    void childLayoutRules()
    {
        TEVQContainer c;
        c.setChildLayout(TEVQContainer::HorFloat);
        read(&c, R"({"type":"qtcontainer","name":"x"})");
        QCOMPARE(c.getChildLayout(), TEVQContainer::HorFloat); // no "attr": the mode stays
        read(&c, R"({"type":"qtcontainer","name":"x","attr":{"space":2}})");
        QCOMPARE(c.getChildLayout(), TEVQContainer::NoUse); // "attr" without "childLayout": 4
        for (const char* text : {R"({"attr":{"childLayout":5}})", R"({"attr":{"childLayout":-1}})",
                                 R"({"attr":{"childLayout":"1"}})"}) {
            c.setChildLayout(TEVQContainer::Horizontal);
            read(&c, text);
            QCOMPARE(c.getChildLayout(), TEVQContainer::NoUse);
        }
    }

    void themeReadAgainKeepsTheModeAndLaysOut()
    {
        // A theme element read again at a theme change: a mode it does not name stays, and a new padding moves
        // the children at once (the next resize is not waited for).
        QTemporaryDir dir;
        QVERIFY(tevtest::writeFile(dir.filePath("style.json"), R"({"style": [{"type": 1, "name": "panelBg"}]})"));
        QVERIFY(tevtest::writeFile(dir.filePath("theme.json"),
                                   R"({"elements": [{"child": [{"name": "TPanel", "attr": {"paddingLeft": 7}}]}]})"));
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QVERIFY(rm->loadThemeDir(dir.path()));
        TEVQContainer c;
        c.resize(200, 100);
        auto* inner = child(QSize(50, 50), LayoutSizePolicy(1), LayoutSizePolicy(1));
        c.addChildWidget(inner, 1);
        c.setChildLayout(TEVQContainer::Horizontal);
        QCOMPARE(inner->x(), 0);
        c.setThemeName(QStringLiteral("TPanel"));
        QCOMPARE(c.getChildLayout(), TEVQContainer::Horizontal);
        QCOMPARE(inner->x(), 7);
    }

    void styleSlots()
    {
        TEVQContainer c;
        read(&c, R"({"style":[["bgA",1,0],["bgB",1,1]]})");
        QCOMPARE(c.getBackground().name, QStringLiteral("bgA"));
        QCOMPARE(c.getDisableBackground().name, QStringLiteral("bgB"));

        TEVQContainer r;
        read(&r, R"({"style":[["bgB",1,1],["bgA",1,0]]})");
        QCOMPARE(r.getBackground().name, QStringLiteral("bgA"));
        QCOMPARE(r.getDisableBackground().name, QStringLiteral("bgA"));

        TEVQContainer u;
        read(&u, R"({"style":[["nope",1,0],["bgA",1,5]]})"); // unknown name, slot past the last
        QCOMPARE(u.getBackground().fillRes.fillColor, QColor(128, 128, 128));
    }

    void writesItsKeys()
    {
        TEVQContainer c;
        Json::Value e = write(&c);
        QCOMPARE(json::writeStyled(json::get(e, "attr")), json::writeStyled(parse(R"({"childLayout":4})")));
        QVERIFY(!json::has(e, "style"));

        // Zero padding sides are left out; the auto size is written as the integer 1.
        c.setChildLayout(TEVQContainer::Horizontal);
        c.setChildSpace(4);
        c.setChildPadding(0, 2, 0, 0);
        c.setAbsoluteDockAutoSize(true);
        QCOMPARE(json::writeStyled(json::get(write(&c), "attr")),
                 json::writeStyled(parse(R"({"absoluteDockAutoSize":1,"childLayout":0,"paddingTop":2,"space":4})")));
    }

    void writesStyleEntries()
    {
        const FillStyle a = stored("bgA");
        TEVQContainer c;
        c.setBackground(a);
        c.setDisableBackground(a);
        QCOMPARE(styleText(&c), styleText(R"([["bgA",1,0]])"));
        c.setDisableBackground(stored("bgB"));
        QCOMPARE(styleText(&c), styleText(R"([["bgA",1,0],["bgB",1,1]])"));

        // Same colour part under another name counts as equal: the disabled entry is left out.
        FillStyle sameLook = a;
        sameLook.name = QStringLiteral("other");
        sameLook.imageDesc.left = 9;
        c.setDisableBackground(sameLook);
        QCOMPARE(json::size(json::get(write(&c), "style")), Json::ArrayIndex(1));

        // An image style differs by its image name only.
        FillStyle img = a;
        img.useFillStyle = false;
        img.imageName = QStringLiteral("x.png");
        FillStyle img2 = img;
        img2.name = QStringLiteral("bgB");
        img2.fillRes.fillColor = Qt::yellow;
        c.setBackground(img);
        c.setDisableBackground(img2);
        QCOMPARE(json::size(json::get(write(&c), "style")), Json::ArrayIndex(1));
        img2.imageName = QStringLiteral("y.png");
        c.setDisableBackground(img2);
        QCOMPARE(json::size(json::get(write(&c), "style")), Json::ArrayIndex(2));

        // An unnamed disabled style writes nothing.
        TEVQContainer n;
        n.setDisableBackground(colour("", Qt::black));
        QVERIFY(!json::has(write(&n), "style"));
    }

    void ownKeysAreNotWrittenFromTheAttributeStore()
    {
        // The painter base keeps every "attr" member it read; values changed since must win.
        TEVQContainer c;
        read(&c, R"({"attr":{"childLayout":1,"space":5,"paddingTop":3,"absoluteDockAutoSize":1,"extra":7}})");
        c.setChildSpace(0);
        c.setChildPadding(0);
        c.setAbsoluteDockAutoSize(false);
        c.setChildLayout(TEVQContainer::HorFloat);
        QCOMPARE(json::writeStyled(json::get(write(&c), "attr")),
                 json::writeStyled(parse(R"({"childLayout":2,"extra":7})"))); // "extra" is not the container's

        TEVQSpacer s;
        read(&s, R"({"attr":{"direction":2,"thickness":4}})");
        s.setDirection(TEVQSpacer::Auto);
        s.setThickness(0);
        const Json::Value out = write(&s);
        QVERIFY(!json::has(json::get(out, "attr"), "direction"));
        QVERIFY(!json::has(json::get(out, "attr"), "thickness"));
    }

    // ---- resize animation ----------------------------------------------------------------------------------

    void animatesTheHeightAndPinsIt()
    {
        TEVQContainer parent;
        parent.resize(100, 400);
        parent.setChildLayout(TEVQContainer::Vertical);
        auto* drawer = child(QSize(100, 50), LayoutSizePolicyUnset, LayoutSizePolicyFixed);
        auto* rest = new TEVQContainer;
        parent.addChildWidget(drawer, 1);
        parent.addChildWidget(rest, 1);
        QVERIFY(drawer->startResizeAnimation(QSize(100, 50), QSize(100, 200), 40));
        QVERIFY(drawer->isResizeAnimationRunning());
        QVERIFY(!drawer->startResizeAnimation(QSize(100, 50), QSize(100, 90), 40)); // refused while running
        QCOMPARE(drawer->height(), 50);
        QTRY_VERIFY(!drawer->isResizeAnimationRunning());
        QCOMPARE(drawer->height(), 200);
        QCOMPARE(drawer->minimumHeight(), 200);
        QCOMPARE(drawer->maximumHeight(), 200);
        QCOMPARE(drawer->minimumWidth(), 0); // the width was not animated
        QCOMPARE(drawer->maximumWidth(), U);
        // The parent laid its children out again.
        QCOMPARE(rest->geometry(), QRect(0, 200, 100, 200));
        // The animation object is reused.
        QVERIFY(drawer->startResizeAnimation(QSize(100, 200), QSize(100, 10), 20));
        QTRY_VERIFY(!drawer->isResizeAnimationRunning());
        QCOMPARE(drawer->height(), 10);

        // A later run starts at its start size without being laid out at its end size first.
        struct Host : TEVQContainer
        {
            QWidget* watched = nullptr;
            QList<int> heights;
            void forceResize() override
            {
                if (watched)
                    heights.append(watched->height());
                TEVQContainer::forceResize();
            }
        } host;
        auto* d2 = new TEVQContainer(&host);
        QVERIFY(d2->startResizeAnimation(QSize(100, 50), QSize(100, 120), 10));
        QTRY_VERIFY(!d2->isResizeAnimationRunning());
        host.watched = d2;
        QVERIFY(d2->startResizeAnimation(QSize(100, 120), QSize(100, 30), 10));
        QVERIFY(!host.heights.isEmpty());
        QVERIFY(!host.heights.contains(30));
        QTRY_VERIFY(!d2->isResizeAnimationRunning());
        QCOMPARE(host.heights.last(), 30);
    }

    void animationShortcuts()
    {
        TEVQContainer c;
        c.resize(80, 60);
        QVERIFY(c.startResizeAnimation(QSize(30, 40), QSize(30, 40), 100)); // equal: at once
        QVERIFY(!c.isResizeAnimationRunning());
        QCOMPARE(c.size(), QSize(80, 60)); // neither dimension is animated
        QVERIFY(c.startResizeAnimation(QSize(30, 40), QSize(-5, 40), 0)); // no duration: at once, floored
        QVERIFY(!c.isResizeAnimationRunning());
        QCOMPARE(c.size(), QSize(0, 60));
        QCOMPARE(c.maximumWidth(), 0);
    }

    void deletedWhileAnimating()
    {
        auto* c = new TEVQContainer;
        auto* inner = new TEVQContainer(c);
        QVERIFY(inner->startResizeAnimation(QSize(10, 10), QSize(200, 10), 200));
        QVERIFY(c->startResizeAnimation(QSize(10, 10), QSize(10, 300), 200));
        QTest::qWait(20);
        delete c;
        QTest::qWait(20);
    }

    // ---- scroll bars at any time ---------------------------------------------------------------------------

    void barsDeletedOrMovedAtAnyTime()
    {
        auto* c = new TEVQContainer;
        c->resize(100, 100);
        c->setChildLayout(TEVQContainer::Vertical);
        showHeadless(*c);
        auto* v = new TEVQScrollBar(Qt::Vertical, c);
        c->bindScrollBar(v, false);
        for (int i = 0; i < 3; ++i) {
            auto* k = child(QSize(10, 80), LayoutSizePolicyUnset, LayoutSizePolicyFixed);
            c->addChildWidget(k, 1);
            k->show(); // added after the container was shown
        }
        QVERIFY(v->isVisible());
        v->setValue(v->maximum());
        // A bar bound to another container moves there and is forgotten here.
        TEVQContainer other;
        other.bindScrollBar(v, false);
        QCOMPARE(c->getBindScrollBar(false), nullptr);
        QCOMPARE(c->getScrollPos(false), 0);
        QCOMPARE(other.getBindScrollBar(false), v);
        QVERIFY(v->property("_tev_container_bound_scrollbar").toBool());
        v->setRange(0, 50);
        v->setValue(30); // reaches the new container only
        QCOMPARE(c->getScrollPos(false), 0);
        // Deleting the container first leaves the other one with its bar.
        c->bindScrollBar(new TEVQScrollBar(Qt::Horizontal), true);
        delete c;
        QCOMPARE(other.getBindScrollBar(false), v);
        delete v;
        QCOMPARE(other.getBindScrollBar(false), nullptr);
        other.forceResize();
    }

    void childDeletedWhileScrolled()
    {
        // Scrolling moves every child; a child's move handler may delete a child the scroll has yet to move.
        struct DeletingChild : QWidget {
            QPointer<QWidget> victim;
            void moveEvent(QMoveEvent*) override { delete victim.data(); }
        };
        TEVQContainer c;
        c.resize(100, 100);
        c.setChildLayout(TEVQContainer::Vertical);
        showHeadless(c);
        auto* v = new TEVQScrollBar(Qt::Vertical, &c);
        c.bindScrollBar(v, false);
        auto* first = new DeletingChild;
        first->resize(10, 80);
        c.addChildWidget(first, 1);
        first->show();
        QPointer<QWidget> last;
        for (int i = 0; i < 3; ++i) {
            auto* k = child(QSize(10, 80), LayoutSizePolicyUnset, LayoutSizePolicyFixed);
            c.addChildWidget(k, 1);
            k->show();
            last = k;
        }
        QCoreApplication::processEvents();
        QVERIFY(v->isVisible() && v->maximum() > 0);
        first->victim = last;
        v->setValue(v->maximum());
        QVERIFY(!last);
        v->setValue(0);
        c.forceResize();
    }

    void scrollSignalDeletesThePage_data()
    {
        QTest::addColumn<bool>("horizontal"); // the bar whose valueChanged() deletes the page
        QTest::addColumn<QSize>("size"); // the container's new size, which moves that bar's value (or none:
                                         // the last child is deleted instead)
        QTest::newRow("vertical bar no longer needed") << false << QSize(400, 400);
        QTest::newRow("vertical range shrinks") << false << QSize(100, 200);
        QTest::newRow("horizontal bar no longer needed") << true << QSize(400, 100);
        QTest::newRow("last child deleted") << false << QSize();
    }

    void scrollSignalDeletesThePage()
    {
        // A scroll listener that closes the page when a resize clamps the scroll position.
        QFETCH(bool, horizontal);
        QFETCH(QSize, size);
        auto* page = new QWidget;
        auto* c = new TEVQContainer(page);
        c->resize(100, 100);
        c->setChildLayout(TEVQContainer::NoUse);
        auto* h = new TEVQScrollBar(Qt::Horizontal, c);
        auto* v = new TEVQScrollBar(Qt::Vertical, c);
        c->bindScrollBar(h, true);
        c->bindScrollBar(v, false);
        showHeadless(*page);
        QWidget* k = nullptr;
        for (int i = 0; i < 3; ++i) {
            k = child(QSize(150, 80), LayoutSizePolicyFixed, LayoutSizePolicyFixed);
            c->addChildWidget(k, 1);
            k->move(0, 80 * i);
            k->show();
        }
        QCoreApplication::processEvents();
        QVERIFY(h->isVisible() && v->isVisible());
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        QScrollBar* sender = horizontal ? h : v;
        connect(sender, &QScrollBar::valueChanged, sender, [page] { delete page; });
        QPointer<QWidget> alive(c);
        if (size.isValid()) {
            // The new size reaches the container's own relayout, after which nothing of Qt goes on with the
            // container: a visible widget's QWidget::resize would, and a listener there deletes with
            // deleteLater. Hidden, the resize only stores the size.
            page->hide();
            c->resize(size);
            c->forceResize();
        } else {
            delete k;
        }
        QVERIFY(!alive);
    }

    // ---- native window -------------------------------------------------------------------------------------

    void childDeletedByASiblingsResize()
    {
        // Placing a child runs its resize handler, which may delete a sibling the pass has yet to place: the
        // pass goes on with what is left, in a row and in a column.
        struct DeletingChild : QWidget {
            using QWidget::QWidget;
            QPointer<QWidget> victim;
            void resizeEvent(QResizeEvent*) override { delete victim.data(); }
        };
        for (int mode = 0; mode < 2; ++mode) {
            QWidget host;
            host.resize(300, 200);
            QPointer<TEVQContainer> c = new TEVQContainer(&host);
            c->setGeometry(0, 0, 200, 100);
            c->setChildLayout(mode % 2 == 0 ? TEVQContainer::Horizontal : TEVQContainer::Vertical);
            auto* first = new DeletingChild(c);
            QPointer<QWidget> second = new QWidget(c);
            auto* third = new QWidget(c);
            host.show();
            QVERIFY(QTest::qWaitForWindowExposed(&host));
            first->victim = second; // armed once shown: Qt's own show walks the children too
            c->resize(240, 120);
            c->forceResize();
            QCoreApplication::processEvents();
            QVERIFY(!second && c);
            c->resize(220, 110);
            QVERIFY(third->width() > 0 && third->height() > 0);
        }
    }

    void boundWindowFollowsTheContainer()
    {
        QWidget top;
        top.resize(300, 200);
        auto* c = new TEVQContainer(&top);
        c->setGeometry(QRect(20, 30, 100, 50));
        showHeadless(top);
        QWindow native;
        native.create();
        c->bindWindowHandle(reinterpret_cast<void*>(native.winId()));
        c->resize(120, 60);
        QCOMPARE(native.geometry(), QRect(20, 30, 120, 60));
        c->unbindWindowHandle();
        c->resize(10, 10);
        QCOMPARE(native.geometry(), QRect(20, 30, 120, 60));
    }

    // ---- designer, catalogue, registry ---------------------------------------------------------------------

    void designerCreatesAContainer()
    {
        TEVQContainer c;
        QWidget host;
        QWidget* made = c.createWidget(&host);
        QVERIFY(qobject_cast<TEVQContainer*>(made));
        QCOMPARE(made->parentWidget(), &host);
    }

    void catalogueRowsReachTheContainer()
    {
        // Rows 7 Background, 8 DrawBackground, 10 ChildLayout, 11 ChildPadding.
        const ControlInfo info = TEVQContainer::getProps();
        QCOMPARE(info.props[10].options, QStringList({"Horizontal", "Vertical", "HorFloat", "VerFloat", "No Use"}));

        TEVQContainer c;
        info.props[10].setInt(&c, 1);
        QCOMPARE(c.getChildLayout(), TEVQContainer::Vertical);
        // The padding text is read leniently as four numbers; anything else leaves the padding.
        info.props[11].setText(&c, QStringLiteral("1, 2,3,4"));
        QCOMPARE(info.props[11].getText(&c), QStringLiteral("1,2,3,4"));
        info.props[11].setText(&c, QStringLiteral("9,9"));
        QCOMPARE(info.props[11].getText(&c), QStringLiteral("1,2,3,4"));
        info.props[7].setFillStyle(&c, 1, colour("dis", Qt::blue));
        QCOMPARE(c.getDisableBackground().name, QStringLiteral("dis"));
        // A row given another widget type does nothing.
        QWidget plain;
        info.props[10].setInt(&plain, 2);
        QCOMPARE(info.props[10].getInt(&plain), 0);

        const ControlInfo s = TEVQSpacer::getProps();
        QCOMPARE(s.props[7].options, QStringList({"Auto", "Horizontal", "Vertical"}));
    }

    void registryEntries()
    {
        QWidget parent;
        for (const char* type : {"qtcontainer", "container"})
            QVERIFY(qobject_cast<TEVQContainer*>(createControlByType(type, &parent)));
        QVERIFY(qobject_cast<TEVQSpacer*>(createControlByType("qtspacer", &parent)));
        QCOMPARE(tevGetControlInfo(QStringLiteral("qtspacer"))->displayName, std::string("Spacer"));
        QCOMPARE(tevGetControlInfo(QStringLiteral("container")), nullptr);
    }

    // ---- spacer --------------------------------------------------------------------------------------------

    void spacerValuesAndJson()
    {
        // Out-of-range values: the direction falls back to Auto, the thickness to 0.
        TEVQSpacer s;
        s.setDirection(TEVQSpacer::Direction(3));
        QCOMPARE(s.getDirection(), TEVQSpacer::Auto);
        s.setThickness(-5);
        QCOMPARE(s.getThickness(), 0);
        s.setDirection(TEVQSpacer::Vertical);
        read(&s, R"({"attr":{"direction":-1,"thickness":-5}})");
        QCOMPARE(s.getDirection(), TEVQSpacer::Auto);
        QCOMPARE(s.getThickness(), 0);
        s.setDirection(TEVQSpacer::Vertical);
        read(&s, R"({"attr":{"thickness":4}})");
        QCOMPARE(s.getDirection(), TEVQSpacer::Vertical); // a missing "direction" keeps the value
        QCOMPARE(s.getThickness(), 4);

        QCOMPARE(json::writeStyled(json::get(write(&s), "attr")),
                 json::writeStyled(parse(R"({"direction":2,"thickness":4})")));
    }

    void mouseGoesThroughASpacer()
    {
        QWidget parent;
        parent.resize(100, 100);
        auto* below = new QWidget(&parent);
        below->setGeometry(0, 0, 100, 100);
        auto* s = new TEVQSpacer(&parent);
        s->setGeometry(0, 0, 100, 100);
        s->raise();
        QCOMPARE(parent.childAt(50, 50), below);
    }

    // ---- a window of nested containers ---------------------------------------------------------------------

    void rendersNestedContainers()
    {
        // A column holding a header row (a fixed badge pushed right by a spacer) and a flowing grid of cards
        // with a docked dot: every level lays out and paints inside its parent once shown.
        TEVQContainer root;
        root.resize(480, 320);
        root.setChildLayout(TEVQContainer::Vertical);
        root.setChildSpace(6);
        root.setChildPadding(8);
        root.setColor(QColor(30, 34, 44));

        auto* header = child(QSize(10, 48), LayoutSizePolicyFree, LayoutSizePolicyFixed, QColor(40, 90, 160));
        header->setChildPadding(10, 8, 10, 8);
        header->setChildSpace(8);
        root.addChildWidget(header, 1);
        auto* title = child<TEVQLabel>(QSize(200, 32), LayoutSizePolicyFixed, LayoutSizePolicyFree);
        title->setText(QStringLiteral("Plant overview"));
        header->addChildWidget(title, 3);
        header->addChildWidget(new TEVQSpacer, 1);
        auto* badge = child(QSize(60, 10), LayoutSizePolicyFixed, LayoutSizePolicyFree, QColor(230, 160, 40));
        header->addChildWidget(badge, 1);
        // The row mode last: in a row with a spacer the other children keep the widths they have.
        header->setChildLayout(TEVQContainer::Horizontal);

        auto* grid = child(QSize(), LayoutSizePolicyFree, LayoutSizePolicyFree, QColor(245, 246, 250));
        grid->setChildLayout(TEVQContainer::HorFloat);
        grid->setChildPadding(8);
        grid->setChildSpace(8);
        root.addChildWidget(grid, 1);
        for (int i = 0; i < 7; ++i) {
            auto* card = new TEVQContainer(grid);
            card->resize(100, 60);
            card->setColor(QColor(200 - i * 15, 220, 180 + i * 10));
            card->setChildLayout(TEVQContainer::Vertical);
            card->setChildPadding(6);
            card->addChildWidget(child<TEVQSlider>(QSize(10, 20), LayoutSizePolicyFree, LayoutSizePolicyFixed), 1);
        }
        auto* dot = new TEVQContainer(grid);
        dot->resize(16, 16);
        dot->setColor(QColor(220, 40, 40));
        dot->setAbsoluteDock(DockLayoutFar, DockLayoutFar, -4, -4);

        showHeadless(root);
        QCoreApplication::processEvents();
        const QImage img = root.grab().toImage();
        QVERIFY(tevtest::keepRender(img, QStringLiteral("tev_nested_containers.png")));

        QCOMPARE(header->geometry(), QRect(8, 8, 464, 48));
        QCOMPARE(badge->geometry(), QRect(394, 8, 60, 32));
        QCOMPARE(grid->geometry(), QRect(8, 62, 464, 250));
        QCOMPARE(dot->geometry(), QRect(464 - 8 - 16 - 4, 250 - 8 - 16 - 4, 16, 16));
        // Cards wrap at the grid's right padding: four per row of 464.
        const auto cards = grid->findChildren<TEVQContainer*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(cards[4]->geometry().topLeft(), QPoint(8, 8 + 60 + 8));
        // Pixels: root padding, header, badge, the grid, the first card, the dot.
        QCOMPARE(img.pixelColor(3, 3), QColor(30, 34, 44));
        QCOMPARE(img.pixelColor(12, 12), QColor(40, 90, 160));
        QCOMPARE(img.pixelColor(8 + 394 + 30, 8 + 8 + 16), QColor(230, 160, 40));
        QCOMPARE(img.pixelColor(8 + 3, 62 + 3), QColor(245, 246, 250));
        QCOMPARE(img.pixelColor(8 + 8 + 2, 62 + 8 + 55), QColor(200, 220, 180));
        QCOMPARE(img.pixelColor(8 + dot->x() + 8, 62 + dot->y() + 8), QColor(220, 40, 40));
    }
};

TEV_TEST_MAIN(TestContainer)
#include "tst_container.moc"
