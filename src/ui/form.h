// Form: the shared part of the add-in's dialog models: a caption, a client
// size and a control list, looked up by control name.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog.h"

namespace ui {

class Form : public platform::Dialog {
 public:
  Form(std::string caption, int client_width, int client_height,
       std::vector<platform::Control> controls);

  std::string Caption() const override { return caption_; }
  int ClientWidth() const override { return client_width_; }
  int ClientHeight() const override { return client_height_; }
  const std::vector<platform::Control>& Controls() const override { return controls_; }
  bool Closed() const override { return closed_; }

  // The control named `name`; throws std::out_of_range for an unknown name.
  const platform::Control& Get(const std::string& name) const;

 protected:
  platform::Control& Mutable(const std::string& name);
  void Unload() { closed_ = true; }

 private:
  std::string caption_;
  int client_width_;
  int client_height_;
  std::vector<platform::Control> controls_;
  bool closed_ = false;
};

}  // namespace ui
