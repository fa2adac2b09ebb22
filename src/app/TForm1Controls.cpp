// The main window's controls and their places: a fixed 599 x 431 layout.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

#include "app/RadioGroup.h"
#include "app/TForm1.h"
#include "core/TimeOfDay.h"
#include "scheduleui/ScheduleGrid.h"
#include "widgets/ClampingSpinBox.h"
#include "widgets/TRealTrackbar.h"

namespace {

template <typename T>
T* named(T* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QFrame* line(QWidget* parent, const QRect& geometry) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setGeometry(geometry);
    return frame;
}

QLabel* caption(QWidget* parent, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    return label;
}

void colour(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

// The help button's picture: a white question mark on a blue disc, as help is shown elsewhere.
QIcon questionMark() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(32, 96, 192));
    painter.drawEllipse(QRectF(1, 1, 30, 30));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(24);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(picture);
}

}  // namespace

void TForm1::buildControls() {
    // The timetable list across the top.
    dbsmdbgrd1 = named(new ScheduleGrid(dbsmtbl1, this), "dbsmdbgrd1", {4, 4, 591, 190});

    // Status lines, with the small picture buttons and the option boxes to their right.
    lbl2 = named(new QLabel(QStringLiteral("播放状态：空闲"), this), "lbl2", {8, 203, 330, 20});
    colour(lbl2, QPalette::WindowText, QColor(0, 128, 0));
    lbl9 = named(new QLabel(QStringLiteral("事件提示：准备播放······"), this), "lbl9",
                 {8, 225, 330, 20});
    colour(lbl9, QPalette::WindowText, QColor(255, 0, 0));
    lbl3 = named(new QLabel(QStringLiteral("lbl3"), this), "lbl3", {0, 0, 0, 0});
    lbl3->setVisible(false);

    const struct {
        QToolButton** button;
        const char* name;
        QStyle::StandardPixmap icon;
        const char* hint;
        int x;
    } pictures[] = {
        {&btn6, "btn6", QStyle::SP_MediaPlay, "试播某条", 344},
        {&btn3, "btn3", QStyle::SP_MediaStop, "停止播放", 372},
        {&btn13, "btn13", QStyle::SP_CustomBase, "显示帮助", 400},
    };
    for (const auto& p : pictures) {
        *p.button = named(new QToolButton(this), p.name, {p.x, 210, 26, 26});
        (*p.button)->setIcon(p.icon == QStyle::SP_CustomBase ? questionMark()
                                                             : style()->standardIcon(p.icon));
        (*p.button)->setToolTip(QString::fromUtf8(p.hint));
        (*p.button)->setAccessibleName(QString::fromUtf8(p.hint));
    }
    chk1 = named(new QCheckBox(QStringLiteral("自动播放"), this), "chk1", {434, 203, 80, 20});
    chk2 = named(new QCheckBox(QStringLiteral("自动启动"), this), "chk2", {516, 203, 80, 20});
    chk4 = named(new QCheckBox(QStringLiteral("启动隐藏"), this), "chk4", {434, 225, 80, 20});
    chk5 = named(new QCheckBox(QStringLiteral("定时关机"), this), "chk5", {516, 225, 80, 20});
    line(this, {4, 249, 591, 3})->setObjectName(QStringLiteral("bvl1"));

    // Lower left: date line, the seven-segment clock panel and the credit label.
    lbl12 = named(new QLabel(this), "lbl12", {4, 256, 200, 20});
    lbl12->setAlignment(Qt::AlignCenter);
    colour(lbl12, QPalette::WindowText, QColor(0, 0, 255));
    btnCalendar = named(new QToolButton(this), "btnCalendar", {206, 256, 30, 20});
    btnCalendar->setText(QStringLiteral("校历"));
    btnCalendar->setToolTip(QStringLiteral("校历：放假、调休和作息切换"));
    btnCalendar->setAccessibleName(QStringLiteral("校历"));
    pnl1 = named(new QFrame(this), "pnl1", {4, 280, 232, 66});
    pnl1->setFrameShape(QFrame::StyledPanel);
    pnl1->setFrameShadow(QFrame::Sunken);
    pnl1->setAutoFillBackground(true);
    colour(pnl1, QPalette::Window, QColor(216, 228, 248));
    lbl11 = named(new QLabel(QStringLiteral("88:88:88"), pnl1), "lbl11", {4, 4, 224, 58});
    lbl1 = named(new QLabel(pnl1), "lbl1", {4, 4, 224, 58});
    colour(lbl11, QPalette::WindowText, QColor(192, 220, 192));  // the unlit segments
    colour(lbl1, QPalette::WindowText, QColor(0, 0, 128));
    for (QLabel* digits : {lbl11, lbl1}) {
        digits->setAlignment(Qt::AlignCenter);
        digits->setAttribute(Qt::WA_TranslucentBackground);
    }
    auto* bvl3 = named(new QFrame(this), "bvl3", {4, 352, 232, 40});
    bvl3->setFrameShape(QFrame::Panel);
    bvl3->setFrameShadow(QFrame::Raised);
    lbl10 = named(new QLabel(bvl3), "lbl10", {2, 2, 228, 36});
    lbl10->setAlignment(Qt::AlignCenter);
    lbl10->setWordWrap(true);

    // Volume.
    grp2 = named(new QGroupBox(QStringLiteral("音量"), this), "grp2", {240, 254, 54, 138});
    rltrckbr1 = named(new TRealTrackbar(grp2), "rltrckbr1", {19, 22, 16, 94});
    rltrckbr1->setVertical(true);
    rltrckbr1->resize(16, 94);
    rltrckbr1->setTrackStyle(tbsSquareNess);
    rltrckbr1->setFocusPolicy(Qt::StrongFocus);
    rltrckbr1->setToolTip(QStringLiteral("调节音量"));
    rltrckbr1->setAccessibleName(QStringLiteral("音量"));
    chk3 = named(new QCheckBox(QStringLiteral("静音"), grp2), "chk3", {4, 116, 48, 20});

    // Run mode and weather.
    rg1 = named(new RadioGroup(
                    QStringLiteral("运行模式"),
                    {QStringLiteral("临时"), QStringLiteral("夏季"), QStringLiteral("冬季")}, this),
                "rg1", {298, 254, 80, 76});
    rg2 = named(new RadioGroup(QStringLiteral("天气选择"),
                               {QStringLiteral("晴天"), QStringLiteral("雨天")}, this),
                "rg2", {298, 332, 80, 60});
    rg1->setItemIndex(0);
    rg2->setItemIndex(0);

    // Entry settings.
    grp1 = named(new QGroupBox(QStringLiteral("设置项目"), this), "grp1", {382, 254, 213, 138});
    const struct {
        ClampingSpinBox** box;
        const char* name;
        const char* label;
        int max;
        int x;
    } spins[] = {{&se_h, "se_h", "时：", 23, 6},
                 {&se_m, "se_m", "分：", 59, 74},
                 {&se_s, "se_s", "秒：", 59, 142}};
    for (const auto& s : spins) {
        caption(grp1, QString::fromUtf8(s.label), {s.x, 20, 24, 22});
        *s.box = named(new ClampingSpinBox(grp1), s.name, {s.x + 24, 20, 40, 22});
        (*s.box)->setRange(0, s.max);
        (*s.box)->setAccessibleName(QString::fromUtf8(s.label).chopped(1));
    }
    for (int d = 0; d < 7; ++d) {
        chkweek[d] = named(new QCheckBox(tod::dayChar(d + 1), grp1), "", {6 + d * 29, 46, 30, 20});
        chkweek[d]->setObjectName(QStringLiteral("chkweek%1").arg(d + 1));
        chkweek[d]->setChecked(true);
        chkweek[d]->setStyleSheet(QStringLiteral("QCheckBox { spacing: 1px; }"));
    }
    caption(grp1, QStringLiteral("事件："), {6, 70, 40, 22});
    edtshijian =
        named(new QLineEdit(QStringLiteral("上课"), grp1), "edtshijian", {46, 70, 161, 22});
    edtshijian->setAccessibleName(QStringLiteral("事件"));
    caption(grp1, QStringLiteral("声音："), {6, 96, 40, 22});
    edtAudio_filename = named(new QLineEdit(grp1), "edtAudio_filename", {46, 96, 105, 22});
    edtAudio_filename->setReadOnly(true);
    edtAudio_filename->setAccessibleName(QStringLiteral("声音"));
    btn11 = named(new QToolButton(grp1), "btn11", {155, 95, 24, 24});
    btn11->setText(QStringLiteral("随"));
    btn11->setToolTip(QStringLiteral("设定该事件随机播放音乐"));
    btn11->setAccessibleName(btn11->toolTip());
    btn1 = named(new QToolButton(grp1), "btn1", {183, 95, 24, 24});
    btn1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    btn1->setToolTip(QStringLiteral("选择声音文件"));
    btn1->setAccessibleName(btn1->toolTip());

    // Push buttons along the bottom, left to right.
    line(this, {4, 395, 591, 3})->setObjectName(QStringLiteral("bvl2"));
    const struct {
        QPushButton** button;
        const char* name;
        const char* text;
    } buttons[] = {{&btn12, "btn12", "录音"},     {&btn2, "btn2", "增加项目"},
                   {&btn8, "btn8", "清空项目"},   {&btn4, "btn4", "删除项目"},
                   {&btn5, "btn5", "保存项目"},   {&btn9, "btn9", "隐藏"},
                   {&btn14, "btn14", "关机设定"}, {&btn7, "btn7", "关闭"}};
    int x = 4;
    for (const auto& b : buttons) {
        *b.button =
            named(new QPushButton(QString::fromUtf8(b.text), this), b.name, {x, 402, 71, 25});
        x += 74;
    }
    btn5->setEnabled(false);
}
