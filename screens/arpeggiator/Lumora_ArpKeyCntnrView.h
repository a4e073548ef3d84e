#pragma once

#include "screens/keyboard/Lumora_KeyContainerView.h"

#include <cstdint>

// One row of the arpeggiator editor's sixteen step keys. The row makes its keys itself the first
// time it is placed in a superview: 27 x 27 keys, 33 points apart, tagged 0 to 15 by step, in
// toggled mode (each touch flips the key's on state).
class Lumora_ArpKeyCntnrView : public Lumora_KeyContainerView {
public:
    static constexpr int stepCount = 16;
    static constexpr double keyPitch = 33;
    static constexpr double keySide = 27;

    explicit Lumora_ArpKeyCntnrView(Platform::Rect frame = {});

    bool isCreatedUI() const { return isCreatedUI_; }
    void didMoveToSuperview() override;

    // The disabled state goes through the step keys' own setter, which fades them as well.
    void setDisabled(bool disabled, std::int32_t tag);
    void setAllDisabled(bool disabled);

private:
    void createUI();

    bool isCreatedUI_ = false;
};
