#include "app/CorvaneProgram.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include <csignal>

#include <boost/filesystem/operations.hpp>

#include "app/AppDelegate.h"
#include "app/Application.h"
#include "app/CorvaneWindow.h"
#include "app/DemoPhrase.h"
#include "app/LivePlayer.h"
#include "app/MidiPhraseSource.h"
#include "app/SoundCatalog.h"
#include "app/StateLocations.h"
#include "app/screens/AppScreens.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "model/core/Lumora_Core.h"
#include "platform/audio/JackDriver.h"
#include "platform/audio/MemoryLock.h"
#include "platform/audio/OfflineDriver.h"
#include "platform/audio/OutputUnit.h"
#include "platform/audio/WavFile.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/midi/MidiSystem.h"
#include "platform/midi/SmfSource.h"
#include "platform/ui/Window.h"
#include "platform/ui/x11/X11WindowHost.h"
#include "screens/main/CorvaneScreens.h"

namespace AppShell {

namespace {

constexpr char const* kUsage =
    "usage: Corvane [--headless | --window] [--sound NAME|FILE]\n"
    "       Corvane [--sound NAME|FILE] [--wav out.wav] [--png editor.png] [--tail seconds] [phrase.mid]\n"
    "       Corvane --list-sounds | --version | --help\n"
    "Without render arguments Corvane plays live through a JACK server (or ALSA's default device)\n"
    "until interrupted; --headless opens no window. With --wav, --png, --tail or a MIDI file it\n"
    "renders the current sound playing the phrase (a Standard MIDI File, or a built-in phrase)\n"
    "into a WAV file and draws the editor into a PNG file. On a desktop (DISPLAY set) live play\n"
    "shows the editor in a window and ends when it is closed; --window insists on it.\n";
// Longest tail accepted: a run should stay a run, not fill the disk.
constexpr double kMaximumTailSeconds = 60.0;

// Set by SIGINT or SIGTERM while a file renders, so that the render stops and leaves no partial file.
volatile std::sig_atomic_t interrupted = 0;
extern "C" void noteInterruption(int) { interrupted = 1; }

// Asks SIGINT and SIGTERM to stop the render for as long as it lives, then restores what was there.
class InterruptionGuard {
public:
    InterruptionGuard() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = noteInterruption;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previousInterrupt_);
        ::sigaction(SIGTERM, &action, &previousTerminate_);
    }
    ~InterruptionGuard() {
        ::sigaction(SIGINT, &previousInterrupt_, nullptr);
        ::sigaction(SIGTERM, &previousTerminate_, nullptr);
    }
    InterruptionGuard(InterruptionGuard const&) = delete;
    InterruptionGuard& operator=(InterruptionGuard const&) = delete;

private:
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
};

bool parseSeconds(std::string const& text, double& value) {
    double parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(parsed) || parsed < 0 ||
        parsed > kMaximumTailSeconds)
        return false;
    value = parsed;
    return true;
}

double decibels(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY; }

void makeParentFolder(std::string const& path) {
    auto folder = boost::filesystem::path(path).parent_path();
    boost::system::error_code ignored;
    if (!folder.empty())
        boost::filesystem::create_directories(folder, ignored);
}

// What plays into the app's MIDI inputs: one block of frames at a time, on the render thread.
struct Player {
    std::shared_ptr<Platform::MidiSource> source;
    std::function<void(unsigned frames)> advance;
    double seconds = 0;       // up to the last event
    std::size_t events = 0;
    std::string description;
};

std::optional<Player> makePlayer(CorvaneOptions const& options, double sampleRate, std::string& error) {
    Player player;
    if (options.midiFile.empty()) {
        auto phrase = std::make_shared<MidiPhraseSource>(DemoPhrase::build(sampleRate), std::string("Corvane Phrase"));
        player.source = phrase->source();
        player.advance = [phrase](unsigned frames) { phrase->advance(frames); };
        player.seconds = DemoPhrase::seconds();
        player.events = phrase->phrase().events().size();
        player.description = "the built-in phrase";
        return player;
    }
    auto file = Platform::StandardMidiFile::read(options.midiFile, &error);
    if (!file)
        return std::nullopt;
    player.seconds = file->durationSeconds();
    player.events = file->events().size();
    auto song = Platform::SmfSource::create(std::move(*file), boost::filesystem::path(options.midiFile).filename().string());
    player.source = song;
    player.advance = [song, sampleRate](unsigned frames) { song->advance(frames, sampleRate); };
    player.description = options.midiFile;
    return player;
}

// Pulls the app's output unit for the phrase and its tail into the WAV file, feeding each block's
// MIDI before the block renders. The main thread keeps running its loop meanwhile, so that the
// model's timer hands the render thread's reports to the screens as in a running app.
Platform::OfflineDriver::Result render(Platform::OutputUnit& unit, unsigned blockFrames, double sampleRate,
                                       Player& player, uint64_t totalFrames, std::string const& wavPath) {
    Platform::OfflineDriver::Result result;
    Platform::WavWriter writer;
    if (!writer.open(wavPath, static_cast<uint32_t>(std::lround(sampleRate)), Platform::OutputUnit::kChannelCount)) {
        result.error = writer.error();
        return result;
    }
    Platform::OfflineDriver driver(unit);
    driver.setBlockFrames(blockFrames);
    // The first block's events go out before it is pulled; every later block's right after the
    // block before it.
    player.advance(blockFrames);
    std::atomic<bool> done{false};
    InterruptionGuard const guard;
    std::thread worker([&] {
        result = driver.run(totalFrames, [&](float const* const* channels, unsigned frames) {
            if (interrupted)
                return false;
            player.advance(blockFrames);
            return writer.write(channels, frames);
        });
        done.store(true);
    });
    while (!done.load())
        Platform::RunLoop::main().runFor(std::chrono::milliseconds(10));
    worker.join();
    // The render thread's last reports (the final note-offs) reach the screens on the model's
    // 1/30 s timer; a render faster than a tick would otherwise draw keys still pressed. Several
    // ticks let every report through before the picture is drawn.
    Platform::RunLoop::main().runFor(std::chrono::milliseconds(150));

    if (!result.ok) {
        if (interrupted)
            result.error = "interrupted; no file written";
        else if (!writer.error().empty())
            result.error = writer.error();
        writer.abandon();
        return result;
    }
    if (!writer.close()) {
        result.ok = false;
        result.error = writer.error();
    }
    return result;
}

std::string soundName(Lumora_AppDelegate& delegate) {
    Lumora::iAudioEngine* engine = delegate.audioEngine();
    Lumora::PresetDocFileManager* sound = engine ? engine->soundPresetFileManager() : nullptr;
    return sound ? sound->presetName() : std::string();
}

// The editor as the window shows it; nothing when no screens are built in. False when the picture
// could not be written.
bool renderEditor(Lumora_AppDelegate& delegate, std::string const& pngPath) {
    auto window = delegate.window();
    if (!window || window->rootViewController() == nullptr)
        return true;
    makeParentFolder(pngPath);
    Platform::Image image = window->renderToImage();
    if (!image.isNull() && image.writePNG(pngPath)) {
        std::printf("wrote %s (%d x %d)\n", pngPath.c_str(), image.pixelWidth(), image.pixelHeight());
        return true;
    }
    std::fprintf(stderr, "Corvane: could not write %s\n", pngPath.c_str());
    return false;
}

} // namespace

uint64_t framesToRender(double phraseSeconds, double tailSeconds, double sampleRate, bool& cut) {
    double seconds = phraseSeconds + tailSeconds;
    cut = !std::isfinite(seconds) || seconds > kMaximumRenderSeconds;
    if (cut)
        seconds = kMaximumRenderSeconds;
    return static_cast<uint64_t>(std::ceil(std::max(seconds, 0.0) * sampleRate));
}

std::optional<CorvaneOptions> parseCorvaneArguments(int argc, char const* const* argv, std::string& error) {
    CorvaneOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string const argument = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc || std::string(argv[i + 1]).empty()) {
                error = argument + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--list-sounds") {
            options.listSounds = true;
        } else if (argument == "--headless") {
            options.headless = true;
        } else if (argument == "--sound") {
            if (!value(options.sound))
                return std::nullopt;
        } else if (argument == "--window") {
            options.window = true;
        } else if (argument == "--wav" || argument == "-o") {
            options.render = true;
            if (!value(options.wavPath))
                return std::nullopt;
        } else if (argument == "--png") {
            options.render = true;
            if (!value(options.pngPath))
                return std::nullopt;
        } else if (argument == "--tail") {
            options.render = true;
            std::string text;
            if (!value(text))
                return std::nullopt;
            if (!parseSeconds(text, options.tailSeconds)) {
                error = "--tail takes seconds from 0 to 60, not " + text;
                return std::nullopt;
            }
        } else if (!argument.empty() && argument[0] == '-') {
            error = "unknown option " + argument;
            return std::nullopt;
        } else if (options.midiFile.empty()) {
            options.render = true;
            options.midiFile = argument;
        } else {
            error = "one MIDI file at most";
            return std::nullopt;
        }
    }
    return options;
}

namespace {

// Ends the app as the system ends it: to the background (writing the state backup), terminated.
void endApp(Application& application) {
    application.enterBackground();
    application.terminate();
    Platform::RunLoop::main().runOnce();
}

int renderOffline(CorvaneOptions const* options, Application* application, Lumora_AppDelegate* delegate,
                  Lumora::AudioIO_for_iOS_App* io, Platform::OutputUnit* unit) {
    std::string error;
    double const sampleRate = io->sampleRate();
    auto player = makePlayer(*options, sampleRate, error);
    if (!player) {
        std::fprintf(stderr, "Corvane: %s: %s\n", options->midiFile.c_str(), error.c_str());
        endApp(*application);
        return 1;
    }
    // The app's MIDI client connects to every source that appears.
    Platform::MidiSystem::shared().addSource(player->source);
    Platform::RunLoop::main().runOnce();

    bool cut = false;
    auto const frames = framesToRender(player->seconds, options->tailSeconds, sampleRate, cut);
    if (cut)
        std::fprintf(stderr, "Corvane: the phrase lasts longer than %.0f s; only its first %.0f s are rendered\n",
                     kMaximumRenderSeconds, kMaximumRenderSeconds);
    std::printf("Corvane: rendering the sound \"%s\" playing %s (%zu MIDI events, %.1f s at %.0f Hz)\n",
                soundName(*delegate).c_str(), player->description.c_str(), player->events, static_cast<double>(frames) / sampleRate, sampleRate);
    makeParentFolder(options->wavPath);
    auto const result = render(*unit, io->bufferSize(), sampleRate, *player, frames, options->wavPath);
    Platform::MidiSystem::shared().removeSource(player->source);

    bool const pictureWritten = renderEditor(*delegate, options->pngPath);
    endApp(*application);

    if (!result.ok) {
        std::fprintf(stderr, "Corvane: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("wrote %s\n", options->wavPath.c_str());
    std::printf("  %llu frames, stereo, 32-bit float, %.0f Hz\n", static_cast<unsigned long long>(result.frames),
                sampleRate);
    std::printf("  peak %.4f (%.1f dBFS), RMS %.4f (%.1f dBFS)%s\n", result.peak, decibels(result.peak), result.rms,
                decibels(result.rms), result.finite ? "" : ", NOT FINITE");
    return result.finite && pictureWritten ? 0 : 1;
}


// On a desktop (a display is there and --headless was not given) live play shows the editor;
// closing it ends the program as Ctrl-C does. A display that cannot be opened leaves live play
// headless, with one line saying why.
std::unique_ptr<Platform::X11WindowHost> openWindowIfDisplayAvailable(Lumora_AppDelegate& delegate, bool headless,
                                                                      bool audioOutputRunning) {
    char const* display = std::getenv("DISPLAY");
    if (headless || display == nullptr || *display == '\0')
        return nullptr;
    std::string error;
    auto& loop = Platform::RunLoop::main();
    auto window = openEditorWindow(delegate, audioOutputRunning, [&loop] { loop.stop(); }, error);
    if (!window)
        std::fprintf(stderr, "Corvane: no window (%s); playing without one\n", error.c_str());
    return window;
}

LivePlayer::Options liveOptions() {
    LivePlayer::Options options;
    if (char const* name = std::getenv("CORVANE_JACK_CLIENT"); name && *name)
        options.clientName = name;
    if (char const* connect = std::getenv("CORVANE_JACK_CONNECT"); connect && std::string(connect) == "0")
        options.connectOutputs = false;
    if (char const* device = std::getenv("CORVANE_ALSA_DEVICE"); device && *device)
        options.alsaDevice = device;
    return options;
}

int playLive(CorvaneOptions const& options, Application& application, Lumora_AppDelegate& delegate,
             Lumora::AudioIO_for_iOS_App& io) {
    // Before the driver starts, so the render thread never meets a page it must wait for.
    if (auto const lock = Platform::MemoryLock::lockAll(); lock.outcome != Platform::MemoryLock::Outcome::Locked)
        std::fprintf(stderr, "Corvane: %s\n", lock.message.c_str());
    LivePlayer player(io);
    std::string message;
    auto const backend = player.start(liveOptions(), message);
    auto window = openWindowIfDisplayAvailable(delegate, options.headless && !options.window,
                                               backend != LivePlayer::Backend::None);
    if (options.window && !window) {
        std::fprintf(stderr, "Corvane: --window needs an X display it can open\n");
        player.stop();
        endApp(application);
        return 1;
    }
    if (backend == LivePlayer::Backend::None && !window) {
        std::fprintf(stderr, "Corvane: %s\n", message.c_str());
        endApp(application);
        return kExitNoAudio;
    }
    std::printf("Corvane: %s; the sound \"%s\"; %s\n", message.c_str(), soundName(delegate).c_str(),
                window ? "closing the window or Ctrl-C ends" : "Ctrl-C ends");
    std::fflush(stdout);

    InterruptionGuard const guard;
    auto& loop = Platform::RunLoop::main();
    uint64_t shownXruns = 0;
    int secondsSinceXrunLine = 10;
    auto watch = loop.scheduledTimer(0.1, true, [&](Platform::Timer&) {
        if (interrupted) {
            loop.stop();
            return;
        }
    });
    auto health = loop.scheduledTimer(1.0, true, [&](Platform::Timer&) {
        if (std::string const line = player.poll(); !line.empty())
            std::fprintf(stderr, "Corvane: %s\n", line.c_str());
        // Xruns are shown at most every ten seconds: a struggling machine should not also flood
        // its terminal.
        ++secondsSinceXrunLine;
        if (auto* jack = player.jack(); jack && jack->xruns() != shownXruns && secondsSinceXrunLine >= 10) {
            shownXruns = jack->xruns();
            secondsSinceXrunLine = 0;
            std::fprintf(stderr, "Corvane: %llu xruns so far\n", static_cast<unsigned long long>(shownXruns));
        }
    });
    loop.run();
    watch->invalidate();
    health->invalidate();

    window.reset();
    player.stop();
    endApp(application);
    std::printf("Corvane: stopped; the state is kept in %s\n", stateDirectory().c_str());
    return 0;
}

int listSoundsOf(Lumora_AppDelegate& delegate) {
    Lumora::iAudioEngine* engine = delegate.audioEngine();
    if (engine == nullptr)
        return 1;
    for (auto const& entry : listSounds(*engine))
        std::printf("%s\t%s\n", entry.directory.c_str(), entry.name.c_str());
    return 0;
}

} // namespace

int runCorvane(int argc, char const* const* argv) {
    std::string error;
    auto options = parseCorvaneArguments(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "Corvane: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::printf("%s", kUsage);
        return 0;
    }

    // The screens live in static libraries that nothing else refers to: these calls are what
    // links them in. The model asks for its main screen as it starts, so they come first.
    Corvane::registerScreens();
    AppScreens::registerAppScreens();

    auto application = Platform::newObject<Application>();
    auto delegate = Platform::newObject<AppDelegate>();
    application->setDelegate(delegate);
    if (!application->launch()) {
        std::fprintf(stderr, "Corvane: the app could not open its audio output\n");
        return 1;
    }
    if (options->version || options->listSounds) {
        int status = 0;
        if (options->version)
            std::printf("Corvane %s\n", delegate->core() ? delegate->core()->productVersion().c_str() : "");
        else
            status = listSoundsOf(*delegate);
        application->terminate();
        Platform::RunLoop::main().runOnce();
        return status;
    }
    AppScreens::attachToApplication(application, delegate->window());
    application->becomeActive();
    Platform::RunLoop::main().runOnce();

    Lumora::AudioIO_for_iOS_App* io = delegate->audioIO();
    Platform::OutputUnit* unit = delegate->audioUnit();
    if (io == nullptr || unit == nullptr || !io->isRunning()) {
        std::fprintf(stderr, "Corvane: the audio output does not run\n");
        application->terminate();
        return 1;
    }
    if (!options->sound.empty()) {
        Lumora::iAudioEngine* engine = delegate->audioEngine();
        if (engine == nullptr || !chooseSound(*engine, options->sound, error)) {
            std::fprintf(stderr, "Corvane: %s\n", error.c_str());
            endApp(*application);
            return 1;
        }
        Platform::RunLoop::main().runOnce();
    }
    if (!options->render)
        return playLive(*options, *application, *delegate, *io);
    return renderOffline(&*options, application.get(), delegate.get(), io, unit);
}

} // namespace AppShell
