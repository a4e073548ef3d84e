#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

// A popover that shows one line of text, sized to the text with a 10-point margin.
class PopoverMessageViewController : public Platform::ViewController {
public:
    static std::shared_ptr<PopoverMessageViewController> withMessage(std::string message);

    // Keeps the text and measures it in Helvetica 12.
    bool initWithMessage(std::string message);

    // The size the presenter gives the popover.
    Platform::Size contentSize() const { return contentSize_; }
    void setContentSize(Platform::Size size) { contentSize_ = size; }

    std::string const& message() const { return message_; }
    Platform::Label* label() const { return labelMessage_.get(); }

    void viewDidLoad() override;
    // Moves the label by the root view's safe-area insets, from wherever it is.
    void viewSafeAreaInsetsDidChange() override;

    static Platform::Font messageFont();

private:
    std::string message_;
    Platform::Size sizeMessage_{};
    std::shared_ptr<Platform::Label> labelMessage_;
    Platform::Size contentSize_{};
};
