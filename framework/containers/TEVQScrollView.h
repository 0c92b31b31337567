#pragma once
// The framework's scroll area: a frameless QScrollArea with two framework scroll bars, a transparent viewport
// and a themed background. Its content is the first container among its children once they are created.
#include "TEVQScrollBarPair.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QScrollArea>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQScrollView;

class TEV_EXPORT TEVQScrollViewImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQScrollViewImpl(TEVQScrollView* owner);
    ~TEVQScrollViewImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    // Adopts the first container among the view's children as the scrolled content, unless the view shows a
    // content widget already (handing another one to setWidget would delete it).
    void createComplete() override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    // Names w as the content; the field turns null when w is destroyed.
    void setContentWidget(QWidget* w);

    QWidget* contentWidget = nullptr;
    TEVQtLib::FillStyle background;

private:
    TEVQScrollView* view() const;
};

class TEV_EXPORT TEVQScrollView : public QScrollArea, public TEVQtLib::ITEVQWidgetBase, public TEVQScrollBarPair
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQScrollView, "qtscrollview")
public:
    explicit TEVQScrollView(QWidget* parent = nullptr);
    ~TEVQScrollView() override;

    static TEVQtLib::ControlInfo getProps();

    // One background whatever the state; no repaint.
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CommonCtrlState state) const;
    void setBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    int getHScrollPos() const;
    int getVScrollPos() const;
    void setHScrollPos(int pos);
    void setVScrollPos(int pos);

    // Paints the background behind the viewport when the view is installed as the viewport's event filter.
    bool eventFilter(QObject* watched, QEvent* event) override;

    TEVQScrollViewImpl* painter() const { return tevImpl<TEVQScrollViewImpl>(); }

signals:
    // The step Qt scrolled the content by (not the new bar values).
    void scrollPosChanged(int dx, int dy);

protected:
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};
