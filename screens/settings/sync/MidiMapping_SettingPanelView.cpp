#include "screens/settings/sync/MidiMapping_SettingPanelView.h"

#include "engine/audio/iAudioEngine.h"
#include "model/core/Lumora_Core.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"

// An engine without MIDI-mapping documents gives no browser, and the button does nothing.
void MidiMapping_SettingPanelView::actionShowMidiMappingFileMng(Platform::Control*)
{
    Lumora::iAudioEngine* engine = core() ? core()->audioEngine() : nullptr;
    if (!engine)
        return;
    pushSubScreen(Lumora_PrstDocFileBrwsVwCtrlr::create(engine->midiMappingFileManager(), core()->isPlugin(), false));
}
