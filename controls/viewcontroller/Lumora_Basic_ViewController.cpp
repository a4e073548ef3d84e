#include "controls/viewcontroller/Lumora_Basic_ViewController.h"

void Lumora_Basic_ViewController::modalViewController(std::shared_ptr<Platform::ViewController> controller)
{
    if (!controller)
        return;
    controller->view()->setBackgroundColor(Platform::Color(0, 0, 0, 0.6));
    controller->setModalPresentationStyle(Platform::ModalPresentationStyle::OverCurrentContext);
    controller->setModalTransitionStyle(Platform::ModalTransitionStyle::CrossDissolve);
    presentViewController(std::move(controller), true);
}

void Lumora_Basic_ViewController::popoverViewController(std::shared_ptr<Platform::ViewController> controller,
                                                        Platform::Size contentSize, Platform::View* sourceView,
                                                        std::vector<Platform::View*> passthroughViews,
                                                        unsigned arrowDirection,
                                                        std::optional<Platform::Color> backgroundColor)
{
    if (!controller)
        return;
    controller->setModalPresentationStyle(Platform::ModalPresentationStyle::Popover);
    controller->setPreferredContentSize(contentSize);
    if (Platform::PopoverPresentationController* popover = controller->popoverPresentationController()) {
        popover->setDelegate(this);
        popover->setPassthroughViews(std::move(passthroughViews));
        popover->setPermittedArrowDirections(arrowDirection);
        popover->setSourceView(sourceView);
        popover->setSourceRect(sourceView ? sourceView->bounds() : Platform::Rect());
        popover->setCanOverlapSourceViewRect(true);
        popover->setBackgroundColor(backgroundColor);
    }
    presentViewController(std::move(controller), true);
}

Platform::ModalPresentationStyle Lumora_Basic_ViewController::adaptivePresentationStyleForPresentationController(
    Platform::PopoverPresentationController*)
{
    return Platform::ModalPresentationStyle::None;
}

Platform::ModalPresentationStyle Lumora_Basic_ViewController::adaptivePresentationStyleForPresentationController(
    Platform::PopoverPresentationController*, Platform::TraitCollection const&)
{
    return Platform::ModalPresentationStyle::None;
}
