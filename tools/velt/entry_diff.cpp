#include "entry_diff.h"

#include "kernel_render.h"
#include "node_view.h"
#include "text_table.h"

namespace velt_tool {

namespace {

std::string joinPath(const std::string& prefix, const std::string& name) {
    return prefix.empty() ? name : prefix + ":" + name;
}

void addAttributes(const VELT::IGraphConfig& node, const std::string& prefix, FlatValues& values) {
    std::map<std::string, std::string> joined;
    for (const AttributeView& attribute : attributesOf(node)) {
        std::string& value = joined[attribute.name];
        value += (value.empty() ? "" : ", ") + attribute.text;
    }
    for (const auto& attribute : joined) {
        values[joinPath(prefix, attribute.first)] = attribute.second;
    }
}

// The path names of the children: a name that repeats gets its position.
std::vector<std::string> childPathNames(const std::vector<VELT::IGraphConfig*>& children) {
    std::map<std::string, size_t> counts;
    for (VELT::IGraphConfig* child : children) {
        ++counts[child->getName()];
    }
    std::map<std::string, size_t> seen;
    std::vector<std::string> names;
    for (VELT::IGraphConfig* child : children) {
        std::string name = child->getName();
        size_t index = seen[name]++;
        names.push_back(counts[name] > 1 ? name + "[" + std::to_string(index) + "]" : name);
    }
    return names;
}

void flattenBelow(const VELT::IGraphConfig& node, const std::string& prefix, FlatValues& values) {
    addAttributes(node, prefix, values);
    std::vector<VELT::IGraphConfig*> children = childNodesOf(node);
    std::vector<std::string> names = childPathNames(children);
    for (size_t i = 0; i < children.size(); ++i) {
        flattenBelow(*children[i], joinPath(prefix, names[i]), values);
    }
}

// Long values (a whole "mbr_data" list) are cut in the table; JSON has them whole.
std::string showValue(const std::optional<std::string>& value) {
    const size_t kShown = 48;
    if (!value) {
        return "(none)";
    }
    return value->size() <= kShown ? *value : value->substr(0, kShown - 3) + "...";
}

nlohmann::json optionalText(const std::optional<std::string>& value) {
    return value ? nlohmann::json(*value) : nlohmann::json();
}

}  // namespace

FlatValues flattenSettings(const VELT::IGraphConfig& entry) {
    FlatValues values;
    flattenBelow(entry, "", values);
    // The keys head the comparison already.
    values.erase("key");
    return values;
}

FlatValues flattenResultGraph(const VELT::IGraphConfig& graph) {
    FlatValues values;
    for (VELT::IGraphConfig* block : childNodesOf(graph)) {
        std::string type = typeOf(*block);
        if (block->getName() == "graph" || type.empty()) {
            continue;
        }
        std::string name = block->getName();
        values[name] = type;
        addAttributes(*block, name, values);
        for (VELT::IGraphConfig* port : childNodesOfType(*block, "port")) {
            addAttributes(*port, joinPath(name, port->getName()), values);
        }
    }
    return values;
}

FlatValues flattenKernelLists(const KernelListsView& view) {
    FlatValues values;
    for (const KernelGroupView& group : view.streams) {
        for (const RunKernelView& kernel : group.kernels) {
            if (kernel.uuid == 0) {
                continue;  // a spare slot
            }
            std::string path = group.name + ":" +
                               (kernel.name.empty() ? std::to_string(kernel.uuid) : kernel.name);
            values[path + ":enable"] = enableName(kernel.enable);
            values[path + ":bpp"] =
                std::to_string(kernel.bppIn) + "/" + std::to_string(kernel.bppOut);
            std::string resolution;
            for (const auto& info : kernel.resolutionInfos) {
                resolution += (resolution.empty() ? "" : " | ") + resolutionText(info);
            }
            if (!resolution.empty()) {
                values[path + ":resolution"] = resolution;
            }
            if (kernel.hasHistory) {
                values[path + ":history"] = resolutionText(kernel.history);
            }
        }
    }
    return values;
}

std::vector<ValueChange> diffValues(const FlatValues& a, const FlatValues& b) {
    std::vector<ValueChange> changes;
    auto left = a.begin();
    auto right = b.begin();
    while (left != a.end() || right != b.end()) {
        if (right == b.end() || (left != a.end() && left->first < right->first)) {
            changes.push_back({left->first, left->second, std::nullopt});
            ++left;
        } else if (left == a.end() || right->first < left->first) {
            changes.push_back({right->first, std::nullopt, right->second});
            ++right;
        } else {
            if (left->second != right->second) {
                changes.push_back({left->first, left->second, right->second});
            }
            ++left;
            ++right;
        }
    }
    return changes;
}

void printDiff(int keyA, int keyB, const std::vector<DiffSection>& sections, std::ostream& out) {
    for (const DiffSection& section : sections) {
        out << "== " << section.title << ": ";
        if (!section.error.empty()) {
            out << "not compared: " << section.error << "\n\n";
            continue;
        }
        if (section.changes.empty()) {
            out << "the same\n\n";
            continue;
        }
        out << section.changes.size() << " differences\n";
        TextTable table({"path", std::to_string(keyA), std::to_string(keyB)});
        for (const ValueChange& change : section.changes) {
            table.addRow({change.path, showValue(change.a), showValue(change.b)});
        }
        table.print(out);
        out << '\n';
    }
}

nlohmann::json diffJson(int keyA, int keyB, const std::vector<DiffSection>& sections) {
    nlohmann::json result = {{"a", keyA}, {"b", keyB}};
    for (const DiffSection& section : sections) {
        nlohmann::json changes = nlohmann::json::array();
        for (const ValueChange& change : section.changes) {
            changes.push_back({{"path", change.path},
                               {"a", optionalText(change.a)},
                               {"b", optionalText(change.b)}});
        }
        result[section.member] = {
            {"changes", section.error.empty() ? changes : nlohmann::json()},
            {"error", section.error.empty() ? nlohmann::json() : nlohmann::json(section.error)}};
    }
    return result;
}

}  // namespace velt_tool
