// Runs the command-line cases of cases/*.txt, each in a sandbox of its own,
// on the built `orba`. The format of a case file:
//
//   == NAME                  starts the case NAME (a test name)
//   model NAME               imports cases/NAME.json into NAME.obx
//   generate N FILE          writes bench/make_large_model.py's model of N elements
//   sql MODEL STATEMENTS     runs SQL straight on a model file, as a script might
//   write|link FILE TEXT     writes a file or a symbolic link to TEXT, making its
//                            folder (the add-in's options are config/orba/SysML.ini)
//   fifo NAME                makes a FIFO
//   env NAME=VALUE           sets a variable for the runs that follow
//   fsize BYTES              limits the size of the files the runs that follow write
//   typed LINES              the runs that follow read LINES, then the end of input,
//                            from a terminal that is their stderr too
//   orba ARGS [> FILE] [=> N]           runs orba (stdout to FILE), which exits 0 (or N)
//   out|err has|lacks|is|starts TEXT    what the run wrote on stdout or stderr
//   out|err json|xml         it is valid JSON; well-formed XML 1.0
//   out violations FILE      the violations of `orba validate --format json` are
//                            those FILE lists (examples/expected_violations.json)
//   out golden FILE          stdout is byte for byte cases/golden/FILE (rewritten
//                            when UPDATE_GOLDEN is set)
//   file FILE has|lacks|is TEXT         what a file holds
//   file FILE same OTHER     the two files hold the same bytes
//   kept FILE                its bytes and time of change are as at its first "kept"
//   gone PREFIX              no file's name starts with PREFIX
//   refused ARGS => PROBLEM  runs orba: exit 2, nothing on stdout, PROBLEM on stderr
//
// No run may end by a signal or write a raw control byte (but TAB, LF and CR)
// on stderr, or on stdout but in JSON. ARGS are split at spaces outside "double
// quotes". In ARGS and TEXT, \n, \r, \\ and \" are escapes, {bin} is the folder of
// the built programs, {source} the source tree, {cases} that of the cases, and
// {repository} the URI of a schema of the test PostgreSQL cluster that is the
// case's own (a case may append to it for more: {repository}b).
//
// Each case runs in a sandbox, orba's working folder, which holds the component
// registry (the built add-in registered) and the settings: the user's own
// configuration is never touched. Below the driver, runs that overlap or are interrupted.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <pugixml.hpp>
#include <regex>
#include <set>
#include <thread>

#include "orba/store/model_file_faults.h"
#include "support/postgres_cluster.h"
#include "support/temp_folder.h"

extern char** environ;

namespace orba::cli::testing {
namespace {

const std::filesystem::path kCases = TESSARY_SOURCE_ROOT "/tests/orba/cli/cases";
const std::string kBin = TESSARY_BUILD_BIN_DIR;

struct OrbaRun {
  int exit_code = -1;  // -1 when a signal ended the process
  std::string out;     // stdout
  std::string err;     // stderr
  int signal = 0;      // the signal that ended the process, if one did
};

// A case: its name, where its "==" line is, and its steps (file:line, line).
struct Case {
  std::string name, where;
  std::vector<std::pair<std::string, std::string>> steps;
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
      if (line.starts_with("== ")) {
        cases.push_back({line.substr(3), where, {}});
      } else if (!line.empty() && !line.starts_with("#")) {
        if (cases.empty()) throw std::runtime_error(where + ": a step before the first case");
        cases.back().steps.emplace_back(where, line);
      }
    }
  }
  return cases;
}

// The repository URI of the case running now; a new one for each case.
std::string& CaseRepository() {
  static std::string uri;
  return uri;
}

// `text` with its placeholders replaced and its escapes decoded.
std::string Decoded(std::string text) {
  for (const auto& [name, value] : {std::pair<std::string, std::string>{"{bin}", kBin},
                                    {"{source}", TESSARY_SOURCE_ROOT},
                                    {"{cases}", kCases},
                                    {"{repository}", CaseRepository()}}) {
    for (size_t at; (at = text.find(name)) != std::string::npos;)
      text.replace(at, name.size(), value);
  }
  std::string decoded;
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\\' || at + 1 == text.size()) {
      decoded += text[at];
    } else {
      const char escape = text[++at];
      decoded += escape == 'n' ? '\n' : escape == 'r' ? '\r' : escape;
    }
  }
  return decoded;
}

// The words of `line`, split at spaces outside "double quotes".
std::vector<std::string> Arguments(const std::string& line) {
  static const std::regex kWord(R"re("((?:[^"\\]|\\.)*)"|(\S+))re");
  std::vector<std::string> arguments;
  for (std::sregex_iterator word(line.begin(), line.end(), kWord), end; word != end; ++word) {
    arguments.push_back(Decoded((*word)[(*word)[1].matched ? 1 : 2]));
  }
  return arguments;
}

// What `validate --format json` reported, or what examples/expected_violations.json
// lists: rule, error type, message and the item's kind, GUID and name.
std::multiset<nlohmann::json> Violations(const nlohmann::json& document) {
  std::multiset<nlohmann::json> violations;
  for (const nlohmann::json& each : document["violations"]) {
    violations.insert(
        nlohmann::json::array({each["rule"], each["errorType"], each["message"],
                               each["item"]["kind"], each["item"]["guid"], each["item"]["name"]}));
  }
  return violations;
}

void ExpectText(const std::string& actual, const std::string& check) {
  const auto [verb, text] = FirstWord(check);
  const std::string expected = Decoded(text);
  if (verb == "json") {
    EXPECT_TRUE(nlohmann::json::accept(actual)) << actual;
  } else if (verb == "xml") {
    EXPECT_TRUE(pugi::xml_document().load_string(actual.c_str())) << actual;
    static const std::regex kReference("&#(x?)([0-9A-Fa-f]+);");
    for (std::sregex_iterator reference(actual.begin(), actual.end(), kReference), end;
         reference != end; ++reference) {
      const unsigned long code =
          std::stoul((*reference)[2], nullptr, (*reference)[1].length() ? 16 : 10);
      EXPECT_FALSE((code < 0x20 && code != 0x9 && code != 0xA && code != 0xD) || code == 0xFFFE ||
                   code == 0xFFFF || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
          << "XML 1.0 forbids the character of " << reference->str();
    }
  } else if (verb == "golden") {
    const std::filesystem::path golden = kCases / "golden" / expected;
    if (std::getenv("UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << actual;
    EXPECT_TRUE(actual == testing_support::FileBytes(golden.string())) << "differs from " << golden;
  } else if (verb == "violations") {
    EXPECT_EQ(Violations(nlohmann::json::parse(actual)),
              Violations(nlohmann::json::parse(std::ifstream(expected))));
  } else if (verb == "has" || verb == "lacks") {
    EXPECT_EQ(actual.find(expected) != std::string::npos, verb == "has") << actual;
  } else if (verb == "is" || verb == "starts") {
    EXPECT_EQ(verb == "is" ? actual : actual.substr(0, expected.size()), expected);
  } else {
    ADD_FAILURE() << "unknown check " << verb;
  }
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

class OrbaTest : public ::testing::Test {
 protected:
  OrbaTest() {
    if (Wait(Start({"register", kBin + "/libtessary.so"})).exit_code != 0)
      ADD_FAILURE() << "cannot register the add-in: " << run_.err;
  }

  // Starts orba with `args` in the sandbox; stdin is empty (or the terminal
  // of "typed"), no display is available unless an "env" line names one, and
  // stdout goes to `stdout_path` ("": captured).
  pid_t Start(const std::vector<std::string>& args, const std::string& stdout_path = "") {
    std::vector<std::string> argv = {kBin + "/orba"};
    argv.insert(argv.end(), args.begin(), args.end());
    // Of two entries of one name, the first counts; what would reach outside
    // the sandbox is dropped.
    std::vector<std::string> environment = environment_;
    environment.insert(environment.end(),
                       {"ORBA_REGISTRY=" + Path("components.ini"),
                        "XDG_CONFIG_HOME=" + Path("config"), "HOME=" + Path("")});
    static const std::regex kDropped("(DISPLAY|WAYLAND_DISPLAY|QT_QPA_PLATFORM|ORBA_UI)=.*");
    for (char** entry = environ; *entry; ++entry) {
      if (!std::regex_match(*entry, kDropped)) environment.push_back(*entry);
    }
    int terminal = -1;
    if (typed_) {
      if (openpty(&terminal_, &terminal, nullptr, nullptr, nullptr) != 0)
        throw std::runtime_error("no terminal");
      const std::string input = *typed_ + "\x04";  // typed ahead, then the end of input
      EXPECT_EQ(write(terminal_, input.data(), input.size()), ssize_t(input.size()));
    }
    const std::string out = stdout_path.empty() ? Path("stdout.txt") : stdout_path;
    const std::string err = Path("stderr.txt");
    const std::vector<char*> argv_pointers = Pointers(argv),
                             environ_pointers = Pointers(environment);
    const pid_t pid = fork();
    if (pid == 0) {  // the child: only calls that are safe after a fork
      rlimit file_size{};
      ::getrlimit(RLIMIT_FSIZE, &file_size);
      file_size.rlim_cur = file_size_limit_;
      ::setrlimit(RLIMIT_FSIZE, &file_size);
      if (chdir(folder_.path().c_str()) != 0) _exit(126);
      dup2(terminal >= 0 ? terminal : open("/dev/null", O_RDONLY), 0);
      dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
      dup2(terminal >= 0 ? terminal : open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
      execve(argv_pointers[0], argv_pointers.data(), environ_pointers.data());
      _exit(127);
    }
    if (terminal >= 0) close(terminal);
    if (pid < 0) throw std::runtime_error("cannot start orba");
    return pid;
  }

  // Waits for the run, reading what it writes on the terminal until it ends.
  const OrbaRun& Wait(pid_t pid, bool stdout_captured = true) {
    std::string shown;
    char buffer[4096];
    for (ssize_t got; terminal_ >= 0 && (got = read(terminal_, buffer, sizeof buffer)) > 0;)
      shown.append(buffer, size_t(got));
    if (terminal_ >= 0) close(std::exchange(terminal_, -1));
    int status = 0;
    waitpid(pid, &status, 0);
    run_ = OrbaRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                   stdout_captured ? testing_support::FileBytes(Path("stdout.txt")) : "",
                   typed_ ? shown : testing_support::FileBytes(Path("stderr.txt")),
                   WIFSIGNALED(status) ? WTERMSIG(status) : 0};
    return run_;
  }

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

  // Runs orba with "ARGS [> FILE] [=> RESULT]" and answers RESULT.
  std::string Run(const std::string& text) {
    static const std::regex kCommand("(.*?)(?: > (.*?))?(?: => (.*))?");
    // JSON escapes C0 controls itself and may carry DEL and C1 controls raw.
    static const std::regex kRaw("[\\x00-\\x08\\x0B\\x0C\\x0E-\\x1F\\x7F]|\\xC2[\\x80-\\x9F]");
    const std::string line = " " + text;
    std::smatch parts;
    std::regex_match(line, parts, kCommand);
    Wait(Start(Arguments(parts[1]), Decoded(parts[2])), !parts[2].matched);
    EXPECT_EQ(run_.signal, 0);
    EXPECT_FALSE(std::regex_search(run_.out, kRaw) && !nlohmann::json::accept(run_.out))
        << run_.out;
    EXPECT_FALSE(std::regex_search(run_.err, kRaw)) << run_.err;
    return parts[3];
  }

  void ExpectFile(const std::string& name, const std::string& check) {
    const std::string bytes = testing_support::FileBytes(Path(name));
    const auto [verb, other] = FirstWord(check);
    if (verb != "same") return ExpectText(bytes, check);
    EXPECT_TRUE(bytes == testing_support::FileBytes(Path(Decoded(other))))
        << name << " differs from " << other;
  }

  void Do(const std::string& line) {
    const auto [keyword, rest] = FirstWord(line);
    const auto [first, second] = FirstWord(rest);
    if (keyword == "write" || keyword == "link") {
      std::filesystem::create_directories(std::filesystem::path(Path(first)).parent_path());
    }
    if (keyword == "model" || keyword == "orba") {
      const std::string exit =
          Run(keyword == "orba" ? rest : "import {cases}/" + rest + ".json -o " + rest + ".obx");
      EXPECT_EQ(run_.exit_code, exit.empty() ? 0 : std::stoi(exit)) << run_.err;
    } else if (keyword == "refused") {
      const std::string problem = Decoded(Run(rest));
      EXPECT_EQ(run_.exit_code, 2) << run_.err;
      EXPECT_EQ(run_.out, "");
      EXPECT_THAT(run_.err, ::testing::HasSubstr(problem));
    } else if (keyword == "generate") {
      const std::string command = "python3 " TESSARY_SOURCE_ROOT "/bench/make_large_model.py " +
                                  first + " > '" + Path(second) + "'";
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    } else if (keyword == "sql") {
      store::testing::ExecuteOn(Path(first), second);
    } else if (keyword == "write") {
      std::ofstream(Path(first), std::ios::binary) << Decoded(second);
    } else if (keyword == "link") {
      std::filesystem::create_symlink(Decoded(second), Path(first));
    } else if (keyword == "fifo") {
      EXPECT_EQ(::mkfifo(Path(rest).c_str(), 0600), 0);
    } else if (keyword == "env") {
      environment_.insert(environment_.begin(), rest);  // before an earlier value of the name
    } else if (keyword == "fsize") {
      file_size_limit_ = std::stoul(rest);
    } else if (keyword == "typed") {
      typed_ = Decoded(rest);
    } else if (keyword == "out" || keyword == "err") {
      ExpectText(keyword == "out" ? run_.out : run_.err, rest);
    } else if (keyword == "file") {
      ExpectFile(first, second);
    } else if (keyword == "kept") {
      const auto now = std::make_pair(testing_support::FileBytes(Path(rest)),
                                      std::filesystem::last_write_time(Path(rest)));
      EXPECT_TRUE(kept_.try_emplace(rest, now).first->second == now) << rest << " changed";
    } else if (keyword == "gone") {
      EXPECT_THAT(FilesStartingWith(rest), ::testing::IsEmpty());
    } else {
      ADD_FAILURE() << "unknown keyword " << keyword;
    }
  }

  testing_support::TempFolder folder_;
  std::vector<std::string> environment_;
  rlim_t file_size_limit_ = RLIM_INFINITY;
  std::optional<std::string> typed_;
  int terminal_ = -1;  // the terminal of the run started last, if "typed" gave one
  std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> kept_;
  OrbaRun run_;
};

class TranscriptTest : public OrbaTest, public ::testing::WithParamInterface<Case> {};

TEST_P(TranscriptTest, Holds) {
  CaseRepository() = testing_support::SharedPostgresCluster().NewModelUri();
  for (const auto& [where, line] : GetParam().steps) {
    SCOPED_TRACE(where);
    Do(line);
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
  EXPECT_EQ(Wait(import).signal, SIGINT)
      << "the import ended before it was interrupted: " << run_.err;
  EXPECT_THAT(FilesStartingWith("large.obx"), ::testing::IsEmpty());
}

// Each click creates a diagram; one that finds the model in use waits for it.
TEST_F(OrbaTest, ConcurrentClicksWaitForEachOtherAndAreAllSaved) {
  constexpr int kClicksAtOnce = 8;
  constexpr int kRounds = 15;
  Do("model car");
  for (int round = 0; round < kRounds; ++round) {
    std::vector<pid_t> clicks;
    for (int click = 0; click < kClicksAtOnce; ++click) {
      clicks.push_back(
          Start({"click", "car.obx", "New &Block Definition Diagram", "--select", "Structure"},
                Path("click" + std::to_string(click) + ".txt")));
    }
    for (const pid_t click : clicks) {
      EXPECT_EQ(Wait(click, false).exit_code, 0) << "round " << round << ": " << run_.err;
    }
  }
  Do("orba export car.obx");
  EXPECT_EQ(nlohmann::json::parse(run_.out)["diagrams"].size(), size_t{kClicksAtOnce * kRounds});
}

}  // namespace
}  // namespace orba::cli::testing
