// Progress of a long command on stderr: on a terminal a line rewritten in
// place ("validating: 120/480 items") and cleared at the end; elsewhere (a CI
// log) the same line, on a line of its own, at most every few seconds, so
// that a long job shows it is alive without filling the log. Nothing at all
// with --quiet.
#pragma once

#include <cstddef>
#include <functional>

namespace orba::cli {

// The function to call with (done, total); empty when `quiet`.
std::function<void(size_t, size_t)> Progress(const char* activity, bool quiet);

}  // namespace orba::cli
