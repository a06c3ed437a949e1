// velt formats: the table and single formats with their buffer arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "tool_runner.h"

namespace velt_test {
namespace {

// The payload of a formats output: the table or the one format.
nlohmann::json runJson(const std::vector<std::string>& arguments) {
    ToolResult result = runVelt(arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    nlohmann::json output = nlohmann::json::parse(result.out);
    return output.contains("formats") ? output["formats"] : output["format"];
}

TEST(VeltFormats, TableListsEveryBuiltInFormatOnce) {
    nlohmann::json table = runJson({"formats", "--format", "json"});
    ASSERT_TRUE(table.is_array());
    EXPECT_EQ(table.size(), 85u);
    std::set<std::string> names;
    for (const auto& format : table) {
        EXPECT_TRUE(names.insert(format["name"].get<std::string>()).second) << format["name"];
        EXPECT_EQ(format["fourcc_chars"].get<std::string>().size(), 4u);
    }
    EXPECT_EQ(names.count("YUV420_8_SP"), 1u);

    ToolResult text = runVelt({"formats"});
    ASSERT_EQ(text.status, 0);
    // Header, rule and one row per format.
    EXPECT_EQ(std::count(text.out.begin(), text.out.end(), '\n'), 87);
}

TEST(VeltFormats, OneFormatByNameFourccCharactersOrNumber) {
    nlohmann::json byName = runJson({"formats", "YUV420_8_SP", "--format", "json"});
    nlohmann::json byChars = runJson({"formats", "NV12", "--format", "json"});
    nlohmann::json byNumber = runJson({"formats", "0x4E563132", "--format", "json"});
    EXPECT_EQ(byName["name"], "YUV420_8_SP");
    EXPECT_EQ(byName, byChars);
    EXPECT_EQ(byName, byNumber);
    EXPECT_EQ(byName["planes"].size(), 2u);
    EXPECT_FALSE(byName.contains("bpl"));
}

TEST(VeltFormats, SizesOfAPlainFormat) {
    nlohmann::json nv12 = runJson(
        {"formats", "YUV420_8_SP", "--width", "1920", "--height", "1080", "--format", "json"});
    EXPECT_EQ(nv12["bpl"], 1920);
    EXPECT_EQ(nv12["buffer_size"], 1920 * 1080 * 3 / 2);
    EXPECT_FALSE(nv12.contains("dec400"));

    nlohmann::json strideOnly =
        runJson({"formats", "YUV420_10_SP", "--width", "1920", "--format", "json"});
    EXPECT_EQ(strideOnly["bpl"], 3840);
    EXPECT_FALSE(strideOnly.contains("buffer_size"));
}

TEST(VeltFormats, CompressedFormatShowsItsDec400Layout) {
    nlohmann::json compressed = runJson(
        {"formats", "YUV420_8_SP_C", "--width", "1920", "--height", "1080", "--format", "json"});
    ASSERT_TRUE(compressed.contains("dec400"));
    const auto& layout = compressed["dec400"];
    EXPECT_EQ(layout["planes"], 2);
    ASSERT_EQ(layout["tile_status"].size(), 2u);
    unsigned first = layout["tile_status"][0]["offset"];
    unsigned second = layout["tile_status"][1]["offset"];
    // Tile-status buffers follow the image planes at 4096-byte boundaries.
    EXPECT_EQ(first % 4096, 0u);
    EXPECT_GT(second, first);
    EXPECT_GE(first, 1920u * 1088u);
    EXPECT_GE(compressed["buffer_size"].get<unsigned>(),
              second + layout["tile_status"][1]["size"].get<unsigned>());

    ToolResult text = runVelt({"formats", "CN12", "--width", "1920", "--height", "1080"});
    ASSERT_EQ(text.status, 0);
    EXPECT_NE(text.out.find("DEC400 planes: 2"), std::string::npos) << text.out;
}

TEST(VeltFormats, UnknownFormatFails) {
    ToolResult result = runVelt({"formats", "NOPE"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("unknown format"), std::string::npos);
    EXPECT_EQ(runVelt({"formats", "--width", "64"}).status, 2);
}

}  // namespace
}  // namespace velt_test
