#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIButton_Lumora.h"
#include "controls/categories/UIColor_Lumora.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/presentation/Lumora_Alert.h"
#include "engine/documents/FileManager.h"
#include "engine/files/FileSystem.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/Font.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/KeyboardInput.h"
#include "platform/ui/PopoverPresentationController.h"
#include "screens/browser/PrstDocFileBrwsLogic.h"

#include <algorithm>

using Platform::IndexPath;
using Platform::TableView;
using Path = Lumora::PresetDocFileManager::path;

namespace {

using Self = Lumora_PrstDocFileBrwsVwCtrlr;

} // namespace

// ---------------------------------------------------------------------------------------------
// Creation

std::shared_ptr<Lumora_PrstDocFileBrwsVwCtrlr> Lumora_PrstDocFileBrwsVwCtrlr::create(
    Lumora::PresetDocFileManager* manager, bool isPlugin, bool closeButton)
{
    auto browser = std::make_shared<Lumora_PrstDocFileBrwsVwCtrlr>();
    if (!browser->initWithPresetDocFileManager(manager, isPlugin, closeButton))
        return nullptr;
    return browser;
}

bool Lumora_PrstDocFileBrwsVwCtrlr::initWithPresetDocFileManager(Lumora::PresetDocFileManager* manager, bool isPlugin,
                                                                 bool closeButton)
{
    if (!manager)
        return false;
    registerPrstDocFileBrwsVwCtrlrNib();
    if (!initWithNibName(nibName, Platform::Bundle::main()))
        return false;
    docFileManager_ = manager;
    isPlugin_ = isPlugin;
    closeButton_ = closeButton;
    return true;
}

Lumora_PrstDocFileBrwsVwCtrlr::~Lumora_PrstDocFileBrwsVwCtrlr()
{
    followAltKey(false);
}

Lumora_CmndButton* Lumora_PrstDocFileBrwsVwCtrlr::btnFn(int number) const
{
    if (number < 1 || number > 5)
        return nullptr;
    return btnFn_[number - 1].get();
}

void Lumora_PrstDocFileBrwsVwCtrlr::connectOutlets(Outlets const& outlets)
{
    tableView_.reset(outlets.tableView);
    toolBar_.reset(outlets.toolBar);
    btnDirectoryName_.reset(outlets.btnDirectoryName);
    btnClose_.reset(outlets.btnClose);
    btnGoBack_.reset(outlets.btnGoBack);
    btnAlt_.reset(outlets.btnAlt);
    for (int i = 0; i < 5; ++i)
        btnFn_[i].reset(outlets.btnFn[i]);
    closeBtnLayout_.reset(outlets.closeBtnLayout);
}

std::string Lumora_PrstDocFileBrwsVwCtrlr::localized(std::string const& text)
{
    return Platform::Bundle::main()->localizedStringForKey(text, "", "");
}

// ---------------------------------------------------------------------------------------------
// View

void Lumora_PrstDocFileBrwsVwCtrlr::viewDidLoad()
{
    ViewController::viewDidLoad();
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();
    if (Platform::View* bar = toolBar())
        bar->setBackgroundColor(painter->popoverHeaderColor());
    if (!closeButton_) {
        if (Lumora_CmndButton* close = btnClose())
            close->setHidden(true);
        if (Platform::LayoutConstraint* layout = closeBtnLayout())
            layout->setConstant(0);
    }
    docFileManager_->backup();
    canRestore_ = false;
    if (TableView* table = tableView())
        table->setBackgroundColor(Platform::Color::whiteColor());
    if (Platform::Button* name = btnDirectoryName())
        name->setTitleColor(Platform::Color::blackColor(), Platform::ControlState::Disabled);
    if (Lumora_CmndButton* alt = btnAlt())
        alt->setSelected(false);
    if (TableView* table = tableView())
        table->setAllowsMultipleSelection(false);
    if (auto tint = painter->tintColor())
        UIView_Lumora_Control_Container_View::setTintColorToDecendants(view(), *tint);
    update();
}

void Lumora_PrstDocFileBrwsVwCtrlr::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    followAltKey(true);
}

void Lumora_PrstDocFileBrwsVwCtrlr::viewDidDisappear(bool animated)
{
    followAltKey(false);
    altHeldByKey_ = false;
    ViewController::viewDidDisappear(animated);
}

void Lumora_PrstDocFileBrwsVwCtrlr::viewWillLayoutSubviews()
{
    constexpr double margin = 4;
    constexpr double rowHeight = 44;
    constexpr double buttonSize = 40;
    constexpr double gap = 4;
    Platform::View* root = view();
    Platform::View* bar = toolBar();
    if (!root || !bar)
        return;
    Platform::Rect const bounds = root->bounds();
    double const width = bounds.width();
    bar->setFrame(Platform::Rect(0, 0, width, 2 * rowHeight));
    if (TableView* table = tableView())
        table->setFrame(Platform::Rect(0, 2 * rowHeight, width, std::max(0.0, bounds.height() - 2 * rowHeight)));

    double const top = (rowHeight - buttonSize) / 2;
    // First row: close (its width is the relation's constant, 0 without it), back, folder name.
    double x = margin;
    double const closeWidth = closeBtnLayout() ? closeBtnLayout()->constant() : buttonSize;
    if (Lumora_CmndButton* close = btnClose())
        close->setFrame(Platform::Rect(x, top, closeWidth, buttonSize));
    x += closeWidth > 0 ? closeWidth + gap : 0;
    if (Lumora_CmndButton* back = btnGoBack())
        back->setFrame(Platform::Rect(x, top, buttonSize, buttonSize));
    x += buttonSize + gap;
    if (Platform::Button* name = btnDirectoryName())
        name->setFrame(Platform::Rect(x, top, std::max(0.0, width - margin - x), buttonSize));

    // Second row: Alt at the left edge, the five function buttons from the right edge.
    double const secondTop = rowHeight + top;
    if (Lumora_CmndButton* alt = btnAlt())
        alt->setFrame(Platform::Rect(margin, secondTop, buttonSize, buttonSize));
    double right = width - margin;
    for (int number = 5; number >= 1; --number) {
        right -= buttonSize;
        if (Lumora_CmndButton* fn = btnFn(number))
            fn->setFrame(Platform::Rect(right, secondTop, buttonSize, buttonSize));
        right -= gap;
    }
}

// ---------------------------------------------------------------------------------------------
// State shown

void Lumora_PrstDocFileBrwsVwCtrlr::update()
{
    items_ = docFileManager_->itemList(false);
    if (TableView* table = tableView()) {
        // Reloading forgets the rows' selection: the rows may now be other entries.
        for (IndexPath const& row : table->indexPathsForSelectedRows())
            table->deselectRowAtIndexPath(row, false);
        table->reloadData();
    }
    selectTableRowByDocFileManagerSelection();
    // Last, so the buttons count the rows selected now, not those of the old listing.
    updateButtons();
}

bool Lumora_PrstDocFileBrwsVwCtrlr::isAlt() const
{
    Lumora_CmndButton* alt = btnAlt();
    return alt && alt->isSelected();
}

void Lumora_PrstDocFileBrwsVwCtrlr::updateButtons()
{
    Lumora::PresetDocFileManager& manager = *docFileManager_;
    if (Lumora_CmndButton* back = btnGoBack())
        back->setEnabled(manager.canChangeDirectoryToParentDirectory());
    if (Platform::Button* name = btnDirectoryName()) {
        UIButton_Lumora::setTitleForAllState(name, manager.directoryName());
        name->setEnabled(manager.canRenameCurrentDirectory());
    }
    auto const buttons = PrstDocFileBrws::functionButtons(manager, isAlt(), selectedRows().size(), canRestore_);
    for (int i = 0; i < 5; ++i) {
        Lumora_CmndButton* fn = btnFn(i + 1);
        if (!fn)
            continue;
        fn->setImageName(buttons[i].imageName);
        fn->setHidden(buttons[i].hidden);
        fn->setEnabled(buttons[i].enabled);
    }
}

void Lumora_PrstDocFileBrwsVwCtrlr::selectTableRowByDocFileManagerSelection()
{
    TableView* table = tableView();
    if (!table)
        return;
    Item const selected = docFileManager_->selectedItem();
    if (selected) {
        for (std::size_t row = 0; row < items_.size(); ++row)
            if (items_[row] == selected)
                table->selectRowAtIndexPath(IndexPath::forRow(static_cast<int>(row), 0), true,
                                            TableView::ScrollPosition::Bottom);
        return;
    }
    if (auto row = table->indexPathForSelectedRow())
        table->deselectRowAtIndexPath(*row, false);
}

std::vector<IndexPath> Lumora_PrstDocFileBrwsVwCtrlr::selectedRows() const
{
    TableView* table = tableView();
    return table ? table->indexPathsForSelectedRows() : std::vector<IndexPath>();
}

std::vector<Path> Lumora_PrstDocFileBrwsVwCtrlr::selectedEntries() const
{
    std::vector<Path> entries;
    for (IndexPath const& row : selectedRows())
        if (Item const* item = itemAtRow(row.row))
            entries.push_back(item->path());
    return entries;
}

Lumora_PrstDocFileBrwsVwCtrlr::Item const* Lumora_PrstDocFileBrwsVwCtrlr::itemAtRow(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= items_.size())
        return nullptr;
    return &items_[static_cast<std::size_t>(row)];
}

// ---------------------------------------------------------------------------------------------
// Actions

void Lumora_PrstDocFileBrwsVwCtrlr::actionFn1(Platform::Control* sender) { runFunction(1, sender); }
void Lumora_PrstDocFileBrwsVwCtrlr::actionFn2(Platform::Control* sender) { runFunction(2, sender); }
void Lumora_PrstDocFileBrwsVwCtrlr::actionFn3(Platform::Control* sender) { runFunction(3, sender); }
void Lumora_PrstDocFileBrwsVwCtrlr::actionFn4(Platform::Control* sender) { runFunction(4, sender); }
void Lumora_PrstDocFileBrwsVwCtrlr::actionFn5(Platform::Control* sender) { runFunction(5, sender); }

void Lumora_PrstDocFileBrwsVwCtrlr::runFunction(int number, Platform::Control* sender)
{
    using Command = PrstDocFileBrws::FunctionButton::Command;
    auto const buttons = PrstDocFileBrws::functionButtons(*docFileManager_, isAlt(), selectedRows().size(), canRestore_);
    switch (buttons[static_cast<std::size_t>(number - 1)].command) {
    case Command::None: break;
    case Command::NewFolder: commandNewFolder(); break;
    case Command::Save: commandSave(); break;
    case Command::Initialize: commandInitialize(); break;
    case Command::Restore: commandRestore(); break;
    case Command::Rename: commandRename(); break;
    case Command::Send: commandSend(sender); break;
    case Command::Duplicate: commandDuplicate(); break;
    case Command::Move: commandMove(sender); break;
    case Command::Delete: commandDelete(); break;
    }
}

void Lumora_PrstDocFileBrwsVwCtrlr::actionAlt(Platform::Control*)
{
    Lumora_CmndButton* alt = btnAlt();
    if (!alt)
        return;
    bool const toAlt = !alt->isSelected();
    alt->setSelected(toAlt);
    TableView* table = tableView();
    if (table)
        table->setAllowsMultipleSelection(toAlt);
    if (!toAlt) {
        if (table)
            for (IndexPath const& row : table->indexPathsForSelectedRows())
                table->deselectRowAtIndexPath(row, false);
        docFileManager_->unselect();
    }
    selectTableRowByDocFileManagerSelection();
    updateButtons();
}

void Lumora_PrstDocFileBrwsVwCtrlr::followAltKey(bool follow)
{
    auto& center = Platform::NotificationCenter::defaultCenter();
    if (!follow) {
        if (altKeyObserver_)
            center.removeObserver(altKeyObserver_);
        altKeyObserver_ = 0;
        return;
    }
    if (altKeyObserver_)
        return;
    std::weak_ptr<Self> weak = weakSelf<Self>();
    altKeyObserver_ = center.addObserver(Platform::kAltKeyDidChangeNotification, nullptr,
                                         [weak](Platform::Notification const&) {
                                             if (auto self = weak.lock())
                                                 self->altKeyDidChange();
                                         });
}

// The key only switches the mode while nothing is presented over the browser: a prompt or sheet
// opened in Alt mode acts on the selection, which leaving the mode would clear under it. A
// release then leaves the mode on, as a tap on the button would have.
void Lumora_PrstDocFileBrwsVwCtrlr::altKeyDidChange()
{
    bool const down = Platform::KeyboardInput::isAltDown();
    bool const free = presentedViewController() == nullptr;
    if (down) {
        if (free && !isAlt()) {
            actionAlt(nullptr);
            altHeldByKey_ = isAlt();
        }
        return;
    }
    bool const heldByKey = altHeldByKey_;
    altHeldByKey_ = false;
    if (heldByKey && free && isAlt())
        actionAlt(nullptr);
}

void Lumora_PrstDocFileBrwsVwCtrlr::actionClose(Platform::Control*)
{
    dismissViewControllerAnimated(true);
}

void Lumora_PrstDocFileBrwsVwCtrlr::actionGoBack(Platform::Control*)
{
    if (docFileManager_->changeDirectoryToParentDirectory())
        update();
}

// ---------------------------------------------------------------------------------------------
// Names

void Lumora_PrstDocFileBrwsVwCtrlr::askForName(std::string const& title, std::string const& message,
                                               std::string const& defaultText,
                                               void (Lumora_PrstDocFileBrwsVwCtrlr::*accept)(std::string const&))
{
    std::weak_ptr<Self> weak = weakSelf<Self>();
    Lumora_Alert::showTextInputAlertWithTitle(
        title, message, defaultText,
        [weak, accept](std::string const& text) {
            auto self = weak.lock();
            if (!self)
                return;
            std::string const name = PrstDocFileBrws::trimmedName(text);
            switch (PrstDocFileBrws::checkName(name)) {
            case PrstDocFileBrws::NameCheck::Empty: return;
            case PrstDocFileBrws::NameCheck::InvalidCharacters: self->alertInvalidCharForPath(); return;
            case PrstDocFileBrws::NameCheck::Valid: ((*self).*accept)(name); return;
            }
        },
        [](std::string const&) {}, this);
}

void Lumora_PrstDocFileBrwsVwCtrlr::askForNewName(std::string const& current,
                                                  void (Lumora_PrstDocFileBrwsVwCtrlr::*accept)(std::string const&))
{
    askForName(PrstDocFileBrws::formatText(localized("Rename '%@'"), current),
               PrstDocFileBrws::formatText(localized("Enter a new name for the '%@'."), current), current, accept);
}

void Lumora_PrstDocFileBrwsVwCtrlr::updateOrAlert(bool succeeded)
{
    if (succeeded)
        update();
    else
        alertDocFileManagerErrorMessage();
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandSave()
{
    std::string const message = PrstDocFileBrws::formatText(localized("Enter a name for the %@ data."),
                                                             PrstDocFileBrws::lowercased(docFileManager_->name()));
    askForName(localized("Save"), message, docFileManager_->presetName(), &Self::acceptNameForSave);
}

void Lumora_PrstDocFileBrwsVwCtrlr::acceptNameForSave(std::string const& name)
{
    if (docFileManager_->fileExistCheckForSaving(name))
        saveConfirmSameName(name);
    else
        saveWithName(name);
}

void Lumora_PrstDocFileBrwsVwCtrlr::saveConfirmSameName(std::string const& name)
{
    std::weak_ptr<Self> weak = weakSelf<Self>();
    Lumora_Alert::showAlertWithTitle(
        localized("Confirmation"),
        PrstDocFileBrws::formatText(localized("'%@' already exists. Are you sure you want to overwrite it?"), name),
        [weak, name] {
            if (auto self = weak.lock())
                self->saveWithName(name);
        },
        [] {}, this);
}

void Lumora_PrstDocFileBrwsVwCtrlr::saveWithName(std::string const& name)
{
    updateOrAlert(docFileManager_->save(name));
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandNewFolder()
{
    askForName(localized("New Folder"), localized("Enter a name for the folder."), "", &Self::acceptNameForNewFolder);
}

void Lumora_PrstDocFileBrwsVwCtrlr::acceptNameForNewFolder(std::string const& name)
{
    updateOrAlert(docFileManager_->makeDirectory(name));
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandRename()
{
    Item const selected = docFileManager_->selectedItem();
    if (!selected)
        return;
    askForNewName(selected.stem(), &Self::acceptNameForRename);
}

void Lumora_PrstDocFileBrwsVwCtrlr::acceptNameForRename(std::string const& name)
{
    updateOrAlert(docFileManager_->rename(name));
}

void Lumora_PrstDocFileBrwsVwCtrlr::actionRenameDirectory(Platform::Control*)
{
    Platform::Button* button = btnDirectoryName();
    askForNewName(button ? button->currentTitle() : docFileManager_->directoryName(), &Self::acceptNameForDirectory);
}

void Lumora_PrstDocFileBrwsVwCtrlr::acceptNameForDirectory(std::string const& name)
{
    updateOrAlert(docFileManager_->renameCurrentDirectory(name));
}

// ---------------------------------------------------------------------------------------------
// Deletion

void Lumora_PrstDocFileBrwsVwCtrlr::commandDelete()
{
    if (selectedRows().size() < 2) {
        deleteSingle();
        return;
    }
    std::weak_ptr<Self> weak = weakSelf<Self>();
    Lumora_Alert::showAlertWithTitle(
        localized("Delete"), localized("These selected items will be deleted immediately.\nAre you sure?"),
        [weak] {
            auto self = weak.lock();
            if (!self)
                return;
            Lumora::PresetDocFileManager& manager = *self->docFileManager_;
            std::vector<Item> doomed;
            for (IndexPath const& row : self->selectedRows())
                if (Item const* item = self->itemAtRow(row.row))
                    doomed.push_back(*item);
            std::string failure;
            for (Item const& item : doomed) {
                manager.select(item);
                if (!manager.remove() && failure.empty())
                    failure = manager.errorMessage();
            }
            self->update();
            // The entries that could not go are still listed; say why.
            if (!failure.empty())
                Lumora_Alert::showAlertWithTitle(localized("ERROR"), failure, nullptr, self.get());
        },
        [] {}, this);
}

void Lumora_PrstDocFileBrwsVwCtrlr::deleteSingle()
{
    Item const selected = docFileManager_->selectedItem();
    if (!selected)
        return;
    std::string const format =
        selected.isDirectory()
            ? localized("This folder will be deleted immediately. Items in the folder are also deleted.\nAre you "
                        "sure?\n\n'%@'")
            : localized("This item will be deleted immediately.\nAre you sure?\n\n'%@'");
    std::weak_ptr<Self> weak = weakSelf<Self>();
    Lumora_Alert::showAlertWithTitle(
        localized("Delete"), PrstDocFileBrws::formatText(format, selected.stem()),
        [weak] {
            auto self = weak.lock();
            if (!self)
                return;
            bool const removed = self->docFileManager_->remove();
            std::string const failure = removed ? std::string() : self->docFileManager_->errorMessage();
            self->update();
            if (!failure.empty())
                Lumora_Alert::showAlertWithTitle(localized("ERROR"), failure, nullptr, self.get());
        },
        [] {}, this);
}

// ---------------------------------------------------------------------------------------------
// Moving, duplicating, sending

bool Lumora_PrstDocFileBrwsVwCtrlr::canMoveToPath(Path const& destination) const
{
    return PrstDocFileBrws::canMoveToPath(destination, selectedEntries());
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandMove(Platform::View* sender)
{
    auto sheet = Platform::AlertController::alertControllerWithTitle("Move", "Please select the destination folder.",
                                                                     Platform::AlertController::Style::ActionSheet);
    std::weak_ptr<Self> weak = weakSelf<Self>();
    bool anyEnabled = false;
    for (auto const& folder : docFileManager_->directoryListUnderUserDirectory()) {
        if (!folder.isDirectory)
            continue;
        Path const destination = folder.fullPath;
        auto action = Platform::AlertAction::actionWithTitle(
            PrstDocFileBrws::moveDestinationTitle(destination, folder.depth), Platform::AlertAction::Style::Default,
            [weak, destination](Platform::AlertAction*) {
                if (auto self = weak.lock())
                    self->commandMoveWithPath(destination);
            });
        bool const enabled = canMoveToPath(destination);
        action->setEnabled(enabled);
        anyEnabled = anyEnabled || enabled;
        sheet->addAction(action);
    }
    if (!anyEnabled) {
        Lumora_Alert::showAlertWithTitle(localized("Move"), localized("A destination folder is required.\n"), nullptr,
                                         this);
        return;
    }
    sheet->setModalPresentationStyle(Platform::ModalPresentationStyle::Popover);
    if (Platform::PopoverPresentationController* popover = sheet->popoverPresentationController()) {
        popover->setSourceView(sender);
        popover->setSourceRect(sender ? sender->bounds() : Platform::Rect());
        popover->setCanOverlapSourceViewRect(true);
        popover->setPermittedArrowDirections(Platform::PopoverArrowDirection::Any);
    }
    presentViewController(sheet, true);
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandMoveWithPath(Path const& destination)
{
    for (Path const& entry : selectedEntries())
        Lumora::filesystem::rename(entry, destination / entry.filename());
    docFileManager_->unselect();
    update();
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandDuplicate()
{
    Path const source = docFileManager_->selectedItem().path();
    auto const target = PrstDocFileBrws::duplicatePath(source);
    if (!target)
        return;
    Lumora::filesystem::copyFile(source, *target);
    update();
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandSend(Platform::View* sender)
{
    Item const selected = docFileManager_->selectedItem();
    Path const source = selected.path();
    if (source.empty())
        return;
    if (Lumora::filesystem::is_directory(source) && Lumora::filesystem::isEmptyDirectory(source)) {
        Lumora_Alert::showAlertWithTitle(localized("Error"), localized("The directory is empty.\n"), nullptr, this);
        return;
    }
    Path const packed = PrstDocFileBrws::packedFilePath(Lumora::filesystem::temporaryPath(), selected.stem(),
                                                        docFileManager_->pack_file_extension());
    if (!docFileManager_->pack(packed)) {
        // Nothing to offer; say why rather than seem to ignore the tap.
        alertDocFileManagerErrorMessage();
        return;
    }
    interactionController_ = Platform::DocumentInteractionController::interactionControllerWithURL(packed.string());
    interactionController_->setDelegate(this);
    interactionController_->presentOptionsMenuFromRect(Platform::Rect(), sender, true);
}

// ---------------------------------------------------------------------------------------------
// New, recall, copy and paste

void Lumora_PrstDocFileBrwsVwCtrlr::commandInitialize()
{
    docFileManager_->initialize();
    canRestore_ = true;
    update();
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandRestore()
{
    docFileManager_->restore();
    canRestore_ = false;
    update();
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandCopy()
{
    if (docFileManager_->copy())
        update();
}

void Lumora_PrstDocFileBrwsVwCtrlr::commandPaste()
{
    if (docFileManager_->paste())
        update();
}

// ---------------------------------------------------------------------------------------------
// Alerts

void Lumora_PrstDocFileBrwsVwCtrlr::alertDocFileManagerErrorMessage()
{
    Lumora_Alert::showAlertWithTitle(localized("ERROR"), docFileManager_->errorMessage(), nullptr, this);
}

void Lumora_PrstDocFileBrwsVwCtrlr::alertInvalidCharForPath()
{
    std::string const message = localized("These characters cannot be used in a folder name.\n") + "\n"
                                + Lumora::FileManager::invalidCharactersForPath();
    Lumora_Alert::showAlertWithTitle(localized("ERROR"), message, nullptr, this);
}

// ---------------------------------------------------------------------------------------------
// Table

int Lumora_PrstDocFileBrwsVwCtrlr::numberOfRowsInSection(TableView*, int)
{
    return static_cast<int>(items_.size());
}

std::shared_ptr<Platform::TableViewCell> Lumora_PrstDocFileBrwsVwCtrlr::cellForRowAtIndexPath(TableView* table,
                                                                                             IndexPath indexPath)
{
    auto cell = table->dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell) {
        cell = std::make_shared<Platform::TableViewCell>(Platform::TableViewCell::Style::Default, cellIdentifier);
        cell->textLabel()->setFont(Platform::Font::systemFont(Platform::Font::systemFontSize()));
    }
    Item const* item = itemAtRow(indexPath.row);
    if (!item)
        return cell;
    Platform::Label* label = cell->textLabel();
    if (item->isDirectory()) {
        label->setTextColor(UIColor_Lumora::lumoraDarkBlueColor());
        cell->setAccessoryType(Platform::TableViewCell::AccessoryType::DisclosureIndicator);
        label->setText(item->name());
    } else if (item->isPreset()) {
        label->setTextColor(Platform::Color::blackColor());
        cell->setAccessoryType(Platform::TableViewCell::AccessoryType::None);
        label->setText(item->stem());
    } else {
        label->setTextColor(UIColor_Lumora::lumoraLightGrayColor());
        cell->setAccessoryType(Platform::TableViewCell::AccessoryType::None);
        label->setText(item->name());
    }
    return cell;
}

bool Lumora_PrstDocFileBrwsVwCtrlr::canEditRowAtIndexPath(TableView*, IndexPath indexPath)
{
    Item const* item = itemAtRow(indexPath.row);
    return item && item->canRemove();
}

void Lumora_PrstDocFileBrwsVwCtrlr::commitEditingStyle(TableView*, int style, IndexPath indexPath)
{
    constexpr int deleteStyle = 1;
    Item const* item = itemAtRow(indexPath.row);
    if (style != deleteStyle || !item)
        return;
    docFileManager_->select(*item);
    commandDelete();
}

void Lumora_PrstDocFileBrwsVwCtrlr::didSelectRowAtIndexPath(TableView*, IndexPath indexPath)
{
    Item const* row = itemAtRow(indexPath.row);
    if (!row)
        return;
    Item const item = *row;
    docFileManager_->select(item);
    if (isAlt()) {
        updateButtons();
        return;
    }
    if (item.isDirectory()) {
        docFileManager_->changeDirectoryToSubDirectory(item.stem());
        update();
        return;
    }
    if (item.isPreset()) {
        docFileManager_->load();
        // Whatever the load did, the state before it can be recalled.
        canRestore_ = true;
    }
    updateButtons();
}

void Lumora_PrstDocFileBrwsVwCtrlr::didDeselectRowAtIndexPath(TableView*, IndexPath)
{
    if (!isAlt())
        return;
    auto const rows = selectedRows();
    if (rows.empty()) {
        docFileManager_->unselect();
    } else if (rows.size() == 1) {
        if (Item const* item = itemAtRow(rows.front().row))
            docFileManager_->select(*item);
    }
    updateButtons();
}

// ---------------------------------------------------------------------------------------------
// Preview of a sent file

Platform::ViewController* Lumora_PrstDocFileBrwsVwCtrlr::documentInteractionControllerViewControllerForPreview(
    Platform::DocumentInteractionController*)
{
    return this;
}

Platform::View* Lumora_PrstDocFileBrwsVwCtrlr::documentInteractionControllerViewForPreview(
    Platform::DocumentInteractionController*)
{
    return view();
}

Platform::Rect Lumora_PrstDocFileBrwsVwCtrlr::documentInteractionControllerRectForPreview(
    Platform::DocumentInteractionController*)
{
    return view()->frame();
}
