#include "linkkit/ABLLink.h"

#include "linkkit/ABLHostClock.h"
#include "linkkit/ABLLinkObject.h"
#include "linkkit/ABLLinkSession.h"

ABLLink* ABLLinkNew(double bpm)
{
    auto* link = new ABLLink(bpm);
    link->callbacks().peerCount = [link](unsigned long peers) { link->handlePeerCount(peers); };
    return link;
}

void ABLLinkDelete(ABLLink* link)
{
    delete link;
}

void ABLLinkActivate(ABLLink* link, bool active)
{
    link->setActive(active);
}

bool ABLLinkUserEnabled(ABLLink* link)
{
    return link->isUserEnabled();
}

void ABLLinkSetIsEnabledCallback(ABLLink* link, ABLLinkEnabledChangedCallback callback, void* context)
{
    link->callbacks().isEnabled = [callback, context](bool isEnabled) {
        if (callback)
            callback(isEnabled, context);
    };
}

ABLLinkRenderState* ABLLinkCaptureRenderState(ABLLink* link)
{
    auto& state = link->renderState();
    link->session().captureRtSafe(state);
    return &state;
}

void ABLLinkCommitRenderState(ABLLink* link, ABLLinkRenderState* state)
{
    if (!state->timelineChanged() && !state->startStopChanged())
        return;
    link->session().commitRtSafe(*state, ABLHostClock::Micros(state->hostTimeToMicros(ABLHostClock::ticks())));
}

double ABLLinkRenderStateTempo(ABLLinkRenderState* state)
{
    return state->tempo();
}

void ABLLinkRenderStateChangeTempo(ABLLinkRenderState* state, std::uint64_t hostTime, double bpm)
{
    state->changeTempo(hostTime, bpm);
}

double ABLLinkRenderStateBeatAt(ABLLinkRenderState* state, std::uint64_t hostTime, double quantum)
{
    return state->beatAt(hostTime, quantum);
}
