#include "automation/registry.h"

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>

#include "automation/errors.h"
#include "automation/module_abi.h"
#include "base/files.h"
#include "base/ini_file.h"
#include "base/text.h"

namespace automation {
namespace {

void* LoadModule(const std::filesystem::path& module) {
  static std::mutex mutex;
  static std::map<std::string, void*> loaded;
  std::lock_guard lock(mutex);
  const std::string key = module.string();
  if (auto found = loaded.find(key); found != loaded.end()) return found->second;
  // dlopen would wait forever on a FIFO and read a device without end.
  if (const base::FileKind kind = base::KindOf(base::OperatingSystem(), module);
      kind != base::FileKind::kRegular) {
    throw Error("cannot load module " + key + ": " + std::string(base::DescribeKind(kind)));
  }
  void* handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw Error("cannot load module " + key + ": " + dlerror());
  loaded.emplace(key, handle);
  return handle;
}

template <class Function>
Function ResolveIfExported(const std::filesystem::path& module, const char* symbol) {
  return reinterpret_cast<Function>(dlsym(LoadModule(module), symbol));
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

constexpr char kSection[] = "Components";
constexpr char kWhat[] = "component registry";

base::IniFile ReadRegistryFile(base::FileSystem& fs, const std::filesystem::path& file) {
  return base::ReportedAs<Error>([&] {
    const auto text = base::ReadRegularFileIfPresent(fs, file, kWhat, base::kSettingsSizeLimit);
    return base::IniFile::Parse(text.value_or(""), std::string(kWhat) + " " + file.string());
  });
}

// ProgID -> module of the [Components] section of `registry`, read from
// `file`. ProgIDs compare ignoring case, so one registered twice is an error
// rather than a silent choice; a relative module path is relative to the
// registry's folder, never to the folder a command happens to run in.
std::map<std::string, std::string> EntriesOf(const base::IniFile& registry,
                                             const std::filesystem::path& file) {
  std::map<std::string, std::string> entries;
  std::map<std::string, int> first_lines;
  for (const base::IniFile::Entry& entry : registry.EntriesOf(kSection)) {
    const std::string where =
        std::string(kWhat) + " " + file.string() + ", line " + std::to_string(entry.line) + ": ";
    if (entry.value.empty() || base::HasControlCharacter(entry.value)) {
      throw Error(where + "expected ProgID=module path");
    }
    const auto [first, added] = first_lines.emplace(base::AsciiLowerCase(entry.key), entry.line);
    if (!added) {
      throw Error(where + entry.key + " is registered twice (also on line " +
                  std::to_string(first->second) + ")");
    }
    const std::filesystem::path module(entry.value);
    entries[entry.key] =
        module.is_absolute()
            ? entry.value
            : (std::filesystem::absolute(file).parent_path() / module).lexically_normal().string();
  }
  return entries;
}

std::map<std::string, std::string> ReadEntries(base::FileSystem& fs,
                                               const std::filesystem::path& file) {
  return EntriesOf(ReadRegistryFile(fs, file), file);
}

// The module's absolute path as it will be recorded; a path that cannot be
// one line of the registry is refused.
std::filesystem::path RegisteredPath(const std::filesystem::path& module) {
  if (module.empty()) throw Error("no module given: name the add-in module file to register");
  if (base::HasControlCharacter(module.string())) {
    throw Error("cannot register module " + base::EscapeControlCharacters(module.string()) +
                ": its path holds a control character");
  }
  return std::filesystem::absolute(module).lexically_normal();
}

void RequireRecordableProgID(const std::string& prog_id, const std::filesystem::path& module) {
  if (prog_id.empty() || base::HasControlCharacter(prog_id) ||
      prog_id.find_first_of("=[;#") != std::string::npos) {
    throw Error("module " + module.string() + " names a ProgID that cannot be registered: \"" +
                base::EscapeControlCharacters(prog_id) + "\"");
  }
}

}  // namespace

std::filesystem::path Registry::DefaultPath() {
  if (const char* file = std::getenv("ORBA_REGISTRY"); file && *file) return file;
  // A registry beside the running program (a build tree) or in the tree it
  // is installed in is that program's own, as an application-local
  // registration is.
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    for (const char* local : {"components.ini", ORBA_INSTALLED_REGISTRY}) {
      const std::filesystem::path file = program.parent_path() / local;
      if (std::filesystem::exists(file, error)) return file.lexically_normal();
    }
  }
  return base::ConfigFolder() / "components.ini";
}

Registry::Registry(std::filesystem::path file, base::FileSystem& fs)
    : file_(std::move(file)), fs_(fs) {}

std::vector<std::string> Registry::RegisterModule(const std::filesystem::path& module) {
  const std::filesystem::path absolute = RegisteredPath(module);
  const std::vector<std::string> prog_ids = ModuleProgIDs(absolute);
  for (const std::string& prog_id : prog_ids) RequireRecordableProgID(prog_id, absolute);
  // Serialise concurrent registrations (two builds at once) with a lock file;
  // every line of the registry not rewritten here is kept as it stands.
  base::ReportedAs<Error>([&] {
    base::MakeFolders(fs_, file_.parent_path(), "component registry folder");
    const base::FileLock lock(fs_, file_.string() + ".lock", kWhat);
    base::IniFile registry = ReadRegistryFile(fs_, file_);
    EntriesOf(registry, file_);  // refuses a registry that is already ambiguous
    for (const std::string& prog_id : prog_ids) registry.Set(kSection, prog_id, absolute.string());
    base::WriteFileAtomically(fs_, file_, registry.Text(), kWhat);
  });
  return prog_ids;
}

std::filesystem::path Registry::ModuleFor(const std::string& prog_id) const {
  for (const auto& [registered, module] : ReadEntries(fs_, file_)) {
    if (base::AsciiLowerCase(registered) == base::AsciiLowerCase(prog_id)) return module;
  }
  return {};
}

ObjectPtr Registry::CreateObject(const std::string& prog_id, const CreationOptions& options) const {
  const std::filesystem::path module = ModuleFor(prog_id);
  if (module.empty()) {
    throw Error("no component is registered as " + prog_id + " (in " + file_.string() +
                "); register its module with: orba register MODULE");
  }
  return CreateObjectFromModule(module, prog_id, options);
}

ObjectPtr CreateObjectFromModule(const std::filesystem::path& module, const std::string& prog_id,
                                 const CreationOptions& options) {
  ObjectPtr object;
  std::string failure_reason;
  CreationOptions asked = options;
  asked.failure_reason = &failure_reason;
  // A module without the options factory is created as it chooses.
  const auto create_with_options = ResolveIfExported<CreateObjectWithOptionsFunction>(
      module, ORBA_CREATE_OBJECT_WITH_OPTIONS_SYMBOL);
  const bool created = create_with_options
                           ? create_with_options(prog_id.c_str(), &asked, &object)
                           : Resolve<CreateObjectFunction>(module, ORBA_CREATE_OBJECT_SYMBOL)(
                                 prog_id.c_str(), &object);
  if (!created || !object) {
    throw Error("module " + module.string() +
                (failure_reason.empty() ? " does not create " + prog_id
                                        : " cannot create " + prog_id + ": " + failure_reason));
  }
  return object;
}

std::vector<std::string> ModuleProgIDs(const std::filesystem::path& module) {
  auto list = Resolve<ModuleProgIDsFunction>(module, ORBA_MODULE_PROGIDS_SYMBOL);
  std::vector<std::string> prog_ids;
  for (const char* const* entry = list(); entry && *entry; ++entry) prog_ids.emplace_back(*entry);
  return prog_ids;
}

std::string ModuleVersion(const std::filesystem::path& module) {
  const auto version = ResolveIfExported<ModuleVersionFunction>(module, ORBA_MODULE_VERSION_SYMBOL);
  const char* text = version ? version() : nullptr;
  return text ? text : "";
}

}  // namespace automation
