#pragma once

#include "controls/midilearn/Lumora_MidiMapperElmntVwCtrlr_delegate.h"
#include "platform/ui/ViewController.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace Lumora {
class iAudioEngine;
}

// Where the screens library makes its MIDI-mapping editor known to the toolkit. The editor is
// a screen, built on the toolkit, so the toolkit cannot name it: the screens register a maker
// here once the program starts, and a long press on a learn overlay asks for one.
namespace Lumora_MidiMappingEditorService {

// Makes an editor for one parameter, with its delegate and engine already set; null when none
// can be made.
using Factory = std::function<std::shared_ptr<Platform::ViewController>(
    Lumora_MidiMapperElmntVwCtrlr_delegate* delegate, Lumora::iAudioEngine* engine, int32_t paramIndex)>;

// Replaces the maker; an empty function removes it.
void setFactory(Factory factory);
bool hasFactory();
// Null when no maker is registered.
std::shared_ptr<Platform::ViewController> makeEditor(Lumora_MidiMapperElmntVwCtrlr_delegate* delegate,
                                                     Lumora::iAudioEngine* engine, int32_t paramIndex);

} // namespace Lumora_MidiMappingEditorService
