#pragma once

#include <array>
#include <atomic>
#include <deque>
#include <vector>

#include "engine/audio/iAudioIO.h"
#include "platform/audio/OutputUnit.h"

namespace Demo {

// The demo's audio I/O: owns the output unit's render callback and turns every pulled block
// into engine render cycles. A block is split at each MIDI event's sample time, so that every
// event reaches the engine at the start of the segment it belongs to and the sound does not
// depend on how large the driver's blocks are. The engine follows its internal clock.
class OfflineAudioIO : public Lumora::iAudioIO {
public:
    OfflineAudioIO(Lumora::iAudioEngine* engine, Platform::OutputUnit& unit, double tempo);
    ~OfflineAudioIO() override;

    void didChangeParam(const Lumora::Parameter* param, Token token,
                        Lumora::AutomationEventType event) override;
    bool isPlugin() const override { return false; }
    Lumora::SyncMethod syncMethod() const override { return Lumora::SyncMethod::Internal; }
    void setSyncMethod(Lumora::SyncMethod) override {}
    bool canProposeBpm() const override { return true; }
    void proposeBpm(double bpm) override { tempo_.store(bpm, std::memory_order_relaxed); }

    // Parameter changes seen (any thread).
    unsigned parameterChanges() const { return parameterChanges_.load(std::memory_order_relaxed); }

private:
    bool render(const Platform::OutputUnit::RenderCall& call);
    void renderSegment(const Platform::OutputUnit::RenderCall& call, unsigned offset, unsigned frames);

    Platform::OutputUnit& unit_;
    std::atomic<double> tempo_;
    std::atomic<unsigned> parameterChanges_{0};
    std::vector<float*> outputs_;
    std::deque<Lumora::MidiMessage> midi_;
};

} // namespace Demo
