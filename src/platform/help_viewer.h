// HelpViewer: opens a help file at a numbered context (topic).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class HelpViewer {
 public:
  virtual ~HelpViewer() = default;
  virtual void ShowContext(const std::string& help_file, uint32_t context) = 0;
};

// Hands the file to the desktop's opener (xdg-open) without waiting for it.
// The opener's own answer is not looked at, as a help viewer's result is not.
// Desktop openers know no topic numbers, so the file opens at its start.
class DesktopHelpViewer : public HelpViewer {
 public:
  void ShowContext(const std::string& help_file, uint32_t context) override;
};

}  // namespace platform
