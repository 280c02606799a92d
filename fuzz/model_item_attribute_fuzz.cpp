// Any item document from the host: GetModelItemAttribute never fails.
#include <cstddef>
#include <cstdint>
#include <string>

#include "helper_funcs/helper_funcs.h"
#include "host_answers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string xml(reinterpret_cast<const char*>(data), size);
  auto repository = fuzzing::RepositoryAnswering(xml, "", "");
  (void)HelperFuncs::GetModelItemAttribute(repository, "{E}", "Metatype");
  return 0;
}
