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
constexpr double headerHeight = 104;
constexpr double margin = 12;
constexpr double closeSize = 40;

// The header: the product's name beside the close button, the maker below it, and the info
// text (web and mail address, right-aligned) across the bottom.
std::vector<std::shared_ptr<Platform::Object>> build(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<Platform::View>(Rect(0, 0, viewWidth, viewHeight));
    root->setBackgroundColor(Platform::Color::withWhite(0.94));

    auto header = std::make_shared<Lumora_PinnedPartsView>(Rect(0, 0, viewWidth, headerHeight));
    auto name = std::make_shared<Platform::Label>(Rect(margin, 6, viewWidth - 3 * margin - closeSize, 30));
    name->setFont(Platform::Font::boldSystemFont(20));
    auto maker = std::make_shared<Platform::Label>(Rect(margin, 34, viewWidth - 3 * margin - closeSize, 22));
    maker->setFont(Platform::Font::systemFont(Platform::Font::systemFontSize()));
    auto info = std::make_shared<Platform::View>(Rect(margin, 56, viewWidth - 2 * margin, headerHeight - 60));
    auto close = std::make_shared<Lumora_CmndButton>(Rect(viewWidth - margin - closeSize, 6, closeSize, closeSize));
    close->setImageName("Close");
    header->addPart(name, Pin::Stretch);
    header->addPart(maker, Pin::Stretch);
    header->addPart(info, Pin::Stretch);
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
