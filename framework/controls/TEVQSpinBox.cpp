#include "TEVQSpinBox.h"

using namespace TEVQtLib;

TEVQSpinBoxImpl::TEVQSpinBoxImpl(TEVQSpinBox* ownerSpinBox) : TEVQWidgetBaseImpl(ownerSpinBox, TEVQSpinBox::typeName())
{
}

TEVQSpinBoxImpl::~TEVQSpinBoxImpl() = default;

void TEVQSpinBoxImpl::paintEvent(QWidget*, QPaintEvent*)
{
    if (!owner)
        return;
    if (!owner->isEnabled())
        state = CtrlStateDisable;
    else if (state == CtrlStateDisable)
        state = CtrlStateNormal;
}

void TEVQSpinBoxImpl::draw(QPainter*, const QRect&) {}

TEVQSpinBox::TEVQSpinBox(QWidget* parent) : QSpinBox(parent)
{
    tevSetImpl(new TEVQSpinBoxImpl(this), false);
    setFrame(false);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    painter()->applyTheme();
}

TEVQSpinBox::~TEVQSpinBox() = default;

void TEVQSpinBox::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }
