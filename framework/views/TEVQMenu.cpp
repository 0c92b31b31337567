#include "TEVQMenu.h"

#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVViewCommon.h"

#include <QAction>
#include <QActionEvent>
#include <QDynamicPropertyChangeEvent>
#include <QHideEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

using namespace TEVQtLib;

namespace {


// Fill style key of the menu document, when the theme knows its name.
bool readFill(const Json::Value& root, const char* key, FillStyle& out)
{
    std::string name;
    if (!json::read(root, key, name))
        return false;
    FillStyle style;
    if (!TEVStyleEntries::findFillStyle(name, style))
        return false;
    out = style;
    return true;
}

bool readText(const Json::Value& root, const char* key, TextStyleDesc& out)
{
    std::string name;
    if (!json::read(root, key, name))
        return false;
    TextStyleDesc style;
    if (!TEVStyleEntries::findTextStyle(name, style))
        return false;
    out = style;
    return true;
}

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQMenuImpl::TEVQMenuImpl(TEVQMenu* ownerMenu) : TEVQWidgetBaseImpl(ownerMenu, TEVQMenu::typeName()) {}

TEVQMenuImpl::~TEVQMenuImpl() = default;

TEVQMenu* TEVQMenuImpl::menu() const { return static_cast<TEVQMenu*>(owner); }

void TEVQMenuImpl::draw(QPainter* painter, const QRect& rect)
{
    TEVQMenu* m = menu();
    if (!m)
        return;
    drawFillStyle(painter, background, rect);
    IconStyleDesc iconStyle; // centred, no offset, no tint
    const QList<QAction*> actions = m->actions();
    if (!itemsValid || items.size() != size_t(actions.size())) {
        std::vector<Item> fresh(size_t(actions.size()));
        for (int i = 0; i < actions.size(); ++i)
            fresh[size_t(i)].iconPath = actions.at(i)->property(TEVQMenu::iconPathProperty()).toString();
        items.swap(fresh);
        itemsValid = true;
    }
    for (int i = 0; i < actions.size(); ++i) {
        QAction* action = actions.at(i);
        Item& item = items[size_t(i)];
        const QRect r = m->actionGeometry(action);
        QRect textRect = r;
        if (iconOffset != 0) {
            textRect.setLeft(textRect.left() + iconOffset + 4);
            QRect iconRect = r;
            iconRect.setWidth(iconOffset);
            if (!item.iconPath.isEmpty())
                icons.draw(painter, item.iconPath, iconStyle, iconRect, false);
            else if (!action->icon().isNull())
                drawIcon(painter, action->icon(), QSize(16, 16), iconStyle, iconRect);
        }
        const int s = (i == hoverIndex && !action->isSeparator()) ? 1 : 0;
        drawFillStyle(painter, itemBackground[s], r);
        const TextStyleDesc& textStyle = itemTextStyle[s];
        item.text.draw(painter, action->text(), textStyle, textRect, textStyle.isHor);
        if (action->menu()) {
            const int right = r.left() + r.width() - 1;
            const int top = r.top();
            const int half = r.height() / 2;
            QPainterPath triangle;
            triangle.moveTo(right - 2, top + half);
            triangle.lineTo(right - 7, top - 5 + half);
            triangle.lineTo(right - 7, top + 5 + half);
            triangle.closeSubpath();
            painter->fillPath(triangle, QBrush(QColor(0xCC, 0xCC, 0xCC, 0xFF)));
        }
    }
}

bool TEVQMenuImpl::serializeJsonValue(Json::Value*& json, bool /*load*/)
{
    if (!json)
        return true;
    icons.clear(); // the styles are read again: so are the pictures
    const Json::Value& root = *json;
    if (json::has(root, "background")) {
        readFill(root, "background", background);
        if (readFill(root, "item0", itemBackground[0])) {
            for (int s = 1; s < 4; ++s)
                itemBackground[s] = itemBackground[0];
        }
        readFill(root, "item1", itemBackground[1]);
        readFill(root, "item2", itemBackground[2]);
        readFill(root, "item3", itemBackground[3]);
        if (readText(root, "text0", itemTextStyle[0])) {
            for (int s = 1; s < 4; ++s)
                itemTextStyle[s] = itemTextStyle[0];
        }
        readText(root, "text1", itemTextStyle[1]);
        readText(root, "text2", itemTextStyle[2]);
        readText(root, "text3", itemTextStyle[3]);
        passStylesToSubmenus();
    }
    if (TEVQMenu* m = menu())
        addItems(m, json::get(root, "items"));
    return true;
}

void TEVQMenuImpl::addItems(TEVQMenu* target, const Json::Value& items)
{
    TEVQMenuImpl* from = target ? target->painter() : nullptr;
    if (!from)
        return;
    const Json::ArrayIndex n = json::size(items);
    for (Json::ArrayIndex i = 0; i < n; ++i) {
        const Json::Value& entry = json::at(items, i);
        if (!json::isObject(entry))
            continue; // an entry must be an object
        const QString text = json::getQString(entry, "text");
        QString icon;
        const bool hasIcon = json::read(entry, "icon", icon);
        if (!json::has(entry, "items")) {
            if (hasIcon)
                target->addIconAction(icon, text);
            else
                target->addAction(text);
            continue;
        }
        TEVQMenu* sub = new TEVQMenu(target);
        sub->setTitle(text);
        // Styled as its menu from now on, not by a theme element of its own.
        sub->painter()->setThemeNameValue(QString());
        from->stylesFollowers.push_back(sub);
        from->passStylesToSubmenus();
        QAction* action = target->addMenu(sub);
        if (hasIcon && action)
            action->setProperty(TEVQMenu::iconPathProperty(), icon);
        addItems(sub, json::get(entry, "items"));
    }
}

void TEVQMenuImpl::passStylesToSubmenus()
{
    stylesFollowers.erase(std::remove(stylesFollowers.begin(), stylesFollowers.end(), nullptr), stylesFollowers.end());
    for (const QPointer<TEVQMenu>& sub : stylesFollowers) {
        TEVQMenuImpl* to = sub->painter();
        if (!to)
            continue;
        to->background = background;
        for (int s = 0; s < 4; ++s) {
            to->itemBackground[s] = itemBackground[s];
            to->itemTextStyle[s] = itemTextStyle[s];
        }
        to->passStylesToSubmenus();
        sub->update();
    }
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQMenu::TEVQMenu(QWidget* parent) : QMenu(parent) { init(true); }

TEVQMenu::TEVQMenu(const QString& title, QWidget* parent) : QMenu(title, parent) { init(false); }

TEVQMenu::~TEVQMenu() = default;

void TEVQMenu::init(bool popupLook)
{
    tevSetImpl(new TEVQMenuImpl(this), false);
    if (popupLook) {
        setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
        setAttribute(Qt::WA_TranslucentBackground);
        painter()->applyTheme();
    }
    // Keyboard navigation moves Qt's active action without a mouse move: the hot item follows it too, so the
    // item the keys reach is the one painted hot.
    connect(this, &QMenu::hovered, this, [this](QAction* action) { setHoverIndex(actions().indexOf(action)); });
}

QAction* TEVQMenu::addIconAction(const QString& iconPath, const QString& text)
{
    QAction* action = addAction(text);
    if (!iconPath.isEmpty()) {
        action->setProperty(iconPathProperty(), iconPath);
        if (!iconPath.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
            action->setIcon(QIcon(iconPath));
    }
    return action;
}

void TEVQMenu::setBackground(const FillStyle& style) { painter()->background = style; }

void TEVQMenu::setItemStyle(CtrlState state, const FillStyle& style)
{
    if (tevValidState(state))
        painter()->itemBackground[state] = style;
}

void TEVQMenu::setItemTextStyle(CtrlState state, const TextStyleDesc& style)
{
    if (tevValidState(state))
        painter()->itemTextStyle[state] = style;
}

// A column no wider than a widget can be (and none for a negative width), so the item and size arithmetic holds.
void TEVQMenu::setIconOffset(int offset) { painter()->iconOffset = qBound(0, offset, QWIDGETSIZE_MAX); }

const FillStyle& TEVQMenu::getBackground() const { return painter()->background; }

const FillStyle& TEVQMenu::getItemStyle(CtrlState state) const
{
    return painter()->itemBackground[tevSafeState(state)];
}

const TextStyleDesc& TEVQMenu::getItemTextStyle(CtrlState state) const
{
    return painter()->itemTextStyle[tevSafeState(state)];
}

int TEVQMenu::getIconOffset() const { return painter()->iconOffset; }

int TEVQMenu::getHoverIndex() const { return painter()->hoverIndex; }

QSize TEVQMenu::sizeHint() const
{
    QSize size = QMenu::sizeHint();
    size.rwidth() += painter()->iconOffset;
    return size;
}

void TEVQMenu::setHoverIndex(int index)
{
    if (index < 0)
        return;
    painter()->hoverAction = actions().value(index);
    if (index == painter()->hoverIndex)
        return;
    painter()->hoverIndex = index;
    update();
}

void TEVQMenu::mouseMoveEvent(QMouseEvent* event)
{
    QPointer<QWidget> alive(this);
    QMenu::mouseMoveEvent(event);
    if (!alive)
        return;
    const QList<QAction*> items = actions();
    for (int i = 0; i < items.size(); ++i) {
        if (actionGeometry(items.at(i)).contains(event->pos())) {
            setHoverIndex(i);
            return;
        }
    }
}

void TEVQMenu::enterEvent(QEvent* event) { QMenu::enterEvent(event); }

void TEVQMenu::leaveEvent(QEvent* event) { QMenu::leaveEvent(event); }

void TEVQMenu::paintEvent(QPaintEvent* event) { tevForwardPaint(event); }

void TEVQMenu::actionEvent(QActionEvent* event)
{
    QAction* action = event->action();
    if (event->type() == QEvent::ActionAdded && action)
        action->installEventFilter(this);
    else if (event->type() == QEvent::ActionRemoved && action)
        action->removeEventFilter(this);
    TEVQMenuImpl* impl = painter();
    if (impl)
        impl->dropItems();
    QMenu::actionEvent(event);
    // The hot item stays on its action, wherever that moved; an action removed (or being deleted) takes it along.
    if (impl && event->type() != QEvent::ActionChanged &&
        tevFollowAction(impl->hoverIndex, impl->hoverAction, actions()))
        update();
}

bool TEVQMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DynamicPropertyChange
        && static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName() == iconPathProperty() && painter()) {
        painter()->dropItems();
        update();
    }
    return QMenu::eventFilter(watched, event);
}

void TEVQMenu::hideEvent(QHideEvent* event)
{
    QMenu::hideEvent(event);
    painter()->hoverIndex = -1;
    painter()->hoverAction = nullptr;
}
