// Any text: the settings parser either refuses it with SettingsError or
// parses it; a parsed file written back parses again to the same values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ini_file.h"
#include "platform/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    platform::IniFile file = platform::IniFile::Parse(text, "fuzz.ini");
    const auto before = file.Get("Options", "Parts");
    file.Set("Options", "ShowAlways", "1");
    const platform::IniFile again = platform::IniFile::Parse(file.Text(), "rewritten.ini");
    if (again.Get("Options", "ShowAlways") != std::optional<std::string>("1")) __builtin_trap();
    if (again.Get("Options", "Parts") != before) __builtin_trap();
  } catch (const platform::SettingsError&) {
  }
  return 0;
}
