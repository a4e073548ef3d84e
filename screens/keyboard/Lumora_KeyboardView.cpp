#include "screens/keyboard/Lumora_KeyboardView.h"

#include "screens/keyboard/LumoraOctKeyView.h"

#include <functional>

namespace {

// Octave of a note, rounding toward minus infinity so negative octaves work too.
std::int32_t octaveOf(std::int32_t note)
{
    return note >= 0 ? note / 12 : -((11 - note) / 12);
}

} // namespace

Lumora_KeyboardView::Lumora_KeyboardView(Platform::Rect frame) : Lumora_KeyContainerView(frame)
{
    setBackgroundColor(Platform::Color::darkGrayColor());
}

void Lumora_KeyboardView::createSubviewsWithOctaves(std::int32_t octaves, std::int32_t lowestOctave,
                                                    CreateMusicalKeyViewBlock const& block)
{
    octaves_ = octaves;
    lowestOctave_ = lowestOctave;
    setDelegate(this);
    for (std::int32_t i = 0; i < octaves; ++i) {
        auto octave = std::make_shared<LumoraOctKeyView>();
        octave->setIsPianoLayout(isPianoLayout_);
        octave->setupWithOctave(lowestOctave + i, block);
        octave->setTag(i);
        addSubview(octave);
    }
    createdSubViews_ = true;
    setNeedsLayout();
}

void Lumora_KeyboardView::removeSubOctViews()
{
    // Touches on keys that leave the tree would never end here: let go of them first.
    if (!touchedKeyInfos().empty())
        allKeyOff();
    auto subviews = this->subviews();
    for (auto const& sub : subviews)
        if (dynamic_cast<LumoraOctKeyView*>(sub.get()))
            sub->removeFromSuperview();
    createdSubViews_ = false;
}

void Lumora_KeyboardView::setupOtaves(std::int32_t octaves, std::int32_t lowestOctave, CreateMusicalKeyViewBlock const& block)
{
    removeSubOctViews();
    createSubviewsWithOctaves(octaves, lowestOctave, block);
}

void Lumora_KeyboardView::awakeFromNib()
{
    Lumora_KeyContainerView::awakeFromNib();
    if (!createdSubViews_ && createDefaultWithNib_)
        createSubviewsWithOctaves(2, 4, nullptr);
}

void Lumora_KeyboardView::layoutSubviews()
{
    if (octaves_ <= 0)
        return;
    Platform::Rect const b = bounds();
    double const width = b.width() / octaves_;
    for (auto const& sub : subviews())
        if (dynamic_cast<LumoraOctKeyView*>(sub.get()))
            sub->setFrame(Platform::Rect(width * sub->tag(), 0, width, b.height()));
}

void Lumora_KeyboardView::keyDown(Lumora_KeyView* key, Lumora_KeyContainerView*)
{
    if (auto* d = keybordDelegate())
        d->keyDown(key->tag(), velocity(*key));
}

void Lumora_KeyboardView::keyUp(Lumora_KeyView* key, Lumora_KeyContainerView*)
{
    if (auto* d = keybordDelegate())
        d->keyUp(key->tag(), velocity(*key));
}

bool Lumora_KeyboardView::isMyNoteNumber(std::int32_t note) const
{
    return static_cast<std::int64_t>(lowestOctave_) * 12 <= note &&
           note < (static_cast<std::int64_t>(lowestOctave_) + octaves_) * 12;
}

LumoraOctKeyView* Lumora_KeyboardView::octaveView(std::int32_t octave)
{
    std::function<LumoraOctKeyView*(Platform::View&)> find = [&](Platform::View& view) -> LumoraOctKeyView* {
        for (auto const& sub : view.subviews()) {
            if (auto* oct = dynamic_cast<LumoraOctKeyView*>(sub.get()); oct && oct->octave() == octave)
                return oct;
            if (auto* found = find(*sub))
                return found;
        }
        return nullptr;
    };
    return find(*this);
}

void Lumora_KeyboardView::noteOn(std::int32_t note, std::int32_t velocity)
{
    if (!isMyNoteNumber(note))
        return;
    if (auto* octave = octaveView(octaveOf(note)))
        octave->noteOn(note, velocity);
}

void Lumora_KeyboardView::noteOff(std::int32_t note, std::int32_t velocity)
{
    if (!isMyNoteNumber(note))
        return;
    if (auto* octave = octaveView(octaveOf(note)))
        octave->noteOff(note, velocity);
}

void Lumora_KeyboardView::hold(std::int32_t note, bool isHeld)
{
    if (!isMyNoteNumber(note))
        return;
    if (auto* octave = octaveView(octaveOf(note)))
        octave->hold(note, isHeld);
}

void Lumora_KeyboardView::setIsPianoLayout(bool piano)
{
    isPianoLayout_ = piano;
    for (auto const& sub : subviews())
        if (auto* octave = dynamic_cast<LumoraOctKeyView*>(sub.get()))
            octave->setIsPianoLayout(piano);
}

std::int32_t velocity(Lumora_KeyView const& key)
{
    double const height = key.bounds().height();
    if (!(height > 0))
        return 0;
    double v = key.touchedPoint().y / height;
    if (v < 0)
        v = 0;
    return static_cast<std::int32_t>(v < 1 ? v * 127 : 127);
}
