#include "app/RadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 4, 2);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        group_.addButton(button, i);
        layout->addWidget(button);
    }
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) { setItemIndex(id); });
}

void RadioGroup::setItemIndex(int index) {
    if (index >= count()) {
        index = count() - 1;
    }
    if (index < 0) {
        index = -1;
    }
    if (index == index_) {
        return;
    }
    index_ = index;
    if (index < 0) {
        group_.setExclusive(false);
        for (QAbstractButton* b : group_.buttons()) {
            b->setChecked(false);
        }
        group_.setExclusive(true);
    } else {
        group_.button(index)->setChecked(true);
    }
    emit clicked();
}
