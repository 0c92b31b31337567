// Scrolling from top to bottom, a viewport height at a time, painting every step into an image: the themed
// table (100,000 rows x 8 columns, check column on) beside a QTableView, and the themed tree (100,000 nodes,
// all expanded) beside a QTreeView, each pair on the same model. Before those: repaints of the column header,
// of the row-number header of 100,000 rows with nine in ten hidden (beside the same picture painted by walking
// every row, as each paint did before), and a row at a time scrolls.
#include "ScrollTimes.h"
#include "CScrollBarStyle.h"
#include "TEVJson.h"
#include "TEVQResourceManager.h"
#include "TEVQContainer.h"
#include "TEVQLabel.h"
#include "TEVQPushButton.h"
#include "TEVQTableView.h"
#include "TEVQTreeView.h"
#include "TEVQtLib.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyleFactory>
#include <QTableView>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace TEVQtLib;

namespace {

constexpr int kRows = 100000;
constexpr int kColumns = 8;
constexpr int kRowHeight = 20;
constexpr int kPasses = 2;

const char* const kStyle = R"({"style": [
    {"type": 1, "name": "bg", "clr": "FFF4F6F8"}, {"type": 1, "name": "row", "clr": "FFFFFFFF"},
    {"type": 1, "name": "hot", "clr": "FFD0E4F8"}, {"type": 1, "name": "sel", "clr": "FF2878DC"},
    {"type": 1, "name": "head", "clr": "FFE0E6EC"},
    {"type": 2, "name": "txt", "clr": "FF203040", "size": 13}]})";

// Cell texts made on demand; column 0 carries a check state.
class GridModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : kRows; }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : kColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return QStringLiteral("R%1 C%2 %3").arg(index.row()).arg(index.column()).arg(index.row() % 97 * 1.5);
        if (role == Qt::CheckStateRole && index.column() == 0)
            return index.row() % 3 == 0;
        return QVariant();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role == Qt::DisplayRole && orientation == Qt::Horizontal)
            return QStringLiteral("Column %1").arg(section + 1);
        return QVariant();
    }
};

// 10,000 top-level nodes with 9 children each.
QStandardItemModel* treeModel()
{
    auto* model = new QStandardItemModel;
    for (int i = 0; i < kRows / 10; ++i) {
        auto* top = new QStandardItem(QStringLiteral("String %1").arg(i));
        QList<QStandardItem*> children;
        for (int k = 0; k < 9; ++k)
            children << new QStandardItem(QStringLiteral("Inverter %1.%2").arg(i).arg(k));
        top->appendRows(children);
        model->appendRow(top);
    }
    return model;
}

// Best milliseconds of one scroll from top to bottom, painting the view after every step.
double scrollMs(QAbstractItemView* view)
{
    const std::vector<double> times = benchsupport::scrollPassesMs(view, kPasses);
    return *std::min_element(times.begin(), times.end());
}

void report(const char* name, double ours, const char* refName, double reference)
{
    std::printf("%-14s %9.1f ms   %-10s %9.1f ms   ratio %.2f\n", name, ours, refName, reference, ours / reference);
}

// The row-number header painted by walking every row to find those with a height in view, into image.
void paintEveryRow(QHeaderView* h, const TEVQTableView& table, QImage& image)
{
    QPainter p(&image);
    const FillStyle& background = table.getHeaderBackground(CtrlStateNormal);
    TEVQWidgetBaseImpl::drawFillStyle(&p, background, QRect(0, 0, h->width(), h->height()));
    for (int i = 0; i < h->count(); ++i) {
        const QRect r(0, h->sectionViewportPosition(i), h->width(), h->sectionSize(i));
        if (r.height() <= 0 || r.bottom() < 0 || r.top() > h->height())
            continue;
        TEVQWidgetBaseImpl::drawFillStyle(&p, background, r);
        TEVQWidgetBaseImpl::drawText(&p, h->model()->headerData(i, Qt::Vertical).toString(),
                                     table.getHeaderTextStyle(CtrlStateNormal), r.adjusted(2, 2, -2, -2));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new CScrollBarStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    init();
    TEVQResourceManager* rm = TEVQResourceManager::getInstance();
    Json::Value styles;
    json::parse(std::string(kStyle), styles);
    rm->readStyle(rm->defaultStore(), json::get(styles, "style"));
    auto fill = [&](const char* name) {
        FillStyle f;
        rm->getFillStyle(QString::fromLatin1(name), f);
        return f;
    };
    TextStyleDesc text;
    rm->getTextStyle(QStringLiteral("txt"), text);
    const QSize size(960, 600);

    GridModel grid;
    QTableView tableRef;
    tableRef.resize(size);
    tableRef.setModel(&grid);
    tableRef.verticalHeader()->hide();
    tableRef.verticalHeader()->setMinimumSectionSize(1);
    tableRef.verticalHeader()->setDefaultSectionSize(kRowHeight);
    tableRef.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    tableRef.show();

    TEVQTableView table;
    table.resize(size);
    table.setModel(&grid);
    table.setBackground(CommonCtrlStateNormal, fill("bg"));
    table.setItemBackground(CtrlState(4), fill("row"));
    table.setItemBackground(CtrlStateHot, fill("hot"));
    table.setItemBackground(CtrlStatePressed, fill("sel"));
    table.setItemTextStyle(CtrlState(4), text);
    table.setHeaderBackground(CtrlState(4), fill("head"));
    table.setHeaderTextStyle(CtrlState(4), text);
    table.setItemHeight(kRowHeight);
    table.setCheckstyle(true);
    table.show();

    QStandardItemModel* nodes = treeModel();
    QTreeView treeRef;
    treeRef.resize(size);
    treeRef.setModel(nodes);
    treeRef.header()->hide();
    treeRef.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    treeRef.expandAll();
    treeRef.show();

    TEVQTreeView tree;
    tree.resize(size);
    tree.setModel(nodes);
    tree.setBackground(CommonCtrlStateNormal, fill("bg"));
    tree.setItemBackground(CtrlState(4), fill("row"));
    tree.setItemBackground(CtrlStateHot, fill("hot"));
    tree.setItemBackground(CtrlStatePressed, fill("sel"));
    tree.setItemTextStyle(CtrlState(4), text);
    tree.setItemHeight(kRowHeight);
    tree.expandAll();
    tree.show();
    QApplication::processEvents();

    std::printf("Repainting the column header with nothing changed (median of 5 x 400 paints):\n");
    const double headerUs = benchsupport::repaintUs(table.horizontalHeader());
    const double headerRefUs = benchsupport::repaintUs(tableRef.horizontalHeader());
    std::printf("%-14s %9.1f us   %-10s %9.1f us   ratio %.2f\n", "table header", headerUs, "QHeaderView",
                headerRefUs, headerUs / headerRefUs);
    {
        // Rows numbered 1 to 100,000, nine in ten hidden (hidden before the header shows, which otherwise
        // places every section again at each), scrolled to the middle.
        QStandardItemModel numbered(kRows, 1);
        TEVQTableView rows;
        rows.resize(320, 600);
        rows.setModel(&numbered);
        rows.setHeaderBackground(CtrlState(4), fill("head"));
        rows.setHeaderTextStyle(CtrlState(4), text);
        rows.setItemHeight(kRowHeight);
        for (int r = 0; r < kRows; ++r)
            rows.setRowHidden(r, r % 10 != 0);
        rows.verticalHeader()->show();
        rows.show();
        QApplication::processEvents();
        rows.verticalScrollBar()->setValue(rows.verticalScrollBar()->maximum() / 2);
        QApplication::processEvents();
        QHeaderView* numbers = rows.verticalHeader();
        const double ours = benchsupport::repaintUs(numbers, 100);
        QImage image(numbers->size(), QImage::Format_ARGB32_Premultiplied);
        std::vector<double> times;
        for (int pass = 0; pass < 5; ++pass) {
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < 100; ++i)
                paintEveryRow(numbers, rows, image);
            times.push_back(timer.nsecsElapsed() / 1e3 / 100);
        }
        std::sort(times.begin(), times.end());
        std::printf("Repainting the row-number header, 100,000 rows, 9 in 10 hidden (median of 5 x 100 paints):\n");
        std::printf("%-14s %9.1f us   %-10s %9.1f us   ratio %.3f\n", "row numbers", ours, "every row",
                    times[2], ours / times[2]);
    }
    {
        // A column drawn through a container of controls (a label and a button) in every row: the view
        // repainted with nothing changed, beside Qt's table of the same rows.
        TEVQTableView controls;
        controls.resize(size);
        controls.setModel(&grid);
        controls.setItemTextStyle(CtrlState(4), text);
        controls.setItemHeight(kRowHeight);
        auto* cell = new TEVQContainer(&controls);
        cell->resize(120, kRowHeight);
        auto* label = new TEVQLabel(cell);
        label->setText(QStringLiteral("state"));
        label->setGeometry(2, 2, 60, kRowHeight - 4);
        auto* button = new TEVQPushButton(cell);
        button->setText(QStringLiteral("Open"));
        button->setGeometry(64, 2, 52, kRowHeight - 4);
        controls.setColumnWidget(2, cell);
        controls.show();
        QApplication::processEvents();
        std::printf("Repainting a table with a column of controls, nothing changed (median of 5 x 100 paints):\n");
        const double ours = benchsupport::repaintUs(controls.viewport(), 100);
        const double reference = benchsupport::repaintUs(tableRef.viewport(), 100);
        std::printf("%-14s %9.1f us   %-10s %9.1f us   ratio %.2f\n", "control column", ours, "QTableView",
                    reference, ours / reference);
    }
    std::printf("Scrolling a row at a time, per paint (median of 3 x 200 paints):\n");
    const double tableStep = benchsupport::rowStepUs(&table, kRowHeight);
    const double tableStepRef = benchsupport::rowStepUs(&tableRef, kRowHeight);
    std::printf("%-14s %9.1f us   %-10s %9.1f us   ratio %.2f\n", "TEVQTableView", tableStep, "QTableView",
                tableStepRef, tableStep / tableStepRef);
    const double treeStep = benchsupport::rowStepUs(&tree, tree.visualRect(nodes->index(0, 0)).height());
    const double treeStepRef = benchsupport::rowStepUs(&treeRef, treeRef.visualRect(nodes->index(0, 0)).height());
    std::printf("%-14s %9.1f us   %-10s %9.1f us   ratio %.2f\n", "TEVQTreeView", treeStep, "QTreeView",
                treeStepRef, treeStep / treeStepRef);
    if (argc > 1 && QByteArray(argv[1]) == "--quick") {
        delete nodes;
        return 0;
    }
    std::printf("Scrolling from top to bottom in a %dx%d view, painted every page (best of %d passes):\n",
                size.width(), size.height(), kPasses);
    std::printf("table: %d rows x %d columns of %d px, check column on; tree: %d nodes, all expanded\n", kRows,
                kColumns, kRowHeight, kRows);
    report("TEVQTableView", scrollMs(&table), "QTableView", scrollMs(&tableRef));
    report("TEVQTreeView", scrollMs(&tree), "QTreeView", scrollMs(&treeRef));
    delete nodes;
    return 0;
}
