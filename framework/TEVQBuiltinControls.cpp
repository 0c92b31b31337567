// The built-in table of the control registry. This is the one file that knows the control classes of every
// subsystem: it includes their headers, and nothing includes it. tevInitQtControl() (core) calls it.
//
// Adding a type is one line in the matching group below, next to the #include of its class:
//   catalogued:    tevRegisterQtControl("qtlabel", &TEVQLabel::createTEVQLabel, TEVQLabel::getProps(), true);
//                  ("qtlistview" is registered with the flag false)
//   creator only:  tevRegisterDefaultControl("qtspinbox", &TEVQSpinBox::createTEVQSpinBox);
//   alias:         tevRegisterDefaultControl("label", &TEVQLabel::createTEVQLabel);
// Each name is registered once, with its final factory and entry ("qtpicture" is the image's). A later
// registration under the same name would replace the earlier one, so the groups run in this order:
// catalogued types, creator-only long and short names, then the aliases.
// Not in this table: "qtmenu" (menus are made by tevCreateMenuByFileName and in code), "TEVWindow", "TEVSubWin", "qtwindow" and the chart types (the application
// registers the charts after initialisation).
//
// The same file gives core the few other things it needs of later subsystems: the framework's proxy style for
// tevGetStyle, the container test of the page loader's result and the menu of tevCreateMenuByFileName.
#include "TEVQControlRegistry.h"
#include "TEVQPageLoader.h"
#include "TEVQtLib.h"

#include "CScrollBarStyle.h"
#include "TEVQCheckBox.h"
#include "TEVQComboBox.h"
#include "TEVQContainer.h"
#include "TEVQGroupBox.h"
#include "TEVQImage.h"
#include "TEVQLCDNumber.h"
#include "TEVQLabel.h"
#include "TEVQLabelEx.h"
#include "TEVQLineEdit.h"
#include "TEVQProgressBar.h"
#include "TEVQPropertyList.h"
#include "TEVQPushButton.h"
#include "TEVQRadioButton.h"
#include "TEVQScrollBar.h"
#include "TEVQScrollView.h"
#include "TEVQSlider.h"
#include "TEVQSpacer.h"
#include "TEVQSpinBox.h"
#include "TEVQSplitter.h"
#include "TEVQStackContainer.h"
#include "TEVQSwitch.h"
#include "TEVQTabWidget.h"
#include "TEVQTextEdit.h"

#include "TEVJson.h"
#include "TEVQList.h"
#include "TEVQListView.h"
#include "TEVQTableView.h"
#include "TEVQTreeView.h"
#include "TEVQMenu.h"
#include "TEVQMenuBar.h"
#include "TEVQRibbonBar.h"
#include "TEVQCanvas.h"
#include "TEVQCanvasWindow.h"

namespace TEVQtLib {
namespace detail {

void registerBuiltinControls()
{
    // Catalogued types.
    tevRegisterQtControl("Window", &TEVQCanvasWindow::createCanvas, TEVQCanvasWindow::getProps(), true);
    tevRegisterQtControl("qtcontainer", &TEVQContainer::createTEVQContainer, TEVQContainer::getProps(), true);
    tevRegisterQtControl("qtbutton", &TEVQPushButton::createTEVQPushButton, TEVQPushButton::getProps(), true);
    tevRegisterQtControl("qtlabel", &TEVQLabel::createTEVQLabel, TEVQLabel::getProps(), true);
    tevRegisterQtControl("qtcheckbox", &TEVQCheckBox::createTEVQCheckBox, TEVQCheckBox::getProps(), true);
    tevRegisterQtControl("qtradiobox", &TEVQRadioButton::createTEVQRadioButton, TEVQRadioButton::getProps(), true);
    tevRegisterQtControl("qtcombobox", &TEVQComboBox::createTEVQComboBox, TEVQComboBox::getProps(), true);
    tevRegisterQtControl("qtslider", &TEVQSlider::createTEVQSlider, TEVQSlider::getProps(), true);
    tevRegisterQtControl("qtspacer", &TEVQSpacer::createTEVQSpacer, TEVQSpacer::getProps(), true);
    tevRegisterQtControl("qtscrollbar", &TEVQScrollBar::createTEVQScrollBar, TEVQScrollBar::getProps(), true);
    tevRegisterQtControl("qtpicture", &TEVQImage::createTEVQImage, TEVQImage::getProps(), true);
    tevRegisterQtControl("qtprogressbar", &TEVQProgressBar::createTEVQProgressBar, TEVQProgressBar::getProps(), true);
    tevRegisterQtControl("qtlcdnumber", &TEVQLCDNumber::createTEVQLCDNumber, TEVQLCDNumber::getProps(), true);
    tevRegisterQtControl("qtswitch", &TEVQSwitch::createTEVQSwitch, TEVQSwitch::getProps(), true);
    tevRegisterQtControl("qtstackcontainer", &TEVQStackContainer::createTEVQStackContainer, TEVQStackContainer::getProps(), true);
    tevRegisterQtControl("qttab", &TEVQTabWidget::createTEVQTabWidget, TEVQTabWidget::getProps(), true);
    tevRegisterQtControl("qtgroupbox", &TEVQGroupBox::createTEVQGroupBox, TEVQGroupBox::getProps(), true);
    tevRegisterQtControl("qtdedit", &TEVQLineEdit::createTEVQLineEdit, TEVQLineEdit::getProps(), true);
    tevRegisterQtControl("qtproperty", &TEVQPropertyList::createTEVQPropertyList, TEVQPropertyList::getProps(), true);
    tevRegisterQtControl("qtscrollview", &TEVQScrollView::createTEVQScrollView, TEVQScrollView::getProps(), true);
    tevRegisterQtControl("qttext", &TEVQTextEdit::createTEVQTextEdit, TEVQTextEdit::getProps(), true);
    tevRegisterQtControl("qtmenubar", &TEVQMenuBar::createTEVQMenuBar, TEVQMenuBar::getProps(), true);
    tevRegisterQtControl("qtlistview", &TEVQListView::createTEVQListView, TEVQListView::getProps(), false);
    tevRegisterQtControl("qtlist", &TEVQList::createTEVQList, TEVQList::getProps(), true);
    tevRegisterQtControl("qttree", &TEVQTreeView::createTEVQTreeView, TEVQTreeView::getProps(), true);
    tevRegisterQtControl("qtdatagrid", &TEVQTableView::createTEVQTableView, TEVQTableView::getProps(), true);
    tevRegisterQtControl("qtribbonbar", &TEVQRibbonBar::createTEVQRibbonBar, TEVQRibbonBar::getProps(), true);

    // Creator-only long and short names.
    tevRegisterDefaultControl("canvas", &TEVQCanvas::createTEVQCanvas);
    tevRegisterDefaultControl("scrollbar", &TEVQScrollBar::createTEVQScrollBar);
    tevRegisterDefaultControl("container", &TEVQContainer::createTEVQContainer);
    tevRegisterDefaultControl("qtspinbox", &TEVQSpinBox::createTEVQSpinBox);
    tevRegisterDefaultControl("picture", &TEVQImage::createTEVQImage);
    tevRegisterDefaultControl("qtsplitter", &TEVQSplitter::createTEVQSplitter);
    tevRegisterDefaultControl("qtlabelex", &TEVQLabelEx::createTEVQLabelEx);
    tevRegisterDefaultControl("scrollview", &TEVQScrollView::createTEVQScrollView);

    // Aliases.
    tevRegisterDefaultControl("button", &TEVQPushButton::createTEVQPushButton);
    tevRegisterDefaultControl("label", &TEVQLabel::createTEVQLabel);
    tevRegisterDefaultControl("checkbox", &TEVQCheckBox::createTEVQCheckBox);
    tevRegisterDefaultControl("radio", &TEVQRadioButton::createTEVQRadioButton);
    tevRegisterDefaultControl("radiobox", &TEVQRadioButton::createTEVQRadioButton);
    tevRegisterDefaultControl("combobox", &TEVQComboBox::createTEVQComboBox);
    tevRegisterDefaultControl("slider", &TEVQSlider::createTEVQSlider);
    tevRegisterDefaultControl("image", &TEVQImage::createTEVQImage);
    tevRegisterDefaultControl("progressbar", &TEVQProgressBar::createTEVQProgressBar);
    tevRegisterDefaultControl("spinbox", &TEVQSpinBox::createTEVQSpinBox);
    tevRegisterDefaultControl("dnumedit", &TEVQSpinBox::createTEVQSpinBox);
    tevRegisterDefaultControl("switch", &TEVQSwitch::createTEVQSwitch);
    tevRegisterDefaultControl("stackcontainer", &TEVQStackContainer::createTEVQStackContainer);
    tevRegisterDefaultControl("tab", &TEVQTabWidget::createTEVQTabWidget);
    tevRegisterDefaultControl("groupbox", &TEVQGroupBox::createTEVQGroupBox);
    tevRegisterDefaultControl("splitter", &TEVQSplitter::createTEVQSplitter);
    tevRegisterDefaultControl("dedit", &TEVQLineEdit::createTEVQLineEdit);
    tevRegisterDefaultControl("qttext", &TEVQTextEdit::createTEVQTextEdit);
    tevRegisterDefaultControl("menubar", &TEVQMenuBar::createTEVQMenuBar);
    tevRegisterDefaultControl("listview", &TEVQListView::createTEVQListView);
    tevRegisterDefaultControl("templateList", &TEVQListView::createTEVQListView);
    tevRegisterDefaultControl("list", &TEVQList::createTEVQList);
    tevRegisterDefaultControl("tree", &TEVQTreeView::createTEVQTreeView);
    tevRegisterDefaultControl("datagrid", &TEVQTableView::createTEVQTableView);
    tevRegisterDefaultControl("property", &TEVQPropertyList::createTEVQPropertyList);
}

QStyle* createFrameworkStyle() { return new CScrollBarStyle(); }

TEVQContainer* asContainer(QWidget* w) { return qobject_cast<TEVQContainer*>(w); }

// A menu document is an object; any other root is refused and no menu is made.
TEVQMenu* createMenuFromJson(QWidget* parent, const Json::Value& root)
{
    if (!json::isObject(root))
        return nullptr;
    TEVQMenu* menu = new TEVQMenu(parent);
    Json::Value element = root;
    menu->readJsonValue(&element);
    return menu;
}

} // namespace detail
} // namespace TEVQtLib
