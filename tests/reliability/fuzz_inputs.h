// The inputs that fuzz targets are replayed with in the unit tests: the files
// of fuzz/regressions/<target>/ (each a former finding) and the bundled
// documents.
#ifndef ZOVESK_TESTS_RELIABILITY_FUZZ_INPUTS_H
#define ZOVESK_TESTS_RELIABILITY_FUZZ_INPUTS_H

#include <string>
#include <vector>

namespace zovesk_test {

// Contents of every file in fuzz/regressions/<target>/ (none when the folder
// does not exist), in name order.
std::vector<std::string> regressionInputs(const std::string& target);

// Whole contents of a file; empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace zovesk_test

#endif
