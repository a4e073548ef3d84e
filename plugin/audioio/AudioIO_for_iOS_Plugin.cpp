#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"

#include <utility>

#include "engine/parameter/Parameter.h"
#include "platform/foundation/RunLoop.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"

namespace Lumora {

namespace {
// How often the main thread hands the render thread's parameter changes to the host: the
// model's screen tick.
constexpr double kEchoInterval = 1.0 / 30.0;
} // namespace

AudioIO_for_iOS_Plugin::AudioIO_for_iOS_Plugin(iAudioEngine* engine) : iAudioIO_for_Plugin(engine) {
    didConstructSubClass(this);
    echoTimer_ = Platform::RunLoop::main().scheduledTimer(
        kEchoInterval, true, [echoes = renderThreadEchoes_](Platform::Timer&) { echoes->tellAudioUnit(); });
}

AudioIO_for_iOS_Plugin::~AudioIO_for_iOS_Plugin() {
    echoTimer_->invalidate();
    std::shared_ptr<Lumora_iOS_AudioUnit> unit;
    {
        std::lock_guard lock(unitLock_);
        unit = std::move(audioUnit_);
    }
    // The host may keep the unit longer than this object lives.
    if (unit != nullptr)
        unit->audioIOWillBeDestroyed();
}

void AudioIO_for_iOS_Plugin::didChangeParam(const Parameter* param, Token token, AutomationEventType event) {
    if (param == nullptr || token == Token::Host || param->hasOption(Parameter::Options::HiddenFromHost))
        return;
    // Inside a render call nothing may allocate or wait: the change is only marked.
    if (RenderThreadEchoes::isRenderThread()) {
        renderThreadEchoes_->mark(param->id(), event);
        return;
    }
    std::weak_ptr<Lumora_iOS_AudioUnit> unit;
    {
        std::lock_guard lock(unitLock_);
        unit = audioUnit_;
    }
    if (unit.expired())
        return;
    // The task finds the parameter again by id: by the time it runs the parameter may be gone,
    // and the unit with it.
    int const id = param->id();
    Platform::RunLoop::main().post([unit, id, event] {
        if (auto strong = unit.lock())
            strong->echoParam(id, event);
    });
}

bool AudioIO_for_iOS_Plugin::canProposeBpm() const {
    auto unit = audioUnit();
    return unit == nullptr || !unit->hostMusicalContextInfo()->success();
}

void AudioIO_for_iOS_Plugin::proposeBpm(double bpm) {
    if (auto unit = audioUnit())
        unit->setBpmForInternalSync(bpm);
}

std::shared_ptr<Lumora_iOS_AudioUnit> AudioIO_for_iOS_Plugin::createAudioUnit(
    Platform::ComponentDescription const& description, Platform::Error* error,
    std::shared_ptr<Lumora_Plugin_AUViewController> const& viewController) {
    auto unit = std::make_shared<Lumora_iOS_AudioUnit>();
    if (!unit->initWithAudioIO(this, description, error))
        unit = nullptr;
    std::shared_ptr<Lumora_iOS_AudioUnit> previous;
    {
        std::lock_guard lock(unitLock_);
        previous = std::exchange(audioUnit_, unit);
    }
    if (previous != nullptr)
        previous->audioIOWillBeDestroyed();
    renderThreadEchoes_->setAudioUnit(unit);
    if (unit != nullptr)
        unit->setAuVwCtrlr(viewController);
    return unit;
}

std::shared_ptr<Lumora_iOS_AudioUnit> AudioIO_for_iOS_Plugin::audioUnit() const {
    std::lock_guard lock(unitLock_);
    return audioUnit_;
}

} // namespace Lumora
