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

std::string FaultPlan::LastArgument(const std::string& name, size_t index) const {
  for (size_t i = calls_.size(); i-- > 0;) {
    if (calls_[i] == name) return index < arguments_[i].size() ? arguments_[i][index] : "";
  }
  return "";
}

void FaultPlan::Enter(const std::string& name, std::vector<std::string> arguments) {
  calls_.push_back(name);
  arguments_.push_back(std::move(arguments));
  const bool due_by_number = calls_to_failure_ > 0 && --calls_to_failure_ == 0;
  if (due_by_number || (fail_on_.contains(name) && fail_on_.at(name) == CountOf(name))) {
    throw host::Error("injected failure of " + name + " (call " + std::to_string(CountOf(name)) +
                      ")");
  }
}

namespace {

using PlanPtr = std::shared_ptr<FaultPlan>;

// An argument as the recorded call shows it.
std::string Text(const std::string& value) { return value; }
std::string Text(bool value) { return value ? "True" : "False"; }
std::string Text(std::integral auto value) { return std::to_string(value); }

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
    if constexpr (std::is_same_v<Result, std::string> || std::is_integral_v<Result>) {
      if (auto answer = plan->AnswerTo(name, arguments)) return FromText<Result>(*answer);
    }
    Result result = Wrap(plan, (inner.*member)(args...));
    return plan->IsHidden(name, arguments) ? Result{} : result;
  }
}

// The interface's name as calls are recorded: "Collection", or the one WRAPPED gives.
template <class Interface>
const char* const kInterfaceName = "Collection";

// The common part of every wrapper; late-bound calls by name keep their default answer.
template <class Interface>
struct Wrapper : Interface {
  using I = Interface;
  template <class Member, class... Args>
  auto Call(const char* name, Member member, const Args&... args) {
    static const std::string prefix = std::string(kInterfaceName<Interface>) + ".";
    return Forward(plan, *inner, prefix + name, member, args...);
  }
  std::shared_ptr<Interface> inner;
  PlanPtr plan;
};

// The wrapper of each host interface: each member forwarded by Call.
template <class Interface>
struct Wrapped;

#define FORWARD(Result, Member, Parameters, ...)                       \
  Result Member Parameters override {                                  \
    return this->Call(#Member, &I::Member __VA_OPT__(, ) __VA_ARGS__); \
  }
#define WRAPPED(Interface)                                                        \
  template <>                                                                     \
  const char* const kInterfaceName<Interface> = &#Interface[6]; /* no "host::" */ \
  template <>                                                                     \
  struct Wrapped<Interface> final : Wrapper<Interface>

// clang-format off
template <class T>
struct Wrapped<host::Collection<T>> final : Wrapper<host::Collection<T>> {
  using I = host::Collection<T>;
  FORWARD(int16_t, Count, ())
  FORWARD(std::vector<std::shared_ptr<T>>, Items, ())
  FORWARD(std::shared_ptr<T>, AddNew, (const std::string& name, const std::string& type), name, type)
  FORWARD(void, Refresh, ())
};

// Interfaces with a name and one more text.
#define NAMED(Interface, Text)     \
  WRAPPED(Interface) {             \
    FORWARD(std::string, Name, ()) \
    FORWARD(std::string, Text, ()) \
  };
NAMED(host::TaggedValue, Value)
NAMED(host::ConnectorTaggedValue, Value)
NAMED(host::Attribute, Type)
NAMED(host::Parameter, Type)

WRAPPED(host::Method) {
  FORWARD(std::string, Name, ())
  FORWARD(std::string, Stereotype, ())
  FORWARD(std::string, MethodGUID, ())
  FORWARD(host::CollectionPtr<host::Parameter>, Parameters, ())
};

WRAPPED(host::Element) {
  FORWARD(int32_t, ElementID, ())
  FORWARD(std::string, ElementGUID, ())
  FORWARD(std::string, Name, ())
  FORWARD(std::string, Notes, ())
  FORWARD(std::string, Type, ())
  FORWARD(std::string, Stereotype, ())
  FORWARD(std::string, Metatype, ())
  FORWARD(std::string, Abstract, ())
  FORWARD(void, SetAbstract, (const std::string& value), value)
  FORWARD(std::string, Multiplicity, ())
  FORWARD(int32_t, ClassifierID, ())
  FORWARD(int32_t, ParentID, ())
  FORWARD(int32_t, PropertyTypeID, ())
  FORWARD(host::CollectionPtr<I>, Elements, ())
  FORWARD(host::CollectionPtr<I>, EmbeddedItems, ())
  FORWARD(host::CollectionPtr<host::Connector>, Connectors, ())
  FORWARD(host::CollectionPtr<host::Method>, Methods, ())
  FORWARD(host::CollectionPtr<host::Attribute>, Attributes, ())
  FORWARD(host::CollectionPtr<host::TaggedValue>, TaggedValues, ())
  FORWARD(host::CollectionPtr<host::TaggedValue>, TaggedValueList, ())
  FORWARD(bool, Update, ())
};

WRAPPED(host::ConnectorEnd) {
  FORWARD(int32_t, Aggregation, ())
};

WRAPPED(host::Connector) {
  FORWARD(int32_t, ConnectorID, ())
  FORWARD(std::string, ConnectorGUID, ())
  FORWARD(std::string, Type, ())
  FORWARD(std::string, Stereotype, ())
  FORWARD(int32_t, ClientID, ())
  FORWARD(int32_t, SupplierID, ())
  FORWARD(host::ConnectorEndPtr, ClientEnd, ())
  FORWARD(host::ConnectorEndPtr, SupplierEnd, ())
  FORWARD(host::CollectionPtr<host::ConnectorTaggedValue>, TaggedValues, ())
};

WRAPPED(host::DiagramObject) {
  FORWARD(int32_t, ElementID, ())
  FORWARD(int32_t, Left, ())
  FORWARD(int32_t, Top, ())
  FORWARD(int32_t, Right, ())
  FORWARD(int32_t, Bottom, ())
};

WRAPPED(host::DiagramLink) {
  FORWARD(int32_t, ConnectorID, ())
  FORWARD(bool, IsHidden, ())
};

WRAPPED(host::Diagram) {
  FORWARD(int32_t, DiagramID, ())
  FORWARD(std::string, Name, ())
  FORWARD(std::string, Type, ())
  FORWARD(int32_t, DisplayFlags, ())
  FORWARD(void, SetDisplayFlags, (int32_t flags), flags)
  FORWARD(bool, Update, ())
  FORWARD(host::CollectionPtr<host::DiagramObject>, DiagramObjects, ())
  FORWARD(host::CollectionPtr<host::DiagramLink>, DiagramLinks, ())
};

WRAPPED(host::Package) {
  FORWARD(int32_t, PackageID, ())
  FORWARD(std::string, Name, ())
  FORWARD(int32_t, ParentID, ())
  FORWARD(host::ElementPtr, Element, ())
  FORWARD(host::CollectionPtr<host::Element>, Elements, ())
  FORWARD(host::CollectionPtr<host::Diagram>, Diagrams, ())
};

WRAPPED(host::ProjectServices) {
  FORWARD(std::string, RegisterRuleCategory, (const std::string& name), name)
  FORWARD(std::string, RegisterRule, (const std::string& category_id, int32_t error_type, const std::string& text), category_id, error_type, text)
  FORWARD(bool, ReportViolation, (const std::string& rule_id, int32_t error_type, const std::string& message), rule_id, error_type, message)
};

WRAPPED(host::EventArgument) {
  FORWARD(automation::Variant, Value, ())
};

WRAPPED(host::EventArguments) {
  FORWARD(std::shared_ptr<host::EventArgument>, Item, (int16_t index), index)
};
// clang-format on

template <class T>
std::shared_ptr<T> Wrap(const PlanPtr& plan, std::shared_ptr<T> object) {
  if (!object) return nullptr;
  auto wrapped = std::make_shared<Wrapped<T>>();
  wrapped->inner = std::move(object);
  wrapped->plan = plan;
  return wrapped;
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

#undef FORWARD
#define FORWARD(Result, Member, Parameters, ...)                          \
  Result ScriptedHost::Member Parameters {                                \
    return Forward(plan_, *inner_, "Repository." #Member,                 \
                   &host::Repository::Member __VA_OPT__(, ) __VA_ARGS__); \
  }
TESSARY_REPOSITORY_MEMBERS(FORWARD)
#undef FORWARD
#undef WRAPPED
#undef NAMED

}  // namespace testing_support
