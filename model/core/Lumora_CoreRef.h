#pragma once

#include <memory>

class Lumora_Core;

// How a screen refers to its model. The model owns its main screen and the main screen presents
// the others, so a screen holding the model would keep the pair alive for good: a plug-in
// instance's engine and timer would outlive the host closing it. A screen therefore watches the
// model weakly and finds nothing once the model is gone.
//
// Main thread only: a pointer obtained here is valid while the caller runs, since the model is
// released on the main thread.
class Lumora_CoreRef {
public:
    Lumora_CoreRef() = default;
    Lumora_CoreRef(std::shared_ptr<Lumora_Core> const& core) : core_(core) {}
    Lumora_CoreRef& operator=(std::shared_ptr<Lumora_Core> const& core)
    {
        core_ = core;
        return *this;
    }

    Lumora_Core* get() const { return core_.lock().get(); }
    Lumora_Core* operator->() const { return get(); }
    Lumora_Core& operator*() const { return *get(); }
    explicit operator bool() const { return !core_.expired(); }
    // An owning reference for what must hand the model on; empty once the model is gone.
    std::shared_ptr<Lumora_Core> lock() const { return core_.lock(); }
    void reset() { core_.reset(); }

private:
    std::weak_ptr<Lumora_Core> core_;
};
