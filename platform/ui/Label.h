#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/TextAttributes.h"
#include "platform/ui/View.h"

#include <string>

namespace Platform {

// A view showing text: one line (cut at its tail with an ellipsis when wider than the label)
// unless more are allowed, centred vertically in its bounds. A tab
// shows as a fixed indent (kTabSpaces spaces), so tab-indented lists line up.
class Label : public View {
public:
    static constexpr int kTabSpaces = 4;

    explicit Label(Rect frame = {});

    std::string const& text() const { return text_; }
    void setText(std::string text);
    Font const& font() const { return attributes_.font; }
    void setFont(Font font);
    Color textColor() const { return attributes_.color; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return attributes_.alignment; }
    void setTextAlignment(TextAlignment alignment);
    // 0 allows any number of lines.
    int numberOfLines() const { return lines_; }
    void setNumberOfLines(int lines);

    void drawRect(Rect const& rect) override;
    Size sizeThatFits(Size size) const override;

private:
    // The text as drawn: tabs expanded.
    std::string shownText() const;

    std::string text_;
    TextAttributes attributes_{Font::systemFont(Font::labelFontSize()), Color::blackColor(), TextAlignment::Left};
    int lines_ = 1;
};

} // namespace Platform
