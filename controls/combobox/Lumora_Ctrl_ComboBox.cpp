#include "controls/combobox/Lumora_Ctrl_ComboBox.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/PopoverPresentationController.h"

#include <memory>

Lumora_Ctrl_ComboBox::Lumora_Ctrl_ComboBox(Platform::Rect frame) : Lumora_Ctrl_Image(frame)
{
    initialize_comboBox();
}

void Lumora_Ctrl_ComboBox::initialize_comboBox()
{
    setTouchOperated(true);
}

std::string Lumora_Ctrl_ComboBox::choiceTitleWithValue(uint32_t value) const
{
    // Formatted as a signed number, as "%d" would.
    return "item-" + std::to_string(static_cast<int32_t>(value));
}

std::string Lumora_Ctrl_ComboBox::choiceTitle() const
{
    return choiceTitleWithValue(unsignedValue());
}

void Lumora_Ctrl_ComboBox::tapped()
{
    if (touchOperated())
        presentChoiceList();
}

void Lumora_Ctrl_ComboBox::presentChoiceList()
{
    Platform::ViewController* presenter = UIView_Lumora_Control_Container_View::firstAvailableUIViewController(this);
    // Each handler holds the combo box, so it lives as long as the list that may still call it.
    auto const keep = std::dynamic_pointer_cast<Lumora_Ctrl_ComboBox>(weak_from_this().lock());
    if (!presenter || !keep)
        return;

    auto list = Platform::AlertController::alertControllerWithTitle("", "", Platform::AlertController::Style::ActionSheet);
    uint32_t const current = unsignedValue();
    // Counted in 64 bits so that a max at the unsigned maximum still ends the loop.
    for (uint64_t i = min(); i <= max(); ++i) {
        uint32_t const value = static_cast<uint32_t>(i);
        auto action = Platform::AlertAction::actionWithTitle(
            choiceTitleWithValue(value), Platform::AlertAction::Style::Default, [keep, value](Platform::AlertAction*) {
                keep->setValue(static_cast<float>(value));
                keep->sendActions_SetValue();
            });
        action->setChecked(current == value);
        list->addAction(std::move(action));
    }

    list->setModalPresentationStyle(Platform::ModalPresentationStyle::Popover);
    if (Platform::PopoverPresentationController* popover = list->popoverPresentationController()) {
        popover->setSourceView(this);
        popover->setSourceRect(bounds());
        popover->setCanOverlapSourceViewRect(true);
        popover->setPermittedArrowDirections(Platform::PopoverArrowDirection::Any);
    }
    presenter->presentViewController(std::move(list), true);
}
