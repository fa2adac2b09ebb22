#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <type_traits>

class Dialogs;
class EventLog;

// Runs a handler so that an error ends only that handler: the error's text goes to the general
// error report and the event log, and the program goes on. Nothing thrown crosses the event loop.
class HandlerGuard {
  public:
    HandlerGuard(Dialogs& dialogs, EventLog& log);

    // True when the handler finished, false when it failed and was reported.
    bool run(const std::function<void()>& handler);

    // Connects a signal to a handler that runs through this guard. The handler takes the
    // signal's arguments, or none.
    template <typename Sender, typename Signal, typename Handler>
    QMetaObject::Connection connect(const Sender* sender, Signal signal, const QObject* context,
                                    Handler handler) {
        return QObject::connect(sender, signal, context, [this, handler](const auto&... args) {
            run([&] {
                if constexpr (std::is_invocable_v<Handler, decltype(args)...>) {
                    handler(args...);
                } else {
                    handler();
                }
            });
        });
    }

    // Reports an error text as the general error report shows it; the detail is logged only.
    void report(const QString& text, const QString& detail = {});

    // The text as the report shows it: a full stop is added when the last character's code is
    // above that of '.'.
    static QString reportText(const QString& text);

  private:
    Dialogs& dialogs_;
    EventLog& log_;
};
