#include "schedule/ScheduleTable.h"

#include <QDir>
#include <algorithm>

#include "core/AppError.h"
#include "schedule/ScheduleDb.h"

ScheduleTable::ScheduleTable(QObject* parent) : QObject(parent) {}

ScheduleTable::~ScheduleTable() = default;

void ScheduleTable::setFolder(const QString& folder) {
    folder_ = folder;
}

QString ScheduleTable::filePath() const {
    return QDir(folder_).filePath(name_);
}

void ScheduleTable::open(const QString& name) {
    close();
    name_ = name;
    auto db = std::make_unique<ScheduleDb>(filePath());
    std::vector<ScheduleRow> rows = db->rows();
    db_ = std::move(db);
    rows_ = std::move(rows);
    emit rowsChanged();
    first();
}

void ScheduleTable::close() {
    if (!db_) {
        return;
    }
    db_.reset();
    rows_.clear();
    current_ = -1;
    eof_ = true;
    emit rowsChanged();
    emit currentChanged(-1);
}

void ScheduleTable::requireOpen() const {
    if (!db_) {
        throw AppError(QStringLiteral("时间表没有打开，无法执行该操作"));
    }
}

void ScheduleTable::requireRow() const {
    requireOpen();
    if (current_ < 0) {
        throw AppError(QStringLiteral("时间表是空的，没有当前事件"));
    }
}

void ScheduleTable::setCurrent(int index) {
    current_ = index;
    emit currentChanged(index);
}

void ScheduleTable::first() {
    requireOpen();
    eof_ = rows_.empty();
    setCurrent(rows_.empty() ? -1 : 0);
}

void ScheduleTable::next() {
    requireOpen();
    if (current_ + 1 < rowCount()) {
        setCurrent(current_ + 1);
    } else {
        eof_ = true;
    }
}

bool ScheduleTable::eof() const {
    requireOpen();
    return eof_;
}

bool ScheduleTable::locate(int hour, int minute, int second) {
    requireOpen();
    for (int i = 0; i < rowCount(); ++i) {
        const ScheduleRow& row = rows_[static_cast<size_t>(i)];
        if (row.hour == hour && row.minute == minute && row.second == second) {
            eof_ = false;
            setCurrent(i);
            return true;
        }
    }
    return false;
}

int ScheduleTable::recNo() const {
    requireOpen();
    return current_ + 1;
}

void ScheduleTable::setRecNo(int n) {
    requireOpen();
    if (rows_.empty()) {
        return;
    }
    eof_ = false;
    setCurrent(std::clamp(n, 1, rowCount()) - 1);
}

const ScheduleRow& ScheduleTable::current() const {
    requireRow();
    return rows_[static_cast<size_t>(current_)];
}

void ScheduleTable::reload(qint64 currentId) {
    std::vector<ScheduleRow> rows = db_->rows();
    rows_ = std::move(rows);
    emit rowsChanged();
    const auto it = std::find_if(rows_.begin(), rows_.end(),
                                 [currentId](const ScheduleRow& r) { return r.id == currentId; });
    eof_ = rows_.empty();
    setCurrent(it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin()));
}

void ScheduleTable::append(const ScheduleRow& row) {
    requireOpen();
    const qint64 id = db_->insert(row);
    reload(id);
}

template <typename Change>
void ScheduleTable::guardedChange(Change change) {
    try {
        change();
    } catch (const RowGoneError&) {
        reload(current_ >= 0 ? rows_[static_cast<size_t>(current_)].id : -1);
        throw;
    }
}

bool ScheduleTable::locateId(qint64 id) {
    requireOpen();
    const auto it =
        std::find_if(rows_.begin(), rows_.end(), [id](const ScheduleRow& r) { return r.id == id; });
    if (it == rows_.end()) {
        return false;
    }
    eof_ = false;
    setCurrent(static_cast<int>(it - rows_.begin()));
    return true;
}

void ScheduleTable::changeCurrent(const ScheduleRow& row) {
    requireOpen();
    if (current_ < 0) {
        append(row);
        return;
    }
    changeRow(rows_[static_cast<size_t>(current_)].id, row);
}

void ScheduleTable::changeRow(qint64 id, const ScheduleRow& row) {
    requireOpen();
    ScheduleRow changed = row;
    changed.id = id;
    guardedChange([&] { db_->update(changed); });
    reload(id);
}

void ScheduleTable::deleteCurrent() {
    requireRow();
    const int index = current_;
    guardedChange([&] { db_->remove(rows_[static_cast<size_t>(index)].id); });
    rows_.erase(rows_.begin() + index);
    emit rowsChanged();
    eof_ = rows_.empty();
    setCurrent(rows_.empty() ? -1 : std::min(index, rowCount() - 1));
}

void ScheduleTable::emptyTable(const QString& name) {
    if (db_) {
        throw AppError(QStringLiteral("请先关闭时间表再清空"));
    }
    name_ = name;
    ScheduleDb(filePath()).removeAll();
}
