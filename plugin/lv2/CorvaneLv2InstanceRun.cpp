// The render side of the LV2 instance: one `run` cycle turns port changes and the atom
// sequence into the audio unit's render events and renders the cycle in chunks no longer than
// the unit's maximum, split at every time:Position.

#include <algorithm>
#include <cstring>

#include <lv2/atom/util.h>

#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/audiounit/PluginRenderBlock.h"
#include "plugin/lv2/CorvaneLv2Instance.h"

namespace Lumora::Lv2 {

void CorvaneLv2Instance::run(std::uint32_t frames) {
    if (!active_ || outLeft_ == nullptr || outRight_ == nullptr) {
        runSilent(frames);
        return;
    }
    events_.clear();
    rendered_ = 0;
    // A load first: the flag is almost never set, and an exchange is a locked instruction.
    if (adoptPorts_.load(std::memory_order_relaxed) || portScan_.anyMoved())
        takeControlPorts();
    // A sequence with nothing but its header is the usual cycle.
    if (eventsIn_ != nullptr && eventsIn_->atom.size > sizeof(LV2_Atom_Sequence_Body))
        takeEvents(frames);
    renderUntil(frames);
    writeNotifications();
    framesSincePump_ += frames;
    if (framesSincePump_ >= framesPerPump_)
        scheduleMainQueue();
    sampleTime_ += frames;
}

// Every port is read every cycle, and almost always none changed: the scan answers that case
// without walking the ports one by one.
void CorvaneLv2Instance::takeControlPorts() {
    bool const adopt = adoptPorts_.load(std::memory_order_relaxed) && adoptPorts_.exchange(false, std::memory_order_acq_rel);
    if (!portScan_.anyMoved())
        return;
    portScan_.takeMoved([this, adopt](std::size_t slot, float value, float before) {
        // Only a change the host made: equal values (and NaN repeated) leave the engine alone.
        if (value == before || (value != value && before != before))
            return;
        // A value the editor wrote to the host, handed back: the engine holds it or has moved on.
        if (adopt || echoes_->isEcho(slot, value))
            return;
        echoes_->forget(slot);
        events_.addParameter(0, static_cast<std::uint64_t>(ports_[slot].parameterId),
                             ports_[slot].normalizedFromPort(value));
    });
}

// The sequence is walked by hand, copying each event's header: some hosts (jalv 1.6) hand a
// buffer that is only 4-byte aligned, where the event's 64-bit frame time cannot be read in place.
void CorvaneLv2Instance::takeEvents(std::uint32_t frames) {
    auto const* body = reinterpret_cast<std::uint8_t const*>(&eventsIn_->body) + sizeof(LV2_Atom_Sequence_Body);
    std::uint32_t const size = eventsIn_->atom.size - static_cast<std::uint32_t>(sizeof(LV2_Atom_Sequence_Body));
    std::uint32_t offset = 0;
    while (offset + sizeof(LV2_Atom_Event) <= size) {
        LV2_Atom_Event header;
        std::memcpy(&header, body + offset, sizeof header);
        std::uint8_t const* data = body + offset + sizeof(LV2_Atom_Event);
        if (header.body.size > size - offset - sizeof(LV2_Atom_Event))
            return;
        offset += lv2_atom_pad_size(static_cast<std::uint32_t>(sizeof(LV2_Atom_Event)) + header.body.size);
        std::uint32_t const frame =
            header.time.frames < 0 ? 0 : static_cast<std::uint32_t>(std::min<std::int64_t>(header.time.frames, frames));
        if (header.body.type == urids_.midiEvent) {
            events_.addMidi(std::min(frame, frames - 1), data, header.body.size);
        } else if ((header.body.type == urids_.atomObject || header.body.type == urids_.atomBlank) &&
                   header.body.size >= sizeof(LV2_Atom_Object_Body)) {
            auto const* object = reinterpret_cast<LV2_Atom_Object const*>(data - sizeof(LV2_Atom));
            if (object->body.otype != urids_.timePosition)
                continue;
            // The frames before the position play on the old timeline.
            renderUntil(frame);
            timeline_.applyPosition(*object, urids_);
        }
    }
}

void CorvaneLv2Instance::renderUntil(std::uint32_t frame) {
    while (rendered_ < frame) {
        std::uint32_t const n = std::min(frame - rendered_, maxChunk_);
        renderChunk(rendered_, n);
        rendered_ += n;
    }
}

void CorvaneLv2Instance::renderChunk(std::uint32_t from, std::uint32_t frames) {
    // Events at this chunk's frames, or left before it, go with it.
    Platform::RenderEvent const* list = events_.take(from, from + frames, sampleTime_);
    if (timeline_.takeChange())
        unit_->requestHostSyncPoll();
    Platform::AudioStatus const status = list == nullptr
                                             ? unit_->renderChannels(frames, outLeft_ + from, outRight_ + from)
                                             : renderWithEvents(from, frames, list);
    if (status != Platform::AudioUnitStatus::NoError) {
        std::memset(outLeft_ + from, 0, frames * sizeof(float));
        std::memset(outRight_ + from, 0, frames * sizeof(float));
    }
    timeline_.advance(frames, sampleRate_);
}

Platform::AudioStatus CorvaneLv2Instance::renderWithEvents(std::uint32_t from, std::uint32_t frames,
                                                           Platform::RenderEvent const* list) {
    float* const channels[2] = {outLeft_ + from, outRight_ + from};
    for (unsigned c = 0; c < 2; ++c) {
        output_.buffers[c].dataByteSize = frames * sizeof(float);
        output_.buffers[c].data = channels[c];
    }
    Platform::AudioTimeStamp const timestamp{static_cast<double>(sampleTime_ + from), 0};
    Platform::RenderActionFlags flags = 0;
    Platform::AudioStatus const status = unit_->render(flags, timestamp, frames, output_, list, nullptr);
    // The unit may point a buffer at its own memory; the host reads its ports.
    if (status == Platform::AudioUnitStatus::NoError)
        PluginRender::copyBackInto(channels, 2, output_, frames);
    return status;
}

void CorvaneLv2Instance::runSilent(std::uint32_t frames) {
    if (outLeft_ != nullptr)
        std::memset(outLeft_, 0, frames * sizeof(float));
    if (outRight_ != nullptr)
        std::memset(outRight_, 0, frames * sizeof(float));
    writeNotifications();
    sampleTime_ += frames;
}

// The notification port carries a sequence every cycle, almost always an empty one: its header is
// written by hand then, without the forge.
void CorvaneLv2Instance::writeNotifications() {
    if (notify_ == nullptr || notify_->atom.size < sizeof(LV2_Atom_Sequence))
        return;
    if (stateChanged_.load(std::memory_order_relaxed) && stateChanged_.exchange(false, std::memory_order_relaxed)) {
        notifyStateChanged();
        return;
    }
    notify_->atom.type = forge_.Sequence;
    notify_->atom.size = sizeof(LV2_Atom_Sequence_Body);
    notify_->body.unit = 0;
    notify_->body.pad = 0;
}

void CorvaneLv2Instance::notifyStateChanged() {
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<std::uint8_t*>(notify_), notify_->atom.size);
    LV2_Atom_Forge_Frame sequence;
    if (lv2_atom_forge_sequence_head(&forge_, &sequence, 0) == 0)
        return;
    LV2_Atom_Forge_Frame object;
    if (lv2_atom_forge_frame_time(&forge_, 0) != 0 && lv2_atom_forge_object(&forge_, &object, 0, urids_.stateChanged) != 0)
        lv2_atom_forge_pop(&forge_, &object);
    lv2_atom_forge_pop(&forge_, &sequence);
}

void CorvaneLv2Instance::scheduleMainQueue() {
    framesSincePump_ = 0;
    if (worker_ == nullptr || pumpScheduled_.exchange(true, std::memory_order_acq_rel))
        return;
    std::uint32_t const request = 0;
    if (worker_->schedule_work(worker_->handle, sizeof request, &request) != LV2_WORKER_SUCCESS)
        pumpScheduled_.store(false, std::memory_order_release);
}

} // namespace Lumora::Lv2
