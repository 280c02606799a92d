// An XMI text read by the reader and written through the host's own store with
// the add-in's SysML technology installed, so that tests see the items as the
// rules see them (metatypes derived from stereotypes included).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "orba/interchange/xmi_reader.h"
#include "orba/store/model_repository.h"

namespace orba::interchange::testing {

// The fields of a case line: "a | b c | d" -> "a", "b c", "d".
std::vector<std::string> CaseFields(const std::string& line);

// Reads files as the command line does: nullopt when a file cannot be read.
XmiOptions FileReadingOptions();

class ImportedModel {
 public:
  ImportedModel(std::string_view xmi, const std::string& path,
                const XmiOptions& options = FileReadingOptions());

  const XmiImport& Import() const { return import_; }
  const ImportReport& Report() const { return import_.report; }
  store::ModelRepository& Repository() { return *repository_; }

  // The first item imported with the xmi:id; the test fails when there is none.
  host::ElementPtr Element(const std::string& xmi_id);
  host::PackagePtr Package(const std::string& xmi_id);
  host::ConnectorPtr Connector(const std::string& xmi_id);
  // The further fields of the connector ("clientRole", ...) and of the element.
  std::string ConnectorField(const std::string& xmi_id, const std::string& field);
  std::string ElementField(const std::string& xmi_id, const std::string& field);

 private:
  int32_t IdOf(const char* item_kind, const std::string& xmi_id);

  XmiImport import_;
  std::shared_ptr<store::ModelRepository> repository_;
};

}  // namespace orba::interchange::testing
