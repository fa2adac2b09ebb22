#include "widgets/ClampingSpinBox.h"

QValidator::State ClampingSpinBox::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state != QValidator::Invalid) {
        return state;
    }
    bool ok = false;
    input.trimmed().toInt(&ok);
    return ok ? QValidator::Intermediate : QValidator::Invalid;
}

void ClampingSpinBox::fixup(QString& input) const {
    bool ok = false;
    const int value = input.trimmed().toInt(&ok);
    input = QString::number(ok ? std::clamp(value, minimum(), maximum()) : minimum());
}
