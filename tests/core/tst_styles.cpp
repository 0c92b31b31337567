// Style records, colour strings and the style JSON reader and writer.
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVStyleDesc.h"

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

std::string compact(const Json::Value& v)
{
    Json::StreamWriterBuilder b;
    b["indentation"] = "";
    return Json::writeString(b, v);
}

// Margins in the order the JSON gives them: top, right, bottom, left.
QList<int> margins(const ImageDesc& d) { return {d.top, d.right, d.bottom, d.left}; }

struct ScaleGuard {
    float old = rm()->getScaleFactor();
    explicit ScaleGuard(float f) { rm()->setScaleFactor(f); }
    ~ScaleGuard() { rm()->setScaleFactor(old); }
};

} // namespace

class TestStyles : public QObject {
    Q_OBJECT
private slots:
    void colourStrings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("argb");
        QTest::newRow("mixed case") << "fF10Ab3C" << 0xFF10AB3Cu;
        QTest::newRow("six digits have alpha 0") << "102030" << 0x00102030u;
        QTest::newRow("stops at non-hex") << "80FFg000" << 0x000080FFu;
        QTest::newRow("no digits") << "#FF0000" << 0u;
        QTest::newRow("more than 32 bits saturates") << "123456789A" << 0xFFFFFFFFu;
        QTest::newRow("leading zeros fit") << "00000000FF000001" << 0xFF000001u;
    }

    void colourStrings()
    {
        QFETCH(QString, text);
        QFETCH(uint, argb);
        QCOMPARE(tevParseHex32(text.toStdString()), quint32(argb));
        QCOMPARE(tevColorFromArgbString(text).rgba(), QRgb(argb));
        // Written as eight upper-case digits, alpha first.
        QCOMPARE(tevColorToArgbString(QColor::fromRgba(argb)), QString("%1").arg(argb, 8, 16, QLatin1Char('0')).toUpper());
    }

    void fillEntryDefaultsAndKeys()
    {
        auto store = readInto(R"([{"type": 1, "name": "plain"}, {"type": 1, "name": "empty"},
            {"type": 1, "name": "emptyish"}, {"type": 1, "name": "full",
            "border": true, "borderSize": 3, "borderclr": "80112233", "drawImg": true, "clr": "FF445566",
            "img": "images/btn.png", "round": 5, "roundTopLeft": false, "roundTopRight": true, "roundBottomRight": false,
            "roundBottomLeft": true, "leftBorder": false, "rightBorder": true, "topBorder": false, "bottomBorder": true,
            "repeatLeft": true, "repeatTop": false, "repeatRight": true, "repeatBottom": false, "repeatCenter": true}])");
        QCOMPARE(int(store->fillStyles.size()), 4);
        // Absent keys take the JSON defaults, which differ from the record's for the border.
        const FillStyle& s = store->fillStyles[0];
        QVERIFY(s.valid && s.useFillStyle && !s.fillRes.drawBorder && !s.fillRes.gradient);
        QCOMPARE(s.fillRes.fillColor, QColor(255, 255, 255, 255));
        QCOMPARE(s.fillRes.borderSize, 1);                            // not the record's 0
        QCOMPARE(s.fillRes.borderColor, QColor(255, 255, 255, 255)); // not the record's grey
        QCOMPARE(s.imageDesc, ImageDesc());
        QVERIFY(!store->fillStyles[1].valid && store->fillStyles[2].valid); // only "empty" itself is the invisible fill

        const FillStyle& f = store->fillStyles[3];
        QVERIFY(f.fillRes.drawBorder && !f.useFillStyle);
        QCOMPARE((QList<uint>{uint(f.fillRes.borderSize), f.fillRes.borderColor.rgba(), f.fillRes.fillColor.rgba(),
                              uint(f.fillRes.radius)}), (QList<uint>{3, 0x80112233u, 0xFF445566u, 5}));
        QCOMPARE(f.imageName, QString("images/btn.png"));
        QVERIFY(!f.fillRes.roundTopLeft && f.fillRes.roundTopRight && !f.fillRes.roundBottomRight &&
                f.fillRes.roundBottomLeft);
        QVERIFY(!f.fillRes.leftBorder && f.fillRes.rightBorder && !f.fillRes.topBorder && f.fillRes.bottomBorder);
        QVERIFY(f.imageDesc.repeatLeft && !f.imageDesc.repeatTop && f.imageDesc.repeatRight &&
                !f.imageDesc.repeatBottom && f.imageDesc.repeatCenter);
    }

    void marginOrderAndScaling()
    {
        {
            ScaleGuard scale(100.0f);
            auto store = readInto(R"([{"type": 1, "name": "m", "margin": [1, 2, 3, 4]}])");
            QCOMPARE(margins(store->fillStyles.at(0).imageDesc), (QList<int>{1, 2, 3, 4}));
            Json::Value out;
            QVERIFY(rm()->writeStyle(store.get(), out));
            QCOMPARE(compact(json::get(json::at(out, 0), "margin")), std::string("[1,2,3,4]"));
        }
        ScaleGuard scale(0.5f);
        auto store = readInto(R"([{"type": 1, "name": "m", "margin": [1, 2, 3, 4]}, {"type": 1, "name": "short",
            "margin": [7]}])");
        QCOMPARE(margins(store->fillStyles.at(0).imageDesc), (QList<int>{0, 1, 1, 2}));
        QCOMPARE(margins(store->fillStyles.at(1).imageDesc), (QList<int>{3, 0, 0, 0}));
    }

    void textEntry()
    {
        auto store = readInto(R"([{"type": 2, "name": "t"}, {"type": 2, "name": "u", "clr": "FF0000FF", "hor": 2,
            "ver": 0, "x": 3, "y": -4, "bold": true, "underline": true, "italic": true, "isHor": false,
            "singleline": false, "size": 20, "family": "DejaVu Sans"}])");
        QCOMPARE(int(store->textStyles.size()), 2);
        const TextStyleDesc& t = store->textStyles.at(0);
        QCOMPARE(t.color, QColor(0, 0, 0, 255));
        QCOMPARE((QList<int>{t.horAlign, t.verAlign, t.pixelSize}), (QList<int>{0, 1, 12}));
        QVERIFY(t.isHor && t.singleLine && !t.bold);
        // The JSON's default family is the mis-decoded name older files carry, not the record's default.
        QCOMPARE(t.family, QString::fromUtf8("\xCE\xA2\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC5\xBA\xEF\xBF\xBD"));
        QVERIFY(t.family == styleJsonDefaultFamily() && t.family != defaultTextStyleFamily());

        const TextStyleDesc& u = store->textStyles.at(1);
        QCOMPARE(u.color.rgba(), 0xFF0000FFu);
        QCOMPARE((QList<int>{u.horAlign, u.verAlign, u.offsetX, u.offsetY, u.pixelSize}), (QList<int>{2, 0, 3, -4, 20}));
        QVERIFY(u.bold && u.underline && u.italic && !u.isHor && !u.singleLine);
        QVERIFY(u.family == QString("DejaVu Sans") && u.textMode == 1); // the mode is not carried by the JSON
    }

    void laterEntryReplacesInPlace()
    {
        auto store = readInto(R"([{"type": 1, "name": "a", "round": 1}, {"type": 1, "name": "b"},
            {"type": 1, "name": "a", "round": 9}, {"type": 2, "name": "a", "size": 5}, {"type": 2, "name": "a", "size": 6}])");
        QCOMPARE(int(store->fillStyles.size() + store->textStyles.size()), 3);
        QVERIFY(store->fillStyles.at(0).fillRes.radius == 9 && store->fillStylePosition("b") == 1);
        QCOMPARE(store->textStyles.at(0).pixelSize, 6);

        // Filing through the setter keeps positions too.
        FillStyle x;
        x.fillRes.radius = 2;
        rm()->setFillStyle(store.get(), "b", x);
        QVERIFY(store->fillStylePosition("b") == 1 && store->fillStyles.at(1).fillRes.radius == 2);
        TextStyleDesc t;
        rm()->setTextStyle(store.get(), "new", t);
        QCOMPARE(store->textStylePosition("new"), 1);
    }

    void entriesWithoutUsableTypeAreSkipped()
    {
        auto store = readInto(R"([{"name": "none"}, {"type": 3, "name": "three"}, {"type": "1", "name": "str"},
            {"type": null, "name": "null"}, 5, "x", [1, 2], null, {"type": 1.0, "name": "real"},
            {"type": true, "name": "bool"}, {"type": 2, "name": "ok"}])");
        QCOMPARE(int(store->fillStyles.size()), 2); // 1.0 and true convert to 1, as the JSON library converts
        QCOMPARE(store->fillStyles.at(0).name + store->fillStyles.at(1).name, QString("realbool"));
        QCOMPARE(int(store->textStyles.size()), 1);

        // Not an array at all: nothing read, still no failure.
        TEVQResourceManagerImpl other;
        QVERIFY(rm()->readStyle(&other, parsed(R"({"type": 1, "name": "x"})")) && other.fillStyles.empty());
        QVERIFY(!rm()->readStyle(nullptr, parsed("[]")));
    }

    void wrongTypesFallBack()
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
        QCOMPARE(a.fillRes.radius, 1);
        QCOMPARE(a.imageDesc, ImageDesc());
        QCOMPARE(margins(store->fillStyles.at(1).imageDesc), (QList<int>{1, 0, 0, 4}));
        QCOMPARE(store->fillStyles.at(2).fillRes.radius, 0);

        const TextStyleDesc& t = store->textStyles.at(0);
        QCOMPARE((QList<int>{t.pixelSize, int(t.bold), t.horAlign}), (QList<int>{12, 0, 1}));
        QCOMPARE(t.family, QString("false"));
    }

    void nonUtf8NamesAreIndexedByBytes()
    {
        TEVQResourceManagerImpl store;
        Json::Value arr(Json::arrayValue);
        Json::Value e(Json::objectValue);
        e["type"] = 1;
        e["name"] = std::string("bad\xff\xfe", 5);
        arr.append(e);
        e["type"] = 2;
        e["name"] = std::string("caf\xc3\xa9");
        arr.append(e);
        QVERIFY(rm()->readStyle(&store, arr));
        QCOMPARE(store.fillStylePosition(QString::fromLatin1("bad\xff\xfe")), 0);
        // A UTF-8 name is found by its bytes and by its decoded text.
        QVERIFY(store.textStylePosition(QString::fromLatin1("caf\xc3\xa9")) == 0 && store.textStylePosition(QString::fromUtf8("caf\xc3\xa9")) == 0);
        QCOMPARE(store.textStyles.at(0).name, QString::fromUtf8("caf\xc3\xa9"));
    }

    void nameIndexFindsEveryNameExactly()
    {
        // Names of every length up to 40, and many sharing long prefixes, so that the table grows several times;
        // names that differ only in one middle character or only in length must stay apart.
        TEVStyleNameIndex index;
        QCOMPARE(index.find(QString()), -1);
        QStringList names{QString(), "a", "ab", "abc"};
        for (int length = 4; length <= 40; ++length)
            names << QString(length, QLatin1Char('n')) << QString(length, QLatin1Char('n')).replace(length / 2, 1, "m");
        for (int i = 0; i < 3000; ++i)
            names << QStringLiteral("theme.button.background.state.%1").arg(i);
        for (int i = 0; i < names.size(); ++i)
            index.insert(names.at(i), i);
        QCOMPARE(index.size(), names.size());
        for (int i = 0; i < names.size(); ++i)
            QVERIFY2(index.find(names.at(i)) == i, qPrintable(names.at(i)));
        for (const QString& absent : {QString("abcd"), QString(41, QLatin1Char('n')), QString("theme.button.background.state.3000"),
                                      QString("theme.button.background.state.0 ")})
            QCOMPARE(index.find(absent), -1);

        // A name filed again keeps its one entry with the new position; a cleared index finds nothing.
        index.insert("ab", 7);
        QVERIFY(index.find("ab") == 7 && index.size() == names.size());
        index.clear();
        QVERIFY(index.find("ab") == -1 && index.size() == 0);
        index.insert("ab", 1);
        QCOMPARE(index.find("ab"), 1);
    }

    void writeConditionalKeys()
    {
        Json::Value out;
        QVERIFY(!rm()->writeStyle(nullptr, out) && out.isNull());

        TEVQResourceManagerImpl store;
        FillStyle f;
        f.name = "f";
        f.fillRes.leftBorder = false; // border off: side flags are not written
        rm()->setFillStyle(&store, "f", f);
        TextStyleDesc t;
        t.name = "t";
        rm()->setTextStyle(&store, "t", t);
        QVERIFY(rm()->writeStyle(&store, out));
        QCOMPARE(json::memberNames(json::at(out, 0)),
                 (std::vector<std::string>{"borderSize", "borderclr", "clr", "drawImg", "img", "name", "type"}));
        QCOMPARE(compact(json::at(out, 0)),
                 std::string(R"({"borderSize":0,"borderclr":"FF808080","clr":"FFFFFFFF","drawImg":false,"img":"",)"
                             R"("name":"f","type":1})"));
        QCOMPARE(json::memberNames(json::at(out, 1)), (std::vector<std::string>{"clr", "family", "hor", "name", "type", "ver"}));
        QCOMPARE(json::getString(json::at(out, 1), "clr"), std::string("FF000000"));

        // With the border on, sides that are off are written as false; others not at all.
        f.fillRes.drawBorder = true;
        f.fillRes.bottomBorder = false;
        rm()->setFillStyle(&store, "f", f);
        Json::Value again;
        rm()->writeStyle(&store, again);
        const Json::Value& e = json::at(again, 0);
        QVERIFY(json::getBool(e, "border") && !json::getBool(e, "leftBorder", true) && !json::getBool(e, "bottomBorder", true));
        QVERIFY(!json::has(e, "rightBorder") && !json::has(e, "margin"));

        // An output value that is not an array is replaced rather than thrown on.
        Json::Value object(Json::objectValue);
        object["x"] = 1;
        QVERIFY(rm()->writeStyle(&store, object) && json::isArray(object));
    }

    void roundTrip()
    {
        ScaleGuard scale(100.0f);
        TEVQResourceManagerImpl store;
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
        rm()->setFillStyle(&store, f.name, f);
        TextStyleDesc t;
        t.name = "txt";
        t.bold = t.italic = t.underline = true;
        t.isHor = t.singleLine = false;
        t.pixelSize = 7;
        t.offsetX = -2;
        t.offsetY = 9;
        t.horAlign = t.verAlign = 2;
        t.color = QColor(10, 20, 30, 40);
        t.family = "DejaVu Serif";
        rm()->setTextStyle(&store, t.name, t);

        Json::Value out;
        QVERIFY(rm()->writeStyle(&store, out));
        // Through text, as a file would carry it.
        Json::Value reparsed;
        QVERIFY(json::parse(json::writeStyled(out), reparsed));
        TEVQResourceManagerImpl back;
        QVERIFY(rm()->readStyle(&back, reparsed));
        QCOMPARE(back.fillStyles.at(0), f);
        QCOMPARE(back.textStyles.at(0), t);
    }

    void projectStyleString()
    {
        QVERIFY(!rm()->projectStore());
        Json::Value root;
        QVERIFY(json::parse(rm()->toProjectStyleString().toUtf8(), root));
        QVERIFY(json::has(root, "style") && json::get(root, "style").isNull());

        // Margins are read shrunk to paint with shrunk images, but written as the document had them.
        ScaleGuard scale(0.5f);
        QTemporaryDir dir;
        QVERIFY(tevtest::writeFile(dir.filePath("style.json"), R"({"style": [{"type": 2, "name": "héllo", "size": 14},
            {"type": 1, "name": "nine", "margin": [2, 4, 6, 9]}]})"));
        QVERIFY(rm()->setProjectDirPath(dir.path()));
        QCOMPARE(margins(rm()->projectStore()->fillStyles.at(0).imageDesc), (QList<int>{1, 2, 3, 4}));
        QString out;
        const QString text = rm()->toProjectStyleString(out);
        QVERIFY(out == text && json::parse(text.toUtf8(), root));
        const Json::Value& styles = json::get(root, "style");
        QCOMPARE(int(json::size(styles)), 2);
        QCOMPARE(compact(json::get(json::at(styles, 0), "margin")), std::string("[2,4,6,9]"));
        QCOMPARE(json::getQString(json::at(styles, 1), "name"), QString::fromUtf8("héllo"));
        QCOMPARE(json::getInt(json::at(styles, 1), "size"), 14);
    }
};

TEV_TEST_MAIN(TestStyles)
#include "tst_styles.moc"
