#pragma once

#include <QDialog>
#include <QSpinBox>

class HandlerGuard;
class IniFile;
class QLabel;
class QPushButton;

// A spin box that takes a typed number outside its range and clamps it when the text is taken
// up, so typing 30 into an hour field gives 23 rather than refusing the key.
class ClampingSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    using QSpinBox::QSpinBox;

  protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

// The shutdown-time window: the daily time at which the timed shutdown switches the PC off.
class TForm5 : public QDialog {
    Q_OBJECT
  public:
    TForm5(IniFile& settings, HandlerGuard& guard, QWidget* parent = nullptr);

    void btn1Click();
    void btn2Click();

    QLabel* lbl1 = nullptr;
    ClampingSpinBox* se1 = nullptr;
    ClampingSpinBox* se2 = nullptr;
    ClampingSpinBox* se3 = nullptr;
    QPushButton* btn1 = nullptr;
    QPushButton* btn2 = nullptr;

  private:
    void FormCreate();
    IniFile& settings_;
};
