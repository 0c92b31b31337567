// TEVQContainer: the widget, its painter object's data, JSON and painting, events and catalogue entry.
// The placement itself is in TEVQContainerLayout.cpp.
#include "TEVQContainer.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVQSpacer.h"

#include <QBackingStore>
#include <QChildEvent>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <array>

#include <json/json.h>

#include <typeinfo>
#include <utility>

using namespace TEVQtLib;

namespace {

FillStyle greyBackground()
{
    FillStyle s;
    s.fillRes.fillColor = QColor(128, 128, 128, 255);
    return s;
}

// One opaque colour over the whole rectangle: no gradient, corner, border or picture.
bool plainOpaqueFill(const FillStyle& s)
{
    const FillRes& r = s.fillRes;
    return s.valid && s.useFillStyle && !r.gradient && r.radius == 0 && !(r.drawBorder && r.borderSize >= 1) &&
           r.fillColor.isValid() && r.fillColor.alpha() == 255;
}

// Lower siblings looked at for one that lies under a container (beyond, the container fills as usual).
constexpr int kSiblingsLooked = 32;

} // namespace

// ---- painter object ----------------------------------------------------------------------------------------

TEVQContainerImpl::TEVQContainerImpl(TEVQContainer* owner) : TEVQContainerImpl(owner, QStringLiteral("qtcontainer"))
{
}

TEVQContainerImpl::TEVQContainerImpl(TEVQContainer* owner, const QString& typeName)
    : TEVQWidgetBaseImpl(owner, typeName), background(greyBackground()), disableBackground(greyBackground())
{
}

TEVQContainerImpl::~TEVQContainerImpl() = default; // the animation is a QObject child

TEVQContainer* TEVQContainerImpl::container() const { return static_cast<TEVQContainer*>(owner); }

void TEVQContainerImpl::paintEvent(QWidget* ownerWidget, QPaintEvent* event)
{
    inOwnPaint = true;
    TEVQWidgetBaseImpl::paintEvent(ownerWidget, event);
    inOwnPaint = false;
}

void TEVQContainerImpl::draw(QPainter* painter, const QRect& rect)
{
    if (!painter || !drawBackground)
        return;
    const bool enabled = owner ? owner->isEnabled() : true;
    const FillStyle& fill = enabled ? background : disableBackground;
    if (inOwnPaint && fillCoveredByParent(painter, fill))
        return;
    drawFillStyle(painter, fill, rect);
}

// Nested containers of one background (a page of default containers is grey five levels deep) would fill each
// pixel once per level. A container's fill changes no pixel when all of this holds, and is then left out:
// - it paints into its window's backing store, where Qt has just drawn its parent beneath it (a container
//   grabbed or rendered alone has no parent drawn beneath it);
// - Qt fills nothing of its own first and draws it straight (no background filled for it, not opaque to Qt,
//   no native window, no graphics effect), and it is a plain container (a derived class may draw anything);
// - its parent is a plain container too, which draws nothing but its fill, and that fill and this one are
//   the same opaque colour over the whole rectangle;
// - no lower sibling lies under it (its own fill would cover that sibling).
bool TEVQContainerImpl::fillCoveredByParent(QPainter* painter, const FillStyle& fill) const
{
    TEVQContainer* self = container();
    if (!self || typeid(*self) != typeid(TEVQContainer) || !plainOpaqueFill(fill) || self->isWindow() ||
        self->autoFillBackground() || self->testAttribute(Qt::WA_OpaquePaintEvent) ||
        self->testAttribute(Qt::WA_NativeWindow) || self->graphicsEffect())
        return false;
    auto* parent = qobject_cast<TEVQContainer*>(self->parentWidget());
    if (!parent || typeid(*parent) != typeid(TEVQContainer) || parent->graphicsEffect())
        return false;
    const TEVQContainerImpl* under = parent->containerImpl();
    if (!under || typeid(*under) != typeid(TEVQContainerImpl) || !under->drawBackground)
        return false;
    const FillStyle& parentFill = parent->isEnabled() ? under->background : under->disableBackground;
    if (!plainOpaqueFill(parentFill) || parentFill.fillRes.fillColor != fill.fillRes.fillColor)
        return false;
    const QPaintEngine* engine = painter->paintEngine();
    QBackingStore* store = self->window()->backingStore();
    if (!engine || !store || engine->paintDevice() != store->paintDevice())
        return false;
    const QRect place = self->geometry();
    int looked = 0;
    for (QObject* o : parent->children()) {
        if (o == self)
            return true;
        if (!o->isWidgetType())
            continue;
        const QWidget* sibling = static_cast<const QWidget*>(o);
        if (sibling->isHidden() || sibling->isWindow())
            continue;
        if (++looked > kSiblingsLooked || sibling->geometry().intersects(place))
            return false;
    }
    return false;
}

bool TEVQContainerImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (!TEVQWidgetBaseImpl::serializeJsonValue(json, load) || !json)
        return false;
    Json::Value& element = *json;
    if (load) {
        // Slot 0 styles both backgrounds, slot 1 the disabled one only.
        TEVStyleEntries styles;
        styles.fill(0, background);
        styles.alsoFill(0, &disableBackground, 1);
        styles.fill(1, disableBackground);
        styles.read(element);

        const Json::Value* attrs = json::find(element, "attr");
        if (attrs) {
            // The keys of "attr", found in one walk (the order of the names is that of the enumeration).
            enum { ChildLayout, Space, PaddingLeft, PaddingTop, PaddingRight, PaddingBottom, AbsoluteDockAutoSize,
                   DrawBackground };
            static const json::Keys keys{"childLayout",   "space",         "paddingLeft",          "paddingTop",
                                         "paddingRight", "paddingBottom", "absoluteDockAutoSize", "drawBackground"};
            Q_ASSERT(keys.size() == std::size_t(DrawBackground) + 1);
            const json::Record a(*attrs, keys);
            // A page element without a valid mode gives mode 4. A theme element, read again at every theme
            // change, sets the mode only when it names one, and lays the children out again at once when it
            // changes how they are placed (a page being built is laid out when it is done).
            const bool theme = TEVQResourceManager::getInstance()->isLoadFromThemeRes();
            const std::array<int, 6> placing{{childLayout, space, paddingLeft, paddingTop, paddingRight, paddingBottom}};
            int mode = -1;
            const bool named = json::read(a[ChildLayout], mode);
            if (named || !theme)
                childLayout = (named && mode >= 0 && mode <= 3) ? mode : 4;
            json::read(a[Space], space);
            json::read(a[PaddingLeft], paddingLeft);
            json::read(a[PaddingTop], paddingTop);
            json::read(a[PaddingRight], paddingRight);
            json::read(a[PaddingBottom], paddingBottom);
            const std::array<int, 6> now{{childLayout, space, paddingLeft, paddingTop, paddingRight, paddingBottom}};
            if (theme && now != placing && !tevIsBuildingPage())
                relayout();
            // Written as the integer 1: numbers count as booleans.
            json::read(a[AbsoluteDockAutoSize], absoluteDockAutoSize);
            // Written only when off, as the integer 0; an element without it keeps the background drawn.
            json::read(a[DrawBackground], drawBackground);
        }
        return true;
    }

    FillStyle normal = background;
    FillStyle disabled = disableBackground;
    TEVStyleEntries styles;
    styles.fill(0, normal);
    // The disabled background is written only when it paints differently.
    if (!tevSameFillLook(normal, disabled))
        styles.fill(1, disabled);
    styles.write(element);

    Json::Value& attrs = ownAttrs(element, {"childLayout", "space", "paddingLeft", "paddingTop", "paddingRight",
                                            "paddingBottom", "absoluteDockAutoSize", "drawBackground"});
    attrs["childLayout"] = childLayout;
    auto writeNonZero = [&attrs](const char* key, int v) {
        if (v != 0)
            attrs[key] = v;
    };
    writeNonZero("space", space);
    writeNonZero("paddingLeft", paddingLeft);
    writeNonZero("paddingTop", paddingTop);
    writeNonZero("paddingRight", paddingRight);
    writeNonZero("paddingBottom", paddingBottom);
    if (absoluteDockAutoSize)
        attrs["absoluteDockAutoSize"] = 1;
    if (!drawBackground)
        attrs["drawBackground"] = 0;
    return true;
}

// ---- widget ------------------------------------------------------------------------------------------------

TEVQContainer::TEVQContainer(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_MouseTracking, true);
    tevSetImpl(new TEVQContainerImpl(this));
}

TEVQContainer::~TEVQContainer()
{
    // From here on the event handlers see no painter object and do nothing.
    tevSetImpl(nullptr, false);
}

ControlInfo TEVQContainer::getProps()
{
    ControlInfo info = tevControlInfo("qtcontainer", "Container", "Control container", "TEVQContainer", "container");
    info.props.append(tevFillStyleRow<TEVQContainer>(
        QStringLiteral("Background"),
        [](TEVQContainer* c, int state, const FillStyle& s) { c->setBackgroundState(CtrlState(state), s); },
        [](TEVQContainer* c, int state) { return c->getBackgroundState(CtrlState(state)); },
        {QStringLiteral("Normal"), QStringLiteral("Disable")}));
    info.props.append(tevBoolRow<TEVQContainer>(QStringLiteral("DrawBackground"), &TEVQContainer::setDrawBackground,
                                                &TEVQContainer::getDrawBackground));
    info.props.append(tevBoolRow<TEVQContainer>(QStringLiteral("AbsoluteDockAutoSize"),
                                                &TEVQContainer::setAbsoluteDockAutoSize,
                                                &TEVQContainer::getAbsoluteDockAutoSize));
    PropertyDef mode = tevIntRow<TEVQContainer>(
        QStringLiteral("ChildLayout"), [](TEVQContainer* c, int v) { c->setChildLayout(AutoChildLayout(v)); },
        [](TEVQContainer* c) { return int(c->getChildLayout()); }, 0, 4);
    mode.kind = 13; // a choice among the options
    mode.options = QStringList{QStringLiteral("Horizontal"), QStringLiteral("Vertical"), QStringLiteral("HorFloat"),
                               QStringLiteral("VerFloat"), QStringLiteral("No Use")};
    info.props.append(mode);
    // Four paddings in one row; the row's text form is "left,top,right,bottom".
    PropertyDef padding = tevTextRow<TEVQContainer>(
        QStringLiteral("ChildPadding"), 12,
        [](TEVQContainer* c, const QString& text) {
            const QStringList parts = text.split(QLatin1Char(','));
            if (parts.size() != 4)
                return;
            int v[4];
            for (int i = 0; i < 4; ++i) {
                bool ok = false;
                v[i] = parts[i].trimmed().toInt(&ok);
                if (!ok)
                    return;
            }
            c->setChildPadding(v[0], v[1], v[2], v[3]);
        },
        [](TEVQContainer* c) {
            int l, t, r, b;
            c->getChildPadding(l, t, r, b);
            return QStringLiteral("%1,%2,%3,%4").arg(l).arg(t).arg(r).arg(b);
        });
    info.props.append(padding);
    return info;
}

void TEVQContainer::addChildWidget(QWidget* w, int ratio)
{
    TEVQContainerImpl* d = containerImpl();
    // The container cannot hold itself or a widget it lies inside: the tree would close into a loop.
    if (!w || !d || w == this || w->isAncestorOf(this))
        return;
    if (w->parentWidget() != this)
        w->setParent(this); // the child-added event registers it
    else
        d->registerChild(w);
    if (ITEVQWidgetBase* i = tevWidgetInterface(w))
        i->setLayoutRatio(ratio);
    if (d->childLayout != NoUse)
        d->doLayout();
    // A receiver of a bar's signals may delete the container.
    const QPointer<QWidget> alive(this);
    d->updateScroll();
    if (alive)
        d->updateScroll();
}

void TEVQContainer::setChildRatio(QWidget* w, int ratio)
{
    if (!w || !containerImpl())
        return;
    if (ITEVQWidgetBase* i = tevWidgetInterface(w))
        i->setLayoutRatio(ratio);
    forceResize();
}

void TEVQContainer::setChildLayout(AutoChildLayout mode)
{
    if (TEVQContainerImpl* d = containerImpl()) {
        d->childLayout = int(mode);
        d->relayout();
    }
}

TEVQContainer::AutoChildLayout TEVQContainer::getChildLayout() const
{
    const TEVQContainerImpl* d = containerImpl();
    return d ? AutoChildLayout(d->childLayout) : NoUse;
}

void TEVQContainer::setChildSpace(int space)
{
    if (TEVQContainerImpl* d = containerImpl()) {
        d->space = space;
        d->relayout();
    }
}

int TEVQContainer::getChildSpace() const { return containerImpl() ? containerImpl()->space : 0; }

void TEVQContainer::setChildPadding(int padding) { setChildPadding(padding, padding, padding, padding); }

void TEVQContainer::setChildPadding(int left, int top, int right, int bottom)
{
    if (TEVQContainerImpl* d = containerImpl()) {
        d->paddingLeft = left;
        d->paddingTop = top;
        d->paddingRight = right;
        d->paddingBottom = bottom;
        d->relayout();
    }
}

void TEVQContainer::getChildPadding(int& left, int& top, int& right, int& bottom) const
{
    const TEVQContainerImpl* d = containerImpl();
    left = d ? d->paddingLeft : 0;
    top = d ? d->paddingTop : 0;
    right = d ? d->paddingRight : 0;
    bottom = d ? d->paddingBottom : 0;
}

void TEVQContainer::setAbsoluteDockAutoSize(bool on)
{
    TEVQContainerImpl* d = containerImpl();
    if (!d || d->absoluteDockAutoSize == on)
        return;
    d->absoluteDockAutoSize = on;
    const QPointer<QWidget> alive(this);
    d->relayout();
    if (!alive) // a receiver of a bar's signals deleted the container
        return;
    if (auto* parent = qobject_cast<TEVQContainer*>(parentWidget()))
        parent->forceResize();
}

bool TEVQContainer::getAbsoluteDockAutoSize() const
{
    return containerImpl() ? containerImpl()->absoluteDockAutoSize : false;
}

bool TEVQContainer::placesChildWholly(LayoutSizePolicy widthPolicy, LayoutSizePolicy heightPolicy) const
{
    const TEVQContainerImpl* d = containerImpl();
    // Derived containers may arrange differently or bind bars of their own.
    if (!d || metaObject() != &TEVQContainer::staticMetaObject || d->getBindScrollBar(true) || d->getBindScrollBar(false))
        return false;
    LayoutSizePolicy main = widthPolicy;
    LayoutSizePolicy cross = heightPolicy;
    if (d->childLayout == Vertical)
        std::swap(main, cross);
    else if (d->childLayout != Horizontal)
        return false;
    if (main == LayoutSizePolicyFixed || cross != LayoutSizePolicyFree)
        return false;
    for (QObject* o : children()) {
        if (qobject_cast<TEVQSpacer*>(o))
            return false;
    }
    return true;
}

void TEVQContainer::forceResize()
{
    TEVQContainerImpl* d = containerImpl();
    if (!d)
        return;
    m_pagePassPending = false;
    const QPointer<QWidget> alive(this);
    d->relayout();
    if (!alive) // a receiver of a bar's signals deleted the container
        return;
    if (tevIsBuildingPage()) {
        // The page's layout pass: the children shown meanwhile keep the base geometry the event filter, which
        // stood aside while the page was built, would have given them (the placed ones have theirs already).
        for (QObject* o : children()) {
            if (o->isWidgetType() && !d->isBoundBar(o) && static_cast<QWidget*>(o)->isVisible())
                d->baseGeometry(static_cast<QWidget*>(o));
        }
    }
}

void TEVQContainer::setBackground(const FillStyle& style)
{
    if (TEVQContainerImpl* d = containerImpl()) {
        d->background = style;
        update();
    }
}

const FillStyle& TEVQContainer::getBackground() const
{
    static const FillStyle none;
    return containerImpl() ? containerImpl()->background : none;
}

void TEVQContainer::setDisableBackground(const FillStyle& style)
{
    if (TEVQContainerImpl* d = containerImpl()) {
        d->disableBackground = style;
        update();
    }
}

const FillStyle& TEVQContainer::getDisableBackground() const
{
    static const FillStyle none;
    return containerImpl() ? containerImpl()->disableBackground : none;
}

void TEVQContainer::setBackgroundState(CtrlState state, const FillStyle& style)
{
    if (state == CtrlStateNormal)
        setBackground(style);
    else
        setDisableBackground(style);
}

const FillStyle& TEVQContainer::getBackgroundState(CtrlState state) const
{
    return state == CtrlStateNormal ? getBackground() : getDisableBackground();
}

void TEVQContainer::setColor(QColor color)
{
    if (TEVQContainerImpl* d = containerImpl()) {
        d->background.useFillStyle = true;
        d->background.fillRes.fillColor = color;
        update();
    }
}

void TEVQContainer::setUseFillStyle(bool use)
{
    if (TEVQContainerImpl* d = containerImpl())
        d->background.useFillStyle = use;
}

bool TEVQContainer::getUseFillStyle() const
{
    return containerImpl() ? containerImpl()->background.useFillStyle : true;
}

void TEVQContainer::setDrawBackground(bool draw)
{
    if (TEVQContainerImpl* d = containerImpl()) {
        d->drawBackground = draw;
        update();
    }
}

bool TEVQContainer::getDrawBackground() const { return containerImpl() ? containerImpl()->drawBackground : true; }

void TEVQContainer::bindScrollBar(TEVQScrollBar* bar, bool horizontal)
{
    if (TEVQContainerImpl* d = containerImpl())
        d->bindScrollBar(bar, horizontal);
}

TEVQScrollBar* TEVQContainer::getBindScrollBar(bool horizontal) const
{
    return containerImpl() ? containerImpl()->getBindScrollBar(horizontal) : nullptr;
}

void TEVQContainer::setScrollPos(bool horizontal, int pos)
{
    if (TEVQContainerImpl* d = containerImpl())
        d->setScrollPos(horizontal, pos);
}

int TEVQContainer::getScrollPos(bool horizontal) const
{
    return containerImpl() ? containerImpl()->getScrollPos(horizontal) : 0;
}

bool TEVQContainer::startResizeAnimation(const QSize& from, const QSize& to, int durationMs)
{
    TEVQContainerImpl* d = containerImpl();
    return d ? d->startResizeAnimation(from, to, durationMs) : false;
}

bool TEVQContainer::isResizeAnimationRunning() const
{
    return containerImpl() ? containerImpl()->isResizeAnimationRunning() : false;
}

void TEVQContainer::bindWindowHandle(void* handle)
{
    if (TEVQContainerImpl* d = containerImpl())
        d->windowHandle = handle;
}

void TEVQContainer::unbindWindowHandle() { bindWindowHandle(nullptr); }

void* TEVQContainer::getWindowHandle() const { return containerImpl() ? containerImpl()->windowHandle : nullptr; }

// ---- designer plug-in members ------------------------------------------------------------------------------

QWidget* TEVQContainer::createWidget(QWidget* parent) { return new TEVQContainer(parent); }

QString TEVQContainer::domXml() const
{
    return QStringLiteral("<widget class=\"TEVQContainer\" name=\"container\">\n</widget>\n");
}

QString TEVQContainer::name() const { return QStringLiteral("TEVQContainer"); }
QString TEVQContainer::includeFile() const { return QStringLiteral("TEVQContainer.h"); }
QString TEVQContainer::group() const { return QString(); }
QString TEVQContainer::toolTip() const { return QString(); }
QString TEVQContainer::whatsThis() const { return QString(); }
QIcon TEVQContainer::icon() const { return QIcon(); }
bool TEVQContainer::isContainer() const { return false; }

void TEVQContainer::initialize(QDesignerFormEditorInterface*)
{
    if (!initialized)
        initialized = true;
}

bool TEVQContainer::isInitialized() const { return initialized; }

// ---- events ------------------------------------------------------------------------------------------------

void TEVQContainer::scheduleRelayout()
{
    if (tevIsBuildingPage()) {
        relayoutWhenPageBuilt();
        return;
    }
    // One pending pass covers every child added before control returns to the event loop.
    if (m_relayoutPending)
        return;
    m_relayoutPending = true;
    QTimer::singleShot(0, this, [this] {
        m_relayoutPending = false;
        forceResize();
    });
}

void TEVQContainer::relayoutWhenPageBuilt()
{
    // While a page is built, the passes that arriving children and resizing would start are one pass once the
    // page is complete: the page loader's (parents before children), which makes this one void, or else this
    // one, before the loader returns.
    if (m_pagePassPending)
        return;
    m_pagePassPending = true;
    tevAfterPageLayout(this, [this] {
        if (m_pagePassPending)
            forceResize();
    });
}

bool TEVQContainer::event(QEvent* e)
{
    const bool childEvent = e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildRemoved;
    TEVQContainerImpl* d = childEvent ? containerImpl() : nullptr;
    if (d) {
        // The child may be half built or half destroyed: only QObject operations on it.
        QObject* child = static_cast<QChildEvent*>(e)->child();
        if (e->type() == QEvent::ChildAdded) {
            if (child && child->isWidgetType()) {
                d->forgetOldBase(child);
                d->registerChild(child);
                scheduleRelayout();
            }
        } else {
            if (child && child->isWidgetType())
                child->removeEventFilter(this);
            d->dropBase(child);
            d->forgetBar(child);
            const QPointer<QWidget> alive(this);
            d->updateScroll();
            if (!alive) // a receiver of a bar's signals deleted the container
                return true;
        }
    }
    return QWidget::event(e);
}

bool TEVQContainer::eventFilter(QObject* o, QEvent* e)
{
    // Every event of every child passes here: the few kinds looked at are told apart first.
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::LayoutRequest:
        break;
    default:
        return QObject::eventFilter(o, e);
    }
    TEVQContainerImpl* d = containerImpl();
    if (!d || d->inLayout || d->scrollBusy || !o->isWidgetType())
        return QObject::eventFilter(o, e);
    // While a page is built, a container without bars (whose scroll update does nothing) leaves its children's
    // base geometry to the page's layout pass (forceResize).
    if (tevIsBuildingPage() && !getBindScrollBar(true) && !getBindScrollBar(false))
        return QObject::eventFilter(o, e);
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::LayoutRequest: {
        QWidget* w = static_cast<QWidget*>(o);
        if (w->parentWidget() != this || w->isWindow())
            break;
        if (!d->isBoundBar(w)) {
            QRect oldBase;
            const bool hadBase = d->storedBase(w, oldBase);
            const QRect newBase = TEVQContainerImpl::shifted(w->geometry(), d->scrollX, d->scrollY);
            d->storeBase(w, newBase);
            if (d->scrollUnaffected(w, e->type(), oldBase, hadBase, newBase))
                break;
        }
        d->updateScroll();
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(o, e);
}

void TEVQContainer::mouseReleaseEvent(QMouseEvent*)
{
    if (containerImpl())
        emit mouseClickEvent();
}

void TEVQContainer::wheelEvent(QWheelEvent* e)
{
    TEVQContainerImpl* d = containerImpl();
    QScrollBar* bar = d ? d->getBindScrollBar(false) : nullptr;
    const int dy = e->angleDelta().y();
    // A wheel turn without a vertical part (tilt, horizontal wheel) is not ours to scroll.
    if (bar && bar->isVisibleTo(this) && bar->maximum() > 0 && dy != 0) {
        // In 64 bits: the bar's single step may be any int.
        const qint64 step = qMax(bar->singleStep(), 24);
        const qint64 value = qint64(bar->value()) + step * (dy > 0 ? -1 : 1);
        bar->setValue(int(qBound<qint64>(bar->minimum(), value, bar->maximum())));
        e->accept();
        return;
    }
    QWidget::wheelEvent(e);
}

void TEVQContainer::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    TEVQContainerImpl* d = containerImpl();
    if (!d)
        return;
    if (size() == d->laidOutSize) {
        // Laid out for this size already: a resize event kept while the container was hidden (a page built
        // off screen and laid out, then shown).
    } else if (tevIsBuildingPage()) {
        relayoutWhenPageBuilt();
    } else {
        // A receiver of a bar's signals may close the container. QWidget::resize goes on with the widget after
        // this handler, so receivers delete with deleteLater; the guard keeps our own code off a freed container
        // (forceResize, the container's own relayout, has nothing of Qt's after it).
        const QPointer<QWidget> alive(this);
        d->relayout();
        if (!alive)
            return;
    }
    if (d->windowHandle)
        moveBoundWindow();
}

void TEVQContainer::moveBoundWindow()
{
    // The native window follows the container's rectangle in the coordinates of the outermost ancestor. A
    // container without a parent widget places it at its own origin.
    QWidget* top = this;
    while (top->parentWidget())
        top = top->parentWidget();
    const QPoint pos = top == this ? QPoint(0, 0) : top->mapFromGlobal(mapToGlobal(QPoint(0, 0)));
    const WId id = WId(reinterpret_cast<quintptr>(containerImpl()->windowHandle));
    for (QWindow* w : QGuiApplication::allWindows()) {
        if (w->handle() && w->winId() == id) {
            w->setGeometry(QRect(pos, size()));
            w->requestUpdate();
            break;
        }
    }
}

void TEVQContainer::paintEvent(QPaintEvent* e) { tevForwardPaint(e); }
