#include "platform/audiobus/AudiobusController.h"

#include <algorithm>

namespace Platform::Audiobus {

bool Controller::initWithApiKey(std::string apiKey) {
    std::lock_guard guard(lock_);
    apiKey_ = std::move(apiKey);
    return true;
}

bool Controller::hasPortNamed(std::string const& name) const {
    auto same = [&name](auto const& port) { return port->name() == name; };
    return std::any_of(senderPorts_.begin(), senderPorts_.end(), same) ||
           std::any_of(filterPorts_.begin(), filterPorts_.end(), same);
}

bool Controller::addAudioSenderPort(std::shared_ptr<AudioSenderPort> port) {
    std::lock_guard guard(lock_);
    if (!port || hasPortNamed(port->name()))
        return false;
    senderPorts_.push_back(std::move(port));
    return true;
}

bool Controller::addAudioFilterPort(std::shared_ptr<AudioFilterPort> port) {
    std::lock_guard guard(lock_);
    if (!port || hasPortNamed(port->name()))
        return false;
    filterPorts_.push_back(std::move(port));
    return true;
}

std::vector<std::shared_ptr<AudioSenderPort>> Controller::audioSenderPorts() const {
    std::lock_guard guard(lock_);
    return senderPorts_;
}

std::vector<std::shared_ptr<AudioFilterPort>> Controller::audioFilterPorts() const {
    std::lock_guard guard(lock_);
    return filterPorts_;
}

bool Controller::connected() const {
    std::lock_guard guard(lock_);
    return connected_;
}

bool Controller::memberOfActiveAudiobusSession() const {
    std::lock_guard guard(lock_);
    return member_;
}

bool Controller::isObservable(std::string const& keyPath) {
    return keyPath == connectedKeyPath || keyPath == memberOfActiveAudiobusSessionKeyPath;
}

bool Controller::addObserver(KeyValueObserver* observer, std::string const& keyPath, void* context) {
    if (observer == nullptr || !isObservable(keyPath))
        return false;
    std::lock_guard guard(lock_);
    registrations_.push_back({observer, keyPath, context});
    return true;
}

void Controller::removeObserver(KeyValueObserver* observer, std::string const& keyPath, void* context) {
    std::lock_guard guard(lock_);
    // As on the platform, one removal undoes one registration.
    auto found = std::find_if(registrations_.begin(), registrations_.end(), [&](Registration const& r) {
        return r.observer == observer && r.keyPath == keyPath && r.context == context;
    });
    if (found != registrations_.end())
        registrations_.erase(found);
}

void Controller::setEnableReceivingCoreMIDIBlock(EnableReceivingCoreMIDIBlock block) {
    std::lock_guard guard(lock_);
    enableCoreMIDIBlock_ = std::move(block);
}

void Controller::setShowInterAppAudioTransportPanelBlock(ShowTransportPanelBlock block) {
    std::lock_guard guard(lock_);
    showTransportPanelBlock_ = std::move(block);
}

void Controller::setStateIODelegate(StateIODelegate* delegate) {
    std::lock_guard guard(lock_);
    stateDelegate_ = delegate;
}

StateIODelegate* Controller::stateIODelegate() const {
    std::lock_guard guard(lock_);
    return stateDelegate_;
}

void Controller::setFlag(bool& flag, bool value, char const* keyPath) {
    std::vector<Registration> toTell;
    {
        std::lock_guard guard(lock_);
        if (flag == value)
            return;
        flag = value;
        for (Registration const& r : registrations_)
            if (r.keyPath == keyPath)
                toTell.push_back(r);
    }
    // Outside the lock: an observer may read the controller or unregister.
    for (Registration const& r : toTell)
        r.observer->observeValueForKeyPath(keyPath, this, r.context);
}

void Controller::sessionSetConnected(bool connected) { setFlag(connected_, connected, connectedKeyPath); }

void Controller::sessionSetMemberOfActiveAudiobusSession(bool member) {
    setFlag(member_, member, memberOfActiveAudiobusSessionKeyPath);
}

bool Controller::sessionEnableReceivingCoreMIDI(bool receive) {
    EnableReceivingCoreMIDIBlock block;
    {
        std::lock_guard guard(lock_);
        block = enableCoreMIDIBlock_;
    }
    if (!block)
        return false;
    block(receive);
    return true;
}

bool Controller::sessionShowInterAppAudioTransportPanel(bool show) {
    ShowTransportPanelBlock block;
    {
        std::lock_guard guard(lock_);
        block = showTransportPanelBlock_;
    }
    if (!block)
        return false;
    block(show);
    return true;
}

std::optional<Dictionary> Controller::sessionSaveState() {
    StateIODelegate* delegate = stateIODelegate();
    if (delegate == nullptr)
        return std::nullopt;
    return delegate->audiobusStateDictionaryForCurrentState();
}

bool Controller::sessionLoadState(Dictionary const& state, std::string* responseMessage) {
    StateIODelegate* delegate = stateIODelegate();
    if (delegate == nullptr)
        return false;
    delegate->loadStateFromAudiobusStateDictionary(state, responseMessage);
    return true;
}

} // namespace Platform::Audiobus
