// Frame buffer sizes per format family.

#include <gtest/gtest.h>

#include <string>

#include "formats_test_util.h"
#include "support/log_capture.h"
#include "velt_formats.h"
#include "zo_log_common.h"

namespace {

using formats_test::fourcc;
using VELTFormats::calculateBufferSize;
using VELTFormats::calculateDec400BufferSize;
using VELTFormats::zo_format_t;

class BufferSizeTest : public ::testing::Test {
  protected:
    void SetUp() override { VELTFormats::initVELTFormats(); }

    static zo_format_t format(const std::string& name) {
        zo_format_t record;
        EXPECT_EQ(VELTFormats::getFormatByName(name, record), 0) << name;
        return record;
    }
};

TEST_F(BufferSizeTest, RawFormatsAreOneStridePerLine) {
    EXPECT_EQ(calculateBufferSize(format("BGGR_8"), 100, 10, 0, nullptr, nullptr), 128u * 10);
    EXPECT_EQ(calculateBufferSize(format("GRBG_12_V"), 100, 10, 0, nullptr, nullptr), 256u * 10);
    EXPECT_EQ(calculateBufferSize(format("BA10"), 100, 10, 300, nullptr, nullptr), 3000u);
    EXPECT_EQ(calculateBufferSize(format("BA10"), 0, 65536, 65536, nullptr, nullptr), 0u);
}

TEST_F(BufferSizeTest, PlainFormatsTakeOneAndAHalfStridesPerLine) {
    EXPECT_EQ(calculateBufferSize(format("YUV420_8_SP"), 1920, 1080, 0, nullptr, nullptr),
              1920u * 1080 * 3 / 2);
    // Every format outside the other families, e.g. a packed or a planar one.
    EXPECT_EQ(calculateBufferSize(format("UYVY"), 64, 10, 128, nullptr, nullptr), 1920u);
    EXPECT_EQ(calculateBufferSize(format("YUV420_12_PL_C"), 64, 10, 128, nullptr, nullptr), 1920u);
}

TEST_F(BufferSizeTest, FactorsAreAppliedInSinglePrecision) {
    // 4097 * 4097 = 16785409 rounds to 16785408 as a float: the exact sizes
    // would be 25178113 and 16785409.
    EXPECT_EQ(calculateBufferSize(format("YUV420_8_SP"), 0, 4097, 4097, nullptr, nullptr),
              25178112u);
    EXPECT_EQ(calculateBufferSize(format("YUV420_10_V"), 0, 8195, 4097, nullptr, nullptr),
              16785408u);
    EXPECT_EQ(calculateBufferSize(format("YUV420_8_SP"), 0, 65536, 65536, nullptr, nullptr), 0u);
}

TEST_F(BufferSizeTest, VectorisedYuvTakesHalfTheLines) {
    // Stride align(6 * 100, 64) = 640; 11 / 2 = 5 line pairs.
    EXPECT_EQ(calculateBufferSize(format("YUV420_10_V"), 100, 11, 0, nullptr, nullptr), 3200u);
}

TEST_F(BufferSizeTest, TiledFormatsPadBothPlanesTo32Lines) {
    EXPECT_EQ(calculateBufferSize(format("TileYUV420_8_SP"), 0, 1080, 1920, nullptr, nullptr),
              (1088u + 544u) * 1920u);
    EXPECT_EQ(calculateBufferSize(format("TileYUV420_10_SP"), 0, 100, 256, nullptr, nullptr),
              (128u + 64u) * 256u);
    EXPECT_EQ(calculateBufferSize(format("TileYUV420_12_SP"), 0, 65, 100, nullptr, nullptr),
              (96u + 32u) * 100u);
}

TEST_F(BufferSizeTest, CompressedFormatsUseTheDec400Layout) {
    unsigned offsets[3] = {1, 1, 1};
    unsigned sizes[3] = {1, 1, 1};
    // Stride align(128, 128) = 128; luma 64 lines, chroma 32 lines of 128
    // bytes in 128-byte tiles with one status bit each.
    EXPECT_EQ(calculateBufferSize(format("YUV420_8_SP_C"), 128, 40, 0, offsets, sizes), 20480u);
    EXPECT_EQ(offsets[0], 12288u);
    EXPECT_EQ(offsets[1], 16384u);
    EXPECT_EQ(offsets[2], 0u);
    EXPECT_EQ(sizes[0], 8u);
    EXPECT_EQ(sizes[1], 4u);
    EXPECT_EQ(sizes[2], 0u);
}

TEST_F(BufferSizeTest, TnrReferenceUsesLargerTiles) {
    unsigned offsets[3];
    unsigned sizes[3];
    // 3200-byte planes: 6 luma tiles of 512 bytes and 12 chroma tiles of 256
    // bytes give 24 status bits each (3 bytes).
    EXPECT_EQ(calculateDec400BufferSize(fourcc("CT12"), 0, 20, 100, 8, offsets, sizes), 16384u);
    EXPECT_EQ(sizes[0], 3u);
    EXPECT_EQ(sizes[1], 3u);
    EXPECT_EQ(offsets[0], 8192u);
    EXPECT_EQ(offsets[1], 12288u);
    // Without TNR: 25 tiles of 128 bytes with one bit each, 4 bytes.
    EXPECT_EQ(calculateDec400BufferSize(fourcc("CN12"), 0, 20, 100, 8, offsets, sizes), 16384u);
    EXPECT_EQ(sizes[0], 4u);
    EXPECT_EQ(sizes[1], 4u);
}

TEST_F(BufferSizeTest, CompressedBayerUsesTheRecordsDepth) {
    unsigned sizes[3];
    // 10-bit Bayer: 512-byte tiles. 1024 * 8 bytes = 16 tiles, 64 status bits.
    EXPECT_EQ(calculateBufferSize(format("GRBG_10_C"), 0, 8, 1024, nullptr, sizes), 12288u);
    EXPECT_EQ(sizes[0], 8u);
    EXPECT_EQ(sizes[1], 0u);
}

TEST_F(BufferSizeTest, UnsupportedCompressedFourccGivesZeroAndClearsTheArrays) {
    zovesk_test::LogCapture log;
    unsigned offsets[3] = {7, 7, 7};
    unsigned sizes[3] = {7, 7, 7};
    EXPECT_EQ(calculateDec400BufferSize(fourcc("P21Y"), 64, 64, 256, 12, offsets, sizes), 0u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(offsets[i], 0u);
        EXPECT_EQ(sizes[i], 0u);
    }
    EXPECT_TRUE(log.contains(ZO_LOG_WARNING,
                             "Unsupported compressed format 0x50323159, not calculating buffer "
                             "size."));
    EXPECT_EQ(calculateDec400BufferSize(fourcc("NV12"), 64, 64, 256, 8, nullptr, nullptr), 0u);
}

}  // namespace
