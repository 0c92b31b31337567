#pragma once
// The framework's free functions: start-up, themes, skins and projects, styles, the global configuration,
// dictionaries and languages. Most of them forward to the resource manager, the language manager, the
// control registry (TEVQControlRegistry.h) or the page loader (TEVQPageLoader.h); the design-time flags are in
// TEVFlags.h. This header brings all of them.
//
// Order of use: tevEnableHighDpi before the application object exists; init once after it; then themes,
// skins, dictionaries, configuration and control registrations; then windows and pages. The theme, skin and
// project functions refuse (false) before init; the others work at any time. GUI thread only, except
// tevGetStyle.
#include "TEVFlags.h"
#include "TEVGlobal.h"
#include "TEVQControlRegistry.h"
#include "TEVQPageLoader.h"
#include "TEVStyleDesc.h"

#include <QString>
#include <QVector>

class QStyle;

namespace TEVQtLib {

class LanguageManager;

// Once per process, after the QApplication exists: installs the framework's proxy style on the application,
// fills the control registry and runs the designer-host test, paints the built-in images, reads the built-in
// default style, maps "Microsoft YaHei UI" to the installed CJK font and connects widgets' cloneWidget to the
// page loader. Later calls do nothing. Without a QApplication it warns and does nothing (a later call after
// the application exists initialises).
TEV_EXPORT void init();
// Nothing to release; called on every exit of main after init.
TEV_EXPORT void shutdown();

// High-DPI scaling and high-DPI pixmaps on or off; before the application object is created.
TEV_EXPORT void tevEnableHighDpi(bool on);

// The framework's proxy style, made on the first call (safe from any thread) and the same object after. The
// application that has it installed owns it; once that application has destroyed it, the next call makes a
// new one.
TEV_EXPORT QStyle* tevGetStyle();

// ---- themes, skins, projects: false before init ----
TEV_EXPORT bool tevLoadThemeDir(const char* dir);   // dir as UTF-8
TEV_EXPORT bool tevLoadThemeFile(const char* file); // file as UTF-8
// The scale factor becomes scale, then the skin archive is loaded.
TEV_EXPORT bool tevLoadSkinFile(const QString& path, float scale);
// The scale factor becomes scale, then the skin directory is set.
TEV_EXPORT bool tevSetSkinFilePath(const QString& path, float scale);
TEV_EXPORT bool tevSetProjectFilePath(const QString& path);
// Every registered window and designer window re-reads its theme.
TEV_EXPORT bool tevNotifyThemeChange();

// ---- styles ----
// False, with out unchanged, for a name the style store in use does not hold.
TEV_EXPORT bool tevGetFillStyle(const QString& name, FillStyle& out);
TEV_EXPORT bool tevGetTextStyle(const QString& name, TextStyleDesc& out);
// The same lookups in the project store; the project switch is as it was afterwards.
TEV_EXPORT bool tevGetProjectFillStyle(const QString& name, FillStyle& out);
TEV_EXPORT bool tevGetProjectTextStyle(const QString& name, TextStyleDesc& out);
// Inserts or replaces the named style in the store in use (the default store, or the project store in
// project mode).
TEV_EXPORT void tevSetFillStyle(const QString& name, FillStyle& style);
TEV_EXPORT void tevSetTextStyle(const QString& name, TextStyleDesc& style);
// The same in the project store (nothing without one); the project switch is as it was afterwards.
TEV_EXPORT void tevSetProjectFillStyle(const QString& name, FillStyle& style);
TEV_EXPORT void tevSetProjectTextStyle(const QString& name, TextStyleDesc& style);
// The resource manager's lists (the project store's when there is one, else the default store's), as they are
// at the call; the reference stays valid until the next call of the same function.
TEV_EXPORT const QVector<FillStyle>& tevGetAllFillStyle();
TEV_EXPORT const QVector<TextStyleDesc>& tevGetAllTextStyle();

// ---- global configuration ----
TEV_EXPORT void tevSetGlobalConfig(const TEVGlobalConfig& config);
TEV_EXPORT const TEVGlobalConfig& tevGetGlobalConfig();
TEV_EXPORT void tevSetGlobalFontFamily(const QString& family);
TEV_EXPORT QString tevGetGlobalFontFamily();

// ---- dictionary and language ----
TEV_EXPORT LanguageManager* tevGetLanguageManager();
TEV_EXPORT bool tevLoadLanguageFile(const QString& path, QString* error);
TEV_EXPORT bool tevSetLanguage(const QString& language);
TEV_EXPORT QString tevGetLanguage();
TEV_EXPORT QString tevText(const QString& key, const QString& fallback);

namespace detail {
// Defined by TEVQBuiltinControls.cpp: a new proxy style of the framework.
QStyle* createFrameworkStyle();
} // namespace detail

} // namespace TEVQtLib
