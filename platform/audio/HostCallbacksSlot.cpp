#include "platform/audio/HostCallbacksSlot.h"

#include <algorithm>

namespace Platform::InterAppAudio {

namespace {

bool same(const HostCallbackInfo& a, const HostCallbackInfo& b) {
    return a.hostUserData == b.hostUserData && a.beatAndTempoProc == b.beatAndTempoProc &&
           a.musicalTimeLocationProc == b.musicalTimeLocationProc && a.transportStateProc == b.transportStateProc &&
           a.transportStateProc2 == b.transportStateProc2;
}

} // namespace

HostCallbacksSlot::HostCallbacksSlot() { publish({}); }

void HostCallbacksSlot::publish(const HostCallbackInfo& host) {
    auto it = std::find_if(kept_.begin(), kept_.end(), [&](const auto& kept) { return same(*kept, host); });
    if (it == kept_.end()) {
        kept_.push_back(std::make_unique<const HostCallbackInfo>(host));
        it = std::prev(kept_.end());
    }
    // Release: a reader that sees the pointer sees the record's fields written.
    current_.store(it->get(), std::memory_order_release);
}

} // namespace Platform::InterAppAudio
