#include "synthesis/voice/modules/ControlEnvelope.h"

#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

ControlEnvelope::ControlEnvelope(bool squareOutput)
{
    envelope_.setSquareOutputMode(squareOutput);
}

void ControlEnvelope::runBlock(unsigned frames, float sampleRate)
{
    catchUp();
    sampleRate_ = sampleRate;
    envelope_.blockProcess(nullptr, kControlBlock, frames, sampleRate);
}

void ControlEnvelope::render(float* out, unsigned frames, float sampleRate)
{
    catchUp();
    sampleRate_ = sampleRate;
    envelope_.process(out, frames, sampleRate);
}

float ControlEnvelope::openSpan(float sampleRate)
{
    catchUp();
    sampleRate_ = sampleRate;
    return envelope_.currentLevel();
}

// The owed frames run with the times in force while they went by: the next span's times are set
// only after this.
void ControlEnvelope::catchUp()
{
    if (owed_ == 0)
        return;
    envelope_.process(nullptr, owed_, sampleRate_);
    owed_ = 0;
}

void ControlEnvelope::gateOn(VoicingType type)
{
    catchUp();
    envelope_.gateOn(type);
}

void ControlEnvelope::gateOff()
{
    catchUp();
    envelope_.gateOff();
}

void ControlEnvelope::kill()
{
    owed_ = 0;
    envelope_.kill();
}

} // namespace Lumora::Corvane::Module
