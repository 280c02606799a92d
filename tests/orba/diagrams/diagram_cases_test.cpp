// The diagram module's cases that differ only in data: each file of cases/
// holds the inputs of one operation and what it answers (format at its top).
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

#include "example_technology.h"
#include "orba/diagrams/compartment_data.h"
#include "orba/diagrams/diagram_types.h"
#include "orba/diagrams/frame_text.h"
#include "support/case_lines.h"

namespace orba::diagrams {
namespace {

using Case = testing_support::CaseLine;

std::vector<Case> Cases() {
  return testing_support::ReadCaseLines(TESSARY_SOURCE_ROOT "/tests/orba/diagrams/cases",
                                        {"frames", "compartment_data"});
}

// The diagram types of the technology the built example model holds.
const std::map<std::string, DiagramType>& InstalledTypes() {
  static const std::map<std::string, DiagramType> types = [] {
    std::map<std::string, DiagramType> read;
    CollectDiagramTypes(ExampleTechnology(), read);
    return read;
  }();
  return types;
}

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  for (size_t start = 0;;) {
    const size_t bar = text.find(" | ", start);
    fields.push_back(text.substr(start, bar - start));
    if (bar == std::string::npos) return fields;
    start = bar + 3;
  }
}

std::string Frame(const std::string& input) {
  const std::vector<std::string> fields = Fields(input);
  auto found = InstalledTypes().find(fields.at(0));
  const DiagramType type =
      found == InstalledTypes().end() ? PlainDiagramType(fields[0]) : found->second;
  return FrameText(type.frame_string, type.frame_replace_list,
                   {type.diagram_id, type.alias, fields.at(1), fields.at(2), type.stereotype});
}

std::string Compartment(const std::string& input) {
  const std::optional<CompartmentData> data = ParseCompartmentData(input);
  if (!data) return "(none)";
  std::string text =
      data->name + " " + data->owner_guid + (data->skip_if_on_diagram ? " skip:" : ":");
  for (size_t row = 0; row < data->rows.size(); ++row) {
    text += (row == 0 ? " " : " | ") + data->rows[row].text;
    if (!data->rows[row].guid.empty()) text += data->rows[row].guid;
  }
  return text;
}

class DiagramCaseTest : public testing::TestWithParam<Case> {};

TEST_P(DiagramCaseTest, AnswersWhatTheCaseSays) {
  const Case& c = GetParam();
  std::string answer;
  try {
    answer = c.operation == "frames" ? Frame(c.input) : Compartment(c.input);
  } catch (const std::exception& error) {
    answer = error.what();
  }
  EXPECT_EQ(answer, c.answer);
}

INSTANTIATE_TEST_SUITE_P(Cases, DiagramCaseTest, testing::ValuesIn(Cases()), [](const auto& info) {
  return info.param.operation + "_" + info.param.name;
});

}  // namespace
}  // namespace orba::diagrams
