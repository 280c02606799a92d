#include "orba/store/model_item_xml.h"

#include "host/error.h"
#include "orba/store/xml_text.h"

namespace orba::store {
namespace {

void AppendModelItem(ModelSession& session, const ElementRow& element, std::string& xml) {
  xml += "<ModelItem Name=\"" + EscapeXmlAttribute(element.name) + "\" GUID=\"" +
         EscapeXmlAttribute(element.guid) + "\" Metatype=\"" +
         EscapeXmlAttribute(session.MetatypeOf(element)) + "\"";
  std::vector<ElementRow> owned =
      session.SelectElements("WHERE ParentID = ? ORDER BY Object_ID", element.id);
  if (owned.empty()) {
    xml += "/>";
    return;
  }
  xml += ">";
  for (const ElementRow& child : owned) AppendModelItem(session, child, xml);
  xml += "</ModelItem>";
}

}  // namespace

std::string ModelItemXml(ModelSession& session, const std::string& guid) {
  std::optional<ElementRow> element = session.FindElementByGuid(guid);
  if (!element) throw host::Error("no element has the GUID " + guid);
  std::string xml;
  AppendModelItem(session, *element, xml);
  return xml;
}

}  // namespace orba::store
