#include "app/SignalExit.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <atomic>
#include <csignal>

namespace {

int pipeFds[2] = {-1, -1};
std::atomic<bool> signalled{false};

constexpr char kExit = 1;
constexpr char kShow = 2;

void onSignal(int number) {
    const char byte = number == SIGUSR1 ? kShow : kExit;
    if (byte == kExit) {
        signalled = true;
    }
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
}

}  // namespace

void SignalExit::catchSignals() {
    if (pipeFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeFds) != 0) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGUSR1, &action, nullptr);
}

bool SignalExit::caught() {
    return signalled;
}

SignalExit::SignalExit(QObject* parent) : QObject(parent) {
    catchSignals();
    if (pipeFds[0] < 0) {
        return;
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(pipeFds[0], &byte, 1) != 1) {
            return;
        }
        if (byte == kShow) {
            emit showRequested();
        } else {
            emit requested();
        }
    });
}

SignalExit::~SignalExit() {
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGUSR1, SIG_IGN);  // a late request from a second start must not end the program
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
    signalled = false;
}
