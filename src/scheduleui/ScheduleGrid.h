#pragma once

#include <QTableView>

class ScheduleTable;
class ScheduleModel;

// The main window's read-only timetable list. Its highlighted row is the table's current row in
// both directions: every move of the highlight (mouse or keyboard) makes its row current, and
// every move of the current row by the program moves the highlight.
class ScheduleGrid : public QTableView {
    Q_OBJECT
  public:
    explicit ScheduleGrid(ScheduleTable& table, QWidget* parent = nullptr);

    // Hides the leading field and sets the widths of the first five shown columns.
    void applyLayout();

    // Locked (while ringing is on), the list still scrolls and can be read, but neither a click
    // nor a key moves the current row, which is the bell's; the arrow and page keys scroll.
    void setLocked(bool locked);
    bool locked() const { return locked_; }

  signals:
    void rowDoubleClicked();

  protected:
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showCurrent(int index);
    void follow(const QModelIndex& index);

    ScheduleTable& table_;
    ScheduleModel* model_;
    bool syncing_ = false;
    bool locked_ = false;
};
