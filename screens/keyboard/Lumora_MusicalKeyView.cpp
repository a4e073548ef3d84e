#include "screens/keyboard/Lumora_MusicalKeyView.h"

#include "screens/keyboard/LumoraOctKeyView.h"
#include "screens/keyboard/MusicalKeyDrawing.h"

#include <array>

namespace {

int pitchClass(int note)
{
    return ((note % 12) + 12) % 12;
}

// Per pitch class: the white key's index, or for a black key the index of the white key below.
constexpr std::array<int, 12> kWhiteIndex = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
// Per pitch class: the black key's index 0..4, or -1 for a white key.
constexpr std::array<int, 12> kBlackIndex = {-1, 0, -1, 1, -1, -1, 2, -1, 3, -1, 4, -1};

} // namespace

Lumora_MusicalKeyView::Lumora_MusicalKeyView(Platform::Rect frame) : Lumora_KeyView(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_MusicalKeyView::setIsHeld(bool held)
{
    if (isHeld_ == held)
        return;
    isHeld_ = held;
    setNeedsDisplay();
}

bool Lumora_MusicalKeyView::isBlackKey() const
{
    return kBlackIndex[pitchClass(keyNumber())] >= 0;
}

bool Lumora_MusicalKeyView::isInOctaveView() const
{
    return dynamic_cast<LumoraOctKeyView*>(superview()) != nullptr;
}

Platform::Size Lumora_MusicalKeyView::blackKeySizeRatio()
{
    return {static_cast<double>(0.7f), static_cast<double>(0.6f)};
}

Platform::Size Lumora_MusicalKeyView::blackKeyPositionRatio(std::int32_t blackIndex)
{
    static constexpr std::array<float, 5> kRatio = {0.6f, 0.7f, 0.6f, 0.65f, 0.7f};
    if (blackIndex < 0 || blackIndex >= 5)
        return {0, 0};
    return {static_cast<double>(kRatio[blackIndex]), 0};
}

void Lumora_MusicalKeyView::layoutSubviews()
{
    if (!isInOctaveView())
        return;
    Platform::Rect const octave = superview()->bounds();
    double const w = octave.width();
    double const h = octave.height();
    int const n = pitchClass(keyNumber());
    if (!isPianoLayout_) {
        double const u = w / 12;
        setFrame(Platform::Rect(u * n, 0, u, h));
    } else if (isWhiteKey()) {
        double const u = w / 7;
        setFrame(Platform::Rect(u * kWhiteIndex[n], 0, u, h));
    } else {
        double const u = w / 7;
        Platform::Size const size = blackKeySizeRatio();
        double const x = u * (kWhiteIndex[n] + blackKeyPositionRatio(kBlackIndex[n]).width);
        setFrame(Platform::Rect(x, 0, size.width * u, size.height * h));
    }
    setNeedsDisplay();
}

void Lumora_MusicalKeyView::drawRect(Platform::Rect const& rect)
{
    if (!isInOctaveView()) {
        Lumora_KeyView::drawRect(rect);
        return;
    }
    drawKey(pitchClass(keyNumber()), isWhiteKey(), pressed(), isHeld_, rect);
}

void Lumora_MusicalKeyView::drawKey(std::int32_t, bool isWhiteKey, bool isPressed, bool isHeld, Platform::Rect const& rect)
{
    Lumora_drawMusicalKey(rect, isWhiteKey, isPressed, isHeld);
}

std::shared_ptr<Lumora_MusicalKeyView> makeMusicalKeyView(CreateMusicalKeyViewBlock const& block)
{
    std::shared_ptr<Lumora_MusicalKeyView> key = block ? block() : nullptr;
    return key ? key : std::make_shared<Lumora_MusicalKeyView>();
}
