// What differs between two settings entries: their settings, their result
// graphs (blocks, ports, formats, sizes, peers) and their kernel lists
// (enable states, resolutions), each flattened to paths with values.
#ifndef VELT_TOOL_ENTRY_DIFF_H
#define VELT_TOOL_ENTRY_DIFF_H

#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "kernel_lists.h"
#include "velt_graph_config.h"

namespace velt_tool {

// Path -> value as text, e.g. "isa_pg:output:width" -> "4096".
using FlatValues = std::map<std::string, std::string>;

struct ValueChange {
    std::string path;
    std::optional<std::string> a;  // empty when only the second entry has it
    std::optional<std::string> b;
};

// Every attribute below the node: "child:grandchild:attribute"; a child name
// that repeats gets its position ("stream_id[1]"), a repeated attribute the
// list of its values joined with ", ". The entry's own "key" is left out.
FlatValues flattenSettings(const VELT::IGraphConfig& entry);
// The blocks of a result graph (their attributes, "block" -> its type) and
// their ports and virtual sinks; kernels are left to the kernel lists.
FlatValues flattenResultGraph(const VELT::IGraphConfig& graph);
// Per stream and kernel: enable state, bits per pixel, resolution, history.
FlatValues flattenKernelLists(const KernelListsView& view);

// The paths whose values differ, in path order.
std::vector<ValueChange> diffValues(const FlatValues& a, const FlatValues& b);

// One section of a diff: its changes, or why it could not be compared.
struct DiffSection {
    std::string title;   // "settings", "result graph", "kernel lists"
    std::string member;  // the JSON member: "settings", "result_graph", "kernel_lists"
    std::vector<ValueChange> changes;
    std::string error;  // not empty when a side could not be built
};

void printDiff(int keyA, int keyB, const std::vector<DiffSection>& sections, std::ostream& out);
nlohmann::json diffJson(int keyA, int keyB, const std::vector<DiffSection>& sections);

}  // namespace velt_tool

#endif
