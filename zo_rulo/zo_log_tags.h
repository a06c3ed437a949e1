// The log tag of every module of the library, spelled once, and the helper
// that logs under one of them.
//
// The table lives in the runtime rather than in velt: the runtime's own
// modules log under it too, and the runtime must not depend on velt, while
// velt builds on the runtime anyway. So one table serves the whole library.
#ifndef ZO_RULO_ZO_LOG_TAGS_H
#define ZO_RULO_ZO_LOG_TAGS_H

#include <cstddef>

#include "zo_rulo/zo_log_wanted.h"

namespace zo_log {

// One per module that logs; the rows of kCategories follow this order.
enum class Module : size_t {
    velt,                    // tree, queries, accessors, kernel lists, graph analysis
    veltParser,              // document reader
    veltFormats,             // format table
    veltYadUtils,            // 3A frame parameters
    veltPekSimulationUtils,  // simulation support
    psysFormatUtils,         // fourcc to frame-format map
    dec400UtilWrapper,       // compression utilities
    zoLog,                   // logging and tracing
    zoList,                  // linked list
    ruloAlloc,               // memory wrappers
    ruloString,              // bounded formatting
    memoryCommon,            // buffer objects
    ruloAndroid,             // platform handle
    ruloDump,                // debug dumps
};

struct Category {
    Module module;
    const char* tag;
};

constexpr Category kCategories[] = {
    {Module::velt, "VELT[XOS]"},
    {Module::veltParser, "VELT_PARSER[XOS]"},
    {Module::veltFormats, "VELTFormats[XOS]"},
    {Module::veltYadUtils, "VELT_YAD_UTILS[XOS]"},
    {Module::veltPekSimulationUtils, "VELT_PEK_SIMULATION_UTILS[XOS]"},
    {Module::psysFormatUtils, "XOS_PSYS_FORMAT_UTILS[XOS]"},
    {Module::dec400UtilWrapper, "ZO_DEC400_UTIL_WRAPPER[XOS]"},
    {Module::zoLog, "ZO_LOG[XOS]"},
    {Module::zoList, "ZO_LIST[XOS]"},
    {Module::ruloAlloc, "RULO_ALLOC[XOS]"},
    {Module::ruloString, "RULO_STRING[XOS]"},
    {Module::memoryCommon, "MEMORY_COMMON[XOS]"},
    {Module::ruloAndroid, "ZO_RULO_ANDROID[XOS]"},
    {Module::ruloDump, "rulo_dump[XOS]"},
};

// The rows are looked up by position: each must sit at its module's place.
constexpr bool categoriesInModuleOrder() {
    for (size_t i = 0; i < sizeof(kCategories) / sizeof(kCategories[0]); ++i) {
        if (static_cast<size_t>(kCategories[i].module) != i) {
            return false;
        }
    }
    return true;
}
static_assert(categoriesInModuleOrder(), "kCategories must follow the order of Module");
static_assert(sizeof(kCategories) / sizeof(kCategories[0]) ==
                  static_cast<size_t>(Module::ruloDump) + 1,
              "every Module needs its row in kCategories");

// The tag a module's messages carry.
constexpr const char* tag(Module module) {
    return kCategories[static_cast<size_t>(module)].tag;
}

}  // namespace zo_log

// Logs under the tag of zo_log::Module::module. Like ZO_LOG_IF_WANTED, the
// arguments are built only when a sink receives the level, so printed node
// names and dump texts cost nothing while nobody listens.
#define ZO_MODULE_LOG(level, module, ...) \
    ZO_LOG_IF_WANTED((level), ::zo_log::tag(::zo_log::Module::module), __VA_ARGS__)

#endif
