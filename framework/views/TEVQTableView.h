#pragma once
// The framework's themed table: a QTableView whose background, cells, header and scroll bars are painted from
// fill and text styles. Column 0 can show a check box per row (the row's check-state role) and the first
// header section a check-all box with a state of its own; a column can be given a column widget, a hidden
// TEVQContainer of framework controls painted into every cell of the column, whose controls report presses
// with customControlClicked. The whole row under the mouse is painted hot.
//
// Column widgets are watched, not owned: deleting one at any time only takes it out of the painting. The
// model is read at every paint and press, so swapping or deleting it leaves nothing behind.
#include "TEVQScrollBarPair.h"
#include "TEVQWidgetMacros.h"
#include "TEVStyleDesc.h"
#include "TEVRowIconCache.h"
#include "TEVRowTextCache.h"
#include "TEVTextCache.h"
#include "TEVViewCommon.h"
#include "TEVViewStyles.h"

#include <QHeaderView>
#include <QItemDelegate>
#include <QMap>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

#include <deque>
#include <vector>

namespace TEVQtLib {
struct ControlInfo;
}

class TEVQCheckBox;
class TEVQContainer;
class TEVQTableView;

class TEV_EXPORT TEVQTableViewImpl : public TEVQtLib::TEVQWidgetBaseImpl
{
    Q_OBJECT
public:
    explicit TEVQTableViewImpl(TEVQTableView* owner);
    ~TEVQTableViewImpl() override;

    void draw(QPainter* painter, const QRect& rect) override;
    // Designer preview data: 100 rows of five columns.
    void createComplete() override;
    bool serializeJsonValue(Json::Value*& json, bool load) override;
    // The cells' icons are found again.
    void notifyChangeLanguage() override;

    int itemHeight = 20;
    TEVQtLib::FillStyle background;
    TEVQtLib::TextStyleDesc itemTextStyle[4];
    TEVQtLib::FillStyle itemBackground[4]; // invalid until set: nothing drawn
    TEVQtLib::FillStyle headerBackground[4];
    TEVQtLib::TextStyleDesc headerTextStyle[4];
    int hoverRow = -1;
    // The item the pointer last moved over: rows inserted, moved, sorted or removed move the hot row with it, as
    // they move Qt's own hover cell, and its removal (or a reset) ends it.
    QPersistentModelIndex hoverItem;
    int scrollbarSize = 23;
    int scrollbarBtnSize = 23;
    // Paints every check box of the view; never shown. An ordinary child, so watched: once deleted, no box.
    QPointer<TEVQCheckBox> checkBox;
    bool checkstyle = false;
    // The size of the check-box image last found by name; found again under that name once the resource
    // manager's resource serial changes (another theme may hold a picture of another size under it).
    mutable QSize checkBoxImageSize{24, 24};
    mutable QString checkBoxSizeImage;
    mutable quint64 checkBoxSizeSerial = 0;
    QString checkedImage = QStringLiteral("IDB_CHECKED");
    QString uncheckedImage = QStringLiteral("IDB_UNCHECK");
    bool headerCheckState = false;
    QMap<int, QPointer<TEVQContainer>> columnWidgets;
    // The cells' icons (the icon role's image names), by cell; cleared when the styles are read again or the
    // language changes.
    TEVQtLib::TEVRowIconCache cellIcons{1024};

    // The check box's box in a cell or header section: b wide (the image's width), the full height.
    QRect checkBoxRect(const QRect& cell) const;
    // checkBoxImageSize, found again first when the pictures may have changed.
    const QSize& checkBoxSize() const;
    // The alive column widget of column, or null.
    TEVQContainer* columnWidget(int column) const;

private:
    TEVQTableView* view() const;
};

// Paints the table's background behind the scroll area's corner and viewport.
class TEV_EXPORT TEVQConerWidget : public QWidget
{
    Q_OBJECT
public:
    TEVQConerWidget(QWidget* parent, TEVQTableViewImpl* viewImpl);
    QPointer<TEVQTableViewImpl> viewImpl;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class TEV_EXPORT TEVQViewport : public TEVQConerWidget
{
    Q_OBJECT
public:
    using TEVQConerWidget::TEVQConerWidget;
};

class TEV_EXPORT TEVQTableViewitemDelegate : public QItemDelegate
{
public:
    // One framework control of a column widget: the widget (watched) and its painter.
    using Control = TEVViewPart;

    TEVQTableViewitemDelegate(TEVQTableView* view, TEVQTableViewImpl* viewImpl);
    ~TEVQTableViewitemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The container first, then its framework controls depth first in children() order; a child that is no
    // framework widget cuts off its subtree.
    static std::vector<Control> controlList(TEVQContainer* container);
    // control's rectangle in a cell whose top-left is origin (its position summed up to the container).
    static QRect controlRect(const QWidget* control, const TEVQContainer* container, const QPoint& origin);

    TEVQTableViewImpl* viewImpl;

    // How many cell texts have been measured for the centred icon and text since the delegate was made: a
    // repaint of cells whose text and font stay measures none.
    int textMeasureCount() const { return m_cellTexts.measureCount(); }

    // The view's paint of its cells runs between beginPaint and endPaint: meanwhile a column widget's controls
    // are gathered once and the pointer is asked of the window system once, not once per cell (a control added
    // to or taken from a column widget shows at the next paint). Outside (a cell painted for a drag picture),
    // each cell gathers and asks on its own.
    void beginPaint();
    void endPaint();
    // How many times a column widget's controls were gathered since the delegate was made.
    int controlGatherCount() const { return m_gathers; }

private:
    void paintColumnWidget(QPainter* painter, TEVQContainer* container, const QRect& cell) const;
    // container's controls: those gathered in this paint, or gathered into scratch.
    const std::vector<Control>& controlsOf(TEVQContainer* container, std::vector<Control>& scratch) const;
    // Where the pointer is in the viewport.
    QPoint pointerInViewport(QWidget* viewport) const;
    struct PaintControls {
        QPointer<TEVQContainer> container;
        std::vector<Control> controls;
    };
    bool m_painting = false;
    mutable bool m_pointerValid = false;
    mutable QPoint m_pointer; // in the viewport
    mutable std::deque<PaintControls> m_paintControls; // a deque: what was handed out stays where it is
    mutable int m_gathers = 0;
    TEVQTableView* m_view;
    mutable TEVQtLib::TEVRowTextCache m_cellTexts{1024}; // the cell texts (and their advances) between paints
};

class TEV_EXPORT TEVQTableHeader : public QHeaderView
{
    Q_OBJECT
public:
    TEVQTableHeader(TEVQTableViewImpl* viewImpl, Qt::Orientation orientation, TEVQTableView* parent);
    ~TEVQTableHeader() override;

    void setModel(QAbstractItemModel* model) override;
    // How many sections the last paint of the vertical header looked at: those in view, not all rows.
    int sectionsLookedAt() const { return m_sectionsLookedAt; }

    TEVQTableViewImpl* viewImpl;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The visual indices of the sections not hidden, in order; found again after rows are hidden, shown,
    // resized, moved, inserted or removed, or the model is reset or replaced.
    const std::vector<int>& shownSections();
    void sectionsChanged() { m_shownValid = false; }

    TEVQTableView* m_view;
    std::vector<int> m_shown;
    bool m_shownValid = false;
    int m_shownCount = -1;  // count() and hiddenSectionCount() when m_shown was made
    int m_shownHidden = -1;
    int m_sectionsLookedAt = 0;
    std::vector<QMetaObject::Connection> m_modelConnections;
    // The column titles between paints, by logical section (each checks its text and style on use).
    std::vector<TEVQtLib::TEVTextCache> m_titleCaches;
    // The row numbers between paints, by logical section.
    TEVQtLib::TEVRowTextCache m_rowNumbers{256};
};

// Styles (setBackground, setItemBackground, setItemTextStyle and their getters, the header's); none repaints. A
// setter given state 4 sets all four states; other states outside 0..3 are ignored (getters then give state 0).
class TEV_EXPORT TEVQTableView : public QTableView,
                                 public TEVQtLib::ITEVQWidgetBase,
                                 public TEVQScrollBarPair,
                                 public TEVViewItemStyles<TEVQTableView, true>
{
    Q_OBJECT
    TEV_WIDGET_CORE(TEVQTableView, "qtdatagrid")
public:
    explicit TEVQTableView(QWidget* parent = nullptr);
    ~TEVQTableView() override;

    static TEVQtLib::ControlInfo getProps();

    void setHeaderBackground(TEVQtLib::CtrlState state, const TEVQtLib::FillStyle& style);
    const TEVQtLib::FillStyle& getHeaderBackground(TEVQtLib::CtrlState state) const;
    void setHeaderTextStyle(TEVQtLib::CtrlState state, const TEVQtLib::TextStyleDesc& style);
    const TEVQtLib::TextStyleDesc& getHeaderTextStyle(TEVQtLib::CtrlState state) const;

    // Heights of 0 or less are ignored.
    void setItemHeight(int h);
    int getItemHeight() const;
    // Each row with a selected index, once.
    QList<int> selectedRows() const;

    void setCheckstyle(bool on);
    bool getCheckstyle() const;
    // The painted check box's image (and, when the image exists, the box size).
    void setCheckBoxImage(bool checked, QString name);
    QString getCheckBoxImage(bool checked) const;
    // The names only (what is saved); the painted box follows setCheckBoxImage.
    void setCheckedImage(QString name);
    void setUncheckedImage(QString name);
    QString getCheckedImage() const;
    QString getUncheckedImage() const;

    // Null removes the column's widget. The widget is hidden and not owned.
    void setColumnWidget(int column, TEVQContainer* widget);
    TEVQContainer* getColumnWidget(int column) const;

    // Stored; takes effect at the next setScrollbarSize.
    void setScrollbarBtnSize(bool hor, int size) override;
    // Both bars: thickness size, vertical arrow buttons scrollbarBtnSize wide.
    void setScrollbarSize(bool hor, int size) override;

    void initDemoData();
    void setModel(QAbstractItemModel* model) override;

    TEVQTableViewImpl* painter() const { return tevImpl<TEVQTableViewImpl>(); }
    TEVQTableViewitemDelegate* delegate() const { return m_delegate; }
    TEVQTableHeader* tableHeader() const { return m_horizontalHeader; }

signals:
    void headerCheckedChanged(bool checked);
    void customControlClicked(int row, const QString& name);

protected:
    void headerChecked(bool checked);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Rows scrolled by keys, the wheel or the bars under a resting pointer: the hot row is the one now under it.
    void scrollContentsBy(int dx, int dy) override;

private:
    // hoverRow becomes the row of hoverItem after the model's rows changed.
    void followHoverItem();
    std::vector<QMetaObject::Connection> m_modelConnections;
    // Watched: Qt deletes a header that setHorizontalHeader or setVerticalHeader replaces.
    QPointer<TEVQTableHeader> m_horizontalHeader;
    QPointer<TEVQTableHeader> m_verticalHeader;
    TEVQTableViewitemDelegate* m_delegate = nullptr;
    TEVQConerWidget* m_corner = nullptr;
    TEVQViewport* m_viewport = nullptr;
    friend class TEVQTableHeader;
    friend class TEVQTableViewitemDelegate;
};
