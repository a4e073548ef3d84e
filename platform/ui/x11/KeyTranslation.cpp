#include "platform/ui/x11/KeyTranslation.h"

#include "platform/ui/KeyboardInput.h"

#include <X11/keysym.h>

namespace Platform::X11 {

namespace {

void appendUtf8(std::string& out, unsigned long cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string textForKeysym(unsigned long keysym)
{
    std::string text;
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF))
        appendUtf8(text, keysym);
    else if (keysym >= 0x1000000 && keysym <= 0x110FFFF) {
        unsigned long const cp = keysym - 0x1000000;
        bool const surrogate = cp >= 0xD800 && cp <= 0xDFFF;
        if (cp >= 0x20 && !surrogate && !(cp >= 0x7F && cp < 0xA0))
            appendUtf8(text, cp);
    }
    return text;
}

void applyKey(KeyboardInput& keyboard, unsigned long keysym, std::string_view text, bool pressed)
{
    if (keysym == XK_Alt_L || keysym == XK_Alt_R || keysym == XK_Meta_L || keysym == XK_Meta_R) {
        keyboard.setAltDown(pressed);
        return;
    }
    if (!pressed)
        return;
    switch (keysym) {
    case XK_BackSpace: keyboard.deleteBackward(); return;
    case XK_Return:
    case XK_KP_Enter: keyboard.enter(); return;
    case XK_Escape: keyboard.escape(); return;
    default: break;
    }
    keyboard.insertText(text);
}

} // namespace Platform::X11
