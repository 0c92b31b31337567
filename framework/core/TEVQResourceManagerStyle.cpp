// Style JSON: the "style" array of a theme, skin, project or the compiled-in default style, read into a store
// and written back from one.
#include "TEVQResourceManager.h"

#include "TEVJson.h"

#include <cstring>

namespace TEVQtLib {

namespace {

// A text key as the JSON library converts it: strings, numbers and booleans give text, anything else is absent.
bool readText(const Json::Value& entry, const char* key, std::string& out)
{
    const Json::Value* v = json::find(entry, key);
    if (!v)
        return false;
    const std::optional<std::string> s = json::scalarToString(*v);
    if (!s)
        return false;
    out = *s;
    return true;
}

// A colour key's text as the JSON library converts it (strings, numbers and booleans), else the absent text.
QColor colorOf(const Json::Value& v, const char* absent)
{
    const std::optional<std::string> s = json::scalarToString(v);
    return tevColorFromArgbString(s ? *s : std::string(absent));
}

bool boolOf(const Json::Value& v, bool absent) { return json::toBool(v).value_or(absent); }
int intOf(const Json::Value& v, int absent) { return json::toInt(v).value_or(absent); }

// A member key of an entry, compared with the names it may be.
struct Key {
    const char* text;
    size_t length;
    template <size_t N>
    bool is(const char (&name)[N]) const
    {
        return length == N - 1 && std::memcmp(text, name, N - 1) == 0;
    }
};

FillStyle readFillEntry(const Json::Value& entry, const std::string& name, float scale, bool scaleMargins,
                        ImageDesc* documentMargins)
{
    static const QColor white = tevColorFromArgbString(std::string("ffffffff"));
    FillStyle style;
    style.name = json::toQString(name);
    style.valid = style.name != QLatin1String("empty");
    FillRes& res = style.fillRes;
    ImageDesc& desc = style.imageDesc;
    // What an absent key reads as (the record's own defaults where they agree).
    res.drawBorder = false;
    res.borderSize = 1;
    res.borderColor = white;
    res.fillColor = white;
    res.radius = 0;
    // An entry without "drawImg" paints its colour part: a style that names only a colour must not paint an
    // image it does not have.
    style.useFillStyle = true;
    json::forEachMember(entry, [&](const char* text, size_t length, const Json::Value& v) {
        const Key k{text, length};
        if (k.is("border"))
            res.drawBorder = boolOf(v, false);
        else if (k.is("borderSize"))
            res.borderSize = intOf(v, 1);
        else if (k.is("borderclr"))
            res.borderColor = colorOf(v, "ffffffff");
        else if (k.is("drawImg"))
            style.useFillStyle = !boolOf(v, false);
        else if (k.is("clr"))
            res.fillColor = colorOf(v, "ffffffff");
        else if (k.is("img")) {
            if (const std::optional<std::string> image = json::scalarToString(v))
                style.imageName = json::toQString(*image);
        } else if (k.is("round"))
            res.radius = intOf(v, 0);
        else if (k.is("roundTopLeft"))
            res.roundTopLeft = boolOf(v, true);
        else if (k.is("roundTopRight"))
            res.roundTopRight = boolOf(v, true);
        else if (k.is("roundBottomRight"))
            res.roundBottomRight = boolOf(v, true);
        else if (k.is("roundBottomLeft"))
            res.roundBottomLeft = boolOf(v, true);
        else if (k.is("leftBorder"))
            res.leftBorder = boolOf(v, true);
        else if (k.is("rightBorder"))
            res.rightBorder = boolOf(v, true);
        else if (k.is("topBorder"))
            res.topBorder = boolOf(v, true);
        else if (k.is("bottomBorder"))
            res.bottomBorder = boolOf(v, true);
        else if (k.is("repeatLeft"))
            desc.repeatLeft = boolOf(v, false);
        else if (k.is("repeatTop"))
            desc.repeatTop = boolOf(v, false);
        else if (k.is("repeatRight"))
            desc.repeatRight = boolOf(v, false);
        else if (k.is("repeatBottom"))
            desc.repeatBottom = boolOf(v, false);
        else if (k.is("repeatCenter"))
            desc.repeatCenter = boolOf(v, false);
        else if (k.is("margin") && json::isArray(v)) {
            auto element = [&](Json::ArrayIndex i) { return json::toInt(json::at(v, i)).value_or(0); };
            desc.top = element(0);
            desc.right = element(1);
            desc.bottom = element(2);
            desc.left = element(3);
        }
    });
    if (documentMargins)
        *documentMargins = desc;
    if (scaleMargins && scale < 1.0f) {
        desc.top = int(double(desc.top) * double(scale));
        desc.right = int(double(desc.right) * double(scale));
        desc.bottom = int(double(desc.bottom) * double(scale));
        desc.left = int(double(desc.left) * double(scale));
    }
    return style;
}

TextStyleDesc readTextEntry(const Json::Value& entry, const std::string& name)
{
    static const QColor black = tevColorFromArgbString(std::string("ff000000"));
    static const QString absentFamily = styleJsonDefaultFamily();
    TextStyleDesc style;
    style.name = json::toQString(name);
    style.color = black;
    style.family = absentFamily;
    json::forEachMember(entry, [&](const char* text, size_t length, const Json::Value& v) {
        const Key k{text, length};
        if (k.is("clr"))
            style.color = colorOf(v, "ff000000");
        else if (k.is("hor"))
            style.horAlign = intOf(v, 0);
        else if (k.is("ver"))
            style.verAlign = intOf(v, 1);
        else if (k.is("x"))
            style.offsetX = intOf(v, 0);
        else if (k.is("y"))
            style.offsetY = intOf(v, 0);
        else if (k.is("bold"))
            style.bold = boolOf(v, false);
        else if (k.is("underline"))
            style.underline = boolOf(v, false);
        else if (k.is("italic"))
            style.italic = boolOf(v, false);
        else if (k.is("isHor"))
            style.isHor = boolOf(v, true);
        else if (k.is("singleline"))
            style.singleLine = boolOf(v, true);
        else if (k.is("size"))
            style.pixelSize = intOf(v, 12);
        else if (k.is("family")) {
            if (const std::optional<std::string> family = json::scalarToString(v))
                style.family = json::toQString(*family);
        }
    });
    return style;
}

bool sameMargins(const ImageDesc& a, const ImageDesc& b)
{
    return a.left == b.left && a.right == b.right && a.top == b.top && a.bottom == b.bottom;
}

std::string utf8(const QString& s) { return json::fromQString(s); }

} // namespace

bool TEVQResourceManager::readStyle(TEVQResourceManagerImpl* store, const Json::Value& styles)
{
    if (!store)
        return false;
    const float scale = m_scaleFactor;
    const Json::ArrayIndex count = json::size(styles);
    for (Json::ArrayIndex i = 0; i < count; ++i) {
        const Json::Value& entry = json::at(styles, i);
        if (!json::isObject(entry))
            continue;
        const Json::Value* typeValue = json::find(entry, "type");
        if (!typeValue)
            continue;
        const std::optional<int> type = json::toInt(*typeValue);
        if (!type || (*type != 1 && *type != 2))
            continue;
        std::string name;
        readText(entry, "name", name);
        // The index key: the name's bytes, one byte per character.
        const QString key = QString::fromLatin1(name.data(), int(name.size()));
        if (*type == 1) {
            // Margins written back from the project store would shrink on every save; the project store keeps
            // the document's margins beside the shrunk ones.
            const bool project = store == m_projectStore.get();
            ImageDesc documentMargins;
            FillStyle style = readFillEntry(entry, name, scale, true, &documentMargins);
            if (project && scale < 1.0f && !sameMargins(style.imageDesc, documentMargins))
                store->unscaledMargins[key] = {style.imageDesc, documentMargins};
            else
                store->unscaledMargins.erase(key);
            // An ASCII name reads alike both ways: the record and the index then share one text.
            store->fileFillStyle(style.name == key ? style.name : key, style);
        } else {
            const TextStyleDesc style = readTextEntry(entry, name);
            store->fileTextStyle(style.name == key ? style.name : key, style);
        }
    }
    return true;
}

bool TEVQResourceManager::writeStyle(TEVQResourceManagerImpl* store, Json::Value& out)
{
    if (!store)
        return false;
    if (!out.isNull() && !json::isArray(out))
        out = Json::Value(Json::arrayValue);

    for (const FillStyle& style : store->fillStyles) {
        const FillRes& res = style.fillRes;
        ImageDesc desc = style.imageDesc;
        auto original = store->unscaledMargins.find(QString::fromLatin1(style.name.toUtf8()));
        if (original != store->unscaledMargins.end() && sameMargins(original->second.first, desc)) {
            desc.left = original->second.second.left;
            desc.right = original->second.second.right;
            desc.top = original->second.second.top;
            desc.bottom = original->second.second.bottom;
        }
        Json::Value e(Json::objectValue);
        e["type"] = 1;
        e["name"] = utf8(style.name);
        if (res.drawBorder)
            e["border"] = true;
        e["borderSize"] = res.borderSize;
        e["borderclr"] = utf8(tevColorToArgbString(res.borderColor));
        e["drawImg"] = !style.useFillStyle;
        e["clr"] = utf8(tevColorToArgbString(res.fillColor));
        e["img"] = utf8(style.imageName);
        if (res.radius != 0)
            e["round"] = res.radius;
        if (!res.roundTopLeft)
            e["roundTopLeft"] = false;
        if (!res.roundTopRight)
            e["roundTopRight"] = false;
        if (!res.roundBottomRight)
            e["roundBottomRight"] = false;
        if (!res.roundBottomLeft)
            e["roundBottomLeft"] = false;
        if (res.drawBorder) {
            if (!res.leftBorder)
                e["leftBorder"] = false;
            if (!res.rightBorder)
                e["rightBorder"] = false;
            if (!res.topBorder)
                e["topBorder"] = false;
            if (!res.bottomBorder)
                e["bottomBorder"] = false;
        }
        if (desc.repeatLeft)
            e["repeatLeft"] = true;
        if (desc.repeatTop)
            e["repeatTop"] = true;
        if (desc.repeatRight)
            e["repeatRight"] = true;
        if (desc.repeatBottom)
            e["repeatBottom"] = true;
        if (desc.repeatCenter)
            e["repeatCenter"] = true;
        const QString marginText =
            QStringLiteral("%1 %2 %3 %4").arg(desc.top).arg(desc.right).arg(desc.bottom).arg(desc.left);
        if (marginText != QLatin1String("0 0 0 0")) {
            Json::Value margin(Json::arrayValue);
            margin.append(desc.top);
            margin.append(desc.right);
            margin.append(desc.bottom);
            margin.append(desc.left);
            e["margin"] = margin;
        }
        out.append(e);
    }

    for (const TextStyleDesc& style : store->textStyles) {
        Json::Value e(Json::objectValue);
        e["type"] = 2;
        e["name"] = utf8(style.name);
        e["clr"] = utf8(tevColorToArgbString(style.color));
        e["hor"] = style.horAlign;
        e["ver"] = style.verAlign;
        if (style.offsetX != 0)
            e["x"] = style.offsetX;
        if (style.offsetY != 0)
            e["y"] = style.offsetY;
        if (style.bold)
            e["bold"] = true;
        if (style.underline)
            e["underline"] = true;
        if (style.italic)
            e["italic"] = true;
        if (!style.isHor)
            e["isHor"] = false;
        if (!style.singleLine)
            e["singleline"] = false;
        if (style.pixelSize != 12)
            e["size"] = style.pixelSize;
        e["family"] = utf8(style.family);
        out.append(e);
    }
    return true;
}

QString TEVQResourceManager::toProjectStyleString()
{
    Json::Value styles;
    if (m_projectStore) {
        styles = Json::Value(Json::arrayValue);
        writeStyle(m_projectStore.get(), styles);
    }
    Json::Value root(Json::objectValue);
    root["style"] = styles;
    return json::toQString(json::writeStyled(root));
}

QString TEVQResourceManager::toProjectStyleString(QString& out)
{
    out = toProjectStyleString();
    return out;
}

bool TEVQResourceManager::readStyleText(TEVQResourceManagerImpl* store, const QByteArray& text)
{
    Json::Value root;
    if (!json::parse(text, root))
        return false;
    const Json::Value* styles = json::find(root, "style");
    if (!styles)
        return false;
    return readStyle(store, *styles);
}

} // namespace TEVQtLib
