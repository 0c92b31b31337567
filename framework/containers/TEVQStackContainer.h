#pragma once
// A page stack: an ordered list of page widgets of which exactly one, the current page, is shown over the
// whole stack. Every page is kept sized to the stack, and when a page is shown the containers inside it lay
// themselves out again, so that a page that was hidden while the stack changed size is shown laid out.
// Pages are held weakly: a page deleted or re-parented away at any time simply leaves the list.
#include "TEVQControlInfo.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

class TEVQStackContainer;

class TEV_EXPORT TEVQStackContainerImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQStackContainerImpl(TEVQStackContainer* owner);
    ~TEVQStackContainerImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // The position of w among the pages, or -1.
    int indexOf(const QObject* w) const;
    // The page at i, or null when i is outside the list (or the page is gone).
    QWidget* page(int i) const;
    int count() const { return int(pages.size()); }

    bool drawBackground = true;
    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle disableBackground;
    // The pages in order; child widgets of the stack, not owned here. `ids` keeps each page's identity so that
    // a page can be recognised while it is being destroyed (its guard may already read null).
    std::vector<QPointer<QWidget>> pages;
    std::vector<const QObject*> ids;
    int currentIndex = -1;

    // What the last refresh of the current page settled: a layout request that finds the same page at the
    // same place is the echo of that refresh and needs none.
    const QObject* refreshedPage = nullptr;
    QRect refreshedRect;
};

class TEV_EXPORT TEVQStackContainer : public QWidget, public TEVQtLib::ITEVQWidgetBase
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQStackContainer, "qtstackcontainer")
public:
    explicit TEVQStackContainer(QWidget* parent = nullptr);
    ~TEVQStackContainer() override;

    static TEVQtLib::ControlInfo getProps();

    int addWidget(QWidget* w);
    // The index at which w stands (an index outside 0..count() appends), or -1 when w is null, the stack itself
    // or one of its ancestors. A page inserted again moves to the index.
    int insertWidget(int index, QWidget* w);
    // Takes w out of the pages (hidden, neither deleted nor re-parented); nothing when w is not a page.
    void removeWidget(QWidget* w);
    int count() const;
    int currentIndex() const;
    QWidget* currentWidget() const;
    QWidget* widget(int i) const;
    // Shows page i over the stack (indices outside the list are ignored); the current page is refreshed again.
    void setCurrentIndex(int i);
    void setCurrentWidget(QWidget* w);

    void setBackground(const TEVQtLib::FillStyle& style);
    void setDisableBackground(const TEVQtLib::FillStyle& style);
    // State 0 is the normal background, any other state the disabled one.
    void setBackgroundState(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground() const;
    const TEVQtLib::FillStyle& getDisableBackground() const;
    const TEVQtLib::FillStyle& getBackgroundState(TEVQtLib::CtrlState state) const;
    void setDrawBackground(bool draw);
    bool getDrawBackground() const;

    TEVQStackContainerImpl* painter() const { return tevImpl<TEVQStackContainerImpl>(); }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void refreshCurrentPage();
    void updatePageGeometry(QWidget* page);
    // Takes page i out of the list with the index rules of removeWidget; touchWidget false for a page that is
    // leaving by itself (destroyed or re-parented), which is then not used as a widget at all.
    void takePage(int i, bool touchWidget);
    // Drops pages whose widgets are gone.
    void dropDeadPages();
};
