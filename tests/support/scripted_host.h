// ScriptedHost: a decorator around a host::Repository that reaches every
// object obtained through it (elements, connectors, packages, collections,
// tagged values, services, event arguments, ...). It records every host call
// as "Interface.Member" with its arguments, in order; it can answer chosen
// calls itself (a build number, a model location, an item document, a query
// result, ...), make a chosen call throw host::Error, and make element
// lookups answer nothing, as for an id the model lacks. Only the typed host
// interfaces are forwarded, not late-bound calls by name.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"

namespace testing_support {

// What the host records and which calls it makes fail; shared by the
// repository and every object reached through it.
class FaultPlan {
 public:
  // Every host call so far, as "Interface.Member" ("Element.Metatype",
  // "Repository.GetElementByID", "Collection.Items"), in order.
  const std::vector<std::string>& Calls() const { return calls_; }
  // The arguments of each call in Calls(), as text ("True"/"False" for flags).
  const std::vector<std::vector<std::string>>& Arguments() const { return arguments_; }
  // The calls with their arguments: "Repository.SetTechnologyVisibility(SysML, , True)".
  std::vector<std::string> CallsWithArguments() const;
  int CountOf(const std::string& name) const { return std::ranges::count(calls_, name); }
  // An argument of the last call of `name` ("" when there is none).
  std::string LastArgument(const std::string& name, size_t index = 0) const;
  // Forgets the calls so far: numbering and counts start again.
  void ClearCalls() {
    calls_.clear();
    arguments_.clear();
  }

  // The n-th call from now on (1-based, every host call counts) throws host::Error.
  void FailAtCall(int n) { calls_to_failure_ = n; }
  // The occurrence-th call (1-based) of `name` throws host::Error.
  void FailOn(const std::string& name, int occurrence = 1) { fail_on_[name] = occurrence; }

  // Calls of `name` answer `answer` (as text: "True", "796", ...) instead of
  // the wrapped object; a function answers from the call's arguments.
  using Answerer = std::function<std::string(const std::vector<std::string>& arguments)>;
  void Answer(const std::string& name, Answerer answer) { answers_[name] = std::move(answer); }
  void Answer(const std::string& name, const std::string& answer) {
    Answer(name, [answer](const std::vector<std::string>&) { return answer; });
  }
  // The scripted answer to a call of `name` with `arguments`, if any.
  std::optional<std::string> AnswerTo(const std::string& name,
                                      const std::vector<std::string>& arguments) const {
    if (!answers_.contains(name)) return std::nullopt;
    return answers_.at(name)(arguments);
  }

  // GetElementByID / GetElementByGUID look these up all the same, but answer nothing.
  void HideElement(int32_t id) {
    hidden_.insert({"Repository.GetElementByID", {std::to_string(id)}});
  }
  void HideElementGuid(const std::string& guid) {
    hidden_.insert({"Repository.GetElementByGUID", {guid}});
  }
  bool IsHidden(const std::string& name, const std::vector<std::string>& arguments) const {
    return hidden_.contains({name, arguments});
  }

  // Records the call; throws host::Error when it is due to fail.
  void Enter(const std::string& name, std::vector<std::string> arguments = {});

 private:
  std::vector<std::string> calls_;
  std::vector<std::vector<std::string>> arguments_;  // of each call in calls_
  std::map<std::string, int> fail_on_;
  std::map<std::string, Answerer> answers_;
  int calls_to_failure_ = 0;  // 0: no call is due to fail
  std::set<std::pair<std::string, std::vector<std::string>>> hidden_;
};

// The repository's members, as X(result, member, (parameters), arguments...).
// clang-format off
#define TESSARY_REPOSITORY_MEMBERS(X) \
  X(int32_t, BuildNumber, ()) \
  X(std::string, ModelLocation, ()) \
  X(bool, OpenModel, (const std::string& path), path) \
  X(void, CloseModel, ()) \
  X(bool, HasTechnology, (const std::string& id), id) \
  X(bool, InstallTechnology, (const std::string& document), document) \
  X(bool, RemoveTechnology, (const std::string& id), id) \
  X(void, SetTechnologyVisibility, (const std::string& id, const std::string& unused, bool visible), id, unused, visible) \
  X(std::string, QueryPerspective, (const std::string& name), name) \
  X(void, InstallPerspective, (const std::string& document, int32_t option), document, option) \
  X(void, SelectPerspective, (const std::string& name, int32_t option), name, option) \
  X(void, RegisterSearches, (const std::string& document), document) \
  X(void, RunSearch, (const std::string& name, const std::string& term, const std::string& options, const std::string& data), name, term, options, data) \
  X(void, RedrawOpenDiagrams, (bool full), full) \
  X(host::PackagePtr, GetSelectedPackage, ()) \
  X(void, OpenDiagram, (int32_t diagram_id), diagram_id) \
  X(host::ElementPtr, GetElementByID, (int32_t id), id) \
  X(host::PackagePtr, GetPackageByID, (int32_t id), id) \
  X(host::ConnectorPtr, GetConnectorByID, (int32_t id), id) \
  X(host::ElementPtr, GetElementByGUID, (const std::string& guid), guid) \
  X(std::string, GetModelItemXml, (const std::string& guid), guid) \
  X(std::string, ExecuteSqlQuery, (const std::string& sql), sql) \
  X(host::ProjectServicesPtr, GetProjectServices, ())
#define TESSARY_DECLARE_OVERRIDE(Result, Member, Parameters, ...) Result Member Parameters override;
// clang-format on

class ScriptedHost : public host::Repository {
 public:
  explicit ScriptedHost(host::RepositoryPtr inner);

  FaultPlan& Plan() { return *plan_; }
  // Wraps objects obtained elsewhere (an element or the arguments handed to an event).
  host::ElementPtr Wrap(const host::ElementPtr& element) const;
  host::EventArgumentsPtr Wrap(const host::EventArgumentsPtr& arguments) const;

  TESSARY_REPOSITORY_MEMBERS(TESSARY_DECLARE_OVERRIDE)

 private:
  host::RepositoryPtr inner_;
  std::shared_ptr<FaultPlan> plan_;
};

#undef TESSARY_DECLARE_OVERRIDE

}  // namespace testing_support
