// The interface files of the effect-type main screen: a main view that the frame container
// fills, and the editor frame with the sound on/off button in the arpeggiator's place.

#include "screens/main/nibs/EffectorNibs.h"

#include "controls/button/Lumora_CmndButton.h"
#include "platform/ui/Nib.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_MainVwCntrlr.h"
#include "screens/main/ResponderChainAction.h"
#include "screens/main/nibs/EditorFrameParts.h"
#include "screens/main/nibs/MainFrameView.h"

#include <mutex>

namespace CorvaneNib {

namespace {

using Platform::Rect;
using Main = Lumora_EffectorFrmwrk_MainVwCntrlr;

std::vector<std::shared_ptr<Platform::Object>> buildMain(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<MainFrameView>(Rect(0, 0, 1024, 420));
    root->setBackgroundColor(Platform::Color::blackColor());
    root->addSubview(std::make_shared<Lumora_EffectorFrmwrk_EdtrFrmCntnrVw>());
    if (Main* owner = context.ownerAs<Main>())
        owner->setView(root);
    return {root};
}

std::vector<std::shared_ptr<Platform::Object>> buildEditorFrame(Platform::Nib::Context const&)
{
    auto frame = std::make_shared<Lumora_EffectorFrmwrk_EdtrFrmVw>(Rect(0, 0, 1024, 378));
    auto right = fillEditorFrame(*frame, {"SoundOn", "MIDI", "Settings"});
    frame->btnSoundOnOff = right[0];
    frame->btnMidiMapping = right[1];
    frame->btnConfig = right[2];

    connectActionUpResponderChain(frame->btnSoundPresetPrev, &Main::actionLoadPrevSoundPreset);
    connectActionUpResponderChain(frame->btnSoundPresetNext, &Main::actionLoadNextSoundPreset);
    connectActionUpResponderChain(frame->btnSoundPresetName, &Main::actionOpenSoundPresetBrowser);
    connectActionUpResponderChain(frame->btnSoundOnOff, &Main::actionSoundOnOff);
    connectActionUpResponderChain(frame->btnMidiMapping, &Main::actionMidiMapping);
    connectActionUpResponderChain(frame->btnConfig, &Main::actionOpenSettings);
    return {frame};
}

} // namespace

void registerEffectorNibs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Platform::Nib::registerNib(Main::mainNibName, buildMain);
        Platform::Nib::registerNib(Main::editorFrameNibName, buildEditorFrame);
    });
}

} // namespace CorvaneNib
