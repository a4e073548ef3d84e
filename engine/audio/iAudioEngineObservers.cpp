#include "engine/audio/iAudioEngineObservers.h"

namespace Lumora {

namespace {

// Writes into a kept slot when there is one; only a queue fuller than ever before grows.
template <typename Queue, typename Entry>
void append(Queue& queue, std::size_t& pending, const Entry& entry) {
    if (pending < queue.size()) {
        queue[pending] = entry;
    } else {
        queue.push_back(entry);
    }
    ++pending;
}

// The spare is the caller's alone until the swap: it is sized (grown, or trimmed after an
// unusual burst) before the lock is taken, so the render thread never waits on that.
template <typename Queue>
std::size_t swapIn(std::recursive_mutex& mutex, Queue& queue, std::size_t& pending, Queue& spare,
                   std::size_t keptSlots) {
    spare.resize(keptSlots);
    std::lock_guard lock(mutex);
    queue.swap(spare);
    const std::size_t taken = pending;
    pending = 0;
    return taken;
}

} // namespace

iAudioEngine::MidiObserver::MidiObserver() : queue(kKeptSlots) {}

void iAudioEngine::MidiObserver::push(const std::deque<MidiMessage>& midi) {
    std::lock_guard lock(mutex);
    for (const MidiMessage& m : midi) {
        append(queue, pending, m);
    }
}

void iAudioEngine::MidiObserver::dispatch() {
    std::lock_guard lock(mutex);
    for (std::size_t i = 0; i < pending; ++i) {
        handleMidiMessage(queue[i]);
    }
    pending = 0;
}

void iAudioEngine::MidiObserver::dispatchWithoutLock(Queue& spare) {
    const std::size_t taken = swapIn(mutex, queue, pending, spare, kKeptSlots);
    for (std::size_t i = 0; i < taken; ++i) {
        handleMidiMessage(spare[i]);
    }
}

iAudioEngine::NotificationObserver::NotificationObserver() : queue(kKeptSlots) {}

void iAudioEngine::NotificationObserver::push(int id, int param) {
    std::lock_guard lock(mutex);
    append(queue, pending, std::pair<int32_t, int32_t>(id, param));
}

void iAudioEngine::NotificationObserver::dispatch() {
    std::lock_guard lock(mutex);
    for (std::size_t i = 0; i < pending; ++i) {
        handleNotification(queue[i].first, queue[i].second);
    }
    pending = 0;
}

void iAudioEngine::NotificationObserver::dispatchWithoutLock(Queue& spare) {
    const std::size_t taken = swapIn(mutex, queue, pending, spare, kKeptSlots);
    for (std::size_t i = 0; i < taken; ++i) {
        handleNotification(spare[i].first, spare[i].second);
    }
}

} // namespace Lumora
