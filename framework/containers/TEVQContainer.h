#pragma once
// The framework's self-arranging panel: a themed background and automatic placement of its widget children
// (one row, one column, wrapping rows or columns, absolute docking), with optional bound scroll bars that
// scroll the children and an animated resize. The layout engine lives in the painter object
// (TEVQContainerImpl, TEVQContainerLayout.cpp).
#include "TEVQControlInfo.h"
#include "TEVQWidgetBase.h"
#include "TEVQWidgetBaseImpl.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"

#include <QEvent>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QScrollBar>
#include <QSize>
#include <QString>
#include <QWidget>

class QDesignerFormEditorInterface;
class QVariantAnimation;
class TEVQScrollBar;
class TEVQContainer;

// The painter object of TEVQContainer: backgrounds, the container's JSON and the layout engine.
class TEV_EXPORT TEVQContainerImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQContainerImpl(TEVQContainer* owner);
    // For the painters of classes derived from TEVQContainer, which keep the engine under their own type name.
    TEVQContainerImpl(TEVQContainer* owner, const QString& typeName);
    ~TEVQContainerImpl() override;

    void paintEvent(QWidget* ownerWidget, QPaintEvent* event) override;
    void draw(QPainter* painter, const QRect& rect) override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;

    // ---- layout engine ----
    // The layout pass; callers skip it in mode 4.
    void doLayout();
    // Bar need, ranges and bar geometry from the children's extent; then the children are re-placed.
    void updateScroll();
    // Every managed child at its unscrolled rectangle moved by (-scrollX, -scrollY).
    void applyScrollOffset();
    // applyScrollOffset without its test for a bound bar.
    void placeAtOffsets();
    // The layout pass unless the mode is 4, then the scroll update.
    void relayout();
    void bindScrollBar(TEVQScrollBar* bar, bool horizontal);
    TEVQScrollBar* getBindScrollBar(bool horizontal) const;
    void setScrollPos(bool horizontal, int pos);
    int getScrollPos(bool horizontal) const { return horizontal ? scrollX : scrollY; }
    bool startResizeAnimation(const QSize& from, const QSize& to, int durationMs);
    bool isResizeAnimationRunning() const { return animating; }

    // The size an auto-sized container asks for when it is docked (invalid when c is null or not auto-sized).
    static QSize contentSize(TEVQContainer* c);
    // A child's preferred size from its hints, policies and limits.
    static QSize preferredSize(QWidget* child);

    // Whether w is one of this container's bound bars, by identity or by the bound-bar property.
    bool isBoundBar(const QObject* w) const;
    // Children created by a ChildAdded event get the container as event filter unless they are bars.
    void registerChild(QObject* child);
    // A bound bar that is being destroyed or re-parented away is forgotten (its offset goes back to 0).
    void forgetBar(QObject* child);
    // The child's unscrolled rectangle (stored on first use).
    QRect baseGeometry(QWidget* child);
    // The stored unscrolled rectangle of w, if any; storing sets the property only when the value changes.
    bool storedBase(QWidget* w, QRect& out);
    void storeBase(QWidget* w, const QRect& r);
    // Forgets what was stored for a child that leaves (or joins) the container.
    void dropBase(const QObject* w);
    // A child the container has just given a geometry.
    void notePlaced(QWidget* w) { placedCache.insert(w, w->geometry()); }
    // A child that is not shown gets no move or resize event; its geometry changed since the container placed it
    // becomes its base geometry, as the event filter would have made it.
    void takeUnseenMove(QWidget* w);
    // A child joining the container: the unscrolled place another container stored on it means nothing here.
    void forgetOldBase(QObject* w);
    // Whether a change of child w's unscrolled rectangle from oldBase to newBase (or its showing or hiding)
    // leaves the last scroll update's result as it is, so that the update can be skipped. Children shown in a
    // burst (a page being shown) then cost one comparison each instead of a pass over all children.
    bool scrollUnaffected(QWidget* w, QEvent::Type type, const QRect& oldBase, bool hadBase, const QRect& newBase) const;

    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle disableBackground;
    int childLayout = 4;
    int space = 0;
    int paddingLeft = 0;
    int paddingTop = 0;
    int paddingRight = 0;
    int paddingBottom = 0;
    void* windowHandle = nullptr;
    bool drawBackground = true;
    bool absoluteDockAutoSize = false;
    int scrollX = 0;
    int scrollY = 0;
    bool scrollBusy = false;
    bool inLayout = false;
    // A pass asked for while one runs (a child's handler changed the size, gap, padding or mode): it runs once
    // the running pass ends.
    bool layoutAgain = false;
    // The size of the last pass: a resize event for that size (one kept while the container was hidden and
    // delivered when it is shown) needs no pass of its own.
    QSize laidOutSize;
    bool animating = false;
    bool animateWidth = false;
    bool animateHeight = false;
    QSize targetSize;

    // r moved by (dx, dy), its corner kept within the engine's coordinate range.
    static QRect shifted(const QRect& r, qint64 dx, qint64 dy);

private:
    struct Item;
    struct Box
    {
        int left, top, right, bottom, gap;
    };
    Box paddedBox() const;
    // The frame of a row (horizontal) or a column of n children: the gap, where the main and the cross axis start,
    // the room along the main axis once the gaps are taken off, and the cross size.
    struct LineFrame
    {
        qint64 gap, mainStart, crossStart, avail, crossSize;
    };
    LineFrame lineFrame(int n, bool horizontal) const;
    TEVQContainer* container() const;
    // Whether fill, drawn by the container's own paint event, would change no pixel: see the definition.
    bool fillCoveredByParent(QPainter* painter, const TEVQtLib::FillStyle& fill) const;
    bool inOwnPaint = false; // draw runs for the container's own paint event
    QScrollBar* liveBar(bool horizontal) const;
    // The widget children in child order, without windows parented to the container.
    QList<QWidget*> childWidgets() const;
    void collectItems(std::vector<Item>& items) const;
    int visibleBarThickness(bool horizontal) const;
    void layoutPass();
    void layoutDocked();
    // A child is a spacer for a row (horizontal) or a column when its direction is Auto or matches.
    static bool isSpacerFor(const QWidget* w, bool horizontal);
    // Linear distribution by ratio shares along a row or a column; one routine serves both directions.
    void layoutHorizontal(std::vector<Item>& items) { layoutLinear(items, true); }
    void layoutVertical(std::vector<Item>& items) { layoutLinear(items, false); }
    void layoutLinear(std::vector<Item>& items, bool horizontal);
    void layoutSpacers(std::vector<Item>& items, bool horizontal);
    void layoutFloat(bool horizontal);
    // w is the pass's guarded pointer to the child: placing it runs its handlers, which may delete it.
    void place(const QPointer<QWidget>& w, TEVQtLib::ITEVQWidgetBase* iface, qint64 mainPos, qint64 crossPos,
               qint64 mainSize, qint64 crossSize, bool spacer, int thickness, bool horizontal);
    void placeInRow(const QPointer<QWidget>& w, TEVQtLib::ITEVQWidgetBase* iface, qint64 x, qint64 y, qint64 width, qint64 height,
                    bool spacer, int thickness)
    {
        place(w, iface, x, y, width, height, spacer, thickness, true);
    }
    void placeInColumn(const QPointer<QWidget>& w, TEVQtLib::ITEVQWidgetBase* iface, qint64 y, qint64 x, qint64 height,
                       qint64 width, bool spacer, int thickness)
    {
        place(w, iface, y, x, height, width, spacer, thickness, false);
    }
    void applyAnimatedSize(const QSize& size);

    QPointer<QScrollBar> hBar;
    QPointer<QScrollBar> vBar;
    const QObject* hBarId = nullptr; // identity of the bound bars, kept to recognise them while they die
    const QObject* vBarId = nullptr;
    int scrollRerunDepth = 0;
    QHash<const QObject*, QRect> baseCache;
    // The geometry the container last gave each child, to notice a child moved while it gets no events.
    QHash<const QObject*, QRect> placedCache;
    struct ScrollState
    {
        bool valid = false;
        bool hasContent = false;
        QRect content;
        QSize size;
        const QObject* h = nullptr;
        const QObject* v = nullptr;
        int x = 0;
        int y = 0;
    } lastScroll;
    QVariantAnimation* animation = nullptr;
};

class TEV_EXPORT TEVQContainer : public QWidget,
                                 public TEVQtLib::ITEVQWidgetBase,
                                 public TEVQtLib::ITEVQLayoutHost
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQContainer, "qtcontainer")
public:
    enum AutoChildLayout {
        Horizontal = 0,
        Vertical = 1,
        HorFloat = 2,
        VerFloat = 3,
        NoUse = 4,
    };
    Q_ENUM(AutoChildLayout)

    explicit TEVQContainer(QWidget* parent = nullptr);
    ~TEVQContainer() override;

    static TEVQtLib::ControlInfo getProps();

    // Nothing for a null widget, the container itself or a widget it lies inside.
    void addChildWidget(QWidget* w, int ratio);
    void setChildRatio(QWidget* w, int ratio);
    void setChildLayout(AutoChildLayout mode);
    AutoChildLayout getChildLayout() const;
    void setChildSpace(int space);
    int getChildSpace() const;
    void setChildPadding(int padding);
    void setChildPadding(int left, int top, int right, int bottom);
    void getChildPadding(int& left, int& top, int& right, int& bottom) const;
    void setAbsoluteDockAutoSize(bool on);
    bool getAbsoluteDockAutoSize() const;
    // The layout pass for the current size (skipped in mode 4) and the scroll update.
    void forceResize() override;
    // A plain container in a row or column mode, without bound bars or spacers, gives a flexible child that
    // fills the cross direction its whole rectangle.
    bool placesChildWholly(TEVQtLib::LayoutSizePolicy widthPolicy,
                           TEVQtLib::LayoutSizePolicy heightPolicy) const override;

    void setBackground(const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground() const;
    void setDisableBackground(const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getDisableBackground() const;
    // State 0 is the normal background, any other state the disabled one.
    void setBackgroundState(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackgroundState(TEVQtLib::CtrlState state) const;
    void setColor(QColor color);
    void setUseFillStyle(bool use);
    bool getUseFillStyle() const;
    void setDrawBackground(bool draw);
    bool getDrawBackground() const;

    void bindScrollBar(TEVQScrollBar* bar, bool horizontal);
    TEVQScrollBar* getBindScrollBar(bool horizontal) const;
    void setScrollPos(bool horizontal, int pos);
    int getScrollPos(bool horizontal) const;
    bool startResizeAnimation(const QSize& from, const QSize& to, int durationMs);
    bool isResizeAnimationRunning() const;

    // A native child window that follows the container's rectangle; the container never destroys or hides it.
    void bindWindowHandle(void* handle);
    void unbindWindowHandle();
    void* getWindowHandle() const;

    // Designer plug-in members.
    QWidget* createWidget(QWidget* parent);
    QString domXml() const;
    QString name() const;
    QString includeFile() const;
    QString group() const;
    QString toolTip() const;
    QString whatsThis() const;
    QIcon icon() const;
    bool isContainer() const;
    void initialize(QDesignerFormEditorInterface* core);
    bool isInitialized() const;

    // The painter object, or null once it is gone (or when a derived class installed a painter of another kind).
    TEVQContainerImpl* containerImpl() const { return qobject_cast<TEVQContainerImpl*>(m_tev.impl); }

signals:
    void mouseClickEvent();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void moveBoundWindow();
    void scheduleRelayout();
    void relayoutWhenPageBuilt();
    bool initialized = false;
    bool m_relayoutPending = false;
    bool m_pagePassPending = false;
};
