// The SysML menu: its four layouts, and the dispatch of a chosen item to its command.
#include <vector>

#include "addin/tessary.h"
#include "resources/string_table.h"
#include "ui/about_dialog.h"
#include "ui/options_dialog.h"

namespace addin {
namespace {

namespace str = resources::str;
using resources::LoadResString;

constexpr int kSeparator = 0;

// A: old host or disabled.
const std::vector<int> kLayoutHelpAbout = {str::kHelp, str::kAbout};
// B: the technology is loaded.
const std::vector<int> kLayoutLoaded = {str::kUnloadTechnology,
                                        kSeparator,
                                        str::kNewBlockDefinitionDiagram,
                                        str::kNewInternalBlockDiagram,
                                        str::kNewParametricDiagram,
                                        str::kNewRequirementsDiagram,
                                        kSeparator,
                                        str::kViewAllocations,
                                        str::kViewRequirements,
                                        kSeparator,
                                        str::kOpenExampleModel,
                                        kSeparator,
                                        str::kOptions,
                                        str::kHelp,
                                        str::kAbout};
// C: not loaded, a model is open.
const std::vector<int> kLayoutModelOpen = {str::kLoadTechnology, kSeparator, str::kOpenExampleModel,
                                           kSeparator,           str::kHelp, str::kAbout};
// D: not loaded, no model open.
const std::vector<int> kLayoutNoModel = {str::kOpenExampleModel, kSeparator, str::kHelp,
                                         str::kAbout};

automation::Variant MenuArray(const std::vector<int>& layout) {
  std::vector<automation::Variant> items;
  for (int id : layout) items.emplace_back(id == kSeparator ? std::string("-") : LoadResString(id));
  return items;
}

}  // namespace

automation::Variant CTessary::Orba_GetMenuItems(const host::RepositoryPtr& Repository,
                                                const std::string&, const std::string& MenuName) {
  const std::string& heading = LoadResString(str::kMenuHeading);
  if (MenuName.empty()) return heading;
  if (MenuName != heading) {
    platform_->UserInterface().MessageBox("MenuName=" + MenuName, LoadResString(str::kTitle),
                                          platform::MessageIcon::kExclamation);
    return automation::Variant();
  }
  // The host is asked first, then the add-in's own state.
  if (Repository->BuildNumber() < kMinimumHostBuild || bDisabled)
    return MenuArray(kLayoutHelpAbout);
  if (Repository->HasTechnology(kTechnologyId)) return MenuArray(kLayoutLoaded);
  if (!Repository->ModelLocation().empty()) return MenuArray(kLayoutModelOpen);
  return MenuArray(kLayoutNoModel);
}

void CTessary::Orba_MenuClick(const host::RepositoryPtr& Repository, const std::string&,
                              const std::string&, const std::string& ItemName) {
  const auto is = [&ItemName](int id) { return ItemName == LoadResString(id); };
  if (bDisabled) {
    if (is(str::kHelp)) {
      ShowHelp();
    } else if (is(str::kAbout)) {
      ShowAbout(Repository);
    }
    return;
  }
  if (is(str::kLoadTechnology)) {
    DoLoad(Repository);
  } else if (is(str::kUnloadTechnology)) {
    DoUnload(Repository);
  } else if (is(str::kHelp)) {
    ShowHelp();
  } else if (is(str::kAbout)) {
    ShowAbout(Repository);
  } else if (is(str::kNewBlockDefinitionDiagram)) {
    DoNewDiagram(Repository, "block");
  } else if (is(str::kNewInternalBlockDiagram)) {
    DoNewDiagram(Repository, "internal block");
  } else if (is(str::kNewParametricDiagram)) {
    DoNewDiagram(Repository, "parametric");
  } else if (is(str::kNewRequirementsDiagram)) {
    DoNewDiagram(Repository, "requirement");
  } else if (is(str::kViewAllocations)) {
    Repository->RunSearch("SysML Allocations", "", "", "");
  } else if (is(str::kViewRequirements)) {
    Repository->RunSearch("Requirements", "", "", "");
  } else if (is(str::kOpenExampleModel)) {
    OpenExampleModel(Repository);
  } else if (is(str::kOptions)) {
    ShowOptions(Repository);
  } else {
    platform_->UserInterface().MessageBox("ItemName=" + ItemName, LoadResString(str::kTitle),
                                          platform::MessageIcon::kExclamation);
  }
}

void CTessary::ShowHelp() {
  // HH_HELP_CONTEXT, topic 1000; the viewer's answer is not looked at.
  platform_->Help().ShowContext(sHelpFile, 1000);
}

void CTessary::ShowAbout(const host::RepositoryPtr& Repository) {
  ui::AboutDialog about;
  about.ShowIt(Repository, platform_->UserInterface());
}

void CTessary::ShowOptions(const host::RepositoryPtr& Repository) {
  ui::OptionsDialog options(platform_->Settings());
  platform_->UserInterface().ShowModal(options);
  if (options.IsShowAlwaysChanged()) {
    bool choice_given = true;
    bool show_always = options.Value("chkShowAlways") == 1;
    bool activate_perspective = false;
    ApplyToolboxVisibility(Repository, choice_given, show_always, activate_perspective);
  }
  Compartments = GetAvailableCompartments();
  Repository->RedrawOpenDiagrams(true);
}

}  // namespace addin
