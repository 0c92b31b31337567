#include "TEVStyleDesc.h"

namespace TEVQtLib {

bool FillRes::operator==(const FillRes& o) const
{
    return fillColor == o.fillColor && gradientEndColor == o.gradientEndColor && borderColor == o.borderColor &&
           gradient == o.gradient && radius == o.radius && borderSize == o.borderSize && drawBorder == o.drawBorder &&
           leftBorder == o.leftBorder && topBorder == o.topBorder && rightBorder == o.rightBorder &&
           bottomBorder == o.bottomBorder && roundTopLeft == o.roundTopLeft && roundTopRight == o.roundTopRight &&
           roundBottomRight == o.roundBottomRight && roundBottomLeft == o.roundBottomLeft;
}

bool ImageDesc::operator==(const ImageDesc& o) const
{
    return left == o.left && right == o.right && top == o.top && bottom == o.bottom && repeatLeft == o.repeatLeft &&
           repeatRight == o.repeatRight && repeatTop == o.repeatTop && repeatBottom == o.repeatBottom &&
           repeatCenter == o.repeatCenter;
}

bool FillStyle::operator==(const FillStyle& o) const
{
    return type == o.type && name == o.name && valid == o.valid && useFillStyle == o.useFillStyle &&
           fillRes == o.fillRes && imageName == o.imageName && imageDesc == o.imageDesc;
}

bool tevSameFillLook(const FillStyle& a, const FillStyle& b)
{
    if (a.valid != b.valid || a.useFillStyle != b.useFillStyle)
        return false;
    return a.useFillStyle ? a.fillRes == b.fillRes : a.imageName == b.imageName;
}

bool TextStyleDesc::operator==(const TextStyleDesc& o) const
{
    return type == o.type && name == o.name && bold == o.bold && italic == o.italic && pixelSize == o.pixelSize &&
           underline == o.underline && family == o.family && color == o.color && offsetX == o.offsetX &&
           offsetY == o.offsetY && isHor == o.isHor && singleLine == o.singleLine && horAlign == o.horAlign &&
           verAlign == o.verAlign && textMode == o.textMode;
}

bool IconStyleDesc::operator==(const IconStyleDesc& o) const
{
    return offsetX == o.offsetX && offsetY == o.offsetY && useColor == o.useColor && color == o.color &&
           horAlign == o.horAlign && verAlign == o.verAlign;
}

bool TEVGlobalConfig::operator==(const TEVGlobalConfig& o) const
{
    return fontFamily == o.fontFamily && buttonFadeEnabled == o.buttonFadeEnabled &&
           buttonFadeDuration == o.buttonFadeDuration;
}

QString defaultTextStyleFamily()
{
    // "微锟斤拷锟脚猴拷"
    return QStringLiteral("\u5fae\u951f\u65a4\u62f7\u951f\u811a\u7334\u62f7");
}

QString styleJsonDefaultFamily()
{
    static const char bytes[] = "\xCE\xA2\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC5\xBA\xEF\xBF\xBD";
    return QString::fromUtf8(bytes, 16);
}

quint32 tevParseHex32(const char* text)
{
    if (!text)
        return 0;
    quint64 value = 0;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * 16 + quint64(digit);
        if (value > 0xFFFFFFFFull)
            value = 0xFFFFFFFFull + 1; // saturated; keep reading digits without overflow
    }
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : quint32(value);
}

quint32 tevParseHex32(const std::string& text) { return tevParseHex32(text.c_str()); }

QColor tevColorFromArgbString(const std::string& text)
{
    const quint32 v = tevParseHex32(text);
    return QColor(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF), int((v >> 24) & 0xFF));
}

QColor tevColorFromArgbString(const QString& text) { return tevColorFromArgbString(text.toStdString()); }

QString tevColorToArgbString(const QColor& color)
{
    return QString::asprintf("%02X%02X%02X%02X", color.alpha(), color.red(), color.green(), color.blue());
}

} // namespace TEVQtLib
