#pragma once
// The interface every framework widget implements beside its Qt widget class. Containers, the page loader, the
// designer and the theme machinery reach a widget's layout data, type name, painter object, theme and JSON
// through it. A widget class never writes these operations by hand: TEV_WIDGET (TEVQWidgetMacros.h) gives it
// all of them as one-line forwarders.
#include "TEVGlobal.h"

#include <QObject>
#include <QString>

namespace Json {
class Value;
}

namespace TEVQtLib {

class TEVQWidgetBase;
class TEVQWidgetBaseImpl;

// How a widget is placed in its container. -1 (not set) is treated like 1 by resizeWidget.
enum LayoutType : int {
    LayoutTypeUnset = -1,
    LayoutTypeRatio = 0,    // a share of the container's free space
    LayoutTypeAbsolute = 1, // the rectangle x, y, w, h
};

// Size policy on one axis inside a container's row or column; -1 is not set.
enum LayoutSizePolicy : int {
    LayoutSizePolicyUnset = -1,
    LayoutSizePolicyFree = 0,
    LayoutSizePolicyFixed = 1,
};

// Absolute docking on one axis; values outside 0..2 are clamped wherever they are set.
enum DockLayoutType : int {
    DockLayoutNear = 0,   // left or top
    DockLayoutCenter = 1,
    DockLayoutFar = 2,    // right or bottom
};

class TEV_EXPORT ITEVQWidgetBase
{
public:
    virtual TEVQWidgetBase* getControlBase() = 0;
    // json is a Json::Value*. False when the widget has no painter object; else the result of the painter's reader.
    virtual bool readJsonValue(void* json) = 0;
    virtual void setLayoutRatio(int ratio) = 0;
    virtual int getLayoutRatio() const = 0;
    virtual void setWidthPolicy(LayoutSizePolicy policy) = 0;
    virtual LayoutSizePolicy getWidthPolicy() = 0;
    virtual void setHeightPolicy(LayoutSizePolicy policy) = 0;
    virtual LayoutSizePolicy getHeightPolicy() = 0;
    virtual void setAbsoluteLayout(bool absolute) = 0;
    virtual bool getAbsoluteLayout() const = 0;
    virtual void setAbsoluteDock(DockLayoutType hor, DockLayoutType ver, int offsetX, int offsetY) = 0;
    virtual void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver, int& offsetX, int& offsetY) const = 0;
    virtual void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver) const = 0;
    // The layout data's ratio/rectangle (a TEVLayoutRect), or null.
    virtual void getLayoutData(void*& data) const = 0;
    virtual void setGeometry(int x, int y, int w, int h) = 0;
    // Alpha on the 0..255 scale, stored as given.
    virtual void setOpacity(int opacity) = 0;
    virtual int getOpacity() const = 0;
    virtual LayoutType getLayoutType() = 0;
    virtual QString getTypeName() = 0;
    virtual TEVQWidgetBaseImpl* getControlImpl() = 0;
    virtual void createComplete() = 0;
    virtual void resizeWidget() = 0;
    virtual void notifyChangeLanguage() = 0;
    virtual bool serializeJsonValue(Json::Value* json, bool load) = 0;
    virtual void setThemeName(const QString& name) = 0;
    virtual QString jsonData() = 0;
    virtual void setJsonData(const QString& json) = 0;

protected:
    // Widgets are deleted as widgets, never through the interface.
    ~ITEVQWidgetBase() = default;
};

} // namespace TEVQtLib

Q_DECLARE_INTERFACE(TEVQtLib::ITEVQWidgetBase, "ITEVQWidgetBase")

namespace TEVQtLib {
// The interface of a framework widget, or null for any other object. A widget class that declares no
// meta-object of its own (the rich text label) does not answer the interface in Qt's meta-cast; it is reached
// by a cast of the object itself.
inline ITEVQWidgetBase* tevWidgetInterface(QObject* object)
{
    if (!object)
        return nullptr;
    if (ITEVQWidgetBase* w = qobject_cast<ITEVQWidgetBase*>(object))
        return w;
    return object->isWidgetType() ? dynamic_cast<ITEVQWidgetBase*>(object) : nullptr;
}
} // namespace TEVQtLib
