// DEC400 compressed-buffer layouts, worked out by hand, and the per-format
// compressor properties.

#include <gtest/gtest.h>

#include "formats_test_util.h"
#include "support/log_capture.h"
#include "velt_dec400util.h"
#include "zo_dec400_util.h"
#include "zo_log_common.h"

namespace {

using formats_test::fourcc;

struct Layout {
    uint32_t size;
    uint32_t offsets[3];
    uint32_t sizes[3];
};

Layout layOut(int format, uint32_t depth, bool tnr, uint32_t stride, uint32_t height,
              uint32_t extra) {
    Layout layout;
    for (int i = 0; i < 3; ++i) {
        layout.offsets[i] = layout.sizes[i] = 0xDEAD;
    }
    layout.size = nuv_dec400_cmprs_calc_buf_size(format, depth, tnr, stride, height, extra,
                                                 layout.offsets, layout.sizes);
    return layout;
}

void expectLayout(const Layout& layout, uint32_t size, const uint32_t (&offsets)[3],
                  const uint32_t (&sizes)[3]) {
    EXPECT_EQ(layout.size, size);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(layout.offsets[i], offsets[i]) << "offset " << i;
        EXPECT_EQ(layout.sizes[i], sizes[i]) << "size " << i;
    }
}

TEST(Dec400LayoutTest, PlanarThreePlanes) {
    // Luma 256 x 64 = 16384 in 256-byte tiles: 64 tiles * 2 bits = 16 bytes.
    // Chroma 128 x 32 = 4096 each in 128-byte tiles: 32 tiles * 1 bit = 4 bytes.
    // Images end at 24576; status buffers at 24576, 28672, 32768.
    zovesk_test::LogCapture log;
    expectLayout(layOut(3, 8, false, 256, 64, 0), 36864, {24576, 28672, 32768}, {16, 4, 4});
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total: 24576, "
                             "stride: 128, height: 32, tile_size[2]: 128, img_buf_size[2]: 4096, "
                             "ts_sizes[2]: 4}\n"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "nuv_dec400_cmprs_calc_buf_size || {ts_offsets[2]: 32768, "
                             "ts_sizes[2]: 4\n}"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total: 24576, "
                             "combined_buf_size: 36864, num_planes: 3, "
                             "ts_offsets[num_planes - 1]: 32768, ts_sizes[num_planes - 1]: 4}\n"));
    EXPECT_EQ(dec400util::calcBufferSize(fourcc("CIYU"), 8, false, 256, 64, 0, nullptr, nullptr),
              36864u);
}

TEST(Dec400LayoutTest, SemiPlanarPadsHeightsTo32Lines) {
    // Luma 128 x align(40, 32) = 8192: 64 tiles of 128 bytes, 8 bytes of status.
    // Chroma 128 x align(20, 32) = 4096: 32 tiles, 4 bytes.
    zovesk_test::LogCapture log;
    expectLayout(layOut(5, 8, false, 128, 40, 0), 20480, {12288, 16384, 0}, {8, 4, 0});
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total: 8192, "
                             "stride: 128, height: 64, tile_size[0]: 128, img_buf_size[0]: 8192, "
                             "ts_sizes[0]: 8}\n"));
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR,
                             "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total after "
                             "extra_mem (0 bytes): 12288}\n"));
}

TEST(Dec400LayoutTest, SemiPlanarWithTnrAndExtraMemory) {
    // 100 x 32 = 3200-byte planes. TNR: 6 luma tiles of 512 bytes * 4 bits and
    // 12 chroma tiles of 256 bytes * 2 bits, 3 bytes each. 1000 extra bytes
    // after the images move nothing past the first 4096-byte boundary.
    expectLayout(layOut(5, 8, true, 100, 20, 1000), 16384, {8192, 12288, 0}, {3, 3, 0});
    // Without TNR: 25 tiles of 128 bytes * 1 bit = 4 bytes per plane.
    expectLayout(layOut(5, 8, false, 100, 20, 1000), 16384, {8192, 12288, 0}, {4, 4, 0});
    // Extra memory that crosses a boundary shifts the status buffers.
    expectLayout(layOut(5, 8, false, 100, 20, 2000), 20480, {12288, 16384, 0}, {4, 4, 0});
}

TEST(Dec400LayoutTest, TenBitSemiPlanar) {
    // 256 x 32 = 8192-byte planes in 256-byte tiles: 32 tiles * 2 bits = 8 bytes.
    expectLayout(layOut(50, 10, false, 256, 16, 0), 24576, {16384, 20480, 0}, {8, 8, 0});
    expectLayout(layOut(50, 10, false, 256, 16, 5000), 32768, {24576, 28672, 0}, {8, 8, 0});
}

TEST(Dec400LayoutTest, TiledUsesEightStatusBitsPerTile) {
    // Luma 256 x 64 = 16384: 64 tiles * 8 bits = 64 bytes. Chroma 256 x 32 =
    // 8192: 32 tiles, 32 bytes.
    expectLayout(layOut(7, 8, false, 256, 40, 0), 32768, {24576, 28672, 0}, {64, 32, 0});
    // Unknown fourccs are laid out the same way.
    uint32_t sizes[3];
    EXPECT_EQ(dec400util::calcBufferSize(fourcc("ABCD"), 8, false, 256, 40, 0, nullptr, sizes),
              32768u);
    EXPECT_EQ(sizes[0], 64u);
}

TEST(Dec400LayoutTest, BayerIsOnePlaneWithoutHeightPadding) {
    // 512 x 30 = 15360 bytes: 30 tiles of 512 bytes * 4 bits = 15 bytes.
    for (int format = 20; format <= 23; ++format) {
        expectLayout(layOut(format, 8, false, 512, 30, 0), 20480, {16384, 0, 0}, {15, 0, 0});
        expectLayout(layOut(format, 12, false, 512, 30, 0), 20480, {16384, 0, 0}, {15, 0, 0});
    }
}

TEST(Dec400LayoutTest, FormatsWithoutTilesAreRefused) {
    zovesk_test::LogCapture log;
    expectLayout(layOut(20, 14, false, 512, 30, 0), 0, {0, 0, 0}, {0, 0, 0});
    expectLayout(layOut(25, 8, false, 512, 30, 0), 0, {0, 0, 0}, {0, 0, 0});
    expectLayout(layOut(0, 8, false, 512, 30, 0), 0, {0, 0, 0}, {0, 0, 0});
    EXPECT_TRUE(log.contains(ZO_LOG_ERROR, "no DEC400 tiles"));
    EXPECT_EQ(nuv_dec400_cmprs_calc_buf_size(20, 16, false, 512, 30, 0, nullptr, nullptr), 0u);
}

TEST(Dec400LayoutTest, SizesBeyond32BitsAreRefused) {
    expectLayout(layOut(5, 8, false, 65536, 65536, 0), 0, {0, 0, 0}, {0, 0, 0});
    // The images fit, the status buffers behind them do not.
    expectLayout(layOut(20, 8, false, 4096, 1048575, 0), 0, {0, 0, 0}, {0, 0, 0});
}

TEST(Dec400LayoutTest, PlaneSizeAddsRoundedUpStatusBytes) {
    uint32_t image = 0;
    uint32_t status = 0;
    // 1920 x 1088 in 256-byte tiles: 8160 tiles * 2 bits = 2040 bytes.
    EXPECT_EQ(nuv_dec400_cmprs_calc_plane_buf_size(1920, 1088, 256, false, &image, &status),
              1920u * 1088u + 2040u);
    EXPECT_EQ(image, 1920u * 1088u);
    EXPECT_EQ(status, 2040u);
    // Tiled planes use 8 bits per tile.
    EXPECT_EQ(nuv_dec400_cmprs_calc_plane_buf_size(1920, 1088, 256, true, nullptr, &status),
              1920u * 1088u + 8160u);
    // Eight tiles take as many status bytes as a tile has status bits: 64-
    // and 128-byte tiles one, 256-byte tiles two, larger ones four.
    const uint32_t tileBytes[] = {64, 128, 256, 512, 1024};
    const uint32_t bitsPerTile[] = {1, 1, 2, 4, 4};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(nuv_dec400_cmprs_calc_plane_buf_size(tileBytes[i], 8, tileBytes[i], false,
                                                       nullptr, &status),
                  tileBytes[i] * 8 + bitsPerTile[i])
            << tileBytes[i];
        EXPECT_EQ(status, bitsPerTile[i]) << tileBytes[i];
    }
    // A partial byte counts as a whole one: nine 128-byte tiles.
    EXPECT_EQ(nuv_dec400_cmprs_calc_plane_buf_size(128, 9, 128, false, nullptr, &status), 1154u);
    EXPECT_EQ(status, 2u);
}

TEST(Dec400LayoutTest, PlaneSizeRefusesTileSizeZeroAndOverflow) {
    uint32_t image = 5;
    uint32_t status = 5;
    EXPECT_EQ(nuv_dec400_cmprs_calc_plane_buf_size(1920, 1088, 0, false, &image, &status), 0u);
    EXPECT_EQ(image, 0u);
    EXPECT_EQ(status, 0u);
    image = status = 5;
    EXPECT_EQ(nuv_dec400_cmprs_calc_plane_buf_size(65536, 65536, 256, false, &image, &status), 0u);
    EXPECT_EQ(image, 0u);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(nuv_dec400_cmprs_calc_plane_buf_size(1, 1, 0, true, nullptr, nullptr), 0u);
}

TEST(Dec400PropertiesTest, PlanesAndChromaSubsampling) {
    struct Expected {
        int format;
        uint32_t planes;
        uint32_t heightDivisor;
        uint32_t strideDivisor;
        bool tiled;
    };
    const Expected table[] = {
        {3, 3, 2, 2, false},  {5, 2, 2, 1, false},  {7, 2, 2, 1, true},   {20, 1, 1, 1, false},
        {23, 1, 1, 1, false}, {49, 2, 2, 1, false}, {50, 2, 2, 1, false}, {51, 2, 2, 1, false},
        {52, 2, 2, 1, false}, {53, 2, 2, 1, false}, {54, 2, 2, 1, true},  {55, 2, 2, 1, false},
        {56, 2, 2, 1, true},  {0, 1, 1, 1, false},  {4, 1, 1, 1, false},  {48, 1, 1, 1, false},
        {57, 1, 1, 1, false}, {63, 1, 1, 1, false},
    };
    for (const Expected& expected : table) {
        SCOPED_TRACE(expected.format);
        EXPECT_EQ(nuv_dec400_cmpr_get_num_planes(expected.format), expected.planes);
        EXPECT_EQ(nuv_dec400_cmpr_get_chroma_height_div(expected.format), expected.heightDivisor);
        EXPECT_EQ(nuv_dec400_cmpr_get_chroma_stride_div(expected.format), expected.strideDivisor);
        EXPECT_EQ(nuv_dec400_cmprs_is_tiled(expected.format), expected.tiled);
    }
    EXPECT_EQ(dec400util::numberOfPlanes(fourcc("IYUV")), 3u);
    EXPECT_EQ(dec400util::numberOfPlanes(fourcc("PC12")), 2u);
    EXPECT_EQ(dec400util::numberOfPlanes(fourcc("RG8C")), 1u);
    EXPECT_EQ(dec400util::numberOfPlanes(fourcc("ABCD")), 1u);
}

TEST(Dec400PropertiesTest, TileSizesByPlaneAndTnr) {
    struct Expected {
        int format;
        uint32_t depth;
        bool tnr;
        uint32_t tiles[3];
    };
    const Expected table[] = {
        {3, 8, false, {256, 128, 128}},   {3, 8, true, {256, 128, 128}},
        {5, 8, false, {128, 128, 128}},   {5, 8, true, {512, 256, 0}},
        {7, 8, true, {256, 256, 256}},    {54, 10, false, {256, 256, 256}},
        {56, 12, false, {256, 256, 256}}, {50, 10, false, {256, 256, 256}},
        {50, 10, true, {512, 256, 0}},    {52, 12, true, {512, 256, 0}},
        {21, 10, false, {512, 512, 512}}, {22, 12, true, {512, 512, 512}},
        {23, 14, false, {0, 0, 0}},       {20, 16, false, {0, 0, 0}},
        {25, 8, false, {0, 0, 0}},        {49, 10, false, {0, 0, 0}},
    };
    for (const Expected& expected : table) {
        for (uint32_t plane = 0; plane < 3; ++plane) {
            EXPECT_EQ(
                nuv_dec400_cmpr_get_tile_size(expected.format, expected.depth, plane, expected.tnr),
                expected.tiles[plane])
                << "format " << expected.format << " tnr " << expected.tnr << " plane " << plane;
        }
    }
    EXPECT_EQ(nuv_dec400_cmpr_get_tile_size(3, 8, 3, false), 0u);
}

TEST(Dec400PropertiesTest, ProcessingSystemValidation) {
    for (int format = 0; format <= 64; ++format) {
        const bool accepted = format == 3 || format == 5 || format == 7 ||
                              (format >= 20 && format <= 23) || format == 50 || format == 54 ||
                              format == 56;
        EXPECT_EQ(nuv_dec400_psys_cmprs_validate_format(format), accepted) << format;
    }
    struct Depths {
        int format;
        uint32_t impliedDepth;
        bool accepts[3];  // 8, 10, 12 bits
    };
    const Depths table[] = {
        {3, 0, {true, true, true}},     {20, 0, {true, true, true}},
        {23, 0, {true, true, true}},    {5, 8, {true, false, false}},
        {7, 8, {true, false, false}},   {50, 10, {false, true, false}},
        {54, 10, {false, true, false}}, {56, 12, {false, false, true}},
        {52, 0, {false, false, false}}, {25, 0, {false, false, false}},
    };
    const uint32_t depths[3] = {8, 10, 12};
    for (const Depths& expected : table) {
        EXPECT_EQ(nuv_dec400_psys_cmprs_get_bit_depth(expected.format), expected.impliedDepth)
            << expected.format;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(nuv_dec400_psys_cmprs_validate_bit_depth(expected.format, depths[i]),
                      expected.accepts[i])
                << expected.format << " at " << depths[i];
        }
        EXPECT_FALSE(nuv_dec400_psys_cmprs_validate_bit_depth(expected.format, 16));
    }
}

TEST(Dec400PropertiesTest, StrideAlignments) {
    struct Expected {
        int format;
        bool tnr;
        uint32_t alignment;
        uint32_t multiplier;
    };
    const Expected table[] = {
        {3, false, 256, 2},  {3, true, 256, 2},  {4, false, 1, 1},  {57, false, 1, 1},
        {20, false, 512, 1}, {23, true, 512, 1}, {7, false, 64, 8}, {54, true, 64, 8},
        {56, false, 64, 8},  {5, false, 128, 2}, {5, true, 128, 4}, {50, false, 128, 2},
        {50, true, 128, 4},  {52, false, 1, 1},  {6, false, 1, 1},  {24, true, 1, 1},
    };
    for (const Expected& expected : table) {
        uint32_t multiplier = 99;
        uint32_t offset = 99;
        EXPECT_EQ(nuv_dec400_cmprs_get_stride_alignment(expected.format, 8, expected.tnr,
                                                        &multiplier, &offset),
                  expected.alignment)
            << expected.format;
        EXPECT_EQ(multiplier, expected.multiplier) << expected.format;
        EXPECT_EQ(offset, 0u);
    }
    uint32_t multiplier = 0;
    EXPECT_EQ(nuv_dec400_cmprs_get_stride_alignment(7, 8, false, &multiplier, nullptr), 64u);
    EXPECT_EQ(multiplier, 8u);
}

TEST(Dec400PropertiesTest, InputSystemStrideAlignment) {
    uint32_t multiplier = 99;
    for (uint32_t pin : {1u, 3u}) {
        for (uint32_t format : {20u, 24u}) {
            for (uint32_t dataType : {42u, 43u, 44u}) {
                multiplier = 99;
                EXPECT_EQ(
                    nuv_dec400_isys_cmprs_get_stride_alignment(pin, format, dataType, &multiplier),
                    512u);
                EXPECT_EQ(multiplier, 1u);
            }
        }
    }
    EXPECT_EQ(nuv_dec400_isys_cmprs_get_stride_alignment(2, 20, 42, &multiplier), 0u);
    EXPECT_EQ(multiplier, 0u);
    EXPECT_EQ(nuv_dec400_isys_cmprs_get_stride_alignment(1, 21, 42, &multiplier), 0u);
    EXPECT_EQ(nuv_dec400_isys_cmprs_get_stride_alignment(1, 20, 45, &multiplier), 0u);
    EXPECT_EQ(nuv_dec400_isys_cmprs_get_stride_alignment(3, 24, 41, &multiplier), 0u);
}

}  // namespace
