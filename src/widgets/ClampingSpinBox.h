#pragma once

#include <QSpinBox>

// A spin box that takes a typed number outside its range and clamps it when the text is taken
// up (the field loses the focus, or a button reads it), so typing 30 into an hour field gives 23
// rather than refusing the key; text that is no number reads as the minimum.
class ClampingSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    using QSpinBox::QSpinBox;

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};
