#include "TEVQSpacer.h"

#include "TEVJson.h"
#include "TEVQContainer.h"

#include <json/json.h>

using namespace TEVQtLib;

TEVQSpacerImpl::TEVQSpacerImpl(QWidget* owner) : TEVQWidgetBaseImpl(owner, QStringLiteral("qtspacer")) {}

TEVQSpacerImpl::~TEVQSpacerImpl() = default;

bool TEVQSpacerImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (!TEVQWidgetBaseImpl::serializeJsonValue(json, load) || !json)
        return false;
    Json::Value& element = *json;
    if (load) {
        const Json::Value* attrs = json::find(element, "attr");
        if (!attrs)
            return true;
        int d = direction;
        json::read(*attrs, "direction", d);
        direction = TEVQSpacer::normalizedDirection(d);
        json::read(*attrs, "thickness", thickness);
        if (thickness < 0)
            thickness = 0;
        return true;
    }
    // "attr" is looked up in every case: an element with nothing to write gets "attr": null.
    if (!json::isObject(element) && !element.isNull())
        return false;
    Json::Value& attrs = element["attr"];
    if (json::isObject(attrs)) {
        // Stale copies kept by the painter base's attribute store; the spacer writes its own values below.
        attrs.removeMember("direction");
        attrs.removeMember("thickness");
    }
    if (direction != 0)
        json::member(attrs, "direction") = direction;
    if (thickness != 0)
        json::member(attrs, "thickness") = thickness;
    return true;
}

TEVQSpacer::TEVQSpacer(QWidget* parent) : QWidget(parent)
{
    auto* painter = new TEVQSpacerImpl(this);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_MouseTracking, false);
    setMinimumSize(0, 0);
    tevSetImpl(painter);
}

TEVQSpacer::~TEVQSpacer() = default;

ControlInfo TEVQSpacer::getProps()
{
    ControlInfo info = tevControlInfo("qtspacer", "Spacer", "Elastic spacer", "TEVQSpacer", "container");
    PropertyDef direction = tevIntRow<TEVQSpacer>(
        QStringLiteral("Direction"), [](TEVQSpacer* s, int v) { s->setDirection(Direction(v)); },
        [](TEVQSpacer* s) { return int(s->getDirection()); }, 0, 2);
    direction.kind = 13; // a choice among the options
    direction.options = QStringList{QStringLiteral("Auto"), QStringLiteral("Horizontal"), QStringLiteral("Vertical")};
    info.props.append(direction);
    info.props.append(tevIntRow<TEVQSpacer>(QStringLiteral("Thickness"), &TEVQSpacer::setThickness,
                                            &TEVQSpacer::getThickness));
    return info;
}

int TEVQSpacer::normalizedDirection(int direction)
{
    return unsigned(direction) <= 2u ? direction : 0;
}

void TEVQSpacer::setDirection(Direction direction)
{
    if (auto* d = tevImpl<TEVQSpacerImpl>())
        d->direction = normalizedDirection(int(direction));
    relayoutParent();
}

TEVQSpacer::Direction TEVQSpacer::getDirection() const
{
    const auto* d = tevImpl<TEVQSpacerImpl>();
    return d ? Direction(d->direction) : Auto;
}

void TEVQSpacer::setThickness(int thickness)
{
    if (auto* d = tevImpl<TEVQSpacerImpl>())
        d->thickness = qMax(thickness, 0);
    relayoutParent();
}

int TEVQSpacer::getThickness() const
{
    const auto* d = tevImpl<TEVQSpacerImpl>();
    return d ? d->thickness : 0;
}

void TEVQSpacer::relayoutParent()
{
    if (auto* c = qobject_cast<TEVQContainer*>(parentWidget()))
        c->forceResize();
}
