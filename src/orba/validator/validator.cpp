#include "orba/validator/validator.h"

#include "automation/dispatch.h"
#include "orba/store/model_session.h"
#include "orba/validator/model_items.h"

namespace orba::validator {
namespace {

using automation::Variant;

// The registered text of a host rule id; the id itself when it is unknown.
std::string RuleText(const store::ValidationLog& log, const std::string& rule_id) {
  for (const store::RegisteredRule& rule : log.Rules()) {
    if (rule.id == rule_id) return rule.text;
  }
  return rule_id;
}

Violation ToViolation(const store::ValidationLog& log, const store::RecordedViolation& reported) {
  const store::RuleCategory* category = log.CategoryOfRule(reported.rule_id);
  return Violation{category ? category->name : "",
                   RuleText(log, reported.rule_id),
                   reported.error_type,
                   reported.message,
                   reported.item,
                   {}};
}

// Asks the add-in to register its rules; answers the rules it registered.
std::vector<store::RegisteredRule> RegisterRules(const store::ModelRepositoryPtr& repository,
                                                 const session::LoadedAddin& addin,
                                                 ValidationResult& result) {
  const store::ValidationLog& log = repository->Validation();
  const size_t known = log.Rules().size();
  std::vector<Variant> args = {repository};
  constexpr char kOperation[] = "Orba_OnInitializeUserRules";
  const automation::CallResult call = automation::Call(*addin.object, kOperation, args);
  if (!call.ok) result.failures.push_back(Failure{"", std::nullopt, call.error, kOperation, {}});
  return {log.Rules().begin() + static_cast<std::ptrdiff_t>(known), log.Rules().end()};
}

// `args` is the vector the arguments are written into, kept from one call
// to the next so that it is not allocated again for every rule; each call
// gets every argument afresh.
void RunRule(const store::ModelRepositoryPtr& repository, const session::LoadedAddin& addin,
             const store::RegisteredRule& rule, const ValidationItem& item,
             std::vector<Variant>& args, ValidationResult& result) {
  args.assign({repository, rule.id});
  args.insert(args.end(), item.subject.begin(), item.subject.end());
  const automation::CallResult call = automation::Call(*addin.object, item.event, args);
  if (!call.ok) result.failures.push_back(Failure{rule.text, item.ref, call.error, item.event, {}});
}

}  // namespace

ValidationResult Validate(const store::ModelRepositoryPtr& repository,
                          const session::LoadedAddin& addin, const ProgressFunction& progress) {
  store::ValidationLog& log = repository->Validation();
  log.ClearViolations();
  // One read transaction for the whole run: the model is validated as one
  // snapshot, and the file is locked once rather than for every query.
  // Rows the rules reach again and again are read once in the run.
  store::ModelRepository::Transaction snapshot(*repository);
  store::ReadCacheScope read_cache(repository->Session());
  ValidationResult result;
  result.rules = RegisterRules(repository, addin, result);
  ValidationItems items(*repository);
  std::vector<Variant> args;
  for (std::optional<ValidationItem> item = items.Next(); item; item = items.Next()) {
    repository->SetCurrentItem(item->ref);
    for (const store::RegisteredRule& rule : result.rules) {
      RunRule(repository, addin, rule, *item, args, result);
    }
    ++result.items_checked;
    if (progress) progress(result.items_checked, items.Count());
  }
  repository->ClearCurrentItem();
  snapshot.Commit();
  for (const store::RecordedViolation& reported : log.Violations()) {
    result.violations.push_back(ToViolation(log, reported));
  }
  return result;
}

}  // namespace orba::validator
