// The fourcc to frame-format map and the plain compression query.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats_test_util.h"
#include "support/log_capture.h"
#include "zo_log_common.h"
#include "zo_pifo_format.h"

namespace {

using formats_test::fourcc;

struct MapRow {
    std::vector<std::string> fourccs;
    int frameFormat;
    bool bayer;
    bool packed;
};

const MapRow kMap[] = {
    {{"NV12", "CN12", "CT12"}, 5, false, false},
    {{"IYUV", "C420", "P01Y", "CIYU", "P412", "S420", "V420", "CSYI"}, 3, false, false},
    {{"CS40", "CS42"}, 3, false, true},
    {{"TILE", "CILE"}, 7, false, false},
    {{"YV12"}, 4, false, false},
    {{"NV21"}, 8, false, false},
    {{"NV16"}, 11, false, false},
    {{"YUY2"}, 14, false, false},
    {{"CSYP"}, 16, false, false},
    {{"M420", "CSYC"}, 24, false, false},
    {{"GRBG", "GR10", "GR1C", "GR8C"}, 20, true, false},
    {{"pgAA", "pgCC"}, 20, true, true},
    {{"RGGB", "RG1C", "RG8C"}, 21, true, false},
    {{"pRAA", "pRCC"}, 21, true, true},
    {{"BGGR", "BG1C", "BG8C"}, 22, true, false},
    {{"pBAA", "pBCC"}, 22, true, true},
    {{"GBRG", "GB1C", "GB8C"}, 23, true, false},
    {{"pGAA", "pGCC"}, 23, true, true},
    {{"BA10", "BA12", "GR08", "CSBA"}, 25, true, false},
    {{"BIN8"}, 28, false, false},
    {{"CSL0", "CSL1", "CSL2", "CSL3", "CSL4", "CSL5", "CSL6", "CSL7"}, 42, true, false},
    {{"bV0E", "bV0F", "bV0G", "bV0H", "bV0I", "bV0J", "bV0K", "bV0L"}, 43, true, false},
    {{"bV0M", "bV0N", "bV0O", "bV0P", "bV0Q", "bV0R", "bV0S", "bV0T"}, 43, true, true},
    {{"y032"}, 47, false, false},
    {{"y036"}, 47, false, true},
    {{"P01L"}, 49, false, false},
    {{"P010", "PC10"}, 50, false, false},
    {{"PL12"}, 51, false, false},
    {{"P012", "PC12"}, 52, false, false},
    {{"T010", "C010"}, 54, false, false},
    {{"T012", "C012"}, 56, false, false},
    {{"PAFn", "PF1n", "PF2n", "PF4n", "PF6n", "PF8n"}, 61, true, false},
    {{"PAFi", "PF1i", "PF2i", "PF4i", "PF6i", "PF8i"}, 62, true, false},
    {{"IR16"}, 63, false, false},
};

TEST(FourccFrameFormatTest, EveryMappedFourcc) {
    for (const MapRow& row : kMap) {
        for (const std::string& code : row.fourccs) {
            int frameFormat = -1;
            bool bayer = !row.bayer;
            bool packed = !row.packed;
            EXPECT_EQ(fourcc_to_vesk_frame_format(fourcc(code), &frameFormat, &bayer, &packed), 0)
                << code;
            EXPECT_EQ(frameFormat, row.frameFormat) << code;
            EXPECT_EQ(bayer, row.bayer) << code;
            EXPECT_EQ(packed, row.packed) << code;
        }
    }
}

TEST(FourccFrameFormatTest, RangesEndAtTheirLastCode) {
    for (const char* code : {"CSK~", "CSL8", "bV0D", "bV0U", "y031", "y033"}) {
        int frameFormat = 7;
        EXPECT_EQ(fourcc_to_vesk_frame_format(fourcc(code), &frameFormat, nullptr, nullptr), -32)
            << code;
        EXPECT_EQ(frameFormat, 7) << code;
    }
}

TEST(FourccFrameFormatTest, UnknownFourccLeavesTheOutputsAlone) {
    zovesk_test::LogCapture log;
    int frameFormat = 7;
    bool bayer = true;
    bool packed = true;
    EXPECT_EQ(fourcc_to_vesk_frame_format(fourcc("UYVY"), &frameFormat, &bayer, &packed), -32);
    EXPECT_EQ(frameFormat, 7);
    EXPECT_TRUE(bayer);
    EXPECT_TRUE(packed);
    EXPECT_TRUE(log.contains(ZO_LOG_ENTRY, "E:fourcc_to_vesk_frame_format"));
    ASSERT_FALSE(log.records().empty());
    EXPECT_EQ(log.records()[0].tag, "XOS_PSYS_FORMAT_UTILS[XOS]");
}

TEST(FourccFrameFormatTest, NullOutputsAreSkipped) {
    EXPECT_EQ(fourcc_to_vesk_frame_format(0x70674141, nullptr, nullptr, nullptr), 0);
    bool packed = false;
    EXPECT_EQ(fourcc_to_vesk_frame_format(0x70674141, nullptr, nullptr, &packed), 0);
    EXPECT_TRUE(packed);
    int frameFormat = 0;
    EXPECT_EQ(fourcc_to_vesk_frame_format(0x4E563132, &frameFormat, nullptr, nullptr), 0);
    EXPECT_EQ(frameFormat, 5);
}

TEST(FourccFrameFormatTest, PlainCompressionQuery) {
    EXPECT_EQ(zo_pifo_is_compressed_format(fourcc("CN12")), 1);
    EXPECT_EQ(zo_pifo_is_compressed_format(fourcc("C012")), 1);
    EXPECT_EQ(zo_pifo_is_compressed_format(fourcc("NV12")), 0);
    EXPECT_EQ(zo_pifo_is_compressed_format(fourcc("BIN8")), 0);  // mapped, but not a table format
}

}  // namespace
