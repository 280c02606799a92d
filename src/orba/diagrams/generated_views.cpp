#include "orba/diagrams/generated_views.h"

#include <set>

namespace orba::diagrams {
namespace {

bool IsRequirement(const std::string& metatype) { return metatype.ends_with("Requirement"); }

std::vector<store::DiagramObjectRow> Unplaced(const std::vector<int32_t>& element_ids) {
  std::vector<store::DiagramObjectRow> rows;
  for (const int32_t id : element_ids) rows.push_back({0, 0, id, std::nullopt});
  return rows;
}

// Every connector at any of the elements, once each, in id order.
std::vector<int32_t> ConnectorsAt(store::ModelSession& session,
                                  const std::vector<int32_t>& element_ids) {
  std::set<int32_t> ids;
  for (const int32_t element : element_ids) {
    for (const store::ConnectorRow& connector : session.ConnectorsOf(element))
      ids.insert(connector.id);
  }
  return {ids.begin(), ids.end()};
}

class ViewMaker {
 public:
  ViewMaker(store::ModelSession& session, const std::map<std::string, DiagramType>& types,
            const CompartmentReader& compartments)
      : session_(session), types_(types), compartments_(compartments) {}

  std::vector<GeneratedView> Make() {
    for (const store::PackageRow& package : session_.AllPackages()) {
      std::vector<int32_t> blocks, requirements;
      for (const store::ElementRow& element : TopElementsOf(package.id)) {
        const std::string metatype = session_.MetatypeOf(element);
        if (metatype == "Block") blocks.push_back(element.id);
        if (IsRequirement(metatype)) requirements.push_back(element.id);
      }
      if (!blocks.empty())
        AddView("bdd", "SysML::BlockDefinition", package.name, package.name, blocks);
      for (const int32_t block : blocks) AddInternalView(block, package.name);
      if (!requirements.empty()) AddRequirementsView(package.name, requirements);
    }
    return std::move(views_);
  }

 private:
  std::vector<store::ElementRow> TopElementsOf(int32_t package_id) {
    return session_.SelectElements(
        "WHERE Package_ID = ? AND ParentID = 0 AND Object_Type <> 'Package' ORDER BY Object_ID",
        package_id);
  }

  std::vector<store::ElementRow> ChildrenOf(int32_t element_id, const char* type) {
    return session_.SelectElements("WHERE ParentID = ? AND Object_Type = ? ORDER BY Object_ID",
                                   element_id, std::string(type));
  }

  void AddView(const std::string& kind, const std::string& type, const std::string& name,
               const std::string& owner, const std::vector<int32_t>& elements) {
    GeneratedView view{kind + "-" + name, {}};
    view.scene.name = name;
    auto found = types_.find(type);
    view.scene.type = found == types_.end() ? PlainDiagramType(type) : found->second;
    view.scene.owner_name = owner;
    AddObjects(view.scene, session_, Unplaced(elements), compartments_);
    AddLinks(view.scene, session_, ConnectorsAt(session_, elements));
    views_.push_back(std::move(view));
  }

  // The block holding its parts, their ports and its own.
  void AddInternalView(int32_t block, const std::string& package) {
    const std::vector<store::ElementRow> parts = ChildrenOf(block, "Part");
    if (parts.empty()) return;
    std::vector<int32_t> shown = {block};
    for (const store::ElementRow& port : ChildrenOf(block, "Port")) shown.push_back(port.id);
    for (const store::ElementRow& part : parts) {
      shown.push_back(part.id);
      for (const store::ElementRow& port : ChildrenOf(part.id, "Port")) shown.push_back(port.id);
    }
    const std::string name = session_.FindElement(block)->name;
    AddView("ibd", "SysML::InternalBlock", name, package, shown);
  }

  // The requirements and the items their relations lead to.
  void AddRequirementsView(const std::string& package, const std::vector<int32_t>& requirements) {
    static const std::set<std::string> kRelations = {"satisfy", "verify", "deriveReqt", "derive",
                                                     "refine",  "trace",  "copy"};
    std::vector<int32_t> shown = requirements;
    std::set<int32_t> seen(requirements.begin(), requirements.end());
    for (const int32_t id : ConnectorsAt(session_, requirements)) {
      const auto connector = session_.FindConnector(id);
      if (!kRelations.contains(connector->stereotype.value_or(""))) continue;
      for (const int32_t end : {connector->client_id, connector->supplier_id}) {
        if (seen.insert(end).second && session_.FindElement(end)) shown.push_back(end);
      }
    }
    AddView("req", "SysML::Requirement", package, package, shown);
  }

  store::ModelSession& session_;
  const std::map<std::string, DiagramType>& types_;
  const CompartmentReader& compartments_;
  std::vector<GeneratedView> views_;
};

}  // namespace

std::vector<GeneratedView> GenerateViews(store::ModelSession& session,
                                         const std::map<std::string, DiagramType>& types,
                                         const CompartmentReader& compartments) {
  return ViewMaker(session, types, compartments).Make();
}

}  // namespace orba::diagrams
