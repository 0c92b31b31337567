#pragma once
// The framework's themed single-line text field. QLineEdit edits and draws the text, cursor and selection;
// the painter draws a per-state background under it, gives the text the colour, pixel size and family of a
// per-state text style, and draws its own placeholder while the field is empty. Password mode also refuses
// select-all, copy and paste; shortcut-capture mode shows the key combination pressed instead of typed text.
// The painter state 2 means keyboard focus here; the hot state never reaches the screen.
#include "TEVQWidgetBaseImpl.h"
#include "TEVTextCache.h"
#include "TEVQControlInfo.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QLineEdit>
#include <QMargins>

class TEVQLineEdit;

// The fields and operations the line edit and the text edit share.
class TEV_EXPORT TEVQLineEditImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQLineEditImpl(TEVQLineEdit* owner);
    ~TEVQLineEditImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    // Applies the normal text style.
    void createComplete() override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // Palette text colour and font (pixel size, family) of the owner from the text style of state. Done again
    // only when the state, the style or the global font family changed since the last time.
    void applyTextStyle(int state);
    // The next applyTextStyle applies in any case (a style changed).
    void textStyleChanged() { m_appliedState = -1; }
    void setState(TEVQtLib::CtrlState next) { state = next; }
    // The edit's look follows focus and the mouse: focused it shows the pressed state, unfocused the normal one;
    // hovering shows the hot state unless it is focused. Each repaints the edit when it changes the look.
    void focusChanged(bool in);
    void hoverChanged(bool inside);
    // The look after the owner handled an event of type: focus in and out, enter and leave. The owner tests the
    // type first (taken before Qt handles the event: a deferred delete leaves no widget).
    static bool changesLook(QEvent::Type type);
    void followEvent(QEvent::Type type);

    // States 0..3; other values are ignored. Setting the normal text style applies it at once.
    void setBackground(TEVQtLib::CtrlState st, const TEVQtLib::FillStyle& style);
    void setTextStyle(TEVQtLib::CtrlState st, const TEVQtLib::TextStyleDesc& style);
    // m in the argument order of getEditMargin.
    static void splitMargins(const QMargins& m, int& top, int& bottom, int& left, int& right);

    // Margins stay within the sizes a page may give (0..32767); Qt ignores a whole set of margins with a value
    // near QWIDGETSIZE_MAX, and a scroll area's viewport inset by margins near the ends of int has a size that
    // overflows int.
    static int boundedMargin(int v) { return qBound(0, v, 32767); }

    bool hotkeyMode = false;
    // An input method is composing a text in the line edit (its preedit is shown, not yet part of the text).
    bool composing = false;
    QString placeholderText;
    TEVQtLib::TextStyleDesc placeholderStyle;
    TEVQtLib::FillStyle backgrounds[4]; // CtrlState order; 2 is the focused look
    TEVQtLib::TextStyleDesc textStyles[4];

protected:
    TEVQLineEditImpl(QWidget* owner, const QString& typeName);
    // Reads the background and text groups of "style" (slots 0..7) and, for the line edit, the placeholder.
    void readStyles(const Json::Value& element, int placeholderSlot);
    // The "attr" keys both edits share: "tip" and the four margins (all four set when "attr" exists).
    static QMargins readMargins(const Json::Value& attrs);
    static void writeMargins(const QMargins& m, Json::Value& attrs);
    // The background of the state (the hot look is never shown) and, while the edit is empty and no input
    // method composes in it, the placeholder in the rectangle shrunk by margins.
    void drawLook(QPainter* painter, const QRect& rect, bool empty, const QMargins& margins);

    TEVQtLib::TEVFillCache backgroundCache;
    TEVQtLib::TEVTextCache placeholderCache; // an empty focused edit repaints at every cursor blink

private:
    int m_appliedState = -1;
    QString m_appliedFamily;
};

class TEV_EXPORT TEVQLineEdit : public QLineEdit, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQLineEdit, "qtdedit")
public:
    explicit TEVQLineEdit(QWidget* parent = nullptr);
    ~TEVQLineEdit() override;

    static TEVQtLib::ControlInfo getProps();

    // On: echo mode Password and no context menu; off: Normal and the default context menu.
    void setIsPassword(bool on);
    bool getIsPassword() const;
    // While on, the field takes no text from an input method, a middle-button paste or a drop either (the
    // platform is told it has no input method).
    void setHotkeyMode(bool on);
    bool getHotkeyMode() const;
    // The painter's own placeholder (hides QLineEdit's, which is not used); no repaint.
    void setPlaceholderText(const QString& text);
    const QString& getPlaceholderText() const;
    // One placeholder style whatever the state.
    void setPlaceholderTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getPlaceholderTextStyle(TEVQtLib::CtrlState state) const;
    // States 0..3; other values are ignored (getters then give the normal state's). Setting the normal text
    // style applies it at once.
    void setBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CtrlState state) const;
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CtrlState state) const;
    // The widget's contents margins, in this argument order; each held within 0..32767.
    void setEditMargin(int top, int bottom, int left, int right);
    void getEditMargin(int& top, int& bottom, int& left, int& right) const;

    TEVQLineEditImpl* painter() const { return tevImpl<TEVQLineEditImpl>(); }

    using QLineEdit::inputMethodQuery;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    // Also lets the painter follow focus and hover once Qt handled them.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

namespace TEVQtLib {
// The "Margin" row (kind 12) of an edit: its text form is "left,top,right,bottom", as for every four-margin
// row; W has setEditMargin(top, bottom, left, right) and getEditMargin(top, bottom, left, right).
TEV_EXPORT QString tevMarginText(int left, int top, int right, int bottom);
// False unless text holds four integers.
TEV_EXPORT bool tevParseMarginText(const QString& text, int& left, int& top, int& right, int& bottom);

template <class W>
PropertyDef tevEditMarginRow()
{
    return tevTextRow<W>(
        QStringLiteral("Margin"), 12,
        [](W* w, const QString& text) {
            int l = 0, t = 0, r = 0, b = 0;
            if (tevParseMarginText(text, l, t, r, b))
                w->setEditMargin(t, b, l, r);
        },
        [](W* w) {
            int l = 0, t = 0, r = 0, b = 0;
            w->getEditMargin(t, b, l, r);
            return tevMarginText(l, t, r, b);
        });
}
} // namespace TEVQtLib
