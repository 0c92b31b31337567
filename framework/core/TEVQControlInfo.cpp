#include "TEVQControlInfo.h"

#include "ITEVQWidgetBase.h"

#include <QVariant>

namespace TEVQtLib {

bool PropertyDef::hasGetter() const
{
    return getText || getBool || getInt || getFillStyle || getTextStyle || getSize;
}

bool PropertyDef::hasSetter() const
{
    return setText || setBool || setInt || setFillStyle || setTextStyle || setSize;
}

QStringList tevStateOptions()
{
    return {QStringLiteral("Normal"), QStringLiteral("Hot"), QStringLiteral("Pressed"), QStringLiteral("Disable")};
}

PropertyDef tevSeparatorRow(const QString& name)
{
    PropertyDef d;
    d.name = name;
    d.kind = PropSeparator;
    return d;
}

ControlInfo tevControlInfo(const char* typeName, const char* displayName, const char* description,
                           const char* className, const char* iconName)
{
    ControlInfo info;
    info.kind = 1;
    info.typeName = typeName;
    info.displayName = displayName;
    info.description = description;
    info.className = className;
    info.iconName = iconName;
    info.props = tevCommonPropertyRows();
    return info;
}

QVector<PropertyDef> tevCommonPropertyRows()
{
    // "Visibility" edits what every framework widget's getInnerVisible/setInnerVisible edit: the dynamic
    // property "visibility"; setting it hides the widget (the designer shows it again on its canvas).
    auto setInnerVisible = [](ITEVQWidgetBase* i, bool v) {
        QWidget* w = dynamic_cast<QWidget*>(i);
        w->setProperty("visibility", v);
        w->setVisible(false);
    };
    auto getInnerVisible = [](ITEVQWidgetBase* i) {
        return dynamic_cast<QWidget*>(i)->property("visibility").toBool();
    };
    return {
        tevTextRow<QWidget>(QStringLiteral("Name"), PropText, &QObject::setObjectName, &QObject::objectName),
        tevTextRow<ITEVQWidgetBase>(QStringLiteral("Type"), PropReadOnly, nullptr, &ITEVQWidgetBase::getTypeName),
        tevBoolRow<ITEVQWidgetBase>(QStringLiteral("Visibility"), setInnerVisible, getInnerVisible),
        tevBoolRow<QWidget>(QStringLiteral("Enable"), &QWidget::setEnabled, &QWidget::isEnabled),
        tevTextRow<QWidget>(QStringLiteral("Tooltip"), PropTextArea, &QWidget::setToolTip, &QWidget::toolTip),
        tevIntRow<ITEVQWidgetBase>(QStringLiteral("Alpha"), &ITEVQWidgetBase::setOpacity,
                                   &ITEVQWidgetBase::getOpacity),
        tevSeparatorRow(QStringLiteral("Line")),
    };
}

} // namespace TEVQtLib
