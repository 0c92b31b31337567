#include "TEVQResourceManager.h"

#include "LanguageManager.h"
#include "TEVAscii.h"
#include "TEVJson.h"
#include "TEVPlatform.h"

#include "ITEVQWidgetBase.h"
#include "TEVQWidgetBase.h"

#include <QApplication>
#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QRandomGenerator>
#include <QSet>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>

namespace TEVQtLib {

namespace {

template <class Style>
void fileStyle(std::vector<Style>& list, TEVStyleNameIndex& index, const QString& key, const Style& style)
{
    const int position = index.find(key);
    if (position >= 0 && size_t(position) < list.size()) {
        list[size_t(position)] = style;
        return;
    }
    list.push_back(style);
    index.insert(key, int(list.size() - 1));
}

// A seed drawn once per process, so that which names share a slot cannot be planned by a theme's author.
quint64 nameHashSeed()
{
    static const quint64 seed = QRandomGenerator::system()->generate64();
    return seed;
}

inline quint64 load64(const unsigned char* p)
{
    quint64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline quint64 load32(const unsigned char* p)
{
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The two halves of the 128-bit product of a and b, folded.
inline quint64 foldedProduct(quint64 a, quint64 b)
{
#ifdef __SIZEOF_INT128__
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return quint64(r) ^ quint64(r >> 64);
#else
    const quint64 aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const quint64 lo = aLo * bLo, mid1 = aHi * bLo, mid2 = aLo * bHi, hi = aHi * bHi;
    const quint64 mid = (lo >> 32) + (mid1 & 0xFFFFFFFFu) + (mid2 & 0xFFFFFFFFu);
    return ((mid << 32) | (lo & 0xFFFFFFFFu)) ^ (hi + (mid1 >> 32) + (mid2 >> 32) + (mid >> 32));
#endif
}

// Hash of a name's UTF-16 text. Up to 32 bytes (the usual style name) it takes two independent products of
// the first and the last 16 bytes (which may overlap); longer names are taken 16 bytes per step.
inline quint64 nameHash(const QChar* chars, int size, quint64 seed)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(chars);
    const size_t length = size_t(size) * sizeof(QChar);
    seed ^= quint64(length) * 0x9E3779B97F4A7C15ull;
    if (length > 16) {
        quint64 h = seed;
        size_t left = length;
        for (; left > 32; left -= 16, p += 16)
            h = foldedProduct(load64(p) ^ 0xA0761D6478BD642Full, load64(p + 8) ^ h);
        const unsigned char* last = p + left - 16;
        return foldedProduct(load64(p) ^ 0xE7037ED1A0B428DBull, load64(p + 8) ^ h)
            ^ foldedProduct(load64(last) ^ 0x8EBC6AF09C88C6E3ull, load64(last + 8) ^ seed ^ 0x589965CC75374CC3ull);
    }
    quint64 a = 0;
    quint64 b = 0;
    if (length >= 8) {
        a = load64(p);
        b = load64(p + length - 8);
    } else if (length >= 4) {
        a = load32(p);
        b = load32(p + length - 4);
    } else if (length > 0) {
        a = quint64(p[0]) | (quint64(p[1]) << 8);
    }
    return foldedProduct(a ^ 0xE7037ED1A0B428DBull, b ^ seed);
}

// Equal texts of size characters. Texts up to 16 characters are compared in four overlapping 8-byte pieces
// without a loop, so that names of varying lengths do not cost a mispredicted branch each.
inline bool sameChars(const QChar* x, const QChar* y, int size)
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(x);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(y);
    const size_t n = size_t(size) * sizeof(QChar);
    if (n >= 16) {
        quint64 diff = (load64(a) ^ load64(b)) | (load64(a + 8) ^ load64(b + 8));
        for (size_t i = 16; i + 16 < n; i += 8)
            diff |= load64(a + i) ^ load64(b + i);
        diff |= (load64(a + n - 16) ^ load64(b + n - 16)) | (load64(a + n - 8) ^ load64(b + n - 8));
        return diff == 0;
    }
    if (n >= 8)
        return ((load64(a) ^ load64(b)) | (load64(a + n - 8) ^ load64(b + n - 8))) == 0;
    if (n >= 4)
        return ((load32(a) ^ load32(b)) | (load32(a + n - 4) ^ load32(b + n - 4))) == 0;
    return n == 0 || (a[0] == b[0] && a[1] == b[1]);
}

QByteArray resourceKey(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return asciiLower(n.toUtf8());
}

QString existingFile(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QString resolved = platform::resolveCaseInsensitive(path);
    const QFileInfo info(resolved);
    return info.exists() && info.isFile() ? resolved : QString();
}

// Looks `key` up in the cache `cache` of each store in turn; true with the entry of the first store that has one.
template <class T>
bool findCached(std::initializer_list<TEVQResourceManagerImpl*> stores,
                std::map<QString, std::unique_ptr<T>> TEVQResourceManagerImpl::*cache, const QString& key, T*& found)
{
    for (TEVQResourceManagerImpl* store : stores) {
        if (!store)
            continue;
        auto it = (store->*cache).find(key);
        if (it != (store->*cache).end()) {
            found = it->second.get();
            return true;
        }
    }
    return false;
}

// A loose file for a resource name: in the default folder, as given, then in the default folder's "images".
QString looseResourceFile(const QString& dir, const QString& name)
{
    QString path = dir.isEmpty() ? QString() : existingFile(platform::joinPath(dir, name));
    if (path.isEmpty())
        path = existingFile(name);
    if (path.isEmpty() && !dir.isEmpty())
        path = existingFile(platform::joinPath(platform::joinPath(dir, QStringLiteral("images")), name));
    return path;
}

TEVQResourceManagerImpl* storeOf(ResSourceType source, TEVQResourceManagerImpl* defaultStore,
                                 TEVQResourceManagerImpl* projectStore, TEVQResourceManagerImpl* themeStore)
{
    return source == ResSourceTheme ? themeStore : source == ResSourceProject ? projectStore : defaultStore;
}

// The disabled look of an image as the application style draws disabled icons.
QImage disabledImage(const QImage& image)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const QIcon icon(QPixmap::fromImage(image));
        return icon.pixmap(image.size(), QIcon::Disabled, QIcon::Off).toImage();
    }
    // Without a GUI application there is no style to ask: a plain desaturated copy.
    QImage gray = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < gray.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(gray.scanLine(y));
        for (int x = 0; x < gray.width(); ++x) {
            const int g = qGray(line[x]);
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    return gray;
}

// Whether a refusal of this name is still to be reported: refused images are asked for again on every paint, as
// missing ones are, and are reported once.
bool firstRefusal(const QString& name)
{
    static QSet<QString> reported;
    if (reported.contains(name))
        return false;
    reported.insert(name);
    return true;
}

// Reads an image whose declared size is within the caps; a picture over them is refused with a warning before
// the decoder allocates anything of its size. A format that cannot tell the size beforehand is refused too:
// its decoder could not be bounded. Null for refused and undecodable images.
QImage readBoundedImage(QImageReader& reader, const QString& name)
{
    if (!reader.canRead())
        return QImage(); // not an image of a known format: treated as missing, as before
    const QSize declared = reader.size();
    if (!declared.isValid()) {
        if (firstRefusal(name))
            qWarning("Image \"%s\" does not declare a readable size; it is not loaded", qUtf8Printable(name));
        return QImage();
    }
    if (!tevImageSizeAllowed(declared)) {
        if (firstRefusal(name))
            qWarning("Image \"%s\" declares %d x %d pixels, over the limit of %d pixels a side and %lld pixels in "
                     "total; it is not loaded",
                     qUtf8Printable(name), declared.width(), declared.height(), TEVMaxImageSide,
                     static_cast<long long>(TEVMaxImagePixels));
        return QImage();
    }
    return reader.read();
}

QImage readBoundedImage(const char* data, unsigned size, const QString& name)
{
    // The store's bytes are read in place.
    QByteArray bytes = QByteArray::fromRawData(data, int(size));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    QImageReader reader(&buffer);
    return readBoundedImage(reader, name);
}

QImage readBoundedImage(const QString& path, const QString& name)
{
    QImageReader reader(path);
    return readBoundedImage(reader, name);
}

QStringList languageManagerLanguages()
{
    return LanguageManager::instance()->languages();
}

// Calls fn on each window of a registry list that is still alive when its turn comes: telling one window's
// widgets of a change may delete another window (the list is copied, its pointers guarded).
template <class F>
void forEachLiveWindow(const QList<QPointer<QWidget>>& windows, F fn)
{
    const QList<QPointer<QWidget>> copy = windows;
    for (const QPointer<QWidget>& w : copy) {
        if (w)
            fn(w.data());
    }
}

} // namespace

QSize tevBoundedImageSize(const QSize& size)
{
    if (tevImageSizeAllowed(size))
        return size;
    if (size.width() <= 0 || size.height() <= 0)
        return QSize(std::min(size.width(), TEVMaxImageSide), std::min(size.height(), TEVMaxImageSide));
    const double w = size.width(), h = size.height();
    const double factor = std::min({double(TEVMaxImageSide) / w, double(TEVMaxImageSide) / h,
                                    std::sqrt(double(TEVMaxImagePixels) / (w * h))});
    // Rounded down, so that the result stays within the caps.
    return QSize(std::max(1, int(w * factor)), std::max(1, int(h * factor)));
}

// ---- style name index -------------------------------------------------------------------------------------

TEVStyleNameIndex::TEVStyleNameIndex() : m_seed(nameHashSeed()) {}

// The slot holding the name, or the empty slot where it would go. Never called on an empty table.
inline size_t TEVStyleNameIndex::slotOf(const QChar* chars, int size, quint64 hash) const
{
    const quint32 tag = quint32(hash >> 32);
    for (size_t i = size_t(hash) & m_mask;; i = (i + 1) & m_mask) {
        const Slot& slot = m_slots[i];
        if (slot.position < 0
            || (slot.tag == tag && slot.size == size && sameChars(slot.chars, chars, size)))
            return i;
    }
}

inline int TEVStyleNameIndex::findText(const QChar* chars, int size) const
{
    if (m_count == 0)
        return -1;
    return m_slots[slotOf(chars, size, nameHash(chars, size, m_seed))].position;
}

int TEVStyleNameIndex::find(const QString& name) const
{
    return findText(name.constData(), name.size());
}

void TEVStyleNameIndex::insert(const QString& name, int position)
{
    if (position < 0)
        return;
    if (size_t(m_count + 1) * 2 > m_slots.size()) {
        std::vector<Slot> old(std::max<size_t>(16, m_slots.size() * 2));
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        for (Slot& slot : old) {
            if (slot.position >= 0) {
                const quint64 hash = nameHash(slot.chars, slot.size, m_seed);
                m_slots[slotOf(slot.chars, slot.size, hash)] = std::move(slot);
            }
        }
    }
    const quint64 hash = nameHash(name.constData(), name.size(), m_seed);
    Slot& slot = m_slots[slotOf(name.constData(), name.size(), hash)];
    if (slot.position < 0) {
        slot.tag = quint32(hash >> 32);
        slot.name = name;
        slot.size = slot.name.size();
        slot.chars = slot.name.constData();
        ++m_count;
    }
    slot.position = position;
}

void TEVStyleNameIndex::clear()
{
    m_slots.clear();
    m_mask = 0;
    m_count = 0;
}

// ---- store ------------------------------------------------------------------------------------------------

TEVQResourceManagerImpl::TEVQResourceManagerImpl() = default;
TEVQResourceManagerImpl::~TEVQResourceManagerImpl() = default;

bool TEVQResourceManagerImpl::addFile(const QByteArray& key, const QByteArray& data)
{
    return files.emplace(key, data).second;
}

const QByteArray* TEVQResourceManagerImpl::file(const QByteArray& key) const
{
    auto it = files.find(key);
    return it == files.end() ? nullptr : &it->second;
}

void TEVQResourceManagerImpl::fileFillStyle(const QString& key, const FillStyle& style)
{
    fileStyle(fillStyles, fillStyleIndex, key, style);
}

void TEVQResourceManagerImpl::fileTextStyle(const QString& key, const TextStyleDesc& style)
{
    fileStyle(textStyles, textStyleIndex, key, style);
}

// Style names are indexed by their bytes, one byte per character. A name given as decoded text (for example
// from C++ code) is looked up in that form too; only a name with a character beyond ASCII has another form.
int TEVQResourceManagerImpl::positionIn(const TEVStyleNameIndex& index, const QString& name, size_t count)
{
    int position = index.findText(name.constData(), name.size());
    if (position < 0) {
        const QChar* c = name.constData();
        const QChar* end = c + name.size();
        while (c != end && c->unicode() < 0x80)
            ++c;
        if (c == end)
            return -1;
        const QString byteForm = QString::fromLatin1(name.toUtf8());
        if (byteForm == name)
            return -1;
        position = index.findText(byteForm.constData(), byteForm.size());
    }
    if (position < 0 || size_t(position) >= count)
        return -1;
    return position;
}

int TEVQResourceManagerImpl::fillStylePosition(const QString& name) const
{
    return positionIn(fillStyleIndex, name, fillStyles.size());
}

int TEVQResourceManagerImpl::textStylePosition(const QString& name) const
{
    return positionIn(textStyleIndex, name, textStyles.size());
}

void TEVQResourceManagerImpl::dropLoosePictures()
{
    for (const QString& key : looseImages)
        imageCache.erase(key);
    for (const QString& key : looseSvgs)
        svgCache.erase(key);
    looseImages.clear();
    looseSvgs.clear();
}

void TEVQResourceManagerImpl::buildElementIndex()
{
    elementIndex.clear();
    if (!json::isObject(themeRoot))
        return;
    const Json::Value* elements = json::find(themeRoot, "elements");
    if (!elements || !json::isArray(*elements) || json::size(*elements) == 0)
        return;
    Json::Value& first = themeRoot["elements"][0u];
    if (!json::isObject(first) || !json::has(first, "child"))
        return;
    Json::Value& children = first["child"];
    if (!json::isArray(children))
        return;
    for (Json::ArrayIndex i = 0; i < children.size(); ++i) {
        Json::Value& element = children[i];
        const std::optional<std::string> name = json::toString(json::get(element, "name"));
        if (!name)
            continue;
        elementIndex.emplace(QByteArray(name->data(), int(name->size())), &element);
    }
}

// ---- manager ----------------------------------------------------------------------------------------------

TEVQResourceManager* TEVQResourceManager::getInstance()
{
    static TEVQResourceManager instance;
    return &instance;
}

TEVQResourceManager::TEVQResourceManager() : m_defaultStore(new TEVQResourceManagerImpl)
{
    QObject::connect(LanguageManager::instance(), &LanguageManager::languageChanged,
                     [this](const QString&) { languageChanged(); });
}

TEVQResourceManager::~TEVQResourceManager()
{
    releaseRes();
    m_defaultStore.reset();
    m_themeStore.reset();
    m_projectStore.reset();
}

int TEVQResourceManager::getButtonFadeDuration() const
{
    return m_globalConfig.buttonFadeDuration > 0 ? m_globalConfig.buttonFadeDuration : 150;
}

QString TEVQResourceManager::getSkinDirPath() const { return m_defaultStore->dirPath; }

QString TEVQResourceManager::getFileSkinPath() const { return m_defaultStore->filePath; }

QString TEVQResourceManager::getThemePath() const
{
    if (!m_themeStore)
        return QString();
    return m_themeStore->filePath.isEmpty() ? m_themeStore->dirPath : m_themeStore->filePath;
}

const std::vector<FillStyle>& TEVQResourceManager::getFillStyles() const
{
    return m_projectStore ? m_projectStore->fillStyles : m_defaultStore->fillStyles;
}

const std::vector<TextStyleDesc>& TEVQResourceManager::getTextStyles() const
{
    return m_projectStore ? m_projectStore->textStyles : m_defaultStore->textStyles;
}

bool TEVQResourceManager::isUnpaintedName(const QString& name)
{
    return name == QLatin1String("empty") || name == QLatin1String("emptyRect");
}

bool TEVQResourceManager::getUnpaintedFillStyle(const QString& name, FillStyle& out)
{
    out = FillStyle();
    out.name = name;
    out.valid = false;
    return true;
}

void TEVQResourceManager::setFillStyle(const QString& name, FillStyle& style)
{
    if (m_projectRes) {
        if (m_projectStore)
            setFillStyle(m_projectStore.get(), name, style);
        return;
    }
    setFillStyle(m_defaultStore.get(), name, style);
}

// Files text styles the way its fill-style twin files fill styles (the project store in project mode, else
// the default store), so that the free text-style setters take effect.
void TEVQResourceManager::setTextStyle(const QString& name, TextStyleDesc& style)
{
    if (m_projectRes) {
        if (m_projectStore)
            setTextStyle(m_projectStore.get(), name, style);
        return;
    }
    setTextStyle(m_defaultStore.get(), name, style);
}

namespace {

// The record filed under name carries that name (its name in the store), unless it already carries the text of
// which name is the byte form.
template <class Style>
Style namedAs(const QString& name, const Style& style)
{
    Style filed = style;
    if (filed.name != name && QString::fromLatin1(filed.name.toUtf8()) != name)
        filed.name = name;
    return filed;
}

} // namespace

void TEVQResourceManager::setFillStyle(TEVQResourceManagerImpl* store, const QString& name, FillStyle& style)
{
    if (store)
        store->fileFillStyle(name, namedAs(name, style));
}

void TEVQResourceManager::setTextStyle(TEVQResourceManagerImpl* store, const QString& name, TextStyleDesc& style)
{
    if (store)
        store->fileTextStyle(name, namedAs(name, style));
}

// ---- resources --------------------------------------------------------------------------------------------

bool TEVQResourceManager::getResource(const QString& name, const char*& data, unsigned& size, ResSourceType& source)
{
    source = ResSourceDefault;
    const QByteArray key = resourceKey(name);
    const QByteArray* found = nullptr;
    if (m_projectStore && (found = m_projectStore->file(key)))
        source = ResSourceProject;
    else if ((found = m_defaultStore->file(key)))
        source = ResSourceDefault;
    else if (m_themeStore && (found = m_themeStore->file(key)))
        source = ResSourceTheme;
    if (!found)
        return false;
    data = found->constData();
    size = unsigned(found->size());
    return true;
}

// ---- pictures -----------------------------------------------------------------------------------------------

namespace {
// How long a picture looked for in vain is not looked for again, and how many such names are kept.
constexpr qint64 kMissMemoryMs = 1000;
constexpr int kMaxMisses = 4096;
} // namespace

std::pair<quint64, size_t> TEVQResourceManager::storesPrint() const
{
    size_t files = 0;
    for (const TEVQResourceManagerImpl* store : {m_defaultStore.get(), m_projectStore.get(), m_themeStore.get()})
        files += store ? store->files.size() : 0;
    return {m_resourceSerial, files};
}

void TEVQResourceManager::forgetStaleMisses()
{
    const std::pair<quint64, size_t> print = storesPrint();
    if (print != m_missPrint) {
        m_missingImages.clear();
        m_missingSvgs.clear();
        m_missPrint = print;
    }
}

bool TEVQResourceManager::missedLately(QHash<QString, qint64>& misses, const QString& key)
{
    if (misses.isEmpty())
        return false;
    forgetStaleMisses();
    auto it = misses.find(key);
    if (it == misses.end())
        return false;
    if (m_missClock.elapsed() - it.value() < kMissMemoryMs)
        return true;
    misses.erase(it);
    return false;
}

void TEVQResourceManager::noteMiss(QHash<QString, qint64>& misses, const QString& key)
{
    forgetStaleMisses();
    if (!m_missClock.isValid())
        m_missClock.start();
    if (misses.size() >= kMaxMisses)
        misses.clear();
    misses.insert(key, m_missClock.elapsed());
}

QImage* TEVQResourceManager::getImage(const QString& name, bool gray)
{
    const QString key = gray ? name + QStringLiteral("_gray") : name;
    QImage* cached = nullptr;
    if (findCached({m_defaultStore.get(), m_projectStore.get(), m_themeStore.get()},
                   &TEVQResourceManagerImpl::imageCache, key, cached))
        return cached;
    if (name.isEmpty() || missedLately(m_missingImages, key))
        return nullptr;
    QImage* found = findImage(name, key, gray);
    if (!found)
        noteMiss(m_missingImages, key);
    return found;
}

QImage* TEVQResourceManager::findImage(const QString& name, const QString& key, bool gray)
{
    QImage image;
    const char* data = nullptr;
    unsigned size = 0;
    ResSourceType source = ResSourceDefault;
    if (getResource(name, data, size, source))
        image = readBoundedImage(data, size, name);
    bool fromCache = false;
    bool loose = false;
    if (image.isNull()) {
        source = ResSourceDefault;
        const QString path = looseResourceFile(m_defaultStore->dirPath, name);
        if (!path.isEmpty()) {
            image = readBoundedImage(path, name);
            loose = true;
        } else if (gray) {
            // Images that exist only in a cache (the built-in check and radio images) get their disabled
            // variant from the cached picture, kept beside it.
            const std::pair<TEVQResourceManagerImpl*, ResSourceType> stores[] = {
                {m_defaultStore.get(), ResSourceDefault},
                {m_projectStore.get(), ResSourceProject},
                {m_themeStore.get(), ResSourceTheme}};
            for (const auto& store : stores) {
                if (!store.first)
                    continue;
                auto it = store.first->imageCache.find(name);
                if (it != store.first->imageCache.end() && it->second) {
                    image = *it->second;
                    source = store.second;
                    fromCache = true;
                    break;
                }
            }
            if (!fromCache)
                return nullptr;
        } else {
            return nullptr;
        }
    }

    if (m_scaleFactor < 1.0f && !image.isNull() && !fromCache) {
        image = image.scaled(int(image.width() * m_scaleFactor), int(image.height() * m_scaleFactor),
                             Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    // An empty image is not handed out: callers treat null and empty alike, and the manager only hands out
    // images it owns.
    if (image.width() == 0)
        return nullptr;
    if (gray) {
        image = disabledImage(image);
        if (image.width() == 0)
            return nullptr;
    }

    TEVQResourceManagerImpl* target = storeOf(source, m_defaultStore.get(), m_projectStore.get(), m_themeStore.get());
    if (!target)
        return nullptr;
    auto& slot = target->imageCache[key];
    slot.reset(new QImage(image));
    if (loose)
        target->looseImages.insert(key);
    else
        target->looseImages.erase(key);
    return slot.get();
}

QSvgRenderer* TEVQResourceManager::getSvgRenderer(const QString& name)
{
    QSvgRenderer* cached = nullptr;
    if (findCached({m_defaultStore.get(), m_projectStore.get(), m_themeStore.get()},
                   &TEVQResourceManagerImpl::svgCache, name, cached))
        return cached;
    if (name.isEmpty() || missedLately(m_missingSvgs, name))
        return nullptr;
    QSvgRenderer* found = findSvgRenderer(name);
    if (!found)
        noteMiss(m_missingSvgs, name);
    return found;
}

QSvgRenderer* TEVQResourceManager::findSvgRenderer(const QString& name)
{
    std::unique_ptr<QSvgRenderer> renderer;
    const char* data = nullptr;
    unsigned size = 0;
    ResSourceType source = ResSourceDefault;
    bool loose = false;
    if (getResource(name, data, size, source)) {
        renderer.reset(new QSvgRenderer(QByteArray(data, int(size))));
    } else {
        const QString path = looseResourceFile(m_defaultStore->dirPath, name);
        if (path.isEmpty())
            return nullptr;
        renderer.reset(new QSvgRenderer(path));
        loose = true;
    }
    if (!renderer->isValid())
        return nullptr;
    // Drawn tinted or disabled, an SVG is rendered into a picture of its declared size.
    const QSize declared = renderer->defaultSize();
    if (!tevImageSizeAllowed(declared)) {
        if (firstRefusal(name))
            qWarning("SVG \"%s\" declares %d x %d pixels, over the limit of %d pixels a side and %lld pixels in "
                     "total; it is not loaded",
                     qUtf8Printable(name), declared.width(), declared.height(), TEVMaxImageSide,
                     static_cast<long long>(TEVMaxImagePixels));
        return nullptr;
    }

    TEVQResourceManagerImpl* target = storeOf(source, m_defaultStore.get(), m_projectStore.get(), m_themeStore.get());
    if (!target)
        return nullptr;
    auto& slot = target->svgCache[name];
    slot = std::move(renderer);
    if (loose)
        target->looseSvgs.insert(name);
    else
        target->looseSvgs.erase(name);
    return slot.get();
}

Json::Value* TEVQResourceManager::getThemeJsonValue(const char* name)
{
    if (!m_themeStore || !name || m_themeStore->themeRoot.isNull())
        return nullptr;
    auto it = m_themeStore->elementIndex.find(QByteArray(name));
    return it == m_themeStore->elementIndex.end() ? nullptr : it->second;
}

// ---- skin dictionary --------------------------------------------------------------------------------------

QString TEVQResourceManager::getString(const QString& key) const
{
    const LanguageManager* languages = LanguageManager::instance();
    if (languages->contains(key))
        return languages->text(key);
    if (m_hasCurrentLanguage) {
        auto table = m_languageTables.find(m_currentLanguage);
        if (table != m_languageTables.end()) {
            auto it = table->second.find(key);
            if (it != table->second.end())
                return it->second;
        }
    }
    return QString();
}

QString TEVQResourceManager::getCurrentLanguage() const
{
    if (languageManagerLanguages().isEmpty())
        return m_hasCurrentLanguage ? m_currentLanguage : QString();
    return LanguageManager::instance()->currentLanguage();
}

QStringList TEVQResourceManager::getLanguageList() const
{
    const QStringList managed = languageManagerLanguages();
    if (!managed.isEmpty())
        return managed;
    QStringList names;
    for (const auto& table : m_languageTables)
        names.append(table.first);
    return names;
}

bool TEVQResourceManager::setCurrentLanguage(const QString& language)
{
    if (!languageManagerLanguages().isEmpty())
        return LanguageManager::instance()->setLanguage(language);
    if (m_languageTables.find(language) == m_languageTables.end())
        return false;
    m_currentLanguage = language;
    m_hasCurrentLanguage = true;
    forEachLiveWindow(m_windows, [this](QWidget* window) { notifyChangeLanguage(window); });
    return true;
}

void TEVQResourceManager::languageChanged()
{
    forEachLiveWindow(m_windows, [this](QWidget* window) { notifyChangeLanguage(window); });
}

// ---- configuration ----------------------------------------------------------------------------------------

void TEVQResourceManager::setGlobalConfig(const TEVGlobalConfig& config)
{
    m_globalConfig.fontFamily = config.fontFamily;
    m_globalConfig.buttonFadeEnabled = config.buttonFadeEnabled;
    m_globalConfig.buttonFadeDuration = config.buttonFadeDuration > 0 ? config.buttonFadeDuration : 150;
    if (!m_globalConfig.fontFamily.isEmpty() && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QFont font = QApplication::font();
        font.setFamily(m_globalConfig.fontFamily);
        QApplication::setFont(font);
    }
    forEachLiveWindow(m_windows, [this](QWidget* window) { notifyThemeChange(window); });
    forEachLiveWindow(m_designerWindows, [this](QWidget* window) { notifyThemeChange(window); });
}

void TEVQResourceManager::setGlobalFontFamily(const QString& family)
{
    TEVGlobalConfig config = m_globalConfig;
    config.fontFamily = family;
    setGlobalConfig(config);
}

// ---- windows ----------------------------------------------------------------------------------------------

namespace {

bool addWindow(QList<QPointer<QWidget>>& list, QWidget* window)
{
    if (!window)
        return false;
    list.removeAll(QPointer<QWidget>());
    for (const QPointer<QWidget>& w : list) {
        if (w.data() == window)
            return true;
    }
    list.append(QPointer<QWidget>(window));
    return true;
}

bool removeWindow(QList<QPointer<QWidget>>& list, QWidget* window)
{
    if (!window)
        return false;
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).data() == window) {
            list.removeAt(i);
            return true;
        }
    }
    return false;
}

QList<QWidget*> liveWindows(const QList<QPointer<QWidget>>& list)
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& w : list) {
        if (w)
            out.append(w.data());
    }
    return out;
}

} // namespace

bool TEVQResourceManager::registerWindowWidget(QWidget* window) { return addWindow(m_windows, window); }
bool TEVQResourceManager::unregisterWindowWidget(QWidget* window) { return removeWindow(m_windows, window); }
bool TEVQResourceManager::registerDesignerWindowWidget(QWidget* window) { return addWindow(m_designerWindows, window); }
bool TEVQResourceManager::unregisterDesignerWindowWidget(QWidget* window)
{
    return removeWindow(m_designerWindows, window);
}

QList<QWidget*> TEVQResourceManager::registeredWindows() const { return liveWindows(m_windows); }
QList<QWidget*> TEVQResourceManager::registeredDesignerWindows() const { return liveWindows(m_designerWindows); }

bool TEVQResourceManager::themeChange()
{
    forEachLiveWindow(m_windows, [this](QWidget* window) { notifyThemeChange(window); });
    forEachLiveWindow(m_designerWindows, [this](QWidget* window) { notifyThemeChange(window); });
    return true;
}

namespace {

enum class Walk { Theme, Language };

// Children are taken as guarded pointers before any of them is told: re-reading a theme may add or delete
// children.
void walkChildren(QWidget* widget, Walk kind)
{
    if (!widget)
        return;
    QList<QPointer<QObject>> children;
    for (QObject* child : widget->children())
        children.append(QPointer<QObject>(child));
    for (const QPointer<QObject>& child : children) {
        if (!child || !child->isWidgetType())
            continue;
        QWidget* w = static_cast<QWidget*>(child.data());
        if (ITEVQWidgetBase* base = tevWidgetInterface(w)) {
            if (kind == Walk::Theme) {
                if (TEVQWidgetBase* layout = base->getControlBase())
                    layout->refreshTheme();
            } else {
                base->notifyChangeLanguage();
            }
        }
        if (!child)
            continue;
        walkChildren(w, kind);
    }
}

} // namespace

void TEVQResourceManager::notifyThemeChange(QWidget* widget) { walkChildren(widget, Walk::Theme); }

void TEVQResourceManager::notifyChangeLanguage(QWidget* widget) { walkChildren(widget, Walk::Language); }

// ---- lifetime ---------------------------------------------------------------------------------------------

void TEVQResourceManager::replaceStore(std::unique_ptr<TEVQResourceManagerImpl>& slot,
                                       std::unique_ptr<TEVQResourceManagerImpl> store)
{
    if (m_elementReads > 0 && slot)
        m_replacedStores.push_back(std::move(slot));
    slot = std::move(store);
    // The new store's files may hold names that were found as loose files.
    m_defaultStore->dropLoosePictures();
}

void TEVQResourceManager::endElementRead()
{
    if (--m_elementReads > 0 || m_replacedStores.empty())
        return;
    const std::vector<std::unique_ptr<TEVQResourceManagerImpl>> replaced = std::move(m_replacedStores);
    m_replacedStores.clear();
}

void TEVQResourceManager::releaseRes()
{
    ++m_resourceSerial;
    TEVQResourceManagerImpl* store = m_defaultStore.get();
    if (!store)
        return;
    for (auto it = store->imageCache.begin(); it != store->imageCache.end();) {
        if (it->first.contains(QLatin1String("IDB_")))
            ++it;
        else
            it = store->imageCache.erase(it);
    }
    store->svgCache.clear();
    store->looseSvgs.clear();
    store->fillStyles.clear();
    store->textStyles.clear();
    store->fillStyleIndex.clear();
    store->textStyleIndex.clear();
    store->unscaledMargins.clear();
}

} // namespace TEVQtLib
