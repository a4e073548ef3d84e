#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Device.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/Responder.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

class NavigationController;
class PopoverPresentationController;

// How a presented controller is shown, numbered as the platform does.
enum class ModalPresentationStyle : int {
    Automatic = -2,
    None = -1,
    FullScreen = 0,
    PageSheet = 1,
    FormSheet = 2,
    CurrentContext = 3,
    Custom = 4,
    OverFullScreen = 5,
    OverCurrentContext = 6,
    Popover = 7,
};

enum class ModalTransitionStyle : int { CoverVertical = 0, FlipHorizontal = 1, CrossDissolve = 2, PartialCurl = 3 };

// What a presentation adapts to: the kind of device and whether the width is compact (a phone).
struct TraitCollection {
    UserInterfaceIdiom idiom = UserInterfaceIdiom::Pad;
    bool horizontallyCompact = false;

    static TraitCollection current();
};

// The controller of one screen: it owns its root view, loads it on first use (from the
// interface file it was created with, else a plain view), and presents other controllers over
// itself. A presented controller is owned by its presenter until dismissed.
class ViewController : public Responder {
public:
    ViewController();
    ~ViewController() override;

    // The platform's initialiser with an interface file; an empty name loads no file.
    virtual bool initWithNibName(std::string nibName, std::shared_ptr<Bundle> bundle);
    std::string const& nibName() const { return nibName_; }
    std::shared_ptr<Bundle> const& nibBundle() const { return nibBundle_; }

    // The root view, loaded (loadView, then viewDidLoad) on first use.
    View* view();
    std::shared_ptr<View> sharedView();
    bool isViewLoaded() const { return view_ != nullptr; }
    void loadViewIfNeeded();
    void setView(std::shared_ptr<View> view);

    std::string const& title() const { return title_; }
    void setTitle(std::string title) { title_ = std::move(title); }

    // Life of the view.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool) {}
    virtual void viewDidAppear(bool) {}
    virtual void viewWillDisappear(bool) {}
    virtual void viewDidDisappear(bool) {}
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}
    virtual void viewSafeAreaInsetsDidChange() {}
    bool isVisible() const { return visible_; }

    // Presentation.
    ModalPresentationStyle modalPresentationStyle() const { return presentationStyle_; }
    void setModalPresentationStyle(ModalPresentationStyle style) { presentationStyle_ = style; }
    ModalTransitionStyle modalTransitionStyle() const { return transitionStyle_; }
    void setModalTransitionStyle(ModalTransitionStyle style) { transitionStyle_ = style; }
    Size preferredContentSize() const { return preferredContentSize_; }
    void setPreferredContentSize(Size size) { preferredContentSize_ = size; }
    // Made on first request while the style is popover; none otherwise.
    PopoverPresentationController* popoverPresentationController();

    // Shows the controller over this one (over the controller this one already presents, if
    // any); it appears at once, and the completion runs when it has.
    void presentViewController(std::shared_ptr<ViewController> controller, bool animated,
                               std::function<void()> completion = {});
    // Dismisses what this controller presents, or this controller when it presents nothing and
    // is presented itself.
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
    ViewController* presentedViewController() const { return presented_.get(); }
    ViewController* presentingViewController() const { return presenting_; }
    // The style the presentation took after adapting to the device (popovers may become full
    // screen on a phone); None while not presented.
    ModalPresentationStyle presentationStyleInEffect() const { return styleInEffect_; }

    // Containment.
    void addChildViewController(std::shared_ptr<ViewController> child);
    void removeFromParentViewController();
    ViewController* parentViewController() const { return parent_; }
    std::vector<std::shared_ptr<ViewController>> const& childViewControllers() const { return children_; }
    NavigationController* navigationController() const;

    // The screen edges whose system gestures wait for the program's own (a bit set of
    // top 1, left 2, bottom 4, right 8); the host asks again after an update request.
    virtual unsigned preferredScreenEdgesDeferringSystemGestures() const { return 0; }
    void setNeedsUpdateOfScreenEdgesDeferringSystemGestures() { ++screenEdgeUpdates_; }
    unsigned screenEdgeUpdateRequests() const { return screenEdgeUpdates_; }

    bool extendedLayoutIncludesOpaqueBars() const { return extendedLayoutIncludesOpaqueBars_; }
    void setExtendedLayoutIncludesOpaqueBars(bool includes) { extendedLayoutIncludesOpaqueBars_ = includes; }
    unsigned edgesForExtendedLayout() const { return edgesForExtendedLayout_; }
    void setEdgesForExtendedLayout(unsigned edges) { edgesForExtendedLayout_ = edges; }

    Responder* nextResponder() const override;

    // Appearance calls for a view that enters or leaves the screen: each sends the hooks in turn.
    void beginAppearance(bool animated);
    void endAppearance(bool animated);
    void beginDisappearance(bool animated);
    void endDisappearance(bool animated);

    // The size a root view gets when nothing else sizes it.
    static Size defaultViewSize();

private:
    friend class Window;
    void placePresentedView();
    void finishDismissal(bool animated);

    std::string nibName_;
    std::shared_ptr<Bundle> nibBundle_;
    std::shared_ptr<View> view_;
    bool loading_ = false;
    std::string title_;
    bool visible_ = false;
    ModalPresentationStyle presentationStyle_ = ModalPresentationStyle::Automatic;
    ModalTransitionStyle transitionStyle_ = ModalTransitionStyle::CoverVertical;
    ModalPresentationStyle styleInEffect_ = ModalPresentationStyle::None;
    Size preferredContentSize_{};
    std::shared_ptr<PopoverPresentationController> popover_;
    std::shared_ptr<ViewController> presented_;
    ViewController* presenting_ = nullptr;
    ViewController* parent_ = nullptr;
    std::vector<std::shared_ptr<ViewController>> children_;
    bool extendedLayoutIncludesOpaqueBars_ = false;
    unsigned edgesForExtendedLayout_ = 15;
    unsigned screenEdgeUpdates_ = 0;
};

} // namespace Platform
