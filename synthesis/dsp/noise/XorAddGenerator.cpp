#include "synthesis/dsp/noise/XorAddGenerator.h"

namespace Lumora::DSP {

constinit SharedXorAddGenerator sharedGenerator;

} // namespace Lumora::DSP
