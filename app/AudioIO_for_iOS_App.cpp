#include "app/AudioIO_for_iOS_App.h"

#include "app/AudioIO_for_iOS_App_Impl.h"

namespace Lumora {

AudioIO_for_iOS_App::AudioIO_for_iOS_App(iAudioEngine* engine, const Config& config)
    : iAudioIO_for_App(engine), config_(config),
      impl_(std::make_unique<AudioIO_for_iOS_App_Impl>(this)) {
    didConstructSubClass(this);
}

AudioIO_for_iOS_App::~AudioIO_for_iOS_App() { impl_.reset(); }

// The app echoes parameter changes nowhere.
void AudioIO_for_iOS_App::didChangeParam(const Parameter*, Token, AutomationEventType) {}

bool AudioIO_for_iOS_App::isPlugin() const { return false; }
SyncMethod AudioIO_for_iOS_App::syncMethod() const { return impl_->syncMethod(); }
void AudioIO_for_iOS_App::setSyncMethod(SyncMethod method) { impl_->setSyncMethod(method); }
bool AudioIO_for_iOS_App::canProposeBpm() const { return impl_->canProposeBpm(); }
void AudioIO_for_iOS_App::proposeBpm(double bpm) { impl_->proposeBpm(bpm); }

bool AudioIO_for_iOS_App::open(unsigned bufferSize, float sampleRate) { return impl_->open(bufferSize, sampleRate); }
void AudioIO_for_iOS_App::close() { impl_->close(); }
bool AudioIO_for_iOS_App::start() { return impl_->start(); }
bool AudioIO_for_iOS_App::stop() { return impl_->stop(); }
bool AudioIO_for_iOS_App::isOpen() const { return impl_->isOpen(); }
bool AudioIO_for_iOS_App::isRunning() const { return impl_->isRunning(); }
float AudioIO_for_iOS_App::sampleRate() const { return impl_->sampleRate(); }
unsigned AudioIO_for_iOS_App::bufferSize() const { return impl_->bufferSize(); }

bool AudioIO_for_iOS_App::setAudioFormat(unsigned bufferSize, float sampleRate) {
    return impl_->setAudioFormat(bufferSize, sampleRate);
}
bool AudioIO_for_iOS_App::setSampleRate(float sampleRate) { return setAudioFormat(bufferSize(), sampleRate); }
bool AudioIO_for_iOS_App::setBufferSize(unsigned bufferSize) { return setAudioFormat(bufferSize, sampleRate()); }

iAudioIO_for_App::MidiSources AudioIO_for_iOS_App::midiSources() const { return impl_->midiSources(); }
void AudioIO_for_iOS_App::enableMidiSource(std::int32_t uniqueID, bool enabled) {
    impl_->enableMidiSource(uniqueID, enabled);
}

Platform::OutputUnit* AudioIO_for_iOS_App::audioUnit() const { return impl_->audioUnit(); }
void AudioIO_for_iOS_App::setCoreMidiDisabled(bool disabled) { impl_->setCoreMidiDisabled(disabled); }
bool AudioIO_for_iOS_App::isInterAppAudioConnected() const { return impl_->isInterAppAudioConnected(); }
ABLLink* AudioIO_for_iOS_App::link() const { return impl_->link(); }
bool AudioIO_for_iOS_App::isLinkActive() const { return impl_->isLinkActive(); }

} // namespace Lumora
