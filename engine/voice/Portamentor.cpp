#include "engine/voice/Portamentor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Lumora {

Portamentor::~Portamentor() = default;

float Portamentor::coefficientFor(float amount) {
    const float c = 1.0f - std::exp(-2.0f * std::numbers::pi_v<float> * amount * amount);
    return std::clamp(c, 0.0f, 1.0f);
}

void Portamentor::start(float coefficient, float fromHz) {
    coefficient_ = std::clamp(coefficient, 0.0f, 1.0f);
    frequency_ = fromHz;
}

} // namespace Lumora
