// DEC400 compressed-buffer layout: image planes, then one tile-status buffer
// per plane at 4096-byte-aligned offsets.
//
// Sizes are worked out in 64 bits; a layout whose sizes do not fit in the
// 32-bit results, or a plane without DEC400 tiles (tile size 0), is refused
// with 0 rather than wrapped or divided by zero.

#include <algorithm>
#include <cstring>

#include "zo_camera/velt/formats/dec400_properties.h"
#include "zo_camera/velt/formats/formats_common.h"
#include "zo_dec400_util.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace {

using VELTFormats::detail::alignUp;
using VELTFormats::detail::fitsIn32;

constexpr uint64_t kTileStatusAlignment = 4096;
constexpr uint64_t kHeightAlignment = 32;
constexpr int kMaxPlanes = 3;

struct PlaneSize {
    uint64_t image = 0;
    uint64_t tileStatus = 0;
};

// Image and tile-status sizes of one plane; false for a plane without tiles.
bool planeSize(uint64_t stride, uint64_t height, uint32_t tileSize, bool tiled, PlaneSize& size) {
    if (tileSize == 0) {
        return false;
    }
    size.image = stride * height;
    size.tileStatus = 0;
    if (fitsIn32(size.image)) {  // else the caller refuses the size; keeps the product in range
        const uint64_t bits = VELTFormats::detail::dec400TileStatusBits(tileSize, tiled);
        size.tileStatus = (bits * (size.image / tileSize) + 7) / 8;
    }
    return true;
}

void clear(uint32_t* values) {
    if (values) {
        memset(values, 0, kMaxPlanes * sizeof(uint32_t));
    }
}

uint32_t refuse(const char* reason, zo_vesk_frame_format_type format, uint32_t* tsOffsets,
                uint32_t* tsSizes) {
    ZO_MODULE_LOG(ZO_LOG_ERROR, dec400UtilWrapper,
                  "nuv_dec400_cmprs_calc_buf_size || %s (format %d)\n", reason, format);
    clear(tsOffsets);
    clear(tsSizes);
    return 0;
}

void logPlane(int plane, uint64_t total, uint32_t stride, uint64_t height, uint32_t tileSize,
              const PlaneSize& size) {
    static const char* const kFormats[kMaxPlanes] = {
        "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total: %u, stride: %u, height: %u, "
        "tile_size[0]: %u, img_buf_size[0]: %u, ts_sizes[0]: %u}\n",
        "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total: %u, stride: %u, height: %u, "
        "tile_size[1]: %u, img_buf_size[1]: %u, ts_sizes[1]: %u}\n",
        "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total: %u, stride: %u, height: %u, "
        "tile_size[2]: %u, img_buf_size[2]: %u, ts_sizes[2]: %u}\n"};
    ZO_MODULE_LOG(ZO_LOG_ERROR, dec400UtilWrapper, kFormats[plane], static_cast<uint32_t>(total),
                  stride, static_cast<uint32_t>(height), tileSize,
                  static_cast<uint32_t>(size.image), static_cast<uint32_t>(size.tileStatus));
}

void logOffset(int plane, uint64_t offset, uint64_t tileStatusSize) {
    static const char* const kFormats[kMaxPlanes] = {
        "nuv_dec400_cmprs_calc_buf_size || {ts_offsets[0]: %u, ts_sizes[0]: %u}\n",
        "nuv_dec400_cmprs_calc_buf_size || {ts_offsets[1]: %u, ts_sizes[1]: %u}\n",
        "nuv_dec400_cmprs_calc_buf_size || {ts_offsets[2]: %u, ts_sizes[2]: %u\n}"};
    ZO_MODULE_LOG(ZO_LOG_ERROR, dec400UtilWrapper, kFormats[plane], static_cast<uint32_t>(offset),
                  static_cast<uint32_t>(tileStatusSize));
}

}  // namespace

extern "C" {

uint32_t nuv_dec400_cmprs_calc_plane_buf_size(uint32_t stride, uint32_t height, uint32_t tileSize,
                                              bool tiled, uint32_t* imageSize, uint32_t* tsSize) {
    PlaneSize size;
    if (!planeSize(stride, height, tileSize, tiled, size) ||
        !fitsIn32(size.image + size.tileStatus)) {
        size = PlaneSize();
    }
    if (imageSize) {
        *imageSize = static_cast<uint32_t>(size.image);
    }
    if (tsSize) {
        *tsSize = static_cast<uint32_t>(size.tileStatus);
    }
    return static_cast<uint32_t>(size.image + size.tileStatus);
}

uint32_t nuv_dec400_cmprs_calc_buf_size(zo_vesk_frame_format_type format, uint32_t bitDepth,
                                        bool tnr, uint32_t stride, uint32_t height,
                                        uint32_t extraMem, uint32_t* tsOffsets, uint32_t* tsSizes) {
    // No format has more planes than the records hold; the bound keeps it so.
    const int planes =
        std::min(static_cast<int>(nuv_dec400_cmpr_get_num_planes(format)), kMaxPlanes);
    const bool tiled = nuv_dec400_cmprs_is_tiled(format);
    const bool alignHeights = VELTFormats::detail::dec400AlignsHeights(format);
    clear(tsOffsets);
    clear(tsSizes);

    uint64_t tileStatusSizes[kMaxPlanes] = {};
    uint64_t total = 0;
    for (int plane = 0; plane < planes; ++plane) {
        // Plane 0 is luma; the chroma planes share one subsampled stride and height.
        uint64_t planeHeight = height;
        uint32_t planeStride = stride;
        if (plane > 0) {
            planeHeight = height / nuv_dec400_cmpr_get_chroma_height_div(format);
            planeStride = stride / nuv_dec400_cmpr_get_chroma_stride_div(format);
        }
        if (alignHeights) {
            planeHeight = alignUp(planeHeight, kHeightAlignment);
        }
        const uint32_t tileSize = nuv_dec400_cmpr_get_tile_size(format, bitDepth, plane, tnr);
        PlaneSize size;
        if (!planeSize(planeStride, planeHeight, tileSize, tiled, size)) {
            return refuse("no DEC400 tiles for this format and bit depth", format, tsOffsets,
                          tsSizes);
        }
        total += size.image;
        if (!fitsIn32(total)) {
            return refuse("buffer size exceeds 32 bits", format, tsOffsets, tsSizes);
        }
        logPlane(plane, total, planeStride, planeHeight, tileSize, size);
        tileStatusSizes[plane] = size.tileStatus;
    }

    total += extraMem;
    ZO_MODULE_LOG(ZO_LOG_ERROR, dec400UtilWrapper,
                  "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total after extra_mem "
                  "(%u bytes): %u}\n",
                  extraMem, static_cast<uint32_t>(total));

    uint64_t offsets[kMaxPlanes] = {};
    uint64_t end = total;
    for (int plane = 0; plane < planes; ++plane) {
        offsets[plane] = alignUp(end, kTileStatusAlignment);
        end = offsets[plane] + tileStatusSizes[plane];
        if (!fitsIn32(alignUp(end, kTileStatusAlignment))) {
            return refuse("buffer size exceeds 32 bits", format, tsOffsets, tsSizes);
        }
        logOffset(plane, offsets[plane], tileStatusSizes[plane]);
    }
    const uint64_t combined = alignUp(end, kTileStatusAlignment);

    for (int plane = 0; plane < planes; ++plane) {
        if (tsOffsets) {
            tsOffsets[plane] = static_cast<uint32_t>(offsets[plane]);
        }
        if (tsSizes) {
            tsSizes[plane] = static_cast<uint32_t>(tileStatusSizes[plane]);
        }
    }
    ZO_MODULE_LOG(ZO_LOG_ERROR, dec400UtilWrapper,
                  "nuv_dec400_cmprs_calc_buf_size || {img_buf_size_total: %u, "
                  "combined_buf_size: %u, num_planes: %u, ts_offsets[num_planes - 1]: %u, "
                  "ts_sizes[num_planes - 1]: %u}\n",
                  static_cast<uint32_t>(total), static_cast<uint32_t>(combined),
                  static_cast<uint32_t>(planes), static_cast<uint32_t>(offsets[planes - 1]),
                  static_cast<uint32_t>(tileStatusSizes[planes - 1]));
    return static_cast<uint32_t>(combined);
}

}  // extern "C"
