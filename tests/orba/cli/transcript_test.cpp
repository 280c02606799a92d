// Runs the command-line cases of cases/*.txt, each in a sandbox of its own,
// on the built `orba`. The format of a case file:
//
//   == NAME                  starts the case NAME (a test name)
//   model NAME               imports cases/NAME.json into NAME.obx
//   option KEY VALUE         sets one of the add-in's options
//   sql MODEL STATEMENTS     runs SQL straight on a model file, as a script might
//   write FILE TEXT          writes a file
//   folder|fifo NAME         makes a folder or a FIFO
//   link NAME TARGET         makes a symbolic link
//   env NAME=VALUE           sets a variable for the runs that follow
//   fsize BYTES              limits the size of the files the runs that follow write
//   orba ARGS [> FILE] [=> N]           runs orba (stdout to FILE), which exits 0 (or N)
//   out|err has|lacks|is|starts TEXT    what the run wrote on stdout or stderr
//   out|err clean|json|xml   it is text without a raw control byte but TAB, LF
//                            and CR; valid JSON; well-formed XML 1.0
//   out violations FILE      the violations of `orba validate --format json` are
//                            those FILE lists (examples/expected_violations.json)
//   file FILE has|lacks|is TEXT         what a file holds
//   keep FILE                remembers a file's bytes and time of change ...
//   kept FILE                ... which are still the same
//   gone PREFIX              no file's name starts with PREFIX
//   refused ARGS => PROBLEM  runs orba: exit 2, nothing on stdout, PROBLEM on stderr
//
// No run may end by a signal or write a raw control byte on stderr. ARGS are
// split at spaces outside "double quotes". In ARGS and TEXT, \n, \t, \r, \\,
// \" and \xNN are escapes, {bin} is the folder of the built programs, {source}
// the source tree and {cases} the folder of the case files.
//
// Each case runs in a sandbox, orba's working folder, where its files are: a
// temporary folder holding the component registry (with the built add-in
// module registered) and the settings, so the user's own configuration is
// never read or written. Below the driver, what cases cannot say: runs that
// overlap or are interrupted.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <regex>
#include <thread>

#include "orba/store/model_file_faults.h"
#include "support/temp_folder.h"

extern char** environ;

namespace orba::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

const std::filesystem::path kCases = TESSARY_SOURCE_ROOT "/tests/orba/cli/cases";

std::filesystem::path BuildBin() {
  const char* bin = std::getenv("TESSARY_BUILD_BIN");
  if (!bin || !*bin) throw std::runtime_error("TESSARY_BUILD_BIN is not set");
  return bin;
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct OrbaRun {
  int exit_code = -1;  // -1 when a signal ended the process
  std::string out;     // stdout
  std::string err;     // stderr
  int signal = 0;      // the signal that ended the process, if one did
};

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

// `text` with its escapes decoded and its placeholders replaced.
std::string Decoded(const std::string& text) {
  const std::pair<std::string, std::string> placeholders[] = {{"{bin}", BuildBin().string()},
                                                              {"{source}", TESSARY_SOURCE_ROOT},
                                                              {"{cases}", kCases.string()}};
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
    } else if (const char escape = text[++at]; escape == 'x') {
      decoded += static_cast<char>(std::stoul(text.substr(at + 1, 2), nullptr, 16));
      at += 2;
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

struct Command {
  std::vector<std::string> args;
  std::string stdout_path;  // "": captured
  std::string result;       // what follows "=>", "" when not given
};

// Splits "ARGS [> FILE] [=> RESULT]".
Command CommandOf(const std::string& text) {
  std::string line = " " + text;
  Command command;
  if (const size_t arrow = line.find(" => "); arrow != std::string::npos) {
    command.result = line.substr(arrow + 4);
    line.resize(arrow);
  }
  if (const size_t redirect = line.find(" > "); redirect != std::string::npos) {
    command.stdout_path = Decoded(line.substr(redirect + 3));
    line.resize(redirect);
  }
  command.args = Arguments(line);
  return command;
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

// What `validate --format json` reported, or what examples/expected_violations.json
// lists: rule, error type, message and item, sorted.
std::vector<std::string> Violations(const nlohmann::json& document) {
  std::vector<std::string> violations;
  for (const nlohmann::json& each : document["violations"]) {
    const nlohmann::json& item = each["item"];
    violations.push_back(each["rule"].get<std::string>() + "|" + each["errorType"].dump() + "|" +
                         each["message"].get<std::string>() + "|" + item["kind"].dump() +
                         item["guid"].dump() + item["name"].dump());
  }
  std::sort(violations.begin(), violations.end());
  return violations;
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
  } else if (verb == "violations") {
    EXPECT_EQ(Violations(nlohmann::json::parse(actual)),
              Violations(nlohmann::json::parse(std::ifstream(expected))));
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

class OrbaTest : public ::testing::Test {
 protected:
  OrbaTest() {
    const OrbaRun registered = Run({"register", (BuildBin() / "libtessary.so").string()});
    if (registered.exit_code != 0)
      ADD_FAILURE() << "cannot register the add-in: " << registered.err;
  }

  // Starts orba with `args` in the sandbox; stdin is empty, no display is
  // available unless `environment` ("NAME=value") names one, and stdout goes
  // to `stdout_path` ("": captured).
  pid_t Start(const std::vector<std::string>& args, std::vector<std::string> environment = {},
              const std::string& stdout_path = "") const {
    std::vector<std::string> argv = {(BuildBin() / "orba").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    // Of two entries of one name, the first counts.
    environment.insert(environment.end(),
                       {"ORBA_REGISTRY=" + Path("components.ini"),
                        "XDG_CONFIG_HOME=" + Path("config"), "HOME=" + Path("")});
    for (char** entry = environ; *entry; ++entry) {
      const std::string variable = *entry;
      if (std::none_of(std::begin(kDropped), std::end(kDropped),
                       [&](const char* name) { return variable.starts_with(name); })) {
        environment.push_back(variable);
      }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder_.path().c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &actions, 1, (stdout_path.empty() ? Path("stdout.txt") : stdout_path).c_str(),
        O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, Path("stderr.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(),
                                    Pointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot run orba: " + std::to_string(spawned));
    return pid;
  }

  OrbaRun Wait(pid_t pid, bool stdout_captured = true) const {
    int status = 0;
    waitpid(pid, &status, 0);
    return OrbaRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                   stdout_captured ? Slurp(Path("stdout.txt")) : "", Slurp(Path("stderr.txt")),
                   WIFSIGNALED(status) ? WTERMSIG(status) : 0};
  }

  OrbaRun Run(const std::vector<std::string>& args) const { return Wait(Start(args)); }

  std::string Path(const std::string& name) const { return (folder_.path() / name).string(); }

  // The names of the sandbox's files that start with `prefix`.
  std::vector<std::string> FilesStartingWith(const std::string& prefix) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(prefix)) names.push_back(name);
    }
    return names;
  }

  static std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
  }

  // What would reach outside the sandbox.
  static constexpr const char* kDropped[] = {
      "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "ORBA_UI="};
  testing_support::TempFolder folder_;
};

class TranscriptTest : public OrbaTest, public ::testing::WithParamInterface<Case> {
 protected:
  void Run(const Command& command) {
    rlimit original{};
    ::getrlimit(RLIMIT_FSIZE, &original);
    rlimit limited = original;
    limited.rlim_cur = file_size_limit_;  // inherited by the process started next
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const pid_t pid = Start(command.args, environment_, command.stdout_path);
    ::setrlimit(RLIMIT_FSIZE, &original);
    run_ = Wait(pid, command.stdout_path.empty());
    EXPECT_EQ(run_.signal, 0);
    EXPECT_FALSE(HoldsRawControl(run_.err)) << run_.err;
  }

  void Do(const Step& step) {
    const std::string& rest = step.rest;
    const auto [first, second] = FirstWord(rest);
    if (step.keyword == "model") {
      Run({{"import", (kCases / (rest + ".json")).string(), "-o", rest + ".obx"}, "", ""});
      EXPECT_EQ(run_.exit_code, 0) << run_.err;
    } else if (step.keyword == "option") {
      options_ += first + "=" + second + "\n";
      std::filesystem::create_directories(Path("config/orba"));
      std::ofstream(Path("config/orba/SysML.ini")) << options_;
    } else if (step.keyword == "sql") {
      store::testing::ExecuteOn(Path(first), second);
    } else if (step.keyword == "write") {
      std::ofstream(Path(first), std::ios::binary) << Decoded(second);
    } else if (step.keyword == "folder") {
      std::filesystem::create_directories(Path(rest));
    } else if (step.keyword == "fifo") {
      EXPECT_EQ(::mkfifo(Path(rest).c_str(), 0600), 0);
    } else if (step.keyword == "link") {
      std::filesystem::create_symlink(Decoded(second), Path(first));
    } else if (step.keyword == "env") {
      environment_.insert(environment_.begin(), rest);  // before an earlier value of the name
    } else if (step.keyword == "fsize") {
      file_size_limit_ = std::stoul(rest);
    } else if (step.keyword == "orba") {
      const Command command = CommandOf(rest);
      Run(command);
      EXPECT_EQ(run_.exit_code, command.result.empty() ? 0 : std::stoi(command.result)) << run_.err;
    } else if (step.keyword == "out" || step.keyword == "err") {
      ExpectText(step.keyword == "out" ? run_.out : run_.err, rest);
    } else if (step.keyword == "file") {
      ExpectText(Slurp(Path(first)), second);
    } else if (step.keyword == "keep") {
      kept_[rest] = {Slurp(Path(rest)), std::filesystem::last_write_time(Path(rest))};
    } else if (step.keyword == "kept") {
      EXPECT_EQ(kept_[rest].first, Slurp(Path(rest)));
      EXPECT_EQ(kept_[rest].second, std::filesystem::last_write_time(Path(rest)));
    } else if (step.keyword == "gone") {
      EXPECT_THAT(FilesStartingWith(rest), IsEmpty());
    } else if (step.keyword == "refused") {
      const Command command = CommandOf(rest);
      Run(command);
      EXPECT_EQ(run_.exit_code, 2) << run_.err;
      EXPECT_EQ(run_.out, "");
      EXPECT_THAT(run_.err, HasSubstr(Decoded(command.result)));
    } else {
      ADD_FAILURE() << "unknown keyword " << step.keyword;
    }
  }

  std::string options_ = "[Options]\n";  // the add-in's options: SysML.ini in the settings
  std::vector<std::string> environment_;
  rlim_t file_size_limit_ = RLIM_INFINITY;
  std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> kept_;
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

TEST_F(OrbaTest, AnInterruptedImportLeavesNoFileBehind) {
  nlohmann::json model = {{"packages", {{{"key", "root"}, {"name", "Model"}}}}};
  for (int index = 0; index < 200000; ++index) {
    model["elements"].push_back({{"key", "e" + std::to_string(index)},
                                 {"package", "root"},
                                 {"type", "Class"},
                                 {"name", "Block" + std::to_string(index)}});
  }
  std::ofstream(Path("large.json")) << model.dump();
  const pid_t import = Start({"import", "large.json", "-o", "large.obx"});
  // Interrupted once the model file is being built.
  for (int wait = 0; wait < 1000 && FilesStartingWith("large.obx").empty(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(import, SIGINT);
  const OrbaRun run = Wait(import);
  EXPECT_EQ(run.signal, SIGINT) << "the import ended before it was interrupted: " << run.err;
  EXPECT_THAT(FilesStartingWith("large.obx"), IsEmpty());
}

// Each click creates a diagram; one that finds the model in use waits for it.
TEST_F(OrbaTest, ConcurrentClicksWaitForEachOtherAndAreAllSaved) {
  constexpr int kClicksAtOnce = 8;
  constexpr int kRounds = 15;
  ASSERT_EQ(Run({"import", (kCases / "car.json").string(), "-o", "car.obx"}).exit_code, 0);
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> clicks;
    for (int click = 0; click < kClicksAtOnce; ++click) {
      clicks.push_back(
          Start({"click", "car.obx", "New &Block Definition Diagram", "--select", "Structure"}, {},
                Path("click" + std::to_string(click) + ".txt")));
    }
    for (const pid_t click : clicks) {
      const OrbaRun run = Wait(click, false);
      EXPECT_EQ(run.exit_code, 0) << "round " << round << ": " << run.err;
    }
  }
  const OrbaRun exported = Run({"export", "car.obx"});
  EXPECT_EQ(nlohmann::json::parse(exported.out)["diagrams"].size(),
            size_t{kClicksAtOnce * kRounds});
}

}  // namespace
}  // namespace orba::cli::testing
