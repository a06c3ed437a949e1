/*
 * NodeIterator: a cursor over the child nodes of one node, optionally
 * filtered by key, by type or by a string attribute's value.
 */
#ifndef VELT_NODE_ITERATOR_H
#define VELT_NODE_ITERATOR_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "velt_export.h"
#include "velt_graph_config.h"
#include "velt_graph_config_node.h"

namespace VELT {

/*
 * Walks a node's items in stored order (ascending key, insertion order within
 * a key) and returns the next child node that passes a test, or null at the
 * end. After reporting the end the iterator starts over from the first item,
 * so a loop that stops at null visits every match once and leaves the
 * iterator reset. The tree is never changed; items must not be inserted or
 * removed while an iteration is in progress.
 */
class ZO_EXPORT NodeIterator {
  public:
    /* A cursor over node's children, at the start; a null node is logged on every use. */
    explicit NodeIterator(const IGraphConfig* node);

    /* Back to the start, forgetting the cached type; returns null. */
    IGraphConfig* reset();
    /* The next child node stored under key (attributes under it are passed over). */
    IGraphConfig* iterateByUid(const uint32_t& key);
    /* The next child node, whatever its key. */
    IGraphConfig* iterateDescendants();
    /*
     * The next child node with a string attribute under attributeKey whose
     * text equals value exactly. Integer attributes never match.
     */
    IGraphConfig* iterateNodes(const uint32_t& attributeKey, const std::string& value);
    /* The next child node whose "type" text is the dictionary name of typeKey. */
    IGraphConfig* iterateByType(const uint32_t& typeKey);

  private:
    /* Entries passed so far, counted from the first in stored order. */
    int32_t position_ = 0;
    const IGraphConfig* node_;
    uint32_t cachedTypeKey_ = 0;
    std::string cachedTypeName_;
    /* Whether cachedTypeName_ holds the name of cachedTypeKey_ (not after reset). */
    bool typeCached_ = false;

    template <typename Test>
    IGraphConfig* next(Test test);
};

}  // namespace VELT

#endif /* VELT_NODE_ITERATOR_H */
