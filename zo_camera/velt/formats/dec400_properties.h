// DEC400 properties of frame formats that the layout code needs but that are
// not part of the plain interface.

#ifndef ZO_CAMERA_VELT_FORMATS_DEC400_PROPERTIES_H
#define ZO_CAMERA_VELT_FORMATS_DEC400_PROPERTIES_H

#include <cstdint>

#include "zo_pifo_format.h"

namespace VELTFormats {
namespace detail {

// True when the format's plane heights are padded to multiples of 32 lines.
bool dec400AlignsHeights(zo_vesk_frame_format_type format);

// Tile-status bits that describe one tile of the given size.
uint32_t dec400TileStatusBits(uint32_t tileSize, bool tiled);

}  // namespace detail
}  // namespace VELTFormats

#endif
