#pragma once

#include <QAbstractTableModel>

class ScheduleTable;

// Read-only list model over the working table: one column per stored field, titled with the
// field's name, the leading field first; weekday columns read "True" or "False".
class ScheduleModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ScheduleModel(ScheduleTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    ScheduleTable& table_;
};
