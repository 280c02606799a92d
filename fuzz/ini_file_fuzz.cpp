// Any text: the settings parser either refuses it with IniError or
// parses it; a parsed file written back parses again to the same values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    base::IniFile file = base::IniFile::Parse(text, "fuzz.ini");
    const auto before = file.Get("Options", "Parts");
    file.Set("Options", "ShowAlways", "1");
    const base::IniFile again = base::IniFile::Parse(file.Text(), "rewritten.ini");
    if (again.Get("Options", "ShowAlways") != std::optional<std::string>("1")) __builtin_trap();
    if (again.Get("Options", "Parts") != before) __builtin_trap();
  } catch (const base::IniError&) {
  }
  return 0;
}
