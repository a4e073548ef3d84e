#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/PopoverPresentationController.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <optional>
#include <vector>

// The base of every screen: the two ways it shows a sub-screen. A popover it presents stays a
// popover on a phone-sized screen instead of turning into a full-screen sheet.
class Lumora_Basic_ViewController : public Platform::ViewController,
                                    public Platform::PopoverPresentationControllerDelegate {
public:
    // Over the current screen, which stays visible behind a black veil at alpha 0.6, faded in.
    void modalViewController(std::shared_ptr<Platform::ViewController> controller);
    // As a popover anchored on the whole of `sourceView`, which it may overlap.
    void popoverViewController(std::shared_ptr<Platform::ViewController> controller, Platform::Size contentSize,
                               Platform::View* sourceView, std::vector<Platform::View*> passthroughViews,
                               unsigned arrowDirection, std::optional<Platform::Color> backgroundColor);

    Platform::ModalPresentationStyle adaptivePresentationStyleForPresentationController(
        Platform::PopoverPresentationController* controller) override;
    Platform::ModalPresentationStyle adaptivePresentationStyleForPresentationController(
        Platform::PopoverPresentationController* controller, Platform::TraitCollection const& traits) override;
};
