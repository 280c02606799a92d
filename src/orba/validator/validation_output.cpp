#include "orba/validator/validation_output.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/guid.h"
#include "base/text.h"
#include "orba/validator/rule_help.h"

namespace orba::validator {
namespace {

using base::EscapeControlCharacters;
using nlohmann::ordered_json;

// `element "Car" {GUID} (Class) xmi:id _x1`; parts that are empty are left out.
std::string ItemLabel(const store::ItemRef& item) {
  std::string label = store::ItemKindName(item.kind);
  if (!item.name.empty()) label += " \"" + EscapeControlCharacters(item.name) + "\"";
  if (!item.guid.empty()) label += " " + EscapeControlCharacters(item.guid);
  if (!item.type.empty()) label += " (" + EscapeControlCharacters(item.type) + ")";
  if (!item.xmi_id.empty()) label += " xmi:id " + EscapeControlCharacters(item.xmi_id);
  return label;
}

// The violations of each item, items in the order of their first report.
std::vector<std::pair<store::ItemRef, std::vector<const Violation*>>> GroupByItem(
    const std::vector<Violation>& violations) {
  std::vector<std::pair<store::ItemRef, std::vector<const Violation*>>> groups;
  std::unordered_map<std::string, size_t> group_of;  // an item's fields, joined
  for (const Violation& violation : violations) {
    const store::ItemRef& item = violation.item;
    const std::string key = std::string(store::ItemKindName(item.kind)) + '\0' + item.guid + '\0' +
                            item.name + '\0' + item.type + '\0' + item.xmi_id;
    const auto [found, added] = group_of.emplace(key, groups.size());
    if (added) groups.push_back({item, {}});
    groups[found->second].second.push_back(&violation);
  }
  return groups;
}

// A level as a terminal shows it: red errors, yellow warnings, cyan notes.
std::string Coloured(const char* level) {
  const std::string_view name = level;
  const char* colour = name == "error" ? "31" : name == "warning" ? "33" : "36";
  return std::string("\033[") + colour + "m" + level + "\033[0m";
}

std::string Counted(size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void WriteFailuresText(const std::vector<Failure>& failures, std::ostream& out) {
  if (failures.empty()) return;
  out << "failures:\n";
  for (const Failure& failure : failures) {
    if (failure.item) {
      out << "  " << EscapeControlCharacters(failure.rule) << " on " << ItemLabel(*failure.item)
          << ": " << EscapeControlCharacters(failure.error) << "\n";
    } else {
      out << "  " << failure.operation << ": " << EscapeControlCharacters(failure.error) << "\n";
    }
  }
  out << "\n";
}

ordered_json ItemJson(const store::ItemRef& item) {
  ordered_json json = {{"kind", store::ItemKindName(item.kind)},
                       {"guid", item.guid},
                       {"name", item.name},
                       {"type", item.type}};
  if (!item.xmi_id.empty()) json["xmiId"] = item.xmi_id;
  return json;
}

// The first `digits` hex digits of a name-based hash of `text`: the same
// text always gives the same digits.
std::string HashOf(std::string_view text, size_t digits) {
  static constexpr base::GuidNamespace kFindings = {0x51, 0x0e, 0x7c, 0x2d, 0x93, 0x44, 0x4f, 0x18,
                                                    0xa6, 0x0b, 0x3e, 0x95, 0xc1, 0x72, 0xd8, 0x06};
  std::string hash;
  for (const char c : base::NameBasedGuid(kFindings, text)) {
    if (std::isxdigit(static_cast<unsigned char>(c))) hash += c;
  }
  return hash.substr(0, digits);
}

}  // namespace

std::string FamilyId(const std::string& family) {
  std::string id;
  bool word_start = true;
  for (const char c : family) {
    const bool alphanumeric = std::isalnum(static_cast<unsigned char>(c)) != 0;
    if (alphanumeric) id += word_start ? static_cast<char>(std::toupper(c)) : c;
    word_start = !alphanumeric;
  }
  return id.empty() ? "Rule" : id;
}

std::string MessageRuleId(const std::string& family, const std::string& message) {
  return FamilyId(family) + "/" + HashOf(family + "\n" + message, 8);
}

std::string FindingFingerprint(const std::string& family, const std::string& guid,
                               const std::string& message) {
  return HashOf(MessageRuleId(family, message) + "\n" + guid + "\n" + message, 32);
}

namespace {

// One reporting descriptor per message a rule family reported: the family
// names the rule in the add-in's registry, the message says what was checked.
struct MessageRule {
  std::string id;  // "FlowPortRules/1A2B3C4D"
  const Violation* first;
};

std::vector<MessageRule> MessageRules(const ValidationResult& result) {
  std::vector<MessageRule> rules;
  for (const Violation& violation : result.violations) {
    const std::string id = MessageRuleId(violation.rule, violation.message);
    if (std::ranges::find(rules, id, &MessageRule::id) == rules.end())
      rules.push_back({id, &violation});
  }
  return rules;
}

ordered_json SarifRule(const MessageRule& rule) {
  const Violation& violation = *rule.first;
  // The constraint explained when it is one of the SysML rules'; in any case
  // where it is checked and what else a team can do.
  std::string help = RuleHelp(violation.message);
  if (help.empty()) help = violation.message + ".";
  help += "\n\nChecked by the " + violation.rule + " of the " + violation.category +
          " on every element, package, connector and operation of the model. A team that "
          "decides to live with it can set it off or to another level in orba.ini, or keep it "
          "in a baseline.";
  return {{"id", rule.id},
          {"shortDescription", {{"text", violation.message}}},
          {"fullDescription", {{"text", violation.message + " (" + violation.rule + ")"}}},
          {"help", {{"text", help}}},
          {"defaultConfiguration", {{"level", LevelOf(violation.error_type)}}},
          {"properties", {{"tags", {violation.rule}}, {"category", violation.category}}}};
}

// Percent-escapes each byte of `path` a URI path cannot hold as it is.
std::string UriPath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      uri += c;
    } else {
      uri += {'%', kHex[byte >> 4], kHex[byte & 15]};
    }
  }
  return uri;
}

// The validated file as a URI: relative to the source root (uriBaseId
// SRCROOT, left for the reader to resolve, so that the log is the same from
// every checkout) when it is inside it, else absolute.
ordered_json ArtifactLocation(const SarifRun& run) {
  namespace fs = std::filesystem;
  const fs::path file = fs::absolute(run.artifact).lexically_normal();
  const fs::path relative =
      file.lexically_relative(fs::absolute(run.source_root).lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return {{"uri", "file://" + UriPath(file)}};
  return {{"uri", UriPath(relative)}, {"uriBaseId", "SRCROOT"}};
}

// `artifact`: ArtifactLocation of the run, made once for the whole log.
ordered_json SarifLocation(const ordered_json& artifact, const store::ItemRef& item,
                           const ItemPlace& place) {
  ordered_json physical = {{"artifactLocation", artifact}};
  physical["artifactLocation"]["index"] = 0;
  if (place.line > 0) {
    physical["region"] = {{"startLine", place.line}};
    if (place.column > 0) physical["region"]["startColumn"] = place.column;
  }
  const ordered_json logical = {
      {"name", item.name},
      {"fullyQualifiedName", place.qualified_name.empty() ? item.name : place.qualified_name},
      {"kind", store::ItemKindName(item.kind)},
      {"properties", {{"guid", item.guid}, {"type", item.type}}}};
  return {{"physicalLocation", physical}, {"logicalLocations", ordered_json::array({logical})}};
}

ordered_json SarifResult(const ordered_json& artifact, const std::vector<MessageRule>& rules,
                         const Violation& violation) {
  const std::string id = MessageRuleId(violation.rule, violation.message);
  const auto rule = std::ranges::find(rules, id, &MessageRule::id);
  const std::string fingerprint =
      FindingFingerprint(violation.rule, violation.item.guid, violation.message);
  ordered_json entry = {
      {"ruleId", id},
      {"ruleIndex", rule - rules.begin()},
      {"level", LevelOf(violation.error_type)},
      {"message", {{"text", violation.message}}},
      {"locations",
       ordered_json::array({SarifLocation(artifact, violation.item, violation.place)})},
      {"partialFingerprints", {{"orbaFinding/v1", fingerprint}}}};
  if (violation.baseline != BaselineState::kNoBaseline)
    entry["baselineState"] = violation.baseline == BaselineState::kNew ? "new" : "unchanged";
  entry["properties"] = {{"category", violation.category},
                         {"family", violation.rule},
                         {"errorType", violation.error_type}};
  return entry;
}

ordered_json SarifNotification(const ordered_json& artifact, const Failure& failure) {
  ordered_json notification = {{"level", "error"},
                               {"message", {{"text", failure.error}}},
                               {"properties", {{"operation", failure.operation}}}};
  if (!failure.rule.empty()) notification["associatedRule"] = {{"id", FamilyId(failure.rule)}};
  if (failure.item) {
    notification["locations"] =
        ordered_json::array({SarifLocation(artifact, *failure.item, failure.place)});
  }
  return notification;
}

}  // namespace

const char* LevelOf(int32_t error_type) {
  switch (error_type) {
    case 0: return "warning";
    case 1: return "error";
    default: return "note";
  }
}

bool UseColour(bool terminal, const char* no_color, const char* term) {
  const bool asked_not_to = no_color != nullptr && *no_color != '\0';
  const bool dumb = term != nullptr && std::string_view(term) == "dumb";
  return terminal && !asked_not_to && !dumb;
}

void WriteValidationText(const ValidationResult& result, std::ostream& out, bool colour) {
  const auto groups = GroupByItem(result.violations);
  for (const auto& [item, violations] : groups) {
    out << ItemLabel(item) << "\n";
    for (const Violation* violation : violations) {
      const char* level = LevelOf(violation->error_type);
      out << "  " << (colour ? Coloured(level) : level) << ": "
          << EscapeControlCharacters(violation->rule) << ": "
          << EscapeControlCharacters(violation->message)
          << (violation->baseline == BaselineState::kUnchanged ? " (unchanged)" : "") << "\n";
    }
    out << "\n";
  }
  WriteFailuresText(result.failures, out);
  out << Counted(result.violations.size(), "violation") << " on " << Counted(groups.size(), "item")
      << " (" << Counted(result.rules.size(), "rule") << " run on "
      << Counted(result.items_checked, "item") << ")";
  if (!result.failures.empty()) out << ", " << Counted(result.failures.size(), "failure");
  out << "\n";
}

ordered_json ValidationJson(const std::string& model, const ValidationResult& result) {
  ordered_json violations = ordered_json::array();
  for (const Violation& violation : result.violations) {
    violations.push_back({{"category", violation.category},
                          {"rule", violation.rule},
                          {"errorType", violation.error_type},
                          {"message", violation.message},
                          {"item", ItemJson(violation.item)}});
    if (violation.baseline != BaselineState::kNoBaseline) {
      violations.back()["baselineState"] =
          violation.baseline == BaselineState::kNew ? "new" : "unchanged";
    }
  }
  ordered_json failures = ordered_json::array();
  for (const Failure& failure : result.failures) {
    // "item" stays an object: an empty one when no item was being validated.
    failures.push_back({{"rule", failure.rule},
                        {"item", failure.item ? ItemJson(*failure.item) : ordered_json::object()},
                        {"error", failure.error},
                        {"operation", failure.operation}});
  }
  return {{"model", model}, {"violations", violations}, {"failures", failures}};
}

ordered_json ValidationSarif(const SarifRun& run, const ValidationResult& result) {
  const ordered_json location = ArtifactLocation(run);
  const std::vector<MessageRule> rules = MessageRules(result);
  ordered_json descriptors = ordered_json::array();
  for (const MessageRule& rule : rules) descriptors.push_back(SarifRule(rule));
  ordered_json results = ordered_json::array();
  for (const Violation& violation : result.violations)
    results.push_back(SarifResult(location, rules, violation));
  ordered_json notifications = ordered_json::array();
  for (const Failure& failure : result.failures)
    notifications.push_back(SarifNotification(location, failure));
  const ordered_json artifact = {{"location", location}};
  const ordered_json invocation = {{"executionSuccessful", result.failures.empty()},
                                   {"toolExecutionNotifications", notifications}};
  ordered_json driver = {{"name", "orba"}, {"version", run.tool_version}};
  if (!run.information_uri.empty()) driver["informationUri"] = run.information_uri;
  driver["rules"] = descriptors;
  const ordered_json sarif_run = {{"tool", {{"driver", driver}}},
                                  {"artifacts", ordered_json::array({artifact})},
                                  {"invocations", ordered_json::array({invocation})},
                                  {"columnKind", "unicodeCodePoints"},
                                  {"results", results}};
  return {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
          {"version", "2.1.0"},
          {"runs", ordered_json::array({sarif_run})}};
}

}  // namespace orba::validator
