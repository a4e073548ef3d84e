// The interface file "SettingsVwCtrlr": the settings screen's root view with its header bar
// (product name, maker, the info placeholder and the close button) and the scroll view that
// holds the panels. The screen owns the file: its outlets and the close action are connected
// to it.

#include "controls/button/Lumora_CmndButton.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "screens/settings/base/Lumora_PinnedPartsView.h"
#include "screens/settings/nib/SettingsPanelVwsNib.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"

#include <mutex>

namespace {

using Platform::Rect;
using Pin = Lumora_PinnedPartsView::Pin;

constexpr double viewWidth = 400;
constexpr double viewHeight = 600;
constexpr double headerHeight = 76;
constexpr double margin = 12;
constexpr double closeSize = 40;
constexpr double infoWidth = 210;

std::vector<std::shared_ptr<Platform::Object>> build(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<Platform::View>(Rect(0, 0, viewWidth, viewHeight));
    root->setBackgroundColor(Platform::Color::withWhite(0.94));

    auto header = std::make_shared<Lumora_PinnedPartsView>(Rect(0, 0, viewWidth, headerHeight));
    auto name = std::make_shared<Platform::Label>(Rect(margin, 8, 180, 32));
    name->setFont(Platform::Font::boldSystemFont(20));
    name->setTextColor(Platform::Color::whiteColor());
    auto maker = std::make_shared<Platform::Label>(Rect(margin, 40, 180, 24));
    maker->setFont(Platform::Font::systemFont(Platform::Font::systemFontSize()));
    maker->setTextColor(Platform::Color::withWhite(0.85));
    auto info = std::make_shared<Platform::View>(
        Rect(viewWidth - 2 * margin - closeSize - infoWidth, 14, infoWidth, headerHeight - 24));
    auto close = std::make_shared<Lumora_CmndButton>(
        Rect(viewWidth - margin - closeSize, (headerHeight - closeSize) / 2, closeSize, closeSize));
    close->setImageName("Close");
    header->addPart(name, Pin::Left);
    header->addPart(maker, Pin::Left);
    header->addPart(info, Pin::Right);
    header->addPart(close, Pin::Right);

    auto container = std::make_shared<Platform::ScrollView>(Rect(0, headerHeight, viewWidth, viewHeight - headerHeight));
    container->setBackgroundColor(Platform::Color::withWhite(0.94));

    root->addSubview(header);
    root->addSubview(container);

    if (auto* owner = context.ownerAs<Lumora_SettingsVwCtrlr>()) {
        owner->setView(root);
        Lumora_SettingsVwCtrlr::Outlets outlets;
        outlets.titleBarView = header.get();
        outlets.pannelContainerView = container.get();
        outlets.labelProductName = name.get();
        outlets.labelProductManufacture = maker.get();
        outlets.txtVwInfoPlaceholder = info.get();
        outlets.closeButton = close.get();
        owner->connectOutlets(outlets);
        close->addTarget(owner, &Lumora_SettingsVwCtrlr::didPressCloseButton, Platform::ControlEvents::TouchUpInside);
    }
    return {root};
}

} // namespace

void registerSettingsNibs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerSettingsPanelVwsNib();
        Platform::Nib::registerNib(Lumora_SettingsVwCtrlr::nibName, build);
    });
}
