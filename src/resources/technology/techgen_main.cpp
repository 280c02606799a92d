// tessary_techgen SCRIPTS_FOLDER OUTPUT_FILE
// Writes the technology document, resource "TECHFILE" 101, from the profile
// tables and the shape scripts (SCRIPTS_FOLDER/NAME.txt, UTF-8). The build runs
// it and embeds the file it writes.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "document_writer.h"
#include "technology.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

technology::ShapeScripts ReadShapeScripts(const std::filesystem::path& folder) {
  technology::ShapeScripts scripts;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".txt")
      scripts[entry.path().stem().string()] = ReadFile(entry.path());
  }
  return scripts;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tessary_techgen SCRIPTS_FOLDER OUTPUT_FILE\n";
    return 2;
  }
  try {
    const technology::ShapeScripts scripts = ReadShapeScripts(argv[1]);
    WriteFile(argv[2], technology::WriteTechnologyDocument(technology::SysmlTechnology(), scripts));
  } catch (const std::exception& error) {
    std::cerr << "tessary_techgen: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
