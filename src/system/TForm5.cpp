#include "system/TForm5.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/HandlerGuard.h"
#include "core/IniFile.h"
#include "core/SettingsKeys.h"

TForm5::TForm5(IniFile& settings, HandlerGuard& guard, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("关机时间设定"));
    setModal(true);
    resize(346, 215);

    auto* layout = new QVBoxLayout(this);
    // The caption and its fields on one line, the buttons below, the free space at the bottom.
    lbl1 = new QLabel(QStringLiteral("关机时间："), this);
    auto* fields = new QHBoxLayout;
    fields->addWidget(lbl1);
    const struct {
        ClampingSpinBox** box;
        const char* label;
        int max;
    } spins[] = {{&se1, "时：", 23}, {&se2, "分：", 59}, {&se3, "秒：", 59}};
    for (const auto& s : spins) {
        fields->addWidget(new QLabel(QString::fromUtf8(s.label), this));
        *s.box = new ClampingSpinBox(this);
        (*s.box)->setRange(0, s.max);
        (*s.box)->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
        fields->addWidget(*s.box);
    }
    fields->addStretch();
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    btn1 = new QPushButton(QStringLiteral("确定"), this);
    btn2 = new QPushButton(QStringLiteral("关闭"), this);
    buttons->addStretch();
    buttons->addWidget(btn1);
    buttons->addWidget(btn2);
    layout->addLayout(buttons);
    layout->addStretch();
    guard.connect(btn1, &QPushButton::clicked, this, [this] { btn1Click(); });
    guard.connect(btn2, &QPushButton::clicked, this, [this] { btn2Click(); });
    FormCreate();
}

void TForm5::FormCreate() {
    se1->setValue(settings_.readInteger(settings::kCloseTime, settings::kHour, 0));
    se2->setValue(settings_.readInteger(settings::kCloseTime, settings::kMinute, 0));
    se3->setValue(settings_.readInteger(settings::kCloseTime, settings::kSecond, 0));
}

void TForm5::btn1Click() {
    for (ClampingSpinBox* box : {se1, se2, se3}) {
        box->interpretText();  // a typed value counts, clamped to the field's range
    }
    settings_.writeInteger(settings::kCloseTime, settings::kHour, se1->value());
    settings_.writeInteger(settings::kCloseTime, settings::kMinute, se2->value());
    settings_.writeInteger(settings::kCloseTime, settings::kSecond, se3->value());
    close();
}

void TForm5::btn2Click() {
    close();
}
