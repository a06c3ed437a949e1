#include "input_bytes.h"

#include <zlib.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "cli_common.h"

namespace velt_tool {

bool startsWithGzipMagic(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
           static_cast<unsigned char>(bytes[1]) == 0x8b;
}

std::string fileHead(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[2] = {0, 0};
    in.read(head, sizeof head);
    return std::string(head, static_cast<size_t>(in.gcount()));
}

std::string readStandardInput() {
    std::ostringstream bytes;
    bytes << std::cin.rdbuf();
    return bytes.str();
}

std::string gunzip(const std::string& compressed, const std::string& what) {
    z_stream stream{};
    // 16 + MAX_WBITS: a gzip header and trailer, not a raw zlib stream.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        throw ToolError("cannot decompress " + what + ": zlib could not start");
    }
    std::string plain;
    char block[1 << 16];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    int status = Z_OK;
    while (status != Z_STREAM_END || stream.avail_in > 0) {
        if (status == Z_STREAM_END) {
            // Another gzip member follows, as gzip readers accept.
            inflateReset(&stream);
        }
        stream.next_out = reinterpret_cast<Bytef*>(block);
        stream.avail_out = sizeof block;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            std::string reason = stream.msg != nullptr ? stream.msg : "truncated data";
            inflateEnd(&stream);
            throw ToolError("cannot decompress " + what + ": " + reason);
        }
        plain.append(block, sizeof block - stream.avail_out);
        if (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) {
            inflateEnd(&stream);
            throw ToolError("cannot decompress " + what + ": truncated gzip data");
        }
    }
    inflateEnd(&stream);
    return plain;
}

}  // namespace velt_tool
