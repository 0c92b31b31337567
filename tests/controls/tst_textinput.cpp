// Line edit, text edit and rich text label: their JSON contracts against one fixture theme, the looks they
// paint per state, keys and mouse (password and shortcut-capture modes, placeholders, scrolling, selection).
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQLabelEx.h"
#include "TEVQLineEdit.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQScrollView.h"
#include "TEVQTextEdit.h"

#include <QClipboard>
#include <QMouseEvent>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kN(0x10, 0x20, 0x30);
const QColor kH(0x40, 0x60, 0x80);
const QColor kF(0x70, 0x80, 0x90);
const QColor kD(0xA0, 0xA0, 0xA0);
const QColor kTip(0xFF, 0x00, 0xFF);
const QColor kHighlight(155, 202, 239);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "a", "clr": "FF102030"}, {"type": 1, "name": "bgH", "clr": "FF406080"},
    {"type": 1, "name": "bgF", "clr": "FF708090"}, {"type": 1, "name": "bgD", "clr": "FFA0A0A0"},
    {"type": 2, "name": "b", "clr": "FF000000", "size": 13},
    {"type": 2, "name": "c", "clr": "FFFF00FF", "size": 12},
    {"type": 2, "name": "p", "clr": "FF00FF00", "size": 11},
    {"type": 2, "name": "focusText", "clr": "FF0000FF", "size": 15}]})";

const char* const kThemeJson = R"({"elements": [{"child": [
    {"name": "qttext", "attr": {}, "style": [["a", 1, 0]]},
    {"name": "TRich", "attr": {"text": "from theme"}, "style": [["c", 2, 0]]}]}]})";

Json::Value parse(const char* text)
{
    Json::Value v;
    if (!json::parse(std::string(text), v))
        qFatal("bad test JSON: %s", text);
    return v;
}

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

#define COMPARE_WRITTEN(w, member, expected)                                                                     \
    QCOMPARE(jsonText(json::get(written(w), member)), jsonText(parse(expected)))

QImage rendered(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

QColor px(QWidget* w, int x, int y) { return QColor::fromRgba(rendered(w).pixel(x, y)); }

// Pixels of colour c in the rows y0..y1 of img (all rows when y1 < 0).
int count(const QImage& img, const QColor& c, int y0 = 0, int y1 = -1)
{
    if (y1 < 0)
        y1 = img.height() - 1;
    int n = 0;
    for (int y = qMax(0, y0); y <= qMin(y1, img.height() - 1); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += QColor::fromRgb(img.pixel(x, y)) == c ? 1 : 0;
    return n;
}

FillStyle solid(const QColor& c, const QString& name = QString())
{
    FillStyle f;
    f.name = name;
    f.fillRes.fillColor = c;
    return f;
}

TextStyleDesc textStyle(const QColor& c, int size, const QString& name = QString())
{
    TextStyleDesc t;
    t.name = name;
    t.color = c;
    t.pixelSize = size;
    return t;
}

void sendPlain(QWidget* w, QEvent::Type type)
{
    QEvent e(type);
    QApplication::sendEvent(w, &e);
}

void sendFocus(QWidget* w, QEvent::Type type)
{
    QFocusEvent e(type, Qt::OtherFocusReason);
    QApplication::sendEvent(w, &e);
}

void drag(QWidget* w, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

// The middle of line `line` of block `block` of the label's document, in widget coordinates.
QPoint lineMiddle(TEVQLabelEx& l, int block, int line, bool atEnd)
{
    QTextDocument* doc = l.painter()->document;
    const QTextBlock b = doc->findBlockByNumber(block);
    const QTextLine tl = b.layout()->lineAt(line);
    const QPointF origin = b.layout()->position();
    const qreal x = atEnd ? tl.naturalTextWidth() - 1 : 1;
    return QPoint(int(origin.x() + tl.x() + x), int(origin.y() + tl.y() + tl.height() / 2));
}

void setFourLooks(TEVQLineEdit& e)
{
    const QColor looks[4] = {kN, kH, kF, kD};
    for (int s = 0; s < 4; ++s)
        e.setBackground(CtrlState(s), solid(looks[s]));
}

} // namespace

class TestTextInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QVERIFY(m_theme.isValid());
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), kStyleJson));
        QVERIFY(tevtest::writeFile(m_theme.filePath("theme.json"), kThemeJson));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        QVERIFY(rm()->readStyle(rm()->defaultStore(), json::get(parse(kStyleJson), "style")));
        rm()->setGlobalFontFamily(QStringLiteral("DejaVu Sans"));
        tevInitQtControl();
    }

    // ---- line edit -------------------------------------------------------------------------------------------

    void lineEditStyleSlots_data()
    {
        QTest::addColumn<QString>("styles");
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("rewritten");
        QTest::newRow("placeholder last") << R"([["a", 1, 0], ["b", 2, 4], ["c", 2, 9]])" << "c"
                                          << R"([["a", 1, 0], ["b", 2, 4], ["c", 2, 9]])";
        QTest::newRow("placeholder first follows the hot text")
            << R"([["c", 2, 9], ["a", 1, 0], ["b", 2, 4]])" << "b" << R"([["a", 1, 0], ["b", 2, 4], ["b", 2, 9]])";
        QTest::newRow("unknown last name") << R"([["c", 2, 9], ["b", 2, 4], ["zz", 2, 9]])" << "b"
                                           << R"([["b", 2, 4], ["b", 2, 9]])";
        QTest::newRow("slot 8 and out of range ignored") << R"([["a", 1, 8], ["a", 1, 10], ["a", 1, -1]])" << ""
                                                         << "null";
    }

    void lineEditStyleSlots()
    {
        QFETCH(QString, styles);
        QFETCH(QString, placeholder);
        QFETCH(QString, rewritten);
        TEVQLineEdit e;
        read(&e, ("{\"style\": " + styles.toUtf8() + "}").constData());
        QCOMPARE(e.getPlaceholderTextStyle(CtrlStateHot).name, placeholder);
        if (styles.contains("\"a\", 1, 0")) {
            for (int s = 0; s < 4; ++s) {
                QCOMPARE(e.getBackground(CtrlState(s)).name, QStringLiteral("a"));
                QCOMPARE(e.getTextStyle(CtrlState(s)).name, QStringLiteral("b"));
            }
        }
        COMPARE_WRITTEN(&e, "style", rewritten.toUtf8().constData());
    }

    void lineEditAttrContract_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected"); // the "attr" written back
        QTest::newRow("password and tip") << R"({"ispassord": 1, "tip": "Passwort"})"
                                          << R"({"ispassord": 1, "tip": "Passwort"})";
        QTest::newRow("booleans as numbers or true") << R"({"ispassord": true, "shortcut": 2})"
                                                     << R"({"ispassord": 1, "shortcut": 1})";
        QTest::newRow("wrong types read as absent") << R"({"ispassord": "yes", "shortcut": [1], "tip": 5})" << "null";
        QTest::newRow("margins") << R"({"leftMargin": 6, "bottomMargin": 2})"
                                 << R"({"bottomMargin": 2, "leftMargin": 6})";
        QTest::newRow("margins bounded") << R"({"leftMargin": -5, "topMargin": 2147483647})"
                                         << R"({"topMargin": 32767})";
        QTest::newRow("text in any script") << R"({"text": "逆变器 Grüße"})" << R"({"text": "逆变器 Grüße"})";
        QTest::newRow("unknown keys survive") << R"({"custom": 3, "text": "x"})" << R"({"custom": 3, "text": "x"})";
    }

    void lineEditAttrContract()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        TEVQLineEdit e;
        read(&e, ("{\"attr\": " + input.toUtf8() + "}").constData());
        COMPARE_WRITTEN(&e, "attr", expected.toUtf8().constData());
        // Read, write, read: the same element.
        Json::Value first = written(&e);
        TEVQLineEdit again;
        again.serializeJsonValue(&first, true);
        QCOMPARE(jsonText(written(&again)), jsonText(first));
    }

    void lineEditAttrSideEffects()
    {
        TEVQLineEdit e;
        e.setEditMargin(1, 2, 3, 4);
        int t = 0, b = 0, l = 0, r = 0;
        e.getEditMargin(t, b, l, r);
        QCOMPARE(QList<int>({t, b, l, r}), QList<int>({1, 2, 3, 4}));
        QCOMPARE(e.contentsMargins(), QMargins(3, 1, 4, 2));
        // An "attr" object sets all four margins; password and hotkey mode stay unless a key turns them on.
        e.setIsPassword(true);
        e.setHotkeyMode(true);
        read(&e, R"({"attr": {"ispassord": 0}})");
        QCOMPARE(e.contentsMargins(), QMargins());
        QVERIFY(e.getIsPassword());
        QVERIFY(e.getHotkeyMode());
        read(&e, R"({"attr": {"shortcut": false}})");
        QVERIFY(!e.getHotkeyMode());
        QCOMPARE(e.contextMenuPolicy(), Qt::NoContextMenu);
        e.setIsPassword(false);
        QCOMPARE(e.contextMenuPolicy(), Qt::DefaultContextMenu);
        QCOMPARE(e.echoMode(), QLineEdit::Normal);
        // No "attr": margins stay.
        e.setEditMargin(5, 0, 0, 0);
        read(&e, R"({"style": []})");
        QCOMPARE(e.contentsMargins().top(), 5);

        // State setters never index outside their arrays.
        e.setBackground(CtrlState(4), solid(kN, "four"));
        e.setTextStyle(CtrlState(-1), textStyle(kN, 10, "neg"));
        QCOMPARE(e.getBackground(CtrlState(7)).name, e.getBackground(CtrlStateNormal).name);
        QVERIFY(e.getBackground(CtrlStateNormal).name != QStringLiteral("four"));
        QVERIFY(e.getTextStyle(CtrlState(99)).name != QStringLiteral("neg"));
    }

    void lineEditPasswordRefusesSelectCopyPaste()
    {
        TEVQLineEdit e;
        e.setIsPassword(true);
        QApplication::clipboard()->setText(QStringLiteral("seed"));
        QTest::keyClicks(&e, "abc");
        QCOMPARE(e.text(), QStringLiteral("abc"));
        QTest::keyClick(&e, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(!e.hasSelectedText());
        e.selectAll();
        QTest::keyClick(&e, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(&e, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("seed"));
        e.deselect();
        QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(e.text(), QStringLiteral("abc"));
        // The X11 selection is not pasted by the middle button either.
        if (QApplication::clipboard()->supportsSelection()) {
            QApplication::clipboard()->setText(QStringLiteral("sel"), QClipboard::Selection);
            QTest::mouseClick(&e, Qt::MiddleButton, {}, QPoint(5, 5));
            QCOMPARE(e.text(), QStringLiteral("abc"));
        }
        // Back to normal: select-all and paste work again.
        e.setIsPassword(false);
        QTest::keyClick(&e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.text(), QStringLiteral("seed"));
    }

    void lineEditHotkeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("password");
        QTest::addColumn<QString>("expected"); // starting from "OLD"
        QTest::newRow("ctrl shift letter") << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier) << false
                                           << "CTRL+SHIFT+S";
        QTest::newRow("all three") << int(Qt::Key_K) << int(Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier)
                                   << false << "CTRL+ALT+SHIFT+K";
        QTest::newRow("alt letter") << int(Qt::Key_X) << int(Qt::AltModifier) << false << "ALT+X";
        QTest::newRow("letter alone") << int(Qt::Key_Q) << 0 << false << "Q";
        QTest::newRow("function key drops modifiers") << int(Qt::Key_F5) << int(Qt::ControlModifier) << false << "F5";
        QTest::newRow("F35") << int(Qt::Key_F35) << 0 << false << "F35";
        QTest::newRow("backspace empties") << int(Qt::Key_Backspace) << 0 << false << "";
        QTest::newRow("delete empties") << int(Qt::Key_Delete) << 0 << false << "";
        QTest::newRow("digit ignored") << int(Qt::Key_7) << 0 << false << "OLD";
        QTest::newRow("arrow ignored") << int(Qt::Key_Left) << 0 << false << "OLD";
        QTest::newRow("copy refused first in password mode") << int(Qt::Key_C) << int(Qt::ControlModifier) << true
                                                             << "OLD";
        QTest::newRow("password mode letter") << int(Qt::Key_D) << int(Qt::ControlModifier) << true << "CTRL+D";
    }

    void lineEditHotkeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, password);
        QFETCH(QString, expected);
        TEVQLineEdit e;
        e.setText(QStringLiteral("OLD"));
        e.setHotkeyMode(true);
        e.setIsPassword(password);
        QTest::keyClick(&e, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(e.text(), expected);
    }

    void lineEditPaintsFocusNotHover()
    {
        TEVQLineEdit e;
        e.resize(120, 24);
        setFourLooks(e);
        e.setTextStyle(CtrlStatePressed, textStyle(QColor(0, 0, 255), 15, "focusText"));
        QCOMPARE(px(&e, 2, 2), kN);
        // Hovering shows nothing of its own: the hot state is turned back by the paint.
        sendPlain(&e, QEvent::Enter);
        QCOMPARE(px(&e, 2, 2), kN);
        QCOMPARE(e.painter()->getState(), CtrlStateNormal);
        sendFocus(&e, QEvent::FocusIn);
        QCOMPARE(px(&e, 2, 2), kF);
        QCOMPARE(e.palette().color(QPalette::Inactive, QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(e.font().pixelSize(), 15);
        QCOMPARE(e.font().family(), QStringLiteral("DejaVu Sans"));
        sendPlain(&e, QEvent::Leave); // the focused look stays
        QCOMPARE(px(&e, 2, 2), kF);
        sendFocus(&e, QEvent::FocusOut);
        QCOMPARE(px(&e, 2, 2), kN);
        QCOMPARE(e.font().pixelSize(), e.getTextStyle(CtrlStateNormal).pixelSize);
        e.setEnabled(false);
        QCOMPARE(px(&e, 2, 2), kD);
        e.setEnabled(true);
        QCOMPARE(px(&e, 2, 2), kN);
    }

    void lineEditPlaceholder()
    {
        TEVQLineEdit e;
        e.resize(160, 30);
        setFourLooks(e);
        e.setEditMargin(0, 0, 40, 0);
        e.setPlaceholderText(QStringLiteral("输入密码 Password"));
        e.setPlaceholderTextStyle(CtrlStateDisable, textStyle(kTip, 14));
        QCOMPARE(e.getPlaceholderTextStyle(CtrlStateNormal).color, kTip);
        QImage img = rendered(&e);
        tevtest::keepRender(img, QStringLiteral("lineedit_placeholder.png"));
        QVERIFY(count(img, kTip) > 20);
        // Nothing left of the left margin.
        QCOMPARE(count(img.copy(0, 0, 40, 30), kTip), 0);
        sendFocus(&e, QEvent::FocusIn); // also while focused
        QVERIFY(count(rendered(&e), kTip) > 20);
        QTest::keyClick(&e, Qt::Key_X);
        QCOMPARE(count(rendered(&e), kTip), 0);
    }

    void lineEditCatalogue()
    {
        const ControlInfo* info = tevGetControlInfo(QStringLiteral("qtdedit"));
        QVERIFY(info);
        QCOMPARE(info->displayName, std::string("LineEdit"));
        QCOMPARE(info->iconName, std::string("edit"));
        TEVQLineEdit e;
        int rows = 0;
        for (const PropertyDef& d : info->props) {
            if (d.name == QLatin1String("Margin")) {
                QCOMPARE(d.kind, 12);
                d.setText(&e, QStringLiteral("1, 2,3,4"));
                QCOMPARE(e.contentsMargins(), QMargins(1, 2, 3, 4));
                QCOMPARE(d.getText(&e), QStringLiteral("1,2,3,4"));
                d.setText(&e, QStringLiteral("1,2"));
                QCOMPARE(e.contentsMargins(), QMargins(1, 2, 3, 4));
                ++rows;
            } else if (d.name == QLatin1String("Text")) {
                d.setText(&e, QStringLiteral("typed"));
                QCOMPARE(d.getText(&e), QStringLiteral("typed"));
                ++rows;
            } else if (d.name == QLatin1String("IsShortcut") || d.name == QLatin1String("IsPassword")) {
                d.setBool(&e, true);
                QVERIFY(d.getBool(&e));
                ++rows;
            } else if (d.name == QLatin1String("PlaceholderStyle")) {
                QCOMPARE(d.options, QStringList({QStringLiteral("Normal")}));
                ++rows;
            }
        }
        QCOMPARE(rows, 5);
        QVERIFY(e.getIsPassword() && e.getHotkeyMode());
    }

    // ---- text edit -------------------------------------------------------------------------------------------

    void textEditJson()
    {
        TEVQTextEdit t;
        t.setThemeName(QStringLiteral("plain")); // no such element: what is written reads back from the page
        read(&t, R"({"style": [["a", 1, 0], ["b", 2, 4], ["p", 2, 8], ["c", 2, 9]]})");
        for (int s = 0; s < 4; ++s) {
            QCOMPARE(t.getBackground(CtrlState(s)).name, QStringLiteral("a"));
            QCOMPARE(t.getTextStyle(CtrlState(s)).name, QStringLiteral("b"));
        }
        QCOMPARE(t.getPlaceholderTextStyle().name, QStringLiteral("p"));
        COMPARE_WRITTEN(&t, "style", R"([["a", 1, 0], ["b", 2, 4], ["p", 2, 8]])");

        read(&t, R"({"attr": {"text": "Zeile 1\n第二行", "leftMargin": 4, "tip": "hint"}})");
        QCOMPARE(t.toPlainText(), QStringLiteral("Zeile 1\n第二行"));
        QCOMPARE(t.viewport()->geometry().left(), 4);
        COMPARE_WRITTEN(&t, "attr", R"({"leftMargin": 4, "text": "Zeile 1\n第二行", "tip": "hint"})");
        read(&t, R"({"attr": {}})");
        QCOMPARE(t.viewport()->geometry().left(), 0);
        QCOMPARE(t.toPlainText(), QStringLiteral("Zeile 1\n第二行"));
        Json::Value first = written(&t);
        TEVQTextEdit again;
        again.setThemeName(QStringLiteral("plain"));
        again.serializeJsonValue(&first, true);
        QCOMPARE(jsonText(written(&again)), jsonText(first));
        QVERIFY(!json::has(first, "child")); // no bar entries are written
    }

    void textEditBarsAndTheme()
    {
        TEVQTextEdit t;
        // Not themed when built, although the theme has an element of its type name.
        QCOMPARE(t.getBackground(CtrlStateNormal).name, QString());
        t.setThemeName(QStringLiteral("qttext"));
        QCOMPARE(t.getBackground(CtrlStateDisable).name, QStringLiteral("a"));

        QVERIFY(qobject_cast<TEVQScrollBar*>(t.verticalScrollBar()));
        QCOMPARE(t.horizontalScrollBar(), t.horizontalBar());
        t.setScrollbarSize(false, 12);
        const QString sheet = t.horizontalBar()->styleSheet();
        QCOMPARE(sheet, t.verticalBar()->styleSheet());
        QVERIFY(sheet.contains(QLatin1String("width:12;")) && sheet.contains(QLatin1String("height:12;"))
                && sheet.contains(QLatin1String("width:12px;")));
        t.setScrollbarBtnSize(true, 30); // nothing on a text edit
        QCOMPARE(t.horizontalBar()->styleSheet(), sheet);

        read(&t, R"({"child": [{"type": "qtscrollbar", "attr": {"hor": true, "upicon": "h.png", "size": 9}, "h": 5},
                               {"type": "scrollbar", "attr": {"upicon": "v.png"}, "w": 6}]})");
        QCOMPARE(t.horizontalBar()->getScrollbarBtnIcon(true), QStringLiteral("h.png"));
        QCOMPARE(t.verticalBar()->getScrollbarBtnIcon(true), QStringLiteral("v.png"));
        QCOMPARE(t.horizontalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(6));
    }

    void textEditPaintsAndScrolls()
    {
        TEVQTextEdit t;
        t.resize(200, 80);
        t.setBackground(CtrlStateNormal, solid(kN));
        t.setBackground(CtrlStatePressed, solid(kF));
        t.setBackground(CtrlStateDisable, solid(kD));
        t.setPlaceholderText(QStringLiteral("Notizen 备注"));
        t.setPlaceholderTextStyle(textStyle(kTip, 14));
        t.setEditMargin(0, 0, 0, 0);
        QImage img = rendered(&t);
        QCOMPARE(QColor::fromRgb(img.pixel(190, 70)), kN);
        QVERIFY(count(img, kTip) > 20);
        t.setEnabled(false); // no disabled look
        QCOMPARE(px(&t, 190, 70), kN);
        t.setEnabled(true);
        sendFocus(&t, QEvent::FocusIn);
        QCOMPARE(px(&t, 190, 70), kF);
        sendPlain(&t, QEvent::Leave);
        QCOMPARE(px(&t, 190, 70), kF);
        sendFocus(&t, QEvent::FocusOut);
        sendPlain(&t, QEvent::Enter);
        QCOMPARE(px(&t, 190, 70), kN); // hot is never shown
        // An empty paragraph is still empty; a typed character hides the placeholder.
        t.setPlainText(QStringLiteral(""));
        QVERIFY(count(rendered(&t), kTip) > 20);
        QTest::keyClick(t.viewport(), Qt::Key_Z);
        QCOMPARE(t.toPlainText(), QStringLiteral("z"));
        QCOMPARE(count(rendered(&t), kTip), 0);

        // Many lines: the framework bar scrolls the document, by keys and by value.
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines << QStringLiteral("line %1").arg(i);
        t.setPlainText(lines.join('\n'));
        TEVQScrollBar* bar = t.verticalBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(t.viewport(), Qt::Key_End, Qt::ControlModifier);
        QVERIFY(bar->value() > bar->maximum() - 10); // the last line shown
        const int topAtEnd = t.cursorForPosition(QPoint(2, 2)).blockNumber();
        QVERIFY(topAtEnd > 30);
        bar->setValue(0);
        QCOMPARE(t.cursorForPosition(QPoint(2, 2)).blockNumber(), 0);
        QTest::keyClick(t.viewport(), Qt::Key_PageDown);
        QVERIFY(bar->value() > 0);
        tevtest::keepRender(rendered(&t), QStringLiteral("textedit_scrolled.png"));
    }

    void textEditCatalogueAndRegistry()
    {
        const ControlInfo* info = tevGetControlInfo(QStringLiteral("qttext"));
        QVERIFY(info);
        QCOMPARE(info->className, std::string("TEVQTextEdit"));
        TEVQTextEdit t;
        for (const PropertyDef& d : info->props) {
            if (d.name == QLatin1String("PlaceholderStyle"))
                d.setTextStyle(&t, 2, textStyle(kTip, 9, "viaRow"));
            if (d.name == QLatin1String("Margin"))
                d.setText(&t, QStringLiteral("4,3,2,1"));
        }
        QCOMPARE(t.getPlaceholderTextStyle().name, QStringLiteral("viaRow"));
        int top = 0, bottom = 0, left = 0, right = 0;
        t.getEditMargin(top, bottom, left, right);
        QCOMPARE(QList<int>({left, top, right, bottom}), QList<int>({4, 3, 2, 1}));

        const struct { const char *type, *className, *canonical; } cases[] = {
            {"qtdedit", "TEVQLineEdit", "qtdedit"}, {"dedit", "TEVQLineEdit", "qtdedit"},
            {"qttext", "TEVQTextEdit", "qttext"}};
        for (const auto& c : cases) {
            std::unique_ptr<QWidget> w(createControlByType(c.type, nullptr));
            QVERIFY2(w, c.type);
            QCOMPARE(w->metaObject()->className(), c.className);
            QCOMPARE(qobject_cast<ITEVQWidgetBase*>(w.get())->getTypeName(), QString::fromLatin1(c.canonical));
        }
        QVERIFY(!tevGetControlInfo(QStringLiteral("dedit")));
    }

    // ---- rich text label -------------------------------------------------------------------------------------

    void richLabelIsReachedWithoutMetaObject()
    {
        std::unique_ptr<QWidget> w(createControlByType("qtlabelex", nullptr));
        QVERIFY(w);
        QCOMPARE(w->metaObject()->className(), "QLabel");
        QVERIFY(!qobject_cast<ITEVQWidgetBase*>(w.get()));
        QCOMPARE(w->metaObject()->indexOfProperty("jsonData"), -1);
        ITEVQWidgetBase* i = tevWidgetInterface(w.get());
        QVERIFY(i);
        QCOMPARE(i->getTypeName(), QStringLiteral("qtlabelex"));
        QVERIFY(!tevGetControlInfo(QStringLiteral("qtlabelex")));
        // Themes reach it: the element's text is replaced by "label" when built, and taken when named later.
        auto* l = static_cast<TEVQLabelEx*>(dynamic_cast<ITEVQWidgetBase*>(w.get()));
        QCOMPARE(l->painter()->document->toPlainText(), QStringLiteral("label"));
        l->setThemeName(QStringLiteral("TRich"));
        QCOMPARE(l->painter()->document->toPlainText(), QStringLiteral("from theme"));
        QCOMPARE(l->getColor(), QColor(0xFF, 0, 0xFF));
    }

    void richLabelJson()
    {
        TEVQLabelEx l;
        COMPARE_WRITTEN(&l, "style", "null");
        COMPARE_WRITTEN(&l, "attr", R"({"text": "label"})");
        read(&l, R"({"attr": {"text": "<b>kept as typed</b> 中文"}, "style": [["c", 2, 1], ["b", 2, 0]]})");
        QCOMPARE(l.painter()->document->toPlainText(), QStringLiteral("<b>kept as typed</b> 中文"));
        QCOMPARE(l.getTextStyle(CtrlStateNormal).name, QStringLiteral("b"));
        QCOMPARE(l.painter()->document->defaultFont().pixelSize(), 13);
        QCOMPARE(l.painter()->document->defaultFont().family(), QStringLiteral("DejaVu Sans"));
        Json::Value first = written(&l);
        COMPARE_WRITTEN(&l, "style", R"([["b", 2, 0]])");
        TEVQLabelEx again;
        again.serializeJsonValue(&first, true);
        QCOMPARE(jsonText(written(&again)), jsonText(first));
        l.setText(QString());
        QVERIFY(!json::has(written(&l), "attr"));

        // Setters: 4 sets both records; nothing else than 0 is the normal one.
        TextStyleDesc s = textStyle(kN, 10, "both");
        l.setTextStyle(CtrlState(4), s);
        QCOMPARE(l.getTextStyle(CtrlStateHot).name, QStringLiteral("both"));
        l.setTextStyle(CtrlState(9), textStyle(kN, 10, "other"));
        QCOMPARE(l.getTextStyle(CtrlStateNormal).name, QStringLiteral("both"));
        QCOMPARE(l.getDisableColor(), kN);
    }

    void richLabelSizesAndPositions()
    {
        TEVQLabelEx l;
        const QSize size = l.calcSize(QStringLiteral("<p>Hi <b>there</b></p>"), 300);
        QVERIFY(size.width() > 0 && size.width() < 300);
        QVERIFY(size.height() > 0);

        TEVQLabelExImpl* p = l.painter();
        p->setSelection({0, 2, 3}, {0, 1, 5});
        QCOMPARE(p->selectionStart, TextCursorPos({0, 1, 5}));
        QCOMPARE(p->selectionEnd, TextCursorPos({0, 2, 3}));
        p->clearSelection();
        QVERIFY(!p->selectionStart.isValid() && !p->selectionEnd.isValid());
        QCOMPARE(p->beginPosition(), TextCursorPos({0, 0, 0}));
        l.resize(200, 40);
        l.setText(QStringLiteral("label"));
        QCOMPARE(p->endPosition(), TextCursorPos({1, 0, 5}));
        QCOMPARE(p->positionAt(QPoint(-50, -50)), TextCursorPos());
    }

    void richLabelSelectionFollowsTheMouse()
    {
        TEVQLabelEx l;
        l.resize(200, 40);
        // A new label: no highlight; a double-click selects the whole line.
        QCOMPARE(count(rendered(&l), kHighlight), 0);
        QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
        const QImage all = rendered(&l);
        QVERIFY(count(all, kHighlight) > 50);
        // Nothing is highlighted right of the text.
        QCOMPARE(count(all.copy(QRect(100, 0, 100, 40)), kHighlight), 0);

        // Switched off, the mouse changes nothing.
        l.painter()->clearSelection();
        l.setTextInteractionFlags(Qt::NoTextInteraction);
        drag(&l, QPoint(8, 10), QPoint(30, 10));
        QVERIFY(!l.painter()->selectionStart.isValid());
        QVERIFY(!l.painter()->selectionEnd.isValid());
    }

    void richLabelSelectionAcrossLinesAndParagraphs_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<int>("fromBlock");
        QTest::addColumn<int>("fromLine");
        QTest::addColumn<int>("toBlock");
        QTest::addColumn<int>("toLine");
        const QString wrapped = QStringLiteral("one two three four five six seven eight nine ten eleven twelve");
        QTest::newRow("three lines of one paragraph") << wrapped << 0 << 0 << 0 << 2;
        QTest::newRow("three paragraphs")
            << QStringLiteral("<p>first paragraph</p><p>second one, wrapped over two lines here</p><p>third</p>") << 0
            << 0 << 2 << 0;
        QTest::newRow("from a wrapped second paragraph")
            << QStringLiteral("<p>short</p><p>alpha beta gamma delta epsilon zeta eta theta iota kappa</p><p>end</p>")
            << 1 << 1 << 2 << 0;
    }

    void richLabelSelectionAcrossLinesAndParagraphs()
    {
        QFETCH(QString, html);
        QFETCH(int, fromBlock);
        QFETCH(int, fromLine);
        QFETCH(int, toBlock);
        QFETCH(int, toLine);
        TEVQLabelEx l;
        l.resize(150, 160);
        l.setHtmlContent(html);
        rendered(&l); // lays the document out at the label's size
        const QPoint a = lineMiddle(l, fromBlock, fromLine, false) + QPoint(8, 0);
        const QPoint b = lineMiddle(l, toBlock, toLine, false) + QPoint(12, 0);

        drag(&l, a, b);
        const QImage forward = rendered(&l);
        drag(&l, b, a); // upwards: the same range
        QVERIFY(l.painter()->selectionEnd < l.painter()->selectionStart);
        const QImage backward = rendered(&l);
        QCOMPARE(backward, forward);
        tevtest::keepRender(forward, QStringLiteral("labelex_selection_%1.png").arg(QTest::currentDataTag()).replace(' ', '_'));

        // Every line from the first to the last is highlighted, the ones between over their whole text; nothing
        // above the first or below the last.
        QTextDocument* doc = l.painter()->document;
        const qreal originY = doc->begin().layout()->position().y();
        int linesSeen = 0;
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const int y0 = int(layout->position().y() - originY + line.y() + 5.0);
                // The middle rows: a line's rectangle is taller than the spacing of the lines.
                const int mid = y0 + int(line.height()) / 2;
                const int here = count(forward, kHighlight, mid - 1, mid + 1);
                const TextCursorPos pos{block.blockNumber(), i, 0};
                const bool inside = !(pos < TextCursorPos{fromBlock, fromLine, 0})
                                    && !(TextCursorPos{toBlock, toLine, 0} < pos);
                QVERIFY2(inside == (here > 0), qPrintable(QStringLiteral("block %1 line %2").arg(block.blockNumber()).arg(i)));
                linesSeen += inside ? 1 : 0;
            }
        }
        QVERIFY(linesSeen >= 3);
    }

    void richLabelSelectAllOverParagraphs()
    {
        TEVQLabelEx l;
        l.resize(150, 120);
        l.setHtmlContent(QStringLiteral("<p>eins</p><p>zwei zwei</p><p>三三三</p>"));
        TEVQLabelExImpl* p = l.painter();
        QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(p->selectionEnd.block, 3);
        const QImage img = rendered(&l);
        // Each paragraph carries highlight.
        QTextDocument* doc = p->document;
        const qreal originY = doc->begin().layout()->position().y();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            const int y = int(block.layout()->position().y() - originY + 5.0 + block.layout()->lineAt(0).height() / 2);
            QVERIFY(count(img, kHighlight, y, y) > 0);
        }
        // A move over no line hides the highlight.
        QMouseEvent move(QEvent::MouseMove, QPoint(140, 115), l.mapToGlobal(QPoint(140, 115)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&l, &move);
        QVERIFY(!p->selectionEnd.isValid());
        QCOMPARE(count(rendered(&l), kHighlight), 0);
        // Positions past their block's lines are held, never used as lines.
        p->setSelection({0, 0, 0}, {1, 40, 999});
        QVERIFY(count(rendered(&l), kHighlight) > 0);
    }


    // ---- a page of every state, to look at ---------------------------------------------------------------------

    void gallery()
    {
        QWidget host;
        host.resize(640, 380);
        auto framed = [](const QColor& fillColour, const QColor& border) {
            FillStyle f = solid(fillColour);
            f.fillRes.drawBorder = true;
            f.fillRes.borderSize = 1;
            f.fillRes.borderColor = border;
            f.fillRes.radius = 3;
            return f;
        };
        const FillStyle normal = framed(QColor(255, 255, 255), QColor(150, 160, 170));
        const FillStyle focused = framed(QColor(240, 247, 255), QColor(40, 120, 220));
        const FillStyle disabled = framed(QColor(232, 232, 232), QColor(200, 200, 200));
        auto edit = [&](int x, int y, const QString& text, const QString& tip) {
            auto* e = new TEVQLineEdit(&host);
            e->setGeometry(x, y, 190, 28);
            e->setBackground(CtrlStateNormal, normal);
            e->setBackground(CtrlStatePressed, focused);
            e->setBackground(CtrlStateDisable, disabled);
            e->setTextStyle(CtrlStateNormal, textStyle(QColor(30, 40, 50), 13));
            e->setTextStyle(CtrlStatePressed, textStyle(QColor(20, 60, 140), 13));
            e->setTextStyle(CtrlStateDisable, textStyle(QColor(140, 140, 140), 13));
            e->setPlaceholderTextStyle(CtrlStateNormal, textStyle(QColor(150, 155, 160), 13));
            e->setEditMargin(0, 0, 6, 0);
            e->setText(text);
            e->setPlaceholderText(tip);
            return e;
        };
        TEVQLineEdit* first = edit(10, 10, QStringLiteral("Inverter 01"), QString());
        edit(210, 10, QStringLiteral("逆变器 01"), QString());
        edit(410, 10, QString(), QStringLiteral("Search 搜索…"));
        sendFocus(edit(10, 46, QStringLiteral("Focused"), QString()), QEvent::FocusIn);
        sendFocus(edit(210, 46, QString(), QStringLiteral("焦点 placeholder")), QEvent::FocusIn);
        edit(410, 46, QStringLiteral("Disabled 禁用"), QString())->setEnabled(false);
        edit(10, 82, QStringLiteral("secret"), QString())->setIsPassword(true);
        TEVQLineEdit* hotkey = edit(210, 82, QString(), QStringLiteral("Press a shortcut"));
        hotkey->setHotkeyMode(true);
        QTest::keyClick(hotkey, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);

        auto text = [&](int x, int y, const QString& content, const QString& tip) {
            auto* t = new TEVQTextEdit(&host);
            t->setGeometry(x, y, 200, 100);
            t->setBackground(CtrlStateNormal, normal);
            t->setBackground(CtrlStatePressed, focused);
            t->setTextStyle(CtrlStateNormal, textStyle(QColor(30, 40, 50), 13));
            t->setTextStyle(CtrlStatePressed, textStyle(QColor(20, 60, 140), 13));
            t->setPlaceholderTextStyle(textStyle(QColor(150, 155, 160), 13));
            t->setScrollbarBackgroundStyle(false, solid(QColor(235, 238, 242)));
            t->setScrollbarThumbStyle(false, CtrlState(4), solid(QColor(140, 155, 170)));
            t->setScrollbarButtonStyle(false, true, CtrlState(4), solid(QColor(200, 208, 216)));
            t->setScrollbarButtonStyle(false, false, CtrlState(4), solid(QColor(200, 208, 216)));
            t->setEditMargin(4, 4, 4, 4);
            t->setPlaceholderText(tip);
            t->setPlainText(content);
            return t;
        };
        text(10, 122, QString(), QStringLiteral("Notes 备注"));
        QStringList lines;
        for (int i = 1; i <= 12; ++i)
            lines << (i % 2 ? QStringLiteral("Line %1 of the log").arg(i) : QStringLiteral("第 %1 行 日志").arg(i));
        sendFocus(text(220, 122, lines.join('\n'), QString()), QEvent::FocusIn);

        auto* rich = new TEVQLabelEx(&host);
        rich->setGeometry(430, 122, 200, 100);
        rich->setColor(QColor(30, 40, 50));
        rich->setHtmlContent(QStringLiteral("<p><b>Inverter 1</b> online, 52.3 kW</p><p>逆变器 2 <i>离线</i></p>"));
        rich->painter()->document->setDefaultFont(TEVQLabelExImpl::defaultFont(textStyle(Qt::black, 13)));
        rendered(rich);
        drag(rich, lineMiddle(*rich, 0, 0, false) + QPoint(20, 0), lineMiddle(*rich, 1, 0, false) + QPoint(30, 0));

        auto* view = new TEVQScrollView(&host);
        view->setGeometry(10, 232, 300, 140);
        view->setBackground(CommonCtrlStateNormal, solid(QColor(242, 244, 247)));
        view->setScrollbarBackgroundStyle(false, solid(QColor(225, 230, 236)));
        view->setScrollbarThumbStyle(false, CtrlState(4), solid(QColor(120, 135, 150)));
        view->setScrollbarSize(false, 10);
        auto* content = new TEVQContainer(view);
        content->resize(270, 400);
        content->setDrawBackground(false);
        for (int i = 0; i < 10; ++i) {
            auto* line = new TEVQLineEdit(content);
            line->setGeometry(8, 8 + i * 36, 240, 28);
            line->setBackground(CtrlStateNormal, normal);
            line->setText(i % 2 ? QStringLiteral("Row %1").arg(i) : QStringLiteral("第 %1 行").arg(i));
        }
        view->painter()->createComplete();
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        view->setVScrollPos(50);
        sendFocus(first, QEvent::FocusOut); // showing the page focused it: the normal look is wanted here

        auto* labelAll = new TEVQLabelEx(&host);
        labelAll->setGeometry(330, 240, 300, 60);
        labelAll->setHtmlContent(QStringLiteral("Select all 全选: <b>double-click</b>"));
        labelAll->show();
        QTest::mouseDClick(labelAll, Qt::LeftButton, {}, QPoint(10, 10));

        QImage img(host.size(), QImage::Format_ARGB32);
        img.fill(Qt::white);
        host.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        QVERIFY(count(img, kHighlight) > 100);
        QVERIFY(tevtest::keepRender(img, QStringLiteral("gallery_textinput.png")));
    }

private:
    QTemporaryDir m_theme;
};

TEV_TEST_MAIN(TestTextInput)
#include "tst_textinput.moc"
