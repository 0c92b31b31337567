// The language manager: dictionary validation and its messages, the lookup fallback chain, the
// once-per-language-and-key warning, the change signal, resource paths and non-ASCII texts.
#include "TevTest.h"
#include "LanguageManager.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>

using namespace TEVQtLib;

namespace {

// Warnings about missing keys, caught while a MissingKeyLog is alive.
QStringList g_missingLog;
QtMessageHandler g_previousHandler = nullptr;

void recordMissingKey(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Missing translation key"))) {
        g_missingLog << message;
        return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

struct MissingKeyLog {
    MissingKeyLog()
    {
        g_missingLog.clear();
        g_previousHandler = qInstallMessageHandler(recordMissingKey);
    }
    ~MissingKeyLog() { qInstallMessageHandler(g_previousHandler); }
    int count() const { return g_missingLog.size(); }
    QStringList messages() const { return g_missingLog; }
};

LanguageManager* lm()
{
    return LanguageManager::instance();
}

// The text of key with no fallback of the caller's.
QString textOf(const QString& key)
{
    return LanguageManager::instance()->text(key, QString());
}

QString corpus(const char* name)
{
    return tevtest::dataPath(QStringLiteral("corpus/dictionary/") + QLatin1String(name));
}

// English default with a Chinese second language; "only.en" exists in English only, "empty.text" is "".
const QByteArray kTwoLanguages = R"({
    "defaultLanguage": "en-US",
    "languages": {
        "zh-CN": { "greeting": "你好", "only.zh": "仅中文" },
        "en-US": { "greeting": "Hello", "only.en": "English only", "empty.text": "" }
    }
})";

// A dictionary that a failed load must leave untouched.
const QByteArray kBase = R"({"defaultLanguage":"base","languages":{"base":{"base.key":"Base text"},"other":{"x":"y"}}})";

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void emptyBeforeTheFirstLoad()
    {
        // Runs before any other case loads a dictionary.
        QVERIFY(lm()->parent() == nullptr);
        QVERIFY(lm()->languages().isEmpty() && lm()->currentLanguage().isEmpty() && lm()->defaultLanguage().isEmpty());
        QVERIFY(!lm()->setLanguage(QString()) && !lm()->contains(QStringLiteral("k"), QString()));
        QCOMPARE(lm()->text(QStringLiteral("k"), QStringLiteral("shown")), QStringLiteral("shown"));
        MissingKeyLog log;
        QCOMPARE(textOf(QStringLiteral("k")), QStringLiteral("k"));
        QCOMPARE(log.messages(), QStringList{QStringLiteral("Missing translation key \"k\" for language \"\"")});
    }

    void refusedDocumentsGiveTheirMessageAndChangeNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        const QString needs = QStringLiteral("Language JSON requires defaultLanguage and a languages object.");
        QTest::newRow("root array") << "root_array.json" << "Invalid language JSON: the root is not an object";
        QTest::newRow("truncated") << "truncated.json"
                                   << "Invalid language JSON: * Line 1, Column 62 Missing ',' or '}' in object declaration";
        QTest::newRow("not utf-8") << "not_utf8.json" << "Invalid language JSON: invalid UTF-8 at byte 57";
        QTest::newRow("deep nesting") << "deep_nesting.json" << "Invalid language JSON: JSON nesting deeper than 128 levels";
        QTest::newRow("default missing") << "default_missing.json" << needs;
        QTest::newRow("default empty") << "default_empty.json" << needs;
        QTest::newRow("languages array") << "languages_array.json" << needs;
        QTest::newRow("language string")
            << "language_not_object.json" << "Language 'zh-CN' must contain at least one translation.";
        QTest::newRow("language empty")
            << "language_empty.json" << "Language 'en-US' must contain at least one translation.";
        QTest::newRow("translation number")
            << "translation_number.json" << "Translation 'solar.count' in language 'en-US' must be a string.";
        QTest::newRow("default not a language")
            << "default_not_in_languages.json" << "Default language 'fr-FR' does not exist in languages.";
    }
    void refusedDocumentsGiveTheirMessageAndChangeNothing()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QVERIFY(lm()->loadFromJson(kBase));
        QVERIFY(lm()->setLanguage(QStringLiteral("other")));
        QSignalSpy spy(lm(), &LanguageManager::languageChanged);

        QString error = QStringLiteral("untouched");
        const QString path = corpus(qPrintable(file));
        QVERIFY(!lm()->loadFromFile(path, &error));
        QCOMPARE(error, message);
        // The same bytes through the byte entry point, without an error text to fill.
        QVERIFY(!lm()->loadFromJson(tevtest::readFile(path), nullptr));

        QCOMPARE(spy.count(), 0);
        QCOMPARE(lm()->defaultLanguage(), QStringLiteral("base"));
        QCOMPARE(lm()->currentLanguage(), QStringLiteral("other"));
        QCOMPARE(lm()->languages(), QStringList({"base", "other"}));
        QCOMPARE(textOf(QStringLiteral("base.key")), QStringLiteral("Base text"));
    }

    void checksRunInTheirOrder()
    {
        // Several faults at once: the earliest check decides the message.
        QString error;
        QVERIFY(!lm()->loadFromJson(R"({"languages":{"en":{}}})", &error));
        QCOMPARE(error, QStringLiteral("Language JSON requires defaultLanguage and a languages object."));
        QVERIFY(!lm()->loadFromJson(R"({"defaultLanguage":"zz","languages":{"en":{"k":1}}})", &error));
        QCOMPARE(error, QStringLiteral("Translation 'k' in language 'en' must be a string."));
        // Languages are visited by name: "a" is checked before "b" whatever the document's order.
        QVERIFY(!lm()->loadFromJson(R"({"defaultLanguage":"a","languages":{"b":{"k":1},"a":{}}})", &error));
        QCOMPARE(error, QStringLiteral("Language 'a' must contain at least one translation."));
        // A name containing "%2" is inserted as it stands.
        QVERIFY(!lm()->loadFromJson(R"({"defaultLanguage":"a","languages":{"a":{"%2":null}}})", &error));
        QCOMPARE(error, QStringLiteral("Translation '%2' in language 'a' must be a string."));
    }

    void bytesMustBeUtf8_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("badByte"); // offset in text of the first bad byte; -1: loads
        QTest::newRow("two to four bytes") << QByteArray("\xC3\xA9 \xE6\x80\xBB \xF0\x9F\x98\x80") << -1;
        QTest::newRow("highest code point") << QByteArray("\xF4\x8F\xBF\xBF") << -1;
        QTest::newRow("lone continuation") << QByteArray("a\x80") << 1;
        QTest::newRow("latin-1") << QByteArray("caf\xE9") << 3;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << 0;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\xAF") << 0;
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << 0;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << 0;
        QTest::newRow("cut sequence") << QByteArray("\xE6\x80") << 0;
        QTest::newRow("bad third byte") << QByteArray("\xE6\x80\x41") << 0;
    }
    void bytesMustBeUtf8()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, badByte);
        const QByteArray prefix = "{\"defaultLanguage\":\"a\",\"languages\":{\"a\":{\"k\":\"";
        const QByteArray document = prefix + text + "\"}}}";
        QString error;
        const bool loaded = lm()->loadFromJson(document, &error);
        if (badByte < 0) {
            QVERIFY2(loaded, qPrintable(error));
            QCOMPARE(textOf(QStringLiteral("k")), QString::fromUtf8(text));
        } else {
            QVERIFY(!loaded);
            QCOMPARE(error, QStringLiteral("Invalid language JSON: invalid UTF-8 at byte %1").arg(prefix.size() + badByte));
        }
    }

    void byteOrderMarkIsSkipped()
    {
        QString error;
        QVERIFY2(lm()->loadFromJson("\xEF\xBB\xBF" R"({"defaultLanguage":"a","languages":{"a":{"k":"v"}}})", &error),
                 qPrintable(error));
        QCOMPARE(textOf(QStringLiteral("k")), QStringLiteral("v"));
        // Only at the very start, and only whole.
        QVERIFY(!lm()->loadFromJson(" \xEF\xBB\xBF{}", &error));
        QVERIFY(!lm()->loadFromJson("\xEF\xBB{}", &error));
        QCOMPARE(error, QStringLiteral("Invalid language JSON: invalid UTF-8 at byte 0"));
    }

    void repeatedNamesKeepTheLastOne()
    {
        // A language or key given twice: the later one is kept, the earlier table is released.
        QString error;
        QVERIFY2(lm()->loadFromJson(R"({"defaultLanguage":"a","languages":{"a":{"k":"first","x":"1"},"a":{"k":"second","k":"third"}}})",
                                    &error),
                 qPrintable(error));
        QCOMPARE(textOf(QStringLiteral("k")), QStringLiteral("third"));
        QVERIFY(!lm()->contains(QStringLiteral("x"), QString()));
        // Names and texts may hold any character, the zero character included.
        QVERIFY(lm()->loadFromJson(R"({"defaultLanguage":"a\u0000b","languages":{"a\u0000b":{"k\u0000":"v\u0000w"}}})", &error));
        QCOMPARE(lm()->currentLanguage(), QString::fromUtf8("a\0b", 3));
        QCOMPARE(textOf(QString::fromUtf8("k\0", 2)), QString::fromUtf8("v\0w", 3));
        QVERIFY(!lm()->contains(QStringLiteral("k"), QString()));
        // Languages are listed without regard to letter case.
        QVERIFY(lm()->loadFromJson(R"({"defaultLanguage":"b","languages":{"c":{"k":"v"},"B":{"k":"v"},"b":{"k":"v"},"a":{"k":"v"}}})"));
        QCOMPARE(lm()->languages(), QStringList({"a", "B", "b", "c"}));
    }

    void unreadableFiles()
    {
        QVERIFY(lm()->loadFromJson(kBase));
        QSignalSpy spy(lm(), &LanguageManager::languageChanged);
        QString error;
        const QString missing = QStringLiteral("/no/such/dir/languages.json");
        QVERIFY(!lm()->loadFromFile(missing, &error));
        QCOMPARE(error, QStringLiteral("Unable to open language file '/no/such/dir/languages.json': No such file or directory"));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(!lm()->loadFromFile(dir.path(), &error));
        QCOMPARE(error, QStringLiteral("Unable to open language file '%1': file to open is a directory").arg(dir.path()));

        QCOMPARE(spy.count(), 0);
        QCOMPARE(lm()->defaultLanguage(), QStringLiteral("base"));
        QCOMPARE(textOf(QStringLiteral("base.key")), QStringLiteral("Base text"));
    }

    void fallbackChain()
    {
        QVERIFY(lm()->loadFromJson(kTwoLanguages));
        QCOMPARE(lm()->currentLanguage(), QStringLiteral("en-US"));
        QVERIFY(lm()->setLanguage(QStringLiteral("zh-CN")));
        MissingKeyLog log;

        // Current language first, then the default language.
        QCOMPARE(lm()->text(QStringLiteral("greeting"), QStringLiteral("fb")), QStringLiteral("你好"));
        QCOMPARE(lm()->text(QStringLiteral("only.en"), QStringLiteral("fb")), QStringLiteral("English only"));
        QVERIFY(lm()->contains(QStringLiteral("only.en"), QString()) && lm()->contains(QStringLiteral("only.zh"), QString()));
        QVERIFY(!lm()->contains(QStringLiteral("only.en"), QStringLiteral("zh-CN")));

        // Then the caller's fallback; an empty but non-null one counts as given. Nothing is logged.
        QCOMPARE(lm()->text(QStringLiteral("nowhere"), QStringLiteral("fb")), QStringLiteral("fb"));
        const QString emptyFallback = lm()->text(QStringLiteral("nowhere"), QLatin1String(""));
        QVERIFY(emptyFallback.isEmpty() && !emptyFallback.isNull());
        QCOMPARE(log.count(), 0);
        // Failing all, the key itself.
        QCOMPARE(textOf(QStringLiteral("nowhere")), QStringLiteral("nowhere"));
        QCOMPARE(log.count(), 1);

        // In the default language the current table is the only one asked.
        QVERIFY(lm()->setLanguage(QStringLiteral("en-US")));
        QVERIFY(!lm()->contains(QStringLiteral("only.zh"), QString()));
        QCOMPARE(lm()->text(QStringLiteral("only.zh"), QStringLiteral("fb")), QStringLiteral("fb"));
        // A stored empty text is a text, not a miss.
        const QString empty = lm()->text(QStringLiteral("empty.text"), QStringLiteral("fb"));
        QVERIFY(empty.isEmpty() && !empty.isNull());
        QVERIFY(lm()->contains(QStringLiteral("empty.text"), QString()));
    }

    void missingKeyIsLoggedOncePerLanguageAndKey()
    {
        QVERIFY(lm()->loadFromJson(kTwoLanguages));
        MissingKeyLog log;
        const QString key = QStringLiteral("solar.missing");

        QCOMPARE(textOf(key), key);
        QCOMPARE(log.messages(), QStringList{QStringLiteral("Missing translation key \"solar.missing\" for language \"en-US\"")});
        QCOMPARE(lm()->text(key), key);
        QCOMPARE(log.count(), 1);
        // Another key is its own entry.
        textOf(QStringLiteral("other.missing"));
        QCOMPARE(log.count(), 2);

        // A switch forgets what was logged: in the other language and back again it is logged anew.
        QVERIFY(lm()->setLanguage(QStringLiteral("zh-CN")));
        textOf(key);
        QCOMPARE(log.count(), 3);
        QCOMPARE(log.messages().last(), QStringLiteral("Missing translation key \"solar.missing\" for language \"zh-CN\""));
        QVERIFY(lm()->setLanguage(QStringLiteral("en-US")));
        textOf(key);
        QCOMPARE(log.count(), 4);
        // Setting the same language again forgets nothing.
        QVERIFY(lm()->setLanguage(QStringLiteral("en-US")));
        textOf(key);
        QCOMPARE(log.count(), 4);
        // A failed load forgets nothing; a successful one does.
        QVERIFY(!lm()->loadFromJson("[]"));
        textOf(key);
        QCOMPARE(log.count(), 4);
        QVERIFY(lm()->loadFromJson(kTwoLanguages));
        textOf(key);
        QCOMPARE(log.count(), 5);
    }

    void languageSwitchSignals()
    {
        QVERIFY(lm()->loadFromJson(kTwoLanguages));
        QSignalSpy spy(lm(), &LanguageManager::languageChanged);

        QVERIFY(lm()->setLanguage(QStringLiteral("zh-CN")));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("zh-CN"));
        QCOMPARE(lm()->currentLanguage(), QStringLiteral("zh-CN"));

        // The same language again: true, no signal. Unknown languages are refused and change nothing.
        QVERIFY(lm()->setLanguage(QStringLiteral("zh-CN")));
        QVERIFY(!lm()->setLanguage(QStringLiteral("fr-FR")) && !lm()->setLanguage(QStringLiteral("ZH-cn")));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(lm()->currentLanguage(), QStringLiteral("zh-CN"));

        // The signal arrives before setLanguage returns, with the new state in place.
        QString seen;
        auto connection = connect(lm(), &LanguageManager::languageChanged, this, [&seen](const QString& language) {
            seen = language + QLatin1Char('/') + LanguageManager::instance()->currentLanguage() + QLatin1Char('/')
                + LanguageManager::instance()->text(QStringLiteral("greeting"), QString());
        });
        QVERIFY(lm()->setLanguage(QStringLiteral("en-US")));
        QCOMPARE(seen, QStringLiteral("en-US/en-US/Hello"));
        disconnect(connection);
        QCOMPARE(spy.count(), 2);
    }

    void loadingSignalsAndKeepsOrResetsTheLanguage()
    {
        QVERIFY(lm()->loadFromJson(kTwoLanguages));
        QVERIFY(lm()->setLanguage(QStringLiteral("zh-CN")));
        QSignalSpy spy(lm(), &LanguageManager::languageChanged);

        // The new dictionary has the current language: it stays, and the load still signals.
        QVERIFY(lm()->loadFromJson(kTwoLanguages));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("zh-CN"));
        QCOMPARE(lm()->currentLanguage(), QStringLiteral("zh-CN"));

        // It lacks the current language: the default language takes its place.
        QVERIFY(lm()->loadFromJson(R"({"defaultLanguage":"de-DE","languages":{"de-DE":{"greeting":"Hallo"},"en-US":{"greeting":"Hello"}}})"));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QStringLiteral("de-DE"));
        QCOMPARE(lm()->currentLanguage(), QStringLiteral("de-DE"));
        // The whole dictionary was replaced.
        QVERIFY(!lm()->contains(QStringLiteral("only.en"), QStringLiteral("en-US")));
        QVERIFY(!lm()->setLanguage(QStringLiteral("zh-CN")));
    }

    void loadsFromCompiledInResources()
    {
        QSignalSpy spy(lm(), &LanguageManager::languageChanged);
        QString error;
        QVERIFY2(lm()->loadFromFile(QStringLiteral(":/dictionary/dashboard.json"), &error), qPrintable(error));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(lm()->languages(), QStringList({"en-US", "zh-CN"}));
        QCOMPARE(textOf(QStringLiteral("solar.nav.overview")), QStringLiteral("Overview"));

        QVERIFY(!lm()->loadFromFile(QStringLiteral(":/dictionary/bad_translation.json"), &error));
        QCOMPARE(error, QStringLiteral("Translation 'solar.count' in language 'en-US' must be a string."));
        QVERIFY(!lm()->loadFromFile(QStringLiteral(":/dictionary/absent.json"), &error));
        QVERIFY(error.startsWith(QStringLiteral("Unable to open language file ':/dictionary/absent.json': ")));
        QCOMPARE(spy.count(), 1);
    }

    void chineseTextsRoundTrip()
    {
        QVERIFY(lm()->loadFromFile(corpus("valid_dashboard.json")));
        QVERIFY(lm()->setLanguage(QStringLiteral("zh-CN")));
        QCOMPARE(textOf(QStringLiteral("solar.header.title")), QStringLiteral("光伏电站运行监控"));
        QCOMPARE(textOf(QStringLiteral("solar.only.english")), QStringLiteral("English only"));

        // Chinese language names and keys, written from a QString and read back unchanged.
        const QString language = QStringLiteral("中文"), key = QStringLiteral("键.标题"), value = QStringLiteral("标题 — “引号” 𠀋");
        const QString document = QStringLiteral("{\"defaultLanguage\":\"%1\",\"languages\":{\"%1\":{\"%2\":\"%3\"}}}")
                                     .arg(language, key, value);
        QString error;
        QVERIFY2(lm()->loadFromJson(document.toUtf8(), &error), qPrintable(error));
        QCOMPARE(lm()->currentLanguage(), language);
        QCOMPARE(textOf(key), value);

    }
};

TEV_TEST_MAIN(TestLanguage)
#include "tst_language.moc"
