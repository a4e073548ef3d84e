// The Corvane program end to end without a display: it starts the app from the project's own
// bundle with the product's screens, plays a MIDI phrase into the app's MIDI inputs while the
// offline driver pulls the app's output, and writes a WAV file and a picture of the editor.
#include "app/CorvaneProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/support/AppShellTestSupport.h"
#include "platform/audio/WavFile.h"
#include "platform/graphics/Image.h"
#include "platform/midi/StandardMidiFile.h"

using namespace AppShellTest;

namespace {

// The project's own bundle of the app, found from this source file.
std::string projectBundle() {
    return (std::filesystem::path(CORVANE_SOURCE_DIR) / "resources/Corvane.app").string();
}

// One A3 for a quarter of a second (48 ticks at 96 per quarter, 120 beats per minute).
std::vector<char> shortPhrase() {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
            'M', 'T', 'r', 'k', 0, 0, 0, 12,
            0x00, char(0x90), 57, 100,
            0x30, char(0x80), 57, 0,
            0x00, char(0xFF), 0x2F, 0x00};
}

// One note whose note-off lies 0x0FFFFFFF ticks away at the slowest tempo and one tick per quarter:
// about 4.5e9 seconds of phrase in 44 bytes.
std::vector<char> endlessPhrase() {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 1,
            'M', 'T', 'r', 'k', 0, 0, 0, 22,
            0x00, char(0xFF), 0x51, 0x03, char(0xFF), char(0xFF), char(0xFF),
            0x00, char(0x90), 57, 100,
            char(0xFF), char(0xFF), char(0xFF), 0x7F, char(0x80), 57, 0,
            0x00, char(0xFF), 0x2F, 0x00};
}

void writeBytes(std::string const& path, std::vector<char> const& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The program beside this test's build, in its bundle folder.
std::filesystem::path builtProgram() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "app/Corvane.app/Corvane";
}

struct Level {
    double rms = 0;
    bool finite = true;
};

Level levelOf(Platform::WavData const& wav, uint64_t from, uint64_t to) {
    Level level;
    double sum = 0;
    uint64_t count = 0;
    for (uint64_t i = from; i < std::min(to, wav.frames); ++i)
        for (unsigned c = 0; c < wav.channels; ++c) {
            float const s = wav.sample(i, c);
            if (!std::isfinite(s)) {
                level.finite = false;
                continue;
            }
            sum += double(s) * s;
            ++count;
        }
    level.rms = count ? std::sqrt(sum / count) : 0;
    return level;
}

class CorvaneProgram : public ::testing::Test {
protected:
    CorvaneProgram() {
        sharedTemporaryDirectory();
        ::setenv("CORVANE_MAIN_BUNDLE", projectBundle().c_str(), 1);
    }
    ~CorvaneProgram() override { ::unsetenv("CORVANE_MAIN_BUNDLE"); }

    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "Corvane");
        std::vector<char const*> argv;
        for (auto const& a : arguments)
            argv.push_back(a.c_str());
        return AppShell::runCorvane(static_cast<int>(argv.size()), argv.data());
    }

    ScratchFolder home{true};
    ScratchFolder files;
};

} // namespace

TEST_F(CorvaneProgram, RendersAStandardMidiFileIntoAWavFileThatSounds) {
    std::string const midi = files / "note.mid";
    auto const bytes = shortPhrase();
    std::ofstream(midi, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::string const wavPath = files / "out/corvane.wav";
    std::string const pngPath = files / "out/editor.png";

    testing::internal::CaptureStdout();
    int const status = run({"--wav", wavPath, "--png", pngPath, "--tail", "0.5", midi});
    std::string const printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0) << printed;
    EXPECT_NE(printed.find("wrote " + wavPath), std::string::npos) << printed;
    EXPECT_NE(printed.find("peak "), std::string::npos);
    EXPECT_NE(printed.find("RMS "), std::string::npos);

    auto wav = Platform::readWav(wavPath);
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->channels, 2u);
    EXPECT_EQ(wav->sampleRate, 44100u);
    EXPECT_EQ(wav->frames, static_cast<uint64_t>(std::ceil(0.75 * 44100)));
    Level const note = levelOf(*wav, 0, 11025);
    Level const whole = levelOf(*wav, 0, wav->frames);
    EXPECT_TRUE(whole.finite);
    EXPECT_GT(note.rms, 0.005);
    float peak = 0;
    for (float s : wav->samples)
        peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 0.02f);
    EXPECT_LE(peak, 1.0f);

    // The editor's picture is written too.
    EXPECT_NE(printed.find("wrote " + pngPath), std::string::npos) << printed;
    ASSERT_TRUE(std::filesystem::exists(pngPath));
    EXPECT_GT(std::filesystem::file_size(pngPath), 0u);
    // The app went to the background on the way out, writing its state backup.
    EXPECT_TRUE(std::filesystem::exists(Platform::temporaryDirectory() + "full_state_backup"));
}

TEST_F(CorvaneProgram, UnusableArgumentsAndFilesEndWithAnError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(run({"--tail", "forever"}), 2);
    EXPECT_EQ(run({"--wav"}), 2);
    EXPECT_EQ(run({"--bogus"}), 2);
    EXPECT_EQ(run({"a.mid", "b.mid"}), 2);
    std::ofstream(files / "broken.mid") << "not a MIDI file";
    EXPECT_EQ(run({"--wav", files / "x.wav", files / "broken.mid"}), 1);
    std::string const errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("usage: Corvane"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(files / "x.wav"));

    testing::internal::CaptureStdout();
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("usage: Corvane"), std::string::npos);
}

TEST_F(CorvaneProgram, TheBuiltProgramPlaysTheBuiltInPhrase) {
    std::filesystem::path const program = builtProgram();
    if (!std::filesystem::exists(program))
        GTEST_SKIP() << "Corvane is not built in " << program;
    ::unsetenv("CORVANE_MAIN_BUNDLE");
    std::string const wavPath = files / "phrase.wav";
    std::string const command = program.string() + " --tail 0 --wav '" + wavPath + "' --png '" + (files / "phrase.png") + "' > '" + (files / "log.txt") + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(files / "log.txt");
    auto wav = Platform::readWav(wavPath);
    ASSERT_TRUE(wav.has_value());
    Level const level = levelOf(*wav, 0, wav->frames);
    EXPECT_TRUE(level.finite);
    EXPECT_GT(level.rms, 0.01);
    EXPECT_NE(readFile(files / "log.txt").find("the built-in phrase"), std::string::npos);
}

TEST_F(CorvaneProgram, TheEditorIsDrawnIntoAPngFileOfTheWindowsSize) {
    std::string const midi = files / "note.mid";
    auto const bytes = shortPhrase();
    std::ofstream(midi, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::string const pngPath = files / "shots/editor.png";
    testing::internal::CaptureStdout();
    int const status = run({"--wav", files / "e.wav", "--png", pngPath, "--tail", "0", midi});
    std::string const printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0) << printed;
    EXPECT_NE(printed.find("wrote " + pngPath), std::string::npos) << printed;

    Platform::Image const image = Platform::Image::contentsOfFile(pngPath);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size().width, AppShell::Application::mainScreenBounds().size.width);
    EXPECT_EQ(image.size().height, AppShell::Application::mainScreenBounds().size.height);
    // A drawn editor, not an empty window: a coarse grid of samples finds many colours.
    std::vector<Platform::Color> seen;
    for (int y = 0; y < image.pixelHeight(); y += image.pixelHeight() / 16)
        for (int x = 0; x < image.pixelWidth(); x += image.pixelWidth() / 16) {
            Platform::Color const c = image.pixel(x, y);
            if (std::find(seen.begin(), seen.end(), c) == seen.end())
                seen.push_back(c);
        }
    EXPECT_GE(seen.size(), 4u);
}

TEST_F(CorvaneProgram, AnUnwritablePictureFailsTheRun) {
    std::string const midi = files / "note.mid";
    writeBytes(midi, shortPhrase());
    std::ofstream(files / "blocker") << "a file where a folder should be";
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    int const status = run({"--wav", files / "p.wav", "--png", files / "blocker/editor.png", "--tail", "0", midi});
    testing::internal::GetCapturedStdout();
    std::string const errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors.find("could not write"), std::string::npos) << errors;
}

TEST_F(CorvaneProgram, TheRenderedLengthIsCapped) {
    struct Case {
        double phrase, tail;
        uint64_t frames;
        bool cut;
    };
    double const cap = AppShell::kMaximumRenderSeconds;
    for (Case const& c : {Case{1.0, 2.0, 132300, false}, Case{cap - 2.0, 2.0, uint64_t(cap * 44100), false},
                          Case{4.5e9, 2.0, uint64_t(cap * 44100), true}, Case{INFINITY, 0.0, uint64_t(cap * 44100), true},
                          Case{NAN, 0.0, uint64_t(cap * 44100), true}}) {
        bool cut = false;
        EXPECT_EQ(AppShell::framesToRender(c.phrase, c.tail, 44100.0, cut), c.frames) << c.phrase;
        EXPECT_EQ(cut, c.cut) << c.phrase;
    }
    // The 44-byte file's phrase is far beyond the cap.
    writeBytes(files / "endless.mid", endlessPhrase());
    std::string error;
    auto file = Platform::StandardMidiFile::read(files / "endless.mid", &error);
    ASSERT_TRUE(file.has_value()) << error;
    EXPECT_GT(file->durationSeconds(), 1e9);
    bool cut = false;
    EXPECT_EQ(AppShell::framesToRender(file->durationSeconds(), 2.0, 44100.0, cut), uint64_t(cap * 44100));
    EXPECT_TRUE(cut);
}

TEST_F(CorvaneProgram, AnInterruptedRenderLeavesNoFileBehind) {
    std::filesystem::path const program = builtProgram();
    if (!std::filesystem::exists(program))
        GTEST_SKIP() << "Corvane is not built in " << program;
    writeBytes(files / "endless.mid", endlessPhrase());
    std::string const wavPath = files / "out/endless.wav";
    pid_t const child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string const log = files / "log.txt";
        int const fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(fd, STDERR_FILENO);
        ::execl(program.c_str(), "Corvane", "--wav", wavPath.c_str(), "--png", (files / "out/e.png").c_str(),
                (files / "endless.mid").c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Wait until the render has begun writing, then interrupt it as a user's Ctrl-C would.
    for (int i = 0; i < 300 && !std::filesystem::exists(wavPath + ".part"); ++i)
        ::usleep(50000);
    EXPECT_TRUE(std::filesystem::exists(wavPath + ".part")) << readFile(files / "log.txt");
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << readFile(files / "log.txt");
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(readFile(files / "log.txt").find("interrupted"), std::string::npos) << readFile(files / "log.txt");
    EXPECT_NE(readFile(files / "log.txt").find("only its first"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(wavPath));
    EXPECT_FALSE(std::filesystem::exists(wavPath + ".part"));
}
