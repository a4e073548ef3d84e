#pragma once

#include "model/conversion/PresetFileConverter.h"

// Old sound documents: the body of a "Parameters" part.
class SoundPresetFileConverter : public PresetFileConverter {
public:
    std::string convertContentText(std::string const& text, Lumora::iAudioEngine* engine, Lumora::SerializeWhat what,
                                   Lumora::SerializeWhere where) override;
};
