#pragma once

#include "app/Application.h"
#include "app/HostTransport.h"
#include "app/TransportPanel.h"
#include "platform/audio/InterAppAudio.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/Image.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class TransportButton;

namespace Platform {
class Control;
class Timer;
class ImageView;
class PanGestureRecognizer;
class TapGestureRecognizer;
namespace Audiobus {
class Controller;
}
} // namespace Platform

// The small floating panel that shows and drives the transport of the host app that plays
// this app as an inter-app audio node: the host's icon (a tap switches to the host) above
// rewind, play/pause and record buttons. What it shows comes from the output unit's properties;
// it is shown only while a host is connected and no Audiobus session is. Where no inter-app host
// is connected but the app plays through a program with a transport of its own (JACK), that
// transport (AppShell::HostTransport::current) takes the host's place: the panel shows it, looks
// at it ten times a second and its buttons move it.
//
// The unit's property listeners run on the platform's thread and only post to the main queue;
// everything else runs on the main thread.
class Lumora_InterAppAudioTransportView : public AppShell::TransportPanel {
public:
    static constexpr Platform::Size buttonSize{30, 30};
    static constexpr double buttonSpacer = 10;
    static constexpr Platform::Size margine{5, 30};

    // Device orientations, numbered as the platform does.
    enum Orientation : int { Unknown = 0, Portrait = 1, PortraitUpsideDown = 2, LandscapeLeft = 3, LandscapeRight = 4 };
    // The notifications the panel follows; the orientation one carries the device's
    // orientation under "orientation".
    static constexpr char const* orientationDidChangeNotification = "UIDeviceOrientationDidChangeNotification";
    static constexpr char const* willEnterForegroundNotification = AppShell::Application::willEnterForegroundNotification;

    // Registers the panel's factory with the app shell, which makes the panel at the first
    // activation.
    static void registerFactory();

    // Either argument may be null.
    static std::shared_ptr<Lumora_InterAppAudioTransportView> initWithAudioUnit(
        Platform::OutputUnit* audioUnit, std::shared_ptr<Platform::Audiobus::Controller> audiobus);

    Lumora_InterAppAudioTransportView();
    ~Lumora_InterAppAudioTransportView() override;

    bool playing() const { return playing_; }
    bool recording() const { return recording_; }
    bool connected() const { return connected_; }
    double playTime() const { return playTime_; }

    // AppShell::TransportPanel: shown on request, never while Audiobus is connected.
    void show(bool visible) override;

    // The host.
    void isHostConnected();
    void updateHostState();
    void updateTransportControls();
    void setHostIcon();
    void disconnectHost();
    void gotoHost();
    void sendStateToRemoteHost(std::uint32_t event);
    bool canRecord() const;

    // Actions.
    void rewindButtonPushed(Platform::Control* sender);
    void playButtonPushed(Platform::Control* sender);
    void recordButtonPushed(Platform::Control* sender);
    void hostIconPushed(Platform::TapGestureRecognizer* sender);
    void dragView(Platform::PanGestureRecognizer* gesture);

    // Placement.
    void adaptOrientation(int orientation);
    void didChangedOrientation(Platform::Notification const& notification);
    void appWillEnterForeground();

    void willMoveToSuperview(Platform::View* newSuperview) override;
    void didMoveToSuperview() override;

    // How the app opens the host's address; none leaves the tap without effect.
    static void setURLOpener(std::function<void(std::string const&)> opener);

    Platform::ImageView* hostIconView() const { return hostIconView_.get(); }
    TransportButton* rewindButton() const { return rewindButton_.get(); }
    TransportButton* playButton() const { return playButton_.get(); }
    TransportButton* recordButton() const { return recordButton_.get(); }
    Platform::Image const& hostIcon() const { return hostIcon_; }
    int lastOrientation() const { return orientation_; }

private:
    void build(Platform::OutputUnit* audioUnit, std::shared_ptr<Platform::Audiobus::Controller> audiobus);
    void listen(Platform::OutputUnit::Property property, char const* call);
    void propertyChanged(Platform::OutputUnit::Property property);
    bool audiobusConnected() const;
    static int currentOrientation();
    // The program's transport while no inter-app host is connected; null otherwise.
    std::shared_ptr<AppShell::HostTransport> servedHost() const;
    bool interAppConnected() const;
    void hostTransportChanged();
    void watchServedHost();

    Platform::OutputUnit* unit_ = nullptr;
    std::shared_ptr<Platform::Audiobus::Controller> audiobus_;
    std::shared_ptr<Platform::ImageView> hostIconView_;
    std::shared_ptr<TransportButton> rewindButton_;
    std::shared_ptr<TransportButton> playButton_;
    std::shared_ptr<TransportButton> recordButton_;
    Platform::Image hostIcon_;
    std::unique_ptr<Platform::InterAppAudio::HostCallbackInfo> callBackInfo_;
    int orientation_ = Unknown;
    bool playing_ = false;
    bool recording_ = false;
    bool connected_ = false;
    double playTime_ = 0;
    Platform::NotificationCenter::ObserverToken orientationObservation_ = 0;
    Platform::NotificationCenter::ObserverToken foregroundObservation_ = 0;
    Platform::NotificationCenter::ObserverToken hostTransportObservation_ = 0;
    std::shared_ptr<Platform::Timer> hostTransportWatch_;
};
