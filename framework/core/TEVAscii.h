#pragma once
// Byte-wise case folding for resource keys: only ASCII letters change, whatever the locale or the encoding.
#include <QByteArray>

namespace TEVQtLib {

// ASCII letters lower-cased, every other byte kept.
inline QByteArray asciiLower(QByteArray bytes)
{
    for (char& c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return bytes;
}

} // namespace TEVQtLib
