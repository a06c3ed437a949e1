// Visits every node of a tree the way a user of a document would: children
// by iteration, names, types and the common attributes as integer and text.
#ifndef ZOVESK_FUZZ_TREE_WALK_H
#define ZOVESK_FUZZ_TREE_WALK_H

#include <cstddef>
#include <string>
#include <vector>

#include "velt_graph_config.h"
#include "velt_item_uid.h"
#include "velt_node_iterator.h"

namespace zovesk_fuzz {

// Number of nodes below and including root.
inline size_t walkTree(const VELT::IGraphConfig* root) {
    static const char* const kAttributes[] = {"name", "type", "id", "width", "version", "key"};
    size_t count = 0;
    std::vector<const VELT::IGraphConfig*> pending{root};
    while (!pending.empty()) {
        const VELT::IGraphConfig* node = pending.back();
        pending.pop_back();
        ++count;
        node->getName();
        node->getUid();
        for (const char* attribute : kAttributes) {
            const uint32_t key = VELT::ItemUID::str2key(attribute);
            int number = 0;
            std::string text;
            node->getValue(key, number);
            node->getValue(key, text);
        }
        VELT::NodeIterator children(node);
        while (VELT::IGraphConfig* child = children.iterateDescendants()) {
            pending.push_back(child);
        }
    }
    return count;
}

}  // namespace zovesk_fuzz

#endif
