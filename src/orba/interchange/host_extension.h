// The host's own xmi:Extension. A host model holds things that UML and SysML
// have no place for: tagged values that are no stereotype's property, the
// attributes the host keeps apart from its parts, and fields whose UML form
// would read back otherwise (a stereotype that is not SysML's, a stored
// metatype, a missing multiplicity, a connector type UML lacks). The XMI
// writer records them in one extension, and the XMI import applies them by
// xmi:id once the model is read, so that an exported model reads back as it
// was. Other tools skip the extension, as the import skips theirs.
//
//   <xmi:Extension extender="orba">
//     <tag element="ID" name="NAME" value="VALUE"/>       adds a tagged value
//     <withoutTag element="ID" name="NAME"/>              removes the tagged values
//                                                         of that name the import gave
//     <attribute element="ID" name="NAME" value="TYPE"/>  adds an attribute (or
//                                                         types an enumeration's literal)
//     <field element="ID" name="FIELD" value="VALUE"/>    sets a field; "" removes it
//   </xmi:Extension>
#pragma once

#include <libxml/tree.h>

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace orba::interchange {

struct HostRecord {
  std::string what;     // "tag", "withoutTag", "attribute", "field"
  std::string element;  // the xmi:id of the item
  std::string name;
  std::string value;
};

// The fields a "field" record may set: those of a package, element or
// connector that UML gives no place to, or gives a default the host lacks.
bool IsHostRecordField(std::string_view name);

// The extension holding `records`; "" when there are none.
std::string HostExtensionXml(const std::vector<HostRecord>& records);

// Whether `node` is an xmi:Extension of the host's.
bool IsHostExtension(const xmlNode* node);

// The records of the host's extension `node`. A record the import cannot
// apply (an unknown kind, no element or name, a field no record may set) is
// left out, with a line in `warnings` that says why.
std::vector<HostRecord> ReadHostRecords(const xmlNode* node, std::vector<std::string>& warnings);

// Applies `record` to `item`, an item of a JSON model document.
void ApplyHostRecord(const HostRecord& record, nlohmann::json& item);

}  // namespace orba::interchange
