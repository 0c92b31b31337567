// Switch, image, progress bar, LCD number and spin box: their JSON contract against one fixture theme, the
// pixels they paint where it matters, mouse and keys, the registry and catalogue, and a gallery to look at.
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQControlRegistry.h"
#include "TEVQImage.h"
#include "TEVQLCDNumber.h"
#include "TEVQProgressBar.h"
#include "TEVQResourceManager.h"
#include "TEVQSpinBox.h"
#include "TEVQSwitch.h"

#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QStyleOptionSpinBox>
#include <QTemporaryDir>
#include <QVariantAnimation>

#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kTrack(255, 255, 255);
const QColor kThumb[4] = {QColor(0, 0, 200), QColor(0, 200, 200), QColor(200, 0, 200), QColor(90, 90, 90)};
const QColor kBack(0, 200, 0);
const QColor kFore(200, 0, 0);
const QColor kRed(255, 0, 0);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "bgN", "clr": "FF102030"}, {"type": 1, "name": "bgH", "clr": "FF406080"},
    {"type": 1, "name": "chan", "clr": "FF00C800"}, {"type": 1, "name": "fore", "clr": "FFC80000"},
    {"type": 2, "name": "txtA", "clr": "FFAA0000", "size": 14}, {"type": 2, "name": "txtB", "clr": "FF00AA00"}]})";

// Theme elements re-read on a theme change: only what they hold is set.
const char* const kThemeJson = R"({"elements": [{"child": [
    {"name": "TSwitch", "attr": {"thumbW": 30}, "style": [["chan", 1, 0]]},
    {"name": "TProgress", "attr": {"showText": 1}, "style": [["fore", 1, 2]]}
]}]})";

// A 1 x 1 GIF of two frames (red, then blue), 100 ms each.
const QByteArray kGif = QByteArray::fromHex("47494638396101000100800000"
                                            "ff00000000ff"
                                            "21f90400" "0a000000" "2c000000000100010000" "0202440100"
                                            "21f90400" "0a000000" "2c000000000100010000" "02024c0100"
                                            "3b");

Json::Value parse(const QString& text)
{
    Json::Value v;
    if (!json::parse(text.toStdString(), v))
        qFatal("bad test JSON: %s", qPrintable(text));
    return v;
}

void read(ITEVQWidgetBase* w, const QString& text)
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

QImage grab(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

QColor px(QWidget* w, int x, int y) { return QColor::fromRgba(grab(w).pixel(x, y)); }

// Pixels in r whose red channel exceeds green by more than 60 (red ink), or the reverse (green ink).
int ink(const QImage& img, const QRect& r, bool red)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (red ? qRed(img.pixel(x, y)) - qGreen(img.pixel(x, y)) : qGreen(img.pixel(x, y)) - qRed(img.pixel(x, y))) > 60;
    return n;
}

FillStyle solid(const QColor& c)
{
    FillStyle f;
    f.fillRes.fillColor = c;
    return f;
}

TextStyleDesc text(const QColor& c)
{
    TextStyleDesc t;
    t.color = c;
    return t;
}

void sendPlain(QWidget* w, QEvent::Type type)
{
    QEvent e(type);
    QApplication::sendEvent(w, &e);
}

// A 100 x 29 switch: white track, a thumb colour per state, the left text style green and the right one red.
std::unique_ptr<TEVQSwitch> styledSwitch()
{
    auto s = std::make_unique<TEVQSwitch>();
    s->resize(100, 29);
    s->setBackgroundStyle(CommonCtrlStateNormal, solid(kTrack));
    for (int st = 0; st < 4; ++st)
        s->setThumbStyle(CtrlState(st), solid(kThumb[st]));
    s->setTextStyle(SwitchPositionLeft, text(QColor(0, 170, 0)));
    s->setTextStyle(SwitchPositionRight, text(QColor(170, 0, 0)));
    return s;
}

// The thumb's colour at its top-right corner when at the right end, top-left when at the left end.
bool thumbAt(QWidget* w, bool left, const QColor& c)
{
    const QImage img = grab(w);
    const int x = left ? 3 : w->width() - 4;
    const int other = left ? w->width() - 4 : 3;
    return QColor::fromRgba(img.pixel(x, 3)) == c && QColor::fromRgba(img.pixel(other, 3)) != c;
}

std::unique_ptr<TEVQProgressBar> styledBar(const QSize& size)
{
    auto b = std::make_unique<TEVQProgressBar>();
    b->resize(size);
    b->setBackground(CommonCtrlStateNormal, solid(kBack));
    b->setForeground(CommonCtrlStateNormal, solid(kFore));
    return b;
}

QImage redSquare(int side)
{
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(kRed);
    return img;
}

struct BarCase {
    Qt::Orientation orientation;
    QSize size;
    int minimum, maximum, value;
    bool circle;
    QList<QPoint> fore, back;
};

} // namespace

Q_DECLARE_METATYPE(BarCase)

class TestControls2 : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(m_theme.isValid());
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), kStyleJson));
        QVERIFY(tevtest::writeFile(m_theme.filePath("theme.json"), kThemeJson));
        QVERIFY(redSquare(10).save(m_theme.filePath("red.png")));
        QVERIFY(tevtest::writeFile(m_theme.filePath("blue.svg"),
                                   R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10">)"
                                   R"(<rect width="10" height="10" fill="#00f"/></svg>)"));
        // A view box of 20 x 20, its left half half-transparent green, the right half empty.
        QVERIFY(tevtest::writeFile(m_theme.filePath("half.svg"),
                                   R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 20 20">)"
                                   R"(<rect width="10" height="20" fill="#0f0" fill-opacity="0.5"/></svg>)"));
        QVERIFY(tevtest::writeFile(m_theme.filePath("two.gif"), kGif));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        tevInitQtControl();
    }

    void cleanup() { rm()->setSwitchToThemeRes(false); }

    // ---- JSON: read, write, read again gives the same element -----------------------------------------------------

    void jsonContract_data()
    {
        // Columns: type, element read, "attr" and "style" written back.
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("attr");
        QTest::addColumn<QString>("style");
        QTest::newRow("switch new") << "qtswitch" << R"({})"
                                     << R"({"leftText": "On", "rightText": "Off", "thumbW": 25, "thumbH": 25, "on": true})" << R"(null)";
        QTest::newRow("switch empty attr resets") << "qtswitch" << R"({"attr": {}})"
                                     << R"({"thumbW": 25, "thumbH": 25})" << R"(null)";
        QTest::newRow("switch one text, speed, margin, on 0") << "qtswitch" << R"({"attr": {"leftText": "开", "speed": 120, "margin": 5, "on": 0, "x": 1}})"
                                     << R"({"leftText": "开", "margin": 5, "speed": 120, "thumbH": 25, "thumbW": 25, "x": 1})" << R"(null)";
        QTest::newRow("switch bounded") << "qtswitch" << R"({"attr": {"thumbW": -4, "thumbH": 2147483647, "speed": -1, "margin": -9, "on": true}})"
                                     << R"({"margin": 0, "on": true, "speed": 0, "thumbH": 16777215, "thumbW": 1})" << R"(null)";
        QTest::newRow("switch slots") << "qtswitch" << R"({"attr": {"on": 1}, "style": [["bgN", 1, 0], ["bgH", 1, 1], ["bgH", 1, 2], ["txtA", 2, 6], ["txtB", 2, 7]]})"
                                     << R"({"on": true, "thumbH": 25, "thumbW": 25})" << R"([["bgN", 1, 0], ["bgH", 1, 2], ["txtA", 2, 6], ["txtB", 2, 7]])";
        QTest::newRow("progress value and text") << "qtprogressbar" << R"({"attr": {"showText": true, "val": 40}})"
                                     << R"({"showText": 1, "val": 40})" << R"(null)";
        QTest::newRow("progress slots, absent value") << "qtprogressbar" << R"({"attr": {}, "style": [["bgN", 1, 0], ["bgH", 1, 1], ["fore", 1, 2], ["txtA", 2, 4]]})"
                                     << R"(null)" << R"([["bgN", 1, 0], ["fore", 1, 2], ["txtA", 2, 4]])";
        QTest::newRow("image path") << "qtpicture" << R"({"attr": {"path": "red.png", "fill": false}})"
                                     << R"({"fill": 0, "path": "red.png"})" << R"(null)";
        QTest::newRow("image svg by extension") << "qtpicture" << R"({"attr": {"path": "blue.SVG", "svgColor": "ff000000"}})"
                                     << R"({"svgPath": "blue.SVG"})" << R"(null)";
        QTest::newRow("image tint read opaque") << "qtpicture" << R"({"attr": {"svgPath": "b.svg", "svgUseColor": 1, "svgColor": "80FF0000"}})"
                                     << R"({"svgColor": "FFFF0000", "svgPath": "b.svg", "svgUseColor": 1})" << R"(null)";
        QTest::newRow("lcd clock text") << "qtlcdnumber" << R"({"attr": {"digitCount": 8, "color": "FF00FF00", "text": "12:30"}, "style": [["bgN", 1, 0]]})"
                                     << R"({"color": "FF00FF00", "digitCount": 8, "text": "12:30"})" << R"([["bgN", 1, 0]])";
        QTest::newRow("lcd large number") << "qtlcdnumber" << R"({"attr": {"digitCount": 0, "color": "FF000000", "text": "1234567"}})"
                                     << R"({"color": "FF000000", "digitCount": 1, "text": "1234567"})" << R"(null)";
        QTest::newRow("lcd fraction") << "qtlcdnumber" << R"({"attr": {"digitCount": 500, "color": "FF000000", "text": "12.5"}})"
                                     << R"({"color": "FF000000", "digitCount": 99, "text": "12.5"})" << R"(null)";
        QTest::newRow("spin box keeps the bag") << "dnumedit" << R"({"attr": {"custom": 7, "val": 3}})"
                                     << R"({"custom": 7, "val": 3})" << R"(null)";
    }

    void jsonContract()
    {
        QFETCH(QString, type);
        QFETCH(QString, input);
        QFETCH(QString, attr);
        QFETCH(QString, style);
        std::unique_ptr<QWidget> w(createControlByType(type.toLatin1().constData(), nullptr));
        ITEVQWidgetBase* c = qobject_cast<ITEVQWidgetBase*>(w.get());
        QVERIFY(c);
        read(c, input);
        const Json::Value first = written(c);
        QCOMPARE(jsonText(json::get(first, "attr")), jsonText(parse(attr)));
        QCOMPARE(jsonText(json::get(first, "style")), jsonText(parse(style)));
        std::unique_ptr<QWidget> again(createControlByType(type.toLatin1().constData(), nullptr));
        Json::Value copy = first;
        qobject_cast<ITEVQWidgetBase*>(again.get())->serializeJsonValue(&copy, true);
        QCOMPARE(jsonText(written(qobject_cast<ITEVQWidgetBase*>(again.get()))), jsonText(first));
    }

    // ---- switch -----------------------------------------------------------------------------------------------------

    void switchPaintsSidesTextsAndStates()
    {
        auto s = styledSwitch();
        // New: thumb at the right end (travel 100 - 4 - 25); "On" in the left slot in the right style (red),
        // "Off" in the right slot in the left style (green).
        QVERIFY(thumbAt(s.get(), false, kThumb[0]));
        QCOMPARE(px(s.get(), 72, 3), kTrack);
        QImage img = grab(s.get());
        const QRect left(2, 2, 25, 25), right(75, 2, 25, 25);
        QVERIFY(ink(img, left, true) > 5 && ink(img, left, false) == 0);
        QVERIFY(ink(img, right, false) > 5 && ink(img, right, true) == 0);

        // States outside 0..3 are ignored by the setter and read as the normal one.
        s->setThumbStyle(CtrlState(4), solid(kRed));
        s->setThumbStyle(CtrlState(-1), solid(kRed));
        QCOMPARE(s->getThumbStyle(CtrlState(9)).fillRes.fillColor, kThumb[0]);
        QCOMPARE(s->getThumbStyle(CtrlStateDisable).fillRes.fillColor, kThumb[3]);

        // Hot, pressed (the slide starts), disabled.
        sendPlain(s.get(), QEvent::Enter);
        QVERIFY(thumbAt(s.get(), false, kThumb[1]));
        s->setSwitchSpeed(10000);
        QTest::mousePress(s.get(), Qt::LeftButton, {}, QPoint(50, 14));
        QCOMPARE(px(s.get(), 96, 3), kThumb[2]);
        QVERIFY(s->painter()->animating);
        s->setSwitchToLeft(false); // away from the slide's end: the slide is cut short
        QVERIFY(!s->painter()->animating);
        QTest::mouseRelease(s.get(), Qt::LeftButton, {}, QPoint(50, 14));
        s->setEnabled(false);
        QVERIFY(thumbAt(s.get(), false, kThumb[3]));

        // Only the free side's text: thumb left, "Off" alone in the right slot in the right style.
        s->setEnabled(true);
        s->setShowAllText(false);
        s->setSwitchToLeft(true);
        img = grab(s.get());
        QVERIFY(ink(img, right, true) > 5 && ink(img, left, true) + ink(img, left, false) == 0);
    }

    void switchSlidesOnPress()
    {
        auto s = styledSwitch();
        s->setSwitchSpeed(60);
        grab(s.get());
        QTest::mousePress(s.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!s->getIsSwitchToLeft()); // the side changes when the slide ends
        QTest::mouseRelease(s.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::qWait(20);
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(10, 10)); // during the slide: no new slide
        QCOMPARE(s->painter()->animation->endValue().toInt(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(s->getIsSwitchToLeft(), 2000);
        QVERIFY(!s->painter()->animating);
        QTest::qWait(100);
        QVERIFY(s->getIsSwitchToLeft()); // flipped once
        QVERIFY(thumbAt(s.get(), true, kThumb[0]));
        // And back.
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QTRY_VERIFY_WITH_TIMEOUT(!s->getIsSwitchToLeft(), 2000);
        QVERIFY(thumbAt(s.get(), false, kThumb[0]));
    }

    void switchThumbFollowsTheSideSet()
    {
        auto s = styledSwitch();
        grab(s.get()); // placed once
        s->setSwitchToLeft(true);
        QVERIFY(thumbAt(s.get(), true, kThumb[0]));
        s->setSwitchToLeft(false);
        QVERIFY(thumbAt(s.get(), false, kThumb[0]));
        // A resize keeps the thumb at the right end of the new width.
        s->resize(160, 29);
        QVERIFY(thumbAt(s.get(), false, kThumb[0]));
        s->setThumbSize(40, 25);
        s->setMargin(0);
        QCOMPARE(px(s.get(), 120, 3), kThumb[0]);
        QCOMPARE(px(s.get(), 119, 3), kTrack);

        // A theme change sets what the theme holds and keeps the side and the texts set in code.
        s->setLeftText(QStringLiteral("ON"));
        s->setSwitchToLeft(true);
        s->setThemeName(QStringLiteral("TSwitch"));
        QCOMPARE(s->getBackgroundStyle(CommonCtrlStateNormal).name, QStringLiteral("chan"));
        QCOMPARE(s->getThumbBtnSize(), QSize(30, 25));
        QCOMPARE(s->getLeftText(), QStringLiteral("ON"));
        QVERIFY(s->getIsSwitchToLeft());
        QCOMPARE(px(s.get(), 29, 3), kThumb[0]);
        QCOMPARE(px(s.get(), 30, 3), QColor(0, 200, 0));

        // Setting the side the slide heads for lets it run to its end.
        s->setSwitchSpeed(40);
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(10, 10));
        s->setSwitchToLeft(false);
        QVERIFY(s->painter()->animating);
        QTRY_VERIFY_WITH_TIMEOUT(!s->painter()->animating, 2000);
        QVERIFY(!s->getIsSwitchToLeft());
    }

    // ---- progress bar -----------------------------------------------------------------------------------------------

    void switchSlidesAfterItsAnimationIsDeleted()
    {
        // The animation is a child of the switch: with it deleted by whoever deletes the switch's children (at
        // rest, then mid-slide), the switch slides on the next press.
        auto s = styledSwitch();
        s->setSwitchSpeed(0);
        delete s->findChild<QVariantAnimation*>();
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(50, 10));
        QTRY_VERIFY(s->getIsSwitchToLeft());
        s->setSwitchSpeed(10000);
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(50, 10));
        delete s->findChild<QVariantAnimation*>();
        s->setSwitchSpeed(0);
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(50, 10));
        QTRY_VERIFY(!s->getIsSwitchToLeft());
        QVERIFY(thumbAt(s.get(), false, kThumb[CtrlStateNormal]));
    }

    void switchSideSetAfterItsAnimationIsDeletedMidSlide()
    {
        // A slide whose animation is deleted never ends: the side set in code afterwards is taken and shown.
        auto s = styledSwitch();
        s->setSwitchSpeed(10000);
        QTest::mouseClick(s.get(), Qt::LeftButton, {}, QPoint(50, 10));
        QTest::qWait(30);
        delete s->findChild<QVariantAnimation*>();
        s->setSwitchToLeft(true);
        QVERIFY(s->getIsSwitchToLeft());
        QVERIFY(thumbAt(s.get(), true, kThumb[CtrlStateNormal]));
    }

    void progressGeometry_data()
    {
        QTest::addColumn<BarCase>("k");
        const QSize h(200, 20), c(100, 100);
        QTest::newRow("horizontal quarter") << BarCase{Qt::Horizontal, h, 0, 100, 25, false, {{49, 10}}, {{50, 10}}};
        QTest::newRow("vertical") << BarCase{Qt::Vertical, {20, 100}, 0, 100, 30, false, {{10, 70}}, {{10, 69}}};
        QTest::newRow("offset range") << BarCase{Qt::Horizontal, h, 50, 150, 100, false, {{99, 10}}, {{100, 10}}};
        QTest::newRow("empty range") << BarCase{Qt::Horizontal, h, 5, 5, 5, false, {}, {{0, 10}, {199, 10}}};
        QTest::newRow("busy range") << BarCase{Qt::Horizontal, h, 0, 0, 0, false, {}, {{0, 10}}};
        QTest::newRow("reset: minimum - 1") << BarCase{Qt::Horizontal, h, 0, 100, -1, false, {}, {{0, 10}}};
        QTest::newRow("whole int range") << BarCase{Qt::Horizontal, h, INT_MIN, INT_MAX, INT_MAX, false, {{199, 10}}, {}};
        QTest::newRow("circle half") << BarCase{Qt::Horizontal, c, 0, 100, 50, true, {{10, 50}, {40, 90}}, {{90, 50}, {60, 90}}};
        QTest::newRow("circle full") << BarCase{Qt::Horizontal, c, 0, 100, 100, true, {{90, 50}, {10, 10}}, {}};
        QTest::newRow("circle none") << BarCase{Qt::Horizontal, c, 0, 100, 0, true, {}, {{10, 50}, {40, 90}}};
        QTest::newRow("circle empty range") << BarCase{Qt::Horizontal, c, 7, 7, 7, true, {}, {{10, 50}}};
    }

    void progressGeometry()
    {
        QFETCH(BarCase, k);
        auto b = styledBar(k.size);
        b->setOrientation(k.orientation);
        b->setRange(k.minimum, k.maximum);
        if (k.value >= k.minimum)
            b->setValue(k.value);
        else
            b->reset();
        b->setCircleProgressBar(k.circle); // the angles are the full turn until a range is set
        const QImage img = grab(b.get());
        for (const QPoint& p : k.fore)
            QCOMPARE(QColor::fromRgba(img.pixel(p)), kFore);
        for (const QPoint& p : k.back)
            QCOMPARE(QColor::fromRgba(img.pixel(p)), kBack);
    }

    void progressAnglesTextAndTheme()
    {
        auto b = styledBar({100, 100});
        b->setCircleProgressBar(true);
        int start = 0, end = 0;
        for (const QPoint& bad : {QPoint(0, 90), QPoint(90, 90), QPoint(200, 100)})
            b->setCircleAngleRange(bad.x(), bad.y());
        b->getCirleAngleRange(start, end);
        QCOMPARE(QPoint(start, end), QPoint(1, 361));
        // A quarter from straight up clockwise: the right-hand upper quarter at half of the range.
        b->setCircleAngleRange(181, 361);
        b->setValue(50);
        QCOMPARE(px(b.get(), 70, 10), kFore);
        QCOMPARE(px(b.get(), 90, 70), kBack);
        QCOMPARE(px(b.get(), 10, 50), kBack);

        // The value's text, the raw value followed by "%".
        auto t = styledBar({200, 20});
        t->setForeground(CommonCtrlStateNormal, solid(Qt::white));
        TextStyleDesc red = text(QColor(170, 0, 0));
        red.horAlign = 1;
        t->painter()->textStyle = red;
        read(t.get(), R"({"attr": {"val": 25}})");
        QCOMPARE(ink(grab(t.get()), t->rect(), true), 0);
        t->setShowText(true);
        const QImage shown = grab(t.get());
        QVERIFY(ink(shown, QRect(80, 0, 40, 20), true) > 5);
        QCOMPARE(ink(shown, QRect(0, 0, 70, 20), true) + ink(shown, QRect(130, 0, 70, 20), true), 0);
        // The text follows the value.
        t->setValue(100);
        QVERIFY(ink(grab(t.get()), QRect(0, 0, 200, 20), true) > ink(shown, t->rect(), true));

        // A theme change keeps the value set in code; a page element without one resets it.
        t->setThemeName(QStringLiteral("TProgress"));
        QCOMPARE(t->value(), 100);
        QCOMPARE(t->getForeground(CommonCtrlStateNormal).name, QStringLiteral("fore"));
        read(t.get(), R"({"attr": {}})");
        QCOMPARE(t->value(), 0);
    }

    void cachedFillsFollowStyleAndSize()
    {
        // Rounded fills are drawn once into an image and reused: a new colour, radius or size is drawn anew.
        auto b = styledBar({100, 20});
        FillStyle round = solid(kFore);
        round.fillRes.radius = 4;
        b->setForeground(CommonCtrlStateNormal, round);
        b->setValue(50);
        QCOMPARE(px(b.get(), 25, 10), kFore);
        QCOMPARE(px(b.get(), 0, 0), kBack); // the rounded corner shows the background
        round.fillRes.fillColor = kRed;
        b->setForeground(CommonCtrlStateNormal, round);
        QCOMPARE(px(b.get(), 25, 10), kRed);
        b->setValue(80);
        QCOMPARE(px(b.get(), 75, 10), kRed);
        QCOMPARE(px(b.get(), 81, 10), kBack);
        round.fillRes.radius = 0;
        b->setForeground(CommonCtrlStateNormal, round);
        QCOMPARE(px(b.get(), 0, 0), kRed);
    }

    // ---- image ------------------------------------------------------------------------------------------------------

    void imagePlacementAndSources()
    {
        TEVQImage w;
        w.resize(25, 20);
        {
            const QImage local = redSquare(10);
            w.setImage(&local);
        } // the caller's image is gone: the control shows its own copy
        w.setStretchDraw(false);
        QImage img = grab(&w);
        QCOMPARE(QColor::fromRgba(img.pixel(7, 5)), kRed);
        QCOMPARE(QColor::fromRgba(img.pixel(16, 14)), kRed);
        QCOMPARE(qAlpha(img.pixel(6, 5)) + qAlpha(img.pixel(17, 14)) + qAlpha(img.pixel(7, 4)), 0);
        w.setAlignType(DockLayoutFar, DockLayoutType(7)); // 7 behaves as the start
        QCOMPARE(px(&w, 15, 0), kRed);
        QCOMPARE(px(&w, 14, 0).alpha(), 0);
        w.setStretchDraw(true);
        QCOMPARE(px(&w, 0, 0), kRed);
        QCOMPARE(px(&w, 24, 19), kRed);

        // An SVG path (any letter case) wins over the image; a PNG path after it clears the SVG but the image
        // given in code still has precedence over the path.
        w.setImagePath(QStringLiteral("blue.SVG"));
        QCOMPARE(w.getSvgPath(), QStringLiteral("blue.SVG"));
        QCOMPARE(px(&w, 12, 10), QColor(0, 0, 255));
        w.setImagePath(QStringLiteral("red.png"));
        QVERIFY(w.getSvgPath().isEmpty() && w.getImage());
        w.setImage(nullptr);
        QCOMPARE(px(&w, 24, 19), kRed);
        w.setSvgPath(QStringLiteral("blue.svg"));
        QVERIFY(w.getImagePath().isEmpty());
        w.setStretchDraw(false);
        QCOMPARE(px(&w, 15, 0), QColor(0, 0, 255));
        QCOMPARE(px(&w, 14, 0).alpha(), 0);
    }

    void imageSvgSizeAndTint()
    {
        TEVQImage w;
        w.setStretchDraw(false);
        w.setSvgPath(QStringLiteral("half.svg"));
        w.resize(0, 0);
        QImage none(1, 1, QImage::Format_ARGB32);
        none.fill(Qt::transparent);
        QPainter p(&none);
        w.painter()->draw(&p, QRect(0, 0, 0, 0)); // nothing to draw into, nothing drawn
        p.end();
        QCOMPARE(qAlpha(none.pixel(0, 0)), 0);

        // The view box's size, centred. Tinted: the colour everywhere it painted, its alpha kept.
        w.resize(40, 20);
        QImage img = grab(&w);
        QCOMPARE(QColor::fromRgba(img.pixel(9, 10)).alpha() + QColor::fromRgba(img.pixel(20, 10)).alpha(), 0);
        const QColor plain = QColor::fromRgba(img.pixel(10, 10));
        QVERIFY(plain.green() > 200 && plain.alpha() > 100 && plain.alpha() < 160);
        w.setSvgColor(QColor(255, 0, 0));
        img = grab(&w);
        const QColor tinted = QColor::fromRgba(img.pixel(19, 10));
        QCOMPARE(tinted.alpha(), plain.alpha());
        QVERIFY(tinted.red() > 240 && tinted.green() < 10);
        QCOMPARE(QColor::fromRgba(img.pixel(20, 10)).alpha(), 0);
        w.setUseSvgColor(false);
        QCOMPARE(px(&w, 10, 10), plain);
        // Stretched over the widget.
        w.setStretchDraw(true);
        QCOMPARE(px(&w, 0, 10), plain);
        QCOMPARE(px(&w, 19, 10), plain);
        QCOMPARE(px(&w, 20, 10).alpha(), 0);
    }

    // At ratio 2 the SVG is rendered at that ratio (kept from a paint at ratio 1 it would be stretched): edges on
    // half pixels fall on whole device pixels, plain and tinted.
    void imageSvgIsSharpAtRatioTwo()
    {
        const QString path = m_theme.filePath("halfpixel.svg");
        QVERIFY(tevtest::writeFile(path, R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10">)"
                                         R"(<rect x="2.5" y="2.5" width="5" height="5" fill="#00f"/></svg>)"));
        TEVQImage w;
        w.setStretchDraw(false);
        w.setSvgPath(path);
        w.resize(40, 40);
        for (const QColor& colour : {QColor(0, 0, 255), QColor(255, 0, 0)}) {
            if (colour != QColor(0, 0, 255))
                w.setSvgColor(colour);
            grab(&w); // kept at ratio 1 first
            QImage img(80, 80, QImage::Format_ARGB32);
            img.setDevicePixelRatio(2);
            img.fill(Qt::transparent);
            w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
            QCOMPARE(QColor::fromRgba(img.pixel(35, 35)), colour);
            QCOMPARE(QColor::fromRgba(img.pixel(44, 44)), colour);
            QCOMPARE(qAlpha(img.pixel(34, 40)) + qAlpha(img.pixel(45, 40)), 0);
        }
    }

    void imageOverAWidgetBeyondTheImageCaps()
    {
        // Stretched over a widget larger than the image caps (6000 x 6000 pixels), a picture or an SVG is kept
        // within them between paints and still covers the whole widget.
        TEVQImage w;
        w.resize(6000, 6000);
        QImage red(10, 10, QImage::Format_ARGB32);
        red.fill(kRed);
        for (int svg = 0; svg < 2; ++svg) {
            svg ? w.setSvgPath(QStringLiteral("half.svg")) : w.setImage(&red);
            QImage corners(2, 2, QImage::Format_ARGB32);
            corners.fill(Qt::transparent);
            QPainter p(&corners);
            p.translate(0, -5998); // the bottom-left corner (the SVG paints the left half of its box)
            w.painter()->draw(&p, w.rect());
            p.end();
            QVERIFY2(tevImageSizeAllowed(w.painter()->keptPicture().size()), svg ? "svg" : "raster");
            QVERIFY(qAlpha(corners.pixel(0, 1)) > 100);
        }
    }

    void imageClicksAndGif()
    {
        TEVQImage w;
        w.resize(30, 30);
        QSignalSpy clicked(&w, &TEVQImage::clicked);
        QTest::mouseRelease(&w, Qt::RightButton, {}, QPoint(5, 5)); // released without a press on it
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), 2);

        w.loadGif(m_theme.filePath("two.gif"));
        QLabel* label = w.painter()->movieLabel;
        QVERIFY(label && label->isVisibleTo(&w) && label->geometry() == w.rect());
        w.resize(40, 30);
        QResizeEvent resized(w.size(), QSize(30, 30));
        QApplication::sendEvent(&w, &resized);
        QCOMPARE(label->geometry(), w.rect());
        QSignalSpy finished(&w, &TEVQImage::movieFinished);
        QTRY_VERIFY_WITH_TIMEOUT((grab(&w), finished.count() > 0), 3000);
        QCOMPARE(w.painter()->lastFrame, 1);
        w.setImagePath(QStringLiteral("red.png"));
        QVERIFY(!w.painter()->movie && !label->isVisibleTo(&w));
        QCOMPARE(px(&w, 20, 15), kRed);
    }

    void imageFollowsAnotherTheme()
    {
        // Another theme with another picture under the same name: the next paint shows the new picture.
        TEVQImage w;
        w.resize(10, 10);
        w.setImagePath(QStringLiteral("red.png"));
        QCOMPARE(px(&w, 5, 5), kRed);
        QTemporaryDir other;
        QImage blue = redSquare(10);
        blue.fill(Qt::blue);
        QVERIFY(blue.save(other.filePath("red.png")));
        QVERIFY(tevtest::writeFile(other.filePath("style.json"), kStyleJson));
        QVERIFY(tevtest::writeFile(other.filePath("theme.json"), kThemeJson));
        QVERIFY(rm()->loadThemeDir(other.path()));
        const QColor shown = px(&w, 5, 5);
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QCOMPARE(shown, QColor(Qt::blue));
    }

    // ---- LCD number -------------------------------------------------------------------------------------------------

    void lcdColourTextAndBackground()
    {
        TEVQLCDNumber lcd;
        lcd.resize(120, 40);
        QVERIFY(lcd.frameStyle() == 0);
        // The colour is in every palette group at once; an invalid colour changes nothing.
        lcd.setColor(QColor(0, 128, 255));
        lcd.setColor(QColor());
        QCOMPARE(lcd.getColor(), QColor(0, 128, 255));
        QCOMPARE(lcd.palette().color(QPalette::Inactive, QPalette::WindowText), QColor(0, 128, 255));
        lcd.setBackground(CommonCtrlStateDisable, solid(kBack));
        QCOMPARE(lcd.getBackground(CommonCtrlStateNormal).fillRes.fillColor, kBack);
        lcd.setNumText(QStringLiteral("88888"));
        const QImage img = grab(&lcd);
        QCOMPARE(QColor::fromRgba(img.pixel(1, 1)), kBack);
        int digits = 0;
        for (int x = 0; x < 120; ++x)
            digits += QColor::fromRgba(img.pixel(x, 20)) == QColor(0, 128, 255);
        QVERIFY(digits > 5);

        // What was shown is what is written, also for numbers shown through QLCDNumber itself.
        lcd.setDigitCount(8);
        lcd.display(1234567);
        QCOMPARE(lcd.getNumText(), QStringLiteral("1234567"));
        lcd.display(0.1);
        QCOMPARE(lcd.getNumText(), QStringLiteral("0.1"));
        static_cast<QLCDNumber&>(lcd).display(42);
        QCOMPARE(lcd.getNumText(), QStringLiteral("42"));
        static_cast<QLCDNumber&>(lcd).display(2.5e20);
        QCOMPARE(lcd.getNumText().toDouble(), 2.5e20);
        lcd.setNumText(QStringLiteral("HELLO"));
        QCOMPARE(lcd.getNumText(), QStringLiteral("HELLO"));
    }


    void lcdNumberReadBackShowsTheSameDigits()
    {
        // A number with more digits than the display has is shown rounded to fit; read back, it is shown so
        // again (not as the last digits of its text), with the same value. Other texts are shown as they are.
        auto shownAfterRoundTrip = [](const std::function<void(TEVQLCDNumber&)>& show) {
            TEVQLCDNumber first;
            first.resize(120, 30);
            show(first);
            Json::Value element = written(&first);
            TEVQLCDNumber second;
            second.resize(120, 30);
            second.serializeJsonValue(&element, true);
            return grab(&first) == grab(&second) && first.value() == second.value();
        };
        for (double v : {3.14159, 0.1 + 0.2, 2.0 / 3.0, -12.5})
            QVERIFY2(shownAfterRoundTrip([v](TEVQLCDNumber& l) { l.display(v); }), qPrintable(QString::number(v)));
        QVERIFY(shownAfterRoundTrip([](TEVQLCDNumber& l) { l.setNumText(QStringLiteral("12:30")); }));
        QVERIFY(shownAfterRoundTrip([](TEVQLCDNumber& l) { l.setNumText(QStringLiteral("007")); }));

        // A text shown through a slot invoked by name (as a connection made by name does) is the text written.
        TEVQLCDNumber lcd;
        lcd.setNumText(QStringLiteral("12:30"));
        QVERIFY(QMetaObject::invokeMethod(&lcd, "display", Q_ARG(QString, QStringLiteral("HELLO"))));
        QCOMPARE(lcd.getNumText(), QStringLiteral("HELLO"));
    }
    // ---- spin box ---------------------------------------------------------------------------------------------------

    void spinBoxStepsAndLimits()
    {
        std::unique_ptr<QWidget> created(createControlByType("spinbox", nullptr));
        auto* s = qobject_cast<TEVQSpinBox*>(created.get());
        QVERIFY(s && !s->hasFrame());
        QCOMPARE(s->getTypeName(), QStringLiteral("qtspinbox"));
        s->resize(80, 24);
        s->setRange(0, 3);
        QSignalSpy changed(s, qOverload<int>(&QSpinBox::valueChanged));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(s, Qt::Key_Up);
        QCOMPARE(s->value(), 3);
        QCOMPARE(changed.count(), 3);
        QTest::keyClick(s, Qt::Key_PageDown);
        QCOMPARE(s->value(), 0);
        // The step buttons are not painted but take clicks.
        QStyleOptionSpinBox option;
        option.initFrom(s);
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        option.frame = false;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        const QRect up = s->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, s);
        const QRect down = s->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, s);
        QTest::mouseClick(s, Qt::LeftButton, {}, up.center());
        QTest::mouseClick(s, Qt::LeftButton, {}, up.center());
        QCOMPARE(s->value(), 2);
        QTest::mouseClick(s, Qt::LeftButton, {}, down.center());
        QCOMPARE(s->value(), 1);
        // Typed values beyond the maximum are refused.
        s->selectAll();
        QTest::keyClicks(s, QStringLiteral("9"));
        QCOMPARE(s->value(), 1);
        // Nothing of the box is painted: only the editor's text over transparency.
        QImage img(s->size(), QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        s->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        QCOMPARE(qAlpha(img.pixel(up.center())), 0);
    }

    // ---- registry and catalogue --------------------------------------------------------------------------------------

    void registryNames()
    {
        const struct { const char *type, *className, *canonical; bool catalogued; } cases[] = {
            {"qtswitch", "TEVQSwitch", "qtswitch", true},       {"switch", "TEVQSwitch", "qtswitch", false},
            {"qtpicture", "TEVQImage", "qtpicture", true},      {"picture", "TEVQImage", "qtpicture", false},
            {"image", "TEVQImage", "qtpicture", false},         {"qtprogressbar", "TEVQProgressBar", "qtprogressbar", true},
            {"progressbar", "TEVQProgressBar", "qtprogressbar", false},
            {"qtlcdnumber", "TEVQLCDNumber", "qtlcdnumber", true}, {"qtspinbox", "TEVQSpinBox", "qtspinbox", false},
            {"spinbox", "TEVQSpinBox", "qtspinbox", false},     {"dnumedit", "TEVQSpinBox", "qtspinbox", false}};
        for (const auto& c : cases) {
            std::unique_ptr<QWidget> w(createControlByType(c.type, nullptr));
            QVERIFY2(w, c.type);
            QCOMPARE(w->metaObject()->className(), c.className);
            QCOMPARE(qobject_cast<ITEVQWidgetBase*>(w.get())->getTypeName(), QString::fromLatin1(c.canonical));
            QCOMPARE(tevGetControlInfo(QString::fromLatin1(c.type)) != nullptr, c.catalogued);
        }
        QCOMPARE(QString::fromStdString(tevGetControlInfo(QStringLiteral("qtswitch"))->displayName), QStringLiteral("Slider"));
        // The rows' bindings are checked for the whole catalogue by the registry tests.
    }

    // ---- gallery ----------------------------------------------------------------------------------------------------

    void gallery()
    {
        // Switches in every state (English, then Chinese texts), bars, circles, images, LCD numbers, spin boxes.
        QWidget host;
        host.resize(560, 270);
        host.setStyleSheet(QStringLiteral("QWidget#host { background: #eceff4; }"));
        host.setObjectName(QStringLiteral("host"));
        FillStyle track = solid(QColor(200, 208, 216)), fg = solid(QColor(60, 140, 220));
        track.fillRes.radius = 12;
        fg.fillRes.radius = 6;
        const QColor thumbs[4] = {Qt::white, QColor(220, 236, 255), QColor(160, 196, 240), QColor(180, 180, 180)};
        TextStyleDesc small = text(QColor(30, 40, 50));
        small.horAlign = 1;
        const QString texts[2][2] = {{"On", "Off"}, {QStringLiteral("开"), QStringLiteral("关")}};
        for (int lang = 0; lang < 2; ++lang) {
            for (int st = 0; st < 4; ++st) {
                auto* s = new TEVQSwitch(&host);
                s->setGeometry(10 + st * 90, 10 + lang * 36, 80, 29);
                s->setBackgroundStyle(CommonCtrlStateNormal, track);
                for (int k = 0; k < 4; ++k) {
                    FillStyle t = solid(thumbs[k]);
                    t.fillRes.radius = 10;
                    s->setThumbStyle(CtrlState(k), t);
                }
                s->setTextStyle(SwitchPositionLeft, small);
                s->setTextStyle(SwitchPositionRight, small);
                s->setLeftText(texts[lang][0]);
                s->setRightText(texts[lang][1]);
                s->setSwitchToLeft(st % 2 == 0);
                if (st == 1)
                    sendPlain(s, QEvent::Enter);
                if (st == 2)
                    s->painter()->mousePressEvent(nullptr);
                s->setEnabled(st != 3);
            }
            for (int i = 0; i < 3; ++i) {
                auto* b = new TEVQProgressBar(&host);
                b->setBackground(CommonCtrlStateNormal, track);
                b->setForeground(CommonCtrlStateNormal, fg);
                b->painter()->textStyle = small;
                b->setShowText(true);
                b->setValue(i == 2 ? 65 - lang * 40 : i * 45 + 10);
                b->setCircleProgressBar(i == 2);
                b->setGeometry(i == 2 ? QRect(380 + lang * 90, 10, 70, 70) : QRect(10 + i * 180, 90 + lang * 30, 170, 22));
            }
            auto* lcd = new TEVQLCDNumber(&host);
            lcd->setGeometry(260 + lang * 150, 180, 140, 44);
            lcd->setBackground(CommonCtrlStateNormal, solid(QColor(20, 30, 40)));
            lcd->setColor(lang ? QColor(255, 170, 0) : QColor(80, 220, 120));
            lcd->setDigitCount(6);
            lcd->setNumText(lang ? QStringLiteral("12:30") : QStringLiteral("1234.5"));
            auto* spin = new TEVQSpinBox(&host);
            spin->setGeometry(10 + lang * 110, 230, 100, 26);
            spin->setSuffix(lang ? QStringLiteral(" 千瓦") : QStringLiteral(" kW"));
            spin->setEnabled(lang == 0);
        }
        auto* vertical = new TEVQProgressBar(&host);
        vertical->setOrientation(Qt::Vertical);
        vertical->setBackground(CommonCtrlStateNormal, track);
        vertical->setForeground(CommonCtrlStateNormal, solid(QColor(60, 180, 120)));
        vertical->setValue(70);
        vertical->setGeometry(380, 90, 20, 80);
        const char* paths[4] = {"red.png", "blue.svg", "half.svg", "red.png"};
        for (int i = 0; i < 4; ++i) {
            auto* img = new TEVQImage(&host);
            img->setGeometry(10 + i * 60, 160, 50, 50);
            img->setStretchDraw(i != 3);
            img->setImagePath(QString::fromLatin1(paths[i]));
            if (i == 2)
                img->setSvgColor(QColor(220, 120, 0));
        }
        QVERIFY(tevtest::keepRender(host.grab().toImage(), QStringLiteral("controls2_gallery.png")));
    }

private:
    QTemporaryDir m_theme;
};

TEV_TEST_MAIN(TestControls2)
#include "tst_controls2.moc"
