#include "platform/audiobus/AudiobusController.h"

#include <gtest/gtest.h>

#include <thread>

using namespace Platform::Audiobus;

namespace {

struct Recorder : KeyValueObserver {
    void observeValueForKeyPath(std::string const& keyPath, void const* object, void* context) override {
        seen.push_back({keyPath, object, context});
    }
    struct Seen {
        std::string keyPath;
        void const* object;
        void* context;
    };
    std::vector<Seen> seen;
};

struct State : StateIODelegate {
    Platform::Dictionary audiobusStateDictionaryForCurrentState() override { return {{"k", Platform::Value("v")}}; }
    void loadStateFromAudiobusStateDictionary(Platform::Dictionary const& d, std::string* response) override {
        loaded = d;
        if (response) *response = "loaded";
    }
    Platform::Dictionary loaded;
};

std::shared_ptr<Controller> makeController() {
    auto controller = Platform::newObject<Controller>();
    EXPECT_TRUE(controller->initWithApiKey("key"));
    return controller;
}

template <class P>
std::shared_ptr<P> makePort(std::string const& name) {
    auto port = std::make_shared<P>();
    EXPECT_TRUE(port->initWithName(name, name + " title", {1, 2, 3, 0, 0}, nullptr));
    return port;
}

} // namespace

TEST(AudiobusController, PortsKeepTheirDescriptionAndNamesAreUnique) {
    auto controller = makeController();
    EXPECT_EQ(controller->apiKey(), "key");
    auto sender = makePort<AudioSenderPort>("Corvane");
    EXPECT_TRUE(controller->addAudioSenderPort(sender));
    EXPECT_FALSE(controller->addAudioFilterPort(makePort<AudioFilterPort>("Corvane")));
    EXPECT_TRUE(controller->addAudioFilterPort(makePort<AudioFilterPort>("Other")));
    EXPECT_FALSE(controller->addAudioSenderPort(nullptr));
    ASSERT_EQ(controller->audioSenderPorts().size(), 1u);
    EXPECT_EQ(controller->audioSenderPorts()[0]->title(), "Corvane title");
    EXPECT_EQ(controller->audioSenderPorts()[0]->audioComponentDescription(), (ComponentDescription{1, 2, 3, 0, 0}));
    EXPECT_EQ(controller->audioFilterPorts().size(), 1u);

    AudioSenderPort unnamed;
    EXPECT_FALSE(unnamed.initWithName("", "t", {}, nullptr));
}

TEST(AudiobusController, ObserversHearChangesOfTheirKeyPathWithTheirContextUntilRemoved) {
    auto controller = makeController();
    Recorder recorder;
    int own = 0, other = 0;
    EXPECT_FALSE(controller->addObserver(&recorder, "volume", &own));
    ASSERT_TRUE(controller->addObserver(&recorder, connectedKeyPath, &own));
    ASSERT_TRUE(controller->addObserver(&recorder, memberOfActiveAudiobusSessionKeyPath, &other));

    controller->sessionSetConnected(true);
    controller->sessionSetConnected(true); // no change, no report
    controller->sessionSetMemberOfActiveAudiobusSession(true);
    ASSERT_EQ(recorder.seen.size(), 2u);
    EXPECT_EQ(recorder.seen[0].keyPath, "connected");
    EXPECT_EQ(recorder.seen[0].context, &own);
    EXPECT_EQ(recorder.seen[0].object, controller.get());
    EXPECT_EQ(recorder.seen[1].keyPath, "memberOfActiveAudiobusSession");
    EXPECT_EQ(recorder.seen[1].context, &other);
    EXPECT_TRUE(controller->connected());

    controller->removeObserver(&recorder, connectedKeyPath, &own);
    controller->sessionSetConnected(false);
    EXPECT_EQ(recorder.seen.size(), 2u);
    EXPECT_FALSE(controller->connected());
}

TEST(AudiobusController, BlocksAndStateDelegateAreCalledOnTheSessionsThread) {
    auto controller = makeController();
    EXPECT_FALSE(controller->sessionEnableReceivingCoreMIDI(false));
    EXPECT_FALSE(controller->sessionSaveState().has_value());
    EXPECT_FALSE(controller->sessionLoadState({}));

    std::vector<bool> received, shown;
    controller->setEnableReceivingCoreMIDIBlock([&](bool r) { received.push_back(r); });
    controller->setShowInterAppAudioTransportPanelBlock([&](bool s) { shown.push_back(s); });
    State state;
    controller->setStateIODelegate(&state);

    std::thread session([&] {
        EXPECT_TRUE(controller->sessionEnableReceivingCoreMIDI(false));
        EXPECT_TRUE(controller->sessionShowInterAppAudioTransportPanel(true));
        auto saved = controller->sessionSaveState();
        ASSERT_TRUE(saved.has_value());
        std::string response;
        EXPECT_TRUE(controller->sessionLoadState(*saved, &response));
        EXPECT_EQ(response, "loaded");
    });
    session.join();
    EXPECT_EQ(received, std::vector<bool>{false});
    EXPECT_EQ(shown, std::vector<bool>{true});
    EXPECT_EQ(state.loaded.at("k"), Platform::Value("v"));

    controller->setStateIODelegate(nullptr);
    EXPECT_FALSE(controller->sessionSaveState().has_value());
}
