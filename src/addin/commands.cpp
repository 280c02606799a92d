// The commands behind the menu: load and unload the technology, toolbox
// visibility and the perspective, new diagrams, and the example model.
#include <map>

#include "addin/tessary.h"
#include "automation/variant.h"
#include "platform/ansi_text.h"
#include "resources/resource_table.h"
#include "resources/string_table.h"

namespace addin {
namespace {

namespace str = resources::str;

std::string ResourceText(std::string_view type, int id) {
  return platform::AnsiToText(resources::LoadResData(type, id));
}

// DiagramKind (compared exactly) -> the host diagram type the technology defines.
const std::map<std::string, std::string>& DiagramTypes() {
  static const std::map<std::string, std::string> types = {
      {"block", "SysML::BlockDefinition"},
      {"internal block", "SysML::InternalBlock"},
      {"parametric", "SysML::Parametric"},
      {"requirement", "SysML::Requirement"},
  };
  return types;
}

}  // namespace

void CTessary::DoLoad(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  if (Repository->ModelLocation().empty()) {
    return ShowMessage(str::kNoModelOpen, platform::MessageIcon::kExclamation);
  }
  if (Repository->BuildNumber() < kMinimumHostBuild) {
    return ShowMessage(str::kHostTooOld, platform::MessageIcon::kExclamation);
  }
  const std::string document = ResourceText(resources::kTechnologyType, resources::kTechnologyId);
  if (!Repository->InstallTechnology(document)) {
    return ShowMessage(str::kUnableToLoad, platform::MessageIcon::kExclamation);
  }
  bool choice_given = false;
  bool show_always = false;
  bool activate_perspective = true;
  ApplyToolboxVisibility(Repository, choice_given, show_always, activate_perspective);
}

void CTessary::DoUnload(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  if (Repository->ModelLocation().empty()) {
    return ShowMessage(str::kNoModelOpen, platform::MessageIcon::kExclamation);
  }
  if (Repository->RemoveTechnology(kTechnologyId)) return;
  ShowMessage(str::kUnableToUnload, platform::MessageIcon::kExclamation);
}

void CTessary::ApplyToolboxVisibility(const host::RepositoryPtr& Repository, bool& bChoiceGiven,
                                      bool& bShowAlways, bool& bActivatePerspective) {
  if (!Repository) return;
  if (!bChoiceGiven) {
    const std::string stored =
        platform_->Settings().GetSetting("SysML", "Options", "ShowAlways", "0");
    bShowAlways = automation::ConvertFrom("SysML option ShowAlways",
                                          [&] { return automation::Variant(stored).ToBool(); });
  }
  if (bShowAlways) {
    ShowTechnology(Repository);
  } else if (bActivatePerspective) {
    ShowPerspective(Repository);
  } else {
    HideTechnology(Repository);
  }
}

void CTessary::ShowTechnology(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  Repository->SetTechnologyVisibility(kTechnologyId, "", true);
}

void CTessary::HideTechnology(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  Repository->SetTechnologyVisibility(kTechnologyId, "", false);
}

void CTessary::ShowPerspective(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  if (Repository->BuildNumber() < kMinimumHostBuild) return;
  const int32_t present =
      automation::Variant(Repository->QueryPerspective(kTechnologyId)).ToInt32();
  if (present != -1) {
    Repository->InstallPerspective(
        ResourceText(resources::kPerspectiveType, resources::kPerspectiveId), 1);
  }
  Repository->SelectPerspective(kTechnologyId, 1);
}

void CTessary::DoNewDiagram(const host::RepositoryPtr& Repository, const std::string& DiagramKind) {
  if (bDisabled) return;
  const host::PackagePtr package = Repository->GetSelectedPackage();
  if (!package) return ShowMessage(str::kNoPackageSelected, platform::MessageIcon::kExclamation);
  if (package->ParentID() == 0) {
    return ShowMessage(str::kRootModelSelected, platform::MessageIcon::kExclamation);
  }
  const auto type = DiagramTypes().find(DiagramKind);
  if (type == DiagramTypes().end()) return;
  const std::string name = package->Name();
  const host::DiagramPtr diagram = package->Diagrams()->AddNew(name, type->second);
  diagram->SetDisplayFlags(0);
  diagram->Update();
  package->Diagrams()->Refresh();
  Repository->OpenDiagram(diagram->DiagramID());
}

void CTessary::OpenExampleModel(const host::RepositoryPtr& Repository) {
  if (bDisabled) return;
  Repository->CloseModel();
  Repository->OpenModel((platform_->ModuleFolder() / "SysML Example.obx").string());
}

}  // namespace addin
