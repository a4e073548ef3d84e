#include "app/screens/Lumora_InterAppAudioTransportView.h"

#include "app/Application.h"
#include "app/screens/TransportButton.h"
#include "platform/audio/AudioUnitServices.h"
#include "platform/audiobus/AudiobusController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <cstdio>
#include <mutex>

namespace {

using Platform::Rect;
namespace IAA = Platform::InterAppAudio;
using Property = Platform::OutputUnit::Property;

std::mutex openerLock;
std::function<void(std::string const&)>& urlOpener()
{
    static std::function<void(std::string const&)> opener;
    return opener;
}

// The device orientation last reported; none reported yet means the screen's shape decides.
int reportedOrientation = Lumora_InterAppAudioTransportView::Unknown;

void logError(Platform::AudioStatus status, char const* call)
{
    char line[512];
    std::snprintf(line, sizeof line, "error %d from %s", static_cast<int>(status), call);
    Platform::log(line);
}

// The host's icon at the icon view's size: this platform's hosts have no pictures of their own,
// so a connected host shows the generic app tile, drawn once (copies of an image share pixels).
Platform::Image drawGenericHostIcon(Platform::Size size)
{
    Platform::BitmapContext bitmap(size, false, 2);
    Platform::GraphicsContext& gc = bitmap.context();
    gc.setFillColor(Platform::Color(0.2, 0.45, 0.85, 1));
    gc.fillPath(Platform::BezierPath::withRoundedRect(Rect(0, 0, size.width, size.height), size.width * 0.22));
    gc.setFillColor(Platform::Color::whiteColor());
    gc.fillEllipseInRect(Rect(size.width * 0.22, size.height * 0.52, size.width * 0.26, size.height * 0.22));
    gc.fillRect(Rect(size.width * 0.42, size.height * 0.2, size.width * 0.06, size.height * 0.44));
    gc.fillRect(Rect(size.width * 0.42, size.height * 0.2, size.width * 0.3, size.height * 0.08));
    return bitmap.makeImage();
}

Platform::Image const& genericHostIcon()
{
    static Platform::Image const icon = drawGenericHostIcon(Lumora_InterAppAudioTransportView::buttonSize);
    return icon;
}

} // namespace

void Lumora_InterAppAudioTransportView::registerFactory()
{
    AppShell::TransportPanel::setFactory(
        [](Platform::OutputUnit* unit, std::shared_ptr<Platform::Audiobus::Controller> const& audiobus)
            -> std::shared_ptr<AppShell::TransportPanel> { return initWithAudioUnit(unit, audiobus); });
}

void Lumora_InterAppAudioTransportView::setURLOpener(std::function<void(std::string const&)> opener)
{
    std::lock_guard guard(openerLock);
    urlOpener() = std::move(opener);
}

std::shared_ptr<Lumora_InterAppAudioTransportView> Lumora_InterAppAudioTransportView::initWithAudioUnit(
    Platform::OutputUnit* audioUnit, std::shared_ptr<Platform::Audiobus::Controller> audiobus)
{
    auto panel = std::make_shared<Lumora_InterAppAudioTransportView>();
    panel->build(audioUnit, std::move(audiobus));
    return panel;
}

Lumora_InterAppAudioTransportView::Lumora_InterAppAudioTransportView()
    : TransportPanel()
{
}

Lumora_InterAppAudioTransportView::~Lumora_InterAppAudioTransportView()
{
    auto& center = Platform::NotificationCenter::defaultCenter();
    center.removeObserver(orientationObservation_);
    center.removeObserver(foregroundObservation_);
    center.removeObserver(hostTransportObservation_);
    if (hostTransportWatch_)
        hostTransportWatch_->invalidate();
    disconnectHost();
}

void Lumora_InterAppAudioTransportView::build(Platform::OutputUnit* audioUnit,
                                              std::shared_ptr<Platform::Audiobus::Controller> audiobus)
{
    unit_ = audioUnit;
    audiobus_ = std::move(audiobus);
    listen(Property::IsInterAppConnected,
           "AudioUnitAddPropertyListener( audioUnit, kAudioUnitProperty_IsInterAppConnected, "
           "audioUnitPropertyChangedListener_, (__bridge void*)self)");
    listen(Property::HostTransportState,
           "AudioUnitAddPropertyListener( audioUnit, kAudioOutputUnitProperty_HostTransportState, "
           "audioUnitPropertyChangedListener_, (__bridge void*)self)");

    std::weak_ptr<Lumora_InterAppAudioTransportView> weak = self<Lumora_InterAppAudioTransportView>();
    auto& center = Platform::NotificationCenter::defaultCenter();
    orientationObservation_ = center.addObserver(orientationDidChangeNotification, nullptr,
        [weak](Platform::Notification const& n) { if (auto s = weak.lock()) s->didChangedOrientation(n); });
    foregroundObservation_ = center.addObserver(willEnterForegroundNotification, nullptr,
        [weak](Platform::Notification const&) { if (auto s = weak.lock()) s->appWillEnterForeground(); });
    hostTransportObservation_ = center.addObserver(AppShell::HostTransport::didChangeNotification, nullptr,
        [weak](Platform::Notification const&) { if (auto s = weak.lock()) s->hostTransportChanged(); });

    setHidden(true);
    setBackgroundColor(Platform::Color(0.8, 0.8, 0.8, 1));
    setAlpha(0.8);
    layer().cornerRadius = 5;
    layer().masksToBounds = true;
    setClipsToBounds(true);
    auto pan = std::make_shared<Platform::PanGestureRecognizer>();
    pan->addTarget(this, &Lumora_InterAppAudioTransportView::dragView);
    addGestureRecognizer(pan);

    hostIconView_ = std::make_shared<Platform::ImageView>(Rect(margine.width, margine.height, buttonSize.width, buttonSize.height));
    hostIconView_->setBackgroundColor(Platform::Color::grayColor());
    hostIconView_->setUserInteractionEnabled(true);
    auto tap = std::make_shared<Platform::TapGestureRecognizer>();
    tap->setCancelsTouchesInView(false);
    tap->addTarget(this, &Lumora_InterAppAudioTransportView::hostIconPushed);
    hostIconView_->addGestureRecognizer(tap);
    addSubview(hostIconView_);

    struct Spec {
        std::shared_ptr<TransportButton>* button;
        double y;
        int style;
        Platform::Color color;
        void (Lumora_InterAppAudioTransportView::*action)(Platform::Control*);
    };
    for (Spec const& spec : {Spec{&rewindButton_, 70, TransportButton::Rewind, Platform::Color::darkGrayColor(),
                                  &Lumora_InterAppAudioTransportView::rewindButtonPushed},
                             Spec{&playButton_, 110, TransportButton::Play, Platform::Color::darkGrayColor(),
                                  &Lumora_InterAppAudioTransportView::playButtonPushed},
                             Spec{&recordButton_, 150, TransportButton::Record, Platform::Color::redColor(),
                                  &Lumora_InterAppAudioTransportView::recordButtonPushed}}) {
        auto button = std::make_shared<TransportButton>(Rect(margine.width, spec.y, buttonSize.width, buttonSize.height));
        button->setFillColor(spec.color);
        button->setDrawingStyle(spec.style);
        button->addTarget(this, spec.action, Platform::ControlEvents::TouchUpInside);
        addSubview(button);
        *spec.button = std::move(button);
    }
    setFrame(Rect(0, 0, margine.width + buttonSize.width + margine.width,
                  margine.height + buttonSize.height + 3 * (buttonSize.height + buttonSpacer) + 30));
    // The program may have been playing through its transport before the panel was made.
    if (AppShell::HostTransport::current())
        hostTransportChanged();
}

// The listener outlives nothing it does not own: it holds the panel weakly and only posts.
void Lumora_InterAppAudioTransportView::listen(Property property, char const* call)
{
    if (!unit_)
        return;
    std::weak_ptr<Lumora_InterAppAudioTransportView> weak = self<Lumora_InterAppAudioTransportView>();
    Platform::AudioStatus const status = Platform::AudioUnitServices::addPropertyListener(
        unit_, property, [weak](Property changed) {
            Platform::RunLoop::main().post([weak, changed] {
                if (auto panel = weak.lock())
                    panel->propertyChanged(changed);
            });
        });
    if (status != Platform::AudioErr::None)
        logError(status, call);
}

void Lumora_InterAppAudioTransportView::propertyChanged(Property property)
{
    if (property == Property::HostTransportState)
        updateHostState();
    else if (property == Property::IsInterAppConnected)
        isHostConnected();
    else
        return;
    updateTransportControls();
}

bool Lumora_InterAppAudioTransportView::audiobusConnected() const { return audiobus_ && audiobus_->connected(); }

void Lumora_InterAppAudioTransportView::show(bool visible)
{
    setHidden(!(visible && !audiobusConnected()));
}

// ---- the host

bool Lumora_InterAppAudioTransportView::interAppConnected() const
{
    std::uint32_t connected = 0;
    if (unit_ && IAA::isInterAppConnected(unit_, &connected) != Platform::AudioErr::None)
        connected = 0;
    return connected != 0;
}

std::shared_ptr<AppShell::HostTransport> Lumora_InterAppAudioTransportView::servedHost() const
{
    if (interAppConnected())
        return nullptr;
    auto host = AppShell::HostTransport::current();
    return host && host->available() ? host : nullptr;
}

void Lumora_InterAppAudioTransportView::hostTransportChanged()
{
    isHostConnected();
    updateTransportControls();
    watchServedHost();
}

// The program's transport tells nobody when another program moves it: while there is one, the
// panel looks at it ten times a second and redraws only what changed.
void Lumora_InterAppAudioTransportView::watchServedHost()
{
    if (!AppShell::HostTransport::current()) {
        if (hostTransportWatch_)
            hostTransportWatch_->invalidate();
        hostTransportWatch_.reset();
        return;
    }
    if (hostTransportWatch_)
        return;
    constexpr double kWatchInterval = 0.1;
    std::weak_ptr<Lumora_InterAppAudioTransportView> weak = self<Lumora_InterAppAudioTransportView>();
    hostTransportWatch_ = Platform::RunLoop::main().scheduledTimer(kWatchInterval, true, [weak](Platform::Timer&) {
        auto panel = weak.lock();
        if (!panel)
            return;
        bool const wasConnected = panel->connected_;
        bool const wasPlaying = panel->playing_;
        bool const wasRecording = panel->recording_;
        if (!wasConnected && !panel->interAppConnected() && !panel->servedHost())
            return;
        panel->isHostConnected();
        if (panel->connected_ != wasConnected || panel->playing_ != wasPlaying || panel->recording_ != wasRecording)
            panel->updateTransportControls();
    });
}

void Lumora_InterAppAudioTransportView::isHostConnected()
{
    connected_ = interAppConnected() || servedHost() != nullptr;
    if (connected_)
        updateHostState();
    else
        disconnectHost();
}

void Lumora_InterAppAudioTransportView::updateHostState()
{
    if (!connected_ || !unit_)
        return;
    if (auto host = servedHost()) {
        AppShell::HostTransport::State const state = host->state();
        playing_ = state.playing;
        recording_ = state.recording;
        playTime_ = state.sampleTime;
        return;
    }
    if (!callBackInfo_) {
        callBackInfo_ = std::make_unique<IAA::HostCallbackInfo>();
        if (Platform::AudioStatus const status = IAA::getHostCallbacks(unit_, callBackInfo_.get())) {
            char line[128];
            std::snprintf(line, sizeof line, "Error occured fetching kAudioUnitProperty_HostCallbacks : %d", static_cast<int>(status));
            Platform::log(line);
            callBackInfo_.reset();
            playing_ = false;
            recording_ = false;
            playTime_ = 0;
            return;
        }
    }
    if (!callBackInfo_->transportStateProc2)
        return;
    bool playing = playing_;
    bool recording = recording_;
    double sample = 0;
    Platform::AudioStatus const status = callBackInfo_->transportStateProc2(
        callBackInfo_->hostUserData, &playing, &recording, nullptr, &sample, nullptr, nullptr, nullptr);
    if (status != Platform::AudioErr::None) {
        char line[128];
        std::snprintf(line, sizeof line, "Error occured fetching callBackInfo->transportStateProc2 : %d", static_cast<int>(status));
        Platform::log(line);
        return;
    }
    playing_ = playing;
    recording_ = recording;
    playTime_ = sample;
}

void Lumora_InterAppAudioTransportView::updateTransportControls()
{
    if (connected_) {
        recordButton_->setDrawingStyle(recording_ ? TransportButton::Recording : TransportButton::Record);
        playButton_->setDrawingStyle(playing_ ? TransportButton::Pause : TransportButton::Play);
        recordButton_->setEnabled(canRecord());
    }
    setHostIcon();
    show(connected_);
    setNeedsDisplay();
}

void Lumora_InterAppAudioTransportView::setHostIcon()
{
    hostIcon_ = {};
    if (!unit_ || !connected_)
        return;
    hostIcon_ = genericHostIcon();
    hostIconView_->setBackgroundColor(Platform::Color::clearColor());
    hostIconView_->setImage(hostIcon_);
}

void Lumora_InterAppAudioTransportView::disconnectHost()
{
    callBackInfo_.reset();
    if (hostIconView_) {
        hostIconView_->setBackgroundColor(Platform::Color::grayColor());
        hostIconView_->setImage({});
    }
}

void Lumora_InterAppAudioTransportView::gotoHost()
{
    if (!unit_ || !connected_)
        return;
    std::string url;
    if (IAA::getPeerURL(unit_, &url) != Platform::AudioErr::None)
        return;
    std::function<void(std::string const&)> opener;
    {
        std::lock_guard guard(openerLock);
        opener = urlOpener();
    }
    if (opener)
        opener(url);
}

void Lumora_InterAppAudioTransportView::sendStateToRemoteHost(std::uint32_t event)
{
    if (!unit_ || !connected_)
        return;
    // The program's transport answers as a host does: the buttons follow once it has moved.
    if (auto host = servedHost()) {
        host->handleRemoteControlEvent(event);
        return;
    }
    if (Platform::AudioStatus const status = IAA::sendRemoteControlToHost(unit_, event))
        logError(status, "AudioUnitSetProperty( au_, kAudioOutputUnitProperty_RemoteControlToHost, "
                         "kAudioUnitScope_Global, 0, &controlEvent, dataSize )");
}

bool Lumora_InterAppAudioTransportView::canRecord() const
{
    if (unit_ == nullptr || playing_)
        return false;
    auto host = servedHost();
    return !host || host->canRecord();
}

void Lumora_InterAppAudioTransportView::rewindButtonPushed(Platform::Control*) { sendStateToRemoteHost(IAA::Rewind); }
void Lumora_InterAppAudioTransportView::playButtonPushed(Platform::Control*) { sendStateToRemoteHost(IAA::TogglePlayPause); }
void Lumora_InterAppAudioTransportView::recordButtonPushed(Platform::Control*) { sendStateToRemoteHost(IAA::ToggleRecord); }
void Lumora_InterAppAudioTransportView::hostIconPushed(Platform::TapGestureRecognizer*) { gotoHost(); }

// ---- placement

int Lumora_InterAppAudioTransportView::currentOrientation()
{
    if (reportedOrientation != Unknown)
        return reportedOrientation;
    Rect const screen = AppShell::Application::mainScreenBounds();
    return screen.width() > screen.height() ? LandscapeLeft : Portrait;
}

void Lumora_InterAppAudioTransportView::adaptOrientation(int orientation)
{
    switch (orientation) {
    case Portrait:
    case PortraitUpsideDown:
        orientation_ = orientation;
        break;
    case LandscapeLeft:
    case LandscapeRight: {
        if (orientation == orientation_)
            break;
        Rect const screen = AppShell::Application::mainScreenBounds();
        Rect const f = frame();
        double const rightInset = superview() ? superview()->safeAreaInsets().right : 0;
        setFrame(Rect(screen.width() - f.width() - rightInset, (screen.height() - f.height()) * 0.5, f.width(), f.height()));
        orientation_ = orientation;
        break;
    }
    default:
        break;
    }
}

void Lumora_InterAppAudioTransportView::didChangedOrientation(Platform::Notification const& notification)
{
    auto const it = notification.userInfo.find("orientation");
    int const orientation = it == notification.userInfo.end() ? Unknown : static_cast<int>(it->second.integerValue());
    reportedOrientation = orientation;
    adaptOrientation(orientation);
}

void Lumora_InterAppAudioTransportView::appWillEnterForeground() { updateTransportControls(); }

void Lumora_InterAppAudioTransportView::willMoveToSuperview(Platform::View* newSuperview)
{
    TransportPanel::willMoveToSuperview(newSuperview);
    if (newSuperview)
        updateTransportControls();
}

void Lumora_InterAppAudioTransportView::didMoveToSuperview()
{
    TransportPanel::didMoveToSuperview();
    if (superview())
        adaptOrientation(currentOrientation());
}

// Only vertical movement counts, and never past the superview's edges.
void Lumora_InterAppAudioTransportView::dragView(Platform::PanGestureRecognizer* gesture)
{
    Platform::View* parent = superview();
    if (!gesture || !parent)
        return;
    Platform::Point const translation = gesture->translationInView(parent);
    if (orientation_ >= Portrait && orientation_ <= LandscapeRight) {
        Platform::Point const old = center();
        setCenter(Platform::Point{old.x, old.y + translation.y});
        Rect const f = frame();
        Rect const b = parent->bounds();
        if (f.minX() < 0 || f.minY() < 0 || f.minX() > b.width() - f.width() || f.minY() > b.height() - f.height())
            setCenter(old);
    }
    gesture->setTranslation(Platform::Point{0, 0}, parent);
}
