#include "TEVQTextEdit.h"

#include "TEVJson.h"
#include "TEVPlainText.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

using namespace TEVQtLib;

// ---- painter -------------------------------------------------------------------------------------------------

TEVQTextEditImpl::TEVQTextEditImpl(TEVQTextEdit* ownerEdit) : TEVQLineEditImpl(ownerEdit, TEVQTextEdit::typeName()) {}

TEVQTextEditImpl::~TEVQTextEditImpl() = default;

void TEVQTextEditImpl::draw(QPainter* painter, const QRect& rect)
{
    auto* edit = qobject_cast<QTextEdit*>(owner);
    // isEmpty: a document of one empty paragraph, without walking the text. A text an input method composes
    // lies in that paragraph's layout, not in the document.
    const QTextDocument* doc = edit ? edit->document() : nullptr;
    bool empty = doc && doc->isEmpty();
    if (empty) {
        const QTextLayout* layout = doc->begin().layout();
        empty = !layout || layout->preeditAreaText().isEmpty();
    }
    drawLook(painter, rect, empty, editMargins);
}

bool TEVQTextEditImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    auto* edit = qobject_cast<TEVQTextEdit*>(owner);
    if (!json || !edit)
        return result;
    Json::Value& element = *json;
    if (load) {
        readStyles(element, 8);
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            QString text;
            // Taken as plain text, as it is written: a text that merely looks like HTML ("<b>x</b>") would
            // otherwise come back formatted and be saved as "x".
            if (json::read(*attrs, "text", text))
                edit->setPlainText(text);
            json::read(*attrs, "tip", placeholderText);
            const QMargins m = readMargins(*attrs);
            edit->setEditMargin(m.top(), m.bottom(), m.left(), m.right());
        }
        edit->readScrollBarChildren(element);
        return result;
    }

    TEVStyleEntries styles;
    styles.fillGroup(0, backgrounds);
    styles.textGroup(4, textStyles);
    styles.text(8, placeholderStyle);
    styles.write(element);
    Json::Value& attrs = ownAttrs(element, {"text", "tip", "leftMargin", "rightMargin", "topMargin", "bottomMargin"});
    if (!edit->document()->isEmpty())
        attrs["text"] = json::fromQString(tevPlainText(*edit->document()));
    if (!placeholderText.isEmpty())
        attrs["tip"] = json::fromQString(placeholderText);
    writeMargins(editMargins, attrs);
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQTextEdit::TEVQTextEdit(QWidget* parent) : QTextEdit(parent)
{
    tevSetImpl(new TEVQTextEditImpl(this), false);
    const QString transparent = QStringLiteral("background-color: rgba(0, 0, 0, 0);");
    viewport()->setStyleSheet(transparent);
    setStyleSheet(transparent);
    // Framework scroll bars in place of Qt's, from the containers through core.
    m_bars = detail::createScrollBarPair(this, false);
    viewport()->installEventFilter(this);
    setFrameStyle(0);
    // Pasted and dropped text comes in plain, in the text style, as it is saved: rich text would keep the
    // colours and fonts of its source.
    setAcceptRichText(false);
}

TEVQTextEdit::~TEVQTextEdit() = default;

void TEVQTextEdit::setBackground(CtrlState state, const FillStyle& style) { painter()->setBackground(state, style); }

const FillStyle& TEVQTextEdit::getBackground(CtrlState state) const { return painter()->backgrounds[tevSafeState(state)]; }

void TEVQTextEdit::setTextStyle(CtrlState state, const TextStyleDesc& style) { painter()->setTextStyle(state, style); }

const TextStyleDesc& TEVQTextEdit::getTextStyle(CtrlState state) const { return painter()->textStyles[tevSafeState(state)]; }

void TEVQTextEdit::setPlaceholderText(const QString& text) { painter()->placeholderText = text; }

const QString& TEVQTextEdit::getPlaceholderText() const { return painter()->placeholderText; }

void TEVQTextEdit::setPlaceholderTextStyle(const TextStyleDesc& style) { painter()->placeholderStyle = style; }

const TextStyleDesc& TEVQTextEdit::getPlaceholderTextStyle() const { return painter()->placeholderStyle; }

void TEVQTextEdit::setEditMargin(int top, int bottom, int left, int right)
{
    using Impl = TEVQTextEditImpl;
    painter()->editMargins = QMargins(Impl::boundedMargin(left), Impl::boundedMargin(top), Impl::boundedMargin(right),
                                      Impl::boundedMargin(bottom));
    setViewportMargins(painter()->editMargins);
}

void TEVQTextEdit::getEditMargin(int& top, int& bottom, int& left, int& right) const
{
    TEVQTextEditImpl::splitMargins(painter()->editMargins, top, bottom, left, right);
}

bool TEVQTextEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport() && event->type() == QEvent::Paint) {
        TEVQTextEditImpl* p = painter();
        p->applyTextStyle(p->getState());
        QPainter vp(viewport());
        p->draw(&vp, QRect(0, 0, viewport()->width(), viewport()->height()));
    }
    return QTextEdit::eventFilter(watched, event);
}

bool TEVQTextEdit::event(QEvent* event)
{
    const QEvent::Type type = event->type();
    const bool handled = QTextEdit::event(event);
    if (TEVQLineEditImpl::changesLook(type))
        painter()->followEvent(type);
    return handled;
}

void TEVQTextEdit::paintEvent(QPaintEvent* event) { QTextEdit::paintEvent(event); }

ControlInfo TEVQTextEdit::getProps()
{
    using W = TEVQTextEdit;
    ControlInfo info = tevControlInfo(typeName(), "TextEdit", "Control TextEdit", "TEVQTextEdit", "text");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setTextStyle, &W::getTextStyle));
    info.props.append(tevTextStyleRow<W>(
        QStringLiteral("PlaceholderStyle"), [](W* w, int, const TextStyleDesc& s) { w->setPlaceholderTextStyle(s); },
        [](W* w, int) { return w->getPlaceholderTextStyle(); }, {QStringLiteral("Normal")}));
    info.props.append(tevTextRow<W>(QStringLiteral("PlaceholderText"), PropTextArea, &W::setPlaceholderText,
                                    &W::getPlaceholderText));
    info.props.append(tevEditMarginRow<W>());
    return info;
}
