// The table's cells and header: painting by state, the check column and the check-all box, column widgets.
#include "TEVQCheckBox.h"
#include "TEVQContainer.h"
#include "TEVQTableView.h"

#include <QAbstractItemModel>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

using namespace TEVQtLib;

namespace {

const int kIconRole = Qt::UserRole + 100;

QRect inner(const QRect& r)
{
    QRect a = r.adjusted(2, 2, -2, -2);
    a.setWidth(qMax(a.width(), 0));
    a.setHeight(qMax(a.height(), 0));
    return a;
}

// r with its left edge at x and its right edge kept (never narrower than nothing).
QRect fromLeft(const QRect& r, int x)
{
    const int right = r.x() + r.width();
    return QRect(x, r.y(), qMax(right - x, 0), r.height());
}

// The model's alignment flags applied to a text style.
void applyAlignment(TextStyleDesc& style, const QVariant& value)
{
    if (!value.isValid())
        return;
    const int flags = value.toInt();
    if (flags & Qt::AlignHCenter) {
        style.horAlign = 1;
        style.offsetX = 0;
    } else if (flags & Qt::AlignRight) {
        style.horAlign = 2;
    } else if (flags & Qt::AlignLeft) {
        style.horAlign = 0;
    }
    if (flags & Qt::AlignTop)
        style.verAlign = 0;
    else if (flags & Qt::AlignBottom)
        style.verAlign = 2;
    else if (flags & Qt::AlignVCenter)
        style.verAlign = 1;
}

} // namespace

// ---- delegate ------------------------------------------------------------------------------------------------

TEVQTableViewitemDelegate::TEVQTableViewitemDelegate(TEVQTableView* view, TEVQTableViewImpl* impl)
    : viewImpl(impl), m_view(view)
{
}

TEVQTableViewitemDelegate::~TEVQTableViewitemDelegate() = default;

std::vector<TEVQTableViewitemDelegate::Control> TEVQTableViewitemDelegate::controlList(TEVQContainer* container)
{
    return tevViewParts(container);
}

QRect TEVQTableViewitemDelegate::controlRect(const QWidget* control, const TEVQContainer* container,
                                             const QPoint& origin)
{
    QPoint topLeft = control->geometry().topLeft();
    for (const QWidget* p = control->parentWidget(); p && p != container; p = p->parentWidget())
        topLeft += p->geometry().topLeft();
    return QRect(topLeft + origin, control->size());
}

void TEVQTableViewitemDelegate::beginPaint()
{
    m_painting = true;
    m_pointerValid = false;
    m_paintControls.clear();
}

void TEVQTableViewitemDelegate::endPaint()
{
    m_painting = false;
    m_paintControls.clear();
}

const std::vector<TEVQTableViewitemDelegate::Control>&
TEVQTableViewitemDelegate::controlsOf(TEVQContainer* container, std::vector<Control>& scratch) const
{
    if (m_painting) {
        for (const PaintControls& kept : m_paintControls) {
            if (kept.container == container)
                return kept.controls;
        }
    }
    ++m_gathers;
    if (!m_painting) {
        scratch = controlList(container);
        return scratch;
    }
    m_paintControls.push_back(PaintControls{QPointer<TEVQContainer>(container), controlList(container)});
    return m_paintControls.back().controls;
}

QPoint TEVQTableViewitemDelegate::pointerInViewport(QWidget* viewport) const
{
    if (!m_painting)
        return viewport->mapFromGlobal(QCursor::pos());
    if (!m_pointerValid) {
        m_pointer = viewport->mapFromGlobal(QCursor::pos());
        m_pointerValid = true;
    }
    return m_pointer;
}

void TEVQTableViewitemDelegate::paintColumnWidget(QPainter* painter, TEVQContainer* container,
                                                  const QRect& cell) const
{
    std::vector<Control> scratch;
    const std::vector<Control>& controls = controlsOf(container, scratch);
    if (controls.empty())
        return;
    painter->save();
    painter->setClipRect(cell);
    container->resize(cell.size());
    static_cast<ITEVQWidgetBase*>(container)->setGeometry(0, 0, cell.width(), cell.height());
    container->forceResize();
    controls[0].impl->draw(painter, cell);
    QWidget* viewport = m_view ? m_view->viewport() : nullptr;
    const QPoint pointer = viewport ? pointerInViewport(viewport) : QPoint();
    for (size_t i = 1; i < controls.size(); ++i) {
        const Control& c = controls[i];
        if (!c.widget)
            continue;
        const QRect r = controlRect(c.widget, container, cell.topLeft());
        const bool hot = viewport && r.contains(pointer);
        if (hot) {
            c.impl->setState(CtrlStateHot);
            c.impl->draw(painter, r);
            c.impl->setState(CtrlStateNormal);
        } else {
            c.impl->draw(painter, r);
        }
    }
    painter->restore();
}

void TEVQTableViewitemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    if (!index.isValid() || !viewImpl)
        return;
    painter->save();
    const QRect cell = option.rect;
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect in = inner(cell);
    QRect textRect = in;
    const bool checkColumn = index.column() == 0 && viewImpl->checkstyle;
    if (checkColumn)
        textRect = fromLeft(in, in.x() + 10 + viewImpl->checkBoxSize().width());
    const QString iconName = index.data(kIconRole).toString();
    const quint64 columns = quint64(qMax(index.model()->columnCount(index.parent()), 1));
    const quint64 cellKey = quint64(index.row()) * columns + quint64(index.column());
    QSize iconSize;
    if (!iconName.isEmpty())
        iconSize = viewImpl->cellIcons.size(cellKey, iconName);

    int s = 0;
    if (option.state & QStyle::State_Selected)
        s = 2;
    else if ((option.state & QStyle::State_MouseOver) || index.row() == viewImpl->hoverRow)
        s = 1;
    TEVQWidgetBaseImpl::drawFillStyle(painter, viewImpl->itemBackground[s], cell);
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const TextStyleDesc* style = &viewImpl->itemTextStyle[s];
    TextStyleDesc aligned;
    if (alignment.isValid()) {
        aligned = *style;
        applyAlignment(aligned, alignment);
        style = &aligned;
    }

    QRect iconRect;
    if (iconSize.isValid()) {
        if (style->horAlign != 1) {
            iconRect = textRect;
            iconRect.setWidth(iconSize.width() + 10);
            textRect = fromLeft(textRect, textRect.x() + 10 + iconSize.width());
        } else {
            const int gap = text.isEmpty() ? 0 : 6;
            const int available = qMax(in.width() - gap - iconSize.width(), 0);
            const int textWidth = qMin(available, m_cellTexts.advance(cellKey, text, *style) + 2);
            const int x0 = in.x() + qMax((in.width() - (textWidth + iconSize.width() + gap)) / 2, 0);
            iconRect = QRect(x0, in.y(), iconSize.width(), in.height());
            textRect = QRect(x0 + iconSize.width() + gap, in.y(), textWidth, in.height());
        }
    }
    m_cellTexts.draw(painter, cellKey, text, *style, textRect);

    if (TEVQContainer* container = viewImpl->columnWidget(index.column())) {
        paintColumnWidget(painter, container, cell);
        painter->restore();
        return;
    }
    if (iconSize.isValid()) {
        static const IconStyleDesc iconStyle; // centred, no offset, no colouring
        painter->save();
        painter->setClipRect(cell);
        viewImpl->cellIcons.draw(painter, cellKey, iconName, iconStyle, iconRect);
        painter->restore();
    }
    if (checkColumn && viewImpl->checkBox) {
        // Cut at the cell's edge: in a column narrower than the box, the rest would lie over the next column,
        // where a press does not reach it.
        painter->setClipRect(cell, Qt::IntersectClip);
        viewImpl->checkBox->setChecked(index.data(Qt::CheckStateRole).toBool());
        viewImpl->checkBox->painter()->draw(painter, viewImpl->checkBoxRect(cell));
    }
    painter->restore();
}

bool TEVQTableViewitemDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                            const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!viewImpl || !index.isValid() || !m_view)
        return QItemDelegate::editorEvent(event, model, option, index);
    QWidget* viewport = m_view->viewport();
    if (event->type() == QEvent::MouseMove) {
        if (viewImpl->hoverItem != index)
            viewImpl->hoverItem = index;
        if (index.row() != viewImpl->hoverRow) {
            viewImpl->hoverRow = index.row();
            viewport->update();
        }
        if (viewImpl->columnWidget(index.column())
            && QRect(viewport->mapToGlobal(option.rect.topLeft()), option.rect.size()).contains(QCursor::pos()))
            viewport->repaint(option.rect);
        return QItemDelegate::editorEvent(event, model, option, index);
    }
    // The check column is the table's own: the press above flips it, so the base's toggling of a checkable
    // item on the release (inside its own check rectangle, which overlaps the box) would flip it back.
    if (event->type() == QEvent::MouseButtonRelease && index.column() == 0 && viewImpl->checkstyle)
        return false;
    // Space (or Select) on a checkable item of the check column flips its box as a press does, by what the box
    // shows: the base steps through three states, so a partly checked (or true) row would stay checked.
    if (event->type() == QEvent::KeyPress && index.column() == 0 && viewImpl->checkstyle && model) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const Qt::ItemFlags flags = model->flags(index);
        const QVariant state = index.data(Qt::CheckStateRole);
        if ((key == Qt::Key_Space || key == Qt::Key_Select) && (flags & Qt::ItemIsUserCheckable)
            && (flags & Qt::ItemIsEnabled) && (option.state & QStyle::State_Enabled) && state.isValid())
            return model->setData(index, int(state.toBool() ? Qt::Unchecked : Qt::Checked), Qt::CheckStateRole);
    }
    if (event->type() != QEvent::MouseButtonPress)
        return QItemDelegate::editorEvent(event, model, option, index);

    // The slots below may swap or delete the model or the view, or reset the model (the index then points at
    // freed items) or move its rows; the base handler runs only while the view, the model and the pressed item
    // stand, and asks about that item where it is now.
    QPointer<TEVQTableView> view(m_view);
    QPointer<QAbstractItemModel> guardModel(model);
    const QPersistentModelIndex pressed(index);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (index.column() == 0 && viewImpl->checkstyle && model
        && viewImpl->checkBoxRect(option.rect).contains(mouse->pos())) {
        const bool checked = index.data(Qt::CheckStateRole).toBool();
        // Written as a check state, so the model's own readers (QStandardItem::checkState) agree.
        model->setData(index, int(checked ? Qt::Unchecked : Qt::Checked), Qt::CheckStateRole);
    }
    if (view && guardModel && pressed == index) {
        TEVQContainer* container = viewImpl->columnWidget(index.column());
        const std::vector<Control> controls = controlList(container);
        if (controls.size() > 1) {
            container->resize(option.rect.size());
            static_cast<ITEVQWidgetBase*>(container)->setGeometry(0, 0, option.rect.width(), option.rect.height());
            container->forceResize();
            const QPoint cursor = QCursor::pos();
            for (size_t i = 1; i < controls.size(); ++i) {
                if (!controls[i].widget)
                    continue;
                const QRect r = controlRect(controls[i].widget, container, option.rect.topLeft());
                if (QRect(viewport->mapToGlobal(r.topLeft()), r.size()).contains(cursor)) {
                    const int row = index.row();
                    emit view->customControlClicked(row, controls[i].widget->objectName());
                    break;
                }
            }
        }
    }
    if (!view || !guardModel || !pressed.isValid())
        return true;
    return QItemDelegate::editorEvent(event, model, option, pressed);
}

// ---- header --------------------------------------------------------------------------------------------------

TEVQTableHeader::TEVQTableHeader(TEVQTableViewImpl* impl, Qt::Orientation orientation, TEVQTableView* parent)
    : QHeaderView(orientation, parent), viewImpl(impl), m_view(parent)
{
    connect(this, &QHeaderView::sectionResized, this, [this] { sectionsChanged(); });
    connect(this, &QHeaderView::sectionMoved, this, [this] { sectionsChanged(); });
    connect(this, &QHeaderView::sectionCountChanged, this, [this] { sectionsChanged(); });
}

void TEVQTableHeader::setModel(QAbstractItemModel* model)
{
    if (model == this->model())
        return;
    for (const QMetaObject::Connection& c : m_modelConnections)
        disconnect(c);
    m_modelConnections.clear();
    QHeaderView::setModel(model);
    sectionsChanged();
    if (!model)
        return;
    // Connected after the header's own handlers: they have updated the sections when these run.
    const auto changed = [this] { sectionsChanged(); };
    m_modelConnections = {connect(model, &QAbstractItemModel::modelReset, this, changed),
                          connect(model, &QAbstractItemModel::layoutChanged, this, changed),
                          connect(model, &QAbstractItemModel::rowsInserted, this, changed),
                          connect(model, &QAbstractItemModel::rowsRemoved, this, changed),
                          connect(model, &QAbstractItemModel::rowsMoved, this, changed),
                          connect(model, &QAbstractItemModel::columnsInserted, this, changed),
                          connect(model, &QAbstractItemModel::columnsRemoved, this, changed),
                          connect(model, &QAbstractItemModel::columnsMoved, this, changed)};
}

const std::vector<int>& TEVQTableHeader::shownSections()
{
    const int n = count();
    const int hidden = hiddenSectionCount();
    if (m_shownValid && n == m_shownCount && hidden == m_shownHidden)
        return m_shown;
    m_shown.clear();
    m_shown.reserve(size_t(qMax(n - hidden, 0)));
    for (int v = 0; v < n; ++v) {
        if (!isSectionHidden(logicalIndex(v)))
            m_shown.push_back(v);
    }
    m_shownValid = true;
    m_shownCount = n;
    m_shownHidden = hidden;
    return m_shown;
}

TEVQTableHeader::~TEVQTableHeader() = default;

void TEVQTableHeader::paintEvent(QPaintEvent*)
{
    if (!viewImpl)
        return;
    QPainter p(viewport());
    const FillStyle& background = viewImpl->headerBackground[0];
    TEVQWidgetBaseImpl::drawFillStyle(&p, background, QRect(0, 0, width(), height()));
    const int n = count();
    if (orientation() == Qt::Vertical) {
        // The rows in view, in order from the top: the first whose bottom edge is in view, found by halving
        // (the sections lie one after the other), up to the first that starts below the header.
        const std::vector<int>& shown = shownSections();
        const auto bottom = [this](int visual) {
            const int logical = logicalIndex(visual);
            return sectionViewportPosition(logical) + sectionSize(logical) - 1;
        };
        auto it = std::partition_point(shown.begin(), shown.end(), [&](int visual) { return bottom(visual) < 0; });
        m_sectionsLookedAt = 0;
        for (; it != shown.end(); ++it) {
            ++m_sectionsLookedAt;
            const int i = logicalIndex(*it);
            const QRect r(0, sectionViewportPosition(i), width(), sectionSize(i));
            if (r.top() > height())
                break;
            if (r.height() <= 0)
                continue;
            TEVQWidgetBaseImpl::drawFillStyle(&p, background, r);
            m_rowNumbers.draw(&p, quint64(i), model() ? model()->headerData(i, Qt::Vertical).toString() : QString(),
                              viewImpl->headerTextStyle[0], inner(r));
        }
        return;
    }
    if (m_titleCaches.size() != size_t(n))
        m_titleCaches.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        const QRect r(sectionViewportPosition(i), 0, sectionSize(i), height());
        if (r.width() <= 0 || r.right() < 0 || r.left() > width())
            continue;
        QRect textRect = inner(r);
        TEVQWidgetBaseImpl::drawFillStyle(&p, background, r);
        const bool checkSection = i == 0 && viewImpl->checkstyle;
        if (checkSection)
            textRect = fromLeft(textRect, textRect.x() + 10 + viewImpl->checkBoxSize().width());
        TextStyleDesc style = viewImpl->headerTextStyle[0];
        QString text;
        if (QAbstractItemModel* m = model()) {
            text = m->headerData(i, Qt::Horizontal).toString();
            applyAlignment(style, m->headerData(i, Qt::Horizontal, Qt::TextAlignmentRole));
        }
        m_titleCaches[size_t(i)].draw(&p, text, style, textRect, style.isHor);
        if (checkSection && viewImpl->checkBox) {
            // Cut at the section's edge, as in the cells.
            p.save();
            p.setClipRect(r, Qt::IntersectClip);
            viewImpl->checkBox->setChecked(viewImpl->headerCheckState);
            viewImpl->checkBox->painter()->draw(&p, viewImpl->checkBoxRect(r));
            p.restore();
        }
    }
}

void TEVQTableHeader::mousePressEvent(QMouseEvent* event)
{
    QPointer<TEVQTableHeader> alive(this);
    // The box is painted, and answers, only in a first section that exists and has a width (a hidden one has
    // none).
    if (viewImpl && orientation() == Qt::Horizontal && viewImpl->checkstyle && m_view && count() > 0
        && sectionSize(0) > 0) {
        const QRect r(sectionViewportPosition(0), 0, sectionSize(0), height());
        if (viewImpl->checkBoxRect(r).contains(event->pos())) {
            viewImpl->headerCheckState = !viewImpl->headerCheckState;
            m_view->viewport()->update(r);
            m_view->headerChecked(viewImpl->headerCheckState);
            if (!alive) // a slot deleted the view
                return;
            viewport()->update();
        }
    }
    QHeaderView::mousePressEvent(event);
}
