#include "controls/button/Lumora_CmndButton.h"

#include "controls/painter/Lumora_Painter.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/StringDrawing.h"

#include <string_view>

namespace {

using IconRequest = void (Lumora_Painter::*)(Platform::Rect const&, Platform::Color const&, bool);

struct Icon {
    std::string_view name;
    IconRequest request;
};

// Every icon drawn with (frame, foreground, pressed); "Alt" also takes the selected flag and is
// handled on its own.
constexpr Icon icons[] = {
#define LUMORA_ICON_ENTRY(name) {#name, &Lumora_Painter::drawIcon##name##WithFrame},
    LUMORA_PAINTER_COMMAND_ICONS(LUMORA_ICON_ENTRY)
#undef LUMORA_ICON_ENTRY
};

// The first character of a UTF-8 name (a whole code point, never half of one).
std::string_view firstCharacter(std::string_view name)
{
    std::size_t length = 1;
    while (length < name.size() && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
        ++length;
    return name.substr(0, length);
}

} // namespace

Lumora_CmndButton::Lumora_CmndButton(Platform::Rect frame) : Platform::Button(frame)
{
    initCommandButton();
}

void Lumora_CmndButton::awakeFromNib()
{
    Platform::Button::awakeFromNib();
    initCommandButton();
}

void Lumora_CmndButton::initCommandButton()
{
    setBackgroundColor(Platform::Color::clearColor());
    addTarget(static_cast<Platform::View*>(this), &Platform::View::setNeedsDisplay, Platform::ControlEvents::AllEvents);
}

void Lumora_CmndButton::setImageName(std::optional<std::string> name)
{
    imageName_ = std::move(name);
    setNeedsDisplay();
}

void Lumora_CmndButton::setVariation(int32_t variation)
{
    variation_ = variation;
    setNeedsDisplay();
}

std::optional<Platform::Color> Lumora_CmndButton::foregroundColorWithState(unsigned long state)
{
    return Lumora_Painter::sharedInstance()->commandButton_foregroundColorWithState(this, state);
}

std::optional<Platform::Color> Lumora_CmndButton::backgroundColorWithState(unsigned long state)
{
    return Lumora_Painter::sharedInstance()->commandButton_backgroundColorWithState(this, state);
}

void Lumora_CmndButton::drawRect(Platform::Rect const& rect)
{
    unsigned long const state = this->state();
    // A theme without a colour leaves the context's own fill, which starts black.
    Platform::Color const fg = foregroundColorWithState(state).value_or(Platform::Color::blackColor());
    bool const pressed = (state & Platform::ControlState::Highlighted) != 0;
    bool const selected = (state & Platform::ControlState::Selected) != 0;
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();

    if (isAltButton()) {
        painter->drawIconAltWithFrame(rect, fg, selected, pressed);
        return;
    }
    if (imageName_)
        for (Icon const& icon : icons)
            if (icon.name == *imageName_) {
                (painter->*icon.request)(rect, fg, pressed);
                return;
            }
    drawLetter(fg);
}

void Lumora_CmndButton::drawLetter(Platform::Color const& foreground) const
{
    std::string_view const name = imageName_ ? std::string_view(*imageName_) : std::string_view();
    std::string_view const text = name.empty() ? std::string_view("?") : firstCharacter(name);
    foreground.setFill();
    Platform::TextAttributes attributes;
    attributes.font = Platform::Font::withName("Helvetica", 18);
    attributes.color = foreground;
    // At a fixed point of the button, whatever rectangle is being redrawn.
    Platform::StringDrawing::drawAtPoint(text, {5, 2}, attributes);
}
