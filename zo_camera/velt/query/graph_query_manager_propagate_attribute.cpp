// Copies one attribute from a block onto the virtual sink it feeds, replacing
// what the sink already holds.
#include <memory>
#include <string>

#include "velt_graph_config_node.h"
#include "velt_graph_query_manager.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"

namespace VELT {

namespace {

template <typename Value, typename Attribute>
int propagateAttribute(IGraphConfig* source, IGraphConfig* target, unsigned key) {
    if (!source || !target) {
        return err_argument;
    }
    GraphConfigNode* targetNode = static_cast<GraphConfigNode*>(target);
    Value current{};
    Value value{};
    int status = source->getValue(key, value);
    if (status != err_none) {
        return status;
    }
    if (targetNode->getValue(key, current) == err_none) {
        // Written through the attribute itself: an option list must not veto the copy.
        GraphConfigAttribute* attribute = nullptr;
        if (targetNode->getAttribute(key, &attribute) == err_none && attribute) {
            attribute->setValue(value);
        }
        return status;
    }
    // Owned here until the node has taken it: both steps can run out of memory.
    auto attribute = std::make_unique<Attribute>();
    status = attribute->setValue(value);
    if (status != err_none) {
        return status;
    }
    status = targetNode->insertDescendant(attribute.get(), key);
    if (status == err_none) {
        (void)attribute.release();  // the node owns it now
    }
    return status;
}

}  // namespace

int GraphQueryManager::propagateIntAttribute(IGraphConfig* source, IGraphConfig* target,
                                             unsigned key) {
    return guardStatus(__func__, err_general, [&]() -> int {
        return propagateAttribute<int, GraphConfigIntAttribute>(source, target, key);
    });
}

int GraphQueryManager::propagateStrAttribute(IGraphConfig* source, IGraphConfig* target,
                                             unsigned key) {
    return guardStatus(__func__, err_general, [&]() -> int {
        return propagateAttribute<std::string, GraphConfigStrAttribute>(source, target, key);
    });
}

}  // namespace VELT
