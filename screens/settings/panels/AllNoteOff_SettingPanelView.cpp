#include "screens/settings/panels/AllNoteOff_SettingPanelView.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/midi/MidiMessage.h"
#include "model/core/Lumora_Core.h"

namespace {
constexpr int controlChange = 0xB0;
constexpr int allNotesOff = 123;
} // namespace

void AllNoteOff_SettingPanelView::action(Platform::Control*)
{
    Lumora::iAudioEngine* engine = core() ? core()->audioEngine() : nullptr;
    if (!engine)
        return;
    engine->sendMidi(Lumora::MidiMessage(controlChange, engine->safeMidiChannel(), allNotesOff, 0));
}
