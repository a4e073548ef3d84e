#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"

#include <cmath>
#include <limits>
#include <optional>

#include "model/core/Lumora_Core.h"
#include "model/product/isDevice_Mac.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/foundation/RunLoop.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"

namespace {

// The Mac's editor windows come in two shapes, told apart by ten times their aspect ratio.
constexpr int kMacWideRatio = 17;
constexpr int kMacPanoramaRatio = 30;
// The platform's status for a unit that could not be initialized.
constexpr Platform::AudioStatus kFailedInitialization = -10875;

// Ten times width over height, truncated; nothing for a shape that has no ratio.
std::optional<long long> tenfoldAspectRatio(Lumora_Plugin_AUViewController::ViewConfiguration const& configuration) {
    if (!(configuration.height > 0) || !std::isfinite(configuration.width))
        return std::nullopt;
    double const ratio = configuration.width / configuration.height * 10;
    if (!std::isfinite(ratio) || std::fabs(ratio) >= double(std::numeric_limits<long long>::max()))
        return std::nullopt;
    return static_cast<long long>(ratio);
}

} // namespace

Lumora_Plugin_AUViewController::Lumora_Plugin_AUViewController() = default;

Lumora_Plugin_AUViewController::~Lumora_Plugin_AUViewController() {
    // The model keeps its observers unretained and may outlive this controller.
    if (observingModel_ && core_)
        core_->removeParamObserver(this);
    std::unique_ptr<Lumora::AudioIO_for_iOS_Plugin> audioIO;
    {
        std::lock_guard lock(audioIOLock_);
        audioIO = std::move(audioIO_);
    }
    audioIO.reset();
    core_.reset();
}

bool Lumora_Plugin_AUViewController::initWithCoder() {
    if (!Platform::ViewController::initWithNibName("", nullptr))
        return false;
    setPreferredContentSize(preferredEditorSize());
    core_ = createCore();
    return true;
}

std::shared_ptr<Lumora_Core> Lumora_Plugin_AUViewController::createCore() {
    return nullptr;
}

void Lumora_Plugin_AUViewController::viewDidLoad() {
    Platform::ViewController::viewDidLoad();
    if (audioUnit() != nullptr)
        didReadyViewAndAudioUnit();
}

std::shared_ptr<Lumora_iOS_AudioUnit> Lumora_Plugin_AUViewController::createAudioUnitWithComponentDescription(
    Platform::ComponentDescription const& description, Platform::Error* error) {
    Lumora::iAudioEngine* engine = core_ ? core_->audioEngine() : nullptr;
    if (engine == nullptr) {
        if (error != nullptr)
            *error = Platform::Error(Platform::CocoaErrorDomain, kFailedInitialization,
                                     "the extension has no engine");
        return nullptr;
    }

    // Two requests at once would each destroy the other's audio I/O while it is being set up.
    std::lock_guard factory(factoryLock_);
    Lumora::AudioIO_for_iOS_Plugin* audioIO = nullptr;
    {
        // The engine's master and common parameters are made anew: the model's tick must not be
        // telling the screens of the old ones while they are freed.
        auto blocks = core_->lockParameterBlocks();
        audioIO = replaceAudioIO(engine);
    }
    std::shared_ptr<Lumora_iOS_AudioUnit> unit =
        audioIO->createAudioUnit(description, error, self<Lumora_Plugin_AUViewController>());

    std::shared_ptr<Lumora_Settings> settings = core_->settings();
    core_->applySettings();
    core_->didFinishCreateAudioIO(audioIO, engine, settings, true);
    didFinishCreateAudioIO(audioIO, engine, settings, true);
    postReadinessStep();
    return unit;
}

Lumora::AudioIO_for_iOS_Plugin* Lumora_Plugin_AUViewController::replaceAudioIO(Lumora::iAudioEngine* engine) {
    std::unique_ptr<Lumora::AudioIO_for_iOS_Plugin> previous;
    {
        std::lock_guard lock(audioIOLock_);
        previous = std::move(audioIO_);
    }
    // Detaches the previous unit (which renders silence from now on) and the previous audio I/O.
    previous.reset();
    auto created = std::make_unique<Lumora::AudioIO_for_iOS_Plugin>(engine);
    Lumora::AudioIO_for_iOS_Plugin* audioIO = created.get();
    std::lock_guard lock(audioIOLock_);
    audioIO_ = std::move(created);
    return audioIO;
}

void Lumora_Plugin_AUViewController::postReadinessStep() {
    std::weak_ptr<Lumora_Plugin_AUViewController> weak = weakSelf<Lumora_Plugin_AUViewController>();
    Platform::RunLoop::main().post([weak] {
        auto controller = weak.lock();
        if (controller && controller->isViewLoaded())
            controller->didReadyViewAndAudioUnit();
    });
}

void Lumora_Plugin_AUViewController::didFinishCreateAudioIO(Lumora::iAudioIO*, Lumora::iAudioEngine*,
                                                            std::shared_ptr<Lumora_Settings> const&, bool) {}

void Lumora_Plugin_AUViewController::didReadyViewAndAudioUnit() {
    if (!core_)
        return;
    auto mainScreen = std::dynamic_pointer_cast<Platform::ViewController>(core_->mainViewController());
    if (mainScreen) {
        // A view loaded after the unit was made but before the posted step ran asks twice.
        if (isPresentingMainScreen(mainScreen.get()))
            return;
        mainScreen->setModalPresentationStyle(Platform::ModalPresentationStyle::FullScreen);
        presentViewController(mainScreen, true);
        return;
    }
    updateUI();
    core_->addParamObserver(this);
    observingModel_ = true;
}

bool Lumora_Plugin_AUViewController::isPresentingMainScreen(Platform::ViewController const* mainScreen) const {
    return mainScreen->presentingViewController() != nullptr;
}

void Lumora_Plugin_AUViewController::didChangeParam(Lumora::Parameter const*, Token) {}

std::vector<std::size_t> Lumora_Plugin_AUViewController::supportedViewConfigurations(
    std::vector<ViewConfiguration> const& available) const {
    bool const mac = isDevice_Mac();
    std::vector<std::size_t> offered;
    for (std::size_t i = 0; i < available.size(); ++i) {
        if (!mac) {
            offered.push_back(i);
            continue;
        }
        auto const ratio = tenfoldAspectRatio(available[i]);
        if (ratio && (*ratio == kMacWideRatio || *ratio == kMacPanoramaRatio))
            offered.push_back(i);
    }
    return offered;
}

Platform::Size Lumora_Plugin_AUViewController::preferredEditorSize() {
    if (!isDevice_Mac())
        return kPreferredEditorSize;
    // Scaled in single precision, as the editor's layout computes it.
    return Platform::Size{static_cast<float>(kPreferredEditorSize.width) * kMacScale,
                          static_cast<float>(kPreferredEditorSize.height) * kMacScale};
}

std::shared_ptr<Lumora_iOS_AudioUnit> Lumora_Plugin_AUViewController::audioUnit() const {
    std::lock_guard lock(audioIOLock_);
    return audioIO_ ? audioIO_->audioUnit() : nullptr;
}

Lumora::iAudioEngine* Lumora_Plugin_AUViewController::audioEngine() const {
    std::lock_guard lock(audioIOLock_);
    return audioIO_ ? audioIO_->audioEngine() : nullptr;
}
