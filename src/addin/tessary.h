// CTessary: the add-in object that the host creates as "Tessary.CTessary" and
// calls by operation name. Each public operation is also callable directly;
// the dispatch table built in the constructor maps the names to them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/dispatch.h"
#include "host/host.h"
#include "platform/platform.h"
#include "rules/sysml_rules.h"

namespace addin {

inline constexpr char kProgID[] = "Tessary.CTessary";
inline constexpr int32_t kMinimumHostBuild = 797;
inline constexpr char kTechnologyId[] = "SysML";

class CTessary : public automation::DispatchObject {
 public:
  explicit CTessary(std::shared_ptr<platform::Platform> platform);
  ~CTessary() override;

  // The enabled compartment names, as last computed by GetAvailableCompartments.
  std::string Compartments;

  std::string Orba_Connect(const host::RepositoryPtr& Repository);
  void Orba_Disconnect();
  void Orba_OnPostInitialized(const host::RepositoryPtr& Repository);
  automation::Variant Orba_GetMenuItems(const host::RepositoryPtr& Repository,
                                        const std::string& MenuLocation,
                                        const std::string& MenuName);
  void Orba_MenuClick(const host::RepositoryPtr& Repository, const std::string& MenuLocation,
                      const std::string& MenuName, const std::string& ItemName);
  void Orba_FileOpen(const host::RepositoryPtr& Repository);
  void OpenExampleModel(const host::RepositoryPtr& Repository);
  void ShowTechnology(const host::RepositoryPtr& Repository);
  void HideTechnology(const host::RepositoryPtr& Repository);
  void ShowPerspective(const host::RepositoryPtr& Repository);
  automation::Variant AllocationSearch(const host::RepositoryPtr& Repository, std::string& s1,
                                       std::string& s2);
  void DoLoad(const host::RepositoryPtr& Repository);
  void DoUnload(const host::RepositoryPtr& Repository);
  void DoNewDiagram(const host::RepositoryPtr& Repository, const std::string& DiagramKind);
  bool Orba_OnPostNewElement(const host::RepositoryPtr& Repository,
                             const host::EventArgumentsPtr& Info);
  void Orba_OnInitializeUserRules(const host::RepositoryPtr& Repository);
  void Orba_OnRunElementRule(const host::RepositoryPtr& Repository, const std::string& sRuleID,
                             const host::ElementPtr& Element);
  void Orba_OnRunPackageRule(const host::RepositoryPtr& Repository, const std::string& sRuleID,
                             int32_t lPackageID);
  void Orba_OnRunConnectorRule(const host::RepositoryPtr& Repository, const std::string& sRuleID,
                               int32_t lConnectorID);
  void Orba_OnRunMethodRule(const host::RepositoryPtr& Repository, const std::string& sRuleID,
                            const std::string& sMethGUID, int32_t lObjectID);
  std::string GetAvailableCompartments();
  automation::Variant Orba_QueryAvailableCompartments(const host::RepositoryPtr& Repository);
  automation::Variant Orba_GetCompartmentData(const host::RepositoryPtr& Repository,
                                              const std::string& sCompartment,
                                              const std::string& sGUID, int32_t oType);
  void Orba_OnNotifyContextItemModified(const host::RepositoryPtr& Repository,
                                        const std::string& GUID, int32_t ot);

 private:
  void ApplyToolboxVisibility(const host::RepositoryPtr& Repository, bool& bChoiceGiven,
                              bool& bShowAlways, bool& bActivatePerspective);
  void ShowMessage(int string_id, platform::MessageIcon icon);
  void ShowHelp();
  void ShowAbout(const host::RepositoryPtr& Repository);
  void ShowOptions(const host::RepositoryPtr& Repository);
  void RegisterOperations();

  std::shared_ptr<platform::Platform> platform_;
  std::unique_ptr<rules::CSysMLRules> oRules;
  bool bDisabled = true;
  std::string sHelpFile;
};

}  // namespace addin
