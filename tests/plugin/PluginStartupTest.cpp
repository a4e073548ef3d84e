// The extension's start-up with the product's screens: the entry's registration, the model, the
// audio unit and the main screen presented over the principal view controller, and that closing
// the instance frees its model.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "model/core/Lumora_Core.h"
#include "model/core/ScreenServices.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/support/PluginTestSupport.h"
#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"
#include "plugin/viewcontroller/PluginInterface.h"
#include "screens/main/CorvaneScreens.h"
#include "screens/main/MainViewController.h"

TEST(PluginStartup, TheMainScreenIsPresentedFullScreenOverThePrincipalViewController) {
    ScratchFolder temporary;
    ::setenv("CORVANE_TMPDIR", temporary.path().c_str(), 1);
    ScratchFolder home{true};
    Corvane::registerScreens();
    PluginInterface::registerInterface();

    auto controller = PluginInterface::loadPrincipalViewController();
    ASSERT_TRUE(controller);
    controller->loadViewIfNeeded();
    auto unit = controller->createAudioUnitWithComponentDescription(PluginTest::instrumentDescription(), nullptr);
    ASSERT_TRUE(unit);
    Platform::RunLoop::main().runOnce();

    auto* screen = dynamic_cast<MainViewController*>(controller->presentedViewController());
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->modalPresentationStyle(), Platform::ModalPresentationStyle::FullScreen);
    EXPECT_EQ(std::shared_ptr<Platform::Object>(controller->core()->mainViewController()).get(), screen);

    controller.reset();
    Platform::RunLoop::main().runOnce();
    Lumora::ScreenServices::setMainViewControllerFactory({});
    Lumora::ScreenServices::setThemeInstaller({});
    Lumora::ScreenServices::setKnobControlTypeSetter({});
}

// The model owns its main screen and the screens only watch the model, so closing the instance
// frees the model (and with it the engine and the timer) even while a sub-screen is open.
TEST(PluginStartup, ClosingTheControllerFreesTheModel) {
    // The folder is made in the process's temporary directory, not in an earlier test's.
    ::unsetenv("CORVANE_TMPDIR");
    ScratchFolder temporary;
    ::setenv("CORVANE_TMPDIR", temporary.path().c_str(), 1);
    ScratchFolder home{true};
    Corvane::registerScreens();
    PluginInterface::registerInterface();

    std::weak_ptr<Lumora_Core> model;
    std::weak_ptr<Platform::Object> mainScreen;
    std::weak_ptr<Platform::ViewController> arpeggiator;
    {
        auto controller = PluginInterface::loadPrincipalViewController();
        ASSERT_TRUE(controller);
        controller->loadViewIfNeeded();
        auto unit = controller->createAudioUnitWithComponentDescription(PluginTest::instrumentDescription(), nullptr);
        ASSERT_TRUE(unit);
        Platform::RunLoop::main().runOnce();
        auto* screen = dynamic_cast<MainViewController*>(controller->presentedViewController());
        ASSERT_NE(screen, nullptr);
        screen->actionOpenArpeggiatorEditor(nullptr);
        ASSERT_NE(screen->presentedViewController(), nullptr);
        arpeggiator = screen->lastPresented();

        model = controller->core();
        mainScreen = controller->core()->mainViewController();
        ASSERT_FALSE(model.expired());
        unit.reset();
        controller.reset();
        Platform::RunLoop::main().runOnce();
    }
    EXPECT_TRUE(model.expired());
    EXPECT_TRUE(mainScreen.expired());
    EXPECT_TRUE(arpeggiator.expired());

    Lumora::ScreenServices::setMainViewControllerFactory({});
    Lumora::ScreenServices::setThemeInstaller({});
    Lumora::ScreenServices::setKnobControlTypeSetter({});
    Lumora_MainViewController::setArpeggiatorEditorFactory({});
    ::unsetenv("CORVANE_TMPDIR");
}
