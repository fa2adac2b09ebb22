#pragma once

#include <cstdint>
#include <optional>

// The program's first process. It runs the bell program (this same executable, marked with
// kSupervisedFlag) and starts it again within a second when it ends abnormally, so a crash
// costs a moment rather than the day's bells. It uses neither Qt nor GStreamer: what crashed
// cannot take it along.
namespace supervisor {

inline constexpr const char* kSupervisedFlag = "--supervised";
// Given to a restarted bell program: the time of the crash, in ms since the epoch on the
// program's clock, so it resumes ringing from there.
inline constexpr const char* kResumeFlag = "--resume=";
// The notice shown, instead of the program, once it has crashed too often.
inline constexpr const char* kCrashLoopFlag = "--crash-loop";

// Whether this process is the bell program (or the notice), not the supervisor.
bool isChild(int argc, char** argv);
bool hasFlag(int argc, char** argv, const char* flag);
// The crash time that kResumeFlag carries.
std::optional<std::int64_t> resumeTime(int argc, char** argv);

// Runs the bell program until it ends normally, or has crashed too often; returns the exit
// status. SIGTERM, SIGINT and SIGHUP are passed on to the bell program and waited for.
int run(int argc, char** argv);

}  // namespace supervisor
