// The extension's start-up with the product's screens: the entry's registration, the model, the
// audio unit and the main screen presented over the principal view controller.

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
