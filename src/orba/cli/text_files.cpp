#include "orba/cli/text_files.h"

#include <filesystem>

#include "base/files.h"
#include "orba/cli/command.h"

namespace orba::cli {

std::string ReadTextFile(const std::string& path) {
  return base::ReportedAs<CommandError>([&] {
    return base::ReadRegularFile(base::OperatingSystem(), path, "", base::kDocumentSizeLimit);
  });
}

void WriteTextFile(const std::string& path, const std::string& text) {
  base::ReportedAs<CommandError>([&] {
    base::WriteFileAtomically(base::OperatingSystem(), path, text, "", {.allow_streams = true});
  });
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
