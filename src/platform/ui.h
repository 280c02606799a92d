// Ui: modal message boxes and dialogs.
//
// ConsoleUi prints message boxes to stderr as "Title: text" and runs dialogs as
// terminal forms when stdin is a terminal (cancelled otherwise). A Qt
// implementation shows real windows.
#pragma once

#include <iosfwd>
#include <string>

#include "platform/dialog.h"

namespace platform {

enum class MessageIcon { kExclamation, kCriticalStop };

class Ui {
 public:
  virtual ~Ui() = default;
  // Shows a modal message box with an OK button; returns when it is closed.
  virtual void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // Loads and shows the dialog modally; returns when it has closed.
  virtual void ShowModal(Dialog& dialog) = 0;
};

class ConsoleUi : public Ui {
 public:
  // Dialogs are interactive only when `interactive` (stdin and stderr are terminals).
  ConsoleUi(std::istream& in, std::ostream& out, bool interactive);
  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  void ShowModal(Dialog& dialog) override;

 private:
  std::istream& in_;
  std::ostream& out_;
  bool interactive_;
};

}  // namespace platform
