#include "controls/presentation/PopoverMessageViewController.h"

#include "platform/graphics/StringDrawing.h"

Platform::Font PopoverMessageViewController::messageFont()
{
    return Platform::Font("Helvetica", 12);
}

std::shared_ptr<PopoverMessageViewController> PopoverMessageViewController::withMessage(std::string message)
{
    auto controller = Platform::newObject<PopoverMessageViewController>();
    if (!controller || !controller->initWithMessage(std::move(message)))
        return nullptr;
    return controller;
}

bool PopoverMessageViewController::initWithMessage(std::string message)
{
    message_ = std::move(message);
    Platform::TextAttributes attributes;
    attributes.font = messageFont();
    sizeMessage_ = Platform::StringDrawing::size(message_, attributes);
    contentSize_ = {sizeMessage_.width + 20, sizeMessage_.height + 20};
    return true;
}

void PopoverMessageViewController::viewDidLoad()
{
    Platform::ViewController::viewDidLoad();
    labelMessage_ = std::make_shared<Platform::Label>(Platform::Rect({10, 10}, sizeMessage_));
    labelMessage_->setFont(messageFont());
    labelMessage_->setTextAlignment(Platform::TextAlignment::Center);
    labelMessage_->setText(message_);
    view()->addSubview(labelMessage_);
}

void PopoverMessageViewController::viewSafeAreaInsetsDidChange()
{
    Platform::ViewController::viewSafeAreaInsetsDidChange();
    if (!labelMessage_)
        return;
    Platform::EdgeInsets insets = view()->safeAreaInsets();
    Platform::Rect f = labelMessage_->frame();
    labelMessage_->setFrame(Platform::Rect(f.origin.x + insets.left, f.origin.y + insets.top, f.size.width, f.size.height));
}
