// Theme and skin loading: theme directories and archives, skin archives in files and memory, skin directories,
// project directories, the compiled-in default style and the built-in check and radio images.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "themes_walkwidget.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

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

// Changes one byte of the stored data of an entry whose payload is marker.
QByteArray corrupt(QByteArray zip, const QByteArray& marker)
{
    const int at = zip.indexOf(marker);
    if (at < 0)
        qFatal("marker not found");
    zip[at + marker.size() / 2] = char(zip[at + marker.size() / 2] ^ 0x20);
    return zip;
}

} // namespace

class TestThemes : public QObject {
    Q_OBJECT
private slots:
    void builtInImages();
    void defaultStyleResource();
    void themeDirectoryLayout();
    void themeDirectoryFailuresKeepTheTheme();
    void failedLoadIsNotLaterReportedAsSuccess();
    void sameDirectoryIsNotReloaded();
    void themeArchive();
    void themeArchiveFailuresKeepTheTheme();
    void skinArchiveFromFile();
    void skinArchiveFromMemory();
    void skinArchiveFailuresLeaveDefaultStoreAlone();
    void skinDirectory();
    void skinDirectoryFailures();
    void projectDirectory();
    void themeAndLanguageWalks();

private:
    QTemporaryDir m_tmp;
};

void TestThemes::builtInImages()
{
    rm()->initDefaultImageRes();
    const QRgb line = 0xFFCCCCCCu;
    for (const char* name : {"IDB_UNSELECT", "IDB_SELECTED", "IDB_UNCHECK", "IDB_CHECKED"}) {
        const QImage* image = rm()->getImage(name, false);
        QVERIFY2(image, name);
        QCOMPARE(image->size(), QSize(16, 16));
        QCOMPARE(image->format(), QImage::Format_ARGB32);
        QCOMPARE(qAlpha(image->pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image->pixel(15, 0)), 0);
        QVERIFY(rm()->defaultStore()->imageCache.count(name));
    }
    const QImage* uncheck = rm()->getImage("IDB_UNCHECK", false);
    QCOMPARE(uncheck->pixel(1, 1), line);
    QCOMPARE(uncheck->pixel(8, 1), line);
    QCOMPARE(uncheck->pixel(1, 8), line);
    QCOMPARE(qAlpha(uncheck->pixel(8, 8)), 0);

    const QImage* checked = rm()->getImage("IDB_CHECKED", false);
    QCOMPARE(checked->pixel(1, 1), line);
    QVERIFY(qMax(qAlpha(checked->pixel(11, 7)), qAlpha(checked->pixel(11, 8))) > 100); // the tick's long stroke
    QVERIFY(qAlpha(checked->pixel(6, 11)) > 100);                                      // the short stroke
    QCOMPARE(qAlpha(checked->pixel(4, 4)), 0);

    const QImage* unselect = rm()->getImage("IDB_UNSELECT", false);
    QVERIFY(qAlpha(unselect->pixel(8, 1)) > 100); // top of the ring
    QCOMPARE(qAlpha(unselect->pixel(8, 8)), 0);   // hollow
    QVERIFY(qAlpha(unselect->pixel(1, 1)) < 60);  // the ring's corner stays clear

    // Disabled variants of the built-ins come from the cached pictures.
    const QImage* grayChecked = rm()->getImage("IDB_CHECKED", true);
    QVERIFY(grayChecked && grayChecked != checked);
    QCOMPARE(grayChecked->size(), QSize(16, 16));
    QVERIFY(grayChecked->pixel(1, 1) != line);
    QVERIFY(qAlpha(grayChecked->pixel(1, 1)) > 0);
    QCOMPARE(rm()->getImage("IDB_CHECKED", true), grayChecked);
    QVERIFY(!rm()->getImage("IDB_NOTHING", true));

    const QImage* selected = rm()->getImage("IDB_SELECTED", false);
    QCOMPARE(selected->pixel(8, 8), line);        // the dot
    QVERIFY(qAlpha(selected->pixel(8, 1)) > 100);
    QCOMPARE(qAlpha(selected->pixel(8, 2)), 0);   // between ring and dot
}

void TestThemes::defaultStyleResource()
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

void TestThemes::themeDirectoryLayout()
{
    const QString dir = m_tmp.filePath("theme-a");
    QVERIFY(tevtest::writeFile(dir + "/Style.JSON", styleDoc("themeA", 1)));
    QVERIFY(tevtest::writeFile(dir + "/THEME.json", kThemeJson));
    QVERIFY(tevtest::writeFile(dir + "/images/Btn.PNG", png(8, 8, Qt::red)));
    QVERIFY(tevtest::writeFile(dir + "/images/deeper/skip.png", png(2, 2, Qt::red)));
    QVERIFY(tevtest::writeFile(dir + "/other/ignored.txt", "x"));
    QVERIFY(tevtest::writeFile(dir + "/Images2/x.txt", "x"));
    QVERIFY(tevtest::writeFile(dir + "/tmpTheme.zip", "zip"));
    QVERIFY(tevtest::writeFile(dir + "/Notes.TXT", "notes"));
    QVERIFY(tevtest::writeFile(dir + "/.hidden", "h"));

    QVERIFY(rm()->loadThemeDir(dir));
    QCOMPARE(rm()->getThemePath(), dir);
    QVERIFY(themeHas("themeA"));
    const auto& files = rm()->themeStore()->files;
    QVERIFY(files.count("images/btn.png"));
    QVERIFY(files.count("notes.txt"));
    QVERIFY(files.count("theme.json"));
    QVERIFY(files.count(".hidden"));
    QVERIFY(!files.count("tmptheme.zip"));
    QVERIFY(!files.count("style.json"));
    for (const auto& f : files)
        QVERIFY2(!f.first.contains("skip") && !f.first.contains("ignored") && !f.first.contains("x.txt"),
                 f.first.constData());
    QCOMPARE(rm()->themeStore()->styleFiles.size(), 1);

    const char* data;
    unsigned size;
    ResSourceType source;
    QVERIFY(rm()->getResource("images\\btn.png", data, size, source));
    QCOMPARE(source, ResSourceTheme);
    QVERIFY(rm()->getResource("IMAGES/Btn.png", data, size, source));
    QVERIFY(rm()->getImage("images/BTN.png", false));

    Json::Value* label = rm()->getThemeJsonValue("qtlabel");
    QVERIFY(label);
    QCOMPARE(json::getInt(json::get(*label, "attr"), "which"), 1); // the first of a name wins
    QVERIFY(rm()->getThemeJsonValue("qtbutton"));
    QVERIFY(!rm()->getThemeJsonValue("qtslider"));
    QVERIFY(!rm()->getThemeJsonValue(nullptr));
}

void TestThemes::themeDirectoryFailuresKeepTheTheme()
{
    const QString good = rm()->getThemePath();
    QVERIFY(themeHas("themeA"));
    auto stillGood = [&] {
        QCOMPARE(rm()->getThemePath(), good);
        QVERIFY(themeHas("themeA"));
        QVERIFY(rm()->getThemeJsonValue("qtlabel"));
    };

    QVERIFY(!rm()->loadThemeDir(QString()));
    stillGood();
    QVERIFY(!rm()->loadThemeDir(m_tmp.filePath("does-not-exist")));
    stillGood();

    const QString noStyle = m_tmp.filePath("no-style");
    QVERIFY(tevtest::writeFile(noStyle + "/theme.json", kThemeJson));
    QVERIFY(!rm()->loadThemeDir(noStyle));
    stillGood();

    const QString broken = m_tmp.filePath("broken-style");
    QVERIFY(tevtest::writeFile(broken + "/style.json", R"({"style": [{"type": 1, "name": "x"})"));
    QVERIFY(!rm()->loadThemeDir(broken));
    stillGood();

    const QString deep = m_tmp.filePath("deep-style");
    QVERIFY(tevtest::writeFile(deep + "/style.json", "{\"style\": " + QByteArray(5000, '[') + QByteArray(5000, ']') + "}"));
    QVERIFY(!rm()->loadThemeDir(deep));
    stillGood();

    // A broken theme document does not fail the load; the theme then has no elements.
    const QString badTheme = m_tmp.filePath("bad-theme-json");
    QVERIFY(tevtest::writeFile(badTheme + "/style.json", styleDoc("badThemeJson")));
    QVERIFY(tevtest::writeFile(badTheme + "/theme.json", R"({"elements": {"child": 5}})"));
    QVERIFY(rm()->loadThemeDir(badTheme));
    QVERIFY(themeHas("badThemeJson"));
    QVERIFY(!rm()->getThemeJsonValue("qtlabel"));
    QVERIFY(tevtest::writeFile(badTheme + "/theme.json", "{\"elements\": [5, {}]}"));
    QVERIFY(rm()->loadThemeDir(good)); // back to the first theme
    stillGood();
}

void TestThemes::failedLoadIsNotLaterReportedAsSuccess()
{
    const QString good = rm()->getThemePath();
    const QString dir = m_tmp.filePath("lacks-style-member");
    QVERIFY(tevtest::writeFile(dir + "/style.json", R"({"styles": []})"));
    QVERIFY(!rm()->loadThemeDir(dir));
    QVERIFY(!rm()->loadThemeDir(dir));
    QCOMPARE(rm()->getThemePath(), good);
    // Once the directory is mended, the same path loads.
    QVERIFY(tevtest::writeFile(dir + "/style.json", styleDoc("mended")));
    QVERIFY(rm()->loadThemeDir(dir));
    QVERIFY(themeHas("mended"));
    QVERIFY(rm()->loadThemeDir(good));
}

void TestThemes::sameDirectoryIsNotReloaded()
{
    const QString dir = rm()->getThemePath();
    TEVQResourceManagerImpl* store = rm()->themeStore();
    QVERIFY(tevtest::writeFile(dir + "/Style.JSON", styleDoc("changedOnDisk")));
    QVERIFY(rm()->loadThemeDir(dir));
    QCOMPARE(rm()->themeStore(), store);
    QVERIFY(themeHas("themeA"));
    QVERIFY(!themeHas("changedOnDisk"));
    QVERIFY(tevtest::writeFile(dir + "/Style.JSON", styleDoc("themeA", 1)));
}

void TestThemes::themeArchive()
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
    QVERIFY(!themeHas("notTheStyleFile"));
    QCOMPARE(rm()->themeStore()->styleFileCount, 1);
    QVERIFY(rm()->themeStore()->files.count("sub/style.json"));
    QVERIFY(!rm()->themeStore()->files.count("empty.txt"));
    QVERIFY(!rm()->themeStore()->files.count("dir/"));
    QVERIFY(rm()->getThemeJsonValue("qtbutton"));
    QImage* image = rm()->getImage("images/zip.png", false);
    QVERIFY(image);
    QCOMPARE(image->pixelColor(2, 2), QColor(Qt::blue));

    // No same-path shortcut for archives: the archive is read again.
    TEVQResourceManagerImpl* before = rm()->themeStore();
    QVERIFY(rm()->loadThemeFile(path));
    QVERIFY(rm()->themeStore() != before);
}

void TestThemes::themeArchiveFailuresKeepTheTheme()
{
    const QString good = rm()->getThemePath();
    auto stillGood = [&] {
        QCOMPARE(rm()->getThemePath(), good);
        QVERIFY(themeHas("zipTheme"));
    };
    const QString notZip = m_tmp.filePath("not-a-zip.zip");
    QVERIFY(tevtest::writeFile(notZip, "this is not an archive"));
    QVERIFY(!rm()->loadThemeFile(notZip));
    stillGood();
    QVERIFY(!rm()->loadThemeFile(m_tmp.filePath("missing.zip")));
    QVERIFY(!rm()->loadThemeFile(QString()));
    stillGood();

    const QString noStyle = m_tmp.filePath("no-style.zip");
    makeZip(noStyle, {{"theme.json", kThemeJson}});
    QVERIFY(!rm()->loadThemeFile(noStyle));
    stillGood();

    // One damaged entry fails the whole archive, whichever entry it is.
    const QByteArray marker = "PAYLOAD-0123456789-PAYLOAD";
    const QString damaged = m_tmp.filePath("damaged.zip");
    const QByteArray bytes = makeZip(damaged, {{"style.json", styleDoc("damagedTheme")}, {"notes.txt", marker}}, 0);
    QVERIFY(tevtest::writeFile(damaged, corrupt(bytes, marker)));
    QVERIFY(!rm()->loadThemeFile(damaged));
    stillGood();

    // The undamaged archive loads.
    QVERIFY(tevtest::writeFile(damaged, bytes));
    QVERIFY(rm()->loadThemeFile(damaged));
    QVERIFY(themeHas("damagedTheme"));
    QVERIFY(rm()->loadThemeFile(good));
    stillGood();
}

void TestThemes::skinArchiveFromFile()
{
    const QString fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    const QString path = m_tmp.filePath("skin.zip");
    QList<Entry> entries{{"style.json", R"({"style": [{"type": 1, "name": "skinFill", "round": 8},
                                          {"type": 1, "name": "defaultPanel", "round": 9}]})"},
                         {"Language.txt", utf16le("Language\tskin-a\tskin-b\r\nskin.key\tA text\tB text\r\n")},
                         {"images/skin.png", png(3, 3, Qt::green)}};
    if (QFile::exists(fontPath))
        entries.append({"fonts/mono.ttf", tevtest::readFile(fontPath)});
    makeZip(path, entries);

    QVERIFY(rm()->loadSkinFile(path));
    QCOMPARE(rm()->getFileSkinPath(), path);
    int round = 0;
    QVERIFY(fillRound("skinFill", round, false));
    QCOMPARE(round, 8);
    QVERIFY(fillRound("defaultPanel", round, false)); // same name: replaced
    QCOMPARE(round, 9);
    QVERIFY(fillRound("zipTheme", round, true)); // the theme is untouched
    QCOMPARE(rm()->getString("skin.key"), QString("A text"));
    QVERIFY(rm()->getLanguageList().contains("skin-b"));
    const char* data;
    unsigned size;
    ResSourceType source;
    QVERIFY(rm()->getResource("language.txt", data, size, source));
    QCOMPARE(source, ResSourceDefault);
    QVERIFY(rm()->getImage("images/skin.png", false));
    QVERIFY(rm()->defaultStore()->imageCache.count("images/skin.png"));
    if (QFile::exists(fontPath))
        QVERIFY(rm()->defaultStore()->fonts.count("DejaVu Sans Mono"));
}

void TestThemes::skinArchiveFromMemory()
{
    const QString path = m_tmp.filePath("memory-skin.zip");
    const QByteArray bytes = makeZip(path, {{"style.json", styleDoc("memorySkin", 2)},
                                            {"images/mem.png", png(2, 2, Qt::red)},
                                            {"sub/language.txt",
                                             utf16le("Language\tmem\r\nmem.key\tmemory\r\n")}});
    QFile::remove(path);
    const QString filePath = rm()->getFileSkinPath();
    QVERIFY(rm()->loadSkinFile(bytes.constData(), bytes.size()));
    QCOMPARE(rm()->getFileSkinPath(), filePath);
    int round = 0;
    QVERIFY(fillRound("memorySkin", round, false));
    QCOMPARE(round, 2);
    QVERIFY(rm()->getImage("images/mem.png", false));
    QVERIFY(!rm()->getLanguageList().contains("mem"));
    QVERIFY(rm()->getString("mem.key").isEmpty());

    QVERIFY(!rm()->loadSkinFile(nullptr, 10));
    QVERIFY(!rm()->loadSkinFile(bytes.constData(), 0));
    QVERIFY(!rm()->loadSkinFile("garbage", 7));
    // A truncated archive in memory fails cleanly.
    QVERIFY(!rm()->loadSkinFile(bytes.constData(), bytes.size() / 2));
}

void TestThemes::skinArchiveFailuresLeaveDefaultStoreAlone()
{
    const size_t files = rm()->defaultStore()->files.size();
    const int styleFiles = rm()->defaultStore()->styleFiles.size();
    const QString filePath = rm()->getFileSkinPath();
    auto untouched = [&] {
        QCOMPARE(rm()->defaultStore()->files.size(), files);
        QCOMPARE(rm()->defaultStore()->styleFiles.size(), styleFiles);
        QCOMPARE(rm()->getFileSkinPath(), filePath);
    };

    const QByteArray marker = "SKIN-PAYLOAD-abcdefghijklmnop";
    const QString damaged = m_tmp.filePath("damaged-skin.zip");
    const QByteArray bytes = makeZip(damaged, {{"style.json", styleDoc("damagedSkin")},
                                               {"images/fresh.png", png(2, 2, Qt::red)},
                                               {"readme.txt", marker}}, 0);
    const QByteArray bad = corrupt(bytes, marker);
    QVERIFY(tevtest::writeFile(damaged, bad));
    QVERIFY(!rm()->loadSkinFile(damaged));
    untouched();
    QVERIFY(!rm()->loadSkinFile(bad.constData(), bad.size()));
    untouched();
    int round = 0;
    QVERIFY(!fillRound("damagedSkin", round, false));
    QVERIFY(!rm()->getImage("images/fresh.png", false));

    const QString brokenStyle = m_tmp.filePath("broken-style-skin.zip");
    makeZip(brokenStyle, {{"style.json", "{\"style\": [}"}, {"images/other.png", png(2, 2, Qt::red)}});
    QVERIFY(!rm()->loadSkinFile(brokenStyle));
    untouched();
    QVERIFY(!rm()->loadSkinFile(m_tmp.filePath("missing-skin.zip")));
    QVERIFY(!rm()->loadSkinFile(QString()));
    untouched();
}

void TestThemes::skinDirectory()
{
    int n = 0;
    for (const QString& suffix : {QString(), QString("/"), QString("\\")}) {
        const QString dir = m_tmp.filePath("skin-dir" + QString::number(++n));
        QVERIFY(tevtest::writeFile(dir + "/STYLE.json", styleDoc("skinDirFill", 6)));
        QVERIFY(tevtest::writeFile(dir + "/Language.TXT", utf16le("Language\tdir-lang\r\ndir.key\tfrom dir\r\n")));
        QVERIFY(rm()->setSkinDirPath(dir + suffix));
        QCOMPARE(rm()->getSkinDirPath(), dir + "/");
        int round = 0;
        QVERIFY(fillRound("skinDirFill", round, false));
        QCOMPARE(round, 6);
        QVERIFY(rm()->getLanguageList().contains("dir-lang"));
    }
}

void TestThemes::skinDirectoryFailures()
{
    const QString dirPath = rm()->getSkinDirPath();
    QVERIFY(!rm()->setSkinDirPath(QString()));
    QVERIFY(!rm()->setSkinDirPath(m_tmp.filePath("no-such-skin")));
    const QString emptyStyle = m_tmp.filePath("empty-style-skin");
    QVERIFY(tevtest::writeFile(emptyStyle + "/style.json", QByteArray()));
    QVERIFY(!rm()->setSkinDirPath(emptyStyle));
    const QString noMember = m_tmp.filePath("no-member-skin");
    QVERIFY(tevtest::writeFile(noMember + "/style.json", "[1, 2]"));
    QVERIFY(!rm()->setSkinDirPath(noMember));
    QCOMPARE(rm()->getSkinDirPath(), dirPath);
}

void TestThemes::projectDirectory()
{
    const QString dir = m_tmp.filePath("project");
    QVERIFY(tevtest::writeFile(dir + "/style.json", styleDoc("projectFill", 12)));
    QVERIFY(tevtest::writeFile(dir + "/theme.json", kThemeJson));
    QVERIFY(tevtest::writeFile(dir + "/images/p.png", png(2, 2, Qt::red)));
    QVERIFY(rm()->setProjectDirPath(dir));
    QVERIFY(rm()->projectStore());
    QCOMPARE(rm()->projectStore()->filePath, dir);
    QVERIFY(!rm()->projectStore()->themeRoot.isNull());
    QVERIFY(rm()->projectStore()->elementIndex.empty());
    QCOMPARE(&rm()->getFillStyles(), &rm()->projectStore()->fillStyles);

    rm()->setSwitchToProjectRes(true);
    FillStyle out;
    QVERIFY(rm()->getFillStyle("projectFill", out));
    QCOMPARE(out.fillRes.radius, 12);
    FillStyle added;
    added.name = "addedInDesigner";
    rm()->setFillStyle("addedInDesigner", added);
    rm()->setSwitchToProjectRes(false);
    QVERIFY(!rm()->getFillStyle("addedInDesigner", out));
    QVERIFY(rm()->toProjectStyleString().contains("addedInDesigner"));

    const char* data;
    unsigned size;
    ResSourceType source;
    QVERIFY(rm()->getResource("images/p.png", data, size, source));
    QCOMPARE(source, ResSourceProject);

    // A directory without styles still replaces the project store, and reports failure.
    QVERIFY(!rm()->setProjectDirPath(m_tmp.filePath("no-project")));
    QVERIFY(rm()->projectStore());
    QVERIFY(rm()->projectStore()->fillStyles.empty());
    QVERIFY(!rm()->setProjectDirPath(QString()));
}

void TestThemes::themeAndLanguageWalks()
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

    QVERIFY(rm()->registerWindowWidget(&window));
    QVERIFY(rm()->registerWindowWidget(&window));
    QVERIFY(rm()->registerDesignerWindowWidget(&designer));

    // Loading a theme directory walks every registered window and designer window once.
    QVERIFY(rm()->loadThemeDir(dir));
    for (WalkWidget* w : inWindow) {
        QCOMPARE(w->painter()->themeReads, 1);
        QCOMPARE(w->painter()->mark, 7);
    }
    QCOMPARE(inDesigner->painter()->themeReads, 1);
    QCOMPARE(elsewhere->painter()->themeReads, 0);
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
    QCOMPARE(inDesigner->painter()->languageChanges, 0);
    QCOMPARE(elsewhere->painter()->languageChanges, 0);

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

TEV_TEST_MAIN(TestThemes)
#include "tst_themes.moc"
