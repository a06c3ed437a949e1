// The built-in format table and its lookups.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "formats_test_util.h"
#include "support/log_capture.h"
#include "velt_formats.h"
#include "zo_log_common.h"

namespace {

using formats_test::fourcc;
using VELTFormats::zo_format_t;

struct ExpectedFormat {
    const char* name;
    const char* characters;  // the fourcc spelled out, first character in the top byte
    const char* type;
    uint32_t bpp;
    uint32_t depth;
    uint32_t storageBits;
    uint32_t packing;
    uint8_t compressed;
    const char* planes;  // "name bits" entries separated by commas
};

// Every built-in record in table order, written with the fourcc's characters
// rather than its number so that the two encodings check each other.
const ExpectedFormat kExpected[] = {
    // clang-format off
    {"SRGB48",                 "SR48", "sRGB",  48, 15, 48,  0, 0, ""},
    {"BGGR_8",                 "BGGR", "BAYER",  8,  8,  8,  0, 0, ""},
    {"GBRG_8",                 "GBRG", "BAYER",  8,  8,  8,  0, 0, ""},
    {"GRBG_8",                 "GRBG", "BAYER",  8,  8,  8,  0, 0, ""},
    {"RGGB_8",                 "RGGB", "BAYER",  8,  8,  8,  0, 0, ""},
    {"BA10",                   "BA10", "BAYER", 16, 10, 16,  0, 0, ""},
    {"BGGR_10",                "BG10", "BAYER", 16, 10, 16,  0, 0, ""},
    {"GBRG_10",                "GB10", "BAYER", 16, 10, 16,  0, 0, ""},
    {"GRBG_10",                "GR10", "BAYER", 16, 10, 16,  0, 0, ""},
    {"RGGB_10",                "RG10", "BAYER", 16, 10, 16,  0, 0, ""},
    {"BGGR_10_P",              "pBAA", "BAYER", 10, 10, 10,  0, 0, ""},
    {"GBRG_10_P",              "pGAA", "BAYER", 10, 10, 10,  0, 0, ""},
    {"GRBG_10_P",              "pgAA", "BAYER", 10, 10, 10,  0, 0, ""},
    {"RGGB_10_P",              "pRAA", "BAYER", 10, 10, 10,  0, 0, ""},
    {"GRBG_10_V",              "bV0G", "BAYER", 16, 10, 16, 32, 0, ""},
    {"GRBG_12_V",              "bV0K", "BAYER", 16, 12, 16, 32, 0, ""},
    {"BGGR_10_LI",             "CSL0", "BAYER", 10, 10, 10,  1, 0, ""},
    {"GBRG_10_LI",             "CSL1", "BAYER", 10, 10, 10,  1, 0, ""},
    {"GRBG_10_LI",             "CSL2", "BAYER", 10, 10, 10,  1, 0, ""},
    {"RGGB_10_LI",             "CSL3", "BAYER", 10, 10, 10,  1, 0, ""},
    {"BGGR_12_LI",             "CSL4", "BAYER", 12, 10, 10,  1, 0, ""},
    {"GBRG_12_LI",             "CSL5", "BAYER", 12, 10, 10,  1, 0, ""},
    {"GRBG_12_LI",             "CSL6", "BAYER", 12, 10, 10,  1, 0, ""},
    {"RGGB_12_LI",             "CSL7", "BAYER", 12, 10, 10,  1, 0, ""},
    {"BGGR_8_C",               "BG8C", "BAYER",  8,  8,  8,  0, 1, ""},
    {"GBRG_8_C",               "GB8C", "BAYER",  8,  8,  8,  0, 1, ""},
    {"GRBG_8_C",               "GR8C", "BAYER",  8,  8,  8,  0, 1, ""},
    {"RGGB_8_C",               "RG8C", "BAYER",  8,  8,  8,  0, 1, ""},
    {"BGGR_10_C",              "BG1C", "BAYER", 16, 10, 16,  0, 1, ""},
    {"GBRG_10_C",              "GB1C", "BAYER", 16, 10, 16,  0, 1, ""},
    {"GRBG_10_C",              "GR1C", "BAYER", 16, 10, 16,  0, 1, ""},
    {"RGGB_10_C",              "RG1C", "BAYER", 16, 10, 16,  0, 1, ""},
    {"UYVY",                   "UYVY", "YUV",   16,  8,  8,  0, 0, ""},
    {"YUV422_8_P64",           "YUY2", "YUV",   16,  8,  8,  0, 0, ""},
    {"YUV420_10_P64",          "CS40", "YUV",   15, 10, 10,  0, 0, ""},
    {"YUV420_12_P64",          "CS42", "YUV",   18, 12, 12,  0, 0, ""},
    {"YUV420_10_V",            "y032", "YUV",   24, 10, 16,  1, 0, ""},
    {"YUV420_10_PL",           "V420", "YUV",   24, 10, 16,  0, 0, "Y16,U16,V16"},
    {"YUV420_12_PL",           "P412", "YUV",   24, 12, 16,  0, 0, "Y12,U12,V12"},
    {"YUV420_16_PL",           "S420", "YUV",   24, 16, 16,  0, 0, "Y16,U16,V16"},
    {"YUV420_16_PL_C",         "C420", "YUV",   24, 16, 16,  0, 1, "Y16,U16,V16"},
    {"YUV420_8_PL",            "IYUV", "YUV",   12,  8,  8,  0, 0, "Y8,U8,V8"},
    {"YUV420_8_PL_C",          "CIYU", "YUV",   12,  8,  8,  0, 1, "Y8,U8,V8"},
    {"YUV420_10_PL_C",         "P01Y", "YUV",   24, 10, 16,  0, 1, "Y10,U10,V10"},
    {"YUV420_12_PL_C",         "P21Y", "YUV",   24, 12, 16,  0, 1, "Y12,U12,V12"},
    {"YUV420_8_PL_REV",        "YV12", "YUV",   12,  8,  8,  0, 0, "Y8,V8,U8"},
    {"YUV444_8_PL",            "NANA", "YUV",   24,  8,  8,  0, 0, "Y8,U8,V8"},
    {"YUV420_8_SP_LINE",       "M420", "YUV",   12,  8,  8,  0, 0, "Y8,UV8"},
    {"YUV420_8_SP",            "NV12", "YUV",   12,  8,  8,  0, 0, "Y8,UV8"},
    {"YUV420_8_SP_C_TNR",      "CT12", "YUV",   12,  8,  8,  0, 1, "Y8,UV8"},
    {"YUV420_8_SP_C",          "CN12", "YUV",   12,  8,  8,  0, 1, "Y8,UV8"},
    {"YUV420_8_SP_REV",        "NV21", "YUV",   12,  8,  8,  0, 0, "Y8,VU8"},
    {"YUV422_8_SP",            "NV16", "YUV",   16,  8,  8,  0, 0, "Y8,UV8"},
    {"TileYUV420_8_SP",        "TILE", "YUV",   12,  8,  8,  0, 0, "Y8,UV8"},
    {"TileYUV420_8_SP_C",      "CILE", "YUV",   12,  8,  8,  0, 1, "Y8,UV8"},
    {"YUV420_10_SP",           "P010", "YUV",   24, 10, 16,  0, 0, "Y10,UV10"},
    {"YUV420_10_SP_C",         "PC10", "YUV",   24, 10, 16,  0, 1, "Y10,UV10"},
    {"YUV420_10_SP_LSB",       "P01L", "YUV",   24, 10, 16,  0, 0, "Y10,UV10"},
    {"YUV420_12_SP",           "P012", "YUV",   24, 12, 16,  0, 0, "Y12,UV12"},
    {"YUV420_12_SP_C",         "PC12", "YUV",   24, 12, 16,  0, 1, "Y12,UV12"},
    {"YUV420_12_SP_LSB",       "PL12", "YUV",   24, 12, 16,  0, 0, "Y12,UV12"},
    {"TileYUV420_10_SP",       "T010", "YUV",   24, 10, 16,  0, 0, "Y10,UV10"},
    {"TileYUV420_10_SP_LSB",   "T01L", "YUV",   24, 10, 16,  0, 0, "Y10,UV10"},
    {"TileYUV420_12_SP_C",     "C012", "YUV",   24, 12, 16,  0, 1, "Y12,UV12"},
    {"TileYUV420_12_SP",       "T012", "YUV",   24, 12, 16,  0, 0, "Y12,UV12"},
    {"TileYUV420_12_SP_LSB",   "TL12", "YUV",   24, 12, 16,  0, 0, "Y12,UV12"},
    {"TileYUV420_10_SP_C",     "C010", "YUV",   24, 10, 16,  0, 1, "Y10,UV10"},
    {"YUV420_16_SP",           "P016", "YUV",   24, 16, 16,  0, 0, "Y16,UV16"},
    {"PAFn",                   "PAFn", "BAYER", 16, 16, 16,  0, 0, ""},
    {"PAFi",                   "PAFi", "BAYER", 16, 16, 16,  0, 0, ""},
    {"PDAF_08i",               "PF8i", "BAYER",  8,  8,  8,  0, 0, ""},
    {"PDAF_10i",               "PF1i", "BAYER", 16, 10, 16,  0, 0, ""},
    {"PDAF_12i",               "PF2i", "BAYER", 16, 12, 16,  0, 0, ""},
    {"PDAF_14i",               "PF4i", "BAYER", 16, 14, 16,  0, 0, ""},
    {"PDAF_16i",               "PF6i", "BAYER", 16, 16, 16,  0, 0, ""},
    {"PDAF_8n",                "PF8n", "BAYER",  8,  8,  8,  0, 0, ""},
    {"PDAF_10n",               "PF1n", "BAYER", 16, 10, 16,  0, 0, ""},
    {"PDAF_12n",               "PF2n", "BAYER", 16, 12, 16,  0, 0, ""},
    {"PDAF_14n",               "PF4n", "BAYER", 16, 14, 16,  0, 0, ""},
    {"PDAF_16n",               "PF6n", "BAYER", 16, 16, 16,  0, 0, ""},
    {"YUV420_8_INTERNAL",      "CSYI", "YUV",   12,  8,  8,  0, 0, "Y8,U8,V8"},
    {"IR",                     "IR16", "IR",    16, 16, 16,  0, 0, ""},
    {"Y_8",                    "Y008", "YUV",    8,  8,  8,  0, 0, ""},
    {"REC_SIM",                "RESI", "META",   8,  8,  8,  0, 0, ""},
    {"MOT_VEC",                "MOVE", "META",  32, 32, 32,  0, 0, ""},
    // clang-format on
};

std::string planesText(const zo_format_t& format) {
    std::string text;
    for (const auto& plane : format.planes) {
        text += (text.empty() ? "" : ",") + plane.first + std::to_string(plane.second);
    }
    return text;
}

class FormatTableTest : public ::testing::Test {
  protected:
    void SetUp() override { VELTFormats::initVELTFormats(); }
};

TEST_F(FormatTableTest, BuiltInRecordsMatchTheirDefinitionInOrder) {
    const size_t count = sizeof(kExpected) / sizeof(kExpected[0]);
    ASSERT_EQ(count, 85u);
    ASSERT_EQ(VELTFormats::gVELTFormatsInternal.size(), count);
    for (size_t i = 0; i < count; ++i) {
        const ExpectedFormat& expected = kExpected[i];
        const zo_format_t& record = VELTFormats::gVELTFormatsInternal[i];
        SCOPED_TRACE(std::to_string(i) + " " + expected.name);
        EXPECT_EQ(record.name, expected.name);
        EXPECT_EQ(record.fourcc, fourcc(expected.characters));
        EXPECT_EQ(record.type, expected.type);
        EXPECT_EQ(record.bpp, expected.bpp);
        EXPECT_EQ(record.depth, expected.depth);
        EXPECT_EQ(record.storageBits, expected.storageBits);
        EXPECT_EQ(record.packing, expected.packing);
        EXPECT_EQ(record.valid, 1);
        EXPECT_EQ(record.compressed, expected.compressed);
        EXPECT_EQ(planesText(record), expected.planes);
        EXPECT_EQ(record.formatId, 0u);
    }
}

TEST_F(FormatTableTest, NamesAndFourccsAreUnique) {
    std::set<std::string> names;
    std::set<uint32_t> codes;
    for (const zo_format_t& record : VELTFormats::gVELTFormatsInternal) {
        EXPECT_TRUE(names.insert(record.name).second) << record.name;
        EXPECT_TRUE(codes.insert(record.fourcc).second) << record.name;
    }
}

TEST_F(FormatTableTest, IrregularRowsKeepTheirOwnValues) {
    zo_format_t format;
    ASSERT_EQ(VELTFormats::getFormatByName("GRBG_10_P", format), 0);
    EXPECT_EQ(format.fourcc, 0x70674141u);  // lower-case g
    ASSERT_EQ(VELTFormats::getFormatByName("YUV444_8_PL", format), 0);
    EXPECT_EQ(format.fourcc, 0x4E414E41u);
    ASSERT_EQ(VELTFormats::getFormatByName("SRGB48", format), 0);
    EXPECT_EQ(format.depth, 15u);
    for (const char* name : {"BGGR_12_LI", "GBRG_12_LI", "GRBG_12_LI", "RGGB_12_LI"}) {
        ASSERT_EQ(VELTFormats::getFormatByName(name, format), 0) << name;
        EXPECT_EQ(format.bpp, 12u) << name;
        EXPECT_EQ(format.depth, 10u) << name;
        EXPECT_EQ(format.packing, 1u) << name;
    }
    ASSERT_EQ(VELTFormats::getFormatByName("YUV420_10_V", format), 0);
    EXPECT_EQ(format.packing, 1u);
    ASSERT_EQ(VELTFormats::getFormatByName("GRBG_12_V", format), 0);
    EXPECT_EQ(format.packing, 32u);
}

TEST_F(FormatTableTest, NameLookupCopiesTheWholeRecord) {
    zo_format_t format;
    ASSERT_EQ(VELTFormats::getFormatByName("YUV420_8_PL_REV", format), 0);
    EXPECT_EQ(format.fourcc, fourcc("YV12"));
    EXPECT_EQ(format.type, "YUV");
    EXPECT_EQ(planesText(format), "Y8,V8,U8");
}

TEST_F(FormatTableTest, NamesAreTheLongNamesNotTheFourccCharacters) {
    zovesk_test::LogCapture log;
    zo_format_t format;
    format.name = "untouched";
    EXPECT_EQ(VELTFormats::getFormatByName("NV12", format), -8);
    EXPECT_EQ(format.name, "untouched");
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Could not find format with name NV12"));
    EXPECT_EQ(VELTFormats::getFormatByName("yuv420_8_sp", format), -8);

    ASSERT_EQ(VELTFormats::getFormatByFourcc(0x4E563132, format), 0);
    EXPECT_EQ(format.name, "YUV420_8_SP");
}

TEST_F(FormatTableTest, UnknownFourccFailsInDecimal) {
    zovesk_test::LogCapture log;
    zo_format_t format;
    format.fourcc = 7;
    EXPECT_EQ(VELTFormats::getFormatByFourcc(fourcc("UNKN"), format), -8);
    EXPECT_EQ(format.fourcc, 7u);
    EXPECT_TRUE(log.contains(
        ZO_LOG_ERROR, "Could not find format with fourcc " + std::to_string(fourcc("UNKN"))));
}

TEST_F(FormatTableTest, PlaneCounts) {
    zovesk_test::LogCapture log;
    EXPECT_EQ(VELTFormats::getPlaneCountByFourcc(fourcc("NV12")), 2);
    EXPECT_EQ(VELTFormats::getPlaneCountByFourcc(fourcc("IYUV")), 3);
    EXPECT_EQ(VELTFormats::getPlaneCountByFourcc(fourcc("BA10")), 0);
    EXPECT_EQ(VELTFormats::getPlaneCountByFourcc(fourcc("UNKN")), -1);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Format not found " + std::to_string(fourcc("UNKN"))));
}

TEST_F(FormatTableTest, CompressionByNameAndByFourcc) {
    EXPECT_TRUE(VELTFormats::isCompressedFormat("YUV420_8_SP_C"));
    EXPECT_FALSE(VELTFormats::isCompressedFormat("YUV420_8_SP"));
    EXPECT_FALSE(VELTFormats::isCompressedFormat("NO_SUCH_FORMAT"));
    EXPECT_EQ(isCompressedFormat(fourcc("CN12")), 1);
    EXPECT_EQ(isCompressedFormat(fourcc("BG1C")), 1);
    EXPECT_EQ(isCompressedFormat(fourcc("NV12")), 0);
    EXPECT_EQ(isCompressedFormat(fourcc("UNKN")), 0);
}

TEST_F(FormatTableTest, FormatIdIsStoredOnTheNamedRecord) {
    EXPECT_EQ(VELTFormats::setFormatId("YUV420_10_SP", 42), 0);
    zo_format_t format;
    ASSERT_EQ(VELTFormats::getFormatByFourcc(fourcc("P010"), format), 0);
    EXPECT_EQ(format.formatId, 42u);
    // The built-in records stay as they were.
    EXPECT_EQ(VELTFormats::gVELTFormatsInternal[55].formatId, 0u);
    // A second init keeps the table, and the id with it.
    VELTFormats::initVELTFormats();
    ASSERT_EQ(VELTFormats::getFormatByName("YUV420_10_SP", format), 0);
    EXPECT_EQ(format.formatId, 42u);
    EXPECT_EQ(VELTFormats::setFormatId("YUV420_10_SP", 0), 0);

    zovesk_test::LogCapture log;
    EXPECT_EQ(VELTFormats::setFormatId("NV12", 1), -32);
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "Failed to set format id for NV12"));
}

// The lookups do not initialise the table; only initVELTFormats() fills it.
TEST(FormatTableLifecycleTest, LookupsFindNothingBeforeInit) {
    VELTFormats::gVELTFormats.clear();
    zo_format_t format;
    EXPECT_EQ(VELTFormats::getFormatByName("YUV420_8_SP", format), -8);
    EXPECT_EQ(VELTFormats::getFormatByFourcc(fourcc("NV12"), format), -8);
    EXPECT_EQ(VELTFormats::getPlaneCountByFourcc(fourcc("NV12")), -1);
    EXPECT_EQ(VELTFormats::setFormatId("YUV420_8_SP", 1), -32);

    VELTFormats::initVELTFormats();
    EXPECT_EQ(VELTFormats::gVELTFormats.size(), 85u);
    EXPECT_EQ(VELTFormats::getFormatByName("YUV420_8_SP", format), 0);
}

// Lookups keep first-match semantics when a caller edits the public table.
TEST(FormatTableLifecycleTest, LookupsFollowCallerChangesToTheTable) {
    VELTFormats::gVELTFormats.clear();
    VELTFormats::initVELTFormats();
    zo_format_t format;

    // Renamed in place: the old name is gone, the new one is found.
    VELTFormats::gVELTFormats[48].name = "RENAMED";
    EXPECT_EQ(VELTFormats::getFormatByName("YUV420_8_SP", format), -8);
    ASSERT_EQ(VELTFormats::getFormatByName("RENAMED", format), 0);
    EXPECT_EQ(format.fourcc, fourcc("NV12"));

    // A record appended with a repeated fourcc does not shadow the first one.
    zo_format_t extra = VELTFormats::gVELTFormats[1];
    extra.name = "EXTRA";
    VELTFormats::gVELTFormats.push_back(extra);
    VELTFormats::initVELTFormats();
    ASSERT_EQ(VELTFormats::getFormatByFourcc(extra.fourcc, format), 0);
    EXPECT_EQ(format.name, "BGGR_8");
    ASSERT_EQ(VELTFormats::getFormatByName("EXTRA", format), 0);

    VELTFormats::gVELTFormats.clear();
    VELTFormats::initVELTFormats();
    EXPECT_EQ(VELTFormats::getFormatByName("YUV420_8_SP", format), 0);
}

}  // namespace
