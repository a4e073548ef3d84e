// A Standard MIDI File as a user drops it on the program.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/midi/StandardMidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto file = Platform::StandardMidiFile::parse(std::span<const uint8_t>(data, size));
    if (file)
        (void)file->durationSeconds();
    return 0;
}
