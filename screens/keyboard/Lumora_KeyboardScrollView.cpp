#include "screens/keyboard/Lumora_KeyboardScrollView.h"

#include "screens/keyboard/Lumora_KeyboardView.h"

#include <array>

using Platform::Rect;

Lumora_KeyboardScrollView::Lumora_KeyboardScrollView(Rect frame) : ScrollView(frame) {}

std::shared_ptr<Lumora_KeyboardScrollView> Lumora_KeyboardScrollView::initWithFrame(
    Rect frame, std::int32_t otaves, std::int32_t lowestOctave, double whiteKeyWidth, bool isPianoLayout,
    double scrollBarHeight, bool scrollBarOnBottom, CreateMusicalKeyViewBlock const& createMusicalKeyViewBlock)
{
    auto view = std::make_shared<Lumora_KeyboardScrollView>(frame);
    view->setDelegate(view.get());
    view->setupWithOtaves(otaves, lowestOctave, whiteKeyWidth, isPianoLayout, scrollBarHeight, scrollBarOnBottom,
                          createMusicalKeyViewBlock);
    return view;
}

void Lumora_KeyboardScrollView::setupWithOtaves(std::int32_t otaves, std::int32_t lowestOctave, double whiteKeyWidth,
                                                bool isPianoLayout, double scrollBarHeight, bool scrollBarOnBottom,
                                                CreateMusicalKeyViewBlock const& createMusicalKeyViewBlock)
{
    if (keyboardView_) {
        keyboardView_->removeFromSuperview();
        keyboardView_.reset();
    }
    scrollBarOnBottom_ = scrollBarOnBottom;
    whiteKeyWidth_ = whiteKeyWidth;
    scrollBarHeight_ = scrollBarHeight;

    double const keys = isPianoLayout ? 7 : 12;
    auto keyboard = std::make_shared<Lumora_KeyboardView>(
        Rect(0, keyboardY(), keys * whiteKeyWidth * otaves, bounds().height() - scrollBarHeight));
    keyboard->setupOtaves(otaves, lowestOctave, createMusicalKeyViewBlock);
    keyboard->setIsPianoLayout(isPianoLayout);
    keyboard->setKeybordDelegate(this);
    keyboardView_ = keyboard;
    addSubview(keyboard);
    setContentSize(keyboard->frame().size);

    setMultipleTouchEnabled(true);
    setScrollEnabled(true);
    setCanCancelContentTouches(false);
    setDelaysContentTouches(false);
    setClipsToBounds(true);
}

std::int32_t Lumora_KeyboardScrollView::octaves() const { return keyboardView_ ? keyboardView_->octaves() : 0; }
std::int32_t Lumora_KeyboardScrollView::lowestOctave() const { return keyboardView_ ? keyboardView_->lowestOctave() : 0; }
bool Lumora_KeyboardScrollView::isPianoLayout() const { return !keyboardView_ || keyboardView_->isPianoLayout(); }
double Lumora_KeyboardScrollView::keyboardY() const { return scrollBarOnBottom_ ? 0 : scrollBarHeight_; }

double Lumora_KeyboardScrollView::keyboardWidth(double whiteKeyWidth) const
{
    return (isPianoLayout() ? 7 : 12) * whiteKeyWidth * octaves();
}

void Lumora_KeyboardScrollView::resizeKeyboard(double whiteKeyWidth)
{
    double const position = keyPosition();
    whiteKeyWidth_ = whiteKeyWidth;
    if (!keyboardView_)
        return;
    keyboardView_->setFrame(Rect(0, keyboardY(), keyboardWidth(whiteKeyWidth), bounds().height() - scrollBarHeight_));
    setContentSize(keyboardView_->frame().size);
    scrollToKeyPosition(position, false);
}

void Lumora_KeyboardScrollView::setIsPianoLayout(bool piano)
{
    if (keyboardView_)
        keyboardView_->setIsPianoLayout(piano);
    resizeKeyboard(whiteKeyWidth_);
}

void Lumora_KeyboardScrollView::moveScrollBarToBottom(bool bottom)
{
    scrollBarOnBottom_ = bottom;
    resizeKeyboard(whiteKeyWidth_);
}

double Lumora_KeyboardScrollView::keyUnit() const
{
    if (!keyboardView_ || octaves() <= 0)
        return 0;
    return keyboardView_->bounds().width() / octaves() / (isPianoLayout() ? 7 : 12);
}

double Lumora_KeyboardScrollView::keyPosition() const
{
    double const unit = keyUnit();
    // A keyboard without keys has no key units: it stays at its start.
    return unit > 0 ? bounds().origin.x / unit : 0;
}

void Lumora_KeyboardScrollView::scrollToKeyPosition(double position, bool)
{
    double x = position * keyUnit();
    if (x < 0)
        x = 0;
    double const limit = (keyboardView_ ? keyboardView_->bounds().width() : 0) - bounds().width();
    if (!(x < limit))
        x = limit;
    // Without animations in this platform, an animated scroll lands at once.
    setContentOffset({x, bounds().origin.y});
}

void Lumora_KeyboardScrollView::scrollToNoteNumber(std::int32_t note, bool animated)
{
    static constexpr std::array<int, 12> kWhiteAtOrBelow = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
    int const pitch = ((note % 12) + 12) % 12;
    int const octave = (note - pitch) / 12;
    double const position = isPianoLayout() ? 7.0 * (octave - lowestOctave()) + kWhiteAtOrBelow[pitch]
                                            : static_cast<double>(note) - 12.0 * lowestOctave();
    scrollToKeyPosition(position, animated);
}

void Lumora_KeyboardScrollView::noteOn(std::int32_t note, std::int32_t velocity)
{
    if (keyboardView_)
        keyboardView_->noteOn(note, velocity);
}

void Lumora_KeyboardScrollView::noteOff(std::int32_t note, std::int32_t velocity)
{
    if (keyboardView_)
        keyboardView_->noteOff(note, velocity);
}

void Lumora_KeyboardScrollView::allNotesOff()
{
    constexpr std::int32_t kNotes = 128;
    for (std::int32_t note = 0; note < kNotes; ++note)
        noteOff(note, 0);
}

bool Lumora_KeyboardScrollView::isAllNotesOff(Lumora::MidiMessage const& message)
{
    constexpr int kControlChange = 0xB0;
    constexpr int kAllSoundOff = 120;
    constexpr int kAllNotesOff = 123;
    return message.kind() == kControlChange && (message.data1() == kAllSoundOff || message.data1() == kAllNotesOff);
}

void Lumora_KeyboardScrollView::hold(std::int32_t note, bool isHeld)
{
    if (keyboardView_)
        keyboardView_->hold(note, isHeld);
}

void Lumora_KeyboardScrollView::keyDown(std::int32_t note, std::int32_t velocity)
{
    if (auto* d = keybordDelegate())
        d->keyDown(note, velocity);
}

void Lumora_KeyboardScrollView::keyUp(std::int32_t note, std::int32_t velocity)
{
    if (auto* d = keybordDelegate())
        d->keyUp(note, velocity);
}

// ---- the scroll bar

void Lumora_KeyboardScrollView::setFrame(Rect const& frame)
{
    ScrollView::setFrame(frame);
    setBar();
}

void Lumora_KeyboardScrollView::setContentSize(Platform::Size size)
{
    ScrollView::setContentSize(size);
    setBar();
}

void Lumora_KeyboardScrollView::didAddSubview(Platform::View* subview)
{
    ScrollView::didAddSubview(subview);
    setBar();
}

void Lumora_KeyboardScrollView::layoutSubviews()
{
    ScrollView::layoutSubviews();
    resizeKeyboard(whiteKeyWidth_);
    // The frame may have changed through the base class, which does not refresh the bar.
    setBar();
}

void Lumora_KeyboardScrollView::scrollViewDidScroll(Platform::ScrollView*)
{
    if (!barKnobView_ || contentSize().width <= 0)
        return;
    Rect frame = barKnobView_->frame();
    frame.origin.x = knobX();
    barKnobView_->setFrame(frame);
}

double Lumora_KeyboardScrollView::knobX() const
{
    // The bar lives in content coordinates: the offset keeps the knob on screen, and the knob
    // moves across the visible width as the offset moves across the content.
    double const offset = contentOffset().x;
    return offset + offset * frame().width() / contentSize().width;
}

void Lumora_KeyboardScrollView::setBar()
{
    double const contentWidth = contentSize().width;
    if (!(contentWidth > 0))
        return;
    Rect const f = frame();
    double const bar = scrollBarHeight_;
    double const knobHeight = static_cast<double>(0.3f) * bar;
    double const barY = scrollBarOnBottom_ ? f.height() - bar : 0;

    setShowsHorizontalScrollIndicator(false);
    Platform::Color const barColor = Platform::Color::withWhite(1, static_cast<double>(0.2f));

    // Each bar view is stored before it is added, as adding refreshes the bar again.
    if (!barGkgndView_) {
        barGkgndView_ = std::make_shared<Platform::View>();
        barGkgndView_->setBackgroundColor(barColor);
        barGkgndView_->setUserInteractionEnabled(false);
        addSubview(barGkgndView_);
    } else {
        bringSubviewToFront(barGkgndView_.get());
    }
    barGkgndView_->setFrame(Rect(0, barY, contentWidth, bar));

    if (!barKnobView_) {
        barKnobView_ = std::make_shared<Platform::View>();
        barKnobView_->setBackgroundColor(barColor);
        barKnobView_->layer().cornerRadius = knobHeight;
        barKnobView_->layer().masksToBounds = true;
        barKnobView_->setUserInteractionEnabled(false);
        addSubview(barKnobView_);
    } else {
        bringSubviewToFront(barKnobView_.get());
    }
    barKnobView_->setFrame(Rect(knobX(), barY + (bar - knobHeight) / 2, f.width() * f.width() / contentWidth, knobHeight));
    // A home indicator covers the bottom edge: no knob there, the strip still shows the bar.
    barKnobView_->setHidden(scrollBarOnBottom_ && safeAreaInsets().bottom > 0);
}
