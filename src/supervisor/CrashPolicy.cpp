#include "supervisor/CrashPolicy.h"

#include <sys/wait.h>

#include <cstring>

ChildEnd ChildEnd::fromWaitStatus(int status) {
    if (WIFSIGNALED(status)) {
        return {true, WTERMSIG(status)};
    }
    return {false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

std::string ChildEnd::describe() const {
    if (!signalled) {
        return "exit " + std::to_string(code);
    }
    const char* name = sigabbrev_np(code);
    return name != nullptr ? std::string("SIG") + name : "signal " + std::to_string(code);
}

CrashPolicy::Decision CrashPolicy::onEnd(const ChildEnd& end, std::int64_t nowMs) {
    if (end.normal()) {
        return Decision::End;
    }
    crashes_.push_back(nowMs);
    while (!crashes_.empty() && nowMs - crashes_.front() > kWindowMs) {
        crashes_.pop_front();
    }
    return crashesInWindow() > kMaxCrashes ? Decision::GiveUp : Decision::Restart;
}
