#pragma once

#include <QSqlDatabase>
#include <QString>
#include <vector>

#include "core/AppError.h"
#include "schedule/ScheduleRow.h"

// The row a change was meant for is no longer in the file (another program changed the table).
class RowGoneError : public AppError {
  public:
    using AppError::AppError;
};

// One timetable file: an SQLite database holding the table "schedule". Every change is one
// committed transaction, so nothing is lost when the power goes right after it returns.
// All failures throw AppError with a text that names the file.
class ScheduleDb {
  public:
    // Makes a new, empty timetable file. Refuses when the path already exists.
    static void create(const QString& path);

    // Opens an existing timetable file. Never creates one: a missing file, a file that is not a
    // timetable, or one another program holds locked fails and is left untouched.
    explicit ScheduleDb(const QString& path);
    ~ScheduleDb();
    ScheduleDb(const ScheduleDb&) = delete;
    ScheduleDb& operator=(const ScheduleDb&) = delete;

    const QString& path() const { return path_; }

    // Every row, in time order.
    std::vector<ScheduleRow> rows() const;

    // Inserts a row; returns its new id. Refuses a time that is already in the table.
    qint64 insert(const ScheduleRow& row);
    // Rewrites the row with `row.id`. Refuses a time that belongs to another row; throws
    // RowGoneError when no row has that id.
    void update(const ScheduleRow& row);
    // Deletes the row with that id; throws RowGoneError when no row has it.
    void remove(qint64 id);
    void removeAll();
    // Replaces every row with `rows` in one transaction: all of them, or none on failure.
    void replaceAll(const std::vector<ScheduleRow>& rows);

  private:
    [[noreturn]] void fail(const QString& what, const QString& detail) const;
    void execOrFail(class QSqlQuery& query, const QString& what) const;
    void insertRow(const ScheduleRow& row, class QSqlQuery& query) const;
    void checkRow(const ScheduleRow& row, qint64 exceptId) const;
    void requireOneRow(const class QSqlQuery& query) const;

    QString path_;
    QString connection_;
};
