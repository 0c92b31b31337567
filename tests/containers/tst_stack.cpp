// The stack container: the page list and its index rules (inserting, moving, removing, deleting and
// re-parenting pages), page geometry, the refresh of a page's containers, an idle event loop while a stack is
// shown, painting, JSON both ways, catalogue and registry entries.
#include "TevStyles.h"
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQGroupBox.h"
#include "TEVQPageLoader.h"
#include "TEVQResourceManager.h"
#include "TEVQSplitter.h"
#include "TEVQStackContainer.h"
#include "TEVQTabWidget.h"

#include <QElapsedTimer>
#include <QMap>
#include <QPointer>

#include <json/json.h>

using namespace TEVQtLib;

namespace {

// No OpenGL in these tests: keep xcb from loading GLX (see tst_layout.cpp). Runs before main.
[[maybe_unused]] const bool g_noGlx = qputenv("QT_XCB_GL_INTEGRATION", "none");

// A page that counts the layout passes the stack asks of it.
class CountingPage : public TEVQContainer
{
public:
    explicit CountingPage(const QString& name, QWidget* parent = nullptr) : TEVQContainer(parent)
    {
        setObjectName(name);
    }
    void forceResize() override
    {
        ++passes;
        TEVQContainer::forceResize();
    }
    int passes = 0;
};

// Counts the events of one type an object receives.
class EventCounter : public QObject
{
public:
    EventCounter(QObject* target, QEvent::Type type) : m_type(type) { target->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == m_type)
            ++count;
        return false;
    }
    int count = 0;

private:
    QEvent::Type m_type;
};

using tevtest::parse;

Json::Value write(ITEVQWidgetBase* w)
{
    Json::Value out(Json::objectValue);
    w->serializeJsonValue(&out, false);
    return out;
}

QString text(const Json::Value& v) { return QString::fromStdString(json::writeStyled(v)); }

FillStyle colour(const char* name, QColor c)
{
    FillStyle s;
    s.name = QString::fromLatin1(name);
    s.fillRes.fillColor = c;
    return s;
}

void showHeadless(QWidget& w)
{
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.show();
    QCoreApplication::processEvents();
}

QString names(const TEVQStackContainer& s)
{
    QStringList out;
    for (int i = 0; i < s.count(); ++i)
        out << (s.widget(i) ? s.widget(i)->objectName() : QStringLiteral("?"));
    return out.join(QLatin1Char(','));
}

} // namespace

class TestStack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (FillStyle s : {colour("stackA", QColor(200, 10, 10)), colour("stackB", QColor(10, 200, 10))})
            TEVQResourceManager::getInstance()->setFillStyle(s.name, s);
        tevInitQtControl();
    }

    // ---- the page list -------------------------------------------------------------------------------------

    void pageRules_data()
    {
        // A script of steps on pages a..d: "add x", "ins i x", "rm x", "cur i", "del x" (delete the widget),
        // "away x" (re-parent it elsewhere). Then the page order, the current page and what the last add or
        // insert returned.
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("expectedResult");
        QTest::newRow("first page becomes current") << "add a" << "a" << "a" << 0;
        QTest::newRow("second page stays hidden") << "add a;add b" << "a,b" << "a" << 1;
        QTest::newRow("insert before the current") << "add a;ins 0 b" << "b,a" << "a" << 0;
        QTest::newRow("index past the end appends") << "add a;ins 7 b;ins -3 c" << "a,b,c" << "a" << 2;
        QTest::newRow("again at its own index") << "add a;add b;add c;cur 1;ins 1 b" << "a,b,c" << "b" << 1;
        QTest::newRow("third page to the front") << "add a;add b;add c;ins 0 c" << "c,a,b" << "a" << 0;
        QTest::newRow("current page moved") << "add a;add b;add c;ins 2 a" << "b,a,c" << "a" << 1;
        QTest::newRow("current page to the end") << "add a;add b;add c;cur 0;ins 3 a" << "b,c,a" << "a" << 2;
        QTest::newRow("remove the current last") << "add a;add b;add c;cur 2;rm c" << "a,b" << "b" << -2;
        QTest::newRow("remove the current first") << "add a;add b;add c;rm a" << "b,c" << "b" << -2;
        QTest::newRow("remove before the current") << "add a;add b;add c;cur 2;rm a" << "b,c" << "c" << -2;
        QTest::newRow("remove after the current") << "add a;add b;add c;rm c" << "a,b" << "a" << -2;
        QTest::newRow("remove the only page") << "add a;rm a" << "" << "-" << -2;
        QTest::newRow("remove a stranger") << "add a;rm b" << "a" << "a" << -2;
        QTest::newRow("index out of range") << "add a;add b;cur 5;cur -1" << "a,b" << "a" << -2;
        QTest::newRow("delete the current page") << "add a;add b;add c;cur 1;del b" << "a,c" << "c" << -2;
        QTest::newRow("delete the current last") << "add a;add b;cur 1;del b" << "a" << "a" << -2;
        QTest::newRow("delete an earlier page") << "add a;add b;add c;cur 2;del a" << "b,c" << "c" << -2;
        QTest::newRow("delete every page") << "add a;add b;del a;del b" << "" << "-" << -2;
        QTest::newRow("re-parent the current away") << "add a;add b;away a" << "b" << "b" << -2;
        QTest::newRow("re-parent an earlier page away") << "add a;add b;cur 1;away a" << "b" << "b" << -2;
        QTest::newRow("add after all were deleted") << "add a;del a;add b" << "b" << "b" << 0;
    }

    void pageRules()
    {
        QFETCH(QString, script);
        QWidget elsewhere;
        TEVQStackContainer stack;
        stack.resize(200, 120);
        showHeadless(stack);
        QMap<QString, QPointer<QWidget>> pages;
        for (const char* n : {"a", "b", "c", "d"}) {
            auto* p = new TEVQContainer;
            p->setObjectName(QString::fromLatin1(n));
            pages[QString::fromLatin1(n)] = p;
        }
        int result = -2;
        for (const QString& step : script.split(QLatin1Char(';'))) {
            const QStringList w = step.split(QLatin1Char(' '));
            if (w[0] == QLatin1String("add"))
                result = stack.addWidget(pages[w[1]]);
            else if (w[0] == QLatin1String("ins"))
                result = stack.insertWidget(w[1].toInt(), pages[w[2]]);
            else if (w[0] == QLatin1String("rm"))
                stack.removeWidget(pages[w[1]]);
            else if (w[0] == QLatin1String("cur"))
                stack.setCurrentIndex(w[1].toInt());
            else if (w[0] == QLatin1String("del"))
                delete pages[w[1]].data();
            else if (w[0] == QLatin1String("away"))
                pages[w[1]]->setParent(&elsewhere);
            QCoreApplication::processEvents();
        }
        QTEST(names(stack), "order");
        QFETCH(QString, current);
        QCOMPARE(stack.currentWidget() ? stack.currentWidget()->objectName() : QStringLiteral("-"), current);
        QCOMPARE(stack.currentIndex(), current == QLatin1String("-") ? -1 : names(stack).split(',').indexOf(current));
        QFETCH(int, expectedResult);
        if (expectedResult != -2) // -2: the script ends with no add or insert
            QCOMPARE(result, expectedResult);
        // Only the current page is shown, and it fills the stack.
        for (int i = 0; i < stack.count(); ++i) {
            QCOMPARE(stack.widget(i)->isVisible(), i == stack.currentIndex());
            QCOMPARE(stack.widget(i)->geometry(), stack.rect());
        }
        // Pages taken out stay children of the stack, hidden.
        for (const QPointer<QWidget>& p : pages) {
            if (p && p->parentWidget() == &stack && !names(stack).split(',').contains(p->objectName()))
                QVERIFY(p->isHidden());
        }
        for (const QPointer<QWidget>& p : pages) {
            if (p && !p->parentWidget())
                delete p.data();
        }
    }

    void refusedWidgets()
    {
        // Null, the stack itself and a widget the stack lies in cannot be pages.
        QWidget outer;
        auto* stack = new TEVQStackContainer(&outer);
        QCOMPARE(stack->addWidget(nullptr), -1);
        QCOMPARE(stack->addWidget(stack), -1);
        QCOMPARE(stack->insertWidget(0, &outer), -1);
        QCOMPARE(stack->count(), 0);
        QCOMPARE(stack->currentWidget(), nullptr);
        QCOMPARE(stack->widget(0), nullptr);
    }

    void pageGeometry()
    {
        // Every page follows the stack's size, hidden ones too; a framework page is given layout type 1 with
        // the stack's rectangle, a plain page only its geometry.
        TEVQStackContainer stack;
        stack.resize(100, 80);
        auto* framework = new TEVQContainer;
        framework->setLayoutRatio(3); // a ratio layout before
        auto* plain = new QWidget;
        plain->setGeometry(5, 5, 10, 10);
        stack.addWidget(framework);
        stack.addWidget(plain);
        QCOMPARE(framework->getLayoutType(), LayoutTypeAbsolute);
        showHeadless(stack);
        stack.resize(300, 150);
        QCoreApplication::processEvents();
        QCOMPARE(framework->geometry(), QRect(0, 0, 300, 150));
        QCOMPARE(plain->geometry(), QRect(0, 0, 300, 150));
        void* data = nullptr;
        framework->getLayoutData(data);
        const auto* r = static_cast<TEVLayoutRect*>(data);
        QVERIFY(r);
        QCOMPARE(QRect(r->x, r->y, r->w, r->h), QRect(0, 0, 300, 150));

        // The current page may be placed freely; a page placed elsewhere while hidden fills the stack again
        // once it is shown.
        framework->QWidget::setGeometry(10, 10, 50, 50);
        QCoreApplication::processEvents();
        QCOMPARE(framework->geometry(), QRect(10, 10, 50, 50));
        plain->setGeometry(20, 20, 30, 30);
        stack.setCurrentIndex(1);
        QCOMPARE(plain->geometry(), QRect(0, 0, 300, 150));
        stack.setCurrentIndex(0);
        QCOMPARE(framework->geometry(), QRect(0, 0, 300, 150));
    }

    void showingAPageLaysOutItsContainers()
    {
        // A page hidden while the stack changed size is shown laid out: the containers of its subtree are
        // refreshed, also when the current page is made current again.
        TEVQStackContainer stack;
        stack.resize(200, 100);
        auto* first = new CountingPage(QStringLiteral("first"));
        auto* second = new CountingPage(QStringLiteral("second"));
        auto* inner = new CountingPage(QStringLiteral("inner"), second);
        second->setChildLayout(TEVQContainer::Horizontal);
        stack.addWidget(first);
        stack.addWidget(second);
        showHeadless(stack);
        stack.resize(260, 90);
        QCoreApplication::processEvents();
        second->passes = inner->passes = 0;
        stack.setCurrentIndex(1);
        QVERIFY(second->passes >= 1);
        QVERIFY(inner->passes >= 1);
        QCOMPARE(inner->width(), 260); // laid out for the new width
        QVERIFY(!first->isVisible());

        const int before = second->passes;
        stack.setCurrentIndex(stack.currentIndex());
        QVERIFY(second->passes > before);
        QVERIFY(second->isVisible());
    }

    void idleWhileShown()
    {
        // The page's geometry update that the refresh ends with comes back to the stack as a layout request;
        // it must not start the refresh (and the next request) again. Nested stacks included: the inner
        // stack's own update reaches the outer one the same way.
        QWidget window;
        window.resize(320, 200);
        auto* outer = new TEVQStackContainer(&window);
        outer->setGeometry(0, 0, 320, 200);
        auto* page = new CountingPage(QStringLiteral("page"));
        page->setChildLayout(TEVQContainer::Vertical);
        auto* inner = new TEVQStackContainer;
        page->addChildWidget(inner, 1);
        auto* innerPage = new CountingPage(QStringLiteral("innerPage"));
        inner->addWidget(innerPage);
        outer->addWidget(page);
        outer->addWidget(new CountingPage(QStringLiteral("other")));
        showHeadless(window);
        QTest::qWait(50);

        EventCounter outerRequests(outer, QEvent::LayoutRequest);
        EventCounter innerRequests(inner, QEvent::LayoutRequest);
        page->passes = innerPage->passes = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 1000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCOMPARE(outerRequests.count, 0);
        QCOMPARE(innerRequests.count, 0);
        QCOMPARE(page->passes, 0);
        QCOMPARE(innerPage->passes, 0);
    }

    void deletingPagesAtAnyTime()
    {
        // Beyond the scripted deletions: a page deleted later, while the stack is resized, and pages taken out
        // of a stack that is then deleted (they die with it, as its children).
        TEVQStackContainer stack;
        auto* d = new TEVQContainer;
        stack.addWidget(d);
        d->deleteLater();
        stack.resize(95, 95);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(stack.count(), 0);
        QCOMPARE(stack.currentWidget(), nullptr);
        stack.resize(90, 90);

        auto* s2 = new TEVQStackContainer;
        QPointer<QWidget> kept = new QWidget;
        s2->addWidget(kept);
        s2->addWidget(new QWidget);
        s2->removeWidget(kept);
        QCOMPARE(kept->parentWidget(), s2);
        delete s2;
        QVERIFY(kept.isNull());
    }

    void pageDeletedWhileAnotherIsHidden()
    {
        // Hiding a page (taken out, or no longer current) reaches code that deletes another page: the stack
        // goes on with the page it was taking out or showing, found again by identity.
        struct DeleteOnHide : QObject {
            QPointer<QWidget> victim;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Hide && victim)
                    delete victim.data();
                return false;
            }
        };
        for (int mode = 0; mode < 2; ++mode) {
            TEVQStackContainer stack;
            stack.resize(80, 60);
            showHeadless(stack);
            auto* x = new QWidget;
            x->setObjectName(QStringLiteral("x"));
            auto* a = new QWidget;
            a->setObjectName(QStringLiteral("a"));
            auto* b = new QWidget;
            b->setObjectName(QStringLiteral("b"));
            stack.addWidget(x);
            stack.addWidget(a);
            stack.addWidget(b);
            stack.setCurrentWidget(a);
            DeleteOnHide filter;
            filter.victim = x;
            a->installEventFilter(&filter);
            if (mode == 0) {
                stack.removeWidget(a);
                QCOMPARE(names(stack), QStringLiteral("b"));
                QCOMPARE(stack.currentWidget(), static_cast<QWidget*>(b));
                QVERIFY(a->isHidden());
            } else {
                stack.setCurrentWidget(b);
                QCOMPARE(names(stack), QStringLiteral("a,b"));
                QCOMPARE(stack.currentWidget(), static_cast<QWidget*>(b));
                QVERIFY(!b->isHidden());
                QVERIFY(a->isHidden());
            }
            a->removeEventFilter(&filter);
            QCOMPARE(stack.currentIndex(), stack.count() - 1);
            stack.resize(70, 50);
        }
    }

    void containerPassDeletesAnotherContainer()
    {
        // Showing a page lays out every container in it; one container's pass may delete another the refresh
        // has yet to reach (a sibling after it), or the page: the refresh goes on with what is left.
        struct DeletingContainer : TEVQContainer {
            using TEVQContainer::TEVQContainer;
            QPointer<QWidget> victim;
            void forceResize() override
            {
                TEVQContainer::forceResize();
                delete victim.data();
            }
        };
        for (int mode = 0; mode < 2; ++mode) {
            TEVQStackContainer stack;
            stack.resize(80, 60);
            showHeadless(stack);
            auto* first = new TEVQContainer;
            stack.addWidget(first);
            QPointer<TEVQContainer> page = new TEVQContainer;
            auto* deleting = new DeletingContainer(page);
            QPointer<TEVQContainer> sibling = new TEVQContainer(page);
            new TEVQContainer(sibling);
            deleting->victim = mode == 0 ? static_cast<QWidget*>(sibling.data()) : page.data();
            stack.addWidget(page);
            stack.setCurrentWidget(page);
            QVERIFY(!sibling);
            QCOMPARE(bool(page), mode == 0);
            QCOMPARE(stack.currentWidget(), mode == 0 ? static_cast<QWidget*>(page.data()) : first);
            stack.resize(90, 70);
        }
    }

    // ---- painting ------------------------------------------------------------------------------------------

    void paintsItsStates()
    {
        // From the left: a stack showing its page, an empty enabled stack, an empty disabled one and one that
        // draws no background.
        QWidget host;
        host.resize(360, 100);
        host.setAutoFillBackground(true);
        QPalette pal;
        pal.setColor(QPalette::Window, QColor(40, 40, 40));
        host.setPalette(pal);
        TEVQStackContainer* stacks[4];
        for (int i = 0; i < 4; ++i) {
            stacks[i] = new TEVQStackContainer(&host);
            stacks[i]->setGeometry(10 + i * 87, 10, 80, 80);
            stacks[i]->setBackgroundState(CtrlStateNormal, colour("n", QColor(30, 120, 220)));
            stacks[i]->setBackgroundState(CtrlStateDisable, colour("d", QColor(150, 150, 150)));
        }
        auto* page = new TEVQContainer;
        page->setColor(QColor(240, 200, 60));
        stacks[0]->addWidget(page);
        stacks[2]->setEnabled(false);
        stacks[3]->setDrawBackground(false);
        showHeadless(host);
        const QImage img = host.grab().toImage();
        QVERIFY(tevtest::keepRender(img, QStringLiteral("tev_stack_states.png")));
        const QColor expected[4] = {QColor(240, 200, 60), QColor(30, 120, 220), QColor(150, 150, 150), QColor(40, 40, 40)};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(img.pixelColor(10 + i * 87 + 40, 50), expected[i]);
        stacks[2]->setEnabled(true);
        QCOMPARE(host.grab().toImage().pixelColor(10 + 2 * 87 + 40, 50), QColor(30, 120, 220));
    }

    // ---- JSON ----------------------------------------------------------------------------------------------

    void json_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("written"); // "style" and "attr" as written back
        QTest::newRow("defaults") << "{}" << R"({"style": null, "attr": null})";
        QTest::newRow("both slots") << R"({"style": [["stackA", 1, 0], ["stackB", 1, 1]]})"
                                    << R"({"style": [["stackA", 1, 0], ["stackB", 1, 1]], "attr": null})";
        QTest::newRow("unknown names and slots") << R"({"style": [["nope", 1, 0], ["stackB", 1, 3]]})"
                                                 << R"({"style": null, "attr": null})";
        QTest::newRow("no background") << R"({"attr": {"drawBackground": false}})"
                                       << R"({"style": null, "attr": {"drawBackground": 0}})";
        QTest::newRow("background as number") << R"({"attr": {"drawBackground": 0}})"
                                              << R"({"style": null, "attr": {"drawBackground": 0}})";
        QTest::newRow("background on") << R"({"attr": {"drawBackground": 1}})" << R"({"style": null, "attr": null})";
        // A policy read as unset (-1) stays unset: a new stack starts with 0, so -1 has to be written.
        QTest::newRow("policy out of range") << R"({"widthPolicy": 5, "heightPolicy": 1})"
                                             << R"({"style": null, "attr": null})";
        QTest::newRow("wrong types") << R"({"style": 5, "attr": {"drawBackground": "x", "other": 2}})"
                                     << R"({"style": null, "attr": {"other": 2}})";
    }

    void json()
    {
        QFETCH(QString, input);
        QFETCH(QString, written);
        TEVQStackContainer s;
        Json::Value in = parse(input.toUtf8().constData());
        s.readJsonValue(&in);
        const Json::Value out = write(&s);
        const Json::Value expected = parse(written.toUtf8().constData());
        QCOMPARE(text(json::get(out, "style")), text(json::get(expected, "style")));
        QCOMPARE(text(json::get(out, "attr")), text(json::get(expected, "attr")));
        QVERIFY(json::has(out, "attr"));

        // What was written reads back to the same stack.
        TEVQStackContainer t;
        Json::Value copy = out;
        t.readJsonValue(&copy);
        QCOMPARE(text(write(&t)), text(out));
    }

    // ---- a page file ---------------------------------------------------------------------------------------

    void pageFileBuildsTheContainers()
    {
        // The four types come from a page under their short names with their own keys read; child elements of
        // a stack are ordinary children until they are added as pages, and a tab strip then drives the stack.
        QWidget host;
        host.resize(480, 320);
        TEVQContainer* root = tevCreatePageByFileName(&host, tevtest::dataPath(QStringLiteral("pages/containers_page.json")));
        QVERIFY(root);
        auto* tabs = root->findChild<TEVQTabWidget*>(QStringLiteral("tabs"));
        auto* stack = root->findChild<TEVQStackContainer*>(QStringLiteral("stack"));
        auto* bar = root->findChild<TEVQSplitter*>(QStringLiteral("bar"));
        auto* group = root->findChild<TEVQGroupBox*>(QStringLiteral("group"));
        QVERIFY(tabs && stack && bar && group);
        QCOMPARE(tabs->getItemSize(), 90);
        QVERIFY(!tabs->getShowIcon());
        QVERIFY(!stack->getDrawBackground());
        QCOMPARE(group->getLineColor(), QColor(0x33, 0x66, 0xAA));
        QCOMPARE(group->getLineSize(), 2);
        QCOMPARE(group->getText(), QStringLiteral("Inverters"));
        QCOMPARE(stack->count(), 0);

        auto* overview = stack->findChild<TEVQContainer*>(QStringLiteral("overview"));
        auto* details = stack->findChild<TEVQContainer*>(QStringLiteral("details"));
        overview->setColor(QColor(60, 140, 90));
        details->setColor(QColor(140, 70, 160));
        stack->addWidget(overview);
        stack->addWidget(details);
        for (const char* t : {"Overview", "Details"})
            tabs->addTab(QString::fromLatin1(t));
        tabs->setItemBackground(CtrlState(4), colour("tabN", QColor(70, 70, 80)));
        tabs->setItemBackground(CtrlStatePressed, colour("tabP", QColor(230, 140, 30)));
        TextStyleDesc white;
        white.color = Qt::white;
        white.horAlign = 1;
        tabs->setItemTextStyle(CtrlState(4), white);
        connect(tabs, &TEVQTabWidget::currentChanged, stack, &TEVQStackContainer::setCurrentIndex);
        FillStyle barFill = colour("bar", QColor(120, 120, 120));
        bar->setBackground(barFill);
        showHeadless(host);
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, QPoint(120, 10));
        QCOMPARE(stack->currentWidget(), details);
        QCOMPARE(details->geometry(), stack->rect());
        QVERIFY(!overview->isVisible());
        const QImage img = host.grab().toImage();
        QVERIFY(tevtest::keepRender(img, QStringLiteral("tev_containers_page.png")));
        const QPoint inStack = stack->mapTo(&host, stack->rect().center());
        QCOMPARE(img.pixelColor(inStack), QColor(140, 70, 160));
    }

    // ---- catalogue, registry -------------------------------------------------------------------------------

    void catalogueAndRegistry()
    {
        const ControlInfo info = TEVQStackContainer::getProps();
        QCOMPARE(info.props.size(), 9);
        QCOMPARE(info.props[7].options, QStringList({"Normal", "Disable"}));
        TEVQStackContainer s;
        info.props[7].setFillStyle(&s, 3, colour("dis", Qt::blue));
        QCOMPARE(s.getDisableBackground().name, QStringLiteral("dis"));
        info.props[8].setBool(&s, false);
        QVERIFY(!info.props[8].getBool(&s));

        QWidget parent;
        for (const char* type : {"qtstackcontainer", "stackcontainer"}) {
            auto* made = qobject_cast<TEVQStackContainer*>(createControlByType(type, &parent));
            QVERIFY(made);
            QCOMPARE(made->getLayoutRatio(), 1);
            QCOMPARE(made->getWidthPolicy(), LayoutSizePolicyFree);
        }
    }
};

TEV_TEST_MAIN(TestStack)
#include "tst_stack.moc"
