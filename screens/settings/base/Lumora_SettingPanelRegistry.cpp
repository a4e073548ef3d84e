#include "screens/settings/base/Lumora_SettingPanelRegistry.h"

#include "screens/settings/base/Lumora_SettingPanelView.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace {

struct Entry {
    Lumora_SettingPanelClass panelClass;
    Lumora_SettingPanelRegistry::Builder builder;
};

// Interface files are made on the main thread, but registrations may run from static
// initialisers of any library: one lock keeps the tables whole.
struct Tables {
    std::mutex lock;
    std::vector<Entry> panels;   // in registration order
    std::map<std::string, Lumora_SettingPanelRegistry::SubScreenFactory> subScreens;
};

Tables& tables()
{
    static Tables t;
    return t;
}

// Position in the file: the default list's index, then SampleRate, then the others.
std::size_t fileRank(std::string const& name)
{
    auto const& order = Lumora_SettingPanelRegistry::defaultOrder();
    auto it = std::find(order.begin(), order.end(), name);
    if (it != order.end())
        return static_cast<std::size_t>(it - order.begin());
    if (name == "SampleRate_SettingPanelView")
        return order.size();
    return order.size() + 1;
}

} // namespace

Lumora_SettingPanelClass Lumora_SettingPanelClass::named(std::string const& name)
{
    if (auto found = Lumora_SettingPanelRegistry::panelClassNamed(name))
        return *found;
    return {name, [](Platform::Object const*) { return false; }};
}

void Lumora_SettingPanelRegistry::registerPanel(Lumora_SettingPanelClass panelClass, Builder builder)
{
    Tables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    for (Entry& e : t.panels) {
        if (e.panelClass.name == panelClass.name) {
            e = {std::move(panelClass), std::move(builder)};
            return;
        }
    }
    t.panels.push_back({std::move(panelClass), std::move(builder)});
}

void Lumora_SettingPanelRegistry::unregisterPanel(std::string const& name)
{
    Tables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    std::erase_if(t.panels, [&](Entry const& e) { return e.panelClass.name == name; });
}

std::optional<Lumora_SettingPanelClass> Lumora_SettingPanelRegistry::panelClassNamed(std::string const& name)
{
    Tables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    for (Entry const& e : t.panels)
        if (e.panelClass.name == name)
            return e.panelClass;
    return std::nullopt;
}

namespace {

std::vector<Entry> entriesInFileOrder()
{
    Tables& t = tables();
    std::vector<Entry> entries;
    {
        std::lock_guard<std::mutex> guard(t.lock);
        entries = t.panels;
    }
    std::stable_sort(entries.begin(), entries.end(), [](Entry const& a, Entry const& b) {
        return fileRank(a.panelClass.name) < fileRank(b.panelClass.name);
    });
    return entries;
}

} // namespace

std::vector<std::string> Lumora_SettingPanelRegistry::panelNames()
{
    std::vector<std::string> names;
    for (Entry const& e : entriesInFileOrder())
        names.push_back(e.panelClass.name);
    return names;
}

std::vector<std::shared_ptr<Lumora_SettingPanelView>> Lumora_SettingPanelRegistry::instantiatePanels()
{
    // Builders run without the lock: a builder may ask the registry itself.
    std::vector<std::shared_ptr<Lumora_SettingPanelView>> panels;
    for (Entry const& e : entriesInFileOrder())
        if (e.builder)
            if (auto panel = e.builder())
                panels.push_back(std::move(panel));
    return panels;
}

void Lumora_SettingPanelRegistry::registerSubScreen(std::string const& name, SubScreenFactory factory)
{
    Tables& t = tables();
    std::lock_guard<std::mutex> guard(t.lock);
    if (factory)
        t.subScreens[name] = std::move(factory);
    else
        t.subScreens.erase(name);
}

std::shared_ptr<Platform::ViewController> Lumora_SettingPanelRegistry::makeSubScreen(
    std::string const& name, std::shared_ptr<Lumora_Core> const& core, Lumora_SettingsVwCtrlr* owner)
{
    SubScreenFactory factory;
    {
        Tables& t = tables();
        std::lock_guard<std::mutex> guard(t.lock);
        auto it = t.subScreens.find(name);
        if (it == t.subScreens.end())
            return nullptr;
        factory = it->second;
    }
    return factory(core, owner);
}

std::vector<std::string> const& Lumora_SettingPanelRegistry::defaultOrder()
{
    static std::vector<std::string> const order{
        "AllNoteOff_SettingPanelView",
        "MasterVolume_SettingPanelView",
        "MasterTranspose_SettingPanelView",
        "MasterTune_SettingPanelView",
        "MicroTuning_SettingPanelView",
        "MaxPolyphony_SettingPanelView",
        "SyncMethod_SettingPanelView",
        "Tempo_SettingPanelView",
        "TimingShift_SettingPanelView",
        "AudioEngineVersion_SettingPanelView",
        "AudioQuality_SettingPanelView",
        "AudioBufferSize_SettingPanelView",
        "BackgroundAudio_SettingPanelView",
        "UnusedMidiInPorts_SettingPanelView",
        "MidiChannel_SettingPanelView",
        "BluetoothMidiDevices_SettingPanelView",
        "MidiMapping_SettingPanelView",
        "MidiMappingTakeoverMode_SettingPanelView",
        "UsePgListAsFctryForAUv3Host_SettingPanelView",
        "IncludeArpSettingsInSoundFile_SettingPanelView",
        "IncludeMidiMappingInSoundFile_SettingPanelView",
        "IncludeMicroTuningInSoundFile_SettingPanelView",
        "LinearKnobMode_SettingPanelView",
        "KeyboardSize_SettingPanelView",
        "KeyboardPianoStyle_SettingPanelView",
        "KeyboardScrollPosition_SettingPanelView",
        "MasterKbHoldMode_SettingPanelView",
        "PopupInPluginMode_SettingPanelView",
        "About_SettingPanelView",
    };
    return order;
}
