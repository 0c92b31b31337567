#pragma once
// Qt's integer spin box as a framework widget: layout data, common JSON and the "attr" bag, with QSpinBox's own
// behaviour. It paints nothing of its own, and QAbstractSpinBox's frame and step buttons are not painted (they
// still take clicks): what shows is the embedded editor's text over a transparent background. Value, range and
// step are not part of its JSON.
#include "TEVQWidgetMacros.h"

#include <QSpinBox>

class TEVQSpinBox;

class TEV_EXPORT TEVQSpinBoxImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQSpinBoxImpl(TEVQSpinBox* owner);
    ~TEVQSpinBoxImpl() override;

    // The state follows the owner's enabled flag as in every control; nothing is drawn, so no painter is
    // opened.
    void paintEvent(QWidget* owner, QPaintEvent* event) override;
    void draw(QPainter* painter, const QRect& rect) override;
};

class TEV_EXPORT TEVQSpinBox : public QSpinBox, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQSpinBox, "qtspinbox")
public:
    explicit TEVQSpinBox(QWidget* parent = nullptr);
    ~TEVQSpinBox() override;

    TEVQSpinBoxImpl* painter() const { return tevImpl<TEVQSpinBoxImpl>(); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
