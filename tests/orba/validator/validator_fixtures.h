// A small model with items of all four kinds, some of them "bad", and a
// test add-in that registers two rules and reports on the bad items, for the
// validator's tests.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "automation/dispatch.h"
#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"

namespace orba::validator::testing {

// Items named "bad..." break the naming rule; items with the stereotype
// "wrong" break the stereotype rule; the item named "boom" makes every rule fail.
inline constexpr char kModel[] = R"json({
  "format": "orba-model", "version": 1,
  "packages": [{"key": "root", "name": "Model"},
               {"key": "views", "name": "badViews", "parent": "root", "stereotype": "wrong"}],
  "elements": [
    {"key": "car", "package": "root", "type": "Class", "name": "Car"},
    {"key": "engine", "package": "views", "type": "Class", "name": "badEngine", "stereotype": "wrong",
     "operations": [{"name": "badRun"}, {"name": "stop", "stereotype": "wrong"}]},
    {"key": "boom", "package": "root", "type": "Class", "name": "boom"}
  ],
  "connectors": [{"key": "link", "type": "Association", "stereotype": "wrong", "client": "car",
                  "supplier": "engine"}]
})json";

inline store::ModelRepositoryPtr ImportedModel(const char* json = kModel) {
  auto repository = std::make_shared<store::ModelRepository>();
  repository->CreateInMemoryModel();
  store::ImportJsonModel(*repository, json);
  return repository;
}

class RuleAddin : public automation::DispatchObject {
 public:
  using Args = std::span<automation::Variant>;

  RuleAddin() {
    AddMethod("Orba_OnInitializeUserRules", 1, [this](Args args) { return Register(args); });
    AddMethod("Orba_OnRunElementRule", 3, [this](Args args) {
      const host::ElementPtr element = args[2].As<host::Element>();
      return Check(args, "element", element->Name(), element->Stereotype());
    });
    AddMethod("Orba_OnRunPackageRule", 3, [this](Args args) {
      const host::PackagePtr package = Repository(args)->GetPackageByID(args[2].ToInt32());
      return Check(args, "package", package->Name(), package->Element()->Stereotype());
    });
    AddMethod("Orba_OnRunConnectorRule", 3, [this](Args args) {
      const host::ConnectorPtr connector = Repository(args)->GetConnectorByID(args[2].ToInt32());
      return Check(args, "connector", connector->Type(), connector->Stereotype());
    });
    AddMethod("Orba_OnRunMethodRule", 4, [this](Args args) {
      const host::MethodPtr method = MethodOf(args);
      return Check(args, "operation", method->Name(), method->Stereotype());
    });
  }

  bool fail_registration = false;
  // Every rule call: "kind rule-text item-name".
  std::vector<std::string> calls;

 private:
  static host::RepositoryPtr Repository(Args args) { return args[0].As<host::Repository>(); }

  // The operation whose GUID is args[2], among those of the element args[3].
  static host::MethodPtr MethodOf(Args args) {
    const host::ElementPtr owner = Repository(args)->GetElementByID(args[3].ToInt32());
    for (const host::MethodPtr& method : owner->Methods()->Items()) {
      if (method->MethodGUID() == args[2].ToString()) return method;
    }
    throw host::Error("no such operation");
  }

  automation::Variant Register(Args args) {
    if (fail_registration) throw host::Error("no rules today");
    const host::ProjectServicesPtr services = Repository(args)->GetProjectServices();
    const std::string category = services->RegisterRuleCategory("Test rules");
    naming_rule_ = services->RegisterRule(category, 0, "Naming rules");
    stereotype_rule_ = services->RegisterRule(category, 1, "Stereotype rules");
    return {};
  }

  automation::Variant Check(Args args, const std::string& kind, const std::string& name,
                            const std::string& stereotype) {
    const std::string rule = args[1].ToString();
    calls.push_back(kind + " " + (rule == naming_rule_ ? "Naming" : "Stereotype") + " " + name);
    if (name == "boom") throw host::Error("cannot read " + name);
    const host::ProjectServicesPtr services = Repository(args)->GetProjectServices();
    if (rule == naming_rule_ && name.starts_with("bad")) {
      services->ReportViolation(rule, 0, kind + " name " + name + " is bad");
    }
    if (rule == stereotype_rule_ && stereotype == "wrong") {
      services->ReportViolation(rule, 1, "wrong stereotype on " + name);
    }
    return {};
  }

  std::string naming_rule_;
  std::string stereotype_rule_;
};

}  // namespace orba::validator::testing
