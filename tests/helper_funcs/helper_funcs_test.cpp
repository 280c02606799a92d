#include "helper_funcs/helper_funcs.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/recording_repository.h"
#include "support/test_model.h"

namespace HelperFuncs {
namespace {

using testing_support::RecordingRepository;
using testing_support::TestModel;

constexpr char kModel[] = R"({
  "format": "orba-model", "version": 1,
  "packages": [{"key": "root", "name": "Model"}],
  "elements": [
    {"key": "req", "package": "root", "type": "Requirement", "name": "Brakes",
     "stereotype": "requirement", "metatype": "Requirement",
     "tags": [{"name": "risk", "value": "Low"}, {"name": "Id", "value": "R-7"},
              {"name": "risk", "value": "High"}, {"name": "", "value": "unnamed"}]},
    {"key": "car", "package": "root", "type": "Class", "name": "Car", "metatype": "Block"},
    {"key": "wheel", "package": "root", "parent": "car", "type": "Part", "name": "wheel",
     "metatype": "BlockProperty"}
  ]
})";

// ---- GetXmlAttribute ----

TEST(GetXmlAttributeTest, ReadsTheNamedAttributeOrGivesEmpty) {
  platform::XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<ModelItem Name="a &amp; b" GUID="" Metatype="Block"/>)"));
  const platform::XmlNode item = document.selectSingleNode("//ModelItem");
  EXPECT_EQ(GetXmlAttribute(item, "Name"), "a & b");
  EXPECT_EQ(GetXmlAttribute(item, "Metatype"), "Block");
  EXPECT_EQ(GetXmlAttribute(item, "GUID"), "");
  EXPECT_EQ(GetXmlAttribute(item, "metatype"), "");
  EXPECT_EQ(GetXmlAttribute(item, "Notes"), "");
}

// ---- GetTaggedValue ----

class GetTaggedValueTest : public testing::Test {
 protected:
  TestModel model_{kModel};
  host::ElementPtr requirement_ = model_.Element("req");
};

TEST_F(GetTaggedValueTest, AnswersTheFirstTagOfThatExactName) {
  EXPECT_EQ(GetTaggedValue(requirement_, "risk"), "Low");
  EXPECT_EQ(GetTaggedValue(requirement_, "Id"), "R-7");
}

TEST_F(GetTaggedValueTest, OtherCaseOrUnknownNamesAreNotFound) {
  EXPECT_EQ(GetTaggedValue(requirement_, "Risk"), "");
  EXPECT_EQ(GetTaggedValue(requirement_, "ID"), "");
  EXPECT_EQ(GetTaggedValue(requirement_, "source"), "");
}

TEST_F(GetTaggedValueTest, AnEmptyTagNameOrNoElementGivesEmpty) {
  EXPECT_EQ(GetTaggedValue(requirement_, ""), "");
  EXPECT_EQ(GetTaggedValue(nullptr, "risk"), "");
}

// ---- EscapeCompartmentText ----

struct EscapeCase {
  std::string text;
  bool strip;
  std::string escaped;
  friend void PrintTo(const EscapeCase& c, std::ostream* os) {
    *os << '"' << c.text << (c.strip ? "\" stripped" : "\" escaped");
  }
};

class EscapeCompartmentTextTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeCompartmentTextTest, EscapesCommasAndStripsOrEscapesTheOthers) {
  EXPECT_EQ(EscapeCompartmentText(GetParam().text, GetParam().strip), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(Cases, EscapeCompartmentTextTest,
                         testing::Values(EscapeCase{"a=b;c,d", true, "abc&_c_^d"},
                                         EscapeCase{"a=b;c,d", false, "a&_eq_^b&_sc_^c&_c_^d"},
                                         EscapeCase{"", true, ""}, EscapeCase{"", false, ""},
                                         EscapeCase{"plain text", true, "plain text"},
                                         EscapeCase{";==;", true, ""},
                                         EscapeCase{",,", true, "&_c_^&_c_^"},
                                         EscapeCase{";=,", false, "&_sc_^&_eq_^&_c_^"},
                                         EscapeCase{"&_c_^ stays", false, "&_c_^ stays"},
                                         EscapeCase{"Größe=5, µm;", true, "Größe5&_c_^ µm"}));

// ---- IsRequirementMetatype ----

struct MetatypeCase {
  std::string metatype;
  bool requirement;
  friend void PrintTo(const MetatypeCase& c, std::ostream* os) { *os << '"' << c.metatype << '"'; }
};

class IsRequirementMetatypeTest : public testing::TestWithParam<MetatypeCase> {};

TEST_P(IsRequirementMetatypeTest, KnowsExactlyTheSevenRequirementKinds) {
  EXPECT_EQ(IsRequirementMetatype(GetParam().metatype), GetParam().requirement);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsRequirementMetatypeTest,
    testing::Values(MetatypeCase{"Requirement", true}, MetatypeCase{"DesignRequirement", true},
                    MetatypeCase{"ExtendedRequirement", true},
                    MetatypeCase{"FunctionalRequirement", true},
                    MetatypeCase{"InterfaceRequirement", true},
                    MetatypeCase{"PerformanceRequirement", true},
                    MetatypeCase{"PhysicalRequirement", true}, MetatypeCase{"requirement", false},
                    MetatypeCase{"REQUIREMENT", false}, MetatypeCase{"Requirements", false},
                    MetatypeCase{" Requirement", false}, MetatypeCase{"TestCase", false},
                    MetatypeCase{"Block", false}, MetatypeCase{"", false}));

// ---- GetModelItemAttribute ----

class GetModelItemAttributeTest : public testing::Test {
 protected:
  TestModel model_{kModel};
  std::shared_ptr<RecordingRepository> repository_ =
      std::make_shared<RecordingRepository>(model_.Repository());
};

TEST_F(GetModelItemAttributeTest, ReadsTheElementsOwnModelItem) {
  const std::string car = model_.ElementGuid("car");
  EXPECT_EQ(GetModelItemAttribute(repository_, car, "Name"), "Car");
  EXPECT_EQ(GetModelItemAttribute(repository_, car, "Metatype"), "Block");
  EXPECT_EQ(GetModelItemAttribute(repository_, car, "GUID"), car);
  EXPECT_EQ(repository_->LastArgument("GetModelItemXml"), car);
}

TEST_F(GetModelItemAttributeTest, AMissingAttributeGivesEmpty) {
  EXPECT_EQ(GetModelItemAttribute(repository_, model_.ElementGuid("car"), "Notes"), "");
}

TEST_F(GetModelItemAttributeTest, TakesTheFirstModelItemAnywhereInTheDocument) {
  repository_->model_item_xml =
      R"(<Items><ModelItem Metatype="Requirement"><ModelItem Metatype="Block"/></ModelItem></Items>)";
  EXPECT_EQ(GetModelItemAttribute(repository_, "{X}", "Metatype"), "Requirement");
}

TEST_F(GetModelItemAttributeTest, BadDocumentsGiveEmpty) {
  for (const std::string document : {"", "not xml", "<ModelItem Metatype=\"Requirement\">",
                                     "<Other Metatype=\"Requirement\"/>"}) {
    SCOPED_TRACE(document);
    repository_->model_item_xml = document;
    EXPECT_EQ(GetModelItemAttribute(repository_, "{X}", "Metatype"), "");
  }
}

TEST_F(GetModelItemAttributeTest, AFailingHostCallGivesEmpty) {
  repository_->FailOn("GetModelItemXml");
  EXPECT_EQ(GetModelItemAttribute(repository_, model_.ElementGuid("car"), "Name"), "");
}

TEST_F(GetModelItemAttributeTest, AnUnknownGuidGivesEmpty) {
  EXPECT_EQ(GetModelItemAttribute(repository_, "{no such element}", "Name"), "");
}

TEST_F(GetModelItemAttributeTest, NoRepositoryGivesEmpty) {
  EXPECT_EQ(GetModelItemAttribute(nullptr, model_.ElementGuid("car"), "Name"), "");
}

}  // namespace
}  // namespace HelperFuncs
