// The themed scroll bar: hidden start, thickness, part states under the mouse, painting, JSON and catalogue.
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"

#include <QMouseEvent>
#include <QStyleFactory>
#include <QTemporaryDir>

using namespace TEVQtLib;

// Leak reports unwind slowly, so that allocations of system libraries (the session bus thread of the xcb
// platform) are attributed to them and matched by the suppressions.
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

namespace {

using Part = TEVQScrollBarImpl::Part;

const QColor kBack(10, 10, 10);
const QColor kUp[4] = {QColor(0, 0, 100), QColor(0, 0, 150), QColor(0, 0, 200), QColor(0, 0, 250)};
const QColor kDown[4] = {QColor(0, 100, 0), QColor(0, 150, 0), QColor(0, 200, 0), QColor(0, 250, 0)};
const QColor kThumb[4] = {QColor(100, 0, 0), QColor(150, 0, 0), QColor(200, 0, 0), QColor(250, 0, 0)};

Json::Value parse(const char* text)
{
    Json::Value v;
    if (!json::parse(std::string(text), v))
        qFatal("bad test JSON: %s", text);
    return v;
}

Json::Value written(ITEVQWidgetBase* w)
{
    Json::Value v;
    w->serializeJsonValue(&v, false);
    return v;
}

void read(ITEVQWidgetBase* w, const char* text)
{
    Json::Value v = parse(text);
    w->serializeJsonValue(&v, true);
}

QString jsonText(const Json::Value& v) { return QString::fromStdString(json::writeStyled(v)).simplified(); }

FillStyle solid(const QColor& c)
{
    FillStyle f;
    f.fillRes.fillColor = c;
    return f;
}

void mouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons = Qt::LeftButton)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QImage shot(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

// A vertical 20 x 200 bar over 0..100 with every part in its own colours.
struct ColouredBar
{
    ColouredBar()
    {
        bar.resize(20, 200);
        bar.setRange(0, 100);
        bar.setPageStep(20);
        bar.setScrollbarBackground(CommonCtrlStateNormal, solid(kBack));
        for (int s = 0; s < 4; ++s) {
            bar.setScrollbarUpButton(CtrlState(s), solid(kUp[s]));
            bar.setScrollbarDownButton(CtrlState(s), solid(kDown[s]));
            bar.setScrollbarThumb(CtrlState(s), solid(kThumb[s]));
        }
    }
    QRect rect(Part part) const { return bar.painter()->partRect(part); }
    int state(Part part) const { return bar.painter()->partState(part); }
    TEVQScrollBar bar;
};

} // namespace

class TestScrollBar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void startsHidden();
    void thicknessReplacesSizeHint();
    void perStateSetters();
    void thumbDragKeepsPressed();
    void buttonLosesPressedWhenLeft();
    void releaseAndLeave();
    void paintsEachPart();
    void styleSlots();
    void styleNullWhenUnnamed();
    void iconsAndOrientationJson();
    void catalogue();

private:
    QTemporaryDir m_theme;
};

void TestScrollBar::initTestCase()
{
    QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    QVERIFY(m_theme.isValid());
    QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), R"({"style": [
        {"type": 1, "name": "back", "clr": "FF0A0A0A", "drawImg": false},
        {"type": 1, "name": "up", "clr": "FF000064", "drawImg": false},
        {"type": 1, "name": "upHot", "clr": "FF000096", "drawImg": false},
        {"type": 1, "name": "thumb", "clr": "FF640000", "drawImg": false}]})"));
    QVERIFY(TEVQResourceManager::getInstance()->loadThemeDir(m_theme.path()));
    // The same styles for page elements read outside a theme.
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    Json::Value doc;
    QVERIFY(json::parse(tevtest::readFile(m_theme.filePath("style.json")), doc));
    QVERIFY(rm->readStyle(rm->defaultStore(), json::get(doc, "style")));
}

void TestScrollBar::startsHidden()
{
    QWidget owner;
    TEVQScrollBar* v = new TEVQScrollBar(&owner);
    TEVQScrollBar* h = new TEVQScrollBar(Qt::Horizontal, &owner);
    QWidget* plain = new QWidget(&owner);
    // Hidden explicitly: showing the owner does not show them, while a plain child would be shown.
    QVERIFY(plain->isVisibleTo(&owner));
    QVERIFY(!v->isVisibleTo(&owner));
    QVERIFY(!h->isVisibleTo(&owner));
    QCOMPARE(v->orientation(), Qt::Vertical);
    QCOMPARE(h->orientation(), Qt::Horizontal);
    QVERIFY(v->hasMouseTracking());
    QCOMPARE(v->getTypeName(), QStringLiteral("qtscrollbar"));
    v->show();
    QVERIFY(v->isVisibleTo(&owner));
}

void TestScrollBar::thicknessReplacesSizeHint()
{
    TEVQScrollBar v;
    const QSize qtHint = v.QScrollBar::sizeHint();
    QCOMPARE(v.sizeHint(), qtHint);
    v.setWidthHeight(12);
    QCOMPARE(v.getWidthHeight(), 12);
    QCOMPARE(v.sizeHint(), QSize(12, qtHint.height()));

    TEVQScrollBar h(Qt::Horizontal);
    const QSize hHint = h.QScrollBar::sizeHint();
    h.setWidthHeight(12);
    QCOMPARE(h.sizeHint(), QSize(hHint.width(), 12));
    h.setWidthHeight(-1);
    QCOMPARE(h.sizeHint(), hHint);
}

void TestScrollBar::perStateSetters()
{
    TEVQScrollBar b;
    b.setScrollbarUpButton(CtrlState(4), solid(kUp[2]));
    for (int s = 0; s < 4; ++s)
        QCOMPARE(b.getScrollbarUpButton(CtrlState(s)).fillRes.fillColor, kUp[2]);
    b.setScrollbarUpButton(CtrlStateHot, solid(kUp[1]));
    QCOMPARE(b.getScrollbarUpButton(CtrlStateHot).fillRes.fillColor, kUp[1]);
    QCOMPARE(b.getScrollbarUpButton(CtrlStateNormal).fillRes.fillColor, kUp[2]);
    b.setScrollbarThumb(CtrlState(12), solid(kThumb[3])); // out of range: ignored
    QCOMPARE(b.getScrollbarThumb(CtrlStateNormal), FillStyle());
    QCOMPARE(b.getScrollbarThumb(CtrlState(-2)), FillStyle());
    b.setScrollbarBackground(CommonCtrlStateDisable, solid(kBack));
    QCOMPARE(b.getScrollbarBackground(CommonCtrlStateNormal).fillRes.fillColor, kBack);

}

void TestScrollBar::thumbDragKeepsPressed()
{
    ColouredBar c;
    const QRect thumb = c.rect(Part::PartThumb);
    QVERIFY(thumb.isValid());
    mouse(&c.bar, QEvent::MouseMove, thumb.center(), Qt::NoButton);
    QCOMPARE(c.state(Part::PartThumb), 1);
    mouse(&c.bar, QEvent::MouseButtonPress, thumb.center());
    QCOMPARE(c.state(Part::PartThumb), 2);
    // Dragged down and off to the side: Qt moves the value, the thumb keeps its pressed look.
    mouse(&c.bar, QEvent::MouseMove, thumb.center() + QPoint(60, 50));
    QCOMPARE(c.state(Part::PartThumb), 2);
    QVERIFY(c.bar.value() > 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&c.bar, &leave);
    QCOMPARE(c.state(Part::PartThumb), 2);
    mouse(&c.bar, QEvent::MouseButtonRelease, QPoint(60, 190), Qt::NoButton);
    QCOMPARE(c.state(Part::PartThumb), 0);
}

void TestScrollBar::buttonLosesPressedWhenLeft()
{
    ColouredBar c;
    const QRect up = c.rect(Part::PartUp);
    const QRect down = c.rect(Part::PartDown);
    QVERIFY(up.isValid() && down.isValid());
    QVERIFY(up.top() < down.top());
    c.bar.setValue(50);
    mouse(&c.bar, QEvent::MouseButtonPress, up.center());
    QCOMPARE(c.state(Part::PartUp), 2);
    QCOMPARE(c.state(Part::PartDown), 0);
    mouse(&c.bar, QEvent::MouseMove, QPoint(up.center().x(), 100));
    QCOMPARE(c.state(Part::PartUp), 0);
    mouse(&c.bar, QEvent::MouseButtonRelease, QPoint(up.center().x(), 100), Qt::NoButton);
    QCOMPARE(c.state(Part::PartUp), 0);

    // Hover on the down button, then away.
    mouse(&c.bar, QEvent::MouseMove, down.center(), Qt::NoButton);
    QCOMPARE(c.state(Part::PartDown), 1);
    QCOMPARE(c.state(Part::PartUp), 0);
    mouse(&c.bar, QEvent::MouseMove, up.center(), Qt::NoButton);
    QCOMPARE(c.state(Part::PartDown), 0);
    QCOMPARE(c.state(Part::PartUp), 1);
}

void TestScrollBar::releaseAndLeave()
{
    ColouredBar c;
    const QRect thumb = c.rect(Part::PartThumb);
    mouse(&c.bar, QEvent::MouseButtonPress, thumb.center());
    mouse(&c.bar, QEvent::MouseButtonRelease, thumb.center(), Qt::NoButton);
    QCOMPARE(c.state(Part::PartThumb), 1); // released over the thumb: hot
    QCOMPARE(c.state(Part::PartUp), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&c.bar, &leave);
    QCOMPARE(c.state(Part::PartThumb), 0);

    const QRect down = c.rect(Part::PartDown);
    mouse(&c.bar, QEvent::MouseMove, down.center(), Qt::NoButton);
    QApplication::sendEvent(&c.bar, &leave);
    QCOMPARE(c.state(Part::PartDown), 0);
}

void TestScrollBar::paintsEachPart()
{
    ColouredBar c;
    c.bar.setValue(0);
    const QRect thumb = c.rect(Part::PartThumb);
    const QRect up = c.rect(Part::PartUp);
    const QRect down = c.rect(Part::PartDown);
    QImage img = shot(&c.bar);
    auto at = [&img](const QPoint& p) { return QColor::fromRgba(img.pixel(p)); };
    QCOMPARE(at(thumb.center()), kThumb[0]);
    QCOMPARE(at(up.center()), kUp[0]);
    QCOMPARE(at(down.center()), kDown[0]);
    // The track between the thumb and the down button shows the background.
    QCOMPARE(at(QPoint(10, (thumb.bottom() + down.top()) / 2)), kBack);

    mouse(&c.bar, QEvent::MouseButtonPress, thumb.center());
    img = shot(&c.bar);
    QCOMPARE(at(c.rect(Part::PartThumb).center()), kThumb[2]);
    mouse(&c.bar, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::NoButton);

    // A disabled bar keeps the look of its part states: they never become 3.
    c.bar.setEnabled(false);
    img = shot(&c.bar);
    QCOMPARE(at(c.rect(Part::PartDown).center()), kDown[0]);
}

void TestScrollBar::styleSlots()
{
    TEVQScrollBar b;
    read(&b, R"({"attr": {}, "style": [["up", 1, 2], ["back", 1, 1], ["nosuch", 1, 6], ["thumb", 1, 14]]})");
    for (int s = 0; s < 4; ++s)
        QCOMPARE(b.getScrollbarUpButton(CtrlState(s)).name, QStringLiteral("up"));
    QCOMPARE(b.getScrollbarBackground(CommonCtrlStateNormal).name, QString()); // slot 1 is not a slot
    QCOMPARE(b.getScrollbarDownButton(CtrlStateNormal), FillStyle());
    QCOMPARE(b.getScrollbarThumb(CtrlStateNormal), FillStyle());
    QCOMPARE(jsonText(json::get(written(&b), "style")), jsonText(parse(R"([["up", 1, 2]])")));

    // Refining one state makes the group write per state; the background has its own slot.
    read(&b, R"({"attr": {}, "style": [["upHot", 1, 3], ["back", 1, 0], ["thumb", 1, 10]]})");
    QCOMPARE(b.getScrollbarUpButton(CtrlStateHot).name, QStringLiteral("upHot"));
    QCOMPARE(b.getScrollbarUpButton(CtrlStatePressed).name, QStringLiteral("up"));
    QCOMPARE(jsonText(json::get(written(&b), "style")),
             jsonText(parse(R"([["back", 1, 0], ["up", 1, 2], ["upHot", 1, 3], ["up", 1, 4], ["up", 1, 5],
                                ["thumb", 1, 10]])")));
}

void TestScrollBar::styleNullWhenUnnamed()
{
    TEVQScrollBar b;
    b.setScrollbarThumb(CtrlState(4), solid(kThumb[0])); // styled, but without names
    const Json::Value out = written(&b);
    QVERIFY(json::has(out, "style"));
    QVERIFY(json::get(out, "style").isNull());
    QVERIFY(!json::has(out, "attr"));
}

void TestScrollBar::iconsAndOrientationJson()
{
    TEVQScrollBar b;
    read(&b, R"({"attr": {"upicon": "u.png", "downicon": "d.svg", "thumbicon": "t.png", "hor": true}})");
    QCOMPARE(b.orientation(), Qt::Horizontal);
    QCOMPARE(b.getScrollbarBtnIcon(true), QStringLiteral("u.png"));
    QCOMPARE(b.getScrollbarBtnIcon(false), QStringLiteral("d.svg"));
    QCOMPARE(b.getScrollbarThumbIcon(), QStringLiteral("t.png"));
    QCOMPARE(jsonText(json::get(written(&b), "attr")),
             jsonText(parse(R"({"downicon": "d.svg", "hor": 1, "thumbicon": "t.png", "upicon": "u.png"})")));

    // An "attr" object without the icons clears them; "hor" absent keeps the orientation.
    read(&b, R"({"attr": {"upicon": "u2.png"}})");
    QCOMPARE(b.getScrollbarBtnIcon(true), QStringLiteral("u2.png"));
    QCOMPARE(b.getScrollbarBtnIcon(false), QString());
    QCOMPARE(b.orientation(), Qt::Horizontal);

    read(&b, R"({"attr": {"hor": false}})");
    QCOMPARE(b.orientation(), Qt::Vertical);
    QVERIFY(!json::has(json::get(written(&b), "attr"), "hor"));

    // While a theme is applied, "hor" is not read.
    {
        TEVThemeResGuard themeRes(true);
        read(&b, R"({"attr": {"hor": 1}})");
    }
    QCOMPARE(b.orientation(), Qt::Vertical);
    QVERIFY(!TEVQResourceManager::getInstance()->isLoadFromThemeRes());
}

void TestScrollBar::catalogue()
{
    const ControlInfo info = TEVQScrollBar::getProps();
    QCOMPARE(info.typeName, std::string("qtscrollbar"));
    QCOMPARE(info.displayName, std::string("ScrollBar"));
    QCOMPARE(info.className, std::string("TEVQScrollBar"));
    QCOMPARE(info.iconName, std::string("scrollbar"));
    QStringList rows;
    for (const PropertyDef& d : info.props)
        rows << QStringLiteral("%1:%2").arg(d.name).arg(d.kind);
    QCOMPARE(rows.join(','), QStringLiteral("Name:0,Type:2,Visibility:3,Enable:3,Tooltip:1,Alpha:10,Line:4,"
                                            "Background:5,UpButton:5,DownButton:5,Thumb:5,Thumb:9"));
    QCOMPARE(info.props.at(7).options, QStringList({QStringLiteral("Normal"), QStringLiteral("Disable")}));

    TEVQScrollBar b;
    info.props.at(11).setText(&b, QStringLiteral("grip.png"));
    QCOMPARE(b.getScrollbarThumbIcon(), QStringLiteral("grip.png"));
    info.props.at(8).setFillStyle(&b, 4, solid(kUp[3]));
    QCOMPARE(b.getScrollbarUpButton(CtrlStateDisable).fillRes.fillColor, kUp[3]);
}

TEV_TEST_MAIN(TestScrollBar)
#include "tst_scrollbar.moc"
