#pragma once
// One page on the design canvas: the design-time stand-in of a framework window. The page loader fills it
// (root keys through ITEVQWindowSettings, elements as its children); the canvas shows it, hit-tests its
// controls and writes it back as page JSON with toJsonString.
#include "ITEVQWindowSettings.h"
#include "TEVQControlInfo.h"
#include "TEVStyleDesc.h"

#include <QString>
#include <QWidget>

class TEV_EXPORT TEVQCanvasWindow : public QWidget, public TEVQtLib::ITEVQWindowSettings
{
public:
    explicit TEVQCanvasWindow(QWidget* parent = nullptr);
    ~TEVQCanvasWindow() override;

    // The registry creator: a page without a parent.
    static QWidget* createCanvas();
    static const char* typeName() { return "Window"; }
    static TEVQtLib::ControlInfo getProps();

    void setWidth(int width);   // fixed width
    void setHeight(int height); // fixed height
    int getWidth() const { return width(); }
    int getHeight() const { return height(); }
    void setX(int x);
    void setY(int y);

    // Window settings: plain stores (the widget's own minimum size is not changed).
    void setMinWidth(int width) override { m_minWidth = width; }
    int getMinWidth() const { return m_minWidth; }
    void setMinHeight(int height) override { m_minHeight = height; }
    int getMinHeight() const { return m_minHeight; }
    void setCanDrag(bool on) override { m_canDrag = on; }
    bool getCanGrag() const { return m_canDrag; }
    void setOnlyDragCaption(bool on) override { m_onlyDragCaption = on; }
    bool getOnlyDragCaption() const { return m_onlyDragCaption; }
    // Stores the flag; mouse tracking follows it.
    void setResizeable(bool on) override;
    bool getResizeable() const { return m_resizable; }
    // Frameless hint when on; the translucent-background attribute and the written "trans" follow on.
    void setTransparent(bool on) override;
    bool getTransparent() const { return m_translucent; }

    void setShowBackground(bool on) { m_showBackground = on; }
    void setUseFillColor(bool on) { m_useFillColor = on; }
    void setCaptionHeight(int height) { m_captionHeight = height; }
    // True when the caption height is not 0.
    bool getCaptionHeight() const { return m_captionHeight != 0; }
    int captionHeight() const { return m_captionHeight; }
    // The "dbmax" flag of the page file, kept so that a save writes it back.
    void setMaximise(bool on) { m_maximise = on; }
    bool getMaximise() const { return m_maximise; }
    void setPageName(const QString& name) { m_pageName = name; }
    QString pageName() const { return m_pageName; }
    void setBackgroundColor(const TEVQtLib::FillRes& fill) { m_backgroundFill = fill; }
    void setBackgroundImage(const QString& name, const TEVQtLib::ImageDesc& desc);

    // Hides every control below the page (the widgets carrying the "visibility" flag); their inner parts stay.
    void hideAllWidges();
    // The deepest control under (x, y) (page coordinates) from w downward, clipped by its ancestors; null for
    // none or when w's "visibility" is false. Children whose "visibility" is false are passed over; children
    // without the flag are not hit themselves, the controls below them are.
    QWidget* HitTestWithChildren(QWidget* w, int x, int y);
    // The page as page JSON text (UTF-8, styled).
    void toJsonString(QString& out);

    // The "visibility" flag of w as the canvas keeps it (false when never set).
    static bool visibilityOf(const QWidget* w);
    // Whether w carries the flag at all: the page's controls do; a control's own inner parts (a scroll view's
    // viewport) do not, and are looked through for the controls below them.
    static bool hasVisibilityFlag(const QWidget* w);
    static void setVisibilityOf(QWidget* w, bool on);

private:
    void announceResize(const QSize& old);
    QRect rectInPage(const QWidget* w) const;
    QRect visibleRectInPage(const QWidget* w) const;
    QWidget* hitBelowInnerPart(QWidget* w, int x, int y);

    bool m_resizable = false;
    bool m_canDrag = true;
    QString m_backgroundImageName;
    TEVQtLib::ImageDesc m_backgroundImageDesc;
    TEVQtLib::FillRes m_backgroundFill;
    bool m_useFillColor = true;
    bool m_showBackground = false;
    int m_minWidth = 400;
    int m_minHeight = 400;
    bool m_onlyDragCaption = false;
    int m_captionHeight = 40;
    bool m_maximise = false;
    bool m_translucent = false;
    QString m_pageName;
};
