#pragma once

#include "platform/ui/View.h"

#include <memory>

namespace Platform {
class LayoutConstraint;
}

// The place of the common-parameter strip in the main view. Its height follows its width by one
// of two ratios: tall (1.375) showing the strip's left part, or wide (55/93) showing all of it;
// the strip inside is fitted to the height.
class Lumora_SynthFrmwrk_CmnPrmCntnrVw : public Platform::View {
public:
    static constexpr double tallRatio = 1.375;
    static constexpr float wideRatio = 55.0f / 93.0f;

    explicit Lumora_SynthFrmwrk_CmnPrmCntnrVw(Platform::Rect frame = {}) : Platform::View(frame) {}

    void awakeFromNib() override;
    void layoutSubviews() override;

    bool altLayout() const { return altLayout_; }
    void setAltLayout(bool alt);
    void toggleLayout() { setAltLayout(!altLayout_); }
    // Replaces the aspect constraint by one of the current ratio.
    void updateLayout();

    std::shared_ptr<Platform::LayoutConstraint> const& constraintForAspect() const { return constraintForAspect_; }
    // Height over width as the current aspect constraint says.
    double aspectRatio() const;

private:
    bool altLayout_ = false;
    std::shared_ptr<Platform::LayoutConstraint> constraintForAspect_;
};
