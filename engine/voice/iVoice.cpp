#include "engine/voice/iVoice.h"

#include <cmath>

#include "engine/instrument/iInstrument.h"
#include "platform/vdsp/Vdsp.h"

namespace Lumora {

iVoice::iVoice(const iSynthAudioEngine* engine, unsigned numInputs, unsigned numOutputs)
    : engine_(engine),
      channels_(numOutputs),
      channelPointers_(numOutputs, nullptr),
      numInputs_(numInputs),
      numOutputs_(numOutputs),
      glide_(std::make_unique<Portamentor>()) {}

iVoice::~iVoice() = default;

void iVoice::onAllocateRenderResources(iInstrument*, float) {}
void iVoice::onDeallocateRenderResources(iInstrument*) {}
void iVoice::onReset(iInstrument*) {}

void iVoice::setState(int32_t state) {
    previousState_ = state_;
    state_ = state;
}

void iVoice::noteOn(iInstrument* instrument, bool retrigger, bool overlap, int fromNote, int note,
                    int velocity, int pressure) {
    keyDown_ = true;
    setState(StateNoteOn);
    note_ = note;
    velocity_ = velocity;
    pressure_ = pressure;

    // In legato glide mode only a note that overlaps a sounding one glides.
    if (instrument->portamentoMode() == iInstrument::PORTAMENTO_LEGATO && !overlap) {
        glide_->disable();
    } else {
        glide_->start(Portamentor::coefficientFor(instrument->portamento()),
                      instrument->noteNumberToHz(fromNote));
    }

    VoicingType voicing = VoicingType::NewNote;
    if (retrigger) {
        voicing = overlap && instrument->monoMode() == iInstrument::monoMode_t::MonoLegato
                      ? VoicingType::Legato
                      : VoicingType::Retrigger;
    }
    onNoteOn(instrument, voicing, fromNote, note, velocity, pressure);
}

void iVoice::release(iInstrument* instrument, int note, int velocity, int pressure) {
    setState(StateNoteOff);
    onNoteOff(instrument, note, velocity, pressure);
}

bool iVoice::keyUp(iInstrument* instrument, int note, int velocity, int pressure) {
    keyDown_ = false;
    releasePending_ = pedal_;
    if (pedal_) {
        return false;
    }
    release(instrument, note, velocity, pressure);
    return true;
}

void iVoice::forceRelease(iInstrument* instrument) {
    keyDown_ = false;
    release(instrument, -1, 0, 0);
    pedal_ = false;
    releasePending_ = false;
}

void iVoice::holdPedal(iInstrument* instrument, bool down) {
    pedal_ = down;
    if (down || !releasePending_) {
        return;
    }
    releasePending_ = false;
    if (!keyDown_) {
        release(instrument, note_, 0, pressure_);
    }
}

void iVoice::kill() {
    note_ = -1;
    velocity_ = 0;
    frequency_ = 0.0f;
    pressure_ = 0;
    keyDown_ = false;
    pedal_ = false;
    releasePending_ = false;
    setState(StateOff);
    onKill();
}

void iVoice::process(iInstrument* instrument, const std::vector<const float*>& inputs, unsigned frames,
                     float sampleRate, const Clock& clock, const std::deque<MidiMessage>& midi) {
    if (note_ >= 0) {
        // The glide advances once per block, so its time constant scales with the block length.
        frequency_ = glide_->advance(instrument->noteNumberToHz(note_));

        NoteInformation info;
        info.note = note_;
        info.velocity = velocity_;
        info.frequency = frequency_;
        if (!(frequency_ == pitchFrequency_)) {
            pitchFrequency_ = frequency_;
            pitch_ = 69.0f + 12.0f * std::log2(frequency_ / 440.0f);
        }
        info.pitch = pitch_;
        info.previousState = previousState_;
        info.state = state_;
        info.pressure = pressure_;

        float** pointer = channelPointers_.data();
        for (auto& channel : channels_) {
            if (channel.size() < frames) {
                channel.resize(frames);
            }
            *pointer++ = channel.data();
        }
        process(instrument, info, inputs, channelPointers_, frames, sampleRate, clock, midi);
    } else {
        for (auto& channel : channels_) {
            Platform::Vdsp::clear(channel.data(), channel.size());
        }
    }

    // The gate moves on: a note-on block becomes "on", a note-off block becomes "off".
    if (state_ == StateNoteOn) {
        setState(StateOn);
    } else if (state_ == StateNoteOff) {
        setState(StateOff);
    } else {
        previousState_ = state_;
    }
}

void iVoice::fadeout(unsigned frames) {
    for (auto& channel : channels_) {
        if (channel.size() < frames) {
            channel.resize(frames);
        }
        if (frames > 1) {
            const float step = -1.0f / static_cast<float>(frames);
            Platform::Vdsp::rampMultiply(channel.data(), 1.0f, step, channel.data(), frames);
        } else if (frames == 1) {
            channel[0] = 0.0f;
        }
    }
}

void iVoice::reserveFrames(unsigned frames) {
    for (auto& channel : channels_) {
        channel.reserve(frames);
    }
}

} // namespace Lumora
