#include "ringing/OutputNotice.h"

#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "ringing/BellState.h"

OutputNotice::OutputNotice(Dialogs& dialogs, EventLog& log, BellState& state)
    : dialogs_(dialogs), log_(log), state_(state) {}

const char16_t* OutputNotice::missingText() {
    return u"没有可用的声音输出设备，铃声播放出来也听不到。请检查音箱、声卡和声音设置。";
}

void OutputNotice::outputChanged(bool available) {
    if (available) {
        log_.write(QStringLiteral("audio-output-back"));
        state_.setOutputMissing(false, QStringLiteral("事件提示：声音输出设备已恢复"));
        return;
    }
    log_.write(QStringLiteral("audio-output-missing"));
    state_.setOutputMissing(true, QStringLiteral("事件提示：") + QString::fromUtf16(missingText()));
    if (!boxShown_) {
        boxShown_ = true;  // a box that does not wait, once a run; the log says every change
        dialogs_.notice(QString::fromUtf16(missingText()));
    }
}
