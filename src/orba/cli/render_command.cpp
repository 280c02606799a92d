// orba render: draws diagrams of a model as the host shows them, to SVG,
// PNG or PDF (chosen by the output's extension).
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "orba/canvas/cairo_renderer.h"
#include "orba/canvas/svg_writer.h"
#include "orba/cli/command.h"
#include "orba/cli/text_files.h"
#include "orba/diagrams/model_drawing.h"
#include "orba/session/addin_compartments.h"

namespace orba::cli {
namespace {

struct RenderOptions {
  std::string model;
  std::string diagram;
  bool all = false;
  bool generate = false;
  std::string format = "svg";  // of the files written into a folder
  std::string output;
};

// The diagram named by its id, key or name; throws when none is, or when
// several share the name.
store::DiagramRow FindDiagram(store::ModelSession& session, const std::string& wanted) {
  std::vector<store::DiagramRow> named;
  for (const store::DiagramRow& row : session.AllDiagrams()) {
    if (std::to_string(row.id) == wanted ||
        session.ItemField(store::kDiagramItem, row.id, "key") == wanted)
      return row;
    if (row.name == wanted) named.push_back(row);
  }
  if (named.size() == 1) return named.front();
  if (named.empty())
    throw CommandError("no diagram has the id, key or name \"" + wanted + "\"; see orba export");
  throw CommandError(std::to_string(named.size()) + " diagrams are named \"" + wanted +
                     "\"; name one by its id or key");
}

// A file name from a diagram's name: letters, digits, "-", "_" and "."
// kept, the rest "_"; "diagram" for none; "-2", "-3", ... when taken.
std::string FileNameFor(const std::string& diagram_name, std::set<std::string>& taken) {
  std::string base;
  for (const char c : diagram_name)
    base +=
        std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ? c : '_';
  if (base.empty() || base.front() == '.') base = "diagram" + base;
  std::string name = base;
  for (int copy = 2; !taken.insert(base::AsciiLowerCase(name)).second; ++copy)
    name = base + "-" + std::to_string(copy);
  return name;
}

// Draws diagrams into files, by their extension.
class DiagramRenderer {
 public:
  DiagramRenderer(session::HostSession& session, std::ostream& diagnostics)
      : drawing_(
            *session.Repository(),
            [&session, &diagnostics](const diagrams::SceneObject& object) {
              return session::DrawnCompartments(session, object.guid, diagnostics);
            },
            diagnostics) {}

  void Render(const store::DiagramRow& diagram, const std::filesystem::path& file) {
    Render(drawing_.Read(diagram), file);
  }

  // Views made for the model (GenerateViews), one file each in `folder`;
  // answers how many.
  size_t RenderGenerated(const std::filesystem::path& folder, const std::string& format) {
    std::set<std::string> taken;
    std::vector<diagrams::GeneratedView> views = drawing_.Generate();
    for (diagrams::GeneratedView& view : views)
      Render(std::move(view.scene), folder / (FileNameFor(view.file_stem, taken) + "." + format));
    return views.size();
  }

 private:
  void Render(diagrams::Scene scene, const std::filesystem::path& file) {
    const canvas::DisplayList list = drawing_.Draw(scene);
    const std::string extension = base::AsciiLowerCase(file.extension().string());
    if (extension == ".png") {
      canvas::WritePng(list, file);
    } else if (extension == ".pdf") {
      canvas::WritePdf(list, file);
    } else {
      WriteTextFile(file.string(), canvas::WriteSvg(list));
    }
  }

  diagrams::ModelDrawing drawing_;
};

int RenderDiagrams(const GlobalOptions& globals, const RenderOptions& options) {
  if (int(options.all) + int(options.generate) + int(!options.diagram.empty()) != 1)
    throw CommandError("name one DIAGRAM, or give --all or --generate");
  session::HostSession session(SessionOptionsFor(globals));
  StartSession(session, options.model, store::ModelRepository::Access::kReadOnly);
  store::ModelSession& model = session.Repository()->Session();
  DiagramRenderer renderer(session, std::cerr);
  const std::filesystem::path output = options.output;
  if (options.generate) {
    std::filesystem::create_directories(output);
    const size_t drawn = renderer.RenderGenerated(output, options.format);
    if (!globals.quiet)
      std::cerr << "orba: drew " << drawn << " generated views into " << output.string() << "\n";
    return kExitOk;
  }
  if (!options.all && !std::filesystem::is_directory(output)) {
    renderer.Render(FindDiagram(model, options.diagram), output);
    return kExitOk;
  }
  std::filesystem::create_directories(output);
  std::vector<store::DiagramRow> chosen =
      options.all ? model.AllDiagrams() : std::vector{FindDiagram(model, options.diagram)};
  std::set<std::string> taken;
  for (const store::DiagramRow& diagram : chosen)
    renderer.Render(diagram, output / (FileNameFor(diagram.name, taken) + "." + options.format));
  if (!globals.quiet)
    std::cerr << "orba: drew " << chosen.size() << " diagrams into " << output.string() << "\n";
  return kExitOk;
}

}  // namespace

void AddRenderCommand(CLI::App& app, const GlobalOptions& globals, CommandAction& action) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* command = app.add_subcommand(
      "render",
      "Draw diagrams of a model as the host shows them: SVG, PNG or PDF by the output's extension, "
      "or one file per diagram into a folder");
  command->add_option("MODEL", options->model, "The model file (*.obx), or a JSON or XMI model")
      ->required();
  command->add_option("DIAGRAM", options->diagram, "The diagram's id, key or name");
  command->add_flag("--all", options->all, "Draw every diagram of the model into the -o folder");
  command->add_flag("--generate", options->generate,
                    "Draw views made for the model into the -o folder, without changing it: a "
                    "block definition and a requirements diagram per package, an internal block "
                    "diagram per block with parts");
  command->add_option("--format", options->format, "The format of the files written into a folder")
      ->check(CLI::IsMember({"svg", "png", "pdf"}))
      ->capture_default_str();
  command
      ->add_option("-o,--output", options->output, "The file (.svg, .png, .pdf) or folder to write")
      ->required();
  command->callback([&action, &globals, options] {
    action = [&globals, options] { return RenderDiagrams(globals, *options); };
  });
}

}  // namespace orba::cli
