// The control registry and catalogue: registration and its replacement rules, aliases, creation by type name,
// catalogue listing, the property rows' typed accessors, the built-in table and the designer-host path test.
#include "TevTest.h"
#include "TEVFlags.h"
#include "TEVPlatform.h"
#include "TEVQControlRegistry.h"
#include "TEVQWidgetMacros.h"

#include <QComboBox>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <typeinfo>

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



// The registry key of a catalogue entry: its type name, except for the canvas page, whose entry calls itself
// "window" while it is registered as "Window".
std::string registryKey(const std::string& typeName)
{
    return typeName == "window" ? std::string("Window") : typeName;
}

bool classIs(const QWidget* w, const char* className)
{
    const QString name = QString::fromLatin1(w->metaObject()->className());
    if (name == QLatin1String(className) || name.endsWith(QLatin1String("::") + QLatin1String(className)))
        return true;
    // A class without a meta-object of its own (the rich text label) is told by its C++ type: the mangled name
    // ends in the length and the name.
    const QString mangled = QString::fromLatin1(typeid(*w).name());
    return mangled.endsWith(QString::number(qstrlen(className)) + QLatin1String(className));
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
            m_builtinCatalogue.insert(registryKey(info->typeName));
    }

    // ---- the built-in table ----

    void builtinEntriesMatchTheirClasses()
    {
        std::set<std::string> expectedCatalogue;
        const QVector<PropertyDef> common = tevCommonPropertyRows();
        for (const BuiltinName& entry : kBuiltinNames) {
            if (entry.catalogued)
                expectedCatalogue.insert(entry.type);
            std::unique_ptr<QWidget> w(createControlByType(entry.type, nullptr));
            ControlInfo* info = tevGetControlInfo(QString::fromLatin1(entry.type));
            QVERIFY2(w, entry.type);
            QVERIFY2(classIs(w.get(), entry.className), entry.type);
            QVERIFY2((info != nullptr) == entry.catalogued, entry.type);
            if (info && qstrcmp(entry.type, "Window") == 0) {
                // The canvas page describes itself as the window it stands for, with the window's five rows.
                QCOMPARE(info->kind, 1);
                QCOMPARE(info->className, std::string("TEVQWindow"));
                QCOMPARE(info->props.size(), 5);
                QCOMPARE(info->props[0].name, QStringLiteral("Name"));
                continue;
            }
            if (info) {
                QCOMPARE(info->kind, 1);
                // The property grid's catalogue entry names its class "TEVQProperty", not the widget class.
                const std::string catalogueClass =
                    std::string(entry.type) == "qtproperty" ? std::string("TEVQProperty") : std::string(entry.className);
                QVERIFY2(info->className == catalogueClass, entry.type);
                QVERIFY2(info->props.size() >= common.size(), entry.type);
                for (int i = 0; i < common.size(); ++i)
                    QVERIFY2(info->props[i].name == common[i].name && info->props[i].kind == common[i].kind, entry.type);
            }
        }
        for (const std::string& name : m_builtinCatalogue)
            QVERIFY2(expectedCatalogue.count(name), name.c_str());
        QCOMPARE(int(std::size(kBuiltinNames)), 59);
        QCOMPARE(int(m_builtinCatalogue.size()), 27);
        for (const char* absent : {"qtmenu", "TEVWindow", "TEVSubWin", "qtwindow", "qtecgchart"})
            QVERIFY2(!createControlByType(absent, nullptr), absent);
        QVERIFY(!detail::isFlaggedControl("qtlistview") && detail::isFlaggedControl("qtlabel"));

        // Initialising again keeps the entries.
        const QVector<ControlInfo*> before = tevGetAllControlInfo();
        tevInitQtControl();
        QCOMPARE(tevGetAllControlInfo(), before);
    }

    // ---- registration ----

    void registrationAndLookup()
    {
        tevRegisterQtControl("tstwidget", &RegTestWidget::createRegTestWidget, RegTestWidget::getProps(), true);
        QWidget parent;
        QWidget* w = createControlByType("tstwidget", &parent);
        QVERIFY(qobject_cast<RegTestWidget*>(w));
        QCOMPARE(w->parentWidget(), &parent);
        ControlInfo* info = tevGetControlInfo(QStringLiteral("tstwidget"));
        QVERIFY(info && tevGetAllControlInfo().contains(info));
        QCOMPARE(info->className, std::string("RegTestWidget"));
        QVERIFY(detail::isFlaggedControl("tstwidget"));

        // Aliases create without a catalogue entry.
        tevRegisterDefaultControl("tstalias", &RegTestWidget::createRegTestWidget);
        std::unique_ptr<QWidget> alias(createControlByType("tstalias", nullptr));
        QVERIFY(qobject_cast<RegTestWidget*>(alias.get()) && !alias->parentWidget());
        QVERIFY(!tevGetControlInfo(QStringLiteral("tstalias")));

        // Unknown and null names give nothing; names compare bytewise, so letter case counts.
        QVERIFY(!createControlByType(nullptr, nullptr) && !createControlByType("TSTALIAS", nullptr));
        // A factory that gives nothing gives nothing.
        tevRegisterDefaultControl("tstnull", &createNothing);
        QVERIFY(!createControlByType("tstnull", nullptr));

        // Registrations with a null name or factory do nothing.
        const int count = tevGetAllControlInfo().size();
        tevRegisterQtControl(nullptr, &RegTestWidget::createRegTestWidget, namedInfo("x", "X"), true);
        tevRegisterQtControl("tstnullcreator", nullptr, namedInfo("tstnullcreator", "X"), true);
        tevRegisterDefaultControl("tstnullalias", nullptr);
        QCOMPARE(tevGetAllControlInfo().size(), count);
        QVERIFY(!createControlByType("tstnullcreator", nullptr) && !createControlByType("tstnullalias", nullptr));
        QVERIFY(!detail::isFlaggedControl("tstnullcreator"));
    }

    void laterRegistrationsReplaceEarlierOnes()
    {
        auto createdIs = [](const char* className) {
            std::unique_ptr<QWidget> w(createControlByType("tstreplace", nullptr));
            return w && classIs(w.get(), className);
        };
        tevRegisterQtControl("tstreplace", &RegTestWidget::createRegTestWidget, namedInfo("tstreplace", "First"), false);
        ControlInfo* entry = tevGetControlInfo(QStringLiteral("tstreplace"));
        QVERIFY(entry && !detail::isFlaggedControl("tstreplace"));

        tevRegisterQtControl("tstreplace", &RegOtherWidget::createRegOtherWidget, namedInfo("tstreplace", "Second"), true);
        QVERIFY(createdIs("RegOtherWidget"));
        // The same entry, assigned over: pointers handed out earlier see the new record.
        QCOMPARE(tevGetControlInfo(QStringLiteral("tstreplace")), entry);
        QCOMPARE(entry->displayName, std::string("Second"));
        QVERIFY(detail::isFlaggedControl("tstreplace"));

        // An alias registration over a catalogued name replaces the factory and keeps the entry.
        tevRegisterDefaultControl("tstreplace", &RegTestWidget::createRegTestWidget);
        QVERIFY(createdIs("RegTestWidget"));
        QCOMPARE(entry->displayName, std::string("Second"));
        // A later registration without the flag does not take it away.
        tevRegisterQtControl("tstreplace", &RegTestWidget::createRegTestWidget, namedInfo("tstreplace", "Third"), false);
        QVERIFY(detail::isFlaggedControl("tstreplace"));
    }

    void catalogueIsListedInTypeNameOrder()
    {
        for (const char* type : {"tstorder_b", "tstorder_a", "TstOrder"})
            tevRegisterQtControl(type, &RegTestWidget::createRegTestWidget, namedInfo(type, "X"), true);
        const QVector<ControlInfo*> all = tevGetAllControlInfo();
        std::vector<std::string> names;
        for (ControlInfo* info : all)
            names.push_back(registryKey(info->typeName));
        QVERIFY(std::is_sorted(names.begin(), names.end()));
        QVERIFY(std::adjacent_find(names.begin(), names.end()) == names.end());
    }

    // ---- property rows ----

    void commonRowsComeFirstInTheirOrder()
    {
        const QVector<PropertyDef> rows = tevCommonPropertyRows();
        const QStringList names{"Name", "Type", "Visibility", "Enable", "Tooltip", "Alpha", "Line"};
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

    void rowsEditTheWidget()
    {
        const ControlInfo info = RegTestWidget::getProps();
        RegTestWidget w;
        row(info, QStringLiteral("Name"))->setText(&w, QStringLiteral("inverter1"));
        QCOMPARE(w.objectName(), QStringLiteral("inverter1"));
        QCOMPARE(row(info, QStringLiteral("Type"))->getText(&w), QStringLiteral("tstwidget"));
        // Visibility is the inner visibility, not the widget's.
        const PropertyDef* visibility = row(info, QStringLiteral("Visibility"));
        QVERIFY(!visibility->getBool(&w));
        visibility->setBool(&w, true);
        QVERIFY(visibility->getBool(&w) && w.getInnerVisible());
        row(info, QStringLiteral("Enable"))->setBool(&w, false);
        row(info, QStringLiteral("Alpha"))->setInt(&w, 128);
        QVERIFY(!w.isEnabled() && w.getOpacity() == 128);

        // The control's own rows reach its accessors.
        const PropertyDef* level = row(info, QStringLiteral("Level"));
        QCOMPARE((QList<int>{level->minimum, level->maximum}), (QList<int>{0, 100}));
        level->setInt(&w, 17);
        QCOMPARE(w.level(), 17);
        const PropertyDef* background = row(info, QStringLiteral("Background"));
        QCOMPARE(background->options, QStringList({"Normal", "Hot", "Pressed", "Disable"}));
        FillStyle hot;
        hot.name = QStringLiteral("hotFill");
        background->setFillStyle(&w, CtrlStateHot, hot);
        QCOMPARE(w.getBackground(CtrlStateHot).name, QStringLiteral("hotFill"));
        QVERIFY(background->getFillStyle(&w, 0).name.isEmpty());
        const PropertyDef* textStyle = row(info, QStringLiteral("TextStyle"));
        TextStyleDesc pressed;
        pressed.name = QStringLiteral("pressedText");
        textStyle->setTextStyle(&w, 2, pressed);
        QCOMPARE(w.getTextStyle(2).name, QStringLiteral("pressedText"));
    }

    void rowsOnAnotherTypeDoNothing()
    {
        const ControlInfo info = RegTestWidget::getProps();
        RegOtherWidget other;
        QWidget plain;
        row(info, QStringLiteral("Text"))->setText(&other, QStringLiteral("x"));
        QVERIFY(row(info, QStringLiteral("Text"))->getText(&other).isEmpty());
        QCOMPARE(row(info, QStringLiteral("Level"))->getInt(&plain), 0);
        QVERIFY(row(info, QStringLiteral("Type"))->getText(&plain).isEmpty());
        row(info, QStringLiteral("Visibility"))->setBool(&plain, true);
        QVERIFY(!plain.property("visibility").isValid());
        // Rows common to every widget still work on the other type.
        row(info, QStringLiteral("Name"))->setText(&plain, QStringLiteral("plain"));
        QCOMPARE(plain.objectName(), QStringLiteral("plain"));
        QCOMPARE(row(info, QStringLiteral("Type"))->getText(&other), QStringLiteral("tstother"));
    }

    // Every row of every catalogued type: its setter followed by its getter gives the value back. The sample
    // value follows the row's kind; a separator has no accessors and a read-only row only a getter. Types added
    // to the built-in table are covered without a change here.
    void everyCatalogueRowGivesBackWhatItSets()
    {
        QVERIFY(!m_builtinCatalogue.empty());
        for (const std::string& type : m_builtinCatalogue) {
            const ControlInfo* info = tevGetControlInfo(QString::fromStdString(type));
            QVERIFY2(info, type.c_str());
            for (const PropertyDef& d : info->props) {
                const QByteArray where = QByteArray(type.c_str()) + " / " + d.name.toUtf8();
                // A fresh widget per row, so that no row sees what another one set.
                std::unique_ptr<QWidget> w(createControlByType(type.c_str(), nullptr));
                QVERIFY2(w, where.constData());
                // A combo box's text row selects among its items: the sample text is one of them.
                if (auto* combo = qobject_cast<QComboBox*>(w.get()))
                    combo->addItems({QStringLiteral("Other"), QStringLiteral("Sample text")});
                switch (d.kind) {
                case PropSeparator:
                    QVERIFY2(!d.hasGetter() && !d.hasSetter(), where.constData());
                    continue;
                case PropReadOnly:
                    QVERIFY2(d.getText && !d.hasSetter(), where.constData());
                    continue;
                default:
                    QVERIFY2(d.hasGetter() && d.hasSetter(), where.constData());
                    break;
                }
                switch (d.kind) {
                case PropText:
                case PropTextArea:
                case PropImage:
                case PropPadding:
                case PropColor: {
                    QVERIFY2(d.setText && d.getText, where.constData());
                    const QString sample = d.kind == PropPadding ? QStringLiteral("1,2,3,4")
                                           : d.kind == PropColor ? QStringLiteral("FF0C2238")
                                           : d.kind == PropImage ? QStringLiteral("images/sample.png")
                                                                 : QStringLiteral("Sample text");
                    d.setText(w.get(), sample);
                    QVERIFY2(d.getText(w.get()) == sample, where.constData());
                    break;
                }
                case PropBool: {
                    QVERIFY2(d.setBool && d.getBool, where.constData());
                    for (int round = 0; round < 2; ++round) {
                        const bool flipped = !d.getBool(w.get());
                        d.setBool(w.get(), flipped);
                        QVERIFY2(d.getBool(w.get()) == flipped, where.constData());
                    }
                    break;
                }
                case PropInt:
                case PropChoice: {
                    QVERIFY2(d.setInt && d.getInt, where.constData());
                    const int sample = d.kind == PropChoice ? 1 : qBound(d.minimum, 42, d.maximum);
                    QVERIFY2(d.kind != PropChoice || d.options.size() > 1, where.constData());
                    d.setInt(w.get(), sample);
                    QVERIFY2(d.getInt(w.get()) == sample, where.constData());
                    break;
                }
                case PropSize: {
                    QVERIFY2(d.setSize && d.getSize, where.constData());
                    d.setSize(w.get(), QSize(17, 23));
                    QVERIFY2(d.getSize(w.get()) == QSize(17, 23), where.constData());
                    break;
                }
                case PropFillStyle:
                    // A text style named in a style-name row (the group box's) is checked as a text style row.
                    if (!d.setTextStyle) {
                        QVERIFY2(d.setFillStyle && d.getFillStyle && !d.options.isEmpty(), where.constData());
                        for (int state = 0; state < d.options.size(); ++state) {
                            FillStyle sample;
                            sample.name = QStringLiteral("sampleFill%1").arg(state);
                            sample.fillRes.fillColor = QColor(10 * state, 20, 30);
                            d.setFillStyle(w.get(), state, sample);
                            QVERIFY2(d.getFillStyle(w.get(), state) == sample, where.constData());
                        }
                        break;
                    }
                    [[fallthrough]];
                case PropTextStyle: {
                    QVERIFY2(d.setTextStyle && d.getTextStyle && !d.options.isEmpty(), where.constData());
                    for (int state = 0; state < d.options.size(); ++state) {
                        TextStyleDesc sample;
                        sample.name = QStringLiteral("sampleText%1").arg(state);
                        sample.pixelSize = 17 + state;
                        d.setTextStyle(w.get(), state, sample);
                        QVERIFY2(d.getTextStyle(w.get(), state) == sample, where.constData());
                    }
                    break;
                }
                default:
                    QFAIL((where + ": a row kind without a sample value here").constData());
                }
            }
        }
    }

    // ---- designer host ----

    void designerHostPathIsMatchedWithLetterCase()
    {
        // The marker counts anywhere and however deep the path is.
        for (const QString& host : {QStringLiteral("/home/a/MyOrvessaHost"), QStringLiteral("C:/Tools/TevloraQtEmulator.exe"),
                                    QString(300, QLatin1Char('d')) + QStringLiteral("/Orvessa")})
            QVERIFY2(tevIsDesignerHostPath(host), qPrintable(host));
        for (const QString& other : {QStringLiteral("/opt/orvessa/bin/dashboard"), QStringLiteral("/x/TevloraQt/Emulator"), QString()})
            QVERIFY2(!tevIsDesignerHostPath(other), qPrintable(other));
        // This test itself does not run from a designer host.
        QVERIFY(!tevIsDesignerHostPath(platform::moduleFilePath()));
        QVERIFY(!tevIsQtEmulator());
    }
};

TEV_TEST_MAIN(TestRegistry)
#include "tst_registry.moc"
