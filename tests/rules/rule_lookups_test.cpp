// The helpers the rule families share: tagged-value reads, text tests,
// multiplicity tests and element lookups.
#include "rules/rule_lookups.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "rules/rule_harness.h"

namespace rules_test {
namespace {

using rules::GetConnectorTagValue;
using rules::GetElementTagValue;

ModelJson TaggedModel() {
  const nlohmann::json tags = {{{"name", "unit"}, {"value", "A"}},
                               {{"name", "dimension"}, {"value", "D"}},
                               {{"name", "unit"}, {"value", "B"}},
                               {{"name", "blank"}, {"value", "X"}},
                               {{"name", "blank"}, {"value", ""}}};
  ModelJson model;
  model.Element({{"key", "tagged"}, {"type", "Class"}, {"tags", tags}})
      .Element({{"key", "plain"}, {"type", "Class"}})
      .Connector({{"key", "taggedLink"}, {"type", "Association"}, {"client", "tagged"},
                  {"supplier", "plain"}, {"tags", tags}})
      .Connector({{"key", "plainLink"}, {"type", "Association"}, {"client", "plain"},
                  {"supplier", "tagged"}});
  return model;
}

TEST(TagValues, TheLastTaggedValueOfTheExactNameWins) {
  const testing_support::TestModel model(TaggedModel().Text());
  const host::ElementPtr element = model.Element("tagged");
  const host::ConnectorPtr connector = model.Connector("taggedLink");
  for (const auto& [name, value] :
       std::vector<std::pair<std::string, std::string>>{{"unit", "B"},
                                                        {"dimension", "D"},
                                                        {"Unit", ""},
                                                        {"blank", ""},
                                                        {"none", ""},
                                                        {"", ""}}) {
    EXPECT_EQ(GetElementTagValue(element, name), value) << name;
    EXPECT_EQ(GetConnectorTagValue(connector, name), value) << name;
  }
  EXPECT_EQ(GetElementTagValue(model.Element("plain"), "unit"), "");
  EXPECT_EQ(GetConnectorTagValue(model.Connector("plainLink"), "unit"), "");
}

TEST(TagValues, NothingIsAHostErrorNotACrash) {
  EXPECT_THROW(GetElementTagValue(nullptr, "unit"), host::Error);
  EXPECT_THROW(GetConnectorTagValue(nullptr, "unit"), host::Error);
}

TEST(TextTests, BlockPropertyKinds) {
  for (const std::string text : {"partproperty", "PartProperty", "REFERENCEPROPERTY",
                                 "referenceProperty", "ValueProperty"}) {
    EXPECT_TRUE(rules::IsBlockPropertyKind(text)) << text;
  }
  for (const std::string text : {"part property", "Value Property", "", "Property",
                                 "flowproperty", "partproperty "}) {
    EXPECT_FALSE(rules::IsBlockPropertyKind(text)) << text;
  }
}

TEST(TextTests, NoneOrEmpty) {
  EXPECT_TRUE(rules::IsNoneOrEmpty("<none>"));
  EXPECT_TRUE(rules::IsNoneOrEmpty(""));
  for (const std::string text : {"<None>", "none", " ", "<none> ", "x"}) {
    EXPECT_FALSE(rules::IsNoneOrEmpty(text)) << "\"" << text << "\"";
  }
}

TEST(TextTests, LowerCaseIsAscii) {
  EXPECT_EQ(rules::LowerCase("FlowPort ÄÖ 09_Z"), "flowport ÄÖ 09_z");
  EXPECT_EQ(rules::LowerCase(""), "");
}

TEST(TextTests, WordListMembershipNeedsTheWholeWord) {
  constexpr char kList[] = ";block;signal;datatype;";
  EXPECT_TRUE(rules::IsInWordList(kList, "block"));
  EXPECT_TRUE(rules::IsInWordList(kList, "datatype"));
  for (const std::string word : {"", "bloc", "lock", "type", "Block"}) {
    EXPECT_FALSE(rules::IsInWordList(kList, word)) << word;
  }
}

TEST(MultiplicityTests, OnlyTheFirstCharacterCounts) {
  struct Case {
    std::string text;
    bool zero, positive;
  };
  for (const Case& c :
       {Case{"0", true, false}, Case{"0..1", true, false}, Case{"0..*", true, false},
        Case{"1", false, true}, Case{"1..*", false, true}, Case{"*", false, true},
        Case{" 0..1", false, true}, Case{"", false, false}}) {
    EXPECT_EQ(rules::HasZeroLowerBound(c.text), c.zero) << "\"" << c.text << "\"";
    EXPECT_EQ(rules::HasPositiveLowerBound(c.text), c.positive) << "\"" << c.text << "\"";
  }
}

TEST(Lookups, ARequiredElementThatIsMissingIsAHostErrorNamingTheId) {
  const testing_support::TestModel model(TaggedModel().Text());
  const host::RepositoryPtr repository = model.Repository();
  EXPECT_EQ(rules::RequireElement(repository, model.ElementId("plain"))->Name(), "plain");
  try {
    rules::RequireElement(repository, 4711);
    FAIL() << "no error";
  } catch (const host::Error& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr("no element with id 4711"));
  }
}

}  // namespace
}  // namespace rules_test
