// The compartments the add-in offers, and the rows it gives for each.
#include "compartments/compartments.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/scripted_host.h"
#include "support/test_model.h"
#include "support/test_platform.h"

namespace compartments {
namespace {

using testing_support::ScriptedHost;
using testing_support::TestModel;

// The answer for a compartment with rows of these texts; "" when there are none.
std::string Answer(const std::string& compartment, const std::string& owner,
                   const std::vector<std::string>& rows) {
  std::string data;
  for (const std::string& row : rows) data += "Data&_eq_^" + row + "&_sc_^,";
  return rows.empty() ? ""
                      : "Name=" + compartment + ";OwnerGUID=" + owner +
                            ";Options=SkipIfOnDiagram&_eq_^1&_sc_^CompartmentData=" + data + ";";
}

// The row text of an owned item.
std::string Item(const std::string& name, const std::string& guid) {
  return name + "&_sc_^GUID&_eq_^" + guid;
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// ---- The compartments offered ----

TEST(AvailableCompartmentsTest, OffersTheCompartmentsSwitchedOnInTableOrder) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"Parts=0;FlowPorts=0;ShowCompartmentRequirements=0", ""},
      {"ShowCompartmentRequirements=1;AllocatedFrom=1;AllocatedTo=1;Parameters=1;FlowPorts=1;Parts=1",
       "parts,flow ports,parameters,allocatedTo,allocatedFrom,requirements"},
      {"Parts=2;FlowPorts=-1;Parameters=1", "parameters"},                                 // only 1 counts
      {"Parts= 1;FlowPorts=1.0;Parameters=1.5;AllocatedTo=0.5", "parts,flow ports"},  // whole numbers
      {"Part=1;Requirements=1", ""}};  // other keys are not read
  // clang-format on
  for (const auto& [stored, offered] : cases) {
    testing_support::MemorySettingsStore settings;
    settings.SetOptions(stored);
    EXPECT_EQ(AvailableCompartments(settings), offered) << stored;
  }
}

// ---- Owned-item compartments ----

constexpr char kBlocks[] = R"({
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "car", "package": "root", "type": "Class", "name": "Car", "metatype": "Block"},
    {"key": "wheel", "package": "root", "parent": "car", "type": "Part", "name": "wheel",
     "metatype": "BlockProperty"},
    {"key": "hub", "package": "root", "parent": "wheel", "type": "Part", "name": "hub",
     "metatype": "BlockProperty"},
    {"key": "inlet", "package": "root", "parent": "car", "type": "Port", "name": "fuel in",
     "metatype": "FlowPort"},
    {"key": "axle", "package": "root", "parent": "car", "type": "Part", "name": "axle",
     "metatype": "BlockProperty"},
    {"key": "mass", "package": "root", "parent": "car", "type": "Part", "name": "m",
     "metatype": "InternalProperty"},
    {"key": "odd", "package": "root", "type": "Class", "name": "Odd", "metatype": "Block"},
    {"key": "oddPart", "package": "root", "parent": "odd", "type": "Part", "name": "a;b=c,d",
     "metatype": "BlockProperty"},
    {"key": "empty", "package": "root", "type": "Class", "name": "Empty", "metatype": "Block"},
    {"key": "loose", "package": "root", "type": "Part", "name": "loose", "metatype": "BlockProperty"},
    {"key": "req", "package": "root", "type": "Requirement", "name": "R", "notes": "n",
     "metatype": "Requirement", "tags": [{"name": "Id", "value": "R-9"}, {"name": "risk", "value": "r"}]}
  ]})";

// Each kind lists the direct children of its metatype in host order, their
// names unescaped; other compartments have no rows for a block.
TEST(OwnedItemsTest, ListTheDirectChildrenOfTheirMetatypeInTheModelOrTheHostsDocument) {
  const TestModel model(kBlocks);
  struct Case {
    const char* compartment;
    const char* owner;
    std::vector<const char*> items;
  };
  // clang-format off
  const Case cases[] = {
      {"parts", "car", {"wheel", "axle"}}, {"flow ports", "car", {"inlet"}}, {"parameters", "car", {"mass"}},
      {"parts", "wheel", {"hub"}},         {"parts", "odd", {"oddPart"}},    {"parts", "empty", {}},
      {"parameters", "loose", {}},         {"allocatedTo", "car", {}},       {"allocatedFrom", "car", {}},
      {"requirements", "car", {}},         {"Parts", "car", {}},             {"parts ", "car", {}}};
  // clang-format on
  for (const Case& c : cases) {
    std::vector<std::string> rows;
    for (const char* key : c.items)
      rows.push_back(Item(model.Element(key)->Name(), model.ElementGuid(key)));
    const std::string owner = model.ElementGuid(c.owner);
    EXPECT_EQ(CompartmentData(*model.Repository(), c.compartment, owner),
              Answer(c.compartment, owner, rows))
        << c.compartment << " of " << c.owner;
  }
  EXPECT_EQ(CompartmentData(*model.Repository(), "parts", "{no such element}"), "");
  // Given the host's document, only the direct children of its first ModelItem
  // count, all of them complete.
  ScriptedHost host(model.Repository());
  // clang-format off
  const std::pair<std::string, std::vector<std::string>> documents[] = {
      {R"(<Doc><ModelItem Name="Car" GUID="{E}" Metatype="Block">)"
       R"(<ModelItem Name="p1" GUID="{1}" Metatype="BlockProperty">)"
       R"(<ModelItem Name="nested" GUID="{2}" Metatype="BlockProperty"/></ModelItem>)"
       R"(<Other><ModelItem Name="elsewhere" GUID="{3}" Metatype="BlockProperty"/></Other>)"
       R"(<ModelItem Name="p2" GUID="{4}" Metatype="blockproperty"/></ModelItem>)"
       R"(<ModelItem Name="second" GUID="{5}" Metatype="BlockProperty"/></Doc>)", {Item("p1", "{1}")}},
      // A part without GUID or name empties the whole answer; other kinds do not matter.
      {R"(<ModelItem GUID="{E}"><ModelItem Name="a" GUID="{A}" Metatype="BlockProperty"/>)"
       R"(<ModelItem Name="b" Metatype="BlockProperty"/></ModelItem>)", {}},
      {R"(<ModelItem GUID="{E}"><ModelItem GUID="{A}" Metatype="BlockProperty"/>)"
       R"(<ModelItem Name="b" GUID="{B}" Metatype="BlockProperty"/></ModelItem>)", {}},
      {R"(<ModelItem><ModelItem Metatype="FlowPort"/><ModelItem Name="" GUID="" Metatype="BlockProperty"/>)"
       R"(</ModelItem>)", {Item("", "")}},
      {"not xml", {}},
      {R"(<Item><Item Name="a" GUID="{A}" Metatype="BlockProperty"/></Item>)", {}}};
  // clang-format on
  for (const auto& [document, rows] : documents) {
    host.Plan().Answer("Repository.GetModelItemXml", document);
    EXPECT_EQ(CompartmentData(host, "parts", "{E}"), Answer("parts", "{E}", rows)) << document;
  }
  // A requirement is looked up by the GUID in the host's document, not the one
  // asked for. (Failing host calls: tests/addin/cases/failures.txt.)
  const std::string guid = model.ElementGuid("req");
  host.Plan().Answer("Repository.GetModelItemXml",
                     R"(<ModelItem Name="R" GUID=")" + guid + R"(" Metatype="Requirement"/>)");
  EXPECT_EQ(CompartmentData(host, "requirements", "{AS GIVEN}"),
            Answer("requirements", "{AS GIVEN}", {"Id: R-9", "Text: n", "Risk: r"}));
  EXPECT_EQ(host.Plan().LastArgument("Repository.GetModelItemXml"), "{AS GIVEN}");
  EXPECT_EQ(host.Plan().LastArgument("Repository.GetElementByGUID"), guid);
  host.Plan().FailOn("Repository.GetElementByGUID",
                     host.Plan().CountOf("Repository.GetElementByGUID") + 1);
  EXPECT_EQ(CompartmentData(host, "requirements", "{E}"), "");
  for (const char* unknown : {R"(<ModelItem GUID="{unknown}" Metatype="Requirement"/>)",
                              R"(<ModelItem Metatype="Requirement"/>)"}) {
    host.Plan().Answer("Repository.GetModelItemXml", unknown);
    EXPECT_EQ(CompartmentData(host, "requirements", "{unknown}"), "") << unknown;
  }
}

// ---- The requirements compartment ----

using Tags = std::vector<std::pair<std::string, std::string>>;

// A model holding one element "req" with the given metatype, notes and tags.
std::string RequirementModel(const std::string& metatype, const std::string& notes,
                             const Tags& tags) {
  nlohmann::json req = {
      {"key", "req"},   {"package", "root"},    {"type", "Requirement"},          {"name", "R"},
      {"notes", notes}, {"metatype", metatype}, {"tags", nlohmann::json::array()}};
  for (const auto& [name, value] : tags) req["tags"].push_back({{"name", name}, {"value", value}});
  return nlohmann::json{{"packages", {{{"key", "root"}, {"name", "Model"}}}}, {"elements", {req}}}
      .dump();
}

// Rows of id, notes and tags in label order; tag names matched with their
// case, values escaped in strip mode and empty ones left out; the escaped
// notes cut to 47 wide characters and "..." when longer than 50.
TEST(RequirementsTest, GiveTheRowsOfTheIdNotesAndTagsOfARequirement) {
  struct Case {
    std::string metatype, notes;
    Tags tags;
    std::vector<std::string> rows;  // none: the empty answer
  };
  const Tags low = {{"risk", "Low"}};
  const std::string a = "a", u = "ü", e = "é", clef = "𝄞";
  // clang-format off
  const Case cases[] = {
      {"Requirement", "Brake.", {{"verifyMethod", "Test"}, {"source", "Customer"}, {"risk", "High"}, {"Id", "R-1"}},
       {"Id: R-1", "Text: Brake.", "Risk: High", "Source: Customer", "VerifyMethod: Test"}},
      {"FunctionalRequirement", "", low, {"Risk: Low"}}, {"requirement", "n", low, {}},
      {"Requirements", "n", low, {}}, {"Block", "n", low, {}}, {"", "n", low, {}},
      {"Requirement", "", {{"ID", "1"}, {"Risk", "High"}, {"Source", "s"}, {"VerifyMethod", "v"}, {"id", "2"}}, {}},
      {"Requirement", "", {{"Id", "A,B=C;"}, {"risk", "=;"}, {"source", ""}, {"verifyMethod", "x=1"}},
       {"Id: A&_c_^BC", "VerifyMethod: x1"}},
      {"Requirement", "", {{"risk", "Low"}, {"risk", "High"}}, {"Risk: Low"}},  // the first tag counts
      {"Requirement", "=;", {}, {"Text: "}},
      {"Requirement", "", {}, {}},
      {"Requirement", Repeat(a, 50), {}, {"Text: " + Repeat(a, 50)}},
      {"Requirement", Repeat(a, 51), {}, {"Text: " + Repeat(a, 47) + "..."}},
      {"Requirement", Repeat(a, 45) + ",", {}, {"Text: " + Repeat(a, 45) + "&_c_^"}},
      {"Requirement", Repeat(a, 46) + ",", {}, {"Text: " + Repeat(a, 46) + "&..."}},  // cut inside the escape
      {"Requirement", Repeat(",", 11), {}, {"Text: " + Repeat("&_c_^", 9) + "&_..."}},
      {"Requirement", "x=;" + Repeat("b", 49), {}, {"Text: x" + Repeat("b", 49)}},  // stripped ones do not count
      {"Requirement", Repeat(e, 50), {}, {"Text: " + Repeat(e, 50)}},
      {"Requirement", Repeat(e, 51), {}, {"Text: " + Repeat(e, 47) + "..."}},
      // A four-byte character counts twice; one straddling the cut is left out.
      {"Requirement", Repeat(u, 48) + clef, {}, {"Text: " + Repeat(u, 48) + clef}},
      {"Requirement", Repeat(u, 48) + "€" + clef, {}, {"Text: " + Repeat(u, 47) + "..."}},
      {"Requirement", Repeat(u, 45) + Repeat(clef, 5), {}, {"Text: " + Repeat(u, 45) + clef + "..."}},
      {"Requirement", Repeat(u, 46) + Repeat(clef, 5), {}, {"Text: " + Repeat(u, 46) + "..."}}};
  // clang-format on
  for (const Case& c : cases) {
    const TestModel model(RequirementModel(c.metatype, c.notes, c.tags));
    const std::string guid = model.ElementGuid("req");
    EXPECT_EQ(CompartmentData(*model.Repository(), "requirements", guid),
              Answer("requirements", guid, c.rows))
        << c.metatype << " " << c.notes;
  }
}

}  // namespace
}  // namespace compartments
