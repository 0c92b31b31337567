#include "CScrollBarStyle.h"

#include "ITEVQWidgetBase.h"
#include "TEVQComboBox.h"
#include "TEVQSlider.h"

#include <QStyleOptionComplex>
#include <QWidget>

namespace {
const TEVQSlider* asSlider(const QWidget* widget) { return qobject_cast<const TEVQSlider*>(widget); }

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
    if (control == CC_Slider && subControl == SC_SliderHandle) {
        if (const TEVQSlider* slider = asSlider(widget)) {
            // The slider's own thumb, centred across the groove.
            const QSize thumb = slider->getThumbBtnSize();
            r.setSize(thumb);
            if (slider->orientation() == Qt::Horizontal)
                r.moveTop((widget->height() - thumb.height()) / 2);
            else
                r.moveLeft((widget->width() - thumb.width()) / 2);
        }
    } else if (control == CC_ComboBox && qobject_cast<const TEVQComboBox*>(widget)) {
        // The drop button the combo box paints, a square of its height at its right edge, is where it opens its
        // list, and an editable box's line edit ends before it.
        const QRect box = option->rect;
        const QRect button(box.right() - box.height(), box.top(), box.height(), box.height());
        if (subControl == SC_ComboBoxArrow)
            return button;
        if (subControl == SC_ComboBoxEditField && r.right() >= button.left())
            r.setRight(button.left() - 1);
    }
    return r;
}

int CScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (metric == PM_SliderLength) {
        if (const TEVQSlider* slider = asSlider(widget))
            return slider->getSliderLength();
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}
