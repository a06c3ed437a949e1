#include "query_test_support.h"

#include "support/graph_builder.h"
#include "velt_item_uid.h"

namespace zovesk_test {

VELT::GraphConfigNode* nodeAt(const VELT::IGraphConfig* root, const std::string& path) {
    VELT::IGraphConfig* node = root ? root->getDescendantByString(path) : nullptr;
    return static_cast<VELT::GraphConfigNode*>(node);
}

std::vector<std::string> peersOf(const VELT::IGraphConfig* item) {
    std::vector<std::string> peers;
    if (!item) {
        return peers;
    }
    const auto* node = static_cast<const VELT::GraphConfigNode*>(item);
    for (auto entry = node->begin(); entry != node->end(); ++entry) {
        std::string text;
        if (entry->first == VELT::kKeyPeer && entry->second->getValue(text) == 0) {
            peers.push_back(text);
        }
    }
    return peers;
}

size_t countItems(const VELT::IGraphConfig* node, const std::string& key) {
    const uint32_t wanted = VELT::ItemUID::str2key(key);
    size_t count = 0;
    const auto* graphNode = static_cast<const VELT::GraphConfigNode*>(node);
    for (auto entry = graphNode->begin(); entry != graphNode->end(); ++entry) {
        count += entry->first == wanted ? 1 : 0;
    }
    return count;
}

int intAt(const VELT::IGraphConfig* node, const std::string& key, int fallback) {
    return node ? intOf(node, key, fallback) : fallback;
}

std::string strAt(const VELT::IGraphConfig* node, const std::string& key,
                  const std::string& fallback) {
    return node ? strOf(node, key, fallback) : fallback;
}

}  // namespace zovesk_test
