#pragma once

#include "platform/graphics/Color.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <optional>
#include <vector>

// What the lamp selector and the radio groups share: a row of views that each stand for the
// integer in their tag, a value that is one of those integers carried in the engine's 0..127
// encoding, and the colour walks over the labels and buttons inside them.
namespace Lumora_TaggedSteps {

// The integer a stored control value stands for: truncated toward zero, and held within the
// range of int; a value that is not a number stands for none.
std::optional<int> integerOfValue(float value);

// The engine's integer encodings: unsigned k as k / 127 (k within 0..127), signed e as
// (e + 64) / 127 (e within -64..63).
float normalizedFromInteger(int value, bool isUnsigned);
// The reverse, after clamping n to 0..1, rounding halves away from zero; none for a NaN.
std::optional<int> integerFromNormalized(float normalized, bool isUnsigned);

// The direct subviews of class T, in ascending tag order (views with equal tags keep their
// order among the subviews).
template <class T>
std::vector<T*> sortedByTag(Platform::View const& container)
{
    std::vector<T*> steps;
    for (auto const& sub : container.subviews())
        if (auto* step = dynamic_cast<T*>(sub.get()))
            steps.push_back(step);
    std::stable_sort(steps.begin(), steps.end(), [](T const* a, T const* b) { return a->tag() < b->tag(); });
    return steps;
}

// Of steps in ascending tag order, the last whose tag is not greater than t: the greatest tag
// not above t. None when every tag is greater or there are no steps.
template <class T>
T* findByTagNotAbove(std::vector<T*> const& sortedSteps, int t)
{
    T* found = nullptr;
    for (T* step : sortedSteps) {
        if (step->tag() > t)
            break;
        found = step;
    }
    return found;
}

// The range of a group: unsigned unless one of its steps has a negative tag.
template <class T>
bool isUnsignedRange(Platform::View const& container)
{
    int lowest = 0;
    for (T const* step : sortedByTag<T>(container))
        lowest = std::min(lowest, step->tag());
    return lowest >= 0;
}

// Gives the colour to every label below the view, not looking inside labels.
void colorLabelsBelow(Platform::View& view, Platform::Color color);
// Gives the colour, as title colour of every state, to every button below the view, not looking
// inside buttons.
void colorButtonTitlesBelow(Platform::View& view, Platform::Color color);

} // namespace Lumora_TaggedSteps
