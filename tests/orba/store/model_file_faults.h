// Model files in the states real use leaves them in: half-written by a writer
// that was killed, or changed behind the host's back.
#pragma once

#include <string>

namespace orba::store::testing {

// Leaves the model file at `path` as a writer killed mid-transaction leaves
// it: a child process renames every element "changed", adds the table
// "junk" with enough rows that pages reach the file before the commit, and
// is killed with SIGKILL. A hot journal stays beside the file.
void InterruptWriteTo(const std::string& path);

// Runs `sql` on the model file at `path` through a connection of its own, as
// another program editing the file would.
void ExecuteOn(const std::string& path, const std::string& sql);

}  // namespace orba::store::testing
