#pragma once

#include <cstdint>
#include <deque>
#include <string>

// How the bell program ended, as the supervisor saw it.
struct ChildEnd {
    bool signalled = false;  // ended by a signal (code is its number), else exited (code)
    int code = 0;

    static ChildEnd fromWaitStatus(int status);
    // The normal end: exit status 0 (关闭, 退出程序, the session's end, SIGTERM or SIGINT).
    bool normal() const { return !signalled && code == 0; }
    // "SIGSEGV", "SIGABRT" or "exit 3", as the log line says it.
    std::string describe() const;
};

// The supervisor's decisions: a normal end ends the supervisor too; an abnormal end starts the
// bell program again, unless it has crashed more than kMaxCrashes times within kWindowMs, when
// restarting would only repeat the crash.
class CrashPolicy {
  public:
    static constexpr int kMaxCrashes = 5;
    static constexpr std::int64_t kWindowMs = 10 * 60 * 1000;

    enum class Decision { End, Restart, GiveUp };

    // `nowMs` on a steady clock.
    Decision onEnd(const ChildEnd& end, std::int64_t nowMs);
    int crashesInWindow() const { return static_cast<int>(crashes_.size()); }

  private:
    std::deque<std::int64_t> crashes_;
};
