#pragma once

// jalv and jalv.gtk3 as the real hosts of the LV2 tests: a child process with its output in a log,
// and the waiting such tests do on another process.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace Lv2Test {

// A host program as a child process. Its stdin is a pipe held open, so that jalv's console keeps
// running until the host is stopped; stdout and stderr go to the log. A sanitized plug-in in a
// host that is not needs the sanitizer's runtime loaded first: preload names it (and whatever
// must come with it), or is empty.
class JalvProcess {
public:
    JalvProcess(std::vector<std::string> const& arguments, std::string const& log, std::string const& preload = {});
    ~JalvProcess();
    JalvProcess(JalvProcess const&) = delete;
    JalvProcess& operator=(JalvProcess const&) = delete;

    bool started() const { return pid_ > 0; }
    bool running() const;
    // SIGTERM, and SIGKILL if it has not ended 10 s later.
    void stop();

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    // Set once running() has reaped the ended child, whose number may then belong to another.
    mutable bool reaped_ = false;
};

// Polls the condition until it holds or the limit passes; answers whether it held.
bool waitFor(std::function<bool()> const& condition, std::chrono::milliseconds limit,
             std::chrono::milliseconds interval = std::chrono::milliseconds(50));

std::string readFile(std::string const& path);

} // namespace Lv2Test
