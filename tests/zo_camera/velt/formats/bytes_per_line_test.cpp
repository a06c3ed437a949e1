// Bytes per line: each fourcc's alignment rule.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats_test_util.h"
#include "support/log_capture.h"
#include "velt_formats.h"
#include "zo_log_common.h"

namespace {

using formats_test::fourcc;

struct BplRule {
    const char* rule;
    unsigned bplAt1030;  // worked out by hand for a width of 1030
    std::vector<std::string> fourccs;
};

// A width of 1030 gives a different stride under every rule.
const BplRule kRules[] = {
    {"align(w, 64)", 1088, {"NV12"}},
    {"align(w, 128)", 1152, {"IYUV", "TILE", "CN12", "CT12", "CILE"}},
    {"align(w, 512)", 1536, {"BG8C", "GB8C", "GR8C", "RG8C"}},
    {"align(2w, 64)",
     2112,
     {"BA10", "BG10", "GB10", "GR10", "RG10", "IR16", "P010", "P012", "P01L", "PL12", "bV0K",
      "PAFi", "PAFn", "PF8i", "PF1n", "PF2n", "PF4n", "PF6n"}},
    {"align(2w, 128)", 2176, {"P412", "PC10", "PC12", "T010", "T012", "V420", "C010", "C012"}},
    {"align(2w, 512)", 2560, {"BG1C", "GB1C", "GR1C", "RG1C"}},
    {"align(4w, 64)",
     4160,
     {"PF1i", "PF2i", "PF4i", "PF6i", "CSL0", "CSL1", "CSL2", "CSL3", "CSL4", "CSL5", "CSL6",
      "CSL7"}},
    {"align(6w, 64)", 6208, {"y032"}},
    {"ceil(w / 84) * 128", 1664, {"CS42"}},
    {"power of two of align(2w, 256)", 4096, {"C420", "P01Y"}},
    {"power of two of align(w, 256)", 2048, {"CIYU"}},
};

TEST(BytesPerLineTest, EveryRuleOfTheTable) {
    for (const BplRule& rule : kRules) {
        for (const std::string& code : rule.fourccs) {
            zovesk_test::LogCapture log;
            EXPECT_EQ(getBpl(fourcc(code), 1030), rule.bplAt1030) << code << " " << rule.rule;
            EXPECT_FALSE(log.contains("bpl defaulting to width")) << code;
        }
    }
}

TEST(BytesPerLineTest, OtherFourccsDefaultToTheWidthWithAWarning) {
    for (const char* code : {"BGGR", "UYVY", "NV21", "CS40", "P21Y", "MOVE", "ABCD"}) {
        zovesk_test::LogCapture log;
        EXPECT_EQ(getBpl(fourcc(code), 1030), 1088u) << code;
        ASSERT_EQ(log.records().size(), 1u) << code;
        EXPECT_EQ(log.records()[0].level, ZO_LOG_WARNING);
        EXPECT_EQ(log.records()[0].tag, "VELTFormats[XOS]");
        EXPECT_EQ(log.records()[0].message, "bpl defaulting to width");
    }
}

TEST(BytesPerLineTest, RecordFormUsesTheRecordsFourcc) {
    VELTFormats::initVELTFormats();
    VELTFormats::zo_format_t format;
    ASSERT_EQ(VELTFormats::getFormatByName("YUV420_8_SP", format), 0);
    EXPECT_EQ(VELTFormats::getBpl(format, 1920), 1920u);
    ASSERT_EQ(VELTFormats::getFormatByName("YUV420_10_SP", format), 0);
    EXPECT_EQ(VELTFormats::getBpl(format, 1920), 3840u);
    ASSERT_EQ(VELTFormats::getFormatByName("YUV420_8_PL", format), 0);
    EXPECT_EQ(VELTFormats::getBpl(format, 1000), 1024u);

    zovesk_test::LogCapture log;
    ASSERT_EQ(VELTFormats::getFormatByName("BGGR_8", format), 0);
    EXPECT_EQ(VELTFormats::getBpl(format, 100), 128u);
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING, "bpl defaulting to width"));
}

TEST(BytesPerLineTest, PackedTwelveBitBlocksRoundUp) {
    EXPECT_EQ(getBpl(fourcc("CS42"), 1920), 2944u);  // ceil(960 / 42) = 23 blocks
    EXPECT_EQ(getBpl(fourcc("CS42"), 84), 128u);     // exactly one block
    EXPECT_EQ(getBpl(fourcc("CS42"), 85), 256u);
    EXPECT_EQ(getBpl(fourcc("CS42"), 0), 0u);
}

TEST(BytesPerLineTest, CompressedPlanarStridesArePowersOfTwo) {
    const unsigned c420 = fourcc("C420");
    EXPECT_EQ(getBpl(c420, 1000), 2048u);  // align(2000, 256) is already a power of two
    EXPECT_EQ(getBpl(c420, 1100), 4096u);  // align(2200, 256) = 2304
    EXPECT_EQ(getBpl(c420, 0), 64u);
    EXPECT_EQ(getBpl(c420, 1), 256u);
    EXPECT_EQ(getBpl(c420, 0x40000000u), 0x80000000u);
    EXPECT_EQ(getBpl(c420, 0x40000001u), 0u);  // no power of two up to 2^31 is large enough
    EXPECT_EQ(getBpl(fourcc("P01Y"), 1100), 4096u);

    const unsigned ciyu = fourcc("CIYU");
    EXPECT_EQ(getBpl(ciyu, 0), 64u);
    EXPECT_EQ(getBpl(ciyu, 1), 256u);
    EXPECT_EQ(getBpl(ciyu, 257), 512u);
    EXPECT_EQ(getBpl(ciyu, 0x80000000u), 0x80000000u);
    EXPECT_EQ(getBpl(ciyu, 0x80000001u), 0u);
    EXPECT_EQ(getBpl(ciyu, 0xFFFFFFFFu), 0u);
}

TEST(BytesPerLineTest, StridesBeyond32BitsGiveZero) {
    EXPECT_EQ(getBpl(fourcc("NV12"), 0xFFFFFFC0u), 0xFFFFFFC0u);
    EXPECT_EQ(getBpl(fourcc("NV12"), 0xFFFFFFC1u), 0u);
    EXPECT_EQ(getBpl(fourcc("P010"), 0x7FFFFFE0u), 0xFFFFFFC0u);
    EXPECT_EQ(getBpl(fourcc("P010"), 0x80000000u), 0u);
    EXPECT_EQ(getBpl(fourcc("y032"), 0x30000000u), 0u);
    EXPECT_EQ(getBpl(fourcc("CS42"), 0xFFFFFFFFu), 0u);
}

}  // namespace
