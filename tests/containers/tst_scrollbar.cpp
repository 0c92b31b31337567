// The themed scroll bar: hidden start, thickness, part states under the mouse, painting, JSON and catalogue.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVQComboBox.h"
#include "TEVQScrollBar.h"
#include "TEVQSlider.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QSlider>
#include <QStyleOption>
#include <QStyleFactory>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <memory>

using namespace TEVQtLib;

namespace {

using Part = TEVQScrollBarImpl::Part;

const QColor kBack(10, 10, 10);
const QColor kUp[4] = {QColor(0, 0, 100), QColor(0, 0, 150), QColor(0, 0, 200), QColor(0, 0, 250)};
const QColor kDown[4] = {QColor(0, 100, 0), QColor(0, 150, 0), QColor(0, 200, 0), QColor(0, 250, 0)};
const QColor kThumb[4] = {QColor(100, 0, 0), QColor(150, 0, 0), QColor(200, 0, 0), QColor(250, 0, 0)};

using tevtest::parse;

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

void leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
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
    QColor at(const QPoint& p)
    {
        QImage img(bar.size(), QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        bar.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        return QColor::fromRgba(img.pixel(p));
    }
    TEVQScrollBar bar;
};

} // namespace

class TestScrollBar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        // The styles page elements name, outside a theme.
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QVERIFY(rm->readStyle(rm->defaultStore(), parse(R"([{"type": 1, "name": "back", "clr": "FF0A0A0A"},
            {"type": 1, "name": "up", "clr": "FF000064"}, {"type": 1, "name": "upHot", "clr": "FF000096"},
            {"type": 1, "name": "thumb", "clr": "FF640000"}, {"type": 1, "name": "upTwin", "clr": "FF000064"},
            {"type": 1, "name": "upRound", "clr": "FF000064", "round": 3},
            {"type": 1, "name": "pic", "drawImg": true, "img": "a.png", "margin": [1, 1, 1, 1]},
            {"type": 1, "name": "picTwin", "drawImg": true, "img": "a.png", "margin": [2, 2, 2, 2]}])")));
    }

    void startsHiddenWithItsThickness()
    {
        // Hidden explicitly: showing the owner does not show them, while a plain child would be shown.
        QWidget owner;
        auto* v = new TEVQScrollBar(&owner);
        auto* h = new TEVQScrollBar(Qt::Horizontal, &owner);
        QVERIFY(!v->isVisibleTo(&owner) && !h->isVisibleTo(&owner));
        v->show();
        QVERIFY(v->isVisibleTo(&owner));

        // The thickness replaces the size hint across the bar only; a negative one restores Qt's.
        const QSize vHint = v->QScrollBar::sizeHint();
        const QSize hHint = h->QScrollBar::sizeHint();
        v->setWidthHeight(12);
        h->setWidthHeight(12);
        QCOMPARE(v->sizeHint(), QSize(12, vHint.height()));
        QCOMPARE(h->sizeHint(), QSize(hHint.width(), 12));
        h->setWidthHeight(-1);
        QCOMPARE(h->sizeHint(), hHint);
    }

    void partStatesFollowTheMouse()
    {
        ColouredBar c;
        const QRect thumb = c.rect(Part::PartThumb);
        QVERIFY(thumb.isValid());
        mouse(&c.bar, QEvent::MouseMove, thumb.center(), Qt::NoButton);
        QCOMPARE(c.state(Part::PartThumb), 1);
        mouse(&c.bar, QEvent::MouseButtonPress, thumb.center());
        QCOMPARE(c.state(Part::PartThumb), 2);
        // Dragged down and off to the side, even out of the bar: Qt moves the value, the thumb stays pressed.
        mouse(&c.bar, QEvent::MouseMove, thumb.center() + QPoint(60, 50));
        QCOMPARE(c.state(Part::PartThumb), 2);
        QVERIFY(c.bar.value() > 0);
        mouse(&c.bar, QEvent::MouseButtonRelease, QPoint(60, 190), Qt::NoButton);
        QCOMPARE(c.state(Part::PartThumb), 0);

        // Released over the thumb: hot, until the pointer leaves.
        const QRect again = c.rect(Part::PartThumb);
        mouse(&c.bar, QEvent::MouseButtonPress, again.center());
        mouse(&c.bar, QEvent::MouseButtonRelease, again.center(), Qt::NoButton);
        QCOMPARE(c.state(Part::PartThumb), 1);
        leave(&c.bar);
        QCOMPARE(c.state(Part::PartThumb), 0);

        const QRect up = c.rect(Part::PartUp);
        const QRect down = c.rect(Part::PartDown);
        QVERIFY(up.isValid() && down.isValid() && up.top() < down.top());
        c.bar.setValue(50);
        // A pressed button loses its pressed look once the pointer leaves it, and does not get it back on release.
        mouse(&c.bar, QEvent::MouseButtonPress, up.center());
        QCOMPARE(c.state(Part::PartUp), 2);
        mouse(&c.bar, QEvent::MouseMove, QPoint(up.center().x(), 100));
        QCOMPARE(c.state(Part::PartUp), 0);
        mouse(&c.bar, QEvent::MouseButtonRelease, QPoint(up.center().x(), 100), Qt::NoButton);
        QCOMPARE(c.state(Part::PartUp), 0);

        // Hover moves from part to part; leaving the bar clears it.
        mouse(&c.bar, QEvent::MouseMove, down.center(), Qt::NoButton);
        QCOMPARE(c.state(Part::PartDown), 1);
        mouse(&c.bar, QEvent::MouseMove, up.center(), Qt::NoButton);
        QCOMPARE(c.state(Part::PartDown), 0);
        QCOMPARE(c.state(Part::PartUp), 1);

        // Hidden while its thumb is held (its view no longer needs it), it comes back with every part normal.
        c.bar.setAttribute(Qt::WA_DontShowOnScreen);
        c.bar.show();
        mouse(&c.bar, QEvent::MouseButtonPress, c.rect(Part::PartThumb).center());
        QCOMPARE(c.state(Part::PartThumb), 2);
        c.bar.hide();
        c.bar.show();
        QCOMPARE(c.state(Part::PartThumb), 0);
        QCOMPARE(c.state(Part::PartUp), 0);
    }

    void hotThumbFollowsTheWheelUnderARestingPointer()
    {
        // The thumb moves under a pointer that does not move: it is hot exactly while it lies under the pointer.
        ColouredBar c;
        const QPoint at = c.rect(Part::PartThumb).center();
        mouse(&c.bar, QEvent::MouseMove, at, Qt::NoButton);
        QCOMPARE(c.state(Part::PartThumb), 1);
        QWheelEvent wheel(QPointF(at), QPointF(c.bar.mapToGlobal(at)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        c.bar.setSingleStep(20);
        QApplication::sendEvent(&c.bar, &wheel);
        QVERIFY(c.bar.value() > 0 && !c.rect(Part::PartThumb).contains(at));
        QCOMPARE(c.state(Part::PartThumb), 0);
        c.bar.setValue(0);
        QCOMPARE(c.state(Part::PartThumb), 1);
        // Gone out of the bar, the pointer makes nothing hot.
        leave(&c.bar);
        c.bar.setValue(50);
        c.bar.setValue(0);
        QCOMPARE(c.state(Part::PartThumb), 0);
    }

    void paintsEachPart()
    {
        ColouredBar c;
        c.bar.setValue(0);
        const QRect thumb = c.rect(Part::PartThumb);
        const QRect down = c.rect(Part::PartDown);
        QCOMPARE(c.at(thumb.center()), kThumb[0]);
        QCOMPARE(c.at(c.rect(Part::PartUp).center()), kUp[0]);
        QCOMPARE(c.at(down.center()), kDown[0]);
        // The track between the thumb and the down button shows the background.
        QCOMPARE(c.at(QPoint(10, (thumb.bottom() + down.top()) / 2)), kBack);

        mouse(&c.bar, QEvent::MouseButtonPress, thumb.center());
        QCOMPARE(c.at(c.rect(Part::PartThumb).center()), kThumb[2]);
        mouse(&c.bar, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::NoButton);

        // A disabled bar keeps the look of its part states: they never become 3.
        c.bar.setEnabled(false);
        QCOMPARE(c.at(c.rect(Part::PartDown).center()), kDown[0]);

        // An SVG icon is rendered once for its size and kept: a later paint (each scroll step, each hover) does
        // not render it again, so a renderer that draws nothing any more leaves the icon as it was.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("thumb.svg"));
        QVERIFY(tevtest::writeFile(path, R"(<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8">)"
                                         R"(<rect width="8" height="8" fill="#fff"/></svg>)"));
        ColouredBar d;
        d.bar.setScrollbarThumbIcon(path);
        const QPoint centre = d.rect(Part::PartThumb).center();
        QCOMPARE(d.at(centre), QColor(Qt::white));
        QSvgRenderer* renderer = TEVQResourceManager::getInstance()->getSvgRenderer(path);
        QVERIFY(renderer && renderer->load(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>")));
        QCOMPARE(d.at(centre), QColor(Qt::white));
    }

    void styleSlots()
    {
        // Setters: state 4 is every state, states out of range are ignored.
        TEVQScrollBar s;
        s.setScrollbarUpButton(CtrlState(4), solid(kUp[2]));
        s.setScrollbarUpButton(CtrlStateHot, solid(kUp[1]));
        QCOMPARE(s.getScrollbarUpButton(CtrlStateHot).fillRes.fillColor, kUp[1]);
        QCOMPARE(s.getScrollbarUpButton(CtrlStateDisable).fillRes.fillColor, kUp[2]);
        s.setScrollbarThumb(CtrlState(5), solid(kThumb[3]));
        QCOMPARE(s.getScrollbarThumb(CtrlStateNormal), FillStyle());
        // Styled without names: "style" is written as null, and no "attr".
        const Json::Value unnamed = written(&s);
        QVERIFY(json::has(unnamed, "style") && json::get(unnamed, "style").isNull());
        QVERIFY(!json::has(unnamed, "attr"));

        TEVQScrollBar b;
        read(&b, R"({"attr": {}, "style": [["up", 1, 2], ["back", 1, 1], ["nosuch", 1, 6], ["thumb", 1, 14]]})");
        for (int st = 0; st < 4; ++st)
            QCOMPARE(b.getScrollbarUpButton(CtrlState(st)).name, QStringLiteral("up"));
        QCOMPARE(b.getScrollbarBackground(CommonCtrlStateNormal).name, QString()); // slot 1 is not a slot
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

    void equalLookingStatesWriteOneEntry()
    {
        // States compare by their flags and then their colour part, or their image name: names and image margins
        // do not count, so four states that look the same write one entry.
        TEVQScrollBar b;
        read(&b, R"({"style": [["up", 1, 2], ["upTwin", 1, 3], ["up", 1, 4], ["upTwin", 1, 5],
                               ["pic", 1, 10], ["picTwin", 1, 12]]})");
        QCOMPARE(b.getScrollbarUpButton(CtrlStateHot).name, QStringLiteral("upTwin"));
        QCOMPARE(b.getScrollbarThumb(CtrlStatePressed).name, QStringLiteral("picTwin"));
        QCOMPARE(jsonText(json::get(written(&b), "style")), jsonText(parse(R"([["up", 1, 2], ["pic", 1, 10]])")));

        // A colour part that differs (here the rounding) still writes each named state.
        read(&b, R"({"style": [["upRound", 1, 3]]})");
        QCOMPARE(jsonText(json::get(written(&b), "style")),
                 jsonText(parse(R"([["up", 1, 2], ["upRound", 1, 3], ["up", 1, 4], ["upTwin", 1, 5],
                                    ["pic", 1, 10]])")));
    }

    void iconsAndOrientationJson()
    {
        TEVQScrollBar b;
        read(&b, R"({"attr": {"upicon": "u.png", "downicon": "d.svg", "thumbicon": "t.png", "hor": true}})");
        QCOMPARE(b.orientation(), Qt::Horizontal);
        QCOMPARE(b.getScrollbarBtnIcon(false), QStringLiteral("d.svg"));
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

    void proxyStyleAsksControlsForTheirParts()
    {
        // The framework's style knows no control: the slider and the combo box answer for the parts they paint.
        QStyle* style = QApplication::style();
        QVERIFY(style->inherits("CScrollBarStyle"));
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        for (const Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
            TEVQSlider s(nullptr, o);
            s.resize(o == Qt::Horizontal ? QSize(200, 40) : QSize(40, 200));
            s.setThumbSize(30, 14);
            QStyleOptionSlider option;
            option.initFrom(&s);
            option.orientation = o;
            option.maximum = 100;
            option.sliderPosition = option.sliderValue = 50;
            option.subControls = QStyle::SC_All;
            QCOMPARE(style->pixelMetric(QStyle::PM_SliderLength, &option, &s), o == Qt::Horizontal ? 30 : 14);
            const QRect handle = style->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &s);
            QCOMPARE(handle.size(), QSize(30, 14));
            if (o == Qt::Horizontal)
                QCOMPARE(handle.top(), (40 - 14) / 2);
            else
                QCOMPARE(handle.left(), (40 - 30) / 2);
            // Other metrics are the proxied style's.
            QCOMPARE(style->pixelMetric(QStyle::PM_SliderThickness, &option, &s),
                     fusion->pixelMetric(QStyle::PM_SliderThickness, &option, &s));
        }

        TEVQComboBox combo;
        combo.resize(200, 40);
        combo.setEditable(true);
        QStyleOptionComboBox option;
        option.initFrom(&combo);
        option.editable = true;
        QCOMPARE(style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &combo),
                 QRect(159, 0, 40, 40));
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
        QVERIFY(!field.isEmpty() && field.right() < 159);
        // Without an option there is no box to place the button in: the common style's answer stands.
        QCOMPARE(style->subControlRect(QStyle::CC_ComboBox, nullptr, QStyle::SC_ComboBoxArrow, &combo), QRect());

        // Qt's own slider and combo box keep the proxied style's answers.
        QComboBox plain;
        plain.resize(200, 40);
        option.initFrom(&plain);
        QCOMPARE(style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &plain),
                 fusion->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &plain));
        QSlider plainSlider;
        QCOMPARE(style->pixelMetric(QStyle::PM_SliderLength, nullptr, &plainSlider),
                 fusion->pixelMetric(QStyle::PM_SliderLength, nullptr, &plainSlider));
    }

    void catalogue()
    {
        // Rows 7 Background (two states), 8 UpButton, 11 the thumb icon.
        const ControlInfo info = TEVQScrollBar::getProps();
        QCOMPARE(info.props.at(7).options, QStringList({QStringLiteral("Normal"), QStringLiteral("Disable")}));

        // The rows reach the bar they describe.
        TEVQScrollBar b;
        info.props.at(11).setText(&b, QStringLiteral("grip.png"));
        QCOMPARE(b.getScrollbarThumbIcon(), QStringLiteral("grip.png"));
        info.props.at(8).setFillStyle(&b, 4, solid(kUp[3]));
        QCOMPARE(b.getScrollbarUpButton(CtrlStateDisable).fillRes.fillColor, kUp[3]);
    }

};

TEV_TEST_MAIN(TestScrollBar)
#include "tst_scrollbar.moc"
