#include "demo/OfflineAudioIO.h"

#include <cmath>

#include "engine/audio/iAudioEngine.h"

namespace Demo {

OfflineAudioIO::OfflineAudioIO(Lumora::iAudioEngine* engine, Platform::OutputUnit& unit, double tempo)
    : iAudioIO(engine), unit_(unit), tempo_(tempo), outputs_(Platform::OutputUnit::kChannelCount) {
    unit_.setRenderCallback([this](const Platform::OutputUnit::RenderCall& call) { return render(call); });
    didConstructSubClass(this);
}

OfflineAudioIO::~OfflineAudioIO() {
    unit_.stop();
    unit_.setRenderCallback({});
}

void OfflineAudioIO::didChangeParam(const Lumora::Parameter*, Token, Lumora::AutomationEventType) {
    parameterChanges_.fetch_add(1, std::memory_order_relaxed);
}

bool OfflineAudioIO::render(const Platform::OutputUnit::RenderCall& call) {
    // Segment boundaries: the block's start and every event time inside it.
    unsigned start = 0;
    for (const Platform::MidiEvent& e : call.midi) {
        const auto at = static_cast<unsigned>(e.sampleTime - call.sampleTime);
        if (at > start) {
            renderSegment(call, start, at - start);
            start = at;
        }
    }
    renderSegment(call, start, call.frames - start);
    return true;
}

void OfflineAudioIO::renderSegment(const Platform::OutputUnit::RenderCall& call, unsigned offset,
                                   unsigned frames) {
    midi_.clear();
    const uint64_t first = call.sampleTime + offset;
    for (const Platform::MidiEvent& e : call.midi) {
        if (e.sampleTime == first) {
            midi_.emplace_back(e.status, e.data1, e.data2);
        }
    }
    for (unsigned c = 0; c < outputs_.size(); ++c) {
        outputs_[c] = call.channels[c] + offset;
    }
    const double rate = unit_.sampleRate();
    Lumora::SyncInformation sync;
    sync.state = static_cast<int32_t>(Lumora::SyncMethod::Internal);
    sync.tempo = tempo_.load(std::memory_order_relaxed);
    sync.beatPosition = static_cast<double>(first) / rate * sync.tempo / 60.0;
    sync.barStartPosition = sync.beatPosition - std::fmod(sync.beatPosition, 4.0);
    renderBlock({}, outputs_, frames, static_cast<float>(rate), midi_, sync);
}

} // namespace Demo
