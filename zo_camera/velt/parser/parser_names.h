// Name handling shared by the document reader: the log tag, lower-casing and
// key lookup with generation of new keys.
#ifndef ZO_CAMERA_VELT_PARSER_PARSER_NAMES_H
#define ZO_CAMERA_VELT_PARSER_PARSER_NAMES_H

#include <cstdint>
#include <string>

#include "velt_item_uid.h"
#include "zo_camera/velt/tree/key_dictionary.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {
namespace parser {

constexpr const char* kTag = zo_log::tag(zo_log::Module::veltParser);

// Replaces out with text lower-cased byte by byte (ASCII letters only, as the
// "C" locale's tolower does). Reuses out's storage.
inline void assignLowerCase(const char* text, std::string& out) {
    out.assign(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

// The key of name; a name the dictionary lacks gets a new key, the same one
// whichever thread brings it first. "na" itself keeps its key 0.
inline uint32_t keyOrNewKey(const std::string& name) {
    return keyOfName(name);
}

}  // namespace parser
}  // namespace VELT

#endif
