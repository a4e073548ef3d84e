#pragma once

#include "screens/main/PopupViewController.h"

namespace Platform {
class ImageView;
}

// The effect editor: chorus, delay with its filter, and reverb, on the framework's effects
// background, opened from the editor surface as a scaled popup.
class EffectEditorViewController : public PopupViewController {
public:
    static constexpr char const* nibName = "EditorSurface_iPad_App_Effects";

    bool init() override { return false; }
    bool initWithCore(std::shared_ptr<Lumora_Core> core) override;
    void viewDidLoad() override;
    Token parameterObserverToken() const override { return Token::CommonParamPopup; }

    // Outlet.
    Platform::ImageView* backgroundImageView = nullptr;
};
