#include "TEVQListView.h"

#include "TEVJson.h"
#include "TEVQContainer.h"
#include "TEVQControlInfo.h"
#include "TEVQLabelEx.h"
#include "TEVQScrollBar.h"
#include "TEVViewStyles.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QTextDocument>

using namespace TEVQtLib;

namespace {


// The rich text label a template part is, or null.
TEVQLabelEx* asLabelEx(const TEVQListViewItemDelegate::Part& part)
{
    if (!part.alive() || !qobject_cast<TEVQLabelExImpl*>(part.impl))
        return nullptr;
    return dynamic_cast<TEVQLabelEx*>(part.widget.data());
}

bool selectableByMouse(const TEVQLabelEx* label)
{
    return label && label->textInteractionFlags() == Qt::TextSelectableByMouse;
}

TextCursorPos position(const TEVQListViewItemDelegate::HighlightEnd& end)
{
    return {end.block, end.line, end.column};
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQListViewImpl::TEVQListViewImpl(TEVQListView* ownerView) : TEVQWidgetBaseImpl(ownerView, TEVQListView::typeName())
{
    for (FillStyle& f : itemBackground)
        f.valid = false;
}

TEVQListViewImpl::~TEVQListViewImpl() = default;

TEVQListView* TEVQListViewImpl::view() const { return static_cast<TEVQListView*>(owner); }

void TEVQListViewImpl::createComplete()
{
    TEVQListView* v = view();
    if (!v)
        return;
    for (QObject* child : v->children()) {
        if (auto* container = qobject_cast<TEVQContainer*>(child)) {
            v->setItemTemplate(container);
            return;
        }
    }
}

bool TEVQListViewImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQListView* v = view();
    if (!json || !v)
        return result;
    Json::Value& element = *json;
    TEVViewStyleTable styles;
    styles.fill(0, background);
    // Slot 2 styles the normal, hot and pressed rows; slot 5 is the disabled state, read back as written.
    styles.fillGroup(2, itemBackground, 3);
    if (load) {
        styles.read(element);
        if (const Json::Value* attrs = json::find(element, "attr")) {
            // Sizes stay within what a widget can be.
            int value = 0;
            const QSize itemSize(itemWidth, itemHeight);
            if (json::read(*attrs, "itemHeight", value))
                itemHeight = qBound(0, value, QWIDGETSIZE_MAX);
            if (json::read(*attrs, "itemWidth", value))
                itemWidth = qBound(0, value, QWIDGETSIZE_MAX);
            // Qt keeps the item sizes it laid the items out with (a theme re-read may change them).
            if (itemSize != QSize(itemWidth, itemHeight))
                v->doItemsLayout();
            if (json::read(*attrs, "spacing", value))
                v->setSpacing(qBound(0, value, QWIDGETSIZE_MAX));
            if (json::read(*attrs, "itemMode", value))
                v->setViewMode(value != 0 ? QListView::IconMode : QListView::ListMode);
        }
        readScrollbarChildJson(element, v);
        return result;
    }
    styles.write(element);
    Json::Value& attrs = ownAttrs(element, {"itemHeight", "itemWidth", "spacing", "itemMode"});
    if (itemHeight != 20)
        attrs["itemHeight"] = itemHeight;
    if (itemWidth != 20)
        attrs["itemWidth"] = itemWidth;
    if (v->spacing() != 1)
        attrs["spacing"] = v->spacing();
    attrs["itemMode"] = v->viewMode() == QListView::IconMode ? 1 : 0;
    return result;
}

// ---- delegate ------------------------------------------------------------------------------------------------

TEVQListViewItemDelegate::TEVQListViewItemDelegate(TEVQListView* view, TEVQListViewImpl* impl)
    : viewImpl(impl), m_view(view)
{
}

TEVQListViewItemDelegate::~TEVQListViewItemDelegate() = default;

void TEVQListViewItemDelegate::collectParts(QWidget* t) { templateParts = tevViewParts(t); }

void TEVQListViewItemDelegate::clearHighlight()
{
    highlightStart = HighlightEnd();
    highlightEnd = HighlightEnd();
}

void TEVQListViewItemDelegate::rowsInserted(int start, int count)
{
    for (HighlightEnd* end : {&highlightStart, &highlightEnd}) {
        if (end->row >= start)
            end->row += count;
    }
}

void TEVQListViewItemDelegate::rowsRemoved(int start, int end)
{
    const auto inside = [&](const HighlightEnd& e) { return e.row >= start && e.row <= end; };
    if (inside(highlightStart) || inside(highlightEnd)) {
        clearHighlight();
        selecting = false;
        return;
    }
    for (HighlightEnd* e : {&highlightStart, &highlightEnd}) {
        if (e->row > end)
            e->row -= end - start + 1;
    }
}

void TEVQListViewItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    if (!index.isValid() || !viewImpl)
        return;
    painter->save();
    const QRect r = option.rect;
    auto* container = qobject_cast<TEVQContainer*>(viewImpl->itemTemplate.data());
    if (templateParts.empty() || !container || !templateParts[0].alive()) {
        painter->restore();
        return;
    }
    // Row background, set on the template.
    const int s = (option.state & QStyle::State_Selected) ? 2 : ((option.state & QStyle::State_MouseOver) ? 1 : 0);
    container->setBackground(viewImpl->itemBackground[s]);
    const QPoint pointer = pointerInViewport;
    painter->save();
    painter->setClipRect(r, Qt::IntersectClip);
    templateParts[0].impl->draw(painter, r);
    if (viewImpl->displayCallBack) {
        QPointer<QWidget> guard(container);
        viewImpl->displayCallBack(m_view, container, index);
        if (!guard) { // the callback deleted the template
            painter->restore();
            painter->restore();
            return;
        }
    }
    container->resize(r.size());
    static_cast<ITEVQWidgetBase*>(container)->setGeometry(0, 0, r.width(), r.height());
    container->forceResize();

    const int row = index.row();
    QMap<int, QRect> rects;
    // Highlight ends in row order.
    const bool highlighting = viewImpl->enableSelection && highlightStart.row != -1 && highlightEnd.row != -1;
    const HighlightEnd& first = highlightStart.row <= highlightEnd.row ? highlightStart : highlightEnd;
    const HighlightEnd& last = highlightStart.row <= highlightEnd.row ? highlightEnd : highlightStart;
    for (size_t i = 1; i < templateParts.size(); ++i) {
        const Part& part = templateParts[i];
        if (!part.alive() || !part.impl->getDelegateItemVisible())
            continue;
        QWidget* w = part.widget.data();
        QPoint topLeft = w->geometry().topLeft();
        for (QWidget* p = w->parentWidget(); p && p != container; p = p->parentWidget())
            topLeft += p->geometry().topLeft();
        const QRect partRect(topLeft + r.topLeft(), w->size());
        rects.insert(int(i), partRect);

        TEVQLabelExImpl* labelImpl = nullptr;
        if (viewImpl->enableSelection) {
            if (TEVQLabelEx* label = asLabelEx(part)) {
                // Each label of the row keeps its own HTML: a press finds positions in the text it hit.
                const auto cached = viewImpl->rowHtml.constFind(row);
                if (cached == viewImpl->rowHtml.constEnd() || !cached->contains(int(i)))
                    viewImpl->rowHtml[row].insert(int(i), label->getHtmlContent());
                if (highlighting && selectableByMouse(label) && row >= first.row && row <= last.row) {
                    labelImpl = label->painter();
                    if (row == first.row) {
                        if (first.row == last.row && position(first).isValid() && position(last).isValid())
                            labelImpl->setSelection(position(first), position(last));
                        else
                            labelImpl->setSelection(position(first), labelImpl->endPosition());
                    } else if (row == last.row) {
                        labelImpl->setSelection(labelImpl->beginPosition(), position(last));
                    } else {
                        labelImpl->setSelection(labelImpl->beginPosition(), labelImpl->endPosition());
                    }
                }
            }
        }
        if (partRect.contains(pointer)) {
            part.impl->setState(CtrlStateHot);
            part.impl->draw(painter, partRect);
            part.impl->setState(CtrlStateNormal);
        } else {
            part.impl->draw(painter, partRect);
        }
        if (labelImpl)
            labelImpl->clearSelection();
    }
    viewImpl->rowPartRects.insert(row, rects);
    painter->restore();
    painter->restore();
}

QSize TEVQListViewItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!viewImpl)
        return QSize(option.rect.width(), 20);
    if (viewImpl->sizeCallBack && !templateParts.empty() && viewImpl->itemTemplate)
        return viewImpl->sizeCallBack(m_view, option, index);
    // 0 means 20, and so does a size below it (rows of negative size would hide every row).
    const int h = viewImpl->itemHeight > 0 ? viewImpl->itemHeight : 20;
    if (m_view->viewMode() == QListView::IconMode)
        return QSize(viewImpl->itemWidth > 0 ? viewImpl->itemWidth : 20, h);
    return QSize(option.rect.width(), h);
}

int TEVQListViewItemDelegate::partAt(int row, const QPoint& pos) const
{
    const auto found = viewImpl->rowPartRects.constFind(row);
    if (found == viewImpl->rowPartRects.constEnd())
        return -1;
    for (int i = int(templateParts.size()) - 1; i >= 1; --i) {
        if (!templateParts[size_t(i)].alive())
            continue;
        const auto rect = found->constFind(i);
        if (rect != found->constEnd() && rect->contains(pos))
            return i;
    }
    return -1;
}

void TEVQListViewItemDelegate::prepareLabel(TEVQLabelEx* label, int row, int part, const QRect& partRect) const
{
    const auto rowEntry = viewImpl->rowHtml.constFind(row);
    if (rowEntry == viewImpl->rowHtml.constEnd())
        return;
    const auto html = rowEntry->constFind(part);
    if (html == rowEntry->constEnd())
        return;
    label->painter()->document->setHtml(*html);
    label->painter()->document->setPageSize(QSizeF(partRect.width() + 20, partRect.height() + 10));
}

bool TEVQListViewItemDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                           const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!viewImpl || !index.isValid()
        || (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove))
        return QItemDelegate::editorEvent(event, model, option, index);
    const QPoint pos = static_cast<QMouseEvent*>(event)->pos();
    const int row = index.row();
    QWidget* viewport = m_view->viewport();

    if (event->type() == QEvent::MouseButtonPress) {
        clearHighlight();
        viewport->repaint();
        if (option.rect.contains(pos)) {
            const int i = partAt(row, pos);
            if (i >= 1) {
                const Part part = templateParts[size_t(i)];
                const QRect partRect = viewImpl->rowPartRects.value(row).value(i);
                TEVQLabelEx* label = viewImpl->enableSelection ? asLabelEx(part) : nullptr;
                if (label) {
                    prepareLabel(label, row, i, partRect);
                    if (selectableByMouse(label)) {
                        const TextCursorPos p = label->painter()->positionAt(pos - partRect.topLeft());
                        highlightStart = {row, p.block, p.line, p.column};
                        selecting = true;
                    }
                }
                // The slots may delete the view, swap and delete the model, or reset it (the index then points at
                // freed items): the base then has nothing to ask. Rows they moved: the base asks about the
                // pressed item where it is now.
                QPointer<QWidget> alive(m_view);
                QPointer<QAbstractItemModel> aliveModel(model);
                const QPersistentModelIndex pressed(index);
                emit m_view->pressCtrl(part.widget.data(), index);
                if (!alive || !aliveModel || m_view->model() != model || !pressed.isValid())
                    return true;
                return QItemDelegate::editorEvent(event, model, option, pressed);
            }
        }
        return QItemDelegate::editorEvent(event, model, option, index);
    }

    // Mouse move.
    if (option.rect.contains(pos)) {
        const int i = partAt(row, pos);
        const Part part = i >= 1 ? templateParts[size_t(i)] : Part();
        TEVQLabelEx* label = asLabelEx(part);
        const bool overSelectable = selectableByMouse(label);
        if (label) {
            if (overSelectable) {
                m_view->setCursor(Qt::IBeamCursor);
                cursorOverridden = true;
            }
            if (selecting) {
                const QRect partRect = viewImpl->rowPartRects.value(row).value(i);
                prepareLabel(label, row, i, partRect);
                if (overSelectable) {
                    const TextCursorPos p = label->painter()->positionAt(pos - partRect.topLeft());
                    if (p.isValid()) {
                        highlightEnd = {row, p.block, p.line, p.column};
                        viewport->update(option.rect);
                    }
                }
                viewport->update();
            }
        }
        if (i >= 1 && part.widget != hoveredPart) {
            hoveredPart = part.widget;
            viewport->update(option.rect);
        }
        if (cursorOverridden && !overSelectable) {
            m_view->setCursor(Qt::ArrowCursor);
            cursorOverridden = false;
        }
        if (i < 1 && hoveredPart) {
            hoveredPart = nullptr;
            viewport->update();
        }
    }
    return QItemDelegate::editorEvent(event, model, option, index);
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQListView::TEVQListView(QWidget* parent) : QListView(parent), TEVQScrollBarPair(true)
{
    tevSetImpl(new TEVQListViewImpl(this), false);
    m_delegate = new TEVQListViewItemDelegate(this, painter());
    setItemDelegate(m_delegate);
    auto* horizontal = new TEVQScrollBar(Qt::Horizontal, this);
    auto* vertical = new TEVQScrollBar(Qt::Vertical, this);
    setVerticalScrollBar(vertical);
    setHorizontalScrollBar(horizontal);
    setBars(horizontal, vertical);
    setFrameStyle(0);
    viewport()->setBackgroundRole(QPalette::NoRole);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSpacing(1);
    setAttribute(Qt::WA_MouseTracking);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    painter()->applyTheme();
}

TEVQListView::~TEVQListView()
{
    viewport()->removeEventFilter(this);
    setItemDelegate(nullptr);
    delete m_delegate;
    m_delegate = nullptr;
}

void TEVQListView::setItemTemplate(QWidget* t)
{
    auto* container = qobject_cast<TEVQContainer*>(t);
    if (!container)
        return;
    container->setVisible(false);
    painter()->itemTemplate = container;
    // The rows' rectangles and label texts were those of the former template's parts.
    dropRowCaches();
    endHighlight();
    m_delegate->hoveredPart = nullptr;
    m_delegate->collectParts(container);
}

QWidget* TEVQListView::getitemTemplate() const { return painter()->itemTemplate.data(); }

void TEVQListView::setItemDisplayCallBack(TEVQListViewImpl::DisplayCallBack cb) { painter()->displayCallBack = cb; }
TEVQListViewImpl::DisplayCallBack TEVQListView::getItemDisplayCallBack() const { return painter()->displayCallBack; }
void TEVQListView::setItemForSizeCallBack(TEVQListViewImpl::SizeCallBack cb) { painter()->sizeCallBack = cb; }
TEVQListViewImpl::SizeCallBack TEVQListView::getItemForSizeCallBack() const { return painter()->sizeCallBack; }
void TEVQListView::setLabelExCallBack(TEVQListViewImpl::LabelExCallBack cb) { painter()->labelExCallBack = cb; }
TEVQListViewImpl::LabelExCallBack TEVQListView::getLabelExCallBack() const { return painter()->labelExCallBack; }
void TEVQListView::setItemHeight(int height) { painter()->itemHeight = height; }
int TEVQListView::getItemHeight() const { return painter()->itemHeight; }
void TEVQListView::setItemWidth(int width) { painter()->itemWidth = width; }
int TEVQListView::getItemWidth() const { return painter()->itemWidth; }
void TEVQListView::setEnableSelection(bool on) { painter()->enableSelection = on; }
bool TEVQListView::getEnableSelection() const { return painter()->enableSelection; }
void TEVQListView::clearHighLight() { m_delegate->clearHighlight(); }

void TEVQListView::setBackground(CommonCtrlState, const FillStyle& style) { painter()->background = style; }
const FillStyle& TEVQListView::getBackground(CommonCtrlState) const { return painter()->background; }
void TEVQListView::setItemBackground(CtrlState state, const FillStyle& style)
{
    painter()->itemBackground[tevSafeState(state)] = style;
}
const FillStyle& TEVQListView::getItemBackground(CtrlState state) const
{
    return painter()->itemBackground[tevSafeState(state)];
}

void TEVQListView::initDemoData()
{
    auto* model = new QStandardItemModel(this);
    for (int i = 0; i < 20; ++i)
        model->appendRow(new QStandardItem());
    setModel(model);
}

void TEVQListView::setScrollbarSize(bool /*hor*/, int size)
{
    const QString sheet =
        QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; }").arg(size).arg(size);
    for (bool h : {false, true}) {
        if (TEVQScrollBar* b = bar(h))
            b->setStyleSheet(sheet);
    }
}

void TEVQListView::dropRowCaches()
{
    painter()->rowPartRects.clear();
    painter()->rowHtml.clear();
}

void TEVQListView::endHighlight()
{
    m_delegate->clearHighlight();
    m_delegate->selecting = false;
}

void TEVQListView::setModel(QAbstractItemModel* model)
{
    dropRowCaches();
    if (model != this->model())
        endHighlight();
    disconnect(m_layoutChanged);
    disconnect(m_rowsMoved);
    QListView::setModel(model);
    if (model) {
        const auto reordered = [this] {
            dropRowCaches();
            endHighlight();
        };
        m_layoutChanged = connect(model, &QAbstractItemModel::layoutChanged, this, reordered);
        m_rowsMoved = connect(model, &QAbstractItemModel::rowsMoved, this, reordered);
    }
}

// The rows of another parent are other rows.
void TEVQListView::setRootIndex(const QModelIndex& index)
{
    dropRowCaches();
    if (index != rootIndex())
        endHighlight();
    QListView::setRootIndex(index);
}

void TEVQListView::reset()
{
    dropRowCaches();
    endHighlight();
    QListView::reset();
}

void TEVQListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles)
{
    for (int row = topLeft.row(); row <= bottomRight.row() && row >= 0; ++row) {
        painter()->rowHtml.remove(row);
        if (painter()->rowHtml.isEmpty())
            break;
    }
    QListView::dataChanged(topLeft, bottomRight, roles);
}

void TEVQListView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    dropRowCaches();
    if (parent == rootIndex())
        m_delegate->rowsInserted(start, end - start + 1);
    QListView::rowsInserted(parent, start, end);
}

void TEVQListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    dropRowCaches();
    if (parent == rootIndex())
        m_delegate->rowsRemoved(start, end);
    QListView::rowsAboutToBeRemoved(parent, start, end);
}

// The viewport's paint events go on to paintEvent, which lays the background.
bool TEVQListView::eventFilter(QObject* watched, QEvent* event)
{
    // The delegate hears of moves over rows only: past the last row, between rows or out of the view, the text
    // cursor it set goes back to the arrow here.
    if (watched == viewport() && m_delegate && m_delegate->cursorOverridden
        && (event->type() == QEvent::Leave
            || (event->type() == QEvent::MouseMove
                && !indexAt(static_cast<QMouseEvent*>(event)->pos()).isValid()))) {
        setCursor(Qt::ArrowCursor);
        m_delegate->cursorOverridden = false;
    }
    return QAbstractItemView::eventFilter(watched, event);
}

void TEVQListView::mouseReleaseEvent(QMouseEvent* event)
{
    QPointer<QWidget> alive(this);
    QListView::mouseReleaseEvent(event);
    if (alive)
        m_delegate->selecting = false;
}

void TEVQListView::paintEvent(QPaintEvent* event)
{
    // This event is the viewport's, whichever widget the viewport is: the background goes under the rows.
    {
        QPainter p(viewport());
        TEVQWidgetBaseImpl::drawFillStyleAt(&p, painter()->background, 0, 0, viewport()->width(),
                                            viewport()->height());
    }
    // Where the pointer is, asked of the window system once per paint rather than once per row.
    m_delegate->pointerInViewport = viewport()->mapFromGlobal(QCursor::pos());
    QListView::paintEvent(event);
}

void TEVQListView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    painter()->rowPartRects.clear();
}

ControlInfo TEVQListView::getProps()
{
    using W = TEVQListView;
    ControlInfo info = tevControlInfo(typeName(), "ListView", "Control ListView", "TEVQListView", "templatelist");
    const QStringList single{QStringLiteral("Normal"), QStringLiteral("Disable")};
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackground, &W::getBackground, single));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("ItemBackground"), &W::setItemBackground, &W::getItemBackground));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemHeight"), &W::setItemHeight, &W::getItemHeight));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemWidth"), &W::setItemWidth, &W::getItemWidth));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemSpace"), &QListView::setSpacing, &QListView::spacing));
    info.props.append(tevChoiceRow<W>(QStringLiteral("ItemMode"), &QListView::setViewMode, &QListView::viewMode,
                                      {QStringLiteral("List"), QStringLiteral("Icon")}));
    return info;
}
