#include "controls/radio/Lumora_Ctrl_RadioButtonCntnr.h"

#include "controls/lamp/Lumora_TaggedSteps.h"
#include "platform/ui/Button.h"

#include <cmath>

Lumora_Ctrl_RadioButtonCntnr::Lumora_Ctrl_RadioButtonCntnr(Platform::Rect frame) : Lumora_Control(frame)
{
    initialize_RadioButtonContainer();
}

void Lumora_Ctrl_RadioButtonCntnr::initialize_RadioButtonContainer()
{
    isUnsigned_ = Lumora_TaggedSteps::isUnsignedRange<Platform::Button>(*this);
    setBackgroundColor(Platform::Color::clearColor());
    update();
}

void Lumora_Ctrl_RadioButtonCntnr::awakeFromNib()
{
    Lumora_Control::awakeFromNib();
    initialize_RadioButtonContainer();
}

void Lumora_Ctrl_RadioButtonCntnr::setValue(float value)
{
    selectAllButtons(false);
    Lumora_Control::setValue(std::trunc(value));
    update();
}

float Lumora_Ctrl_RadioButtonCntnr::normalizedValue() const
{
    std::optional<int> v = Lumora_TaggedSteps::integerOfValue(value());
    return v ? Lumora_TaggedSteps::normalizedFromInteger(*v, isUnsigned_) : 0.0f;
}

void Lumora_Ctrl_RadioButtonCntnr::setNormalizedValue(float normalized)
{
    if (std::optional<int> v = Lumora_TaggedSteps::integerFromNormalized(normalized, isUnsigned_))
        setValue(static_cast<float>(*v));
}

void Lumora_Ctrl_RadioButtonCntnr::update()
{
    std::optional<int> v = Lumora_TaggedSteps::integerOfValue(value());
    if (!v)
        return;
    if (Platform::Button* button = findButtonByTag(*v))
        button->setSelected(true);
}

Platform::Button* Lumora_Ctrl_RadioButtonCntnr::findButtonByTag(int t) const
{
    return Lumora_TaggedSteps::findByTagNotAbove(sortedButtons(), t);
}

std::vector<Platform::Button*> Lumora_Ctrl_RadioButtonCntnr::sortedButtons() const
{
    return Lumora_TaggedSteps::sortedByTag<Platform::Button>(*this);
}

void Lumora_Ctrl_RadioButtonCntnr::selectAllButtons(bool selected)
{
    for (Platform::Button* button : sortedButtons())
        button->setSelected(selected);
}

void Lumora_Ctrl_RadioButtonCntnr::didAddSubview(Platform::View* view)
{
    Lumora_Control::didAddSubview(view);
    if (auto* button = dynamic_cast<Platform::Button*>(view))
        button->addTarget(this, &Lumora_Ctrl_RadioButtonCntnr::actionButtonTouchUpInside,
                          Platform::ControlEvents::TouchUpInside);
}

void Lumora_Ctrl_RadioButtonCntnr::actionButtonTouchUpInside(Platform::Button* button)
{
    setValue(static_cast<float>(button->tag()));
}

void Lumora_Ctrl_RadioButtonCntnr::setLabelColor(Platform::Color color)
{
    labelColor_ = color;
    Lumora_TaggedSteps::colorLabelsBelow(*this, color);
}

void Lumora_Ctrl_RadioButtonCntnr::setButtonTextColor(Platform::Color color)
{
    buttonTextColor_ = color;
    Lumora_TaggedSteps::colorButtonTitlesBelow(*this, color);
}
