// The camera subsystem's frame format number of each fourcc.

#include "velt_status.h"
#include "zo_camera/velt/formats/formats_common.h"
#include "zo_log_common.h"
#include "zo_pifo_format.h"
#include "zo_rulo/zo_log_tags.h"

namespace {

using namespace VELTFormats::detail;

// One fourcc, or every code from first to last.
struct FrameFormatRow {
    uint32_t first;
    uint32_t last;
    int frameFormat;
    bool bayer;
    bool packed;
};

constexpr FrameFormatRow one(const char (&code)[5], int frameFormat, bool bayer, bool packed) {
    return {fourccOf(code), fourccOf(code), frameFormat, bayer, packed};
}

constexpr FrameFormatRow range(const char (&first)[5], const char (&last)[5], int frameFormat,
                               bool bayer, bool packed) {
    return {fourccOf(first), fourccOf(last), frameFormat, bayer, packed};
}

constexpr bool kBayer = true;
constexpr bool kPacked = true;

// Includes codes the format table does not list (BA12, BIN8, pBCC, ...): they map all the same.
constexpr FrameFormatRow kFrameFormats[] = {
    // clang-format off
    one("NV12", kFrameFormatNv12, !kBayer, !kPacked),
    one("CN12", kFrameFormatNv12, !kBayer, !kPacked),
    one("CT12", kFrameFormatNv12, !kBayer, !kPacked),
    one("IYUV", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("C420", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("P01Y", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("CIYU", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("P412", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("S420", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("V420", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("CSYI", kFrameFormatYuv420Planar, !kBayer, !kPacked),
    one("CS40", kFrameFormatYuv420Planar, !kBayer, kPacked),
    one("CS42", kFrameFormatYuv420Planar, !kBayer, kPacked),
    one("TILE", kFrameFormatNv12Tiled, !kBayer, !kPacked),
    one("CILE", kFrameFormatNv12Tiled, !kBayer, !kPacked),
    one("YV12", kFrameFormatYv12, !kBayer, !kPacked),
    one("NV21", kFrameFormatNv21, !kBayer, !kPacked),
    one("NV16", kFrameFormatNv16, !kBayer, !kPacked),
    one("YUY2", kFrameFormatYuyv, !kBayer, !kPacked),
    one("CSYP", kFrameFormatYuv420PackedCsyp, !kBayer, !kPacked),
    one("M420", kFrameFormatYuv420Line, !kBayer, !kPacked),
    one("CSYC", kFrameFormatYuv420Line, !kBayer, !kPacked),
    one("GRBG", kFrameFormatBayerGrbg, kBayer, !kPacked),
    one("GR10", kFrameFormatBayerGrbg, kBayer, !kPacked),
    one("GR1C", kFrameFormatBayerGrbg, kBayer, !kPacked),
    one("GR8C", kFrameFormatBayerGrbg, kBayer, !kPacked),
    one("pgAA", kFrameFormatBayerGrbg, kBayer, kPacked),
    one("pgCC", kFrameFormatBayerGrbg, kBayer, kPacked),
    one("RGGB", kFrameFormatBayerRggb, kBayer, !kPacked),
    one("RG1C", kFrameFormatBayerRggb, kBayer, !kPacked),
    one("RG8C", kFrameFormatBayerRggb, kBayer, !kPacked),
    one("pRAA", kFrameFormatBayerRggb, kBayer, kPacked),
    one("pRCC", kFrameFormatBayerRggb, kBayer, kPacked),
    one("BGGR", kFrameFormatBayerBggr, kBayer, !kPacked),
    one("BG1C", kFrameFormatBayerBggr, kBayer, !kPacked),
    one("BG8C", kFrameFormatBayerBggr, kBayer, !kPacked),
    one("pBAA", kFrameFormatBayerBggr, kBayer, kPacked),
    one("pBCC", kFrameFormatBayerBggr, kBayer, kPacked),
    one("GBRG", kFrameFormatBayerGbrg, kBayer, !kPacked),
    one("GB1C", kFrameFormatBayerGbrg, kBayer, !kPacked),
    one("GB8C", kFrameFormatBayerGbrg, kBayer, !kPacked),
    one("pGAA", kFrameFormatBayerGbrg, kBayer, kPacked),
    one("pGCC", kFrameFormatBayerGbrg, kBayer, kPacked),
    one("BA10", kFrameFormatRaw, kBayer, !kPacked),
    one("BA12", kFrameFormatRaw, kBayer, !kPacked),
    one("GR08", kFrameFormatRaw, kBayer, !kPacked),
    one("CSBA", kFrameFormatRaw, kBayer, !kPacked),
    one("BIN8", kFrameFormatBinary8, !kBayer, !kPacked),
    range("CSL0", "CSL7", kFrameFormatBayerLineInterleaved, kBayer, !kPacked),
    range("bV0E", "bV0L", kFrameFormatBayerVectorized, kBayer, !kPacked),
    range("bV0M", "bV0T", kFrameFormatBayerVectorized, kBayer, kPacked),
    one("y032", kFrameFormatYuv420Vectorized, !kBayer, !kPacked),
    one("y036", kFrameFormatYuv420Vectorized, !kBayer, kPacked),
    one("P01L", kFrameFormatP010Lsb, !kBayer, !kPacked),
    one("P010", kFrameFormatP010, !kBayer, !kPacked),
    one("PC10", kFrameFormatP010, !kBayer, !kPacked),
    one("PL12", kFrameFormatP012Lsb, !kBayer, !kPacked),
    one("P012", kFrameFormatP012, !kBayer, !kPacked),
    one("PC12", kFrameFormatP012, !kBayer, !kPacked),
    one("T010", kFrameFormatP010Tiled, !kBayer, !kPacked),
    one("C010", kFrameFormatP010Tiled, !kBayer, !kPacked),
    one("T012", kFrameFormatP012Tiled, !kBayer, !kPacked),
    one("C012", kFrameFormatP012Tiled, !kBayer, !kPacked),
    one("PAFn", kFrameFormatPafNonInterleaved, kBayer, !kPacked),
    one("PF1n", kFrameFormatPafNonInterleaved, kBayer, !kPacked),
    one("PF2n", kFrameFormatPafNonInterleaved, kBayer, !kPacked),
    one("PF4n", kFrameFormatPafNonInterleaved, kBayer, !kPacked),
    one("PF6n", kFrameFormatPafNonInterleaved, kBayer, !kPacked),
    one("PF8n", kFrameFormatPafNonInterleaved, kBayer, !kPacked),
    one("PAFi", kFrameFormatPafInterleaved, kBayer, !kPacked),
    one("PF1i", kFrameFormatPafInterleaved, kBayer, !kPacked),
    one("PF2i", kFrameFormatPafInterleaved, kBayer, !kPacked),
    one("PF4i", kFrameFormatPafInterleaved, kBayer, !kPacked),
    one("PF6i", kFrameFormatPafInterleaved, kBayer, !kPacked),
    one("PF8i", kFrameFormatPafInterleaved, kBayer, !kPacked),
    one("IR16", kFrameFormatIr, !kBayer, !kPacked),
    // clang-format on
};

}  // namespace

extern "C" {

int fourcc_to_vesk_frame_format(unsigned fourcc, int* frameFormat, bool* bayer, bool* packed) {
    ZO_MODULE_LOG(ZO_LOG_ENTRY, psysFormatUtils, "E:%s", "fourcc_to_vesk_frame_format");
    for (const FrameFormatRow& row : kFrameFormats) {
        if (fourcc < row.first || fourcc > row.last) {
            continue;
        }
        if (frameFormat) {
            *frameFormat = row.frameFormat;
        }
        if (bayer) {
            *bayer = row.bayer;
        }
        if (packed) {
            *packed = row.packed;
        }
        return VELT::err_none;
    }
    return VELT::err_argument;
}

int zo_pifo_is_compressed_format(unsigned fourcc) {
    return isCompressedFormat(fourcc);
}

}  // extern "C"
