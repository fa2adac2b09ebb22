#include "recorder/TForm4.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("录音"));
    setModal(true);
    setFixedSize(545, 204);

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const auto row = [&](int r, QLabel*& label, const QString& caption, QWidget* field,
                         QLabel*& note, const QString& noteText) {
        label = new QLabel(caption, this);
        note = new QLabel(noteText, this);
        field->setAccessibleName(caption.chopped(1));
        grid->addWidget(label, r, 0);
        grid->addWidget(field, r, 1);
        grid->addWidget(note, r, 2);
    };
    const auto choice = [this](const QStringList& items, const QString& current) {
        auto* box = new QComboBox(this);  // only its items can be chosen
        box->addItems(items);
        box->setCurrentText(current);
        return box;
    };
    edt1 = new QLineEdit(QStringLiteral("Temp"), this);
    cbb1 = choice({QStringLiteral("1"), QStringLiteral("2")}, QStringLiteral("2"));
    cbb2 = choice({QStringLiteral("8"), QStringLiteral("16")}, QStringLiteral("16"));
    cbb3 = choice({QStringLiteral("11025"), QStringLiteral("44100")}, QStringLiteral("44100"));
    row(0, lbl1, QStringLiteral("文件名："), edt1, lbl8,
        QStringLiteral("（保存在<Music>文件夹下面。格式为WAV）"));
    row(1, lbl2, QStringLiteral("声道："), cbb1, lbl5,
        QStringLiteral("（1：表示单声道；2：表示立体声。默认为 2）"));
    row(2, lbl3, QStringLiteral("位率："), cbb2, lbl6,
        QStringLiteral("（有 8 位和 16 位供选择。默认为 16 位）"));
    row(3, lbl4, QStringLiteral("采样率："), cbb3, lbl7,
        QStringLiteral("（有 11025 和 44100 两种采样率供选择。默认为 44100 ）"));
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    btn1 = new QPushButton(QStringLiteral("开始录音"), this);
    btn2 = new QPushButton(QStringLiteral("停止录音"), this);
    btn3 = new QPushButton(QStringLiteral("关闭"), this);
    lblRecording = new QLabel(this);
    lblRecording->setStyleSheet(QStringLiteral("color: #c00000;"));
    level = new QProgressBar(this);
    level->setAccessibleName(QStringLiteral("录音音量"));
    level->setRange(0, 60);  // -60 dB to full scale
    level->setTextVisible(false);
    level->setFixedWidth(120);
    buttons->addWidget(lblRecording);
    buttons->addWidget(level);
    buttons->addStretch();
    for (QPushButton* b : {btn1, btn2, btn3}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(btn3, &QPushButton::clicked, this, &QWidget::close);
}

void TForm4::showLevel(bool recording, const QString& text, double peakDb) {
    lblRecording->setText(text);
    level->setVisible(recording);
    level->setValue(std::clamp(static_cast<int>(peakDb) + 60, 0, 60));
}

void TForm4::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery) {
        FormCloseQuery();
    }
    event->accept();  // closing always closes
}
