#include "orba/report/report_site.h"

#include <iostream>

#include "base/file_system.h"
#include "orba/canvas/svg_writer.h"
#include "orba/diagrams/model_drawing.h"
#include "orba/report/html.h"
#include "orba/report/pages.h"
#include "orba/report/site_folder.h"
#include "orba/session/addin_compartments.h"

namespace orba::report {

extern const char kSiteCss[];
extern const char kSiteJs[];

namespace {

constexpr char kAddin[] = "SysML";
constexpr char kAllocationSearch[] = "SysML Allocations";

// The <svg> element of a standalone SVG document, for a page: the XML
// declaration dropped, and the namespace declarations that HTML implies.
std::string InlineSvg(std::string svg) {
  svg.erase(0, svg.find("<svg"));
  for (const std::string declaration :
       {" xmlns=\"http://www.w3.org/2000/svg\"", " xmlns:xlink=\"http://www.w3.org/1999/xlink\""}) {
    const size_t at = svg.find(declaration);
    if (at != std::string::npos) svg.erase(at, declaration.size());
  }
  return svg;
}

ProgressFunction ProgressOf(const ReportSettings& settings, const char* activity) {
  ProgressFunction progress = settings.progress ? settings.progress(activity) : nullptr;
  return progress ? progress : [](size_t, size_t) {};
}

class SiteWriter {
 public:
  SiteWriter(session::HostSession& session, const ModelIndex& model, const ReportSettings& settings)
      : session_(session),
        content_(model),
        settings_(settings),
        diagnostics_(settings.diagnostics ? *settings.diagnostics : std::cerr) {}

  ReportSummary Write(SiteFolder& folder) {
    Gather();
    folder.Add("assets/site.css", kSiteCss);
    folder.Add("assets/site.js", kSiteJs);
    folder.Add("search-index.js", SearchIndexScript(content_));
    folder.Add("index.html", IndexPage(content_));
    folder.Add("validation.html", ValidationPage(content_));
    folder.Add("traceability.html", TraceabilityPage(content_));
    folder.Add("allocations.html", AllocationsPage(content_));
    for (size_t at = 0; at < content_.diagrams.size(); ++at)
      folder.Add(DiagramPagePath(at + 1), DiagramPage(content_, at));
    WriteElementPages(folder);
    return {content_.model.Elements().size(), content_.diagrams.size(), content_.generated_views,
            content_.validation.violations.size()};
  }

 private:
  void Gather() {
    content_.model_name = ModelName();
    content_.validation = validator::Validate(session_.Repository(), session_.Addin(kAddin),
                                              ProgressOf(settings_, "validating"));
    content_.allocations = SearchAllocations(session_, content_.model);
    content_.traceability = TraceRequirements(content_.model);
    DrawDiagrams();
    LinkContent(content_);
  }

  // The first root package's name; the model's location when it has none.
  std::string ModelName() const {
    const std::vector<int32_t>& roots = content_.model.PackagesIn(0);
    if (!roots.empty()) return content_.model.Package(roots.front())->name;
    return std::filesystem::path(content_.model.Session().Location()).stem().string();
  }

  void DrawDiagrams() {
    diagrams::ModelDrawing drawing(
        *session_.Repository(),
        [this](const diagrams::SceneObject& object) {
          return session::DrawnCompartments(session_, object.guid, diagnostics_);
        },
        diagnostics_);
    const std::vector<store::DiagramRow> stored = session_.Repository()->Session().AllDiagrams();
    content_.generated_views = stored.empty();
    std::vector<diagrams::Scene> scenes;
    for (const store::DiagramRow& diagram : stored) scenes.push_back(drawing.Read(diagram));
    if (stored.empty()) {
      for (diagrams::GeneratedView& view : drawing.Generate())
        scenes.push_back(std::move(view.scene));
    }
    const ProgressFunction progress = ProgressOf(settings_, "drawing diagrams");
    for (diagrams::Scene& scene : scenes) {
      progress(content_.diagrams.size(), scenes.size());
      content_.diagrams.push_back(DrawnDiagram(drawing, scene));
    }
    progress(scenes.size(), scenes.size());
  }

  SiteDiagram DrawnDiagram(diagrams::ModelDrawing& drawing, diagrams::Scene& scene) {
    const auto href = [this](const std::string& guid) {
      const IndexedElement* element = content_.model.ElementByGuid(guid);
      return element ? content_.ElementHref("../", element->row.id) : "";
    };
    SiteDiagram diagram{
        scene.name, scene.type.name, InlineSvg(canvas::WriteSvg(drawing.Draw(scene, href))), {}};
    for (const diagrams::SceneObject& object : scene.objects)
      diagram.element_ids.push_back(object.element_id);
    return diagram;
  }

  // Each element's page, with the compartments the add-in offers for it.
  void WriteElementPages(SiteFolder& folder) {
    const std::vector<IndexedElement>& elements = content_.model.Elements();
    const ProgressFunction progress = ProgressOf(settings_, "writing element pages");
    for (size_t at = 0; at < elements.size(); ++at) {
      progress(at, elements.size());
      const IndexedElement& element = elements[at];
      folder.Add(content_.element_pages.at(element.row.id),
                 ElementPage(content_, element,
                             session::DrawnCompartments(session_, element.row.guid, diagnostics_)));
    }
    progress(elements.size(), elements.size());
  }

  session::HostSession& session_;
  SiteContent content_;
  const ReportSettings& settings_;
  std::ostream& diagnostics_;
};

}  // namespace

ReportSummary WriteReportSite(session::HostSession& session, const std::filesystem::path& output,
                              const ReportSettings& settings) {
  SiteFolder folder(base::OperatingSystem(), output, {kElementsFolder, kDiagramsFolder, "assets"});
  const ModelIndex model(session.Repository()->Session());
  const ReportSummary summary = SiteWriter(session, model, settings).Write(folder);
  folder.Place();
  return summary;
}

std::vector<Allocation> SearchAllocations(session::HostSession& session, const ModelIndex& model) {
  return ReadAllocations(session.Search(kAllocationSearch, "").table, model);
}

}  // namespace orba::report
