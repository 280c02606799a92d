// The technology document, resource "TECHFILE" 101: its bytes, and its text
// against the golden file technology_document.golden, which breaks lines only
// before start tags of the outer three levels and before each Stereotype,
// QuickLink and Order, and indents them one tab per open element; a line of the
// document indented otherwise shows "[indented N]". An Image shows its Base64
// line widths and its archive's members; the QuickLink data its caption line,
// its rules per source element type (count, FNV-1a digest) and the digest of the
// whole. After a deliberate change, rewrite the golden file and review its diff:
//   UPDATE_GOLDEN=1 BUILD/bin/technology_test --gtest_filter='*Golden*'
#include "technology.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base64.h"
#include "document_writer.h"
#include "resources/resource_table.h"
#include "shape_script_archive.h"
#include "support/temp_folder.h"
#include "xml_writer.h"

namespace technology {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

const std::filesystem::path kGoldenFile =
    std::filesystem::path(TESSARY_SOURCE_ROOT) / "tests/resources/technology_document.golden";

std::string_view Resource() {
  return resources::LoadResData(resources::kTechnologyType, resources::kTechnologyId);
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  for (size_t end; (end = text.find(separator)) != std::string_view::npos;
       text.remove_prefix(end + separator.size())) {
    parts.emplace_back(text.substr(0, end));
  }
  parts.emplace_back(text);
  return parts;
}

std::string Digest(std::string_view text) {
  uint64_t hash = 0xcbf29ce484222325;
  for (unsigned char byte : text) hash = (hash ^ byte) * 0x100000001b3;
  return std::to_string(hash);
}

// The shape scripts by name, as the generator reads them.
ShapeScripts ScriptFiles() {
  ShapeScripts scripts;
  for (const auto& entry : std::filesystem::directory_iterator(TECHNOLOGY_SCRIPTS_FOLDER)) {
    scripts[entry.path().stem().string()] = testing_support::FileBytes(entry.path());
  }
  return scripts;
}

// Each member as "NAME deflated = UTF-16LE of script NAME", or with its size and digest.
std::string ArchiveMembers(const std::string& archive) {
  zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, nullptr);
  zip_t* zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, nullptr);
  if (zip == nullptr) {
    zip_source_free(source);
    return "not a ZIP archive";
  }
  std::string members;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(zip, i, 0, &stat);
    std::string content(stat.size, '\0');
    zip_file_t* file = zip_fopen_index(zip, i, 0);
    content.resize(std::max<zip_int64_t>(zip_fread(file, content.data(), content.size()), 0));
    zip_fclose(file);
    std::string described = std::to_string(content.size()) + " bytes #" + Digest(content);
    for (const auto& [name, script] : ScriptFiles()) {
      if (Utf16LeOf(script) == content) described = "= UTF-16LE of script " + name;
    }
    members += stat.name +
               (stat.comp_method == ZIP_CM_DEFLATE ? " deflated "s : " not deflated "s) +
               described + ";";
  }
  zip_discard(zip);
  return members;
}

// The text between each `start` and the next `end` replaced by what `sum_up` makes of it.
template <typename SumUp>
std::string Replaced(std::string text, std::string_view start, char end, SumUp sum_up) {
  for (size_t from = text.find(start); from != std::string::npos; from = text.find(start, from)) {
    from += start.size();
    const size_t length = text.find(end, from) - from;
    text.replace(from, length, sum_up(text.substr(from, length)));
  }
  return text;
}

std::string QuickLinkSummary(const std::string& data) {
  const std::vector<std::string> lines = Split(data, "&#xA;");
  std::map<std::string, std::string> rules_by_type;
  for (auto rule = lines.begin() + 1; rule != lines.end(); ++rule) {
    rules_by_type[rule->substr(0, rule->find(','))] += *rule + "\n";
  }
  std::string summary = lines[0] + "&#xA;";
  for (const auto& [type, rules] : rules_by_type) {
    summary += "[" + type + " x" + std::to_string(std::ranges::count(rules, '\n')) + " #" +
               Digest(rules) + "]";
  }
  return summary + "[in this order #" + Digest(data) + "]";
}

// The document as the golden file holds it (see the top of this file).
std::string Normalised(std::string_view document) {
  std::string text(document.substr(0, document.size() - 3));
  text = Replaced(text, "bin.base64\">", '<', [](const std::string& base64) {
    std::string widths;
    for (const std::string& line : Split(base64, "\r\n"))
      widths += std::to_string(line.size()) + " ";
    return "[base64 lines " + widths + "wide: " + ArchiveMembers(Base64Decode(base64)) + "]";
  });
  text = Replaced(text, "<QuickLink data=\"", '"', QuickLinkSummary);
  std::string golden;
  size_t nesting = 0;  // elements open
  for (const std::string& line : Split(text, "\r\n")) {
    const size_t tabs = std::min(line.find_first_not_of('\t'), line.size());
    const std::string_view tag = std::string_view(line).substr(tabs);
    nesting -= tag.starts_with("</");
    const bool own_line = (nesting <= 2 && !tag.starts_with("</")) ||
                          tag.starts_with("<Stereotype ") || tag.starts_with("<QuickLink ") ||
                          tag == "<Order>";
    const std::string shown =
        (tabs == nesting ? "" : "[indented " + std::to_string(tabs) + "]") + std::string(tag);
    golden += own_line ? "\n" + std::string(nesting, '\t') + shown : shown;
    nesting += !tag.starts_with("<!--") && !tag.ends_with("/>") && tag.find("</") == tag.npos;
  }
  return golden.substr(1) + "\n";
}

// The generator needs every shape script a stereotype names.
TEST(TechnologyDocumentTest, TheModuleCarriesWhatTheGeneratorWrites) {
  ShapeScripts scripts = ScriptFiles();
  EXPECT_EQ(WriteTechnologyDocument(SysmlTechnology(), scripts), Resource());
  scripts.erase("flow_port");
  EXPECT_THROW(WriteTechnologyDocument(SysmlTechnology(), scripts), std::runtime_error);
  const testing_support::TempFolder folder;
  const std::string command = "'"s + TECHNOLOGY_GENERATOR + "' '" + folder.path().string() + "' '" +
                              (folder.path() / "out.xml").string() + "' 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
}

// Plain ASCII with CR LF line ends and three zero bytes after the end; its
// text as the golden file holds it.
TEST(TechnologyDocumentTest, IsAsciiWithCrLfLineEndsAndMatchesTheGoldenFile) {
  ASSERT_TRUE(Resource().starts_with("<Quindle.Technology version=\"1.0\">\r\n") &&
              Resource().ends_with("</Quindle.Technology>\r\n\0\0\0"sv));
  const std::string_view text = Resource().substr(0, Resource().size() - 3);
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x7F; }));
  EXPECT_EQ(Split(text, "\n").size(), Split(text, "\r\n").size()) << "a bare LF";
  EXPECT_EQ(Split(text, "\r").size(), Split(text, "\r\n").size()) << "a bare CR";
  const std::string actual = Normalised(Resource());
  if (std::getenv("UPDATE_GOLDEN") != nullptr) {
    std::ofstream(kGoldenFile, std::ios::binary) << actual;
    GTEST_SKIP() << "rewrote " << kGoldenFile;
  }
  EXPECT_EQ(actual, testing_support::FileBytes(kGoldenFile)) << "differs from " << kGoldenFile;
}

// The generator's parts on what the document never holds: the encoders' edge
// cases, refused input and characters that need escaping.
TEST(Base64Test, EncodesAndDecodesTheStandardVectors) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"\xFF\x00\xFB"s, "/wD7"}};
  // clang-format on
  for (const auto& [bytes, text] : cases) {
    EXPECT_EQ(Base64Encode(bytes), text) << text;
    EXPECT_EQ(Base64Decode(text), bytes) << text;
  }
  EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");
  for (const char* text : {"Zm9", "Zm9v!A==", "Z=9v", "Zm 9v"}) {
    EXPECT_THROW(Base64Decode(text), std::runtime_error) << text;
  }
}

// Guillemets, U+2122 and a surrogate pair; then invalid UTF-8 (base::DecodeUtf8 reads it).
TEST(Utf16LeTest, WritesEachCodePointAsLittleEndianUnitsAndRefusesInvalidUtf8) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"Sh", "S\0h\0"s}, {"\xC2\xAB" "a\xC2\xBB", "\xAB\0a\0\xBB\0"s},
      {"\xE2\x84\xA2", "\x22\x21"}, {"\xF0\x9F\x98\x80", "\x3D\xD8\x00\xDE"s}};
  // clang-format on
  for (const auto& [utf8, utf16] : cases) EXPECT_EQ(Utf16LeOf(utf8), utf16) << utf8;
  EXPECT_THROW(Utf16LeOf("a\xFF"), std::runtime_error);
}

TEST(XmlWriterTest, RefusesUnbalancedElements) {
  XmlWriter xml;
  EXPECT_THROW(xml.Close(), std::logic_error);
  xml.Open("Root");
  EXPECT_THROW(xml.Text(), std::logic_error);
}

}  // namespace
}  // namespace technology
