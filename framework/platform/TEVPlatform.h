#pragma once
// The small layer that stands in for the operating-system calls the framework was first written against:
// the module file name, path joining with either separator, case-blind file names and the
// "Microsoft YaHei UI" font family.
#include "TEVGlobal.h"

#include <QString>
#include <QStringList>

namespace TEVQtLib {
namespace platform {

// Full path of the running executable (/proc/self/exe), or the application's file path as a fallback.
// Works before the application object exists.
TEV_EXPORT QString moduleFilePath();

// Every backslash turned into a slash.
TEV_EXPORT QString normalizeSeparators(const QString& path);

// dir and name joined with exactly one '/', backslashes turned into slashes. An empty dir gives the name.
TEV_EXPORT QString joinPath(const QString& dir, const QString& name);

// The path of name inside dir: the exact path when it exists, else the one directory entry whose last
// component equals name case-insensitively, else the exact (missing) path. Only the last component of name
// is matched without case.
TEV_EXPORT QString resolveCaseInsensitive(const QString& dir, const QString& name);

// Like resolveCaseInsensitive for a whole path: only the last component is looked up without case.
TEV_EXPORT QString resolveCaseInsensitive(const QString& path);

// The font family "Microsoft YaHei UI" does not exist here: map it to the installed CJK font.
TEV_EXPORT void installFontSubstitutions();

// The family names "Microsoft YaHei UI" is substituted by, best first.
TEV_EXPORT QStringList cjkFallbackFamilies();

} // namespace platform
} // namespace TEVQtLib
