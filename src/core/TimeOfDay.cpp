#include "core/TimeOfDay.h"

namespace tod {

int seconds(const QTime& t) {
    return seconds(t.hour(), t.minute(), t.second());
}

QString dayChar(int qtDayOfWeek) {
    static const char16_t* const chars[] = {u"一", u"二", u"三", u"四", u"五", u"六", u"日"};
    if (qtDayOfWeek < 1 || qtDayOfWeek > 7) {
        return {};
    }
    return QString::fromUtf16(chars[qtDayOfWeek - 1]);
}

QString hms(const QTime& t) {
    return QStringLiteral("%1:%2:%3")
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'));
}

QString stamp(const QDateTime& t, bool withMs) {
    return t.toString(withMs ? QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")
                             : QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

}  // namespace tod
