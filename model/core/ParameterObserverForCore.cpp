#include "model/core/ParameterObserverForCore.h"

#include "engine/parameter/Parameter.h"
#include "model/core/Lumora_Core.h"

ParameterObserverForCore::ParameterObserverForCore(Lumora_Core& core) : core_(core) {}

ParameterObserverForCore::~ParameterObserverForCore() = default;

// Runs inside the parameter's lock and the manager's observer-set lock: record, nothing more.
void ParameterObserverForCore::didChangeParam(Lumora::Parameter const* param, Token token,
                                              Lumora::AutomationEventType) {
    if (param == nullptr)
        return;
    std::lock_guard lock(mutex_);
    auto [it, inserted] = pending_.try_emplace(param, Pending{param->id(), token});
    if (inserted)
        return;
    // A parameter made anew at a freed one's address (another audio I/O attached) is a new
    // change, not a mix with the old one's.
    if (it->second.id != param->id())
        it->second = Pending{param->id(), token};
    else if (it->second.token != token)
        it->second.token = Token::Mixed;
}

bool ParameterObserverForCore::hasPending() {
    std::lock_guard lock(mutex_);
    return !pending_.empty();
}

void ParameterObserverForCore::deliver(std::function<bool(Lumora::Parameter const*, std::int32_t)> const& isAlive) {
    delivering_.clear();
    {
        std::lock_guard lock(mutex_);
        delivering_.assign(pending_.begin(), pending_.end());
        pending_.clear();
    }
    {
        std::lock_guard blocks(blocksLock_);
        for (auto const& [param, pending] : delivering_) {
            if (isAlive(param, pending.id))
                core_.didChangeParam(param, pending.token);
        }
    }
    delivering_.clear();
}
