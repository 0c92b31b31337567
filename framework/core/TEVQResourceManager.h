#pragma once
// The process-wide keeper of what themed widgets paint with: named fill and text styles, images and SVG
// renderers, the raw files of a theme or skin, the theme's per-widget JSON elements, skin fonts and
// dictionaries, the global configuration, the scale factor, and the windows that hear about theme and
// language changes. Three stores: the default store (skin and built-ins), the theme store and the project
// store of the design tools. GUI thread only.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <json/json.h>

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <type_traits>
#include <vector>

class QSvgRenderer;

namespace TEVQtLib {

class TEVQWindow;
class TEVQWindowDesigner;
class TEVZipReader;

// Caps on the pictures the manager decodes and the drawing helpers render SVGs into. An image file of a theme
// or skin is small but may declare any size: a few hundred bytes of PNG can declare 60000 x 60000 pixels, which
// would ask for 14 GB, and a GIF, BMP or XBM of a hundred bytes really decodes to the size it declares. 16384
// pixels a side is more than any screen in use at any device ratio; 32 Mpixel in total holds a picture of the
// largest screens in use (7680 x 4320) and keeps one 32-bit copy within 128 MB (a disabled variant takes a few).
constexpr int TEVMaxImageSide = 16384;
constexpr qint64 TEVMaxImagePixels = 32ll * 1024 * 1024;

// Whether a picture of this size stays within the caps (an empty or negative size allocates nothing: true).
inline bool tevImageSizeAllowed(const QSize& size)
{
    const qint64 w = size.width() > 0 ? size.width() : 0;
    const qint64 h = size.height() > 0 ? size.height() : 0;
    return w <= TEVMaxImageSide && h <= TEVMaxImageSide && w * h <= TEVMaxImagePixels;
}

// The size scaled down, aspect ratio kept, until it is within the caps (each side at least 1 pixel); a size
// within them is returned as it is.
TEV_EXPORT QSize tevBoundedImageSize(const QSize& size);

// Where getResource found a file.
enum ResSourceType { ResSourceDefault = 0, ResSourceTheme = 1, ResSourceProject = 2 };

// Style name -> position in a store's list of styles: a hash table searched by the name's UTF-16 text, sized to
// stay at most half full. Style lookups run whenever a widget re-reads its theme, so the slots are kept small
// and the texts they compare with are those of the names filed (which the style records share when equal).
class TEV_EXPORT TEVStyleNameIndex {
public:
    TEVStyleNameIndex();
    // Position filed under name, or -1.
    int find(const QString& name) const;
    // Files position under name, replacing what the name had.
    void insert(const QString& name, int position);
    void clear();
    int size() const { return m_count; }

private:
    // Thirty-two bytes: the upper half of the name's hash, its position (-1: empty slot), its length and
    // characters, and the name filed (which shares its text with the name given and keeps the characters
    // alive). A probe compares tag, length and characters without reading the string's header first.
    struct Slot {
        quint32 tag = 0;
        qint32 position = -1;
        qint32 size = 0;
        const QChar* chars = nullptr;
        QString name;
    };
    friend class TEVQResourceManagerImpl;
    size_t slotOf(const QChar* chars, int size, quint64 hash) const;
    int findText(const QChar* chars, int size) const;
    std::vector<Slot> m_slots; // a power of two in size, or empty
    size_t m_mask = 0;
    int m_count = 0;
    quint64 m_seed;
};

// One store of resources: files of a directory or archive, styles, caches, theme elements and fonts.
class TEV_EXPORT TEVQResourceManagerImpl {
public:
    TEVQResourceManagerImpl();
    ~TEVQResourceManagerImpl();
    TEVQResourceManagerImpl(const TEVQResourceManagerImpl&) = delete;
    TEVQResourceManagerImpl& operator=(const TEVQResourceManagerImpl&) = delete;

    // Files under their lower-cased path; the first one under a key wins. False when the key was taken.
    bool addFile(const QByteArray& key, const QByteArray& data);
    const QByteArray* file(const QByteArray& key) const;

    // Files the named style into its list, replacing a record of the same index key at its position.
    void fileFillStyle(const QString& key, const FillStyle& style);
    void fileTextStyle(const QString& key, const TextStyleDesc& style);
    // Position of a style in its list, or -1.
    int fillStylePosition(const QString& name) const;
    int textStylePosition(const QString& name) const;

    // Indexes elements[0].child[*] of themeRoot under their "name"; the first of a name wins.
    void buildElementIndex();

    Json::Value themeRoot;                           // parsed "theme.json"
    int styleFileCount = 0;                          // "style.json" files taken from an archive
    std::map<QByteArray, QByteArray> files;          // lower-cased path -> bytes
    std::map<QByteArray, Json::Value*> elementIndex; // theme name -> element inside themeRoot
    QList<QByteArray> styleFiles;                    // "style.json" found (a skin keeps its last); the last is read
    QString dirPath;
    QString filePath;
    std::map<QString, std::unique_ptr<QImage>> imageCache; // "_gray" appended for disabled variants
    std::map<QString, std::unique_ptr<QSvgRenderer>> svgCache;
    // Keys of the pictures decoded from loose files (the skin folder's, or a path as the name): a skin folder set
    // again may hold others under the same names, and a theme, skin or project loaded since may hold the names.
    std::set<QString> looseImages;
    std::set<QString> looseSvgs;
    // Forgets the pictures decoded from loose files.
    void dropLoosePictures();
    std::vector<FillStyle> fillStyles;   // in order of first definition
    std::vector<TextStyleDesc> textStyles;
    std::map<QString, int> fonts;        // family -> application font id
    std::set<QByteArray> fontFiles;      // keys of the files already registered as application fonts
    TEVStyleNameIndex fillStyleIndex; // style name (one byte per character) -> position in fillStyles
    TEVStyleNameIndex textStyleIndex;
    bool loaded = false;                 // the load that filled this store succeeded
    // Margins of image styles shrunk by a scale factor below 1 when read: the shrunk margins and the margins
    // of the document, so that writing the styles back gives the document's margins again.
    std::map<QString, std::pair<ImageDesc, ImageDesc>> unscaledMargins;

private:
    static int positionIn(const TEVStyleNameIndex& index, const QString& name, size_t count);
};

class TEV_EXPORT TEVQResourceManager {
public:
    static TEVQResourceManager* getInstance();

    TEVQResourceManager(const TEVQResourceManager&) = delete;
    TEVQResourceManager& operator=(const TEVQResourceManager&) = delete;

    // ---- switches and simple accessors ----
    bool isCreatedByFile() const { return m_createdByFile; }
    void setCreatedByFile(bool on) { m_createdByFile = on; }
    bool isLoadFromThemeRes() const { return m_loadFromThemeRes; }
    void setSwitchToThemeRes(bool on) { m_loadFromThemeRes = on; }
    bool isProjectRes() const { return m_projectRes; }
    void setSwitchToProjectRes(bool on) { m_projectRes = on; }
    bool isDesigner() const { return m_designer; }
    void setIsDesigner(bool on) { m_designer = on; }
    float getScaleFactor() const { return m_scaleFactor; }
    void setScaleFactor(float factor)
    {
        m_scaleFactor = factor;
        ++m_resourceSerial; // pictures found from now on have other sizes
    }
    const TEVGlobalConfig& getGlobalConfig() const { return m_globalConfig; }
    bool getButtonFadeEnabled() const { return m_globalConfig.buttonFadeEnabled; }
    int getButtonFadeDuration() const;
    QString getGlobalFontFamily() const { return m_globalConfig.fontFamily; }
    QString getSkinDirPath() const;
    QString getFileSkinPath() const;
    QString getThemePath() const;
    // The project store's styles when a project store exists, else the default store's.
    const std::vector<FillStyle>& getFillStyles() const;
    const std::vector<TextStyleDesc>& getTextStyles() const;

    // ---- styles ----
    // Defined here so that the lookups, which run whenever a widget re-reads its theme, cost no extra call.
    bool getFillStyle(const QString& name, FillStyle& out) const
    {
        if ((name.size() == 5 || name.size() == 9) && isUnpaintedName(name))
            return getUnpaintedFillStyle(name, out);
        const TEVQResourceManagerImpl* store = styleStore();
        const int pos = store ? store->fillStylePosition(name) : -1;
        if (pos < 0)
            return false;
        out = store->fillStyles[size_t(pos)];
        out.valid = true;
        return true;
    }
    bool getTextStyle(const QString& name, TextStyleDesc& out) const
    {
        const TEVQResourceManagerImpl* store = styleStore();
        const int pos = store ? store->textStylePosition(name) : -1;
        if (pos < 0)
            return false;
        out = store->textStyles[size_t(pos)];
        return true;
    }
    // Files into the project store while project mode is on (nothing without one), else the default store.
    void setFillStyle(const QString& name, FillStyle& style);
    void setTextStyle(const QString& name, TextStyleDesc& style);
    void setFillStyle(TEVQResourceManagerImpl* store, const QString& name, FillStyle& style);
    void setTextStyle(TEVQResourceManagerImpl* store, const QString& name, TextStyleDesc& style);

    // Files the entries of a style JSON "style" array into store; true unless store is null.
    bool readStyle(TEVQResourceManagerImpl* store, const Json::Value& styles);
    // Appends one entry per style of store to out; false for a null store.
    bool writeStyle(TEVQResourceManagerImpl* store, Json::Value& out);
    // The project store's styles as styled JSON text of {"style": [...]} ("style" null without a project store).
    QString toProjectStyleString();
    QString toProjectStyleString(QString& out);

    // ---- resources ----
    // Searches the project, default and theme store's files; data stays owned by the store.
    bool getResource(const QString& name, const char*& data, unsigned& size, ResSourceType& source);
    // Cached image (disabled variant with gray), owned by the manager; null when nothing is found, and for an
    // image that declares a size over the caps above (refused with a warning before it is decoded).
    QImage* getImage(const QString& name, bool gray = false);
    // Cached renderer; null when nothing is found, the SVG is not valid, or it declares a size over the caps.
    QSvgRenderer* getSvgRenderer(const QString& name);
    // Theme element of a widget theme name, or null.
    Json::Value* getThemeJsonValue(const char* name);

    // ---- skin dictionary ----
    QString getString(const QString& key) const;
    QString getCurrentLanguage() const;
    QStringList getLanguageList() const;
    bool setCurrentLanguage(const QString& language);

    // ---- loading ----
    bool loadThemeDir(const QString& dir);
    bool loadThemeFile(const QString& path);
    bool loadSkinFile(const QString& path);
    bool loadSkinFile(const char* data, int size);
    bool setSkinDirPath(const QString& dir);
    bool setProjectDirPath(const QString& dir);
    void initDefaultStyleRes();
    void initDefaultImageRes();
    void initFontRes(bool fromDir = false);
    bool readLanguage(const QByteArray& data);

    // ---- configuration ----
    void setGlobalConfig(const TEVGlobalConfig& config);
    void setGlobalFontFamily(const QString& family);

    // ---- windows ----
    // Windows register in their constructors and unregister in their destructors.
    template <class W>
    bool registerWindow(W* window)
    {
        static_assert(std::is_base_of<TEVQWindow, W>::value, "registerWindow takes a TEVQWindow");
        return registerWindowWidget(window);
    }
    template <class W>
    bool unregisterWindow(W* window)
    {
        static_assert(std::is_base_of<TEVQWindow, W>::value, "unregisterWindow takes a TEVQWindow");
        return unregisterWindowWidget(window);
    }
    template <class W>
    bool registerDesignerWindow(W* window)
    {
        static_assert(std::is_base_of<TEVQWindowDesigner, W>::value, "registerDesignerWindow takes a TEVQWindowDesigner");
        return registerDesignerWindowWidget(window);
    }
    template <class W>
    bool unregisterDesignerWindow(W* window)
    {
        static_assert(std::is_base_of<TEVQWindowDesigner, W>::value,
                      "unregisterDesignerWindow takes a TEVQWindowDesigner");
        return unregisterDesignerWindowWidget(window);
    }
    // The same on the window's QWidget (null -> false; registering twice keeps one entry).
    bool registerWindowWidget(QWidget* window);
    bool unregisterWindowWidget(QWidget* window);
    bool registerDesignerWindowWidget(QWidget* window);
    bool unregisterDesignerWindowWidget(QWidget* window);
    // Registered windows that still exist, in registration order.
    QList<QWidget*> registeredWindows() const;
    QList<QWidget*> registeredDesignerWindows() const;

    // Every framework widget of every registered window and designer window re-reads its theme.
    bool themeChange();

    // ---- lifetime ----
    // Drops the default store's cached images (except the built-in "IDB_" ones), SVG renderers and styles.
    void releaseRes();

    // Held while a widget reads an element: a widget reads its theme element (and the theme's pictures) in place,
    // and a receiver of a signal that the reading emits may load another theme or project. The store that load
    // replaces is then kept until the outermost read is over, instead of being freed under the reader.
    class TEV_EXPORT ElementRead
    {
    public:
        ElementRead() { ++getInstance()->m_elementReads; }
        ~ElementRead() { getInstance()->endElementRead(); }
        ElementRead(const ElementRead&) = delete;
        ElementRead& operator=(const ElementRead&) = delete;
    };

    // Stores, for the loaders and the design tools. projectStore and themeStore may be null.
    TEVQResourceManagerImpl* defaultStore() const { return m_defaultStore.get(); }
    TEVQResourceManagerImpl* themeStore() const { return m_themeStore.get(); }
    TEVQResourceManagerImpl* projectStore() const { return m_projectStore.get(); }
    // Counts the loads and folder settings (theme, skin and project loads, the skin and project folders, the
    // release of resources, the scale factor). Whoever keeps pictures it found by name (a control's icons) finds them again once
    // this changes: the stores may now hold other pictures under the same names.
    quint64 resourceSerial() const { return m_resourceSerial; }

protected:
    // Walk the children of widget (not widget itself), depth first in child order.
    void notifyThemeChange(QWidget* widget);
    void notifyChangeLanguage(QWidget* widget);

private:
    TEVQResourceManager();
    ~TEVQResourceManager();

    TEVQResourceManagerImpl* styleStore() const
    {
        return m_loadFromThemeRes ? m_themeStore.get() : m_projectRes ? m_projectStore.get() : m_defaultStore.get();
    }
    // "empty" and "emptyRect" name no style: they paint nothing.
    static bool isUnpaintedName(const QString& name);
    static bool getUnpaintedFillStyle(const QString& name, FillStyle& out);
    bool readStyleText(TEVQResourceManagerImpl* store, const QByteArray& text);
    // The default store from an opened skin archive (taken over): its files, fonts and style.
    bool loadSkinArchive(TEVZipReader* zip);
    // Puts store in the place of slot's store; the one replaced is kept while an element is being read.
    void replaceStore(std::unique_ptr<TEVQResourceManagerImpl>& slot, std::unique_ptr<TEVQResourceManagerImpl> store);
    void endElementRead();
    void languageChanged();

    // Pictures looked for in vain lately: a control that paints a picture no store holds asks for it at every
    // paint, and each time the disk would be searched again (and a bad or oversized file decoded again). A miss
    // is remembered for a second, and all are forgotten as soon as the stores change: the resource serial, or
    // the number of files the stores hold (a file can be added to a store directly).
    std::pair<quint64, size_t> storesPrint() const;
    void forgetStaleMisses();
    QImage* findImage(const QString& name, const QString& key, bool gray);
    QSvgRenderer* findSvgRenderer(const QString& name);
    bool missedLately(QHash<QString, qint64>& misses, const QString& key);
    void noteMiss(QHash<QString, qint64>& misses, const QString& key);

    bool m_createdByFile = false;
    bool m_loadFromThemeRes = false;
    bool m_projectRes = false;
    bool m_designer = false;
    float m_scaleFactor = 100.0f;
    TEVGlobalConfig m_globalConfig;
    QString m_currentLanguage; // key of the current table in m_languageTables
    bool m_hasCurrentLanguage = false;
    std::map<QString, std::map<QString, QString>> m_languageTables;
    QList<QPointer<QWidget>> m_windows;
    QList<QPointer<QWidget>> m_designerWindows;
    std::unique_ptr<TEVQResourceManagerImpl> m_defaultStore;
    std::unique_ptr<TEVQResourceManagerImpl> m_projectStore;
    std::unique_ptr<TEVQResourceManagerImpl> m_themeStore;
    int m_elementReads = 0; // ElementRead scopes open
    std::vector<std::unique_ptr<TEVQResourceManagerImpl>> m_replacedStores; // freed when the last read ends
    QHash<QString, qint64> m_missingImages; // cache key ("_gray" appended for disabled variants) -> time missed
    QHash<QString, qint64> m_missingSvgs;
    std::pair<quint64, size_t> m_missPrint{0, 0};
    QElapsedTimer m_missClock;
    quint64 m_resourceSerial = 0;
};

} // namespace TEVQtLib
