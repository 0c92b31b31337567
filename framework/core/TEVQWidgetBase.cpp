#include "TEVQWidgetBase.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQWidgetBaseImpl.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace TEVQtLib {

namespace {

TEVQWidgetBase::CreateControlHook g_createControlHook = nullptr;

int g_pageBuildDepth = 0;

struct AfterPageLayoutTask {
    QPointer<QObject> owner;
    std::function<void()> task;
};
std::vector<AfterPageLayoutTask> g_afterPageLayout;

const Json::Value* g_placedElement = nullptr;
std::vector<QPointer<QWidget>> g_sizesLeftToLayout;
std::vector<QPointer<QWidget>> g_showAfterLayout;

// Where each open page build's deferred work starts in the lists above, innermost last: a page built while
// another is (a control whose reading opens a page, a slot of a widget made on the way) runs only what was
// asked for during its own build, and leaves the outer page's for the outer layout pass.
struct PageBuildMark {
    std::size_t tasks;
    std::size_t sizes;
    std::size_t shows;
    const Json::Value* placedElement;
};
std::vector<PageBuildMark> g_pageBuildMarks;

std::size_t tasksStart() { return g_pageBuildMarks.empty() ? 0 : g_pageBuildMarks.back().tasks; }
std::size_t sizesStart() { return g_pageBuildMarks.empty() ? 0 : g_pageBuildMarks.back().sizes; }
std::size_t showsStart() { return g_pageBuildMarks.empty() ? 0 : g_pageBuildMarks.back().shows; }

// Takes the entries of the innermost build out of list (those from start on).
std::vector<QPointer<QWidget>> takeFrom(std::vector<QPointer<QWidget>>& list, std::size_t start)
{
    std::vector<QPointer<QWidget>> out;
    if (start >= list.size())
        return out;
    out.assign(std::make_move_iterator(list.begin() + std::ptrdiff_t(start)), std::make_move_iterator(list.end()));
    list.resize(start);
    return out;
}

// Whether the common-key reader leaves the show of owner to the end of the page build: only while a page is
// built, for a widget not shown yet whose parent is on screen (a page's top element in a shown window). Shown
// now, every widget built below it would be shown, laid out and repainted one by one.
bool showAfterLayout(const QWidget* owner)
{
    if (!tevIsBuildingPage() || owner->isWindow() || owner->isVisible())
        return false;
    const QWidget* parent = owner->parentWidget();
    return parent && parent->isVisible();
}

// The value of a policy key: -1, 0 and 1 are kept, anything else is -1.
LayoutSizePolicy policyValue(const Json::Value& v)
{
    const std::optional<int> p = json::toInt(v);
    return (p && *p >= -1 && *p <= 1) ? LayoutSizePolicy(*p) : LayoutSizePolicyUnset;
}

// The members of an element that the common-key reader and the show below look at, found in one walk over
// the element's members (a page reads hundreds of elements; a search per key costs several string compares
// for each of some twenty keys).
struct CommonKeys {
    explicit CommonKeys(const Json::Value& element)
    {
        if (!json::isObject(element))
            return;
        json::forEachMember(element, [this](const char* key, std::size_t length, const Json::Value& value) {
            if (const Json::Value** slot = slotOf(key, length))
                *slot = &value;
        });
        if (layout) {
            json::forEachMember(*layout, [this](const char* key, std::size_t length, const Json::Value& value) {
                if (length == 4 && std::memcmp(key, "type", 4) == 0)
                    layoutType = &value;
                else if (length == 5 && std::memcmp(key, "ratio", 5) == 0)
                    layoutRatio = &value;
            });
        }
    }
    bool anyDock() const { return dockHor || dockVer || dockOffsetX || dockOffsetY; }
    const Json::Value* name = nullptr;
    const Json::Value* tooltip = nullptr;
    const Json::Value* visibility = nullptr;
    const Json::Value* enable = nullptr;
    const Json::Value* layout = nullptr;
    const Json::Value* x = nullptr;
    const Json::Value* y = nullptr;
    const Json::Value* w = nullptr;
    const Json::Value* h = nullptr;
    const Json::Value* dockHor = nullptr;
    const Json::Value* dockVer = nullptr;
    const Json::Value* dockOffsetX = nullptr;
    const Json::Value* dockOffsetY = nullptr;
    const Json::Value* absoluteLayout = nullptr;
    const Json::Value* widthPolicy = nullptr;
    const Json::Value* heightPolicy = nullptr;
    const Json::Value* minWidth = nullptr;
    const Json::Value* minHeight = nullptr;
    const Json::Value* maxWidth = nullptr;
    const Json::Value* maxHeight = nullptr;
    // The "type" and "ratio" members of "layout".
    const Json::Value* layoutType = nullptr;
    const Json::Value* layoutRatio = nullptr;

private:
    // Whether key (of the length of name) is name.
    template <std::size_t N>
    static bool same(const char* key, const char (&name)[N])
    {
        return std::memcmp(key, name, N - 1) == 0;
    }

    const Json::Value** slotOf(const char* key, std::size_t length)
    {
        switch (length) {
        case 1:
            switch (key[0]) {
            case 'x': return &x;
            case 'y': return &y;
            case 'w': return &w;
            case 'h': return &h;
            default: return nullptr;
            }
        case 4: return same(key, "name") ? &name : nullptr;
        case 6: return same(key, "layout") ? &layout : same(key, "enable") ? &enable : nullptr;
        case 7: return same(key, "tooltip") ? &tooltip : nullptr;
        case 8: return same(key, "minWidth") ? &minWidth : same(key, "maxWidth") ? &maxWidth : nullptr;
        case 9: return same(key, "minHeight") ? &minHeight : same(key, "maxHeight") ? &maxHeight : nullptr;
        case 10: return same(key, "visibility") ? &visibility : nullptr;
        case 11: return same(key, "widthPolicy") ? &widthPolicy : nullptr;
        case 12: return same(key, "heightPolicy") ? &heightPolicy : nullptr;
        case 14: return same(key, "absoluteLayout") ? &absoluteLayout : nullptr;
        case 15: return same(key, "absoluteDockHor") ? &dockHor : same(key, "absoluteDockVer") ? &dockVer : nullptr;
        case 19:
            return same(key, "absoluteDockOffsetX") ? &dockOffsetX
                   : same(key, "absoluteDockOffsetY") ? &dockOffsetY
                                                      : nullptr;
        default: return nullptr;
        }
    }
};

// Whether showing owner (read from element) may leave out Qt's adjustSize: only during a page build, for the
// element the loader marked, of ratio layout, not docked, in a parent whose layout pass will then give it its
// whole rectangle before anything reads its size.
bool sizeLeftToParentLayout(QWidget* owner, const Json::Value& element, const CommonKeys& keys)
{
    if (!tevIsBuildingPage() || g_placedElement != &element || owner->isWindow() ||
        owner->testAttribute(Qt::WA_Resized) || !keys.layout || keys.anyDock() || keys.absoluteLayout)
        return false;
    QWidget* parent = owner->parentWidget();
    if (!parent || parent->layout())
        return false;
    if (const Json::Value* type = keys.layoutType) {
        const std::optional<unsigned int> t = json::toUInt(*type);
        if (!t || *t != 0)
            return false;
    }
    const auto* host = dynamic_cast<const ITEVQLayoutHost*>(parent);
    return host && host->placesChildWholly(keys.widthPolicy ? policyValue(*keys.widthPolicy) : LayoutSizePolicyUnset,
                                           keys.heightPolicy ? policyValue(*keys.heightPolicy) : LayoutSizePolicyUnset);
}

constexpr int kUnboundedSize = 16777215;

// Owner geometry setter that never reaches a widget class's own setGeometry. Qt's rectangle keeps its right and
// bottom edges as ints: a position and size from a page are brought into Qt's widget range first, so that
// their sum cannot overflow (Qt would clamp the size to that range anyway).
void applyGeometry(QWidget* owner, const TEVLayoutRect& r)
{
    if (!owner)
        return;
    auto pos = [](int v) { return qBound(-kUnboundedSize, v, kUnboundedSize); };
    auto size = [](int v) { return qBound(0, v, kUnboundedSize); };
    owner->QWidget::setGeometry(pos(r.x), pos(r.y), size(r.w), size(r.h));
}

void writeIfNonZero(Json::Value& element, const char* key, int value)
{
    if (value != 0)
        json::member(element, key) = value;
}

} // namespace

bool tevIsKindOf(const QObject* object, const char* className)
{
    if (!object || !className)
        return false;
    // Compare unqualified class names along the meta-object chain, so that "TEVQContainer" finds the class
    // whatever namespace declares it.
    const char* wanted = std::strrchr(className, ':');
    wanted = wanted ? wanted + 1 : className;
    for (const QMetaObject* mo = object->metaObject(); mo; mo = mo->superClass()) {
        const char* name = mo->className();
        const char* last = std::strrchr(name, ':');
        if (std::strcmp(last ? last + 1 : name, wanted) == 0)
            return true;
    }
    return false;
}

bool tevIsBuildingPage() { return g_pageBuildDepth > 0; }

void tevAfterPageLayout(QObject* owner, std::function<void()> task)
{
    if (!task)
        return;
    if (!tevIsBuildingPage()) {
        task();
        return;
    }
    g_afterPageLayout.push_back({QPointer<QObject>(owner), std::move(task)});
}

void detail::runAfterPageLayoutTasks()
{
    // Only the innermost build's tasks. A task may ask for further tasks: they run in this same round. One that
    // builds a page runs that page's tasks in its own build, after the entries seen here.
    const std::size_t start = tasksStart();
    for (std::size_t i = start; i < g_afterPageLayout.size(); ++i) {
        AfterPageLayoutTask t = std::move(g_afterPageLayout[i]);
        if (t.owner)
            t.task();
    }
    if (start < g_afterPageLayout.size())
        g_afterPageLayout.resize(start);
}

void detail::setElementPlacedByParent(const Json::Value* element) { g_placedElement = element; }

void detail::settleSizesLeftToLayout()
{
    const std::vector<QPointer<QWidget>> widgets = takeFrom(g_sizesLeftToLayout, sizesStart());
    for (const QPointer<QWidget>& w : widgets) {
        if (!w || w->testAttribute(Qt::WA_Resized))
            continue; // gone, or given a size since
        ITEVQWidgetBase* self = tevWidgetInterface(w);
        const auto* host = dynamic_cast<const ITEVQLayoutHost*>(w->parentWidget());
        const bool placed = self && host && !self->getAbsoluteLayout() && self->getLayoutType() == LayoutTypeRatio &&
                            host->placesChildWholly(self->getWidthPolicy(), self->getHeightPolicy());
        if (!placed)
            w->adjustSize();
    }
}

void detail::showWidgetsLeftHidden()
{
    const std::vector<QPointer<QWidget>> widgets = takeFrom(g_showAfterLayout, showsStart());
    for (const QPointer<QWidget>& w : widgets) {
        // Gone, shown already, or hidden on purpose since ("visibility": false, a control's own code).
        if (!w || w->isVisible() ||
            (w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->testAttribute(Qt::WA_WState_Hidden)))
            continue;
        // Its size was settled when it was read and by the layout pass: the show does not adjust it again.
        const bool resized = w->testAttribute(Qt::WA_Resized);
        w->setAttribute(Qt::WA_Resized, true);
        w->setVisible(true);
        w->setAttribute(Qt::WA_Resized, resized);
    }
}

detail::PageBuildScope::PageBuildScope()
{
    g_pageBuildMarks.push_back(
        {g_afterPageLayout.size(), g_sizesLeftToLayout.size(), g_showAfterLayout.size(), g_placedElement});
    ++g_pageBuildDepth;
}

detail::PageBuildScope::~PageBuildScope()
{
    --g_pageBuildDepth;
    // The element the enclosing build was reading is its own again.
    g_placedElement = g_pageBuildMarks.back().placedElement;
    g_pageBuildMarks.pop_back();
}

DockLayoutType tevClampDock(int value)
{
    return DockLayoutType(value < 0 ? 0 : (value > 2 ? 2 : value));
}

void TEVQWidgetBase::setCreateControlHook(CreateControlHook hook) { g_createControlHook = hook; }
TEVQWidgetBase::CreateControlHook TEVQWidgetBase::createControlHook() { return g_createControlHook; }

TEVQWidgetBase::TEVQWidgetBase(QWidget* ownerWidget) : owner(ownerWidget) {}

TEVQWidgetBaseImpl* TEVQWidgetBase::painter() const
{
    if (painterObject || ownerDeclaresProperties || !owner)
        return painterObject;
    const QVariant v = owner->property("impl");
    if (!v.isValid())
        return nullptr;
    return static_cast<TEVQWidgetBaseImpl*>(v.value<void*>());
}

bool TEVQWidgetBase::visibilityProperty() const
{
    if (ownerDeclaresProperties)
        return visibilityValue.toBool();
    return owner && owner->property("visibility").toBool();
}

void TEVQWidgetBase::setVisibilityProperty(bool visible)
{
    if (ownerDeclaresProperties)
        visibilityValue = visible;
    else if (owner)
        owner->setProperty("visibility", visible);
}

QVariant TEVQWidgetBase::containerBaseGeometryProperty() const
{
    return hasContainerBaseGeometry ? QVariant(containerBaseGeometry) : QVariant();
}

void TEVQWidgetBase::setContainerBaseGeometryProperty(const QVariant& value)
{
    hasContainerBaseGeometry = value.isValid() && value.canConvert<QRect>();
    containerBaseGeometry = hasContainerBaseGeometry ? value.toRect() : QRect();
}

TEVQWidgetBase* tevDeclaredRecord(QObject* object)
{
    ITEVQWidgetBase* self = tevWidgetInterface(object);
    TEVQWidgetBase* record = self ? self->getControlBase() : nullptr;
    return record && record->ownerDeclaresProperties ? record : nullptr;
}

// ---- setters and getters -----------------------------------------------------------------------------------

void TEVQWidgetBase::setLayoutRatio(int ratio)
{
    layoutType = LayoutTypeRatio;
    layout.x = ratio > 0 ? ratio : 1;
    if (owner) {
        if (auto* host = dynamic_cast<ITEVQLayoutHost*>(owner->parentWidget()))
            host->forceResize();
    }
}

int TEVQWidgetBase::getLayoutRatio() const
{
    if (layoutType != LayoutTypeRatio)
        return 1;
    return layout.x < 1 ? 1 : layout.x;
}

void TEVQWidgetBase::setWidthPolicy(LayoutSizePolicy policy) { widthPolicy = policy; }
void TEVQWidgetBase::setDefaultPolicies(LayoutSizePolicy width, LayoutSizePolicy height)
{
    widthPolicy = defaultWidthPolicy = width;
    heightPolicy = defaultHeightPolicy = height;
}
LayoutSizePolicy TEVQWidgetBase::getWidthPolicy() const { return widthPolicy; }
void TEVQWidgetBase::setHeightPolicy(LayoutSizePolicy policy) { heightPolicy = policy; }
LayoutSizePolicy TEVQWidgetBase::getHeightPolicy() const { return heightPolicy; }
void TEVQWidgetBase::setAbsoluteLayout(bool absolute) { absoluteLayout = absolute; }
bool TEVQWidgetBase::getAbsoluteLayout() const { return absoluteLayout; }

void TEVQWidgetBase::setAbsoluteDock(DockLayoutType hor, DockLayoutType ver, int offsetX, int offsetY)
{
    absoluteLayout = true;
    dockHor = tevClampDock(hor);
    dockVer = tevClampDock(ver);
    dockOffsetX = offsetX;
    dockOffsetY = offsetY;
}

void TEVQWidgetBase::getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver, int& offsetX, int& offsetY) const
{
    hor = dockHor;
    ver = dockVer;
    offsetX = dockOffsetX;
    offsetY = dockOffsetY;
}

void TEVQWidgetBase::getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver) const
{
    hor = dockHor;
    ver = dockVer;
}

void TEVQWidgetBase::getLayoutData(void*& data) const
{
    data = nullptr;
    if (layoutType == LayoutTypeRatio || layoutType == LayoutTypeAbsolute)
        data = const_cast<TEVLayoutRect*>(&layout);
}

void TEVQWidgetBase::setGeometry(const QRect& rect) { setGeometry(rect.x(), rect.y(), rect.width(), rect.height()); }

void TEVQWidgetBase::setGeometry(int x, int y, int w, int h)
{
    layoutType = LayoutTypeAbsolute;
    layout = TEVLayoutRect{x, y, w, h};
    applyGeometry(owner, layout);
}

void TEVQWidgetBase::setOpacity(int value)
{
    if (value == opacity)
        return;
    opacity = value;
    if (owner)
        owner->update();
}

int TEVQWidgetBase::getOpacity() const { return opacity; }
LayoutType TEVQWidgetBase::getLayoutType() const { return layoutType; }
QWidget* TEVQWidgetBase::getOwner() const { return owner; }

void TEVQWidgetBase::setThemeName(const QString& name)
{
    TEVQWidgetBaseImpl* impl = painter();
    if (!impl)
        return;
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    TEVQResourceManagerImpl* theme = rm->themeStore();
    if (!theme || !theme->loaded || rm->isDesigner())
        return;
    impl->themeName = name;
    refreshTheme();
}

QString TEVQWidgetBase::getThemeName() const
{
    TEVQWidgetBaseImpl* impl = painter();
    return impl ? impl->themeName : QString();
}

void TEVQWidgetBase::refreshTheme()
{
    if (TEVQWidgetBaseImpl* impl = painter())
        impl->applyTheme();
}

void TEVQWidgetBase::resizeWidget()
{
    if (!owner)
        return;
    QWidget* parent = owner->parentWidget();
    if (!parent)
        return;
    if (tevIsKindOf(owner, "TEVQContainer") &&
        (tevIsKindOf(parent, "TEVQWindow") || tevIsKindOf(parent, "TEVQWindowDesigner") || parent->isWindow()) &&
        (layoutType == LayoutTypeUnset || layoutType == LayoutTypeAbsolute)) {
        layoutType = LayoutTypeAbsolute;
        layout = TEVLayoutRect{0, 0, parent->width(), parent->height()};
    }
    // Last: a receiver of the resize may delete the widget, and this with it.
    if (layoutType == LayoutTypeAbsolute)
        applyGeometry(owner, layout);
}

QWidget* TEVQWidgetBase::cloneWidget(const QString& /*name*/)
{
    if (!owner || !g_createControlHook)
        return nullptr;
    ITEVQWidgetBase* self = tevWidgetInterface(owner);
    if (!self)
        return nullptr;
    return g_createControlHook(self->getTypeName(), Json::Value(), owner->parentWidget());
}

// ---- JSON ----------------------------------------------------------------------------------------------------

void TEVQWidgetBase::SaveLayout(Json::Value& element)
{
    if (layoutType == LayoutTypeRatio) {
        Json::Value sub(Json::objectValue);
        sub["type"] = 0;
        sub["ratio"] = layout.x;
        json::member(element, "layout") = sub;
        return;
    }
    layoutType = LayoutTypeAbsolute;
    if (tevIsInDesigner() && owner) {
        const QRect g = owner->geometry();
        layout = TEVLayoutRect{g.x(), g.y(), g.width(), g.height()};
    }
    writeIfNonZero(element, "x", layout.x);
    writeIfNonZero(element, "y", layout.y);
    json::member(element, "w") = layout.w;
    json::member(element, "h") = layout.h;
}

namespace {

// The layout keys of an element (see TEVQWidgetBase::LoadLayout), from the members found already.
void readLayout(TEVQWidgetBase& base, const CommonKeys& keys)
{
    auto intOr = [](const Json::Value* v, int def) { return v ? json::toInt(*v).value_or(def) : def; };
    if (!keys.layoutType) {
        base.layoutType = LayoutTypeRatio;
    } else {
        // A type that is not an unsigned integer (-1, "x") is as unknown as 5.
        const std::optional<unsigned int> t = json::toUInt(*keys.layoutType);
        if (t && *t == 0) {
            base.layoutType = LayoutTypeRatio;
        } else if (t && *t == 1) {
            QWidget* owner = base.owner;
            base.layoutType = LayoutTypeAbsolute;
            base.layout.x = intOr(keys.x, 0);
            base.layout.y = intOr(keys.y, 0);
            base.layout.w = intOr(keys.w, owner ? owner->width() : 0);
            base.layout.h = intOr(keys.h, owner ? owner->height() : 0);
            applyGeometry(owner, base.layout);
        } else {
            base.layoutType = LayoutTypeAbsolute;
        }
    }
    if (base.layoutType == LayoutTypeRatio)
        base.layout.x = intOr(keys.layoutRatio, 1);
}

} // namespace

void TEVQWidgetBase::LoadLayout(const Json::Value& element) { readLayout(*this, CommonKeys(element)); }

bool TEVQWidgetBase::serializeJsonValue(Json::Value* json, bool load)
{
    if (!json || !owner || tevIsKindOf(owner, "TEVQMenu"))
        return true;
    Json::Value& element = *json;

    if (!load) {
        if (ITEVQWidgetBase* self = tevWidgetInterface(owner))
            json::member(element, "type") = json::fromQString(self->getTypeName());
        json::member(element, "name") = json::fromQString(owner->objectName());
        if (!owner->toolTip().isEmpty())
            json::member(element, "tooltip") = json::fromQString(owner->toolTip());
        if (!visibilityProperty())
            json::member(element, "visibility") = false;
        // Explicitly disabled: a child of a disabled container is not itself saved as disabled.
        if (owner->testAttribute(Qt::WA_ForceDisabled))
            json::member(element, "enable") = false;
        if (absoluteLayout) {
            json::member(element, "absoluteLayout") = true;
            writeIfNonZero(element, "absoluteDockHor", dockHor);
            writeIfNonZero(element, "absoluteDockVer", dockVer);
            writeIfNonZero(element, "absoluteDockOffsetX", dockOffsetX);
            writeIfNonZero(element, "absoluteDockOffsetY", dockOffsetY);
        }
        if (widthPolicy != LayoutSizePolicyUnset || defaultWidthPolicy != LayoutSizePolicyUnset)
            json::member(element, "widthPolicy") = int(widthPolicy);
        if (heightPolicy != LayoutSizePolicyUnset || defaultHeightPolicy != LayoutSizePolicyUnset)
            json::member(element, "heightPolicy") = int(heightPolicy);
        if (owner->minimumWidth() > 0)
            json::member(element, "minWidth") = owner->minimumWidth();
        if (owner->minimumHeight() > 0)
            json::member(element, "minHeight") = owner->minimumHeight();
        if (owner->maximumWidth() != kUnboundedSize)
            json::member(element, "maxWidth") = owner->maximumWidth();
        if (owner->maximumHeight() != kUnboundedSize)
            json::member(element, "maxHeight") = owner->maximumHeight();
        SaveLayout(element);
        return true;
    }

    // A theme element never changes the common keys.
    if (TEVQResourceManager::getInstance()->isLoadFromThemeRes())
        return true;

    const CommonKeys keys(element);
    QString text;
    if (json::read(keys.name, text)) {
        // A receiver of objectNameChanged() may delete the widget: nothing more is read into it.
        const QPointer<QWidget> alive(owner);
        owner->setObjectName(text);
        if (!alive)
            return false;
    }
    if (json::read(keys.tooltip, text))
        owner->setToolTip(text);
    const bool showLater = showAfterLayout(owner);
    if (showLater) {
        // Read into a parent on screen while a page is built: the widget stays hidden, so that the tree below
        // it is built off screen and shown once, after the page's layout pass. It takes the size Qt's show
        // would give it now.
        if (!owner->testAttribute(Qt::WA_Resized) && !owner->parentWidget()->layout()) {
            owner->adjustSize();
            owner->setAttribute(Qt::WA_Resized, false);
        }
        g_showAfterLayout.emplace_back(owner);
    } else if (sizeLeftToParentLayout(owner, element, keys)) {
        // Shown without taking its size hint (Qt's adjustSize on show): the parent's layout pass sizes it before
        // its size is read, and the hint would be thrown away (its text and style are read only after this).
        owner->setAttribute(Qt::WA_Resized, true);
        owner->setVisible(true);
        owner->setAttribute(Qt::WA_Resized, false);
        g_sizesLeftToLayout.emplace_back(owner);
    } else {
        owner->setVisible(true);
    }
    bool flag = false;
    if (json::read(keys.visibility, flag)) {
        if (!flag || !showLater)
            owner->setVisible(flag);
        setVisibilityProperty(flag);
    } else {
        setVisibilityProperty(true);
    }
    if (json::read(keys.enable, flag))
        owner->setEnabled(flag);

    if (keys.layout) {
        readLayout(*this, keys);
    } else {
        layoutType = LayoutTypeAbsolute;
        auto intOr0 = [](const Json::Value* v) { return v ? json::toInt(*v).value_or(0) : 0; };
        layout = TEVLayoutRect{intOr0(keys.x), intOr0(keys.y), intOr0(keys.w), intOr0(keys.h)};
    }

    absoluteLayout = keys.anyDock();
    if (keys.absoluteLayout) {
        if (const std::optional<bool> on = json::toBool(*keys.absoluteLayout))
            absoluteLayout = *on;
    }
    auto intOf = [](const Json::Value* v) { return v ? json::toInt(*v).value_or(0) : 0; };
    dockHor = tevClampDock(intOf(keys.dockHor));
    dockVer = tevClampDock(intOf(keys.dockVer));
    dockOffsetX = intOf(keys.dockOffsetX);
    dockOffsetY = intOf(keys.dockOffsetY);

    if (keys.widthPolicy)
        widthPolicy = policyValue(*keys.widthPolicy);
    if (keys.heightPolicy)
        heightPolicy = policyValue(*keys.heightPolicy);

    // Below 1 is 0; above Qt's largest size is that size (for a minimum Qt reads it as none), without Qt's warning.
    auto readSize = [](const Json::Value* v, int& out) {
        const std::optional<int> size = v ? json::toInt(*v) : std::nullopt;
        if (!size)
            return false;
        out = *size < 1 ? 0 : (*size > kUnboundedSize ? kUnboundedSize : *size);
        return true;
    };
    int size = 0;
    if (readSize(keys.minWidth, size))
        owner->setMinimumWidth(size);
    if (readSize(keys.minHeight, size))
        owner->setMinimumHeight(size);
    if (readSize(keys.maxWidth, size))
        owner->setMaximumWidth(size);
    if (readSize(keys.maxHeight, size))
        owner->setMaximumHeight(size);
    return true;
}

} // namespace TEVQtLib
