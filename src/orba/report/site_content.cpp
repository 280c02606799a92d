#include "orba/report/site_content.h"

#include <set>

#include "orba/report/html.h"

namespace orba::report {
namespace {

ItemPlace PlaceOf(const ModelIndex& model, const store::ItemRef& item) {
  switch (item.kind) {
    case store::ItemKind::kConnector:
      if (const store::ConnectorRow* connector = model.ConnectorByGuid(item.guid))
        return {connector->client_id, "c" + std::to_string(connector->id)};
      return {};
    case store::ItemKind::kOperation:
      if (const auto operation = model.Session().FindOperationByGuid(item.guid))
        return {operation->element_id, "o" + std::to_string(operation->id)};
      return {};
    default:
      const IndexedElement* element = model.ElementByGuid(item.guid);
      return {element ? element->row.id : 0, ""};
  }
}

}  // namespace

// A GUID taken twice gives the second element's page its id's name.
SiteContent::SiteContent(const ModelIndex& model_index) : model(model_index) {
  std::set<std::string> taken;
  for (const IndexedElement& element : model.Elements()) {
    std::string path = ElementPagePath(element.row.guid, element.row.id);
    if (!taken.insert(path).second) path = ElementPagePath("", element.row.id);
    element_pages[element.row.id] = path;
  }
}

std::string SiteContent::ElementHref(const std::string& root, int32_t element_id) const {
  const auto page = element_pages.find(element_id);
  return page == element_pages.end() ? "" : root + page->second;
}

std::string SiteContent::ElementLink(const std::string& root, int32_t element_id) const {
  const IndexedElement* element = model.Element(element_id);
  return element ? Link(ElementHref(root, element_id), element->row.name) : "";
}

void LinkContent(SiteContent& content) {
  for (size_t at = 0; at < content.validation.violations.size(); ++at) {
    content.violation_places.push_back(
        PlaceOf(content.model, content.validation.violations[at].item));
    const int32_t element_id = content.violation_places.back().element_id;
    if (element_id != 0) content.violations_of_element[element_id].push_back(at);
  }
  for (size_t at = 0; at < content.diagrams.size(); ++at) {
    std::set<int32_t> shown(content.diagrams[at].element_ids.begin(),
                            content.diagrams[at].element_ids.end());
    for (const int32_t element_id : shown) content.diagrams_of_element[element_id].push_back(at);
  }
}

}  // namespace orba::report
