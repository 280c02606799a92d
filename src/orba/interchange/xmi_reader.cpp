// The XMI reader. It reads in two passes: the first places every package and
// element of the UML model (so that every key exists), the second resolves
// references (types, classifiers, tags that name other elements) and builds
// the connectors, whose ends must all exist. Stereotype applications sit at
// the top level of the file and point at their base elements by id.
#include "orba/interchange/xmi_reader.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <set>
#include <unordered_map>

#include "base/guid.h"
#include "base/text.h"
#include "orba/interchange/host_extension.h"
#include "orba/interchange/notation_reader.h"
#include "orba/interchange/sysml_stereotypes.h"
#include "orba/interchange/xml_nodes.h"

namespace orba::interchange {
namespace {

using nlohmann::json;

// A stereotype application: an element of a profile's namespace.
struct Application {
  std::string namespace_uri;
  std::string prefix;
  std::string name;
  const xmlNode* node = nullptr;
};

// One XMI file: the importing one, or one that an href leads to.
struct Source {
  std::string path;
  std::string file_name;  // seeds the GUIDs
  XmlDocument document;
  std::vector<xmlNode*> roots;  // the UML model elements at the top
  std::unordered_map<std::string, const xmlNode*> by_id;
  std::unordered_map<std::string, std::vector<Application>> applications;  // by base id
  std::vector<Application> unbased;      // applications naming no base element
  std::vector<HostRecord> host_records;  // from the host's own xmi:Extension
};

// The UML kinds imported as elements, with their host type. Actions, pins and
// behaviour parameters are found by the shape of their kind (below).
// clang-format off
const std::unordered_map<std::string, std::string>& ElementTypes() {
  static const std::unordered_map<std::string, std::string> types = {
      {"Class", "Class"},               {"Interface", "Interface"},
      {"DataType", "Class"},            {"PrimitiveType", "Class"},
      {"Enumeration", "Class"},         {"Signal", "Signal"},
      {"Component", "Component"},       {"Actor", "Actor"},
      {"UseCase", "UseCase"},           {"Activity", "Activity"},
      {"StateMachine", "StateMachine"}, {"Interaction", "Interaction"},
      {"OpaqueBehavior", "OpaqueBehavior"}, {"FunctionBehavior", "FunctionBehavior"},
      {"InstanceSpecification", "Object"}, {"Property", "Part"},
      {"Port", "Port"},                 {"ActivityPartition", "ActivityPartition"},
      {"InitialNode", "ActivityInitial"}, {"ActivityFinalNode", "ActivityFinal"},
      {"FlowFinalNode", "FlowFinal"},   {"DecisionNode", "Decision"},
      {"MergeNode", "MergeNode"},       {"ForkNode", "Synchronization"},
      {"JoinNode", "Synchronization"},  {"DataStoreNode", "DataStore"},
      {"CentralBufferNode", "CentralBufferNode"}, {"State", "State"},
      {"FinalState", "State"},          {"Pseudostate", "StateNode"},
      {"Constraint", "Constraint"},     {"Node", "Node"},
      {"Device", "Device"},             {"Artifact", "Artifact"},
      {"Collaboration", "Collaboration"}};
  return types;
}

// The UML kinds imported as connectors, with their host type.
const std::unordered_map<std::string, std::string>& ConnectorTypes() {
  static const std::unordered_map<std::string, std::string> types = {
      {"Association", "Association"},   {"AssociationClass", "Association"},
      {"Generalization", "Generalization"}, {"Dependency", "Dependency"},
      {"Usage", "Dependency"},          {"Abstraction", "Dependency"},
      {"Realization", "Realisation"},   {"InterfaceRealization", "Realisation"},
      {"ComponentRealization", "Realisation"}, {"InformationFlow", "InformationFlow"},
      {"Connector", "Connector"},       {"ControlFlow", "ControlFlow"},
      {"ObjectFlow", "ObjectFlow"},     {"Transition", "StateFlow"}};
  return types;
}
// clang-format on

// The stereotype a UML kind has in the host without any application.
std::string DefaultStereotype(const std::string& kind) {
  if (kind == "DataType" || kind == "PrimitiveType") return "dataType";
  if (kind == "Enumeration") return "enumeration";
  if (kind == "Model") return "model";
  return "";
}

// Kinds that are values of their owner (bounds, defaults, bodies): part of
// what owns them, not items of their own.
bool IsValueKind(const std::string& kind) {
  return kind.starts_with("Literal") || kind.ends_with("Expression") || kind.ends_with("Value") ||
         kind.ends_with("Interval") || kind == "Duration" || kind == "ConnectorEnd" ||
         kind == "ProfileApplication" || kind == "Slot";
}

// Kinds whose contents are kept while they themselves have no host item: a
// region's states belong to its state machine.
bool IsTransparentKind(const std::string& kind) { return kind == "Region"; }

std::string Lower(std::string_view text) { return base::AsciiLowerCase(text); }

// Whether a stereotype of the technology applies to a connector
// (`relationship`) or to an element: «probability», «continuous» and
// «discrete» apply to both, to flows and to parameters.
bool AppliesTo(std::string_view stereotype, bool relationship) {
  static const std::set<std::string_view> kRelationships = {
      "satisfy", "verify", "derive", "copy", "refine", "trace", "allocate", "conform", "itemFlow"};
  static const std::set<std::string_view> kEither = {"probability", "continuous", "discrete"};
  return kEither.contains(stereotype) || kRelationships.contains(stereotype) == relationship;
}

bool IsStandardProfileNamespace(std::string_view uri) {
  const bool omg = uri.starts_with("http://www.omg.org/spec/UML/") &&
                   (uri.ends_with("/StandardProfile") || uri.ends_with("/StandardProfileL2"));
  return omg || uri == "http://www.eclipse.org/uml2/schemas/Standard/1" ||
         uri == "http://www.eclipse.org/uml2/5.0.0/UML/Profile/Standard";
}

// A GUID from the file's name and an id: a name-based (SHA-1) UUID, so that
// the same file imported twice gives the same GUIDs.
std::string GuidFor(const std::string& file_name, const std::string& id) {
  static constexpr base::GuidNamespace kNamespace = {0x6b, 0x2e, 0x41, 0x0c, 0x93, 0x5d,
                                                     0x4f, 0x7a, 0xa1, 0x64, 0x2d, 0x0e,
                                                     0x5c, 0x31, 0x8b, 0x77};
  return base::NameBasedGuid(kNamespace, file_name + "#" + id);
}

// The multiplicity text of a typed element: "1" when no bounds are given, a
// bound present without a value is 0, an unlimited upper bound is "*".
std::string Multiplicity(const xmlNode* node) {
  auto bound = [node](const char* name) -> std::optional<std::string> {
    for (const xmlNode* child : ChildElements(node)) {
      if (LocalName(child) == name) return PlainAttribute(child, "value").value_or("0");
    }
    // Canonical XMI may keep the bounds among the tool's extension data.
    for (const xmlNode* extension : ChildElements(node)) {
      if (!IsXmiExtension(extension)) continue;
      for (const xmlNode* holder : ChildElements(extension)) {
        for (const xmlNode* child : ChildElements(holder)) {
          if (LocalName(child) == name) return PlainAttribute(child, "value").value_or("0");
        }
      }
    }
    return std::nullopt;
  };
  const std::string lower = bound("lowerValue").value_or("1");
  std::string upper = bound("upperValue").value_or("1");
  if (upper == "-1") upper = "*";
  return lower == upper ? lower : lower + ".." + upper;
}

// The last part of an href's fragment, as a stub's name: "Integer" from
// "...UMLPrimitiveTypes.library.uml#Integer", "Block" from "#SysML.Blocks.Block".
std::string FragmentName(const std::string& href) {
  std::string fragment = href.substr(href.find('#') + 1);
  const size_t cut = fragment.find_last_of("./");
  if (cut != std::string::npos && cut + 1 < fragment.size()) fragment = fragment.substr(cut + 1);
  return fragment.empty() ? href : fragment;
}

// The name of a type of SysML's library of primitive value types, which
// tools name in many ways ("...PrimitiveValueTypes.Real",
// "...PrimitiveValueTypes_PackageableElement-Real_PackageableElement").
std::string LibraryTypeName(const std::string& href) {
  const std::string tail = href.substr(href.rfind("PrimitiveValueTypes") + 19);
  for (const char* name : {"Real", "Integer", "String", "Boolean", "Complex", "Number"}) {
    if (tail.find(name) != std::string::npos) return name;
  }
  return FragmentName(href);
}

// Whether an href names a file of this file system (not "pathmap://",
// "http://" and the like).
bool IsFileHref(const std::string& file) {
  return !file.empty() && file.find("://") == std::string::npos && !file.starts_with("platform:");
}

class Reader {
 public:
  Reader(const XmiOptions& options, ImportReport& report) : options_(options), report_(report) {}

  json Read(std::string_view text, const std::string& path) {
    report_.source = path;
    main_ = Load(text, path);
    sources_[Normal(path)] = main_;
    for (const Application& application : main_->unbased) {
      report_.Skipped("stereotype application without base element («" + application.name + "»)",
                      IdOf(application.node));
    }
    for (xmlNode* root : main_->roots) Visit(*main_, root, Place{});
    ResolveDeferred();
    // Packages and elements take their records before ports of parts are
    // copied from their types; connectors once they are built.
    std::vector<HostRecord> records = ApplyHostRecords(main_->host_records);
    BuildConnectors();
    AddDerivedConstraintProperties();
    for (const HostRecord& record : ApplyHostRecords(records)) {
      report_.warnings.push_back("orba's xmi:Extension: no item has the xmi:id \"" +
                                 base::EscapeControlCharacters(record.element) + "\"; its " +
                                 record.what + " \"" + base::EscapeControlCharacters(record.name) +
                                 "\" is left out");
    }
    return Document();
  }

 private:
  struct Place {
    std::string package;  // key of the package
    std::string parent;   // key of the owning element; "" at a package's top
    const xmlNode* owner = nullptr;
  };

  // A reference to resolve once every element exists.
  struct Deferred {
    enum class Use { kField, kGuidTag, kNameTag };
    std::string item_key;
    std::string field;  // the JSON field, or the tag's name
    Use use = Use::kField;
    Reference reference;
    Source* source = nullptr;
  };

  // What the applications on one item give it.
  struct Stereotypes {
    std::string host;                    // the technology's stereotype; "" when none
    std::string element_type;            // the type it imposes; "" when none
    const Application* sysml = nullptr;  // the application that gave `host`
    std::vector<std::string> others;     // the further stereotypes, "prefix:Name"
  };

  // The item's xmi:id; an item without one gets "(no xmi:id) N", N counting
  // such items in document order, so that its GUID is still the same on
  // every import of the file.
  std::string IdOf(const xmlNode* node) {
    std::string id = XmiId(node);
    if (!id.empty()) return id;
    auto known = generated_ids_.find(node);
    if (known != generated_ids_.end()) return known->second;
    return generated_ids_[node] = "(no xmi:id) " + std::to_string(generated_ids_.size() + 1);
  }

  // Whether `key` is taken already (an xmi:id used twice in a file); the
  // second item is then left out and counted.
  bool Taken(const std::string& key, const std::string& kind) {
    if (!element_index_.contains(key) && !package_index_.contains(key) &&
        !connector_index_.contains(key)) {
      return false;
    }
    report_.Skipped(kind + " (its xmi:id is used twice)", key);
    return true;
  }

  // --- Files ------------------------------------------------------------------

  static std::string Normal(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
  }

  std::shared_ptr<Source> Load(std::string_view text, const std::string& path) {
    auto source = std::make_shared<Source>();
    source->path = path;
    source->file_name = std::filesystem::path(path).filename().string();
    source->document = ParseXml(text, path);
    xmlNode* root = xmlDocGetRootElement(source->document.get());
    if (IsXmiNamespace(root->ns) && LocalName(root) == "XMI") {
      for (xmlNode* child : ChildElements(root)) Classify(*source, child);
    } else if (!UmlKind(root).empty()) {
      source->roots.push_back(root);
    } else {
      throw XmiError(path + ": not an XMI file: its root element is <" + LocalName(root) + ">");
    }
    for (xmlNode* root_node : source->roots) Index(*source, root_node);
    return source;
  }

  // A top-level element of an XMI file: a model, an application, or XMI's own.
  void Classify(Source& source, xmlNode* node) {
    if (IsHostExtension(node)) {
      std::vector<HostRecord> records = ReadHostRecords(node, report_.warnings);
      source.host_records.insert(source.host_records.end(), records.begin(), records.end());
      return;
    }
    if (IsXmiNamespace(node->ns)) return;  // xmi:Documentation, other tools' xmi:Extension
    if (IsUmlNamespace(node->ns)) {
      source.roots.push_back(node);
      return;
    }
    Application application;
    application.namespace_uri = node->ns ? reinterpret_cast<const char*>(node->ns->href) : "";
    application.prefix =
        node->ns && node->ns->prefix ? reinterpret_cast<const char*>(node->ns->prefix) : "";
    application.name = LocalName(node);
    application.node = node;
    std::vector<std::string> bases;
    for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
      const std::string name = reinterpret_cast<const char*>(attribute->name);
      if (attribute->ns || !name.starts_with("base_")) continue;
      for (const Reference& reference : ReferencesOf(node, name.c_str()))
        bases.push_back(reference.id);
    }
    for (const xmlNode* child : ChildElements(node)) {
      const std::string name = LocalName(child);
      if (!name.starts_with("base_")) continue;
      if (std::optional<std::string> id = XmiAttribute(child, "idref")) bases.push_back(*id);
    }
    if (bases.empty()) source.unbased.push_back(application);
    for (const std::string& base : bases) source.applications[base].push_back(application);
  }

  // Records every id under `node` (not inside xmi:Extension: it may hold a
  // second copy of the model), the stereotypes of profiles, and the profiles
  // applied from files beside this one.
  void Index(Source& source, const xmlNode* node) {
    if (IsXmiExtension(node)) return;
    const std::string id = IdOf(node);
    if (!id.empty()) source.by_id.emplace(id, node);
    const std::string kind = UmlKind(node);
    if (kind == "Stereotype") {
      if (std::optional<std::string> name = PlainAttribute(node, "name"))
        profile_stereotypes_.emplace(*name, StereotypeNode{node, &source});
    }
    if (kind == "ProfileApplication") {
      for (const Reference& profile : ReferencesOf(node, "appliedProfile")) {
        if (!profile.href.empty()) SourceOfHref(source, profile.href);
      }
    }
    for (const xmlNode* child : ChildElements(node)) Index(source, child);
  }

  // The file an href leads to, loaded once; nullptr when it is not a file or
  // cannot be read.
  Source* SourceOfHref(const Source& from, const std::string& href) {
    const std::string file = href.substr(0, href.find('#'));
    if (!IsFileHref(file) || !options_.read_file) return nullptr;
    const std::string path =
        Normal((std::filesystem::path(from.path).parent_path() / file).string());
    auto known = sources_.find(path);
    if (known != sources_.end()) return known->second.get();
    std::shared_ptr<Source> loaded;
    if (std::optional<std::string> text = options_.read_file(path)) {
      try {
        loaded = Load(*text, path);
      } catch (const XmiError& error) {
        report_.warnings.push_back(std::string("referenced file not read: ") + error.what());
      }
    }
    sources_[path] = loaded;
    return loaded.get();
  }

  // --- Stereotypes ---------------------------------------------------------------

  struct StereotypeNode {
    const xmlNode* node;
    Source* source;
  };

  // The SysML stereotype a custom stereotype specialises, through the
  // generalizations of its profile (when the profile is at hand), else
  // through the user's stereotype map.
  std::optional<std::string> SpecialisedSysml(const Application& application) {
    std::set<const xmlNode*> seen;
    std::optional<std::string> found = GeneralSysml(application.name, seen, 0);
    if (found) return found;
    for (const std::string& key :
         {"{" + application.namespace_uri + "}" + application.name, application.name}) {
      auto mapped = options_.stereotype_map.find(key);
      if (mapped != options_.stereotype_map.end()) return mapped->second;
    }
    return std::nullopt;
  }

  std::optional<std::string> GeneralSysml(const std::string& name, std::set<const xmlNode*>& seen,
                                          int depth) {
    auto [first, last] = profile_stereotypes_.equal_range(name);
    for (auto it = first; it != last && depth < 16; ++it) {
      if (!seen.insert(it->second.node).second) continue;
      for (const xmlNode* generalization : ChildElements(it->second.node)) {
        if (UmlKind(generalization) != "Generalization") continue;
        for (const Reference& general : ReferencesOf(generalization, "general")) {
          if (!general.href.empty() && general.href.find("SysML") != std::string::npos) {
            std::string sysml = FragmentName(general.href);
            if (HostStereotypeFor(sysml)) return sysml;
            continue;
          }
          auto node = it->second.source->by_id.find(general.id);
          if (node == it->second.source->by_id.end()) continue;
          std::optional<std::string> general_name = PlainAttribute(node->second, "name");
          if (!general_name) continue;
          if (std::optional<std::string> found = GeneralSysml(*general_name, seen, depth + 1))
            return found;
        }
      }
    }
    return std::nullopt;
  }

  // `relationship`: the item is a connector, which takes only the
  // stereotypes of relationships; others are kept in the list.
  Stereotypes StereotypesOf(const Source& source, const std::string& id,
                            bool relationship = false) {
    Stereotypes result;
    auto applications = source.applications.find(id);
    if (applications == source.applications.end()) return result;
    for (const Application& application : applications->second) {
      std::optional<HostStereotype> host;
      if (IsSysmlNamespace(application.namespace_uri)) {
        host = HostStereotypeFor(application.name);
      } else if (IsStandardProfileNamespace(application.namespace_uri)) {
        // SysML takes «trace» and «refine» from the UML's standard profile.
        const std::string name = Lower(application.name);
        if (name == "trace" || name == "refine") host = HostStereotypeFor(name);
      } else if (std::optional<std::string> sysml = SpecialisedSysml(application)) {
        host = HostStereotypeFor(*sysml);
        // A custom port stereotype that shares a SysML name is never a flow port.
        if (host && host->stereotype == "flowPort") host.reset();
      }
      if (host && !AppliesTo(host->stereotype, relationship)) host.reset();
      if (host && result.host.empty()) {
        result.host = host->stereotype;
        result.element_type = host->element_type;
        result.sysml = &application;
        if (IsSysmlNamespace(application.namespace_uri) ||
            IsStandardProfileNamespace(application.namespace_uri)) {
          continue;
        }
      }
      result.others.push_back(application.prefix.empty()
                                  ? application.name
                                  : application.prefix + ":" + application.name);
    }
    return result;
  }

  // --- Texts ------------------------------------------------------------------------

  // `text` with every control character other than TAB, LF and CR (C0, DEL,
  // C1) replaced by U+FFFD; each text changed is listed in the report.
  std::string Clean(std::string text, const std::string& id, const char* field) {
    std::string clean;
    bool replaced = false;
    for (size_t at = 0; at < text.size(); ++at) {
      const auto byte = static_cast<unsigned char>(text[at]);
      const bool c0 = (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == 0x7F;
      const bool c1 = byte == 0xC2 && at + 1 < text.size() &&
                      static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
                      static_cast<unsigned char>(text[at + 1]) <= 0x9F;
      if (c0 || c1) {
        clean += "\xEF\xBF\xBD";
        at += c1 ? 1 : 0;
        replaced = true;
      } else {
        clean += text[at];
      }
    }
    if (replaced) report_.control_characters.push_back(id + ": " + field);
    return clean;
  }

  std::string Name(const xmlNode* node, const std::string& id) {
    return Clean(PlainAttribute(node, "name").value_or(""), id, "name");
  }

  // A property of a stereotype application: an attribute (any letter case) or
  // a child element's text.
  std::optional<std::string> ApplicationValue(const Application& application,
                                              std::string_view name) {
    if (std::optional<std::string> value = PlainAttributeIgnoringCase(application.node, name))
      return value;
    for (const xmlNode* child : ChildElements(application.node)) {
      if (Lower(LocalName(child)) != Lower(name)) continue;
      return ChildText(application.node, LocalName(child).c_str());
    }
    return std::nullopt;
  }

  // --- The first pass: packages and elements -------------------------------------

  void Visit(Source& source, const xmlNode* node, const Place& place) {
    if (IsXmiExtension(node) || IsReferenceElement(node)) return;
    bool foreign = false;
    const std::string kind = UmlKind(node, &foreign);
    if (kind.empty() || foreign || IsValueKind(kind)) return;
    const std::string id = IdOf(node);
    if (kind == "Model" || kind == "Package") {
      VisitChildren(source, node, Place{AddPackage(source, node, kind, place), "", node});
    } else if (kind == "Profile") {
      report_.Skipped("Profile (its stereotypes are read for custom stereotypes)", id);
    } else if (IsTransparentKind(kind)) {
      report_.Skipped(kind + " (its contents are kept by its owner)", id);
      VisitChildren(source, node, place);
    } else if (kind == "AssociationClass") {
      // Both a class (properties are typed by it) and an association.
      const std::string key = AddElement(source, node, kind, "Class", place);
      VisitChildren(source, node, Place{place.package, key, node});
      connector_nodes_.push_back({node, &source, place.owner});
    } else if (ConnectorTypes().contains(kind)) {
      connector_nodes_.push_back({node, &source, place.owner});
    } else if (kind == "Operation") {
      AddOperation(source, node, place);
    } else if (kind == "EnumerationLiteral" && !place.parent.empty()) {
      Item(place.parent)["attributes"].push_back({{"name", Name(node, id)}, {"type", ""}});
      report_.Imported("EnumerationLiteral -> attribute");
    } else if (kind == "ActivityParameterNode") {
      AddParameterNode(source, node, place);
    } else if (kind == "Comment") {
      AddComment(source, node, place);
    } else if (std::string type = HostTypeOf(kind, place); !type.empty()) {
      const std::string key = AddElement(source, node, kind, type, place);
      VisitChildren(source, node, Place{place.package, key, node});
    } else {
      report_.Skipped(kind, id);
    }
  }

  void VisitChildren(Source& source, const xmlNode* node, const Place& place) {
    for (const xmlNode* child : ChildElements(node)) Visit(source, child, place);
  }

  static std::string HostTypeOf(const std::string& kind, const Place& place) {
    auto type = ElementTypes().find(kind);
    if (type != ElementTypes().end()) return type->second;
    if (kind.ends_with("Action")) return "Action";
    if (kind.ends_with("Pin")) return "ActionPin";
    // A behaviour's parameter; an operation's parameters are part of it.
    if (kind == "Parameter" && place.owner && UmlKind(place.owner) != "Operation")
      return "ActivityParameter";
    return "";
  }

  std::string AddPackage(Source& source, const xmlNode* node, const std::string& kind,
                         const Place& place) {
    const std::string id = IdOf(node);
    if (Taken(id, kind)) return place.package;
    Stereotypes stereotypes = StereotypesOf(source, id);
    json package = {{"key", id}, {"name", Name(node, id)}, {"guid", GuidFor(source.file_name, id)}};
    if (!place.package.empty()) package["parent"] = place.package;
    const std::string stereotype =
        stereotypes.host.empty() ? DefaultStereotype(kind) : stereotypes.host;
    if (!stereotype.empty()) package["stereotype"] = stereotype;
    package["xmiId"] = id;
    if (!stereotypes.others.empty()) package["stereotypes"] = stereotypes.others;
    if (stereotypes.sysml) ApplyApplicationTags(source, package, *stereotypes.sysml);
    package_index_[id] = packages_.size();
    packages_.push_back(std::move(package));
    ++report_.packages;
    return id;
  }

  std::string AddElement(Source& source, const xmlNode* node, const std::string& kind,
                         std::string type, const Place& place) {
    const std::string id = IdOf(node);
    if (Taken(id, kind)) return place.parent;
    Stereotypes stereotypes = StereotypesOf(source, id);
    if (!stereotypes.element_type.empty()) type = stereotypes.element_type;
    json element = {{"key", id}, {"type", type}, {"name", Name(node, id)}};
    if (!place.package.empty()) element["package"] = place.package;
    if (!place.parent.empty()) element["parent"] = place.parent;
    const std::string stereotype =
        stereotypes.host.empty() ? DefaultStereotype(kind) : stereotypes.host;
    if (!stereotype.empty()) element["stereotype"] = stereotype;
    if (PlainAttribute(node, "isAbstract") == "true") element["abstract"] = "1";
    if (kind == "Property" || kind == "Port" || kind == "Parameter" || kind.ends_with("Pin"))
      element["multiplicity"] = Multiplicity(node);
    element["guid"] = GuidFor(source.file_name, id);
    element["umlKind"] = kind;
    element["xmiId"] = id;
    if (!stereotypes.others.empty()) element["stereotypes"] = stereotypes.others;
    for (const char* field : {"type", "classifier", "behavior"}) {
      for (const Reference& reference : ReferencesOf(node, field)) {
        Defer(id, field == std::string("type") ? "propertyType" : "classifier", reference, source);
        break;
      }
    }
    if (std::optional<std::string> body = ChildText(node, "body"))
      element["notes"] = Clean(*body, id, "body");
    if (stereotypes.sysml) ApplyApplicationTags(source, element, *stereotypes.sysml);
    report_.Imported(kind + " -> " + type + (stereotype.empty() ? "" : " «" + stereotype + "»"));
    element_index_[id] = elements_.size();
    elements_.push_back(std::move(element));
    ++report_.elements;
    return id;
  }

  // The tags and notes that the SysML application's properties give its item.
  void ApplyApplicationTags(Source& source, json& item, const Application& application) {
    const std::string stereotype = item.value("stereotype", std::string());
    const std::string key = item.value("key", std::string());
    const std::string id = IdOf(application.node);
    auto tag = [&item](const std::string& name, const std::string& value) {
      item["tags"].push_back({{"name", name}, {"value", value}});
    };
    if (IsRequirementStereotype(stereotype)) {
      if (std::optional<std::string> text = ApplicationValue(application, "text"))
        item["notes"] = Clean(*text, id, "text");
      if (std::optional<std::string> requirement_id = ApplicationValue(application, "id"))
        tag("Id", Clean(*requirement_id, id, "id"));
    } else if (stereotype == "flowPort" || stereotype == "flowProperty") {
      tag("direction",
          Clean(ApplicationValue(application, "direction").value_or("inout"), id, "direction"));
    } else if (stereotype == "view" || stereotype == "viewpoint") {
      for (const char* name : {"concerns", "languages", "methods", "purpose", "stakeholders"}) {
        if (std::optional<std::string> value = PlainAttribute(application.node, name))
          tag(name, Clean(*value, id, name));
      }
    }
    // Units, dimensions and quantity kinds are named by GUID; the item
    // property of an item flow by name.
    const std::array<std::pair<const char*, const char*>, 4> kReferenceTags = {
        {{"unit", "unit"},
         {"dimension", "dimension"},
         {"quantityKind", "dimension"},
         {"itemProperty", "itemProperty"}}};
    for (const auto& [property, tag_name] : kReferenceTags) {
      for (const Reference& reference : ReferencesOf(application.node, property)) {
        Deferred deferred{key, tag_name, Deferred::Use::kGuidTag, reference, &source};
        if (std::string(tag_name) == "itemProperty") deferred.use = Deferred::Use::kNameTag;
        pending_tags_.push_back(std::move(deferred));
        break;
      }
    }
  }

  void AddOperation(Source& source, const xmlNode* node, const Place& place) {
    const std::string id = IdOf(node);
    if (place.parent.empty()) {
      report_.Skipped("Operation (outside a classifier)", id);
      return;
    }
    Stereotypes stereotypes = StereotypesOf(source, id);
    json operation = {{"name", Name(node, id)}};
    if (!stereotypes.host.empty()) operation["stereotype"] = stereotypes.host;
    operation["guid"] = GuidFor(source.file_name, id);
    operation["xmiId"] = id;
    if (!stereotypes.others.empty()) operation["stereotypes"] = stereotypes.others;
    for (const xmlNode* parameter : ChildElements(node)) {
      if (UmlKind(parameter) != "Parameter" || IsReferenceElement(parameter)) continue;
      const std::string parameter_id = IdOf(parameter);
      std::string type;
      for (const Reference& reference : ReferencesOf(parameter, "type"))
        type = TypeName(source, reference);
      operation["parameters"].push_back({{"name", Name(parameter, parameter_id)}, {"type", type}});
    }
    operations_[id] = OperationEnd{place.parent, operation};
    Item(place.parent)["operations"].push_back(std::move(operation));
    report_.Imported("Operation -> operation" +
                     (stereotypes.host.empty() ? "" : " «" + stereotypes.host + "»"));
  }

  // An activity parameter node stands for its parameter: flows that end at
  // the node end at the parameter's element.
  void AddParameterNode(Source& source, const xmlNode* node, const Place& place) {
    const std::string id = IdOf(node);
    for (const Reference& parameter : ReferencesOf(node, "parameter")) {
      if (!parameter.id.empty()) {
        aliases_[id] = parameter.id;
        report_.Imported("ActivityParameterNode -> its ActivityParameter");
        return;
      }
    }
    AddElement(source, node, "ActivityParameterNode", "ActivityParameter", place);
  }

  // A comment stereotyped «problem» or «rationale» is a note of its own;
  // any other becomes part of the notes of the elements it annotates (its
  // owner when it names none).
  void AddComment(Source& source, const xmlNode* node, const Place& place) {
    const std::string id = IdOf(node);
    Stereotypes stereotypes = StereotypesOf(source, id);
    if (!stereotypes.host.empty()) {
      AddElement(source, node, "Comment", "Note", place);
      return;
    }
    comments_.push_back({node, &source, place.owner});
  }

  std::string TypeName(Source& source, const Reference& reference) {
    if (!reference.href.empty()) return FragmentName(reference.href);
    auto node = source.by_id.find(reference.id);
    if (node == source.by_id.end()) return "";
    return PlainAttribute(node->second, "name").value_or("");
  }

  json& Item(const std::string& key) { return elements_[element_index_.at(key)]; }

  void Defer(const std::string& key, const std::string& field, const Reference& reference,
             Source& source) {
    deferred_.push_back(Deferred{key, field, Deferred::Use::kField, reference, &source});
  }

  // --- The second pass: references --------------------------------------------

  // The key of the element a reference names: an element of this file, one
  // of a file beside it (imported as a referenced element), or a stub for
  // what cannot be found. "" when it names something of this file that has
  // no element (an association, a package).
  // `end`: the reference is a connector's end, which may be a package.
  std::string KeyOf(Source& source, const Reference& reference, bool end = false) {
    if (end && reference.href.empty() && &source == main_.get() &&
        package_index_.contains(reference.id)) {
      return reference.id;
    }
    if (reference.href.empty()) return LocalKey(source, reference.id);
    const size_t hash = reference.href.find('#');
    const std::string fragment = hash == std::string::npos ? "" : reference.href.substr(hash + 1);
    if (hash == 0) return LocalKey(source, fragment);
    if (Source* other = SourceOfHref(source, reference.href)) {
      if (other == &source) return LocalKey(source, fragment);
      auto node = other->by_id.find(fragment);
      if (node != other->by_id.end()) return ReferencedElement(*other, node->second);
    }
    return Stub(reference.href);
  }

  std::string LocalKey(Source& source, const std::string& id) {
    auto alias = aliases_.find(id);
    const std::string& target = alias == aliases_.end() ? id : alias->second;
    if (&source != main_.get()) {
      auto node = source.by_id.find(target);
      return node == source.by_id.end() ? Stub(source.file_name + "#" + id)
                                        : ReferencedElement(source, node->second);
    }
    if (element_index_.contains(target)) return target;
    if (!main_->by_id.contains(target)) return Stub("#" + id);
    if (operations_.contains(target)) return OperationElement(target);
    return "";
  }

  // An operation at the end of a relationship (a «testCase» operation that
  // verifies a requirement): the host joins only elements, so the operation
  // also stands as an element of kind "Operation" owned by its classifier,
  // with the operation's stereotype.
  std::string OperationElement(const std::string& id) {
    const std::string key = "operation:" + id;
    if (element_index_.contains(key)) return key;
    const OperationEnd& operation = operations_.at(id);
    json element = {{"key", key},
                    {"type", "Operation"},
                    {"name", operation.operation["name"]},
                    {"parent", operation.owner_key}};
    if (operation.operation.contains("stereotype"))
      element["stereotype"] = operation.operation["stereotype"];
    element["guid"] = GuidFor(main_->file_name, key);
    element["umlKind"] = "Operation";
    element["xmiId"] = id;
    report_.Imported("Operation at a relationship's end -> Operation element");
    element_index_[key] = elements_.size();
    elements_.push_back(std::move(element));
    ++report_.elements;
    return key;
  }

  // An element of another file that this one refers to: imported with its
  // name, kind and stereotypes into a package standing for that file.
  std::string ReferencedElement(Source& source, const xmlNode* node) {
    const std::string id = IdOf(node);
    const std::string key = source.file_name + "#" + id;
    if (element_index_.contains(key)) return key;
    const std::string kind = UmlKind(node);
    std::string type = HostTypeOf(kind, Place{});
    if (type.empty()) type = kind.empty() ? "Class" : kind;
    const std::string package = "file:" + source.file_name;
    if (!referenced_files_.contains(package)) {
      referenced_files_.insert(package);
      packages_.push_back({{"key", package},
                           {"name", "Referenced from " + source.file_name},
                           {"guid", GuidFor(source.file_name, "")}});
      ++report_.packages;
    }
    Stereotypes stereotypes = StereotypesOf(source, id);
    if (!stereotypes.element_type.empty()) type = stereotypes.element_type;
    const std::string stereotype =
        stereotypes.host.empty() ? DefaultStereotype(kind) : stereotypes.host;
    json element = {{"key", key}, {"package", package}, {"type", type}, {"name", Name(node, id)}};
    if (!stereotype.empty()) element["stereotype"] = stereotype;
    element["guid"] = GuidFor(source.file_name, id);
    element["umlKind"] = kind;
    element["xmiId"] = id;
    if (!stereotypes.others.empty()) element["stereotypes"] = stereotypes.others;
    report_.Imported("referenced from " + source.file_name + ": " + kind + " -> " + type);
    element_index_[key] = elements_.size();
    elements_.push_back(std::move(element));
    ++report_.elements;
    return key;
  }

  // A stand-in for an element that could not be found: named after the
  // href's fragment, in the package "Unresolved references", and listed in
  // the report. Types of the UML's primitive-type libraries are data types.
  std::string Stub(const std::string& href) {
    const std::string key = "unresolved:" + href;
    ++unresolved_uses_[href];
    if (element_index_.contains(key)) return key;
    if (!has_unresolved_package_) {
      has_unresolved_package_ = true;
      packages_.push_back({{"key", "unresolved"},
                           {"name", "Unresolved references"},
                           {"guid", GuidFor(main_->file_name, "unresolved references")}});
      ++report_.packages;
    }
    json element = {{"key", key},
                    {"package", "unresolved"},
                    {"type", "Class"},
                    {"name", Clean(FragmentName(href), href, "href")}};
    // A primitive type of the UML's or SysML's libraries is a data type; as
    // a stand-in it carries no units, so it is not made a value type.
    if (href.find("PrimitiveValueTypes") != std::string::npos) {
      element["stereotype"] = "dataType";
      element["name"] = LibraryTypeName(href);
    } else if (href.find("PrimitiveTypes") != std::string::npos) {
      element["stereotype"] = "dataType";
    }
    element["guid"] = GuidFor(main_->file_name, "href:" + href);
    element["xmiId"] = href;
    element_index_[key] = elements_.size();
    elements_.push_back(std::move(element));
    return key;
  }

  void ResolveDeferred() {
    for (const Deferred& deferred : deferred_) {
      const std::string key = KeyOf(*deferred.source, deferred.reference);
      if (!key.empty()) Item(deferred.item_key)[deferred.field] = key;
    }
    for (const ConnectorNode& comment : comments_) AttachComment(comment.node, comment.owner);
  }

  // Tags naming other elements are resolved after the elements, and are
  // placed on packages too (a view's tags).
  void ResolveTags() {
    for (const Deferred& deferred : pending_tags_) {
      const std::string key = KeyOf(*deferred.source, deferred.reference);
      json* item = FindItem(deferred.item_key);
      if (key.empty() || !item) continue;
      const json& target = Item(key);
      const std::string value = deferred.use == Deferred::Use::kNameTag
                                    ? target.value("name", std::string())
                                    : target.value("guid", std::string());
      (*item)["tags"].push_back({{"name", deferred.field}, {"value", value}});
    }
  }

  json* FindItem(const std::string& key) {
    auto element = element_index_.find(key);
    if (element != element_index_.end()) return &elements_[element->second];
    auto connector = connector_index_.find(key);
    if (connector != connector_index_.end()) return &connectors_[connector->second];
    auto package = package_index_.find(key);
    return package == package_index_.end() ? nullptr : &packages_[package->second];
  }

  // Applies the records whose item exists; returns the others.
  std::vector<HostRecord> ApplyHostRecords(const std::vector<HostRecord>& records) {
    std::vector<HostRecord> left;
    for (HostRecord record : records) {
      json* item = FindItem(record.element);
      if (!item) {
        left.push_back(std::move(record));
        continue;
      }
      record.value = Clean(record.value, record.element, record.name.c_str());
      ApplyHostRecord(record, *item);
      report_.Imported("orba's xmi:Extension: <" + record.what +
                       (record.what == "field" ? " " + record.name : "") + ">");
    }
    return left;
  }

  void AttachComment(const xmlNode* node, const xmlNode* owner) {
    const std::string id = IdOf(node);
    std::vector<Reference> annotated = ReferencesOf(node, "annotatedElement");
    if (annotated.empty() && owner) annotated.push_back(Reference{IdOf(owner), ""});
    const std::string body = Clean(ChildText(node, "body").value_or(""), id, "body");
    bool attached = false;
    for (const Reference& reference : annotated) {
      json* item = reference.href.empty() ? FindItem(reference.id) : nullptr;
      if (!item) continue;
      const std::string notes = item->value("notes", std::string());
      (*item)["notes"] = notes.empty() ? body : notes + "\n\n" + body;
      attached = true;
    }
    if (attached) {
      report_.Imported("Comment -> notes of the annotated item");
    } else {
      report_.Skipped("Comment (annotates no element)", id);
    }
  }

  // --- Connectors --------------------------------------------------------------

  struct ConnectorNode {
    const xmlNode* node;
    Source* source;
    const xmlNode* owner;
  };

  void BuildConnectors() {
    // Item flows first: one realised by connectors marks those connectors.
    for (const ConnectorNode& item : connector_nodes_) {
      if (UmlKind(item.node) == "InformationFlow") MarkRealisingConnectors(item);
    }
    for (const ConnectorNode& item : connector_nodes_) {
      const std::string kind = UmlKind(item.node);
      if (kind == "Association" || kind == "AssociationClass") {
        AddAssociation(item);
      } else if (kind == "Generalization") {
        std::vector<Reference> specific;
        if (item.owner) specific.push_back(Reference{IdOf(item.owner), ""});
        AddPairs(item, specific, ReferencesOf(item.node, "general"));
      } else if (kind == "Connector") {
        AddConnector(item);
      } else if (kind == "ControlFlow" || kind == "ObjectFlow" || kind == "Transition") {
        AddPairs(item, ReferencesOf(item.node, "source"), ReferencesOf(item.node, "target"));
      } else if (kind == "InformationFlow") {
        if (!realised_flows_.contains(IdOf(item.node))) {
          AddPairs(item, ReferencesOf(item.node, "informationSource"),
                   ReferencesOf(item.node, "informationTarget"));
        }
      } else {
        AddPairs(item, ReferencesOf(item.node, "client"), ReferencesOf(item.node, "supplier"));
      }
    }
    ResolveTags();
  }

  void MarkRealisingConnectors(const ConnectorNode& item) {
    const std::string id = IdOf(item.node);
    Stereotypes stereotypes = StereotypesOf(*item.source, id, true);
    if (stereotypes.host != "itemFlow") return;
    for (const Reference& connector : ReferencesOf(item.node, "realizingConnector")) {
      if (connector.id.empty()) continue;
      realising_[connector.id] = RealisedFlow{id, stereotypes.sysml, item.source};
      realised_flows_.insert(id);
    }
    if (realised_flows_.contains(id))
      report_.Imported("InformationFlow «itemFlow» -> its realizing Connector");
  }

  json NewConnector(const ConnectorNode& item, const std::string& key, const std::string& client,
                    const std::string& supplier) {
    const std::string id = IdOf(item.node);
    const std::string kind = UmlKind(item.node);
    Stereotypes stereotypes = StereotypesOf(*item.source, id, true);
    json connector = {{"key", key}, {"type", ConnectorTypes().at(kind)}};
    if (!stereotypes.host.empty()) connector["stereotype"] = stereotypes.host;
    connector["client"] = client;
    connector["supplier"] = supplier;
    connector["guid"] = GuidFor(item.source->file_name, key);
    if (std::string name = Name(item.node, id); !name.empty()) connector["name"] = name;
    connector["xmiId"] = id;
    if (!stereotypes.others.empty()) connector["stereotypes"] = stereotypes.others;
    if (stereotypes.sysml) ApplyConnectorTags(*item.source, key, *stereotypes.sysml);
    return connector;
  }

  void ApplyConnectorTags(Source& source, const std::string& key, const Application& application) {
    for (const Reference& reference : ReferencesOf(application.node, "itemProperty")) {
      pending_tags_.push_back(
          Deferred{key, "itemProperty", Deferred::Use::kNameTag, reference, &source});
      break;
    }
  }

  void Add(json connector) {
    const std::string kind = connector["type"].get<std::string>();
    if (Taken(connector["key"].get<std::string>(), "connector " + kind)) return;
    const std::string stereotype = connector.value("stereotype", std::string());
    report_.Imported("connector " + kind + (stereotype.empty() ? "" : " «" + stereotype + "»"));
    connector_index_[connector["key"].get<std::string>()] = connectors_.size();
    connectors_.push_back(std::move(connector));
    ++report_.connectors;
  }

  void Missed(const std::string& kind, const std::string& id) {
    report_.Skipped(kind + " (an end is missing)", id);
    ++report_.representable_missed;
  }

  // One connector per client and supplier pair.
  void AddPairs(const ConnectorNode& item, const std::vector<Reference>& clients,
                const std::vector<Reference>& suppliers) {
    const std::string id = IdOf(item.node);
    const std::string kind = UmlKind(item.node);
    size_t pair = 0;
    for (const Reference& client : clients) {
      for (const Reference& supplier : suppliers) {
        const std::string client_key = KeyOf(*item.source, client, true);
        const std::string supplier_key = KeyOf(*item.source, supplier, true);
        const std::string key = pair++ == 0 ? id : id + "#" + std::to_string(pair);
        if (client_key.empty() || supplier_key.empty()) {
          Missed(kind, id);
          continue;
        }
        Add(NewConnector(item, key, client_key, supplier_key));
      }
    }
    if (pair == 0) Missed(kind, id);
  }

  // An association between the types of its two ends. The aggregation of an
  // end's property (composite on the whole's part property) belongs to the
  // other end, where the whole is; each end's role and multiplicity are its
  // property's.
  void AddAssociation(const ConnectorNode& item) {
    const std::string id = IdOf(item.node);
    std::vector<const xmlNode*> ends;
    for (const Reference& end : ReferencesOf(item.node, "memberEnd")) {
      auto node = item.source->by_id.find(end.id);
      if (node != item.source->by_id.end()) ends.push_back(node->second);
    }
    if (ends.size() != 2) {
      if (ends.size() > 2) {
        report_.Skipped("Association (n-ary)", id);
      } else {
        Missed("Association", id);
      }
      return;
    }
    std::array<std::string, 2> keys;
    for (size_t end = 0; end < 2; ++end) {
      for (const Reference& type : ReferencesOf(ends[end], "type"))
        keys[end] = KeyOf(*item.source, type);
    }
    if (keys[0].empty() || keys[1].empty()) {
      Missed("Association", id);
      return;
    }
    const std::string key = UmlKind(item.node) == "AssociationClass" ? id + "#association" : id;
    json connector = NewConnector(item, key, keys[0], keys[1]);
    connector["clientAggregation"] = Aggregation(ends[1]);
    connector["supplierAggregation"] = Aggregation(ends[0]);
    connector["clientRole"] = Name(ends[0], IdOf(ends[0]));
    connector["clientMultiplicity"] = Multiplicity(ends[0]);
    connector["supplierRole"] = Name(ends[1], IdOf(ends[1]));
    connector["supplierMultiplicity"] = Multiplicity(ends[1]);
    Add(std::move(connector));
  }

  static bool HasBounds(const xmlNode* node) {
    for (const xmlNode* child : ChildElements(node)) {
      if (LocalName(child) == "lowerValue" || LocalName(child) == "upperValue") return true;
    }
    return false;
  }

  static int Aggregation(const xmlNode* property) {
    const std::string aggregation = PlainAttribute(property, "aggregation").value_or("none");
    if (aggregation == "shared") return 1;
    if (aggregation == "composite") return 2;
    return 0;
  }

  // A connector between two parts or ports. An end at a port of a part
  // (partWithPort, or the last property of a nested end's path) ends at that
  // part's instance of the port, as the flow-port rules expect to find it.
  void AddConnector(const ConnectorNode& item) {
    const std::string id = IdOf(item.node);
    std::vector<std::string> keys;
    std::vector<std::string> roles;
    std::vector<std::string> multiplicities;
    for (const xmlNode* end : ChildElements(item.node)) {
      if (LocalName(end) != "end") continue;
      std::vector<Reference> role = ReferencesOf(end, "role");
      if (role.empty()) continue;
      std::string key = KeyOf(*item.source, role.front());
      std::vector<Reference> holder = ReferencesOf(end, "partWithPort");
      if (holder.empty()) holder = NestedPath(*item.source, IdOf(end));
      if (!key.empty() && !holder.empty()) {
        const std::string holder_key = KeyOf(*item.source, holder.back());
        if (!holder_key.empty() && Item(key)["type"] == "Port") key = PortInstance(holder_key, key);
      }
      keys.push_back(key);
      roles.push_back(key.empty() ? "" : Item(key).value("name", std::string()));
      multiplicities.push_back(HasBounds(end) ? Multiplicity(end) : "");
    }
    if (keys.size() != 2 || keys[0].empty() || keys[1].empty()) {
      Missed("Connector", id);
      return;
    }
    json connector = NewConnector(item, id, keys[0], keys[1]);
    connector["clientRole"] = roles[0];
    connector["supplierRole"] = roles[1];
    if (!multiplicities[0].empty()) connector["clientMultiplicity"] = multiplicities[0];
    if (!multiplicities[1].empty()) connector["supplierMultiplicity"] = multiplicities[1];
    auto flow = realising_.find(id);
    if (flow != realising_.end()) {
      connector["stereotype"] = "itemFlow";
      ApplyConnectorTags(*flow->second.source, id, *flow->second.application);
    }
    Add(std::move(connector));
  }

  // The property path of a «NestedConnectorEnd» applied to the connector end.
  std::vector<Reference> NestedPath(Source& source, const std::string& end_id) {
    auto applications = source.applications.find(end_id);
    if (applications == source.applications.end()) return {};
    for (const Application& application : applications->second) {
      if (Lower(application.name) == "nestedconnectorend")
        return ReferencesOf(application.node, "propertyPath");
    }
    return {};
  }

  // The instance of the port `port_key` on the part `part_key`: a port
  // element owned by the part, classified by the port, with its type,
  // stereotype and tags.
  std::string PortInstance(const std::string& part_key, const std::string& port_key) {
    const std::string key = part_key + "/" + port_key;
    if (element_index_.contains(key)) return key;
    json instance = Item(port_key);
    instance["key"] = key;
    instance["parent"] = part_key;
    instance.erase("package");
    instance["classifier"] = port_key;
    instance["guid"] = GuidFor(main_->file_name, key);
    report_.Imported("Port instance on a part (for its connectors)");
    element_index_[key] = elements_.size();
    elements_.push_back(std::move(instance));
    ++report_.elements;
    return key;
  }

  // SysML 1.4 and later have no «ConstraintProperty»: a property typed by a
  // constraint block is one, and is one in the host.
  void AddDerivedConstraintProperties() {
    for (json& element : elements_) {
      if (element["type"] != "Part" || element.contains("stereotype") ||
          !element.contains("propertyType")) {
        continue;
      }
      const json& type = Item(element["propertyType"].get<std::string>());
      if (type.value("stereotype", std::string()) == "constraintBlock")
        element["stereotype"] = "constraintProperty";
    }
  }

  json Document() {
    for (const auto& [href, uses] : unresolved_uses_) {
      report_.unresolved.push_back(href + " (referenced " + std::to_string(uses) +
                                   (uses == 1 ? " time)" : " times)"));
    }
    json document = {{"format", "orba-model"}, {"version", 1}, {"technologies", {"SysML"}}};
    document["packages"] = json(packages_);
    document["elements"] = json(elements_);
    document["connectors"] = json(connectors_);
    return document;
  }

  struct OperationEnd {
    std::string owner_key;
    json operation;
  };

  struct RealisedFlow {
    std::string flow_id;
    const Application* application;
    Source* source;
  };

  const XmiOptions& options_;
  ImportReport& report_;
  std::shared_ptr<Source> main_;
  std::map<std::string, std::shared_ptr<Source>> sources_;  // by normalised path
  std::multimap<std::string, StereotypeNode> profile_stereotypes_;
  std::vector<json> packages_;
  std::vector<json> elements_;
  std::vector<json> connectors_;
  std::unordered_map<std::string, size_t> element_index_;
  std::unordered_map<std::string, size_t> connector_index_;
  std::unordered_map<std::string, std::string> aliases_;  // parameter node -> parameter
  std::vector<Deferred> deferred_;
  std::vector<Deferred> pending_tags_;
  std::vector<ConnectorNode> comments_;
  std::vector<ConnectorNode> connector_nodes_;
  std::unordered_map<std::string, RealisedFlow> realising_;  // connector id -> flow
  std::set<std::string> realised_flows_;
  std::set<std::string> referenced_files_;
  std::unordered_map<std::string, size_t> package_index_;
  std::map<const xmlNode*, std::string> generated_ids_;
  std::unordered_map<std::string, OperationEnd> operations_;
  std::map<std::string, size_t> unresolved_uses_;
  bool has_unresolved_package_ = false;
};

}  // namespace

bool LooksLikeXml(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && text[first] == '<';
}

XmiImport ReadXmi(std::string_view text, const std::string& path, const XmiOptions& options) {
  XmiImport result;
  result.document = Reader(options, result.report).Read(text, path);
  // The diagrams Papyrus keeps beside the model.
  const std::string notation_path = NotationFileOf(path);
  if (options.read_file && notation_path != path) {
    if (std::optional<std::string> notation = options.read_file(notation_path))
      AddNotationDiagrams(*notation, notation_path, result.document, result.report);
  }
  return result;
}

std::map<std::string, std::string> ReadStereotypeMap(std::string_view text,
                                                     const std::string& path) {
  std::map<std::string, std::string> map;
  size_t line_number = 0;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    start = end + 1;
    ++line_number;
    if (const size_t comment = line.find('#'); comment != std::string::npos) line.erase(comment);
    auto trim = [](std::string value) {
      const size_t first = value.find_first_not_of(" \t\r");
      if (first == std::string::npos) return std::string();
      return value.substr(first, value.find_last_not_of(" \t\r") - first + 1);
    };
    line = trim(line);
    if (line.empty()) continue;
    const std::string place = path + ":" + std::to_string(line_number) + ": ";
    const size_t equals = line.find('=');
    const std::string name = equals == std::string::npos ? "" : trim(line.substr(0, equals));
    const std::string sysml = equals == std::string::npos ? "" : trim(line.substr(equals + 1));
    if (name.empty() || sysml.empty()) {
      throw XmiError(place + "expected \"STEREOTYPE = SYSML STEREOTYPE\", found \"" +
                     base::EscapeControlCharacters(line) + "\"");
    }
    if (!HostStereotypeFor(sysml)) {
      throw XmiError(place + "\"" + base::EscapeControlCharacters(sysml) +
                     "\" is not a SysML stereotype that the host represents");
    }
    map[name] = sysml;
  }
  return map;
}

}  // namespace orba::interchange
