#include "CScrollBarStyle.h"

#include "TEVQSlider.h"

#include <QStyleOptionComplex>
#include <QWidget>

namespace {
const TEVQSlider* asSlider(const QWidget* widget) { return qobject_cast<const TEVQSlider*>(widget); }
} // namespace

CScrollBarStyle::CScrollBarStyle(QStyle* base) : QProxyStyle(base) {}

CScrollBarStyle::~CScrollBarStyle() = default;

QRect CScrollBarStyle::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const
{
    return QCommonStyle::subElementRect(element, option, widget);
}

QRect CScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl subControl, const QWidget* widget) const
{
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
