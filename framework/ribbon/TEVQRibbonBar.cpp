// The ribbon's model: pages, groups, items, context groups, the action registry, tabs and the minimized
// pop-up. Geometry is in TEVQRibbonLayout.cpp, painting in TEVQRibbonPaint.cpp.
#include "TEVQRibbonBar.h"
#include "TEVQRibbonLayout.h"

#include <QEvent>
#include <QHash>
#include <QHideEvent>
#include <QMenu>
#include <QResizeEvent>
#include <QWheelEvent>

using namespace TEVQtLib;

namespace TEVQtLib {

// Takes out a widget that may still be on the call stack: through the bar, which holds it apart until it is
// deleted, or, without a bar, hidden and deleted once control returns.
void detail::retireRibbonWidget(TEVQRibbonBar* bar, QWidget* widget)
{
    if (!widget)
        return;
    if (bar) {
        bar->retire(widget);
        return;
    }
    widget->hide();
    widget->deleteLater();
}

// A widget the ribbon builds, styles and lays out itself takes no theme element of its own: a theme's element
// for its type ("qtbutton", "qtcontainer") applied again by a theme change would replace the ribbon's palette
// and its own layout.
void detail::ribbonOwnLook(QWidget* widget)
{
    ITEVQWidgetBase* base = tevWidgetInterface(widget);
    TEVQWidgetBase* record = base ? base->getControlBase() : nullptr;
    if (TEVQWidgetBaseImpl* painter = record ? record->painter() : nullptr)
        painter->setThemeNameValue(QString());
}

TEV_RIBBON_ITEM_SIZE tevRibbonItemSize(const QString& word)
{
    if (word.compare(QLatin1String("medium"), Qt::CaseInsensitive) == 0)
        return TEV_RIBBON_ITEM_MEDIUM;
    if (word.compare(QLatin1String("small"), Qt::CaseInsensitive) == 0)
        return TEV_RIBBON_ITEM_SMALL;
    return TEV_RIBBON_ITEM_LARGE;
}

TEV_RIBBON_LAYOUT_MODE tevRibbonLayoutMode(const QString& word)
{
    return word.compare(QLatin1String("compact"), Qt::CaseInsensitive) == 0 ? TEV_RIBBON_LAYOUT_COMPACT
                                                                             : TEV_RIBBON_LAYOUT_OFFICE;
}

TEV_RIBBON_POPUP_MODE tevRibbonPopupMode(const QString& word)
{
    if (word.compare(QLatin1String("instant"), Qt::CaseInsensitive) == 0)
        return TEV_RIBBON_POPUP_INSTANT;
    if (word.compare(QLatin1String("split"), Qt::CaseInsensitive) == 0)
        return TEV_RIBBON_POPUP_SPLIT;
    return TEV_RIBBON_POPUP_NONE;
}

QString tevRibbonItemSizeWord(int size)
{
    return size == 1 ? QStringLiteral("medium") : size == 2 ? QStringLiteral("small") : QStringLiteral("large");
}

QString tevRibbonPopupModeWord(int mode)
{
    return mode == 1 ? QStringLiteral("instant") : mode == 2 ? QStringLiteral("split") : QStringLiteral("none");
}

// ---- gallery -------------------------------------------------------------------------------------------------

TEVQRibbonGallery::TEVQRibbonGallery(QWidget* parent) : TEVQContainer(parent)
{
    detail::ribbonOwnLook(this);
    setChildLayout(NoUse);
    m_pageUp = new TEVQRibbonButton(this, nullptr, TEV_RIBBON_ITEM_SMALL);
    m_pageUp->setText(QStringLiteral("^"));
    m_pageDown = new TEVQRibbonButton(this, nullptr, TEV_RIBBON_ITEM_SMALL);
    m_pageDown->setText(QStringLiteral("v"));
    m_more = new TEVQRibbonButton(this, nullptr, TEV_RIBBON_ITEM_SMALL);
    m_more->setText(QStringLiteral("..."));
    connect(m_pageUp, &QPushButton::clicked, this, [this] { page(false); });
    connect(m_pageDown, &QPushButton::clicked, this, [this] { page(true); });
    connect(m_more, &QPushButton::clicked, this, [this] { showMoreMenu(); });
}

TEVQRibbonGallery::~TEVQRibbonGallery()
{
    // The gallery's own actions are deleted with its children, after this: they are no longer watched.
    for (QAction* a : m_actions)
        disconnect(a, nullptr, this, nullptr);
}

void TEVQRibbonGallery::addAction(QAction* action)
{
    if (!action || std::find(m_actions.begin(), m_actions.end(), action) != m_actions.end())
        return;
    m_actions.push_back(action);
    auto* button = new TEVQRibbonButton(this, action, TEV_RIBBON_ITEM_SMALL);
    // Styled at once when the gallery already sits in a ribbon.
    if (auto* group = qobject_cast<TEVQRibbonGroup*>(parentWidget())) {
        TEVQRibbonBar* bar = group->page() ? group->page()->bar() : nullptr;
        if (TEVQRibbonBarImpl* impl = bar ? bar->ribbonImpl() : nullptr)
            impl->styleButton(button, false);
    }
    m_itemButtons.push_back(button);
    connect(action, &QAction::triggered, this, [this, action] { emit itemTriggered(action->objectName()); });
    connect(action, &QObject::destroyed, this, &TEVQRibbonGallery::forgetAction);
    if (isVisible())
        button->show();
    updateGalleryLayout();
}

void TEVQRibbonGallery::forgetAction(QObject* action)
{
    for (size_t k = 0; k < m_actions.size(); ++k) {
        if (m_actions[k] != action)
            continue;
        m_actions.erase(m_actions.begin() + std::ptrdiff_t(k));
        TEVQRibbonButton* button = m_itemButtons[k];
        m_itemButtons.erase(m_itemButtons.begin() + std::ptrdiff_t(k));
        button->hide();
        button->deleteLater();
        updateGalleryLayout();
        return;
    }
}

QAction* TEVQRibbonGallery::addItem(const QString& id, const QString& text, const QString& iconPath)
{
    auto* action = new QAction(text, this);
    action->setObjectName(id);
    action->setProperty("tevRibbonIconPath", iconPath);
    if (!iconPath.isEmpty())
        action->setIcon(QIcon(iconPath));
    addAction(action);
    return action;
}

void TEVQRibbonGallery::clearItems()
{
    for (TEVQRibbonButton* b : m_itemButtons) {
        b->hide();
        b->deleteLater();
    }
    m_itemButtons.clear();
    for (QAction* a : m_actions)
        disconnect(a, nullptr, this, nullptr);
    m_actions.clear();
    m_firstVisible = 0;
    updateGalleryLayout();
}

void TEVQRibbonGallery::setColumnCount(int columns)
{
    m_columns = qMax(columns, 1);
    updateGeometry();
    updateGalleryLayout();
}

void TEVQRibbonGallery::setVisibleRowCount(int rows)
{
    m_rows = qMax(rows, 1);
    updateGeometry();
    updateGalleryLayout();
}

QSize TEVQRibbonGallery::sizeHint() const
{
    const qint64 w = qint64(m_columns) * 66 + 20, h = qint64(m_rows) * 28 + 4;
    return QSize(int(qMin<qint64>(w, QWIDGETSIZE_MAX)), int(qMin<qint64>(h, QWIDGETSIZE_MAX)));
}

void TEVQRibbonGallery::updateGalleryLayout()
{
    const ribbonlayout::GalleryResult r =
        ribbonlayout::gallery(count(), m_columns, m_rows, m_firstVisible, width(), height());
    m_pageUp->setGeometry(r.pageUp);
    m_pageDown->setGeometry(r.pageDown);
    m_more->setGeometry(r.more);
    for (size_t k = 0; k < m_itemButtons.size(); ++k) {
        const QRect& cell = r.cells[k];
        if (cell.isNull()) {
            m_itemButtons[k]->setVisible(false);
        } else {
            m_itemButtons[k]->setGeometry(cell);
            m_itemButtons[k]->setVisible(true);
        }
    }
    m_pageUp->setEnabled(r.upEnabled);
    m_pageDown->setEnabled(r.downEnabled);
}

void TEVQRibbonGallery::resizeEvent(QResizeEvent* event)
{
    TEVQContainer::resizeEvent(event);
    updateGalleryLayout();
}

void TEVQRibbonGallery::page(bool down)
{
    m_firstVisible = ribbonlayout::galleryPaged(count(), m_columns, m_rows, m_firstVisible, down);
    updateGalleryLayout();
}

// ---- group ---------------------------------------------------------------------------------------------------

TEVQRibbonGroup::TEVQRibbonGroup(const QString& id, const QString& title, QWidget* parent)
    : TEVQContainer(parent), m_groupId(id), m_title(title), m_page(qobject_cast<TEVQRibbonPage*>(parent))
{
    detail::ribbonOwnLook(this);
    setChildLayout(NoUse);
    setDrawBackground(false);
}

TEVQRibbonGroup::~TEVQRibbonGroup()
{
    unwatchItems();
    for (RibbonItem* item : m_items)
        delete item;
}

void TEVQRibbonGroup::watchItems()
{
    for (const RibbonItem* item : m_items) {
        if (item->widget)
            connect(item->widget, &QObject::destroyed, this, &TEVQRibbonGroup::forgetObject, Qt::UniqueConnection);
        if (item->action)
            connect(item->action, &QObject::destroyed, this, &TEVQRibbonGroup::forgetObject, Qt::UniqueConnection);
    }
}

void TEVQRibbonGroup::unwatchItems()
{
    for (const RibbonItem* item : m_items) {
        if (item->widget)
            disconnect(item->widget, &QObject::destroyed, this, &TEVQRibbonGroup::forgetObject);
        if (item->action)
            disconnect(item->action, &QObject::destroyed, this, &TEVQRibbonGroup::forgetObject);
    }
}

void TEVQRibbonGroup::forgetObject(QObject* object)
{
    // Every remaining item is watched again below; the gone ones' other halves are not.
    unwatchItems();
    bool changed = false;
    for (auto it = m_items.begin(); it != m_items.end();) {
        RibbonItem* item = *it;
        if (item->widget != object && item->action != object) {
            ++it;
            continue;
        }
        if (item->widget && item->widget != object) {
            item->widget->hide();
            item->widget->deleteLater();
        }
        delete item;
        it = m_items.erase(it);
        changed = true;
    }
    watchItems();
    if (!changed)
        return;
    updateGeometry();
    updateItemLayout();
    if (m_page)
        m_page->updateGroupLayout();
}

void TEVQRibbonGroup::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void TEVQRibbonGroup::setExpanding(bool on)
{
    m_expanding = on;
    updateGeometry();
}

const RibbonItem* TEVQRibbonGroup::itemAt(int i) const
{
    return i >= 0 && i < itemCount() ? m_items[size_t(i)] : nullptr;
}

void TEVQRibbonGroup::clearItems()
{
    unwatchItems();
    for (RibbonItem* item : m_items) {
        detail::retireRibbonWidget(ribbonBar(), item->widget);
        delete item;
    }
    m_items.clear();
    updateGeometry();
    if (m_page)
        m_page->updateGroupLayout();
}

TEVQRibbonBar* TEVQRibbonGroup::ribbonBar() const { return m_page ? m_page->bar() : nullptr; }

int TEVQRibbonGroup::rows() const
{
    TEVQRibbonBar* bar = ribbonBar();
    return ribbonlayout::groupRows(bar ? bar->groupRows() : 3);
}

void TEVQRibbonGroup::appendItem(QWidget* widget, TEV_RIBBON_ITEM_SIZE size, const QString& type, QAction* action)
{
    auto* item = new RibbonItem;
    item->widget = widget;
    item->size = size;
    item->type = type;
    item->action = action;
    m_items.push_back(item);
    watchItems();
    if (widget && isVisible())
        widget->show();
    updateGeometry();
    updateItemLayout();
    if (m_page)
        m_page->updateGroupLayout();
}

TEVQRibbonButton* TEVQRibbonGroup::addAction(QAction* action, TEV_RIBBON_ITEM_SIZE size, TEV_RIBBON_POPUP_MODE popup,
                                             TEVQRibbonMenu* menu)
{
    if (!action)
        return nullptr;
    auto* button = new TEVQRibbonButton(this, action, size);
    button->setPopupMode(popup);
    button->setPopupMenu(menu);
    if (TEVQRibbonBar* bar = ribbonBar()) {
        bar->registerAction(action);
        bar->registerMenuActions(menu);
        if (TEVQRibbonBarImpl* impl = bar->ribbonImpl())
            impl->styleButton(button, false);
    }
    connect(action, &QAction::triggered, this, [this, action] { emit actionTriggered(action); });
    appendItem(button, size, QStringLiteral("button"), action);
    return button;
}

TEVQRibbonButton* TEVQRibbonGroup::addLargeAction(QAction* action)
{
    return addAction(action, TEV_RIBBON_ITEM_LARGE, TEV_RIBBON_POPUP_NONE, nullptr);
}

TEVQRibbonButton* TEVQRibbonGroup::addMediumAction(QAction* action)
{
    return addAction(action, TEV_RIBBON_ITEM_MEDIUM, TEV_RIBBON_POPUP_NONE, nullptr);
}

TEVQRibbonButton* TEVQRibbonGroup::addSmallAction(QAction* action)
{
    return addAction(action, TEV_RIBBON_ITEM_SMALL, TEV_RIBBON_POPUP_NONE, nullptr);
}

TEVQRibbonButton* TEVQRibbonGroup::addMenu(TEVQRibbonMenu* menu, TEV_RIBBON_ITEM_SIZE size, TEV_RIBBON_POPUP_MODE popup)
{
    auto* action = new QAction(menu ? menu->title() : QStringLiteral("Menu"), this);
    return addAction(action, size, popup, menu);
}

TEVQRibbonGallery* TEVQRibbonGroup::addGallery(int columns, int rows)
{
    auto* gallery = new TEVQRibbonGallery(this);
    gallery->setColumnCount(columns);
    gallery->setVisibleRowCount(rows);
    if (TEVQRibbonBar* bar = ribbonBar()) {
        connect(gallery, &TEVQRibbonGallery::itemTriggered, bar,
                [bar](const QString& id) { emit bar->commandTriggered(id, false); });
        if (TEVQRibbonBarImpl* impl = bar->ribbonImpl()) {
            gallery->setBackground(impl->galleryBackground);
            for (TEVQRibbonButton* b : gallery->findChildren<TEVQRibbonButton*>())
                impl->styleButton(b, false);
        }
    }
    appendItem(gallery, TEV_RIBBON_ITEM_LARGE, QStringLiteral("gallery"), nullptr);
    return gallery;
}

void TEVQRibbonGroup::addSeparator()
{
    appendItem(new RibbonSeparator(this), TEV_RIBBON_ITEM_LARGE, QStringLiteral("separator"), nullptr);
}

QWidget* TEVQRibbonGroup::addWidget(QWidget* widget, TEV_RIBBON_ITEM_SIZE size)
{
    if (!widget)
        return nullptr;
    widget->setParent(this);
    appendItem(widget, size, QStringLiteral("widget"), nullptr);
    return widget;
}

QSize TEVQRibbonGroup::sizeHint() const
{
    std::vector<ribbonlayout::GroupItem> items;
    items.reserve(m_items.size());
    for (const RibbonItem* it : m_items)
        items.push_back({int(it->size), it->widget ? it->widget->sizeHint().width() : 0});
    TEVQRibbonBar* bar = ribbonBar();
    return QSize(ribbonlayout::groupHintWidth(items, rows()), bar ? bar->pageHeight() - 8 : 92);
}

void TEVQRibbonGroup::updateItemLayout()
{
    std::vector<ribbonlayout::GroupItem> items;
    items.reserve(m_items.size());
    for (const RibbonItem* it : m_items)
        items.push_back({int(it->size), it->widget ? it->widget->sizeHint().width() : 0});
    const std::vector<QRect> rects = ribbonlayout::groupItems(items, rows(), height());
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i]->widget)
            m_items[i]->widget->setGeometry(rects[i]);
    }
}

void TEVQRibbonGroup::resizeEvent(QResizeEvent* event)
{
    TEVQContainer::resizeEvent(event);
    updateItemLayout();
}

bool TEVQRibbonGroup::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest) {
        // The page hears of the new size hint through a layout request of its own (or lays out when shown).
        updateItemLayout();
        updateGeometry();
    }
    return TEVQContainer::event(event);
}

// ---- page ----------------------------------------------------------------------------------------------------

TEVQRibbonPage::TEVQRibbonPage(const QString& id, const QString& title, QWidget* parent)
    : TEVQContainer(parent), m_pageId(id), m_title(title.isEmpty() ? id : title)
{
    detail::ribbonOwnLook(this);
    setChildLayout(NoUse);
    setDrawBackground(false);
    m_scrollLeft = new TEVQRibbonButton(this, nullptr, TEV_RIBBON_ITEM_SMALL);
    m_scrollLeft->setText(QStringLiteral("<"));
    m_scrollLeft->hide();
    m_scrollRight = new TEVQRibbonButton(this, nullptr, TEV_RIBBON_ITEM_SMALL);
    m_scrollRight->setText(QStringLiteral(">"));
    m_scrollRight->hide();
    connect(m_scrollLeft, &QPushButton::clicked, this, [this] { scrollBy(-120); });
    connect(m_scrollRight, &QPushButton::clicked, this, [this] { scrollBy(120); });
}

TEVQRibbonPage::~TEVQRibbonPage()
{
    // Groups outlive this body as children: none of them reaches back into a page that is going, nor this page
    // hears of their end.
    for (TEVQRibbonGroup* g : findChildren<TEVQRibbonGroup*>(QString(), Qt::FindDirectChildrenOnly)) {
        disconnect(g, &QObject::destroyed, this, &TEVQRibbonPage::forgetGroup);
        g->m_page = nullptr;
    }
}

void TEVQRibbonPage::forgetGroup(QObject* group)
{
    const auto gone = std::remove(m_groups.begin(), m_groups.end(), group);
    if (gone == m_groups.end())
        return;
    m_groups.erase(gone, m_groups.end());
    updateGroupLayout();
}

void TEVQRibbonPage::setTitle(const QString& title)
{
    m_title = title;
    if (m_bar)
        m_bar->rebuildTabs();
}

TEVQRibbonGroup* TEVQRibbonPage::addGroup(const QString& id, const QString& title)
{
    return insertGroup(groupCount(), id, title);
}

TEVQRibbonGroup* TEVQRibbonPage::insertGroup(int index, const QString& id, const QString& title)
{
    auto* group = new TEVQRibbonGroup(id, title, this);
    group->m_page = this;
    connect(group, &QObject::destroyed, this, &TEVQRibbonPage::forgetGroup);
    if (isVisible())
        group->show();
    m_groups.insert(m_groups.begin() + qBound(0, index, groupCount()), group);
    updateGroupLayout();
    return group;
}

bool TEVQRibbonPage::removeGroup(TEVQRibbonGroup* group)
{
    auto it = std::find(m_groups.begin(), m_groups.end(), group);
    if (!group || it == m_groups.end())
        return false;
    m_groups.erase(it);
    group->m_page = nullptr; // it may outlive this page until it is deleted
    detail::retireRibbonWidget(m_bar, group);
    updateGroupLayout();
    return true;
}

void TEVQRibbonPage::clearGroups()
{
    for (TEVQRibbonGroup* g : m_groups) {
        g->m_page = nullptr; // it may outlive this page until it is deleted
        detail::retireRibbonWidget(m_bar, g);
    }
    m_groups.clear();
    m_scrollOffset = 0;
    updateGroupLayout();
}

TEVQRibbonGroup* TEVQRibbonPage::groupAt(int index) const
{
    return index >= 0 && index < groupCount() ? m_groups[size_t(index)] : nullptr;
}

TEVQRibbonGroup* TEVQRibbonPage::groupById(const QString& id) const
{
    for (TEVQRibbonGroup* g : m_groups)
        if (g->groupId() == id)
            return g;
    return nullptr;
}

void TEVQRibbonPage::scrollBy(int dx)
{
    m_scrollOffset = ribbonlayout::scrolledPageOffset(m_contentWidth, width(), m_scrollOffset, dx);
    updateGroupLayout();
}

QSize TEVQRibbonPage::sizeHint() const { return QSize(m_contentWidth, m_bar ? m_bar->pageHeight() : 96); }

void TEVQRibbonPage::updateGroupLayout()
{
    std::vector<int> widths;
    std::vector<bool> expanding;
    widths.reserve(m_groups.size());
    for (TEVQRibbonGroup* g : m_groups) {
        widths.push_back(g->sizeHint().width());
        expanding.push_back(g->isExpanding());
    }
    const ribbonlayout::PageResult r = ribbonlayout::page(widths, expanding, width(), height(), m_scrollOffset);
    m_contentWidth = r.contentWidth;
    m_scrollOffset = r.offset;
    for (size_t i = 0; i < m_groups.size(); ++i)
        m_groups[i]->setGeometry(r.groups[i]);
    m_scrollLeft->setVisible(r.overflow);
    m_scrollRight->setVisible(r.overflow);
    m_scrollLeft->setEnabled(r.leftEnabled);
    m_scrollRight->setEnabled(r.rightEnabled);
    if (r.overflow) {
        m_scrollLeft->setGeometry(r.scrollLeft);
        m_scrollRight->setGeometry(r.scrollRight);
        m_scrollLeft->raise();
        m_scrollRight->raise();
    }
}

void TEVQRibbonPage::wheelEvent(QWheelEvent* event)
{
    if (!isOverflowing()) {
        TEVQContainer::wheelEvent(event);
        return;
    }
    scrollBy(event->angleDelta().y() < 0 ? 80 : -80);
    event->accept();
}

void TEVQRibbonPage::resizeEvent(QResizeEvent* event)
{
    TEVQContainer::resizeEvent(event);
    updateGroupLayout();
}

void TEVQRibbonPage::relayout()
{
    for (TEVQRibbonGroup* g : m_groups)
        g->updateItemLayout();
    updateGroupLayout();
}

bool TEVQRibbonPage::event(QEvent* event)
{
    if (event->type() == QEvent::LayoutRequest)
        updateGroupLayout();
    return TEVQContainer::event(event);
}

void TEVQRibbonPage::showEvent(QShowEvent* event)
{
    TEVQContainer::showEvent(event);
    // Hidden, the page heard of no change of its groups' or items' size hints.
    relayout();
}

// ---- context group -------------------------------------------------------------------------------------------

TEVQRibbonContextGroup::TEVQRibbonContextGroup(const QString& id, const QString& title, const QColor& color,
                                               TEVQRibbonBar* bar)
    : QObject(bar), m_contextId(id), m_title(title), m_color(color), m_bar(bar)
{
}

void TEVQRibbonContextGroup::setColor(const QColor& color)
{
    m_color = color;
    if (m_bar)
        m_bar->rebuildTabs();
}

TEVQRibbonPage* TEVQRibbonContextGroup::addPage(const QString& id, const QString& title)
{
    if (!m_bar)
        return nullptr;
    // A listener of the tab rebuild may delete the bar, and the page with it.
    const QPointer<TEVQRibbonPage> page = m_bar->appendContextPage(this, id, title);
    m_bar->rebuildTabs();
    return page;
}

TEVQRibbonPage* TEVQRibbonContextGroup::pageAt(int index) const
{
    return index >= 0 && index < pageCount() ? m_pages[size_t(index)] : nullptr;
}

// ---- bar -----------------------------------------------------------------------------------------------------

TEVQRibbonBar::TEVQRibbonBar(QWidget* parent) : QWidget(parent)
{
    topRow = new TEVQContainer(this);
    tabRow = new TEVQContainer(this);
    pageArea = new TEVQContainer(this);
    minimizedPopup = new TEVQContainer(nullptr);
    m_applicationButton = new Button(topRow, nullptr, TEV_RIBBON_ITEM_SMALL);
    tabScrollLeft = new Button(tabRow, nullptr, TEV_RIBBON_ITEM_SMALL);
    tabScrollRight = new Button(tabRow, nullptr, TEV_RIBBON_ITEM_SMALL);
    tevSetImpl(new TEVQRibbonBarImpl(this), false);
    // Rows, pages and buttons are the bar's own making, written through its "ribbon" attribute: as "child"
    // elements the page loader would create them a second time. Any other child (a control put on the bar in
    // the designer) is the page's.
    for (QObject* part : {static_cast<QObject*>(topRow), static_cast<QObject*>(tabRow), static_cast<QObject*>(pageArea)})
        ribbonImpl()->addOwnPart(part);
    for (TEVQContainer* c : {topRow, tabRow, pageArea, minimizedPopup}) {
        detail::ribbonOwnLook(c);
        c->setChildLayout(TEVQContainer::NoUse);
    }
    minimizedPopup->setWindowFlags(Qt::WindowFlags(0x809));
    minimizedPopup->installEventFilter(this);
    // The top row's pieces sit in one of the rows: a piece whose size hint changes (its text, as on a language
    // change, where the bar is told before its pieces) is placed again; while hidden, when the bar is shown.
    topRow->installEventFilter(this);
    tabRow->installEventFilter(this);
    m_applicationButton->setObjectName(QStringLiteral("ribbonApplicationButton"));
    m_applicationButton->setText(QStringLiteral("File"));
    m_applicationButton->hide();
    tabScrollLeft->setText(QStringLiteral("<"));
    tabScrollRight->setText(QStringLiteral(">"));
    tabScrollLeft->hide();
    tabScrollRight->hide();
    connect(tabScrollLeft, &QPushButton::clicked, this, [this] {
        m_tabScrollOffset = qMax(m_tabScrollOffset - 100, 0);
        updateTabLayout();
    });
    connect(tabScrollRight, &QPushButton::clicked, this, [this] {
        m_tabScrollOffset += 100;
        updateTabLayout();
    });
    if (m_tev.impl)
        m_tev.impl->applyTheme();
    ribbonImpl()->applyRibbonStyle();
    updateLayout();
}

TEVQRibbonBar::~TEVQRibbonBar()
{
    m_quietCurrent = true;
    hideMinimizedPopup();
    clearContent();
    delete minimizedPopup;
    minimizedPopup = nullptr;
    // The pages go before the bar's own actions, which their groups watch, whatever the order of the children.
    delete pageArea;
    pageArea = nullptr;
    delete m_retired;
    m_retired = nullptr;
    tevSetImpl(nullptr, false);
}

void TEVQRibbonBar::retire(QObject* object)
{
    if (!object)
        return;
    // Until it goes it sits outside the bar, so that what the bar holds by name (findChild) is only what it
    // shows; the holder takes anything left with it when the bar goes.
    if (!m_retired)
        m_retired = new QWidget(nullptr);
    if (object->isWidgetType()) {
        auto* w = static_cast<QWidget*>(object);
        w->hide();
        w->setParent(m_retired);
    } else {
        object->setParent(m_retired);
    }
    object->deleteLater();
}

TEVQRibbonBar::Page* TEVQRibbonBar::addPage(const QString& id, const QString& title)
{
    return insertPage(pageCount(), id, title);
}

TEVQRibbonBar::Page* TEVQRibbonBar::newPage(const QString& id, const QString& title)
{
    auto* page = new Page(id, title, pageArea);
    page->m_bar = this;
    page->hide();
    connect(page, &QObject::destroyed, this, &TEVQRibbonBar::forgetPage);
    return page;
}

void TEVQRibbonBar::forgetContextGroup(QObject* object)
{
    const auto gone = std::remove(m_contextGroups.begin(), m_contextGroups.end(), object);
    if (gone == m_contextGroups.end())
        return;
    m_contextGroups.erase(gone, m_contextGroups.end());
    for (Page* p : m_pages)
        if (p->m_contextGroup == object)
            p->m_contextGroup = nullptr;
    rebuildTabsAnnounced(m_currentPage);
}

void TEVQRibbonBar::unlistPage(QObject* page)
{
    m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), page), m_pages.end());
    for (TEVQRibbonContextGroup* g : m_contextGroups)
        g->m_pages.erase(std::remove(g->m_pages.begin(), g->m_pages.end(), page), g->m_pages.end());
    m_tabPages.erase(std::remove(m_tabPages.begin(), m_tabPages.end(), page), m_tabPages.end());
    if (m_currentPage == page)
        m_currentPage = m_pages.empty() ? nullptr : m_pages.front();
}

void TEVQRibbonBar::forgetPage(QObject* object)
{
    if (std::find(m_pages.begin(), m_pages.end(), object) == m_pages.end())
        return;
    Page* before = m_currentPage;
    unlistPage(object);
    rebuildTabsAnnounced(before);
}

TEVQRibbonBar::Page* TEVQRibbonBar::insertPage(int index, const QString& id, const QString& title)
{
    Page* page = newPage(id, title);
    m_pages.insert(m_pages.begin() + qBound(0, index, pageCount()), page);
    const bool first = !m_currentPage;
    if (first)
        m_currentPage = page;
    rebuildTabs();
    if (TEVQRibbonBarImpl* impl = ribbonImpl()) {
        impl->styleButton(page->m_scrollLeft, false);
        impl->styleButton(page->m_scrollRight, false);
    }
    // The first page becomes current: a change listeners hear of, once the tabs stand, and last, since a
    // listener may delete the bar (and the page with it).
    if (first && m_currentPage == page && !m_quietCurrent) {
        const QPointer<TEVQRibbonBar> alive(this);
        emit currentPageChanged(currentPage());
        if (!alive)
            return nullptr;
    }
    return page;
}

TEVQRibbonBar::Page* TEVQRibbonBar::appendContextPage(TEVQRibbonContextGroup* group, const QString& id,
                                                      const QString& title)
{
    Page* page = newPage(id, title);
    page->m_contextGroup = group;
    m_pages.push_back(page);
    group->m_pages.push_back(page);
    if (TEVQRibbonBarImpl* impl = ribbonImpl()) {
        impl->styleButton(page->m_scrollLeft, false);
        impl->styleButton(page->m_scrollRight, false);
    }
    return page;
}

bool TEVQRibbonBar::removePage(Page* page)
{
    if (!page || std::find(m_pages.begin(), m_pages.end(), page) == m_pages.end())
        return false;
    Page* before = m_currentPage;
    unlistPage(page);
    retire(page);
    rebuildTabsAnnounced(before);
    return true;
}

void TEVQRibbonBar::clearPages()
{
    for (Page* p : m_pages)
        retire(p);
    m_pages.clear();
    m_tabPages.clear();
    for (TEVQRibbonContextGroup* g : m_contextGroups)
        g->m_pages.clear();
    Page* before = m_currentPage;
    m_currentPage = nullptr;
    rebuildTabsAnnounced(before);
}

TEVQRibbonBar::Page* TEVQRibbonBar::pageAt(int index) const
{
    return index >= 0 && index < pageCount() ? m_pages[size_t(index)] : nullptr;
}

TEVQRibbonBar::Page* TEVQRibbonBar::pageById(const QString& id) const
{
    for (Page* p : m_pages)
        if (p->pageId() == id)
            return p;
    return nullptr;
}

int TEVQRibbonBar::currentPage() const
{
    auto it = std::find(m_pages.begin(), m_pages.end(), m_currentPage);
    return it == m_pages.end() ? -1 : int(it - m_pages.begin());
}

bool TEVQRibbonBar::setCurrentPage(int index)
{
    Page* page = pageAt(index);
    if (!page || std::find(m_tabPages.begin(), m_tabPages.end(), page) == m_tabPages.end())
        return false;
    m_currentPage = page;
    updatePageVisibility();
    for (size_t i = 0; i < m_tabButtons.size(); ++i) {
        const QSignalBlocker block(m_tabButtons[i]);
        m_tabButtons[i]->setChecked(m_tabPages[i] == page);
    }
    updateTabLayout();
    const QPointer<TEVQRibbonBar> alive(this); // a listener may delete the bar
    emit currentPageChanged(index);
    if (alive && m_minimized)
        showMinimizedPopup();
    return true;
}

bool TEVQRibbonBar::setCurrentPage(const QString& id)
{
    Page* page = pageById(id);
    if (!page)
        return false;
    return setCurrentPage(int(std::find(m_pages.begin(), m_pages.end(), page) - m_pages.begin()));
}

TEVQRibbonContextGroup* TEVQRibbonBar::addContextGroup(const QString& id, const QString& title, const QColor& color)
{
    if (TEVQRibbonContextGroup* g = contextGroupById(id))
        return g;
    auto* g = new TEVQRibbonContextGroup(id, title, color, this);
    m_contextGroups.push_back(g);
    connect(g, &QObject::destroyed, this, &TEVQRibbonBar::forgetContextGroup);
    return g;
}

TEVQRibbonContextGroup* TEVQRibbonBar::contextGroupById(const QString& id) const
{
    for (TEVQRibbonContextGroup* g : m_contextGroups)
        if (g->contextId() == id)
            return g;
    return nullptr;
}

void TEVQRibbonBar::showContextGroup(const QString& id)
{
    TEVQRibbonContextGroup* g = contextGroupById(id);
    if (!g)
        return;
    g->m_visible = true;
    rebuildTabs();
}

void TEVQRibbonBar::hideContextGroup(const QString& id)
{
    TEVQRibbonContextGroup* g = contextGroupById(id);
    if (!g)
        return;
    g->m_visible = false;
    Page* before = m_currentPage;
    if (m_currentPage && m_currentPage->contextGroup() == g) {
        Page* next = nullptr;
        for (Page* p : m_tabPages) {
            if (p->contextGroup() != g) {
                next = p;
                break;
            }
        }
        m_currentPage = next;
    }
    rebuildTabsAnnounced(before);
}

TEVQRibbonBar::Button* TEVQRibbonBar::addQuickAction(QAction* action)
{
    if (!action)
        return nullptr;
    registerAction(action);
    auto* button = new Button(m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT ? tabRow : topRow, action,
                              TEV_RIBBON_ITEM_SMALL);
    button->setShowText(false);
    button->setToolTip(action->text());
    m_quickButtons.push_back(button);
    connect(button, &QObject::destroyed, this, &TEVQRibbonBar::forgetTopRowPiece);
    if (TEVQRibbonBarImpl* impl = ribbonImpl())
        impl->styleButton(button, false);
    button->show();
    updateLayout();
    return button;
}

void TEVQRibbonBar::addTopRightWidget(QWidget* widget)
{
    if (!widget)
        return;
    widget->setParent(m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT ? tabRow : topRow);
    widget->show();
    m_topRightWidgets.push_back(widget);
    connect(widget, &QObject::destroyed, this, &TEVQRibbonBar::forgetTopRowPiece, Qt::UniqueConnection);
    updateLayout();
}

void TEVQRibbonBar::forgetTopRowPiece(QObject* widget)
{
    const auto goneRight = std::remove(m_topRightWidgets.begin(), m_topRightWidgets.end(), widget);
    const auto goneQuick = std::remove(m_quickButtons.begin(), m_quickButtons.end(), widget);
    if (goneRight == m_topRightWidgets.end() && goneQuick == m_quickButtons.end())
        return;
    m_topRightWidgets.erase(goneRight, m_topRightWidgets.end());
    m_quickButtons.erase(goneQuick, m_quickButtons.end());
    updateLayout();
}

void TEVQRibbonBar::setApplicationMenu(const QString& text, TEVQRibbonMenu* menu, const QString& iconPath)
{
    m_applicationButton->setText(text);
    m_applicationButton->setRibbonIcon(iconPath);
    m_applicationButton->setPopupMode(TEV_RIBBON_POPUP_INSTANT);
    if (menu)
        menu->setParent(m_applicationButton, menu->windowFlags());
    m_applicationButton->setPopupMenu(menu);
    m_applicationButton->setVisible(menu != nullptr);
    registerMenuActions(menu);
    updateLayout();
}

void TEVQRibbonBar::registerAction(QAction* action)
{
    if (!action)
        return;
    if (std::find(registeredActions.begin(), registeredActions.end(), action) == registeredActions.end()) {
        registeredActions.push_back(action);
        connect(action, &QObject::destroyed, this, [this, action] {
            registeredActions.erase(std::remove(registeredActions.begin(), registeredActions.end(), action),
                                      registeredActions.end());
        });
        connect(action, &QAction::triggered, this,
                [this, action] { emit commandTriggered(action->objectName(), action->isChecked()); });
    }
    if (action->parent() == this) {
        for (const QPointer<QAction>& a : ownedActions)
            if (a == action)
                return;
        ownedActions.emplace_back(action);
    }
}

void TEVQRibbonBar::registerMenuActions(QMenu* menu)
{
    if (!menu)
        return;
    for (QAction* a : menu->actions()) {
        if (a->menu())
            registerMenuActions(a->menu());
        else if (!a->isSeparator())
            registerAction(a);
    }
}

QAction* TEVQRibbonBar::findAction(const QString& id) const
{
    for (QAction* a : registeredActions)
        if (a->objectName() == id)
            return a;
    return nullptr;
}

void TEVQRibbonBar::setLayoutMode(TEV_RIBBON_LAYOUT_MODE mode)
{
    if (mode == m_layoutMode)
        return;
    m_layoutMode = mode;
    m_groupRows = mode == TEV_RIBBON_LAYOUT_COMPACT ? 2 : 3;
    const QPointer<TEVQRibbonBar> alive(this); // a listener may delete the bar
    emit layoutModeChanged(mode);
    if (!alive)
        return;
    updateGeometry();
    updateLayout();
}

void TEVQRibbonBar::setMinimized(bool on)
{
    if (on == m_minimized)
        return;
    m_minimized = on;
    if (!on)
        hideMinimizedPopup();
    const QPointer<TEVQRibbonBar> alive(this); // a listener may delete the bar
    emit minimizedChanged(on);
    if (!alive)
        return;
    updateGeometry();
    updateLayout();
}

bool TEVQRibbonBar::isTabOverflowing() const { return m_tabContentWidth > tabRow->width(); }

void TEVQRibbonBar::setRowHeights(int top, int tab, int page)
{
    // Within what a widget can measure, so that no sum of them overflows.
    constexpr int kMaxRowHeight = 65535;
    m_topRowHeight = qBound(0, top, kMaxRowHeight);
    m_tabRowHeight = qBound(0, tab, kMaxRowHeight);
    m_pageHeight = qBound(0, page, kMaxRowHeight);
}

void TEVQRibbonBar::setGroupRows(int rows) { m_groupRows = qBound(2, rows, 3); }

int TEVQRibbonBar::headerHeight() const
{
    return ribbonlayout::header(m_topRowHeight, m_tabRowHeight, m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT).header;
}

void TEVQRibbonBar::rebuildTabs()
{
    if (m_tabsDeferred)
        return;
    // The move of the current page is announced once the tabs stand: a listener may rebuild them again or
    // delete the bar.
    Page* const before = m_currentPage;
    // A page that keeps its tab keeps the same button: a bar built page by page then makes every tab once.
    std::vector<Button*> oldButtons;
    std::vector<TabRecord> oldRecords;
    oldButtons.swap(m_tabButtons);
    oldRecords.swap(m_tabRecords);
    QHash<const QObject*, size_t> oldIndex;
    oldIndex.reserve(int(oldButtons.size()));
    for (size_t i = 0; i < oldButtons.size() && i < oldRecords.size(); ++i)
        if (const QObject* page = oldRecords[i].page.data())
            oldIndex.insert(page, i);
    m_tabPages.clear();
    TEVQRibbonBarImpl* impl = ribbonImpl();
    for (Page* page : m_pages) {
        TEVQRibbonContextGroup* g = page->contextGroup();
        if (g && !g->isVisible())
            continue;
        m_tabPages.push_back(page);
        Button* tab = nullptr;
        bool made = false;
        TabRecord record;
        const auto old = oldIndex.constFind(static_cast<const QObject*>(page));
        if (old != oldIndex.constEnd() && oldButtons[*old]) {
            tab = oldButtons[*old];
            oldButtons[*old] = nullptr;
            record = std::move(oldRecords[*old]);
        } else {
            tab = new Button(tabRow, nullptr, TEV_RIBBON_ITEM_SMALL);
            connect(tab, &QPushButton::clicked, this, [this, page] { tabClicked(page); });
            record.page = page;
            made = true;
        }
        const QString name = QStringLiteral("ribbonTab_%1").arg(page->pageId());
        if (tab->objectName() != name)
            tab->setObjectName(name);
        if (tab->text() != page->title())
            tab->setText(page->title());
        tab->setCheckable(true);
        tab->setChecked(page == m_currentPage);
        tab->setProperty("tevRibbonContextColor", g ? g->color() : QColor());
        if (impl)
            impl->styleButton(tab, true);
        if (made)
            tab->show(); // a kept tab is shown or hidden by the tab layout below, as it was
        m_tabButtons.push_back(tab);
        m_tabRecords.push_back(std::move(record));
    }
    for (Button* b : oldButtons)
        if (b)
            retire(b); // a tab may be the sender of the click that led here
    // The Tab key moves along the tabs in the order they are shown, also past a tab made for an inserted page.
    for (size_t i = 1; i < m_tabButtons.size(); ++i)
        QWidget::setTabOrder(m_tabButtons[i - 1], m_tabButtons[i]);
    if (std::find(m_tabPages.begin(), m_tabPages.end(), m_currentPage) == m_tabPages.end())
        m_currentPage = m_tabPages.empty() ? nullptr : m_tabPages.front();
    if (m_currentPage) {
        for (size_t i = 0; i < m_tabButtons.size(); ++i) {
            const QSignalBlocker block(m_tabButtons[i]);
            m_tabButtons[i]->setChecked(m_tabPages[i] == m_currentPage);
        }
    }
    updatePageVisibility();
    updateTabLayout();
    if (m_currentPage != before && !m_quietCurrent)
        emit currentPageChanged(currentPage());
}

void TEVQRibbonBar::rebuildTabsAnnounced(Page* before)
{
    const bool quiet = m_quietCurrent;
    m_quietCurrent = true;
    rebuildTabs();
    m_quietCurrent = quiet;
    if (m_currentPage != before && !m_quietCurrent)
        emit currentPageChanged(currentPage());
}

void TEVQRibbonBar::tabClicked(Page* page)
{
    if (std::find(m_pages.begin(), m_pages.end(), page) == m_pages.end())
        return;
    if (page == m_currentPage && !m_minimized) {
        m_minimized = true;
        const QPointer<TEVQRibbonBar> alive(this); // a listener may delete the bar
        emit minimizedChanged(true);
        if (!alive)
            return;
        updateGeometry();
        updateLayout();
        return;
    }
    setCurrentPage(int(std::find(m_pages.begin(), m_pages.end(), page) - m_pages.begin()));
}

void TEVQRibbonBar::clearContent()
{
    hideMinimizedPopup();
    clearPages();
    for (TEVQRibbonContextGroup* g : m_contextGroups) {
        disconnect(g, &QObject::destroyed, this, &TEVQRibbonBar::forgetContextGroup);
        // Until it goes, a caller may still hold it: it belongs to no bar and makes no pages.
        g->m_bar = nullptr;
        retire(g);
    }
    m_contextGroups.clear();
    for (Button* b : m_quickButtons) {
        disconnect(b, &QObject::destroyed, this, &TEVQRibbonBar::forgetTopRowPiece);
        retire(b);
    }
    m_quickButtons.clear();
    for (QWidget* w : m_topRightWidgets) {
        disconnect(w, &QObject::destroyed, this, &TEVQRibbonBar::forgetTopRowPiece);
        retire(w);
    }
    m_topRightWidgets.clear();
    // The registry forgets every action now; an action may be the sender of the command that led here, so
    // owned ones are deleted once control returns.
    for (QAction* a : registeredActions)
        disconnect(a, nullptr, this, nullptr);
    registeredActions.clear();
    for (const QPointer<QAction>& a : ownedActions)
        if (a)
            retire(a);
    ownedActions.clear();
    if (TEVQRibbonMenu* menu = m_applicationButton->popupMenu())
        menu->deleteLater();
    m_applicationButton->setPopupMenu(nullptr);
    m_applicationButton->hide();
}

void TEVQRibbonBar::updatePageVisibility()
{
    const bool shown = !m_minimized || minimizedPopup->isVisible();
    for (Page* p : m_pages) {
        const bool visible = p == m_currentPage && shown;
        if (visible) {
            QWidget* parent = p->parentWidget();
            p->setGeometry(0, 0, parent->width(), parent->height());
            p->show();
            p->raise();
        } else {
            p->hide();
        }
    }
}

void TEVQRibbonBar::showMinimizedPopup()
{
    // A bar not on screen opens no window of its own.
    if (!m_minimized || !m_currentPage || !isVisible())
        return;
    pageArea->setParent(minimizedPopup);
    // Below the whole header (the rows as laid out, never less than their minimum heights).
    const QPoint at = mapToGlobal(QPoint(0, headerHeight()));
    minimizedPopup->setGeometry(at.x(), at.y(), width(), m_pageHeight);
    pageArea->setGeometry(0, 0, width(), m_pageHeight);
    pageArea->show();
    minimizedPopup->show();
    updatePageVisibility();
    minimizedPopup->raise();
}

void TEVQRibbonBar::returnPageArea()
{
    if (pageArea->parentWidget() != this) {
        pageArea->setParent(this);
        pageArea->hide();
    }
}

void TEVQRibbonBar::hideMinimizedPopup()
{
    if (minimizedPopup && minimizedPopup->isVisible())
        minimizedPopup->hide();
    returnPageArea();
}

bool TEVQRibbonBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == minimizedPopup && event->type() == QEvent::Hide)
        returnPageArea();
    else if ((watched == topRow || watched == tabRow) && event->type() == QEvent::LayoutRequest)
        updateLayout();
    return QWidget::eventFilter(watched, event);
}

void TEVQRibbonBar::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // The pop-up is a window of its own: it does not go with the bar by itself.
    hideMinimizedPopup();
}

void TEVQRibbonBar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Hidden, the bar heard of no change of its top row pieces' size hints.
    updateLayout();
}

void TEVQRibbonBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateLayout();
}

// ---- bar layout ----------------------------------------------------------------------------------------------

QSize TEVQRibbonBar::sizeHint() const
{
    return QSize(720, headerHeight() + (m_minimized ? 0 : qMax(m_pageHeight, 64)));
}

namespace {

int clampedHintWidth(QWidget* w, int low, int high)
{
    return qBound(low, w->sizeHint().width(), high);
}

} // namespace

void TEVQRibbonBar::updateLayout()
{
    const QSize pageSizeBefore = m_currentPage ? m_currentPage->size() : QSize();
    const bool compact = m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT;
    const ribbonlayout::Header h = ribbonlayout::header(m_topRowHeight, m_tabRowHeight, compact);
    topRow->setGeometry(0, 0, width(), h.top);
    tabRow->setGeometry(0, compact ? 0 : h.top, width(), h.tab);
    topRow->setVisible(!compact);
    QWidget* host = compact ? static_cast<QWidget*>(tabRow) : topRow;
    // The top row's widgets take its height in both modes; in compact mode never more than the tab row they sit in.
    const int rowHeight = compact ? qMin(h.top, h.tab) : h.top;
    auto adopt = [host](QWidget* w) {
        if (w->parentWidget() != host) {
            const bool hidden = w->isHidden();
            w->setParent(host);
            w->setVisible(!hidden);
        }
    };
    adopt(m_applicationButton);
    for (Button* b : m_quickButtons)
        adopt(b);
    for (QWidget* w : m_topRightWidgets)
        adopt(w);
    int x = 4;
    if (!m_applicationButton->isHidden()) {
        const int w = qMax(m_applicationButton->sizeHint().width(), 54);
        m_applicationButton->setGeometry(4, 2, w, rowHeight - 4);
        x = w + 8;
    }
    for (Button* b : m_quickButtons) {
        const int w = b->getShowText() ? clampedHintWidth(b, 24, 90) : 28;
        b->setGeometry(x, 3, w, rowHeight - 6);
        x += w + 2;
    }
    int right = width() - 4;
    for (auto it = m_topRightWidgets.rbegin(); it != m_topRightWidgets.rend(); ++it) {
        const int w = clampedHintWidth(*it, 40, 180);
        (*it)->setGeometry(right - w, 3, w, rowHeight - 6);
        right -= w + 4;
    }
    m_tabContentLeft = compact ? x + 4 : 4;
    m_tabContentRight = (compact ? right : width()) - 4;
    tabRow->setProperty("tevRibbonContentLeft", m_tabContentLeft);
    tabRow->setProperty("tevRibbonContentRight", m_tabContentRight);
    updateTabLayout();

    if (!m_minimized && pageArea->parentWidget() != this) {
        minimizedPopup->hide();
        returnPageArea();
    }
    if (pageArea->parentWidget() != this) {
        updatePageVisibility();
    } else {
        pageArea->setGeometry(0, h.header, width(), qMax(height() - h.header, 0));
        pageArea->setVisible(!m_minimized);
        updatePageVisibility();
    }
    // The rows of the groups may have changed with the mode or the element read while the page kept its size; a
    // page that was resized above has laid itself out already.
    if (m_currentPage && m_currentPage->isVisible() && m_currentPage->size() == pageSizeBefore)
        m_currentPage->relayout();
    update();
}

void TEVQRibbonBar::updateTabLayout()
{
    ribbonlayout::TabInput in;
    in.rowWidth = tabRow->width();
    in.rowHeight = tabRow->height();
    in.compact = m_layoutMode == TEV_RIBBON_LAYOUT_COMPACT;
    in.contentLeft = m_tabContentLeft;
    in.contentRight = m_tabContentRight;
    in.offset = m_tabScrollOffset;
    in.textWidths.reserve(m_tabButtons.size());
    m_tabRecords.resize(m_tabButtons.size());
    for (size_t i = 0; i < m_tabButtons.size(); ++i) {
        Button* b = m_tabButtons[i];
        TabRecord& record = m_tabRecords[i];
        if (record.textWidth < 0 || record.measuredText != b->text() || record.measuredFont != b->font()) {
            record.measuredText = b->text();
            record.measuredFont = b->font();
            record.textWidth = b->fontMetrics().horizontalAdvance(record.measuredText);
        }
        in.textWidths.push_back(record.textWidth);
    }
    const ribbonlayout::TabResult r = ribbonlayout::tabs(in);
    m_tabContentWidth = r.contentWidth;
    m_tabScrollOffset = r.offset;
    for (size_t i = 0; i < m_tabButtons.size(); ++i) {
        Button* b = m_tabButtons[i];
        b->setGeometry(r.tabs[i]);
        {
            const QSignalBlocker block(b);
            b->setChecked(m_tabPages[i] == m_currentPage);
        }
        b->setVisible(r.visible[i]);
    }
    tabScrollLeft->setVisible(r.overflow);
    tabScrollRight->setVisible(r.overflow);
    tabScrollLeft->setEnabled(r.leftEnabled);
    tabScrollRight->setEnabled(r.rightEnabled);
    if (r.overflow) {
        tabScrollLeft->setGeometry(r.scrollLeft);
        tabScrollRight->setGeometry(r.scrollRight);
        tabScrollLeft->raise();
        tabScrollRight->raise();
    }
}

} // namespace TEVQtLib
