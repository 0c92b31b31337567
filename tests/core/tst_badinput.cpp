// Every file of the bad-input corpus through the real loaders: the theme and skin loaders of the resource manager
// (directories, archive files and archives in memory, read by the zip reader), the style JSON reader, the image
// decoder of the resource manager and the dictionary loader. (The zip reader's own codes for each corpus file are
// pinned in tst_zip.) Each file is refused with an error or loaded (partly); nothing crashes, and a refused theme,
// skin or dictionary leaves the one in use working.
#include "TevTest.h"
#include "LanguageManager.h"
#include "TEVQResourceManager.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <sys/resource.h>


using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

const QByteArray kGoodStyle = R"({"style":[{"type":1,"name":"goodFill","clr":"ff112233"},
                                            {"type":2,"name":"goodText","clr":"ff000000"}]})";
const QByteArray kGoodTheme = R"({"elements":[{"child":[{"type":"qtlabel","name":"goodElement"}]}]})";
const QByteArray kSkinStyle = R"({"style":[{"type":1,"name":"skinFill","clr":"ff445566"}]})";

QStringList corpusFiles(const QString& folder)
{
    const QDir dir(tevtest::dataPath("corpus/" + folder));
    QStringList out;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        if (info.fileName() != QLatin1String("README.txt"))
            out << info.absoluteFilePath();
    }
    return out;
}

struct ThemeSwitch {
    explicit ThemeSwitch(bool on) : was(rm()->isLoadFromThemeRes()) { rm()->setSwitchToThemeRes(on); }
    ~ThemeSwitch() { rm()->setSwitchToThemeRes(was); }
    bool was;
};

// Walks and writes everything a loaded store offers, so that half-read values are touched.
void touchStores()
{
    FillStyle fill;
    TextStyleDesc text;
    for (const FillStyle& f : rm()->getFillStyles())
        rm()->getFillStyle(f.name, fill);
    for (const TextStyleDesc& t : rm()->getTextStyles())
        rm()->getTextStyle(t.name, text);
    ThemeSwitch on(true);
    Json::Value written;
    rm()->writeStyle(rm()->defaultStore(), written);
    if (TEVQResourceManagerImpl* theme = rm()->themeStore()) {
        rm()->writeStyle(theme, written);
        for (const FillStyle& f : theme->fillStyles)
            rm()->getFillStyle(f.name, fill);
    }
    rm()->getThemeJsonValue("goodElement");
    rm()->getThemeJsonValue("qtlabel");
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

    QTemporaryDir m_tmp;
    QString m_goodThemeDir;
    QString m_skinDir;

    // The good theme directory is the theme in use.
    void loadGoodTheme()
    {
        QVERIFY(rm()->loadThemeDir(m_goodThemeDir));
        QCOMPARE(rm()->getThemePath(), m_goodThemeDir);
    }

    void verifyGoodThemeInPlace(const QString& what)
    {
        QVERIFY2(rm()->getThemePath() == m_goodThemeDir, qPrintable(what));
        ThemeSwitch on(true);
        FillStyle fill;
        QVERIFY2(rm()->getFillStyle("goodFill", fill), qPrintable(what));
        QCOMPARE(fill.fillRes.fillColor, QColor(0x11, 0x22, 0x33));
        QVERIFY2(rm()->getThemeJsonValue("goodElement"), qPrintable(what));
    }

    void verifySkinInPlace(const QString& what)
    {
        ThemeSwitch off(false);
        FillStyle fill;
        QVERIFY2(rm()->getFillStyle("skinFill", fill), qPrintable(what));
        QCOMPARE(fill.fillRes.fillColor, QColor(0x44, 0x55, 0x66));
    }

    QString makeDir(const QString& name, const QByteArray& style, const QByteArray& theme)
    {
        const QString dir = m_tmp.filePath(name);
        if (!style.isNull())
            tevtest::writeFile(dir + "/style.json", style);
        if (!theme.isNull())
            tevtest::writeFile(dir + "/theme.json", theme);
        QDir().mkpath(dir);
        return dir;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        m_goodThemeDir = makeDir("goodTheme", kGoodStyle, kGoodTheme);
        m_skinDir = makeDir("skin", kSkinStyle, QByteArray());
        QVERIFY(rm()->setSkinDirPath(m_skinDir));
        loadGoodTheme();
        verifyGoodThemeInPlace("start");
        verifySkinInPlace("start");
        for (const char* folder : {"zip", "style", "dictionary", "image"})
            QVERIFY2(!corpusFiles(folder).isEmpty(), folder);
    }

    // Zip corpus as theme archives: refused unless the reader reads the whole archive; a refusal keeps the theme.
    void zipCorpusAsThemeArchive()
    {
        const QStringList loadable{"valid_theme.zip", "dotdot_names.zip", "extra_field_overrun.zip"};
        for (const QString& path : corpusFiles("zip")) {
            loadGoodTheme();
            const QString name = QFileInfo(path).fileName();
            const bool ok = rm()->loadThemeFile(path);
            QVERIFY2(ok == loadable.contains(name), qPrintable(name));
            if (ok)
                QCOMPARE(rm()->getThemePath(), path);
            else
                verifyGoodThemeInPlace(name);
            touchStores();
        }
        loadGoodTheme();
    }

    // Zip corpus as skin archives, from a file and from memory: a refused skin leaves the default store as it was.
    void zipCorpusAsSkinArchive()
    {
        for (const QString& path : corpusFiles("zip")) {
            const QString name = QFileInfo(path).fileName();
            const QByteArray bytes = tevtest::readFile(path);
            for (int fromMemory = 0; fromMemory < 2; ++fromMemory) {
                const size_t fills = rm()->defaultStore()->fillStyles.size();
                const size_t files = rm()->defaultStore()->files.size();
                const bool ok = fromMemory ? rm()->loadSkinFile(bytes.constData(), bytes.size())
                                           : rm()->loadSkinFile(path);
                if (!ok) {
                    QCOMPARE(rm()->defaultStore()->fillStyles.size(), fills);
                    QCOMPARE(rm()->defaultStore()->files.size(), files);
                }
                verifySkinInPlace(name);
                touchStores();
            }
        }
        verifyGoodThemeInPlace("after skins");
    }

    // Style corpus as the style.json of a theme directory and of a skin directory (archives reach the same reader),
    // and as the theme.json of an otherwise good theme.
    void styleCorpusThroughLoaders()
    {
        int n = 0;
        for (const QString& path : corpusFiles("style")) {
            const QString name = QFileInfo(path).fileName();
            const bool valid = name.startsWith("valid_");
            const QByteArray text = tevtest::readFile(path);
            ++n;
            // A valid style always loads; a refused theme keeps the good one, a skin keeps its styles.
            auto theme = [&](bool ok, const char* via) {
                QVERIFY2(ok || !valid, qPrintable(name + via));
                if (!ok)
                    verifyGoodThemeInPlace(name + via);
                touchStores();
            };
            auto skin = [&](bool ok, const char* via) {
                QVERIFY2(ok || !valid, qPrintable(name + via));
                verifySkinInPlace(name + via);
                touchStores();
            };

            loadGoodTheme();
            theme(rm()->loadThemeDir(makeDir(QString("styleTheme%1").arg(n), text, kGoodTheme)), " (theme dir)");
            // As the theme document: the style is good, so the theme loads; its element index may be empty.
            loadGoodTheme();
            QVERIFY2(rm()->loadThemeDir(makeDir(QString("themeDoc%1").arg(n), kGoodStyle, text)), qPrintable(name));
            touchStores();

            skin(rm()->setSkinDirPath(makeDir(QString("skin%1").arg(n), text, QByteArray())), " (skin dir)");
        }
        loadGoodTheme();
        verifyGoodThemeInPlace("after styles");
    }

    // Image corpus as the images of a theme directory and as loose files: pictures that declare a size over the
    // caps and broken ones are refused (null) without anything of their declared size being allocated; valid_*
    // files load. (Theme archives reach the same decoder; tst_themes covers them.)
    void imageCorpusThroughTheThemeLoader()
    {
        const QString dir = makeDir("imageTheme", kGoodStyle, kGoodTheme);
        const QStringList files = corpusFiles("image");
        for (const QString& path : files)
            QVERIFY(tevtest::writeFile(dir + "/images/" + QFileInfo(path).fileName(), tevtest::readFile(path)));
        QVERIFY(rm()->loadThemeDir(dir));
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const long peak = usage.ru_maxrss;
        for (const QString& path : files) {
            const QString name = QFileInfo(path).fileName();
            const bool valid = name.startsWith("valid_");
            for (const QString& key : {"images/" + name, path}) {
                for (bool gray : {false, true})
                    QVERIFY2((rm()->getImage(key, gray) != nullptr) == valid, qPrintable(key));
                if (name.endsWith(".svg"))
                    QVERIFY2((rm()->getSvgRenderer(key) != nullptr) == valid, qPrintable(key));
            }
        }
        getrusage(RUSAGE_SELF, &usage);
        QVERIFY2(usage.ru_maxrss - peak < 256 * 1024, qPrintable(QString::number(usage.ru_maxrss - peak)));
        loadGoodTheme();
    }

    // Dictionary corpus through the language manager: valid files load, every other one is refused with a message
    // and the dictionary in use stays as it was.
    void dictionaryCorpus()
    {
        LanguageManager* lm = LanguageManager::instance();
        const QString goodPath = tevtest::dataPath("corpus/dictionary/valid_dashboard.json");
        QString error;
        QVERIFY2(lm->loadFromFile(goodPath, &error), qPrintable(error));
        QVERIFY(lm->setLanguage("zh-CN"));
        const QJsonObject doc = QJsonDocument::fromJson(tevtest::readFile(goodPath)).object();
        const QJsonObject english = doc.value("languages").toObject().value("en-US").toObject();
        QVERIFY(!english.isEmpty());
        const QString key = english.keys().first();

        for (const QString& path : corpusFiles("dictionary")) {
            const QString name = QFileInfo(path).fileName();
            const QString language = lm->currentLanguage();
            const QStringList languages = lm->languages();
            const QString text = lm->text(key);
            error.clear();
            const bool ok = lm->loadFromFile(path, &error);
            QVERIFY2(ok == name.startsWith("valid_"), qPrintable(name));
            if (!ok) {
                QVERIFY2(!error.isEmpty(), qPrintable(name));
                QCOMPARE(lm->currentLanguage(), language);
                QCOMPARE(lm->languages(), languages);
                QCOMPARE(lm->text(key), text);
            }
            // The same bytes handed over directly give the same answer.
            QCOMPARE(lm->loadFromJson(tevtest::readFile(path)), ok);
            QVERIFY(lm->loadFromFile(goodPath));
            QVERIFY(lm->setLanguage("zh-CN"));
        }
    }

};

TEV_TEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
