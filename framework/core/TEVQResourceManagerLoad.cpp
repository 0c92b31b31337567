// Filling the stores: theme directories and archives, skin directories and archives, project directories, the
// compiled-in default style, the built-in check and radio images, skin fonts and the skin dictionary.
//
// A theme or skin is read into a store of its own first and only taken over when the whole load succeeded,
// so that a broken theme or skin never replaces or damages the one in use.
#include "TEVQResourceManager.h"

#include "TEVAscii.h"
#include "TEVJson.h"
#include "TEVPlatform.h"
#include "TEVZipReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

namespace TEVQtLib {

namespace {

QByteArray readWhole(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray(); // an unreadable file is taken as empty
    return f.readAll();
}

// Whether a directory entry is taken as a file: anything but a pipe, socket or device (or a link to one), which
// reading would wait on for a writer or read without end. A link to nothing is an unreadable file (taken empty).
bool isFileEntry(const QFileInfo& info) { return info.isFile() || !info.exists(); }

// Files of a theme or project directory: the files directly inside it and those of its "images" folder.
bool walkDirectory(TEVQResourceManagerImpl* store, const QString& dir)
{
    if (dir.isEmpty())
        return false; // QDir("") would be the working directory
    const QDir root(platform::normalizeSeparators(dir));
    if (!root.exists())
        return false;
    const QFileInfoList entries = root.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::DirsFirst | QDir::Name);
    for (const QFileInfo& info : entries) {
        const QString name = info.fileName();
        if (info.isDir()) {
            if (name != QLatin1String("images"))
                continue;
            const QDir images(info.absoluteFilePath());
            const QFileInfoList files =
                images.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
            for (const QFileInfo& image : files) {
                if (isFileEntry(image))
                    store->addFile("images/" + asciiLower(image.fileName().toUtf8()), readWhole(image.absoluteFilePath()));
            }
            continue;
        }
        if (!isFileEntry(info) || name == QLatin1String("tmpTheme.zip"))
            continue;
        const QByteArray key = asciiLower(name.toUtf8());
        if (key == "style.json")
            store->styleFiles.append(readWhole(info.absoluteFilePath()));
        else
            store->addFile(key, readWhole(info.absoluteFilePath()));
    }
    return true;
}

// Every entry of an archive with a non-zero size; any entry that fails to extract fails the whole archive.
bool readArchive(TEVQResourceManagerImpl* store, TEVZipReader* zip)
{
    if (!zip)
        return false;
    QVector<TEVZipFile> files;
    const unsigned code = tevZipReadAll(zip, files);
    tevZipClose(zip);
    if (code != TEVZipOk)
        return false;
    for (const TEVZipFile& f : files) {
        const QByteArray key = asciiLower(f.name);
        if (key == "style.json") {
            store->styleFiles.append(f.data);
            ++store->styleFileCount;
        } else {
            store->addFile(key, f.data);
        }
    }
    return true;
}

// The "style" member of a style JSON text, or false.
bool parseStyleText(const QByteArray& text, Json::Value& styles)
{
    Json::Value root;
    // The member is moved out of the document, not copied.
    return !text.isEmpty() && json::parse(text, root) && json::take(root, "style", styles);
}

// "theme.json" of a store into its themeRoot; a missing or unreadable document leaves it null (the theme's
// styles and pictures still serve, its widget elements do not: an unreadable one is reported).
void readThemeDocument(TEVQResourceManagerImpl* store)
{
    store->themeRoot = Json::Value();
    const QByteArray* theme = store->file("theme.json");
    std::string error;
    if (theme && !json::parse(*theme, store->themeRoot, &error)) { // parsed in place; a failure leaves it null
        const QString& from = store->filePath.isEmpty() ? store->dirPath : store->filePath;
        qWarning("Theme document theme.json of %s is not valid JSON (%s): the theme's widget elements are not used",
                 qUtf8Printable(from), error.c_str());
    }
}

QByteArray pathBytes(const QString& path) { return QFile::encodeName(platform::normalizeSeparators(path)); }

QImage blankBuiltIn()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Takes the styles of the last style file and the theme document of a theme store whose files are read; false
// when it has no style file or its styles do not parse.
bool readThemeStore(TEVQResourceManager* manager, TEVQResourceManagerImpl* store)
{
    if (store->styleFiles.isEmpty())
        return false;
    Json::Value styles;
    if (!parseStyleText(store->styleFiles.last(), styles))
        return false;
    manager->readStyle(store, styles);
    readThemeDocument(store);
    store->buildElementIndex();
    store->loaded = true;
    return true;
}

} // namespace

bool TEVQResourceManager::loadThemeDir(const QString& dir)
{
    ++m_resourceSerial;
    if (m_themeStore && m_themeStore->loaded && m_themeStore->filePath.isEmpty() && m_themeStore->dirPath == dir)
        return true;
    std::unique_ptr<TEVQResourceManagerImpl> store(new TEVQResourceManagerImpl);
    store->dirPath = dir;
    if (!walkDirectory(store.get(), dir) || !readThemeStore(this, store.get()))
        return false;
    replaceStore(m_themeStore, std::move(store));
    themeChange();
    return true;
}

bool TEVQResourceManager::loadThemeFile(const QString& path)
{
    ++m_resourceSerial;
    if (path.isEmpty())
        return false;
    std::unique_ptr<TEVQResourceManagerImpl> store(new TEVQResourceManagerImpl);
    store->filePath = path;
    if (!readArchive(store.get(), tevZipOpenFile(pathBytes(path).constData())) || !readThemeStore(this, store.get()))
        return false;
    replaceStore(m_themeStore, std::move(store));
    return true;
}

namespace {

// Takes the files of a skin archive read aside into the default store: the first file of a key wins.
void mergeFiles(TEVQResourceManagerImpl* target, const TEVQResourceManagerImpl& source)
{
    for (const auto& f : source.files)
        target->addFile(f.first, f.second);
    // Only the last style file is ever read: keeping every one would grow the store by a style file per load.
    if (!source.styleFiles.isEmpty())
        target->styleFiles = QList<QByteArray>{source.styleFiles.last()};
    target->styleFileCount += source.styleFileCount;
}

// The styles of the last style file the default store holds; false when there is none or it does not parse.
bool parseSkinStyles(const TEVQResourceManagerImpl& defaults, Json::Value& styles)
{
    return !defaults.styleFiles.isEmpty() && parseStyleText(defaults.styleFiles.last(), styles);
}

} // namespace

bool TEVQResourceManager::loadSkinFile(const QString& path)
{
    ++m_resourceSerial;
    if (path.isEmpty())
        return false;
    // The path is the skin's before anything is read, and stays when the load fails.
    m_defaultStore->filePath = path;
    if (!loadSkinArchive(tevZipOpenFile(pathBytes(path).constData())))
        return false;
    if (const QByteArray* language = m_defaultStore->file("language.txt"))
        readLanguage(*language);
    return true;
}

bool TEVQResourceManager::loadSkinFile(const char* data, int size)
{
    ++m_resourceSerial;
    if (!data || size <= 0)
        return false;
    return loadSkinArchive(tevZipOpenMemory(data, unsigned(size)));
}

bool TEVQResourceManager::loadSkinArchive(TEVZipReader* zip)
{
    // Read aside first: an archive with one bad entry puts nothing into the store. Once read, its entries stay
    // even when its style file turns out to be bad.
    TEVQResourceManagerImpl aside;
    if (!readArchive(&aside, zip))
        return false;
    mergeFiles(m_defaultStore.get(), aside);
    m_defaultStore->dropLoosePictures(); // the skin's files may hold names that were found as loose files
    initFontRes(false);
    Json::Value styles;
    if (!parseSkinStyles(*m_defaultStore, styles))
        return false;
    readStyle(m_defaultStore.get(), styles);
    return true;
}

bool TEVQResourceManager::setSkinDirPath(const QString& dir)
{
    ++m_resourceSerial;
    if (dir.isEmpty())
        return false;
    // Either separator may end the path; it is kept with one '/' at the end. The folder is the skin's before
    // its style file is read, so that its pages and images are found even when that file is missing or bad.
    QString dirPath = platform::normalizeSeparators(dir);
    if (!dirPath.endsWith(QLatin1Char('/')))
        dirPath += QLatin1Char('/');
    m_defaultStore->dirPath = dirPath;
    // Pictures decoded from the folder's files are decoded again: this folder (or the same one, its files
    // replaced) may hold others under the same names.
    m_defaultStore->dropLoosePictures();
    const QString stylePath = platform::resolveCaseInsensitive(dirPath, QStringLiteral("style.json"));
    const QByteArray styleText = QFileInfo(stylePath).isFile() ? readWhole(stylePath) : QByteArray();
    Json::Value styles;
    if (!parseStyleText(styleText, styles))
        return false;
    readStyle(m_defaultStore.get(), styles);
    const QString languagePath = platform::resolveCaseInsensitive(dirPath, QStringLiteral("language.txt"));
    if (QFileInfo(languagePath).isFile()) {
        const QByteArray language = readWhole(languagePath);
        if (!language.isEmpty())
            readLanguage(language);
    }
    return true;
}

bool TEVQResourceManager::setProjectDirPath(const QString& dir)
{
    ++m_resourceSerial;
    replaceStore(m_projectStore, std::unique_ptr<TEVQResourceManagerImpl>(new TEVQResourceManagerImpl));
    TEVQResourceManagerImpl* store = m_projectStore.get();
    store->filePath = dir;
    if (!walkDirectory(store, dir) || store->styleFiles.isEmpty())
        return false;
    Json::Value styles;
    if (!parseStyleText(store->styleFiles.last(), styles))
        return false;
    readStyle(store, styles);
    readThemeDocument(store);
    store->loaded = true;
    return true;
}

void TEVQResourceManager::initDefaultStyleRes()
{
    QFile f(QStringLiteral(":/style/resources/style/defaultStyle.json"));
    if (!f.exists() || f.size() == 0 || !f.open(QIODevice::ReadOnly))
        return;
    Json::Value styles;
    if (parseStyleText(f.readAll(), styles))
        readStyle(m_defaultStore.get(), styles);
}

void TEVQResourceManager::initDefaultImageRes()
{
    ++m_resourceSerial;
    const QPen pen(QColor::fromRgba(0xFFCCCCCCu), 1);
    const QRect box(1, 1, 14, 14);
    auto store = [this](const char* name, const QImage& image) {
        m_defaultStore->imageCache[QString::fromLatin1(name)].reset(new QImage(image));
    };

    QImage unselect = blankBuiltIn();
    {
        QPainter p(&unselect);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(pen);
        p.drawEllipse(box);
    }
    QImage selected = blankBuiltIn();
    {
        QPainter p(&selected);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(pen);
        p.drawEllipse(box);
        p.setBrush(pen.color());
        p.drawEllipse(QPointF(8, 8), 4, 4);
    }
    QImage uncheck = blankBuiltIn();
    {
        QPainter p(&uncheck);
        p.setPen(pen);
        p.drawRect(box);
    }
    QImage checked = blankBuiltIn();
    {
        QPainter p(&checked);
        p.setPen(pen);
        p.drawRect(box);
        p.setRenderHint(QPainter::Antialiasing);
        const QPoint tick[] = {QPoint(4, 9), QPoint(8, 13), QPoint(14, 3)};
        p.drawPolyline(tick, 3);
    }
    store("IDB_UNSELECT", unselect);
    store("IDB_SELECTED", selected);
    store("IDB_UNCHECK", uncheck);
    store("IDB_CHECKED", checked);
}

void TEVQResourceManager::initFontRes(bool fromDir)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return; // fonts need the GUI application
    TEVQResourceManagerImpl* store = m_defaultStore.get();
    auto remember = [store](int id) {
        if (id < 0)
            return;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            store->fonts[families.first()] = id;
    };
    if (fromDir) {
        if (store->dirPath.isEmpty())
            return;
        const QDir fonts(platform::joinPath(store->dirPath, QStringLiteral("fonts")));
        if (!fonts.exists())
            return;
        for (const QFileInfo& info : fonts.entryInfoList(QDir::Files, QDir::Name))
            remember(QFontDatabase::addApplicationFont(info.absoluteFilePath()));
        return;
    }
    // The bytes under a key never change (the first file of a key wins), so a font file registered once is not
    // registered again when a later skin load walks the store: each would add one more application font.
    for (const auto& f : store->files) {
        if (f.first.size() < 5 || !f.first.contains("fonts") || !store->fontFiles.insert(f.first).second)
            continue;
        remember(QFontDatabase::addApplicationFontFromData(f.second));
    }
}

bool TEVQResourceManager::readLanguage(const QByteArray& data)
{
    // UTF-16 little-endian, decoded byte by byte; an odd last byte is dropped.
    const int count = data.size() / 2;
    QString text;
    text.reserve(count);
    const uchar* bytes = reinterpret_cast<const uchar*>(data.constData());
    for (int i = 0; i < count; ++i)
        text.append(QChar(ushort(bytes[2 * i] | (bytes[2 * i + 1] << 8))));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    const QStringList lines = text.split(QStringLiteral("\r\n"), Qt::KeepEmptyParts);
    if (lines.size() < 2)
        return false;
    const QStringList header = lines.first().split(QLatin1Char('\t'), Qt::KeepEmptyParts);
    if (header.size() < 2 || header.first() != QLatin1String("Language"))
        return false;
    QStringList columns;
    for (int i = 1; i < header.size(); ++i) {
        m_languageTables[header.at(i)].clear();
        columns.append(header.at(i));
    }
    if (!m_hasCurrentLanguage && !columns.isEmpty()) {
        m_currentLanguage = columns.first();
        m_hasCurrentLanguage = true;
    }
    for (int l = 1; l < lines.size(); ++l) {
        const QStringList fields = lines.at(l).split(QLatin1Char('\t'), Qt::KeepEmptyParts);
        if (fields.size() < 2)
            continue;
        for (int k = 0; k < columns.size() && k + 1 < fields.size(); ++k)
            m_languageTables[columns.at(k)][fields.first()] = fields.at(k + 1);
    }
    return true;
}

} // namespace TEVQtLib
