#include "ui/about_dialog.h"

#include "ui/about_picture.h"

namespace ui {
namespace {

using platform::Control;
using platform::ControlKind;

std::vector<Control> AboutControls() {
  Control ok =
      platform::MakeControl("cmdOK", ControlKind::kButton, "OK", {2910, 2280, 1140, 345}, 0);
  ok.is_default = true;
  ok.is_cancel = true;
  Control title = platform::MakeControl("lblTitle", ControlKind::kLabel,
                                        "Quindle Technology for SysML", {1560, 240, 2565, 720}, 1);
  title.font_family = "MS Sans Serif";
  title.font_points = 13.5;
  title.font_bold = true;
  Control version =
      platform::MakeControl("lblVersion", ControlKind::kLabel, "", {1560, 1080, 2685, 1065}, 2);
  Control picture =
      platform::MakeControl("Picture1", ControlKind::kPicture, "", {120, 120, 975, 2535}, 3);
  picture.picture_width = kAboutPictureWidth;
  picture.picture_height = kAboutPictureHeight;
  picture.picture = DrawAboutPicture();
  return {ok, title, version, picture};
}

}  // namespace

AboutDialog::AboutDialog()
    : Form("Quindle Technology for SysML - About", 4470, 2790, AboutControls()) {}

void AboutDialog::ShowIt(const host::RepositoryPtr& Repository, platform::Ui& ui) {
  repository_ = Repository;
  ui.ShowModal(*this);
}

void AboutDialog::Load() { Mutable("lblVersion").caption = "Version 1.0"; }

void AboutDialog::Click(const std::string& control) {
  if (control == "cmdOK") Close();
}

void AboutDialog::Close() {
  repository_.reset();
  Unload();
}

}  // namespace ui
