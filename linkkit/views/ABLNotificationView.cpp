#include "linkkit/views/ABLNotificationView.h"

#include "linkkit/ABLLinkKeys.h"
#include "linkkit/views/ABLLinkTexts.h"
#include "linkkit/views/ABLNotificationWindow.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/StringDrawing.h"
#include "platform/ui/Label.h"

#include <algorithm>

namespace {

using Platform::Rect;

constexpr char const* suppressNotificationsKey = "ABLLinkSuppressNotifications";
constexpr double labelMargin = 8;

// Class-wide state of the banner: the window (made once), the banner up now with its top edge,
// and the timer that takes it away.
struct BannerState {
    std::shared_ptr<ABLNotificationWindow> window;
    std::shared_ptr<ABLNotificationView> current;
    std::shared_ptr<Platform::Timer> timer;
    ABLNotificationView::KeyWindowSource keyWindow;
    ABLNotificationView::ActiveSource active;
};

BannerState& state()
{
    static BannerState s;
    return s;
}

bool infoFlag(char const* key)
{
    auto bundle = Platform::Bundle::main();
    Platform::Value const* value = bundle ? bundle->objectForInfoDictionaryKey(key) : nullptr;
    return value && value->boolValue();
}

void setTop(ABLNotificationView& banner, double top)
{
    Rect f = banner.frame();
    banner.setFrame(Rect(f.origin.x, top, f.width(), f.height()));
}

} // namespace

void ABLNotificationView::setKeyWindowSource(KeyWindowSource source) { state().keyWindow = std::move(source); }

void ABLNotificationView::setApplicationActiveSource(ActiveSource source) { state().active = std::move(source); }

ABLNotificationView::ABLNotificationView(Rect frame)
    : View(frame)
{
    setBackgroundColor(bannerColor);
    setOpaque(true);
    setUserInteractionEnabled(false);
}

ABLNotificationView* ABLNotificationView::currentNotification() { return state().current.get(); }

ABLNotificationWindow* ABLNotificationView::bannerWindow() { return state().window.get(); }

Platform::Timer* ABLNotificationView::durationTimer() { return state().timer.get(); }

void ABLNotificationView::showNotificationMessage(unsigned long peers)
{
    if (infoFlag(suppressNotificationsKey))
        return;
    if (!Platform::UserDefaults::standard()->boolForKey(kABLNotificationEnabledKey))
        return;
    if (!state().active || !state().active())
        return;
    flashNotificationInIfNeeded();
    updateNotificationText(createNotificationTextForNumberOfPeers(peers));
}

void ABLNotificationView::flashNotificationInIfNeeded()
{
    if (!state().current)
        createAndAnimateNotificationIn();
    else
        resetNotificationDurationTimer();
}

std::string ABLNotificationView::createNotificationTextForNumberOfPeers(unsigned long peers)
{
    return ABLLinkTexts::bannerText(peers);
}

void ABLNotificationView::updateNotificationText(std::string const& text)
{
    if (auto const& banner = state().current) {
        banner->messageLabel()->setText(text);
        banner->setNeedsLayout();
    }
}

std::shared_ptr<Platform::Window> ABLNotificationView::notificationWindow()
{
    return state().keyWindow ? state().keyWindow() : nullptr;
}

void ABLNotificationView::prepareNotificationWindowIfNeeded()
{
    auto& s = state();
    if (!s.window) {
        s.window = std::make_shared<ABLNotificationWindow>(Rect(0, 0, 0, 0));
        s.window->setAutoresizingMask(Platform::Autoresizing::FlexibleWidth | Platform::Autoresizing::FlexibleHeight);
    }
    s.window->setWindowLevel(ABLNotificationWindow::statusBarWindowLevel + 1);
}

void ABLNotificationView::createAndAnimateNotificationIn()
{
    prepareNotificationWindowIfNeeded();
    auto keyWindow = notificationWindow();
    if (!keyWindow)
        return;
    auto& s = state();
    s.window->setFrame(keyWindow->frame());
    if (Platform::ViewController* root = keyWindow->rootViewController())
        s.window->setForwardedRootVC(std::static_pointer_cast<Platform::ViewController>(root->shared_from_this()));

    double const height = preferredNotificationHeight();
    auto banner = std::make_shared<ABLNotificationView>(Rect(0, -height, s.window->bounds().width(), height));
    s.window->addSubview(banner);
    s.current = banner;
    s.window->layoutIfNeeded();
    s.window->setHidden(false);

    std::weak_ptr<ABLNotificationView> weak = banner;
    Platform::View::animateWithDuration(
        slideInSeconds, [weak] { if (auto b = weak.lock()) setTop(*b, 0); },
        [](bool) { resetNotificationDurationTimer(); });
}

void ABLNotificationView::resetNotificationDurationTimer()
{
    auto& s = state();
    if (s.timer)
        s.timer->invalidate();
    s.timer = Platform::RunLoop::main().scheduledTimer(durationSeconds, false,
                                                       [](Platform::Timer&) { dismissNotificationIfNeeded(); });
}

void ABLNotificationView::dismissNotificationIfNeeded()
{
    auto& s = state();
    if (!s.current)
        return;
    auto banner = std::move(s.current);
    s.current.reset();
    double const height = banner->frame().height();
    Platform::View::animateWithDuration(
        slideOutSeconds, [banner, height] { setTop(*banner, -height); },
        [banner](bool) {
            banner->removeFromSuperview();
            auto& st = state();
            if (!st.current && st.window)
                st.window->setHidden(true);
        });
}

double ABLNotificationView::preferredNotificationHeight()
{
    auto keyWindow = notificationWindow();
    return baseHeight + (keyWindow ? keyWindow->safeAreaInsets().top : 0);
}

Platform::Label* ABLNotificationView::messageLabel()
{
    if (!label_) {
        label_ = std::make_shared<Platform::Label>();
        label_->setTextColor(Platform::Color::whiteColor());
        label_->setFont(Platform::Font::systemFont(messageFontSize));
        label_->setTextAlignment(Platform::TextAlignment::Center);
        addSubview(label_);
        setNeedsLayout();
    }
    return label_.get();
}

// "|-[label]-|" and "V:[label]-|": the label spans the width inside the margins and sits on the
// bottom margin, below any safe-area inset at the top.
void ABLNotificationView::layoutSubviews()
{
    View::layoutSubviews();
    if (!label_)
        return;
    Rect const b = bounds();
    double const lineHeight = 20;
    double const width = std::max(0.0, b.width() - 2 * labelMargin);
    label_->setFrame(Rect(labelMargin, b.height() - labelMargin - lineHeight + 4, width, lineHeight));
    // A text wider than the label shrinks to fit it: first in proportion, then in half points while
    // the rounded glyph advances still overflow.
    Platform::Font font = Platform::Font::systemFont(messageFontSize);
    double const advance = Platform::StringDrawing::advance(label_->text(), font);
    if (advance > width && advance > 0) {
        font = font.withSize(std::max(1.0, messageFontSize * width / advance));
        while (font.pointSize() > 1 && Platform::StringDrawing::advance(label_->text(), font) > width)
            font = font.withSize(std::max(1.0, font.pointSize() - 0.5));
    }
    label_->setFont(font);
}
