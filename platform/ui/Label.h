#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/TextAttributes.h"
#include "platform/ui/View.h"

#include <string>

namespace Platform {

// A view showing text: one line unless more are allowed, centred vertically in its bounds. A tab
// shows as a fixed indent (kTabSpaces spaces), so tab-indented lists line up.
class Label : public View {
public:
    static constexpr int kTabSpaces = 4;

    explicit Label(Rect frame = {});

    std::string const& text() const { return text_; }
    void setText(std::string text);
    Font const& font() const { return font_; }
    void setFont(Font font);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    // 0 allows any number of lines.
    int numberOfLines() const { return lines_; }
    void setNumberOfLines(int lines);

    void drawRect(Rect const& rect) override;
    Size sizeThatFits(Size size) const override;

private:
    TextAttributes attributes() const;
    // The text as drawn: tabs expanded.
    std::string shownText() const;

    std::string text_;
    Font font_ = Font::systemFont(Font::labelFontSize());
    Color textColor_ = Color::blackColor();
    TextAlignment alignment_ = TextAlignment::Left;
    int lines_ = 1;
};

} // namespace Platform
