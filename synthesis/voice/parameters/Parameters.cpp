#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora::Corvane {

Parameters::Parameters(ParameterManager* m)
    : pitch(m),
      osc(m),
      noise(m),
      resonator(m),
      filter(m),
      amp(m),
      chorus(m),
      delay(m),
      reverb(m),
      voiceCount(m, 10001, "", "", 0, 0, 100, ParameterBlocks::kReadbackOptions,
                 SerializeWhat::None, 0) {}

} // namespace Lumora::Corvane
