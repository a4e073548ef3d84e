#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WeakRef.h"

#include <memory>
#include <optional>
#include <vector>

namespace Platform {

class PopoverPresentationController;

// The arrow directions a popover may use.
namespace PopoverArrowDirection {
constexpr unsigned Up = 1;
constexpr unsigned Down = 2;
constexpr unsigned Left = 4;
constexpr unsigned Right = 8;
constexpr unsigned Any = 15;
} // namespace PopoverArrowDirection

// Told how a popover adapts and when the user dismissed it by tapping outside.
class PopoverPresentationControllerDelegate {
public:
    virtual ~PopoverPresentationControllerDelegate() = default;
    // The style a popover takes where space is compact (a phone); None keeps it a popover. The
    // platform asks the form with the traits, which asks the other one unless overridden.
    virtual ModalPresentationStyle adaptivePresentationStyleForPresentationController(PopoverPresentationController*)
    {
        return ModalPresentationStyle::FullScreen;
    }
    virtual ModalPresentationStyle adaptivePresentationStyleForPresentationController(PopoverPresentationController* controller,
                                                                                     TraitCollection const&)
    {
        return adaptivePresentationStyleForPresentationController(controller);
    }
    virtual void popoverPresentationControllerDidDismissPopover(PopoverPresentationController*) {}
};

// How a controller presented as a popover is anchored and decorated.
class PopoverPresentationController {
public:
    explicit PopoverPresentationController(ViewController* presented) : presented_(presented) {}

    ViewController* presentedViewController() const { return presented_; }

    PopoverPresentationControllerDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(PopoverPresentationControllerDelegate* delegate) { delegate_.reset(delegate); }
    std::vector<View*> passthroughViews() const;
    void setPassthroughViews(std::vector<View*> views);
    unsigned permittedArrowDirections() const { return arrows_; }
    void setPermittedArrowDirections(unsigned arrows) { arrows_ = arrows; }
    View* sourceView() const { return source_.get(); }
    void setSourceView(View* view) { source_.reset(view); }
    Rect sourceRect() const { return sourceRect_; }
    void setSourceRect(Rect const& rect) { sourceRect_ = rect; }
    bool canOverlapSourceViewRect() const { return canOverlap_; }
    void setCanOverlapSourceViewRect(bool can) { canOverlap_ = can; }
    std::optional<Color> const& backgroundColor() const { return background_; }
    void setBackgroundColor(std::optional<Color> color) { background_ = color; }

    // Where the popover goes in a container of the given bounds (window coordinates): below the
    // source rectangle where it fits, else above, else beside, kept inside the container.
    Rect frameInContainer(Size contentSize, Rect const& containerBounds) const;

private:
    ViewController* presented_;
    WeakRef<PopoverPresentationControllerDelegate> delegate_;
    std::vector<WeakRef<View>> passthrough_;
    unsigned arrows_ = PopoverArrowDirection::Any;
    WeakRef<View> source_;
    Rect sourceRect_;
    bool canOverlap_ = false;
    std::optional<Color> background_;
};

} // namespace Platform
