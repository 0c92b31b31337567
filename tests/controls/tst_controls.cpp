// Label, push button and slider: their JSON contract against one fixture theme, the pixels they paint at the
// places that matter, mouse interaction and the button's hover fade.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "LanguageManager.h"
#include "TEVJson.h"
#include "TEVQControlRegistry.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQSlider.h"

#include <QMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kN(0x10, 0x20, 0x30);
const QColor kH(0x40, 0x60, 0x80);
const QColor kP(0x70, 0x80, 0x90);
const QColor kD(0xA0, 0xA0, 0xA0);
const QColor kChannel(0, 200, 0);
const QColor kFore(200, 0, 0);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "bgN", "clr": "FF102030"}, {"type": 1, "name": "bgH", "clr": "FF406080"},
    {"type": 1, "name": "bgP", "clr": "FF708090"}, {"type": 1, "name": "bgD", "clr": "FFA0A0A0"},
    {"type": 1, "name": "chan", "clr": "FF00C800"}, {"type": 1, "name": "fore", "clr": "FFC80000"},
    {"type": 2, "name": "txtA", "clr": "FFAA0000", "size": 14, "hor": 2, "ver": 0},
    {"type": 2, "name": "txtB", "clr": "FF00AA00", "size": 11}]})";

const char* const kThemeJson = R"({"elements": [{"child": [
    {"name": "TLabel", "attr": {}, "style": [["txtA", 2, 0]]},
    {"name": "TButton", "attr": {"text": "fromTheme", "iconPath": "theme.png", "fadeDuration": 48},
     "style": [["bgN", 1, 0], ["bgH", 1, 1]]}
]}]})";

const char* const kDictionary = R"({"defaultLanguage": "en-US", "languages": {
    "en-US": {"btn.ok": "OK", "btn.alias": "|->btn.ok"},
    "zh-CN": {"btn.ok": "ZH-OK", "btn.alias": "|->btn.ok"}}})";

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

// The "attr" or "style" member w writes, compared as text with the JSON given.
#define COMPARE_WRITTEN(w, member, expected)                                                                     \
    QCOMPARE(jsonText(json::get(written(w), member)), jsonText(parse(expected)))

// The colour at (x, y) of the widget as it paints itself over transparency.
QColor px(QWidget* w, int x, int y)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return QColor::fromRgba(img.pixel(x, y));
}

FillStyle solid(const QColor& c, const QString& name = QString())
{
    FillStyle f;
    f.name = name;
    f.fillRes.fillColor = c;
    return f;
}

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void hover(QWidget* w, const QPoint& pos) { sendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton); }

// Resizes w and delivers the resize event now (a hidden widget would get it only when shown).
void resizeNow(QWidget* w, int width, int height = 20)
{
    const QSize old = w->size();
    w->resize(width, height);
    w->setAttribute(Qt::WA_PendingResizeEvent, false);
    QResizeEvent e(QSize(width, height), old);
    QApplication::sendEvent(w, &e);
}

void sendPlain(QWidget* w, QEvent::Type type)
{
    QEvent e(type);
    QApplication::sendEvent(w, &e);
}

// True when the channels of a and b differ by at most 1.
bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 1 && qAbs(a.green() - b.green()) <= 1 && qAbs(a.blue() - b.blue()) <= 1;
}

// A button with solid normal, hot and disabled looks and no text, fading over 48 ms.
std::unique_ptr<TEVQPushButton> fadingButton()
{
    auto b = std::make_unique<TEVQPushButton>();
    b->resize(40, 20);
    b->setBackground(CtrlStateNormal, solid(kN));
    b->setBackground(CtrlStateHot, solid(kH));
    b->setBackground(CtrlStateDisable, solid(kD));
    b->setFadeEnabled(true);
    b->setFadeDuration(48);
    return b;
}

QColor blend(double w)
{
    auto ch = [w](int a, int b) { return qRound(a + (b - a) * w); };
    return QColor(ch(kN.red(), kH.red()), ch(kN.green(), kH.green()), ch(kN.blue(), kH.blue()));
}

QImage rendered(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

// The font a text style draws with while the global font family is global.
QFont styleFont(const TextStyleDesc& style, const QString& global)
{
    QFont font;
    font.setPixelSize(style.pixelSize);
    font.setFamily(global.isEmpty() ? style.family : global);
    font.setWeight(style.bold ? 75 : 50);
    return font;
}

struct SliderCase
{
    bool horizontal;
    QSize size;
    int minimum, maximum, value;
    QPoint lastFore, firstBack;
    QRect channel;
};

// Deletes its target (a page) when the signal it is connected to fires.
class PageDeleter : public QObject
{
    Q_OBJECT
public:
    QWidget* page = nullptr;
    bool later = false; // Qt's own code goes on after the signal: a correct listener deletes with deleteLater
public slots:
    void fire()
    {
        if (later)
            page->deleteLater();
        else
            delete page;
    }
};

} // namespace

Q_DECLARE_METATYPE(SliderCase)

class TestControls : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(m_theme.isValid());
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), kStyleJson));
        QVERIFY(tevtest::writeFile(m_theme.filePath("theme.json"), kThemeJson));
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(QColor(1, 2, 3));
        QVERIFY(icon.save(m_theme.filePath("plain.png")));
        QVERIFY(tevtest::writeFile(m_theme.filePath("dot.svg"),
                                   R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16">)"
                                   R"(<rect width="16" height="16" fill="#00f"/></svg>)"));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        // The same styles for page elements read outside a theme.
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        QVERIFY(LanguageManager::instance()->loadFromJson(kDictionary));
        tevInitQtControl();
    }

    void cleanup()
    {
        rm()->setSwitchToThemeRes(false);
        TEVGlobalConfig config = rm()->getGlobalConfig();
        config.buttonFadeEnabled = false;
        config.buttonFadeDuration = 150;
        config.fontFamily = QStringLiteral("DejaVu Sans");
        rm()->setGlobalConfig(config);
    }

    // ---- label -----------------------------------------------------------------------------------------------------

    void labelTextJson()
    {
        TEVQLabel label;
        COMPARE_WRITTEN(&label, "attr", R"({"text": "label"})");

        // An empty text is read as empty and written as empty, so that it does not come back as a new label's
        // "label"; a non-ASCII text goes both ways intact.
        read(&label, R"({"attr": {"text": ""}})");
        QCOMPARE(label.text(), QString());
        Json::Value emptied = written(&label);
        QCOMPARE(json::getString(json::get(emptied, "attr"), "text", "absent"), std::string());
        TEVQLabel reread;
        reread.serializeJsonValue(&emptied, true);
        QCOMPARE(reread.text(), QString());
        read(&label, R"({"attr": {"text": "Grüße"}})");
        COMPARE_WRITTEN(&label, "attr", R"({"text": "Grüße"})");
    }

    void labelStyleStatesAndApplication()
    {
        TEVQLabel label;
        TextStyleDesc s;
        s.name = QStringLiteral("both");
        s.color = QColor(1, 2, 3);
        s.family = QStringLiteral("Some Family");
        s.pixelSize = 17;
        s.bold = true;
        s.horAlign = 2;
        s.verAlign = 0;
        // 4 sets every state; pressed and disabled share one slot.
        label.setTextStyle(CtrlState(4), s);
        QCOMPARE(label.getTextStyle(CtrlStateHot), s);
        s.name = QStringLiteral("disabled");
        label.setTextStyle(CtrlStatePressed, s);
        QCOMPARE(label.getTextStyle(CtrlStateDisable).name, s.name);
        QCOMPARE(label.getTextStyle(CtrlStateNormal).name, QStringLiteral("both"));

        // Applied: font (the global family wins), colour for every group, alignment.
        QCOMPARE(label.font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(label.font().pixelSize(), 17);
        QCOMPARE(label.font().weight(), 75);
        QCOMPARE(label.palette().color(QPalette::Disabled, QPalette::WindowText), QColor(1, 2, 3));
        QCOMPARE(label.alignment(), Qt::AlignRight | Qt::AlignTop);

        rm()->setGlobalFontFamily(QString());
        label.setColor(QColor(9, 9, 9));
        label.setDisableColor(QColor(200, 0, 0)); // only stored
        QCOMPARE(label.font().family(), QStringLiteral("Some Family"));
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(9, 9, 9));

        // An alignment value outside 0..2 gives no flag on its axis.
        s.horAlign = 7;
        s.verAlign = 2;
        label.setTextStyle(CtrlStateNormal, s);
        QCOMPARE(label.alignment(), Qt::Alignment(Qt::AlignBottom));
    }

    void labelElision()
    {
        TEVQLabel label;
        const QString text = QStringLiteral("A rather long text that cannot fit into a narrow label at all");
        label.setText(text);
        resizeNow(&label, 80);
        const QString narrow = label.QLabel::text();
        QCOMPARE(narrow, QFontMetrics(label.painter()->textFont()).elidedText(text, Qt::ElideRight, 80));
        QVERIFY(narrow.endsWith(QChar(0x2026)));
        QCOMPARE(label.painter()->text, text);
        resizeNow(&label, 1000);
        QCOMPARE(label.QLabel::text(), text);
        // Too narrow for the ellipsis itself (a label laid out in a box of no width), then wide again.
        resizeNow(&label, 0);
        resizeNow(&label, 2);
        resizeNow(&label, 1000);
        QCOMPARE(label.QLabel::text(), text);

        // Text mode 0 elides on the left; mode 3 and multi-line text are not elided.
        TextStyleDesc s = label.getTextStyle(CtrlStateNormal);
        const struct { int mode; bool singleLine; int width; bool elided; } modes[] = {
            {0, true, 80, true}, {3, true, 60, false}, {1, false, 50, false}};
        for (const auto& m : modes) {
            s.textMode = m.mode;
            s.singleLine = m.singleLine;
            label.setTextStyle(CtrlStateNormal, s);
            resizeNow(&label, m.width);
            if (m.elided)
                QVERIFY(label.QLabel::text().startsWith(QChar(0x2026)));
            else
                QCOMPARE(label.QLabel::text(), text);
        }
    }

    void labelElisionFollowsItsInputs()
    {
        // The elided form is kept between resizes and made again when the text, the style's font, the global
        // font family or the width changed, also for a resize to the same width.
        TEVQLabel label;
        TextStyleDesc style = label.getTextStyle(CtrlStateNormal);
        QString text = QStringLiteral("Inverter 3 reports an insulation fault on string 12");
        QString global = rm()->getGlobalFontFamily();
        int width = 90;
        label.setText(text);
        const std::function<void()> changes[] = {
            [&] { global = QStringLiteral("DejaVu Sans Mono"); rm()->setGlobalFontFamily(global); },
            [&] { style.pixelSize = 18; label.setTextStyle(CtrlStateNormal, style); },
            [&] { text = QStringLiteral("Grid frequency out of range since the last restart"); label.setText(text); },
            [&] { width = 140; },
            [&] { global = QStringLiteral("DejaVu Serif"); rm()->setGlobalFontFamily(global); },
        };
        resizeNow(&label, width);
        QString last = label.QLabel::text();
        for (const auto& change : changes) {
            change();
            resizeNow(&label, width);
            const QString expected = QFontMetrics(styleFont(style, global)).elidedText(text, Qt::ElideRight, width);
            QCOMPARE(label.QLabel::text(), expected);
            QVERIFY2(expected != last, qPrintable(expected));
            last = expected;
        }
    }

    void labelKeepsFullTextOverThemeAndWrite()
    {
        TEVQLabel label;
        const QString text = QStringLiteral("The full text of a label that is cut on screen");
        label.setText(text);
        resizeNow(&label, 70);
        QVERIFY(label.QLabel::text() != text);
        // Written while elided: the full text.
        QCOMPARE(json::getQString(json::get(written(&label), "attr"), "text"), text);

        // A theme re-read without a text keeps the full text; widening shows it whole again.
        label.setThemeName(QStringLiteral("TLabel"));
        QCOMPARE(label.getTextStyle(CtrlStateNormal).name, QStringLiteral("txtA"));
        QCOMPARE(label.painter()->text, text);
        // What it shows is cut again at once for the theme's larger font, and given up for a style that does
        // not cut.
        QCOMPARE(label.QLabel::text(), QFontMetrics(label.painter()->textFont()).elidedText(text, Qt::ElideRight, 70));
        TextStyleDesc wrapping = label.getTextStyle(CtrlStateNormal);
        wrapping.textMode = 3;
        label.setTextStyle(CtrlStateNormal, wrapping);
        QCOMPARE(label.QLabel::text(), text);
        label.setThemeName(QStringLiteral("TLabel"));
        resizeNow(&label, 2000);
        QCOMPARE(label.QLabel::text(), text);

        // A text given to QLabel directly becomes the full text.
        static_cast<QLabel&>(label).setText(QStringLiteral("direct"));
        resizeNow(&label, 1990);
        QCOMPARE(label.painter()->text, QStringLiteral("direct"));
        QCOMPARE(label.QLabel::text(), QStringLiteral("direct"));
    }

    void labelStyleSlots()
    {
        TEVQLabel label;
        read(&label, R"({"attr": {}, "style": [["txtB", 2, 0], ["txtA", 2, 1], ["nosuch", 2, 0]]})");
        QCOMPARE(label.getTextStyle(CtrlStateNormal).name, QStringLiteral("txtB"));
        QCOMPARE(label.getTextStyle(CtrlStateDisable).name, QString());
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0, 0xAA, 0));
        COMPARE_WRITTEN(&label, "style", R"([["txtB", 2, 0]])");
    }

    // ---- push button -----------------------------------------------------------------------------------------------

    void buttonFollowsProcessSettingsAndStateSetters()
    {
        TEVGlobalConfig config = rm()->getGlobalConfig();
        config.buttonFadeEnabled = true;
        config.buttonFadeDuration = -3;
        rm()->setGlobalConfig(config);
        TEVQPushButton b;
        // The fade follows the process settings; a duration that is not positive is 150 ms. Neither is written.
        QVERIFY(b.getFadeEnabled());
        QCOMPARE(b.getFadeDuration(), 150);
        QVERIFY(!json::has(written(&b), "attr"));
        b.setFadeDuration(0);
        QCOMPARE(b.getFadeDuration(), 150);

        // Per-state setters: 4 is every state; values beyond are ignored.
        b.setBackground(CtrlState(4), solid(kP, "p"));
        b.setBackground(CtrlState(7), solid(kN, "n"));
        for (int s = 0; s < 4; ++s)
            QCOMPARE(b.getBackground(CtrlState(s)).name, QStringLiteral("p"));
    }

    void buttonAttrContract_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected"); // the "attr" written back

        QTest::newRow("hidden text writes an integer") << R"({"showText": false})" << R"({"showText": 0})";
        QTest::newRow("booleans as numbers") << R"({"hasIcon": 0, "drawBackground": 0, "iconUseColor": 2})"
                                             << R"({"drawBackground": 0, "hasIcon": 0, "iconUseColor": 1})";
        QTest::newRow("extension") << R"({"isExtBtn": true, "extWidth": 20, "extIconPath": "e", "extHotIconPath": "h"})"
                                   << R"({"extHotIconPath": "h", "extIconPath": "e", "extWidth": 20, "isExtBtn": 1})";
        QTest::newRow("icon colour is read opaque") << R"({"iconColor": "80112233"})" << R"({"iconColor": "FF112233"})";
        QTest::newRow("black icon colour is the default") << R"({"iconColor": "ff000000"})" << R"(null)";
        QTest::newRow("fade duration not positive") << R"({"fadeDuration": -5})" << R"(null)";
        QTest::newRow("fade on") << R"({"fadeEnabled": 1, "fadeDuration": 90})"
                                 << R"({"fadeDuration": 90, "fadeEnabled": 1})";
        QTest::newRow("dictionary text writes the shown text") << R"({"text": "|->btn.ok"})" << R"({"text": "OK"})";
        QTest::newRow("unknown keys survive") << R"({"custom": 7, "showText": true})" << R"({"custom": 7})";
        QTest::newRow("sizes and offsets are bounded")
            << R"({"extWidth": -3, "txtX": 2147483647, "iconY": -2147483648})"
            << R"({"iconY": -16777215, "txtX": 16777215})";
    }

    void buttonAttrContract()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        TEVQPushButton b;
        read(&b, ("{\"attr\": " + input.toUtf8() + "}").constData());
        COMPARE_WRITTEN(&b, "attr", expected.toUtf8().constData());
    }

    void buttonWrittenBackIntoItsElement()
    {
        // Written into the element it was read from, the button replaces the style entries there instead of
        // adding to them, and leaves none when it has none.
        TEVQPushButton b;
        Json::Value element = parse(R"({"style": [["bgN", 1, 0]]})");
        b.serializeJsonValue(&element, true);
        b.serializeJsonValue(&element, false);
        QCOMPARE(jsonText(json::get(element, "style")), jsonText(parse(R"([["bgN", 1, 0]])")));
        b.setBackground(CtrlState(4), FillStyle());
        b.serializeJsonValue(&element, false);
        QVERIFY(!json::has(element, "style"));
    }

    void buttonThemeSkipsContent()
    {
        TEVQPushButton b;
        b.setText(QStringLiteral("mine"));
        b.setThemeName(QStringLiteral("TButton"));
        QCOMPARE(b.text(), QStringLiteral("mine"));
        QCOMPARE(b.getIcon(), QString());
        QCOMPARE(b.getFadeDuration(), 48);
        QCOMPARE(b.getBackground(CtrlStateHot).name, QStringLiteral("bgH"));
        QCOMPARE(b.getBackground(CtrlStatePressed).name, QStringLiteral("bgN"));
        QVERIFY(!rm()->isLoadFromThemeRes());
        // The group is written per state because hot differs from its neighbours.
        COMPARE_WRITTEN(&b, "style", R"([["bgN",1,0],["bgH",1,1],["bgN",1,2],["bgN",1,3]])");
    }

    void buttonDictionaryText()
    {
        TEVQPushButton b;
        read(&b, R"({"attr": {"text": "|->btn.alias"}})");
        QCOMPARE(b.text(), QStringLiteral("OK")); // looked up twice
        QCOMPARE(b.painter()->textKey, QStringLiteral("btn.alias"));
        QVERIFY(LanguageManager::instance()->setLanguage(QStringLiteral("zh-CN")));
        b.notifyChangeLanguage();
        QCOMPARE(b.text(), QStringLiteral("ZH-OK"));

        // A plain text read after a keyed one drops the key: a language change leaves it as it is.
        read(&b, R"({"attr": {"text": "Plain"}})");
        QVERIFY(b.painter()->textKey.isEmpty());
        QVERIFY(LanguageManager::instance()->setLanguage(QStringLiteral("en-US")));
        b.notifyChangeLanguage();
        QCOMPARE(b.text(), QStringLiteral("Plain"));
        // So does a text the program sets after a keyed one (setText is not virtual: the key is dropped at the
        // language change that would have replaced it); a keyed text left alone follows every change.
        read(&b, R"({"attr": {"text": "|->btn.ok"}})");
        QVERIFY(LanguageManager::instance()->setLanguage(QStringLiteral("zh-CN")));
        b.notifyChangeLanguage();
        QCOMPARE(b.text(), QStringLiteral("ZH-OK"));
        b.setText(QStringLiteral("Running"));
        QVERIFY(LanguageManager::instance()->setLanguage(QStringLiteral("en-US")));
        b.notifyChangeLanguage();
        QCOMPARE(b.text(), QStringLiteral("Running"));
        QVERIFY(b.painter()->textKey.isEmpty());
        // A theme element's text is not read, so it leaves the key alone.
        read(&b, R"({"attr": {"text": "|->btn.ok"}})");
        {
            TEVThemeResGuard themeRes(true);
            read(&b, R"({"attr": {"text": "fromTheme"}})");
        }
        QCOMPARE(b.painter()->textKey, QStringLiteral("btn.ok"));
    }

    void buttonPaintsPerState()
    {
        TEVQPushButton b;
        b.resize(60, 24);
        const QColor look[4] = {kN, kH, kP, kD};
        for (int st = 0; st < 4; ++st)
            b.setBackground(CtrlState(st), solid(look[st]));
        QCOMPARE(px(&b, 2, 2), kN);
        sendPlain(&b, QEvent::Enter);
        QCOMPARE(px(&b, 2, 2), kH);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 12));
        QCOMPARE(px(&b, 59, 23), kP);
        QSignalSpy clicked(&b, &QPushButton::clicked);
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(30, 12));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(px(&b, 2, 2), kH);
        sendPlain(&b, QEvent::Leave);
        QCOMPARE(px(&b, 2, 2), kN);

        b.setEnabled(false);
        QCOMPARE(px(&b, 2, 2), kD);
        sendPlain(&b, QEvent::Enter);
        QCOMPARE(px(&b, 2, 2), kD);
        b.setEnabled(true);
        sendPlain(&b, QEvent::Leave);
        b.setDrawBackground(false);
        QCOMPARE(px(&b, 2, 2).alpha(), 0);
    }

    void buttonMenuTakesThePress()
    {
        // A button with a menu opens it on the press; the menu takes the release. Once it has closed the button
        // is no longer down, and does not show pressed either; no click.
        TEVQPushButton b;
        b.resize(60, 24);
        const QColor look[4] = {kN, kH, kP, kD};
        for (int st = 0; st < 4; ++st)
            b.setBackground(CtrlState(st), solid(look[st]));
        QMenu menu;
        menu.addAction(QStringLiteral("x"));
        b.setMenu(&menu);
        QSignalSpy clicked(&b, &QPushButton::clicked);
        sendPlain(&b, QEvent::Enter);
        QTimer::singleShot(50, &menu, &QMenu::close);
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 12));
        QVERIFY(!b.isDown());
        QCOMPARE(b.painter()->getState(), CtrlStateHot);
        QCOMPARE(px(&b, 2, 2), kH);
        QCOMPARE(clicked.count(), 0);
    }

    void buttonPaintCachesFollowTheirInputs()
    {
        // A button keeps its text's font and elided form and its rounded background between paints. After each
        // change of an input it paints exactly as a new button built with the inputs as they are now.
        struct Inputs
        {
            QString text;
            TextStyleDesc style;
            QSize size;
            FillStyle background;
        } in;
        in.text = QStringLiteral("Start the inverter");
        in.style.pixelSize = 12;
        in.style.horAlign = 1;
        in.style.color = Qt::white;
        in.size = QSize(60, 24);
        in.background = solid(kN);
        in.background.fillRes.radius = 6;
        in.background.fillRes.drawBorder = true;
        in.background.fillRes.borderSize = 1;
        in.background.fillRes.borderColor = kH;
        auto build = [](const Inputs& i) {
            auto b = std::make_unique<TEVQPushButton>();
            b->setBackground(CtrlState(4), i.background);
            b->setTextStyle(CtrlState(4), i.style);
            b->setText(i.text);
            b->resize(i.size);
            return b;
        };
        auto b = build(in);
        QImage last = rendered(b.get());
        QCOMPARE(rendered(b.get()), last);
        const std::function<void()> changes[] = {
            [&] { in.text = QStringLiteral("Stop"); b->setText(in.text); },
            [&] { in.text = QStringLiteral("Acknowledge all alarms"); b->setText(in.text); },
            [&] { in.style.pixelSize = 15; b->setTextStyle(CtrlState(4), in.style); },
            [&] { in.style.italic = true; b->setTextStyle(CtrlState(4), in.style); },
            [&] { rm()->setGlobalFontFamily(QStringLiteral("DejaVu Serif")); },
            [&] { in.size = QSize(170, 30); b->resize(in.size); },
            [&] { in.background.fillRes.fillColor = kP; b->setBackground(CtrlState(4), in.background); },
            [&] { in.background.fillRes.radius = 2; b->setBackground(CtrlState(4), in.background); },
            [&] { in.background.fillRes.borderColor = kD; b->setBackground(CtrlState(4), in.background); },
        };
        int step = 0;
        for (const auto& change : changes) {
            change();
            const QImage now = rendered(b.get());
            QVERIFY2(now != last, qPrintable(QString::number(step)));
            QVERIFY2(now == rendered(build(in).get()), qPrintable(QString::number(step)));
            tevtest::keepRender(now, QStringLiteral("button_cache_%1.png").arg(step++));
            last = now;
        }

        // The kept background is the one drawn directly, to a unit per channel at the anti-aliased edge.
        QImage direct(in.size, QImage::Format_ARGB32_Premultiplied);
        direct.fill(Qt::transparent);
        {
            QPainter p(&direct);
            TEVQWidgetBaseImpl::drawFillStyle(&p, in.background, QRect(QPoint(), in.size));
        }
        b->setText(QString());
        const QImage cached = rendered(b.get());
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x) {
                const QColor a = QColor::fromRgba(direct.pixel(x, y));
                const QColor c = QColor::fromRgba(cached.pixel(x, y));
                QVERIFY2(near(a, c) && qAbs(a.alpha() - c.alpha()) <= 1, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
    }

    void buttonFadeSteps()
    {
        auto b = fadingButton();
        TEVQPushButtonImpl* p = b->painter();
        QSignalSpy entered(b.get(), &TEVQPushButton::enterSignal);
        QSignalSpy left(b.get(), &TEVQPushButton::leaveSignal);

        sendPlain(b.get(), QEvent::Enter);
        QVERIFY(p->fadeTimer->isActive());
        p->fadeTimer->stop(); // driven by hand from here: one tick is a third of the way
        QCOMPARE(px(b.get(), 1, 1), kN); // no jump at the start
        p->fadeTick();
        QVERIFY(near(px(b.get(), 1, 1), blend(1.0 / 3.0)));
        p->fadeTick();
        QVERIFY(near(px(b.get(), 1, 1), blend(2.0 / 3.0)));
        p->fadeTick();
        QCOMPARE(p->fadeProgress, 1.0);
        QCOMPARE(px(b.get(), 1, 1), kH);

        sendPlain(b.get(), QEvent::Leave);
        QVERIFY(p->fadeTimer->isActive());
        p->fadeTimer->stop();
        QCOMPARE(px(b.get(), 1, 1), kH); // no jump at the start of the way back
        QCOMPARE(p->getState(), CtrlStateHot);
        p->fadeTick();
        QVERIFY(near(px(b.get(), 1, 1), blend(2.0 / 3.0)));
        p->fadeTick();
        p->fadeTick();
        QCOMPARE(p->getState(), CtrlStateNormal);
        QCOMPARE(px(b.get(), 1, 1), kN);
        QCOMPARE(QList<int>({int(entered.count()), int(left.count())}), QList<int>({1, 1}));
    }

    void buttonFadeTimerMadeByTheFirstFade()
    {
        // A button that never fades keeps no timer; the first fade makes it, and it serves every fade after.
        TEVQPushButton still;
        sendPlain(&still, QEvent::Enter);
        sendPlain(&still, QEvent::Leave);
        QVERIFY(!still.painter()->fadeTimer);
        still.painter()->fadeTick(); // a tick without a timer changes nothing and does not fail
        still.setFadeEnabled(false);
        QVERIFY(!still.painter()->fadeTimer);

        auto b = fadingButton();
        TEVQPushButtonImpl* p = b->painter();
        QVERIFY(!p->fadeTimer);
        sendPlain(b.get(), QEvent::Enter);
        QTimer* timer = p->fadeTimer;
        QVERIFY(timer && timer->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 2000);
        QCOMPARE(px(b.get(), 1, 1), kH);
        sendPlain(b.get(), QEvent::Leave);
        QCOMPARE(p->fadeTimer, timer);
        QTRY_VERIFY_WITH_TIMEOUT(!timer->isActive(), 2000);
        QCOMPARE(px(b.get(), 1, 1), kN);
    }

    void buttonReenterDuringFadeOutStops()
    {
        auto b = fadingButton();
        TEVQPushButtonImpl* p = b->painter();
        sendPlain(b.get(), QEvent::Enter); // the timer runs the fade to its end
        QTRY_VERIFY_WITH_TIMEOUT(!p->fadeTimer->isActive(), 2000);
        QCOMPARE(px(b.get(), 1, 1), kH);
        sendPlain(b.get(), QEvent::Leave);
        QVERIFY(p->fadeTimer->isActive());
        sendPlain(b.get(), QEvent::Enter);
        QCOMPARE(p->fadeFrom, CtrlStateHot);
        QCOMPARE(p->fadeTarget, CtrlStateHot);
        QCOMPARE(px(b.get(), 1, 1), kH); // the hot look at once
        // Nothing is left to fade: the timer stops instead of repainting for as long as the pointer stays.
        QTRY_VERIFY_WITH_TIMEOUT(!p->fadeTimer->isActive(), 500);
        QCOMPARE(px(b.get(), 1, 1), kH);
    }

    void buttonLeaveWhileDisabled()
    {
        auto b = fadingButton();
        TEVQPushButtonImpl* p = b->painter();
        sendPlain(b.get(), QEvent::Enter);
        b->setEnabled(false);
        sendPlain(b.get(), QEvent::Leave);
        QCOMPARE(p->fadeTarget, CtrlStateDisable);
        QVERIFY(p->fadeTimer->isActive());
        p->fadeTimer->stop();
        p->fadeTick(); // the first tick ends it
        QVERIFY(!p->fadeTimer->isActive());
        QCOMPARE(p->fadeFrom, CtrlStateDisable);
        QCOMPARE(px(b.get(), 1, 1), kD);
        // Entering while disabled runs no fade at all.
        sendPlain(b.get(), QEvent::Enter);
        QVERIFY(!p->fadeTimer->isActive());
        QCOMPARE(px(b.get(), 1, 1), kD);
    }

    void buttonSwitchingFadeOffEndsIt()
    {
        // Through the setter and through JSON, a running fade ends at once.
        TEVQPushButton b;
        b.setFadeEnabled(true);
        sendPlain(&b, QEvent::Enter);
        QVERIFY(b.painter()->fadeTimer->isActive());
        b.setFadeEnabled(false);
        QVERIFY(!b.painter()->fadeTimer->isActive());
        QCOMPARE(b.painter()->fadeProgress, 1.0);
        read(&b, R"({"attr": {"fadeEnabled": true}})");
        sendPlain(&b, QEvent::Enter);
        QVERIFY(b.painter()->fadeTimer->isActive());
        read(&b, R"({"attr": {"fadeEnabled": 0}})");
        QVERIFY(!b.painter()->fadeTimer->isActive());
    }

    void buttonSvgIconRenderedOnce()
    {
        // An SVG icon is rendered once for its size and kept: painting again (a hover, each step of a fade) does
        // not render it again, so a renderer that draws nothing any more leaves the icon as it was.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("once.svg"));
        QVERIFY(tevtest::writeFile(path, R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16">)"
                                         R"(<rect width="16" height="16" fill="#00f"/></svg>)"));
        TEVQPushButton b;
        b.resize(40, 40);
        b.setBackground(CtrlState(4), solid(kN));
        b.setIcon(path);
        QCOMPARE(px(&b, 20, 20), QColor(0, 0, 255));
        QSvgRenderer* renderer = rm()->getSvgRenderer(path);
        QVERIFY(renderer && renderer->load(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>")));
        sendPlain(&b, QEvent::Enter);
        QCOMPARE(px(&b, 20, 20), QColor(0, 0, 255));
    }

    void buttonFadeSwitchedOffAfterLeaving()
    {
        // Switched off while fading out after the pointer left: the button ends in the normal look, not the hot.
        auto b = fadingButton();
        sendPlain(b.get(), QEvent::Enter);
        QTRY_VERIFY_WITH_TIMEOUT(!b->painter()->fadeTimer->isActive(), 2000);
        sendPlain(b.get(), QEvent::Leave);
        b->setFadeEnabled(false);
        QCOMPARE(b->painter()->getState(), CtrlStateNormal);
        QCOMPARE(px(b.get(), 1, 1), kN);
    }

    void buttonDeletedWhenDraggedOff()
    {
        // Dragging off a held button emits released(); a receiver that deletes the button ends the move there.
        auto* b = new TEVQPushButton;
        b->resize(60, 20);
        QPointer<TEVQPushButton> alive(b);
        connect(b, &QPushButton::released, b, [b] { delete b; });
        sendMouse(b, QEvent::MouseButtonPress, QPoint(5, 5));
        sendMouse(b, QEvent::MouseMove, QPoint(500, 5), Qt::NoButton, Qt::LeftButton);
        QVERIFY(!alive);
    }

    void buttonExtensionArea()
    {
        TEVQPushButton b;
        b.resize(100, 20);
        b.setBackground(CtrlStateNormal, solid(kN));
        b.setBackground(CtrlStateHot, solid(kH));
        read(&b, R"({"attr": {"isExtBtn": 1, "extWidth": 20}})");
        sendPlain(&b, QEvent::Enter);
        hover(&b, QPoint(79, 10));
        QVERIFY(!b.painter()->extHovered);
        hover(&b, QPoint(81, 10));
        QVERIFY(b.painter()->extHovered);
        QCOMPARE(px(&b, 79, 10), kN);
        QCOMPARE(px(&b, 80, 10), kH);
        QCOMPARE(px(&b, 99, 10), kH);
        // Leaving does not reset the flag.
        sendPlain(&b, QEvent::Leave);
        QVERIFY(b.painter()->extHovered);
    }

    void buttonIcons()
    {
        TEVQPushButton b;
        // A compiled-in raster image becomes a QIcon; the path is not taken as the icon path.
        b.setIcon(QStringLiteral(":/qt-project.org/styles/commonstyle/images/standardbutton-apply-16.png"));
        QVERIFY(!b.painter()->icon.isNull());
        QCOMPARE(b.getIcon(), QString());

        // An SVG beside a text: the icon goes left of the centred text.
        b.setText(QStringLiteral("Apply"));
        b.setIcon(QStringLiteral("dot.svg"));
        QVERIFY(b.painter()->icon.isNull());
        QCOMPARE(b.getIcon(), QStringLiteral("dot.svg"));
        const int textWidth = TEVQWidgetBaseImpl::getTextSize(b.getTextStyle(CtrlStateNormal), b.text()).width();
        QCOMPARE(b.getIconStyle().offsetX, -(16 + textWidth / 2));
        QCOMPARE(b.getTextOffsetX(), 8);
        // Without text the offsets are reset.
        b.setText(QString());
        b.setIcon(QStringLiteral("dot.svg"));
        QCOMPARE(b.getIconStyle().offsetX, 0);
        QCOMPARE(b.getTextOffsetX(), 0);

        // The icon path is painted, centred; hidden icons are not.
        b.setIcon(QStringLiteral("plain.png"));
        b.resize(40, 40);
        b.setBackground(CtrlState(4), solid(kN));
        QCOMPARE(px(&b, 20, 20), QColor(1, 2, 3));
        b.setUseIcon(false);
        QCOMPARE(px(&b, 20, 20), kN);
    }

    // ---- slider ----------------------------------------------------------------------------------------------------

    void sliderGeometry_data()
    {
        // lastFore: the last foreground pixel on the channel's middle line; firstBack: the first channel pixel after
        // it; (-1, -1) when there is none.
        QTest::addColumn<SliderCase>("k");
        const QSize h(200, 30);
        const QRect hc(0, 10, 200, 10);
        QTest::newRow("horizontal quarter") << SliderCase{true, h, 0, 100, 25, {49, 15}, {50, 15}, hc};
        QTest::newRow("vertical quarter")
            << SliderCase{false, {30, 200}, 0, 100, 25, {15, 149}, {15, 148}, {10, 0, 10, 200}};
        QTest::newRow("offset range half") << SliderCase{true, h, 20, 120, 70, {99, 15}, {100, 15}, hc};
        QTest::newRow("empty range") << SliderCase{true, h, 50, 50, 50, {-1, -1}, {0, 15}, hc};
        QTest::newRow("whole int range") << SliderCase{true, h, INT_MIN, INT_MAX, INT_MAX, {199, 15}, {-1, -1}, hc};
        QTest::newRow("odd thickness") << SliderCase{true, {100, 25}, 0, 100, 100, {99, 12}, {-1, -1}, {0, 7, 100, 10}};
    }

    void sliderGeometry()
    {
        QFETCH(SliderCase, k);
        TEVQSlider s(nullptr, k.horizontal ? Qt::Horizontal : Qt::Vertical);
        s.resize(k.size);
        s.setRange(k.minimum, k.maximum);
        s.setValue(k.value);
        s.setBackgroundStyle(CommonCtrlStateNormal, solid(kChannel));
        s.setForegroundStyle(CommonCtrlStateNormal, solid(kFore));
        FillStyle invisible;
        invisible.valid = false;
        for (int st = 0; st < 4; ++st)
            s.setThumbStyle(CtrlState(st), invisible);

        if (k.lastFore.x() >= 0)
            QCOMPARE(px(&s, k.lastFore.x(), k.lastFore.y()), kFore);
        if (k.firstBack.x() >= 0)
            QCOMPARE(px(&s, k.firstBack.x(), k.firstBack.y()), kChannel);
        // The channel's edges across the slider, and nothing outside it.
        const QRect& c = k.channel;
        const QPoint in[2] = {k.horizontal ? QPoint(c.center().x(), c.top()) : QPoint(c.left(), c.center().y()),
                              k.horizontal ? QPoint(c.center().x(), c.bottom()) : QPoint(c.right(), c.center().y())};
        const QPoint out = k.horizontal ? QPoint(0, 1) : QPoint(1, 0);
        QCOMPARE(px(&s, in[0].x(), in[0].y()).alpha(), 255);
        QCOMPARE(px(&s, in[1].x(), in[1].y()).alpha(), 255);
        QCOMPARE(px(&s, in[0].x() - out.x(), in[0].y() - out.y()).alpha(), 0);
        QCOMPARE(px(&s, in[1].x() + out.x(), in[1].y() + out.y()).alpha(), 0);
        // Vertically the foreground grows from the last row but one; the last row stays channel.
        if (!k.horizontal && k.lastFore.x() >= 0)
            QCOMPARE(px(&s, c.center().x(), k.size.height() - 1), kChannel);
    }

    void sliderThumbStates()
    {
        TEVQSlider s;
        s.resize(200, 30);
        s.setValue(0);
        const QColor thumb[4] = {QColor(0, 0, 255), QColor(0, 255, 255), QColor(255, 0, 255), QColor(90, 90, 90)};
        for (int st = 0; st < 4; ++st)
            s.setThumbStyle(CtrlState(st), solid(thumb[st]));
        s.setThumbStyle(CtrlState(9), solid(kP)); // ignored
        QCOMPARE(s.getThumbRect(), QRect(0, 5, 20, 20));
        TEVQSliderImpl* p = s.painter();

        // Entering the widget is not hovering the thumb.
        sendPlain(&s, QEvent::Enter);
        QVERIFY(s.hasMouseTracking());
        hover(&s, QPoint(100, 15));
        QCOMPARE(p->getState(), CtrlStateNormal);
        QCOMPARE(px(&s, 10, 15), thumb[0]);
        hover(&s, QPoint(10, 15));
        QCOMPARE(p->getState(), CtrlStateHot);
        QCOMPARE(px(&s, 10, 15), thumb[1]);

        // Pressed on the thumb, pressed while dragged away from it.
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(10, 15));
        QCOMPARE(px(&s, 10, 15), thumb[2]);
        sendMouse(&s, QEvent::MouseMove, QPoint(110, 29), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(p->getState(), CtrlStatePressed);
        QVERIFY(s.value() > 0); // Qt dragged the thumb
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(5, 2));
        QCOMPARE(p->getState(), CtrlStateNormal);

        // Release over the thumb: hot. Leaving: normal, tracking off.
        const QPoint centre = s.getThumbRect().center();
        QTest::mousePress(&s, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(&s, Qt::LeftButton, {}, centre);
        QCOMPARE(p->getState(), CtrlStateHot);
        sendPlain(&s, QEvent::Leave);
        QCOMPARE(p->getState(), CtrlStateNormal);
        QVERIFY(!s.hasMouseTracking());

        // Disabled, the thumb shows its disabled look, and its normal one again once enabled.
        s.setValue(0);
        s.setEnabled(false);
        QCOMPARE(px(&s, 10, 15), thumb[3]);
        s.setEnabled(true);
        QCOMPARE(px(&s, 10, 15), thumb[0]);
    }

    void sliderHotThumbFollowsKeysAndWheelUnderARestingPointer()
    {
        // The thumb moves under a pointer that does not move: it is hot exactly while it lies under the pointer.
        TEVQSlider s;
        s.resize(200, 30);
        s.setValue(0);
        TEVQSliderImpl* p = s.painter();
        sendPlain(&s, QEvent::Enter);
        hover(&s, QPoint(10, 15));
        QCOMPARE(p->getState(), CtrlStateHot);
        QTest::keyClick(&s, Qt::Key_PageUp);
        QVERIFY(!s.getThumbRect().contains(QPoint(10, 15)));
        QCOMPARE(p->getState(), CtrlStateNormal);
        QTest::keyClick(&s, Qt::Key_Home);
        QCOMPARE(p->getState(), CtrlStateHot);
        s.setSingleStep(20);
        QWheelEvent wheel(QPointF(10, 15), QPointF(s.mapToGlobal(QPoint(10, 15))), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&s, &wheel);
        QVERIFY(s.value() > 0);
        QCOMPARE(p->getState(), CtrlStateNormal);
        // Once the pointer has left, nothing follows; a dragged thumb stays pressed as it moves.
        sendPlain(&s, QEvent::Leave);
        s.setValue(0);
        QCOMPARE(p->getState(), CtrlStateNormal);
        sendPlain(&s, QEvent::Enter);
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(10, 15));
        s.setValue(50);
        QCOMPARE(p->getState(), CtrlStatePressed);
    }

    void sliderThumbFollowsItsInputs()
    {
        // The thumb rectangle is kept between paints and asked of the style again when what it depends on
        // changed: the same as a new slider's with the same settings.
        TEVQSlider s;
        s.resize(200, 30);
        s.setValue(10);
        auto fresh = [&s] {
            auto f = std::make_unique<TEVQSlider>(nullptr, s.orientation());
            f->resize(s.size());
            int w = 0, h = 0;
            s.getThumbSize(w, h);
            f->setThumbSize(w, h);
            f->setRange(s.minimum(), s.maximum());
            f->setInvertedAppearance(s.invertedAppearance());
            f->setValue(s.value());
            return f;
        };
        QRect last = s.getThumbRect();
        const std::function<void()> changes[] = {
            [&] { s.setValue(80); },
            [&] { s.resize(300, 30); },
            [&] { s.setThumbSize(30, 24); },
            [&] { s.setRange(50, 200); },
            [&] { s.setInvertedAppearance(true); },
            [&] { s.setOrientation(Qt::Vertical); s.resize(30, 300); },
        };
        for (const auto& change : changes) {
            change();
            const QRect now = s.getThumbRect();
            QVERIFY(now != last);
            QCOMPARE(now, fresh()->getThumbRect());
            last = now;
        }
    }

    void sliderJson()
    {
        // A full value on the default range is written.
        TEVQSlider d;
        d.setValue(100);
        COMPARE_WRITTEN(&d, "attr", R"({"val": 100})");

        TEVQSlider s;
        s.setIsHorizontal(false);
        s.setValue(40);
        read(&s, R"({"attr": {"isHor": false, "max": 50, "min": 10, "val": 30}})");
        QVERIFY(!s.getIsHorizontal());
        QCOMPARE(s.minimum(), 10);
        QCOMPARE(s.value(), 30);
        read(&s, R"({"attr": {"isHor": 2}})");
        QVERIFY(s.getIsHorizontal());
        QCOMPARE(s.maximum(), 50); // absent: unchanged
        QCOMPARE(s.value(), 10);   // absent: position 0, held at the minimum

        // Sizes stay within what a widget can be.
        read(&s, R"({"attr": {"thumbW": -5, "thumbH": 2147483647, "channelSize": -1}})");
        int tw = 0, th = 0;
        s.getThumbSize(tw, th);
        QCOMPARE(tw, 0);
        QCOMPARE(th, QWIDGETSIZE_MAX);
        QCOMPARE(s.getChannelHeight(), 0);

        TEVQSlider v(nullptr, Qt::Vertical);
        v.setThumbSize(16, 24);
        COMPARE_WRITTEN(&v, "attr", R"({"isHor": 0, "thumbH": 24, "thumbW": 16})");

        // Style slots: 0 background, 2 foreground, 4..7 the thumb group; 1 and 3 are ignored.
        TEVQSlider t;
        read(&t, R"({"style": [["chan", 1, 0], ["bgN", 1, 1], ["fore", 1, 2], ["bgD", 1, 3], ["bgH", 1, 4]]})");
        QCOMPARE(t.getBackgroundStyle(CommonCtrlStateDisable).name, QStringLiteral("chan"));
        QCOMPARE(t.getForegroundStyle(CommonCtrlStateNormal).name, QStringLiteral("fore"));
        for (int st = 0; st < 4; ++st)
            QCOMPARE(t.getThumbStyle(CtrlState(st)).name, QStringLiteral("bgH"));
        COMPARE_WRITTEN(&t, "style", R"([["chan", 1, 0], ["fore", 1, 2], ["bgH", 1, 4]])");
        read(&t, R"({"attr": {}, "style": [["bgP", 1, 6]]})");
        QCOMPARE(t.getThumbStyle(CtrlStatePressed).name, QStringLiteral("bgP"));
        QCOMPARE(t.getThumbStyle(CtrlStateHot).name, QStringLiteral("bgH"));
    }

    void sliderThumbGroupKeepsEveryNamedState()
    {
        FillStyle n, h, p;
        QVERIFY(rm()->getFillStyle(QStringLiteral("bgN"), n) && rm()->getFillStyle(QStringLiteral("bgH"), h) &&
                rm()->getFillStyle(QStringLiteral("bgP"), p));
        // Normal and pressed named, hot and disabled not: the four differ, so each named state is written, and
        // the pressed style comes back on reload.
        TEVQSlider s;
        s.setThumbStyle(CtrlStateNormal, n);
        s.setThumbStyle(CtrlStatePressed, p);
        COMPARE_WRITTEN(&s, "style", R"([["bgN", 1, 4], ["bgP", 1, 6]])");
        TEVQSlider back;
        Json::Value saved = written(&s);
        back.serializeJsonValue(&saved, true);
        QCOMPARE(back.getThumbStyle(CtrlStateNormal).name, QStringLiteral("bgN"));
        QCOMPARE(back.getThumbStyle(CtrlStatePressed).name, QStringLiteral("bgP"));

        // Differing named neighbours: per state as well; four equal styles: one slot-4 entry.
        s.setThumbStyle(CtrlStateHot, h);
        s.setThumbStyle(CtrlStateDisable, n);
        COMPARE_WRITTEN(&s, "style", R"([["bgN", 1, 4], ["bgH", 1, 5], ["bgP", 1, 6], ["bgN", 1, 7]])");
        for (int st = 0; st < 4; ++st)
            s.setThumbStyle(CtrlState(st), h);
        COMPARE_WRITTEN(&s, "style", R"([["bgH", 1, 4]])");
        // Equal but unnamed: nothing to write.
        TEVQSlider plain;
        QVERIFY(!json::has(written(&plain), "style") || json::get(written(&plain), "style").isNull());
    }

    void sliderAndScrollBarSurviveHugeRanges()
    {
        // Qt's own slider arithmetic divides by zero once maximum - minimum reaches 2^31: painting or pressing such
        // a slider ended the process. The range is held below that, whether it comes from JSON or from code.
        TEVQSlider s;
        s.resize(200, 30);
        read(&s, R"({"attr": {"min": -2147483548, "max": 100, "val": 0}})");
        QCOMPARE(s.minimum(), -2147483548);
        QVERIFY(qint64(s.maximum()) - s.minimum() <= qint64(INT_MAX));
        QImage image(200, 30, QImage::Format_ARGB32_Premultiplied);
        s.render(&image);
        QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(150, 15));
        s.setRange(INT_MIN, INT_MAX);
        QCOMPARE(s.maximum(), -1);
        s.render(&image);

        TEVQScrollBar bar(Qt::Horizontal);
        bar.resize(200, 16);
        bar.setRange(INT_MIN, INT_MAX);
        QCOMPARE(bar.maximum(), -1);
        bar.render(&image);
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(150, 8));
    }

    void sliderDeletedByItsPressSignal()
    {
        // A slot that deletes the slider when it is pressed: the painter's part of the press must not follow.
        auto* s = new TEVQSlider;
        s->resize(200, 30);
        QPointer<TEVQSlider> alive(s);
        connect(s, &QAbstractSlider::sliderPressed, s, [s] { delete s; });
        sendMouse(s, QEvent::MouseButtonPress, s->getThumbRect().center());
        QVERIFY(!alive);
    }

    void readingDeletedByItsOwnSignal_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("before"); // read before the slot is connected
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("later"); // QLineEdit::setText goes on after textChanged: deleted later
        QTest::newRow("edit text") << QByteArray("qtdedit") << QByteArray() << QByteArray("textChanged(QString)")
                                   << QByteArray(R"({"attr": {"text": "a", "ispassord": 1, "shortcut": 1}})")
                                   << true;
        QTest::newRow("lcd overflow") << QByteArray("qtlcdnumber") << QByteArray() << QByteArray("overflow()")
                                      << QByteArray(R"({"attr": {"digitCount": 2, "text": "123"}})") << false;
        QTest::newRow("slider max") << QByteArray("qtslider") << QByteArray(R"({"attr": {"val": 50}})")
                                    << QByteArray("valueChanged(int)")
                                    << QByteArray(R"({"attr": {"max": 20, "min": 5, "val": 7}})") << false;
        QTest::newRow("slider min") << QByteArray("qtslider") << QByteArray() << QByteArray("valueChanged(int)")
                                    << QByteArray(R"({"attr": {"min": 5, "val": 7}})") << false;
        QTest::newRow("name") << QByteArray("qtlabel") << QByteArray() << QByteArray("objectNameChanged(QString)")
                              << QByteArray(R"({"name": "n", "tooltip": "t", "attr": {"text": "a"}})") << false;
    }

    void readingDeletedByItsOwnSignal()
    {
        // A slot that closes the page when a read element changes the control: the read stops there (or, for
        // a signal after which Qt's own code goes on, the page closes once the deferred deletes run).
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, signal);
        QFETCH(QByteArray, json);
        QFETCH(bool, later);
        // Read directly, and through the jsonData property, whose setter keeps the text it read.
        for (const bool viaProperty : {false, true}) {
            auto* page = new QWidget;
            QWidget* w = createControlByType(type.constData(), page);
            QVERIFY(w);
            if (!before.isEmpty())
                read(qobject_cast<ITEVQWidgetBase*>(w), before.constData());
            PageDeleter deleter;
            deleter.page = page;
            deleter.later = later;
            QVERIFY(connect(w, QByteArray("2" + signal).constData(), &deleter, SLOT(fire())));
            QPointer<QWidget> alive(w);
            if (viaProperty)
                w->setProperty("jsonData", QString::fromUtf8(json));
            else
                read(qobject_cast<ITEVQWidgetBase*>(w), json.constData());
            if (later)
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!alive);
        }
    }

    void registryEntries()
    {
        const struct { const char *type, *className, *canonical; } cases[] = {
            {"qtlabel", "TEVQLabel", "qtlabel"},       {"label", "TEVQLabel", "qtlabel"},
            {"qtbutton", "TEVQPushButton", "qtbutton"}, {"button", "TEVQPushButton", "qtbutton"},
            {"qtslider", "TEVQSlider", "qtslider"},     {"slider", "TEVQSlider", "qtslider"}};
        QWidget parent;
        for (const auto& c : cases) {
            QWidget* w = createControlByType(c.type, &parent);
            QVERIFY2(w && tevGetControlInfo(QString::fromLatin1(c.canonical)), c.type);
            QCOMPARE(w->metaObject()->className(), c.className);
            QCOMPARE(w->parentWidget(), &parent);
            QCOMPARE(qobject_cast<ITEVQWidgetBase*>(w)->getTypeName(), QString::fromLatin1(c.canonical));
        }
        QVERIFY(!tevGetControlInfo(QStringLiteral("label"))); // an alias has no catalogue entry of its own

        // The rows reach the control they describe.
        TEVQSlider s;
        for (const PropertyDef& d : tevGetControlInfo(QStringLiteral("qtslider"))->props) {
            if (d.name == QLatin1String("MaxValue"))
                d.setInt(&s, 40);
        }
        QCOMPARE(s.maximum(), 40);
    }

private:
    QTemporaryDir m_theme;
};

TEV_TEST_MAIN(TestControls)
#include "tst_controls.moc"
