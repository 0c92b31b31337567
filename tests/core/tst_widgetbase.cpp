// The widget interface, the layout record and its element keys, the painter base ("attr", "theme", "child"),
// the shared "style" entry reader and writer, theme application and the mouse and enable state machine.
#include "TevTest.h"
#include "widgetbase_testwidget.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBase.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QToolTip>

using namespace TEVQtLib;

namespace {

// These tests need no OpenGL; without the GLX integration no GL driver is loaded and unloaded behind the
// leak checker's back.
const bool kNoGlIntegration = qputenv("QT_XCB_GL_INTEGRATION", "none");

Json::Value parseJson(const char* text)
{
    Json::Value v;
    if (!json::parse(std::string(text), v))
        qFatal("bad JSON in test: %s", text);
    return v;
}

QByteArray toText(const Json::Value& v)
{
    Json::StreamWriterBuilder b;
    b["indentation"] = "";
    return QByteArray::fromStdString(Json::writeString(b, v));
}

// What the common keys and the layout write for w (without the painter's keys).
Json::Value writeCommon(QWidget* w)
{
    Json::Value out(Json::objectValue);
    qobject_cast<ITEVQWidgetBase*>(w)->getControlBase()->serializeJsonValue(&out, false);
    return out;
}

bool readElement(TestWidget& w, const char* text)
{
    Json::Value v = parseJson(text);
    return w.readJsonValue(&v);
}

FillStyle fillNamed(const char* name, QColor colour)
{
    FillStyle f;
    f.name = QString::fromLatin1(name);
    f.fillRes.fillColor = colour;
    return f;
}

TextStyleDesc textNamed(const char* name, int pixelSize)
{
    TextStyleDesc t;
    t.name = QString::fromLatin1(name);
    t.pixelSize = pixelSize;
    return t;
}

} // namespace

// Stand-ins for types of later subsystems, found by class name.
namespace stub {
class TEVQContainer : public QWidget, public ITEVQLayoutHost
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    void forceResize() override { ++forced; }
    int forced = 0;
};

// A framework container: its own type name, the interface, found as "TEVQContainer" by resizeWidget.
class TEVQContainerWidget : public TEVQContainer, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TEVQContainerWidget, TEVQContainer, "qtcontainer")
public:
    explicit TEVQContainerWidget(QWidget* parent = nullptr) : TEVQContainer(parent)
    {
        tevSetImpl(new TEVQWidgetBaseImpl(this, typeName()));
    }
};

class TEVQMenu : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TEVQMenu, QWidget, "qtmenu")
public:
    explicit TEVQMenu(QWidget* parent = nullptr) : QWidget(parent) { tevSetImpl(new TEVQWidgetBaseImpl(this, typeName())); }
};
} // namespace stub

class TestWidgetBase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    // Interface and shared members
    void interfaceAndMetaObject();
    void painterOwnedByWidget();
    void subclassOfFrameworkWidget();
    void themeNameIgnoredWithoutTheme();
    void opacityRoundTrip();
    void innerVisible();

    // Layout record
    void layoutSetters();
    void layoutRatioAsksContainer();
    void freshWidgetWrites();
    void commonKeys_data();
    void commonKeys();
    void loadLayoutAppliesGeometryAtOnce();
    void elementRectAppliedByResizeWidget();
    void rootContainerFillsWindow();
    void saveLayoutInDesigner();
    void menuKeepsItsOwnJson();
    void setJsonDataAppliesOnce();
    void cloneWidgetThroughHook();

    // Painter base
    void attrKinds();
    void attrShapesWithoutKind();
    void attrWriteAllKinds();
    void attrUnknownSurviveRoundTrip();
    void childSerialisation();
    void malformedJsonNeverCrashes_data();
    void malformedJsonNeverCrashes();
    void helpers();

    // Style entries
    void styleGroupRead();
    void styleEntriesSkipped();
    void styleGroupWrite();
    void styleRoundTrip();

    // State machine
    void mouseStates();
    void disabledStates();

    // Themes (a theme directory is loaded from here on)
    void themeAppliedOnConstruction();
    void themeElementDoesNotTouchCommonKeys();
    void themeKeyNeedsAttr();
    void themeKeySwitchRestored();
    void themeGuardRestoresPreviousSwitch();
    void setThemeNameRestyles();
    void designerModesBlockThemes();

private:
    QTemporaryDir m_themeDir;
};

void TestWidgetBase::initTestCase()
{
    QVERIFY(m_themeDir.isValid());
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    // Styles of the default store for the "style" entries.
    FillStyle red = fillNamed("red", Qt::red), green = fillNamed("green", Qt::green),
              blue = fillNamed("blue", Qt::blue);
    TextStyleDesc big = textNamed("big", 20), small = textNamed("small", 8);
    rm->setFillStyle(red.name, red);
    rm->setFillStyle(green.name, green);
    rm->setFillStyle(blue.name, blue);
    rm->setTextStyle(big.name, big);
    rm->setTextStyle(small.name, small);
}

void TestWidgetBase::cleanup()
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    rm->setSwitchToThemeRes(false);
    rm->setIsDesigner(false);
    tevSetIsInDesigner(false);
    tevEnableSerializeChild(true);
    TEVQWidgetBase::setCreateControlHook(nullptr);
}

// ---- interface and shared members ------------------------------------------------------------------------------

void TestWidgetBase::interfaceAndMetaObject()
{
    TestWidget w;
    QObject* o = &w;
    QVERIFY(qobject_cast<ITEVQWidgetBase*>(o) == static_cast<ITEVQWidgetBase*>(&w));
    QVERIFY(o->qt_metacast("ITEVQWidgetBase") == static_cast<ITEVQWidgetBase*>(&w));
    QVERIFY(o->qt_metacast("TestWidget") == &w);
    QVERIFY(o->qt_metacast("QWidget") == static_cast<QWidget*>(&w));
    QVERIFY(w.metaObject()->indexOfProperty("jsonData") >= 0);
    QVERIFY(o->setProperty("jsonData", QStringLiteral("{\"name\":\"viaProperty\"}")));
    QCOMPARE(w.objectName(), QStringLiteral("viaProperty"));
    QCOMPARE(o->property("jsonData").toString(), QStringLiteral("{\"name\":\"viaProperty\"}"));

    QCOMPARE(QString::fromLatin1(TestWidget::typeName()), QStringLiteral("qttestwidget"));
    ITEVQWidgetBase* i = &w;
    QCOMPARE(i->getTypeName(), QStringLiteral("qttestwidget"));
    QCOMPARE(w.getInnerTypeName(), QStringLiteral("qttestwidget"));
    QCOMPARE(i->getControlBase()->getOwner(), static_cast<QWidget*>(&w));
    QCOMPARE(w.getThemeName(), QStringLiteral("qttestwidget"));
    QCOMPARE(w.getDelegateItemVisible(), true);
    w.setDelegateItemVisible(false);
    QCOMPARE(i->getControlImpl()->getDelegateItemVisible(), false);

    std::unique_ptr<QWidget> made(TestWidget::createTestWidget());
    QVERIFY(qobject_cast<TestWidget*>(made.get()));
    QVERIFY(made->parentWidget() == nullptr);
}

void TestWidgetBase::painterOwnedByWidget()
{
    auto* w = new TestWidget;
    QPointer<QObject> painter = w->getControlImpl();
    QVERIFY(painter);
    QVERIFY(painter->parent() == nullptr);
    QCOMPARE(w->property("impl").value<void*>(), static_cast<void*>(w->getControlImpl()));
    delete w;
    QVERIFY(painter.isNull());
}

void TestWidgetBase::subclassOfFrameworkWidget()
{
    TestSubWidget w;
    QObject* o = &w;
    QVERIFY(o->qt_metacast("TestSubWidget") == &w);
    QVERIFY(o->qt_metacast("ITEVQWidgetBase") == static_cast<ITEVQWidgetBase*>(&w));
    ITEVQWidgetBase* i = qobject_cast<ITEVQWidgetBase*>(o);
    QCOMPARE(i->getTypeName(), QStringLiteral("qttestsub"));
    QCOMPARE(QString::fromLatin1(TestSubWidget::typeName()), QStringLiteral("qttestsub"));
    QCOMPARE(w.getThemeName(), QStringLiteral("qttestsub"));
    QCOMPARE(w.property("impl").value<void*>(), static_cast<void*>(i->getControlImpl()));
    QVERIFY(w.metaObject()->indexOfProperty("jsonData") >= 0);
    // One record: what the interface sets is what the base class's members see.
    i->setLayoutRatio(3);
    QCOMPARE(static_cast<TestWidget&>(w).getLayoutRatio(), 3);
    Json::Value out(Json::objectValue);
    QVERIFY(w.serializeJsonValue(&out, false));
    QCOMPARE(json::getString(out, "type"), std::string("qttestsub"));
    QCOMPARE(json::getString(out, "theme"), std::string("qttestsub"));
    std::unique_ptr<QWidget> made(TestSubWidget::createTestSubWidget());
    QVERIFY(qobject_cast<TestSubWidget*>(made.get()));
}

void TestWidgetBase::themeNameIgnoredWithoutTheme()
{
    // Runs before any theme has been loaded.
    QVERIFY(TEVQResourceManager::getInstance()->themeStore() == nullptr);
    TestWidget w;
    w.setThemeName(QStringLiteral("other"));
    QCOMPARE(w.getThemeName(), QStringLiteral("qttestwidget"));

    // A record whose owner carries no painter object.
    QWidget plain;
    TEVQWidgetBase record(&plain);
    QCOMPARE(record.getThemeName(), QString());
    record.setThemeName(QStringLiteral("x"));
    record.refreshTheme();
    QCOMPARE(record.getThemeName(), QString());
}

void TestWidgetBase::opacityRoundTrip()
{
    TestWidget w;
    ITEVQWidgetBase* i = &w;
    QCOMPARE(i->getOpacity(), 255); // the record's default reads back as is
    for (int v : {0, 1, 128, 254, 255}) {
        i->setOpacity(v);
        QCOMPARE(i->getOpacity(), v);
        QCOMPARE(w.getControlBase()->opacity, v);
    }
    // No JSON key carries it.
    Json::Value out = writeCommon(&w);
    QVERIFY(!json::has(out, "opacity"));
}

void TestWidgetBase::innerVisible()
{
    TestWidget w;
    QCOMPARE(w.getInnerVisible(), false); // never set
    w.show();
    w.setInnerVisible(true);
    QCOMPARE(w.getInnerVisible(), true);
    QVERIFY(!w.isVisible()); // hidden whatever the value
    w.setInnerVisible(false);
    QCOMPARE(w.getInnerVisible(), false);
    QCOMPARE(json::getBool(writeCommon(&w), "visibility", true), false);
}

// ---- layout record ----------------------------------------------------------------------------------------------

void TestWidgetBase::layoutSetters()
{
    TestWidget w;
    ITEVQWidgetBase* i = &w;
    QCOMPARE(i->getLayoutType(), LayoutTypeAbsolute);
    QCOMPARE(i->getLayoutRatio(), 1); // not a ratio layout
    i->setLayoutRatio(0);
    QCOMPARE(i->getLayoutType(), LayoutTypeRatio);
    QCOMPARE(w.getControlBase()->layout.x, 1);
    i->setLayoutRatio(-3);
    QCOMPARE(w.getControlBase()->layout.x, 1);
    i->setLayoutRatio(4);
    QCOMPARE(i->getLayoutRatio(), 4);
    void* data = nullptr;
    i->getLayoutData(data);
    QCOMPARE(static_cast<TEVLayoutRect*>(data)->x, 4);
    w.getControlBase()->layoutType = LayoutTypeUnset;
    i->getLayoutData(data);
    QVERIFY(data == nullptr);

    i->setAbsoluteDock(DockLayoutType(7), DockLayoutType(-1), -5, 9);
    DockLayoutType h, v;
    int x = 0, y = 0;
    i->getAbsoluteDock(h, v, x, y);
    QCOMPARE(int(h), 2);
    QCOMPARE(int(v), 0);
    QCOMPARE(x, -5);
    QCOMPARE(y, 9);
    QVERIFY(i->getAbsoluteLayout());

    i->setWidthPolicy(LayoutSizePolicyFixed);
    i->setHeightPolicy(LayoutSizePolicyFree);
    QCOMPARE(i->getWidthPolicy(), LayoutSizePolicyFixed);
    QCOMPARE(i->getHeightPolicy(), LayoutSizePolicyFree);

    i->setGeometry(3, 4, 50, 60);
    QCOMPARE(w.geometry(), QRect(3, 4, 50, 60));
    QCOMPARE(i->getLayoutType(), LayoutTypeAbsolute);
    w.setGeometry(QRect(1, 2, 30, 40)); // the widget's own setGeometry records the rectangle too
    void* rect = nullptr;
    i->getLayoutData(rect);
    const TEVLayoutRect r = *static_cast<TEVLayoutRect*>(rect);
    QCOMPARE(QRect(r.x, r.y, r.w, r.h), QRect(1, 2, 30, 40));

    // Copies carry every field, the owner included.
    TEVQWidgetBase copy = *w.getControlBase();
    QCOMPARE(copy.owner, static_cast<QWidget*>(&w));
    QCOMPARE(copy.dockHor, DockLayoutFar);
}

void TestWidgetBase::layoutRatioAsksContainer()
{
    stub::TEVQContainer container;
    auto* child = new TestWidget(&container);
    child->setLayoutRatio(2);
    QCOMPARE(container.forced, 1);
    child->setWidthPolicy(LayoutSizePolicyFixed);
    child->setAbsoluteLayout(true);
    child->setGeometry(0, 0, 10, 10);
    QCOMPARE(container.forced, 1); // no other setter lays out again
}

void TestWidgetBase::freshWidgetWrites()
{
    TestWidget w;
    Json::Value out = writeCommon(&w);
    QCOMPARE(toText(out), QByteArray(R"({"h":0,"name":"","type":"qttestwidget","visibility":false,"w":0})"));

    // The whole widget adds the painter's keys: its theme name starts as its type name.
    Json::Value whole(Json::objectValue);
    QVERIFY(w.serializeJsonValue(&whole, false));
    QCOMPARE(json::getString(whole, "theme"), std::string("qttestwidget"));
    QVERIFY(!json::has(whole, "attr"));

    // A painter with no theme name and an empty store writes neither key.
    w.getControlImpl()->setThemeNameValue(QString());
    Json::Value bare(Json::objectValue);
    w.serializeJsonValue(&bare, false);
    QVERIFY(!json::has(bare, "theme"));
    QVERIFY(!json::has(bare, "attr"));
}

// Element in; layout fields out; the common keys written back.
void TestWidgetBase::commonKeys_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<int>("layoutType");
    QTest::addColumn<QRect>("rect"); // x holds the ratio for type 0
    QTest::addColumn<bool>("absolute");
    QTest::addColumn<QList<int>>("dock"); // hor, ver, offset x, offset y
    QTest::addColumn<QList<int>>("policies");
    QTest::addColumn<QByteArray>("written");

    const QList<int> noDock{0, 0, 0, 0}, noPolicy{-1, -1};
    QTest::newRow("empty") << QByteArray("{}") << 1 << QRect(0, 0, 0, 0) << false << noDock << noPolicy
                           << QByteArray(R"({"h":0,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("rect x only") << QByteArray(R"({"x":10})") << 1 << QRect(10, 0, 0, 0) << false << noDock
                                 << noPolicy << QByteArray(R"({"h":0,"name":"","type":"qttestwidget","w":0,"x":10})");
    QTest::newRow("rect full") << QByteArray(R"({"name":"n","x":1,"y":2,"w":30,"h":40})") << 1
                               << QRect(1, 2, 30, 40) << false << noDock << noPolicy
                               << QByteArray(R"({"h":40,"name":"n","type":"qttestwidget","w":30,"x":1,"y":2})");
    QTest::newRow("layout {}") << QByteArray(R"({"layout":{}})") << 0 << QRect(1, 0, 0, 0) << false << noDock
                               << noPolicy
                               << QByteArray(R"({"layout":{"ratio":1,"type":0},"name":"","type":"qttestwidget"})");
    QTest::newRow("ratio 3") << QByteArray(R"({"layout":{"type":0,"ratio":3}})") << 0 << QRect(3, 0, 0, 0) << false
                             << noDock << noPolicy
                             << QByteArray(R"({"layout":{"ratio":3,"type":0},"name":"","type":"qttestwidget"})");
    QTest::newRow("ratio 0 kept") << QByteArray(R"({"layout":{"type":0,"ratio":0}})") << 0 << QRect(0, 0, 0, 0)
                                  << false << noDock << noPolicy
                                  << QByteArray(R"({"layout":{"ratio":0,"type":0},"name":"","type":"qttestwidget"})");
    QTest::newRow("layout type 1") << QByteArray(R"({"layout":{"type":1},"x":5,"w":20,"h":7})") << 1
                                   << QRect(5, 0, 20, 7) << false << noDock << noPolicy
                                   << QByteArray(R"({"h":7,"name":"","type":"qttestwidget","w":20,"x":5})");
    QTest::newRow("layout type 5") << QByteArray(R"({"x":9,"layout":{"type":5}})") << 1 << QRect(0, 0, 0, 0)
                                   << false << noDock << noPolicy
                                   << QByteArray(R"({"h":0,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("dock clamped") << QByteArray(R"({"absoluteDockHor":7,"absoluteDockVer":-1})") << 1
                                  << QRect(0, 0, 0, 0) << true << QList<int>{2, 0, 0, 0} << noPolicy
                                  << QByteArray(R"({"absoluteDockHor":2,"absoluteLayout":true,"h":0,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("dock offset only") << QByteArray(R"({"absoluteDockOffsetY":-4})") << 1 << QRect(0, 0, 0, 0)
                                      << true << QList<int>{0, 0, 0, -4} << noPolicy
                                      << QByteArray(R"({"absoluteDockOffsetY":-4,"absoluteLayout":true,"h":0,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("absoluteLayout overrides") << QByteArray(R"({"absoluteDockHor":1,"absoluteLayout":false})") << 1
                                              << QRect(0, 0, 0, 0) << false << QList<int>{1, 0, 0, 0} << noPolicy
                                              << QByteArray(R"({"h":0,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("absoluteLayout alone") << QByteArray(R"({"absoluteLayout":true})") << 1 << QRect(0, 0, 0, 0)
                                          << true << noDock << noPolicy
                                          << QByteArray(R"({"absoluteLayout":true,"h":0,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("policies") << QByteArray(R"({"widthPolicy":2,"heightPolicy":1})") << 1 << QRect(0, 0, 0, 0)
                              << false << noDock << QList<int>{-1, 1}
                              << QByteArray(R"({"h":0,"heightPolicy":1,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("policy zero") << QByteArray(R"({"widthPolicy":0,"heightPolicy":-7})") << 1 << QRect(0, 0, 0, 0)
                                 << false << noDock << QList<int>{0, -1}
                                 << QByteArray(R"({"h":0,"name":"","type":"qttestwidget","w":0,"widthPolicy":0})");
    QTest::newRow("tooltip") << QByteArray(R"({"tooltip":"h\u00e9llo"})") << 1 << QRect(0, 0, 0, 0) << false
                             << noDock << noPolicy
                             << QByteArray(R"({"h":0,"name":"","tooltip":"h\u00e9llo","type":"qttestwidget","w":0})");
    QTest::newRow("hidden disabled") << QByteArray(R"({"visibility":false,"enable":false})") << 1
                                     << QRect(0, 0, 0, 0) << false << noDock << noPolicy
                                     << QByteArray(R"({"enable":false,"h":0,"name":"","type":"qttestwidget","visibility":false,"w":0})");
    QTest::newRow("min max") << QByteArray(R"({"minWidth":-3,"minHeight":5,"maxWidth":0,"maxHeight":90})") << 1
                             << QRect(0, 0, 0, 0) << false << noDock << noPolicy
                             << QByteArray(R"({"h":0,"maxHeight":90,"maxWidth":0,"minHeight":5,"name":"","type":"qttestwidget","w":0})");
    QTest::newRow("sizes beyond Qt's range") << QByteArray(R"({"minWidth":1111111111,"minHeight":16777215,"maxWidth":2e9})")
                                             << 1 << QRect(0, 0, 0, 0) << false << noDock << noPolicy
                                             << QByteArray(R"({"h":0,"name":"","type":"qttestwidget","w":0})");
}

void TestWidgetBase::commonKeys()
{
    QFETCH(QByteArray, element);
    QFETCH(int, layoutType);
    QFETCH(QRect, rect);
    QFETCH(bool, absolute);
    QFETCH(QList<int>, dock);
    QFETCH(QList<int>, policies);
    QFETCH(QByteArray, written);

    QWidget parent;
    auto* w = new TestWidget(&parent);
    QVERIFY(readElement(*w, element.constData()));
    const TEVQWidgetBase& b = *w->getControlBase();
    QCOMPARE(int(b.layoutType), layoutType);
    QCOMPARE(QRect(b.layout.x, b.layout.y, b.layout.w, b.layout.h), rect);
    QCOMPARE(b.absoluteLayout, absolute);
    QCOMPARE((QList<int>{b.dockHor, b.dockVer, b.dockOffsetX, b.dockOffsetY}), dock);
    QCOMPARE((QList<int>{b.widthPolicy, b.heightPolicy}), policies);
    // Reading leaves "visibility" set (true unless the element says otherwise), so it is not written.
    QCOMPARE(toText(writeCommon(w)), written);
}

void TestWidgetBase::loadLayoutAppliesGeometryAtOnce()
{
    QWidget parent;
    auto* w = new TestWidget(&parent);
    w->QWidget::setGeometry(0, 0, 33, 44);
    QVERIFY(readElement(*w, R"({"layout":{"type":1},"x":4,"y":6})"));
    // Missing w and h take the current size; the geometry is applied at once.
    QCOMPARE(w->geometry(), QRect(4, 6, 33, 44));
    // An unusable type is as unknown as 5: absolute, rectangle unchanged.
    QVERIFY(readElement(*w, R"({"layout":{"type":-1},"x":99})"));
    QCOMPARE(w->getLayoutType(), LayoutTypeAbsolute);
    QCOMPARE(w->getControlBase()->layout.x, 4);
}

void TestWidgetBase::elementRectAppliedByResizeWidget()
{
    QWidget parent;
    auto* w = new TestWidget(&parent);
    w->QWidget::setGeometry(1, 1, 5, 5);
    QVERIFY(readElement(*w, R"({"x":10,"w":20,"h":30})"));
    QCOMPARE(w->geometry(), QRect(1, 1, 5, 5)); // not yet
    w->resizeWidget();
    QCOMPARE(w->geometry(), QRect(10, 0, 20, 30));

    // Without a parent nothing happens.
    TestWidget orphan;
    orphan.getControlBase()->layout = TEVLayoutRect{7, 7, 7, 7};
    const QRect before = orphan.geometry();
    orphan.resizeWidget();
    QCOMPARE(orphan.geometry(), before);
}

void TestWidgetBase::rootContainerFillsWindow()
{
    QWidget window;
    window.resize(300, 200);
    for (LayoutType t : {LayoutTypeUnset, LayoutTypeAbsolute}) {
        auto* root = new stub::TEVQContainerWidget(&window);
        root->getControlBase()->layoutType = t;
        root->getControlBase()->layout = TEVLayoutRect{5, 5, 10, 10};
        root->resizeWidget();
        QCOMPARE(root->geometry(), QRect(0, 0, 300, 200));
        QCOMPARE(root->getLayoutType(), LayoutTypeAbsolute);
    }
    // A ratio child is left to its container; a container inside a plain child widget keeps its rectangle.
    auto* ratio = new stub::TEVQContainerWidget(&window);
    ratio->setLayoutRatio(2);
    ratio->QWidget::setGeometry(1, 2, 3, 4);
    ratio->resizeWidget();
    QCOMPARE(ratio->geometry(), QRect(1, 2, 3, 4));
    auto* inner = new QWidget(&window);
    auto* nested = new stub::TEVQContainerWidget(inner);
    nested->getControlBase()->layout = TEVLayoutRect{5, 6, 7, 8};
    nested->resizeWidget();
    QCOMPARE(nested->geometry(), QRect(5, 6, 7, 8));
}

void TestWidgetBase::saveLayoutInDesigner()
{
    QWidget parent;
    auto* w = new TestWidget(&parent);
    w->getControlBase()->layout = TEVLayoutRect{1, 1, 1, 1};
    w->QWidget::setGeometry(0, 8, 40, 50);
    tevSetIsInDesigner(true);
    Json::Value out = writeCommon(w);
    tevSetIsInDesigner(false);
    QVERIFY(!json::has(out, "x"));
    QCOMPARE(json::getInt(out, "y"), 8);
    QCOMPARE(json::getInt(out, "w"), 40);
    QCOMPARE(json::getInt(out, "h"), 50);
    QVERIFY(!json::has(out, "layout"));
    // An unset type is saved as a rectangle and becomes one.
    w->getControlBase()->layoutType = LayoutTypeUnset;
    writeCommon(w);
    QCOMPARE(w->getLayoutType(), LayoutTypeAbsolute);
}

void TestWidgetBase::menuKeepsItsOwnJson()
{
    stub::TEVQMenu menu;
    menu.setObjectName(QStringLiteral("m"));
    Json::Value el = parseJson(R"({"name":"other","x":3})");
    menu.getControlBase()->serializeJsonValue(&el, true);
    QCOMPARE(menu.objectName(), QStringLiteral("m"));
    Json::Value out(Json::objectValue);
    menu.getControlBase()->serializeJsonValue(&out, false);
    QVERIFY(out.empty());
}

void TestWidgetBase::setJsonDataAppliesOnce()
{
    TestWidget w;
    TestWidgetImpl* p = w.painter();
    const int before = p->reads;
    const QString first = QStringLiteral(R"({"name":"a","attr":{"text":"one"}})");
    w.setJsonData(first);
    w.setJsonData(first);
    QCOMPARE(p->reads, before + 1);
    QCOMPARE(p->text, QStringLiteral("one"));
    w.setJsonData(QStringLiteral(R"({"name":"b"})"));
    QCOMPARE(w.objectName(), QStringLiteral("a"));
    QCOMPARE(w.jsonData(), QStringLiteral(R"({"name":"b"})"));

    // A text that does not parse is stored, not applied.
    TestWidget bad;
    bad.setJsonData(QStringLiteral("{\"name\":"));
    QCOMPARE(bad.painter()->reads, 0);
    QCOMPARE(bad.jsonData(), QStringLiteral("{\"name\":"));
    QCOMPARE(bad.objectName(), QString());
}

namespace {
QWidget* createForClone(const QString& type, const Json::Value& json, QWidget* parent)
{
    if (type != QLatin1String("qttestwidget"))
        return nullptr;
    auto* w = new TestWidget(parent);
    Json::Value copy = json;
    w->readJsonValue(&copy);
    return w;
}
} // namespace

void TestWidgetBase::cloneWidgetThroughHook()
{
    QWidget parent;
    auto* w = new TestWidget(&parent);
    QVERIFY(w->getControlBase()->cloneWidget(QStringLiteral("ignored")) == nullptr); // no loader yet
    TEVQWidgetBase::setCreateControlHook(&createForClone);
    QWidget* clone = w->getControlBase()->cloneWidget(QStringLiteral("ignored"));
    QVERIFY(qobject_cast<TestWidget*>(clone));
    QCOMPARE(clone->parentWidget(), &parent);
    QVERIFY(clone != w);
}

// ---- painter base ---------------------------------------------------------------------------------------------

void TestWidgetBase::attrKinds()
{
    TestWidget w;
    QVERIFY(readElement(w, R"({"attr":{"a":1,"b":3000000000,"c":1.5,"d":["x","y"],"f":true,"g":"s","h":2.0,"i":-7}})"));
    const TEVQWidgetBaseImpl* p = w.getControlImpl();
    QCOMPARE(p->attr("a")->kind(), TEVAttrValue::Int32);
    QCOMPARE(*p->attr("a")->get<std::int32_t>(), 1);
    QCOMPARE(p->attr("b")->kind(), TEVAttrValue::UInt32);
    QCOMPARE(*p->attr("b")->get<std::uint32_t>(), 3000000000u);
    QCOMPARE(p->attr("c")->kind(), TEVAttrValue::Double);
    QCOMPARE(p->attr("d")->kind(), TEVAttrValue::StringList);
    QCOMPARE(p->attr("d")->get<std::vector<std::string>>()->size(), size_t(2));
    QCOMPARE(p->attr("f")->kind(), TEVAttrValue::Bool);
    QCOMPARE(p->attr("g")->kind(), TEVAttrValue::String);
    QCOMPARE(p->attr("h")->kind(), TEVAttrValue::Int32); // an integral real fits an int
    QCOMPARE(p->attr("i")->kind(), TEVAttrValue::Int32);

    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    QCOMPARE(toText(json::get(out, "attr")),
             QByteArray(R"({"a":1,"b":3000000000,"c":1.5,"d":["x","y"],"f":true,"g":"s","h":2,"i":-7})"));

    // A later read replaces values under the same key and keeps the rest.
    QVERIFY(readElement(w, R"({"attr":{"a":"now text"}})"));
    QCOMPARE(w.getControlImpl()->attr("a")->kind(), TEVAttrValue::String);
    QVERIFY(w.getControlImpl()->attr("c"));
}

void TestWidgetBase::attrShapesWithoutKind()
{
    TestWidget w;
    QVERIFY(readElement(w, R"({"attr":{"o":{},"n":null,"e":[],"a":[1,"x"],"m":["x",{},null,2,true,["y"]],"big":1e300}})"));
    const TEVQWidgetBaseImpl* p = w.getControlImpl();
    QVERIFY(!p->attr("o"));
    QVERIFY(!p->attr("n"));
    QVERIFY(!p->attr("e"));
    QVERIFY(!p->attr("a"));
    QCOMPARE(p->attr("big")->kind(), TEVAttrValue::Double);
    const auto* items = p->attr("m")->get<std::vector<std::string>>();
    QVERIFY(items);
    QCOMPARE(*items, (std::vector<std::string>{"x", "", "", "2", "true", ""}));
}

void TestWidgetBase::attrWriteAllKinds()
{
    TestWidget w;
    TEVQWidgetBaseImpl* p = w.getControlImpl();
    using P = TEVAttrValue::Payload;
    p->setAttr("k00", TEVAttrValue(P(false)));
    p->setAttr("k01", TEVAttrValue(P(std::string("\xC3\xA9"))));
    p->setAttr("k02", TEVAttrValue(P(std::int8_t(-8))));
    p->setAttr("k03", TEVAttrValue(P(std::uint8_t(200))));
    p->setAttr("k04", TEVAttrValue(P(std::int16_t(-300))));
    p->setAttr("k05", TEVAttrValue(P(std::uint16_t(60000))));
    p->setAttr("k06", TEVAttrValue(P(std::uint32_t(4000000000u))));
    p->setAttr("k07", TEVAttrValue(P(std::int32_t(-2))));
    p->setAttr("k08", TEVAttrValue(P(std::uint64_t(18000000000000000000ull))));
    p->setAttr("k09", TEVAttrValue(P(std::int64_t(-9000000000000000000ll))));
    p->setAttr("k10", TEVAttrValue(P(0.5f)));
    p->setAttr("k11", TEVAttrValue(P(0.25)));
    p->setAttr("k12", TEVAttrValue(P(std::vector<std::string>{"a", "b", "c"})));
    for (int k = 0; k <= 12; ++k) {
        const std::string key = QStringLiteral("k%1").arg(k, 2, 10, QLatin1Char('0')).toStdString();
        QCOMPARE(int(p->attr(key)->kind()), k);
    }
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    QCOMPARE(toText(json::get(out, "attr")),
             QByteArray("{\"k00\":false,\"k01\":\"\\u00e9\",\"k02\":-8,\"k03\":200,\"k04\":-300,\"k05\":60000,"
                        "\"k06\":4000000000,\"k07\":-2,\"k08\":18000000000000000000,\"k09\":-9000000000000000000,"
                        "\"k10\":0.5,\"k11\":0.25,\"k12\":[\"a\",\"b\",\"c\"]}"));
}

void TestWidgetBase::attrUnknownSurviveRoundTrip()
{
    TestWidget w;
    QVERIFY(readElement(w, R"({"attr":{"text":"mine","unknown":42,"list":["p","q"]}})"));
    QCOMPARE(w.painter()->text, QStringLiteral("mine"));
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    TestWidget again;
    Json::Value copy = out;
    QVERIFY(again.readJsonValue(&copy));
    Json::Value out2(Json::objectValue);
    again.serializeJsonValue(&out2, false);
    QCOMPARE(toText(json::get(out2, "attr")), QByteArray(R"({"list":["p","q"],"text":"mine","unknown":42})"));
    QCOMPARE(toText(json::get(out2, "attr")), toText(json::get(out, "attr")));
}

void TestWidgetBase::childSerialisation()
{
    TestWidget container;
    auto* a = new TestWidget(&container);
    a->setObjectName(QStringLiteral("a"));
    new QWidget(&container);
    auto* b = new TestWidget(&container);
    b->setObjectName(QStringLiteral("b"));
    new TestWidget(a); // a grandchild is written by its own parent

    Json::Value out(Json::objectValue);
    container.serializeJsonValue(&out, false);
    const Json::Value& child = json::get(out, "child");
    QCOMPARE(int(json::size(child)), 2);
    QCOMPARE(json::getString(json::at(child, 0), "name"), std::string("a"));
    QCOMPARE(json::getString(json::at(child, 1), "name"), std::string("b"));
    QCOMPARE(int(json::size(json::get(json::at(child, 0), "child"))), 1);

    tevEnableSerializeChild(false);
    Json::Value flat(Json::objectValue);
    container.serializeJsonValue(&flat, false);
    QVERIFY(!json::has(flat, "child"));

    tevEnableSerializeChild(true);
    TestWidget lonely;
    Json::Value none(Json::objectValue);
    lonely.serializeJsonValue(&none, false);
    QVERIFY(!json::has(none, "child"));
}

void TestWidgetBase::malformedJsonNeverCrashes_data()
{
    QTest::addColumn<QByteArray>("element");
    const char* keys[] = {"name", "tooltip", "visibility", "enable", "layout", "x", "y", "w", "h", "absoluteLayout",
                          "absoluteDockHor", "absoluteDockVer", "absoluteDockOffsetX", "absoluteDockOffsetY",
                          "widthPolicy", "heightPolicy", "minWidth", "minHeight", "maxWidth", "maxHeight", "attr",
                          "theme", "style", "child"};
    const char* values[] = {"null", "\"text\"", "-1", "4294967296", "1e300", "-1e300", "true", "[]", "[1,{}]",
                            "{}", "{\"type\":-1}", "{\"type\":\"1\",\"ratio\":\"x\"}", "{\"type\":1.5,\"ratio\":1e40}",
                            "[[\"red\"],[1,2,3],[\"red\",\"1\",\"0\"],[\"red\",1,1e40],[\"red\",1,-1],{}]"};
    for (const char* k : keys)
        for (const char* v : values)
            QTest::newRow(qPrintable(QStringLiteral("%1=%2").arg(QLatin1String(k), QLatin1String(v))))
                << QByteArray("{\"") + k + "\":" + v + "}";
    for (const char* whole : {"null", "3", "\"s\"", "[]", "[{\"name\":\"x\"}]", "true"})
        QTest::newRow(whole) << QByteArray(whole);
}

void TestWidgetBase::malformedJsonNeverCrashes()
{
    QFETCH(QByteArray, element);
    QWidget parent;
    auto* w = new TestWidget(&parent);
    Json::Value v;
    QVERIFY(json::parse(element, v));
    QVERIFY(w->readJsonValue(&v));
    w->resizeWidget();
    Json::Value out(Json::objectValue);
    QVERIFY(w->serializeJsonValue(&out, false));
    QVERIFY(json::has(out, "type"));
    QVERIFY(!TEVQResourceManager::getInstance()->isLoadFromThemeRes());
    // Writing into a value that is not an object replaces it.
    Json::Value notObject = v;
    QVERIFY(w->serializeJsonValue(&notObject, false));
    QVERIFY(json::isObject(notObject));
    // A null element reads nothing.
    Json::Value* none = nullptr;
    QVERIFY(!w->getControlImpl()->serializeJsonValue(none, true));
}

void TestWidgetBase::helpers()
{
    QVERIFY(TEVQWidgetBaseImpl::isSvgPath(QStringLiteral("  a/B.SvG ")));
    QVERIFY(!TEVQWidgetBaseImpl::isSvgPath(QStringLiteral("a.svgz")));
    QVERIFY(!TEVQWidgetBaseImpl::isSvgPath(QString()));
    const QColor c = TEVQWidgetBaseImpl::stringToColor("00123456");
    QCOMPARE(c, QColor(0x12, 0x34, 0x56, 255)); // opaque whatever the top byte holds
    QCOMPARE(TEVQWidgetBaseImpl::stringToColor("zz"), QColor(0, 0, 0));
    QVERIFY(!TEVQWidgetBaseImpl::isValidImage(QImage()));
    QVERIFY(!TEVQWidgetBaseImpl::isValidImage(QImage(0, 5, QImage::Format_ARGB32)));
    QVERIFY(TEVQWidgetBaseImpl::isValidImage(QImage(1, 1, QImage::Format_ARGB32)));
    QCOMPARE(TEVQWidgetBaseImpl::utf8ToQString("h\xC3\xA9"), QString::fromUtf8("h\xC3\xA9"));
    QCOMPARE(TEVQWidgetBaseImpl::utf8ToQString(nullptr), QString());

    QObject a;
    QVERIFY(!tevIsKindOf(&a, "TEVQContainer"));
    stub::TEVQContainerWidget c2;
    QVERIFY(tevIsKindOf(&c2, "TEVQContainer"));
    QVERIFY(tevIsKindOf(&c2, "TEVQtLib::TEVQContainer"));
    QVERIFY(tevIsKindOf(&c2, "QWidget"));
    QVERIFY(!tevIsKindOf(&c2, "TEVQWindow"));
    QVERIFY(!tevIsKindOf(nullptr, "QObject"));
}

// ---- style entries ----------------------------------------------------------------------------------------------

void TestWidgetBase::styleGroupRead()
{
    TestWidget w;
    QVERIFY(readElement(w, R"({"style":[["red",1,0]]})"));
    for (int s = 0; s < 4; ++s)
        QCOMPARE(w.painter()->background[s].name, QStringLiteral("red"));
    QVERIFY(readElement(w, R"({"style":[["red",1,0],["blue",1,2],["big",2,4]]})"));
    QCOMPARE(w.painter()->background[0].name, QStringLiteral("red"));
    QCOMPARE(w.painter()->background[1].name, QStringLiteral("red"));
    QCOMPARE(w.painter()->background[2].name, QStringLiteral("blue"));
    QCOMPARE(w.painter()->background[2].fillRes.fillColor, QColor(Qt::blue));
    QCOMPARE(w.painter()->background[3].name, QStringLiteral("red"));
    QCOMPARE(w.painter()->textStyle.pixelSize, 20);
    // A later entry for the same slot wins; a later first-slot entry resets the group.
    QVERIFY(readElement(w, R"({"style":[["green",1,3],["blue",1,3],["green",1,0]]})"));
    for (int s = 0; s < 4; ++s)
        QCOMPARE(w.painter()->background[s].name, QStringLiteral("green"));
}

void TestWidgetBase::styleEntriesSkipped()
{
    TestWidget w;
    QVERIFY(readElement(w, R"({"style":[["red",1,0],["big",2,4]]})"));
    // Unknown names, slots outside the table, slots that hold the other kind, malformed entries.
    QVERIFY(readElement(w, R"({"style":[["nosuch",1,0],["red",1,9],["red",1,-1],["big",2,1],["red",1,4],
        ["blue"],["blue",1],[2,1,0],["blue",1,"1"],"blue",{"name":"blue"},null,["blue",1,1e40]]})"));
    for (int s = 0; s < 4; ++s)
        QCOMPARE(w.painter()->background[s].name, QStringLiteral("red"));
    QCOMPARE(w.painter()->textStyle.name, QStringLiteral("big"));
    QVERIFY(readElement(w, R"({"style":{"0":["blue",1,0]}})"));
    QCOMPARE(w.painter()->background[0].name, QStringLiteral("red"));
}

void TestWidgetBase::styleGroupWrite()
{
    FillStyle red = fillNamed("red", Qt::red), blue = fillNamed("blue", Qt::blue), unnamed;
    TextStyleDesc big = textNamed("big", 20);
    auto written = [](FillStyle (&states)[4], TextStyleDesc* text) {
        TEVStyleEntries e;
        e.fillGroup(0, states);
        if (text)
            e.text(4, *text);
        Json::Value out(Json::objectValue);
        e.write(out);
        return toText(json::get(out, "style"));
    };
    {
        FillStyle s[4] = {red, red, red, red};
        QCOMPARE(written(s, &big), QByteArray(R"([["red",1,0],["big",2,4]])"));
    }
    {
        FillStyle s[4] = {red, red, blue, red};
        QCOMPARE(written(s, nullptr), QByteArray(R"([["red",1,0],["red",1,1],["blue",1,2],["red",1,3]])"));
    }
    {
        // Differing only where a name is missing: one entry for the first slot.
        FillStyle s[4] = {red, unnamed, unnamed, unnamed};
        QCOMPARE(written(s, nullptr), QByteArray(R"([["red",1,0]])"));
    }
    {
        // A differing pair with names: every named state is written.
        FillStyle s[4] = {red, unnamed, red, blue};
        QCOMPARE(written(s, nullptr), QByteArray(R"([["red",1,0],["red",1,2],["blue",1,3]])"));
    }
    {
        // Same name, different content: fill styles compare by content.
        FillStyle changed = red;
        changed.fillRes.radius = 4;
        FillStyle s[4] = {red, changed, red, red};
        QCOMPARE(written(s, nullptr), QByteArray(R"([["red",1,0],["red",1,1],["red",1,2],["red",1,3]])"));
    }
    {
        FillStyle s[4] = {unnamed, unnamed, unnamed, unnamed};
        TextStyleDesc noName;
        QCOMPARE(written(s, &noName), QByteArray("null"));
    }
    {
        // Text groups compare by name; the kind comes from the record's type field.
        TextStyleDesc a = textNamed("big", 20), b = textNamed("big", 9), c = textNamed("small", 8);
        TextStyleDesc same[4] = {a, b, a, a}, diff[4] = {a, a, c, a};
        FillStyle filled = red;
        filled.type = 3;
        TEVStyleEntries e;
        e.textGroup({{10, 12, 14, 16}}, same);
        e.textGroup({{20, 21, 22, 23}}, diff);
        e.fill(30, filled);
        Json::Value out(Json::objectValue);
        e.write(out);
        QCOMPARE(toText(json::get(out, "style")),
                 QByteArray(R"([["big",2,10],["big",2,20],["big",2,21],["small",2,22],["big",2,23],["red",2,30]])"));
    }
}

void TestWidgetBase::styleRoundTrip()
{
    TestWidget w;
    QVERIFY(readElement(w, R"({"style":[["red",1,0],["green",1,1],["blue",1,3],["small",2,4]]})"));
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    QCOMPARE(toText(json::get(out, "style")),
             QByteArray(R"([["red",1,0],["green",1,1],["red",1,2],["blue",1,3],["small",2,4]])"));
    TestWidget again;
    QVERIFY(again.readJsonValue(&out));
    for (int s = 0; s < 4; ++s)
        QCOMPARE(again.painter()->background[s], w.painter()->background[s]);
    QCOMPARE(again.painter()->textStyle, w.painter()->textStyle);

    // A name beyond ASCII comes back as the same bytes.
    FillStyle accented = fillNamed("", Qt::yellow);
    accented.name = QString::fromUtf8("gr\xC3\xBCn");
    TEVQResourceManager::getInstance()->setFillStyle(accented.name, accented);
    TestWidget third;
    QVERIFY(readElement(third, "{\"style\":[[\"gr\xC3\xBCn\",1,0]]}"));
    QCOMPARE(third.painter()->background[2].fillRes.fillColor, QColor(Qt::yellow));
    Json::Value out3(Json::objectValue);
    third.serializeJsonValue(&out3, false);
    QCOMPARE(*json::toString(json::at(json::at(json::get(out3, "style"), 0), 0)), std::string("gr\xC3\xBCn"));
}

// ---- state machine ------------------------------------------------------------------------------------------------

namespace {
void sendEnter(QWidget* w)
{
    QEvent e(QEvent::Enter);
    QApplication::sendEvent(w, &e);
}
void sendLeave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}
} // namespace

void TestWidgetBase::mouseStates()
{
    TestWidget w;
    w.resize(40, 30);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    TestWidgetImpl* p = w.painter();
    QCOMPARE(p->getState(), CtrlStateNormal);

    sendEnter(&w);
    QCOMPARE(p->getState(), CtrlStateHot);
    QVERIFY(p->isHovered());
    QCOMPARE(p->paintedStates.back(), CtrlStateHot); // repainted at once

    QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(p->getState(), CtrlStatePressed);
    QCOMPARE(p->paintedStates.back(), CtrlStatePressed);
    QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(p->getState(), CtrlStateHot); // released inside

    QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(5, 5));
    sendLeave(&w);
    QCOMPARE(p->isHovered(), false);
    QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(100, 100));
    QCOMPARE(p->getState(), CtrlStateNormal); // released outside
    QCOMPARE(p->paintedStates.back(), CtrlStateNormal);

    // Moves change nothing here.
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    QCOMPARE(p->getState(), CtrlStateNormal);
}

void TestWidgetBase::disabledStates()
{
    TestWidget w;
    w.resize(40, 30);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    TestWidgetImpl* p = w.painter();

    w.setEnabled(false);
    sendEnter(&w); // hot, but the immediate repaint forces 3 while disabled
    QVERIFY(p->isHovered());
    QCOMPARE(p->paintedStates.back(), CtrlStateDisable);
    QCOMPARE(p->getState(), CtrlStateDisable);
    sendLeave(&w);
    QCOMPARE(p->getState(), CtrlStateDisable);

    w.setEnabled(true);
    w.repaint();
    QCOMPARE(p->paintedStates.back(), CtrlStateNormal);
    sendEnter(&w);
    QCOMPARE(p->getState(), CtrlStateHot);
    sendLeave(&w);
    QCOMPARE(p->getState(), CtrlStateNormal);

    // The painter draws over the whole owner with the state's style.
    p->background[0].fillRes.fillColor = Qt::red;
    p->background[3].fillRes.fillColor = Qt::blue;
    QImage img(w.size(), QImage::Format_ARGB32);
    w.render(&img);
    QCOMPARE(img.pixelColor(20, 15), QColor(Qt::red));
    w.setEnabled(false);
    w.render(&img);
    QCOMPARE(img.pixelColor(20, 15), QColor(Qt::blue));
}

// ---- themes -------------------------------------------------------------------------------------------------------

namespace {
const char* kThemeStyle = R"({"style":[
  {"type":1,"name":"red","clr":"ff800000"},
  {"type":1,"name":"themeBg","clr":"ff00ff00"},
  {"type":2,"name":"big","size":30}]})";
const char* kTheme = R"({"elements":[{"child":[
  {"name":"qttestwidget","x":50,"w":60,"visibility":false,"attr":{"text":"themed","themeOnly":1},
   "style":[["themeBg",1,0],["big",2,4]]},
  {"name":"alt","attr":{"text":"alt"},"style":[["red",1,0]]},
  {"name":"chain","attr":{},"theme":"alt"}]}]})";
} // namespace

void TestWidgetBase::themeAppliedOnConstruction()
{
    QVERIFY(tevtest::writeFile(m_themeDir.filePath(QStringLiteral("style.json")), kThemeStyle));
    QVERIFY(tevtest::writeFile(m_themeDir.filePath(QStringLiteral("theme.json")), kTheme));
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    QVERIFY(rm->loadThemeDir(m_themeDir.path()));
    QVERIFY(!rm->isLoadFromThemeRes());

    TestWidget w;
    TestWidgetImpl* p = w.painter();
    QCOMPARE(p->text, QStringLiteral("themed"));
    // Styles resolved in the theme store while the element was applied.
    QCOMPARE(p->background[3].fillRes.fillColor, QColor(0, 255, 0));
    QCOMPARE(p->textStyle.pixelSize, 30);
    QVERIFY(p->attr("themeOnly"));
    QVERIFY(!rm->isLoadFromThemeRes());
}

void TestWidgetBase::themeElementDoesNotTouchCommonKeys()
{
    QWidget parent;
    auto* w = new TestWidget(&parent);
    QVERIFY(readElement(*w, R"({"name":"page","x":1,"w":2,"h":3})"));
    w->getControlImpl()->applyTheme();
    QCOMPARE(w->objectName(), QStringLiteral("page"));
    QCOMPARE(w->getControlBase()->layout.x, 1);
    QCOMPARE(w->getControlBase()->layout.w, 2);
    QCOMPARE(w->property("visibility").toBool(), true);
}

void TestWidgetBase::themeKeyNeedsAttr()
{
    TestWidget w;
    w.painter()->text.clear();
    QVERIFY(readElement(w, R"({"theme":"alt"})"));
    QVERIFY(w.painter()->text.isEmpty());
    QVERIFY(readElement(w, R"({"attr":{},"theme":"alt"})"));
    QCOMPARE(w.painter()->text, QStringLiteral("alt"));
    // The style was looked up in the theme store, where "red" is dark red.
    QCOMPARE(w.painter()->background[0].fillRes.fillColor, QColor(0x80, 0, 0));
    // An unknown theme name leaves the element as it is.
    QVERIFY(readElement(w, R"({"attr":{"text":"own"},"theme":"nosuch","style":[["red",1,0]]})"));
    QCOMPARE(w.painter()->text, QStringLiteral("own"));
    QCOMPARE(w.painter()->background[0].fillRes.fillColor, QColor(Qt::red));
    // A theme element pointing at another one through "theme".
    w.painter()->text.clear();
    w.getControlImpl()->setThemeNameValue(QStringLiteral("chain"));
    w.getControlImpl()->applyTheme();
    QCOMPARE(w.painter()->text, QStringLiteral("alt"));
}

void TestWidgetBase::themeKeySwitchRestored()
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    TestWidget w;
    QVERIFY(readElement(w, R"({"attr":{},"theme":"alt"})"));
    QVERIFY(!rm->isLoadFromThemeRes());
    // So the next element's common keys are read again.
    QVERIFY(readElement(w, R"({"name":"after"})"));
    QCOMPARE(w.objectName(), QStringLiteral("after"));
    QVERIFY(w.setProperty("jsonData", QStringLiteral(R"({"attr":{},"theme":"alt","name":"n"})")));
    QVERIFY(!rm->isLoadFromThemeRes());
}

void TestWidgetBase::themeGuardRestoresPreviousSwitch()
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    {
        TEVThemeResGuard on(true);
        QVERIFY(rm->isLoadFromThemeRes());
        {
            TEVThemeResGuard off(false);
            QVERIFY(!rm->isLoadFromThemeRes());
        }
        QVERIFY(rm->isLoadFromThemeRes());
        // Applying a theme while the switch is already on leaves it on.
        TestWidget w;
        QCOMPARE(w.painter()->text, QStringLiteral("themed"));
        QVERIFY(rm->isLoadFromThemeRes());
    }
    QVERIFY(!rm->isLoadFromThemeRes());
}

void TestWidgetBase::setThemeNameRestyles()
{
    TestWidget w;
    w.setThemeName(QStringLiteral("alt"));
    QCOMPARE(w.getThemeName(), QStringLiteral("alt"));
    QCOMPARE(w.painter()->text, QStringLiteral("alt"));
    QCOMPARE(w.painter()->background[0].fillRes.fillColor, QColor(0x80, 0, 0));
    w.setThemeName(QStringLiteral("nosuch")); // no element: the look stays
    QCOMPARE(w.getThemeName(), QStringLiteral("nosuch"));
    QCOMPARE(w.painter()->text, QStringLiteral("alt"));
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    QCOMPARE(json::getString(out, "theme"), std::string("nosuch"));
}

void TestWidgetBase::designerModesBlockThemes()
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    tevSetIsInDesigner(true);
    {
        TestWidget w;
        QVERIFY(w.painter()->text.isEmpty()); // the constructor's theme is not applied
    }
    tevSetIsInDesigner(false);

    rm->setIsDesigner(true);
    TestWidget w;
    w.painter()->text.clear();
    w.setThemeName(QStringLiteral("alt"));
    QCOMPARE(w.getThemeName(), QStringLiteral("qttestwidget"));
    QVERIFY(readElement(w, R"({"attr":{},"theme":"alt"})"));
    QVERIFY(w.painter()->text.isEmpty());
    rm->setIsDesigner(false);
}

TEV_TEST_MAIN(TestWidgetBase)
#include "tst_widgetbase.moc"
