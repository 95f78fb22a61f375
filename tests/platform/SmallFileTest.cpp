// Every file the program reads whole goes through ReadSmallFile: only a
// regular file, never a wait on a FIFO, never more than the limit.
#include "platform/SmallFile.h"
#include "common/ScratchPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tw::win {
namespace {

namespace fs = std::filesystem;

class SmallFile : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const std::string& name, const std::string& content) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    const fs::path dir_ = tests::ScratchPath("tw-small-file");
};

TEST_F(SmallFile, ARegularFileIsReadWholeUpToTheLimit) {
    std::string bytes;
    EXPECT_EQ(ReadSmallFile(file("ten", "0123456789"), bytes, 10), std::nullopt);
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_EQ(ReadSmallFile(file("empty", ""), bytes), std::nullopt);
    EXPECT_EQ(bytes, "");
}

TEST_F(SmallFile, WhatIsNoSmallRegularFileIsRefusedAtOnce) {
    const std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = (dir_ / "huge").string();
    std::ofstream(huge).close();
    fs::resize_file(huge, 100u << 20); // sparse: 100 MB without writing them
    const struct {
        std::string path;
        std::size_t limit;
        const char* says;
    } rows[] = {
        {fifo, kSmallFileLimit, "is not a regular file"}, // a writer is never waited for
        {"/dev/zero", kSmallFileLimit, "is not a regular file"},
        {dir_.string(), kSmallFileLimit, "is not a regular file"},
        {(dir_ / "missing").string(), kSmallFileLimit, "cannot be opened: No such file"},
        {huge, kSmallFileLimit, "is larger than 1 MB"},
        {file("eleven", "0123456789A"), 10, "is larger than 10 bytes"},
        {file("64k1", std::string(64 * 1024 + 1, 'x')), 64 * 1024, "is larger than 64 KB"},
    };
    for (const auto& row : rows) {
        std::string bytes = "left over";
        const auto why = ReadSmallFile(row.path, bytes, row.limit);
        ASSERT_TRUE(why.has_value()) << row.path;
        EXPECT_EQ(why->rfind(row.says, 0), 0u) << row.path << ": " << *why;
        EXPECT_EQ(why->find('\n'), std::string::npos);
        EXPECT_TRUE(bytes.empty()) << row.path;
    }
}

} // namespace
} // namespace tw::win
