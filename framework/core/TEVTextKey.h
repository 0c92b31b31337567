#pragma once
// Control texts that name a dictionary key: a "text" attribute "|->key" keeps key and shows the resource
// manager's string for it, looked up again on a language change. Writers save the shown text, not the key.
#include "TEVQResourceManager.h"

#include <QLatin1String>
#include <QString>

namespace TEVQtLib {

inline QLatin1String textKeyPrefix() { return QLatin1String("|->"); }

// True when text names a dictionary key; key is then the rest of it (possibly empty).
inline bool textKeyOf(const QString& text, QString& key)
{
    if (!text.startsWith(textKeyPrefix()))
        return false;
    key = text.mid(textKeyPrefix().size());
    return true;
}

// The text shown for a text attribute: the dictionary string of its key (key set), or the text itself (key
// cleared).
inline QString resolveKeyedText(const QString& text, QString& key)
{
    if (textKeyOf(text, key))
        return TEVQResourceManager::getInstance()->getString(key);
    key.clear();
    return text;
}

} // namespace TEVQtLib
