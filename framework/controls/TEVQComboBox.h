#pragma once
// The framework's themed drop-down list: Qt's combo-box model and behaviour (items, current index, popup, keys,
// editable mode) with every surface painted from the theme: the closed box and its drop button by the painter
// object, the popup's background by the popup list and its rows by the list's item delegate.
#include "ITEVQStyleParts.h"
#include "TEVPaintCache.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVRowTextCache.h"

#include <QComboBox>
#include <QItemDelegate>
#include <QListView>
#include <QPointer>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQComboBox;

class TEV_EXPORT TEVQComboBoxImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    // Height of a popup row unless set otherwise.
    static constexpr int kDefaultItemHeight = 25;

    explicit TEVQComboBoxImpl(TEVQComboBox* owner);
    ~TEVQComboBoxImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    // Three preview items for the designer (only while the emulator flag is on).
    void createComplete() override;

    // A copy of style whose left-aligned text stands at least 10 pixels in.
    static TEVQtLib::TextStyleDesc indented(const TEVQtLib::TextStyleDesc& style);

    QString btnIcons[4];
    int itemHeight = kDefaultItemHeight;
    TEVQtLib::FillStyle backgrounds[4];
    TEVQtLib::FillStyle btnBackgrounds[4];
    TEVQtLib::TextStyleDesc textStyles[4];
    TEVQtLib::FillStyle popupBackground;
    TEVQtLib::FillStyle itemBackgrounds[4]; // 0 an item, 1 the item under the mouse, 2 the selected item
    TEVQtLib::TextStyleDesc itemTextStyles[4];

    TEVQtLib::TEVTextCache textCache;
    TEVQtLib::TEVIconCache iconCache;

    TEVQComboBox* combo() const;
};

// Paints one popup row and gives every row the item height.
class TEV_EXPORT TEVQComboItemDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit TEVQComboItemDelegate(TEVQComboBoxImpl* painter, QObject* parent = nullptr);
    ~TEVQComboItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TEVQComboBoxImpl* m_painter; // not owned
    // The rows' texts between paints, by row and look (normal, hovered, selected): hovering repaints rows again
    // and again.
    mutable TEVQtLib::TEVRowTextCache m_rowTexts{3 * 128};
};

// The popup list: paints the popup background under the rows.
class TEV_EXPORT TEVQComboList : public QListView
{
    Q_OBJECT
public:
    explicit TEVQComboList(TEVQComboBoxImpl* painter, QWidget* parent = nullptr);
    ~TEVQComboList() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    // Null once the combo box's setItemDelegate replaced (and deleted) it.
    TEVQComboItemDelegate* delegate() { return m_delegate.data(); }

protected:
    // The popup closed, however it closed: the press that opened it gets no release of its own.
    void hideEvent(QHideEvent* event) override;

private:
    TEVQComboBoxImpl* m_painter; // not owned
    QPointer<TEVQComboItemDelegate> m_delegate; // a child of the list
};

class TEV_EXPORT TEVQComboBox : public QComboBox, public TEVQtLib::ITEVQWidgetBase, public TEVQtLib::ITEVQStyleParts
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQComboBox, "qtcombobox")
public:
    explicit TEVQComboBox(QWidget* parent = nullptr);
    ~TEVQComboBox() override;

    static TEVQtLib::ControlInfo getProps();

    // A state outside 0..3 selects entry 0, for reading and for writing. No setter repaints.
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CtrlState state) const;
    void setBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBtnBackground(TEVQtLib::CtrlState state) const;
    void setBtnBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getItemBackground(TEVQtLib::CtrlState state) const;
    void setItemBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CtrlState state) const;
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getItemTextStyle(TEVQtLib::CtrlState state) const;
    void setItemTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    // One popup background; the state is ignored.
    const TEVQtLib::FillStyle& getPopupBackground(TEVQtLib::CtrlState state) const;
    void setPopupBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const QString& getBtnIcon(TEVQtLib::CtrlState state) const;
    void setBtnIcon(TEVQtLib::CtrlState state, const QString& name);
    const QString& getNormalBtnIcon() const;
    void setNormalBtnIcon(const QString& name);
    const QString& getHotBtnIcon() const;
    void setHotBtnIcon(const QString& name);
    // Height of every popup row; negative values count as 0.
    int getItemHeight() const;
    void setItemHeight(int height);
    void initDemoData();

    // For the framework's proxy style: the drop button the box paints, a square of its height at its right edge,
    // is where it opens its list, and an editable box's line edit ends before it.
    bool stylePixelMetric(QStyle::PixelMetric metric, int& value) const override;
    void styleSubControlRect(QStyle::ComplexControl control, const QStyleOptionComplex* option,
                             QStyle::SubControl subControl, QRect& rect) const override;

    // Null once another view replaced it.
    TEVQComboList* popupList() const { return m_list.data(); }
    TEVQComboBoxImpl* painter() const { return tevImpl<TEVQComboBoxImpl>(); }

protected:
    // An editable box's line edit, however it came (setEditable, setLineEdit), shows the box's background
    // through its own once it is polished, unless its caller gave it a style sheet.
    void childEvent(QChildEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    TEV_WIDGET_BASE_THEN_PAINTER(QComboBox, mousePressEvent, QMouseEvent, tevForwardMousePress)
    TEV_WIDGET_BASE_THEN_PAINTER(QComboBox, mouseReleaseEvent, QMouseEvent, tevForwardMouseRelease)
    void mouseMoveEvent(QMouseEvent* event) override;
    // QWidget's (empty) handler, then the painter's.
    TEV_WIDGET_BASE_THEN_PAINTER(QWidget, enterEvent, QEvent, tevForwardEnter)
    TEV_WIDGET_BASE_THEN_PAINTER(QWidget, leaveEvent, QEvent, tevForwardLeave)

private:
    // Qt deletes it when another view is set.
    QPointer<TEVQComboList> m_list;
};
