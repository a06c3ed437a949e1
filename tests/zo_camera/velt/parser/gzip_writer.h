// Writes gzip files without zlib (the tests link only the library): the data
// goes into uncompressed ("stored") deflate blocks, which every gzip reader
// accepts.
#ifndef ZOVESK_TESTS_PARSER_GZIP_WRITER_H
#define ZOVESK_TESTS_PARSER_GZIP_WRITER_H

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>

namespace zovesk_test {

inline uint32_t crc32Of(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

inline void putLe32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

inline std::string gzipStored(const std::string& data) {
    std::string out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(data.size() - offset, 65535);
        const bool last = offset + length == data.size();
        out.push_back(last ? '\x01' : '\x00');
        out.push_back(static_cast<char>(length & 0xFF));
        out.push_back(static_cast<char>(length >> 8));
        out.push_back(static_cast<char>(~length & 0xFF));
        out.push_back(static_cast<char>((~length >> 8) & 0xFF));
        out.append(data, offset, length);
        offset += length;
    } while (offset < data.size());
    putLe32(out, crc32Of(data));
    putLe32(out, static_cast<uint32_t>(data.size()));
    return out;
}

inline std::string writeGzipFile(const std::string& path, const std::string& data) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << gzipStored(data);
    return path;
}

}  // namespace zovesk_test

#endif
