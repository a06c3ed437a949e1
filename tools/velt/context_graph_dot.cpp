// The kernel lists of the execution-context path as a picture: one cluster
// per execution context, its program groups inside, their kernels in slot
// order with the resolution history on the edges between them, branch and
// restore points, and the ports that join groups, contexts and sinks.
#include <algorithm>
#include <map>
#include <set>

#include "dot_writer.h"
#include "kernel_lists.h"
#include "kernel_render.h"
#include "node_view.h"

namespace velt_tool {

namespace {

const char* const kCrossEdge = "style=dashed";
const char* const kRestoreEdge = "style=dotted, color=blue, fontcolor=blue";

std::string kernelId(const std::string& name) {
    return "kernel " + name;
}

std::string portId(const std::string& group, const std::string& port) {
    return "port " + group + ":" + port;
}

std::vector<std::string> peersOf(const VELT::IGraphConfig& port) {
    std::vector<std::string> peers;
    for (const AttributeView& attribute : attributesOf(port)) {
        if (attribute.name == "peer") {
            peers.push_back(attribute.text);
        }
    }
    return peers;
}

bool isOutput(const VELT::IGraphConfig& port) {
    return intAttribute(port, "direction").value_or(0) == 1;
}

// One kernel as drawn: its node in the graph and, once reached, its record.
struct DrawnKernel {
    std::string name;  // "program_group:kernel"
    const VELT::IGraphConfig* node;
    const RunKernelView* record;  // null when the lists never reached it
};

class ContextPicture {
  public:
    ContextPicture(const VELT::IGraphConfig& graph, const KernelListsView& view, std::ostream& out)
        : graph_(graph), view_(view), out_(out) {}

    void draw(const std::string& title) {
        out_ << "digraph kernel_lists {\n"
             << "    label=" << dotQuote("kernel lists of " + title) << ";\n"
             << "    labelloc=t;\n"
             << "    rankdir=LR;\n"
             << "    node [fontname=\"Helvetica\", fontsize=10];\n"
             << "    edge [fontname=\"Helvetica\", fontsize=9];\n";
        std::vector<VELT::IGraphConfig*> groups = childNodesOfType(graph_, "program_group");
        for (const KernelGroupView& context : view_.streams) {
            drawContext(context, groups);
        }
        for (VELT::IGraphConfig* group : groups) {
            if (drawnGroups_.count(group) == 0) {
                // A group no context holds: its kernels were never reached.
                drawGroup(*group, nullptr, "    ");
            }
        }
        drawCrossEdges(groups);
        writeKernelLegend({{"", "image inside a context (output size, crop)"},
                           {kCrossEdge, "between groups, contexts and sinks"},
                           {kRestoreEdge, "back to a branch point"}},
                          out_);
        out_ << "}\n";
    }

  private:
    void drawContext(const KernelGroupView& context,
                     const std::vector<VELT::IGraphConfig*>& groups) {
        size_t running = 0;
        for (const RunKernelView& kernel : context.kernels) {
            running += kernel.uuid != 0 ? 1 : 0;
        }
        out_ << "    subgraph " << dotClusterId("context_" + std::to_string(context.streamId))
             << " {\n"
             << "        label="
             << dotQuote(dotLabel({"execution context " + std::to_string(context.streamId),
                                   std::to_string(running) + " kernels"}))
             << ";\n"
             << "        style=\"rounded,filled\";\n"
             << "        fillcolor=aliceblue;\n";
        for (VELT::IGraphConfig* group : groups) {
            if (intAttribute(*group, "stream_id").value_or(-1) == context.streamId) {
                drawGroup(*group, &context, "        ");
            }
        }
        out_ << "    }\n";
    }

    // The group's kernels in slot order, then those the lists lack.
    std::vector<DrawnKernel> kernelsOf(const VELT::IGraphConfig& group,
                                       const KernelGroupView* context) {
        std::vector<DrawnKernel> kernels;
        std::set<std::string> listed;
        std::string prefix = group.getName() + ":";
        for (size_t i = 0; context != nullptr && i < context->kernels.size(); ++i) {
            const RunKernelView& record = context->kernels[i];
            if (record.uuid == 0 || record.name.rfind(prefix, 0) != 0) {
                continue;
            }
            VELT::IGraphConfig* node = childNamed(group, record.name.substr(prefix.size()));
            kernels.push_back({record.name, node, record.hasHistory ? &record : nullptr});
            listed.insert(record.name);
        }
        std::vector<DrawnKernel> unlisted;
        for (VELT::IGraphConfig* node : childNodesOfType(group, "kernel")) {
            std::string name = prefix + node->getName();
            if (listed.count(name) == 0) {
                unlisted.push_back({name, node, nullptr});
            }
        }
        // In the order their ids give them in the group, as a list would.
        std::stable_sort(unlisted.begin(), unlisted.end(),
                         [](const DrawnKernel& a, const DrawnKernel& b) {
                             return intAttribute(*a.node, "id").value_or(0) <
                                    intAttribute(*b.node, "id").value_or(0);
                         });
        kernels.insert(kernels.end(), unlisted.begin(), unlisted.end());
        return kernels;
    }

    void drawKernel(const DrawnKernel& kernel, const std::string& indent) {
        std::vector<std::string> lines = {kernel.name.substr(kernel.name.find(':') + 1)};
        int32_t enable = kernel_enable_enabled;
        if (kernel.record != nullptr) {
            enable = kernel.record->enable;
            lines.push_back("uuid " + std::to_string(kernel.record->uuid) + ", " +
                            enableName(enable));
            for (const auto& info : kernel.record->resolutionInfos) {
                lines.push_back(resolutionText(info));
            }
        } else {
            lines.push_back("not reached");
        }
        int branch = kernel.node ? intAttribute(*kernel.node, "branch_point").value_or(0) : 0;
        int restore = kernel.node ? intAttribute(*kernel.node, "restore_point").value_or(-1) : -1;
        if (branch != 0) {
            lines.push_back("branch point " + std::to_string(branch));
        }
        if (restore != -1) {
            lines.push_back("restore point " + std::to_string(restore));
        }
        out_ << indent << dotQuote(kernelId(kernel.name)) << " [shape=box"
             << (branch != 0 ? ", peripheries=2" : "") << ", label=" << dotQuote(dotLabel(lines))
             << ", " << kernelStyle(enable, kernel.record != nullptr) << "];\n";
    }

    void drawGroup(const VELT::IGraphConfig& group, const KernelGroupView* context,
                   const std::string& indent) {
        drawnGroups_.insert(&group);
        std::string name = group.getName();
        std::vector<DrawnKernel> kernels = kernelsOf(group, context);
        out_ << indent << "subgraph " << dotClusterId("group_" + name) << " {\n"
             << indent << "    label=" << dotQuote(name + " (program group)") << ";\n"
             << indent << "    style=\"rounded,filled\";\n"
             << indent << "    fillcolor=whitesmoke;\n";
        std::vector<VELT::IGraphConfig*> ports = childNodesOfType(group, "port");
        for (VELT::IGraphConfig* port : ports) {
            out_ << indent << "    " << dotQuote(portId(name, port->getName()))
                 << " [shape=" << (isOutput(*port) ? "rarrow" : "larrow")
                 << ", label=" << dotQuote(dotLabel({port->getName(), sizeAndFormat(*port)}))
                 << "];\n";
        }
        for (const DrawnKernel& kernel : kernels) {
            drawKernel(kernel, indent + "    ");
        }
        out_ << indent << "}\n";
        drawGroupEdges(group, ports, kernels);
    }

    void drawGroupEdges(const VELT::IGraphConfig& group,
                        const std::vector<VELT::IGraphConfig*>& ports,
                        const std::vector<DrawnKernel>& kernels) {
        std::string name = group.getName();
        std::string previous;
        for (VELT::IGraphConfig* port : ports) {
            if (!isOutput(*port) && previous.empty()) {
                previous = portId(name, port->getName());
            }
        }
        std::map<int, std::string> branchKernels;
        for (const DrawnKernel& kernel : kernels) {
            std::string id = kernelId(kernel.name);
            if (!previous.empty()) {
                out_ << "    " << dotQuote(previous) << " -> " << dotQuote(id);
                if (kernel.record != nullptr) {
                    out_ << " [label=" << dotQuote(historyLabel(kernel.record->history)) << "]";
                }
                out_ << ";\n";
            }
            previous = id;
            if (kernel.node == nullptr) {
                continue;
            }
            if (int branch = intAttribute(*kernel.node, "branch_point").value_or(0)) {
                branchKernels.emplace(branch, id);
            }
            auto restore = intAttribute(*kernel.node, "restore_point");
            if (restore && branchKernels.count(*restore) > 0) {
                out_ << "    " << dotQuote(branchKernels[*restore]) << " -> " << dotQuote(id)
                     << " [" << kRestoreEdge << ", constraint=false, label="
                     << dotQuote("restore " + std::to_string(*restore)) << "];\n";
            }
            auto sinkPort = intAttribute(*kernel.node, "sink_port");
            for (VELT::IGraphConfig* port : ports) {
                if (sinkPort && intAttribute(*port, "id") == sinkPort) {
                    out_ << "    " << dotQuote(id) << " -> "
                         << dotQuote(portId(name, port->getName())) << ";\n";
                }
            }
        }
    }

    // Output ports to the input ports and sinks their "peer"s name; input
    // ports from the blocks outside any program group that feed them.
    void drawCrossEdges(const std::vector<VELT::IGraphConfig*>& groups) {
        std::set<std::string> drawnBlocks;
        for (VELT::IGraphConfig* group : groups) {
            for (VELT::IGraphConfig* port : childNodesOfType(*group, "port")) {
                std::string from = portId(group->getName(), port->getName());
                for (const std::string& peer : peersOf(*port)) {
                    size_t colon = peer.find(':');
                    std::string block = peer.substr(0, colon);
                    VELT::IGraphConfig* node = childNamed(graph_, block);
                    bool isGroup = node != nullptr && typeOf(*node) == "program_group";
                    if (isOutput(*port) && isGroup && colon != std::string::npos) {
                        out_ << "    " << dotQuote(from) << " -> "
                             << dotQuote(portId(block, peer.substr(colon + 1))) << " ["
                             << kCrossEdge << "];\n";
                    } else if (!isGroup) {
                        std::string id = "block " + block;
                        if (drawnBlocks.insert(id).second) {
                            bool sink = node != nullptr && typeOf(*node) == "sink";
                            out_ << "    " << dotQuote(id) << " [shape=" << (sink ? "cds" : "box3d")
                                 << ", label="
                                 << dotQuote(
                                        dotLabel({block, node ? "(" + typeOf(*node) + ")" : ""}))
                                 << "];\n";
                        }
                        out_ << "    "
                             << (isOutput(*port) ? dotQuote(from) + " -> " + dotQuote(id)
                                                 : dotQuote(id) + " -> " + dotQuote(from))
                             << " [" << kCrossEdge << "];\n";
                    }
                }
            }
        }
    }

    const VELT::IGraphConfig& graph_;
    const KernelListsView& view_;
    std::ostream& out_;
    std::set<const VELT::IGraphConfig*> drawnGroups_;
};

}  // namespace

void renderContextGraphDot(const VELT::IGraphConfig& graph, const KernelListsView& view,
                           const std::string& title, std::ostream& out) {
    ContextPicture(graph, view, out).draw(title);
}

}  // namespace velt_tool
