// ReportedSite: the report site of a model written as `orba report` writes
// it, by the built add-in (found through the build's component registry)
// with its settings in a fresh folder, into a temporary folder; and the
// pages read back.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>

#include "orba/cli/command.h"
#include "orba/report/report_site.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace orba::report {

inline const std::string kExampleModel = TESSARY_BUILD_BIN_DIR "/SysML Example.obx";

class ReportedSite {
 public:
  // `model`: a model file, or a source document imported first.
  explicit ReportedSite(const std::string& model) {
    environment_.Set("XDG_CONFIG_HOME", (folder_.path() / "config").c_str());
    session::SessionOptions options;
    options.ui = "none";
    options.diagnostics = &diagnostics_;
    session::HostSession session(options);
    cli::StartSession(session, model, store::ModelRepository::Access::kReadOnly);
    summary_ = WriteReportSite(session, Root(), {{}, &diagnostics_});
  }

  std::filesystem::path Root() const { return folder_.path() / "site"; }
  const ReportSummary& Summary() const { return summary_; }
  std::string Diagnostics() const { return diagnostics_.str(); }
  std::string Read(const std::string& relative_path) const {
    return testing_support::FileBytes(Root() / relative_path);
  }

 private:
  testing_support::TempFolder folder_;
  testing_support::ScopedEnvironment environment_;
  std::ostringstream diagnostics_;
  ReportSummary summary_;
};

// "{8829-...}" -> "elements/8829-....html": where the page of an element
// with a braced GUID is.
inline std::string PageOfGuid(const std::string& guid) {
  return "elements/" + guid.substr(1, guid.size() - 2) + ".html";
}

}  // namespace orba::report
