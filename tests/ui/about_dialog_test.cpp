#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

#include "support/recording_repository.h"
#include "ui/about_picture.h"

namespace ui {
namespace {

TEST(AboutDialogTest, ShowsTheVersionOnceLoaded) {
  AboutDialog dialog;
  EXPECT_EQ(dialog.Caption(), "Quindle Technology for SysML - About");
  EXPECT_EQ(dialog.ClientWidth(), 4470);
  EXPECT_EQ(dialog.ClientHeight(), 2790);
  EXPECT_EQ(dialog.Get("lblVersion").caption, "");
  dialog.Load();
  EXPECT_EQ(dialog.Get("lblVersion").caption, "Version 1.0");
  EXPECT_EQ(dialog.Get("lblTitle").caption, "Quindle Technology for SysML");
}

TEST(AboutDialogTest, OkIsBothTheDefaultAndTheCancelButton) {
  AboutDialog dialog;
  EXPECT_TRUE(dialog.Get("cmdOK").is_default);
  EXPECT_TRUE(dialog.Get("cmdOK").is_cancel);
}

struct ActionCase {
  const char* name;
  std::function<void(platform::Dialog&)> action;
  bool closes;
};

class AboutActionTest : public testing::TestWithParam<ActionCase> {};

// The dialog holds the repository until it is unloaded; whatever stays open
// is closed by its close box when the script ends, which releases it too.
TEST_P(AboutActionTest, UnloadingReleasesTheRepository) {
  auto repository = std::make_shared<testing_support::RecordingRepository>();
  AboutDialog dialog;
  platform::ScriptedUi ui;
  bool held_while_shown = false;
  bool closed_by_action = false;
  bool held_after_action = false;
  ui.ExpectDialog([&](platform::Dialog& shown) {
    held_while_shown = dialog.Repository() == repository;
    GetParam().action(shown);
    closed_by_action = shown.Closed();
    held_after_action = dialog.Repository() == repository;
  });
  dialog.ShowIt(repository, ui);
  EXPECT_TRUE(held_while_shown);
  EXPECT_EQ(closed_by_action, GetParam().closes);
  EXPECT_EQ(held_after_action, !GetParam().closes);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(dialog.Repository(), nullptr);
  EXPECT_EQ(repository.use_count(), 1);
  EXPECT_TRUE(repository->Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, AboutActionTest,
    testing::Values(ActionCase{"Ok", [](platform::Dialog& dialog) { dialog.Click("cmdOK"); }, true},
                    ActionCase{"CloseBox", [](platform::Dialog& dialog) { dialog.CloseBox(); },
                               true},
                    ActionCase{"ClickOnThePicture",
                               [](platform::Dialog& dialog) { dialog.Click("Picture1"); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboutPictureTest, IsTheDialogsSixtyBy165Picture) {
  AboutDialog dialog;
  const platform::Control& picture = dialog.Get("Picture1");
  EXPECT_EQ(picture.picture_width, 60);
  EXPECT_EQ(picture.picture_height, 165);
  EXPECT_EQ(picture.picture.size(), 60u * 165u);
  EXPECT_EQ(picture.picture, DrawAboutPicture());
}

uint32_t PixelAt(const std::vector<uint32_t>& pixels, int x, int y) {
  return pixels[y * kAboutPictureWidth + x];
}

TEST(AboutPictureTest, DrawsOutlinedBlocksOnAGradient) {
  const std::vector<uint32_t> pixels = DrawAboutPicture();
  ASSERT_EQ(pixels.size(), size_t(kAboutPictureWidth) * kAboutPictureHeight);
  // The background darkens towards the top (blue) and brightens to teal below.
  EXPECT_EQ(PixelAt(pixels, 0, 0), 0x0B2A5Bu);
  EXPECT_EQ(PixelAt(pixels, 0, kAboutPictureHeight - 1), 0x1F8A8Au);
  // The corners of the first block and the connector between the first two are white.
  EXPECT_EQ(PixelAt(pixels, 10, 14), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(pixels, 49, 47), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(pixels, 29, 57), 0xFFFFFFu);
  // The blocks' name compartments are amber.
  EXPECT_EQ(PixelAt(pixels, 12, 16), 0xF5B942u);
}

TEST(AboutPictureTest, FitsIn256Colours) {
  const std::vector<uint32_t> pixels = DrawAboutPicture();
  const std::set<uint32_t> colours(pixels.begin(), pixels.end());
  EXPECT_GT(colours.size(), 8u);
  EXPECT_LE(colours.size(), 256u);
}

}  // namespace
}  // namespace ui
