// Requirements and the stereotyped dependencies of requirement and view
// modelling. The requirement test is case-sensitive; stereotypes and the other
// metatypes are lower-cased first. An end id that names no element is of no
// kind, so it fails the check on that end.
#include "helper_funcs/helper_funcs.h"
#include "rules/rule_lookups.h"
#include "rules/sysml_rules.h"

namespace rules {

namespace {
constexpr int kDeriveNeedsRequirements = 161;
constexpr int kRequirementInAssociation = 162;
constexpr int kRequirementInGeneralization = 163;
constexpr int kSatisfyNeedsRequirement = 164;
constexpr int kVerifyNeedsTestCase = 165;
constexpr int kVerifyNeedsRequirement = 166;
constexpr int kConformNeedsView = 167;
constexpr int kConformNeedsViewpoint = 168;
constexpr int kCopyNeedsClientRequirement = 169;
constexpr int kCopyNeedsSupplierRequirement = 170;

bool IsRequirement(const host::ElementPtr& o_End) {
  return HelperFuncs::IsRequirementMetatype(MetatypeOf(o_End));
}
bool IsTestCase(const host::ElementPtr& o_End) {
  return LowerCase(MetatypeOf(o_End)) == "testcase";
}
bool IsView(const host::ElementPtr& o_End) { return LowerCase(MetatypeOf(o_End)) == "view"; }
bool IsViewpoint(const host::ElementPtr& o_End) {
  return LowerCase(MetatypeOf(o_End)) == "viewpoint";
}

bool HasStereotype(host::Connector& o_Connector, const char* Keyword) {
  return LowerCase(o_Connector.Stereotype()) == Keyword;
}
}  // namespace

void CSysMLRules::CheckDeriveDependency(const host::RepositoryPtr& o_Repository,
                                        const host::ConnectorPtr& o_Connector) {
  if (!HasStereotype(*o_Connector, "derive")) return;
  const host::ElementPtr client = o_Repository->GetElementByID(o_Connector->ClientID());
  const host::ElementPtr supplier = o_Repository->GetElementByID(o_Connector->SupplierID());
  if (!IsRequirement(client) || !IsRequirement(supplier)) {
    ReportRuleViolation(o_Repository, "Rule_24", kDeriveNeedsRequirements);
  }
}

void CSysMLRules::CheckRequirementRelationships(const host::RepositoryPtr& o_Repository,
                                                const host::ElementPtr& o_Element) {
  if (!HelperFuncs::IsRequirementMetatype(o_Element->Metatype())) return;
  for (const host::ConnectorPtr& connector : o_Element->Connectors()->Items()) {
    const std::string kind = connector->Type();
    if (kind == "Association") {
      ReportRuleViolation(o_Repository, "Rule_25", kRequirementInAssociation);
    } else if (kind == "Generalization") {
      ReportRuleViolation(o_Repository, "Rule_25", kRequirementInGeneralization);
    }
  }
}

void CSysMLRules::CheckSatisfyDependency(const host::RepositoryPtr& o_Repository,
                                         const host::ConnectorPtr& o_Connector) {
  if (!HasStereotype(*o_Connector, "satisfy")) return;
  if (!IsRequirement(o_Repository->GetElementByID(o_Connector->SupplierID()))) {
    ReportRuleViolation(o_Repository, "Rule_26", kSatisfyNeedsRequirement);
  }
}

void CSysMLRules::CheckVerifyDependency(const host::RepositoryPtr& o_Repository,
                                        const host::ConnectorPtr& o_Connector) {
  CheckDependencyEnds(o_Repository, o_Connector, "Rule_27", "verify",
                      {IsTestCase, kVerifyNeedsTestCase}, {IsRequirement, kVerifyNeedsRequirement});
}

void CSysMLRules::CheckConformDependency(const host::RepositoryPtr& o_Repository,
                                         const host::ConnectorPtr& o_Connector) {
  CheckDependencyEnds(o_Repository, o_Connector, "Rule_28", "conform", {IsView, kConformNeedsView},
                      {IsViewpoint, kConformNeedsViewpoint});
}

void CSysMLRules::CheckCopyDependency(const host::RepositoryPtr& o_Repository,
                                      const host::ConnectorPtr& o_Connector) {
  CheckDependencyEnds(o_Repository, o_Connector, "Rule_29", "copy",
                      {IsRequirement, kCopyNeedsClientRequirement},
                      {IsRequirement, kCopyNeedsSupplierRequirement});
}

void CSysMLRules::CheckDependencyEnds(const host::RepositoryPtr& o_Repository,
                                      const host::ConnectorPtr& o_Connector, const char* LocalID,
                                      const char* Keyword, EndCheck Client, EndCheck Supplier) {
  if (!HasStereotype(*o_Connector, Keyword)) return;
  const host::ElementPtr client = o_Repository->GetElementByID(o_Connector->ClientID());
  const host::ElementPtr supplier = o_Repository->GetElementByID(o_Connector->SupplierID());
  if (!Client.Test(client)) ReportRuleViolation(o_Repository, LocalID, Client.MessageID);
  if (!Supplier.Test(supplier)) ReportRuleViolation(o_Repository, LocalID, Supplier.MessageID);
}

}  // namespace rules
