// Resource manager: switches, style stores and lookups, files, images and their disabled variants, SVG
// renderers, fonts, the skin dictionary, global configuration and registered windows.
#include "TevTest.h"

#include "LanguageManager.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"

#include <QBuffer>
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

// A widget tree a theme or language walk can visit.
class Counting : public QWidget {
public:
    using QWidget::QWidget;
};

} // namespace

class TestResources : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void switchesAndAccessors();
    void specialFillNamesNeedNoStore();
    void styleLookupsFollowTheSwitches();
    void settersFileByName();
    void resourceSearchOrder();
    void imagesAreCachedPerNameAndVariant();
    void grayVariantIsDesaturated();
    void scaledImages();
    void brokenAndMissingImages();
    void imagesFromSkinDirectoryPaths();
    void svgRenderers();
    void fontsFromStoreFiles();
    void globalConfiguration();
    void windowRegistry();
    void skinDictionary();
    void dictionaryRefusals();
    void themeJsonValueWithoutTheme();
    void releaseResKeepsBuiltIns();

private:
    QTemporaryDir m_theme;
    QTemporaryDir m_skin;
};

void TestResources::initTestCase()
{
    QVERIFY(m_theme.isValid());
    QVERIFY(tevtest::writeFile(m_theme.filePath("style.json"), R"({"style": [
        {"type": 1, "name": "themeOnly", "round": 3}, {"type": 2, "name": "themeText", "size": 20}]})"));
    QVERIFY(tevtest::writeFile(m_theme.filePath("images/pic.png"), png(20, 10, QColor(220, 30, 30))));
    QVERIFY(tevtest::writeFile(m_theme.filePath("images/half.png"), png(20, 10, QColor(30, 30, 220))));
    QVERIFY(tevtest::writeFile(m_theme.filePath("images/broken.png"), "not an image"));
    QVERIFY(tevtest::writeFile(m_theme.filePath("images/shape.svg"), kSvg));
    QVERIFY(tevtest::writeFile(m_theme.filePath("images/bad.svg"), "<svg"));
    QVERIFY(tevtest::writeFile(m_theme.filePath("shared.txt"), "theme"));
    QVERIFY(tevtest::writeFile(m_theme.filePath("themeonly.txt"), "theme only"));
    QVERIFY(rm()->loadThemeDir(m_theme.path()));
    rm()->defaultStore()->addFile("shared.txt", "default");
    rm()->initDefaultImageRes();
}

void TestResources::switchesAndAccessors()
{
    QVERIFY(!rm()->isCreatedByFile());
    QVERIFY(!rm()->isLoadFromThemeRes());
    QVERIFY(!rm()->isProjectRes());
    QVERIFY(!rm()->isDesigner());
    QCOMPARE(rm()->getScaleFactor(), 100.0f);
    rm()->setCreatedByFile(true);
    rm()->setIsDesigner(true);
    QVERIFY(rm()->isCreatedByFile() && rm()->isDesigner());
    rm()->setCreatedByFile(false);
    rm()->setIsDesigner(false);
    QCOMPARE(rm()->getThemePath(), m_theme.path());
    QVERIFY(rm()->getFileSkinPath().isEmpty());
    QCOMPARE(&rm()->getFillStyles(), &rm()->defaultStore()->fillStyles);
    QCOMPARE(&rm()->getTextStyles(), &rm()->defaultStore()->textStyles);
}

void TestResources::specialFillNamesNeedNoStore()
{
    SwitchGuard guard;
    rm()->setSwitchToProjectRes(true); // no project store exists here
    for (const char* name : {"empty", "emptyRect"}) {
        FillStyle out;
        out.fillRes.radius = 7;
        QVERIFY(rm()->getFillStyle(name, out));
        QCOMPARE(out.name, QString(name));
        QVERIFY(!out.valid);
    }
    TextStyleDesc text;
    QVERIFY(!rm()->getTextStyle("empty", text));
}

void TestResources::styleLookupsFollowTheSwitches()
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
    QVERIFY(!rm()->getFillStyle("defaultOnly", out));
    QVERIFY(!rm()->getTextStyle("themeText", text));
}

void TestResources::settersFileByName()
{
    SwitchGuard guard;
    const size_t before = rm()->defaultStore()->fillStyles.size();
    FillStyle f;
    f.fillRes.radius = 5;
    rm()->setSwitchToProjectRes(true);
    rm()->setFillStyle("lost", f); // project mode without a project store: nothing happens
    TextStyleDesc t;
    rm()->setTextStyle("lostText", t);
    rm()->setSwitchToProjectRes(false);
    QCOMPARE(rm()->defaultStore()->fillStyles.size(), before);
    FillStyle out;
    QVERIFY(!rm()->getFillStyle("lost", out));
    TextStyleDesc textOut;
    QVERIFY(!rm()->getTextStyle("lostText", textOut));

    rm()->setFillStyle("kept", f);
    QVERIFY(rm()->getFillStyle("kept", out));
    QCOMPARE(out.fillRes.radius, 5);
    f.fillRes.radius = 6;
    rm()->setFillStyle("kept", f);
    QCOMPARE(rm()->defaultStore()->fillStyles.size(), before + 1);
    QVERIFY(rm()->getFillStyle("kept", out));
    QCOMPARE(out.fillRes.radius, 6);

    // The text-style setter files its style like its fill-style twin.
    t.pixelSize = 31;
    rm()->setTextStyle("keptText", t);
    QVERIFY(rm()->getTextStyle("keptText", textOut));
    QCOMPARE(textOut.pixelSize, 31);
    // Names from code find styles indexed by their bytes.
    rm()->setTextStyle(QString::fromLatin1(QString::fromUtf8("größe").toUtf8()), t);
    QVERIFY(rm()->getTextStyle(QString::fromUtf8("größe"), textOut));
}

void TestResources::resourceSearchOrder()
{
    const char* data = nullptr;
    unsigned size = 0;
    ResSourceType source = ResSourceProject;
    QVERIFY(rm()->getResource("SHARED.TXT", data, size, source));
    QCOMPARE(source, ResSourceDefault);
    QCOMPARE(QByteArray(data, int(size)), QByteArray("default"));
    QVERIFY(rm()->getResource("ThemeOnly.txt", data, size, source));
    QCOMPARE(source, ResSourceTheme);
    QCOMPARE(QByteArray(data, int(size)), QByteArray("theme only"));
    QVERIFY(rm()->getResource("Images\\Pic.PNG", data, size, source));
    QCOMPARE(source, ResSourceTheme);
    source = ResSourceTheme;
    QVERIFY(!rm()->getResource("nothing.txt", data, size, source));
    QCOMPARE(source, ResSourceDefault);
    QVERIFY(!rm()->getResource("style.json", data, size, source)); // style files are not indexed as files
    QVERIFY(!rm()->getResource("", data, size, source));
    rm()->defaultStore()->addFile(QString::fromUtf8("ÜBER.txt").toUtf8().replace("B", "b").replace("E", "e").replace("R", "r"), "x");
    QVERIFY(rm()->getResource(QString::fromUtf8("ÜBER.TXT"), data, size, source));
}

void TestResources::imagesAreCachedPerNameAndVariant()
{
    QImage* a = rm()->getImage("images/pic.png", false);
    QVERIFY(a);
    QCOMPARE(a->size(), QSize(20, 10));
    QCOMPARE(rm()->getImage("images/pic.png", false), a);
    QCOMPARE(rm()->getImage("IMAGES\\PIC.png", false) != nullptr, true); // another key, the same file
    QImage* g = rm()->getImage("images/pic.png", true);
    QVERIFY(g && g != a);
    QCOMPARE(rm()->getImage("images/pic.png", true), g);
    // Cached in the store the file came from.
    QVERIFY(rm()->themeStore()->imageCache.count("images/pic.png"));
    QVERIFY(rm()->themeStore()->imageCache.count("images/pic.png_gray"));
    QVERIFY(!rm()->defaultStore()->imageCache.count("images/pic.png"));
}

void TestResources::grayVariantIsDesaturated()
{
    const QImage* color = rm()->getImage("images/pic.png", false);
    const QImage* gray = rm()->getImage("images/pic.png", true);
    QVERIFY(color && gray);
    QCOMPARE(gray->size(), color->size());
    const QColor before = color->pixelColor(10, 5);
    const QColor after = gray->pixelColor(10, 5);
    QVERIFY(before != after);
    const int spreadBefore = qMax(before.red(), qMax(before.green(), before.blue())) -
                             qMin(before.red(), qMin(before.green(), before.blue()));
    const int spreadAfter = qMax(after.red(), qMax(after.green(), after.blue())) -
                            qMin(after.red(), qMin(after.green(), after.blue()));
    QVERIFY2(spreadAfter < spreadBefore / 2, qPrintable(after.name(QColor::HexArgb)));
}

void TestResources::scaledImages()
{
    const float old = rm()->getScaleFactor();
    rm()->setScaleFactor(0.5f);
    QImage* half = rm()->getImage("images/half.png", false);
    rm()->setScaleFactor(old);
    QVERIFY(half);
    QCOMPARE(half->size(), QSize(10, 5));
    // Once cached, the size stays whatever the factor is now.
    QCOMPARE(rm()->getImage("images/half.png", false)->size(), QSize(10, 5));
}

void TestResources::brokenAndMissingImages()
{
    const size_t cached = rm()->themeStore()->imageCache.size() + rm()->defaultStore()->imageCache.size();
    QVERIFY(!rm()->getImage("images/broken.png", false));
    QVERIFY(!rm()->getImage("images/broken.png", true));
    QVERIFY(!rm()->getImage("images/absent.png", false));
    QVERIFY(!rm()->getImage("", false));
    QVERIFY(!rm()->getImage("", true));
    QCOMPARE(rm()->themeStore()->imageCache.size() + rm()->defaultStore()->imageCache.size(), cached);

    // An image that shrinks to nothing is not handed out.
    QTemporaryDir dir;
    const QString tiny = dir.filePath("tiny.png");
    QVERIFY(tevtest::writeFile(tiny, png(1, 1, Qt::red)));
    const float old = rm()->getScaleFactor();
    rm()->setScaleFactor(0.5f);
    QImage* none = rm()->getImage(tiny, false);
    rm()->setScaleFactor(old);
    QVERIFY(!none);
    QVERIFY(!rm()->defaultStore()->imageCache.count(tiny));
}

void TestResources::imagesFromSkinDirectoryPaths()
{
    QTemporaryDir& skin = m_skin;
    QVERIFY(tevtest::writeFile(skin.filePath("style.json"), R"({"style": []})"));
    QVERIFY(tevtest::writeFile(skin.filePath("logo.png"), png(4, 4, Qt::green)));
    QVERIFY(tevtest::writeFile(skin.filePath("images/icon.png"), png(6, 6, Qt::blue)));
    QVERIFY(rm()->setSkinDirPath(skin.path()));
    QImage* logo = rm()->getImage("logo.png", false);
    QVERIFY(logo);
    QCOMPARE(logo->size(), QSize(4, 4));
    QVERIFY(rm()->defaultStore()->imageCache.count("logo.png"));
    QImage* icon = rm()->getImage("icon.png", false); // dirPath + "images/" + name
    QVERIFY(icon);
    QCOMPARE(icon->size(), QSize(6, 6));
    // The name itself as a path.
    QImage* direct = rm()->getImage(skin.filePath("images/icon.png"), false);
    QVERIFY(direct && direct != icon);
}

void TestResources::svgRenderers()
{
    QSvgRenderer* r = rm()->getSvgRenderer("images/shape.svg");
    QVERIFY(r);
    QVERIFY(r->isValid());
    QCOMPARE(r->defaultSize(), QSize(3, 3));
    QCOMPARE(rm()->getSvgRenderer("Images/Shape.svg") != nullptr, true);
    QCOMPARE(rm()->getSvgRenderer("images/shape.svg"), r);
    QVERIFY(rm()->themeStore()->svgCache.count("images/shape.svg"));
    QVERIFY(!rm()->getSvgRenderer("images/bad.svg"));
    QVERIFY(!rm()->themeStore()->svgCache.count("images/bad.svg"));
    QVERIFY(!rm()->getSvgRenderer("images/none.svg"));
    QVERIFY(!rm()->getSvgRenderer(""));
}

void TestResources::fontsFromStoreFiles()
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

void TestResources::globalConfiguration()
{
    const QFont appFont = QApplication::font();
    TEVGlobalConfig config;
    config.fontFamily = "DejaVu Serif";
    config.buttonFadeEnabled = true;
    config.buttonFadeDuration = 0;
    rm()->setGlobalConfig(config);
    QCOMPARE(rm()->getGlobalConfig().buttonFadeDuration, 150);
    QCOMPARE(rm()->getButtonFadeDuration(), 150);
    QVERIFY(rm()->getButtonFadeEnabled());
    QCOMPARE(rm()->getGlobalFontFamily(), QString("DejaVu Serif"));
    QCOMPARE(QApplication::font().family(), QString("DejaVu Serif"));
    QCOMPARE(QApplication::font().pointSize(), appFont.pointSize()); // family only

    config.buttonFadeDuration = 400;
    rm()->setGlobalConfig(config);
    QCOMPARE(rm()->getButtonFadeDuration(), 400);
    rm()->setGlobalFontFamily("DejaVu Sans");
    QCOMPARE(rm()->getButtonFadeDuration(), 400);
    QVERIFY(rm()->getButtonFadeEnabled());
    QCOMPARE(QApplication::font().family(), QString("DejaVu Sans"));

    // An empty family leaves the application font alone.
    rm()->setGlobalConfig(TEVGlobalConfig());
    QCOMPARE(QApplication::font().family(), QString("DejaVu Sans"));
    QVERIFY(rm()->getGlobalFontFamily().isEmpty());
    QApplication::setFont(appFont);
}

void TestResources::windowRegistry()
{
    QVERIFY(!rm()->registerWindowWidget(nullptr));
    QVERIFY(!rm()->unregisterWindowWidget(nullptr));
    QWidget one;
    auto* two = new QWidget;
    QVERIFY(rm()->registerWindowWidget(&one));
    QVERIFY(rm()->registerWindowWidget(&one));
    QVERIFY(rm()->registerWindowWidget(two));
    QCOMPARE(rm()->registeredWindows(), (QList<QWidget*>{&one, two}));
    QVERIFY(rm()->registerDesignerWindowWidget(two));
    QCOMPARE(rm()->registeredDesignerWindows(), QList<QWidget*>{two});

    // A window deleted without unregistering never dangles.
    new Counting(two);
    delete two;
    QCOMPARE(rm()->registeredWindows(), QList<QWidget*>{&one});
    QVERIFY(rm()->registeredDesignerWindows().isEmpty());
    QVERIFY(rm()->themeChange());
    rm()->setGlobalFontFamily(QString());

    QVERIFY(rm()->unregisterWindowWidget(&one));
    QVERIFY(!rm()->unregisterWindowWidget(&one));
    QVERIFY(!rm()->unregisterDesignerWindowWidget(&one));
    QVERIFY(rm()->registeredWindows().isEmpty());
}

void TestResources::skinDictionary()
{
    QVERIFY(LanguageManager::instance()->languages().isEmpty());
    QVERIFY(rm()->getCurrentLanguage().isEmpty());
    QVERIFY(!rm()->setCurrentLanguage("en"));
    QVERIFY(rm()->getLanguageList().isEmpty());

    QVERIFY(rm()->readLanguage(utf16le("Language\tzh\ten\r\nhello\t你好\tHello\r\nbye\t再见\r\n\r\nonlykey\r\n")));
    QCOMPARE(rm()->getLanguageList(), (QStringList{"en", "zh"}));
    QCOMPARE(rm()->getCurrentLanguage(), QString("zh"));
    QCOMPARE(rm()->getString("hello"), QString::fromUtf8("你好"));
    QCOMPARE(rm()->getString("bye"), QString::fromUtf8("再见"));
    QVERIFY(rm()->getString("onlykey").isEmpty());
    QVERIFY(rm()->getString("unknown").isEmpty());

    QVERIFY(!rm()->setCurrentLanguage("fr"));
    QCOMPARE(rm()->getCurrentLanguage(), QString("zh"));
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
    QCOMPARE(rm()->getCurrentLanguage(), QString("en-US"));
    QVERIFY(rm()->setCurrentLanguage("zh-CN"));
    QCOMPARE(LanguageManager::instance()->currentLanguage(), QString("zh-CN"));
    QVERIFY(!rm()->setCurrentLanguage("zh"));
}

void TestResources::dictionaryRefusals()
{
    const QStringList before = rm()->getLanguageList();
    const QString current = rm()->getCurrentLanguage();
    QVERIFY(!rm()->readLanguage(QByteArray()));
    QVERIFY(!rm()->readLanguage(utf16le("Language\tde")));             // one line only
    QVERIFY(!rm()->readLanguage(utf16le("Language\r\nk\tv")));         // no language column
    QVERIFY(!rm()->readLanguage(utf16le("Lang\tde\r\nk\tv")));         // wrong header word
    QVERIFY(!rm()->readLanguage(utf16le("language\tde\r\nk\tv")));     // case matters
    QVERIFY(!rm()->readLanguage("Language\tde\r\nk\tv"));               // 8-bit text is not UTF-16
    QVERIFY(!rm()->readLanguage(utf16le("Language\tde\nk\tv")));       // lines end in CR LF
    QByteArray noise(4097, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 131) ^ 0x5a);
    rm()->readLanguage(noise);
    QCOMPARE(rm()->getCurrentLanguage(), current);
    QVERIFY(!rm()->getLanguageList().isEmpty());
    QCOMPARE(rm()->getLanguageList(), before);
}

void TestResources::themeJsonValueWithoutTheme()
{
    QVERIFY(!rm()->getThemeJsonValue(nullptr));
    QVERIFY(!rm()->getThemeJsonValue("qtlabel")); // the theme has no "theme.json"
}

void TestResources::releaseResKeepsBuiltIns()
{
    QImage* checked = rm()->getImage("IDB_CHECKED", false);
    QVERIFY(checked);
    QImage* logo = rm()->getImage("logo.png", false);
    QVERIFY(logo);
    QVERIFY(rm()->getSvgRenderer(rm()->getSkinDirPath() + "../nothing.svg") == nullptr);
    QVERIFY(!rm()->defaultStore()->fillStyles.empty());
    QImage* themeImage = rm()->getImage("images/pic.png", false);

    rm()->releaseRes();
    QVERIFY(rm()->defaultStore()->fillStyles.empty());
    QVERIFY(rm()->defaultStore()->textStyles.empty());
    FillStyle out;
    QVERIFY(!rm()->getFillStyle("kept", out));
    QCOMPARE(rm()->getImage("IDB_CHECKED", false), checked);
    QVERIFY(!rm()->defaultStore()->imageCache.count("logo.png"));
    QVERIFY(rm()->getImage("logo.png", false)); // decoded again
    QCOMPARE(rm()->getImage("images/pic.png", false), themeImage); // other stores untouched
    const char* data;
    unsigned size;
    ResSourceType source;
    QVERIFY(rm()->getResource("shared.txt", data, size, source)); // files stay
}

TEV_TEST_MAIN(TestResources)
#include "tst_resources.moc"
