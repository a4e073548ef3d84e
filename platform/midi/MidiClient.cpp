#include "platform/midi/MidiClient.h"

#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiSystem.h"

namespace Platform {

MidiStatus MidiClient::create(std::string name, MidiNotifyProc notify,
                              std::unique_ptr<MidiClient>& client) {
    client.reset();
    MidiSystem& system = MidiSystem::shared();
    if (MidiStatus injected = system.takeInjectedFailure(MidiCall::ClientCreate)) return injected;
    RunLoop& loop = RunLoop::current();
    client.reset(new MidiClient(std::move(name), std::move(notify)));
    system.addClient(client->notifier_, loop);
    return MidiErr::None;
}

MidiClient::MidiClient(std::string name, MidiNotifyProc notify)
    : name_(std::move(name)), notifier_(std::make_shared<Notifier>(std::move(notify))) {}

MidiClient::~MidiClient() { dispose(); }

MidiStatus MidiClient::createInputPort(std::string name, MidiReadProc read,
                                       std::shared_ptr<MidiInputPort>& port) {
    port.reset();
    std::lock_guard<std::mutex> guard(lock_);
    if (disposed_) return MidiErr::InvalidClient;
    if (!read) return MidiErr::InvalidArgument;
    if (MidiStatus injected = MidiSystem::shared().takeInjectedFailure(MidiCall::InputPortCreate))
        return injected;
    port.reset(new MidiInputPort(std::move(name), std::move(read)));
    inputPorts_.push_back(port);
    return MidiErr::None;
}

MidiStatus MidiClient::createOutputPort(std::string name, std::shared_ptr<MidiOutputPort>& port) {
    port.reset();
    std::lock_guard<std::mutex> guard(lock_);
    if (disposed_) return MidiErr::InvalidClient;
    if (MidiStatus injected = MidiSystem::shared().takeInjectedFailure(MidiCall::OutputPortCreate))
        return injected;
    port.reset(new MidiOutputPort(std::move(name)));
    outputPorts_.push_back(port);
    return MidiErr::None;
}

MidiStatus MidiClient::createDestination(std::string name, MidiReadProc read,
                                         std::shared_ptr<MidiDestination>& destination) {
    destination.reset();
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (disposed_) return MidiErr::InvalidClient;
        if (!read) return MidiErr::InvalidArgument;
        if (MidiStatus injected =
                MidiSystem::shared().takeInjectedFailure(MidiCall::DestinationCreate))
            return injected;
        destination.reset(new MidiDestination(std::move(name), std::move(read)));
        destinations_.push_back(destination);
    }
    MidiSystem::shared().publishDestination(destination);
    return MidiErr::None;
}

void MidiClient::dispose() {
    std::vector<std::weak_ptr<MidiInputPort>> inputs;
    std::vector<std::weak_ptr<MidiOutputPort>> outputs;
    std::vector<std::weak_ptr<MidiDestination>> destinations;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (disposed_) return;
        disposed_ = true;
        inputs.swap(inputPorts_);
        outputs.swap(outputPorts_);
        destinations.swap(destinations_);
    }
    for (auto& weak : outputs)
        if (auto port = weak.lock()) port->dispose();
    for (auto& weak : inputs)
        if (auto port = weak.lock()) port->dispose();
    for (auto& weak : destinations)
        if (auto destination = weak.lock()) destination->dispose();
    notifier_->silence();
    MidiSystem::shared().removeClient(notifier_.get());
}

bool MidiClient::isDisposed() const {
    std::lock_guard<std::mutex> guard(lock_);
    return disposed_;
}

} // namespace Platform
