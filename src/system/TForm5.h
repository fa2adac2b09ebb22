#pragma once

#include <QDialog>

#include "widgets/ClampingSpinBox.h"

class HandlerGuard;
class IniFile;
class QLabel;
class QPushButton;

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
