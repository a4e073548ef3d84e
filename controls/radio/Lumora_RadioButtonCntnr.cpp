#include "controls/radio/Lumora_RadioButtonCntnr.h"

#include "controls/lamp/Lumora_TaggedSteps.h"
#include "platform/ui/Button.h"

Lumora_RadioButtonCntnr::Lumora_RadioButtonCntnr(Platform::Rect frame) : Platform::Control(frame)
{
    initialize();
}

void Lumora_RadioButtonCntnr::initialize()
{
    setBackgroundColor(Platform::Color::clearColor());
    setValue(0);
}

void Lumora_RadioButtonCntnr::awakeFromNib()
{
    Platform::Control::awakeFromNib();
    // The buttons of an interface file arrive after construction: select among them now.
    initialize();
}

void Lumora_RadioButtonCntnr::setValue(int32_t value)
{
    value_ = value;
    update();
}

void Lumora_RadioButtonCntnr::update()
{
    selectAllButtons(false);
    if (Platform::Button* button = findButtonByTag(value_))
        button->setSelected(true);
}

std::vector<Platform::Button*> Lumora_RadioButtonCntnr::sortedButtons() const
{
    return Lumora_TaggedSteps::sortedByTag<Platform::Button>(*this);
}

Platform::Button* Lumora_RadioButtonCntnr::findButtonByTag(int t) const
{
    return Lumora_TaggedSteps::findByTagNotAbove(sortedButtons(), t);
}

void Lumora_RadioButtonCntnr::selectAllButtons(bool selected)
{
    for (Platform::Button* button : sortedButtons())
        button->setSelected(selected);
}

void Lumora_RadioButtonCntnr::didAddSubview(Platform::View* view)
{
    Platform::Control::didAddSubview(view);
    if (auto* button = dynamic_cast<Platform::Button*>(view))
        button->addTarget(this, &Lumora_RadioButtonCntnr::actionButtonTouchUpInside,
                          Platform::ControlEvents::TouchUpInside);
}

void Lumora_RadioButtonCntnr::actionButtonTouchUpInside(Platform::Button* button)
{
    setValue(button->tag());
    sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
}
