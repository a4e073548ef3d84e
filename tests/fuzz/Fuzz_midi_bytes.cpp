// Bytes from a MIDI source or the virtual destination, one packet at a time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/CoreMIDIObserver.h"
#include "app/CoreMIDIPacketParser.h"

namespace {

class CheckingObserver : public Lumora::CoreMIDI::Observer {
public:
    void didChangeSources(int) override {}
    void didReceiveMidi(int status, int data1, int data2, int) override {
        // Whatever comes in, what goes on is a status byte and two data bytes.
        if (status < 0x80 || status > 0xFF || data1 < 0 || data1 > 0x7F || data2 < 0 || data2 > 0x7F)
            std::abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckingObserver observer;
    Lumora::CoreMIDI::parsePacket(std::span<const uint8_t>(data, size), 0, observer);
    return 0;
}
