// Option lists: the values an attribute may take, each with the subtree that
// changes elsewhere in the graph when the attribute takes it.
#include <string>

#include "velt_graph_config_node.h"
#include "velt_node_iterator.h"
#include "velt_status.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_camera/velt/tree/item_names.h"
#include "zo_camera/velt/tree/subtree_merge.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

namespace {

// An option's "value" holds one value or several separated by commas. Pieces
// are compared whole and untrimmed; an empty piece matches an empty value,
// except after the last comma, where a trailing comma must not admit "".
bool optionMatches(const std::string& optionText, const std::string& value) {
    size_t start = 0;
    size_t comma = optionText.find(',');
    if (comma == std::string::npos) {
        return optionText == value;
    }
    while (comma != std::string::npos) {
        if (optionText.compare(start, comma - start, value) == 0) {
            return true;
        }
        start = comma + 1;
        comma = optionText.find(',', start);
    }
    const std::string last = optionText.substr(start);
    return !last.empty() && last == value;
}

// The first option of node's option lists for the attribute that admits value.
IGraphConfig* findOption(const GraphConfigNode& node, uint32_t attributeKey,
                         const std::string& value) {
    NodeIterator listIt(&node);
    for (IGraphConfig* list = listIt.iterateByUid(kKeyOptions); list != nullptr;
         list = listIt.iterateByUid(kKeyOptions)) {
        int governed = 0;
        if (list->getValue(kKeyAttribute, governed) != 0 ||
            static_cast<uint32_t>(governed) != attributeKey) {
            continue;
        }
        NodeIterator optionIt(list);
        for (IGraphConfig* option = optionIt.iterateDescendants(); option != nullptr;
             option = optionIt.iterateDescendants()) {
            std::string optionText;
            option->getValue(kKeyValue, optionText);
            if (optionMatches(optionText, value)) {
                return option;
            }
        }
    }
    return nullptr;
}

}  // namespace

int GraphConfigNode::handleAttributeOptions(GraphConfigNode* node, uint32_t attributeKey,
                                            const std::string& value) {
    return guardStatus(__func__, err_data, [&]() -> int {
        if (node == nullptr) {
            return err_argument;
        }
        IGraphConfig* option = findOption(*node, attributeKey, value);
        if (option == nullptr) {
            ZO_MODULE_LOG(ZO_LOG_WARNING, velt,
                          "Trying to apply value but no options list available for %s.",
                          printItem(node).c_str());
            return err_noentry;
        }
        GraphConfigNode* apply = nullptr;
        if (static_cast<GraphConfigNode*>(option)->getDescendant(kKeyApply, &apply) != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Found option for %s, but no apply node. Skipping.",
                          value.c_str());
            return err_notsupported;
        }
        SubtreeMergeRules rules;
        rules.addNodes = true;
        rules.deep = true;
        const int status = mergeSubtree(node->getRootNode(), apply, rules);
        if (status != 0) {
            ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Failed to apply option attributes");
            return status;
        }
        return err_none;
    });
}

}  // namespace VELT
