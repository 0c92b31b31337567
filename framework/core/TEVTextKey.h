#pragma once
// Control texts that name a dictionary key: a "text" attribute "|->key" keeps key and shows the resource
// manager's string for it, looked up again on a language change. Writers save the shown text, not the key.
#include "TEVQResourceManager.h"

#include <QLatin1String>
#include <QString>

namespace TEVQtLib {

inline QLatin1String textKeyPrefix() { return QLatin1String("|->"); }

// The key text names ("|->key" gives "key"), or a null string for a plain text.
inline QString textKeyOf(const QString& text)
{
    return text.startsWith(textKeyPrefix()) ? text.mid(textKeyPrefix().size()) : QString();
}

// The text shown for a text attribute: the dictionary string of its key (and key set), or the text itself
// (and key cleared).
inline QString resolveKeyedText(const QString& text, QString& key)
{
    key = textKeyOf(text);
    return key.isNull() ? text : TEVQResourceManager::getInstance()->getString(key);
}

} // namespace TEVQtLib
