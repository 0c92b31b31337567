// Framework initialisation and the free functions: what is refused before init, what init installs and that it
// installs it once, the proxy style, the designer-host test at init, the theme, skin and project functions, the
// project switch kept across the project style helpers, the text-style setters, the language functions, and the
// executable exporting the framework by name.
#include "TevTest.h"
#include "LanguageManager.h"
#include "TEVPlatform.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQPageLoader.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBase.h"
#include "TEVQWindow.h"
#include "TEVQtLib.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

QString pages(const QString& name) { return tevtest::dataPath(QStringLiteral("pages/") + name); }

class InitOtherLabel : public TEVQLabel
{
    Q_OBJECT
public:
    static QWidget* create() { return new InitOtherLabel; }
};

// Styles carry their own name, as the style lists show it.
FillStyle fillOf(const QString& name, const QColor& c)
{
    FillStyle s;
    s.name = name;
    s.fillRes.fillColor = c;
    return s;
}

TextStyleDesc textOf(const QString& name, const QColor& c)
{
    TextStyleDesc s;
    s.name = name;
    s.color = c;
    return s;
}

bool namesContain(const QVector<FillStyle>& list, const QString& name)
{
    for (const FillStyle& s : list) {
        if (s.name == name)
            return true;
    }
    return false;
}

} // namespace

class TestInit : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

private slots:
    void initTestCase() { QVERIFY(m_tmp.isValid()); }

    void refusedBeforeInit()
    {
        const QByteArray theme = pages(QStringLiteral("theme")).toUtf8();
        QVERIFY(!tevLoadThemeDir(theme.constData()) && !tevLoadThemeFile(theme.constData()));
        QVERIFY(rm()->getThemePath().isEmpty());
        const float scale = rm()->getScaleFactor();
        QVERIFY(!tevSetSkinFilePath(pages(QStringLiteral("skin")), 0.5f));
        QVERIFY(!tevLoadSkinFile(pages(QStringLiteral("skin")), 0.5f));
        QVERIFY(rm()->getScaleFactor() == scale && rm()->getSkinDirPath().isEmpty());
        QVERIFY(!tevSetProjectFilePath(pages(QStringLiteral("skin"))) && !rm()->projectStore());
        QVERIFY(!tevNotifyThemeChange());
        // The registry is empty until init fills it.
        QVERIFY(!createControlByType("qtlabel", nullptr));

        // Styles and languages work at any time.
        FillStyle early = fillOf(QStringLiteral("early"), QColor(1, 2, 3));
        tevSetFillStyle(QStringLiteral("early"), early);
        FillStyle out;
        QVERIFY(tevGetFillStyle(QStringLiteral("early"), out) && out.fillRes.fillColor == QColor(1, 2, 3));
        QCOMPARE(tevGetLanguageManager(), LanguageManager::instance());
    }

    void initInstallsEverythingOnce()
    {
        QFont::removeSubstitutions(QStringLiteral("Microsoft YaHei UI"));
        QVERIFY(!TEVQWidgetBase::createControlHook());
        QVERIFY(!QApplication::style()->inherits("CScrollBarStyle"));
        // A page read before init builds nothing.
        {
            TEVQContainer host;
            const int own = host.findChildren<QWidget*>().size();
            QVERIFY(!tevCreatePageByFileName(&host, pages(QStringLiteral("full_page.json"))));
            QVERIFY(!tevCreatePageByFileName(nullptr, pages(QStringLiteral("full_page.json"))));
            QCOMPARE(host.findChildren<QWidget*>().size(), own);
        }

        init();
        QStyle* style = tevGetStyle();
        QCOMPARE(QApplication::style(), style);
        QVERIFY(style->inherits("CScrollBarStyle"));
        std::unique_ptr<QWidget> label(createControlByType("qtlabel", nullptr));
        QVERIFY(qobject_cast<TEVQLabel*>(label.get()));
        QImage* checked = rm()->getImage(QStringLiteral("IDB_CHECKED"));
        QVERIFY(checked && checked->size() == QSize(16, 16));
        FillStyle fill;
        QVERIFY(tevGetFillStyle(QStringLiteral("builtInPanel"), fill));
        QCOMPARE(fill.fillRes.fillColor, QColor(0x10, 0x20, 0x30));
        QVERIFY(!QFont::substitutes(QStringLiteral("Microsoft YaHei UI")).isEmpty());
        QVERIFY(TEVQWidgetBase::createControlHook());

        // A second init changes nothing: not the style, the registry, the built-in images or the default style.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QStyle* fusion = QApplication::style();
        tevRegisterDefaultControl("qtlabel", &InitOtherLabel::create);
        FillStyle changed = fillOf(QStringLiteral("builtInPanel"), QColor(9, 9, 9));
        tevSetFillStyle(QStringLiteral("builtInPanel"), changed);
        init();
        QCOMPARE(QApplication::style(), fusion);
        label.reset(createControlByType("qtlabel", nullptr));
        QVERIFY(qobject_cast<InitOtherLabel*>(label.get()));
        QCOMPARE(rm()->getImage(QStringLiteral("IDB_CHECKED")), checked);
        QVERIFY(tevGetFillStyle(QStringLiteral("builtInPanel"), fill));
        QCOMPARE(fill.fillRes.fillColor, QColor(9, 9, 9));

        tevRegisterDefaultControl("qtlabel", &TEVQLabel::createTEVQLabel);
        QApplication::setStyle(tevGetStyle());
        shutdown(); // nothing to undo
        QVERIFY(QApplication::style()->inherits("CScrollBarStyle"));
        label.reset(createControlByType("qtlabel", nullptr));
        QVERIFY(label);
    }

    void styleIsOneObject()
    {
        QStyle* style = tevGetStyle();
        QCOMPARE(tevGetStyle(), style);
        std::atomic<int> same{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&] {
                if (tevGetStyle() == style)
                    ++same;
            });
        for (std::thread& t : threads)
            t.join();
        QCOMPARE(same.load(), 8);

        // Replaced on the application, the style is deleted by it; the next call makes a new one instead of
        // handing out a dead object.
        QPointer<QStyle> old(style);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QVERIFY(old.isNull());
        QStyle* fresh = tevGetStyle();
        QVERIFY(fresh && fresh->inherits("CScrollBarStyle"));
        QApplication::setStyle(fresh);
        QCOMPARE(tevGetStyle(), fresh);
    }

    void designerHostTestRunsAtInit()
    {
        if (!qgetenv("TEV_INIT_PROBE").isEmpty()) {
            init();
            std::fputs(tevIsQtEmulator() ? "emulator=1\n" : "emulator=0\n", stdout);
            std::fflush(stdout);
            return;
        }
        QVERIFY(!tevIsQtEmulator());
        QTemporaryDir dir(QFileInfo(platform::moduleFilePath()).absolutePath() + QStringLiteral("/initprobe-XXXXXX"));
        QVERIFY(dir.isValid());
        for (const char* folder : {"Orvessa", "orvessa"}) {
            const QString copyDir = dir.filePath(QString::fromLatin1(folder));
            QVERIFY(QDir().mkpath(copyDir));
            const QString copy = copyDir + QStringLiteral("/init_probe");
            QVERIFY(QFile::copy(platform::moduleFilePath(), copy));
            QVERIFY(QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ExeOwner));
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TEV_INIT_PROBE"), QStringLiteral("1"));
            process.setProcessEnvironment(env);
            process.start(copy, {QStringLiteral("designerHostTestRunsAtInit")});
            QVERIFY(process.waitForFinished(120000));
            const QByteArray output = process.readAllStandardOutput();
            QCOMPARE(process.exitCode(), 0);
            const bool upper = qstrcmp(folder, "Orvessa") == 0;
            QVERIFY2(output.contains(upper ? "emulator=1" : "emulator=0"), output.constData());
        }
    }

    void themeFunctions()
    {
        QVERIFY(!tevLoadThemeDir(nullptr) && !tevLoadThemeFile(nullptr));
        // A directory name outside ASCII, given as UTF-8.
        const QString dir = m_tmp.filePath(QString::fromUtf8("\xE4\xB8\xBB\xE9\xA2\x98")); // "theme" in Chinese
        QVERIFY(QDir().mkpath(dir));
        for (const char* name : {"style.json", "theme.json"})
            QVERIFY(QFile::copy(pages(QStringLiteral("theme/")) + QLatin1String(name), dir + '/' + QLatin1String(name)));
        QVERIFY(tevLoadThemeDir(dir.toUtf8().constData()));
        QCOMPARE(rm()->getThemePath(), dir);

        // A theme change reaches the widgets of every registered window.
        TEVQWindow win;
        TEVQContainer panel(&win);
        panel.setThemeName(QStringLiteral("accentPanel"));
        QCOMPARE(panel.getBackground().fillRes.fillColor, QColor(0x00, 0x78, 0xd7));
        panel.setBackground(fillOf(QStringLiteral("red"), Qt::red));
        QVERIFY(tevNotifyThemeChange());
        QCOMPARE(panel.getBackground().fillRes.fillColor, QColor(0x00, 0x78, 0xd7));
    }

    void skinFunctionsSetTheScaleFirst()
    {
        QVERIFY(tevSetSkinFilePath(pages(QStringLiteral("skin")), 0.5f));
        QCOMPARE(rm()->getScaleFactor(), 0.5f);
        FillStyle fill;
        QVERIFY(tevGetFillStyle(QStringLiteral("pageBackground"), fill));
        QVERIFY(!tevSetSkinFilePath(m_tmp.filePath("noSkin"), 2.0f));
        QCOMPARE(rm()->getScaleFactor(), 2.0f);
        rm()->setScaleFactor(1.0f);
    }

    void stylesAndProjectSwitch()
    {
        // The text-style setter files the style like its fill twin.
        TextStyleDesc text = textOf(QStringLiteral("plainText"), QColor(7, 8, 9)), textOut;
        tevSetTextStyle(QStringLiteral("plainText"), text);
        QVERIFY(tevGetTextStyle(QStringLiteral("plainText"), textOut) && textOut.color == QColor(7, 8, 9));
        QVERIFY(namesContain(tevGetAllFillStyle(), QStringLiteral("builtInPanel")));

        const QString project = m_tmp.filePath("project");
        QVERIFY(tevtest::writeFile(project + "/style.json",
                                   R"({"style":[{"type":1,"name":"projFill","clr":"ff405060"},
                                                {"type":2,"name":"projText","clr":"ff112233"}]})"));
        QVERIFY(tevSetProjectFilePath(project));
        FillStyle fill;
        QVERIFY(tevGetProjectFillStyle(QStringLiteral("projFill"), fill));
        QCOMPARE(fill.fillRes.fillColor, QColor(0x40, 0x50, 0x60));
        QVERIFY(!rm()->isProjectRes());
        QVERIFY(!tevGetFillStyle(QStringLiteral("projFill"), fill));
        // The lists are the project store's once there is one.
        QVERIFY(namesContain(tevGetAllFillStyle(), QStringLiteral("projFill")));
        QVERIFY(!namesContain(tevGetAllFillStyle(), QStringLiteral("builtInPanel")));

        // Project mode stays on across the helpers, whatever they find.
        rm()->setSwitchToProjectRes(true);
        QVERIFY(!tevGetProjectFillStyle(QStringLiteral("nothing"), fill));
        QVERIFY(rm()->isProjectRes());
        FillStyle projNew = fillOf(QStringLiteral("projNew"), QColor(4, 5, 6));
        tevSetProjectFillStyle(QStringLiteral("projNew"), projNew);
        QVERIFY(rm()->isProjectRes());
        rm()->setSwitchToProjectRes(false);

        QVERIFY(tevGetProjectFillStyle(QStringLiteral("projNew"), fill) && !tevGetFillStyle(QStringLiteral("projNew"), fill));
        TextStyleDesc projText = textOf(QStringLiteral("projText2"), QColor(1, 1, 1));
        tevSetProjectTextStyle(QStringLiteral("projText2"), projText);
        QVERIFY(!rm()->isProjectRes());
        QVERIFY(tevGetProjectTextStyle(QStringLiteral("projText2"), textOut) && textOut.color == QColor(1, 1, 1));
        QVERIFY(!tevGetTextStyle(QStringLiteral("projText2"), textOut));
    }

    void languageFunctions()
    {
        const QString dict = m_tmp.filePath("dict.json");
        const QByteArray overviewZh("\xE6\xA6\x82\xE8\xA7\x88");
        const QByteArray dictText = "{\"defaultLanguage\":\"en-US\",\"languages\":{"
                                    "\"en-US\":{\"nav.overview\":\"Overview\",\"nav.only.en\":\"English only\"},"
                                    "\"zh-CN\":{\"nav.overview\":\"" + overviewZh + "\"}}}";
        QVERIFY(tevtest::writeFile(dict, dictText));
        QString error;
        QVERIFY(!tevLoadLanguageFile(m_tmp.filePath("none.json"), &error) && !error.isEmpty());
        QVERIFY(tevLoadLanguageFile(dict, &error));
        QCOMPARE(tevGetLanguage(), QStringLiteral("en-US"));

        QSignalSpy spy(tevGetLanguageManager(), &LanguageManager::languageChanged);
        QVERIFY(tevSetLanguage(QStringLiteral("zh-CN")));
        QVERIFY(!tevSetLanguage(QStringLiteral("fr-FR")));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(tevGetLanguage(), QStringLiteral("zh-CN"));

        QCOMPARE(tevText(QStringLiteral("nav.overview"), QString()), QString::fromUtf8(overviewZh));
        QCOMPARE(tevText(QStringLiteral("nav.none"), QStringLiteral("fallback")), QStringLiteral("fallback"));
        QVERIFY(tevSetLanguage(QStringLiteral("en-US")));
    }

    void executableExportsTheFrameworkByName()
    {
        const QString nm = QStandardPaths::findExecutable(QStringLiteral("nm"));
        if (nm.isEmpty())
            QSKIP("nm is not installed");
        const QString app = QStringLiteral(TEV_APP_EXECUTABLE);
        QVERIFY2(QFileInfo(app).isExecutable(), qPrintable(app));
        QProcess process;
        process.start(nm, {QStringLiteral("-D"), QStringLiteral("--defined-only"), QStringLiteral("-C"), app});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        const QByteArray symbols = process.readAllStandardOutput();
        for (const char* name : {"TEVQtLib::init()", "TEVQtLib::tevCreatePageByFileName(QWidget*, QString)",
                                 "TEVQtLib::TEVQResourceManager::getInstance()", "TEVQContainer::TEVQContainer(QWidget*)",
                                 "typeinfo for TEVQLabel", "TEVQtLib::TEVQWindow::setCanDrag(bool)"})
            QVERIFY2(symbols.contains(name), name);
    }
};

TEV_TEST_MAIN(TestInit)
#include "tst_init.moc"
