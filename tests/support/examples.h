// Paths of the bundled example documents: the plain copies and the gzip copies
// made by the build.
#ifndef ZOVESK_TESTS_EXAMPLES_H
#define ZOVESK_TESTS_EXAMPLES_H

#include <string>

namespace zovesk_test {

// An example document as committed, e.g. examplePath("camera_descriptor.xml").
inline std::string examplePath(const std::string& name) {
    return std::string(ZOVESK_EXAMPLES_SOURCE_DIR) + "/" + name;
}

// A copy made by the build; name + ".gz" is its compressed twin.
inline std::string builtExamplePath(const std::string& name) {
    return std::string(ZOVESK_EXAMPLES_BUILD_DIR) + "/" + name;
}

}  // namespace zovesk_test

#endif
