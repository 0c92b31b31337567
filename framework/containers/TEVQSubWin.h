#pragma once
// A movable, resizable window inside another widget: it moves by dragging its caption band, resizes by its
// borders, raises itself on a press and paints an optional colour or image background. It shares its state and
// mouse logic with the frameless window (TEVQWindowImpl); its moves and resizes stay inside its parent, and it
// never becomes too small to be grabbed again. It is not registered with the resource manager.
#include "ITEVQWindowSettings.h"
#include "TEVGlobal.h"
#include "TEVStyleDesc.h"

#include <QString>
#include <QWidget>

namespace TEVQtLib {

class TEVQWindowImpl;

class TEV_EXPORT TEVQSubWin : public QWidget, public ITEVQWindowSettings
{
public:
    explicit TEVQSubWin(QWidget* parent = nullptr);
    ~TEVQSubWin() override;

    static QString typeName() { return QStringLiteral("TEVSubWin"); }

    void centerWindow();
    QWidget* hitTest(QWidget* widget, int x, int y);
    void setCanDrag(bool on) override;
    bool getCanGrag() const;
    void setCaptionHeight(int height);
    // True when the caption height is not 0.
    bool getCaptionHeight() const;
    void setOnlyDragCaption(bool on) override;
    bool getOnlyDragCaption() const;
    // Also switches mouse tracking, for the hover cursors.
    void setResizeable(bool on) override;
    // Stored as given; they bound only the sub-window's own border resizing, never the widget's minimum.
    void setMinWidth(int width) override;
    void setMinHeight(int height) override;
    void setBackgroundColor(const FillRes& fill);
    void setBackgroundImage(const QString& name, const ImageDesc& desc);
    void setShowBackground(bool on);
    void setUseFillColor(bool on);
    void setTransparent(bool on) override;
    void setX(int x);
    void setY(int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TEVQWindowImpl* d = nullptr;
};

} // namespace TEVQtLib
