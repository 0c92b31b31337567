#pragma once
// The page loader: a page document (JSON) becomes a tree of framework widgets inside a host widget, and a menu
// document fills a new menu. Core knows neither the container, the windows nor the menu: the host's window
// settings are reached through ITEVQWindowSettings, the container result and the menu through the functions
// of detail below, which the file that knows every subsystem's classes defines (TEVQBuiltinControls.cpp).
#include "TEVGlobal.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QWidget;
class TEVQContainer;
class TEVQMenu;

namespace Json {
class Value;
}

namespace TEVQtLib {

// Builds the page document file into parent: the root keys set the host window ("w", "h", "trans", "drag",
// "resize", "minH", "minW", "onlyDragCaption"; only on a host with window settings: the frameless window, the
// sub-window and the canvas window; sizes are kept within 0..32767), then every item of "elements" is created
// as a child of parent and laid out at once (a root container fills its window). The result is the last
// element's widget when it is a container, else null (also when the document is missing, empty or not JSON,
// or "elements" is missing or empty). ".json" is appended to a file name that does not contain it; the
// document is taken from the loaded resources, else from the skin directory (last component matched without
// letter case), else from the plain path. Elements that cannot be created are reported and skipped, with
// their subtrees; their siblings are still created.
TEV_EXPORT TEVQContainer* tevCreatePageByFileName(QWidget* parent, QString file);

// A new menu with parent, filled from the menu document file (found like a page) by the menu's reader. Null
// when the document cannot be found or parsed, or its root is not an object.
TEV_EXPORT TEVQMenu* tevCreateMenuByFileName(QWidget* parent, QString file);

// Creates one element and its subtree into parent: the element's own widget (createControl), then each item
// of its "child" array into it, then its createComplete (children complete before their parents); an element
// of a "child" array is then laid out by its resizeWidget, as the page function lays out the top elements.
// Null, with a warning, for an element without a string "type", an unknown type, or nesting deeper than
// kMaxPageElementDepth. Elements of type "qtscrollbar" are left to the view that owns them (null) unless the
// resource manager is switched to project resources.
TEV_EXPORT QWidget* createChild(const Json::Value& element, QWidget* parent);

// One widget of type: the bound creator is asked first (with the element's "name" and the type), then the
// registry. The widget is given parent and, when it is a framework widget, reads element (unless element is
// null) with the theme-resources switch off. Null for an unknown type, and for a creator that hands back parent
// or one of its ancestors.
TEV_EXPORT QWidget* createControl(const char* type, const Json::Value& element, QWidget* parent);

// Levels of elements below a page's top elements that are still created; deeper ones are skipped.
constexpr int kMaxPageElementDepth = 64;

namespace detail {

// Points TEVQWidgetBase's create-control hook (cloneWidget) at createControl. Run by init and by every page
// load.
TEV_EXPORT void installPageLoaderHooks();

// The document of file as the page loader finds it (see tevCreatePageByFileName); false when it is missing
// or empty. path (when given) is the file that was read, or the resource name.
TEV_EXPORT bool readPageDocument(const QString& file, QByteArray& bytes, QString* path = nullptr);

// Given each top element's widget with its element once the widget has read it and its resizeWidget has run,
// before the page's layout pass.
using TopElementHook = std::function<void(QWidget* widget, const Json::Value& element)>;

// What tevCreatePageByFileName does with the document once it has found and parsed it: root keys, elements,
// layout; the same result. For a caller that has read the document itself (the design canvas builds the very
// file it checked, whatever its name). placeTop, when given, may still place each top element's widget before
// the page is laid out (the design canvas's page, which stands for a window without being one).
TEV_EXPORT TEVQContainer* createPageFromDocument(QWidget* parent, const Json::Value& root,
                                                 const TopElementHook& placeTop = TopElementHook());

// Defined by TEVQBuiltinControls.cpp: w as a container, or null.
TEVQContainer* asContainer(QWidget* w);
// Defined by TEVQBuiltinControls.cpp: a new menu with parent that has read root, or null when root is not an
// object.
TEVQMenu* createMenuFromJson(QWidget* parent, const Json::Value& root);

} // namespace detail

} // namespace TEVQtLib
