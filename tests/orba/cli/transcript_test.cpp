// Runs the command-line cases of cases/*.txt, each in a sandbox of its own,
// on the built `orba`. The format of a case file:
//
//   == NAME                  starts the case NAME (a test name)
//   model NAME               imports cases/NAME.json into NAME.obx
//   option KEY VALUE         sets one of the add-in's options
//   sql MODEL STATEMENTS     runs SQL straight on a model file, as a script might
//   write FILE TEXT          writes a file
//   env NAME=VALUE           sets a variable for the runs that follow
//   orba ARGS [=> N]         runs orba, which exits 0 (or N)
//   out|err has|lacks|is|starts TEXT    what the run wrote on stdout or stderr
//   out|err clean|json|xml   it is text without a raw control byte but TAB, LF
//                            and CR; valid JSON; well-formed XML 1.0
//   file FILE has|lacks|is TEXT         what a file holds
//   gone PREFIX              no file's name starts with PREFIX
//   refused ARGS => PROBLEM  runs orba: exit 2, nothing on stdout, PROBLEM on stderr
//
// No run may write a raw control byte on stderr. Files are in the sandbox,
// which is orba's working folder. ARGS are split at spaces outside "double
// quotes". In ARGS and TEXT, \n, \t, \r, \\, \", \xNN and \uNNNN are escapes,
// {bin} is the folder of the built programs and {cases} the folder of the
// case files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <regex>

#include "orba/cli/cli_fixtures.h"
#include "orba/store/model_file_faults.h"

namespace orba::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

struct Step {
  std::string where;  // file:line
  std::string keyword;
  std::string rest;
};

struct Case {
  std::string where;  // of its "==" line
  std::string name;
  std::vector<Step> steps;
  friend void PrintTo(const Case& c, std::ostream* out) { *out << c.where; }
};

// Splits "FIRST REST" at its first space.
std::pair<std::string, std::string> FirstWord(const std::string& text) {
  const size_t space = std::min(text.find(' '), text.size());
  return {text.substr(0, space), space < text.size() ? text.substr(space + 1) : ""};
}

std::vector<Case> LoadCases() {
  std::vector<Case> cases;
  for (const auto& entry : std::filesystem::directory_iterator(kCases)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path());
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      const std::string where = entry.path().filename().string() + ":" + std::to_string(++number);
      if (line.empty() || line.starts_with("#")) continue;
      if (line.starts_with("== ")) {
        cases.push_back({where, line.substr(3), {}});
        continue;
      }
      if (cases.empty()) throw std::runtime_error(where + ": a step before the first case");
      const auto [keyword, rest] = FirstWord(line);
      cases.back().steps.push_back({where, keyword, rest});
    }
  }
  std::sort(cases.begin(), cases.end(),
            [](const Case& a, const Case& b) { return a.name < b.name; });
  return cases;
}

void AppendUtf8(std::string& text, unsigned code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
  } else {
    text += {static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | (code >> 6 & 0x3F)),
             static_cast<char>(0x80 | (code & 0x3F))};
  }
}

// `text` with its escapes decoded and its placeholders replaced.
std::string Decoded(const std::string& text) {
  const std::pair<std::string, std::string> placeholders[] = {
      {"{bin}", OrbaSandbox::BuildBin().string()}, {"{cases}", kCases.string()}};
  std::string decoded;
  for (size_t at = 0; at < text.size(); ++at) {
    const auto placeholder =
        std::find_if(std::begin(placeholders), std::end(placeholders),
                     [&](const auto& p) { return text.compare(at, p.first.size(), p.first) == 0; });
    if (placeholder != std::end(placeholders)) {
      decoded += placeholder->second;
      at += placeholder->first.size() - 1;
    } else if (text[at] != '\\' || at + 1 == text.size()) {
      decoded += text[at];
    } else if (const char escape = text[++at]; escape == 'x' || escape == 'u') {
      const size_t digits = escape == 'x' ? 2 : 4;
      const unsigned code = std::stoul(text.substr(at + 1, digits), nullptr, 16);
      if (escape == 'x')
        decoded += static_cast<char>(code);
      else
        AppendUtf8(decoded, code);
      at += digits;
    } else {
      decoded += escape == 'n' ? '\n' : escape == 't' ? '\t' : escape == 'r' ? '\r' : escape;
    }
  }
  return decoded;
}

std::vector<std::string> Arguments(const std::string& line) {
  std::vector<std::string> arguments;
  std::string word;
  bool quoted = false, started = false;
  for (size_t at = 0; at < line.size(); ++at) {
    if (line[at] == '"') {
      quoted = !quoted;
      started = true;
    } else if (line[at] == ' ' && !quoted) {
      if (started) arguments.push_back(Decoded(word));
      word.clear();
      started = false;
    } else {
      word += line[at];
      if (line[at] == '\\' && at + 1 < line.size()) word += line[++at];
      started = true;
    }
  }
  if (started) arguments.push_back(Decoded(word));
  return arguments;
}

// Splits "ARGS => RESULT" into the arguments and RESULT ("" when not given).
std::pair<std::vector<std::string>, std::string> ArgumentsAndResult(const std::string& text) {
  const std::string line = " " + text;
  const size_t arrow = line.find(" => ");
  if (arrow == std::string::npos) return {Arguments(line), ""};
  return {Arguments(line.substr(0, arrow)), line.substr(arrow + 4)};
}

// Whether `text` holds a C0 control other than TAB, LF and CR, DEL or a C1 control.
bool HoldsRawControl(const std::string& text) {
  for (size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
    if ((byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7F) return true;
    if (byte == 0xC2 && (next & 0xE0) == 0x80) return true;
  }
  return false;
}

// Whether `xml` refers to a character XML 1.0 forbids.
bool RefersToForbiddenCharacter(const std::string& xml) {
  static const std::regex kReference("&#(x[0-9A-Fa-f]+|[0-9]+);");
  for (auto match = std::sregex_iterator(xml.begin(), xml.end(), kReference);
       match != std::sregex_iterator(); ++match) {
    const std::string number = (*match)[1];
    const unsigned long code =
        number[0] == 'x' ? std::stoul(number.substr(1), nullptr, 16) : std::stoul(number);
    if ((code < 0x20 && code != 0x9 && code != 0xA && code != 0xD) || code == 0xFFFE ||
        code == 0xFFFF || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return true;
    }
  }
  return false;
}

void ExpectText(const std::string& actual, const std::string& check) {
  const auto [verb, text] = FirstWord(check);
  const std::string expected = Decoded(text);
  if (verb == "clean") {
    EXPECT_FALSE(HoldsRawControl(actual)) << actual;
  } else if (verb == "json") {
    EXPECT_TRUE(nlohmann::json::accept(actual)) << actual;
  } else if (verb == "xml") {
    EXPECT_TRUE(pugi::xml_document().load_string(actual.c_str())) << actual;
    EXPECT_FALSE(HoldsRawControl(actual) || RefersToForbiddenCharacter(actual)) << actual;
  } else if (verb == "has") {
    EXPECT_THAT(actual, HasSubstr(expected));
  } else if (verb == "lacks") {
    EXPECT_THAT(actual, Not(HasSubstr(expected)));
  } else if (verb == "is") {
    EXPECT_EQ(actual, expected);
  } else if (verb == "starts") {
    EXPECT_THAT(actual, StartsWith(expected));
  } else {
    ADD_FAILURE() << "unknown check " << verb;
  }
}

class TranscriptTest : public OrbaCommandTest, public ::testing::WithParamInterface<Case> {
 protected:
  void Run(const std::vector<std::string>& args) {
    run_ = sandbox_.Run(args, environment_);
    EXPECT_FALSE(HoldsRawControl(run_.err)) << run_.err;
  }

  void Do(const Step& step) {
    const std::string& rest = step.rest;
    if (step.keyword == "model") {
      Import(rest, rest + ".obx");
    } else if (step.keyword == "option") {
      const auto [key, value] = FirstWord(rest);
      sandbox_.SetAddinOption(key, value);
    } else if (step.keyword == "sql") {
      const auto [model, sql] = FirstWord(rest);
      store::testing::ExecuteOn(sandbox_.Path(model), sql);
    } else if (step.keyword == "write") {
      const auto [name, text] = FirstWord(rest);
      sandbox_.WriteFile(name, Decoded(text));
    } else if (step.keyword == "env") {
      environment_.push_back(rest);
    } else if (step.keyword == "orba") {
      const auto [args, expected_exit] = ArgumentsAndResult(rest);
      Run(args);
      EXPECT_EQ(run_.exit_code, expected_exit.empty() ? 0 : std::stoi(expected_exit)) << run_.err;
    } else if (step.keyword == "out" || step.keyword == "err") {
      ExpectText(step.keyword == "out" ? run_.out : run_.err, rest);
    } else if (step.keyword == "file") {
      const auto [name, check] = FirstWord(rest);
      ExpectText(sandbox_.ReadFile(name), check);
    } else if (step.keyword == "gone") {
      EXPECT_THAT(FilesStartingWith(rest), ::testing::IsEmpty());
    } else if (step.keyword == "refused") {
      const auto [args, problem] = ArgumentsAndResult(rest);
      Run(args);
      EXPECT_EQ(run_.exit_code, 2) << run_.err;
      EXPECT_EQ(run_.out, "");
      EXPECT_THAT(run_.err, HasSubstr(Decoded(problem)));
    } else {
      ADD_FAILURE() << "unknown keyword " << step.keyword;
    }
  }

  std::vector<std::string> environment_;
  OrbaRun run_;
};

TEST_P(TranscriptTest, Holds) {
  for (const Step& step : GetParam().steps) {
    SCOPED_TRACE(step.where);
    Do(step);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, TranscriptTest, ::testing::ValuesIn(LoadCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace orba::cli::testing
