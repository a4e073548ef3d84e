#pragma once

// A small LV2 host over lilv for the plug-in's tests: finds Corvane by its URI on LV2_PATH (the
// build folder's bundle), maps URIs, runs the worker's requests when asked, writes MIDI and
// time:Position events into the input sequence, keeps the control ports' values as a host does,
// and saves and restores state through lilv.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

namespace Lv2Test {

// Where the world looks for bundles: the build's bundle folder first, then the system's specs.
void useBuildBundle();
// Points CORVANE_TMPDIR at a folder of the test program's own, kept until the program ends.
void useProgramTemporaryFolder();

// One event of a cycle: a MIDI message, or a host position.
struct Event {
    std::uint32_t frame = 0;
    std::vector<std::uint8_t> midi;
    bool position = false;
    double bpm = 120.0;
    double bar = 0.0;
    double barBeat = 0.0;
    double beatsPerBar = 4.0;
    double beatUnit = 4.0;
    double speed = 1.0;
    std::int64_t positionFrame = 0;

    static Event note(std::uint32_t frame, std::uint8_t key, std::uint8_t velocity);
    static Event noteOff(std::uint32_t frame, std::uint8_t key);
    static Event controller(std::uint32_t frame, std::uint8_t number, std::uint8_t value);
    static Event time(std::uint32_t frame, double bpm, double speed, double bar = 0.0, double barBeat = 0.0);
};

class World {
public:
    World();
    ~World();
    World(World const&) = delete;
    World& operator=(World const&) = delete;

    LilvWorld* world() const { return world_; }
    LilvPlugin const* plugin() const { return plugin_; }
    LV2_URID map(char const* uri);
    char const* unmap(LV2_URID urid) const;
    LV2_URID_Map* uridMap() { return &map_; }
    LV2_URID_Unmap* uridUnmap() { return &unmap_; }
    // The factory presets the bundle lists: URI and label.
    std::vector<std::pair<std::string, std::string>> presets() const;

private:
    LilvWorld* world_ = nullptr;
    LilvPlugin const* plugin_ = nullptr;
    std::map<std::string, LV2_URID, std::less<>> ids_;
    std::vector<std::string> uris_;
    LV2_URID_Map map_{};
    LV2_URID_Unmap unmap_{};
};

class Instance {
public:
    static constexpr std::uint32_t kEventBytes = 1 << 16;
    static constexpr std::uint32_t kMaxFrames = 8192;

    // withWorker false: the host offers no worker:schedule. alignedEvents false: the input
    // sequence starts 4 bytes past an 8-byte boundary, as jalv 1.6's buffers do.
    explicit Instance(World& world, double sampleRate = 48000.0, bool withWorker = true, bool alignedEvents = true);
    ~Instance();
    Instance(Instance const&) = delete;
    Instance& operator=(Instance const&) = delete;

    bool valid() const { return instance_ != nullptr; }
    double sampleRate() const { return sampleRate_; }
    // The plug-in's own handle, as instance-access hands it to a UI.
    void* handle() const { return lilv_instance_get_handle(instance_); }

    // One run of frames with the events (in frame order); the output lands in left()/right().
    void run(std::uint32_t frames, std::vector<Event> const& events = {});
    std::vector<float> const& left() const { return left_; }
    std::vector<float> const& right() const { return right_; }
    // Runs whole cycles of block frames for the frames given, appending the left channel (and the
    // right, when asked) of every cycle; events are given at frames from the first.
    std::vector<float> render(std::uint32_t frames, std::vector<Event> events = {}, std::uint32_t block = 256,
                              std::vector<float>* right = nullptr);

    // The worker's requests of the runs so far, run now on this thread; answers how many ran.
    int runWorker();
    int workRequests() const { return workRequests_; }
    // Whether the last run's notification sequence held a state:StateChanged.
    bool lastRunAnnouncedStateChange() const { return stateChangedSeen_; }

    // Control ports by symbol.
    bool hasPort(std::string const& symbol) const;
    float control(std::string const& symbol) const;
    void setControl(std::string const& symbol, float value);
    std::vector<std::string> controlSymbols() const;
    // Control ports by index, as a UI's port writes name them.
    float controlAt(std::uint32_t index) const { return controls_.at(index); }
    void setControlAt(std::uint32_t index, float value) { controls_.at(index) = value; }

    // State through lilv, as a text, and back; a preset by its URI.
    std::string saveState();
    bool restoreState(std::string const& text);
    bool loadPreset(std::string const& uri);
    // The plug-in's own state interface with properties the test chooses: key URI -> (type URI, bytes).
    struct Property {
        std::string type;
        std::string bytes;
    };
    LV2_State_Status restoreProperties(std::map<std::string, Property> const& properties);
    std::map<std::string, Property> saveProperties();

private:
    static LV2_Worker_Status scheduleWork(LV2_Worker_Schedule_Handle handle, std::uint32_t size, void const* data);
    static void const* portValue(char const* symbol, void* user, std::uint32_t* size, std::uint32_t* type);
    static void setPortValue(char const* symbol, void* user, void const* value, std::uint32_t size,
                             std::uint32_t type);
    void writeEvents(std::vector<Event> const& events);
    void readNotifications();
    bool restore(LilvState* state);

    World& world_;
    double sampleRate_;
    LilvInstance* instance_ = nullptr;
    LV2_Worker_Schedule schedule_{};
    LV2_Feature mapFeature_{};
    LV2_Feature unmapFeature_{};
    LV2_Feature scheduleFeature_{};
    std::vector<LV2_Feature const*> features_;
    LV2_Worker_Interface const* worker_ = nullptr;
    LV2_State_Interface const* state_ = nullptr;
    int pendingWork_ = 0;
    int workRequests_ = 0;
    bool stateChangedSeen_ = false;

    // Mapped once, so that a run maps nothing (a benchmark measures the plug-in, not the map).
    LV2_URID midiEvent_ = 0;
    LV2_URID atomObject_ = 0;
    LV2_URID stateChanged_ = 0;

    std::vector<std::uint64_t> eventsIn_;
    std::uint8_t* events_ = nullptr;
    std::vector<std::uint64_t> notify_;
    std::vector<float> left_;
    std::vector<float> right_;
    std::map<std::string, std::uint32_t> portIndex_;
    std::vector<float> controls_;
    LV2_Atom_Forge forge_{};
};

} // namespace Lv2Test
