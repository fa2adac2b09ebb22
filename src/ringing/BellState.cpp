#include "ringing/BellState.h"

#include "core/SecondSequence.h"
#include "media/TMediaPlayer.h"

void BellState::setMode(int mode) {
    const bool changed = mode_ != mode;
    mode_ = mode;
    if (changed) {
        emit modeChanged(modeText());
    }
}

QString BellState::modeText() const {
    return mode_ ? ModeText(*mode_) : QString();
}

void BellState::startupTick() {
    if (startupWaiting()) {
        --startup_;
    }
}

QString BellState::countdownText(int seconds, const QString& event) {
    return QStringLiteral("事件提示：%1 秒钟后播放<<<%2>>>音乐").arg(seconds).arg(event);
}

void BellState::setNear(const QDateTime& at, const QString& name, const QDateTime& now) {
    nearAt_ = at;
    nearName_ = name;
    updateCountdown(now);
}

void BellState::updateCountdown(const QDateTime& now) {
    if (!nearAt_) {
        return;
    }
    // Counted from the event's own second, so the number is exact and never below zero,
    // whatever the order of the two timers within a second.
    countdown_ =
        std::max<int>(0, static_cast<int>(SecondSequence::wholeSecond(now).secsTo(*nearAt_)));
    hintMayHaveChanged();
}

void BellState::setNearNote(const QString& note) {
    nearNote_ = note;
    hintMayHaveChanged();
}

void BellState::clearNear() {
    nearNote_.clear();
    nearAt_.reset();
    countdown_ = 0;
    hintMayHaveChanged();
}

template <typename T, typename Arg>
void BellState::update(T& field, const T& value, void (BellState::*changed)(Arg)) {
    if (field != value) {
        field = value;
        emit(this->*changed)(field);
    }
}

void BellState::setRinging(bool on) {
    update(ringing_, on, &BellState::ringingChanged);
}

void BellState::setClockText(const QString& text) {
    update(clock_, text, &BellState::clockTextChanged);
}

void BellState::setDateText(const QString& text, bool plain) {
    if (date_ != text || datePlain_ != plain) {
        date_ = text;
        datePlain_ = plain;
        emit dateTextChanged(text, plain);
    }
}

void BellState::setClockNote(const QString& note) {
    update(clockNote_, note, &BellState::clockNoteChanged);
}

void BellState::setStatus(const QString& text) {
    update(status_, text, &BellState::statusChanged);
}

QString BellState::hint() const {
    if (nearAt_) {
        return countdownText(countdown_, nearName_) + nearNote_;
    }
    if (message_) {
        return *message_;
    }
    if (outputMissing_) {
        return *outputMissing_;
    }
    return nextEvent_;
}

void BellState::setNextEvent(const QString& text) {
    nextEvent_ = text;
    message_.reset();
    hintMayHaveChanged();
}

void BellState::setMessage(const QString& text) {
    message_ = text;
    hintMayHaveChanged();
}

void BellState::setOutputMissing(bool missing, const QString& text) {
    if (missing) {
        outputMissing_ = text;
    } else {
        outputMissing_.reset();
    }
    message_ = text;  // said at once, over the next event's name
    hintMayHaveChanged();
}

void BellState::hintMayHaveChanged() {
    QString now = hint();
    if (now != shownHint_) {
        shownHint_ = std::move(now);
        emit hintChanged(shownHint_);
    }
}
