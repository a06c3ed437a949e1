// NodeIterator: filtered walks over a node's child nodes.

#include "velt_node_iterator.h"

#include <iterator>

#include "velt_status.h"
#include "zo_camera/velt/tree/child_match.h"
#include "zo_camera/velt/tree/tree_log.h"

namespace VELT {

NodeIterator::NodeIterator(const IGraphConfig* node) : node_(node) {}

IGraphConfig* NodeIterator::reset() {
    position_ = 0;
    cachedTypeKey_ = 0;
    typeCached_ = false;
    return nullptr;
}

template <typename Test>
IGraphConfig* NodeIterator::next(Test test) {
    if (!node_) {
        zo_log_common_debug(ZO_LOG_ERROR, kTreeTag, "NodeIterator was constructed with NULL.");
        return nullptr;
    }
    const auto* node = static_cast<const GraphConfigNode*>(node_);
    const int count = node->getDescendantCount();

    // Resume where the previous call stopped when nothing has moved since;
    // otherwise count position_ entries from the first.
    GraphConfigNode::const_iterator it;
    if (cursorPosition_ == position_ && cursorCount_ == count) {
        it = cursor_;
    } else {
        it = node->begin();
        for (int32_t passed = 0; passed < position_ && it != node->end(); ++passed) {
            ++it;
        }
    }
    for (; it != node->end(); ++it) {
        ++position_;
        if (it->second->isNode() && test(*it)) {
            cursor_ = std::next(it);
            cursorPosition_ = position_;
            cursorCount_ = count;
            return const_cast<GraphConfigNode*>(
                static_cast<const GraphConfigNode*>(it->second.get()));
        }
    }
    return reset();
}

IGraphConfig* NodeIterator::iterateByUid(const uint32_t& key) {
    return next([key](const auto& entry) { return entry.first == key; });
}

IGraphConfig* NodeIterator::iterateDescendants() {
    return next([](const auto&) { return true; });
}

IGraphConfig* NodeIterator::iterateNodes(const uint32_t& attributeKey, const std::string& value) {
    return next([&](const auto& entry) {
        return holdsValue(static_cast<const GraphConfigNode&>(*entry.second), attributeKey, value);
    });
}

IGraphConfig* NodeIterator::iterateByType(const uint32_t& typeKey) {
    // Over a null node the walk only logs; the cache stays as it was.
    if (node_ && (!typeCached_ || typeKey != cachedTypeKey_)) {
        cachedTypeName_ = ItemUID::key2str(typeKey);
        cachedTypeKey_ = typeKey;
        typeCached_ = true;
    }
    return iterateNodes(kKeyType, cachedTypeName_);
}

}  // namespace VELT
