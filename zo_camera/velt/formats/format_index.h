// Fast lookups in VELTFormats::gVELTFormats by name and by fourcc.

#ifndef ZO_CAMERA_VELT_FORMATS_FORMAT_INDEX_H
#define ZO_CAMERA_VELT_FORMATS_FORMAT_INDEX_H

#include <string>

#include "velt_formats.h"

namespace VELTFormats {
namespace detail {

// Rebuilds the index when gVELTFormats was replaced or resized since it was
// last indexed. Only initVELTFormats() calls it, so lookups never write.
void refreshFormatIndex();

// The first record of gVELTFormats with this name or fourcc, in table order;
// null when there is none. The index answers when it is current and its hit
// still carries the key; anything else falls back to a scan of the table.
zo_format_t* findFormatByName(const std::string& name);
zo_format_t* findFormatByFourcc(uint32_t fourcc);

}  // namespace detail
}  // namespace VELTFormats

#endif
