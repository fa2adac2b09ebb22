#include "scheduleui/ScheduleModel.h"

#include "schedule/ScheduleTable.h"

ScheduleModel::ScheduleModel(ScheduleTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
    connect(&table_, &ScheduleTable::rowsChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int ScheduleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount();
}

int ScheduleModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(schedule::allFields().size());
}

QVariant ScheduleModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= table_.rowCount()) {
        return {};
    }
    const ScheduleRow& row = table_.rows()[static_cast<size_t>(index.row())];
    switch (index.column()) {
        case 0:
            return row.id;
        case 1:
            return row.hour;
        case 2:
            return row.minute;
        case 3:
            return row.second;
        case 4:
            return row.event;
        case 5:
            return row.sound;
        default: {
            const auto day = static_cast<size_t>(index.column() - 6);
            if (day >= row.days.size()) {
                return {};
            }
            return row.days[day] ? QStringLiteral("True") : QStringLiteral("False");
        }
    }
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return {};
    }
    const QStringList fields = schedule::allFields();
    return section >= 0 && section < fields.size() ? QVariant(fields[section]) : QVariant();
}

Qt::ItemFlags ScheduleModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
