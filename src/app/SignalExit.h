#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (the session ending, or a service manager stopping the program) into
// a call on the event loop, so the program closes its table and logs its exit as usual.
class SignalExit : public QObject {
    Q_OBJECT
  public:
    explicit SignalExit(QObject* parent = nullptr);
    ~SignalExit() override;

  signals:
    void requested();

  private:
    QSocketNotifier* notifier_ = nullptr;
};
