#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"

#include "platform/foundation/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void writeText(std::string const& path, std::string const& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

} // namespace

TEST(LocalizedString, AnswersTheKeyWithoutATable) {
    ScratchFolder folder;
    Platform::Bundle bundle(folder.path());
    EXPECT_EQ(bundle.localizedString("Save"), "Save");
    EXPECT_EQ(bundle.localizedString("Rename '%@'"), "Rename '%@'");
    EXPECT_EQ(bundle.localizedString(""), "");
    // The platform's rule: an untranslated key shows the default value when one is given.
    EXPECT_EQ(bundle.localizedStringForKey("Save", "Store"), "Store");
}

TEST(LocalizedString, TranslatesFromTheTablesOfTheBundle) {
    ScratchFolder folder;
    writeText(folder.path() + "/Localizable.strings",
              "# German\n"
              "Save = \"Sichern\"\n"
              "\"Enter a name for the folder.\" = \"Namen des Ordners eingeben.\"\n"
              "\"This item will be deleted immediately.\\nAre you sure?\\n\\n'%@'\" = \"Wirklich l\\xC3\\xB6schen?\\n'%@'\"\n"
              "\"Number\" = 12\n"
              "this line is damaged\n");
    writeText(folder.path() + "/Other.strings", "Save = \"Speichern\"\n");
    Platform::ScopedLogCapture log;
    Platform::Bundle bundle(folder.path());

    EXPECT_EQ(bundle.localizedString("Save"), "Sichern");
    EXPECT_EQ(bundle.localizedString("Enter a name for the folder."), "Namen des Ordners eingeben.");
    EXPECT_EQ(bundle.localizedString("This item will be deleted immediately.\nAre you sure?\n\n'%@'"),
              "Wirklich l\xC3\xB6schen?\n'%@'");
    // Only strings translate; a damaged line costs itself alone.
    EXPECT_EQ(bundle.localizedString("Number"), "Number");
    EXPECT_EQ(bundle.localizedString("Delete"), "Delete");
    EXPECT_TRUE(log.contains("skipped 1 unreadable lines"));
    EXPECT_EQ(bundle.localizedStringForKey("Save", "", "Other"), "Speichern");
    EXPECT_EQ(bundle.localizedStringForKey("Save", "", "Missing"), "Save");
}
