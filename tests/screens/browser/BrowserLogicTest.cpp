#include "screens/browser/PrstDocFileBrwsLogic.h"

#include "tests/screens/browser/BrowserTestSupport.h"

#include <gtest/gtest.h>

using namespace PrstDocFileBrws;
using BrowserTest::writeFile;
namespace bfs = boost::filesystem;

TEST(BrowserNames, AreTrimmedOfSpacesAndTabsAndCheckedForInvalidCharacters)
{
    struct Case {
        std::string typed;
        std::string trimmed;
        NameCheck check;
    };
    Case const cases[] = {
        {"  Warm Pad\t", "Warm Pad", NameCheck::Valid},
        {"   ", "", NameCheck::Empty},
        {"\t \t", "", NameCheck::Empty},
        {"", "", NameCheck::Empty},
        {"a/b", "a/b", NameCheck::InvalidCharacters},
        {" ..", "..", NameCheck::Valid},  // no invalid character: the manager refuses it itself
        {"Pad\n", "Pad\n", NameCheck::InvalidCharacters},  // line feeds are not trimmed
        {"x\\y", "x\\y", NameCheck::InvalidCharacters},
        {"Is it?", "Is it?", NameCheck::InvalidCharacters},
        {"it's", "it's", NameCheck::InvalidCharacters},
        {"a|b", "a|b", NameCheck::InvalidCharacters},
        {"Grüße", "Grüße", NameCheck::Valid},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(trimmedName(c.typed), c.trimmed) << c.typed;
        EXPECT_EQ(checkName(trimmedName(c.typed)), c.check) << c.typed;
    }
}

TEST(BrowserTexts, FormatPutsTheArgumentAtTheFirstMarker)
{
    EXPECT_EQ(formatText("Rename '%@'", "Pad"), "Rename 'Pad'");
    EXPECT_EQ(formatText("Enter a name for the %@ data.", "sound presets"), "Enter a name for the sound presets data.");
    EXPECT_EQ(formatText("no marker", "x"), "no marker");
    EXPECT_EQ(formatText("%@ and %@", "%@"), "%@ and %@");
    EXPECT_EQ(lowercased("MIDI Mapping"), "midi mapping");
}

TEST(BrowserDuplicate, CandidatesKeepTheExtensionFromTheLastDot)
{
    auto file = duplicateCandidates("Pad.corvane_snd");
    ASSERT_EQ(file.size(), 101u);
    EXPECT_EQ(file[0], "Pad (COPY).corvane_snd");
    EXPECT_EQ(file[1], "Pad (COPY 0).corvane_snd");
    EXPECT_EQ(file[100], "Pad (COPY 99).corvane_snd");
    EXPECT_EQ(duplicateCandidates("Pads")[0], "Pads (COPY)");
    EXPECT_EQ(duplicateCandidates("a.b.c")[0], "a.b (COPY).c");
    EXPECT_EQ(duplicateCandidates("..")[0], ".. (COPY)");
    EXPECT_EQ(duplicateCandidates(".")[0], ". (COPY)");
    EXPECT_EQ(duplicateCandidates(".hidden")[0], " (COPY).hidden");
}

TEST(BrowserDuplicate, TakesTheFirstFreeNameAndGivesUpWhenAllAreTaken)
{
    BrowserTest::ScratchTree tree;
    writeFile(tree / "Pad.corvane_snd", "state:pad");
    EXPECT_EQ(duplicatePath(tree / "Pad.corvane_snd"), tree / "Pad (COPY).corvane_snd");
    writeFile(tree / "Pad (COPY).corvane_snd", "x");
    EXPECT_EQ(duplicatePath(tree / "Pad.corvane_snd"), tree / "Pad (COPY 0).corvane_snd");
    for (std::string const& name : duplicateCandidates("Pad.corvane_snd"))
        writeFile(tree / name, "x");
    EXPECT_EQ(duplicatePath(tree / "Pad.corvane_snd"), std::nullopt);
    EXPECT_EQ(duplicatePath(bfs::path()), std::nullopt);
}

TEST(BrowserMove, DestinationsExcludeTheEntriesTheirInsidesAndTheirFolder)
{
    BrowserTest::ScratchTree tree;
    bfs::path const user = tree / "User";
    bfs::create_directories(user / "A" / "Inner");
    bfs::create_directories(user / "B");
    bfs::create_directories(user / "AB");
    writeFile(user / "Pad.corvane_snd", "state:pad");

    std::vector<bfs::path> const folderA{user / "A"};
    EXPECT_FALSE(canMoveToPath(user / "A", folderA)) << "into itself";
    EXPECT_FALSE(canMoveToPath(user / "A" / "Inner", folderA)) << "into its own inside";
    EXPECT_FALSE(canMoveToPath(user, folderA)) << "where it already is";
    EXPECT_TRUE(canMoveToPath(user / "B", folderA));
    EXPECT_TRUE(canMoveToPath(user / "AB", folderA)) << "a name that merely begins alike";

    std::vector<bfs::path> const two{user / "Pad.corvane_snd", user / "B"};
    EXPECT_TRUE(canMoveToPath(user / "A", two));
    EXPECT_FALSE(canMoveToPath(user / "B", two));
    EXPECT_TRUE(canMoveToPath(user / "A", {})) << "no selection refuses nothing";
    EXPECT_FALSE(canMoveToPath(user / "A", {bfs::path()})) << "an entry without a path moves nowhere";

    EXPECT_EQ(moveDestinationTitle(user, 0), "User");
    EXPECT_EQ(moveDestinationTitle(user / "A" / "Inner", 2), "\t\tInner");
}

TEST(BrowserSend, PacksBesideTheTemporaryFolderUnderTheStemAndPackType)
{
    EXPECT_EQ(packedFilePath("/tmp/x", "Pad", "corvane_snd_pack"), bfs::path("/tmp/x/Pad.corvane_snd_pack"));
    EXPECT_EQ(packedFilePath("/tmp/x", "Pads", "corvane_arp_pack"), bfs::path("/tmp/x/Pads.corvane_arp_pack"));
}
