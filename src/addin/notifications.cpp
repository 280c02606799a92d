// Edit notifications: new viewpoints become abstract; a changed requirement
// redraws the open diagrams so that its compartment shows the change.
#include "addin/tessary.h"
#include "base/text.h"
#include "helper_funcs/helper_funcs.h"

namespace addin {
namespace {

// The object type the host passes for an element.
constexpr int32_t kElementObjectType = 4;

// Using "nothing" as an object fails the operation, as it does for any automation client.
template <class T>
std::shared_ptr<T> Existing(std::shared_ptr<T> object, const std::string& what) {
  if (!object) throw automation::Error(what + " is nothing");
  return object;
}

}  // namespace

bool CTessary::Orba_OnPostNewElement(const host::RepositoryPtr& Repository,
                                     const host::EventArgumentsPtr& Info) {
  if (bDisabled) return false;
  const automation::Variant id = Existing(Existing(Info, "Info")->Item(0), "Info.Item(0)")->Value();
  const int32_t element_id = id.ToInt32();
  const host::ElementPtr element =
      Existing(Existing(Repository, "Repository")->GetElementByID(element_id),
               "the element " + std::to_string(element_id));
  if (base::AsciiLowerCase(element->Metatype()) != "viewpoint") return false;
  // SysML viewpoints are abstract; the flag is written as the text of True.
  element->SetAbstract(automation::Variant(true).ToString());
  element->Update();
  return true;
}

void CTessary::Orba_OnNotifyContextItemModified(const host::RepositoryPtr& Repository,
                                                const std::string& GUID, int32_t ot) {
  if (bDisabled || !Repository) return;
  if (!Repository->HasTechnology(kTechnologyId)) return;
  if (ot != kElementObjectType || GUID.empty()) return;
  // Only the exact metatype counts here, unlike the requirement compartment.
  if (HelperFuncs::GetModelItemAttribute(Repository, GUID, "Metatype") == "Requirement") {
    Repository->RedrawOpenDiagrams(false);
  }
}

}  // namespace addin
