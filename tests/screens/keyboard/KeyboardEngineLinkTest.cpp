#include "screens/keyboard/Lumora_KeyboardEngineLink.h"

#include "engine/audio/iAudioEngine.h"
#include "model/support/ModelTestSupport.h"
#include "platform/ui/Window.h"
#include "screens/keyboard/LumoraOctKeyView.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"
#include "screens/keyboard/Lumora_KeyboardView.h"

#include <gtest/gtest.h>

using Lumora::iAudioEngine;
using Lumora::MidiMessage;
using Platform::Rect;

namespace {

// A model over the test synth with the app's audio I/O, and the main screen's keyboard linked
// to it, in a window (notes 12 to 107; C = 12 at x 0..45; keys 185 points tall).
class KeyboardEngineLink : public ::testing::Test {
protected:
    void SetUp() override {
        rig.attachApp();
        rig.core->audioEngine()->allocateRenderResources(48000.0f);
        window->addSubview(keyboard);
        window->layoutIfNeeded();
        screen.attach(*rig.core);
    }
    void TearDown() override { screen.detach(*rig.core); }

    // One render cycle of the engine (which takes the queued screen MIDI), then one model tick.
    void cycle() {
        std::vector<float> left(64), right(64);
        std::vector<float*> outputs{left.data(), right.data()};
        rig.io->renderBlock({}, outputs, 64, 48000.0f, {}, {});
        rig.core->onTimer(nullptr);
    }

    Lumora_MusicalKeyView& key(int note) {
        return *keyboard->keyboardView()->octaveView(note / 12)->keyWithNote(note);
    }

    // The note messages the engine processed and reported to the screens.
    std::vector<MidiMessage> notes() const {
        std::vector<MidiMessage> out;
        for (auto const& m : screen.midi)
            if (m.kind() == 0x80 || m.kind() == 0x90)
                out.push_back(m);
        return out;
    }

    ModelTest::CoreRig rig;
    ModelTest::RecordingScreen screen;
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 400, 200));
    std::shared_ptr<Lumora_KeyboardScrollView> keyboard =
        Lumora_KeyboardScrollView::initWithFrame(Rect(0, 0, 400, 200), 8, 1, 45, true, 15, true, nullptr);
    Lumora_KeyboardEngineLink link{*rig.core, keyboard.get()};
};

} // namespace

TEST_F(KeyboardEngineLink, KeysPlayTheEngineOnItsInputChannelAndTheEngineLightsThem)
{
    EXPECT_EQ(keyboard->keybordDelegate(), &link);
    struct Case { int inputChannel; int sentChannel; };
    for (Case c : {Case{-1, 0}, Case{5, 5}, Case{15, 15}}) {
        screen.midi.clear();
        rig.core->audioEngine()->setMidiInChannel(c.inputChannel);
        ASSERT_EQ(rig.core->audioEngine()->safeMidiChannel(), c.sentChannel);

        Platform::Touch* finger = window->beginTouch({10, 92.5}, 1);
        // The key is pressed by the touch at once; the engine's report confirms it on the tick.
        EXPECT_TRUE(key(12).pressed());
        cycle();
        ASSERT_EQ(notes().size(), 1u) << c.inputChannel;
        EXPECT_EQ(notes()[0].status(), 0x90 | c.sentChannel);
        EXPECT_EQ(notes()[0].data1(), 12);
        EXPECT_EQ(notes()[0].data2(), 63);

        window->endTouch(finger, {10, 185 * 0.25}, 2);
        cycle();
        ASSERT_EQ(notes().size(), 2u);
        EXPECT_EQ(notes()[1].status(), 0x80 | c.sentChannel);
        EXPECT_EQ(notes()[1].data1(), 12);
        EXPECT_EQ(notes()[1].data2(), 31);
        EXPECT_FALSE(key(12).pressed());
    }
}

TEST_F(KeyboardEngineLink, NotesFromElsewhereLightTheKeysAndHeldNotesAreMarked)
{
    // MIDI the engine received (here on the audio I/O's input) lights the key on the next tick.
    std::vector<float> left(64), right(64);
    std::vector<float*> outputs{left.data(), right.data()};
    rig.io->renderBlock({}, outputs, 64, 48000.0f, {MidiMessage(0x90, 3, 64, 90)}, {});
    rig.core->onTimer(nullptr);
    EXPECT_TRUE(key(64).pressed());
    rig.io->renderBlock({}, outputs, 64, 48000.0f, {MidiMessage(0x90, 3, 64, 0)}, {});
    rig.core->onTimer(nullptr);
    EXPECT_FALSE(key(64).pressed());

    // The keyboard-hold function's notes.
    rig.core->synth().provideNotification(iAudioEngine::NoteHeld, 61);
    rig.core->synth().provideNotification(iAudioEngine::NoteHeld, 200);  // beyond the keys: ignored
    rig.core->onTimer(nullptr);
    EXPECT_TRUE(key(61).isHeld());
    EXPECT_FALSE(key(61).pressed());
    rig.core->synth().provideNotification(iAudioEngine::NoteReleased, 61);
    rig.core->onTimer(nullptr);
    EXPECT_FALSE(key(61).isHeld());
}

// All Notes Off (a vanished keyboard, the settings' button) and All Sound Off end notes without
// note-offs: every key the engine lit goes dark; other control changes leave them lit.
TEST_F(KeyboardEngineLink, AllNotesOffAndAllSoundOffDarkenEveryLitKey)
{
    std::vector<float> left(64), right(64);
    std::vector<float*> outputs{left.data(), right.data()};
    struct Case {
        int controller;
        bool darkens;
    };
    for (Case const c : {Case{123, true}, Case{120, true}, Case{121, false}, Case{64, false}}) {
        rig.io->renderBlock({}, outputs, 64, 48000.0f,
                            {MidiMessage(0x90, 0, 14, 90), MidiMessage(0x90, 0, 64, 90), MidiMessage(0x90, 0, 107, 90)}, {});
        rig.core->onTimer(nullptr);
        ASSERT_TRUE(key(14).pressed() && key(64).pressed() && key(107).pressed());
        rig.io->renderBlock({}, outputs, 64, 48000.0f, {MidiMessage(0xB0, 0, c.controller, 0)}, {});
        rig.core->onTimer(nullptr);
        for (int note : {14, 64, 107})
            EXPECT_EQ(key(note).pressed(), !c.darkens) << "controller " << c.controller << ", note " << note;
        for (int note : {14, 64, 107})
            rig.io->renderBlock({}, outputs, 64, 48000.0f, {MidiMessage(0x80, 0, note, 0)}, {});
        rig.core->onTimer(nullptr);
    }
}

TEST_F(KeyboardEngineLink, OnlyPlayableNotesAreSentAndAPressAlwaysSounds)
{
    // A press at the very top of a key has touch velocity 0, which would be a note-off.
    window->tap({10, 0}, 1);
    link.keyDown(128, 100);
    link.keyUp(128, 100);
    link.keyDown(-1, 100);
    link.keyDown(127, 500);
    cycle();
    std::vector<MidiMessage> const sent = notes();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], MidiMessage(0x90, 0, 12, 1));
    EXPECT_EQ(sent[1], MidiMessage(0x80, 0, 12, 0));
    EXPECT_EQ(sent[2], MidiMessage(0x90, 0, 127, 127));
}

TEST_F(KeyboardEngineLink, AnUnlinkedKeyboardSendsNothingAndTheModelForgetsTheLink)
{
    {
        Lumora_KeyboardEngineLink second(*rig.core, nullptr);
        rig.core->synth().provideNotification(iAudioEngine::NoteHeld, 61);
        rig.core->onTimer(nullptr);  // a link without keyboard ignores what it is told
    }
    auto other = Lumora_KeyboardScrollView::initWithFrame(Rect(0, 0, 400, 200), 1, 4, 45, true, 15, true, nullptr);
    {
        Lumora_KeyboardEngineLink temporary(*rig.core, other.get());
    }
    EXPECT_EQ(other->keybordDelegate(), nullptr);
    // Once gone, the model no longer calls it.
    rig.core->synth().provideNotification(iAudioEngine::NoteHeld, 50);
    rig.core->onTimer(nullptr);
    EXPECT_FALSE(other->keyboardView()->octaveView(4)->keyWithNote(50)->isHeld());
    EXPECT_TRUE(key(50).isHeld());
}
