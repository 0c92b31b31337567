// The page loader: finding the document, the host window's root keys, element creation through the bound
// creator and the registry, post-order completion, the layout of the loaded tree (checked by geometry), themes
// and skin styles, the "qtscrollbar" rule, the result rules, malformed pages and the
// bad-page corpus, and a rendered sample page.
#include "TevTest.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQMenu.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQSlider.h"
#include "TEVQSubWin.h"
#include "TEVQWidgetMacros.h"
#include "TEVQWindow.h"
#include "TEVQtLib.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>

#include <memory>


using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

QString page(const QString& name) { return tevtest::dataPath(QStringLiteral("pages/") + name); }

QStringList g_completed; // createComplete calls of OrderWidget, in order

class OrderImpl : public TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit OrderImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, QStringLiteral("tstorder")) {}
    void createComplete() override
    {
        // The children exist when their parent completes.
        QStringList kids;
        for (QObject* c : owner->children())
            kids << c->objectName();
        g_completed << owner->objectName() + QLatin1Char('(') + kids.join(QLatin1Char(',')) + QLatin1Char(')');
    }
};

class OrderWidget : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(OrderWidget, QWidget, "tstorder")
public:
    explicit OrderWidget(QWidget* parent = nullptr) : QWidget(parent) { tevSetImpl(new OrderImpl(this)); }
};

// A widget whose reading asks for a task after the page's layout pass and, with an "open" key, builds another
// page into g_nestHost while the page holding it is being built. g_nestLog records the order of events.
QStringList g_nestLog;
QPointer<QWidget> g_nestHost;
QPointer<QWidget> g_outerHost;

class NestImpl : public TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit NestImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, QStringLiteral("tstnest")) {}
    bool serializeJsonValue(Json::Value*& json, bool load) override
    {
        if (!load || !json || rm()->isLoadFromThemeRes())
            return TEVQWidgetBaseImpl::serializeJsonValue(json, load);
        // The base reader moves json to a theme element the element names: the element's own keys are read here.
        Json::Value* own = json;
        const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
        json = own;
        const QString name = json::getQString(*json, "name");
        tevAfterPageLayout(owner, [name] { g_nestLog << QStringLiteral("task:") + name; });
        dropOnComplete = json::getBool(*json, "dropOnComplete", false);
        if (json::getBool(*json, "dropSelf", false)) {
            delete owner; // as a listener of something the read emits may do
            return result;
        }
        if (json::getBool(*json, "dropHost", false)) {
            delete g_outerHost.data(); // the window holding the page closed by a listener
            return result;
        }
        const QString replace = json::getQString(*json, "replace");
        if (!replace.isEmpty() && g_outerHost) {
            // Another page loaded into the same host in place of the one being built (this widget included).
            for (QWidget* w : g_outerHost->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                delete w;
            tevCreatePageByFileName(g_outerHost, replace);
            return result;
        }
        const QString open = json::getQString(*json, "open");
        if (!open.isEmpty() && g_nestHost) {
            g_nestLog << QStringLiteral("open:") + name;
            const bool themeSwitch = rm()->isLoadFromThemeRes();
            tevCreatePageByFileName(g_nestHost, open);
            QWidget* first = g_outerHost ? g_outerHost->findChild<QWidget*>(QStringLiteral("first")) : nullptr;
            g_nestLog << QStringLiteral("back:%1 first %2, theme switch %3")
                             .arg(name, first && first->isVisible() ? "shown" : "hidden",
                                  rm()->isLoadFromThemeRes() == themeSwitch ? "kept" : "lost");
        }
        return result;
    }
    void createComplete() override
    {
        if (dropOnComplete)
            delete owner;
    }
    bool dropOnComplete = false;
};

class NestWidget : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(NestWidget, QWidget, "tstnest")
public:
    explicit NestWidget(QWidget* parent = nullptr) : QWidget(parent) { tevSetImpl(new NestImpl(this)); }
};

// A label class of the test's own, handed out by bound creators and re-registrations.
class OtherLabel : public TEVQLabel
{
    Q_OBJECT
public:
    OtherLabel() = default;
    static QWidget* create() { return new OtherLabel; }
};

QStringList g_boundCalls;
QWidget* g_boundReturn = nullptr;

QWidget* boundLabelsOnly(const QString& name, const QString& type)
{
    g_boundCalls << name + QLatin1Char(':') + type;
    return type == QLatin1String("qtlabel") ? new OtherLabel : nullptr;
}

QWidget* boundReturnsFixed(const QString&, const QString&) { return g_boundReturn; }

// The object name of w, "<none>" for no widget.
QString nameOf(QWidget* w) { return w ? w->objectName() : QStringLiteral("<none>"); }

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

template <class T = QWidget>
T* child(QWidget* root, const char* name)
{
    return root ? root->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

} // namespace

class TestPageLoader : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

    QString writeTemp(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_tmp.filePath(name);
        tevtest::writeFile(path, bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        init();
        QVERIFY(tevSetSkinFilePath(page(QStringLiteral("skin")), 1.0f));
        QVERIFY(tevLoadThemeDir(page(QStringLiteral("theme")).toUtf8().constData()));
        tevRegisterDefaultControl("tstorder", &OrderWidget::createOrderWidget);
        tevRegisterDefaultControl("tstnest", &NestWidget::createNestWidget);
    }

    // ---- finding the document ----------------------------------------------------------------------------

    void suffixIsAppendedOnlyWhenMissing()
    {
        QWidget host;
        const QByteArray doc = R"({"elements":[{"type":"qtcontainer","name":"found"}]})";
        writeTemp("plain.json", doc);
        QCOMPARE(nameOf(tevCreatePageByFileName(&host, m_tmp.filePath("plain"))), QStringLiteral("found"));

        // ".json" anywhere in the name: used as it stands.
        writeTemp("backup.json.bak", doc);
        QVERIFY(tevCreatePageByFileName(&host, m_tmp.filePath("backup.json.bak")));

        // A file without the suffix is not read under its own name.
        writeTemp("nosuffix", doc);
        QVERIFY(!tevCreatePageByFileName(&host, m_tmp.filePath("nosuffix")));
    }

    void documentFromResourcesThenSkinDirectoryThenPath()
    {
        QWidget host;
        // Both the loaded theme and the skin directory have "samepage.json": the theme's resources win.
        QCOMPARE(nameOf(tevCreatePageByFileName(&host, QStringLiteral("samepage"))), QStringLiteral("fromTheme"));

        // Only in the skin directory, named in other letter case.
        TEVQContainer* c = tevCreatePageByFileName(&host, QStringLiteral("SkinPage"));
        QCOMPARE(nameOf(c), QStringLiteral("fromSkinDir"));
        QVERIFY(child(c, "inSkinPage"));

        // Relative to the working directory.
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_tmp.path()));
        writeTemp("relative.json", R"({"elements":[{"type":"qtcontainer","name":"rel"}]})");
        c = tevCreatePageByFileName(&host, QStringLiteral("relative"));
        QDir::setCurrent(cwd);
        QCOMPARE(nameOf(c), QStringLiteral("rel"));

        // A path of its own written with backslashes, its file named in other letter case.
        writeTemp("sub/Direct.json", R"({"elements":[{"type":"qtcontainer","name":"direct"}]})");
        const QString windowsPath = m_tmp.path() + QStringLiteral("\\sub\\DIRECT");
        QCOMPARE(nameOf(tevCreatePageByFileName(&host, windowsPath)), QStringLiteral("direct"));
        std::unique_ptr<TEVQMenu> menu(tevCreateMenuByFileName(&host, windowsPath));
        QVERIFY(menu);
    }

    void unreadableDocumentsGiveNull()
    {
        QWidget host;
        QVERIFY(!tevCreatePageByFileName(&host, m_tmp.filePath("missing")));
        QVERIFY(!tevCreatePageByFileName(&host, writeTemp("broken.json", R"({"elements":[{"type":)")));
        QVERIFY(QDir().mkpath(m_tmp.filePath("folder.json")));
        QVERIFY(!tevCreatePageByFileName(&host, m_tmp.filePath("folder.json")));
        QVERIFY(host.children().isEmpty());
        // The menu document is found and parsed like a page: a missing or broken one gives no menu, any object a
        // menu (a page has no menu items).
        QVERIFY(!tevCreateMenuByFileName(&host, m_tmp.filePath("missing")));
        QVERIFY(!tevCreateMenuByFileName(&host, m_tmp.filePath("broken.json")));
        QVERIFY(host.children().isEmpty());
        std::unique_ptr<TEVQMenu> menu(tevCreateMenuByFileName(&host, page(QStringLiteral("two_top"))));
        QVERIFY(menu && menu->parentWidget() == &host && menu->actions().isEmpty());
    }

    // ---- root keys -----------------------------------------------------------------------------------------

    void rootKeysSetTheHostWindow()
    {
        TEVQWindow win;
        win.setGeometry(30, 40, 500, 500);
        TEVQContainer* root = tevCreatePageByFileName(&win, page(QStringLiteral("full_page")));
        QVERIFY(root);
        QCOMPARE(win.geometry(), QRect(30, 40, 640, 480));
        QCOMPARE(win.minimumSize(), QSize(320, 240));
        QVERIFY(!win.getCanGrag() && win.getOnlyDragCaption());
        QVERIFY(win.hasMouseTracking()); // "resize": true
        QVERIFY(!win.testAttribute(Qt::WA_TranslucentBackground));
        // The root container fills the window, and follows it.
        QCOMPARE(root->geometry(), QRect(0, 0, 640, 480));
    }

    void transOnlyWhenTrue()
    {
        TEVQWindow plain;
        const Qt::WindowFlags before = plain.windowFlags();
        QVERIFY(tevCreatePageByFileName(&plain, writeTemp("trans_false.json", R"({"trans":false,"elements":[{"type":"qtcontainer"}]})")));
        QCOMPARE(plain.windowFlags(), before);
        QVERIFY(!plain.testAttribute(Qt::WA_TranslucentBackground));

        TEVQWindow see;
        QVERIFY(tevCreatePageByFileName(&see, writeTemp("trans_true.json", R"({"trans":true,"elements":[{"type":"qtcontainer"}]})")));
        QVERIFY(see.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(see.testAttribute(Qt::WA_TranslucentBackground));
    }

    void rootKeysOfASubWindowAndOfAPlainWidget()
    {
        QWidget top;
        top.resize(900, 700);
        TEVQSubWin sub(&top);
        sub.setGeometry(15, 25, 100, 100);
        QVERIFY(tevCreatePageByFileName(&sub, page(QStringLiteral("full_page"))));
        QCOMPARE(sub.geometry(), QRect(15, 25, 640, 480));
        QVERIFY(!sub.getCanGrag() && sub.getOnlyDragCaption());

        // A plain widget keeps its size; the elements are still created in it.
        QWidget host;
        host.resize(300, 200);
        TEVQContainer* root = tevCreatePageByFileName(&host, page(QStringLiteral("full_page")));
        QVERIFY(root);
        QCOMPARE(host.size(), QSize(300, 200));
        QCOMPARE(root->parentWidget(), &host);
        QCOMPARE(root->geometry(), QRect(0, 0, 300, 200));

        // Root values of the wrong type are ignored; the window keeps what it had.
        TEVQWindow win;
        win.setGeometry(10, 10, 450, 430);
        win.setCanDrag(true);
        QVERIFY(tevCreatePageByFileName(&win, writeTemp("wrong_root.json",
            R"({"w":"wide","h":[1],"drag":"no","minW":{},"elements":[{"type":"qtcontainer"}]})")));
        QCOMPARE(win.geometry(), QRect(10, 10, 450, 430));
        QVERIFY(win.getCanGrag());
    }

    // ---- the loaded tree -----------------------------------------------------------------------------------

    void fullPageGeometry()
    {
        TEVQWindow win;
        TEVQContainer* root = tevCreatePageByFileName(&win, page(QStringLiteral("full_page")));
        settle();
        QCOMPARE(nameOf(root), QStringLiteral("root"));
        // A column inside 8 px of padding with 4 px gaps: the fixed 40 px header, then the free height
        // 480 - 16 - 8 - 40 = 416 shared 2 : 1 by body and footer.
        QCOMPARE(child(root, "header")->geometry(), QRect(8, 8, 624, 40));
        QCOMPARE(child(root, "body")->geometry(), QRect(8, 52, 624, 277));
        QCOMPARE(child(root, "footer")->geometry(), QRect(8, 333, 624, 139));
        // The header row: 6 px side padding, a 10 px gap, ratios 3 : 1 of 602 px.
        QCOMPARE(child(root, "title")->geometry(), QRect(6, 0, 451, 40));
        QCOMPARE(child(root, "close")->geometry(), QRect(467, 0, 151, 40));
        // Docked children of the body: centred, far corner with offsets, near corner with offsets.
        QCOMPARE(child(root, "centred")->geometry(), QRect((624 - 100) / 2, (277 - 20) / 2, 100, 20));
        QCOMPARE(child(root, "corner")->geometry(), QRect(624 - 60 - 5, 277 - 24 - 6, 60, 24));
        QCOMPARE(child(root, "placed")->geometry(), QRect(10, 12, 80, 18));
        // The footer row: the fixed 200 px slider, the rest to the spacer and the nested column.
        QCOMPARE(child(root, "level")->geometry().width(), 200);
        QCOMPARE(child(root, "level")->height(), 139);
        QWidget* gap = child(root, "gap");
        QWidget* nest1 = child(root, "nest1");
        QCOMPARE(gap->x(), 206);
        QCOMPARE(nest1->x() + nest1->width(), 624);
        QCOMPARE(gap->width() + nest1->width(), 624 - 200 - 12);
        // Five levels deep, each nested column 2 px lower.
        QWidget* deepest = child(root, "deepest");
        QVERIFY(deepest);
        QCOMPARE(deepest->mapTo(nest1, QPoint(0, 0)), QPoint(0, 6));
        QCOMPARE(deepest->height(), 139 - 6);
    }

    void fullPageProperties()
    {
        TEVQWindow win;
        TEVQContainer* root = tevCreatePageByFileName(&win, page(QStringLiteral("full_page")));
        QVERIFY(root);
        // Aliases create the registered classes.
        QVERIFY(qobject_cast<TEVQPushButton*>(child(root, "close")) && qobject_cast<TEVQLabel*>(child(root, "placed")));
        QVERIFY(qobject_cast<TEVQSlider*>(child(root, "level")));
        QVERIFY(child(root, "gap")->inherits("TEVQSpacer"));
        // Common keys.
        QCOMPARE(child(root, "title")->toolTip(), QStringLiteral("Plant overview"));
        QVERIFY(child(root, "hidden")->isHidden());
        QVERIFY(!child(root, "level")->isEnabled());
        QCOMPARE(child<TEVQLabel>(root, "deepest")->text(), QStringLiteral("five deep"));
        auto* slider = child<TEVQSlider>(root, "level");
        QCOMPARE(slider->maximum(), 50);
        QCOMPARE(slider->value(), 20);
        // Styles from the skin's store; theme elements from the theme's.
        QCOMPARE(root->getBackground().fillRes.fillColor, QColor(0x20, 0x30, 0x40));
        QCOMPARE(child<TEVQContainer>(root, "header")->getBackground().fillRes.fillColor, QColor(0x2c, 0x3e, 0x50));
        // A theme element stands in for the element's own painter keys: the background and the column of nest1.
        auto* nest1 = child<TEVQContainer>(root, "nest1");
        QCOMPARE(nest1->getBackground().fillRes.fillColor, QColor(0x00, 0x78, 0xd7));
        QCOMPARE(nest1->getChildLayout(), TEVQContainer::Vertical);
        QCOMPARE(child<TEVQLabel>(root, "title")->getTextStyle(CtrlState(0)).color, QColor(Qt::white));
        QCOMPARE(child<TEVQLabel>(root, "centred")->getTextStyle(CtrlState(0)).color, QColor(0xd0, 0xd0, 0xd0));
        // The scroll-bar element is left to a view; nothing else in the body is a scroll bar.
        QVERIFY(!child(root, "ownedBar"));
        QVERIFY(child(root, "body")->findChildren<QScrollBar*>().isEmpty());
        // The loader leaves the resource switches as it found them.
        QVERIFY(!rm()->isLoadFromThemeRes() && !rm()->isCreatedByFile());
    }

    void documentsOpenedInTurnEachBuildTheirOwnPage()
    {
        // Two documents opened in turn, each several times: every load builds its own document's tree (the tree
        // parsed before is given up as the next is read), attributes included, whatever order they are written in.
        const QString first = writeTemp("turn_a.json", R"({"elements":[{"type":"qtcontainer","name":"a",
            "attr":{"space":3,"childLayout":1},"child":[
            {"type":"qtbutton","name":"b","attr":{"showText":0,"text":"First","drawBackground":1}},
            {"type":"qtslider","name":"s","attr":{"val":7,"min":2,"isHor":0,"max":9}}]}]})");
        const QString second = writeTemp("turn_b.json", R"({"elements":[{"type":"qtcontainer","name":"a",
            "attr":{"childLayout":"x"},"child":[
            {"type":"qtbutton","name":"b","attr":{"text":"Second"}},
            {"type":"qtslider","name":"s","attr":{"max":40,"val":30}}]}]})");
        for (int round = 0; round < 3; ++round) {
            for (const bool isFirst : {true, false}) {
                QWidget host;
                TEVQContainer* root = tevCreatePageByFileName(&host, isFirst ? first : second);
                QVERIFY(root);
                auto* button = child<TEVQPushButton>(root, "b");
                auto* slider = child<TEVQSlider>(root, "s");
                QVERIFY(button && slider);
                QCOMPARE(button->text(), isFirst ? QStringLiteral("First") : QStringLiteral("Second"));
                QCOMPARE(button->getShowText(), !isFirst);
                QCOMPARE(root->getChildLayout(), isFirst ? TEVQContainer::Vertical : TEVQContainer::NoUse);
                QCOMPARE(slider->orientation(), isFirst ? Qt::Vertical : Qt::Horizontal);
                QCOMPARE(slider->minimum(), isFirst ? 2 : 0);
                QCOMPARE(slider->maximum(), isFirst ? 9 : 40);
                QCOMPARE(slider->value(), isFirst ? 7 : 30);
            }
        }
    }

    void nestedBuildRunsOnlyItsOwnDeferredWork()
    {
        // An element whose reading builds another page: the inner build runs its own tasks and shows, and leaves
        // the outer page's to the outer layout pass. The outer page ends as it does without the inner build.
        const QString inner = writeTemp("nest_inner.json",
                                        R"({"elements":[{"type":"qtcontainer","name":"innerBox","x":0,"y":0,"w":30,"h":20},
            {"type":"tstnest","name":"inner"}]})");
        const QByteArray outerDoc = R"({"elements":[
            {"type":"qtcontainer","name":"first","attr":{"childLayout":1},"x":5,"y":6,"w":200,"h":100,
             "child":[{"type":"qtlabel","name":"l1","layout":{"type":0}},{"type":"qtlabel","name":"l2","layout":{"type":0}}]},
            {"type":"tstnest","name":"outer","theme":"accentPanel","attr":{}%1},
            {"type":"qtcontainer","name":"last","x":0,"y":120,"w":50,"h":20}]})";
        struct Outcome {
            QList<QRect> rects;
            QList<bool> shown;
        };
        const auto build = [&](bool nested, Outcome& out) {
            QWidget host;
            host.resize(400, 300);
            host.show();
            QVERIFY(QTest::qWaitForWindowExposed(&host));
            QWidget nestHost;
            nestHost.resize(100, 100);
            nestHost.show();
            g_outerHost = &host;
            g_nestHost = &nestHost;
            g_nestLog.clear();
            const QByteArray open = nested ? QByteArray(R"(,"open":")") + inner.toUtf8() + "\"" : QByteArray();
            QVERIFY(tevCreatePageByFileName(&host, writeTemp("nest_outer.json", QByteArray(outerDoc).replace("%1", open))));
            if (nested) {
                QCOMPARE(g_nestLog, (QStringList{QStringLiteral("open:outer"), QStringLiteral("task:inner"),
                                                 QStringLiteral("back:outer first hidden, theme switch kept"), QStringLiteral("task:outer")}));
                QVERIFY(child(&nestHost, "innerBox") && child(&nestHost, "innerBox")->isVisible());
            } else {
                QCOMPARE(g_nestLog, QStringList{QStringLiteral("task:outer")});
            }
            for (const char* name : {"first", "l1", "l2", "outer", "last"}) {
                QWidget* w = child(&host, name);
                QVERIFY(w);
                out.rects << w->geometry();
                out.shown << w->isVisible();
            }
        };
        Outcome plain;
        Outcome nested;
        build(false, plain);
        build(true, nested);
        QCOMPARE(nested.rects, plain.rects);
        QCOMPARE(nested.shown, plain.shown);
        QVERIFY(!plain.shown.contains(false));
        QVERIFY(!tevIsBuildingPage());
    }

    void elementDeletedWhileItIsReadIsLeftOut()
    {
        // A widget deleted while its element is read or completed (by a receiver of what it emits): the page goes
        // on without it, at the top and below a container, and the loader touches nothing of it.
        QWidget host;
        host.resize(300, 200);
        host.show();
        g_nestLog.clear();
        TEVQContainer* root = tevCreatePageByFileName(&host, writeTemp("drop_self.json", R"({"elements":[
            {"type":"tstnest","name":"topGone","dropSelf":true},
            {"type":"qtcontainer","name":"box","child":[
                {"type":"tstnest","name":"gone","dropSelf":true,"child":[{"type":"qtlabel","name":"never"}]},
                {"type":"tstnest","name":"completeGone","dropOnComplete":true,"child":[{"type":"qtlabel"}]},
                {"type":"qtlabel","name":"after"}]}]})"));
        QVERIFY(root);
        QCOMPARE(root->objectName(), QStringLiteral("box"));
        QVERIFY(child(&host, "after"));
        QVERIFY(!child(&host, "gone") && !child(&host, "topGone") && !child(&host, "never") && !child(&host, "completeGone"));
        QVERIFY(g_nestLog.isEmpty()); // the dropped widgets' tasks went with them
        // The last element deleted while read: no page.
        QWidget other;
        QVERIFY(!tevCreatePageByFileName(&other, writeTemp("drop_last.json",
                                                           R"({"elements":[{"type":"tstnest","dropSelf":true}]})")));
    }

    void pageReplacedOrHostDeletedWhileBuilt()
    {
        // A listener of something an element's reading emits loads another page into the same host in place of
        // the one being built: the host ends with the new page, laid out, and the old page's later elements.
        auto host = std::make_unique<QWidget>();
        host->resize(300, 200);
        g_outerHost = host.get();
        const QString fresh = writeTemp("replace_new.json", R"({"elements":[{"type":"qtcontainer","name":"fresh"}]})");
        const QByteArray old = R"({"elements":[
            {"type":"qtcontainer","name":"old","child":[{"type":"tstnest","replace":"%1"}]},
            {"type":"qtlabel","name":"later"}]})";
        QVERIFY(!tevCreatePageByFileName(host.get(), writeTemp("replace_old.json", QByteArray(old).replace("%1", fresh.toUtf8()))));
        QVERIFY(!child(host.get(), "old") && child(host.get(), "later"));
        QWidget* root = child(host.get(), "fresh");
        QVERIFY(root);
        QCOMPARE(root->geometry(), QRect(0, 0, 300, 200));

        // Or deletes the host itself: the build stops there.
        host.release();
        QVERIFY(!tevCreatePageByFileName(g_outerHost, writeTemp("drop_host.json", R"({"elements":[
            {"type":"qtcontainer","child":[{"type":"tstnest","dropHost":true},{"type":"qtlabel"}]},
            {"type":"qtlabel"}]})")));
        QVERIFY(!g_outerHost);
        QVERIFY(!tevIsBuildingPage());
    }

    void scrollBarElementsOnlyInProjectMode()
    {
        const QString doc = writeTemp("bars.json",
            R"({"elements":[{"type":"qtcontainer","name":"c","child":[{"type":"qtscrollbar","name":"bar"},
                {"type":"scrollbar","name":"alias"}]},{"type":"qtscrollbar","name":"top"}]})");
        QWidget host;
        tevCreatePageByFileName(&host, doc);
        QVERIFY(!child(&host, "bar") && !child(&host, "top"));
        QVERIFY(child(&host, "alias")); // only the exact type name is left to the views

        QWidget project;
        rm()->setSwitchToProjectRes(true);
        tevCreatePageByFileName(&project, doc);
        rm()->setSwitchToProjectRes(false);
        QVERIFY(qobject_cast<QScrollBar*>(child(&project, "bar")));
        QVERIFY(child(&project, "top"));
    }

    void resultIsTheLastElementWhenItIsAContainer()
    {
        QWidget host;
        QCOMPARE(nameOf(tevCreatePageByFileName(&host, page(QStringLiteral("two_top")))), QStringLiteral("second"));
        QVERIFY(child(&host, "first"));

        // A label last: everything is built, and no container is handed back.
        QWidget host2;
        QVERIFY(!tevCreatePageByFileName(&host2, writeTemp("label_last.json",
            R"({"elements":[{"type":"qtcontainer","name":"c"},{"type":"qtlabel","name":"l"}]})")));
        QVERIFY(child(&host2, "c") && child(&host2, "l"));

        // A last element that fails: null, the earlier ones stay.
        QWidget host3;
        QVERIFY(!tevCreatePageByFileName(&host3, writeTemp("bad_last.json",
            R"({"elements":[{"type":"qtcontainer","name":"c"},{"type":"nosuchtype"}]})")));
        QVERIFY(child(&host3, "c"));

        QWidget host4;
        QVERIFY(!tevCreatePageByFileName(&host4, writeTemp("no_elements.json", R"({"w":10})")));
        QVERIFY(!tevCreatePageByFileName(&host4, writeTemp("empty_elements.json", R"({"elements":[]})")));
        QVERIFY(host4.children().isEmpty());
    }

    void childrenCompleteBeforeTheirParents()
    {
        g_completed.clear();
        QWidget host;
        tevCreatePageByFileName(&host, writeTemp("order.json", R"({"elements":[
            {"type":"tstorder","name":"a","child":[
                {"type":"tstorder","name":"b","child":[{"type":"tstorder","name":"c"}]},
                {"type":"tstorder","name":"d"}]},
            {"type":"tstorder","name":"e"}]})"));
        QCOMPARE(g_completed, QStringList({"c()", "b(c)", "d()", "a(b,d)", "e()"}));
    }

    // ---- creators ------------------------------------------------------------------------------------------

    void boundCreatorFirstThenRegistry()
    {
        g_boundCalls.clear();
        tevBindControlCreateFunction(&boundLabelsOnly);
        QWidget host;
        tevCreatePageByFileName(&host, writeTemp("bound.json", R"({"elements":[{"type":"qtcontainer","name":"c",
            "child":[{"type":"qtlabel","name":"l","attr":{"text":"via bound"}},{"type":"qtbutton","name":"b"}]}]})"));
        tevBindControlCreateFunction(nullptr);
        QCOMPARE(g_boundCalls, QStringList({"c:qtcontainer", "l:qtlabel", "b:qtbutton"}));
        auto* label = qobject_cast<OtherLabel*>(child(&host, "l"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("via bound")); // read its element like any other
        QVERIFY(qobject_cast<TEVQPushButton*>(child(&host, "b")) && qobject_cast<TEVQContainer*>(child(&host, "c")));
    }

    void creatorHandingBackTheHostIsRefused()
    {
        QWidget host;
        TEVQContainer outer(&host);
        outer.setObjectName("outer");
        g_boundReturn = &host;
        tevBindControlCreateFunction(&boundReturnsFixed);
        QVERIFY(!createChild(Json::Value(), &outer));
        Json::Value element;
        element["type"] = "qtcontainer";
        QVERIFY(!createChild(element, &outer));
        tevBindControlCreateFunction(nullptr);
        g_boundReturn = nullptr;
        QCOMPARE(host.parentWidget(), nullptr);
        QCOMPARE(outer.parentWidget(), &host);
    }

    void reRegisteredTypeServesLaterPages()
    {
        tevRegisterDefaultControl("qtlabel", &OtherLabel::create);
        QWidget host;
        tevCreatePageByFileName(&host, writeTemp("relabel.json", R"({"elements":[{"type":"qtlabel","name":"l"}]})"));
        tevRegisterDefaultControl("qtlabel", &TEVQLabel::createTEVQLabel);
        QVERIFY(qobject_cast<OtherLabel*>(child(&host, "l")));
    }

    void cloneWidgetGoesThroughTheLoader()
    {
        QWidget host;
        TEVQContainer* c = tevCreatePageByFileName(&host, page(QStringLiteral("two_top")));
        QVERIFY(c);
        QWidget* copy = c->getControlBase()->cloneWidget(QStringLiteral("ignored"));
        QVERIFY(qobject_cast<TEVQContainer*>(copy));
        QCOMPARE(copy->parentWidget(), &host);
        QVERIFY(copy->objectName().isEmpty()); // an empty element: nothing read
    }

    // ---- malformed input -----------------------------------------------------------------------------------

    void malformedElementsAreSkipped()
    {
        // What cannot be built is reported.
        QTest::ignoreMessage(QtWarningMsg, "Page element skipped: it has no \"type\" string");
        QTest::ignoreMessage(QtWarningMsg, "Page element skipped: unknown type \"nosuchtype\"");
        QWidget host;
        TEVQContainer* root = tevCreatePageByFileName(&host, writeTemp("malformed.json", R"({"elements":[
            5, "qtlabel", null, [], {}, {"type":7}, {"type":["qtlabel"]}, {"name":"untyped"},
            {"type":"qtcontainer","name":"root","child":[
                {"type":"nosuchtype","name":"unknown","child":[{"type":"qtlabel","name":"orphan"}]},
                {"type":"qtlabel","name":"ok1","x":"10","w":-5,"layout":5,"attr":3,"style":"x"},
                17,
                {"type":"qtbutton","name":"ok2","child":{"type":"qtlabel","name":"notAnArray"}},
                {"type":"qtcontainer","name":"ok3","attr":{"childLayout":"1"},"layout":{"type":-1,"ratio":"2"}}
            ]}]})"));
        QCOMPARE(nameOf(root), QStringLiteral("root"));
        for (const char* gone : {"unknown", "orphan", "untyped", "notAnArray"})
            QVERIFY2(!child(&host, gone), gone);
        QVERIFY(child(&host, "ok1") && child(&host, "ok2") && child(&host, "ok3"));
        // Nothing else was left behind in the host.
        QCOMPARE(host.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    }

    void deepNestingStopsAtTheLimit()
    {
        // Built in code, far deeper than any document the JSON layer parses.
        Json::Value top(Json::objectValue);
        Json::Value* cur = &top;
        for (int i = 0; i < 300; ++i) {
            (*cur)["type"] = "qtcontainer";
            (*cur)["name"] = "n" + std::to_string(i);
            cur = &(*cur)["child"][0];
        }
        (*cur)["type"] = "qtlabel";
        QWidget host;
        QWidget* w = createChild(top, &host);
        QVERIFY(w);
        QVERIFY(child(&host, QString("n%1").arg(kMaxPageElementDepth).toLatin1().constData()));
        QVERIFY(!child(&host, QString("n%1").arg(kMaxPageElementDepth + 1).toLatin1().constData()));

        // A document nested beyond the JSON layer's bound is refused whole.
        QByteArray deep = R"({"elements":[)";
        for (int i = 0; i < 200; ++i)
            deep += R"({"type":"qtcontainer","child":[)";
        deep += QByteArray(200, ']').replace("]", "]}") + "]}";
        QWidget host2;
        QVERIFY(!tevCreatePageByFileName(&host2, writeTemp("too_deep.json", deep)));
        QVERIFY(host2.children().isEmpty());
    }

    void badPageCorpus()
    {
        const QDir dir(tevtest::dataPath(QStringLiteral("corpus/page")));
        const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 8);
        for (const QFileInfo& f : files) {
            TEVQWindow win;
            if (f.fileName().startsWith(QLatin1String("valid_")))
                QVERIFY2(tevCreatePageByFileName(&win, f.absoluteFilePath()), qPrintable(f.fileName()));
        }
        // Known survivors of the mixed corpus files.
        TEVQWindow win;
        tevCreatePageByFileName(&win, dir.filePath(QStringLiteral("unknown_types.json")));
        QVERIFY(child(&win, "knownLabel") && child(&win, "knownButton"));
        QVERIFY(!child(&win, "withNul") && !child(&win, "underUnknown"));
        TEVQWindow win2;
        tevCreatePageByFileName(&win2, dir.filePath(QStringLiteral("wrong_types.json")));
        QVERIFY(child(&win2, "survivor"));
    }

    // ---- a rendered page -----------------------------------------------------------------------------------

    void renderSamplePage()
    {
        TEVQWindow win;
        win.setTransparent(false);
        TEVQContainer* root = tevCreatePageByFileName(&win, page(QStringLiteral("full_page")));
        QVERIFY(root);
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        settle();
        const QImage img = win.grab().toImage();
        QVERIFY(tevtest::keepRender(img, QStringLiteral("tev_sample_page.png")));
        QCOMPARE(img.size(), QSize(640, 480));
        // Page background in the padding, panel colour in the header, the theme's accent in the body, footer.
        QCOMPARE(QColor(img.pixel(3, 3)), QColor(0x20, 0x30, 0x40));
        QCOMPARE(QColor(img.pixel(10, 50)), QColor(0x20, 0x30, 0x40)); // the gap below the header
        QCOMPARE(QColor(img.pixel(9, 9)), QColor(0x2c, 0x3e, 0x50));
        QCOMPARE(QColor(img.pixel(620, 60)), QColor(0x1a, 0x25, 0x2f));
        QCOMPARE(QColor(img.pixel(8 + 210, 470)), QColor(0x34, 0x49, 0x5e));
        // The themed column's top padding row.
        const QPoint accent = child(root, "nest1")->mapTo(&win, QPoint(3, 0));
        QCOMPARE(QColor(img.pixel(accent)), QColor(0x00, 0x78, 0xd7));
    }
};

TEV_TEST_MAIN(TestPageLoader)
#include "tst_pageloader.moc"
