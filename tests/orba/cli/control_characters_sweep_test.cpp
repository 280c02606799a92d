// Every command, in every output format, on a model whose texts hold every
// C0 control character, DEL, a C1 control, quotes, markup characters,
// terminal escape sequences and non-ASCII text. Whatever a model holds, text
// output never carries a raw control byte (other than TAB, LF and CR), JSON
// and SARIF stay valid JSON (which escapes C0 characters itself), and XML stays
// well-formed XML 1.0.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <regex>

#include "orba/cli/cli_fixtures.h"

namespace orba::cli::testing {
namespace {

// Every C0 character (NUL included), then what terminals and parsers react to.
std::string HostileText() {
  std::string text = "n";
  for (char c = 0; c < 0x20; ++c) text += c;
  return text + "\x7F \xC2\x9B" "2J \x1B[2J\x1B]0;owned\x07 \"'<&>]]> Gr\xC3\xB6\xC3\x9F" "e \xE2\x9C\x93";
}

// Gives every name, note, tag value and attribute of the model the hostile text
// (each made unique by a number, so lookups stay unambiguous).
void MakeTextsHostile(const std::string& model) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(model.c_str(), &db), SQLITE_OK);
  sqlite3_create_function(
      db, "hostile", 1, SQLITE_UTF8, nullptr,
      [](sqlite3_context* context, int, sqlite3_value** args) {
        const std::string text = HostileText() + reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
        sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      },
      nullptr, nullptr);
  for (const char* sql : {"UPDATE t_object SET Name = hostile(Object_ID), Notes = hostile(Notes)",
                          "UPDATE t_package SET Name = hostile(Package_ID)",
                          "UPDATE t_objectproperties SET Value = hostile(Value)",
                          "UPDATE t_attribute SET Name = hostile(ID)",
                          "UPDATE t_operation SET Name = hostile(OperationID)",
                          "UPDATE t_diagram SET Name = hostile(Diagram_ID)"}) {
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  }
  sqlite3_close(db);
}

std::string FirstBlockGuid(const std::string& model) {
  sqlite3* db = nullptr;
  sqlite3_open(model.c_str(), &db);
  sqlite3_stmt* query = nullptr;
  sqlite3_prepare_v2(db, "SELECT orba_guid FROM t_object WHERE Stereotype = 'block'", -1, &query,
                     nullptr);
  std::string guid;
  if (sqlite3_step(query) == SQLITE_ROW) guid = reinterpret_cast<const char*>(sqlite3_column_text(query, 0));
  sqlite3_finalize(query);
  sqlite3_close(db);
  return guid;
}

// Where in `text` a byte that no text output may carry is, or npos.
size_t RawControlByte(const std::string& text) {
  for (size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7F) return at;
    if (byte == 0xC2 && at + 1 < text.size() && (static_cast<unsigned char>(text[at + 1]) & 0xE0) == 0x80) {
      return at;
    }
  }
  return std::string::npos;
}

// XML 1.0 allows TAB, LF and CR among the C0 characters, raw or as references.
bool HasCharacterXml10Forbids(const std::string& xml) {
  static const std::regex kReference("&#(x[0-9A-Fa-f]+|[0-9]+);");
  for (auto match = std::sregex_iterator(xml.begin(), xml.end(), kReference);
       match != std::sregex_iterator(); ++match) {
    const std::string number = (*match)[1];
    const unsigned long code =
        number[0] == 'x' ? std::stoul(number.substr(1), nullptr, 16) : std::stoul(number);
    if (code < 0x20 && code != 0x9 && code != 0xA && code != 0xD) return true;
    if (code == 0xFFFE || code == 0xFFFF || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return true;
  }
  return RawControlByte(xml) != std::string::npos;
}

struct Sweep {
  std::vector<std::string> args;  // MODEL and BLOCK stand for the model and a block's GUID
  const char* format;             // how stdout is checked: text, json or xml
  int rows = -1;                  // for a search as JSON: the rows it must keep
};

TEST_F(OrbaCommandTest, NoCommandPassesAControlCharacterThrough) {
  const std::string model = Import(kCarModel);
  MakeTextsHostile(model);
  const std::string block = FirstBlockGuid(model);
  for (const char* option : {"Parts", "FlowPorts", "Parameters", "ShowCompartmentRequirements"}) {
    sandbox_.SetAddinOption(option, "1");
  }
  const Sweep sweeps[] = {
      {{"validate", "MODEL"}, "text"},
      {{"validate", "MODEL", "--format", "json"}, "json"},
      {{"validate", "MODEL", "--format", "sarif"}, "json"},
      {{"search", "MODEL", "SysML Allocations"}, "text"},
      {{"search", "MODEL", "SysML Allocations", "--format", "json"}, "json", 1},
      {{"search", "MODEL", "SysML Allocations", "--format", "xml"}, "xml"},
      {{"search", "MODEL", "Requirements", "--term", "n"}, "text"},
      {{"search", "MODEL", "Requirements", "--format", "json"}, "json", 1},
      {{"search", "MODEL", "Requirements", "--format", "xml"}, "xml"},
      {{"compartments", "MODEL", "BLOCK"}, "text"},
      {{"compartments", "MODEL", "BLOCK", "--format", "json"}, "json"},
      {{"menu", "MODEL"}, "text"},
      {{"menu", "MODEL", "--format", "json"}, "json"},
      {{"click", "MODEL", "&View Allocations"}, "text"},
      {{"click", "MODEL", "Vie&w Requirements"}, "text"},
      {{"click", "MODEL", "&About"}, "text"},
      {{"export", "MODEL"}, "json"},
  };
  for (const Sweep& sweep : sweeps) {
    std::vector<std::string> args;
    std::string shown;
    for (const std::string& arg : sweep.args) {
      args.push_back(arg == "MODEL" ? model : arg == "BLOCK" ? block : arg);
      shown += " " + arg;
    }
    SCOPED_TRACE("orba" + shown);
    const OrbaRun run = sandbox_.Run(args, {"ORBA_UI=none"});
    EXPECT_THAT(run.exit_code, ::testing::AnyOf(0, 1)) << run.err;
    EXPECT_EQ(RawControlByte(run.err), std::string::npos) << run.err;
    const std::string format = sweep.format;
    if (format == "text") {
      EXPECT_EQ(RawControlByte(run.out), std::string::npos) << run.out;
    } else if (format == "json") {
      ASSERT_TRUE(nlohmann::json::accept(run.out)) << run.out;
      if (sweep.rows >= 0) EXPECT_EQ(nlohmann::json::parse(run.out)["rows"].size(), sweep.rows);
    } else {
      pugi::xml_document document;
      EXPECT_TRUE(document.load_string(run.out.c_str())) << run.out;
      EXPECT_FALSE(HasCharacterXml10Forbids(run.out)) << run.out;
    }
  }
}

}  // namespace
}  // namespace orba::cli::testing
