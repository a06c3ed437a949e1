#include "lint/entry_rules.h"

#include <set>

#include "kernel_lists.h"
#include "lint/descriptor_index.h"
#include "node_view.h"
#include "result_graph.h"
#include "velt_graph_camera_util.h"
#include "zo_log_common.h"

namespace velt_tool {
namespace lint {

namespace {

const uint32_t kReported = ZO_LOG_ERROR | ZO_LOG_WARNING;

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// Ports disabled for want of a peer are reported from the result graph,
// with the settings' own view of them.
bool isPortDisabling(const std::string& text) {
    return contains(text, "has no peer, disabling it.") ||
           contains(text, "peer disabled, disabling port");
}

// What the library does by design when settings leave a block or port out.
bool isByDesign(const std::string& text) {
    return contains(text, "not found from settings(") ||
           contains(text, "for not being active in settings.");
}

// The subgraph analysis of generation 6 names every klink that leaves a
// demux through an output not in use, "SRC:PORT->DST:PORT- FIX ...".
constexpr const char* kInactiveOutput = "Found klink from a demux non active output ";

std::set<std::string> nodesBehindInactiveOutputs(const std::vector<LogMessage>& messages) {
    std::set<std::string> nodes;
    for (const LogMessage& message : messages) {
        const size_t start = message.text.find(kInactiveOutput);
        const size_t arrow = message.text.find("->");
        if (start == std::string::npos || arrow == std::string::npos) {
            continue;
        }
        const size_t end = message.text.find_first_of(":-", arrow + 2);
        nodes.insert(message.text.substr(
            arrow + 2, end == std::string::npos ? std::string::npos : end - (arrow + 2)));
    }
    return nodes;
}

// The node of "Imaging Node NAME not reached", or "".
std::string unreachedNode(const std::string& text) {
    const std::string prefix = "Imaging Node ";
    const std::string suffix = " not reached";
    if (text.compare(0, prefix.size(), prefix) != 0 ||
        text.size() <= prefix.size() + suffix.size() ||
        text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return "";
    }
    return text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
}

std::string joinedTexts(const std::vector<LogMessage>& messages) {
    std::string text;
    for (const LogMessage& message : messages) {
        text += (text.empty() ? "" : "; ") + message.text;
    }
    return text;
}

class EntryChecker {
  public:
    EntryChecker(const EntrySource& source, int key, Diagnostics& out)
        : settings_(source.settings),
          entry_(source.settings.element(source.element)),
          key_(key),
          out_(out) {}

    void add(Severity severity, const std::string& code, SourcePosition position,
             const std::string& message) {
        out_.addForEntry(severity, code, settings_.path(), position, key_, message);
    }

    // The library's messages of a step that succeeded.
    void reportMessages(const std::vector<LogMessage>& messages) {
        const std::set<std::string> behindInactive = nodesBehindInactiveOutputs(messages);
        for (const LogMessage& message : messages) {
            const std::string& text = message.text;
            if (isPortDisabling(text) || contains(text, "did not reach all ACTIVE nodes")) {
                continue;  // reported from the graph, or node by node below
            }
            const std::string unreached = unreachedNode(text);
            if (!unreached.empty()) {
                const bool byDesign = behindInactive.count(unreached) > 0;
                add(byDesign ? Severity::kNote : Severity::kWarning, "unreached-kernel",
                    entry_.position,
                    "no stream reaches kernel " + unreached +
                        (byDesign ? ": it is fed only through an inactive demux output" : ""));
            } else if (contains(text, kInactiveOutput)) {
                add(Severity::kNote, "inactive-demux-output", entry_.position,
                    "the library ignores a klink from an inactive demux output: " + text);
            } else {
                add(isByDesign(text) ? Severity::kNote : Severity::kWarning,
                    isByDesign(text) ? "library-note" : "library-warning", entry_.position, text);
            }
        }
    }

    void reportFailure(const char* code, const char* what, const StepResult& step) {
        std::vector<LogMessage> errors;
        for (const LogMessage& message : step.messages) {
            if (message.level == ZO_LOG_ERROR) {
                errors.push_back(message);
            }
        }
        add(Severity::kError, code, entry_.position,
            std::string(what) + " cannot be built (status " + std::to_string(step.status) + ")" +
                (errors.empty() ? "" : ": " + joinedTexts(errors)));
    }

    // The entry's element for a block, and the block's for a port, or null.
    const SourceElement* settingsChild(const SourceElement& parent, const std::string& name) const {
        for (size_t child : parent.children) {
            if (settings_.element(child).lowerName() == name) {
                return &settings_.element(child);
            }
        }
        return nullptr;
    }

    // Pixel ports the library disabled: by design when the settings leave
    // the port out or its peer is off, suspicious when they configure it.
    void reportDisabledPorts(const VELT::IGraphConfig& graph) {
        for (VELT::IGraphConfig* block : childNodesOf(graph)) {
            for (VELT::IGraphConfig* port : childNodesOfType(*block, "port")) {
                if (intAttribute(*port, "enabled").value_or(1) != 0 ||
                    intAttribute(*port, "private").value_or(0) != 0 ||
                    VELT::GraphCameraUtil::portGetContentType(port) != "pixel_data") {
                    continue;
                }
                const std::string name = block->getName() + ":" + port->getName();
                const SourceElement* settingsBlock = settingsChild(entry_, block->getName());
                const SourceElement* settingsPort =
                    settingsBlock != nullptr ? settingsChild(*settingsBlock, port->getName())
                                             : nullptr;
                if (settingsPort != nullptr && settingsPort->attribute("enabled") != nullptr &&
                    readInteger(settingsPort->value("enabled")) == 0) {
                    continue;  // switched off by the author
                }
                if (textAttribute(*port, "peer")) {
                    add(Severity::kNote, "port-disabled", entry_.position,
                        "port " + name + " is disabled because its peer is disabled");
                } else if (settingsPort != nullptr) {
                    add(Severity::kWarning, "port-without-peer", settingsPort->position,
                        "port " + name + " is configured here but has no peer in graph " +
                            entry_.value("id") +
                            " (the block at its other end is not in these settings, or no "
                            "connection reaches it), so the library disables it");
                } else {
                    add(Severity::kNote, "port-disabled", entry_.position,
                        "port " + name + " is unused and disabled");
                }
            }
        }
    }

    // Kernels of program groups that appear in no stream's kernel list.
    void reportUnreachedKernels(const VELT::IGraphConfig& graph) {
        KernelListsView view;
        {
            LogCapture ignored(kReported);
            try {
                view = collectKernelLists(graph);
            } catch (const ToolError&) {
                return;  // the failure was reported with the first build
            }
        }
        for (VELT::IGraphConfig* group : programGroupsOf(graph)) {
            const KernelGroupView* lists = nullptr;
            for (const KernelGroupView& candidate : view.programGroups) {
                if (candidate.name == group->getName()) {
                    lists = &candidate;
                }
            }
            std::string unreached;
            for (VELT::IGraphConfig* kernel : childNodesOfType(*group, "kernel")) {
                std::optional<int> uuid = intAttribute(*kernel, "pal_uuid");
                if (!uuid || intAttribute(*kernel, "enabled").value_or(1) == 0) {
                    continue;
                }
                bool listed = false;
                for (const RunKernelView& run :
                     lists != nullptr ? lists->kernels : std::vector<RunKernelView>{}) {
                    listed = listed || run.uuid == static_cast<uint32_t>(*uuid);
                }
                if (!listed) {
                    unreached += (unreached.empty() ? "" : ", ") + kernel->getName();
                }
            }
            if (!unreached.empty()) {
                const SourceElement* element = settingsChild(entry_, group->getName());
                add(Severity::kWarning, "unreached-kernel",
                    element != nullptr ? element->position : entry_.position,
                    "no stream reaches program group " + group->getName() + ": its kernels " +
                        unreached + " are in no kernel list");
            }
        }
    }

  private:
    const SourceDocument& settings_;
    const SourceElement& entry_;
    int key_;
    Diagnostics& out_;
};

StepResult capture(const std::function<int()>& step) {
    LogCapture messages(kReported);
    StepResult result;
    result.status = step();
    result.messages = messages.messages();
    return result;
}

}  // namespace

EntryResult checkEntry(Documents& documents, VELT::IGraphConfig* entry, const EntrySource& source,
                       Diagnostics& out) {
    EntryResult result{entryKey(*entry), entryGraphId(*entry), {}, false, {}};
    EntryChecker checker(source, result.key, out);
    ResultGraph graph;
    result.graph = capture([&] { return graph.build(documents.manager, entry); });
    if (result.graph.status != 0 || graph.root() == nullptr) {
        checker.reportFailure("graph-failed", "the result graph", result.graph);
        return result;
    }
    checker.reportMessages(result.graph.messages);
    checker.reportDisabledPorts(*graph.root());

    result.kernelsTried = true;
    StepResult kernels = capture([&] { return buildKernelLists(*graph.root()); });
    result.kernels.status = kernels.status;
    // The builder logs its graph dumps at the error level; after a successful
    // build only its warnings are worth reporting.
    for (const LogMessage& message : kernels.messages) {
        if (kernels.status != 0 || message.level == ZO_LOG_WARNING) {
            result.kernels.messages.push_back(message);
        }
    }
    if (kernels.status != 0) {
        checker.reportFailure("kernels-failed", "the kernel lists", result.kernels);
        return result;
    }
    checker.reportMessages(result.kernels.messages);
    checker.reportUnreachedKernels(*graph.root());
    return result;
}

}  // namespace lint
}  // namespace velt_tool
