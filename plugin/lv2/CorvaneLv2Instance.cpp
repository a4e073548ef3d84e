#include "plugin/lv2/CorvaneLv2Instance.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/ParameterManager.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/lv2/Lv2EditorWindow.h"
#include "plugin/lv2/Lv2Uris.h"
#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"

namespace Lumora::Lv2 {

namespace {

// MIDI and parameter events one cycle can carry besides a change of every port.
constexpr std::size_t kEventsPerCycle = 1024;

// The model's main queue runs about 30 times a second, as its timer expects.
constexpr double kMainQueueRate = 30.0;

void const* featureData(LV2_Feature const* const* features, char const* uri) {
    for (LV2_Feature const* const* f = features; f != nullptr && *f != nullptr; ++f) {
        if (std::strcmp((*f)->URI, uri) == 0)
            return (*f)->data;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<CorvaneLv2Instance> CorvaneLv2Instance::create(
    std::shared_ptr<Lumora_Plugin_AUViewController> viewController, std::shared_ptr<Lumora_iOS_AudioUnit> unit,
    double sampleRate, LV2_Feature const* const* features) {
    if (viewController == nullptr || unit == nullptr)
        return nullptr;
    std::unique_ptr<CorvaneLv2Instance> instance(new CorvaneLv2Instance());
    instance->viewController_ = std::move(viewController);
    instance->unit_ = std::move(unit);
    if (!instance->init(sampleRate, features))
        return nullptr;
    return instance;
}

CorvaneLv2Instance::~CorvaneLv2Instance() {
    if (active_)
        deactivate();
    if (unit_ != nullptr && unit_->parameterTree() != nullptr && observerToken_ != 0)
        unit_->parameterTree()->removeParameterObserver(observerToken_);
}

bool CorvaneLv2Instance::init(double sampleRate, LV2_Feature const* const* features) {
    map_ = static_cast<LV2_URID_Map const*>(featureData(features, LV2_URID__map));
    if (map_ == nullptr) {
        Platform::log("ERROR: Corvane needs the host's urid:map");
        return false;
    }
    worker_ = static_cast<LV2_Worker_Schedule const*>(featureData(features, LV2_WORKER__schedule));
    urids_.mapAll(*map_);
    lv2_atom_forge_init(&forge_, const_cast<LV2_URID_Map*>(map_));

    if (!std::isfinite(sampleRate) || sampleRate <= 0.0)
        return false;
    sampleRate_ = sampleRate;
    // The first whole number of frames not below the rate's share.
    framesPerPump_ = static_cast<std::uint32_t>(std::clamp(std::ceil(sampleRate / kMainQueueRate), 1.0, 1.0e9));
    auto busses = unit_->outputBusses();
    if (busses == nullptr || busses->count() == 0)
        return false;
    Platform::AudioFormat format = (*busses)[0]->format();
    format.sampleRate = sampleRate;
    if (format.channelCount != 2 || !(*busses)[0]->setFormat(format))
        return false;
    maxChunk_ = unit_->maximumFramesToRender();

    // The tree and the ports describe the same parameters, taken from the engine once.
    Lumora::iAudioEngine* engine = unit_->audioIO() != nullptr ? unit_->audioIO()->audioEngine() : nullptr;
    if (engine == nullptr)
        return false;
    ports_ = describeParameterPorts(engine->parameterManager());
    portScan_ = Lv2PortScan(ports_.size());
    echoes_ = std::make_unique<Lv2PortEchoes>(ports_.size());
    events_.reserve(kEventsPerCycle + ports_.size());

    // The timeline lives in this instance; the unit's holders ask it when it says it changed.
    unit_->setHostSyncPolledOnRequest(true);
    unit_->setMusicalContextBlock([this](double* tempo, double* numerator, std::int64_t* denominator,
                                         double* beat, std::int64_t* toNextBeat, double* downbeat) {
        return timeline_.musicalContext(tempo, numerator, denominator, beat, toNextBeat, downbeat, sampleRate_);
    });
    unit_->setTransportStateBlock([this](std::uint64_t* flags, double* position, double* start, double* end) {
        return timeline_.transportState(flags, position, start, end);
    });
    observeEngineChanges();
    return true;
}

// The unit echoes engine-side changes (never the host's own) to the tree's observers on the
// main queue; for LV2 they mean the session's state changed, and the port's value is on its way
// to the host through the editor.
void CorvaneLv2Instance::observeEngineChanges() {
    auto const& tree = unit_->parameterTree();
    if (tree == nullptr)
        return;
    observerToken_ = tree->tokenByAddingParameterAutomationObserver([this](Platform::ParameterAutomationEvent const& e) {
        stateChanged_.store(true, std::memory_order_relaxed);
        std::uint8_t change = Lv2PortEchoes::Value;
        if (e.eventType == Platform::ParameterAutomationEventType::Touch)
            change |= Lv2PortEchoes::Grab;
        else if (e.eventType == Platform::ParameterAutomationEventType::Release)
            change |= Lv2PortEchoes::Release;
        echoes_->mark(slotOf(static_cast<int>(e.address)), change);
    });
}

std::size_t CorvaneLv2Instance::slotOf(int parameterId) const {
    auto const found = std::lower_bound(ports_.begin(), ports_.end(), parameterId,
                                        [](Lv2ParameterPort const& port, int id) { return port.parameterId < id; });
    if (found == ports_.end() || found->parameterId != parameterId)
        return ports_.size();
    return static_cast<std::size_t>(found - ports_.begin());
}

void CorvaneLv2Instance::connectPort(std::uint32_t port, void* data) {
    switch (port) {
    case kPortEventsIn:
        eventsIn_ = static_cast<LV2_Atom_Sequence const*>(data);
        return;
    case kPortOutLeft:
        outLeft_ = static_cast<float*>(data);
        return;
    case kPortOutRight:
        outRight_ = static_cast<float*>(data);
        return;
    case kPortNotify:
        notify_ = static_cast<LV2_Atom_Sequence*>(data);
        return;
    default:
        if (port >= kFirstParameterPort)
            portScan_.connect(port - kFirstParameterPort, static_cast<float const*>(data));
        return;
    }
}

void CorvaneLv2Instance::activate() {
    if (active_)
        return;
    Platform::Error error;
    if (!unit_->allocateRenderResources(&error)) {
        Platform::log("ERROR: Corvane could not allocate render resources: " + error.localizedDescription());
        return;
    }
    maxChunk_ = unit_->maximumFramesToRender();
    output_ = Platform::AudioBufferList{};
    output_.numberBuffers = 2;
    output_.buffers[0].numberChannels = 1;
    output_.buffers[1].numberChannels = 1;
    sampleTime_ = 0;
    framesSincePump_ = 0;
    timeline_.clear();
    active_ = true;
}

void CorvaneLv2Instance::deactivate() {
    if (!active_)
        return;
    active_ = false;
    unit_->deallocateRenderResources();
}

// ---- state

LV2_State_Status CorvaneLv2Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    runMainQueue();
    Platform::Dictionary const state = unit_->fullState();
    auto found = state.find(Lumora_iOS_AudioUnit::kStateKey);
    if (found == state.end() || found->second.string() == nullptr)
        return LV2_STATE_ERR_UNKNOWN;
    std::string const& text = *found->second.string();
    return store(handle, urids_.lumoraData, text.c_str(), text.size() + 1, urids_.atomString,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

namespace {

// A string property as the host kept it: up to its terminating zero, never beyond its size.
bool retrieveString(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, LV2_URID key,
                    LV2_URID stringType, std::string& out) {
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    auto const* data = static_cast<char const*>(retrieve(handle, key, &size, &type, &flags));
    if (data == nullptr || type != stringType)
        return false;
    out.assign(data, ::strnlen(data, size));
    return true;
}

} // namespace

LV2_State_Status CorvaneLv2Instance::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    runMainQueue();
    bool restoredSomething = false;
    std::string text;
    if (retrieveString(retrieve, handle, urids_.lumoraData, urids_.atomString, text)) {
        Platform::Dictionary state;
        state.emplace(Lumora_iOS_AudioUnit::kStateKey, Platform::Value(std::move(text)));
        // The unit reads what it can of a damaged or later state and reports the rest.
        unit_->setFullState(&state);
        restoredSomething = true;
    }

    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    auto const* number = static_cast<std::int32_t const*>(retrieve(handle, urids_.factoryPreset, &size, &type, &flags));
    std::string name;
    if (number != nullptr && type == urids_.atomInt && size >= sizeof(std::int32_t) &&
        retrieveString(retrieve, handle, urids_.factoryPresetName, urids_.atomString, name)) {
        // The host's list may be the program list now ("use program list as factory presets"):
        // the preset is the one of that name, wherever it stands.
        Platform::AudioUnitPreset preset{*number, name};
        for (Platform::AudioUnitPreset const& offered : unit_->factoryPresets()) {
            if (offered.name == name) {
                preset = offered;
                break;
            }
        }
        unit_->setCurrentPreset(preset);
        restoredSomething = true;
    }
    // The restored sound is the truth: port values the host still holds are taken as they are
    // and applied only when the host moves them.
    adoptPorts_.store(true, std::memory_order_release);
    runMainQueue();
    return restoredSomething ? LV2_STATE_SUCCESS : LV2_STATE_ERR_NO_PROPERTY;
}

// ---- the model's main queue

namespace {

std::mutex& mainQueueGuard() {
    static std::mutex oneAtATime;
    return oneAtATime;
}

} // namespace

void CorvaneLv2Instance::runMainQueue() {
    std::lock_guard<std::mutex> guard(mainQueueGuard());
    Platform::RunLoop::main().runOnce();
}

void CorvaneLv2Instance::withMainQueue(std::function<void()> const& work) {
    std::lock_guard<std::mutex> guard(mainQueueGuard());
    work();
    Platform::RunLoop::main().runOnce();
}

std::unique_ptr<Lv2Editor> CorvaneLv2Instance::openEditor(unsigned long parent, Lv2HostPorts& hostPorts,
                                                          std::string& error) {
    return Lv2EditorWindow::open(
        viewController_, parent, [this, &hostPorts] { tellHostPorts(hostPorts); }, error);
}

void CorvaneLv2Instance::tellHostPorts(Lv2HostPorts& hostPorts) {
    Lumora::iAudioEngine* engine = unit_->audioIO() != nullptr ? unit_->audioIO()->audioEngine() : nullptr;
    if (engine == nullptr)
        return;
    echoes_->take([&](std::size_t slot, std::uint8_t change) {
        Lv2ParameterPort const& port = ports_[slot];
        if ((change & Lv2PortEchoes::Grab) != 0)
            hostPorts.touch(port.index, true);
        // The value as it is now: later changes of a burst supersede the ones marked first.
        if (Lumora::Parameter const* parameter = engine->parameterManager().getParameter(port.parameterId)) {
            float const value = port.portFromNormalized(parameter->normalizedValue());
            // A change that came back to the value the host is being given needs no second write.
            if (!echoes_->lastWritten(slot, value)) {
                echoes_->noteWritten(slot, value);
                hostPorts.write(port.index, value);
            }
        }
        if ((change & Lv2PortEchoes::Release) != 0)
            hostPorts.touch(port.index, false);
    });
}

LV2_Worker_Status CorvaneLv2Instance::work() {
    runMainQueue();
    pumpScheduled_.store(false, std::memory_order_release);
    return LV2_WORKER_SUCCESS;
}

} // namespace Lumora::Lv2
