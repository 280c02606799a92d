// The mapping table of docs/xmi-mapping.md, one case per row
// (cases/mapping.txt): a small XMI model holding the row's UML item and
// stereotype application, and the host item it must become.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "orba/interchange/imported_model.h"
#include "orba/store/model_session.h"

namespace orba::interchange::testing {
namespace {

struct MappingRow {
  std::string row, application, xmi, collection, type, stereotype, metatype;
};

void PrintTo(const MappingRow& row, std::ostream* out) { *out << row.row; }

std::vector<MappingRow> ReadRows() {
  std::ifstream in(std::string(TESSARY_SOURCE_ROOT) + "/tests/orba/interchange/cases/mapping.txt");
  std::vector<MappingRow> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields = CaseFields(line);
    fields.resize(7);
    rows.push_back({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]});
  }
  return rows;
}

std::string ModelOf(const MappingRow& row) {
  std::string application;
  if (row.application != "-") {
    const size_t at = row.application.find('@');
    const std::string base = at == std::string::npos ? "x" : row.application.substr(at + 1);
    application =
        "<" + row.application.substr(0, at) + " xmi:id=\"app\" base_Element=\"" + base + "\"/>";
  }
  return R"(<?xml version="1.0"?>
<xmi:XMI xmlns:xmi="http://www.omg.org/spec/XMI/20131001"
    xmlns:uml="http://www.omg.org/spec/UML/20131001"
    xmlns:sysml="http://www.omg.org/spec/SysML/20150709/SysML"
    xmlns:p16="http://www.eclipse.org/papyrus/sysml/1.6/SysML/PortsAndFlows"
    xmlns:p11="http://www.papyrusuml.org/SysML/PortAndFlows/1"
    xmlns:p07="http://www.eclipse.org/papyrus/0.7.0/SysML/Constraints"
    xmlns:std="http://www.eclipse.org/uml2/schemas/Standard/1"
    xmlns:custom="http://example.org/custom">
<uml:Model xmi:id="m" name="M"><packagedElement xmi:type="uml:Class" xmi:id="a" name="A"/>
<packagedElement xmi:type="uml:Class" xmi:id="b" name="B"/>)" +
         row.xmi + "</uml:Model>" + application + "</xmi:XMI>";
}

class MappingTest : public ::testing::TestWithParam<MappingRow> {};

TEST_P(MappingTest, TheUmlItemAndItsStereotypeBecomeTheHostItemOfTheRow) {
  const MappingRow& row = GetParam();
  ImportedModel model(ModelOf(row), "mapping.xmi");
  std::string type, stereotype, metatype;
  if (row.collection == "elements") {
    const host::ElementPtr element = model.Element("x");
    type = element->Type();
    stereotype = element->Stereotype();
    metatype = element->Metatype();
  } else if (row.collection == "packages") {
    const host::ElementPtr element = model.Package("x")->Element();
    type = element->Type();
    stereotype = element->Stereotype();
    metatype = element->Metatype();
  } else if (row.collection == "connectors") {
    const host::ConnectorPtr connector = model.Connector("x");
    type = connector->Type();
    stereotype = connector->Stereotype();
  } else {
    store::Statement operation = model.Repository().Session().Db().Prepare(
        "SELECT Stereotype FROM t_operation JOIN orba_item_field ON Item_ID = OperationID "
        "WHERE Item_Kind = 'operation' AND Field = 'xmiId' AND Value = 'x'");
    ASSERT_TRUE(operation.Step()) << "no operation came from x";
    type = "Operation";
    stereotype = operation.Text(0);
  }
  EXPECT_EQ(type, row.type);
  EXPECT_EQ(stereotype, row.stereotype);
  EXPECT_EQ(metatype, row.metatype);
  for (const auto& [kind, skipped] : model.Report().skipped) {
    EXPECT_EQ(std::count(skipped.first_ids.begin(), skipped.first_ids.end(), "x"), 0) << kind;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, MappingTest, ::testing::ValuesIn(ReadRows()),
                         [](const auto& info) { return "row" + std::to_string(info.index); });

}  // namespace
}  // namespace orba::interchange::testing
