#include "TEVQTabWidget.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"

#include <QMouseEvent>
#include <QPainter>

#include <json/json.h>

#include <climits>

using namespace TEVQtLib;

namespace {

constexpr int kDefaultItemSize = 50;


// Coordinates and extents kept to half the int range, so that a rectangle's far edge never overflows.
int clampToInt(qint64 v) { return int(qBound<qint64>(-(INT_MAX / 2), v, INT_MAX / 2)); }

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQTabWidgetImpl::TEVQTabWidgetImpl(TEVQTabWidget* owner)
    : TEVQWidgetBaseImpl(owner, QString::fromLatin1(TEVQTabWidget::typeName()))
{
}

TEVQTabWidgetImpl::~TEVQTabWidgetImpl() = default;

QRect TEVQTabWidgetImpl::itemRect(int i, const QSize& size) const
{
    // In 64 bits: large sizes and indices must not overflow.
    const qint64 start = qint64(i) * (qint64(itemSize) + qint64(itemSpace));
    const int extent = clampToInt(itemSize);
    if (isHor)
        return QRect(clampToInt(start), 0, extent, size.height());
    return QRect(0, clampToInt(start), size.width(), extent);
}

int TEVQTabWidgetImpl::hitTest(const QPoint& pos, const QSize& size) const
{
    for (int i = 0; i < items.size(); ++i) {
        if (itemRect(i, size).contains(pos))
            return i;
    }
    return -1;
}

void TEVQTabWidgetImpl::draw(QPainter* painter, const QRect& rect)
{
    if (!painter)
        return;
    drawFillStyle(painter, background, rect);
    if (m_textCaches.size() != size_t(items.size()))
        m_textCaches.resize(size_t(items.size()));
    for (int i = 0; i < items.size(); ++i) {
        const QRect r = itemRect(i, rect.size());
        if (!r.intersects(rect))
            continue;
        const TabItem& item = items.at(i);
        const bool selected = i == selectedIndex;
        const int s = selected ? CtrlStatePressed : (i == hoverIndex ? CtrlStateHot : CtrlStateNormal);
        drawFillStyle(painter, itemBackground[s], r);
        if (showText) {
            const TextStyleDesc& style = itemTextStyle[s];
            m_textCaches[size_t(i)][size_t(s)].draw(painter, item.text, style, r, style.isHor);
        }
        if (showIcon)
            m_icons.draw(painter, selected ? item.selectedIcon : item.icon, iconStyle, r, false);
    }
}

void TEVQTabWidgetImpl::createComplete()
{
    TEVQWidgetBaseImpl::createComplete();
    if (!tevIsQtEmulator() || !owner)
        return;
    for (const char* text : {"item1", "item2", "item3"})
        items.append(TabItem{QString(), QString(), QString::fromLatin1(text), QVariant()});
}

bool TEVQTabWidgetImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (!TEVQWidgetBaseImpl::serializeJsonValue(json, load) || !json)
        return false;
    Json::Value& element = *json;
    TEVStyleEntries styles;
    styles.fill(0, background);
    styles.fillGroup(1, itemBackground);
    styles.textGroup(5, itemTextStyle);
    if (load) {
        styles.read(element);
        if (const Json::Value* attrs = json::find(element, "attr")) {
            json::read(*attrs, "itemSize", itemSize);
            // A missing "isHor" counts as a horizontal strip in a page element. A theme element, read again at
            // every theme change, turns the strip only with an "isHor" of its own.
            if (json::has(*attrs, "isHor") || !TEVQResourceManager::getInstance()->isLoadFromThemeRes())
                isHor = json::getBool(*attrs, "isHor", true);
            json::read(*attrs, "itemSpace", itemSpace);
            json::read(*attrs, "showText", showText);
            json::read(*attrs, "hasIcon", showIcon);
        }
        return true;
    }
    element.removeMember("style");
    styles.write(element);
    if (!json::has(element, "style"))
        element["style"] = Json::Value(Json::nullValue);
    Json::Value& attrs = lookedUpAttrs(element, {"itemSize", "isHor", "itemSpace", "showText", "hasIcon"});
    if (itemSize != kDefaultItemSize)
        json::member(attrs, "itemSize") = itemSize;
    if (!isHor)
        json::member(attrs, "isHor") = 0;
    if (itemSpace != 0)
        json::member(attrs, "itemSpace") = itemSpace;
    if (!showText)
        json::member(attrs, "showText") = 0;
    if (!showIcon)
        json::member(attrs, "hasIcon") = 0;
    return true;
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQTabWidget::TEVQTabWidget(QWidget* parent) : QWidget(parent)
{
    tevSetImpl(new TEVQTabWidgetImpl(this));
    setAttribute(Qt::WA_MouseTracking, true);
}

TEVQTabWidget::~TEVQTabWidget() = default;

ControlInfo TEVQTabWidget::getProps()
{
    using W = TEVQTabWidget;
    ControlInfo info = tevControlInfo(typeName(), "TabWidget", "Control TabWidget", "TEVQTabWidget", "tab");
    // One background whatever the state.
    info.props.append(tevFillStyleRow<W>(
        QStringLiteral("Background"), [](W* t, int, const FillStyle& s) { t->setBackground(s); },
        [](W* t, int) { return t->getBackground(); }, {QStringLiteral("Normal"), QStringLiteral("Disable")}));
    info.props.append(tevFillStyleRow<W>(QStringLiteral("ItemBg"), &W::setItemBackground, &W::getItemBackground));
    info.props.append(tevTextStyleRow<W>(QStringLiteral("TextStyle"), &W::setItemTextStyle, &W::getItemTextStyle));
    info.props.append(tevBoolRow<W>(QStringLiteral("IsHorizontal"), &W::setIsHor, &W::getIsHor));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemSize"), &W::setItemSize, &W::getItemSize));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemSpace"), &W::setItemSpace, &W::getItemSpace));
    info.props.append(tevBoolRow<W>(QStringLiteral("ShowText"), &W::setShowText, &W::getShowText));
    info.props.append(tevBoolRow<W>(QStringLiteral("ShowIcon"), &W::setShowIcon, &W::getShowIcon));
    return info;
}

void TEVQTabWidget::addTab(const QString& text, const QString& icon, const QString& selectedIcon)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d)
        return;
    d->items.append(TabItem{icon, selectedIcon.isEmpty() ? icon : selectedIcon, text, QVariant()});
    // A strip that was emptied selects none; its first tab again becomes the current one, and those following
    // the selection hear of it (a new strip's first tab is selected from the start).
    if (d->items.size() == 1 && d->selectedIndex != 0) {
        d->selectedIndex = 0;
        emit currentChanged(0);
    }
}

void TEVQTabWidget::removeTab(int i)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d || i < 0 || i >= d->items.size())
        return;
    d->items.removeAt(i);
    // The hover is the resting pointer's: the tabs after the removed one move up under it, so a hot tab there
    // becomes the one now under the pointer (none where no tab lies there any more).
    if (d->hoverIndex >= i)
        d->hoverIndex = d->hitTest(d->pointerPos, size());
    update();
    const int selected = d->selectedIndex;
    if (selected < i || selected > d->items.size())
        return; // before the removed tab, or no tab at all
    d->selectedIndex = selected > i ? selected - 1 : (d->items.isEmpty() ? -1 : qMin(i, d->items.size() - 1));
    emit currentChanged(d->selectedIndex);
}

void TEVQTabWidget::clear()
{
    TEVQTabWidgetImpl* d = painter();
    if (!d)
        return;
    // As after removing the tabs one by one: no tab selected or hovered, and the selection's end reported.
    const bool wasSelecting = d->selectedIndex != -1;
    d->items.clear();
    d->hoverIndex = -1;
    d->selectedIndex = -1;
    update();
    if (wasSelecting)
        emit currentChanged(-1);
}

void TEVQTabWidget::removeAllTab() { clear(); }

int TEVQTabWidget::getTabCount() const { return painter() ? painter()->items.size() : 0; }

QString TEVQTabWidget::getTabText(int i) const
{
    const TEVQTabWidgetImpl* d = painter();
    return (d && i >= 0 && i < d->items.size()) ? d->items.at(i).text : QString();
}

QVariant TEVQTabWidget::getItemData(int i) const
{
    const TEVQTabWidgetImpl* d = painter();
    return (d && i >= 0 && i < d->items.size()) ? d->items.at(i).data : QVariant();
}

bool TEVQTabWidget::setItemData(int i, const QVariant& v)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d || i < 0 || i >= d->items.size())
        return false;
    d->items[i].data = v;
    return true;
}

void TEVQTabWidget::setSelectedIndex(int i)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d)
        return;
    if (i < 0)
        i = -1;
    if (i >= d->items.size() || i == d->selectedIndex)
        return;
    d->selectedIndex = i;
    update();
    emit currentChanged(i);
}

int TEVQTabWidget::getSelectedIndex() const { return painter() ? painter()->selectedIndex : -1; }

void TEVQTabWidget::setIsHor(bool hor)
{
    if (TEVQTabWidgetImpl* d = painter())
        d->isHor = hor;
}

bool TEVQTabWidget::getIsHor() const { return painter() ? painter()->isHor : true; }

void TEVQTabWidget::setItemSize(int size)
{
    if (TEVQTabWidgetImpl* d = painter())
        d->itemSize = size;
}

int TEVQTabWidget::getItemSize() const { return painter() ? painter()->itemSize : kDefaultItemSize; }

void TEVQTabWidget::setItemSpace(int space)
{
    if (TEVQTabWidgetImpl* d = painter())
        d->itemSpace = space;
}

int TEVQTabWidget::getItemSpace() const { return painter() ? painter()->itemSpace : 0; }

void TEVQTabWidget::setShowText(bool show)
{
    if (TEVQTabWidgetImpl* d = painter())
        d->showText = show;
}

bool TEVQTabWidget::getShowText() const { return painter() ? painter()->showText : true; }

void TEVQTabWidget::setShowIcon(bool show)
{
    if (TEVQTabWidgetImpl* d = painter())
        d->showIcon = show;
}

bool TEVQTabWidget::getShowIcon() const { return painter() ? painter()->showIcon : true; }

void TEVQTabWidget::setBackground(const FillStyle& style)
{
    if (TEVQTabWidgetImpl* d = painter())
        d->background = style;
}

const FillStyle& TEVQTabWidget::getBackground() const
{
    static const FillStyle none;
    return painter() ? painter()->background : none;
}

void TEVQTabWidget::setItemBackground(CtrlState state, const FillStyle& style)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d || state < 0 || state > 4)
        return;
    for (int s = 0; s < 4; ++s) {
        if (state == 4 || s == state)
            d->itemBackground[s] = style;
    }
}

const FillStyle& TEVQTabWidget::getItemBackground(CtrlState state) const
{
    static const FillStyle none;
    return painter() ? painter()->itemBackground[tevSafeState(state)] : none;
}

void TEVQTabWidget::setItemTextStyle(CtrlState state, const TextStyleDesc& style)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d || state < 0 || state > 4)
        return;
    for (int s = 0; s < 4; ++s) {
        if (state == 4 || s == state)
            d->itemTextStyle[s] = style;
    }
}

const TextStyleDesc& TEVQTabWidget::getItemTextStyle(CtrlState state) const
{
    static const TextStyleDesc none;
    return painter() ? painter()->itemTextStyle[tevSafeState(state)] : none;
}

void TEVQTabWidget::initDemoData()
{
    if (TEVQTabWidgetImpl* d = painter())
        d->createComplete();
}

// ---- events --------------------------------------------------------------------------------------------------

void TEVQTabWidget::paintEvent(QPaintEvent* e) { tevForwardPaint(e); }

void TEVQTabWidget::mouseMoveEvent(QMouseEvent* e)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d)
        return;
    d->pointerPos = e->pos();
    // A gap or the space past the last tab keeps the last tab highlighted.
    const int hit = d->hitTest(e->pos(), size());
    if (hit < 0 || hit == d->hoverIndex)
        return;
    d->hoverIndex = hit;
    repaint();
}

void TEVQTabWidget::leaveEvent(QEvent*)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d || d->hoverIndex == -1)
        return;
    d->hoverIndex = -1;
    repaint();
}

void TEVQTabWidget::mousePressEvent(QMouseEvent* e)
{
    TEVQTabWidgetImpl* d = painter();
    if (!d)
        return;
    const int hit = d->hitTest(e->pos(), size());
    if (hit < 0)
        return;
    // Reported on every press, also on the tab already selected.
    d->selectedIndex = hit;
    update();
    emit currentChanged(hit);
}

void TEVQTabWidget::mouseReleaseEvent(QMouseEvent*) {}
