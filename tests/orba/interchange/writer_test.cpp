// The XMI writer on documents it must refuse: each case of
// cases/export_errors.txt is a JSON model document and the error it gives.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "orba/interchange/xmi_writer.h"

namespace orba::interchange {
namespace {

TEST(XmiWriter, RefusesADocumentItCannotWriteNamingThePlace) {
  std::ifstream in(std::string(TESSARY_SOURCE_ROOT) +
                   "/tests/orba/interchange/cases/export_errors.txt");
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
