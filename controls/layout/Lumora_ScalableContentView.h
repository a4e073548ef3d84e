#pragma once

#include "platform/ui/View.h"

// The content of a scalable container: a view laid out at a fixed size in its interface file,
// which it remembers so that it can be scaled into any space.
class Lumora_ScalableContentView : public Platform::View {
public:
    explicit Lumora_ScalableContentView(Platform::Rect frame = {});

    // Records the size the interface file gave the view (a view made in code keeps the size it
    // was made with).
    void awakeFromNib() override;

    Platform::Size originalSize() const { return originalSize_; }

private:
    Platform::Size originalSize_{};
};
