// Any bytes as an XMI file: the reader either refuses them with XmiError or
// gives a model document that the store imports whole or refuses whole with
// ImportError (as `orba import` then writes nothing); a document it imports
// is exported again as XMI, which the reader reads without an error.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "orba/interchange/xmi_reader.h"
#include "orba/interchange/xmi_writer.h"
#include "orba/store/json_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orba::interchange;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  XmiImport imported;
  try {
    imported = ReadXmi(text, "fuzz.xmi", XmiOptions{});
  } catch (const XmiError&) {
    return 0;
  }
  orba::store::ModelRepository repository;
  repository.CreateInMemoryModel();
  try {
    orba::store::ImportJsonModel(
        repository,
        imported.document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  } catch (const orba::store::ImportError&) {
    if (!repository.ElementIds().empty() || !repository.ConnectorIds().empty()) __builtin_trap();
    return 0;
  }
  const XmiExport exported =
      WriteXmi(nlohmann::json::parse(orba::store::ExportJsonModel(repository)));
  ReadXmi(exported.text, "fuzz-again.xmi", XmiOptions{});
  return 0;
}
