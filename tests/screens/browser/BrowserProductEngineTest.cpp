// The browser over the product engine's own sound-preset manager: what it saves is the engine's
// state, and tapping the document brings that state back.

#include "engine/audio/iAudioIO.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"
#include "synthesis/voice/engine/AudioEngine.h"

#include "tests/screens/browser/BrowserTestSupport.h"

#include <gtest/gtest.h>

using namespace BrowserTest;

namespace {

class QuietAudioIO : public Lumora::iAudioIO {
public:
    explicit QuietAudioIO(Lumora::iAudioEngine* engine) : iAudioIO(engine) { didConstructSubClass(this); }
    void didChangeParam(const Lumora::Parameter*, Token, Lumora::AutomationEventType) override {}
    bool isPlugin() const override { return false; }
    Lumora::SyncMethod syncMethod() const override { return Lumora::SyncMethod::Internal; }
    void setSyncMethod(Lumora::SyncMethod) override {}
    bool canProposeBpm() const override { return false; }
    void proposeBpm(double) override {}
};

// A sound parameter of continuous value, stored in sound documents.
Lumora::Parameter* soundParameter(Lumora::ParameterManager& parameters)
{
    for (auto const& [id, parameter] : parameters.getParameterMap())
        if (parameter->type() == Lumora::Parameter::Type::UFloat
            && Lumora::sharesBit(parameter->serializeWhat(), Lumora::SerializeWhat::SoundParameters))
            return parameter;
    return nullptr;
}

} // namespace

TEST(BrowserProductEngine, SavesAndRecallsTheEnginesSound)
{
    ScratchTree tree;
    Lumora::Corvane::AudioEngine::Config config;
    config.soundName = "Sound Presets";
    config.soundType = "corvane_snd";
    config.soundFactoryPath = (tree / "Factory").string();
    config.soundUserPath = (tree / "User").string();
    config.soundProgramPath = (tree / "Program").string();
    for (char const* folder : {"Factory", "User", "Program"})
        bfs::create_directories(tree / folder);
    Lumora::Corvane::AudioEngine engine(config, "Corvane", 2);
    QuietAudioIO io(&engine);
    Lumora::PresetDocFileManager* manager = engine.soundPresetFileManager();
    ASSERT_NE(manager, nullptr);
    Lumora::Parameter* parameter = soundParameter(engine.parameterManager());
    ASSERT_NE(parameter, nullptr);
    auto set = [&](float value) {
        parameter->setNormalizedValue(value, Lumora::ParameterObserver::Token::Mixed, Lumora::AutomationEventType::None);
    };
    set(0.125f);

    auto browser = Lumora_PrstDocFileBrwsVwCtrlr::create(manager, false, true);
    auto window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 400, 540));
    window->setRootViewController(browser);
    browser->tableView()->tapRowByUser(Platform::IndexPath::forRow(1, 0));  // "User"
    ASSERT_EQ(manager->currentDirectory(), "User:.");

    set(0.25f);
    browser->btnFn(3)->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    auto* prompt = dynamic_cast<Platform::AlertController*>(browser->presentedViewController());
    ASSERT_NE(prompt, nullptr);
    prompt->textFields()[0]->setText("Quarter");
    prompt->chooseActionWithTitle("OK");
    ASSERT_TRUE(bfs::is_regular_file(tree / "User" / "Quarter.corvane_snd"));
    EXPECT_NE(readFile(tree / "User" / "Quarter.corvane_snd").find("[[Parameters]]"), std::string::npos);

    set(0.75f);
    ASSERT_EQ(browser->items().at(0).name(), "Quarter.corvane_snd");
    browser->tableView()->tapRowByUser(Platform::IndexPath::forRow(0, 0));
    EXPECT_NEAR(parameter->normalizedValue(), 0.25f, 1e-6);
    EXPECT_EQ(manager->presetName(), "Quarter");

    // Recall gives back the sound the browser found.
    browser->btnFn(5)->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    EXPECT_NEAR(parameter->normalizedValue(), 0.125f, 1e-6);
}
