// Identical input renders identical output in a fresh process. The pitch drift, the pitch jitter
// and the noise draw from one process-wide generator that starts from a fixed seed, so each
// render runs in a child process forked before anything in this program drew from it.
#include <gtest/gtest.h>

#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "EngineFixture.h"

using namespace EngineTest;

namespace {

struct Fingerprint {
    uint64_t hash = 0;
    uint64_t frames = 0;
    double rms = 0.0;
};

// FNV-1a over the bits of every sample of both channels.
uint64_t hashOf(const Stereo& s) {
    uint64_t h = 1469598103934665603ull;
    for (const std::vector<float>* side : {&s.left, &s.right}) {
        for (float x : *side) {
            uint32_t bits;
            std::memcpy(&bits, &x, sizeof bits);
            for (int i = 0; i < 4; ++i) {
                h = (h ^ ((bits >> (8 * i)) & 0xff)) * 1099511628211ull;
            }
        }
    }
    return h;
}

// The default sound with its pitch drift plus chorus, delay and reverb, over chords and a melody.
Fingerprint renderPhrase() {
    EngineRig rig(256, /*reseed=*/false);
    rig.set(11100, 0.5f);
    rig.set(11200, 0.5f);
    rig.set(11400, 0.5f);
    rig.set(10303, 0.3f); // some noise too
    std::vector<Event> events = {noteOn(0, 48), noteOn(0, 55), noteOn(0, 64)};
    for (int i = 0; i < 8; ++i) {
        events.push_back(noteOn(3000 + i * 5000, 67 + (i % 4) * 2, 60 + i * 8));
        events.push_back(noteOff(6500 + i * 5000, 67 + (i % 4) * 2));
    }
    events.push_back(noteOff(30000, 48));
    events.push_back(noteOff(30000, 55));
    events.push_back(noteOff(30000, 64));
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.time < b.time; });
    const Stereo out = rig.render(66150, 256, events);
    return {hashOf(out), out.left.size(), rms(out.left)};
}

Fingerprint renderInChild() {
    int fds[2];
    if (pipe(fds) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const Fingerprint f = renderPhrase();
        const bool written = write(fds[1], &f, sizeof f) == static_cast<ssize_t>(sizeof f);
        close(fds[1]);
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    Fingerprint f;
    const bool read_ok = read(fds[0], &f, sizeof f) == static_cast<ssize_t>(sizeof f);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(read_ok && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return f;
}

} // namespace

TEST(CorvaneEngineDeterminism, IdenticalInputRendersIdenticallyInAFreshProcess) {
    const Fingerprint first = renderInChild();
    const Fingerprint second = renderInChild();
    EXPECT_EQ(first.frames, 66150u);
    EXPECT_GT(first.rms, 0.01);
    EXPECT_EQ(first.hash, second.hash);
    EXPECT_EQ(first.rms, second.rms);
}
