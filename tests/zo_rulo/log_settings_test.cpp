// Debug settings from the environment, the version, log contexts and the
// message sink.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "support/log_capture.h"
#include "zo_log_common.h"
#include "zo_version.h"

namespace {

class LogSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        unsetenv("camera_vesk_debug");
        unsetenv("camera_vesk_debug_dump_path");
        unsetenv("camera_vesk_trace");
        unsetenv("stats_dump");
        unsetenv("Enable_BurstIsp_Dump");
        g_zo_log_common_level = 0x30;
        strcpy(g_zo_log_dump_path, ".");
    }
    void TearDown() override { SetUp(); }
};

TEST_F(LogSettingsTest, DefaultsWithoutEnvironment) {
    EXPECT_EQ(zo_vesk_debug_level(), 48u);
    EXPECT_STREQ(zo_vesk_debug_dump_path(), ".");
    EXPECT_EQ(g_zo_trace_level, 0u);
    EXPECT_EQ(g_zo_dump_enabled, 0);
}

TEST_F(LogSettingsTest, DebugVariableAddsBitsAndBadTextAddsNone) {
    setenv("camera_vesk_debug", "0x4", 1);
    EXPECT_EQ(zo_vesk_debug_level(), 52u);
    // Reading again ORs the same bits in: no change.
    EXPECT_EQ(zo_vesk_debug_level(), 52u);

    g_zo_log_common_level = 0x30;
    setenv("camera_vesk_debug", "abc", 1);
    EXPECT_EQ(zo_vesk_debug_level(), 48u);
}

TEST_F(LogSettingsTest, ConfigNumbersUseBasePrefixes) {
    setenv("camera_vesk_trace", "010", 1);
    EXPECT_EQ(zo_log_get_config_int32("camera_vesk_trace"), 8);
    setenv("camera_vesk_trace", "0x1F", 1);
    EXPECT_EQ(zo_log_get_config_int32("camera_vesk_trace"), 31);
    setenv("camera_vesk_trace", "12zz", 1);
    EXPECT_EQ(zo_log_get_config_int32("camera_vesk_trace"), 12);
    // Truncated to 32 bits.
    setenv("camera_vesk_trace", "0x100000005", 1);
    EXPECT_EQ(zo_log_get_config_int32("camera_vesk_trace"), 5);
    EXPECT_EQ(zo_log_get_config_int32("zovesk_surely_unset_variable"), 0);
}

TEST_F(LogSettingsTest, DumpSwitchesAreAssignedNotOred) {
    setenv("stats_dump", "1", 1);
    setenv("Enable_BurstIsp_Dump", "3", 1);
    zo_log_common_init();
    EXPECT_EQ(g_zo_dump_enabled, 1);
    EXPECT_EQ(g_zo_burstisp_dump_enable, 3);
    unsetenv("stats_dump");
    zo_log_common_init();
    EXPECT_EQ(g_zo_dump_enabled, 0);
}

TEST_F(LogSettingsTest, LongDumpPathKeepsFirst255Characters) {
    const std::string path(300, 'p');
    setenv("camera_vesk_debug_dump_path", path.c_str(), 1);
    zo_log_set_debug_level();
    EXPECT_EQ(std::string(g_zo_log_dump_path), path.substr(0, 255));
}

TEST_F(LogSettingsTest, InitReportsTheVersion) {
    zovesk_test::LogCapture log;
    zo_log_common_init();
    const std::string version = zo_vesk_get_version_string();
    EXPECT_TRUE(log.contains(ZO_LOG_INFO, "Libzovesk version: " + version));
    ASSERT_EQ(version.size(), 40u);
    EXPECT_EQ(version.find_first_not_of("0123456789abcdef"), std::string::npos);
}

TEST(LibraryVersionTest, MatchesTheHeaders) {
    const std::string expected = std::to_string(ZOVESK_VERSION_MAJOR) + "." +
                                 std::to_string(ZOVESK_VERSION_MINOR) + "." +
                                 std::to_string(ZOVESK_VERSION_PATCH);
    EXPECT_EQ(expected, ZOVESK_VERSION_STRING);
    EXPECT_EQ(std::string(zo_vesk_get_version()), expected);
}

TEST(LogSinkTest, FormatsTheMessageAndStopsWhenRemoved) {
    {
        zovesk_test::LogCapture log;
        zo_log_common_debug(ZO_LOG_ERROR, "VELT[XOS]", "value %d of %s", 7, "width");
        ASSERT_EQ(log.records().size(), 1u);
        EXPECT_EQ(log.records()[0].level, ZO_LOG_ERROR);
        EXPECT_EQ(log.records()[0].tag, "VELT[XOS]");
        EXPECT_EQ(log.records()[0].message, "value 7 of width");
    }
    // Without a sink the message goes nowhere, and nothing fails.
    zo_log_common_debug(ZO_LOG_ERROR, "VELT[XOS]", "dropped %d", 1);
}

namespace {

// Collects level and text of the messages a sink receives.
void collect(uint32_t level, const char*, const char* message, void* context) {
    static_cast<std::vector<std::pair<uint32_t, std::string>>*>(context)->emplace_back(level,
                                                                                       message);
}

// Counts the times its text was built, so a test sees whether the argument
// of a message was evaluated.
struct CostlyArgument {
    int built = 0;
    const char* text() {
        ++built;
        return "built";
    }
};

// What the library's call sites do for costly arguments.
#define LOG_IF_WANTED(level, ...)                           \
    do {                                                    \
        if (zo_log_common_wants(level)) {                   \
            zo_log_common_debug((level), "T", __VA_ARGS__); \
        }                                                   \
    } while (0)

}  // namespace

TEST(LogSinkTest, SinkReceivesOnlyItsLevelsAndArgumentsAreBuiltOnlyForThem) {
    std::vector<std::pair<uint32_t, std::string>> received;
    CostlyArgument argument;
    EXPECT_EQ(zo_log_common_wants(ZO_LOG_ERROR), 0);
    LOG_IF_WANTED(ZO_LOG_ERROR, "%s", argument.text());
    EXPECT_EQ(argument.built, 0) << "nobody listens";

    zo_log_common_set_sink_levels(collect, &received, ZO_LOG_ERROR | ZO_LOG_WARNING);
    EXPECT_EQ(zo_log_common_wants(ZO_LOG_ERROR), 1);
    EXPECT_EQ(zo_log_common_wants(ZO_LOG_DEBUG), 0);
    LOG_IF_WANTED(ZO_LOG_DEBUG, "%s", argument.text());
    LOG_IF_WANTED(ZO_LOG_WARNING, "w %s", argument.text());
    zo_log_common_debug(ZO_LOG_INFO, "T", "info %d", 1);
    zo_log_common_debug(ZO_LOG_ERROR, "T", "error %d", 2);
    EXPECT_EQ(argument.built, 1);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], std::make_pair(ZO_LOG_WARNING, std::string("w built")));
    EXPECT_EQ(received[1], std::make_pair(ZO_LOG_ERROR, std::string("error 2")));

    // Following the settings: whatever g_zo_log_common_level holds at the message.
    received.clear();
    const uint32_t saved = g_zo_log_common_level;
    zo_log_common_set_sink_levels(collect, &received, ZO_LOG_LEVELS_FROM_SETTINGS);
    g_zo_log_common_level = ZO_LOG_DEBUG;
    zo_log_common_debug(ZO_LOG_DEBUG, "T", "debug");
    zo_log_common_debug(ZO_LOG_ERROR, "T", "error");
    g_zo_log_common_level = ZO_LOG_ERROR;
    zo_log_common_debug(ZO_LOG_DEBUG, "T", "debug");
    zo_log_common_debug(ZO_LOG_ERROR, "T", "error");
    g_zo_log_common_level = saved;
    zo_log_common_set_sink(nullptr, nullptr);
    EXPECT_EQ(zo_log_common_wants(ZO_LOG_ERROR), 0);
    const std::vector<std::pair<uint32_t, std::string>> expected = {{ZO_LOG_DEBUG, "debug"},
                                                                    {ZO_LOG_ERROR, "error"}};
    EXPECT_EQ(received, expected);
}

TEST(LogContextTest, NamesComeFromTheLowestEightDigits) {
    zo_log_context* context = zo_log_create_context(12345678);
    ASSERT_NE(context, nullptr);
    EXPECT_STREQ(context->name, "MIEA");
    EXPECT_EQ(context->name, context->text);

    _prettify(context, 0);
    EXPECT_STREQ(context->name, "AAAA");
    _prettify(context, 99);
    EXPECT_STREQ(context->name, "AAAV");

    zo_log_context other{};
    _prettify(&other, 9912345678ull);
    _prettify(context, 12345678);
    EXPECT_STREQ(other.name, context->name);
    zo_log_destroy_context(context);
    EXPECT_EQ(sizeof(zo_log_context), 16u);
}

TEST(TraceTest, NothingHappensWhileTracingIsOff) {
    g_zo_trace_level = 0;
    const int32_t readyBefore = zo_trace_is_ready;
    zo_vesk_trace_begin(1, "parse");
    zo_vesk_trace_end(1);
    EXPECT_EQ(zo_trace_is_ready, readyBefore);
    EXPECT_EQ(zo_trace_marker_fd, -1);
}

}  // namespace
