#pragma once
// The framework's themed pop-up menu: a QMenu whose whole surface its painter draws from styles (a menu
// background, an item background and item text per state, an optional icon column, a grey triangle on items
// that open a submenu). Items come from code or from a menu document's "items" tree; nested entries become
// submenus that take over the parent's styles. Not a registered control type: "qtmenu" is only its type name.
#include "TEVPaintCache.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QMenu>
#include <QPointer>

#include <vector>

class TEVQMenu;

class TEV_EXPORT TEVQMenuImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQMenuImpl(TEVQMenu* owner);
    ~TEVQMenuImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    // The menu's own keys; only reads (whatever load says), and always succeeds.
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // Appends the entries of an "items" array to menu.
    static void addItems(TEVQMenu* menu, const Json::Value& items);
    // Gives the submenus made from "items" (and theirs) this menu's styles again.
    void passStylesToSubmenus();

    TEVQtLib::FillStyle itemBackground[4];
    TEVQtLib::TextStyleDesc itemTextStyle[4];
    TEVQtLib::FillStyle background;
    int iconOffset = 0; // width of the icon column; 0: none
    int hoverIndex = -1; // index in actions() of the hot item; -1 none
    // The hot item's action: items inserted or removed while the menu is open move it, and its removal ends it.
    QPointer<QAction> hoverAction;

    // Forgets the items' icon paths (read again at the next paint); the menu calls it whenever its actions
    // or an action's icon path change.
    void dropItems() { itemsValid = false; }

private:
    TEVQMenu* menu() const;

    // What painting an item needs besides its geometry and state, kept between paints.
    struct Item {
        QString iconPath;
        TEVQtLib::TEVTextCache text;
    };
    std::vector<Item> items; // one per action, in the order of actions()
    bool itemsValid = false;
    TEVQtLib::TEVIconCache icons;
    // Submenus made from "items": they take this menu's styles whenever it reads styles (a theme change
    // included) and read no theme element of their own.
    std::vector<QPointer<TEVQMenu>> stylesFollowers;
};

class TEV_EXPORT TEVQMenu : public QMenu, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQMenu, "qtmenu")
public:
    // Frameless, translucent and themed.
    explicit TEVQMenu(QWidget* parent = nullptr);
    // A plain pop-up: neither frameless nor translucent, and no theme applied.
    explicit TEVQMenu(const QString& title, QWidget* parent = nullptr);
    ~TEVQMenu() override;

    // An action with text; a non-empty iconPath is kept as the item's icon ("tev_menu_icon_path") and, unless
    // it names an SVG, also set as the action's QIcon.
    QAction* addIconAction(const QString& iconPath, const QString& text);

    // Stored for the next paint; states 0 to 3 (other values are ignored).
    void setBackground(const TEVQtLib::FillStyle& style);
    void setItemStyle(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    void setItemTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    // 0 to QWIDGETSIZE_MAX; 0 (and anything less) means no icon column.
    void setIconOffset(int offset);
    const TEVQtLib::FillStyle& getBackground() const;
    const TEVQtLib::FillStyle& getItemStyle(TEVQtLib::CtrlState state) const;
    const TEVQtLib::TextStyleDesc& getItemTextStyle(TEVQtLib::CtrlState state) const;
    int getIconOffset() const;
    int getHoverIndex() const;

    TEVQMenuImpl* painter() const { return tevImpl<TEVQMenuImpl>(); }

    // The name of the dynamic property that holds an item's icon path.
    static const char* iconPathProperty() { return "tev_menu_icon_path"; }

protected:
    // QMenu's size hint widened by the icon column.
    QSize sizeHint() const override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void actionEvent(QActionEvent* event) override;
    // Watches the menu's actions for a change of their icon path.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void init(bool popupLook);
    void setHoverIndex(int index);
};
