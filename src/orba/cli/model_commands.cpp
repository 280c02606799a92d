// orba new, import, export and register: model files, the JSON model format
// and the component registration.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "automation/registry.h"
#include "base/files.h"
#include "base/text.h"
#include "orba/cli/command.h"
#include "orba/cli/interrupt_cleanup.h"
#include "orba/cli/text_files.h"
#include "orba/interchange/xmi_reader.h"
#include "orba/interchange/xmi_writer.h"
#include "orba/store/json_model.h"
#include "orba/store/model_session.h"
#include "orba/store/postgres_schema.h"
#include "orba/store/schema.h"

namespace orba::cli {
namespace {

int NewModel(const GlobalOptions& globals, const std::string& path) {
  session::HostSession session(SessionOptionsFor(globals));
  session.CreateModel(path);
  std::cout << "created " << path << "\n";
  return kExitOk;
}

// Reads the whole model file for damage, which opening a model leaves out
// to start in milliseconds however large the model.
int CheckModel(const GlobalOptions& globals, const std::string& path) {
  session::HostSession session(SessionOptionsFor(globals));
  session.OpenModel(path, store::ModelRepository::Access::kReadOnly);
  store::CheckModelFileIntegrity(session.Repository()->Session().Db());
  std::cout << path << ": no damage found\n";
  return kExitOk;
}

// Loads a technology into the open model through the add-in that provides
// it, by choosing that add-in's Load menu item.
void LoadTechnology(session::HostSession& session, const std::string& technology) {
  const session::TechnologyProvider* provider = session::FindTechnologyProvider(technology);
  if (!provider) {
    throw CommandError("technology \"" + technology +
                       "\" is not provided by any add-in this host knows");
  }
  const automation::CallResult click = session.CallAddin(
      provider->addin_name, "Orba_MenuClick",
      {session.Repository(), kMenuLocation, provider->menu_name, provider->item_name});
  if (!click.ok || !session.Repository()->HasTechnology(technology)) {
    throw CommandError("add-in " + provider->addin_name + " did not load technology \"" +
                       technology + "\"; nothing was written");
  }
}

// Imports into `building` (a model file beside the target, or the
// repository itself) and loads the technologies the document lists into it.
void ImportInto(session::HostSession& session, const std::string& json_path,
                const std::string& json_text, const std::string& building,
                store::ImportedKeys keys = store::ImportedKeys::kDropped) {
  store::ImportResult imported;
  try {
    imported = store::ImportJsonModelFile(*session.Repository(), json_text, building, keys);
  } catch (const store::ImportError& error) {
    throw CommandError(json_path + ": " + error.what());
  }
  if (!imported.technologies.empty()) {
    session.LoadAddins();
    session.NotifyFileOpened();
  }
  for (const std::string& technology : imported.technologies) LoadTechnology(session, technology);
  session.Repository()->CloseModel();
}

struct ImportOptions {
  std::string stereotype_map;  // the file; "" when none
  std::string report = "text";
};

// The JSON model document a source document holds: the document itself, or
// the one read from XMI (told apart by content), whose report goes to `report`.
std::string ModelDocumentText(const std::string& path, const ImportOptions& options,
                              interchange::ImportReport* report) {
  std::string text = ReadTextFile(path);
  if (!interchange::LooksLikeXml(text)) return text;
  interchange::XmiOptions xmi;
  xmi.read_file = [](const std::string& referenced) -> std::optional<std::string> {
    try {
      return ReadTextFile(referenced);
    } catch (const CommandError&) {
      return std::nullopt;
    }
  };
  try {
    if (!options.stereotype_map.empty()) {
      xmi.stereotype_map = interchange::ReadStereotypeMap(ReadTextFile(options.stereotype_map),
                                                          options.stereotype_map);
    }
    interchange::XmiImport imported = interchange::ReadXmi(text, path, xmi);
    if (report) *report = std::move(imported.report);
    return imported.document.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  } catch (const interchange::XmiError& error) {
    throw CommandError(error.what());
  }
}

// Writes the model document into the repository at `uri`; a refused
// document or technology leaves no model there.
void ImportIntoRepository(const GlobalOptions& globals, const std::string& json_path,
                          const std::string& json_text, const std::string& uri,
                          store::ImportedKeys keys) {
  session::HostSession session(SessionOptionsFor(globals));
  try {
    ImportInto(session, json_path, json_text, uri, keys);
  } catch (...) {
    // Still open: the model was made, and a technology failed to load. A
    // refused document was taken away by the import; a repository that held
    // a model already is left as it was.
    const bool made_here = session.Repository()->IsOpen();
    session.Repository()->CloseModel();
    if (made_here) store::DropRepositoryModel(uri);
    throw;
  }
}

// Imports into a model file of its own beside the target, which takes the
// target's place once complete.
void ImportIntoFile(const GlobalOptions& globals, const std::string& json_path,
                    const std::string& json_text, const std::string& obx_path,
                    store::ImportedKeys keys) {
  // Links are followed; a device, FIFO or folder is refused before any work.
  const std::string target =
      base::ReplaceableFileTarget(base::OperatingSystem(), obx_path, "model file").string();
  RemoveLeftoversOfDeadImports(target);
  session::HostSession session(SessionOptionsFor(globals));
  const std::string building = BuildingPath(target);
  const std::string importing = store::ImportBuildingPath(building);
  const InterruptCleanup cleanup(
      {building, building + "-journal", importing, importing + "-journal"});
  std::error_code error;
  try {
    ImportInto(session, json_path, json_text, building, keys);
    base::MoveIntoPlace(base::OperatingSystem(), building, target, "model file");
  } catch (...) {
    session.Repository()->CloseModel();
    std::filesystem::remove(building, error);
    throw;
  }
}

void ImportIntoLocation(const GlobalOptions& globals, const std::string& json_path,
                        const std::string& json_text, const std::string& location,
                        store::ImportedKeys keys) {
  if (store::IsRepositoryUri(location)) {
    ImportIntoRepository(globals, json_path, json_text, location, keys);
  } else {
    ImportIntoFile(globals, json_path, json_text, location, keys);
  }
}

int ImportModel(const GlobalOptions& globals, const std::string& json_path,
                const std::string& obx_path, const ImportOptions& options) {
  RefuseSameFile(json_path, obx_path);
  interchange::ImportReport report;
  const std::string json_text = ModelDocumentText(json_path, options, &report);
  ImportIntoLocation(globals, json_path, json_text, obx_path, store::ImportedKeys::kDropped);
  if (report.source.empty()) {
    std::cout << "imported " << json_path << " into " << obx_path << "\n";
  } else if (options.report == "json") {
    std::cout << JsonText(interchange::ReportJson(report)) << "\n";
  } else {
    std::cout << interchange::ReportText(report) << "written to " << obx_path << "\n";
  }
  return kExitOk;
}

// The model as XMI, written from its JSON model document so that every field
// the host keeps reaches the writer. What the XMI import would not give back
// is listed on stderr.
std::string XmiText(const std::string& json_text) {
  try {
    interchange::XmiExport exported = interchange::WriteXmi(nlohmann::json::parse(json_text));
    for (const std::string& line : exported.not_carried)
      std::cerr << "not read back from XMI: " << line << "\n";
    return std::move(exported.text);
  } catch (const interchange::XmiError& error) {
    throw CommandError(std::string("cannot write XMI: ") + error.what());
  }
}

int ExportModel(const std::string& obx_path, const std::string& out_path,
                const std::string& format) {
  if (!out_path.empty()) RefuseSameFile(obx_path, out_path);
  store::ModelRepository repository;
  repository.Open(obx_path, store::ModelRepository::Access::kReadOnly);
  std::string text = store::ExportJsonModel(repository);
  if (format == "xmi") text = XmiText(text);
  if (out_path.empty()) {
    std::cout << text;
  } else {
    WriteTextFile(out_path, text);
  }
  return kExitOk;
}

// Copies a model between any two locations (a model file, a repository, or
// a source document to read from) through its JSON model document, keys
// and GUIDs included, so that both export the same document.
int CopyModel(const GlobalOptions& globals, const std::string& source, const std::string& target) {
  RefuseSameFile(source, target);
  std::string json_text;
  if (IsSourceDocument(source)) {
    json_text = ModelDocumentText(source, ImportOptions{}, nullptr);
  } else {
    store::ModelRepository repository;
    repository.Open(source, store::ModelRepository::Access::kReadOnly);
    json_text = store::ExportJsonModel(repository);
  }
  ImportIntoLocation(globals, source, json_text, target, store::ImportedKeys::kKept);
  std::cout << "copied " << source << " to " << target << "\n";
  return kExitOk;
}

int RegisterModule(const std::string& module) {
  automation::Registry registry(automation::Registry::DefaultPath());
  for (const std::string& prog_id : registry.RegisterModule(module)) {
    std::cout << "registered " << prog_id << " -> " << registry.ModuleFor(prog_id).string() << "\n";
  }
  return kExitOk;
}

struct ModelPaths {
  std::string input;
  std::string output;
  std::string format = "json";
  ImportOptions import;
};

bool HasExtension(const std::string& path, std::initializer_list<const char*> extensions) {
  const std::string extension =
      base::AsciiLowerCase(std::filesystem::path(path).extension().string());
  for (const char* candidate : extensions) {
    if (extension == candidate) return true;
  }
  return false;
}

}  // namespace

bool IsSourceDocument(const std::string& path) {
  return HasExtension(path, {".json", ".uml", ".xmi", ".xml"});
}

void OpenSourceDocument(session::HostSession& session, const std::string& path) {
  const std::string text = ModelDocumentText(path, ImportOptions{}, nullptr);
  const char* temporary = std::getenv("TMPDIR");
  std::string folder =
      std::string(temporary && *temporary ? temporary : "/tmp") + "/orba-source-XXXXXX";
  if (!mkdtemp(folder.data())) {
    throw CommandError("cannot create a temporary folder for " + path + ": " +
                       std::strerror(errno));
  }
  const std::string model = folder + "/model.obx";
  const std::string importing = store::ImportBuildingPath(model);
  const InterruptCleanup cleanup({model, model + "-journal", importing, importing + "-journal"});
  try {
    {
      session::HostSession builder(session.Options());
      ImportInto(builder, path, text, model);
    }
    session.OpenModel(model, store::ModelRepository::Access::kReadOnly);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    throw;
  }
  // The open model stays readable once its file is gone.
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

void AddModelCommands(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto paths = std::make_shared<ModelPaths>();

  CLI::App* create = app.add_subcommand("new", "Create a new, empty model file");
  create->add_option("MODEL", paths->input, "The model file to create (*.obx); it must not exist")
      ->required();
  create->callback([&action, &globals, paths] {
    action = [&globals, paths] { return NewModel(globals, paths->input); };
  });

  CLI::App* check = app.add_subcommand(
      "check",
      "Read every page of a model file for damage (opening a model only checks its length and "
      "tables), or check that a repository holds every table of its model; exit 0 when none is "
      "found, 2 naming what is damaged");
  check->add_option("MODEL", paths->input, "The model file (*.obx)")->required();
  check->callback([&action, &globals, paths] {
    action = [&globals, paths] { return CheckModel(globals, paths->input); };
  });

  CLI::App* importer = app.add_subcommand(
      "import",
      "Create a model file from a JSON model document or an XMI file of SysML 1.x (told apart "
      "by content). Technologies the document lists are loaded through the add-in that "
      "provides them; if anything fails, nothing is written. An XMI import prints its report "
      "(what came in, what was skipped, unresolved references) on stdout");
  importer->add_option("SOURCE", paths->input, "The JSON model document or XMI file")->required();
  importer->add_option("-o,--output", paths->output, "The model file to write (*.obx)")->required();
  importer->add_option("--stereotype-map", paths->import.stereotype_map,
                       "A file of \"STEREOTYPE = SYSML STEREOTYPE\" lines for custom profiles "
                       "whose stereotypes specialise SysML ones (STEREOTYPE: Name or "
                       "{namespace URI}Name)");
  importer->add_option("--report", paths->import.report, "The XMI import report: text or json")
      ->check(CLI::IsMember({"text", "json"}));
  importer->callback([&action, &globals, paths] {
    action = [&globals, paths] {
      return ImportModel(globals, paths->input, paths->output, paths->import);
    };
  });

  CLI::App* exporter = app.add_subcommand(
      "export",
      "Write a model file as a JSON model document, or as XMI 2.5.1 with the SysML 1.6 profile "
      "(what the XMI import would not read back is listed on stderr)");
  exporter->add_option("MODEL", paths->input, "The model file (*.obx)")->required();
  exporter->add_option("-o,--output", paths->output,
                       "The file to write; without it the document goes to stdout");
  exporter->add_option("--format", paths->format, "json (the default) or xmi")
      ->check(CLI::IsMember({"json", "xmi"}));
  exporter->callback([&action, paths] {
    action = [paths] { return ExportModel(paths->input, paths->output, paths->format); };
  });

  CLI::App* copy = app.add_subcommand(
      "copy",
      "Copy a model between two locations, each a model file (*.obx) or a repository "
      "(postgresql://...); the source may also be a JSON or XMI model. The target must not "
      "hold a model yet");
  copy->add_option("SOURCE", paths->input, "The model to copy")->required();
  copy->add_option("TARGET", paths->output, "Where to write the copy")->required();
  copy->callback([&action, &globals, paths] {
    action = [&globals, paths] { return CopyModel(globals, paths->input, paths->output); };
  });

  CLI::App* reg = app.add_subcommand(
      "register",
      "Register the components of an add-in module (a shared library) by their ProgIDs, in "
      "$ORBA_REGISTRY, else components.ini beside orba or in its installed tree's lib/orba when "
      "it exists, else "
      "$XDG_CONFIG_HOME/orba/components.ini (default ~/.config/orba/components.ini)");
  reg->add_option("MODULE", paths->input, "The add-in module, e.g. libtessary.so")->required();
  reg->callback([&action, paths] { action = [paths] { return RegisterModule(paths->input); }; });
}

}  // namespace orba::cli
