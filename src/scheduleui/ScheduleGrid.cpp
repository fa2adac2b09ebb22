#include "scheduleui/ScheduleGrid.h"

#include <QHeaderView>

#include "schedule/ScheduleTable.h"
#include "scheduleui/ScheduleModel.h"

ScheduleGrid::ScheduleGrid(ScheduleTable& table, QWidget* parent)
    : QTableView(parent), table_(table), model_(new ScheduleModel(table, this)) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::StrongFocus);  // the arrow keys move the current row too
    setToolTip(QStringLiteral("双击可以在－设置项目－里修改"));
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(12);
    connect(&table_, &ScheduleTable::currentChanged, this, &ScheduleGrid::showCurrent);
    connect(&table_, &ScheduleTable::rowsChanged, this, [this] {
        if (table_.isOpen()) {
            showCurrent(table_.recNo() - 1);
        }
    });
    // Whatever moves the highlight (a click, a press on one row and release on another, the
    // keyboard) moves the current row with it, so the row the user sees is the row acted on.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) { follow(index); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (!rows.isEmpty()) {
            follow(rows.front());
        }
    });
    connect(this, &QTableView::doubleClicked, this, [this] { emit rowDoubleClicked(); });
}

void ScheduleGrid::applyLayout() {
    setColumnHidden(0, true);
    const int widths[] = {30, 30, 30, 160, 280};
    for (int i = 0; i < 5; ++i) {
        setColumnWidth(i + 1, widths[i]);
    }
}

void ScheduleGrid::follow(const QModelIndex& index) {
    if (!syncing_ && index.isValid() && table_.isOpen() && index.row() + 1 != table_.recNo()) {
        table_.setRecNo(index.row() + 1);
    }
}

void ScheduleGrid::showCurrent(int index) {
    syncing_ = true;
    if (index < 0) {
        clearSelection();
    } else {
        setCurrentIndex(model_->index(index, 1));
        selectRow(index);
        scrollTo(model_->index(index, 1));
    }
    syncing_ = false;
}
