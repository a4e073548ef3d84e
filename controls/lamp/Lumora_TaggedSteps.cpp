#include "controls/lamp/Lumora_TaggedSteps.h"

#include "controls/categories/UIButton_Lumora.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <climits>
#include <cmath>

namespace Lumora_TaggedSteps {

std::optional<int> integerOfValue(float value)
{
    if (std::isnan(value))
        return std::nullopt;
    double const t = std::trunc(static_cast<double>(value));
    return static_cast<int>(std::clamp(t, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

float normalizedFromInteger(int value, bool isUnsigned)
{
    if (isUnsigned)
        return static_cast<float>(std::clamp(value, 0, 127)) / 127.0f;
    return static_cast<float>(std::clamp(value, -64, 63) + 64) / 127.0f;
}

std::optional<int> integerFromNormalized(float normalized, bool isUnsigned)
{
    if (std::isnan(normalized))
        return std::nullopt;
    double const n = std::clamp(static_cast<double>(normalized), 0.0, 1.0);
    // std::round takes halves away from zero, as the engine decodes.
    return static_cast<int>(std::round(isUnsigned ? n * 127.0 : n * 127.0 - 64.0));
}

void colorLabelsBelow(Platform::View& view, Platform::Color color)
{
    // Copy: a label's update must not disturb the walk.
    auto const subviews = view.subviews();
    for (auto const& sub : subviews) {
        if (auto* label = dynamic_cast<Platform::Label*>(sub.get()))
            label->setTextColor(color);
        else
            colorLabelsBelow(*sub, color);
    }
}

void colorButtonTitlesBelow(Platform::View& view, Platform::Color color)
{
    auto const subviews = view.subviews();
    for (auto const& sub : subviews) {
        if (auto* button = dynamic_cast<Platform::Button*>(sub.get()))
            UIButton_Lumora::setTitleColorForAllState(button, color);
        else
            colorButtonTitlesBelow(*sub, color);
    }
}

} // namespace Lumora_TaggedSteps
