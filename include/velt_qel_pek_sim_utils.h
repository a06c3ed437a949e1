/*
 * QelPekSimUtils: operations for tools that simulate the ISP pipe from the
 * graph documents instead of running a camera: copying a settings tree to
 * modify it, setting integer attributes, and listing the program groups,
 * kernels and mux positions of a graph.
 *
 * Messages use the tag "VELT_PEK_SIMULATION_UTILS[XOS]".
 */
#ifndef VELT_QEL_PEK_SIM_UTILS_H
#define VELT_QEL_PEK_SIM_UTILS_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"

namespace VELT {

class ZO_EXPORT QelPekSimUtils {
  public:
    // One kernel of a program group.
    struct KernelInfo {
        std::string name;  // the kernel node's "name"
        int32_t palUuid;   // its "pal_uuid"
    };

    // A deep copy of a settings tree (or any node) in *copy, owned by the caller.
    // Returns 0, -32 for a null argument, -4 when the copy fails.
    static int cloneSettings(const IGraphConfig* settings, IGraphConfig** copy);
    // The "pal_uuid" of the first kernel named kernelName in the program groups of the
    // item's root. Returns that read's result; when no kernel matches, the result of the
    // last "name" read (0 when there was none) and palUuid is untouched. -32 for a null graph.
    static int getKernelPalUuid(const IGraphConfig* graph, const std::string& kernelName,
                                int& palUuid);
    // Sets the integer under key, adding the attribute when the node has no integer there.
    // Returns 0, -2 when the attribute cannot be had, -32 for a null node, else the failure.
    static int setValue(IGraphConfig* node, unsigned key, int value);
    // The program groups that the connections of descriptor graph graphId touch, after
    // applying the graph's overrides to the descriptor's "nodes" (which this changes).
    // Returns 0; -32 without "graphs" or "nodes", -8 for a graph without "id" or a
    // connection without ends, -64 when no graph has the id.
    static int getPgsInGraph(const IGraphConfig* descriptor, int graphId,
                             std::set<IGraphConfig*>& pgs);
    // Appends name and "pal_uuid" of every kernel of the program group; stops at the first
    // kernel lacking either and returns the read failures combined, else 0.
    static int getKernelInfoList(const IGraphConfig& pg, std::vector<KernelInfo>& kernels);
    // Appends the kernels of the program groups of graph graphId whose "stream_id" (0 when
    // missing) is streamId. Returns 0 or the failure of getPgsInGraph.
    static int getKernelList(const IGraphConfig* descriptor, int graphId, int streamId,
                             std::vector<KernelInfo>& kernels);
    // Sets config[name] to the "active_output" of every demuxer and the "active_input" of
    // every muxer in the blocks of the stream (program groups, or compute blocks for "ORBA7"
    // graphs). Other entries stay. Returns 0, -32 for a null graph, -16 for a demuxer or
    // muxer without its selection.
    static int getMuxConfiguration(const IGraphConfig* graph, int streamId,
                                   std::map<std::string, unsigned>& config);
};

}  // namespace VELT

#endif /* VELT_QEL_PEK_SIM_UTILS_H */
