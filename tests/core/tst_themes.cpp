// Theme and skin loading: theme directories and archives, skin archives in files and memory, skin directories,
// project directories, the compiled-in default style and the built-in check and radio images.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQSlider.h"
#include "themes_walkwidget.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMap>
#include <QPointer>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <zip.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/asan_interface.h>
#endif

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

struct Entry {
    QByteArray name;
    QByteArray data;
};

// Writes a zip archive; method 0 stores the data as it is.
QByteArray makeZip(const QString& path, const QList<Entry>& entries, int method = Z_DEFLATED)
{
    zipFile zf = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zf)
        qFatal("cannot create %s", qPrintable(path));
    for (const Entry& e : entries) {
        zip_fileinfo info{};
        if (zipOpenNewFileInZip64(zf, e.name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                  method ? Z_DEFAULT_COMPRESSION : 0, 0) != ZIP_OK)
            qFatal("cannot add %s", e.name.constData());
        if (!e.data.isEmpty())
            zipWriteInFileInZip(zf, e.data.constData(), unsigned(e.data.size()));
        zipCloseFileInZip(zf);
    }
    zipClose(zf, nullptr);
    return tevtest::readFile(path);
}

QByteArray png(int w, int h, QColor color)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray utf16le(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

QByteArray styleDoc(const char* fillName, int round = 0)
{
    return QByteArray(R"({"style": [{"type": 1, "name": ")") + fillName + R"(", "round": )" +
           QByteArray::number(round) + "}]}";
}

const char* kThemeJson = R"({"elements": [{"child": [
    {"name": "qtlabel", "attr": {"which": 1}}, {"name": "qtbutton"}, {"name": "qtlabel", "attr": {"which": 2}},
    {"noname": 1}, 7]}]})";

bool fillRound(const char* name, int& round, bool theme)
{
    const bool old = rm()->isLoadFromThemeRes();
    rm()->setSwitchToThemeRes(theme);
    FillStyle out;
    const bool found = rm()->getFillStyle(name, out);
    rm()->setSwitchToThemeRes(old);
    round = out.fillRes.radius;
    return found;
}

bool themeHas(const char* name)
{
    int round = 0;
    return rm()->themeStore() && fillRound(name, round, true);
}

// A PNG that declares w x h RGBA pixels but carries the compressed bytes of one blank row: a few hundred bytes
// that a decoder without a size check takes for a picture of w * h * 4 bytes.
QByteArray oversizedPng(quint32 w, quint32 h)
{
    auto be32 = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    auto chunk = [&](const char* type, const QByteArray& data) {
        const QByteArray body = type + data;
        return be32(quint32(data.size())) + body +
               be32(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))));
    };
    const QByteArray header = be32(w) + be32(h) + QByteArray("\x08\x06\x00\x00\x00", 5); // 8-bit RGBA
    const QByteArray rows = qCompress(QByteArray(int(1 + 4 * w), '\0'), 9).mid(4);          // zlib stream
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", rows) + chunk("IEND", {});
}

// Whether the memory at p was freed (known only to the address sanitizer: false without it).
bool addressFreed(const void* p)
{
#ifdef __SANITIZE_ADDRESS__
    return __asan_address_is_poisoned(p) != 0;
#else
    (void)p;
    return false;
#endif
}

// Counts the warnings given while it exists (instead of printing them).
struct WarningCounter {
    static WarningCounter*& current()
    {
        static WarningCounter* counter = nullptr;
        return counter;
    }
    static void handler(QtMsgType type, const QMessageLogContext&, const QString&)
    {
        if (type == QtWarningMsg)
            ++current()->count;
    }
    WarningCounter() : previous(qInstallMessageHandler(&handler)) { current() = this; }
    ~WarningCounter()
    {
        qInstallMessageHandler(previous);
        current() = nullptr;
    }
    int count = 0;
    QtMessageHandler previous;
};

// The highest resident set size of the process so far, in kilobytes.
long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Changes one byte of the stored data of an entry whose payload is marker.
QByteArray corrupt(QByteArray zip, const QByteArray& marker)
{
    const int at = zip.indexOf(marker);
    if (at < 0)
        qFatal("marker not found");
    zip[at + marker.size() / 2] = char(zip[at + marker.size() / 2] ^ 0x20);
    return zip;
}

// Writes every (relative path, bytes) pair under dir; false when one fails.
bool writeAll(const QString& dir, const QList<Entry>& files)
{
    for (const Entry& f : files)
        if (!tevtest::writeFile(dir + QLatin1Char('/') + QString::fromUtf8(f.name), f.data))
            return false;
    return true;
}

// The store a resource was found in; -1 when it was not found.
int sourceOf(const char* name)
{
    const char* data;
    unsigned size;
    ResSourceType source;
    return rm()->getResource(name, data, size, source) ? int(source) : -1;
}

} // namespace

class TestThemes : public QObject {
    Q_OBJECT
private slots:
    void builtInImages()
    {
        rm()->initDefaultImageRes();
        const QRgb line = 0xFFCCCCCCu;
        for (const char* name : {"IDB_UNSELECT", "IDB_SELECTED", "IDB_UNCHECK", "IDB_CHECKED"}) {
            const QImage* image = rm()->getImage(name, false);
            QVERIFY2(image && image->size() == QSize(16, 16) && image->format() == QImage::Format_ARGB32, name);
            QVERIFY2(qAlpha(image->pixel(0, 0)) == 0 && qAlpha(image->pixel(15, 0)) == 0, name);
            QVERIFY(rm()->defaultStore()->imageCache.count(name));
        }
        // The box: its frame, hollow inside.
        const QImage* uncheck = rm()->getImage("IDB_UNCHECK", false);
        QVERIFY(uncheck->pixel(1, 1) == line && uncheck->pixel(8, 1) == line && uncheck->pixel(1, 8) == line);
        QCOMPARE(qAlpha(uncheck->pixel(8, 8)), 0);
        // The tick's long and short strokes.
        const QImage* checked = rm()->getImage("IDB_CHECKED", false);
        QCOMPARE(checked->pixel(1, 1), line);
        QVERIFY(qMax(qAlpha(checked->pixel(11, 7)), qAlpha(checked->pixel(11, 8))) > 100);
        QVERIFY(qAlpha(checked->pixel(6, 11)) > 100);
        QCOMPARE(qAlpha(checked->pixel(4, 4)), 0);
        // The ring: hollow, its corner clear; the selected one has a dot apart from the ring.
        const QImage* unselect = rm()->getImage("IDB_UNSELECT", false);
        QVERIFY(qAlpha(unselect->pixel(8, 1)) > 100 && qAlpha(unselect->pixel(1, 1)) < 60);
        QCOMPARE(qAlpha(unselect->pixel(8, 8)), 0);
        const QImage* selected = rm()->getImage("IDB_SELECTED", false);
        QCOMPARE(selected->pixel(8, 8), line);
        QVERIFY(qAlpha(selected->pixel(8, 1)) > 100);
        QCOMPARE(qAlpha(selected->pixel(8, 2)), 0);

        // Disabled variants of the built-ins come from the cached pictures.
        const QImage* grayChecked = rm()->getImage("IDB_CHECKED", true);
        QVERIFY(grayChecked && grayChecked != checked && grayChecked->size() == QSize(16, 16));
        QVERIFY(grayChecked->pixel(1, 1) != line && qAlpha(grayChecked->pixel(1, 1)) > 0);
        QCOMPARE(rm()->getImage("IDB_CHECKED", true), grayChecked);
    }

    void defaultStyleResource()
    {
        rm()->initDefaultStyleRes();
        FillStyle fill;
        QVERIFY(rm()->getFillStyle("defaultPanel", fill));
        QCOMPARE(fill.fillRes.fillColor.rgba(), 0xFF202830u);
        QCOMPARE(fill.fillRes.radius, 2);
        TextStyleDesc text;
        QVERIFY(rm()->getTextStyle("defaultText", text));
        QCOMPARE(text.pixelSize, 13);
    }

    void themeDirectoryLayout()
    {
        const QString dir = m_tmp.filePath("theme-a");
        QVERIFY(writeAll(dir, {{"Style.JSON", styleDoc("themeA", 1)}, {"THEME.json", kThemeJson},
                               {"images/Btn.PNG", png(8, 8, Qt::red)}, {"images/deeper/skip.png", png(2, 2, Qt::red)},
                               {"other/ignored.txt", "x"}, {"Images2/x.txt", "x"}, {"tmpTheme.zip", "zip"},
                               {"Notes.TXT", "notes"}, {".hidden", "h"}}));
        QVERIFY(rm()->loadThemeDir(dir));
        QCOMPARE(rm()->getThemePath(), dir);
        QVERIFY(themeHas("themeA"));
        // Top-level files and "images/" one level deep, lower-cased; no archives, no style file.
        QStringList files;
        for (const auto& f : rm()->themeStore()->files)
            files << QString::fromUtf8(f.first);
        files.sort();
        QCOMPARE(files, QStringList({".hidden", "images/btn.png", "notes.txt", "theme.json"}));
        QCOMPARE(rm()->themeStore()->styleFiles.size(), 1);

        QCOMPARE(sourceOf("IMAGES\\Btn.png"), int(ResSourceTheme));
        QVERIFY(rm()->getImage("images/BTN.png", false));

        Json::Value* label = rm()->getThemeJsonValue("qtlabel");
        QVERIFY(label);
        QCOMPARE(json::getInt(json::get(*label, "attr"), "which"), 1); // the first of a name wins
        QVERIFY(rm()->getThemeJsonValue("qtbutton") && !rm()->getThemeJsonValue("qtslider"));
    }

    void themeDirectoryFailuresKeepTheTheme()
    {
        const QString good = rm()->getThemePath();
        QVERIFY(!rm()->loadThemeDir(m_tmp.filePath("does-not-exist")));
        const QList<QPair<const char*, QList<Entry>>> bad{
            {"no-style", {{"theme.json", kThemeJson}}},
            {"broken-style", {{"style.json", R"({"style": [{"type": 1, "name": "x"})"}}},
            {"deep-style", {{"style.json", "{\"style\": " + QByteArray(5000, '[') + QByteArray(5000, ']') + "}"}}}};
        for (const auto& b : bad) {
            QVERIFY(writeAll(m_tmp.filePath(b.first), b.second));
            QVERIFY2(!rm()->loadThemeDir(m_tmp.filePath(b.first)), b.first);
            QCOMPARE(rm()->getThemePath(), good);
            QVERIFY(themeHas("themeA") && rm()->getThemeJsonValue("qtlabel"));
        }

        // A broken theme document does not fail the load; the theme then has no elements. One that is not JSON
        // at all is reported.
        const QString badTheme = m_tmp.filePath("bad-theme-json");
        QVERIFY(writeAll(badTheme, {{"style.json", styleDoc("badThemeJson")}, {"theme.json", R"({"elements": {"child": 5}})"}}));
        QVERIFY(rm()->loadThemeDir(badTheme));
        QVERIFY(themeHas("badThemeJson") && !rm()->getThemeJsonValue("qtlabel"));
        const QString notJson = m_tmp.filePath("theme-json-not-json");
        QVERIFY(writeAll(notJson, {{"style.json", styleDoc("notJson")}, {"theme.json", R"({"elements": [)"}}));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("theme\\.json of .*theme-json-not-json is not valid JSON"));
        QVERIFY(rm()->loadThemeDir(notJson));
        QVERIFY(themeHas("notJson") && !rm()->getThemeJsonValue("qtlabel"));
        QVERIFY(rm()->loadThemeDir(good)); // back to the first theme
    }

    void failedLoadIsNotLaterReportedAsSuccess()
    {
        const QString good = rm()->getThemePath();
        const QString dir = m_tmp.filePath("lacks-style-member");
        QVERIFY(tevtest::writeFile(dir + "/style.json", R"({"styles": []})"));
        QVERIFY(!rm()->loadThemeDir(dir));
        QVERIFY(!rm()->loadThemeDir(dir));
        QCOMPARE(rm()->getThemePath(), good);
        // Once the directory is mended, the same path loads.
        QVERIFY(tevtest::writeFile(dir + "/style.json", styleDoc("mended")));
        QVERIFY(rm()->loadThemeDir(dir) && themeHas("mended"));
        QVERIFY(rm()->loadThemeDir(good));
    }

    void sameDirectoryIsNotReloaded()
    {
        const QString dir = rm()->getThemePath();
        TEVQResourceManagerImpl* store = rm()->themeStore();
        QVERIFY(tevtest::writeFile(dir + "/Style.JSON", styleDoc("changedOnDisk")));
        QVERIFY(rm()->loadThemeDir(dir));
        QCOMPARE(rm()->themeStore(), store);
        QVERIFY(themeHas("themeA") && !themeHas("changedOnDisk"));
        QVERIFY(tevtest::writeFile(dir + "/Style.JSON", styleDoc("themeA", 1)));
    }

    void themeArchive()
    {
        const QString path = m_tmp.filePath("theme.zip");
        makeZip(path, {{"dir/", {}},
                       {"Style.json", styleDoc("zipTheme", 4)},
                       {"theme.json", kThemeJson},
                       {"images/Zip.png", png(5, 5, Qt::blue)},
                       {"empty.txt", {}},
                       {"sub/style.json", styleDoc("notTheStyleFile")}});
        QVERIFY(rm()->loadThemeFile(path));
        QCOMPARE(rm()->getThemePath(), path);
        int round = 0;
        QVERIFY(fillRound("zipTheme", round, true));
        QCOMPARE(round, 4);
        // Only the top-level style file is one; empty entries and folders are no files.
        QVERIFY(!themeHas("notTheStyleFile"));
        QCOMPARE(rm()->themeStore()->styleFileCount, 1);
        const auto& files = rm()->themeStore()->files;
        QVERIFY(files.count("sub/style.json") && !files.count("empty.txt") && !files.count("dir/"));
        QImage* image = rm()->getImage("images/zip.png", false);
        QVERIFY(image && image->pixelColor(2, 2) == QColor(Qt::blue));

        // An archive in a folder named outside ASCII, with an entry so named: found in any ASCII letter case.
        const QString cjk = m_tmp.filePath(QString::fromUtf8("\xE4\xB8\xBB\xE9\xA2\x98 zip/\xE7\x9A\xAE.zip"));
        QVERIFY(QDir().mkpath(QFileInfo(cjk).absolutePath()));
        makeZip(cjk, {{"style.json", styleDoc("cjkTheme")}, {"Images/\xE5\x9B\xBE.PNG", png(3, 3, Qt::red)}});
        QVERIFY(rm()->loadThemeFile(cjk) && themeHas("cjkTheme"));
        image = rm()->getImage(QString::fromUtf8("IMAGES\\\xE5\x9B\xBE.png"), false);
        QVERIFY(image && image->pixelColor(1, 1) == QColor(Qt::red));

        // No same-path shortcut for archives: the archive is read again.
        TEVQResourceManagerImpl* before = rm()->themeStore();
        QVERIFY(rm()->loadThemeFile(path));
        QVERIFY(rm()->themeStore() != before);
    }

    void themeArchiveFailuresKeepTheTheme()
    {
        const QString good = rm()->getThemePath();
        const QString notZip = m_tmp.filePath("not-a-zip.zip"), noStyle = m_tmp.filePath("no-style.zip");
        QVERIFY(tevtest::writeFile(notZip, "this is not an archive"));
        makeZip(noStyle, {{"theme.json", kThemeJson}});
        // One damaged entry fails the whole archive, whichever entry it is.
        const QByteArray marker = "PAYLOAD-0123456789-PAYLOAD";
        const QString damaged = m_tmp.filePath("damaged.zip");
        const QByteArray bytes = makeZip(damaged, {{"style.json", styleDoc("damagedTheme")}, {"notes.txt", marker}}, 0);
        QVERIFY(tevtest::writeFile(damaged, corrupt(bytes, marker)));
        for (const QString& path : {notZip, noStyle, damaged}) {
            QVERIFY2(!rm()->loadThemeFile(path), qPrintable(path));
            QCOMPARE(rm()->getThemePath(), good);
            QVERIFY(themeHas("zipTheme"));
        }
        // The undamaged archive loads.
        QVERIFY(tevtest::writeFile(damaged, bytes));
        QVERIFY(rm()->loadThemeFile(damaged) && themeHas("damagedTheme"));
        QVERIFY(rm()->loadThemeFile(good));
    }

    // Images that declare a size over the caps, from a theme directory, a theme archive and a loose file, are
    // refused with a warning (once per name: they are asked for on every paint) before anything of their size is
    // allocated, and behave like missing ones.
    void oversizedImagesAreRefused()
    {
        const QString before = rm()->getThemePath();
        const QByteArray huge = oversizedPng(60000, 60000), wide = oversizedPng(TEVMaxImageSide + 1, 1);
        QVERIFY(huge.size() < 1024);
        const QByteArray hugeSvg = "<svg xmlns='http://www.w3.org/2000/svg' width='60000' height='60000'>"
                                   "<rect width='10' height='10' fill='red'/></svg>";
        // The same pictures under names of their own in each source.
        auto entries = [&](const QByteArray& tag) {
            return QList<Entry>{{"style.json", styleDoc("capTheme")}, {"images/huge-" + tag + ".png", huge},
                                {"images/wide-" + tag + ".png", wide}, {"images/huge-" + tag + ".svg", hugeSvg},
                                {"images/ok.png", png(5, 5, Qt::green)}};
        };
        const QString dir = m_tmp.filePath("oversized-theme");
        for (const Entry& e : entries("dir"))
            QVERIFY(tevtest::writeFile(dir + "/" + e.name, e.data));
        const QString zip = m_tmp.filePath("oversized-theme.zip");
        makeZip(zip, entries("zip"));

        auto expectWarning = [](const QString& name, const char* what) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(name) + ".* declares " +
                                                                  what + " pixels, over the limit"));
        };
        const long peak = peakResidentKb();
        for (const QString tag : {"dir", "zip"}) {
            QVERIFY(tag == "zip" ? rm()->loadThemeFile(zip) : rm()->loadThemeDir(dir));
            const QString hugeName = "images/huge-" + tag + ".png", wideName = "images/wide-" + tag + ".png";
            const QString svgName = "images/huge-" + tag + ".svg";
            expectWarning(hugeName, "60000 x 60000");
            expectWarning(wideName, "16385 x 1");
            expectWarning(svgName, "60000 x 60000");
            QVERIFY(!rm()->getImage(hugeName, false) && !rm()->getImage(wideName, false));
            QVERIFY(!rm()->getSvgRenderer(svgName));
            {
                WarningCounter again;
                for (bool gray : {false, true})
                    QVERIFY(!rm()->getImage(hugeName, gray) && !rm()->getImage(wideName, gray));
                QVERIFY(!rm()->getSvgRenderer(svgName));
                QCOMPARE(again.count, 0);
            }
            // Refusals are not cached: the names stay missing.
            QVERIFY(rm()->themeStore()->imageCache.empty() && rm()->themeStore()->svgCache.empty());
            QImage* ok = rm()->getImage("images/ok.png", false);
            QVERIFY(ok && ok->pixelColor(2, 2) == QColor(Qt::green));
        }
        // A loose file, looked up by its path.
        expectWarning(dir + "/images/huge-dir.png", "60000 x 60000");
        QVERIFY(!rm()->getImage(dir + "/images/huge-dir.png", false));
        // A 14 GB picture was never asked for (its address-sanitizer shadow alone is 1.8 GB).
        const long grown = peakResidentKb() - peak;
        QVERIFY2(grown < 256 * 1024, qPrintable(QString::number(grown)));
        QVERIFY(rm()->loadThemeDir(before) || rm()->loadThemeFile(before));
    }

    void skinArchiveFromFileAndMemory()
    {
        const QString path = m_tmp.filePath("skin.zip");
        QList<Entry> entries{{"style.json", R"({"style": [{"type": 1, "name": "skinFill", "round": 8},
                                              {"type": 1, "name": "defaultPanel", "round": 9}]})"},
                             {"Language.txt", utf16le("Language\tskin-a\tskin-b\r\nskin.key\tA text\tB text\r\n")},
                             {"images/skin.png", png(3, 3, Qt::green)}};
        makeZip(path, entries);

        QVERIFY(rm()->loadSkinFile(path));
        QCOMPARE(rm()->getFileSkinPath(), path);
        int round = 0;
        QVERIFY(fillRound("defaultPanel", round, false)); // same name: replaced
        QCOMPARE(round, 9);
        QVERIFY(fillRound("zipTheme", round, true)); // the theme is untouched
        QCOMPARE(rm()->getString("skin.key"), QString("A text"));
        QCOMPARE(sourceOf("language.txt"), int(ResSourceDefault));
        QVERIFY(rm()->getImage("images/skin.png", false));

        // From memory: the file path stays, a language table below the top level is not read.
        const QByteArray bytes = makeZip(m_tmp.filePath("memory-skin.zip"),
                                         {{"style.json", styleDoc("memorySkin", 2)}, {"images/mem.png", png(2, 2, Qt::red)},
                                          {"sub/language.txt", utf16le("Language\tmem\r\nmem.key\tmemory\r\n")}});
        QVERIFY(rm()->loadSkinFile(bytes.constData(), bytes.size()));
        QCOMPARE(rm()->getFileSkinPath(), path);
        QVERIFY(fillRound("memorySkin", round, false) && rm()->getImage("images/mem.png", false));
        QVERIFY(!rm()->getLanguageList().contains("mem"));

        QVERIFY(!rm()->loadSkinFile(nullptr, 10));
        QVERIFY(!rm()->loadSkinFile(bytes.constData(), bytes.size() / 2)); // truncated
    }

    void failedSkinArchiveLoads()
    {
        const size_t files = rm()->defaultStore()->files.size();
        const int styleFiles = rm()->defaultStore()->styleFiles.size();
        const QString filePath = rm()->getFileSkinPath();

        const QByteArray marker = "SKIN-PAYLOAD-abcdefghijklmnop";
        const QString damaged = m_tmp.filePath("damaged-skin.zip");
        const QByteArray bad = corrupt(makeZip(damaged, {{"style.json", styleDoc("damagedSkin")},
                                                         {"images/fresh.png", png(2, 2, Qt::red)},
                                                         {"readme.txt", marker}}, 0), marker);
        QVERIFY(tevtest::writeFile(damaged, bad));
        const QString brokenStyle = m_tmp.filePath("broken-style-skin.zip");
        makeZip(brokenStyle, {{"style.json", "{\"style\": [}"}, {"images/other.png", png(2, 2, Qt::red)}});

        // A damaged archive puts none of its entries into the store.
        QVERIFY(!rm()->loadSkinFile(bad.constData(), bad.size()));
        QCOMPARE(rm()->getFileSkinPath(), filePath);
        // From a file, the path is taken before the archive is read, and stays when the load fails.
        QVERIFY(!rm()->loadSkinFile(damaged));
        QCOMPARE(rm()->getFileSkinPath(), damaged);
        QCOMPARE(rm()->defaultStore()->files.size(), files);
        QCOMPARE(rm()->defaultStore()->styleFiles.size(), styleFiles);
        int round = 0;
        QVERIFY(!fillRound("damagedSkin", round, false) && !rm()->getImage("images/fresh.png", false));

        // A style file that does not parse fails the load once the entries are read: they stay.
        QVERIFY(!rm()->loadSkinFile(brokenStyle));
        QCOMPARE(rm()->getFileSkinPath(), brokenStyle);
        QVERIFY(rm()->getImage("images/other.png", false));
    }

    // Loading the same skin again and again adds no further application font and keeps one style file.
    void skinReloadsDoNotGrow()
    {
        const QString fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
        if (!QFile::exists(fontPath))
            QSKIP("DejaVu Sans Mono is not installed");
        const QString path = m_tmp.filePath("font-skin.zip");
        makeZip(path, {{"style.json", styleDoc("fontSkin", 3)}, {"fonts/reload.ttf", tevtest::readFile(fontPath)}});
        QVERIFY(rm()->loadSkinFile(path));
        const auto& fonts = rm()->defaultStore()->fonts;
        QVERIFY(fonts.count("DejaVu Sans Mono"));
        const int id = fonts.at("DejaVu Sans Mono");
        for (int i = 0; i < 5; ++i)
            QVERIFY(rm()->loadSkinFile(path));
        QCOMPARE(fonts.at("DejaVu Sans Mono"), id); // not registered once more
        QCOMPARE(QFontDatabase::applicationFontFamilies(id + 1), QStringList());
        QCOMPARE(rm()->defaultStore()->styleFiles.size(), 1);
        int round = 0;
        QVERIFY(fillRound("fontSkin", round, false) && round == 3);
    }

    void skinDirectory()
    {
        int n = 0;
        for (const QString& suffix : {QString(), QString("/"), QString("\\")}) {
            const QString dir = m_tmp.filePath("skin-dir" + QString::number(++n));
            QVERIFY(writeAll(dir, {{"STYLE.json", styleDoc("skinDirFill", 6)},
                                   {"Language.TXT", utf16le("Language\tdir-lang\r\ndir.key\tfrom dir\r\n")}}));
            QVERIFY(rm()->setSkinDirPath(dir + suffix));
            QCOMPARE(rm()->getSkinDirPath(), dir + "/");
            int round = 0;
            QVERIFY(fillRound("skinDirFill", round, false) && rm()->getLanguageList().contains("dir-lang"));
        }
        // The folder is taken before its style file is read: a missing, empty or bad style file fails the load
        // and leaves the folder set, so that its images are still found.
        QVERIFY(tevtest::writeFile(m_tmp.filePath("empty-style-skin/style.json"), QByteArray()));
        QVERIFY(tevtest::writeFile(m_tmp.filePath("no-member-skin/style.json"), "[1, 2]"));
        QVERIFY(tevtest::writeFile(m_tmp.filePath("no-style-skin/images/kept.png"), png(5, 5, Qt::blue)));
        for (const char* bad : {"empty-style-skin", "no-member-skin", "no-style-skin"}) {
            QVERIFY2(!rm()->setSkinDirPath(m_tmp.filePath(bad)), bad);
            QCOMPARE(rm()->getSkinDirPath(), m_tmp.filePath(bad) + "/");
        }
        QImage* kept = rm()->getImage("kept.png", false);
        QVERIFY(kept && kept->size() == QSize(5, 5));
        // An empty path is refused before anything is set.
        QVERIFY(!rm()->setSkinDirPath(QString()));
        QCOMPARE(rm()->getSkinDirPath(), m_tmp.filePath("no-style-skin") + "/");
    }

    void projectDirectory()
    {
        const QString dir = m_tmp.filePath("project");
        QVERIFY(writeAll(dir, {{"style.json", styleDoc("projectFill", 12)}, {"theme.json", kThemeJson},
                               {"images/p.png", png(2, 2, Qt::red)}}));
        QVERIFY(rm()->setProjectDirPath(dir));
        QCOMPARE(rm()->projectStore()->filePath, dir);
        // The theme document is kept but not indexed.
        QVERIFY(!rm()->projectStore()->themeRoot.isNull() && rm()->projectStore()->elementIndex.empty());

        rm()->setSwitchToProjectRes(true);
        int round = 0;
        QVERIFY(fillRound("projectFill", round, false));
        QCOMPARE(round, 12);
        FillStyle added;
        added.name = "addedInDesigner";
        rm()->setFillStyle("addedInDesigner", added);
        rm()->setSwitchToProjectRes(false);
        QVERIFY(!fillRound("addedInDesigner", round, false));
        QVERIFY(rm()->toProjectStyleString().contains("addedInDesigner"));
        QCOMPARE(sourceOf("images/p.png"), int(ResSourceProject));

        // A directory without styles still replaces the project store, and reports failure.
        QVERIFY(!rm()->setProjectDirPath(m_tmp.filePath("no-project")));
        QVERIFY(rm()->projectStore() && rm()->projectStore()->fillStyles.empty());
    }

    void themeAndLanguageWalks()
    {
        const QString dir = m_tmp.filePath("walk-theme");
        QVERIFY(tevtest::writeFile(dir + "/style.json", styleDoc("walk")));
        QVERIFY(tevtest::writeFile(dir + "/theme.json",
                                   R"({"elements": [{"child": [{"name": "qtwalkwidget", "attr": {"mark": 7}}]}]})"));

        QWidget window;
        auto* plain = new QWidget(&window);
        auto* inPlain = new WalkWidget(plain);
        auto* outer = new WalkWidget(&window);
        auto* inner = new WalkWidget(outer);
        new QObject(&window); // not a widget: skipped
        QWidget designer;
        auto* inDesigner = new WalkWidget(&designer);
        QWidget unregistered;
        auto* elsewhere = new WalkWidget(&unregistered);
        const QList<WalkWidget*> inWindow{inPlain, outer, inner};

        QVERIFY(rm()->registerWindowWidget(&window) && rm()->registerWindowWidget(&window));
        QVERIFY(rm()->registerDesignerWindowWidget(&designer));

        // Loading a theme directory walks every registered window and designer window once.
        QVERIFY(rm()->loadThemeDir(dir));
        for (WalkWidget* w : inWindow) {
            QCOMPARE(w->painter()->themeReads, 1);
            QCOMPARE(w->painter()->mark, 7);
        }
        QVERIFY(inDesigner->painter()->themeReads == 1 && elsewhere->painter()->themeReads == 0);
        QVERIFY(!rm()->isLoadFromThemeRes());

        // A theme archive fills the store without the walk; the caller follows with themeChange.
        const QString zip = m_tmp.filePath("walk.zip");
        makeZip(zip, {{"style.json", styleDoc("walkZip")},
                      {"theme.json", R"({"elements": [{"child": [{"name": "qtwalkwidget", "attr": {"mark": 9}}]}]})"}});
        QVERIFY(rm()->loadThemeFile(zip));
        QCOMPARE(outer->painter()->themeReads, 1);
        QVERIFY(rm()->themeChange());
        QCOMPARE(outer->painter()->themeReads, 2);
        QCOMPARE(outer->painter()->mark, 9);
        QCOMPARE(inDesigner->painter()->themeReads, 2);

        // A failed load walks nobody.
        QVERIFY(!rm()->loadThemeDir(m_tmp.filePath("missing-walk")));
        QCOMPARE(outer->painter()->themeReads, 2);

        // Language changes reach the registered windows only, not the designer windows.
        QVERIFY(rm()->readLanguage(utf16le("Language\twalk-1\twalk-2\r\nk\tone\ttwo\r\n")));
        QVERIFY(rm()->setCurrentLanguage("walk-2"));
        for (WalkWidget* w : inWindow)
            QCOMPARE(w->painter()->languageChanges, 1);
        QVERIFY(inDesigner->painter()->languageChanges == 0 && elsewhere->painter()->languageChanges == 0);

        // The global configuration refreshes both kinds of window.
        rm()->setGlobalFontFamily(QString());
        QCOMPARE(outer->painter()->themeReads, 3);
        QCOMPARE(inDesigner->painter()->themeReads, 3);

        // Deleted widgets and unregistered windows are left out of later walks.
        delete inner;
        QVERIFY(rm()->unregisterWindowWidget(&window));
        QVERIFY(rm()->themeChange());
        QCOMPARE(outer->painter()->themeReads, 3);
        QVERIFY(rm()->unregisterDesignerWindowWidget(&designer));
    }

    void walksSurviveAWindowDeletedOnTheWay()
    {
        // A widget of the first window that deletes the second window when told of a change: the walks of a
        // language switch and of the global configuration go on without the deleted window.
        const QString dir = m_tmp.filePath("delete-theme");
        QVERIFY(tevtest::writeFile(dir + "/style.json", styleDoc("deleting")));
        QVERIFY(tevtest::writeFile(dir + "/theme.json", R"({"elements": [{"child": [{"name": "qtwalkwidget"}]}]})"));
        QVERIFY(rm()->loadThemeDir(dir));
        QVERIFY(rm()->readLanguage(utf16le("Language\tdel-1\tdel-2\r\nk\tone\ttwo\r\n")));
        for (int walk = 0; walk < 2; ++walk) {
            QWidget first;
            QPointer<QWidget> second = new QWidget;
            auto* deleter = new WalkWidget(&first);
            new WalkWidget(second);
            deleter->painter()->onNotify = [&second] { delete second.data(); };
            QVERIFY(rm()->registerWindowWidget(&first) && rm()->registerWindowWidget(second));
            const int before = deleter->painter()->languageChanges + deleter->painter()->themeReads;
            if (walk == 0)
                QVERIFY(rm()->setCurrentLanguage(rm()->getCurrentLanguage() == "del-1" ? "del-2" : "del-1"));
            else
                rm()->setGlobalFontFamily(QString());
            QVERIFY(!second);
            QCOMPARE(deleter->painter()->languageChanges + deleter->painter()->themeReads, before + 1);
            QVERIFY(rm()->unregisterWindowWidget(&first));
        }
    }

    // A widget told of a theme or language change deletes a widget of the same window: itself, its parent, a
    // child, or a sibling told before or after it. The walk touches nothing freed and every widget left is told
    // once.
    void walksSurviveWidgetsDeletedOnTheWay_data()
    {
        QTest::addColumn<bool>("theme");
        QTest::addColumn<QString>("deleter");
        QTest::addColumn<QString>("victim");
        for (const bool theme : {true, false}) {
            const char* kind = theme ? "theme" : "language";
            QTest::addRow("%s: itself", kind) << theme << "b" << "b";
            QTest::addRow("%s: its child", kind) << theme << "b" << "b1";
            QTest::addRow("%s: its parent", kind) << theme << "b1" << "b";
            QTest::addRow("%s: next sibling", kind) << theme << "b" << "c";
            QTest::addRow("%s: sibling told before", kind) << theme << "b2" << "b1";
            QTest::addRow("%s: the last child itself", kind) << theme << "b2" << "b2";
        }
    }

    void walksSurviveWidgetsDeletedOnTheWay()
    {
        QFETCH(bool, theme);
        QFETCH(QString, deleter);
        QFETCH(QString, victim);
        const QString dir = m_tmp.filePath("self-delete-theme");
        QVERIFY(tevtest::writeFile(dir + "/style.json", styleDoc("selfDeleting")));
        QVERIFY(tevtest::writeFile(dir + "/theme.json", R"({"elements": [{"child": [{"name": "qtwalkwidget"}]}]})"));
        QVERIFY(rm()->loadThemeDir(dir));
        QVERIFY(rm()->readLanguage(utf16le("Language\tsd-1\tsd-2\r\nk\tone\ttwo\r\n")));

        QWidget window;
        QMap<QString, QPointer<WalkWidget>> widgets;
        widgets["a"] = new WalkWidget(&window);
        widgets["b"] = new WalkWidget(&window);
        widgets["b1"] = new WalkWidget(widgets["b"]);
        widgets["b2"] = new WalkWidget(widgets["b"]);
        widgets["c"] = new WalkWidget(&window);
        QMap<QString, int> before;
        for (auto it = widgets.begin(); it != widgets.end(); ++it) {
            it.value()->setObjectName(it.key());
            before[it.key()] = it.value()->painter()->themeReads + it.value()->painter()->languageChanges;
        }
        int deletions = 0;
        widgets[deleter]->painter()->onNotify = [&] {
            if (deletions++ == 0)
                delete widgets[victim].data();
        };
        QVERIFY(rm()->registerWindowWidget(&window));
        if (theme)
            QVERIFY(rm()->themeChange());
        else
            QVERIFY(rm()->setCurrentLanguage(rm()->getCurrentLanguage() == "sd-1" ? "sd-2" : "sd-1"));
        QVERIFY(rm()->unregisterWindowWidget(&window));
        QCOMPARE(deletions, 1);
        QVERIFY(!widgets[victim]);
        for (auto it = widgets.begin(); it != widgets.end(); ++it) {
            if (it.value())
                QCOMPARE(it.value()->painter()->themeReads + it.value()->painter()->languageChanges - before[it.key()], 1);
        }
    }

    void themeLoadedByASignalOfAWidgetReadingItsElement()
    {
        // A slider whose value change loads another theme: its theme maximum moves the value while it is still
        // reading the first theme's element, which must stay readable until it is done.
        const QString first = m_tmp.filePath("signal-theme-1");
        const QString second = m_tmp.filePath("signal-theme-2");
        QVERIFY(writeAll(first, {{"style.json", styleDoc("signal1")},
                                 {"theme.json", R"({"elements": [{"child": [{"name": "qtslider", "attr": {"max": 10, "min": 2}}]}]})"}}));
        QVERIFY(writeAll(second, {{"style.json", styleDoc("signal2")}, {"theme.json", kThemeJson}}));
        QWidget window;
        auto* slider = new TEVQSlider(&window);
        slider->setValue(50);
        int loads = 0;
        bool readable = false;
        QObject::connect(slider, &QSlider::valueChanged, [&] {
            if (loads++ > 0)
                return;
            const Json::Value* element = rm()->getThemeJsonValue("qtslider");
            rm()->loadThemeDir(second);
            readable = element && !addressFreed(element);
        });
        QVERIFY(rm()->registerWindowWidget(&window));
        QVERIFY(rm()->loadThemeDir(first));
        QVERIFY(loads > 0 && readable);
        QVERIFY(rm()->getThemePath() == second && rm()->unregisterWindowWidget(&window));
    }

    void themeDirectoryTakesRegularFilesOnly()
    {
        // Named pipes in a theme folder and in its "images": a thread opens them for writing now and then, so
        // that a walk waiting for a writer goes on, and shows what it took.
        const QString dir = m_tmp.filePath("theme-pipes");
        QVERIFY(writeAll(dir, {{"style.json", styleDoc("pipes")}, {"images/a.png", png(2, 2, Qt::red)}}));
        const QByteArray pipes[] = {QFile::encodeName(dir + "/pipe.png"), QFile::encodeName(dir + "/images/pipe.png")};
        for (const QByteArray& pipe : pipes)
            QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        std::atomic<bool> done{false};
        std::thread writer([&] {
            for (int i = 0; i < 1000 && !done; ++i) {
                for (const QByteArray& pipe : pipes) {
                    const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
                    if (fd >= 0)
                        ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        const bool loaded = rm()->loadThemeDir(dir);
        done = true;
        writer.join();
        QVERIFY(loaded && rm()->themeStore()->file("images/a.png"));
        QVERIFY(!rm()->themeStore()->file("pipe.png") && !rm()->themeStore()->file("images/pipe.png"));
    }

private:
    QTemporaryDir m_tmp;
};

TEV_TEST_MAIN(TestThemes)
#include "tst_themes.moc"
