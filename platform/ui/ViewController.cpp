#include "platform/ui/ViewController.h"

#include "platform/foundation/Log.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Nib.h"
#include "platform/ui/PopoverPresentationController.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace Platform {

TraitCollection TraitCollection::current()
{
    TraitCollection traits;
    traits.idiom = Device::userInterfaceIdiom();
    traits.horizontallyCompact = traits.idiom == UserInterfaceIdiom::Phone;
    return traits;
}

ViewController::ViewController() = default;

ViewController::~ViewController()
{
    if (view_ && view_->controller_ == this)
        view_->controller_ = nullptr;
    for (auto& child : children_)
        child->parent_ = nullptr;
    if (presented_)
        presented_->presenting_ = nullptr;
}

Size ViewController::defaultViewSize()
{
    return Device::userInterfaceIdiom() == UserInterfaceIdiom::Phone ? Size{375, 667} : Size{1024, 768};
}

bool ViewController::initWithNibName(std::string nibName, std::shared_ptr<Bundle> bundle)
{
    nibName_ = std::move(nibName);
    nibBundle_ = std::move(bundle);
    return true;
}

View* ViewController::view()
{
    loadViewIfNeeded();
    return view_.get();
}

std::shared_ptr<View> ViewController::sharedView()
{
    loadViewIfNeeded();
    return view_;
}

void ViewController::loadViewIfNeeded()
{
    if (view_ || loading_)
        return;
    loading_ = true;
    loadView();
    if (!view_)
        setView(std::make_shared<View>(Rect({0, 0}, defaultViewSize())));
    loading_ = false;
    viewDidLoad();
}

void ViewController::loadView()
{
    if (nibName_.empty()) {
        setView(std::make_shared<View>(Rect({0, 0}, defaultViewSize())));
        return;
    }
    auto nib = Nib::nibWithNibName(nibName_, nibBundle_);
    if (!nib) {
        log("no interface file named \"" + nibName_ + "\"");
        return;
    }
    auto objects = nib->instantiateWithOwner(this);
    // A file that does not connect the owner's view makes its first top-level view the root.
    if (!view_)
        for (auto& object : objects)
            if (auto v = std::dynamic_pointer_cast<View>(object)) {
                setView(v);
                break;
            }
}

void ViewController::setView(std::shared_ptr<View> view)
{
    if (view_ && view_->controller_ == this)
        view_->controller_ = nullptr;
    view_ = std::move(view);
    if (view_)
        view_->controller_ = this;
}

PopoverPresentationController* ViewController::popoverPresentationController()
{
    if (presentationStyle_ != ModalPresentationStyle::Popover && !popover_)
        return nullptr;
    if (!popover_)
        popover_ = std::make_shared<PopoverPresentationController>(this);
    return popover_.get();
}

void ViewController::beginAppearance(bool animated)
{
    loadViewIfNeeded();
    viewWillAppear(animated);
}

void ViewController::endAppearance(bool animated)
{
    visible_ = true;
    viewDidAppear(animated);
}

void ViewController::beginDisappearance(bool animated)
{
    viewWillDisappear(animated);
}

void ViewController::endDisappearance(bool animated)
{
    visible_ = false;
    viewDidDisappear(animated);
}

void ViewController::presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                                           std::function<void()> completion)
{
    if (!controller || controller.get() == this || controller->presenting_)
        return;
    // One controller presents at a time: stack it over what is already shown.
    if (presented_) {
        presented_->presentViewController(std::move(controller), animated, std::move(completion));
        return;
    }
    ModalPresentationStyle style = controller->presentationStyle_;
    if (style == ModalPresentationStyle::Automatic)
        style = ModalPresentationStyle::PageSheet;
    if (style == ModalPresentationStyle::Popover) {
        TraitCollection traits = TraitCollection::current();
        PopoverPresentationController* popover = controller->popoverPresentationController();
        if (traits.horizontallyCompact) {
            ModalPresentationStyle adapted = ModalPresentationStyle::FullScreen;
            if (auto* delegate = popover->delegate())
                adapted = delegate->adaptivePresentationStyleForPresentationController(popover, traits);
            style = adapted == ModalPresentationStyle::None ? ModalPresentationStyle::Popover : adapted;
        }
    }
    presented_ = controller;
    controller->presenting_ = this;
    controller->styleInEffect_ = style;
    controller->beginAppearance(animated);
    controller->placePresentedView();
    controller->endAppearance(animated);
    if (completion)
        completion();
}

// Puts the presented root view on the presenter's window, sized by the presentation.
void ViewController::placePresentedView()
{
    Window* window = nullptr;
    for (ViewController* c = presenting_; c && !window; c = c->presenting_)
        if (c->isViewLoaded())
            window = c->view_->window();
    if (!window)
        return;
    Rect bounds = window->bounds();
    Rect frame = bounds;
    switch (styleInEffect_) {
    case ModalPresentationStyle::Popover: {
        Size size = preferredContentSize_;
        if (size.width <= 0 || size.height <= 0)
            size = {320, 480};
        // A popover never outgrows the window; content taller than that scrolls.
        size = {std::min(size.width, bounds.width()), std::min(size.height, bounds.height())};
        frame = popover_ ? popover_->frameInContainer(size, bounds) : Rect({0, 0}, size);
        // The popover's own background shows behind content that has none.
        if (popover_ && popover_->backgroundColor() && !view_->backgroundColor())
            view_->setBackgroundColor(popover_->backgroundColor());
        break;
    }
    case ModalPresentationStyle::FormSheet:
    case ModalPresentationStyle::PageSheet:
        if (!TraitCollection::current().horizontallyCompact) {
            Size size = preferredContentSize_.width > 0 ? preferredContentSize_ : Size{540, 620};
            frame = Rect(bounds.midX() - size.width / 2, bounds.midY() - size.height / 2, size.width, size.height);
        }
        break;
    default:
        break;
    }
    view_->setFrame(frame);
    window->addSubview(view_);
    view_->layoutIfNeeded();
}

void ViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion)
{
    if (!presented_) {
        if (presenting_)
            presenting_->dismissViewControllerAnimated(animated, std::move(completion));
        return;
    }
    // What the presented controller presents in turn goes first.
    std::shared_ptr<ViewController> gone = presented_;
    if (gone->presented_)
        gone->dismissViewControllerAnimated(animated);
    gone->finishDismissal(animated);
    presented_.reset();
    if (completion)
        completion();
}

void ViewController::finishDismissal(bool animated)
{
    beginDisappearance(animated);
    if (view_ && view_->superview())
        view_->removeFromSuperview();
    endDisappearance(animated);
    presenting_ = nullptr;
    styleInEffect_ = ModalPresentationStyle::None;
}

void ViewController::addChildViewController(std::shared_ptr<ViewController> child)
{
    if (!child || child->parent_ == this)
        return;
    child->removeFromParentViewController();
    child->parent_ = this;
    children_.push_back(std::move(child));
}

void ViewController::removeFromParentViewController()
{
    ViewController* parent = parent_;
    if (!parent)
        return;
    auto keep = self<ViewController>();
    std::erase_if(parent->children_, [this](auto const& c) { return c.get() == this; });
    parent_ = nullptr;
}

NavigationController* ViewController::navigationController() const
{
    for (ViewController* c = parent_; c; c = c->parent_)
        if (auto* nav = dynamic_cast<NavigationController*>(c))
            return nav;
    return nullptr;
}

Responder* ViewController::nextResponder() const
{
    if (view_ && view_->superview())
        return view_->superview();
    if (parent_)
        return parent_;
    return presenting_;
}

} // namespace Platform
