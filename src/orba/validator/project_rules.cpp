#include "orba/validator/project_rules.h"

#include <algorithm>
#include <stdexcept>

#include "base/ini_file.h"
#include "base/text.h"

namespace orba::validator {
namespace {

constexpr char kFamilies[] = "families";
constexpr char kMessages[] = "messages";

[[noreturn]] void Fail(const std::string& origin, int line, const std::string& problem) {
  throw std::runtime_error(origin + ":" + std::to_string(line) + ": " + problem);
}

// The error type a level stands for.
int32_t LevelNamed(const std::string& level, const std::string& origin, int line) {
  if (level == "error") return 1;
  if (level == "warning") return 0;
  if (level == "note") return 2;
  if (level == "off") return -1;
  Fail(origin, line, "\"" + level + "\" is not a level (error, warning, note or off)");
}

}  // namespace

ProjectRules ProjectRules::Parse(const std::string& text, const std::string& origin) {
  ProjectRules rules;
  rules.origin_ = origin;
  for (const base::IniFile::Entry& entry : base::IniFile::Parse(text, origin).Entries()) {
    const Setting setting{LevelNamed(base::TrimSpaces(entry.value), origin, entry.line),
                          entry.line};
    if (base::AsciiLowerCase(entry.section) == kFamilies) {
      rules.families_[entry.key] = setting;
    } else if (base::AsciiLowerCase(entry.section) == kMessages) {
      rules.messages_[entry.key] = setting;
    } else {
      Fail(origin, entry.line, "a setting outside [families] and [messages]");
    }
  }
  return rules;
}

void ProjectRules::Apply(ValidationResult& result) const {
  for (const auto& family : families_) {
    const bool registered = std::ranges::any_of(
        result.rules, [&](const store::RegisteredRule& rule) { return rule.text == family.first; });
    if (!registered) {
      Fail(origin_, family.second.line, "no rule family \"" + family.first + "\" is registered");
    }
  }
  std::vector<Violation> kept;
  for (Violation& violation : result.violations) {
    int32_t level = violation.error_type;
    if (auto family = families_.find(violation.rule); family != families_.end())
      level = family->second.level;
    if (auto message = messages_.find(violation.message); message != messages_.end())
      level = message->second.level;
    if (level == kOff) continue;
    violation.error_type = level;
    kept.push_back(std::move(violation));
  }
  result.violations = std::move(kept);
}

}  // namespace orba::validator
