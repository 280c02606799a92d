// Dialog: a toolkit-free modal dialog. The dialog's logic lives in a model
// derived from Dialog; a Ui view renders its controls and reports the user's
// actions back. Positions and sizes are in twips (1/1440 inch; 15 twips to a
// pixel at 96 DPI), as the dialogs are laid out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class ControlKind { kFrame, kCheckBox, kLabel, kButton, kPicture };

struct Control {
  std::string name;  // "chkParts", "cmdOK", ...
  ControlKind kind = ControlKind::kLabel;
  std::string caption;  // "&" marks the access key
  TwipsRect rect;       // relative to `parent` (a frame) or to the client area
  std::string parent;   // the frame holding the control; empty for the dialog
  int tab_index = 0;
  bool enabled = true;
  int value = 0;            // check boxes: 0 unticked, 1 ticked, 2 greyed
  bool is_default = false;  // Enter presses it
  bool is_cancel = false;   // Escape presses it
  std::string font_family;  // empty: the dialog's default font
  double font_points = 0;
  bool font_bold = false;
  int picture_width = 0;  // pictures: size in pixels of the image
  int picture_height = 0;
  std::vector<uint32_t> picture;  // pictures: the image row by row, 0xRRGGBB per pixel
};

// A control with its identity and place; the other members keep their defaults.
inline Control MakeControl(std::string name, ControlKind kind, std::string caption, TwipsRect rect,
                           int tab_index) {
  Control control;
  control.name = std::move(name);
  control.kind = kind;
  control.caption = std::move(caption);
  control.rect = rect;
  control.tab_index = tab_index;
  return control;
}

class Dialog {
 public:
  virtual ~Dialog() = default;
  virtual std::string Caption() const = 0;
  virtual int ClientWidth() const = 0;   // twips
  virtual int ClientHeight() const = 0;  // twips
  virtual const std::vector<Control>& Controls() const = 0;

  // Called once before the dialog is shown; may throw (the dialog is then not shown).
  virtual void Load() = 0;
  // The user clicked a control. For a check box the view has not changed the
  // value: the model toggles it (as a click does) and runs its reaction.
  virtual void Click(const std::string& control) = 0;
  // The user closed the window (close box) without a button.
  virtual void CloseBox() = 0;
  // True once the dialog has asked to be closed (unloaded).
  virtual bool Closed() const = 0;
};

}  // namespace platform
