// Rule cases kept as data: each case builds a small model, runs rule events
// and states the reports it expects. Case files hold them:
//
//   # a comment line
//   model NAME                   items shared by cases, indented below
//   case TITLE                   one case, its lines indented below
//     use NAME                   the items of a model
//     package KEY [FIELD=VALUE ...]
//     element KEY TYPE [FIELD=VALUE ...]
//     connector KEY TYPE CLIENT SUPPLIER [FIELD=VALUE ...]
//     hide KEY                   the host answers nothing for this element,
//                                looked up by id or by GUID
//     fail NAME [N]              the N-th host call of NAME fails (default 1)
//     run RULE element|package|connector KEY
//     run RULE method GUID OWNER
//     expect [throws] REPORT ... the reports of the case so far, in order
//                                ("none" for none); "throws": the last
//                                event failed
//     calls NAME COUNT           the events so far made COUNT host calls of
//                                NAME ("*": of any name)
//     faults                     the case up to here again, once for each
//                                host call of its last event, with that call
//                                failing: the event fails and keeps exactly
//                                the reports made before that call
//   where COLUMN ...             the case once per row below, with {COLUMN}
//     VALUE ...                  replaced by the row's value ("-": empty)
//
// RULE is a local rule id, or =ID for the host rule id ID as it is. A report
// is MESSAGE, RULE:MESSAGE or RULE:MESSAGE/ERRORTYPE; the words after expect
// may be joined by commas. A FIELD=VALUE whose value is "~" is left out, and
// so is an item or hide line whose KEY is "~"; KEY*N stands for N items, KEY1
// to KEYN. tag.NAME=VALUE adds a tagged value. Values are text ("..." may
// hold spaces), but JSON for clientAggregation, supplierAggregation and
// values starting with [. Elements are named after their key and go into the
// root package. A model may hold {COLUMN} too, for the case that uses it.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace rules_test {

struct RuleCase {
  std::string file;                                  // the case file's name
  int line = 0;                                      // where the case starts
  int row = 0;                                       // 1, 2, ... for the rows of a table, else 0
  std::string title;                                 // with the row's values for a case of a table
  std::vector<std::vector<std::string>> statements;  // tokens per line
};

// Every case of a case file, tables expanded; throws std::runtime_error
// naming the file and line of a malformed one.
std::vector<RuleCase> ReadRuleCases(const std::filesystem::path& file);

void PrintTo(const RuleCase& rule_case, std::ostream* out);

}  // namespace rules_test
