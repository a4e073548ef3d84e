// The interface files of the effect-type main screen: a main view that the frame container
// fills, and the editor frame with the sound on/off button in the arpeggiator's place.

#include "screens/main/nibs/EffectorNibs.h"

#include "controls/button/Lumora_CmndButton.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_MainVwCntrlr.h"
#include "screens/main/ResponderChainAction.h"
#include "screens/main/nibs/MainFrameView.h"

#include <mutex>

namespace CorvaneNib {

namespace {

using Platform::LayoutConstraint;
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

std::shared_ptr<Lumora_CmndButton> commandButton(char const* imageName)
{
    auto button = std::make_shared<Lumora_CmndButton>(Rect(0, 0, 36, 36));
    button->setImageName(std::string(imageName));
    return button;
}

std::vector<std::shared_ptr<Platform::Object>> buildEditorFrame(Platform::Nib::Context const&)
{
    auto frame = std::make_shared<Lumora_EffectorFrmwrk_EdtrFrmVw>(Rect(0, 0, 1024, 378));
    auto header = std::make_shared<Platform::View>(Rect(0, 0, 1024, Lumora_SynthFrmwrk_EdtrFrmVw::headerHeight));
    auto title = std::make_shared<Platform::ImageView>(Rect(16, 8, 180, 28));
    auto name = std::make_shared<Platform::Button>(Rect(0, 0, 240, 32));
    name->titleLabel()->setFont(Platform::Font::boldSystemFont(15));
    name->layer().cornerRadius = 6;
    name->layer().masksToBounds = true;
    auto prev = commandButton("GoBack");
    auto next = commandButton("GoForward");
    auto sound = commandButton("SoundOn");
    auto midi = commandButton("MIDI");
    auto config = commandButton("Settings");
    for (auto const& view :
         std::initializer_list<std::shared_ptr<Platform::View>>{title, prev, name, next, sound, midi, config})
        header->addSubview(view);
    auto scroll = std::make_shared<Platform::ScrollView>(Rect(0, 44, 1024, 334));
    frame->addSubview(scroll);
    frame->addSubview(header);
    auto left = LayoutConstraint::constraintWithItem(title.get(), LayoutConstraint::Attribute::Leading,
                                                     LayoutConstraint::Relation::Equal, header.get(),
                                                     LayoutConstraint::Attribute::Leading, 1, 16);
    auto right = LayoutConstraint::constraintWithItem(header.get(), LayoutConstraint::Attribute::Trailing,
                                                      LayoutConstraint::Relation::Equal, config.get(),
                                                      LayoutConstraint::Attribute::Trailing, 1, 16);
    header->addConstraint(left);
    header->addConstraint(right);

    frame->headerView = header.get();
    frame->headerImgVw = title.get();
    frame->btnSoundPresetName = name.get();
    frame->btnSoundPresetPrev = prev.get();
    frame->btnSoundPresetNext = next.get();
    frame->btnSoundOnOff = sound.get();
    frame->btnMidiMapping = midi.get();
    frame->btnConfig = config.get();
    frame->edtrCntnrScrlVw = scroll.get();
    frame->constraintforHeaderLeft = left.get();
    frame->constraintforHeaderRight = right.get();

    connectActionUpResponderChain(prev.get(), &Main::actionLoadPrevSoundPreset);
    connectActionUpResponderChain(next.get(), &Main::actionLoadNextSoundPreset);
    connectActionUpResponderChain(name.get(), &Main::actionOpenSoundPresetBrowser);
    connectActionUpResponderChain(sound.get(), &Main::actionSoundOnOff);
    connectActionUpResponderChain(midi.get(), &Main::actionMidiMapping);
    connectActionUpResponderChain(config.get(), &Main::actionOpenSettings);
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
