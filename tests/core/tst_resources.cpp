// Resource manager: switches, style stores and lookups, files, images and their disabled variants, SVG
// renderers, fonts, the skin dictionary, global configuration and registered windows.
#include "TevTest.h"

#include "LanguageManager.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QSvgRenderer>
#include <QTemporaryDir>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

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

QByteArray utf16le(const QString& text, bool bom = false)
{
    QByteArray out;
    if (bom)
        out.append("\xFF\xFE", 2);
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

const char* kSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="3" height="3"><rect width="3" height="3" fill="red"/></svg>)";

struct SwitchGuard {
    bool theme = rm()->isLoadFromThemeRes();
    bool project = rm()->isProjectRes();
    ~SwitchGuard()
    {
        rm()->setSwitchToThemeRes(theme);
        rm()->setSwitchToProjectRes(project);
    }
};

// The store a resource was found in; -1 when it was not found.
int sourceOf(const QString& name, QByteArray* bytes = nullptr)
{
    const char* data = nullptr;
    unsigned size = 0;
    ResSourceType source = ResSourceProject;
    if (!rm()->getResource(name, data, size, source))
        return -1;
    if (bytes)
        *bytes = QByteArray(data, int(size));
    return int(source);
}

// An image looked up at a scale factor, the factor restored afterwards.
QImage* scaledImage(const QString& name, float factor)
{
    const float old = rm()->getScaleFactor();
    rm()->setScaleFactor(factor);
    QImage* image = rm()->getImage(name, false);
    rm()->setScaleFactor(old);
    return image;
}

} // namespace

class TestResources : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_theme.isValid());
        QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), R"({"style": [
            {"type": 1, "name": "themeOnly", "round": 3}, {"type": 2, "name": "themeText", "size": 20}]})"));
        const QList<QPair<const char*, QByteArray>> files{{"images/pic.png", png(20, 10, QColor(220, 30, 30))},
            {"images/half.png", png(20, 10, QColor(30, 30, 220))}, {"images/broken.png", "not an image"},
            {"images/shape.svg", kSvg}, {"images/bad.svg", "<svg"}, {"shared.txt", "theme"}, {"themeonly.txt", "theme only"}};
        for (const auto& f : files)
            QVERIFY(tevtest::writeFile(m_theme.filePath(f.first), f.second));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));
        rm()->defaultStore()->addFile("shared.txt", "default");
        rm()->initDefaultImageRes();
        // The theme has no "theme.json".
        QVERIFY(!rm()->getThemeJsonValue("qtlabel") && !rm()->getThemeJsonValue(nullptr));
    }

    void specialFillNamesNeedNoStore()
    {
        SwitchGuard guard;
        rm()->setSwitchToProjectRes(true); // no project store exists here
        for (const char* name : {"empty", "emptyRect"}) {
            FillStyle out;
            out.fillRes.radius = 7;
            QVERIFY(rm()->getFillStyle(name, out) && out.name == QString(name) && !out.valid);
        }
        TextStyleDesc text;
        QVERIFY(!rm()->getTextStyle("empty", text));
    }

    void styleLookupsFollowTheSwitches()
    {
        SwitchGuard guard;
        FillStyle hidden;
        hidden.valid = false;
        hidden.fillRes.radius = 11;
        rm()->setFillStyle("defaultOnly", hidden);

        FillStyle out;
        QVERIFY(rm()->getFillStyle("defaultOnly", out));
        QVERIFY(out.valid); // forced on by the lookup
        QCOMPARE(out.fillRes.radius, 11);
        QVERIFY(!rm()->getFillStyle("themeOnly", out));

        rm()->setSwitchToThemeRes(true);
        FillStyle untouched;
        untouched.fillRes.radius = 99;
        QVERIFY(!rm()->getFillStyle("defaultOnly", untouched));
        QCOMPARE(untouched.fillRes.radius, 99);
        QVERIFY(rm()->getFillStyle("themeOnly", out));
        QCOMPARE(out.fillRes.radius, 3);
        TextStyleDesc text;
        QVERIFY(rm()->getTextStyle("themeText", text));
        QCOMPARE(text.pixelSize, 20);

        // The project switch without a project store answers nothing, safely.
        rm()->setSwitchToThemeRes(false);
        rm()->setSwitchToProjectRes(true);
        QVERIFY(!rm()->getFillStyle("defaultOnly", out) && !rm()->getTextStyle("themeText", text));
    }

    void settersFileByName()
    {
        SwitchGuard guard;
        const size_t before = rm()->defaultStore()->fillStyles.size();
        FillStyle f, out;
        f.fillRes.radius = 5;
        TextStyleDesc t, textOut;
        rm()->setSwitchToProjectRes(true);
        rm()->setFillStyle("lost", f); // project mode without a project store: nothing happens
        rm()->setTextStyle("lostText", t);
        rm()->setSwitchToProjectRes(false);
        QCOMPARE(rm()->defaultStore()->fillStyles.size(), before);
        QVERIFY(!rm()->getFillStyle("lost", out) && !rm()->getTextStyle("lostText", textOut));

        // A second style of the same name replaces the first.
        rm()->setFillStyle("kept", f);
        f.fillRes.radius = 6;
        rm()->setFillStyle("kept", f);
        QCOMPARE(rm()->defaultStore()->fillStyles.size(), before + 1);
        QVERIFY(rm()->getFillStyle("kept", out));
        QCOMPARE(out.fillRes.radius, 6);

        // The text-style setter files its style like its fill-style twin.
        t.pixelSize = 31;
        rm()->setTextStyle("keptText", t);
        QVERIFY(rm()->getTextStyle("keptText", textOut) && textOut.pixelSize == 31);
        // Names from code find styles indexed by their bytes.
        rm()->setTextStyle(QString::fromLatin1(QString::fromUtf8("größe").toUtf8()), t);
        QVERIFY(rm()->getTextStyle(QString::fromUtf8("größe"), textOut));

        // A style filed by name carries that name, so that what it styles and the style JSON written from the
        // store name it as it was filed.
        FillStyle other;
        other.name = "otherName";
        rm()->setFillStyle("filedAs", other);
        t.name.clear();
        rm()->setTextStyle("textFiledAs", t);
        QVERIFY(rm()->getFillStyle("filedAs", out) && rm()->getTextStyle("textFiledAs", textOut));
        QCOMPARE(out.name + textOut.name, QString("filedAstextFiledAs"));
        Json::Value written(Json::arrayValue);
        QVERIFY(rm()->writeStyle(rm()->defaultStore(), written));
        QCOMPARE(json::getString(json::at(written, Json::ArrayIndex(rm()->defaultStore()->fillStylePosition("filedAs"))), "name"),
                 std::string("filedAs"));
    }

    void resourceSearchOrder()
    {
        // The default store first, names in any case and with either slash.
        QByteArray data;
        QCOMPARE(sourceOf("SHARED.TXT", &data), int(ResSourceDefault));
        QCOMPARE(data, QByteArray("default"));
        QCOMPARE(sourceOf("ThemeOnly.txt"), int(ResSourceTheme));
        QCOMPARE(sourceOf("Images\\Pic.PNG"), int(ResSourceTheme));
        QCOMPARE(sourceOf("nothing.txt"), -1);
        QCOMPARE(sourceOf("style.json"), -1); // style files are not indexed as files
        // A failed search reports the default store.
        const char* bytes;
        unsigned size;
        ResSourceType source = ResSourceTheme;
        QVERIFY(!rm()->getResource("nothing.txt", bytes, size, source));
        QCOMPARE(source, ResSourceDefault);
        // Only ASCII letters are folded.
        rm()->defaultStore()->addFile(QString::fromUtf8("Über.txt").toUtf8(), "x");
        QCOMPARE(sourceOf(QString::fromUtf8("ÜBER.TXT")), int(ResSourceDefault));
    }

    void imagesAreCachedPerNameAndVariant()
    {
        QImage* a = rm()->getImage("images/pic.png", false);
        QVERIFY(a && a->size() == QSize(20, 10));
        QCOMPARE(rm()->getImage("images/pic.png", false), a);
        QImage* g = rm()->getImage("images/pic.png", true);
        QVERIFY(g && g != a);
        QCOMPARE(rm()->getImage("images/pic.png", true), g);
        // Cached in the store the file came from.
        QVERIFY(rm()->themeStore()->imageCache.count("images/pic.png") && rm()->themeStore()->imageCache.count("images/pic.png_gray"));
        QVERIFY(!rm()->defaultStore()->imageCache.count("images/pic.png"));

        // The gray variant is desaturated.
        QCOMPARE(g->size(), a->size());
        auto spread = [](QColor c) {
            return qMax(c.red(), qMax(c.green(), c.blue())) - qMin(c.red(), qMin(c.green(), c.blue()));
        };
        const QColor gray = g->pixelColor(10, 5);
        QVERIFY2(spread(gray) < spread(a->pixelColor(10, 5)) / 2, qPrintable(gray.name(QColor::HexArgb)));
    }

    void scaledBrokenAndMissingImages()
    {
        QImage* half = scaledImage("images/half.png", 0.5f);
        QVERIFY(half && half->size() == QSize(10, 5));
        // Once cached, the size stays whatever the factor is now.
        QCOMPARE(rm()->getImage("images/half.png", false)->size(), QSize(10, 5));

        const size_t cached = rm()->themeStore()->imageCache.size() + rm()->defaultStore()->imageCache.size();
        for (bool gray : {false, true})
            QVERIFY(!rm()->getImage("images/broken.png", gray) && !rm()->getImage("", gray));
        QVERIFY(!rm()->getImage("images/absent.png", false));
        QCOMPARE(rm()->themeStore()->imageCache.size() + rm()->defaultStore()->imageCache.size(), cached);

        // An image that shrinks to nothing is not handed out.
        QTemporaryDir dir;
        const QString tiny = dir.filePath("tiny.png");
        QVERIFY(tevtest::writeFile(tiny, png(1, 1, Qt::red)));
        QVERIFY(!scaledImage(tiny, 0.5f));
        QVERIFY(!rm()->defaultStore()->imageCache.count(tiny));
    }

    void imagesFromSkinDirectoryPaths()
    {
        QVERIFY(tevtest::writeFile(m_skin.filePath("style.json"), R"({"style": []})"));
        QVERIFY(tevtest::writeFile(m_skin.filePath("logo.png"), png(4, 4, Qt::green)));
        QVERIFY(tevtest::writeFile(m_skin.filePath("images/icon.png"), png(6, 6, Qt::blue)));
        QVERIFY(rm()->setSkinDirPath(m_skin.path()));
        QImage* logo = rm()->getImage("logo.png", false);
        QVERIFY(logo && logo->size() == QSize(4, 4));
        QVERIFY(rm()->defaultStore()->imageCache.count("logo.png"));
        QImage* icon = rm()->getImage("icon.png", false); // dirPath + "images/" + name
        QVERIFY(icon && icon->size() == QSize(6, 6));
        // The name itself as a path.
        QImage* direct = rm()->getImage(m_skin.filePath("images/icon.png"), false);
        QVERIFY(direct && direct != icon);
    }

    // Pictures of a skin folder are those of the folder set last, also when one of the same name was shown
    // before: another folder, or the same one with its files replaced. Pictures of the stores' files and the
    // built-in ones stay as they were.
    void skinFolderPicturesFollowTheFolder()
    {
        QTemporaryDir other;
        QVERIFY(tevtest::writeFile(other.filePath("style.json"), R"({"style": []})"));
        QVERIFY(tevtest::writeFile(other.filePath("logo.png"), png(7, 7, Qt::red)));
        QVERIFY(tevtest::writeFile(other.filePath("mark.svg"), QByteArray(kSvg).replace("\"3\"", "\"5\"")));
        QVERIFY(tevtest::writeFile(m_skin.filePath("mark.svg"), kSvg));
        QImage* builtIn = rm()->getImage("IDB_CHECKED", false);
        QImage* fromStore = rm()->getImage("images/pic.png", false);
        QVERIFY(rm()->getImage("logo.png", false)->size() == QSize(4, 4) && rm()->getImage("logo.png", true));
        QCOMPARE(rm()->getSvgRenderer("mark.svg")->defaultSize(), QSize(3, 3));

        QVERIFY(rm()->setSkinDirPath(other.path()));
        QImage* logo = rm()->getImage("logo.png", false);
        QVERIFY(logo && logo->size() == QSize(7, 7) && logo->pixelColor(3, 3) == QColor(Qt::red));
        QCOMPARE(rm()->getImage("logo.png", true)->size(), QSize(7, 7));
        QCOMPARE(rm()->getSvgRenderer("mark.svg")->defaultSize(), QSize(5, 5));
        QCOMPARE(rm()->getImage("IDB_CHECKED", false), builtIn);
        QCOMPARE(rm()->getImage("images/pic.png", false), fromStore);

        // The same folder again, a file replaced.
        QVERIFY(tevtest::writeFile(other.filePath("logo.png"), png(2, 3, Qt::blue)));
        QVERIFY(rm()->setSkinDirPath(other.path()));
        QCOMPARE(rm()->getImage("logo.png", false)->size(), QSize(2, 3));

        // A theme loaded since that holds the name among its files: the theme's picture.
        QTemporaryDir theme;
        QVERIFY(tevtest::writeFile(theme.filePath("style.json"), R"({"style": []})"));
        QVERIFY(tevtest::writeFile(theme.filePath("logo.png"), png(9, 9, Qt::green)));
        QVERIFY(rm()->loadThemeDir(theme.path()));
        QCOMPARE(rm()->getImage("logo.png", false)->size(), QSize(9, 9));
        QVERIFY(rm()->loadThemeDir(m_theme.path()));

        QVERIFY(rm()->setSkinDirPath(m_skin.path()));
        QCOMPARE(rm()->getImage("logo.png", false)->size(), QSize(4, 4));
    }

    void svgRenderers()
    {
        QSvgRenderer* r = rm()->getSvgRenderer("images/shape.svg");
        QVERIFY(r && r->isValid() && r->defaultSize() == QSize(3, 3));
        QCOMPARE(rm()->getSvgRenderer("images/shape.svg"), r);
        QVERIFY(rm()->themeStore()->svgCache.count("images/shape.svg"));
        // A broken SVG is neither handed out nor cached.
        QVERIFY(!rm()->getSvgRenderer("images/bad.svg"));
        QVERIFY(!rm()->themeStore()->svgCache.count("images/bad.svg"));
        QVERIFY(!rm()->getSvgRenderer("images/none.svg") && !rm()->getSvgRenderer(""));
    }

    void fontsFromStoreFiles()
    {
        const QString fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
        if (!QFile::exists(fontPath))
            QSKIP("DejaVu Sans Mono is not installed");
        rm()->defaultStore()->addFile("fonts/mono.ttf", tevtest::readFile(fontPath));
        rm()->defaultStore()->addFile("fonts/broken.ttf", "not a font");
        rm()->defaultStore()->addFile("font", tevtest::readFile(fontPath)); // too short a key to be a font
        rm()->initFontRes(false);
        const auto& fonts = rm()->defaultStore()->fonts;
        QCOMPARE(int(fonts.size()), 1);
        QCOMPARE(fonts.begin()->first, QString("DejaVu Sans Mono"));
        QVERIFY(fonts.begin()->second >= 0);
    }

    void globalConfiguration()
    {
        const QFont appFont = QApplication::font();
        TEVGlobalConfig config;
        config.fontFamily = "DejaVu Serif";
        config.buttonFadeEnabled = true;
        config.buttonFadeDuration = 0; // not a duration: the default
        rm()->setGlobalConfig(config);
        QVERIFY(rm()->getButtonFadeEnabled() && rm()->getButtonFadeDuration() == 150);
        QCOMPARE(QApplication::font().family(), QString("DejaVu Serif"));
        QCOMPARE(QApplication::font().pointSize(), appFont.pointSize()); // family only

        // Setting the family alone keeps the rest.
        config.buttonFadeDuration = 400;
        rm()->setGlobalConfig(config);
        rm()->setGlobalFontFamily("DejaVu Sans");
        QCOMPARE(rm()->getButtonFadeDuration(), 400);
        QCOMPARE(QApplication::font().family(), QString("DejaVu Sans"));

        // An empty family leaves the application font alone.
        rm()->setGlobalConfig(TEVGlobalConfig());
        QVERIFY(QApplication::font().family() == QString("DejaVu Sans") && rm()->getGlobalFontFamily().isEmpty());
        QApplication::setFont(appFont);
    }

    void windowRegistry()
    {
        QVERIFY(!rm()->registerWindowWidget(nullptr) && !rm()->unregisterWindowWidget(nullptr));
        QWidget one;
        auto* two = new QWidget;
        QVERIFY(rm()->registerWindowWidget(&one) && rm()->registerWindowWidget(&one) && rm()->registerWindowWidget(two));
        QCOMPARE(rm()->registeredWindows(), (QList<QWidget*>{&one, two}));
        QVERIFY(rm()->registerDesignerWindowWidget(two));
        QCOMPARE(rm()->registeredDesignerWindows(), QList<QWidget*>{two});

        // A window deleted without unregistering never dangles.
        new QWidget(two);
        delete two;
        QCOMPARE(rm()->registeredWindows(), QList<QWidget*>{&one});
        QVERIFY(rm()->registeredDesignerWindows().isEmpty());
        QVERIFY(rm()->themeChange());
        rm()->setGlobalFontFamily(QString());

        QVERIFY(rm()->unregisterWindowWidget(&one));
        QVERIFY(!rm()->unregisterWindowWidget(&one) && !rm()->unregisterDesignerWindowWidget(&one));
        QVERIFY(rm()->registeredWindows().isEmpty());
    }

    void skinDictionary()
    {
        QVERIFY(LanguageManager::instance()->languages().isEmpty() && rm()->getLanguageList().isEmpty());
        QVERIFY(!rm()->setCurrentLanguage("en"));

        QVERIFY(rm()->readLanguage(utf16le("Language\tzh\ten\r\nhello\t你好\tHello\r\nbye\t再见\r\n\r\nonlykey\r\n")));
        QCOMPARE(rm()->getLanguageList(), (QStringList{"en", "zh"}));
        QCOMPARE(rm()->getCurrentLanguage(), QString("zh"));
        QCOMPARE(rm()->getString("hello"), QString::fromUtf8("你好"));
        QVERIFY(rm()->getString("onlykey").isEmpty() && rm()->getString("unknown").isEmpty());

        QVERIFY(!rm()->setCurrentLanguage("fr"));
        QVERIFY(rm()->setCurrentLanguage("en"));
        QCOMPARE(rm()->getString("hello"), QString("Hello"));
        QVERIFY(rm()->getString("bye").isEmpty()); // the line had no second text

        // A second file empties the tables it names and keeps the current language; a BOM is accepted.
        QVERIFY(rm()->readLanguage(utf16le("Language\ten\r\nhello\tHi", true) + "x"));
        QCOMPARE(rm()->getCurrentLanguage(), QString("en"));
        QCOMPARE(rm()->getString("hello"), QString("Hi"));
        QVERIFY(rm()->setCurrentLanguage("zh"));
        QCOMPARE(rm()->getString("hello"), QString::fromUtf8("你好"));

        // Once the dictionary has languages it answers first.
        QVERIFY(LanguageManager::instance()->loadFromJson(
            R"({"defaultLanguage": "en-US", "languages": {"en-US": {"hello": "Hello there"}, "zh-CN": {"x": "y"}}})"));
        QCOMPARE(rm()->getString("hello"), QString("Hello there"));
        QCOMPARE(rm()->getString("bye"), QString::fromUtf8("再见")); // not in the dictionary: the skin's table
        QCOMPARE(rm()->getLanguageList(), (QStringList{"en-US", "zh-CN"}));
        QVERIFY(rm()->setCurrentLanguage("zh-CN") && !rm()->setCurrentLanguage("zh"));
        QCOMPARE(LanguageManager::instance()->currentLanguage(), QString("zh-CN"));
    }

    void dictionaryRefusals()
    {
        const QStringList before = rm()->getLanguageList();
        const QString current = rm()->getCurrentLanguage();
        const QList<QPair<const char*, QByteArray>> refused{
            {"empty", QByteArray()},
            {"one line only", utf16le("Language\tde")},
            {"no language column", utf16le("Language\r\nk\tv")},
            {"wrong header word", utf16le("Lang\tde\r\nk\tv")},
            {"8-bit text is not UTF-16", "Language\tde\r\nk\tv"},
            {"lines end in CR LF", utf16le("Language\tde\nk\tv")}};
        for (const auto& r : refused)
            QVERIFY2(!rm()->readLanguage(r.second), r.first);
        QCOMPARE(rm()->getCurrentLanguage(), current);
        QVERIFY(!before.isEmpty());
        QCOMPARE(rm()->getLanguageList(), before);
    }

    void releaseResKeepsBuiltIns()
    {
        QImage* checked = rm()->getImage("IDB_CHECKED", false);
        QVERIFY(checked);
        QVERIFY(rm()->getImage("logo.png", false) && !rm()->defaultStore()->fillStyles.empty());
        QImage* themeImage = rm()->getImage("images/pic.png", false);

        rm()->releaseRes();
        QVERIFY(rm()->defaultStore()->fillStyles.empty() && rm()->defaultStore()->textStyles.empty());
        FillStyle out;
        QVERIFY(!rm()->getFillStyle("kept", out));
        QCOMPARE(rm()->getImage("IDB_CHECKED", false), checked);
        QVERIFY(!rm()->defaultStore()->imageCache.count("logo.png"));
        QCOMPARE(rm()->getImage("images/pic.png", false), themeImage); // other stores untouched
        QCOMPARE(sourceOf("shared.txt"), int(ResSourceDefault)); // files stay
    }

    // A picture no store holds is not searched for again at every paint: the miss is remembered until the
    // stores change, and for a second at most.
    void picturesLookedForInVain()
    {
        QTemporaryDir dir;
        QVERIFY(tevtest::writeFile(dir.filePath("style.json"), R"({"style": []})"));
        QVERIFY(rm()->setSkinDirPath(dir.path()));
        QElapsedTimer since;
        since.start();
        for (bool gray : {false, true})
            QVERIFY(!rm()->getImage("late.png", gray));
        QVERIFY(!rm()->getSvgRenderer("late.svg"));
        QVERIFY(tevtest::writeFile(dir.filePath("late.png"), png(5, 5, Qt::green)));
        QVERIFY(tevtest::writeFile(dir.filePath("late.svg"), kSvg));
        const bool remembered = !rm()->getImage("late.png", false) && !rm()->getImage("late.png", true) &&
                                !rm()->getSvgRenderer("late.svg");
        if (since.elapsed() < 800) // a machine too slow for this check still checks the rest
            QVERIFY(remembered);

        // Setting the folder (again) looks again.
        QVERIFY(rm()->setSkinDirPath(dir.path()));
        QImage* late = rm()->getImage("late.png", false);
        QVERIFY(late && late->size() == QSize(5, 5));
        QVERIFY(rm()->getImage("late.png", true) && rm()->getSvgRenderer("late.svg"));
        // So does a file added to a store, and any lookup a second after the miss.
        QVERIFY(!rm()->getImage("images/added.png", false));
        rm()->defaultStore()->addFile("images/added.png", png(3, 3, Qt::blue));
        QVERIFY(rm()->getImage("images/added.png", false));
        QVERIFY(!rm()->getImage("later.png", false));
        QVERIFY(tevtest::writeFile(dir.filePath("later.png"), png(4, 4, Qt::red)));
        QTRY_VERIFY_WITH_TIMEOUT(rm()->getImage("later.png", false), 5000);
        QVERIFY(rm()->setSkinDirPath(m_skin.path()));
    }

private:
    QTemporaryDir m_theme;
    QTemporaryDir m_skin;
};

TEV_TEST_MAIN(TestResources)
#include "tst_resources.moc"
