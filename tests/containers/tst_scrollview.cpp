// The scroll view and the scroll-bar child elements: content adoption from a page element, the bars' style
// sheets, the slot table of the child reader, the scroll signal, the background and the JSON contract.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQPageLoader.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQScrollView.h"

#include <QPointer>
#include <QSignalSpy>
#include <QStyleFactory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "back", "clr": "FF204060"}, {"type": 1, "name": "thumbAll", "clr": "FF00FF00"},
    {"type": 1, "name": "thumbPressed", "clr": "FFFF0000"}, {"type": 1, "name": "btn", "clr": "FF0000FF"}]})";

using tevtest::parse;

void read(ITEVQWidgetBase* w, const char* text)
{
    Json::Value v = parse(text);
    w->serializeJsonValue(&v, true);
}

Json::Value written(ITEVQWidgetBase* w)
{
    Json::Value v;
    w->serializeJsonValue(&v, false);
    return v;
}

QString jsonText(const Json::Value& v) { return QString::fromStdString(json::writeStyled(v)).simplified(); }

QImage rendered(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

} // namespace

class TestScrollView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        tevInitQtControl();
    }

    void pageElementAdoptsContainerAndStylesBars()
    {
        QWidget host;
        const Json::Value element = parse(R"({"type": "qtscrollview", "name": "sv", "child": [
            {"type": "qtcontainer", "name": "content"},
            {"type": "qtscrollbar", "w": 8, "attr": {"upicon": "up.png"}}]})");
        auto* view = qobject_cast<TEVQScrollView*>(createChild(element, &host));
        QVERIFY(view);
        QVERIFY(view->widget());
        QCOMPARE(view->widget()->metaObject()->className(), "TEVQContainer");
        QCOMPARE(view->painter()->contentWidget, view->widget());
        // The bar entry made no widget; it styled the vertical bar, and both bars got the thickness 8.
        QCOMPARE(view->findChildren<TEVQScrollBar*>().size(), 2);
        QCOMPARE(view->verticalBar()->getScrollbarBtnIcon(true), QStringLiteral("up.png"));
        QCOMPARE(view->horizontalBar()->getScrollbarBtnIcon(true), QString());
        QCOMPARE(view->horizontalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(8));
        QCOMPARE(view->verticalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(8));

        // Without a container child the area stays empty.
        auto* empty = qobject_cast<TEVQScrollView*>(createChild(parse(R"({"type": "scrollview"})"), &host));
        QVERIFY(empty && !empty->widget());
    }

    void childEntryRules()
    {
        TEVQScrollView view;
        // "hor" without "h": thickness 0 for both bars; icons on the horizontal bar; "size" sets its buttons
        // first, and the thickness call then replaces that sheet.
        read(&view, R"({"child": [{"type": "qtscrollbar", "attr": {"hor": true, "size": 12, "downicon": "d.svg",
                                   "thumbicon": "t.png"}}]})");
        QCOMPARE(view.horizontalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(0));
        QCOMPARE(view.verticalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(0));
        QCOMPARE(view.horizontalBar()->getScrollbarBtnIcon(false), QStringLiteral("d.svg"));
        QCOMPARE(view.horizontalBar()->getScrollbarThumbIcon(), QStringLiteral("t.png"));

        // Slot 10 styles the thumb in every state; a later slot 12 only the pressed one. Slots 1 and 14, unknown
        // names and entries whose type is not a bar's change nothing; sizes are bounded.
        read(&view, R"({"child": [
            {"type": "qtlabel", "w": 30, "style": [["back", 1, 0]]},
            {"type": "myscrollbarx", "w": 2147483647, "style": [["thumbAll", 1, 10], ["thumbPressed", 1, 12],
                ["back", 1, 1], ["back", 1, 14], ["nosuch", 1, 0], ["btn", 1, 6], ["btn", 1, 3]]}]})");
        TEVQScrollBar* v = view.verticalBar();
        QCOMPARE(v->getScrollbarThumb(CtrlStateNormal).name, QStringLiteral("thumbAll"));
        QCOMPARE(v->getScrollbarThumb(CtrlStateHot).name, QStringLiteral("thumbAll"));
        QCOMPARE(v->getScrollbarThumb(CtrlStateDisable).name, QStringLiteral("thumbAll"));
        QCOMPARE(v->getScrollbarThumb(CtrlStatePressed).name, QStringLiteral("thumbPressed"));
        QCOMPARE(v->getScrollbarBackground(CommonCtrlStateNormal).name, QString());
        QCOMPARE(v->getScrollbarDownButton(CtrlStateDisable).name, QStringLiteral("btn"));
        QCOMPARE(v->getScrollbarUpButton(CtrlStateHot).name, QStringLiteral("btn"));
        QCOMPARE(v->getScrollbarUpButton(CtrlStateNormal).name, QString());
        QCOMPARE(v->styleSheet(), TEVQScrollBarPair::thicknessSheet(QWIDGETSIZE_MAX));
        QCOMPARE(view.horizontalBar()->getScrollbarThumb(CtrlStateNormal).name, QString());
    }

    void styleSheetsOfTheSizeOperations()
    {
        TEVQScrollView view;
        view.setScrollbarBtnSize(true, 12);
        QCOMPARE(view.horizontalBar()->styleSheet(),
                 QStringLiteral("QScrollBar::add-line{ width:12px;width:12px; }QScrollBar::sub-line{ width:12px;width:12px; }"));
        QCOMPARE(view.verticalBar()->styleSheet(), QString());
        view.setScrollbarSize(true, 10); // the last call wins, on both bars
        QCOMPARE(view.horizontalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(10));
        QCOMPARE(view.verticalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(10));
        view.setScrollbarBtnSize(false, 7);
        QVERIFY(view.verticalBar()->styleSheet().startsWith(QLatin1String("QScrollBar::add-line:vertical{ height:7px;")));

    }

    void scrollingEmitsTheStep()
    {
        TEVQScrollView view;
        view.resize(100, 100);
        auto* content = new TEVQContainer(&view);
        content->resize(50, 400);
        view.painter()->createComplete();
        QCOMPARE(view.widget(), content);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy spy(&view, &TEVQScrollView::scrollPosChanged);
        view.setVScrollPos(30);
        QCOMPARE(view.getVScrollPos(), 30);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), QVariantList({0, -30}));
        QCOMPARE(content->y(), -30);
        view.setHScrollPos(5); // nothing to scroll sideways
        QCOMPARE(view.getHScrollPos(), 0);
    }

    void contentReplacedOrCompletedAgain()
    {
        // A content widget replaced by setWidget (which deletes it) or deleted by its holder is not named any
        // longer: the field reads null, never the freed widget.
        QWidget host;
        const Json::Value element = parse(R"({"type": "qtscrollview", "name": "sv", "w": 100, "h": 80,
            "child": [{"type": "qtcontainer", "name": "first"}, {"type": "qtcontainer", "name": "second"}]})");
        auto* view = qobject_cast<TEVQScrollView*>(createChild(element, &host));
        QVERIFY(view);
        QPointer<QWidget> first = view->widget();
        QVERIFY(first);
        QCOMPARE(first->objectName(), QStringLiteral("first"));
        QPointer<QWidget> second = view->findChild<QWidget*>(QStringLiteral("second"));
        QVERIFY(second);

        // Completing again keeps the content the view shows: adopting the other container would delete it.
        view->createComplete();
        QVERIFY(first);
        QCOMPARE(view->widget(), first.data());
        QVERIFY(second);
        QCOMPARE(second->parentWidget(), view);

        view->setWidget(new QWidget);
        QVERIFY(!first);
        QCOMPARE(view->painter()->contentWidget, static_cast<QWidget*>(nullptr));

        // The adopted content deleted by its holder.
        TEVQScrollView other;
        auto* content = new TEVQContainer(&other);
        other.createComplete();
        QCOMPARE(other.painter()->contentWidget, static_cast<QWidget*>(content));
        delete content;
        QCOMPARE(other.painter()->contentWidget, static_cast<QWidget*>(nullptr));
        QVERIFY(!other.widget());
        // A container added later is adopted into the empty view.
        auto* later = new TEVQContainer(&other);
        other.createComplete();
        QCOMPARE(other.widget(), static_cast<QWidget*>(later));
        QCOMPARE(other.painter()->contentWidget, static_cast<QWidget*>(later));
    }

    void backgroundPaintAndJson()
    {
        TEVQScrollView view;
        view.resize(60, 40);
        QCOMPARE(jsonText(json::get(written(&view), "style")), QStringLiteral("null"));
        QVERIFY(json::has(written(&view), "attr"));

        // Any slot of 0 or more names the background; the last known one wins; negative slots are skipped.
        read(&view, R"({"style": [["back", 1, 3], ["nosuch", 1, 0], ["thumbAll", 1, -1]]})");
        QCOMPARE(view.getBackground(CommonCtrlStateDisable).name, QStringLiteral("back"));
        QCOMPARE(jsonText(json::get(written(&view), "style")), jsonText(parse(R"([["back", 1, 0]])")));
        TEVQScrollView again;
        Json::Value first = written(&view);
        again.serializeJsonValue(&first, true);
        QCOMPARE(jsonText(written(&again)), jsonText(first));

        // Painted on the view, through its transparent viewport.
        QCOMPARE(QColor::fromRgba(rendered(&view).pixel(30, 20)), QColor(0x20, 0x40, 0x60));
        // A caller that installs the view as the viewport's filter gets the background on the viewport too.
        view.viewport()->setStyleSheet(QString());
        view.viewport()->setAutoFillBackground(true);
        QVERIFY(QColor::fromRgba(rendered(&view).pixel(30, 20)) != QColor(0x20, 0x40, 0x60));
        view.viewport()->installEventFilter(&view);
        QCOMPARE(QColor::fromRgba(rendered(&view).pixel(30, 20)), QColor(0x20, 0x40, 0x60));
    }

    // Styles filed from code under a name beyond ASCII are found from the element's bytes, for the view's
    // background and for its bars' child entries alike.
    void stylesFiledFromCodeUnderNonAsciiNames()
    {
        FillStyle green;
        green.name = QStringLiteral("背景");
        green.useFillStyle = true;
        green.fillRes.fillColor = QColor(0x10, 0x80, 0x30);
        TEVQResourceManager::getInstance()->setFillStyle(green.name, green);
        TEVQScrollView view;
        read(&view, R"({"style": [["背景", 1, 0]], "child": [{"type": "qtscrollbar", "style": [["背景", 1, 10]]}]})");
        QCOMPARE(view.getBackground(CommonCtrlStateNormal).name, green.name);
        QCOMPARE(view.verticalBar()->getScrollbarThumb(CtrlStateNormal).name, green.name);
    }

    void catalogueRow()
    {
        const PropertyDef& row = tevGetControlInfo(QStringLiteral("qtscrollview"))->props.last();
        QCOMPARE(row.name, QStringLiteral("Background"));
        QCOMPARE(row.options, QStringList({QStringLiteral("Normal"), QStringLiteral("Disable")}));
        TEVQScrollView view;
        FillStyle s;
        s.name = QStringLiteral("viaRow");
        row.setFillStyle(&view, 1, s);
        QCOMPARE(row.getFillStyle(&view, 0).name, s.name);
        QVERIFY(view.metaObject()->indexOfProperty("jsonData") >= 0);
    }
};

TEV_TEST_MAIN(TestScrollView)
#include "tst_scrollview.moc"
