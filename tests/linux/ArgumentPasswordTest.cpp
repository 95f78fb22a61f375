// The password of -U leaves the process's own arguments before anything
// else reads them, so /proc/PID/cmdline never shows it.
#include "platform/samr/ArgumentPassword.h"
#include "common/ArgumentMemory.h"
#include "hosts/linux/ProgramOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tw::samr {
namespace {

using Arguments = tests::ArgumentMemory;

TEST(ArgumentPassword, EveryFormOfDashUIsCutAtThePercent) {
    const struct {
        std::vector<std::string> arguments;
        int changed;          // which argument loses its password; -1: none
        std::string reads;    // what that argument reads afterwards
        const char* password; // null: none taken
    } rows[] = {
        {{"tarnwick", "-U", "alice%s3cret"}, 2, "alice", "s3cret"},
        {{"tarnwick", "--user", "LAB\\alice%s3cret"}, 2, "LAB\\alice", "s3cret"},
        {{"tarnwick", "--user=alice%s3cret"}, 1, "--user=alice", "s3cret"},
        {{"tarnwick", "-Ualice%s3cret"}, 1, "-Ualice", "s3cret"},
        {{"tarnwick", "-U", "alice%"}, 2, "alice", ""},
        {{"tarnwick", "-U", "alice"}, -1, "", nullptr},
        // The value of another option is not a -U, even when it reads like one.
        {{"tarnwick", "--local", "-U", "x%y"}, -1, "", nullptr},
        {{"tarnwick", "-A", "file%name"}, -1, "", nullptr},
        {{"tarnwick", "-U"}, -1, "", nullptr},
    };
    for (const auto& row : rows) {
        Arguments arguments(row.arguments);
        const ArgumentPassword taken = HidePasswordArguments(
            arguments.argc(), arguments.pointers.data(), hosts::kValueOptions);
        EXPECT_FALSE(taken.error) << row.arguments.back();
        std::string given = "(none)";
        for (const std::optional<Secret>& password : taken.passwords)
            given = password ? std::string(password->View()) : given;
        EXPECT_EQ(given, row.password ? row.password : "(none)") << row.arguments.back();
        // The same bytes, the '%' and the password turned to NULs in place.
        std::vector<std::string> memory = row.arguments;
        if (row.changed >= 0) {
            std::string& changed = memory[static_cast<std::size_t>(row.changed)];
            changed = row.reads + std::string(changed.size() - row.reads.size(), '\0');
        }
        EXPECT_EQ(arguments.text, memory) << row.arguments.back();
    }
}

TEST(ArgumentPassword, AValueThatIsNotUtf8IsAnErrorNotAnotherName) {
    const struct {
        std::string value;
        const char* says;
    } rows[] = {
        {"r\xf6ot%pw", "the user name of -U is not valid UTF-8"},
        {"r\xf6ot", "the user name of -U is not valid UTF-8"},
        {"root%p\xe4ss", "the password of -U is not valid UTF-8"},
    };
    for (const auto& row : rows) {
        Arguments arguments({"tarnwick", "--connect", "-U", row.value});
        const ArgumentPassword taken = HidePasswordArguments(
            arguments.argc(), arguments.pointers.data(), hosts::kValueOptions);
        EXPECT_EQ(taken.error, row.says);
        EXPECT_TRUE(taken.passwords.empty());
        EXPECT_EQ(arguments.text[3].find('%'), std::string::npos) << "hidden all the same";
        const hosts::ProgramOptions options =
            hosts::ParseProgramOptions({"tarnwick", "--connect", "-U", "x"}, taken);
        EXPECT_EQ(options.action, hosts::ProgramOptions::Action::Refuse);
        EXPECT_EQ(options.text, std::string("tarnwick: ") + row.says);
    }
}

// The real thing: this test binary started again with a password on its
// command line and in PASSWD; after the parse, neither is in its
// /proc/self/cmdline or /proc/self/environ.
int processArgc = 0;
char** processArgv = nullptr;
// glibc hands every constructor the process's own arguments.
__attribute__((constructor)) void keepArguments(int argc, char** argv, char**) {
    processArgc = argc;
    processArgv = argv;
}

const char* const kArgvSecret = "argv-s3cret-4711";
const char* const kEnvSecret = "env-s3cret-0815";

std::string fileText(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(ProcessMemory, ChildSide) {
    if (std::getenv("TW_PROCESS_MEMORY_CHILD") == nullptr)
        GTEST_SKIP() << "run by ProcessMemory.PasswordsLeaveCmdlineAndEnviron";
    ASSERT_NE(fileText("/proc/self/cmdline").find(kArgvSecret), std::string::npos);
    // GoogleTest has taken its own flags out of the array since: its end is the null.
    int argc = 0;
    while (argc < processArgc && processArgv[argc] != nullptr)
        ++argc;
    ArgumentPassword hidden = HidePasswordArguments(argc, processArgv, hosts::kValueOptions);
    const hosts::ProgramOptions options = hosts::ParseProgramOptions(
        {"tarnwick", "--connect", "-U", processArgv[argc - 1]}, std::move(hidden));
    ASSERT_EQ(options.action, hosts::ProgramOptions::Action::Run) << options.text;
    EXPECT_EQ(options.connection.user, "alice");
    EXPECT_EQ(options.connection.password.View(), kArgvSecret);
    EXPECT_EQ(fileText("/proc/self/cmdline").find(kArgvSecret), std::string::npos);
    EXPECT_EQ(fileText("/proc/self/environ").find(kEnvSecret), std::string::npos);
    EXPECT_EQ(std::getenv("PASSWD"), nullptr);
}

TEST(ProcessMemory, PasswordsLeaveCmdlineAndEnviron) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string user = std::string("alice%") + kArgvSecret;
        setenv("TW_PROCESS_MEMORY_CHILD", "1", 1);
        setenv("PASSWD", kEnvSecret, 1);
        execl("/proc/self/exe", "tw_linux_tests", "--gtest_filter=ProcessMemory.ChildSide",
              "--gtest_brief=1", "-U", user.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's checks failed: see its output above";
}

} // namespace
} // namespace tw::samr
