#include "model/conversion/SoundPresetFileConverter.h"

#include "engine/text/MultiPartText.h"

std::string SoundPresetFileConverter::convertContentText(std::string const& text, Lumora::iAudioEngine* engine,
                                                         Lumora::SerializeWhat what, Lumora::SerializeWhere where) {
    return PresetFileConverter::convertContentText(Lumora::MultiPartText::partTitle("Parameters") + "\n" + text,
                                                   engine, what, where);
}
