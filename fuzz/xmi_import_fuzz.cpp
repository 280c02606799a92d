// Any bytes as an XMI file: the reader either refuses them with XmiError or
// gives a model document that the store imports whole and that the XMI
// writer writes; what the writer wrote is read again without an error.
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
  const std::string document =
      imported.document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  orba::store::ModelRepository repository;
  repository.CreateInMemoryModel();
  orba::store::ImportJsonModel(repository, document);
  const XmiExport exported =
      WriteXmi(nlohmann::json::parse(orba::store::ExportJsonModel(repository)));
  ReadXmi(exported.text, "fuzz-again.xmi", XmiOptions{});
  return 0;
}
