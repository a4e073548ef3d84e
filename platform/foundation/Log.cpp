#include "platform/foundation/Log.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace Platform {

namespace {

std::recursive_mutex& sinkLock() {
    static std::recursive_mutex lock;
    return lock;
}

LogSink& currentSink() {
    static LogSink sink;
    return sink;
}

} // namespace

void log(std::string const& line) {
    std::lock_guard<std::recursive_mutex> guard(sinkLock());
    if (currentSink()) {
        currentSink()(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

LogSink setLogSink(LogSink sink) {
    std::lock_guard<std::recursive_mutex> guard(sinkLock());
    return std::exchange(currentSink(), std::move(sink));
}

struct ScopedLogCapture::Lines {
    std::mutex lock;
    std::string text;
};

ScopedLogCapture::ScopedLogCapture() : lines_(new Lines) {
    Lines* lines = lines_;
    previous_ = setLogSink([lines](std::string const& line) {
        std::lock_guard<std::mutex> guard(lines->lock);
        lines->text += line;
        lines->text += '\n';
    });
}

ScopedLogCapture::~ScopedLogCapture() {
    setLogSink(std::move(previous_));
    delete lines_;
}

std::string ScopedLogCapture::text() const {
    std::lock_guard<std::mutex> guard(lines_->lock);
    return lines_->text;
}

bool ScopedLogCapture::contains(std::string const& fragment) const {
    return text().find(fragment) != std::string::npos;
}

} // namespace Platform
