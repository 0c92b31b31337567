#include "TEVQTableView.h"

#include "TEVFlags.h"
#include "TEVJson.h"
#include "TEVQCheckBox.h"
#include "TEVQContainer.h"
#include "TEVQControlInfo.h"
#include "TEVQResourceManager.h"
#include "TEVQScrollBar.h"
#include "TEVViewStyles.h"

#include <QCursor>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QSet>
#include <QStandardItemModel>

using namespace TEVQtLib;

namespace {

} // namespace

// ---- painter -------------------------------------------------------------------------------------------------

TEVQTableViewImpl::TEVQTableViewImpl(TEVQTableView* ownerView) : TEVQWidgetBaseImpl(ownerView, TEVQTableView::typeName())
{
    for (FillStyle& f : itemBackground)
        f.valid = false;
    checkBox = new TEVQCheckBox(ownerView);
    // It paints the cells: none of the page's, and read back it would become a real check box on the table.
    addOwnPart(checkBox);
    checkBox->setShowText(false);
    checkBox->setBackground(CtrlState(4), FillStyle());
    checkBox->setCheckedBackground(CtrlState(4), FillStyle());
    checkBox->setVisible(false);
    // Its look is the table's: a theme change, which walks every framework widget, must not give it the
    // theme's look of the application's check boxes.
    checkBox->painter()->setThemeNameValue(QString());
}

TEVQTableViewImpl::~TEVQTableViewImpl() = default;

TEVQTableView* TEVQTableViewImpl::view() const { return static_cast<TEVQTableView*>(owner); }

void TEVQTableViewImpl::draw(QPainter* painter, const QRect& rect) { drawFillStyle(painter, background, rect); }

QRect TEVQTableViewImpl::checkBoxRect(const QRect& cell) const
{
    return QRect(cell.x() + 5, cell.y(), checkBoxSize().width(), cell.height());
}

const QSize& TEVQTableViewImpl::checkBoxSize() const
{
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    if (!checkBoxSizeImage.isEmpty() && checkBoxSizeSerial != rm->resourceSerial()) {
        checkBoxSizeSerial = rm->resourceSerial();
        // A name the stores no longer hold keeps the size found last.
        if (const QImage* image = rm->getImage(checkBoxSizeImage, false))
            checkBoxImageSize = image->size();
    }
    return checkBoxImageSize;
}

TEVQContainer* TEVQTableViewImpl::columnWidget(int column) const
{
    if (columnWidgets.isEmpty())
        return nullptr;
    return columnWidgets.value(column).data();
}

void TEVQTableViewImpl::createComplete()
{
    TEVQTableView* v = view();
    if (!tevIsQtEmulator() || !v)
        return;
    auto* model = new QStandardItemModel(v);
    const QString headers[] = {QObject::tr("Col1"), QObject::tr("Col2"), QObject::tr("Col3"), QObject::tr("Col4"),
                               QObject::tr("Col5")};
    for (int c = 0; c < 5; ++c)
        model->setHorizontalHeaderItem(c, new QStandardItem(headers[c]));
    for (int r = 0; r < 100; ++r) {
        for (int c = 0; c < 5; ++c)
            model->setItem(r, c, new QStandardItem(QStringLiteral("item %1 %2").arg(r).arg(c)));
    }
    v->setModel(model);
}

void TEVQTableViewImpl::notifyChangeLanguage()
{
    TEVQWidgetBaseImpl::notifyChangeLanguage();
    cellIcons.clear();
}

bool TEVQTableViewImpl::serializeJsonValue(Json::Value*& json, bool load)
{
    if (load)
        cellIcons.clear(); // the styles are read again: so are the pictures
    const bool result = TEVQWidgetBaseImpl::serializeJsonValue(json, load);
    TEVQTableView* v = view();
    if (!json || !v)
        return result;
    Json::Value& element = *json;
    TEVViewStyleTable styles;
    styles.rowStyles(background, itemBackground, itemTextStyle);
    styles.fillGroup(10, headerBackground);
    styles.textGroup(14, headerTextStyle);
    if (load) {
        styles.read(element);
        if (const Json::Value* attrs = json::find(element, "attr")) {
            bool flag = false;
            if (json::read(*attrs, "multiselect", flag))
                v->setSelectionMode(flag ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
            int height = 0;
            // A height of 0 or less would collapse the header as well as the rows: both are left alone.
            if (json::read(*attrs, "itemHeight", height) && height > 0) {
                height = qMin(height, QWIDGETSIZE_MAX);
                v->setItemHeight(height);
                v->horizontalHeader()->setFixedHeight(height);
            }
            if (json::read(*attrs, "checkstyle", flag))
                v->setCheckstyle(flag);
            QString name;
            if (json::read(*attrs, "checkedImg", name))
                v->setCheckBoxImage(true, name);
            if (json::read(*attrs, "uncheckImg", name))
                v->setCheckBoxImage(false, name);
        }
        readScrollbarChildJson(element, v);
        return result;
    }
    styles.write(element);
    Json::Value& attrs = ownAttrs(element, {"multiselect", "itemHeight", "checkstyle", "checkedImg", "uncheckImg"});
    if (v->selectionMode() == QAbstractItemView::ExtendedSelection)
        attrs["multiselect"] = true;
    attrs["itemHeight"] = v->getItemHeight();
    if (checkstyle)
        attrs["checkstyle"] = true;
    // Written even when empty: an absent key reads back as the built-in image.
    attrs["checkedImg"] = json::fromQString(v->getCheckBoxImage(true));
    attrs["uncheckImg"] = json::fromQString(v->getCheckBoxImage(false));
    return result;
}

// ---- background widgets --------------------------------------------------------------------------------------

TEVQConerWidget::TEVQConerWidget(QWidget* parent, TEVQTableViewImpl* impl) : QWidget(parent), viewImpl(impl) {}

void TEVQConerWidget::paintEvent(QPaintEvent*)
{
    if (viewImpl)
        tevFillViewBackground(this, viewImpl->background);
}

// ---- widget --------------------------------------------------------------------------------------------------

TEVQTableView::TEVQTableView(QWidget* parent) : QTableView(parent), TEVQScrollBarPair(true)
{
    tevSetImpl(new TEVQTableViewImpl(this), false);
    m_delegate = new TEVQTableViewitemDelegate(this, painter());
    setItemDelegate(m_delegate);
    auto* horizontal = new TEVQScrollBar(Qt::Horizontal, this);
    auto* vertical = new TEVQScrollBar(Qt::Vertical, this);
    m_horizontalHeader = new TEVQTableHeader(painter(), Qt::Horizontal, this);
    m_verticalHeader = new TEVQTableHeader(painter(), Qt::Vertical, this);
    setVerticalScrollBar(vertical);
    setHorizontalScrollBar(horizontal);
    setBars(horizontal, vertical);
    setHorizontalHeader(m_horizontalHeader);
    setVerticalHeader(m_verticalHeader);
    // As the table's own header: sections answer clicks; rows may be as low as their height says.
    m_horizontalHeader->setSectionsClickable(true);
    m_verticalHeader->setMinimumSectionSize(1);
    m_verticalHeader->setDefaultSectionSize(painter()->itemHeight);
    m_verticalHeader->hide();
    setShowGrid(false);
    m_corner = new TEVQConerWidget(this, painter());
    setCornerWidget(m_corner);
    m_viewport = new TEVQViewport(this, painter());
    setViewport(m_viewport);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    painter()->applyTheme();
}

TEVQTableView::~TEVQTableView()
{
    // Nothing may reach the painter object once it is gone: the viewport filter, the delegate, the headers
    // and the background widgets.
    viewport()->removeEventFilter(this);
    for (const QMetaObject::Connection& c : m_modelConnections)
        disconnect(c);
    setItemDelegate(nullptr);
    delete m_delegate;
    m_delegate = nullptr;
    for (TEVQTableHeader* header : {m_horizontalHeader.data(), m_verticalHeader.data()}) {
        if (header)
            header->viewImpl = nullptr;
    }
}

void TEVQTableView::setHeaderBackground(CtrlState state, const FillStyle& style)
{
    tevSetStates(painter()->headerBackground, state, style);
}
const FillStyle& TEVQTableView::getHeaderBackground(CtrlState state) const
{
    return painter()->headerBackground[tevSafeState(state)];
}
void TEVQTableView::setHeaderTextStyle(CtrlState state, const TextStyleDesc& style)
{
    tevSetStates(painter()->headerTextStyle, state, style);
}
const TextStyleDesc& TEVQTableView::getHeaderTextStyle(CtrlState state) const
{
    return painter()->headerTextStyle[tevSafeState(state)];
}

void TEVQTableView::setItemHeight(int h)
{
    if (h <= 0)
        return;
    painter()->itemHeight = h;
    QHeaderView* rows = verticalHeader();
    rows->setDefaultSectionSize(h);
    // Qt keeps the height a hidden row had, to give it back when the row is shown: it comes back as high as
    // the others now are.
    for (int i = 0, hidden = rows->hiddenSectionCount(); i < rows->count() && hidden > 0; ++i) {
        if (rows->isSectionHidden(i)) {
            rows->resizeSection(i, h);
            --hidden;
        }
    }
}

int TEVQTableView::getItemHeight() const { return painter()->itemHeight; }

QList<int> TEVQTableView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    QSet<int> seen;
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        if (!seen.contains(index.row())) {
            seen.insert(index.row());
            rows.append(index.row());
        }
    }
    return rows;
}

void TEVQTableView::setCheckstyle(bool on) { painter()->checkstyle = on; }
bool TEVQTableView::getCheckstyle() const { return painter()->checkstyle; }

void TEVQTableView::setCheckBoxImage(bool checked, QString name)
{
    TEVQTableViewImpl* p = painter();
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    if (const QImage* image = rm->getImage(name, false)) {
        p->checkBoxImageSize = image->size();
        p->checkBoxSizeImage = name;
        p->checkBoxSizeSerial = rm->resourceSerial();
    }
    if (checked) {
        p->checkedImage = name;
        if (p->checkBox)
            p->checkBox->setCheckedIcon(name);
    } else {
        p->uncheckedImage = name;
        if (p->checkBox)
            p->checkBox->setUncheckIcon(name);
    }
}

QString TEVQTableView::getCheckBoxImage(bool checked) const
{
    return checked ? painter()->checkedImage : painter()->uncheckedImage;
}

void TEVQTableView::setCheckedImage(QString name) { painter()->checkedImage = name; }
void TEVQTableView::setUncheckedImage(QString name) { painter()->uncheckedImage = name; }
QString TEVQTableView::getCheckedImage() const { return painter()->checkedImage; }
QString TEVQTableView::getUncheckedImage() const { return painter()->uncheckedImage; }

void TEVQTableView::headerChecked(bool checked) { emit headerCheckedChanged(checked); }

void TEVQTableView::setColumnWidget(int column, TEVQContainer* widget)
{
    if (!widget) {
        painter()->columnWidgets.remove(column);
        return;
    }
    widget->setVisible(false);
    painter()->columnWidgets.insert(column, widget);
}

TEVQContainer* TEVQTableView::getColumnWidget(int column) const { return painter()->columnWidget(column); }

void TEVQTableView::setScrollbarBtnSize(bool, int size) { painter()->scrollbarBtnSize = size; }

void TEVQTableView::setScrollbarSize(bool, int size)
{
    painter()->scrollbarSize = size;
    const QString sheet =
        QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } "
                       "QScrollBar::add-line:vertical{ width:%3px;height:%3px; subcontrol-origin: margin;} "
                       "QScrollBar::sub-line:vertical{ width:%3px;height:%3px;subcontrol-origin: margin; }")
            .arg(painter()->scrollbarSize)
            .arg(painter()->scrollbarSize)
            .arg(painter()->scrollbarBtnSize);
    for (bool h : {false, true}) {
        if (TEVQScrollBar* b = bar(h))
            b->setStyleSheet(sheet);
    }
}

void TEVQTableView::initDemoData() { painter()->createComplete(); }

void TEVQTableView::setModel(QAbstractItemModel* model)
{
    painter()->hoverRow = -1;
    painter()->hoverItem = QPersistentModelIndex();
    for (const QMetaObject::Connection& c : m_modelConnections)
        disconnect(c);
    m_modelConnections.clear();
    QTableView::setModel(model);
    if (!model)
        return;
    const auto follow = [this] { followHoverItem(); };
    m_modelConnections = {connect(model, &QAbstractItemModel::rowsInserted, this, follow),
                          connect(model, &QAbstractItemModel::rowsRemoved, this, follow),
                          connect(model, &QAbstractItemModel::rowsMoved, this, follow),
                          connect(model, &QAbstractItemModel::layoutChanged, this, follow),
                          connect(model, &QAbstractItemModel::modelReset, this, follow),
                          // The hovered cell's column removed: its row, still there, keeps the hot look.
                          connect(model, &QAbstractItemModel::columnsRemoved, this, [this] {
                              TEVQTableViewImpl* d = painter();
                              if (d && d->hoverRow != -1 && !d->hoverItem.isValid())
                                  d->hoverItem = this->model()->index(d->hoverRow, 0, rootIndex());
                          })};
}

void TEVQTableView::followHoverItem()
{
    TEVQTableViewImpl* d = painter();
    if (!d || d->hoverRow == -1)
        return;
    const int row = d->hoverItem.isValid() ? d->hoverItem.row() : -1;
    if (row != d->hoverRow) {
        d->hoverRow = row;
        viewport()->update();
    }
}

// The viewport's paint events go on to paintEvent, which lays the background.
bool TEVQTableView::eventFilter(QObject* watched, QEvent* event) { return QTableView::eventFilter(watched, event); }

void TEVQTableView::leaveEvent(QEvent* event)
{
    QTableView::leaveEvent(event);
    painter()->hoverItem = QPersistentModelIndex();
    if (painter()->hoverRow != -1) {
        painter()->hoverRow = -1;
        viewport()->update();
    }
}

void TEVQTableView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    TEVQTableViewImpl* d = painter();
    if (!d || dy == 0)
        return;
    // Qt's own hover cell moves to the cell now under the pointer; the hot row goes with it, also when it had
    // gone with its row (over no row, as after a move there, it stays).
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    const QModelIndex index = viewport()->rect().contains(at) ? indexAt(at) : QModelIndex();
    if (!index.isValid())
        return;
    d->hoverItem = index;
    if (index.row() != d->hoverRow) {
        d->hoverRow = index.row();
        viewport()->update();
    }
}

void TEVQTableView::paintEvent(QPaintEvent* event)
{
    // This event is the viewport's, whichever widget the viewport is: the background goes under the cells,
    // once (a second fill would cover a translucent background with itself).
    tevFillViewBackground(viewport(), painter()->background);
    if (m_delegate)
        m_delegate->beginPaint();
    QTableView::paintEvent(event);
    if (m_delegate)
        m_delegate->endPaint();
}

ControlInfo TEVQTableView::getProps()
{
    using W = TEVQTableView;
    ControlInfo info = tevControlInfo(typeName(), "TableView", "Control TableView", "TEVQTableView", "");
    appendStyleRows(info, QStringLiteral("ItemBg"));
    info.props.append(
        tevFillStyleRow<W>(QStringLiteral("HeadItemBg"), &W::setHeaderBackground, &W::getHeaderBackground));
    info.props.append(
        tevTextStyleRow<W>(QStringLiteral("HeadTextStyle"), &W::setHeaderTextStyle, &W::getHeaderTextStyle));
    info.props.append(tevIntRow<W>(QStringLiteral("ItemHeight"), &W::setItemHeight, &W::getItemHeight));
    info.props.append(tevBoolRow<W>(QStringLiteral("CheckStyle"), &W::setCheckstyle, &W::getCheckstyle));
    // A designer edit of the images changes the painted box too, as reading the element again would.
    info.props.append(tevTextRow<W>(
        QStringLiteral("CheckedImage"), PropImage, [](W* w, const QString& v) { w->setCheckBoxImage(true, v); },
        &W::getCheckedImage));
    info.props.append(tevTextRow<W>(
        QStringLiteral("UncheckedImage"), PropImage, [](W* w, const QString& v) { w->setCheckBoxImage(false, v); },
        &W::getUncheckedImage));
    return info;
}
