// The XML reader on a document in memory, whatever its top-level element
// (descriptor, settings or anything else), and a walk over the tree it gives.
#ifndef ZOVESK_FUZZ_READER_TARGET_H
#define ZOVESK_FUZZ_READER_TARGET_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "fuzz/targets/key_snapshot.h"
#include "fuzz/targets/tree_walk.h"
#include "velt_graph_config.h"
#include "velt_parser.h"

namespace zovesk_fuzz {

// The tree read from text, or null.
inline std::unique_ptr<VELT::IGraphConfig> readDocument(VELT::VELTParser& parser,
                                                        std::string text) {
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlData(text.data(), text.size(), &root);
    return std::unique_ptr<VELT::IGraphConfig>(root);
}

inline void runReaderTarget(const uint8_t* data, size_t size) {
    KeySnapshot keys;
    const std::string text(reinterpret_cast<const char*>(data), size);
    VELT::VELTParser parser;
    if (auto root = readDocument(parser, text)) {
        walkTree(root.get());
    }
    // The same reader again: state left by the first document (its version,
    // a broken-off element) must not disturb the second.
    if (auto again = readDocument(parser, text)) {
        walkTree(again.get());
    }
}

}  // namespace zovesk_fuzz

#endif
