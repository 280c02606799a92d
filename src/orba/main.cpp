// orba: the reference host (first cut: component registration).
#include <iostream>

#include "automation/registry.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "register") {
    try {
      automation::Registry registry(automation::Registry::DefaultPath());
      for (const auto& prog_id : registry.RegisterModule(argv[2])) {
        std::cout << "registered " << prog_id << " -> " << argv[2] << "\n";
      }
      return 0;
    } catch (const std::exception& error) {
      std::cerr << "orba: " << error.what() << "\n";
      return 2;
    }
  }
  std::cerr << "usage: orba register MODULE\n";
  return 2;
}
