#pragma once

#include <QSqlDatabase>
#include <QString>
#include <vector>

#include "schedule/ScheduleRow.h"

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
    // Rewrites the row with `row.id`. Refuses a time that belongs to another row.
    void update(const ScheduleRow& row);
    void remove(qint64 id);
    void removeAll();
    // Replaces every row with `rows` in one transaction: all of them, or none on failure.
    void replaceAll(const std::vector<ScheduleRow>& rows);

  private:
    [[noreturn]] void fail(const QString& what, const QString& detail) const;
    void execOrFail(class QSqlQuery& query, const QString& what) const;
    void insertRow(const ScheduleRow& row, class QSqlQuery& query) const;
    void checkRow(const ScheduleRow& row, qint64 exceptId) const;

    QString path_;
    QString connection_;
};
