#include "ringing/PlaybackControl.h"

#include "core/EventLog.h"
#include "core/NativePath.h"
#include "core/ProgramFolder.h"
#include "randommusic/RandomPlaylist.h"
#include "ringing/BellState.h"
#include "schedule/ScheduleRow.h"
#include "schedule/ScheduleTable.h"

PlaybackControl::PlaybackControl(TMediaPlayer& mp1, ScheduleTable& table, RandomPlaylist& music,
                                 BellState& state, EventLog& log, QString programFolder)
    : mp1_(mp1),
      table_(table),
      music_(music),
      state_(state),
      log_(log),
      folder_(std::move(programFolder)) {}

QString PlaybackControl::missingFileText() {
    return QStringLiteral("事件提示：文件不存在，请选择正确的声音文件！");
}

QString PlaybackControl::nothingToDrawText() const {
    return music_.pool().isEmpty() ? RandomPlaylist::emptyFolderText()
                                   : QStringLiteral("随机播放数目为 0");
}

bool PlaybackControl::preparedDrawIsEmpty() const {
    return prepared_ && prepared_->draw && prepared_->draw->playlist.isEmpty();
}

QString PlaybackControl::emptyPlaylistText() const {
    return QStringLiteral("（%1）").arg(nothingToDrawText());
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
    return programfolder::resolve(folder_, field);
}

void PlaybackControl::startSound(const ScheduleRow& row, const QString& file) {
    try {
        mp1_.Open(file, deviceTypeFor(row.sound));
    } catch (const EMCIDeviceError& e) {
        // The player's reason alone ("Stream contains no data.") does not say which sound it
        // was; the box, the log line and the hint line name the file, as a failure while
        // playing does.
        state_.setMessage(failedText(file, e.text()));
        throw EMCIDeviceError(file + QStringLiteral(": ") + e.text(), e.detail());
    }
    mp1_.Play();
}

void PlaybackControl::StopBeforeNewSound() {
    if (mp1_.isOpen()) {
        mp1_.Stop();
    }
}

void PlaybackControl::StopPlayback() {
    StopBeforeNewSound();
    music_.PlayIndex = RandomPlaylist::kNoPlaylist;
}

bool PlaybackControl::fileExists(const QString& path) {
    if (!nativepath::isFile(path)) {
        state_.setMessage(missingFileText());
        log_.write(QStringLiteral("missing-file"), path);
        return false;
    }
    return true;
}

void PlaybackControl::PrepareRow(const ScheduleRow& row) {
    if (prepared_ && prepared_->row == row) {
        return;  // already being made ready (right after the bell before it)
    }
    DropPrepared();
    Prepared prepared{row, std::nullopt};
    QString file;
    if (row.sound != schedule::kRandomMusic) {
        file = resolve(row.sound);
    } else {
        prepared.draw = music_.drawAhead();
        if (!prepared.draw->playlist.isEmpty()) {
            file = prepared.draw->playlist.front();
        }
    }
    prepared_ = std::move(prepared);
    if (!file.isEmpty() && nativepath::isFile(file)) {
        mp1_.Prepare(file, deviceTypeFor(row.sound));
    }
}

bool PlaybackControl::KeepPrepared(const std::vector<ScheduleRow>& rows) {
    if (!prepared_) {
        return false;
    }
    for (const ScheduleRow& row : rows) {
        ScheduleRow same = row;
        same.id = prepared_->row.id;
        if (same == prepared_->row) {
            prepared_->row.id = row.id;
            return true;
        }
    }
    return false;
}

void PlaybackControl::DropPrepared() {
    prepared_.reset();
    mp1_.DropPrepared();
}

QString PlaybackControl::failedText(const QString& file, const QString& reason) {
    return QStringLiteral("事件提示：无法播放<<<%1>>>（%2）")
        .arg(file.section(QLatin1Char('/'), -1), reason);
}

void PlaybackControl::PlaybackFailed(const QString& file, const QString& reason,
                                     const QString& detail) {
    log_.write(QStringLiteral("error"),
               file + QStringLiteral(": ") + reason +
                   (detail.isEmpty() ? QString() : QStringLiteral(" | ") + detail));
    state_.setMode(mp1_.Mode());
    state_.setStatus(QStringLiteral("播放状态：空闲"));
    state_.setMessage(failedText(file, reason));
}

PlaybackControl::Start PlaybackControl::PlayRow(const ScheduleRow& row, std::uint16_t fileIndex) {
    std::optional<RandomPlaylist::Draw> draw;
    if (prepared_ && prepared_->row == row) {
        draw = std::move(prepared_->draw);  // the prepared file is taken up by the open below
        prepared_.reset();
    } else {
        DropPrepared();
    }
    StopBeforeNewSound();
    playlistRow = row;
    QString file;
    if (row.sound != schedule::kRandomMusic) {
        file = resolve(row.sound);
        if (!fileExists(file)) {
            return Start::MissingFile;
        }
        music_.PlayIndex = fileIndex;
    } else {
        if (draw) {
            music_.adopt(std::move(*draw));
        } else {
            music_.Rebuild();
        }
        music_.PlayIndex = 0;
        if (music_.playlist().isEmpty()) {
            return Start::EmptyPlaylist;
        }
        file = music_.playlist().front();
        if (!fileExists(file)) {
            return Start::MissingFile;
        }
        music_.PlayIndex = 1;
    }
    startSound(row, file);
    return Start::Played;
}

bool PlaybackControl::PlayNextTune(const ScheduleRow& row, bool ringsToday) {
    const QStringList& playlist = music_.playlist();
    if (music_.PlayIndex >= playlist.size()) {
        mp1_.Stop();  // the playlist is over
        return false;
    }
    const QString file = playlist[music_.PlayIndex];
    if (!fileExists(file)) {
        return false;  // tried again at the next idle tick
    }
    ++music_.PlayIndex;
    if (!ringsToday) {
        return false;
    }
    startSound(row, file);
    return true;
}

void PlaybackControl::btn3Click() {
    StopPlayback();
    state_.setStatus(QStringLiteral("播放状态：空闲"));
    log_.write(QStringLiteral("stop"));
}

void PlaybackControl::btn6Click() {
    if (table_.recNo() <= 0) {
        return;
    }
    DropPrepared();
    // A test play leaves the cursor at 0, not at "no playlist" as a ring does; either way no
    // tune follows a plain file.
    if (PlayRow(table_.current(), 0) == Start::Played) {
        log_.write(QStringLiteral("test-play"), mp1_.FileName());
    }
}

void PlaybackControl::mp1Notify() {
    state_.setMode(mp1_.Mode());
    mp1_.Notify = true;
}
