/*
 * GraphQueryManager: the entry point for picking a configuration. It holds a
 * graph descriptor and a graph settings tree (read with VELTParser), checks
 * that their versions belong together, and finds the settings entries that
 * match a set of criteria.
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
    ~GraphQueryManager();
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

  private:
    /* Takes the entry into results when its count of met criteria suffices. */
    void considerEntry(const GraphQueryCriteria& criteria, IGraphConfig* entry,
                       std::vector<IGraphConfig*>& results);
    /* 0 with entries in results, else -2 after logging. */
    int finishQuery(const std::vector<IGraphConfig*>& results) const;

    /* The strict argument of the latest queryGraphs. */
    bool strict_ = false;
    const IGraphConfig* graphSettings_ = nullptr;
    const IGraphConfig* graphDescriptor_ = nullptr;
    /* "key" of the settings entry most recently built into a result graph. */
    int32_t settingsKey_ = 0;
};

}  // namespace VELT

#endif /* VELT_GRAPH_QUERY_MANAGER_H */
