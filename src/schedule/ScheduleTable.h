#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "schedule/ScheduleRow.h"

class ScheduleDb;

// The working timetable: one open table of the data folder and its current row. Rows are kept
// in time order; every change is stored before the call returns. Operations on a closed table
// throw AppError.
class ScheduleTable : public QObject {
    Q_OBJECT
  public:
    explicit ScheduleTable(QObject* parent = nullptr);
    ~ScheduleTable() override;

    void setFolder(const QString& folder);
    const QString& folder() const { return folder_; }

    // Opens a table by name ("temp.dat"...) in the folder; the first row becomes current.
    // On failure the table stays closed.
    void open(const QString& name);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const QString& name() const { return name_; }
    QString filePath() const;

    void first();
    void next();
    bool eof() const;
    bool locate(int hour, int minute, int second);
    // 1-based position of the current row; 0 on an empty table.
    int recNo() const;
    // Moves to row n (clamped to the table; nothing happens on an empty table).
    void setRecNo(int n);

    const ScheduleRow& current() const;

    // Makes the row with that id current; false (nothing moves) when no row has it.
    bool locateId(qint64 id);

    void append(const ScheduleRow& row);
    void changeCurrent(const ScheduleRow& row);
    // Rewrites the row with that id, which then becomes current.
    void changeRow(qint64 id, const ScheduleRow& row);
    void deleteCurrent();
    // Removes every row of the named table. Runs on the closed table, as clear-all does.
    void emptyTable(const QString& name);

    // Read-only view of every row, in time order (empty when closed).
    const std::vector<ScheduleRow>& rows() const { return rows_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }

  signals:
    // The set of rows changed (open, close, any edit).
    void rowsChanged();
    // The current row moved; -1 when there is none.
    void currentChanged(int index);

  private:
    void requireOpen() const;
    void requireRow() const;
    void reload(qint64 currentId);
    // Runs a change; when its row turned out to be gone, reads the file again before the error
    // goes on, so the list shows what the file now holds.
    template <typename Change>
    void guardedChange(Change change);
    void setCurrent(int index);

    QString folder_;
    QString name_;
    std::unique_ptr<ScheduleDb> db_;
    std::vector<ScheduleRow> rows_;
    int current_ = -1;
    bool eof_ = true;
};
