#pragma once

#include <cstdint>

class Lumora_MidiMapperElmntVwCtrlr;

// Told by the MIDI-mapping editor after each change it made to whether a parameter is mapped
// or to the key of its mapping.
class Lumora_MidiMapperElmntVwCtrlr_delegate {
public:
    virtual ~Lumora_MidiMapperElmntVwCtrlr_delegate() = default;
    virtual void midiMapperElementViewController_didChangeMidiSourceWithParameterID(
        Lumora_MidiMapperElmntVwCtrlr* editor, int32_t parameterID) = 0;
};
