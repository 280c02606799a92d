#include "platform/ui.h"

#include <cstdint>
#include <iostream>
#include <string>

#include "base/text.h"

namespace platform {
namespace {

// The caption without its access-key marker ("&OK" -> "OK", "&&" -> "&").
std::string PlainCaption(const std::string& caption) {
  std::string plain;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

bool Actionable(const Control& control) {
  return control.enabled &&
         (control.kind == ControlKind::kCheckBox || control.kind == ControlKind::kButton);
}

void PrintForm(const Dialog& dialog, std::ostream& out) {
  out << "== " << dialog.Caption() << " ==\n";
  int number = 0;
  for (const Control& control : dialog.Controls()) {
    const std::string caption = PlainCaption(control.caption);
    switch (control.kind) {
      case ControlKind::kFrame: out << "-- " << caption << " --\n"; break;
      case ControlKind::kLabel: out << "   " << caption << "\n"; break;
      case ControlKind::kPicture: break;
      case ControlKind::kCheckBox: {
        static const char* const kBoxes[] = {"[ ]", "[x]", "[-]"};
        const int value = control.value >= 0 && control.value <= 2 ? control.value : 0;
        out << (Actionable(control) ? std::to_string(++number) + ")" : "  ") << ' ' << kBoxes[value]
            << ' ' << caption << (control.enabled ? "" : " (unavailable)") << "\n";
        break;
      }
      case ControlKind::kButton:
        out << std::to_string(++number) << ") <" << caption << ">\n";
        break;
    }
  }
}

// The actionable control with the given 1-based number, or null.
const Control* ControlNumbered(const Dialog& dialog, int64_t wanted) {
  int64_t number = 0;
  for (const Control& control : dialog.Controls()) {
    if (Actionable(control) && ++number == wanted) return &control;
  }
  return nullptr;
}

}  // namespace

ConsoleUi::ConsoleUi(std::istream& in, std::ostream& out, bool interactive)
    : in_(in), out_(out), interactive_(interactive) {}

// One line per box, whatever the text holds: control characters (a model's
// name in a message, say) are shown as escapes and cannot drive the terminal.
void ConsoleUi::MessageBox(const std::string& text, const std::string& title, MessageIcon) {
  out_ << base::EscapeControlCharacters(title) << ": " << base::EscapeControlCharacters(text)
       << std::endl;
}

void ConsoleUi::ShowModal(Dialog& dialog) {
  dialog.Load();
  PrintForm(dialog, out_);
  if (!interactive_) {
    dialog.CloseBox();
    return;
  }
  while (!dialog.Closed()) {
    out_ << "Number to press, or q to close: " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer) || answer == "q") {
      dialog.CloseBox();
      break;
    }
    // Only a whole number presses a control: "8abc" is not 8.
    const std::optional<int64_t> wanted = base::IntegerOfText(answer);
    if (!wanted) continue;
    if (const Control* control = ControlNumbered(dialog, *wanted)) {
      dialog.Click(control->name);
      if (!dialog.Closed()) PrintForm(dialog, out_);
    }
  }
}

}  // namespace platform
