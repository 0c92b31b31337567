// The design canvas and its pages: the page writer read back through the page loader, opening and saving
// files, creating controls, scrolling, and selecting, moving and resizing with the mouse.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQCanvas.h"
#include "TEVQCanvasWindow.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQLabel.h"
#include "TEVQPageLoader.h"
#include "TEVQResourceManager.h"
#include "TEVQRibbonBar.h"
#include "TEVQScrollBar.h"
#include "TEVQtLib.h"

#include <QDirIterator>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

#include <json/json.h>

#include <memory>

using namespace TEVQtLib;

namespace {

Json::Value parseText(const QString& text)
{
    Json::Value root;
    json::parse(text.toUtf8(), root);
    return root;
}

Json::Value pageJson(TEVQCanvasWindow& page)
{
    QString text;
    page.toJsonString(text);
    return parseText(text);
}

// Every named framework widget below w, depth first, as "type name x,y,w,h".
void describeTree(QWidget* w, QStringList& out)
{
    for (QObject* o : w->children()) {
        if (!o->isWidgetType())
            continue;
        QWidget* c = static_cast<QWidget*>(o);
        // Named widgets only: the unnamed parts a control builds for itself (a ribbon's rows) are laid out by
        // the control, not written to the page.
        ITEVQWidgetBase* control = tevWidgetInterface(c);
        if (control && !c->objectName().isEmpty()) {
            const QRect g = c->geometry();
            out << QStringLiteral("%1 %2 %3,%4,%5,%6")
                       .arg(control->getTypeName(), c->objectName())
                       .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
        }
        describeTree(c, out);
    }
}

QStringList treeOf(QWidget* w)
{
    QStringList out;
    describeTree(w, out);
    return out;
}

void sendMove(QWidget* w, const QPoint& pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(w, &e);
}

void drag(QWidget* w, const QPoint& from, const QPoint& to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mousePress(w, Qt::LeftButton, modifiers, from);
    sendMove(w, to, modifiers);
    QTest::mouseRelease(w, Qt::LeftButton, modifiers, to);
}

// A page: the root container "root" (a direct child of the page) at the page's origin, floating, holding the
// labels "a" at (20, 20) and "b" at (200, 20), each 100 x 40, and the container "box" at (50, 100) 150 x 100
// with the label "inner" at (10, 10) 200 x 30 that reaches out of it.
const char kEditPage[] = R"({
  "w": 500, "h": 400,
  "elements": [
    {"type": "qtcontainer", "name": "root", "x": 0, "y": 0, "w": 500, "h": 400, "attr": {"childLayout": 4},
     "child": [
       {"type": "qtlabel", "name": "a", "x": 20, "y": 20, "w": 100, "h": 40},
       {"type": "qtlabel", "name": "b", "x": 200, "y": 20, "w": 100, "h": 40},
       {"type": "qtcontainer", "name": "box", "x": 50, "y": 100, "w": 150, "h": 100, "attr": {"childLayout": 4},
        "child": [{"type": "qtlabel", "name": "inner", "x": 10, "y": 10, "w": 200, "h": 30}]}
     ]}
  ]
})";

// A canvas of the given size in a host window, with its two scroll bars beside it, the host shown.
struct CanvasWithBars {
    QWidget host;
    TEVQCanvas* canvas;
    TEVQScrollBar* h;
    TEVQScrollBar* v;
    CanvasWithBars(QSize hostSize, QSize canvasSize)
        : canvas(new TEVQCanvas(&host)), h(new TEVQScrollBar(Qt::Horizontal, &host)),
          v(new TEVQScrollBar(Qt::Vertical, &host))
    {
        host.resize(hostSize);
        canvas->setGeometry(0, 0, canvasSize.width(), canvasSize.height());
        h->setGeometry(0, canvasSize.height(), canvasSize.width(), 12);
        v->setGeometry(canvasSize.width(), 0, 12, canvasSize.height());
        canvas->SetScrollbar(h, true);
        canvas->SetScrollbar(v, false);
        host.show();
    }
};

// A bound creator's label that closes the page it is read into as soon as it is named.
QWidget* pageClosingLabel(const QString&, const QString& type)
{
    if (type != QLatin1String("qtlabel"))
        return nullptr;
    auto* label = new TEVQLabel;
    QObject::connect(label, &QObject::objectNameChanged, label, [label] {
        for (QWidget* w = label->parentWidget(); w; w = w->parentWidget()) {
            if (dynamic_cast<TEVQCanvasWindow*>(w)) {
                delete w;
                return;
            }
        }
    });
    return label;
}

// A bound creator's label that deletes g_doomedCanvas, and the page being built on it, as soon as it is named.
TEVQCanvas* g_doomedCanvas = nullptr;
QWidget* canvasDeletingLabel(const QString&, const QString& type)
{
    if (type != QLatin1String("qtlabel"))
        return nullptr;
    auto* label = new TEVQLabel;
    QObject::connect(label, &QObject::objectNameChanged, label, [] { delete std::exchange(g_doomedCanvas, nullptr); });
    return label;
}

} // namespace

class TestCanvas : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writePage(const QString& name, const QByteArray& text)
    {
        const QString path = m_dir.filePath(name);
        tevtest::writeFile(path, text);
        return path;
    }

    // Opens, in canvas, a page file of that name holding one ribbon bar "rib" with a "Home" page; the bar, or null.
    TEVQRibbonBar* openRibbonPage(TEVQCanvas& canvas, const QString& name)
    {
        const QString path = writePage(name,
            R"({"w": 680, "h": 280, "elements": [{"type": "qtribbonbar", "name": "rib", "w": 600, "h": 160,
                "attr": {"ribbon": {"schemaVersion": 1, "pages": [{"id": "home", "text": "Home"}]}}}]})");
        if (!canvas.OpenJsonFile(path) || !canvas.GetCurWindow())
            return nullptr;
        return canvas.GetCurWindow()->findChild<TEVQRibbonBar*>(QStringLiteral("rib"));
    }

    // A shown canvas of 700 x 500 with the editing page open.
    std::unique_ptr<TEVQCanvas> editCanvas()
    {
        auto canvas = std::make_unique<TEVQCanvas>();
        canvas->resize(700, 500);
        canvas->show();
        if (!QTest::qWaitForWindowExposed(canvas.get()))
            return nullptr;
        const QString path = writePage(QStringLiteral("edit.json"), kEditPage);
        if (!canvas->OpenJsonFile(path))
            return nullptr;
        return canvas;
    }

    QWidget* find(TEVQCanvas& canvas, const char* name)
    {
        return canvas.GetCurWindow()->findChild<QWidget*>(QLatin1String(name));
    }

    // The canvas point of a control's page point.
    QPoint at(TEVQCanvas& canvas, QWidget* w, int dx, int dy)
    {
        QPoint origin(0, 0);
        for (QWidget* p = w; p && p != &canvas; p = p->parentWidget())
            origin += p->pos();
        return origin + QPoint(dx, dy);
    }

private slots:
    void initTestCase()
    {
        tevInitQtControl();
        QVERIFY(m_dir.isValid());
    }

    // ---- the page ----

    void writerKeys()
    {
        TEVQCanvasWindow page;
        page.resize(320, 240);
        Json::Value root = pageJson(page);
        QCOMPARE(json::getInt(root, "w"), 320);
        QCOMPARE(json::getInt(root, "h"), 240);
        QCOMPARE(json::getInt(root, "minW"), 400);
        QCOMPARE(json::getInt(root, "minH"), 400);
        QCOMPARE(json::getBool(root, "drag"), true);
        QCOMPARE(json::getInt(root, "dbheight"), 40);
        QVERIFY(!json::has(root, "resize") && !json::has(root, "trans") && !json::has(root, "dbmax"));
        // An empty page still writes its (empty) elements, so the canvas can open it again.
        QVERIFY(json::isArray(json::get(root, "elements")) && json::size(json::get(root, "elements")) == 0);

        page.setCaptionHeight(35);
        QVERIFY(!json::has(pageJson(page), "dbheight"));
        page.setCaptionHeight(0);
        QVERIFY(!page.getCaptionHeight());
        QCOMPARE(json::getInt(pageJson(page), "dbheight", -1), 0);

        // Values that differ from the loader's defaults survive: no drag, a zero minimum, translucency.
        page.setCanDrag(false);
        page.setMinWidth(0);
        page.setTransparent(true);
        root = pageJson(page);
        QCOMPARE(json::getBool(root, "drag", true), false);
        QCOMPARE(json::getInt(root, "minW", -1), 0);
        QCOMPARE(json::getBool(root, "trans"), true);

        // Plain Qt children are not elements.
        new QWidget(&page);
        QCOMPARE(int(json::size(json::get(pageJson(page), "elements"))), 0);

        page.setResizeable(true);
        QVERIFY(page.hasMouseTracking());
        QVERIFY(json::getBool(pageJson(page), "resize"));
    }

    void rootKeysRoundTrip()
    {
        TEVQCanvas canvas;
        const QString path = writePage(QStringLiteral("keys.json"),
            R"({"w": 300, "h": 200, "minW": 0, "minH": 120, "drag": false, "resize": true,
                "onlyDragCaption": true, "trans": true, "dbheight": 20, "dbmax": true, "elements": []})");
        QVERIFY(canvas.OpenJsonFile(path));
        TEVQCanvasWindow* page = canvas.GetCurWindow();
        QVERIFY(page);
        QCOMPARE(page->size(), QSize(300, 200));
        QCOMPARE(page->getMinWidth(), 0);
        QCOMPARE(page->getMinHeight(), 120);
        QVERIFY(!page->getCanGrag() && page->getResizeable() && page->getOnlyDragCaption() && page->getTransparent());

        const QString copy = m_dir.filePath(QStringLiteral("keys.json"));
        QVERIFY(canvas.SavePage(copy));
        // The caption keys, which the page loader leaves alone, are written back as the file had them.
        const Json::Value saved = parseText(QString::fromUtf8(tevtest::readFile(copy)));
        QCOMPARE(json::getInt(saved, "dbheight"), 20);
        QVERIFY(json::getBool(saved, "dbmax"));
        TEVQCanvasWindow back;
        tevCreatePageByFileName(&back, copy);
        QCOMPARE(back.size(), QSize(300, 200));
        QCOMPARE(back.getMinWidth(), 0);
        QCOMPARE(back.getMinHeight(), 120);
        QVERIFY(!back.getCanGrag() && back.getResizeable() && back.getOnlyDragCaption() && back.getTransparent());
        // And the canvas opens what it saved, also without elements.
        TEVQCanvas other;
        QVERIFY(other.OpenJsonFile(copy));
    }

    void hitTest()
    {
        TEVQCanvasWindow page;
        page.resize(400, 400);
        TEVQCanvasWindow::setVisibilityOf(&page, true);
        auto* box = new QWidget(&page);
        box->setGeometry(50, 50, 100, 100);
        auto* control = new QWidget(box);
        control->setGeometry(10, 10, 200, 20);
        for (QWidget* w : {box, control})
            TEVQCanvasWindow::setVisibilityOf(w, true);
        QCOMPARE(page.HitTestWithChildren(&page, 65, 65), control);
        QCOMPARE(page.HitTestWithChildren(&page, 125, 125), box);
        // The part of the control outside its container is not hit; the page is.
        QCOMPARE(page.HitTestWithChildren(&page, 180, 65), static_cast<QWidget*>(&page));
        QCOMPARE(page.HitTestWithChildren(&page, 500, 500), nullptr);
        // A page whose "visibility" is false hits nothing.
        TEVQCanvasWindow::setVisibilityOf(&page, false);
        QCOMPARE(page.HitTestWithChildren(&page, 65, 65), nullptr);
    }

    // Every page fixture, opened on the canvas and saved, loads back into the same tree.
    void fixturesRoundTrip()
    {
        int pagesSeen = 0;
        QDirIterator it(tevtest::dataPath(QStringLiteral("pages")), {QStringLiteral("*.json")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            Json::Value doc;
            if (!json::parse(tevtest::readFile(source), doc) || !json::has(doc, "elements") ||
                !json::has(json::at(json::get(doc, "elements"), 0), "type"))
                continue; // style and theme documents
            ++pagesSeen;
            TEVQCanvas canvas;
            QVERIFY2(canvas.OpenJsonFile(source), qPrintable(source));
            const QString saved = m_dir.filePath(QStringLiteral("rt_") + QFileInfo(source).fileName());
            // The canvas keys the page by the path it opened; saving writes there, so save a copy through a
            // second key.
            QString text;
            canvas.GetCurWindow()->toJsonString(text);
            QVERIFY(tevtest::writeFile(saved, text.toUtf8()));

            // The saved file, opened on a second canvas, gives the same tree as the page it came from.
            TEVQCanvas second;
            QVERIFY2(second.OpenJsonFile(saved), qPrintable(saved));
            TEVQCanvasWindow* original = canvas.GetCurWindow();
            TEVQCanvasWindow* reloaded = second.GetCurWindow();
            const QStringList a = treeOf(original);
            QVERIFY2(!a.isEmpty(), qPrintable(source));
            QCOMPARE(treeOf(reloaded), a);
            QCOMPARE(reloaded->size(), original->size());
            // Keys and styles: each element writes the same JSON again.
            QCOMPARE(json::writeStyled(pageJson(*reloaded)), json::writeStyled(pageJson(*original)));
        }
        QVERIFY(pagesSeen >= 4);
    }

    // A page opens on the canvas laid out as in a window: the root container without a rectangle covers the
    // page, so the controls docked in it keep their sizes, on the canvas and in the file saved.
    void rootFillsThePageAndDockedSizesSurvive()
    {
        TEVQCanvas canvas;
        const QString path = writePage(QStringLiteral("docked.json"),
            R"({"w": 300, "h": 200, "elements": [{"type": "qtcontainer", "name": "root", "attr": {"childLayout": 0},
                "child": [{"type": "qtbutton", "name": "b", "absoluteDockHor": 2, "absoluteDockVer": 1,
                           "absoluteDockOffsetX": -3, "w": 40, "h": 20}]}]})");
        QVERIFY(canvas.OpenJsonFile(path));
        QCOMPARE(find(canvas, "root")->geometry(), QRect(0, 0, 300, 200));
        QCOMPARE(find(canvas, "b")->geometry(), QRect(257, 90, 40, 20));
        QVERIFY(canvas.SavePage(path));
        const Json::Value b = json::at(json::get(json::at(json::get(parseText(QString::fromUtf8(tevtest::readFile(path))),
                                                                       "elements"), 0), "child"), 0);
        QCOMPARE(json::getInt(b, "w"), 40);
        QCOMPARE(json::getInt(b, "h"), 20);
    }

    // A page keeps the geometry of its root containers through opening, saving and opening again: a root with
    // its own rectangle keeps it (also beside another root), a root without one covers the page. The controls
    // docked at the far right of a root sit against its own right edge.
    void rootGeometrySurvivesSaving_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QVector<QRect>>("rects");
        const QByteArray button = R"("attr": {"childLayout": 0}, "child": [{"type": "qtbutton", "name": "b",
            "absoluteDockHor": 2, "absoluteDockOffsetX": -3, "w": 40, "h": 20}])";
        QTest::newRow("own rectangle")
            << QByteArray(R"({"w": 640, "h": 480, "elements": [{"type": "qtcontainer", "name": "root", "x": 20,
                   "y": 30, "w": 320, "h": 240, )" + button + "}]}")
            << QStringList{"root", "b"} << QVector<QRect>{{20, 30, 320, 240}, {277, 0, 40, 20}};
        QTest::newRow("side by side")
            << QByteArray(R"({"w": 640, "h": 480, "elements": [
                   {"type": "qtcontainer", "name": "left", "w": 300, "h": 480},
                   {"type": "qtcontainer", "name": "right", "x": 300, "w": 340, "h": 400, )" + button + "}]}")
            << QStringList{"left", "right", "b"}
            << QVector<QRect>{{0, 0, 300, 480}, {300, 0, 340, 400}, {297, 0, 40, 20}};
        QTest::newRow("no rectangle")
            << QByteArray(R"({"w": 640, "h": 480, "elements": [{"type": "qtcontainer", "name": "root", )" + button +
                          "}]}")
            << QStringList{"root", "b"} << QVector<QRect>{{0, 0, 640, 480}, {597, 0, 40, 20}};
        // A page file without a size of its own opens at the size a window gets, not as a sliver.
        QTest::newRow("no page size")
            << QByteArray(R"({"elements": [{"type": "qtcontainer", "name": "root", )" + button + "}]}")
            << QStringList{"root", "b"} << QVector<QRect>{{0, 0, 640, 480}, {597, 0, 40, 20}};
    }

    void rootGeometrySurvivesSaving()
    {
        QFETCH(QByteArray, page);
        QFETCH(QStringList, names);
        QFETCH(QVector<QRect>, rects);
        const QString path = writePage(QStringLiteral("roots.json"), page);
        const auto geometries = [&names](TEVQCanvas& canvas) {
            QVector<QRect> out;
            for (const QString& name : names) {
                QWidget* w = canvas.GetCurWindow()->findChild<QWidget*>(name);
                out << (w ? w->geometry() : QRect());
            }
            return out;
        };
        TEVQCanvas canvas;
        QVERIFY(canvas.OpenJsonFile(path));
        QCOMPARE(geometries(canvas), rects);
        QVERIFY(canvas.SavePage(path));
        // The file holds each root's rectangle as it was opened (every name but the last, the button, is a root's,
        // in page order).
        const Json::Value elements = json::get(parseText(QString::fromUtf8(tevtest::readFile(path))), "elements");
        QCOMPARE(int(json::size(elements)), names.size() - 1);
        for (int i = 0; i < names.size() - 1; ++i) {
            const Json::Value& e = json::at(elements, Json::ArrayIndex(i));
            QCOMPARE(json::getQString(e, "name"), names.at(i));
            const QRect saved(json::getInt(e, "x"), json::getInt(e, "y"), json::getInt(e, "w"), json::getInt(e, "h"));
            QCOMPARE(saved, rects.at(i));
        }
        TEVQCanvas second;
        QVERIFY(second.OpenJsonFile(path));
        QCOMPARE(geometries(second), rects);
    }

    // The content of a scroll view is the page's like any nested container: saved with the page, shown on the
    // canvas and picked with the mouse.
    void scrollViewContent()
    {
        TEVQCanvas canvas;
        canvas.resize(400, 300);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        const QString path = writePage(QStringLiteral("scrolled.json"),
            R"({"w": 300, "h": 200, "elements": [{"type": "qtcontainer", "name": "root", "attr": {"childLayout": 4},
                "child": [{"type": "qtscrollview", "name": "view", "x": 10, "y": 10, "w": 200, "h": 150,
                  "child": [{"type": "qtcontainer", "name": "content", "w": 400, "h": 300, "attr": {"childLayout": 4},
                    "child": [{"type": "qtlabel", "name": "deep", "x": 20, "y": 30, "w": 60, "h": 20,
                               "attr": {"text": "deep"}}]}]}]}]})");
        QVERIFY(canvas.OpenJsonFile(path));
        QWidget* deep = find(canvas, "deep");
        QVERIFY(deep);
        QVERIFY(canvas.SavePage(path));
        TEVQCanvas second;
        QVERIFY(second.OpenJsonFile(path));
        QCOMPARE(treeOf(second.GetCurWindow()), treeOf(canvas.GetCurWindow()));
        QVERIFY(second.GetCurWindow()->findChild<QWidget*>(QStringLiteral("deep")));

        // The label's text shows inside the view: its row holds pixels of another colour than the view's.
        const QImage shot = canvas.grab().toImage();
        tevtest::keepRender(shot, QStringLiteral("canvas_scrollview.png"));
        const QPoint origin = at(canvas, deep, 0, 0);
        const QRgb ground = shot.pixel(origin + QPoint(100, 10));
        int inked = 0;
        for (int x = 0; x < 60; ++x)
            for (int y = 0; y < 20; ++y)
                inked += shot.pixel(origin + QPoint(x, y)) != ground;
        QVERIFY(inked > 10);
        QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, at(canvas, deep, 5, 5));
        QCOMPARE(canvas.selectedControls(), QList<QWidget*>{deep});
    }

    // A page holding one control of every catalogued type, made on the canvas and saved, opens again as the
    // same tree.
    void everyTypeRoundTrip()
    {
        TEVQCanvas canvas;
        const QString path = writePage(QStringLiteral("every.json"),
            R"({"w": 800, "h": 600, "elements": [{"type": "qtcontainer", "name": "root", "attr": {"childLayout": 4}}]})");
        QVERIFY(canvas.OpenJsonFile(path));
        QWidget* root = canvas.GetCurWindow()->findChild<QWidget*>(QStringLiteral("root"));
        QVERIFY(root);
        canvas.AddSelectedControl(root);
        int made = 0;
        for (ControlInfo* info : tevGetAllControlInfo()) {
            const QString type = QString::fromStdString(info->typeName);
            // The page itself; and a scroll bar element, which the page loader leaves to the view that owns it
            // outside project resources.
            if (type == QLatin1String("window") || type == QLatin1String("qtscrollbar"))
                continue;
            QVERIFY2(canvas.createControl(type), qPrintable(type));
            ++made;
        }
        QVERIFY(made >= 20);
        // Painted on the canvas, each selected in turn.
        canvas.resize(900, 700);
        canvas.grab();
        const QList<QWidget*> controls = root->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* control : controls) {
            canvas.RemoveAllSelected();
            canvas.AddSelectedControl(control);
            canvas.grab();
        }
        canvas.RemoveAllSelected();
        canvas.AddSelectedControl(root);
        QVERIFY(canvas.SavePage(path));
        TEVQCanvas second;
        QVERIFY(second.OpenJsonFile(path));
        QCOMPARE(treeOf(second.GetCurWindow()), treeOf(canvas.GetCurWindow()));
        QCOMPARE(json::writeStyled(pageJson(*second.GetCurWindow())), json::writeStyled(pageJson(*canvas.GetCurWindow())));
    }

    // Every catalogued type, selected with a click and moved with the mouse on a shown canvas: the control
    // takes the move, and the saved page brings it back where it was left.
    void everyTypeMovedAndSaved()
    {
        TEVQCanvas canvas;
        canvas.resize(1200, 900);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        const QString path = writePage(QStringLiteral("moved.json"),
            R"({"w": 1100, "h": 800, "elements": [{"type": "qtcontainer", "name": "root", "x": 0, "y": 0, "w": 1100,
                "h": 800, "attr": {"childLayout": 4}}]})");
        QVERIFY(canvas.OpenJsonFile(path));
        QWidget* root = canvas.GetCurWindow()->findChild<QWidget*>(QStringLiteral("root"));
        QVERIFY(root);
        int i = 0;
        QStringList moved;
        for (ControlInfo* info : tevGetAllControlInfo()) {
            const QString type = QString::fromStdString(info->typeName);
            if (type == QLatin1String("window") || type == QLatin1String("qtscrollbar"))
                continue;
            canvas.RemoveAllSelected();
            canvas.AddSelectedControl(root);
            QVERIFY2(canvas.createControl(type), qPrintable(type));
            QWidget* control = root->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).last();
            const QPoint cell(20 + (i % 6) * 170, 20 + (i / 6) * 150);
            ++i;
            tevWidgetInterface(control)->setGeometry(cell.x(), cell.y(), 100, 100);
            QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, at(canvas, control, 50, 50));
            QVERIFY2(canvas.selectedControls() == QList<QWidget*>{control}, qPrintable(type));
            drag(&canvas, at(canvas, control, 50, 50), at(canvas, control, 63, 71));
            QVERIFY2(control->pos() == cell + QPoint(13, 21), qPrintable(type));
            moved << control->objectName();
        }
        QVERIFY(canvas.SavePage(path));
        TEVQCanvas second;
        QVERIFY(second.OpenJsonFile(path));
        QCOMPARE(treeOf(second.GetCurWindow()), treeOf(canvas.GetCurWindow()));
    }

    // ---- files ----

    void openAndPaths()
    {
        TEVQCanvas canvas;
        const QString main = writePage(QStringLiteral("main.json"), R"({"w": 200, "h": 100, "elements": []})");
        QVERIFY(canvas.OpenJsonFile(main));
        TEVQCanvasWindow* page = canvas.GetCurWindow();
        QCOMPARE(page->objectName(), QStringLiteral("main"));
        QCOMPARE(page->pageName(), QStringLiteral("main.json"));
        QVERIFY(canvas.OpenJsonFile(main));
        QCOMPARE(canvas.pages().size(), 1);
        QCOMPARE(canvas.GetCurWindow(), page);

        // Files that are not pages are refused and the current page stays.
        const QString noElements = writePage(QStringLiteral("bare.json"), R"({"w": 10})");
        const QString broken = writePage(QStringLiteral("broken.json"), "{\"elements\": [");
        const QString array = writePage(QStringLiteral("array.json"), "[1, 2]");
        for (const QString& bad : {noElements, broken, array, m_dir.filePath(QStringLiteral("none.json")), QString()})
            QVERIFY2(!canvas.OpenJsonFile(bad), qPrintable(bad));
        QCOMPARE(canvas.GetCurWindow(), page);
        QCOMPARE(canvas.pages().size(), 1);

        // Re-keying after a rename; an unknown path and a taken key give nothing.
        QVERIFY(canvas.UpdatePagePath(QStringLiteral("/nowhere/x.json")).isEmpty());
        page->setObjectName(QStringLiteral("renamed"));
        const QString renamed = canvas.UpdatePagePath(main);
        QCOMPARE(renamed, m_dir.filePath(QStringLiteral("renamed.json")));
        QCOMPARE(canvas.pages().value(renamed), page);
        QCOMPARE(canvas.UpdatePagePath(renamed), renamed);
        const QString second = writePage(QStringLiteral("second.json"), R"({"w": 50, "h": 50, "elements": []})");
        QVERIFY(canvas.OpenJsonFile(second));
        TEVQCanvasWindow* secondPage = canvas.GetCurWindow();
        QVERIFY(TEVQCanvasWindow::visibilityOf(secondPage));
        secondPage->setObjectName(QStringLiteral("renamed"));
        QVERIFY(canvas.UpdatePagePath(second).isEmpty());
        QCOMPARE(canvas.pages().size(), 2);
        QCOMPARE(canvas.pages().value(renamed), page);

        // Switching back to an open page.
        QVERIFY(canvas.OpenJsonFile(renamed));
        QCOMPARE(canvas.GetCurWindow(), page);
        QVERIFY(TEVQCanvasWindow::visibilityOf(page) && !TEVQCanvasWindow::visibilityOf(secondPage));
    }

    // The page shown, and saved back, is the document of the file opened, whatever its name.
    void opensTheFileItChecked()
    {
        TEVQCanvas canvas;
        const QString txt = writePage(QStringLiteral("page.txt"),
            R"({"w": 220, "h": 120, "elements": [{"type": "qtlabel", "name": "keep", "x": 5, "y": 5, "w": 50, "h": 20}]})");
        QVERIFY(canvas.OpenJsonFile(txt));
        QCOMPARE(canvas.GetCurWindow()->size(), QSize(220, 120));
        QVERIFY(canvas.GetCurWindow()->findChild<QWidget*>(QStringLiteral("keep")));
        QVERIFY(canvas.SavePage(txt));
        QVERIFY(QString::fromUtf8(tevtest::readFile(txt)).contains(QStringLiteral("keep")));
    }

    void objectNameWithoutDirectory()
    {
        const QString old = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        tevtest::writeFile(m_dir.filePath(QStringLiteral("plain.json")), R"({"elements": []})");
        TEVQCanvas canvas;
        QVERIFY(canvas.OpenJsonFile(QStringLiteral("plain.json")));
        QCOMPARE(canvas.GetCurWindow()->objectName(), QStringLiteral("plain.json"));
        QDir::setCurrent(old);
    }

    void saveFailures()
    {
        TEVQCanvas canvas;
        const QString path = writePage(QStringLiteral("s.json"), R"({"w": 120, "h": 80, "elements": []})");
        QVERIFY(canvas.OpenJsonFile(path));
        // No page under the path: false, and the file is not touched.
        const QString other = writePage(QStringLiteral("other.json"), "keep");
        QVERIFY(!canvas.SavePage(other));
        QCOMPARE(tevtest::readFile(other), QByteArray("keep"));
        // A file that cannot be written.
        const QString dirAsFile = m_dir.filePath(QStringLiteral("adir.json"));
        QVERIFY(QDir().mkpath(dirAsFile));
        QVERIFY(canvas.OpenJsonFile(path));
        tevtest::writeFile(m_dir.filePath(QStringLiteral("ro/p.json")), R"({"elements": []})");
        QVERIFY(canvas.OpenJsonFile(m_dir.filePath(QStringLiteral("ro/p.json"))));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner);
        const bool writable = QFileInfo(m_dir.filePath(QStringLiteral("ro"))).isWritable();
        if (!writable)
            QVERIFY(!canvas.SavePage(m_dir.filePath(QStringLiteral("ro/p.json"))));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("ro")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(canvas.SavePage(path));

        // Styles: without project styles the style file keeps its content.
        const QString style = writePage(QStringLiteral("style.json"), R"({"style": [{"type": 1, "name": "mine"}]})");
        QVERIFY(!canvas.SaveStyle(style));
        QVERIFY(!canvas.SaveStyle(QString()));
        QCOMPARE(tevtest::readFile(style), QByteArray(R"({"style": [{"type": 1, "name": "mine"}]})"));
        // With project styles they are written.
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QVERIFY(rm->setProjectDirPath(tevtest::dataPath(QStringLiteral("pages/theme"))));
        canvas.SetProjectPath(tevtest::dataPath(QStringLiteral("pages/theme")));
        QVERIFY(rm->isProjectRes());
        QVERIFY(canvas.SaveStyle(style));
        Json::Value written;
        QVERIFY(json::parse(tevtest::readFile(style), written));
        QVERIFY(json::size(json::get(written, "style")) > 0);
        rm->setSwitchToProjectRes(false);
    }

    // ---- controls ----

    void createControlNaming()
    {
        TEVQCanvas canvas;
        QVERIFY(!canvas.createControl(QStringLiteral("qtlabel")));
        const QString path = writePage(QStringLiteral("c.json"),
            R"({"elements": [{"type": "qtcontainer", "name": "host", "child": [{"type": "qtlabel", "name": "qtlabel1"}]}]})");
        QVERIFY(canvas.OpenJsonFile(path));
        QWidget* host = canvas.GetCurWindow()->findChild<QWidget*>(QStringLiteral("host"));
        QVERIFY(host);
        QVERIFY(!canvas.createControl(QStringLiteral("qtlabel")));
        canvas.AddSelectedControl(host);
        QVERIFY(canvas.createControl(QStringLiteral("qtlabel")));
        QWidget* made = host->findChild<QWidget*>(QStringLiteral("qtlabel2"));
        QVERIFY(made);
        QCOMPARE(canvas.nameCounter(), 3);
        QVERIFY(made->isHidden() && TEVQCanvasWindow::visibilityOf(made));
        QCOMPARE(made->geometry(), QRect(0, 0, 100, 100));
        // An unknown type creates nothing.
        QVERIFY(!canvas.createControl(QStringLiteral("nosuchtype")));
        QCOMPARE(canvas.nameCounter(), 3);
        // The control is saved with the page.
        QVERIFY(canvas.SavePage(path));
        QVERIFY(QString::fromUtf8(tevtest::readFile(path)).contains(QStringLiteral("qtlabel2")));
    }

    void scrollBars()
    {
        TEVQCanvas canvas;
        canvas.resize(400, 300);
        TEVQScrollBar h(Qt::Horizontal);
        TEVQScrollBar v(Qt::Vertical);
        canvas.SetScrollbar(&h, true);
        canvas.SetScrollbar(&v, false);
        QVERIFY(canvas.OpenJsonFile(writePage(QStringLiteral("narrow.json"), R"({"w": 200, "h": 600, "elements": []})")));
        TEVQCanvasWindow* page = canvas.GetCurWindow();
        QCOMPARE(page->x(), 100);
        QVERIFY(h.isHidden() && !v.isHidden());
        QCOMPARE(v.maximum(), 300);
        QCOMPARE(v.pageStep(), 300);
        v.setValue(120);
        QCOMPARE(page->y(), -120);
        QCOMPARE(page->x(), 100);

        QVERIFY(canvas.OpenJsonFile(writePage(QStringLiteral("wide.json"), R"({"w": 900, "h": 100, "elements": []})")));
        QVERIFY(!h.isHidden() && v.isHidden());
        QCOMPARE(h.minimum(), 0);
        QCOMPARE(h.maximum(), 500);
        QCOMPARE(canvas.GetCurWindow()->y(), 100);
        // Back to the first page: its offset is restored.
        QVERIFY(canvas.OpenJsonFile(m_dir.filePath(QStringLiteral("narrow.json"))));
        QCOMPARE(v.value(), 120);
    }

    // The bars live in a shown window, as in a designer. The page keeps lying where its bars say after the canvas
    // grows past the page and shrinks again.
    void scrollBarsAcrossCanvasResizes()
    {
        CanvasWithBars w(QSize(1000, 700), QSize(400, 300));
        TEVQCanvas* canvas = w.canvas;
        TEVQScrollBar* h = w.h;
        TEVQScrollBar* v = w.v;
        QVERIFY(canvas->OpenJsonFile(writePage(QStringLiteral("big.json"), R"({"w": 600, "h": 500, "elements": []})")));
        TEVQCanvasWindow* page = canvas->GetCurWindow();
        h->setValue(100);
        v->setValue(50);
        QCOMPARE(page->pos(), QPoint(-100, -50));

        canvas->resize(800, 600); // the page fits: centred, bars hidden
        QVERIFY(h->isHidden() && v->isHidden());
        QCOMPARE(page->pos(), QPoint(100, 50));
        canvas->resize(400, 300); // scrolled again: the page follows its bars
        QVERIFY(!h->isHidden() && !v->isHidden());
        QCOMPARE(h->minimum(), 0);
        QCOMPARE(v->minimum(), 0);
        QCOMPARE(page->pos(), QPoint(-h->value(), -v->value()));
        // The offsets the user scrolled to come back.
        QCOMPARE(h->value(), 100);
        QCOMPARE(v->value(), 50);
    }

    // A listener of a bar's value may close the page holding canvas and bars, or delete that bar, while the canvas
    // sets the bars up (a new range clamps the value, or a page's offset comes back): nothing freed is touched, and
    // a canvas left behind goes on working.
    void barListenerDeletes_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("wholePage");
        QTest::addColumn<int>("trigger"); // 0 open a smaller page, 1 reopen a scrolled page, 2 shrink the canvas
        QTest::newRow("smaller page, page closed") << false << true << 0;
        QTest::newRow("reopened page, page closed") << true << true << 1;
        QTest::newRow("canvas resized, bar deleted") << true << false << 2;
        QTest::newRow("reopened page, bar deleted") << false << false << 1;
    }
    void barListenerDeletes()
    {
        QFETCH(bool, vertical);
        QFETCH(bool, wholePage);
        QFETCH(int, trigger);
        auto* host = new QWidget;
        const QPointer<QWidget> hostAlive(host);
        const QPointer<TEVQCanvas> canvas(new TEVQCanvas(host));
        canvas->resize(300, 200);
        auto* h = new TEVQScrollBar(Qt::Horizontal, host);
        auto* v = new TEVQScrollBar(Qt::Vertical, host);
        canvas->SetScrollbar(h, true);
        canvas->SetScrollbar(v, false);
        const QString first = writePage(QStringLiteral("del1.json"), R"({"w": 900, "h": 700, "elements": []})");
        const QString other = writePage(QStringLiteral("del2.json"), trigger == 0
                                            ? R"({"w": 400, "h": 250, "elements": []})"
                                            : R"({"w": 900, "h": 700, "elements": []})");
        QVERIFY(canvas->OpenJsonFile(first));
        h->setValue(trigger == 1 ? 40 : 500); // the offsets of the first page
        v->setValue(trigger == 1 ? 30 : 500);
        if (trigger == 1)
            QVERIFY(canvas->OpenJsonFile(other));
        host->setVisible(trigger == 2); // a hidden canvas hears of no resize
        TEVQScrollBar* bar = vertical ? v : h;
        const QPointer<QWidget> victim(wholePage ? host : static_cast<QWidget*>(bar));
        connect(bar, &QAbstractSlider::valueChanged, bar, [victim] { delete victim.data(); });
        if (trigger == 2)
            canvas->resize(300, 400);
        else
            canvas->OpenJsonFile(trigger == 0 ? other : first);
        QVERIFY(victim.isNull());
        QCOMPARE(canvas.isNull(), wholePage);
        QVERIFY(!canvas || canvas->OpenJsonFile(other));
        delete hostAlive.data();
    }

    // ---- selection and editing ----

    void selectWithMouse()
    {
        auto canvas = editCanvas();
        QVERIFY(canvas);
        QSignalSpy spy(canvas.get(), &TEVQCanvas::widgetSelected);
        QWidget* a = find(*canvas, "a");
        QWidget* b = find(*canvas, "b");
        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::NoModifier, at(*canvas, a, 50, 20));
        QCOMPARE(canvas->selectedControls(), QList<QWidget*>{a});
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QWidget*>(), a);
        QCOMPARE(canvas->mouseState(), TEVQCanvas::MouseIdle);

        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::ShiftModifier, at(*canvas, b, 50, 20));
        QCOMPARE(canvas->selectedControls(), (QList<QWidget*>{a, b}));
        QCOMPARE(spy.count(), 2);
        // Handles: the first selection's are white, the second's light blue.
        const QImage shot = canvas->grab().toImage();
        tevtest::keepRender(shot, QStringLiteral("canvas_selection.png"));
        const QPoint aHandle = at(*canvas, a, 0, 0);
        const QPoint bHandle = at(*canvas, b, 0, 0);
        QCOMPARE(shot.pixelColor(aHandle), QColor(255, 255, 255));
        QCOMPARE(shot.pixelColor(bHandle), QColor(0xC5, 0xE6, 0xFF));
        QCOMPARE(shot.pixelColor(aHandle + QPoint(-3, -3)), QColor(Qt::black));

        // Shift-click on a selected control removes it, without a signal.
        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::ShiftModifier, at(*canvas, a, 50, 20));
        QCOMPARE(canvas->selectedControls(), QList<QWidget*>{b});
        QCOMPARE(spy.count(), 2);

        // A click into a selected container over an unselected child selects the child.
        QWidget* box = find(*canvas, "box");
        QWidget* inner = find(*canvas, "inner");
        canvas->RemoveAllSelected();
        canvas->AddSelectedControl(box);
        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::NoModifier, at(*canvas, inner, 20, 15));
        QCOMPARE(canvas->selectedControls(), QList<QWidget*>{inner});

        // Beside the labels: the root container under the point (the page itself is hit where nothing covers it).
        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::NoModifier, at(*canvas, canvas->GetCurWindow(), 5, 5));
        QCOMPARE(canvas->selectedControls().value(0), find(*canvas, "root"));

        // A listener of the selection may delete the canvas.
        TEVQCanvas* doomed = canvas.release();
        const QPointer<TEVQCanvas> alive(doomed);
        connect(doomed, &TEVQCanvas::widgetSelected, doomed, [doomed] { delete doomed; });
        QTest::mouseClick(doomed, Qt::LeftButton, Qt::NoModifier, at(*doomed, a, 50, 20));
        QVERIFY(!alive);
    }

    // A control's own inner widgets (a text edit's viewport) are not controls of the page: a click on them
    // selects the control.
    void innerWidgetsAreNotHit()
    {
        TEVQCanvas canvas;
        canvas.resize(500, 400);
        const QString path = writePage(QStringLiteral("inner.json"),
            R"({"w": 400, "h": 300, "elements": [{"type": "qtcontainer", "name": "root", "x": 0, "y": 0, "w": 400,
                "h": 300, "attr": {"childLayout": 4},
                "child": [{"type": "qttext", "name": "notes", "x": 20, "y": 20, "w": 200, "h": 120}]}]})");
        QVERIFY(canvas.OpenJsonFile(path));
        TEVQCanvasWindow* page = canvas.GetCurWindow();
        QWidget* notes = page->findChild<QWidget*>(QStringLiteral("notes"));
        QVERIFY(notes && !notes->findChildren<QWidget*>().isEmpty());
        QCOMPARE(page->HitTestWithChildren(page, 120, 80), notes);
        QTest::mouseClick(&canvas, Qt::LeftButton, Qt::NoModifier, at(canvas, notes, 100, 60));
        QCOMPARE(canvas.selectedControls(), QList<QWidget*>{notes});
    }

    void hitKinds()
    {
        auto canvas = editCanvas();
        QVERIFY(canvas);
        QWidget* a = find(*canvas, "a");
        canvas->AddSelectedControl(a);
        const QPoint o = at(*canvas, a, 0, 0);
        QCOMPARE(canvas->HitInSelected(o.x() + 3, o.y() + 3), TEV_CAV_HIT_TOPLEFT);
        QCOMPARE(canvas->HitInSelected(o.x() + 97, o.y() + 37), TEV_CAV_HIT_BOTTOMRIGHT);
        QCOMPARE(canvas->HitInSelected(o.x() + 97, o.y() + 2), TEV_CAV_HIT_TOPRIGHT);
        QCOMPARE(canvas->HitInSelected(o.x() + 2, o.y() + 37), TEV_CAV_HIT_BOTTOMLEFT);
        QCOMPARE(canvas->HitInSelected(o.x() + 2, o.y() + 20), TEV_CAV_HIT_LEFT);
        QCOMPARE(canvas->HitInSelected(o.x() + 97, o.y() + 20), TEV_CAV_HIT_RIGHT);
        QCOMPARE(canvas->HitInSelected(o.x() + 50, o.y() + 2), TEV_CAV_HIT_TOP);
        QCOMPARE(canvas->HitInSelected(o.x() + 50, o.y() + 37), TEV_CAV_HIT_BOTTOM);
        QCOMPARE(canvas->HitInSelected(o.x() + 50, o.y() + 20), TEV_CAV_HIT_INSIDE);
        QCOMPARE(canvas->HitInSelected(o.x() + 150, o.y() + 20), TEV_CAV_HIT_NONE);
        // A direct child of the page gives none.
        canvas->RemoveAllSelected();
        canvas->AddSelectedControl(find(*canvas, "root"));
        QCOMPARE(canvas->HitInSelected(o.x() + 50, o.y() + 20), TEV_CAV_HIT_NONE);
        canvas->RemoveAllSelected();
        QCOMPARE(canvas->HitInSelected(o.x() + 50, o.y() + 20), TEV_CAV_HIT_NONE);
    }

    void moveResizeSnap()
    {
        auto canvas = editCanvas();
        QVERIFY(canvas);
        QWidget* a = find(*canvas, "a");
        canvas->AddSelectedControl(a);
        // Move; the framework control's layout record follows.
        drag(canvas.get(), at(*canvas, a, 50, 20), at(*canvas, a, 60, 50));
        QCOMPARE(a->geometry(), QRect(30, 50, 100, 40));
        void* data = nullptr;
        tevWidgetInterface(a)->getLayoutData(data);
        QVERIFY(data);
        QCOMPARE(static_cast<TEVLayoutRect*>(data)->x, 30);
        // Shift binds the move to the larger axis.
        drag(canvas.get(), at(*canvas, a, 50, 20), at(*canvas, a, 80, 30), Qt::ShiftModifier);
        QCOMPARE(a->pos(), QPoint(60, 50));
        drag(canvas.get(), at(*canvas, a, 50, 20), at(*canvas, a, 60, 30), Qt::ShiftModifier);
        QCOMPARE(a->pos(), QPoint(60, 60));
        // Snapping to the sibling "box" at x 50: within 4 px it takes the line, at 5 px it does not.
        drag(canvas.get(), at(*canvas, a, 50, 20), at(*canvas, a, 44, 20));
        QCOMPARE(a->x(), 50);
        drag(canvas.get(), at(*canvas, a, 50, 20), at(*canvas, a, 55, 20));
        QCOMPARE(a->x(), 55);
        // Resizing with the right handle, down to the smallest width.
        drag(canvas.get(), at(*canvas, a, 98, 20), at(*canvas, a, 3, 20));
        QCOMPARE(a->geometry(), QRect(55, 60, 10, 40));
        // Bottom-right handle.
        drag(canvas.get(), at(*canvas, a, 9, 38), at(*canvas, a, 29, 58));
        QCOMPARE(a->size(), QSize(30, 60));
        // Top-left handle: the left and top edges move, the others stay.
        drag(canvas.get(), at(*canvas, a, 1, 1), at(*canvas, a, -9, 11));
        QCOMPARE(a->geometry(), QRect(45, 70, 40, 50));

        // A direct child of the page is neither moved nor resized.
        QWidget* root = find(*canvas, "root");
        canvas->RemoveAllSelected();
        canvas->AddSelectedControl(root);
        drag(canvas.get(), at(*canvas, root, 250, 300), at(*canvas, root, 260, 310));
        QCOMPARE(root->pos(), QPoint(0, 0));
    }

    // A container selected with a control inside it carries that control: the control is not moved a second
    // time by itself, and on a resize its edges go where the container's go.
    void containerCarriesItsSelectedChild()
    {
        auto canvas = editCanvas();
        QVERIFY(canvas);
        QWidget* box = find(*canvas, "box");
        QWidget* inner = find(*canvas, "inner");
        canvas->AddSelectedControl(box);
        canvas->AddSelectedControl(inner);
        drag(canvas.get(), at(*canvas, box, 75, 70), at(*canvas, box, 105, 90));
        QCOMPARE(box->pos(), QPoint(80, 120));
        QCOMPARE(inner->pos(), QPoint(10, 10));
        const QRect innerBefore(at(*canvas, inner, 0, 0), inner->size());
        drag(canvas.get(), at(*canvas, box, 1, 50), at(*canvas, box, 21, 50)); // the left handle
        QCOMPARE(box->geometry(), QRect(100, 120, 130, 100));
        QCOMPARE(inner->geometry(), QRect(10, 10, 180, 30));
        QCOMPARE(QRect(at(*canvas, inner, 0, 0), inner->size()), innerBefore.adjusted(20, 0, 0, 0));
    }

    // What changes the hidden page elsewhere reaches the canvas: a page resized through its rows or its
    // handles gets bars for its new size, and a control deleted elsewhere is no longer shown.
    void followsChangesMadeElsewhere()
    {
        CanvasWithBars w(QSize(1000, 700), QSize(400, 300));
        TEVQCanvas* canvas = w.canvas;
        QVERIFY(QTest::qWaitForWindowExposed(&w.host));
        QVERIFY(canvas->OpenJsonFile(writePage(QStringLiteral("small.json"), R"({"w": 300, "h": 200, "elements": []})")));
        TEVQCanvasWindow* page = canvas->GetCurWindow();
        QVERIFY(w.h->isHidden());
        canvas->AddSelectedControl(page);
        drag(canvas, page->pos() + QPoint(298, 198), page->pos() + QPoint(498, 198));
        QCOMPARE(page->width(), 500);
        QVERIFY(!w.h->isHidden());
        QCOMPARE(w.h->maximum(), 100);

        QVERIFY(canvas->OpenJsonFile(writePage(QStringLiteral("grows.json"), kEditPage)));
        page = canvas->GetCurWindow();
        QCOMPARE(w.h->maximum(), 100);
        page->setWidth(300);
        QVERIFY(w.h->isHidden());
        QCOMPARE(page->x(), 50);
        page->setHeight(700);
        QCOMPARE(w.v->maximum(), 400);
        page->setHeight(200);
        QVERIFY(w.v->isHidden());

        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                paints += e->type() == QEvent::Paint;
                return false;
            }
        } counter;
        canvas->installEventFilter(&counter);
        QTest::qWait(50);
        counter.paints = 0;
        delete find(*canvas, "inner");
        QTRY_VERIFY(counter.paints > 0);
    }

    void plainWidgetAndPage()
    {
        auto canvas = editCanvas();
        QVERIFY(canvas);
        // A plain Qt widget is resized directly, never below 10.
        auto* plain = new QWidget(find(*canvas, "root"));
        plain->setGeometry(300, 200, 100, 50);
        plain->hide();
        TEVQCanvasWindow::setVisibilityOf(plain, true);
        canvas->AddSelectedControl(plain);
        drag(canvas.get(), at(*canvas, plain, 98, 25), at(*canvas, plain, 3, 25));
        QCOMPARE(plain->geometry(), QRect(300, 200, 10, 50));
        drag(canvas.get(), at(*canvas, plain, 5, 48), at(*canvas, plain, 5, 0));
        QCOMPARE(plain->height(), 10);

        // The page itself is resized like a plain widget (its controls cover it, so it is not moved here).
        TEVQCanvasWindow* page = canvas->GetCurWindow();
        canvas->RemoveAllSelected();
        canvas->AddSelectedControl(page);
        const QPoint corner = page->pos() + QPoint(page->width() - 2, page->height() - 2);
        drag(canvas.get(), corner, corner + QPoint(20, 10));
        QCOMPARE(page->size(), QSize(520, 410));
    }

    // A control far larger than the screen is painted by its visible part only.
    // A control opened from a page file is painted whole, its inner parts included, as one made on the canvas
    // is: the ribbon shows its tab.
    void openedControlsPaintTheirInnerParts()
    {
        TEVQCanvas canvas;
        canvas.resize(700, 300);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        TEVQRibbonBar* bar = openRibbonPage(canvas, QStringLiteral("ribbon.json"));
        QVERIFY(bar);
        const QImage shot = canvas.grab().toImage();
        // Inside the current tab's border: its own fill, not the row's (246, 248, 251) under it.
        QCOMPARE(shot.pixelColor(at(canvas, bar->tabButtons()[0], 6, 3)), QColor(255, 255, 255));
    }

    // A control put on a ribbon bar is the page's and is saved with it; the bar's own rows and pages are not.
    void controlOnARibbonIsSaved()
    {
        TEVQCanvas canvas;
        TEVQRibbonBar* bar = openRibbonPage(canvas, QStringLiteral("onribbon.json"));
        QVERIFY(bar);
        canvas.AddSelectedControl(bar);
        QVERIFY(canvas.createControl(QStringLiteral("qtlabel")));
        const QString path = m_dir.filePath(QStringLiteral("onribbon.json"));
        QVERIFY(canvas.SavePage(path));
        TEVQCanvas second;
        QVERIFY(second.OpenJsonFile(path));
        auto* back = second.GetCurWindow()->findChild<TEVQRibbonBar*>(QStringLiteral("rib"));
        QVERIFY(back);
        QCOMPARE(treeOf(back), treeOf(bar));
        QCOMPARE(back->findChildren<TEVQRibbonPage*>().size(), 1);
        QCOMPARE(json::writeStyled(pageJson(*second.GetCurWindow())), json::writeStyled(pageJson(*canvas.GetCurWindow())));
    }

    void hugeControlPaints()
    {
        TEVQCanvas canvas;
        canvas.resize(300, 200);
        const QString path = writePage(QStringLiteral("huge.json"),
            R"({"w": 400, "h": 300, "elements": [{"type": "qtcontainer", "name": "root", "x": 0, "y": 0,
                "w": 16777215, "h": 16777215, "attr": {"childLayout": 4},
                "child": [{"type": "qtlabel", "name": "big", "x": 5, "y": 5, "w": 16777215, "h": 16777215}]}]})");
        QVERIFY(canvas.OpenJsonFile(path));
        QWidget* big = canvas.GetCurWindow()->findChild<QWidget*>(QStringLiteral("big"));
        QVERIFY(big && big->width() > 100000);
        canvas.AddSelectedControl(big);
        const QImage shot = canvas.grab().toImage();
        QCOMPARE(shot.size(), QSize(300, 200));
    }

    // ---- lifetimes ----

    void nothingDangles()
    {
        auto canvas = editCanvas();
        QVERIFY(canvas);
        QWidget* a = find(*canvas, "a");
        QWidget* b = find(*canvas, "b");
        canvas->AddSelectedControl(a);
        canvas->AddSelectedControl(b);
        // Deleted elsewhere, in the middle of a drag.
        QTest::mousePress(canvas.get(), Qt::LeftButton, Qt::NoModifier, at(*canvas, a, 50, 20));
        QCOMPARE(canvas->mouseState(), TEVQCanvas::MouseDragging);
        delete a;
        sendMove(canvas.get(), QPoint(10, 10));
        QTest::mouseRelease(canvas.get(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QCOMPARE(canvas->selectedControls(), QList<QWidget*>{b});
        canvas->repaint();

        // Removing the page drops its widgets from the selection.
        TEVQCanvasWindow* page = canvas->GetCurWindow();
        QVERIFY(canvas->removePage(page));
        QVERIFY(!canvas->removePage(page));
        QVERIFY(!canvas->GetCurWindow());
        QVERIFY(canvas->selectedControls().isEmpty());
        canvas->repaint();
        QTest::mouseClick(canvas.get(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));
        QCOMPARE(canvas->HitInSelected(60, 40), TEV_CAV_HIT_NONE);
        QVERIFY(!canvas->createControl(QStringLiteral("qtlabel")));

        // A page deleted from elsewhere leaves the canvas too.
        QVERIFY(canvas->OpenJsonFile(m_dir.filePath(QStringLiteral("edit.json"))));
        canvas->AddSelectedControl(find(*canvas, "b"));
        delete canvas->GetCurWindow();
        QVERIFY(!canvas->GetCurWindow() && canvas->pages().isEmpty() && canvas->selectedControls().isEmpty());
        canvas->repaint();

        // Or while it is being built from its file: nothing is opened.
        const QString closing = writePage(QStringLiteral("closing.json"),
                                          R"({"elements": [{"type": "qtlabel", "name": "l"}, {"type": "qtlabel"}]})");
        tevBindControlCreateFunction(&pageClosingLabel);
        const bool opened = canvas->OpenJsonFile(closing);
        tevBindControlCreateFunction(nullptr);
        QVERIFY(!opened && !canvas->GetCurWindow() && canvas->pages().isEmpty());
        canvas->repaint();
        // Or the canvas itself deleted while a page is built: the page goes with it (nothing leaks, nothing
        // touches the canvas after).
        g_doomedCanvas = new TEVQCanvas(nullptr);
        const QPointer<TEVQCanvas> doomed(g_doomedCanvas);
        tevBindControlCreateFunction(&canvasDeletingLabel);
        QVERIFY(!g_doomedCanvas->OpenJsonFile(closing));
        tevBindControlCreateFunction(nullptr);
        QVERIFY(!doomed && !g_doomedCanvas);
        const QWidgetList tops = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(tops.begin(), tops.end(), [](QWidget* w) { return dynamic_cast<TEVQCanvasWindow*>(w); }));

        // Closing every page.
        QVERIFY(canvas->OpenJsonFile(m_dir.filePath(QStringLiteral("edit.json"))));
        QVERIFY(canvas->OpenJsonFile(m_dir.filePath(QStringLiteral("main.json"))) || true);
        canvas->AddSelectedControl(canvas->GetCurWindow());
        canvas->closeAllWindows();
        QVERIFY(!canvas->GetCurWindow() && canvas->pages().isEmpty() && canvas->selectedControls().isEmpty());
        canvas->repaint();
    }

    void controlsDeletedWhilePainted()
    {
        // The canvas paints the page's hidden controls one by one. A control's own paint may delete another
        // control the canvas has yet to reach (a sibling after it, or its own child); the paint goes on with
        // what is left, and so do the selection and a drag.
        struct DeletingWidget : QWidget {
            using QWidget::QWidget;
            QPointer<QWidget> victim;
            void paintEvent(QPaintEvent*) override { delete victim.data(); }
        };
        for (int mode = 0; mode < 2; ++mode) {
            auto canvas = editCanvas();
            QVERIFY(canvas);
            QWidget* root = find(*canvas, "root");
            QPointer<DeletingWidget> p = new DeletingWidget(root);
            QPointer<QWidget> q = new QWidget(mode == 1 ? static_cast<QWidget*>(p.data()) : root);
            for (QWidget* w : {static_cast<QWidget*>(p.data()), q.data()}) {
                w->setGeometry(mode == 1 && w == q ? QRect(5, 5, 50, 20) : QRect(300, 200, 100, 50));
                w->hide();
                TEVQCanvasWindow::setVisibilityOf(w, true);
            }
            auto* inner = new QWidget(q);
            inner->setGeometry(2, 2, 20, 10);
            TEVQCanvasWindow::setVisibilityOf(inner, true);
            p->victim = q;
            canvas->AddSelectedControl(p);
            canvas->AddSelectedControl(q);
            canvas->repaint();
            QVERIFY(p && !q);
            QCOMPARE(canvas->selectedControls(), QList<QWidget*>{p.data()});
            drag(canvas.get(), at(*canvas, p, 50, 25), at(*canvas, p, 60, 35));
            QCOMPARE(p->pos(), QPoint(310, 210));
            canvas->repaint();
        }
    }

    void hidingControlsThatDeleteOthers()
    {
        // Hiding the page's controls runs their hide handlers, which may delete a control yet to be hidden.
        struct DeletingChild : QWidget {
            using QWidget::QWidget;
            QPointer<QWidget> victim;
            void hideEvent(QHideEvent*) override { delete victim.data(); }
        };
        TEVQCanvasWindow page;
        page.resize(200, 100);
        auto* first = new DeletingChild(&page);
        auto* middle = new QWidget(&page);
        QPointer<QWidget> last = new QWidget(&page);
        new QWidget(last);
        for (QWidget* w : page.findChildren<QWidget*>())
            w->setProperty("visibility", true);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        first->victim = last;
        page.hideAllWidges();
        QVERIFY(!last);
        QVERIFY(first->isHidden() && middle->isHidden());
    }

    // Many user actions in a fixed pseudo-random order (clicks, Shift-clicks, drags on handles and bodies,
    // new controls, deletions, page switches, scrolling, saving, closing): nothing crashes and the selection
    // only ever holds live widgets of the current page.
    void actionsInAnyOrder()
    {
        CanvasWithBars w(QSize(900, 700), QSize(700, 500));
        TEVQCanvas* canvas = w.canvas;
        TEVQScrollBar* h = w.h;
        TEVQScrollBar* v = w.v;
        QVERIFY(QTest::qWaitForWindowExposed(&w.host));
        const QStringList files{writePage(QStringLiteral("m1.json"), kEditPage),
                                writePage(QStringLiteral("m2.json"), R"({"w": 900, "h": 800, "elements": [
                                    {"type": "qtcontainer", "name": "root", "x": 0, "y": 0, "w": 900, "h": 800,
                                     "attr": {"childLayout": 4}, "child": [
                                       {"type": "qtbutton", "name": "go", "x": 40, "y": 40, "w": 90, "h": 30},
                                       {"type": "qttext", "name": "memo", "x": 200, "y": 60, "w": 220, "h": 140}]}]})")};
        const QStringList types{QStringLiteral("qtlabel"), QStringLiteral("qtcontainer"), QStringLiteral("qtbutton"),
                                QStringLiteral("qtdatagrid"), QStringLiteral("qtslider")};
        quint32 seed = 12345;
        const auto next = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return int((seed >> 8) % quint32(n));
        };
        const auto point = [&]() { return QPoint(next(700), next(500)); };
        for (int step = 0; step < 600; ++step) {
            const Qt::KeyboardModifiers mod = next(3) == 0 ? Qt::ShiftModifier : Qt::NoModifier;
            switch (next(13)) {
            case 0:
                canvas->OpenJsonFile(files.at(next(files.size())));
                break;
            case 1:
            case 2:
                QTest::mouseClick(canvas, Qt::LeftButton, mod, point());
                break;
            case 3:
            case 4: {
                // From a selected control's edge or body, or from anywhere.
                QPoint from = point();
                const QList<QWidget*> selected = canvas->selectedControls();
                if (!selected.isEmpty() && next(2)) {
                    QWidget* w = selected.at(next(selected.size()));
                    from = at(*canvas, w, next(qMax(1, w->width())), next(2) ? 1 : next(qMax(1, w->height())));
                }
                drag(canvas, from, from + QPoint(next(80) - 40, next(80) - 40), mod);
                break;
            }
            case 5:
                canvas->createControl(types.at(next(types.size())));
                break;
            case 6: {
                const QList<QWidget*> selected = canvas->selectedControls();
                if (!selected.isEmpty() && selected.first() != canvas->GetCurWindow())
                    delete selected.first();
                break;
            }
            case 7:
                if (next(4) == 0)
                    canvas->removePage(canvas->GetCurWindow());
                else if (next(8) == 0)
                    canvas->closeAllWindows();
                break;
            case 8:
                canvas->resize(300 + next(600), 200 + next(400));
                break;
            case 9:
                (next(2) ? h : v)->setValue(next(500));
                break;
            case 10:
                if (canvas->GetCurWindow())
                    canvas->SavePage(canvas->pages().key(canvas->GetCurWindow()));
                break;
            case 11:
                // The host adds any control of the page to the selection, parents and children alike.
                if (TEVQCanvasWindow* page = canvas->GetCurWindow()) {
                    QList<QWidget*> controls;
                    for (QWidget* w : page->findChildren<QWidget*>()) {
                        if (TEVQCanvasWindow::visibilityOf(w))
                            controls << w;
                    }
                    if (!controls.isEmpty())
                        canvas->AddSelectedControl(controls.at(next(controls.size())));
                }
                break;
            default:
                canvas->repaint();
                break;
            }
            for (QWidget* w : canvas->selectedControls()) {
                TEVQCanvasWindow* page = canvas->GetCurWindow();
                QVERIFY2(page && (w == page || page->isAncestorOf(w)), qPrintable(QString::number(step)));
            }
        }
    }

    void registryAndJsonData()
    {
        std::unique_ptr<QWidget> c(createControlByType("canvas", nullptr));
        QVERIFY(qobject_cast<TEVQCanvas*>(c.get()));
        QCOMPARE(tevWidgetInterface(c.get())->getTypeName(), QStringLiteral("canvas"));
        std::unique_ptr<QWidget> w(createControlByType("Window", nullptr));
        QVERIFY(dynamic_cast<TEVQCanvasWindow*>(w.get()) && !w->parentWidget());
        ControlInfo* info = tevGetControlInfo(QStringLiteral("Window"));
        QVERIFY(info);
        QCOMPARE(info->typeName, std::string("window"));
        QCOMPARE(info->props.size(), 5);
        // The integer rows edit the page.
        info->props[1].setInt(w.get(), 321);
        QCOMPARE(w->width(), 321);
        info->props[3].setInt(w.get(), 12);
        QCOMPARE(info->props[3].getInt(w.get()), 12);
        // The page loader applies the root keys to a canvas page.
        TEVQCanvasWindow page;
        tevCreatePageByFileName(&page, writePage(QStringLiteral("r.json"), R"({"w": 90, "minW": 7, "drag": false, "elements": []})"));
        QCOMPARE(page.width(), 90);
        QCOMPARE(page.getMinWidth(), 7);
        QVERIFY(!page.getCanGrag());
    }
};

TEV_TEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
