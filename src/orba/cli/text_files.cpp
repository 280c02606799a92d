#include "orba/cli/text_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "orba/cli/command.h"

namespace orba::cli {

std::string ReadTextFile(const std::string& path) {
  if (std::filesystem::is_directory(path)) throw CommandError("cannot read " + path + ": a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CommandError("cannot read " + path + ": " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteTextFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".writing-" + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())).flush()) {
      const std::string reason = std::strerror(errno);
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      throw CommandError("cannot write " + path + ": " + reason);
    }
  }
  std::error_code error;
  std::filesystem::rename(temp, path, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw CommandError("cannot write " + path + ": " + error.message());
  }
}

}  // namespace orba::cli
