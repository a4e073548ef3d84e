#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/audiounit/AudioUnit.h"

namespace Platform {

// A small host that drives an audio unit the way a music host does: it installs its musical
// context and transport blocks, sets formats and the maximum frame count, allocates render
// resources, renders calls with events on a running sample timeline, writes and reads parameters
// as a host, records the automation the unit sends it, and saves and restores the unit's state.
class TestHost {
public:
    struct MusicalContext {
        double tempo = 120.0;
        double timeSignatureNumerator = 4.0;
        std::int64_t timeSignatureDenominator = 4;
        double beatPosition = 0.0;
        std::int64_t sampleOffsetToNextBeat = 0;
        double measureDownbeatPosition = 0.0;
    };
    struct Transport {
        std::uint64_t flags = 0;
        double samplePosition = 0.0;
        double cycleStartBeatPosition = 0.0;
        double cycleEndBeatPosition = 0.0;
    };

    // One event of a render call, at a sample offset from the call's first frame (which may lie
    // outside the call).
    struct Event {
        std::int64_t offset = 0;
        RenderEventType type = RenderEventType::MIDI;
        ParameterAddress address = 0;
        float value = 0.0f;
        std::uint32_t rampFrames = 0;
        std::array<std::uint8_t, 3> data{};
        std::uint16_t length = 3;

        static Event midi(std::int64_t offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
        static Event parameter(std::int64_t offset, ParameterAddress address, float value);
        static Event ramp(std::int64_t offset, ParameterAddress address, float endValue, std::uint32_t frames);
    };

    // Installs the host's blocks on the unit (musical context and transport answer "none" until set).
    explicit TestHost(std::shared_ptr<AudioUnit> unit, bool providesHostBlocks = true);
    ~TestHost();
    TestHost(TestHost const&) = delete;
    TestHost& operator=(TestHost const&) = delete;

    AudioUnit& unit() { return *unit_; }

    // ---- the host's timeline
    void setMusicalContext(std::optional<MusicalContext> context);
    void setTransport(std::optional<Transport> transport);
    int musicalContextPolls() const { return contextPolls_; }
    int transportPolls() const { return transportPolls_; }
    std::int64_t sampleTime() const { return sampleTime_; }
    void setSampleTime(std::int64_t time) { sampleTime_ = time; }
    std::uint64_t hostTime() const { return hostTime_; }

    // ---- configuration and resources
    bool setOutputSampleRate(double sampleRate);
    bool allocate(Error* error = nullptr);
    void deallocate();

    // ---- rendering: one call of frames with events; the output lands in output(channel). With
    // unitBuffers the host passes buffers without data and reads wherever the unit points them.
    AudioStatus render(unsigned frames, std::vector<Event> const& events = {}, bool unitBuffers = false);
    std::vector<float> const& output(unsigned channel) const { return output_[channel]; }
    unsigned outputChannels() const { return static_cast<unsigned>(output_.size()); }
    // The input the host gives a unit with an input bus: every sample of channel c is c + 1.
    int inputPulls() const { return inputPulls_; }

    // ---- parameters as the host sees them
    AudioUnitParameter* parameter(ParameterAddress address) const;
    void setParameter(ParameterAddress address, float value);
    std::vector<ParameterAutomationEvent> automation() const;
    void clearAutomation();

    // ---- editor views: offers the host's configurations and answers those the unit takes;
    // selectViewConfiguration tells the unit the one the host shows, which selectedViewConfiguration
    // then answers.
    std::vector<std::size_t> supportedViewConfigurations(std::vector<AudioUnitViewConfiguration> const& available);
    void selectViewConfiguration(AudioUnitViewConfiguration const& configuration);
    std::optional<AudioUnitViewConfiguration> const& selectedViewConfiguration() const { return selectedView_; }

    // ---- state
    Dictionary saveState() { return unit_->fullState(); }
    void restoreState(Dictionary const* state) { unit_->setFullState(state); }

private:
    std::shared_ptr<AudioUnit> unit_;
    std::optional<MusicalContext> context_;
    std::optional<Transport> transport_;
    int contextPolls_ = 0;
    int transportPolls_ = 0;
    std::int64_t sampleTime_ = 0;
    std::uint64_t hostTime_ = 1000;
    RenderBlock renderBlock_;
    std::vector<std::vector<float>> output_;
    std::vector<std::vector<float>> input_;
    int inputPulls_ = 0;
    ParameterObserverToken observerToken_ = 0;
    ParameterObserverToken hostToken_ = 0;
    mutable std::mutex automationLock_;
    std::vector<ParameterAutomationEvent> automation_;
    std::optional<AudioUnitViewConfiguration> selectedView_;
};

} // namespace Platform
