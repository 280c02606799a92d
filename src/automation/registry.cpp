#include "automation/registry.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "automation/errors.h"
#include "automation/module_abi.h"

namespace automation {
namespace {

void* LoadModule(const std::filesystem::path& module) {
  static std::mutex mutex;
  static std::map<std::string, void*> loaded;
  std::lock_guard lock(mutex);
  const std::string key = module.string();
  if (auto found = loaded.find(key); found != loaded.end()) return found->second;
  void* handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw Error("cannot load module " + key + ": " + dlerror());
  loaded.emplace(key, handle);
  return handle;
}

template <class Function>
Function Resolve(const std::filesystem::path& module, const char* symbol) {
  void* address = dlsym(LoadModule(module), symbol);
  if (!address) {
    throw Error("module " + module.string() + " does not export " + symbol +
                ": it is not a component module");
  }
  return reinterpret_cast<Function>(address);
}

std::map<std::string, std::string> ReadEntries(const std::filesystem::path& file) {
  std::map<std::string, std::string> entries;
  std::ifstream in(file);
  if (!in) return entries;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[') continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
      throw Error("component registry " + file.string() + ", line " + std::to_string(number) +
                  ": expected ProgID=module path");
    }
    entries[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return entries;
}

void WriteEntries(const std::filesystem::path& file,
                  const std::map<std::string, std::string>& entries) {
  std::filesystem::create_directories(file.parent_path());
  const std::filesystem::path temp = file.string() + ".tmp";
  {
    std::ofstream out(temp, std::ios::trunc);
    out << "[Components]\n";
    for (const auto& [prog_id, module] : entries) out << prog_id << '=' << module << '\n';
    if (!out.flush()) throw Error("cannot write component registry " + temp.string());
  }
  std::filesystem::rename(temp, file);
}

}  // namespace

std::filesystem::path Registry::DefaultPath() {
  if (const char* file = std::getenv("ORBA_REGISTRY"); file && *file) return file;
  // A registry beside the running program (a build tree, an installed
  // layout) is that program's own, as an application-local registration is.
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path local = program.parent_path() / "components.ini";
    if (std::filesystem::exists(local, error)) return local;
  }
  std::filesystem::path base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    base = config;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    base = ".";
  }
  return base / "orba" / "components.ini";
}

Registry::Registry(std::filesystem::path file) : file_(std::move(file)) {}

std::vector<std::string> Registry::RegisterModule(const std::filesystem::path& module) {
  const std::filesystem::path absolute = std::filesystem::absolute(module);
  const std::vector<std::string> prog_ids = ModuleProgIDs(absolute);
  // Serialise concurrent registrations (two builds at once) with a lock file.
  std::filesystem::create_directories(file_.parent_path());
  const std::string lock_path = file_.string() + ".lock";
  const int lock = ::open(lock_path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
  if (lock < 0) throw Error("cannot lock component registry " + lock_path);
  ::flock(lock, LOCK_EX);
  try {
    auto entries = ReadEntries(file_);
    for (const auto& prog_id : prog_ids) entries[prog_id] = absolute.string();
    WriteEntries(file_, entries);
  } catch (...) {
    ::close(lock);
    throw;
  }
  ::close(lock);
  return prog_ids;
}

std::filesystem::path Registry::ModuleFor(const std::string& prog_id) const {
  const auto entries = ReadEntries(file_);
  auto found = entries.find(prog_id);
  return found == entries.end() ? std::filesystem::path() : std::filesystem::path(found->second);
}

std::map<std::string, std::string> Registry::Entries() const { return ReadEntries(file_); }

ObjectPtr Registry::CreateObject(const std::string& prog_id) const {
  const std::filesystem::path module = ModuleFor(prog_id);
  if (module.empty()) {
    throw Error("no component is registered as " + prog_id + " (in " + file_.string() +
                "); register its module with: orba register MODULE");
  }
  return CreateObjectFromModule(module, prog_id);
}

ObjectPtr CreateObjectFromModule(const std::filesystem::path& module, const std::string& prog_id) {
  auto create = Resolve<CreateObjectFunction>(module, ORBA_CREATE_OBJECT_SYMBOL);
  ObjectPtr object;
  if (!create(prog_id.c_str(), &object) || !object) {
    throw Error("module " + module.string() + " does not create " + prog_id);
  }
  return object;
}

std::vector<std::string> ModuleProgIDs(const std::filesystem::path& module) {
  auto list = Resolve<ModuleProgIDsFunction>(module, ORBA_MODULE_PROGIDS_SYMBOL);
  std::vector<std::string> prog_ids;
  for (const char* const* entry = list(); entry && *entry; ++entry) prog_ids.emplace_back(*entry);
  return prog_ids;
}

}  // namespace automation
