#pragma once
// A framework control that places parts of its Qt complex control itself (the slider's handle, the combo box's
// drop button) and paints them there. The framework's proxy style asks the widget through this interface
// (dynamic_cast from the widget), so that Qt's hit testing, dragging and sub-widget layout use the parts the
// control paints, and the style knows no control.
#include "TEVGlobal.h"

#include <QRect>
#include <QStyle>

namespace TEVQtLib {

class TEV_EXPORT ITEVQStyleParts
{
public:
    // The control's own value of metric, into value; false leaves the style's. The style asks only for the metrics
    // a control sets (today the slider length, PM_SliderLength); a control that sets another adds it there.
    virtual bool stylePixelMetric(QStyle::PixelMetric metric, int& value) const = 0;
    // The rectangle of subControl of control (option may be null); rect comes in as Qt's common style places it
    // and is changed in place where the control places the part itself.
    virtual void styleSubControlRect(QStyle::ComplexControl control, const QStyleOptionComplex* option,
                                     QStyle::SubControl subControl, QRect& rect) const = 0;

protected:
    ~ITEVQStyleParts() = default;
};

} // namespace TEVQtLib
