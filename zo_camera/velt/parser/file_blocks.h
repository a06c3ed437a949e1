// The blocks a file is fed to expat through.
//
// expat scans a token that a block leaves unfinished again from its start on
// every later block, so a huge token (an attribute value of 100 MB) fed in
// fixed small blocks costs time quadratic in its length. While blocks end
// without an element starting or ending, each next block is twice as large as
// the one before (up to kMaxGrownBlockSize) and is read straight into expat's
// own buffer, which holds the unfinished token anyway; the first block in
// which elements start or end again brings back the caller's block. A
// document with elements in every block is fed exactly as in fixed blocks,
// and expat gives the same events however its input is cut.
#ifndef ZO_CAMERA_VELT_PARSER_FILE_BLOCKS_H
#define ZO_CAMERA_VELT_PARSER_FILE_BLOCKS_H

#include <expat.h>

#include <cstddef>
#include <cstdint>

namespace VELT {
namespace parser {

class FileBlocks {
  public:
    // Caps each block, not the token: 16 MiB keeps a 100 MB token to a few
    // dozen scans while bounding what one read adds to expat's buffer.
    static constexpr size_t kMaxGrownBlockSize = size_t{16} << 20;

    // callerBlock holds blockSize bytes; elementEvents counts the elements
    // started and ended so far and is read after every parse.
    FileBlocks(XML_Parser parser, char* callerBlock, size_t blockSize,
               const uint64_t& elementEvents);

    // Where to read the next block and (in size) how many bytes it takes.
    // Null when expat cannot make room for a grown block; its error code
    // then says so.
    char* next(size_t& size);
    // Parses the count bytes read into the block next() gave; final marks
    // the document's end.
    XML_Status parse(size_t count, bool final);

  private:
    XML_Parser parser_;
    char* callerBlock_;
    size_t callerSize_;
    const uint64_t& elementEvents_;
    uint64_t eventsBefore_;
    size_t size_;
};

}  // namespace parser
}  // namespace VELT

#endif
