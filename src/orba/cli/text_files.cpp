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

namespace {

[[noreturn]] void FailToWrite(const std::string& path, const std::string& reason) {
  throw CommandError("cannot write " + path + ": " + reason);
}

// Devices and pipes cannot be replaced by a rename; they take the text as it comes.
void WriteStraight(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())).flush()) {
    FailToWrite(path, std::strerror(errno));
  }
}

}  // namespace

void WriteTextFile(const std::string& path, const std::string& text) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::is_symlink(path, error)
                                           ? std::filesystem::weakly_canonical(path, error)
                                           : std::filesystem::path(path);
  const auto status = std::filesystem::status(target, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    if (std::filesystem::is_directory(status)) FailToWrite(path, "a folder");
    return WriteStraight(target.string(), text);
  }
  const std::string temp = target.string() + ".writing-" + std::to_string(getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())).flush()) {
      const std::string reason = std::strerror(errno);
      std::filesystem::remove(temp, error);
      FailToWrite(path, reason);
    }
  }
  std::filesystem::rename(temp, target, error);
  if (error) {
    const std::string reason = error.message();
    std::filesystem::remove(temp, error);
    FailToWrite(path, reason);
  }
}

void RefuseSameFile(const std::string& input, const std::string& output) {
  std::error_code error;
  if (std::filesystem::equivalent(input, output, error)) {
    throw CommandError("cannot write " + output + ": it is the file being read, " + input);
  }
}

std::string JsonText(const nlohmann::ordered_json& document) {
  return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace orba::cli
