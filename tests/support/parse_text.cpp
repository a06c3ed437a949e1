#include "support/parse_text.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace zovesk_test {

TreePtr parseText(VELT::VELTParser& parser, const std::string& text) {
    std::vector<char> data(text.begin(), text.end());
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlData(data.data(), data.size(), &root);
    return TreePtr(root);
}

TreePtr parseText(const std::string& text) {
    VELT::VELTParser parser;
    return parseText(parser, text);
}

TreePtr parseFile(const std::string& path) {
    VELT::VELTParser parser;
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(path.c_str(), &root);
    return TreePtr(root);
}

std::string describeTreeDifference(const VELT::GraphConfigNode& a, const VELT::GraphConfigNode& b) {
    // Iterative, so deep trees are compared safely.
    std::vector<std::pair<const VELT::GraphConfigNode*, const VELT::GraphConfigNode*>> pending{
        {&a, &b}};
    while (!pending.empty()) {
        const auto [left, right] = pending.back();
        pending.pop_back();
        auto l = left->begin();
        auto r = right->begin();
        for (; l != left->end() && r != right->end(); ++l, ++r) {
            std::ostringstream where;
            where << "key " << l->first << " under '" << left->getName() << "'";
            if (l->first != r->first) {
                return where.str() + ": keys differ";
            }
            const VELT::GraphConfigItem& li = *l->second;
            const VELT::GraphConfigItem& ri = *r->second;
            if (li.getType() != ri.getType()) {
                return where.str() + ": kinds differ";
            }
            if (li.isNode()) {
                pending.emplace_back(static_cast<const VELT::GraphConfigNode*>(&li),
                                     static_cast<const VELT::GraphConfigNode*>(&ri));
                continue;
            }
            int ln = 0;
            int rn = 0;
            std::string ls;
            std::string rs;
            if (li.getValue(ln) != ri.getValue(rn) || ln != rn ||
                li.getValue(ls) != ri.getValue(rs) || ls != rs) {
                return where.str() + ": values differ";
            }
        }
        if (l != left->end() || r != right->end()) {
            return "item counts differ under '" + left->getName() + "'";
        }
    }
    return std::string();
}

std::string writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return path;
}

std::string makeTempDir() {
    char pattern[] = "/tmp/zovesk_test_XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir != nullptr ? std::string(dir) : std::string("/tmp");
}

}  // namespace zovesk_test
