// The extension's principal view controller: it makes the model when loaded, and each request
// for an audio unit attaches a new audio I/O, replays the settings, loads the default sound and
// presents the main screen once the view exists.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>
#include <atomic>
#include <chrono>
#include <vector>

#include <boost/filesystem.hpp>

#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"
#include "model/core/Lumora_CoreObservers.h"
#include "model/core/ScreenServices.h"
#include "model/product/Core.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/audiounit/TestHost.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/support/PluginTestSupport.h"
#include "plugin/viewcontroller/AudioUnitViewController.h"
#include "plugin/viewcontroller/PluginInterface.h"

namespace {

using Token = Lumora::ParameterObserver::Token;
using ViewConfiguration = Lumora_Plugin_AUViewController::ViewConfiguration;

// The engine's master volume, made anew with each audio I/O.
constexpr char const* kVolume = "COMMON_VOLUME";

// A main screen that counts how often it was shown.
class FakeMainScreen : public Platform::ViewController {
public:
    void viewWillAppear(bool) override { ++appearances; }
    int appearances = 0;
};

// The product's view controller, recording what it is told when there is no main screen.
class ProbeViewController : public AudioUnitViewController {
public:
    void updateUI() override { ++updates; }
    void didChangeParam(Lumora::Parameter const* param, Token) override { changed.push_back(param); }
    void selectViewConfiguration(ViewConfiguration const& configuration) override { selected.push_back(configuration); }
    int updates = 0;
    std::vector<Lumora::Parameter const*> changed;
    std::vector<ViewConfiguration> selected;
};

// One temporary directory for the program, so that the engine's wave tables are computed once.
void shareTemporaryDirectory() {
    static ScratchFolder folder;
    static bool const set = (::setenv("CORVANE_TMPDIR", folder.path().c_str(), 1), true);
    (void)set;
}

struct AUViewControllerTest : ::testing::Test {
    AUViewControllerTest() {
        shareTemporaryDirectory();
        ::setenv("CORVANE_FRAMEWORK_BUNDLE", framework.path().c_str(), 1);
        ::setenv("CORVANE_UI_IDIOM", "pad", 1);
        PluginInterface::registerInterface();
    }
    ~AUViewControllerTest() override {
        pump();
        controller.reset();
        pump();
        Lumora::ScreenServices::setMainViewControllerFactory({});
        ::unsetenv("CORVANE_FRAMEWORK_BUNDLE");
        ::unsetenv("CORVANE_UI_IDIOM");
    }

    static void pump() { Platform::RunLoop::main().runOnce(); }

    // A main screen that the model makes on request.
    std::shared_ptr<FakeMainScreen> withMainScreen() {
        auto screen = std::make_shared<FakeMainScreen>();
        Lumora::ScreenServices::setMainViewControllerFactory(
            [screen](std::shared_ptr<Lumora_Core> const&) -> std::shared_ptr<Platform::Object> { return screen; });
        return screen;
    }

    // A default sound, saved by another engine of the product with its volume at 0.2.
    void writeDefaultSound() {
        auto maker = Platform::newObject<Core>();
        ASSERT_TRUE(maker);
        Lumora::AudioIO_for_iOS_Plugin io(maker->audioEngine());
        Lumora::Parameter* volume = maker->audioEngine()->parameterManager().getParameter(std::string(kVolume));
        ASSERT_NE(volume, nullptr);
        volume->setConcreteValue(0.2f, Token::ViewController);
        boost::filesystem::create_directories(framework / "Data/Sound");
        std::ofstream(framework / "Data/Sound/Default.corvane_snd", std::ios::binary)
            << maker->audioEngine()->serialize(Lumora::SerializeWhat::FullState, Lumora::SerializeWhere::Document);
    }

    std::shared_ptr<Lumora_iOS_AudioUnit> requestUnit(Platform::Error* error = nullptr) {
        return controller->createAudioUnitWithComponentDescription(PluginTest::instrumentDescription(), error);
    }

    Lumora::iAudioEngine& engine() { return *controller->core()->audioEngine(); }
    Lumora::Parameter& volume() { return *engine().parameterManager().getParameter(std::string(kVolume)); }

    ScratchFolder home{true};
    ScratchFolder framework;
    std::shared_ptr<Lumora_Plugin_AUViewController> controller;
};

double rms(std::vector<float> const& samples) {
    double sum = 0;
    for (float s : samples)
        sum += double(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
}

// The loudest block of a few, after a note-on at the start of the first.
double noteLevel(Platform::TestHost& host) {
    double level = 0;
    for (int block = 0; block < 8; ++block) {
        std::vector<Platform::TestHost::Event> events;
        if (block == 0)
            events.push_back(Platform::TestHost::Event::midi(0, 0x90, 60, 110));
        EXPECT_EQ(host.render(512, events), Platform::AudioUnitStatus::NoError);
        level = std::max(level, rms(host.output(0)));
    }
    return level;
}

} // namespace

TEST_F(AUViewControllerTest, LoadedFromItsInterfaceFileItMakesTheModelAndNoUnit) {
    controller = PluginInterface::loadPrincipalViewController();
    ASSERT_TRUE(controller);
    EXPECT_NE(dynamic_cast<AudioUnitViewController*>(controller.get()), nullptr);
    ASSERT_TRUE(std::dynamic_pointer_cast<Core>(controller->core()));
    EXPECT_NE(controller->core()->audioEngine(), nullptr);
    EXPECT_EQ(controller->audioUnit(), nullptr);
    EXPECT_EQ(controller->audioEngine(), nullptr);
    EXPECT_EQ(controller->parameterObserverToken(), Token::ViewController);
    EXPECT_EQ(controller->preferredContentSize(), (Platform::Size{1024, 573}));
    EXPECT_FALSE(controller->isViewLoaded());
}

TEST_F(AUViewControllerTest, TheFactoryCallAttachesTheAudioIOReplaysSettingsAndLoadsTheDefaultSound) {
    writeDefaultSound();
    controller = PluginInterface::loadPrincipalViewController();
    ASSERT_TRUE(controller);
    auto settings = controller->core()->settings();
    settings->setTempo(97);
    settings->setMidiOmni(false);
    settings->setMidiChannel(5);

    auto unit = requestUnit();
    ASSERT_TRUE(unit);
    EXPECT_EQ(controller->audioUnit(), unit);
    EXPECT_EQ(controller->audioEngine(), &engine());
    ASSERT_NE(engine().audioIO(), nullptr);
    EXPECT_EQ(engine().audioIO(), unit->audioIO());
    EXPECT_TRUE(controller->core()->isPlugin());
    EXPECT_EQ(unit->auVwCtrlr(), controller);
    // The stored tempo reaches the unit; MIDI runs on every channel in the plug-in.
    EXPECT_DOUBLE_EQ(unit->bpmForInternalSync(), 97.0);
    EXPECT_EQ(engine().midiInChannel(), -1);
    EXPECT_EQ(engine().midiOutChannel(), 0);
    EXPECT_EQ(engine().soundPresetFileManager()->presetName(), "Default");
    EXPECT_NEAR(volume().concreteValue(), 0.2f, 1e-6);
}

TEST_F(AUViewControllerTest, WithoutADefaultSoundTheSoundStartsInitialized) {
    controller = PluginInterface::loadPrincipalViewController();
    ASSERT_TRUE(requestUnit());
    EXPECT_EQ(engine().soundPresetFileManager()->presetName(), "initialized");
}

TEST_F(AUViewControllerTest, TheMainScreenIsPresentedOnceBothViewAndUnitExist) {
    // Each order in which the view and the unit come, and when the posted step runs.
    enum class Order { ViewFirst, UnitThenPumpThenView, UnitThenViewThenPump };
    for (Order order : {Order::ViewFirst, Order::UnitThenPumpThenView, Order::UnitThenViewThenPump}) {
        SCOPED_TRACE(int(order));
        auto screen = withMainScreen();
        controller = PluginInterface::loadPrincipalViewController();
        ASSERT_TRUE(controller);
        switch (order) {
        case Order::ViewFirst:
            controller->loadViewIfNeeded();
            EXPECT_EQ(controller->presentedViewController(), nullptr) << "no unit yet";
            ASSERT_TRUE(requestUnit());
            EXPECT_EQ(controller->presentedViewController(), nullptr) << "only on the main queue";
            pump();
            break;
        case Order::UnitThenPumpThenView:
            ASSERT_TRUE(requestUnit());
            pump();
            EXPECT_EQ(controller->presentedViewController(), nullptr) << "no view yet";
            controller->loadViewIfNeeded();
            break;
        case Order::UnitThenViewThenPump:
            ASSERT_TRUE(requestUnit());
            controller->loadViewIfNeeded();
            pump();
            break;
        }
        EXPECT_EQ(controller->presentedViewController(), screen.get());
        EXPECT_EQ(screen->modalPresentationStyle(), Platform::ModalPresentationStyle::FullScreen);
        EXPECT_EQ(screen->appearances, 1);
        pump();
        controller.reset();
        Lumora::ScreenServices::setMainViewControllerFactory({});
    }
}

TEST_F(AUViewControllerTest, AFactoryCallOnAHostThreadPostsOnlyThePresentation) {
    auto screen = withMainScreen();
    controller = PluginInterface::loadPrincipalViewController();
    controller->loadViewIfNeeded();
    std::shared_ptr<Lumora_iOS_AudioUnit> unit;
    std::thread host([&] { unit = requestUnit(); });
    host.join();
    ASSERT_TRUE(unit);
    EXPECT_EQ(engine().audioIO(), unit->audioIO());
    EXPECT_EQ(controller->presentedViewController(), nullptr);
    pump();
    EXPECT_EQ(controller->presentedViewController(), screen.get());
}

TEST_F(AUViewControllerTest, HeadlessTheControllerShowsTheEngineStateItself) {
    auto probe = std::make_shared<ProbeViewController>();
    ASSERT_TRUE(probe->initWithCoder());
    controller = probe;
    ASSERT_TRUE(requestUnit());
    probe->loadViewIfNeeded();
    pump();
    EXPECT_EQ(probe->presentedViewController(), nullptr);
    EXPECT_EQ(probe->updates, 2) << "once from the view, once from the posted step";

    // Registered with the model (once): a change the model delivers reaches it.
    probe->core()->didChangeParam(&volume(), Token::Host);
    ASSERT_EQ(probe->changed.size(), 1u);
    EXPECT_EQ(probe->changed.front(), &volume());
}

TEST_F(AUViewControllerTest, APostedStepOutlivingTheControllerDoesNothing) {
    withMainScreen();
    controller = PluginInterface::loadPrincipalViewController();
    controller->loadViewIfNeeded();
    ASSERT_TRUE(requestUnit());
    std::weak_ptr<Lumora_Plugin_AUViewController> weak = controller;
    controller.reset();
    EXPECT_TRUE(weak.expired()) << "neither the unit nor the posted step keeps the controller";
    pump();
}

TEST_F(AUViewControllerTest, ASecondRequestReplacesTheAudioIOWithParametersAtTheirDefaults) {
    controller = PluginInterface::loadPrincipalViewController();
    auto first = requestUnit();
    ASSERT_TRUE(first);
    float const startVolume = volume().normalizedValue();
    volume().setNormalizedValue(startVolume > 0.5f ? 0.1f : 0.9f, Token::ViewController,
                                Lumora::AutomationEventType::None);

    auto second = requestUnit();
    ASSERT_TRUE(second);
    EXPECT_NE(second, first);
    EXPECT_EQ(controller->audioUnit(), second);
    EXPECT_EQ(engine().audioIO(), second->audioIO());
    EXPECT_EQ(first->audioIO(), nullptr) << "the first unit is detached";
    EXPECT_FLOAT_EQ(volume().normalizedValue(), startVolume);

    // The new unit plays; the old one, still held by a host, renders silence.
    Platform::TestHost newHost(second);
    ASSERT_TRUE(newHost.allocate());
    EXPECT_GT(noteLevel(newHost), 1e-3);
    Platform::TestHost oldHost(first);
    ASSERT_TRUE(oldHost.allocate());
    EXPECT_EQ(noteLevel(oldHost), 0.0);
}

TEST_F(AUViewControllerTest, WithoutAModelThereIsNoUnit) {
    auto bare = std::make_shared<Lumora_Plugin_AUViewController>();
    ASSERT_TRUE(bare->initWithCoder());
    EXPECT_EQ(bare->core(), nullptr);
    Platform::Error error;
    EXPECT_EQ(bare->createAudioUnitWithComponentDescription(PluginTest::instrumentDescription(), &error), nullptr);
    EXPECT_TRUE(error);
    EXPECT_EQ(bare->audioUnit(), nullptr);
}

TEST_F(AUViewControllerTest, EditorSizeAndViewConfigurationsFollowTheDevice) {
    std::vector<ViewConfiguration> const offered = {
        {1700, 1000, true}, {1200, 400, false}, {1024, 768, true}, {0, 0, false}, {1690, 1000, true}};
    struct Case {
        char const* idiom;
        Platform::Size size;
        std::vector<std::size_t> supported;
    };
    for (Case const& c : {Case{"phone", {1024, 573}, {0, 1, 2, 3, 4}}, Case{"pad", {1024, 573}, {0, 1, 2, 3, 4}},
                          Case{"mac", {1024 * 1.3f, 573 * 1.3f}, {0, 1}}}) {
        SCOPED_TRACE(c.idiom);
        ::setenv("CORVANE_UI_IDIOM", c.idiom, 1);
        auto probe = std::make_shared<Lumora_Plugin_AUViewController>();
        ASSERT_TRUE(probe->initWithCoder());
        EXPECT_EQ(Lumora_Plugin_AUViewController::preferredEditorSize(), c.size);
        EXPECT_EQ(probe->preferredContentSize(), c.size);
        EXPECT_EQ(probe->supportedViewConfigurations(offered), c.supported);
    }
    EXPECT_NEAR(1024 * 1.3f, 1331.2, 1e-4);
    EXPECT_NEAR(573 * 1.3f, 744.9, 1e-4);
}

// The host asks the unit, which answers with its view controller's choice while it has one.
TEST_F(AUViewControllerTest, TheUnitPassesViewConfigurationsToItsViewController) {
    std::vector<ViewConfiguration> const offered = {{1700, 1000, true}, {1024, 768, false}, {1200, 400, true}};
    ::setenv("CORVANE_UI_IDIOM", "mac", 1);
    auto probe = std::make_shared<ProbeViewController>();
    ASSERT_TRUE(probe->initWithCoder());
    controller = probe;
    auto unit = requestUnit();
    ASSERT_TRUE(unit);
    {
        Platform::TestHost host(unit);
        EXPECT_EQ(host.supportedViewConfigurations(offered), (std::vector<std::size_t>{0, 2}));
        host.selectViewConfiguration(offered[2]);
        EXPECT_EQ(probe->selected, (std::vector<ViewConfiguration>{offered[2]}));
    }
    ::setenv("CORVANE_UI_IDIOM", "pad", 1);
    EXPECT_EQ(unit->supportedViewConfigurations(offered), (std::vector<std::size_t>{0, 1, 2}));

    // A unit that outlived its view controller takes every size and has no editor to tell.
    probe.reset();
    controller.reset();
    ::setenv("CORVANE_UI_IDIOM", "mac", 1);
    EXPECT_EQ(unit->auVwCtrlr(), nullptr);
    EXPECT_EQ(unit->supportedViewConfigurations(offered), (std::vector<std::size_t>{0, 1, 2}));
    unit->selectViewConfiguration(offered[0]);
    ::setenv("CORVANE_UI_IDIOM", "pad", 1);
}

// A screen that takes a moment to redraw and then reads the parameter it was told of, so that
// one freed meanwhile shows up under the address sanitizer.
class ReadingScreen : public Lumora_ParamObserver {
public:
    void didChangeParam(Lumora::Parameter const* param, Token) override {
        std::this_thread::sleep_for(std::chrono::microseconds(20));
        sum += double(param->normalizedValue()) + param->id();
        ++told;
    }
    Token parameterObserverToken() const override { return Token::ViewController; }
    double sum = 0;
    int told = 0;
};

// Each request makes the master and common parameters anew on the host's thread while the main
// thread delivers the model's pending changes of the old ones and echoes changes to the host:
// a change of a freed parameter is dropped, never read.
TEST_F(AUViewControllerTest, RequestsOnAHostThreadRaceNoDeliveryOfFreedParameters) {
    controller = PluginInterface::loadPrincipalViewController();
    ASSERT_TRUE(requestUnit());
    std::shared_ptr<Lumora_Core> core = controller->core();
    ReadingScreen screen;
    core->addParamObserver(&screen);

    constexpr int kRequests = 30;
    std::atomic<bool> done{false};
    std::atomic<int> made{0};
    std::thread host([&] {
        for (int i = 0; i < kRequests; ++i) {
            auto unit = requestUnit();
            if (!unit)
                continue;
            ++made;
            // Host writes leave a pending change for every visible parameter; a change made by
            // the engine's side is echoed to the host through the main queue.
            Platform::TestHost writer(unit);
            float const value = (i % 2 == 0) ? 0.25f : 0.75f;
            for (auto const& parameter : unit->parameterTree()->allParameters())
                writer.setParameter(parameter->address(), value);
            volume().setNormalizedValue(value, Token::ViewController, Lumora::AutomationEventType::None);
        }
        done = true;
    });
    while (!done) {
        core->onTimer(nullptr);
        pump();
    }
    host.join();
    core->onTimer(nullptr);
    pump();

    EXPECT_EQ(made, kRequests);
    EXPECT_GT(screen.told, 0);
    EXPECT_EQ(engine().audioIO(), controller->audioUnit()->audioIO());
    core->removeParamObserver(&screen);
}
