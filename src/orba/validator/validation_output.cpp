#include "orba/validator/validation_output.h"

#include <algorithm>
#include <ostream>
#include <utility>
#include <vector>

#include "base/text.h"

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
  for (const Violation& violation : violations) {
    auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& candidate) {
      return candidate.first == violation.item;
    });
    if (group == groups.end()) group = groups.insert(groups.end(), {violation.item, {}});
    group->second.push_back(&violation);
  }
  return groups;
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

ordered_json SarifRules(const ValidationResult& result) {
  ordered_json rules = ordered_json::array();
  for (const store::RegisteredRule& rule : result.rules) {
    rules.push_back({{"id", rule.text},
                     {"shortDescription", {{"text", rule.text}}},
                     {"defaultConfiguration", {{"level", LevelOf(rule.error_type)}}}});
  }
  return rules;
}

// The index of the rule registered with `text`; -1 when none is.
int RuleIndex(const ValidationResult& result, const std::string& text) {
  for (size_t index = 0; index < result.rules.size(); ++index) {
    if (result.rules[index].text == text) return static_cast<int>(index);
  }
  return -1;
}

ordered_json SarifLocation(const store::ItemRef& item) {
  const ordered_json logical = {{"name", item.name},
                                {"fullyQualifiedName", item.guid},
                                {"kind", store::ItemKindName(item.kind)},
                                {"properties", {{"type", item.type}}}};
  return {{"physicalLocation", {{"artifactLocation", {{"index", 0}}}}},
          {"logicalLocations", ordered_json::array({logical})}};
}

ordered_json SarifResult(const ValidationResult& result, const Violation& violation) {
  ordered_json entry = {{"ruleId", violation.rule}};
  if (int index = RuleIndex(result, violation.rule); index >= 0) entry["ruleIndex"] = index;
  entry["level"] = LevelOf(violation.error_type);
  entry["message"] = {{"text", violation.message}};
  entry["locations"] = ordered_json::array({SarifLocation(violation.item)});
  entry["properties"] = {{"category", violation.category}, {"errorType", violation.error_type}};
  return entry;
}

ordered_json SarifNotification(const Failure& failure) {
  ordered_json notification = {{"level", "error"},
                               {"message", {{"text", failure.error}}},
                               {"properties", {{"operation", failure.operation}}}};
  if (!failure.rule.empty()) notification["associatedRule"] = {{"id", failure.rule}};
  if (failure.item) notification["locations"] = ordered_json::array({SarifLocation(*failure.item)});
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

void WriteValidationText(const ValidationResult& result, std::ostream& out) {
  const auto groups = GroupByItem(result.violations);
  for (const auto& [item, violations] : groups) {
    out << ItemLabel(item) << "\n";
    for (const Violation* violation : violations) {
      out << "  " << LevelOf(violation->error_type) << ": "
          << EscapeControlCharacters(violation->rule) << ": "
          << EscapeControlCharacters(violation->message) << "\n";
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

ordered_json ValidationSarif(const std::string& model, const ValidationResult& result) {
  ordered_json results = ordered_json::array();
  for (const Violation& violation : result.violations) {
    results.push_back(SarifResult(result, violation));
  }
  ordered_json notifications = ordered_json::array();
  for (const Failure& failure : result.failures)
    notifications.push_back(SarifNotification(failure));
  const ordered_json artifact = {{"location", {{"uri", model}}}};
  const ordered_json invocation = {{"executionSuccessful", result.failures.empty()},
                                   {"toolExecutionNotifications", notifications}};
  const ordered_json run = {
      {"tool", {{"driver", {{"name", "orba"}, {"rules", SarifRules(result)}}}}},
      {"artifacts", ordered_json::array({artifact})},
      {"invocations", ordered_json::array({invocation})},
      {"results", results}};
  return {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
          {"version", "2.1.0"},
          {"runs", ordered_json::array({run})}};
}

}  // namespace orba::validator
