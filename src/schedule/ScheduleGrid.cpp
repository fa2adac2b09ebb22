#include "schedule/ScheduleGrid.h"

#include <QHeaderView>

#include "schedule/ScheduleModel.h"
#include "schedule/ScheduleTable.h"

ScheduleGrid::ScheduleGrid(ScheduleTable& table, QWidget* parent)
    : QTableView(parent), table_(table), model_(new ScheduleModel(table, this)) {
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("双击可以在－设置项目－里修改"));
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setFixedWidth(12);
    connect(&table_, &ScheduleTable::currentChanged, this, &ScheduleGrid::showCurrent);
    connect(&table_, &ScheduleTable::rowsChanged, this, [this] {
        if (table_.isOpen()) {
            showCurrent(table_.recNo() - 1);
        }
    });
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (!syncing_ && index.isValid() && table_.isOpen()) {
            table_.setRecNo(index.row() + 1);
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

void ScheduleGrid::showCurrent(int index) {
    syncing_ = true;
    if (index < 0) {
        clearSelection();
    } else {
        selectRow(index);
        scrollTo(model_->index(index, 1));
    }
    syncing_ = false;
}
