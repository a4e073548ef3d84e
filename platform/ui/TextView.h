#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/TextAttributes.h"
#include "platform/ui/EdgeInsets.h"
#include "platform/ui/ScrollView.h"

#include <string>

namespace Platform {

// Scrollable, wrapped text.
class TextView : public ScrollView {
public:
    explicit TextView(Rect frame = {});

    std::string const& text() const { return text_; }
    void setText(std::string text);
    Font const& font() const { return attributes_.font; }
    void setFont(Font font);
    Color textColor() const { return attributes_.color; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return attributes_.alignment; }
    void setTextAlignment(TextAlignment alignment);
    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }
    bool isSelectable() const { return selectable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }
    unsigned dataDetectorTypes() const { return detectors_; }
    void setDataDetectorTypes(unsigned types) { detectors_ = types; }
    EdgeInsets textContainerInset() const { return inset_; }
    void setTextContainerInset(EdgeInsets inset);

    void layoutSubviews() override;
    void drawRect(Rect const& rect) override;

private:
    std::string text_;
    TextAttributes attributes_{Font::systemFont(12), Color::blackColor(), TextAlignment::Left};
    bool editable_ = true;
    bool selectable_ = true;
    unsigned detectors_ = 0;
    EdgeInsets inset_{8, 0, 8, 0};
};

} // namespace Platform
