#include "core/HandlerGuard.h"

#include <exception>

#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/EventLog.h"

HandlerGuard::HandlerGuard(Dialogs& dialogs, EventLog& log) : dialogs_(dialogs), log_(log) {}

QString HandlerGuard::reportText(const QString& text) {
    if (!text.isEmpty() && text.back() > QLatin1Char('.')) {
        return text + QLatin1Char('.');
    }
    return text;
}

void HandlerGuard::report(const QString& text, const QString& detail) {
    const QString shown = reportText(text);
    log_.write(QStringLiteral("error"),
               detail.isEmpty() ? shown : shown + QStringLiteral(" | ") + detail);
    dialogs_.errorReport(shown);
}

bool HandlerGuard::run(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const AppError& e) {
        report(e.text(), e.detail());
    } catch (const std::exception& e) {
        report(QString::fromUtf8(e.what()));
    }
    return false;
}
