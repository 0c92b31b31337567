#include "TEVQtLib.h"

#include "LanguageManager.h"
#include "TEVPlatform.h"
#include "TEVQResourceManager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QStyle>

#include <mutex>

namespace TEVQtLib {

namespace {

bool g_initialized = false;

TEVQResourceManager* resources() { return TEVQResourceManager::getInstance(); }

// Switches the resource manager to project resources for a scope and puts the switch back as it was (the
// design canvas keeps project mode on; a lookup must not turn it off under it).
class ProjectResScope
{
public:
    ProjectResScope() : m_was(resources()->isProjectRes()) { resources()->setSwitchToProjectRes(true); }
    ~ProjectResScope() { resources()->setSwitchToProjectRes(m_was); }
    ProjectResScope(const ProjectResScope&) = delete;
    ProjectResScope& operator=(const ProjectResScope&) = delete;

private:
    bool m_was;
};

std::mutex& styleMutex()
{
    static std::mutex m;
    return m;
}

} // namespace

void init()
{
    if (g_initialized)
        return;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        qWarning("TEVQtLib::init needs the QApplication: create it first");
        return;
    }
    QApplication::setStyle(tevGetStyle());
    tevInitQtControl();
    TEVQResourceManager* rm = resources();
    rm->initDefaultImageRes();
    rm->initDefaultStyleRes();
    platform::installFontSubstitutions();
    detail::installPageLoaderHooks();
    g_initialized = true;
}

void shutdown() {}

void tevEnableHighDpi(bool on)
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, on);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, on);
}

QStyle* tevGetStyle()
{
    // QApplication::setStyle takes the style over and deletes it with the application (or when another style
    // replaces it), so the style is only watched here, never owned.
    static QPointer<QStyle> style;
    std::lock_guard<std::mutex> lock(styleMutex());
    if (!style)
        style = detail::createFrameworkStyle();
    return style.data();
}

// ---- themes, skins, projects ----------------------------------------------------------------------------------

bool tevLoadThemeDir(const char* dir)
{
    if (!g_initialized || !dir)
        return false;
    return resources()->loadThemeDir(QString::fromUtf8(dir));
}

bool tevLoadThemeFile(const char* file)
{
    if (!g_initialized || !file)
        return false;
    return resources()->loadThemeFile(QString::fromUtf8(file));
}

bool tevLoadSkinFile(const QString& path, float scale)
{
    if (!g_initialized)
        return false;
    resources()->setScaleFactor(scale);
    return resources()->loadSkinFile(path);
}

bool tevSetSkinFilePath(const QString& path, float scale)
{
    if (!g_initialized)
        return false;
    resources()->setScaleFactor(scale);
    return resources()->setSkinDirPath(path);
}

bool tevSetProjectFilePath(const QString& path)
{
    if (!g_initialized)
        return false;
    return resources()->setProjectDirPath(path);
}

bool tevNotifyThemeChange()
{
    if (!g_initialized)
        return false;
    return resources()->themeChange();
}

// ---- styles ---------------------------------------------------------------------------------------------------

bool tevGetFillStyle(const QString& name, FillStyle& out) { return resources()->getFillStyle(name, out); }

bool tevGetTextStyle(const QString& name, TextStyleDesc& out) { return resources()->getTextStyle(name, out); }

bool tevGetProjectFillStyle(const QString& name, FillStyle& out)
{
    ProjectResScope project;
    return resources()->getFillStyle(name, out);
}

bool tevGetProjectTextStyle(const QString& name, TextStyleDesc& out)
{
    ProjectResScope project;
    return resources()->getTextStyle(name, out);
}

void tevSetFillStyle(const QString& name, FillStyle& style) { resources()->setFillStyle(name, style); }

void tevSetTextStyle(const QString& name, TextStyleDesc& style) { resources()->setTextStyle(name, style); }

void tevSetProjectFillStyle(const QString& name, FillStyle& style)
{
    ProjectResScope project;
    resources()->setFillStyle(name, style);
}

void tevSetProjectTextStyle(const QString& name, TextStyleDesc& style)
{
    ProjectResScope project;
    resources()->setTextStyle(name, style);
}

const QVector<FillStyle>& tevGetAllFillStyle()
{
    static QVector<FillStyle> list;
    const std::vector<FillStyle>& styles = resources()->getFillStyles();
    list = QVector<FillStyle>(styles.begin(), styles.end());
    return list;
}

const QVector<TextStyleDesc>& tevGetAllTextStyle()
{
    static QVector<TextStyleDesc> list;
    const std::vector<TextStyleDesc>& styles = resources()->getTextStyles();
    list = QVector<TextStyleDesc>(styles.begin(), styles.end());
    return list;
}

// ---- global configuration -------------------------------------------------------------------------------------

void tevSetGlobalConfig(const TEVGlobalConfig& config) { resources()->setGlobalConfig(config); }

const TEVGlobalConfig& tevGetGlobalConfig() { return resources()->getGlobalConfig(); }

void tevSetGlobalFontFamily(const QString& family) { resources()->setGlobalFontFamily(family); }

QString tevGetGlobalFontFamily() { return resources()->getGlobalFontFamily(); }

// ---- dictionary and language ----------------------------------------------------------------------------------

LanguageManager* tevGetLanguageManager() { return LanguageManager::instance(); }

bool tevLoadLanguageFile(const QString& path, QString* error)
{
    return LanguageManager::instance()->loadFromFile(path, error);
}

bool tevSetLanguage(const QString& language) { return LanguageManager::instance()->setLanguage(language); }

QString tevGetLanguage() { return LanguageManager::instance()->currentLanguage(); }

QString tevText(const QString& key, const QString& fallback) { return LanguageManager::instance()->text(key, fallback); }

} // namespace TEVQtLib
