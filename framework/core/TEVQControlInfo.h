#pragma once
// The designer catalogue of a control type: `ControlInfo` (kind, names, class, icon and the property rows the
// property grid shows) and `PropertyDef` (one row with its editor kind and its typed getter and setter).
//
// A row's accessors are type-erased callables that take the widget the property grid edits. The row
// builders below wrap a member function (or any callable taking the class) in a lambda that first checks the
// widget's dynamic type, so a row never calls a member on an object of the wrong class: a widget of another
// type makes the getter give the value's default and the setter do nothing.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QPointer>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>
#include <string>
#include <type_traits>
#include <utility>

namespace TEVQtLib {

// Editor kinds of the property grid.
enum PropertyKind {
    PropText = 0,        // text ("Name")
    PropTextArea = 1,    // text ("Tooltip", "Text")
    PropReadOnly = 2,    // read-only text ("Type")
    PropBool = 3,        // check box ("Visibility", "Enable")
    PropSeparator = 4,   // separator line ("Line"), no accessors
    PropFillStyle = 5,   // fill style name, per state
    PropTextStyle = 6,   // text style name, per state
    PropImage = 9,       // image name
    PropInt = 10,        // integer between minimum and maximum ("Alpha")
    PropSize = 11,       // width and height
    PropPadding = 12,    // four paddings, as the text "left,top,right,bottom"
    PropChoice = 13,     // one of the options, by its index
    PropColor = 14,      // colour, as the text of eight hexadecimal digits AARRGGBB
};

struct TEV_EXPORT PropertyDef {
    using TextGetter = std::function<QString(QWidget*)>;
    using TextSetter = std::function<void(QWidget*, const QString&)>;
    using BoolGetter = std::function<bool(QWidget*)>;
    using BoolSetter = std::function<void(QWidget*, bool)>;
    using IntGetter = std::function<int(QWidget*)>;
    using IntSetter = std::function<void(QWidget*, int)>;
    // Style accessors take the state (`CtrlState`) the row's option list selects.
    using FillStyleGetter = std::function<FillStyle(QWidget*, int state)>;
    using FillStyleSetter = std::function<void(QWidget*, int state, const FillStyle&)>;
    using TextStyleGetter = std::function<TextStyleDesc(QWidget*, int state)>;
    using TextStyleSetter = std::function<void(QWidget*, int state, const TextStyleDesc&)>;
    using SizeGetter = std::function<QSize(QWidget*)>;
    using SizeSetter = std::function<void(QWidget*, const QSize&)>;

    QString name;
    // At most one pair is set, matching the value type of the row; any of them may be empty.
    TextSetter setText;
    TextGetter getText;
    BoolSetter setBool;
    BoolGetter getBool;
    IntSetter setInt;
    IntGetter getInt;
    FillStyleSetter setFillStyle;
    FillStyleGetter getFillStyle;
    TextStyleSetter setTextStyle;
    TextStyleGetter getTextStyle;
    SizeSetter setSize;
    SizeGetter getSize;
    int kind = PropText;
    QString text2;        // second text, empty in the built-in rows
    QStringList options;  // state names of a style row, or the choices of a row
    int minimum = -10000;
    int maximum = 10000;
    bool flag = true;
    QPointer<QWidget> target; // the widget the property grid binds the row to

    bool hasGetter() const;
    bool hasSetter() const;
};

// The catalogue entry of a control type. Plain value, copied as a whole.
struct TEV_EXPORT ControlInfo {
    int kind = 1;              // 1 for every built-in entry
    std::string typeName;      // "qtlabel"
    std::string displayName;   // "Label"
    std::string description;   // "Control label"
    int reserved = 0;          // read by the designer only; 0 in the built-in entries
    std::string className;     // "TEVQLabel"
    std::string iconName;      // "label"
    QVector<PropertyDef> props;
    QVector<PropertyDef> extraProps; // empty in the built-in entries
    int extraWords[4] = {0, 0, 0, 0};
};

// The state names a per-state style row offers, for `CtrlState` 0 to 3: "Normal", "Hot", "Pressed", "Disable".
TEV_EXPORT QStringList tevStateOptions();

// The seven rows every catalogue entry starts with: "Name", "Type", "Visibility", "Enable", "Tooltip",
// "Alpha", "Line".
TEV_EXPORT QVector<PropertyDef> tevCommonPropertyRows();

// A catalogue entry of a built-in control type (kind 1) with its names and icon, its rows the common ones.
TEV_EXPORT ControlInfo tevControlInfo(const char* typeName, const char* displayName, const char* description,
                                      const char* className, const char* iconName);

// ---- row builders -------------------------------------------------------------------------------------------

namespace detail {

template <class W>
W* rowCast(QWidget* w)
{
    return w ? dynamic_cast<W*>(w) : nullptr;
}

template <class W, class Fn, class... Args>
void callSetter(const Fn& fn, QWidget* w, Args&&... args)
{
    if (W* o = rowCast<W>(w))
        std::invoke(fn, o, std::forward<Args>(args)...);
}

template <class W, class R, class Fn, class... Args>
R callGetter(const Fn& fn, QWidget* w, Args&&... args)
{
    if (W* o = rowCast<W>(w))
        return R(std::invoke(fn, o, std::forward<Args>(args)...));
    return R();
}

// The state argument of a style accessor: converts to int or to the control's own state enumeration.
struct StateArg {
    int value;
    template <class E>
    operator E() const
    {
        return static_cast<E>(value);
    }
};

template <class Fn>
constexpr bool isGiven()
{
    return !std::is_same<std::decay_t<Fn>, std::nullptr_t>::value;
}

} // namespace detail

// A text row (kinds 0, 1, 2, 9). set and get are member functions of W (or callables taking W*), or nullptr.
template <class W, class Set, class Get>
PropertyDef tevTextRow(const QString& name, int kind, Set set, Get get)
{
    PropertyDef d;
    d.name = name;
    d.kind = kind;
    if constexpr (detail::isGiven<Set>())
        d.setText = [set](QWidget* w, const QString& v) { detail::callSetter<W>(set, w, v); };
    if constexpr (detail::isGiven<Get>())
        d.getText = [get](QWidget* w) { return detail::callGetter<W, QString>(get, w); };
    return d;
}

// A check-box row (kind 3).
template <class W, class Set, class Get>
PropertyDef tevBoolRow(const QString& name, Set set, Get get)
{
    PropertyDef d;
    d.name = name;
    d.kind = PropBool;
    if constexpr (detail::isGiven<Set>())
        d.setBool = [set](QWidget* w, bool v) { detail::callSetter<W>(set, w, v); };
    if constexpr (detail::isGiven<Get>())
        d.getBool = [get](QWidget* w) { return detail::callGetter<W, bool>(get, w); };
    return d;
}

// An integer row (kind 10) with its limits.
template <class W, class Set, class Get>
PropertyDef tevIntRow(const QString& name, Set set, Get get, int minimum = -10000, int maximum = 10000)
{
    PropertyDef d;
    d.name = name;
    d.kind = PropInt;
    d.minimum = minimum;
    d.maximum = maximum;
    if constexpr (detail::isGiven<Set>())
        d.setInt = [set](QWidget* w, int v) { detail::callSetter<W>(set, w, v); };
    if constexpr (detail::isGiven<Get>())
        d.getInt = [get](QWidget* w) { return detail::callGetter<W, int>(get, w); };
    return d;
}

// A per-state fill style row (kind 5); set takes (state, style), get takes (state). The options are the
// four state names unless others are given.
template <class W, class Set, class Get>
PropertyDef tevFillStyleRow(const QString& name, Set set, Get get, QStringList options = tevStateOptions())
{
    PropertyDef d;
    d.name = name;
    d.kind = PropFillStyle;
    d.options = std::move(options);
    if constexpr (detail::isGiven<Set>())
        d.setFillStyle = [set](QWidget* w, int s, const FillStyle& v) { detail::callSetter<W>(set, w, detail::StateArg{s}, v); };
    if constexpr (detail::isGiven<Get>())
        d.getFillStyle = [get](QWidget* w, int s) { return detail::callGetter<W, FillStyle>(get, w, detail::StateArg{s}); };
    return d;
}

// A per-state text style row (kind 6).
template <class W, class Set, class Get>
PropertyDef tevTextStyleRow(const QString& name, Set set, Get get, QStringList options = tevStateOptions())
{
    PropertyDef d;
    d.name = name;
    d.kind = PropTextStyle;
    d.options = std::move(options);
    if constexpr (detail::isGiven<Set>())
        d.setTextStyle = [set](QWidget* w, int s, const TextStyleDesc& v) { detail::callSetter<W>(set, w, detail::StateArg{s}, v); };
    if constexpr (detail::isGiven<Get>())
        d.getTextStyle = [get](QWidget* w, int s) { return detail::callGetter<W, TextStyleDesc>(get, w, detail::StateArg{s}); };
    return d;
}

// A width-and-height row (kind 11). set takes (width, height), get fills (int& width, int& height); a widget of
// another type gives an invalid size.
template <class W, class Set, class Get>
PropertyDef tevSizeRow(const QString& name, Set set, Get get)
{
    PropertyDef d;
    d.name = name;
    d.kind = PropSize;
    if constexpr (detail::isGiven<Set>())
        d.setSize = [set](QWidget* w, const QSize& v) { detail::callSetter<W>(set, w, v.width(), v.height()); };
    if constexpr (detail::isGiven<Get>()) {
        d.getSize = [get](QWidget* w) {
            W* o = detail::rowCast<W>(w);
            if (!o)
                return QSize();
            int width = 0;
            int height = 0;
            std::invoke(get, o, width, height);
            return QSize(width, height);
        };
    }
    return d;
}

// A choice row (kind 13): the value is the index of one of options; set and get take and give it as an int
// or as the control's own enumeration.
template <class W, class Set, class Get>
PropertyDef tevChoiceRow(const QString& name, Set set, Get get, QStringList options)
{
    PropertyDef d;
    d.name = name;
    d.kind = PropChoice;
    d.options = std::move(options);
    d.minimum = 0;
    d.maximum = d.options.size() - 1;
    if constexpr (detail::isGiven<Set>())
        d.setInt = [set](QWidget* w, int v) { detail::callSetter<W>(set, w, detail::StateArg{v}); };
    if constexpr (detail::isGiven<Get>())
        d.getInt = [get](QWidget* w) { return detail::callGetter<W, int>(get, w); };
    return d;
}

// A separator row (kind 4) without accessors.
TEV_EXPORT PropertyDef tevSeparatorRow(const QString& name = QStringLiteral("Line"));

} // namespace TEVQtLib
