// Views and viewpoints: a view is a package that may import elements but not
// own them; a viewpoint is abstract, has no features and classifies no instance.
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kViewOwnsElements = 129;
constexpr int kViewpointOwnsOperations = 130;
constexpr int kViewpointOwnsAttributes = 131;
constexpr int kViewpointNotAbstract = 132;
constexpr int kViewpointClassifiesInstance = 133;
}  // namespace

void CSysMLRules::CheckViewPackage(const host::RepositoryPtr& o_Repository,
                                   const host::PackagePtr& o_Package) {
  const host::ElementPtr element = Require(o_Package->Element(), "the package's element");
  if (LowerCase(element->Metatype()) != "view") return;
  if (o_Package->Elements()->Count() > 0) {
    ReportRuleViolation(o_Repository, "Rule_01", kViewOwnsElements);
  }
}

void CSysMLRules::CheckViewpoint(const host::RepositoryPtr& o_Repository,
                                 const host::ElementPtr& o_Element) {
  if (LowerCase(o_Element->Metatype()) == "viewpoint") {
    if (o_Element->Methods()->Count() > 0) {
      ReportRuleViolation(o_Repository, "Rule_02", kViewpointOwnsOperations);
    }
    if (o_Element->Attributes()->Count() > 0) {
      ReportRuleViolation(o_Repository, "Rule_02", kViewpointOwnsAttributes);
    }
    if (o_Element->Abstract() != "1") {
      ReportRuleViolation(o_Repository, "Rule_02", kViewpointNotAbstract);
    }
  }
  // Any instance specification, whatever its own metatype.
  if (o_Element->Type() != "Object" || o_Element->ClassifierID() == 0) return;
  const host::ElementPtr classifier = RequireElement(o_Repository, o_Element->ClassifierID());
  if (LowerCase(classifier->Metatype()) == "viewpoint") {
    ReportRuleViolation(o_Repository, "Rule_02", kViewpointClassifiesInstance);
  }
}

}  // namespace rules
