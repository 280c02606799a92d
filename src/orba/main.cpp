// orba: the reference Orba host.
#include <csignal>

#include "orba/cli/app.h"

int main(int argc, char** argv) {
  // A write past the file size limit (ulimit -f) fails with EFBIG and is
  // reported, rather than ending the process without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  return orba::cli::Run(argc, argv);
}
