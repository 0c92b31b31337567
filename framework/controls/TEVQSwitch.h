#pragma once
// The framework's two-position switch: a styled track with a thumb that slides between the left and the right
// end when the switch is pressed, and a text for each side. The slide is a value animation of the thumb's
// offset; the side flag changes when the slide ends. Whenever no slide runs, the thumb is drawn at the end of
// the side the switch is set to, whatever set it (code, JSON, a theme) and whatever the size.
#include "TEVQWidgetMacros.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVStyleDesc.h"
#include "TEVTextCache.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

class QVariantAnimation;

namespace TEVQtLib {
struct ControlInfo;

// The two text styles of the switch.
enum SwitchPosition : int {
    SwitchPositionLeft = 0,
    SwitchPositionRight = 1,
};
} // namespace TEVQtLib

class TEVQSwitch;

class TEV_EXPORT TEVQSwitchImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQSwitchImpl(TEVQSwitch* owner);
    ~TEVQSwitchImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // Starts a slide to the other side; nothing while one runs.
    void startSwitchAnimation();
    // The thumb is placed again at its side's end at the next paint (no slide running).
    void placeThumb();
    // Sets the side; a slide towards that side runs on, a slide away from it is cut short.
    void setSide(bool left);
    // Whether a slide runs (one whose animation was deleted does not).
    bool sliding();
    // Offset of the thumb at the right end.
    int travel() const;

    bool showAllText = true;
    int thumbX = -1;
    bool animating = false;
    int margin = 2;
    bool switchToLeft = false;
    unsigned int switchSpeed = 300;
    QString leftText = QStringLiteral("On");
    QString rightText = QStringLiteral("Off");
    QSize thumbSize{25, 25};
    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle thumbStyles[4]; // CtrlState order
    TEVQtLib::TextStyleDesc leftTextStyle;
    TEVQtLib::TextStyleDesc rightTextStyle;
    // A child of the switch: whoever deletes the switch's children may delete it; the next slide makes another.
    QPointer<QVariantAnimation> animation;

public slots:
    void valueChanged(const QVariant& value);
    void finished();

private:
    void makeAnimation();

    TEVQtLib::TEVFillCache m_track;
    TEVQtLib::TEVFillCache m_thumb[4];
    TEVQtLib::TEVTextCache m_leftSlot;
    TEVQtLib::TEVTextCache m_rightSlot;
};

class TEV_EXPORT TEVQSwitch : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQSwitch, "qtswitch")
public:
    // The thumb at the right, "On" and "Off", a 25 x 25 thumb, margin 2, a 300 ms slide.
    explicit TEVQSwitch(QWidget* parent = nullptr);
    ~TEVQSwitch() override;

    static TEVQtLib::ControlInfo getProps();

    // None of the setters repaints.
    void setLeftText(const QString& text);
    const QString& getLeftText() const;
    void setRightText(const QString& text);
    const QString& getRightText() const;
    // Sizes are held within 0 .. QWIDGETSIZE_MAX.
    void setThumbSize(int width, int height);
    void getThumbSize(int& width, int& height) const;
    void setThumbBtnSize(const QSize& size);
    const QSize& getThumbBtnSize() const;
    void setMargin(int margin);
    int getMargin() const;
    // At most INT_MAX milliseconds.
    void setSwitchSpeed(unsigned int ms);
    unsigned int getSwitchSpeed() const;
    void setShowAllText(bool show);
    bool getShowAllText() const;
    // True puts the thumb at the left, false at the right (shown at the next paint, without a slide).
    void setSwitchToLeft(bool left);
    bool getIsSwitchToLeft() const;

    // One track style whatever the state argument.
    void setBackgroundStyle(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackgroundStyle(TEVQtLib::CommonCtrlState state) const;
    // States 0..3; other values are ignored (the getter then gives the normal style).
    void setThumbStyle(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getThumbStyle(TEVQtLib::CtrlState state) const;
    // 0 the left text style, any other value the right one.
    void setTextStyle(TEVQtLib::SwitchPosition position, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::SwitchPosition position) const;

    TEVQSwitchImpl* painter() const { return tevImpl<TEVQSwitchImpl>(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
