// Line edit, text edit and rich text label: JSON contracts against one fixture theme, the looks painted per
// state, keys and mouse (password and shortcut-capture modes, placeholders, scrolling, selection).
#include "TevTest.h"

#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQLabel.h"
#include "TEVQLabelEx.h"
#include "TEVQLineEdit.h"
#include "TEVQPageLoader.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQScrollView.h"
#include "TEVQTextEdit.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QPainter>
#include <QPlainTextDocumentLayout>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>

using namespace TEVQtLib;

namespace {

// A document layout that notes the palettes it is asked to draw with.
class PaletteNotingLayout : public QPlainTextDocumentLayout
{
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
    void draw(QPainter* painter, const PaintContext& context) override
    {
        palettes.append(context.palette.cacheKey());
        QPlainTextDocumentLayout::draw(painter, context);
    }
    QList<qint64> palettes;
};

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QColor kN(0x10, 0x20, 0x30), kH(0x40, 0x60, 0x80), kF(0x70, 0x80, 0x90), kD(0xA0, 0xA0, 0xA0);
const QColor kTip(0xFF, 0x00, 0xFF);
const QColor kHighlight(155, 202, 239);

const char* const kStyleJson = R"({"style": [
    {"type": 1, "name": "a", "clr": "FF102030"}, {"type": 2, "name": "b", "clr": "FF000000", "size": 13},
    {"type": 2, "name": "c", "clr": "FFFF00FF", "size": 12}, {"type": 2, "name": "p", "clr": "FF00FF00", "size": 11}]})";

const char* const kThemeJson = R"({"elements": [{"child": [
    {"name": "qttext", "attr": {}, "style": [["a", 1, 0]]},
    {"name": "TRich", "attr": {"text": "from theme"}, "style": [["c", 2, 0]]}]}]})";

Json::Value parse(const QString& text)
{
    Json::Value v;
    if (!json::parse(text.toUtf8(), v))
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

#define COMPARE_WRITTEN(w, member, expected) QCOMPARE(jsonText(json::get(written(w), member)), jsonText(parse(expected)))

// What w writes, read into a fresh Control, is written again unchanged.
template <class Control> bool rereadsTheSame(ITEVQWidgetBase* w, const QString& theme = QString())
{
    Json::Value first = written(w);
    Control again;
    if (!theme.isEmpty())
        again.setThemeName(theme);
    again.serializeJsonValue(&first, true);
    return jsonText(written(&again)) == jsonText(first);
}

QImage rendered(QWidget* w)
{
    QImage img(w->size(), QImage::Format_ARGB32);
    img.fill(Qt::white);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

QColor px(QWidget* w, int x, int y) { return QColor::fromRgb(rendered(w).pixel(x, y)); }

// Pixels of colour c in the rows y0..y1.
int count(const QImage& img, const QColor& c, int y0 = 0, int y1 = INT_MAX)
{
    int n = 0;
    for (int y = qMax(0, y0); y <= qMin(y1, img.height() - 1); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += QColor::fromRgb(img.pixel(x, y)) == c ? 1 : 0;
    return n;
}

FillStyle solid(const QColor& c)
{
    FillStyle f;
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

void send(QWidget* w, QEvent::Type type)
{
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        QFocusEvent e(type, Qt::OtherFocusReason);
        QApplication::sendEvent(w, &e);
    } else {
        QEvent e(type);
        QApplication::sendEvent(w, &e);
    }
}

void drag(QWidget* w, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

// A point dx into line `line` of block `block` of the label's document, at the line's middle height.
QPoint inLine(TEVQLabelEx& l, int block, int line, int dx)
{
    const QTextBlock b = l.painter()->document->findBlockByNumber(block);
    const QTextLine tl = b.layout()->lineAt(line);
    const QPointF origin = b.layout()->position();
    return QPoint(int(origin.x() + tl.x()) + dx, int(origin.y() + tl.y() + tl.height() / 2));
}

template <class Edit> void setLooks(Edit& e)
{
    const QColor looks[4] = {kN, kH, kF, kD};
    for (int s = 0; s < 4; ++s)
        e.setBackground(CtrlState(s), solid(looks[s]));
}

} // namespace

Q_DECLARE_METATYPE(TextCursorPos)

class TestTextInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
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
        QTest::newRow("slot 8 and out of range") << R"([["a", 1, 8], ["a", 1, 10], ["a", 1, -1]])" << "" << "null";
    }

    void lineEditStyleSlots()
    {
        QFETCH(QString, styles);
        QFETCH(QString, placeholder);
        QFETCH(QString, rewritten);
        TEVQLineEdit e;
        read(&e, "{\"style\": " + styles + "}");
        QCOMPARE(e.getPlaceholderTextStyle(CtrlStateHot).name, placeholder);
        // A group's first slot styles its four states.
        const bool fills = styles.contains(QLatin1String("\"a\", 1, 0")), texts = styles.contains(QLatin1String("\"b\""));
        QCOMPARE(e.getBackground(CtrlStateDisable).name, fills ? QStringLiteral("a") : QString());
        QCOMPARE(e.getTextStyle(CtrlStatePressed).name, texts ? QStringLiteral("b") : QString());
        COMPARE_WRITTEN(&e, "style", rewritten);
    }

    void lineEditWritesEveryNamedState()
    {
        // Normal and focused looks named, hot and disabled not: the four differ, so each named state is written
        // and the focused look comes back.
        TextStyleDesc b, c;
        QVERIFY(rm()->getTextStyle(QStringLiteral("b"), b) && rm()->getTextStyle(QStringLiteral("c"), c));
        FillStyle a;
        QVERIFY(rm()->getFillStyle(QStringLiteral("a"), a));
        TEVQLineEdit e;
        e.setTextStyle(CtrlStateNormal, b);
        e.setTextStyle(CtrlStatePressed, c);
        e.setBackground(CtrlStatePressed, a);
        COMPARE_WRITTEN(&e, "style", R"([["a", 1, 2], ["b", 2, 4], ["c", 2, 6]])");
        TEVQLineEdit back;
        Json::Value saved = written(&e);
        back.serializeJsonValue(&saved, true);
        QCOMPARE(back.getBackground(CtrlStatePressed).name, QStringLiteral("a"));
        QCOMPARE(back.getTextStyle(CtrlStatePressed).name, QStringLiteral("c"));
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
        QTest::newRow("margins") << R"({"leftMargin": 6, "bottomMargin": 2})" << R"({"bottomMargin": 2, "leftMargin": 6})";
        QTest::newRow("margins bounded") << R"({"leftMargin": -5, "topMargin": 2147483647})" << R"({"topMargin": 32767})";
        QTest::newRow("text in any script, unknown keys kept") << R"({"text": "逆变器 Grüße", "custom": 3})"
                                                               << R"({"custom": 3, "text": "逆变器 Grüße"})";
    }

    void lineEditAttrContract()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        TEVQLineEdit e;
        read(&e, "{\"attr\": " + input + "}");
        COMPARE_WRITTEN(&e, "attr", expected);
        QVERIFY(rereadsTheSame<TEVQLineEdit>(&e));
    }

    void lineEditModesMarginsAndStateBounds()
    {
        TEVQLineEdit e;
        e.setEditMargin(1, 2, 3, 4); // top, bottom, left, right
        QCOMPARE(e.contentsMargins(), QMargins(3, 1, 4, 2));
        // An "attr" object sets all four margins; the modes stay unless a key turns them on ("shortcut" also off).
        e.setIsPassword(true);
        e.setHotkeyMode(true);
        read(&e, R"({"attr": {"ispassord": 0}})");
        QCOMPARE(e.contentsMargins(), QMargins());
        QVERIFY(e.getIsPassword() && e.getHotkeyMode());
        QCOMPARE(e.contextMenuPolicy(), Qt::NoContextMenu);
        read(&e, R"({"attr": {"shortcut": false}})");
        QVERIFY(!e.getHotkeyMode());
        e.setIsPassword(false);
        QCOMPARE(e.contextMenuPolicy(), Qt::DefaultContextMenu);
        // State setters never index outside their arrays.
        e.setBackground(CtrlState(4), solid(kN));
        e.setTextStyle(CtrlState(-1), textStyle(kN, 10, "neg"));
        QCOMPARE(e.getBackground(CtrlState(7)), e.getBackground(CtrlStateNormal));
        QVERIFY(e.getBackground(CtrlStateNormal) != solid(kN));
        QVERIFY(e.getTextStyle(CtrlState(99)).name.isEmpty());
    }

    void lineEditPasswordRefusesSelectCopyPaste()
    {
        TEVQLineEdit e;
        e.setIsPassword(true);
        QApplication::clipboard()->setText(QStringLiteral("seed"));
        QTest::keyClicks(&e, "abc");
        QTest::keyClick(&e, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(!e.hasSelectedText());
        e.selectAll();
        QTest::keyClick(&e, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(&e, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("seed"));
        e.deselect();
        QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&e, Qt::Key_Insert, Qt::ShiftModifier);
        if (QApplication::clipboard()->supportsSelection()) { // the X11 selection by the middle button
            QApplication::clipboard()->setText(QStringLiteral("sel"), QClipboard::Selection);
            QTest::mouseClick(&e, Qt::MiddleButton, {}, QPoint(5, 5));
        }
        QCOMPARE(e.text(), QStringLiteral("abc"));
        e.setIsPassword(false); // select-all and paste work again
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
        const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
        QTest::newRow("ctrl shift letter") << int(Qt::Key_S) << (ctrl | shift) << false << "CTRL+SHIFT+S";
        QTest::newRow("modifier order") << int(Qt::Key_K) << (shift | alt | ctrl) << false << "CTRL+ALT+SHIFT+K";
        QTest::newRow("alt letter") << int(Qt::Key_X) << alt << false << "ALT+X";
        QTest::newRow("letter alone") << int(Qt::Key_Q) << 0 << false << "Q";
        QTest::newRow("function key drops modifiers") << int(Qt::Key_F5) << ctrl << false << "F5";
        QTest::newRow("F35") << int(Qt::Key_F35) << 0 << false << "F35";
        QTest::newRow("backspace empties") << int(Qt::Key_Backspace) << 0 << false << "";
        QTest::newRow("delete empties") << int(Qt::Key_Delete) << 0 << false << "";
        QTest::newRow("digit ignored") << int(Qt::Key_7) << 0 << false << "OLD";
        QTest::newRow("arrow ignored") << int(Qt::Key_Left) << 0 << false << "OLD";
        QTest::newRow("password filter first") << int(Qt::Key_C) << ctrl << true << "OLD";
        QTest::newRow("password mode letter") << int(Qt::Key_D) << ctrl << true << "CTRL+D";
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

    void lineEditHotkeyModeTakesNoComposedText()
    {
        // Text an input method commits is typed text, not a key combination: refused while capturing.
        TEVQLineEdit e;
        auto inputMethodOn = [&e] {
            QInputMethodQueryEvent query(Qt::ImEnabled); // as the platform asks
            QApplication::sendEvent(&e, &query);
            return query.value(Qt::ImEnabled).toBool();
        };
        QVERIFY(inputMethodOn());
        read(&e, QStringLiteral(R"({"attr": {"shortcut": 1}})"));
        QVERIFY(!inputMethodOn());
        QInputMethodEvent commit(QString(), {});
        commit.setCommitString(QStringLiteral("你好"));
        QApplication::sendEvent(&e, &commit);
        QCOMPARE(e.text(), QString());
        e.setHotkeyMode(false);
        QVERIFY(inputMethodOn());
        QApplication::sendEvent(&e, &commit);
        QCOMPARE(e.text(), QStringLiteral("你好"));
    }

    void lineEditHotkeyModeTakesNoPastedOrDroppedText()
    {
        // Neither the X11 selection (middle button) nor a drop puts a text into a captured combination.
        TEVQLineEdit e;
        e.resize(100, 24);
        e.setHotkeyMode(true);
        QTest::keyClick(&e, Qt::Key_S, Qt::ControlModifier);
        if (QApplication::clipboard()->supportsSelection()) {
            QApplication::clipboard()->setText(QStringLiteral("hello"), QClipboard::Selection);
            QTest::mouseClick(&e, Qt::MiddleButton, {}, QPoint(5, 5));
        }
        QMimeData dropped;
        dropped.setText(QStringLiteral("world"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(&e, &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
        QApplication::sendEvent(&e, &drop);
        QCOMPARE(e.text(), QStringLiteral("CTRL+S"));
        e.setHotkeyMode(false); // an ordinary field takes the drop
        QApplication::sendEvent(&e, &enter);
        QVERIFY(enter.isAccepted());
    }

    void lineEditHotkeyModeTakesWindowShortcuts()
    {
        // While capturing, a combination the window uses as a shortcut is captured instead of triggering it.
        QWidget host;
        auto* e = new TEVQLineEdit(&host);
        QAction save(&host);
        save.setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
        host.addAction(&save);
        QSignalSpy fired(&save, &QAction::triggered);
        host.show();
        QApplication::setActiveWindow(&host);
        e->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTRY_VERIFY(e->hasFocus());
        e->setHotkeyMode(true);
        QTest::keyClick(e, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(e->text(), QStringLiteral("CTRL+S"));
        QCOMPARE(fired.count(), 0);
        e->setHotkeyMode(false);
        e->setFocus();
        QTest::keyClick(e, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fired.count(), 1);
    }

    void lineEditPaintsFocusNotHover()
    {
        TEVQLineEdit e;
        e.resize(120, 24);
        setLooks(e);
        e.setTextStyle(CtrlStatePressed, textStyle(QColor(0, 0, 255), 15));
        send(&e, QEvent::Enter); // the hot state is turned back by the paint
        QCOMPARE(px(&e, 2, 2), kN);
        QCOMPARE(e.painter()->getState(), CtrlStateNormal);
        send(&e, QEvent::FocusIn);
        QCOMPARE(px(&e, 2, 2), kF);
        QCOMPARE(e.palette().color(QPalette::Inactive, QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(e.font().pixelSize(), 15);
        QCOMPARE(e.font().family(), QStringLiteral("DejaVu Sans"));
        send(&e, QEvent::Leave); // the focused look stays
        QCOMPARE(px(&e, 2, 2), kF);
        send(&e, QEvent::FocusOut);
        QCOMPARE(px(&e, 2, 2), kN);
        QCOMPARE(e.font().pixelSize(), 12);
        e.setEnabled(false);
        QCOMPARE(px(&e, 2, 2), kD);
        e.setEnabled(true);
        QCOMPARE(px(&e, 2, 2), kN);
    }

    void editsFollowFocusAndHoverAlike()
    {
        // Line edit and text edit: hovering shows the hot state unless focused, focus the pressed one; a normal
        // text style set from code is applied at once.
        auto check = [](auto& e) {
            TEVQLineEditImpl* p = e.painter();
            send(&e, QEvent::Enter);
            QCOMPARE(p->getState(), CtrlStateHot);
            send(&e, QEvent::FocusIn);
            send(&e, QEvent::Leave);
            QCOMPARE(p->getState(), CtrlStatePressed);
            send(&e, QEvent::FocusOut);
            QCOMPARE(p->getState(), CtrlStateNormal);
            e.setTextStyle(CtrlStateNormal, textStyle(kF, 21));
            QCOMPARE(e.font().pixelSize(), 21);
        };
        TEVQLineEdit line;
        check(line);
        TEVQTextEdit text;
        check(text);
        // Deleted later, each is gone once its own event() handled the deferred delete.
        (new TEVQLineEdit)->deleteLater();
        (new TEVQTextEdit)->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // Closed by the receiver of the signal its focus out emits; QLineEdit's focus out goes on after the
        // signal, so the receiver deletes it later.
        auto* finished = new TEVQLineEdit;
        connect(finished, &QLineEdit::editingFinished, finished, [finished] { finished->deleteLater(); });
        send(finished, QEvent::FocusIn);
        QTest::keyClicks(finished, QStringLiteral("x")); // an edited text finishes on focus out
        QSignalSpy gone(finished, &QObject::destroyed);
        send(finished, QEvent::FocusOut);
        QCOMPARE(gone.count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(gone.count(), 1);
    }

    void labelsRouteTextStyleStatesAlike()
    {
        // 4 sets both records, any state but 0 the disabled one.
        auto check = [](auto& l) {
            TextStyleDesc s;
            s.name = QStringLiteral("all");
            l.setTextStyle(CtrlState(4), s);
            s.name = QStringLiteral("hot");
            l.setTextStyle(CtrlStateHot, s);
            QCOMPARE(l.getTextStyle(CtrlStateNormal).name, QStringLiteral("all"));
            QCOMPARE(l.getTextStyle(CtrlState(4)).name, QStringLiteral("hot"));
        };
        TEVQLabel plain;
        check(plain);
        TEVQLabelEx rich;
        check(rich);
    }

    void backgroundFromCachedPixmapMatchesDirectDrawing()
    {
        FillStyle round = solid(QColor(200, 230, 250));
        round.fillRes.radius = 6;
        round.fillRes.drawBorder = true;
        round.fillRes.borderSize = 2;
        round.fillRes.borderColor = QColor(40, 90, 160);
        for (const QSize size : {QSize(90, 26), QSize(91, 31)}) { // a new size makes a new pixmap
            TEVQLineEdit e;
            e.resize(size);
            e.setBackground(CtrlStateNormal, round);
            QImage direct(size, QImage::Format_ARGB32);
            direct.fill(Qt::white);
            QPainter p(&direct);
            TEVQWidgetBaseImpl::drawFillStyle(&p, round, QRect(QPoint(), size));
            p.end();
            // Edge pixels may differ by rounding, as the pixmap is composed over white afterwards.
            const QImage cached = rendered(&e);
            int worst = 0;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x) {
                    const QColor a = QColor::fromRgb(cached.pixel(x, y)), b = QColor::fromRgb(direct.pixel(x, y));
                    worst = qMax(worst, qMax(qAbs(a.red() - b.red()), qMax(qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue()))));
                }
            QVERIFY2(worst <= 2, qPrintable(QString::number(worst)));
            QCOMPARE(cached.pixel(size.width() / 2, size.height() / 2), direct.pixel(size.width() / 2, size.height() / 2));
            round.fillRes.borderColor = Qt::red; // and so does another style
            e.setBackground(CtrlStateNormal, round);
            QCOMPARE(px(&e, 0, size.height() / 2), QColor(Qt::red));
        }
    }

    void backgroundOfNegativeRadius()
    {
        // A style file's "round": -1 paints square corners (the kept fill's key once shifted the negative radius).
        TEVQLineEdit e;
        e.resize(60, 20);
        FillStyle square = solid(kN);
        square.fillRes.radius = -1;
        e.setBackground(CtrlStateNormal, square);
        QCOMPARE(px(&e, 0, 0), kN);
        QCOMPARE(px(&e, 30, 10), kN);
    }

    void lineEditPlaceholder()
    {
        TEVQLineEdit e;
        e.resize(160, 30);
        setLooks(e);
        e.setEditMargin(0, 0, 40, 0);
        e.setPlaceholderText(QStringLiteral("输入密码 Password"));
        e.setPlaceholderTextStyle(CtrlStateDisable, textStyle(kTip, 14)); // one style whatever the state
        QImage img = rendered(&e);
        QVERIFY(count(img, kTip) > 20);
        QCOMPARE(count(img.copy(0, 0, 40, 30), kTip), 0); // not in the margin
        send(&e, QEvent::FocusIn);
        QVERIFY(count(rendered(&e), kTip) > 20);
        QTest::keyClick(&e, Qt::Key_X);
        QCOMPARE(count(rendered(&e), kTip), 0);

        // The catalogue's margin row reads and writes "left,top,right,bottom".
        for (const PropertyDef& d : tevGetControlInfo(QStringLiteral("qtdedit"))->props) {
            if (d.name == QLatin1String("Margin")) {
                d.setText(&e, QStringLiteral("1, 2,3,4"));
                d.setText(&e, QStringLiteral("9,9"));
                QCOMPARE(d.getText(&e), QStringLiteral("1,2,3,4"));
            }
        }
        QCOMPARE(e.contentsMargins(), QMargins(1, 2, 3, 4));
        // Typed with a sign or beyond any size, they are held as the JSON holds them, and read back as shown.
        e.setEditMargin(-3, 2147483647, -5, 6);
        QCOMPARE(e.contentsMargins(), QMargins(0, 0, 6, 32767));
        QVERIFY(rereadsTheSame<TEVQLineEdit>(&e));
    }

    void placeholderGivesWayToComposedText()
    {
        // A text an input method composes (pinyin before its characters are chosen) is not yet the edit's
        // text, but it is shown where the placeholder stands: the placeholder gives way to it, and comes back
        // when the composition is cancelled.
        TEVQLineEdit line;
        TEVQTextEdit multi;
        line.resize(160, 30);
        multi.resize(160, 60);
        line.setPlaceholderText(QStringLiteral("搜索 Search"));
        multi.setPlaceholderText(QStringLiteral("搜索 Search"));
        line.setPlaceholderTextStyle(CtrlStateNormal, textStyle(kTip, 14));
        multi.setPlaceholderTextStyle(textStyle(kTip, 14));
        for (QWidget* w : {static_cast<QWidget*>(&line), static_cast<QWidget*>(&multi)}) {
            send(w, QEvent::FocusIn);
            QVERIFY(count(rendered(w), kTip) > 20);
            QInputMethodEvent preedit(QStringLiteral("zhong"), {});
            QApplication::sendEvent(w, &preedit);
            QCOMPARE(count(rendered(w), kTip), 0);
            QInputMethodEvent cancel;
            QApplication::sendEvent(w, &cancel);
            QVERIFY(count(rendered(w), kTip) > 20);
        }
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("中"));
        QApplication::sendEvent(&line, &commit);
        QCOMPARE(line.text(), QStringLiteral("中"));
        // A read-only field composes nothing: its placeholder stays.
        line.clear();
        line.setReadOnly(true);
        QInputMethodEvent refused(QStringLiteral("zhong"), {});
        QApplication::sendEvent(&line, &refused);
        QVERIFY(count(rendered(&line), kTip) > 20);
    }

    void placeholderKeptBetweenPaintsFollowsItsInputs()
    {
        // The placeholder's laid-out line is kept between paints: after each change of its text, its style, the
        // edit's size or margins, the picture is the one a new edit draws.
        struct Step {
            const char* text;
            QColor colour;
            int pixelSize;
            QSize size;
            int margin;
        };
        const Step steps[] = {{"Search 搜索", kTip, 14, {200, 30}, 0},  {"Filter 过滤", kTip, 14, {200, 30}, 0},
                              {"Filter 过滤", kN, 14, {200, 30}, 0},    {"Filter 过滤", kN, 18, {200, 30}, 0},
                              {"Filter 过滤", kN, 18, {120, 40}, 0},    {"Filter 过滤", kN, 18, {120, 40}, 30},
                              {"A much longer hint that fits", kN, 18, {400, 40}, 0},
                              {"A much longer hint that fits", kN, 18, {120, 40}, 0},
                              {"A much longer hint that fits", kN, 18, {120, 40}, 30}};
        auto configure = [](auto& e, const Step& step) {
            e.resize(step.size);
            e.setPlaceholderText(QString::fromUtf8(step.text));
            e.setEditMargin(step.margin, 0, 0, 0);
        };
        TEVQLineEdit kept;
        setLooks(kept);
        TEVQTextEdit keptText;
        setLooks(keptText);
        for (const Step& step : steps) {
            configure(kept, step);
            kept.setPlaceholderTextStyle(CtrlStateNormal, textStyle(step.colour, step.pixelSize));
            TEVQLineEdit fresh;
            setLooks(fresh);
            configure(fresh, step);
            fresh.setPlaceholderTextStyle(CtrlStateNormal, textStyle(step.colour, step.pixelSize));
            QCOMPARE(rendered(&kept), rendered(&fresh));

            configure(keptText, step);
            keptText.setPlaceholderTextStyle(textStyle(step.colour, step.pixelSize));
            TEVQTextEdit freshText;
            setLooks(freshText);
            configure(freshText, step);
            freshText.setPlaceholderTextStyle(textStyle(step.colour, step.pixelSize));
            QCOMPARE(rendered(&keptText), rendered(&freshText));
        }
    }

    // ---- text edit -------------------------------------------------------------------------------------------

    void textEditJson()
    {
        TEVQTextEdit t;
        t.setThemeName(QStringLiteral("plain")); // no such element: what is written reads back from the page
        read(&t, R"({"style": [["a", 1, 0], ["b", 2, 4], ["p", 2, 8], ["c", 2, 9]]})");
        QCOMPARE(t.getBackground(CtrlStateDisable).name, QStringLiteral("a"));
        QCOMPARE(t.getTextStyle(CtrlStateHot).name, QStringLiteral("b"));
        QCOMPARE(t.getPlaceholderTextStyle().name, QStringLiteral("p"));
        COMPARE_WRITTEN(&t, "style", R"([["a", 1, 0], ["b", 2, 4], ["p", 2, 8]])");

        // Text is plain both ways, also when it looks like HTML; margins are kept through a show.
        read(&t, R"({"attr": {"text": "<b>x</b>\n第二行", "leftMargin": 4, "tip": "hint"}})");
        t.show();
        QCOMPARE(t.toPlainText(), QStringLiteral("<b>x</b>\n第二行"));
        QCOMPARE(t.viewport()->geometry().left(), 4);
        COMPARE_WRITTEN(&t, "attr", R"({"leftMargin": 4, "text": "<b>x</b>\n第二行", "tip": "hint"})");
        QVERIFY(rereadsTheSame<TEVQTextEdit>(&t, QStringLiteral("plain")));
        read(&t, R"({"attr": {}})"); // margins reset, text kept
        QCOMPARE(t.viewport()->geometry().left(), 0);
        QCOMPARE(t.toPlainText(), QStringLiteral("<b>x</b>\n第二行"));
        QVERIFY(!json::has(written(&t), "child"));
    }

    void documentTextsSurviveJsonAsTyped()
    {
        // What the editor and the rich label hold comes back from their JSON as it was: quotes, control
        // characters, NUL, characters beyond the BMP, non-breaking spaces and the line separator of
        // Shift+Return (a line break inside a paragraph) included.
        const QString text = QStringLiteral("say \"hi\"\t|->key\n") + QChar(0) + QChar(0x01) +
                             QString::fromUcs4(U"\U0001F600逆变器\u00A0kW\u2028next line\n");
        TEVQTextEdit edit;
        edit.setThemeName(QStringLiteral("plain"));
        edit.setPlainText(text);
        TEVQLabelEx label;
        label.setText(text);
        for (ITEVQWidgetBase* w : {static_cast<ITEVQWidgetBase*>(&edit), static_cast<ITEVQWidgetBase*>(&label)}) {
            Json::Value saved;
            QVERIFY(json::parse(json::writeStyled(written(w)), saved));
            QCOMPARE(json::getQString(json::get(saved, "attr"), "text"), text);
        }
        QVERIFY(rereadsTheSame<TEVQTextEdit>(&edit, QStringLiteral("plain")));
        QVERIFY(rereadsTheSame<TEVQLabelEx>(&label));
        // Typed: Shift+Return keeps its paragraph.
        TEVQTextEdit typed;
        typed.setThemeName(QStringLiteral("plain"));
        QTest::keyClicks(&typed, QStringLiteral("a"));
        QTest::keyClick(&typed, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(&typed, QStringLiteral("b"));
        TEVQTextEdit back;
        back.setThemeName(QStringLiteral("plain"));
        Json::Value saved = written(&typed);
        back.serializeJsonValue(&saved, true);
        QCOMPARE(back.document()->blockCount(), 1);
        QCOMPARE(back.toPlainText(), typed.toPlainText());
    }

    void textEditTakesPastedTextPlain()
    {
        // Text pasted from a rich source shows in the editor's own text style, as it is saved and read back.
        TEVQTextEdit t;
        t.resize(200, 60);
        setLooks(t);
        t.setTextStyle(CtrlStateNormal, textStyle(kTip, 20));
        auto* mime = new QMimeData;
        mime->setHtml(QStringLiteral("<span style='color:#000000; font-size:30px'>█████</span>"));
        mime->setText(QStringLiteral("█████"));
        QApplication::clipboard()->setMimeData(mime);
        t.paste();
        QCOMPARE(t.toPlainText(), QStringLiteral("█████"));
        const QImage img = rendered(&t);
        QVERIFY(count(img, kTip) > 100);
        QCOMPARE(count(img, Qt::black), 0);
    }

    void textEditBarsAndTheme()
    {
        TEVQTextEdit t;
        // Not themed when built, although the theme has an element of its type name; themed when named.
        QCOMPARE(t.getBackground(CtrlStateNormal).name, QString());
        t.setThemeName(QStringLiteral("qttext"));
        QCOMPARE(t.getBackground(CtrlStateDisable).name, QStringLiteral("a"));

        QCOMPARE(t.verticalScrollBar(), t.verticalBar());
        t.setScrollbarSize(false, 12);
        QCOMPARE(t.horizontalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(12));
        QCOMPARE(t.verticalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(12));
        t.setScrollbarBtnSize(true, 30); // nothing on a text edit
        QCOMPARE(t.horizontalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(12));
        read(&t, R"({"child": [{"type": "qtscrollbar", "attr": {"hor": true, "upicon": "h.png", "size": 9}, "h": 5},
                               {"type": "scrollbar", "attr": {"upicon": "v.png"}, "w": 6}]})");
        QCOMPARE(t.horizontalBar()->getScrollbarBtnIcon(true), QStringLiteral("h.png"));
        QCOMPARE(t.verticalBar()->getScrollbarBtnIcon(true), QStringLiteral("v.png"));
        QCOMPARE(t.horizontalBar()->styleSheet(), TEVQScrollBarPair::thicknessSheet(6));
    }

    void thicknessKeepsTheTrackUsable()
    {
        // With the thickness sheet, the text edit's vertical arrow buttons sit at the ends of the track: the
        // thumb's middle is the thumb for Qt's hit test (a press there drags it, not a step), and the buttons,
        // painted after the thumb, do not cover it.
        TEVQTextEdit edit;
        edit.resize(200, 120);
        edit.setPlainText(QStringLiteral("line\n").repeated(200));
        edit.setScrollbarSize(false, 9);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        TEVQScrollBar* v = edit.verticalBar();
        QTRY_VERIFY(v->isVisible() && v->maximum() > 0);
        QCOMPARE(v->width(), 9);
        for (int value : {0, v->maximum() / 2, v->maximum()}) {
            v->setValue(value);
            QStyleOptionSlider option;
            option.initFrom(v);
            option.orientation = Qt::Vertical;
            option.minimum = v->minimum();
            option.maximum = v->maximum();
            option.sliderPosition = option.sliderValue = v->value();
            option.pageStep = v->pageStep();
            option.singleStep = v->singleStep();
            QStyle* style = v->style();
            const QRect thumb = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, v);
            const QRect down = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, v);
            const QRect up = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubLine, v);
            const int extent = style->pixelMetric(QStyle::PM_ScrollBarExtent);
            QCOMPARE(down.width(), 9);
            QCOMPARE(up.width(), 9);
            QVERIFY2(down.height() >= 9 && down.height() <= extent + 2, qPrintable(QString::number(down.height())));
            QVERIFY2(up.height() >= 9 && up.height() <= extent + 2, qPrintable(QString::number(up.height())));
            QVERIFY(!up.intersects(down));
            QVERIFY(!down.contains(thumb.center()) && !up.contains(thumb.center()));
            QCOMPARE(style->hitTestComplexControl(QStyle::CC_ScrollBar, &option, thumb.center(), v),
                     QStyle::SC_ScrollBarSlider);
        }
    }

    void textEditBarsFollowTheTheme()
    {
        // The edit's bars are the framework's themed scroll bars: a new edit's bars take and paint the theme's
        // scroll-bar look, and the scroll-bar entries of the edit's own theme element restyle them when it is named.
        QTemporaryDir dir;
        QVERIFY(tevtest::writeFile(dir.filePath("style.json"), R"({"style": [
            {"type": 1, "name": "barThumb", "clr": "FF00FF00"}, {"type": 1, "name": "editThumb", "clr": "FFFF0000"},
            {"type": 1, "name": "editUp", "clr": "FF0000FF"}]})"));
        QVERIFY(tevtest::writeFile(dir.filePath("theme.json"), R"({"elements": [{"child": [
            {"name": "qtscrollbar", "style": [["barThumb", 1, 10]]},
            {"name": "TBars", "child": [
                {"type": "qtscrollbar", "attr": {"hor": true}, "style": [["editThumb", 1, 10]], "h": 9},
                {"type": "scrollbar", "style": [["editUp", 1, 2]], "w": 9}]}]}]})"));
        struct ThemeBack
        {
            QString path;
            ~ThemeBack() { rm()->loadThemeDir(path); }
        } back{m_theme.path()};
        QVERIFY(rm()->loadThemeDir(dir.path()));

        TEVQTextEdit t;
        TEVQScrollBar* h = t.horizontalBar();
        TEVQScrollBar* v = t.verticalBar();
        QVERIFY(h && v && t.isAncestorOf(h) && t.isAncestorOf(v));
        QCOMPARE(static_cast<QScrollBar*>(h), t.horizontalScrollBar());
        QCOMPARE(static_cast<QScrollBar*>(v), t.verticalScrollBar());
        QCOMPARE(h->orientation(), Qt::Horizontal);
        QCOMPARE(v->getTypeName(), QStringLiteral("qtscrollbar"));
        QCOMPARE(h->getScrollbarThumb(CtrlStateHot).name, QStringLiteral("barThumb"));

        // Shown with more lines than fit, the edit paints its vertical bar in that look.
        t.resize(160, 80);
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << QStringLiteral("line %1").arg(i);
        t.setPlainText(lines.join('\n'));
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QTRY_VERIFY(v->isVisible());
        const QPoint thumb = v->mapTo(&t, v->painter()->partRect(TEVQScrollBarImpl::PartThumb).center());
        QCOMPARE(px(&t, thumb.x(), thumb.y()), QColor(0, 255, 0));

        t.setThemeName(QStringLiteral("TBars"));
        QCOMPARE(h->getScrollbarThumb(CtrlStatePressed).name, QStringLiteral("editThumb"));
        QCOMPARE(v->getScrollbarThumb(CtrlStatePressed).name, QStringLiteral("barThumb"));
        QCOMPARE(v->getScrollbarUpButton(CtrlStateDisable).name, QStringLiteral("editUp"));
        QCOMPARE(h->getScrollbarUpButton(CtrlStateNormal).name, QString());
        QCOMPARE(h->styleSheet(), TEVQScrollBarPair::thicknessSheet(9));
    }

    void textEditPaintsAndScrolls()
    {
        TEVQTextEdit t;
        t.resize(200, 80);
        setLooks(t);
        t.setPlaceholderText(QStringLiteral("Notizen 备注"));
        t.setPlaceholderTextStyle(textStyle(kTip, 14));
        QVERIFY(count(rendered(&t), kTip) > 20);
        t.setEnabled(false); // no disabled look
        QCOMPARE(px(&t, 190, 70), kN);
        t.setEnabled(true);
        send(&t, QEvent::FocusIn);
        send(&t, QEvent::Leave);
        QCOMPARE(px(&t, 190, 70), kF);
        send(&t, QEvent::FocusOut);
        send(&t, QEvent::Enter);
        QCOMPARE(px(&t, 190, 70), kN); // hot is never shown
        QTest::keyClick(t.viewport(), Qt::Key_Z);
        QCOMPARE(count(rendered(&t), kTip), 0);
        t.setPlainText(QString()); // one empty paragraph is empty
        QVERIFY(count(rendered(&t), kTip) > 20);

        // Many lines: the framework bar follows the keys and moves the document.
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines << QStringLiteral("line %1").arg(i);
        t.setPlainText(lines.join('\n'));
        TEVQScrollBar* bar = t.verticalBar();
        QTest::keyClick(t.viewport(), Qt::Key_End, Qt::ControlModifier);
        QVERIFY(bar->maximum() > 0 && bar->value() > bar->maximum() - 10);
        QVERIFY(t.cursorForPosition(QPoint(2, 2)).blockNumber() > 30);
        bar->setValue(0);
        QCOMPARE(t.cursorForPosition(QPoint(2, 2)).blockNumber(), 0);
        QTest::keyClick(t.viewport(), Qt::Key_PageDown);
        QVERIFY(bar->value() > 0);
    }

    void textEditMarginsOfAnySize()
    {
        // Margins set from code (the designer's margin row) stay within what a page may give, as read ones do:
        // near the ends of int the viewport they inset had a size that overflowed.
        TEVQTextEdit e;
        e.resize(120, 60);
        setLooks(e);
        e.setPlaceholderText(QStringLiteral("tip"));
        auto margins = [&e] {
            int t = 0, b = 0, l = 0, r = 0;
            e.getEditMargin(t, b, l, r);
            return QMargins(l, t, r, b);
        };
        e.setEditMargin(INT_MIN, -3, INT_MIN, INT_MIN);
        QCOMPARE(px(&e, 60, 30), kN);
        QCOMPARE(margins(), QMargins(0, 0, 0, 0));
        e.setEditMargin(INT_MAX, 2, 4, INT_MAX);
        QCOMPARE(margins(), QMargins(4, 32767, 32767, 2));
        rendered(&e);
        e.setEditMargin(1, 2, 3, 4);
        QCOMPARE(margins(), QMargins(3, 1, 4, 2));
    }

    void textEditBarReplacedByItsCaller()
    {
        // A caller that puts a bar of its own in place (Qt deletes the old one): styling the bars through the
        // control or its JSON reaches the remaining framework bar only.
        TEVQTextEdit t;
        t.setVerticalScrollBar(new QScrollBar(Qt::Vertical));
        QCOMPARE(t.verticalBar(), nullptr);
        t.setScrollbarThumbStyle(false, CtrlStateNormal, FillStyle());
        t.setScrollbarSize(false, 8);
        read(&t, R"({"child": [{"type": "qtscrollbar", "attr": {"upicon": "v.png"}, "w": 6},
                               {"type": "qtscrollbar", "attr": {"hor": true, "upicon": "h.png"}, "h": 5}]})");
        QCOMPARE(t.horizontalBar()->getScrollbarBtnIcon(true), QStringLiteral("h.png"));
    }

    // ---- rich text label -------------------------------------------------------------------------------------

    void richLabelWithoutMetaObject()
    {
        QWidget host;
        QWidget* w = createChild(parse(R"({"type": "qtlabelex", "attr": {"text": "page text"}})"), &host);
        QVERIFY(w);
        QCOMPARE(w->metaObject()->className(), "QLabel");
        QVERIFY(!qobject_cast<ITEVQWidgetBase*>(w));
        QCOMPARE(w->metaObject()->indexOfProperty("jsonData"), -1);
        QCOMPARE(tevWidgetInterface(w)->getTypeName(), QStringLiteral("qtlabelex"));
        auto* l = static_cast<TEVQLabelEx*>(tevWidgetInterface(w));
        QCOMPARE(l->painter()->document->toPlainText(), QStringLiteral("page text")); // the loader reached it
        l->setThemeName(QStringLiteral("TRich"));
        QCOMPARE(l->painter()->document->toPlainText(), QStringLiteral("from theme"));
        QCOMPARE(l->getColor(), kTip);
    }

    void richLabelPaletteMadeOncePerColour()
    {
        // Paints draw the document with one palette until the text colour changes.
        TEVQLabelEx label;
        label.resize(120, 30);
        auto* layout = new PaletteNotingLayout(label.painter()->document);
        label.painter()->document->setDocumentLayout(layout);
        QImage img(label.size(), QImage::Format_ARGB32);
        const auto paint = [&] { label.render(&img); };
        paint();
        paint();
        label.setColor(QColor(200, 0, 0));
        paint();
        QCOMPARE(layout->palettes.size(), 3);
        QCOMPARE(layout->palettes[1], layout->palettes[0]);
        QVERIFY(layout->palettes[2] != layout->palettes[1]);
    }

    void richLabelJson()
    {
        TEVQLabelEx l;
        COMPARE_WRITTEN(&l, "style", "null");
        COMPARE_WRITTEN(&l, "attr", R"({"text": "label"})");
        read(&l, R"({"attr": {"text": "<b>kept as typed</b> 中文"}, "style": [["c", 2, 1], ["b", 2, 0]]})");
        QCOMPARE(l.painter()->document->toPlainText(), QStringLiteral("<b>kept as typed</b> 中文"));
        QCOMPARE(l.painter()->document->defaultFont().pixelSize(), 13);
        COMPARE_WRITTEN(&l, "style", R"([["b", 2, 0]])");
        QVERIFY(rereadsTheSame<TEVQLabelEx>(&l));
        // An empty text survives a round trip (left out, a new label would read back its own "label").
        l.setText(QString());
        COMPARE_WRITTEN(&l, "attr", R"({"text": ""})");
        QVERIFY(rereadsTheSame<TEVQLabelEx>(&l));
        read(&l, R"({"attr": {"text": ""}})");
        QCOMPARE(l.painter()->document->toPlainText(), QString());
        l.setTextStyle(CtrlState(4), textStyle(kN, 10, "both"));
        l.setTextStyle(CtrlState(9), textStyle(kN, 10, "other")); // any state but 0 is the disabled record
        QCOMPARE(l.getTextStyle(CtrlStateNormal).name, QStringLiteral("both"));
        QCOMPARE(l.getTextStyle(CtrlStateHot).name, QStringLiteral("other"));
    }

    void richLabelPositionsAndMouse()
    {
        TEVQLabelEx l;
        l.resize(200, 40);
        const QSize size = l.calcSize(QStringLiteral("<p>Hi <b>there</b></p>"), 300);
        QVERIFY(size.width() > 0 && size.width() < 300 && size.height() > 0);
        TEVQLabelExImpl* p = l.painter();
        p->setSelection({0, 2, 3}, {0, 1, 5});
        QCOMPARE(p->selectionStart, TextCursorPos({0, 1, 5}));
        QCOMPARE(p->selectionEnd, TextCursorPos({0, 2, 3}));
        QCOMPARE(p->endPosition(), TextCursorPos({1, 0, 5}));
        QCOMPARE(p->positionAt(QPoint(-50, -50)), TextCursorPos());

        // A new label shows no highlight; a double-click selects the whole line and nothing beyond.
        p->clearSelection();
        QCOMPARE(count(rendered(&l), kHighlight), 0);
        QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(count(rendered(&l), kHighlight) > 50);
        QCOMPARE(count(rendered(&l).copy(QRect(100, 0, 100, 40)), kHighlight), 0);
        // With text interaction off the mouse changes nothing.
        p->clearSelection();
        l.setTextInteractionFlags(Qt::NoTextInteraction);
        drag(&l, QPoint(8, 10), QPoint(30, 10));
        QVERIFY(!p->selectionStart.isValid() && !p->selectionEnd.isValid());
    }

    void richLabelSelectionGoesWithItsText()
    {
        // A selection stays while the label's text is set again unchanged (a refresh) and goes with a new text.
        TEVQLabelEx l;
        l.resize(200, 40);
        l.setText(QStringLiteral("Hello world"));
        QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(count(rendered(&l), kHighlight) > 50);
        l.setText(QStringLiteral("Hello world"));
        QVERIFY(count(rendered(&l), kHighlight) > 50);
        l.setText(QStringLiteral("Bye"));
        QCOMPARE(count(rendered(&l), kHighlight), 0);
        QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
        l.setHtmlContent(QStringLiteral("<b>New</b> text"));
        QCOMPARE(count(rendered(&l), kHighlight), 0);
        QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
        read(&l, R"({"attr": {"text": "from a page"}})");
        QCOMPARE(count(rendered(&l), kHighlight), 0);
    }

    void richLabelSelectionBothWaysAndAcrossParagraphs_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<TextCursorPos>("from"); // block, line; the column is not compared
        QTest::addColumn<TextCursorPos>("to");
        QTest::newRow("three lines of one paragraph")
            << QStringLiteral("one two three four five six seven eight nine ten eleven twelve") << TextCursorPos{0, 0, 0}
            << TextCursorPos{0, 2, 0};
        QTest::newRow("three paragraphs")
            << QStringLiteral("<p>first paragraph</p><p>second one, wrapped over two lines here</p><p>third</p>")
            << TextCursorPos{0, 0, 0} << TextCursorPos{2, 0, 0};
        QTest::newRow("from a wrapped second paragraph")
            << QStringLiteral("<p>short</p><p>alpha beta gamma delta epsilon zeta eta theta iota kappa</p><p>end</p>")
            << TextCursorPos{1, 1, 0} << TextCursorPos{2, 0, 0};
    }

    void richLabelSelectionBothWaysAndAcrossParagraphs()
    {
        QFETCH(QString, html);
        QFETCH(TextCursorPos, from);
        QFETCH(TextCursorPos, to);
        TEVQLabelEx l;
        l.resize(150, 160);
        l.setHtmlContent(html);
        rendered(&l); // lays the document out at the label's size
        const QPoint a = inLine(l, from.block, from.line, 9);
        const QPoint b = inLine(l, to.block, to.line, 13);
        drag(&l, a, b);
        const QImage forward = rendered(&l);
        drag(&l, b, a); // the other way: the same range
        QVERIFY(l.painter()->selectionEnd < l.painter()->selectionStart);
        QCOMPARE(rendered(&l), forward);
        tevtest::keepRender(forward, QStringLiteral("labelex_%1.png").arg(QTest::currentDataTag()).replace(' ', '_'));

        // Lines from the first to the last carry highlight (looked for in their middle rows, as a line's rectangle
        // is taller than the line spacing); the lines outside do not.
        QTextDocument* doc = l.painter()->document;
        const qreal originY = doc->begin().layout()->position().y();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            const QTextLayout* layout = block.layout();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const int mid = int(layout->position().y() - originY + line.y() + 5.0) + int(line.height()) / 2;
                const TextCursorPos pos{block.blockNumber(), i, 0};
                const bool inside = !(pos < from) && !(to < pos);
                QVERIFY2(inside == (count(forward, kHighlight, mid - 1, mid + 1) > 0),
                         qPrintable(QStringLiteral("block %1 line %2").arg(pos.block).arg(i)));
            }
        }
    }

    void richLabelSelectAllAndOddPositions()
    {
        TEVQLabelEx l;
        l.resize(150, 120);
        l.setHtmlContent(QStringLiteral("<p>eins</p><p>zwei zwei</p><p>三三三</p>"));
        TEVQLabelExImpl* p = l.painter();
        QTest::mouseDClick(&l, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(p->selectionEnd.block, 3); // one past the last block: the end of the document
        const QImage img = rendered(&l);
        for (int b = 0; b < 3; ++b)
            QVERIFY(count(img, kHighlight, inLine(l, b, 0, 0).y() + 4, inLine(l, b, 0, 0).y() + 6) > 0);
        // A move over no line hides the highlight.
        QMouseEvent move(QEvent::MouseMove, QPoint(140, 115), l.mapToGlobal(QPoint(140, 115)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&l, &move);
        QCOMPARE(count(rendered(&l), kHighlight), 0);
        // Line and column indexes past their block are held at its end, never used as lines.
        p->setSelection({0, 0, 0}, {1, 40, 999});
        QVERIFY(count(rendered(&l), kHighlight) > 0);
    }

    // ---- a page of every look, to look at -------------------------------------------------------------------

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
        const FillStyle looks[4] = {framed(Qt::white, QColor(150, 160, 170)), framed(Qt::white, Qt::red),
                                    framed(QColor(240, 247, 255), QColor(40, 120, 220)),
                                    framed(QColor(232, 232, 232), QColor(200, 200, 200))};
        const QColor ink[4] = {QColor(30, 40, 50), Qt::red, QColor(20, 60, 140), QColor(140, 140, 140)};
        auto style = [&](auto* e) {
            for (int s = 0; s < 4; ++s) {
                e->setBackground(CtrlState(s), looks[s]);
                e->setTextStyle(CtrlState(s), textStyle(ink[s], 13));
            }
        };
        auto edit = [&](int x, int y, const QString& text, const QString& tip, QWidget* parent) {
            auto* e = new TEVQLineEdit(parent);
            e->setGeometry(x, y, 190, 28);
            style(e);
            e->setPlaceholderTextStyle(CtrlStateNormal, textStyle(QColor(150, 155, 160), 13));
            e->setEditMargin(0, 0, 6, 0);
            e->setText(text);
            e->setPlaceholderText(tip);
            return e;
        };
        TEVQLineEdit* first = edit(10, 10, QStringLiteral("Inverter 01"), QString(), &host);
        edit(210, 10, QString(), QStringLiteral("Search 搜索…"), &host);
        send(edit(10, 46, QStringLiteral("Focused 焦点"), QString(), &host), QEvent::FocusIn);
        send(edit(210, 46, QString(), QStringLiteral("焦点 placeholder"), &host), QEvent::FocusIn);
        edit(410, 46, QStringLiteral("Disabled 禁用"), QString(), &host)->setEnabled(false);
        edit(10, 82, QStringLiteral("secret"), QString(), &host)->setIsPassword(true);
        TEVQLineEdit* hotkey = edit(210, 82, QString(), QString(), &host);
        hotkey->setHotkeyMode(true);
        QTest::keyClick(hotkey, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);

        QStringList lines;
        for (int i = 1; i <= 12; ++i)
            lines << (i % 2 ? QStringLiteral("Line %1 of the log").arg(i) : QStringLiteral("第 %1 行 日志").arg(i));
        for (int i = 0; i < 2; ++i) {
            auto* t = new TEVQTextEdit(&host);
            t->setGeometry(10 + 210 * i, 122, 200, 100);
            style(t);
            t->setPlaceholderTextStyle(textStyle(QColor(150, 155, 160), 13));
            t->setScrollbarBackgroundStyle(false, solid(QColor(235, 238, 242)));
            t->setScrollbarThumbStyle(false, CtrlState(4), solid(QColor(140, 155, 170)));
            t->setEditMargin(4, 4, 4, 4);
            t->setPlaceholderText(QStringLiteral("Notes 备注"));
            if (i == 1) {
                t->setPlainText(lines.join('\n'));
                send(t, QEvent::FocusIn);
            }
        }

        auto* rich = new TEVQLabelEx(&host);
        rich->setGeometry(430, 122, 200, 100);
        rich->setHtmlContent(QStringLiteral("<p><b>Inverter 1</b> online, 52.3 kW</p><p>逆变器 2 <i>离线</i></p>"));
        rendered(rich);
        drag(rich, inLine(*rich, 0, 0, 20), inLine(*rich, 1, 0, 30));
        auto* all = new TEVQLabelEx(&host);
        all->setGeometry(330, 240, 300, 60);
        all->setHtmlContent(QStringLiteral("Select all 全选: <b>double-click</b>"));
        QTest::mouseDClick(all, Qt::LeftButton, {}, QPoint(10, 10));

        auto* view = new TEVQScrollView(&host);
        view->setGeometry(10, 232, 300, 140);
        view->setBackground(CommonCtrlStateNormal, solid(QColor(242, 244, 247)));
        view->setScrollbarBackgroundStyle(false, solid(QColor(225, 230, 236)));
        view->setScrollbarThumbStyle(false, CtrlState(4), solid(QColor(120, 135, 150)));
        view->setScrollbarSize(false, 10);
        auto* content = new TEVQContainer(view);
        content->resize(270, 400);
        content->setDrawBackground(false);
        for (int i = 0; i < 10; ++i)
            edit(8, 8 + i * 36, i % 2 ? QStringLiteral("Row %1").arg(i) : QStringLiteral("第 %1 行").arg(i), {}, content);
        view->painter()->createComplete();
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        view->setVScrollPos(50);
        send(first, QEvent::FocusOut); // showing the page focused it: its normal look is wanted here
        const QImage img = rendered(&host);
        QVERIFY(count(img, kHighlight) > 100);
        QVERIFY(tevtest::keepRender(img, QStringLiteral("gallery_textinput.png")));
    }

private:
    QTemporaryDir m_theme;
};

TEV_TEST_MAIN(TestTextInput)
#include "tst_textinput.moc"
