#include "lint/source_document.h"

#include <expat.h>
#include <zlib.h>

#include <climits>
#include <fstream>
#include <sstream>

#include "cli_common.h"

namespace velt_tool {
namespace lint {

std::string lowerCase(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::string SourceElement::lowerName() const {
    return lowerCase(name);
}

const SourceAttribute* SourceElement::attribute(const std::string& lowerName) const {
    for (const SourceAttribute& attribute : attributes) {
        if (lowerCase(attribute.name) == lowerName) {
            return &attribute;
        }
    }
    return nullptr;
}

std::string SourceElement::value(const std::string& lowerName) const {
    const SourceAttribute* found = attribute(lowerName);
    return found != nullptr ? found->value : "";
}

std::vector<size_t> SourceDocument::childrenNamed(size_t index,
                                                  const std::string& lowerName) const {
    std::vector<size_t> named;
    for (size_t child : elements_[index].children) {
        if (elements_[child].lowerName() == lowerName) {
            named.push_back(child);
        }
    }
    return named;
}

std::vector<size_t> SourceDocument::topLevelChildrenNamed(const std::string& lowerName) const {
    return elements_.empty() ? std::vector<size_t>{} : childrenNamed(0, lowerName);
}

// Collects the elements while expat reads the whole text in one piece, so
// that its byte indices are offsets into text.
struct SourceDocumentBuilder {
    SourceDocument& document;
    const std::string& text;
    XML_Parser parser;
    std::vector<size_t> open;

    // The position reached from position at offset from by reading up to to.
    SourcePosition advance(SourcePosition position, size_t from, size_t to) const {
        for (size_t i = from; i < to && i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
                ++position.line;
                position.column = 1;
            } else if (c != '\r' && (c & 0xC0) != 0x80) {
                ++position.column;  // UTF-8 continuation bytes belong to one character
            }
        }
        return position;
    }

    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

    // Finds the offsets of the attributes' names and opening quotes in the
    // start tag text[start, end), in the order the tag writes them.
    void placeAttributes(SourceElement& element, size_t start, size_t end) const {
        size_t i = start + 1;
        while (i < end && !isSpace(text[i]) && text[i] != '/' && text[i] != '>') {
            ++i;
        }
        SourcePosition at = element.position;
        size_t atOffset = start;
        for (SourceAttribute& attribute : element.attributes) {
            while (i < end && isSpace(text[i])) {
                ++i;
            }
            if (i >= end || text[i] == '/' || text[i] == '>') {
                return;  // from a DTD default: no place in the text
            }
            at = advance(at, atOffset, i);
            atOffset = i;
            attribute.position = at;
            while (i < end && !isSpace(text[i]) && text[i] != '=') {
                ++i;
            }
            while (i < end && (isSpace(text[i]) || text[i] == '=')) {
                ++i;
            }
            if (i + 1 >= end) {
                return;
            }
            at = advance(at, atOffset, i + 1);
            atOffset = i + 1;
            attribute.valueStart = at;
            const char quote = text[i];
            i = text.find(quote, i + 1);
            if (i == std::string::npos || i >= end) {
                return;
            }
            ++i;
        }
    }

    void start(const char* name, const char** attributes) {
        SourceElement element;
        element.name = name;
        element.position.line = XML_GetCurrentLineNumber(parser);
        element.position.column = XML_GetCurrentColumnNumber(parser) + 1;
        element.parent = open.empty() ? SourceElement::kNoParent : open.back();
        for (const char** attribute = attributes; attribute[0] != nullptr; attribute += 2) {
            element.attributes.push_back({attribute[0], attribute[1], element.position, {}});
        }
        const XML_Index offset = XML_GetCurrentByteIndex(parser);
        const int count = XML_GetCurrentByteCount(parser);
        if (offset >= 0 && count > 0) {
            const size_t begin = static_cast<size_t>(offset);
            placeAttributes(element, begin, begin + static_cast<size_t>(count));
        }
        const size_t index = document.elements_.size();
        if (!open.empty()) {
            document.elements_[open.back()].children.push_back(index);
        }
        document.elements_.push_back(std::move(element));
        open.push_back(index);
    }

    static void onStart(void* self, const char* name, const char** attributes) {
        static_cast<SourceDocumentBuilder*>(self)->start(name, attributes);
    }
    static void onEnd(void* self, const char*) {
        auto* builder = static_cast<SourceDocumentBuilder*>(self);
        if (!builder->open.empty()) {
            builder->open.pop_back();
        }
    }
};

SourceDocument::SourceDocument(const std::string& path, const std::string& text) : path_(path) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser == nullptr) {
        return;
    }
    SourceDocumentBuilder builder{*this, text, parser, {}};
    XML_SetUserData(parser, &builder);
    XML_SetElementHandler(parser, &SourceDocumentBuilder::onStart, &SourceDocumentBuilder::onEnd);
    // Documents the tool reads are far below expat's int limit; a larger one
    // is read as far as that limit allows and counts as incomplete.
    const int length = static_cast<int>(std::min(text.size(), static_cast<size_t>(INT_MAX)));
    complete_ = XML_Parse(parser, text.data(), length, XML_TRUE) == XML_STATUS_OK &&
                static_cast<size_t>(length) == text.size();
    XML_ParserFree(parser);
}

namespace {

std::string readPlain(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ToolError("'" + path + "' cannot be read");
    }
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string readGzip(const std::string& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) {
        throw ToolError("'" + path + "' cannot be read");
    }
    std::string text;
    char block[16384];
    int count = 0;
    while ((count = gzread(file, block, sizeof block)) > 0) {
        text.append(block, static_cast<size_t>(count));
    }
    int error = Z_OK;
    gzerror(file, &error);
    gzclose(file);
    if (count < 0 || error != Z_OK) {
        throw ToolError("'" + path + "' cannot be decompressed");
    }
    return text;
}

}  // namespace

SourceDocument readSourceDocument(const std::string& path) {
    const bool gzip = path.size() > 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
    return SourceDocument(path, gzip ? readGzip(path) : readPlain(path));
}

}  // namespace lint
}  // namespace velt_tool
