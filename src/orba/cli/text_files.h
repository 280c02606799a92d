// Reading and writing the text files the commands take and give.
#pragma once

#include <string>

namespace orba::cli {

// The whole file; throws CommandError naming the file when it cannot be read.
std::string ReadTextFile(const std::string& path);

// Writes the file whole or not at all (a temporary file beside it, then a
// rename); throws CommandError naming the file.
void WriteTextFile(const std::string& path, const std::string& text);

}  // namespace orba::cli
