// Collects the library's messages for the lifetime of the object, so tests can
// check the ones that are the only observable effect of a call.
#ifndef ZOVESK_TESTS_LOG_CAPTURE_H
#define ZOVESK_TESTS_LOG_CAPTURE_H

#include <cstdint>
#include <string>
#include <vector>

namespace zovesk_test {

struct LogRecord {
    uint32_t level;
    std::string tag;
    std::string message;
};

class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<LogRecord>& records() const { return records_; }
    // True when some message at this level contains the text.
    bool contains(uint32_t level, const std::string& text) const;
    // True when some message at any level contains the text.
    bool contains(const std::string& text) const;
    void clear() { records_.clear(); }

  private:
    static void receive(uint32_t level, const char* tag, const char* message, void* context);
    std::vector<LogRecord> records_;
};

}  // namespace zovesk_test

#endif
