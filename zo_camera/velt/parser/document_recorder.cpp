// Recording a document for compiling: the whole file is read (inflated for
// gzip) and parsed by expat in one go; this runs when an image is built, not
// when a camera opens.

#include "zo_camera/velt/parser/document_recorder.h"

#include <expat.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <unordered_map>

#include "velt_parser.h"
#include "velt_status.h"
#include "zo_camera/velt/parser/parser_names.h"
#include "zo_log_common.h"
#include "zo_rulo_memory.h"

namespace VELT {
namespace parser {

namespace {

constexpr size_t kReadSize = 1 << 16;

bool readPlain(const char* path, std::string& text) {
    FILE* file = zo_rulo_fopen(path, "rb");
    if (file == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Failed to open XML %s", path);
        return false;
    }
    char block[kReadSize];
    size_t count = 0;
    while ((count = zo_rulo_fread(block, 1, sizeof block, file)) > 0) {
        text.append(block, count);
    }
    const bool ok = zo_rulo_ferror(file) == 0;
    zo_rulo_fclose(file);
    if (!ok) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error reading from file");
    }
    return ok;
}

bool readGzip(const char* path, std::string& text) {
    gzFile file = gzopen(path, "rb");
    if (file == nullptr) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Failed to open GZ %s", path);
        return false;
    }
    char block[kReadSize];
    int count = 0;
    while ((count = gzread(file, block, sizeof block)) > 0) {
        text.append(block, static_cast<size_t>(count));
    }
    int error = Z_OK;
    gzerror(file, &error);
    gzclose(file);
    if (count < 0 || error != Z_OK) {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "Error reading from file");
        return false;
    }
    return true;
}

class Recorder {
  public:
    explicit Recorder(RecordedDocument& document) : document_(document) {}

    static void start(void* userData, const char* name, const char** attributes) {
        static_cast<Recorder*>(userData)->startElement(name, attributes);
    }
    static void end(void* userData, const char*) { --static_cast<Recorder*>(userData)->depth_; }

    bool tooDeep() const { return tooDeep_; }
    XML_Parser parser = nullptr;

  private:
    void startElement(const char* name, const char** attributes) {
        // The reader stops at this depth, so a compiled file never goes deeper.
        if (depth_ + 1 > VELTParser::kMaxNestingDepth) {
            tooDeep_ = true;
            XML_StopParser(parser, XML_FALSE);
            return;
        }
        RecordedDocument::Element element{lowerCaseString(name), depth_, 0};
        for (const char** attribute = attributes; attribute[0] != nullptr; attribute += 2) {
            document_.attributes.push_back(
                {lowerCaseString(attribute[0]), stringIndex(std::string(attribute[1]))});
            ++element.attributeCount;
        }
        document_.elements.push_back(element);
        ++depth_;
    }

    uint32_t lowerCaseString(const char* written) {
        assignLowerCase(written, lowered_);
        return stringIndex(lowered_);
    }

    uint32_t stringIndex(const std::string& text) {
        auto found = indices_.find(text);
        if (found != indices_.end()) {
            return found->second;
        }
        const auto index = static_cast<uint32_t>(document_.strings.size());
        document_.strings.push_back(text);
        indices_.emplace(text, index);
        return index;
    }

    RecordedDocument& document_;
    std::unordered_map<std::string, uint32_t> indices_;
    std::string lowered_;
    uint32_t depth_ = 0;
    bool tooDeep_ = false;
};

bool parse(const std::string& text, RecordedDocument& document) {
    Recorder recorder(document);
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser == nullptr) {
        throw std::bad_alloc();
    }
    recorder.parser = parser;
    XML_SetUserData(parser, &recorder);
    XML_SetElementHandler(parser, &Recorder::start, &Recorder::end);
    size_t offset = 0;
    bool ok = true;
    do {
        const size_t piece = std::min(text.size() - offset, static_cast<size_t>(INT_MAX));
        const bool final = offset + piece == text.size();
        if (XML_Parse(parser, text.data() + offset, static_cast<int>(piece), final) ==
            XML_STATUS_ERROR) {
            if (recorder.tooDeep()) {
                zo_log_common_debug(ZO_LOG_ERROR, kTag,
                                    "Elements nested deeper than %u levels, stopping",
                                    VELTParser::kMaxNestingDepth);
            } else {
                zo_log_common_debug(ZO_LOG_ERROR, kTag, "@%s, line:%d, XML_Parse error %s",
                                    __func__, __LINE__, XML_ErrorString(XML_GetErrorCode(parser)));
            }
            ok = false;
            break;
        }
        offset += piece;
    } while (offset < text.size());
    XML_ParserFree(parser);
    return ok;
}

}  // namespace

int recordDocument(const char* path, RecordedDocument& document) {
    const char* dot = std::strrchr(path, '.');
    const char* fileType = dot != nullptr ? dot + 1 : path;
    std::string text;
    if (std::strcmp(fileType, "xml") == 0) {
        if (!readPlain(path, text)) {
            return err_data;
        }
    } else if (std::strcmp(fileType, "gz") == 0) {
        if (!readGzip(path, text)) {
            return err_data;
        }
    } else {
        zo_log_common_debug(ZO_LOG_ERROR, kTag, "file type (%s) not suppoted.", fileType);
        return err_notsupported;
    }
    return parse(text, document) ? err_none : err_data;
}

}  // namespace parser
}  // namespace VELT
