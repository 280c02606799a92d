#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "compartments/compartments.h"
#include "support/fault_injection.h"
#include "support/recording_repository.h"
#include "support/test_model.h"

namespace compartments {
namespace {

using testing_support::RecordingRepository;
using testing_support::TestModel;

constexpr char kOptions[] = "Options=SkipIfOnDiagram&_eq_^1&_sc_^";

// The answer for a compartment with rows, from its pieces.
std::string Answer(const std::string& compartment, const std::string& owner,
                   const std::string& rows) {
  return "Name=" + compartment + ";OwnerGUID=" + owner + ";" + kOptions +
         "CompartmentData=" + rows + ";";
}

std::string ItemRow(const std::string& name, const std::string& guid) {
  return "Data&_eq_^" + name + "&_sc_^GUID&_eq_^" + guid + "&_sc_^,";
}

std::string LabelRow(const std::string& label, const std::string& value) {
  return "Data&_eq_^" + label + value + "&_sc_^,";
}

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// ---- Owned-item compartments, on the reference host's documents ----

constexpr char kBlocks[] = R"({
  "format": "orba-model", "version": 1,
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
  ]
})";

class OwnedItemsTest : public testing::Test {
 protected:
  std::string Data(const std::string& compartment, const std::string& owner_key) {
    return CompartmentData(*model_.Repository(), compartment, model_.ElementGuid(owner_key));
  }
  std::string Row(const std::string& key, const std::string& name) {
    return ItemRow(name, model_.ElementGuid(key));
  }

  TestModel model_{kBlocks};
};

TEST_F(OwnedItemsTest, EachKindListsTheDirectChildrenOfItsMetatypeInHostOrder) {
  const std::string car = model_.ElementGuid("car");
  EXPECT_EQ(Data("parts", "car"),
            Answer("parts", car, Row("wheel", "wheel") + Row("axle", "axle")));
  EXPECT_EQ(Data("flow ports", "car"), Answer("flow ports", car, Row("inlet", "fuel in")));
  EXPECT_EQ(Data("parameters", "car"), Answer("parameters", car, Row("mass", "m")));
  // The wheel's own part is listed for the wheel, not for the car.
  EXPECT_EQ(Data("parts", "wheel"),
            Answer("parts", model_.ElementGuid("wheel"), Row("hub", "hub")));
}

TEST_F(OwnedItemsTest, ItemNamesAreWrittenUnescaped) {
  EXPECT_EQ(Data("parts", "odd"),
            Answer("parts", model_.ElementGuid("odd"), Row("oddPart", "a;b=c,d")));
}

TEST_F(OwnedItemsTest, NoRowsGiveTheEmptyString) {
  for (const std::string compartment : {"parts", "flow ports", "parameters"}) {
    SCOPED_TRACE(compartment);
    EXPECT_EQ(Data(compartment, "empty"), "");
    EXPECT_EQ(Data(compartment, "loose"), "");
  }
}

TEST_F(OwnedItemsTest, OtherCompartmentsHaveNoRowsForABlock) {
  for (const std::string compartment :
       {"allocatedTo", "allocatedFrom", "requirements", "Parts", "flowports", "", "parts "}) {
    SCOPED_TRACE(compartment);
    EXPECT_EQ(Data(compartment, "car"), "");
  }
}

TEST_F(OwnedItemsTest, AnUnknownElementGivesTheEmptyString) {
  EXPECT_EQ(CompartmentData(*model_.Repository(), "parts", "{no such element}"), "");
}

// ---- Owned-item compartments, on documents the host gives as they are ----

class HostDocumentTest : public testing::Test {
 protected:
  std::string Data(const std::string& compartment, const std::string& document) {
    repository_->model_item_xml = document;
    return CompartmentData(*repository_, compartment, "{E}");
  }

  TestModel model_{kBlocks};
  std::shared_ptr<RecordingRepository> repository_ =
      std::make_shared<RecordingRepository>(model_.Repository());
};

TEST_F(HostDocumentTest, WritesTheFieldsAndRowsExactly) {
  EXPECT_EQ(
      Data("parts", R"(<ModelItem Name="Car" GUID="{E}" Metatype="Block">)"
                    R"(<ModelItem Name="wheel" GUID="{W}" Metatype="BlockProperty"/>)"
                    R"(<ModelItem Name="axle" GUID="{A}" Metatype="BlockProperty"/></ModelItem>)"),
      "Name=parts;OwnerGUID={E};Options=SkipIfOnDiagram&_eq_^1&_sc_^CompartmentData=Data&_eq_^"
      "wheel&_sc_^GUID&_eq_^{W}&_sc_^,Data&_eq_^axle&_sc_^GUID&_eq_^{A}&_sc_^,;");
}

TEST_F(HostDocumentTest, OnlyDirectChildrenOfTheFirstModelItemCount) {
  EXPECT_EQ(Data("flow ports",
                 R"(<Doc><ModelItem Name="Car" GUID="{E}" Metatype="Block">)"
                 R"(<ModelItem Name="p1" GUID="{1}" Metatype="FlowPort">)"
                 R"(<ModelItem Name="nested" GUID="{2}" Metatype="FlowPort"/></ModelItem>)"
                 R"(<Other><ModelItem Name="elsewhere" GUID="{3}" Metatype="FlowPort"/></Other>)"
                 R"(<ModelItem Name="p2" GUID="{4}" Metatype="flowport"/></ModelItem>)"
                 R"(<ModelItem Name="second" GUID="{5}" Metatype="FlowPort"/></Doc>)"),
            Answer("flow ports", "{E}", ItemRow("p1", "{1}")));
}

TEST_F(HostDocumentTest, AChildWithoutNameOrGuidEmptiesTheWholeAnswer) {
  EXPECT_EQ(
      Data("parts",
           R"(<ModelItem GUID="{E}"><ModelItem Name="a" GUID="{A}" Metatype="BlockProperty"/>)"
           R"(<ModelItem Name="b" Metatype="BlockProperty"/></ModelItem>)"),
      "");
  EXPECT_EQ(
      Data("parts", R"(<ModelItem GUID="{E}"><ModelItem GUID="{A}" Metatype="BlockProperty"/>)"
                    R"(<ModelItem Name="b" GUID="{B}" Metatype="BlockProperty"/></ModelItem>)"),
      "");
}

TEST_F(HostDocumentTest, IncompleteChildrenOfOtherKindsDoNotMatter) {
  EXPECT_EQ(Data("parts", R"(<ModelItem><ModelItem Metatype="FlowPort"/>)"
                          R"(<ModelItem Name="" GUID="" Metatype="BlockProperty"/></ModelItem>)"),
            Answer("parts", "{E}", ItemRow("", "")));
}

TEST_F(HostDocumentTest, MalformedDocumentsGiveTheEmptyString) {
  for (const std::string document :
       {"", "not xml", R"(<ModelItem Name="a" GUID="{A}" Metatype="Block">)",
        R"(<ModelItem><ModelItem Name="a" GUID="{A}" Metatype="BlockProperty"/></ModelItem>junk)",
        R"(<Item><Item Name="a" GUID="{A}" Metatype="BlockProperty"/></Item>)"}) {
    SCOPED_TRACE(document);
    EXPECT_EQ(Data("parts", document), "");
  }
}

TEST_F(HostDocumentTest, AFailingHostCallGivesTheEmptyString) {
  repository_->FailOn("GetModelItemXml");
  EXPECT_EQ(CompartmentData(*repository_, "parts", model_.ElementGuid("car")), "");
}

// ---- The requirements compartment ----

struct Tag {
  std::string name;
  std::string value;
};

// A model holding one element "req" with the given metatype, notes and tags.
std::string RequirementModel(const std::string& metatype, const std::string& notes,
                             const std::vector<Tag>& tags) {
  nlohmann::json tag_list = nlohmann::json::array();
  for (const Tag& tag : tags) tag_list.push_back({{"name", tag.name}, {"value", tag.value}});
  const nlohmann::json model = {{"format", "orba-model"},
                                {"version", 1},
                                {"packages", {{{"key", "root"}, {"name", "Model"}}}},
                                {"elements",
                                 {{{"key", "req"},
                                   {"package", "root"},
                                   {"type", "Requirement"},
                                   {"name", "R"},
                                   {"metatype", metatype},
                                   {"notes", notes},
                                   {"tags", tag_list}}}}};
  return model.dump();
}

std::string RequirementRows(const std::string& metatype, const std::string& notes,
                            const std::vector<Tag>& tags) {
  const TestModel model(RequirementModel(metatype, notes, tags));
  const std::string guid = model.ElementGuid("req");
  const std::string answer = CompartmentData(*model.Repository(), "requirements", guid);
  const std::string head =
      "Name=requirements;OwnerGUID=" + guid + ";" + kOptions + "CompartmentData=";
  if (answer.empty()) return "";
  // Only the row list is of interest here; the fields around it are checked once below.
  EXPECT_EQ(answer.substr(0, head.size()), head);
  EXPECT_EQ(answer.back(), ';');
  return answer.substr(head.size(), answer.size() - head.size() - 1);
}

TEST(RequirementsTest, WritesTheFullAnswerForARequirement) {
  const TestModel model(RequirementModel("Requirement", "Stop in 40 m.", {{"Id", "R-1"}}));
  const std::string guid = model.ElementGuid("req");
  EXPECT_EQ(CompartmentData(*model.Repository(), "requirements", guid),
            "Name=requirements;OwnerGUID=" + guid +
                ";Options=SkipIfOnDiagram&_eq_^1&_sc_^CompartmentData=Data&_eq_^Id: R-1&_sc_^,"
                "Data&_eq_^Text: Stop in 40 m.&_sc_^,;");
}

TEST(RequirementsTest, RowsComeInLabelOrderWhateverTheTagOrder) {
  EXPECT_EQ(
      RequirementRows(
          "Requirement", "Brake.",
          {{"verifyMethod", "Test"}, {"source", "Customer"}, {"risk", "High"}, {"Id", "R-1"}}),
      LabelRow("Id: ", "R-1") + LabelRow("Text: ", "Brake.") + LabelRow("Risk: ", "High") +
          LabelRow("Source: ", "Customer") + LabelRow("VerifyMethod: ", "Test"));
}

TEST(RequirementsTest, EveryRequirementKindHasRowsAndOtherMetatypesHaveNone) {
  for (const std::string metatype :
       {"Requirement", "DesignRequirement", "ExtendedRequirement", "FunctionalRequirement",
        "InterfaceRequirement", "PerformanceRequirement", "PhysicalRequirement"}) {
    SCOPED_TRACE(metatype);
    EXPECT_EQ(RequirementRows(metatype, "", {{"risk", "Low"}}), LabelRow("Risk: ", "Low"));
  }
  for (const std::string metatype : {"requirement", "Block", "", "TestCase"}) {
    SCOPED_TRACE(metatype);
    EXPECT_EQ(RequirementRows(metatype, "n", {{"risk", "Low"}}), "");
  }
}

TEST(RequirementsTest, TagNamesAreMatchedWithTheirCase) {
  EXPECT_EQ(
      RequirementRows(
          "Requirement", "",
          {{"ID", "1"}, {"Risk", "High"}, {"Source", "s"}, {"VerifyMethod", "v"}, {"id", "2"}}),
      "");
}

TEST(RequirementsTest, TagValuesAreEscapedInStripModeAndEmptyValuesAreLeftOut) {
  EXPECT_EQ(
      RequirementRows("Requirement", "",
                      {{"Id", "A,B=C;"}, {"risk", "=;"}, {"source", ""}, {"verifyMethod", "x=1"}}),
      LabelRow("Id: ", "A&_c_^BC") + LabelRow("VerifyMethod: ", "x1"));
}

TEST(RequirementsTest, TheFirstTagOfANameCounts) {
  EXPECT_EQ(RequirementRows("Requirement", "", {{"risk", "Low"}, {"risk", "High"}}),
            LabelRow("Risk: ", "Low"));
}

TEST(RequirementsTest, NotesThatEscapeToNothingStillGiveATextRow) {
  EXPECT_EQ(RequirementRows("Requirement", "=;", {}), LabelRow("Text: ", ""));
}

TEST(RequirementsTest, ARequirementWithoutNotesOrTagsHasNoAnswer) {
  EXPECT_EQ(RequirementRows("Requirement", "", {}), "");
}

TEST(RequirementsTest, AFailingElementMemberGivesTheEmptyString) {
  const TestModel model(RequirementModel("Requirement", "n", {{"Id", "1"}, {"risk", "r"}}));
  for (const std::string member :
       {"Repository.GetElementByGUID", "Element.TaggedValueList", "Collection.Items",
        "TaggedValue.Name", "TaggedValue.Value", "Element.Notes"}) {
    SCOPED_TRACE(member);
    const auto repository =
        std::make_shared<testing_support::FaultInjectingRepository>(model.Repository());
    repository->Plan().FailOn(member);
    EXPECT_EQ(CompartmentData(*repository, "requirements", model.ElementGuid("req")), "");
    EXPECT_EQ(repository->Plan().CountOf(member), 1);
  }
}

struct NotesCase {
  std::string description;
  std::string notes;
  std::string shown;
  friend void PrintTo(const NotesCase& c, std::ostream* os) { *os << c.description; }
};

class NotesCutTest : public testing::TestWithParam<NotesCase> {};

TEST_P(NotesCutTest, TheEscapedNotesAreCutAfter47CharactersWhenLongerThan50) {
  EXPECT_EQ(RequirementRows("Requirement", GetParam().notes, {}),
            LabelRow("Text: ", GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotesCutTest,
    testing::Values(
        NotesCase{"Exactly50", Repeat("a", 50), Repeat("a", 50)},
        NotesCase{"Of51", Repeat("a", 51), Repeat("a", 47) + "..."},
        NotesCase{"CommaEscapesTo50", Repeat("a", 45) + ",", Repeat("a", 45) + "&_c_^"},
        NotesCase{"CommaEscapesTo51CutInsideTheEscape", Repeat("a", 46) + ",",
                  Repeat("a", 46) + "&..."},
        NotesCase{"ShortNotesWithManyCommas", Repeat(",", 11), Repeat("&_c_^", 9) + "&_..."},
        NotesCase{"StrippedCharactersDoNotCount", "x=;" + Repeat("b", 49), "x" + Repeat("b", 49)},
        NotesCase{"Multibyte50", Repeat("é", 50), Repeat("é", 50)},
        NotesCase{"Multibyte51", Repeat("é", 51), Repeat("é", 47) + "..."},
        NotesCase{"FourByteCharacterCountsTwiceAndFitsAtTheLimit", Repeat("ü", 48) + "𝄞",
                  Repeat("ü", 48) + "𝄞"},
        NotesCase{"FourByteCharacterCountsTwiceOverTheLimit", Repeat("ü", 48) + "€𝄞",
                  Repeat("ü", 47) + "..."},
        NotesCase{"FourByteCharacterEndingTheCut", Repeat("ü", 45) + "𝄞𝄞𝄞𝄞𝄞",
                  Repeat("ü", 45) + "𝄞..."},
        NotesCase{"FourByteCharacterStraddlingTheCutIsLeftOut", Repeat("ü", 46) + "𝄞𝄞𝄞𝄞𝄞",
                  Repeat("ü", 46) + "..."}),
    [](const testing::TestParamInfo<NotesCase>& info) { return info.param.description; });

// ---- The requirements compartment, on documents the host gives as they are ----

class RequirementDocumentTest : public testing::Test {
 protected:
  RequirementDocumentTest() {
    repository_->model_item_xml = R"(<ModelItem Name="R" GUID=")" + model_.ElementGuid("req") +
                                  R"(" Metatype="Requirement"/>)";
  }

  TestModel model_{RequirementModel("Requirement", "", {{"Id", "R-9"}})};
  std::shared_ptr<RecordingRepository> repository_ =
      std::make_shared<RecordingRepository>(model_.Repository());
};

TEST_F(RequirementDocumentTest, TheElementIsFoundByTheGuidInTheDocument) {
  EXPECT_EQ(CompartmentData(*repository_, "requirements", "{AS GIVEN}"),
            Answer("requirements", "{AS GIVEN}", LabelRow("Id: ", "R-9")));
  EXPECT_EQ(repository_->LastArgument("GetModelItemXml"), "{AS GIVEN}");
  EXPECT_EQ(repository_->LastArgument("GetElementByGUID"), model_.ElementGuid("req"));
}

TEST_F(RequirementDocumentTest, AGuidTheHostDoesNotKnowGivesNoRows) {
  repository_->model_item_xml = R"(<ModelItem GUID="{unknown}" Metatype="Requirement"/>)";
  EXPECT_EQ(CompartmentData(*repository_, "requirements", "{unknown}"), "");
  repository_->model_item_xml = R"(<ModelItem Metatype="Requirement"/>)";
  EXPECT_EQ(CompartmentData(*repository_, "requirements", "{unknown}"), "");
}

TEST_F(RequirementDocumentTest, AFailingLookupGivesTheEmptyString) {
  repository_->FailOn("GetElementByGUID");
  EXPECT_EQ(CompartmentData(*repository_, "requirements", "{E}"), "");
}

}  // namespace
}  // namespace compartments
