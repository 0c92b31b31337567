// Designer root window: it always covers its parent at the origin and follows the parent's resizes, lays out
// its framework children, is registered with the resource manager for its lifetime, and carries the page's
// theme in "attr"."theme" (archive or directory on reading, the loaded theme's path on writing).
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQResourceManager.h"
#include "TEVQWindowDesigner.h"
#include "TEVQtLib.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace TEVQtLib;

namespace {

TEVQResourceManager* rm() { return TEVQResourceManager::getInstance(); }

Json::Value pageWithTheme(const QString& theme)
{
    Json::Value element(Json::objectValue);
    element["name"] = "page";
    element["attr"] = Json::Value(Json::objectValue);
    element["attr"]["theme"] = theme.toStdString();
    return element;
}

// Counts the resize events a widget receives.
class ResizeCounter : public QWidget
{
public:
    int resizes = 0;

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        ++resizes;
        QWidget::resizeEvent(e);
    }
};

} // namespace

class DesignerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tevInitQtControl();
        QVERIFY(m_dir.isValid());
        QVERIFY(tevtest::writeFile(m_dir.filePath("plain/style.json"), R"({"style":[{"type":1,"name":"bg","clr":"ff102030"}]})"));
        QVERIFY(tevtest::writeFile(m_dir.filePath("plain/theme.json"), R"({"elements":[]})"));
        // A theme directory whose path holds ".data" is still a directory.
        QVERIFY(tevtest::writeFile(m_dir.filePath("app.database/theme/style.json"),
                                   R"({"style":[{"type":1,"name":"bg","clr":"ff203040"}]})"));
        QVERIFY(tevtest::writeFile(m_dir.filePath("app.database/theme/theme.json"), R"({"elements":[]})"));
        QVERIFY(QFile::copy(QStringLiteral(TEV_TEST_DATA_DIR "/corpus/themezip/theme_full.zip"),
                            m_dir.filePath("page-theme.data")));
    }

    void typeAndRegistration()
    {
        auto* designer = new TEVQWindowDesigner;
        QCOMPARE(designer->getTypeName(), QStringLiteral("qtwindow"));
        QVERIFY(designer->testAttribute(Qt::WA_StyledBackground));
        QCOMPARE(designer->getOpacity(), 255);
        QCOMPARE(int(designer->getWidthPolicy()), -1);
        QVERIFY(rm()->registeredDesignerWindows().contains(designer));
        delete designer;
        QVERIFY(!rm()->registeredDesignerWindows().contains(designer));
        // Not a built-in registry type.
        QVERIFY(!tevGetControlInfo(QStringLiteral("qtwindow")));
    }

    void coversItsParent()
    {
        ResizeCounter parent;
        parent.resize(300, 200);
        auto* designer = new TEVQWindowDesigner(&parent);
        parent.show();
        designer->move(10, 10);
        QCOMPARE(designer->pos(), QPoint(0, 0));
        designer->resize(50, 50);
        QCOMPARE(designer->geometry(), QRect(0, 0, 300, 200));

        const int before = parent.resizes;
        parent.resize(800, 600);
        QCOMPARE(designer->geometry(), QRect(0, 0, 800, 600));
        // The filter keeps the resize event from the parent.
        QCOMPARE(parent.resizes, before);
        QCOMPARE(parent.size(), QSize(800, 600));

        // Deleting the designer removes its filter: the parent gets its resizes again.
        delete designer;
        parent.resize(640, 480);
        QCOMPARE(parent.resizes, before + 1);
    }

    void laysOutItsChildren()
    {
        QWidget parent;
        parent.resize(400, 300);
        auto* designer = new TEVQWindowDesigner(&parent);
        auto* root = new TEVQContainer(designer);
        parent.show();
        designer->resize(10, 10);
        QCOMPARE(root->geometry(), QRect(0, 0, 400, 300));
        parent.resize(500, 350);
        QCOMPARE(root->geometry(), QRect(0, 0, 500, 350));
    }

    void childDeletedWhileLaidOut()
    {
        // Laying out one child runs its resize handler, which may delete a sibling the designer has yet to
        // reach: the pass goes on with what is left.
        struct DeletingContainer : TEVQContainer {
            using TEVQContainer::TEVQContainer;
            QPointer<QWidget> victim;

        protected:
            void resizeEvent(QResizeEvent* e) override
            {
                TEVQContainer::resizeEvent(e);
                delete victim.data();
            }
        };
        QWidget parent;
        parent.resize(400, 300);
        auto* designer = new TEVQWindowDesigner(&parent);
        auto* first = new DeletingContainer(designer);
        auto* second = new TEVQContainer(designer);
        QPointer<TEVQContainer> last = new TEVQContainer(designer);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        first->victim = last;
        parent.resize(500, 350);
        QVERIFY(!last);
        QCOMPARE(first->geometry(), QRect(0, 0, 500, 350));
        QCOMPARE(second->geometry(), QRect(0, 0, 500, 350));
    }

    void readsThemeByKind()
    {
        TEVQWindowDesigner designer;
        Json::Value page = pageWithTheme(m_dir.filePath("plain"));
        QVERIFY(designer.readJsonValue(&page));
        QCOMPARE(rm()->getThemePath(), m_dir.filePath("plain"));

        page = pageWithTheme(m_dir.filePath("page-theme.data"));
        designer.readJsonValue(&page);
        QCOMPARE(rm()->getThemePath(), m_dir.filePath("page-theme.data"));

        page = pageWithTheme(m_dir.filePath("app.database/theme"));
        designer.readJsonValue(&page);
        QCOMPARE(rm()->getThemePath(), m_dir.filePath("app.database/theme"));

        // An archive file of any name, also when its path is written with backslashes.
        QVERIFY(QDir().mkpath(m_dir.filePath("packed")));
        QVERIFY(QFile::copy(m_dir.filePath("page-theme.data"), m_dir.filePath("packed/theme.zip")));
        const QString windowsPath = m_dir.path() + QStringLiteral("\\packed\\theme.zip");
        page = pageWithTheme(windowsPath);
        designer.readJsonValue(&page);
        QCOMPARE(rm()->getThemePath(), windowsPath);

        // An empty name, a missing archive, a theme of the wrong type or no "attr" change nothing.
        const QString loaded = rm()->getThemePath();
        page = pageWithTheme(QString());
        designer.readJsonValue(&page);
        page = pageWithTheme(m_dir.filePath("missing.data"));
        designer.readJsonValue(&page);
        page = pageWithTheme(QString());
        page["attr"]["theme"] = 42;
        designer.readJsonValue(&page);
        page.removeMember("attr");
        designer.readJsonValue(&page);
        page["attr"] = "not an object";
        designer.readJsonValue(&page);
        QCOMPARE(rm()->getThemePath(), loaded);

        // A theme's element for the designer restyles it but loads no theme: two themes naming each other
        // would load each other without end.
        const QString ping = m_dir.filePath("ping"), pong = m_dir.filePath("pong");
        const auto themeNaming = [](const QString& other) {
            return QStringLiteral(R"({"elements":[{"child":[{"name":"qtwindow","attr":{"theme":"%1"}}]}]})")
                .arg(other)
                .toUtf8();
        };
        for (const QString& dir : {ping, pong})
            QVERIFY(tevtest::writeFile(dir + "/style.json", R"({"style":[{"type":1,"name":"bg","clr":"ff102030"}]})"));
        QVERIFY(tevtest::writeFile(ping + "/theme.json", themeNaming(pong)));
        QVERIFY(tevtest::writeFile(pong + "/theme.json", themeNaming(ping)));
        TEVQWindowDesigner outer;
        new TEVQWindowDesigner(&outer);
        QVERIFY(rm()->loadThemeDir(ping));
        QCOMPARE(rm()->getThemePath(), ping);
    }

    void writesTheLoadedTheme()
    {
        TEVQWindowDesigner designer;
        QVERIFY(rm()->loadThemeDir(m_dir.filePath("plain")));
        Json::Value out(Json::objectValue);
        designer.serializeJsonValue(&out, false);
        QCOMPARE(QString::fromStdString(out["attr"]["theme"].asString()), m_dir.filePath("plain"));

        // Round trip: the written page loads the same theme back.
        QVERIFY(rm()->loadThemeFile(m_dir.filePath("page-theme.data")));
        Json::Value written(Json::objectValue);
        designer.serializeJsonValue(&written, false);
        QVERIFY(rm()->loadThemeDir(m_dir.filePath("plain")));
        designer.readJsonValue(&written);
        QCOMPARE(rm()->getThemePath(), m_dir.filePath("page-theme.data"));
    }

private:
    QTemporaryDir m_dir;
};

TEV_TEST_MAIN(DesignerTest)
#include "tst_designer.moc"
