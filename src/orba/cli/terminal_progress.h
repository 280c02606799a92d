// A progress line on stderr while a long command runs, shown only when
// stderr is a terminal: "validating: 120/480 items", rewritten in place and
// cleared at the end.
#pragma once

#include <cstddef>
#include <functional>

namespace orba::cli {

// The function to call with (done, total); empty when stderr is no terminal.
std::function<void(size_t, size_t)> TerminalProgress(const char* activity);

}  // namespace orba::cli
