#pragma once
// The framework's proxy style, installed on the application by the framework's initialisation. A framework
// control that places parts of its complex control itself answers for them through ITEVQStyleParts (core): the
// slider its handle and slider length, the combo box its drop button, so that Qt's hit testing and dragging use
// the parts the control paints. The framework's widgets (and calls without a widget) get the rectangles of their
// parts from Qt's common style; plain Qt widgets get the proxied style's own, by which that style draws them.
// Everything else is the proxied style.
#include "TEVGlobal.h"

#include <QProxyStyle>

class TEV_EXPORT CScrollBarStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Proxies base (owned from now on), or the default style when base is null.
    explicit CScrollBarStyle(QStyle* base = nullptr);
    ~CScrollBarStyle() override;

    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};
