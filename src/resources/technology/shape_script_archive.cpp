#include "shape_script_archive.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

#include "base/utf8.h"
#include "base64.h"

namespace technology {
namespace {

// 1 January 1980, 00:00, the earliest time a ZIP entry can carry.
constexpr zip_uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr zip_uint16_t kDosTime = 0;
constexpr zip_uint32_t kCompressionLevel = 9;

struct SourceRelease {
  void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using Source = std::unique_ptr<zip_source_t, SourceRelease>;

struct ArchiveDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveDiscard>;

[[noreturn]] void Fail(const std::string& step, const char* reason) {
  throw std::runtime_error("cannot build the shape-script archive: " + step + ": " + reason);
}

void AddMember(zip_t* archive, std::string_view member_name, std::string_view content) {
  zip_source_t* member = zip_source_buffer(archive, content.data(), content.size(), 0);
  if (member == nullptr) Fail("member source", zip_strerror(archive));
  const zip_int64_t index =
      zip_file_add(archive, std::string(member_name).c_str(), member, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(member);
    Fail("adding the member", zip_strerror(archive));
  }
  const auto entry = static_cast<zip_uint64_t>(index);
  if (zip_set_file_compression(archive, entry, ZIP_CM_DEFLATE, kCompressionLevel) != 0 ||
      zip_file_set_dostime(archive, entry, kDosTime, kDosDate, 0) != 0) {
    Fail("member settings", zip_strerror(archive));
  }
}

std::string ReadAll(zip_source_t* source) {
  if (zip_source_open(source) != 0)
    Fail("reading the archive", zip_error_strerror(zip_source_error(source)));
  std::string bytes;
  char chunk[4096];
  zip_int64_t count;
  while ((count = zip_source_read(source, chunk, sizeof chunk)) > 0) bytes.append(chunk, count);
  zip_source_close(source);
  if (count < 0) Fail("reading the archive", zip_error_strerror(zip_source_error(source)));
  return bytes;
}

std::string InLines(std::string_view text, size_t width) {
  std::string lines;
  for (size_t at = 0; at < text.size(); at += width) {
    if (at > 0) lines += "\r\n";
    lines += text.substr(at, width);
  }
  return lines;
}

}  // namespace

std::string Utf16LeOf(std::string_view text) {
  std::string bytes;
  auto append_unit = [&bytes](char32_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  };
  for (char32_t code_point : base::DecodeUtf8(text)) {
    if (code_point < 0x10000) {
      append_unit(code_point);
    } else {
      append_unit(0xD800 + ((code_point - 0x10000) >> 10));
      append_unit(0xDC00 + ((code_point - 0x10000) & 0x3FF));
    }
  }
  return bytes;
}

std::string ZipWithOneMember(std::string_view member_name, std::string_view content) {
  zip_error_t error;
  zip_error_init(&error);
  Source buffer(zip_source_buffer_create(nullptr, 0, 0, &error));
  if (!buffer) Fail("archive buffer", zip_error_strerror(&error));
  Archive archive(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &error));
  if (!archive) Fail("opening the archive", zip_error_strerror(&error));
  zip_source_keep(buffer.get());  // the buffer outlives the archive: it holds the result
  AddMember(archive.get(), member_name, content);
  if (zip_close(archive.get()) != 0) Fail("writing the archive", zip_strerror(archive.get()));
  archive.release();  // zip_close freed it
  zip_error_fini(&error);
  return ReadAll(buffer.get());
}

std::string ShapeScriptImage(std::string_view utf8_script) {
  const std::string archive = ZipWithOneMember(kShapeScriptMember, Utf16LeOf(utf8_script));
  return InLines(Base64Encode(archive), kImageLineWidth);
}

}  // namespace technology
