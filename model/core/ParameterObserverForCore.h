#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory_resource>
#include <mutex>
#include <utility>
#include <vector>

#include "engine/parameter/ParameterObserver.h"

class Lumora_Core;

// Carries parameter changes from whatever thread makes them (render thread, host threads, the
// main thread) to the model's timer tick: each changed parameter waits once, with the token of
// whoever changed it, or Mixed (0) when several originators changed it within one tick, so that
// every screen, the ones that made part of the change included, shows the result.
//
// The changing thread only inserts into a map under an uncontended lock; the map's nodes come
// from a pool that keeps them once the tick has emptied it, so steady changes allocate nothing.
// The tick takes the pending changes out under the lock and delivers them without it: the
// render thread never waits for a screen, a screen that changes parameters while it is told
// cannot deadlock against a thread that holds a parameter's lock, and its own changes wait for
// the next tick instead of being lost with the emptied map.
class ParameterObserverForCore : public Lumora::ParameterObserver {
public:
    // The model owns the bridge, so the reference outlives every call.
    explicit ParameterObserverForCore(Lumora_Core& core);
    ~ParameterObserverForCore() override;

    void didChangeParam(Lumora::Parameter const* param, Token token, Lumora::AutomationEventType event) override;

    // Main thread, once per tick: sends every pending change to the model, in the order of the
    // parameters' addresses. isAlive(param, id) answers whether the parameter recorded under
    // that id still exists; one that was destroyed while its change waited is dropped unread.
    void deliver(std::function<bool(Lumora::Parameter const*, std::int32_t)> const& isAlive);

    bool hasPending();

    // Held by a delivery from its check that a parameter still exists to the last screen told
    // of it, and by whoever destroys or makes anew parameters of the engine off the main thread,
    // so that a parameter found alive cannot be freed while the screens still read it.
    std::unique_lock<std::mutex> lockParameterBlocks() { return std::unique_lock(blocksLock_); }

private:
    struct Pending {
        std::int32_t id;
        Token token;
    };

    Lumora_Core& core_;
    std::recursive_mutex mutex_;
    // Never taken by a changing thread, so the render thread does not wait for a delivery.
    std::mutex blocksLock_;
    std::pmr::unsynchronized_pool_resource pool_;
    std::pmr::map<Lumora::Parameter const*, Pending> pending_{&pool_};
    // Main thread only: the changes of the tick being delivered.
    std::vector<std::pair<Lumora::Parameter const*, Pending>> delivering_;
};
