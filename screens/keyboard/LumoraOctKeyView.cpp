#include "screens/keyboard/LumoraOctKeyView.h"

#include <array>

LumoraOctKeyView::LumoraOctKeyView(Platform::Rect frame) : View(frame) {}

template <class F>
void LumoraOctKeyView::forEachKey(F&& f) const
{
    auto subviews = this->subviews();
    for (auto const& sub : subviews)
        if (auto* key = dynamic_cast<Lumora_MusicalKeyView*>(sub.get()))
            f(*key);
}

void LumoraOctKeyView::createSubviewsWithOctave(std::int32_t octave, CreateMusicalKeyViewBlock const& block)
{
    static constexpr std::array<int, 7> kWhite = {0, 2, 4, 5, 7, 9, 11};
    static constexpr std::array<int, 5> kBlack = {1, 3, 6, 8, 10};
    auto add = [&](int n) {
        auto key = makeMusicalKeyView(block);
        key->setTag(octave * 12 + n);
        key->setIsPianoLayout(isPianoLayout_);
        addSubview(key);
    };
    for (int n : kWhite)
        add(n);
    for (int n : kBlack)
        add(n);
    octave_ = octave;
    setNeedsLayout();
}

void LumoraOctKeyView::removeSubKeyViews()
{
    forEachKey([](Lumora_MusicalKeyView& key) { key.removeFromSuperview(); });
}

void LumoraOctKeyView::setupWithOctave(std::int32_t octave, CreateMusicalKeyViewBlock const& block)
{
    removeSubKeyViews();
    createSubviewsWithOctave(octave, block);
}

void LumoraOctKeyView::layoutSubviews()
{
    View::layoutSubviews();
    forEachKey([](Lumora_MusicalKeyView& key) { key.setNeedsLayout(); });
}

void LumoraOctKeyView::setIsPianoLayout(bool piano)
{
    isPianoLayout_ = piano;
    forEachKey([piano](Lumora_MusicalKeyView& key) { key.setIsPianoLayout(piano); });
    setNeedsLayout();
}

Lumora_MusicalKeyView* LumoraOctKeyView::keyWithNote(std::int32_t note) const
{
    Lumora_MusicalKeyView* found = nullptr;
    forEachKey([&](Lumora_MusicalKeyView& key) {
        if (!found && key.tag() == note)
            found = &key;
    });
    return found;
}

void LumoraOctKeyView::noteOn(std::int32_t note, std::int32_t)
{
    if (auto* key = keyWithNote(note))
        key->setPressed(true);
}

void LumoraOctKeyView::noteOff(std::int32_t note, std::int32_t)
{
    if (auto* key = keyWithNote(note))
        key->setPressed(false);
}

void LumoraOctKeyView::hold(std::int32_t note, bool isHeld)
{
    if (auto* key = keyWithNote(note))
        key->setIsHeld(isHeld);
}
