// Copies descriptor blocks into a result graph, building those that name a
// base node from it.
#include <memory>
#include <string>

#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_item_uid.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/query/base_node_lookup.h"
#include "zo_log_common.h"
#include "zo_rulo/zo_log_tags.h"

namespace VELT {

IGraphConfig* GraphQueryManager::copyNodeToResult(IGraphConfig* nodes, unsigned key,
                                                  GraphConfigNode* result) {
    return guardValue<IGraphConfig*>(__func__, nullptr, [&]() -> IGraphConfig* {
        IGraphConfig* block = nodes && result ? nodes->getDescendant(key) : nullptr;
        if (!block) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Node(%s) not found from descriptor",
                          ItemUID::key2str(key));
            return nullptr;
        }
        if (IGraphConfig* copied = result->getDescendant(key)) {
            return copied;
        }
        GraphConfigNode* copy = nullptr;
        std::string baseName;
        if (nodeHasBaseNode(*block, baseName)) {
            copy = constructNodeFromBase(block, baseName, nodes);
            if (!copy) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Node(%s) could not be built from base node %s",
                              ItemUID::key2str(key), baseName.c_str());
                return nullptr;
            }
        } else {
            copy = static_cast<GraphConfigNode*>(block)->copy();
            if (!copy) {
                return nullptr;
            }
        }
        if (result->insertDescendant(copy, key) != err_none) {
            delete copy;
            return nullptr;
        }
        return result->getDescendant(key);
    });
}

bool GraphQueryManager::nodeHasBaseNode(IGraphConfig& block, std::string& baseName) {
    return guardValue<bool>(__func__, false, [&]() -> bool {
        std::string name;
        if (block.getValue(kKeyBaseNode, name) != err_none) {
            return false;
        }
        baseName = name;
        return true;
    });
}

GraphConfigNode* GraphQueryManager::constructNodeFromBase(IGraphConfig* block,
                                                          std::string& baseName,
                                                          IGraphConfig* nodes) {
    return guardValue<GraphConfigNode*>(__func__, nullptr, [&]() -> GraphConfigNode* {
        if (!block || !nodes) {
            return nullptr;
        }
        const std::string blockName = block->getName();
        if (IGraphConfig* base = findBaseNode(*nodes, baseName)) {
            // Owned until handed out: the conversion can throw std::bad_alloc.
            std::unique_ptr<GraphConfigNode> copy(static_cast<GraphConfigNode*>(base)->copy());
            if (!copy) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to copy base node %s to create node %s",
                              baseName.c_str(), blockName.c_str());
                return nullptr;
            }
            const int status = copy->changeBaseNodeIntoNode(*static_cast<GraphConfigNode*>(block));
            if (status != err_none) {
                ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to change base node %s into node %s",
                              baseName.c_str(), blockName.c_str());
                return nullptr;
            }
            return copy.release();
        }
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to find base node %s for node %s",
                      baseName.c_str(), blockName.c_str());
        return nullptr;
    });
}

}  // namespace VELT
