#include "app/screens/Lumora_InterAppAudioTransportView.h"
#include "app/screens/TransportButton.h"

#include "app/Application.h"
#include "app/JackTransportHost.h"
#include "common/JackTestClient.h"
#include "platform/audio/JackDriver.h"
#include "platform/audio/AudioUnitServices.h"
#include "platform/audio/InterAppAudio.h"
#include "platform/audiobus/AudiobusController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

using Platform::Rect;
namespace IAA = Platform::InterAppAudio;

std::string picturePath(char const* name)
{
    char const* dir = std::getenv("CORVANE_SCREENS_PNG_DIR");
    std::filesystem::path folder = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    return (folder / name).string();
}

constexpr Platform::AudioComponentDescription node{Platform::fourCharCode("aurg"), Platform::fourCharCode("tpnl"),
                                                   Platform::fourCharCode("Lmra"), 0, 0};

// The app's output unit published as a node, the panel over it, and a host app that connects.
class TransportPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("CORVANE_SCREEN_SIZE", "1024x768", 1);
        ASSERT_EQ(IAA::publish(&unit, node, "Corvane", 1), Platform::AudioErr::None);
        panel = Lumora_InterAppAudioTransportView::initWithAudioUnit(&unit, audiobus);
        host.setPeerURL("hostapp://open");
    }
    void TearDown() override
    {
        host.disconnect();
        pump();
        IAA::withdraw(&unit);
        Lumora_InterAppAudioTransportView::setURLOpener({});
        ::unsetenv("CORVANE_SCREEN_SIZE");
    }

    // Property changes reach the panel through the main queue.
    static void pump() { Platform::RunLoop::main().runOnce(); }
    void connect()
    {
        ASSERT_TRUE(host.connect(node));
        pump();
    }
    void hostChanges(bool playing, bool recording)
    {
        host.setPlaying(playing);
        host.setRecording(recording);
        host.notifyTransportStateChanged();
        pump();
    }

    Platform::OutputUnit unit;
    Platform::InterAppAudioHost host;
    std::shared_ptr<Platform::Audiobus::Controller> audiobus = std::make_shared<Platform::Audiobus::Controller>();
    std::shared_ptr<Lumora_InterAppAudioTransportView> panel;
};

TEST_F(TransportPanel, StartsHiddenWithItsButtonsInOneColumn)
{
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->frame(), Rect(0, 0, 40, 210));
    EXPECT_EQ(panel->hostIconView()->frame(), Rect(5, 30, 30, 30));
    EXPECT_EQ(panel->rewindButton()->frame(), Rect(5, 70, 30, 30));
    EXPECT_EQ(panel->playButton()->frame(), Rect(5, 110, 30, 30));
    EXPECT_EQ(panel->recordButton()->frame(), Rect(5, 150, 30, 30));
    EXPECT_EQ(panel->rewindButton()->drawingStyle(), TransportButton::Rewind);
    EXPECT_EQ(panel->playButton()->drawingStyle(), TransportButton::Play);
    EXPECT_EQ(panel->recordButton()->drawingStyle(), TransportButton::Record);
    EXPECT_EQ(panel->recordButton()->fillColor(), Platform::Color::redColor());
    // The app shell makes the panel through the registered factory.
    Lumora_InterAppAudioTransportView::registerFactory();
    EXPECT_NE(dynamic_cast<Lumora_InterAppAudioTransportView*>(AppShell::TransportPanel::make(&unit, nullptr).get()), nullptr);
    AppShell::TransportPanel::setFactory({});
}

TEST_F(TransportPanel, ShownWithTheHostsIconOnlyWhileAHostIsConnected)
{
    connect();
    EXPECT_TRUE(panel->connected());
    EXPECT_FALSE(panel->isHidden());
    EXPECT_FALSE(panel->hostIcon().isNull());
    EXPECT_EQ(panel->hostIconView()->backgroundColor(), Platform::Color::clearColor());

    host.disconnect();
    pump();
    EXPECT_FALSE(panel->connected());
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(panel->hostIconView()->image().isNull());
    EXPECT_EQ(panel->hostIconView()->backgroundColor(), Platform::Color::grayColor());
}

TEST_F(TransportPanel, StaysHiddenWhileAudiobusIsConnected)
{
    audiobus->sessionSetConnected(true);
    connect();
    EXPECT_TRUE(panel->connected());
    EXPECT_TRUE(panel->isHidden());
    panel->show(true);
    EXPECT_TRUE(panel->isHidden());
    audiobus->sessionSetConnected(false);
    panel->show(true);
    EXPECT_FALSE(panel->isHidden());
}

// The panel brings itself up to date when the app returns from the background: an Audiobus
// connection made meanwhile hides it.
TEST_F(TransportPanel, ReturningToTheForegroundBringsTheControlsUpToDate)
{
    struct Delegate : AppShell::ApplicationDelegate {
        bool application_didFinishLaunchingWithOptions(AppShell::Application&, Platform::Dictionary const&) override
        {
            return true;
        }
    };
    auto application = std::make_shared<AppShell::Application>();
    application->setDelegate(std::make_shared<Delegate>());
    connect();
    ASSERT_FALSE(panel->isHidden());
    application->enterBackground();
    audiobus->sessionSetConnected(true);
    EXPECT_FALSE(panel->isHidden());
    application->becomeActive();
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(TransportPanel, ButtonsSendTheirCommandsAndShowTheHostsAnswer)
{
    connect();
    panel->playButton()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    pump();
    EXPECT_TRUE(panel->playing());
    EXPECT_EQ(panel->playButton()->drawingStyle(), TransportButton::Pause);
    EXPECT_FALSE(panel->recordButton()->isEnabled());

    panel->playButton()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    pump();
    EXPECT_FALSE(panel->playing());
    EXPECT_TRUE(panel->recordButton()->isEnabled());

    panel->recordButton()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    pump();
    EXPECT_TRUE(panel->recording());
    EXPECT_EQ(panel->recordButton()->drawingStyle(), TransportButton::Recording);
    EXPECT_TRUE(panel->recordButton()->isFlashing());

    host.setSampleInTimeLine(48000);
    panel->rewindButton()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    pump();
    EXPECT_EQ(panel->playTime(), 0);
    EXPECT_EQ(host.remoteControlEvents(), (std::vector<std::uint32_t>{IAA::TogglePlayPause, IAA::TogglePlayPause,
                                                                     IAA::ToggleRecord, IAA::Rewind}));

    // The host stops recording on its own.
    hostChanges(false, false);
    EXPECT_EQ(panel->recordButton()->drawingStyle(), TransportButton::Record);
    EXPECT_FALSE(panel->recordButton()->isFlashing());
}

TEST(TransportButtonLook, TheRecordingCirclePulsesDownToAFifthAndBack)
{
    struct Case { double seconds; double alpha; };
    for (Case const c : {Case{0, 1}, Case{1, 0.6}, Case{2, 0.2}, Case{3, 0.6}, Case{4, 1}, Case{6, 0.2}, Case{-1, 1}})
        EXPECT_NEAR(TransportButton::pulseAlpha(1.0, c.seconds), c.alpha, 1e-12) << c.seconds;
    EXPECT_NEAR(TransportButton::pulseAlpha(0.6, 1), 0.4, 1e-12);

    auto button = std::make_shared<TransportButton>(Platform::Rect(0, 0, 30, 30));
    button->setDrawingStyle(TransportButton::Recording);
    EXPECT_TRUE(button->isFlashing());
    // A second pulse request while one runs changes nothing; leaving the style ends it.
    button->flash();
    button->setDrawingStyle(TransportButton::Record);
    EXPECT_FALSE(button->isFlashing());
    button->flash();
    EXPECT_FALSE(button->isFlashing());
}

TEST(TransportButtonLook, TriangleCornersAreRounded)
{
    Platform::Rect const r(0, 0, 30, 30);
    double const radius = 30 * 0.0631 / 2;
    // Sharp, the rewind triangles would touch the left edge and the play triangle's tip would
    // reach 30 * (0.5 + 0.6538 / 2); rounded, each stops short of its corner but not by more
    // than the radius.
    Platform::Rect const rewind = TransportButton::newPathRefForStyle(TransportButton::Rewind, r).bounds();
    EXPECT_GT(rewind.minX(), 0.1);
    EXPECT_LT(rewind.minX(), radius);
    double const sharpTip = 15 + 30 * 0.6538 / 2;
    Platform::Rect const play = TransportButton::newPathRefForStyle(TransportButton::Play, r).bounds();
    EXPECT_LT(play.maxX(), sharpTip - 0.1);
    EXPECT_GT(play.maxX(), sharpTip - 2 * radius);
    EXPECT_NEAR(play.midY(), 15, 0.01);
}

TEST_F(TransportPanel, NothingIsSentWithoutAHostAndAFailedSendIsLogged)
{
    panel->playButton()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    EXPECT_TRUE(host.remoteControlEvents().empty());

    connect();
    std::vector<std::string> lines;
    auto previous = Platform::setLogSink([&](std::string const& line) { lines.push_back(line); });
    Platform::AudioUnitServices::failNextCall(Platform::AudioUnitCall::RemoteControlToHost, -5);
    panel->playButtonPushed(nullptr);
    Platform::setLogSink(previous);
    EXPECT_TRUE(host.remoteControlEvents().empty());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("error -5 from AudioUnitSetProperty( au_, kAudioOutputUnitProperty_RemoteControlToHost", 0), 0u);
    EXPECT_FALSE(panel->playing());
}

TEST_F(TransportPanel, TheIconSwitchesToTheHost)
{
    std::vector<std::string> opened;
    Lumora_InterAppAudioTransportView::setURLOpener([&](std::string const& url) { opened.push_back(url); });
    panel->gotoHost();
    EXPECT_TRUE(opened.empty());
    connect();
    panel->hostIconPushed(nullptr);
    EXPECT_EQ(opened, (std::vector<std::string>{"hostapp://open"}));
}

TEST_F(TransportPanel, LandscapePlacesItAtTheRightEdgeAndDraggingMovesItOnlyVertically)
{
    auto window = std::make_shared<Platform::Window>(Rect(0, 0, 1024, 768));
    window->setSafeAreaInsets({0, 0, 0, 20});
    connect();
    window->addSubview(panel);
    EXPECT_EQ(panel->frame(), Rect(1024 - 40 - 20, (768 - 210) / 2.0, 40, 210));

    Platform::NotificationCenter::defaultCenter().post(Lumora_InterAppAudioTransportView::orientationDidChangeNotification,
                                                       nullptr, {{"orientation", Platform::Value(1)}});
    EXPECT_EQ(panel->lastOrientation(), Lumora_InterAppAudioTransportView::Portrait);
    EXPECT_EQ(panel->frame().origin.x, 964);

    Rect const before = panel->frame();
    Platform::Touch* touch = window->beginTouch({before.midX(), before.minY() + 10}, 0.0);
    window->moveTouch(touch, {before.midX() - 30, before.minY() + 50}, 0.1);
    window->endTouch(touch, {before.midX() - 30, before.minY() + 50}, 0.2);
    EXPECT_EQ(panel->frame().origin.x, before.origin.x);
    EXPECT_EQ(panel->frame().origin.y, before.origin.y + 40);

    // Never past the window's bottom edge.
    Platform::Touch* far = window->beginTouch({before.midX(), panel->frame().minY() + 10}, 1.0);
    window->moveTouch(far, {before.midX(), panel->frame().minY() + 900}, 1.1);
    window->endTouch(far, {before.midX(), panel->frame().minY() + 900}, 1.2);
    EXPECT_EQ(panel->frame().origin.y, before.origin.y + 40);
}

TEST_F(TransportPanel, RendersToPicture)
{
    connect();
    hostChanges(true, true);
    Platform::Image picture = Platform::renderViewToImage(*panel, 2);
    EXPECT_TRUE(picture.writePNG(picturePath("corvane-iaa-transport.png")));
}

} // namespace

namespace {

// Pumps the main loop (the panel's watch is a timer on it) until the condition holds.
template <typename Condition>
bool pumpUntil(Condition condition)
{
    return JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return condition();
    });
}

} // namespace

// Playing through JACK, the panel shows the server's transport as it shows an inter-app host: its
// buttons start, stop and rewind it for every client of the server, it follows the transport when
// another client moves it, and JACK cannot record. A connected inter-app host still comes first.
TEST_F(TransportPanel, PlayingThroughJackTheButtonsMoveJackTransportAndTheyFollowIt)
{
    JackTest::Server server("corvane-panel-" + std::to_string(getpid()), 48000, 256);
    if (!JackTest::serverAnswers(server.name())) {
        if (JackTest::servicesRequired())
            FAIL() << "jackd could not be started";
        GTEST_SKIP() << "jackd could not be started";
    }
    unit.initialize();
    unit.start();
    Platform::JackDriver driver(unit);
    std::string error;
    ASSERT_TRUE(driver.open({"Corvane", server.name(), false}, &error)) << error;
    // Whatever happens below, no other test meets a transport over this driver.
    struct Forget {
        ~Forget() { AppShell::HostTransport::setCurrent(nullptr); }
    } const forget;
    jack_client_t* other = JackTest::openClient("other", server.name());
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(jack_activate(other), 0);
    auto otherSees = [&](jack_transport_state_t state, jack_nframes_t frame = ~0u) {
        return JackTest::waitFor([&] {
            jack_position_t position;
            return jack_transport_query(other, &position) == state && (frame == ~0u || position.frame == frame);
        });
    };

    EXPECT_TRUE(panel->isHidden());
    AppShell::HostTransport::setCurrent(std::make_shared<AppShell::JackTransportHost>(driver));
    EXPECT_TRUE(panel->connected());
    EXPECT_FALSE(panel->isHidden());
    EXPECT_FALSE(panel->recordButton()->isEnabled());

    auto press = [](TransportButton* button) { button->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside); };
    press(panel->playButton());
    EXPECT_TRUE(otherSees(JackTransportRolling));
    EXPECT_TRUE(pumpUntil([&] { return panel->playing() && panel->playButton()->drawingStyle() == TransportButton::Pause; }));
    press(panel->playButton());
    EXPECT_TRUE(otherSees(JackTransportStopped));
    EXPECT_TRUE(pumpUntil([&] { return !panel->playing() && panel->playButton()->drawingStyle() == TransportButton::Play; }));

    // Moved by the other client, returned to the start by the panel.
    jack_transport_locate(other, 480000);
    EXPECT_TRUE(pumpUntil([&] { return panel->playTime() == 480000; }));
    press(panel->rewindButton());
    EXPECT_TRUE(otherSees(JackTransportStopped, 0));
    EXPECT_TRUE(pumpUntil([&] { return panel->playTime() == 0; }));
    press(panel->recordButton());
    EXPECT_FALSE(panel->recording());

    jack_transport_start(other);
    EXPECT_TRUE(pumpUntil([&] { return panel->playing() && panel->playButton()->drawingStyle() == TransportButton::Pause; }));
    jack_transport_stop(other);
    EXPECT_TRUE(pumpUntil([&] { return !panel->playing(); }));

    // An inter-app host that connects takes the buttons; JACK's transport stays where it is.
    connect();
    press(panel->playButton());
    pump();
    EXPECT_EQ(host.remoteControlEvents(), (std::vector<std::uint32_t>{IAA::TogglePlayPause}));
    EXPECT_TRUE(otherSees(JackTransportStopped));
    host.disconnect();
    pump();

    // No longer playing through JACK: the panel goes.
    AppShell::HostTransport::setCurrent(nullptr);
    EXPECT_FALSE(panel->connected());
    EXPECT_TRUE(panel->isHidden());
    jack_client_close(other);
    driver.close();
}
