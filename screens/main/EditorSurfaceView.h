#pragma once

#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"

#include <cstdint>
#include <memory>

namespace Platform {
class ImageView;
}

// Corvane's editor surface: the tagged controls of every sound module on the shared framework's
// background, one interface file per device and program.
class EditorSurfaceView : public Lumora_SynthFrmwrk_EdtrVw {
public:
    static constexpr char const* padPluginNibName = "EditorSurface_iPad_Plugin";
    static constexpr char const* padAppNibName = "EditorSurface_iPad_App";
    static constexpr char const* phoneNibName = "EditorSurface_iPhone";

    explicit EditorSurfaceView(Platform::Rect frame = {}) : Lumora_SynthFrmwrk_EdtrVw(frame) {}

    // The file's name for a device idiom and program (a phone has one surface for both).
    static char const* nibNameFor(int64_t idiom, bool isPlugin);
    // A new surface from its file, at its design size, with its background image; none when
    // the file is missing.
    static std::shared_ptr<EditorSurfaceView> createInstanceFor(int64_t idiom, bool isPlugin);

    Platform::Size originalSize() const override { return originalSize_; }
    void setOriginalSize(Platform::Size size) { originalSize_ = size; }

    // Outlet.
    Platform::ImageView* backgroundImageView = nullptr;

private:
    Platform::Size originalSize_{designWidth, designHeight};
};
