#include "TEVQLCDNumber.h"

#include "TEVJson.h"
#include "TEVQControlInfo.h"

#include <QLocale>
#include <QPainter>
#include <QPointer>

#include <cmath>

using namespace TEVQtLib;

namespace {

// A number as text that reads back as the same number: whole numbers without exponent or decimals.
QString numberText(double v)
{
    if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 9007199254740992.0)
        return QString::number(qint64(v));
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQLCDNumberImpl::TEVQLCDNumberImpl(TEVQLCDNumber* ownerLcd) : TEVQWidgetBaseImpl(ownerLcd, TEVQLCDNumber::typeName())
{
}

TEVQLCDNumberImpl::~TEVQLCDNumberImpl() = default;

TEVQLCDNumber* TEVQLCDNumberImpl::lcd() const { return static_cast<TEVQLCDNumber*>(owner); }

void TEVQLCDNumberImpl::draw(QPainter* painter, const QRect& rect)
{
    // The digits' colour reaches the palette when it is set, not here: a palette change while painting would
    // post events and restyle the widget on every paint.
    m_back.draw(painter, background, rect);
}

bool TEVQLCDNumberImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQLCDNumber* l = lcd();
    if (!json || !l)
        return result;
    TEVStyleEntries styles;
    styles.fill(0, background);
    Json::Value& element = *json;
    if (load) {
        styles.read(element);
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs && json::isObject(*attrs)) {
            int digits = 0;
            if (json::read(*attrs, "digitCount", digits))
                // Within QLCDNumber's limit; at least one digit, since a count of 0 is not written and would
                // read back as the count the display had.
                l->setDigitCount(qBound(1, digits, 99));
            std::string text;
            if (json::read(*attrs, "color", text))
                l->setColor(stringToColor(text));
            if (json::read(*attrs, "text", text)) {
                // Written as UTF-8 like every text, so read as UTF-8. A number as the writer gives it is shown as
                // that number: the display fits it to its digits as it did when the number was first shown, where
                // the digit text, longer than the display, would show only its last digits.
                const QString shown = json::toQString(text);
                bool number = false;
                const double v = shown.toDouble(&number);
                if (number && numberText(v) == shown)
                    l->display(v);
                else
                    l->setNumText(shown);
            }
        }
        return result;
    }

    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& attrs = ownAttrs(element, {"digitCount", "color", "text"});
    if (l->digitCount() != 0)
        attrs["digitCount"] = l->digitCount();
    attrs["color"] = json::fromQString(tevColorToArgbString(l->getColor()));
    attrs["text"] = json::fromQString(l->getNumText());
    dropEmptyAttrs(element);
    return result;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQLCDNumber::TEVQLCDNumber(QWidget* parent) : QLCDNumber(parent)
{
    tevSetImpl(new TEVQLCDNumberImpl(this));
    setFrameStyle(0);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
}

TEVQLCDNumber::~TEVQLCDNumber() = default;

void TEVQLCDNumber::setBackground(CommonCtrlState, const FillStyle& style) { painter()->background = style; }

const FillStyle& TEVQLCDNumber::getBackground(CommonCtrlState) const { return painter()->background; }

void TEVQLCDNumber::setColor(const QColor& color)
{
    if (!color.isValid())
        return;
    painter()->textColor = color;
    QPalette p = palette();
    p.setBrush(QPalette::All, QPalette::WindowText, QBrush(color));
    setPalette(p);
}

QColor TEVQLCDNumber::getColor() const
{
    const QColor& c = painter()->textColor;
    return c.isValid() ? c : palette().color(QPalette::Active, QPalette::WindowText);
}

void TEVQLCDNumber::setNumText(const QString& text) { display(text); }

QString TEVQLCDNumber::getNumText() const
{
    const TEVQLCDNumberImpl* p = painter();
    const double v = value();
    if (!p->numText.isNull() && (p->numValue == v || (std::isnan(p->numValue) && std::isnan(v))))
        return p->numText;
    return numberText(v);
}

void TEVQLCDNumber::display(const QString& text)
{
    QLCDNumber::display(text);
    painter()->numText = text;
    painter()->numValue = value();
}

void TEVQLCDNumber::display(int number)
{
    // A number too long for the digits emits overflow(), whose receiver may delete the display.
    const QPointer<QWidget> alive(this);
    QLCDNumber::display(number);
    if (!alive)
        return;
    painter()->numText = QString::number(number);
    painter()->numValue = value();
}

void TEVQLCDNumber::display(double number)
{
    // A number too long for the digits emits overflow(), whose receiver may delete the display.
    const QPointer<QWidget> alive(this);
    QLCDNumber::display(number);
    if (!alive)
        return;
    painter()->numText = numberText(number);
    painter()->numValue = value();
}

void TEVQLCDNumber::paintEvent(QPaintEvent* event)
{
    tevForwardPaint(event);
    QLCDNumber::paintEvent(event);
}

ControlInfo TEVQLCDNumber::getProps()
{
    using W = TEVQLCDNumber;
    ControlInfo info = tevControlInfo(typeName(), "LCDNumber", "Control LCDNumber", "TEVQLCDNumber", "led");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground,
                                         {QStringLiteral("Normal"), QStringLiteral("Disable")}));
    info.props.append(tevIntRow<W>(QStringLiteral("DigitCount"), &QLCDNumber::setDigitCount, &QLCDNumber::digitCount));
    info.props.append(tevTextRow<W>(
        QStringLiteral("TextColor"), PropColor, [](W* l, const QString& v) { l->setColor(tevColorFromArgbString(v)); },
        [](W* l) { return tevColorToArgbString(l->getColor()); }));
    info.props.append(tevTextRow<W>(QStringLiteral("Text"), PropText, &W::setNumText, &W::getNumText));
    return info;
}
