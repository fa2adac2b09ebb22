#include "scheduleui/ScheduleGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

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

void ScheduleGrid::setLocked(bool locked) {
    locked_ = locked;
}

bool ScheduleGrid::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            if (locked_) {
                // A click, a drag or a double-click would move the highlight or load a row.
                if (event->type() == QEvent::MouseButtonPress) {
                    setFocus(Qt::MouseFocusReason);  // so that the keys scroll
                }
                event->accept();
                return true;
            }
            break;
        default:
            break;
    }
    return QTableView::viewportEvent(event);  // the wheel scrolls, locked or not
}

void ScheduleGrid::keyPressEvent(QKeyEvent* event) {
    if (!locked_) {
        QTableView::keyPressEvent(event);
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
        case Qt::Key_Up:
            bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case Qt::Key_Down:
            bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case Qt::Key_PageUp:
            bar->triggerAction(QAbstractSlider::SliderPageStepSub);
            break;
        case Qt::Key_PageDown:
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            break;
        case Qt::Key_Home:
            bar->triggerAction(QAbstractSlider::SliderToMinimum);
            break;
        case Qt::Key_End:
            bar->triggerAction(QAbstractSlider::SliderToMaximum);
            break;
        default:
            event->ignore();
            return;  // Tab and the rest go on to the window
    }
    event->accept();
}

void ScheduleGrid::follow(const QModelIndex& index) {
    if (locked_ && !syncing_) {
        // Nothing but the program moves the current row while locked: the highlight goes back.
        showCurrent(table_.recNo() - 1);
        return;
    }
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
