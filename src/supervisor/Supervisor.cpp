#include "supervisor/Supervisor.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "supervisor/CrashPolicy.h"

namespace supervisor {
namespace {

volatile std::sig_atomic_t stopSignal = 0;
volatile pid_t child = 0;

void onStop(int signal) {
    stopSignal = signal;
    if (child > 0) {
        ::kill(child, signal);  // passed on; the bell program ends in order and is waited for
    }
}

std::int64_t wallMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The program's clock: the real time, or from the start time that TOLLVANE_NOW names.
struct ProgramClock {
    std::int64_t offsetMs = 0;
    bool shifted = false;

    static ProgramClock fromEnvironment() {
        ProgramClock clock;
        const char* text = std::getenv("TOLLVANE_NOW");
        std::tm tm{};
        const char* rest = text != nullptr ? ::strptime(text, "%Y-%m-%dT%H:%M:%S", &tm) : nullptr;
        if (rest == nullptr) {
            return clock;
        }
        int ms = 0;
        if (*rest == '.') {
            ms = std::atoi(rest + 1);
        }
        tm.tm_isdst = -1;
        const std::time_t start = std::mktime(&tm);
        if (start == -1) {
            return clock;
        }
        clock.offsetMs = static_cast<std::int64_t>(start) * 1000 + ms - wallMs();
        clock.shifted = true;
        return clock;
    }
    std::int64_t nowMs() const { return wallMs() + offsetMs; }

    // "2026-12-07T08:00:00.004" in local time.
    static std::string stamp(std::int64_t ms) {
        const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
        std::tm tm{};
        ::localtime_r(&seconds, &tm);
        char text[64];
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", tm.tm_year + 1900,
                      tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                      static_cast<int>(ms % 1000));
        return text;
    }
};

std::string executable() {
    std::vector<char> path(4096);
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    return n > 0 ? std::string(path.data(), static_cast<size_t>(n)) : std::string();
}

// The same lines as the bell program's event log: standard error and the monthly history.
class Log {
  public:
    Log(const ProgramClock& clock, std::string folder)
        : clock_(clock), folder_(std::move(folder)) {}

    void write(const std::string& kind, const std::string& details = {}) const {
        const std::string stamp = ProgramClock::stamp(clock_.nowMs());
        const std::string line = stamp + ' ' + kind + (details.empty() ? "" : ' ' + details) + '\n';
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
        ::mkdir(folder_.c_str(), 0777);
        const std::string file = folder_ + '/' + stamp.substr(0, 7) + ".log";
        const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, line.data(), line.size());
            ::fdatasync(fd);
            ::close(fd);
        }
    }

  private:
    const ProgramClock& clock_;
    std::string folder_;
};

pid_t start(const std::string& exe, int argc, char** argv, std::optional<std::int64_t> resumeAt,
            const ProgramClock& clock) {
    std::vector<std::string> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    args.emplace_back(kSupervisedFlag);
    if (resumeAt) {
        args.push_back(kResumeFlag + std::to_string(*resumeAt));
    }
    const std::string now = ProgramClock::stamp(clock.nowMs());
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0) {
        return pid;
    }
    // The bell program: it goes with the supervisor, whatever ends the supervisor.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(1);
    }
    if (resumeAt && clock.shifted) {
        ::setenv("TOLLVANE_NOW", now.c_str(), 1);  // the same clock runs on after a restart
    }
    std::vector<char*> raw;
    for (std::string& a : args) {
        raw.push_back(a.data());
    }
    raw.push_back(nullptr);
    ::execv(exe.c_str(), raw.data());
    ::_exit(127);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

bool hasFlag(int argc, char** argv, const char* flag) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], flag) == 0) {
            return true;
        }
    }
    return false;
}

bool isChild(int argc, char** argv) {
    return hasFlag(argc, argv, kSupervisedFlag) || hasFlag(argc, argv, kCrashLoopFlag);
}

std::optional<std::int64_t> resumeTime(int argc, char** argv) {
    const size_t length = std::strlen(kResumeFlag);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kResumeFlag, length) == 0) {
            char* end = nullptr;
            const long long ms = std::strtoll(argv[i] + length, &end, 10);
            if (end != argv[i] + length && *end == '\0') {
                return ms;
            }
        }
    }
    return std::nullopt;
}

int run(int argc, char** argv) {
    const std::string exe = executable();
    const ProgramClock clock = ProgramClock::fromEnvironment();
    const Log log(clock, folderOf(exe) + "/Logs");
    if (exe.empty()) {
        log.write("error", "the program's own path cannot be read; running without restarts");
        return 1;
    }
    struct sigaction action = {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }

    CrashPolicy policy;
    std::optional<std::int64_t> resumeAt;
    for (;;) {
        const pid_t pid = start(exe, argc, argv, resumeAt, clock);
        if (pid < 0) {
            log.write("error", std::string("cannot start the program: ") + std::strerror(errno));
            return 1;
        }
        child = pid;
        if (stopSignal != 0) {
            ::kill(pid, stopSignal);  // came before the program's id was known
        }
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        child = 0;
        const ChildEnd end = ChildEnd::fromWaitStatus(status);
        if (stopSignal != 0) {
            return 0;  // asked to stop: the program has ended, however it ended
        }
        switch (policy.onEnd(end, steadyMs())) {
            case CrashPolicy::Decision::End:
                return 0;
            case CrashPolicy::Decision::Restart:
                log.write("crash", end.describe());
                resumeAt = clock.nowMs();
                log.write("restart");
                break;
            case CrashPolicy::Decision::GiveUp: {
                log.write("crash", end.describe());
                log.write("crash-loop", std::to_string(policy.crashesInWindow()) +
                                            " crashes in 10 minutes; not restarted again");
                if (std::getenv("DISPLAY") != nullptr ||
                    std::getenv("WAYLAND_DISPLAY") != nullptr) {
                    char* notice[] = {argv[0], const_cast<char*>(kCrashLoopFlag), nullptr};
                    ::execv(exe.c_str(), notice);
                }
                return 1;
            }
        }
    }
}

}  // namespace supervisor
