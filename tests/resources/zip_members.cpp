#include "zip_members.h"

#include <zip.h>

#include <stdexcept>

namespace testing_support {
namespace {

std::string ReadMember(zip_t* archive, zip_uint64_t index, zip_uint64_t size) {
  std::string content(size, '\0');
  zip_file_t* file = zip_fopen_index(archive, index, 0);
  if (file == nullptr) throw std::runtime_error(zip_strerror(archive));
  const zip_int64_t read = zip_fread(file, content.data(), content.size());
  zip_fclose(file);
  if (read != static_cast<zip_int64_t>(size)) throw std::runtime_error("short read of a ZIP member");
  return content;
}

}  // namespace

std::vector<ZipMember> ReadZipMembers(const std::string& bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive =
      source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (archive == nullptr) {
    zip_source_free(source);
    const std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw std::runtime_error("not a readable ZIP archive: " + reason);
  }
  std::vector<ZipMember> members;
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0) throw std::runtime_error(zip_strerror(archive));
    members.push_back({stat.name, stat.comp_method, ReadMember(archive, index, stat.size)});
  }
  zip_discard(archive);
  return members;
}

}  // namespace testing_support
