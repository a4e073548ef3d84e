#pragma once

#include "engine/midi/MidiMessage.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WeakRef.h"
#include "screens/keyboard/Lumora_KeybordDelegate.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"

#include <cstdint>
#include <memory>

class Lumora_KeyboardView;

// The on-screen keyboard as its owner sees it: a horizontally scrolling keyboard view beside a
// slim scroll bar of its own (below or above the keys). It hands the keyboard's presses and
// releases to its delegate, shows engine notes on the keys, and keeps the scroll position in
// key units when the key size, the layout or the bar position changes. A touch that starts on
// a key never scrolls; the view scrolls when dragged on the bar.
class Lumora_KeyboardScrollView : public Platform::ScrollView,
                                  public Platform::ScrollViewDelegate,
                                  public Lumora_KeybordDelegate {
public:
    explicit Lumora_KeyboardScrollView(Platform::Rect frame = {});

    // A new keyboard: the view is its own scroll delegate and is set up with the arguments.
    static std::shared_ptr<Lumora_KeyboardScrollView> initWithFrame(
        Platform::Rect frame, std::int32_t otaves, std::int32_t lowestOctave, double whiteKeyWidth,
        bool isPianoLayout, double scrollBarHeight, bool scrollBarOnBottom,
        CreateMusicalKeyViewBlock const& createMusicalKeyViewBlock);

    // Replaces the keyboard view with a new one of new keys.
    void setupWithOtaves(std::int32_t otaves, std::int32_t lowestOctave, double whiteKeyWidth, bool isPianoLayout,
                         double scrollBarHeight, bool scrollBarOnBottom,
                         CreateMusicalKeyViewBlock const& createMusicalKeyViewBlock);

    bool scrollBarOnBottom() const { return scrollBarOnBottom_; }
    Lumora_KeybordDelegate* keybordDelegate() const { return keybordDelegate_.get(); }
    void setKeybordDelegate(Lumora_KeybordDelegate* delegate) { keybordDelegate_.reset(delegate); }
    double whiteKeyWidth() const { return whiteKeyWidth_; }
    double scrollBarHeight() const { return scrollBarHeight_; }
    Lumora_KeyboardView* keyboardView() const { return keyboardView_.get(); }
    Platform::View* barKnobView() const { return barKnobView_.get(); }
    Platform::View* barGkgndView() const { return barGkgndView_.get(); }

    std::int32_t octaves() const;
    std::int32_t lowestOctave() const;
    bool isPianoLayout() const;
    // Where the keys start: below the bar when it is on top.
    double keyboardY() const;

    // The key size changes; the key position stays.
    void resizeKeyboard(double whiteKeyWidth);
    void setIsPianoLayout(bool piano);
    void moveScrollBarToBottom(bool bottom);

    // The scroll position in keys: white keys in piano layout, keys otherwise.
    double keyPosition() const;
    void scrollToKeyPosition(double position, bool animated);
    // Brings the note's key (for a black key, the white key below it) to the left edge.
    void scrollToNoteNumber(std::int32_t note, bool animated);

    void noteOn(std::int32_t note, std::int32_t velocity);
    void noteOff(std::int32_t note, std::int32_t velocity);
    // All Notes Off (control change 123) or All Sound Off (120) from the engine: the notes it
    // ended send no note-offs of their own, so every lit key goes dark.
    void allNotesOff();
    // Whether the message is one of those two.
    static bool isAllNotesOff(Lumora::MidiMessage const& message);
    void hold(std::int32_t note, bool isHeld);

    void keyDown(std::int32_t note, std::int32_t velocity) override;
    void keyUp(std::int32_t note, std::int32_t velocity) override;

    // The platform's operations, each followed by a refresh of the scroll bar.
    void setFrame(Platform::Rect const& frame);
    void setContentSize(Platform::Size size);
    void didAddSubview(Platform::View* subview) override;
    void layoutSubviews() override;
    void scrollViewDidScroll(Platform::ScrollView* scrollView) override;

private:
    // Places the bar's strip and knob for the current frame, content and offset.
    void setBar();
    // Width of one key unit of the keyboard now; 0 for a keyboard without octaves.
    double keyUnit() const;
    double keyboardWidth(double whiteKeyWidth) const;
    double knobX() const;

    bool scrollBarOnBottom_ = true;
    Platform::WeakRef<Lumora_KeybordDelegate> keybordDelegate_;
    double whiteKeyWidth_ = 0;
    double scrollBarHeight_ = 0;
    std::shared_ptr<Lumora_KeyboardView> keyboardView_;
    std::shared_ptr<Platform::View> barKnobView_;
    std::shared_ptr<Platform::View> barGkgndView_;
};
