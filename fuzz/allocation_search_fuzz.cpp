// Any query answers from the host: the search builds a complete document or,
// when it must look up an element the host cannot give, fails with the host's
// error — never a crash or another kind of exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/error.h"
#include "host_answers.h"
#include "search/allocation_search.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\x01');
  const std::string allocations = input.substr(0, split);
  const std::string partitions = split == std::string::npos ? "" : input.substr(split + 1);
  auto repository = fuzzing::RepositoryAnswering("", allocations, partitions);
  try {
    const std::string document = search::AllocationSearchDocument(*repository);
    if (document.rfind("<ReportViewData><Fields>", 0) != 0) __builtin_trap();
    if (!document.ends_with("</Rows></ReportViewData>")) __builtin_trap();
  } catch (const host::Error&) {
  }
  return 0;
}
