#pragma once

#include "platform/graphics/Font.h"
#include "platform/ui/Control.h"

#include <string>

namespace Platform {

// One line of editable text. Editing is the host's (or a test's) business: it sets the text
// as the user types, which sends editing-changed.
class TextField : public Control {
public:
    enum class ViewMode : int { Never = 0, WhileEditing = 1, UnlessEditing = 2, Always = 3 };
    enum class KeyboardType : int { Default = 0, AsciiCapable = 1, NumbersAndPunctuation = 2, NumberPad = 4 };

    explicit TextField(Rect frame = {});

    std::string const& text() const { return text_; }
    void setText(std::string text);
    // The user's edit: sets the text and reports it.
    void typeText(std::string text);
    std::string const& placeholder() const { return placeholder_; }
    void setPlaceholder(std::string placeholder) { placeholder_ = std::move(placeholder); }
    ViewMode clearButtonMode() const { return clearButtonMode_; }
    void setClearButtonMode(ViewMode mode) { clearButtonMode_ = mode; }
    KeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(KeyboardType type) { keyboardType_ = type; }
    Font const& font() const { return font_; }
    void setFont(Font font) { font_ = std::move(font); }

    void drawRect(Rect const& rect) override;

private:
    std::string text_;
    std::string placeholder_;
    ViewMode clearButtonMode_ = ViewMode::Never;
    KeyboardType keyboardType_ = KeyboardType::Default;
    Font font_ = Font::systemFont(14);
};

} // namespace Platform
