// The XMI writer. It reads the whole document first (every key, owner and
// reference, so that a bad document fails before anything is written), gives
// every item its xmi:id, decides where each relationship is owned, and then
// writes the packages with their contents nested as UML owns them, followed
// by the stereotype applications at the top level of the file.
//
// What the XMI import turns back into items is written as UML says; what it
// builds by itself is written as the source it builds it from: a port of a
// part ("part/port" in an imported model) as a connector end with
// partWithPort, a «testCase» operation at a relationship's end as the
// operation, a stand-in for an unresolved reference as the href it stands for.
#include "orba/interchange/xmi_writer.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <set>
#include <string_view>

#include "base/text.h"
#include "base/xml_escape.h"
#include "orba/interchange/host_extension.h"
#include "orba/interchange/sysml_stereotypes.h"

namespace orba::interchange {
namespace {

using nlohmann::json;

constexpr std::string_view kXmiNamespace = "http://www.omg.org/spec/XMI/20131001";
constexpr std::string_view kUmlNamespace = "http://www.omg.org/spec/UML/20161101";
constexpr std::string_view kSysmlNamespace = "http://www.omg.org/spec/SysML/20181001/SysML";
constexpr std::string_view kStandardProfileNamespace =
    "http://www.omg.org/spec/UML/20161101/StandardProfile";
constexpr std::string_view kPrimitiveTypes =
    "http://www.omg.org/spec/UML/20161101/PrimitiveTypes.xmi#";
// Prefixes of further stereotypes whose profile the document does not name.
constexpr std::string_view kOtherProfiles = "urn:orba:profile:";

// A host stereotype as a stereotype of SysML 1.6 (or of the UML's standard
// profile, where SysML takes «trace» and «refine» from). Unit and
// QuantityKind are written as stereotypes, as SysML 1.1 had them, so that the
// host's units and dimensions keep their stereotype.
struct ProfileStereotype {
  std::string_view host;
  std::string_view name;
  bool standard_profile;
};

// clang-format off
constexpr std::array kProfileStereotypes = {
    ProfileStereotype{"block", "Block", false},
    ProfileStereotype{"constraintBlock", "ConstraintBlock", false},
    ProfileStereotype{"constraintProperty", "ConstraintProperty", false},
    ProfileStereotype{"valueType", "ValueType", false},
    ProfileStereotype{"unit", "Unit", false},
    ProfileStereotype{"dimension", "QuantityKind", false},
    ProfileStereotype{"flowPort", "FlowPort", false},
    ProfileStereotype{"flowProperty", "FlowProperty", false},
    ProfileStereotype{"flowSpecification", "FlowSpecification", false},
    ProfileStereotype{"itemFlow", "ItemFlow", false},
    ProfileStereotype{"requirement", "Requirement", false},
    ProfileStereotype{"extendedRequirement", "ExtendedRequirement", false},
    ProfileStereotype{"functionalRequirement", "FunctionalRequirement", false},
    ProfileStereotype{"interfaceRequirement", "InterfaceRequirement", false},
    ProfileStereotype{"performanceRequirement", "PerformanceRequirement", false},
    ProfileStereotype{"physicalRequirement", "PhysicalRequirement", false},
    ProfileStereotype{"designRequirement", "DesignRequirement", false},
    ProfileStereotype{"testCase", "TestCase", false},
    ProfileStereotype{"satisfy", "Satisfy", false},
    ProfileStereotype{"verify", "Verify", false},
    ProfileStereotype{"derive", "DeriveReqt", false},
    ProfileStereotype{"copy", "Copy", false},
    ProfileStereotype{"refine", "Refine", true},
    ProfileStereotype{"trace", "Trace", true},
    ProfileStereotype{"allocate", "Allocate", false},
    ProfileStereotype{"allocateActivityPartition", "AllocateActivityPartition", false},
    ProfileStereotype{"view", "View", false},
    ProfileStereotype{"viewpoint", "Viewpoint", false},
    ProfileStereotype{"conform", "Conform", false},
    ProfileStereotype{"problem", "Problem", false},
    ProfileStereotype{"rationale", "Rationale", false},
    ProfileStereotype{"optional", "Optional", false},
    ProfileStereotype{"probability", "Probability", false},
    ProfileStereotype{"continuous", "Continuous", false},
    ProfileStereotype{"discrete", "Discrete", false},
    ProfileStereotype{"controlOperator", "ControlOperator", false},
    ProfileStereotype{"noBuffer", "NoBuffer", false},
    ProfileStereotype{"overwrite", "Overwrite", false},
};

// The UML metaclass of an element of a host type, when the element does not
// name its own (umlKind).
const std::map<std::string, std::string, std::less<>>& UmlKindsOfHostTypes() {
  static const std::map<std::string, std::string, std::less<>> kinds = {
      {"Class", "Class"},                 {"Interface", "Interface"},
      {"Signal", "Signal"},               {"Component", "Component"},
      {"Actor", "Actor"},                 {"UseCase", "UseCase"},
      {"Activity", "Activity"},           {"StateMachine", "StateMachine"},
      {"Interaction", "Interaction"},     {"OpaqueBehavior", "OpaqueBehavior"},
      {"FunctionBehavior", "FunctionBehavior"}, {"Object", "InstanceSpecification"},
      {"Part", "Property"},               {"Port", "Port"},
      {"ActivityPartition", "ActivityPartition"}, {"ActivityInitial", "InitialNode"},
      {"ActivityFinal", "ActivityFinalNode"}, {"FlowFinal", "FlowFinalNode"},
      {"Decision", "DecisionNode"},       {"MergeNode", "MergeNode"},
      {"Synchronization", "ForkNode"},    {"DataStore", "DataStoreNode"},
      {"CentralBufferNode", "CentralBufferNode"}, {"State", "State"},
      {"StateNode", "Pseudostate"},       {"Constraint", "Constraint"},
      {"Node", "Node"},                   {"Device", "Device"},
      {"Artifact", "Artifact"},           {"Collaboration", "Collaboration"},
      {"Action", "OpaqueAction"},         {"ActionPin", "InputPin"},
      {"ActivityParameter", "Parameter"}, {"Requirement", "Class"},
      {"Note", "Comment"},                {"Operation", "Operation"}};
  return kinds;
}
// clang-format on

// The stereotypes SysML's Abstraction relationships carry.
bool IsAbstractionStereotype(std::string_view stereotype) {
  static const std::set<std::string_view> kAbstractions = {
      "allocate", "satisfy", "verify", "derive", "refine", "trace", "copy"};
  return kAbstractions.contains(stereotype);
}

// Metaclasses whose elements carry a multiplicity.
bool IsMultiplicityKind(std::string_view kind) {
  return kind == "Property" || kind == "Port" || kind == "Parameter" || kind.ends_with("Pin");
}

bool IsBehaviourKind(std::string_view kind) {
  return kind == "Activity" || kind == "StateMachine" || kind == "Interaction" ||
         kind == "OpaqueBehavior" || kind == "FunctionBehavior";
}

// Kinds an activity owns as nodes.
bool IsActivityNodeKind(std::string_view kind) {
  return kind.ends_with("Action") || kind.ends_with("Node") || kind.ends_with("Pin");
}

std::string Escaped(std::string_view text) {
  return base::EscapeXml(text, base::XmlEscaping::kAttribute);
}

// A valid XML name part made from `text`: other characters become "_".
std::string XmlNamePart(std::string_view text) {
  std::string name;
  for (char character : text) {
    const bool ascii_name = (character >= 'a' && character <= 'z') ||
                            (character >= 'A' && character <= 'Z') ||
                            (character >= '0' && character <= '9') || character == '_' ||
                            character == '-' || character == '.';
    name += ascii_name ? character : '_';
  }
  if (name.empty() || !((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= 'A' && name[0] <= 'Z') ||
                        name[0] == '_')) {
    name.insert(0, "_");
  }
  return name;
}

// An XMI element: `open` is its start tag without the closing ">", `body`
// what it holds; one without a body closes itself.
std::string XmlElement(const std::string& open, const std::string& tag, const std::string& body) {
  return body.empty() ? open + "/>\n" : open + ">\n" + body + "</" + tag + ">\n";
}

// The bounds of a multiplicity ("1", "0..1", "1..*"): XMI's default is 1, so
// "1" needs none.
std::string Bounds(const std::string& multiplicity, bool always) {
  if (multiplicity.empty() || (multiplicity == "1" && !always)) return "";
  const size_t dots = multiplicity.find("..");
  const std::string lower = dots == std::string::npos ? multiplicity : multiplicity.substr(0, dots);
  const std::string upper =
      dots == std::string::npos ? multiplicity : multiplicity.substr(dots + 2);
  return "<lowerValue xmi:type=\"uml:LiteralInteger\" value=\"" + Escaped(lower) +
         "\"/><upperValue xmi:type=\"uml:LiteralUnlimitedNatural\" value=\"" + Escaped(upper) +
         "\"/>";
}

class Writer {
 public:
  explicit Writer(const json& document) : document_(document) {}

  XmiExport Write() {
    if (!document_.is_object()) throw XmiError("the model document is not a JSON object");
    ReadItems();
    ChooseSysmlPrefix();
    FindDerivedItems();
    AssignIds();
    MatchAssociationEnds();
    PlaceConnectors();
    std::string body;
    for (size_t package = 0; package < packages_.size(); ++package) {
      if (packages_[package].parent < 0 && !packages_[package].omitted) WritePackage(package, body);
    }
    if (!unplaced_.empty() && FirstRoot() < 0) WriteModelForUnplaced(body);
    for (const Item& package : packages_) {
      if (!package.written && !package.omitted)
        throw XmiError(package.place + ".parent: a loop of packages");
    }
    for (size_t element = 0; element < elements_.size(); ++element) {
      const Item& item = elements_[element];
      if (item.written || item.omitted) continue;
      const int owner = Ancestor(item.parent, [](const Item& holder) { return holder.omitted; });
      if (owner < 0) throw XmiError(item.place + ".parent: a loop of owners");
      NotCarried(item, "owned by an item written as a reference; not written");
    }
    XmiExport result;
    result.text = Header() + body + applications_ + HostExtensionXml(records_) + "</xmi:XMI>\n";
    result.not_carried = std::move(not_carried_);
    return result;
  }

 private:
  struct Item {
    const json* data = nullptr;
    std::string place;  // "elements[3]"
    std::string key;
    std::string id;
    int parent = -1;   // packages: the parent package; elements: the parent element
    int package = -1;  // elements: the package
    std::string kind;  // the UML metaclass
    std::vector<size_t> children;
    std::vector<size_t> packages;    // packages: the sub-packages
    std::vector<size_t> connectors;  // the connectors this item owns
    bool omitted = false;            // built by the import by itself
    bool written = false;
    bool type_recorded = false;  // its host type does not follow from its metaclass
    bool entry = false;          // an operation in its owner's list, not an item
    std::string read_back_as;    // the xmi:id the import gives it, when not its own
  };

  // --- Reading the document -------------------------------------------------

  const json& List(const char* name) {
    static const json kEmpty = json::array();
    auto found = document_.find(name);
    if (found == document_.end()) return kEmpty;
    if (!found->is_array()) throw XmiError(std::string(name) + ": expected a list");
    return *found;
  }

  static std::string Text(const Item& item, const char* field) {
    auto found = item.data->find(field);
    if (found == item.data->end() || found->is_null()) return "";
    if (!found->is_string()) throw XmiError(item.place + "." + field + ": expected a text");
    return found->get<std::string>();
  }

  static int Number(const Item& item, const char* field) {
    auto found = item.data->find(field);
    if (found == item.data->end()) return 0;
    if (!found->is_number_integer())
      throw XmiError(item.place + "." + field + ": expected a whole number");
    return found->get<int>();
  }

  // The list `field` of the item, whose entries are objects.
  static const json& Entries(const Item& item, const char* field) {
    static const json kEmpty = json::array();
    auto found = item.data->find(field);
    if (found == item.data->end()) return kEmpty;
    if (!found->is_array()) throw XmiError(item.place + "." + field + ": expected a list");
    for (const json& entry : *found) {
      if (!entry.is_object() && !entry.is_string())
        throw XmiError(item.place + "." + field + ": expected objects");
    }
    return *found;
  }

  static std::string EntryText(const json& entry, const char* field, const std::string& place) {
    auto found = entry.find(field);
    if (found == entry.end()) return "";
    if (!found->is_string()) throw XmiError(place + "." + field + ": expected a text");
    return found->get<std::string>();
  }

  std::vector<Item> ReadList(const char* name) {
    std::vector<Item> items;
    for (const json& data : List(name)) {
      Item item;
      item.data = &data;
      item.place = std::string(name) + "[" + std::to_string(items.size()) + "]";
      if (!data.is_object()) throw XmiError(item.place + ": expected an object");
      item.key = Text(item, "key");
      if (item.key.empty()) throw XmiError(item.place + ".key: missing");
      if (!keys_.insert(item.key).second)
        throw XmiError(item.place + ".key: duplicate key \"" + item.key + "\"");
      items.push_back(std::move(item));
    }
    return items;
  }

  static std::map<std::string, size_t> Index(const std::vector<Item>& items) {
    std::map<std::string, size_t> index;
    for (size_t at = 0; at < items.size(); ++at) index[items[at].key] = at;
    return index;
  }

  // The index of the item `field` names in `index`; -1 when it names none.
  static int Find(const Item& item, const char* field, const std::map<std::string, size_t>& index,
                  bool required = true) {
    const std::string key = Text(item, field);
    if (key.empty()) return -1;
    auto found = index.find(key);
    if (found == index.end()) {
      if (!required) return -1;
      throw XmiError(item.place + "." + field + ": unknown key \"" + key + "\"");
    }
    return static_cast<int>(found->second);
  }

  void ReadItems() {
    packages_ = ReadList("packages");
    elements_ = ReadList("elements");
    connectors_ = ReadList("connectors");
    package_index_ = Index(packages_);
    element_index_ = Index(elements_);
    for (Item& package : packages_) {
      package.parent = Find(package, "parent", package_index_);
      package.kind = Text(package, "stereotype") == "model" ? "Model" : "Package";
    }
    for (size_t package = 0; package < packages_.size(); ++package) {
      if (packages_[package].parent >= 0)
        packages_[static_cast<size_t>(packages_[package].parent)].packages.push_back(package);
    }
    for (Item& element : elements_) {
      element.package = Find(element, "package", package_index_);
      element.parent = Find(element, "parent", element_index_);
      element.kind = UmlKindOf(element);
      for (const char* field : {"classifier", "propertyType"}) Find(element, field, element_index_);
    }
    for (Item& connector : connectors_) {
      for (const char* end : {"client", "supplier"}) {
        if (Find(connector, end, element_index_, false) < 0 &&
            Find(connector, end, package_index_, false) < 0 && !Text(connector, end).empty()) {
          throw XmiError(connector.place + "." + end + ": unknown key \"" + Text(connector, end) +
                         "\"");
        }
      }
    }
    for (size_t element = 0; element < elements_.size(); ++element) {
      if (std::string guid = Text(elements_[element], "guid"); !guid.empty())
        element_by_guid_.emplace(guid, element);
      element_by_name_.emplace(Text(elements_[element], "name"), element);
    }
  }

  // The prefix of SysML's profile: the one the source file gave it, as its
  // further stereotypes of SysML show ("sysml:Block"), so that they keep it.
  void ChooseSysmlPrefix() {
    for (const std::vector<Item>* list : {&packages_, &elements_, &connectors_}) {
      for (const Item& item : *list) {
        for (const json& stereotype : Entries(item, "stereotypes")) {
          if (!stereotype.is_string()) continue;
          const std::string text = stereotype.get<std::string>();
          const size_t colon = text.find(':');
          if (colon == std::string::npos) continue;
          const std::string prefix = XmlNamePart(text.substr(0, colon));
          const std::string name = text.substr(colon + 1);
          const bool sysml = std::any_of(kProfileStereotypes.begin(), kProfileStereotypes.end(),
                                         [&name](const ProfileStereotype& known) {
                                           return !known.standard_profile && known.name == name;
                                         });
          if (sysml && base::AsciiLowerCase(prefix) == "sysml" && prefix != "StandardProfile") {
            sysml_prefix_ = prefix;
            return;
          }
        }
      }
    }
  }

  std::string UmlKindOf(Item& element) {
    const std::string kind = Text(element, "umlKind");
    if (!kind.empty()) return XmlNamePart(kind);
    const std::string type = Text(element, "type");
    const std::string stereotype = Text(element, "stereotype");
    if (type == "Class" && (stereotype == "dataType" || stereotype == "valueType"))
      return "DataType";
    if (type == "Class" && stereotype == "enumeration") return "Enumeration";
    if (type == "Action" && !Text(element, "classifier").empty()) return "CallBehaviorAction";
    auto found = UmlKindsOfHostTypes().find(type);
    if (found != UmlKindsOfHostTypes().end()) return found->second;
    element.type_recorded = true;
    return "Class";
  }

  // --- Items the import builds by itself --------------------------------------

  void FindDerivedItems() {
    std::set<std::string> connector_ends;
    for (const Item& connector : connectors_) {
      if (Text(connector, "type") != "Connector") continue;
      connector_ends.insert(Text(connector, "client"));
      connector_ends.insert(Text(connector, "supplier"));
    }
    for (Item& element : elements_) {
      const std::string xmi_id = Text(element, "xmiId");
      const bool stands_for_href = xmi_id.find('#') != std::string::npos;
      if (stands_for_href && element.parent < 0) {
        element.omitted = true;
        hrefs_[&element - elements_.data()] = xmi_id;
      } else if (IsPortOfPart(element)) {
        element.omitted = true;
        if (!connector_ends.contains(element.key))
          NotCarried(element, "a port of a part is written only as the end of its connectors");
      } else if (element.kind == "Operation" && element.parent >= 0) {
        const Item& owner = elements_[static_cast<size_t>(element.parent)];
        const json& operations = Entries(owner, "operations");
        for (size_t at = 0; at < operations.size(); ++at) {
          if (!xmi_id.empty() && EntryText(operations[at], "xmiId", owner.place) == xmi_id) {
            element.omitted = true;
            operation_elements_[&element - elements_.data()] = {static_cast<size_t>(element.parent),
                                                                at};
          }
        }
      }
    }
    for (size_t element = 0; element < elements_.size(); ++element) {
      Item& item = elements_[element];
      if (item.omitted) continue;
      if (item.parent >= 0) {
        elements_[static_cast<size_t>(item.parent)].children.push_back(element);
      } else if (item.package >= 0) {
        packages_[static_cast<size_t>(item.package)].children.push_back(element);
      } else {
        unplaced_.push_back(element);
      }
    }
    // A package that only holds stand-ins for hrefs is the import's own.
    for (size_t package = 0; package < packages_.size(); ++package) {
      Item& item = packages_[package];
      bool only_hrefs =
          item.children.empty() && item.packages.empty() && Text(item, "xmiId").empty();
      bool any = false;
      for (const auto& [element, href] : hrefs_) {
        if (elements_[element].package == static_cast<int>(package)) any = true;
      }
      item.omitted = only_hrefs && any;
    }
  }

  // A port of a part: the part's instance of a port of the part's type.
  bool IsPortOfPart(const Item& element) const {
    if (Text(element, "type") != "Port" || element.parent < 0) return false;
    const std::string classifier = Text(element, "classifier");
    auto port = element_index_.find(classifier);
    return port != element_index_.end() && Text(elements_[port->second], "type") == "Port" &&
           port->second != static_cast<size_t>(&element - elements_.data());
  }

  // --- Ids --------------------------------------------------------------------

  bool UsableId(const std::string& id) const {
    return !id.empty() && id.find_first_of(" \t\r\n") == std::string::npos && !ids_.contains(id);
  }

  // A new id from the GUID (or, without one, from `seed`), unique in the file.
  std::string NewId(const std::string& guid, const std::string& seed) {
    std::string base = guid;
    std::erase_if(base, [](char character) { return character == '{' || character == '}'; });
    base = XmlNamePart(base.empty() ? seed : "_" + base);
    std::string id = base;
    for (int suffix = 2; !UsableId(id); ++suffix) id = base + "_" + std::to_string(suffix);
    ids_.insert(id);
    return id;
  }

  void AssignIds() {
    GroupPairs();
    std::vector<Item*> items;
    for (std::vector<Item>* list : {&packages_, &elements_, &connectors_}) {
      for (Item& item : *list) {
        if (!item.omitted && !grouped_.contains(&item)) items.push_back(&item);
      }
    }
    for (Item* item : items) {
      if (const std::string xmi_id = Text(*item, "xmiId"); UsableId(xmi_id)) {
        item->id = xmi_id;
        ids_.insert(xmi_id);
      }
    }
    // Operations keep theirs too, before any id is made.
    for (const Item& element : elements_) {
      const json& operations = Entries(element, "operations");
      for (size_t at = 0; at < operations.size(); ++at) {
        const std::string xmi_id = EntryText(operations[at], "xmiId", element.place);
        if (UsableId(xmi_id)) {
          operation_ids_[{static_cast<size_t>(&element - elements_.data()), at}] = xmi_id;
          ids_.insert(xmi_id);
        }
      }
    }
    for (Item* item : items) {
      if (item->id.empty()) item->id = NewId(Text(*item, "guid"), item->key);
    }
    for (Item& element : elements_) {
      const json& operations = Entries(element, "operations");
      for (size_t at = 0; at < operations.size(); ++at) {
        std::string& id = operation_ids_[{static_cast<size_t>(&element - elements_.data()), at}];
        if (id.empty())
          id = NewId(EntryText(operations[at], "guid", element.place), element.id + "_operation");
      }
    }
    for (const auto& [element, operation] : operation_elements_)
      elements_[element].id = operation_ids_.at(operation);
    for (const Item& element : elements_) {
      if (element.kind == "Parameter" && element.parent >= 0 &&
          elements_[static_cast<size_t>(element.parent)].kind == "Activity") {
        parameter_nodes_[element.id] = NewId("", element.id + "_node");
      }
    }
  }

  // Relationships that the import made one per client and supplier pair of
  // one XMI relationship (they share its xmiId) are written as that one
  // relationship again, when the pairs are all pairs of its clients and
  // suppliers.
  void GroupPairs() {
    std::map<std::string, std::vector<size_t>> by_xmi_id;
    for (size_t connector = 0; connector < connectors_.size(); ++connector) {
      const Item& item = connectors_[connector];
      const std::string type = Text(item, "type");
      if (type == "Association" || type == "Connector" || type == "Generalization") continue;
      if (const std::string xmi_id = Text(item, "xmiId"); !xmi_id.empty())
        by_xmi_id[xmi_id + "\n" + type + "\n" + Text(item, "stereotype")].push_back(connector);
    }
    for (const auto& [xmi_id, members] : by_xmi_id) {
      if (members.size() < 2) continue;
      std::vector<std::string> clients;
      std::vector<std::string> suppliers;
      std::set<std::pair<std::string, std::string>> pairs;
      for (size_t member : members) {
        const std::string client = Text(connectors_[member], "client");
        const std::string supplier = Text(connectors_[member], "supplier");
        if (std::find(clients.begin(), clients.end(), client) == clients.end())
          clients.push_back(client);
        if (std::find(suppliers.begin(), suppliers.end(), supplier) == suppliers.end())
          suppliers.push_back(supplier);
        pairs.insert({client, supplier});
      }
      if (pairs.size() != members.size() || pairs.size() != clients.size() * suppliers.size())
        continue;
      groups_[members.front()] = {clients, suppliers};
      for (size_t member = 1; member < members.size(); ++member)
        grouped_.insert(&connectors_[members[member]]);
    }
  }

  // The xmi:id a reference to the element uses; "" for an href stand-in.
  std::string IdOf(size_t element) const {
    if (hrefs_.contains(element)) return "";
    const Item& item = elements_[element];
    if (item.omitted && !operation_elements_.contains(element)) {
      // A port of a part is referred to as the port it is an instance of.
      return elements_[element_index_.at(Text(item, "classifier"))].id;
    }
    return item.id;
  }

  // The reference `name` to the element with the key, as an attribute or, for
  // an href stand-in, as a child element; both empty when `key` is empty.
  std::pair<std::string, std::string> Reference(const char* name, const std::string& key) const {
    if (key.empty()) return {};
    auto element = element_index_.find(key);
    if (element == element_index_.end()) {
      return {
          std::string(" ") + name + "=\"" + Escaped(packages_[package_index_.at(key)].id) + "\"",
          ""};
    }
    auto href = hrefs_.find(element->second);
    if (href != hrefs_.end())
      return {"", std::string("<") + name + " href=\"" + Escaped(href->second) + "\"/>"};
    return {std::string(" ") + name + "=\"" + Escaped(IdOf(element->second)) + "\"", ""};
  }

  // --- Association ends -----------------------------------------------------------

  // The ends of each association: a property of the document where one has
  // the end's type, role and multiplicity (UML lets a class own the end as
  // its attribute), else an end the association owns. An association class
  // holds the association imported with its xmiId.
  void MatchAssociationEnds() {
    std::multimap<std::pair<std::string, std::string>, size_t> properties;
    for (size_t element = 0; element < elements_.size(); ++element) {
      const Item& item = elements_[element];
      if (item.omitted || Text(item, "type") != "Part") continue;
      properties.emplace(std::pair{Text(item, "propertyType"), Text(item, "name")}, element);
    }
    std::map<std::string, size_t> association_classes;
    for (size_t element = 0; element < elements_.size(); ++element) {
      if (elements_[element].kind == "AssociationClass")
        association_classes[Text(elements_[element], "xmiId")] = element;
    }
    for (size_t connector = 0; connector < connectors_.size(); ++connector) {
      Item& item = connectors_[connector];
      if (Text(item, "type") != "Association") continue;
      auto holder = association_classes.find(Text(item, "xmiId"));
      if (holder != association_classes.end() && !Text(item, "xmiId").empty()) {
        association_of_class_[holder->second] = connector;
        item.omitted = true;
        item.id = elements_[holder->second].id;
      }
      std::array<int, 2> ends = {-1, -1};
      for (size_t end = 0; end < 2; ++end) {
        const std::string side = end == 0 ? "client" : "supplier";
        std::string multiplicity = Text(item, (side + "Multiplicity").c_str());
        if (multiplicity.empty()) multiplicity = "1";
        auto [first, last] =
            properties.equal_range({Text(item, side.c_str()), Text(item, (side + "Role").c_str())});
        for (auto it = first; it != last; ++it) {
          std::string own = Text(elements_[it->second], "multiplicity");
          if ((own.empty() ? "1" : own) != multiplicity || end_of_.contains(it->second)) continue;
          ends[end] = static_cast<int>(it->second);
          end_of_[it->second] = {connector, end};
          break;
        }
      }
      association_ends_[connector] = ends;
    }
  }

  // The attributes a property gets as the end of an association.
  std::string AsAssociationEnd(size_t element) const {
    auto end = end_of_.find(element);
    if (end == end_of_.end()) return "";
    const Item& association = connectors_[end->second.first];
    const int value =
        Number(association, end->second.second == 0 ? "supplierAggregation" : "clientAggregation");
    return std::string(value == 1   ? " aggregation=\"shared\""
                       : value == 2 ? " aggregation=\"composite\""
                                    : "") +
           " association=\"" + Escaped(association.id) + "\"";
  }

  // --- Where relationships are owned -----------------------------------------

  // The nearest element from `element` up its owners whose kind passes
  // `test`; -1 when none does.
  int Ancestor(int element, const std::function<bool(const Item&)>& test) const {
    for (int at = element, steps = 0; at >= 0 && steps <= static_cast<int>(elements_.size());
         at = elements_[static_cast<size_t>(at)].parent, ++steps) {
      if (test(elements_[static_cast<size_t>(at)])) return at;
    }
    return -1;
  }

  // The package that holds `element`, up its owners; -1 when none.
  int PackageOf(int element) const {
    const int top = Ancestor(element, [](const Item& item) { return item.parent < 0; });
    return top < 0 ? -1 : elements_[static_cast<size_t>(top)].package;
  }

  void PlaceConnectors() {
    for (size_t connector = 0; connector < connectors_.size(); ++connector) {
      Item& item = connectors_[connector];
      if (grouped_.contains(&item) || item.omitted) continue;
      const std::string type = Text(item, "type");
      const std::string client_key = Text(item, "client");
      const int client = element_index_.contains(client_key)
                             ? static_cast<int>(element_index_.at(client_key))
                             : -1;
      if (client_key.empty() || Text(item, "supplier").empty()) {
        NotCarried(item, "a connector without both ends is not written");
        item.omitted = true;
        continue;
      }
      int owner = -1;
      if (type == "Generalization") {
        owner = client >= 0 && !elements_[static_cast<size_t>(client)].omitted ? client : -1;
      } else if (type == "Connector") {
        const int end = client >= 0 && elements_[static_cast<size_t>(client)].omitted &&
                                !hrefs_.contains(static_cast<size_t>(client))
                            ? elements_[static_cast<size_t>(client)].parent
                            : client;
        owner = end >= 0 ? Ancestor(elements_[static_cast<size_t>(end)].parent,
                                    [](const Item& holder) {
                                      return holder.kind == "Class" || holder.kind == "Component";
                                    })
                         : -1;
      } else if (type == "ControlFlow" || type == "ObjectFlow") {
        owner = Ancestor(client, [](const Item& holder) { return holder.kind == "Activity"; });
      } else if (type == "StateFlow") {
        owner = Ancestor(client, [](const Item& holder) { return holder.kind == "StateMachine"; });
      }
      if (owner >= 0) {
        elements_[static_cast<size_t>(owner)].connectors.push_back(connector);
        continue;
      }
      int package =
          client >= 0 ? PackageOf(client) : static_cast<int>(package_index_.at(client_key));
      if (client >= 0 && hrefs_.contains(static_cast<size_t>(client))) package = -1;
      if (package < 0 || packages_[static_cast<size_t>(package)].omitted) package = FirstRoot();
      if (package < 0) {
        NotCarried(item, "no package to hold it; not written");
        item.omitted = true;
        continue;
      }
      if (type == "Generalization" && client >= 0) {
        NotCarried(item, "the generalization of an item the file does not hold; not written");
        item.omitted = true;
        continue;
      }
      packages_[static_cast<size_t>(package)].connectors.push_back(connector);
    }
  }

  int FirstRoot() const {
    for (size_t package = 0; package < packages_.size(); ++package) {
      if (packages_[package].parent < 0 && !packages_[package].omitted)
        return static_cast<int>(package);
    }
    return -1;
  }

  // --- Writing ----------------------------------------------------------------

  std::string Header() const {
    std::string header =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<xmi:XMI xmlns:xmi=\"" +
        std::string(kXmiNamespace) + "\" xmlns:uml=\"" + std::string(kUmlNamespace) +
        "\" xmlns:" + sysml_prefix_ + "=\"" + std::string(kSysmlNamespace) +
        "\" xmlns:StandardProfile=\"" + std::string(kStandardProfileNamespace) + "\"";
    for (const std::string& prefix : other_prefixes_)
      header += " xmlns:" + prefix + "=\"" + std::string(kOtherProfiles) + prefix + "\"";
    return header + ">\n";
  }

  void NotCarried(const Item& item, const std::string& what) {
    not_carried_.push_back(item.place + " (\"" + Text(item, "name") + "\"): " + what);
  }

  // The opening of an item's XMI element: tag, type, id, uuid and name.
  std::string Open(const std::string& tag, const std::string& kind, const Item& item) {
    std::string text =
        "<" + tag + " xmi:type=\"uml:" + kind + "\" xmi:id=\"" + Escaped(item.id) + "\"";
    if (const std::string guid = Text(item, "guid"); !guid.empty())
      text += " xmi:uuid=\"" + Escaped(guid) + "\"";
    if (item.data->contains("name")) text += " name=\"" + Escaped(Text(item, "name")) + "\"";
    return text;
  }

  void WritePackage(size_t package, std::string& out) {
    Item& item = packages_[package];
    item.written = true;
    const bool top = item.parent < 0;
    const std::string tag = top ? "uml:" + item.kind : "packagedElement";
    std::string body;
    WriteNotes(item, body);
    for (size_t child : item.packages) {
      if (!packages_[child].omitted) WritePackage(child, body);
    }
    for (size_t element : item.children) WriteElement(element, item.kind, body);
    if (static_cast<int>(package) == FirstRoot()) {
      for (size_t element : unplaced_) {
        NotCarried(elements_[element], "an element without a package is written in the first one");
        WriteElement(element, item.kind, body);
      }
    }
    for (size_t connector : item.connectors) WriteConnector(connector, body);
    out += XmlElement(Open(tag, item.kind, item), tag, body);
    Apply(item, "Package");
  }

  // Elements without a package, in a document without packages, go into a
  // model of their own.
  void WriteModelForUnplaced(std::string& out) {
    out += "<uml:Model xmi:type=\"uml:Model\" xmi:id=\"" + Escaped(NewId("", "model")) +
           "\" name=\"Model\">\n";
    for (size_t element : unplaced_) {
      NotCarried(elements_[element], "an element without a package is written in a new model");
      WriteElement(element, "Model", out);
    }
    out += "</uml:Model>\n";
  }

  static std::string ChildTag(const std::string& owner, const std::string& kind) {
    if (kind == "Comment") return "ownedComment";
    if (owner == "Model" || owner == "Package") return "packagedElement";
    if (owner == "Activity") {
      if (kind == "Parameter") return "ownedParameter";
      if (kind == "ActivityPartition") return "group";
      if (IsActivityNodeKind(kind)) return "node";
    }
    if (kind.ends_with("Pin")) return kind == "OutputPin" ? "output" : "input";
    if (owner == "StateMachine" || owner == "State") return "subvertex";
    if (kind == "Property" || kind == "Port") return "ownedAttribute";
    if (kind == "Parameter") return "ownedParameter";
    if (kind == "Operation") return "ownedOperation";
    if (kind == "Constraint") return "ownedRule";
    if (IsBehaviourKind(kind)) return "ownedBehavior";
    if (owner == "ActivityPartition") return "subpartition";
    return "nestedClassifier";
  }

  void WriteElement(size_t element, const std::string& owner_kind, std::string& out) {
    Item& item = elements_[element];
    if (item.written) throw XmiError(item.place + ".parent: a loop of owners");
    item.written = true;
    const std::string& kind = item.kind;
    if (kind == "Operation") {
      WriteOperationElement(item, out);
      return;
    }
    const std::string tag = ChildTag(owner_kind, kind);
    std::string attributes;
    std::string references;
    if (Text(item, "abstract") == "1") attributes += " isAbstract=\"true\"";
    attributes += AsAssociationEnd(element);
    auto association = association_of_class_.find(element);
    std::string association_ends;
    if (association != association_of_class_.end())
      association_ends = AssociationEnds(connectors_[association->second], attributes);
    for (const auto& [field, name] :
         {std::pair{"propertyType", "type"},
          std::pair{"classifier", kind == "CallBehaviorAction" ? "behavior" : "classifier"}}) {
      auto [attribute, child] = Reference(name, Text(item, field));
      attributes += attribute;
      references += child;
    }
    std::string body = references + association_ends;
    if (IsMultiplicityKind(kind)) body += Bounds(Text(item, "multiplicity"), false);
    if (kind == "Comment") {
      body +=
          "<body>" + base::EscapeXml(Text(item, "notes"), base::XmlEscaping::kText) + "</body>\n";
    } else if (!IsRequirementStereotype(Text(item, "stereotype"))) {
      WriteNotes(item, body);
    }
    WriteAttributes(item, body);
    WriteOperations(element, body);
    std::string region;
    for (size_t child : item.children)
      WriteElement(child, kind, kind == "StateMachine" ? region : body);
    for (size_t connector : item.connectors)
      WriteConnector(connector, kind == "StateMachine" ? region : body);
    if (!region.empty()) {
      const std::string id = NewId("", item.id + "_region");
      body += XmlElement("<region xmi:type=\"uml:Region\" xmi:id=\"" + Escaped(id) + "\"", "region",
                         region);
    }
    if (kind == "Activity") WriteParameterNodes(item, body);
    out += XmlElement(Open(tag, kind, item) + attributes, tag, body);
    Apply(item, kind);
  }

  // An operation that stood as an element at a relationship's end, without
  // the operation in its owner's list: written as the operation.
  void WriteOperationElement(Item& item, std::string& out) {
    out += Open("ownedOperation", "Operation", item) + "/>\n";
    Apply(item, "Operation");
  }

  void WriteNotes(const Item& item, std::string& out) {
    const std::string notes = Text(item, "notes");
    if (notes.empty()) return;
    out += "<ownedComment xmi:type=\"uml:Comment\" xmi:id=\"" +
           Escaped(NewId("", item.id + "_comment")) + "\" annotatedElement=\"" + Escaped(item.id) +
           "\"><body>" + base::EscapeXml(notes, base::XmlEscaping::kText) +
           "</body></ownedComment>\n";
  }

  // An enumeration's attributes are its literals; other attributes are kept
  // in the item's extension, as the host keeps them apart from its parts.
  void WriteAttributes(const Item& item, std::string& out) {
    const json& attributes = Entries(item, "attributes");
    const bool enumeration = item.kind == "Enumeration";
    for (const json& attribute : attributes) {
      const std::string name = EntryText(attribute, "name", item.place + ".attributes");
      const std::string type = EntryText(attribute, "type", item.place + ".attributes");
      if (enumeration) {
        out += "<ownedLiteral xmi:type=\"uml:EnumerationLiteral\" xmi:id=\"" +
               Escaped(NewId("", item.id + "_literal")) + "\" name=\"" + Escaped(name) + "\"/>\n";
        if (type.empty()) continue;
      }
      Record(item, "attribute", name, type);
    }
  }

  void WriteOperations(size_t element, std::string& out) {
    const Item& item = elements_[element];
    const json& operations = Entries(item, "operations");
    for (size_t at = 0; at < operations.size(); ++at) {
      const json& operation = operations[at];
      const std::string place = item.place + ".operations[" + std::to_string(at) + "]";
      Item entry;
      entry.data = &operation;
      entry.place = place;
      entry.id = operation_ids_.at({element, at});
      entry.kind = "Operation";
      entry.entry = true;
      if (!operation.is_object()) throw XmiError(place + ": expected an object");
      std::string body;
      for (const json& parameter : Entries(entry, "parameters")) {
        const std::string name = EntryText(parameter, "name", place + ".parameters");
        auto [attribute, child] = TypeByName(EntryText(parameter, "type", place + ".parameters"));
        body += XmlElement("<ownedParameter xmi:type=\"uml:Parameter\" xmi:id=\"" +
                               Escaped(NewId("", entry.id + "_parameter")) + "\" name=\"" +
                               Escaped(name) + "\"" + attribute,
                           "ownedParameter", child);
      }
      out += XmlElement(Open("ownedOperation", "Operation", entry), "ownedOperation", body);
      Apply(entry, "Operation");
    }
  }

  // A parameter's type, which the host keeps as a name: the element of that
  // name, else the UML's primitive type, else an href by name alone.
  std::pair<std::string, std::string> TypeByName(const std::string& name) const {
    if (name.empty()) return {};
    auto element = element_by_name_.find(name);
    if (element != element_by_name_.end() && !hrefs_.contains(element->second))
      return {" type=\"" + Escaped(IdOf(element->second)) + "\"", ""};
    static const std::set<std::string> kPrimitive = {"Boolean", "Integer", "Real", "String",
                                                     "UnlimitedNatural"};
    const std::string href =
        kPrimitive.contains(name) ? std::string(kPrimitiveTypes) + name : "#" + name;
    return {"", "<type href=\"" + Escaped(href) + "\"/>"};
  }

  // An activity's parameters are reached by its flows through parameter nodes.
  void WriteParameterNodes(const Item& activity, std::string& out) {
    for (size_t child : activity.children) {
      const Item& parameter = elements_[child];
      auto node = parameter_nodes_.find(parameter.id);
      if (node == parameter_nodes_.end()) continue;
      out += "<node xmi:type=\"uml:ActivityParameterNode\" xmi:id=\"" + Escaped(node->second) +
             "\" name=\"" + Escaped(Text(parameter, "name")) + "\" parameter=\"" +
             Escaped(parameter.id) + "\"/>\n";
    }
  }

  // --- Connectors -------------------------------------------------------------

  std::string EndId(const std::string& key) const {
    auto element = element_index_.find(key);
    if (element == element_index_.end()) return packages_[package_index_.at(key)].id;
    return IdOf(element->second);
  }

  void WriteConnector(size_t connector, std::string& out) {
    Item& item = connectors_[connector];
    const std::string type = Text(item, "type");
    const std::string stereotype = Text(item, "stereotype");
    if (type == "Association") {
      WriteAssociation(item, out);
    } else if (type == "Connector") {
      WriteStructuralConnector(item, out);
    } else if (type == "Generalization") {
      auto [attribute, child] = Reference("general", Text(item, "supplier"));
      out += XmlElement(Open("generalization", "Generalization", item) + attribute,
                        "generalization", child);
      Apply(item, "Generalization");
    } else {
      std::string kind = "Dependency";
      std::string client = "client";
      std::string supplier = "supplier";
      if (type == "ControlFlow" || type == "ObjectFlow" || type == "StateFlow") {
        kind = type == "StateFlow" ? "Transition" : type;
        client = "source";
        supplier = "target";
      } else if (type == "InformationFlow") {
        kind = type;
        client = "informationSource";
        supplier = "informationTarget";
      } else if (type == "Realisation") {
        kind = "Realization";
      } else if (type == "Dependency" && IsAbstractionStereotype(stereotype)) {
        kind = "Abstraction";
      } else if (type != "Dependency") {
        item.type_recorded = true;
      }
      const std::string tag = kind == "Transition"                              ? "transition"
                              : (kind == "ControlFlow" || kind == "ObjectFlow") ? "edge"
                                                                                : "packagedElement";
      auto [attributes, children] = EndLists(connector, item, client, supplier);
      out += XmlElement(Open(tag, kind, item) + attributes, tag, children);
      Apply(item, kind);
    }
  }

  // The ends of a relationship as id lists: the pairs it was imported as, or
  // its own client and supplier. A flow's end at an activity parameter is the
  // parameter's node.
  std::pair<std::string, std::string> EndLists(size_t connector, const Item& item,
                                               const std::string& client,
                                               const std::string& supplier) {
    std::vector<std::string> clients{Text(item, "client")};
    std::vector<std::string> suppliers{Text(item, "supplier")};
    auto group = groups_.find(connector);
    if (group != groups_.end()) std::tie(clients, suppliers) = group->second;
    const bool flow = client == "source";
    std::string children;
    auto list = [this, flow, &children](const std::vector<std::string>& keys,
                                        const std::string& name) {
      std::string ids;
      for (const std::string& key : keys) {
        std::string id = EndId(key);
        if (id.empty()) {
          children += Reference(name.c_str(), key).second;
          continue;
        }
        auto node = parameter_nodes_.find(id);
        if (flow && node != parameter_nodes_.end()) id = node->second;
        ids += (ids.empty() ? "" : " ") + id;
      }
      return ids;
    };
    std::string attributes;
    for (const auto& [name, keys] : {std::pair{client, clients}, std::pair{supplier, suppliers}}) {
      if (const std::string ids = list(keys, name); !ids.empty())
        attributes += " " + name + "=\"" + Escaped(ids) + "\"";
    }
    return {attributes, children};
  }

  void WriteAssociation(Item& item, std::string& out) {
    std::string attributes;
    const std::string ends = AssociationEnds(item, attributes);
    out += XmlElement(Open("packagedElement", "Association", item) + attributes, "packagedElement",
                      ends);
    Apply(item, "Association");
  }

  // The association's memberEnd attribute (added to `attributes`) and the
  // ends it owns itself. The aggregation of a client's end is written on the
  // supplier's property: composite sits on the part's property, at the whole.
  std::string AssociationEnds(const Item& item, std::string& attributes) {
    const size_t connector = static_cast<size_t>(&item - connectors_.data());
    const std::array<int, 2> matched = association_ends_.at(connector);
    std::string member_ends;
    std::string owned;
    for (size_t end = 0; end < 2; ++end) {
      const std::string side = end == 0 ? "client" : "supplier";
      if (matched[end] >= 0) {
        member_ends += (end ? " " : "") + elements_[static_cast<size_t>(matched[end])].id;
        continue;
      }
      const std::string id = NewId("", item.id + "_end" + std::to_string(end + 1));
      member_ends += (end ? " " : "") + id;
      auto [attribute, child] = Reference("type", Text(item, side.c_str()));
      const int value = Number(item, end == 0 ? "supplierAggregation" : "clientAggregation");
      owned += "<ownedEnd xmi:type=\"uml:Property\" xmi:id=\"" + Escaped(id) + "\" name=\"" +
               Escaped(Text(item, (side + "Role").c_str())) + "\"" + attribute +
               (value == 1   ? " aggregation=\"shared\""
                : value == 2 ? " aggregation=\"composite\""
                             : "") +
               " association=\"" + Escaped(item.id) + "\">" + child +
               Bounds(Text(item, (side + "Multiplicity").c_str()), false) + "</ownedEnd>\n";
    }
    attributes += " memberEnd=\"" + Escaped(member_ends) + "\"";
    return owned;
  }

  // A connector between parts or ports, each end a role with the part that
  // holds the port. One with «itemFlow» carries an item flow realised by it.
  void WriteStructuralConnector(Item& item, std::string& out) {
    out += Open("ownedConnector", "Connector", item) + ">\n";
    std::array<std::string, 2> roles;
    size_t at = 0;
    for (const char* end : {"client", "supplier"}) {
      const std::string key = Text(item, end);
      std::string role = EndId(key);
      std::string holder;
      auto element = element_index_.find(key);
      if (element != element_index_.end() && IsPortOfPart(elements_[element->second]))
        holder = elements_[static_cast<size_t>(elements_[element->second].parent)].id;
      auto [attribute, child] = Reference("role", key);
      roles[at] = role;
      out += "<end xmi:type=\"uml:ConnectorEnd\" xmi:id=\"" +
             Escaped(NewId("", item.id + "_end" + std::to_string(++at))) + "\"" + attribute +
             (holder.empty() ? "" : " partWithPort=\"" + Escaped(holder) + "\"") + ">" + child +
             Bounds(Text(item, (std::string(end) + "Multiplicity").c_str()), true) + "</end>\n";
    }
    out += "</ownedConnector>\n";
    if (Text(item, "stereotype") == "itemFlow") {
      Item flow = item;
      flow.read_back_as = item.id;
      flow.id = NewId("", item.id + "_flow");
      flow.kind = "InformationFlow";
      applications_ += "<uml:InformationFlow xmi:type=\"uml:InformationFlow\" xmi:id=\"" +
                       Escaped(flow.id) + "\" informationSource=\"" + Escaped(roles[0]) +
                       "\" informationTarget=\"" + Escaped(roles[1]) + "\" realizingConnector=\"" +
                       Escaped(item.id) + "\"/>\n";
      Apply(flow, "InformationFlow");
      return;
    }
    Apply(item, "Connector");
  }

  // --- Stereotype applications and tagged values ---------------------------------

  // The element of the document whose GUID is `guid`: its id, or "".
  std::string IdOfGuid(const std::string& guid) const {
    auto element = element_by_guid_.find(guid);
    return element == element_by_guid_.end() ? "" : IdOf(element->second);
  }

  // Writes the applications of the item's stereotype and further
  // stereotypes, with the tagged values that are properties of its
  // stereotype; the other tagged values go to the item's extension.
  void Apply(const Item& item, const std::string& metaclass) {
    const std::string stereotype = Text(item, "stereotype");
    // SysML's stereotypes name the metaclass they extend: a «satisfy» on a
    // Realization extends Abstraction, a «testCase» activity extends Behavior.
    std::string extended = metaclass;
    if (IsAbstractionStereotype(stereotype)) extended = "Abstraction";
    if (IsBehaviourKind(metaclass) && (stereotype == "testCase" || stereotype == "controlOperator"))
      extended = "Behavior";
    const std::string base = " base_" + extended + "=\"" + Escaped(item.id) + "\"";
    std::set<size_t> carried;
    const json& tags = Entries(item, "tags");
    auto tag_value = [&](const std::string& name, bool last) -> std::optional<std::string> {
      std::optional<std::string> value;
      for (size_t at = 0; at < tags.size(); ++at) {
        if (EntryText(tags[at], "name", item.place + ".tags") != name) continue;
        value = EntryText(tags[at], "value", item.place + ".tags");
        carried.insert(at);
        if (!last) break;
      }
      return value;
    };
    // A tag whose value names nothing the file holds stays a tag.
    auto uncarry = [&](const std::string& name) {
      for (size_t at = 0; at < tags.size(); ++at) {
        if (EntryText(tags[at], "name", item.place + ".tags") == name) carried.erase(at);
      }
    };
    std::string properties;
    auto property = [&](const char* attribute, const std::optional<std::string>& value) {
      if (value) properties += std::string(" ") + attribute + "=\"" + Escaped(*value) + "\"";
    };
    if (IsRequirementStereotype(stereotype)) {
      property("id", tag_value("Id", true));
      property("text", Text(item, "notes"));
    } else if (stereotype == "flowPort" || stereotype == "flowProperty") {
      property("direction", tag_value("direction", false));
    } else if (stereotype == "view" || stereotype == "viewpoint") {
      for (const char* name : {"concerns", "languages", "methods", "purpose", "stakeholders"})
        property(name, tag_value(name, false));
    }
    for (const auto& [tag, attribute] :
         {std::pair{"unit", "unit"}, std::pair{"dimension", "quantityKind"}}) {
      const std::optional<std::string> guid = tag_value(tag, false);
      if (guid && !IdOfGuid(*guid).empty()) {
        property(attribute, IdOfGuid(*guid));
      } else if (guid) {
        uncarry(tag);
      }
    }
    if (const std::optional<std::string> name = tag_value("itemProperty", false)) {
      auto element = element_by_name_.find(*name);
      if (element != element_by_name_.end() && !IdOf(element->second).empty()) {
        property("itemProperty", IdOf(element->second));
      } else {
        uncarry("itemProperty");
      }
    }
    const ProfileStereotype* sysml = nullptr;
    for (const ProfileStereotype& candidate : kProfileStereotypes) {
      if (candidate.host == stereotype) sysml = &candidate;
    }
    if (sysml) {
      const std::string prefix = sysml->standard_profile ? "StandardProfile:" : sysml_prefix_ + ":";
      applications_ += "<" + prefix + std::string(sysml->name) + " xmi:id=\"" +
                       Escaped(NewId("", item.id + "_" + std::string(sysml->name))) + "\"" + base +
                       properties + "/>\n";
    }
    RecordHostFields(item, sysml);
    for (const json& other : Entries(item, "stereotypes")) {
      if (!other.is_string()) throw XmiError(item.place + ".stereotypes: expected texts");
      ApplyOther(item, other.get<std::string>(), base);
    }
    for (size_t at = 0; at < tags.size(); ++at) {
      if (carried.contains(at)) continue;
      Record(item, "tag", EntryText(tags[at], "name", item.place + ".tags"),
             EntryText(tags[at], "value", item.place + ".tags"));
    }
    if ((stereotype == "flowPort" || stereotype == "flowProperty") &&
        !tag_value("direction", false))
      Record(item, "withoutTag", "direction", "");  // the import gives SysML's default
  }

  // The fields whose XMI form does not give them back: a host type or
  // stereotype without a metaclass or stereotype of its own, a metatype
  // other than the stereotype's, a multiplicity where the import would give
  // another, a connector's roles other than its ends' names.
  void RecordHostFields(const Item& item, const ProfileStereotype* sysml) {
    if (item.entry) return;
    auto field = [this, &item](const char* name) { Record(item, "field", name, Text(item, name)); };
    if (item.type_recorded) field("type");
    const std::string stereotype = Text(item, "stereotype");
    if (!sysml && !stereotype.empty() && !IsKindStereotype(item, stereotype)) field("stereotype");
    const std::string metatype = base::AsciiLowerCase(Text(item, "metatype"));
    if (!metatype.empty() && metatype != base::AsciiLowerCase(stereotype) &&
        !(sysml && metatype == base::AsciiLowerCase(sysml->name))) {
      field("metatype");
    }
    if (IsMultiplicityKind(item.kind) == Text(item, "multiplicity").empty()) field("multiplicity");
    const std::string type = Text(item, "type");
    if (type == "Association") {
      for (const char* end : {"clientMultiplicity", "supplierMultiplicity"}) {
        if (Text(item, end).empty()) field(end);
      }
    } else if (type == "Connector") {
      for (const auto& [end, role] :
           {std::pair{"client", "clientRole"}, std::pair{"supplier", "supplierRole"}}) {
        auto at = element_index_.find(Text(item, end));
        if (at != element_index_.end() && Text(elements_[at->second], "name") != Text(item, role))
          field(role);
      }
    }
  }

  // The stereotypes the import gives by the metaclass alone.
  static bool IsKindStereotype(const Item& item, const std::string& stereotype) {
    return (stereotype == "model" && item.kind == "Model") ||
           (stereotype == "dataType" &&
            (item.kind == "DataType" || item.kind == "PrimitiveType")) ||
           (stereotype == "enumeration" && item.kind == "Enumeration");
  }

  // A further stereotype "prefix:Name" (or "Name") as an application in a
  // namespace of that prefix.
  void ApplyOther(const Item& item, const std::string& stereotype, const std::string& base) {
    const size_t colon = stereotype.find(':');
    std::string prefix = colon == std::string::npos ? "" : XmlNamePart(stereotype.substr(0, colon));
    const std::string name =
        XmlNamePart(colon == std::string::npos ? stereotype : stereotype.substr(colon + 1));
    if (prefix == "xmi" || prefix == "uml" || prefix.starts_with("xml")) prefix = "_" + prefix;
    if (!prefix.empty() && prefix != sysml_prefix_ && prefix != "StandardProfile")
      other_prefixes_.insert(prefix);
    const std::string tag = prefix.empty() ? name : prefix + ":" + name;
    applications_ +=
        "<" + tag + " xmi:id=\"" + Escaped(NewId("", item.id + "_" + name)) + "\"" + base + "/>\n";
  }

  // What no UML or SysML property holds, recorded in the host's extension.
  void Record(const Item& item, const std::string& what, const std::string& name,
              const std::string& value) {
    if (item.entry) {
      NotCarried(item, what + " \"" + name + "\" of an operation is not written");
      return;
    }
    records_.push_back(
        {what, item.read_back_as.empty() ? item.id : item.read_back_as, name, value});
  }

  const json& document_;
  std::vector<Item> packages_;
  std::vector<Item> elements_;
  std::vector<Item> connectors_;
  std::set<std::string> keys_;
  std::map<std::string, size_t> package_index_;
  std::map<std::string, size_t> element_index_;
  std::multimap<std::string, size_t> element_by_guid_;
  std::multimap<std::string, size_t> element_by_name_;
  std::map<size_t, std::string> hrefs_;  // element -> the href it stands for
  std::map<size_t, std::pair<size_t, size_t>> operation_elements_;  // -> (owner, operation)
  std::map<std::pair<size_t, size_t>, std::string> operation_ids_;
  std::map<size_t, std::pair<std::vector<std::string>, std::vector<std::string>>> groups_;
  std::set<const Item*> grouped_;
  std::vector<size_t> unplaced_;
  std::set<std::string> ids_;
  std::map<std::string, std::string> parameter_nodes_;     // parameter id -> node id
  std::map<size_t, std::array<int, 2>> association_ends_;  // -> the properties at its ends
  std::map<size_t, std::pair<size_t, size_t>> end_of_;     // property -> (association, end)
  std::map<size_t, size_t> association_of_class_;          // element -> association
  std::set<std::string> other_prefixes_;
  std::string applications_;
  std::vector<HostRecord> records_;
  std::vector<std::string> not_carried_;
  std::string sysml_prefix_ = "SysML";
};

}  // namespace

XmiExport WriteXmi(const json& document) { return Writer(document).Write(); }

}  // namespace orba::interchange
