// The report site of the model open in a host session (`orba report`): the
// add-in is asked one operation at a time, as the host always does (its
// validation rules, the allocation search, the compartments of each
// element); only the writing of the finished pages runs in parallel.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <iosfwd>

#include "orba/report/matrices.h"
#include "orba/report/model_index.h"
#include "orba/session/host_session.h"

namespace orba::report {

// Told (done, total) as an activity goes on.
using ProgressFunction = std::function<void(size_t done, size_t total)>;

struct ReportSettings {
  // The progress function of an activity ("validating", ...); may give an
  // empty function.
  std::function<ProgressFunction(const char* activity)> progress;
  std::ostream* diagnostics = nullptr;  // null: std::cerr
};

struct ReportSummary {
  size_t element_pages = 0;
  size_t diagram_pages = 0;
  bool generated_views = false;
  size_t violations = 0;
};

// Writes the site into the folder `output` (see SiteFolder for what may be
// there already); throws ReportError, or the session's errors.
ReportSummary WriteReportSite(session::HostSession& session, const std::filesystem::path& output,
                              const ReportSettings& settings);

// The rows of the add-in's "SysML Allocations" search, their ends found in
// the model.
std::vector<Allocation> SearchAllocations(session::HostSession& session, const ModelIndex& model);

}  // namespace orba::report
