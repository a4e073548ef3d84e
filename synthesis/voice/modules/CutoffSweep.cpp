#include "synthesis/voice/modules/CutoffSweep.h"

#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

float CutoffSweep::operator()(float y)
{
    if (!known_ || !(y == position_)) {
        known_ = true;
        position_ = y;
        value_ = cutoffCurve(y);
    }
    return value_;
}

} // namespace Lumora::Corvane::Module
