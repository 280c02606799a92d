#include "ui/form.h"

#include <stdexcept>

namespace ui {

Form::Form(std::string caption, int client_width, int client_height,
           std::vector<platform::Control> controls)
    : caption_(std::move(caption)),
      client_width_(client_width),
      client_height_(client_height),
      controls_(std::move(controls)) {}

const platform::Control& Form::Get(const std::string& name) const {
  for (const auto& control : controls_) {
    if (control.name == name) return control;
  }
  throw std::out_of_range("the dialog has no control named " + name);
}

platform::Control& Form::Mutable(const std::string& name) {
  return const_cast<platform::Control&>(Get(name));
}

}  // namespace ui
