#include "log_router.h"

#include <cstdio>
#include <sstream>

#include "cli_common.h"
#include "zo_log_common.h"

namespace velt_tool {

namespace {

uint32_t g_stderrMask = 0;
LogCapture* g_capture = nullptr;

void receive(uint32_t level, const char* tag, const char* message, void*) {
    if (level & g_stderrMask) {
        std::fprintf(stderr, "[%s] %s: %s\n", logLevelName(level), tag, message);
        std::fflush(stderr);
    }
    if (g_capture != nullptr && (level & g_capture->mask())) {
        g_capture->add(LogMessage{level, tag, message});
    }
}

struct LevelName {
    const char* name;
    uint32_t bits;
};

const LevelName kLevelNames[] = {
    {"info", ZO_LOG_INFO},   {"debug", ZO_LOG_DEBUG}, {"alloc", ZO_LOG_ALLOC},
    {"entry", ZO_LOG_ENTRY}, {"error", ZO_LOG_ERROR}, {"warning", ZO_LOG_WARNING},
    {"all", 0x3f},
};

}  // namespace

void installLogSink(uint32_t stderrMask) {
    g_stderrMask = stderrMask;
    // The library consults its own mask before producing some of its output.
    g_zo_log_common_level |= stderrMask;
    zo_log_common_set_sink(receive, nullptr);
}

uint32_t parseLogLevels(const std::string& text) {
    if (text.empty()) {
        return ZO_LOG_ERROR | ZO_LOG_WARNING | ZO_LOG_INFO;
    }
    if (text[0] >= '0' && text[0] <= '9') {
        long long value = parseNumber(text, "--verbose level");
        if (value <= 0 || value > 0x3f) {
            throw ToolError("--verbose level out of range (1 to 0x3f): " + text);
        }
        return static_cast<uint32_t>(value);
    }
    uint32_t mask = 0;
    std::stringstream names(text);
    std::string name;
    while (std::getline(names, name, ',')) {
        bool known = false;
        for (const auto& level : kLevelNames) {
            if (name == level.name) {
                mask |= level.bits;
                known = true;
            }
        }
        if (!known) {
            throw ToolError("unknown --verbose level '" + name +
                            "' (use info, debug, alloc, entry, error, warning, all or a mask)");
        }
    }
    return mask;
}

const char* logLevelName(uint32_t level) {
    for (const auto& entry : kLevelNames) {
        if (entry.bits == level) {
            return entry.name;
        }
    }
    return "log";
}

LogCapture::LogCapture(uint32_t mask) : mask_(mask), outer_(g_capture) {
    g_capture = this;
}

LogCapture::~LogCapture() {
    g_capture = outer_;
}

void LogCapture::add(const LogMessage& message) {
    messages_.push_back(message);
}

}  // namespace velt_tool
