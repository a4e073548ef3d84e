#pragma once

#include <cstdint>
#include <string>

namespace Lumora {

// Which content a stored text holds. A parameter belongs to a text when its own mask shares
// a bit with the text's mask.
enum class SerializeWhat : uint32_t {
    None = 0,
    GlobalSettings = 0x100,
    GlobalPart = 0xff00,      // any of these bits makes the "Global" part carry the sound folder
    SoundParameters = 0x10000,
    MidiMappingPart = 0x20000,
    ArpeggiatorPart = 0x40000,
    MicroTuningPart = 0x80000,
    SoundPreset = 0x7fff0000,
    FullState = 0x7fffff00,
};

constexpr SerializeWhat operator|(SerializeWhat a, SerializeWhat b) {
    return static_cast<SerializeWhat>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}
constexpr SerializeWhat operator&(SerializeWhat a, SerializeWhat b) {
    return static_cast<SerializeWhat>(static_cast<uint32_t>(a) & static_cast<uint32_t>(b));
}
// True when the two masks share at least one bit.
constexpr bool sharesBit(SerializeWhat a, SerializeWhat b) {
    return (static_cast<uint32_t>(a) & static_cast<uint32_t>(b)) != 0;
}

// Where a text goes to or comes from.
enum class SerializeWhere : int32_t {
    Document = 0,
    InterAppHostState = 1,
    PluginHostState = 2,
    StateBackup = 4,
};

// Everything stored as text.
class Serializer {
public:
    virtual std::string serialize(SerializeWhat what, SerializeWhere where) = 0;
    virtual bool deserialize(SerializeWhat what, const std::string& text, SerializeWhere where) = 0;
    // Resets the selected content to its defaults.
    virtual void initialize(SerializeWhat what, SerializeWhere where) = 0;
    virtual ~Serializer() = default;
};

} // namespace Lumora
