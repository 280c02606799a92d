#include "orba/shape_script/technology_scripts.h"

#include <zip.h>

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <stdexcept>

#include "base/utf8.h"
#include "orba/shape_script/syntax.h"

namespace orba::shape_script {
namespace {

constexpr const char* kScriptMember = "str.dat";

// The bytes of standard Base64 text; blanks and line breaks are skipped.
std::string DecodeBase64(std::string_view text) {
  static constexpr std::string_view kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  uint32_t bits = 0;
  int bit_count = 0;
  size_t digits = 0;
  size_t padding = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    const size_t value = kDigits.find(c);
    if (c == '=') {
      ++padding;
    } else if (value == std::string_view::npos || padding > 0) {
      throw std::runtime_error("bad Base64: \"" + std::string(1, c) + "\" at offset " +
                               std::to_string(at));
    } else {
      ++digits;
      bits = (bits << 6 | static_cast<uint32_t>(value)) & 0xFFFF;
      bit_count += 6;
      if (bit_count >= 8) {
        bit_count -= 8;
        bytes += static_cast<char>(bits >> bit_count & 0xFF);
      }
    }
  }
  if ((digits + padding) % 4 != 0 || padding > 2) {
    throw std::runtime_error("bad Base64: the text ends within a group of four characters");
  }
  return bytes;
}

// The member `name` of the ZIP archive `archive`.
std::string UnzippedMember(const std::string& archive, const char* name) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
  zip_t* opened = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
  if (opened == nullptr) {
    const std::string reason = zip_error_strerror(&error);
    zip_source_free(source);
    zip_error_fini(&error);
    throw std::runtime_error("not a ZIP archive (" + reason + ")");
  }
  const std::unique_ptr<zip_t, decltype(&zip_discard)> zip(opened, zip_discard);
  zip_stat_t stat;
  if (zip_stat(zip.get(), name, 0, &stat) != 0) {
    throw std::runtime_error("the archive holds no " + std::string(name));
  }
  const std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
      zip_fopen_index(zip.get(), stat.index, 0), zip_fclose);
  std::string bytes(stat.size, '\0');
  if (file == nullptr ||
      zip_fread(file.get(), bytes.data(), bytes.size()) != static_cast<zip_int64_t>(bytes.size())) {
    throw std::runtime_error(std::string(name) + " cannot be read (" + zip_strerror(zip.get()) +
                             ")");
  }
  return bytes;
}

std::string Utf8FromUtf16Le(std::string_view bytes) {
  if (bytes.size() % 2 != 0) {
    throw std::runtime_error(std::string(kScriptMember) + " has an odd number of bytes (" +
                             std::to_string(bytes.size()) + "), so it is not UTF-16");
  }
  const auto unit_at = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
  };
  std::string text;
  for (size_t at = 0; at < bytes.size(); at += 2) {
    uint32_t unit = unit_at(at);
    const bool high = unit >= 0xD800 && unit < 0xDC00;
    const uint32_t low = high && at + 2 < bytes.size() ? unit_at(at + 2) : 0;
    if (high && low >= 0xDC00 && low < 0xE000) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    } else if (unit >= 0xD800 && unit < 0xE000) {
      throw std::runtime_error(std::string(kScriptMember) + " has an unpaired surrogate at byte " +
                               std::to_string(at));
    }
    base::AppendUtf8(text, unit);
  }
  return text;
}

std::string ScriptOf(std::string_view payload) {
  return Utf8FromUtf16Le(UnzippedMember(DecodeBase64(payload), kScriptMember));
}

}  // namespace

std::map<std::string, std::string> ShapeScriptsOf(std::string_view technology_document) {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed =
      document.load_buffer(technology_document.data(), technology_document.size());
  if (!parsed) {
    throw ShapeScriptError(std::string("the technology document is not XML (") +
                           parsed.description() + " at offset " + std::to_string(parsed.offset) +
                           ")");
  }
  std::map<std::string, std::string> scripts;
  for (const pugi::xpath_node& found :
       document.select_nodes("//Stereotype/Image[@type='OrbaShapeScript 1.0']")) {
    const std::string stereotype = found.node().parent().attribute("name").value();
    const std::string prefix = "shape script of " + stereotype + ": ";
    if (scripts.contains(stereotype)) {
      throw ShapeScriptError(prefix + "the stereotype has a second shape script");
    }
    try {
      scripts.emplace(stereotype, ScriptOf(found.node().child_value()));
    } catch (const std::runtime_error& problem) {
      throw ShapeScriptError(prefix + problem.what());
    }
  }
  return scripts;
}

}  // namespace orba::shape_script
