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

std::string kernelStyle(int32_t enable, bool reached) {
    if (!reached) {
        return "color=red, fontcolor=red, style=dashed";
    }
    switch (enable) {
        case kernel_enable_enabled:
            return "style=filled, fillcolor=white";
        case kernel_enable_bypass:
            return "style=\"dotted,filled\", fillcolor=grey95";
        default:
            return "color=grey70, fontcolor=grey60, style=dashed";
    }
}

std::string historyLabel(const zo_isp_qel_resolution_info& history) {
    std::string label =
        std::to_string(history.output_width) + "x" + std::to_string(history.output_height);
    const zo_rectangle& crop = history.input_crop;
    if (crop.left != 0 || crop.top != 0 || crop.right != 0 || crop.bottom != 0) {
        label += "\ncrop " + std::to_string(crop.left) + "," + std::to_string(crop.top) + "," +
                 std::to_string(crop.right) + "," + std::to_string(crop.bottom);
    }
    return label;
}

void writeKernelLegend(const std::vector<std::pair<std::string, std::string>>& edgeStyles,
                       std::ostream& out) {
    out << "    subgraph cluster_legend {\n"
        << "        label=\"legend\";\n"
        << "        style=rounded;\n"
        << "        node [shape=box, fontsize=9];\n";
    const std::pair<const char*, std::string> states[] = {
        {"running", kernelStyle(kernel_enable_enabled, true)},
        {"bypassed", kernelStyle(kernel_enable_bypass, true)},
        {"disabled", kernelStyle(kernel_enable_disabled, true)},
        {"not reached", kernelStyle(kernel_enable_enabled, false)},
    };
    std::string previous;
    for (const auto& state : states) {
        std::string id = std::string("legend ") + state.first;
        out << "        " << dotQuote(id) << " [label=" << dotQuote(state.first) << ", "
            << state.second << "];\n";
        if (!previous.empty()) {
            out << "        " << dotQuote(previous) << " -> " << dotQuote(id)
                << " [style=invis];\n";
        }
        previous = id;
    }
    for (size_t i = 0; i < edgeStyles.size(); ++i) {
        std::string from = "legend edge " + std::to_string(i);
        std::string to = from + " end";
        out << "        " << dotQuote(from) << " [shape=point, width=0.05];\n"
            << "        " << dotQuote(to)
            << " [shape=plaintext, label=" << dotQuote(edgeStyles[i].second) << "];\n"
            << "        " << dotQuote(from) << " -> " << dotQuote(to) << " [" << edgeStyles[i].first
            << "];\n";
    }
    out << "    }\n";
}

}  // namespace velt_tool
