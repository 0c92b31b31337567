#pragma once
// The bar between two panes. It records its orientation, the widget on either side and a limit for each side,
// and paints a themed background; it moves nothing itself and swallows the mouse. Code that drives a split
// layout reads the recorded widgets and limits. The panes are held weakly: a pane deleted reads as null.
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QPointer>
#include <QWidget>

class TEVQSplitter;

class TEV_EXPORT TEVQSplitterImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQSplitterImpl(TEVQSplitter* owner);
    ~TEVQSplitterImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    bool isHor = true;
    QPointer<QWidget> upLeftWidget;
    QPointer<QWidget> downRightWidget;
    TEVQtLib::FillStyle background; // not valid until a style is set or read: nothing is painted
    int upLeftLimit = -1;
    int downRightLimit = -1;
};

class TEV_EXPORT TEVQSplitter : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQSplitter, "qtsplitter")
public:
    explicit TEVQSplitter(QWidget* parent = nullptr);
    ~TEVQSplitter() override;

    void setIsHor(bool hor);
    bool getIsHor() const;
    void setUpLeftWidget(QWidget* w);
    const QWidget* getUpLeftWidget() const;
    void setDownRightWidget(QWidget* w);
    const QWidget* getDownRightWidget() const;
    // Stored as given.
    void setUpLeftLimit(int limit);
    int getUpLeftLimit() const;
    void setDownRightLimit(int limit);
    int getDownRightLimit() const;
    // No repaint.
    void setBackground(const TEVQtLib::FillStyle& style);
    TEVQtLib::FillStyle getBackground() const;

    TEVQSplitterImpl* painter() const { return tevImpl<TEVQSplitterImpl>(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    // The splitter takes the mouse and does nothing with it; nothing reaches the parent.
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};
