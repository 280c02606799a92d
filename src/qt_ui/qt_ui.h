// QtUi: message boxes and dialogs as real modal Qt windows.
//
// Any Dialog is rendered from its control list: frames as group boxes holding
// their controls, check boxes (a value of 2 shows partially checked, greyed),
// labels with their fonts, buttons (the default one answers Enter, the cancel
// one Escape) and picture boxes. Twips become pixels at the screen's logical
// DPI. The view never changes a value itself: a click goes to the model, then
// every control is refreshed from it, and the window closes once the model
// has closed.
//
// Nothing of Qt starts until the first box or dialog. When no display can be
// reached then, boxes and dialogs go to `fallback` instead.
#pragma once

#include <memory>

#include "platform/ui.h"

namespace platform {

class QtUi : public Ui {
 public:
  explicit QtUi(std::shared_ptr<Ui> fallback);

  // Creates the process's QApplication when the host has none (it is kept for
  // the rest of the process). False when no display can be reached or the
  // host's own Qt application has no widgets.
  bool CanShowWindows();

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  void ShowModal(Dialog& dialog) override;

 private:
  std::shared_ptr<Ui> fallback_;
};

}  // namespace platform
