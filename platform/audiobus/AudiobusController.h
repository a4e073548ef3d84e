#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/audiobus/AudiobusPort.h"
#include "platform/audiobus/AudiobusTypes.h"
#include "platform/foundation/Object.h"

namespace Platform::Audiobus {

// The app's registration with Audiobus: the ports it offers, whether a session uses it, and the
// hooks through which a session asks it to give up its own MIDI inputs, to show its transport
// panel, and to save or restore its state. Nothing leaves the process: the session side (the
// Audiobus app, or a test) drives the controller through the session operations below.
//
// Threads: every operation may be called from any thread. Observers, blocks and the state
// delegate are called on the thread of the session operation that caused the call, never under
// the controller's lock. Observers and the state delegate are held unretained: they unregister
// before they go away.
class Controller : public Object {
public:
    using EnableReceivingCoreMIDIBlock = std::function<void(bool receiveCoreMIDI)>;
    using ShowTransportPanelBlock = std::function<void(bool show)>;

    // Any key is taken: validating it is the business of the real service.
    bool initWithApiKey(std::string apiKey);
    std::string const& apiKey() const { return apiKey_; }

    // Ports are added once; a null port or one whose name is already in use is not added.
    bool addAudioSenderPort(std::shared_ptr<AudioSenderPort> port);
    bool addAudioFilterPort(std::shared_ptr<AudioFilterPort> port);
    std::vector<std::shared_ptr<AudioSenderPort>> audioSenderPorts() const;
    std::vector<std::shared_ptr<AudioFilterPort>> audioFilterPorts() const;

    bool connected() const;
    bool memberOfActiveAudiobusSession() const;

    // Key-value observation of connectedKeyPath and memberOfActiveAudiobusSessionKeyPath (other
    // key paths are refused). The options of the platform's observation are not needed here.
    bool addObserver(KeyValueObserver* observer, std::string const& keyPath, void* context);
    void removeObserver(KeyValueObserver* observer, std::string const& keyPath, void* context);

    void setEnableReceivingCoreMIDIBlock(EnableReceivingCoreMIDIBlock block);
    void setShowInterAppAudioTransportPanelBlock(ShowTransportPanelBlock block);
    void setStateIODelegate(StateIODelegate* delegate);
    StateIODelegate* stateIODelegate() const;

    // ---- the session side
    // A session connects a port of the app or lets go of its last one; observers hear of every
    // change of the value.
    void sessionSetConnected(bool connected);
    void sessionSetMemberOfActiveAudiobusSession(bool member);
    // False when the app set no block.
    bool sessionEnableReceivingCoreMIDI(bool receive);
    bool sessionShowInterAppAudioTransportPanel(bool show);
    // The app's state for a session preset; nothing without a state delegate.
    std::optional<Dictionary> sessionSaveState();
    // Hands a preset's state to the app; false without a state delegate.
    bool sessionLoadState(Dictionary const& state, std::string* responseMessage = nullptr);

private:
    struct Registration {
        KeyValueObserver* observer;
        std::string keyPath;
        void* context;
    };

    static bool isObservable(std::string const& keyPath);
    bool hasPortNamed(std::string const& name) const;
    void setFlag(bool& flag, bool value, char const* keyPath);

    mutable std::mutex lock_;
    std::string apiKey_;
    std::vector<std::shared_ptr<AudioSenderPort>> senderPorts_;
    std::vector<std::shared_ptr<AudioFilterPort>> filterPorts_;
    bool connected_ = false;
    bool member_ = false;
    std::vector<Registration> registrations_;
    EnableReceivingCoreMIDIBlock enableCoreMIDIBlock_;
    ShowTransportPanelBlock showTransportPanelBlock_;
    StateIODelegate* stateDelegate_ = nullptr;
};

} // namespace Platform::Audiobus
