#include "support/scripted_host.h"

#include <concepts>
#include <type_traits>
#include <utility>

#include "automation/variant.h"

namespace testing_support {

std::vector<std::string> FaultPlan::CallsWithArguments() const {
  std::vector<std::string> calls;
  for (size_t i = 0; i < calls_.size(); ++i) {
    std::string call = calls_[i] + "(";
    for (size_t a = 0; a < arguments_[i].size(); ++a) call += (a ? ", " : "") + arguments_[i][a];
    calls.push_back(call + ")");
  }
  return calls;
}

int FaultPlan::CountOf(const std::string& name) const {
  auto found = counts_.find(name);
  return found == counts_.end() ? 0 : found->second;
}

std::string FaultPlan::LastArgument(const std::string& name, size_t index) const {
  for (size_t i = calls_.size(); i-- > 0;) {
    if (calls_[i] == name) return index < arguments_[i].size() ? arguments_[i][index] : "";
  }
  return "";
}

void FaultPlan::Answer(const std::string& name, const std::string& answer) {
  Answer(name, [answer](const std::vector<std::string>&) { return answer; });
}

std::optional<std::string> FaultPlan::AnswerTo(const std::string& name,
                                               const std::vector<std::string>& arguments) const {
  auto found = answers_.find(name);
  if (found == answers_.end()) return std::nullopt;
  return found->second(arguments);
}

void FaultPlan::ClearCalls() {
  calls_.clear();
  arguments_.clear();
  counts_.clear();
}

void FaultPlan::Enter(const std::string& name, std::vector<std::string> arguments) {
  calls_.push_back(name);
  arguments_.push_back(std::move(arguments));
  const int count = ++counts_[name];
  const bool due_by_number = calls_to_failure_ > 0 && --calls_to_failure_ == 0;
  auto due_by_name = fail_on_.find(name);
  if (due_by_number || (due_by_name != fail_on_.end() && due_by_name->second == count)) {
    throw host::Error("injected failure of " + name + " (call " + std::to_string(count) + ")");
  }
}

namespace {

using PlanPtr = std::shared_ptr<FaultPlan>;

// An argument as the recorded call shows it.
std::string Text(const std::string& value) { return value; }
std::string Text(bool value) { return value ? "True" : "False"; }
template <std::integral Number>
std::string Text(Number value) {
  return std::to_string(value);
}

// Plain values pass through; host objects come back wrapped, null stays null.
template <class Value>
Value Wrap(const PlanPtr&, Value value) {
  return value;
}
template <class T>
std::shared_ptr<T> Wrap(const PlanPtr& plan, std::shared_ptr<T> object);
template <class T>
std::vector<std::shared_ptr<T>> Wrap(const PlanPtr& plan, std::vector<std::shared_ptr<T>> items) {
  for (auto& item : items) item = Wrap(plan, std::move(item));
  return items;
}

// A scripted answer as the member's result.
template <class Result>
Result FromText(const std::string& answer) {
  if constexpr (std::is_same_v<Result, bool>) {
    return answer == "True";
  } else if constexpr (std::is_integral_v<Result>) {
    return static_cast<Result>(std::stol(answer));
  } else {
    return answer;
  }
}

template <class Result>
concept Scriptable = std::is_same_v<Result, std::string> || std::is_integral_v<Result>;

// Records the call `name` and fails it when due; else answers it as scripted,
// or calls the member on the wrapped object and wraps what it answers.
template <class Interface, class Member, class... Args>
auto Forward(const PlanPtr& plan, Interface& inner, const std::string& name, Member member,
             const Args&... args) {
  std::vector<std::string> arguments = {Text(args)...};
  plan->Enter(name, arguments);
  using Result = decltype((inner.*member)(args...));
  if constexpr (std::is_void_v<Result>) {
    (inner.*member)(args...);
  } else {
    if constexpr (Scriptable<Result>) {
      if (auto answer = plan->AnswerTo(name, arguments)) return FromText<Result>(*answer);
    }
    return Wrap(plan, (inner.*member)(args...));
  }
}

// The common part of every wrapper. Only the typed interface is forwarded:
// late-bound calls by name (Invoke, Get, Put) keep their default answer.
template <class Interface>
class Wrapper : public Interface {
 public:
  Wrapper(std::shared_ptr<Interface> inner, PlanPtr plan)
      : inner_(std::move(inner)), plan_(std::move(plan)) {}

 protected:
  using I = Interface;
  template <class Member, class... Args>
  auto Call(const char* name, Member member, const Args&... args) {
    return Forward(plan_, *inner_, name, member, args...);
  }

 private:
  std::shared_ptr<Interface> inner_;
  PlanPtr plan_;
};

// The wrapper of each host interface.
template <class Interface>
class Wrapped;

template <class T>
class Wrapped<host::Collection<T>> final : public Wrapper<host::Collection<T>> {
 public:
  using Wrapper<host::Collection<T>>::Wrapper;
  using C = host::Collection<T>;
  int16_t Count() override { return this->Call("Collection.Count", &C::Count); }
  std::vector<std::shared_ptr<T>> Items() override {
    return this->Call("Collection.Items", &C::Items);
  }
  std::shared_ptr<T> AddNew(const std::string& name, const std::string& type) override {
    return this->Call("Collection.AddNew", &C::AddNew, name, type);
  }
  void Refresh() override { this->Call("Collection.Refresh", &C::Refresh); }
};

template <>
class Wrapped<host::TaggedValue> final : public Wrapper<host::TaggedValue> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("TaggedValue.Name", &I::Name); }
  std::string Value() override { return Call("TaggedValue.Value", &I::Value); }
};

template <>
class Wrapped<host::Attribute> final : public Wrapper<host::Attribute> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("Attribute.Name", &I::Name); }
  std::string Type() override { return Call("Attribute.Type", &I::Type); }
};

template <>
class Wrapped<host::Parameter> final : public Wrapper<host::Parameter> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("Parameter.Name", &I::Name); }
  std::string Type() override { return Call("Parameter.Type", &I::Type); }
};

template <>
class Wrapped<host::Method> final : public Wrapper<host::Method> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("Method.Name", &I::Name); }
  std::string Stereotype() override { return Call("Method.Stereotype", &I::Stereotype); }
  std::string MethodGUID() override { return Call("Method.MethodGUID", &I::MethodGUID); }
  host::CollectionPtr<host::Parameter> Parameters() override {
    return Call("Method.Parameters", &I::Parameters);
  }
};

template <>
class Wrapped<host::Element> final : public Wrapper<host::Element> {
 public:
  using Wrapper::Wrapper;
  int32_t ElementID() override { return Call("Element.ElementID", &I::ElementID); }
  std::string ElementGUID() override { return Call("Element.ElementGUID", &I::ElementGUID); }
  std::string Name() override { return Call("Element.Name", &I::Name); }
  std::string Notes() override { return Call("Element.Notes", &I::Notes); }
  std::string Type() override { return Call("Element.Type", &I::Type); }
  std::string Stereotype() override { return Call("Element.Stereotype", &I::Stereotype); }
  std::string Metatype() override { return Call("Element.Metatype", &I::Metatype); }
  std::string Abstract() override { return Call("Element.Abstract", &I::Abstract); }
  void SetAbstract(const std::string& value) override {
    Call("Element.SetAbstract", &I::SetAbstract, value);
  }
  std::string Multiplicity() override { return Call("Element.Multiplicity", &I::Multiplicity); }
  int32_t ClassifierID() override { return Call("Element.ClassifierID", &I::ClassifierID); }
  int32_t ParentID() override { return Call("Element.ParentID", &I::ParentID); }
  int32_t PropertyTypeID() override { return Call("Element.PropertyTypeID", &I::PropertyTypeID); }
  host::CollectionPtr<I> Elements() override { return Call("Element.Elements", &I::Elements); }
  host::CollectionPtr<I> EmbeddedItems() override {
    return Call("Element.EmbeddedItems", &I::EmbeddedItems);
  }
  host::CollectionPtr<host::Connector> Connectors() override {
    return Call("Element.Connectors", &I::Connectors);
  }
  host::CollectionPtr<host::Method> Methods() override {
    return Call("Element.Methods", &I::Methods);
  }
  host::CollectionPtr<host::Attribute> Attributes() override {
    return Call("Element.Attributes", &I::Attributes);
  }
  host::CollectionPtr<host::TaggedValue> TaggedValues() override {
    return Call("Element.TaggedValues", &I::TaggedValues);
  }
  host::CollectionPtr<host::TaggedValue> TaggedValueList() override {
    return Call("Element.TaggedValueList", &I::TaggedValueList);
  }
  bool Update() override { return Call("Element.Update", &I::Update); }
};

template <>
class Wrapped<host::ConnectorEnd> final : public Wrapper<host::ConnectorEnd> {
 public:
  using Wrapper::Wrapper;
  int32_t Aggregation() override { return Call("ConnectorEnd.Aggregation", &I::Aggregation); }
};

template <>
class Wrapped<host::ConnectorTaggedValue> final : public Wrapper<host::ConnectorTaggedValue> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("ConnectorTaggedValue.Name", &I::Name); }
  std::string Value() override { return Call("ConnectorTaggedValue.Value", &I::Value); }
};

template <>
class Wrapped<host::Connector> final : public Wrapper<host::Connector> {
 public:
  using Wrapper::Wrapper;
  int32_t ConnectorID() override { return Call("Connector.ConnectorID", &I::ConnectorID); }
  std::string ConnectorGUID() override {
    return Call("Connector.ConnectorGUID", &I::ConnectorGUID);
  }
  std::string Type() override { return Call("Connector.Type", &I::Type); }
  std::string Stereotype() override { return Call("Connector.Stereotype", &I::Stereotype); }
  int32_t ClientID() override { return Call("Connector.ClientID", &I::ClientID); }
  int32_t SupplierID() override { return Call("Connector.SupplierID", &I::SupplierID); }
  host::ConnectorEndPtr ClientEnd() override { return Call("Connector.ClientEnd", &I::ClientEnd); }
  host::ConnectorEndPtr SupplierEnd() override {
    return Call("Connector.SupplierEnd", &I::SupplierEnd);
  }
  host::CollectionPtr<host::ConnectorTaggedValue> TaggedValues() override {
    return Call("Connector.TaggedValues", &I::TaggedValues);
  }
};

template <>
class Wrapped<host::Diagram> final : public Wrapper<host::Diagram> {
 public:
  using Wrapper::Wrapper;
  int32_t DiagramID() override { return Call("Diagram.DiagramID", &I::DiagramID); }
  std::string Name() override { return Call("Diagram.Name", &I::Name); }
  std::string Type() override { return Call("Diagram.Type", &I::Type); }
  int32_t DisplayFlags() override { return Call("Diagram.DisplayFlags", &I::DisplayFlags); }
  void SetDisplayFlags(int32_t flags) override {
    Call("Diagram.SetDisplayFlags", &I::SetDisplayFlags, flags);
  }
  bool Update() override { return Call("Diagram.Update", &I::Update); }
};

template <>
class Wrapped<host::Package> final : public Wrapper<host::Package> {
 public:
  using Wrapper::Wrapper;
  int32_t PackageID() override { return Call("Package.PackageID", &I::PackageID); }
  std::string Name() override { return Call("Package.Name", &I::Name); }
  int32_t ParentID() override { return Call("Package.ParentID", &I::ParentID); }
  host::ElementPtr Element() override { return Call("Package.Element", &I::Element); }
  host::CollectionPtr<host::Element> Elements() override {
    return Call("Package.Elements", &I::Elements);
  }
  host::CollectionPtr<host::Diagram> Diagrams() override {
    return Call("Package.Diagrams", &I::Diagrams);
  }
};

template <>
class Wrapped<host::ProjectServices> final : public Wrapper<host::ProjectServices> {
 public:
  using Wrapper::Wrapper;
  std::string RegisterRuleCategory(const std::string& name) override {
    return Call("ProjectServices.RegisterRuleCategory", &I::RegisterRuleCategory, name);
  }
  std::string RegisterRule(const std::string& category_id, int32_t error_type,
                           const std::string& text) override {
    return Call("ProjectServices.RegisterRule", &I::RegisterRule, category_id, error_type, text);
  }
  bool ReportViolation(const std::string& rule_id, int32_t error_type,
                       const std::string& message) override {
    return Call("ProjectServices.ReportViolation", &I::ReportViolation, rule_id, error_type,
                message);
  }
};

template <>
class Wrapped<host::EventArgument> final : public Wrapper<host::EventArgument> {
 public:
  using Wrapper::Wrapper;
  automation::Variant Value() override { return Call("EventArgument.Value", &I::Value); }
};

template <>
class Wrapped<host::EventArguments> final : public Wrapper<host::EventArguments> {
 public:
  using Wrapper::Wrapper;
  std::shared_ptr<host::EventArgument> Item(int16_t index) override {
    return Call("EventArguments.Item", &I::Item, index);
  }
};

template <class T>
std::shared_ptr<T> Wrap(const PlanPtr& plan, std::shared_ptr<T> object) {
  if (!object) return nullptr;
  return std::make_shared<Wrapped<T>>(std::move(object), plan);
}

}  // namespace

ScriptedHost::ScriptedHost(host::RepositoryPtr inner)
    : inner_(std::move(inner)), plan_(std::make_shared<FaultPlan>()) {}

host::ElementPtr ScriptedHost::Wrap(const host::ElementPtr& element) const {
  return testing_support::Wrap(plan_, element);
}

host::EventArgumentsPtr ScriptedHost::Wrap(const host::EventArgumentsPtr& arguments) const {
  return testing_support::Wrap(plan_, arguments);
}

template <class Member, class... Args>
auto ScriptedHost::Call(const char* member, Member function, const Args&... args) {
  return Forward(plan_, *inner_, "Repository." + std::string(member), function, args...);
}

using R = host::Repository;

int32_t ScriptedHost::BuildNumber() { return Call("BuildNumber", &R::BuildNumber); }

std::string ScriptedHost::ModelLocation() { return Call("ModelLocation", &R::ModelLocation); }

bool ScriptedHost::OpenModel(const std::string& path) {
  return Call("OpenModel", &R::OpenModel, path);
}

void ScriptedHost::CloseModel() { Call("CloseModel", &R::CloseModel); }

bool ScriptedHost::HasTechnology(const std::string& id) {
  return Call("HasTechnology", &R::HasTechnology, id);
}

bool ScriptedHost::InstallTechnology(const std::string& document) {
  return Call("InstallTechnology", &R::InstallTechnology, document);
}

bool ScriptedHost::RemoveTechnology(const std::string& id) {
  return Call("RemoveTechnology", &R::RemoveTechnology, id);
}

void ScriptedHost::SetTechnologyVisibility(const std::string& id, const std::string& unused,
                                           bool visible) {
  Call("SetTechnologyVisibility", &R::SetTechnologyVisibility, id, unused, visible);
}

std::string ScriptedHost::QueryPerspective(const std::string& name) {
  return Call("QueryPerspective", &R::QueryPerspective, name);
}

void ScriptedHost::InstallPerspective(const std::string& document, int32_t option) {
  Call("InstallPerspective", &R::InstallPerspective, document, option);
}

void ScriptedHost::SelectPerspective(const std::string& name, int32_t option) {
  Call("SelectPerspective", &R::SelectPerspective, name, option);
}

void ScriptedHost::RegisterSearches(const std::string& document) {
  Call("RegisterSearches", &R::RegisterSearches, document);
}

void ScriptedHost::RunSearch(const std::string& name, const std::string& term,
                             const std::string& options, const std::string& data) {
  Call("RunSearch", &R::RunSearch, name, term, options, data);
}

void ScriptedHost::RedrawOpenDiagrams(bool full) {
  Call("RedrawOpenDiagrams", &R::RedrawOpenDiagrams, full);
}

host::PackagePtr ScriptedHost::GetSelectedPackage() {
  return Call("GetSelectedPackage", &R::GetSelectedPackage);
}

void ScriptedHost::OpenDiagram(int32_t diagram_id) {
  Call("OpenDiagram", &R::OpenDiagram, diagram_id);
}

host::ElementPtr ScriptedHost::GetElementByID(int32_t id) {
  host::ElementPtr element = Call("GetElementByID", &R::GetElementByID, id);
  return plan_->IsHidden(id) ? nullptr : element;
}

host::PackagePtr ScriptedHost::GetPackageByID(int32_t id) {
  return Call("GetPackageByID", &R::GetPackageByID, id);
}

host::ConnectorPtr ScriptedHost::GetConnectorByID(int32_t id) {
  return Call("GetConnectorByID", &R::GetConnectorByID, id);
}

host::ElementPtr ScriptedHost::GetElementByGUID(const std::string& guid) {
  host::ElementPtr element = Call("GetElementByGUID", &R::GetElementByGUID, guid);
  return plan_->IsHidden(guid) ? nullptr : element;
}

std::string ScriptedHost::GetModelItemXml(const std::string& guid) {
  return Call("GetModelItemXml", &R::GetModelItemXml, guid);
}

std::string ScriptedHost::ExecuteSqlQuery(const std::string& sql) {
  return Call("ExecuteSqlQuery", &R::ExecuteSqlQuery, sql);
}

host::ProjectServicesPtr ScriptedHost::GetProjectServices() {
  return Call("GetProjectServices", &R::GetProjectServices);
}

}  // namespace testing_support
