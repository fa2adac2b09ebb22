#pragma once

#include <QDialog>

// The recorder window; its controls come with the recorder.
class TForm4 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);
};

// The shutdown-time window; its controls come with the timed shutdown.
class TForm5 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm5(QWidget* parent = nullptr);
};
