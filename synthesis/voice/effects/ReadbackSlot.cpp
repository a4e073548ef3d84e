#include "synthesis/voice/effects/ReadbackSlot.h"

#include "engine/parameter/Parameter.h"

namespace Lumora::Corvane::Module {

bool ReadbackSlot::publish(Parameter& parameter)
{
    if (!fresh_.exchange(false, std::memory_order_acquire))
        return false;
    parameter.setNormalizedValue(value(), ParameterObserver::Token::EngineReadback, AutomationEventType::None);
    return true;
}

} // namespace Lumora::Corvane::Module
