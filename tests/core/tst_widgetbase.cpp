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

#include <array>

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

// What the whole widget writes under key.
QByteArray written(TestWidget& w, const char* key)
{
    Json::Value out(Json::objectValue);
    w.serializeJsonValue(&out, false);
    return toText(json::get(out, key));
}

bool readElement(TestWidget& w, const char* text)
{
    Json::Value v = parseJson(text);
    return w.readJsonValue(&v);
}

FillStyle fillNamed(const char* name, QColor colour)
{
    FillStyle f;
    f.name = QString::fromUtf8(name);
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

void sendEvent(QWidget* w, QEvent::Type type)
{
    QEvent e(type);
    QApplication::sendEvent(w, &e);
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

namespace {
QStringList backgroundNames(TestWidget& w)
{
    QStringList names;
    for (const FillStyle& f : w.painter()->background)
        names << f.name;
    return names;
}
} // namespace

class TestWidgetBase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_themeDir.isValid());
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        // Styles of the default store for the "style" entries.
        for (FillStyle f : {fillNamed("red", Qt::red), fillNamed("green", Qt::green), fillNamed("blue", Qt::blue)})
            rm->setFillStyle(f.name, f);
        for (TextStyleDesc t : {textNamed("big", 20), textNamed("small", 8)})
            rm->setTextStyle(t.name, t);
    }

    void cleanup()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        rm->setSwitchToThemeRes(false);
        rm->setIsDesigner(false);
        tevSetIsInDesigner(false);
        tevEnableSerializeChild(true);
    }

    // Interface and shared members
    void interfaceAndSubclass()
    {
        auto* w = new TestWidget;
        QVERIFY(w->setProperty("jsonData", QStringLiteral("{\"name\":\"viaProperty\"}")));
        QCOMPARE(w->objectName(), QStringLiteral("viaProperty"));
        // The painter has no parent and lives exactly as long as its widget.
        QPointer<QObject> painter = w->getControlImpl();
        QVERIFY(painter && painter->parent() == nullptr);
        delete w;
        QVERIFY(painter.isNull());

        // A framework widget derived from another: its own type and theme name, one shared layout record.
        TestSubWidget sub;
        ITEVQWidgetBase* i = qobject_cast<ITEVQWidgetBase*>(static_cast<QObject*>(&sub));
        QVERIFY(i && i->getControlImpl() == sub.property("impl").value<void*>());
        i->setLayoutRatio(3);
        QCOMPARE(static_cast<TestWidget&>(sub).getLayoutRatio(), 3);
        Json::Value out(Json::objectValue);
        QVERIFY(sub.serializeJsonValue(&out, false));
        QCOMPARE(json::getString(out, "type") + json::getString(out, "theme"), std::string("qttestsubqttestsub"));
    }

    void themeNameIgnoredWithoutTheme()
    {
        // Runs before any theme has been loaded.
        QVERIFY(TEVQResourceManager::getInstance()->themeStore() == nullptr);
        TestWidget w;
        w.setThemeName(QStringLiteral("other"));
        QCOMPARE(w.getThemeName(), QStringLiteral("qttestwidget"));

        // A record whose owner carries no painter object.
        QWidget plain;
        TEVQWidgetBase record(&plain);
        record.setThemeName(QStringLiteral("x"));
        record.refreshTheme();
        QCOMPARE(record.getThemeName(), QString());
    }

    void innerVisibleNeverShows()
    {
        TestWidget w;
        w.show();
        w.setInnerVisible(true);
        QVERIFY(w.getInnerVisible() && !w.isVisible()); // hidden whatever the value
        w.setInnerVisible(false);
        QCOMPARE(json::getBool(writeCommon(&w), "visibility", true), false);
    }

    void bookkeepingPropertiesByName()
    {
        // "impl" and "visibility" are found by name as before, though the widget keeps them in its record: no
        // dynamic property is set on a framework widget, while any other owner of a painter carries "impl".
        TestWidget w;
        QCOMPARE(w.property("impl").value<void*>(), static_cast<void*>(w.getControlImpl()));
        QVERIFY(!w.setProperty("impl", QVariant::fromValue<void*>(nullptr))); // read only
        QVERIFY(!w.property("visibility").isValid());
        QVERIFY(json::has(writeCommon(&w), "visibility")); // never set: written as false
        QVERIFY(readElement(w, R"({"name": "n"})"));
        QCOMPARE(w.property("visibility"), QVariant(true));
        QVERIFY(!json::has(writeCommon(&w), "visibility"));
        w.setProperty("visibility", false); // a caller's value is the one written
        QVERIFY(!w.getInnerVisible());
        QCOMPARE(json::getBool(writeCommon(&w), "visibility", true), false);
        w.setInnerVisible(true);
        QCOMPARE(w.property("visibility"), QVariant(true));
        QVERIFY(w.dynamicPropertyNames().isEmpty());

        QWidget plain;
        TestWidgetImpl painter(&plain);
        QCOMPARE(plain.property("impl").value<void*>(), static_cast<void*>(&painter));
        // A record whose owner declares nothing reads and writes the owner's dynamic properties.
        TEVQWidgetBase record(&plain);
        record.setVisibilityProperty(true);
        QCOMPARE(plain.property("visibility"), QVariant(true));
        QCOMPARE(record.painter(), static_cast<TEVQWidgetBaseImpl*>(&painter));
    }

    // Layout record
    void layoutSettersClamp()
    {
        TestWidget w;
        ITEVQWidgetBase* i = &w;
        QCOMPARE(i->getLayoutRatio(), 1); // not a ratio layout
        i->setLayoutRatio(-3);
        QCOMPARE(i->getLayoutType(), LayoutTypeRatio);
        QCOMPARE(w.getControlBase()->layout.x, 1);
        void* data = nullptr;
        w.getControlBase()->layoutType = LayoutTypeUnset;
        i->getLayoutData(data);
        QVERIFY(data == nullptr);

        i->setAbsoluteDock(DockLayoutType(7), DockLayoutType(-1), -5, 9);
        DockLayoutType h, v;
        int x = 0, y = 0;
        i->getAbsoluteDock(h, v, x, y);
        QCOMPARE((QList<int>{h, v, x, y}), (QList<int>{2, 0, -5, 9}));
        QVERIFY(i->getAbsoluteLayout());

        i->setGeometry(3, 4, 50, 60);
        QVERIFY(w.geometry() == QRect(3, 4, 50, 60) && i->getLayoutType() == LayoutTypeAbsolute);
        w.setGeometry(QRect(1, 2, 30, 40)); // the widget's own setGeometry records the rectangle too
        i->getLayoutData(data);
        const TEVLayoutRect r = *static_cast<TEVLayoutRect*>(data);
        QCOMPARE(QRect(r.x, r.y, r.w, r.h), QRect(1, 2, 30, 40));
    }

    void layoutRatioAsksContainer()
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

    void freshWidgetWrites()
    {
        TestWidget w;
        QCOMPARE(toText(writeCommon(&w)), QByteArray(R"({"h":0,"name":"","type":"qttestwidget","visibility":false,"w":0})"));
        // The whole widget adds the painter's keys: its theme name starts as its type name.
        QCOMPARE(written(w, "theme"), QByteArray("\"qttestwidget\""));
        QCOMPARE(written(w, "attr"), QByteArray("null"));
        // A painter with no theme name and an empty store writes neither key.
        w.getControlImpl()->setThemeNameValue(QString());
        Json::Value bare(Json::objectValue);
        w.serializeJsonValue(&bare, false);
        QVERIFY(!json::has(bare, "theme") && !json::has(bare, "attr"));
    }

    // Element in; the common keys written back. Reading leaves "visibility" set (true unless the element says
    // otherwise), so it is not written.
    void commonKeys_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QByteArray>("written");
        const auto row = [](const char* name, const char* element, const char* written) {
            QTest::newRow(name) << QByteArray(element) << QByteArray(written);
        };
        row("layout {}", R"({"layout":{}})", R"({"layout":{"ratio":1,"type":0},"name":"","type":"qttestwidget"})");
        row("ratio 0 kept", R"({"layout":{"type":0,"ratio":0}})",
            R"({"layout":{"ratio":0,"type":0},"name":"","type":"qttestwidget"})");
        row("layout type 1", R"({"layout":{"type":1},"x":5,"w":20,"h":7})",
            R"({"h":7,"name":"","type":"qttestwidget","w":20,"x":5})");
        row("dock clamped", R"({"absoluteDockHor":7,"absoluteDockVer":-1})",
            R"({"absoluteDockHor":2,"absoluteLayout":true,"h":0,"name":"","type":"qttestwidget","w":0})");
        row("absoluteLayout overrides", R"({"absoluteDockHor":1,"absoluteLayout":false})",
            R"({"h":0,"name":"","type":"qttestwidget","w":0})");
        row("policy zero", R"({"widthPolicy":0,"heightPolicy":-7})",
            R"({"h":0,"name":"","type":"qttestwidget","w":0,"widthPolicy":0})");
        row("hidden disabled", R"({"visibility":false,"enable":false})",
            R"({"enable":false,"h":0,"name":"","type":"qttestwidget","visibility":false,"w":0})");
        row("min max", R"({"minWidth":-3,"minHeight":5,"maxWidth":0,"maxHeight":90})",
            R"({"h":0,"maxHeight":90,"maxWidth":0,"minHeight":5,"name":"","type":"qttestwidget","w":0})");
        row("sizes beyond Qt's range", R"({"minWidth":1111111111,"minHeight":16777215,"maxWidth":2e9})",
            R"({"h":0,"name":"","type":"qttestwidget","w":0})");
    }

    void commonKeys()
    {
        QFETCH(QByteArray, element);
        QFETCH(QByteArray, written);
        QWidget parent;
        auto* w = new TestWidget(&parent);
        QVERIFY(readElement(*w, element.constData()));
        QCOMPARE(toText(writeCommon(w)), written);
    }

    void geometryApplied()
    {
        QWidget parent;
        auto* w = new TestWidget(&parent);
        w->QWidget::setGeometry(0, 0, 33, 44);
        // An explicit rectangle layout is applied at once; missing w and h take the current size.
        QVERIFY(readElement(*w, R"({"layout":{"type":1},"x":4,"y":6})"));
        QCOMPARE(w->geometry(), QRect(4, 6, 33, 44));
        // An unusable type is as unknown as 5: absolute, rectangle unchanged.
        QVERIFY(readElement(*w, R"({"layout":{"type":-1},"x":99})"));
        QVERIFY(w->getLayoutType() == LayoutTypeAbsolute && w->getControlBase()->layout.x == 4);
        // Without a layout key the rectangle waits for resizeWidget.
        QVERIFY(readElement(*w, R"({"x":10,"w":20,"h":30})"));
        QCOMPARE(w->geometry(), QRect(4, 6, 33, 44));
        w->resizeWidget();
        QCOMPARE(w->geometry(), QRect(10, 0, 20, 30));

        // Without a parent nothing happens.
        TestWidget orphan;
        orphan.getControlBase()->layout = TEVLayoutRect{7, 7, 7, 7};
        const QRect before = orphan.geometry();
        orphan.resizeWidget();
        QCOMPARE(orphan.geometry(), before);
    }

    void rootContainerFillsWindow()
    {
        QWidget window;
        window.resize(300, 200);
        for (LayoutType t : {LayoutTypeUnset, LayoutTypeAbsolute}) {
            auto* root = new stub::TEVQContainerWidget(&window);
            root->getControlBase()->layoutType = t;
            root->getControlBase()->layout = TEVLayoutRect{5, 5, 10, 10};
            root->resizeWidget();
            QVERIFY(root->geometry() == QRect(0, 0, 300, 200) && root->getLayoutType() == LayoutTypeAbsolute);
        }
        // A ratio child is left to its container; a container inside a plain child widget keeps its rectangle.
        auto* ratio = new stub::TEVQContainerWidget(&window);
        ratio->setLayoutRatio(2);
        ratio->QWidget::setGeometry(1, 2, 3, 4);
        ratio->resizeWidget();
        QCOMPARE(ratio->geometry(), QRect(1, 2, 3, 4));
        auto* nested = new stub::TEVQContainerWidget(new QWidget(&window));
        nested->getControlBase()->layout = TEVLayoutRect{5, 6, 7, 8};
        nested->resizeWidget();
        QCOMPARE(nested->geometry(), QRect(5, 6, 7, 8));
    }

    void saveLayoutInDesigner()
    {
        QWidget parent;
        auto* w = new TestWidget(&parent);
        w->getControlBase()->layout = TEVLayoutRect{1, 1, 1, 1};
        w->QWidget::setGeometry(0, 8, 40, 50);
        tevSetIsInDesigner(true);
        // The widget's geometry is saved, not the record; an unset type is saved as a rectangle and becomes one.
        w->getControlBase()->layoutType = LayoutTypeUnset;
        QCOMPARE(toText(writeCommon(w)), QByteArray(R"({"h":50,"name":"","type":"qttestwidget","visibility":false,"w":40,"y":8})"));
        QCOMPARE(w->getLayoutType(), LayoutTypeAbsolute);
    }

    void menuKeepsItsOwnJson()
    {
        stub::TEVQMenu menu;
        menu.setObjectName(QStringLiteral("m"));
        Json::Value el = parseJson(R"({"name":"other","x":3})");
        menu.getControlBase()->serializeJsonValue(&el, true);
        QCOMPARE(menu.objectName(), QStringLiteral("m"));
        QVERIFY(writeCommon(&menu).empty());
    }

    void setJsonDataAppliesOnce()
    {
        TestWidget w;
        TestWidgetImpl* p = w.painter();
        const int before = p->reads;
        const QString first = QStringLiteral(R"({"name":"a","attr":{"text":"one"}})");
        w.setJsonData(first);
        w.setJsonData(first);
        QVERIFY(p->reads == before + 1 && p->text == QStringLiteral("one"));
        w.setJsonData(QStringLiteral(R"({"name":"b"})"));
        QCOMPARE(w.objectName(), QStringLiteral("a"));
        QCOMPARE(w.jsonData(), QStringLiteral(R"({"name":"b"})"));

        // A text that does not parse is stored, not applied.
        TestWidget bad;
        bad.setJsonData(QStringLiteral("{\"name\":"));
        QVERIFY(bad.painter()->reads == 0 && bad.jsonData() == QStringLiteral("{\"name\":"));
    }

    // Painter base
    void attrKindsAndShapes()
    {
        TestWidget w;
        QVERIFY(readElement(w, R"({"attr":{"a":1,"b":3000000000,"c":1.5,"d":["x","y"],"f":true,"g":"s","h":2.0,"i":-7,
            "big":1e20,"o":{},"n":null,"e":[],"mixed":[1,"x"],"m":["x",{},null,2,true,["y"]]}})"));
        const TEVQWidgetBaseImpl* p = w.getControlImpl();
        // An integral real fits an int; a larger one is a double.
        QCOMPARE((QList<int>{p->attr("h")->kind(), p->attr("b")->kind(), p->attr("big")->kind()}),
                 (QList<int>{TEVAttrValue::Int32, TEVAttrValue::UInt32, TEVAttrValue::Double}));
        QCOMPARE(*p->attr("b")->get<std::uint32_t>(), 3000000000u);
        // Shapes without a kind are not stored; a string list takes the texts of its items only.
        for (const char* none : {"o", "n", "e", "mixed"})
            QVERIFY2(!p->attr(none), none);
        QCOMPARE(*p->attr("m")->get<std::vector<std::string>>(), (std::vector<std::string>{"x", "", "", "2", "true", ""}));
        QCOMPARE(written(w, "attr"),
                 QByteArray(R"({"a":1,"b":3000000000,"big":1e+20,"c":1.5,"d":["x","y"],"f":true,"g":"s","h":2,"i":-7,)"
                            R"("m":["x","","","2","true",""]})"));

        // A later read replaces values under the same key and keeps the rest.
        QVERIFY(readElement(w, R"({"attr":{"a":"now text"}})"));
        QCOMPARE(p->attr("a")->kind(), TEVAttrValue::String);
        QVERIFY(p->attr("c"));
    }

    void attrWriteAllKinds()
    {
        TestWidget w;
        TEVQWidgetBaseImpl* p = w.getControlImpl();
        using P = TEVAttrValue::Payload;
        const P payloads[] = {P(false), P(std::string("\xC3\xA9")), P(std::int8_t(-8)), P(std::uint8_t(200)),
                              P(std::int16_t(-300)), P(std::uint16_t(60000)), P(std::uint32_t(4000000000u)),
                              P(std::int32_t(-2)), P(std::uint64_t(18000000000000000000ull)),
                              P(std::int64_t(-9000000000000000000ll)), P(0.5f), P(0.25),
                              P(std::vector<std::string>{"a", "b", "c"})};
        for (int k = 0; k <= 12; ++k) {
            const std::string key = QStringLiteral("k%1").arg(k, 2, 10, QLatin1Char('0')).toStdString();
            p->setAttr(key, TEVAttrValue(payloads[k]));
            QCOMPARE(int(p->attr(key)->kind()), k);
        }
        QCOMPARE(written(w, "attr"),
                 QByteArray("{\"k00\":false,\"k01\":\"\\u00e9\",\"k02\":-8,\"k03\":200,\"k04\":-300,\"k05\":60000,"
                            "\"k06\":4000000000,\"k07\":-2,\"k08\":18000000000000000000,\"k09\":-9000000000000000000,"
                            "\"k10\":0.5,\"k11\":0.25,\"k12\":[\"a\",\"b\",\"c\"]}"));
    }

    void childSerialisation()
    {
        TestWidget container;
        auto* a = new TestWidget(&container);
        a->setObjectName(QStringLiteral("a"));
        new QWidget(&container);
        (new TestWidget(&container))->setObjectName(QStringLiteral("b"));
        new TestWidget(a); // a grandchild is written by its own parent

        Json::Value out(Json::objectValue);
        container.serializeJsonValue(&out, false);
        const Json::Value& child = json::get(out, "child");
        QCOMPARE(int(json::size(child)), 2);
        QCOMPARE(json::getString(json::at(child, 0), "name"), std::string("a"));
        QCOMPARE(json::getString(json::at(child, 1), "name"), std::string("b"));
        QCOMPARE(int(json::size(json::get(json::at(child, 0), "child"))), 1);

        tevEnableSerializeChild(false);
        QCOMPARE(written(container, "child"), QByteArray("null"));
        tevEnableSerializeChild(true);
        TestWidget lonely;
        QCOMPARE(written(lonely, "child"), QByteArray("null"));
    }

    void helpers()
    {
        QVERIFY(TEVQWidgetBaseImpl::isSvgPath(QStringLiteral("  a/B.SvG ")));
        QVERIFY(!TEVQWidgetBaseImpl::isSvgPath(QStringLiteral("a.svgz")) && !TEVQWidgetBaseImpl::isSvgPath(QString()));
        // Opaque whatever the top byte holds; black for what is not hex.
        QCOMPARE(TEVQWidgetBaseImpl::stringToColor("00123456"), QColor(0x12, 0x34, 0x56, 255));
        QCOMPARE(TEVQWidgetBaseImpl::stringToColor("zz"), QColor(0, 0, 0));
        // Kinds are found by class name, with or without the namespace.
        QObject a;
        stub::TEVQContainerWidget c;
        QVERIFY(tevIsKindOf(&c, "TEVQContainer") && tevIsKindOf(&c, "TEVQtLib::TEVQContainer") && tevIsKindOf(&c, "QWidget"));
        QVERIFY(!tevIsKindOf(&a, "TEVQContainer") && !tevIsKindOf(&c, "TEVQWindow") && !tevIsKindOf(nullptr, "QObject"));
    }

    // Style entries
    void styleGroupRead()
    {
        TestWidget w;
        QVERIFY(readElement(w, R"({"style":[["red",1,0]]})"));
        QCOMPARE(backgroundNames(w), QStringList({"red", "red", "red", "red"}));
        QVERIFY(readElement(w, R"({"style":[["red",1,0],["blue",1,2],["big",2,4]]})"));
        QCOMPARE(backgroundNames(w), QStringList({"red", "red", "blue", "red"}));
        QCOMPARE(w.painter()->background[2].fillRes.fillColor, QColor(Qt::blue));
        QCOMPARE(w.painter()->textStyle.pixelSize, 20);
        // A later entry for the same slot wins; a later first-slot entry resets the group.
        QVERIFY(readElement(w, R"({"style":[["green",1,3],["blue",1,3],["green",1,0]]})"));
        QCOMPARE(backgroundNames(w), QStringList({"green", "green", "green", "green"}));
    }

    void styleEntriesSkipped()
    {
        TestWidget w;
        QVERIFY(readElement(w, R"({"style":[["red",1,0],["big",2,4]]})"));
        // Unknown names, slots outside the table, slots that hold the other kind, malformed entries.
        QVERIFY(readElement(w, R"({"style":[["nosuch",1,0],["red",1,9],["red",1,-1],["big",2,1],["red",1,4],
            ["blue"],["blue",1],[2,1,0],["blue",1,"1"],"blue",{"name":"blue"},null,["blue",1,1e40]]})"));
        QVERIFY(readElement(w, R"({"style":{"0":["blue",1,0]}})"));
        QCOMPARE(backgroundNames(w), QStringList({"red", "red", "red", "red"}));
        QCOMPARE(w.painter()->textStyle.name, QStringLiteral("big"));
    }

    void styleGroupWrite()
    {
        FillStyle red = fillNamed("red", Qt::red), blue = fillNamed("blue", Qt::blue), unnamed, changed = red;
        changed.fillRes.radius = 4; // same name, different content: fill styles compare by content
        auto written = [](std::array<FillStyle, 4> states, TextStyleDesc* text) {
            TEVStyleEntries e;
            e.fillGroup(0, states.data());
            if (text)
                e.text(4, *text);
            Json::Value out(Json::objectValue);
            e.write(out);
            return toText(json::get(out, "style"));
        };
        TextStyleDesc big = textNamed("big", 20), noName;
        QCOMPARE(written({red, red, red, red}, &big), QByteArray(R"([["red",1,0],["big",2,4]])"));
        QCOMPARE(written({red, red, blue, red}, nullptr), QByteArray(R"([["red",1,0],["red",1,1],["blue",1,2],["red",1,3]])"));
        // Differing only where a name is missing: one entry for the first slot.
        QCOMPARE(written({red, unnamed, unnamed, unnamed}, nullptr), QByteArray(R"([["red",1,0]])"));
        // A differing pair with names: every named state is written.
        QCOMPARE(written({red, unnamed, red, blue}, nullptr), QByteArray(R"([["red",1,0],["red",1,2],["blue",1,3]])"));
        QCOMPARE(written({red, changed, red, red}, nullptr), QByteArray(R"([["red",1,0],["red",1,1],["red",1,2],["red",1,3]])"));
        QCOMPARE(written({unnamed, unnamed, unnamed, unnamed}, &noName), QByteArray("null"));

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

    // A group whose first entry spreads to three states, sharing its first slot with a single field read from
    // the first entry only, and a read-only binding of two states: what reading fills and reports, what is written.
    void styleEntriesSpreadAndSharedSlots()
    {
        FillStyle single, states[4], seeded[2];
        TEVStyleEntries e;
        e.fill(0, single);
        e.firstEntryOnly();
        e.fillGroup(0, states, TEVStyleEntries::GroupRule::NamedNeighboursDiffer, 3);
        e.alsoFill(5, seeded, 2);
        Json::Value in;
        QVERIFY(json::parse(QByteArray(R"({"style":[["nosuch",1,0],["red",1,0],["blue",1,0],["nosuch",1,1],)"
                                       R"(["green",1,5],["red",1,70]]})"), in));
        quint64 applied = 0;
        e.read(in, &applied);
        QCOMPARE(applied, quint64(1) | quint64(1) << 5);
        QCOMPARE(single.name, QStringLiteral("red")); // the later slot-0 entry styles the group alone
        QCOMPARE(QStringList({states[0].name, states[1].name, states[2].name, states[3].name}),
                 QStringList({"blue", "blue", "blue", ""}));
        QCOMPARE(QStringList({seeded[0].name, seeded[1].name}), QStringList({"green", "green"}));

        auto written = [&e]() {
            Json::Value out(Json::objectValue);
            e.write(out);
            return toText(json::get(out, "style"));
        };
        QCOMPARE(written(), QByteArray(R"([["red",1,0],["blue",1,0]])"));
        // A named state the first entry does not spread to is written at its own slot.
        states[3] = states[0];
        QCOMPARE(written(), QByteArray(R"([["red",1,0],["blue",1,0],["blue",1,1],["blue",1,2],["blue",1,3]])"));
        // The group's first entry would repeat the single field's: the one entry serves both.
        single = states[0];
        QCOMPARE(written(), QByteArray(R"([["blue",1,0],["blue",1,1],["blue",1,2],["blue",1,3]])"));
    }

    void styleRoundTrip()
    {
        TestWidget w;
        QVERIFY(readElement(w, R"({"style":[["red",1,0],["green",1,1],["blue",1,3],["small",2,4]]})"));
        Json::Value out(Json::objectValue);
        w.serializeJsonValue(&out, false);
        QCOMPARE(toText(json::get(out, "style")),
                 QByteArray(R"([["red",1,0],["green",1,1],["red",1,2],["blue",1,3],["small",2,4]])"));

        // A name beyond ASCII comes back as the same bytes.
        FillStyle accented = fillNamed("gr\xC3\xBCn", Qt::yellow);
        TEVQResourceManager::getInstance()->setFillStyle(accented.name, accented);
        TestWidget third;
        QVERIFY(readElement(third, "{\"style\":[[\"gr\xC3\xBCn\",1,0]]}"));
        QCOMPARE(third.painter()->background[2].fillRes.fillColor, QColor(Qt::yellow));
        QCOMPARE(written(third, "style"), QByteArray("[[\"gr\\u00fcn\",1,0]]"));
    }

    // State machine
    void stateMachine()
    {
        TestWidget w;
        w.resize(40, 30);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        TestWidgetImpl* p = w.painter();
        sendEvent(&w, QEvent::Enter);
        QCOMPARE(p->paintedStates.back(), CtrlStateHot); // repainted at once
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p->paintedStates.back(), CtrlStatePressed);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(p->getState(), CtrlStateHot); // released inside
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(5, 5));
        sendEvent(&w, QEvent::Leave);
        QVERIFY(!p->isHovered());
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(p->paintedStates.back(), CtrlStateNormal); // released outside

        // Disabled: hovering is recorded, but the immediate repaint forces the disabled state.
        w.setEnabled(false);
        sendEvent(&w, QEvent::Enter);
        QVERIFY(p->isHovered());
        QCOMPARE(p->paintedStates.back(), CtrlStateDisable);
        sendEvent(&w, QEvent::Leave);
        QCOMPARE(p->getState(), CtrlStateDisable);
        w.setEnabled(true);
        w.repaint();
        QCOMPARE(p->paintedStates.back(), CtrlStateNormal);

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

    // Themes (a theme directory is loaded from here on)
    void themeAppliedOnConstruction()
    {
        QVERIFY(tevtest::writeFile(m_themeDir.filePath(QStringLiteral("style.json")), R"({"style":[
          {"type":1,"name":"red","clr":"ff800000"}, {"type":1,"name":"themeBg","clr":"ff00ff00"},
          {"type":2,"name":"big","size":30}]})"));
        QVERIFY(tevtest::writeFile(m_themeDir.filePath(QStringLiteral("theme.json")), R"({"elements":[{"child":[
          {"name":"qttestwidget","x":50,"w":60,"visibility":false,"attr":{"text":"themed","themeOnly":1},
           "style":[["themeBg",1,0],["big",2,4]]},
          {"name":"alt","attr":{"text":"alt"},"style":[["red",1,0]]},
          {"name":"chain","attr":{},"theme":"alt"}]}]})"));
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QVERIFY(rm->loadThemeDir(m_themeDir.path()));
        QVERIFY(!rm->isLoadFromThemeRes());

        TestWidget w;
        TestWidgetImpl* p = w.painter();
        QCOMPARE(p->text, QStringLiteral("themed"));
        // Styles resolved in the theme store while the element was applied.
        QCOMPARE(p->background[3].fillRes.fillColor, QColor(0, 255, 0));
        QCOMPARE(p->textStyle.pixelSize, 30);
        QVERIFY(p->attr("themeOnly") && !rm->isLoadFromThemeRes());

        // A theme element never touches the common keys.
        QWidget parent;
        auto* page = new TestWidget(&parent);
        QVERIFY(readElement(*page, R"({"name":"page","x":1,"w":2,"h":3})"));
        page->getControlImpl()->applyTheme();
        QCOMPARE(page->objectName(), QStringLiteral("page"));
        QCOMPARE((QList<int>{page->getControlBase()->layout.x, page->getControlBase()->layout.w}), (QList<int>{1, 2}));
        QVERIFY(page->property("visibility").toBool());
    }

    void themeKeyRules()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        TestWidget w;
        w.painter()->text.clear();
        QVERIFY(readElement(w, R"({"theme":"alt"})") && w.painter()->text.isEmpty()); // "theme" needs "attr"
        QVERIFY(readElement(w, R"({"attr":{},"theme":"alt"})"));
        QCOMPARE(w.painter()->text, QStringLiteral("alt"));
        // The style was looked up in the theme store, where "red" is dark red.
        QCOMPARE(w.painter()->background[0].fillRes.fillColor, QColor(0x80, 0, 0));
        // The switch is off again, so the next element's common keys are read.
        QVERIFY(!rm->isLoadFromThemeRes() && readElement(w, R"({"name":"after"})"));
        QCOMPARE(w.objectName(), QStringLiteral("after"));
        QVERIFY(w.setProperty("jsonData", QStringLiteral(R"({"attr":{},"theme":"alt","name":"n"})")) && !rm->isLoadFromThemeRes());
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

    void themeGuardRestoresPreviousSwitch()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        {
            TEVThemeResGuard on(true);
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

    void setThemeNameRestyles()
    {
        TestWidget w;
        w.setThemeName(QStringLiteral("alt"));
        QCOMPARE(w.painter()->text, QStringLiteral("alt"));
        QCOMPARE(w.painter()->background[0].fillRes.fillColor, QColor(0x80, 0, 0));
        w.setThemeName(QStringLiteral("nosuch")); // no element: the look stays
        QCOMPARE(w.painter()->text, QStringLiteral("alt"));
        QCOMPARE(written(w, "theme"), QByteArray("\"nosuch\""));
    }

    void pageThemeKeyStaysTheWidgetsThemeName()
    {
        // A page element's "theme" names the element the widget is styled from: written back (with the "attr" it
        // is read with), and read again from the next theme, not from the type's element.
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QWidget window;
        auto* w = new TestWidget(&window);
        w->painter()->text.clear();
        QVERIFY(readElement(*w, R"({"attr":{},"theme":"alt"})"));
        QCOMPARE(w->getThemeName(), QStringLiteral("alt"));
        w->painter()->text.clear();
        Json::Value out(Json::objectValue);
        w->serializeJsonValue(&out, false);
        TestWidget again;
        QVERIFY(again.readJsonValue(&out) && again.getThemeName() == QStringLiteral("alt"));
        QCOMPARE(again.painter()->background[0].fillRes.fillColor, QColor(0x80, 0, 0));

        QTemporaryDir next;
        QVERIFY(tevtest::writeFile(next.filePath(QStringLiteral("style.json")),
                                   R"({"style":[{"type":1,"name":"red","clr":"ff0000ff"}]})"));
        QVERIFY(tevtest::writeFile(next.filePath(QStringLiteral("theme.json")), R"({"elements":[{"child":[
          {"name":"qttestwidget","attr":{"text":"type"}}, {"name":"alt","attr":{"text":"alt2"},"style":[["red",1,0]]}]}]})"));
        QVERIFY(rm->registerWindowWidget(&window));
        QVERIFY(rm->loadThemeDir(next.path()));
        rm->unregisterWindowWidget(&window);
        const QString text = w->painter()->text;
        const QColor colour = w->painter()->background[0].fillRes.fillColor;
        QVERIFY(rm->loadThemeDir(m_themeDir.path()));
        QCOMPARE(text, QStringLiteral("alt2"));
        QCOMPARE(colour, QColor(Qt::blue));
        // "theme" inside a theme element points at the element to read; the widget keeps its own name.
        w->setThemeName(QStringLiteral("chain"));
        QCOMPARE(w->getThemeName(), QStringLiteral("chain"));
    }

    void designerModesBlockThemes()
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
        QVERIFY(readElement(w, R"({"attr":{},"theme":"alt"})") && w.painter()->text.isEmpty());
    }

private:
    QTemporaryDir m_themeDir;
};

TEV_TEST_MAIN(TestWidgetBase)
#include "tst_widgetbase.moc"
