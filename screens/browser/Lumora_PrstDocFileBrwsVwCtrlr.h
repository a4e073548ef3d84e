#pragma once

#include "engine/documents/PresetDocFileManager.h"
#include "platform/ui/DocumentInteractionController.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WeakRef.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Lumora_CmndButton;

namespace Platform {
class Button;
class Control;
}

// The screen through which the user lists, recalls, saves and organizes the documents of one
// kind (sound presets, MIDI mappings, arpeggiator patterns, micro-tunings). It is a table over one
// document manager under a tool bar of command buttons: the manager does every file operation;
// the browser decides which commands are offered in which state, asks for names and
// confirmations and shows the manager's messages. Tapping a preset recalls it at once.
//
// In Alt (edit) mode, the selected state of the Alt button, the table takes several rows and the
// function buttons rename, send, duplicate, move and delete; otherwise they make folders, save,
// start a new document and recall the state the browser found when its view loaded. While the
// browser is on screen, holding the keyboard's Alt key holds Alt mode: a press enters it and the
// release leaves it again, unless the button had already chosen it.
class Lumora_PrstDocFileBrwsVwCtrlr : public Platform::ViewController,
                                      public Platform::TableViewDataSource,
                                      public Platform::TableViewDelegate,
                                      public Platform::DocumentInteractionControllerDelegate {
public:
    using Item = Lumora::PresetDocFileManager::Item;

    static constexpr char const* nibName = "PrstDocFileBrwsVwCtrlr";
    static constexpr char const* cellIdentifier = "FileManagerCell";

    // A browser over the manager (not owned: the engine owns every manager and outlives every
    // screen), with or without its close button; none without a manager.
    static std::shared_ptr<Lumora_PrstDocFileBrwsVwCtrlr> create(Lumora::PresetDocFileManager* manager, bool isPlugin,
                                                                 bool closeButton);
    ~Lumora_PrstDocFileBrwsVwCtrlr() override;

    // The plain initialiser answers nil: a browser needs its manager.
    bool init() override { return false; }
    // Loads the interface file "PrstDocFileBrwsVwCtrlr" and keeps the three values.
    bool initWithPresetDocFileManager(Lumora::PresetDocFileManager* manager, bool isPlugin, bool closeButton);

    bool isPlugin() const { return isPlugin_; }
    bool closeButton() const { return closeButton_; }
    bool canRestore() const { return canRestore_; }
    void setCanRestore(bool canRestore) { canRestore_ = canRestore; }
    Lumora::PresetDocFileManager* docFileManager() const { return docFileManager_; }
    std::shared_ptr<Platform::DocumentInteractionController> const& interactionController() const
    {
        return interactionController_;
    }
    std::vector<Item> const& items() const { return items_; }

    // Outlets, connected by the interface file.
    Platform::TableView* tableView() const { return tableView_.get(); }
    Platform::View* toolBar() const { return toolBar_.get(); }
    Platform::Button* btnDirectoryName() const { return btnDirectoryName_.get(); }
    Lumora_CmndButton* btnClose() const { return btnClose_.get(); }
    Lumora_CmndButton* btnGoBack() const { return btnGoBack_.get(); }
    Lumora_CmndButton* btnAlt() const { return btnAlt_.get(); }
    // Fn1 ... Fn5 by number 1 ... 5.
    Lumora_CmndButton* btnFn(int number) const;
    Platform::LayoutConstraint* closeBtnLayout() const { return closeBtnLayout_.get(); }

    struct Outlets {
        Platform::TableView* tableView = nullptr;
        Platform::View* toolBar = nullptr;
        Platform::Button* btnDirectoryName = nullptr;
        Lumora_CmndButton* btnClose = nullptr;
        Lumora_CmndButton* btnGoBack = nullptr;
        Lumora_CmndButton* btnAlt = nullptr;
        Lumora_CmndButton* btnFn[5] = {};
        Platform::LayoutConstraint* closeBtnLayout = nullptr;
    };
    // The interface file's connection of the outlets.
    void connectOutlets(Outlets const& outlets);

    void viewDidLoad() override;
    // The Alt key is followed only while the browser is on screen.
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    // Lays the tool bar and the table out in the root view (the interface file's relations are
    // not solved by the platform layer): tool bar rows on top, the table below.
    void viewWillLayoutSubviews() override;

    // Lists the manager's current place again and shows its selection and the buttons for it.
    void update();
    void updateButtons();
    void selectTableRowByDocFileManagerSelection();
    bool isAlt() const;

    // Actions of the interface file.
    void actionFn1(Platform::Control* sender);
    void actionFn2(Platform::Control* sender);
    void actionFn3(Platform::Control* sender);
    void actionFn4(Platform::Control* sender);
    void actionFn5(Platform::Control* sender);
    void actionAlt(Platform::Control* sender);
    void actionClose(Platform::Control* sender);
    void actionGoBack(Platform::Control* sender);
    void actionRenameDirectory(Platform::Control* sender);

    // Commands.
    void commandSave();
    void commandNewFolder();
    void commandRename();
    void saveConfirmSameName(std::string const& name);
    void saveWithName(std::string const& name);
    void commandDelete();
    void deleteSingle();
    void commandMove(Platform::View* sender);
    bool canMoveToPath(Lumora::PresetDocFileManager::path const& destination) const;
    void commandMoveWithPath(Lumora::PresetDocFileManager::path const& destination);
    void commandDuplicate();
    void commandSend(Platform::View* sender);
    void commandInitialize();
    void commandRestore();
    void commandCopy();
    void commandPaste();
    void alertDocFileManagerErrorMessage();
    void alertInvalidCharForPath();

    // Table.
    int numberOfRowsInSection(Platform::TableView* tableView, int section) override;
    std::shared_ptr<Platform::TableViewCell> cellForRowAtIndexPath(Platform::TableView* tableView,
                                                                   Platform::IndexPath indexPath) override;
    bool canEditRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath) override;
    void commitEditingStyle(Platform::TableView* tableView, int style, Platform::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath) override;
    void didDeselectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath) override;

    // The platform's preview of a sent file is shown by the browser, over its whole view.
    Platform::ViewController* documentInteractionControllerViewControllerForPreview(
        Platform::DocumentInteractionController* controller);
    Platform::View* documentInteractionControllerViewForPreview(Platform::DocumentInteractionController* controller);
    Platform::Rect documentInteractionControllerRectForPreview(Platform::DocumentInteractionController* controller);

    // The translation of a text of this screen from the main bundle's strings.
    static std::string localized(std::string const& text);

private:
    // The name-entry alert's common "OK" path: trim, ignore an empty name, refuse invalid
    // characters, else run the manager call, refreshing on success and showing its message on
    // failure.
    void askForName(std::string const& title, std::string const& message, std::string const& defaultText,
                    void (Lumora_PrstDocFileBrwsVwCtrlr::*accept)(std::string const& name));
    void acceptNameForSave(std::string const& name);
    void acceptNameForNewFolder(std::string const& name);
    void acceptNameForRename(std::string const& name);
    void acceptNameForDirectory(std::string const& name);
    // Asks for a new name of the entry or folder now called current.
    void askForNewName(std::string const& current, void (Lumora_PrstDocFileBrwsVwCtrlr::*accept)(std::string const&));
    // After a change of the manager's files: the new listing, or why the change failed.
    void updateOrAlert(bool succeeded);
    void runFunction(int number, Platform::Control* sender);
    void followAltKey(bool follow);
    void altKeyDidChange();
    std::vector<Platform::IndexPath> selectedRows() const;
    std::vector<Lumora::PresetDocFileManager::path> selectedEntries() const;
    Item const* itemAtRow(int row) const;

    std::vector<Item> items_;
    bool isPlugin_ = false;
    bool closeButton_ = false;
    bool canRestore_ = false;
    std::shared_ptr<Platform::DocumentInteractionController> interactionController_;
    Lumora::PresetDocFileManager* docFileManager_ = nullptr;
    // 0 while the Alt key is not followed.
    std::uint64_t altKeyObserver_ = 0;
    // Alt mode was entered by the key and ends with its release.
    bool altHeldByKey_ = false;

    Platform::WeakRef<Platform::TableView> tableView_;
    Platform::WeakRef<Platform::View> toolBar_;
    Platform::WeakRef<Platform::Button> btnDirectoryName_;
    Platform::WeakRef<Lumora_CmndButton> btnClose_;
    Platform::WeakRef<Lumora_CmndButton> btnGoBack_;
    Platform::WeakRef<Lumora_CmndButton> btnAlt_;
    Platform::WeakRef<Lumora_CmndButton> btnFn_[5];
    Platform::WeakRef<Platform::LayoutConstraint> closeBtnLayout_;
};

// Registers the builder of the interface file "PrstDocFileBrwsVwCtrlr" in the nib registry (once;
// creating a browser does it too).
void registerPrstDocFileBrwsVwCtrlrNib();
