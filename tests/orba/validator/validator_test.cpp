#include "orba/validator/validator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "orba/validator/validator_fixtures.h"

namespace orba::validator {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::IsEmpty;
using ::testing::Not;

class ValidatorTest : public ::testing::Test {
 protected:
  ValidationResult Run(const ProgressFunction& progress = {}) {
    return Validate(repository_, session::LoadedAddin{"Test", addin_}, progress);
  }
  host::ElementPtr Element(const std::string& name) {
    for (int32_t id : repository_->ElementIds()) {
      if (host::ElementPtr element = repository_->GetElementByID(id); element->Name() == name) {
        return element;
      }
    }
    throw std::runtime_error("no element " + name);
  }

  store::ModelRepositoryPtr repository_ = testing::ImportedModel();
  std::shared_ptr<testing::RuleAddin> addin_ = std::make_shared<testing::RuleAddin>();
};

TEST_F(ValidatorTest, RunsEveryRegisteredRuleOnEveryItemThroughTheEventOfItsKindInItemOrder) {
  const ValidationResult result = Run();
  ASSERT_EQ(result.rules.size(), 2u);
  EXPECT_EQ(result.rules[0].text, "Naming rules");
  EXPECT_EQ(result.rules[0].error_type, 0);
  EXPECT_EQ(result.rules[1].text, "Stereotype rules");
  EXPECT_EQ(result.items_checked, 8u);
  EXPECT_THAT(
      addin_->calls,
      ElementsAre("element Naming Car", "element Stereotype Car", "element Naming badEngine",
                  "element Stereotype badEngine", "element Naming boom", "element Stereotype boom",
                  "package Naming Model", "package Stereotype Model", "package Naming badViews",
                  "package Stereotype badViews", "connector Naming Association",
                  "connector Stereotype Association", "operation Naming badRun",
                  "operation Stereotype badRun", "operation Naming stop",
                  "operation Stereotype stop"));
}

TEST_F(ValidatorTest, RecordsEachReportAgainstTheItemBeingValidatedInReportOrder) {
  const ValidationResult result = Run();
  std::vector<std::string> reports;
  for (const Violation& violation : result.violations) {
    reports.push_back(std::string(store::ItemKindName(violation.item.kind)) + " " +
                      violation.item.name + " (" + violation.item.type + "): " + violation.rule +
                      " " + std::to_string(violation.error_type) + ": " + violation.message);
  }
  EXPECT_THAT(
      reports,
      ElementsAre("element badEngine (Class): Naming rules 0: element name badEngine is bad",
                  "element badEngine (Class): Stereotype rules 1: wrong stereotype on badEngine",
                  "package badViews (Package): Naming rules 0: package name badViews is bad",
                  "package badViews (Package): Stereotype rules 1: wrong stereotype on badViews",
                  "connector  (Association): Stereotype rules 1: wrong stereotype on Association",
                  "operation badRun (Operation): Naming rules 0: operation name badRun is bad",
                  "operation stop (Operation): Stereotype rules 1: wrong stereotype on stop"));
  const host::ElementPtr engine = Element("badEngine");
  EXPECT_EQ(result.violations[1].category, "Test rules");
  EXPECT_EQ(result.violations[1].item.guid, engine->ElementGUID());
  EXPECT_EQ(result.violations[5].item.guid, engine->Methods()->Items().at(0)->MethodGUID());
}

TEST_F(ValidatorTest, AFailingCallIsRecordedWithRuleItemAndErrorAndValidationGoesOn) {
  const ValidationResult result = Run();
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].rule, "Naming rules");
  EXPECT_EQ(result.failures[1].rule, "Stereotype rules");
  ASSERT_TRUE(result.failures[0].item.has_value());
  EXPECT_EQ(result.failures[0].item->name, "boom");
  EXPECT_EQ(result.failures[0].item->guid, Element("boom")->ElementGUID());
  EXPECT_EQ(result.failures[0].error, "cannot read boom");
  EXPECT_EQ(addin_->calls.back(), "operation Stereotype stop");
}

TEST_F(ValidatorTest, AFailedRegistrationIsRecordedWithoutAnItemAndNoRuleRuns) {
  addin_->fail_registration = true;
  const ValidationResult result = Run();
  EXPECT_THAT(result.rules, IsEmpty());
  EXPECT_THAT(addin_->calls, IsEmpty());
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].rule, "");
  EXPECT_FALSE(result.failures[0].item.has_value());
  EXPECT_EQ(result.failures[0].error, "no rules today");
}

TEST_F(ValidatorTest, TellsTheProgressAfterEachItem) {
  std::vector<std::pair<size_t, size_t>> progress;
  Run([&](size_t done, size_t total) { progress.emplace_back(done, total); });
  ASSERT_EQ(progress.size(), 8u);
  EXPECT_EQ(progress.front(), (std::pair<size_t, size_t>{1, 8}));
  EXPECT_EQ(progress.back(), (std::pair<size_t, size_t>{8, 8}));
}

TEST_F(ValidatorTest, ReportsMadeBeforeTheRunAreNotCountedAndNoItemStaysCurrent) {
  repository_->GetProjectServices()->ReportViolation("rule-x", 0, "left over");
  const ValidationResult result = Run();
  EXPECT_THAT(result.violations, Not(Contains(Field(&Violation::message, "left over"))));
  repository_->GetProjectServices()->ReportViolation("rule-x", 0, "afterwards");
  EXPECT_EQ(repository_->Validation().Violations().back().item, store::ItemRef{});
}

TEST(ValidatorCleanModelTest, AModelWithoutBadItemsHasNoViolations) {
  auto repository = testing::ImportedModel(R"json({"format": "orba-model", "version": 1,
    "packages": [{"key": "root", "name": "Model"}],
    "elements": [{"key": "car", "package": "root", "type": "Class", "name": "Car"}]})json");
  const ValidationResult result =
      Validate(repository, session::LoadedAddin{"Test", std::make_shared<testing::RuleAddin>()});
  EXPECT_THAT(result.violations, IsEmpty());
  EXPECT_THAT(result.failures, IsEmpty());
  EXPECT_EQ(result.items_checked, 2u);
}

}  // namespace
}  // namespace orba::validator
