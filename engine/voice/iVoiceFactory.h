#pragma once

#include <memory>

namespace Lumora {

class iSynthAudioEngine;
class iVoice;

// Makes the voices of an instrument. Called only while the instrument sets up its voices,
// never on the render thread.
class iVoiceFactory {
public:
    virtual std::shared_ptr<iVoice> createVoice(const iSynthAudioEngine* engine) const = 0;
    virtual ~iVoiceFactory();
};

} // namespace Lumora
