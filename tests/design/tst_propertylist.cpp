// Property list: rows by editor kind with their pooling, the value put in without calling setters, the edit
// signals, and every catalogue row of every registered control edited through its editor, the control
// following. Rows keep their own copy of the def and a guarded target, so deleting the control elsewhere or
// dropping the caller's catalogue leaves nothing dangling.
#include "TevStyles.h"
#include "TevTest.h"

#include "TEVJson.h"
#include "TEVQCheckBox.h"
#include "TEVQContainer.h"
#include "TEVQControlRegistry.h"
#include "TEVQLabel.h"
#include "TEVQLineEdit.h"
#include "TEVQPageLoader.h"
#include "TEVQPropertyList.h"
#include "TEVQPushButton.h"
#include "TEVQSpinBox.h"
#include "TEVQtLib.h"

#include <QComboBox>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>

#include <memory>

using namespace TEVQtLib;

namespace {

struct Counter {
    int textSets = 0;
    int boolSets = 0;
    int intSets = 0;
    QString text = QStringLiteral("start");
    bool flag = false;
    int number = 5;
};

PropertyDef countedDef(Counter& c, int kind, QWidget* target)
{
    PropertyDef d;
    d.name = QStringLiteral("Row %1").arg(kind);
    d.kind = kind;
    d.target = target;
    d.getText = [&c](QWidget*) { return c.text; };
    d.setText = [&c](QWidget*, const QString& v) { c.text = v; ++c.textSets; };
    d.getBool = [&c](QWidget*) { return c.flag; };
    d.setBool = [&c](QWidget*, bool v) { c.flag = v; ++c.boolSets; };
    d.getInt = [&c](QWidget*) { return c.number; };
    d.setInt = [&c](QWidget*, int v) { c.number = v; ++c.intSets; };
    d.getFillStyle = [](QWidget*, int) { FillStyle s; s.name = QStringLiteral("panelFill"); return s; };
    d.getTextStyle = [](QWidget*, int) { TextStyleDesc s; s.name = QStringLiteral("captionText"); return s; };
    return d;
}

int contentHeight(const TEVQPropertyList& list) { return list.contentWidget()->height(); }

// A value for a text row of the kind that differs from current.
QString newTextFor(int kind, const QString& current)
{
    if (kind == PropColor)
        return current.compare(QLatin1String("FF123456"), Qt::CaseInsensitive) == 0 ? QStringLiteral("FF654321")
                                                                                    : QStringLiteral("FF123456");
    if (kind == PropImage)
        return current == QLatin1String("edited.png") ? QStringLiteral("other.png") : QStringLiteral("edited.png");
    return current == QLatin1String("edited") ? QStringLiteral("edited again") : QStringLiteral("edited");
}

int otherValue(int current, int minimum, int maximum)
{
    return current < maximum ? current + 1 : std::max(minimum, current - 1);
}

} // namespace

class PropertyListTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tevInitQtControl(); }

    void registeredWithItsCatalogueEntry()
    {
        ControlInfo* info = tevGetControlInfo(QStringLiteral("qtproperty"));
        QVERIFY(info);
        QCOMPARE(info->displayName, std::string("Property"));
        QCOMPARE(info->description, std::string("Control Property"));
        QCOMPARE(info->className, std::string("TEVQProperty"));
        QCOMPARE(info->iconName, std::string("property"));
        QStringList names;
        for (const PropertyDef& d : info->props)
            names << d.name;
        QCOMPARE(names, QStringList({"Name", "Type", "Visibility", "Enable", "Tooltip", "Alpha", "Line"}));
        std::unique_ptr<QWidget> w(createControlByType("qtproperty", nullptr));
        auto* list = qobject_cast<TEVQPropertyList*>(w.get());
        QVERIFY(list);
        QCOMPARE(list->getTypeName(), QStringLiteral("qtproperty"));
        QCOMPARE(list->getControlImpl()->getTypeNameRef(), QStringLiteral("qtproperty"));
        // Its element JSON goes through the scroll view's reader and writer, bad types included.
        Json::Value element(Json::objectValue);
        element["name"] = "props";
        element["style"] = 5;
        element["attr"] = "not an object";
        list->readJsonValue(&element);
        Json::Value out(Json::objectValue);
        QVERIFY(list->serializeJsonValue(&out, false) || out.isObject());
    }

    void rowsArePooledByKind()
    {
        Counter c;
        QWidget target;
        TEVQPropertyList list;
        list.resize(300, 200);
        list.addItem(countedDef(c, PropText, &target));
        list.addItem(tevSeparatorRow());
        list.addItem(countedDef(c, PropBool, &target));
        QCOMPARE(list.rowCount(), 3);
        QCOMPARE(contentHeight(list), 90);
        QCOMPARE(list.rowAt(2)->row->geometry(), QRect(0, 60, 300, 30));
        QCOMPARE(list.rowAt(0)->lineEdit->geometry(), QRect(120, 0, 180, 30));
        QVERIFY(!list.rowAt(1)->nameLabel);
        QCOMPARE(list.rowAt(1)->line->geometry(), QRect(120, 15, 300, 1));
        PropertyRow* first = list.rowAt(0);

        list.removeAll();
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(!first->inUse);
        QVERIFY(first->row->isHidden());
        list.addItem(countedDef(c, PropTextArea, &target));
        QCOMPARE(list.rowAt(0), first);
        QCOMPARE(contentHeight(list), 30);
        QCOMPARE(first->nameLabel->text(), QStringLiteral("Row 1"));
        QCOMPARE(first->row->geometry().y(), 0);
        QCOMPARE(c.textSets, 0);

        // Kinds without an editor add nothing.
        for (int kind : {7, 8, 15, -1}) {
            list.addItem(countedDef(c, kind, &target));
            QCOMPARE(list.rowCount(), 1);
            QCOMPARE(contentHeight(list), 30);
        }
        list.resize(300, 100);
        QCOMPARE(list.contentWidget()->size(), QSize(300, 30));
    }

    // Rows made before the list takes its size (a child widget starts 100 wide) follow the list's width, their
    // editors with them.
    void rowsFollowTheListWidth()
    {
        Counter c;
        QWidget target;
        QWidget host;
        auto* list = new TEVQPropertyList(&host);
        for (int kind : {int(PropText), int(PropBool), int(PropSeparator), int(PropFillStyle), int(PropInt)})
            list->addItem(countedDef(c, kind, &target));
        list->resize(400, 200);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(list->rowAt(0)->row->geometry(), QRect(0, 0, 400, 30));
        QCOMPARE(list->rowAt(0)->lineEdit->geometry(), QRect(120, 0, 280, 30));
        QCOMPARE(list->rowAt(1)->checkBox->geometry(), QRect(120, 0, 280, 30));
        QCOMPARE(list->rowAt(2)->line->geometry(), QRect(120, 15, 400, 1));
        QCOMPARE(list->rowAt(3)->valueLabel->geometry(), QRect(120, 0, 250, 30));
        QCOMPARE(list->rowAt(3)->button->geometry(), QRect(375, 5, 20, 20));
        QCOMPARE(list->rowAt(4)->spinBoxes[0]->geometry(), QRect(120, 0, 280, 30));
        // A pooled row taken again at another width is placed at that width.
        list->removeAll();
        list->resize(300, 200);
        list->addItem(countedDef(c, PropText, &target));
        QCOMPARE(list->rowAt(0)->lineEdit->geometry(), QRect(120, 0, 180, 30));
    }

    // Rows that overflow the list's height leave room for the vertical bar: the list does not scroll sideways
    // and the style buttons are not under the bar. Rows that fit take the whole width again.
    void overflowingRowsLeaveRoomForTheBar()
    {
        Counter c;
        QWidget target;
        TEVQPropertyList list;
        list.resize(300, 100);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        for (int i = 0; i < 5; ++i)
            list.addItem(countedDef(c, PropFillStyle, &target));
        QTRY_VERIFY(list.viewport()->width() < 300);
        const int room = list.viewport()->width();
        QCOMPARE(list.contentWidget()->width(), room);
        QTRY_COMPARE(list.horizontalScrollBar()->maximum(), 0);
        QCOMPARE(list.rowAt(4)->button->geometry().right(), room - 6);
        tevtest::keepRender(list.grab().toImage(), QStringLiteral("propertylist_overflow.png"));
        list.removeAll();
        list.addItem(countedDef(c, PropFillStyle, &target));
        QCOMPARE(list.contentWidget()->width(), 300);
        QCOMPARE(list.rowAt(0)->button->geometry().right(), 294);
    }

    void pageChildrenLeaveItsRowsAlone()
    {
        // A "qtproperty" element of a page with a child container: the list keeps its own content widget and
        // rows (a scroll view would take the container as its content and delete the one it had).
        Counter c;
        QWidget target;
        QWidget host;
        const Json::Value element = tevtest::parse(R"({"type": "qtproperty", "name": "p", "x": 0, "y": 0,
            "w": 300, "h": 200, "child": [{"type": "qtcontainer", "name": "inner", "w": 50, "h": 50}]})");
        QWidget* root = createChild(element, &host);
        auto* list = qobject_cast<TEVQPropertyList*>(root);
        QVERIFY(list);
        QWidget* content = list->contentWidget();
        QVERIFY(content);
        QCOMPARE(list->widget(), content);
        list->resize(320, 210);
        list->addItem(countedDef(c, PropText, &target));
        QCOMPARE(list->rowCount(), 1);
        QCOMPARE(list->rowAt(0)->row->parentWidget(), content);
        QCOMPARE(content->size(), QSize(320, 30));
        QImage image(list->size(), QImage::Format_ARGB32_Premultiplied);
        list->render(&image);
        list->removeAll();
        QCOMPARE(list->rowCount(), 0);
    }

    void contentReplacedOrDeletedTakesItsRowsAlong()
    {
        // The rows live in the content widget. Replacing it through setWidget (which deletes it), or deleting
        // it, takes displayed and pooled rows with it; the list then builds new rows in a new content widget.
        Counter c;
        QWidget target;
        TEVQPropertyList list;
        list.resize(300, 200);
        list.addItem(countedDef(c, PropText, &target));
        list.addItem(countedDef(c, PropBool, &target));
        list.removeAll();
        list.addItem(countedDef(c, PropText, &target)); // one row shown, one kept in the pool
        QPointer<QWidget> old = list.contentWidget();
        auto* foreign = new QWidget;
        list.setWidget(foreign);
        QVERIFY(!old);
        QCOMPARE(list.rowCount(), 0);
        QVERIFY(!list.rowAt(0));
        list.removeAll();
        list.layout();
        list.addItem(countedDef(c, PropBool, &target));
        QCOMPARE(list.rowCount(), 1);
        QWidget* content = list.contentWidget();
        QVERIFY(content);
        QCOMPARE(list.widget(), content);
        QCOMPARE(list.rowAt(0)->row->parentWidget(), content);
        QCOMPARE(content->size(), QSize(300, 30));
        list.rowAt(0)->checkBox->setChecked(true);
        QCOMPARE(c.boolSets, 1);
        QCOMPARE(c.flag, true);

        // Taken out of the view and deleted by the caller.
        list.addItem(countedDef(c, PropText, &target));
        delete list.takeWidget();
        QCOMPARE(list.rowCount(), 0);
        list.removeAll();
        list.addItem(countedDef(c, PropInt, &target));
        QCOMPARE(list.rowCount(), 1);
        QCOMPARE(list.widget(), list.contentWidget());
        list.rowAt(0)->spinBoxes[0]->setValue(9);
        QCOMPARE(c.number, 9);
        QCOMPARE(c.intSets, 1);
        QImage image(list.size(), QImage::Format_ARGB32_Premultiplied);
        list.render(&image);
    }

    void valuesArePutInWithoutCallingSetters()
    {
        Counter c;
        QWidget target;
        TEVQPropertyList list;
        list.resize(300, 300);
        QSignalSpy changed(&list, &TEVQPropertyList::valueChanged);
        for (int kind : {PropText, PropReadOnly, PropBool, PropFillStyle, PropTextStyle, PropInt}) {
            c.flag = true;
            list.addItem(countedDef(c, kind, &target));
        }
        QCOMPARE(c.textSets + c.boolSets + c.intSets, 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(list.rowAt(0)->lineEdit->text(), QStringLiteral("start"));
        QCOMPARE(list.rowAt(1)->valueLabel->text(), QStringLiteral("start"));
        QVERIFY(list.rowAt(2)->checkBox->isChecked());
        QCOMPARE(list.rowAt(3)->valueLabel->text(), QStringLiteral("panelFill"));
        QCOMPARE(list.rowAt(4)->valueLabel->text(), QStringLiteral("captionText"));
        QCOMPARE(list.rowAt(5)->spinBoxes[0]->value(), 5);
        QCOMPARE(list.rowAt(3)->button->geometry(), QRect(275, 5, 20, 20));
        QCOMPARE(list.rowAt(3)->valueLabel->geometry(), QRect(120, 0, 150, 30));
        const QVariant id = list.rowAt(0)->lineEdit->property("Prop_ID");
        QCOMPARE(id.userType(), int(QMetaType::VoidStar));
        QCOMPARE(id.value<void*>(), static_cast<void*>(&list.rowAt(0)->def));
    }

    void editsCallSettersAndSignal()
    {
        Counter c;
        QWidget target;
        TEVQPropertyList list;
        list.resize(300, 300);
        list.addItem(countedDef(c, PropText, &target));
        list.addItem(countedDef(c, PropBool, &target));
        list.addItem(countedDef(c, PropFillStyle, &target));
        PropertyDef intDef = countedDef(c, PropInt, &target);
        intDef.minimum = 0;
        intDef.maximum = 10000;
        list.addItem(intDef);
        QSignalSpy changed(&list, &TEVQPropertyList::valueChanged);
        QSignalSpy selected(&list, &TEVQPropertyList::selectEvent);

        QLineEdit* edit = list.rowAt(0)->lineEdit;
        edit->setText(QStringLiteral("a"));
        edit->setText(QStringLiteral("ab"));
        QCOMPARE(c.textSets, 2);
        QCOMPARE(c.text, QStringLiteral("ab"));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed[1][0].value<PropertyDef*>(), &list.rowAt(0)->def);

        list.rowAt(1)->checkBox->setChecked(true);
        QCOMPARE(c.boolSets, 1);
        QVERIFY(c.flag);
        QCOMPARE(changed.count(), 3);

        list.rowAt(2)->button->click();
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected[0][0].value<PropertyDef*>(), &list.rowAt(2)->def);
        QCOMPARE(changed.count(), 3);

        QSpinBox* spin = list.rowAt(3)->spinBoxes[0];
        spin->setValue(20000);
        QCOMPARE(spin->value(), 10000);
        QCOMPARE(c.number, 10000);
        spin->setValue(-3);
        QCOMPARE(c.number, 0);
        QCOMPARE(c.intSets, 2);
        QCOMPARE(changed.count(), 5);

        // A freed row's editors name no def: an edit reaches no setter.
        QLineEdit* freed = list.rowAt(0)->lineEdit;
        list.removeAll();
        freed->setText(QStringLiteral("after"));
        QCOMPARE(c.textSets, 2);
        QCOMPARE(changed.count(), 5);
        // A foreign value in Prop_ID finds no def either.
        freed->setProperty("Prop_ID", QVariant::fromValue<void*>(&c));
        freed->setText(QStringLiteral("forged"));
        QCOMPARE(c.textSets, 2);
    }

    // A setter may rebuild the grid (a host following the control's own signals): no valueChanged then names
    // the def the edited row shows now, another property's.
    void setterThatRebuildsTheGrid()
    {
        Counter c;
        QWidget target;
        TEVQPropertyList list;
        list.resize(300, 200);
        QSignalSpy changed(&list, &TEVQPropertyList::valueChanged);
        PropertyDef other = countedDef(c, PropText, &target);
        other.name = QStringLiteral("Other");
        PropertyDef rebuilding = countedDef(c, PropText, &target);
        rebuilding.setText = [grid = &list, other](QWidget*, const QString&) {
            const PropertyDef next = other; // this setter's own def goes with the grid
            TEVQPropertyList* l = grid;
            l->removeAll();
            l->addItem(next);
        };
        list.addItem(rebuilding);
        list.rowAt(0)->lineEdit->setText(QStringLiteral("x"));
        QCOMPARE(list.rowAt(0)->def.name, QStringLiteral("Other"));
        QCOMPARE(changed.count(), 0);
        list.rowAt(0)->lineEdit->setText(QStringLiteral("y"));
        QCOMPARE(changed.count(), 1);
    }

    void listenersRebuildTheGridOrDropTheTarget()
    {
        // A designer rebuilds the grid from valueChanged and selectEvent (the editor that sent the edit is
        // reused for the new rows), or deletes the control being edited.
        Counter c;
        auto* target = new QWidget;
        TEVQPropertyList list;
        list.resize(300, 300);
        PropertyDef pair = countedDef(c, PropSize, target);
        pair.getSize = [](QWidget*) { return QSize(3, 4); };
        int sizeSets = 0;
        pair.setSize = [&sizeSets](QWidget*, const QSize&) { ++sizeSets; };
        const QVector<PropertyDef> defs{countedDef(c, PropText, target), countedDef(c, PropBool, target),
                                        countedDef(c, PropFillStyle, target), pair,
                                        countedDef(c, PropPadding, target), countedDef(c, PropInt, target)};
        const auto rebuild = [&] {
            list.removeAll();
            for (const PropertyDef& d : defs)
                list.addItem(d);
        };
        rebuild();
        int rebuilds = 0;
        connect(&list, &TEVQPropertyList::valueChanged, &list, [&](PropertyDef*) { ++rebuilds, rebuild(); });
        connect(&list, &TEVQPropertyList::selectEvent, &list, [&](PropertyDef*) { ++rebuilds, rebuild(); });
        list.rowAt(0)->lineEdit->setText(QStringLiteral("x"));
        list.rowAt(1)->checkBox->setChecked(!list.rowAt(1)->checkBox->isChecked());
        list.rowAt(2)->button->click();
        list.rowAt(3)->spinBoxes[1]->setValue(8);
        list.rowAt(4)->spinBoxes[2]->setValue(6);
        list.rowAt(5)->spinBoxes[0]->setValue(7);
        QCOMPARE(rebuilds, 6);
        QCOMPARE(c.textSets, 2); // the text row and the padding row
        QCOMPARE(c.boolSets, 1);
        QCOMPARE(sizeSets, 1);
        QCOMPARE(c.intSets, 1);
        QCOMPARE(list.rowCount(), defs.size());
        // The rows show the values read again.
        QCOMPARE(list.rowAt(3)->spinBoxes[1]->value(), 4);

        // The control deleted by a listener: later edits call no setter.
        disconnect(&list, nullptr, &list, nullptr);
        connect(&list, &TEVQPropertyList::valueChanged, &list, [&](PropertyDef*) { delete target; target = nullptr; });
        list.rowAt(0)->lineEdit->setText(QStringLiteral("y"));
        QVERIFY(!target);
        QCOMPARE(c.textSets, 3);
        QSignalSpy unchanged(&list, &TEVQPropertyList::valueChanged);
        list.rowAt(0)->lineEdit->setText(QStringLiteral("z"));
        list.rowAt(1)->checkBox->setChecked(!list.rowAt(1)->checkBox->isChecked());
        list.rowAt(4)->spinBoxes[0]->setValue(2);
        list.rowAt(3)->spinBoxes[0]->setValue(2);
        QCOMPARE(c.textSets, 3);
        QCOMPARE(sizeSets, 1);
        QCOMPARE(unchanged.count(), 0); // nothing was set: no change is reported
        QImage image(list.size(), QImage::Format_ARGB32_Premultiplied);
        list.render(&image);
    }

    void everyCatalogueRowEditsItsControl()
    {
        int edited = 0;
        for (ControlInfo* info : tevGetAllControlInfo()) {
            const QByteArray type = QByteArray::fromStdString(info->typeName);
            QWidget host;
            host.resize(400, 300);
            QWidget* control = createControlByType(type.constData(), &host);
            if (!control)
                continue; // catalogued under a name whose factory needs more than a parent
            control->resize(200, 100);
            // A combo box's "Context" row picks one of its items.
            if (auto* combo = qobject_cast<QComboBox*>(control))
                combo->addItems({QStringLiteral("edited"), QStringLiteral("edited again")});
            TEVQPropertyList list;
            list.resize(360, 400);
            QVector<PropertyDef> rows;
            {
                // The caller's catalogue copy dies before the edits: the rows keep their own.
                ControlInfo copy = *info;
                for (PropertyDef& d : copy.props) {
                    d.target = control;
                    list.addItem(d);
                }
            }
            QSignalSpy changed(&list, &TEVQPropertyList::valueChanged);
            QSignalSpy selected(&list, &TEVQPropertyList::selectEvent);
            for (int i = 0; i < list.rowCount(); ++i) {
                PropertyRow* row = list.rowAt(i);
                PropertyDef& def = row->def;
                const QString where = QStringLiteral("%1 / %2").arg(QString::fromLatin1(type), def.name);
                const int before = changed.count();
                switch (def.kind) {
                case PropText:
                case PropTextArea:
                case PropImage:
                case PropColor: {
                    QVERIFY2(row->lineEdit, qPrintable(where));
                    if (!def.setText || !def.getText)
                        break;
                    const QString value = newTextFor(def.kind, def.getText(control));
                    row->lineEdit->setText(value);
                    QVERIFY2(def.getText(control).compare(value, Qt::CaseInsensitive) == 0, qPrintable(where));
                    QVERIFY2(changed.count() > before, qPrintable(where));
                    ++edited;
                    break;
                }
                case PropReadOnly:
                    QVERIFY2(row->valueLabel, qPrintable(where));
                    if (def.getText)
                        QCOMPARE(row->valueLabel->text(), def.getText(control));
                    break;
                case PropBool: {
                    QVERIFY2(row->checkBox, qPrintable(where));
                    if (!def.setBool || !def.getBool)
                        break;
                    const bool value = !def.getBool(control);
                    row->checkBox->setChecked(value);
                    QVERIFY2(def.getBool(control) == value, qPrintable(where));
                    ++edited;
                    break;
                }
                case PropFillStyle:
                case PropTextStyle: {
                    QVERIFY2(row->button, qPrintable(where));
                    const int selectsBefore = selected.count();
                    row->button->click();
                    QVERIFY2(selected.count() == selectsBefore + 1, qPrintable(where));
                    PropertyDef* picked = selected.last()[0].value<PropertyDef*>();
                    QVERIFY2(picked == &def, qPrintable(where));
                    // The host writes the chosen style back through the def it was given.
                    if (def.kind == PropFillStyle && picked->setFillStyle && picked->getFillStyle) {
                        FillStyle style;
                        style.name = QStringLiteral("chosenFill");
                        style.fillRes.fillColor = QColor(1, 2, 3);
                        picked->setFillStyle(control, 0, style);
                        QVERIFY2(picked->getFillStyle(control, 0).fillRes.fillColor == QColor(1, 2, 3),
                                 qPrintable(where));
                        ++edited;
                    } else if (def.kind == PropTextStyle && picked->setTextStyle && picked->getTextStyle) {
                        TextStyleDesc style = picked->getTextStyle(control, 0);
                        style.name = QStringLiteral("chosenText");
                        style.color = QColor(4, 5, 6);
                        picked->setTextStyle(control, 0, style);
                        QVERIFY2(picked->getTextStyle(control, 0).color == QColor(4, 5, 6), qPrintable(where));
                        ++edited;
                    }
                    break;
                }
                case PropInt:
                case PropChoice: {
                    QSpinBox* spin = row->spinBoxes[0];
                    QVERIFY2(spin, qPrintable(where));
                    QCOMPARE(spin->minimum(), def.minimum);
                    QCOMPARE(spin->maximum(), def.maximum);
                    if (!def.setInt || !def.getInt)
                        break;
                    const int value = otherValue(def.getInt(control), def.minimum, def.maximum);
                    spin->setValue(value);
                    QVERIFY2(def.getInt(control) == value, qPrintable(where));
                    ++edited;
                    break;
                }
                case PropSize: {
                    QVERIFY2(row->spinBoxes[1], qPrintable(where));
                    if (!def.setSize || !def.getSize)
                        break;
                    row->spinBoxes[0]->setValue(37);
                    row->spinBoxes[1]->setValue(23);
                    QVERIFY2(def.getSize(control) == QSize(37, 23), qPrintable(where));
                    ++edited;
                    break;
                }
                case PropPadding: {
                    QVERIFY2(row->spinBoxes[3], qPrintable(where));
                    if (!def.setText || !def.getText)
                        break;
                    for (int k = 0; k < 4; ++k)
                        row->spinBoxes[k]->setValue(k + 2);
                    QVERIFY2(def.getText(control).remove(QLatin1Char(' ')) == QLatin1String("2,3,4,5"),
                             qPrintable(where));
                    ++edited;
                    break;
                }
                case PropSeparator:
                    QVERIFY2(row->line, qPrintable(where));
                    break;
                default:
                    QFAIL(qPrintable(QStringLiteral("row without an editor shown: ") + where));
                }
            }
            QCOMPARE(list.rowCount(), int(std::count_if(info->props.begin(), info->props.end(), [](const PropertyDef& d) {
                                              return d.kind != 7 && d.kind != 8 && d.kind <= PropColor && d.kind >= 0;
                                          })));
            // The control deleted elsewhere: every editor still works and touches nothing.
            delete control;
            for (int i = 0; i < list.rowCount(); ++i) {
                PropertyRow* row = list.rowAt(i);
                if (row->lineEdit)
                    row->lineEdit->setText(QStringLiteral("gone"));
                if (row->checkBox)
                    row->checkBox->toggle();
                for (TEVQSpinBox* spin : row->spinBoxes)
                    if (spin)
                        spin->setValue(spin->value() == spin->minimum() ? spin->maximum() : spin->minimum());
                if (row->button)
                    row->button->click();
            }
            list.removeAll();
        }
        QVERIFY(edited > 50);
    }

    void render()
    {
        QWidget host;
        host.resize(300, 100);
        TEVQLabel* label = new TEVQLabel(&host);
        label->setObjectName(QStringLiteral("statusLabel"));
        label->setToolTip(QStringLiteral("Plant status"));
        TEVQPropertyList list;
        list.resize(360, 12 * 30);
        ControlInfo info = TEVQLabel::getProps();
        for (PropertyDef& d : info.props) {
            d.target = label;
            list.addItem(d);
        }
        QImage image(list.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(40, 44, 52));
        list.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        tevtest::keepRender(image, QStringLiteral("propertylist.png"));
        QCOMPARE(list.rowAt(0)->lineEdit->text(), QStringLiteral("statusLabel"));
    }
};

TEV_TEST_MAIN(PropertyListTest)
#include "tst_propertylist.moc"
