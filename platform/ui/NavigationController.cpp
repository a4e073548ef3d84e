#include "platform/ui/NavigationController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <algorithm>

namespace Platform {

namespace {

constexpr double barMargin = 8;
constexpr double backWidth = 80;

} // namespace

NavigationBar::NavigationBar(Rect frame) : View(frame)
{
    title_ = std::make_shared<Label>();
    title_->setFont(Font::boldSystemFont(17));
    title_->setTextAlignment(TextAlignment::Center);
    title_->setUserInteractionEnabled(false);
    addSubview(title_);
    back_ = std::make_shared<Button>(Rect{}, Button::Type::System);
    back_->setTitle(std::string("\u2039 Back"), ControlState::Normal);
    back_->setHidden(true);
    addSubview(back_);
    applyTextColor();
}

void NavigationBar::showItem(std::string const& title, bool canGoBack)
{
    title_->setText(title);
    back_->setHidden(!canGoBack);
    setNeedsLayout();
}

void NavigationBar::setBackgroundColor(std::optional<Color> color)
{
    View::setBackgroundColor(color);
    applyTextColor();
}

// White text on a dark bar, black on a light one or on none (the platform's light bar).
void NavigationBar::applyTextColor()
{
    std::optional<Color> const& bar = backgroundColor();
    double const luminance = bar ? 0.299 * bar->red() + 0.587 * bar->green() + 0.114 * bar->blue() : 1;
    Color const text = luminance < 0.5 ? Color::whiteColor() : Color::blackColor();
    title_->setTextColor(text);
    back_->setTitleColor(text, ControlState::Normal);
}

// The title is centred in the bar, keeping clear of the back button on both sides.
void NavigationBar::layoutSubviews()
{
    View::layoutSubviews();
    Rect const b = bounds();
    back_->setFrame(Rect(b.minX() + barMargin, b.minY(), backWidth, b.height()));
    double const side = barMargin + backWidth + barMargin;
    title_->setFrame(Rect(b.minX() + side, b.minY(), std::max(0.0, b.width() - 2 * side), b.height()));
}

std::shared_ptr<NavigationController> NavigationController::withRootViewController(std::shared_ptr<ViewController> root)
{
    auto nav = newObject<NavigationController>();
    if (root) {
        nav->addChildViewController(root);
        nav->stack_.push_back(std::move(root));
    }
    return nav;
}

NavigationBar* NavigationController::navigationBar()
{
    if (!bar_) {
        bar_ = std::make_shared<NavigationBar>(Rect(0, 0, defaultViewSize().width, barHeight));
        bar_->backButton()->addTarget(this, &NavigationController::actionBack, ControlEvents::TouchUpInside);
        updateBar();
    }
    return bar_.get();
}

View* NavigationController::toolbar()
{
    if (!toolbar_) {
        toolbar_ = std::make_shared<View>(Rect(0, 0, defaultViewSize().width, toolbarHeight));
        toolbar_->setBackgroundColor(Color(0.97, 0.97, 0.97, 1));
    }
    return toolbar_.get();
}

void NavigationController::viewDidLoad()
{
    navigationBar();
    bar_->setFrame(Rect(0, 0, view()->bounds().width(), barHeight));
    bar_->setHidden(barHidden_);
    view()->addSubview(bar_);
    toolbar();
    toolbar_->setHidden(toolbarHidden_);
    view()->addSubview(toolbar_);
    if (ViewController* top = topViewController()) {
        auto v = top->sharedView();
        v->setFrame(contentFrame());
        view()->insertSubview(v, 0);
    }
    updateBar();
}

void NavigationController::viewWillAppear(bool animated)
{
    view()->setNeedsLayout();
    onScreen_ = true;
    if (ViewController* top = topViewController())
        top->beginAppearance(animated);
}

void NavigationController::viewDidAppear(bool animated)
{
    if (ViewController* top = topViewController())
        top->endAppearance(animated);
}

void NavigationController::viewWillDisappear(bool animated)
{
    if (ViewController* top = topViewController())
        top->beginDisappearance(animated);
}

void NavigationController::viewDidDisappear(bool animated)
{
    onScreen_ = false;
    if (ViewController* top = topViewController())
        top->endDisappearance(animated);
}

Rect NavigationController::contentFrame()
{
    Rect b = view()->bounds();
    double top = barHidden_ ? 0 : barHeight;
    double bottom = toolbarHidden_ ? 0 : toolbarHeight;
    return Rect(b.minX(), b.minY() + top, b.width(), std::max(0.0, b.height() - top - bottom));
}

void NavigationController::viewDidLayoutSubviews()
{
    if (bar_)
        bar_->setFrame(Rect(0, 0, view()->bounds().width(), barHeight));
    if (toolbar_) {
        Rect const b = view()->bounds();
        toolbar_->setFrame(Rect(0, b.maxY() - toolbarHeight, b.width(), toolbarHeight));
    }
    if (ViewController* top = topViewController(); top && top->isViewLoaded())
        top->view()->setFrame(contentFrame());
    // A controller may name itself once its view is loaded.
    updateBar();
}

void NavigationController::updateBar()
{
    if (!bar_)
        return;
    ViewController* top = topViewController();
    bar_->showItem(top ? top->title() : std::string(), stack_.size() > 1);
}

void NavigationController::actionBack(Control*)
{
    popViewControllerAnimated(true);
}

ViewController* NavigationController::topViewController() const
{
    return stack_.empty() ? nullptr : stack_.back().get();
}

void NavigationController::show(ViewController* incoming, ViewController* outgoing, bool animated)
{
    if (!isViewLoaded()) {
        updateBar();
        return;
    }
    // Off screen the views are swapped silently: the new top is told when the stack appears.
    bool const tell = onScreen_;
    if (tell && outgoing)
        outgoing->beginDisappearance(animated);
    if (tell && incoming)
        incoming->beginAppearance(animated);
    if (outgoing && outgoing->isViewLoaded())
        outgoing->view()->removeFromSuperview();
    if (incoming) {
        auto v = incoming->sharedView();
        v->setFrame(contentFrame());
        view()->insertSubview(v, 0);
        v->layoutIfNeeded();
    }
    updateBar();
    if (tell && outgoing)
        outgoing->endDisappearance(animated);
    if (tell && incoming)
        incoming->endAppearance(animated);
}

void NavigationController::pushViewController(std::shared_ptr<ViewController> controller, bool animated)
{
    if (!controller)
        return;
    ViewController* outgoing = topViewController();
    addChildViewController(controller);
    stack_.push_back(controller);
    show(controller.get(), outgoing, animated);
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated)
{
    if (stack_.size() < 2)
        return nullptr;
    auto popped = stack_.back();
    stack_.pop_back();
    show(topViewController(), popped.get(), animated);
    popped->removeFromParentViewController();
    return popped;
}

void NavigationController::popToRootViewControllerAnimated(bool animated)
{
    if (stack_.size() < 2)
        return;
    // One transition from the top to the root: the controllers between never show.
    std::vector<std::shared_ptr<ViewController>> removed(stack_.begin() + 1, stack_.end());
    stack_.resize(1);
    show(topViewController(), removed.back().get(), animated);
    for (auto const& c : removed)
        c->removeFromParentViewController();
}

void NavigationController::setToolbarHidden(bool hidden, bool)
{
    toolbarHidden_ = hidden;
    if (toolbar_)
        toolbar_->setHidden(hidden);
    if (isViewLoaded())
        view()->setNeedsLayout();
}

void NavigationController::setNavigationBarHidden(bool hidden, bool)
{
    barHidden_ = hidden;
    if (bar_)
        bar_->setHidden(hidden);
    if (isViewLoaded())
        view()->setNeedsLayout();
}

} // namespace Platform
