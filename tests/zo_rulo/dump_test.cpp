// Raw memory dumps and DVS terminal file names.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/log_capture.h"
#include "zo_dump.h"
#include "zo_log_common.h"

namespace {

using zovesk_test::LogCapture;

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

class DumpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        memcpy(savedPath_, g_zo_log_dump_path, sizeof(savedPath_));
        char pattern[] = "/tmp/zovesk_dump_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        for (size_t i = 0; i < data_.size(); ++i) {
            data_[i] = static_cast<unsigned char>(i * 7 + 1);
        }
    }
    void TearDown() override {
        memcpy(g_zo_log_dump_path, savedPath_, sizeof(savedPath_));
        const std::string command = "rm -rf '" + dir_ + "'";
        EXPECT_EQ(system(command.c_str()), 0);
    }
    void useDumpPath(const std::string& path) {
        ASSERT_LT(path.size(), sizeof(g_zo_log_dump_path));
        snprintf(g_zo_log_dump_path, sizeof(g_zo_log_dump_path), "%s", path.c_str());
    }

    std::string dir_;
    std::vector<unsigned char> data_ = std::vector<unsigned char>(64);
    char savedPath_[sizeof(g_zo_log_dump_path)] = {};
};

TEST_F(DumpTest, WritesTheBytesAndReplacesAnOlderFile) {
    const std::string path = dir_ + "/frame.raw";
    LogCapture log;
    ASSERT_EQ(zo_dump_to_file(path.c_str(), data_.data(), 64), 0);
    EXPECT_EQ(readFile(path), data_);
    EXPECT_TRUE(
        log.contains(ZO_LOG_INFO, "zo_dump_to_file: successfully created dump file " + path));
    EXPECT_EQ(log.records().back().tag, "rulo_dump[XOS]");

    ASSERT_EQ(zo_dump_to_file(path.c_str(), data_.data(), 8), 0);
    EXPECT_EQ(readFile(path), std::vector<unsigned char>(data_.begin(), data_.begin() + 8));
}

TEST_F(DumpTest, UnusableArgumentsAndFiles) {
    const std::string path = dir_ + "/empty.raw";
    EXPECT_EQ(zo_dump_to_file(path.c_str(), data_.data(), 0), -32);
    EXPECT_EQ(zo_dump_to_file(path.c_str(), nullptr, 64), -32);
    EXPECT_EQ(zo_dump_to_file(nullptr, data_.data(), 64), -32);
    EXPECT_FALSE(exists(path));

    LogCapture log;
    const std::string missing = dir_ + "/no/such/dir.raw";
    EXPECT_EQ(zo_dump_to_file(missing.c_str(), data_.data(), 64), -2);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "zo_dump_to_file: failed to create file " + missing));
}

TEST_F(DumpTest, WriteThatCannotCompleteIsAFailure) {
    if (!exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    LogCapture log;
    EXPECT_EQ(zo_dump_to_file("/dev/full", data_.data(), 64), -2);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "error occurs during writing file /dev/full"));
    EXPECT_FALSE(log.contains(ZO_LOG_INFO, "successfully created"));
}

TEST_F(DumpTest, DvsTerminalFileNamesInTheCurrentDirectory) {
    useDumpPath(".");
    const std::string path = "./dvs_mv_l1_bufid_7.bin";
    remove(path.c_str());
    EXPECT_EQ(zo_dump_dvs_terminal(18, 7, data_.data(), 64), 0);
    EXPECT_EQ(readFile(path), data_);
    remove(path.c_str());
}

TEST_F(DumpTest, DvsTerminalNamesUseTheLowEightBits) {
    useDumpPath(dir_);
    const struct {
        uint32_t terminal;
        int32_t bufferId;
        const char* file;
    } cases[] = {
        {17, 0, "dvs_mv_l0_bufid_0.bin"},   {19, 2, "dvs_mv_l2_bufid_2.bin"},
        {24, -1, "dvs_fe_l0_bufid_-1.bin"}, {25, 10, "dvs_fe_l1_bufid_10.bin"},
        {26, 3, "dvs_fe_l2_bufid_3.bin"},   {0x111, 5, "dvs_mv_l0_bufid_5.bin"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.file);
        EXPECT_EQ(zo_dump_dvs_terminal(test.terminal, test.bufferId, data_.data(), 16), 0);
        EXPECT_EQ(readFile(dir_ + "/" + test.file).size(), 16u);
    }
}

TEST_F(DumpTest, UnknownDvsTerminalWritesNothing) {
    useDumpPath(dir_);
    LogCapture log;
    EXPECT_EQ(zo_dump_dvs_terminal(20, 7, data_.data(), 64), -16);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "zo_dump_dvs_terminal: Undefined dvs terminal 20"));
    EXPECT_EQ(zo_dump_dvs_terminal(18, 7, data_.data(), 0), -32);
    EXPECT_EQ(zo_dump_dvs_terminal(18, 7, nullptr, 64), -32);
    const std::string command = "test -z \"$(ls -A '" + dir_ + "')\"";
    EXPECT_EQ(system(command.c_str()), 0) << "the dump directory is not empty";
}

TEST_F(DumpTest, LongDvsPathIsCutTo127Characters) {
    // A directory whose path leaves room for only part of the file name.
    const std::string longDir = dir_ + "/" + std::string(110 - dir_.size(), 'd');
    ASSERT_EQ(mkdir(longDir.c_str(), 0700), 0);
    useDumpPath(longDir);
    const std::string full = longDir + "/dvs_fe_l2_bufid_123456.bin";
    ASSERT_GT(full.size(), 127u);
    EXPECT_EQ(zo_dump_dvs_terminal(26, 123456, data_.data(), 64), 0);
    EXPECT_EQ(readFile(full.substr(0, 127)), data_);
    EXPECT_FALSE(exists(full));
}

}  // namespace
