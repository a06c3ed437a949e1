/*
 * GraphQueryManager: the entry point for picking a configuration. It holds a
 * graph descriptor and a graph settings tree (read with VELTParser), checks
 * that their versions belong together, finds the settings entries that
 * match a set of criteria, and builds the result graph of one entry: a
 * self-contained tree owned by the caller.
 *
 * Threads: a manager, like the trees it is given, is used by one thread at a
 * time; managers on other threads work on trees of their own.
 */
#ifndef VELT_GRAPH_QUERY_MANAGER_H
#define VELT_GRAPH_QUERY_MANAGER_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_item_uid.h"

namespace VELT {

class GraphConfigNode;

/*
 * Query criteria: a path relative to a settings entry (one key: an attribute
 * of the entry; more keys: nested child nodes, then the attribute) mapped to
 * the text the attribute must have. Integer attributes match their decimal
 * text ("-5", never "05").
 */
using GraphQueryCriteria = std::map<ItemUID, std::string>;

/*
 * Neither tree is owned: the caller keeps both alive while the manager is in
 * use. Results are pointers into the graph settings tree.
 */
class ZO_EXPORT GraphQueryManager {
  public:
    /* A manager with no trees set. */
    GraphQueryManager();
    // Defined in the library, where it has always been: callers link to it.
    ~GraphQueryManager();  // NOLINT(performance-trivially-destructible)
    GraphQueryManager(const GraphQueryManager&) = delete;
    GraphQueryManager& operator=(const GraphQueryManager&) = delete;

    /* Stores the root of the graph descriptor tree. */
    void setGraphDescriptor(const IGraphConfig* descriptor);
    /* Stores the root of the graph settings tree. */
    void setGraphSettings(const IGraphConfig* settings);

    /*
     * Checks that the settings version (up to its first '.') equals the
     * descriptor version; a mismatch or a missing version is only a warning.
     * Returns 0, or -8 when either tree has not been set.
     */
    int validateSettingsAgainstDescriptor();

    /*
     * Appends to results, in tree order, every "settings" entry of the
     * settings tree that matches: strict, all criteria met (an empty map
     * matches every entry); otherwise at least one. results is not cleared.
     * Returns 0; -2 (logged) when results is empty at the end; -8 when a tree
     * is not set (results untouched).
     */
    int queryGraphs(const GraphQueryCriteria& criteria, std::vector<IGraphConfig*>& results,
                    bool strict);
    /*
     * As above, over the given candidate entries instead of the whole
     * settings tree (null candidates never match); matches keep list order.
     */
    int queryGraphs(const GraphQueryCriteria& criteria,
                    const std::vector<IGraphConfig*>& candidates,
                    std::vector<IGraphConfig*>& results, bool strict);

    /*
     * Adds to matches the number of criteria that the settings entry meets,
     * in map order; in strict mode (of the latest queryGraphs) the count
     * stops at the first criterion whose node or attribute is missing.
     */
    void goThroughSearchItems(const GraphQueryCriteria& criteria, const IGraphConfig* entry,
                              size_t& matches);

    /* --- Result graphs --- */

    /*
     * Builds a result graph from the graph descriptor and a settings entry (one
     * of queryGraphs' results) and stores its new root in *result, also when
     * the build fails; the caller frees it with destroyGraph in either case.
     * Returns 0, -32 for a null argument, otherwise the failure of getGraph.
     */
    int createGraph(IGraphConfig* settings, IGraphConfig** result);
    /* Frees a result graph with everything in it; null is ignored. */
    static void destroyGraph(IGraphConfig* graph);
    /*
     * Fills the empty root result from the settings entry: "key", a copy of
     * the descriptor graph with the entry's "id" (plus "version"), the blocks
     * its connections reach, the entry's settings, the graph's overrides, the
     * disabling of unused pixel ports and the sensor mode named by the
     * sensor's "mode_id". Returns 0; -32 for null input, -8 when the graph or
     * the sensor mode is not found, -2 when the settings lack "sensor_modes",
     * -4 when a copy fails, else the failing step's result. What was built
     * before a failure stays in result.
     */
    int getGraph(GraphConfigNode* settings, GraphConfigNode* result);
    /*
     * The result graph's block for a descriptor block key under nodes (the
     * descriptor's "nodes"): copied, or built from its base node, on first
     * use. Null, after logging, when the block is missing or cannot be built.
     * The block belongs to result.
     */
    IGraphConfig* copyNodeToResult(IGraphConfig* nodes, unsigned key, GraphConfigNode* result);
    /* True when the block names a "base_node"; its text is then stored in baseName. */
    bool nodeHasBaseNode(IGraphConfig& block, std::string& baseName);
    /*
     * A new block made from the base node named baseName under nodes, turned
     * into block (its name, type and overrides); owned by the caller. Null,
     * after logging, when the base node is missing or the conversion fails.
     */
    GraphConfigNode* constructNodeFromBase(IGraphConfig* block, std::string& baseName,
                                           IGraphConfig* nodes);
    /*
     * Merges the attributes common to all sensor modes, then the mode whose
     * "name" is modeId, into the sensor block. Returns 0, -8 when no mode has
     * that name, -32 for a null node, else the merge failure.
     */
    static int addSensorModeData(GraphConfigNode* sensor, GraphConfigNode* sensorModes,
                                 const std::string& modeId);

    /* --- Connections --- */
    // source and sink are written "node" or "node:port"; a sink without port
    // is a virtual sink. Both return 0 also when the settings leave the
    // connection out.

    /*
     * Joins a connection that the settings entry may leave out, disable, or
     * redirect to another virtual sink (a "peer" on the source's settings):
     * copies both blocks into result and writes "peer" on both ends; a
     * virtual sink also gets "direction" 0 and, unless it has one, the
     * source block's "stream_id". Returns -32 for null input, -2 for a
     * missing "nodes" or port or a copy failure, else a failing add or read.
     */
    int getConnectionData(const std::string& source, const std::string& sink,
                          GraphConfigNode* settings, GraphConfigNode* result);
    /*
     * Joins a connection that always exists; a virtual sink gets "direction"
     * 0 and the source block's "exec_ctx_id" and "content_type". Results as
     * for getConnectionData.
     */
    int getStaticConnectionData(const std::string& source, const std::string& sink,
                                GraphConfigNode* result);
    /*
     * Copies the integer under key from source to target, replacing or adding
     * it. Returns 0, the source's read failure, or -32 for a null item.
     */
    int propagateIntAttribute(IGraphConfig* source, IGraphConfig* target, unsigned key);
    /* The text form of propagateIntAttribute. */
    int propagateStrAttribute(IGraphConfig* source, IGraphConfig* target, unsigned key);

  private:
    /*
     * The frame both queryGraphs share: records strict, validates the trees,
     * then runs considerEntries (which hands entries to considerEntry) and
     * finishes; running out of memory on the way ends the query with -4.
     */
    template <typename ConsiderEntries>
    int runQuery(bool strict, const std::vector<IGraphConfig*>& results,
                 ConsiderEntries&& considerEntries);
    /* Takes the entry into results when its count of met criteria suffices. */
    void considerEntry(const GraphQueryCriteria& criteria, IGraphConfig* entry,
                       std::vector<IGraphConfig*>& results);
    /* 0 with entries in results, else -2 after logging. */
    int finishQuery(const std::vector<IGraphConfig*>& results) const;
    /* Turns every "connection" of the descriptor graph into peers in result. */
    int addConnections(const GraphConfigNode& graph, GraphConfigNode* settings,
                       GraphConfigNode* result);
    /* Merges the sensor mode that the result's sensor names, when the first source is one. */
    int addChosenSensorMode(GraphConfigNode* result);

    /* The strict argument of the latest queryGraphs. */
    bool strict_ = false;
    const IGraphConfig* graphSettings_ = nullptr;
    const IGraphConfig* graphDescriptor_ = nullptr;
    /* "key" of the settings entry most recently built into a result graph. */
    int32_t settingsKey_ = 0;
};

}  // namespace VELT

#endif /* VELT_GRAPH_QUERY_MANAGER_H */
