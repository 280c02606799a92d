// Import of a JSON model document. The text is checked to be JSON first;
// then the items of its lists are built one at a time from their own text,
// in two rounds: the first gives every key its id and notes the GUIDs the
// document gives, the second reads and checks each item and writes it at
// once. All of it is one transaction, so a refused document writes nothing.
// Checks that need the whole document (derived GUIDs, parent cycles) come
// after the last item, in the order they always had.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <unordered_map>

#include "base/guid.h"
#include "base/text.h"
#include "orba/store/json_fields.h"
#include "orba/store/json_model.h"
#include "orba/store/json_split.h"
#include "orba/store/key_index.h"
#include "orba/store/model_session.h"
#include "orba/store/postgres_schema.h"
#include "orba/store/schema.h"

namespace orba::store {
namespace {

using nlohmann::json;

struct OperationPlan {
  OperationRow row;
  std::vector<NamedText> parameters;
  std::vector<NamedText> fields;
};

struct ElementPlan {
  ElementRow row;
  std::vector<NamedText> tags;
  std::vector<NamedText> attributes;
  std::vector<OperationPlan> operations;
  std::vector<NamedText> fields;
};

struct PackagePlan {
  PackageRow package;
  ElementRow element;  // the element standing for the package
  std::vector<NamedText> fields;
};

struct ConnectorPlan {
  ConnectorRow row;
  std::vector<NamedText> tags;
  std::vector<NamedText> fields;
};

// Accepts every value; a syntax error throws the parser's own exception.
struct SyntaxCheck {
  bool null() { return true; }
  bool boolean(bool) { return true; }
  bool number_integer(json::number_integer_t) { return true; }
  bool number_unsigned(json::number_unsigned_t) { return true; }
  bool number_float(json::number_float_t, const std::string&) { return true; }
  bool string(std::string&) { return true; }
  bool binary(json::binary_t&) { return true; }
  bool start_object(std::size_t) { return true; }
  bool key(std::string&) { return true; }
  bool end_object() { return true; }
  bool start_array(std::size_t) { return true; }
  bool end_array() { return true; }
  template <class Exception>
  bool parse_error(std::size_t, const std::string&, const Exception& error) {
    throw error;
  }
};

void CheckJsonSyntax(std::string_view text) {
  try {
    SyntaxCheck check;
    json::sax_parse(text, &check);
  } catch (const json::exception& error) {  // a syntax error, or a number too large to hold
    throw ImportError(std::string("not a JSON document: ") + error.what());
  }
}

// The item texts of the document are known to be JSON.
json ParseItem(std::string_view text) { return json::parse(text); }

// The lists whose items are read one at a time.
constexpr const char* kLists[] = {"packages", "elements", "connectors", "diagrams"};

// Fails when following `parents` (parent id per item, 0 for none; item i has
// id first_id + i) from some item comes back to it.
void CheckNoParentCycle(const std::vector<int32_t>& parents, int32_t first_id,
                        const std::string& list) {
  for (size_t start = 0; start < parents.size(); ++start) {
    int32_t parent = parents[start];
    for (size_t steps = 0; parent != 0; ++steps) {
      if (steps == parents.size())
        FailAt(ItemPlace(list, start) + ".parent", "the parents form a cycle");
      parent = parents[static_cast<size_t>(parent - first_id)];
    }
  }
}

// The optional text fields `names` of an item that has them, as item fields;
// the texts of its "stereotypes" list become one "stereotype" field each.
std::vector<NamedText> ReadItemFields(JsonFields& item, std::initializer_list<const char*> names) {
  std::vector<NamedText> fields;
  for (const char* name : names) {
    std::string text = item.Text(name);
    if (!text.empty()) fields.push_back(NamedText{name, std::move(text)});
  }
  for (std::string& stereotype : item.Texts("stereotypes"))
    fields.push_back(NamedText{"stereotype", std::move(stereotype)});
  return fields;
}

void WriteItemFields(ModelSession& session, const char* item_kind, int32_t item_id,
                     const std::vector<NamedText>& fields) {
  for (const NamedText& field : fields) session.InsertItemField(item_kind, item_id, field);
}

void WriteElement(ModelSession& session, const ElementPlan& plan) {
  session.InsertElement(plan.row);
  WriteItemFields(session, kElementItem, plan.row.id, plan.fields);
  for (const NamedText& tag : plan.tags) session.InsertTag(plan.row.id, tag);
  for (const NamedText& attribute : plan.attributes)
    session.InsertAttribute(plan.row.id, attribute);
  for (const OperationPlan& operation : plan.operations) {
    OperationRow row = operation.row;
    row.element_id = plan.row.id;
    int32_t operation_id = session.InsertOperation(row);
    WriteItemFields(session, kOperationItem, operation_id, operation.fields);
    for (const NamedText& parameter : operation.parameters) {
      session.InsertParameter(operation_id, parameter);
    }
  }
}

void WritePackage(ModelSession& session, const PackagePlan& plan) {
  session.InsertElement(plan.element);
  session.InsertPackage(plan.package);
  WriteItemFields(session, kPackageItem, plan.package.id, plan.fields);
}

void WriteConnector(ModelSession& session, const ConnectorPlan& plan) {
  session.InsertConnector(plan.row);
  for (const NamedText& tag : plan.tags) session.InsertConnectorTag(plan.row.id, tag);
  WriteItemFields(session, kConnectorItem, plan.row.id, plan.fields);
}

enum class KeyKind : int8_t { kPackage, kElement, kConnector };

struct KeyEntry {
  KeyKind kind;
  int32_t id;
};

// GUIDs given in the document, in upper case, each with its item's key and
// place ("\"car\" (elements[3])"); the first item giving one owns it.
using GivenGuids = std::unordered_map<std::string, std::string>;

class DocumentReader {
 public:
  // Checks the syntax of the whole text and reads the top level.
  explicit DocumentReader(std::string_view text) : fields_(ReadTopLevel(text), "") {}

  // Checks the header and gives every key its id.
  void ReadKeys() {
    ReadHeader();
    AssignAllKeys();
  }

  // Reads and checks every item, then the document as a whole. With a
  // session, each item is written as soon as it is read (ReadKeys first).
  void ReadItems(ModelSession* session) {
    session_ = session;
    ReadEach("packages", &DocumentReader::ReadPackage);
    ReadEach("elements", &DocumentReader::ReadElement);
    ReadEach("connectors", &DocumentReader::ReadConnector);
    ReadEach("diagrams", &DocumentReader::ReadDiagram);
    fields_.RejectUnknownFields();
    if (derived_guid_taken_) throw ImportError(*derived_guid_taken_);
    CheckNoParentCycle(package_parents_, 1, "packages");
    CheckNoParentCycle(element_parents_, first_element_id_, "elements");
    InheritPackages();
  }

  // The technologies, and the ids of the keys when `keys` is kKept; the
  // reader is spent after.
  ImportResult TakeResult(ImportedKeys wanted) {
    if (wanted == ImportedKeys::kDropped) return std::move(result_);
    KeyMap& keys = result_.keys;
    keys_.ForEach([&keys](std::string_view key, KeyEntry entry) {
      std::map<std::string, int32_t>& ids = entry.kind == KeyKind::kPackage   ? keys.packages
                                            : entry.kind == KeyKind::kElement ? keys.elements
                                                                              : keys.connectors;
      ids.emplace(key, entry.id);
    });
    return std::move(result_);
  }

 private:
  // The top-level object with each list that is an array left empty: its
  // items are read from `lists_` one at a time. A member named twice counts
  // once, the last time, as when the whole document is parsed.
  const json& ReadTopLevel(std::string_view text) {
    CheckJsonSyntax(text);
    const std::string_view value = SkipJsonSpace(text);
    if (value.front() != '{') {
      root_ = ParseItem(value);  // refused by JsonFields
      return root_;
    }
    json root = json::object();
    for (const JsonMemberText& member : JsonObjectMembers(value)) {
      const std::string name = ParseItem(member.name).get<std::string>();
      lists_.erase(name);
      if (member.value.front() == '[' && IsList(name)) {
        root[name] = json::array();
        lists_[name] = member.value;
      } else {
        root[name] = ParseItem(member.value);
      }
    }
    root_ = std::move(root);
    return root_;
  }

  static bool IsList(const std::string& name) {
    for (const char* list : kLists) {
      if (name == list) return true;
    }
    return false;
  }

  // Calls `read(index, value)` for each item of the list `name` (which must
  // be an array when present).
  template <class Read>
  void ForEachItem(const std::string& name, Read read) {
    fields_.Array(name);
    const auto list = lists_.find(name);
    if (list == lists_.end()) return;
    JsonArrayItems items(list->second);
    size_t index = 0;
    for (std::string_view text; items.Next(text); ++index) read(index, ParseItem(text));
  }

  void ReadHeader() {
    std::optional<std::string> format = fields_.OptionalText("format");
    if (format && *format != "orba-model")
      FailAt("format", "expected \"orba-model\", found " + Quoted(*format));
    if (fields_.Has("version") && root_["version"] != json(1)) {
      FailAt("version",
             "unsupported version " + root_["version"].dump() + " (this host reads version 1)");
    }
    result_.technologies = fields_.Texts("technologies");
  }

  // Items of a list get the ids first_id, first_id + 1, ... in list order.
  // Packages, elements and connectors share one namespace of keys. Returns
  // the number of items.
  int32_t AssignKeys(const std::string& name, int32_t first_id, KeyKind kind) {
    fields_.Array(name);
    const auto list = lists_.find(name);
    if (list == lists_.end()) return 0;
    JsonArrayItems items(list->second);
    int32_t count = 0;
    std::vector<JsonMemberText> members;
    for (std::string_view text; items.Next(text); ++count) {
      const auto index = static_cast<size_t>(count);
      std::optional<PlainItem> plain = PlainItemOf(text, members);
      std::string_view key;
      if (plain) {
        key = plain->key;
        NoteGivenGuids(name, index, key, plain->guid, plain->operations);
      } else {  // read as a whole, which refuses what the plain reading left out
        const json value = ParseItem(text);
        JsonFields item(value, ItemPlace(name, index));
        key = keys_.Keep(item.RequiredText("key"));
        NoteGivenGuids(name, index, key, value.value("guid", json()),
                       value.value("operations", json()));
      }
      if (!keys_.Add(key, KeyEntry{kind, first_id + count}))
        FailAt(ItemPlace(name, index) + ".key", "duplicate key " + Quoted(std::string(key)));
    }
    return count;
  }

  // The key, GUID and operations of an item written plainly: an object whose
  // "key" is a model text without escapes. Building the item is left out, as
  // the first round needs no more.
  struct PlainItem {
    std::string_view key;  // in the document
    json guid;
    json operations;
  };
  static std::optional<PlainItem> PlainItemOf(std::string_view text,
                                              std::vector<JsonMemberText>& members) {
    if (text.front() != '{') return std::nullopt;
    std::optional<std::string_view> key;
    std::string_view guid, operations;
    JsonObjectMembers(text, members);
    for (const JsonMemberText& member : members) {
      if (member.name.find('\\') != std::string_view::npos) return std::nullopt;
      if (member.name == "\"key\"") {
        key = member.value;
      } else if (member.name == "\"guid\"") {
        guid = member.value;
      } else if (member.name == "\"operations\"") {
        operations = member.value;
      }
    }
    if (!key || key->front() != '"' || key->find('\\') != std::string_view::npos)
      return std::nullopt;
    PlainItem plain{key->substr(1, key->size() - 2), json(), json()};
    if (!IsModelText(plain.key)) return std::nullopt;
    if (!guid.empty()) plain.guid = ParseItem(guid);
    if (!operations.empty()) plain.operations = ParseItem(operations);
    return plain;
  }
  void AssignAllKeys() {
    const int32_t packages = AssignKeys("packages", 1, KeyKind::kPackage);
    first_element_id_ = packages + 1;
    AssignKeys("elements", first_element_id_, KeyKind::kElement);
    AssignKeys("connectors", 1, KeyKind::kConnector);
  }

  // Notes the GUID an item gives (and those of an element's operations), so
  // that a GUID derived for an earlier item can be checked against them. A
  // GUID that is not a text is left to the item's reading, which refuses it.
  void NoteGivenGuids(const std::string& list, size_t index, std::string_view key, const json& guid,
                      const json& operations) {
    const auto place = [&] { return ItemPlace(list, index); };
    NoteGivenGuid(guid, list == "connectors" ? connector_guids_ : object_guids_, key, place);
    if (list != "elements" || !operations.is_array()) return;
    for (size_t at = 0; at < operations.size(); ++at) {
      const json& operation = operations[at];
      if (operation.is_object()) {
        NoteGivenGuid(operation.value("guid", json()), operation_guids_, key,
                      [&] { return ItemPlace(place() + ".operations", at); });
      }
    }
  }

  // `place` gives the item's place, which only a given GUID needs.
  template <class Place>
  static void NoteGivenGuid(const json& guid, GivenGuids& given, std::string_view key,
                            Place place) {
    if (!guid.is_string() || guid.get_ref<const std::string&>().empty()) return;
    given.emplace(base::AsciiUpperCase(guid.get<std::string>()),
                  GuidOwner(std::string(key), place()));
  }

  static std::string GuidOwner(const std::string& key, const std::string& place) {
    return Quoted(key) + " (" + place + ")";
  }

  template <class Reader>
  void ReadEach(const std::string& list_name, Reader read) {
    ForEachItem(list_name, [&](size_t index, const json& value) {
      JsonFields item(value, ItemPlace(list_name, index));
      (this->*read)(item, index);
      item.RejectUnknownFields();
    });
  }

  // The id of the item of kind `kind`, or of one of `also`, whose key the
  // text `field` holds; 0 when the field is absent.
  int32_t Resolve(JsonFields& item, const std::string& field, KeyKind kind,
                  std::optional<KeyKind> also = std::nullopt) {
    std::optional<std::string> key = item.OptionalText(field);
    if (!key) return 0;
    const KeyEntry* found = keys_.Find(*key);
    if (!found || (found->kind != kind && found->kind != also))
      FailAt(item.PlaceOf(field), "unknown key " + Quoted(*key));
    return found->id;
  }

  // A connector end, which every connector has: an element, or the element
  // of a package (which has the package's id).
  int32_t ResolveEnd(JsonFields& item, const std::string& field) {
    if (!item.Has(field)) {
      FailAt(item.Path(), "connector " + Quoted(item.Key()) + " has no " + field +
                              " (a connector joins a client and a supplier)");
    }
    return Resolve(item, field, KeyKind::kElement, KeyKind::kPackage);
  }

  // The given GUID; "" when none is given (DeriveGuid gives one). GUIDs
  // ignore letter case, so within its kind a GUID is unique ignoring case;
  // `given` holds the first item to give each.
  std::string Guid(JsonFields& item, GivenGuids& given) {
    std::string guid = item.Text("guid");
    if (guid.empty()) return guid;
    const std::string owner = GuidOwner(item.Key(), item.Path());
    const auto [taken, added] = given.emplace(base::AsciiUpperCase(guid), owner);
    if (!added && taken->second != owner) {
      FailAt(item.PlaceOf("guid"), "the GUID " + Quoted(guid) + " of " + Quoted(item.Key()) +
                                       " is already the GUID of " + taken->second +
                                       "; GUIDs ignore letter case");
    }
    return guid;
  }

  // An item without a GUID gets one derived from its key (an operation: from
  // its owner's key and its place in the list), so that the same document
  // gives the same GUIDs on every import. Derived GUIDs differ from each
  // other; one that equals a GUID the document gives another item is refused
  // once every item is read, and nothing more is written from then on.
  void DeriveGuid(std::string& guid, const GivenGuids& given, const std::string& place,
                  const std::string& identity) {
    static constexpr base::GuidNamespace kKeyGuids = {0x3f, 0x9a, 0x1c, 0x52, 0x7e, 0x04,
                                                      0x4b, 0x8d, 0x96, 0x21, 0xd5, 0x6c,
                                                      0x0b, 0xe8, 0x47, 0x13};
    if (!guid.empty()) return;
    guid = base::NameBasedGuid(kKeyGuids, identity);
    auto taken = given.find(guid);
    if (taken != given.end() && !derived_guid_taken_) {
      derived_guid_taken_ = place + ": the GUID " + Quoted(guid) + " derived from " + identity +
                            " is already the GUID of " + taken->second +
                            "; give one of them another";
      session_ = nullptr;
    }
  }

  // The fields an element and a package's element share.
  void ReadElementTexts(JsonFields& item, ElementRow& row) {
    row.stereotype = StereotypeOrNone(item.Text("stereotype"));
    row.metatype = item.OptionalText("metatype");
    row.notes = item.Text("notes");
    row.guid = Guid(item, object_guids_);
  }

  void ReadPackage(JsonFields& item, size_t index) {
    PackagePlan plan;
    plan.package.key = item.RequiredText("key");
    plan.package.id = static_cast<int32_t>(index) + 1;
    plan.package.name = item.RequiredText("name");
    plan.package.parent_id = Resolve(item, "parent", KeyKind::kPackage);
    plan.package.element_id = plan.package.id;
    plan.element.id = plan.package.id;
    plan.element.type = "Package";
    plan.element.name = plan.package.name;
    plan.element.package_id = plan.package.parent_id;
    ReadElementTexts(item, plan.element);
    plan.fields = ReadItemFields(item, {"xmiId"});
    package_parents_.push_back(plan.package.parent_id);
    DeriveGuid(plan.element.guid, object_guids_, ItemPlace("packages", index),
               "package " + Quoted(*plan.package.key));
    if (session_) WritePackage(*session_, plan);
  }

  void ReadElement(JsonFields& item, size_t index) {
    ElementPlan plan;
    ElementRow& row = plan.row;
    row.key = item.RequiredText("key");
    row.id = first_element_id_ + static_cast<int32_t>(index);
    row.type = item.RequiredText("type");
    row.name = item.Text("name");
    row.package_id = Resolve(item, "package", KeyKind::kPackage);
    row.parent_id = Resolve(item, "parent", KeyKind::kElement);
    row.classifier_id = Resolve(item, "classifier", KeyKind::kElement);
    row.property_type_id = Resolve(item, "propertyType", KeyKind::kElement);
    row.abstract = item.OptionalText("abstract").value_or("0");
    row.multiplicity = item.Text("multiplicity");
    ReadElementTexts(item, row);
    plan.tags = ReadNamedTexts(item, "tags", "value");
    plan.attributes = ReadNamedTexts(item, "attributes", "type");
    plan.operations = ReadOperations(item);
    plan.fields = ReadItemFields(item, {"umlKind", "xmiId"});

    const std::string place = ItemPlace("elements", index);
    DeriveGuid(row.guid, object_guids_, place, "element " + Quoted(*row.key));
    for (size_t operation = 0; operation < plan.operations.size(); ++operation) {
      DeriveGuid(plan.operations[operation].row.guid, operation_guids_,
                 ItemPlace(place + ".operations", operation),
                 "operation " + std::to_string(operation) + " of " + Quoted(*row.key));
    }
    element_parents_.push_back(row.parent_id);
    given_packages_.push_back(row.package_id);
    element_packages_.push_back(KnownPackageOf(element_parents_.size() - 1));
    row.package_id = std::max(element_packages_.back(), 0);
    if (session_) WriteElement(*session_, plan);
  }

  // A list of {"name": .., TEXT_FIELD: ..} objects.
  // The parts listed under `list_name` of `owner` (its tags, operations,
  // a diagram's objects, ...), each read by `read`; a part with a field
  // `read` does not know is refused.
  template <class Read>
  static auto ReadParts(JsonFields& owner, const std::string& list_name, Read read) {
    const json& list = owner.Array(list_name);
    std::vector<decltype(read(owner))> parts;
    for (size_t index = 0; index < list.size(); ++index) {
      JsonFields item(list[index], ItemPlace(owner.PlaceOf(list_name), index), owner);
      parts.push_back(read(item));
      item.RejectUnknownFields();
    }
    return parts;
  }

  std::vector<NamedText> ReadNamedTexts(JsonFields& owner, const std::string& list_name,
                                        const std::string& text_field) {
    return ReadParts(owner, list_name, [&text_field](JsonFields& item) {
      return NamedText{item.RequiredText("name"), item.Text(text_field)};
    });
  }

  std::vector<OperationPlan> ReadOperations(JsonFields& owner) {
    return ReadParts(owner, "operations", [this](JsonFields& item) {
      OperationPlan plan;
      plan.row.name = item.RequiredText("name");
      plan.row.stereotype = StereotypeOrNone(item.Text("stereotype"));
      plan.row.guid = Guid(item, operation_guids_);
      plan.parameters = ReadNamedTexts(item, "parameters", "type");
      plan.fields = ReadItemFields(item, {"xmiId"});
      return plan;
    });
  }

  void ReadConnector(JsonFields& item, size_t index) {
    ConnectorPlan plan;
    ConnectorRow& row = plan.row;
    row.key = item.RequiredText("key");
    row.id = static_cast<int32_t>(index) + 1;
    row.type = item.RequiredText("type");
    row.stereotype = StereotypeOrNone(item.Text("stereotype"));
    row.client_id = ResolveEnd(item, "client");
    row.supplier_id = ResolveEnd(item, "supplier");
    row.client_aggregation = item.Int("clientAggregation", 0, 2);
    row.supplier_aggregation = item.Int("supplierAggregation", 0, 2);
    row.guid = Guid(item, connector_guids_);
    plan.tags = ReadNamedTexts(item, "tags", "value");
    plan.fields = ReadItemFields(item, {"name", "xmiId", "clientRole", "clientMultiplicity",
                                        "supplierRole", "supplierMultiplicity", "direction"});
    DeriveGuid(row.guid, connector_guids_, ItemPlace("connectors", index),
               "connector " + Quoted(*row.key));
    if (session_) WriteConnector(*session_, plan);
  }

  void ReadDiagram(JsonFields& item, size_t) {
    DiagramRow row;
    row.package_id = Resolve(item, "package", KeyKind::kPackage);
    row.name = item.RequiredText("name");
    row.type = item.RequiredText("type");
    row.display_flags = item.Int("displayFlags", 0, INT32_MAX);
    const std::vector<NamedText> fields = ReadItemFields(item, {"key", "xmiId"});
    std::vector<DiagramObjectRow> objects = ReadDiagramObjects(item);
    std::vector<DiagramLinkRow> links = ReadDiagramLinks(item);
    if (!session_) return;
    const int32_t id = session_->InsertDiagram(row);
    WriteItemFields(*session_, kDiagramItem, id, fields);
    for (DiagramObjectRow& object : objects) {
      object.diagram_id = id;
      session_->InsertDiagramObject(object);
    }
    for (DiagramLinkRow& link : links) {
      link.diagram_id = id;
      session_->InsertDiagramLink(link);
    }
  }

  // The elements (or packages) a diagram shows, each with its rectangle
  // ("x", "y", "w", "h": all four or none).
  std::vector<DiagramObjectRow> ReadDiagramObjects(JsonFields& diagram) {
    return ReadParts(diagram, "objects", [this](JsonFields& item) {
      static constexpr int32_t kFarthest = 1'000'000;  // keeps every side within 32 bits
      DiagramObjectRow row;
      row.element_id = RequiredReference(item, "element", KeyKind::kElement, KeyKind::kPackage);
      const int given = item.Has("x") + item.Has("y") + item.Has("w") + item.Has("h");
      if (given == 4) {
        row.rect =
            DiagramRect{item.Int("x", -kFarthest, kFarthest), item.Int("y", -kFarthest, kFarthest),
                        item.Int("w", 1, kFarthest), item.Int("h", 1, kFarthest)};
      } else if (given != 0) {
        FailAt(item.Path(), "a diagram object has a rectangle only with all of x, y, w and h");
      }
      return row;
    });
  }

  std::vector<DiagramLinkRow> ReadDiagramLinks(JsonFields& diagram) {
    return ReadParts(diagram, "links", [this](JsonFields& item) {
      return DiagramLinkRow{0, 0, RequiredReference(item, "connector", KeyKind::kConnector),
                            item.Bool("hidden")};
    });
  }

  // A reference that the item must have.
  int32_t RequiredReference(JsonFields& item, const std::string& field, KeyKind kind,
                            std::optional<KeyKind> also = std::nullopt) {
    if (!item.Has(field)) FailAt(item.Path(), "no " + field + " given");
    return Resolve(item, field, kind, also);
  }

  // An element given without a package is in its parent's package; one
  // without either has none (package id 0). The package of element `index`
  // when its parent, if it needs it, came before it; else kPackageLater, and
  // InheritPackages writes it once the parents are known to form no cycle.
  static constexpr int32_t kPackageLater = -1;
  int32_t KnownPackageOf(size_t index) const {
    const int32_t parent = element_parents_[index];
    if (given_packages_[index] != 0 || parent == 0) return given_packages_[index];
    const auto parent_index = static_cast<size_t>(parent - first_element_id_);
    return parent_index < index ? element_packages_[parent_index] : kPackageLater;
  }

  void InheritPackages() {
    for (size_t index = 0; index < element_packages_.size(); ++index) {
      if (element_packages_[index] != kPackageLater) continue;
      size_t owner = index;
      while (given_packages_[owner] == 0 && element_parents_[owner] != 0)
        owner = static_cast<size_t>(element_parents_[owner] - first_element_id_);
      element_packages_[index] = given_packages_[owner];
      if (session_ && element_packages_[index] != 0) {
        session_->Db()
            .Prepare("UPDATE t_object SET Package_ID = ? WHERE Object_ID = ?")
            .Bind(element_packages_[index], first_element_id_ + static_cast<int32_t>(index))
            .Run();
      }
    }
  }

  json root_;
  std::map<std::string, std::string_view> lists_;  // the text of each list given as an array
  JsonFields fields_;
  ImportResult result_;
  KeyIndex<KeyEntry> keys_;
  int32_t first_element_id_ = 1;
  GivenGuids object_guids_;
  GivenGuids operation_guids_;
  GivenGuids connector_guids_;
  ModelSession* session_ = nullptr;                // where items are written; none: only read
  std::optional<std::string> derived_guid_taken_;  // the message, for the first one
  std::vector<int32_t> package_parents_;
  std::vector<int32_t> element_parents_;
  std::vector<int32_t> given_packages_;
  std::vector<int32_t> element_packages_;  // as written, or kPackageLater
};

void RequireEmptyModel(ModelSession& session) {
  Statement count = session.Db().Prepare(
      "SELECT (SELECT count(*) FROM t_object) + (SELECT count(*) FROM t_connector) + "
      "(SELECT count(*) FROM t_diagram)");
  if (count.Step() && count.Int(0) != 0) {
    throw StoreError("cannot import into a model that is not empty: " + session.Location());
  }
}

// Writes the document into the open model, which must be writable and empty;
// when it is not, the document is still read first, so that a refused
// document is reported as such.
ImportResult WriteIntoOpenModel(ModelRepository& repository, DocumentReader& reader,
                                ImportedKeys keys) {
  try {
    repository.Session().RequireWritable();
    RequireEmptyModel(repository.Session());
  } catch (...) {
    reader.ReadItems(nullptr);
    throw;
  }
  ModelRepository::Transaction transaction(repository);
  reader.ReadItems(&repository.Session());
  transaction.Commit();
  return reader.TakeResult(keys);
}

// A repository has no file to build in beside it: the model is created and
// written there, and taken away again when the document is refused.
ImportResult ImportIntoRepository(ModelRepository& repository, std::string_view json_text,
                                  const std::string& uri, ImportedKeys keys) {
  DocumentReader reader(json_text);
  reader.ReadKeys();
  repository.CreateModel(uri);
  try {
    return WriteIntoOpenModel(repository, reader, keys);
  } catch (...) {
    repository.CloseModel();
    DropRepositoryModel(uri);
    throw;
  }
}

}  // namespace

ImportResult ImportJsonModel(ModelRepository& repository, std::string_view json_text) {
  DocumentReader reader(json_text);
  reader.ReadKeys();
  return WriteIntoOpenModel(repository, reader, ImportedKeys::kKept);
}

std::string ImportBuildingPath(const std::string& obx_path) {
  return obx_path + ".importing-" + std::to_string(getpid());
}

ImportResult ImportJsonModelFile(ModelRepository& repository, std::string_view json_text,
                                 const std::string& obx_path, ImportedKeys keys) {
  if (IsRepositoryUri(obx_path)) return ImportIntoRepository(repository, json_text, obx_path, keys);
  DocumentReader reader(json_text);
  reader.ReadKeys();
  const std::string building = ImportBuildingPath(obx_path);
  std::filesystem::remove(building);
  try {
    repository.CreateModel(building);
    Database& db = repository.Session().Db();
    DropIndexes(db);
    ImportResult result = WriteIntoOpenModel(repository, reader, keys);
    CreateIndexes(db);
    repository.CloseModel();
    std::error_code error;
    std::filesystem::rename(building, obx_path, error);
    if (error) throw StoreError("cannot write model file " + obx_path + ": " + error.message());
    repository.Open(obx_path);
    return result;
  } catch (...) {
    repository.CloseModel();
    // The journal SQLite kept beside a failed build goes with it.
    std::error_code ignored;
    std::filesystem::remove(building, ignored);
    std::filesystem::remove(building + "-journal", ignored);
    throw;
  }
}

}  // namespace orba::store
