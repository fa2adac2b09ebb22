#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The recorder window "录音": file name, channels, bits and sample rate, and the start, stop and
// close buttons. It only shows the controls; RecorderControl acts on them.
class TForm4 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);

    QLabel* lbl1 = nullptr;
    QLineEdit* edt1 = nullptr;
    QLabel* lbl8 = nullptr;
    QLabel* lbl2 = nullptr;
    QComboBox* cbb1 = nullptr;
    QLabel* lbl5 = nullptr;
    QLabel* lbl3 = nullptr;
    QComboBox* cbb2 = nullptr;
    QLabel* lbl6 = nullptr;
    QLabel* lbl4 = nullptr;
    QComboBox* cbb3 = nullptr;
    QLabel* lbl7 = nullptr;
    QPushButton* btn1 = nullptr;
    QPushButton* btn2 = nullptr;
    QPushButton* btn3 = nullptr;
    QLabel* lblRecording = nullptr;  // "正在录音 mm:ss" while recording
    QProgressBar* level = nullptr;   // the input's level while recording

    // Shows (or hides) that a recording runs: its text and the level, in dB (0 is full scale).
    void showLevel(bool recording, const QString& text, double peakDb);

    // Runs on every closing of the window (its close button or the title bar's).
    std::function<void()> FormCloseQuery;

  protected:
    void closeEvent(QCloseEvent* event) override;
};
