#include "orba/diagrams/scene.h"

#include <algorithm>
#include <set>

namespace orba::diagrams {
namespace {

std::map<std::string, std::string> FirstValues(const std::vector<store::NamedText>& texts) {
  std::map<std::string, std::string> values;
  for (const store::NamedText& text : texts) values.try_emplace(text.name, text.text);
  return values;
}

std::string NameOf(store::ModelSession& session, int32_t element_id) {
  if (element_id == 0) return "";
  const auto element = session.FindElement(element_id);
  return element ? element->name : "";
}

std::optional<SceneObject> ReadObject(store::ModelSession& session,
                                      const store::DiagramObjectRow& row) {
  const auto element = session.FindElement(row.element_id);
  if (!element) return std::nullopt;
  SceneObject object;
  object.element_id = element->id;
  object.guid = element->guid;
  object.name = element->name;
  object.type = element->type;
  object.stereotype = element->stereotype.value_or("");
  object.metatype = session.MetatypeOf(*element);
  object.notes = element->notes;
  object.type_name =
      NameOf(session, element->classifier_id ? element->classifier_id : element->property_type_id);
  object.tags = FirstValues(session.TagsOf(element->id));
  object.owner_id = element->parent_id;
  object.placed = row.rect.has_value();
  if (row.rect) {
    object.box = canvas::Box{double(row.rect->x), double(row.rect->y), double(row.rect->width),
                             double(row.rect->height)};
  }
  return object;
}

SceneLink ReadLink(store::ModelSession& session, const store::ConnectorRow& connector) {
  SceneLink link;
  link.connector_id = connector.id;
  link.guid = connector.guid;
  link.type = connector.type;
  link.stereotype = connector.stereotype.value_or("");
  link.source_id = connector.client_id;
  link.target_id = connector.supplier_id;
  link.source_aggregation = connector.client_aggregation;
  link.target_aggregation = connector.supplier_aggregation;
  link.tags = FirstValues(session.ConnectorTagsOf(connector.id));
  const auto fields = FirstValues(session.ItemFieldsOf(store::kConnectorItem, connector.id));
  const auto field = [&fields](const char* name) {
    auto found = fields.find(name);
    return found == fields.end() ? std::string() : found->second;
  };
  link.name = field("name");
  link.source_role = field("clientRole");
  link.target_role = field("supplierRole");
  link.direction = field("direction").empty() ? "Source -> Destination" : field("direction");
  return link;
}

}  // namespace

Scene ReadScene(store::ModelSession& session, const store::DiagramRow& diagram,
                const std::map<std::string, DiagramType>& types,
                const CompartmentReader& compartments) {
  Scene scene;
  scene.name = diagram.name;
  scene.guid = session.ItemField(store::kDiagramItem, diagram.id, "key");
  auto type = types.find(diagram.type);
  scene.type = type == types.end() ? PlainDiagramType(diagram.type) : type->second;
  if (const auto package = session.FindPackage(diagram.package_id))
    scene.owner_name = package->name;
  AddObjects(scene, session, session.ObjectsOf(diagram.id), compartments);
  std::vector<int32_t> visible;
  for (const store::DiagramLinkRow& row : session.LinksOf(diagram.id)) {
    if (!row.hidden) visible.push_back(row.connector_id);
  }
  AddLinks(scene, session, visible);
  return scene;
}

void AddObjects(Scene& scene, store::ModelSession& session,
                const std::vector<store::DiagramObjectRow>& rows,
                const CompartmentReader& compartments) {
  for (const store::DiagramObjectRow& row : rows) {
    std::optional<SceneObject> object = ReadObject(session, row);
    if (!object) continue;
    object->compartments = compartments(*object);
    scene.objects.push_back(std::move(*object));
  }
}

void AddLinks(Scene& scene, store::ModelSession& session,
              const std::vector<int32_t>& connector_ids) {
  std::set<int32_t> shown;
  for (const SceneObject& object : scene.objects) shown.insert(object.element_id);
  for (const int32_t id : connector_ids) {
    const auto connector = session.FindConnector(id);
    if (connector && shown.contains(connector->client_id) && shown.contains(connector->supplier_id))
      scene.links.push_back(ReadLink(session, *connector));
  }
}

}  // namespace orba::diagrams
