#pragma once
// Shared helpers of the tests that read element JSON and styles: JSON text parsed through the framework's own
// layer, the resource manager's styles by name, and a view's viewport drawn into an image.
#include "TEVJson.h"
#include "TEVQResourceManager.h"

#include <QAbstractItemView>
#include <QImage>
#include <QtGlobal>

#include <string>

namespace tevtest {

// The JSON text as a value; a test whose own JSON does not parse stops at once.
inline Json::Value parse(const char* text)
{
    Json::Value v;
    if (!TEVQtLib::json::parse(std::string(text), v))
        qFatal("bad test JSON: %s", text);
    return v;
}

// The fill or text style filed under name (a default record when there is none).
inline TEVQtLib::FillStyle fill(const char* name)
{
    TEVQtLib::FillStyle f;
    TEVQtLib::TEVQResourceManager::getInstance()->getFillStyle(QString::fromLatin1(name), f);
    return f;
}

inline TEVQtLib::TextStyleDesc text(const char* name)
{
    TEVQtLib::TextStyleDesc t;
    TEVQtLib::TEVQResourceManager::getInstance()->getTextStyle(QString::fromLatin1(name), t);
    return t;
}

// The view's viewport drawn on a transparent image of its size.
// The result of check() with the resource manager's global font family set to family; the family it had is put
// back before returning.
template <class Check>
bool withGlobalFontFamily(const QString& family, Check check)
{
    TEVQtLib::TEVQResourceManager* rm = TEVQtLib::TEVQResourceManager::getInstance();
    const QString before = rm->getGlobalFontFamily();
    rm->setGlobalFontFamily(family);
    const bool result = check();
    rm->setGlobalFontFamily(before);
    return result;
}

inline QImage grabViewport(QAbstractItemView* view)
{
    QImage img(view->viewport()->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    view->viewport()->render(&img);
    return img;
}

} // namespace tevtest
