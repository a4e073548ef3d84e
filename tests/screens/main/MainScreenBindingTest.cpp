// Every control of the surfaces, the strip and the effect editor names a parameter of Corvane's
// engine by its tag and is bound to it; together they reach every sound parameter the host sees.

#include "screens/main/MainScreenTestRig.h"

#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "screens/main/CommonParam_VwCtrlr.h"
#include "screens/main/EditorSurfaceView.h"
#include "screens/main/EffectEditorViewController.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"

#include <gtest/gtest.h>

#include <set>

using namespace MainScreenTest;

namespace {

std::set<int> checkBound(Rig& rig, Platform::View* root, char const* where)
{
    std::set<int> tags;
    auto controls = boundControls(root);
    EXPECT_FALSE(controls.empty()) << where;
    for (Lumora_Control* control : controls) {
        Lumora::Parameter* param = rig.param(control->tag());
        EXPECT_NE(param, nullptr) << where << ": tag " << control->tag() << " names no parameter";
        EXPECT_EQ(control->parameter(), param) << where << ": tag " << control->tag() << " is not bound";
        tags.insert(control->tag());
    }
    return tags;
}

// The sound's parameters that a host lists.
std::set<int> hostVisibleSoundParameters(Rig& rig)
{
    std::set<int> ids;
    for (auto const& [id, param] : rig.engine().parameterManager().getParameterMap())
        if (id >= 10000 && id < 12000 && !param->hasOption(Lumora::Parameter::Options::HiddenFromHost))
            ids.insert(id);
    return ids;
}

class MainScreenBinding : public ::testing::TestWithParam<Program> {};

TEST_P(MainScreenBinding, EveryControlIsBoundToTheParameterOfItsTag)
{
    Rig rig(GetParam());
    MainViewController& screen = rig.show();
    std::set<int> reached = checkBound(rig, screen.editorView(), "surface");

    screen.actionShowEffectEditor(nullptr);
    ASSERT_NE(screen.effectEditorVwCtrlr(), nullptr);
    std::set<int> const effects = checkBound(rig, screen.effectEditorVwCtrlr()->view(), "effect editor");
    reached.insert(effects.begin(), effects.end());

    for (int id : hostVisibleSoundParameters(rig))
        EXPECT_TRUE(reached.count(id)) << "no control for parameter " << id << " "
                                       << rig.param(id)->displayName();
}

INSTANTIATE_TEST_SUITE_P(Programs, MainScreenBinding,
                         ::testing::Values(Program::Plugin, Program::PadApp, Program::PhoneApp));

// The strip and its popup: the octave selector, the pitch-bend labels and the other common
// controls are bound, and a change on the strip reaches the parameter with the screen's token.
TEST(CommonParamStrip, StripAndPopupAreBound)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    auto* strip = screen.commonParamVw();
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->originalSize(), (Platform::Size{240, 165}));
    std::set<int> const tags = checkBound(rig, strip, "strip");
    EXPECT_EQ(tags, (std::set<int>{2200, 2210, 2211, 2220, 2221, 2230, 3000}));
    ASSERT_NE(strip->selectorOctave, nullptr);
    ASSERT_NE(strip->lblctrlPBN, nullptr);
    ASSERT_NE(strip->lblctrlPBP, nullptr);

    // One step up on the octave selector writes +1 (signed encoding) with the main screen's token.
    strip->selectorOctave->switchLamp(true);
    EXPECT_EQ(rig.param(2211)->concreteValue(), 1.0f);

    // A change made elsewhere shows on the strip at the next tick.
    rig.param(2221)->setConcreteValue(7, Lumora::ParameterObserver::Token::Host);
    rig.tick();
    EXPECT_EQ(strip->lblctrlPBP->text(), "+8") << "semitones: one beyond the stored range";

    auto popup = Lumora_ViewController::newWithCore<CommonParam_VwCtrlr>(rig.core);
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->commonParamVw(), nullptr);
    EXPECT_EQ(popup->commonParamVw()->superview(), popup->cmnPrmCntnrVw);
    checkBound(rig, popup->commonParamVw(), "popup strip");
    EXPECT_EQ(popup->parameterObserverToken(), Lumora::ParameterObserver::Token::CommonParamPopup);
    EXPECT_FLOAT_EQ(popup->scaleOfContent(), 1.0f) << "no opener";
    popup->setContainerDelegate(&screen);
    EXPECT_FLOAT_EQ(popup->scaleOfContent(), screen.scaleOfContent());
}

} // namespace
