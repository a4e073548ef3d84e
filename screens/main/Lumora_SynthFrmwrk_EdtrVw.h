#pragma once

#include "platform/ui/View.h"

#include <cstdint>

// The base of an editor surface: the fixed-size layout of a product's parameter controls, which
// the editor frame scales into its scroll view. A plain one is a yellow area of the design size.
class Lumora_SynthFrmwrk_EdtrVw : public Platform::View {
public:
    // The design size of a plain surface.
    static constexpr double designWidth = 1024;
    static constexpr double designHeight = 334;

    // A plain surface of the design size, painted in the toolkit's yellow.
    Lumora_SynthFrmwrk_EdtrVw();
    explicit Lumora_SynthFrmwrk_EdtrVw(Platform::Rect frame);

    int64_t uiIdiom() const { return uiIdiom_; }
    void setUiIdiom(int64_t idiom) { uiIdiom_ = idiom; }
    bool isPlugin() const { return isPlugin_; }
    void setIsPlugin(bool plugin) { isPlugin_ = plugin; }
    // The size the frame fits into its scroll view.
    virtual Platform::Size originalSize() const { return {designWidth, designHeight}; }

private:
    int64_t uiIdiom_ = 0;
    bool isPlugin_ = false;
};
