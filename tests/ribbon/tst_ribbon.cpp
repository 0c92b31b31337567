// The ribbon's model and its documents: the configuration reader's refusals (exact texts, sources, nothing
// changed), round trips of the written document, the reader's leniency, the page and context-group rules with
// the current-page signal, listeners that rebuild or reload the ribbon while it is emitting, and the bar as a
// page element (style slots, "attr" keys, the theme switch, jsonData).
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQComboBox.h"
#include "TEVQControlRegistry.h"
#include "TEVQLineEdit.h"
#include "TEVQProgressBar.h"
#include "TEVQResourceManager.h"
#include "TEVQRibbonBar.h"
#include "TEVQSpinBox.h"
#include "TEVQSwitch.h"
#include "TEVQtLib.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <limits>

using namespace TEVQtLib;

namespace {

Json::Value parse(const QString& text)
{
    Json::Value v;
    if (!json::parse(text.toUtf8(), v))
        qFatal("bad JSON in test: %s", qPrintable(text));
    return v;
}

const char* const kSmall = R"({"schemaVersion": 1, "pages": [{"id": "home", "text": "Home"}, {"id": "view"}],
    "currentPage": "view"})";

// Every kind of content the document has.
const char* const kFull = R"({
  "schemaVersion": 1, "layoutMode": "Compact", "minimized": false, "currentPage": "insert",
  "application": {"text": "App", "icon": "", "menu": [
      {"id": "new", "text": "New"}, {"separator": true},
      {"id": "recent", "text": "Recent", "tooltip": "Recent files", "items": [{"id": "r1", "text": "One", "checkable": true, "checked": true}]}]},
  "quickAccess": [{"id": "save", "text": "Save", "enabled": false}, {"id": "undo", "checkable": true, "checked": true}],
  "topRight": [{"control": "lineEdit", "id": "search", "placeholder": "Find", "width": 120}],
  "pages": [
    {"id": "home", "text": "Home", "groups": [
      {"id": "clip", "text": "Clipboard", "expanding": true, "items": [
        {"id": "paste", "text": "Paste", "size": "large", "popup": "split",
         "menu": [{"id": "pasteSpecial", "text": "Special"}]},
        {"type": "separator"},
        {"id": "cut", "text": "Cut", "size": "small", "tooltip": "Cut it", "checkable": true, "checked": true},
        {"id": "copy", "size": "medium", "enabled": false},
        {"type": "gallery", "columns": 4, "rows": 1, "items": [{"id": "g1", "text": "A"}, {"id": "g2", "text": "B"}]},
        {"type": "widget", "control": "comboBox", "id": "font", "items": ["Sans", "Serif"], "currentIndex": 1},
        {"type": "widget", "control": "spinBox", "id": "spin", "min": -5, "max": 50, "value": 7, "size": "medium"},
        {"type": "widget", "control": "checkBox", "id": "chk", "text": "Bold", "checked": true},
        {"type": "widget", "control": "radioButton", "id": "rad", "text": "Left", "checked": true},
        {"type": "widget", "control": "switch", "id": "sw", "leftText": "off", "rightText": "on", "checked": true},
        {"type": "widget", "control": "progressBar", "id": "prog", "min": 0, "max": 10, "value": 3, "showText": false},
        {"type": "widget", "control": "label", "id": "lab", "text": "Zoom"}]}]},
    {"id": "insert", "text": "Insert", "groups": [{"id": "g", "text": "Tables", "items": [{"id": "table"}]}]}],
  "contextGroups": [
    {"id": "pic", "text": "Picture", "color": "#ff336699", "visible": true,
     "pages": [{"id": "format", "text": "Format"}]},
    {"id": "chart", "text": "Chart", "visible": false, "pages": [{"id": "design"}]}]
})";

// Files a colour fill and a text colour under their names in the resource manager, for "style" entries to name.
void fileStyles(const QString& fillName, const QColor& fill, const QString& textName, const QColor& text)
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    FillStyle f;
    f.name = fillName;
    f.fillRes.fillColor = fill;
    rm->setFillStyle(f.name, f);
    TextStyleDesc t;
    t.name = textName;
    t.color = text;
    rm->setTextStyle(t.name, t);
}

QStringList pageIds(const TEVQRibbonBar& bar)
{
    QStringList ids;
    for (int i = 0; i < bar.pageCount(); ++i)
        ids << bar.pageAt(i)->pageId();
    return ids;
}

} // namespace

class TestRibbon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tevInitQtControl(); }

    // ---- configuration refusals ----

    void refusedDocumentsKeepTheRibbon_data()
    {
        QTest::addColumn<QString>("kind");  // "inline" text, "file" contents, or "missing" path
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("message"); // %1: the path when the input is a file
        QTest::newRow("syntax inline") << "inline" << "{\"schemaVersion\": 1," << "Invalid Ribbon JSON: ";
        QTest::newRow("array root") << "inline" << "[1]" << "Ribbon config root must be an object.";
        QTest::newRow("string root") << "inline" << "\"x\"" << "Ribbon config root must be an object.";
        QTest::newRow("no version") << "inline" << "{}" << "Unsupported Ribbon schemaVersion; expected 1.";
        QTest::newRow("string version") << "inline" << R"({"schemaVersion": "1"})"
                                        << "Unsupported Ribbon schemaVersion; expected 1.";
        QTest::newRow("version 2") << "inline" << R"({"schemaVersion": 2})"
                                   << "Unsupported Ribbon schemaVersion; expected 1.";
        QTest::newRow("version 1.5") << "inline" << R"({"schemaVersion": 1.5})"
                                     << "Unsupported Ribbon schemaVersion; expected 1.";
        QTest::newRow("version true") << "inline" << R"({"schemaVersion": true})"
                                      << "Unsupported Ribbon schemaVersion; expected 1.";
        QTest::newRow("syntax file") << "file" << "{\"pages\": [" << "Invalid Ribbon JSON in %1: ";
        QTest::newRow("schema file") << "file" << R"({"schemaVersion": 0})"
                                     << "Unsupported Ribbon schemaVersion; expected 1.";
        QTest::newRow("missing relative") << "missing" << "no/such/ribbon.json"
                                          << "Ribbon config file was not found: no/such/ribbon.json";
        QTest::newRow("missing absolute") << "missing" << "/no/such/ribbon.json"
                                          << "Ribbon config file was not found: /no/such/ribbon.json";
    }

    void refusedDocumentsKeepTheRibbon()
    {
        QFETCH(QString, kind);
        QFETCH(QString, input);
        QFETCH(QString, message);
        TEVQRibbonBar bar;
        QVERIFY(bar.loadConfigJson(QString::fromLatin1(kSmall)));
        const QString before = bar.configJson();
        QSignalSpy failed(&bar, &TEVQRibbonBar::configLoadFailed);
        QSignalSpy current(&bar, &TEVQRibbonBar::currentPageChanged);
        QTemporaryDir dir;
        QString source = QStringLiteral("inline");
        bool ok = true;
        if (kind == QLatin1String("inline")) {
            ok = bar.loadConfigJson(input);
        } else if (kind == QLatin1String("file")) {
            source = dir.filePath(QStringLiteral("ribbon.json"));
            QVERIFY(tevtest::writeFile(source, input.toUtf8()));
            message = message.arg(source);
            ok = bar.loadConfigFile(source);
        } else {
            source = input;
            ok = bar.loadConfigFile(input);
        }
        QVERIFY(!ok);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed[0][0].toString(), source);
        QVERIFY2(failed[0][1].toString().startsWith(message), qPrintable(failed[0][1].toString()));
        if (message.endsWith(QLatin1String(": ")))
            QVERIFY(failed[0][1].toString().size() > message.size()); // the reader's own error list follows
        QCOMPARE(bar.lastError(), failed[0][1].toString());
        QCOMPARE(parse(bar.configJson()), parse(before));
        QCOMPARE(bar.configFile(), QString());
        QCOMPARE(current.count(), 0);
    }

    void integralRealVersionLoadsAndClearsTheError()
    {
        TEVQRibbonBar bar;
        QVERIFY(!bar.loadConfigJson(QStringLiteral("{}")));
        QVERIFY(!bar.lastError().isEmpty());
        QVERIFY(bar.loadConfigJson(QStringLiteral(R"({"schemaVersion": 1.0, "pages": [{"id": "a"}]})")));
        QVERIFY(bar.lastError().isEmpty());
        QCOMPARE(bar.pageCount(), 1);
    }

    void fileCandidatesPreferTheProgramDirectory()
    {
        const QString name = QStringLiteral("tst_ribbon_candidate.json");
        const QString besideExe = QDir(QCoreApplication::applicationDirPath()).filePath(name);
        QTemporaryDir cwd;
        const QString oldCwd = QDir::currentPath();
        QVERIFY(tevtest::writeFile(besideExe, R"({"schemaVersion": 1, "pages": [{"id": "exe"}]})"));
        QVERIFY(tevtest::writeFile(cwd.filePath(name), R"({"schemaVersion": 1, "pages": [{"id": "cwd"}]})"));
        QDir::setCurrent(cwd.path());
        TEVQRibbonBar bar;
        const bool ok = bar.loadConfigFile(name);
        QFile::remove(besideExe);
        QVERIFY(ok);
        QCOMPARE(pageIds(bar), QStringList{QStringLiteral("exe")});
        QCOMPARE(bar.configFile(), name);
        // Only the current directory has it now.
        QVERIFY(bar.loadConfigFile(name));
        QDir::setCurrent(oldCwd);
        QCOMPARE(pageIds(bar), QStringList{QStringLiteral("cwd")});
        // A file that stops at a NUL byte is read up to it.
        QVERIFY(tevtest::writeFile(cwd.filePath(QStringLiteral("nul.json")),
                                   QByteArray("{\"schemaVersion\": 1}\0garbage", 28)));
        QVERIFY(bar.loadConfigFile(cwd.filePath(QStringLiteral("nul.json"))));
    }

    // ---- round trip ----

    void writtenDocumentReadsBackToTheSameRibbon()
    {
        TEVQRibbonBar bar; // never shown: the application menu is still written
        QSignalSpy mode(&bar, &TEVQRibbonBar::layoutModeChanged);
        QVERIFY(bar.loadConfigJson(QString::fromLatin1(kFull)));
        QCOMPARE(mode.count(), 0);
        QCOMPARE(bar.layoutMode(), TEV_RIBBON_LAYOUT_COMPACT);
        QCOMPARE(bar.groupRows(), 2);
        QCOMPARE(pageIds(bar), (QStringList{"home", "insert", "format", "design"}));
        QCOMPARE(bar.tabButtons()[2]->objectName(), QStringLiteral("ribbonTab_format"));
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("insert"));
        QCOMPARE(int(bar.tabPages().size()), 3);

        const Json::Value first = parse(bar.configJson());
        TEVQRibbonBar again;
        QVERIFY(again.loadConfigJson(bar.configJson()));
        const Json::Value second = parse(again.configJson());
        QCOMPARE(second, first);

        // What the source said, seen in the written document.
        QCOMPARE(first["application"]["text"].asString(), std::string("App"));
        QCOMPARE(first["application"]["menu"].size(), 3u);
        QCOMPARE(first["application"]["menu"][2]["items"][0]["id"].asString(), std::string("r1"));
        QCOMPARE(first["application"]["menu"][2]["id"].asString(), std::string("recent"));
        QCOMPARE(first["application"]["menu"][2]["tooltip"].asString(), std::string("Recent files"));
        QCOMPARE(first["quickAccess"][1]["checked"].asBool(), true);
        QCOMPARE(first["contextGroups"][0]["color"].asString(), std::string("#ff336699"));
        QCOMPARE(first["contextGroups"][1]["visible"].asBool(), false);
        const Json::Value& items = first["pages"][0]["groups"][0]["items"];
        QCOMPARE(items.size(), 12u);
        QCOMPARE(items[0]["popup"].asString(), std::string("split"));
        QCOMPARE(items[0]["menu"][0]["id"].asString(), std::string("pasteSpecial"));
        QCOMPARE(items[1]["type"].asString(), std::string("separator"));
        QCOMPARE(items[2]["tooltip"].asString(), std::string("Cut it"));
        QCOMPARE(items[2]["checked"].asBool(), true);
        QCOMPARE(items[3]["text"].asString(), std::string("copy"));
        QCOMPARE(items[4]["items"].size(), 2u);
        QCOMPARE(items[5]["currentIndex"].asInt(), 1);
        QCOMPARE(items[6]["value"].asInt(), 7);
        QCOMPARE(items[6]["size"].asString(), std::string("medium"));
        QCOMPARE(items[9]["checked"].asBool(), true);
        QCOMPARE(items[10]["showText"].asBool(), false);
        QCOMPARE(first["topRight"][0]["placeholder"].asString(), std::string("Find"));
        QCOMPARE(first["topRight"][0]["width"].asInt(), 120);
        QCOMPARE(first["quickAccess"][0]["enabled"].asBool(), false);

        // The controls themselves.
        auto* spin = again.findChild<TEVQSpinBox*>(QStringLiteral("spin"));
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), -5);
        QVERIFY(!again.findChild<TEVQSwitch*>(QStringLiteral("sw"))->getIsSwitchToLeft());
        QCOMPARE(again.findChild<TEVQComboBox*>(QStringLiteral("font"))->currentText(), QStringLiteral("Serif"));
        QVERIFY(again.findAction(QStringLiteral("pasteSpecial")));
        QVERIFY(again.findAction(QStringLiteral("r1")));
        QVERIFY(!again.applicationButton()->isHidden());
    }

    // A context colour the reader could not read (or none given in code) stays without colour when written and
    // read again: no strip of black appears on its tabs.
    void unreadableContextColourStaysWithoutColour()
    {
        TEVQRibbonBar bar;
        QVERIFY(bar.loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "contextGroups": [
            {"id": "c", "color": "bluish", "visible": true, "pages": [{"id": "x"}]}]})")));
        bar.addContextGroup(QStringLiteral("code"), QStringLiteral("Code"), QColor());
        QVERIFY(!bar.contextGroupById(QStringLiteral("c"))->color().isValid());
        TEVQRibbonBar again;
        QVERIFY(again.loadConfigJson(bar.configJson()));
        QVERIFY(!again.contextGroupById(QStringLiteral("c"))->color().isValid());
        QVERIFY(!again.contextGroupById(QStringLiteral("code"))->color().isValid());
        QVERIFY(!again.tabButtons()[0]->property("tevRibbonContextColor").value<QColor>().isValid());
        QCOMPARE(parse(again.configJson()), parse(bar.configJson()));
    }

    // A label's whole text is written, however narrow its slot shows it.
    void labelTextIsWrittenWhole()
    {
        const QString text = QStringLiteral("A label text much longer than a hundred pixels of the default font");
        TEVQRibbonBar bar;
        bar.resize(700, 130);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QVERIFY(bar.loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "pages": [{"id": "p", "groups": [{"id": "g",
            "items": [{"type": "widget", "control": "label", "id": "lab", "text": "%1", "width": 20}]}]}],
            "topRight": [{"control": "label", "id": "top", "text": "%1"}]})").arg(text)));
        const Json::Value doc = parse(bar.configJson());
        QCOMPARE(json::toQString(doc["pages"][0]["groups"][0]["items"][0]["text"].asString()), text);
        QCOMPARE(json::toQString(doc["topRight"][0]["text"].asString()), text);
    }

    // ---- reader leniency ----

    void readerTakesDefaultsAndSkipsWhatItCannotUse()
    {
        TEVQRibbonBar bar;
        QVERIFY(bar.loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "application": {},
            "quickAccess": [3, {"id": 5}], "topRight": "x",
            "pages": [7, {"id": "p", "groups": [{"id": "g", "items": [
                {"type": "Button", "id": "b1", "menu": []},
                {"type": "Separator", "id": "b2"},
                {"type": "widget", "control": "ComboBox"},
                {"type": "widget", "control": "spinBox", "min": "1", "max": 1e20, "value": true},
                {"id": "b3", "menu": "nope", "popup": "SPLIT", "size": "SMALL"},
                {"type": "gallery", "columns": -3, "rows": 0, "items": [1, {"id": "x"}]},
                "stray"]}]}],
            "contextGroups": [{"text": "A", "color": "#010203", "pages": [{"id": "c1"}]},
                              {"text": "B", "color": "red", "visible": true, "pages": [{"id": "c2"}]}],
            "currentPage": 12})")));
        // The empty application object shows the button with "File" and an empty menu.
        QCOMPARE(bar.applicationButton()->text(), QStringLiteral("File"));
        QVERIFY(!bar.applicationButton()->isHidden());
        QVERIFY(bar.applicationButton()->popupMenu()->actions().isEmpty());
        QCOMPARE(int(bar.quickButtons().size()), 1);
        QCOMPARE(bar.quickButtons()[0]->ribbonAction()->text(), QStringLiteral("Command"));

        TEVQRibbonGroup* g = bar.pageById(QStringLiteral("p"))->groupAt(0);
        QCOMPARE(g->itemCount(), 5);
        QCOMPARE(g->itemAt(0)->type, QStringLiteral("button"));
        auto* b1 = qobject_cast<TEVQRibbonButton*>(g->itemAt(0)->widget);
        QCOMPARE(b1->popupMode(), TEV_RIBBON_POPUP_INSTANT);
        QCOMPARE(g->itemAt(1)->type, QStringLiteral("button"));
        auto* spin = qobject_cast<TEVQSpinBox*>(g->itemAt(2)->widget);
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), 0);
        QCOMPARE(spin->maximum(), 100);
        auto* b3 = qobject_cast<TEVQRibbonButton*>(g->itemAt(3)->widget);
        QCOMPARE(b3->popupMode(), TEV_RIBBON_POPUP_SPLIT);
        QCOMPARE(b3->itemSize(), TEV_RIBBON_ITEM_SMALL);
        QVERIFY(b3->popupMenu()); // a menu that is not an array is an empty menu
        auto* gallery = qobject_cast<TEVQRibbonGallery*>(g->itemAt(4)->widget);
        QCOMPARE(gallery->columnCount(), 1);
        QCOMPARE(gallery->visibleRowCount(), 1);
        QCOMPARE(gallery->count(), 1);

        // Two groups without an id are one: the second's pages join it, its "visible" wins.
        QCOMPARE(bar.contextGroupCount(), 1);
        TEVQRibbonContextGroup* c = bar.contextGroupById(QString());
        QCOMPARE(c->title(), QStringLiteral("A"));
        QCOMPARE(c->color(), QColor(1, 2, 3));
        QCOMPARE(c->pageCount(), 2);
        QVERIFY(c->isVisible());
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("p"));
    }

    void currentPageOfAHiddenGroupLeavesTheFirstTab()
    {
        TEVQRibbonBar bar;
        QSignalSpy current(&bar, &TEVQRibbonBar::currentPageChanged);
        QVERIFY(bar.loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "pages": [{"id": "a"}, {"id": "b"}],
            "currentPage": "hid", "contextGroups": [{"id": "c", "pages": [{"id": "hid"}]}]})")));
        QCOMPARE(bar.currentPage(), 0);
        QCOMPARE(current.count(), 1);
        QCOMPARE(current[0][0].toInt(), 0);
    }

    // ---- model ----

    void pagesAndContextGroups()
    {
        TEVQRibbonBar bar;
        QSignalSpy current(&bar, &TEVQRibbonBar::currentPageChanged);
        TEVQRibbonPage* a = bar.addPage(QStringLiteral("a"), QString());
        QCOMPARE(a->title(), QStringLiteral("a"));
        QCOMPARE(bar.tabButtons()[0]->text(), QStringLiteral("a"));
        QCOMPARE(current.count(), 1); // the first page became current
        TEVQRibbonPage* b = bar.insertPage(99, QStringLiteral("b"), QStringLiteral("Bee"));
        QCOMPARE(bar.pageAt(1), b);
        QCOMPARE(bar.currentPageWidget(), a);
        current.clear();

        TEVQRibbonContextGroup* ctx = bar.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), Qt::red);
        QCOMPARE(bar.addContextGroup(QStringLiteral("c"), QStringLiteral("Other"), Qt::blue), ctx);
        QCOMPARE(ctx->title(), QStringLiteral("C"));
        QCOMPARE(ctx->color(), QColor(Qt::red));
        TEVQRibbonPage* cp = ctx->addPage(QStringLiteral("cp"), QStringLiteral("Ctx"));
        QCOMPARE(int(bar.tabButtons().size()), 2);
        QVERIFY(!bar.setCurrentPage(QStringLiteral("cp")));
        QCOMPARE(current.count(), 0);

        bar.showContextGroup(QStringLiteral("c"));
        QCOMPARE(int(bar.tabButtons().size()), 3);
        QVERIFY(bar.setCurrentPage(QStringLiteral("cp")));
        QCOMPARE(current.count(), 1);
        QVERIFY(bar.setCurrentPage(2)); // already current: still announced
        QCOMPARE(current.count(), 2);

        // Hiding the group of the current page moves to the first tab, and listeners hear of it.
        bar.hideContextGroup(QStringLiteral("c"));
        QCOMPARE(bar.currentPageWidget(), a);
        QCOMPARE(current.count(), 3);
        QCOMPARE(current.last()[0].toInt(), 0);
        QCOMPARE(int(bar.tabButtons().size()), 2);
        Q_UNUSED(cp);

        // Removing the current page makes the first page current, announced once.
        QVERIFY(bar.removePage(a));
        QVERIFY(!bar.removePage(a));
        QCOMPARE(bar.currentPageWidget(), b);
        QCOMPARE(current.count(), 4);
        QCOMPARE(current.last()[0].toInt(), 0);
        bar.clearPages();
        QCOMPARE(bar.currentPage(), -1);
        QCOMPARE(current.last()[0].toInt(), -1);
        QCOMPARE(ctx->pageCount(), 0);

        // A load lets the bar's groups go once control returns; until then a group still held by its caller
        // belongs to no bar and makes no pages.
        QVERIFY(bar.loadConfigJson(QString::fromLatin1(kSmall)));
        QVERIFY(!ctx->addPage(QStringLiteral("late"), QString()));
        ctx->setColor(Qt::blue);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        bar.addPage(QStringLiteral("after"), QString());
        QCOMPARE(bar.pageCount(), 3);
    }

    // When the current page moves because a page went away or a context group was hidden, listeners hear of it
    // once, with the tabs already as they stand: one tab per tab page, no tab of a hidden group, the current page
    // among them.
    void currentPageListenersSeeTheTabsAsTheyStand()
    {
        TEVQRibbonBar bar;
        TEVQRibbonContextGroup* ctx = bar.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), Qt::red);
        ctx->addPage(QStringLiteral("c1"), QString());
        bar.addPage(QStringLiteral("a"), QString());
        bar.addPage(QStringLiteral("b"), QString());
        bar.addPage(QStringLiteral("d"), QString());
        bar.showContextGroup(QStringLiteral("c"));
        QVERIFY(bar.setCurrentPage(QStringLiteral("c1")));
        QStringList problems;
        QList<int> heard;
        connect(&bar, &TEVQRibbonBar::currentPageChanged, &bar, [&](int index) {
            heard << index;
            if (bar.tabButtons().size() != bar.tabPages().size())
                problems << QStringLiteral("%1 tabs for %2 tab pages").arg(bar.tabButtons().size()).arg(bar.tabPages().size());
            for (TEVQRibbonPage* p : bar.tabPages())
                if (p->contextGroup() && !p->contextGroup()->isVisible())
                    problems << QStringLiteral("tab of hidden %1").arg(p->pageId());
            TEVQRibbonPage* current = bar.currentPageWidget();
            if (current && std::find(bar.tabPages().begin(), bar.tabPages().end(), current) == bar.tabPages().end())
                problems << QStringLiteral("current %1 has no tab").arg(current->pageId());
        });
        bar.hideContextGroup(QStringLiteral("c"));
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("a"));
        QVERIFY(bar.setCurrentPage(QStringLiteral("b")));
        heard.clear();
        // The first page is a page of the hidden group: the current page goes to the first tab, announced once.
        QVERIFY(bar.removePage(bar.pageById(QStringLiteral("b"))));
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("a"));
        QCOMPARE(heard, QList<int>{1});
        bar.clearPages();
        QCOMPARE(heard, (QList<int>{1, -1}));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    void onlyContextPagesBecomeCurrentWhenShown()
    {
        TEVQRibbonBar bar;
        QSignalSpy current(&bar, &TEVQRibbonBar::currentPageChanged);
        TEVQRibbonContextGroup* ctx = bar.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), Qt::red);
        ctx->addPage(QStringLiteral("c1"), QString());
        QCOMPARE(bar.currentPage(), -1);
        bar.showContextGroup(QStringLiteral("c"));
        QCOMPARE(bar.currentPage(), 0);
        QCOMPARE(current.count(), 1);
        bar.hideContextGroup(QStringLiteral("c"));
        QCOMPARE(bar.currentPage(), -1);
        QCOMPARE(current.count(), 2);
        QVERIFY(!ctx->pageAt(0)->isVisible());
    }

    void actionRegistry()
    {
        TEVQRibbonBar bar;
        TEVQRibbonGroup* g = bar.addPage(QStringLiteral("p"), QString())->addGroup(QStringLiteral("g"), QString());
        auto* action = new QAction(QStringLiteral("Go"));
        action->setObjectName(QStringLiteral("go"));
        QVERIFY(g->addLargeAction(action));
        QVERIFY(!g->addLargeAction(nullptr));
        QCOMPARE(bar.findAction(QStringLiteral("go")), action);
        QSignalSpy commands(&bar, &TEVQRibbonBar::commandTriggered);
        QSignalSpy groupTriggers(g, &TEVQRibbonGroup::actionTriggered);
        action->trigger();
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands[0][0].toString(), QStringLiteral("go"));
        QCOMPARE(groupTriggers.count(), 1);
        delete action;
        QVERIFY(!bar.findAction(QStringLiteral("go")));

        TEVQRibbonButton* menuButton = g->addMenu(nullptr, TEV_RIBBON_ITEM_SMALL, TEV_RIBBON_POPUP_NONE);
        QCOMPARE(menuButton->text(), QStringLiteral("Menu"));
        // Changing an action updates its button.
        menuButton->ribbonAction()->setText(QStringLiteral("Renamed"));
        menuButton->ribbonAction()->setEnabled(false);
        QCOMPARE(menuButton->text(), QStringLiteral("Renamed"));
        QVERIFY(!menuButton->isEnabled());

        TEVQRibbonGallery* gallery = g->addGallery(2, 1);
        gallery->addItem(QStringLiteral("g1"), QStringLiteral("One"));
        QCOMPARE(gallery->itemButtons()[0]->getBackground(CtrlStateHot),
                 bar.ribbonImpl()->buttonBackgrounds[CtrlStateHot]);
        gallery->actions()[0]->trigger();
        QCOMPARE(commands.last()[0].toString(), QStringLiteral("g1"));
        QCOMPARE(commands.last()[1].toBool(), false);
    }

    // ---- objects their owner deletes while the ribbon still holds them ----

    // A command, an embedded control, a gallery command or a top-right widget deleted elsewhere leaves the
    // ribbon: no item, gallery entry or row piece points at it, and the written document no longer has it.
    void objectsDeletedElsewhereLeaveTheRibbon()
    {
        TEVQRibbonBar bar;
        bar.resize(700, 130);
        TEVQRibbonGroup* g = bar.addPage(QStringLiteral("p"), QString())->addGroup(QStringLiteral("g"), QString());
        auto* gone = new QAction(QStringLiteral("Gone"));
        gone->setObjectName(QStringLiteral("gone"));
        auto* kept = new QAction(QStringLiteral("Kept"));
        kept->setObjectName(QStringLiteral("kept"));
        QVERIFY(g->addLargeAction(gone));
        QVERIFY(g->addSmallAction(kept));
        auto* edit = new TEVQLineEdit;
        g->addWidget(edit, TEV_RIBBON_ITEM_SMALL);
        TEVQRibbonGallery* gallery = g->addGallery(2, 1);
        auto* galleryCommand = new QAction(QStringLiteral("G"));
        galleryCommand->setObjectName(QStringLiteral("ga"));
        gallery->addAction(galleryCommand);
        gallery->addItem(QStringLiteral("own"), QStringLiteral("Own"));
        g->addMenu(nullptr, TEV_RIBBON_ITEM_SMALL, TEV_RIBBON_POPUP_NONE); // its command is the group's own
        auto* search = new TEVQLineEdit;
        search->setObjectName(QStringLiteral("search"));
        auto* zoom = new TEVQLineEdit;
        zoom->setObjectName(QStringLiteral("zoom"));
        bar.addTopRightWidget(search);
        bar.addTopRightWidget(zoom);
        // Deleting its button is the one way to take a quick-access command away.
        TEVQRibbonButton* quickGone = bar.addQuickAction(new QAction(QStringLiteral("Q1"), &bar));
        TEVQRibbonButton* quickKept = bar.addQuickAction(new QAction(QStringLiteral("Q2"), &bar));
        quickKept->ribbonAction()->setObjectName(QStringLiteral("q2"));

        delete gone;
        delete edit;
        delete galleryCommand;
        delete search;
        delete quickGone;
        QCOMPARE(int(bar.quickButtons().size()), 1);
        QCOMPARE(g->itemCount(), 3); // "Kept", the gallery, the menu button
        QCOMPARE(g->itemAt(0)->action, kept);
        QCOMPARE(gallery->count(), 1);
        QCOMPARE(int(gallery->itemButtons().size()), 1);
        QCOMPARE(gallery->actions()[0]->objectName(), QStringLiteral("own"));
        QCOMPARE(int(bar.topRightWidgets().size()), 1);
        bar.resize(800, 130);
        bar.updateLayout();
        QCOMPARE(zoom->geometry().right(), 800 - 4 - 1);
        QCOMPARE(quickKept->x(), 4);
        const Json::Value doc = parse(bar.configJson());
        const Json::Value& items = doc["pages"][0]["groups"][0]["items"];
        QCOMPARE(items.size(), 3u);
        QCOMPARE(items[0]["id"].asString(), std::string("kept"));
        QCOMPARE(items[1]["items"].size(), 1u);
        QCOMPARE(doc["topRight"].size(), 1u);
        QCOMPARE(doc["topRight"][0]["id"].asString(), std::string("zoom"));
        QCOMPARE(doc["quickAccess"].size(), 1u);
        QCOMPARE(doc["quickAccess"][0]["id"].asString(), std::string("q2"));

        // Groups and bars that go away with such objects still inside them.
        TEVQRibbonGroup* second = bar.pageAt(0)->addGroup(QStringLiteral("h"), QString());
        second->addMenu(nullptr, TEV_RIBBON_ITEM_LARGE, TEV_RIBBON_POPUP_NONE);
        second->addWidget(new TEVQLineEdit, TEV_RIBBON_ITEM_SMALL);
        second->addGallery(1, 1)->addItem(QStringLiteral("x"), QStringLiteral("X"));
        g->clearItems();
        QVERIFY(bar.pageAt(0)->removeGroup(second));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(g->itemCount(), 0);
        delete kept;
        QCOMPARE(g->itemCount(), 0);

        // One group's own command shown in a second group of the same page: the page goes with both.
        TEVQRibbonPage* shared = bar.addPage(QStringLiteral("shared"), QString());
        TEVQRibbonButton* owned = shared->addGroup(QStringLiteral("owner"), QString())
                                      ->addMenu(nullptr, TEV_RIBBON_ITEM_LARGE, TEV_RIBBON_POPUP_NONE);
        TEVQRibbonGroup* user = shared->addGroup(QStringLiteral("user"), QString());
        user->addLargeAction(owned->ribbonAction());
        QVERIFY(bar.removePage(shared));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(bar.pageCount(), 1);
    }

    // A page or group deleted directly, as any Qt child may be, leaves the ribbon as its remove operation would.
    void pagesAndGroupsDeletedDirectlyLeaveTheRibbon()
    {
        TEVQRibbonBar bar;
        bar.resize(700, 130);
        TEVQRibbonPage* a = bar.addPage(QStringLiteral("a"), QString());
        bar.addPage(QStringLiteral("b"), QString());
        TEVQRibbonContextGroup* ctx = bar.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), Qt::red);
        TEVQRibbonPage* c = ctx->addPage(QStringLiteral("cp"), QString());
        bar.showContextGroup(QStringLiteral("c"));
        TEVQRibbonGroup* first = a->addGroup(QStringLiteral("g1"), QString());
        TEVQRibbonGroup* second = a->addGroup(QStringLiteral("g2"), QString());
        second->addLargeAction(new QAction(QStringLiteral("Go"), &bar));
        delete first;
        QCOMPARE(a->groupCount(), 1);
        QCOMPARE(a->groupAt(0), second);
        QCOMPARE(a->contentWidth(), 4 + second->sizeHint().width() + 4 + 4);

        QSignalSpy current(&bar, &TEVQRibbonBar::currentPageChanged);
        delete a; // the current page
        QCOMPARE(pageIds(bar), (QStringList{"b", "cp"}));
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("b"));
        QCOMPARE(current.count(), 1);
        QCOMPARE(current[0][0].toInt(), 0);
        QCOMPARE(int(bar.tabButtons().size()), 2);
        delete c;
        QCOMPARE(ctx->pageCount(), 0);
        QCOMPARE(int(bar.tabPages().size()), 1);
        const Json::Value doc = parse(bar.configJson());
        QCOMPARE(doc["pages"].size(), 1u);
        QCOMPARE(doc["contextGroups"][0]["pages"].size(), 0u);

        // A context group deleted directly: its pages stay with the bar (it never owned them) as plain pages.
        TEVQRibbonContextGroup* other = bar.addContextGroup(QStringLiteral("o"), QStringLiteral("O"), Qt::blue);
        TEVQRibbonPage* op = other->addPage(QStringLiteral("op"), QString());
        delete other;
        QCOMPARE(bar.contextGroupCount(), 1);
        QVERIFY(!bar.contextGroupById(QStringLiteral("o")));
        QCOMPARE(op->contextGroup(), nullptr);
        QCOMPARE(int(bar.tabPages().size()), 2);
        QVERIFY(!bar.tabButtons()[1]->property("tevRibbonContextColor").value<QColor>().isValid());
        QCOMPARE(parse(bar.configJson())["pages"].size(), 2u);
    }

    // ---- listeners that rebuild the ribbon while it emits ----

    // After a reload the controls and commands found by name are the new document's, never those on their way
    // out.
    void reloadedContentIsFoundByName()
    {
        TEVQRibbonBar bar;
        QVERIFY(bar.loadConfigJson(QString::fromLatin1(kFull)));
        QVERIFY(bar.loadConfigJson(QString::fromLatin1(kFull)));
        const QPointer<TEVQSpinBox> spin = bar.findChild<TEVQSpinBox*>(QStringLiteral("spin"));
        const QPointer<TEVQLineEdit> search = bar.findChild<TEVQLineEdit*>(QStringLiteral("search"));
        const QPointer<QAction> cut = bar.findChild<QAction*>(QStringLiteral("cut"));
        const QPointer<QWidget> tab = bar.findChild<QWidget*>(QStringLiteral("ribbonTab_home"));
        QVERIFY(spin && search && cut && tab);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(spin && search && cut && tab);
        QCOMPARE(bar.findChildren<TEVQRibbonPage*>().size(), bar.pageCount());
        // So do items and groups taken out of a page.
        TEVQRibbonPage* home = bar.pageById(QStringLiteral("home"));
        home->groupAt(0)->clearItems();
        QVERIFY(!bar.findChild<TEVQSpinBox*>(QStringLiteral("spin")));
        QVERIFY(home->removeGroup(home->groupAt(0)));
        bar.pageById(QStringLiteral("insert"))->clearGroups();
        QCOMPARE(bar.findChildren<TEVQRibbonGroup*>().size(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!spin);
    }

    void commandListenerMayReloadTheRibbon()
    {
        TEVQRibbonBar bar;
        bar.resize(600, 130);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QVERIFY(bar.loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "quickAccess": [{"id": "q"}],
            "pages": [{"id": "p", "groups": [{"id": "g", "items": [{"id": "reload", "text": "Reload"}]}]}]})")));
        int reloads = 0;
        connect(&bar, &TEVQRibbonBar::commandTriggered, &bar, [&](const QString& id) {
            if (id == QLatin1String("reload")) {
                ++reloads;
                QVERIFY(bar.loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "pages": [{"id": "next"}]})")));
            }
        });
        auto* button = qobject_cast<TEVQRibbonButton*>(bar.pageAt(0)->groupAt(0)->itemAt(0)->widget);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QCOMPARE(reloads, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(pageIds(bar), QStringList{QStringLiteral("next")});
        QVERIFY(!bar.findAction(QStringLiteral("reload")));
    }

    // A listener of the page, mode or minimized signal may delete the bar, also from a tab's click.
    void stateListenerMayDeleteTheBar()
    {
        for (int step = 0; step < 4; ++step) {
            auto* bar = new TEVQRibbonBar;
            bar->addPage(QStringLiteral("a"), QString());
            const QPointer<TEVQRibbonBar> alive(bar);
            const auto close = [bar] { delete bar; };
            connect(bar, &TEVQRibbonBar::currentPageChanged, bar, close);
            connect(bar, &TEVQRibbonBar::layoutModeChanged, bar, close);
            connect(bar, &TEVQRibbonBar::minimizedChanged, bar, close);
            if (step == 0)
                bar->setCurrentPage(0);
            else if (step == 1)
                bar->setLayoutMode(TEV_RIBBON_LAYOUT_COMPACT);
            else if (step == 2)
                bar->setMinimized(true);
            else
                bar->tabButtons()[0]->click(); // the current tab: the bar minimizes
            QVERIFY2(!alive, qPrintable(QString::number(step)));
        }
    }

    // A listener of a signal the bar emits while it loads a document deletes the bar outright: the load stops
    // there, reports failure and touches nothing of the bar after. Each case is a signal and a way in.
    void listenerMayDeleteTheBarDuringALoad_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("document");
        const QString pages = QStringLiteral(R"({"schemaVersion": 1, "pages": [{"id": "a"}, {"id": "b"}],
            "currentPage": "b", "minimized": true})");
        const QString noPages = QStringLiteral(R"({"schemaVersion": 1, "minimized": true})");
        const QString refused = QStringLiteral(R"({"schemaVersion": 2})");
        for (const char* entry : {"json", "file", "element"}) {
            QTest::addRow("current/%s", entry) << "current" << entry << pages;
            QTest::addRow("minimized/%s", entry) << "minimized" << entry << noPages;
            QTest::addRow("failed/%s", entry) << "failed" << entry << refused;
        }
        QTest::addRow("current-left-empty/json") << "current" << "json" << QStringLiteral(R"({"schemaVersion": 1})");
        QTest::addRow("mode/element") << "mode" << "element" << QStringLiteral(R"({"schemaVersion": 1})");
    }

    void listenerMayDeleteTheBarDuringALoad()
    {
        QFETCH(QString, signal);
        QFETCH(QString, entry);
        QFETCH(QString, document);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("load.json"));
        QVERIFY(tevtest::writeFile(file, document.toUtf8()));

        QWidget window;
        auto* bar = new TEVQRibbonBar(&window);
        // Content for the load to replace, with a current page that the empty document takes away.
        QVERIFY(bar->loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "pages": [{"id": "old"}]})")));
        window.resize(640, 160);
        window.show();
        const QPointer<TEVQRibbonBar> alive(bar);
        int heard = 0;
        const auto close = [&heard, bar] {
            ++heard;
            delete bar;
        };
        if (signal == QLatin1String("current"))
            connect(bar, &TEVQRibbonBar::currentPageChanged, &window, close);
        else if (signal == QLatin1String("minimized"))
            connect(bar, &TEVQRibbonBar::minimizedChanged, &window, close);
        else if (signal == QLatin1String("mode"))
            connect(bar, &TEVQRibbonBar::layoutModeChanged, &window, close);
        else
            connect(bar, &TEVQRibbonBar::configLoadFailed, &window, close);

        bool loaded = true;
        if (entry == QLatin1String("json")) {
            loaded = bar->loadConfigJson(document);
        } else if (entry == QLatin1String("file")) {
            loaded = bar->loadConfigFile(file);
        } else {
            Json::Value e = parse(QStringLiteral(R"({"attr": {"layoutMode": "compact", "ribbon": %1}})").arg(document));
            bar->readJsonValue(&e);
            loaded = false;
        }
        QCOMPARE(heard, 1);
        QVERIFY(!alive);
        QVERIFY(!loaded);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.findChildren<QWidget*>().isEmpty());
    }

    // The first page added and a context group shown to a bar without a current page make a page current: a
    // listener that deletes the bar hears of it once the bar is done with it.
    void pageListenerMayDeleteTheBarWhenAPageBecomesCurrent()
    {
        for (int step = 0; step < 2; ++step) {
            auto* bar = new TEVQRibbonBar;
            bar->show();
            const QPointer<TEVQRibbonBar> alive(bar);
            TEVQRibbonContextGroup* ctx = bar->addContextGroup(QStringLiteral("c"), QString(), Qt::red);
            if (step == 1)
                QVERIFY(ctx->addPage(QStringLiteral("c1"), QString()));
            connect(bar, &TEVQRibbonBar::currentPageChanged, bar, [bar] { delete bar; });
            if (step == 0)
                QVERIFY(!bar->addPage(QStringLiteral("a"), QString()));
            else
                bar->showContextGroup(QStringLiteral("c"));
            QVERIFY2(!alive, qPrintable(QString::number(step)));
        }
    }

    // A command listener deletes the bar outright: from a clicked item, quick-access or gallery button, and from
    // a menu entry of a split button.
    void commandListenerMayDeleteTheBar()
    {
        for (int step = 0; step < 4; ++step) {
            QWidget window;
            auto* bar = new TEVQRibbonBar(&window);
            QVERIFY(bar->loadConfigJson(QStringLiteral(R"({"schemaVersion": 1, "quickAccess": [{"id": "q"}],
                "pages": [{"id": "p", "groups": [{"id": "g", "items": [
                    {"id": "b", "text": "B", "checkable": true},
                    {"type": "gallery", "items": [{"id": "g1", "text": "G"}]},
                    {"id": "s", "text": "S", "popup": "split", "menu": [{"id": "m1", "text": "M"}]}]}]}]})")));
            window.resize(700, 160);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const QPointer<TEVQRibbonBar> alive(bar);
            QStringList heard;
            connect(bar, &TEVQRibbonBar::commandTriggered, &window, [&heard, bar](const QString& id) {
                heard << id;
                delete bar;
            });
            TEVQRibbonGroup* group = bar->pageAt(0)->groupAt(0);
            QPushButton* button = nullptr;
            if (step == 0)
                button = qobject_cast<QPushButton*>(group->itemAt(0)->widget);
            else if (step == 1)
                button = bar->quickButtons().front();
            else if (step == 2)
                button = qobject_cast<TEVQRibbonGallery*>(group->itemAt(1)->widget)->itemButtons().front();
            if (button) {
                QVERIFY(button->isVisible());
                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, 4));
            } else {
                auto* split = qobject_cast<TEVQRibbonButton*>(group->itemAt(2)->widget);
                QVERIFY(split && split->popupMenu());
                split->popupMenu()->actions().front()->trigger();
            }
            QVERIFY2(!alive, qPrintable(QString::number(step)));
            const QStringList ids{QStringLiteral("b"), QStringLiteral("q"), QStringLiteral("g1"), QStringLiteral("m1")};
            QCOMPARE(heard, QStringList{ids.at(step)});
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void pageListenerMayRebuildTheTabs()
    {
        TEVQRibbonBar bar;
        bar.resize(600, 130);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.addPage(QStringLiteral("a"), QString());
        bar.addPage(QStringLiteral("b"), QString());
        TEVQRibbonContextGroup* ctx = bar.addContextGroup(QStringLiteral("c"), QStringLiteral("C"), Qt::green);
        ctx->addPage(QStringLiteral("c1"), QString());
        QList<int> heard;
        connect(&bar, &TEVQRibbonBar::currentPageChanged, &bar, [&](int index) {
            heard << index;
            if (index == 1)
                bar.showContextGroup(QStringLiteral("c")); // rebuilds the tabs, the clicked one included
            else
                ctx->setColor(Qt::blue);
        });
        QTest::mouseClick(bar.tabButtons()[1], Qt::LeftButton);
        QCOMPARE(heard, QList<int>{1});
        QCOMPARE(int(bar.tabButtons().size()), 3);
        QTest::mouseClick(bar.tabButtons()[2], Qt::LeftButton);
        QCOMPARE(heard, (QList<int>{1, 2}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(bar.currentPageWidget()->pageId(), QStringLiteral("c1"));
        // Clicking the current tab minimizes; a tab of a minimized bar opens the pop-up.
        QSignalSpy minimized(&bar, &TEVQRibbonBar::minimizedChanged);
        QTest::mouseClick(bar.tabButtons()[2], Qt::LeftButton);
        QVERIFY(bar.isMinimized());
        QCOMPARE(minimized.count(), 1);
        QTest::mouseClick(bar.tabButtons()[0], Qt::LeftButton);
        QVERIFY(bar.minimizedPopupWidget()->isVisible());
        QCOMPARE(bar.currentPage(), 0);
        bar.setMinimized(false);
        QVERIFY(!bar.minimizedPopupWidget()->isVisible());
        QCOMPARE(bar.pageAreaWidget()->parentWidget(), &bar);
    }

    // Every file of the ribbon's bad-input corpus, as a document and as a page element: taken documents write
    // a document that loads to the same ribbon; refused ones change nothing; nothing crashes.
    void corpusDocuments()
    {
        const QDir dir(tevtest::dataPath(QStringLiteral("corpus/ribbon")));
        const QStringList files = dir.entryList(QDir::Files);
        QVERIFY(files.size() >= 5);
        int taken = 0;
        for (const QString& name : files) {
            const QString text = QString::fromUtf8(tevtest::readFile(dir.filePath(name)));
            TEVQRibbonBar bar;
            const QString before = bar.configJson();
            if (bar.loadConfigJson(text)) {
                ++taken;
                TEVQRibbonBar again;
                QVERIFY2(again.loadConfigJson(bar.configJson()), qPrintable(name));
                QVERIFY2(parse(again.configJson()) == parse(bar.configJson()), qPrintable(name));
            } else {
                QVERIFY2(!bar.lastError().isEmpty(), qPrintable(name));
                QCOMPARE(parse(bar.configJson()), parse(before));
            }
            Json::Value element;
            if (!json::parse(text.toUtf8(), element))
                continue;
            TEVQRibbonBar first;
            first.readJsonValue(&element);
            Json::Value out(Json::objectValue);
            first.serializeJsonValue(&out, false);
            TEVQRibbonBar second;
            second.readJsonValue(&out);
            Json::Value out2(Json::objectValue);
            second.serializeJsonValue(&out2, false);
            if (!(out == out2))
                qWarning("%s\n---\n%s", json::writeStyled(out).c_str(), json::writeStyled(out2).c_str());
            QVERIFY2(out == out2, qPrintable(name));
        }
        QVERIFY(taken >= 3);
    }

    // ---- page element ----

    // A state array whose four states share one look is written as one entry at its first slot; read back, that
    // entry gives the look to all four states again, so hover and press keep it.
    void sharedStateLookSurvivesTheElementRoundTrip()
    {
        fileStyles(QStringLiteral("ribbonFlat"), QColor(10, 20, 30), QStringLiteral("ribbonInk"), QColor(1, 2, 3));
        TEVQRibbonBar bar;
        Json::Value e = parse(QStringLiteral(R"({"style": [["ribbonFlat", 1, 4], ["ribbonFlat", 1, 5],
            ["ribbonFlat", 1, 6], ["ribbonFlat", 1, 7], ["ribbonFlat", 1, 8], ["ribbonFlat", 1, 9],
            ["ribbonFlat", 1, 10], ["ribbonFlat", 1, 11], ["ribbonInk", 2, 14]]})"));
        QVERIFY(bar.readJsonValue(&e));
        for (int s = 0; s < 4; ++s)
            QCOMPARE(bar.ribbonImpl()->buttonBackgrounds[s].fillRes.fillColor, QColor(10, 20, 30));
        Json::Value out(Json::objectValue);
        QVERIFY(bar.serializeJsonValue(&out, false));
        QCOMPARE(out["style"].size(), 3u);
        TEVQRibbonBar copy;
        QVERIFY(copy.readJsonValue(&out));
        for (int s = 0; s < 4; ++s) {
            QCOMPARE(copy.ribbonImpl()->tabBackgrounds[s].fillRes.fillColor, QColor(10, 20, 30));
            QCOMPARE(copy.ribbonImpl()->buttonBackgrounds[s].fillRes.fillColor, QColor(10, 20, 30));
        }
        QCOMPARE(copy.ribbonImpl()->buttonTextStyle.color, QColor(1, 2, 3));
    }

    // The entries the two state arrays are stored as: one look under one name or under several is one entry;
    // a named state beside an unnamed first one, or of another look, is written at its own slot. The button text
    // style's second slot is read only.
    void stateArrayEntries()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        auto filed = [rm](const char* name, QColor color, int type) {
            FillStyle f;
            f.name = QLatin1String(name);
            f.type = type;
            f.fillRes.fillColor = color;
            rm->setFillStyle(f.name, f);
            return f;
        };
        const FillStyle a = filed("rsA", Qt::red, 0), a2 = filed("rsA2", Qt::red, 0), b = filed("rsB", Qt::blue, 1);
        FillStyle unnamed = a;
        unnamed.name.clear();
        const struct {
            std::array<FillStyle, 4> states;
            const char* written;
        } cases[] = {
            {{{a, a, a, a}}, R"([["rsA",1,4],["rsA",1,8],["rsInk",2,14]])"},
            {{{a, a2, a2, a}}, R"([["rsA",1,4],["rsA",1,8],["rsInk",2,14]])"},
            {{{unnamed, a, a, a}}, R"([["rsA",1,5],["rsA",1,6],["rsA",1,7],["rsA",1,9],["rsA",1,10],["rsA",1,11],)"
                                   R"(["rsInk",2,14]])"},
            {{{a, b, a, a}}, R"([["rsA",1,4],["rsB",2,5],["rsA",1,6],["rsA",1,7],["rsA",1,8],["rsB",2,9],)"
                             R"(["rsA",1,10],["rsA",1,11],["rsInk",2,14]])"},
            {{{a, unnamed, unnamed, b}}, R"([["rsA",1,4],["rsB",2,7],["rsA",1,8],["rsB",2,11],["rsInk",2,14]])"},
        };
        TextStyleDesc ink;
        ink.name = QStringLiteral("rsInk");
        rm->setTextStyle(ink.name, ink);
        for (const auto& c : cases) {
            TEVQRibbonBar bar;
            TEVQRibbonBarImpl* impl = bar.ribbonImpl();
            for (int s = 0; s < 4; ++s)
                impl->tabBackgrounds[s] = impl->buttonBackgrounds[s] = c.states[size_t(s)];
            impl->barBackground = impl->pageAreaBackground = impl->groupBackground = impl->rowBackground =
                impl->accentBackground = impl->galleryBackground = FillStyle();
            impl->tabTextStyle = impl->groupTitleTextStyle = TextStyleDesc();
            impl->buttonTextStyle = ink;
            Json::Value out(Json::objectValue);
            QVERIFY(bar.serializeJsonValue(&out, false));
            Json::StreamWriterBuilder compact;
            compact["indentation"] = "";
            QCOMPARE(QString::fromStdString(Json::writeString(compact, out["style"])), QLatin1String(c.written));
        }
    }

    void pageElementKeys()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        FillStyle red;
        red.name = QStringLiteral("ribbonRed");
        red.fillRes.fillColor = Qt::red;
        rm->setFillStyle(red.name, red);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("r.json"));
        QVERIFY(tevtest::writeFile(file, R"({"schemaVersion": 1, "pages": [{"id": "fromFile"}]})"));

        TEVQRibbonBar bar;
        QSignalSpy mode(&bar, &TEVQRibbonBar::layoutModeChanged);
        Json::Value e = parse(QStringLiteral(R"({"style": [["ribbonRed", 1, 3], ["ribbonRed", 1, 9], ["ribbonRed", 1, 0]],
            "attr": {"groupRows": 5, "pageHeight": 120, "configFile": "%1", "layoutMode": "COMPACT",
                     "ribbon": {"schemaVersion": 1, "pages": [{"id": "embedded"}]}}})").arg(file));
        QVERIFY(bar.readJsonValue(&e));
        QCOMPARE(pageIds(bar), QStringList{QStringLiteral("embedded")});
        QCOMPARE(bar.configFile(), file);
        QCOMPARE(bar.pageHeight(), 120);
        QCOMPARE(bar.layoutMode(), TEV_RIBBON_LAYOUT_COMPACT);
        QCOMPARE(bar.groupRows(), 2); // 5 was stored as 3, then compact mode set 2
        QCOMPARE(mode.count(), 1);
        QCOMPARE(bar.ribbonImpl()->buttonBackgrounds[1].fillRes.fillColor, QColor(Qt::red));
        QCOMPARE(bar.ribbonImpl()->buttonBackgrounds[0].fillRes.fillColor, QColor(255, 255, 255));
        QCOMPARE(bar.ribbonImpl()->barBackground.fillRes.fillColor, QColor(Qt::red));

        // Written, the element embeds the document and reloads from it.
        Json::Value out(Json::objectValue);
        QVERIFY(bar.serializeJsonValue(&out, false));
        QCOMPARE(out["attr"]["ribbon"]["pages"][0]["id"].asString(), std::string("embedded"));
        QCOMPARE(out["attr"]["layoutMode"].asString(), std::string("compact"));
        TEVQRibbonBar copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(pageIds(copy), QStringList{QStringLiteral("embedded")});
        QCOMPARE(copy.ribbonImpl()->barBackground.fillRes.fillColor, QColor(Qt::red));

        // "ribbon" that is not an object: the file is loaded.
        TEVQRibbonBar other;
        Json::Value f = parse(QStringLiteral(R"({"attr": {"groupRows": 1, "configFile": "%1", "ribbon": []}})").arg(file));
        QVERIFY(other.readJsonValue(&f));
        QCOMPARE(pageIds(other), QStringList{QStringLiteral("fromFile")});

        // Under the theme switch: heights only, no document.
        TEVQRibbonBar themed;
        Json::Value t = parse(QStringLiteral(R"({"attr": {"pageHeight": 120, "configFile": "%1", "minimized": true}})").arg(file));
        {
            TEVThemeResGuard theme(true);
            QVERIFY(themed.readJsonValue(&t));
        }
        QCOMPARE(themed.pageHeight(), 120);
        QCOMPARE(themed.pageCount(), 0);
        QVERIFY(!themed.isMinimized());

        // Only the first non-empty jsonData is applied.
        TEVQRibbonBar data;
        data.setJsonData(QStringLiteral(R"({"attr": {"groupRows": 2}})"));
        data.setJsonData(QStringLiteral(R"({"attr": {"groupRows": 3, "minimized": true}})"));
        QCOMPARE(data.groupRows(), 2);
        QVERIFY(!data.isMinimized());
    }

    // A "style" entry names a fill (kind 1) or a text style (kind 2); one whose kind is not what its slot holds
    // changes nothing.
    void styleEntriesOfTheWrongKindAreSkipped()
    {
        fileStyles(QStringLiteral("rkFill"), QColor(200, 0, 0), QStringLiteral("rkText"), QColor(0, 0, 200));

        TEVQRibbonBar bar;
        TEVQRibbonBarImpl* impl = bar.ribbonImpl();
        const FillStyle bar0 = impl->barBackground, row = impl->rowBackground, tab1 = impl->tabBackgrounds[1];
        const TextStyleDesc tabText = impl->tabTextStyle, buttonText = impl->buttonTextStyle;
        Json::Value wrong = parse(QStringLiteral(R"({"style": [["rkFill", 2, 16], ["rkText", 1, 12],
            ["rkText", 1, 14], ["rkText", 1, 15], ["rkFill", 2, 5], ["rkFill", 3, 0], ["rkFill", 0, 0],
            ["rkFill", "1", 0]]})"));
        QVERIFY(bar.readJsonValue(&wrong));
        QVERIFY(impl->rowBackground == row);
        QVERIFY(impl->tabTextStyle == tabText);
        QVERIFY(impl->buttonTextStyle == buttonText);
        QVERIFY(impl->tabBackgrounds[1] == tab1);
        QVERIFY(impl->barBackground == bar0);

        Json::Value right = parse(QStringLiteral(R"({"style": [["rkFill", 1, 16], ["rkText", 2, 12],
            ["rkText", 2, 15], ["rkFill", 1, 5]]})"));
        QVERIFY(bar.readJsonValue(&right));
        QCOMPARE(impl->rowBackground.fillRes.fillColor, QColor(200, 0, 0));
        QCOMPARE(impl->tabTextStyle.color, QColor(0, 0, 200));
        QCOMPARE(impl->buttonTextStyle.color, QColor(0, 0, 200));
        QCOMPARE(impl->tabBackgrounds[1].fillRes.fillColor, QColor(200, 0, 0));
    }

    // A theme that styles every push button and container by type gives the ribbon's own widgets no look of
    // their own: they keep the ribbon's palette when they are made and when the theme is applied again. (Last: the
    // theme stays loaded.)
    void themeTypeElementsLeaveTheRibbonLook()
    {
        TEVQResourceManager* rm = TEVQResourceManager::getInstance();
        QTemporaryDir dir;
        QVERIFY(tevtest::writeFile(dir.filePath(QStringLiteral("style.json")),
                                   R"({"style": [{"type": 1, "name": "plain", "clr": "ff102030"}]})"));
        QVERIFY(tevtest::writeFile(dir.filePath(QStringLiteral("theme.json")), R"({"elements": [{"child": [
            {"type": "qtbutton", "name": "qtbutton", "style": [["plain", 1, 0]]},
            {"type": "qtcontainer", "name": "qtcontainer", "style": [["plain", 1, 0]]}]}]})"));
        QVERIFY(rm->loadThemeDir(dir.path()));
        QWidget host;
        rm->registerWindowWidget(&host);
        auto* bar = new TEVQRibbonBar(&host);
        auto* action = new QAction(QStringLiteral("A"), bar);
        TEVQRibbonButton* button = bar->addPage(QStringLiteral("p"), QString())->addGroup(QStringLiteral("g"), QString())
                                       ->addLargeAction(action);
        const TEVQRibbonBarImpl* impl = bar->ribbonImpl();
        for (int pass = 0; pass < 2; ++pass) {
            QCOMPARE(button->painter()->backgrounds[0].fillRes.fillColor, impl->buttonBackgrounds[0].fillRes.fillColor);
            QCOMPARE(bar->tabButtons()[0]->painter()->backgrounds[0].fillRes.fillColor,
                     impl->tabBackgrounds[0].fillRes.fillColor);
            QCOMPARE(bar->tabRowWidget()->getBackground().fillRes.fillColor, impl->rowBackground.fillRes.fillColor);
            rm->themeChange();
        }
        rm->unregisterWindowWidget(&host);
    }
};

TEV_TEST_MAIN(TestRibbon)
#include "tst_ribbon.moc"
