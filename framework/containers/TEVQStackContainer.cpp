#include "TEVQStackContainer.h"

#include "TEVJson.h"
#include "TEVQContainer.h"

#include <QChildEvent>
#include <QEvent>
#include <QResizeEvent>
#include <QVarLengthArray>

#include <json/json.h>

#include <algorithm>

using namespace TEVQtLib;

namespace {

// Every framework container of the subtree lays itself out again, depth first, parents before children. A pass
// runs code that may delete any widget of the subtree (w included): the children are held guarded.
void refreshContainers(QWidget* w)
{
    const QPointer<QWidget> alive(w);
    if (auto* c = qobject_cast<TEVQContainer*>(w))
        c->forceResize();
    if (!alive)
        return;
    QVarLengthArray<QPointer<QWidget>, 16> kids;
    for (QObject* o : w->children()) {
        if (o->isWidgetType())
            kids.append(QPointer<QWidget>(static_cast<QWidget*>(o)));
    }
    for (const QPointer<QWidget>& kid : kids) {
        if (kid)
            refreshContainers(kid);
    }
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQStackContainerImpl::TEVQStackContainerImpl(TEVQStackContainer* owner)
    : TEVQWidgetBaseImpl(owner, QString::fromLatin1(TEVQStackContainer::typeName()))
{
}

TEVQStackContainerImpl::~TEVQStackContainerImpl() = default;

int TEVQStackContainerImpl::indexOf(const QObject* w) const
{
    if (!w)
        return -1;
    const auto it = std::find(ids.begin(), ids.end(), w);
    return it == ids.end() ? -1 : int(it - ids.begin());
}

QWidget* TEVQStackContainerImpl::page(int i) const
{
    return (i >= 0 && i < count()) ? pages[size_t(i)].data() : nullptr;
}

void TEVQStackContainerImpl::draw(QPainter* painter, const QRect& rect)
{
    if (!painter || !drawBackground)
        return;
    const bool enabled = owner ? owner->isEnabled() : true;
    drawFillStyle(painter, enabled ? background : disableBackground, rect);
}

bool TEVQStackContainerImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (!TEVQWidgetBaseImpl::serializeJsonValue(json, load) || !json)
        return false;
    Json::Value& element = *json;
    TEVStyleEntries styles;
    styles.fill(0, background);
    styles.fill(1, disableBackground);
    if (load) {
        styles.read(element);
        if (const Json::Value* attrs = json::find(element, "attr"))
            json::read(*attrs, "drawBackground", drawBackground);
        return true;
    }
    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& attrs = lookedUpAttrs(element, {"drawBackground"});
    if (!drawBackground)
        json::member(attrs, "drawBackground") = 0;
    return true;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQStackContainer::TEVQStackContainer(QWidget* parent) : QWidget(parent)
{
    auto* d = new TEVQStackContainerImpl(this);
    tevSetImpl(d, false);
    m_tev.base.setLayoutRatio(1);
    m_tev.base.setDefaultPolicies(LayoutSizePolicyFree, LayoutSizePolicyFree);
    setAttribute(Qt::WA_MouseTracking, true);
    setAttribute(Qt::WA_StyledBackground, true);
    d->applyTheme();
}

TEVQStackContainer::~TEVQStackContainer()
{
    // The pages die with the stack as its children; from here on no handler looks at the list.
    tevSetImpl(nullptr, false);
}

ControlInfo TEVQStackContainer::getProps()
{
    using W = TEVQStackContainer;
    ControlInfo info = tevControlInfo(typeName(), "StackContainer", "Stack page container", "TEVQStackContainer",
                                      "container");
    info.props.append(tevFillStyleRow<W>(QStringLiteral("Background"), &W::setBackgroundState, &W::getBackgroundState,
                                         {QStringLiteral("Normal"), QStringLiteral("Disable")}));
    info.props.append(tevBoolRow<W>(QStringLiteral("DrawBackground"), &W::setDrawBackground, &W::getDrawBackground));
    return info;
}

int TEVQStackContainer::addWidget(QWidget* w) { return insertWidget(count(), w); }

int TEVQStackContainer::insertWidget(int index, QWidget* w)
{
    TEVQStackContainerImpl* d = painter();
    // The stack cannot hold itself or a widget it lies inside.
    if (!d || !w || w == this || w->isAncestorOf(this))
        return -1;
    dropDeadPages();
    if (index < 0 || index > d->count())
        index = d->count();
    const int p = d->indexOf(w);
    if (p >= 0) {
        if (p == index)
            return p;
        d->pages.erase(d->pages.begin() + p);
        d->ids.erase(d->ids.begin() + p);
        if (p < index)
            --index;
        if (d->currentIndex == p)
            d->currentIndex = -1;
        else if (d->currentIndex > p)
            --d->currentIndex;
    }
    if (w->parentWidget() != this)
        w->setParent(this);
    w->installEventFilter(this);
    w->setVisible(false);
    d->pages.insert(d->pages.begin() + index, QPointer<QWidget>(w));
    d->ids.insert(d->ids.begin() + index, w);
    updatePageGeometry(w);
    if (d->currentIndex == -1) {
        setCurrentIndex(index);
    } else {
        if (d->currentIndex >= index)
            ++d->currentIndex;
        refreshCurrentPage();
    }
    return index;
}

void TEVQStackContainer::removeWidget(QWidget* w)
{
    TEVQStackContainerImpl* d = painter();
    if (!d)
        return;
    dropDeadPages();
    const int i = d->indexOf(w);
    if (i >= 0)
        takePage(i, true);
}

void TEVQStackContainer::takePage(int i, bool touchWidget)
{
    TEVQStackContainerImpl* d = painter();
    if (!d || i < 0 || i >= d->count())
        return;
    QObject* leaving = const_cast<QObject*>(d->ids[size_t(i)]);
    if (touchWidget) {
        if (QWidget* w = d->pages[size_t(i)].data()) {
            w->removeEventFilter(this);
            // Hiding runs the page's handlers, which may delete pages (or the stack): the page is then found
            // again by identity.
            const QPointer<TEVQStackContainer> self(this);
            w->setVisible(false);
            if (!self || painter() != d)
                return;
            i = d->indexOf(leaving);
            if (i < 0)
                return;
        }
    } else if (d->pages[size_t(i)]) {
        leaving->removeEventFilter(this); // an object operation only: the widget may be half destroyed
    }
    d->pages.erase(d->pages.begin() + i);
    d->ids.erase(d->ids.begin() + i);
    if (d->refreshedPage == leaving)
        d->refreshedPage = nullptr;
    if (d->pages.empty()) {
        d->currentIndex = -1;
    } else if (d->currentIndex > i) {
        --d->currentIndex;
    } else if (d->currentIndex == i) {
        d->currentIndex = -1;
        setCurrentIndex(std::min(i, d->count() - 1));
    }
}

void TEVQStackContainer::dropDeadPages()
{
    TEVQStackContainerImpl* d = painter();
    while (d) {
        const auto dead =
            std::find_if(d->pages.begin(), d->pages.end(), [](const QPointer<QWidget>& p) { return p.isNull(); });
        if (dead == d->pages.end())
            return;
        takePage(int(dead - d->pages.begin()), false);
    }
}

int TEVQStackContainer::count() const { return painter() ? painter()->count() : 0; }

int TEVQStackContainer::currentIndex() const { return painter() ? painter()->currentIndex : -1; }

QWidget* TEVQStackContainer::currentWidget() const
{
    return painter() ? painter()->page(painter()->currentIndex) : nullptr;
}

QWidget* TEVQStackContainer::widget(int i) const { return painter() ? painter()->page(i) : nullptr; }

void TEVQStackContainer::setCurrentIndex(int i)
{
    TEVQStackContainerImpl* d = painter();
    if (!d || i < 0 || i >= d->count())
        return;
    if (i != d->currentIndex) {
        if (QWidget* old = d->page(d->currentIndex)) {
            // The old page's hide handlers may delete pages (or the stack): the page to show is found again.
            const QObject* wanted = d->ids[size_t(i)];
            const QPointer<TEVQStackContainer> self(this);
            old->setVisible(false);
            if (!self || painter() != d)
                return;
            const int now = d->indexOf(wanted);
            if (now >= 0)
                i = now;
            else
                i = d->currentIndex; // the page asked for is gone: the current one is shown again
        }
        d->currentIndex = i;
    }
    refreshCurrentPage();
}

void TEVQStackContainer::setCurrentWidget(QWidget* w)
{
    if (TEVQStackContainerImpl* d = painter()) {
        const int i = d->indexOf(w);
        if (i >= 0)
            setCurrentIndex(i);
    }
}

void TEVQStackContainer::updatePageGeometry(QWidget* page)
{
    if (!page || page->geometry() == rect())
        return;
    ITEVQWidgetBase* iface = tevWidgetInterface(page);
    if (TEVQWidgetBase* base = iface ? iface->getControlBase() : nullptr)
        base->setGeometry(rect()); // layout type 1 with the stack's rectangle: it keeps filling the stack
    else
        page->QWidget::setGeometry(rect());
}

void TEVQStackContainer::refreshCurrentPage()
{
    TEVQStackContainerImpl* d = painter();
    QWidget* page = d ? d->page(d->currentIndex) : nullptr;
    if (!page)
        return;
    QPointer<QWidget> self(this);
    QPointer<QWidget> alive(page);
    updatePageGeometry(page);
    page->show();
    page->raise();
    refreshContainers(page);
    // A container's pass may run code that deletes the page or the stack.
    if (!self || !alive || painter() != d)
        return;
    // Without a layout of its own the stack answers the page's geometry update with this very refresh (a
    // layout request); the request that echoes it finds the page settled below and is let go.
    page->updateGeometry();
    page->update();
    d->refreshedPage = page;
    d->refreshedRect = rect();
    updateGeometry();
    update();
}

bool TEVQStackContainer::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::LayoutRequest:
        if (TEVQStackContainerImpl* d = painter()) {
            dropDeadPages();
            QWidget* page = d->page(d->currentIndex);
            const bool settled = page && page == d->refreshedPage && d->refreshedRect == rect() &&
                                 page->geometry() == rect() && !page->isHidden();
            if (!settled)
                refreshCurrentPage();
        }
        break;
    case QEvent::Show:
        if (painter()) {
            dropDeadPages();
            refreshCurrentPage();
        }
        break;
    case QEvent::ChildRemoved:
        // A page deleted or re-parented away leaves the list; it may be half destroyed, so it is only compared.
        if (TEVQStackContainerImpl* d = painter()) {
            const int i = d->indexOf(static_cast<QChildEvent*>(e)->child());
            if (i >= 0)
                takePage(i, false);
        }
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

bool TEVQStackContainer::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::Move && e->type() != QEvent::Resize)
        return QObject::eventFilter(watched, e);
    TEVQStackContainerImpl* d = painter();
    if (d && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        const int i = w->parentWidget() == this ? d->indexOf(w) : -1;
        // The current page may be placed freely; the others are put back over the stack.
        if (i >= 0 && i != d->currentIndex)
            updatePageGeometry(w);
    }
    return QObject::eventFilter(watched, e);
}

void TEVQStackContainer::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    TEVQStackContainerImpl* d = painter();
    if (!d)
        return;
    dropDeadPages();
    for (int i = 0; i < d->count(); ++i)
        updatePageGeometry(d->page(i));
    refreshCurrentPage();
}

void TEVQStackContainer::paintEvent(QPaintEvent* e) { tevForwardPaint(e); }

void TEVQStackContainer::setBackground(const FillStyle& style)
{
    if (TEVQStackContainerImpl* d = painter()) {
        d->background = style;
        update();
    }
}

void TEVQStackContainer::setDisableBackground(const FillStyle& style)
{
    if (TEVQStackContainerImpl* d = painter()) {
        d->disableBackground = style;
        update();
    }
}

void TEVQStackContainer::setBackgroundState(CtrlState state, const FillStyle& style)
{
    if (state == CtrlStateNormal)
        setBackground(style);
    else
        setDisableBackground(style);
}

const FillStyle& TEVQStackContainer::getBackground() const
{
    static const FillStyle none;
    return painter() ? painter()->background : none;
}

const FillStyle& TEVQStackContainer::getDisableBackground() const
{
    static const FillStyle none;
    return painter() ? painter()->disableBackground : none;
}

const FillStyle& TEVQStackContainer::getBackgroundState(CtrlState state) const
{
    return state == CtrlStateNormal ? getBackground() : getDisableBackground();
}

void TEVQStackContainer::setDrawBackground(bool draw)
{
    if (TEVQStackContainerImpl* d = painter()) {
        d->drawBackground = draw;
        update();
    }
}

bool TEVQStackContainer::getDrawBackground() const { return painter() ? painter()->drawBackground : true; }
