#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

// A captioned group of radio buttons with one selected item. Changing the selection, by the user
// or from code, emits clicked() exactly once per change; picking the selected item does nothing.
class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int itemIndex() const { return index_; }
    // Selects an item; an index above the last selects the last, a negative one selects none.
    void setItemIndex(int index);
    int count() const { return static_cast<int>(group_.buttons().size()); }

  signals:
    void clicked();

  private:
    QButtonGroup group_;
    int index_ = -1;
};
