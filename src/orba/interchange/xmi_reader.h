// Reads a SysML 1.x model from an XMI file, as other tools write them, into a
// JSON model document (the format of `orba import`), which the store then
// writes in one transaction. The document lists the SysML technology, so the
// host derives metatypes from the stereotypes as for a model built in it.
#pragma once

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "orba/interchange/import_report.h"
#include "orba/interchange/xmi_error.h"

namespace orba::interchange {

struct XmiOptions {
  // Stereotypes of custom profiles that specialise SysML ones, when the
  // profile is not at hand: "Name" or "{namespace URI}Name" -> SysML
  // stereotype name ("Block", "Requirement", ...).
  std::map<std::string, std::string> stereotype_map;
  // Reads a file that an href names (resolved against the importing file's
  // folder); nullopt when it cannot be read. Unset: hrefs into other files
  // are never followed.
  std::function<std::optional<std::string>(const std::string& path)> read_file;
};

struct XmiImport {
  nlohmann::json document;  // a JSON model document
  ImportReport report;
};

// Whether `text` is XML (the first character after blanks and a byte order
// mark is "<") rather than a JSON document.
bool LooksLikeXml(std::string_view text);

// Reads the XMI text of the file at `path` (the path names the report's
// source, resolves relative hrefs and seeds the GUIDs, which come from the
// file's name and each xmi:id, so that importing a file twice gives the same
// GUIDs). Throws XmiError.
XmiImport ReadXmi(std::string_view text, const std::string& path, const XmiOptions& options);

// Reads a stereotype map: one "NAME = SYSML" per line ("#" starts a comment;
// NAME may be "{namespace URI}Name"). Throws XmiError naming `path` and the line.
std::map<std::string, std::string> ReadStereotypeMap(std::string_view text,
                                                     const std::string& path);

}  // namespace orba::interchange
