#include "linkkit/views/ABLNotificationWindow.h"

ABLNotificationWindow::ABLNotificationWindow(Platform::Rect frame)
    : Window(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
    setOpaque(false);
    setUserInteractionEnabled(false);
}

void ABLNotificationWindow::setForwardedRootVC(std::shared_ptr<Platform::ViewController> const& controller)
{
    forwarded_ = controller;
    auto forwarding = std::make_shared<_ABLForwardingVC>();
    forwarding->setForwardedViewController(controller);
    setRootViewController(forwarding);
}
