#pragma once

#include "model/conversion/PresetFileConverter.h"

// Old arpeggiator documents: the body of an "Arpeggiator" part.
class ArpeggiatorPresetFileConverter : public PresetFileConverter {
public:
    std::string convertContentText(std::string const& text, Lumora::iAudioEngine* engine, Lumora::SerializeWhat what,
                                   Lumora::SerializeWhere where) override;
};
