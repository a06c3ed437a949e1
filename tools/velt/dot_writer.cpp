#include "dot_writer.h"

#include <cctype>

namespace velt_tool {

std::string dotQuote(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (c == '\n') {
            quoted += "\\n";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string dotLabel(const std::vector<std::string>& lines) {
    std::string label;
    for (const std::string& line : lines) {
        if (!line.empty()) {
            label += (label.empty() ? "" : "\n") + line;
        }
    }
    return label;
}

std::string dotClusterId(const std::string& name) {
    std::string id = "cluster_";
    for (unsigned char c : name) {
        id += std::isalnum(c) ? static_cast<char>(c) : '_';
    }
    return id;
}

}  // namespace velt_tool
