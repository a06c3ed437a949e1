/*
 * Static accessors over a result graph: ports and their peers, identifiers,
 * dimensions, sensor factors, kernel values, printable names, execution
 * contexts and the ports through which a subgraph is entered or left.
 *
 * None of the accessors changes the graph or takes ownership of anything;
 * every item handed out points into the graph it was read from.
 */
#ifndef VELT_GRAPH_CAMERA_UTIL_H
#define VELT_GRAPH_CAMERA_UTIL_H

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"

namespace VELT {

class GraphConfigNode;

class ZO_EXPORT GraphCameraUtil {
  public:
    // What a buffer allocator needs to know about one port.
    struct PortDescriptor {
        std::string portName;          // the port's "name"
        std::string programGroupName;  // the "name" of the port's parent node
        int32_t direction;             // the port's "direction"
        int32_t enabled;               // the port's "enabled"; 1 when missing
        uint32_t portUid;              // unique id from portGetFourCCInfo()
        int32_t width;                 // the port's "width", or its peer's
        int32_t height;                // "height" from the item that gave the width
        std::string format;            // "format" from the item that gave the width
    };

    /* --- Ports and nodes --- */

    // The node's first "port" child whose "id" equals id; null if none.
    static IGraphConfig* nodeGetPortById(const IGraphConfig* node, int id);
    // The port's "direction" (0 input, 1 output); 0 when missing.
    static int portGetDirection(const IGraphConfig* port);
    // An integer of the port's program group (of a virtual sink itself); -1 on failure.
    static int portGetKey(const IGraphConfig* port, unsigned key);
    // portGetKey() for "exec_ctx_id".
    static int portGetExecCtxId(const IGraphConfig* port);
    // portGetKey() for "stream_id"; logs a failure.
    static int portGetStreamId(const IGraphConfig* port);
    // Reads width, height and the four crops into every non-null pointer; -64 when one is
    // missing, -32 for a null item.
    static int getDimensions(const IGraphConfig* node, int* width = nullptr, int* height = nullptr,
                             int* left = nullptr, int* top = nullptr, int* right = nullptr,
                             int* bottom = nullptr);
    // The sensor's "h_factor" and "v_factor"; -32 for a null sensor, else the read failure.
    static int sensorGetBinningFactor(const IGraphConfig* sensor, int& horizontal, int& vertical);
    // The sensor's "num_factor" and "denom_factor"; -32 for a null sensor, else the read failure.
    static int sensorGetScalingFactor(const IGraphConfig* sensor, int& numerator, int& denominator);
    // Number of "kernel" children of a program group; -32 for a null group.
    static int getKernelCountInPg(const IGraphConfig* programGroup, unsigned& count);
    // "sensor_type" of the graph's first source ("NONE" until read); -64 when there is none.
    static int sensorGetType(const IGraphConfig* item, std::string& sensorType);
    // The port's "content_type"; "pixel_data" when missing.
    static std::string portGetContentType(const IGraphConfig* port);
    // True when the item is a virtual sink ("type" "sink").
    static bool portIsVirtual(const IGraphConfig* port);
    // Logs the item's subtree (see GraphConfigNode::dumpNodeTree).
    static void dumpNodeTree(const IGraphConfig* node, int depth);
    // "<parent name>:<own name>", each part "NA" when it cannot be read.
    static std::string getFullName(const IGraphConfig& item);
    // "<type>[<name>]", e.g. port[isa:output] or hw[isa]; for messages.
    static std::string print(const IGraphConfig* item);

    // The port that the port's "peer" names, stored in *peer; -64 for a disabled or private
    // port (output untouched), -32 for null arguments or a peer that is missing or not found,
    // -16 when the port has no root.
    static int portGetPeer(const IGraphConfig* port, IGraphConfig** peer);
    // True when the port connects its execution context (or stream) to another one, to a
    // hardware block or source, or to a virtual sink.
    static bool isEdgePort(const IGraphConfig* port);
    // Unique port id: uid base from the program group's "pg_id" (0 without one) plus the
    // port's "id"; -32 for a null port, a port without "id" or without parent.
    static int portGetFourCCInfo(const IGraphConfig* port, unsigned& uidBase, unsigned& portUid);
    // Fills a PortDescriptor; -8 when something needed is missing. A disabled port is
    // complete without sizes and format.
    static int portGetDescriptor(const IGraphConfig* port, PortDescriptor& descriptor);
    // The port's (else its peer's, else 1) "enabled" and its unique id.
    static int portGetInfo(const IGraphConfig* port, unsigned& enabled, unsigned& uid);
    // Reads a kernel's values into every non-null output. metadata has room for four values;
    // a longer or malformed "metadata" list returns -8 and writes no metadata. Missing
    // "pal_uuid" or "id" returns the read failure.
    static int kernelGetValues(const IGraphConfig* kernel, int* palUuid, int* kernelId,
                               unsigned* metadata, int* enabled, int* rcb, int* branchPoint,
                               int* sinkPort);

    /* --- Port formats --- */
    // Where a port lacks "width", "height", "format", "bpl" or "private", its peer's is used.

    // What a buffer allocator needs for a port: enabled and uid (portGetInfo()), width,
    // height, and the fourcc, bits per pixel and bytes per line of its "format". A format
    // text that is not a table name falls back to the fourcc of its first four characters,
    // then to "YUV420_8_SP"; a "bpl" replaces the computed stride. A disabled port returns 0
    // with only enabled and uid set. Returns -2 for a negative size or stride and, unless the
    // port is private, when something is missing (known outputs are still filled); failures
    // of portGetInfo() are returned as they are.
    static int portGetFormat(const IGraphConfig* port, unsigned& enabled, unsigned& uid,
                             unsigned& width, unsigned& height, unsigned& fourcc, unsigned& bpl,
                             unsigned& bpp);
    // Table name of the format of the port's peer ("YUV420_8_SP" for an unknown text); empty
    // when there is no peer or no format.
    static std::string portGetPeerFormat(const IGraphConfig* port);
    // Sets "format" of the port's peer through its option list; 0 also when no option list
    // governs it (the peer keeps its value), -8 without a peer, else the setValue() failure.
    static int applyFormat(const IGraphConfig* port, const std::string& format);
    // A decimal or "0x" hexadecimal number text as a new zero-filled little-endian byte array
    // of (hex digits / 2 + 1) or ((decimal digits * 27214) >> 16) + 1 bytes, its size stored
    // in *size when size is not null. Null for a text not starting with a digit, a decimal
    // value beyond 64 bits or a failed allocation. Free it with releaseBinary().
    static uint8_t* numString2binary(const std::string& text, unsigned* size);
    // Frees an array from numString2binary(); null is accepted.
    static void releaseBinary(void* buffer);

    /* --- Graph overrides --- */

    // Applies the "apply" children of a descriptor graph to a result graph: each forces the
    // attribute its "target" path (keys joined by ':') names to its "value", adding the
    // attribute where only it is missing. Targets the result lacks are skipped with a warning.
    // Returns 0, the read failure of an override without "target" or "value", or the failure
    // of setting a value (-8 for an integer attribute and a text that is not a 32-bit decimal).
    static int processGraphOverrides(GraphConfigNode& graph, GraphConfigNode& root);

    /* --- Execution contexts and subgraph ports --- */
    // In the operations below, key is the attribute that identifies a subgraph
    // ("exec_ctx_id" or "stream_id") and typeKey the type of the blocks forming subgraphs
    // (normally "program_group"). Output vectors are appended to unless noted.

    // Every "exec_ctx_id" of the node's program groups; the last read result.
    static int getExecCtxIds(const IGraphConfig& graph, std::set<int>& ids);
    // Execution context -> "tuning_mode" (-1 when missing); the first mode of a context wins.
    static int getExecCtxIdsTuningMap(const IGraphConfig& graph, std::map<int, int>& tuningModes);
    // The enabled "source" children of the item's root; -32 when there are none.
    static int getSourceNode(const IGraphConfig* item, std::vector<IGraphConfig*>& sources);
    // Program groups whose integer under key equals value; -2 when there are none.
    static int getProgramGroups(unsigned key, int value, const IGraphConfig* graph,
                                std::vector<IGraphConfig*>& programGroups);
    // Virtual sinks of the item's root whose "name" contains namePart (all for an empty
    // part); -64 when there are none.
    static int graphGetSinksByName(const std::string& namePart, const IGraphConfig* item,
                                   std::vector<IGraphConfig*>& sinks);
    // Ports of one subgraph in one direction (0 input, 1 output) that connect it to the
    // outside. Clears ports first; -32 when none is found.
    static int getSubgraphPorts(unsigned key, int value, int direction, const IGraphConfig& graph,
                                std::vector<IGraphConfig*>& ports, unsigned typeKey);
    // getSubgraphPorts() for input ports.
    static int getInputPorts(unsigned key, int value, const IGraphConfig& graph,
                             std::vector<IGraphConfig*>& ports, unsigned typeKey);
    // The first input port of a subgraph that has a usable peer, stored in *port; 0, -32 for
    // null arguments or no input port, else the peer failure of the last port tried.
    static int getInputPort(unsigned key, int value, const IGraphConfig* graph, IGraphConfig** port,
                            unsigned typeKey);
    // Output ports of a subgraph; a subgraph without any falls back to the source ports
    // that feed it. -32 when none is found.
    static int getOutputPorts(unsigned key, int value, const IGraphConfig& graph,
                              std::vector<IGraphConfig*>& ports, unsigned typeKey);
    // Connections that cross execution contexts, as (source, sink) text pairs, plus the
    // source-side peers of pixel-data inputs and the virtual sinks of pixel-data outputs.
    // -32 when no connection crosses, -8 for a peer without parent.
    static int getExecCtxConnectionPorts(
        const IGraphConfig* graph, std::vector<std::pair<std::string, std::string>>& connections,
        std::vector<std::string>& sourcePeers, std::vector<std::string>& sinkNames);
};

// Reads the "name" of the item's parent (skipped without a parent) and of the item; -2 when a
// read fails, and a text that was not read keeps its content.
ZO_EXPORT int getPgAndPortNames(const IGraphConfig& port, std::string& pgName,
                                std::string& portName);

}  // namespace VELT

#endif /* VELT_GRAPH_CAMERA_UTIL_H */
