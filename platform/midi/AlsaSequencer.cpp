#include "platform/midi/AlsaSequencer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/midi/AlsaSeqEvent.h"

namespace Platform {

namespace {

// alsa-lib explains a failure in lines of its own; the caller answers with one.
void quiet(const char*, int, const char*, int, const char*, ...) {}

bool isAnnouncement(int type) {
    switch (type) {
    case SND_SEQ_EVENT_CLIENT_START:
    case SND_SEQ_EVENT_CLIENT_EXIT:
    case SND_SEQ_EVENT_CLIENT_CHANGE:
    case SND_SEQ_EVENT_PORT_START:
    case SND_SEQ_EVENT_PORT_EXIT:
    case SND_SEQ_EVENT_PORT_CHANGE:
        return true;
    default:
        return false;
    }
}

} // namespace

AlsaSequencer::AlsaSequencer() = default;

AlsaSequencer::~AlsaSequencer() { close(); }

bool AlsaSequencer::open(const std::string& clientName, std::string* error) {
    close();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        close();
        return false;
    };
    if (::access(kDevice, F_OK) != 0) {
        return fail(std::string("no ALSA sequencer (") + kDevice + " is missing)");
    }
    snd_lib_error_set_handler(quiet);
    int code = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    if (code < 0) {
        seq_ = nullptr;
        return fail(std::string("the ALSA sequencer could not be opened: ") + snd_strerror(code));
    }
    snd_seq_set_client_name(seq_, clientName.c_str());
    clientId_ = snd_seq_client_id(seq_);
    const unsigned caps = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    const unsigned type = SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION;
    sourcesPort_ = snd_seq_create_simple_port(seq_, "midi_in", caps, type);
    virtualPort_ = snd_seq_create_simple_port(seq_, "Virtual Midi Input", caps, type);
    if (sourcesPort_ < 0 || virtualPort_ < 0) {
        return fail(std::string("the ALSA sequencer refused a port: ") +
                    snd_strerror(sourcesPort_ < 0 ? sourcesPort_ : virtualPort_));
    }
    // Without the system's announcements the list of sources only misses later changes.
    snd_seq_connect_from(seq_, sourcesPort_, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) return fail(std::string("no event descriptor for the MIDI reader: ") + std::strerror(errno));
    running_.store(true);
    reader_ = std::thread([this] { run(); });
    return true;
}

void AlsaSequencer::close() {
    running_.store(false);
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
    }
    if (reader_.joinable()) reader_.join();
    if (wakeFd_ >= 0) ::close(wakeFd_);
    wakeFd_ = -1;
    if (seq_) snd_seq_close(seq_);
    seq_ = nullptr;
    clientId_ = sourcesPort_ = virtualPort_ = -1;
}

void AlsaSequencer::run() {
    const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
    std::vector<pollfd> fds(static_cast<std::size_t>(std::max(count, 0)) + 1);
    snd_seq_poll_descriptors(seq_, fds.data(), static_cast<unsigned>(count), POLLIN);
    fds.back() = {wakeFd_, POLLIN, 0};
    while (running_.load(std::memory_order_acquire)) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (!running_.load(std::memory_order_acquire)) break;
        // A sequencer that went away would wake the wait forever: the reader ends instead.
        for (std::size_t i = 0; i + 1 < fds.size(); ++i)
            if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) return;
        readPending();
    }
}

void AlsaSequencer::readPending() {
    while (true) {
        snd_seq_event_t* event = nullptr;
        const int code = snd_seq_event_input(seq_, &event);
        if (code == -ENOSPC) continue;   // the kernel's buffer overran: those events are lost
        if (code < 0 || event == nullptr) return;   // -EAGAIN: nothing more for now
        deliver(*event, midiHostTimeNow());
    }
}

void AlsaSequencer::deliver(const snd_seq_event_t& event, uint64_t hostTime) {
    if (isAnnouncement(event.type)) {
        announce();
        return;
    }
    if (const auto bytes = midiBytesOf(event)) {
        const uint8_t port = event.dest.port == virtualPort_ && virtualPort_ >= 0 ? kVirtualInputPort : kSourcesPort;
        queue_.push({hostTime, bytes->status, bytes->data1, bytes->data2, port});
    }
}

void AlsaSequencer::announce() {
    std::lock_guard lock(handlerLock_);
    if (portsChanged_) portsChanged_();
}

void AlsaSequencer::setPortsChangedHandler(std::function<void()> handler) {
    std::lock_guard lock(handlerLock_);
    portsChanged_ = std::move(handler);
}

std::vector<AlsaSequencer::SourcePort> AlsaSequencer::sources() const {
    std::vector<SourcePort> found;
    if (!seq_) return found;
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq_, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        if (id == clientId_ || id == SND_SEQ_CLIENT_SYSTEM) continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq_, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            const unsigned wanted = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
            if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
            found.push_back({{id, snd_seq_port_info_get_port(port)},
                             std::string(snd_seq_client_info_get_name(client)) + ":" +
                                 snd_seq_port_info_get_name(port)});
        }
    }
    return found;
}

bool AlsaSequencer::connect(const Address& source) {
    if (!seq_) return false;
    const int code = snd_seq_connect_from(seq_, sourcesPort_, source.client, source.port);
    return code >= 0 || code == -EBUSY;   // busy: already subscribed
}

void AlsaSequencer::disconnect(const Address& source) {
    if (seq_) snd_seq_disconnect_from(seq_, sourcesPort_, source.client, source.port);
}

} // namespace Platform
