#include "orba/cli/orba_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace orba::cli::testing {
namespace {

bool Sets(const std::vector<std::string>& environment, const std::string& variable) {
  const std::string name = variable.substr(0, variable.find('=') + 1);
  for (const std::string& entry : environment) {
    if (entry.starts_with(name)) return true;
  }
  return false;
}

// `extra`, then the sandbox's own variables that `extra` does not set, then
// this process's environment without the variables that would reach outside
// the sandbox.
std::vector<std::string> SandboxEnvironment(const std::filesystem::path& folder,
                                            std::vector<std::string> extra) {
  static const std::vector<std::string> kDropped = {
      "DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=", "ORBA_UI="};
  const std::vector<std::string> own = {"ORBA_REGISTRY=" + (folder / "components.ini").string(),
                                        "XDG_CONFIG_HOME=" + (folder / "config").string(),
                                        "HOME=" + folder.string()};
  std::vector<std::string> environment = extra;
  for (const std::string& variable : own) {
    if (!Sets(extra, variable)) environment.push_back(variable);
  }
  for (char** entry = environ; *entry; ++entry) {
    if (!Sets(kDropped, *entry) && !Sets(own, *entry)) environment.push_back(*entry);
  }
  return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::filesystem::path OrbaSandbox::BuildBin() {
  const char* bin = std::getenv("TESSARY_BUILD_BIN");
  if (!bin || !*bin) throw std::runtime_error("TESSARY_BUILD_BIN is not set");
  return bin;
}

OrbaSandbox::OrbaSandbox() {
  const OrbaRun registered = Run({"register", (BuildBin() / "libtessary.so").string()});
  if (registered.exit_code != 0) {
    throw std::runtime_error("cannot register the add-in module: " + registered.err);
  }
}

pid_t OrbaSandbox::Start(const std::vector<std::string>& args,
                         const std::vector<std::string>& extra_environment,
                         const std::string& stdout_path) const {
  std::vector<std::string> argv = {(BuildBin() / "orba").string()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<std::string> environment = SandboxEnvironment(folder_.path(), extra_environment);
  const std::string out = stdout_path.empty() ? Path("stdout.txt") : stdout_path;
  const std::string err = Path("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder_.path().c_str());
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  std::vector<char*> argv_pointers = Pointers(argv);
  std::vector<char*> environment_pointers = Pointers(environment);
  const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, argv_pointers.data(),
                                  environment_pointers.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0)
    throw std::runtime_error("cannot run " + argv[0] + ": " + std::strerror(spawned));
  return pid;
}

OrbaRun OrbaSandbox::Wait(pid_t pid, bool stdout_captured) const {
  int status = 0;
  waitpid(pid, &status, 0);
  return OrbaRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1,
                 stdout_captured ? Slurp(Path("stdout.txt")) : "", Slurp(Path("stderr.txt")),
                 WIFSIGNALED(status) ? WTERMSIG(status) : 0};
}

OrbaRun OrbaSandbox::Run(const std::vector<std::string>& args,
                         const std::vector<std::string>& extra_environment,
                         const std::string& stdout_path) const {
  return Wait(Start(args, extra_environment, stdout_path), stdout_path.empty());
}

void OrbaSandbox::WriteFile(const std::string& name, const std::string& text) const {
  std::ofstream(Path(name), std::ios::binary) << text;
}

std::string OrbaSandbox::ReadFile(const std::string& name) const { return Slurp(Path(name)); }

void OrbaSandbox::SetAddinOption(const std::string& key, const std::string& value) {
  options_.push_back(key + "=" + value);
  std::filesystem::create_directories(folder_.path() / "config" / "orba");
  std::string ini = "[Options]\n";
  for (const std::string& line : options_) ini += line + "\n";
  WriteFile("config/orba/SysML.ini", ini);
}

}  // namespace orba::cli::testing
