#include "model/conversion/ArpeggiatorPresetFileConverter.h"

#include "engine/text/MultiPartText.h"

std::string ArpeggiatorPresetFileConverter::convertContentText(std::string const& text, Lumora::iAudioEngine* engine,
                                                               Lumora::SerializeWhat what,
                                                               Lumora::SerializeWhere where) {
    return PresetFileConverter::convertContentText(Lumora::MultiPartText::partTitle("Arpeggiator") + "\n" + text,
                                                   engine, what, where);
}
