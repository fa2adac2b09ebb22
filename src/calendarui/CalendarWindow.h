#pragma once

#include <QDialog>
#include <functional>

class CalendarBook;
class Dialogs;
class EventLog;
class HandlerGuard;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The "校历" window: the school calendar's entries in date order, and a line to add one
// (类型, 开始, 结束, 按星期, 运行模式, 说明). Each change is saved to the calendar file at once;
// a refused one says why and changes nothing.
class CalendarWindow : public QDialog {
    Q_OBJECT
  public:
    CalendarWindow(CalendarBook& book, Dialogs& dialogs, EventLog& log, HandlerGuard& guard,
                   QWidget* parent = nullptr);

    // Called after each saved change, so the main window can show the new day state.
    std::function<void()> changed;

    // Shows the book's entries again.
    void refresh();

    // The controls, for the tests.
    QTableWidget* list = nullptr;
    QComboBox* kind = nullptr;
    QDateEdit* from = nullptr;
    QDateEdit* to = nullptr;
    QComboBox* weekday = nullptr;
    QComboBox* runMode = nullptr;
    QLineEdit* note = nullptr;
    QPushButton* add = nullptr;
    QPushButton* remove = nullptr;

    void addClick();
    void removeClick();

  private:
    void kindChanged();

    CalendarBook& book_;
    Dialogs& dialogs_;
    EventLog& log_;
    HandlerGuard& guard_;
};
