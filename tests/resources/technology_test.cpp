// The technology document, resource "TECHFILE" 101: its bytes, and its content
// against the golden file technology_document.golden beside this file.
//
// The golden file is the document in a form fit for review: its lines as the
// generator writes them, except that
//  - end tags are left out (the indentation shows the nesting, and the bytes
//    test below holds the indentation to the nesting);
//  - each Stereotype, Order and TaggedValueTypes element stands on one line,
//    and a comment, a UMLProfile or a Content start tag on one line with what
//    follows it;
//  - an Image's Base64 text is replaced by what it holds:
//    [base64 LINES: MEMBER METHOD = UTF-16LE of scripts/FILE] (or a digest of
//    a member that is no shape script's);
//  - the QuickLink data keeps its first line, the column captions; its rule
//    lines are summed up per source element type (their count and the FNV-1a
//    digest of their text), and their order by the digest of the whole data.
//
// After a deliberate change of the document, rewrite the golden file and
// review its diff:
//   UPDATE_GOLDEN=1 BUILD/bin/technology_test --gtest_filter='*Golden*'
#include "technology.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

#include "base64.h"
#include "document_writer.h"
#include "resources/resource_table.h"
#include "shape_script_archive.h"
#include "support/temp_folder.h"

namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

const std::filesystem::path kGenerator = TECHNOLOGY_GENERATOR;
const std::filesystem::path kScriptsFolder = TECHNOLOGY_SCRIPTS_FOLDER;
const std::filesystem::path kGoldenFile =
    std::filesystem::path(TESSARY_SOURCE_ROOT) / "tests/resources/technology_document.golden";

std::string_view Resource() {
  return resources::LoadResData(resources::kTechnologyType, resources::kTechnologyId);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end = text.find(separator); end != std::string_view::npos;
       end = text.find(separator, start)) {
    parts.emplace_back(text.substr(start, end - start));
    start = end + separator.size();
  }
  parts.emplace_back(text.substr(start));
  return parts;
}

std::string Digest(std::string_view text) {
  uint64_t hash = 0xcbf29ce484222325;
  for (unsigned char byte : text) hash = (hash ^ byte) * 0x100000001b3;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

technology::ShapeScripts ScriptFiles() {
  technology::ShapeScripts scripts;
  for (const auto& entry : std::filesystem::directory_iterator(kScriptsFolder)) {
    scripts[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return scripts;
}

// The archive's members, each as "NAME METHOD = UTF-16LE of scripts/FILE" or "NAME METHOD SIZE
// #DIGEST".
std::string ArchiveMembers(const std::string& archive) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
  zip_t* zip = source == nullptr ? nullptr
                                 : zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
  zip_error_fini(&error);
  if (zip == nullptr) {
    zip_source_free(source);
    return "not a ZIP archive";
  }
  std::string members;
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(zip_get_num_entries(zip, 0)); ++i) {
    zip_stat_t stat;
    zip_stat_index(zip, i, 0, &stat);
    std::string content(stat.size, '\0');
    zip_file_t* file = zip_fopen_index(zip, i, 0);
    content.resize(std::max<zip_int64_t>(zip_fread(file, content.data(), content.size()), 0));
    zip_fclose(file);
    members += std::string(members.empty() ? "" : ", ") + stat.name +
               (stat.comp_method == ZIP_CM_DEFLATE ? " deflated"
                                                   : " method " + std::to_string(stat.comp_method));
    std::string described = " " + std::to_string(content.size()) + " bytes #" + Digest(content);
    for (const auto& [name, script] : ScriptFiles()) {
      if (technology::Utf16LeOf(script) == content) described = " = UTF-16LE of scripts/" + name;
    }
    members += described;
  }
  zip_discard(zip);
  return members;
}

// "72x6+12": the widths of the Base64 lines, a run of equal widths as WIDTHxCOUNT.
std::string LineWidths(const std::vector<std::string>& lines) {
  std::string widths;
  for (size_t i = 0, run; i < lines.size(); i += run) {
    for (run = 1; i + run < lines.size() && lines[i + run].size() == lines[i].size();) ++run;
    widths += (i > 0 ? "+" : "") + std::to_string(lines[i].size()) +
              (run > 1 ? "x" + std::to_string(run) : "");
  }
  return widths;
}

// Replaces the text of every element `<NAME ...>` ... `</NAME>` by what `sum_up` makes of it.
template <typename SumUp>
std::string Replaced(std::string text, std::string_view start, std::string_view end, SumUp sum_up) {
  for (size_t at = text.find(start); at != std::string::npos; at = text.find(start, at)) {
    const size_t from = text.find(start.back() == '"' ? "\"" : ">", at + start.size() - 1) + 1;
    const size_t to = text.find(end, from);
    const std::string summary = sum_up(text.substr(from, to - from));
    text.replace(from, to - from, summary);
    at = from + summary.size();
  }
  return text;
}

std::string QuickLinkSummary(const std::string& data) {
  const std::vector<std::string> lines = Split(data, "&#xA;");
  std::vector<std::string> types;  // in the order they first come
  std::map<std::string, std::pair<size_t, std::string>> rules_of;
  for (auto rule = lines.begin() + 1; rule != lines.end(); ++rule) {
    const std::string type = rule->empty() ? "(empty)" : rule->substr(0, rule->find(','));
    if (!rules_of.contains(type)) types.push_back(type);
    ++rules_of[type].first;
    rules_of[type].second += *rule + "\n";
  }
  std::string summary = lines[0];
  for (const std::string& type : types) {
    summary += "&#xA;\r\n\t\t\t\t\t[" + type + " x" + std::to_string(rules_of[type].first) + " #" +
               Digest(rules_of[type].second) + "]";
  }
  return summary + "&#xA;\r\n\t\t\t\t\t[in this order #" + Digest(data) + "]";
}

// The document as the golden file holds it (see the top of this file).
std::string Normalised(std::string_view document) {
  std::string text(document.substr(0, document.size() - 3));
  text = Replaced(text, "<Image ", "</Image>", [](const std::string& base64) {
    return "[base64 " + LineWidths(Split(base64, "\r\n")) + ": " +
           ArchiveMembers(technology::Base64Decode(base64)) + "]";
  });
  text = Replaced(text, "<QuickLink data=\"", "\"/>", QuickLinkSummary);
  std::string outline;
  size_t joined_depth = std::string::npos;  // of the element being joined onto one line
  bool join_next = false;
  for (const std::string& line : Split(text, "\r\n")) {
    const size_t depth = line.find_first_not_of('\t');
    const std::string_view tag = std::string_view(line).substr(std::min(depth, line.size()));
    const bool inside = joined_depth != std::string::npos;
    if (!inside && (tag.empty() || tag.starts_with("</"))) continue;
    outline += inside || join_next ? std::string(tag) : line;
    if (inside) {
      if (depth == joined_depth) outline += "\n", joined_depth = std::string::npos;
      continue;
    }
    join_next = tag.starts_with("<!--") || tag == "<Content>" || tag.starts_with("<UMLProfile ");
    if (!tag.ends_with("/>") &&
        (tag.starts_with("<Stereotype ") || tag == "<Order>" || tag == "<TaggedValueTypes>")) {
      joined_depth = depth;
    } else if (!join_next) {
      outline += "\n";
    }
  }
  return outline;
}

// The lines that differ, "-" for the golden file's and "+" for the document's,
// each long line cut to the stretch around its first difference.
std::string LineDiff(const std::string& golden, const std::string& actual) {
  const std::vector<std::string> old_lines = Split(golden, "\n"), new_lines = Split(actual, "\n");
  const size_t n = old_lines.size(), m = new_lines.size();
  std::vector<std::vector<size_t>> common(n + 1, std::vector<size_t>(m + 1, 0));
  for (size_t i = n; i-- > 0;) {
    for (size_t j = m; j-- > 0;) {
      common[i][j] = old_lines[i] == new_lines[j] ? common[i + 1][j + 1] + 1
                                                  : std::max(common[i + 1][j], common[i][j + 1]);
    }
  }
  std::string diff;
  const auto show = [&diff](char sign, size_t number, const std::string& line,
                            const std::string& other) {
    const size_t first =
        std::mismatch(line.begin(), line.end(), other.begin(), other.end()).first - line.begin();
    const size_t from = first > 60 ? first - 60 : 0;
    diff += sign + std::to_string(number + 1) + ": " + (from > 0 ? "..." : "") +
            line.substr(from, 160) + "\n";
  };
  std::string removed;  // the line last taken out, beside the one that replaces it
  for (size_t i = 0, j = 0; i < n || j < m;) {
    if (i < n && j < m && old_lines[i] == new_lines[j]) {
      ++i, ++j, removed.clear();
    } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
      show('-', i, old_lines[i], j < m ? new_lines[j] : "");
      removed = old_lines[i++];
    } else {
      show('+', j, new_lines[j], removed), ++j;
    }
  }
  return diff;
}

TEST(TechnologyDocumentTest, TheModuleCarriesWhatTheGeneratorWrites) {
  technology::ShapeScripts scripts;
  for (const auto& [file, text] : ScriptFiles())
    scripts[std::filesystem::path(file).stem().string()] = text;
  EXPECT_EQ(technology::WriteTechnologyDocument(technology::SysmlTechnology(), scripts),
            Resource());
  scripts.erase("flow_port");
  EXPECT_THROW(technology::WriteTechnologyDocument(technology::SysmlTechnology(), scripts),
               std::runtime_error);
}

TEST(TechnologyDocumentTest, TheGeneratorFailsWithoutItsShapeScripts) {
  const testing_support::TempFolder folder;
  const std::string command = "'" + kGenerator.string() + "' '" + folder.path().string() + "' '" +
                              (folder.path() / "out.xml").string() + "' 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
}

// XML in plain ASCII, CR LF line ends, one tab per open element (an Image's
// Base64 lines after its first stand unindented, as its text), three zero bytes after the end.
TEST(TechnologyDocumentTest, BytesAreAsciiXmlIndentedOneTabPerLevel) {
  ASSERT_TRUE(Resource().starts_with("<Quindle.Technology version=\"1.0\">\r\n") &&
              Resource().ends_with("</Quindle.Technology>\r\n\0\0\0"sv));
  const std::string_view text = Resource().substr(0, Resource().size() - 3);
  pugi::xml_document document;
  EXPECT_TRUE(document.load_buffer(text.data(), text.size()));
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x7F; }));
  EXPECT_EQ(Split(text, "\n").size(), Split(text, "\r\n").size()) << "a bare LF";
  EXPECT_EQ(Split(text, "\r").size(), Split(text, "\r\n").size()) << "a bare CR";
  size_t depth = 0;
  bool inside_image = false;
  for (const std::string& line : Split(text.substr(0, text.size() - 2), "\r\n")) {
    if (std::exchange(inside_image, inside_image && !line.ends_with("</Image>"))) continue;
    const size_t tabs = line.find_first_not_of('\t');
    const std::string_view tag = std::string_view(line).substr(tabs);
    depth -= tag.starts_with("</");
    ASSERT_EQ(tabs, depth) << line.substr(0, 80);
    inside_image = tag.starts_with("<Image") && !tag.ends_with("</Image>");
    depth += !tag.starts_with("<Image") && !tag.starts_with("</") && !tag.starts_with("<!--") &&
             !tag.ends_with("/>");
  }
  EXPECT_EQ(depth, 0u);
}

TEST(TechnologyDocumentTest, MatchesTheGoldenFile) {
  const std::string actual = Normalised(Resource());
  if (std::getenv("UPDATE_GOLDEN") != nullptr) {
    std::ofstream(kGoldenFile, std::ios::binary) << actual;
    GTEST_SKIP() << "rewrote " << kGoldenFile;
  }
  const std::string golden = ReadFile(kGoldenFile);
  ASSERT_FALSE(golden.empty()) << kGoldenFile << " is missing";
  EXPECT_TRUE(golden == actual) << "the document differs from " << kGoldenFile << ":\n"
                                << LineDiff(golden, actual);
}

// The columns of a rule line: source type and stereotype, target type and
// stereotype, diagram filter, new element type and stereotype, link type,
// link stereotype, direction, link caption, element caption, then flags.
TEST(TechnologyQuickLinkTest, EveryRuleFillsItsColumnsAsTheyGo) {
  pugi::xml_document document;
  ASSERT_TRUE(document.load_buffer(Resource().data(), Resource().size() - 3));
  const std::string data = document.select_node("//QuickLink").node().attribute("data").value();
  std::vector<std::string> rules = Split(data, "\n");
  ASSERT_GT(rules.size(), 3u);
  EXPECT_EQ(rules.back() + rules[rules.size() - 2], "") << "the data ends with one empty line";
  rules = {rules.begin() + 1, rules.end() - 2};
  for (const std::string& line : rules) {
    const std::vector<std::string> f = Split(line, ",");
    ASSERT_EQ(f.size(), 23u) << line;
    const bool targets = !f[2].empty(), creates = !f[5].empty();
    EXPECT_TRUE(targets || creates) << line;
    EXPECT_TRUE(f[9] == "to" || f[9] == "from" || f[9] == "undirected") << line;
    EXPECT_EQ(f[10].empty(), creates) << line;
    EXPECT_TRUE(f[11].empty() == !creates && f[16].empty() == !creates) << line;
    EXPECT_EQ(f[12] + "|" + f[13] + "|" + f[14] + "|" + f[15],
              "TRUE|"s + (creates ? "TRUE" : "") + "|TRUE|" + (f[1].empty() ? "" : "TRUE"))
        << line;
    EXPECT_EQ(f[4] + "|" + f[17] + "|" + f[18] + f[20] + f[21] + f[22], "|0|") << line;
    EXPECT_EQ(f[19], targets && creates ? "TRUE" : "") << line;
    EXPECT_EQ(f[5], targets && creates ? "Port" : f[5]) << line;
    // Only a copy, derive or trace link to an element of the same kind stands twice.
    const auto copies = std::count(rules.begin(), rules.end(), line);
    if (copies > 1) {
      EXPECT_EQ(copies, 2) << line;
      EXPECT_TRUE(f[0] + f[1] == f[2] + f[3] && f[9] == "to") << line;
      EXPECT_TRUE(f[8] == "copy" || f[8] == "derive" || f[8] == "trace") << line;
    }
  }
}

}  // namespace
