#include "TEVQLineEdit.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPalette>
#include <QPointer>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

// Whether the last entry of "style" names a known text style for slot.
bool lastEntryNamesTextStyle(const Json::Value& styles, int slot)
{
    const Json::ArrayIndex n = json::size(styles);
    if (n == 0)
        return false;
    const Json::Value& item = json::at(styles, n - 1);
    const std::optional<std::string> name = json::toString(json::at(item, 0));
    const std::optional<int> itemSlot = json::toInt(json::at(item, 2));
    if (!name || !itemSlot || *itemSlot != slot)
        return false;
    TextStyleDesc style;
    const QString key = TEVStyleEntries::styleNameFromJson(*name);
    return rm()->getTextStyle(key, style) || rm()->getTextStyle(json::toQString(*name), style);
}

} // namespace

QString TEVQtLib::tevMarginText(int left, int top, int right, int bottom)
{
    return QStringLiteral("%1,%2,%3,%4").arg(left).arg(top).arg(right).arg(bottom);
}

bool TEVQtLib::tevParseMarginText(const QString& text, int& left, int& top, int& right, int& bottom)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return false;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    left = v[0];
    top = v[1];
    right = v[2];
    bottom = v[3];
    return true;
}

// ---- painter -------------------------------------------------------------------------------------------------

TEVQLineEditImpl::TEVQLineEditImpl(TEVQLineEdit* ownerEdit) : TEVQLineEditImpl(ownerEdit, TEVQLineEdit::typeName())
{
}

TEVQLineEditImpl::TEVQLineEditImpl(QWidget* ownerWidget, const QString& type) : TEVQWidgetBaseImpl(ownerWidget, type)
{
}

TEVQLineEditImpl::~TEVQLineEditImpl() = default;

void TEVQLineEditImpl::applyTextStyle(int st)
{
    if (!owner)
        return;
    st = tevSafeState(st);
    const QString global = rm()->getGlobalFontFamily();
    if (st == m_appliedState && global == m_appliedFamily)
        return;
    m_appliedState = st;
    m_appliedFamily = global;
    const TextStyleDesc& style = textStyles[st];
    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(style.color));
    owner->setPalette(palette);
    QFont font;
    if (style.pixelSize > 0)
        font.setPixelSize(style.pixelSize);
    font.setFamily(global.isEmpty() ? style.family : global);
    owner->setFont(font);
}

void TEVQLineEditImpl::createComplete() { applyTextStyle(CtrlStateNormal); }

void TEVQLineEditImpl::drawLook(QPainter* painter, const QRect& rect, bool empty, const QMargins& margins)
{
    if (state == CtrlStateHot)
        state = CtrlStateNormal; // the hot look is never shown
    backgroundCache.draw(painter, backgrounds[tevSafeState(state)], rect);
    if (empty && !composing && !placeholderText.isEmpty())
        placeholderCache.draw(painter, placeholderText, placeholderStyle, rect.marginsRemoved(margins),
                              placeholderStyle.isHor);
}

void TEVQLineEditImpl::draw(QPainter* painter, const QRect& rect)
{
    auto* edit = qobject_cast<QLineEdit*>(owner);
    drawLook(painter, rect, edit && edit->text().isEmpty(), edit ? edit->contentsMargins() : QMargins());
}

void TEVQLineEditImpl::setBackground(CtrlState st, const FillStyle& style)
{
    if (tevValidState(st))
        backgrounds[st] = style;
}

void TEVQLineEditImpl::setTextStyle(CtrlState st, const TextStyleDesc& style)
{
    if (!tevValidState(st))
        return;
    textStyles[st] = style;
    textStyleChanged();
    if (st == CtrlStateNormal)
        applyTextStyle(CtrlStateNormal);
}

void TEVQLineEditImpl::splitMargins(const QMargins& m, int& top, int& bottom, int& left, int& right)
{
    top = m.top();
    bottom = m.bottom();
    left = m.left();
    right = m.right();
}

void TEVQLineEditImpl::readStyles(const Json::Value& element, int placeholderSlot)
{
    TEVStyleEntries styles;
    styles.fillGroup(0, backgrounds);
    styles.textGroup(4, textStyles);
    styles.text(placeholderSlot, placeholderStyle);
    styles.read(element);
    textStyleChanged();
}

QMargins TEVQLineEditImpl::readMargins(const Json::Value& attrs)
{
    return QMargins(boundedMargin(json::getInt(attrs, "leftMargin", 0)), boundedMargin(json::getInt(attrs, "topMargin", 0)),
                    boundedMargin(json::getInt(attrs, "rightMargin", 0)), boundedMargin(json::getInt(attrs, "bottomMargin", 0)));
}

void TEVQLineEditImpl::writeMargins(const QMargins& m, Json::Value& attrs)
{
    if (m.left() != 0)
        attrs["leftMargin"] = m.left();
    if (m.right() != 0)
        attrs["rightMargin"] = m.right();
    if (m.top() != 0)
        attrs["topMargin"] = m.top();
    if (m.bottom() != 0)
        attrs["bottomMargin"] = m.bottom();
}

bool TEVQLineEditImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    auto* edit = qobject_cast<TEVQLineEdit*>(owner);
    if (!json || !edit)
        return result;
    Json::Value& element = *json;
    if (load) {
        readStyles(element, 9);
        // The placeholder follows the hot text style after every entry; a slot-9 entry keeps its style only
        // as the array's last entry.
        const Json::Value& styles = json::get(element, "style");
        if (json::size(styles) > 0 && !lastEntryNamesTextStyle(styles, 9))
            placeholderStyle = textStyles[CtrlStateHot];
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            QString text;
            // A receiver of textChanged() may close the page. QLineEdit::setText goes on after the signal, so
            // receivers delete with deleteLater; a synchronous delete is at least not followed by our own reads.
            const QPointer<QWidget> alive(edit);
            if (json::read(*attrs, "text", text))
                edit->setText(text);
            if (!alive)
                return result;
            if (json::getBool(*attrs, "ispassord", false))
                edit->setIsPassword(true);
            json::read(*attrs, "tip", placeholderText);
            bool shortcut = hotkeyMode;
            if (json::read(*attrs, "shortcut", shortcut))
                edit->setHotkeyMode(shortcut);
            edit->setContentsMargins(readMargins(*attrs));
        }
        return result;
    }

    // A group is one entry only when its four styles are equal, so that no named state is lost.
    TEVStyleEntries styles;
    styles.fillGroup(0, backgrounds, TEVStyleEntries::GroupRule::NotAllEqual);
    styles.textGroup(4, textStyles, TEVStyleEntries::GroupRule::NotAllEqual);
    styles.text(9, placeholderStyle); // last, so that it reads back as the placeholder
    styles.write(element);
    Json::Value& attrs = ownAttrs(element, {"text", "ispassord", "tip", "shortcut", "leftMargin", "rightMargin",
                                            "topMargin", "bottomMargin"});
    if (!edit->text().isEmpty())
        attrs["text"] = json::fromQString(edit->text());
    if (edit->getIsPassword())
        attrs["ispassord"] = 1;
    if (!placeholderText.isEmpty())
        attrs["tip"] = json::fromQString(placeholderText);
    if (hotkeyMode)
        attrs["shortcut"] = 1;
    writeMargins(edit->contentsMargins(), attrs);
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQLineEdit::TEVQLineEdit(QWidget* parent) : QLineEdit(parent)
{
    tevSetImpl(new TEVQLineEditImpl(this));
    setFrame(false);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

TEVQLineEdit::~TEVQLineEdit() = default;

void TEVQLineEdit::setIsPassword(bool on)
{
    setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal);
    setContextMenuPolicy(on ? Qt::NoContextMenu : Qt::DefaultContextMenu);
}

bool TEVQLineEdit::getIsPassword() const { return echoMode() == QLineEdit::Password; }

void TEVQLineEdit::setHotkeyMode(bool on)
{
    painter()->hotkeyMode = on;
    // A focused field tells the platform's input method at once, so that keys reach it as key presses.
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

bool TEVQLineEdit::getHotkeyMode() const { return painter()->hotkeyMode; }

void TEVQLineEdit::setPlaceholderText(const QString& text) { painter()->placeholderText = text; }

const QString& TEVQLineEdit::getPlaceholderText() const { return painter()->placeholderText; }

void TEVQLineEdit::setPlaceholderTextStyle(CtrlState, const TextStyleDesc& style) { painter()->placeholderStyle = style; }

const TextStyleDesc& TEVQLineEdit::getPlaceholderTextStyle(CtrlState) const { return painter()->placeholderStyle; }

void TEVQLineEdit::setBackground(CtrlState state, const FillStyle& style) { painter()->setBackground(state, style); }

const FillStyle& TEVQLineEdit::getBackground(CtrlState state) const { return painter()->backgrounds[tevSafeState(state)]; }

void TEVQLineEdit::setTextStyle(CtrlState state, const TextStyleDesc& style) { painter()->setTextStyle(state, style); }

const TextStyleDesc& TEVQLineEdit::getTextStyle(CtrlState state) const { return painter()->textStyles[tevSafeState(state)]; }

void TEVQLineEdit::setEditMargin(int top, int bottom, int left, int right)
{
    // Within the bounds its JSON reads, so that margins typed in (signed, or huge) read back as set.
    using Impl = TEVQLineEditImpl;
    setContentsMargins(Impl::boundedMargin(left), Impl::boundedMargin(top), Impl::boundedMargin(right),
                       Impl::boundedMargin(bottom));
}

void TEVQLineEdit::getEditMargin(int& top, int& bottom, int& left, int& right) const
{
    TEVQLineEditImpl::splitMargins(contentsMargins(), top, bottom, left, right);
}

namespace {
// The keys shortcut-capture mode turns into a text (or clears it with).
bool capturedKey(int key)
{
    return key == Qt::Key_Backspace || key == Qt::Key_Delete || (key >= Qt::Key_F1 && key <= Qt::Key_F35) ||
           (key >= Qt::Key_A && key <= Qt::Key_Z);
}
} // namespace

bool TEVQLineEdit::event(QEvent* event)
{
    // While capturing, a combination the window also uses as a shortcut (CTRL+S) comes here as a key press
    // instead of triggering that shortcut.
    if (event->type() == QEvent::ShortcutOverride && painter() && painter()->hotkeyMode &&
        capturedKey(static_cast<QKeyEvent*>(event)->key())) {
        event->accept();
        return true;
    }
    const QEvent::Type type = event->type();
    // Nor does a captured combination take dropped text.
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) && painter() &&
        painter()->hotkeyMode) {
        event->ignore();
        return true;
    }
    if (!TEVQLineEditImpl::changesLook(type))
        return QLineEdit::event(event);
    // A receiver of editingFinished(), emitted on focus out, may close the edit. QLineEdit's handler goes on
    // after the signal, so receivers delete with deleteLater; this guard only keeps our own code off a freed edit.
    QPointer<QWidget> alive(this);
    const bool handled = QLineEdit::event(event);
    if (alive)
        painter()->followEvent(type);
    return handled;
}

void TEVQLineEdit::keyPressEvent(QKeyEvent* event)
{
    // A hidden text is neither selected as a whole, copied nor pasted into.
    if (echoMode() != QLineEdit::Normal
        && (event->matches(QKeySequence::SelectAll) || event->matches(QKeySequence::Paste)
            || event->matches(QKeySequence::Copy)))
        return;
    if (!painter()->hotkeyMode) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        setText(QString());
    } else if (key >= Qt::Key_F1 && key <= Qt::Key_F35) {
        setText(QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1));
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        QStringList parts;
        const Qt::KeyboardModifiers mods = event->modifiers();
        if (mods & Qt::ControlModifier)
            parts << QStringLiteral("CTRL");
        if (mods & Qt::AltModifier)
            parts << QStringLiteral("ALT");
        if (mods & Qt::ShiftModifier)
            parts << QStringLiteral("SHIFT");
        parts << QString(QChar(key));
        setText(parts.join(QLatin1Char('+')));
    }
}

// A shortcut is captured from key presses only: text an input method composes (pinyin, for one) is not a key
// combination.
void TEVQLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (painter()->hotkeyMode)
        return;
    // The composed text shows where the placeholder would (QLineEdit keeps it out of text()); a read-only
    // field shows none.
    if (!isReadOnly())
        painter()->composing = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
}

QVariant TEVQLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query == Qt::ImEnabled && painter()->hotkeyMode)
        return false;
    return QLineEdit::inputMethodQuery(query);
}

void TEVQLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // On X11 a middle-button release pastes the selection: refused for a hidden text like the paste key, and
    // while capturing a shortcut (a pasted text is no key combination).
    if ((echoMode() != QLineEdit::Normal || painter()->hotkeyMode) && event->button() == Qt::MiddleButton)
        return;
    QLineEdit::mouseReleaseEvent(event);
}

void TEVQLineEditImpl::focusChanged(bool in)
{
    setState(in ? CtrlStatePressed : CtrlStateNormal);
    if (owner)
        owner->repaint();
}

void TEVQLineEditImpl::hoverChanged(bool inside)
{
    if (getState() == CtrlStatePressed)
        return;
    setState(inside ? CtrlStateHot : CtrlStateNormal);
    if (owner)
        owner->repaint();
}

bool TEVQLineEditImpl::changesLook(QEvent::Type type)
{
    return type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::Enter || type == QEvent::Leave;
}

void TEVQLineEditImpl::followEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::FocusIn: focusChanged(true); break;
    case QEvent::FocusOut: focusChanged(false); break;
    case QEvent::Enter: hoverChanged(true); break;
    case QEvent::Leave: hoverChanged(false); break;
    default: break;
    }
}

void TEVQLineEdit::paintEvent(QPaintEvent* event)
{
    tevForwardPaint(event);
    painter()->applyTextStyle(painter()->getState());
    QLineEdit::paintEvent(event);
}

ControlInfo TEVQLineEdit::getProps()
{
    using W = TEVQLineEdit;
    ControlInfo info = tevControlInfo(typeName(), "LineEdit", "Control LineEdit", "TEVQLineEdit", "edit");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setTextStyle, &W::getTextStyle));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("PlaceholderStyle"), &W::setPlaceholderTextStyle,
                                         &W::getPlaceholderTextStyle, {QStringLiteral("Normal")}));
    info.props.append(tevTextRow<W>(QStringLiteral("Text"), PropTextArea,
                                    [](W* w, const QString& t) { w->setText(t); }, &QLineEdit::text));
    info.props.append(tevBoolRow<W>(QStringLiteral("IsPassword"), &W::setIsPassword, &W::getIsPassword));
    info.props.append(tevTextRow<W>(QStringLiteral("PlaceholderText"), PropTextArea, &W::setPlaceholderText,
                                    &W::getPlaceholderText));
    info.props.append(tevBoolRow<W>(QStringLiteral("IsShortcut"), &W::setHotkeyMode, &W::getHotkeyMode));
    info.props.append(tevEditMarginRow<W>());
    return info;
}
