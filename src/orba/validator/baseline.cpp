#include "orba/validator/baseline.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "orba/validator/validation_output.h"

namespace orba::validator {
namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& origin, const std::string& problem) {
  throw std::runtime_error("cannot read the baseline " + origin + ": " + problem);
}

const json& Member(const json& object, const char* name, const std::string& origin,
                   json::value_t type) {
  if (!object.is_object() || !object.contains(name) || object[name].type() != type)
    Fail(origin, std::string("expected \"") + name + "\" of the right kind");
  return object[name];
}

void ReadSarif(const json& log, const std::string& origin,
               std::unordered_set<std::string>& fingerprints) {
  for (const json& run : Member(log, "runs", origin, json::value_t::array)) {
    for (const json& result : Member(run, "results", origin, json::value_t::array)) {
      const json& prints = Member(result, "partialFingerprints", origin, json::value_t::object);
      fingerprints.insert(Member(prints, "orbaFinding/v1", origin, json::value_t::string));
    }
  }
}

void ReadValidationJson(const json& document, const std::string& origin,
                        std::unordered_set<std::string>& fingerprints) {
  for (const json& violation : Member(document, "violations", origin, json::value_t::array)) {
    const json& item = Member(violation, "item", origin, json::value_t::object);
    fingerprints.insert(FindingFingerprint(
        Member(violation, "rule", origin, json::value_t::string).get<std::string>(),
        Member(item, "guid", origin, json::value_t::string).get<std::string>(),
        Member(violation, "message", origin, json::value_t::string).get<std::string>()));
  }
}

}  // namespace

Baseline Baseline::Parse(const std::string& text, const std::string& origin) {
  const json document = json::parse(text, nullptr, false);
  if (document.is_discarded()) Fail(origin, "it is not JSON");
  Baseline baseline;
  if (document.is_object() && document.contains("runs")) {
    ReadSarif(document, origin, baseline.fingerprints_);
  } else if (document.is_object() && document.contains("violations")) {
    ReadValidationJson(document, origin, baseline.fingerprints_);
  } else {
    Fail(origin, "it is neither a SARIF log nor the JSON of orba validate");
  }
  return baseline;
}

void Baseline::Mark(ValidationResult& result) const {
  for (Violation& violation : result.violations) {
    const bool known = fingerprints_.contains(
        FindingFingerprint(violation.rule, violation.item.guid, violation.message));
    violation.baseline = known ? BaselineState::kUnchanged : BaselineState::kNew;
  }
}

}  // namespace orba::validator
