#include "plugin/audioio/RenderThreadEchoes.h"

#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"

namespace Lumora {

namespace {

// Initial-exec, as the plug-in's render calls look it up: see ScopedFlushDenormals.
[[gnu::tls_model("initial-exec")]] thread_local bool insideRenderCall = false;

std::size_t firstSlot(int id) {
    // Fibonacci hashing spreads neighbouring ids over the table.
    return (static_cast<std::size_t>(static_cast<unsigned>(id)) * 2654435769u) % RenderThreadEchoes::kSlots;
}

} // namespace

bool RenderThreadEchoes::mark(int id, AutomationEventType event) {
    int const key = id + 1;
    std::size_t slot = firstSlot(id);
    for (std::size_t probe = 0; probe < kSlots; ++probe, slot = (slot + 1) % kSlots) {
        int held = ids_[slot].load(std::memory_order_acquire);
        if (held == 0 && ids_[slot].compare_exchange_strong(held, key, std::memory_order_acq_rel))
            held = key;
        if (held == key) {
            // Taken after the id: the main thread may read the older event for this change, but
            // it reads the parameter's value when it tells the host, so the host never gets a
            // stale value.
            events_[slot].store(static_cast<int>(event), std::memory_order_release);
            return true;
        }
    }
    return false;
}

void RenderThreadEchoes::setAudioUnit(std::weak_ptr<Lumora_iOS_AudioUnit> unit) {
    std::lock_guard lock(unitLock_);
    unit_ = std::move(unit);
}

void RenderThreadEchoes::tellAudioUnit() {
    std::shared_ptr<Lumora_iOS_AudioUnit> unit;
    {
        std::lock_guard lock(unitLock_);
        unit = unit_.lock();
    }
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        if (ids_[slot].load(std::memory_order_acquire) == 0)
            continue;
        auto const event = static_cast<AutomationEventType>(events_[slot].load(std::memory_order_acquire));
        int const key = ids_[slot].exchange(0, std::memory_order_acq_rel);
        if (key != 0 && unit != nullptr)
            unit->echoParam(key - 1, event);
    }
}

bool RenderThreadEchoes::isRenderThread() { return insideRenderCall; }

RenderThreadEchoes::RenderScope::RenderScope() : inside_(&insideRenderCall), outer_(!*inside_) { *inside_ = true; }

} // namespace Lumora
