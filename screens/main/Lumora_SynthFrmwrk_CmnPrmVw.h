#pragma once

#include "platform/ui/View.h"

#include <cstdint>
#include <memory>

class Lumora_Ctrl_Label;
class Lumora_Ctrl_LampSelectorCntnr;
namespace Platform {
class ImageView;
}

// The common-parameter strip: the octave selector, the two pitch-bend range labels and the
// other common controls of the interface file "SynthFrmwrk_MainFrm_CommonParam", each tagged
// with its parameter id and bound by the screen that shows the strip.
class Lumora_SynthFrmwrk_CmnPrmVw : public Platform::View {
public:
    static constexpr char const* nibName = "SynthFrmwrk_MainFrm_CommonParam";

    explicit Lumora_SynthFrmwrk_CmnPrmVw(Platform::Rect frame = {}) : Platform::View(frame) {}

    // A new strip from its interface file at its design size (idiom and program do not matter);
    // none when the file is missing.
    static std::shared_ptr<Lumora_SynthFrmwrk_CmnPrmVw> createInstanceFor(int64_t idiom, bool isPlugin);

    void awakeFromNib() override;

    Platform::Size originalSize() const { return originalSize_; }
    void setOriginalSize(Platform::Size size) { originalSize_ = size; }

    // Outlets.
    Platform::ImageView* backgroundImageVw = nullptr;
    Lumora_Ctrl_LampSelectorCntnr* selectorOctave = nullptr;
    Lumora_Ctrl_Label* lblctrlPBN = nullptr;
    Lumora_Ctrl_Label* lblctrlPBP = nullptr;

private:
    Platform::Size originalSize_{};
};
