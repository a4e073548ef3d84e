#pragma once

#include "platform/ui/ViewController.h"

#include <string>

#include <memory>
#include <vector>

namespace Platform {

class Button;
class Control;
class Label;

// The bar at the top of a navigation stack: the top controller's title in the middle and, below
// the root, a back button on the left. The text is white on a dark bar and black on a light one.
class NavigationBar : public View {
public:
    explicit NavigationBar(Rect frame = {});
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent) { translucent_ = translucent; }

    Label* titleLabel() const { return title_.get(); }
    Button* backButton() const { return back_.get(); }
    // What the bar shows for the controller on top.
    void showItem(std::string const& title, bool canGoBack);

    void setBackgroundColor(std::optional<Color> color) override;
    void layoutSubviews() override;

private:
    void applyTextColor();

    bool translucent_ = true;
    std::shared_ptr<Label> title_;
    std::shared_ptr<Button> back_;
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

    // The bar's back button.
    void actionBack(Control* sender);

private:
    void show(ViewController* incoming, ViewController* outgoing, bool animated);
    void updateBar();
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
