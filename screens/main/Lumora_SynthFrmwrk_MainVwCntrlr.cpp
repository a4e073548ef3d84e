#include "screens/main/Lumora_SynthFrmwrk_MainVwCntrlr.h"

#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/midi/MidiMessage.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/foundation/Device.h"
#include "platform/ui/LayoutConstraint.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"
#include "screens/main/CommonParam_VwCtrlr.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"

#include <algorithm>

namespace {

using Finder = UIView_Lumora_Control_Container_View;

int64_t currentIdiom() { return static_cast<int64_t>(Platform::Device::userInterfaceIdiom()); }

} // namespace

Lumora_SynthFrmwrk_MainVwCntrlr::Lumora_SynthFrmwrk_MainVwCntrlr() = default;

Lumora_SynthFrmwrk_MainVwCntrlr::~Lumora_SynthFrmwrk_MainVwCntrlr()
{
    if (keyboardScrollVw_)
        keyboardScrollVw_->setKeybordDelegate(nullptr);
}

char const* Lumora_SynthFrmwrk_MainVwCntrlr::mainNibNameFor(int64_t idiom, bool isPlugin)
{
    if (isPlugin)
        return pluginNibName;
    return idiom == 1 ? padAppNibName : phoneAppNibName;
}

bool Lumora_SynthFrmwrk_MainVwCntrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core)
        return false;
    char const* nib = mainNibNameFor(currentIdiom(), core->isPlugin());
    return initWithCoreAndNibs(std::move(core), nib, editorFrameNibName);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::viewDidLoad()
{
    Lumora_MainViewController::viewDidLoad();
    int64_t const idiom = currentIdiom();
    bool const plugin = core() && core()->isPlugin();
    Platform::View* root = view();

    auto* frameContainer = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_EdtrFrmCntnrVw>(root);
    if (frameContainer && frameContainer->constraintForHeight && lowHeightKeyboard_)
        frameContainer->constraintForHeight->setActive(false);
    placeEditorFrame<Lumora_SynthFrmwrk_EdtrFrmVw>(frameContainer, idiom, plugin);
    setNeedsUpdateOfScreenEdgesDeferringSystemGestures();

    kbdCntnrVw_ = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_KbdCntnrVw>(root);
    if (kbdCntnrVw_) {
        auto settings = core()->settings();
        Platform::Size const size = kbdCntnrVw_->bounds().size;
        keyboardScrollVw_ = Lumora_KeyboardScrollView::initWithFrame(
            Platform::Rect(0, 0, size.width, size.height), 8, 1, settings ? settings->keyboardSize() : 50.0,
            settings ? settings->keyboardPianoLayout() : true, Lumora_Painter::sharedInstance()->keyboardScrollBarHeight(),
            settings && settings->keyboardScrollBarPos() == 1,
            [] { return std::make_shared<Lumora_MusicalKeyView>(); });
        keyboardScrollVw_->setKeybordDelegate(this);
        kbdCntnrVw_->addSubview(keyboardScrollVw_);
        keyboardScrollVw_->scrollToNoteNumber(48, false);
        setReceivingMidi(true);
    }

    cmnPrmCntnrVw_ = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_CmnPrmCntnrVw>(root);
    if (cmnPrmCntnrVw_) {
        commonParamVw_ = Lumora_SynthFrmwrk_CmnPrmVw::createInstanceFor(idiom, plugin);
        if (commonParamVw_) {
            cmnPrmCntnrVw_->addSubview(commonParamVw_);
            setupDescendantUiControlsWithView(commonParamVw_.get());
        }
    }

    sideEdgeButton_ = Finder::findDescendantWithClass<Lumora_SideEdgeButton>(root);
    viewDidLoadWithUiIdiom(idiom, plugin);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::presentScaledPopup(std::shared_ptr<Platform::ViewController> popup,
                                                         Platform::View* source, unsigned arrows,
                                                         std::optional<Platform::Color> backgroundColor,
                                                         bool allowMidiLearnButton)
{
    float const scale = editorScale();
    Platform::Size size = popup->view() ? popup->view()->frame().size : Platform::Size{};
    size.width *= scale;
    size.height *= scale;
    presentSubScreen(std::move(popup), size, source, passthroughViews_allowPassthroughMidiLearnButton(allowMidiLearnButton),
                     arrows, backgroundColor);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionOpenCommonParam(Platform::Control* sender)
{
    auto popup = Lumora_ViewController::newWithCore<CommonParam_VwCtrlr>(sharedCore());
    if (!popup)
        return;
    popup->setContainerDelegate(this);
    presentScaledPopup(popup, sender, 15, Lumora_Painter::sharedInstance()->commonParmBackgroundColor(), false);
    popup->setShowControlStatusView(showControlStatusView());
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionOpenArpeggiatorEditor(Platform::Control* sender)
{
    auto const& factory = arpeggiatorEditorFactory();
    if (!factory)
        return;
    auto editor = factory(sharedCore(), this);
    if (!editor)
        return;
    presentScaledPopup(std::move(editor), sender, 12, Lumora_Painter::sharedInstance()->arpeggiatorContainerHeaderColor(),
                       false);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionToggleCommonParamVw(Platform::Control*)
{
    if (!cmnPrmCntnrVw_)
        return;
    cmnPrmCntnrVw_->toggleLayout();
    // The main view places the strip container by its ratio.
    if (Platform::View* root = view()) {
        root->setNeedsLayout();
        root->layoutIfNeeded();
    }
}

std::vector<Platform::View*> Lumora_SynthFrmwrk_MainVwCntrlr::passthroughViews_allowPassthroughMidiLearnButton(
    bool allowMidiLearnButton) const
{
    auto views = Lumora_EditorFrameMainVwCntrlr::passthroughViews_allowPassthroughMidiLearnButton(allowMidiLearnButton);
    if (sideEdgeButton_)
        views.push_back(sideEdgeButton_);
    if (kbdCntnrVw_)
        views.push_back(kbdCntnrVw_);
    if (cmnPrmCntnrVw_)
        views.push_back(cmnPrmCntnrVw_);
    return views;
}

void Lumora_SynthFrmwrk_MainVwCntrlr::receiveMidi(Lumora::MidiMessage const* message)
{
    if (!keyboardScrollVw_ || !message)
        return;
    int const status = message->status();
    int const type = (status & 0xF0) < 0xF0 ? (status & 0xF0) : status;
    if (type == 0x80)
        keyboardScrollVw_->noteOff(message->data1(), message->data2());
    else if (type == 0x90)
        keyboardScrollVw_->noteOn(message->data1(), message->data2());
    else if (Lumora_KeyboardScrollView::isAllNotesOff(*message))
        keyboardScrollVw_->allNotesOff();
}

void Lumora_SynthFrmwrk_MainVwCntrlr::receiveAudioEngineNotificationWithID(int id, int param)
{
    if (id == 1011 && keyboardScrollVw_)
        keyboardScrollVw_->hold(param, true);
    else if (id == 1012 && keyboardScrollVw_)
        keyboardScrollVw_->hold(param, false);
    Lumora_EditorFrameMainVwCntrlr::receiveAudioEngineNotificationWithID(id, param);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::onChangeSettingWithKey(std::string const& key)
{
    if (!keyboardScrollVw_ || !core() || !core()->settings())
        return;
    auto const& settings = core()->settings();
    if (key == "keyboardSize")
        keyboardScrollVw_->resizeKeyboard(settings->keyboardSize());
    else if (key == "keyboardPianoLayout")
        keyboardScrollVw_->setIsPianoLayout(settings->keyboardPianoLayout());
    else if (key == "keyboardScrollBarPos")
        keyboardScrollVw_->moveScrollBarToBottom(settings->keyboardScrollBarPos() == 1);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::keyDown(int32_t note, int32_t velocity)
{
    // A touch at the very top of a key has velocity 0, and a note-on of velocity 0 is a note-off:
    // the softest press still plays.
    if (auto* engine = audioEngine())
        engine->sendMidi(Lumora::MidiMessage(0x90, engine->safeMidiChannel(), note, std::clamp(velocity, 1, 127)));
}

void Lumora_SynthFrmwrk_MainVwCntrlr::keyUp(int32_t note, int32_t velocity)
{
    if (auto* engine = audioEngine())
        engine->sendMidi(Lumora::MidiMessage(0x80, engine->safeMidiChannel(), note, velocity));
}
