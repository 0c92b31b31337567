#pragma once
// What the item views share besides their style tables: the framework controls of a container that a view paints
// into its rows or cells, the fill of a whole widget with a view's background, and the painting of a plain row
// (background, decoration and text) of the list and the tree.
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <vector>

class QAction;
class QModelIndex;
class QPainter;

namespace TEVQtLib {
class TEVQWidgetBaseImpl;
class TEVRowIconCache;
class TEVRowTextCache;
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

// A menu's or menu bar's look kept on an item (index in actions, -1 none) follows the item's action after items
// were inserted or removed: index becomes the action's place now, or -1 when it is gone. True when it moved.
TEV_EXPORT bool tevFollowAction(int& index, const QAction* action, const QList<QAction*>& actions);

// Fills (0, 0, width, height) of widget with style.
TEV_EXPORT void tevFillViewBackground(QWidget* widget, const TEVQtLib::FillStyle& style);

// The icon size of a row of height h: 16 up to 24, 24 up to 32, else 32.
constexpr int tevViewIconSize(int h) { return h <= 24 ? 16 : (h <= 32 ? 24 : 32); }

// Paints the row of index in rect, between save and restore: background over rect; a valid decoration in a
// column tevViewIconSize + 4 wide at the left (a QIcon at the icon size, an image name through icons under key,
// any other value nothing), centred; the display text in textStyle through texts under key, right of the
// decoration's column when there is a decoration.
TEV_EXPORT void tevPaintViewRow(QPainter* painter, const QRect& rect, const QModelIndex& index, quint64 key,
                                const TEVQtLib::FillStyle& background, const TEVQtLib::TextStyleDesc& textStyle,
                                TEVQtLib::TEVRowIconCache& icons, TEVQtLib::TEVRowTextCache& texts);
