// Routes the library's messages: to standard error for --verbose, and into
// captures that a subcommand reports itself (check shows each entry's own
// messages).
#ifndef VELT_TOOL_LOG_ROUTER_H
#define VELT_TOOL_LOG_ROUTER_H

#include <cstdint>
#include <string>
#include <vector>

namespace velt_tool {

struct LogMessage {
    uint32_t level;
    std::string tag;
    std::string text;
};

// Installs the tool's sink in the library; messages whose level bit is in
// mask are printed to standard error. 0 prints nothing.
void installLogSink(uint32_t stderrMask);

// The level mask of a --verbose value: a number (decimal or 0x hex) or a
// comma-separated list of names (info, debug, alloc, entry, error, warning,
// all). An empty text means error,warning,info. ToolError for anything else.
uint32_t parseLogLevels(const std::string& text);

// "error", "warning", ... for one level bit.
const char* logLevelName(uint32_t level);

// Collects, while alive, the messages whose level is in mask. Captures nest:
// the innermost one receives the messages.
class LogCapture {
  public:
    explicit LogCapture(uint32_t mask);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<LogMessage>& messages() const { return messages_; }
    void add(const LogMessage& message);
    uint32_t mask() const { return mask_; }

  private:
    uint32_t mask_;
    std::vector<LogMessage> messages_;
    LogCapture* outer_;
};

}  // namespace velt_tool

#endif
