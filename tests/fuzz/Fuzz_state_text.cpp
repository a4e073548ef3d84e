// A stored state or document as a host or a user's folder hands it over: the multi-part text and
// each part reader (parameters, MIDI mapping, arpeggiator, micro-tuning).
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/mapping/MidiParamMapper.h"
#include "engine/midifx/ArpeggiatorData.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "engine/text/MultiPartText.h"
#include "engine/tuning/MicroTuning.h"

namespace {

struct Readers {
    Lumora::ParameterManager manager{"Fuzz", 2, nullptr};
    Lumora::Parameter_UFloat volume{&manager, 1, "Volume", "VOLUME", 0.75f, 0.0f, 1.0f,
                                    Lumora::Parameter::Options::None, Lumora::SerializeWhat::SoundParameters, 0};
    Lumora::Parameter_UFloat cutoff{&manager, 2, "Cutoff", "CUTOFF", 0.5f, 0.0f, 1.0f,
                                    Lumora::Parameter::Options::None, Lumora::SerializeWhat::SoundParameters, 0};
    Lumora::MidiParamMapper mapper{nullptr};
    Lumora::ArpeggiatorData arpeggiator;
    Lumora::MicroTuning tuning;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Readers readers;
    std::string const text(reinterpret_cast<const char*>(data), size);
    Lumora::MultiPartText parts;
    if (parts.deserialize(text)) {
        readers.manager.deserialize(Lumora::SerializeWhat::FullState, parts.partText("Parameters"),
                                    Lumora::SerializeWhere::PluginHostState);
        readers.mapper.deserialize(parts.partText("MidiMapping"), &readers.manager);
        readers.arpeggiator.deserialize(parts.partText("Arpeggiator"));
        readers.tuning.deserialize(parts.partText("MicroTuning"));
        parts.serialize();
    }
    // Each reader on the whole text too, as a single-part document reaches it.
    readers.manager.deserialize(Lumora::SerializeWhat::FullState, text, Lumora::SerializeWhere::Document);
    readers.mapper.deserialize(text, &readers.manager);
    readers.arpeggiator.deserialize(text);
    readers.tuning.deserialize(text);
    return 0;
}
