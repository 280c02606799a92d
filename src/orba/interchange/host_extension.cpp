#include "orba/interchange/host_extension.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/text.h"
#include "base/xml_escape.h"
#include "orba/interchange/xml_nodes.h"

namespace orba::interchange {
namespace {

using nlohmann::json;

constexpr std::string_view kExtender = "orba";

std::string Escaped(std::string_view text) {
  return base::EscapeXml(text, base::XmlEscaping::kAttribute);
}

bool IsRecordKind(std::string_view what) {
  return what == "tag" || what == "withoutTag" || what == "attribute" || what == "field";
}

}  // namespace

bool IsHostRecordField(std::string_view name) {
  static constexpr std::array<std::string_view, 8> kFields = {
      "stereotype", "metatype",     "multiplicity",       "type",
      "clientRole", "supplierRole", "clientMultiplicity", "supplierMultiplicity"};
  return std::find(kFields.begin(), kFields.end(), name) != kFields.end();
}

std::string HostExtensionXml(const std::vector<HostRecord>& records) {
  if (records.empty()) return "";
  std::string xml = "<xmi:Extension extender=\"" + std::string(kExtender) + "\">\n";
  for (const HostRecord& record : records) {
    xml += "<" + record.what + " element=\"" + Escaped(record.element) + "\" name=\"" +
           Escaped(record.name) + "\"";
    if (record.what != "withoutTag") xml += " value=\"" + Escaped(record.value) + "\"";
    xml += "/>\n";
  }
  return xml + "</xmi:Extension>\n";
}

bool IsHostExtension(const xmlNode* node) {
  return IsXmiExtension(node) && PlainAttribute(node, "extender") == kExtender;
}

std::vector<HostRecord> ReadHostRecords(const xmlNode* node, std::vector<std::string>& warnings) {
  std::vector<HostRecord> records;
  for (const xmlNode* child : ChildElements(node)) {
    HostRecord record{LocalName(child), PlainAttribute(child, "element").value_or(""),
                      PlainAttribute(child, "name").value_or(""),
                      PlainAttribute(child, "value").value_or("")};
    std::string problem;
    if (!IsRecordKind(record.what)) {
      problem = "a record <" + record.what + "> the import does not know";
    } else if (record.element.empty() || record.name.empty()) {
      problem = "a <" + record.what + "> without element or name";
    } else if (record.what == "field" && !IsHostRecordField(record.name)) {
      problem = "a <field> \"" + record.name + "\", which no record may set";
    }
    if (problem.empty()) {
      records.push_back(std::move(record));
    } else {
      warnings.push_back("orba's xmi:Extension, line " + std::to_string(xmlGetLineNo(child)) +
                         ": " + base::EscapeControlCharacters(problem) + "; left out");
    }
  }
  return records;
}

void ApplyHostRecord(const HostRecord& record, json& item) {
  if (record.what == "tag") {
    item["tags"].push_back({{"name", record.name}, {"value", record.value}});
  } else if (record.what == "withoutTag" && item.contains("tags")) {
    json kept = json::array();
    for (const json& tag : item["tags"]) {
      if (tag.value("name", std::string()) != record.name) kept.push_back(tag);
    }
    item["tags"] = std::move(kept);
  } else if (record.what == "attribute") {
    // An enumeration's literals come in as attributes without a type.
    if (item.value("umlKind", std::string()) == "Enumeration" && item.contains("attributes")) {
      for (json& attribute : item["attributes"]) {
        if (attribute.value("name", std::string()) == record.name &&
            attribute.value("type", std::string()).empty()) {
          attribute["type"] = record.value;
          return;
        }
      }
    }
    item["attributes"].push_back({{"name", record.name}, {"type", record.value}});
  } else if (record.what == "field") {
    if (record.value.empty()) {
      item.erase(record.name);
    } else {
      item[record.name] = record.value;
    }
  }
}

}  // namespace orba::interchange
