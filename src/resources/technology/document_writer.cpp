#include "document_writer.h"

#include <stdexcept>

#include "shape_script_archive.h"
#include "xml_writer.h"

namespace technology {
namespace {

using Attributes = XmlWriter::Attributes;

constexpr char kDocumentVersion[] = "1.0";
constexpr char kProfileVersion[] = "1.0";
constexpr size_t kTrailingZeroBytes = 3;

const Attributes kImageAttributes = {{"type", "OrbaShapeScript 1.0"},
                                     {"xmlns:dt", "urn:schemas-microsoft-com:datatypes"},
                                     {"dt:dt", "bin.base64"}};

// A container element: a self-closing tag when it holds no items.
template <typename Item, typename WriteItem>
void WriteContainer(XmlWriter& xml, std::string_view name, const Attributes& attributes,
                    const std::vector<Item>& items, WriteItem write_item) {
  if (items.empty()) {
    xml.Empty(name, attributes);
    return;
  }
  xml.Open(name, attributes);
  for (const Item& item : items) write_item(item);
  xml.Close();
}

void WriteBaseType(XmlWriter& xml, const BaseType& base) {
  const bool redefines = base.kind == BaseType::Kind::kRedefine;
  const Attributes attributes = base.kind == BaseType::Kind::kApplyStereotype
                                    ? Attributes{{"type", "Stereotype"}, {"stereotype", base.type}}
                                    : Attributes{{"type", base.type}};
  WriteContainer(xml, redefines ? "Redefine" : "Apply", attributes, base.properties,
                 [&xml](const Property& property) {
                   xml.Empty("Property", {{"name", property.name}, {"value", property.value}});
                 });
}

void WriteBaseTypes(XmlWriter& xml, std::string_view container,
                    const std::vector<BaseType>& bases) {
  WriteContainer(xml, container, {}, bases,
                 [&xml](const BaseType& base) { WriteBaseType(xml, base); });
}

void WriteTag(XmlWriter& xml, const Tag& tag) {
  if (tag.typed_by_tagged_value_type) {
    xml.Empty("Tag", {{"name", tag.name}});
    return;
  }
  xml.Empty("Tag", {{"name", tag.name},
                    {"type", tag.type},
                    {"description", ""},
                    {"unit", ""},
                    {"values", tag.values},
                    {"default", tag.default_value}});
}

Attributes StereotypeAttributesOf(const Stereotype& stereotype) {
  Attributes attributes = {{"name", stereotype.name}, {"notes", stereotype.notes}};
  const StereotypeAttributes& optional = stereotype.attributes;
  const std::pair<std::string_view, std::string_view> in_order[] = {
      {"alias", optional.alias},
      {"metatype", optional.metatype},
      {"isAbstract", optional.is_abstract},
      {"generalizes", optional.generalizes},
      {"strictness", optional.strictness},
      {"instanceMode", optional.instance_mode},
      {"instanceType", optional.instance_type},
      {"instanceOwner", optional.instance_owner},
  };
  for (const auto& attribute : in_order) {
    if (!attribute.second.empty()) attributes.push_back(attribute);
  }
  return attributes;
}

std::vector<BaseType> BaseTypesOf(const Stereotype& stereotype, bool redefinitions) {
  std::vector<BaseType> selected;
  for (const BaseType& base : stereotype.base_types) {
    if ((base.kind == BaseType::Kind::kRedefine) == redefinitions) selected.push_back(base);
  }
  return selected;
}

const std::string& ScriptText(const ShapeScripts& shape_scripts, const std::string& name) {
  const auto found = shape_scripts.find(name);
  if (found == shape_scripts.end())
    throw std::runtime_error("there is no shape script \"" + name + "\"");
  return found->second;
}

void WriteStereotype(XmlWriter& xml, const Stereotype& stereotype, bool all_containers,
                     const ShapeScripts& shape_scripts) {
  const std::vector<BaseType> applies = BaseTypesOf(stereotype, false);
  const std::vector<BaseType> redefines = BaseTypesOf(stereotype, true);
  const bool image = !stereotype.shape_script.empty();
  const bool applies_to = all_containers || stereotype.empty_applies_to || !applies.empty();
  const bool redefinitions = all_containers || !redefines.empty();
  const bool tagged_values = all_containers || !stereotype.tags.empty();
  const Attributes attributes = StereotypeAttributesOf(stereotype);
  if (!image && !applies_to && !redefinitions && !tagged_values) {
    xml.Empty("Stereotype", attributes);
    return;
  }
  xml.Open("Stereotype", attributes);
  if (image) {
    xml.TextElement("Image", kImageAttributes,
                    ShapeScriptImage(ScriptText(shape_scripts, stereotype.shape_script)));
  }
  if (applies_to) WriteBaseTypes(xml, "AppliesTo", applies);
  if (redefinitions) WriteBaseTypes(xml, "Redefinitions", redefines);
  if (tagged_values) {
    WriteContainer(xml, "TaggedValues", {}, stereotype.tags,
                   [&xml](const Tag& tag) { WriteTag(xml, tag); });
  }
  if (all_containers) xml.Empty("Constraints");
  xml.Close();
}

void WriteContent(XmlWriter& xml, const Profile& profile, const ShapeScripts& shape_scripts) {
  xml.Open("Content");
  xml.Comment(" List of stereotypes used in this profile");
  WriteContainer(xml, "Stereotypes", {}, profile.stereotypes, [&](const Stereotype& stereotype) {
    WriteStereotype(xml, stereotype, profile.every_stereotype_has_all_containers, shape_scripts);
  });
  if (profile.tagged_value_types) {
    WriteContainer(xml, "TaggedValueTypes", {}, *profile.tagged_value_types,
                   [&xml](const TaggedValueType& type) {
                     xml.Empty(
                         "TaggedValueType",
                         {{"property", type.property}, {"description", ""}, {"notes", type.notes}});
                   });
  }
  if (profile.quick_links) xml.Empty("QuickLink", {{"data", *profile.quick_links}});
  xml.Close();
}

void WriteProfile(XmlWriter& xml, const Profile& profile, const ShapeScripts& shape_scripts) {
  xml.Open("UMLProfile", {{"profiletype", "uml2"}});
  xml.Empty("Documentation", {{"id", profile.id},
                              {"name", profile.name},
                              {"version", kProfileVersion},
                              {"notes", profile.notes}});
  xml.Comment(" The profile content ");
  WriteContent(xml, profile, shape_scripts);
  if (profile.toolbox) {
    WriteContainer(xml, "Order", {}, *profile.toolbox, [&xml](const OrderItem& item) {
      xml.Empty("OrderItem", {{"node", item.node}, {"order", std::to_string(item.order)}});
    });
  }
  xml.Close();
}

}  // namespace

std::string WriteTechnologyDocument(const Technology& technology,
                                    const ShapeScripts& shape_scripts) {
  XmlWriter xml;
  xml.Open("Quindle.Technology", {{"version", kDocumentVersion}});
  xml.Empty("Documentation", {{"id", technology.id},
                              {"name", technology.name},
                              {"version", technology.version},
                              {"notes", technology.notes}});
  xml.Empty("Perspective", {{"Name", technology.perspective}, {"isModelDefault", "true"}});
  xml.Open("UMLProfiles");
  for (const Profile& profile : technology.profiles) WriteProfile(xml, profile, shape_scripts);
  xml.Close();
  xml.Open("DiagramProfile");
  WriteProfile(xml, technology.diagram_profile, shape_scripts);
  xml.Close();
  xml.Close();
  return xml.Text() + std::string(kTrailingZeroBytes, '\0');
}

}  // namespace technology
