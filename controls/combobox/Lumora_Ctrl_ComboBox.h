#pragma once

#include "controls/image/Lumora_Ctrl_Image.h"

#include <cstdint>
#include <string>

// An image control that, when tapped, opens a popover list with one choice per value from min
// to max and takes the value the user picks. Dismissing the list without a choice changes
// nothing and reports nothing.
class Lumora_Ctrl_ComboBox : public Lumora_Ctrl_Image {
public:
    explicit Lumora_Ctrl_ComboBox(Platform::Rect frame = {});

    // Set by interface files; the combo box itself uses neither.
    uint32_t numOfChoices() const { return numOfChoices_; }
    void setNumOfChoices(uint32_t count) { numOfChoices_ = count; }
    void setChoiceTitle(std::string title) { choiceTitle_ = std::move(title); }
    // The title of the current value's choice (the stored title is not what it answers).
    std::string choiceTitle() const;

    // The name of one choice: "item-" and the value. Subclasses name their choices here.
    virtual std::string choiceTitleWithValue(uint32_t value) const;

protected:
    void tapped() override;

private:
    void initialize_comboBox();
    void presentChoiceList();

    uint32_t numOfChoices_ = 0;
    std::string choiceTitle_;
};
