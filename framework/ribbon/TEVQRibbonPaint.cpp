// The ribbon's look and mouse behaviour: the palette and who receives which entry, the paint routines of the
// bar, groups, separators, buttons and menus, and the press, release and click rules of ribbon buttons.
#include "TEVQRibbonBar.h"
#include "TEVQRibbonLayout.h"

#include <QDynamicPropertyChangeEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using namespace TEVQtLib;

namespace {

FillStyle colourFill(const QColor& fill, const QColor& border, int radius)
{
    FillStyle s;
    s.fillRes.fillColor = fill;
    s.fillRes.radius = radius;
    if (border.isValid()) {
        s.fillRes.borderColor = border;
        s.fillRes.drawBorder = true;
        s.fillRes.borderSize = 1;
    } else {
        s.fillRes.drawBorder = false;
        s.fillRes.borderSize = 0;
    }
    return s;
}

TextStyleDesc centredText(const QColor& colour, int pixelSize)
{
    TextStyleDesc t;
    t.color = colour;
    t.pixelSize = pixelSize;
    t.horAlign = 1;
    t.verAlign = 1;
    return t;
}

const char kContextColorProperty[] = "tevRibbonContextColor";

} // namespace

namespace TEVQtLib {

// ---- palette -------------------------------------------------------------------------------------------------

TEVQRibbonBarImpl::TEVQRibbonBarImpl(TEVQRibbonBar* owner) : TEVQWidgetBaseImpl(owner, TEVQRibbonBar::typeName())
{
    const QColor none;
    barBackground = colourFill(QColor(246, 248, 251), QColor(194, 202, 214), 0);
    rowBackground = colourFill(QColor(246, 248, 251), none, 0);
    pageAreaBackground = colourFill(QColor(255, 255, 255), QColor(207, 214, 224), 0);
    groupBackground = colourFill(QColor(250, 252, 255), QColor(215, 221, 231), 4);
    accentBackground = colourFill(QColor(229, 238, 255), QColor(89, 132, 208), 3);
    galleryBackground = colourFill(QColor(255, 255, 255), QColor(207, 214, 224), 3);
    tabBackgrounds[0] = colourFill(QColor(238, 242, 248), none, 0);
    tabBackgrounds[1] = colourFill(QColor(226, 238, 252), QColor(144, 183, 225), 3);
    tabBackgrounds[2] = colourFill(QColor(255, 255, 255), QColor(128, 171, 220), 3);
    tabBackgrounds[3] = colourFill(QColor(238, 242, 248), none, 0);
    buttonBackgrounds[0] = colourFill(QColor(255, 255, 255), QColor(210, 216, 225), 3);
    buttonBackgrounds[1] = colourFill(QColor(232, 242, 255), QColor(129, 174, 226), 3);
    buttonBackgrounds[2] = colourFill(QColor(204, 226, 252), QColor(89, 143, 208), 3);
    buttonBackgrounds[3] = colourFill(QColor(238, 238, 238), QColor(220, 220, 220), 3);
    tabTextStyle = centredText(QColor(30, 40, 54), 12);
    groupTitleTextStyle = centredText(QColor(91, 103, 119), 11);
    buttonTextStyle = centredText(QColor(40, 48, 60), 11);
}

TEVQRibbonBarImpl::~TEVQRibbonBarImpl() = default;

TEVQRibbonBar* TEVQRibbonBarImpl::bar() const { return qobject_cast<TEVQRibbonBar*>(getOwner()); }

void TEVQRibbonBarImpl::notifyChangeLanguage()
{
    applyRibbonStyle();
    if (TEVQRibbonBar* b = bar())
        b->updateLayout();
}

void TEVQRibbonBarImpl::styleButton(TEVQPushButton* button, bool tab) const
{
    if (!button)
        return;
    const FillStyle* fills = tab ? tabBackgrounds : buttonBackgrounds;
    const TextStyleDesc& text = tab ? tabTextStyle : buttonTextStyle;
    for (int s = 0; s < 4; ++s) {
        const CtrlState state = CtrlState(s);
        button->setUseFillStyle(state, true);
        button->setBackground(state, fills[s]);
        button->setTextStyle(state, text);
    }
    button->update();
}

void TEVQRibbonBarImpl::applyRibbonStyle()
{
    TEVQRibbonBar* b = bar();
    if (!b || !b->topRow || !b->pageArea)
        return;
    b->topRow->setBackground(rowBackground);
    b->tabRow->setBackground(rowBackground);
    b->pageArea->setBackground(pageAreaBackground);
    styleButton(b->m_applicationButton, false);
    styleButton(b->tabScrollLeft, false);
    styleButton(b->tabScrollRight, false);
    for (TEVQRibbonButton* tab : b->m_tabButtons)
        styleButton(tab, true);
    // The page area may sit in the minimized pop-up, which is not below the bar.
    QList<TEVQRibbonButton*> buttons = b->findChildren<TEVQRibbonButton*>();
    QList<TEVQRibbonGallery*> galleries = b->findChildren<TEVQRibbonGallery*>();
    if (b->pageArea->parentWidget() != b) {
        buttons += b->pageArea->findChildren<TEVQRibbonButton*>();
        galleries += b->pageArea->findChildren<TEVQRibbonGallery*>();
    }
    for (TEVQRibbonButton* button : buttons) {
        if (button == b->m_applicationButton || button == b->tabScrollLeft || button == b->tabScrollRight
            || std::find(b->m_tabButtons.begin(), b->m_tabButtons.end(), button) != b->m_tabButtons.end())
            continue;
        styleButton(button, false);
    }
    for (TEVQRibbonGallery* g : galleries)
        g->setBackground(galleryBackground);
    b->update();
}

// ---- button --------------------------------------------------------------------------------------------------

TEVQRibbonButton::TEVQRibbonButton(QWidget* parent, QAction* action, TEV_RIBBON_ITEM_SIZE size)
    : TEVQPushButton(parent), m_itemSize(size)
{
    detail::ribbonOwnLook(this);
    setMouseTracking(true);
    setFadeEnabled(false);
    connect(this, &QPushButton::clicked, this, &TEVQRibbonButton::onClicked);
    if (action)
        setRibbonAction(action);
}

void TEVQRibbonButton::setItemSize(TEV_RIBBON_ITEM_SIZE size)
{
    m_itemSize = size;
    updateGeometry();
    update();
}

void TEVQRibbonButton::setPopupMode(TEV_RIBBON_POPUP_MODE mode)
{
    m_popupMode = mode;
    update();
}

void TEVQRibbonButton::setPopupMenu(TEVQRibbonMenu* menu)
{
    m_popupMenu = menu;
    if (menu && !menu->parent())
        menu->setParent(this, menu->windowFlags());
    update();
}

TEVQRibbonMenu* TEVQRibbonButton::popupMenu() const { return m_popupMenu.data(); }

void TEVQRibbonButton::setRibbonAction(QAction* action)
{
    if (m_action)
        disconnect(m_action, nullptr, this, nullptr);
    m_action = action;
    if (action)
        connect(action, &QAction::changed, this, &TEVQRibbonButton::syncFromAction);
    syncFromAction();
}

void TEVQRibbonButton::setRibbonIcon(const QString& path)
{
    m_ribbonIcon = path;
    m_ribbonIconImage = path.isEmpty() ? QIcon() : QIcon(path);
    setIcon(path);
    update();
}

void TEVQRibbonButton::syncFromAction()
{
    QAction* a = m_action.data();
    if (!a)
        return;
    setText(a->text());
    setToolTip(a->toolTip());
    setEnabled(a->isEnabled());
    setCheckable(a->isCheckable());
    {
        const QSignalBlocker block(this);
        setChecked(a->isChecked());
    }
    m_ribbonIcon = a->property("tevRibbonIconPath").toString();
    m_ribbonIconImage = m_ribbonIcon.isEmpty() ? QIcon() : QIcon(m_ribbonIcon);
    if (m_ribbonIcon.isEmpty()) {
        if (!a->icon().isNull())
            setIcon(a->icon());
    } else {
        setIcon(m_ribbonIcon);
    }
    update();
}

QRect TEVQRibbonButton::popupIndicatorRect() const
{
    if (m_popupMode == TEV_RIBBON_POPUP_NONE || !m_popupMenu)
        return QRect();
    const int w = width(), h = height();
    if (m_itemSize == TEV_RIBBON_ITEM_LARGE)
        return QRect(0, qMax(h - 20, 0), w, qMin(h, 20));
    return QRect(qMax(w - 17, 0), 0, qMin(w, 17), h);
}

QSize TEVQRibbonButton::sizeHint() const
{
    const QString t = text();
    if (m_hintTextWidth < 0 || t != m_hintText || font() != m_hintFont) {
        m_hintText = t;
        m_hintFont = font();
        m_hintTextWidth = fontMetrics().horizontalAdvance(t);
    }
    return ribbonlayout::buttonHint(int(m_itemSize), m_hintTextWidth);
}

bool TEVQRibbonButton::event(QEvent* e)
{
    if (e->type() == QEvent::DynamicPropertyChange
        && static_cast<QDynamicPropertyChangeEvent*>(e)->propertyName() == kContextColorProperty) {
        const QVariant v = property(kContextColorProperty);
        m_contextColor = v.canConvert<QColor>() ? v.value<QColor>() : QColor();
        update();
    }
    return TEVQPushButton::event(e);
}

void TEVQRibbonButton::mousePressEvent(QMouseEvent* event)
{
    menuOpenedByPress = false;
    const bool opens = m_popupMenu
                       && (m_popupMode == TEV_RIBBON_POPUP_INSTANT
                           || (m_popupMode == TEV_RIBBON_POPUP_SPLIT && popupIndicatorRect().contains(event->pos())));
    if (opens) {
        menuOpenedByPress = true;
        event->accept();
        showPopupMenu();
        return;
    }
    TEVQPushButton::mousePressEvent(event);
}

void TEVQRibbonButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (menuOpenedByPress) {
        menuOpenedByPress = false;
        event->accept();
        return;
    }
    TEVQPushButton::mouseReleaseEvent(event);
}

void TEVQRibbonButton::onClicked()
{
    // A press opens an instant menu and takes its release, so no mouse click reaches here in that mode: a click
    // then comes from the keyboard (Space on the focused button) or click(), and opens the menu as the press would.
    if (m_popupMode == TEV_RIBBON_POPUP_INSTANT) {
        const QPointer<TEVQRibbonButton> alive(this);
        showPopupMenu();
        if (alive)
            syncFromAction(); // the click toggled a checkable button: it shows its action's state again
        return;
    }
    QAction* a = m_action.data();
    if (!a)
        return;
    // The trigger may lead to this button's deletion (a listener rebuilding the ribbon): it only is deferred.
    QPointer<TEVQRibbonButton> alive(this);
    a->activate(QAction::Trigger);
    if (alive)
        syncFromAction();
}

void TEVQRibbonButton::showPopupMenu()
{
    if (!m_popupMenu)
        return;
    // A listener may delete the button, and its menu with it.
    const QPointer<TEVQRibbonButton> alive(this);
    emit menuAboutToShow();
    if (alive && m_popupMenu)
        m_popupMenu->popup(mapToGlobal(QPoint(0, height())));
}

void TEVQRibbonButton::paintEvent(QPaintEvent*)
{
    TEVQPushButtonImpl* p = painter();
    if (!p)
        return;
    int state = 0;
    if (!isEnabled())
        state = 3;
    else if (isDown() || isChecked())
        state = 2;
    else if (underMouse())
        state = 1;
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    const int w = width(), h = height();
    p->fillCaches[state].draw(&g, p->backgrounds[state], 0, 0, w, h);
    if (m_contextColor.isValid())
        g.fillRect(QRect(2, 0, qMax(w - 4, 0), 3), m_contextColor);

    const QRect indicator = popupIndicatorRect();
    const bool hasIcon = !m_ribbonIconImage.isNull() || (m_action && !m_action->icon().isNull());
    QRect iconRect, textRect;
    if (m_itemSize == TEV_RIBBON_ITEM_LARGE) {
        iconRect = QRect(8, 5, qMax(w - 16, 16), qMax(h - 31, 18));
        textRect = QRect(4, h - 27, w - 8, 23);
    } else {
        int y = (h - 18) / 2;
        if (y < 3)
            y = 2;
        iconRect = QRect(5, y, 18, 18);
        if (hasIcon) {
            textRect = QRect(27, 0, qMax(indicator.isValid() ? w - 48 : w - 31, 0), h);
        } else {
            // Without an icon the text takes the icon's place too: a tab is only 28 pixels wider than its
            // text, so a text after an empty icon column would always be cut.
            textRect = QRect(4, 0, qMax(indicator.isValid() ? w - 25 : w - 8, 0), h);
        }
    }
    if (!m_ribbonIconImage.isNull()) {
        const int side = m_itemSize == TEV_RIBBON_ITEM_LARGE ? 32 : 16;
        TEVQWidgetBaseImpl::drawIcon(&g, m_ribbonIconImage, QSize(side, side), p->iconStyle, iconRect);
    } else if (m_action && !m_action->icon().isNull()) {
        TEVQWidgetBaseImpl::drawIcon(&g, m_action->icon(),
                                     QSize(qMin(iconRect.width(), 24), qMin(iconRect.height(), 24)), p->iconStyle,
                                     iconRect);
    }
    const TextStyleDesc& text = p->textStyles[state];
    if (p->showText)
        p->textCaches[state].draw(&g, this->text(), text, textRect);
    if (indicator.isValid()) {
        if (m_popupMode == TEV_RIBBON_POPUP_SPLIT) {
            g.setPen(QColor(180, 188, 199));
            if (m_itemSize == TEV_RIBBON_ITEM_LARGE)
                g.drawLine(4, indicator.top(), w - 4, indicator.top());
            else
                g.drawLine(indicator.left(), 4, indicator.left(), h - 4);
        }
        const QPoint c = indicator.center();
        QPainterPath triangle;
        triangle.moveTo(c.x() - 4, c.y() - 2);
        triangle.lineTo(c.x() + 4, c.y() - 2);
        triangle.lineTo(c.x(), c.y() + 3);
        triangle.closeSubpath();
        g.setPen(Qt::NoPen);
        g.fillPath(triangle, text.color);
    }
}

// ---- menu ----------------------------------------------------------------------------------------------------

TEVQRibbonMenu::TEVQRibbonMenu(QWidget* parent) : TEVQMenu(parent) {}

TEVQRibbonMenu::TEVQRibbonMenu(const QString& title, QWidget* parent) : TEVQMenu(title, parent) {}

QAction* TEVQRibbonMenu::addCommand(const QString& id, const QString& text, const QString& iconPath, bool checkable)
{
    QAction* a = iconPath.isEmpty() ? QMenu::addAction(text) : addIconAction(iconPath, text);
    a->setObjectName(id);
    a->setCheckable(checkable);
    a->setProperty("tevRibbonIconPath", iconPath);
    return a;
}

void TEVQRibbonMenu::paintEvent(QPaintEvent* event)
{
    TEVQMenu::paintEvent(event);
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    for (QAction* a : actions()) {
        const QRect r = actionGeometry(a);
        if (r.isEmpty())
            continue;
        const int cy = r.center().y();
        if (a->isSeparator()) {
            g.setPen(QPen(QColor(190, 197, 207), 1));
            g.drawLine(r.left() + 8, cy, r.right() - 8, cy);
        } else if (a->isCheckable() && a->isChecked()) {
            g.setPen(QPen(QColor(62, 111, 210), 2));
            const QPoint pts[3] = {QPoint(r.left() + 5, cy), QPoint(r.left() + 9, cy + 4),
                                   QPoint(r.left() + 15, cy - 5)};
            g.drawPolyline(pts, 3);
        }
    }
}

// ---- gallery "..." -------------------------------------------------------------------------------------------

void TEVQRibbonGallery::showMoreMenu()
{
    auto* menu = new TEVQRibbonMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* a : m_actions)
        menu->QMenu::addAction(a);
    menu->popup(mapToGlobal(QPoint(0, height())));
}

// ---- group and separator paint -------------------------------------------------------------------------------

void TEVQRibbonGroup::paintEvent(QPaintEvent*)
{
    TEVQRibbonBar* bar = ribbonBar();
    if (!bar || !bar->ribbonImpl())
        return;
    const TEVQRibbonBarImpl* impl = bar->ribbonImpl();
    QPainter g(this);
    m_fillCache.draw(&g, impl->groupBackground, rect());
    const int bottom = height() - 1;
    m_titleCache.draw(&g, m_title, impl->groupTitleTextStyle, QRect(5, bottom - 18, width() - 10, 17));
}

void RibbonSeparator::paintEvent(QPaintEvent*)
{
    QPainter g(this);
    g.setPen(QColor(180, 188, 200));
    g.drawLine(width() / 2, 5, width() / 2, height() - 5);
}

// ---- bar paint -----------------------------------------------------------------------------------------------

void TEVQRibbonBar::paintEvent(QPaintEvent*)
{
    TEVQRibbonBarImpl* impl = ribbonImpl();
    if (!impl)
        return;
    QPainter g(this);
    m_fillCache.draw(&g, impl->barBackground, rect());
}

} // namespace TEVQtLib
