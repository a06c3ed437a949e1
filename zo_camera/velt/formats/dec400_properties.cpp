// What the DEC400 compressor supports per frame format: planes, chroma
// subsampling, tile sizes, bit depths and stride alignments.

#include "zo_camera/velt/formats/dec400_properties.h"

#include "zo_camera/velt/formats/formats_common.h"
#include "zo_dec400_util.h"

namespace {

using namespace VELTFormats::detail;

bool isBayer(zo_vesk_frame_format_type format) {
    return format >= kFrameFormatBayerGrbg && format <= kFrameFormatBayerGbrg;
}

// The 10- and 12-bit semi-planar family, formats 49 to 56.
bool isHighDepthSemiPlanar(zo_vesk_frame_format_type format) {
    return format >= kFrameFormatP010Lsb && format <= kFrameFormatP012Tiled;
}

bool isBitDepth8To12(uint32_t bitDepth) {
    return bitDepth == 8 || bitDepth == 10 || bitDepth == 12;
}

// Luma, chroma and second-chroma tile sizes of the semi-planar formats: the
// TNR reference layout uses larger luma tiles and has no second chroma plane.
uint32_t semiPlanarTileSize(uint32_t plane, bool tnr, uint32_t plainTileSize) {
    static constexpr uint32_t kTnrTileSizes[3] = {512, 256, 0};
    return tnr ? kTnrTileSizes[plane] : plainTileSize;
}

}  // namespace

namespace VELTFormats {
namespace detail {

bool dec400AlignsHeights(zo_vesk_frame_format_type format) {
    switch (format) {
        case kFrameFormatNv12:
        case kFrameFormatNv12Tiled:
        case kFrameFormatP010:
        case kFrameFormatP012:
        case kFrameFormatP010Tiled:
        case kFrameFormatP012Tiled:
            return true;
        default:
            return false;
    }
}

uint32_t dec400TileStatusBits(uint32_t tileSize, bool tiled) {
    if (tiled) {
        return 8;
    }
    switch (tileSize) {
        case 64:
        case 128:
            return 1;
        case 256:
            return 2;
        default:
            return 4;
    }
}

}  // namespace detail
}  // namespace VELTFormats

extern "C" {

uint32_t nuv_dec400_cmpr_get_tile_size(zo_vesk_frame_format_type format, uint32_t bitDepth,
                                       uint32_t plane, bool tnr) {
    if (plane > 2) {
        return 0;
    }
    switch (format) {
        case kFrameFormatYuv420Planar:
            return plane == 0 ? 256 : 128;
        case kFrameFormatNv12:
            return semiPlanarTileSize(plane, tnr, 128);
        case kFrameFormatNv12Tiled:
        case kFrameFormatP010Tiled:
        case kFrameFormatP012Tiled:
            return 256;
        case kFrameFormatP010:
        case kFrameFormatP012:
            return semiPlanarTileSize(plane, tnr, 256);
        default:
            return isBayer(format) && isBitDepth8To12(bitDepth) ? 512 : 0;
    }
}

uint32_t nuv_dec400_cmpr_get_num_planes(zo_vesk_frame_format_type format) {
    if (format == kFrameFormatYuv420Planar) {
        return 3;
    }
    if (format == kFrameFormatNv12 || format == kFrameFormatNv12Tiled ||
        isHighDepthSemiPlanar(format)) {
        return 2;
    }
    return 1;
}

uint32_t nuv_dec400_cmpr_get_chroma_height_div(zo_vesk_frame_format_type format) {
    return nuv_dec400_cmpr_get_num_planes(format) > 1 ? 2 : 1;
}

uint32_t nuv_dec400_cmpr_get_chroma_stride_div(zo_vesk_frame_format_type format) {
    return format == kFrameFormatYuv420Planar ? 2 : 1;
}

bool nuv_dec400_cmprs_is_tiled(zo_vesk_frame_format_type format) {
    return format == kFrameFormatNv12Tiled || format == kFrameFormatP010Tiled ||
           format == kFrameFormatP012Tiled;
}

bool nuv_dec400_psys_cmprs_validate_format(zo_vesk_frame_format_type format) {
    switch (format) {
        case kFrameFormatYuv420Planar:
        case kFrameFormatNv12:
        case kFrameFormatNv12Tiled:
        case kFrameFormatP010:
        case kFrameFormatP010Tiled:
        case kFrameFormatP012Tiled:
            return true;
        default:
            return isBayer(format);
    }
}

bool nuv_dec400_psys_cmprs_validate_bit_depth(zo_vesk_frame_format_type format, uint32_t bitDepth) {
    if (format == kFrameFormatYuv420Planar || isBayer(format)) {
        return isBitDepth8To12(bitDepth);
    }
    const uint32_t implied = nuv_dec400_psys_cmprs_get_bit_depth(format);
    return implied != 0 && bitDepth == implied;
}

uint32_t nuv_dec400_psys_cmprs_get_bit_depth(zo_vesk_frame_format_type format) {
    switch (format) {
        case kFrameFormatNv12:
        case kFrameFormatNv12Tiled:
            return 8;
        case kFrameFormatP010:
        case kFrameFormatP010Tiled:
            return 10;
        case kFrameFormatP012Tiled:
            return 12;
        default:
            return 0;
    }
}

uint32_t nuv_dec400_cmprs_get_stride_alignment(zo_vesk_frame_format_type format,
                                               uint32_t /*bitDepth*/, bool tnr,
                                               uint32_t* alignMultiplier, uint32_t* alignOffset) {
    uint32_t multiplier = 1;
    uint32_t alignment = 1;
    if (format == kFrameFormatYuv420Planar) {
        multiplier = 2;
        alignment = 256;
    } else if (isBayer(format)) {
        alignment = 512;
    } else if (format == kFrameFormatNv12Tiled || format == kFrameFormatP010Tiled ||
               format == kFrameFormatP012Tiled) {
        multiplier = 8;
        alignment = 64;
    } else if (format == kFrameFormatNv12 || format == kFrameFormatP010) {
        multiplier = tnr ? 4 : 2;
        alignment = 128;
    }
    if (alignMultiplier) {
        *alignMultiplier = multiplier;
    }
    if (alignOffset) {
        *alignOffset = 0;
    }
    return alignment;
}

uint32_t nuv_dec400_isys_cmprs_get_stride_alignment(uint32_t pinType, uint32_t isysFormat,
                                                    uint32_t mipiDataType,
                                                    uint32_t* alignMultiplier) {
    const bool compressiblePin = pinType == 1 || pinType == 3;
    const bool compressibleFormat = isysFormat == 20 || isysFormat == 24;
    const bool compressibleData = mipiDataType >= 42 && mipiDataType <= 44;
    const bool compressed = compressiblePin && compressibleFormat && compressibleData;
    if (alignMultiplier) {
        *alignMultiplier = compressed ? 1 : 0;
    }
    return compressed ? 512 : 0;
}

}  // extern "C"
