// Reads a ZIP archive's members back with libzip, for checking the shape-script archives.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ZipMember {
  std::string name;
  int method;  // ZIP_CM_DEFLATE, ZIP_CM_STORE, ...
  std::string content;
};

// The members of the archive `bytes`, in archive order. Throws std::runtime_error
// when libzip cannot open or read it.
std::vector<ZipMember> ReadZipMembers(const std::string& bytes);

}  // namespace testing_support
