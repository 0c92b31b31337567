#include "CScrollBarStyle.h"

#include "ITEVQStyleParts.h"
#include "ITEVQWidgetBase.h"

#include <QStyleOptionComplex>
#include <QWidget>

namespace {
using TEVQtLib::ITEVQStyleParts;

const ITEVQStyleParts* partsOf(const QWidget* widget) { return dynamic_cast<const ITEVQStyleParts*>(widget); }

// The framework's own widgets take their parts' rectangles from Qt's common style, whatever style is proxied.
// A plain Qt widget is drawn by the proxied style, which places its parts by its own rectangles: handing it the
// common style's would break its drawing (Fusion's plain slider gets a handle of no height and draws none).
bool usesCommonRects(const QWidget* widget)
{
    return !widget || TEVQtLib::tevWidgetInterface(const_cast<QWidget*>(widget));
}
} // namespace

CScrollBarStyle::CScrollBarStyle(QStyle* base) : QProxyStyle(base) {}

CScrollBarStyle::~CScrollBarStyle() = default;

QRect CScrollBarStyle::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const
{
    if (!usesCommonRects(widget))
        return QProxyStyle::subElementRect(element, option, widget);
    return QCommonStyle::subElementRect(element, option, widget);
}

QRect CScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl subControl, const QWidget* widget) const
{
    if (!usesCommonRects(widget))
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    QRect r = QCommonStyle::subControlRect(control, option, subControl, widget);
    if (const ITEVQStyleParts* parts = partsOf(widget))
        parts->styleSubControlRect(control, option, subControl, r);
    return r;
}

int CScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    // The slider length is the one metric a framework control sets: asking for it alone keeps every other metric,
    // asked often and of every widget, free of the type test.
    if (metric == PM_SliderLength) {
        if (const ITEVQStyleParts* parts = partsOf(widget)) {
            int value = 0;
            if (parts->stylePixelMetric(metric, value))
                return value;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}
