// A repository whose answers come from the fuzzer's input: the item document
// and the SQL answers are arbitrary text; the lookups the add-in makes next
// find nothing, as in an empty model.
#pragma once

#include <memory>
#include <string>

#include "support/scripted_host.h"
#include "support/test_model.h"

namespace fuzzing {

inline std::shared_ptr<testing_support::ScriptedHost> RepositoryAnswering(
    const std::string& item_xml, const std::string& allocation_answer,
    const std::string& partition_answer) {
  static const testing_support::TestModel empty_model(testing_support::kEmptyModel);
  auto repository = std::make_shared<testing_support::ScriptedHost>(empty_model.Repository());
  auto& plan = repository->Plan();
  plan.Answer("Repository.GetModelItemXml", item_xml);
  plan.Answer("Repository.ExecuteSqlQuery", [=](const std::vector<std::string>& arguments) {
    const bool partitions = arguments.at(0).find("ActivityPartition") != std::string::npos;
    return partitions ? partition_answer : allocation_answer;
  });
  return repository;
}

}  // namespace fuzzing
