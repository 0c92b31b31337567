#include "TEVQLabel.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"

#include <QFontMetrics>
#include <QPalette>
#include <QResizeEvent>

using namespace TEVQtLib;

namespace {

Qt::TextElideMode elideMode(int textMode)
{
    switch (textMode) {
    case 0:
        return Qt::ElideLeft;
    case 1:
        return Qt::ElideRight;
    case 2:
        return Qt::ElideMiddle;
    default:
        return Qt::ElideNone;
    }
}

Qt::Alignment alignment(int hor, int ver)
{
    Qt::Alignment a;
    if (hor == 0)
        a |= Qt::AlignLeft;
    else if (hor == 1)
        a |= Qt::AlignHCenter;
    else if (hor == 2)
        a |= Qt::AlignRight;
    if (ver == 0)
        a |= Qt::AlignTop;
    else if (ver == 1)
        a |= Qt::AlignVCenter;
    else if (ver == 2)
        a |= Qt::AlignBottom;
    return a;
}

// The application's palette with the text colour color, as a label sets it. Labels of one colour share it: the
// last one made is kept until the colour or the application's palette changes (a page's labels mostly share
// their colour, and each palette made costs a copy of every brush).
QPalette textPalette(const QColor& color)
{
    static QPalette last;
    static QColor lastColor;
    static qint64 lastBase = 0;
    static bool made = false;
    const QPalette base;
    if (!made || lastColor != color || lastBase != base.cacheKey()) {
        last = base;
        last.setBrush(QPalette::WindowText, QBrush(color));
        lastColor = color;
        lastBase = base.cacheKey();
        made = true;
    }
    return last;
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQLabelImpl::TEVQLabelImpl(TEVQLabel* ownerLabel) : TEVQLabelBaseImpl(ownerLabel, TEVQLabel::typeName()) {}

TEVQLabelImpl::~TEVQLabelImpl() = default;

TEVQLabel* TEVQLabelImpl::label() const { return static_cast<TEVQLabel*>(owner); }

void TEVQLabelImpl::draw(QPainter* painter, const QRect& rect)
{
    if (label())
        drawTextAt(painter, label()->QLabel::text(), normalTextStyle, rect.x(), rect.y(), rect.width(),
                   rect.height(), normalTextStyle.isHor, &drawCache);
}

void TEVQLabelImpl::notifyChangeLanguage()
{
    if (!textKey.isEmpty() && label())
        label()->setText(TEVQResourceManager::getInstance()->getString(textKey));
}

QFont TEVQLabelImpl::textFont() const { return textCache.font(normalTextStyle); }

void TEVQLabelImpl::applyTextStyle()
{
    TEVQLabel* l = label();
    if (!l)
        return;
    // Font and palette are set only when they change (or were changed by others since): each setting makes
    // Qt resolve the label's inherited font or palette and send a change event.
    const QFont& font = textCache.font(normalTextStyle);
    const QColor color = normalTextStyle.color;
    const bool same = styleApplied && requestedFont == font && requestedColor == color && l->font() == appliedFont &&
                      l->palette() == appliedPalette;
    if (!same) {
        l->setFont(font);
        l->setPalette(textPalette(color));
        requestedFont = font;
        requestedColor = color;
        appliedFont = l->font();
        appliedPalette = l->palette();
        styleApplied = true;
    }
    l->setAlignment(alignment(normalTextStyle.horAlign, normalTextStyle.verAlign));
    // The form shown was cut for the style before (a theme re-read, a style set): cut again for this one now,
    // or shown whole when this one does not cut, rather than at the next resize.
    if (!elidePending && !elidedText.isNull() && l->QLabel::text() == elidedText)
        elide();
}

void TEVQLabelImpl::adoptShownText()
{
    TEVQLabel* l = label();
    if (!l)
        return;
    // QLabel::setText is not virtual: a text set through it (or its slot) is the new full text. The elided
    // form this label showed itself never is.
    const QString shown = l->QLabel::text();
    if (shown != text && (elidedText.isNull() || shown != elidedText))
        text = shown;
}

void TEVQLabelImpl::elide()
{
    TEVQLabel* l = label();
    if (!l)
        return;
    adoptShownText();
    if (normalTextStyle.textMode == 3 || !normalTextStyle.singleLine) {
        // No elision now: an elided form shown before gives way to the full text.
        if (!elidedText.isNull() && l->QLabel::text() == elidedText)
            l->QLabel::setText(text);
        elidedText = QString();
        return;
    }
    elidedText = textCache.elided(text, normalTextStyle, elideMode(normalTextStyle.textMode), l->width());
    // Too narrow for even the ellipsis: Qt answers a null string, which would read as "no elided form" and let
    // the empty shown text replace the full one at the next resize.
    if (elidedText.isNull())
        elidedText = QString(QLatin1String(""));
    // Elided for this width already (a page built off screen, then shown): nothing changes.
    if (l->QLabel::text() != elidedText)
        l->QLabel::setText(elidedText);
}

void TEVQLabelImpl::elideAfterPageLayout()
{
    // While a page is built the label is resized more than once (shown, then laid out): the elision is done
    // once, for the size the page's layout gives it.
    if (elidePending)
        return;
    elidePending = true;
    TEVQLabel* l = label();
    tevAfterPageLayout(l, [l] {
        TEVQLabelImpl* d = l->painter();
        if (d && d->elidePending) {
            d->elidePending = false;
            d->elide();
        }
    });
}

void TEVQLabelImpl::createComplete()
{
    // Built by the page loader into a parent whose layout pass gives it its whole rectangle: elided for that
    // width before the page is shown, so that the show (where the label's parent is on screen) changes no text
    // and asks no parent for a new layout. Any other label is elided when it is resized.
    TEVQLabel* l = label();
    if (!tevIsBuildingPage() || !l)
        return;
    const TEVQWidgetBase* record = l->getControlBase();
    const auto* host = dynamic_cast<const ITEVQLayoutHost*>(l->parentWidget());
    if (host && !record->absoluteLayout && record->layoutType == LayoutTypeRatio &&
        host->placesChildWholly(record->widthPolicy, record->heightPolicy))
        elideAfterPageLayout();
}

bool TEVQLabelImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json)
        return result;
    Json::Value& element = *json;
    if (load) {
        QString value;
        if (readStyleAndText(element, value)) {
            if (label())
                label()->setText(value);
        } else {
            // No new text: keep the full text (never take the elided form shown now in its place).
            adoptShownText();
        }
        applyTextStyle();
        return result;
    }

    // The full text, also while the label shows an elided form of it.
    adoptShownText();
    writeStyleAndText(element, text);
    return result;
}

// ---- the labels' text styles ---------------------------------------------------------------------------------

TEVQLabelBaseImpl::~TEVQLabelBaseImpl() = default;

bool TEVQLabelBaseImpl::readStyleAndText(const Json::Value& element, QString& text)
{
    TEVStyleEntries styles;
    styles.text(0, normalTextStyle);
    styles.read(element);
    return json::read(json::get(element, "attr"), "text", text);
}

void TEVQLabelBaseImpl::writeStyleAndText(Json::Value& element, const QString& text)
{
    TEVStyleEntries styles;
    styles.text(0, normalTextStyle);
    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& attrs = ownAttrs(element, {"text"});
    attrs["text"] = json::fromQString(text);
    dropEmptyAttrs(element);
}

void TEVQLabelBaseImpl::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    if (state == 4) {
        normalTextStyle = style;
        disabledTextStyle = style;
    } else if (state == CtrlStateNormal) {
        normalTextStyle = style;
    } else {
        disabledTextStyle = style;
    }
}

const TextStyleDesc& TEVQLabelBaseImpl::textStyle(CtrlState state) const
{
    return state == CtrlStateNormal ? normalTextStyle : disabledTextStyle;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQLabel::TEVQLabel(QWidget* parent) : QLabel(parent)
{
    tevSetImpl(new TEVQLabelImpl(this));
    setText(QStringLiteral("label"));
}

TEVQLabel::~TEVQLabel() = default;

void TEVQLabel::setText(const QString& text)
{
    if (TEVQLabelImpl* p = painter()) {
        p->text = text;
        p->elidedText = QString();
        p->elidePending = false; // the full text is shown until the next resize
    }
    QLabel::setText(text);
}

void TEVQLabel::setColor(const QColor& color)
{
    painter()->normalTextStyle.color = color;
    painter()->applyTextStyle();
}

const QColor& TEVQLabel::getColor() const { return painter()->normalTextStyle.color; }

void TEVQLabel::setDisableColor(const QColor& color) { painter()->disabledTextStyle.color = color; }

const QColor& TEVQLabel::getDisableColor() const { return painter()->disabledTextStyle.color; }

void TEVQLabel::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    painter()->setTextStyle(state, style);
    painter()->applyTextStyle();
}

const TextStyleDesc& TEVQLabel::getTextStyle(CtrlState state) const { return painter()->textStyle(state); }

void TEVQLabel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    TEVQLabelImpl* p = painter();
    if (!p)
        return;
    if (!tevIsBuildingPage()) {
        p->elidePending = false;
        p->elide();
        return;
    }
    p->elideAfterPageLayout();
}

ControlInfo TEVQLabel::getProps()
{
    using W = TEVQLabel;
    ControlInfo info = tevControlInfo(typeName(), "Label", "Control label", "TEVQLabel", "label");
    info.props.append(tevTextRow<W>(QStringLiteral("Text"), PropTextArea, &W::setText, &QLabel::text));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setTextStyle, &W::getTextStyle,
                                         {QStringLiteral("Normal"), QStringLiteral("Disable")}));
    return info;
}
