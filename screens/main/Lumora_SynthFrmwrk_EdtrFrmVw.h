#pragma once

#include "platform/ui/View.h"

#include <string>
#include <vector>

class Lumora_CmndButton;
namespace Platform {
class Button;
class ImageView;
class LayoutConstraint;
class ScrollView;
} // namespace Platform

// The editor frame: a header with the title image, the preset name and its previous and next
// buttons and the arpeggiator, MIDI-mapping and config buttons, above a scroll view in which the
// editor surface is shown scaled (filling the plug-in's view, fitting the width on a pad, the
// height on a phone). Made by the interface file "SynthFrmwrk_EditorFrm"; the outlets are views
// of its own tree, held without ownership.
class Lumora_SynthFrmwrk_EdtrFrmVw : public Platform::View {
public:
    // The header's height; the scroll view takes the rest.
    static constexpr double headerHeight = 44;
    // Below this width the title image is hidden, so the buttons keep their room.
    static constexpr double minimumWidthForHeaderImage = 460;

    explicit Lumora_SynthFrmwrk_EdtrFrmVw(Platform::Rect frame = {});

    void awakeFromNib() override;
    void layoutSubviews() override;

    // The preset name shown as the title of the preset-name button in every state.
    void setSoundPresetName(std::string const& name);
    // Marks the MIDI-mapping button and, while mapping is shown, locks the preset, arpeggiator and
    // config buttons so that a touch meant for learning cannot change the sound or open a popover.
    void showMidiMappingMode(bool shown);

    bool isPlugin() const { return isPlugin_; }
    void setIsPlugin(bool plugin) { isPlugin_ = plugin; }
    bool initialLayouted() const { return initialLayouted_; }
    void setInitialLayouted(bool done) { initialLayouted_ = done; }

    // Outlets.
    Platform::View* headerView = nullptr;
    Platform::ImageView* headerImgVw = nullptr;
    Platform::Button* btnSoundPresetName = nullptr;
    Lumora_CmndButton* btnSoundPresetPrev = nullptr;
    Lumora_CmndButton* btnSoundPresetNext = nullptr;
    Lumora_CmndButton* btnArpeggiator = nullptr;
    Lumora_CmndButton* btnMidiMapping = nullptr;
    Lumora_CmndButton* btnConfig = nullptr;
    // Not an outlet of the frame's class: the strip popup's button, which the files add where
    // the main view has no strip.
    Lumora_CmndButton* btnCommonParam = nullptr;
    Platform::ScrollView* edtrCntnrScrlVw = nullptr;
    Platform::LayoutConstraint* constraintforHeaderLeft = nullptr;
    Platform::LayoutConstraint* constraintforHeaderRight = nullptr;

protected:
    // The header's buttons at its right end, from the outermost inwards.
    virtual std::vector<Platform::View*> rightHeaderButtons() const;
    // Places the header and its buttons and the scroll view (no constraint solver does).
    void placeParts();
    // The header's side insets once, from the safe area of the first layout.
    void applyHeaderInsets();
    // Scales the surface into the scroll view by the frame's mode.
    void fitEditorSurface();

private:
    bool isPlugin_ = false;
    bool initialLayouted_ = false;
};
