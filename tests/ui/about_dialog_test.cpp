#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "support/test_model.h"
#include "ui/about_picture.h"

namespace ui {
namespace {

// The dialog shows the version once loaded and holds the repository until it
// is unloaded; whatever stays open is closed by its close box when the script
// ends, which releases it too.
TEST(AboutDialogTest, ShowsTheVersionAndHoldsTheRepositoryWhileShown) {
  const std::pair<const char*, bool> actions[] = {
      {"cmdOK", true}, {"close box", true}, {"Picture1", false}};
  for (const auto& [action, closes] : actions) {
    SCOPED_TRACE(action);
    const testing_support::TestModel model(testing_support::kEmptyModel);
    const host::RepositoryPtr repository = model.Repository();
    AboutDialog dialog;
    EXPECT_EQ(dialog.Caption(), "Quindle Technology for SysML - About");
    EXPECT_EQ(dialog.Get("lblVersion").caption, "");
    platform::ScriptedUi ui;
    ui.ExpectDialog([&, action = action, closes = closes](platform::Dialog& shown) {
      EXPECT_EQ(dialog.Get("lblVersion").caption, "Version 1.0");
      EXPECT_EQ(dialog.Get("lblTitle").caption, "Quindle Technology for SysML");
      EXPECT_TRUE(dialog.Get("cmdOK").is_default);
      EXPECT_TRUE(dialog.Get("cmdOK").is_cancel);
      EXPECT_EQ(dialog.Repository(), repository);
      action == std::string("close box") ? shown.CloseBox() : shown.Click(action);
      EXPECT_EQ(shown.Closed(), closes);
      EXPECT_EQ(dialog.Repository() == repository, !closes);
    });
    dialog.ShowIt(repository, ui);
    EXPECT_TRUE(dialog.Closed());
    EXPECT_EQ(dialog.Repository(), nullptr);
    EXPECT_EQ(repository.use_count(), 2);  // here and in the model
  }
}

uint32_t PixelAt(const std::vector<uint32_t>& pixels, int x, int y) {
  return pixels[y * kAboutPictureWidth + x];
}

TEST(AboutPictureTest, DrawsOutlinedBlocksOnAGradientInAtMost256Colours) {
  const std::vector<uint32_t> pixels = DrawAboutPicture();
  ASSERT_EQ(pixels.size(), 60u * 165u);
  const auto dialog = AboutDialog();
  const platform::Control& picture = dialog.Get("Picture1");
  EXPECT_EQ(picture.picture_width, 60);
  EXPECT_EQ(picture.picture_height, 165);
  EXPECT_EQ(picture.picture, pixels);
  // The background darkens towards the top (blue) and brightens to teal below.
  EXPECT_EQ(PixelAt(pixels, 0, 0), 0x0B2A5Bu);
  EXPECT_EQ(PixelAt(pixels, 0, kAboutPictureHeight - 1), 0x1F8A8Au);
  // The corners of the first block and the connector between the first two are white.
  EXPECT_EQ(PixelAt(pixels, 10, 14), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(pixels, 49, 47), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(pixels, 29, 57), 0xFFFFFFu);
  // The blocks' name compartments are amber.
  EXPECT_EQ(PixelAt(pixels, 12, 16), 0xF5B942u);
  const std::set<uint32_t> colours(pixels.begin(), pixels.end());
  EXPECT_GT(colours.size(), 8u);
  EXPECT_LE(colours.size(), 256u);
}

}  // namespace
}  // namespace ui
