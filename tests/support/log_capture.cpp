#include "support/log_capture.h"

#include "zo_log_common.h"

namespace zovesk_test {

LogCapture::LogCapture() {
    zo_log_common_set_sink(&LogCapture::receive, this);
}

LogCapture::~LogCapture() {
    zo_log_common_set_sink(nullptr, nullptr);
}

void LogCapture::receive(uint32_t level, const char* tag, const char* message, void* context) {
    static_cast<LogCapture*>(context)->records_.push_back({level, tag, message});
}

bool LogCapture::contains(uint32_t level, const std::string& text) const {
    for (const LogRecord& record : records_) {
        if (record.level == level && record.message.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

bool LogCapture::contains(const std::string& text) const {
    for (const LogRecord& record : records_) {
        if (record.message.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace zovesk_test
