#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"

#include "controls/lamp/Lumora_TaggedSteps.h"
#include "platform/ui/Button.h"
#include "platform/ui/PanGestureRecognizer.h"

#include <cmath>

using Platform::GestureRecognizer;

Lumora_Ctrl_LampSelectorCntnr::Lumora_Ctrl_LampSelectorCntnr(Platform::Rect frame) : Lumora_Control(frame)
{
    initialize_LampSelectorContainer();
}

void Lumora_Ctrl_LampSelectorCntnr::initialize_LampSelectorContainer()
{
    isUnsigned_ = Lumora_TaggedSteps::isUnsignedRange<Lumora_Ctrl_Lamp>(*this);
    setBackgroundColor(Platform::Color::clearColor());
    if (!pan_) {
        pan_ = std::make_shared<Platform::PanGestureRecognizer>();
        pan_->setMinimumNumberOfTouches(1);
        pan_->setMaximumNumberOfTouches(1);
        pan_->addTarget(this, &Lumora_Ctrl_LampSelectorCntnr::handlePanGesture);
        addGestureRecognizer(pan_);
    }
    update();
}

void Lumora_Ctrl_LampSelectorCntnr::awakeFromNib()
{
    Lumora_Control::awakeFromNib();
    initialize_LampSelectorContainer();
}

std::optional<int> Lumora_Ctrl_LampSelectorCntnr::integerValue() const
{
    return Lumora_TaggedSteps::integerOfValue(value());
}

void Lumora_Ctrl_LampSelectorCntnr::setValue(float value)
{
    selectAllLamps(false);
    Lumora_Control::setValue(std::trunc(value));
    update();
}

float Lumora_Ctrl_LampSelectorCntnr::normalizedValue() const
{
    std::optional<int> v = integerValue();
    return v ? Lumora_TaggedSteps::normalizedFromInteger(*v, isUnsigned_) : 0.0f;
}

void Lumora_Ctrl_LampSelectorCntnr::setNormalizedValue(float normalized)
{
    // A value that is not a number changes nothing, as a parameter ignores one.
    if (std::optional<int> v = Lumora_TaggedSteps::integerFromNormalized(normalized, isUnsigned_))
        setValue(static_cast<float>(*v));
}

void Lumora_Ctrl_LampSelectorCntnr::update()
{
    std::optional<int> v = integerValue();
    if (!v)
        return;
    if (Lumora_Ctrl_Lamp* lamp = findLampByTag(*v))
        lamp->setSelected(true);
}

Lumora_Ctrl_Lamp* Lumora_Ctrl_LampSelectorCntnr::findLampByTag(int t) const
{
    return Lumora_TaggedSteps::findByTagNotAbove(sortedLamps(), t);
}

std::vector<Lumora_Ctrl_Lamp*> Lumora_Ctrl_LampSelectorCntnr::sortedLamps() const
{
    return Lumora_TaggedSteps::sortedByTag<Lumora_Ctrl_Lamp>(*this);
}

void Lumora_Ctrl_LampSelectorCntnr::turnOnLamp(int t)
{
    Lumora_Ctrl_Lamp* lamp = findLampByTag(t);
    if (!lamp)
        return;
    selectAllLamps(false);
    lamp->setSelected(true);
}

void Lumora_Ctrl_LampSelectorCntnr::selectAllLamps(bool selected)
{
    for (Lumora_Ctrl_Lamp* lamp : sortedLamps())
        lamp->setSelected(selected);
}

void Lumora_Ctrl_LampSelectorCntnr::switchLamp(bool up)
{
    std::vector<Lumora_Ctrl_Lamp*> const lamps = sortedLamps();
    if (lamps.empty())
        return;
    // A value that is not a number steps from below every lamp.
    long long const v = integerValue().value_or(lamps.front()->tag() - 1);
    Lumora_Ctrl_Lamp* next = nullptr;
    if (up) {
        for (Lumora_Ctrl_Lamp* lamp : lamps)
            if (lamp->tag() >= v + 1) {
                next = lamp;
                break;
            }
        if (!next)
            next = lamps.front();
    } else {
        for (auto it = lamps.rbegin(); it != lamps.rend(); ++it)
            if ((*it)->tag() <= v - 1) {
                next = *it;
                break;
            }
        if (!next)
            next = lamps.back();
    }
    setValue(static_cast<float>(next->tag()));
    sendActions_SetValue();
}

int Lumora_Ctrl_LampSelectorCntnr::valueFromDistance(int steps) const
{
    std::optional<int> const value = integerValue();
    std::vector<Lumora_Ctrl_Lamp*> const lamps = sortedLamps();
    if (lamps.size() < 2)
        return value.value_or(0);
    long long const count = static_cast<long long>(lamps.size());
    // A value that is no lamp's tag counts from one past the highest lamp.
    long long i = count;
    for (long long k = 0; k < count; ++k)
        if (value && lamps[static_cast<std::size_t>(k)]->tag() == *value) {
            i = k;
            break;
        }
    long long j = inverseSwipe_ ? i - steps : i + steps;
    j = std::clamp(j, 0LL, count - 1);
    return lamps[static_cast<std::size_t>(j)]->tag();
}

void Lumora_Ctrl_LampSelectorCntnr::handlePanGesture(Platform::PanGestureRecognizer* recognizer)
{
    Platform::Point const t = recognizer->translationInView(this);
    double const dx = t.x - lastPoint_.x;
    double const dy = t.y - lastPoint_.y;
    // Dragging up counts as forward; on equal magnitudes the horizontal move counts.
    double const delta = std::fabs(dx) >= std::fabs(dy) ? dx : -dy;
    distance_ += delta;
    // Steps are counted from the value at the start of the pan, which holds during the drag.
    double const lampsTravelled = std::trunc(distance_ / pointsPerLamp);
    int const steps = static_cast<int>(std::clamp(lampsTravelled, -1.0e6, 1.0e6));
    int const candidate = valueFromDistance(steps);

    switch (recognizer->state()) {
    case GestureRecognizer::State::Began:
        lastPoint_ = t;
        distance_ = 0;
        break;
    case GestureRecognizer::State::Changed:
        turnOnLamp(candidate);
        lastPoint_ = t;
        break;
    case GestureRecognizer::State::Ended:
        setValue(static_cast<float>(candidate));
        sendActions_SetValue();
        break;
    case GestureRecognizer::State::Cancelled:
    case GestureRecognizer::State::Failed:
        // The value stays; the lamp that previewed the abandoned step must not go on showing
        // a value the selector does not hold.
        selectAllLamps(false);
        update();
        break;
    default:
        break;
    }
}

void Lumora_Ctrl_LampSelectorCntnr::handleSwipeRightGesture(GestureRecognizer*) { switchLamp(!inverseSwipe_); }
void Lumora_Ctrl_LampSelectorCntnr::handleSwipeUpGesture(GestureRecognizer*) { switchLamp(!inverseSwipe_); }
void Lumora_Ctrl_LampSelectorCntnr::handleSwipeLeftGesture(GestureRecognizer*) { switchLamp(inverseSwipe_); }
void Lumora_Ctrl_LampSelectorCntnr::handleSwipeDownGesture(GestureRecognizer*) { switchLamp(inverseSwipe_); }

void Lumora_Ctrl_LampSelectorCntnr::didAddSubview(Platform::View* view)
{
    Lumora_Control::didAddSubview(view);
    if (auto* button = dynamic_cast<Platform::Button*>(view))
        button->addTarget(this, &Lumora_Ctrl_LampSelectorCntnr::actionButtonTouchUpInside,
                          Platform::ControlEvents::TouchUpInside);
}

void Lumora_Ctrl_LampSelectorCntnr::actionButtonTouchUpInside(Platform::Button* button)
{
    switchLamp(button->tag() >= 0);
}

void Lumora_Ctrl_LampSelectorCntnr::setLabelColor(Platform::Color color)
{
    labelColor_ = color;
    Lumora_TaggedSteps::colorLabelsBelow(*this, color);
}

void Lumora_Ctrl_LampSelectorCntnr::setButtonTextColor(Platform::Color color)
{
    buttonTextColor_ = color;
    Lumora_TaggedSteps::colorButtonTitlesBelow(*this, color);
}
