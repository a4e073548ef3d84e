#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "engine/parameter/ParameterObserver.h"
#include "platform/audiounit/AudioUnit.h"
#include "plugin/audiounit/BufferedInputBus.h"
#include "plugin/audiounit/BufferedOutputBus.h"
#include "plugin/audiounit/HostMusicalContextInfo.h"
#include "plugin/audiounit/HostTransportStateInfo.h"
#include "plugin/audiounit/PluginRenderBlock.h"
#include "plugin/audiounit/RenderGuard.h"

namespace Lumora {
class AudioIO_for_iOS_Plugin;
class Parameter;
class iAudioEngine;
} // namespace Lumora

class Lumora_Plugin_AUViewController;

// The plug-in's audio unit: the host's view of the engine. It publishes the engine's
// host-visible parameters (address = id, normalized range), one output bus (and an input bus
// when the engine has inputs), the engine's full state under "LumoraData", the factory presets
// and the important parameters, renders through the audio I/O, and echoes engine-side changes
// to the host as automation.
//
// Threads: the render block runs on the host's render thread. A state restore, a preset load
// and the loading of a received program change run on other threads and hold the render guard
// meanwhile; the render block only tries it and renders silence while it is taken, so it never
// waits and never renders half a restore.
class Lumora_iOS_AudioUnit : public Platform::AudioUnit {
public:
    static constexpr unsigned kMaximumFramesToRender = 1024;
    static constexpr double kInitialSampleRate = 44100.0;
    // The largest engine cycle: longer stretches of a call run in several cycles, so a host's
    // larger maximum never outgrows buffers the engine sized for its default block.
    static constexpr unsigned kMaximumFramesPerEngineCycle = 1024;
    static constexpr char const* kStateKey = "LumoraData";
    static constexpr std::uint32_t kHostParameterFlags = 0xD0000000;

    Lumora_iOS_AudioUnit() = default;
    ~Lumora_iOS_AudioUnit() override;

    using Platform::AudioUnit::initWithComponentDescription;
    // Stores the audio I/O, then initializes through the base (options 0).
    bool initWithAudioIO(Lumora::AudioIO_for_iOS_Plugin* audioIO, Platform::ComponentDescription const& description,
                         Platform::Error* error);
    bool initWithComponentDescription(Platform::ComponentDescription const& description, std::uint32_t options,
                                      Platform::Error* error) override;

    std::shared_ptr<Platform::AudioUnitBusArray> inputBusses() override { return inputBuses_; }
    std::shared_ptr<Platform::AudioUnitBusArray> outputBusses() override { return outputBuses_; }

    bool allocateRenderResources(Platform::Error* error) override;
    void deallocateRenderResources() override;
    void reset() override;
    Platform::RenderBlock internalRenderBlock() override;
    // The internal render block's body, for a host in the same process that holds the unit (the
    // LV2 instance): no std::function call per cycle. Render thread.
    Platform::AudioStatus render(Platform::RenderActionFlags& flags, Platform::AudioTimeStamp const& timestamp,
                                 std::uint32_t frameCount, Platform::AudioBufferList& output,
                                 Platform::RenderEvent const* events, Platform::RenderPullInputBlock const* pull);
    // The usual cycle of such a host: render with a list of the two channels, no events and no
    // input pull, without the list. Render thread.
    Platform::AudioStatus renderChannels(std::uint32_t frameCount, float* left, float* right);

    // For a host that knows when its musical context or transport may answer differently (an LV2
    // host's time:Position events, a rolling timeline): render calls then ask the blocks only
    // after requestHostSyncPoll, keeping the last answers otherwise. Set before render resources
    // are allocated; other hosts are asked on every call.
    void setHostSyncPolledOnRequest(bool onRequest) { hostSyncOnRequest_.store(onRequest, std::memory_order_relaxed); }
    // Render thread, before a render call: the next call that renders asks the blocks.
    void requestHostSyncPoll() { hostSyncPollRequested_ = true; }

    std::shared_ptr<Platform::ParameterTree> createParameterTree();
    // Main thread: tells the host of an engine-side change of the parameter.
    void setParam(Lumora::Parameter const* param, Lumora::AutomationEventType eventType);
    // Main thread: setParam for the parameter with that id, if the engine still has it.
    void echoParam(int parameterId, Lumora::AutomationEventType eventType);

    Platform::Dictionary fullState() override;
    Platform::Dictionary fullStateForDocument() override { return fullState(); }
    void setFullState(Platform::Dictionary const* state) override;
    void setFullStateForDocument(Platform::Dictionary const* state) override { setFullState(state); }
    // The restore of a "LumoraData" value; false (and a log line) when it is not a readable state.
    bool restoreState(Platform::Value const& value);

    std::vector<Platform::AudioUnitPreset> factoryPresets() override;
    void setCurrentPreset(std::optional<Platform::AudioUnitPreset> const& preset) override;

    std::vector<Platform::ParameterAddress> parametersForOverviewWithCount(std::int64_t count) override;

    // Main thread: the view controller answers which of the host's editor sizes it takes and is
    // told the chosen one. Once the view controller is gone every size is taken and a choice is
    // dropped, as there is no editor left to show.
    std::vector<std::size_t> supportedViewConfigurations(
        std::vector<Platform::AudioUnitViewConfiguration> const& available) override;
    void selectViewConfiguration(Platform::AudioUnitViewConfiguration const& configuration) override;

    // Main thread: loads a program change that the render thread recorded.
    void loadReceivedProgram();

    unsigned numOfInputChannels() const;
    unsigned numOfOutputChannels() const;

    std::shared_ptr<HostMusicalContextInfo> const& hostMusicalContextInfo() const { return hostMusicalContextInfo_; }
    std::shared_ptr<HostTransportStateInfo> const& hostTransportStateInfo() const { return hostTransportStateInfo_; }
    double bpmForInternalSync() const { return bpmForInternalSync_.load(std::memory_order_relaxed); }
    void setBpmForInternalSync(double bpm) { bpmForInternalSync_.store(bpm, std::memory_order_relaxed); }
    std::uint64_t hostTime() const { return hostTime_.load(std::memory_order_relaxed); }
    std::shared_ptr<Lumora_Plugin_AUViewController> auVwCtrlr() const { return auVwCtrlr_.lock(); }
    void setAuVwCtrlr(std::shared_ptr<Lumora_Plugin_AUViewController> const& controller) { auVwCtrlr_ = controller; }

    Lumora::AudioIO_for_iOS_Plugin* audioIO() const { return audioIO_.load(std::memory_order_acquire); }
    // Called by the audio I/O as it goes: waits for a running render call, then renders silence.
    void audioIOWillBeDestroyed();

private:
    Lumora::iAudioEngine* engine() const;
    // The engine's parameter at a host address; null without an engine or such a parameter.
    Lumora::Parameter* parameterAt(Platform::ParameterAddress address) const;
    // The bus whose buffer the render calls use: the input bus when there is one.
    Lumora::Apple::AudioUnit::BufferedAudioBus& bufferedBus() const {
        if (inputBus_ != nullptr)
            return *inputBus_;
        return *outputBus_;
    }
    Platform::AudioStatus prepareBuffers(Platform::RenderActionFlags& flags, Platform::AudioTimeStamp const& timestamp,
                                         std::uint32_t frameCount, Platform::AudioBufferList& output,
                                         Platform::RenderPullInputBlock const* pull,
                                         Platform::AudioBufferList const*& input);
    void renderSegment(Lumora::AudioIO_for_iOS_Plugin* io, Platform::AudioBufferList const* input,
                       Platform::AudioBufferList const& output, unsigned frames, unsigned offset,
                       Lumora::SyncInformation const& callSync);
    void renderEvents(Lumora::AudioIO_for_iOS_Plugin* io, Platform::AudioBufferList const* input,
                      Platform::AudioBufferList const& output, std::uint32_t frameCount, double sampleTime,
                      Platform::RenderEvent const* events, Lumora::SyncInformation const& sync);
    void handleEvent(Platform::RenderEvent const& event);
    void postProgramLoad();
    bool pollHostSync(bool entered, std::uint64_t hostTime);
    void updateCallSync(bool polled);
    Platform::AudioStatus renderChannelsAsList(std::uint32_t frameCount, float* left, float* right);

    std::atomic<Lumora::AudioIO_for_iOS_Plugin*> audioIO_{nullptr};
    std::unique_ptr<Lumora::Apple::AudioUnit::BufferedInputBus> inputBus_;
    std::unique_ptr<Lumora::Apple::AudioUnit::BufferedOutputBus> outputBus_;
    std::atomic<std::uint64_t> hostTime_{0};
    std::shared_ptr<Platform::AudioUnitBusArray> inputBuses_;
    std::shared_ptr<Platform::AudioUnitBusArray> outputBuses_;
    std::shared_ptr<HostMusicalContextInfo> hostMusicalContextInfo_;
    std::shared_ptr<HostTransportStateInfo> hostTransportStateInfo_;
    std::atomic<double> bpmForInternalSync_{0.0};
    // Not kept strongly: the view controller keeps the audio I/O, which keeps this unit.
    std::weak_ptr<Lumora_Plugin_AUViewController> auVwCtrlr_;

    // Render-thread state, prepared by allocateRenderResources.
    float sampleRate_ = static_cast<float>(kInitialSampleRate);
    std::uint32_t outputChannels_ = 0; // the output bus's, fixed while render resources exist
    std::int64_t callEnd_ = 0;
    std::int64_t callStart_ = 0;
    Lumora::PluginRender::Scratch scratch_;
    Lumora::Apple::AudioUnit::RenderGuard renderGuard_;
    // The sync information of the calls, worked out again only after a poll or a new internal tempo.
    Lumora::SyncInformation callSync_;
    double callSyncInternalBpm_ = 0.0;
    std::atomic<bool> programLoadPosted_{false};
    std::atomic<bool> hostSyncOnRequest_{false};
    bool hostSyncPollRequested_ = true; // render thread, and allocation under the render guard
};
