#include "TEVViewCommon.h"

#include "ITEVQWidgetBase.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVRowIconCache.h"
#include "TEVRowTextCache.h"

#include <QIcon>
#include <QModelIndex>
#include <QPainter>

using namespace TEVQtLib;

bool tevFollowAction(int& index, const QAction* action, const QList<QAction*>& actions)
{
    if (index == -1)
        return false;
    const int now = action ? actions.indexOf(const_cast<QAction*>(action)) : -1;
    const bool moved = now != index;
    index = now;
    return moved;
}

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

void tevFillViewBackground(QWidget* widget, const FillStyle& style)
{
    QPainter p(widget);
    TEVQWidgetBaseImpl::drawFillStyleAt(&p, style, 0, 0, widget->width(), widget->height());
}

void tevPaintViewRow(QPainter* painter, const QRect& rect, const QModelIndex& index, quint64 key,
                     const FillStyle& background, const TextStyleDesc& textStyle, TEVRowIconCache& icons,
                     TEVRowTextCache& texts)
{
    painter->save();
    QRect textRect = rect;
    TEVQWidgetBaseImpl::drawFillStyle(painter, background, rect);
    // An item without data has neither text nor decoration, so the two roles are asked directly.
    const QString text = index.data(Qt::DisplayRole).toString();
    const QVariant decoration = index.data(Qt::DecorationRole);
    if (decoration.isValid()) {
        const int size = tevViewIconSize(rect.height());
        QRect iconRect = rect;
        iconRect.setWidth(size + 4);
        textRect.setLeft(rect.left() + 4 + size);
        static const IconStyleDesc placement; // centred, no offset, no tint
        if (decoration.type() == QVariant::Icon)
            TEVQWidgetBaseImpl::drawIcon(painter, decoration.value<QIcon>(), QSize(size, size), placement, iconRect);
        else if (decoration.type() == QVariant::String)
            icons.draw(painter, key, decoration.toString(), placement, iconRect);
    }
    texts.draw(painter, key, text, textStyle, textRect);
    painter->restore();
}
