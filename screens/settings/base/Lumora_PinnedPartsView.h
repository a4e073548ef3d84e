#pragma once

#include "platform/ui/View.h"
#include "platform/ui/WeakRef.h"

#include <memory>
#include <vector>

// A view whose parts keep their places from the interface file when the view gets another
// width: nothing solves the file's layout relations, so each part is pinned to a side. Parts
// pinned right keep their distance from the right edge, stretching parts keep both margins,
// parts pinned left stay where they are.
class Lumora_PinnedPartsView : public Platform::View {
public:
    enum class Pin { Left, Right, Stretch };

    explicit Lumora_PinnedPartsView(Platform::Rect frame = {});

    // Adds a part, placed by its frame in the file and pinned to a side.
    void addPart(std::shared_ptr<Platform::View> const& part, Pin pin);
    void layoutSubviews() override;

private:
    struct Placement {
        Platform::WeakRef<Platform::View> view;
        Platform::Rect fileFrame;
        Pin pin;
    };

    // The view's width in the file: what the parts' frames were laid out against.
    double fileWidth_;
    std::vector<Placement> placements_;
};
