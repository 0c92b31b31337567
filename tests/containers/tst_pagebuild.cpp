// Building a page: the page's containers are laid out once, when the page is complete and before the loader
// returns; children keep the size Qt gives a widget when it is shown wherever a layout reads it (fixed sizes,
// spacers, containers that arrange nothing); labels are elided for the size the page gives them; a page file
// read again with the same bytes or with new ones; tasks deferred to the end of a page build. Also the proxy
// style: plain Qt widgets keep the proxied style's part rectangles.
#include "TevStyles.h"
#include "TevTest.h"
#include "CScrollBarStyle.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQPageLoader.h"
#include "TEVQSlider.h"
#include "TEVQWidgetBase.h"
#include "TEVQWindow.h"
#include "TEVQtLib.h"

#include <QFontMetrics>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QTemporaryDir>

#include <memory>

using namespace TEVQtLib;

namespace {

QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
}

// A ratio child of the given type in a row or column.
QString leaf(const char* type, const char* name, const QString& extra = QString())
{
    return QStringLiteral(R"({"type": "%1", "name": "%2", "layout": {"type": 0, "ratio": 1}, "widthPolicy": 0,
        "heightPolicy": 0%3})")
        .arg(QLatin1String(type), QLatin1String(name), extra.isEmpty() ? QString() : QStringLiteral(", ") + extra);
}

QString withText(const QString& text) { return QStringLiteral(R"("attr": {"text": "%1"})").arg(text); }

// A page of one root container (filling the window) with the given children and mode.
QString pageOf(int childLayout, const QStringList& children, int w = 300, int h = 200)
{
    return QStringLiteral(R"({"w": %1, "h": %2, "elements": [{"type": "qtcontainer", "name": "root",
        "attr": {"childLayout": %3}, "child": [%4]}]})")
        .arg(w)
        .arg(h)
        .arg(childLayout)
        .arg(children.join(QLatin1Char(',')));
}

// Shows the window and lets the event loop turn once.
void showAndTurn(QWidget& window)
{
    window.show();
    QCoreApplication::processEvents();
}

template <typename T>
T* child(QWidget* root, const char* name)
{
    return root ? root->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}

// Notes, for every widget of the application, each show event with the widget's geometry at that moment, and
// the layout requests posted to widgets.
class ShowLog : public QObject
{
public:
    ShowLog() { qApp->installEventFilter(this); }
    ~ShowLog() override { qApp->removeEventFilter(this); }
    QHash<QObject*, QList<QRect>> shows;
    int layoutRequests = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && o->isWidgetType())
            shows[o].append(static_cast<QWidget*>(o)->geometry());
        else if (e->type() == QEvent::LayoutRequest)
            ++layoutRequests;
        return false;
    }
};

} // namespace

class TestPageBuild : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        init();
        QVERIFY(m_dir.isValid());
    }

    void laidOutWhenLoadReturns()
    {
        // A row of three flexible labels and a column holding two buttons; all sizes are final when the loader
        // returns, in a window shown before and in one shown after, and the event loop changes none of them.
        const QString column = leaf("qtcontainer", "col", QStringLiteral(R"("attr": {"childLayout": 1, "space": 10},
            "child": [%1, %2])").arg(leaf("qtbutton", "b1"), leaf("qtbutton", "b2")));
        const QString path =
            write(QStringLiteral("rows.json"), pageOf(0, {leaf("qtlabel", "l1"), leaf("qtlabel", "l2"), column}));
        QVERIFY(!path.isEmpty());
        for (bool shownFirst : {true, false}) {
            TEVQWindow window;
            window.setAttribute(Qt::WA_DontShowOnScreen);
            if (shownFirst)
                showAndTurn(window);
            TEVQContainer* root = tevCreatePageByFileName(&window, path);
            QVERIFY(root);
            auto check = [&] {
                QCOMPARE(root->size(), QSize(300, 200));
                QCOMPARE(child<QWidget>(root, "l1")->geometry(), QRect(0, 0, 100, 200));
                QCOMPARE(child<QWidget>(root, "l2")->geometry(), QRect(100, 0, 100, 200));
                QCOMPARE(child<QWidget>(root, "col")->geometry(), QRect(200, 0, 100, 200));
                QCOMPARE(child<QWidget>(root, "b1")->geometry(), QRect(0, 0, 100, 95));
                QCOMPARE(child<QWidget>(root, "b2")->geometry(), QRect(0, 105, 100, 95));
            };
            check();
            if (!shownFirst)
                window.show();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            check();
            QVERIFY(child<QWidget>(root, "b1")->isVisible());
        }
    }

    void builtOffScreenAndShownOnce()
    {
        // Loaded into a window on screen, the page is built hidden and shown once when it is laid out: each
        // widget gets one show event, already at its final place, and a widget read as hidden stays hidden.
        const QString column = leaf("qtcontainer", "col", QStringLiteral(R"("attr": {"childLayout": 1},
            "child": [%1, %2, %3])").arg(leaf("qtlabel", "l2", withText(QStringLiteral("two"))),
                                         leaf("qtslider", "s1"),
                                         leaf("qtbutton", "hidden", QStringLiteral(R"("visibility": false)"))));
        const QString path = write(QStringLiteral("shown.json"),
                                   pageOf(0, {leaf("qtlabel", "l1", withText(QStringLiteral("one"))),
                                              leaf("qtbutton", "b1", withText(QStringLiteral("ok"))), column}));
        QVERIFY(!path.isEmpty());
        TEVQWindow window;
        window.setAttribute(Qt::WA_DontShowOnScreen);
        showAndTurn(window);
        ShowLog log;
        TEVQContainer* root = tevCreatePageByFileName(&window, path);
        QVERIFY(root);
        const QList<QWidget*> widgets = QList<QWidget*>{root} + root->findChildren<QWidget*>();
        QCOMPARE(widgets.size(), 7);
        for (QWidget* w : widgets) {
            if (w->objectName() == QLatin1String("hidden")) {
                QVERIFY(w->isHidden());
                QVERIFY(!log.shows.contains(w));
                continue;
            }
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
            QCOMPARE(log.shows.value(w), QList<QRect>{w->geometry()});
        }
        QCOMPARE(root->geometry(), QRect(0, 0, 300, 200));
        QCOMPARE(child<QWidget>(root, "col")->geometry(), QRect(200, 0, 100, 200));
        // Texts, fonts and palettes were set while nothing was on screen: no layout request was posted.
        QCOMPARE(log.layoutRequests, 0);
        QCoreApplication::processEvents();
        QCOMPARE(log.shows.value(child<QWidget>(root, "l2")).size(), 1);
    }

    void hostContainerArrangesTopElements()
    {
        // A container as the host: its row takes the page's two top elements before the loader returns.
        const QString tops =
            QStringLiteral(R"({"elements": [%1, %2]})").arg(leaf("qtcontainer", "a"), leaf("qtcontainer", "b"));
        const QString path = write(QStringLiteral("tops.json"), tops);
        TEVQContainer host;
        host.resize(200, 50);
        host.setChildLayout(TEVQContainer::Horizontal);
        tevCreatePageByFileName(&host, path);
        QCOMPARE(child<QWidget>(&host, "a")->geometry(), QRect(0, 0, 100, 50));
        QCOMPARE(child<QWidget>(&host, "b")->geometry(), QRect(100, 0, 100, 50));
        QCoreApplication::processEvents();
        QCOMPARE(child<QWidget>(&host, "b")->geometry(), QRect(100, 0, 100, 50));
    }

    void readSizesKeepShownSize()
    {
        // Where the layout reads a child's own size, the child has the size it was shown with (its size hint with
        // the text it is made with), not what its later text would ask for.
        const QSize shown = TEVQLabel().sizeHint();
        const QString fixed = leaf("qtlabel", "fixed", withText(QStringLiteral("a much longer text than the first")))
                                  .replace(QStringLiteral("\"widthPolicy\": 0"), QStringLiteral("\"widthPolicy\": 1"));
        const QString rest = leaf("qtlabel", "rest");
        struct Case { const char* file; QString text; int restX; };
        const QString spacer =
            QStringLiteral(R"({"type": "qtspacer", "name": "gap", "layout": {"type": 0, "ratio": 1}})");
        const QString flexible = leaf("qtlabel", "flex");
        const Case cases[] = {
            {"fixed.json", pageOf(0, {fixed, rest}), shown.width()}, // a fixed child keeps its width
            {"spacer.json", pageOf(0, {flexible, spacer, rest}), -1}, // spacers: every other child keeps its width
            {"nouse.json", pageOf(4, {flexible}), -1},                // a container that arranges nothing
        };
        for (const Case& c : cases) {
            const QString path = write(QString::fromLatin1(c.file), c.text);
            TEVQWindow window;
            TEVQContainer* root = tevCreatePageByFileName(&window, path);
            QVERIFY2(root, c.file);
            if (QWidget* f = child<QWidget>(root, "fixed")) {
                QCOMPARE(f->width(), shown.width());
                QCOMPARE(f->height(), 200); // the cross direction is filled
                QCOMPARE(child<QWidget>(root, "rest")->geometry(), QRect(c.restX, 0, 300 - c.restX, 200));
            }
            if (QWidget* flex = child<QWidget>(root, "flex")) {
                QCOMPARE(flex->width(), shown.width());
                if (QWidget* gap = child<QWidget>(root, "gap")) {
                    QCOMPARE(gap->x(), shown.width());
                    QCOMPARE(child<QWidget>(root, "rest")->x(), 300 - shown.width());
                } else {
                    QCOMPARE(flex->size(), shown);
                }
            }
        }
    }

    void labelsElidedForTheirPageSize()
    {
        const QString full = QStringLiteral("A label text far too long for the narrow row it is placed in");
        const QStringList labels{leaf("qtlabel", "long", withText(full)),
                                 leaf("qtlabel", "short", withText(QStringLiteral("ok")))};
        const QString path = write(QStringLiteral("elide.json"), pageOf(0, labels, 160, 40));
        for (bool shownFirst : {true, false}) {
            TEVQWindow window;
            window.setAttribute(Qt::WA_DontShowOnScreen);
            if (shownFirst)
                showAndTurn(window);
            TEVQContainer* root = tevCreatePageByFileName(&window, path);
            QVERIFY(root);
            if (!shownFirst)
                showAndTurn(window);
            auto* label = child<TEVQLabel>(root, "long");
            QCOMPARE(label->width(), 80);
            const QString expected = QFontMetrics(label->painter()->textFont()).elidedText(full, Qt::ElideRight, 80);
            QVERIFY(expected != full);
            QCOMPARE(label->QLabel::text(), expected);
            QCOMPARE(label->painter()->text, full);
            QCOMPARE(child<TEVQLabel>(root, "short")->QLabel::text(), QStringLiteral("ok"));
        }
    }

    void labelsElidedBeforeTheShow()
    {
        // Built into a window not shown yet, the labels hold their elided text when the loader returns; the
        // show then changes no text and asks no container for a new layout.
        const QString full = QStringLiteral("A label text far too long for the narrow row it is placed in");
        const QString inner = leaf("qtcontainer", "row", QStringLiteral(R"("attr": {"childLayout": 0}, "child": [%1, %2])")
                                                             .arg(leaf("qtlabel", "a", withText(full)),
                                                                  leaf("qtlabel", "b", withText(full))));
        const QString path = write(QStringLiteral("elideearly.json"), pageOf(1, {inner}, 160, 40));
        TEVQWindow window;
        window.setAttribute(Qt::WA_DontShowOnScreen);
        TEVQContainer* root = tevCreatePageByFileName(&window, path);
        QVERIFY(root);
        auto* a = child<TEVQLabel>(root, "a");
        auto* b = child<TEVQLabel>(root, "b");
        QCOMPARE(a->width(), 80);
        const QString expected = QFontMetrics(a->painter()->textFont()).elidedText(full, Qt::ElideRight, 80);
        QVERIFY(expected != full);
        QCOMPARE(a->QLabel::text(), expected);
        QCOMPARE(b->QLabel::text(), expected);
        {
            ShowLog log;
            showAndTurn(window);
            QCoreApplication::processEvents();
            QCOMPARE(log.layoutRequests, 0);
        }
        QCOMPARE(a->QLabel::text(), expected);
        QCOMPARE(a->painter()->text, full);

        // Laid out anew afterwards, the label is elided for its new width, and the full text comes back when it
        // fits.
        window.resize(600, 40);
        QCoreApplication::processEvents();
        QTRY_COMPARE(a->width(), 300);
        QCOMPARE(a->QLabel::text(), QFontMetrics(a->painter()->textFont()).elidedText(full, Qt::ElideRight, 300));
        window.resize(2000, 40);
        QTRY_COMPARE(a->QLabel::text(), full);

        // In a container that does not arrange its children, a label keeps its text until it is resized.
        const QString loose = leaf("qtcontainer", "loose", QStringLiteral(R"("attr": {"childLayout": 4}, "child": [%1])")
                                                               .arg(leaf("qtlabel", "c", withText(full))));
        TEVQWindow other;
        TEVQContainer* looseRoot = tevCreatePageByFileName(&other, write(QStringLiteral("loose.json"), pageOf(1, {loose}, 160, 40)));
        QVERIFY(looseRoot);
        QCOMPARE(child<TEVQLabel>(looseRoot, "c")->QLabel::text(), full);
    }

    void sameFileReadAgain()
    {
        // A page read twice with the same bytes gives two separate, equal trees; new bytes of the same length are
        // read as new.
        const auto page = [](const char* text) {
            return pageOf(1, {leaf("qtlabel", "t", withText(QLatin1String(text)))});
        };
        const QString path = write(QStringLiteral("again.json"), page("one"));
        TEVQWindow first;
        TEVQWindow second;
        TEVQContainer* a = tevCreatePageByFileName(&first, path);
        TEVQContainer* b = tevCreatePageByFileName(&second, path);
        QVERIFY(a && b && a != b);
        QCOMPARE(child<TEVQLabel>(a, "t")->painter()->text, QStringLiteral("one"));
        delete a;
        QCOMPARE(child<TEVQLabel>(b, "t")->painter()->text, QStringLiteral("one"));

        write(QStringLiteral("again.json"), page("two"));
        TEVQWindow third;
        TEVQContainer* c = tevCreatePageByFileName(&third, path);
        QCOMPARE(child<TEVQLabel>(c, "t")->painter()->text, QStringLiteral("two"));

        // A broken document after a good one is not taken for the good one.
        write(QStringLiteral("again.json"), QStringLiteral("{\"elements\": ["));
        TEVQWindow fourth;
        QVERIFY(!tevCreatePageByFileName(&fourth, path));
    }

    void tasksAfterPageLayout()
    {
        QStringList ran;
        QObject owner;
        tevAfterPageLayout(&owner, [&] { ran << QStringLiteral("now"); });
        QCOMPARE(ran, QStringList{QStringLiteral("now")});
        ran.clear();
        {
            detail::PageBuildScope building;
            QVERIFY(tevIsBuildingPage());
            auto* gone = new QObject;
            tevAfterPageLayout(&owner, [&] { ran << QStringLiteral("first"); });
            tevAfterPageLayout(gone, [&] { ran << QStringLiteral("dropped"); });
            tevAfterPageLayout(&owner, [&] {
                ran << QStringLiteral("second");
                tevAfterPageLayout(&owner, [&] { ran << QStringLiteral("third"); });
            });
            delete gone;
            QVERIFY(ran.isEmpty());
            detail::runAfterPageLayoutTasks();
        }
        QVERIFY(!tevIsBuildingPage());
        QCOMPARE(ran, (QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third")}));

        // A container made by code while a page is built (not one of the page's elements) is laid out when the
        // page is complete.
        TEVQContainer box;
        box.resize(100, 40);
        box.setChildLayout(TEVQContainer::Horizontal);
        QWidget* a = nullptr;
        QWidget* b = nullptr;
        {
            detail::PageBuildScope building;
            a = new QWidget(&box);
            b = new QWidget(&box);
            box.resize(300, 40);
            QCOMPARE(b->geometry(), QRect(0, 0, 100, 30)); // not placed yet
            detail::runAfterPageLayoutTasks();
        }
        QCOMPARE(a->geometry(), QRect(0, 0, 150, 30));
        QCoreApplication::processEvents();
        QCOMPARE(b->geometry(), QRect(150, 0, 150, 30));
    }

    void everyHolderTakesEveryHolderAsChild()
    {
        // Page "child" elements read into widgets that own children of their own (bars, viewports, content
        // widgets, pages): building, laying out, painting, then deleting the children one by one and the
        // holder last never reaches a freed widget.
        const QStringList holders{"qtcontainer", "qtstackcontainer", "qttab", "qtgroupbox", "qtsplitter",
                                  "qtscrollview", "qtproperty", "canvas", "Window"};
        for (const QString& parentType : holders) {
            QStringList children;
            for (const QString& type : holders) {
                children << QStringLiteral(R"({"type": "%1", "name": "in_%1", "x": 5, "y": 5, "w": 120, "h": 90,
                    "child": [{"type": "qtcontainer", "name": "deep", "w": 60, "h": 40,
                               "child": [{"type": "qtlabel", "name": "leaf", "attr": {"text": "x"}}]}]})")
                                .arg(type);
            }
            const QString text = QStringLiteral(R"({"type": "%1", "name": "holder", "w": 400, "h": 300,
                "attr": {"childLayout": 1}, "child": [%2]})")
                                     .arg(parentType, children.join(QLatin1Char(',')));
            QWidget host;
            host.resize(500, 400);
            QPointer<QWidget> holder = createChild(tevtest::parse(text.toUtf8().constData()), &host);
            QVERIFY2(holder, qPrintable(parentType));
            QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);
            host.render(&image);
            holder->resize(300, 200);
            QCoreApplication::processEvents();
            host.render(&image);
            QList<QPointer<QWidget>> inner;
            for (QWidget* w : holder->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^in_"))))
                inner << w;
            QVERIFY2(inner.size() >= holders.size() - 1, qPrintable(parentType));
            for (const QPointer<QWidget>& w : inner) {
                delete w.data();
                QCoreApplication::processEvents();
                holder->resize(holder->width() + 1, holder->height());
                host.render(&image);
            }
            delete holder.data();
            QCoreApplication::processEvents();
        }
    }

    void proxyStyleRectangles()
    {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        CScrollBarStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
        QSlider plain(Qt::Horizontal);
        plain.setStyle(&style);
        plain.resize(120, 20);
        TEVQSlider ours;
        ours.setStyle(&style);
        ours.resize(120, 20);
        QStyleOptionSlider option;
        option.initFrom(&plain);
        option.orientation = Qt::Horizontal;
        option.maximum = 100;
        option.sliderPosition = option.sliderValue = 30;
        option.subControls = QStyle::SC_All;
        // A plain slider: the proxied style's own rectangles, by which it draws the slider.
        for (QStyle::SubControl part : {QStyle::SC_SliderHandle, QStyle::SC_SliderGroove}) {
            const QRect r = style.subControlRect(QStyle::CC_Slider, &option, part, &plain);
            QCOMPARE(r, fusion->subControlRect(QStyle::CC_Slider, &option, part, &plain));
            QVERIFY(!r.isEmpty());
        }
        // The framework's slider: Qt's common style, with its own thumb.
        option.initFrom(&ours);
        const QRect thumb = style.subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &ours);
        QCOMPARE(thumb.size(), ours.getThumbBtnSize());
        QCOMPARE(thumb.top(), (ours.height() - ours.getThumbBtnSize().height()) / 2);
        const QRect groove = style.subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &ours);
        QCOMPARE(groove,
                 style.QCommonStyle::subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &ours));

        // Drawing the plain slider warns of nothing (it used to paint its handle into an empty pixmap).
        QImage image(plain.size(), QImage::Format_ARGB32_Premultiplied);
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        plain.render(&image);
        qInstallMessageHandler(previous);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
    }

private:
    QString write(const QString& name, const QString& text)
    {
        const QString path = m_dir.filePath(name);
        return tevtest::writeFile(path, text.toUtf8()) ? path : QString();
    }
    QTemporaryDir m_dir;
};

TEV_TEST_MAIN(TestPageBuild)
#include "tst_pagebuild.moc"
