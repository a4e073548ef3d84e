#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace Platform {

class RunLoop;

// Wakes a run loop when the X connection has input: a thread waits in poll() on the
// connection's descriptor (it makes no Xlib call) and posts the handler to the loop. It then
// waits for rearm(), which the handler calls once Xlib's queue is empty, so a burst of events
// costs one post and an idle window costs no CPU at all.
class X11EventWatcher {
public:
    X11EventWatcher(int connectionFd, RunLoop& loop, std::function<void()> handler);
    ~X11EventWatcher();
    X11EventWatcher(X11EventWatcher const&) = delete;
    X11EventWatcher& operator=(X11EventWatcher const&) = delete;

    void rearm();

private:
    void watch();

    int const fd_;
    int stopFd_;
    RunLoop& loop_;
    std::function<void()> handler_;
    std::mutex lock_;
    std::condition_variable armed_;
    bool waitingForRearm_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace Platform
