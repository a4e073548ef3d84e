#include "drawing/support/StyleKitSheet.h"

#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace StyleKitTesting;

// Renders every control and icon of the default kit onto one sheet for a person to look at; the
// picture lands in the test's working folder (or where CORVANE_SHEET_DIR points).
TEST(StyleKitSheetTest, RendersTheSheetOfAllControlsAndIcons)
{
    Platform::BitmapContext bitmap(Platform::Size{sheetWidth, sheetHeight});
    drawSheet();
    Platform::Image const image = bitmap.makeImage();
    char const* dir = std::getenv("CORVANE_SHEET_DIR");
    std::filesystem::path const path = std::filesystem::path(dir ? dir : ".") / "drawing-style-kit-sheet.png";
    ASSERT_TRUE(image.writePNG(path.string()));
    Platform::Image const back = Platform::Image::contentsOfFile(path.string());
    ASSERT_TRUE(back);
    EXPECT_EQ(back.size(), image.size());
    EXPECT_EQ(bitmap.context().gStateDepth(), 0);
}
