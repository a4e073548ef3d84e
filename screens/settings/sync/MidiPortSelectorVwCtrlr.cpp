#include "screens/settings/sync/MidiPortSelectorVwCtrlr.h"

#include "engine/audio/iAudioEngine.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/graphics/Font.h"

namespace {

constexpr int midiSourcesChanged = 1001;

} // namespace

std::shared_ptr<MidiPortSelectorVwCtrlr> MidiPortSelectorVwCtrlr::create(std::shared_ptr<Lumora_Core> core)
{
    auto selector = std::make_shared<MidiPortSelectorVwCtrlr>();
    if (!selector->initWithCore(std::move(core)))
        return nullptr;
    return selector;
}

bool MidiPortSelectorVwCtrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core)
        return false;
    core_ = core;
    return true;
}

MidiPortSelectorVwCtrlr::~MidiPortSelectorVwCtrlr()
{
    if (observing_)
        core_->removeAudioEngineObserver(this);
    Lumora::iAudioIO_for_App* io = appAudioIO();
    if (!io)
        return;
    std::vector<std::int32_t> unused;
    for (auto const& [id, port] : io->midiSources())
        if (!port.enabled)
            unused.push_back(id);
    if (auto settings = core_->settings())
        settings->setUnusedMidiInPorts(unused);
}

Lumora::iAudioIO_for_App* MidiPortSelectorVwCtrlr::appAudioIO() const
{
    Lumora::iAudioEngine* engine = core_ ? core_->audioEngine() : nullptr;
    return engine ? dynamic_cast<Lumora::iAudioIO_for_App*>(engine->audioIO()) : nullptr;
}

void MidiPortSelectorVwCtrlr::viewDidLoad()
{
    TableViewController::viewDidLoad();
    setTitle("MIDI Input Ports");
    if (!observing_) {
        core_->addAudioEngineObserver(this);
        observing_ = true;
    }
    prepareData();
}

void MidiPortSelectorVwCtrlr::prepareData()
{
    Lumora::iAudioIO_for_App* io = appAudioIO();
    if (!io)
        return;
    ports_.clear();
    for (auto const& [id, port] : io->midiSources())
        ports_.push_back(port);
}

void MidiPortSelectorVwCtrlr::receiveAudioEngineNotificationWithID(int id, int)
{
    if (id != midiSourcesChanged)
        return;
    prepareData();
    if (isViewLoaded())
        tableView()->reloadData();
}

int MidiPortSelectorVwCtrlr::numberOfRowsInSection(Platform::TableView*, int)
{
    return static_cast<int>(ports_.size());
}

std::shared_ptr<Platform::TableViewCell> MidiPortSelectorVwCtrlr::cellForRowAtIndexPath(Platform::TableView* tableView,
                                                                                       Platform::IndexPath indexPath)
{
    auto cell = tableView->dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell)
        cell = std::make_shared<Platform::TableViewCell>(Platform::TableViewCell::Style::Default, cellIdentifier);
    cell->textLabel()->setFont(Platform::Font::systemFont(fontSize));
    bool enabled = false;
    std::string name;
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(ports_.size())) {
        name = ports_[indexPath.row].displayName;
        enabled = ports_[indexPath.row].enabled;
    }
    cell->textLabel()->setText(name);
    cell->setAccessoryType(enabled ? Platform::TableViewCell::AccessoryType::Checkmark
                                   : Platform::TableViewCell::AccessoryType::None);
    return cell;
}

void MidiPortSelectorVwCtrlr::didSelectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath)
{
    if (indexPath.row < 0 || indexPath.row >= static_cast<int>(ports_.size()))
        return;
    Lumora::MidiPortSetting& port = ports_[indexPath.row];
    port.enabled = !port.enabled;
    if (Lumora::iAudioIO_for_App* io = appAudioIO())
        io->enableMidiSource(port.uniqueID, port.enabled);
    tableView->reloadData();
}
