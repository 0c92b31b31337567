// Check box, radio button and combo box: their JSON contract against one fixture theme, the pixels each state
// paints where it matters, mouse and keyboard behaviour (button groups, presses, the combo popup), the designer
// catalogue rows and a gallery of every state in English and Chinese.
#include "TevStyles.h"
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "LanguageManager.h"
#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQCheckBox.h"
#include "TEVQComboBox.h"
#include "TEVQControlInfo.h"
#include "TEVQControlRegistry.h"
#include "TEVQPushButton.h"
#include "TEVQRadioButton.h"
#include "TEVQResourceManager.h"
#include "TEVQtLib.h"
#include "TEVTextCache.h"

#include <QButtonGroup>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kN(0x10, 0x20, 0x30);
const QColor kH(0x40, 0x60, 0x80);
const QColor kP(0x70, 0x80, 0x90);
const QColor kD(0xA0, 0xA0, 0xA0);
const QColor kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kYellow(255, 255, 0);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "bgN", "clr": "FF102030"}, {"type": 1, "name": "bgH", "clr": "FF406080"},
    {"type": 1, "name": "bgP", "clr": "FF708090"}, {"type": 1, "name": "bgD", "clr": "FFA0A0A0"},
    {"type": 2, "name": "txtU", "clr": "FFD00000", "size": 12}, {"type": 2, "name": "txtC", "clr": "FF0000D0", "size": 12},
    {"type": 2, "name": "txtD", "clr": "FF00A000", "size": 12},
    {"type": 1, "name": "gCard", "clr": "FFE8F0FA", "round": 4}, {"type": 1, "name": "gHot", "clr": "FFD2E4FA", "round": 4},
    {"type": 1, "name": "gBox", "clr": "FFFFFFFF", "border": true, "borderSize": 1, "borderclr": "FFA0B0C4"},
    {"type": 1, "name": "gBoxHot", "clr": "FFFFFFFF", "border": true, "borderSize": 1, "borderclr": "FF2878DC"},
    {"type": 1, "name": "gRow", "clr": "FFFFFFFF"}, {"type": 1, "name": "gSel", "clr": "FF2878DC"},
    {"type": 2, "name": "gText", "clr": "FF1E283C", "size": 12}, {"type": 2, "name": "gGray", "clr": "FF969696", "size": 12},
    {"type": 2, "name": "gWhite", "clr": "FFFFFFFF", "size": 12}]})";

const char* const kThemeJson = R"({"elements": [{"child": [
    {"name": "TCheck", "attr": {"iconX": 2}},
    {"name": "TCheckText", "attr": {"text": "from theme"}},
    {"name": "TCombo", "attr": {"text": "Auto"}, "style": [["bgN", 1, 0]]},
    {"name": "TRadio", "attr": {"text": "theme text", "iconPath": "red.png", "iconVer": 2}}
]}]})";

const char* const kDictionary = R"({"defaultLanguage": "en-US", "languages": {
    "en-US": {"opt.auto": "Automatic"}, "zh-CN": {"opt.auto": "自动"}}})";

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

// The widget alone (no children) as it paints itself over transparency.
QImage grab(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    return img;
}

using tevtest::paintedOnWhite;

QColor px(const QImage& img, int x, int y) { return QColor::fromRgba(img.pixel(x, y)); }

FillStyle solid(const QColor& c, const QString& name = QString())
{
    FillStyle f;
    f.name = name;
    f.fillRes.fillColor = c;
    return f;
}

TextStyleDesc ink(const QColor& c, const QString& name = QString())
{
    TextStyleDesc t;
    t.name = name;
    t.color = c;
    t.pixelSize = 12;
    return t;
}

// First and last column holding a pixel close to the colour c (text ink is antialiased); -1 when none.
QPair<int, int> inkColumns(const QImage& img, const QColor& c)
{
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y) {
            const QColor p = px(img, x, y);
            if (p.alpha() > 200 && qAbs(p.red() - c.red()) < 60 && qAbs(p.green() - c.green()) < 60
                && qAbs(p.blue() - c.blue()) < 60) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    return {first, last};
}

void sendPlain(QWidget* w, QEvent::Type type)
{
    QEvent e(type);
    QApplication::sendEvent(w, &e);
}

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton)
{
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Visual state of a test row, brought about through the events a user causes.
enum Visual { Normal, Hot, Pressed, Disabled };

void bringTo(QWidget* w, Visual v)
{
    if (v == Hot || v == Pressed)
        sendPlain(w, QEvent::Enter);
    if (v == Pressed)
        sendMouse(w, QEvent::MouseButtonPress, QPoint(2, 2));
    if (v == Disabled)
        w->setEnabled(false);
}

} // namespace

class TestButtons2 : public QObject
{
    Q_OBJECT
    QTemporaryDir m_theme;

private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), kStyleJson));
        QVERIFY(tevtest::writeFile(m_theme.filePath("theme.json"), kThemeJson));
        const std::pair<const char*, QColor> icons[] = {
            {"red.png", kRed}, {"green.png", kGreen}, {"blue.png", kBlue}, {"yellow.png", kYellow}};
        for (const auto& icon : icons) {
            QImage img(16, 16, QImage::Format_ARGB32);
            img.fill(icon.second);
            QVERIFY(img.save(m_theme.filePath(icon.first)));
        }
        QImage big(32, 32, QImage::Format_ARGB32);
        big.fill(kBlue);
        QVERIFY(big.save(m_theme.filePath("sq32.png")));
        QVERIFY(tevtest::writeFile(m_theme.filePath("sq32.SVG"), R"(<svg xmlns="http://www.w3.org/2000/svg" )"
                                   R"(width="32" height="32"><rect width="32" height="32" fill="#0000ff"/></svg>)"));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        QVERIFY(LanguageManager::instance()->loadFromJson(kDictionary));
        rm()->initDefaultImageRes(); // "IDB_UNCHECK", "IDB_CHECKED", ...
        tevInitQtControl();
    }

    void cleanup()
    {
        rm()->setSwitchToThemeRes(false);
        tevSetLanguage(QStringLiteral("en-US"));
        detail::setQtEmulator(false);
    }

    // ---- JSON ------------------------------------------------------------------------------------------------

    void jsonWriteAndReadBack_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("attr");
        QTest::addColumn<QString>("style");
        // Check box: the built-in icon names and the start alignment 0 are written; the hot icons follow.
        QTest::newRow("checkbox default") << "qtcheckbox" << "{}"
            << R"({"iconHor": 0, "iconPath": "IDB_UNCHECK", "hotIconPath": "IDB_UNCHECK", "siconPath": "IDB_CHECKED", "sHotIconPath": "IDB_CHECKED"})"
            << "null";
        QTest::newRow("checkbox icons follow") << "checkbox"
            << R"({"attr": {"iconPath": "red.png", "siconPath": "blue.png", "sHotIconPath": "yellow.png", "showIcon": false, "showText": 0, "text": "Grid", "iconX": 99999999, "disableIconPath": "d.png"}})"
            << R"({"iconHor": 0, "iconX": 16777215, "showIcon": 0, "showText": 0, "text": "Grid", "iconPath": "red.png", "hotIconPath": "red.png", "siconPath": "blue.png", "sHotIconPath": "yellow.png", "disableIconPath": "d.png"})"
            << "null";
        // No icon: an empty name where the box holds a built-in image is written, or it comes back as the image.
        QTest::newRow("checkbox no icons") << "qtcheckbox"
            << R"({"attr": {"iconPath": "", "siconPath": "", "disableIconPath": ""}})"
            << R"({"iconHor": 0, "iconPath": "", "hotIconPath": "", "siconPath": "", "sHotIconPath": ""})"
            << "null";
        QTest::newRow("checkbox styles") << "qtcheckbox"
            << R"({"style": [["bgN", 1, 4], ["bgH", 1, 5], ["bgP", 1, 0], ["txtU", 2, 8], ["txtD", 2, 10], ["nope", 1, 1], ["txtC", 2, 11]], "attr": {"iconHor": 1}})"
            << R"({"iconHor": 1, "iconPath": "IDB_UNCHECK", "hotIconPath": "IDB_UNCHECK", "siconPath": "IDB_CHECKED", "sHotIconPath": "IDB_CHECKED"})"
            << R"([["bgP", 1, 0], ["bgN", 1, 4], ["bgH", 1, 5], ["bgN", 1, 6], ["bgN", 1, 7], ["txtU", 2, 8], ["txtD", 2, 10]])";
        // Radio button: "iconX" is written because its default is 10; an empty "style" is written as null.
        QTest::newRow("radio default") << "qtradiobox" << "{}" << R"({"iconX": 10})" << "null";
        QTest::newRow("radio keys") << "radio"
            << R"({"attr": {"pushlike": 1, "showIcon": 0, "iconPath": "red.png", "sHotIconPath": "b.svg", "iconHor": -1, "iconVer": 2, "text": "|->opt.auto", "iconX": 0, "iconY": -3}})"
            << R"({"pushlike": 1, "showIcon": 0, "iconPath": "red.png", "sHotIconPath": "b.svg", "iconVer": 2, "text": "Automatic", "iconX": 0, "iconY": -3})"
            << "null";
        QTest::newRow("radio styles") << "radiobox"
            << R"({"style": [["bgN", 1, 0], ["bgH", 1, 4], ["txtU", 2, 8], ["txtC", 2, 9]]})"
            << R"({"iconX": 10})" << R"([["bgN", 1, 0], ["bgH", 1, 4], ["txtU", 2, 8], ["txtC", 2, 9], ["txtC", 2, 10]])";
        // Combo box: nothing for a new one; the hot button icon only when it differs.
        QTest::newRow("combo default") << "qtcombobox" << "{}" << "null" << "null";
        QTest::newRow("combo icons") << "combobox" << R"({"attr": {"btnIcon": "a.png", "btnHotIcon": "b.png", "text": "Grid"}})"
            << R"({"text": "Grid", "btnIcon": "a.png", "btnHotIcon": "b.png"})" << "null";
        QTest::newRow("combo same icons") << "qtcombobox" << R"({"attr": {"btnIcon": "a.png", "btnHotIcon": "a.png"}})"
            << R"({"btnIcon": "a.png"})" << "null";
        QTest::newRow("combo styles") << "qtcombobox"
            << R"({"style": [["bgN", 1, 13], ["bgP", 1, 15], ["bgD", 1, 12], ["txtU", 2, 8], ["txtC", 2, 17], ["bgH", 1, 21], ["bgH", 1, -1]]})"
            << "null"
            << R"([["txtU", 2, 8], ["bgD", 1, 12], ["bgN", 1, 13], ["bgN", 1, 14], ["bgP", 1, 15], ["bgN", 1, 16], ["txtC", 2, 17]])";
    }

    void jsonWriteAndReadBack()
    {
        QFETCH(QString, type);
        QFETCH(QString, element);
        QFETCH(QString, attr);
        QFETCH(QString, style);
        std::unique_ptr<QWidget> w(createControlByType(type.toLatin1().constData(), nullptr));
        ITEVQWidgetBase* i = tevWidgetInterface(w.get());
        QVERIFY(i);
        read(i, element.toUtf8().constData());
        const Json::Value first = written(i);
        QCOMPARE(jsonText(json::get(first, "attr")), jsonText(parse(attr.toUtf8().constData())));
        QCOMPARE(jsonText(json::get(first, "style")), jsonText(parse(style.toUtf8().constData())));
        // Without entries the radio writes "style": null, the others leave it out.
        if (style == QLatin1String("null"))
            QCOMPARE(json::has(first, "style"), type.contains(QLatin1String("radio")));
        // What was written reads into a fresh control that writes the same element again.
        std::unique_ptr<QWidget> again(createControlByType(type.toLatin1().constData(), nullptr));
        Json::Value copy = first;
        tevWidgetInterface(again.get())->serializeJsonValue(&copy, true);
        QCOMPARE(jsonText(written(tevWidgetInterface(again.get()))), jsonText(first));
    }

    // Every element of the controls' bad-input corpus: read, painted and written by each of the three controls;
    // what one writes reads into a fresh control that writes it again unchanged.
    void corpusElementsRoundTrip()
    {
        const QDir dir(tevtest::dataPath(QStringLiteral("corpus/controls")));
        const QStringList files = dir.entryList({QStringLiteral("*.json")}, QDir::Files);
        QVERIFY(files.size() >= 4);
        for (const QString& file : files) {
            Json::Value element;
            if (!json::parse(tevtest::readFile(dir.filePath(file)), element))
                continue;
            for (const char* type : {"qtcheckbox", "qtradiobox", "qtcombobox"}) {
                auto cycle = [type](const Json::Value& in) {
                    std::unique_ptr<QWidget> w(createControlByType(type, nullptr));
                    Json::Value copy = in;
                    tevWidgetInterface(w.get())->serializeJsonValue(&copy, true);
                    w->resize(64, 24);
                    grab(w.get());
                    return written(tevWidgetInterface(w.get()));
                };
                const Json::Value first = cycle(element);
                QVERIFY2(cycle(first) == first, qPrintable(file + QLatin1Char('/') + QLatin1String(type)));
            }
        }
    }

    void radioTextSlotsSeedEachOther_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QStringList>("names"); // unchecked, checked, disabled
        QTest::newRow("8 only") << R"([["txtU", 2, 8]])" << QStringList{"txtU", "txtU", ""};
        QTest::newRow("8 and 9") << R"([["txtU", 2, 8], ["txtC", 2, 9]])" << QStringList{"txtU", "txtC", "txtC"};
        QTest::newRow("all three") << R"([["txtU", 2, 8], ["txtC", 2, 9], ["txtD", 2, 10]])"
                                   << QStringList{"txtU", "txtC", "txtD"};
        QTest::newRow("reversed") << R"([["txtD", 2, 10], ["txtC", 2, 9], ["txtU", 2, 8]])"
                                  << QStringList{"txtU", "txtU", "txtC"};
    }

    void radioTextSlotsSeedEachOther()
    {
        QFETCH(QString, style);
        QFETCH(QStringList, names);
        TEVQRadioButton r;
        read(&r, QStringLiteral(R"({"style": %1})").arg(style).toUtf8().constData());
        QCOMPARE(r.getTextStyleByState(CheckBoxTextUnchecked).name, names[0]);
        QCOMPARE(r.getTextStyleByState(CheckBoxTextChecked).name, names[1]);
        QCOMPARE(r.getTextStyleByState(CheckBoxTextDisabled).name, names[2]);
    }

    void unknownTextStateReadsEachButtonsOwnDefault()
    {
        // The check box reads its checked style for an unknown state, the radio button its unchecked one.
        TEVQCheckBox box;
        TEVQRadioButton radio;
        for (int checked = 0; checked < 2; ++checked) {
            box.setTextStyle(checked, ink(kRed, checked ? "c" : "u"));
            radio.setTextStyle(checked, ink(kRed, checked ? "c" : "u"));
        }
        QCOMPARE(box.getTextStyleByState(CheckBoxTextState(7)).name, QStringLiteral("c"));
        QCOMPARE(radio.getTextStyleByState(CheckBoxTextState(7)).name, QStringLiteral("u"));
        QCOMPARE(box.getTextStyleByState(CheckBoxTextUnchecked).name, QStringLiteral("u"));
        QCOMPARE(radio.getTextStyleByState(CheckBoxTextChecked).name, QStringLiteral("c"));
    }

    void absentTextAndThemeReReads()
    {
        // A page element without "text" clears the check box's text; a theme element leaves it unless it has one.
        TEVQCheckBox box;
        box.setText(QStringLiteral("Export limit"));
        box.setThemeName(QStringLiteral("TCheck"));
        QCOMPARE(box.text(), QStringLiteral("Export limit"));
        QCOMPARE(box.getIconOffsetX(), 2);
        box.setThemeName(QStringLiteral("TCheckText"));
        QCOMPARE(box.text(), QStringLiteral("from theme"));
        read(&box, R"({"attr": {"iconY": 1}})");
        QCOMPARE(box.text(), QString());

        // The radio skips texts and icons of theme elements; a page "attr" without "text" empties it.
        TEVQRadioButton radio;
        radio.setText(QStringLiteral("Keep"));
        radio.setThemeName(QStringLiteral("TRadio"));
        QCOMPARE(radio.text(), QStringLiteral("Keep"));
        QVERIFY(radio.getUncheckIcon().isEmpty());
        QCOMPARE(radio.getIconVerAlign(), DockLayoutFar);
        read(&radio, R"({"attr": {}})");
        QCOMPARE(radio.text(), QString());

        // The combo box adds a page element's item on every read, but a theme element's only once.
        TEVQComboBox combo;
        read(&combo, R"({"attr": {"text": "Grid"}})");
        read(&combo, R"({"attr": {"text": "Grid"}})");
        QCOMPARE(combo.count(), 2);
        QCOMPARE(combo.currentIndex(), 0);
        for (int i = 0; i < 3; ++i)
            combo.setThemeName(QStringLiteral("TCombo"));
        QCOMPARE(combo.count(), 3);
        QCOMPARE(combo.currentText(), QStringLiteral("Auto"));
        QCOMPARE(combo.getBackground(CtrlStateDisable).name, QStringLiteral("bgN"));
    }

    void dictionaryTextsFollowTheLanguage()
    {
        TEVQRadioButton radio;
        TEVQCheckBox box;
        read(&radio, R"({"attr": {"text": "|->opt.auto"}})");
        read(&box, R"({"attr": {"text": "|->opt.auto"}})");
        QCOMPARE(radio.text(), QStringLiteral("Automatic"));
        QCOMPARE(box.text(), QStringLiteral("Automatic"));
        QVERIFY(tevSetLanguage(QStringLiteral("zh-CN")));
        radio.notifyChangeLanguage();
        box.notifyChangeLanguage();
        QCOMPARE(radio.text(), QStringLiteral("自动"));
        QCOMPARE(box.text(), QStringLiteral("自动"));
        QCOMPARE(json::getString(json::get(written(&radio), "attr"), "text"), std::string("自动"));
        // A plain text afterwards no longer follows the key.
        read(&radio, R"({"attr": {"text": "|plain"}})");
        radio.notifyChangeLanguage();
        QCOMPARE(radio.text(), QStringLiteral("|plain"));
        // Nor does a text the program sets: the next language change leaves it.
        box.setText(QStringLiteral("Set by code"));
        QVERIFY(tevSetLanguage(QStringLiteral("en-US")));
        box.notifyChangeLanguage();
        QCOMPARE(box.text(), QStringLiteral("Set by code"));
        QVERIFY(box.painter()->textKey.isEmpty());
        QVERIFY(tevSetLanguage(QStringLiteral("zh-CN")));
    }

    void stateArgumentsStayInTheirArrays()
    {
        // Check box and radio: 4 sets every state where the setter has that form; other values set nothing and
        // read the normal entry.
        TEVQCheckBox box;
        box.setBackground(CtrlState(4), solid(kH, "all"));
        box.setBackground(CtrlState(9), solid(kN, "far"));
        QCOMPARE(box.getBackground(CtrlStateDisable).name, QStringLiteral("all"));
        QCOMPARE(box.getBackground(CtrlState(-5)).name, QStringLiteral("all"));
        box.setTextStyleByState(CheckBoxTextState(7), ink(kRed, "x"));
        QVERIFY(box.getTextStyleByState(CheckBoxTextState(7)).name.isEmpty());
        TEVQRadioButton radio;
        radio.setSelectedBackground(CtrlState(4), solid(kH, "four"));
        QVERIFY(radio.getSelectedBackground(CtrlState(4)).name.isEmpty());
        radio.setIcon(RadioIconState(9), QStringLiteral("x.png"));
        radio.setIcon(QStringLiteral("red.png"));
        QCOMPARE(radio.getCheckedHotIcon(), QStringLiteral("red.png"));
        QVERIFY(radio.getDisableIcon().isEmpty());
        // The combo box takes any other state as the normal one, for writing too.
        TEVQComboBox combo;
        combo.setBackground(CtrlState(4), solid(kH, "four"));
        QCOMPARE(combo.getBackground(CtrlState(12)).name, QStringLiteral("four"));
        QVERIFY(combo.getBackground(CtrlStateDisable).name.isEmpty());
        combo.setItemHeight(-4);
        QCOMPARE(combo.getItemHeight(), 0);
    }

    // ---- catalogue -------------------------------------------------------------------------------------------

    // The rows in their order (their accessors are checked for every catalogued type by the registry test).
    void catalogueRows_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<int>>("kinds");
        const QStringList common{"Name", "Type", "Visibility", "Enable", "Tooltip", "Alpha", "Line"};
        QTest::newRow("checkbox") << "qtcheckbox" << common + QStringList{"UncheckBg", "CheckedBg", "TextStyle", "Line",
            "ShowIcon", "UncheckIcon", "UncheckHotIcon", "CheckedIcon", "CheckedHotIcon", "HorAlign", "VerAlign", "OffsetX", "OffsetY"}
            << QList<int>{5, 5, 6, 4, 3, 9, 9, 9, 9, 13, 13, 10, 10};
        QTest::newRow("radio") << "qtradiobox" << common + QStringList{"UnselectedBg", "SelectedBg", "TextStyle", "Line",
            "PushLike", "ShowIcon", "ShowText", "UncheckIcon", "UncheckHotIcon", "CheckedIcon", "CheckedHotIcon", "HorAlign",
            "VerAlign", "OffsetX", "OffsetY"} << QList<int>{5, 5, 6, 4, 3, 3, 3, 9, 9, 9, 9, 13, 13, 10, 10};
        QTest::newRow("combo") << "qtcombobox" << common + QStringList{"Background", "BtnBackground", "TextStyle",
            "BtnBackground", "ItemBg", "ItemText", "Context", "Icon", "HotIcon"} << QList<int>{5, 5, 6, 5, 5, 6, 1, 9, 9};
    }

    void catalogueRows()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, rows);
        QFETCH(QList<int>, kinds);
        const ControlInfo* info = tevGetControlInfo(type);
        QVERIFY(info);
        QStringList names;
        QList<int> own;
        for (const PropertyDef& d : info->props) {
            names << d.name;
            if (names.size() > 7)
                own << d.kind;
        }
        QCOMPARE(names, rows);
        QCOMPARE(own, kinds);
        // The two rows labelled "BtnBackground" edit different fields.
        if (type == QLatin1String("qtcombobox")) {
            TEVQComboBox combo;
            info->props[10].setFillStyle(&combo, 0, solid(kN, "popup"));
            QCOMPARE(combo.getPopupBackground(CtrlStateNormal).name, QStringLiteral("popup"));
            QVERIFY(combo.getBtnBackground(CtrlStateNormal).name.isEmpty());
        }
    }

    // ---- painting --------------------------------------------------------------------------------------------

    void backgroundOfEachState_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("visual");
        QTest::addColumn<QColor>("expected");
        const QColor uncheckedColors[] = {kN, kH, kP, kD};
        const QColor checkedColors[] = {kD, kP, kH, kN}; // the checked group in reverse, to tell them apart
        const char* names[] = {"normal", "hot", "pressed", "disabled"};
        for (const char* type : {"qtcheckbox", "qtradiobox"})
            for (int v = 0; v < 4; ++v) {
                QTest::addRow("%s %s", type, names[v]) << type << false << v << uncheckedColors[v];
                QTest::addRow("%s checked %s", type, names[v]) << type << true << v << checkedColors[v];
            }
        QTest::addRow("combo normal") << "qtcombobox" << false << int(Normal) << kN;
        QTest::addRow("combo hot") << "qtcombobox" << false << int(Hot) << kH;
        QTest::addRow("combo disabled") << "qtcombobox" << false << int(Disabled) << kD;
    }

    void backgroundOfEachState()
    {
        QFETCH(QString, type);
        QFETCH(bool, checked);
        QFETCH(int, visual);
        QFETCH(QColor, expected);
        std::unique_ptr<QWidget> w(createControlByType(type.toLatin1().constData(), nullptr));
        w->resize(120, 24);
        const QColor colors[] = {kN, kH, kP, kD};
        for (int s = 0; s < 4; ++s) {
            if (auto* box = qobject_cast<TEVQCheckBox*>(w.get())) {
                box->setBackground(CtrlState(s), solid(colors[s]));
                box->setCheckedBackground(CtrlState(s), solid(colors[3 - s]));
                box->setChecked(checked);
            } else if (auto* radio = qobject_cast<TEVQRadioButton*>(w.get())) {
                radio->setBackground(CtrlState(s), solid(colors[s]));
                radio->setSelectedBackground(CtrlState(s), solid(colors[3 - s]));
                radio->setChecked(checked);
            } else if (auto* combo = qobject_cast<TEVQComboBox*>(w.get())) {
                combo->setBackground(CtrlState(s), solid(colors[s]));
            }
        }
        bringTo(w.get(), Visual(visual));
        QCOMPARE(px(grab(w.get()), 60, 1), expected);
    }

    void checkBoxIconAndText()
    {
        TEVQCheckBox box;
        box.resize(120, 20);
        box.setText(QStringLiteral("Grid"));
        box.setTextStyle(false, ink(QColor(0xD0, 0, 0)));
        box.setTextStyle(true, ink(QColor(0, 0, 0xD0)));
        box.setDisableTextStyle(ink(QColor(0, 0xA0, 0)));
        // No background; the built-in box at the left edge, centred (16 high in 20: from y 2), the text after it.
        QImage img = grab(&box);
        QCOMPARE(px(img, 60, 0).alpha(), 0);
        QCOMPARE(px(img, 1, 10), QColor(0xCC, 0xCC, 0xCC));
        QCOMPARE(px(img, 1, 1).alpha(), 0);
        const auto textAt = inkColumns(img, QColor(0xD0, 0, 0));
        QVERIFY2(textAt.first >= 16 && textAt.first < 20, qPrintable(QString::number(textAt.first)));
        auto inkInsideBox = [](const QImage& i) {
            int n = 0;
            for (int x = 3; x < 14; ++x)
                for (int y = 5; y < 16; ++y)
                    n += px(i, x, y).alpha() > 0;
            return n;
        };
        QCOMPARE(inkInsideBox(img), 0);
        box.setChecked(true);
        img = grab(&box);
        QVERIFY(inkInsideBox(img) > 5);
        QVERIFY(inkColumns(img, QColor(0, 0, 0xD0)).first >= 16);

        // Disabled without disabled icons: only the text, in the disabled style.
        box.setEnabled(false);
        img = grab(&box);
        QCOMPARE(px(img, 1, 10).alpha(), 0);
        QVERIFY(inkColumns(img, QColor(0, 0xA0, 0)).first >= 16);
        box.setDisableCheckIcon(QStringLiteral("yellow.png"));
        QCOMPARE(px(grab(&box), 8, 10), kYellow);

        // Centred icon: the text starts at 0 and the icon lies over it; an unknown unchecked icon moves nothing.
        TEVQCheckBox centred;
        centred.resize(60, 20);
        centred.setIconHorAlign(DockLayoutCenter);
        centred.setUncheckIcon(QStringLiteral("red.png"));
        centred.setText(QStringLiteral("WWWWWWWWWW"));
        centred.setTextStyle(false, ink(kBlue));
        img = grab(&centred);
        QCOMPARE(px(img, 30, 10), kRed);
        QVERIFY(inkColumns(img, kBlue).first < 4);
        centred.setIconHorAlign(DockLayoutNear);
        centred.setUncheckIcon(QStringLiteral("missing.png"));
        QVERIFY(inkColumns(grab(&centred), kBlue).first < 4);
    }

    void radioIconFittedToHalfTheHeight_data()
    {
        QTest::addColumn<QString>("icon");
        QTest::newRow("raster") << "sq32.png";
        QTest::newRow("svg") << "sq32.SVG";
    }

    void radioIconFittedToHalfTheHeight()
    {
        QFETCH(QString, icon);
        TEVQRadioButton radio;
        radio.resize(120, 24);
        radio.setIcon(icon);
        radio.setTextStyle(false, ink(kRed));
        // Unchecked: no background. A 32 x 32 icon is drawn 12 x 12, 10 pixels in, centred; the text from 14.
        QImage img = grab(&radio);
        QCOMPARE(px(img, 100, 1).alpha(), 0);
        QCOMPARE(px(img, 10, 6), kBlue);
        QCOMPARE(px(img, 21, 17), kBlue);
        QCOMPARE(px(img, 9, 12).alpha(), 0);
        QCOMPARE(px(img, 22, 12).alpha(), 0);
        QCOMPARE(px(img, 10, 5).alpha(), 0);
        QCOMPARE(px(img, 10, 18).alpha(), 0);
        radio.setText(QStringLiteral("Grid"));
        img = grab(&radio);
        const int textStart = inkColumns(img, kRed).first;
        QVERIFY2(textStart >= 14 && textStart < 18, qPrintable(QString::number(textStart)));
        // Hot without a hot icon, and disabled without a disabled icon, show the normal icon and keep the text
        // right of it.
        sendPlain(&radio, QEvent::Enter);
        img = grab(&radio);
        QCOMPARE(px(img, 10, 6), kBlue);
        QCOMPARE(inkColumns(img, kRed).first, textStart);
        radio.setEnabled(false);
        radio.setTextStyleByState(CheckBoxTextDisabled, ink(kRed));
        img = grab(&radio);
        QVERIFY(px(img, 10, 6).alpha() > 0 && px(img, 10, 6) != kBlue);
        QCOMPARE(inkColumns(img, kRed).first, textStart);
        radio.setEnabled(true);
        sendPlain(&radio, QEvent::Leave);
        // Checked: the white default background.
        radio.setChecked(true);
        QCOMPARE(px(grab(&radio), 100, 1), QColor(Qt::white));

        // An icon already small enough keeps its size and its own placement; disabled, a raster icon turns gray.
        TEVQRadioButton small;
        small.resize(60, 32);
        small.setIcon(QStringLiteral("red.png"));
        img = grab(&small);
        QCOMPARE(px(img, 10, 8), kRed);
        QCOMPARE(px(img, 25, 23), kRed);
        QCOMPARE(px(img, 26, 16).alpha(), 0);
        QCOMPARE(px(img, 12, 7).alpha(), 0);
        small.setEnabled(false);
        const QColor gray = px(grab(&small), 12, 16);
        QVERIFY(gray.alpha() > 0 && gray != kRed && qAbs(gray.red() - gray.green()) < 40);
        small.setDisableIcon(QStringLiteral("green.png"));
        QCOMPARE(px(grab(&small), 12, 16), kGreen);
    }

    void radioIconFollowsAnotherTheme()
    {
        // Another theme with another picture under the same name: the next paint shows the new picture.
        TEVQRadioButton radio;
        radio.resize(60, 32);
        radio.setIcon(QStringLiteral("red.png"));
        QCOMPARE(px(grab(&radio), 12, 16), kRed);
        QTemporaryDir other;
        QImage img(16, 16, QImage::Format_ARGB32);
        img.fill(kBlue);
        QVERIFY(img.save(other.filePath("red.png")));
        QVERIFY(tevtest::writeFile(other.filePath("style.json"), kStyleJson));
        QVERIFY(tevtest::writeFile(other.filePath("theme.json"), kThemeJson));
        QVERIFY(rm()->loadThemeDir(other.path()));
        const QColor shown = px(grab(&radio), 12, 16);
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QCOMPARE(shown, kBlue);
    }

    void comboClosedBox()
    {
        TEVQComboBox combo;
        combo.resize(120, 24);
        combo.addItem(QStringLiteral("Alpha"));
        combo.setBackground(CtrlStateNormal, solid(kN));
        combo.setBtnBackground(CtrlStateNormal, solid(kP));
        combo.setNormalBtnIcon(QStringLiteral("yellow.png"));
        combo.setTextStyle(CtrlStateNormal, ink(kRed));
        // The drop button is the square at the right edge (x 95..118 for 120 x 24), its icon centred in it.
        QImage img = grab(&combo);
        QCOMPARE(px(img, 2, 2), kN);
        QCOMPARE(px(img, 96, 1), kP);
        QCOMPARE(px(img, 94, 1), kN);
        QCOMPARE(px(img, 106, 12), kYellow);
        const int plain = inkColumns(img, kRed).first;
        QVERIFY2(plain >= 10 && plain < 14, qPrintable(QString::number(plain)));

        // With an item icon: the icon in the column from x 5, the text from 20 + 10.
        QPixmap green(16, 16);
        green.fill(kGreen);
        combo.setItemIcon(0, QIcon(green));
        img = grab(&combo);
        QCOMPARE(px(img, 8, 6), kGreen);
        const int indented = inkColumns(img, kRed).first;
        QVERIFY2(indented >= 30 && indented < 34, qPrintable(QString::number(indented)));
        // A left-aligned style with a larger offset keeps it.
        TextStyleDesc far = ink(kRed);
        far.offsetX = 40;
        combo.setTextStyle(CtrlStateNormal, far);
        QVERIFY(inkColumns(grab(&combo), kRed).first >= 60);

        // Editable: no text of its own, margins of 10 for the line edit.
        combo.setEditable(true);
        img = grab(&combo);
        QCOMPARE(inkColumns(img, kRed).first, -1);
        QCOMPARE(combo.lineEdit()->textMargins(), QMargins(10, 0, 10, 0));
    }

    void comboEditableShowsItsBackground()
    {
        // However a box became editable, the field shows the box's background, not a base of its own; a line
        // edit its caller styled keeps that style.
        TEVQComboBox made, given, styled;
        for (TEVQComboBox* c : {&made, &given, &styled}) {
            c->resize(120, 24);
            c->setBackground(CtrlStateNormal, solid(kN));
        }
        made.setEditable(true);
        given.setLineEdit(new QLineEdit);
        auto* own = new QLineEdit;
        own->setStyleSheet(QStringLiteral("color: red;"));
        styled.setLineEdit(own);
        auto field = [](TEVQComboBox& c) { // the box with its line edit, at the middle of the field
            c.lineEdit()->setText(QStringLiteral("Alpha"));
            QImage img(c.size(), QImage::Format_ARGB32);
            img.fill(Qt::transparent);
            c.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
            return px(img, 70, 12);
        };
        QCOMPARE(field(made), kN);
        QCOMPARE(field(given), kN);
        field(styled);
        QCOMPARE(own->styleSheet(), QStringLiteral("color: red;"));
    }

    void comboPopupRows_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("item") << int(QStyle::State_None) << kN;
        QTest::newRow("selected") << int(QStyle::State_Selected) << kP;
        QTest::newRow("under the mouse") << int(QStyle::State_MouseOver) << kH;
        QTest::newRow("under the mouse and selected") << int(QStyle::State_MouseOver | QStyle::State_Selected) << kH;
    }

    void comboPopupRows()
    {
        QFETCH(int, state);
        QFETCH(QColor, expected);
        TEVQComboBox combo;
        combo.addItem(QStringLiteral("Row"));
        const QColor colors[] = {kN, kH, kP, kD};
        for (int s = 0; s < 4; ++s)
            combo.setItemBackground(CtrlState(s), solid(colors[s]));
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 100, 25);
        option.state = QStyle::State(state);
        QImage img(100, 25, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        {
            QPainter p(&img);
            combo.popupList()->delegate()->paint(&p, option, combo.model()->index(0, 0));
        }
        QCOMPARE(px(img, 99, 0), expected);
        // Every row is the item height high, whatever the font.
        QCOMPARE(combo.popupList()->delegate()->sizeHint(option, combo.model()->index(0, 0)), QSize(100, 25));
        combo.setItemHeight(40);
        QCOMPARE(combo.popupList()->sizeHintForRow(0), 40);
    }

    void comboPopupRowTextsFollowTheirInputs()
    {
        // The rows' texts are kept between paints: after each change of the item's text, the look's text style,
        // the row's rectangle or its state, a row paints as the same row of a new combo box does (row 600 as
        // well as row 0).
        auto paintRow = [](TEVQComboBox& combo, int row, const QRect& rect, int state) {
            QStyleOptionViewItem option;
            option.rect = rect;
            option.state = QStyle::State(state);
            QImage img(rect.size() + QSize(rect.x(), rect.y()), QImage::Format_ARGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            combo.popupList()->delegate()->paint(&p, option, combo.model()->index(row, 0));
            return img;
        };
        struct Step {
            const char* text;
            QColor colour;
            QRect rect;
            int state;
        };
        const Step steps[] = {{"Inverter 逆变器", kBlue, {0, 0, 160, 25}, QStyle::State_None},
                              {"Inverter 逆变器", kBlue, {0, 0, 160, 25}, QStyle::State_MouseOver},
                              {"Meter 电表", kBlue, {0, 0, 160, 25}, QStyle::State_MouseOver},
                              {"Meter 电表", kRed, {0, 0, 160, 25}, QStyle::State_MouseOver},
                              {"Meter 电表", kRed, {0, 0, 60, 30}, QStyle::State_MouseOver},
                              {"A name far too long for the row", kRed, {0, 0, 60, 30}, QStyle::State_Selected}};
        auto configure = [](TEVQComboBox& combo, const Step& step) {
            while (combo.count() < 601)
                combo.addItem(QString());
            for (int row : {0, 600})
                combo.setItemText(row, QString::fromUtf8(step.text));
            for (int s = 0; s < 4; ++s)
                combo.setItemTextStyle(CtrlState(s), ink(step.colour));
        };
        TEVQComboBox kept;
        for (const Step& step : steps) {
            configure(kept, step);
            TEVQComboBox fresh;
            configure(fresh, step);
            for (int row : {0, 600})
                QCOMPARE(paintRow(kept, row, step.rect, step.state), paintRow(fresh, row, step.rect, step.state));
        }
    }

    void comboPopupBackgroundAndPreviewItems()
    {
        QWidget host;
        auto* shown = new TEVQComboBox(&host);
        shown->setGeometry(0, 0, 120, 24);
        shown->addItem(QStringLiteral("Row"));
        shown->setPopupBackground(CtrlStateHot, solid(kH));
        FillStyle none;
        none.valid = false;
        shown->setItemBackground(CtrlStateNormal, none);
        shown->setItemBackground(CtrlStatePressed, none);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        shown->showPopup();
        QWidget* viewport = shown->popupList()->viewport();
        QTRY_VERIFY(viewport->isVisible());
        QCOMPARE(px(viewport->grab().toImage(), 2, 2), kH);
        shown->hidePopup();

        TEVQComboBox combo;
        combo.initDemoData();
        QCOMPARE(combo.count(), 0);
        detail::setQtEmulator(true);
        combo.createComplete();
        QCOMPARE(combo.count(), 3);
        QCOMPARE(combo.currentText(), QStringLiteral("Item1"));

        // Qt deletes the themed list when another view is set; the combo box is then destroyed without it.
        auto* replaced = new TEVQComboBox;
        replaced->setView(new QListView);
        QVERIFY(!replaced->popupList());
        delete replaced;
    }

    // The text cache draws what the painter base's drawTextAt draws, for every alignment, offset and mode,
    // and follows a change of text, style, size and global font family.
    void cachedTextMatchesTheDrawingHelper_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("ver");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("box");
        for (int hor : {0, 1, 2, 5})
            for (int ver : {0, 1, 2})
                QTest::addRow("align %d %d", hor, ver) << hor << ver << QPoint(3, 2) << 1 << "Grid 电网" << QSize(90, 26);
        QTest::newRow("elided") << 0 << 1 << QPoint() << 1 << "A text far too long for its box" << QSize(70, 20);
        QTest::newRow("negative offset") << 2 << 1 << QPoint(-4, -3) << 1 << "Grid" << QSize(60, 20);
        QTest::newRow("taller than its box") << 1 << 1 << QPoint() << 1 << "Grid" << QSize(60, 6);
        QTest::newRow("wrapped") << 0 << 0 << QPoint() << 3 << "several words wrapped in a box" << QSize(60, 40);
        QTest::newRow("line break") << 0 << 1 << QPoint() << 1 << "two\nlines" << QSize(80, 20);
        // Texts whose letters are wider than the font's average: they look short enough to fit and do not.
        QTest::newRow("wide letters") << 1 << 1 << QPoint() << 1 << "WWWWMMMM" << QSize(70, 20);
        QTest::newRow("wide Chinese") << 0 << 1 << QPoint() << 1 << "电网电网电网电网" << QSize(70, 20);
        QTest::newRow("trailing blanks") << 2 << 1 << QPoint() << 1 << "Grid   " << QSize(80, 20);
    }

    void cachedTextMatchesTheDrawingHelper()
    {
        QFETCH(int, hor);
        QFETCH(int, ver);
        QFETCH(QPoint, offset);
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QSize, box);
        TextStyleDesc style = ink(QColor(20, 40, 60));
        style.horAlign = hor;
        style.verAlign = ver;
        style.offsetX = offset.x();
        style.offsetY = offset.y();
        style.textMode = mode;
        auto paint = [&](auto draw) { return paintedOnWhite(box + QSize(8, 8), draw); };
        TEVTextCache cache;
        for (int pass = 0; pass < 2; ++pass) { // laid out, then drawn from the cache
            const QImage cached = paint([&](QPainter* p) { cache.draw(p, text, style, 4, 4, box.width(), box.height()); });
            const QImage helper = paint([&](QPainter* p) {
                TEVQWidgetBaseImpl::drawTextAt(p, text, style, 4, 4, box.width(), box.height(), true);
            });
            QCOMPARE(cached, helper);
        }
        // Each input counts.
        const QImage before = paint([&](QPainter* p) { cache.draw(p, text, style, 4, 4, box.width(), box.height()); });
        style.color = QColor(200, 0, 0);
        QVERIFY(paint([&](QPainter* p) { cache.draw(p, text, style, 4, 4, box.width(), box.height()); }) != before);
        QVERIFY(paint([&](QPainter* p) { cache.draw(p, text + "W", style, 4, 4, box.width(), box.height()); }) != before);
        rm()->setGlobalFontFamily(QStringLiteral("WenQuanYi Micro Hei"));
        const QImage other = paint([&](QPainter* p) { cache.draw(p, text, style, 4, 4, box.width(), box.height()); });
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        QVERIFY(other != paint([&](QPainter* p) { cache.draw(p, text, style, 4, 4, box.width(), box.height()); }));
    }

    // A line drawn in one colour after another (a fading button's text at every step of the fade) is laid out
    // once and shows each colour as the drawing helper does; another place in its box lays it out again.
    void cachedTextKeepsItsLineAcrossColours()
    {
        TextStyleDesc style = ink(QColor(20, 40, 60));
        style.horAlign = 1;
        TEVTextCache cache;
        auto paint = [&](auto draw) { return paintedOnWhite(QSize(130, 30), draw); };
        for (int step = 0; step <= 4; ++step) {
            style.color = QColor(20 + 50 * step, 40, 200 - 40 * step);
            QCOMPARE(paint([&](QPainter* p) { cache.draw(p, "电网 Grid", style, 2, 2, 120, 24); }),
                     paint([&](QPainter* p) { TEVQWidgetBaseImpl::drawTextAt(p, "电网 Grid", style, 2, 2, 120, 24, true); }));
        }
        QCOMPARE(cache.layoutCount(), 1);
        style.horAlign = 2;
        QCOMPARE(paint([&](QPainter* p) { cache.draw(p, "电网 Grid", style, 2, 2, 120, 24); }),
                 paint([&](QPainter* p) { TEVQWidgetBaseImpl::drawTextAt(p, "电网 Grid", style, 2, 2, 120, 24, true); }));
        QCOMPARE(cache.layoutCount(), 2);
    }

    // Underlined, bold and italic single lines, Latin and Chinese, in each alignment: the laid-out line and the
    // glyphs taken from it at later paints look exactly as the helper's drawing, also after a size change lays the
    // line out again. Where the font has no italic face, the slanted glyphs reach past their advance.
    void decoratedCachedTextMatchesTheDrawingHelper()
    {
        TextStyleDesc style = ink(QColor(20, 40, 60));
        style.bold = style.italic = true;
        style.verAlign = 1;
        for (int i = 0; i < 9; ++i) {
            style.underline = i % 2 == 0;
            style.horAlign = i / 3;
            const QString text = QStringList{"Grid", "电网 Grid", "Far too long for it"}.at(i % 3);
            TEVTextCache cache;
            for (int width : {120, 120, 120, 60, 60}) {
                auto paint = [&](auto draw) { return paintedOnWhite(QSize(130, 30), draw); };
                const QImage cached = paint([&](QPainter* p) { cache.draw(p, text, style, 2, 2, width, 24); });
                QCOMPARE(cached, paint([&](QPainter* p) {
                             TEVQWidgetBaseImpl::drawTextAt(p, text, style, 2, 2, width, 24, true);
                         }));
            }
        }
    }

    // Caches of one style hand out one font (Qt then looks its glyph engines up once), which is still the font
    // of the style: it follows the style, the global family and the application's font.
    void cachesOfOneStyleShareTheirFont()
    {
        TextStyleDesc style = ink(QColor(20, 40, 60));
        style.pixelSize = 13;
        TEVTextCache a, b;
        QVERIFY(a.font(style).isCopyOf(b.font(style)));
        QCOMPARE(a.font(style), TEVQWidgetBaseImpl::styleFont(style));

        TextStyleDesc bold = style;
        bold.bold = true;
        TEVTextCache c;
        QVERIFY(!c.font(bold).isCopyOf(a.font(style)));
        QCOMPARE(c.font(bold), TEVQWidgetBaseImpl::styleFont(bold));

        rm()->setGlobalFontFamily(QStringLiteral("WenQuanYi Micro Hei"));
        TEVTextCache d;
        QCOMPARE(d.font(style).family(), QStringLiteral("WenQuanYi Micro Hei"));
        QCOMPARE(a.font(style), d.font(style));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));

        // A style without a pixel size takes the application's size, also after the application's font changed
        // (a cache that drew before the change follows it, and draws the text at the new size).
        TextStyleDesc unsized = style;
        unsized.pixelSize = 0;
        const QFont appFont = QGuiApplication::font();
        TEVTextCache e;
        QCOMPARE(e.font(unsized), TEVQWidgetBaseImpl::styleFont(unsized));
        auto paint = [&](TEVTextCache& cache) {
            QImage img(200, 60, QImage::Format_ARGB32);
            img.fill(Qt::white);
            QPainter p(&img);
            cache.draw(&p, QStringLiteral("Grid"), unsized, 0, 0, 200, 60);
            return img;
        };
        const QImage before = paint(e);
        QFont bigger = appFont;
        bigger.setPointSize(appFont.pointSize() > 0 ? appFont.pointSize() + 7 : 21);
        QGuiApplication::setFont(bigger);
        TEVTextCache f;
        QCOMPARE(f.font(unsized).pointSize(), bigger.pointSize());
        QCOMPARE(f.font(unsized), TEVQWidgetBaseImpl::styleFont(unsized));
        QCOMPARE(e.font(unsized), f.font(unsized));
        QVERIFY(paint(e) != before);
        QCOMPARE(paint(e), paint(f));
        QGuiApplication::setFont(appFont);
        TEVTextCache g;
        QCOMPARE(g.font(unsized), TEVQWidgetBaseImpl::styleFont(unsized));
        QCOMPARE(e.font(unsized), g.font(unsized));
        QCOMPARE(paint(e), before);
    }

    void iconOffsetsOfAnySize()
    {
        // Offsets from code as from JSON: painting with the largest ones does not overflow (check box, radio
        // button and push button alike).
        IconStyleDesc style;
        style.offsetX = INT_MIN;
        style.offsetY = INT_MAX;
        style.horAlign = 0;
        auto check = [&](auto& b) {
            b.resize(100, 20);
            b.setText(QStringLiteral("x"));
            b.setIconOffsetX(INT_MAX);
            b.setIconOffsetY(INT_MIN);
            QCOMPARE(b.getIconOffsetX(), QWIDGETSIZE_MAX);
            grab(&b);
            b.setIconStyle(style);
            QCOMPARE(b.getIconOffsetX(), -QWIDGETSIZE_MAX);
            QCOMPARE(b.getIconStyle().offsetY, QWIDGETSIZE_MAX);
            grab(&b);
        };
        TEVQCheckBox box;
        check(box);
        TEVQRadioButton radio;
        check(radio);
        TEVQPushButton push;
        push.setText(QStringLiteral("x"));
        push.setIcon(QStringLiteral("red.png"));
        push.setIconStyle(style);
        push.setTextOffsetX(INT_MAX);
        push.setTextOffsetY(INT_MIN);
        push.resize(100, 20);
        QCOMPARE(push.getIconStyle().offsetX, -QWIDGETSIZE_MAX);
        grab(&push);
    }

    // ---- mouse and keyboard ----------------------------------------------------------------------------------

    void checkBoxIconsFollowTheMouse()
    {
        TEVQCheckBox box;
        box.resize(100, 20);
        box.setUncheckIcon(QStringLiteral("red.png"));
        box.setUncheckHotIcon(QStringLiteral("green.png"));
        box.setCheckedIcon(QStringLiteral("blue.png"));
        box.setCheckedHotIcon(QStringLiteral("yellow.png"));
        QSignalSpy toggled(&box, &QCheckBox::toggled);
        auto icon = [&box] { return px(grab(&box), 8, 10); };
        QCOMPARE(icon(), kRed);
        sendPlain(&box, QEvent::Enter);
        QCOMPARE(icon(), kGreen);
        sendMouse(&box, QEvent::MouseButtonPress, QPoint(5, 5));
        QCOMPARE(icon(), kRed); // pressed shows the normal icon of the check state
        sendMouse(&box, QEvent::MouseButtonRelease, QPoint(5, 5));
        QVERIFY(box.isChecked());
        QCOMPARE(icon(), kYellow);
        sendPlain(&box, QEvent::Leave);
        QCOMPARE(icon(), kBlue);
        QCOMPARE(toggled.count(), 1);
        // A later unchecked icon leaves the hot icon that was set on purpose.
        box.setUncheckIcon(QStringLiteral("blue.png"));
        QCOMPARE(box.getUncheckHotIcon(), QStringLiteral("green.png"));
        TEVQCheckBox fresh;
        fresh.setUncheckIcon(QStringLiteral("red.png"));
        fresh.setCheckedIcon(QStringLiteral("blue.png"));
        QCOMPARE(fresh.getUncheckHotIcon(), QStringLiteral("red.png"));
        QCOMPARE(fresh.getCheckedHotIcon(), QStringLiteral("blue.png"));
    }

    void checkBoxTakesClicksWhereItPaints()
    {
        // The icon and the text stand where the styles put them: a click on either toggles the box.
        TEVQCheckBox box;
        box.resize(200, 40);
        box.setIconHorAlign(DockLayoutFar);
        TextStyleDesc large = ink(kRed);
        large.pixelSize = 30;
        box.setTextStyle(false, large);
        box.setTextStyle(true, large);
        box.setText(QStringLiteral("Inverter"));
        const int textEnd = inkColumns(grab(&box), kRed).second;
        QVERIFY2(textEnd > 100 && textEnd < 180, qPrintable(QString::number(textEnd)));
        auto click = [&box](int x) {
            sendMouse(&box, QEvent::MouseButtonPress, QPoint(x, 20));
            sendMouse(&box, QEvent::MouseButtonRelease, QPoint(x, 20));
            return box.isChecked();
        };
        QVERIFY(click(textEnd - 2));
        QVERIFY(!click(192)); // the icon at the right edge
        sendMouse(&box, QEvent::MouseButtonPress, QPoint(192, 20));
        sendMouse(&box, QEvent::MouseButtonRelease, QPoint(260, 20)); // released off the box
        QVERIFY(!box.isChecked());
    }

    void toggleInButtonGroups()
    {
        QWidget host;
        auto* a = new TEVQCheckBox(&host);
        auto* b = new TEVQCheckBox(&host);
        a->setText(QStringLiteral("Option A")); // Qt's check box is hit on its indicator and text
        b->setText(QStringLiteral("Option B"));
        auto* r1 = new TEVQRadioButton(&host);
        auto* r2 = new TEVQRadioButton(&host);
        int y = 0;
        for (QWidget* w : {static_cast<QWidget*>(a), static_cast<QWidget*>(b), static_cast<QWidget*>(r1),
                           static_cast<QWidget*>(r2)}) {
            w->setGeometry(0, y, 120, 22);
            y += 24;
        }
        QButtonGroup boxes;
        boxes.addButton(a, 1);
        boxes.addButton(b, 2);
        QButtonGroup radios;
        radios.addButton(r1, 1);
        radios.addButton(r2, 2);
        QSignalSpy boxClicks(&boxes, &QButtonGroup::idClicked);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        QTest::mouseClick(a, Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
        QVERIFY(!a->isChecked() && b->isChecked()); // exclusive group
        QCOMPARE(boxClicks.count(), 2);
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Space); // the checked box of an exclusive group stays checked
        QVERIFY(b->isChecked());
        boxes.setExclusive(false);
        QTest::keyClick(b, Qt::Key_Space);
        QVERIFY(!b->isChecked());

        // The whole radio is its hit area; every press is reported, the right button's too, which checks nothing.
        QSignalSpy presses(r1, &TEVQRadioButton::pressedEvent);
        QTest::mouseClick(r1, Qt::RightButton, Qt::NoModifier, QPoint(118, 20));
        QVERIFY(!r1->isChecked());
        QTest::mouseClick(r1, Qt::LeftButton, Qt::NoModifier, QPoint(118, 20));
        QVERIFY(r1->isChecked());
        QTest::mouseClick(r1, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QCOMPARE(presses.count(), 3);
        QTest::mouseClick(r2, Qt::LeftButton, Qt::NoModifier, QPoint(100, 5));
        QVERIFY(r2->isChecked() && !r1->isChecked());
        QCOMPARE(radios.checkedId(), 2);
        QTest::keyClick(r1, Qt::Key_Space);
        QVERIFY(r1->isChecked() && !r2->isChecked());
        QCOMPARE(presses.count(), 3); // keys are not presses
    }

    void comboPressLookEndsWithItsPopup()
    {
        // The press that opens the popup gets no release (the popup takes it): once the popup is gone, however
        // it closed, the box shows hot under the pointer and normal once the pointer has left, not pressed.
        QWidget host;
        auto* combo = new TEVQComboBox(&host);
        combo->setGeometry(10, 10, 140, 26);
        combo->addItems({QStringLiteral("Plant"), QStringLiteral("Group")});
        host.resize(200, 80);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        TEVQWidgetBaseImpl* p = combo->getControlImpl();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(combo, &enter);
        for (int how = 0; how < 3; ++how) {
            QTest::mousePress(combo, Qt::LeftButton, {}, QPoint(20, 13));
            QTRY_VERIFY(combo->view()->isVisible());
            QCOMPARE(p->getState(), CtrlStatePressed);
            if (how == 0)
                combo->hidePopup();
            else if (how == 1)
                QTest::keyClick(combo->view(), Qt::Key_Escape);
            else
                QApplication::activePopupWidget()->close(); // a click outside the popup
            QTRY_VERIFY(!combo->view()->isVisible());
            QCOMPARE(p->getState(), CtrlStateHot);
        }
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(combo, &leave);
        QTest::mousePress(combo, Qt::LeftButton, {}, QPoint(20, 13));
        QTRY_VERIFY(combo->view()->isVisible());
        combo->hidePopup();
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(p->getState(), CtrlStateNormal);
    }

    void comboOpensFromTheButtonItPaints()
    {
        // An editable combo box opens its list from the whole drop button it paints (a square of its height at
        // the right edge), and its line edit ends before that button.
        QWidget host;
        host.resize(240, 60);
        auto* combo = new TEVQComboBox(&host);
        combo->setGeometry(10, 10, 200, 40);
        combo->addItem(QStringLiteral("Alpha"));
        combo->setEditable(true);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        const int buttonLeft = 199 - 40;
        QVERIFY(combo->lineEdit()->geometry().right() < buttonLeft);
        QTest::mouseClick(combo, Qt::LeftButton, {}, QPoint(buttonLeft + 3, 20));
        QTRY_VERIFY(combo->view()->isVisible());
        combo->hidePopup();
    }

    void comboTakesADelegateOfItsCaller()
    {
        // QComboBox::setItemDelegate deletes the delegate in place: the themed one goes, the caller's paints.
        auto combo = std::make_unique<TEVQComboBox>();
        combo->addItem(QStringLiteral("Plant"));
        auto* own = new QItemDelegate(combo.get()); // not owned by the combo box: by its parent
        combo->setItemDelegate(own);
        QCOMPARE(combo->itemDelegate(), own);
        QCOMPARE(combo->popupList()->delegate(), nullptr);
        combo.reset();
    }

    void comboPopupAndSelection()
    {
        QWidget host;
        auto* combo = new TEVQComboBox(&host);
        combo->setGeometry(10, 10, 140, 26);
        combo->addItems({QStringLiteral("Plant"), QStringLiteral("Group"), QStringLiteral("Skid")});
        host.resize(200, 80);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QSignalSpy activated(combo, QOverload<int>::of(&QComboBox::activated));

        // Keys on the closed box step through the items.
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->currentIndex(), 1);

        // A click opens the popup (the themed list); a key in it picks an item and closes it.
        QTest::mouseClick(combo, Qt::LeftButton, Qt::NoModifier, QPoint(20, 13));
        QAbstractItemView* view = combo->view();
        QCOMPARE(view, static_cast<QAbstractItemView*>(combo->popupList()));
        QTRY_VERIFY(view->isVisible());
        QCOMPARE(view->itemDelegate(), static_cast<QAbstractItemDelegate*>(combo->popupList()->delegate()));
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(combo->currentText(), QStringLiteral("Skid"));
        QCOMPARE(activated.count(), 2); // the key on the closed box activates too
        QCOMPARE(activated.last().first().toInt(), 2);
    }

    // ---- gallery ---------------------------------------------------------------------------------------------

    void gallery()
    {
        QWidget host;
        host.resize(560, 400);
        host.setAutoFillBackground(true);
        host.setPalette(QPalette(QColor(246, 248, 250)));
        const char* labels[2][3] = {{"Export", "Grid", "Auto restart"}, {"出口", "电网", "自动重启"}};
        auto make = [&host](const char* type, const QRect& geometry, const QString& element) {
            QWidget* w = createControlByType(type, &host);
            w->setGeometry(geometry);
            Json::Value v = parse(element.toUtf8().constData());
            tevWidgetInterface(w)->serializeJsonValue(&v, true);
            return w;
        };
        for (int lang = 0; lang < 2; ++lang) {
            const int top = lang * 200;
            const QString box = QStringLiteral(R"({"attr": {"text": "%1"}, "style": [["gCard", 1, 0], ["gHot", 1, 1],
                ["gCard", 1, 4], ["gHot", 1, 5], ["gText", 2, 8], ["gText", 2, 9], ["gGray", 2, 10]]})");
            const QString radio = QStringLiteral(R"({"attr": {"text": "%1", "iconPath": "IDB_UNSELECT",
                "hotIconPath": "IDB_UNSELECT", "siconPath": "IDB_SELECTED", "iconX": 2},
                "style": [["gHot", 1, 1], ["gCard", 1, 4], ["gHot", 1, 5], ["gText", 2, 8], ["gGray", 2, 10]]})");
            const QString combo = QStringLiteral(R"({"attr": {"text": "%1", "btnIcon": "IDB_CHECKED"},
                "style": [["gBox", 1, 0], ["gBoxHot", 1, 1], ["gBoxHot", 1, 2], ["gCard", 1, 3], ["gText", 2, 8],
                ["gGray", 2, 11], ["gRow", 1, 13], ["gHot", 1, 14], ["gSel", 1, 15], ["gText", 2, 17],
                ["gWhite", 2, 19]]})");
            for (int v = 0; v < 4; ++v) {
                for (int checked = 0; checked < 2; ++checked) {
                    const int x = 8 + (v * 2 + checked) * 68;
                    for (QWidget* w : {make("qtcheckbox", QRect(x, top + 8, 64, 22), box.arg(labels[lang][0])),
                                       make("qtradiobox", QRect(x, top + 36, 64, 24), radio.arg(labels[lang][1]))}) {
                        static_cast<QAbstractButton*>(w)->setAutoExclusive(false);
                        static_cast<QAbstractButton*>(w)->setChecked(checked);
                        bringTo(w, Visual(v));
                    }
                }
                auto* c = static_cast<TEVQComboBox*>(make("qtcombobox", QRect(8 + v * 136, top + 70, 128, 26),
                                                          combo.arg(labels[lang][2])));
                if (v == Pressed) // a press would open the popup: the painter takes the pressed state directly
                    c->painter()->mousePressEvent(nullptr);
                else
                    bringTo(c, Visual(v));
                new QLabel(QStringList{"normal", "hot", "pressed", "disabled"}[v], &host);
                host.children().constLast()->setProperty("geometry", QRect(8 + v * 136, top + 100, 128, 16));
            }
            // The rows of an open popup: an item, the item under the mouse, the selected item.
            auto* c = static_cast<TEVQComboBox*>(make("qtcombobox", QRect(), combo.arg(labels[lang][0])));
            c->addItems({QString::fromUtf8(labels[lang][1]), QString::fromUtf8(labels[lang][2])});
            c->hide();
            QImage rows(200, 75, QImage::Format_ARGB32);
            rows.fill(Qt::white);
            QPainter p(&rows);
            const QStyle::State states[] = {QStyle::State_None, QStyle::State_MouseOver, QStyle::State_Selected};
            for (int r = 0; r < 3; ++r) {
                QStyleOptionViewItem option;
                option.rect = QRect(0, r * 25, 200, 25);
                option.state = states[r];
                c->popupList()->delegate()->paint(&p, option, c->model()->index(r, 0));
            }
            p.end();
            auto* shown = new QLabel(&host);
            shown->setPixmap(QPixmap::fromImage(rows));
            shown->setGeometry(8, top + 120, 200, 75);
        }
        QImage img(host.size(), QImage::Format_ARGB32);
        img.fill(Qt::white);
        host.render(&img);
        QVERIFY(tevtest::keepRender(img, QStringLiteral("buttons2_gallery.png")));
    }
};

TEV_TEST_MAIN(TestButtons2)
#include "tst_buttons2.moc"
