// Format table lookups and the compression queries built on them.

#include "velt_formats.h"

#include <mutex>
#include <vector>

#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/formats/format_index.h"
#include "zo_camera/velt/formats/formats_common.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELTFormats {
namespace {

// The record with this name or fourcc, or null after logging the miss.
const zo_format_t* lookUpByName(const std::string& name) {
    const zo_format_t* found = detail::findFormatByName(name);
    if (!found) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltFormats, "Could not find format with name %s",
                      name.c_str());
    }
    return found;
}

const zo_format_t* lookUpByFourcc(unsigned fourcc) {
    const zo_format_t* found = detail::findFormatByFourcc(fourcc);
    if (!found) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltFormats, "Could not find format with fourcc %d",
                      static_cast<int>(fourcc));
    }
    return found;
}

}  // namespace

void initVELTFormats() {
    VELT::guardVoid(__func__, [&] {
        // Threads building graphs call this at once; the first fills the
        // table, the others wait for it and then only read.
        static std::mutex filling;
        std::lock_guard<std::mutex> lock(filling);
        if (gVELTFormats.empty()) {
            // Copied aside, so running out of memory leaves the table empty.
            std::vector<zo_format_t> table = gVELTFormatsInternal;
            gVELTFormats.swap(table);
        }
        detail::refreshFormatIndex();
    });
}

int getFormatByName(const std::string& name, zo_format_t& format) {
    return VELT::guardStatus(__func__, VELT::err_data, [&]() -> int {
        const zo_format_t* found = lookUpByName(name);
        if (!found) {
            return VELT::err_data;
        }
        format = *found;
        return VELT::err_none;
    });
}

int getFormatByFourcc(unsigned fourcc, zo_format_t& format) {
    return VELT::guardStatus(__func__, VELT::err_data, [&]() -> int {
        const zo_format_t* found = lookUpByFourcc(fourcc);
        if (!found) {
            return VELT::err_data;
        }
        format = *found;
        return VELT::err_none;
    });
}

int setFormatId(const std::string& name, unsigned id) {
    return VELT::guardStatus(__func__, VELT::err_argument, [&]() -> int {
        zo_format_t* found = detail::findFormatByName(name);
        if (!found) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, veltFormats, "Failed to set format id for %s",
                          name.c_str());
            return VELT::err_argument;
        }
        found->formatId = id;
        return VELT::err_none;
    });
}

int getPlaneCountByFourcc(unsigned fourcc) {
    const zo_format_t* found = detail::findFormatByFourcc(fourcc);
    if (!found) {
        ZO_MODULE_LOG(ZO_LOG_ERROR, veltFormats, "Format not found %d", static_cast<int>(fourcc));
        return -1;
    }
    return static_cast<int>(found->planes.size());
}

bool isCompressedFormat(const std::string& name) {
    return VELT::guardValue<bool>(__func__, false, [&]() -> bool {
        initVELTFormats();
        const zo_format_t* found = lookUpByName(name);
        return found && found->compressed != 0;
    });
}

}  // namespace VELTFormats

extern "C" int isCompressedFormat(unsigned fourcc) {
    return VELT::guardValue<int>(__func__, 0, [&]() -> int {
        VELTFormats::initVELTFormats();
        const VELTFormats::zo_format_t* found = VELTFormats::lookUpByFourcc(fourcc);
        return found && found->compressed ? 1 : 0;
    });
}
