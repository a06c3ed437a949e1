// The document reader's entry points: files chosen by type, documents in
// memory, and handing the tree to the caller.

#include "velt_parser.h"

#include <expat.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>

#include "velt_document_compiler.h"
#include "velt_graph_config_node.h"
#include "zo_camera/velt/parser/name_key_cache.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_camera/velt/tree/tree_builder.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace VELT {

using parser::kTag;

namespace {

constexpr const char* kBlockLabel = "parseVELTXmlFile";

// The error record only informs: without memory for its texts it keeps none,
// and the read goes on as it would without the record.
void assignOrClear(std::string& target, const char* text) noexcept {
    try {
        target.assign(text != nullptr ? text : "");
    } catch (const std::bad_alloc&) {
        target.clear();
    }
}

}  // namespace

VELTParser::VELTParser()
    : builder_(new (std::nothrow) TreeBuilder()),
      names_(new (std::nothrow) parser::NameKeyCache()) {}

VELTParser::~VELTParser() {
    dropTree();
}

void VELTParser::parseVELTXmlFile(const char* fileName, IGraphConfig** out) {
    if (out == nullptr || fileName == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "NULL pointer given!");
        if (out != nullptr) {
            *out = nullptr;
        }
        return;
    }
    dropTree();
    beginErrorRecord(fileName);

    const char* dot = std::strrchr(fileName, '.');
    const char* fileType = dot != nullptr ? dot + 1 : fileName;
    if (std::strcmp(fileType, DocumentCompiler::kFileType) == 0) {
        // Nothing to tokenise: neither expat nor a block is needed.
        parseCompiled(fileName);
        handOutTree(out);
        return;
    }

    // Without its name cache or tree builder (out of memory at construction)
    // the reader is as unusable as without an expat parser.
    XML_Parser parser = usable() ? XML_ParserCreate(nullptr) : nullptr;
    if (parser == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "@%s, line:%d, parser is NULL", __func__, __LINE__);
        return;
    }
    beginDocument(parser);

    void* block = zo_rulo_malloc(kBlockSize, kBlockLabel, __FILE__, __LINE__);
    if (block == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "@%s, line:%d, pBuf is NULL", __func__, __LINE__);
        activeParser_ = nullptr;
        XML_ParserFree(parser);
        return;
    }

    if (std::strcmp(fileType, "xml") == 0) {
        parseXML(parser, fileName, block);
    } else if (std::strcmp(fileType, "gz") == 0) {
        parseGz(parser, fileName, block);
    } else {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "file type (%s) not suppoted.", fileType);
    }
    handOutTree(out);

    activeParser_ = nullptr;
    XML_ParserFree(parser);
    zo_rulo_free(block, kBlockLabel);
}

void VELTParser::parseVELTXmlData(char* data, size_t length, IGraphConfig** out) {
    if (out == nullptr || (data == nullptr && length > 0)) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "NULL pointer given!");
        if (out != nullptr) {
            *out = nullptr;
        }
        return;
    }
    dropTree();
    beginErrorRecord(nullptr);

    XML_Parser parser = usable() ? XML_ParserCreate(nullptr) : nullptr;
    if (parser == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "@%s, line:%d, parser is NULL", __func__, __LINE__);
        return;
    }
    beginDocument(parser);

    // expat takes an int length, so a document beyond that goes in pieces.
    size_t offset = 0;
    do {
        const size_t piece = std::min(length - offset, static_cast<size_t>(INT_MAX));
        const bool final = offset + piece == length;
        if (!feed(parser, data + offset, piece, final, __func__, __LINE__)) {
            break;
        }
        offset += piece;
    } while (offset < length);
    handOutTree(out);

    activeParser_ = nullptr;
    XML_ParserFree(parser);
}

void VELTParser::beginDocument(XML_Parser parser) {
    openDepth_ = 0;
    skipDepth_ = 0;
    outOfMemory_ = false;
    nodelessDepths_.clear();
    // The dictionary may have been replaced since the last document.
    if (names_) {
        names_->clear();
    }
    activeParser_ = parser;
    if (parser == nullptr) {
        return;  // a compiled document, fed without expat
    }
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &VELTParser::startElement, &VELTParser::endElement);
}

bool VELTParser::feed(XML_Parser parser, const char* data, size_t length, bool final,
                      const char* caller, int line) {
    return parsed(parser,
                  XML_Parse(parser, data, static_cast<int>(length), final ? XML_TRUE : XML_FALSE),
                  caller, line);
}

bool VELTParser::parsed(XML_Parser parser, int status, const char* caller, int line) {
    if (status == XML_STATUS_ERROR) {
        const char* message = XML_ErrorString(XML_GetErrorCode(parser));
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "@%s, line:%d, XML_Parse error %s", caller, line,
                            message);
        lastError_.line = XML_GetCurrentLineNumber(parser);
        lastError_.column = XML_GetCurrentColumnNumber(parser) + 1;
        assignOrClear(lastError_.message, message);
        return false;
    }
    return true;
}

void VELTParser::beginErrorRecord(const char* fileName) {
    assignOrClear(lastError_.fileName, fileName);
    lastError_.line = 0;
    lastError_.column = 0;
    lastError_.message.clear();
}

void VELTParser::handOutTree(IGraphConfig** out) {
    if (outOfMemory_) {
        dropTree();
    }
    // After a syntax error some elements are still open; the caller gets the
    // whole tree, so that deleting what it received frees everything, with
    // the open elements (the root at least) completed.
    GraphConfigNode* root = builder_ ? builder_->finishTree() : nullptr;
    if (root == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Parser returned NULL!");
    }
    *out = root;
}

void VELTParser::dropTree() {
    if (builder_) {
        builder_->dropTree();
    }
}

bool VELTParser::usable() const {
    return names_ && builder_;
}

}  // namespace VELT
