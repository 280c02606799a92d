// Reading and writing the text files the commands take and give.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace orba::cli {

// The whole regular file; throws CommandError naming the file when it cannot
// be read, is not a regular file (a device, a FIFO) or is too large.
std::string ReadTextFile(const std::string& path);

// Writes the file whole or not at all, keeping its permission bits; throws
// CommandError naming the file. A symbolic link is followed, so the file it
// points to is replaced, not the link; a device or pipe (/dev/stdout, a FIFO)
// is written to as it is.
void WriteTextFile(const std::string& path, const std::string& text);

// Throws CommandError when `output` names the same file as `input`: writing it
// would destroy what is being read.
void RefuseSameFile(const std::string& input, const std::string& output);

// A JSON document as the commands print it: indented by two, and any bytes
// that are not UTF-8 shown as U+FFFD rather than failing the whole output.
std::string JsonText(const nlohmann::ordered_json& document);

}  // namespace orba::cli
