// The connection options of every program that reaches real servers, read
// as Samba's tools read them: in order, a later option replacing what an
// earlier one set, field by field.
#include "platform/samr/ConnectionOptions.h"

#include "common/ArgumentMemory.h"
#include "common/ScratchPath.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace tw::samr {
namespace {

constexpr std::string_view kOwn[] = {"--machine"};

struct Read {
    std::optional<std::string> error;
    ConnectionOptions options;
    std::vector<std::string> own;
};

// As a program does it: the passwords of -U out of the argument memory
// first, then the options read from what is left there.
Read ReadArguments(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "program");
    tests::ArgumentMemory memory(std::move(arguments));
    ArgumentPassword hidden = HidePasswordArguments(memory.argc(), memory.pointers.data(), kOwn);
    Read read;
    for (std::size_t i = 1; i < memory.pointers.size(); ++i)
        read.own.emplace_back(memory.pointers[i]);
    read.error = TakeConnectionOptions(read.own, kOwn, std::move(hidden), read.options);
    return read;
}

TEST(ConnectionOptions, ALaterOptionReplacesWhatAnEarlierOneSet) {
    const std::string file = tests::ScratchPath("tw-connection-auth");
    std::ofstream(file) << "username = fileuser\npassword = filepw\ndomain = FILEDOM\n";
    const struct {
        std::vector<std::string> arguments;
        const char* user;
        const char* domain;
        const char* password;
    } rows[] = {
        {{"--connect", "-A", file, "-U", "bob"}, "bob", "FILEDOM", "filepw"},
        {{"--connect", "-U", "bob", "-A", file}, "fileuser", "FILEDOM", "filepw"},
        {{"--connect", "-U", "bob%pw1", "-A", file}, "fileuser", "FILEDOM", "filepw"},
        {{"--connect", "-A", file, "--user=LAB\\bob%pw1"}, "bob", "LAB", "pw1"},
        {{"--connect", "-Ua%1", "-U", "b"}, "b", "", "1"},
    };
    for (const auto& row : rows) {
        const Read read = ReadArguments(row.arguments);
        ASSERT_FALSE(read.error) << *read.error;
        const SamrConnection& c = read.options.connection;
        EXPECT_EQ(c.user, row.user) << row.arguments[3];
        EXPECT_EQ(c.domain, row.domain) << row.arguments[3];
        EXPECT_EQ(c.password.View(), row.password) << row.arguments[3];
    }
    std::filesystem::remove(file);
}

TEST(ConnectionOptions, EveryFormIsTakenAndTheProgramsOwnStayInOrder) {
    const Read read = ReadArguments({"--machine", "-U", "x.json", "--connect", "--port=4450",
                                     "--local", "srv", "-k", "-p4451", "stray"});
    ASSERT_TRUE(read.error.has_value()); // -k with no ticket: refused, but everything was read
    EXPECT_EQ(read.own, (std::vector<std::string>{"--machine", "-U", "x.json", "stray"}));
    EXPECT_TRUE(read.options.connect);
    EXPECT_EQ(read.options.connection.port, 4451);
    EXPECT_EQ(read.options.connection.localHost, "srv");
    EXPECT_TRUE(read.options.connection.kerberos);

    const struct {
        std::vector<std::string> arguments;
        const char* says;
    } refused[] = {
        {{"-p"}, "Missing value after '-p'."},
        {{"-U", "alice"}, "the connection options need --connect"},
        {{"--connect", "-p", "0"}, "the port must be a number from 1 to 65535, not \"0\""},
        {{"--connect", "-A", "/nonexistent/auth"}, "/nonexistent/auth"},
    };
    for (const auto& row : refused) {
        const Read read = ReadArguments(row.arguments);
        ASSERT_TRUE(read.error.has_value()) << row.says;
        EXPECT_NE(read.error->find(row.says), std::string::npos) << *read.error;
    }
}

} // namespace
} // namespace tw::samr
