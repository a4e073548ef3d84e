#include "synthesis/voice/modules/CutoffSweep.h"

#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

void CutoffSweep::moveTo(float y)
{
    known_ = true;
    position_ = y;
    value_ = cutoffCurve(y);
}

} // namespace Lumora::Corvane::Module
