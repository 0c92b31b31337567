// The platform layer: module path, path joining with either separator, case-blind lookups, font mapping.
#include "TevTest.h"
#include "TEVPlatform.h"

#include <QFontInfo>
#include <QTemporaryDir>

using namespace TEVQtLib::platform;

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void moduleFilePathIsThisExecutable()
    {
        const QString p = moduleFilePath();
        QVERIFY(QFileInfo(p).isAbsolute());
        QCOMPARE(QFileInfo(p).fileName(), QStringLiteral("tst_platform"));
        QCOMPARE(QFileInfo(p).canonicalFilePath(), QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
    }

    void joinPath_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("joined");
        QTest::newRow("plain") << "/a/b" << "c.json" << "/a/b/c.json";
        QTest::newRow("trailing slash") << "/a/b/" << "c.json" << "/a/b/c.json";
        QTest::newRow("trailing backslash") << "/a/b\\" << "c.json" << "/a/b/c.json";
        QTest::newRow("backslashes in name") << "/a" << "images\\x.png" << "/a/images/x.png";
        QTest::newRow("leading slash in name") << "/a" << "/x" << "/a/x";
        QTest::newRow("empty dir") << "" << "x\\y" << "x/y";
        QTest::newRow("empty name") << "/a/" << "" << "/a";
        QTest::newRow("root") << "/" << "x" << "/x";
        QTest::newRow("mixed") << "C:\\theme/sub\\" << "\\style.json" << "C:/theme/sub/style.json";
    }
    void joinPath()
    {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(QString, joined);
        QCOMPARE(TEVQtLib::platform::joinPath(dir, name), joined);
    }

    void caseInsensitiveLookup()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(tevtest::writeFile(tmp.filePath("Style.JSON"), "{}"));
        QVERIFY(tevtest::writeFile(tmp.filePath("sub/Page.json"), "{}"));
        // exact name wins, case-blind name found, missing name gives the exact path back
        QCOMPARE(resolveCaseInsensitive(tmp.path(), "Style.JSON"), tmp.path() + "/Style.JSON");
        QCOMPARE(resolveCaseInsensitive(tmp.path(), "style.json"), tmp.path() + "/Style.JSON");
        QCOMPARE(resolveCaseInsensitive(tmp.path(), "missing.json"), tmp.path() + "/missing.json");
        // only the last component is case-blind
        QCOMPARE(resolveCaseInsensitive(tmp.path(), "sub\\page.JSON"), tmp.path() + "/sub/Page.json");
        QCOMPARE(resolveCaseInsensitive(tmp.path(), "SUB/page.json"), tmp.path() + "/SUB/page.json");
        QCOMPARE(resolveCaseInsensitive(tmp.path() + "/STYLE.json"), tmp.path() + "/Style.JSON");
        // a missing folder is not an error
        QCOMPARE(resolveCaseInsensitive("/no/such/dir", "x"), QStringLiteral("/no/such/dir/x"));
    }

    void yaHeiMapsToAnInstalledFont()
    {
        installFontSubstitutions();
        QFont f(QStringLiteral("Microsoft YaHei UI"));
        const QString family = QFontInfo(f).family();
        QVERIFY2(cjkFallbackFamilies().contains(family), qPrintable(family));
    }
};

TEV_TEST_MAIN(TestPlatform)
#include "tst_platform.moc"
