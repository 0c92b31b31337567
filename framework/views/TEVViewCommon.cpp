#include "TEVViewCommon.h"

#include "ITEVQWidgetBase.h"
#include "TEVQWidgetBaseImpl.h"

using namespace TEVQtLib;

std::vector<TEVViewPart> tevViewParts(QObject* root)
{
    std::vector<TEVViewPart> parts;
    if (!root)
        return parts;
    std::vector<QObject*> stack{root};
    // Depth-first pre-order with the children in their order.
    while (!stack.empty()) {
        QObject* o = stack.back();
        stack.pop_back();
        ITEVQWidgetBase* base = tevWidgetInterface(o);
        if (!base || !base->getControlImpl())
            continue;
        parts.push_back({QPointer<QWidget>(static_cast<QWidget*>(o)), base->getControlImpl()});
        const QObjectList& children = o->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(*it);
    }
    return parts;
}
