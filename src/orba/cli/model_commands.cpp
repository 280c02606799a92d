// orba new, import, export and register: model files, the JSON model format
// and the component registration.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "automation/registry.h"
#include "base/files.h"
#include "orba/cli/command.h"
#include "orba/cli/interrupt_cleanup.h"
#include "orba/cli/text_files.h"
#include "orba/store/json_model.h"

namespace orba::cli {
namespace {

int NewModel(const GlobalOptions& globals, const std::string& path) {
  session::HostSession session(SessionOptionsFor(globals));
  session.CreateModel(path);
  std::cout << "created " << path << "\n";
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

// Imports into a file of its own beside the target, loads the technologies
// into it, and only then puts it in the target's place.
void ImportInto(session::HostSession& session, const std::string& json_path,
                const std::string& json_text, const std::string& building) {
  store::ImportResult imported;
  try {
    imported = store::ImportJsonModelFile(*session.Repository(), json_text, building);
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

int ImportModel(const GlobalOptions& globals, const std::string& json_path,
                const std::string& obx_path) {
  RefuseSameFile(json_path, obx_path);
  const std::string json_text = ReadTextFile(json_path);
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
    ImportInto(session, json_path, json_text, building);
    base::MoveIntoPlace(base::OperatingSystem(), building, target, "model file");
  } catch (...) {
    session.Repository()->CloseModel();
    std::filesystem::remove(building, error);
    throw;
  }
  std::cout << "imported " << json_path << " into " << obx_path << "\n";
  return kExitOk;
}

int ExportModel(const std::string& obx_path, const std::string& json_path) {
  if (!json_path.empty()) RefuseSameFile(obx_path, json_path);
  store::ModelRepository repository;
  repository.Open(obx_path, store::ModelRepository::Access::kReadOnly);
  const std::string json_text = store::ExportJsonModel(repository);
  if (json_path.empty()) {
    std::cout << json_text;
  } else {
    WriteTextFile(json_path, json_text);
  }
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
};

}  // namespace

void AddModelCommands(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto paths = std::make_shared<ModelPaths>();

  CLI::App* create = app.add_subcommand("new", "Create a new, empty model file");
  create->add_option("MODEL", paths->input, "The model file to create (*.obx); it must not exist")
      ->required();
  create->callback([&action, &globals, paths] {
    action = [&globals, paths] { return NewModel(globals, paths->input); };
  });

  CLI::App* importer = app.add_subcommand(
      "import",
      "Create a model file from a JSON model document. Technologies the document lists are "
      "loaded through the add-in that provides them; if anything fails, nothing is written");
  importer->add_option("JSON", paths->input, "The JSON model document")->required();
  importer->add_option("-o,--output", paths->output, "The model file to write (*.obx)")->required();
  importer->callback([&action, &globals, paths] {
    action = [&globals, paths] { return ImportModel(globals, paths->input, paths->output); };
  });

  CLI::App* exporter = app.add_subcommand("export", "Write a model file as a JSON model document");
  exporter->add_option("MODEL", paths->input, "The model file (*.obx)")->required();
  exporter->add_option("-o,--output", paths->output,
                       "The JSON file to write; without it the document goes to stdout");
  exporter->callback(
      [&action, paths] { action = [paths] { return ExportModel(paths->input, paths->output); }; });

  CLI::App* reg = app.add_subcommand(
      "register",
      "Register the components of an add-in module (a shared library) by their ProgIDs, in "
      "$ORBA_REGISTRY, else components.ini beside orba when it exists, else "
      "$XDG_CONFIG_HOME/orba/components.ini (default ~/.config/orba/components.ini)");
  reg->add_option("MODULE", paths->input, "The add-in module, e.g. libtessary.so")->required();
  reg->callback([&action, paths] { action = [paths] { return RegisterModule(paths->input); }; });
}

}  // namespace orba::cli
