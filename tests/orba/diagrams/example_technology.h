// The technology document the built example model holds: what the add-in
// hands the host, read back the way the host reads it.
#pragma once

#include <string>

#include "orba/store/model_repository.h"

namespace orba::diagrams {

inline const std::string& ExampleTechnology() {
  static const std::string kDocument = [] {
    store::ModelRepository repository;
    repository.Open(TESSARY_BUILD_BIN_DIR "/SysML Example.obx",
                    store::ModelRepository::Access::kReadOnly);
    return repository.TechnologyDocument("SysML");
  }();
  return kDocument;
}

}  // namespace orba::diagrams
