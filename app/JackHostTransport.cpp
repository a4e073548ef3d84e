#include "app/JackHostTransport.h"

#include "platform/audio/JackDriver.h"

namespace AppShell {

namespace {

using Platform::AudioStatus;
using Platform::JackDriver;

JackDriver::Transport transportOf(void* driver) { return static_cast<JackDriver*>(driver)->transport(); }

AudioStatus beatAndTempo(void* driver, double* beat, double* tempo) {
    const auto t = transportOf(driver);
    if (beat) *beat = t.beat;
    if (tempo) *tempo = t.tempo;
    return Platform::AudioErr::None;
}

AudioStatus musicalTimeLocation(void* driver, uint32_t* deltaToNextBeat, float* numerator, uint32_t* denominator,
                                double* downbeat) {
    const auto t = transportOf(driver);
    if (deltaToNextBeat) *deltaToNextBeat = 0;
    if (numerator) *numerator = t.beatsPerBar;
    if (denominator) *denominator = t.beatType;
    if (downbeat) *downbeat = t.barStartBeat;
    return Platform::AudioErr::None;
}

AudioStatus transportState(void* driver, bool* playing, bool* changed, double* sample, bool* cycling,
                           double* cycleStart, double* cycleEnd) {
    const auto t = transportOf(driver);
    // Without a timebase master nobody states a tempo or a bar: the app then keeps its own clock.
    if (playing) *playing = t.rolling && t.hasBarBeat;
    if (changed) *changed = false;
    if (sample) *sample = 0.0;
    if (cycling) *cycling = false;
    if (cycleStart) *cycleStart = 0.0;
    if (cycleEnd) *cycleEnd = 0.0;
    return Platform::AudioErr::None;
}

AudioStatus transportState2(void* driver, bool* playing, bool* recording, bool* changed, double* sample,
                            bool* cycling, double* cycleStart, double* cycleEnd) {
    if (recording) *recording = false;
    return transportState(driver, playing, changed, sample, cycling, cycleStart, cycleEnd);
}

} // namespace

Platform::InterAppAudio::HostCallbackInfo jackHostCallbacks(Platform::JackDriver& driver) {
    Platform::InterAppAudio::HostCallbackInfo info;
    info.hostUserData = &driver;
    info.beatAndTempoProc = beatAndTempo;
    info.musicalTimeLocationProc = musicalTimeLocation;
    info.transportStateProc = transportState;
    info.transportStateProc2 = transportState2;
    return info;
}

} // namespace AppShell
