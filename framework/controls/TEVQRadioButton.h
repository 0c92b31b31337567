#pragma once
// The framework's themed radio button: QRadioButton's behaviour (checking, auto-exclusion among siblings, keys)
// painted entirely by its painter: a background that differs between the checked and the unchecked button, an
// icon chosen by check state, hover and enabled state and fitted to half the button's height, and the text
// right of the icon. The whole widget is the hit area; every press is reported by pressedEvent().
#include "TEVPaintCache.h"
#include "TEVQCheckBox.h" // CheckBoxTextState
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QRadioButton>

namespace TEVQtLib {
struct ControlInfo;

// One icon of a radio button; 4 stands for the first four together (not the disabled icon).
enum RadioIconState : int {
    RadioIconChecked = 0,
    RadioIconCheckedHot = 1,
    RadioIconUnchecked = 2,
    RadioIconUncheckedHot = 3,
    RadioIconAll = 4,
};
} // namespace TEVQtLib

class TEVQRadioButton;

class TEV_EXPORT TEVQRadioButtonImpl : public TEVQCheckableImpl
{
    Q_OBJECT
public:
    explicit TEVQRadioButtonImpl(TEVQRadioButton* owner);
    ~TEVQRadioButtonImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // The size name is drawn at in rect: its own size scaled, keeping its aspect ratio, into the rectangle's
    // width and half its height (at least 1). Invalid when there is no such image.
    QSize fittedSize(const QString& name, bool gray, const QRect& rect);

    QString disableIcon;
    bool pushlike = false; // kept, saved and offered in the designer; painting does not consult it
    TEVQtLib::FillStyle selectedBackgrounds[4]; // checked, by CtrlState

    // The backgrounds as last drawn, by CtrlState: each is drawn again when its style or the size changes.
    TEVQtLib::TEVFillCache fillCaches[4];
    TEVQtLib::TEVFillCache selectedFillCaches[4];

private:
    TEVQRadioButton* button() const;
    void drawFittedIcon(QPainter* painter, const QString& name, const QRect& rect, bool gray);
};

class TEV_EXPORT TEVQRadioButton : public QRadioButton, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQRadioButton, "qtradiobox")
public:
    explicit TEVQRadioButton(QWidget* parent = nullptr);
    ~TEVQRadioButton() override;

    static TEVQtLib::ControlInfo getProps();

    // Unchecked background: 0..3 one state, 4 all four; other values are ignored (read: the normal one).
    void setBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CtrlState state) const;
    // Checked background: 0..3 only.
    void setSelectedBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getSelectedBackground(TEVQtLib::CtrlState state) const;
    void setTextStyle(bool checked, const TEVQtLib::TextStyleDesc& style);
    TEVQtLib::TextStyleDesc getTextStyle(bool checked) const;
    // 0 checked, 1 unchecked, 2 disabled; other values set nothing and read the unchecked style.
    void setTextStyleByState(TEVQtLib::CheckBoxTextState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getTextStyleByState(TEVQtLib::CheckBoxTextState state) const;

    bool setUncheckIcon(const QString& path);
    bool setUncheckHotIcon(const QString& path);
    bool setCheckedIcon(const QString& path);
    bool setCheckedHotIcon(const QString& path);
    bool setDisableIcon(const QString& path);
    const QString& getUncheckIcon() const;
    const QString& getUncheckHotIcon() const;
    const QString& getCheckedIcon() const;
    const QString& getCheckedHotIcon() const;
    const QString& getDisableIcon() const;
    // The unchecked, unchecked hot, checked and checked hot icons at once.
    void setIcon(const QString& path);
    void setIcon(TEVQtLib::RadioIconState state, const QString& path);

    void setIconStyle(const TEVQtLib::IconStyleDesc& style);
    const TEVQtLib::IconStyleDesc& getIconStyle() const;
    void setIconHorAlign(TEVQtLib::DockLayoutType align);
    TEVQtLib::DockLayoutType getIconHorAlign() const;
    void setIconVerAlign(TEVQtLib::DockLayoutType align);
    TEVQtLib::DockLayoutType getIconVerAlign() const;
    void setIconOffsetX(int x);
    int getIconOffsetX() const;
    void setIconOffsetY(int y);
    int getIconOffsetY() const;

    // setShowIcon and setPushlike repaint.
    void setShowIcon(bool show);
    bool getShowIcon() const;
    void setShowText(bool show);
    bool getShowText() const;
    void setPushlike(bool on);
    bool getPushlike() const;

    TEVQRadioButtonImpl* painter() const { return tevImpl<TEVQRadioButtonImpl>(); }

signals:
    // Every press, whatever the mouse button.
    void pressedEvent();

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    TEV_WIDGET_BASE_THEN_PAINTER(QRadioButton, mouseMoveEvent, QMouseEvent, tevForwardMouseMove)
    // QWidget's (empty) handler, then the painter's.
    TEV_WIDGET_BASE_THEN_PAINTER(QWidget, enterEvent, QEvent, tevForwardEnter)
    TEV_WIDGET_BASE_THEN_PAINTER(QWidget, leaveEvent, QEvent, tevForwardLeave)
};
