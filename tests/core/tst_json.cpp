// The type-checked JSON layer: wrong types read as absent, deep nesting is refused, nothing throws.
#include "TevTest.h"
#include "TEVJson.h"

#include <QDirIterator>

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
        // brackets inside strings do not count, escaped quotes do not end a string
        std::string text = "{\"s\": \"" + std::string(500, '[') + "\\\"" + std::string(500, '{') + "\"}";
        Json::Value v;
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
            bool expectedOk = json::nestingDepth(b, e) <= json::kMaxDepth;
            try {
                expectedOk = expectedOk && Json::Reader().parse(b, e, expected, false);
            } catch (...) {
                expectedOk = false;
            }
            Json::Value v;
            const bool ok = json::parse(b, e, v);
            QVERIFY2(ok == expectedOk, text.c_str());
            if (ok)
                QVERIFY2(v == expected, text.c_str());
        }
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
