#include "support/fault_injection.h"

#include <type_traits>
#include <utility>

#include "automation/variant.h"

namespace testing_support {

int FaultPlan::CountOf(const std::string& name) const {
  auto found = counts_.find(name);
  return found == counts_.end() ? 0 : found->second;
}

void FaultPlan::ClearCalls() {
  calls_.clear();
  counts_.clear();
}

void FaultPlan::Enter(const std::string& name) {
  calls_.push_back(name);
  const int count = ++counts_[name];
  if (calls_to_failure_ > 0 && --calls_to_failure_ == 0) {
    throw host::Error("injected failure of " + name + " (call " + std::to_string(calls_.size()) + ")");
  }
  auto due = fail_on_.find(name);
  if (due != fail_on_.end() && due->second == count) {
    throw host::Error("injected failure of " + name + " (call " + std::to_string(count) + ")");
  }
}

namespace {

using PlanPtr = std::shared_ptr<FaultPlan>;

// Plain values pass through; host objects come back wrapped, null stays null.
template <class Value>
Value Wrap(const PlanPtr&, Value value) {
  return value;
}
host::ElementPtr Wrap(const PlanPtr& plan, host::ElementPtr object);
host::TaggedValuePtr Wrap(const PlanPtr& plan, host::TaggedValuePtr object);
host::AttributePtr Wrap(const PlanPtr& plan, host::AttributePtr object);
host::ParameterPtr Wrap(const PlanPtr& plan, host::ParameterPtr object);
host::MethodPtr Wrap(const PlanPtr& plan, host::MethodPtr object);
host::ConnectorPtr Wrap(const PlanPtr& plan, host::ConnectorPtr object);
host::ConnectorEndPtr Wrap(const PlanPtr& plan, host::ConnectorEndPtr object);
host::ConnectorTaggedValuePtr Wrap(const PlanPtr& plan, host::ConnectorTaggedValuePtr object);
host::DiagramPtr Wrap(const PlanPtr& plan, host::DiagramPtr object);
host::PackagePtr Wrap(const PlanPtr& plan, host::PackagePtr object);
host::ProjectServicesPtr Wrap(const PlanPtr& plan, host::ProjectServicesPtr object);
std::shared_ptr<host::EventArgument> Wrap(const PlanPtr& plan,
                                          std::shared_ptr<host::EventArgument> object);
template <class T>
host::CollectionPtr<T> Wrap(const PlanPtr& plan, host::CollectionPtr<T> object);
template <class T>
std::vector<std::shared_ptr<T>> Wrap(const PlanPtr& plan, std::vector<std::shared_ptr<T>> items) {
  for (auto& item : items) item = Wrap(plan, std::move(item));
  return items;
}

// Records the call `name`, fails it when due, else calls the member on the
// wrapped object and wraps what it answers.
template <class Interface, class Member, class... Args>
auto Forward(const PlanPtr& plan, Interface& inner, const char* name, Member member,
             Args&&... args) {
  plan->Enter(name);
  using Result = decltype((inner.*member)(std::forward<Args>(args)...));
  if constexpr (std::is_void_v<Result>) {
    (inner.*member)(std::forward<Args>(args)...);
  } else {
    return Wrap(plan, (inner.*member)(std::forward<Args>(args)...));
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
  template <class Member, class... Args>
  auto Call(const char* name, Member member, Args&&... args) {
    return Forward(plan_, *inner_, name, member, std::forward<Args>(args)...);
  }

 private:
  std::shared_ptr<Interface> inner_;
  PlanPtr plan_;
};

template <class T>
class WrappedCollection final : public Wrapper<host::Collection<T>> {
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

class WrappedTaggedValue final : public Wrapper<host::TaggedValue> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("TaggedValue.Name", &host::TaggedValue::Name); }
  std::string Value() override { return Call("TaggedValue.Value", &host::TaggedValue::Value); }
};

class WrappedAttribute final : public Wrapper<host::Attribute> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("Attribute.Name", &host::Attribute::Name); }
  std::string Type() override { return Call("Attribute.Type", &host::Attribute::Type); }
};

class WrappedParameter final : public Wrapper<host::Parameter> {
 public:
  using Wrapper::Wrapper;
  std::string Name() override { return Call("Parameter.Name", &host::Parameter::Name); }
  std::string Type() override { return Call("Parameter.Type", &host::Parameter::Type); }
};

class WrappedMethod final : public Wrapper<host::Method> {
 public:
  using Wrapper::Wrapper;
  using M = host::Method;
  std::string Name() override { return Call("Method.Name", &M::Name); }
  std::string Stereotype() override { return Call("Method.Stereotype", &M::Stereotype); }
  std::string MethodGUID() override { return Call("Method.MethodGUID", &M::MethodGUID); }
  host::CollectionPtr<host::Parameter> Parameters() override {
    return Call("Method.Parameters", &M::Parameters);
  }
};

class WrappedElement final : public Wrapper<host::Element> {
 public:
  using Wrapper::Wrapper;
  using E = host::Element;
  int32_t ElementID() override { return Call("Element.ElementID", &E::ElementID); }
  std::string ElementGUID() override { return Call("Element.ElementGUID", &E::ElementGUID); }
  std::string Name() override { return Call("Element.Name", &E::Name); }
  std::string Notes() override { return Call("Element.Notes", &E::Notes); }
  std::string Type() override { return Call("Element.Type", &E::Type); }
  std::string Stereotype() override { return Call("Element.Stereotype", &E::Stereotype); }
  std::string Metatype() override { return Call("Element.Metatype", &E::Metatype); }
  std::string Abstract() override { return Call("Element.Abstract", &E::Abstract); }
  void SetAbstract(const std::string& value) override {
    Call("Element.SetAbstract", &E::SetAbstract, value);
  }
  std::string Multiplicity() override { return Call("Element.Multiplicity", &E::Multiplicity); }
  int32_t ClassifierID() override { return Call("Element.ClassifierID", &E::ClassifierID); }
  int32_t ParentID() override { return Call("Element.ParentID", &E::ParentID); }
  int32_t PropertyTypeID() override { return Call("Element.PropertyTypeID", &E::PropertyTypeID); }
  host::CollectionPtr<E> Elements() override { return Call("Element.Elements", &E::Elements); }
  host::CollectionPtr<E> EmbeddedItems() override {
    return Call("Element.EmbeddedItems", &E::EmbeddedItems);
  }
  host::CollectionPtr<host::Connector> Connectors() override {
    return Call("Element.Connectors", &E::Connectors);
  }
  host::CollectionPtr<host::Method> Methods() override {
    return Call("Element.Methods", &E::Methods);
  }
  host::CollectionPtr<host::Attribute> Attributes() override {
    return Call("Element.Attributes", &E::Attributes);
  }
  host::CollectionPtr<host::TaggedValue> TaggedValues() override {
    return Call("Element.TaggedValues", &E::TaggedValues);
  }
  host::CollectionPtr<host::TaggedValue> TaggedValueList() override {
    return Call("Element.TaggedValueList", &E::TaggedValueList);
  }
  bool Update() override { return Call("Element.Update", &E::Update); }
};

class WrappedConnectorEnd final : public Wrapper<host::ConnectorEnd> {
 public:
  using Wrapper::Wrapper;
  int32_t Aggregation() override {
    return Call("ConnectorEnd.Aggregation", &host::ConnectorEnd::Aggregation);
  }
};

class WrappedConnectorTaggedValue final : public Wrapper<host::ConnectorTaggedValue> {
 public:
  using Wrapper::Wrapper;
  using T = host::ConnectorTaggedValue;
  std::string Name() override { return Call("ConnectorTaggedValue.Name", &T::Name); }
  std::string Value() override { return Call("ConnectorTaggedValue.Value", &T::Value); }
};

class WrappedConnector final : public Wrapper<host::Connector> {
 public:
  using Wrapper::Wrapper;
  using C = host::Connector;
  int32_t ConnectorID() override { return Call("Connector.ConnectorID", &C::ConnectorID); }
  std::string ConnectorGUID() override {
    return Call("Connector.ConnectorGUID", &C::ConnectorGUID);
  }
  std::string Type() override { return Call("Connector.Type", &C::Type); }
  std::string Stereotype() override { return Call("Connector.Stereotype", &C::Stereotype); }
  int32_t ClientID() override { return Call("Connector.ClientID", &C::ClientID); }
  int32_t SupplierID() override { return Call("Connector.SupplierID", &C::SupplierID); }
  host::ConnectorEndPtr ClientEnd() override { return Call("Connector.ClientEnd", &C::ClientEnd); }
  host::ConnectorEndPtr SupplierEnd() override {
    return Call("Connector.SupplierEnd", &C::SupplierEnd);
  }
  host::CollectionPtr<host::ConnectorTaggedValue> TaggedValues() override {
    return Call("Connector.TaggedValues", &C::TaggedValues);
  }
};

class WrappedDiagram final : public Wrapper<host::Diagram> {
 public:
  using Wrapper::Wrapper;
  using D = host::Diagram;
  int32_t DiagramID() override { return Call("Diagram.DiagramID", &D::DiagramID); }
  std::string Name() override { return Call("Diagram.Name", &D::Name); }
  std::string Type() override { return Call("Diagram.Type", &D::Type); }
  int32_t DisplayFlags() override { return Call("Diagram.DisplayFlags", &D::DisplayFlags); }
  void SetDisplayFlags(int32_t flags) override {
    Call("Diagram.SetDisplayFlags", &D::SetDisplayFlags, flags);
  }
  bool Update() override { return Call("Diagram.Update", &D::Update); }
};

class WrappedPackage final : public Wrapper<host::Package> {
 public:
  using Wrapper::Wrapper;
  using P = host::Package;
  int32_t PackageID() override { return Call("Package.PackageID", &P::PackageID); }
  std::string Name() override { return Call("Package.Name", &P::Name); }
  int32_t ParentID() override { return Call("Package.ParentID", &P::ParentID); }
  host::ElementPtr Element() override { return Call("Package.Element", &P::Element); }
  host::CollectionPtr<host::Element> Elements() override {
    return Call("Package.Elements", &P::Elements);
  }
  host::CollectionPtr<host::Diagram> Diagrams() override {
    return Call("Package.Diagrams", &P::Diagrams);
  }
};

class WrappedProjectServices final : public Wrapper<host::ProjectServices> {
 public:
  using Wrapper::Wrapper;
  using S = host::ProjectServices;
  std::string RegisterRuleCategory(const std::string& name) override {
    return Call("ProjectServices.RegisterRuleCategory", &S::RegisterRuleCategory, name);
  }
  std::string RegisterRule(const std::string& category_id, int32_t error_type,
                           const std::string& text) override {
    return Call("ProjectServices.RegisterRule", &S::RegisterRule, category_id, error_type, text);
  }
  bool ReportViolation(const std::string& rule_id, int32_t error_type,
                       const std::string& message) override {
    return Call("ProjectServices.ReportViolation", &S::ReportViolation, rule_id, error_type,
                message);
  }
};

class WrappedEventArgument final : public Wrapper<host::EventArgument> {
 public:
  using Wrapper::Wrapper;
  automation::Variant Value() override {
    return Call("EventArgument.Value", &host::EventArgument::Value);
  }
};

class WrappedEventArguments final : public Wrapper<host::EventArguments> {
 public:
  using Wrapper::Wrapper;
  std::shared_ptr<host::EventArgument> Item(int16_t index) override {
    return Call("EventArguments.Item", &host::EventArguments::Item, index);
  }
};

// Wraps a non-null object in the wrapper W.
template <class W, class T>
std::shared_ptr<T> WrapIn(const PlanPtr& plan, std::shared_ptr<T> object) {
  if (!object) return nullptr;
  return std::make_shared<W>(std::move(object), plan);
}

host::ElementPtr Wrap(const PlanPtr& plan, host::ElementPtr object) {
  return WrapIn<WrappedElement>(plan, std::move(object));
}
host::TaggedValuePtr Wrap(const PlanPtr& plan, host::TaggedValuePtr object) {
  return WrapIn<WrappedTaggedValue>(plan, std::move(object));
}
host::AttributePtr Wrap(const PlanPtr& plan, host::AttributePtr object) {
  return WrapIn<WrappedAttribute>(plan, std::move(object));
}
host::ParameterPtr Wrap(const PlanPtr& plan, host::ParameterPtr object) {
  return WrapIn<WrappedParameter>(plan, std::move(object));
}
host::MethodPtr Wrap(const PlanPtr& plan, host::MethodPtr object) {
  return WrapIn<WrappedMethod>(plan, std::move(object));
}
host::ConnectorPtr Wrap(const PlanPtr& plan, host::ConnectorPtr object) {
  return WrapIn<WrappedConnector>(plan, std::move(object));
}
host::ConnectorEndPtr Wrap(const PlanPtr& plan, host::ConnectorEndPtr object) {
  return WrapIn<WrappedConnectorEnd>(plan, std::move(object));
}
host::ConnectorTaggedValuePtr Wrap(const PlanPtr& plan, host::ConnectorTaggedValuePtr object) {
  return WrapIn<WrappedConnectorTaggedValue>(plan, std::move(object));
}
host::DiagramPtr Wrap(const PlanPtr& plan, host::DiagramPtr object) {
  return WrapIn<WrappedDiagram>(plan, std::move(object));
}
host::PackagePtr Wrap(const PlanPtr& plan, host::PackagePtr object) {
  return WrapIn<WrappedPackage>(plan, std::move(object));
}
host::ProjectServicesPtr Wrap(const PlanPtr& plan, host::ProjectServicesPtr object) {
  return WrapIn<WrappedProjectServices>(plan, std::move(object));
}
std::shared_ptr<host::EventArgument> Wrap(const PlanPtr& plan,
                                          std::shared_ptr<host::EventArgument> object) {
  return WrapIn<WrappedEventArgument>(plan, std::move(object));
}
template <class T>
host::CollectionPtr<T> Wrap(const PlanPtr& plan, host::CollectionPtr<T> object) {
  return WrapIn<WrappedCollection<T>>(plan, std::move(object));
}
host::EventArgumentsPtr WrapArguments(const PlanPtr& plan, host::EventArgumentsPtr object) {
  return WrapIn<WrappedEventArguments>(plan, std::move(object));
}

}  // namespace

FaultInjectingRepository::FaultInjectingRepository(host::RepositoryPtr inner)
    : inner_(std::move(inner)), plan_(std::make_shared<FaultPlan>()) {}

host::ElementPtr FaultInjectingRepository::Wrap(const host::ElementPtr& element) const {
  return testing_support::Wrap(plan_, element);
}

host::EventArgumentsPtr FaultInjectingRepository::Wrap(
    const host::EventArgumentsPtr& arguments) const {
  return WrapArguments(plan_, arguments);
}

using R = host::Repository;

int32_t FaultInjectingRepository::BuildNumber() {
  return Forward(plan_, *inner_, "Repository.BuildNumber", &R::BuildNumber);
}

std::string FaultInjectingRepository::ModelLocation() {
  return Forward(plan_, *inner_, "Repository.ModelLocation", &R::ModelLocation);
}

bool FaultInjectingRepository::OpenModel(const std::string& path) {
  return Forward(plan_, *inner_, "Repository.OpenModel", &R::OpenModel, path);
}

void FaultInjectingRepository::CloseModel() {
  Forward(plan_, *inner_, "Repository.CloseModel", &R::CloseModel);
}

bool FaultInjectingRepository::HasTechnology(const std::string& id) {
  return Forward(plan_, *inner_, "Repository.HasTechnology", &R::HasTechnology, id);
}

bool FaultInjectingRepository::InstallTechnology(const std::string& document) {
  return Forward(plan_, *inner_, "Repository.InstallTechnology", &R::InstallTechnology, document);
}

bool FaultInjectingRepository::RemoveTechnology(const std::string& id) {
  return Forward(plan_, *inner_, "Repository.RemoveTechnology", &R::RemoveTechnology, id);
}

void FaultInjectingRepository::SetTechnologyVisibility(const std::string& id,
                                                       const std::string& unused, bool visible) {
  Forward(plan_, *inner_, "Repository.SetTechnologyVisibility", &R::SetTechnologyVisibility, id,
          unused, visible);
}

std::string FaultInjectingRepository::QueryPerspective(const std::string& name) {
  return Forward(plan_, *inner_, "Repository.QueryPerspective", &R::QueryPerspective, name);
}

void FaultInjectingRepository::InstallPerspective(const std::string& document, int32_t option) {
  Forward(plan_, *inner_, "Repository.InstallPerspective", &R::InstallPerspective, document,
          option);
}

void FaultInjectingRepository::SelectPerspective(const std::string& name, int32_t option) {
  Forward(plan_, *inner_, "Repository.SelectPerspective", &R::SelectPerspective, name, option);
}

void FaultInjectingRepository::RegisterSearches(const std::string& document) {
  Forward(plan_, *inner_, "Repository.RegisterSearches", &R::RegisterSearches, document);
}

void FaultInjectingRepository::RunSearch(const std::string& name, const std::string& term,
                                         const std::string& options, const std::string& data) {
  Forward(plan_, *inner_, "Repository.RunSearch", &R::RunSearch, name, term, options, data);
}

void FaultInjectingRepository::RedrawOpenDiagrams(bool full) {
  Forward(plan_, *inner_, "Repository.RedrawOpenDiagrams", &R::RedrawOpenDiagrams, full);
}

host::PackagePtr FaultInjectingRepository::GetSelectedPackage() {
  return Forward(plan_, *inner_, "Repository.GetSelectedPackage", &R::GetSelectedPackage);
}

void FaultInjectingRepository::OpenDiagram(int32_t diagram_id) {
  Forward(plan_, *inner_, "Repository.OpenDiagram", &R::OpenDiagram, diagram_id);
}

host::ElementPtr FaultInjectingRepository::GetElementByID(int32_t id) {
  host::ElementPtr element =
      Forward(plan_, *inner_, "Repository.GetElementByID", &R::GetElementByID, id);
  return plan_->IsHidden(id) ? nullptr : element;
}

host::PackagePtr FaultInjectingRepository::GetPackageByID(int32_t id) {
  return Forward(plan_, *inner_, "Repository.GetPackageByID", &R::GetPackageByID, id);
}

host::ConnectorPtr FaultInjectingRepository::GetConnectorByID(int32_t id) {
  return Forward(plan_, *inner_, "Repository.GetConnectorByID", &R::GetConnectorByID, id);
}

host::ElementPtr FaultInjectingRepository::GetElementByGUID(const std::string& guid) {
  host::ElementPtr element =
      Forward(plan_, *inner_, "Repository.GetElementByGUID", &R::GetElementByGUID, guid);
  return plan_->IsHidden(guid) ? nullptr : element;
}

std::string FaultInjectingRepository::GetModelItemXml(const std::string& guid) {
  return Forward(plan_, *inner_, "Repository.GetModelItemXml", &R::GetModelItemXml, guid);
}

std::string FaultInjectingRepository::ExecuteSqlQuery(const std::string& sql) {
  return Forward(plan_, *inner_, "Repository.ExecuteSqlQuery", &R::ExecuteSqlQuery, sql);
}

host::ProjectServicesPtr FaultInjectingRepository::GetProjectServices() {
  return Forward(plan_, *inner_, "Repository.GetProjectServices", &R::GetProjectServices);
}

}  // namespace testing_support
