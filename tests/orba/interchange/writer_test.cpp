// The XMI writer on small documents: what it writes and says it loses
// (cases/export_cases.txt, its format at its top), and the documents it
// refuses (cases/export_errors.txt: DOCUMENT => MESSAGE).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "orba/interchange/xmi_writer.h"

namespace orba::interchange {
namespace {

const std::string kCases = std::string(TESSARY_SOURCE_ROOT) + "/tests/orba/interchange/cases/";

struct ExportCase {
  std::string name;
  std::string document;
  std::vector<std::pair<std::string, std::string>> checks;  // (has|lacks|lost, TEXT)
};

void PrintTo(const ExportCase& test_case, std::ostream* out) { *out << test_case.name; }

std::vector<ExportCase> ReadExportCases() {
  std::ifstream in(kCases + "export_cases.txt");
  std::vector<ExportCase> cases;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("== ")) {
      cases.push_back({line.substr(3), "", {}});
    } else if (!cases.empty() && cases.back().document.empty()) {
      cases.back().document = line;
    } else if (!cases.empty()) {
      const size_t space = line.find(' ');
      cases.back().checks.emplace_back(line.substr(0, space), line.substr(space + 1));
    }
  }
  return cases;
}

class ExportCaseTest : public ::testing::TestWithParam<ExportCase> {};

TEST_P(ExportCaseTest, WritesTheDocumentAndSaysWhatTheImportWillNotReadBack) {
  const XmiExport exported = WriteXmi(nlohmann::json::parse(GetParam().document));
  for (const auto& [check, text] : GetParam().checks) {
    if (check == "has") {
      EXPECT_NE(exported.text.find(text), std::string::npos) << text << "\n" << exported.text;
    } else if (check == "lacks") {
      EXPECT_EQ(exported.text.find(text), std::string::npos) << text;
    } else if (check == "lost") {
      EXPECT_NE(std::find(exported.not_carried.begin(), exported.not_carried.end(), text),
                exported.not_carried.end())
          << text << "\n"
          << ::testing::PrintToString(exported.not_carried);
    } else {
      ADD_FAILURE() << "unknown check " << check;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ExportCaseTest, ::testing::ValuesIn(ReadExportCases()),
                         [](const auto& info) { return info.param.name; });

TEST(XmiWriter, RefusesADocumentItCannotWriteNamingThePlace) {
  std::ifstream in(kCases + "export_errors.txt");
  ASSERT_TRUE(in);
  int cases = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t arrow = line.find(" => ");
    if (line.empty() || line[0] == '#' || arrow == std::string::npos) continue;
    ++cases;
    const std::string document = line.substr(0, arrow);
    const std::string expected = line.substr(arrow + 4);
    try {
      WriteXmi(nlohmann::json::parse(document));
      ADD_FAILURE() << "written: " << document;
    } catch (const XmiError& error) {
      EXPECT_EQ(error.what(), expected) << document;
    }
  }
  EXPECT_GT(cases, 0);
}

}  // namespace
}  // namespace orba::interchange
