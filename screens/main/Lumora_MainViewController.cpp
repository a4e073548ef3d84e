#include "screens/main/Lumora_MainViewController.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "model/core/Lumora_Core.h"
#include "platform/ui/NavigationController.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"

namespace {

Lumora_MainViewController::ArpeggiatorEditorFactory& arpFactory()
{
    static Lumora_MainViewController::ArpeggiatorEditorFactory factory;
    return factory;
}

} // namespace

void Lumora_MainViewController::setArpeggiatorEditorFactory(ArpeggiatorEditorFactory factory)
{
    arpFactory() = std::move(factory);
}

Lumora_MainViewController::ArpeggiatorEditorFactory const& Lumora_MainViewController::arpeggiatorEditorFactory()
{
    return arpFactory();
}

std::shared_ptr<Lumora_Core> Lumora_MainViewController::sharedCore() const
{
    return core() ? std::static_pointer_cast<Lumora_Core>(core()->shared_from_this()) : nullptr;
}

void Lumora_MainViewController::presentSubScreen(std::shared_ptr<Platform::ViewController> controller,
                                                 Platform::Size contentSize, Platform::View* source,
                                                 std::vector<Platform::View*> passthroughViews, unsigned arrows,
                                                 std::optional<Platform::Color> backgroundColor)
{
    if (!controller)
        return;
    lastPresented_ = controller;
    if (core() && core()->subViewControllerStyle() == 1)
        modalViewController(std::move(controller));
    else
        popoverViewController(std::move(controller), contentSize, source, std::move(passthroughViews), arrows,
                              backgroundColor);
}

void Lumora_MainViewController::showSoundPresetFileBrowserInView(Platform::View* view,
                                                                 std::vector<Platform::View*> passthroughViews,
                                                                 std::optional<Platform::Color> backgroundColor)
{
    if (auto* engine = audioEngine())
        showPresetFileBrowser(engine->soundPresetFileManager(), view, std::move(passthroughViews), backgroundColor);
}

void Lumora_MainViewController::showMidiMappingPresetFileBrowserInView(Platform::View* view,
                                                                       std::vector<Platform::View*> passthroughViews,
                                                                       std::optional<Platform::Color> backgroundColor)
{
    if (auto* engine = audioEngine())
        showPresetFileBrowser(engine->midiMappingFileManager(), view, std::move(passthroughViews), backgroundColor);
}

void Lumora_MainViewController::showPresetFileBrowser(Lumora::PresetDocFileManager* manager, Platform::View* view,
                                                      std::vector<Platform::View*> passthroughViews,
                                                      std::optional<Platform::Color> backgroundColor)
{
    if (!manager || !core())
        return;
    auto browser = Lumora_PrstDocFileBrwsVwCtrlr::create(manager, core()->isPlugin(), true);
    if (!browser)
        return;
    browser->setTitle(manager->name());
    Platform::Size const size = browser->view() ? browser->view()->frame().size : Platform::Size{};
    presentSubScreen(browser, size, view, std::move(passthroughViews), 15, backgroundColor);
}

void Lumora_MainViewController::showSettingsInView(Platform::View* view, std::vector<Platform::View*> passthroughViews,
                                                   std::optional<Platform::Color> backgroundColor,
                                                   std::optional<PanelClasses> panelClasses, PanelViewBlock panelBlock)
{
    auto settings = Lumora_SettingsVwCtrlr::create(sharedCore(), std::move(panelClasses), std::move(panelBlock));
    if (!settings)
        return;
    auto const bundle = Platform::Bundle::main();
    settings->setTitle(bundle ? bundle->localizedStringForKey("Settings", "") : std::string("Settings"));
    Platform::Size const size = settings->view() ? settings->view()->frame().size : Platform::Size{};
    auto navigation = Platform::NavigationController::withRootViewController(settings);
    presentSubScreen(navigation, size, view, std::move(passthroughViews), 8, backgroundColor);
}
