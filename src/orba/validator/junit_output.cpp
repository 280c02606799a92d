#include "orba/validator/junit_output.h"

#include <array>
#include <ostream>
#include <vector>

#include "base/text.h"
#include "base/xml_escape.h"
#include "orba/validator/validation_output.h"

namespace orba::validator {
namespace {

using base::XmlEscaping;

constexpr std::array kItemKinds = {store::ItemKind::kElement, store::ItemKind::kPackage,
                                   store::ItemKind::kConnector, store::ItemKind::kOperation};

std::string Attribute(const std::string& text) {
  return base::EscapeXml(base::EscapeControlCharacters(text), XmlEscaping::kAttribute);
}

std::string Text(const std::string& text) {
  return base::EscapeXml(base::EscapeControlCharacters(text), XmlEscaping::kText);
}

// `element "Engine" {GUID} at car.json:12:5 (Model::Engine)`.
std::string Where(const std::string& model, const store::ItemRef& item, const ItemPlace& place) {
  std::string where = store::ItemKindName(item.kind);
  if (!item.name.empty()) where += " \"" + item.name + "\"";
  if (!item.guid.empty()) where += " " + item.guid;
  where += " at " + model;
  if (place.line > 0) where += ":" + std::to_string(place.line);
  if (place.column > 0) where += ":" + std::to_string(place.column);
  if (!place.qualified_name.empty()) where += " (" + place.qualified_name + ")";
  return where;
}

// What one test case (a family on one kind of item) holds.
struct TestCase {
  std::string name;
  std::vector<std::string> failures;  // written elements
  std::vector<std::string> errors;
  std::vector<std::string> unchanged;  // findings also in the baseline: listed, not failures
};

struct TestSuite {
  std::string name;
  std::string classname;
  std::vector<TestCase> cases;
};

TestSuite FamilySuite(const std::string& model, const store::RegisteredRule& rule,
                      const ValidationResult& result) {
  TestSuite suite{rule.text, "orba." + FamilyId(rule.text), {}};
  for (const store::ItemKind kind : kItemKinds) {
    TestCase test{std::string(store::ItemKindName(kind)) + "s", {}, {}, {}};
    for (const Violation& violation : result.violations) {
      if (violation.rule != rule.text || violation.item.kind != kind) continue;
      if (violation.baseline == BaselineState::kUnchanged) {
        test.unchanged.push_back(Text("unchanged: " + violation.message + ": " +
                                      Where(model, violation.item, violation.place)));
        continue;
      }
      test.failures.push_back("<failure message=\"" + Attribute(violation.message) + "\" type=\"" +
                              LevelOf(violation.error_type) + "\">" +
                              Text(Where(model, violation.item, violation.place)) + "</failure>");
    }
    for (const Failure& failure : result.failures) {
      if (failure.rule != rule.text || !failure.item || failure.item->kind != kind) continue;
      test.errors.push_back("<error message=\"" + Attribute(failure.error) + "\" type=\"" +
                            Attribute(failure.operation) + "\">" +
                            Text(Where(model, *failure.item, failure.place)) + "</error>");
    }
    suite.cases.push_back(std::move(test));
  }
  return suite;
}

// Failures outside any rule's test case: while connecting, registering, or
// with no item.
TestSuite HostSuite(const ValidationResult& result) {
  TestSuite suite{"orba", "orba", {{"add-in operations", {}, {}, {}}}};
  for (const Failure& failure : result.failures) {
    if (!failure.rule.empty() && failure.item) continue;
    suite.cases[0].errors.push_back("<error message=\"" + Attribute(failure.error) + "\" type=\"" +
                                    Attribute(failure.operation) + "\"/>");
  }
  return suite;
}

size_t CountIf(const std::vector<TestCase>& cases, bool (*test)(const TestCase&)) {
  size_t count = 0;
  for (const TestCase& test_case : cases) count += test(test_case) ? 1 : 0;
  return count;
}

bool Failed(const TestCase& test) { return !test.failures.empty() && test.errors.empty(); }
bool Errored(const TestCase& test) { return !test.errors.empty(); }

void WriteSuite(const TestSuite& suite, std::ostream& out) {
  out << "  <testsuite name=\"" << Attribute(suite.name) << "\" tests=\"" << suite.cases.size()
      << "\" failures=\"" << CountIf(suite.cases, Failed) << "\" errors=\""
      << CountIf(suite.cases, Errored) << "\">\n";
  for (const TestCase& test : suite.cases) {
    out << "    <testcase name=\"" << Attribute(test.name) << "\" classname=\""
        << Attribute(suite.classname) << "\"";
    if (test.failures.empty() && test.errors.empty() && test.unchanged.empty()) {
      out << "/>\n";
      continue;
    }
    out << ">\n";
    for (const std::string& element : test.errors) out << "      " << element << "\n";
    for (const std::string& element : test.failures) out << "      " << element << "\n";
    if (!test.unchanged.empty()) {
      out << "      <system-out>";
      for (const std::string& line : test.unchanged) out << line << "\n";
      out << "</system-out>\n";
    }
    out << "    </testcase>\n";
  }
  out << "  </testsuite>\n";
}

}  // namespace

void WriteValidationJunit(const std::string& model, const ValidationResult& result,
                          std::ostream& out) {
  std::vector<TestSuite> suites;
  for (const store::RegisteredRule& rule : result.rules)
    suites.push_back(FamilySuite(model, rule, result));
  suites.push_back(HostSuite(result));
  size_t tests = 0, failures = 0, errors = 0;
  for (const TestSuite& suite : suites) {
    tests += suite.cases.size();
    failures += CountIf(suite.cases, Failed);
    errors += CountIf(suite.cases, Errored);
  }
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<testsuites name=\"" << Attribute("orba validate " + model) << "\" tests=\"" << tests
      << "\" failures=\"" << failures << "\" errors=\"" << errors << "\">\n";
  for (const TestSuite& suite : suites) WriteSuite(suite, out);
  out << "</testsuites>\n";
}

}  // namespace orba::validator
