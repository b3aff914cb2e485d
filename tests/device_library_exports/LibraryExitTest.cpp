// Leaving a process while an operation runs: the library cancels and joins it at exit.
#include <spawn.h>
#include <sys/wait.h>

#include "tests/device_library_exports/DriverFixture.h"

extern char** environ;

namespace exports_test {
namespace {

using ExportsLibraryExitTest = DriverTest;

TEST_F(ExportsLibraryExitTest, ProcessEndsCleanlyWhileAnOperationRuns)
{
    AmpProcess& amp = StartA210("LEAVER", {"--pace-ms", "1"});
    std::string program = EXIT_WHILE_RUNNING_PROGRAM;
    std::string serial = "LEAVER";
    char* argv[] = {program.data(), serial.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    int status = 0;
    ASSERT_TRUE(WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::seconds(60)));
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // The amplifier was left idle: it serves the next caller.
    EXPECT_EQ(amp.Control("present LEAVER"), "OK 1");
    ASSERT_NE(Connect(kA210, "LEAVER"), nullptr);
    BasicInfo info{};
    EXPECT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
}

}  // namespace
}  // namespace exports_test
