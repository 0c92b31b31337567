#include "TEVQList.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQControlInfo.h"
#include "TEVQScrollBar.h"
#include "TEVViewCommon.h"
#include "TEVViewStyles.h"

#include <QPainter>

using namespace TEVQtLib;

// ---- painter -------------------------------------------------------------------------------------------------

TEVQListImpl::TEVQListImpl(TEVQList* ownerList) : TEVQWidgetBaseImpl(ownerList, TEVQList::typeName()) {}

TEVQListImpl::~TEVQListImpl() = default;

TEVQList* TEVQListImpl::list() const { return static_cast<TEVQList*>(owner); }

void TEVQListImpl::createComplete()
{
    if (!tevIsQtEmulator() || !list())
        return;
    for (int i = 0; i < 20; ++i)
        list()->addItem(QStringLiteral("item %1").arg(i));
}

void TEVQListImpl::notifyChangeLanguage()
{
    TEVQWidgetBaseImpl::notifyChangeLanguage();
    rowIcons.clear();
}

bool TEVQListImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (load)
        rowIcons.clear(); // the styles are read again: so are the pictures
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    if (!json || !list())
        return result;
    Json::Value& element = *json;
    TEVViewStyleTable styles;
    styles.rowStyles(background, itemBackground, itemTextStyle);
    if (load) {
        styles.read(element);
        const Json::Value* attrs = json::find(element, "attr");
        if (attrs) {
            bool multi = false;
            if (json::read(*attrs, "multiselect", multi))
                list()->setIsMultiSelected(multi);
            int height = 0;
            if (json::read(*attrs, "itemHeight", height) && qBound(0, height, QWIDGETSIZE_MAX) != itemHeight) {
                itemHeight = qBound(0, height, QWIDGETSIZE_MAX); // within what a widget can be
                // Qt keeps the row sizes it laid the rows out with (a theme re-read may change the height).
                list()->doItemsLayout();
            }
        }
        readScrollbarChildJson(element, list());
        return result;
    }
    styles.write(element);
    Json::Value& attrs = ownAttrs(element, {"multiselect", "itemHeight"});
    if (list()->selectionMode() == QAbstractItemView::MultiSelection)
        attrs["multiselect"] = 1;
    if (itemHeight != 20)
        attrs["itemHeight"] = itemHeight;
    dropEmptyAttrs(element);
    return result;
}

// ---- delegate ------------------------------------------------------------------------------------------------

TEVQListItemDelegate::~TEVQListItemDelegate() = default;

int TEVQListItemDelegate::iconSizeFor(int h) { return tevViewIconSize(h); }

void TEVQListItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid() || !viewImpl)
        return;
    // Hover wins over selection.
    const int s = (option.state & QStyle::State_MouseOver) ? 1 : ((option.state & QStyle::State_Selected) ? 2 : 0);
    tevPaintViewRow(painter, option.rect, index, quint64(index.row()), viewImpl->itemBackground[s],
                    viewImpl->itemTextStyle[s], viewImpl->rowIcons, m_rowTexts);
}

QSize TEVQListItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    // 0 means 20, and so does a height below it (a row of negative height would hide every row).
    const int h = viewImpl && viewImpl->itemHeight > 0 ? viewImpl->itemHeight : 20;
    return QSize(option.rect.width(), h);
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQList::TEVQList(QWidget* parent) : QListWidget(parent), TEVQScrollBarPair(false)
{
    tevSetImpl(new TEVQListImpl(this));
    m_delegate = new TEVQListItemDelegate(painter());
    setItemDelegate(m_delegate);
    auto* horizontal = new TEVQScrollBar(Qt::Horizontal, this);
    auto* vertical = new TEVQScrollBar(Qt::Vertical, this);
    setHorizontalScrollBar(horizontal);
    setVerticalScrollBar(vertical);
    setBars(horizontal, vertical);
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setAttribute(Qt::WA_MouseTracking);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

TEVQList::~TEVQList()
{
    // The view must not paint through the delegate once it is gone.
    viewport()->removeEventFilter(this);
    setItemDelegate(nullptr);
    delete m_delegate;
}

void TEVQList::setItemHeight(int height) { painter()->itemHeight = height; }
int TEVQList::getItemHeight() const { return painter()->itemHeight; }

void TEVQList::setIsMultiSelected(bool multi)
{
    setSelectionMode(multi ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
}

bool TEVQList::getIsMultiSelected() const { return selectionMode() != QAbstractItemView::SingleSelection; }

// The viewport's paint events go on to paintEvent, which lays the background.
bool TEVQList::eventFilter(QObject* watched, QEvent* event) { return QAbstractItemView::eventFilter(watched, event); }

void TEVQList::paintEvent(QPaintEvent* event)
{
    // This event is the viewport's, whichever widget the viewport is: the background goes under the rows.
    tevFillViewBackground(viewport(), painter()->background);
    QListView::paintEvent(event);
}

ControlInfo TEVQList::getProps()
{
    using W = TEVQList;
    ControlInfo info = tevControlInfo(typeName(), "List", "Control List", "TEVQList", "list");
    appendStyleRows(info, QStringLiteral("ItemBackground"));
    info.props.append(tevBoolRow<W>(QStringLiteral("MultiSelect"), &W::setIsMultiSelected, &W::getIsMultiSelected));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemHeight"), &W::setItemHeight, &W::getItemHeight));
    return info;
}
