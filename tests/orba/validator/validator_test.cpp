#include "orba/validator/validator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "automation/dispatch.h"
#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"
#include "orba/validator/model_items.h"

namespace orba::validator {
namespace {

using automation::Variant;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Items named "bad..." break both rules; the item named "boom" makes every rule fail.
constexpr char kModel[] = R"json({
  "packages": [{"key": "root", "name": "Model"}, {"key": "views", "name": "badViews", "parent": "root"}],
  "elements": [
    {"key": "car", "package": "root", "type": "Class", "name": "Car"},
    {"key": "engine", "package": "views", "type": "Class", "name": "badEngine",
     "operations": [{"name": "badRun"}, {"name": "stop"}]},
    {"key": "boom", "package": "root", "type": "Class", "name": "boom"}
  ],
  "connectors": [{"key": "link", "type": "Association", "client": "car", "supplier": "engine"}]
})json";

// An add-in that registers two naming rules, a warning and an error, and
// reports the items breaking them; it records every rule call as "kind rule
// item-name".
class RuleAddin : public automation::DispatchObject {
 public:
  using Args = std::span<Variant>;

  RuleAddin() {
    AddMethod("Orba_OnInitializeUserRules", 1, [this](Args args) -> Variant {
      if (fail_registration) throw host::Error("no rules today");
      const host::ProjectServicesPtr services = Repository(args)->GetProjectServices();
      const std::string category = services->RegisterRuleCategory("Test rules");
      naming_rule_ = services->RegisterRule(category, 0, "Naming rules");
      services->RegisterRule(category, 1, "Strict rules");
      return {};
    });
    AddMethod("Orba_OnRunElementRule", 3, [this](Args args) {
      const host::ElementPtr element = args[2].As<host::Element>();
      return Check(args, "element", element->Name());
    });
    AddMethod("Orba_OnRunPackageRule", 3, [this](Args args) {
      const host::PackagePtr package = Repository(args)->GetPackageByID(args[2].ToInt32());
      return Check(args, "package", package->Name());
    });
    AddMethod("Orba_OnRunConnectorRule", 3, [this](Args args) {
      const host::ConnectorPtr connector = Repository(args)->GetConnectorByID(args[2].ToInt32());
      return Check(args, "connector", connector->Type());
    });
    // The operation is passed by GUID (args[2]) with the id of its owner (args[3]).
    AddMethod("Orba_OnRunMethodRule", 4, [this](Args args) {
      const host::ElementPtr owner = Repository(args)->GetElementByID(args[3].ToInt32());
      for (const host::MethodPtr& method : owner->Methods()->Items()) {
        if (method->MethodGUID() == args[2].ToString())
          return Check(args, "operation", method->Name());
      }
      throw host::Error("no such operation");
    });
  }

  bool fail_registration = false;
  std::vector<std::string> calls;

 private:
  static host::RepositoryPtr Repository(Args args) { return args[0].As<host::Repository>(); }

  Variant Check(Args args, const std::string& kind, const std::string& name) {
    const std::string rule = args[1].ToString();
    calls.push_back(kind + " " + (rule == naming_rule_ ? "Naming" : "Strict") + " " + name);
    if (name == "boom") throw host::Error("cannot read " + name);
    if (name.starts_with("bad")) {
      Repository(args)->GetProjectServices()->ReportViolation(rule, rule == naming_rule_ ? 0 : 1,
                                                              "bad name");
    }
    return {};
  }

  std::string naming_rule_;
};

class ValidatorTest : public ::testing::Test {
 protected:
  ValidatorTest() {
    repository_->CreateInMemoryModel();
    store::ImportJsonModel(*repository_, kModel);
  }
  ValidationResult Run(const ProgressFunction& progress = {}) {
    return Validate(repository_, session::LoadedAddin{"Test", addin_}, progress);
  }

  store::ModelRepositoryPtr repository_ = std::make_shared<store::ModelRepository>();
  std::shared_ptr<RuleAddin> addin_ = std::make_shared<RuleAddin>();
};

// Each registered rule runs on each item in item order; a failing call is
// recorded with its rule, item and error, and validation goes on.
TEST_F(ValidatorTest, RunsEveryRegisteredRuleOnEveryItemAndRecordsReportsFailuresAndProgress) {
  std::vector<std::pair<size_t, size_t>> progress;
  repository_->GetProjectServices()->ReportViolation("rule-x", 0, "made before the run");
  const ValidationResult result =
      Run([&](size_t done, size_t total) { progress.emplace_back(done, total); });
  ASSERT_EQ(result.rules.size(), 2u);
  EXPECT_EQ(result.rules[0].text, "Naming rules");
  EXPECT_EQ(result.rules[0].error_type, 0);
  EXPECT_EQ(result.rules[1].text, "Strict rules");
  EXPECT_EQ(result.items_checked, 8u);
  EXPECT_THAT(
      addin_->calls,
      ElementsAre("element Naming Car", "element Strict Car", "element Naming badEngine",
                  "element Strict badEngine", "element Naming boom", "element Strict boom",
                  "package Naming Model", "package Strict Model", "package Naming badViews",
                  "package Strict badViews", "connector Naming Association",
                  "connector Strict Association", "operation Naming badRun",
                  "operation Strict badRun", "operation Naming stop", "operation Strict stop"));
  std::vector<std::string> reports;
  for (const Violation& violation : result.violations) {
    EXPECT_EQ(violation.category, "Test rules");
    reports.push_back(std::string(store::ItemKindName(violation.item.kind)) + " " +
                      violation.item.name + " (" + violation.item.type + "): " + violation.rule +
                      " " + std::to_string(violation.error_type));
  }
  EXPECT_THAT(reports, ElementsAre("element badEngine (Class): Naming rules 0",
                                   "element badEngine (Class): Strict rules 1",
                                   "package badViews (Package): Naming rules 0",
                                   "package badViews (Package): Strict rules 1",
                                   "operation badRun (Operation): Naming rules 0",
                                   "operation badRun (Operation): Strict rules 1"));
  EXPECT_EQ(result.violations[0].message, "bad name");
  std::vector<ValidationItem> items;
  ValidationItems reader(*repository_);
  for (auto item = reader.Next(); item; item = reader.Next()) items.push_back(*item);
  EXPECT_EQ(result.violations[1].item.guid, items[1].ref.guid);
  EXPECT_EQ(result.violations[5].item.guid, items[6].ref.guid);
  // An element is passed as its object, an operation by GUID with its owner's id.
  const host::ElementPtr engine = items.at(1).subject.at(0).As<host::Element>();
  EXPECT_EQ(engine->Name(), "badEngine");
  EXPECT_THAT(items.at(6).subject,
              ElementsAre(Variant(items[6].ref.guid), Variant(engine->ElementID())));
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].rule, "Naming rules");
  EXPECT_EQ(result.failures[1].rule, "Strict rules");
  EXPECT_EQ(result.failures[0].item, items[2].ref);
  EXPECT_EQ(result.failures[0].error, "cannot read boom");
  EXPECT_EQ(progress.size(), 8u);
  EXPECT_EQ(progress.front(), (std::pair<size_t, size_t>{1, 8}));
  EXPECT_EQ(progress.back(), (std::pair<size_t, size_t>{8, 8}));
  // No item stays current after the run.
  repository_->GetProjectServices()->ReportViolation("rule-x", 0, "afterwards");
  EXPECT_EQ(repository_->Validation().Violations().back().item, store::ItemRef{});
  // A failed registration is recorded without an item, and no rule runs.
  addin_->fail_registration = true;
  addin_->calls.clear();
  const ValidationResult refused = Run();
  EXPECT_THAT(refused.rules, IsEmpty());
  EXPECT_THAT(addin_->calls, IsEmpty());
  ASSERT_EQ(refused.failures.size(), 1u);
  EXPECT_EQ(refused.failures[0].rule, "");
  EXPECT_FALSE(refused.failures[0].item.has_value());
  EXPECT_EQ(refused.failures[0].error, "no rules today");
}

}  // namespace
}  // namespace orba::validator
