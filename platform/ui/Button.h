#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/Control.h"
#include "platform/ui/Label.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace Platform {

// A control with a title and an image for each state. A state without its own falls back to
// the normal state's.
class Button : public Control {
public:
    enum class Type : int { Custom = 0, System = 1 };

    explicit Button(Rect frame = {}, Type type = Type::Custom);

    Type buttonType() const { return type_; }

    void setTitle(std::optional<std::string> title, unsigned long state);
    std::optional<std::string> titleForState(unsigned long state) const;
    void setTitleColor(std::optional<Color> color, unsigned long state);
    std::optional<Color> titleColorForState(unsigned long state) const;
    void setImage(Image image, unsigned long state);
    Image imageForState(unsigned long state) const;

    // What the current state shows.
    std::string currentTitle() const;
    Color currentTitleColor() const;
    Image currentImage() const;
    Label* titleLabel();

    void setEnabled(bool enabled) override;
    void setSelected(bool selected) override;
    void setHighlighted(bool highlighted) override;
    void layoutSubviews() override;
    void drawRect(Rect const& rect) override;

private:
    void refresh();
    template <class V>
    static std::optional<V> lookup(std::map<unsigned long, V> const& table, unsigned long state);

    Type type_;
    std::map<unsigned long, std::string> titles_;
    std::map<unsigned long, Color> titleColors_;
    std::map<unsigned long, Image> images_;
    std::shared_ptr<Label> titleLabel_;
};

} // namespace Platform
