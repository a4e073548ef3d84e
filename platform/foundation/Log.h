#pragma once

#include <functional>
#include <string>

namespace Platform {

// The system log. Every line goes to the installed sink; without one it goes to standard error.
// Tests install a sink to read what a component logged.
using LogSink = std::function<void(std::string const& line)>;

void log(std::string const& line);

// Installs a sink (an empty function restores standard error) and returns the one it replaces.
LogSink setLogSink(LogSink sink);

// Collects every logged line while it lives, then puts the previous sink back.
class ScopedLogCapture {
public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(ScopedLogCapture const&) = delete;
    ScopedLogCapture& operator=(ScopedLogCapture const&) = delete;

    std::string text() const;
    bool contains(std::string const& fragment) const;

private:
    struct Lines;
    Lines* lines_;
    LogSink previous_;
};

} // namespace Platform
