#include "app/Application.h"

#include "platform/foundation/NotificationCenter.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace AppShell {

namespace {

constexpr double kDefaultScreenWidth = 1366;
constexpr double kDefaultScreenHeight = 1024;

bool readDimension(char const* first, char const* last, double& value) {
    int parsed = 0;
    auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last || parsed <= 0 || parsed > 16384)
        return false;
    value = parsed;
    return true;
}

} // namespace

Platform::Rect Application::mainScreenBounds() {
    double width = kDefaultScreenWidth, height = kDefaultScreenHeight;
    if (char const* size = std::getenv("CORVANE_SCREEN_SIZE"); size != nullptr) {
        char const* end = size + std::strlen(size);
        char const* x = std::strchr(size, 'x');
        double w = 0, h = 0;
        if (x != nullptr && readDimension(size, x, w) && readDimension(x + 1, end, h)) {
            width = w;
            height = h;
        }
    }
    return Platform::Rect(0, 0, width, height);
}

bool Application::launch(Platform::Dictionary const& options) {
    if (launched_ || !delegate_)
        return false;
    launched_ = true;
    state_ = State::Inactive;
    return delegate_->application_didFinishLaunchingWithOptions(*this, options);
}

void Application::becomeActive() {
    if (!delegate_ || state_ == State::Active)
        return;
    if (state_ == State::Background)
        enterForeground();
    state_ = State::Active;
    delegate_->applicationDidBecomeActive(*this);
}

void Application::resignActive() {
    if (!delegate_ || state_ != State::Active)
        return;
    state_ = State::Inactive;
    delegate_->applicationWillResignActive(*this);
}

void Application::enterBackground() {
    if (!delegate_ || state_ == State::Background)
        return;
    resignActive();
    state_ = State::Background;
    delegate_->applicationDidEnterBackground(*this);
}

void Application::enterForeground() {
    if (!delegate_ || state_ != State::Background)
        return;
    delegate_->applicationWillEnterForeground(*this);
    Platform::NotificationCenter::defaultCenter().post(willEnterForegroundNotification, this);
    state_ = State::Inactive;
}

void Application::terminate() {
    if (delegate_)
        delegate_->applicationWillTerminate(*this);
}

bool Application::openURL(URL const& url, Platform::Dictionary const& options) {
    return delegate_ && delegate_->application_openURL(*this, url, options);
}

} // namespace AppShell
