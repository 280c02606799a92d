// What the process's environment says.
#pragma once

namespace base {

// Whether the variable is set to something other than "".
bool IsSetInEnvironment(const char* variable);

// Whether a display is named ($DISPLAY or $WAYLAND_DISPLAY), so that windows
// can be tried.
bool DisplayNamed();

}  // namespace base
