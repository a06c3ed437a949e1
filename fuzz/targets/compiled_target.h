// The compiled-document reader. An input that starts like a compiled file is
// read as one, its checksum made right first so that the fuzzer gets past it
// to the tables; any other input is taken as XML, compiled, and both forms
// are read from the same dictionary: they must give trees of the same size.
#ifndef ZOVESK_FUZZ_COMPILED_TARGET_H
#define ZOVESK_FUZZ_COMPILED_TARGET_H

#include <unistd.h>
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/targets/key_snapshot.h"
#include "fuzz/targets/tree_walk.h"
#include "velt_document_compiler.h"
#include "velt_graph_config.h"
#include "velt_parser.h"
#include "zo_camera/velt/parser/compiled_format.h"

namespace zovesk_fuzz {

// A file of this process for the input (the reader takes files only), in
// memory where the system has a folder for that.
inline std::string compiledInputPath(const char* type) {
    static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return folder + "/zovesk_compiled_fuzz_" + std::to_string(getpid()) + "." + type;
}

inline void writeBytes(const std::string& path, const void* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Nodes of the tree read from path (0 for none).
inline size_t readAndWalk(VELT::VELTParser& parser, const std::string& path) {
    VELT::IGraphConfig* root = nullptr;
    parser.parseVELTXmlFile(path.c_str(), &root);
    std::unique_ptr<VELT::IGraphConfig> tree(root != nullptr ? root->getRoot() : nullptr);
    return tree ? walkTree(tree.get()) : 0;
}

inline void fixChecksum(std::vector<uint8_t>& image) {
    using namespace VELT::parser;
    uLong crc = crc32(0L, image.data(), kCompiledCrcOffset);
    crc = crc32(crc, image.data() + kCompiledHeaderSize,
                static_cast<uInt>(image.size() - kCompiledHeaderSize));
    for (int byte = 0; byte < 4; ++byte) {
        image[kCompiledCrcOffset + byte] = static_cast<uint8_t>(crc >> (8 * byte));
    }
}

// Removes the input files when the input is done.
struct InputFiles {
    std::string compiled = compiledInputPath("veltbin");
    std::string xml = compiledInputPath("xml");
    ~InputFiles() {
        std::remove(compiled.c_str());
        std::remove(xml.c_str());
    }
};

inline void runCompiledTarget(const uint8_t* data, size_t size) {
    using namespace VELT::parser;
    KeySnapshot keys;
    const InputFiles files;
    const std::string& compiled = files.compiled;
    if (size >= kCompiledHeaderSize &&
        std::memcmp(data, kCompiledMagic, sizeof kCompiledMagic) == 0) {
        std::vector<uint8_t> image(data, data + size);
        fixChecksum(image);
        writeBytes(compiled, image.data(), image.size());
        VELT::VELTParser parser;
        readAndWalk(parser, compiled);
        // Again with the same reader, which keeps the first one's version.
        readAndWalk(parser, compiled);
        return;
    }
    const std::string& xml = files.xml;
    writeBytes(xml, data, size);
    std::vector<uint8_t> image;
    if (VELT::DocumentCompiler::compile(xml.c_str(), image) != 0) {
        return;
    }
    writeBytes(compiled, image.data(), image.size());
    size_t fromXml = 0;
    {
        KeySnapshot sameStart;
        VELT::VELTParser parser;
        fromXml = readAndWalk(parser, xml);
    }
    VELT::VELTParser parser;
    if (readAndWalk(parser, compiled) != fromXml) {
        __builtin_trap();
    }
}

}  // namespace zovesk_fuzz

#endif
