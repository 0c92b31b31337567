// The container layout engine: docking, rows and columns with ratio shares, policies, limits and spacers,
// wrapping flows, the bound scroll bars and the animated resize. Integer pixel arithmetic in the container's
// own coordinates throughout.
#include "TEVQContainer.h"

#include "TEVQScrollBar.h"
#include "TEVQSpacer.h"

#include <QSignalBlocker>
#include <QVariantAnimation>

#include <vector>

using namespace TEVQtLib;

namespace {

const char* const kBaseGeometry = "_tev_container_base_geometry";
const char* const kBoundBar = "_tev_container_bound_scrollbar";
constexpr int kUnbounded = 16777215;

// Maximum scroll-update re-runs nested inside one another when the bars keep changing visibility.
constexpr int kMaxScrollReruns = 2;

// Layout passes run after one another when the children's handlers keep asking for a new one during a pass.
constexpr int kMaxLayoutReruns = 2;

inline bool bounded(int maximum) { return maximum < kUnbounded; }

// The container's bookkeeping on a child: in the record of a framework widget (which declares the two
// properties, so callers still read them by name), else in the child's dynamic properties.
bool boundBarFlag(const QObject* w)
{
    if (const TEVQWidgetBase* record = tevDeclaredRecord(const_cast<QObject*>(w)))
        return record->boundScrollBarValue.toBool();
    return w->property(kBoundBar).toBool();
}

void setBoundBarFlag(QObject* w, bool bound)
{
    if (TEVQWidgetBase* record = tevDeclaredRecord(w))
        record->boundScrollBarValue = bound;
    else
        w->setProperty(kBoundBar, bound);
}

// Axis accessors: main == width for a row, height for a column.
inline int mainOf(const QSize& s, bool horizontal) { return horizontal ? s.width() : s.height(); }
inline int crossOf(const QSize& s, bool horizontal) { return horizontal ? s.height() : s.width(); }

// max(min(lower, cap), min(cap, v)): v clamped into [lower, cap], where cap wins over lower.
template <class T> inline T clampTo(T lower, T cap, T v) { return qMax(qMin(lower, cap), qMin(cap, v)); }

template <class T> inline T lowerToMax(T v, int maximum) { return bounded(maximum) ? qMin<T>(v, maximum) : v; }

// Sizes and paddings come from JSON and may be anything; the engine works in 64 bits and keeps every
// coordinate it hands to Qt within +-2^30, and every room it distributes within 0..2^30.
constexpr qint64 kCoordLimit = qint64(1) << 30;
inline int coord(qint64 v) { return int(qBound(-kCoordLimit, v, kCoordLimit)); }
inline qint64 extent(qint64 v) { return qBound<qint64>(0, v, kCoordLimit); }

// a * b / c for a share of a room: the product is taken in 128 bits, so that no count of children or ratio
// makes it overflow. c must be positive.
inline qint64 shareOf(qint64 a, qint64 b, qint64 c) { return qint64(__int128(a) * b / c); }

// A widget that is not shown gets no resize event when its size changes (Qt keeps it pending until it is
// shown), so a hidden child container lays out its own children here; trees built before they are shown
// then hold their final geometry at once. While a page is built the page's own pass lays out every container
// of the page after its parent, so the child's pass is left to it (and a container that is no page element
// has its pass when the page is shown).
void settleHidden(QWidget* w, const QSize& before)
{
    if (w->size() == before || w->isVisible() || tevIsBuildingPage())
        return;
    if (auto* c = qobject_cast<TEVQContainer*>(w))
        c->forceResize();
}

// A child's minimum, maximum and current size along the main axis of a row (horizontal) or a column.
struct MainAxis
{
    bool horizontal;
    int minimum(const QWidget* w) const { return horizontal ? w->minimumWidth() : w->minimumHeight(); }
    int maximum(const QWidget* w) const { return horizontal ? w->maximumWidth() : w->maximumHeight(); }
    int current(const QWidget* w) const { return horizontal ? w->width() : w->height(); }
};

// Widgets held guarded, for passes that run the children's handlers (which may delete children).
std::vector<QPointer<QWidget>> guarded(const QList<QWidget*>& widgets)
{
    return std::vector<QPointer<QWidget>>(widgets.begin(), widgets.end());
}

} // namespace

struct TEVQContainerImpl::Item
{
    // Guarded: placing a child runs its handlers, which may delete a child the pass has yet to place.
    QPointer<QWidget> w;
    ITEVQWidgetBase* iface = nullptr;
    int ratio = 1;
    bool spacer = false;
    int thickness = 0;
    qint64 size = 0; // spacer distribution: the size along the main axis
};

TEVQContainerImpl::Box TEVQContainerImpl::paddedBox() const
{
    // Paddings and the gap as the engine uses them: within Qt's largest widget size, the gap at least 0.
    auto limit = [](int v) { return qBound(-kUnbounded, v, kUnbounded); };
    return Box{limit(paddingLeft), limit(paddingTop), limit(paddingRight), limit(paddingBottom),
               qBound(0, space, kUnbounded)};
}

QRect TEVQContainerImpl::shifted(const QRect& r, qint64 dx, qint64 dy)
{
    return QRect(coord(r.x() + dx), coord(r.y() + dy), r.width(), r.height());
}

// ---- children and bars ---------------------------------------------------------------------------------------

QScrollBar* TEVQContainerImpl::liveBar(bool horizontal) const
{
    // A bar that is being destroyed is no longer a QScrollBar by its meta-object and is not touched.
    QObject* bar = horizontal ? hBar.data() : vBar.data();
    return qobject_cast<QScrollBar*>(bar);
}

TEVQScrollBar* TEVQContainerImpl::getBindScrollBar(bool horizontal) const
{
    // Only TEVQScrollBars are ever bound.
    return static_cast<TEVQScrollBar*>(liveBar(horizontal));
}

bool TEVQContainerImpl::isBoundBar(const QObject* w) const
{
    if (!w)
        return false;
    if (w == hBarId || w == vBarId)
        return true;
    // Only scroll bars are ever bound; the cheap type test spares the property lookup for other children.
    return qobject_cast<const QScrollBar*>(w) && boundBarFlag(w);
}

QList<QWidget*> TEVQContainerImpl::childWidgets() const
{
    QList<QWidget*> out;
    if (!owner)
        return out;
    const QObjectList& list = owner->children();
    out.reserve(list.size());
    for (QObject* o : list) {
        // A window parented to the container (a dialog, a context menu open over it) is no part of its area.
        if (o->isWidgetType() && !static_cast<QWidget*>(o)->isWindow())
            out.append(static_cast<QWidget*>(o));
    }
    return out;
}

void TEVQContainerImpl::registerChild(QObject* child)
{
    if (!child || !owner || isBoundBar(child))
        return;
    child->installEventFilter(owner);
}

void TEVQContainerImpl::forgetBar(QObject* child)
{
    if (!child || (child != hBarId && child != vBarId))
        return;
    // The bar may be on its way to another container or half destroyed: only QObject operations, and the
    // property only while it is still a whole scroll bar.
    QObject::disconnect(child, nullptr, this, nullptr);
    if (QScrollBar* bar = qobject_cast<QScrollBar*>(child))
        setBoundBarFlag(bar, false);
    const bool wasScrolled = (child == hBarId && scrollX != 0) || (child == vBarId && scrollY != 0);
    if (child == hBarId) {
        hBar.clear();
        hBarId = nullptr;
        scrollX = 0;
    }
    if (child == vBarId) {
        vBar.clear();
        vBarId = nullptr;
        scrollY = 0;
    }
    if (wasScrolled)
        placeAtOffsets();
    // The room the bar may have taken goes back to the children.
    if (childLayout != 4)
        doLayout();
}

int TEVQContainerImpl::visibleBarThickness(bool horizontal) const
{
    QScrollBar* bar = liveBar(horizontal);
    if (!bar || !bar->isVisibleTo(owner))
        return 0;
    const QSize hint = bar->sizeHint();
    return qMax(horizontal ? hint.height() : hint.width(), 0);
}

// The property is what others see; the engine keeps the value it last stored beside it. A framework widget
// keeps the property's value in its record (no search by name, no property-change event); any other child
// carries it as a dynamic property.
void TEVQContainerImpl::storeBase(QWidget* w, const QRect& r)
{
    auto it = baseCache.find(w);
    if (it != baseCache.end() && *it == r)
        return;
    baseCache.insert(w, r);
    if (TEVQWidgetBase* record = tevDeclaredRecord(w)) {
        record->containerBaseGeometry = r;
        record->hasContainerBaseGeometry = true;
    } else {
        w->setProperty(kBaseGeometry, r);
    }
}

bool TEVQContainerImpl::storedBase(QWidget* w, QRect& out)
{
    auto it = baseCache.constFind(w);
    if (it != baseCache.constEnd()) {
        out = *it;
        return true;
    }
    if (const TEVQWidgetBase* record = tevDeclaredRecord(w)) {
        if (!record->hasContainerBaseGeometry)
            return false;
        out = record->containerBaseGeometry;
        baseCache.insert(w, out);
        return true;
    }
    const QVariant v = w->property(kBaseGeometry);
    if (v.isValid() && v.canConvert<QRect>()) {
        out = v.toRect();
        baseCache.insert(w, out);
        return true;
    }
    return false;
}

void TEVQContainerImpl::dropBase(const QObject* w)
{
    baseCache.remove(w);
    placedCache.remove(w);
}

void TEVQContainerImpl::takeUnseenMove(QWidget* w)
{
    // Qt holds a hidden widget's move and resize events until it is shown, so the event filter never saw its owner
    // place it: without this the next re-placing would put it back where the container had it.
    if (w->isVisible())
        return;
    const auto it = placedCache.constFind(w);
    if (it == placedCache.constEnd() || *it == w->geometry())
        return;
    notePlaced(w);
    storeBase(w, shifted(w->geometry(), scrollX, scrollY));
}

void TEVQContainerImpl::forgetOldBase(QObject* w)
{
    baseCache.remove(w);
    placedCache.remove(w);
    // Only what is stored is cleared: a child still being built carries nothing and is not touched further.
    if (TEVQWidgetBase* record = tevDeclaredRecord(w)) {
        record->hasContainerBaseGeometry = false;
        record->containerBaseGeometry = QRect();
    } else if (w->property(kBaseGeometry).isValid()) {
        w->setProperty(kBaseGeometry, QVariant());
    }
}

QRect TEVQContainerImpl::baseGeometry(QWidget* child)
{
    QRect r;
    if (storedBase(child, r))
        return r;
    r = shifted(child->geometry(), scrollX, scrollY);
    storeBase(child, r);
    return r;
}

void TEVQContainerImpl::collectItems(std::vector<Item>& items) const
{
    const bool horizontal = childLayout == 0;
    for (QWidget* w : childWidgets()) {
        if (isBoundBar(w))
            continue;
        ITEVQWidgetBase* iface = tevWidgetInterface(w);
        if (iface && iface->getAbsoluteLayout())
            continue;
        Item it;
        it.w = w;
        it.iface = iface;
        it.ratio = iface ? qMax(iface->getLayoutRatio(), 1) : 1;
        if (isSpacerFor(w, horizontal)) {
            it.spacer = true;
            it.thickness = static_cast<TEVQSpacer*>(w)->getThickness();
        }
        items.push_back(it);
    }
}

// ---- the layout pass -----------------------------------------------------------------------------------------

void TEVQContainerImpl::relayout()
{
    if (owner)
        laidOutSize = owner->size();
    if (childLayout != 4)
        doLayout();
    updateScroll();
}

void TEVQContainerImpl::doLayout()
{
    if (!owner)
        return;
    if (inLayout) {
        // The running pass placed some children by what it read at its start: it is followed by one more.
        layoutAgain = true;
        return;
    }
    // Bounded, so that a handler that asks for a pass on every pass cannot keep the container busy.
    for (int pass = 0; pass <= kMaxLayoutReruns; ++pass) {
        layoutAgain = false;
        layoutPass();
        if (!layoutAgain)
            break;
    }
    layoutAgain = false;
}

void TEVQContainerImpl::layoutPass()
{
    inLayout = true;
    laidOutSize = owner->size(); // whoever starts the pass (a resize event for this size then needs none)
    layoutDocked();
    bool dockAgain = true;
    switch (childLayout) {
    case 0:
    case 1: {
        const bool horizontal = childLayout == 0;
        std::vector<Item> items;
        collectItems(items);
        if (items.empty()) {
            dockAgain = false;
            break;
        }
        // Ratios come from page files: summed in 64 bits, so that any number of them at the int maximum fits.
        qint64 spacerRatios = 0;
        bool anySpacer = false;
        for (const Item& it : items) {
            if (it.spacer) {
                anySpacer = true;
                spacerRatios += it.ratio;
            }
        }
        if (!anySpacer || spacerRatios < 1) {
            if (horizontal)
                layoutHorizontal(items);
            else
                layoutVertical(items);
            dockAgain = false;
        } else {
            layoutSpacers(items, horizontal);
        }
        break;
    }
    case 2:
    case 3:
        layoutFloat(childLayout == 2);
        break;
    default:
        break;
    }
    if (dockAgain)
        layoutDocked();
    inLayout = false;
}

void TEVQContainerImpl::layoutDocked()
{
    const Box box = paddedBox();
    const qint64 vbarW = visibleBarThickness(false);
    const qint64 hbarH = visibleBarThickness(true);
    const qint64 x0 = qMax(box.left, 0);
    const qint64 y0 = qMax(box.top, 0);
    const qint64 innerW = qMax<qint64>(owner->width() - vbarW - box.left - box.right, 0);
    const qint64 innerH = qMax<qint64>(owner->height() - hbarH - box.top - box.bottom, 0);
    for (const QPointer<QWidget>& w : guarded(childWidgets())) {
        if (!w || isBoundBar(w))
            continue;
        ITEVQWidgetBase* iface = tevWidgetInterface(w);
        if (!iface || !iface->getAbsoluteLayout())
            continue;
        DockLayoutType hor = DockLayoutNear, ver = DockLayoutNear;
        int offX = 0, offY = 0;
        iface->getAbsoluteDock(hor, ver, offX, offY);

        QRect r = w->geometry();
        auto* child = qobject_cast<TEVQContainer*>(w);
        const QSize content = contentSize(child);
        if (content.isValid())
            r.setSize(content);

        const qint64 capW = lowerToMax(innerW, w->maximumWidth());
        const qint64 width = clampTo<qint64>(qMax(w->minimumWidth(), 0), capW, r.width());
        const qint64 capH = lowerToMax(innerH, w->maximumHeight());
        const qint64 height = clampTo<qint64>(qMax(w->minimumHeight(), 0), capH, r.height());

        qint64 x = hor == DockLayoutCenter ? x0 + (innerW - width) / 2 : hor == DockLayoutFar ? x0 + innerW - width : x0;
        qint64 y = ver == DockLayoutCenter ? y0 + (innerH - height) / 2 : ver == DockLayoutFar ? y0 + innerH - height : y0;
        x += offX;
        y += offY;
        const QRect placed(coord(x), coord(y), int(width), int(height));
        const QSize before = w->size();
        if (TEVQWidgetBase* base = iface->getControlBase())
            base->setGeometry(placed);
        else
            w->QWidget::setGeometry(placed);
        if (!w)
            continue; // deleted by its own handlers
        notePlaced(w);
        settleHidden(w, before);
        storeBase(w, placed);
        if (content.isValid())
            child->forceResize();
    }
}

void TEVQContainerImpl::place(const QPointer<QWidget>& guard, ITEVQWidgetBase* iface, qint64 mainPos,
                              qint64 crossPos, qint64 mainSize, qint64 crossSize, bool spacer, int thickness,
                              bool horizontal)
{
    QWidget* w = guard;
    if (!w)
        return;
    const QSize cur = w->size();
    qint64 cross;
    if (spacer && thickness >= 1) {
        cross = thickness;
    } else {
        const LayoutSizePolicy crossPolicy =
            iface ? (horizontal ? iface->getHeightPolicy() : iface->getWidthPolicy()) : LayoutSizePolicyUnset;
        cross = crossPolicy == LayoutSizePolicyFree ? crossSize : crossOf(cur, horizontal);
    }
    const int crossMin = horizontal ? w->minimumHeight() : w->minimumWidth();
    const int crossMax = horizontal ? w->maximumHeight() : w->maximumWidth();
    const qint64 cap = lowerToMax(qMax<qint64>(crossSize, 0), crossMax);
    cross = qMin(clampTo<qint64>(qMax(crossMin, 0), cap, cross), crossSize);

    const int m = coord(qMax<qint64>(mainSize, 0));
    const int c = coord(cross);
    const QRect r = horizontal ? QRect(coord(mainPos), coord(crossPos), m, c) : QRect(coord(crossPos), coord(mainPos), c, m);
    storeBase(w, r);
    // Qt's own call: the framework's setGeometry would turn the child's ratio layout into an absolute one.
    const QSize before = w->size();
    w->QWidget::setGeometry(r);
    if (!guard)
        return;
    notePlaced(w);
    settleHidden(w, before);
}

bool TEVQContainerImpl::isSpacerFor(const QWidget* w, bool horizontal)
{
    const auto* s = qobject_cast<const TEVQSpacer*>(w);
    if (!s)
        return false;
    const int d = s->getDirection();
    return d == TEVQSpacer::Auto || (horizontal ? d == TEVQSpacer::Horizontal : d == TEVQSpacer::Vertical);
}

TEVQContainerImpl::LineFrame TEVQContainerImpl::lineFrame(int n, bool horizontal) const
{
    const Box box = paddedBox();
    const qint64 W = owner->width();
    const qint64 H = owner->height();
    const qint64 vbarW = visibleBarThickness(false);
    const qint64 hbarH = visibleBarThickness(true);
    const qint64 width = W - vbarW - box.left - box.right;
    const qint64 height = H - hbarH - box.top - box.bottom;
    LineFrame frame;
    frame.gap = box.gap;
    frame.mainStart = horizontal ? box.left : box.top;
    frame.crossStart = horizontal ? box.top : box.left;
    frame.avail = extent((horizontal ? width : height) - (n - 1) * frame.gap);
    frame.crossSize = qMax<qint64>(horizontal ? height : width, 0);
    return frame;
}

void TEVQContainerImpl::layoutLinear(std::vector<Item>& items, bool horizontal)
{
    const int n = int(items.size());
    const LineFrame frame = lineFrame(n, horizontal);
    // A bar bound along the main axis lets the row or column grow beyond the view.
    const bool overflow = horizontal ? bool(liveBar(true)) : bool(liveBar(false));

    const MainAxis axis{horizontal};
    auto isFixed = [horizontal](const Item& it) {
        return it.iface &&
               (horizontal ? it.iface->getWidthPolicy() : it.iface->getHeightPolicy()) == LayoutSizePolicyFixed;
    };
    auto natural = [&](QWidget* w) -> qint64 {
        return lowerToMax<qint64>(qMax(qMax(axis.current(w), 0), axis.minimum(w)), axis.maximum(w));
    };

    qint64 avail = frame.avail;
    if (overflow) {
        qint64 sum = 0;
        for (const Item& it : items)
            sum += qMax<qint64>(natural(it.w), 0);
        avail = extent(qMax(avail, sum));
    }

    qint64 fixedSum = 0;
    int flexCount = 0;
    qint64 flexRatioSum = 0;
    for (const Item& it : items) {
        if (isFixed(it)) {
            if (horizontal) {
                const qint64 cap = lowerToMax(avail, axis.maximum(it.w));
                fixedSum += clampTo<qint64>(qMax(axis.minimum(it.w), 0), cap, qMax(axis.current(it.w), 0));
            } else {
                // A column adds the fixed children's heights as they are, without limits.
                fixedSum += qMax(axis.current(it.w), 0);
            }
        } else {
            ++flexCount;
            flexRatioSum += it.ratio;
        }
    }
    qint64 remaining = qMax<qint64>(avail - fixedSum, 0);

    qint64 pos = frame.mainStart;
    for (int i = 0; i < n; ++i) {
        const Item& it = items[size_t(i)];
        QWidget* w = it.w;
        if (!w)
            continue; // deleted by the placing of an earlier child
        const bool fixed = isFixed(it);
        qint64 size;
        if (!fixed) {
            const bool whole = flexCount < 2 || flexRatioSum < 1 || (!horizontal && i == n - 1);
            const qint64 s = whole ? remaining : shareOf(remaining, it.ratio, flexRatioSum);
            const qint64 cap = lowerToMax(qMax<qint64>(avail, 0), axis.maximum(w));
            size = clampTo<qint64>(qMax(axis.minimum(w), 0), cap, s);
        } else if (overflow) {
            size = natural(w);
        } else {
            const qint64 cap = lowerToMax(avail, axis.maximum(w));
            size = clampTo<qint64>(qMax(axis.minimum(w), 0), cap, qMax(axis.current(w), 0));
        }
        size = qMax<qint64>(size, 0);
        if (horizontal)
            placeInRow(it.w, it.iface, pos, frame.crossStart, size, frame.crossSize, false, 0);
        else
            placeInColumn(it.w, it.iface, pos, frame.crossStart, size, frame.crossSize, false, 0);
        if (!fixed) {
            --flexCount;
            remaining = qMax<qint64>(remaining - size, 0);
            flexRatioSum -= it.ratio;
        }
        avail -= size;
        if (!overflow)
            avail = qMax<qint64>(avail, 0);
        pos += frame.gap + size;
    }
}

void TEVQContainerImpl::layoutSpacers(std::vector<Item>& items, bool horizontal)
{
    const int n = int(items.size());
    const LineFrame frame = lineFrame(n, horizontal);
    qint64 avail = frame.avail;

    const MainAxis axis{horizontal};

    qint64 used = 0;
    qint64 spacerRatioSum = 0;
    for (Item& it : items) {
        if (it.spacer) {
            it.size = 0;
            spacerRatioSum += it.ratio;
            continue;
        }
        const qint64 cap = lowerToMax(avail, axis.maximum(it.w));
        it.size = clampTo<qint64>(qMax(axis.minimum(it.w), 0), cap,
                                  qMax(qMax(axis.current(it.w), 0), axis.minimum(it.w)));
        used += it.size;
    }
    if (horizontal ? bool(liveBar(true)) : bool(liveBar(false)))
        avail = extent(qMax(avail, used));
    qint64 free = avail - used;

    if (free <= 0) {
        // Too little room: the non-spacers give up what they hold above their minimum, in proportion first.
        qint64 overflowPx = -free;
        auto slackOf = [&](const Item& it) -> qint64 {
            return it.spacer ? 0 : qMax<qint64>(it.size - axis.minimum(it.w), 0);
        };
        qint64 shrinkable = 0;
        for (const Item& it : items)
            shrinkable += slackOf(it);
        for (Item& it : items) {
            if (overflowPx < 1 || shrinkable < 1)
                break;
            const qint64 slack = slackOf(it);
            if (slack <= 0)
                continue;
            const qint64 cut = qMin(slack, shareOf(overflowPx, slack, shrinkable));
            it.size -= cut;
            shrinkable -= slack;
            overflowPx -= cut;
        }
        for (Item& it : items) {
            if (overflowPx < 1)
                break;
            const qint64 slack = slackOf(it); // what is left above the minimum
            if (slack <= 0)
                continue;
            const qint64 cut = qMin(slack, overflowPx);
            it.size -= cut;
            overflowPx -= cut;
        }
    } else {
        for (Item& it : items) {
            if (!it.spacer)
                continue;
            const qint64 s = spacerRatioSum > 0 ? shareOf(free, it.ratio, spacerRatioSum) : free;
            const qint64 cap = lowerToMax(free, axis.maximum(it.w));
            it.size = qMax(qMin<qint64>(cap, 0), qMin(cap, s));
            free = qMax<qint64>(free - it.size, 0);
            spacerRatioSum -= it.ratio;
        }
    }

    qint64 pos = frame.mainStart;
    for (const Item& it : items) {
        if (!it.w)
            continue; // deleted by the placing of an earlier child
        const qint64 cap = lowerToMax(qMax<qint64>(avail, 0), axis.maximum(it.w));
        const qint64 lower = it.spacer ? 0 : qMax(axis.minimum(it.w), 0);
        const qint64 size = qMax<qint64>(clampTo(lower, cap, it.size), 0);
        if (horizontal)
            placeInRow(it.w, it.iface, pos, frame.crossStart, size, frame.crossSize, it.spacer, it.thickness);
        else
            placeInColumn(it.w, it.iface, pos, frame.crossStart, size, frame.crossSize, it.spacer, it.thickness);
        avail = qMax<qint64>(avail - size, 0);
        pos += frame.gap + size;
    }
}

void TEVQContainerImpl::layoutFloat(bool horizontal)
{
    const Box box = paddedBox();
    const qint64 gap = box.gap;
    const qint64 limit = horizontal ? qint64(owner->width()) - box.right : qint64(owner->height()) - box.bottom;
    const qint64 start = horizontal ? box.left : box.top;
    qint64 mainPos = start;
    qint64 crossPos = horizontal ? box.top : box.left;
    qint64 lineCross = 0;
    for (const QPointer<QWidget>& w : guarded(childWidgets())) {
        // Bars and docked children have places of their own and take no slot in the flow.
        if (!w || isBoundBar(w))
            continue;
        if (ITEVQWidgetBase* iface = tevWidgetInterface(w)) {
            if (iface->getAbsoluteLayout())
                continue;
        }
        const QSize s = w->size();
        const qint64 m = mainOf(s, horizontal);
        if (mainPos > start && mainPos + m > limit) {
            mainPos = start;
            crossPos += gap + lineCross;
            lineCross = 0;
        }
        const QPoint at = horizontal ? QPoint(coord(mainPos), coord(crossPos)) : QPoint(coord(crossPos), coord(mainPos));
        const QRect r(at, s);
        storeBase(w, r);
        w->QWidget::setGeometry(r);
        if (w)
            notePlaced(w);
        mainPos += m + gap;
        lineCross = qMax<qint64>(lineCross, crossOf(s, horizontal));
    }
}

// ---- content and preferred sizes -----------------------------------------------------------------------------

QSize TEVQContainerImpl::preferredSize(QWidget* child)
{
    if (!child)
        return QSize(0, 0);
    QSize s = child->sizeHint();
    if (!s.isValid())
        s = child->minimumSizeHint();
    if (!s.isValid())
        s = child->minimumSize();
    int w = qMax(s.width(), 0);
    int h = qMax(s.height(), 0);
    if (ITEVQWidgetBase* iface = tevWidgetInterface(child)) {
        if (iface->getWidthPolicy() == LayoutSizePolicyFixed)
            w = qMax(w, child->width());
        if (iface->getHeightPolicy() == LayoutSizePolicyFixed)
            h = qMax(h, child->height());
    }
    w = lowerToMax(qMax(w, child->minimumWidth()), child->maximumWidth());
    h = lowerToMax(qMax(h, child->minimumHeight()), child->maximumHeight());
    return QSize(w, h);
}

QSize TEVQContainerImpl::contentSize(TEVQContainer* c)
{
    TEVQContainerImpl* d = c ? c->containerImpl() : nullptr;
    if (!d || !d->absoluteDockAutoSize)
        return QSize();
    const Box box = d->paddedBox();
    std::vector<Item> items;
    d->collectItems(items);
    const qint64 n = qint64(items.size());
    qint64 w = 0;
    qint64 h = 0;
    if (d->childLayout == 0 || d->childLayout == 1) {
        const bool horizontal = d->childLayout == 0;
        qint64 sum = 0;
        qint64 largest = 0;
        for (const Item& it : items) {
            const QSize p = preferredSize(it.w);
            sum += mainOf(p, horizontal);
            largest = qMax<qint64>(largest, crossOf(p, horizontal));
        }
        if (n > 1)
            sum += (n - 1) * box.gap;
        w = horizontal ? sum : largest;
        h = horizontal ? largest : sum;
    } else {
        QRect united;
        for (const Item& it : items)
            united |= QRect(it.w->pos(), preferredSize(it.w));
        if (!united.isNull()) {
            w = qMax<qint64>(qint64(united.right()) + 1, 0);
            h = qMax<qint64>(qint64(united.bottom()) + 1, 0);
        }
    }
    // Within Qt's largest widget size.
    auto size = [](qint64 v) { return int(qBound<qint64>(0, v, kUnbounded)); };
    return QSize(size(box.left + w + box.right), size(box.top + h + box.bottom));
}

// ---- scrolling -----------------------------------------------------------------------------------------------

void TEVQContainerImpl::updateScroll()
{
    QScrollBar* hb = liveBar(true);
    QScrollBar* vb = liveBar(false);
    if (scrollBusy || !owner || (!hb && !vb))
        return;
    const bool hWasVisible = hb && hb->isVisibleTo(owner);
    const bool vWasVisible = vb && vb->isVisibleTo(owner);
    scrollBusy = true;

    QRect content;
    bool hasContent = false;
    for (QWidget* w : childWidgets()) {
        if (isBoundBar(w))
            continue;
        takeUnseenMove(w);
        if (!w->isVisibleTo(owner))
            continue;
        const QRect r = baseGeometry(w);
        content = hasContent ? content.united(r) : r;
        hasContent = true;
    }

    const int viewW = qMax(owner->width(), 0);
    const int viewH = qMax(owner->height(), 0);
    lastScroll.valid = false;
    const int barW = vb ? qMax(vb->sizeHint().width(), 0) : 0;
    const int barH = hb ? qMax(hb->sizeHint().height(), 0) : 0;

    bool needH = false;
    bool needV = false;
    for (int round = 0; round < 2; ++round) {
        const int availW = qMax(viewW - (needV ? barW : 0), 0);
        const int availH = qMax(viewH - (needH ? barH : 0), 0);
        const bool newH = hb && hasContent && qint64(content.right()) + 1 > availW;
        const bool newV = vb && hasContent && qint64(content.bottom()) + 1 > availH;
        if (newH == needH && newV == needV)
            break;
        needH = newH;
        needV = newV;
    }
    const int viewW2 = qMax(viewW - (needV ? barW : 0), 0);
    const int viewH2 = qMax(viewH - (needH ? barH : 0), 0);

    // A receiver of a bar's rangeChanged() or valueChanged() may delete the bar, or the container and this with
    // it.
    const QPointer<QWidget> alive(owner);
    auto setBar = [&](QScrollBar* bar, bool needed, int range, int page, const QRect& geo, int& offset) {
        if (!alive)
            return;
        if (!bar) {
            offset = 0;
            return;
        }
        const QPointer<QScrollBar> liveSender(bar);
        if (needed) {
            bar->setRange(0, qMax(range, 0));
            if (!alive || !liveSender)
                return;
            bar->setPageStep(page);
            if (ITEVQWidgetBase* iface = tevWidgetInterface(bar))
                iface->setGeometry(geo.x(), geo.y(), geo.width(), geo.height());
            else
                bar->setGeometry(geo);
            bar->show();
            offset = qBound(0, bar->value(), bar->maximum());
            if (bar->value() != offset)
                bar->setValue(offset);
        } else {
            bar->hide();
            bar->setRange(0, 0);
            if (!alive)
                return;
            if (liveSender)
                bar->setValue(0);
            if (alive)
                offset = 0;
        }
    };
    setBar(hb, needH, hasContent ? extent(qint64(content.right()) + 1 - viewW2) : 0, viewW2, QRect(0, viewH - barH, viewW2, barH),
           scrollX);
    setBar(vb, needV, hasContent ? extent(qint64(content.bottom()) + 1 - viewH2) : 0, viewH2, QRect(viewW - barW, 0, barW, viewH2),
           scrollY);
    if (!alive)
        return;

    // The bars may have gone while their signals ran.
    hb = liveBar(true);
    vb = liveBar(false);
    lastScroll.valid = true;
    lastScroll.hasContent = hasContent;
    lastScroll.content = content;
    lastScroll.size = owner->size();
    lastScroll.h = hb;
    lastScroll.v = vb;
    lastScroll.x = scrollX;
    lastScroll.y = scrollY;
    const bool changed = (hb && hb->isVisibleTo(owner)) != hWasVisible || (vb && vb->isVisibleTo(owner)) != vWasVisible;
    scrollBusy = false;
    if (changed && childLayout != 4 && scrollRerunDepth < kMaxScrollReruns) {
        // The bars now take (or give back) room: lay out again. Bounded, so that a case where each bar's
        // appearance keeps flipping the other's need cannot recurse without end.
        ++scrollRerunDepth;
        doLayout();
        updateScroll();
        if (!alive)
            return;
        --scrollRerunDepth;
    } else {
        applyScrollOffset();
    }
}

bool TEVQContainerImpl::scrollUnaffected(QWidget* w, QEvent::Type type, const QRect& oldBase, bool hadBase,
                                         const QRect& newBase) const
{
    const ScrollState& s = lastScroll;
    if (!s.valid || scrollBusy || !owner || owner->size() != s.size || s.x != scrollX || s.y != scrollY ||
        s.h != liveBar(true) || s.v != liveBar(false) || !s.hasContent)
        return false;
    // The bars' need, ranges and places follow from the right and bottom edges of the content only.
    switch (type) {
    case QEvent::Show:
        // Counted already (visible to the container before it was shown) or inside what is counted.
        return s.content.contains(newBase) && (!hadBase || oldBase == newBase || s.content.contains(oldBase));
    case QEvent::Hide:
        // Another child holds the right and bottom edges.
        return hadBase && oldBase == newBase && newBase.right() < s.content.right() &&
               newBase.bottom() < s.content.bottom();
    default:
        // Moved or resized: nothing changed, or a child that is not counted.
        if (hadBase && oldBase == newBase)
            return true;
        return !w->isVisibleTo(owner);
    }
}

void TEVQContainerImpl::applyScrollOffset()
{
    if (!liveBar(true) && !liveBar(false))
        return;
    placeAtOffsets();
}

void TEVQContainerImpl::placeAtOffsets()
{
    // Also without bars: a bar that goes away takes its offset with it, and the children scrolled by it come
    // back to their unscrolled places instead of staying out of reach.
    if (scrollBusy || !owner)
        return;
    scrollBusy = true;
    for (const QPointer<QWidget>& w : guarded(childWidgets())) {
        if (!w || isBoundBar(w))
            continue; // deleted by the move of an earlier child
        takeUnseenMove(w);
        w->QWidget::setGeometry(shifted(baseGeometry(w), -qint64(scrollX), -qint64(scrollY)));
        if (w)
            notePlaced(w);
    }
    scrollBusy = false;
}

void TEVQContainerImpl::bindScrollBar(TEVQScrollBar* bar, bool horizontal)
{
    QPointer<QScrollBar>& slot = horizontal ? hBar : vBar;
    const QObject*& slotId = horizontal ? hBarId : vBarId;
    QScrollBar* newBar = bar;
    // A bar the container lies inside cannot become its child: the widget tree would close into a loop.
    if (newBar && owner && newBar->isAncestorOf(owner))
        return;
    bool gaveRoomBack = false;
    if (newBar != slotId) {
        if (QScrollBar* old = liveBar(horizontal)) {
            gaveRoomBack = old->isVisibleTo(owner);
            setBoundBarFlag(old, false);
            old->hide();
            old->removeEventFilter(owner);
            QObject::disconnect(old, nullptr, this, nullptr);
            QObject::disconnect(old, nullptr, owner, nullptr);
        }
        slot = newBar;
        slotId = newBar;
        if (newBar) {
            if (newBar->parentWidget() != owner)
                newBar->setParent(owner);
            newBar->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
            setBoundBarFlag(newBar, true);
            newBar->installEventFilter(owner);
            connect(newBar, &QScrollBar::valueChanged, this, [this, horizontal](int value) {
                if (scrollBusy)
                    return;
                (horizontal ? scrollX : scrollY) = value;
                applyScrollOffset();
            });
        } else {
            int& offset = horizontal ? scrollX : scrollY;
            const bool wasScrolled = offset != 0;
            offset = 0;
            if (wasScrolled)
                placeAtOffsets();
        }
    }
    // A shown bar that goes gives its room back to the children.
    if (gaveRoomBack && childLayout != 4)
        doLayout();
    updateScroll();
}

void TEVQContainerImpl::setScrollPos(bool horizontal, int pos)
{
    if (QScrollBar* bar = liveBar(horizontal)) {
        bar->setValue(qBound(bar->minimum(), pos, bar->maximum()));
        return;
    }
    (horizontal ? scrollX : scrollY) = int(extent(pos));
    applyScrollOffset();
}

// ---- resize animation ----------------------------------------------------------------------------------------

bool TEVQContainerImpl::startResizeAnimation(const QSize& from, const QSize& to, int durationMs)
{
    if (!owner || animating)
        return false;
    const QSize a(qMax(from.width(), 0), qMax(from.height(), 0));
    const QSize b(qMax(to.width(), 0), qMax(to.height(), 0));
    animateWidth = a.width() != b.width();
    animateHeight = a.height() != b.height();
    targetSize = b;
    if (!animateWidth && !animateHeight) {
        applyAnimatedSize(b);
        return true;
    }
    if (durationMs <= 0) {
        applyAnimatedSize(b);
        return true;
    }
    if (!animation) {
        animation = new QVariantAnimation(this);
        connect(animation, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& v) { applyAnimatedSize(v.toSize()); });
        connect(animation, &QVariantAnimation::finished, this, [this] {
            applyAnimatedSize(targetSize);
            animating = false;
        });
    }
    animating = true;
    {
        // A reused animation reports the value at its current time (the end of its last run) when its values
        // are set: the new end size would be applied before the start size.
        const QSignalBlocker quiet(animation);
        animation->setDuration(durationMs);
        animation->setStartValue(a);
        animation->setEndValue(b);
        animation->setEasingCurve(QEasingCurve::OutCubic);
    }
    applyAnimatedSize(a);
    animation->start();
    return true;
}

void TEVQContainerImpl::applyAnimatedSize(const QSize& size)
{
    TEVQContainer* c = container();
    if (!c)
        return;
    const int w = qMax(size.width(), 0);
    const int h = qMax(size.height(), 0);
    if (animateWidth) {
        c->setMinimumWidth(w);
        c->setMaximumWidth(w);
    }
    if (animateHeight) {
        c->setMinimumHeight(h);
        c->setMaximumHeight(h);
    }
    c->resize(animateWidth ? w : c->width(), animateHeight ? h : c->height());
    c->updateGeometry();
    if (auto* parent = qobject_cast<TEVQContainer*>(c->parentWidget())) {
        parent->forceResize();
    } else if (childLayout != 4) {
        doLayout();
        updateScroll();
    }
}
