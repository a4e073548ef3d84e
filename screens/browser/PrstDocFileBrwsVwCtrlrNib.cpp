// The interface file "PrstDocFileBrwsVwCtrlr": the browser's root view, its tool bar of command
// buttons and the table, with the browser as the table's data source and delegate and as the
// target of every button.

#include "controls/button/Lumora_CmndButton.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/Nib.h"
#include "platform/ui/TableView.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"

#include <mutex>

namespace {

using Browser = Lumora_PrstDocFileBrwsVwCtrlr;
using Platform::Rect;

// The size a popover of the browser takes (the callers use the view's frame as content size).
constexpr double viewWidth = 400;
constexpr double viewHeight = 540;
constexpr double rowHeight = 44;
constexpr double buttonSize = 40;

// Tags, so that code without outlets (and tests) can find the parts.
enum Tag : int {
    tagToolBar = 1,
    tagTable = 2,
    tagClose = 10,
    tagGoBack = 11,
    tagDirectoryName = 12,
    tagAlt = 13,
    tagFn1 = 21,  // Fn1 ... Fn5: 21 ... 25
};

std::shared_ptr<Lumora_CmndButton> commandButton(std::optional<std::string> imageName, int tag)
{
    auto button = std::make_shared<Lumora_CmndButton>(Rect(0, 0, buttonSize, buttonSize));
    button->setImageName(std::move(imageName));
    button->setTag(tag);
    return button;
}

std::vector<std::shared_ptr<Platform::Object>> build(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<Platform::View>(Rect(0, 0, viewWidth, viewHeight));
    root->setBackgroundColor(Platform::Color::whiteColor());

    auto toolBar = std::make_shared<Platform::View>(Rect(0, 0, viewWidth, 2 * rowHeight));
    toolBar->setTag(tagToolBar);
    toolBar->setBackgroundColor(Platform::Color::withWhite(0.9));

    auto table = std::make_shared<Platform::TableView>(Rect(0, 2 * rowHeight, viewWidth, viewHeight - 2 * rowHeight));
    table->setTag(tagTable);

    auto close = commandButton("Close", tagClose);
    auto goBack = commandButton("GoBack", tagGoBack);
    auto alt = commandButton("Alt", tagAlt);
    std::shared_ptr<Lumora_CmndButton> fn[5];
    for (int i = 0; i < 5; ++i)
        fn[i] = commandButton(std::nullopt, tagFn1 + i);

    auto directoryName = std::make_shared<Platform::Button>(Rect(0, 0, 200, buttonSize));
    directoryName->setTag(tagDirectoryName);
    directoryName->setTitleColor(Platform::Color(0.0, 0.25, 0.55), Platform::ControlState::Normal);
    directoryName->setTitleColor(Platform::Color::withWhite(0.5), Platform::ControlState::Highlighted);
    directoryName->titleLabel()->setFont(Platform::Font::boldSystemFont(Platform::Font::labelFontSize()));

    toolBar->addSubview(close);
    toolBar->addSubview(goBack);
    toolBar->addSubview(directoryName);
    toolBar->addSubview(alt);
    for (auto const& button : fn)
        toolBar->addSubview(button);
    root->addSubview(toolBar);
    root->addSubview(table);

    // The close button's width: the tool bar closes the gap when the browser has no close button.
    auto closeWidth = Platform::LayoutConstraint::constraintWithItem(
        close.get(), Platform::LayoutConstraint::Attribute::Width, Platform::LayoutConstraint::Relation::Equal, nullptr,
        Platform::LayoutConstraint::Attribute::NotAnAttribute, 1, buttonSize);
    closeWidth->setActive(true);
    toolBar->addConstraint(closeWidth);

    if (Browser* owner = context.ownerAs<Browser>()) {
        owner->setView(root);
        Browser::Outlets outlets;
        outlets.tableView = table.get();
        outlets.toolBar = toolBar.get();
        outlets.btnDirectoryName = directoryName.get();
        outlets.btnClose = close.get();
        outlets.btnGoBack = goBack.get();
        outlets.btnAlt = alt.get();
        for (int i = 0; i < 5; ++i)
            outlets.btnFn[i] = fn[i].get();
        outlets.closeBtnLayout = closeWidth.get();
        owner->connectOutlets(outlets);

        table->setDataSource(owner);
        table->setDelegate(owner);
        using Platform::ControlEvents::TouchUpInside;
        close->addTarget(owner, &Browser::actionClose, TouchUpInside);
        goBack->addTarget(owner, &Browser::actionGoBack, TouchUpInside);
        alt->addTarget(owner, &Browser::actionAlt, TouchUpInside);
        directoryName->addTarget(owner, &Browser::actionRenameDirectory, TouchUpInside);
        fn[0]->addTarget(owner, &Browser::actionFn1, TouchUpInside);
        fn[1]->addTarget(owner, &Browser::actionFn2, TouchUpInside);
        fn[2]->addTarget(owner, &Browser::actionFn3, TouchUpInside);
        fn[3]->addTarget(owner, &Browser::actionFn4, TouchUpInside);
        fn[4]->addTarget(owner, &Browser::actionFn5, TouchUpInside);
    }
    return {root};
}

} // namespace

void registerPrstDocFileBrwsVwCtrlrNib()
{
    static std::once_flag once;
    std::call_once(once, [] { Platform::Nib::registerNib(Browser::nibName, build); });
}
