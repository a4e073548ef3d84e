#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace AppShell {

// The Corvane program without a display: it starts the app as the system would (launch, then
// active), plays a MIDI phrase into the app's MIDI inputs while the offline driver pulls the
// app's output unit as fast as the engine renders, writes what it hears into a WAV file, and
// draws the main screen into a PNG file. Then the app goes to the
// background (writing its state backup) and terminates.
//
//   Corvane [--wav out.wav] [--png editor.png] [--tail seconds] [phrase.mid]
//   Corvane --window      (the editor in a window on the X display; see app/CorvaneWindow.h)
//
// Without a Standard MIDI File the built-in phrase plays.
struct CorvaneOptions {
    std::string midiFile;
    std::string wavPath = "corvane.wav";
    std::string pngPath = "corvane-editor.png";
    double tailSeconds = 2.0;   // after the last event, for releases and effect tails
    bool help = false;
    bool render = false;        // a render argument was given: the offline job, not live play
    bool headless = false;
    bool listSounds = false;
    bool version = false;
    std::string sound;          // a preset's name as the browser shows it, or a sound file
    bool window = false;
};

// Live play found nothing to play through.
inline constexpr int kExitNoAudio = 3;

// Longest render of a phrase and its tail: a run should stay a run, not fill the disk (about 200 MB
// of 32-bit stereo at 44.1 kHz).
inline constexpr double kMaximumRenderSeconds = 600.0;

// The frames a run renders for a phrase and its tail; `cut` tells when the cap shortened them.
uint64_t framesToRender(double phraseSeconds, double tailSeconds, double sampleRate, bool& cut);

// Nothing (and the reason) for arguments it cannot use.
std::optional<CorvaneOptions> parseCorvaneArguments(int argc, char const* const* argv, std::string& error);

// The whole program; its exit status.
int runCorvane(int argc, char const* const* argv);

} // namespace AppShell
