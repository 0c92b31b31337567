// The container widget and the spacer: defaults, JSON both ways, background painting, the click signal,
// the resize animation, native window binding, deletion at any time, catalogue and registry entries.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQResourceManager.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQScrollBar.h"
#include "TEVQSlider.h"
#include "TEVQSpacer.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QWindow>

#include <json/json.h>

using namespace TEVQtLib;

namespace {

// No OpenGL in these tests: keep xcb from loading GLX (see tst_layout.cpp). Runs before main.
[[maybe_unused]] const bool g_noGlx = qputenv("QT_XCB_GL_INTEGRATION", "none");

constexpr int U = 16777215;

Json::Value parse(const char* text)
{
    Json::Value v;
    const bool ok = json::parse(std::string(text), v);
    Q_ASSERT(ok);
    return v;
}

FillStyle colour(const char* name, QColor c)
{
    FillStyle s;
    s.name = QString::fromLatin1(name);
    s.fillRes.fillColor = c;
    return s;
}

void addStyle(const char* name, QColor c)
{
    FillStyle s = colour(name, c);
    TEVQResourceManager::getInstance()->setFillStyle(s.name, s);
}

Json::Value write(ITEVQWidgetBase* w)
{
    Json::Value out(Json::objectValue);
    w->serializeJsonValue(&out, false);
    return out;
}

QColor pixel(QWidget& w, int x, int y) { return w.grab().toImage().pixelColor(x, y); }

void showHeadless(QWidget& w)
{
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
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
        addStyle("bgA", QColor(200, 10, 10));
        addStyle("bgB", QColor(10, 200, 10));
        tevInitQtControl();
    }

    void defaults()
    {
        TEVQContainer c;
        QCOMPARE(c.getChildLayout(), TEVQContainer::NoUse);
        QCOMPARE(c.getChildSpace(), 0);
        int l = 1, t = 1, r = 1, b = 1;
        c.getChildPadding(l, t, r, b);
        QCOMPARE(QVector<int>({l, t, r, b}), QVector<int>({0, 0, 0, 0}));
        QVERIFY(c.getDrawBackground());
        QVERIFY(!c.getAbsoluteDockAutoSize());
        QCOMPARE(c.getBackground().fillRes.fillColor, QColor(128, 128, 128, 255));
        QCOMPARE(c.getDisableBackground().fillRes.fillColor, QColor(128, 128, 128, 255));
        QVERIFY(c.hasMouseTracking());
        QCOMPARE(c.getTypeName(), QStringLiteral("qtcontainer"));
        QCOMPARE(QString::fromLatin1(TEVQContainer::typeName()), QStringLiteral("qtcontainer"));
        QVERIFY(!c.isResizeAnimationRunning());
        QCOMPARE(c.getBindScrollBar(true), nullptr);
        QCOMPARE(c.getWindowHandle(), nullptr);
        QVERIFY(qobject_cast<ITEVQWidgetBase*>(&c));
        QVERIFY(c.metaObject()->indexOfProperty("jsonData") >= 0);
    }

    void backgroundStates()
    {
        TEVQContainer c;
        const FillStyle a = colour("a", Qt::red);
        const FillStyle d = colour("d", Qt::blue);
        c.setBackgroundState(CtrlStateNormal, a);
        c.setBackgroundState(CtrlStateHot, d);
        QCOMPARE(c.getBackground(), a);
        QCOMPARE(c.getDisableBackground(), d);
        QCOMPARE(c.getBackgroundState(CtrlStateHot), d);
        QCOMPARE(c.getBackgroundState(CtrlStatePressed), d);
        QCOMPARE(c.getBackgroundState(CtrlStateDisable), d);
        c.setUseFillStyle(false);
        QVERIFY(!c.getUseFillStyle());
        c.setColor(QColor(1, 2, 3));
        QVERIFY(c.getUseFillStyle());
        QCOMPARE(c.getBackground().fillRes.fillColor, QColor(1, 2, 3));
    }

    void paintsTheBackgroundOfItsState()
    {
        TEVQContainer c;
        c.resize(40, 30);
        c.setBackground(colour("n", QColor(250, 0, 0)));
        c.setDisableBackground(colour("d", QColor(0, 0, 250)));
        QCOMPARE(pixel(c, 20, 15), QColor(250, 0, 0));
        QCOMPARE(pixel(c, 0, 0), QColor(250, 0, 0));
        QCOMPARE(pixel(c, 39, 29), QColor(250, 0, 0));
        c.setEnabled(false);
        QCOMPARE(pixel(c, 20, 15), QColor(0, 0, 250));
        c.setEnabled(true);
        c.setDrawBackground(false);
        QVERIFY(pixel(c, 20, 15) != QColor(250, 0, 0));
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
        QCOMPARE(img.pixelColor(15, 8), QColor(0, 160, 80));
        QCOMPARE(img.pixelColor(29, 14), QColor(0, 160, 80));
        QCOMPARE(img.pixelColor(30, 14), QColor(Qt::white));
        QCOMPARE(img.pixelColor(5, 5), QColor(Qt::white));
        c.containerImpl()->draw(nullptr, QRect(0, 0, 5, 5)); // nothing to paint on
    }

    void clickSignalOnEveryRelease()
    {
        TEVQContainer c;
        c.resize(50, 50);
        showHeadless(c);
        QSignalSpy spy(&c, &TEVQContainer::mouseClickEvent);
        QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(spy.count(), 1);
        QTest::mouseClick(&c, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
        QTest::mouseClick(&c, Qt::MiddleButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(spy.count(), 3);
    }

    void derivedPanelKeepsTheEngine()
    {
        TestPanel p;
        QCOMPARE(p.getTypeName(), QStringLiteral("testpanel"));
        QVERIFY(p.containerImpl());
        p.resize(100, 20);
        p.setColor(QColor(9, 99, 199));
        QCOMPARE(pixel(p, 50, 10), QColor(9, 99, 199));
        QVERIFY(p.paints > 0);
        p.setChildLayout(TEVQContainer::Horizontal);
        auto* a = new TEVQContainer;
        auto* b = new TEVQContainer;
        p.addChildWidget(a, 1);
        p.addChildWidget(b, 3);
        QCOMPARE(b->geometry().x(), 25);
        QCOMPARE(json::getString(write(&p), "type"), std::string("testpanel"));
    }

    // ---- JSON ----------------------------------------------------------------------------------------------

    void readsAttributes()
    {
        TEVQContainer c;
        c.resize(100, 100);
        auto* child = new QWidget(&c);
        child->setGeometry(5, 5, 10, 10);
        Json::Value e = parse(R"({"type":"qtcontainer","name":"box","attr":{"childLayout":1,"space":3,
            "paddingLeft":1,"paddingTop":2,"paddingRight":4,"paddingBottom":5,"absoluteDockAutoSize":true}})");
        QVERIFY(c.readJsonValue(&e));
        QCOMPARE(c.getChildLayout(), TEVQContainer::Vertical);
        QCOMPARE(c.getChildSpace(), 3);
        int l, t, r, b;
        c.getChildPadding(l, t, r, b);
        QCOMPARE(QVector<int>({l, t, r, b}), QVector<int>({1, 2, 4, 5}));
        QVERIFY(c.getAbsoluteDockAutoSize());
        QCOMPARE(c.objectName(), QStringLiteral("box"));
        // Reading lays nothing out.
        QCOMPARE(child->geometry(), QRect(5, 5, 10, 10));
    }

    void childLayoutRules()
    {
        TEVQContainer c;
        c.setChildLayout(TEVQContainer::HorFloat);
        Json::Value noAttr = parse(R"({"type":"qtcontainer","name":"x"})");
        c.readJsonValue(&noAttr);
        QCOMPARE(c.getChildLayout(), TEVQContainer::HorFloat); // no "attr": the mode stays
        Json::Value noMode = parse(R"({"type":"qtcontainer","name":"x","attr":{"space":2}})");
        c.readJsonValue(&noMode);
        QCOMPARE(c.getChildLayout(), TEVQContainer::NoUse); // "attr" without "childLayout": 4
        for (const char* text : {R"({"attr":{"childLayout":7}})", R"({"attr":{"childLayout":-1}})",
                                 R"({"attr":{"childLayout":"1"}})", R"({"attr":{"childLayout":[1]}})"}) {
            c.setChildLayout(TEVQContainer::Horizontal);
            Json::Value e = parse(text);
            c.readJsonValue(&e);
            QCOMPARE(c.getChildLayout(), TEVQContainer::NoUse);
        }
        Json::Value three = parse(R"({"attr":{"childLayout":3,"space":"wide","paddingLeft":null}})");
        c.setChildSpace(6);
        c.readJsonValue(&three);
        QCOMPARE(c.getChildLayout(), TEVQContainer::VerFloat);
        QCOMPARE(c.getChildSpace(), 6); // values of the wrong type are ignored
    }

    void styleSlots()
    {
        TEVQContainer c;
        Json::Value both = parse(R"({"style":[["bgA",1,0],["bgB",1,1]]})");
        c.readJsonValue(&both);
        QCOMPARE(c.getBackground().name, QStringLiteral("bgA"));
        QCOMPARE(c.getDisableBackground().name, QStringLiteral("bgB"));

        TEVQContainer r;
        Json::Value reversed = parse(R"({"style":[["bgB",1,1],["bgA",1,0]]})");
        r.readJsonValue(&reversed);
        QCOMPARE(r.getBackground().name, QStringLiteral("bgA"));
        QCOMPARE(r.getDisableBackground().name, QStringLiteral("bgA"));

        TEVQContainer u;
        Json::Value unknown = parse(R"({"style":[["nope",1,0],["bgA",1,5],["bgA"],[3,1,0],"x"]})");
        u.readJsonValue(&unknown);
        QCOMPARE(u.getBackground().fillRes.fillColor, QColor(128, 128, 128));
        QVERIFY(u.getBackground().name.isEmpty());
    }

    void writesItsKeys()
    {
        TEVQContainer c;
        Json::Value e = write(&c);
        QCOMPARE(json::getInt(json::get(e, "attr"), "childLayout", -1), 4);
        QCOMPARE(json::memberNames(json::get(e, "attr")).size(), size_t(1));
        QVERIFY(!json::has(e, "style"));
        QCOMPARE(json::getString(e, "type"), std::string("qtcontainer"));

        c.setChildLayout(TEVQContainer::Horizontal);
        c.setChildSpace(4);
        c.setChildPadding(0, 2, 0, 0);
        c.setAbsoluteDockAutoSize(true);
        e = write(&c);
        const Json::Value& attrs = json::get(e, "attr");
        QCOMPARE(json::getInt(attrs, "childLayout", -1), 0);
        QCOMPARE(json::getInt(attrs, "space", -1), 4);
        QCOMPARE(json::getInt(attrs, "paddingTop", -1), 2);
        QVERIFY(!json::has(attrs, "paddingLeft"));
        QVERIFY(!json::has(attrs, "paddingRight"));
        QVERIFY(!json::has(attrs, "paddingBottom"));
        QVERIFY(json::get(attrs, "absoluteDockAutoSize").isInt());
        QCOMPARE(json::getInt(attrs, "absoluteDockAutoSize", 0), 1);
    }

    void writesStyleEntries()
    {
        FillStyle a;
        QVERIFY(TEVQResourceManager::getInstance()->getFillStyle(QStringLiteral("bgA"), a));
        FillStyle b;
        QVERIFY(TEVQResourceManager::getInstance()->getFillStyle(QStringLiteral("bgB"), b));

        TEVQContainer c;
        c.setBackground(a);
        c.setDisableBackground(a);
        Json::Value e = write(&c);
        QCOMPARE(json::size(json::get(e, "style")), Json::ArrayIndex(1));
        QCOMPARE(json::writeStyled(json::get(e, "style")), json::writeStyled(parse(R"([["bgA",1,0]])")));

        c.setDisableBackground(b);
        e = write(&c);
        QCOMPARE(json::writeStyled(json::get(e, "style")), json::writeStyled(parse(R"([["bgA",1,0],["bgB",1,1]])")));

        // Same colour part under another name counts as equal: the disabled entry is left out.
        FillStyle sameLook = a;
        sameLook.name = QStringLiteral("other");
        sameLook.imageDesc.left = 9;
        c.setDisableBackground(sameLook);
        e = write(&c);
        QCOMPARE(json::size(json::get(e, "style")), Json::ArrayIndex(1));

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

        // An unnamed normal style writes nothing; an unnamed disabled one neither.
        TEVQContainer n;
        n.setDisableBackground(colour("", Qt::black));
        QVERIFY(!json::has(write(&n), "style"));
    }

    void ownKeysAreNotWrittenFromTheAttributeStore()
    {
        // The painter base keeps every "attr" member it read; values changed since must win.
        TEVQContainer c;
        Json::Value e = parse(R"({"attr":{"childLayout":1,"space":5,"paddingTop":3,"absoluteDockAutoSize":1,"extra":7}})");
        c.readJsonValue(&e);
        c.setChildSpace(0);
        c.setChildPadding(0);
        c.setAbsoluteDockAutoSize(false);
        c.setChildLayout(TEVQContainer::HorFloat);
        const Json::Value written = write(&c);
        const Json::Value& attrs = json::get(written, "attr");
        QCOMPARE(json::getInt(attrs, "childLayout", -1), 2);
        QVERIFY(!json::has(attrs, "space"));
        QVERIFY(!json::has(attrs, "paddingTop"));
        QVERIFY(!json::has(attrs, "absoluteDockAutoSize"));
        QCOMPARE(json::getInt(attrs, "extra", 0), 7); // not the container's: kept

        TEVQSpacer s;
        Json::Value se = parse(R"({"attr":{"direction":2,"thickness":4}})");
        s.readJsonValue(&se);
        s.setDirection(TEVQSpacer::Auto);
        s.setThickness(0);
        const Json::Value out = write(&s);
        QVERIFY(!json::has(json::get(out, "attr"), "direction"));
        QVERIFY(!json::has(json::get(out, "attr"), "thickness"));
    }

    void roundTrip()
    {
        FillStyle a, b;
        TEVQResourceManager::getInstance()->getFillStyle(QStringLiteral("bgA"), a);
        TEVQResourceManager::getInstance()->getFillStyle(QStringLiteral("bgB"), b);
        TEVQContainer c;
        c.setObjectName(QStringLiteral("root"));
        c.setBackground(a);
        c.setDisableBackground(b);
        c.setChildLayout(TEVQContainer::VerFloat);
        c.setChildSpace(7);
        c.setChildPadding(1, 2, 3, 4);
        c.setAbsoluteDockAutoSize(true);
        const Json::Value e = write(&c);

        TEVQContainer d;
        Json::Value copy = e;
        QVERIFY(d.readJsonValue(&copy));
        QCOMPARE(d.getChildLayout(), TEVQContainer::VerFloat);
        QCOMPARE(d.getChildSpace(), 7);
        int l, t, r, bt;
        d.getChildPadding(l, t, r, bt);
        QCOMPARE(QVector<int>({l, t, r, bt}), QVector<int>({1, 2, 3, 4}));
        // Written as the integer 1, read back as on.
        QVERIFY(d.getAbsoluteDockAutoSize());
        QCOMPARE(d.getBackground(), a);
        QCOMPARE(d.getDisableBackground(), b);
        QCOMPARE(json::writeStyled(write(&d)), json::writeStyled(e));
    }

    void jsonDataProperty()
    {
        TEVQContainer c;
        c.setProperty("jsonData", QStringLiteral(R"({"attr":{"childLayout":2,"space":5}})"));
        QCOMPARE(c.getChildLayout(), TEVQContainer::HorFloat);
        QCOMPARE(c.getChildSpace(), 5);
        // Bad JSON is ignored.
        TEVQContainer d;
        d.setJsonData(QStringLiteral("{\"attr\": {"));
        QCOMPARE(d.getChildLayout(), TEVQContainer::NoUse);
    }

    // ---- resize animation ----------------------------------------------------------------------------------

    void animatesTheHeightAndPinsIt()
    {
        TEVQContainer parent;
        parent.resize(100, 400);
        parent.setChildLayout(TEVQContainer::Vertical);
        auto* drawer = new TEVQContainer;
        drawer->setHeightPolicy(LayoutSizePolicyFixed);
        drawer->resize(100, 50);
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
        QCOMPARE(rest->geometry().y(), 200);
        QCOMPARE(rest->height(), 200);
        // The animation object is reused.
        QVERIFY(drawer->startResizeAnimation(QSize(100, 200), QSize(100, 10), 20));
        QTRY_VERIFY(!drawer->isResizeAnimationRunning());
        QCOMPARE(drawer->height(), 10);
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
        QCOMPARE(c.width(), 0);
        QCOMPARE(c.maximumWidth(), 0);
        QCOMPARE(c.height(), 60);
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
            auto* k = new TEVQContainer;
            k->setHeightPolicy(LayoutSizePolicyFixed);
            k->resize(10, 80);
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
        auto* h = new TEVQScrollBar(Qt::Horizontal);
        c->bindScrollBar(h, true);
        delete c;
        QCOMPARE(other.getBindScrollBar(false), v);
        delete v;
        QCOMPARE(other.getBindScrollBar(false), nullptr);
        other.forceResize();
    }

    // ---- native window -------------------------------------------------------------------------------------

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
        QCOMPARE(c->getWindowHandle(), reinterpret_cast<void*>(native.winId()));
        c->resize(120, 60);
        QCOMPARE(native.geometry(), QRect(20, 30, 120, 60));
        c->unbindWindowHandle();
        QCOMPARE(c->getWindowHandle(), nullptr);
        c->resize(10, 10);
        QCOMPARE(native.geometry(), QRect(20, 30, 120, 60));
    }

    // ---- designer members, catalogue, registry -------------------------------------------------------------

    void designerMembers()
    {
        TEVQContainer c;
        QCOMPARE(c.domXml(), QStringLiteral("<widget class=\"TEVQContainer\" name=\"container\">\n</widget>\n"));
        QCOMPARE(c.name(), QStringLiteral("TEVQContainer"));
        QCOMPARE(c.includeFile(), QStringLiteral("TEVQContainer.h"));
        QVERIFY(c.group().isEmpty() && c.whatsThis().isEmpty());
        QVERIFY(!c.isContainer());
        QVERIFY(c.icon().isNull());
        QVERIFY(!c.isInitialized());
        c.initialize(nullptr);
        QVERIFY(c.isInitialized());
        QWidget host;
        QWidget* made = c.createWidget(&host);
        QVERIFY(qobject_cast<TEVQContainer*>(made));
        QCOMPARE(made->parentWidget(), &host);
    }

    void catalogueRows()
    {
        const ControlInfo info = TEVQContainer::getProps();
        QCOMPARE(info.typeName, std::string("qtcontainer"));
        QCOMPARE(info.displayName, std::string("Container"));
        QCOMPARE(info.description, std::string("Control container"));
        QCOMPARE(info.className, std::string("TEVQContainer"));
        QCOMPARE(info.iconName, std::string("container"));
        QStringList names;
        QList<int> kinds;
        for (const PropertyDef& p : info.props) {
            names << p.name;
            kinds << p.kind;
        }
        QCOMPARE(names, QStringList({"Name", "Type", "Visibility", "Enable", "Tooltip", "Alpha", "Line", "Background",
                                     "DrawBackground", "AbsoluteDockAutoSize", "ChildLayout", "ChildPadding"}));
        QCOMPARE(kinds, QList<int>({0, 2, 3, 3, 1, 10, 4, 5, 3, 3, 13, 12}));
        QCOMPARE(info.props[10].options,
                 QStringList({"Horizontal", "Vertical", "HorFloat", "VerFloat", "No Use"}));

        TEVQContainer c;
        info.props[10].setInt(&c, 1);
        QCOMPARE(c.getChildLayout(), TEVQContainer::Vertical);
        QCOMPARE(info.props[10].getInt(&c), 1);
        info.props[11].setText(&c, QStringLiteral("1, 2,3,4"));
        QCOMPARE(info.props[11].getText(&c), QStringLiteral("1,2,3,4"));
        info.props[11].setText(&c, QStringLiteral("9,9"));
        QCOMPARE(info.props[11].getText(&c), QStringLiteral("1,2,3,4"));
        info.props[7].setFillStyle(&c, 1, colour("dis", Qt::blue));
        QCOMPARE(c.getDisableBackground().name, QStringLiteral("dis"));
        QCOMPARE(info.props[7].getFillStyle(&c, 0).name, QString());
        info.props[8].setBool(&c, false);
        QVERIFY(!c.getDrawBackground());
        // A row given another widget type does nothing.
        QWidget plain;
        info.props[10].setInt(&plain, 2);
        QCOMPARE(info.props[10].getInt(&plain), 0);

        const ControlInfo s = TEVQSpacer::getProps();
        QCOMPARE(s.typeName, std::string("qtspacer"));
        QCOMPARE(s.displayName, std::string("Spacer"));
        QCOMPARE(s.description, std::string("Elastic spacer"));
        QCOMPARE(s.className, std::string("TEVQSpacer"));
        QCOMPARE(s.iconName, std::string("container"));
        QCOMPARE(s.props.size(), 9);
        QCOMPARE(s.props[7].name, QStringLiteral("Direction"));
        QCOMPARE(s.props[7].kind, 13);
        QCOMPARE(s.props[7].options, QStringList({"Auto", "Horizontal", "Vertical"}));
        QCOMPARE(s.props[8].name, QStringLiteral("Thickness"));
        QCOMPARE(s.props[8].kind, 10);
    }

    void registryEntries()
    {
        for (const char* type : {"qtcontainer", "container"}) {
            QWidget parent;
            QWidget* w = createControlByType(type, &parent);
            QVERIFY(qobject_cast<TEVQContainer*>(w));
            QCOMPARE(w->parentWidget(), &parent);
        }
        QWidget parent;
        QVERIFY(qobject_cast<TEVQSpacer*>(createControlByType("qtspacer", &parent)));
        QVERIFY(tevGetControlInfo(QStringLiteral("qtcontainer")));
        QCOMPARE(tevGetControlInfo(QStringLiteral("qtcontainer"))->displayName, std::string("Container"));
        QCOMPARE(tevGetControlInfo(QStringLiteral("qtspacer"))->displayName, std::string("Spacer"));
        QCOMPARE(tevGetControlInfo(QStringLiteral("container")), nullptr);
    }

    // ---- spacer --------------------------------------------------------------------------------------------

    void spacerValues()
    {
        TEVQSpacer s;
        QCOMPARE(s.getDirection(), TEVQSpacer::Auto);
        QCOMPARE(s.getThickness(), 0);
        s.setDirection(TEVQSpacer::Vertical);
        QCOMPARE(s.getDirection(), TEVQSpacer::Vertical);
        s.setDirection(TEVQSpacer::Direction(3));
        QCOMPARE(s.getDirection(), TEVQSpacer::Auto);
        s.setDirection(TEVQSpacer::Direction(-1));
        QCOMPARE(s.getDirection(), TEVQSpacer::Auto);
        s.setThickness(-5);
        QCOMPARE(s.getThickness(), 0);
        s.setThickness(12);
        QCOMPARE(s.getThickness(), 12);
        QVERIFY(s.testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(s.focusPolicy(), Qt::NoFocus);
        QVERIFY(!s.hasMouseTracking());
        QCOMPARE(s.minimumSize(), QSize(0, 0));
        QCOMPARE(s.getTypeName(), QStringLiteral("qtspacer"));
        // A parent that is not a container: values are stored, nothing else happens.
        QWidget plain;
        auto* t = new TEVQSpacer(&plain);
        t->setThickness(3);
        t->setDirection(TEVQSpacer::Horizontal);
        QCOMPARE(t->getThickness(), 3);
    }

    void spacerJson()
    {
        TEVQSpacer s;
        Json::Value e = write(&s);
        QVERIFY(json::has(e, "attr"));
        QVERIFY(json::get(e, "attr").isNull());

        Json::Value in = parse(R"({"attr":{"direction":-1,"thickness":-5}})");
        s.setDirection(TEVQSpacer::Vertical);
        s.readJsonValue(&in);
        QCOMPARE(s.getDirection(), TEVQSpacer::Auto);
        QCOMPARE(s.getThickness(), 0);

        Json::Value keep = parse(R"({"attr":{"thickness":4}})");
        s.setDirection(TEVQSpacer::Vertical);
        s.readJsonValue(&keep);
        QCOMPARE(s.getDirection(), TEVQSpacer::Vertical); // a missing "direction" keeps the value
        QCOMPARE(s.getThickness(), 4);

        e = write(&s);
        QCOMPARE(json::getInt(json::get(e, "attr"), "direction", -1), 2);
        QCOMPARE(json::getInt(json::get(e, "attr"), "thickness", -1), 4);
        TEVQSpacer back;
        back.readJsonValue(&e);
        QCOMPARE(back.getDirection(), TEVQSpacer::Vertical);
        QCOMPARE(back.getThickness(), 4);

        Json::Value bad = parse(R"({"attr":{"direction":"2","thickness":[1]}})");
        back.readJsonValue(&bad);
        QCOMPARE(back.getDirection(), TEVQSpacer::Vertical);
        QCOMPARE(back.getThickness(), 4);
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
        TEVQContainer root;
        root.resize(480, 320);
        root.setChildLayout(TEVQContainer::Vertical);
        root.setChildSpace(6);
        root.setChildPadding(8);
        root.setColor(QColor(30, 34, 44));

        auto* header = new TEVQContainer;
        header->setHeightPolicy(LayoutSizePolicyFixed);
        header->setWidthPolicy(LayoutSizePolicyFree);
        header->resize(10, 48);
        header->setColor(QColor(40, 90, 160));
        header->setChildPadding(10, 8, 10, 8);
        header->setChildSpace(8);
        root.addChildWidget(header, 1);
        auto* title = new TEVQLabel;
        TextStyleDesc white;
        white.color = Qt::white;
        white.pixelSize = 16;
        white.bold = true;
        for (int st = 0; st < 4; ++st)
            title->setTextStyle(CtrlState(st), white);
        title->setText(QStringLiteral("Plant overview"));
        title->setWidthPolicy(LayoutSizePolicyFixed);
        title->setHeightPolicy(LayoutSizePolicyFree);
        title->resize(200, 32);
        header->addChildWidget(title, 3);
        header->addChildWidget(new TEVQSpacer, 1);
        auto* badge = new TEVQContainer;
        badge->setWidthPolicy(LayoutSizePolicyFixed);
        badge->setHeightPolicy(LayoutSizePolicyFree);
        badge->resize(60, 10);
        badge->setColor(QColor(230, 160, 40));
        header->addChildWidget(badge, 1);
        // The row mode last: in a row with a spacer the other children keep the widths they have.
        header->setChildLayout(TEVQContainer::Horizontal);

        auto* body = new TEVQContainer;
        body->setDrawBackground(false);
        body->setWidthPolicy(LayoutSizePolicyFree);
        body->setHeightPolicy(LayoutSizePolicyFree);
        body->setChildLayout(TEVQContainer::Horizontal);
        body->setChildSpace(6);
        root.addChildWidget(body, 1);

        auto* side = new TEVQContainer;
        side->setWidthPolicy(LayoutSizePolicyFixed);
        side->setHeightPolicy(LayoutSizePolicyFree);
        side->resize(120, 10);
        side->setColor(QColor(55, 60, 75));
        side->setChildLayout(TEVQContainer::Vertical);
        side->setChildPadding(6);
        side->setChildSpace(4);
        body->addChildWidget(side, 1);
        for (int i = 0; i < 4; ++i) {
            auto* item = new TEVQPushButton;
            item->setHeightPolicy(LayoutSizePolicyFixed);
            item->setWidthPolicy(LayoutSizePolicyFree);
            item->resize(10, 28);
            item->setFadeEnabled(false);
            item->setBackground(CtrlState(4), colour("nav", i == 0 ? QColor(70, 130, 200) : QColor(75, 80, 98)));
            TextStyleDesc navText;
            navText.color = QColor(235, 238, 245);
            navText.horAlign = 1;
            item->setTextStyle(CtrlState(4), navText);
            item->setText(QStringLiteral("Section %1").arg(i + 1));
            side->addChildWidget(item, 1);
        }

        auto* grid = new TEVQContainer;
        grid->setWidthPolicy(LayoutSizePolicyFree);
        grid->setHeightPolicy(LayoutSizePolicyFree);
        grid->setColor(QColor(245, 246, 250));
        grid->setChildLayout(TEVQContainer::HorFloat);
        grid->setChildPadding(8);
        grid->setChildSpace(8);
        body->addChildWidget(grid, 1);
        for (int i = 0; i < 7; ++i) {
            auto* card = new TEVQContainer(grid);
            card->resize(100, 60);
            card->setColor(QColor(200 - i * 15, 220, 180 + i * 10));
            card->setChildLayout(TEVQContainer::Vertical);
            card->setChildPadding(6);
            auto* slider = new TEVQSlider;
            slider->setHeightPolicy(LayoutSizePolicyFixed);
            slider->setWidthPolicy(LayoutSizePolicyFree);
            slider->resize(10, 20);
            slider->setValue(i * 15);
            card->addChildWidget(slider, 1);
        }
        auto* dot = new TEVQContainer(grid);
        dot->resize(16, 16);
        dot->setColor(QColor(220, 40, 40));
        dot->setAbsoluteDock(DockLayoutFar, DockLayoutFar, -4, -4);

        showHeadless(root);
        QCoreApplication::processEvents();
        const QImage img = root.grab().toImage();
        QVERIFY(img.save(QStringLiteral("/tmp/tev_nested_containers.png")));

        QCOMPARE(header->geometry(), QRect(8, 8, 464, 48));
        QCOMPARE(body->geometry(), QRect(8, 62, 464, 250));
        QCOMPARE(side->geometry(), QRect(0, 0, 120, 250));
        QCOMPARE(grid->geometry(), QRect(126, 0, 338, 250));
        QCOMPARE(badge->geometry(), QRect(394, 8, 60, 32));
        QCOMPARE(dot->geometry(), QRect(338 - 8 - 16 - 4, 250 - 8 - 16 - 4, 16, 16));
        // Pixels: root padding, header, badge, the first side item, the grid, the first card, the dot.
        QCOMPARE(img.pixelColor(3, 3), QColor(30, 34, 44));
        QCOMPARE(img.pixelColor(12, 12), QColor(40, 90, 160));
        QCOMPARE(img.pixelColor(8 + 394 + 30, 8 + 8 + 16), QColor(230, 160, 40));
        QCOMPARE(img.pixelColor(8 + 6 + 5, 62 + 6 + 5), QColor(70, 130, 200));
        QCOMPARE(img.pixelColor(8 + 126 + 3, 62 + 3), QColor(245, 246, 250));
        QCOMPARE(img.pixelColor(8 + 126 + 8 + 2, 62 + 8 + 55), QColor(200, 220, 180));
        QCOMPARE(img.pixelColor(8 + 126 + dot->x() + 8, 62 + dot->y() + 8), QColor(220, 40, 40));
        // Cards wrap at the grid's right padding: three per row of 338.
        const auto cards = grid->findChildren<TEVQContainer*>(QString(), Qt::FindDirectChildrenOnly);
        QCOMPARE(cards[3]->geometry().topLeft(), QPoint(8, 8 + 60 + 8));
    }
};

TEV_TEST_MAIN(TestContainer)
#include "tst_container.moc"
