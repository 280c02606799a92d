// The command line of the reference host, `orba`.
#pragma once

namespace orba::cli {

// Reads the command line, runs the command and answers the process exit code.
int Run(int argc, char** argv);

}  // namespace orba::cli
