// The JSON model format of `orba import` and `orba export`: a whole model as
// one document. Import checks the whole document before it writes anything
// and writes it in one transaction; an error names the place, for example
// `elements[3].classifier: unknown key "wheel"`.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "orba/store/model_repository.h"
#include "orba/store/store_error.h"

namespace orba::store {

// A document the import refuses; what() names the place and the problem.
class ImportError : public StoreError {
 public:
  using StoreError::StoreError;
};

// The ids that the document's keys received.
struct KeyMap {
  std::map<std::string, int32_t> packages;    // key -> package id
  std::map<std::string, int32_t> elements;    // key -> element id
  std::map<std::string, int32_t> connectors;  // key -> connector id
};

struct ImportResult {
  KeyMap keys;
  // The technology ids listed under "technologies", in order. The store cannot
  // load them itself: the caller hands each to the add-in that provides it.
  std::vector<std::string> technologies;
};

// Imports a document into the open model, which must be empty. Throws
// ImportError (the model is then unchanged) or StoreError.
ImportResult ImportJsonModel(ModelRepository& repository, std::string_view json_text);

// The file ImportJsonModelFile builds the model in before it takes the place
// of `obx_path` (SQLite may keep a "-journal" file beside it meanwhile).
std::string ImportBuildingPath(const std::string& obx_path);

// Whether an import returns the ids of the keys. A caller that needs none
// passes kDropped and gets empty maps: for a model of millions of items
// they take seconds and hundreds of MB.
enum class ImportedKeys { kKept, kDropped };

// Creates the model file `obx_path` from a document, replacing an existing file
// only when the whole import succeeded. The repository is left with the new
// model open. Throws ImportError or StoreError; the old file is then untouched.
ImportResult ImportJsonModelFile(ModelRepository& repository, std::string_view json_text,
                                 const std::string& obx_path,
                                 ImportedKeys keys = ImportedKeys::kKept);

// The open model as a document (pretty-printed, ending with a newline).
std::string ExportJsonModel(ModelRepository& repository);

}  // namespace orba::store
