#include "addin/tessary.h"

#include "compartments/compartments.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"
#include "resources/string_table.h"
#include "search/allocation_search.h"

namespace addin {

CTessary::CTessary(std::shared_ptr<platform::Platform> platform)
    : platform_(std::move(platform)),
      oRules(std::make_unique<rules::CSysMLRules>()),
      sHelpFile((platform_->ModuleFolder() / "Orba_SysML.chm").string()) {
  RegisterOperations();
}

CTessary::~CTessary() { oRules.reset(); }

std::string CTessary::Orba_Connect(const host::RepositoryPtr& Repository) {
  if (Repository->BuildNumber() < kMinimumHostBuild) {
    ShowMessage(resources::str::kHostTooOld, platform::MessageIcon::kCriticalStop);
    bDisabled = true;  // a host once refused stays refused
    return "";
  }
  bDisabled = false;
  // After enabling: GetAvailableCompartments answers "" while disabled.
  Compartments = GetAvailableCompartments();
  return "";
}

void CTessary::Orba_Disconnect() {}

void CTessary::Orba_OnPostInitialized(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  const std::string_view bytes =
      resources::LoadResData(resources::kSearchType, resources::kSearchId);
  Repository->RegisterSearches(platform::AnsiToText(bytes));
}

void CTessary::Orba_FileOpen(const host::RepositoryPtr& Repository) {
  if (!Repository) return;
  if (!Repository->HasTechnology(kTechnologyId)) return;
  bool choice_given = false;
  bool show_always = false;
  bool activate_perspective = false;
  ApplyToolboxVisibility(Repository, choice_given, show_always, activate_perspective);
}

automation::Variant CTessary::AllocationSearch(const host::RepositoryPtr& Repository, std::string&,
                                               std::string& s2) {
  if (bDisabled) return std::string();
  s2 = search::AllocationSearchDocument(*Repository);
  return std::string();
}

void CTessary::Orba_OnInitializeUserRules(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  oRules->ConfigureCategories(Repository);
  oRules->ConfigureRules(Repository);
}

void CTessary::Orba_OnRunElementRule(const host::RepositoryPtr& Repository,
                                     const std::string& sRuleID, const host::ElementPtr& Element) {
  if (bDisabled) return;
  oRules->RunElementRule(Repository, sRuleID, Element);
}

void CTessary::Orba_OnRunPackageRule(const host::RepositoryPtr& Repository,
                                     const std::string& sRuleID, int32_t lPackageID) {
  if (bDisabled) return;
  oRules->RunPackageRule(Repository, sRuleID, lPackageID);
}

void CTessary::Orba_OnRunConnectorRule(const host::RepositoryPtr& Repository,
                                       const std::string& sRuleID, int32_t lConnectorID) {
  if (bDisabled) return;
  oRules->RunConnectorRule(Repository, sRuleID, lConnectorID);
}

void CTessary::Orba_OnRunMethodRule(const host::RepositoryPtr& Repository,
                                    const std::string& sRuleID, const std::string& sMethGUID,
                                    int32_t lObjectID) {
  if (bDisabled) return;
  oRules->RunMethodRule(Repository, sRuleID, sMethGUID, lObjectID);
}

std::string CTessary::GetAvailableCompartments() {
  if (bDisabled) return "";
  return compartments::AvailableCompartments(platform_->Settings());
}

automation::Variant CTessary::Orba_QueryAvailableCompartments(const host::RepositoryPtr&) {
  return GetAvailableCompartments();
}

automation::Variant CTessary::Orba_GetCompartmentData(const host::RepositoryPtr& Repository,
                                                      const std::string& sCompartment,
                                                      const std::string& sGUID, int32_t) {
  if (bDisabled || !Repository) return std::string();
  return compartments::CompartmentData(*Repository, sCompartment, sGUID);
}

void CTessary::ShowMessage(int string_id, platform::MessageIcon icon) {
  platform_->UserInterface().MessageBox(resources::LoadResString(string_id),
                                        resources::LoadResString(resources::str::kTitle), icon);
}

}  // namespace addin
