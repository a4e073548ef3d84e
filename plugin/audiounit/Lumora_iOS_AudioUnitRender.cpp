// The render block of the plug-in's audio unit: one host render call polls the host's musical
// context and transport once (or, for a host that says when they change, only then), then runs
// the engine once per stretch between render events.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/ParameterManager.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"

using Platform::AudioStatus;
namespace Status = Platform::AudioUnitStatus;

Platform::RenderBlock Lumora_iOS_AudioUnit::internalRenderBlock() {
    return [this](Platform::RenderActionFlags& flags, Platform::AudioTimeStamp const& timestamp, std::uint32_t frameCount,
                  std::int64_t, Platform::AudioBufferList& output, Platform::RenderEvent const* events,
                  Platform::RenderPullInputBlock const* pull) {
        return render(flags, timestamp, frameCount, output, events, pull);
    };
}

namespace {

void clearFrames(Platform::AudioBufferList const& list, std::uint32_t frames) {
    for (std::uint32_t i = 0; i < list.numberBuffers; ++i) {
        if (list.buffers[i].data != nullptr)
            std::memset(list.buffers[i].data, 0, frames * sizeof(float));
    }
}

[[gnu::noinline]] void clearMidiMessages(std::deque<Lumora::MidiMessage>& midi) {
    midi.clear();
}

// Almost every stretch has no MIDI: an empty deque is left as it is rather than cleared, which
// walks its nodes.
void clearMidi(std::deque<Lumora::MidiMessage>& midi) {
    if (!midi.empty())
        clearMidiMessages(midi);
}

} // namespace

AudioStatus Lumora_iOS_AudioUnit::prepareBuffers(Platform::RenderActionFlags& flags,
                                                 Platform::AudioTimeStamp const& timestamp, std::uint32_t frameCount,
                                                 Platform::AudioBufferList& output,
                                                 Platform::RenderPullInputBlock const* pull,
                                                 Platform::AudioBufferList const*& input) {
    input = nullptr;
    if (inputBus_ != nullptr) {
        if (AudioStatus status = inputBus_->pullInput(flags, timestamp, frameCount, 0, pull); status != Status::NoError)
            return status;
        Platform::AudioBufferList const* pulled = inputBus_->mutableAudioBufferList();
        // A buffer without data renders in place over the input of the same channel.
        for (std::uint32_t i = 0; i < output.numberBuffers; ++i) {
            if (output.buffers[i].data != nullptr)
                continue;
            if (output.numberBuffers != pulled->numberBuffers)
                return Status::ParameterError;
            output.buffers[i].data = pulled->buffers[i].data;
        }
        input = pulled;
        return Status::NoError;
    }
    outputBus_->prepareOutputBufferList(output, frameCount, false);
    return Status::NoError;
}

AudioStatus Lumora_iOS_AudioUnit::render(Platform::RenderActionFlags& flags, Platform::AudioTimeStamp const& timestamp,
                                         std::uint32_t frameCount, Platform::AudioBufferList& output,
                                         Platform::RenderEvent const* events,
                                         Platform::RenderPullInputBlock const* pull) {
    Lumora::Apple::AudioUnit::BufferedAudioBus const& buffered = bufferedBus();
    // Refused before the buffer exists and beyond its size, so that no call writes past it.
    if (!buffered.hasBuffer())
        return Status::Uninitialized;
    if (frameCount > buffered.maxFrames())
        return Status::TooManyFramesToProcess;
    if (output.numberBuffers != outputChannels_)
        return Status::ParameterError;

    Lumora::RenderThreadEchoes::RenderScope const renderScope;
    Lumora::Apple::AudioUnit::RenderGuard::Attempt const guard(renderGuard_);
    Lumora::AudioIO_for_iOS_Plugin* io = audioIO();
    bool const canRender = guard.entered() && io != nullptr && io->audioEngine() != nullptr;
    bool const polled = pollHostSync(guard.entered(), timestamp.hostTime);

    Platform::AudioBufferList const* input = nullptr;
    if (inputBus_ == nullptr) {
        outputBus_->prepareOutputBufferList(output, frameCount, false);
    } else if (AudioStatus status = prepareBuffers(flags, timestamp, frameCount, output, pull, input);
               status != Status::NoError) {
        return status;
    }
    if (frameCount == 0)
        return Status::NoError;
    if (!canRender) {
        // A restore or a detaching audio I/O holds the engine: this call is silence.
        clearFrames(output, frameCount);
        return Status::NoError;
    }

    updateCallSync(polled);
    if (events != nullptr)
        renderEvents(io, input, output, frameCount, timestamp.sampleTime, events, callSync_);
    else if (frameCount <= kMaximumFramesPerEngineCycle)
        // The usual call: one engine cycle at the call's own sync information, without MIDI.
        Lumora::PluginRender::renderBlock(io, input, output, frameCount, 0, sampleRate_, scratch_.midi, callSync_,
                                          scratch_);
    else
        renderSegment(io, input, output, frameCount, 0, callSync_);
    if (io->audioEngine()->isProgramChangeReceived())
        postProgramLoad();
    return Status::NoError;
}

// The host's time, and its musical context and transport asked when due (every call, or for a
// host that says when they change, only then). Answers whether they were asked.
bool Lumora_iOS_AudioUnit::pollHostSync(bool entered, std::uint64_t hostTime) {
    hostTime_.store(hostTime, std::memory_order_relaxed);
    bool const pollHostSync = !hostSyncOnRequest_.load(std::memory_order_relaxed) || hostSyncPollRequested_;
    if (!entered || !pollHostSync)
        return false;
    hostSyncPollRequested_ = false;
    hostMusicalContextInfo_->poll();
    hostTransportStateInfo_->poll();
    return true;
}

void Lumora_iOS_AudioUnit::updateCallSync(bool polled) {
    double const bpm = bpmForInternalSync();
    if (polled || bpm != callSyncInternalBpm_) {
        callSync_ = Lumora::PluginRender::makeSyncInformation(*hostMusicalContextInfo_, *hostTransportStateInfo_, bpm);
        callSyncInternalBpm_ = bpm;
    }
}

// The same call as render with a two-buffer list over left and right, no events and no input
// pull, without building the list: a host's usual cycle renders one engine cycle straight into
// its ports. Anything else (an input bus, another channel count, a longer call) takes the list.
AudioStatus Lumora_iOS_AudioUnit::renderChannels(std::uint32_t frameCount, float* left, float* right) {
    Lumora::Apple::AudioUnit::BufferedAudioBus const& buffered = bufferedBus();
    if (inputBus_ != nullptr || outputChannels_ != 2 || left == nullptr || right == nullptr ||
        frameCount > kMaximumFramesPerEngineCycle || !buffered.hasBuffer() || frameCount > buffered.maxFrames())
        [[unlikely]]
        return renderChannelsAsList(frameCount, left, right);

    Lumora::RenderThreadEchoes::RenderScope const renderScope;
    Lumora::Apple::AudioUnit::RenderGuard::Attempt const guard(renderGuard_);
    Lumora::AudioIO_for_iOS_Plugin* io = audioIO();
    bool const canRender = guard.entered() && io != nullptr && io->audioEngine() != nullptr;
    bool const polled = pollHostSync(guard.entered(), 0);
    if (frameCount == 0)
        return Status::NoError;
    if (!canRender) {
        std::memset(left, 0, frameCount * sizeof(float));
        std::memset(right, 0, frameCount * sizeof(float));
        return Status::NoError;
    }
    updateCallSync(polled);
    Lumora::PluginRender::renderChannels(io, left, right, frameCount, sampleRate_, scratch_.midi, callSync_, scratch_);
    if (io->audioEngine()->isProgramChangeReceived())
        postProgramLoad();
    return Status::NoError;
}

[[gnu::noinline, gnu::cold]] AudioStatus Lumora_iOS_AudioUnit::renderChannelsAsList(std::uint32_t frameCount, float* left,
                                                                               float* right) {
    Platform::AudioBufferList output;
    output.numberBuffers = 2;
    output.buffers[0] = Platform::AudioBuffer{1, frameCount * std::uint32_t(sizeof(float)), left};
    output.buffers[1] = Platform::AudioBuffer{1, frameCount * std::uint32_t(sizeof(float)), right};
    Platform::RenderActionFlags flags = 0;
    AudioStatus const status = render(flags, Platform::AudioTimeStamp{}, frameCount, output, nullptr, nullptr);
    // A unit without a buffer of its own for a missing channel leaves it to the caller.
    if (status == Status::NoError) {
        float* const channels[2] = {left, right};
        Lumora::PluginRender::copyBackInto(channels, 2, output, frameCount);
    }
    return status;
}

// Events outside the call are taken at its nearest frame: early ones before the first stretch,
// late ones before the last frame, so that every message reaches the engine once.
void Lumora_iOS_AudioUnit::renderEvents(Lumora::AudioIO_for_iOS_Plugin* io, Platform::AudioBufferList const* input,
                                        Platform::AudioBufferList const& output, std::uint32_t frameCount,
                                        double sampleTime, Platform::RenderEvent const* events,
                                        Lumora::SyncInformation const& sync) {
    // A sample time that is not a number (or beyond 2^53) counts as 0 rather than wrapping.
    std::int64_t const start =
        std::isfinite(sampleTime) && std::fabs(sampleTime) < 9.0e15 ? static_cast<std::int64_t>(sampleTime) : 0;
    std::int64_t const last = start + frameCount - 1;
    auto timeOf = [start, last](Platform::RenderEvent const* e) { return std::clamp(e->eventSampleTime, start, last); };

    clearMidi(scratch_.midi);
    std::int64_t now = start;
    std::uint32_t remaining = frameCount;
    Platform::RenderEvent const* event = events;
    while (remaining > 0) {
        if (event == nullptr) {
            renderSegment(io, input, output, remaining, frameCount - remaining, sync);
            break;
        }
        std::int64_t const segment = std::max<std::int64_t>(timeOf(event) - now, 0);
        if (segment > 0) {
            renderSegment(io, input, output, static_cast<unsigned>(segment), frameCount - remaining, sync);
            remaining -= static_cast<std::uint32_t>(segment);
            now += segment;
        }
        while (event != nullptr && timeOf(event) <= now) {
            handleEvent(*event);
            event = event->next;
        }
    }
    clearMidi(scratch_.midi);
}

void Lumora_iOS_AudioUnit::renderSegment(Lumora::AudioIO_for_iOS_Plugin* io, Platform::AudioBufferList const* input,
                                         Platform::AudioBufferList const& output, unsigned frames, unsigned offset,
                                         Lumora::SyncInformation const& callSync) {
    Lumora::SyncInformation moved;
    while (frames > 0) {
        unsigned const n = std::min(frames, kMaximumFramesPerEngineCycle);
        // At the call's start the call's own sync information holds as it is.
        Lumora::SyncInformation const* sync = &callSync;
        if (offset != 0) {
            moved = Lumora::PluginRender::advancedSyncInformation(callSync, offset, sampleRate_);
            sync = &moved;
        }
        Lumora::PluginRender::renderBlock(io, input, output, n, offset, sampleRate_, scratch_.midi, *sync, scratch_);
        // The stretch's MIDI belongs to its first frame only.
        clearMidi(scratch_.midi);
        frames -= n;
        offset += n;
    }
}

void Lumora_iOS_AudioUnit::handleEvent(Platform::RenderEvent const& event) {
    switch (event.eventType) {
    case Platform::RenderEventType::Parameter:
    case Platform::RenderEventType::ParameterRamp: {
        // A ramp takes its end value at once.
        if (Lumora::Parameter* p = parameterAt(event.parameterAddress))
            p->setNormalizedValue(event.value, Lumora::ParameterObserver::Token::Host, Lumora::AutomationEventType::None);
        return;
    }
    case Platform::RenderEventType::MIDI: {
        int const d0 = event.length > 0 ? event.data[0] : 0;
        int const d1 = event.length > 1 ? event.data[1] : 0;
        int const d2 = event.length > 2 ? event.data[2] : 0;
        scratch_.midi.emplace_back(d0, d1, d2);
        return;
    }
    default:
        return;
    }
}
