#pragma once

#include <atomic>
#include <memory>

#include "app/URL.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Geometry.h"

namespace AppShell {

class Application;

// What the app's delegate hears of its life cycle; each call comes on the main thread from the
// application object that the delegate was given to.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;

    // False ends the launch: the application reports it and does not go on.
    virtual bool application_didFinishLaunchingWithOptions(Application& application,
                                                           Platform::Dictionary const& options) = 0;
    virtual void applicationDidBecomeActive(Application&) {}
    virtual void applicationWillResignActive(Application&) {}
    virtual void applicationDidEnterBackground(Application&) {}
    virtual void applicationWillEnterForeground(Application&) {}
    virtual void applicationWillTerminate(Application&) {}
    // A document another app hands over.
    virtual bool application_openURL(Application&, URL const&, Platform::Dictionary const&) { return false; }
};

// The app's process as the system sees it: its state (active, inactive, background), its idle
// timer, the screen it shows on and the delegate that handles its life cycle. Whatever starts
// the app (main, or a test standing in for the system) drives the transitions below; each one
// changes the state first and then tells the delegate, as the platform does.
class Application : public Platform::Object {
public:
    enum class State { Active, Inactive, Background };

    // Posted on the default notification centre as the app leaves the background, after its
    // delegate was told.
    static constexpr char const* willEnterForegroundNotification = "UIApplicationWillEnterForegroundNotification";

    // The delegate is kept for the life of the application.
    void setDelegate(std::shared_ptr<ApplicationDelegate> delegate) { delegate_ = std::move(delegate); }
    ApplicationDelegate* delegate() const { return delegate_.get(); }

    // Any thread (observers of other services ask it on theirs).
    State applicationState() const { return state_.load(); }
    bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
    void setIdleTimerDisabled(bool disabled) { idleTimerDisabled_ = disabled; }
    bool isLaunched() const { return launched_; }

    // The screen the app's window covers: a pad in landscape unless "CORVANE_SCREEN_SIZE"
    // ("1366x1024") says otherwise.
    static Platform::Rect mainScreenBounds();

    // ---- transitions
    // Not launched → inactive; answers what the delegate answered.
    bool launch(Platform::Dictionary const& options = {});
    // Inactive (or background, through inactive) → active.
    void becomeActive();
    // Active → inactive.
    void resignActive();
    // Any state → background (resigning first when active).
    void enterBackground();
    // Background → inactive.
    void enterForeground();
    void terminate();
    // Another app hands over a document; false when there is no delegate.
    bool openURL(URL const& url, Platform::Dictionary const& options = {});

private:
    std::shared_ptr<ApplicationDelegate> delegate_;
    std::atomic<State> state_{State::Inactive};
    bool idleTimerDisabled_ = false;
    bool launched_ = false;
};

} // namespace AppShell
