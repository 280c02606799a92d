// The late-bound interface of CTessary: every public operation by name, with
// its parameter list, in interface order. Arguments arrive by reference; the
// conversions are the automation runtime's (a Repository is an object
// reference, possibly nothing; ids are 32-bit whole numbers; texts are texts).
#include "addin/nothing_repository.h"
#include "addin/tessary.h"

namespace addin {
namespace {

using automation::Variant;
using Args = std::span<Variant>;

// The Repository argument; nothing becomes a repository whose every call fails
// the operation, so that no operation dereferences a null object.
host::RepositoryPtr Repo(const Variant& argument) {
  host::RepositoryPtr repository = argument.As<host::Repository>();
  if (!repository) repository = std::make_shared<NothingRepository>();
  return repository;
}

// For the operations that test for nothing themselves and then do nothing.
host::RepositoryPtr NullableRepo(const Variant& argument) {
  return argument.As<host::Repository>();
}

}  // namespace

void CTessary::RegisterOperations() {
  AddProperty(
      "Compartments", [this] { return Variant(Compartments); },
      [this](const Variant& value) { Compartments = value.ToString(); });
  AddMethod("Orba_Connect", 1, [this](Args a) { return Variant(Orba_Connect(Repo(a[0]))); });
  AddMethod("Orba_Disconnect", 0, [this](Args) {
    Orba_Disconnect();
    return Variant();
  });
  AddMethod("Orba_OnPostInitialized", 1, [this](Args a) {
    Orba_OnPostInitialized(Repo(a[0]));
    return Variant();
  });
  AddMethod("Orba_GetMenuItems", 3, [this](Args a) {
    return Orba_GetMenuItems(Repo(a[0]), a[1].ToString(), a[2].ToString());
  });
  AddMethod("Orba_MenuClick", 4, [this](Args a) {
    Orba_MenuClick(Repo(a[0]), a[1].ToString(), a[2].ToString(), a[3].ToString());
    return Variant();
  });
  const auto repository_command = [this](void (CTessary::*command)(const host::RepositoryPtr&)) {
    return [this, command](Args a) {
      (this->*command)(Repo(a[0]));
      return Variant();
    };
  };
  AddMethod("Orba_FileOpen", 1, [this](Args a) {
    Orba_FileOpen(NullableRepo(a[0]));
    return Variant();
  });
  AddMethod("OpenExampleModel", 1, repository_command(&CTessary::OpenExampleModel));
  AddMethod("ShowTechnology", 1, repository_command(&CTessary::ShowTechnology));
  AddMethod("HideTechnology", 1, repository_command(&CTessary::HideTechnology));
  AddMethod("ShowPerspective", 1, repository_command(&CTessary::ShowPerspective));
  AddMethod("AllocationSearch", 3, [this](Args a) {
    std::string s1 = a[1].ToString();
    std::string s2 = a[2].ToString();
    Variant result = AllocationSearch(Repo(a[0]), s1, s2);
    a[1] = s1;
    a[2] = s2;
    return result;
  });
  AddMethod("DoLoad", 1, repository_command(&CTessary::DoLoad));
  AddMethod("DoUnload", 1, repository_command(&CTessary::DoUnload));
  AddMethod("DoNewDiagram", 2, [this](Args a) {
    DoNewDiagram(Repo(a[0]), a[1].ToString());
    return Variant();
  });
  AddMethod("Orba_OnPostNewElement", 2, [this](Args a) {
    return Variant(Orba_OnPostNewElement(NullableRepo(a[0]), a[1].As<host::EventArguments>()));
  });
  AddMethod("Orba_OnInitializeUserRules", 1,
            repository_command(&CTessary::Orba_OnInitializeUserRules));
  AddMethod("Orba_OnRunElementRule", 3, [this](Args a) {
    Orba_OnRunElementRule(Repo(a[0]), a[1].ToString(), a[2].As<host::Element>());
    return Variant();
  });
  AddMethod("Orba_OnRunPackageRule", 3, [this](Args a) {
    Orba_OnRunPackageRule(Repo(a[0]), a[1].ToString(), a[2].ToInt32());
    return Variant();
  });
  AddMethod("Orba_OnRunConnectorRule", 3, [this](Args a) {
    Orba_OnRunConnectorRule(Repo(a[0]), a[1].ToString(), a[2].ToInt32());
    return Variant();
  });
  AddMethod("Orba_OnRunMethodRule", 4, [this](Args a) {
    Orba_OnRunMethodRule(Repo(a[0]), a[1].ToString(), a[2].ToString(), a[3].ToInt32());
    return Variant();
  });
  AddMethod("GetAvailableCompartments", 0,
            [this](Args) { return Variant(GetAvailableCompartments()); });
  AddMethod("Orba_QueryAvailableCompartments", 1,
            [this](Args a) { return Orba_QueryAvailableCompartments(Repo(a[0])); });
  AddMethod("Orba_GetCompartmentData", 4, [this](Args a) {
    return Orba_GetCompartmentData(Repo(a[0]), a[1].ToString(), a[2].ToString(), a[3].ToInt32());
  });
  AddMethod("Orba_OnNotifyContextItemModified", 3, [this](Args a) {
    Orba_OnNotifyContextItemModified(NullableRepo(a[0]), a[1].ToString(), a[2].ToInt32());
    return Variant();
  });
}

}  // namespace addin
