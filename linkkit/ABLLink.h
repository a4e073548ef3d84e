#pragma once

#include <cstdint>

// The plain function interface through which the program takes part in Link sessions
// (tempo and beat sharing with peers on the local network).
//
// Main thread: ABLLinkNew, ABLLinkDelete, ABLLinkActivate, ABLLinkSetIsEnabledCallback; every
// callback is called there. Render thread (one at a time, wait-free, no allocation):
// ABLLinkCaptureRenderState, ABLLinkCommitRenderState, the ABLLinkRenderState* functions and
// ABLLinkUserEnabled. Host times are ticks of ABLHostClock.

struct ABLLink;
struct ABLLinkRenderState;

using ABLLinkEnabledChangedCallback = void (*)(bool isEnabled, void* context);

// A new session at the tempo (beats per minute). The object is active; Link networking starts
// at once when the user's stored Link switch is on.
ABLLink* ABLLinkNew(double bpm);
// Only once the render thread no longer uses the object. Events already queued for the main
// thread run later against no-op callbacks.
void ABLLinkDelete(ABLLink* link);

// Whether the program wants Link; networking runs while it is active and the user's switch is on.
void ABLLinkActivate(ABLLink* link, bool active);
// The user's Link switch.
bool ABLLinkUserEnabled(ABLLink* link);
// Called when the user switches Link on or off in the kit's settings view.
void ABLLinkSetIsEnabledCallback(ABLLink* link, ABLLinkEnabledChangedCallback callback, void* context);

// Reads the session's timeline and start/stop state for this render cycle into the object's record.
ABLLinkRenderState* ABLLinkCaptureRenderState(ABLLink* link);
// Hands what the render thread changed in the record to the session, stamped with the current host time.
void ABLLinkCommitRenderState(ABLLink* link, ABLLinkRenderState* state);

double ABLLinkRenderStateTempo(ABLLinkRenderState* state);
// The tempo is limited to [20, 999]; the beat at the host time stays where it is.
void ABLLinkRenderStateChangeTempo(ABLLinkRenderState* state, std::uint64_t hostTime, double bpm);
double ABLLinkRenderStateBeatAt(ABLLinkRenderState* state, std::uint64_t hostTime, double quantum);
