// A project's decisions about the rules, kept beside its model in orba.ini
// (or named with `orba validate --config FILE`): rule families or single
// messages switched off, or reported at another level. Real models trip
// rules their teams have decided to live with.
//
//   [families]
//   Flow Port rules = off
//   Viewpoint rules = error
//   [messages]
//   A viewpoint must be abstract = note
//
// Levels: error, warning, note, off. A message's own line wins over its family's.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "orba/validator/validator.h"

namespace orba::validator {

class ProjectRules {
 public:
  // Throws std::runtime_error naming `origin` and the line for a line that
  // is not INI, a level that is none of the four, or a section other than
  // [families] and [messages].
  static ProjectRules Parse(const std::string& text, const std::string& origin);

  // Drops the violations switched off and sets the level of the others as
  // the project says. Throws naming `origin` and the line when a family the
  // file names is not one the add-in registered (a typo would switch nothing off).
  void Apply(ValidationResult& result) const;

 private:
  struct Setting {
    int32_t level;  // an error type: 1 error, 0 warning, 2 note; kOff
    int line;
  };
  static constexpr int32_t kOff = -1;

  std::string origin_;
  std::map<std::string, Setting> families_;
  std::map<std::string, Setting> messages_;
};

}  // namespace orba::validator
