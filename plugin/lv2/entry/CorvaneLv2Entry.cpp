// The LV2 entry of Corvane.so: the one exported function, lv2_descriptor, and the C callbacks
// that hand each host call to its CorvaneLv2Instance.

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/worker/worker.h>

#include <cstring>
#include <exception>

#include "platform/foundation/Log.h"
#include "plugin/lv2/CorvaneLv2Instance.h"
#include "plugin/lv2/Lv2Uris.h"
#include "plugin/lv2/entry/CorvaneLv2Maker.h"

using Lumora::Lv2::CorvaneLv2Instance;

namespace {

CorvaneLv2Instance* self(LV2_Handle handle) {
    return static_cast<CorvaneLv2Instance*>(handle);
}

// A host's process must never see an exception of ours: a failed creation is no instance.
LV2_Handle instantiate(LV2_Descriptor const*, double rate, char const* bundlePath, LV2_Feature const* const* features) {
    try {
        Lumora::Lv2::CorvaneUnit made = Lumora::Lv2::makeCorvaneUnit(bundlePath != nullptr ? bundlePath : "");
        return CorvaneLv2Instance::create(std::move(made.viewController), std::move(made.unit), rate, features)
            .release();
    } catch (std::exception const& e) {
        Platform::log(std::string("ERROR: Corvane could not be made: ") + e.what());
        return nullptr;
    }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    self(handle)->connectPort(port, data);
}

void activate(LV2_Handle handle) {
    self(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames) {
    self(handle)->run(frames);
}

void deactivate(LV2_Handle handle) {
    self(handle)->deactivate();
}

void cleanup(LV2_Handle handle) {
    delete self(handle);
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      LV2_Feature const* const*) {
    try {
        return self(handle)->save(store, state);
    } catch (std::exception const&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         LV2_Feature const* const*) {
    try {
        return self(handle)->restore(retrieve, state);
    } catch (std::exception const&) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_Worker_Status work(LV2_Handle handle, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle, uint32_t,
                       void const*) {
    return self(handle)->work();
}

LV2_Worker_Status workResponse(LV2_Handle, uint32_t, void const*) {
    return LV2_WORKER_SUCCESS;
}

void const* extensionData(char const* uri) {
    static LV2_State_Interface const state{save, restore};
    static LV2_Worker_Interface const worker{work, workResponse, nullptr};
    if (std::strcmp(uri, LV2_STATE__interface) == 0)
        return &state;
    if (std::strcmp(uri, LV2_WORKER__interface) == 0)
        return &worker;
    return nullptr;
}

LV2_Descriptor const descriptor{Lumora::Lv2::kPluginUri, instantiate, connectPort, activate, run,
                                deactivate, cleanup, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT LV2_Descriptor const* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
