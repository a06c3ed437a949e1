// GraphConfigNode: diagnostic dumps of one node and of a subtree.

#include <string>
#include <vector>

#include "velt_graph_config_node.h"
#include "zo_camera/velt/boundary/boundary_guard.h"
#include "zo_rulo/zo_log_tags.h"
#include "zo_rulo/zo_log_wanted.h"

namespace VELT {

void GraphConfigNode::dumpNode() const {
    guardVoid(__func__, [&] {
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Node %p type: %s ancestor %p map size %lu",
                      static_cast<const void*>(this), typeLabel(getType()),
                      static_cast<const void*>(ancestor_),
                      static_cast<unsigned long>(items_.size()));
        ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "Node number of descendants : %u",
                      static_cast<unsigned>(getDescendantCount()));
    });
}

namespace {

// Indents stop growing here: a caller's depth (up to INT_MAX) must not cost
// memory or time, and a deeper line reads no better for more blanks.
constexpr int kMaxIndentLevel = 64;
constexpr char kBlanks[] =
    "                                                                "
    "                                                                ";
static_assert(sizeof(kBlanks) == 2 * kMaxIndentLevel + 1, "two blanks per level");

int boundedLevel(int level) {
    return level < 0 ? 0 : (level > kMaxIndentLevel ? kMaxIndentLevel : level);
}

}  // namespace

void GraphConfigNode::dumpNodeTree(const GraphConfigNode* node, int depth) {
    guardVoid(__func__, [&] {
        // Every line is an error-level message: no walk when nobody receives them.
        if (!node || !zo_log::wanted(ZO_LOG_ERROR)) {
            return;
        }
        struct Frame {
            const GraphConfigNode* node;
            const_iterator next;
            int depth;
        };
        // An explicit stack keeps deep trees off the call stack; a child node's
        // lines follow its own line at once, as in a recursive walk.
        std::vector<Frame> frames{{node, node->begin(), boundedLevel(depth)}};
        while (!frames.empty()) {
            Frame& frame = frames.back();
            if (frame.next == frame.node->end()) {
                frames.pop_back();
                continue;
            }
            const uint32_t key = frame.next->first;
            const GraphConfigItem* item = frame.next->second.get();
            const int level = frame.depth;
            ++frame.next;
            const char* const indent =
                kBlanks + 2 * static_cast<ptrdiff_t>(kMaxIndentLevel - level);
            const char* name = ItemUID::key2str(key);
            switch (item->getType()) {
                case kTypeInt: {
                    int value = 0;
                    item->getValue(value);
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s'%s'(%d) int [Attr] '%d'", indent, name,
                                  static_cast<int>(key), value);
                    break;
                }
                case kTypeString: {
                    std::string value;
                    item->getValue(value);
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s'%s' str [Attr] '%s'", indent, name,
                                  value.c_str());
                    break;
                }
                case kTypeNode: {
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "%s'%s'(%d) [Node]", indent, name,
                                  static_cast<int>(key));
                    const auto* child = static_cast<const GraphConfigNode*>(item);
                    frames.push_back({child, child->begin(), boundedLevel(level + 1)});
                    break;
                }
                default:
                    ZO_MODULE_LOG(ZO_LOG_ERROR, velt, "type?");
                    break;
            }
        }
    });
}

}  // namespace VELT
