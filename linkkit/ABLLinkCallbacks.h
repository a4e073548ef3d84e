#pragma once

#include <functional>

// The client's handlers of the kit's events, all called on the main thread. The record is
// shared: every event queued for the main thread holds its own reference, so an event that
// runs after its ABLLink object is gone finds the no-ops that the deletion left behind.
struct ABLLinkCallbacks {
    std::function<void(bool connected)> connected = [](bool) {};
    std::function<void(bool enabled)> isEnabled = [](bool) {};
    std::function<void(unsigned long peers)> peerCount = [](unsigned long) {};
    std::function<void(double bpm)> tempo = [](double) {};
    std::function<void(bool isPlaying)> startStop = [](bool) {};
    std::function<void(bool enabled)> startStopSyncEnabled = [](bool) {};
};
