// Style records, colour strings and the style JSON reader and writer.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVStyleDesc.h"

#include <QDir>
#include <QTemporaryDir>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

Json::Value parsed(const char* text)
{
    Json::Value v;
    if (!json::parse(std::string(text), v))
        qFatal("bad test JSON: %s", text);
    return v;
}

// Reads a "style" array text into a fresh store.
std::unique_ptr<TEVQResourceManagerImpl> readInto(const char* styleArray)
{
    std::unique_ptr<TEVQResourceManagerImpl> store(new TEVQResourceManagerImpl);
    if (!rm()->readStyle(store.get(), parsed(styleArray)))
        qFatal("readStyle failed");
    return store;
}

std::vector<std::string> keysOf(const Json::Value& v) { return json::memberNames(v); }

struct ScaleGuard {
    float old = rm()->getScaleFactor();
    explicit ScaleGuard(float f) { rm()->setScaleFactor(f); }
    ~ScaleGuard() { rm()->setScaleFactor(old); }
};

} // namespace

class TestStyles : public QObject {
    Q_OBJECT
private slots:
    void recordDefaultsAndCopies();
    void colourStrings_data();
    void colourStrings();
    void colourWriting();
    void fillEntryTakesJsonDefaults();
    void fillEntryReadsEveryKey();
    void emptyNameIsInvalid();
    void marginOrderAndScaling();
    void textEntry();
    void laterEntryReplacesInPlace();
    void entriesWithoutUsableTypeAreSkipped();
    void wrongTypesFallBack();
    void nonUtf8NamesAreIndexedByBytes();
    void writeNullStoreFails();
    void writeConditionalKeys();
    void roundTrip();
    void projectStyleString();
    void projectMarginsSurviveScaledRoundTrip();
    void corpusNeverBringsReaderDown();
};

void TestStyles::recordDefaultsAndCopies()
{
    const FillRes res;
    QCOMPARE(res.fillColor, QColor(255, 255, 255, 255));
    QCOMPARE(res.gradientEndColor, QColor(255, 255, 255, 255));
    QCOMPARE(res.borderColor, QColor(128, 128, 128, 255));
    QVERIFY(!res.gradient && !res.drawBorder);
    QCOMPARE(res.radius, 0);
    QCOMPARE(res.borderSize, 0);
    QVERIFY(res.leftBorder && res.topBorder && res.rightBorder && res.bottomBorder);
    QVERIFY(res.roundTopLeft && res.roundTopRight && res.roundBottomRight && res.roundBottomLeft);

    const FillStyle fill;
    QCOMPARE(fill.type, 0);
    QVERIFY(fill.valid && fill.useFillStyle && fill.name.isEmpty() && fill.imageName.isEmpty());
    QCOMPARE(fill.imageDesc, ImageDesc());
    QVERIFY(!fill.imageDesc.repeatCenter && fill.imageDesc.left == 0);

    const TextStyleDesc text;
    QVERIFY(text.type != 0);
    QCOMPARE(text.pixelSize, 12);
    QCOMPARE(text.family, QString::fromUtf8("微锟斤拷锟脚猴拷"));
    QCOMPARE(text.color, QColor(0, 0, 0, 255));
    QCOMPARE(text.horAlign, 0);
    QCOMPARE(text.verAlign, 1);
    QCOMPARE(text.textMode, 1);
    QVERIFY(text.isHor && text.singleLine && !text.bold && !text.italic && !text.underline);

    const IconStyleDesc icon;
    QCOMPARE(icon.horAlign, 1);
    QCOMPARE(icon.verAlign, 1);
    QCOMPARE(icon.color, QColor(Qt::black));
    QVERIFY(!icon.useColor);

    const TEVGlobalConfig config;
    QVERIFY(config.fontFamily.isEmpty());
    QVERIFY(!config.buttonFadeEnabled);
    QCOMPARE(config.buttonFadeDuration, 150);

    FillStyle a;
    a.name = "x";
    a.fillRes.radius = 4;
    a.imageDesc.repeatTop = true;
    FillStyle b(a);
    QCOMPARE(b, a);
    b.fillRes.roundBottomLeft = false;
    QVERIFY(b != a);
    b = a;
    QCOMPARE(b, a);
}

void TestStyles::colourStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("argb");
    QTest::newRow("upper") << "FF102030" << 0xFF102030u;
    QTest::newRow("lower") << "ff10ab3c" << 0xFF10AB3Cu;
    QTest::newRow("mixed") << "fF10Ab3C" << 0xFF10AB3Cu;
    QTest::newRow("six digits have alpha 0") << "102030" << 0x00102030u;
    QTest::newRow("stops at non-hex") << "80FFg000" << 0x000080FFu;
    QTest::newRow("no digits") << "#FF0000" << 0u;
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("more than 32 bits saturates") << "123456789A" << 0xFFFFFFFFu;
    QTest::newRow("many digits saturate") << "FFFFFFFFFFFFFFFFFFFFFFFF" << 0xFFFFFFFFu;
    QTest::newRow("leading zeros fit") << "00000000FF000001" << 0xFF000001u;
}

void TestStyles::colourStrings()
{
    QFETCH(QString, text);
    QFETCH(uint, argb);
    QCOMPARE(tevParseHex32(text.toStdString()), quint32(argb));
    const QColor c = tevColorFromArgbString(text);
    QCOMPARE(c.rgba(), QRgb(argb));
}

void TestStyles::colourWriting()
{
    QCOMPARE(tevColorToArgbString(QColor(0x10, 0xab, 0x0c, 0x7f)), QString("7F10AB0C"));
    QCOMPARE(tevColorToArgbString(QColor(0, 0, 0, 0)), QString("00000000"));
    QCOMPARE(tevColorToArgbString(tevColorFromArgbString(QString("ffa0b0c0"))), QString("FFA0B0C0"));
}

void TestStyles::fillEntryTakesJsonDefaults()
{
    auto store = readInto(R"([{"type": 1, "name": "plain"}])");
    QCOMPARE(int(store->fillStyles.size()), 1);
    const FillStyle& s = store->fillStyles[0];
    QCOMPARE(s.name, QString("plain"));
    QVERIFY(s.valid);
    QVERIFY(s.useFillStyle);
    QCOMPARE(s.fillRes.fillColor, QColor(255, 255, 255, 255));
    QVERIFY(!s.fillRes.drawBorder);
    QCOMPARE(s.fillRes.borderSize, 1);                            // not the record's 0
    QCOMPARE(s.fillRes.borderColor, QColor(255, 255, 255, 255)); // not the record's grey
    QCOMPARE(s.fillRes.radius, 0);
    QVERIFY(s.fillRes.roundTopLeft && s.fillRes.roundTopRight && s.fillRes.roundBottomRight &&
            s.fillRes.roundBottomLeft);
    QCOMPARE(s.imageDesc, ImageDesc());
    QVERIFY(!s.fillRes.gradient);
}

void TestStyles::fillEntryReadsEveryKey()
{
    auto store = readInto(R"([{"type": 1, "name": "full", "border": true, "borderSize": 3, "borderclr": "80112233",
        "drawImg": true, "clr": "FF445566", "img": "images/btn.png", "round": 5, "roundTopLeft": false,
        "roundTopRight": true, "roundBottomRight": false, "roundBottomLeft": true, "leftBorder": false,
        "rightBorder": true, "topBorder": false, "bottomBorder": true, "repeatLeft": true, "repeatTop": false,
        "repeatRight": true, "repeatBottom": false, "repeatCenter": true, "margin": [1, 2, 3, 4]}])");
    const FillStyle& s = store->fillStyles.at(0);
    QVERIFY(s.fillRes.drawBorder);
    QCOMPARE(s.fillRes.borderSize, 3);
    QCOMPARE(s.fillRes.borderColor.rgba(), 0x80112233u);
    QVERIFY(!s.useFillStyle);
    QCOMPARE(s.fillRes.fillColor.rgba(), 0xFF445566u);
    QCOMPARE(s.imageName, QString("images/btn.png"));
    QCOMPARE(s.fillRes.radius, 5);
    QVERIFY(!s.fillRes.roundTopLeft && s.fillRes.roundTopRight && !s.fillRes.roundBottomRight &&
            s.fillRes.roundBottomLeft);
    QVERIFY(!s.fillRes.leftBorder && s.fillRes.rightBorder && !s.fillRes.topBorder && s.fillRes.bottomBorder);
    QVERIFY(s.imageDesc.repeatLeft && !s.imageDesc.repeatTop && s.imageDesc.repeatRight &&
            !s.imageDesc.repeatBottom && s.imageDesc.repeatCenter);
}

void TestStyles::emptyNameIsInvalid()
{
    auto store = readInto(R"([{"type": 1, "name": "empty"}, {"type": 1, "name": "emptyish"}])");
    QVERIFY(!store->fillStyles.at(0).valid);
    QVERIFY(store->fillStyles.at(1).valid);
}

void TestStyles::marginOrderAndScaling()
{
    {
        ScaleGuard scale(100.0f);
        auto store = readInto(R"([{"type": 1, "name": "m", "margin": [1, 2, 3, 4]}])");
        const ImageDesc& d = store->fillStyles.at(0).imageDesc;
        QCOMPARE(d.top, 1);
        QCOMPARE(d.right, 2);
        QCOMPARE(d.bottom, 3);
        QCOMPARE(d.left, 4);
        Json::Value out;
        QVERIFY(rm()->writeStyle(store.get(), out));
        const Json::Value& margin = json::get(json::at(out, 0), "margin");
        QCOMPARE(int(json::size(margin)), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(*json::toInt(json::at(margin, Json::ArrayIndex(i))), i + 1);
    }
    {
        ScaleGuard scale(0.5f);
        auto store = readInto(R"([{"type": 1, "name": "m", "margin": [1, 2, 3, 4]}, {"type": 1, "name": "short",
            "margin": [7]}])");
        const ImageDesc& d = store->fillStyles.at(0).imageDesc;
        QCOMPARE(d.top, 0);
        QCOMPARE(d.right, 1);
        QCOMPARE(d.bottom, 1);
        QCOMPARE(d.left, 2);
        const ImageDesc& s = store->fillStyles.at(1).imageDesc;
        QCOMPARE(s.top, 3);
        QCOMPARE(s.right + s.bottom + s.left, 0);
    }
}

void TestStyles::textEntry()
{
    auto store = readInto(R"([{"type": 2, "name": "t"}, {"type": 2, "name": "u", "clr": "FF0000FF", "hor": 2,
        "ver": 0, "x": 3, "y": -4, "bold": true, "underline": true, "italic": true, "isHor": false,
        "singleline": false, "size": 20, "family": "DejaVu Sans"}])");
    QCOMPARE(int(store->textStyles.size()), 2);
    const TextStyleDesc& t = store->textStyles.at(0);
    QCOMPARE(t.color, QColor(0, 0, 0, 255));
    QCOMPARE(t.horAlign, 0);
    QCOMPARE(t.verAlign, 1);
    QCOMPARE(t.pixelSize, 12);
    QVERIFY(t.isHor && t.singleLine && !t.bold);
    QCOMPARE(t.family, QString::fromUtf8("\xCE\xA2\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC5\xBA\xEF\xBF\xBD"));
    QCOMPARE(t.family, styleJsonDefaultFamily());
    QVERIFY(t.family != defaultTextStyleFamily());

    const TextStyleDesc& u = store->textStyles.at(1);
    QCOMPARE(u.color.rgba(), 0xFF0000FFu);
    QCOMPARE(u.horAlign, 2);
    QCOMPARE(u.verAlign, 0);
    QCOMPARE(u.offsetX, 3);
    QCOMPARE(u.offsetY, -4);
    QVERIFY(u.bold && u.underline && u.italic && !u.isHor && !u.singleLine);
    QCOMPARE(u.pixelSize, 20);
    QCOMPARE(u.family, QString("DejaVu Sans"));
    QCOMPARE(u.textMode, 1); // not carried by the JSON
}

void TestStyles::laterEntryReplacesInPlace()
{
    auto store = readInto(R"([{"type": 1, "name": "a", "round": 1}, {"type": 1, "name": "b"},
        {"type": 1, "name": "a", "round": 9}, {"type": 2, "name": "a", "size": 5}, {"type": 2, "name": "a", "size": 6}])");
    QCOMPARE(int(store->fillStyles.size()), 2);
    QCOMPARE(store->fillStyles.at(0).name, QString("a"));
    QCOMPARE(store->fillStyles.at(0).fillRes.radius, 9);
    QCOMPARE(store->fillStylePosition("a"), 0);
    QCOMPARE(store->fillStylePosition("b"), 1);
    QCOMPARE(int(store->textStyles.size()), 1);
    QCOMPARE(store->textStyles.at(0).pixelSize, 6);

    // Filing through the setter keeps positions too.
    FillStyle x;
    x.fillRes.radius = 2;
    rm()->setFillStyle(store.get(), "b", x);
    QCOMPARE(store->fillStylePosition("b"), 1);
    QCOMPARE(store->fillStyles.at(1).fillRes.radius, 2);
    TextStyleDesc t;
    t.pixelSize = 30;
    rm()->setTextStyle(store.get(), "new", t);
    QCOMPARE(store->textStylePosition("new"), 1);
}

void TestStyles::entriesWithoutUsableTypeAreSkipped()
{
    auto store = readInto(R"([{"name": "none"}, {"type": 3, "name": "three"}, {"type": "1", "name": "str"},
        {"type": null, "name": "null"}, 5, "x", [1, 2], null, {"type": 1.0, "name": "real"},
        {"type": true, "name": "bool"}, {"type": 2, "name": "ok"}])");
    QCOMPARE(int(store->fillStyles.size()), 2); // 1.0 and true convert to 1, as the JSON library converts
    QCOMPARE(store->fillStyles.at(0).name, QString("real"));
    QCOMPARE(store->fillStyles.at(1).name, QString("bool"));
    QCOMPARE(int(store->textStyles.size()), 1);

    // Not an array at all: nothing read, still no failure.
    TEVQResourceManagerImpl other;
    QVERIFY(rm()->readStyle(&other, parsed(R"({"type": 1, "name": "x"})")));
    QVERIFY(rm()->readStyle(&other, Json::Value()));
    QVERIFY(other.fillStyles.empty());
    QVERIFY(!rm()->readStyle(nullptr, parsed("[]")));
}

void TestStyles::wrongTypesFallBack()
{
    auto store = readInto(R"([{"type": 1, "name": 42, "border": 2, "borderSize": "5", "borderclr": [1],
        "drawImg": "yes", "clr": 12345, "img": {}, "round": true, "margin": "1 2 3 4", "roundTopLeft": 0},
        {"type": 1, "name": "m", "margin": [1, "2", null, 4.9, 5]}, {"type": 1, "name": "big", "round": 1e300},
        {"type": 2, "name": "t", "size": "big", "bold": "x", "family": false, "hor": 1.7}])");
    const FillStyle& a = store->fillStyles.at(0);
    QCOMPARE(a.name, QString("42"));
    QVERIFY(a.fillRes.drawBorder);                               // number read as bool
    QCOMPARE(a.fillRes.borderSize, 1);                           // text is not a number: absent
    QCOMPARE(a.fillRes.borderColor, QColor(255, 255, 255, 255)); // array: absent
    QVERIFY(a.useFillStyle);                                     // "drawImg" unusable: the colour part
    QCOMPARE(a.fillRes.fillColor.rgba(), 0x00012345u);           // the number's text "12345"
    QVERIFY(a.imageName.isEmpty());
    QCOMPARE(a.fillRes.radius, 1);
    QCOMPARE(a.imageDesc, ImageDesc());
    QVERIFY(!a.fillRes.roundTopLeft);

    const ImageDesc& m = store->fillStyles.at(1).imageDesc;
    QCOMPARE(m.top, 1);
    QCOMPARE(m.right, 0);
    QCOMPARE(m.bottom, 0);
    QCOMPARE(m.left, 4);
    QCOMPARE(store->fillStyles.at(2).fillRes.radius, 0);

    const TextStyleDesc& t = store->textStyles.at(0);
    QCOMPARE(t.pixelSize, 12);
    QVERIFY(!t.bold);
    QCOMPARE(t.family, QString("false"));
    QCOMPARE(t.horAlign, 1);
}

void TestStyles::nonUtf8NamesAreIndexedByBytes()
{
    std::unique_ptr<TEVQResourceManagerImpl> store(new TEVQResourceManagerImpl);
    Json::Value arr(Json::arrayValue);
    Json::Value e(Json::objectValue);
    e["type"] = 1;
    e["name"] = std::string("bad\xff\xfe", 5);
    arr.append(e);
    Json::Value u(Json::objectValue);
    u["type"] = 2;
    u["name"] = std::string("caf\xc3\xa9");
    arr.append(u);
    QVERIFY(rm()->readStyle(store.get(), arr));
    QCOMPARE(store->fillStylePosition(QString::fromLatin1("bad\xff\xfe")), 0);
    // A UTF-8 name is found by its bytes and by its decoded text.
    QCOMPARE(store->textStylePosition(QString::fromLatin1("caf\xc3\xa9")), 0);
    QCOMPARE(store->textStylePosition(QString::fromUtf8("caf\xc3\xa9")), 0);
    QCOMPARE(store->textStyles.at(0).name, QString::fromUtf8("caf\xc3\xa9"));
}

void TestStyles::writeNullStoreFails()
{
    Json::Value out;
    QVERIFY(!rm()->writeStyle(nullptr, out));
    QVERIFY(out.isNull());
}

void TestStyles::writeConditionalKeys()
{
    std::unique_ptr<TEVQResourceManagerImpl> store(new TEVQResourceManagerImpl);
    FillStyle f;
    f.name = "f";
    f.fillRes.leftBorder = false; // border off: side flags are not written
    rm()->setFillStyle(store.get(), "f", f);
    TextStyleDesc t;
    t.name = "t";
    rm()->setTextStyle(store.get(), "t", t);

    Json::Value out;
    QVERIFY(rm()->writeStyle(store.get(), out));
    QCOMPARE(int(json::size(out)), 2);
    const std::vector<std::string> fillKeys{"borderSize", "borderclr", "clr", "drawImg", "img", "name", "type"};
    QCOMPARE(keysOf(json::at(out, 0)), fillKeys);
    QCOMPARE(json::getString(json::at(out, 0), "borderclr"), std::string("FF808080"));
    QCOMPARE(json::getBool(json::at(out, 0), "drawImg", true), false);
    QCOMPARE(json::getInt(json::at(out, 0), "type"), 1);
    const std::vector<std::string> textKeys{"clr", "family", "hor", "name", "type", "ver"};
    QCOMPARE(keysOf(json::at(out, 1)), textKeys);
    QCOMPARE(json::getInt(json::at(out, 1), "type"), 2);
    QCOMPARE(json::getString(json::at(out, 1), "clr"), std::string("FF000000"));

    // With the border on, sides that are off are written as false; others not at all.
    f.fillRes.drawBorder = true;
    f.fillRes.bottomBorder = false;
    rm()->setFillStyle(store.get(), "f", f);
    Json::Value again;
    rm()->writeStyle(store.get(), again);
    const Json::Value& e = json::at(again, 0);
    QVERIFY(json::getBool(e, "border"));
    QCOMPARE(json::getBool(e, "leftBorder", true), false);
    QCOMPARE(json::getBool(e, "bottomBorder", true), false);
    QVERIFY(!json::has(e, "rightBorder"));
    QVERIFY(!json::has(e, "margin"));

    // An output value that is not an array is replaced rather than thrown on.
    Json::Value object(Json::objectValue);
    object["x"] = 1;
    QVERIFY(rm()->writeStyle(store.get(), object));
    QVERIFY(json::isArray(object));
}

void TestStyles::roundTrip()
{
    ScaleGuard scale(100.0f);
    std::unique_ptr<TEVQResourceManagerImpl> store(new TEVQResourceManagerImpl);
    FillStyle f;
    f.name = "round";
    f.useFillStyle = false;
    f.imageName = "images/a.png";
    f.fillRes.fillColor = QColor(1, 2, 3, 4);
    f.fillRes.borderColor = QColor(5, 6, 7, 8);
    f.fillRes.drawBorder = true;
    f.fillRes.borderSize = 2;
    f.fillRes.radius = 6;
    f.fillRes.roundTopRight = false;
    f.fillRes.topBorder = false;
    f.imageDesc = {4, 3, 2, 1, true, false, true, false, true};
    rm()->setFillStyle(store.get(), f.name, f);
    FillStyle sides; // border off with a side off: the side comes back on
    sides.name = "sides";
    sides.fillRes.rightBorder = false;
    rm()->setFillStyle(store.get(), sides.name, sides);
    TextStyleDesc t;
    t.name = "txt";
    t.bold = t.italic = t.underline = true;
    t.isHor = t.singleLine = false;
    t.pixelSize = 7;
    t.offsetX = -2;
    t.offsetY = 9;
    t.horAlign = 2;
    t.verAlign = 2;
    t.color = QColor(10, 20, 30, 40);
    t.family = "DejaVu Serif";
    rm()->setTextStyle(store.get(), t.name, t);

    Json::Value out;
    QVERIFY(rm()->writeStyle(store.get(), out));
    // Through text, as a file would carry it.
    Json::Value reparsed;
    QVERIFY(json::parse(json::writeStyled(out), reparsed));
    TEVQResourceManagerImpl back;
    QVERIFY(rm()->readStyle(&back, reparsed));
    QCOMPARE(int(back.fillStyles.size()), 2);
    QCOMPARE(back.fillStyles.at(0), f);
    FillStyle sidesBack = sides;
    sidesBack.fillRes.rightBorder = true;
    sidesBack.fillRes.borderColor = back.fillStyles.at(1).fillRes.borderColor; // written grey, read grey
    QCOMPARE(back.fillStyles.at(1), sidesBack);
    QCOMPARE(back.textStyles.at(0), t);
}

void TestStyles::projectStyleString()
{
    QVERIFY(!rm()->projectStore());
    Json::Value root;
    QVERIFY(json::parse(rm()->toProjectStyleString().toUtf8(), root));
    QVERIFY(json::has(root, "style"));
    QVERIFY(json::get(root, "style").isNull());

    QTemporaryDir dir;
    QVERIFY(tevtest::writeFile(dir.filePath("style.json"),
                               R"({"style": [{"type": 2, "name": "héllo", "size": 14}]})"));
    QVERIFY(rm()->setProjectDirPath(dir.path()));
    QString out;
    const QString text = rm()->toProjectStyleString(out);
    QCOMPARE(out, text);
    QVERIFY(json::parse(text.toUtf8(), root));
    const Json::Value& styles = json::get(root, "style");
    QCOMPARE(int(json::size(styles)), 1);
    QCOMPARE(json::getQString(json::at(styles, 0), "name"), QString::fromUtf8("héllo"));
    QCOMPARE(json::getInt(json::at(styles, 0), "size"), 14);
}

void TestStyles::projectMarginsSurviveScaledRoundTrip()
{
    ScaleGuard scale(0.5f);
    QTemporaryDir dir;
    QVERIFY(tevtest::writeFile(dir.filePath("style.json"),
                               R"({"style": [{"type": 1, "name": "nine", "margin": [2, 4, 6, 9]}]})"));
    QVERIFY(rm()->setProjectDirPath(dir.path()));
    const ImageDesc& d = rm()->projectStore()->fillStyles.at(0).imageDesc;
    QCOMPARE(d.top, 1); // the store paints with shrunk margins, matching the shrunk images
    QCOMPARE(d.left, 4);
    Json::Value root;
    QVERIFY(json::parse(rm()->toProjectStyleString().toUtf8(), root));
    const Json::Value& margin = json::get(json::at(json::get(root, "style"), 0), "margin");
    QCOMPARE(*json::toInt(json::at(margin, 0)), 2); // written as the document had them
    QCOMPARE(*json::toInt(json::at(margin, 1)), 4);
    QCOMPARE(*json::toInt(json::at(margin, 2)), 6);
    QCOMPARE(*json::toInt(json::at(margin, 3)), 9);
}

void TestStyles::corpusNeverBringsReaderDown()
{
    const QDir corpus(tevtest::dataPath("corpus/style"));
    const QStringList files = corpus.entryList({"*.json"}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 8);
    int parsedCount = 0;
    for (const QString& name : files) {
        const QByteArray text = tevtest::readFile(corpus.filePath(name));
        Json::Value root;
        if (!json::parse(text, root))
            continue;
        ++parsedCount;
        TEVQResourceManagerImpl store;
        QVERIFY(rm()->readStyle(&store, json::get(root, "style")));
        Json::Value out;
        QVERIFY(rm()->writeStyle(&store, out));
        if (name.startsWith("valid")) {
            QVERIFY2(!store.fillStyles.empty() || !store.textStyles.empty(), qPrintable(name));
        }
    }
    QVERIFY(parsedCount >= 4);
}

TEV_TEST_MAIN(TestStyles)
#include "tst_styles.moc"
