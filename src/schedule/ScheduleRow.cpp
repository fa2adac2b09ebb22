#include "schedule/ScheduleRow.h"

namespace schedule {

QStringList allFields() {
    QStringList fields{kLeadingField, kHour, kMinute, kSecond, kEvent, kSound};
    fields += kDayFields;
    return fields;
}

QString checkTime(const ScheduleRow& row) {
    if (row.hour < 0 || row.hour > 23) {
        return QStringLiteral("时必须在 0 到 23 之间");
    }
    if (row.minute < 0 || row.minute > 59) {
        return QStringLiteral("分必须在 0 到 59 之间");
    }
    if (row.second < 0 || row.second > 59) {
        return QStringLiteral("秒必须在 0 到 59 之间");
    }
    return {};
}

}  // namespace schedule

namespace schedule {

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar(0x2028) || c == QChar(0x2029)) {
            return true;
        }
    }
    return false;
}

}  // namespace schedule
