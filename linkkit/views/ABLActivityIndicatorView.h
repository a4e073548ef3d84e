#pragma once

#include "platform/ui/View.h"

#include <chrono>
#include <memory>

namespace Platform {
class Timer;
}

// The spinning wheel beside the "Browsing" text of the settings view: twelve spokes whose darkest
// one steps round once a second while it animates. Main thread only.
class ABLActivityIndicatorView : public Platform::View {
public:
    static constexpr double side = 20;
    static constexpr int spokes = 12;

    ABLActivityIndicatorView();
    ~ABLActivityIndicatorView() override;

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return animating_; }
    // The spoke drawn darkest now.
    int leadingSpoke() const;

    Platform::Size sizeThatFits(Platform::Size) const override { return {side, side}; }
    void drawRect(Platform::Rect const& rect) override;

private:
    bool animating_ = false;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::shared_ptr<Platform::Timer> timer_;
};
