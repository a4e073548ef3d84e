#include "platform/graphics/Image.h"
#include "platform/ui/PopoverPresentationController.h"

#include "tests/screens/browser/BrowserTestSupport.h"

#include <boost/filesystem.hpp>

#include <gtest/gtest.h>

using namespace BrowserTest;
using Strings = std::vector<std::string>;

namespace {

class BrowserCommands : public BrowserRig {
protected:
    std::string const invalidCharacters = "\\/:*?\"'<>|";
    std::string const invalidMessage =
        "ERROR | These characters cannot be used in a folder name.\n\n" + invalidCharacters;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Names

TEST_F(BrowserCommands, SaveAsksForANameAndWritesTheEngineState)
{
    serializer.state = "my sound";
    openInUser();
    manager->setPresetName("Init Pad");
    tapFn(3);
    EXPECT_EQ(alertText(), "Save | Enter a name for the sound presets data.");
    EXPECT_EQ(alert()->textFields()[0]->text(), "Init Pad") << "the preset name is offered";
    enterName("  Fresh\t");
    EXPECT_EQ(alert(), nullptr);
    EXPECT_EQ(readFile(user / "Fresh.corvane_snd"), "state:my sound");
    EXPECT_EQ(manager->presetName(), "Fresh");
    EXPECT_EQ(selectedRows(), (Strings{"Fresh.corvane_snd"})) << "the new document is listed and selected";
}

TEST_F(BrowserCommands, SavingOverAnExistingDocumentAsksFirst)
{
    serializer.state = "new";
    openInUser();
    tapFn(3);
    enterName("Pad");
    EXPECT_EQ(alertText(), "Confirmation | 'Pad' already exists. Are you sure you want to overwrite it?");
    choose("Cancel");
    EXPECT_EQ(readFile(user / "Pad.corvane_snd"), "state:pad") << "Cancel leaves the document as it was";
    EXPECT_EQ(alert(), nullptr);

    tapFn(3);
    enterName("Pad");
    choose("OK");
    EXPECT_EQ(readFile(user / "Pad.corvane_snd"), "state:new");
}

TEST_F(BrowserCommands, EmptyAndInvalidNamesCallNothing)
{
    openInUser();
    auto const before = entries(user);
    int const serializations = serializer.serializeCalls;

    tapFn(3);
    enterName("   ");
    EXPECT_EQ(alert(), nullptr) << "an empty name does nothing, without a message";

    for (std::string const& hostile : {std::string("../escape"), std::string("a/b"), std::string("x:y"),
                                       std::string("line\nbreak")}) {
        tapFn(3);
        enterName(hostile);
        EXPECT_EQ(alertText(), invalidMessage) << hostile;
        choose("OK");
    }
    tapFn(2);
    enterName("new/folder");
    EXPECT_EQ(alertText(), invalidMessage);
    choose("OK");
    EXPECT_EQ(entries(user), before);
    EXPECT_EQ(serializer.serializeCalls, serializations) << "the manager was never asked";
    EXPECT_FALSE(bfs::exists(tree / "escape.corvane_snd"));
}

TEST_F(BrowserCommands, NamesTheManagerRefusesShowItsMessageAndWriteNothing)
{
    openInUser();
    auto const before = entries(user);
    tapFn(2);
    EXPECT_EQ(alertText(), "New Folder | Enter a name for the folder.");
    EXPECT_EQ(alert()->textFields()[0]->text(), "");
    enterName("..");
    EXPECT_EQ(alertText(), "ERROR | " + manager->errorMessage());
    EXPECT_FALSE(manager->errorMessage().empty());
    choose("OK");

    tapFn(2);
    enterName("Pads");
    EXPECT_EQ(alertText(), "ERROR | There is a directory with the same name.");
    choose("OK");
    EXPECT_EQ(entries(user), before);
}

TEST_F(BrowserCommands, NewFolderIsMadeAndListed)
{
    openInUser();
    tapFn(2);
    enterName("Basses");
    EXPECT_TRUE(bfs::is_directory(user / "Basses"));
    EXPECT_EQ(rows().front(), "Basses");
}

TEST_F(BrowserCommands, AFailedSaveShowsTheMessage)
{
    // A folder holds the document's name: the question comes, then the write fails.
    bfs::create_directories(user / "Taken.corvane_snd");
    openInUser();
    tapFn(3);
    enterName("Taken");
    EXPECT_EQ(alertText(), "Confirmation | 'Taken' already exists. Are you sure you want to overwrite it?");
    choose("OK");
    EXPECT_EQ(alertText(), "ERROR | Failed to save.");
    choose("OK");
    EXPECT_TRUE(bfs::is_directory(user / "Taken.corvane_snd"));
    EXPECT_TRUE(bfs::is_empty(user / "Taken.corvane_snd"));
}

TEST_F(BrowserCommands, RenameOfAnEntry)
{
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapFn(1);
    EXPECT_EQ(alertText(), "Rename 'Pad' | Enter a new name for the 'Pad'.");
    EXPECT_EQ(alert()->textFields()[0]->text(), "Pad");
    enterName("Big Pad");
    EXPECT_EQ(alert(), nullptr);
    EXPECT_TRUE(bfs::exists(user / "Big Pad.corvane_snd")) << "a preset keeps its file type";
    EXPECT_FALSE(bfs::exists(user / "Pad.corvane_snd"));

    // A name that is taken: the manager's message, nothing renamed.
    EXPECT_EQ(selectedRows(), (Strings{"Big Pad.corvane_snd"})) << "the renamed entry stays selected";
    tapFn(1);
    enterName("Lead");
    EXPECT_EQ(alertText(), "ERROR | Failed to rename file (or directory).");
    choose("OK");
    EXPECT_EQ(readFile(user / "Lead.corvane_snd"), "state:lead");
    EXPECT_TRUE(bfs::exists(user / "Big Pad.corvane_snd"));
}

TEST_F(BrowserCommands, RenameOfTheCurrentFolderFromItsTitle)
{
    openInUser();
    tapRow("Pads");
    tapDirectoryName();
    EXPECT_EQ(alertText(), "Rename 'Pads' | Enter a new name for the 'Pads'.");
    EXPECT_EQ(alert()->textFields()[0]->text(), "Pads");
    enterName("Strings");
    EXPECT_TRUE(bfs::is_directory(user / "Strings"));
    EXPECT_EQ(browser->btnDirectoryName()->currentTitle(), "Strings");

    bfs::create_directories(user / "Taken");
    tapDirectoryName();
    enterName("Taken");
    EXPECT_EQ(alertText(), "ERROR | There is a directory with the same name.");
    choose("OK");
    EXPECT_TRUE(bfs::is_directory(user / "Strings"));
}

// ---------------------------------------------------------------------------------------------
// Deletion

TEST_F(BrowserCommands, DeleteAsksAndOnlyOkDeletes)
{
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapFn(5);
    EXPECT_EQ(alertText(), "Delete | This item will be deleted immediately.\nAre you sure?\n\n'Pad'");
    choose("Cancel");
    EXPECT_TRUE(bfs::exists(user / "Pad.corvane_snd"));

    tapFn(5);
    choose("OK");
    EXPECT_FALSE(bfs::exists(user / "Pad.corvane_snd"));
    EXPECT_EQ(rowOf("Lead.corvane_snd"), 3);
    EXPECT_TRUE(selectedRows().empty());
    EXPECT_FALSE(manager->selectedItem());

    tapRow("Pads");
    tapFn(5);
    EXPECT_EQ(alertText(),
              "Delete | This folder will be deleted immediately. Items in the folder are also deleted.\nAre you "
              "sure?\n\n'Pads'");
    choose("OK");
    EXPECT_FALSE(bfs::exists(user / "Pads"));
}

TEST_F(BrowserCommands, DeletingSeveralRows)
{
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapRow("Lead.corvane_snd");
    tapRow("Empty");
    tapFn(5);
    EXPECT_EQ(alertText(), "Delete | These selected items will be deleted immediately.\nAre you sure?");
    choose("OK");
    EXPECT_EQ(entries(user), (Strings{"Broken.corvane_snd", "Pads", "notes.txt"}));
    EXPECT_TRUE(selectedRows().empty());
}

TEST_F(BrowserCommands, SwipeDelete)
{
    openInUser();
    auto* table = browser->tableView();
    auto row = [&](char const* name) { return Platform::IndexPath::forRow(rowOf(name), 0); };
    EXPECT_TRUE(browser->canEditRowAtIndexPath(table, row("notes.txt")));

    // Normal mode: the swiped row, whatever row is selected.
    tapRow("Lead.corvane_snd");
    EXPECT_TRUE(table->deleteRowByUser(row("notes.txt")));
    EXPECT_EQ(alertText(), "Delete | This item will be deleted immediately.\nAre you sure?\n\n'notes'");
    choose("OK");
    EXPECT_FALSE(bfs::exists(user / "notes.txt"));
    EXPECT_TRUE(bfs::exists(user / "Lead.corvane_snd"));

    // Alt mode with two rows selected: the selected rows, after the question for several.
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapRow("Lead.corvane_snd");
    EXPECT_TRUE(table->deleteRowByUser(row("Broken.corvane_snd")));
    EXPECT_EQ(alertText(), "Delete | These selected items will be deleted immediately.\nAre you sure?");
    choose("OK");
    EXPECT_EQ(entries(user), (Strings{"Broken.corvane_snd", "Empty", "Pads"}));

    // Factory entries cannot be swiped away.
    tapAlt();
    tapGoBack();
    tapRow("Factory");
    EXPECT_FALSE(browser->canEditRowAtIndexPath(table, row("Warm.corvane_snd")));
    EXPECT_FALSE(table->deleteRowByUser(row("Warm.corvane_snd")));
    EXPECT_EQ(alert(), nullptr);
}

TEST_F(BrowserCommands, AFailedDeleteSaysSo)
{
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapFn(5);
    // Another program takes the document away while the question is shown.
    bfs::remove(user / "Pad.corvane_snd");
    choose("OK");
    EXPECT_EQ(alertText(), "ERROR | The selected file (or directory) can not be deleted.");
    choose("OK");
    EXPECT_EQ(rows(), (Strings{"Empty", "Pads", "Broken.corvane_snd", "Lead.corvane_snd", "notes.txt"}));

    // Several rows: the ones that can go do, the message tells of the others.
    tapRow("Lead.corvane_snd");
    tapRow("notes.txt");
    tapFn(5);
    bfs::remove(user / "notes.txt");
    choose("OK");
    EXPECT_EQ(alertText(), "ERROR | The selected file (or directory) can not be deleted.");
    EXPECT_FALSE(bfs::exists(user / "Lead.corvane_snd"));
}

// ---------------------------------------------------------------------------------------------
// Moving

TEST_F(BrowserCommands, MoveOffersTheUserTreeWithoutImpossibleDestinations)
{
    openInUser();
    tapAlt();
    tapRow("Pads");
    tapFn(4);
    Platform::AlertController* sheet = alert();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->preferredStyle(), Platform::AlertController::Style::ActionSheet);
    EXPECT_EQ(sheet->title(), "Move");
    EXPECT_EQ(sheet->message(), "Please select the destination folder.");
    Strings titles;
    std::string enabled;
    for (auto const& action : sheet->actions()) {
        titles.push_back(action->title());
        enabled += action->isEnabled() ? '1' : '0';
        EXPECT_EQ(action->style(), Platform::AlertAction::Style::Default);
    }
    EXPECT_EQ(titles, (Strings{"User", "\tEmpty", "\tPads", "\t\tInner"}));
    EXPECT_EQ(enabled, "0100") << "not where it is, not into itself or its inside";
    auto* popover = sheet->popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->sourceView(), browser->btnFn(4));
    EXPECT_EQ(popover->sourceRect(), browser->btnFn(4)->bounds());
    EXPECT_TRUE(popover->canOverlapSourceViewRect());
    EXPECT_EQ(popover->permittedArrowDirections(), Platform::PopoverArrowDirection::Any);

    ASSERT_TRUE(sheet->chooseActionWithTitle("\tEmpty"));
    EXPECT_TRUE(bfs::exists(user / "Empty" / "Pads" / "Inner" / "Deep.corvane_snd"));
    EXPECT_FALSE(bfs::exists(user / "Pads"));
    EXPECT_FALSE(manager->selectedItem());
    EXPECT_TRUE(selectedRows().empty());
}

TEST_F(BrowserCommands, MovingSeveralRowsIntoASubfolder)
{
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapRow("Lead.corvane_snd");
    tapFn(4);
    ASSERT_NE(alert(), nullptr);
    choose("\t\tInner");
    EXPECT_EQ(entries(user / "Pads" / "Inner"), (Strings{"Deep.corvane_snd", "Lead.corvane_snd", "Pad.corvane_snd"}));
    EXPECT_EQ(rows(), (Strings{"Empty", "Pads", "Broken.corvane_snd", "notes.txt"}));
}

TEST_F(BrowserCommands, NoPossibleDestinationShowsTheMissingFolderAlert)
{
    bfs::remove_all(user / "Pads");
    bfs::remove_all(user / "Empty");
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapFn(4);
    EXPECT_EQ(alertText(), "Move | A destination folder is required.\n");
    EXPECT_EQ(alert()->actions().size(), 1u);
    choose("OK");
    EXPECT_TRUE(bfs::exists(user / "Pad.corvane_snd"));
}

TEST_F(BrowserCommands, AMoveOntoATakenNameChangesNothing)
{
    writeFile(user / "Empty" / "Pad.corvane_snd", "state:other");
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapFn(4);
    choose("\tEmpty");
    EXPECT_EQ(readFile(user / "Pad.corvane_snd"), "state:pad");
    EXPECT_EQ(readFile(user / "Empty" / "Pad.corvane_snd"), "state:other");
}

// ---------------------------------------------------------------------------------------------
// Duplicating

TEST_F(BrowserCommands, DuplicateCopiesUnderTheFirstFreeName)
{
    writeFile(user / "Pad (COPY).corvane_snd", "state:older copy");
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapFn(3);
    EXPECT_EQ(readFile(user / "Pad (COPY 0).corvane_snd"), "state:pad");
    EXPECT_EQ(readFile(user / "Pad (COPY).corvane_snd"), "state:older copy");
    EXPECT_EQ(rowOf("Pad (COPY 0).corvane_snd"), 4) << "listed, in name order";
    EXPECT_EQ(selectedRows(), (Strings{"Pad.corvane_snd"})) << "the copy is not selected";

    tapRow("Pad.corvane_snd");
    tapRow("Pads");
    tapFn(3);
    EXPECT_EQ(readFile(user / "Pads (COPY)" / "Inner" / "Deep.corvane_snd"), "state:deep") << "a folder with its tree";
}

// ---------------------------------------------------------------------------------------------
// Sending

TEST_F(BrowserCommands, SendPacksTheDocumentAndOffersIt)
{
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    tapFn(2);
    bfs::path const packed = tree / "tmp" / "Pad.corvane_snd_pack";
    EXPECT_TRUE(bfs::is_regular_file(packed));
    EXPECT_EQ(Platform::DocumentInteractionController::offeredPaths(), (Strings{packed.string()}));
    ASSERT_NE(browser->interactionController(), nullptr);
    EXPECT_EQ(browser->interactionController()->path(), packed.string());
    EXPECT_EQ(browser->interactionController()->delegate(), browser.get());
    EXPECT_EQ(browser->documentInteractionControllerViewControllerForPreview(nullptr), browser.get());
    EXPECT_EQ(browser->documentInteractionControllerViewForPreview(nullptr), browser->view());
    EXPECT_EQ(browser->documentInteractionControllerRectForPreview(nullptr), browser->view()->frame());
    EXPECT_EQ(alert(), nullptr);

    // A folder is packed whole, under its own name.
    tapRow("Pad.corvane_snd");
    tapRow("Pads");
    tapFn(2);
    EXPECT_TRUE(bfs::is_regular_file(tree / "tmp" / "Pads.corvane_snd_pack"));
    EXPECT_EQ(Platform::DocumentInteractionController::offeredPaths().size(), 2u);
    EXPECT_TRUE(bfs::exists(packed)) << "packed files stay";
}

TEST_F(BrowserCommands, SendingAnEmptyFolderSaysItIsEmpty)
{
    openInUser();
    tapAlt();
    tapRow("Empty");
    tapFn(2);
    EXPECT_EQ(alertText(), "Error | The directory is empty.\n");
    EXPECT_TRUE(Platform::DocumentInteractionController::offeredPaths().empty());
    EXPECT_FALSE(bfs::exists(tree / "tmp" / "Empty.corvane_snd_pack"));
}

TEST_F(BrowserCommands, AFailedPackOffersNothingAndSaysWhy)
{
    openInUser();
    tapAlt();
    tapRow("Pad.corvane_snd");
    // The temporary folder is gone: the archive cannot be written.
    ::setenv("CORVANE_TMPDIR", (tree / "missing" / "deeper").c_str(), 1);
    tapFn(2);
    EXPECT_EQ(alertText(), "ERROR | Failed to pack the file.");
    EXPECT_TRUE(Platform::DocumentInteractionController::offeredPaths().empty());
    EXPECT_EQ(browser->interactionController(), nullptr);
}

TEST_F(BrowserCommands, ASoleTreeOfAnotherKindPacksWithItsOwnType)
{
    Lumora::PresetDocFileManager::Config c;
    c.serializer = &serializer;
    c.serializeWhat = Lumora::SerializeWhat::ArpeggiatorPart;
    c.name = "Arpeggiator";
    c.fileExtension = "kyv_arp";
    c.pathConfig.userDirectory = (tree / "Arp").string();
    writeFile(tree / "Arp" / "Up Down.kyv_arp", "state:updown");
    manager = std::make_unique<Lumora::PresetDocFileManager>(c, nullptr);
    open(false);
    EXPECT_EQ(rows(), (Strings{"Up Down.kyv_arp"}));
    tapFn(3);
    EXPECT_EQ(alertText(), "Save | Enter a name for the arpeggiator data.");
    choose("Cancel");
    tapAlt();
    tapRow("Up Down.kyv_arp");
    tapFn(2);
    EXPECT_TRUE(bfs::is_regular_file(tree / "tmp" / "Up Down.kyv_arp_pack"));
}

// ---------------------------------------------------------------------------------------------
// Copy and paste (no button invokes them)

TEST_F(BrowserCommands, CopyAndPasteRefreshOnlyWhenTheManagerDidSomething)
{
    openInUser();
    browser->commandPaste();
    EXPECT_EQ(alert(), nullptr) << "nothing copied: no refresh, no message";
    tapRow("Pad.corvane_snd");
    browser->commandCopy();
    tapRow("Pads");
    browser->commandPaste();
    EXPECT_EQ(readFile(user / "Pads" / "Pad.corvane_snd"), "state:pad");
    EXPECT_EQ(rows(), (Strings{"Inner", "Pad.corvane_snd", "Soft.corvane_snd"}));
}

// ---------------------------------------------------------------------------------------------
// Rendering

TEST_F(BrowserCommands, RendersToAPicture)
{
    openInUser();
    tapRow("Pad.corvane_snd");
    Platform::Image normal = window->renderToImage(2);
    EXPECT_EQ(normal.pixelWidth(), 800);
    tapAlt();
    tapRow("Lead.corvane_snd");
    Platform::Image alt = window->renderToImage(2);
    tapFn(4);
    ASSERT_NE(alert(), nullptr);
    Platform::Image move = window->renderToImage(2);
    choose("\tEmpty");
    tapRow("Pads");
    tapFn(5);
    Platform::Image question = window->renderToImage(2);
    // Written beside the test program, for a look.
    boost::system::error_code ec;
    bfs::path const folder = bfs::read_symlink("/proc/self/exe", ec).parent_path();
    if (!ec) {
        EXPECT_TRUE(normal.writePNG((folder / "browser-normal.png").string()));
        EXPECT_TRUE(alt.writePNG((folder / "browser-alt.png").string()));
        EXPECT_TRUE(move.writePNG((folder / "browser-move.png").string()));
        EXPECT_TRUE(question.writePNG((folder / "browser-delete.png").string()));
    }
}
