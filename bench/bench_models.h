// Generated models for the benchmarks, built through the reference host's
// store: an in-memory ModelRepository filled by the JSON model import.
#pragma once

#include <memory>
#include <string>

#include "orba/store/json_model.h"
#include "orba/store/model_repository.h"

namespace bench_models {

struct BuiltModel {
  std::shared_ptr<orba::store::ModelRepository> repository;
  orba::store::KeyMap keys;
};

// An in-memory model imported from a JSON model document.
BuiltModel ImportModel(const std::string& json_document);

// One block (key "owner") owning `children` elements; the even-numbered ones
// are parts (metatype BlockProperty), the others flow ports.
std::string OwnerWithChildrenJson(int children);

// `dependencies` allocate dependencies between `elements` elements, half of
// them stereotyped, spread evenly over the four combinations of stereotyped
// and plain ends.
std::string AllocationsJson(int elements, int dependencies);

}  // namespace bench_models
