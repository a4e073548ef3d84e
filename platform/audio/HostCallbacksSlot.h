#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "platform/audio/InterAppAudio.h"

namespace Platform::InterAppAudio {

// The host callbacks that a node's render thread asks, handed over without a lock: a writer
// publishes a record and the render thread reads the current one through an atomic pointer.
// A record, once published, is never changed and never freed before the slot, so a render call
// still reading the previous one is safe and nothing is freed on the render thread. A record equal
// to one published before is reused, so the kept records are bounded by the distinct hosts seen
// (none, the inter-app host, a sound server's transport), however often they alternate.
//
// Threads: publish from one thread at a time (the owner serializes it); current from any thread.
class HostCallbacksSlot {
public:
    HostCallbacksSlot();
    HostCallbacksSlot(const HostCallbacksSlot&) = delete;
    HostCallbacksSlot& operator=(const HostCallbacksSlot&) = delete;

    void publish(const HostCallbackInfo& host);
    const HostCallbackInfo& current() const { return *current_.load(std::memory_order_acquire); }
    // How many distinct records have been kept (tests).
    std::size_t keptCount() const { return kept_.size(); }

private:
    std::vector<std::unique_ptr<const HostCallbackInfo>> kept_;
    std::atomic<const HostCallbackInfo*> current_{nullptr};
};

} // namespace Platform::InterAppAudio
