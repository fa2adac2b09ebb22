#include "randommusic/TForm3.h"

#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/HandlerGuard.h"
#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "randommusic/RandomPlaylist.h"

TForm3::TForm3(RandomPlaylist& music, IniFile& settings, Dialogs& dialogs, HandlerGuard& guard,
               QWidget* parent)
    : QDialog(parent), music_(music), settings_(settings), dialogs_(dialogs), guard_(guard) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("随机音乐"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    resize(461, 434);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    lbl1 = new QLabel(QStringLiteral("随机音乐文件夹里的文件(至少8首)"), this);
    lbl2 = new QLabel(QStringLiteral("共有 0 首音乐"), this);
    lbl2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(lbl1);
    top->addWidget(lbl2);
    layout->addLayout(top);
    lst1 = new QListWidget(this);
    layout->addWidget(lst1, 3);
    lbl3 = new QLabel(QStringLiteral("随机播放列表"), this);
    layout->addWidget(lbl3);
    lst2 = new QListWidget(this);
    layout->addWidget(lst2, 2);
    auto* bottom = new QHBoxLayout;
    lbl4 = new QLabel(QStringLiteral("随机播放数目设定(1-10)："), this);
    se1 = new QSpinBox(this);
    se1->setRange(1, RandomPlaylist::kMaxCount);
    se1->setValue(4);
    bottom->addWidget(lbl4);
    bottom->addWidget(se1);
    bottom->addStretch();
    lbl5 = new QLabel(this);  // says when the folder cannot fill a draw
    lbl5->setStyleSheet(QStringLiteral("color: #c00000;"));
    bottom->addWidget(lbl5);
    layout->addLayout(bottom);
    guard_.connect(se1, &QSpinBox::valueChanged, this, [this] { se1Change(); });

    connect(&music_, &RandomPlaylist::rebuilt, this, &TForm3::showDraw);
    music_.Rebuild();
}

void TForm3::showDraw() {
    lst2->clear();
    lst1->clear();
    lst1->addItems(music_.pool());
    lbl2->setText(QStringLiteral("共有 %1 首音乐").arg(music_.pool().size()));
    se1->setValue(music_.drawCount());  // shown within 1..10; a change runs se1Change
    lst2->addItems(music_.playlist());
    showShortage();
}

QString TForm3::shortageText(qsizetype tunes, int drawCount) {
    if (tunes == 0) {
        return RandomPlaylist::emptyFolderText();
    }
    if (tunes < drawCount) {
        return QStringLiteral("只有 %1 首，少于每次播放的 %2 首").arg(tunes).arg(drawCount);
    }
    return {};
}

void TForm3::showShortage() {
    lbl5->setText(shortageText(music_.pool().size(), se1->value()));
}

void TForm3::se1Change() {
    if (music_.pool().size() < se1->value()) {
        dialogs_.message(QStringLiteral("随机音乐数大于可供选择的音乐数，重新设定"));
        se1->setValue(1);
        return;
    }
    settings_.writeInteger(settings::kSet, settings::kMusicCount, se1->value());
    showShortage();
}
