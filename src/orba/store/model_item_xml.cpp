#include "orba/store/model_item_xml.h"

#include <set>
#include <unordered_map>
#include <vector>

#include "base/xml_escape.h"
#include "host/error.h"

namespace orba::store {
namespace {

using Children = std::unordered_map<int32_t, std::vector<ElementRow>>;

// The elements below `element`, by owner, each owner's in id order: read
// with one query however many there are. UNION stops at an element met
// again, so a damaged model whose ParentIDs form a cycle ends too.
Children Descendants(ModelSession& session, const ElementRow& element) {
  Children children;
  for (ElementRow& row : session.SelectElements(
           "WHERE ParentID IN (WITH RECURSIVE below(id) AS (SELECT CAST(? AS INTEGER) UNION SELECT "
           "Object_ID "
           "FROM t_object JOIN below ON ParentID = below.id) SELECT id FROM below) "
           "ORDER BY ParentID, Object_ID",
           element.id)) {
    children[row.parent_id].push_back(std::move(row));
  }
  return children;
}

// Appends the item of `element` and, nested, those of the elements it owns.
// `owners` holds the ids of the items it is nested in: in a damaged model
// file whose ParentIDs form a cycle, the walk would otherwise never end.
void AppendModelItem(ModelSession& session, const ElementRow& element, const Children& children,
                     std::set<int32_t>& owners, std::string& xml) {
  if (owners.contains(element.id)) {
    throw host::Error("element " + std::to_string(element.id) + " (\"" + element.name +
                      "\") refers to parent " + std::to_string(element.parent_id) +
                      ", which it owns itself");
  }
  xml += "<ModelItem Name=\"" + base::EscapeXml(element.name, base::XmlEscaping::kAttribute) +
         "\" GUID=\"" + base::EscapeXml(element.guid, base::XmlEscaping::kAttribute) +
         "\" Metatype=\"" +
         base::EscapeXml(session.MetatypeOf(element), base::XmlEscaping::kAttribute) + "\"";
  auto owned = children.find(element.id);
  if (owned == children.end()) {
    xml += "/>";
    return;
  }
  xml += ">";
  owners.insert(element.id);
  for (const ElementRow& child : owned->second)
    AppendModelItem(session, child, children, owners, xml);
  owners.erase(element.id);
  xml += "</ModelItem>";
}

}  // namespace

std::string ModelItemXml(ModelSession& session, const std::string& guid) {
  std::optional<ElementRow> element = session.FindElementByGuid(guid);
  if (!element) throw host::Error("no element has the GUID " + guid);
  std::set<int32_t> owners;
  std::string xml;
  AppendModelItem(session, *element, Descendants(session, *element), owners, xml);
  return xml;
}

}  // namespace orba::store
