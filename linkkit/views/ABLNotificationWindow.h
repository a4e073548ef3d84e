#pragma once

#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <memory>

// The root controller of the banner's window: it stands in for the app's own root controller
// (the forwarded one), so that the banner never changes the app's status bar or orientation.
class _ABLForwardingVC : public Platform::ViewController {
public:
    Platform::ViewController* forwardedViewController() const { return forwarded_.lock().get(); }
    void setForwardedViewController(std::weak_ptr<Platform::ViewController> controller) { forwarded_ = std::move(controller); }

private:
    std::weak_ptr<Platform::ViewController> forwarded_;
};

// The window in which the peer-count banner slides in above the app's key window.
class ABLNotificationWindow : public Platform::Window {
public:
    // The status bar's level; the banner window sits just above it.
    static constexpr double statusBarWindowLevel = 1000;

    explicit ABLNotificationWindow(Platform::Rect frame);

    double windowLevel() const { return level_; }
    void setWindowLevel(double level) { level_ = level; }

    Platform::ViewController* forwardedRootVC() const { return forwarded_.lock().get(); }
    // Wraps the controller in a forwarding controller that becomes this window's root.
    void setForwardedRootVC(std::shared_ptr<Platform::ViewController> const& controller);

private:
    double level_ = 0;
    std::weak_ptr<Platform::ViewController> forwarded_;
};
