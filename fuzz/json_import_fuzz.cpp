// Any document: the JSON model import either builds the model or refuses it
// with ImportError, leaving the model empty.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "orba/store/json_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orba::store::ModelRepository repository;
  repository.CreateInMemoryModel();
  try {
    orba::store::ImportJsonModel(repository,
                                 std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const orba::store::ImportError&) {
    if (!repository.ElementIds().empty() || !repository.ConnectorIds().empty()) __builtin_trap();
  }
  return 0;
}
