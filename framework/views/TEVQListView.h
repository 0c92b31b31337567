#pragma once
// The template list view: a QListView whose rows are drawn by an item template, one hidden TEVQContainer with
// framework controls inside. For every visible row the delegate lets the application fill the template (the
// display callback), lays the template out at the row's size and paints each framework control of it into the
// row through the control's own painter. A press on a part of a row is reported with the part and the row;
// the text of selectable rich text labels can be highlighted across rows by dragging.
//
// The template and its parts are watched, not owned: deleting the template or one of its controls at any time
// only takes them out of the painting. Row caches (hit rectangles, label HTML) are dropped when the model's
// rows change; the text highlight moves with rows inserted or removed before it and ends with a row it ends in,
// a reset, a reordering, another model, root or template.
#include "TEVQScrollBarPair.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVViewCommon.h"

#include <QItemDelegate>
#include <QListView>
#include <QMap>
#include <QPointer>
#include <QVector>

#include <vector>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQLabelEx;
class TEVQListView;
class TEVQListViewItemDelegate;

class TEV_EXPORT TEVQListViewImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    using SizeCallBack = QSize (*)(const TEVQListView*, const QStyleOptionViewItem&, const QModelIndex&);
    using DisplayCallBack = void (*)(const TEVQListView*, const QWidget*, const QModelIndex&);
    using LabelExCallBack = void (*)(const TEVQListView*, TEVQLabelEx*, const QModelIndex&);

    explicit TEVQListViewImpl(TEVQListView* owner);
    ~TEVQListViewImpl() override;

    bool serializeJsonValue(Json::Value*& json, bool load) override;
    // Takes the view's first container child as the template.
    void createComplete() override;

    bool enableSelection = false;
    int itemHeight = 20; // 0 means 20
    int itemWidth = 20;  // 0 means 20
    QPointer<QWidget> itemTemplate;
    TEVQtLib::FillStyle background;
    TEVQtLib::FillStyle itemBackground[4]; // invalid until set: nothing drawn
    SizeCallBack sizeCallBack = nullptr;
    DisplayCallBack displayCallBack = nullptr;
    LabelExCallBack labelExCallBack = nullptr; // stored and returned only
    // Per row: the view rectangle of each template part (by its index in the template) as last painted.
    QMap<int, QMap<int, QRect>> rowPartRects;
    // Per row: the HTML of each rich text label of the row (by its index in the template) as first painted.
    QMap<int, QMap<int, QString>> rowHtml;

private:
    TEVQListView* view() const;
};

class TEV_EXPORT TEVQListViewItemDelegate : public QItemDelegate
{
public:
    struct HighlightEnd {
        int row = -1;
        int block = -1;
        int line = -1;
        int column = -1;
    };
    // One framework control of the template: its widget (watched) and painter.
    using Part = TEVViewPart;

    TEVQListViewItemDelegate(TEVQListView* view, TEVQListViewImpl* viewImpl);
    ~TEVQListViewItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // Empties the parts and collects them from t: t's painter first, then its children depth-first; a widget
    // that is no framework widget cuts off its subtree.
    void collectParts(QWidget* t);
    void clearHighlight();
    // The highlight follows its rows: rows inserted at start, or removed from start to end, before them move
    // it; a removed row it ends in ends it, and the drag.
    void rowsInserted(int start, int count);
    void rowsRemoved(int start, int end);
    // The topmost part (last in order, from index 1) whose rectangle in row holds pos; -1 when none.
    int partAt(int row, const QPoint& pos) const;

    QPointer<QWidget> hoveredPart;
    TEVQListViewImpl* viewImpl;
    std::vector<Part> templateParts;
    HighlightEnd highlightStart;
    HighlightEnd highlightEnd;
    bool selecting = false;
    bool cursorOverridden = false;
    QPoint pointerInViewport{-1, -1}; // the global cursor position in the viewport, taken when a paint begins

private:
    // Gives the label (template part index part) its cached HTML of the row and the part's page size before a
    // hit test.
    void prepareLabel(TEVQLabelEx* label, int row, int part, const QRect& partRect) const;
    TEVQListView* m_view;
};

class TEV_EXPORT TEVQListView : public QListView, public TEVQtLib::ITEVQWidgetBase, public TEVQScrollBarPair
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQListView, "qtlistview")
public:
    explicit TEVQListView(QWidget* parent = nullptr);
    ~TEVQListView() override;

    static TEVQtLib::ControlInfo getProps();

    // t must be a framework container; anything else (and null) leaves the template as it is.
    void setItemTemplate(QWidget* t);
    QWidget* getitemTemplate() const;
    void setItemDisplayCallBack(TEVQListViewImpl::DisplayCallBack cb);
    TEVQListViewImpl::DisplayCallBack getItemDisplayCallBack() const;
    void setItemForSizeCallBack(TEVQListViewImpl::SizeCallBack cb);
    TEVQListViewImpl::SizeCallBack getItemForSizeCallBack() const;
    void setLabelExCallBack(TEVQListViewImpl::LabelExCallBack cb);
    TEVQListViewImpl::LabelExCallBack getLabelExCallBack() const;
    void setItemHeight(int height);
    int getItemHeight() const;
    void setItemWidth(int width);
    int getItemWidth() const;
    void setEnableSelection(bool on);
    bool getEnableSelection() const;
    void clearHighLight();

    void setBackground(TEVQtLib::CommonCtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getBackground(TEVQtLib::CommonCtrlState state) const;
    // States outside 0..3 address state 0.
    void setItemBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getItemBackground(TEVQtLib::CtrlState state) const;

    // A model of 20 empty rows.
    void initDemoData();

    // Both bars: "QScrollBar::vertical{ width:N; } QScrollBar::horizontal{ height:N; }", whatever hor says.
    void setScrollbarSize(bool hor, int size) override;

    TEVQListViewImpl* painter() const { return tevImpl<TEVQListViewImpl>(); }
    TEVQListViewItemDelegate* delegate() const { return m_delegate; }

    void setModel(QAbstractItemModel* model) override;
    void setRootIndex(const QModelIndex& index) override;
    void reset() override;

signals:
    void pressCtrl(QWidget* part, const QModelIndex& index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Row caches follow the model.
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QVector<int>& roles = QVector<int>()) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    void dropRowCaches();
    // The rows the highlight was made in are gone or moved: it ends, and so does a drag.
    void endHighlight();
    TEVQListViewItemDelegate* m_delegate = nullptr;
    // The model's reorderings (a sort, a move), after which the rows' cached HTML belongs to other rows.
    QMetaObject::Connection m_layoutChanged;
    QMetaObject::Connection m_rowsMoved;
    friend class TEVQListViewItemDelegate;
};
