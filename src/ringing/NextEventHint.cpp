#include "ringing/NextEventHint.h"

#include "calendar/SchoolCalendar.h"
#include "core/Clock.h"
#include "core/TimeOfDay.h"
#include "ringing/BellState.h"
#include "schedule/ScheduleTable.h"

NextEventHint::NextEventHint(ScheduleTable& table, const Clock& clock,
                             const SchoolCalendar& calendar, BellState& state)
    : table_(table), clock_(clock), calendar_(calendar), state_(state) {}

QString NextEventHint::rowText(int hour, int minute, int second, const QString& event) {
    return QStringLiteral("事件提示：下一个事件 %1 时%2 分%3 秒 <<<%4>>>")
        .arg(hour)
        .arg(minute)
        .arg(second)
        .arg(event);
}

QString NextEventHint::lastEventText() {
    return QStringLiteral("事件提示：已经是最后一个事件");
}

QString NextEventHint::holidayText() {
    return QStringLiteral("事件提示：今天放假，不播放铃声");
}

void NextEventHint::ShowHintByClock() {
    const QDateTime now = clock_.now();
    const int today = calendar_.ringDay(now.date());
    table_.first();
    while (!table_.eof()) {
        if (tod::seconds(now.time()) < table_.current().timeOfDay() &&
            (calendar_.empty() || table_.current().ringsOn(today))) {
            break;
        }
        table_.next();
    }
    ShowHintForCurrent();
}

void NextEventHint::ShowHintAfterRing() {
    const int today = calendar_.ringDay(clock_.now().date());
    table_.next();
    while (!table_.eof() && !table_.current().ringsOn(today)) {
        table_.next();
    }
    ShowHintForCurrent();
}

void NextEventHint::ShowHintForCurrent() {
    if (!table_.isOpen()) {
        return;  // nothing to name; whoever closed the table says so
    }
    if (table_.eof()) {
        state_.setNextEvent(calendar_.holidayOn(clock_.now().date()) != nullptr ? holidayText()
                                                                                : lastEventText());
        return;
    }
    const ScheduleRow& row = table_.current();
    state_.setNextEvent(rowText(row.hour, row.minute, row.second, row.event));
}
