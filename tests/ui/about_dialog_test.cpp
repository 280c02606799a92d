#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <set>

#include "support/test_model.h"
#include "support/test_platform.h"
#include "ui/about_picture.h"

namespace ui {
namespace {

// The dialog shows the version once loaded and holds the repository while it
// is shown; a click on the picture leaves it open, OK closes it and releases
// the repository (as does the close box, which the Qt test presses).
TEST(AboutDialogTest, ShowsTheVersionAndHoldsTheRepositoryWhileShown) {
  const testing_support::TestModel model(testing_support::kEmptyModel);
  const host::RepositoryPtr repository = model.Repository();
  AboutDialog dialog;
  EXPECT_EQ(dialog.Caption(), "Quindle Technology for SysML - About");
  EXPECT_EQ(dialog.Get("lblVersion").caption, "");
  testing_support::ScriptedUi ui;
  ui.ExpectDialog([&](platform::Dialog& shown) {
    EXPECT_EQ(dialog.Get("lblVersion").caption, "Version 1.0");
    EXPECT_EQ(dialog.Get("lblTitle").caption, "Quindle Technology for SysML");
    EXPECT_TRUE(dialog.Get("cmdOK").is_default);
    EXPECT_TRUE(dialog.Get("cmdOK").is_cancel);
    shown.Click("Picture1");
    EXPECT_FALSE(shown.Closed());
    EXPECT_EQ(dialog.Repository(), repository);
    shown.Click("cmdOK");
    EXPECT_TRUE(shown.Closed());
  });
  dialog.ShowIt(repository, ui);
  EXPECT_EQ(dialog.Repository(), nullptr);
  EXPECT_EQ(repository.use_count(), 2);  // here and in the model
}

TEST(AboutPictureTest, DrawsOutlinedBlocksOnAGradientInAtMost256Colours) {
  const std::vector<uint32_t> pixels = DrawAboutPicture();
  ASSERT_EQ(pixels.size(), 60u * 165u);
  const auto at = [&](int x, int y) { return pixels[y * kAboutPictureWidth + x]; };
  const AboutDialog dialog;
  const platform::Control& picture = dialog.Get("Picture1");
  EXPECT_EQ(picture.picture_width, 60);
  EXPECT_EQ(picture.picture_height, 165);
  EXPECT_EQ(picture.picture, pixels);
  // The background darkens towards the top (blue) and brightens to teal below.
  EXPECT_EQ(at(0, 0), 0x0B2A5Bu);
  EXPECT_EQ(at(0, kAboutPictureHeight - 1), 0x1F8A8Au);
  // The corners of the first block and the connector between the first two are white.
  EXPECT_EQ(at(10, 14), 0xFFFFFFu);
  EXPECT_EQ(at(49, 47), 0xFFFFFFu);
  EXPECT_EQ(at(29, 57), 0xFFFFFFu);
  EXPECT_EQ(at(12, 16), 0xF5B942u);  // the blocks' name compartments are amber
  const std::set<uint32_t> colours(pixels.begin(), pixels.end());
  EXPECT_GT(colours.size(), 8u);
  EXPECT_LE(colours.size(), 256u);
}

}  // namespace
}  // namespace ui
