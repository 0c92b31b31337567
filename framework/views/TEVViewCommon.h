#pragma once
// What the item views share besides their style tables: the framework controls of a container that a view paints
// into its rows or cells.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace TEVQtLib {
class TEVQWidgetBaseImpl;
} // namespace TEVQtLib

// One framework control of a container: its widget (watched) and its painter.
struct TEVViewPart {
    QPointer<QWidget> widget;
    TEVQtLib::TEVQWidgetBaseImpl* impl = nullptr;
    bool alive() const { return !widget.isNull(); }
};

// root's framework controls: root first, then its children depth first in children() order; an object that is
// no framework widget cuts off its subtree (a null root gives none).
TEV_EXPORT std::vector<TEVViewPart> tevViewParts(QObject* root);
