#include "reliability/fuzz_inputs.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/examples.h"

namespace zovesk_test {

std::vector<std::string> regressionInputs(const std::string& target) {
    const std::filesystem::path folder =
        std::filesystem::path(examplePath("")).parent_path().parent_path() / "fuzz" /
        "regressions" / target;
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> inputs;
    for (const auto& path : paths) {
        inputs.push_back(readFile(path));
    }
    return inputs;
}

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

}  // namespace zovesk_test
