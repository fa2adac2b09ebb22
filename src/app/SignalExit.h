#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (the session ending, or a service manager stopping the program) into
// a call on the event loop, so the program closes its table and logs its exit as usual; and
// SIGUSR1 (a second start of the program asking the running copy to show itself) into
// showRequested().
class SignalExit : public QObject {
    Q_OBJECT
  public:
    // Catches the signals from now on; a signal that comes before the event loop runs waits for
    // it. Called first thing in the program, so no moment of start-up is left unguarded.
    static void catchSignals();

    explicit SignalExit(QObject* parent = nullptr);
    ~SignalExit() override;

    // A signal has been caught (it may still wait to be delivered as requested()).
    static bool caught();

  signals:
    void requested();
    void showRequested();

  private:
    QSocketNotifier* notifier_ = nullptr;
};
