#include "platform/ui/x11/X11EventWatcher.h"

#include "platform/foundation/RunLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace Platform {

X11EventWatcher::X11EventWatcher(int connectionFd, RunLoop& loop, std::function<void()> handler)
    : fd_(connectionFd), stopFd_(eventfd(0, EFD_CLOEXEC)), loop_(loop), handler_(std::move(handler))
{
    thread_ = std::thread([this] { watch(); });
}

X11EventWatcher::~X11EventWatcher()
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        stopping_ = true;
    }
    armed_.notify_all();
    std::uint64_t one = 1;
    [[maybe_unused]] auto written = write(stopFd_, &one, sizeof one);
    thread_.join();
    close(stopFd_);
}

void X11EventWatcher::rearm()
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        waitingForRearm_ = false;
    }
    armed_.notify_all();
}

void X11EventWatcher::watch()
{
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0)
            continue;  // interrupted by a signal
        if (fds[1].revents)
            return;
        std::unique_lock<std::mutex> hold(lock_);
        if (stopping_)
            return;
        waitingForRearm_ = true;
        hold.unlock();
        loop_.post(handler_);
        hold.lock();
        armed_.wait(hold, [this] { return !waitingForRearm_ || stopping_; });
        if (stopping_)
            return;
        // A hung-up connection stays readable: the handler closes the window; don't spin on it.
        if (fds[0].revents & (POLLHUP | POLLERR))
            return;
    }
}

} // namespace Platform
