// A repository whose answers come from the fuzzer's input: the item document
// and the SQL answers are arbitrary text; the lookups the add-in makes next
// find nothing, as for a model the document does not describe.
#pragma once

#include <string>

#include "support/recording_repository.h"

namespace fuzzing {

inline std::shared_ptr<testing_support::RecordingRepository> RepositoryAnswering(
    const std::string& item_xml, const std::string& allocation_answer,
    const std::string& partition_answer) {
  auto repository = std::make_shared<testing_support::RecordingRepository>();
  repository->build_number = 1558;
  repository->model_item_xml = item_xml;
  repository->sql_answer = [=](const std::string& sql) {
    return sql.find("ActivityPartition") != std::string::npos ? partition_answer : allocation_answer;
  };
  return repository;
}

}  // namespace fuzzing
