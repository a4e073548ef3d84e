#pragma once

#include "platform/ui/ViewController.h"

#include <memory>
#include <vector>

namespace Platform {

// The bar at the top of a navigation stack.
class NavigationBar : public View {
public:
    using View::View;
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent) { translucent_ = translucent; }

private:
    bool translucent_ = true;
};

// A stack of controllers: the top one's view fills the space between the bar and the toolbar
// (hidden until a controller shows it). The top controller
// appears and disappears with the navigation controller, and on each push and pop while it is
// on screen; a subclass overriding the appearance hooks calls the base ones.
class NavigationController : public ViewController {
public:
    static constexpr double barHeight = 44;
    static constexpr double toolbarHeight = 44;

    static std::shared_ptr<NavigationController> withRootViewController(std::shared_ptr<ViewController> root);

    void pushViewController(std::shared_ptr<ViewController> controller, bool animated);
    // Answers the controller taken off; the root is never popped.
    std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
    void popToRootViewControllerAnimated(bool animated);
    ViewController* topViewController() const;
    std::vector<std::shared_ptr<ViewController>> const& viewControllers() const { return stack_; }

    NavigationBar* navigationBar();
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated);
    // The bar at the bottom of the stack; hidden by default.
    View* toolbar();
    bool isToolbarHidden() const { return toolbarHidden_; }
    void setToolbarHidden(bool hidden, bool animated);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void viewDidLayoutSubviews() override;

private:
    void show(ViewController* incoming, ViewController* outgoing, bool animated);
    Rect contentFrame();

    std::vector<std::shared_ptr<ViewController>> stack_;
    std::shared_ptr<NavigationBar> bar_;
    bool barHidden_ = false;
    std::shared_ptr<View> toolbar_;
    bool toolbarHidden_ = true;
    // From its own will-appear to its did-disappear: the top controller is on screen with it.
    bool onScreen_ = false;
};

} // namespace Platform
