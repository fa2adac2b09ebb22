#include "supervisor/CrashPolicy.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>

namespace {

using Decision = CrashPolicy::Decision;

TEST(CrashPolicyTest, NormalEndsEndCrashesRestartUntilMoreThanFiveInTenMinutes) {
    const ChildEnd segv{true, SIGSEGV};
    const struct {
        const char* name;
        std::vector<std::pair<ChildEnd, std::int64_t>> ends;  // how and when (ms)
        Decision last;
    } cases[] = {
        {"exit 0 is the normal end", {{{false, 0}, 0}}, Decision::End},
        {"a signal is a crash", {{segv, 0}}, Decision::Restart},
        {"another exit status is a crash", {{{false, 3}, 0}}, Decision::Restart},
        {"five crashes are restarted",
         {{segv, 0}, {segv, 1}, {segv, 2}, {segv, 3}, {segv, 4}},
         Decision::Restart},
        {"the sixth in ten minutes gives up",
         {{segv, 0}, {segv, 1}, {segv, 2}, {segv, 3}, {segv, 4}, {segv, 599'999}},
         Decision::GiveUp},
        {"crashes older than ten minutes are forgotten",
         {{segv, 0}, {segv, 1}, {segv, 2}, {segv, 3}, {segv, 4}, {segv, 600'002}},
         Decision::Restart},
        {"a normal end after crashes still ends",
         {{segv, 0}, {segv, 1}, {{false, 0}, 2}},
         Decision::End},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CrashPolicy policy;
        Decision last = Decision::End;
        for (const auto& [end, at] : c.ends) {
            last = policy.onEnd(end, at);
        }
        EXPECT_EQ(last, c.last);
    }
}

TEST(CrashPolicyTest, TheLogNamesTheSignalOrTheExitStatus) {
    EXPECT_EQ((ChildEnd{true, SIGSEGV}).describe(), "SIGSEGV");
    EXPECT_EQ((ChildEnd{true, SIGABRT}).describe(), "SIGABRT");
    EXPECT_EQ((ChildEnd{false, 3}).describe(), "exit 3");
    // As waitpid reports them.
    EXPECT_TRUE(ChildEnd::fromWaitStatus(0).normal());
    EXPECT_EQ(ChildEnd::fromWaitStatus(SIGKILL).describe(), "SIGKILL");
    EXPECT_EQ(ChildEnd::fromWaitStatus(1 << 8).describe(), "exit 1");
}

}  // namespace
