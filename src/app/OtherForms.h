#pragma once

#include <QDialog>

// The recorder window; its controls come with the recorder.
class TForm4 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);
};
