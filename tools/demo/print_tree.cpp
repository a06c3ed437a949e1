#include "print_tree.h"

#include <string>
#include <utility>
#include <vector>

#include "velt_item_uid.h"

namespace zovesk_demo {

void printTree(const VELT::GraphConfigNode& root, FILE* out, int depth) {
    // An explicit stack keeps deep documents from exhausting the call stack.
    std::vector<std::pair<const VELT::GraphConfigNode*, VELT::GraphConfigNode::const_iterator>>
        stack{{&root, root.begin()}};
    while (!stack.empty()) {
        auto& [node, position] = stack.back();
        if (position == node->end()) {
            stack.pop_back();
            continue;
        }
        const uint32_t key = position->first;
        const VELT::GraphConfigItem* item = position->second.get();
        ++position;
        const int indent = 2 * (depth + static_cast<int>(stack.size()) - 1);
        const char* name = VELT::ItemUID::key2str(key);
        int number = 0;
        std::string text;
        if (item->isNode()) {
            fprintf(out, "%*s%s:\n", indent, "", name);
            const auto* child = static_cast<const VELT::GraphConfigNode*>(item);
            stack.emplace_back(child, child->begin());
        } else if (item->getValue(number) == 0) {
            fprintf(out, "%*s%s = %d\n", indent, "", name, number);
        } else if (item->getValue(text) == 0) {
            fprintf(out, "%*s%s = \"%s\"\n", indent, "", name, text.c_str());
        }
    }
}

}  // namespace zovesk_demo
