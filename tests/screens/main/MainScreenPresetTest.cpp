// Stepping through the sound presets from the frame's buttons, the preset name following the
// engine's notifications, and the keyboard both ways.

#include "screens/main/MainScreenTestRig.h"

#include "controls/button/Lumora_CmndButton.h"
#include "engine/midi/MidiMessage.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/ui/Button.h"
#include "screens/keyboard/LumoraOctKeyView.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"
#include "screens/keyboard/Lumora_KeyboardView.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"

#include <gtest/gtest.h>

using namespace MainScreenTest;

namespace {

Lumora_MusicalKeyView& keyOf(MainViewController& screen, int note)
{
    return *screen.keyboardScrollVw()->keyboardView()->octaveView(note / 12)->keyWithNote(note);
}

class MainScreenPresets : public ::testing::Test {
protected:
    MainScreenPresets()
    {
        auto& sounds = rig.sounds();
        while (sounds.canChangeDirectoryToParentDirectory())
            sounds.changeDirectoryToParentDirectory();
        EXPECT_TRUE(sounds.changeDirectoryToSubDirectory("User"));
        rig.param(10501)->setNormalizedValue(0.2f, Lumora::ParameterObserver::Token::Host, Lumora::AutomationEventType::None);
        EXPECT_TRUE(sounds.save("Alpha"));
        rig.param(10501)->setNormalizedValue(0.7f, Lumora::ParameterObserver::Token::Host, Lumora::AutomationEventType::None);
        EXPECT_TRUE(sounds.save("Bravo"));
        rig.show();
        rig.tick();
    }

    std::string shownName() { return rig.screen->edtrFrmVw()->btnSoundPresetName->currentTitle(); }

    Rig rig{Program::PadApp};
};

TEST_F(MainScreenPresets, NextAndPreviousLoadTheNeighboursAndTheNameFollows)
{
    EXPECT_EQ(shownName(), "Bravo") << "the name of the last save, shown when the screen appeared";
    Lumora_SynthFrmwrk_EdtrFrmVw* frame = rig.screen->edtrFrmVw();

    rig.tap(frame->btnSoundPresetNext);
    EXPECT_EQ(rig.sounds().presetName(), "Alpha") << "wraps around past the last document";
    EXPECT_EQ(shownName(), "Bravo") << "the name changes with the engine's notification, not before";
    rig.tick();
    EXPECT_EQ(shownName(), "Alpha");
    EXPECT_NEAR(rig.param(10501)->normalizedValue(), 0.2f, 1e-6);

    rig.tap(frame->btnSoundPresetPrev);
    rig.tick();
    EXPECT_EQ(shownName(), "Bravo");
    EXPECT_NEAR(rig.param(10501)->normalizedValue(), 0.7f, 1e-6);
}

TEST_F(MainScreenPresets, OnlyNotificationsAboutTheSoundRefreshTheName)
{
    rig.sounds().loadNext();  // Alpha, without ticking
    rig.screen->receiveAudioEngineNotificationWithID(1009, 0x40000);
    EXPECT_EQ(shownName(), "Bravo") << "an arpeggiator-only load leaves the name";
    rig.screen->receiveAudioEngineNotificationWithID(1008, 0x10000);
    EXPECT_EQ(shownName(), "Alpha");
}

// The keys play the engine on its MIDI input channel (0 when it listens to all channels), and
// the notes the engine processed light the keys.
TEST(MainScreenKeyboard, KeysPlayTheEngineOnItsInputChannel)
{
    Rig rig(Program::PhoneApp, Platform::Rect(0, 0, 667, 375));
    MainViewController& screen = rig.show();
    rig.engine().allocateRenderResources(48000.0f);
    rig.engine().setMidiInChannel(5);
    ModelTest::RecordingScreen recorder;
    recorder.attach(*rig.core);

    screen.keyDown(60, 100);
    std::vector<float> left(64), right(64);
    std::vector<float*> outputs{left.data(), right.data()};
    rig.io->renderBlock({}, outputs, 64, 48000.0f, {}, {});
    rig.tick();
    ASSERT_FALSE(recorder.midi.empty());
    EXPECT_EQ(recorder.midi.front(), Lumora::MidiMessage(0x90, 5, 60, 100));
    EXPECT_TRUE(keyOf(screen, 60).pressed()) << "the engine's note lights the key";

    screen.keyUp(60, 0);
    rig.io->renderBlock({}, outputs, 64, 48000.0f, {}, {});
    rig.tick();
    EXPECT_EQ(recorder.midi.back().kind(), 0x80);
    EXPECT_FALSE(keyOf(screen, 60).pressed());

    // A touch at the very top of a key has velocity 0: it still plays, at the softest velocity.
    screen.keyDown(62, 0);
    rig.io->renderBlock({}, outputs, 64, 48000.0f, {}, {});
    rig.tick();
    EXPECT_EQ(recorder.midi.back(), Lumora::MidiMessage(0x90, 5, 62, 1));
    EXPECT_TRUE(keyOf(screen, 62).pressed());
    recorder.detach(*rig.core);
}

TEST(MainScreenKeyboard, EngineMidiAndHeldNotesShowOnTheKeyboard)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    auto* keyboard = screen.keyboardScrollVw();
    ASSERT_NE(keyboard, nullptr);
    EXPECT_DOUBLE_EQ(keyboard->whiteKeyWidth(), rig.core->settings()->keyboardSize());

    Lumora::MidiMessage on(0x90, 3, 64, 90);
    screen.receiveMidi(&on);
    EXPECT_TRUE(keyOf(screen, 64).pressed());
    Lumora::MidiMessage offByZero(0x90, 3, 64, 0);  // arrives as a note-off
    screen.receiveMidi(&offByZero);
    EXPECT_FALSE(keyOf(screen, 64).pressed());
    // Notes ended by All Notes Off send no note-offs: their keys go dark all the same.
    screen.receiveMidi(&on);
    Lumora::MidiMessage allNotesOff(0xB0, 3, 123, 0);
    screen.receiveMidi(&allNotesOff);
    EXPECT_FALSE(keyOf(screen, 64).pressed());

    screen.receiveAudioEngineNotificationWithID(1011, 67);
    EXPECT_TRUE(keyOf(screen, 67).isHeld());
    screen.receiveAudioEngineNotificationWithID(1012, 67);
    EXPECT_FALSE(keyOf(screen, 67).isHeld());

    rig.core->settings()->setKeyboardSize(80);
    EXPECT_DOUBLE_EQ(keyboard->whiteKeyWidth(), 80);
    rig.core->settings()->setKeyboardScrollBarPos(1);
    EXPECT_TRUE(keyboard->scrollBarOnBottom());
    rig.core->settings()->setKeyboardScrollBarPos(2);
    EXPECT_FALSE(keyboard->scrollBarOnBottom());
}

} // namespace
