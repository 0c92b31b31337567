#pragma once
// Set-up shared by the theme and skin fuzz targets: the input as an archive file or as the files of a folder,
// the walk over everything a loaded store offers (images plain, disabled and tinted, SVGs, styles, theme elements,
// languages), and the reset of the default store between inputs.
#include "FuzzSupport.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QTemporaryDir>

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fuzzsupport {

inline void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// The application, with messages silenced (refused images and broken fonts are reported by design).
inline void resourceApplication(const char* name)
{
    static bool once = [name] {
        application(name);
        qInstallMessageHandler(&quiet);
        return true;
    }();
    (void)once;
}

inline bool writeBytes(const QString& path, const char* data, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data, size) == size;
}

// A file name of the input made safe: letters, digits, '.', '-', '_' and at most three '/'-separated components,
// none of them empty, "." or ".."; empty when nothing usable is left.
inline QString safeName(const QByteArray& raw)
{
    QStringList components;
    for (const QByteArray& component : raw.split('/')) {
        QString clean;
        for (char c : component) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
                c == '_')
                clean += QLatin1Char(c);
        }
        if (clean.isEmpty() || clean == QLatin1String(".") || clean == QLatin1String(".."))
            continue;
        components << clean.left(48);
    }
    return components.size() > 3 ? QString() : components.join(QLatin1Char('/'));
}

// The input as the files of a folder: records separated by the line "===", each a first line holding the file's
// path inside the folder (say "style.json", "images/a.png", "fonts/f.ttf") and the file's bytes after it. At
// most 16 files; the names of the files written are returned.
inline QStringList writeFiles(const uint8_t* data, size_t size, const QString& dir)
{
    static const QByteArray separator("\n===\n");
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QStringList written;
    int from = 0;
    while (from <= input.size() && written.size() < 16) {
        int to = input.indexOf(separator, from);
        if (to < 0)
            to = input.size();
        const QByteArray record = input.mid(from, to - from);
        from = to + separator.size();
        const int newline = record.indexOf('\n');
        const QString name = safeName(newline < 0 ? record : record.left(newline));
        if (name.isEmpty() || written.contains(name, Qt::CaseInsensitive))
            continue;
        const QString path = dir + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).absolutePath());
        const QByteArray bytes = newline < 0 ? QByteArray() : record.mid(newline + 1);
        if (writeBytes(path, bytes.constData(), bytes.size()))
            written << name;
    }
    return written;
}

// Drops the decoded images of the default and theme stores (not the built-in ones). Each image is within the
// caps, but an input of many small files that decode to the caps' size would otherwise keep them all cached.
inline void dropDecodedImages()
{
    using namespace TEVQtLib;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    for (TEVQResourceManagerImpl* store : {rm->defaultStore(), rm->themeStore()}) {
        if (!store)
            continue;
        for (auto it = store->imageCache.begin(); it != store->imageCache.end();) {
            if (it->first.startsWith(QLatin1String("IDB_")))
                ++it;
            else
                it = store->imageCache.erase(it);
        }
    }
}

// Every name asked for as an image (plain and disabled) and, for SVG names, as a renderer; each drawn plain,
// tinted and disabled into a small picture.
inline void touchImages(const QStringList& names)
{
    using namespace TEVQtLib;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    QImage canvas(24, 24, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    for (const QString& name : names) {
        rm->getImage(name, false);
        rm->getImage(name, true);
        if (TEVQWidgetBaseImpl::isSvgPath(name))
            rm->getSvgRenderer(name);
        IconStyleDesc style;
        TEVQWidgetBaseImpl::drawImageAt(&painter, name, style, 0, 0, 24, 24, false);
        TEVQWidgetBaseImpl::drawImageAt(&painter, name, style, 0, 0, 24, 24, true);
        style.useColor = true;
        TEVQWidgetBaseImpl::drawImageAt(&painter, name, style, 0, 0, 24, 24, false);
        TEVQWidgetBaseImpl::getImageSize(name, false);
        dropDecodedImages();
    }
}

// The file keys of a store (at most 32), as names to ask for.
inline QStringList fileNames(const TEVQtLib::TEVQResourceManagerImpl* store)
{
    QStringList names;
    if (!store)
        return names;
    for (const auto& f : store->files) {
        if (names.size() == 32)
            break;
        names << QString::fromUtf8(f.first);
    }
    return names;
}

// Every style of a store looked up by name (through the theme switch for the theme store), the store written
// back, and every theme element looked up.
inline void touchStore(TEVQtLib::TEVQResourceManagerImpl* store, bool theme)
{
    using namespace TEVQtLib;
    if (!store)
        return;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    const bool was = rm->isLoadFromThemeRes();
    rm->setSwitchToThemeRes(theme);
    QImage canvas(40, 30, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    FillStyle fill;
    TextStyleDesc text;
    int drawn = 0;
    for (const FillStyle& f : std::vector<FillStyle>(store->fillStyles)) {
        // Image fills draw nine slices of a theme image with the style's margins.
        if (rm->getFillStyle(f.name, fill) && drawn++ < 16) {
            TEVQWidgetBaseImpl::drawFillStyleAt(&painter, fill, 0, 0, 40, 30);
            dropDecodedImages();
        }
    }
    for (const TextStyleDesc& t : std::vector<TextStyleDesc>(store->textStyles)) {
        if (rm->getTextStyle(t.name, text) && drawn++ < 32)
            TEVQWidgetBaseImpl::drawTextAt(&painter, QStringLiteral("Fuzz"), text, 0, 0, 40, 30, true);
    }
    rm->setSwitchToThemeRes(was);
    Json::Value written;
    rm->writeStyle(store, written);
    for (const auto& element : store->elementIndex)
        rm->getThemeJsonValue(element.first.constData());
}

// Every language of the skin dictionary made current in turn.
inline void touchLanguages()
{
    using namespace TEVQtLib;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    const QStringList languages = rm->getLanguageList();
    for (int i = 0; i < languages.size() && i < 8; ++i) {
        rm->setCurrentLanguage(languages.at(i));
        rm->getString(QStringLiteral("k"));
        rm->getCurrentLanguage();
    }
}

// The default store back to what initialisation leaves: skin loads only ever add to it, which would carry one
// input's files, styles and fonts into the next. (The skin dictionary's tables stay: they have no reset.)
inline void resetDefaultStore()
{
    using namespace TEVQtLib;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    TEVQResourceManagerImpl* store = rm->defaultStore();
    rm->releaseRes();
    store->files.clear();
    store->styleFiles.clear();
    store->styleFileCount = 0;
    store->imageCache.clear();
    store->fonts.clear();
    store->fontFiles.clear();
    store->dirPath.clear();
    store->filePath.clear();
    QFontDatabase::removeAllApplicationFonts();
    rm->initDefaultImageRes();
}

} // namespace fuzzsupport
