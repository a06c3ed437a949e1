// NodeIterator: filtered walks over a node's child nodes.

#include "velt_node_iterator.h"

#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/child_match.h"
#include "zo_rulo/zo_log_tags.h"

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
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "NodeIterator was constructed with NULL.");
        return nullptr;
    }
    // A node's items are one array, so the walk resumes at position_ directly
    // and a full walk is linear.
    const auto* node = static_cast<const GraphConfigNode*>(node_);
    const auto first = node->begin();
    const int32_t count = node->getDescendantCount();
    for (int32_t index = position_; index < count; ++index) {
        position_ = index + 1;
        const auto& entry = first[index];
        if (entry.second->isNode() && test(entry)) {
            return const_cast<GraphConfigNode*>(
                static_cast<const GraphConfigNode*>(entry.second.get()));
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
    return guardValue<IGraphConfig*>(__func__, nullptr, [&]() -> IGraphConfig* {
        return next([&](const auto& entry) {
            return holdsValue(static_cast<const GraphConfigNode&>(*entry.second), attributeKey,
                              value);
        });
    });
}

IGraphConfig* NodeIterator::iterateByType(const uint32_t& typeKey) {
    return guardValue<IGraphConfig*>(__func__, nullptr, [&]() -> IGraphConfig* {
        // Over a null node the walk only logs; the cache stays as it was.
        if (node_ && (!typeCached_ || typeKey != cachedTypeKey_)) {
            cachedTypeName_ = ItemUID::key2str(typeKey);
            cachedTypeKey_ = typeKey;
            typeCached_ = true;
        }
        return iterateNodes(kKeyType, cachedTypeName_);
    });
}

}  // namespace VELT
