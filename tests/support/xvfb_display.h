// XvfbDisplay: a virtual X display for the window tests of this process.
//
// Xvfb is started with -displayfd: it picks a free display number itself and
// writes it once it accepts connections, so tests running side by side never
// share a display and nothing has to wait on a clock. The server is ended at
// the process's exit, after the last event loop has run; a crashed test takes
// it along too (PR_SET_PDEATHSIG).
#pragma once

#include <string>

namespace testing_support {

// True when the Xvfb program is on $PATH.
bool XvfbInstalled();

// Starts the process's one Xvfb on first use and points $DISPLAY at it (Qt
// goes through X11). Returns the display name, e.g. ":3"; throws
// std::runtime_error when the server does not start.
std::string UseXvfbDisplay();

}  // namespace testing_support
