#pragma once
// An invisible, elastic gap for the container layout: it paints nothing, lets mouse events through and takes
// no focus. Its direction says on which axis it absorbs free space; its thickness is its cross size.
#include "TEVQControlInfo.h"
#include "TEVQWidgetMacros.h"

#include <QWidget>

class TEV_EXPORT TEVQSpacerImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQSpacerImpl(QWidget* owner);
    ~TEVQSpacerImpl() override;

    bool serializeJsonValue(Json::Value*& json, bool load) override;

    int direction = 0; // TEVQSpacer::Direction
    int thickness = 0; // never negative
};

class TEV_EXPORT TEVQSpacer : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET(TEVQSpacer, QWidget, "qtspacer")
public:
    enum Direction {
        Auto = 0,
        Horizontal = 1,
        Vertical = 2,
    };
    Q_ENUM(Direction)

    explicit TEVQSpacer(QWidget* parent = nullptr);
    ~TEVQSpacer() override;

    static TEVQtLib::ControlInfo getProps();

    // Values outside 0..2 store Auto. Both setters have a parent container lay out again.
    void setDirection(Direction direction);
    Direction getDirection() const;
    // Negative values store 0.
    void setThickness(int thickness);
    int getThickness() const;

    // A direction as stored: 0..2, anything else 0.
    static int normalizedDirection(int direction);

private:
    void relayoutParent();
};
