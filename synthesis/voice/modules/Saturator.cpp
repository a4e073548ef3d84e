#include "synthesis/voice/modules/Saturator.h"

#include <cmath>

#include "platform/vdsp/Vdsp.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {
constexpr float kCurve = 1.5f;
}

Saturator::Saturator()
    : asymSaturator_(0.8f, 200)
{
}

void Saturator::reserve(unsigned maxFrames)
{
    grow(work_, maxFrames);
}

void Saturator::reset()
{
    crossfader_.reset();
}

void Saturator::idle(float drive)
{
    if (!std::isfinite(drive))
        drive = 0.0f;
    crossfader_.process(nullptr, nullptr, nullptr, 0, drive, kCurve);
}

bool Saturator::passes(float drive) const
{
    return crossfader_.passesA(std::isfinite(drive) ? drive : 0.0f, kCurve);
}

void Saturator::process(float* out, const float* in, unsigned n, float drive, unsigned type)
{
    if (n == 0)
        return;
    if (!std::isfinite(drive))
        drive = 0.0f;
    // In place without drive, as most blocks are, the signal passes untouched.
    if (out == in && crossfader_.passesA(drive, kCurve))
        return;
    if (crossfader_.ignoresB(drive)) {
        // No drive: the shaped signal would be weighed by 0.
        crossfader_.process(out, in, in, n, drive, kCurve);
        return;
    }
    float* work = grow(work_, n);
    const float dd = drive * std::fabs(drive);
    if (type == 0) {
        Platform::Vdsp::scale(in, 2.0f * dd + 0.7f, work, n);
        // In place on purpose: the square is then taken of the doubled sample, 2x / (1 + 4x^2).
        saturator_.process(work, work, n);
    } else {
        Platform::Vdsp::scale(in, 3.0f * dd + 0.7f, work, n);
        asymSaturator_.process(work, work, n);
    }
    crossfader_.process(out, in, work, n, drive, kCurve);
}

} // namespace Lumora::Corvane::Module
