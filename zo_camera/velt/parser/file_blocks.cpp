// Block sizes for feeding files to expat (see file_blocks.h).

#include "zo_camera/velt/parser/file_blocks.h"

#include <algorithm>

namespace VELT {
namespace parser {

FileBlocks::FileBlocks(XML_Parser parser, char* callerBlock, size_t blockSize,
                       const uint64_t& elementEvents)
    : parser_(parser),
      callerBlock_(callerBlock),
      callerSize_(blockSize),
      elementEvents_(elementEvents),
      eventsBefore_(elementEvents),
      size_(blockSize) {}

char* FileBlocks::next(size_t& size) {
    size = size_;
    if (size_ == callerSize_) {
        return callerBlock_;
    }
    return static_cast<char*>(XML_GetBuffer(parser_, static_cast<int>(size_)));
}

XML_Status FileBlocks::parse(size_t count, bool final) {
    const XML_Status status =
        size_ == callerSize_
            ? XML_Parse(parser_, callerBlock_, static_cast<int>(count),
                        final ? XML_TRUE : XML_FALSE)
            : XML_ParseBuffer(parser_, static_cast<int>(count), final ? XML_TRUE : XML_FALSE);
    if (elementEvents_ == eventsBefore_) {
        size_ = std::max(callerSize_, std::min(size_ * 2, kMaxGrownBlockSize));
    } else {
        size_ = callerSize_;
    }
    eventsBefore_ = elementEvents_;
    return status;
}

}  // namespace parser
}  // namespace VELT
