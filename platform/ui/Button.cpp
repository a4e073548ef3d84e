#include "platform/ui/Button.h"

#include <algorithm>

namespace Platform {

Button::Button(Rect frame, Type type) : Control(frame), type_(type)
{
    setOpaque(false);
}

template <class V>
std::optional<V> Button::lookup(std::map<unsigned long, V> const& table, unsigned long state)
{
    // The exact state, then a highlighted or selected state's own, then normal.
    if (auto it = table.find(state); it != table.end())
        return it->second;
    for (unsigned long bit : {ControlState::Highlighted, ControlState::Selected, ControlState::Disabled})
        if ((state & bit) != 0)
            if (auto it = table.find(bit); it != table.end())
                return it->second;
    if (auto it = table.find(ControlState::Normal); it != table.end())
        return it->second;
    return std::nullopt;
}

void Button::setTitle(std::optional<std::string> title, unsigned long state)
{
    if (title)
        titles_[state] = *title;
    else
        titles_.erase(state);
    refresh();
}

std::optional<std::string> Button::titleForState(unsigned long state) const
{
    return lookup(titles_, state);
}

void Button::setTitleColor(std::optional<Color> color, unsigned long state)
{
    if (color)
        titleColors_[state] = *color;
    else
        titleColors_.erase(state);
    refresh();
}

std::optional<Color> Button::titleColorForState(unsigned long state) const
{
    return lookup(titleColors_, state);
}

void Button::setImage(Image image, unsigned long state)
{
    if (image.isNull())
        images_.erase(state);
    else
        images_[state] = std::move(image);
    setNeedsDisplay();
}

Image Button::imageForState(unsigned long state) const
{
    return lookup(images_, state).value_or(Image());
}

std::string Button::currentTitle() const
{
    return titleForState(state()).value_or("");
}

Color Button::currentTitleColor() const
{
    if (auto c = titleColorForState(state()))
        return *c;
    if (type_ == Type::System)
        return isEnabled() ? tintColor() : Color::lightGrayColor();
    return Color::whiteColor();
}

Image Button::currentImage() const
{
    return imageForState(state());
}

Label* Button::titleLabel()
{
    if (!titleLabel_) {
        titleLabel_ = std::make_shared<Label>(bounds());
        titleLabel_->setTextAlignment(TextAlignment::Center);
        titleLabel_->setFont(Font::systemFont(15));
        titleLabel_->setUserInteractionEnabled(false);
        addSubview(titleLabel_);
        refresh();
    }
    return titleLabel_.get();
}

void Button::refresh()
{
    // The title label is made at the next layout once there is a title.
    if (!titleLabel_ && !titles_.empty())
        setNeedsLayout();
    if (titleLabel_) {
        titleLabel_->setText(currentTitle());
        titleLabel_->setTextColor(currentTitleColor());
    }
    setNeedsDisplay();
}

void Button::setEnabled(bool enabled)
{
    Control::setEnabled(enabled);
    refresh();
}

void Button::setSelected(bool selected)
{
    Control::setSelected(selected);
    refresh();
}

void Button::setHighlighted(bool highlighted)
{
    Control::setHighlighted(highlighted);
    refresh();
}

void Button::layoutSubviews()
{
    if (!titleLabel_ && !titles_.empty())
        titleLabel();
    if (titleLabel_)
        titleLabel_->setFrame(bounds());
}

void Button::drawRect(Rect const&)
{
    Image image = currentImage();
    if (image.isNull())
        return;
    Size s = image.size();
    Rect b = bounds();
    image.drawInRect(Rect(b.midX() - s.width / 2, b.midY() - s.height / 2, s.width, s.height));
}

} // namespace Platform
