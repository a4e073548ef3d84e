#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/ParameterManager.h"
#include "model/core/Lumora_Core.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"

using Lumora::AutomationEventType;
using Platform::ParameterAutomationEventType;

Lumora_iOS_AudioUnit::~Lumora_iOS_AudioUnit() = default;

// ---- initialization

bool Lumora_iOS_AudioUnit::initWithAudioIO(Lumora::AudioIO_for_iOS_Plugin* audioIO,
                                           Platform::ComponentDescription const& description, Platform::Error* error) {
    audioIO_.store(audioIO, std::memory_order_release);
    return initWithComponentDescription(description, error);
}

bool Lumora_iOS_AudioUnit::initWithComponentDescription(Platform::ComponentDescription const& description,
                                                        std::uint32_t options, Platform::Error* error) {
    if (!Platform::AudioUnit::initWithComponentDescription(description, options, error))
        return false;
    unsigned const outputs = numOfOutputChannels();
    if (outputs == 0)
        return false;
    setMaximumFramesToRender(kMaximumFramesToRender);

    if (unsigned const inputs = numOfInputChannels(); inputs != 0) {
        inputBus_ = std::make_unique<Lumora::Apple::AudioUnit::BufferedInputBus>();
        if (!inputBus_->init(Platform::AudioFormat{kInitialSampleRate, inputs}))
            return false;
        inputBuses_ = std::make_shared<Platform::AudioUnitBusArray>(
            Platform::AudioUnitBusArray::Type::Input, std::vector{inputBus_->bus()});
    }
    outputBus_ = std::make_unique<Lumora::Apple::AudioUnit::BufferedOutputBus>();
    if (!outputBus_->init(Platform::AudioFormat{kInitialSampleRate, outputs}))
        return false;
    outputBuses_ = std::make_shared<Platform::AudioUnitBusArray>(Platform::AudioUnitBusArray::Type::Output,
                                                                 std::vector{outputBus_->bus()});

    setParameterTree(createParameterTree());

    hostMusicalContextInfo_ = std::make_shared<HostMusicalContextInfo>();
    hostMusicalContextInfo_->initWithBlock(musicalContextBlock());
    hostTransportStateInfo_ = std::make_shared<HostTransportStateInfo>();
    hostTransportStateInfo_->initWithBlock(transportStateBlock());
    return true;
}

Lumora::iAudioEngine* Lumora_iOS_AudioUnit::engine() const {
    Lumora::AudioIO_for_iOS_Plugin* io = audioIO();
    return io != nullptr ? io->audioEngine() : nullptr;
}

Lumora::Parameter* Lumora_iOS_AudioUnit::parameterAt(Platform::ParameterAddress address) const {
    Lumora::iAudioEngine* e = engine();
    if (e == nullptr || address > static_cast<Platform::ParameterAddress>(INT32_MAX))
        return nullptr;
    return e->parameterManager().getParameter(static_cast<int>(address));
}

unsigned Lumora_iOS_AudioUnit::numOfInputChannels() const {
    Lumora::iAudioEngine* e = engine();
    return e != nullptr ? e->numOfInputChannels() : 0;
}

unsigned Lumora_iOS_AudioUnit::numOfOutputChannels() const {
    Lumora::iAudioEngine* e = engine();
    return e != nullptr ? e->numOfOutputChannels() : 0;
}

void Lumora_iOS_AudioUnit::audioIOWillBeDestroyed() {
    std::lock_guard guard(renderGuard_);
    audioIO_.store(nullptr, std::memory_order_release);
}

// ---- render resources

bool Lumora_iOS_AudioUnit::allocateRenderResources(Platform::Error* error) {
    if (!Platform::AudioUnit::allocateRenderResources(error))
        return false;
    std::lock_guard guard(renderGuard_);
    if (!bufferedBus().allocateRenderResources(maximumFramesToRender())) {
        if (error != nullptr)
            *error = Platform::Error(Platform::CocoaErrorDomain, Platform::AudioUnitStatus::FormatNotSupported,
                                     "The bus buffer could not be made.");
        Platform::AudioUnit::deallocateRenderResources();
        return false;
    }
    hostMusicalContextInfo_->resetWithBlock(musicalContextBlock());
    hostTransportStateInfo_->resetWithBlock(transportStateBlock());
    hostSyncPollRequested_ = true;
    hostTime_.store(0, std::memory_order_relaxed);
    sampleRate_ = static_cast<float>(outputBus_->bus()->format().sampleRate);
    outputChannels_ = outputBus_->bus()->format().channelCount;
    scratch_.reserve(inputBus_ != nullptr ? inputBus_->channelCount() : 0, outputBus_->bus()->format().channelCount);
    programLoadPosted_.store(false, std::memory_order_relaxed);
    if (Lumora::iAudioEngine* e = engine())
        e->allocateRenderResources(sampleRate_);
    return true;
}

void Lumora_iOS_AudioUnit::deallocateRenderResources() {
    {
        std::lock_guard guard(renderGuard_);
        if (Lumora::iAudioEngine* e = engine())
            e->deallocateRenderResources();
        bufferedBus().deallocateRenderResources();
    }
    Platform::AudioUnit::deallocateRenderResources();
}

void Lumora_iOS_AudioUnit::reset() {
    Platform::AudioUnit::reset();
    std::lock_guard guard(renderGuard_);
    if (Lumora::iAudioEngine* e = engine())
        e->reset();
}

// ---- parameters

std::shared_ptr<Platform::ParameterTree> Lumora_iOS_AudioUnit::createParameterTree() {
    std::vector<std::shared_ptr<Platform::AudioUnitParameter>> children;
    if (Lumora::iAudioEngine* e = engine()) {
        // A copy, so that the host's tree does not depend on later changes of the engine's map.
        Lumora::ParameterManager::ParameterMap const parameters = e->parameterManager().getParameterMap();
        for (auto const& [id, parameter] : parameters) {
            if (parameter == nullptr || id < 0 || parameter->hasOption(Lumora::Parameter::Options::HiddenFromHost))
                continue;
            Platform::AudioUnitParameter::Description d;
            d.identifier = parameter->serializedName();
            d.name = parameter->displayName();
            d.address = static_cast<Platform::ParameterAddress>(id);
            d.minValue = parameter->normalizedMinValue();
            d.maxValue = parameter->normalizedMaxValue();
            d.unit = 0;
            d.flags = kHostParameterFlags;
            auto hostParameter = std::make_shared<Platform::AudioUnitParameter>(std::move(d));
            Platform::ParameterTree::setInitialValue(*hostParameter, parameter->normalizedValue());
            children.push_back(std::move(hostParameter));
        }
    }
    auto tree = Platform::ParameterTree::createTreeWithChildren(std::move(children));

    // The host wrote a value: token Host keeps it from being echoed back.
    tree->setImplementorValueObserver([this](Platform::AudioUnitParameter& hostParameter, float value) {
        if (Lumora::Parameter* p = parameterAt(hostParameter.address()))
            p->setNormalizedValue(value, Lumora::ParameterObserver::Token::Host, AutomationEventType::None);
    });
    tree->setImplementorValueProvider([this](Platform::AudioUnitParameter const& hostParameter) {
        Lumora::Parameter const* p = parameterAt(hostParameter.address());
        return p != nullptr ? p->normalizedValue() : 0.0f;
    });
    tree->setImplementorStringFromValueCallback(
        [this](Platform::AudioUnitParameter const& hostParameter, float const* valuePointer) -> std::string {
            float const value = valuePointer != nullptr ? *valuePointer : hostParameter.value();
            if (Lumora::Parameter const* p = parameterAt(hostParameter.address())) {
                // The host holds normalized values; the parameter's text is of its concrete value.
                return p->displayValue_from(Lumora::Parameter::normalizedToConcreteValue(p->type(), value));
            }
            char text[64];
            std::snprintf(text, sizeof text, "%.f", static_cast<double>(value));
            return text;
        });
    return tree;
}

void Lumora_iOS_AudioUnit::setParam(Lumora::Parameter const* param, AutomationEventType eventType) {
    auto const& tree = parameterTree();
    if (param == nullptr || tree == nullptr || param->id() < 0)
        return;
    Platform::AudioUnitParameter* hostParameter =
        tree->parameterWithAddress(static_cast<Platform::ParameterAddress>(param->id()));
    if (hostParameter == nullptr)
        return;
    float const v = param->normalizedValue();
    std::uint64_t const time = hostTime();
    switch (eventType) {
    case AutomationEventType::None:
        hostParameter->setValue(v);
        break;
    case AutomationEventType::BeginGesture:
        hostParameter->setValue(v, 0, time, ParameterAutomationEventType::Touch);
        break;
    case AutomationEventType::UpdateGesture:
        hostParameter->setValue(v, 0, time, ParameterAutomationEventType::Value);
        break;
    case AutomationEventType::EndGesture:
        hostParameter->setValue(v, 0, time, ParameterAutomationEventType::Release);
        hostParameter->setValue(v);
        break;
    case AutomationEventType::SetValue:
        hostParameter->setValue(v, 0, time, ParameterAutomationEventType::Touch);
        hostParameter->setValue(v, 0, time, ParameterAutomationEventType::Release);
        break;
    default:
        break;
    }
}

void Lumora_iOS_AudioUnit::echoParam(int parameterId, AutomationEventType eventType) {
    // A request for a new unit may be making the parameter blocks anew on a host thread: the
    // parameter found here must stay alive until the host was told.
    auto controller = auVwCtrlr();
    std::shared_ptr<Lumora_Core> core = controller ? controller->core() : nullptr;
    auto blocks = core ? core->lockParameterBlocks() : std::unique_lock<std::mutex>();
    Lumora::iAudioEngine* e = engine();
    if (e == nullptr)
        return;
    setParam(e->parameterManager().getParameter(parameterId), eventType);
}

std::vector<Platform::ParameterAddress> Lumora_iOS_AudioUnit::parametersForOverviewWithCount(std::int64_t count) {
    Lumora::iAudioEngine* e = engine();
    if (e == nullptr || e->parameterManager().importantParameters().empty())
        return Platform::AudioUnit::parametersForOverviewWithCount(count);
    std::vector<int> const& ids = e->parameterManager().importantParameters();
    std::size_t const n = std::min<std::size_t>(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)), ids.size());
    std::vector<Platform::ParameterAddress> addresses;
    for (std::size_t i = 0; i < n; ++i)
        addresses.push_back(static_cast<Platform::ParameterAddress>(ids[i]));
    return addresses;
}

// ---- editor views

std::vector<std::size_t> Lumora_iOS_AudioUnit::supportedViewConfigurations(
    std::vector<Platform::AudioUnitViewConfiguration> const& available) {
    if (auto controller = auVwCtrlr())
        return controller->supportedViewConfigurations(available);
    return Platform::AudioUnit::supportedViewConfigurations(available);
}

void Lumora_iOS_AudioUnit::selectViewConfiguration(Platform::AudioUnitViewConfiguration const& configuration) {
    if (auto controller = auVwCtrlr())
        controller->selectViewConfiguration(configuration);
}

// ---- state

Platform::Dictionary Lumora_iOS_AudioUnit::fullState() {
    Platform::Dictionary state;
    if (Lumora::iAudioEngine* e = engine())
        state[kStateKey] = Platform::Value(e->serialize(Lumora::SerializeWhat::FullState, Lumora::SerializeWhere::PluginHostState));
    for (auto& [key, value] : Platform::AudioUnit::fullState())
        state.emplace(key, std::move(value));
    return state;
}

void Lumora_iOS_AudioUnit::setFullState(Platform::Dictionary const* state) {
    if (state != nullptr) {
        if (auto found = state->find(kStateKey); found != state->end()) {
            restoreState(found->second);
            return;
        }
    }
    Platform::AudioUnit::setFullState(state);
}

bool Lumora_iOS_AudioUnit::restoreState(Platform::Value const& value) {
    std::string text;
    if (value.string() != nullptr) {
        text = *value.string();
    } else if (value.data() != nullptr) {
        text.assign(value.data()->begin(), value.data()->end());
    }
    bool restored = false;
    if (Lumora::iAudioEngine* e = engine(); e != nullptr && !text.empty()) {
        // The whole restore happens between two render calls, never under one.
        std::lock_guard guard(renderGuard_);
        try {
            restored = e->deserialize(Lumora::SerializeWhat::FullState, text, Lumora::SerializeWhere::PluginHostState);
        } catch (std::exception const&) {
            restored = false;
        }
    }
    if (!restored)
        Platform::log("ERROR: setFullState (LumoraData is not a readable state)");
    return restored;
}

// ---- presets

std::vector<Platform::AudioUnitPreset> Lumora_iOS_AudioUnit::factoryPresets() {
    std::vector<Platform::AudioUnitPreset> presets;
    Lumora::iAudioEngine* e = engine();
    Lumora::PresetDocFileManager* manager = e != nullptr ? e->soundPresetFileManager() : nullptr;
    if (manager == nullptr)
        return presets;
    std::vector<Lumora::PresetDocFileManager::Item> const items = manager->factoryPrisetListForAUHost();
    for (std::size_t i = 0; i < items.size(); ++i)
        presets.push_back(Platform::AudioUnitPreset{static_cast<std::int64_t>(i), items[i].stem()});
    return presets;
}

void Lumora_iOS_AudioUnit::setCurrentPreset(std::optional<Platform::AudioUnitPreset> const& preset) {
    Lumora::iAudioEngine* e = engine();
    Lumora::PresetDocFileManager* manager = e != nullptr ? e->soundPresetFileManager() : nullptr;
    if (!preset || manager == nullptr)
        return;
    std::vector<Lumora::PresetDocFileManager::Item> const items = manager->factoryPrisetListForAUHost();
    if (preset->number < 0 || preset->number >= static_cast<std::int64_t>(items.size()) ||
        items[static_cast<std::size_t>(preset->number)].stem() != preset->name) {
        return;
    }
    bool loaded = false;
    {
        std::lock_guard guard(renderGuard_);
        loaded = manager->loadFactoryPrisetForAUHost(static_cast<unsigned>(preset->number));
    }
    // A host that reads the preset back sees the one it chose.
    if (loaded)
        Platform::AudioUnit::setCurrentPreset(preset);
}

void Lumora_iOS_AudioUnit::loadReceivedProgram() {
    programLoadPosted_.store(false, std::memory_order_relaxed);
    Lumora::iAudioEngine* e = engine();
    if (e == nullptr)
        return;
    std::lock_guard guard(renderGuard_);
    e->loadrecievedProgram();
}

void Lumora_iOS_AudioUnit::postProgramLoad() {
    if (programLoadPosted_.exchange(true))
        return;
    std::weak_ptr<Platform::Object> unit = weak_from_this();
    Platform::RunLoop::main().post([unit] {
        if (auto strong = unit.lock())
            static_cast<Lumora_iOS_AudioUnit&>(*strong).loadReceivedProgram();
    });
}
