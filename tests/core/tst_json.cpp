// The type-checked JSON layer: wrong types read as absent, deep nesting is refused, nothing throws.
#include "TevTest.h"
#include "JsonOracle.h"
#include "TEVJson.h"

#include <QDirIterator>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using namespace TEVQtLib;

namespace {
Json::Value parsed(const char* text)
{
    Json::Value v;
    std::string err;
    if (!json::parse(std::string(text), v, &err))
        qWarning("parse failed: %s", err.c_str());
    return v;
}
} // namespace

class TestJson : public QObject
{
    Q_OBJECT
private slots:
    void parseGoodAndBad()
    {
        Json::Value v;
        std::string err;
        QVERIFY(json::parse(std::string("{\"a\": [1, 2, {\"b\": true}]}"), v, &err));
        QCOMPARE(json::size(json::get(v, "a")), Json::ArrayIndex(3));
        QVERIFY(!json::parse(std::string("{\"a\": "), v, &err));
        QVERIFY(!err.empty() && v.isNull());
        QVERIFY(!json::parse(QByteArray(), v, &err));
        QVERIFY(!json::parse(QByteArray("\xff\xfe{", 3), v, &err));
        // Comments are allowed; trailing commas and a byte order mark are not.
        QVERIFY(json::parse(std::string("/* c */ {\"a\": 1} // d\n"), v) && json::getInt(v, "a") == 1);
        for (const char* bad : {"[1,]", "{\"a\": 1,}", "\xEF\xBB\xBF{}"})
            QVERIFY2(!json::parse(std::string(bad), v, &err) && !err.empty(), bad);
    }

    void deepNestingIsRefusedNotThrown()
    {
        for (int depth : {json::kMaxDepth, json::kMaxDepth + 1, 200000}) {
            std::string text(size_t(depth), '[');
            text += std::string(size_t(depth), ']');
            Json::Value v;
            std::string err;
            const bool ok = json::parse(text, v, &err);
            QCOMPARE(ok, depth <= json::kMaxDepth);
            if (!ok)
                QVERIFY(err.find("nesting") != std::string::npos);
        }
        // Scalars inside the deepest allowed level are accepted, one level more is refused with the same
        // message, for arrays, objects and smaller bounds alike.
        for (const char* inner : {"1", "\"x\"", "null"}) {
            std::string ok = std::string(size_t(json::kMaxDepth), '[') + inner + std::string(size_t(json::kMaxDepth), ']');
            Json::Value v;
            QVERIFY2(json::parse(ok, v) && json::size(v) == 1, inner);
            std::string deep = "[" + ok + "]";
            std::string err;
            QVERIFY(!json::parse(deep, v, &err) && v.isNull());
            QCOMPARE(err, std::string("JSON nesting deeper than 128 levels"));
        }
        std::string objects;
        for (int i = 0; i < json::kMaxDepth; ++i)
            objects += "{\"k\": ";
        objects += "true" + std::string(size_t(json::kMaxDepth), '}');
        Json::Value v;
        QVERIFY(json::parse(objects, v));
        QVERIFY(!json::parse("{\"k\": " + objects + "}", v));
        std::string err;
        QVERIFY(json::parse(std::string("[[1]]"), v, &err, 2) && !json::parse(std::string("[[[]]]"), v, &err, 2));
        QCOMPARE(err, std::string("JSON nesting deeper than 2 levels"));
        QVERIFY(json::parse(std::string("7"), v, &err, 0) && !json::parse(std::string("[]"), v, &err, 0));
        // The refusal leaves the parser usable: the next document reads normally.
        QVERIFY(json::parse(std::string("{\"a\": [1]}"), v) && json::size(json::get(v, "a")) == 1);

        // brackets inside strings do not count, escaped quotes do not end a string
        std::string text = "{\"s\": \"" + std::string(500, '[') + "\\\"" + std::string(500, '{') + "\"}";
        QVERIFY(json::parse(text, v));
    }

    void fastReaderAgreesWithJsoncpp()
    {
        // Plain documents are read by a reader of the framework's own; everything else by jsoncpp's. Both give
        // the same verdict and the same tree (value types included) as jsoncpp's reader after the depth scan.
        std::vector<std::string> texts = {
            "", "   ", "{}", " [ ] ", "[]", "{\"a\": [1, 2, {\"b\": true}], \"c\": null, \"d\": false}",
            "0", "-0", "007", "2147483647", "2147483648", "-2147483648", "-2147483649", "4294967296",
            "999999999999999999", "-999999999999999999", "9999999999999999999", "18446744073709551616", "1.5",
            "-2e3", "1E2", "-", "+1", "12a", "[12a]", "[1 2]", "[1,]", "[,1]", "[1,\n\t2\r]",
            "\"a\\\"b\\\\c\\/d\\b\\f\\n\\r\\t\"", "\"\\u00e9\"", "\"\\ud83d\\ude00\"", "\"\\x\"",
            "\"unterminated", "{\"a\":\"b", "{\"a\" 1}", "{\"a\":}", "{\"a\":1,}", "{\"\":1,}",
            "{\"a\":1,\"a\":{\"b\":2}}", "{\"a\":{\"b\":1},\"a\":2}", "{\"k\\n\": \"v\\t\"}", "true",
            "truex", "true false", "nul", "/*c*/[1]", "[1]//c", "[1] x", "[1]\f", "\xef\xbb\xbf{}", "{1:2}",
            "[\"\x01\x1f raw\"]", "{\"\xc3\xa9\": \"\xff\xfe\"}", "[true,false,null,[],{}]",
            std::string("[\"a\0b\"]", 7), std::string("{\"k\0\":1}", 9),
            std::string(128, '[') + std::string(128, ']'), std::string(129, '[') + std::string(129, ']'),
            std::string(128, '[') + "1" + std::string(128, ']'), std::string(127, '[') + "{}" + std::string(127, ']'),
        };
        QDirIterator files(tevtest::dataPath(QStringLiteral("corpus")), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            texts.push_back(tevtest::readFile(files.next()).toStdString());
        QVERIFY(texts.size() > 100);
        for (const std::string& text : texts) {
            const char* b = text.data();
            const char* e = b + text.size();
            Json::Value expected;
            const bool expectedOk = tevtest::oracleParse(b, e, expected);
            Json::Value v;
            const bool ok = json::parse(b, e, v);
            QVERIFY2(ok == expectedOk, text.c_str());
            if (ok)
                QVERIFY2(v == expected, text.c_str());
        }
    }

    void sharedNamesOutliveTheirTree()
    {
        // Short member names of parsed trees are shared copies: copies of a tree and its names read the same
        // after the tree they came from is gone; long names and names with a zero byte keep their own bytes.
        const std::string longName(300, 'x');
        const std::string zeroName = std::string("z") + '\0' + "z";
        const std::string text = "{\"type\": \"qtlabel\", \"child\": [{\"type\": \"qtlabel\"}, {\"type\": \"" +
                                 longName + "\", \"" + longName + "\": \"a" + std::string(1, '\0') + "b\", \"" + zeroName +
                                 "\": 1, \"k\\n\": \"v\\t\"}]}";
        Json::Value expected;
        QVERIFY(tevtest::oracleParse(text.data(), text.data() + text.size(), expected));
        Json::Value copy;
        std::vector<std::string> keys;
        {
            Json::Value v;
            QVERIFY(json::parse(text, v));
            copy = v;
            const Json::Value& last = json::at(json::get(v, "child"), 1);
            for (auto it = last.begin(); it != last.end(); ++it)
                keys.push_back(it.key().asString() + "|" + it.name());
            Json::Value member;
            QVERIFY(json::take(v, "type", member) && std::strcmp(member.asCString(), "qtlabel") == 0);
        }
        QVERIFY(copy == expected);
        QCOMPARE(json::writeStyled(copy), json::writeStyled(expected));
        QCOMPARE(keys, (std::vector<std::string>{"k\n|k\n", "type|type", longName + "|" + longName,
                                                 zeroName + "|" + zeroName}));
        const Json::Value& last = json::at(json::get(copy, "child"), 1);
        QCOMPARE(json::getString(last, longName.c_str()), std::string("a\0b", 3));
        QCOMPARE(json::memberNames(last).back(), zeroName);

        // Readers on several threads at once agree with jsoncpp, whichever of them shares the texts.
        std::string doc = "[";
        for (int i = 0; i < 2000; ++i)
            doc += std::string(i ? "," : "") + "{\"name\": \"n" + std::to_string(i % 50) + "\", \"v\": " + std::to_string(i) + "}";
        doc += "]";
        QVERIFY(tevtest::oracleParse(doc.data(), doc.data() + doc.size(), expected));
        std::vector<std::thread> threads;
        std::atomic<int> same{0};
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                for (int round = 0; round < 5; ++round) {
                    Json::Value v;
                    if (json::parse(doc, v) && v == expected)
                        ++same;
                }
            });
        }
        for (std::thread& t : threads)
            t.join();
        QCOMPARE(same.load(), 20);
    }

    void releasedTreesAreFreedLater()
    {
        // A tree given up is freed off the caller's thread, soon; one still held elsewhere stays whole.
        auto tree = std::make_shared<Json::Value>(parsed("{\"a\": [1, 2, {\"b\": \"text\"}]}"));
        std::weak_ptr<Json::Value> watch = tree;
        json::releaseLater(tree);
        QVERIFY(!watch.expired());
        QCOMPARE(json::getString(json::at(json::get(*tree, "a"), 2), "b"), std::string("text"));
        for (int i = 0; i < 50; ++i)
            json::releaseLater(std::make_shared<const Json::Value>(parsed("[[1], {\"x\": \"y\"}]")));
        json::releaseLater(nullptr);
        json::releaseLater(std::move(tree));
        QVERIFY(!tree);
        QTRY_VERIFY_WITH_TIMEOUT(watch.expired(), 5000);
    }

    void membersOfNonObjectsAreAbsent()
    {
        const Json::Value arr = parsed("[1, 2]");
        const Json::Value num = parsed("5");
        QVERIFY(!json::has(arr, "x") && !json::has(num, "x") && json::get(arr, "x").isNull());
        QVERIFY(json::memberNames(arr).empty());
        QCOMPARE(json::size(num), Json::ArrayIndex(0));
        QVERIFY(json::at(num, 0).isNull() && json::at(arr, 7).isNull());
        QCOMPARE(json::at(arr, 1).asInt(), 2);
        // get never inserts
        const Json::Value obj = parsed("{}");
        json::get(obj, "x");
        QVERIFY(json::memberNames(obj).empty());

        // Walking the members: each once with its full key (a zero byte included), nothing for non-objects.
        std::string seen;
        auto collect = [&](const char* key, size_t length, const Json::Value& v) {
            seen += std::string(key, length) + '=' + json::scalarToString(v).value_or("?") + ';';
        };
        for (const Json::Value* v : {&arr, &num, &obj})
            json::forEachMember(*v, collect);
        QVERIFY(seen.empty());
        json::forEachMember(parsed("{\"b\": 2, \"a\": [1], \"a\\u0000z\": true, \"b\": 3}"), collect);
        QCOMPARE(seen, std::string("a=?;a\0z=true;b=3;", 17));

        // Taking a member moves it out; nothing is taken from non-objects or for absent keys.
        Json::Value doc = parsed("{\"style\": [1, 2], \"k\": 0}"), taken(7), list = arr;
        QVERIFY(!json::take(list, "0", taken) && !json::take(doc, "none", taken) && taken.asInt() == 7);
        QVERIFY(json::take(doc, "style", taken) && json::size(taken) == 2);
        QVERIFY(!json::has(doc, "style") && json::has(doc, "k") && json::size(list) == 2);
    }

    void recordFindsMembersInOneWalk()
    {
        // Each listed name finds its member, whatever the order in the object; absent names, longer or shorter
        // names and anything but an object find nothing.
        static const json::Keys keys{"text", "max", "a", "t"};
        QCOMPARE(keys.size(), std::size_t(4));
        const Json::Value obj = parsed("{\"max\": 7, \"texts\": 1, \"text\": \"hi\", \"k\": true, \"b\": 2}");
        const json::Record r(obj, keys);
        int max = 0;
        QString text;
        QVERIFY(json::read(r[0], text) && text == QStringLiteral("hi"));
        QVERIFY(json::read(r[1], max) && max == 7);
        QVERIFY(!r[2] && !r[3] && !r[4] && !r[40]);
        QCOMPARE(keys.indexOf("k", 1), -1);
        QCOMPARE(keys.indexOf("tex", 3), -1);
        QCOMPARE(keys.indexOf("t", 1), 3);
        for (const char* other : {"[1, 2]", "5", "null", "\"text\""}) {
            const json::Record none(parsed(other), keys);
            QVERIFY2(!none[0] && !none[1], other);
        }

        // Reads of a found member convert as the reads by name do: absent or of the wrong type leaves out alone.
        const Json::Value v = parsed("{\"s\": \"x\", \"n\": 2.9, \"b\": false, \"e\": \"\"}");
        static const json::Keys names{"s", "n", "b", "e"};
        const json::Record m(v, names);
        int i = -1;
        bool flag = true;
        std::string str = "keep";
        QString qs = QStringLiteral("keep");
        QVERIFY(!json::read(m[0], i) && i == -1 && !json::read(nullptr, i));
        QVERIFY(json::read(m[1], i) && i == 2 && !json::read(m[1], str) && str == "keep");
        QVERIFY(json::read(m[2], flag) && !flag && !json::read(m[2], qs) && qs == QStringLiteral("keep"));
        QVERIFY(json::read(m[3], qs) && qs.isEmpty() && !qs.isNull());
        QVERIFY(json::read(v, "s", qs) && qs == QStringLiteral("x"));
    }

    void scalarConversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hasInt");
        QTest::addColumn<int>("intValue");
        QTest::addColumn<bool>("hasBool");
        QTest::addColumn<bool>("boolValue");
        QTest::addColumn<bool>("hasString");
        QTest::newRow("int") << "7" << true << 7 << true << true << false;
        QTest::newRow("zero") << "0" << true << 0 << true << false << false;
        QTest::newRow("real") << "2.9" << true << 2 << true << true << false;
        QTest::newRow("negative real") << "-2.9" << true << -2 << true << true << false;
        QTest::newRow("true") << "true" << true << 1 << true << true << false;
        QTest::newRow("string") << "\"12\"" << false << 0 << false << false << true;
        QTest::newRow("null") << "null" << false << 0 << false << false << false;
        QTest::newRow("array") << "[1]" << false << 0 << false << false << false;
        QTest::newRow("too big") << "4294967296" << false << 0 << true << true << false;
        QTest::newRow("huge real") << "1e300" << false << 0 << true << true << false;
        QTest::newRow("int min") << "-2147483648" << true << INT_MIN << true << true << false;
    }
    void scalarConversions()
    {
        QFETCH(QString, text);
        QFETCH(bool, hasInt);
        QFETCH(int, intValue);
        QFETCH(bool, hasBool);
        QFETCH(bool, boolValue);
        QFETCH(bool, hasString);
        const Json::Value v = parsed(("[" + text + "]").toUtf8().constData())[0];
        const auto i = json::toInt(v);
        QCOMPARE(bool(i), hasInt);
        if (i)
            QCOMPARE(*i, intValue);
        const auto b = json::toBool(v);
        QCOMPARE(bool(b), hasBool);
        if (b)
            QCOMPARE(*b, boolValue);
        QCOMPARE(bool(json::toString(v)), hasString);
    }

    void unsignedAndDoubleRanges()
    {
        QVERIFY(!json::toUInt(parsed("[-1]")[0]));
        QCOMPARE(*json::toUInt(parsed("[4294967295]")[0]), 4294967295u);
        QVERIFY(!json::toUInt(parsed("[4294967296]")[0]));
        QCOMPARE(*json::toDouble(parsed("[3]")[0]), 3.0);
        QVERIFY(!json::toDouble(parsed("[\"3\"]")[0]));
        QCOMPARE(*json::toInt64(parsed("[9007199254740993]")[0]), qint64(9007199254740993LL));
        QVERIFY(!json::toInt64(parsed("[1e19]")[0]));
    }

    void readsWithDefaults()
    {
        const Json::Value o = parsed("{\"n\": 4, \"s\": \"x\", \"b\": 0, \"wrong\": \"4\", \"u\": \"\\u4e2d\"}");
        QCOMPARE(json::getInt(o, "n", -1), 4);
        QCOMPARE(json::getInt(o, "wrong", -1), -1);
        QCOMPARE(json::getString(o, "n", "d"), std::string("d"));
        QCOMPARE(json::getBool(o, "b", true), false);
        QCOMPARE(json::getQString(o, "u"), QString::fromUtf8("\xe4\xb8\xad"));
        int n = 99;
        QVERIFY(!json::read(o, "wrong", n) && n == 99);
        QVERIFY(json::read(o, "n", n) && n == 4);
        QString s;
        QVERIFY(!json::read(parsed("[1]"), "s", s));
        QCOMPARE(*json::scalarToString(parsed("[12]")[0]), std::string("12"));
        QVERIFY(!json::scalarToString(parsed("[{}]")[0]));
    }

    void writableMemberReplacesNonObjects()
    {
        Json::Value v(Json::arrayValue);
        v.append(1);
        json::member(v, "k") = 3;
        QVERIFY(v.isObject());
        QCOMPARE(v["k"].asInt(), 3);
        Json::Value n;
        json::member(n, "a") = "b";
        QCOMPARE(json::getString(n, "a"), std::string("b"));
        QVERIFY(json::writeStyled(n).find("\"a\" : \"b\"") != std::string::npos);
    }
};

TEV_TEST_MAIN(TestJson)
#include "tst_json.moc"
