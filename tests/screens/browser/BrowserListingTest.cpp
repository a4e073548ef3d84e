#include "controls/categories/UIColor_Lumora.h"
#include "controls/painter/Lumora_Painter.h"
#include "platform/ui/KeyboardInput.h"
#include "platform/ui/Nib.h"

#include "tests/screens/browser/BrowserTestSupport.h"

#include <gtest/gtest.h>

using namespace BrowserTest;
using Platform::TableViewCell;
using Strings = std::vector<std::string>;

namespace {

class BrowserListing : public BrowserRig {};

} // namespace

TEST_F(BrowserListing, NeedsAManagerAndLoadsItsInterfaceFile)
{
    EXPECT_EQ(Lumora_PrstDocFileBrwsVwCtrlr::create(nullptr, false, true), nullptr);
    EXPECT_EQ(Platform::newObject<Lumora_PrstDocFileBrwsVwCtrlr>(), nullptr) << "the plain initialiser answers nil";
    open();
    EXPECT_TRUE(Platform::Nib::isRegistered("PrstDocFileBrwsVwCtrlr"));
    EXPECT_FALSE(browser->isPlugin());
    EXPECT_TRUE(browser->closeButton());
    EXPECT_EQ(browser->docFileManager(), manager.get());
    ASSERT_NE(browser->tableView(), nullptr);
    EXPECT_EQ(browser->tableView()->dataSource(), browser.get());
    EXPECT_EQ(browser->tableView()->delegate(), browser.get());
    for (int n = 1; n <= 5; ++n)
        EXPECT_NE(browser->btnFn(n), nullptr);
    EXPECT_EQ(browser->view()->frame(), Platform::Rect(0, 0, 400, 540));
    EXPECT_EQ(browser->btnClose()->imageName(), "Close");
    EXPECT_EQ(browser->btnGoBack()->imageName(), "GoBack");
    EXPECT_EQ(browser->btnAlt()->imageName(), "Alt");
}

TEST_F(BrowserListing, LoadingTheViewSetsItUpAndTakesABackup)
{
    serializer.state = "before";
    open();
    EXPECT_EQ(browser->toolBar()->backgroundColor(), Lumora_Painter::sharedInstance()->popoverHeaderColor());
    EXPECT_EQ(browser->tableView()->backgroundColor(), Platform::Color::whiteColor());
    EXPECT_EQ(browser->btnDirectoryName()->titleColorForState(Platform::ControlState::Disabled),
              Platform::Color::blackColor());
    EXPECT_FALSE(browser->isAlt());
    EXPECT_FALSE(browser->tableView()->allowsMultipleSelection());
    EXPECT_FALSE(browser->canRestore());
    EXPECT_TRUE(manager->canRestore());
    if (auto tint = Lumora_Painter::sharedInstance()->tintColor()) {
        EXPECT_EQ(browser->btnFn(3)->tintColor(), *tint);
    }
    EXPECT_FALSE(browser->btnClose()->isHidden());
    EXPECT_GT(browser->btnClose()->frame().width(), 0);

    // The state found at loading is what Recall brings back.
    serializer.state = "changed";
    manager->restore();
    EXPECT_EQ(serializer.state, "before");
}

TEST_F(BrowserListing, WithoutCloseButtonTheToolBarClosesTheGap)
{
    open(false);
    EXPECT_FALSE(browser->closeButton());
    EXPECT_TRUE(browser->btnClose()->isHidden());
    ASSERT_NE(browser->closeBtnLayout(), nullptr);
    EXPECT_EQ(browser->closeBtnLayout()->constant(), 0);
    EXPECT_EQ(browser->btnGoBack()->frame().minX(), 4) << "the back button takes the close button's place";
}

TEST_F(BrowserListing, TheVirtualTopListsTheTreesAndEntersOneOnATap)
{
    open();
    EXPECT_EQ(rows(), (Strings{"Factory", "User", "Program"}));
    EXPECT_EQ(browser->btnDirectoryName()->currentTitle(), "Sound Presets");
    EXPECT_FALSE(browser->btnDirectoryName()->isEnabled());
    EXPECT_FALSE(browser->btnGoBack()->isEnabled());
    EXPECT_EQ(functionIcons(), (Strings{"", "NewFolder", "SaveFile", "NewFile", "Recall"}));
    EXPECT_EQ(functionStates(), "-0010") << "New Folder and Save off, New on, Recall off";
    TableViewCell* factoryRow = cell("Factory");
    EXPECT_EQ(factoryRow->textLabel()->text(), "Factory");
    EXPECT_EQ(factoryRow->accessoryType(), TableViewCell::AccessoryType::DisclosureIndicator);
    EXPECT_EQ(factoryRow->textLabel()->textColor(), UIColor_Lumora::lumoraDarkBlueColor());
    EXPECT_EQ(factoryRow->reuseIdentifier(), "FileManagerCell");

    tapRow("User");
    EXPECT_EQ(manager->currentDirectory(), "User:.");
    EXPECT_EQ(rows(), (Strings{"Empty", "Pads", "Broken.corvane_snd", "Lead.corvane_snd", "Pad.corvane_snd", "notes.txt"}));
    EXPECT_EQ(browser->btnDirectoryName()->currentTitle(), "User");
    EXPECT_TRUE(browser->btnGoBack()->isEnabled());
    EXPECT_EQ(functionStates(), "-1110");
    EXPECT_TRUE(selectedRows().empty());

    tapGoBack();
    EXPECT_EQ(rows(), (Strings{"Factory", "User", "Program"}));
    EXPECT_FALSE(browser->btnGoBack()->isEnabled());
}

TEST_F(BrowserListing, RowsShowFoldersPresetsAndOtherFilesApart)
{
    openInUser();
    TableViewCell* folder = cell("Pads");
    EXPECT_EQ(folder->textLabel()->text(), "Pads");
    EXPECT_EQ(folder->accessoryType(), TableViewCell::AccessoryType::DisclosureIndicator);
    EXPECT_EQ(folder->textLabel()->textColor(), UIColor_Lumora::lumoraDarkBlueColor());
    TableViewCell* preset = cell("Pad.corvane_snd");
    EXPECT_EQ(preset->textLabel()->text(), "Pad") << "presets show their stem";
    EXPECT_EQ(preset->accessoryType(), TableViewCell::AccessoryType::None);
    EXPECT_EQ(preset->textLabel()->textColor(), Platform::Color::blackColor());
    EXPECT_EQ(preset->textLabel()->font().pointSize(), Platform::Font::systemFontSize());
    TableViewCell* other = cell("notes.txt");
    EXPECT_EQ(other->textLabel()->text(), "notes.txt");
    EXPECT_EQ(other->textLabel()->textColor(), UIColor_Lumora::lumoraLightGrayColor());
    EXPECT_EQ(other->accessoryType(), TableViewCell::AccessoryType::None);
}

TEST_F(BrowserListing, TappingAPresetLoadsItAndOffersRecall)
{
    serializer.state = "mine";
    openInUser();
    tapRow("Pad.corvane_snd");
    EXPECT_EQ(serializer.state, "pad") << "the engine read the document";
    EXPECT_EQ(serializer.deserializeCalls, 1);
    EXPECT_EQ(manager->presetName(), "Pad");
    EXPECT_EQ(selectedRows(), (Strings{"Pad.corvane_snd"})) << "the loaded preset's row stays selected";
    EXPECT_TRUE(browser->canRestore());
    EXPECT_EQ(functionStates(), "-1111");

    // Recall brings back the state the browser found, once.
    tapFn(5);
    EXPECT_EQ(serializer.state, "mine");
    EXPECT_FALSE(browser->canRestore());
    EXPECT_EQ(functionStates(), "-1110");
}

TEST_F(BrowserListing, APresetThatFailsToLoadStillOffersRecall)
{
    openInUser();
    tapRow("Broken.corvane_snd");
    EXPECT_EQ(serializer.deserializeCalls, 1);
    EXPECT_EQ(serializer.state, "default");
    EXPECT_TRUE(browser->canRestore());
    EXPECT_EQ(browser->btnFn(5)->isEnabled(), true);
    tapFn(5);
    EXPECT_FALSE(browser->btnFn(5)->isEnabled());
}

TEST_F(BrowserListing, NewStartsAFreshDocumentThatRecallUndoes)
{
    serializer.state = "mine";
    openInUser();
    tapFn(4);
    EXPECT_EQ(serializer.state, "default");
    EXPECT_EQ(manager->presetName(), "initialized");
    EXPECT_TRUE(browser->btnFn(5)->isEnabled());
    tapFn(5);
    EXPECT_EQ(serializer.state, "mine");
}

TEST_F(BrowserListing, OtherFilesOnlyBecomeTheSelection)
{
    openInUser();
    tapRow("notes.txt");
    EXPECT_EQ(serializer.deserializeCalls, 0);
    EXPECT_EQ(manager->selectedItem().name(), "notes.txt");
    EXPECT_FALSE(browser->canRestore());
}

TEST_F(BrowserListing, ButtonsFollowThePlace)
{
    open();
    // Virtual top, Alt mode: every command off whichever tree is selected.
    tapAlt();
    EXPECT_EQ(functionIcons(), (Strings{"Rename", "Send", "Duplicate", "Move", "Delete"}));
    for (char const* root : {"Factory", "User", "Program"}) {
        tapRow(root);
        EXPECT_EQ(functionStates(), "00000") << root;
        tapRow(root);
    }
    tapAlt();

    // Factory: read-only, but presets and folders can be sent.
    tapRow("Factory");
    EXPECT_EQ(functionStates(), "-0010");
    EXPECT_TRUE(browser->btnGoBack()->isEnabled()) << "back to the virtual top";
    EXPECT_FALSE(browser->btnDirectoryName()->isEnabled());
    tapAlt();
    tapRow("Warm.corvane_snd");
    EXPECT_EQ(functionStates(), "01000");
    tapRow("Warm.corvane_snd");
    tapRow("Pads");
    EXPECT_EQ(functionStates(), "01000");
    tapAlt();
    tapRow("Pads");
    EXPECT_EQ(browser->btnDirectoryName()->currentTitle(), "Pads");
    EXPECT_TRUE(browser->btnDirectoryName()->isEnabled()) << "below the top the folder takes a new name";
    tapGoBack();
    tapGoBack();

    // User: everything for presets and folders, no Send for other files.
    tapRow("User");
    tapAlt();
    tapRow("Pad.corvane_snd");
    EXPECT_EQ(functionStates(), "11111");
    tapRow("Pad.corvane_snd");
    EXPECT_EQ(functionStates(), "00000");
    tapRow("notes.txt");
    EXPECT_EQ(functionStates(), "10111");
    tapAlt();
    tapGoBack();

    // Program: flat, saving allowed, no folders.
    tapRow("Program");
    EXPECT_EQ(functionStates(), "-0110");
    EXPECT_FALSE(browser->btnDirectoryName()->isEnabled());
    tapAlt();
    tapRow("P1.corvane_snd");
    EXPECT_EQ(functionStates(), "11111");
}

TEST_F(BrowserListing, ASoleUserTreeIsTheHome)
{
    open(true, true);
    EXPECT_EQ(rows().front(), "Empty");
    EXPECT_EQ(browser->btnDirectoryName()->currentTitle(), "Sound Presets");
    EXPECT_FALSE(browser->btnGoBack()->isEnabled());
    tapRow("Pads");
    EXPECT_EQ(browser->btnDirectoryName()->currentTitle(), "Pads");
    EXPECT_TRUE(browser->btnGoBack()->isEnabled());
    tapGoBack();
    EXPECT_FALSE(browser->btnGoBack()->isEnabled());
}

TEST_F(BrowserListing, AltModeSelectionRules)
{
    openInUser();
    tapRow("Pad.corvane_snd");
    tapAlt();
    EXPECT_TRUE(browser->tableView()->allowsMultipleSelection());
    EXPECT_EQ(selectedRows(), (Strings{"Pad.corvane_snd"})) << "entering Alt mode keeps the selection";

    tapRow("Lead.corvane_snd");
    tapRow("Pads");
    EXPECT_EQ(selectedRows(), (Strings{"Pads", "Lead.corvane_snd", "Pad.corvane_snd"}));
    EXPECT_EQ(serializer.deserializeCalls, 1) << "Alt mode loads nothing";
    EXPECT_EQ(manager->currentDirectory(), "User:.") << "and enters no folder";
    EXPECT_EQ(manager->selectedItem().name(), "Pads");
    EXPECT_EQ(functionStates(), "00011") << "Move and Delete whatever the number of rows";

    // Deselecting one of three leaves the manager's selection, even when it was that row.
    tapRow("Pads");
    EXPECT_EQ(manager->selectedItem().name(), "Pads");
    EXPECT_EQ(functionStates(), "00011");
    // With one row left, it becomes the selection.
    tapRow("Lead.corvane_snd");
    EXPECT_EQ(manager->selectedItem().name(), "Pad.corvane_snd");
    EXPECT_EQ(functionStates(), "11111");
    tapRow("Pad.corvane_snd");
    EXPECT_FALSE(manager->selectedItem());

    // Leaving Alt mode with three rows deselects them all and clears the manager's selection.
    tapRow("Pad.corvane_snd");
    tapRow("Lead.corvane_snd");
    tapRow("Empty");
    tapAlt();
    EXPECT_FALSE(browser->isAlt());
    EXPECT_TRUE(selectedRows().empty());
    EXPECT_FALSE(manager->selectedItem());
    EXPECT_FALSE(browser->tableView()->allowsMultipleSelection());
    EXPECT_EQ(functionIcons()[0], "");
}

TEST_F(BrowserListing, HoldingTheAltKeyHoldsAltMode)
{
    openInUser();
    Platform::KeyboardInput keyboard(*window);
    struct ReleaseAtEnd {
        Platform::KeyboardInput& keys;
        ~ReleaseAtEnd() { keys.setAltDown(false); }
    } releaseAtEnd{keyboard};

    tapRow("Pad.corvane_snd");
    keyboard.setAltDown(true);
    EXPECT_TRUE(browser->isAlt());
    EXPECT_TRUE(browser->tableView()->allowsMultipleSelection());
    EXPECT_EQ(selectedRows(), (Strings{"Pad.corvane_snd"})) << "the key keeps the selection as the button does";
    tapRow("Lead.corvane_snd");
    EXPECT_EQ(serializer.deserializeCalls, 1) << "a row tapped with Alt held loads nothing";
    keyboard.setAltDown(false);
    EXPECT_FALSE(browser->isAlt());
    EXPECT_TRUE(selectedRows().empty());
    EXPECT_FALSE(manager->selectedItem());

    // Alt mode chosen with the button outlives a press and release of the key.
    tapAlt();
    keyboard.setAltDown(true);
    keyboard.setAltDown(false);
    EXPECT_TRUE(browser->isAlt());
    // The button leaves it even while the key is held; the release then changes nothing.
    keyboard.setAltDown(true);
    tapAlt();
    keyboard.setAltDown(false);
    EXPECT_FALSE(browser->isAlt());

    // A prompt opened with the key held keeps the mode, and so its selection, when the key is
    // let go; a press under a prompt does not switch the mode either.
    tapRow("Pad.corvane_snd");
    keyboard.setAltDown(true);
    tapRow("Lead.corvane_snd");
    tapRow("Pad.corvane_snd");
    tapFn(1);
    ASSERT_NE(alert(), nullptr);
    keyboard.setAltDown(false);
    EXPECT_TRUE(browser->isAlt());
    enterName("Solo");
    EXPECT_TRUE(bfs::exists(user / "Solo.corvane_snd"));
    tapAlt();
    tapFn(2);  // New Folder
    ASSERT_NE(alert(), nullptr);
    keyboard.setAltDown(true);
    EXPECT_FALSE(browser->isAlt());
    choose("Cancel");
    keyboard.setAltDown(false);

    // Off screen the key is not followed.
    window->setRootViewController(Platform::newObject<Platform::ViewController>());
    keyboard.setAltDown(true);
    EXPECT_FALSE(browser->isAlt());
}

TEST_F(BrowserListing, ThePlaceAndSelectionOutliveTheBrowser)
{
    openInUser();
    tapRow("Pads");
    tapRow("Soft.corvane_snd");
    browser.reset();
    window.reset();
    open();
    EXPECT_EQ(browser->btnDirectoryName()->currentTitle(), "Pads");
    EXPECT_EQ(selectedRows(), (Strings{"Soft.corvane_snd"}));
}

TEST_F(BrowserListing, CloseDismissesThePresentedBrowser)
{
    manager = std::make_unique<Lumora::PresetDocFileManager>(config(), nullptr);
    window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 800, 600));
    auto host = Platform::newObject<Platform::ViewController>();
    window->setRootViewController(host);
    browser = Lumora_PrstDocFileBrwsVwCtrlr::create(manager.get(), false, true);
    host->presentViewController(browser, true);
    EXPECT_EQ(host->presentedViewController(), browser.get());
    browser->btnClose()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    EXPECT_EQ(host->presentedViewController(), nullptr);
}
