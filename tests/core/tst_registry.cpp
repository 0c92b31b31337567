// The control registry and catalogue: registration and its replacement rules, aliases, creation by type name,
// catalogue listing, the property rows' typed accessors, the built-in table and the designer-host test.
#include "TevTest.h"
#include "TEVFlags.h"
#include "TEVPlatform.h"
#include "TEVQControlRegistry.h"
#include "TEVQWidgetMacros.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <set>
#include <string>

using namespace TEVQtLib;

// A whole control in its own lines: the shared members come from TEV_WIDGET.
class RegTestWidget : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(RegTestWidget, QWidget, "tstwidget")
public:
    explicit RegTestWidget(QWidget* parent = nullptr) : QWidget(parent)
    {
        tevSetImpl(new TEVQWidgetBaseImpl(this, QString::fromLatin1(typeName())));
    }

    void setText(const QString& text) { m_text = text; }
    QString text() const { return m_text; }
    void setLevel(int level) { m_level = level; }
    int level() const { return m_level; }
    void setBackground(CtrlState state, const FillStyle& style)
    {
        if (state >= 0 && state < 4)
            m_background[state] = style;
    }
    FillStyle getBackground(CtrlState state) const { return state >= 0 && state < 4 ? m_background[state] : FillStyle(); }
    void setTextStyle(int state, const TextStyleDesc& style)
    {
        if (state >= 0 && state < 4)
            m_textStyle[state] = style;
    }
    const TextStyleDesc& getTextStyle(int state) const { return m_textStyle[qBound(0, state, 3)]; }

    static ControlInfo getProps()
    {
        ControlInfo info;
        info.typeName = "tstwidget";
        info.displayName = "Test widget";
        info.description = "Control for the registry test";
        info.className = "RegTestWidget";
        info.iconName = "test";
        info.props = tevCommonPropertyRows();
        info.props << tevTextRow<RegTestWidget>(QStringLiteral("Text"), PropTextArea, &RegTestWidget::setText,
                                                &RegTestWidget::text)
                   << tevIntRow<RegTestWidget>(QStringLiteral("Level"), &RegTestWidget::setLevel,
                                               &RegTestWidget::level, 0, 100)
                   << tevFillStyleRow<RegTestWidget>(QStringLiteral("Background"), &RegTestWidget::setBackground,
                                                     &RegTestWidget::getBackground)
                   << tevTextStyleRow<RegTestWidget>(QStringLiteral("TextStyle"), &RegTestWidget::setTextStyle,
                                                     &RegTestWidget::getTextStyle);
        return info;
    }

private:
    QString m_text;
    int m_level = 0;
    FillStyle m_background[4];
    TextStyleDesc m_textStyle[4];
};

// A second type, to tell factories apart.
class RegOtherWidget : public QWidget, public ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(RegOtherWidget, QWidget, "tstother")
public:
    explicit RegOtherWidget(QWidget* parent = nullptr) : QWidget(parent)
    {
        tevSetImpl(new TEVQWidgetBaseImpl(this, QString::fromLatin1(typeName())));
    }
};

namespace {

QWidget* createNothing() { return nullptr; }

QWidget* boundCreator(const QString&, const QString&) { return nullptr; }

ControlInfo namedInfo(const char* type, const char* display)
{
    ControlInfo info;
    info.typeName = type;
    info.displayName = display;
    return info;
}

const PropertyDef* row(const ControlInfo& info, const QString& name)
{
    for (const PropertyDef& d : info.props)
        if (d.name == name)
            return &d;
    return nullptr;
}

// The built-in table: every name the registry holds after initialisation, the class it creates and whether
// it has a catalogue entry.
struct BuiltinName {
    const char* type;
    const char* className;
    bool catalogued;
};

const BuiltinName kBuiltinNames[] = {
    {"Window", "TEVQCanvasWindow", true},      {"qtcontainer", "TEVQContainer", true},
    {"qtpicture", "TEVQImage", true},          {"qtbutton", "TEVQPushButton", true},
    {"qtmenubar", "TEVQMenuBar", true},        {"qtlabel", "TEVQLabel", true},
    {"qtcheckbox", "TEVQCheckBox", true},      {"qtlistview", "TEVQListView", true},
    {"qtprogressbar", "TEVQProgressBar", true}, {"qtradiobox", "TEVQRadioButton", true},
    {"qtslider", "TEVQSlider", true},          {"qtstackcontainer", "TEVQStackContainer", true},
    {"qtspacer", "TEVQSpacer", true},          {"qttab", "TEVQTabWidget", true},
    {"qtdedit", "TEVQLineEdit", true},         {"qtcombobox", "TEVQComboBox", true},
    {"qtlist", "TEVQList", true},              {"qttree", "TEVQTreeView", true},
    {"qtdatagrid", "TEVQTableView", true},     {"qtgroupbox", "TEVQGroupBox", true},
    {"qtlcdnumber", "TEVQLCDNumber", true},    {"qtswitch", "TEVQSwitch", true},
    {"qtscrollview", "TEVQScrollView", true},  {"qtscrollbar", "TEVQScrollBar", true},
    {"qttext", "TEVQTextEdit", true},          {"qtproperty", "TEVQPropertyList", true},
    {"qtribbonbar", "TEVQRibbonBar", true},
    // Creator only.
    {"qtspinbox", "TEVQSpinBox", false},       {"qtsplitter", "TEVQSplitter", false},
    {"qtlabelex", "TEVQLabelEx", false},       {"canvas", "TEVQCanvas", false},
    {"scrollbar", "TEVQScrollBar", false},     {"container", "TEVQContainer", false},
    {"scrollview", "TEVQScrollView", false},   {"picture", "TEVQImage", false},
    // Aliases.
    {"image", "TEVQImage", false},             {"button", "TEVQPushButton", false},
    {"menubar", "TEVQMenuBar", false},         {"label", "TEVQLabel", false},
    {"checkbox", "TEVQCheckBox", false},       {"listview", "TEVQListView", false},
    {"templateList", "TEVQListView", false},   {"progressbar", "TEVQProgressBar", false},
    {"radio", "TEVQRadioButton", false},       {"radiobox", "TEVQRadioButton", false},
    {"slider", "TEVQSlider", false},           {"stackcontainer", "TEVQStackContainer", false},
    {"tab", "TEVQTabWidget", false},           {"dedit", "TEVQLineEdit", false},
    {"combobox", "TEVQComboBox", false},       {"list", "TEVQList", false},
    {"tree", "TEVQTreeView", false},           {"datagrid", "TEVQTableView", false},
    {"groupbox", "TEVQGroupBox", false},       {"spinbox", "TEVQSpinBox", false},
    {"dnumedit", "TEVQSpinBox", false},        {"splitter", "TEVQSplitter", false},
    {"switch", "TEVQSwitch", false},           {"property", "TEVQPropertyList", false},
};

// The whole-table check runs once every class of the table has its header (one header per class, named
// after it); until then only the entries that exist are checked.
#if __has_include("TEVQCanvasWindow.h") && __has_include("TEVQCanvas.h") && __has_include("TEVQContainer.h")      \
    && __has_include("TEVQImage.h") && __has_include("TEVQPushButton.h") && __has_include("TEVQMenuBar.h")        \
    && __has_include("TEVQLabel.h") && __has_include("TEVQLabelEx.h") && __has_include("TEVQCheckBox.h")          \
    && __has_include("TEVQListView.h") && __has_include("TEVQProgressBar.h")                                      \
    && __has_include("TEVQRadioButton.h") && __has_include("TEVQSlider.h")                                        \
    && __has_include("TEVQStackContainer.h") && __has_include("TEVQSpacer.h")                                     \
    && __has_include("TEVQTabWidget.h") && __has_include("TEVQLineEdit.h") && __has_include("TEVQComboBox.h")     \
    && __has_include("TEVQList.h") && __has_include("TEVQTreeView.h") && __has_include("TEVQTableView.h")         \
    && __has_include("TEVQGroupBox.h") && __has_include("TEVQSpinBox.h") && __has_include("TEVQLCDNumber.h")      \
    && __has_include("TEVQSplitter.h") && __has_include("TEVQSwitch.h") && __has_include("TEVQScrollView.h")      \
    && __has_include("TEVQScrollBar.h") && __has_include("TEVQTextEdit.h")                                        \
    && __has_include("TEVQPropertyList.h") && __has_include("TEVQRibbonBar.h")
const bool kAllBuiltinClassesExist = true;
#else
const bool kAllBuiltinClassesExist = false;
#endif

bool classIs(const QWidget* w, const char* className)
{
    const QString name = QString::fromLatin1(w->metaObject()->className());
    return name == QLatin1String(className) || name.endsWith(QLatin1String("::") + QLatin1String(className));
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

    std::set<std::string> m_builtinCatalogue; // catalogue names right after initialisation

private slots:
    void initTestCase()
    {
        tevInitQtControl();
        for (ControlInfo* info : tevGetAllControlInfo())
            m_builtinCatalogue.insert(info->typeName);
    }

    // ---- the built-in table ----

    void builtinEntriesMatchTheirClasses()
    {
        std::set<std::string> expectedCatalogue;
        for (const BuiltinName& entry : kBuiltinNames) {
            if (entry.catalogued)
                expectedCatalogue.insert(entry.type);
            QWidget* w = createControlByType(entry.type, nullptr);
            ControlInfo* info = tevGetControlInfo(QString::fromLatin1(entry.type));
            if (!w) {
                QVERIFY2(!info, entry.type); // no catalogue entry without a factory
                continue;
            }
            QVERIFY2(classIs(w, entry.className), entry.type);
            delete w;
            QVERIFY2((info != nullptr) == entry.catalogued, entry.type);
            if (info) {
                QCOMPARE(info->kind, 1);
                QVERIFY2(info->className == entry.className, entry.type);
                const QVector<PropertyDef> common = tevCommonPropertyRows();
                QVERIFY2(info->props.size() >= common.size(), entry.type);
                for (int i = 0; i < common.size(); ++i) {
                    QCOMPARE(info->props[i].name, common[i].name);
                    QCOMPARE(info->props[i].kind, common[i].kind);
                }
            }
        }
        for (const std::string& name : m_builtinCatalogue)
            QVERIFY2(expectedCatalogue.count(name), name.c_str());
    }

    void builtinTableIsComplete()
    {
        if (!kAllBuiltinClassesExist)
            QSKIP("not every built-in control class exists yet");
        int names = 0;
        for (const BuiltinName& entry : kBuiltinNames) {
            QWidget* w = createControlByType(entry.type, nullptr);
            QVERIFY2(w, entry.type);
            delete w;
            ++names;
        }
        QCOMPARE(names, 59);
        QCOMPARE(int(m_builtinCatalogue.size()), 27);
        // "qtpicture" is the image's entry, not the container's.
        QCOMPARE(tevGetControlInfo(QStringLiteral("qtpicture"))->className, std::string("TEVQImage"));
        QVERIFY(!tevGetControlInfo(QStringLiteral("qtspinbox")));
        QVERIFY(!tevGetControlInfo(QStringLiteral("qtsplitter")));
        QVERIFY(!tevGetControlInfo(QStringLiteral("qtlabelex")));
        for (const char* absent : {"qtmenu", "TEVWindow", "TEVSubWin", "qtwindow", "qtecgchart"})
            QVERIFY2(!createControlByType(absent, nullptr), absent);
        QVERIFY(!detail::isFlaggedControl("qtlistview"));
        QVERIFY(detail::isFlaggedControl("qtlabel"));
    }

    void initialisingAgainKeepsTheEntries()
    {
        const QVector<ControlInfo*> before = tevGetAllControlInfo();
        tevInitQtControl();
        QCOMPARE(tevGetAllControlInfo(), before);
    }

    // ---- registration ----

    void registeredTypeIsCreatedWithItsParent()
    {
        tevRegisterQtControl("tstwidget", &RegTestWidget::createRegTestWidget, RegTestWidget::getProps(), true);
        QWidget parent;
        QWidget* w = createControlByType("tstwidget", &parent);
        QVERIFY(qobject_cast<RegTestWidget*>(w));
        QCOMPARE(w->parentWidget(), &parent);
        QWidget* orphan = createControlByType("tstwidget", nullptr);
        QVERIFY(orphan && !orphan->parentWidget());
        delete orphan;

        ControlInfo* info = tevGetControlInfo(QStringLiteral("tstwidget"));
        QVERIFY(info);
        QCOMPARE(info->typeName, std::string("tstwidget"));
        QCOMPARE(info->className, std::string("RegTestWidget"));
        QCOMPARE(info->displayName, std::string("Test widget"));
        QVERIFY(detail::isFlaggedControl("tstwidget"));
        QVERIFY(tevGetAllControlInfo().contains(info));
    }

    void unknownAndNullNamesGiveNothing()
    {
        QVERIFY(!createControlByType("tstnosuchtype", nullptr));
        QVERIFY(!createControlByType(nullptr, nullptr));
        QVERIFY(!createControlByType("", nullptr));
        QVERIFY(!tevGetControlInfo(QStringLiteral("tstnosuchtype")));
        QVERIFY(!tevGetControlInfo(QString()));
        // Names are compared bytewise: letter case counts.
        tevRegisterDefaultControl("tstcase", &RegTestWidget::createRegTestWidget);
        QVERIFY(!createControlByType("TSTCASE", nullptr));
        // A factory that gives nothing gives nothing.
        tevRegisterDefaultControl("tstnull", &createNothing);
        QVERIFY(!createControlByType("tstnull", nullptr));
    }

    void nullRegistrationsDoNothing()
    {
        const int count = tevGetAllControlInfo().size();
        tevRegisterQtControl(nullptr, &RegTestWidget::createRegTestWidget, namedInfo("x", "X"), true);
        tevRegisterQtControl("tstnullcreator", nullptr, namedInfo("tstnullcreator", "X"), true);
        tevRegisterDefaultControl(nullptr, &RegTestWidget::createRegTestWidget);
        tevRegisterDefaultControl("tstnullalias", nullptr);
        QCOMPARE(tevGetAllControlInfo().size(), count);
        QVERIFY(!createControlByType("tstnullcreator", nullptr));
        QVERIFY(!tevGetControlInfo(QStringLiteral("tstnullcreator")));
        QVERIFY(!detail::isFlaggedControl("tstnullcreator"));
        QVERIFY(!createControlByType("tstnullalias", nullptr));
    }

    void aliasesCreateWithoutCatalogueEntry()
    {
        tevRegisterDefaultControl("tstalias", &RegTestWidget::createRegTestWidget);
        tevRegisterDefaultControl("tstalias2", &RegTestWidget::createRegTestWidget);
        for (const char* alias : {"tstalias", "tstalias2"}) {
            QWidget* w = createControlByType(alias, nullptr);
            QVERIFY(qobject_cast<RegTestWidget*>(w));
            delete w;
            QVERIFY(!tevGetControlInfo(QString::fromLatin1(alias)));
        }
    }

    void laterRegistrationsReplaceEarlierOnes()
    {
        tevRegisterQtControl("tstreplace", &RegTestWidget::createRegTestWidget, namedInfo("tstreplace", "First"),
                             false);
        ControlInfo* entry = tevGetControlInfo(QStringLiteral("tstreplace"));
        QVERIFY(entry);
        QVERIFY(!detail::isFlaggedControl("tstreplace"));

        tevRegisterQtControl("tstreplace", &RegOtherWidget::createRegOtherWidget,
                             namedInfo("tstreplace", "Second"), true);
        QWidget* w = createControlByType("tstreplace", nullptr);
        QVERIFY(qobject_cast<RegOtherWidget*>(w));
        delete w;
        // The same entry, assigned over: pointers handed out earlier see the new record.
        QCOMPARE(tevGetControlInfo(QStringLiteral("tstreplace")), entry);
        QCOMPARE(entry->displayName, std::string("Second"));
        QVERIFY(detail::isFlaggedControl("tstreplace"));

        // An alias registration over a catalogued name replaces the factory and keeps the entry.
        tevRegisterDefaultControl("tstreplace", &RegTestWidget::createRegTestWidget);
        w = createControlByType("tstreplace", nullptr);
        QVERIFY(qobject_cast<RegTestWidget*>(w));
        delete w;
        QCOMPARE(tevGetControlInfo(QStringLiteral("tstreplace"))->displayName, std::string("Second"));
        // A later registration without the flag does not take it away.
        tevRegisterQtControl("tstreplace", &RegTestWidget::createRegTestWidget, namedInfo("tstreplace", "Third"),
                             false);
        QVERIFY(detail::isFlaggedControl("tstreplace"));
    }

    void catalogueIsListedInTypeNameOrder()
    {
        tevRegisterQtControl("tstorder_b", &RegTestWidget::createRegTestWidget, namedInfo("tstorder_b", "B"), true);
        tevRegisterQtControl("tstorder_a", &RegTestWidget::createRegTestWidget, namedInfo("tstorder_a", "A"), true);
        tevRegisterQtControl("TstOrder", &RegTestWidget::createRegTestWidget, namedInfo("TstOrder", "U"), true);
        const QVector<ControlInfo*> all = tevGetAllControlInfo();
        for (int i = 1; i < all.size(); ++i)
            QVERIFY(all[i - 1]->typeName < all[i]->typeName);
        auto indexOf = [&](const char* type) {
            for (int i = 0; i < all.size(); ++i)
                if (all[i]->typeName == type)
                    return i;
            return -1;
        };
        QVERIFY(indexOf("TstOrder") >= 0 && indexOf("TstOrder") < indexOf("tstorder_a"));
        QVERIFY(indexOf("tstorder_a") < indexOf("tstorder_b"));
    }

    void boundCreatorIsStoredAndUnbound()
    {
        QVERIFY(!tevGetBoundControlCreateFunction());
        tevBindControlCreateFunction(&boundCreator);
        QVERIFY(tevGetBoundControlCreateFunction() == &boundCreator);
        tevBindControlCreateFunction(nullptr);
        QVERIFY(!tevGetBoundControlCreateFunction());
    }

    // ---- property rows ----

    void commonRowsComeFirstInTheirOrder()
    {
        const QVector<PropertyDef> rows = tevCommonPropertyRows();
        const QStringList names = {QStringLiteral("Name"),    QStringLiteral("Type"),  QStringLiteral("Visibility"),
                                   QStringLiteral("Enable"),  QStringLiteral("Tooltip"), QStringLiteral("Alpha"),
                                   QStringLiteral("Line")};
        const int kinds[] = {0, 2, 3, 3, 1, 10, 4};
        QCOMPARE(rows.size(), names.size());
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].name, names[i]);
            QCOMPARE(rows[i].kind, kinds[i]);
            QVERIFY(rows[i].text2.isEmpty());
        }
        QVERIFY(rows[1].getText && !rows[1].hasSetter());
        QVERIFY(!rows[6].hasGetter() && !rows[6].hasSetter());
    }

    void commonRowsEditTheWidget()
    {
        const ControlInfo info = RegTestWidget::getProps();
        RegTestWidget w;

        const PropertyDef* name = row(info, QStringLiteral("Name"));
        name->setText(&w, QStringLiteral("inverter1"));
        QCOMPARE(w.objectName(), QStringLiteral("inverter1"));
        QCOMPARE(name->getText(&w), QStringLiteral("inverter1"));

        QCOMPARE(row(info, QStringLiteral("Type"))->getText(&w), QStringLiteral("tstwidget"));

        const PropertyDef* visibility = row(info, QStringLiteral("Visibility"));
        QVERIFY(!visibility->getBool(&w));
        visibility->setBool(&w, true);
        QVERIFY(visibility->getBool(&w));
        QCOMPARE(w.property("visibility").toBool(), true);
        QCOMPARE(visibility->getBool(&w), w.getInnerVisible());

        const PropertyDef* enable = row(info, QStringLiteral("Enable"));
        enable->setBool(&w, false);
        QVERIFY(!w.isEnabled());
        QVERIFY(!enable->getBool(&w));

        const PropertyDef* tooltip = row(info, QStringLiteral("Tooltip"));
        tooltip->setText(&w, QStringLiteral("Grid meter"));
        QCOMPARE(w.toolTip(), QStringLiteral("Grid meter"));

        // Alpha goes through the interface and reads back what was set.
        const PropertyDef* alpha = row(info, QStringLiteral("Alpha"));
        QCOMPARE(alpha->getInt(&w), w.getOpacity());
        for (int v : {255, 128, 0}) {
            alpha->setInt(&w, v);
            QCOMPARE(alpha->getInt(&w), v);
        }
    }

    void ownRowsEditTheWidget()
    {
        const ControlInfo info = RegTestWidget::getProps();
        RegTestWidget w;

        const PropertyDef* text = row(info, QStringLiteral("Text"));
        QCOMPARE(text->kind, 1);
        text->setText(&w, QStringLiteral("42 kW"));
        QCOMPARE(w.text(), QStringLiteral("42 kW"));
        QCOMPARE(text->getText(&w), QStringLiteral("42 kW"));

        const PropertyDef* level = row(info, QStringLiteral("Level"));
        QCOMPARE(level->minimum, 0);
        QCOMPARE(level->maximum, 100);
        level->setInt(&w, 17);
        QCOMPARE(level->getInt(&w), 17);

        const PropertyDef* background = row(info, QStringLiteral("Background"));
        QCOMPARE(background->kind, 5);
        QCOMPARE(background->options, QStringList({"Normal", "Hot", "Pressed", "Disable"}));
        FillStyle hot;
        hot.name = QStringLiteral("hotFill");
        background->setFillStyle(&w, CtrlStateHot, hot);
        QCOMPARE(w.getBackground(CtrlStateHot).name, QStringLiteral("hotFill"));
        QCOMPARE(background->getFillStyle(&w, 1).name, QStringLiteral("hotFill"));
        QVERIFY(background->getFillStyle(&w, 0).name.isEmpty());

        const PropertyDef* textStyle = row(info, QStringLiteral("TextStyle"));
        QCOMPARE(textStyle->kind, 6);
        TextStyleDesc pressed;
        pressed.name = QStringLiteral("pressedText");
        textStyle->setTextStyle(&w, 2, pressed);
        QCOMPARE(textStyle->getTextStyle(&w, 2).name, QStringLiteral("pressedText"));
    }

    void rowsOnAnotherTypeDoNothing()
    {
        const ControlInfo info = RegTestWidget::getProps();
        RegOtherWidget other;
        QWidget plain;
        row(info, QStringLiteral("Text"))->setText(&other, QStringLiteral("x"));
        QVERIFY(row(info, QStringLiteral("Text"))->getText(&other).isEmpty());
        QCOMPARE(row(info, QStringLiteral("Level"))->getInt(&plain), 0);
        QCOMPARE(row(info, QStringLiteral("Background"))->getFillStyle(&plain, 0), FillStyle());
        QVERIFY(row(info, QStringLiteral("Type"))->getText(&plain).isEmpty());
        row(info, QStringLiteral("Alpha"))->setInt(&plain, 3);
        row(info, QStringLiteral("Visibility"))->setBool(&plain, true);
        QVERIFY(!plain.property("visibility").isValid());
        QVERIFY(row(info, QStringLiteral("Text"))->getText(nullptr).isEmpty());
        // Rows common to every widget still work on the other type.
        row(info, QStringLiteral("Name"))->setText(&plain, QStringLiteral("plain"));
        QCOMPARE(plain.objectName(), QStringLiteral("plain"));
        QCOMPARE(row(info, QStringLiteral("Type"))->getText(&other), QStringLiteral("tstother"));
    }

    // ---- designer host ----

    void designerHostPathIsMatchedWithLetterCase()
    {
        QVERIFY(tevIsDesignerHostPath(QStringLiteral("/opt/Orvessa/bin/dashboard")));
        QVERIFY(tevIsDesignerHostPath(QStringLiteral("C:/Tools/TevloraQtEmulator.exe")));
        QVERIFY(tevIsDesignerHostPath(QStringLiteral("/home/a/MyOrvessaHost")));
        QVERIFY(!tevIsDesignerHostPath(QStringLiteral("/opt/orvessa/bin/dashboard")));
        QVERIFY(!tevIsDesignerHostPath(QStringLiteral("/opt/ORVESSA/x")));
        QVERIFY(!tevIsDesignerHostPath(QStringLiteral("/x/tevloraqtemulator")));
        QVERIFY(!tevIsDesignerHostPath(QStringLiteral("/x/TevloraQt/Emulator")));
        QVERIFY(!tevIsDesignerHostPath(QString()));
        // The marker counts however deep the path is.
        QVERIFY(tevIsDesignerHostPath(QString(300, QLatin1Char('d')) + QStringLiteral("/Orvessa")));
        // This test itself does not run from a designer host.
        QVERIFY(!tevIsDesignerHostPath(platform::moduleFilePath()));
        QVERIFY(!tevIsQtEmulator());
    }

    void designerHostSetsTheEmulatorFlag()
    {
        const QByteArray probe = qgetenv("TEV_REGISTRY_PROBE");
        if (!probe.isEmpty()) {
            // Running as the copied program: report what initialisation decided.
            tevInitQtControl();
            std::fputs(tevIsQtEmulator() ? "emulator=1\n" : "emulator=0\n", stdout);
            std::fflush(stdout);
            return;
        }
        // A copy of this program in a folder whose name carries the marker (a copy: /proc resolves links).
        // Made beside the test program, where programs may run.
        QTemporaryDir dir(QFileInfo(platform::moduleFilePath()).absolutePath() + QStringLiteral("/probe-XXXXXX"));
        QVERIFY(dir.isValid());
        for (const char* folder : {"Orvessa", "orvessa"}) {
            const QString copyDir = dir.filePath(QString::fromLatin1(folder));
            QVERIFY(QDir().mkpath(copyDir));
            const QString copy = copyDir + QStringLiteral("/registry_probe");
            QVERIFY(QFile::copy(platform::moduleFilePath(), copy));
            QVERIFY(QFile::setPermissions(copy, QFile::permissions(copy) | QFile::ExeOwner));
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TEV_REGISTRY_PROBE"), QStringLiteral("1"));
            process.setProcessEnvironment(env);
            process.start(copy, {QStringLiteral("designerHostSetsTheEmulatorFlag")});
            QVERIFY(process.waitForFinished(120000));
            const QByteArray output = process.readAllStandardOutput();
            QCOMPARE(process.exitCode(), 0);
            const bool upper = qstrcmp(folder, "Orvessa") == 0;
            QVERIFY2(output.contains(upper ? "emulator=1" : "emulator=0"), output.constData());
        }
    }
};

TEV_TEST_MAIN(TestRegistry)
#include "tst_registry.moc"
