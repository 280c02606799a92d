// orba: the reference Orba host.
#include "orba/cli/app.h"

int main(int argc, char** argv) { return orba::cli::Run(argc, argv); }
