#pragma once
// The layout data and common element keys that every framework widget embeds, and the small hooks through
// which this core code reaches types that live above it (containers, the page loader).
#include <functional>
#include "ITEVQWidgetBase.h"

#include <QRect>
#include <QString>
#include <QVariant>

class QWidget;

namespace TEVQtLib {

// The rectangle of an absolute layout. For a ratio layout, x holds the ratio (the two share one place).
struct TEVLayoutRect
{
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// Implemented by a widget that arranges its children itself (the container). setLayoutRatio asks the parent
// to lay out again through it; found with dynamic_cast, so core needs no container header.
class TEV_EXPORT ITEVQLayoutHost
{
public:
    virtual void forceResize() = 0;
    // True when this host's next layout pass gives a layout child of ratio layout with these policies its whole
    // rectangle without reading the size it had before; false when unsure.
    virtual bool placesChildWholly(LayoutSizePolicy widthPolicy, LayoutSizePolicy heightPolicy) const
    {
        (void)widthPolicy;
        (void)heightPolicy;
        return false;
    }

protected:
    ~ITEVQLayoutHost() = default;
};

// True while the page loader builds a page. A layout host then leaves the passes that its children's arrival
// and its own resizing would start to the single pass, parents before children, that the loader runs on every
// host of the page once the page is built (and before control returns to the event loop).
TEV_EXPORT bool tevIsBuildingPage();

// While a page is built, task runs once the page and its layout pass are complete, before the page loader
// returns (in the order asked); it is dropped when owner is deleted first. Outside a page build it runs at once.
TEV_EXPORT void tevAfterPageLayout(QObject* owner, std::function<void()> task);

namespace detail {
// Runs the tasks asked for by tevAfterPageLayout so far (the page loader, once its page is laid out).
TEV_EXPORT void runAfterPageLayoutTasks();

// The element of a page whose widget its parent's layout pass is expected to place wholly (the page loader's
// hint: no sibling element is a spacer); reading the common keys of exactly that element may then leave out
// Qt's show-time size hint (see TEVQWidgetBase::serializeJsonValue). Null for none.
TEV_EXPORT void setElementPlacedByParent(const Json::Value* element);
// Before a page's layout pass: a widget whose show-time size was left out while its parent no longer places it
// wholly takes that size now.
TEV_EXPORT void settleSizesLeftToLayout();
// After a page's layout pass: the widgets whose show the common-key reader left for later (read into a parent
// already on screen) are shown now, each once with the tree below it, unless hidden meanwhile.
TEV_EXPORT void showWidgetsLeftHidden();

// Marks a page build for its lifetime (nestable).
class TEV_EXPORT PageBuildScope
{
public:
    PageBuildScope();
    ~PageBuildScope();
    PageBuildScope(const PageBuildScope&) = delete;
    PageBuildScope& operator=(const PageBuildScope&) = delete;
};
} // namespace detail

// True when the class of object, or one of its bases, has the unqualified name of className (namespaces ignored).
// This is how core tests for the types of later subsystems (TEVQContainer, TEVQWindow, TEVQMenu, ...).
TEV_EXPORT bool tevIsKindOf(const QObject* object, const char* className);

class TEV_EXPORT TEVQWidgetBase
{
public:
    // Creates a control of the given type with parent, reading json (an empty value for cloneWidget) into it;
    // null for an unknown type. Set by the page loader; until then cloneWidget gives null.
    using CreateControlHook = QWidget* (*)(const QString& typeName, const Json::Value& json, QWidget* parent);
    static void setCreateControlHook(CreateControlHook hook);
    static CreateControlHook createControlHook();

    explicit TEVQWidgetBase(QWidget* owner = nullptr);
    TEVQWidgetBase(const TEVQWidgetBase&) = default;
    TEVQWidgetBase& operator=(const TEVQWidgetBase&) = default;
    virtual ~TEVQWidgetBase() = default;

    // The common element keys and the layout, in the direction load gives. Nothing for a null json or a menu
    // owner; reading does nothing while the resource manager is switched to theme resources. Always true.
    virtual bool serializeJsonValue(Json::Value* json, bool load);

    void setLayoutRatio(int ratio);
    int getLayoutRatio() const;
    void setWidthPolicy(LayoutSizePolicy policy);
    // For constructors whose widgets start with other policies than -1: sets both policies and remembers them
    // as the class's defaults, so that a policy read back as -1 is written as -1 and not lost.
    void setDefaultPolicies(LayoutSizePolicy width, LayoutSizePolicy height);
    LayoutSizePolicy getWidthPolicy() const;
    void setHeightPolicy(LayoutSizePolicy policy);
    LayoutSizePolicy getHeightPolicy() const;
    void setAbsoluteLayout(bool absolute);
    bool getAbsoluteLayout() const;
    void setAbsoluteDock(DockLayoutType hor, DockLayoutType ver, int offsetX, int offsetY);
    void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver, int& offsetX, int& offsetY) const;
    void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver) const;
    // The address of `layout` (a TEVLayoutRect) for layout type 0 or 1, else null.
    void getLayoutData(void*& data) const;
    void setGeometry(const QRect& rect);
    void setGeometry(int x, int y, int w, int h);
    void setOpacity(int opacity);
    int getOpacity() const;
    LayoutType getLayoutType() const;
    void setThemeName(const QString& name);
    QString getThemeName() const;
    void refreshTheme();
    void resizeWidget();
    QWidget* getOwner() const;
    QWidget* cloneWidget(const QString& name);
    void LoadLayout(const Json::Value& element);
    void SaveLayout(Json::Value& element);

    // The record's fields; read them freely, change them through the setters.
    int opacity = 255;
    LayoutSizePolicy widthPolicy = LayoutSizePolicyUnset;
    LayoutSizePolicy heightPolicy = LayoutSizePolicyUnset;
    // The policies a new widget of this class has (-1 unless its constructor sets others).
    LayoutSizePolicy defaultWidthPolicy = LayoutSizePolicyUnset;
    LayoutSizePolicy defaultHeightPolicy = LayoutSizePolicyUnset;
    bool absoluteLayout = false;
    DockLayoutType dockHor = DockLayoutNear;
    DockLayoutType dockVer = DockLayoutNear;
    int dockOffsetX = 0;
    int dockOffsetY = 0;
    LayoutType layoutType = LayoutTypeAbsolute;
    TEVLayoutRect layout; // ratio in layout.x for a ratio layout
    QWidget* owner = nullptr;

    // What the framework keeps about its widget by name. On a widget class written with TEV_WIDGET the Qt
    // properties "impl", "visibility", "_tev_container_base_geometry" and "_tev_container_bound_scrollbar" are
    // declared ones that read and write these fields (ownerDeclaresProperties), so callers still find them by
    // name while the framework itself reads the fields; on any other owner they are the owner's dynamic
    // properties of those names.
    bool ownerDeclaresProperties = false;
    TEVQWidgetBaseImpl* painterObject = nullptr; // set with the painter object of a TEV_WIDGET class
    QVariant visibilityValue;                    // invalid until set
    QRect containerBaseGeometry;                 // valid while hasContainerBaseGeometry
    bool hasContainerBaseGeometry = false;
    QVariant boundScrollBarValue;                // invalid until set

    // The painter object: the field, else the owner's "impl" property; null when there is none.
    TEVQWidgetBaseImpl* painter() const;
    // The "visibility" property as bool (false when never set), and setting it.
    bool visibilityProperty() const;
    void setVisibilityProperty(bool visible);

    // The properties' values as callers see them through the Qt property system (invalid when not set).
    QVariant containerBaseGeometryProperty() const;
    void setContainerBaseGeometryProperty(const QVariant& value);
    QVariant boundScrollBarProperty() const { return boundScrollBarValue; }
    void setBoundScrollBarProperty(const QVariant& value) { boundScrollBarValue = value; }
};

// The record of a framework widget whose class declares the bookkeeping properties (TEV_WIDGET), else null:
// the container keeps its children's base geometry and bound-bar flag in it instead of dynamic properties.
TEV_EXPORT TEVQWidgetBase* tevDeclaredRecord(QObject* object);

// Clamps any integer into 0..2.
TEV_EXPORT DockLayoutType tevClampDock(int value);

} // namespace TEVQtLib
