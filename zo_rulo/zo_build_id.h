// The commit the library was built from. Defined in a file the build
// generates (cmake/zo_build_id.cpp.in), so a new commit recompiles only that.
#ifndef ZO_RULO_ZO_BUILD_ID_H
#define ZO_RULO_ZO_BUILD_ID_H

namespace zo_rulo {

// 40 lower-case hexadecimal digits, NUL-terminated.
extern const char kBuildId[41];

}  // namespace zo_rulo

#endif  // ZO_RULO_ZO_BUILD_ID_H
