#include "TEVQGroupBox.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"

#include <QPainter>
#include <QPen>

#include <json/json.h>

#include <cctype>
#include <optional>

using namespace TEVQtLib;

namespace {

// A "color" string: eight hexadecimal digits are alpha, red, green, blue (as written); fewer are an opaque
// red, green, blue value.
QColor lineColorFromString(const std::string& text)
{
    std::size_t digits = 0;
    while (digits < text.size() && std::isxdigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    if (digits >= 8)
        return tevColorFromArgbString(text);
    return TEVQWidgetBaseImpl::stringToColor(text);
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQGroupBoxImpl::TEVQGroupBoxImpl(TEVQGroupBox* owner)
    : TEVQWidgetBaseImpl(owner, QString::fromLatin1(TEVQGroupBox::typeName()))
{
}

TEVQGroupBoxImpl::~TEVQGroupBoxImpl() = default;

QSize TEVQGroupBoxImpl::titleSize()
{
    const QString family = TEVQResourceManager::getInstance()->getGlobalFontFamily();
    if (!measuredValid || measuredText != text || measuredStyle != textStyle || measuredFamily != family) {
        measured = getTextSize(textStyle, text);
        measuredText = text;
        measuredStyle = textStyle;
        measuredFamily = family;
        measuredValid = true;
    }
    return measured;
}

void TEVQGroupBoxImpl::draw(QPainter* painter, const QRect& rect)
{
    if (!painter)
        return;
    const QSize title = titleSize();
    const int tw = showText ? title.width() : 0;
    const int th = title.height(); // kept without a title: the top line stays where it is
    // In 64 bits, then clamped: a line size from JSON may be anything.
    auto clamp = [](qint64 v) { return int(qBound<qint64>(-(1 << 28), v, 1 << 28)); };
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.left() + rect.width() - 1;
    const int y0 = t + th / 2;
    const int bottom = clamp(qint64(t) + rect.height() - lineSize);
    const QPoint outline[6] = {{l + 5, y0},      {l, y0},      {l, bottom},
                               {r - 1, bottom}, {r - 1, y0}, {clamp(qint64(l) + 9 + tw), y0}};

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(lineColor, 1, Qt::SolidLine));
    painter->drawPolyline(outline, 6);
    painter->restore();
    if (showText)
        titleCache.draw(painter, text, textStyle, QRect(l + 7, t, tw + l + 5, th + t), textStyle.isHor);
}

bool TEVQGroupBoxImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (!TEVQWidgetBaseImpl::serializeJsonValue(json, load) || !json)
        return false;
    Json::Value& element = *json;
    TEVStyleEntries styles;
    styles.fill(0, background);
    styles.text(2, textStyle);
    if (load) {
        styles.read(element);
        const Json::Value* attrs = json::find(element, "attr");
        if (!attrs)
            return true;
        json::read(*attrs, "text", text);
        json::read(*attrs, "size", lineSize);
        if (const Json::Value* color = json::find(*attrs, "color")) {
            if (const std::optional<std::string> s = json::toString(*color)) {
                lineColor = lineColorFromString(*s);
            } else if (color->type() == Json::intValue || color->type() == Json::uintValue) {
                const std::optional<qint64> v = json::toInt64(*color);
                const quint32 rgb = v ? quint32(quint64(*v)) : quint32(json::toUInt(*color).value_or(0u));
                lineColor = QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
            }
        }
        json::read(*attrs, "showText", showText);
        return true;
    }
    element.removeMember("style");
    styles.write(element);
    Json::Value& attrs = lookedUpAttrs(element, {"text", "size", "color", "showText"});
    if (!text.isEmpty())
        json::member(attrs, "text") = json::fromQString(text);
    // The size is written whenever it is not the default 1 (0 included), and the colour always (transparent
    // black included), alpha first: both then read back as they were.
    if (lineSize != 1)
        json::member(attrs, "size") = lineSize;
    json::member(attrs, "color") = json::fromQString(tevColorToArgbString(lineColor));
    if (!showText)
        json::member(attrs, "showText") = 0;
    return true;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQGroupBox::TEVQGroupBox(QWidget* parent) : QWidget(parent) { tevSetImpl(new TEVQGroupBoxImpl(this)); }

TEVQGroupBox::~TEVQGroupBox() = default;

ControlInfo TEVQGroupBox::getProps()
{
    using W = TEVQGroupBox;
    const QStringList states{QStringLiteral("Normal"), QStringLiteral("Disable")};
    ControlInfo info = tevControlInfo(typeName(), "GroupBox", "Control GroupBox", "TEVQGroupBox", "groupbox");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground, states));
    // The text style row is a style name row like the background's (kind 5).
    PropertyDef textStyle = tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setTextStyle, &W::getTextStyle, states);
    textStyle.kind = PropFillStyle;
    info.props.append(textStyle);
    info.props.append(tevTextRow<W>(QStringLiteral("Text"), PropTextArea, &W::setText, &W::getText));
    info.props.append(tevIntRow<W>(QStringLiteral("LineSize"), &W::setLineSize, &W::getLineSize));
    PropertyDef color = tevTextRow<W>(
        QStringLiteral("LineColor"), 14, [](W* g, const QString& v) { g->setLineColor(tevColorFromArgbString(v)); },
        [](W* g) { return tevColorToArgbString(g->getLineColor()); });
    info.props.append(color);
    info.props.append(tevBoolRow<W>(QStringLiteral("ShowText"), &W::setShowText, &W::getShowText));
    return info;
}

void TEVQGroupBox::setText(const QString& text)
{
    if (TEVQGroupBoxImpl* d = painter())
        d->text = text;
}

const QString& TEVQGroupBox::getText() const
{
    static const QString none;
    return painter() ? painter()->text : none;
}

void TEVQGroupBox::setShowText(bool show)
{
    if (TEVQGroupBoxImpl* d = painter())
        d->showText = show;
}

bool TEVQGroupBox::getShowText() const { return painter() ? painter()->showText : true; }

void TEVQGroupBox::setTextStyle(CommonCtrlState, const TextStyleDesc& style)
{
    if (TEVQGroupBoxImpl* d = painter())
        d->textStyle = style;
}

const TextStyleDesc& TEVQGroupBox::getTextStyle(CommonCtrlState) const
{
    static const TextStyleDesc none;
    return painter() ? painter()->textStyle : none;
}

void TEVQGroupBox::setBackground(CommonCtrlState, const FillStyle& style)
{
    if (TEVQGroupBoxImpl* d = painter())
        d->background = style;
}

const FillStyle& TEVQGroupBox::getBackground(CommonCtrlState) const
{
    static const FillStyle none;
    return painter() ? painter()->background : none;
}

void TEVQGroupBox::setLineColor(QColor color)
{
    if (TEVQGroupBoxImpl* d = painter())
        d->lineColor = color;
}

QColor TEVQGroupBox::getLineColor() const { return painter() ? painter()->lineColor : QColor(0, 0, 0); }

void TEVQGroupBox::setLineSize(int size)
{
    if (TEVQGroupBoxImpl* d = painter())
        d->lineSize = size;
}

int TEVQGroupBox::getLineSize() const { return painter() ? painter()->lineSize : 1; }
