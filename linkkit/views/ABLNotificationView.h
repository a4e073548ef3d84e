#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>

class ABLNotificationWindow;

namespace Platform {
class Label;
class Timer;
class Window;
} // namespace Platform

// The banner that slides in at the top of the screen when the number of Link peers changes and
// leaves again two seconds after the last change. At most one banner is up; a new count while
// one is up changes its text and restarts its two seconds. Main thread only.
//
// The program tells the kit which window is the key window and whether the application is
// active; without a key window, or while the application is not active, no banner is shown.
class ABLNotificationView : public Platform::View {
public:
    static constexpr double baseHeight = 34;
    static constexpr double slideInSeconds = 0.33;
    static constexpr double slideOutSeconds = 0.23;
    static constexpr double durationSeconds = 2.0;
    static constexpr double messageFontSize = 16;
    static constexpr Platform::Color bannerColor{64.0 / 255, 211.0 / 255, 178.0 / 255, 1};

    using KeyWindowSource = std::function<std::shared_ptr<Platform::Window>()>;
    using ActiveSource = std::function<bool()>;
    static void setKeyWindowSource(KeyWindowSource source);
    static void setApplicationActiveSource(ActiveSource source);

    explicit ABLNotificationView(Platform::Rect frame = {});

    // The peer-count handler's call.
    static void showNotificationMessage(unsigned long peers);

    static void flashNotificationInIfNeeded();
    static std::string createNotificationTextForNumberOfPeers(unsigned long peers);
    static void updateNotificationText(std::string const& text);
    static std::shared_ptr<Platform::Window> notificationWindow();
    static void createAndAnimateNotificationIn();
    static void prepareNotificationWindowIfNeeded();
    static void resetNotificationDurationTimer();
    static void dismissNotificationIfNeeded();
    static double preferredNotificationHeight();

    // What is up now, for the program's rendering and for tests.
    static ABLNotificationView* currentNotification();
    static ABLNotificationWindow* bannerWindow();
    static Platform::Timer* durationTimer();

    // Made on first use: white, centred, one line, its font shrunk when the text is wider than it.
    Platform::Label* messageLabel();
    void layoutSubviews() override;

private:
    std::shared_ptr<Platform::Label> label_;
};
