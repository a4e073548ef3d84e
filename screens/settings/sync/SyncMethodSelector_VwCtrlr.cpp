#include "screens/settings/sync/SyncMethodSelector_VwCtrlr.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioIO.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/graphics/Font.h"
#include "screens/settings/sync/SyncMethodNames.h"

#include <mutex>

namespace {

std::mutex factoryLock;

SyncMethodSelector_VwCtrlr::Factory& registeredFactory()
{
    static SyncMethodSelector_VwCtrlr::Factory factory;
    return factory;
}

} // namespace

std::shared_ptr<SyncMethodSelector_VwCtrlr> SyncMethodSelector_VwCtrlr::make(std::shared_ptr<Lumora_Core> const& core)
{
    Factory factory;
    {
        std::lock_guard guard(factoryLock);
        factory = registeredFactory();
    }
    if (factory)
        return factory(core);
    auto selector = std::make_shared<SyncMethodSelector_VwCtrlr>();
    if (!selector->initWithCore(core))
        return nullptr;
    return selector;
}

void SyncMethodSelector_VwCtrlr::setFactory(Factory factory)
{
    std::lock_guard guard(factoryLock);
    registeredFactory() = std::move(factory);
}

SyncMethodSelector_VwCtrlr::~SyncMethodSelector_VwCtrlr() = default;

bool SyncMethodSelector_VwCtrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core)
        return false;
    core_ = core;
    return true;
}

void SyncMethodSelector_VwCtrlr::viewDidLoad()
{
    TableViewController::viewDidLoad();
    setTitle("Sync Method");
}

void SyncMethodSelector_VwCtrlr::viewWillAppear(bool animated)
{
    TableViewController::viewWillAppear(animated);
    onCloseAbLinkSettings();
}

int SyncMethodSelector_VwCtrlr::runningSyncMethod() const
{
    Lumora::iAudioEngine* engine = core_ ? core_->audioEngine() : nullptr;
    Lumora::iAudioIO* io = engine ? engine->audioIO() : nullptr;
    return io ? static_cast<int>(io->syncMethod()) : 0;
}

void SyncMethodSelector_VwCtrlr::storeMethodOfRow(int row)
{
    if (auto settings = core_->settings())
        settings->setSyncMethod(row == 1 || row == 2 ? static_cast<std::uint32_t>(row) : 0u);
}

int SyncMethodSelector_VwCtrlr::numberOfRowsInSection(Platform::TableView*, int)
{
    return static_cast<int>(SyncMethodNames::names().size());
}

std::shared_ptr<Platform::TableViewCell> SyncMethodSelector_VwCtrlr::cellForRowAtIndexPath(Platform::TableView* tableView,
                                                                                          Platform::IndexPath indexPath)
{
    auto cell = tableView->dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell)
        cell = std::make_shared<Platform::TableViewCell>(Platform::TableViewCell::Style::Default, cellIdentifier);
    cell->textLabel()->setFont(Platform::Font::systemFont(fontSize));
    std::vector<std::string> const names = SyncMethodNames::names();
    int const row = indexPath.row;
    cell->textLabel()->setText(row >= 0 && row < static_cast<int>(names.size()) ? names[row] : std::string());
    bool const checked = row == SyncMethodNames::rowOf(runningSyncMethod());
    cell->setAccessoryType(checked ? Platform::TableViewCell::AccessoryType::Checkmark
                                   : Platform::TableViewCell::AccessoryType::None);
    return cell;
}

void SyncMethodSelector_VwCtrlr::didSelectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath)
{
    storeMethodOfRow(indexPath.row);
    tableView->reloadData();
}
