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

// Whether a language change is to show key's new string: only while the control still shows keyed, the text
// the key last gave it. A text set since (by code, or a slot) stays, and the key goes, as a plain "text"
// attribute makes it go.
inline bool keyStillShown(QString& key, QString& keyed, const QString& shown)
{
    if (key.isEmpty())
        return false;
    if (shown == keyed)
        return true;
    key.clear();
    keyed.clear();
    return false;
}

} // namespace TEVQtLib
