#include "rules/sysml_rules.h"

namespace rules {

CSysMLRules::CSysMLRules() = default;
CSysMLRules::~CSysMLRules() = default;

void CSysMLRules::ConfigureCategories(const host::RepositoryPtr&) {}
void CSysMLRules::ConfigureRules(const host::RepositoryPtr&) {}
void CSysMLRules::RunElementRule(const host::RepositoryPtr&, const std::string&,
                                 const host::ElementPtr&) {}
void CSysMLRules::RunPackageRule(const host::RepositoryPtr&, const std::string&, int32_t) {}
void CSysMLRules::RunConnectorRule(const host::RepositoryPtr&, const std::string&, int32_t) {}
void CSysMLRules::RunMethodRule(const host::RepositoryPtr&, const std::string&, const std::string&,
                                int32_t) {}

}  // namespace rules
