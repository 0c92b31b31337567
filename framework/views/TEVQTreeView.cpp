#include "TEVQTreeView.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQScrollBar.h"
#include "TEVViewCommon.h"
#include "TEVViewStyles.h"

#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>

using namespace TEVQtLib;

// ---- painter -------------------------------------------------------------------------------------------------

TEVQTreeViewImpl::TEVQTreeViewImpl(TEVQTreeView* ownerView) : TEVQWidgetBaseImpl(ownerView, TEVQTreeView::typeName()) {}

TEVQTreeViewImpl::~TEVQTreeViewImpl() = default;

TEVQTreeView* TEVQTreeViewImpl::view() const { return static_cast<TEVQTreeView*>(owner); }

void TEVQTreeViewImpl::draw(QPainter* painter, const QRect& rect) { drawFillStyle(painter, background, rect); }

void TEVQTreeViewImpl::createComplete()
{
    TEVQTreeView* v = view();
    if (!tevIsQtEmulator() || !v)
        return;
    auto* model = new QStandardItemModel(v);
    for (int i = 0; i < 100; ++i) {
        auto* item = new QStandardItem(QStringLiteral("item1"));
        item->setCheckable(true);
        item->appendRow({new QStandardItem(QStringLiteral("item2")), new QStandardItem(QStringLiteral("item3"))});
        model->appendRow(item);
    }
    v->setModel(model);
}

void TEVQTreeViewImpl::notifyChangeLanguage()
{
    TEVQWidgetBaseImpl::notifyChangeLanguage();
    rowIcons.clear();
}

bool TEVQTreeViewImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (load)
        rowIcons.clear(); // the styles are read again: so are the pictures
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQTreeView* v = view();
    if (!json || !v)
        return result;
    Json::Value& element = *json;
    TEVViewStyleTable styles;
    styles.rowStyles(background, itemBackground, itemTextStyle);
    if (load) {
        styles.read(element);
        readScrollbarChildJson(element, v);
        if (const Json::Value* attrs = json::find(element, "attr")) {
            int height = 0;
            if (json::read(*attrs, "itemHeight", height) && qMin(height, QWIDGETSIZE_MAX) != itemHeight) {
                v->setItemHeight(qMin(height, QWIDGETSIZE_MAX));
                // Qt keeps the row heights it laid the rows out with (a theme re-read may change the height).
                v->doItemsLayout();
            }
        }
        return result;
    }
    styles.write(element);
    Json::Value& attrs = ownAttrs(element, {"itemHeight"});
    if (itemHeight != 20)
        attrs["itemHeight"] = itemHeight;
    dropEmptyAttrs(element);
    return result;
}

// ---- background widgets --------------------------------------------------------------------------------------

void TEVQTreeConerWidget::paintEvent(QPaintEvent*)
{
    if (viewImpl)
        tevFillViewBackground(this, viewImpl->background);
}

// ---- delegate ------------------------------------------------------------------------------------------------

TEVQTreeViewItemDelegate::~TEVQTreeViewItemDelegate() = default;

int TEVQTreeViewItemDelegate::iconSizeFor(int h) { return tevViewIconSize(h); }

void TEVQTreeViewItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    if (!index.isValid() || !viewImpl)
        return;
    // Selection wins over hover.
    const int s = (option.state & QStyle::State_Selected) ? 2 : ((option.state & QStyle::State_MouseOver) ? 1 : 0);
    // A row is told from its cousins by its parent (the model's internal id).
    const quint64 key = quint64(index.row()) * 1000003u + quint64(index.internalId());
    tevPaintViewRow(painter, option.rect, index, key, viewImpl->itemBackground[s], viewImpl->itemTextStyle[s],
                    viewImpl->rowIcons, m_rowTexts);
}

QSize TEVQTreeViewItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QItemDelegate::sizeHint(option, index);
    const int h = viewImpl && viewImpl->itemHeight != 0 ? viewImpl->itemHeight : 20;
    size.setHeight(h);
    if (!viewImpl || !index.isValid() || !index.model())
        return size;
    const QMap<int, QVariant> roles = index.model()->itemData(index);
    if (roles.isEmpty())
        return size;
    const int iconSize = iconSizeFor(h);
    int width = 0;
    for (auto it = roles.cbegin(); it != roles.cend(); ++it) {
        const QVariant& value = it.value();
        if (value.type() == QVariant::Icon)
            width += 4 + iconSize;
        else if (value.type() == QVariant::String && it.key() == Qt::DecorationRole)
            width += 4 + iconSize;
        else if (value.type() == QVariant::String)
            width += 4 + TEVQWidgetBaseImpl::getTextSize(viewImpl->itemTextStyle[0], value.toString()).width();
    }
    size.setWidth(width);
    return size;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQTreeView::TEVQTreeView(QWidget* parent) : QTreeView(parent), TEVQScrollBarPair(false)
{
    // The tree's theme section is not applied at construction.
    tevSetImpl(new TEVQTreeViewImpl(this), false);
    m_delegate = new TEVQTreeViewItemDelegate(painter());
    auto* horizontal = new TEVQScrollBar(Qt::Horizontal, this);
    auto* vertical = new TEVQScrollBar(Qt::Vertical, this);
    setBars(horizontal, vertical);
    header()->hide();
    m_corner = new TEVQTreeConerWidget(this);
    m_corner->viewImpl = painter();
    setCornerWidget(m_corner);
    m_viewport = new TEVQTreeViewport(this);
    m_viewport->viewImpl = painter();
    setViewport(m_viewport);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBar(vertical);
    setHorizontalScrollBar(horizontal);
    setItemDelegate(m_delegate);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setExpandsOnDoubleClick(true);
    setMouseTracking(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

TEVQTreeView::~TEVQTreeView()
{
    viewport()->removeEventFilter(this);
    setItemDelegate(nullptr);
    delete m_delegate;
    m_delegate = nullptr;
}

void TEVQTreeView::setHeaderBgStyle(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->headerBackground, state, style);
}
void TEVQTreeView::setHeaderTextStyle(CtrlState state, const TextStyleDesc& style)
{
    tevSetStates(painter()->headerTextStyle, state, style);
}

void TEVQTreeView::setItemHeight(int h)
{
    if (h < 0)
        return;
    painter()->itemHeight = h;
}
int TEVQTreeView::getItemHeight() const { return painter()->itemHeight; }

void TEVQTreeView::setScrollbarBtnSize(bool, int size) { painter()->scrollbarBtnSize = size; }

void TEVQTreeView::setScrollbarSize(bool, int size)
{
    painter()->scrollbarSize = size;
    const QString sheet =
        QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } ").arg(size).arg(size);
    for (bool h : {false, true}) {
        if (TEVQScrollBar* b = bar(h))
            b->setStyleSheet(sheet);
    }
}

void TEVQTreeView::initDemoData() { painter()->createComplete(); }

// The viewport's paint events go on to paintEvent, which lays the background.
bool TEVQTreeView::eventFilter(QObject* watched, QEvent* event) { return QTreeView::eventFilter(watched, event); }

void TEVQTreeView::paintEvent(QPaintEvent* event)
{
    // This event is the viewport's, whichever widget the viewport is: the painter object's state follows the
    // enabled flag and its background goes under the rows, once (a second fill would cover a translucent
    // background with itself).
    TEVQTreeViewImpl* p = painter();
    if (!isEnabled())
        p->setState(CtrlStateDisable);
    else if (p->getState() == CtrlStateDisable)
        p->setState(CtrlStateNormal);
    {
        QPainter bg(viewport());
        p->draw(&bg, QRect(0, 0, viewport()->width(), viewport()->height()));
    }
    QTreeView::paintEvent(event);
}

ControlInfo TEVQTreeView::getProps()
{
    using W = TEVQTreeView;
    ControlInfo info = tevControlInfo(typeName(), "TreeView", "Control TreeView", "TEVQTreeView", "");
    appendStyleRows(info, QStringLiteral("Background"));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemHeight"), &W::setItemHeight, &W::getItemHeight));
    return info;
}
