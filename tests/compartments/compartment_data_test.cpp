#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "compartments/compartments.h"
#include "support/scripted_host.h"
#include "support/test_model.h"

namespace compartments {
namespace {

using testing_support::ScriptedHost;
using testing_support::TestModel;

// The answer for a compartment with rows; "" when there are none.
std::string Answer(const std::string& compartment, const std::string& owner,
                   const std::string& rows) {
  if (rows.empty()) return "";
  return "Name=" + compartment + ";OwnerGUID=" + owner +
         ";Options=SkipIfOnDiagram&_eq_^1&_sc_^CompartmentData=" + rows + ";";
}

// The rows of owned items, each given as its name and GUID.
std::string ItemRows(const std::vector<std::pair<std::string, std::string>>& items) {
  std::string rows;
  for (const auto& [name, guid] : items) {
    rows += "Data&_eq_^" + name + "&_sc_^GUID&_eq_^" + guid + "&_sc_^,";
  }
  return rows;
}

// The rows of a requirement, each given as its text ("Id: R-1").
std::string TextRows(const std::vector<std::string>& texts) {
  std::string rows;
  for (const std::string& text : texts) rows += "Data&_eq_^" + text + "&_sc_^,";
  return rows;
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// ---- Owned-item compartments, on the reference host's documents ----

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
    {"key": "loose", "package": "root", "type": "Part", "name": "loose", "metatype": "BlockProperty"}
  ]})";

// Each kind lists the direct children of its metatype in host order, their
// names unescaped; other compartments have no rows for a block.
TEST(OwnedItemsTest, ListTheDirectChildrenOfTheirMetatype) {
  const TestModel model(kBlocks);
  struct Case {
    const char* compartment;
    const char* owner;
    std::vector<const char*> items;
  };
  const Case cases[] = {{"parts", "car", {"wheel", "axle"}},
                        {"flow ports", "car", {"inlet"}},
                        {"parameters", "car", {"mass"}},
                        {"parts", "wheel", {"hub"}},
                        {"parts", "odd", {"oddPart"}},
                        {"parts", "empty", {}},
                        {"flow ports", "empty", {}},
                        {"parameters", "loose", {}},
                        {"allocatedTo", "car", {}},
                        {"allocatedFrom", "car", {}},
                        {"requirements", "car", {}},
                        {"Parts", "car", {}},
                        {"flowports", "car", {}},
                        {"", "car", {}},
                        {"parts ", "car", {}}};
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, std::string>> items;
    for (const char* key : c.items) {
      items.emplace_back(model.Element(key)->Name(), model.ElementGuid(key));
    }
    const std::string owner = model.ElementGuid(c.owner);
    EXPECT_EQ(CompartmentData(*model.Repository(), c.compartment, owner),
              Answer(c.compartment, owner, ItemRows(items)))
        << c.compartment << " of " << c.owner;
  }
  EXPECT_EQ(CompartmentData(*model.Repository(), "parts", "{no such element}"), "");
}

// ---- Owned-item compartments, on documents the host gives as they are ----

TEST(HostDocumentTest, WritesTheFieldsAndRowsExactly) {
  const TestModel model(kBlocks);
  ScriptedHost host(model.Repository());
  host.Plan().Answer("Repository.GetModelItemXml",
                     R"(<ModelItem Name="Car" GUID="{E}" Metatype="Block">)"
                     R"(<ModelItem Name="wheel" GUID="{W}" Metatype="BlockProperty"/>)"
                     R"(<ModelItem Name="axle" GUID="{A}" Metatype="BlockProperty"/></ModelItem>)");
  EXPECT_EQ(
      CompartmentData(host, "parts", "{E}"),
      "Name=parts;OwnerGUID={E};Options=SkipIfOnDiagram&_eq_^1&_sc_^CompartmentData=Data&_eq_^"
      "wheel&_sc_^GUID&_eq_^{W}&_sc_^,Data&_eq_^axle&_sc_^GUID&_eq_^{A}&_sc_^,;");
}

struct DocumentCase {
  const char* name;
  const char* document;
  std::vector<std::pair<std::string, std::string>> items;  // none: the empty answer
  friend void PrintTo(const DocumentCase& c, std::ostream* out) { *out << c.name; }
};

const DocumentCase kDocuments[] = {
    {"OnlyDirectChildrenOfTheFirstModelItemCount",
     R"(<Doc><ModelItem Name="Car" GUID="{E}" Metatype="Block">)"
     R"(<ModelItem Name="p1" GUID="{1}" Metatype="BlockProperty">)"
     R"(<ModelItem Name="nested" GUID="{2}" Metatype="BlockProperty"/></ModelItem>)"
     R"(<Other><ModelItem Name="elsewhere" GUID="{3}" Metatype="BlockProperty"/></Other>)"
     R"(<ModelItem Name="p2" GUID="{4}" Metatype="blockproperty"/></ModelItem>)"
     R"(<ModelItem Name="second" GUID="{5}" Metatype="BlockProperty"/></Doc>)",
     {{"p1", "{1}"}}},
    {"AChildWithoutGuidEmptiesTheWholeAnswer",
     R"(<ModelItem GUID="{E}"><ModelItem Name="a" GUID="{A}" Metatype="BlockProperty"/>)"
     R"(<ModelItem Name="b" Metatype="BlockProperty"/></ModelItem>)",
     {}},
    {"AChildWithoutNameEmptiesTheWholeAnswer",
     R"(<ModelItem GUID="{E}"><ModelItem GUID="{A}" Metatype="BlockProperty"/>)"
     R"(<ModelItem Name="b" GUID="{B}" Metatype="BlockProperty"/></ModelItem>)",
     {}},
    {"IncompleteChildrenOfOtherKindsDoNotMatter",
     R"(<ModelItem><ModelItem Metatype="FlowPort"/>)"
     R"(<ModelItem Name="" GUID="" Metatype="BlockProperty"/></ModelItem>)",
     {{"", ""}}},
    {"Empty", "", {}},
    {"NotXml", "not xml", {}},
    {"Unclosed", R"(<ModelItem Name="a" GUID="{A}" Metatype="Block">)", {}},
    {"TrailingJunk",
     R"(<ModelItem><ModelItem Name="a" GUID="{A}" Metatype="BlockProperty"/></ModelItem>junk)",
     {}},
    {"NoModelItem", R"(<Item><Item Name="a" GUID="{A}" Metatype="BlockProperty"/></Item>)", {}},
};

class HostDocumentCaseTest : public testing::TestWithParam<DocumentCase> {};

TEST_P(HostDocumentCaseTest, GivesTheRowsOfThePartsItFinds) {
  const TestModel model(kBlocks);
  ScriptedHost host(model.Repository());
  host.Plan().Answer("Repository.GetModelItemXml", GetParam().document);
  EXPECT_EQ(CompartmentData(host, "parts", "{E}"),
            Answer("parts", "{E}", ItemRows(GetParam().items)));
}

INSTANTIATE_TEST_SUITE_P(Documents, HostDocumentCaseTest, testing::ValuesIn(kDocuments),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HostDocumentTest, AFailingHostCallGivesTheEmptyString) {
  const TestModel model(kBlocks);
  ScriptedHost host(model.Repository());
  host.Plan().FailOn("Repository.GetModelItemXml");
  EXPECT_EQ(CompartmentData(host, "parts", model.ElementGuid("car")), "");
}

// ---- The requirements compartment ----

using Tags = std::vector<std::pair<std::string, std::string>>;

// A model holding one element "req" with the given metatype, notes and tags.
std::string RequirementModel(const std::string& metatype, const std::string& notes,
                             const Tags& tags) {
  nlohmann::json tag_list = nlohmann::json::array();
  for (const auto& [name, value] : tags) tag_list.push_back({{"name", name}, {"value", value}});
  return nlohmann::json{{"packages", {{{"key", "root"}, {"name", "Model"}}}},
                        {"elements",
                         {{{"key", "req"},
                           {"package", "root"},
                           {"type", "Requirement"},
                           {"name", "R"},
                           {"metatype", metatype},
                           {"notes", notes},
                           {"tags", tag_list}}}}}
      .dump();
}

TEST(RequirementsTest, WritesTheFullAnswerForARequirement) {
  const TestModel model(RequirementModel("Requirement", "Stop in 40 m.", {{"Id", "R-1"}}));
  const std::string guid = model.ElementGuid("req");
  EXPECT_EQ(CompartmentData(*model.Repository(), "requirements", guid),
            "Name=requirements;OwnerGUID=" + guid +
                ";Options=SkipIfOnDiagram&_eq_^1&_sc_^CompartmentData=Data&_eq_^Id: R-1&_sc_^,"
                "Data&_eq_^Text: Stop in 40 m.&_sc_^,;");
}

struct RequirementCase {
  const char* name;
  const char* metatype;
  std::string notes;
  Tags tags;
  std::vector<std::string> rows;  // their texts; none: the empty answer
  friend void PrintTo(const RequirementCase& c, std::ostream* out) { *out << c.name; }
};

const RequirementCase kRequirements[] = {
    {"RowsComeInLabelOrderWhateverTheTagOrder",
     "Requirement",
     "Brake.",
     {{"verifyMethod", "Test"}, {"source", "Customer"}, {"risk", "High"}, {"Id", "R-1"}},
     {"Id: R-1", "Text: Brake.", "Risk: High", "Source: Customer", "VerifyMethod: Test"}},
    {"DesignRequirement", "DesignRequirement", "", {{"risk", "Low"}}, {"Risk: Low"}},
    {"ExtendedRequirement", "ExtendedRequirement", "", {{"risk", "Low"}}, {"Risk: Low"}},
    {"FunctionalRequirement", "FunctionalRequirement", "", {{"risk", "Low"}}, {"Risk: Low"}},
    {"InterfaceRequirement", "InterfaceRequirement", "", {{"risk", "Low"}}, {"Risk: Low"}},
    {"PerformanceRequirement", "PerformanceRequirement", "", {{"risk", "Low"}}, {"Risk: Low"}},
    {"PhysicalRequirement", "PhysicalRequirement", "", {{"risk", "Low"}}, {"Risk: Low"}},
    {"LowerCaseMetatypeIsNoRequirement", "requirement", "n", {{"risk", "Low"}}, {}},
    {"UpperCaseMetatypeIsNoRequirement", "REQUIREMENT", "n", {{"risk", "Low"}}, {}},
    {"PluralMetatypeIsNoRequirement", "Requirements", "n", {{"risk", "Low"}}, {}},
    {"SpacedMetatypeIsNoRequirement", " Requirement", "n", {{"risk", "Low"}}, {}},
    {"BlockIsNoRequirement", "Block", "n", {{"risk", "Low"}}, {}},
    {"TestCaseIsNoRequirement", "TestCase", "n", {{"risk", "Low"}}, {}},
    {"NoMetatypeIsNoRequirement", "", "n", {{"risk", "Low"}}, {}},
    {"TagNamesAreMatchedWithTheirCase",
     "Requirement",
     "",
     {{"ID", "1"}, {"Risk", "High"}, {"Source", "s"}, {"VerifyMethod", "v"}, {"id", "2"}},
     {}},
    {"TagValuesAreEscapedInStripModeAndEmptyOnesLeftOut",
     "Requirement",
     "",
     {{"Id", "A,B=C;"}, {"risk", "=;"}, {"source", ""}, {"verifyMethod", "x=1"}},
     {"Id: A&_c_^BC", "VerifyMethod: x1"}},
    {"TheFirstTagOfANameCounts",
     "Requirement",
     "",
     {{"risk", "Low"}, {"risk", "High"}},
     {"Risk: Low"}},
    {"NotesThatEscapeToNothingStillGiveATextRow", "Requirement", "=;", {}, {"Text: "}},
    {"NoNotesOrTagsGiveNoAnswer", "Requirement", "", {}, {}},
    // The escaped notes are cut to 47 wide characters and "..." when longer than 50.
    {"NotesOf50", "Requirement", Repeat("a", 50), {}, {"Text: " + Repeat("a", 50)}},
    {"NotesOf51", "Requirement", Repeat("a", 51), {}, {"Text: " + Repeat("a", 47) + "..."}},
    {"CommaEscapesTo50",
     "Requirement",
     Repeat("a", 45) + ",",
     {},
     {"Text: " + Repeat("a", 45) + "&_c_^"}},
    {"CommaEscapesTo51CutInsideTheEscape",
     "Requirement",
     Repeat("a", 46) + ",",
     {},
     {"Text: " + Repeat("a", 46) + "&..."}},
    {"ShortNotesWithManyCommas",
     "Requirement",
     Repeat(",", 11),
     {},
     {"Text: " + Repeat("&_c_^", 9) + "&_..."}},
    {"StrippedCharactersDoNotCount",
     "Requirement",
     "x=;" + Repeat("b", 49),
     {},
     {"Text: x" + Repeat("b", 49)}},
    {"Multibyte50", "Requirement", Repeat("é", 50), {}, {"Text: " + Repeat("é", 50)}},
    {"Multibyte51", "Requirement", Repeat("é", 51), {}, {"Text: " + Repeat("é", 47) + "..."}},
    {"FourByteCharacterCountsTwiceAndFitsAtTheLimit",
     "Requirement",
     Repeat("ü", 48) + "𝄞",
     {},
     {"Text: " + Repeat("ü", 48) + "𝄞"}},
    {"FourByteCharacterCountsTwiceOverTheLimit",
     "Requirement",
     Repeat("ü", 48) + "€𝄞",
     {},
     {"Text: " + Repeat("ü", 47) + "..."}},
    {"FourByteCharacterEndingTheCut",
     "Requirement",
     Repeat("ü", 45) + "𝄞𝄞𝄞𝄞𝄞",
     {},
     {"Text: " + Repeat("ü", 45) + "𝄞..."}},
    {"FourByteCharacterStraddlingTheCutIsLeftOut",
     "Requirement",
     Repeat("ü", 46) + "𝄞𝄞𝄞𝄞𝄞",
     {},
     {"Text: " + Repeat("ü", 46) + "..."}},
};

class RequirementCaseTest : public testing::TestWithParam<RequirementCase> {};

TEST_P(RequirementCaseTest, GivesTheRowsOfItsIdNotesAndTags) {
  const RequirementCase& c = GetParam();
  const TestModel model(RequirementModel(c.metatype, c.notes, c.tags));
  const std::string guid = model.ElementGuid("req");
  EXPECT_EQ(CompartmentData(*model.Repository(), "requirements", guid),
            Answer("requirements", guid, TextRows(c.rows)));
}

INSTANTIATE_TEST_SUITE_P(Requirements, RequirementCaseTest, testing::ValuesIn(kRequirements),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RequirementsTest, AFailingElementMemberGivesTheEmptyString) {
  const TestModel model(RequirementModel("Requirement", "n", {{"Id", "1"}, {"risk", "r"}}));
  for (const std::string member :
       {"Repository.GetElementByGUID", "Element.TaggedValueList", "Collection.Items",
        "TaggedValue.Name", "TaggedValue.Value", "Element.Notes"}) {
    ScriptedHost host(model.Repository());
    host.Plan().FailOn(member);
    EXPECT_EQ(CompartmentData(host, "requirements", model.ElementGuid("req")), "") << member;
    EXPECT_EQ(host.Plan().CountOf(member), 1) << member;
  }
}

// The element is looked up by the GUID in the host's document, not the one asked for.
TEST(RequirementsTest, TheElementIsFoundByTheGuidInTheDocument) {
  const TestModel model(RequirementModel("Requirement", "", {{"Id", "R-9"}}));
  ScriptedHost host(model.Repository());
  const std::string guid = model.ElementGuid("req");
  host.Plan().Answer("Repository.GetModelItemXml",
                     R"(<ModelItem Name="R" GUID=")" + guid + R"(" Metatype="Requirement"/>)");
  EXPECT_EQ(CompartmentData(host, "requirements", "{AS GIVEN}"),
            Answer("requirements", "{AS GIVEN}", TextRows({"Id: R-9"})));
  EXPECT_EQ(host.Plan().LastArgument("Repository.GetModelItemXml"), "{AS GIVEN}");
  EXPECT_EQ(host.Plan().LastArgument("Repository.GetElementByGUID"), guid);
  host.Plan().FailOn("Repository.GetElementByGUID", 2);
  EXPECT_EQ(CompartmentData(host, "requirements", "{E}"), "");
  for (const char* unknown : {R"(<ModelItem GUID="{unknown}" Metatype="Requirement"/>)",
                              R"(<ModelItem Metatype="Requirement"/>)"}) {
    host.Plan().Answer("Repository.GetModelItemXml", unknown);
    EXPECT_EQ(CompartmentData(host, "requirements", "{unknown}"), "") << unknown;
  }
}

}  // namespace
}  // namespace compartments
