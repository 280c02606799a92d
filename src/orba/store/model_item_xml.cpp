#include "orba/store/model_item_xml.h"

#include <set>

#include "base/xml_escape.h"
#include "host/error.h"

namespace orba::store {
namespace {

// Appends the item of `element` and, nested, those of the elements it owns.
// `owners` holds the ids of the items it is nested in: in a damaged model
// file whose ParentIDs form a cycle, the walk would otherwise never end.
void AppendModelItem(ModelSession& session, const ElementRow& element, std::set<int32_t>& owners,
                     std::string& xml) {
  if (owners.contains(element.id)) {
    throw host::Error("element " + std::to_string(element.id) + " (\"" + element.name +
                      "\") refers to parent " + std::to_string(element.parent_id) +
                      ", which it owns itself");
  }
  xml += "<ModelItem Name=\"" + base::EscapeXml(element.name, base::XmlEscaping::kAttribute) +
         "\" GUID=\"" + base::EscapeXml(element.guid, base::XmlEscaping::kAttribute) +
         "\" Metatype=\"" +
         base::EscapeXml(session.MetatypeOf(element), base::XmlEscaping::kAttribute) + "\"";
  std::vector<ElementRow> owned =
      session.SelectElements("WHERE ParentID = ? ORDER BY Object_ID", element.id);
  if (owned.empty()) {
    xml += "/>";
    return;
  }
  xml += ">";
  owners.insert(element.id);
  for (const ElementRow& child : owned) AppendModelItem(session, child, owners, xml);
  owners.erase(element.id);
  xml += "</ModelItem>";
}

}  // namespace

std::string ModelItemXml(ModelSession& session, const std::string& guid) {
  std::optional<ElementRow> element = session.FindElementByGuid(guid);
  if (!element) throw host::Error("no element has the GUID " + guid);
  std::set<int32_t> owners;
  std::string xml;
  AppendModelItem(session, *element, owners, xml);
  return xml;
}

}  // namespace orba::store
