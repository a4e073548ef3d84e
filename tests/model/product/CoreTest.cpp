#include "model/product/Core.h"

#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/ParameterManager.h"
#include "model/core/ScreenServices.h"
#include "model/framework/Shared_Information.h"
#include "model/product/isDevice_Mac.h"
#include "model/settings/Settings.h"
#include "model/support/ModelTestSupport.h"
#include "synthesis/voice/engine/AudioEngine.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = boost::filesystem;
using namespace ModelTest;

namespace {

void writeFile(std::string const& path, std::string const& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A program with its own data home and its own copy of the framework's bundle.
class CoreTest : public ::testing::Test {
protected:
    CoreTest() { ::setenv("CORVANE_FRAMEWORK_BUNDLE", framework.path().c_str(), 1); }
    ~CoreTest() override {
        io.reset();
        core.reset();
        ::unsetenv("CORVANE_FRAMEWORK_BUNDLE");
        Lumora::ScreenServices::setThemeInstaller({});
        Lumora::ScreenServices::setMainViewControllerFactory({});
    }

    Lumora::Corvane::AudioEngine& engine() { return static_cast<Lumora::Corvane::AudioEngine&>(*core->audioEngine()); }

    void start() {
        core = Platform::newObject<Core>();
        ASSERT_TRUE(core);
        io = std::make_unique<TestAppAudioIO>(core->audioEngine());
        core->applySettings();
        core->didFinishCreateAudioIO(io.get(), core->audioEngine(), core->settings(), false);
    }

    ScratchFolder home{true};
    ScratchFolder framework;
    std::shared_ptr<Core> core;
    std::unique_ptr<TestAppAudioIO> io;
};

// The kind's name, file type and the trees listed at its top.
struct Kind {
    std::string name;
    std::string type;
    std::vector<std::string> trees;
    bool operator==(Kind const&) const = default;
};

Kind kindOf(Lumora::PresetDocFileManager* manager) {
    if (manager == nullptr)
        return {};
    Kind kind{manager->name(), manager->fileExtension(), {}};
    if (manager->isInVirtualTop()) {
        for (auto const& item : manager->itemList(false))
            kind.trees.push_back(item.name());
    }
    return kind;
}

} // namespace

TEST_F(CoreTest, TheProductEngineIsBuiltOverTheFrameworksDocumentFolders) {
    start();
    auto* corvane = dynamic_cast<Lumora::Corvane::AudioEngine*>(core->audioEngine());
    ASSERT_NE(corvane, nullptr);
    EXPECT_EQ(core->productName(), "Corvane");
    EXPECT_EQ(corvane->parameterManager().name(), "Corvane");
    EXPECT_EQ(corvane->parameterManager().version(), 2);
    std::string text = corvane->serialize(Lumora::SerializeWhat::SoundParameters, Lumora::SerializeWhere::Document);
    EXPECT_EQ(text.rfind("[[Parameters]]\nCorvane\tversion:2\n", 0), 0u) << text.substr(0, 80);

    // The framework made every folder before the engine was given them.
    for (std::string const& folder :
         {Shared_Information::soundUserDataDirectoryPath(), Shared_Information::soundProgramDataDirectoryPath(),
          Shared_Information::arpeggiatorUserDataDirectoryPath(), Shared_Information::midimappingUserDataDirectoryPath(),
          Shared_Information::microtuningUserDataDirectoryPath()})
        EXPECT_TRUE(fs::is_directory(folder)) << folder;

    auto* sound = corvane->soundPresetFileManager();
    ASSERT_NE(sound, nullptr);
    sound->changeDirectoryToHomeDirectory();
    EXPECT_EQ(kindOf(sound), (Kind{"Sound Presets", "corvane_snd", {"Factory", "User", "Program"}}));
    EXPECT_EQ(kindOf(corvane->arpeggiatorDocumentFileManager()), (Kind{"Arpeggiator", "kyv_arp", {}}));
    EXPECT_EQ(kindOf(corvane->midiMappingFileManager()), (Kind{"MIDI Mapping", "corvane_midi", {}}));
    EXPECT_EQ(kindOf(corvane->microtuningDocumentFileManager()), (Kind{"Microtuning", "kyv_tng", {}}));

    auto config = Core::makeAudioEngineConfig();
    EXPECT_EQ(config.soundFactoryPath, Shared_Information::soundFactoryDataDirectoryPath());
    EXPECT_EQ(config.samplePath, Shared_Information::frameworkResourcePath() + "/Data/Sample");
    EXPECT_EQ(config.waveTablePath, Shared_Information::frameworkResourcePath() + "/Data/WaveTable");
    EXPECT_EQ(config.sampleType, "wav");
    EXPECT_EQ(config.waveTableType, "wtbl");

    EXPECT_NE(std::dynamic_pointer_cast<Settings>(core->settings()), nullptr);
}

TEST_F(CoreTest, TheThemeIsInstalledOnceTheModelIsCompleteAndTheMainScreenComesFromTheScreens) {
    // Headless: no theme, no screen, and the model still starts.
    start();
    EXPECT_EQ(core->mainViewController(), nullptr);
    io.reset();
    core.reset();

    int themes = 0;
    Lumora::ScreenServices::setThemeInstaller([&](std::shared_ptr<Lumora_Core> const& model) {
        ++themes;
        ASSERT_TRUE(model);
        EXPECT_NE(model->audioEngine(), nullptr);
        EXPECT_NE(model->settings(), nullptr);
        EXPECT_NE(model->timer(), nullptr) << "the model's own initialization has finished";
    });
    struct Screen : Platform::Object {};
    std::shared_ptr<Platform::Object> screen = std::make_shared<Screen>();
    int screensMade = 0;
    Lumora::ScreenServices::setMainViewControllerFactory([&](std::shared_ptr<Lumora_Core> const& model) {
        ++screensMade;
        EXPECT_TRUE(model->isPlugin() == false);
        return screen;
    });
    start();
    EXPECT_EQ(themes, 1);
    EXPECT_EQ(core->mainViewController(), screen);
    EXPECT_EQ(core->mainViewController(), screen);
    EXPECT_EQ(screensMade, 1) << "made once and kept";
}

TEST_F(CoreTest, TheFrameworksDefaultSoundIsLoadedAtStart) {
    // A default sound written by another engine of the product, with its volume at 0.2.
    {
        auto maker = Platform::newObject<Core>();
        TestAppAudioIO maker_io(maker->audioEngine());
        auto& manager = maker->audioEngine()->parameterManager();
        auto* volume = manager.getParameter(std::string("COMMON_VOLUME"));
        ASSERT_NE(volume, nullptr);
        volume->setConcreteValue(0.2f, Token::ViewController);
        writeFile(framework / "Data/Sound/Default.corvane_snd",
                  maker->audioEngine()->serialize(Lumora::SerializeWhat::FullState, Lumora::SerializeWhere::Document));
    }
    start();
    EXPECT_EQ(engine().soundPresetFileManager()->presetName(), "Default");
    EXPECT_FLOAT_EQ(engine().parameterManager().getParameter(std::string("COMMON_VOLUME"))->concreteValue(), 0.2f);
}

TEST_F(CoreTest, WithoutADefaultSoundTheSoundStartsInitialized) {
    start();
    EXPECT_EQ(engine().soundPresetFileManager()->presetName(), "initialized");
}

TEST_F(CoreTest, EachTickPublishesWhatTheRenderThreadMeasured) {
    start();
    constexpr unsigned frames = 256;
    constexpr float rate = 48000.0f;
    engine().setMaximumFramesToRender(frames);
    engine().allocateRenderResources(rate);
    core->onTimer(nullptr);

    RecordingScreen screen;
    screen.attach(*core);
    std::vector<float> left(frames), right(frames);
    std::vector<float*> outputs{left.data(), right.data()};
    io->renderBlock({}, outputs, frames, rate, {Lumora::MidiMessage(0x90, 60, 100)}, {});
    io->renderBlock({}, outputs, frames, rate, {}, {});
    core->onTimer(nullptr);
    bool readback = false;
    for (auto const& [id, token] : screen.shown)
        readback |= token == Token::EngineReadback;
    EXPECT_TRUE(readback) << "a playing note changes a read-back value";
    screen.detach(*core);
}

TEST(IsDeviceMacTest, OnlyTheMacIdiomIsAMac) {
    for (auto const& [idiom, mac] : std::vector<std::pair<char const*, bool>>{
             {"phone", false}, {"pad", false}, {"mac", true}}) {
        ::setenv("CORVANE_UI_IDIOM", idiom, 1);
        EXPECT_EQ(isDevice_Mac(), mac) << idiom;
    }
    ::unsetenv("CORVANE_UI_IDIOM");
}
