#pragma once
// The framework's command button. Its painter draws everything: four per-state backgrounds and text styles, an
// icon (a QIcon, or image paths with hot and pressed variants), an optional extension area at the right edge
// with icons of its own, and a hover fade that blends the normal look into the hot look and back on a timer.
#include "TEVPaintCache.h"
#include "TEVQWidgetMacros.h"
#include "TEVTextCache.h"
#include "TEVStyleDesc.h"

#include <QIcon>
#include <QPushButton>

class QTimer;

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQPushButton;

class TEV_EXPORT TEVQPushButtonImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    // Interval of the fade timer in milliseconds.
    static constexpr int kFadeInterval = 16;
    // A fade duration that is not positive becomes this.
    static constexpr int kDefaultFadeDuration = 150;

    explicit TEVQPushButtonImpl(TEVQPushButton* owner);
    ~TEVQPushButtonImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    void notifyChangeLanguage() override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    // One step of the fade; the timer calls it.
    void fadeTick();
    // Icon offsets that put an icon of iconSize left of the centred text.
    void placeIconBesideText(const QSize& iconSize);
    void setFadeEnabled(bool on);
    static int normalizedFadeDuration(int ms) { return ms > 0 ? ms : kDefaultFadeDuration; }

    QString textKey;
    QString keyedText; // the text textKey last gave the button (a text set since drops the key)
    bool extHovered = false;
    bool isExtBtn = false;
    QString extHotIcon;
    QString extIcon;
    int extWidth = 0;
    bool useIcon = true;
    bool showText = true;
    QString iconPath;
    QIcon icon;
    QString hotIcon;
    QString pressedIcon;
    TEVQtLib::IconStyleDesc iconStyle;
    int textOffsetX = 0;
    int textOffsetY = 0;
    bool drawBackground = true;
    TEVQtLib::FillStyle backgrounds[4];
    TEVQtLib::TextStyleDesc textStyles[4];
    bool fadeEnabled = false;
    int fadeDuration = kDefaultFadeDuration;
    double fadeProgress = 0.0; // 0 the normal look, 1 the hot look
    TEVQtLib::CtrlState fadeFrom = TEVQtLib::CtrlStateNormal;
    TEVQtLib::CtrlState fadeTarget = TEVQtLib::CtrlStateNormal;
    QTimer* fadeTimer = nullptr; // made by the first fade
    // The font and elided text of each state's text style, kept between paints.
    TEVQtLib::TEVTextCache textCaches[4];
    // Each state's background as last drawn (a fading blend is drawn directly).
    TEVQtLib::TEVFillCache fillCaches[4];
    // The icons as drawn (an SVG rendered once for its size), kept between paints.
    TEVQtLib::TEVIconCache iconCache;

private:
    TEVQPushButton* button() const;
    void startFadeTimer();
    void stopFadeTimer();
    void drawFaded(QPainter* painter, const QRect& rect, int s, double t);
    void drawButtonText(QPainter* painter, const QRect& rect, const TEVQtLib::TextStyleDesc& style,
                        TEVQtLib::TEVTextCache& cache);
};

class TEV_EXPORT TEVQPushButton : public QPushButton, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQPushButton, "qtbutton")
public:
    explicit TEVQPushButton(QWidget* parent = nullptr);
    ~TEVQPushButton() override;

    static TEVQtLib::ControlInfo getProps();

    // State 4 sets all four states; no repaint.
    void setBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CtrlState state) const;
    void setTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getTextStyle(TEVQtLib::CtrlState state) const;
    void setUseFillStyle(TEVQtLib::CtrlState state, bool use);
    bool getUseFillStyle(TEVQtLib::CtrlState state) const;
    void setDrawBackground(bool draw);
    bool getDrawBackground() const;
    // Off also ends a running fade at the hot end.
    void setFadeEnabled(bool on);
    bool getFadeEnabled() const;
    // Not positive: 150.
    void setFadeDuration(int ms);
    int getFadeDuration() const;
    void setIcon(const QIcon& icon);
    void setIcon(const QString& path);
    QString getIcon() const;
    void setHotIcon(const QString& path);
    QString getHotIcon() const;
    void setPressedIcon(const QString& path);
    QString getPressedIcon() const;
    void setUseIcon(bool use);
    bool getUseIcon() const;
    void setIconStyle(const TEVQtLib::IconStyleDesc& style);
    const TEVQtLib::IconStyleDesc& getIconStyle() const;
    void setShowText(bool show);
    bool getShowText() const;
    void setTextOffsetX(int x);
    void setTextOffsetY(int y);
    int getTextOffsetX() const;
    int getTextOffsetY() const;

    TEVQPushButtonImpl* painter() const { return tevImpl<TEVQPushButtonImpl>(); }

signals:
    void enterSignal();
    void leaveSignal();

protected:
    void paintEvent(QPaintEvent* event) override;
    // Receivers of clicked(), pressed() and released() (moving off or back onto a held button) may delete it.
    // A press that opened the button's menu has ended when Qt's handler returns (the menu took its release):
    // the painter is not told of it.
    void mousePressEvent(QMouseEvent* event) override;
    TEV_WIDGET_BASE_THEN_PAINTER(QPushButton, mouseReleaseEvent, QMouseEvent, tevForwardMouseRelease)
    TEV_WIDGET_BASE_THEN_PAINTER(QPushButton, mouseMoveEvent, QMouseEvent, tevForwardMouseMove)
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
