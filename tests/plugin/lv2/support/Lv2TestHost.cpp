#include "plugin/lv2/support/Lv2TestHost.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string_view>

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/time/time.h>

#ifndef CORVANE_LV2_BUNDLE
#error "CORVANE_LV2_BUNDLE names the built bundle"
#endif

namespace Lv2Test {

namespace {

constexpr char const* kPluginUri = "urn:corvane:lv2:Corvane";

} // namespace

void useBuildBundle() {
    std::string const parent = boost::filesystem::path(CORVANE_LV2_BUNDLE).parent_path().string();
    ::setenv("LV2_PATH", (parent + ":/usr/lib/lv2").c_str(), 1);
}

void useProgramTemporaryFolder() {
    static std::string const folder = [] {
        std::string pattern = (boost::filesystem::temp_directory_path() / "corvane-lv2-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        return pattern;
    }();
    struct Remover {
        ~Remover() {
            boost::system::error_code ignored;
            boost::filesystem::remove_all(folder, ignored);
        }
    };
    static Remover const remover;
    ::setenv("CORVANE_TMPDIR", folder.c_str(), 1);
}

Event Event::note(std::uint32_t frame, std::uint8_t key, std::uint8_t velocity) {
    Event e;
    e.frame = frame;
    e.midi = {0x90, key, velocity};
    return e;
}

Event Event::noteOff(std::uint32_t frame, std::uint8_t key) {
    Event e;
    e.frame = frame;
    e.midi = {0x80, key, 0};
    return e;
}

Event Event::controller(std::uint32_t frame, std::uint8_t number, std::uint8_t value) {
    Event e;
    e.frame = frame;
    e.midi = {0xB0, number, value};
    return e;
}

Event Event::time(std::uint32_t frame, double bpm, double speed, double bar, double barBeat) {
    Event e;
    e.frame = frame;
    e.position = true;
    e.bpm = bpm;
    e.speed = speed;
    e.bar = bar;
    e.barBeat = barBeat;
    return e;
}

// ---- World

World::World() {
    useBuildBundle();
    // A host may unload a plug-in's object when its last instance goes; the tests keep it, as
    // long-running hosts do, so that the object's process-wide singletons stay reachable.
    static void* const kept = ::dlopen(CORVANE_LV2_BUNDLE "/Corvane.so", RTLD_NOW | RTLD_NODELETE);
    (void)kept;
    world_ = lilv_world_new();
    lilv_world_load_all(world_);
    LilvNode* uri = lilv_new_uri(world_, kPluginUri);
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri);
    lilv_node_free(uri);
    map_.handle = this;
    map_.map = [](LV2_URID_Map_Handle handle, char const* text) { return static_cast<World*>(handle)->map(text); };
    unmap_.handle = this;
    unmap_.unmap = [](LV2_URID_Unmap_Handle handle, LV2_URID urid) {
        return static_cast<World*>(handle)->unmap(urid);
    };
}

World::~World() {
    lilv_world_free(world_);
}

LV2_URID World::map(char const* uri) {
    // Looked up first, so that a known URI costs no allocation inside a run.
    if (auto found = ids_.find(std::string_view(uri)); found != ids_.end())
        return found->second;
    auto [it, added] = ids_.emplace(uri, static_cast<LV2_URID>(uris_.size() + 1));
    if (added)
        uris_.push_back(uri);
    return it->second;
}

char const* World::unmap(LV2_URID urid) const {
    return urid >= 1 && urid <= uris_.size() ? uris_[urid - 1].c_str() : nullptr;
}

std::vector<std::pair<std::string, std::string>> World::presets() const {
    std::vector<std::pair<std::string, std::string>> found;
    if (plugin_ == nullptr)
        return found;
    LilvNode* presetClass = lilv_new_uri(world_, LV2_PRESETS__Preset);
    LilvNode* label = lilv_new_uri(world_, LILV_NS_RDFS "label");
    LilvNodes* related = lilv_plugin_get_related(plugin_, presetClass);
    LILV_FOREACH (nodes, i, related) {
        LilvNode const* preset = lilv_nodes_get(related, i);
        lilv_world_load_resource(world_, preset);
        LilvNodes* labels = lilv_world_find_nodes(world_, preset, label, nullptr);
        std::string text = labels != nullptr && lilv_nodes_size(labels) > 0
                               ? lilv_node_as_string(lilv_nodes_get_first(labels))
                               : std::string();
        lilv_nodes_free(labels);
        found.emplace_back(lilv_node_as_uri(preset), text);
    }
    lilv_nodes_free(related);
    lilv_node_free(label);
    lilv_node_free(presetClass);
    return found;
}

// ---- Instance

Instance::Instance(World& world, double sampleRate, bool withWorker, bool alignedEvents)
    : world_(world), sampleRate_(sampleRate) {
    if (world.plugin() == nullptr)
        return;
    midiEvent_ = world.map(LV2_MIDI__MidiEvent);
    atomObject_ = world.map(LV2_ATOM__Object);
    stateChanged_ = world.map(LV2_STATE__StateChanged);
    mapFeature_ = {LV2_URID__map, world.uridMap()};
    unmapFeature_ = {LV2_URID__unmap, world.uridUnmap()};
    schedule_ = {this, &Instance::scheduleWork};
    scheduleFeature_ = {LV2_WORKER__schedule, &schedule_};
    features_ = {&mapFeature_, &unmapFeature_};
    if (withWorker)
        features_.push_back(&scheduleFeature_);
    features_.push_back(nullptr);

    instance_ = lilv_plugin_instantiate(world.plugin(), sampleRate, features_.data());
    if (instance_ == nullptr)
        return;
    worker_ = static_cast<LV2_Worker_Interface const*>(lilv_instance_get_extension_data(instance_, LV2_WORKER__interface));
    state_ = static_cast<LV2_State_Interface const*>(lilv_instance_get_extension_data(instance_, LV2_STATE__interface));

    std::uint32_t const ports = lilv_plugin_get_num_ports(world.plugin());
    controls_.assign(ports, 0.0f);
    std::vector<float> defaults(ports, 0.0f);
    lilv_plugin_get_port_ranges_float(world.plugin(), nullptr, nullptr, defaults.data());
    LilvNode* controlClass = lilv_new_uri(world.world(), LV2_CORE__ControlPort);
    eventsIn_.assign(kEventBytes / sizeof(std::uint64_t) + 1, 0);
    events_ = reinterpret_cast<std::uint8_t*>(eventsIn_.data()) + (alignedEvents ? 0 : 4);
    notify_.assign(kEventBytes / sizeof(std::uint64_t), 0);
    left_.assign(kMaxFrames, 0.0f);
    right_.assign(kMaxFrames, 0.0f);
    for (std::uint32_t i = 0; i < ports; ++i) {
        LilvPort const* port = lilv_plugin_get_port_by_index(world.plugin(), i);
        std::string const symbol = lilv_node_as_string(lilv_port_get_symbol(world.plugin(), port));
        portIndex_[symbol] = i;
        if (lilv_port_is_a(world.plugin(), port, controlClass)) {
            controls_[i] = defaults[i];
            lilv_instance_connect_port(instance_, i, &controls_[i]);
        }
    }
    lilv_node_free(controlClass);
    lilv_instance_connect_port(instance_, portIndex_.at("events_in"), events_);
    lilv_instance_connect_port(instance_, portIndex_.at("out_left"), left_.data());
    lilv_instance_connect_port(instance_, portIndex_.at("out_right"), right_.data());
    lilv_instance_connect_port(instance_, portIndex_.at("notify"), notify_.data());
    lv2_atom_forge_init(&forge_, world.uridMap());
    lilv_instance_activate(instance_);
}

Instance::~Instance() {
    if (instance_ != nullptr) {
        lilv_instance_deactivate(instance_);
        lilv_instance_free(instance_);
    }
}

LV2_Worker_Status Instance::scheduleWork(LV2_Worker_Schedule_Handle handle, std::uint32_t, void const*) {
    auto* self = static_cast<Instance*>(handle);
    ++self->pendingWork_;
    ++self->workRequests_;
    return LV2_WORKER_SUCCESS;
}

int Instance::runWorker() {
    int ran = 0;
    for (; pendingWork_ > 0; --pendingWork_, ++ran) {
        std::uint32_t request = 0;
        worker_->work(lilv_instance_get_handle(instance_), [](LV2_Worker_Respond_Handle, std::uint32_t, void const*) {
            return LV2_WORKER_SUCCESS;
        }, nullptr, sizeof request, &request);
    }
    return ran;
}

void Instance::writeEvents(std::vector<Event> const& events) {
    lv2_atom_forge_set_buffer(&forge_, events_, kEventBytes);
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge_, &sequence, 0);
    for (Event const& e : events) {
        lv2_atom_forge_frame_time(&forge_, e.frame);
        if (!e.position) {
            lv2_atom_forge_atom(&forge_, static_cast<std::uint32_t>(e.midi.size()), midiEvent_);
            lv2_atom_forge_write(&forge_, e.midi.data(), static_cast<std::uint32_t>(e.midi.size()));
            continue;
        }
        LV2_Atom_Forge_Frame object;
        lv2_atom_forge_object(&forge_, &object, 0, world_.map(LV2_TIME__Position));
        lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__frame));
        lv2_atom_forge_long(&forge_, e.positionFrame);
        lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__speed));
        lv2_atom_forge_float(&forge_, static_cast<float>(e.speed));
        lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__bar));
        lv2_atom_forge_long(&forge_, static_cast<std::int64_t>(e.bar));
        lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__barBeat));
        lv2_atom_forge_float(&forge_, static_cast<float>(e.barBeat));
        lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatUnit));
        lv2_atom_forge_int(&forge_, static_cast<std::int32_t>(e.beatUnit));
        lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatsPerBar));
        lv2_atom_forge_float(&forge_, static_cast<float>(e.beatsPerBar));
        lv2_atom_forge_key(&forge_, world_.map(LV2_TIME__beatsPerMinute));
        lv2_atom_forge_float(&forge_, static_cast<float>(e.bpm));
        lv2_atom_forge_pop(&forge_, &object);
    }
    lv2_atom_forge_pop(&forge_, &sequence);
}

void Instance::readNotifications() {
    stateChangedSeen_ = false;
    auto const* sequence = reinterpret_cast<LV2_Atom_Sequence const*>(notify_.data());
    LV2_ATOM_SEQUENCE_FOREACH(sequence, ev) {
        if (ev->body.type == atomObject_ &&
            reinterpret_cast<LV2_Atom_Object const*>(&ev->body)->body.otype == stateChanged_)
            stateChangedSeen_ = true;
    }
}

void Instance::run(std::uint32_t frames, std::vector<Event> const& events) {
    if (frames > kMaxFrames)
        throw std::invalid_argument("more frames than the test host's buffers");
    writeEvents(events);
    // The host tells the plug-in how much room the output sequence has.
    auto* notify = reinterpret_cast<LV2_Atom_Sequence*>(notify_.data());
    notify->atom.type = 0;
    notify->atom.size = kEventBytes - sizeof(LV2_Atom);
    lilv_instance_run(instance_, frames);
    readNotifications();
}

std::vector<float> Instance::render(std::uint32_t frames, std::vector<Event> events, std::uint32_t block,
                                    std::vector<float>* right) {
    std::vector<float> out;
    out.reserve(frames);
    std::size_t next = 0;
    for (std::uint32_t start = 0; start < frames; start += block) {
        std::uint32_t const n = std::min(block, frames - start);
        std::vector<Event> cycle;
        for (; next < events.size() && events[next].frame < start + n; ++next) {
            Event e = events[next];
            e.frame = e.frame < start ? 0 : e.frame - start;
            cycle.push_back(std::move(e));
        }
        run(n, cycle);
        out.insert(out.end(), left_.begin(), left_.begin() + n);
        if (right != nullptr)
            right->insert(right->end(), right_.begin(), right_.begin() + n);
    }
    return out;
}

bool Instance::hasPort(std::string const& symbol) const {
    return portIndex_.count(symbol) != 0;
}

float Instance::control(std::string const& symbol) const {
    return controls_.at(portIndex_.at(symbol));
}

void Instance::setControl(std::string const& symbol, float value) {
    controls_.at(portIndex_.at(symbol)) = value;
}

std::vector<std::string> Instance::controlSymbols() const {
    std::vector<std::string> symbols;
    for (auto const& [symbol, index] : portIndex_) {
        if (index >= 4)
            symbols.push_back(symbol);
    }
    return symbols;
}

void const* Instance::portValue(char const* symbol, void* user, std::uint32_t* size, std::uint32_t* type) {
    auto* self = static_cast<Instance*>(user);
    auto found = self->portIndex_.find(symbol);
    if (found == self->portIndex_.end() || found->second < 4) {
        *size = 0;
        *type = 0;
        return nullptr;
    }
    *size = sizeof(float);
    *type = self->world_.map(LV2_ATOM__Float);
    return &self->controls_[found->second];
}

void Instance::setPortValue(char const* symbol, void* user, void const* value, std::uint32_t size,
                            std::uint32_t type) {
    auto* self = static_cast<Instance*>(user);
    auto found = self->portIndex_.find(symbol);
    if (found == self->portIndex_.end() || found->second < 4 || size != sizeof(float) ||
        type != self->world_.map(LV2_ATOM__Float))
        return;
    self->controls_[found->second] = *static_cast<float const*>(value);
}

std::string Instance::saveState() {
    LilvState* state = lilv_state_new_from_instance(world_.plugin(), instance_, world_.uridMap(), nullptr, nullptr,
                                                    nullptr, nullptr, &Instance::portValue, this,
                                                    LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features_.data());
    if (state == nullptr)
        return {};
    char* text = lilv_state_to_string(world_.world(), world_.uridMap(), world_.uridUnmap(), state,
                                      "urn:corvane:test:state", nullptr);
    std::string out = text != nullptr ? text : "";
    lilv_free(text);
    lilv_state_free(state);
    return out;
}

bool Instance::restore(LilvState* state) {
    if (state == nullptr)
        return false;
    lilv_state_restore(state, instance_, &Instance::setPortValue, this, 0, features_.data());
    lilv_state_free(state);
    return true;
}

bool Instance::restoreState(std::string const& text) {
    return restore(lilv_state_new_from_string(world_.world(), world_.uridMap(), text.c_str()));
}

bool Instance::loadPreset(std::string const& uri) {
    LilvNode* node = lilv_new_uri(world_.world(), uri.c_str());
    lilv_world_load_resource(world_.world(), node);
    bool const ok = restore(lilv_state_new_from_world(world_.world(), world_.uridMap(), node));
    lilv_node_free(node);
    return ok;
}

LV2_State_Status Instance::restoreProperties(std::map<std::string, Property> const& properties) {
    struct Retrieval {
        World* world;
        std::map<LV2_URID, std::pair<LV2_URID, std::string const*>> values;
    } retrieval{&world_, {}};
    for (auto const& [key, property] : properties)
        retrieval.values[world_.map(key.c_str())] = {world_.map(property.type.c_str()), &property.bytes};
    LV2_State_Retrieve_Function retrieve = [](LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                                              std::uint32_t* type, std::uint32_t* flags) -> void const* {
        auto* r = static_cast<Retrieval*>(handle);
        auto found = r->values.find(key);
        if (found == r->values.end())
            return nullptr;
        *size = found->second.second->size();
        *type = found->second.first;
        *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
        return found->second.second->data();
    };
    return state_->restore(lilv_instance_get_handle(instance_), retrieve, &retrieval, 0, features_.data());
}

} // namespace Lv2Test

namespace Lv2Test {

std::map<std::string, Instance::Property> Instance::saveProperties() {
    struct Saving {
        World* world;
        std::map<std::string, Property> properties;
    } saving{&world_, {}};
    LV2_State_Store_Function store = [](LV2_State_Handle handle, std::uint32_t key, void const* value,
                                        std::size_t size, std::uint32_t type, std::uint32_t) {
        auto* s = static_cast<Saving*>(handle);
        s->properties[s->world->unmap(key)] = {s->world->unmap(type),
                                              std::string(static_cast<char const*>(value), size)};
        return LV2_STATE_SUCCESS;
    };
    state_->save(lilv_instance_get_handle(instance_), store, &saving, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE,
                 features_.data());
    return saving.properties;
}

} // namespace Lv2Test
