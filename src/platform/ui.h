// Ui: modal message boxes and dialogs.
//
// ConsoleUi prints message boxes to stderr as "Title: text" and runs dialogs as
// terminal forms when stdin is a terminal (cancelled otherwise). ScriptedUi
// records every box and answers dialogs from a script; tests and headless
// runs use it. A Qt implementation shows real windows.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

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

struct RecordedMessageBox {
  std::string text;
  std::string title;
  MessageIcon icon;
  friend bool operator==(const RecordedMessageBox&, const RecordedMessageBox&) = default;
};

class ScriptedUi : public Ui {
 public:
  // A dialog script: the actions to run on the loaded dialog, in order.
  using DialogScript = std::function<void(Dialog&)>;

  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  void ShowModal(Dialog& dialog) override;

  // The next dialog shown runs this script; without one it is closed by its close box.
  void ExpectDialog(DialogScript script) { scripts_.push_back(std::move(script)); }

  const std::vector<RecordedMessageBox>& MessageBoxes() const { return boxes_; }
  const std::vector<std::string>& DialogsShown() const { return dialogs_; }

 private:
  std::vector<RecordedMessageBox> boxes_;
  std::vector<std::string> dialogs_;
  std::deque<DialogScript> scripts_;
};

}  // namespace platform
