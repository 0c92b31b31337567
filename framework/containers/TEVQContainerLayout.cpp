// The container layout engine: docking, rows and columns with ratio shares, policies, limits and spacers,
// wrapping flows, the bound scroll bars and the animated resize. Integer pixel arithmetic in the container's
// own coordinates throughout.
#include "TEVQContainer.h"

#include "TEVQScrollBar.h"
#include "TEVQSpacer.h"

#include <QVariantAnimation>

#include <vector>

using namespace TEVQtLib;

namespace {

const char* const kBaseGeometry = "_tev_container_base_geometry";
const char* const kBoundBar = "_tev_container_bound_scrollbar";
constexpr int kUnbounded = 16777215;

// Maximum scroll-update re-runs nested inside one another when the bars keep changing visibility.
constexpr int kMaxScrollReruns = 2;

inline bool bounded(int maximum) { return maximum < kUnbounded; }

// Axis accessors: main == width for a row, height for a column.
inline int mainOf(const QSize& s, bool horizontal) { return horizontal ? s.width() : s.height(); }
inline int crossOf(const QSize& s, bool horizontal) { return horizontal ? s.height() : s.width(); }

// max(min(lower, cap), min(cap, v)): v clamped into [lower, cap], where cap wins over lower.
inline int clampTo(int lower, int cap, int v) { return qMax(qMin(lower, cap), qMin(cap, v)); }

inline int lowerToMax(int v, int maximum) { return bounded(maximum) ? qMin(v, maximum) : v; }

// Stores r as w's unscrolled rectangle; an unchanged value is not set again (setting a dynamic property
// sends an event to the child every time).
void storeBase(QWidget* w, const QRect& r)
{
    const QVariant v = w->property(kBaseGeometry);
    if (v.userType() == QMetaType::QRect && v.toRect() == r)
        return;
    w->setProperty(kBaseGeometry, r);
}

// A widget that is not shown gets no resize event when its size changes (Qt keeps it pending until it is
// shown), so a hidden child container lays out its own children here; trees built before they are shown
// then hold their final geometry at once.
void settleHidden(QWidget* w, const QSize& before)
{
    if (w->size() == before || w->isVisible())
        return;
    if (auto* c = qobject_cast<TEVQContainer*>(w))
        c->forceResize();
}

inline int share(int total, int ratio, int ratioSum)
{
    return int(qint64(total) * ratio / ratioSum);
}

} // namespace

struct TEVQContainerImpl::Item
{
    QWidget* w = nullptr;
    ITEVQWidgetBase* iface = nullptr;
    int ratio = 1;
    bool spacer = false;
    int thickness = 0;
    int size = 0; // spacer distribution: the size along the main axis
};

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
    return qobject_cast<const QScrollBar*>(w) && w->property(kBoundBar).toBool();
}

QList<QWidget*> TEVQContainerImpl::childWidgets() const
{
    QList<QWidget*> out;
    if (!owner)
        return out;
    const QObjectList& list = owner->children();
    out.reserve(list.size());
    for (QObject* o : list) {
        if (o->isWidgetType())
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
    if (!child)
        return;
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
}

int TEVQContainerImpl::visibleBarThickness(bool horizontal) const
{
    QScrollBar* bar = liveBar(horizontal);
    if (!bar || !bar->isVisibleTo(owner))
        return 0;
    const QSize hint = bar->sizeHint();
    return qMax(horizontal ? hint.height() : hint.width(), 0);
}

QRect TEVQContainerImpl::baseGeometry(QWidget* child)
{
    const QVariant v = child->property(kBaseGeometry);
    if (v.isValid() && v.canConvert<QRect>())
        return v.toRect();
    const QRect r = child->geometry().translated(scrollX, scrollY);
    child->setProperty(kBaseGeometry, r);
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
        if (auto* s = qobject_cast<TEVQSpacer*>(w)) {
            const int d = s->getDirection();
            it.spacer = d == TEVQSpacer::Auto || (horizontal ? d == TEVQSpacer::Horizontal : d == TEVQSpacer::Vertical);
            it.thickness = s->getThickness();
        }
        items.push_back(it);
    }
}

// ---- the layout pass -----------------------------------------------------------------------------------------

void TEVQContainerImpl::relayout()
{
    if (childLayout != 4)
        doLayout();
    updateScroll();
}

void TEVQContainerImpl::doLayout()
{
    if (!owner || inLayout)
        return;
    inLayout = true;
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
        int spacerRatios = 0;
        bool anySpacer = false;
        for (const Item& it : items) {
            if (it.spacer) {
                anySpacer = true;
                spacerRatios += it.ratio;
            }
        }
        if (!anySpacer || spacerRatios < 1) {
            layoutLinear(items, horizontal);
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
    const int vbarW = visibleBarThickness(false);
    const int hbarH = visibleBarThickness(true);
    const int x0 = qMax(paddingLeft, 0);
    const int y0 = qMax(paddingTop, 0);
    const int innerW = qMax(owner->width() - vbarW - paddingLeft - paddingRight, 0);
    const int innerH = qMax(owner->height() - hbarH - paddingTop - paddingBottom, 0);
    for (QWidget* w : childWidgets()) {
        if (isBoundBar(w))
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

        const int capW = lowerToMax(innerW, w->maximumWidth());
        const int width = clampTo(qMax(w->minimumWidth(), 0), capW, r.width());
        const int capH = lowerToMax(innerH, w->maximumHeight());
        const int height = clampTo(qMax(w->minimumHeight(), 0), capH, r.height());

        int x = hor == DockLayoutCenter ? x0 + (innerW - width) / 2 : hor == DockLayoutFar ? x0 + innerW - width : x0;
        int y = ver == DockLayoutCenter ? y0 + (innerH - height) / 2 : ver == DockLayoutFar ? y0 + innerH - height : y0;
        x += offX;
        y += offY;
        const QRect placed(x, y, width, height);
        const QSize before = w->size();
        if (TEVQWidgetBase* base = iface->getControlBase())
            base->setGeometry(placed);
        else
            w->QWidget::setGeometry(placed);
        settleHidden(w, before);
        storeBase(w, placed);
        if (content.isValid())
            child->forceResize();
    }
}

void TEVQContainerImpl::place(QWidget* w, ITEVQWidgetBase* iface, int mainPos, int crossPos, int mainSize, int crossSize, bool spacer,
                              int thickness, bool horizontal)
{
    QRect r = w->geometry();
    const QSize cur = r.size();
    int cross;
    if (spacer && thickness >= 1) {
        cross = thickness;
    } else {
        const LayoutSizePolicy crossPolicy =
            iface ? (horizontal ? iface->getHeightPolicy() : iface->getWidthPolicy()) : LayoutSizePolicyUnset;
        cross = crossPolicy == LayoutSizePolicyFree ? crossSize : crossOf(cur, horizontal);
    }
    const int crossMin = horizontal ? w->minimumHeight() : w->minimumWidth();
    const int crossMax = horizontal ? w->maximumHeight() : w->maximumWidth();
    const int cap = lowerToMax(qMax(crossSize, 0), crossMax);
    cross = qMin(clampTo(qMax(crossMin, 0), cap, cross), crossSize);

    if (horizontal)
        r = QRect(mainPos, crossPos, qMax(mainSize, 0), cross);
    else
        r = QRect(crossPos, mainPos, cross, qMax(mainSize, 0));
    storeBase(w, r);
    // Qt's own call: the framework's setGeometry would turn the child's ratio layout into an absolute one.
    const QSize before = w->size();
    w->QWidget::setGeometry(r);
    settleHidden(w, before);
}

void TEVQContainerImpl::layoutLinear(std::vector<Item>& items, bool horizontal)
{
    const int W = owner->width();
    const int H = owner->height();
    const int gap = qMax(space, 0);
    const int vbarW = visibleBarThickness(false);
    const int hbarH = visibleBarThickness(true);
    const int n = int(items.size());
    const int padMainStart = horizontal ? paddingLeft : paddingTop;
    const int padCrossStart = horizontal ? paddingTop : paddingLeft;
    const int mainExtent = horizontal ? W - vbarW - paddingLeft - paddingRight : H - hbarH - paddingTop - paddingBottom;
    const int crossSize =
        qMax(horizontal ? H - hbarH - paddingTop - paddingBottom : W - vbarW - paddingLeft - paddingRight, 0);
    // A bar bound along the main axis lets the row or column grow beyond the view.
    const bool overflow = horizontal ? bool(liveBar(true)) : bool(liveBar(false));

    auto minMain = [horizontal](QWidget* w) { return horizontal ? w->minimumWidth() : w->minimumHeight(); };
    auto maxMain = [horizontal](QWidget* w) { return horizontal ? w->maximumWidth() : w->maximumHeight(); };
    auto curMain = [horizontal](QWidget* w) { return horizontal ? w->width() : w->height(); };
    auto isFixed = [horizontal](const Item& it) {
        return it.iface &&
               (horizontal ? it.iface->getWidthPolicy() : it.iface->getHeightPolicy()) == LayoutSizePolicyFixed;
    };
    auto natural = [&](QWidget* w) {
        return lowerToMax(qMax(qMax(curMain(w), 0), minMain(w)), maxMain(w));
    };

    int avail = qMax(mainExtent - (n - 1) * gap, 0);
    if (overflow) {
        int sum = 0;
        for (const Item& it : items)
            sum += qMax(natural(it.w), 0);
        avail = qMax(avail, sum);
    }

    int fixedSum = 0;
    int flexCount = 0;
    int flexRatioSum = 0;
    for (const Item& it : items) {
        if (isFixed(it)) {
            if (horizontal) {
                const int cap = lowerToMax(avail, maxMain(it.w));
                fixedSum += clampTo(qMax(minMain(it.w), 0), cap, qMax(curMain(it.w), 0));
            } else {
                // A column adds the fixed children's heights as they are, without limits.
                fixedSum += qMax(curMain(it.w), 0);
            }
        } else {
            ++flexCount;
            flexRatioSum += it.ratio;
        }
    }
    int remaining = qMax(avail - fixedSum, 0);

    int pos = padMainStart;
    for (int i = 0; i < n; ++i) {
        const Item& it = items[size_t(i)];
        QWidget* w = it.w;
        const bool fixed = isFixed(it);
        int size;
        if (!fixed) {
            const bool whole = flexCount < 2 || flexRatioSum < 1 || (!horizontal && i == n - 1);
            const int s = whole ? remaining : share(remaining, it.ratio, flexRatioSum);
            const int cap = lowerToMax(qMax(avail, 0), maxMain(w));
            size = clampTo(qMax(minMain(w), 0), cap, s);
        } else if (overflow) {
            size = natural(w);
        } else {
            const int cap = lowerToMax(avail, maxMain(w));
            size = clampTo(qMax(minMain(w), 0), cap, qMax(curMain(w), 0));
        }
        size = qMax(size, 0);
        place(w, it.iface, pos, padCrossStart, size, crossSize, false, 0, horizontal);
        if (!fixed) {
            --flexCount;
            remaining = qMax(remaining - size, 0);
            flexRatioSum -= it.ratio;
        }
        avail -= size;
        if (!overflow)
            avail = qMax(avail, 0);
        pos += gap + size;
    }
}

void TEVQContainerImpl::layoutSpacers(std::vector<Item>& items, bool horizontal)
{
    const int W = owner->width();
    const int H = owner->height();
    const int gap = qMax(space, 0);
    const int vbarW = visibleBarThickness(false);
    const int hbarH = visibleBarThickness(true);
    const int n = int(items.size());
    const int padMainStart = horizontal ? paddingLeft : paddingTop;
    const int padCrossStart = horizontal ? paddingTop : paddingLeft;
    int avail = qMax((horizontal ? W - paddingRight - paddingLeft - vbarW : H - paddingBottom - paddingTop - hbarH) -
                         (n - 1) * gap,
                     0);
    const int crossSize =
        qMax(horizontal ? H - paddingBottom - paddingTop - hbarH : W - paddingRight - paddingLeft - vbarW, 0);

    auto minMain = [horizontal](QWidget* w) { return horizontal ? w->minimumWidth() : w->minimumHeight(); };
    auto maxMain = [horizontal](QWidget* w) { return horizontal ? w->maximumWidth() : w->maximumHeight(); };
    auto curMain = [horizontal](QWidget* w) { return horizontal ? w->width() : w->height(); };

    int used = 0;
    int spacerRatioSum = 0;
    for (Item& it : items) {
        if (it.spacer) {
            it.size = 0;
            spacerRatioSum += it.ratio;
            continue;
        }
        const int cap = lowerToMax(avail, maxMain(it.w));
        it.size = clampTo(qMax(minMain(it.w), 0), cap, qMax(qMax(curMain(it.w), 0), minMain(it.w)));
        used += it.size;
    }
    if (horizontal ? bool(liveBar(true)) : bool(liveBar(false)))
        avail = qMax(avail, used);
    int free = avail - used;

    if (free <= 0) {
        // Too little room: the non-spacers give up what they hold above their minimum, in proportion first.
        int overflowPx = -free;
        auto slackOf = [&](const Item& it) { return it.spacer ? 0 : qMax(it.size - minMain(it.w), 0); };
        int shrinkable = 0;
        for (const Item& it : items)
            shrinkable += slackOf(it);
        for (Item& it : items) {
            if (overflowPx < 1 || shrinkable < 1)
                break;
            const int slack = slackOf(it);
            if (slack <= 0)
                continue;
            const int cut = qMin(slack, share(overflowPx, slack, shrinkable));
            it.size -= cut;
            shrinkable -= slack;
            overflowPx -= cut;
        }
        for (Item& it : items) {
            if (overflowPx < 1)
                break;
            const int slack = slackOf(it); // what is left above the minimum
            if (slack <= 0)
                continue;
            const int cut = qMin(slack, overflowPx);
            it.size -= cut;
            overflowPx -= cut;
        }
    } else {
        for (Item& it : items) {
            if (!it.spacer)
                continue;
            const int s = spacerRatioSum > 0 ? share(free, it.ratio, spacerRatioSum) : free;
            const int cap = lowerToMax(free, maxMain(it.w));
            it.size = qMax(qMin(cap, 0), qMin(cap, s));
            free = qMax(free - it.size, 0);
            spacerRatioSum -= it.ratio;
        }
    }

    int pos = padMainStart;
    for (const Item& it : items) {
        const int cap = lowerToMax(qMax(avail, 0), maxMain(it.w));
        const int lower = it.spacer ? 0 : qMax(minMain(it.w), 0);
        const int size = qMax(clampTo(lower, cap, it.size), 0);
        place(it.w, it.iface, pos, padCrossStart, size, crossSize, it.spacer, it.thickness, horizontal);
        avail = qMax(avail - size, 0);
        pos += gap + size;
    }
}

void TEVQContainerImpl::layoutFloat(bool horizontal)
{
    const int gap = qMax(space, 0);
    const int limit = horizontal ? owner->width() - paddingRight : owner->height() - paddingBottom;
    const int start = horizontal ? paddingLeft : paddingTop;
    int mainPos = start;
    int crossPos = horizontal ? paddingTop : paddingLeft;
    int lineCross = 0;
    for (QWidget* w : childWidgets()) {
        // Bars and docked children have places of their own and take no slot in the flow.
        if (isBoundBar(w))
            continue;
        if (ITEVQWidgetBase* iface = tevWidgetInterface(w)) {
            if (iface->getAbsoluteLayout())
                continue;
        }
        const QSize s = w->size();
        const int m = mainOf(s, horizontal);
        if (mainPos > start && mainPos + m > limit) {
            mainPos = start;
            crossPos += gap + lineCross;
            lineCross = 0;
        }
        const QRect r = horizontal ? QRect(QPoint(mainPos, crossPos), s) : QRect(QPoint(crossPos, mainPos), s);
        storeBase(w, r);
        w->QWidget::setGeometry(r);
        mainPos += m + gap;
        lineCross = qMax(lineCross, crossOf(s, horizontal));
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
    std::vector<Item> items;
    d->collectItems(items);
    const int n = int(items.size());
    const int gap = qMax(d->space, 0);
    int w = 0;
    int h = 0;
    if (d->childLayout == 0 || d->childLayout == 1) {
        const bool horizontal = d->childLayout == 0;
        int sum = 0;
        int largest = 0;
        for (const Item& it : items) {
            const QSize p = preferredSize(it.w);
            sum += mainOf(p, horizontal);
            largest = qMax(largest, crossOf(p, horizontal));
        }
        if (n > 1)
            sum += (n - 1) * gap;
        w = horizontal ? sum : largest;
        h = horizontal ? largest : sum;
    } else {
        QRect united;
        for (const Item& it : items)
            united |= QRect(it.w->pos(), preferredSize(it.w));
        if (!united.isNull()) {
            w = qMax(united.right() + 1, 0);
            h = qMax(united.bottom() + 1, 0);
        }
    }
    return QSize(qMax(d->paddingLeft + w + d->paddingRight, 0), qMax(d->paddingTop + h + d->paddingBottom, 0));
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
        if (isBoundBar(w) || !w->isVisibleTo(owner))
            continue;
        const QRect r = baseGeometry(w);
        content = hasContent ? content.united(r) : r;
        hasContent = true;
    }

    const int viewW = qMax(owner->width(), 0);
    const int viewH = qMax(owner->height(), 0);
    const int barW = vb ? qMax(vb->sizeHint().width(), 0) : 0;
    const int barH = hb ? qMax(hb->sizeHint().height(), 0) : 0;

    bool needH = false;
    bool needV = false;
    for (int round = 0; round < 2; ++round) {
        const int availW = qMax(viewW - (needV ? barW : 0), 0);
        const int availH = qMax(viewH - (needH ? barH : 0), 0);
        const bool newH = hb && hasContent && content.right() + 1 > availW;
        const bool newV = vb && hasContent && content.bottom() + 1 > availH;
        if (newH == needH && newV == needV)
            break;
        needH = newH;
        needV = newV;
    }
    const int viewW2 = qMax(viewW - (needV ? barW : 0), 0);
    const int viewH2 = qMax(viewH - (needH ? barH : 0), 0);

    auto setBar = [&](QScrollBar* bar, bool needed, int range, int page, const QRect& geo, int& offset) {
        if (!bar) {
            offset = 0;
            return;
        }
        if (needed) {
            bar->setRange(0, qMax(range, 0));
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
            bar->setValue(0);
            offset = 0;
        }
    };
    setBar(hb, needH, hasContent ? content.right() + 1 - viewW2 : 0, viewW2, QRect(0, viewH - barH, viewW2, barH),
           scrollX);
    setBar(vb, needV, hasContent ? content.bottom() + 1 - viewH2 : 0, viewH2, QRect(viewW - barW, 0, barW, viewH2),
           scrollY);

    // The bars may have gone while their signals ran.
    hb = liveBar(true);
    vb = liveBar(false);
    const bool changed = (hb && hb->isVisibleTo(owner)) != hWasVisible || (vb && vb->isVisibleTo(owner)) != vWasVisible;
    scrollBusy = false;
    if (changed && childLayout != 4 && scrollRerunDepth < kMaxScrollReruns) {
        // The bars now take (or give back) room: lay out again. Bounded, so that a case where each bar's
        // appearance keeps flipping the other's need cannot recurse without end.
        ++scrollRerunDepth;
        doLayout();
        updateScroll();
        --scrollRerunDepth;
    } else {
        applyScrollOffset();
    }
}

void TEVQContainerImpl::applyScrollOffset()
{
    if (scrollBusy || !owner || (!liveBar(true) && !liveBar(false)))
        return;
    scrollBusy = true;
    for (QWidget* w : childWidgets()) {
        if (isBoundBar(w))
            continue;
        w->QWidget::setGeometry(baseGeometry(w).translated(-scrollX, -scrollY));
    }
    scrollBusy = false;
}

void TEVQContainerImpl::bindScrollBar(TEVQScrollBar* bar, bool horizontal)
{
    QPointer<QScrollBar>& slot = horizontal ? hBar : vBar;
    const QObject*& slotId = horizontal ? hBarId : vBarId;
    QScrollBar* newBar = bar;
    if (newBar != slotId) {
        if (QScrollBar* old = liveBar(horizontal)) {
            old->setProperty(kBoundBar, false);
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
            newBar->setProperty(kBoundBar, true);
            newBar->installEventFilter(owner);
            connect(newBar, &QScrollBar::valueChanged, this, [this, horizontal](int value) {
                if (scrollBusy)
                    return;
                (horizontal ? scrollX : scrollY) = value;
                applyScrollOffset();
            });
        } else {
            (horizontal ? scrollX : scrollY) = 0;
        }
    }
    updateScroll();
}

void TEVQContainerImpl::setScrollPos(bool horizontal, int pos)
{
    if (QScrollBar* bar = liveBar(horizontal)) {
        bar->setValue(qBound(bar->minimum(), pos, bar->maximum()));
        return;
    }
    (horizontal ? scrollX : scrollY) = qMax(pos, 0);
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
    animation->setDuration(durationMs);
    animation->setStartValue(a);
    animation->setEndValue(b);
    animation->setEasingCurve(QEasingCurve::OutCubic);
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
