#include "engine/voice/ZeroFill.h"

#include "platform/vdsp/Vdsp.h"

namespace Lumora::DSP {

void zeroFill(std::vector<float>& buffer, unsigned n) {
    if (buffer.size() < n) {
        buffer.resize(n);
    }
    Platform::Vdsp::clear(buffer.data(), buffer.size());
}

} // namespace Lumora::DSP
