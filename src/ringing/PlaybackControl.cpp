#include "ringing/PlaybackControl.h"

#include <QDir>
#include <QLabel>

#include "core/EventLog.h"
#include "core/NativePath.h"
#include "randommusic/TForm3.h"
#include "schedule/ScheduleRow.h"
#include "schedule/ScheduleTable.h"

PlaybackControl::PlaybackControl(TMediaPlayer& mp1, ScheduleTable& table, TForm3& form3,
                                 QLabel& lbl2, QLabel& lbl3, QLabel& lbl9, EventLog& log,
                                 QString programFolder)
    : mp1_(mp1),
      table_(table),
      form3_(form3),
      lbl2_(lbl2),
      lbl3_(lbl3),
      lbl9_(lbl9),
      log_(log),
      folder_(std::move(programFolder)) {}

QString PlaybackControl::missingFileText() {
    return QStringLiteral("事件提示：文件不存在，请选择正确的声音文件！");
}

TMPDeviceTypes PlaybackControl::deviceTypeFor(const QString& field) {
    const qsizetype slash =
        std::max(field.lastIndexOf(QLatin1Char('/')), field.lastIndexOf(QLatin1Char('\\')));
    const QString name = field.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return dtAutoSelect;
    }
    return name.mid(dot).compare(QLatin1String(".MID"), Qt::CaseInsensitive) == 0 ? dtSequencer
                                                                                  : dtAutoSelect;
}

QString PlaybackControl::resolve(const QString& field) const {
    if (field.isEmpty() || QDir::isAbsolutePath(field)) {
        return field;
    }
    return QDir(folder_).filePath(field);
}

void PlaybackControl::StartRowSound() {
    mp1_.DeviceType = deviceTypeFor(table_.field(schedule::kSound).toString());
    mp1_.Open();
    mp1_.Play();
}

void PlaybackControl::StopBeforeNewSound() {
    if (mp1_.isOpen()) {
        mp1_.Stop();
    }
}

void PlaybackControl::StopPlayback() {
    StopBeforeNewSound();
    form3_.PlayIndex = TForm3::kNoPlaylist;
}

void PlaybackControl::btn3Click() {
    StopPlayback();
    lbl2_.setText(QStringLiteral("播放状态：空闲"));
    log_.write(QStringLiteral("stop"));
}

bool PlaybackControl::chooseFile(const QString& path) {
    mp1_.FileName = path;
    if (!nativepath::isFile(path)) {
        lbl9_.setText(missingFileText());
        log_.write(QStringLiteral("missing-file"), path);
        return false;
    }
    return true;
}

void PlaybackControl::btn6Click() {
    if (table_.recNo() <= 0) {
        return;
    }
    StopBeforeNewSound();
    playlistRow = table_.current();
    const QString field = playlistRow->sound;
    if (field != schedule::kRandomMusic) {
        if (!chooseFile(resolve(field))) {
            return;
        }
        form3_.PlayIndex = 0;
    } else {
        form3_.Rebuild();
        form3_.PlayIndex = 0;
        const QStringList playlist = form3_.playlist();
        if (playlist.isEmpty()) {
            StopBeforeNewSound();
            return;
        }
        if (!chooseFile(playlist.front())) {
            return;
        }
        form3_.PlayIndex = 1;
    }
    StartRowSound();
    log_.write(QStringLiteral("test-play"), mp1_.FileName);
}

void PlaybackControl::mp1Notify() {
    lbl3_.setText(ModeText(mp1_.Mode()));
    mp1_.Notify = true;
}
